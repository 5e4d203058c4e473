#include "feeds/ui/ImportDlg.h"

#include <unordered_set>
#include <vector>

#include "feeds/OpmlImport.h"
#include "framework/win/DataExchange.h"
#include "res/resource.h"

IMPLEMENT_DYNAMIC(CImportDlg, CDialog)

BEGIN_MESSAGE_MAP(CImportDlg, CDialog)
ON_BN_CLICKED(IDC_IMPORT_COPY, OnCopy)
ON_BN_CLICKED(IDC_IMPORT_COPY_ALL, OnCopyAll)
ON_BN_CLICKED(IDC_IMPORT_REMOVE, OnRemove)
ON_BN_CLICKED(IDC_IMPORT_REMOVE_ALL, OnRemoveAll)
ON_NOTIFY(NM_DBLCLK, IDC_IMPORT_CHANNELS, OnImportedDblClk)
ON_NOTIFY(NM_DBLCLK, IDC_IMPORT_SELECTED, OnSelectedDblClk)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_IMPORT_CHANNELS, OnListItemChanged)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_IMPORT_SELECTED, OnListItemChanged)
END_MESSAGE_MAP()

CImportDlg::CImportDlg(CWnd* pParent)
    : CDialog(IDD_IMPORT, pParent), m_pChannel(nullptr), m_bKeepCategories(TRUE), m_bOpml(FALSE)
{
}

CImportDlg::~CImportDlg()
{
    delete m_pChannel;
}

void CImportDlg::LoadOpml()
{
    delete m_pChannel;
    m_pChannel = ::LoadOpml(m_strPath);
}

void CImportDlg::ReadOutlines(IXMLDOMNode* pNode)
{
    if (m_pChannel == nullptr)
        m_pChannel = new CFeedChannel;
    ::ReadOutlines(m_pChannel, pNode);
}

CFeedChannel* CImportDlg::DetachChannel()
{
    CFeedChannel* pChannel = m_pChannel;
    m_pChannel = nullptr;
    return pChannel;
}

void CImportDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_IMPORT_CHANNELS, m_lstImported);
    DDX_Control(pDX, IDC_IMPORT_SELECTED, m_lstSelected);
    DDX_Control(pDX, IDC_IMPORT_COPY, m_btnCopy);
    DDX_Control(pDX, IDC_IMPORT_COPY_ALL, m_btnCopyAll);
    DDX_Control(pDX, IDC_IMPORT_REMOVE, m_btnRemove);
    DDX_Control(pDX, IDC_IMPORT_REMOVE_ALL, m_btnRemoveAll);
    DDX_Control(pDX, IDC_IMPORT_KEEP_CATEGORIES, m_chkKeepCategories);
}

BOOL CImportDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (!m_bOpml) {
        delete m_pChannel;
        m_pChannel = LoadExportedList(m_strPath);
        if (m_pChannel == nullptr) {
            EndDialog(0);
            return TRUE;
        }
    } else {
        LoadOpml();
    }

    m_lstImported.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_lstSelected.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    SetUpColumns(m_lstImported);
    SetUpColumns(m_lstSelected);
    if (m_bOpml) {
        // OPML has no categories of its own to keep.
        m_chkKeepCategories.SetCheck(BST_UNCHECKED);
        m_chkKeepCategories.EnableWindow(FALSE);
        m_bKeepCategories = FALSE;
    } else {
        m_chkKeepCategories.SetCheck(BST_CHECKED);
    }

    if (m_pChannel != nullptr) {
        m_lstImported.SetRedraw(FALSE);
        for (POSITION pos = m_pChannel->m_items.GetHeadPosition(); pos != nullptr;)
            AddRow(m_lstImported, m_pChannel->m_items.GetNext(pos));
        m_lstImported.SetRedraw(TRUE);
    }
    UpdateButtons();

    if (m_pChannel != nullptr && m_pChannel->m_items.IsEmpty())
        MessageBox(L"The file does not contain any imported channels.", nullptr, MB_OK | MB_ICONEXCLAMATION);
    return TRUE;
}

void CImportDlg::SetUpColumns(CListCtrl& list)
{
    CString text;
    text.LoadString(IDS_IMPORT_FEED_TITLE);
    list.InsertColumn(0, text, LVCFMT_LEFT, 200);
    if (!m_bOpml) {
        text.LoadString(IDS_IMPORT_CATEGORY);
        list.InsertColumn(1, text, LVCFMT_LEFT, 70);
    }
}

