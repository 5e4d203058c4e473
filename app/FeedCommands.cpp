#include "app/FeedCommands.h"
#include "res/resource.h"

#include "app/AppMessages.h"
#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "companions/FeedPropertyPages.h"
#include "companions/FeedSubscribeDlg.h"
#include "feeds/DataFiles.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedStore.h"
#include "feeds/FeedText.h"
#include "feeds/OpmlImport.h"
#include "feeds/UpdateCheck.h"
#include "feeds/ui/UpdateReadyDlg.h"
#include "feeds/UsageLog.h"
#include "feeds/WebAddresses.h"
#include "feeds/ui/ImportDlg.h"
#include "framework/core/SafeFile.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/FileDialog.h"
#include "framework/win/PropertySheet.h"
#include "framework/win/WinApp.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"

#include <shellapi.h>

#include <memory>

namespace {

const int kNewEntryInterval = 60;
const wchar_t kExportFilter[] = L"Lantern Quill Exported Files (*.NWX)|*.nwx|All Files (*.*)|*.*||";

bool SubscriptionsLogged(const CFeedItem* pEntry)
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    return settings.bStatsEnabled && settings.nReportStat && settings.bLogSubscriptions &&
           pEntry->m_strAccountName.IsEmpty();
}

LPCWSTR BrandingUrl(UINT nID)
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    return nID == ID_HELP_ONLINE    ? settings.szHelpUrl
           : nID == ID_BROWSE_FEEDS ? settings.szBrowseFeedsUrl
                                    : settings.szGettingStartedUrl;
}

// Whether the item is one of the items of the feeds of the list's entries.
bool FeedsOfListHold(CFeedChannel* pList, const CFeedItem* pItem)
{
    for (POSITION pos = pList ? pList->m_items.GetHeadPosition() : nullptr; pos;) {
        CFeedItem* entry = pList->m_items.GetNext(pos);
        if (entry->m_pChannel && ListHolds(entry->m_pChannel, pItem))
            return true;
    }
    return false;
}

// The file extension the platform registers for a content type ("MIME\Database\Content Type"); empty when none.
CString ExtensionOfType(const CString& type)
{
    CScopedRegKey key;
    const CString path = L"MIME\\Database\\Content Type\\" + type;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return CString();
    WCHAR value[64] = {};
    DWORD size = sizeof(value) - sizeof(WCHAR);
    DWORD valueType = 0;
    if (::RegQueryValueExW(key, L"Extension", nullptr, &valueType, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        valueType != REG_SZ)
        return CString();
    return value;
}

} // namespace

CFeedCommands::CFeedCommands(CMainFrame& frame) : m_frame(frame) {}

// ---- Subscribing

CFeedItem* CFeedCommands::NewEntryFromSubscription(const CFeedSubscribeDlg& dlg) const
{
    auto* pEntry = new CFeedItem;
    const CFeedChannel* pChannel = dlg.m_pChannel;
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
    return pEntry;
}

bool CFeedCommands::SubscribeFeed(const CString& strUrl)
{
    CFeedSubscribeDlg dlg(&m_frame);
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

    CFeedItem* pEntry = NewEntryFromSubscription(dlg);
    pEntry->m_pChannel = dlg.m_pChannel;
    dlg.m_pChannel = nullptr;
    if (m_frame.Lists().FindEntry(pEntry) != nullptr) {
        AfxMessageBox(IDS_ALREADY_SUBSCRIBED, MB_OK | MB_ICONEXCLAMATION);
        delete pEntry;
        return false;
    }
    pEntry->m_nKind = FEED_KIND_FEED;
    CFeedSubscribeDlg2 dlg2(&m_frame);
    dlg2.m_pEntry = pEntry;
    dlg2.m_pGroups = m_frame.PaneSite().GetCategoryGroups();
    if (dlg2.DoModal() != IDOK || !AddSubscribedEntry(pEntry, dlg.m_strIconFile)) {
        delete pEntry;
        return false;
    }
    return true;
}

