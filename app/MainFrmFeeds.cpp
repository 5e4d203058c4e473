// The frame's commands on single channels: subscribing (from the menu, a second start or the command line), the
// channel properties, renaming a category, exporting and importing channel lists, saving an enclosure and
// starting the updater.
#include "app/MainFrm.h"
#include "res/resource.h"

#include "app/AppMessages.h"
#include "companions/FeedPropertyPages.h"
#include "companions/FeedSubscribeDlg.h"
#include "feeds/AppHelpers.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedStore.h"
#include "feeds/FeedText.h"
#include "feeds/ImportDlg.h"
#include "feeds/OpmlImport.h"
#include "feeds/UpdateCheck.h"
#include "feeds/UsageLog.h"
#include "framework/win/FileDialog.h"
#include "framework/win/PropertySheet.h"
#include "framework/win/WinApp.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"

namespace {

const int kNewEntryInterval = 60;

bool SubscriptionsLogged(const CFeedItem* pEntry)
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    return settings.bStatsEnabled && settings.nReportStat && settings.bLogSubscriptions &&
           pEntry->m_strAccountName.IsEmpty();
}

// Characters a file system or the shell would read as something other than part of one name.
bool IsReservedNameChar(WCHAR c)
{
    return c < 0x20 || wcschr(L"<>:\"/\\|?*", c) != nullptr;
}

} // namespace

CString CleanEnclosureFileName(const CString& name)
{
    CString clean;
    for (int i = 0; i < name.GetLength(); ++i)
        clean += IsReservedNameChar(name[i]) ? L'_' : name[i];
    clean.Trim(L" .");
    // A device name stays a device whatever extension follows it ("CON.mp3", "lpt1.txt").
    CString base = clean;
    const int dot = base.Find(L'.');
    if (dot >= 0)
        base = base.Left(dot);
    base.Trim(L" ");
    base.MakeUpper();
    static const LPCWSTR kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    bool bDevice = false;
    for (LPCWSTR device : kDevices)
        bDevice = bDevice || base == device;
    if (base.GetLength() == 4 && (base.Left(3) == L"COM" || base.Left(3) == L"LPT") && base[3] >= L'0' &&
        base[3] <= L'9')
        bDevice = true;
    if (bDevice)
        clean = L"_" + clean;
    if (clean.GetLength() > 200)
        clean = clean.Left(200);
    return clean;
}

CFeedItem* CMainFrame::FindEntry(const CFeedItem* pEntry) const
{
    for (CFeedChannel* pList : {m_pMainFeeds, m_pCustomFeeds}) {
        if (pList == nullptr)
            continue;
        if (CFeedItem* found = pList->FindItem(pEntry, TRUE, FALSE))
            return found;
    }
    return nullptr;
}

