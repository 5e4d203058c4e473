// The frame's commands, the notification-area icon, the frame events with the connection monitor, the new-items
// alert, the window placement and theme, and the shut-down.
#include "app/MainFrm.h"
#include "res/resource.h"

#include "app/ReaderApp.h"
#include "app/RefreshTimer.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/UsageLog.h"
#include "framework/StandardIds.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/controls/XTPPopupItem.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"
#include "toolkit/taskpanel/XTPTaskPanelItems.h"

#include <shellapi.h>

namespace {

const int kSkinTheme = 11;
const int kGroupCaptionRoom = 50; // UTF-16 units of a group record's caption, its terminating zero included
const int kGroupCaptionChars = 48;
struct GroupRecord
{
    WCHAR caption[kGroupCaptionRoom];
    DWORD expanded;
};
static_assert(sizeof(GroupRecord) == 104, "a group record is 104 bytes");

LPCWSTR PlacementSection(int nViewStyle)
{
    return nViewStyle == 1 ? L"MainFrame" : L"MainFrameClassic";
}

// Only web addresses leave the program through the shell: a branding file from the network names these.
bool IsWebAddress(LPCWSTR url)
{
    return url && (_wcsnicmp(url, L"http://", 7) == 0 || _wcsnicmp(url, L"https://", 8) == 0);
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

int ThemeOfCommand(UINT nID)
{
    switch (nID) {
    case ID_THEME_DEFAULT:
        return 0;
    case ID_THEME_OFFICE2003:
        return 3;
    default:
        return 2;
    }
}

} // namespace

// ---- The notification area

BOOL CTrayWnd::RemoveTaskbarButton(CWnd* pWnd)
{
    if (!CXTTrayIcon::RemoveTaskbarButton(pWnd))
        return FALSE;
    m_wndHiddenParent.SetWindowText(LQ_TRAY_WINDOW_NAME);
    return TRUE;
}

void CMainFrame::HideToTray()
{
    if (m_bInTray || m_hWnd == nullptr)
        return;
    m_trayIcon.MinimizeToTray(this);
    m_bInTray = true;
}

void CMainFrame::OnOpenReader()
{
    CWnd* viewer = GetChannelViewer();
    if (m_bInTray) {
        m_trayIcon.RestoreFromTray(this);
        m_bInTray = false;
        if (m_bViewerWasVisible && viewer)
            viewer->ShowWindow(SW_SHOW);
        m_bViewerWasVisible = false;
        return;
    }
    m_bViewerWasVisible = viewer && viewer->GetSafeHwnd() && viewer->IsWindowVisible();
    if (m_bViewerWasVisible)
        viewer->ShowWindow(SW_HIDE);
    HideToTray();
}

void CMainFrame::OnClose()
{
    // Closing the window keeps the program running in the notification area.
    HideToTray();
}

void CMainFrame::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == SC_MINIMIZE) {
        OnOpenReader();
        return;
    }
    CXTPFrameWnd::OnSysCommand(nID, lParam);
}

LRESULT CMainFrame::OnTrayNotify(WPARAM, LPARAM lParam)
{
    switch (LOWORD(lParam)) {
    case WM_LBUTTONDBLCLK:
        if (m_bInTray)
            OnOpenReader();
        else
            SetForegroundWindow();
        return 1;
    case WM_RBUTTONUP: {
        CMenu menu;
        if (!menu.LoadMenu(IDR_TRAY_MENU))
            return 1;
        CMenu* popup = menu.GetSubMenu(0);
        if (popup) {
            ::SetMenuDefaultItem(popup->GetSafeHmenu(), ID_TRAY_OPEN_READER, FALSE);
            SetForegroundWindow();
            CPoint point;
            ::GetCursorPos(&point);
            const HWND hWnd = m_hWnd;
            CXTPCommandBars::TrackPopupMenu(popup, TPM_RIGHTBUTTON, point.x, point.y, this);
            if (::IsWindow(hWnd))
                ::PostMessageW(hWnd, WM_NULL, 0, 0);
        }
        menu.DestroyMenu();
        return 1;
    }
    default:
        return 0;
    }
}

