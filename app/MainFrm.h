// The main window: the frame with the branding's caption and the notification-area icon, the subscription lists,
// the feed worker and the results of its refreshes, the answer to a second start's probe and the feed address a
// second start hands over. Menus, bars, the navigation pane and the views come with the work on them; where the
// frame must reach them it calls one of the members under "Pane and views" below, which that work fills.
#pragma once

#include "app/ConnectionMonitor.h"
#include "app/FeedWorker.h"
#include "framework/core/Collections.h"
#include "framework/frame/SplitterWnd.h"
#include "framework/win/ImageList.h"
#include "toolkit/commandbars/XTPFrameWnd.h"
#include "toolkit/controls/XTPPopupWindow.h"
#include "toolkit/controls/XTTrayIcon.h"
#include "views/BusyProgressCtrl.h"
#include "views/ExStatusBar.h"
#include "views/FeedClassicView.h"
#include "views/FeedPaneSite.h"
#include "views/FeedTaskPanel.h"

#include <memory>

class CFeedChannel;
class CFeedItem;
class CXTPTaskPanelGroup;
class CXTPTaskPanelGroupItem;

// The registered message by which a second start finds the running copy: the frame answers with its id.
extern const UINT WM_INSTANCE_PROBE;

// An enclosure's file name as offered for saving: path separators, reserved characters and device names made
// harmless, so that the name stays one file inside the folder the user picks.
CString CleanEnclosureFileName(const CString& name);

// The frame's one-minute refresh timer.
const UINT_PTR kRefreshTimerId = 16;
// The new-items alert's close button and its "View messages..." link.
const int kAlertClose = 500;
const int kAlertViewMessages = 501;

// The notification-area icon of the frame. The hidden window that takes the frame off the taskbar carries the
// name by which a second start finds the running copy while the frame is in the notification area.
class CTrayWnd : public CXTTrayIcon
{
public:
    BOOL RemoveTaskbarButton(CWnd* pWnd) override;
};

// The caption of that hidden window.
#define LQ_TRAY_WINDOW_NAME L"_LanternquillTrayWindow"

// The frame's rectangle before a saved placement applies, from the screen's full-screen size and caption height:
// view style 1 a full-height strip a quarter of the width at the left edge (at three quarters when the arrows
// point left), view style 0 a window of four fifths of a large screen, centred.
CRect InitialFramePlacement(int nViewStyle, bool bLeftArrows, int cxFull, int cyFull, int cyCaption);

// Where a window moved to the given rectangle goes: an edge within 15 pixels of the work area's edge of the same
// side lands on it (left before right, top before bottom).
CPoint SnapToWorkArea(const CRect& window, const CRect& workArea);

// Whether the entry is one of the list's own entries (the same record, not an equal one); false without a list.
bool ListHolds(CFeedChannel* pList, const CFeedItem* pEntry);

class CMainFrame : public CXTPFrameWnd, public CFeedPaneSite, public CFeedViewSite
{
public:
    CMainFrame();
    ~CMainFrame() override;

    // Whether the text is a feed address a second start may hand over: http, https or feed, and nothing that
    // could reach a command line or a file name.
    static bool IsFeedAddress(const CString& text);

    // Loads "MainFeed.xml" and "CustomFeed.xml" of the data folder (the custom list from its backup when it is
    // missing or damaged) with each channel's cache file. A list that cannot be read stays null.
    BOOL LoadSubscriptionLists();

    // Refresh requests to the worker. A full refresh ("Update Now") takes every entry and ends with both lists
    // saved; the others take the given entries, skipping any that a download holds already. False when nothing
    // was asked.
    bool StartFullRefresh();
    bool RequestRefresh(CFeedItem* pEntry);
    bool RequestRefresh(const CPtrList& entries);
    bool StopRefresh();

    // The feed commands. Subscribing shows "Subscribe" (filled with the address and fetching it at once when one
    // is given) and "Customize the Feed"; true when a channel was added or an OPML list offered for import.
    bool SubscribeFeed(const CString& strUrl);
    // The entry of the main list, else of the custom list, with the same feed address; null when neither has one.
    CFeedItem* FindEntry(const CFeedItem* pEntry) const;
    // The custom list's file copied to the path; false when it could not be.
    bool ExportChannelsTo(const CString& strPath);
    // Runs the import dialog on an exported list or an OPML file and adds the chosen channels that are not yet
    // subscribed to the custom list; returns how many were added.
    int ImportChannelFile(const CString& strPath, bool bOpml);
    // Hands the item to the worker to download its enclosure to the path: a drive's or a share's full path whose
    // folder exists and whose file name is clean. False when refused.
    bool QueueEnclosureDownload(CFeedItem* pItem, const CString& strPath);
    bool m_bSubscribing = false; // a subscribe flow of a handed-over address is open

    // Whether an entry may be deleted or changed now: no download holds it and no refresh runs.
    bool CanChangeEntry(const CFeedItem* pEntry) const;

