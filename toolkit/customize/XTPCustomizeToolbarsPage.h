// The Customize sheet's "Tool&bars" page: every toolbar with a check for its visibility; new, rename and delete
// for the toolbars the user made, reset for the ones the program built. And the small dialog that asks a
// toolbar's name.
#pragma once

#include "framework/win/Controls.h"
#include "framework/win/PropertySheet.h"

class CXTPCommandBars;
class CXTPCustomizeSheet;
class CXTPToolBar;

// The toolbar ids handed out for new toolbars: 0xE800 to 0xE8FE.
const UINT kFirstCustomToolBarId = 0xE800;
const UINT kCustomToolBarIdLimit = 0xE8FF;

// "Custom n" with the smallest n of 1 or more that no toolbar is titled.
CString FindFreeToolBarName(const CXTPCommandBars* pCommandBars);

class CXTPNewToolbarDlg : public CDialog
{
public:
    // pToolBar is the toolbar to rename, or null for a new one.
    CXTPNewToolbarDlg(CWnd* pParentWnd, CXTPCommandBars* pCommandBars, CXTPToolBar* pToolBar = nullptr);

    // Checks the name and, for a new toolbar, finds its id; TRUE when the dialog may end with OK. A blank or
    // taken name keeps the dialog open; all ids in use end it as cancelled.
    enum CheckResult
    {
        nameAccepted,
        nameRefused,
        idsExhausted
    };
    CheckResult CheckName();

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    CString m_strToolbar;
    UINT m_nNewID;
    CXTPToolBar* m_pToolBar;
    CXTPCommandBars* m_pCommandBars;
};

class CXTPCustomizeToolbarsPage : public CPropertyPage
{
    DECLARE_DYNAMIC(CXTPCustomizeToolbarsPage)

public:
    explicit CXTPCustomizeToolbarsPage(CXTPCustomizeSheet* pSheet = nullptr);
    ~CXTPCustomizeToolbarsPage() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void RefreshList();
    void UpdateButtons();
    // The toolbar of the selected item, or null.
    CXTPToolBar* GetSelectedToolBar() const;

    afx_msg void OnNewToolbar();
    afx_msg void OnRenameToolbar();
    afx_msg void OnDeleteToolbar();
    afx_msg void OnResetToolbar();
    afx_msg void OnChkChange();
    afx_msg void OnSelChange();

    CXTPCustomizeSheet* m_pSheet;
    CCheckListBox m_checkList;
    CButton m_btnReset;
    CButton m_btnRename;
    CButton m_btnDelete;
    CButton m_btnNew;

protected:
    CXTPCommandBars* GetCommandBars() const;
    DECLARE_MESSAGE_MAP()
};
