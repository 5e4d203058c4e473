#include "companions/FeedPropertyPages.h"

#include "res/resource.h"

#include "feeds/FeedItem.h"
#include "framework/win/DataExchange.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"

// ---- "Channel Info"

IMPLEMENT_DYNAMIC(CFeedPropertiesDlg, CPropertyPage)

BEGIN_MESSAGE_MAP(CFeedPropertiesDlg, CPropertyPage)
ON_BN_CLICKED(IDC_FEED_COPY_LINK, OnCopyLink)
END_MESSAGE_MAP()

CFeedPropertiesDlg::CFeedPropertiesDlg() : CPropertyPage(IDD_FEED_PROPERTIES), m_pEntry(nullptr), m_bHideLink(0) {}

void CFeedPropertiesDlg::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FEED_TITLE, m_editTitle);
    DDX_Control(pDX, IDC_FEED_DESCRIPTION, m_editDescription);
    DDX_Control(pDX, IDC_FEED_LINK, m_editLink);
    DDX_Text(pDX, IDC_FEED_TITLE, m_strTitle);
    DDV_MaxChars(pDX, m_strTitle, 255);
    DDX_Text(pDX, IDC_FEED_DESCRIPTION, m_strDescription);
    DDV_MaxChars(pDX, m_strDescription, 255);
}

BOOL CFeedPropertiesDlg::OnSetActive()
{
    m_editTitle.SetReadOnly(FALSE);
    m_editDescription.SetReadOnly(FALSE);
    if (m_bHideLink) {
        for (int id : {IDC_FEED_LINK, IDC_FEED_COPY_LINK, IDC_FEED_LINK_LABEL}) {
            if (CWnd* pControl = GetDlgItem(id))
                pControl->ShowWindow(SW_HIDE);
        }
    } else if (m_pEntry) {
        m_editLink.SetWindowText(m_pEntry->m_strLinkText);
    }
    return CPropertyPage::OnSetActive();
}

void CFeedPropertiesDlg::OnCopyLink()
{
    m_editLink.SetSel(0, -1);
    m_editLink.SendMessage(EM_SCROLLCARET);
    m_editLink.Copy();
    m_editLink.SetSel(-1, 0);
    m_editLink.SendMessage(EM_SCROLLCARET);
}

// ---- "Authentication"

IMPLEMENT_DYNAMIC(CFeedAuthDlg, CPropertyPage)

BEGIN_MESSAGE_MAP(CFeedAuthDlg, CPropertyPage)
ON_BN_CLICKED(IDC_FEED_LOGON, OnLogonClicked)
END_MESSAGE_MAP()

CFeedAuthDlg::CFeedAuthDlg() : CPropertyPage(IDD_FEED_AUTH), m_bLogon(0), m_bHttpAuth(1) {}

void CFeedAuthDlg::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FEED_LOGON, m_chkLogon);
    DDX_Control(pDX, IDC_FEED_HTTP_AUTH, m_radioHttpAuth);
    DDX_Control(pDX, IDC_FEED_GET_AUTH, m_radioGetAuth);
    DDX_Control(pDX, IDC_FEED_ACCOUNT, m_editAccount);
    DDX_Control(pDX, IDC_FEED_PASSWORD, m_editPassword);
    DDX_Text(pDX, IDC_FEED_ACCOUNT, m_strAccountName);
    DDV_MaxChars(pDX, m_strAccountName, 48);
    DDX_Text(pDX, IDC_FEED_PASSWORD, m_strPassword);
    DDV_MaxChars(pDX, m_strPassword, 24);
}

void CFeedAuthDlg::EnableLogonControls(BOOL bEnable)
{
    m_editAccount.EnableWindow(bEnable);
    m_editPassword.EnableWindow(bEnable);
    m_radioHttpAuth.EnableWindow(bEnable);
    m_radioGetAuth.EnableWindow(bEnable);
}

BOOL CFeedAuthDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_radioHttpAuth.SetCheck(m_bHttpAuth ? BST_CHECKED : BST_UNCHECKED);
    m_radioGetAuth.SetCheck(m_bHttpAuth ? BST_UNCHECKED : BST_CHECKED);
    m_chkLogon.SetCheck(m_bLogon ? BST_CHECKED : BST_UNCHECKED);
    EnableLogonControls(m_bLogon ? TRUE : FALSE);
    return TRUE;
}

