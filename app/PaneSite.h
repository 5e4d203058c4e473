// The main window's client and what the pane and the view ask of it: the navigation pane filled from the
// subscription lists with its group states, the classic news view beside it, the status bar with its busy
// indicator, and the pane's own commands.
#pragma once

#include "framework/core/Collections.h"
#include "framework/frame/SplitterWnd.h"
#include "views/BusyProgressCtrl.h"
#include "views/ExStatusBar.h"
#include "views/FeedClassicView.h"
#include "views/FeedPaneSite.h"
#include "views/FeedTaskPanel.h"

#include <memory>

class CCmdUI;
class CCreateContext;
class CMainFrame;
class CXTPTaskPanelGroup;
class CXTPTaskPanelGroupItem;

class CPaneSite : public CFeedPaneSite, public CFeedViewSite
{
public:
    explicit CPaneSite(CMainFrame& frame);
    ~CPaneSite() override;
    CPaneSite(const CPaneSite&) = delete;
    CPaneSite& operator=(const CPaneSite&) = delete;

    // The client for the settings' view style: 1 the pane alone, 0 the pane beside the news view in a splitter.
    // False when a window cannot be made.
    bool CreateClient(CCreateContext* pContext);
    bool CreateStatusBar();
    int GetViewStyle() const { return m_nViewStyle; }
    CExStatusBar& GetStatusBar() { return m_wndStatusBar; }

    // The pane built again from the lists (counting the lists' new items for the refresh), an entry placed in it
    // or taken out of it, laid out again and drawn.
    virtual void BuildTaskPanel();
    virtual void PlaceEntryInPane(CFeedItem* pEntry);
    virtual void RemoveEntryFromPane(CFeedItem* pEntry);
    void RepositionPane();
    void RedrawPane();
    // Both, after a change of what the entries show.
    void RefreshPaneContents();
    // The pane's groups go first at shut-down: their items point at the entries and pages.
    void RemoveAllGroups();
    // The maker's notices of the custom list under "Offers", and the weather panel (set by the options sheet).
    void ShowOffers(bool bShow) { m_bOffers = bShow; }
    void ShowWeather(bool bShow) { m_bShowWeather = bShow; }
    // The weather panel's entry, made when first shown.
    CFeedItem* GetWeatherEntry() const { return m_pWeatherEntry.get(); }
    // The category groups (CXTPTaskPanelGroup*), in the order they were made.
    CPtrList* GetCategoryGroups() { return &m_categoryGroups; }
    // The expanded state of every group of the pane, saved as "Groups", and applied back to a built pane.
    void StoreGroupStates();
    void RestoreGroupStates();

    // The news view shows a changed channel again, or forgets a channel that goes.
    void ShowChannelAgainIfShown(CFeedItem* pEntry);
    void ForgetChannelIfShown(CFeedItem* pEntry);

    // The status bar while a refresh runs, and at its end.
    void ShowRefreshRunning();
    virtual void ShowRefreshEnded();

    // The pane's commands: channels with nothing unread shown or hidden, the channel under the mouse refreshed.
    void ToggleReadFeeds();
    void UpdateReadFeeds(CCmdUI* pCmdUI) const;
    void RefreshHotChannel();
    void UpdateRefreshHotChannel(CCmdUI* pCmdUI);
    // The keyboard focus to the other pane: from the news page to the channel list and back (the modern style
    // has the list alone).
    void FocusOtherPane();

    // What the navigation pane asks.
    CFeedTaskPanel* GetNavigationPane() override { return &m_wndTaskPanel; }
    CXTPCommandBars* GetCommandBars() override;
    BOOL IsUpdating() override;
    BOOL IsNewCategory(const CString& strCaption) override;
    BOOL IsCommandBuilt(UINT nID) override;
    void Unsubscribe(CFeedItem* pEntry) override;
    void UpdateChannel(CFeedItem* pEntry) override;
    void ShowChannelProperties(CFeedItem* pEntry, int nPage) override;
    void ShowChannelView(CFeedItem* pEntry) override;
    BOOL AskCategoryName(const CString& strOldName, CString& strNewName) override;
    void RenameCategory(const CString& strOldName, const CString& strNewName) override;
    void DeleteCategory(const CString& strCaption) override;
    void UpdateCategory(const CString& strCaption) override;
    void RemoveResultPage(CFeedItem* pEntry) override;
    void RunSearch(CFeedItem* pEntry, const CString& strText) override;
    void SaveEnclosure(CFeedItem* pItem) override;
    BOOL HasNewsView() override { return m_pClassicView != nullptr; }
    CFeedClassicView* GetClassicView() const { return m_pClassicView; }
    CFeedItem* GetShownEntry() override;
    void ShowEntry(CFeedItem* pEntry, const CString& strCacheFile) override;
    // What the classic view asks.
    void RedrawNavigation() override { RedrawPane(); }

private:
    bool CreateSplitter(CCreateContext* pContext);
    // The group an entry of this category goes to, made when missing.
    CXTPTaskPanelGroup* GroupForCategory(const CString& strCategory);
    // The entry's item in the group, by its kind; null for a kind the pane does not show.
    CXTPTaskPanelGroupItem* AddEntryItem(CXTPTaskPanelGroup* pGroup, CFeedItem* pEntry);
    void AddFixedEntries();
    CFeedItem* HotChannel();

    CMainFrame& m_frame;
    int m_nViewStyle = 0; // 0 classic (pane beside the news view), 1 modern (the pane alone)
    CFeedTaskPanel m_wndTaskPanel;
    CSplitterWnd m_wndSplitter;
    CFeedClassicView* m_pClassicView = nullptr; // the splitter's right pane in the classic style
    CExStatusBar m_wndStatusBar;
    CBusyProgressCtrl m_wndBusy;
    CXTPTaskPanelGroup* m_pMainCategory = nullptr;
    CPtrList m_categoryGroups; // CXTPTaskPanelGroup*, in the order they were made
    bool m_bOffers = true;     // notices of the custom list get "Offers" items
    bool m_bShowWeather = false;
    UINT m_nNextSearchBoxId = 0x4000; // child ids of the search boxes the pane hosts
    std::unique_ptr<CFeedItem> m_pWeatherEntry;
};
