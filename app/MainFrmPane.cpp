// The main window's client: the navigation pane filled from the subscription lists, the classic news view, the
// status bar with its busy indicator, the command bars, and what the pane and the view ask of the frame.
#include "app/MainFrm.h"
#include "res/resource.h"

#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/ViewTemplates.h"
#include "framework/frame/FrameResource.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"
#include "views/FeedPopupBar.h"
#include "views/FeedTaskPanelPaintManager.h"
#include "views/FeedViewControl.h"
#include "views/SplitterHelperView.h"

namespace {

const UINT kCategoryGroupBase = 410;
const UINT kMainCategoryGroup = 401;
const wchar_t kBarProfileName[] = L"CommandBars";

} // namespace

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    m_nViewStyle = GetEngineContext().m_settings.nViewStyle == 1 ? 1 : 0;
    m_wndTaskPanel.SetSite(this);
    if (m_nViewStyle == 1) {
        if (!m_wndTaskPanel.Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), this,
                                   AFX_IDW_PANE_FIRST))
            return FALSE;
    } else {
        // The helper view hosts the pane; the news view beside it shows the channel chosen there.
        if (!m_wndSplitter.CreateStatic(this, 1, 2) ||
            !m_wndSplitter.CreateView(0, 0, RUNTIME_CLASS(CSplitterHelperView), CSize(300, 100), pContext) ||
            !m_wndSplitter.CreateView(0, 1, RUNTIME_CLASS(CFeedClassicView), CSize(100, 100), pContext)) {
            if (m_wndSplitter.GetSafeHwnd() != nullptr)
                m_wndSplitter.DestroyWindow();
            return FALSE;
        }
        m_pClassicView = DYNAMIC_DOWNCAST(CFeedClassicView, m_wndSplitter.GetPane(0, 1));
        if (m_pClassicView != nullptr) {
            m_pClassicView->SetSite(this);
            const CString folder = GetEngineContext().m_strDataFolder;
            if (!folder.IsEmpty()) {
                InstallViewTemplates();
                m_pClassicView->SetStyleSheet(folder + L"\\feeds.xsl");
            }
        }
    }
    m_wndTaskPanel.SetCustomTheme(new CFeedTaskPanelPaintManager);
    m_wndTaskPanel.SetHotTrackStyle(3);
    static const UINT kPaneImages[] = {1, 2, 3, 4, 5, 6};
    if (CXTPImageManager* pImages = m_wndTaskPanel.GetImageManager())
        pImages->SetIconsFromBitmap(IDB_PANE_IMAGE_MANAGER, kPaneImages, _countof(kPaneImages), 16, 16);
    return CXTPFrameWnd::OnCreateClient(lpcs, pContext);
}

bool CMainFrame::CreateStatusBar()
{
    static const UINT kIndicators[] = {0, ID_INDICATOR_PROGRESS};
    if (!m_wndStatusBar.Create(this) || !m_wndStatusBar.SetIndicators(kIndicators, _countof(kIndicators)))
        return false;
    m_wndStatusBar.SetPaneInfo(0, 0, SBPS_STRETCH, 120);
    m_wndStatusBar.SetPaneInfo(1, ID_INDICATOR_PROGRESS, SBPS_NOBORDERS, 150);
    if (m_wndBusy.Create(&m_wndStatusBar, CRect(0, 0, 150, 16), ID_INDICATOR_PROGRESS)) {
        m_wndBusy.SetMode(CBusyProgressCtrl::modeBusy);
        m_wndStatusBar.AddControl(&m_wndBusy, ID_INDICATOR_PROGRESS, FALSE);
        m_wndBusy.ShowWindow(SW_HIDE);
    }
    // The pane only hosts the busy indicator; its name is no text for the user.
    m_wndStatusBar.SetPaneText(1, L"");
    return true;
}