LRESULT CMainFrame::OnInstanceProbe(WPARAM, LPARAM)
{
    // A second start brings the running copy forward, also out of the notification area.
    if (m_bInTray) {
        OnOpenReader();
    } else {
        ShowWindow(SW_RESTORE);
        SetForegroundWindow();
    }
    return WM_INSTANCE_PROBE;
}

void CMainFrame::OnTrayOpenReader()
{
    if (m_bInTray)
        OnOpenReader();
}

void CMainFrame::OnUpdateTrayOpenReader(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bInTray);
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
        if (m_bInTray)
            OnOpenReader();
        if (HWND hPopup = ::GetLastActivePopup(m_hWnd); hPopup != m_hWnd)
            ::SetForegroundWindow(hPopup);
        return 0;
    }
    CXTPFrameWnd::OnClose();
    return 0;
}

// ---- Commands

void CMainFrame::OnOnline()
{
    if (m_bOnline) {
        // The refresh flag stays the worker's: downloads in flight still hold their entries.
        m_bOnline = false;
        StartConnectionMonitor();
    } else {
        m_bOnline = true;
    }
}

void CMainFrame::OnUpdateOnline(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_bOnline ? 0 : 1);
}

void CMainFrame::OnShowReadFeeds()
{
    CReaderSettings& settings = GetEngineContext().m_settings;
    settings.nHideReadChannels = settings.nHideReadChannels ? 0 : 1;
    theApp.WriteProfileInt(L"", L"HideReadChannels", settings.nHideReadChannels);
    RefreshPaneContents();
}

void CMainFrame::OnUpdateShowReadFeeds(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(GetEngineContext().m_settings.nHideReadChannels ? 0 : 1);
}

void CMainFrame::RefreshPaneContents()
{
    RepositionPane();
    RedrawPane();
}

bool CMainFrame::OpenBrandingUrl(LPCWSTR url, LPCWSTR verb)
{
    if (!IsWebAddress(url))
        return false;
    return reinterpret_cast<INT_PTR>(::ShellExecuteW(m_hWnd, verb, url, nullptr, nullptr, SW_SHOW)) > 32;
}

void CMainFrame::OnHelpOnline()
{
    OpenBrandingUrl(GetEngineContext().m_settings.szHelpUrl, L"open");
}

void CMainFrame::OnBrowseFeeds()
{
    OpenBrandingUrl(GetEngineContext().m_settings.szBrowseFeedsUrl, nullptr);
}

void CMainFrame::OnGettingStarted()
{
    OpenBrandingUrl(GetEngineContext().m_settings.szGettingStartedUrl, nullptr);
}

void CMainFrame::OnUpdateBrandingLink(CCmdUI* pCmdUI)
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    LPCWSTR url = pCmdUI->m_nID == ID_HELP_ONLINE    ? settings.szHelpUrl
                  : pCmdUI->m_nID == ID_BROWSE_FEEDS ? settings.szBrowseFeedsUrl
                                                     : settings.szGettingStartedUrl;
    pCmdUI->Enable(IsWebAddress(url));
}