bool CMainFrame::SubscribeFeed(const CString& strUrl)
{
    CFeedSubscribeDlg dlg(this);
    if (!strUrl.IsEmpty()) {
        dlg.m_strUrl = strUrl;
        dlg.m_bDownloadNow = 1;
    }
    if (dlg.DoModal() != IDOK)
        return false;
    if (dlg.m_pChannel == nullptr) {
        ImportChannelFile(dlg.m_strUrl, true);
        return true;
    }

    auto* pEntry = new CFeedItem;
    CFeedChannel* pChannel = dlg.m_pChannel;
    dlg.m_pChannel = nullptr;
    pEntry->m_pChannel = pChannel;
    pEntry->m_strLink = pEntry->m_strLinkText = dlg.m_strUrl;
    // The channel's title is plain text; an entry's title is markup.
    pEntry->m_strTitle = EscapeXmlText(pChannel->m_info.m_strTitle);
    pEntry->m_strTitleText = DisplayCopy(pEntry->m_strTitle);
    // A channel without a title would make an entry without a name in the pane and in its file names.
    if (pEntry->m_strTitleText.IsEmpty())
        pEntry->m_strTitle = pEntry->m_strTitleText = dlg.m_strUrl;
    pEntry->m_strDescription = pChannel->m_info.m_strDescription;
    pEntry->m_strDescriptionText = DisplayCopy(pChannel->m_info.m_strDescription);
    pEntry->m_nUpdateInterval = pEntry->m_nCountdown = kNewEntryInterval;
    pEntry->m_dtDate = pChannel->m_dtLastUpdate.GetStatus() == COleDateTime::valid ? pChannel->m_dtLastUpdate
                                                                                   : COleDateTime::GetCurrentTime();
    // The account typed or found in the address goes with the entry, never inside its address.
    if (dlg.m_bLogon) {
        pEntry->m_strAccountName = dlg.m_strAccountName;
        pEntry->m_strPassword = dlg.m_strPassword;
        pEntry->m_bHttpAuth = dlg.m_bHttpAuth != 0;
    }

    if (FindEntry(pEntry) != nullptr) {
        AfxMessageBox(IDS_ALREADY_SUBSCRIBED, MB_OK | MB_ICONEXCLAMATION);
        delete pEntry;
        return false;
    }
    pEntry->m_nKind = FEED_KIND_FEED;
    CFeedSubscribeDlg2 dlg2(this);
    dlg2.m_pEntry = pEntry;
    dlg2.m_pGroups = &m_categoryGroups;
    if (dlg2.DoModal() != IDOK) {
        delete pEntry;
        return false;
    }

    if (m_pCustomFeeds == nullptr) {
        // A list file that cannot be read is left alone: a new list saved over it would lose it.
        m_pCustomFeeds = LoadCustomFeeds();
        if (m_pCustomFeeds == nullptr) {
            delete pEntry;
            return false;
        }
    }
    pEntry->m_strFile = MakeFeedFileName(pEntry->m_strTitleText);
    pEntry->m_nImageIndex = 0;
    if (!dlg.m_strIconFile.IsEmpty()) {
        const CString icon = pEntry->GetIconFileName();
        if (!icon.IsEmpty() && CopyFileSafely(dlg.m_strIconFile, icon))
            pEntry->m_nImageIndex = -1;
    }
    m_pCustomFeeds->m_items.AddTail(pEntry);
    m_pCustomFeeds->SaveCustomFeeds();
    const CString cache = pEntry->GetCacheFileName();
    if (!cache.IsEmpty())
        pChannel->SaveCache(cache, TRUE);
    pEntry->CountNews();
    BuildTaskPanel();
    if (SubscriptionsLogged(pEntry))
        LogUsage(5, 8, pEntry->m_strLinkText);
    return true;
}

void CMainFrame::OnSubscribeFeed()
{
    SubscribeFeed(CString());
}

LRESULT CMainFrame::OnSubscribeHandedOver(WPARAM, LPARAM)
{
    // One flow at a time: an address handed over while a dialog is open waits for it to close.
    if (m_bSubscribing || m_handedOver.IsEmpty())
        return 0;
    m_bSubscribing = true;
    const CString address = m_handedOver.RemoveHead();
    SubscribeFeed(address);
    m_bSubscribing = false;
    if (!m_handedOver.IsEmpty())
        PostMessage(WM_SUBSCRIBE_HANDED_OVER);
    return 0;
}

void CMainFrame::ShowChannelProperties(CFeedItem* pEntry, int nPage)
{
    if (pEntry == nullptr)
        return;
    CFeedPropertiesDlg info;
    info.m_strTitle = pEntry->m_strTitleText;
    info.m_strDescription = pEntry->m_strDescriptionText;
    info.m_pEntry = pEntry;
    info.m_bHideLink = ListHolds(m_pMainFeeds, pEntry) ? 1 : 0;
    CFeedAuthDlg auth;
    if (!pEntry->m_strAccountName.IsEmpty() || !pEntry->m_strPassword.IsEmpty()) {
        auth.m_bLogon = 1;
        auth.m_strAccountName = pEntry->m_strAccountName;
        auth.m_strPassword = pEntry->m_strPassword;
    }
    auth.m_bHttpAuth = pEntry->m_bHttpAuth ? 1 : 0;
    CFeedUpdateDlg update;
    update.m_nInterval = pEntry->m_nUpdateInterval;
    CFeedCategoryDlg category;
    category.m_pTaskPanel = &m_wndTaskPanel;
    category.m_pEntry = pEntry;

    CPropertySheet sheet(IDS_FEED_PROPERTIES, this, nPage >= 0 && nPage < 4 ? nPage : 0);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    sheet.AddPage(&info);
    sheet.AddPage(&auth);
    sheet.AddPage(&update);
    sheet.AddPage(&category);
    pEntry->m_strSubject.Empty();
    if (sheet.DoModal() != IDOK)
        return;

    bool bRebuild = false;
    if (info.m_strTitle != pEntry->m_strTitleText) {
        pEntry->m_strTitleText = info.m_strTitle;
        pEntry->m_strTitle = EscapeXmlText(info.m_strTitle);
        bRebuild = true;
    }
    if (info.m_strDescription != pEntry->m_strDescriptionText) {
        pEntry->m_strDescriptionText = info.m_strDescription;
        pEntry->m_strDescription = EscapeXmlText(info.m_strDescription);
    }
    if (auth.m_bLogon) {
        pEntry->m_strAccountName = auth.m_strAccountName;
        pEntry->m_strPassword = auth.m_strPassword;
        pEntry->m_bHttpAuth = auth.m_bHttpAuth != 0;
    } else {
        pEntry->m_strAccountName.Empty();
        pEntry->m_strPassword.Empty();
    }
    if (update.m_nInterval != pEntry->m_nUpdateInterval)
        pEntry->m_nUpdateInterval = pEntry->m_nCountdown = update.m_nInterval;
    if (!pEntry->m_strSubject.IsEmpty()) {
        if (pEntry->m_strSubject == LoadResourceString(IDS_MAIN_CATEGORY))
            pEntry->m_strCategory.Empty();
        else
            pEntry->m_strCategory = pEntry->m_strSubject;
        pEntry->m_strSubject.Empty();
        bRebuild = true;
    }

    if (m_pCustomFeeds)
        m_pCustomFeeds->SaveCustomFeeds();
    // A changed entry of the server's list is kept too, not only until the next refresh ends.
    if (ListHolds(m_pMainFeeds, pEntry))
        m_pMainFeeds->SaveMainFeeds();
    if (bRebuild)
        BuildTaskPanel();
}

