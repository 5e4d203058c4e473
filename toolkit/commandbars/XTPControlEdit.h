// A single-line edit field on a command bar, and the edit window that both the edit control and the combo box
// control put on their bar: it tells its control when it gains or loses the focus, keeps the control's text when
// it goes, passes mouse moves on to the bar for hot tracking and runs the clipboard commands itself.
#pragma once

#include "framework/win/Controls.h"
#include "toolkit/commandbars/XTPControl.h"

class CCmdUI;

class CXTPEdit : public CEdit
{
    DECLARE_DYNCREATE(CXTPEdit)

public:
    CXTPEdit();

    // The control the window belongs to; null once the control let go of it.
    virtual CXTPControl* GetControl() const { return nullptr; }

protected:
    // What the owning control hears; the subclasses of the two field controls forward these.
    virtual void NotifySetFocus(HWND /*hWndOld*/) {}
    virtual void NotifyKillFocus() {}
    virtual void StoreText(const CString& /*strText*/) {}
    virtual HBRUSH GetBackBrush() { return nullptr; }

    // The toolkit's own edit menu; FALSE when it cannot be shown (then the window's default menu is left).
    BOOL ShowContextMenu(CPoint point);
    CXTPCommandBar* GetParentBar() const;

    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnDestroy();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg void OnEditCopy();
    afx_msg void OnEditCut();
    afx_msg void OnEditPaste();
    afx_msg void OnUpdateEditCopyCut(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
    afx_msg void OnEditSelectAll();
    afx_msg void OnEditUndo();
    afx_msg void OnEditClear();
    afx_msg void OnUpdateEditSelectAll(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditUndo(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

public:
    // Ctrl+A selects the whole field, as the frame's Select All would.
    BOOL PreTranslateMessage(MSG* pMsg) override;
};

// The edit window of a field control (an edit, or an editable combo box): focus and text go to its control, which
// may have gone first.
template <class TControl> class CXTPFieldEdit : public CXTPEdit
{
public:
    TControl* m_pControl = nullptr;

    CXTPControl* GetControl() const override { return m_pControl; }

protected:
    void NotifySetFocus(HWND hWndOld) override
    {
        if (m_pControl != nullptr)
            m_pControl->OnEditSetFocus(hWndOld);
    }
    void NotifyKillFocus() override
    {
        if (m_pControl != nullptr)
            m_pControl->OnEditKillFocus();
    }
    void StoreText(const CString& strText) override
    {
        if (m_pControl != nullptr)
            m_pControl->m_strEditText = strText;
    }
    HBRUSH GetBackBrush() override { return m_pControl != nullptr ? m_pControl->GetEditBackBrush() : nullptr; }
};

class CXTPControlEdit : public CXTPControl
{
    DECLARE_SERIAL(CXTPControlEdit)

public:
    CXTPControlEdit();
    ~CXTPControlEdit() override;

    void Serialize(CArchive& ar) override;
    void SetEnabled(BOOL bEnabled) override;
    void SetRect(CRect rcControl) override;
    void SetHideFlags(DWORD dwFlags) override;
    CSize GetSize(CDC* pDC) override;
    void OnCalcDynamicSize(DWORD dwMode) override;
    int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
    void SetParent(CXTPCommandBar* pParent) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void OnMouseHover() override;
    BOOL SetSelected(int bSelected) override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;

    virtual CXTPEdit* CreateEditControl();
    virtual void OnEditSetFocus(HWND hWndOld);
    virtual void OnEditKillFocus();
    virtual HBRUSH GetEditBackBrush() { return nullptr; }

    int GetFieldWidth() const override { return m_nWidth; }
    BOOL GetShowLabel() const override { return m_bLabel; }
    HWND GetEditWindow() const override;

    CString GetEditText() const;
    void SetEditText(LPCTSTR lpszText);
    void SetWidth(int nWidth) { m_nWidth = nWidth; }
    int GetWidth() const { return m_nWidth; }
    void ShowLabel(BOOL bShow) { m_bLabel = bShow; }
    int GetLabelWidth() const { return m_nLabelWidth; }
    CXTPEdit* GetEditCtrl() const { return m_pEdit; }

protected:
    friend class CXTPFieldEdit<CXTPControlEdit>;
    void DestroyEditWindow();

    int m_nLabelWidth;
    CXTPEdit* m_pEdit;
    int m_nWidth;
    CString m_strEditText;
    BOOL m_bLabel;
};

// The shared steps of the two field controls (edit and combo box).
namespace XTPFieldControl {
// Creates the edit window on the bar when needed, re-parents it and moves it onto rcEdit, shown by the hide flags.
void PlaceEdit(CXTPControl* pControl, CXTPEdit* pEdit, const CString& strText, const CRect& rcEdit);
void ShowEdit(CXTPControl* pControl, CXTPEdit* pEdit);
// The bar starts tracking with the control selected, and the mouse tracker is locked while the field has the focus.
void OnEditSetFocus(CXTPControl* pControl, HWND hWndOld);
void OnEditKillFocus(CXTPControl* pControl);
// The focus goes back to the window that had it before the bar started tracking.
void RestoreFocus(CXTPControl* pControl);
BOOL EditHasFocus(CXTPEdit* pEdit);
} // namespace XTPFieldControl