// The entry joins the custom list with its file names, its icon and its cache; false when the list cannot be had.
bool CFeedCommands::AddSubscribedEntry(CFeedItem* pEntry, const CString& strIconFile)
{
    CFeedChannel* pCustom = m_frame.Lists().CustomForAdding();
    if (pCustom == nullptr)
        return false;
    pEntry->m_strFile = MakeFeedFileName(pEntry->m_strTitleText);
    pEntry->m_nImageIndex = 0;
    if (!strIconFile.IsEmpty()) {
        const CString icon = pEntry->GetIconFileName();
        if (!icon.IsEmpty() && CopyFileSafely(strIconFile, icon))
            pEntry->m_nImageIndex = -1;
    }
    pCustom->m_items.AddTail(pEntry);
    pCustom->SaveCustomFeeds();
    const CString cache = pEntry->GetCacheFileName();
    if (!cache.IsEmpty())
        pEntry->m_pChannel->SaveCache(cache, TRUE);
    pEntry->CountNews();
    m_frame.PaneSite().BuildTaskPanel();
    if (SubscriptionsLogged(pEntry))
        LogUsage(5, 8, pEntry->m_strLinkText);
    return true;
}

bool CFeedCommands::IsFeedAddress(const CString& text)
{
    if (text.IsEmpty() || text.GetLength() > 2048)
        return false;
    for (int i = 0; i < text.GetLength(); ++i) {
        const WCHAR c = text[i];
        if (c < 0x20 || c == 0x7F || c == L'"')
            return false;
    }
    CString lower(text);
    lower.MakeLower();
    return lower.Left(7) == L"http://" || lower.Left(8) == L"https://" || lower.Left(5) == L"feed:";
}

void CFeedCommands::SubscribeHandedOver()
{
    // One flow at a time: an address handed over while a dialog is open waits for it to close.
    if (m_bSubscribing || m_handedOver.IsEmpty())
        return;
    m_bSubscribing = true;
    const CString address = m_handedOver.RemoveHead();
    SubscribeFeed(address);
    m_bSubscribing = false;
    if (!m_handedOver.IsEmpty())
        m_frame.PostMessage(WM_SUBSCRIBE_HANDED_OVER);
}

// ---- Channels and categories

void CFeedCommands::ShowChannelProperties(CFeedItem* pEntry, int nPage)
{
    if (pEntry == nullptr)
        return;
    CSubscriptionLists& lists = m_frame.Lists();
    CFeedPropertiesDlg info;
    info.m_strTitle = pEntry->m_strTitleText;
    info.m_strDescription = pEntry->m_strDescriptionText;
    info.m_pEntry = pEntry;
    info.m_bHideLink = ListHolds(lists.Main(), pEntry) ? 1 : 0;
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
    category.m_pTaskPanel = m_frame.PaneSite().GetNavigationPane();
    category.m_pEntry = pEntry;

    CPropertySheet sheet(IDS_FEED_PROPERTIES, &m_frame, nPage >= 0 && nPage < 4 ? nPage : 0);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    sheet.AddPage(&info);
    sheet.AddPage(&auth);
    sheet.AddPage(&update);
    sheet.AddPage(&category);
    pEntry->m_strSubject.Empty();
    if (sheet.DoModal() != IDOK)
        return;
    const bool bRebuild = TakeProperties(pEntry, info, auth, update);
    lists.SaveCustom();
    // A changed entry of the server's list is kept too, not only until the next refresh ends.
    if (ListHolds(lists.Main(), pEntry))
        lists.SaveMain();
    if (bRebuild)
        m_frame.PaneSite().BuildTaskPanel();
}

// The sheet's pages written back to the entry (the category page leaves its choice in the entry's subject); true
// when the pane must be built again.
bool CFeedCommands::TakeProperties(CFeedItem* pEntry, const CFeedPropertiesDlg& info, const CFeedAuthDlg& auth,
                                   const CFeedUpdateDlg& update)
{
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
    return bRebuild;
}