void CMainFrame::RenameCategory(const CString& strOldName, const CString& strNewName)
{
    CXTPTaskPanelGroup* pGroup =
        m_wndTaskPanel.GetSafeHwnd() != nullptr ? m_wndTaskPanel.FindGroupByCaption(strOldName) : nullptr;
    if (pGroup == nullptr || strNewName.IsEmpty())
        return;
    if (m_pCustomFeeds) {
        for (POSITION pos = m_pCustomFeeds->m_items.GetHeadPosition(); pos;) {
            CFeedItem* pEntry = m_pCustomFeeds->m_items.GetNext(pos);
            if (pEntry->m_strCategory == strOldName)
                pEntry->m_strCategory = strNewName;
        }
        m_pCustomFeeds->SaveCustomFeeds();
    }
    pGroup->SetCaption(strNewName);
    RepositionPane();
}

bool CMainFrame::ExportChannelsTo(const CString& strPath)
{
    return CopyFileSafely(GetEngineContext().m_strDataFolder + L"\\CustomFeed.xml", strPath);
}

void CMainFrame::OnExportChannels()
{
    CFileDialog dlg(FALSE, L"nwx", nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                    L"Lantern Quill Exported Files (*.NWX)|*.nwx|All Files (*.*)|*.*||", this);
    if (dlg.DoModal() == IDOK)
        ExportChannelsTo(dlg.GetPathName());
}

int CMainFrame::ImportChannelFile(const CString& strPath, bool bOpml)
{
    if (strPath.IsEmpty())
        return 0;
    CImportDlg dlg(this);
    dlg.m_strPath = strPath;
    dlg.m_bOpml = bOpml ? TRUE : FALSE;
    if (dlg.DoModal() != IDOK)
        return 0;
    CFeedChannel* pChosen = dlg.DetachChannel();
    if (pChosen == nullptr || pChosen->m_items.IsEmpty()) {
        delete pChosen;
        return 0;
    }
    RemoveUnsafeImports(pChosen);
    if (m_pCustomFeeds == nullptr) {
        m_pCustomFeeds = LoadCustomFeeds();
        if (m_pCustomFeeds == nullptr) {
            delete pChosen;
            return 0;
        }
    }
    int nAdded = 0;
    for (POSITION pos = pChosen->m_items.GetHeadPosition(); pos;) {
        CFeedItem* pChannel = pChosen->m_items.GetNext(pos);
        if (FindEntry(pChannel) != nullptr)
            continue;
        auto* pEntry = new CFeedItem(*pChannel);
        pEntry->m_strFile = MakeFeedFileName(pEntry->m_strTitleText);
        if (!dlg.m_bKeepCategories)
            pEntry->m_strCategory.Empty();
        m_pCustomFeeds->m_items.AddTail(pEntry);
        ++nAdded;
        if (SubscriptionsLogged(pEntry))
            LogUsage(5, 6, pEntry->m_strLinkText);
    }
    delete pChosen;
    m_pCustomFeeds->SaveCustomFeeds();
    AfxMessageBox(IDS_FEEDS_ADDED, MB_OK);
    StartFullRefresh();
    return nAdded;
}