void CMainFrame::SetToolkitTheme(int nTheme)
{
    if (nTheme != 0 && nTheme != 2 && nTheme != 3)
        nTheme = 2;
    CXTPPaintManager::SetTheme(nTheme);
    m_nTheme = nTheme;
    if (CXTPPaintManager* manager = CXTPPaintManager::GetCurrent())
        manager->RefreshMetrics();
    if (m_hWnd == nullptr)
        return;
    RecalcLayout();
    if (CXTPCommandBars* bars = CXTPFrameWnd::GetCommandBars())
        bars->RecalcFrameLayout();
    SetWindowRgn(nullptr, TRUE);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CMainFrame::OnTheme(UINT nID)
{
    SetToolkitTheme(ThemeOfCommand(nID));
}

void CMainFrame::OnUpdateTheme(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetRadio(m_nTheme == ThemeOfCommand(pCmdUI->m_nID));
}

void CMainFrame::OnRefreshHotChannel()
{
    if (IsUpdating())
        return;
    CFeedItem* entry = m_wndTaskPanel.GetSafeHwnd() ? CFeedTaskPanel::GetRecord(m_wndTaskPanel.GetHotItem()) : nullptr;
    if (!entry || entry->m_nKind != FEED_KIND_FEED)
        return;
    m_bFullRefresh = false;
    RequestRefresh(entry);
}

void CMainFrame::OnUpdateRefreshHotChannel(CCmdUI* pCmdUI)
{
    CFeedItem* entry = m_wndTaskPanel.GetSafeHwnd() ? CFeedTaskPanel::GetRecord(m_wndTaskPanel.GetHotItem()) : nullptr;
    pCmdUI->Enable(!IsUpdating() && entry && entry->m_nKind == FEED_KIND_FEED);
}

void CMainFrame::OnChannelViewer()
{
    CWnd* viewer = GetChannelViewer();
    if (viewer && viewer->GetSafeHwnd())
        viewer->ShowWindow(viewer->IsWindowVisible() ? SW_HIDE : SW_SHOW);
}

void CMainFrame::OnUpdateChannelViewer(CCmdUI* pCmdUI)
{
    CWnd* viewer = GetChannelViewer();
    const bool exists = viewer && viewer->GetSafeHwnd();
    pCmdUI->Enable(exists);
    pCmdUI->SetCheck(exists && viewer->IsWindowVisible() ? 1 : 0);
}

void CMainFrame::OnPodcastManager()
{
    CWnd* podcast = GetPodcastWindow();
    if (podcast && podcast->GetSafeHwnd())
        podcast->ShowWindow(SW_SHOW);
}

void CMainFrame::OnUpdatePodcastManager(CCmdUI* pCmdUI)
{
    CWnd* podcast = GetPodcastWindow();
    pCmdUI->Enable(podcast && podcast->GetSafeHwnd());
}

// ---- The refresh timer and the connection

void CMainFrame::RefreshTick()
{
    if (g_pfnNetworkAlive != nullptr && !g_pfnNetworkAlive()) {
        SendMessage(WM_FRAME_EVENT, FRAME_EVENT_OFFLINE, 0);
        m_bOnline = false;
    } else {
        m_bOnline = true;
    }
    int nBefore = m_workerLink.m_nChannelListCountdown;
    int nChannelList = nBefore;
    // The entries due now are handed to the worker in a list of its own: the frame keeps none that the worker
    // could be reading.
    CPtrList due;
    CountDownRefresh(m_pMainFeeds, m_pCustomFeeds, IsUpdating() != FALSE, m_bOnline, nChannelList, due);
    // The worker resets the countdown when it fetches the list; that reset wins over this tick.
    m_workerLink.m_nChannelListCountdown.compare_exchange_strong(nBefore, nChannelList);
    if (!due.IsEmpty() && m_bOnline && !m_bShutDown) {
        m_bFullRefresh = false;
        RequestRefresh(due);
    }
}

void CMainFrame::OnConnectionEvent(bool bConnected)
{
    if (bConnected) {
        m_bOnline = true;
        SendMessageToDescendants(WM_REFRESH_AD, 0, 0);
        RefreshTick();
        return;
    }
    m_bOnline = false;
    // Downloads in flight keep the refresh running: the status changes only when none is left.
    if (!IsUpdating())
        ShowRefreshEnded();
    StartConnectionMonitor();
}

// ---- Frame events

void CMainFrame::OnEnclosureDone(CFeedItem* pItem)
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
        ::ShellExecuteW(m_hWnd, L"open", pItem->m_strEnclosureFile, nullptr, nullptr, SW_SHOW);
}