void CFeedCommands::RenameCategory(const CString& strOldName, const CString& strNewName)
{
    CFeedTaskPanel* pane = m_frame.PaneSite().GetNavigationPane();
    CXTPTaskPanelGroup* pGroup = pane->GetSafeHwnd() != nullptr ? pane->FindGroupByCaption(strOldName) : nullptr;
    if (pGroup == nullptr || strNewName.IsEmpty())
        return;
    if (CFeedChannel* pCustom = m_frame.Lists().Custom()) {
        for (POSITION pos = pCustom->m_items.GetHeadPosition(); pos;) {
            CFeedItem* pEntry = pCustom->m_items.GetNext(pos);
            if (pEntry->m_strCategory == strOldName)
                pEntry->m_strCategory = strNewName;
        }
        pCustom->SaveCustomFeeds();
    }
    pGroup->SetCaption(strNewName);
    m_frame.PaneSite().RepositionPane();
}

void CFeedCommands::MarkAllFeedsRead()
{
    ForEachEntry(m_frame.Lists().Main(), m_frame.Lists().Custom(), [](CFeedChannel*, CFeedItem* pEntry) {
        if (pEntry->m_pChannel != nullptr) {
            pEntry->m_pChannel->MarkAllRead(TRUE);
            pEntry->CountNews();
        }
    });
    CPaneSite& site = m_frame.PaneSite();
    site.RefreshPaneContents();
    // The open page is drawn from the channel's cache file: write the new states there and draw it again.
    CFeedItem* pShown = site.GetShownEntry();
    if (pShown != nullptr && pShown->m_pChannel != nullptr) {
        const CString strCache = pShown->GetCacheFileName();
        if (!strCache.IsEmpty())
            pShown->m_pChannel->SaveCache(strCache, FALSE);
        site.ShowChannelAgainIfShown(pShown);
    }
}

// ---- Deleting channels and categories

namespace {

void DeleteOwnFile(const CString& path)
{
    // The names are the entry's own, checked to lie in the data folder; a file that will not go stays behind.
    if (!path.IsEmpty())
        ::DeleteFileW(path);
}

// The category a group's caption stands for: "Main Category" is the entries without one.
CString CategoryOfCaption(const CString& strCaption)
{
    return strCaption == LoadResourceString(IDS_MAIN_CATEGORY) ? CString() : strCaption;
}

// Entries of a category group: what the pane places under the category's caption.
bool ShownInCategory(const CFeedItem* pEntry, bool bCustomList)
{
    return !bCustomList || pEntry->m_nKind == FEED_KIND_FEED || pEntry->m_nKind == FEED_KIND_IFRAME;
}

} // namespace

bool CFeedCommands::RemoveEntry(CFeedItem* pEntry, bool bSave)
{
    CSubscriptionLists& lists = m_frame.Lists();
    const bool bCustom = ListHolds(lists.Custom(), pEntry);
    CFeedChannel* pList = bCustom ? lists.Custom() : lists.Main();
    POSITION pos = pList != nullptr ? pList->m_items.Find(pEntry) : nullptr;
    if (pos == nullptr)
        return false;
    m_frame.PaneSite().RemoveEntryFromPane(pEntry);
    pList->m_items.RemoveAt(pos);
    DeleteOwnFile(pEntry->GetCacheFileName());
    DeleteOwnFile(pEntry->GetIconFileName());
    if (SubscriptionsLogged(pEntry))
        LogUsage(5, 9, pEntry->m_strLinkText);
    if (!bCustom && !pEntry->m_strLinkText.IsEmpty() && theApp.m_unsubscribed.Find(pEntry->m_strLinkText) == nullptr) {
        theApp.m_unsubscribed.AddTail(pEntry->m_strLinkText);
        theApp.SaveUnsubscribed();
    }
    delete pEntry;
    if (bSave) {
        if (bCustom)
            lists.SaveCustom();
        else
            lists.SaveMain();
    }
    return true;
}