bool CMainFrame::CreateCommandBars()
{
    if (!InitCommandBars())
        return false;
    CXTPCommandBars* pCommandBars = CXTPFrameWnd::GetCommandBars();
    if (pCommandBars->SetMenu(L"Menu Bar", IDR_MAINFRAME) == nullptr)
        return false;
    CXTPToolBar* pMain = pCommandBars->Add(L"Main", xtpBarTop);
    if (pMain == nullptr || !pMain->LoadToolBar(IDR_MAINFRAME, FALSE))
        return false;
    CXTPToolBar* pCategories = pCommandBars->Add(L"Categories Selector", xtpBarTop);
    if (pCategories == nullptr || !pCategories->LoadToolBar(IDR_CATEGORIES_BAR, FALSE))
        return false;
    // Saved layouts find the bars again by these ids.
    pMain->SetBarID(IDR_MAINFRAME);
    pCategories->SetBarID(IDR_CATEGORIES_BAR);
    pMain->EnableDocking(0x61);
    pCategories->EnableDocking(0x61);
    // The category selector's combo box comes with the frame's commands; until then its bar stays hidden.
    pCommandBars->ToggleVisible(2);

    static const UINT kToolbarCommands[] = {ID_FEED_SUBSCRIBE, ID_MANAGE_FEEDS,        ID_FEEDS_UPDATE_NOW,
                                            ID_FEEDS_STOP,     ID_MARK_ALL_FEEDS_READ, ID_QUICK_FILTER};
    CXTPImageManager* pImages = pCommandBars->GetImageManager();
    pImages->SetIconsFromBitmap(IDB_TOOLBAR_NORMAL, kToolbarCommands, _countof(kToolbarCommands), 24, 24,
                                CXTPImageManager::xtpImageNormal);
    pImages->SetIconsFromBitmap(IDB_TOOLBAR_HOT, kToolbarCommands, _countof(kToolbarCommands), 24, 24,
                                CXTPImageManager::xtpImageHot);
    pImages->SetIconsFromBitmap(IDB_TOOLBAR_DISABLED, kToolbarCommands, _countof(kToolbarCommands), 24, 24,
                                CXTPImageManager::xtpImageDisabled);
    pImages->SetIconsFromBitmap(IDB_MENU_IMAGES, kToolbarCommands, _countof(kToolbarCommands), 16, 16,
                                CXTPImageManager::xtpImageNormal);
    static const UINT kHidden[] = {57607, 57609};
    pCommandBars->HideCommands(kHidden, _countof(kHidden));
    pCommandBars->RecalcFrameLayout();
    return true;
}

void CMainFrame::LoadBarLayout()
{
    CXTPCommandBars* pCommandBars = CXTPFrameWnd::GetCommandBars();
    // A large customised-bar archive goes to the data folder when the program's folder cannot be written.
    pCommandBars->SetControlsDataFolder(GetEngineContext().m_strDataFolder);
    pCommandBars->LoadOptions(kBarProfileName);
    pCommandBars->LoadBarState(kBarProfileName);
}

void CMainFrame::SaveBarLayout()
{
    CXTPCommandBars* pCommandBars = CXTPFrameWnd::GetCommandBars();
    if (pCommandBars == nullptr)
        return;
    pCommandBars->SaveOptions(kBarProfileName);
    pCommandBars->SaveBarState(kBarProfileName);
}

// ---- The pane

CXTPTaskPanelGroup* CMainFrame::GroupForCategory(const CString& strCategory)
{
    if (strCategory.IsEmpty()) {
        if (m_pMainCategory == nullptr) {
            m_pMainCategory = m_wndTaskPanel.AddGroup(kMainCategoryGroup);
            m_pMainCategory->SetCaption(LoadResourceString(IDS_MAIN_CATEGORY));
        }
        return m_pMainCategory;
    }
    for (POSITION pos = m_categoryGroups.GetHeadPosition(); pos;) {
        auto* pGroup = static_cast<CXTPTaskPanelGroup*>(m_categoryGroups.GetNext(pos));
        if (pGroup->GetCaption() == strCategory)
            return pGroup;
    }
    CXTPTaskPanelGroup* pGroup = m_wndTaskPanel.AddGroup(kCategoryGroupBase + m_categoryGroups.GetCount());
    pGroup->SetCaption(strCategory);
    m_categoryGroups.AddTail(pGroup);
    return pGroup;
}

BOOL CMainFrame::IsNewCategory(const CString& strCaption)
{
    for (POSITION pos = m_categoryGroups.GetHeadPosition(); pos;) {
        if (static_cast<CXTPTaskPanelGroup*>(m_categoryGroups.GetNext(pos))->GetCaption() == strCaption)
            return FALSE;
    }
    return TRUE;
}

namespace {

// The group of a string-table caption (offers, quick filter, weather), made at the end of the pane when missing.
CXTPTaskPanelGroup* FixedGroup(CFeedTaskPanel& pane, UINT nCaptionID)
{
    CXTPTaskPanelGroup* pGroup = pane.FindGroup(nCaptionID);
    if (pGroup == nullptr)
        pGroup = pane.AddGroup(nCaptionID);
    return pGroup;
}

} // namespace