void CMainFrame::InsertSearchPage(CFeedItem* pPage)
{
    auto* searchIn = static_cast<CFeedItem*>(pPage->m_pLinkedItem);
    CFeedItem* older = searchIn ? static_cast<CFeedItem*>(searchIn->m_pLinkedItem) : nullptr;
    if (m_wndTaskPanel.GetSafeHwnd())
        m_wndTaskPanel.SendMessage(WM_CANCELMODE);
    if (searchIn)
        searchIn->m_pLinkedItem = pPage;
    m_searchPages.AddTail(pPage);
    pPage->m_nImageIndex = 2;
    if (pPage->m_pChannel && !GetEngineContext().m_strTempFolder.IsEmpty()) {
        WCHAR path[MAX_PATH] = L"";
        if (::GetTempFileNameW(GetEngineContext().m_strTempFolder, L"tmdf", 0, path) &&
            pPage->m_pChannel->SaveCache(path, TRUE))
            pPage->m_pChannel->m_strPath = path;
    }
    const CString caption = pPage->m_strTitleText;
    auto* control = older ? static_cast<CXTPTaskPanelGroupItem*>(older->m_pNavControl) : nullptr;
    if (control) {
        control->SetID(reinterpret_cast<UINT_PTR>(pPage));
        control->SetCaption(caption);
        pPage->m_pNavControl = control;
        older->m_pNavControl = nullptr;
    } else if (searchIn && searchIn->m_pNavControl) {
        auto* after = static_cast<CXTPTaskPanelGroupItem*>(searchIn->m_pNavControl);
        CXTPTaskPanelGroup* group = after->GetItemGroup();
        if (group) {
            auto* item = new CXTPTaskPanelGroupItem();
            item->SetType(TaskPanelItemLink);
            item->SetID(reinterpret_cast<UINT_PTR>(pPage));
            item->SetCaption(caption);
            item->SetBold(TRUE);
            group->GetItems()->InsertAt(after->GetIndex() + 1, item);
            pPage->m_pNavControl = item;
        }
    }
    if (older) {
        if (POSITION at = m_searchPages.Find(older))
            m_searchPages.RemoveAt(at);
        if (older->m_pNavControl)
            RemoveEntryFromPane(older);
        delete older;
    }
    RefreshPaneContents();
}

void CMainFrame::DeleteResultPages()
{
    for (CPtrList* pages : {&m_searchPages, &m_filterPages}) {
        while (!pages->IsEmpty()) {
            auto* page = static_cast<CFeedItem*>(pages->RemoveHead());
            if (auto* searchIn = static_cast<CFeedItem*>(page->m_pLinkedItem);
                searchIn && searchIn->m_pLinkedItem == page)
                searchIn->m_pLinkedItem = nullptr;
            delete page;
        }
    }
}

LRESULT CMainFrame::OnFrameEvent(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case FRAME_EVENT_STOPPED:
        // The worker has let go of every entry: a stopped refresh leaves none marked.
        ForEachEntry(m_pMainFeeds, m_pCustomFeeds,
                     [](CFeedChannel*, CFeedItem* pEntry) { pEntry->m_bUpdating = false; });
        ShowRefreshEnded();
        break;
    case FRAME_EVENT_SEARCH_DONE:
        if (!IsUpdating())
            ShowRefreshEnded();
        if (lParam)
            InsertSearchPage(reinterpret_cast<CFeedItem*>(lParam));
        break;
    case FRAME_EVENT_ENCLOSURE_DONE:
        OnEnclosureDone(reinterpret_cast<CFeedItem*>(lParam));
        break;
    case FRAME_EVENT_TICKER_CHANGED:
        ReloadTicker();
        break;
    case FRAME_EVENT_PODCAST_CHANGED:
        SyncPodcastList();
        break;
    case FRAME_EVENT_OFFLINE:
        OnConnectionEvent(false);
        break;
    case FRAME_EVENT_CONNECTED:
        OnConnectionEvent(true);
        break;
    default:
        break;
    }
    return 0;
}

void CMainFrame::RunSearch(CFeedItem* pEntry, const CString& strText)
{
    if (!pEntry || strText.IsEmpty() || !m_pWorkerThread || m_bShutDown)
        return;
    // A search during a full refresh must not cost that refresh its pane rebuild and its saved lists.
    if (!IsUpdating())
        m_bFullRefresh = false;
    m_strSearchText = strText;
    m_workerLink.SetSearchText(strText);
    if (pEntry->m_nKind == FEED_KIND_SEARCH_IN)
        ShowRefreshRunning();
    m_pWorkerThread->PostThreadMessage(WM_WORKER_SEARCH, reinterpret_cast<WPARAM>(pEntry), 0);
}

