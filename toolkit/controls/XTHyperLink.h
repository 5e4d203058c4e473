// A static text control turned into a web link: link colours, an underlined font, the hand cursor over the text,
// a tooltip with the address, and a click that opens the address with the shell.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/win/Controls.h"
#include "framework/win/Gdi.h"

// Opens a file or address the way ShellExecuteW does with no parameters and no folder; answers its result.
typedef HINSTANCE (*XT_LINK_LAUNCHER)(LPCWSTR lpszOperation, LPCWSTR lpszFile, int nShowCmd);

class CXTHyperLink : public CStatic
{
    DECLARE_DYNAMIC(CXTHyperLink)

public:
    CXTHyperLink();
    ~CXTHyperLink() override;

    virtual void SetURL(LPCTSTR lpszURL);
    virtual CString GetURL() const { return m_strURL; }
    virtual void SetColors(COLORREF clrLink, COLORREF clrVisited, COLORREF clrHover);
    virtual COLORREF GetLinkColor() const { return m_clrLink; }
    virtual COLORREF GetVisitedColor() const { return m_clrVisited; }
    virtual COLORREF GetHoverColor() const { return m_clrHover; }
    virtual void SetVisited(bool bVisited = true);
    virtual bool GetVisited() const { return m_bVisited; }
    virtual void SetLinkCursor(HCURSOR hCursor) { m_hcurLink = hCursor; }
    virtual HCURSOR GetLinkCursor() const { return m_hcurLink; }
    virtual void SetUnderline(bool bUnderline = true);
    virtual bool GetUnderline() const { return m_bUnderline; }
    // (COLORREF)-1 takes the button face.
    virtual void SetBackColor(COLORREF clrBack);
    virtual COLORREF GetBackColor() const;
    // Opens lpszLink (the stored address when none is given). Only http, https and mailto addresses reach the
    // shell; any other answers SE_ERR_ACCESSDENIED. Answers above 32 mean success.
    virtual HINSTANCE GotoURL(LPCTSTR lpszLink = nullptr, int nShowCmd = SW_SHOW);
    // The style is SS_LEFT, SS_CENTER or SS_RIGHT.
    virtual BOOL IsTextControl() const;
    virtual BOOL IsMouseOverText() const;
    // Beeps and shows the message of a shell result code.
    virtual void ReportError(int nError);

    void EnableOpenOnClick(bool bOpen) { m_bOpenOnClick = bOpen; }
    void EnableToolTip(bool bToolTip) { m_bToolTip = bToolTip; }
    bool IsHot() const { return m_bHot; }

    // The message ReportError shows for a shell result code.
    static CString ErrorMessage(int nError);
    // An address the shell may be given: http, https or mailto, without quotes or control characters.
    static BOOL IsSafeLink(LPCTSTR lpszLink);
    // Null puts the shell back. Answers the previous launcher. Process-wide: tests put in their own.
    static XT_LINK_LAUNCHER SetLinkLauncher(XT_LINK_LAUNCHER pfnLauncher);

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg BOOL OnClicked();
    afx_msg LRESULT OnSetup(WPARAM wParam, LPARAM lParam);

    bool m_bOpenOnClick;
    bool m_bSetupPending;
    bool m_bUnderline;
    bool m_bHot;
    bool m_bVisited;
    bool m_bToolTip;
    CFont m_font;
    CString m_strURL;
    CString m_strTipText;
    HCURSOR m_hcurLink;
    COLORREF m_clrLink;
    COLORREF m_clrHover;
    COLORREF m_clrVisited;
    COLORREF m_clrBack;
    CToolTipCtrl m_toolTip;

    DECLARE_MESSAGE_MAP()
};
