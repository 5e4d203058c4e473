#include "app/MainFrm.h"
#include "res/resource.h"

#include "app/ReaderApp.h"
#include "app/RefreshTimer.h"
#include "feeds/Branding.h"
#include "feeds/DataFiles.h"
#include "feeds/EnclosureJob.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedStore.h"
#include "feeds/HttpFetch.h"
#include "feeds/ViewTemplates.h"
#include "feeds/ui/UpdateReadyDlg.h"
#include "framework/StandardIds.h"

const UINT WM_INSTANCE_PROBE = ::RegisterWindowMessageW(L"TALLOW_MERE_UNIQE_INSTANCE");

bool ListHolds(CFeedChannel* pList, const CFeedItem* pEntry)
{
    return pList != nullptr && pList->m_items.Find(const_cast<CFeedItem*>(pEntry)) != nullptr;
}

namespace {

// Longer than any address a user would subscribe to, short enough that a hostile sender cannot make us copy much.
const DWORD kMaxHandedOverBytes = 8 * 1024;

bool FileExists(const CString& path)
{
    const DWORD attributes = path.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A list file of the data folder as a new channel, or null when it does not load.
CFeedChannel* LoadList(const CString& path)
{
    auto* list = new CFeedChannel;
    if (FileExists(path) && list->LoadFile(path, nullptr, CFeedChannel::LOAD_OWN_FILE))
        return list;
    delete list;
    return nullptr;
}

// The entry's cache file as its channel; false (the entry as it was) when there is none or it does not load.
bool LoadCache(CFeedItem* pEntry)
{
    const CString cache = pEntry->GetCacheFileName();
    if (!FileExists(cache))
        return false;
    auto* channel = new CFeedChannel;
    if (!channel->LoadFile(cache, nullptr, CFeedChannel::LOAD_OWN_FILE)) {
        delete channel;
        return false;
    }
    delete pEntry->m_pChannel;
    pEntry->m_pChannel = channel;
    return true;
}

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
    HANDLE file = ::CreateFileW(cache, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
}

} // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CXTPFrameWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_COPYDATA()
ON_REGISTERED_MESSAGE(WM_INSTANCE_PROBE, OnInstanceProbe)
ON_MESSAGE(WM_FEED_UPDATED, OnFeedUpdated)
ON_MESSAGE(WM_FRAME_EVENT, OnFrameEvent)
ON_MESSAGE(WM_WORKER_COLLECT, OnWorkerCollect)
ON_MESSAGE(WM_WORKER_CHANNEL_LIST, OnWorkerChannelList)
ON_MESSAGE(WM_WORKER_DROPPED, OnWorkerDropped)
ON_MESSAGE(WM_WORKER_UPDATE_OFFER, OnWorkerUpdateOffer)
ON_MESSAGE(WM_WORKER_BUILD_FILTER, OnWorkerBuildFilter)
ON_MESSAGE(WM_WORKER_BRANDING, OnWorkerBranding)
ON_WM_TIMER()
ON_COMMAND(ID_FEEDS_UPDATE_NOW, OnUpdateNow)
ON_UPDATE_COMMAND_UI(ID_FEEDS_UPDATE_NOW, OnUpdateUpdateNow)
ON_COMMAND(ID_TRAY_CHECK_FOR_NEWS, OnUpdateNow)
ON_UPDATE_COMMAND_UI(ID_TRAY_CHECK_FOR_NEWS, OnUpdateUpdateNow)
ON_COMMAND(ID_FEEDS_STOP, OnStop)
ON_UPDATE_COMMAND_UI(ID_FEEDS_STOP, OnUpdateStop)
ON_COMMAND(ID_MARK_ALL_FEEDS_READ, OnMarkAllFeedsRead)
ON_UPDATE_COMMAND_UI(ID_MARK_ALL_FEEDS_READ, OnAlwaysEnabled)
// Commands, tray, frame events and shut-down (MainFrmCommands.cpp)
ON_WM_CLOSE()
ON_WM_SYSCOMMAND()
ON_WM_WINDOWPOSCHANGING()
ON_MESSAGE(WM_TRAYICON_NOTIFY, OnTrayNotify)
ON_MESSAGE(WM_REQUEST_CLOSE, OnRequestClose)
ON_MESSAGE(WM_USAGE_EVENT, OnUsageEvent)
ON_MESSAGE(WM_POPUP_NOTIFY, OnPopupNotify)
ON_MESSAGE(WM_NEWSLINE_CLOSED, OnNewsLineClosed)
ON_COMMAND(ID_TRAY_OPEN_READER, OnTrayOpenReader)
ON_UPDATE_COMMAND_UI(ID_TRAY_OPEN_READER, OnUpdateTrayOpenReader)
ON_COMMAND(ID_TRAY_EXIT_READER, OnExitReader)
ON_UPDATE_COMMAND_UI(ID_TRAY_EXIT_READER, OnAlwaysEnabled)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
ON_UPDATE_COMMAND_UI(ID_APP_EXIT, OnAlwaysEnabled)
ON_COMMAND(ID_ONLINE, OnOnline)
ON_UPDATE_COMMAND_UI(ID_ONLINE, OnUpdateOnline)
ON_COMMAND(ID_SHOW_READ_FEEDS, OnShowReadFeeds)
ON_UPDATE_COMMAND_UI(ID_SHOW_READ_FEEDS, OnUpdateShowReadFeeds)
ON_COMMAND(ID_HELP_ONLINE, OnHelpOnline)
ON_UPDATE_COMMAND_UI(ID_HELP_ONLINE, OnUpdateBrandingLink)
ON_COMMAND(ID_BROWSE_FEEDS, OnBrowseFeeds)
ON_UPDATE_COMMAND_UI(ID_BROWSE_FEEDS, OnUpdateBrandingLink)
ON_COMMAND(ID_GETTING_STARTED, OnGettingStarted)
ON_UPDATE_COMMAND_UI(ID_GETTING_STARTED, OnUpdateBrandingLink)
ON_COMMAND_RANGE(ID_THEME_DEFAULT, ID_THEME_OFFICE2003, OnTheme)
ON_UPDATE_COMMAND_UI_RANGE(ID_THEME_DEFAULT, ID_THEME_OFFICE2003, OnUpdateTheme)
ON_COMMAND(ID_CHANNEL_UPDATE, OnRefreshHotChannel)
ON_UPDATE_COMMAND_UI(ID_CHANNEL_UPDATE, OnUpdateRefreshHotChannel)
ON_COMMAND(ID_VIEW_CHANNEL_VIEWER, OnChannelViewer)
ON_UPDATE_COMMAND_UI(ID_VIEW_CHANNEL_VIEWER, OnUpdateChannelViewer)
ON_COMMAND(ID_PODCAST_MANAGER, OnPodcastManager)
ON_UPDATE_COMMAND_UI(ID_PODCAST_MANAGER, OnUpdatePodcastManager)
// Feed commands (MainFrmFeeds.cpp)
ON_COMMAND(ID_FEED_SUBSCRIBE, OnSubscribeFeed)
ON_UPDATE_COMMAND_UI(ID_FEED_SUBSCRIBE, OnAlwaysEnabled)
ON_COMMAND(ID_EXPORT_CHANNELS, OnExportChannels)
ON_UPDATE_COMMAND_UI(ID_EXPORT_CHANNELS, OnAlwaysEnabled)
ON_COMMAND(ID_IMPORT_CHANNELS, OnImportChannels)
ON_UPDATE_COMMAND_UI(ID_IMPORT_CHANNELS, OnAlwaysEnabled)
ON_COMMAND(ID_IMPORT_OPML, OnImportOpml)
ON_UPDATE_COMMAND_UI(ID_IMPORT_OPML, OnAlwaysEnabled)
ON_MESSAGE(WM_RUN_UPDATER, OnRunUpdater)
ON_MESSAGE(WM_SUBSCRIBE_HANDED_OVER, OnSubscribeHandedOver)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame()
{
    // The worker has ended with the window; no download holds an entry any more.
    delete m_pMainFeeds;
    delete m_pCustomFeeds;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    const CReaderSettings& settings = GetEngineContext().m_settings;
    SetWindowText(settings.szCaption);
    m_imageList.Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0);
    CBitmap images;
    if (images.LoadBitmap(IDB_FRAME_IMAGES))
        m_imageList.Add(&images, RGB(255, 0, 255));
    if (!CreateStatusBar() || !CreateCommandBars())
        return -1;
    m_nTheme = static_cast<int>(theApp.GetProfileInt(L"", L"Theme", 2));
    m_nColorTheme = static_cast<int>(theApp.GetProfileInt(L"", L"ColorTheme", 0));
    if (m_nTheme != 11 || !ApplySkin(m_nColorTheme)) {
        // Without a skin the program draws theme 2 and keeps the skin's choice for when it has one.
        const int chosen = m_nTheme;
        SetToolkitTheme(chosen == 11 ? 2 : chosen);
        if (chosen == 11)
            m_nTheme = 11;
    }
    LoadBarLayout();
    LoadPlacement();
    m_strQuickFilter = theApp.GetProfileString(L"Filters", L"QuickFilter", L"");
    m_trayIcon.Create(settings.szCaption, this, IDR_MAINFRAME, IDR_TRAY_MENU, ID_TRAY_OPEN_READER, false);
    StartCompanionThreads();
    StartConnectionMonitor();

