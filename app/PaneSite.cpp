#include "app/PaneSite.h"
#include "views/AdBlockWnd.h"
#include "res/resource.h"

#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "companions/RenameCategoryDlg.h"
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
#include "toolkit/taskpanel/XTPTaskPanelItems.h"
#include "views/FeedPopupBar.h"
#include "views/FeedTaskPanelPaintManager.h"
#include "views/FeedViewControl.h"
#include "views/SearchItemWnd.h"
#include "views/SplitterHelperView.h"

namespace {

const UINT kCategoryGroupBase = 410;
const UINT kMainCategoryGroup = 401;

const int kGroupCaptionRoom = 50; // UTF-16 units of a group record's caption, its terminating zero included
const int kGroupCaptionChars = 48;
struct GroupRecord
{
    WCHAR caption[kGroupCaptionRoom];
    DWORD expanded;
};
static_assert(sizeof(GroupRecord) == 104, "a group record is 104 bytes");

// The group of a string-table caption (offers, quick filter, weather), made at the end of the pane when missing.
CXTPTaskPanelGroup* FixedGroup(CFeedTaskPanel& pane, UINT nCaptionID)
{
    CXTPTaskPanelGroup* pGroup = pane.FindGroup(nCaptionID);
    if (pGroup == nullptr)
        pGroup = pane.AddGroup(nCaptionID);
    return pGroup;
}

} // namespace

CPaneSite::CPaneSite(CMainFrame& frame) : m_frame(frame) {}

CPaneSite::~CPaneSite() = default;

// ---- The client

bool CPaneSite::CreateClient(CCreateContext* pContext)
{
    m_nViewStyle = GetEngineContext().m_settings.nViewStyle == 1 ? 1 : 0;
    m_wndTaskPanel.SetSite(this);
    if (m_nViewStyle == 1) {
        if (!m_wndTaskPanel.Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CRect(0, 0, 0, 0),
                                   &m_frame, AFX_IDW_PANE_FIRST))
            return false;
    } else if (!CreateSplitter(pContext)) {
        return false;
    }
    m_wndTaskPanel.SetCustomTheme(new CFeedTaskPanelPaintManager);
    m_wndTaskPanel.SetHotTrackStyle(3);
    static const UINT kPaneImages[] = {1, 2, 3, 4, 5, 6};
    if (CXTPImageManager* pImages = m_wndTaskPanel.GetImageManager())
        pImages->SetIconsFromBitmap(IDB_PANE_IMAGE_MANAGER, kPaneImages, _countof(kPaneImages), 16, 16);
    return true;
}

// The helper view hosts the pane; the news view beside it shows the channel chosen there.
bool CPaneSite::CreateSplitter(CCreateContext* pContext)
{
    if (!m_wndSplitter.CreateStatic(&m_frame, 1, 2) ||
        !m_wndSplitter.CreateView(0, 0, RUNTIME_CLASS(CSplitterHelperView), CSize(300, 100), pContext) ||
        !m_wndSplitter.CreateView(0, 1, RUNTIME_CLASS(CFeedClassicView), CSize(100, 100), pContext)) {
        if (m_wndSplitter.GetSafeHwnd() != nullptr)
            m_wndSplitter.DestroyWindow();
        return false;
    }
    if (auto* pHelper = DYNAMIC_DOWNCAST(CSplitterHelperView, m_wndSplitter.GetPane(0, 0)))
        pHelper->SetFrameSite(this);
    m_pClassicView = DYNAMIC_DOWNCAST(CFeedClassicView, m_wndSplitter.GetPane(0, 1));
    if (m_pClassicView != nullptr) {
        m_pClassicView->SetSite(this);
        const CString folder = GetEngineContext().m_strDataFolder;
        if (!folder.IsEmpty()) {
            InstallViewTemplates();
            m_pClassicView->SetStyleSheet(folder + L"\\feeds.xsl");
        }
    }
    return true;
}

