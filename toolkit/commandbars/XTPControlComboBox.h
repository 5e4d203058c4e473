// A combo box on a command bar: a box showing a text, a drop-down button that opens a list of strings, and
// optionally an edit field to type into. The list is a popup bar whose window is a plain list box.
#pragma once

#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPPopupBar.h"

class CXTPControlComboBox;

class CXTPControlComboBoxList : public CXTPPopupBar
{
    DECLARE_SERIAL(CXTPControlComboBoxList)

public:
    CXTPControlComboBoxList();

    void Serialize(CArchive& ar) override;
    BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override;
    // Opens the list under its opening control.
    BOOL Popup(int x, int y, LPCRECT rcExclude) override;
    BOOL IsCustomizable() const override { return FALSE; }
    int ProcessKeyDown(UINT nChar, LPARAM lParam = 0) override;
    void DrawCommandBar(CDC* pDC) override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    CXTPCommandBar* Clone(BOOL bRecursive = FALSE) override;

    virtual BOOL CreateListBox();

    // Opens the list for pControl; the list's window takes the control's width unless the override is set.
    BOOL PopupFor(CXTPControlComboBox* pControl);
    CXTPControlComboBox* GetOpeningControl() const;
    void SetWidthOverride(int nWidth) { m_nListWidth = nWidth; }
    int GetWidthOverride() const { return m_nListWidth; }
    // The height the list takes for its strings: 1 to 12 rows, plus the frame.
    int CalcListHeight() const;

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    int m_nListWidth;
};

class CXTPControlComboBox : public CXTPControlPopup
{
    DECLARE_SERIAL(CXTPControlComboBox)

public:
    CXTPControlComboBox();
    ~CXTPControlComboBox() override;

    void Serialize(CArchive& ar) override;
    void SetEnabled(BOOL bEnabled) override;
    void SetRect(CRect rcControl) override;
    void SetHideFlags(DWORD dwFlags) override;
    void OnExecute() override;
    CSize GetSize(CDC* pDC) override;
    void OnCalcDynamicSize(DWORD dwMode) override;
    int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
    void SetParent(CXTPCommandBar* pParent) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    BOOL OnSetPopup(BOOL bPopup) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void OnMouseHover() override;
    BOOL SetSelected(int bSelected) override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;

    virtual CXTPEdit* CreateEditControl();
    virtual CString GetListText() const;
    virtual void OnEditSetFocus(HWND hWndOld);
    virtual void OnEditKillFocus();
    virtual void OnSelChanged();
    virtual HBRUSH GetEditBackBrush() { return nullptr; }

    int GetFieldWidth() const override { return m_nWidth; }
    BOOL GetShowLabel() const override { return m_nLabelStyle == 1; }
    BOOL IsDroppedDown() const override;
    HWND GetEditWindow() const override;

    void SetEditable(BOOL bEditable);
    BOOL GetEditable() const { return m_bEditable; }
    int GetCurSel() const;
    void SetCurSel(int nIndex);
    CString GetEditText() const;
    void SetEditText(LPCTSTR lpszText);
    void SetWidth(int nWidth) { m_nWidth = nWidth; }
    int GetWidth() const { return m_nWidth; }
    void SetLabelStyle(int nStyle) { m_nLabelStyle = nStyle; }
    int GetLabelStyle() const { return m_nLabelStyle; }
    int GetLabelWidth() const { return m_nLabelWidth; }
    int GetThumbWidth() const { return m_nThumbWidth; }
    CXTPEdit* GetEditCtrl() const { return m_pEdit; }
    // The list window, to which the owner adds strings; null when the popup bar is not a combo list.
    HWND GetListWindow() const;
    CXTPControlComboBoxList* GetList() const;

protected:
    friend class CXTPFieldEdit<CXTPControlComboBox>;
    void DeleteEdit();

    int m_nLabelWidth;
    int m_nThumbWidth;
    CXTPEdit* m_pEdit;
    BOOL m_bEditable;
    int m_nLabelStyle;
    int m_nWidth;
    CString m_strEditText;
    int m_nLastSel;
};