    // The navigation pane's site.
    CFeedTaskPanel* GetNavigationPane() override { return &m_wndTaskPanel; }
    CXTPCommandBars* GetCommandBars() override { return CXTPFrameWnd::GetCommandBars(); }
    BOOL IsUpdating() override { return m_workerLink.m_bUpdating != 0; }
    BOOL IsNewCategory(const CString& strCaption) override;
    void Unsubscribe(CFeedItem* pEntry) override;
    void UpdateChannel(CFeedItem* pEntry) override;
    void ShowChannelProperties(CFeedItem* pEntry, int nPage) override;
    void ShowChannelView(CFeedItem* pEntry) override;
    BOOL AskCategoryName(const CString& strOldName, CString& strNewName) override;
    void RenameCategory(const CString& strOldName, const CString& strNewName) override;
    void DeleteCategory(const CString& strCaption) override;
    void UpdateCategory(const CString& strCaption) override;
    void RemoveResultPage(CFeedItem* pEntry) override;
    void SaveEnclosure(CFeedItem* pItem) override;
    BOOL HasNewsView() override { return m_pClassicView != nullptr; }
    CFeedItem* GetShownEntry() override;
    void ShowEntry(CFeedItem* pEntry, const CString& strCacheFile) override;
    // The classic view's site.
    void RedrawNavigation() override { RedrawPane(); }

    CTrayWnd m_trayIcon;
    CStringList m_handedOver; // feed addresses handed over, waiting for the subscribe flow

    CFeedChannel* m_pMainFeeds = nullptr;   // owned; null when there is none
    CFeedChannel* m_pCustomFeeds = nullptr; // owned; null when there is none
    CFeedWorkerLink m_workerLink;
    CWinThread* m_pWorkerThread = nullptr;
    bool m_bFullRefresh = false; // the running refresh takes everything
    bool m_bOffers = true;       // notices of the custom list get "Offers" items (cleared when a main list loads)
    int m_nNewItems = 0;         // new items of the running refresh
    bool m_bOnline = true;       // the network was up at the last tick of the refresh timer

    int m_nViewStyle = 0; // 0 classic (pane beside the news view), 1 modern (the pane alone)
    CFeedTaskPanel m_wndTaskPanel;
    CSplitterWnd m_wndSplitter;
    CFeedClassicView* m_pClassicView = nullptr; // the splitter's right pane in the classic style
    CExStatusBar m_wndStatusBar;
    CBusyProgressCtrl m_wndBusy;
    CImageList m_imageList;
    CXTPTaskPanelGroup* m_pMainCategory = nullptr;
    CPtrList m_categoryGroups;   // CXTPTaskPanelGroup*, in the order they were made
    CPtrList m_filterResults;    // quick-filter result pages (CFeedItem*, the quick filter's); the last one shows
    bool m_bShowWeather = false; // set by the options sheet
    std::unique_ptr<CFeedItem> m_pWeatherEntry; // the weather panel's entry, made when first shown

protected:
    // Pane and views: the navigation pane, classic view, status bar, alert and ticker work fills these. Until
    // then they do nothing and the frame runs without a pane.
    virtual void BuildTaskPanel();
    virtual void PlaceEntryInPane(CFeedItem* pEntry);
    virtual void RemoveEntryFromPane(CFeedItem* pEntry);
    virtual void RepositionPane();
    virtual void RedrawPane();
    virtual void ShowChannelAgainIfShown(CFeedItem* pEntry);
    virtual void ForgetChannelIfShown(CFeedItem* pEntry);
    virtual void ShowRefreshRunning();
    virtual void ShowRefreshEnded();
    virtual void ReloadTickerAfterRefresh(int /*nNewItems*/) {}
    virtual void BuildQuickFilterPage() {}
    virtual void SyncPodcastList() {}
    virtual CWnd* GetTickerWindow() const { return nullptr; }
    virtual CWnd* GetPodcastWindow() const { return nullptr; }

