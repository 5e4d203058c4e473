// The main window: the frame with the branding's caption. It owns the window and its features, each a member of
// its own, and routes its commands and messages to them; the features reach each other through the frame.
#pragma once

#include "app/BarCustomizing.h"
#include "app/CategorySelector.h"
#include "app/CompanionWindows.h"
#include "app/FeedCommands.h"
#include "app/FeedRefresher.h"
#include "app/FrameLooks.h"
#include "app/OptionsSheet.h"
#include "app/PaneSite.h"
#include "app/QuickFilter.h"
#include "app/ResultPages.h"
#include "app/SubscriptionLists.h"
#include "app/TrayAndAlert.h"
#include "framework/win/ImageList.h"
#include "toolkit/commandbars/XTPFrameWnd.h"

#include <memory>

// The registered message by which a second start finds the running copy: the frame answers with its id.
extern const UINT WM_INSTANCE_PROBE;

class CMainFrame : public CXTPFrameWnd
{
public:
    // Makes the frame's pane site; tests hand in one that records what the frame asks of its pane.
    using PaneSiteFactory = std::unique_ptr<CPaneSite> (*)(CMainFrame& frame);

    explicit CMainFrame(PaneSiteFactory makePaneSite = nullptr);
    ~CMainFrame() override;

    // The features.
    CSubscriptionLists& Lists() { return m_lists; }
    CFeedRefresher& Refresher() { return m_refresher; }
    CPaneSite& PaneSite() { return *m_pPaneSite; }
    CFeedCommands& FeedCommands() { return m_feedCommands; }
    CResultPages& ResultPages() { return m_resultPages; }
    CQuickFilter& QuickFilter() { return m_quickFilter; }
    CTrayAndAlert& TrayAndAlert() { return m_trayAndAlert; }
    CCompanionWindows& Companions() { return m_companions; }
    CFrameLooks& Looks() { return m_looks; }
    COptionsSheet& Options() { return m_options; }
    CBarCustomizing& Customizing() { return m_customizing; }
    CCategorySelector& CategorySelector() { return m_categorySelector; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Shows the window with every bar's commands already enabled or disabled: the idle pass that sets them comes
    // only after the first paint, which showed every button enabled.
    void ShowWithCommandStates();
    void GetMessageString(UINT nID, CString& rMessage) const override;
    // The skinned frame's non-client messages go to the looks before the message map.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;

    // The window's life.
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    afx_msg LRESULT OnRequestClose(WPARAM wParam, LPARAM lParam);
    afx_msg void OnExitReader();
    afx_msg void OnAppExit();
    afx_msg void OnAlwaysEnabled(CCmdUI* pCmdUI);
    afx_msg LRESULT OnFrameEvent(WPARAM wParam, LPARAM lParam);
    // A second start.
    afx_msg LRESULT OnInstanceProbe(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyData);
    // Refresh and worker.
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg LRESULT OnCachesRead(WPARAM wParam, LPARAM lParam);
    afx_msg void OnUpdateNow();
    afx_msg void OnUpdateUpdateNow(CCmdUI* pCmdUI);
    afx_msg void OnStop();
    afx_msg void OnUpdateStop(CCmdUI* pCmdUI);
    afx_msg void OnOnline();
    afx_msg void OnUpdateOnline(CCmdUI* pCmdUI);
    afx_msg LRESULT OnFeedUpdated(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerCollect(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerChannelList(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerDropped(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerBranding(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerBuildFilter(WPARAM wParam, LPARAM lParam);
    // The quick filter.
    afx_msg void OnQuickFilter();
    afx_msg LRESULT OnControlExecute(WPARAM wParam, LPARAM lParam);
    // Tray and alert.
    afx_msg LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTrayOpenReader();
    afx_msg void OnUpdateTrayOpenReader(CCmdUI* pCmdUI);
    afx_msg LRESULT OnPopupNotify(WPARAM wParam, LPARAM lParam);
    // Companion windows.
    afx_msg void OnChannelViewer();
    afx_msg void OnUpdateChannelViewer(CCmdUI* pCmdUI);
    afx_msg void OnPodcastManager();
    afx_msg void OnUpdatePodcastManager(CCmdUI* pCmdUI);
    afx_msg LRESULT OnNewsLineClosed(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNewsLineItemOpened(WPARAM wParam, LPARAM lParam);
    afx_msg void OnNewsTicker();
    afx_msg void OnUpdateNewsTicker(CCmdUI* pCmdUI);
    // The toolbars' own controls.
    afx_msg LRESULT OnCreateControl(WPARAM wParam, LPARAM lParam);
    afx_msg void OnCategorySelected(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnUpdateShowCategories(CCmdUI* pCmdUI);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    // Looks.
    afx_msg void OnSwitchPane(UINT nID);
    afx_msg void OnTheme(UINT nID);
    afx_msg void OnUpdateTheme(CCmdUI* pCmdUI);
    // Feed and category commands.
    afx_msg void OnSubscribeFeed();
    afx_msg LRESULT OnSubscribeHandedOver(WPARAM wParam, LPARAM lParam);
    afx_msg void OnExportChannels();
    afx_msg void OnImportChannels();
    afx_msg void OnImportOpml();
    afx_msg void OnMarkAllFeedsRead();
    afx_msg void OnHelpOnline();
    afx_msg void OnBrowseFeeds();
    afx_msg void OnGettingStarted();
    afx_msg void OnUpdateBrandingLink(CCmdUI* pCmdUI);
    afx_msg LRESULT OnUsageEvent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkerUpdateOffer(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRunUpdater(WPARAM wParam, LPARAM lParam);
    // The pane's commands.
    afx_msg void OnShowReadFeeds();
    afx_msg void OnUpdateShowReadFeeds(CCmdUI* pCmdUI);
    afx_msg void OnRefreshHotChannel();
    afx_msg void OnUpdateRefreshHotChannel(CCmdUI* pCmdUI);
    // Settings and channel management.
    afx_msg void OnOptions();
    afx_msg LRESULT OnPodcastFeedChoice(WPARAM wParam, LPARAM lParam);
    afx_msg void OnUpdateOptions(CCmdUI* pCmdUI);
    afx_msg void OnUnsubscribe();
    afx_msg void OnUpdateUnsubscribe(CCmdUI* pCmdUI);
    afx_msg void OnDeleteCategory();
    afx_msg void OnUpdateCategory();
    afx_msg void OnUpdateCategoryCommand(CCmdUI* pCmdUI);
    afx_msg void OnRenameCategory();
    afx_msg void OnUpdateRenameCategory(CCmdUI* pCmdUI);
    afx_msg void OnViewInSeparateWindow();
    afx_msg void OnUpdateViewInSeparateWindow(CCmdUI* pCmdUI);
    afx_msg void OnDeleteResults();
    afx_msg void OnUpdateDeleteResults(CCmdUI* pCmdUI);
    // Customising the bars.
    afx_msg void OnCustomize();
    afx_msg void OnUpdateCustomize(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

private:
    CSubscriptionLists m_lists;
    CFeedRefresher m_refresher;
    std::unique_ptr<CPaneSite> m_pPaneSite;
    CFeedCommands m_feedCommands;
    CResultPages m_resultPages;
    CQuickFilter m_quickFilter;
    CTrayAndAlert m_trayAndAlert;
    CCompanionWindows m_companions;
    CFrameLooks m_looks;
    COptionsSheet m_options;
    CBarCustomizing m_customizing;
    CCategorySelector m_categorySelector;
    CImageList m_imageList; // the frame's own small images
};
