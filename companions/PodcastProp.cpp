#include "companions/PodcastProp.h"

#include "companions/SelectFeedsDlg.h"

#include "feeds/EngineContext.h"
#include "framework/win/DataExchange.h"
#include "framework/win/WinApp.h"
#include "framework/win/WndMsgMap.h"
#include "res/resource.h"
#include "toolkit/controls/XTBrowseFolderDlg.h"

#include <shlobj.h>

CFeedSelectionSource* CPodcastProp::s_pFeedSource = nullptr;

IMPLEMENT_DYNAMIC(CPodcastProp, CPropertyPage)

BEGIN_MESSAGE_MAP(CPodcastProp, CPropertyPage)
ON_BN_CLICKED(IDC_PODCAST_MANUAL, OnManual)
ON_BN_CLICKED(IDC_PODCAST_AUTO_ALL, OnAutoAll)
ON_BN_CLICKED(IDC_PODCAST_AUTO_SELECTED, OnAutoSelected)
ON_BN_CLICKED(IDC_PODCAST_SELECT_FEEDS, OnSelectFeeds)
ON_BN_CLICKED(IDC_PODCAST_SET_FOLDER, OnSetFolder)
END_MESSAGE_MAP()

CPodcastProp::CPodcastProp() : CPropertyPage(IDD_PODCAST_PROP) {}

CPodcastProp::~CPodcastProp() = default;

void CPodcastProp::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PODCAST_SELECT_FEEDS, m_btnSelectFeeds);
    DDX_Control(pDX, IDC_PODCAST_MANUAL, m_btnManual);
    DDX_Control(pDX, IDC_PODCAST_AUTO_ALL, m_btnAutoAll);
    DDX_Control(pDX, IDC_PODCAST_AUTO_SELECTED, m_btnAutoSelected);
    DDX_Control(pDX, IDC_PODCAST_FOLDER, m_editFolder);
}

BOOL CPodcastProp::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    SetMode(GetEngineContext().m_settings.nPodcastMode);
    CString folder = EngineProfileString(L"Podcasting", L"Path", L"");
    if (folder.IsEmpty()) {
        WCHAR documents[MAX_PATH] = L"";
        if (::SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, TRUE))
            folder = documents;
    }
    m_editFolder.SetWindowText(folder);
    return TRUE;
}

void CPodcastProp::SetMode(int nMode)
{
    if (nMode < 0 || nMode > 2)
        nMode = 0;
    m_nMode = nMode;
    m_btnManual.SetCheck(nMode == 0 ? BST_CHECKED : BST_UNCHECKED);
    m_btnAutoAll.SetCheck(nMode == 1 ? BST_CHECKED : BST_UNCHECKED);
    m_btnAutoSelected.SetCheck(nMode == 2 ? BST_CHECKED : BST_UNCHECKED);
    m_btnSelectFeeds.EnableWindow(nMode == 2 && s_pFeedSource != nullptr);
}

void CPodcastProp::OnManual()
{
    SetMode(0);
}

void CPodcastProp::OnAutoAll()
{
    SetMode(1);
}

void CPodcastProp::OnAutoSelected()
{
    SetMode(2);
}

void CPodcastProp::OnSelectFeeds()
{
    if (!s_pFeedSource)
        return;
    CSelectFeedsDlg dlg(*s_pFeedSource, this);
    if (dlg.DoModal() == IDOK)
        m_bChanged = dlg.m_nChanged != 0;
}

void CPodcastProp::OnSetFolder()
{
    CString folder;
    m_editFolder.GetWindowText(folder);
    CXTBrowseFolderDlg dlg(this);
    dlg.SetSelPath(folder);
    dlg.SetTitle(L"Select folder for podcast");
    if (dlg.DoModal() == IDOK)
        m_editFolder.SetWindowText(dlg.GetSelPath());
}

void CPodcastProp::OnOK()
{
    CString folder;
    m_editFolder.GetWindowText(folder);
    AfxGetApp()->WriteProfileString(L"Podcasting", L"Path", folder);
    int& mode = GetEngineContext().m_settings.nPodcastMode;
    if (m_nMode != mode) {
        m_bChanged = TRUE;
        mode = m_nMode;
        AfxGetApp()->WriteProfileInt(L"Podcasting", L"Auto", m_nMode);
    } else if (m_nMode != 2) {
        m_bChanged = FALSE;
    }
    CPropertyPage::OnOK();
}