LRESULT CMainFrame::OnUsageEvent(WPARAM wParam, LPARAM lParam)
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    auto* item = reinterpret_cast<CFeedItem*>(lParam);
    if (!settings.nReportStat || !item)
        return 0;
    int kind = 0;
    int action = 0;
    if (wParam == 1) {
        kind = action = 1;
    } else if ((wParam == 4 || wParam == 5) && settings.bStatsEnabled) {
        if (wParam == 4 && ListHolds(m_pMainFeeds, item)) {
            kind = action = 2;
        } else if (wParam == 4 && ListHolds(m_pCustomFeeds, item) && item->m_strAccountName.IsEmpty()) {
            kind = 3;
            action = 4;
        } else if (wParam == 5 && FeedsOfListHold(m_pMainFeeds, item)) {
            kind = 2;
            action = 3;
        } else if (wParam == 5 && FeedsOfListHold(m_pCustomFeeds, item)) {
            kind = 3;
            action = 5;
        }
    }
    if (kind)
        LogUsage(kind, action, item->m_strLink);
    return 0;
}

LRESULT CMainFrame::OnNewsLineClosed(WPARAM, LPARAM)
{
    StopCompanionThreads();
    return 0;
}

// ---- The new-items alert

void CMainFrame::ShowNewItemsAlert(int nNewItems)
{
    if (m_hWnd == nullptr)
        return;
    if (m_wndAlert.GetSafeHwnd() && m_wndAlert.GetPopupState() != xtpPopupStateHidden)
        m_wndAlert.Close();
    m_wndAlert.RemoveAllItems();
    int lineHeight = 16;
    {
        CClientDC dc(this);
        lineHeight = dc.GetTextExtent(L"Ag").cy;
    }
    auto addText = [this](const CRect& rect, const CString& text, COLORREF color) {
        auto* item = new CXTPPopupItem(rect, text);
        item->SetHyperLink(FALSE);
        if (color != static_cast<COLORREF>(-1))
            item->SetTextColor(color);
        m_wndAlert.AddItem(item);
        return item;
    };
    addText(CRect(46, 16, 270, 41), GetEngineContext().m_settings.szCaption, static_cast<COLORREF>(-1));
    CString count;
    count.Format(L"You've got %d new news messages", nNewItems);
    addText(CRect(46, 29, 270, 54), count, static_cast<COLORREF>(-1));

    int y = 50;
    CStringList& lines = GetEngineContext().m_newsLabels;
    while (!lines.IsEmpty()) {
        const CString line = lines.RemoveHead();
        const int countChars = line.GetLength() < 3 ? line.GetLength() : 3;
        CString number;
        number.Format(L"%d", _wtoi(line.Right(countChars)));
        addText(CRect(46, y, 290, y + lineHeight), line.Left(line.GetLength() - countChars), RGB(0, 0x44, 0));
        addText(CRect(295, y, 315, y + lineHeight), number, RGB(0, 0x44, 0))->SetTextAlignment(DT_RIGHT);
        y += lineHeight;
    }
    auto* link = new CXTPPopupItem(CRect(46, y + 5, 270, y + 40), L"View messages...");
    link->SetID(kAlertViewMessages);
    link->SetTextColor(RGB(0, 0x3D, 0xB2));
    link->SetTextAlignment(DT_WORDBREAK);
    m_wndAlert.AddItem(link);
    auto* icon = new CXTPPopupItem(CRect(5, 12, 17, 24));
    icon->SetIcon(static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 32, 32, LR_SHARED)));
    icon->SetHyperLink(FALSE);
    m_wndAlert.AddItem(icon);
    auto* close = new CXTPPopupItem(CRect(308, 14, 324, 30));
    close->SetIcon(static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_ALERT_CLOSE), IMAGE_ICON, 16, 16, LR_SHARED)));
    close->SetButton(TRUE);
    close->SetID(kAlertClose);
    m_wndAlert.AddItem(close);

    m_wndAlert.SetTheme(2);
    m_wndAlert.SetPopupSize(CSize(329, y + 30));
    m_wndAlert.SetPopupAnimation(xtpPopupAnimationFade);
    m_wndAlert.SetShowDelay(5000);
    m_wndAlert.SetAnimateDelay(600);
    m_wndAlert.SetTransparency(220);
    m_wndAlert.Show(this);
    ::MessageBeep(0);
}