CXTPTaskPanelGroupItem* CMainFrame::AddEntryItem(CXTPTaskPanelGroup* pGroup, CFeedItem* pEntry)
{
    CXTPTaskPanelGroupItem* pItem = nullptr;
    switch (pEntry->m_nKind) {
    case FEED_KIND_FEED:
        // The icon file is fetched with the feed: every placing takes the newest one.
        m_wndTaskPanel.LoadSitePicture(pEntry, pEntry->GetIconFileName());
        pItem = pGroup->AddLinkItem(reinterpret_cast<UINT_PTR>(pEntry), 0);
        break;
    case FEED_KIND_NOTICE:
        if (m_wndTaskPanel.GetSitePicture(pEntry) == nullptr && !pEntry->m_strFile.IsEmpty())
            m_wndTaskPanel.LoadSitePicture(pEntry, pEntry->GetIconFileName());
        if (pGroup == m_pMainCategory || pGroup->GetID() == IDS_OFFERS) {
            pItem = pGroup->AddLinkItem(reinterpret_cast<UINT_PTR>(pEntry), 0);
        } else {
            // In a category a notice leads the group's channels.
            pItem = new CFeedGroupItem;
            pItem->SetType(TaskPanelItemLink);
            pItem->SetID(reinterpret_cast<UINT_PTR>(pEntry));
            pGroup->GetItems()->InsertAt(0, pItem);
        }
        break;
    case FEED_KIND_SEARCH_IN:
    case FEED_KIND_SEARCH_OUT:
    case FEED_KIND_IFRAME:
    case FEED_KIND_WEATHER:
        // The search box and the web page come with windows of their own; until an entry has its window it
        // shows as a plain text row (caption and icon) that takes no click.
        if (pEntry->m_pAttachedWnd != nullptr && pEntry->m_pAttachedWnd->GetSafeHwnd() != nullptr) {
            pItem = pGroup->AddControlItem(pEntry->m_pAttachedWnd->GetSafeHwnd());
        } else {
            pItem = pGroup->AddTextItem(L"");
            pItem->SetID(reinterpret_cast<UINT_PTR>(pEntry));
        }
        break;
    case FEED_KIND_SEARCH_RESULT:
    case FEED_KIND_FILTER_RESULT:
        pItem = pGroup->AddLinkItem(reinterpret_cast<UINT_PTR>(pEntry), 0);
        break;
    default:
        return nullptr;
    }
    // A channel without an icon of its own shows the pane's feed image.
    if (pEntry->m_nKind == FEED_KIND_FEED && pEntry->m_nImageIndex < 0)
        pEntry->m_nImageIndex = 0;
    pItem->SetCaption(pEntry->m_strTitleText.IsEmpty() ? pEntry->m_strTitle : pEntry->m_strTitleText);
    if (!pEntry->m_strDescriptionText.IsEmpty())
        pItem->SetTooltip(pEntry->m_strDescriptionText);
    pItem->SetBold(TRUE);
    pEntry->m_pNavControl = pItem;
    return pItem;
}

void CMainFrame::PlaceEntryInPane(CFeedItem* pEntry)
{
    if (pEntry == nullptr || pEntry->m_pNavControl != nullptr || m_wndTaskPanel.GetSafeHwnd() == nullptr)
        return;
    switch (pEntry->m_nKind) {
    case FEED_KIND_FEED:
    case FEED_KIND_NOTICE:
    case FEED_KIND_SEARCH_IN:
    case FEED_KIND_SEARCH_OUT:
    case FEED_KIND_IFRAME:
    case FEED_KIND_WEATHER:
        AddEntryItem(GroupForCategory(pEntry->m_strCategory), pEntry);
        break;
    default:
        break; // result pages have places of their own
    }
}

void CMainFrame::RemoveEntryFromPane(CFeedItem* pEntry)
{
    if (pEntry == nullptr)
        return;
    ForgetChannelIfShown(pEntry);
    m_wndTaskPanel.ForgetRecord(pEntry);
    pEntry->m_pNavControl = nullptr;
}