    if (LoadSubscriptionLists()) {
        BuildTaskPanel();
        RestoreGroupStates();
    }
    m_bOffers = true;
    m_workerLink.m_hFrame = m_hWnd;
    m_workerLink.m_nMaxConnections = settings.nMaxConnections;
    m_workerLink.m_nChannelListPeriod = settings.nChannelListPeriod > 0 ? settings.nChannelListPeriod : 60;
    m_pWorkerThread = StartFeedWorker(&m_workerLink);
    if (EngineProfileInt(L"", L"Check at startup", 1)) {
        StartFullRefresh();
    } else if (m_pWorkerThread) {
        // The worker still does its start-of-life duties and fetches the server's channel list.
        ShowRefreshRunning();
        m_workerLink.m_nChannelListCountdown = 1;
        m_pWorkerThread->PostThreadMessage(WM_WORKER_UPDATE, 0, WORKER_UPDATE_NOTHING);
    }
    SetTimer(kRefreshTimerId, 60000, nullptr);
    // The command line's feed address is handed over once the frame stands.
    PostMessage(WM_SUBSCRIBE_HANDED_OVER);
    return 0;
}

BOOL CMainFrame::LoadSubscriptionLists()
{
    const CString folder = GetEngineContext().m_strDataFolder;
    if (folder.IsEmpty())
        return TRUE; // no data folder: no lists, and nothing is read from the current drive's root
    CFeedChannel* mainFeeds = LoadList(folder + L"\\MainFeed.xml");
    if (mainFeeds) {
        m_bOffers = false;
        for (POSITION pos = mainFeeds->m_items.GetHeadPosition(); pos;) {
            CFeedItem* entry = mainFeeds->m_items.GetNext(pos);
            if (entry->m_nKind != FEED_KIND_FEED)
                continue;
            const bool hasCache = FileExists(entry->GetCacheFileName());
            if (hasCache && LoadCache(entry)) {
                entry->m_dtDate = entry->m_pChannel->m_dtLastUpdate;
                entry->m_nCountdown = entry->m_nUpdateInterval;
            } else if (!hasCache) {
                entry->m_nCountdown = entry->m_nUpdateInterval;
            }
        }
    }

    const CString customPath = folder + L"\\CustomFeed.xml";
    CFeedChannel* customFeeds = nullptr;
    if (!FileExists(customPath)) {
        if (RestoreCustomFeeds())
            customFeeds = LoadList(customPath);
    } else {
        customFeeds = LoadList(customPath);
        if (!customFeeds && RestoreCustomFeeds())
            customFeeds = LoadList(customPath);
    }
    if (customFeeds) {
        for (POSITION pos = customFeeds->m_items.GetHeadPosition(); pos;) {
            CFeedItem* entry = customFeeds->m_items.GetNext(pos);
            // Entries whose cache is missing keep their countdown (0 when fresh from the file): due at once.
            if (entry->m_nKind == FEED_KIND_FEED && LoadCache(entry)) {
                entry->m_dtDate = entry->m_pChannel->m_dtLastUpdate;
                entry->m_nCountdown = entry->m_nUpdateInterval;
            }
        }
    }
    delete m_pMainFeeds;
    delete m_pCustomFeeds;
    m_pMainFeeds = mainFeeds;
    m_pCustomFeeds = customFeeds;
    return TRUE;
}