void CFeedAuthDlg::OnLogonClicked()
{
    m_bLogon = m_chkLogon.GetCheck() == BST_CHECKED ? 1 : 0;
    EnableLogonControls(m_bLogon ? TRUE : FALSE);
}

void CFeedAuthDlg::OnOK()
{
    m_bHttpAuth = m_radioHttpAuth.GetCheck() == BST_CHECKED ? 1 : 0;
    CPropertyPage::OnOK();
}

// ---- "Update"

namespace {

struct IntervalRow
{
    LPCWSTR text;
    int minutes;
};

const IntervalRow kIntervalRows[] = {
    {L"Never or Manual Update", -1},
    {L"1 minute", 1},
    {L"5 minutes", 5},
    {L"15 minutes", 15},
    {L"30 minutes", 30},
    {L"45 minutes", 45},
    {L"1 hour", 60},
    {L"2 hours", 120},
    {L"4 hours", 240},
    {L"12 hours", 720},
    {L"Once a Day", 1440},
};
const int kHourRow = 6;

} // namespace

IMPLEMENT_DYNAMIC(CFeedUpdateDlg, CPropertyPage)

CFeedUpdateDlg::CFeedUpdateDlg() : CPropertyPage(IDD_FEED_UPDATE), m_nInterval(120) {}

void CFeedUpdateDlg::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FEED_INTERVAL, m_comboInterval);
}

int CFeedUpdateDlg::RowOfInterval(int nMinutes)
{
    for (int row = 0; row < static_cast<int>(_countof(kIntervalRows)); ++row) {
        if (kIntervalRows[row].minutes == nMinutes)
            return row;
    }
    return kHourRow;
}

int CFeedUpdateDlg::IntervalOfRow(int nRow)
{
    if (nRow < 0 || nRow >= static_cast<int>(_countof(kIntervalRows)))
        return kIntervalRows[kHourRow].minutes;
    return kIntervalRows[nRow].minutes;
}

BOOL CFeedUpdateDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (m_comboInterval.GetCount() == 0) {
        for (const IntervalRow& row : kIntervalRows)
            m_comboInterval.AddString(row.text);
    }
    m_comboInterval.SetCurSel(RowOfInterval(m_nInterval));
    return TRUE;
}

void CFeedUpdateDlg::OnOK()
{
    m_nInterval = IntervalOfRow(m_comboInterval.GetCurSel());
    CPropertyPage::OnOK();
}

// ---- "Channel Category"

IMPLEMENT_DYNAMIC(CFeedCategoryDlg, CPropertyPage)

CFeedCategoryDlg::CFeedCategoryDlg() : CPropertyPage(IDD_FEED_CATEGORY), m_pTaskPanel(nullptr), m_pEntry(nullptr) {}

void CFeedCategoryDlg::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FEED_CATEGORY, m_comboCategory);
}

BOOL CFeedCategoryDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (!m_pTaskPanel || !m_pEntry)
        return TRUE;
    auto* pItem = static_cast<CXTPTaskPanelItem*>(m_pEntry->m_pNavControl);
    CXTPTaskPanelGroup* pEntryGroup = pItem ? pItem->GetItemGroup() : nullptr;
    for (int i = 0; i < m_pTaskPanel->GetGroupCount(); ++i) {
        CXTPTaskPanelGroup* pGroup = m_pTaskPanel->GetAt(i);
        if (!pGroup)
            continue;
        const int row = m_comboCategory.AddString(pGroup->GetCaption());
        if (pGroup == pEntryGroup)
            m_comboCategory.SetCurSel(row);
    }
    return TRUE;
}

void CFeedCategoryDlg::OnOK()
{
    if (m_pEntry && m_comboCategory.GetSafeHwnd()) {
        CString category;
        m_comboCategory.GetWindowText(category);
        if (category != m_pEntry->m_strCategory)
            m_pEntry->m_strSubject = category;
    }
    CPropertyPage::OnOK();
}