void CImportDlg::AddRow(CListCtrl& list, CFeedItem* pItem)
{
    const int nRow = list.InsertItem(LVIF_TEXT | LVIF_PARAM, list.GetItemCount(), pItem->m_strTitleText, 0, 0, 0,
                                     reinterpret_cast<LPARAM>(pItem));
    if (nRow >= 0 && !m_bOpml)
        list.SetItemText(nRow, 1, pItem->m_strCategory);
}

void CImportDlg::MoveRows(CListCtrl& from, CListCtrl& to, bool bAll)
{
    std::vector<int> rows;
    if (bAll) {
        for (int i = 0, n = from.GetItemCount(); i < n; ++i)
            rows.push_back(i);
    } else {
        for (int i = from.GetNextItem(-1, LVNI_SELECTED); i != -1; i = from.GetNextItem(i, LVNI_SELECTED))
            rows.push_back(i);
    }
    if (rows.empty())
        return;
    from.SetRedraw(FALSE);
    to.SetRedraw(FALSE);
    for (int nRow : rows)
        AddRow(to, reinterpret_cast<CFeedItem*>(from.GetItemData(nRow)));
    if (bAll) {
        from.DeleteAllItems();
    } else {
        for (auto it = rows.rbegin(); it != rows.rend(); ++it)
            from.DeleteItem(*it);
    }
    from.SetRedraw(TRUE);
    to.SetRedraw(TRUE);
    from.Invalidate();
    to.Invalidate();
    UpdateButtons();
}

// Each button is usable exactly when it has something to move; the focus leaves a button that has just been
// disabled, or the keyboard would be left with nowhere to go.
void CImportDlg::UpdateButtons()
{
    m_btnCopy.EnableWindow(m_lstImported.GetSelectedCount() > 0);
    m_btnCopyAll.EnableWindow(m_lstImported.GetItemCount() > 0);
    m_btnRemove.EnableWindow(m_lstSelected.GetSelectedCount() > 0);
    m_btnRemoveAll.EnableWindow(m_lstSelected.GetItemCount() > 0);
    HWND hWndFocus = ::GetFocus();
    if (hWndFocus != nullptr && ::GetParent(hWndFocus) == m_hWnd && !::IsWindowEnabled(hWndFocus))
        NextDlgCtrl();
}

void CImportDlg::OnCopy()
{
    MoveRows(m_lstImported, m_lstSelected, false);
}

void CImportDlg::OnCopyAll()
{
    MoveRows(m_lstImported, m_lstSelected, true);
}

void CImportDlg::OnRemove()
{
    MoveRows(m_lstSelected, m_lstImported, false);
}

void CImportDlg::OnRemoveAll()
{
    MoveRows(m_lstSelected, m_lstImported, true);
}

void CImportDlg::OnImportedDblClk(NMHDR*, LRESULT* pResult)
{
    OnCopy();
    *pResult = 0;
}

void CImportDlg::OnSelectedDblClk(NMHDR*, LRESULT* pResult)
{
    OnRemove();
    *pResult = 0;
}

void CImportDlg::OnListItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMLISTVIEW* pListView = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    if (pListView->uChanged & LVIF_STATE)
        UpdateButtons();
    *pResult = 0;
}

void CImportDlg::OnOK()
{
    if (m_pChannel != nullptr) {
        std::unordered_set<CFeedItem*> unchosen;
        for (int i = 0, n = m_lstImported.GetItemCount(); i < n; ++i)
            unchosen.insert(reinterpret_cast<CFeedItem*>(m_lstImported.GetItemData(i)));
        // The rows must not outlive the entries they point to.
        m_lstImported.DeleteAllItems();
        for (POSITION pos = m_pChannel->m_items.GetHeadPosition(); pos != nullptr;) {
            const POSITION current = pos;
            CFeedItem* pItem = m_pChannel->m_items.GetNext(pos);
            if (unchosen.count(pItem) != 0) {
                m_pChannel->m_items.RemoveAt(current);
                delete pItem;
            }
        }
    }
    m_bKeepCategories = m_chkKeepCategories.GetCheck() == BST_CHECKED;
    EndDialog(IDOK);
}