bool CPaneSite::CreateStatusBar()
{
    static const UINT kIndicators[] = {0, ID_INDICATOR_PROGRESS};
    if (!m_wndStatusBar.Create(&m_frame) || !m_wndStatusBar.SetIndicators(kIndicators, _countof(kIndicators)))
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

// ---- The pane

CXTPTaskPanelGroup* CPaneSite::GroupForCategory(const CString& strCategory)
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

// The captions the frame gives its own groups are no categories of the user's: they cannot be renamed.
BOOL CPaneSite::IsNewCategory(const CString& strCaption)
{
    for (UINT nCaptionID : {IDS_OFFERS, IDS_MAIN_CATEGORY, IDS_QUICK_FILTER_GROUP, IDS_WEATHER}) {
        if (LoadResourceString(nCaptionID) == strCaption)
            return FALSE;
    }
    return TRUE;
}

BOOL CPaneSite::IsCommandBuilt(UINT nID)
{
    // The frame's own handlers only: routing would come back to the pane.
    AFX_CMDHANDLERINFO info{};
    return m_frame.CCmdTarget::OnCmdMsg(nID, CN_COMMAND, nullptr, &info);
}

CXTPTaskPanelGroupItem* CPaneSite::AddEntryItem(CXTPTaskPanelGroup* pGroup, CFeedItem* pEntry)
{
    CXTPTaskPanelGroupItem* pItem = nullptr;
    switch (pEntry->m_nKind) {
    case FEED_KIND_FEED:
        // The icon file is fetched with the feed: every placing takes the newest one.
        m_wndTaskPanel.PlaceSitePicture(pEntry, pEntry->GetIconFileName());
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
        if ((pEntry->m_nKind == FEED_KIND_SEARCH_IN || pEntry->m_nKind == FEED_KIND_SEARCH_OUT) &&
            pEntry->m_pAttachedWnd == nullptr && m_wndTaskPanel.GetSafeHwnd() != nullptr)
            CSearchItemWnd::CreateFor(pEntry, this, &m_wndTaskPanel, m_nNextSearchBoxId++);
        if (pEntry->m_nKind == FEED_KIND_IFRAME || pEntry->m_nKind == FEED_KIND_WEATHER)
            CAdBlockWnd::AttachTo(pEntry, &m_wndTaskPanel);
        // The search box and the web page come with windows of their own; until an entry has its window it
        // shows as a plain text row (caption and icon) that takes no click.
        if (pEntry->m_pAttachedWnd != nullptr && pEntry->m_pAttachedWnd->GetSafeHwnd() != nullptr) {
            pItem = pGroup->AddControlItem(pEntry->m_pAttachedWnd->GetSafeHwnd());
            pItem->SetID(reinterpret_cast<UINT_PTR>(pEntry));
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

void CPaneSite::PlaceEntryInPane(CFeedItem* pEntry)
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

void CPaneSite::RemoveEntryFromPane(CFeedItem* pEntry)
{
    if (pEntry == nullptr)
        return;
    ForgetChannelIfShown(pEntry);
    m_wndTaskPanel.ForgetRecord(pEntry);
    pEntry->m_pNavControl = nullptr;
}

// The weather panel and the quick filter's newest page, in groups of their own at the top.
void CPaneSite::AddFixedEntries()
{
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
    if (CFeedItem* pResults = m_frame.QuickFilter().GetShownResults()) {
        pResults->m_pNavControl = nullptr;
        AddEntryItem(FixedGroup(m_wndTaskPanel, IDS_QUICK_FILTER_GROUP), pResults);
    }
}

void CPaneSite::BuildTaskPanel()
{
    if (m_wndTaskPanel.GetSafeHwnd() == nullptr)
        return;
    if (CFeedPopupBar* pBar = m_wndTaskPanel.GetPopupBar(); pBar != nullptr && pBar->GetSafeHwnd() != nullptr)
        pBar->DestroyWindow();
    // A rebuild (after a full refresh, an import, a deletion) gives the groups back their expanded states; the
    // first build leaves that to its caller, which restores the saved ones.
    const bool rebuild = m_wndTaskPanel.GetGroupCount() > 0;
    if (rebuild)
        StoreGroupStates();
    m_wndTaskPanel.SetLockRedraw(TRUE);
    m_wndTaskPanel.RemoveAllGroups();
    // Every entry placed below loads its picture again; none is kept for an entry that is gone.
    m_wndTaskPanel.DropSitePictures();
    m_categoryGroups.RemoveAll();
    m_pMainCategory = nullptr;

    AddFixedEntries();
    CFeedChannel* customFeeds = m_frame.Lists().Custom();
    int nNewItems = 0;
    ForEachEntry(m_frame.Lists().Main(), customFeeds, [&](CFeedChannel* pList, CFeedItem* pEntry) {
        pEntry->m_pNavControl = nullptr;
        nNewItems += pEntry->CountNews();
        if (pList == customFeeds && pEntry->m_nKind == FEED_KIND_NOTICE) {
            // The maker's notices of the custom list show only while its offers do.
            if (m_bOffers)
                AddEntryItem(FixedGroup(m_wndTaskPanel, IDS_OFFERS), pEntry);
        } else if (pList == customFeeds && pEntry->m_nKind != FEED_KIND_FEED && pEntry->m_nKind != FEED_KIND_IFRAME) {
            return;
        } else {
            PlaceEntryInPane(pEntry);
        }
    });
    m_frame.Refresher().SetNewItemCount(nNewItems);
    if (rebuild)
        RestoreGroupStates();
    m_wndTaskPanel.SetLockRedraw(FALSE);
    m_wndTaskPanel.Reposition(FALSE);
}

void CPaneSite::RepositionPane()
{
    if (m_wndTaskPanel.GetSafeHwnd() != nullptr)
        m_wndTaskPanel.Reposition(FALSE);
}

void CPaneSite::RedrawPane()
{
    // The pane alone, painted when the thread is next idle: redrawing the whole frame with every bar at once for
    // each refreshed feed held the window for a fifth of a second each time and made the bars flash.
    if (m_wndTaskPanel.GetSafeHwnd())
        ::RedrawWindow(m_wndTaskPanel.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CPaneSite::RefreshPaneContents()
{
    RepositionPane();
    RedrawPane();
}

void CPaneSite::RemoveAllGroups()
{
    if (m_wndTaskPanel.GetSafeHwnd() != nullptr)
        m_wndTaskPanel.RemoveAllGroups();
}

// ---- Group states

void CPaneSite::StoreGroupStates()
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

void CPaneSite::RestoreGroupStates()
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

// ---- The classic view

CFeedItem* CPaneSite::GetShownEntry()
{
    return m_pClassicView != nullptr ? m_pClassicView->m_pShownEntry : nullptr;
}

void CPaneSite::ShowEntry(CFeedItem* pEntry, const CString& strCacheFile)
{
    if (m_pClassicView == nullptr)
        return;
    m_pClassicView->m_pShownEntry = pEntry;
    m_pClassicView->ShowFeed(strCacheFile);
}

void CPaneSite::ShowChannelAgainIfShown(CFeedItem* pEntry)
{
    if (pEntry != nullptr && GetShownEntry() == pEntry)
        ShowEntry(pEntry, pEntry->GetCacheFileName());
}

void CPaneSite::ForgetChannelIfShown(CFeedItem* pEntry)
{
    if (pEntry != nullptr && GetShownEntry() == pEntry)
        ShowEntry(nullptr, CString());
}

// ---- Status

void CPaneSite::ShowRefreshRunning()
{
    m_bRefreshShown = true;
    if (m_wndStatusBar.GetSafeHwnd() == nullptr)
        return;
    m_wndStatusBar.SetPaneText(0, LoadResourceString(IDS_UPDATING));
    m_wndBusy.ShowWindow(SW_SHOW);
    m_wndBusy.Start();
}

void CPaneSite::ShowRefreshEnded()
{
    m_bRefreshShown = false;
    if (m_wndStatusBar.GetSafeHwnd() == nullptr)
        return;
    m_wndBusy.Stop();
    m_wndBusy.ShowWindow(SW_HIDE);
    m_wndStatusBar.SetPaneText(0, LoadResourceString(AFX_IDS_IDLEMESSAGE));
}

bool CPaneSite::IdlePrompt(UINT nID, CString& rMessage) const
{
    if (nID != AFX_IDS_IDLEMESSAGE || !m_bRefreshShown)
        return false;
    rMessage = LoadResourceString(IDS_UPDATING);
    return true;
}

// ---- The pane's commands

void CPaneSite::ToggleReadFeeds()
{
    CReaderSettings& settings = GetEngineContext().m_settings;
    settings.nHideReadChannels = settings.nHideReadChannels ? 0 : 1;
    theApp.WriteProfileInt(L"", L"HideReadChannels", settings.nHideReadChannels);
    RefreshPaneContents();
}

void CPaneSite::UpdateReadFeeds(CCmdUI* pCmdUI) const
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(GetEngineContext().m_settings.nHideReadChannels ? 0 : 1);
}

CFeedItem* CPaneSite::HotChannel()
{
    CFeedItem* entry = m_wndTaskPanel.GetSafeHwnd() ? CFeedTaskPanel::GetRecord(m_wndTaskPanel.GetHotItem()) : nullptr;
    return entry && entry->m_nKind == FEED_KIND_FEED ? entry : nullptr;
}

void CPaneSite::RefreshHotChannel()
{
    if (IsUpdating())
        return;
    if (CFeedItem* entry = HotChannel())
        m_frame.Refresher().RefreshEntry(entry);
}

void CPaneSite::UpdateRefreshHotChannel(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!IsUpdating() && HotChannel() != nullptr);
}

// ---- What the pane asks for

CXTPCommandBars* CPaneSite::GetCommandBars()
{
    return m_frame.GetCommandBars();
}

void CPaneSite::FocusOtherPane()
{
    HWND hList = m_wndTaskPanel.GetSafeHwnd();
    HWND hPage = m_pClassicView != nullptr ? m_pClassicView->GetSafeHwnd() : nullptr;
    if (hList == nullptr)
        return;
    HWND hFocus = ::GetFocus();
    const bool bInPage = hPage != nullptr && (hFocus == hPage || ::IsChild(hPage, hFocus));
    ::SetFocus(bInPage || hPage == nullptr ? hList : hPage);
}

BOOL CPaneSite::IsUpdating()
{
    return m_frame.Refresher().IsUpdating();
}

void CPaneSite::UpdateChannel(CFeedItem* pEntry)
{
    if (pEntry != nullptr && pEntry->m_nKind == FEED_KIND_FEED)
        m_frame.Refresher().RefreshEntry(pEntry);
}

void CPaneSite::UpdateCategory(const CString& strCaption)
{
    m_frame.FeedCommands().UpdateCategory(strCaption);
}

void CPaneSite::ShowChannelProperties(CFeedItem* pEntry, int nPage)
{
    m_frame.FeedCommands().ShowChannelProperties(pEntry, nPage);
}

void CPaneSite::RenameCategory(const CString& strOldName, const CString& strNewName)
{
    m_frame.FeedCommands().RenameCategory(strOldName, strNewName);
}

void CPaneSite::SaveEnclosure(CFeedItem* pItem)
{
    m_frame.FeedCommands().SaveEnclosure(pItem);
}

void CPaneSite::ShowChannelView(CFeedItem* pEntry)
{
    m_frame.Companions().ShowChannelView(pEntry);
}

void CPaneSite::Unsubscribe(CFeedItem* pEntry)
{
    if (pEntry != nullptr && pEntry->m_nKind == FEED_KIND_FEED)
        m_frame.FeedCommands().DeleteChannel(pEntry, true);
}

void CPaneSite::DeleteCategory(const CString& strCaption)
{
    m_frame.FeedCommands().DeleteCategory(strCaption);
}

BOOL CPaneSite::AskCategoryName(const CString& strOldName, CString& strNewName)
{
    CRenameCategoryDlg dlg(&m_frame);
    dlg.m_strOldCaption = strOldName;
    if (dlg.DoModal() != IDOK || dlg.m_strNewCaption.IsEmpty())
        return FALSE;
    strNewName = dlg.m_strNewCaption;
    return TRUE;
}
void CPaneSite::RunSearch(CFeedItem* pEntry, const CString& strText)
{
    m_frame.ResultPages().RunSearch(pEntry, strText);
}

void CPaneSite::RemoveResultPage(CFeedItem* pEntry)
{
    if (pEntry == nullptr)
        return;
    if (pEntry->m_nKind == FEED_KIND_SEARCH_RESULT)
        m_frame.ResultPages().RemovePage(pEntry);
    else if (pEntry->m_nKind == FEED_KIND_FILTER_RESULT)
        m_frame.QuickFilter().RemovePage(pEntry);
}
