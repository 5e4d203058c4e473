#include "app/MainFrm.h"
#include "res/resource.h"

#include "app/AppMessages.h"
#include "app/ReaderApp.h"
#include "app/RefreshTimer.h"
#include "feeds/Branding.h"
#include "feeds/DataFiles.h"
#include "feeds/EnclosureJob.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedStore.h"
#include "feeds/HttpFetch.h"
#include "feeds/ViewTemplates.h"
#include "feeds/ui/UpdateReadyDlg.h"
#include "framework/StandardIds.h"
#include "toolkit/base/ToolkitMessages.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"
#include "toolkit/commandbars/XTPControlEdit.h"

const UINT WM_INSTANCE_PROBE = ::RegisterWindowMessageW(LQ_INSTANCE_MESSAGE_NAME);

namespace {

// Longer than any address a user would subscribe to, short enough that a hostile sender cannot make us copy much.
const DWORD kMaxHandedOverBytes = 8 * 1024;

} // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CXTPFrameWnd)
// The window's life
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_SYSCOMMAND()
ON_WM_WINDOWPOSCHANGING()
ON_MESSAGE(WM_REQUEST_CLOSE, OnRequestClose)
ON_COMMAND(ID_TRAY_EXIT_READER, OnExitReader)
ON_UPDATE_COMMAND_UI(ID_TRAY_EXIT_READER, OnAlwaysEnabled)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
ON_UPDATE_COMMAND_UI(ID_APP_EXIT, OnAlwaysEnabled)
ON_MESSAGE(WM_FRAME_EVENT, OnFrameEvent)
ON_REGISTERED_MESSAGE(WM_INSTANCE_PROBE, OnInstanceProbe)
ON_WM_COPYDATA()
// Refresh and worker
ON_WM_TIMER()
ON_MESSAGE(WM_CACHES_READ, OnCachesRead)
ON_COMMAND(ID_FEEDS_UPDATE_NOW, OnUpdateNow)
ON_UPDATE_COMMAND_UI(ID_FEEDS_UPDATE_NOW, OnUpdateUpdateNow)
ON_COMMAND(ID_TRAY_CHECK_FOR_NEWS, OnUpdateNow)
ON_UPDATE_COMMAND_UI(ID_TRAY_CHECK_FOR_NEWS, OnUpdateUpdateNow)
ON_COMMAND(ID_FEEDS_STOP, OnStop)
ON_UPDATE_COMMAND_UI(ID_FEEDS_STOP, OnUpdateStop)
ON_COMMAND(ID_ONLINE, OnOnline)
ON_UPDATE_COMMAND_UI(ID_ONLINE, OnUpdateOnline)
ON_MESSAGE(WM_FEED_UPDATED, OnFeedUpdated)
ON_MESSAGE(WM_WORKER_COLLECT, OnWorkerCollect)
ON_MESSAGE(WM_WORKER_CHANNEL_LIST, OnWorkerChannelList)
ON_MESSAGE(WM_WORKER_DROPPED, OnWorkerDropped)
ON_MESSAGE(WM_WORKER_BRANDING, OnWorkerBranding)
ON_MESSAGE(WM_WORKER_BUILD_FILTER, OnWorkerBuildFilter)
// The quick filter
ON_COMMAND(ID_QUICK_FILTER, OnQuickFilter)
ON_UPDATE_COMMAND_UI(ID_QUICK_FILTER, OnAlwaysEnabled)
ON_MESSAGE(WM_XTP_CONTROL_EXECUTE, OnControlExecute)
// Tray and alert
ON_MESSAGE(WM_TRAYICON_NOTIFY, OnTrayNotify)
ON_COMMAND(ID_TRAY_OPEN_READER, OnTrayOpenReader)
ON_UPDATE_COMMAND_UI(ID_TRAY_OPEN_READER, OnUpdateTrayOpenReader)
ON_MESSAGE(WM_POPUP_NOTIFY, OnPopupNotify)
// Companion windows
ON_COMMAND(ID_VIEW_CHANNEL_VIEWER, OnChannelViewer)
ON_UPDATE_COMMAND_UI(ID_VIEW_CHANNEL_VIEWER, OnUpdateChannelViewer)
ON_COMMAND(ID_PODCAST_MANAGER, OnPodcastManager)
ON_UPDATE_COMMAND_UI(ID_PODCAST_MANAGER, OnUpdatePodcastManager)
ON_MESSAGE(WM_NEWSLINE_CLOSED, OnNewsLineClosed)
ON_MESSAGE(WM_NEWSLINE_ITEM_OPENED, OnNewsLineItemOpened)
ON_COMMAND(ID_VIEW_NEWS_TICKER, OnNewsTicker)
ON_UPDATE_COMMAND_UI(ID_VIEW_NEWS_TICKER, OnUpdateNewsTicker)
// The toolbars' own controls
ON_MESSAGE(WM_XTP_CREATE_CONTROL, OnCreateControl)
ON_NOTIFY(XTP_NOTIFY_EXECUTE, ID_SHOW_CATEGORIES, OnCategorySelected)
ON_UPDATE_COMMAND_UI(ID_SHOW_CATEGORIES, OnUpdateShowCategories)
ON_WM_SIZE()
// Looks
ON_COMMAND_RANGE(ID_NEXT_PANE, ID_PREV_PANE, OnSwitchPane)
ON_COMMAND_RANGE(ID_THEME_DEFAULT, ID_THEME_XP_STYLE, OnTheme)
ON_UPDATE_COMMAND_UI_RANGE(ID_THEME_DEFAULT, ID_THEME_XP_STYLE, OnUpdateTheme)
ON_COMMAND_RANGE(ID_SKIN_SCHEME_1, ID_SKIN_SCHEME_3, OnTheme)
ON_UPDATE_COMMAND_UI_RANGE(ID_SKIN_SCHEME_1, ID_SKIN_SCHEME_3, OnUpdateTheme)
// Feed and category commands
ON_COMMAND(ID_FEED_SUBSCRIBE, OnSubscribeFeed)
// Disabled while a refresh runs, as Update Now is.
ON_UPDATE_COMMAND_UI(ID_FEED_SUBSCRIBE, OnUpdateUpdateNow)
ON_MESSAGE(WM_SUBSCRIBE_HANDED_OVER, OnSubscribeHandedOver)
ON_COMMAND(ID_EXPORT_CHANNELS, OnExportChannels)
ON_UPDATE_COMMAND_UI(ID_EXPORT_CHANNELS, OnAlwaysEnabled)
ON_COMMAND(ID_IMPORT_CHANNELS, OnImportChannels)
ON_UPDATE_COMMAND_UI(ID_IMPORT_CHANNELS, OnAlwaysEnabled)
ON_COMMAND(ID_IMPORT_OPML, OnImportOpml)
ON_UPDATE_COMMAND_UI(ID_IMPORT_OPML, OnAlwaysEnabled)
ON_COMMAND(ID_MARK_ALL_FEEDS_READ, OnMarkAllFeedsRead)
ON_UPDATE_COMMAND_UI(ID_MARK_ALL_FEEDS_READ, OnAlwaysEnabled)
ON_COMMAND(ID_HELP_ONLINE, OnHelpOnline)
ON_UPDATE_COMMAND_UI(ID_HELP_ONLINE, OnUpdateBrandingLink)
ON_COMMAND(ID_BROWSE_FEEDS, OnBrowseFeeds)
ON_UPDATE_COMMAND_UI(ID_BROWSE_FEEDS, OnUpdateBrandingLink)
ON_COMMAND(ID_GETTING_STARTED, OnGettingStarted)
ON_UPDATE_COMMAND_UI(ID_GETTING_STARTED, OnUpdateBrandingLink)
ON_MESSAGE(WM_USAGE_EVENT, OnUsageEvent)
ON_MESSAGE(WM_WORKER_UPDATE_OFFER, OnWorkerUpdateOffer)
ON_MESSAGE(WM_RUN_UPDATER, OnRunUpdater)
// The pane's commands
ON_COMMAND(ID_SHOW_READ_FEEDS, OnShowReadFeeds)
ON_UPDATE_COMMAND_UI(ID_SHOW_READ_FEEDS, OnUpdateShowReadFeeds)
ON_COMMAND(ID_CHANNEL_UPDATE, OnRefreshHotChannel)
ON_UPDATE_COMMAND_UI(ID_CHANNEL_UPDATE, OnUpdateRefreshHotChannel)
// Settings and channel management
ON_COMMAND(ID_SETTINGS, OnOptions)
ON_MESSAGE(WM_PODCAST_FEED_CHOICE, OnPodcastFeedChoice)
ON_UPDATE_COMMAND_UI(ID_SETTINGS, OnUpdateOptions)
ON_COMMAND(ID_CHANNEL_UNSUBSCRIBE, OnUnsubscribe)
ON_UPDATE_COMMAND_UI(ID_CHANNEL_UNSUBSCRIBE, OnUpdateUnsubscribe)
ON_COMMAND(ID_CATEGORY_DELETE, OnDeleteCategory)
ON_UPDATE_COMMAND_UI(ID_CATEGORY_DELETE, OnUpdateCategoryCommand)
ON_COMMAND(ID_CATEGORY_UPDATE, OnUpdateCategory)
ON_UPDATE_COMMAND_UI(ID_CATEGORY_UPDATE, OnUpdateCategoryCommand)
ON_COMMAND(ID_CATEGORY_RENAME, OnRenameCategory)
ON_UPDATE_COMMAND_UI(ID_CATEGORY_RENAME, OnUpdateRenameCategory)
ON_COMMAND(ID_CHANNEL_VIEW_SEPARATE, OnViewInSeparateWindow)
ON_UPDATE_COMMAND_UI(ID_CHANNEL_VIEW_SEPARATE, OnUpdateViewInSeparateWindow)
ON_COMMAND(ID_RESULTS_DELETE, OnDeleteResults)
ON_UPDATE_COMMAND_UI(ID_RESULTS_DELETE, OnUpdateDeleteResults)
// Customising the bars
ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE, OnUpdateCustomize)
END_MESSAGE_MAP()