LRESULT CMainFrame::OnPopupNotify(WPARAM wParam, LPARAM lParam)
{
    auto* item = reinterpret_cast<CXTPPopupItem*>(lParam);
    if (wParam != xtpPopupItemClicked || !item)
        return 1;
    if (item->GetID() == kAlertViewMessages) {
        m_wndAlert.Close();
        if (m_bInTray)
            OnOpenReader();
        SetForegroundWindow();
        SetFocus();
    } else if (item->GetID() == kAlertClose) {
        m_bQuietActivation = 0;
        m_wndAlert.Close();
    }
    return 1;
}

// ---- Placement, theme and group states

CRect InitialFramePlacement(int nViewStyle, bool bLeftArrows, int cxFull, int cyFull, int cyCaption)
{
    if (nViewStyle == 1) {
        const int width = cxFull / 4;
        const int x = bLeftArrows ? 3 * cxFull / 4 : 0;
        return CRect(x, 0, x + width, cyFull + cyCaption);
    }
    const int w = cxFull;
    const int h = cyFull - cyCaption;
    const int width = w >= 1000 ? ::MulDiv(w, 4, 5) : w;
    const int height = h >= 700 ? ::MulDiv(h, 4, 5) : h;
    const int x = width < w ? (w - width) / 2 : 0;
    const int y = height < h ? (h - height) / 2 : 0;
    return CRect(x, y, x + width, y + height);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CXTPFrameWnd::PreCreateWindow(cs))
        return FALSE;
    const CReaderSettings& settings = GetEngineContext().m_settings;
    const CRect rect =
        InitialFramePlacement(settings.nViewStyle, settings.nLeftArrows != 0, ::GetSystemMetrics(SM_CXFULLSCREEN),
                              ::GetSystemMetrics(SM_CYFULLSCREEN), ::GetSystemMetrics(SM_CYCAPTION));
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.Width();
    cs.cy = rect.Height();
    // Some platforms report a full-screen height beyond the work area: the window's bottom stays on the screen.
    CRect workArea;
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0) && cs.y + cs.cy > workArea.bottom &&
        workArea.Height() > 0)
        cs.cy = workArea.bottom - cs.y;
    if (settings.nViewStyle == 1) {
        cs.style &= ~WS_MAXIMIZEBOX;
        cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    }
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (settings.szCaption[0])
        cs.lpszName = settings.szCaption;
    return TRUE;
}

CPoint SnapToWorkArea(const CRect& window, const CRect& workArea)
{
    const int kMagnet = 15;
    CPoint point = window.TopLeft();
    if (abs(window.left - workArea.left) <= kMagnet)
        point.x = workArea.left;
    else if (abs(window.right - workArea.right) <= kMagnet)
        point.x = workArea.right - window.Width();
    if (abs(window.top - workArea.top) <= kMagnet)
        point.y = workArea.top;
    else if (abs(window.bottom - workArea.bottom) <= kMagnet)
        point.y = workArea.bottom - window.Height();
    return point;
}

void CMainFrame::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    CXTPFrameWnd::OnWindowPosChanging(lpwndpos);
    // After the alert's close button the next change neither activates nor raises the frame.
    if (!m_bQuietActivation) {
        lpwndpos->flags |= SWP_NOZORDER | SWP_NOACTIVATE;
        m_bQuietActivation = 1;
    }
    if ((lpwndpos->flags & SWP_NOMOVE) || m_bInTray || IsIconic() || IsZoomed())
        return;
    CRect workArea;
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0))
        return;
    CRect window(CPoint(lpwndpos->x, lpwndpos->y), CSize(lpwndpos->cx, lpwndpos->cy));
    if (lpwndpos->flags & SWP_NOSIZE) {
        CRect current;
        GetWindowRect(&current);
        window = CRect(CPoint(lpwndpos->x, lpwndpos->y), current.Size());
    }
    const CPoint snapped = SnapToWorkArea(window, workArea);
    lpwndpos->x = snapped.x;
    lpwndpos->y = snapped.y;
}

void CMainFrame::LoadPlacement()
{
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (!theApp.GetProfileBinary(PlacementSection(m_nViewStyle), L"WP", &data, &bytes))
        return;
    WINDOWPLACEMENT placement = {};
    const bool whole = bytes == sizeof(placement);
    if (whole)
        memcpy(&placement, data, sizeof(placement));
    delete[] data;
    const RECT& r = placement.rcNormalPosition;
    // A damaged or foreign value leaves the first placement; the window is shown by the application.
    if (!whole || placement.length != sizeof(placement) || r.right <= r.left || r.bottom <= r.top)
        return;
    placement.showCmd = SW_HIDE;
    SetWindowPlacement(&placement);
}