void CMainFrame::OnImportChannels()
{
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST,
                    L"Lantern Quill Exported Files (*.NWX)|*.nwx|All Files (*.*)|*.*||", this);
    if (dlg.DoModal() == IDOK)
        ImportChannelFile(dlg.GetPathName(), false);
}

void CMainFrame::OnImportOpml()
{
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST,
                    L"OPML Files (*.OPML)|*.opml|All Files (*.*)|*.*||", this);
    if (dlg.DoModal() == IDOK)
        ImportChannelFile(dlg.GetPathName(), true);
}

void CMainFrame::SaveEnclosure(CFeedItem* pItem)
{
    if (pItem == nullptr || pItem->m_strEnclosureUrl.IsEmpty())
        return;
    CString name = pItem->m_strEnclosureUrl.Mid(pItem->m_strEnclosureUrl.ReverseFind(L'/') + 1);
    const int query = name.FindOneOf(L"?#");
    CString defaultExt;
    if (!pItem->m_strEnclosureType.IsEmpty()) {
        CString extension;
        HKEY hKey = nullptr;
        const CString key = L"MIME\\Database\\Content Type\\" + pItem->m_strEnclosureType;
        if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key, 0, KEY_QUERY_VALUE, &hKey) == ERROR_SUCCESS) {
            WCHAR value[64] = {};
            DWORD size = sizeof(value) - sizeof(WCHAR);
            DWORD type = 0;
            if (::RegQueryValueExW(hKey, L"Extension", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                    ERROR_SUCCESS &&
                type == REG_SZ)
                extension = value;
            ::RegCloseKey(hKey);
        }
        if (extension.IsEmpty()) {
            if (AfxMessageBox(L"This enclosure type is unsupported. Do you want to download it anyway?",
                              MB_YESNO | MB_ICONQUESTION) != IDYES)
                return;
        } else if (name.Find(extension, 1) > 0) {
            defaultExt = extension.Mid(1);
        }
    } else if (query < 0) {
        const int dot = name.ReverseFind(L'.');
        if (dot >= 0)
            defaultExt = name.Mid(dot + 1);
    }
    if (query >= 0)
        name = name.Left(query);
    // The name is the server's: only a plain file name may be offered, inside whatever folder the user picks.
    name = CleanEnclosureFileName(name);
    defaultExt = CleanEnclosureFileName(defaultExt);

    DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (pItem->m_nEnclosureState == 2)
        flags &= ~static_cast<DWORD>(OFN_OVERWRITEPROMPT);
    CFileDialog dlg(FALSE, defaultExt.IsEmpty() ? nullptr : defaultExt.GetString(), name, flags,
                    L"All Files (*.*)|*.*||", this);
    if (dlg.DoModal() != IDOK)
        return;
    QueueEnclosureDownload(pItem, dlg.GetPathName());
}

bool CMainFrame::QueueEnclosureDownload(CFeedItem* pItem, const CString& strPath)
{
    // Only a full path (a drive's or a share's) to a file in a folder that exists: nothing the worker would write
    // through a device.
    const bool bDrivePath = strPath.GetLength() > 3 && strPath[1] == L':' && strPath[2] == L'\\';
    const bool bSharePath =
        strPath.Left(2) == L"\\\\" && strPath.Left(4) != L"\\\\.\\" && strPath.Left(4) != L"\\\\?\\";
    const DWORD folder = ::GetFileAttributesW(strPath.Left(strPath.ReverseFind(L'\\')));
    const CString name = strPath.Mid(strPath.ReverseFind(L'\\') + 1);
    if (pItem == nullptr || !(bDrivePath || bSharePath) || folder == INVALID_FILE_ATTRIBUTES ||
        !(folder & FILE_ATTRIBUTE_DIRECTORY) || name.IsEmpty() || CleanEnclosureFileName(name) != name)
        return false;
    pItem->m_strEnclosureFile = strPath;
    if (m_pWorkerThread == nullptr)
        return false;
    return ::PostThreadMessageW(m_pWorkerThread->m_nThreadID, WM_WORKER_DOWNLOAD_ENCLOSURE,
                                reinterpret_cast<WPARAM>(pItem), 0) != FALSE;
}

LRESULT CMainFrame::OnRunUpdater(WPARAM, LPARAM lParam)
{
    // Any program on the desktop can send this message: only a package our own download checked is run.
    if (lParam != 0 && TakeCheckedUpdatePackage())
        RunUpdater(TRUE);
    return 0;
}