CMainFrame::CMainFrame(PaneSiteFactory makePaneSite)
    : m_lists(*this), m_refresher(*this),
      m_pPaneSite(makePaneSite ? makePaneSite(*this) : std::make_unique<CPaneSite>(*this)), m_feedCommands(*this),
      m_resultPages(*this), m_quickFilter(*this), m_trayAndAlert(*this), m_looks(*this), m_options(*this),
      m_customizing(*this), m_categorySelector(*this)
{
}

CMainFrame::~CMainFrame() = default;

// ---- The window's life

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CXTPFrameWnd::PreCreateWindow(cs))
        return FALSE;
    m_looks.PlaceBeforeCreation(cs);
    return TRUE;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    if (!m_pPaneSite->CreateClient(pContext))
        return FALSE;
    return CXTPFrameWnd::OnCreateClient(lpcs, pContext);
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
    if (!m_pPaneSite->CreateStatusBar() || !m_looks.CreateCommandBars())
        return -1;
    m_looks.ApplySavedTheme();
    m_looks.LoadBarLayout();
    m_looks.LoadPlacement();
    m_quickFilter.Load();
    m_trayAndAlert.Create(settings.szCaption);
    m_companions.StartThreads();
    m_refresher.StartConnectionMonitor();
    if (m_lists.Load()) {
        // The maker's offers show from the first build only without a main list; every later build shows them.
        m_pPaneSite->ShowOffers(m_lists.Main() == nullptr);
        m_pPaneSite->BuildTaskPanel();
        m_pPaneSite->RestoreGroupStates();
        // The pane shows every channel's counts from the first pass; the items follow while the window shows.
        m_lists.StartReading();
    }
    m_pPaneSite->ShowOffers(true);
    m_refresher.Start();
    // The command line's feed address is handed over once the frame stands.
    PostMessage(WM_SUBSCRIBE_HANDED_OVER);
    return 0;
}