void CMainFrame::SavePlacement()
{
    // The notification area's helper window is not the frame's place on the screen.
    if (m_bInTray)
        ::SetParent(m_hWnd, nullptr);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(&placement))
        theApp.WriteProfileBinary(PlacementSection(m_nViewStyle), L"WP", reinterpret_cast<LPBYTE>(&placement),
                                  sizeof(placement));
}

void CMainFrame::StoreGroupStates()
{
    if (m_wndTaskPanel.GetSafeHwnd() == nullptr)
        return;
    const int count = m_wndTaskPanel.GetGroupCount();
    CArray<GroupRecord, GroupRecord&> records;
    for (int i = 0; i < count; ++i) {
        CXTPTaskPanelGroup* group = m_wndTaskPanel.GetAt(i);
        GroupRecord record = {};
        lstrcpynW(record.caption, group->GetCaption().Left(kGroupCaptionChars), kGroupCaptionRoom);
        record.expanded = group->IsExpandedFlag() ? 1 : 0;
        records.Add(record);
    }
    theApp.WriteProfileBinary(L"Groups", L"State", reinterpret_cast<LPBYTE>(records.GetData()),
                              static_cast<UINT>(count * sizeof(GroupRecord)));
    theApp.WriteProfileInt(L"Groups", L"Count", count);
}

void CMainFrame::RestoreGroupStates()
{
    if (m_wndTaskPanel.GetSafeHwnd() == nullptr)
        return;
    const int count = static_cast<int>(theApp.GetProfileInt(L"Groups", L"Count", 0));
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (count > 0 && theApp.GetProfileBinary(L"Groups", L"State", &data, &bytes)) {
        if (bytes == count * sizeof(GroupRecord)) {
            const auto* records = reinterpret_cast<const GroupRecord*>(data);
            for (int i = 0; i < count; ++i) {
                WCHAR caption[kGroupCaptionRoom];
                lstrcpynW(caption, records[i].caption, kGroupCaptionRoom);
                if (CXTPTaskPanelGroup* group = m_wndTaskPanel.FindGroupByCaption(caption))
                    group->SetExpanded(records[i].expanded != 0);
            }
        }
        delete[] data;
    }
    if (CXTPTaskPanelGroup* offers = m_wndTaskPanel.FindGroupByCaption(LoadResourceString(IDS_OFFERS)))
        offers->SetExpanded(TRUE);
}

// ---- Shut-down

void CMainFrame::SaveChannelLists()
{
    if (m_pMainFeeds) {
        m_pMainFeeds->SaveMainFeeds();
        m_pMainFeeds->SaveChildCaches();
    }
    if (m_pCustomFeeds) {
        m_pCustomFeeds->SaveCustomFeeds();
        m_pCustomFeeds->SaveChildCaches();
    }
}

void CMainFrame::OnDestroy()
{
    SaveBarLayout();
    SavePlacement();
    KillTimer(kRefreshTimerId);
    theApp.WriteProfileInt(L"", L"Theme", m_nTheme);
    if (m_nTheme == kSkinTheme)
        theApp.WriteProfileInt(L"", L"ColorTheme", m_nColorTheme);
    theApp.WriteProfileString(L"Filters", L"QuickFilter", m_strQuickFilter);
    m_monitor.Stop();
    if (m_wndAlert.GetSafeHwnd())
        m_wndAlert.DestroyWindow();
    // Every download ends, its report answered, before the lists and their entries can go.
    if (IsUpdating())
        StopRefresh();
    m_bShutDown = true;
    StopFeedWorker(m_pWorkerThread);
    m_pWorkerThread = nullptr;
    StoreGroupStates();
    StopCompanionThreads();
    // The pane's items point at the entries and pages: they go first.
    if (m_wndTaskPanel.GetSafeHwnd() != nullptr)
        m_wndTaskPanel.RemoveAllGroups();
    DeleteResultPages();
    CXTPFrameWnd::OnDestroy();
    SaveChannelLists();
}