    // One refreshed entry brought up to date on this thread; then, with no entry, the end of the refresh.
    void ApplyRefreshedEntry(CFeedItem* pEntry);
    void EndRefresh();
    // The server's channel list merged into the main list (taken over and deleted).
    void MergeServerChannelList(CFeedChannel* pLoaded);
    // Entries of both lists that a full refresh takes, marked and reset for their download.
    void CollectFullRefresh(CPtrList& entries);
    void PrepareForDownload(CFeedItem* pEntry);
    void SendNewEnclosures(CFeedItem* pEntry);

    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    // The menu bar, the two toolbars and their images; false when a bar cannot be made.
    bool CreateCommandBars();
    bool CreateStatusBar();
    // The group an entry of this category goes to, made when missing.
    CXTPTaskPanelGroup* GroupForCategory(const CString& strCategory);
    // The entry's item in the group, by its kind; null for a kind the pane does not show.
    CXTPTaskPanelGroupItem* AddEntryItem(CXTPTaskPanelGroup* pGroup, CFeedItem* pEntry);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnUpdateNow();
    afx_msg void OnUpdateUpdateNow(CCmdUI* pCmdUI);
    afx_msg void OnStop();
    afx_msg void OnUpdateStop(CCmdUI* pCmdUI);
    afx_msg void OnMarkAllFeedsRead();
    afx_msg void OnAlwaysEnabled(CCmdUI* pCmdUI);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnInstanceProbe(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyData);
    afx_msg void OnSubscribeFeed();
    afx_msg void OnExportChannels();
    afx_msg void OnImportChannels();
    afx_msg void OnImportOpml();
    afx_msg LRESULT OnRunUpdater(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSubscribeHandedOver(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFeedUpdated(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFrameEvent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerCollect(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerChannelList(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerDropped(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerUpdateOffer(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerBuildFilter(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerBranding(WPARAM wParam, LPARAM lParam);

    // ---- Commands, tray, frame events, placement and shut-down (MainFrmCommands.cpp)
public:
    // Hides the frame to the notification area, or brings it back from there (the tray's "Open Reader").
    void OnOpenReader();
    void HideToTray();
    bool IsInTray() const { return m_bInTray; }
    // The new-items alert of a refresh that found nItems new items, from the engine's per-channel lines.
    virtual void ShowNewItemsAlert(int nNewItems);
    // Starts a search through the entry; an empty text does nothing.
    void RunSearch(CFeedItem* pEntry, const CString& strText);
    // One tick of the refresh timer, as the timer runs it.
    void RefreshTick();
    // The connection monitor: started when none runs; the thread ends by itself after reporting.
    bool StartConnectionMonitor() { return m_monitor.Start(m_hWnd); }
    // The themes: 0, 2, 3 toolkit themes, 11 the skin (drawn with theme 2 until the skin exists).
    void SetToolkitTheme(int nTheme);
    // The expanded state of every group of the pane, saved as "Groups", and applied back to a built pane.
    virtual void StoreGroupStates();
    void RestoreGroupStates();

    CXTPPopupWindow m_wndAlert;
    CString m_strQuickFilter; // "Filters"\"QuickFilter"
    CString m_strSearchText;  // the last search
    int m_nTheme = 2;         // 0, 2, 3 or 11
    int m_nColorTheme = 0;    // the skin's colour scheme
    bool m_bInTray = false;
    bool m_bViewerWasVisible = false;
    int m_bQuietActivation = 1;
    CConnectionMonitor m_monitor;
    CPtrList m_searchPages; // CFeedItem* of kind 5 in the pane, owned
    CPtrList m_filterPages; // CFeedItem* of kind 6 in the pane, owned

protected:
    // Bar layout and options under the profile name "CommandBars": saved first at shut-down and loaded at
    // creation.
    void SaveBarLayout();
    void LoadBarLayout();
    // The skin of the given colour scheme made current; false while the program has none.
    virtual bool ApplySkin(int /*nColorTheme*/) { return false; }
    // The channel viewer window, when there is one.
    virtual CWnd* GetChannelViewer() const { return nullptr; }
    // The companions' threads: started at creation, stopped at shut-down (ticker first, then the podcast
    // manager), each waited for while this thread keeps answering the messages they send it.
    virtual void StartCompanionThreads() {}
    virtual void StopCompanionThreads() {}
    // Rebuilds the ticker's list (a ticker window asked for it).
    virtual void ReloadTicker() {}
    // The pane's entries drawn again after a change of what they show.
    void RefreshPaneContents();
    void LoadPlacement();
    void SavePlacement();
    void SaveChannelLists();
    void DeleteResultPages();
    void OnConnectionEvent(bool bConnected);
    void OnEnclosureDone(CFeedItem* pItem);
    void InsertSearchPage(CFeedItem* pPage);
    bool OpenBrandingUrl(LPCWSTR url, LPCWSTR verb);

    afx_msg void OnClose();
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    afx_msg LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRequestClose(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnUsageEvent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPopupNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNewsLineClosed(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTrayOpenReader();
    afx_msg void OnUpdateTrayOpenReader(CCmdUI* pCmdUI);
    afx_msg void OnExitReader();
    afx_msg void OnAppExit();
    afx_msg void OnOnline();
    afx_msg void OnUpdateOnline(CCmdUI* pCmdUI);
    afx_msg void OnShowReadFeeds();
    afx_msg void OnUpdateShowReadFeeds(CCmdUI* pCmdUI);
    afx_msg void OnHelpOnline();
    afx_msg void OnBrowseFeeds();
    afx_msg void OnGettingStarted();
    afx_msg void OnUpdateBrandingLink(CCmdUI* pCmdUI);
    afx_msg void OnTheme(UINT nID);
    afx_msg void OnUpdateTheme(CCmdUI* pCmdUI);
    afx_msg void OnRefreshHotChannel();
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    afx_msg void OnUpdateRefreshHotChannel(CCmdUI* pCmdUI);
    afx_msg void OnChannelViewer();
    afx_msg void OnUpdateChannelViewer(CCmdUI* pCmdUI);
    afx_msg void OnPodcastManager();
    afx_msg void OnUpdatePodcastManager(CCmdUI* pCmdUI);

    bool m_bShutDown = false; // after the worker has been told to end, nothing more is posted to it

    DECLARE_MESSAGE_MAP()
};