bool CMainFrame::StartFullRefresh()
{
    if (!m_pWorkerThread)
        return false;
    m_bFullRefresh = true;
    ShowRefreshRunning();
    return m_pWorkerThread->PostThreadMessage(WM_WORKER_UPDATE, 0, WORKER_UPDATE_ALL) != FALSE;
}

void CMainFrame::PrepareForDownload(CFeedItem* pEntry)
{
    pEntry->m_bUpdating = true;
    pEntry->m_nCountdown = pEntry->m_nUpdateInterval;
    if (pEntry->m_pChannel)
        pEntry->m_pChannel->ResetItemStates();
}

bool CMainFrame::RequestRefresh(CFeedItem* pEntry)
{
    // An entry a download holds already is not handed out twice.
    if (!m_pWorkerThread || !pEntry || pEntry->m_bUpdating)
        return false;
    PrepareForDownload(pEntry);
    ShowRefreshRunning();
    if (m_pWorkerThread->PostThreadMessage(WM_WORKER_UPDATE, reinterpret_cast<WPARAM>(pEntry), WORKER_UPDATE_ONE))
        return true;
    pEntry->m_bUpdating = false;
    return false;
}

bool CMainFrame::RequestRefresh(const CPtrList& entries)
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
    ShowRefreshRunning();
    if (m_pWorkerThread->PostThreadMessage(WM_WORKER_UPDATE, reinterpret_cast<WPARAM>(list), WORKER_UPDATE_LIST))
        return true;
    while (!list->IsEmpty())
        static_cast<CFeedItem*>(list->RemoveHead())->m_bUpdating = false;
    delete list;
    return false;
}

