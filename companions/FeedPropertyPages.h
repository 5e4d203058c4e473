// The four pages of a channel's "Feed Properties" sheet: its title and description, its log-on data, its update
// interval and its category. The sheet's owner fills the members before the sheet opens and reads them after OK.
#pragma once

#include <windows.h>

#include "framework/win/Controls.h"
#include "framework/win/PropertySheet.h"

class CFeedItem;
class CXTPTaskPanel;

class CFeedPropertiesDlg : public CPropertyPage
{
    DECLARE_DYNAMIC(CFeedPropertiesDlg)

public:
    CFeedPropertiesDlg();

    CEdit m_editTitle;
    CEdit m_editDescription;
    CEdit m_editLink;
    CFeedItem* m_pEntry;
    BYTE m_bHideLink; // an entry of the server's list: its address is not shown
    CString m_strTitle;
    CString m_strDescription;

    BOOL OnSetActive() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnCopyLink();
    DECLARE_MESSAGE_MAP()
};

class CFeedAuthDlg : public CPropertyPage
{
    DECLARE_DYNAMIC(CFeedAuthDlg)

public:
    CFeedAuthDlg();

    CButton m_chkLogon;
    CButton m_radioHttpAuth;
    CButton m_radioGetAuth;
    CEdit m_editAccount;
    CEdit m_editPassword;
    CString m_strAccountName;
    CString m_strPassword;
    BYTE m_bLogon;
    BYTE m_bHttpAuth; // 0: GET authentication

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnLogonClicked();
    DECLARE_MESSAGE_MAP()

private:
    void EnableLogonControls(BOOL bEnable);
};

class CFeedUpdateDlg : public CPropertyPage
{
    DECLARE_DYNAMIC(CFeedUpdateDlg)

public:
    CFeedUpdateDlg();

    CComboBox m_comboInterval;
    int m_nInterval; // minutes; -1 never

    // The list's row of an interval ("1 hour" for one not in the list), and the interval of a row (60 for none).
    static int RowOfInterval(int nMinutes);
    static int IntervalOfRow(int nRow);

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class CFeedCategoryDlg : public CPropertyPage
{
    DECLARE_DYNAMIC(CFeedCategoryDlg)

public:
    CFeedCategoryDlg();

    CXTPTaskPanel* m_pTaskPanel; // its groups are the categories
    CFeedItem* m_pEntry;         // OK leaves a changed category in its subject text
    CComboBox m_comboCategory;

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