bool CFeedCommands::DeleteChannel(CFeedItem* pEntry, bool bSave)
{
    if (pEntry == nullptr)
        return false;
    if (!m_frame.Lists().CanChangeEntry(pEntry)) {
        AfxMessageBox(IDS_BUSY_UPDATING, MB_OK);
        return false;
    }
    if (!RemoveEntry(pEntry, bSave))
        return false;
    m_frame.PaneSite().BuildTaskPanel();
    m_frame.PaneSite().RedrawPane();
    return true;
}

void CFeedCommands::UnsubscribeHotChannel()
{
    CFeedTaskPanel* pane = m_frame.PaneSite().GetNavigationPane();
    CFeedItem* pEntry = pane->GetSafeHwnd() != nullptr ? CFeedTaskPanel::GetRecord(pane->GetHotItem()) : nullptr;
    if (pEntry != nullptr && pEntry->m_nKind == FEED_KIND_FEED && pEntry->m_bMayUnsubscribe &&
        m_frame.Lists().Custom() != nullptr)
        DeleteChannel(pEntry, true);
}

void CFeedCommands::UpdateUnsubscribe(CCmdUI* pCmdUI)
{
    CFeedTaskPanel* pane = m_frame.PaneSite().GetNavigationPane();
    const CFeedItem* pEntry = pane->GetSafeHwnd() != nullptr ? CFeedTaskPanel::GetRecord(pane->GetHotItem()) : nullptr;
    pCmdUI->Enable(pEntry != nullptr && pEntry->m_nKind == FEED_KIND_FEED && pEntry->m_bMayUnsubscribe &&
                   m_frame.Lists().FindEntry(pEntry) != nullptr);
}

BOOL CFeedCommands::DeleteCategory(const CString& strCaption)
{
    CFeedTaskPanel* pane = m_frame.PaneSite().GetNavigationPane();
    if (pane->GetSafeHwnd() == nullptr || pane->FindGroupByCaption(strCaption) == nullptr)
        return FALSE;
    CSubscriptionLists& lists = m_frame.Lists();
    // One refusal for the whole category, before anything goes: a download may hold any of its entries.
    bool bRefused = m_frame.Refresher().IsUpdating();
    const CString category = CategoryOfCaption(strCaption);
    CPtrList doomed;
    ForEachEntry(lists.Main(), lists.Custom(), [&](CFeedChannel* pList, CFeedItem* pEntry) {
        const bool bCustom = pList == lists.Custom();
        if (pEntry->m_strCategory != category || !ShownInCategory(pEntry, bCustom) ||
            (!bCustom && !pEntry->m_bMayUnsubscribe))
            return;
        doomed.AddTail(pEntry);
        bRefused = bRefused || !lists.CanChangeEntry(pEntry);
    });
    if (bRefused) {
        AfxMessageBox(IDS_BUSY_UPDATING, MB_OK);
        return TRUE;
    }
    bool bMain = false;
    bool bCustom = false;
    for (POSITION pos = doomed.GetHeadPosition(); pos;) {
        auto* pEntry = static_cast<CFeedItem*>(doomed.GetNext(pos));
        const bool bInCustom = ListHolds(lists.Custom(), pEntry);
        if (RemoveEntry(pEntry, false))
            (bInCustom ? bCustom : bMain) = true;
    }
    if (bMain)
        lists.SaveMain();
    if (bCustom)
        lists.SaveCustom();
    m_frame.PaneSite().BuildTaskPanel();
    m_frame.PaneSite().RedrawPane();
    return TRUE;
}

