// The main window: the frame with the branding's caption and the notification-area icon, the subscription lists,
// the feed worker and the results of its refreshes, the answer to a second start's probe and the feed address a
// second start hands over. Menus, bars, the navigation pane and the views come with the work on them; where the
// frame must reach them it calls one of the members under "Pane and views" below, which that work fills.
#pragma once

#include "app/FeedWorker.h"
#include "framework/core/Collections.h"
#include "framework/frame/SplitterWnd.h"
#include "framework/win/ImageList.h"
#include "toolkit/commandbars/XTPFrameWnd.h"
#include "toolkit/controls/XTTrayIcon.h"
#include "views/BusyProgressCtrl.h"
#include "views/ExStatusBar.h"
#include "views/FeedClassicView.h"
#include "views/FeedPaneSite.h"
#include "views/FeedTaskPanel.h"

class CFeedChannel;
class CFeedItem;
class CXTPTaskPanelGroup;

// The registered message by which a second start finds the running copy: the frame answers with its id.
extern const UINT WM_INSTANCE_PROBE;

// Posted to the frame when an address is handed over (a second start, the command line): the subscribe flow runs
// outside the sender's wait.
const UINT WM_SUBSCRIBE_HANDED_OVER = WM_APP + 120;

// An enclosure's file name as offered for saving: path separators, reserved characters and device names made
// harmless, so that the name stays one file inside the folder the user picks.
CString CleanEnclosureFileName(const CString& name);

// The frame's one-minute refresh timer.
const UINT_PTR kRefreshTimerId = 16;

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

    CXTTrayIcon m_trayIcon;
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
    CPtrList m_categoryGroups; // CXTPTaskPanelGroup*, in the order they were made

protected:
    // Pane and views: the navigation pane, classic view, status bar, alert and ticker work fills these. Until
    // then they do nothing and the frame runs without a pane.
    virtual void BuildTaskPanel();
    virtual void PlaceEntryInPane(CFeedItem* pEntry);
    virtual void RemoveEntryFromPane(CFeedItem* pEntry);
    virtual void RepositionPane();
    virtual void RedrawPane();
    virtual void StoreGroupStates() {}
    virtual void ShowChannelAgainIfShown(CFeedItem* pEntry);
    virtual void ForgetChannelIfShown(CFeedItem* pEntry);
    virtual void ShowRefreshRunning();
    virtual void ShowRefreshEnded();
    virtual void ShowNewItemsAlert(int /*nNewItems*/) {}
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
    DECLARE_MESSAGE_MAP()
};