void CMainFrame::OnDestroy()
{
    m_looks.SaveBarLayout();
    m_looks.SavePlacement();
    m_looks.SaveTheme();
    m_quickFilter.Save();
    m_trayAndAlert.DestroyAlert();
    // Every download ends, its report answered, before the lists and their entries can go.
    m_refresher.Shutdown();
    m_pPaneSite->StoreGroupStates();
    m_companions.StopThreads();
    // The pane's items point at the entries and pages: they go first.
    m_pPaneSite->RemoveAllGroups();
    m_resultPages.DeleteAll();
    m_quickFilter.DeleteAll();
    CXTPFrameWnd::OnDestroy();
    m_lists.SaveAll();
}

namespace {

// Messages after which something may act on a channel's items: they wait until every channel is read. Painting,
// sizing and the idle update go on meanwhile.
bool ActsOnChannels(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_DESTROY:
    case WM_ENDSESSION:
    case WM_REQUEST_CLOSE:
    case WM_WORKER_COLLECT:
    case WM_WORKER_CHANNEL_LIST:
    case WM_WORKER_DROPPED:
    case WM_WORKER_BUILD_FILTER:
    case WM_XTP_CONTROL_EXECUTE:
    case WM_POPUP_NOTIFY:
    case WM_NEWSLINE_ITEM_OPENED:
        return true;
    case WM_FEED_UPDATED:
        return wParam != 0; // a refresh's end alone reads no item
    case WM_TIMER:
        return wParam == kRefreshTimerId;
    default:
        return false;
    }
}

