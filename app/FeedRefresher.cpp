#include "app/FeedRefresher.h"
#include "res/resource.h"

#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "app/RefreshTimer.h"
#include "feeds/DataFiles.h"
#include "feeds/Branding.h"
#include "feeds/EnclosureJob.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/HttpFetch.h"
#include "feeds/ViewTemplates.h"
#include "framework/core/SafeFile.h"
#include "framework/core/ScopedHandles.h"

namespace {

void MakeUnread(CFeedChannel* pChannel)
{
    for (POSITION pos = pChannel->m_items.GetHeadPosition(); pos;) {
        CFeedItem* item = pChannel->m_items.GetNext(pos);
        if (item->m_nReadState != FEED_STATE_READ)
            item->m_nReadState = FEED_STATE_UNREAD;
    }
}

bool IsUnsubscribed(const CString& link)
{
    return theApp.m_unsubscribed.Find(link) != nullptr;
}

// A new entry of the server's list gets its file name and an empty cache file.
void GiveFiles(CFeedItem* pEntry)
{
    if (pEntry->m_strFile.IsEmpty())
        pEntry->m_strFile = MakeFeedFileName(pEntry->m_strTitleText);
    const CString cache = pEntry->GetCacheFileName();
    if (cache.IsEmpty())
        return;
    const CScopedFile created(
        ::CreateFileW(cache, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void DeleteEntryFile(const CString& path)
{
    if (!path.IsEmpty())
        ::DeleteFileW(path);
}

} // namespace

CFeedRefresher::CFeedRefresher(CMainFrame& frame) : m_frame(frame) {}

void CFeedRefresher::Start()
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    m_link.m_hFrame = m_frame.GetSafeHwnd();
    m_link.m_nMaxConnections = settings.nMaxConnections;
    m_link.m_nChannelListPeriod = settings.nChannelListPeriod > 0 ? settings.nChannelListPeriod : 60;
    m_pWorkerThread = StartFeedWorker(&m_link);
    if (EngineProfileInt(L"", L"Check at startup", 1)) {
        StartFullRefresh();
    } else if (m_pWorkerThread) {
        m_frame.PaneSite().ShowRefreshRunning();
        m_link.m_nChannelListCountdown = 1;
        m_pWorkerThread->PostThreadMessage(WM_WORKER_UPDATE, 0, WORKER_UPDATE_NOTHING);
    }
    m_frame.SetTimer(kRefreshTimerId, 60000, nullptr);
}

void CFeedRefresher::Shutdown()
{
    m_frame.KillTimer(kRefreshTimerId);
    m_monitor.Stop();
    if (IsUpdating())
        StopRefresh();
    m_bShutDown = true;
    StopFeedWorker(m_pWorkerThread);
    m_pWorkerThread = nullptr;
}

// ---- Requests

bool CFeedRefresher::StartFullRefresh()
{
    if (!m_pWorkerThread)
        return false;
    m_bFullRefresh = true;
    m_frame.PaneSite().ShowRefreshRunning();
    return m_pWorkerThread->PostThreadMessage(WM_WORKER_UPDATE, 0, WORKER_UPDATE_ALL) != FALSE;
}

void CFeedRefresher::PrepareForDownload(CFeedItem* pEntry)
{
    pEntry->m_bUpdating = true;
    pEntry->m_nCountdown = pEntry->m_nUpdateInterval;
    if (pEntry->m_pChannel)
        pEntry->m_pChannel->ResetItemStates();
}

bool CFeedRefresher::RequestRefresh(CFeedItem* pEntry)
{
    // An entry a download holds already is not handed out twice.
    if (!m_pWorkerThread || !pEntry || pEntry->m_bUpdating)
        return false;
    PrepareForDownload(pEntry);
    m_frame.PaneSite().ShowRefreshRunning();
    if (m_pWorkerThread->PostThreadMessage(WM_WORKER_UPDATE, reinterpret_cast<WPARAM>(pEntry), WORKER_UPDATE_ONE))
        return true;
    pEntry->m_bUpdating = false;
    return false;
}

bool CFeedRefresher::RequestRefresh(const CPtrList& entries)
{
    if (!m_pWorkerThread)
        return false;
    auto* list = new CPtrList;
    for (POSITION pos = entries.GetHeadPosition(); pos;) {
        auto* entry = static_cast<CFeedItem*>(entries.GetNext(pos));
        if (entry && !entry->m_bUpdating && !list->Find(entry)) {
            PrepareForDownload(entry);
            list->AddTail(entry);
        }
    }
    if (list->IsEmpty()) {
        delete list;
        return false;
    }
    m_frame.PaneSite().ShowRefreshRunning();
    if (m_pWorkerThread->PostThreadMessage(WM_WORKER_UPDATE, reinterpret_cast<WPARAM>(list), WORKER_UPDATE_LIST))
        return true;
    while (!list->IsEmpty())
        static_cast<CFeedItem*>(list->RemoveHead())->m_bUpdating = false;
    delete list;
    return false;
}

bool CFeedRefresher::RefreshEntry(CFeedItem* pEntry)
{
    m_bFullRefresh = false;
    return RequestRefresh(pEntry);
}

bool CFeedRefresher::RefreshEntries(const CPtrList& entries)
{
    m_bFullRefresh = false;
    return RequestRefresh(entries);
}

bool CFeedRefresher::StopRefresh()
{
    m_bFullRefresh = false;
    return m_pWorkerThread && m_pWorkerThread->PostThreadMessage(WM_WORKER_STOP, 0, 0);
}

void CFeedRefresher::UpdateNow()
{
    if (IsUpdating())
        return;
    if (!m_bOnline) {
        if (AfxMessageBox(IDS_OFFLINE_QUESTION, MB_YESNO) != IDYES)
            return;
        m_bOnline = true;
    }
    StartFullRefresh();
}

bool CFeedRefresher::PostSearch(CFeedItem* pEntry, const CString& strText)
{
    if (!m_pWorkerThread || m_bShutDown)
        return false;
    // A search during a full refresh must not cost that refresh its pane rebuild and its saved lists.
    if (!IsUpdating())
        m_bFullRefresh = false;
    m_link.SetSearchText(strText);
    if (pEntry->m_nKind == FEED_KIND_SEARCH_IN)
        m_frame.PaneSite().ShowRefreshRunning();
    m_pWorkerThread->PostThreadMessage(WM_WORKER_SEARCH, reinterpret_cast<WPARAM>(pEntry), 0);
    return true;
}

bool CFeedRefresher::PostQuickFilter()
{
    if (!m_pWorkerThread || m_bShutDown)
        return false;
    return ::PostThreadMessageW(m_pWorkerThread->m_nThreadID, WM_WORKER_QUICK_FILTER, 0, 0) != FALSE;
}

bool CFeedRefresher::PostEnclosureDownload(CFeedItem* pItem)
{
    if (m_pWorkerThread == nullptr)
        return false;
    return ::PostThreadMessageW(m_pWorkerThread->m_nThreadID, WM_WORKER_DOWNLOAD_ENCLOSURE,
                                reinterpret_cast<WPARAM>(pItem), 0) != FALSE;
}

// ---- Reports

void CFeedRefresher::OnFeedUpdated(CFeedItem* pEntry)
{
    if (pEntry)
        ApplyRefreshedEntry(pEntry);
    else
        EndRefresh();
}

void CFeedRefresher::CollectFullRefresh(CPtrList& entries)
{
    CSubscriptionLists& lists = m_frame.Lists();
    ForEachEntry(lists.CustomForRefresh(), lists.Main(), [&](CFeedChannel*, CFeedItem* entry) {
        if (entry->m_bUpdating)
            return;
        entry->m_bUpdating = true;
        if (entry->m_nKind == FEED_KIND_FEED)
            entry->m_nCountdown = entry->m_nUpdateInterval;
        if (entry->m_pChannel)
            entry->m_pChannel->ResetItemStates();
        entries.AddTail(entry);
    });
}

void CFeedRefresher::OnStopped()
{
    // The worker has let go of every entry: a stopped refresh leaves none marked.
    ForEachEntry(m_frame.Lists().Main(), m_frame.Lists().Custom(),
                 [](CFeedChannel*, CFeedItem* pEntry) { pEntry->m_bUpdating = false; });
    m_frame.PaneSite().ShowRefreshEnded();
}

bool CFeedRefresher::TakeBranding(const CBrandingHandOver* pHandOver)
{
    CEngineContext& context = GetEngineContext();
    if (!pHandOver || context.m_strDataFolder.IsEmpty() ||
        !CopyFileSafely(pHandOver->strFile, context.m_strDataFolder + L"\\settings.xml") || !LoadBranding())
        return false;
    CReaderSettings& settings = context.m_settings;
    if (settings.szCaption[0])
        m_frame.SetWindowText(settings.szCaption);
    lstrcpynW(settings.szLogo, pHandOver->strLocalLogo, _countof(settings.szLogo));
    InstallViewTemplates();
    m_frame.Companions().SyncPodcastList();
    return true;
}

void CFeedRefresher::SendNewEnclosures(CFeedItem* pEntry)
{
    CWnd* podcast = m_frame.Companions().GetPodcastWindow();
    if (!podcast || !pEntry->m_pChannel)
        return;
    for (POSITION pos = pEntry->m_pChannel->m_items.GetHeadPosition(); pos;) {
        CFeedItem* item = pEntry->m_pChannel->m_items.GetNext(pos);
        if (item->m_nReadState == FEED_STATE_NEW && !item->m_strEnclosureUrl.IsEmpty())
            podcast->SendMessage(WM_PODCAST_ADD_ITEMS, reinterpret_cast<WPARAM>(new CEnclosureJob(item, pEntry)), 0);
    }
}

void CFeedRefresher::ApplyDownload(CFeedItem* pEntry)
{
    const CString download = pEntry->m_strDownloadFile;
    switch (pEntry->m_nDownloadResult) {
    case HTTP_FETCH_DONE:
        if (CFeedChannel* channel = pEntry->m_pChannel) {
            channel->m_strPath = download;
            MakeUnread(channel);
            if (channel->Reload()) {
                channel->m_dtLastUpdate = pEntry->m_dtDate;
                channel->PurgeItems(m_frame.Companions().GetPodcastWindow(), m_frame.Companions().GetTickerWindow());
                SendNewEnclosures(pEntry);
            }
        } else {
            auto* fresh = new CFeedChannel;
            if (fresh->LoadFile(download, nullptr, CFeedChannel::LOAD_FEED)) {
                fresh->m_strPath = download;
                fresh->m_dtLastUpdate = pEntry->m_dtDate;
                pEntry->m_pChannel = fresh;
                SendNewEnclosures(pEntry);
            } else {
                pEntry->m_bUpdateFailed = true;
                delete fresh;
            }
        }
        break;
    case HTTP_FETCH_NOT_MODIFIED:
        if (pEntry->m_pChannel) {
            MakeUnread(pEntry->m_pChannel);
            pEntry->m_pChannel->m_dtLastUpdate = pEntry->m_dtDate;
        } else if (LoadEntryCache(pEntry)) {
            pEntry->m_pChannel->m_dtLastUpdate = pEntry->m_dtDate;
        }
        break;
    default:
        if (!pEntry->m_pChannel && LoadEntryCache(pEntry))
            pEntry->m_dtDate = pEntry->m_pChannel->m_dtLastUpdate;
        break;
    }
    // The download is read: the temporary folder does not fill up with every refresh.
    DeleteEntryFile(download);
    pEntry->m_strDownloadFile.Empty();
}

void CFeedRefresher::ApplyRefreshedEntry(CFeedItem* pEntry)
{
    // Only an entry handed out and not yet taken back: a late or repeated report changes nothing.
    if (!pEntry->m_bUpdating)
        return;
    if (pEntry->m_nKind == FEED_KIND_FEED)
        ApplyDownload(pEntry);
    CPaneSite& pane = m_frame.PaneSite();
    if (!pEntry->m_pNavControl)
        pane.PlaceEntryInPane(pEntry);
    pEntry->m_bUpdating = false;
    m_nNewItems += pEntry->CountNews();
    if (pEntry->m_pChannel) {
        const CString cache = pEntry->GetCacheFileName();
        if (!cache.IsEmpty())
            pEntry->m_pChannel->SaveCache(cache, TRUE);
        pane.ShowChannelAgainIfShown(pEntry);
    }
    pane.RedrawPane();
}

void CFeedRefresher::EndRefresh()
{
    CPaneSite& pane = m_frame.PaneSite();
    CSubscriptionLists& lists = m_frame.Lists();
    pane.StoreGroupStates();
    if (m_bFullRefresh) {
        pane.BuildTaskPanel();
        m_bFullRefresh = false;
        lists.SaveMain();
        lists.SaveCustom();
    } else {
        pane.RepositionPane();
        lists.SaveMain();
    }
    pane.ShowRefreshEnded();
    if (m_nNewItems > 0)
        m_frame.TrayAndAlert().ShowNewItemsAlert(m_nNewItems);
    m_frame.Companions().ReloadTickerAfterRefresh(m_nNewItems);
    m_nNewItems = 0;
    pane.RedrawPane();
}

// ---- The server's channel list

void CFeedRefresher::MergeServerChannelList(CFeedChannel* pLoaded)
{
    if (!pLoaded)
        return;
    CFeedChannel* mainFeeds = m_frame.Lists().Main();
    if (!mainFeeds) {
        AdoptServerList(pLoaded);
        return;
    }

    for (POSITION pos = mainFeeds->m_items.GetHeadPosition(); pos;)
        mainFeeds->m_items.GetNext(pos)->m_bKeep = false;
    CFeedItemList order;
    for (POSITION pos = pLoaded->m_items.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CFeedItem* entry = pLoaded->m_items.GetNext(pos);
        CFeedItem* existing = mainFeeds->FindItem(entry, TRUE, FALSE);
        if (!existing) {
            if (entry->m_nKind == FEED_KIND_FEED && IsUnsubscribed(entry->m_strLinkText))
                continue; // deleted with the loaded list
            if (entry->m_nKind == FEED_KIND_FEED)
                GiveFiles(entry);
            pLoaded->m_items.RemoveAt(at);
            order.AddTail(entry);
            continue;
        }
        if (existing->m_bKeep)
            continue; // the server named it twice
        existing->m_bKeep = true;
        UpdateKnownEntry(existing, entry);
        order.AddTail(existing);
    }

    // Entries the server no longer names go, unless a download holds one: that one stays until the next list.
    while (!mainFeeds->m_items.IsEmpty()) {
        CFeedItem* entry = mainFeeds->m_items.RemoveHead();
        if (entry->m_bKeep)
            continue; // in the new order already
        if (entry->m_bUpdating)
            order.AddTail(entry);
        else
            DropEntry(entry);
    }
    mainFeeds->m_items.AddTail(&order);
    delete pLoaded;
}

// The first list from the server becomes the main list, without the feeds the user removed.
void CFeedRefresher::AdoptServerList(CFeedChannel* pLoaded)
{
    for (POSITION pos = pLoaded->m_items.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CFeedItem* entry = pLoaded->m_items.GetNext(pos);
        if (entry->m_nKind != FEED_KIND_FEED)
            continue;
        if (IsUnsubscribed(entry->m_strLinkText)) {
            pLoaded->m_items.RemoveAt(at);
            delete entry;
        } else {
            GiveFiles(entry);
        }
    }
    m_frame.Lists().AdoptMain(pLoaded);
}

void CFeedRefresher::UpdateKnownEntry(CFeedItem* pExisting, const CFeedItem* pLoaded)
{
    pExisting->m_strDescription = pLoaded->m_strDescription;
    pExisting->m_strDescriptionText = pLoaded->m_strDescriptionText;
    pExisting->m_strCategory = pLoaded->m_strCategory;
    if (pExisting->m_nKind != pLoaded->m_nKind && !pExisting->m_bUpdating) {
        delete pExisting->m_pChannel;
        pExisting->m_pChannel = nullptr;
        pExisting->m_nKind = pLoaded->m_nKind;
    }
    switch (pExisting->m_nKind) {
    case FEED_KIND_SEARCH_IN:
    case FEED_KIND_SEARCH_OUT:
        pExisting->m_strTitleText = pLoaded->m_strTitleText;
        pExisting->m_strButtonText = pLoaded->m_strButtonText;
        pExisting->m_strInput = pLoaded->m_strInput;
        break;
    case FEED_KIND_NOTICE:
        pExisting->m_strTitleText = pLoaded->m_strTitleText;
        pExisting->m_strTitle = pLoaded->m_strTitle;
        pExisting->m_strImageText = pLoaded->m_strImageText;
        break;
    case FEED_KIND_FEED:
        pExisting->m_nUpdateInterval = pLoaded->m_nUpdateInterval;
        pExisting->m_bMayUnsubscribe = pLoaded->m_bMayUnsubscribe;
        if (pExisting->m_strImageText != pLoaded->m_strImageText && !pExisting->m_bUpdating) {
            DeleteEntryFile(pExisting->GetIconFileName());
            pExisting->m_strImageText = pLoaded->m_strImageText;
        }
        break;
    default:
        break;
    }
}

void CFeedRefresher::DropEntry(CFeedItem* pEntry)
{
    CPaneSite& pane = m_frame.PaneSite();
    pane.RemoveEntryFromPane(pEntry);
    if (pEntry->m_pAttachedWnd && ::IsWindow(pEntry->m_pAttachedWnd->GetSafeHwnd()))
        pEntry->m_pAttachedWnd->DestroyWindow();
    pane.ForgetChannelIfShown(pEntry);
    DeleteEntryFile(pEntry->GetIconFileName());
    DeleteEntryFile(pEntry->GetCacheFileName());
    delete pEntry;
}

// ---- The timer and the connection

void CFeedRefresher::ToggleOnline()
{
    if (m_bOnline) {
        // The refresh flag stays the worker's: downloads in flight still hold their entries.
        m_bOnline = false;
        StartConnectionMonitor();
    } else {
        m_bOnline = true;
    }
}

bool CFeedRefresher::StartConnectionMonitor()
{
    return m_monitor.Start(m_frame.GetSafeHwnd());
}

void CFeedRefresher::RefreshTick()
{
    if (g_pfnNetworkAlive != nullptr && !g_pfnNetworkAlive()) {
        m_frame.SendMessage(WM_FRAME_EVENT, FRAME_EVENT_OFFLINE, 0);
        m_bOnline = false;
    } else {
        m_bOnline = true;
    }
    int nBefore = m_link.m_nChannelListCountdown;
    int nChannelList = nBefore;
    // The entries due now are handed to the worker in a list of its own: the frame keeps none that the worker
    // could be reading.
    CPtrList due;
    CountDownRefresh(m_frame.Lists().Main(), m_frame.Lists().Custom(), IsUpdating() != FALSE, m_bOnline, nChannelList,
                     due);
    // The worker resets the countdown when it fetches the list; that reset wins over this tick.
    m_link.m_nChannelListCountdown.compare_exchange_strong(nBefore, nChannelList);
    if (!due.IsEmpty() && m_bOnline && !m_bShutDown)
        RefreshEntries(due);
}

void CFeedRefresher::OnConnectionEvent(bool bConnected)
{
    if (bConnected) {
        m_bOnline = true;
        m_frame.SendMessageToDescendants(WM_REFRESH_AD, 0, 0);
        RefreshTick();
        return;
    }
    m_bOnline = false;
    // Downloads in flight keep the refresh running: the status changes only when none is left.
    if (!IsUpdating())
        m_frame.PaneSite().ShowRefreshEnded();
    StartConnectionMonitor();
}
