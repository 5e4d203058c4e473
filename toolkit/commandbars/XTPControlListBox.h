// A real list box window inside a command bar (usually a popup bar), as many rows tall as it has strings between
// a minimum and a maximum; in multiple-selection mode choosing an item selects every item above it too, as a
// multi-level undo list does.
#pragma once

#include "framework/win/Controls.h"
#include "toolkit/commandbars/XTPControl.h"

class CXTPControlListBox;

// WM_XTP_CONTROL_EXECUTE codes of the list box control.
#define XTP_LBN_SELCHANGE 0x1003
#define XTP_LBN_RESETSEL 0x1004

class CXTPControlListBoxCtrl : public CListBox
{
public:
    explicit CXTPControlListBoxCtrl(CXTPControlListBox* pControl) : m_pControl(pControl) {}

    CXTPControlListBox* m_pControl;

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};

class CXTPControlListBox : public CXTPControl
{
    DECLARE_SERIAL(CXTPControlListBox)

public:
    CXTPControlListBox();
    ~CXTPControlListBox() override;

    void Serialize(CArchive& ar) override;
    void SetEnabled(BOOL bEnabled) override;
    void SetRect(CRect rcControl) override;
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void OnCalcDynamicSize(DWORD dwMode) override;
    int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
    void SetParent(CXTPCommandBar* pParent) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    BOOL SetSelected(int bSelected) override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;

    // Recreates the window in the new mode; its strings are lost.
    void SetMultiplSel(BOOL bMultiplSel);
    BOOL GetMultiplSel() const { return m_bMultiplSel; }
    CListBox* GetListCtrl() const { return m_pListBox; }
    void SetLinesMinMax(int nMin, int nMax)
    {
        m_nListBoxLinesMin = nMin;
        m_nListBoxLinesMax = nMax;
    }
    int GetLinesMin() const { return m_nListBoxLinesMin; }
    int GetLinesMax() const { return m_nListBoxLinesMax; }
    void SetWidth(int nWidth) { m_nWidth = nWidth; }
    int GetWidth() const { return m_nWidth; }

    // The selection rule after a change by mouse or keyboard, then the change notice.
    void OnSelectionChanged();
    // Sends WM_XTP_CONTROL_EXECUTE with a code to the bar's command window.
    void NotifySite(UINT nCode);

protected:
    void CreateListBox();
    void MakeChildOf(CXTPCommandBar* pBar);

    CXTPControlListBoxCtrl* m_pListBox;
    int m_nListBoxLinesMin;
    int m_nListBoxLinesMax;
    BOOL m_bMultiplSel;
    int m_nWidth;
    BOOL m_bMouseLocked;
};
