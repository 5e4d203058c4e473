#include "companions/SelectFeedsDlg.h"

#include "framework/win/DataExchange.h"
#include "framework/win/WinApp.h"
#include "framework/win/WndMsgMap.h"
#include "res/resource.h"

#include <commctrl.h>

namespace {

const wchar_t kItemsSection[] = L"Podcasting\\Items";

} // namespace

BEGIN_MESSAGE_MAP(CSelectFeedsDlg, CDialog)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_SELECT_FEEDS_LIST, OnItemChanged)
ON_BN_CLICKED(IDC_SELECT_FEEDS_ALL, OnSelectAll)
ON_BN_CLICKED(IDC_SELECT_FEEDS_NONE, OnDeselectAll)
END_MESSAGE_MAP()

CSelectFeedsDlg::CSelectFeedsDlg(CFeedSelectionSource& source, CWnd* pParent)
    : CDialog(IDD_SELECT_FEEDS, pParent), m_source(source)
{
}

void CSelectFeedsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SELECT_FEEDS_LIST, m_list);
}

BOOL CSelectFeedsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    CRect client;
    m_list.GetClientRect(&client);
    m_list.InsertColumn(0, L"Feed Title", LVCFMT_LEFT, client.Width());

    CWinApp* pApp = AfxGetApp();
    m_feeds = m_source.GetFeeds();
    for (size_t i = 0; i < m_feeds.size(); ++i) {
        const CSelectableFeed& feed = m_feeds[i];
        const int nRow = m_list.InsertItem(LVIF_TEXT | LVIF_PARAM, static_cast<int>(i), feed.strTitle, 0, 0, 0,
                                           static_cast<LPARAM>(i));
        if (nRow >= 0 && pApp && !pApp->GetProfileString(kItemsSection, feed.strFile, L"").IsEmpty())
            m_list.SetCheck(nRow, TRUE);
    }
    // The checks made while filling are no change of the user's.
    m_nChanged = 0;
    return TRUE;
}

void CSelectFeedsDlg::OnItemChanged(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    m_nChanged = 1;
    *pResult = 0;
}

void CSelectFeedsDlg::CheckAll(BOOL bCheck)
{
    for (int nRow = 0; nRow < m_list.GetItemCount(); ++nRow)
        m_list.SetCheck(nRow, bCheck);
}

void CSelectFeedsDlg::OnSelectAll()
{
    CheckAll(TRUE);
}

void CSelectFeedsDlg::OnDeselectAll()
{
    CheckAll(FALSE);
}

void CSelectFeedsDlg::OnOK()
{
    CWinApp* pApp = AfxGetApp();
    if (m_nChanged && pApp) {
        for (int nRow = 0; nRow < m_list.GetItemCount(); ++nRow) {
            const size_t index = static_cast<size_t>(m_list.GetItemData(nRow));
            if (index >= m_feeds.size())
                continue;
            const CString& file = m_feeds[index].strFile;
            // A feed unsubscribed while the dialog was open has nothing left to choose.
            if (file.IsEmpty() || !m_source.HasFeed(file))
                continue;
            pApp->WriteProfileString(kItemsSection, file, m_list.GetCheck(nRow) ? L"yes" : nullptr);
        }
    }
    EndDialog(IDOK);
}