// Input that may open a channel or start a command in any of the frame's windows.
bool IsUserAction(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_lists.IsReading() && ActsOnChannels(message, wParam))
        m_lists.FinishReading();
    return CXTPFrameWnd::WindowProc(message, wParam, lParam);
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    if (m_lists.IsReading() && IsUserAction(pMsg->message))
        m_lists.FinishReading();
    return CXTPFrameWnd::PreTranslateMessage(pMsg);
}

LRESULT CMainFrame::OnCachesRead(WPARAM, LPARAM)
{
    m_lists.TakeReadChannels();
    return 0;
}

void CMainFrame::OnClose()
{
    // Closing the window keeps the program running in the notification area.
    m_trayAndAlert.HideToTray();
}

void CMainFrame::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == SC_MINIMIZE) {
        m_trayAndAlert.OnOpenReader();
        return;
    }
    CXTPFrameWnd::OnSysCommand(nID, lParam);
}

BOOL CMainFrame::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (m_looks.OnSkinnedFrameMessage(message, wParam, lParam, pResult))
        return TRUE;
    return CXTPFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
}

void CMainFrame::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    CXTPFrameWnd::OnWindowPosChanging(lpwndpos);
    m_trayAndAlert.KeepActivationQuiet(lpwndpos);
    m_looks.SnapMove(lpwndpos);
}

// The exits arrive from inside a menu's tracking, whose windows and stack still refer to the frame: the window is
// destroyed once that has unwound.
void CMainFrame::OnExitReader()
{
    PostMessage(WM_REQUEST_CLOSE);
}

void CMainFrame::OnAppExit()
{
    PostMessage(WM_REQUEST_CLOSE);
}

LRESULT CMainFrame::OnRequestClose(WPARAM, LPARAM)
{
    // A dialog of the frame is open (the tray's menu stays reachable meanwhile): the code that runs it still
    // refers to the frame, so the dialog is brought forward for the user to finish instead.
    if (!IsWindowEnabled()) {
        if (m_trayAndAlert.IsInTray())
            m_trayAndAlert.OnOpenReader();
        if (HWND hPopup = ::GetLastActivePopup(m_hWnd); hPopup != m_hWnd)
            ::SetForegroundWindow(hPopup);
        return 0;
    }
    CXTPFrameWnd::OnClose();
    return 0;
}

