// What the colour dialog's pick controls share: a static control from a dialog template turned into a control
// that takes the mouse and the keyboard, is painted double-buffered, picks while the button is held, and
// confirms the dialog with a double click, Enter or the space bar.
#pragma once

#include "framework/win/Controls.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"

class CXTColorStatic : public CStatic
{
    DECLARE_DYNAMIC(CXTColorStatic)

public:
    CXTColorStatic();
    ~CXTColorStatic() override;

    // The whole control as it looks now.
    virtual void Draw(CDC* pDC) = 0;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PreSubclassWindow() override;

protected:
    // A pick by the mouse at a client point; FALSE when nothing is there to pick.
    virtual BOOL PickByMouse(CPoint point) = 0;
    // An arrow key while the control has the focus; FALSE leaves it to the dialog.
    virtual BOOL OnArrowKey(UINT nChar) = 0;

    BOOL HasFocus() const { return m_hWnd != nullptr && ::GetFocus() == m_hWnd; }
    BOOL HandleKey(UINT nChar);

    // The picture a control draws once and copies on every paint: TRUE while one of the client's size is kept;
    // otherwise an old one is let go and the caller draws a new one into m_bmpPicture, then selects it.
    BOOL HasPicture(const CRect& rcClient);
    void SelectPicture();

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg LRESULT OnInitControl(WPARAM wParam, LPARAM lParam);

    BOOL m_bInitPending;
    CDC m_dcPicture;
    CBitmap m_bmpPicture;
    CBitmap* m_pOldBitmap;

    DECLARE_MESSAGE_MAP()
};