bool CMainFrame::StopRefresh()
{
    m_bFullRefresh = false;
    return m_pWorkerThread && m_pWorkerThread->PostThreadMessage(WM_WORKER_STOP, 0, 0);
}

bool CMainFrame::CanChangeEntry(const CFeedItem* pEntry) const
{
    return m_workerLink.m_bUpdating == 0 && (!pEntry || !pEntry->m_bUpdating);
}

void CMainFrame::CollectFullRefresh(CPtrList& entries)
{
    if (!m_pCustomFeeds && !GetEngineContext().m_strDataFolder.IsEmpty()) {
        const CString path = GetEngineContext().m_strDataFolder + L"\\CustomFeed.xml";
        if (!FileExists(path))
            RestoreCustomFeeds();
        m_pCustomFeeds = LoadList(path);
    }
    ForEachEntry(m_pCustomFeeds, m_pMainFeeds, [&](CFeedChannel*, CFeedItem* entry) {
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

LRESULT CMainFrame::OnWorkerCollect(WPARAM wParam, LPARAM)
{
    if (wParam)
        CollectFullRefresh(*reinterpret_cast<CPtrList*>(wParam));
    return 0;
}

LRESULT CMainFrame::OnWorkerDropped(WPARAM wParam, LPARAM)
{
    if (wParam)
        reinterpret_cast<CFeedItem*>(wParam)->m_bUpdating = false;
    return 0;
}

LRESULT CMainFrame::OnWorkerUpdateOffer(WPARAM wParam, LPARAM)
{
    auto* path = reinterpret_cast<CString*>(wParam);
    if (!path)
        return 0;
    CUpdateReadyDlg offer(this);
    offer.m_strPath = *path;
    delete path;
    offer.OfferUpdate();
    return 0;
}

LRESULT CMainFrame::OnWorkerBuildFilter(WPARAM, LPARAM)
{
    BuildQuickFilterPage();
    return 0;
}

LRESULT CMainFrame::OnWorkerBranding(WPARAM wParam, LPARAM)
{
    const auto* handOver = reinterpret_cast<const CBrandingHandOver*>(wParam);
    CEngineContext& context = GetEngineContext();
    if (!handOver || context.m_strDataFolder.IsEmpty() ||
        !CopyFileSafely(handOver->strFile, context.m_strDataFolder + L"\\settings.xml") || !LoadBranding())
        return 0;
    CReaderSettings& settings = context.m_settings;
    if (settings.szCaption[0])
        SetWindowText(settings.szCaption);
    lstrcpynW(settings.szLogo, handOver->strLocalLogo, _countof(settings.szLogo));
    InstallViewTemplates();
    SyncPodcastList();
    return 1;
}

LRESULT CMainFrame::OnFeedUpdated(WPARAM wParam, LPARAM)
{
    if (wParam)
        ApplyRefreshedEntry(reinterpret_cast<CFeedItem*>(wParam));
    else
        EndRefresh();
    return 0;
}

void CMainFrame::SendNewEnclosures(CFeedItem* pEntry)
{
    CWnd* podcast = GetPodcastWindow();
    if (!podcast || !pEntry->m_pChannel)
        return;
    for (POSITION pos = pEntry->m_pChannel->m_items.GetHeadPosition(); pos;) {
        CFeedItem* item = pEntry->m_pChannel->m_items.GetNext(pos);
        if (item->m_nReadState == FEED_STATE_NEW && !item->m_strEnclosureUrl.IsEmpty())
            podcast->SendMessage(WM_PODCAST_ADD_ITEMS, reinterpret_cast<WPARAM>(new CEnclosureJob(item, pEntry)), 0);
    }
}

void CMainFrame::ApplyRefreshedEntry(CFeedItem* pEntry)
{
    // Only an entry handed out and not yet taken back: a late or repeated report changes nothing.
    if (!pEntry->m_bUpdating)
        return;
    if (pEntry->m_nKind == FEED_KIND_FEED) {
        const CString download = pEntry->m_strDownloadFile;
        switch (pEntry->m_nDownloadResult) {
        case HTTP_FETCH_DONE:
            if (pEntry->m_pChannel) {
                CFeedChannel* channel = pEntry->m_pChannel;
                channel->m_strPath = download;
                MakeUnread(channel);
                if (channel->Reload()) {
                    channel->m_dtLastUpdate = pEntry->m_dtDate;
                    channel->PurgeItems(GetPodcastWindow(), GetTickerWindow());
                    SendNewEnclosures(pEntry);
                }
            } else {
                auto* channel = new CFeedChannel;
                if (channel->LoadFile(download, nullptr, CFeedChannel::LOAD_FEED)) {
                    channel->m_strPath = download;
                    channel->m_dtLastUpdate = pEntry->m_dtDate;
                    pEntry->m_pChannel = channel;
                    SendNewEnclosures(pEntry);
                } else {
                    pEntry->m_bUpdateFailed = true;
                    delete channel;
                }
            }
            break;
        case HTTP_FETCH_NOT_MODIFIED:
            if (pEntry->m_pChannel) {
                MakeUnread(pEntry->m_pChannel);
                pEntry->m_pChannel->m_dtLastUpdate = pEntry->m_dtDate;
            } else if (LoadCache(pEntry)) {
                pEntry->m_pChannel->m_dtLastUpdate = pEntry->m_dtDate;
            }
            break;
        default:
            if (!pEntry->m_pChannel && LoadCache(pEntry))
                pEntry->m_dtDate = pEntry->m_pChannel->m_dtLastUpdate;
            break;
        }
        // The download is read: the temporary folder does not fill up with every refresh.
        if (!download.IsEmpty())
            ::DeleteFileW(download);
        pEntry->m_strDownloadFile.Empty();
    }

    if (!pEntry->m_pNavControl)
        PlaceEntryInPane(pEntry);
    pEntry->m_bUpdating = false;
    m_nNewItems += pEntry->CountNews();
    if (pEntry->m_pChannel) {
        const CString cache = pEntry->GetCacheFileName();
        if (!cache.IsEmpty())
            pEntry->m_pChannel->SaveCache(cache, TRUE);
        ShowChannelAgainIfShown(pEntry);
    }
    RedrawPane();
}

void CMainFrame::EndRefresh()
{
    StoreGroupStates();
    if (m_bFullRefresh) {
        BuildTaskPanel();
        m_bFullRefresh = false;
        if (m_pMainFeeds)
            m_pMainFeeds->SaveMainFeeds();
        if (m_pCustomFeeds)
            m_pCustomFeeds->SaveCustomFeeds();
    } else {
        RepositionPane();
        if (m_pMainFeeds)
            m_pMainFeeds->SaveMainFeeds();
    }
    ShowRefreshEnded();
    if (m_nNewItems > 0)
        ShowNewItemsAlert(m_nNewItems);
    ReloadTickerAfterRefresh(m_nNewItems);
    m_nNewItems = 0;
    RedrawPane();
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kRefreshTimerId) {
        CXTPFrameWnd::OnTimer(nIDEvent);
        return;
    }
    RefreshTick();
}

void CMainFrame::OnUpdateNow()
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

void CMainFrame::OnUpdateUpdateNow(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!IsUpdating());
}

void CMainFrame::OnStop()
{
    m_bFullRefresh = false;
    StopRefresh();
}

void CMainFrame::OnUpdateStop(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsUpdating());
}