void CFeedCommands::UpdateCategory(const CString& strCaption)
{
    const CString category = CategoryOfCaption(strCaption);
    CPtrList entries;
    ForEachEntry(m_frame.Lists().Main(), m_frame.Lists().Custom(), [&](CFeedChannel*, CFeedItem* pEntry) {
        if (pEntry->m_nKind == FEED_KIND_FEED && pEntry->m_strCategory == category)
            entries.AddTail(pEntry);
    });
    if (!entries.IsEmpty())
        m_frame.Refresher().RefreshEntries(entries);
}

namespace {

CXTPTaskPanelGroup* HotGroup(CFeedTaskPanel* pane)
{
    CXTPTaskPanelItem* pItem = pane->GetSafeHwnd() != nullptr ? pane->GetHotItem() : nullptr;
    return pItem != nullptr && pItem->IsGroup() ? static_cast<CXTPTaskPanelGroup*>(pItem) : nullptr;
}

} // namespace

void CFeedCommands::DeleteHotCategory()
{
    CXTPTaskPanelGroup* pGroup = HotGroup(m_frame.PaneSite().GetNavigationPane());
    if (pGroup == nullptr)
        return;
    const CString strCaption = pGroup->GetCaption();
    if (AfxMessageBox(IDS_DELETE_CATEGORY_QUESTION, MB_YESNO | MB_ICONQUESTION) == IDYES)
        DeleteCategory(strCaption);
}

void CFeedCommands::UpdateHotCategory()
{
    if (CXTPTaskPanelGroup* pGroup = HotGroup(m_frame.PaneSite().GetNavigationPane()))
        UpdateCategory(pGroup->GetCaption());
}

void CFeedCommands::UpdateCategoryCommand(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_frame.Refresher().IsUpdating() && HotGroup(m_frame.PaneSite().GetNavigationPane()) != nullptr);
}

void CFeedCommands::RenameHotCategory()
{
    CXTPTaskPanelGroup* pGroup = HotGroup(m_frame.PaneSite().GetNavigationPane());
    if (pGroup == nullptr || !m_frame.PaneSite().IsNewCategory(pGroup->GetCaption()))
        return;
    const CString strOld = pGroup->GetCaption();
    CString strNew;
    if (m_frame.PaneSite().AskCategoryName(strOld, strNew))
        RenameCategory(strOld, strNew);
}

void CFeedCommands::UpdateRenameHotCategory(CCmdUI* pCmdUI)
{
    CXTPTaskPanelGroup* pGroup = HotGroup(m_frame.PaneSite().GetNavigationPane());
    pCmdUI->Enable(pGroup != nullptr && m_frame.PaneSite().IsNewCategory(pGroup->GetCaption()));
}

namespace {

CFeedItem* HotResultPage(CFeedTaskPanel* pane)
{
    CFeedItem* pEntry = pane->GetSafeHwnd() != nullptr ? CFeedTaskPanel::GetRecord(pane->GetHotItem()) : nullptr;
    return pEntry != nullptr &&
                   (pEntry->m_nKind == FEED_KIND_SEARCH_RESULT || pEntry->m_nKind == FEED_KIND_FILTER_RESULT)
               ? pEntry
               : nullptr;
}

} // namespace

namespace {

CFeedItem* HotChannel(CFeedTaskPanel* pane)
{
    CFeedItem* pEntry = pane->GetSafeHwnd() != nullptr ? CFeedTaskPanel::GetRecord(pane->GetHotItem()) : nullptr;
    return pEntry != nullptr && pEntry->m_nKind == FEED_KIND_FEED ? pEntry : nullptr;
}

} // namespace

void CFeedCommands::ViewHotChannelSeparately()
{
    if (CFeedItem* pEntry = HotChannel(m_frame.PaneSite().GetNavigationPane()))
        m_frame.Companions().ShowChannelView(pEntry);
}

void CFeedCommands::UpdateViewHotChannelSeparately(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_frame.Companions().GetChannelViewer() != nullptr &&
                   HotChannel(m_frame.PaneSite().GetNavigationPane()) != nullptr);
}