void CMainFrame::OnAlwaysEnabled(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

LRESULT CMainFrame::OnFrameEvent(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case FRAME_EVENT_STOPPED:
        m_refresher.OnStopped();
        break;
    case FRAME_EVENT_FILTER_DONE:
        // The page changes hands here: the answer tells the worker it was taken.
        m_quickFilter.TakeResults(reinterpret_cast<CFeedItem*>(lParam));
        return 1;
    case FRAME_EVENT_SEARCH_DONE:
        m_resultPages.OnSearchDone(reinterpret_cast<CFeedItem*>(lParam));
        break;
    case FRAME_EVENT_ENCLOSURE_DONE:
        m_feedCommands.OnEnclosureDone(reinterpret_cast<CFeedItem*>(lParam));
        break;
    case FRAME_EVENT_TICKER_CHANGED:
        m_companions.ReloadTicker();
        break;
    case FRAME_EVENT_PODCAST_CHANGED:
        m_companions.SyncPodcastList();
        break;
    case FRAME_EVENT_OFFLINE:
        m_refresher.OnConnectionEvent(false);
        break;
    case FRAME_EVENT_CONNECTED:
        m_refresher.OnConnectionEvent(true);
        break;
    default:
        break;
    }
    return 0;
}

// ---- A second start

LRESULT CMainFrame::OnInstanceProbe(WPARAM, LPARAM)
{
    m_trayAndAlert.BringForward();
    return WM_INSTANCE_PROBE;
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
    if (!CFeedCommands::IsFeedAddress(address))
        return FALSE;
    m_feedCommands.AddHandedOver(address);
    PostMessage(WM_SUBSCRIBE_HANDED_OVER);
    return TRUE;
}

// ---- Refresh and worker

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kRefreshTimerId) {
        CXTPFrameWnd::OnTimer(nIDEvent);
        return;
    }
    m_refresher.RefreshTick();
}

void CMainFrame::OnUpdateNow()
{
    m_refresher.UpdateNow();
}

void CMainFrame::GetMessageString(UINT nID, CString& rMessage) const
{
    if (!m_pPaneSite || !m_pPaneSite->IdlePrompt(nID, rMessage))
        CFrameWnd::GetMessageString(nID, rMessage);
}

void CMainFrame::OnUpdateUpdateNow(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_refresher.IsUpdating());
}

void CMainFrame::OnStop()
{
    m_refresher.StopRefresh();
}

void CMainFrame::OnUpdateStop(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_refresher.IsUpdating());
}

void CMainFrame::OnOnline()
{
    m_refresher.ToggleOnline();
}

void CMainFrame::OnUpdateOnline(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_refresher.IsOnline() ? 0 : 1);
}

LRESULT CMainFrame::OnFeedUpdated(WPARAM wParam, LPARAM)
{
    m_refresher.OnFeedUpdated(reinterpret_cast<CFeedItem*>(wParam));
    return 0;
}

LRESULT CMainFrame::OnWorkerCollect(WPARAM wParam, LPARAM)
{
    if (wParam)
        m_refresher.CollectFullRefresh(*reinterpret_cast<CPtrList*>(wParam));
    return 0;
}

LRESULT CMainFrame::OnWorkerChannelList(WPARAM wParam, LPARAM)
{
    m_refresher.MergeServerChannelList(reinterpret_cast<CFeedChannel*>(wParam));
    return 0;
}

LRESULT CMainFrame::OnWorkerDropped(WPARAM wParam, LPARAM)
{
    if (wParam)
        reinterpret_cast<CFeedItem*>(wParam)->m_bUpdating = false;
    return 0;
}

LRESULT CMainFrame::OnWorkerBranding(WPARAM wParam, LPARAM)
{
    return m_refresher.TakeBranding(reinterpret_cast<const CBrandingHandOver*>(wParam)) ? 1 : 0;
}

LRESULT CMainFrame::OnWorkerBuildFilter(WPARAM wParam, LPARAM)
{
    if (!wParam)
        return 0;
    m_quickFilter.FillRequest(*reinterpret_cast<CQuickFilterRequest*>(wParam));
    return 1;
}

// ---- The quick filter

void CMainFrame::OnQuickFilter()
{
    m_quickFilter.RunDialog();
}

LRESULT CMainFrame::OnControlExecute(WPARAM wParam, LPARAM lParam)
{
    auto* notify = reinterpret_cast<NMXTPCONTROL*>(lParam);
    if (wParam != IDC_FILTER_EDIT || !notify || !notify->pControl || notify->pControl->GetType() != xtpControlEdit)
        return 0;
    auto* edit = static_cast<CXTPControlEdit*>(notify->pControl);
    const CString words = edit->GetEditText();
    // Emptied before the filter runs: the box may be gone once the wait dialog has ended.
    edit->SetEditText(L"");
    m_quickFilter.RunTypedWords(words);
    return 1;
}