void CMainFrame::OnMarkAllFeedsRead()
{
    ForEachEntry(m_pMainFeeds, m_pCustomFeeds, [](CFeedChannel*, CFeedItem* pEntry) {
        if (pEntry->m_pChannel != nullptr) {
            pEntry->m_pChannel->MarkAllRead(TRUE);
            pEntry->CountNews();
        }
    });
    RepositionPane();
    RedrawPane();
}

void CMainFrame::OnAlwaysEnabled(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CMainFrame::RedrawPane()
{
    if (m_hWnd)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
}

LRESULT CMainFrame::OnWorkerChannelList(WPARAM wParam, LPARAM)
{
    MergeServerChannelList(reinterpret_cast<CFeedChannel*>(wParam));
    return 0;
}

void CMainFrame::MergeServerChannelList(CFeedChannel* pLoaded)
{
    if (!pLoaded)
        return;
    if (!m_pMainFeeds) {
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
        m_pMainFeeds = pLoaded;
        return;
    }

    for (POSITION pos = m_pMainFeeds->m_items.GetHeadPosition(); pos;)
        m_pMainFeeds->m_items.GetNext(pos)->m_bKeep = false;
    CFeedItemList order;
    for (POSITION pos = pLoaded->m_items.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CFeedItem* entry = pLoaded->m_items.GetNext(pos);
        CFeedItem* existing = m_pMainFeeds->FindItem(entry, TRUE, FALSE);
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
        existing->m_strDescription = entry->m_strDescription;
        existing->m_strDescriptionText = entry->m_strDescriptionText;
        existing->m_strCategory = entry->m_strCategory;
        if (existing->m_nKind != entry->m_nKind && !existing->m_bUpdating) {
            delete existing->m_pChannel;
            existing->m_pChannel = nullptr;
            existing->m_nKind = entry->m_nKind;
        }
        switch (existing->m_nKind) {
        case FEED_KIND_SEARCH_IN:
        case FEED_KIND_SEARCH_OUT:
            existing->m_strTitleText = entry->m_strTitleText;
            existing->m_strButtonText = entry->m_strButtonText;
            existing->m_strInput = entry->m_strInput;
            break;
        case FEED_KIND_NOTICE:
            existing->m_strTitleText = entry->m_strTitleText;
            existing->m_strTitle = entry->m_strTitle;
            existing->m_strImageText = entry->m_strImageText;
            break;
        case FEED_KIND_FEED:
            existing->m_nUpdateInterval = entry->m_nUpdateInterval;
            existing->m_bMayUnsubscribe = entry->m_bMayUnsubscribe;
            if (existing->m_strImageText != entry->m_strImageText && !existing->m_bUpdating) {
                const CString icon = existing->GetIconFileName();
                if (!icon.IsEmpty())
                    ::DeleteFileW(icon);
                existing->m_strImageText = entry->m_strImageText;
            }
            break;
        default:
            break;
        }
        order.AddTail(existing);
    }

    // Entries the server no longer names go, unless a download holds one: that one stays until the next list.
    while (!m_pMainFeeds->m_items.IsEmpty()) {
        CFeedItem* entry = m_pMainFeeds->m_items.RemoveHead();
        if (entry->m_bKeep)
            continue; // in the new order already
        if (entry->m_bUpdating) {
            order.AddTail(entry);
            continue;
        }
        RemoveEntryFromPane(entry);
        if (entry->m_pAttachedWnd && ::IsWindow(entry->m_pAttachedWnd->GetSafeHwnd()))
            entry->m_pAttachedWnd->DestroyWindow();
        ForgetChannelIfShown(entry);
        const CString icon = entry->GetIconFileName();
        const CString cache = entry->GetCacheFileName();
        if (!icon.IsEmpty())
            ::DeleteFileW(icon);
        if (!cache.IsEmpty())
            ::DeleteFileW(cache);
        delete entry;
    }
    m_pMainFeeds->m_items.AddTail(&order);
    delete pLoaded;
}

bool CMainFrame::IsFeedAddress(const CString& text)
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

BOOL CMainFrame::OnCopyData(CWnd*, COPYDATASTRUCT* pCopyData)
{
    // Another process's bytes: the record must be ours, whole, and end in its terminating zero.
    if (!pCopyData || pCopyData->dwData != 3 || !pCopyData->lpData || pCopyData->cbData < 2 * sizeof(WCHAR) ||
        pCopyData->cbData > kMaxHandedOverBytes || pCopyData->cbData % sizeof(WCHAR) != 0)
        return FALSE;
    const WCHAR* text = static_cast<const WCHAR*>(pCopyData->lpData);
    const DWORD count = pCopyData->cbData / sizeof(WCHAR);
    if (text[count - 1] != L'\0')
        return FALSE;
    const CString address(text);
    if (!IsFeedAddress(address))
        return FALSE;
    m_handedOver.AddTail(address);
    PostMessage(WM_SUBSCRIBE_HANDED_OVER);
    return TRUE;
}