void CFeedCommands::DeleteHotResults()
{
    if (CFeedItem* pEntry = HotResultPage(m_frame.PaneSite().GetNavigationPane()))
        m_frame.PaneSite().RemoveResultPage(pEntry);
}

void CFeedCommands::UpdateDeleteHotResults(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HotResultPage(m_frame.PaneSite().GetNavigationPane()) != nullptr);
}

// ---- Export and import

bool CFeedCommands::ExportChannelsTo(const CString& strPath)
{
    return CopyFileSafely(GetEngineContext().m_strDataFolder + L"\\CustomFeed.xml", strPath);
}

void CFeedCommands::ExportChannels()
{
    CFileDialog dlg(FALSE, L"nwx", nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, kExportFilter, &m_frame);
    if (dlg.DoModal() == IDOK)
        ExportChannelsTo(dlg.GetPathName());
}

int CFeedCommands::ImportChannelFile(const CString& strPath, bool bOpml)
{
    if (strPath.IsEmpty())
        return 0;
    // A damaged file says so before the dialog, which would show it as an empty list.
    if (std::unique_ptr<CFeedChannel>(bOpml ? LoadOpml(strPath) : LoadExportedList(strPath)) == nullptr) {
        AfxMessageBox(IDS_IMPORT_UNREADABLE, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    CImportDlg dlg(&m_frame);
    dlg.m_strPath = strPath;
    dlg.m_bOpml = bOpml ? TRUE : FALSE;
    if (dlg.DoModal() != IDOK)
        return 0;
    std::unique_ptr<CFeedChannel> pChosen(dlg.DetachChannel());
    if (pChosen == nullptr || pChosen->m_items.IsEmpty()) {
        AfxMessageBox(IDS_IMPORT_NOTHING_CHOSEN, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    RemoveUnsafeImports(pChosen.get());
    CFeedChannel* pCustom = m_frame.Lists().CustomForAdding();
    if (pCustom == nullptr)
        return 0;
    int nAdded = 0;
    for (POSITION pos = pChosen->m_items.GetHeadPosition(); pos;) {
        CFeedItem* pChannel = pChosen->m_items.GetNext(pos);
        if (m_frame.Lists().FindEntry(pChannel) != nullptr)
            continue;
        auto* pEntry = new CFeedItem(*pChannel);
        pEntry->m_strFile = MakeFeedFileName(pEntry->m_strTitleText);
        if (!dlg.m_bKeepCategories)
            pEntry->m_strCategory.Empty();
        pCustom->m_items.AddTail(pEntry);
        ++nAdded;
        if (SubscriptionsLogged(pEntry))
            LogUsage(5, 6, pEntry->m_strLinkText);
    }
    pChosen.reset();
    pCustom->SaveCustomFeeds();
    AfxMessageBox(IDS_FEEDS_ADDED, MB_OK);
    m_frame.Refresher().StartFullRefresh();
    return nAdded;
}

void CFeedCommands::ImportChannels(bool bOpml)
{
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST,
                    bOpml ? L"OPML Files (*.OPML)|*.opml|All Files (*.*)|*.*||" : kExportFilter, &m_frame);
    if (dlg.DoModal() == IDOK)
        ImportChannelFile(dlg.GetPathName(), bOpml);
}

// ---- Enclosures

// The server's name of the enclosure and the extension the save dialog adds; false when the user declined an
// enclosure of a type the platform does not know.
bool CFeedCommands::OfferedFileName(const CFeedItem* pItem, CString& name, CString& defaultExt) const
{
    name = pItem->m_strEnclosureUrl.Mid(pItem->m_strEnclosureUrl.ReverseFind(L'/') + 1);
    const int query = name.FindOneOf(L"?#");
    if (!pItem->m_strEnclosureType.IsEmpty()) {
        const CString extension = ExtensionOfType(pItem->m_strEnclosureType);
        if (extension.IsEmpty()) {
            if (AfxMessageBox(L"This enclosure type is unsupported. Do you want to download it anyway?",
                              MB_YESNO | MB_ICONQUESTION) != IDYES)
                return false;
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
    return true;
}

void CFeedCommands::SaveEnclosure(CFeedItem* pItem)
{
    if (pItem == nullptr || pItem->m_strEnclosureUrl.IsEmpty())
        return;
    CString name;
    CString defaultExt;
    if (!OfferedFileName(pItem, name, defaultExt))
        return;
    DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (pItem->m_nEnclosureState == 2)
        flags &= ~static_cast<DWORD>(OFN_OVERWRITEPROMPT);
    CFileDialog dlg(FALSE, defaultExt.IsEmpty() ? nullptr : defaultExt.GetString(), name, flags,
                    L"All Files (*.*)|*.*||", &m_frame);
    if (dlg.DoModal() != IDOK)
        return;
    QueueEnclosureDownload(pItem, dlg.GetPathName());
}

bool CFeedCommands::QueueEnclosureDownload(CFeedItem* pItem, const CString& strPath)
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
    return m_frame.Refresher().PostEnclosureDownload(pItem);
}

void CFeedCommands::OnEnclosureDone(CFeedItem* pItem)
{
    if (!pItem)
        return;
    pItem->m_bEnclosureJob = false;
    if (pItem->m_nEnclosureState != 1 || pItem->m_strEnclosureFile.IsEmpty())
        return;
    const DWORD attributes = ::GetFileAttributesW(pItem->m_strEnclosureFile);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    if (AfxMessageBox(IDS_ENCLOSURE_DOWNLOADED, MB_YESNO | MB_ICONQUESTION) == IDYES)
        ::ShellExecuteW(m_frame.GetSafeHwnd(), L"open", pItem->m_strEnclosureFile, nullptr, nullptr, SW_SHOW);
}

// ---- Branding links, usage and updates

void CFeedCommands::OpenBrandingLink(UINT nID)
{
    LPCWSTR url = BrandingUrl(nID);
    if (IsWebAddress(url))
        ::ShellExecuteW(m_frame.GetSafeHwnd(), nID == ID_HELP_ONLINE ? L"open" : nullptr, url, nullptr, nullptr,
                        SW_SHOW);
}

void CFeedCommands::UpdateBrandingLink(CCmdUI* pCmdUI) const
{
    pCmdUI->Enable(IsWebAddress(BrandingUrl(pCmdUI->m_nID)));
}

void CFeedCommands::LogUsageEvent(WPARAM type, CFeedItem* pItem)
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    if (!settings.nReportStat || !pItem)
        return;
    CFeedChannel* mainFeeds = m_frame.Lists().Main();
    CFeedChannel* customFeeds = m_frame.Lists().Custom();
    int kind = 0;
    int action = 0;
    if (type == 1) {
        kind = action = 1;
    } else if ((type == 4 || type == 5) && settings.bStatsEnabled) {
        if (type == 4 && ListHolds(mainFeeds, pItem)) {
            kind = action = 2;
        } else if (type == 4 && ListHolds(customFeeds, pItem) && pItem->m_strAccountName.IsEmpty()) {
            kind = 3;
            action = 4;
        } else if (type == 5 && FeedsOfListHold(mainFeeds, pItem)) {
            kind = 2;
            action = 3;
        } else if (type == 5 && FeedsOfListHold(customFeeds, pItem)) {
            kind = 3;
            action = 5;
        }
    }
    if (kind)
        LogUsage(kind, action, pItem->m_strLink);
}

void CFeedCommands::OfferUpdate(CString* pPath)
{
    if (!pPath)
        return;
    CUpdateReadyDlg offer(&m_frame);
    offer.m_strPath = *pPath;
    delete pPath;
    offer.OfferUpdate();
}

void CFeedCommands::RunCheckedUpdater()
{
    if (TakeCheckedUpdatePackage())
        RunUpdater(TRUE);
}