// ---- Tray and alert

LRESULT CMainFrame::OnTrayNotify(WPARAM, LPARAM lParam)
{
    return m_trayAndAlert.OnTrayNotify(lParam);
}

void CMainFrame::OnTrayOpenReader()
{
    if (m_trayAndAlert.IsInTray())
        m_trayAndAlert.OnOpenReader();
}

void CMainFrame::OnUpdateTrayOpenReader(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_trayAndAlert.IsInTray());
}

LRESULT CMainFrame::OnPopupNotify(WPARAM wParam, LPARAM lParam)
{
    return m_trayAndAlert.OnPopupNotify(wParam, lParam);
}

// ---- Companion windows

void CMainFrame::OnChannelViewer()
{
    m_companions.ToggleChannelViewer();
}

void CMainFrame::OnUpdateChannelViewer(CCmdUI* pCmdUI)
{
    m_companions.UpdateChannelViewer(pCmdUI);
}

void CMainFrame::OnPodcastManager()
{
    m_companions.ShowPodcastManager();
}

void CMainFrame::OnUpdatePodcastManager(CCmdUI* pCmdUI)
{
    m_companions.UpdatePodcastManager(pCmdUI);
}

LRESULT CMainFrame::OnNewsLineClosed(WPARAM, LPARAM)
{
    m_companions.StopTicker();
    return 0;
}

LRESULT CMainFrame::OnNewsLineItemOpened(WPARAM wParam, LPARAM lParam)
{
    m_companions.TickerItemOpened(reinterpret_cast<CFeedItem*>(wParam), reinterpret_cast<CFeedItem*>(lParam));
    return 0;
}

void CMainFrame::OnNewsTicker()
{
    m_companions.ToggleTicker();
}

void CMainFrame::OnUpdateNewsTicker(CCmdUI* pCmdUI)
{
    m_companions.UpdateTicker(pCmdUI);
}

// ---- The toolbars' own controls

LRESULT CMainFrame::OnCreateControl(WPARAM, LPARAM lParam)
{
    return m_categorySelector.OnCreateControl(reinterpret_cast<XTP_COMMANDBARS_CREATECONTROL*>(lParam));
}

void CMainFrame::OnCategorySelected(NMHDR* pNMHDR, LRESULT* pResult)
{
    m_categorySelector.OnSelected(pNMHDR, pResult);
}

void CMainFrame::OnUpdateShowCategories(CCmdUI* pCmdUI)
{
    m_categorySelector.Update(pCmdUI);
}

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
    CXTPFrameWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED && m_categorySelector.GetCombo()) {
        m_categorySelector.OnSize(cx);
        RecalcLayout();
    }
}

// ---- Looks

void CMainFrame::ShowWithCommandStates()
{
    ShowWindow(SW_SHOW);
    SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    UpdateWindow();
}

void CMainFrame::OnSwitchPane(UINT)
{
    m_pPaneSite->FocusOtherPane();
}

void CMainFrame::OnTheme(UINT nID)
{
    m_looks.OnTheme(nID);
}

void CMainFrame::OnUpdateTheme(CCmdUI* pCmdUI)
{
    m_looks.OnUpdateTheme(pCmdUI);
}

// ---- Feed and category commands

void CMainFrame::OnSubscribeFeed()
{
    m_feedCommands.SubscribeFeed(CString());
}

LRESULT CMainFrame::OnSubscribeHandedOver(WPARAM, LPARAM)
{
    m_feedCommands.SubscribeHandedOver();
    return 0;
}

void CMainFrame::OnExportChannels()
{
    m_feedCommands.ExportChannels();
}

void CMainFrame::OnImportChannels()
{
    m_feedCommands.ImportChannels(false);
}

void CMainFrame::OnImportOpml()
{
    m_feedCommands.ImportChannels(true);
}

void CMainFrame::OnMarkAllFeedsRead()
{
    m_feedCommands.MarkAllFeedsRead();
}

void CMainFrame::OnHelpOnline()
{
    m_feedCommands.OpenBrandingLink(ID_HELP_ONLINE);
}