void CMainFrame::BuildTaskPanel()
{
    if (m_wndTaskPanel.GetSafeHwnd() == nullptr)
        return;
    if (CFeedPopupBar* pBar = m_wndTaskPanel.GetPopupBar(); pBar != nullptr && pBar->GetSafeHwnd() != nullptr)
        pBar->DestroyWindow();
    m_wndTaskPanel.SetLockRedraw(TRUE);
    m_wndTaskPanel.RemoveAllGroups();
    // Every entry placed below loads its picture again; none is kept for an entry that is gone.
    m_wndTaskPanel.DropSitePictures();
    m_categoryGroups.RemoveAll();
    m_pMainCategory = nullptr;
    m_nNewItems = 0;

    if (m_bShowWeather) {
        if (!m_pWeatherEntry) {
            m_pWeatherEntry = std::make_unique<CFeedItem>();
            m_pWeatherEntry->m_nKind = FEED_KIND_WEATHER;
            m_pWeatherEntry->m_strLink = m_pWeatherEntry->m_strLinkText =
                GetEngineContext().m_strDataFolder + L"\\weather.htm";
            m_pWeatherEntry->m_strTitleText = LoadResourceString(IDS_WEATHER);
        }
        m_pWeatherEntry->m_pNavControl = nullptr;
        AddEntryItem(FixedGroup(m_wndTaskPanel, IDS_WEATHER), m_pWeatherEntry.get());
    }
    if (!m_filterResults.IsEmpty()) {
        auto* pResults = static_cast<CFeedItem*>(m_filterResults.GetTail());
        pResults->m_pNavControl = nullptr;
        AddEntryItem(FixedGroup(m_wndTaskPanel, IDS_QUICK_FILTER_GROUP), pResults);
    }
    ForEachEntry(m_pMainFeeds, m_pCustomFeeds, [this](CFeedChannel* pList, CFeedItem* pEntry) {
        pEntry->m_pNavControl = nullptr;
        m_nNewItems += pEntry->CountNews();
        if (pList == m_pCustomFeeds && pEntry->m_nKind == FEED_KIND_NOTICE) {
            // The maker's notices of the custom list show only while its offers do.
            if (m_bOffers)
                AddEntryItem(FixedGroup(m_wndTaskPanel, IDS_OFFERS), pEntry);
        } else if (pList == m_pCustomFeeds && pEntry->m_nKind != FEED_KIND_FEED &&
                   pEntry->m_nKind != FEED_KIND_IFRAME) {
            return;
        } else {
            PlaceEntryInPane(pEntry);
        }
    });
    m_wndTaskPanel.SetLockRedraw(FALSE);
    m_wndTaskPanel.Reposition(FALSE);
}

void CMainFrame::RepositionPane()
{
    if (m_wndTaskPanel.GetSafeHwnd() != nullptr)
        m_wndTaskPanel.Reposition(FALSE);
}

// ---- The classic view

CFeedItem* CMainFrame::GetShownEntry()
{
    return m_pClassicView != nullptr ? m_pClassicView->m_pShownEntry : nullptr;
}

void CMainFrame::ShowEntry(CFeedItem* pEntry, const CString& strCacheFile)
{
    if (m_pClassicView == nullptr)
        return;
    m_pClassicView->m_pShownEntry = pEntry;
    m_pClassicView->ShowFeed(strCacheFile);
}

void CMainFrame::ShowChannelAgainIfShown(CFeedItem* pEntry)
{
    if (pEntry != nullptr && GetShownEntry() == pEntry)
        ShowEntry(pEntry, pEntry->GetCacheFileName());
}

void CMainFrame::ForgetChannelIfShown(CFeedItem* pEntry)
{
    if (pEntry != nullptr && GetShownEntry() == pEntry)
        ShowEntry(nullptr, CString());
}

// ---- Status

void CMainFrame::ShowRefreshRunning()
{
    if (m_wndStatusBar.GetSafeHwnd() == nullptr)
        return;
    m_wndStatusBar.SetPaneText(0, LoadResourceString(IDS_UPDATING));
    m_wndBusy.ShowWindow(SW_SHOW);
    m_wndBusy.Start();
}

void CMainFrame::ShowRefreshEnded()
{
    if (m_wndStatusBar.GetSafeHwnd() == nullptr)
        return;
    m_wndBusy.Stop();
    m_wndBusy.ShowWindow(SW_HIDE);
    m_wndStatusBar.SetPaneText(0, LoadResourceString(AFX_IDS_IDLEMESSAGE));
}

// ---- What the pane asks for

void CMainFrame::UpdateChannel(CFeedItem* pEntry)
{
    if (pEntry != nullptr && pEntry->m_nKind == FEED_KIND_FEED) {
        m_bFullRefresh = false;
        RequestRefresh(pEntry);
    }
}

void CMainFrame::UpdateCategory(const CString& strCaption)
{
    CPtrList entries;
    ForEachEntry(m_pMainFeeds, m_pCustomFeeds, [&](CFeedChannel*, CFeedItem* pEntry) {
        if (pEntry->m_nKind == FEED_KIND_FEED && pEntry->m_strCategory == strCaption)
            entries.AddTail(pEntry);
    });
    m_bFullRefresh = false;
    RequestRefresh(entries);
}

// Unsubscribing, the channel viewer and deleting categories come with the work on them; until then the pane's
// commands for them find nothing to do.
void CMainFrame::Unsubscribe(CFeedItem*) {}
void CMainFrame::ShowChannelView(CFeedItem*) {}
BOOL CMainFrame::AskCategoryName(const CString&, CString&)
{
    return FALSE;
}
void CMainFrame::DeleteCategory(const CString&) {}
void CMainFrame::RemoveResultPage(CFeedItem*) {}