void CMainFrame::OnBrowseFeeds()
{
    m_feedCommands.OpenBrandingLink(ID_BROWSE_FEEDS);
}

void CMainFrame::OnGettingStarted()
{
    m_feedCommands.OpenBrandingLink(ID_GETTING_STARTED);
}

void CMainFrame::OnUpdateBrandingLink(CCmdUI* pCmdUI)
{
    m_feedCommands.UpdateBrandingLink(pCmdUI);
}

LRESULT CMainFrame::OnUsageEvent(WPARAM wParam, LPARAM lParam)
{
    m_feedCommands.LogUsageEvent(wParam, reinterpret_cast<CFeedItem*>(lParam));
    return 0;
}

LRESULT CMainFrame::OnWorkerUpdateOffer(WPARAM wParam, LPARAM)
{
    m_feedCommands.OfferUpdate(reinterpret_cast<CString*>(wParam));
    return 0;
}

LRESULT CMainFrame::OnRunUpdater(WPARAM, LPARAM lParam)
{
    // Any program on the desktop can send this message: only a package our own download checked is run.
    if (lParam != 0)
        m_feedCommands.RunCheckedUpdater();
    return 0;
}

// ---- The pane's commands

void CMainFrame::OnShowReadFeeds()
{
    m_pPaneSite->ToggleReadFeeds();
}

void CMainFrame::OnUpdateShowReadFeeds(CCmdUI* pCmdUI)
{
    m_pPaneSite->UpdateReadFeeds(pCmdUI);
}

void CMainFrame::OnRefreshHotChannel()
{
    m_pPaneSite->RefreshHotChannel();
}

void CMainFrame::OnUpdateRefreshHotChannel(CCmdUI* pCmdUI)
{
    m_pPaneSite->UpdateRefreshHotChannel(pCmdUI);
}

// ---- Settings and channel management

LRESULT CMainFrame::OnPodcastFeedChoice(WPARAM /*wParam*/, LPARAM lParam)
{
    return m_options.FeedChoice().Answer(lParam);
}

void CMainFrame::OnOptions()
{
    m_options.Run();
}

void CMainFrame::OnUpdateOptions(CCmdUI* pCmdUI)
{
    m_options.UpdateCommand(pCmdUI);
}

void CMainFrame::OnUnsubscribe()
{
    m_feedCommands.UnsubscribeHotChannel();
}

void CMainFrame::OnUpdateUnsubscribe(CCmdUI* pCmdUI)
{
    m_feedCommands.UpdateUnsubscribe(pCmdUI);
}

void CMainFrame::OnDeleteCategory()
{
    m_feedCommands.DeleteHotCategory();
}

void CMainFrame::OnUpdateCategory()
{
    m_feedCommands.UpdateHotCategory();
}

void CMainFrame::OnUpdateCategoryCommand(CCmdUI* pCmdUI)
{
    m_feedCommands.UpdateCategoryCommand(pCmdUI);
}

void CMainFrame::OnRenameCategory()
{
    m_feedCommands.RenameHotCategory();
}

void CMainFrame::OnUpdateRenameCategory(CCmdUI* pCmdUI)
{
    m_feedCommands.UpdateRenameHotCategory(pCmdUI);
}

void CMainFrame::OnViewInSeparateWindow()
{
    m_feedCommands.ViewHotChannelSeparately();
}

void CMainFrame::OnUpdateViewInSeparateWindow(CCmdUI* pCmdUI)
{
    m_feedCommands.UpdateViewHotChannelSeparately(pCmdUI);
}

void CMainFrame::OnDeleteResults()
{
    m_feedCommands.DeleteHotResults();
}

void CMainFrame::OnUpdateDeleteResults(CCmdUI* pCmdUI)
{
    m_feedCommands.UpdateDeleteHotResults(pCmdUI);
}

// ---- Customising the bars

void CMainFrame::OnCustomize()
{
    m_customizing.OnCustomize();
}

void CMainFrame::OnUpdateCustomize(CCmdUI* pCmdUI)
{
    m_customizing.OnUpdateCustomize(pCmdUI);
}
