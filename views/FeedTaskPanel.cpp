#include "views/FeedTaskPanel.h"

#include "toolkit/commandbars/XTPCommandBars.h"

#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/WebAddresses.h"
#include "framework/win/Dialog.h"
#include "framework/win/Gdi.h"
#include "framework/win/Menu.h"
#include "framework/win/WinApp.h"
#include "framework/win/WinThread.h"
#include "res/resource.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPControls.h"
#include "views/FeedPaneSite.h"
#include "views/FeedPopupBar.h"
#include "views/FeedViewControl.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace {

// A press that moves further than this (both directions added) starts a drag.
const int kDragThreshold = 4;
const UINT kFirstRowID = 2000;

FeedMenuTracker g_menuTracker = nullptr;

} // namespace

FeedMenuTracker SetFeedMenuTracker(FeedMenuTracker tracker)
{
    return std::exchange(g_menuTracker, tracker);
}

// The command bars' popup menu shows the commands, with the pane (or the drop-down) as the owner that answers
// their state and runs the one chosen.
BOOL TrackFeedContextMenu(UINT nMenuID, CPoint ptScreen, CWnd* pOwner, CXTPCommandBars* pCommandBars)
{
    CMenu menu;
    if (pOwner == nullptr || !menu.LoadMenu(nMenuID))
        return FALSE;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (pPopup == nullptr) {
        menu.DestroyMenu();
        return FALSE;
    }
    CCmdUI state;
    state.m_pMenu = pPopup;
    state.m_nIndexMax = static_cast<UINT>(pPopup->GetMenuItemCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pPopup->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1))
            continue;
        state.m_pSubMenu = nullptr;
        state.DoUpdate(pOwner, TRUE);
    }
    BOOL bChosen = FALSE;
    if (g_menuTracker != nullptr) {
        g_menuTracker(nMenuID, pPopup, ptScreen, pOwner);
    } else {
        // The command runs before the menu is gone from the owner's view, so it acts on what the menu was for.
        const HWND hOwner = pOwner->GetSafeHwnd();
        const UINT nCommand = static_cast<UINT>(
            CXTPCommandBars::TrackPopupMenu(pPopup, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, ptScreen.x,
                                            ptScreen.y, pOwner, nullptr, pOwner, pCommandBars));
        if (nCommand != 0 && ::IsWindow(hOwner)) {
            bChosen = TRUE;
            ::SendMessageW(hOwner, WM_COMMAND, nCommand, 0);
        }
    }
    menu.DestroyMenu();
    return bChosen;
}

IMPLEMENT_DYNCREATE(CFeedTaskPanel, CXTPTaskPanel)

BEGIN_MESSAGE_MAP(CFeedTaskPanel, CXTPTaskPanel)
ON_WM_TIMER()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_CONTEXTMENU()
ON_COMMAND(ID_CHANNEL_UNSUBSCRIBE, OnUnsubscribe)
ON_UPDATE_COMMAND_UI(ID_CHANNEL_UNSUBSCRIBE, OnUpdateUnsubscribe)
ON_MESSAGE(WM_XTP_POPUPBAR_START, OnPopupBarStart)
ON_COMMAND(ID_CHANNEL_UPDATE, OnUpdateChannel)
ON_UPDATE_COMMAND_UI(ID_CHANNEL_UPDATE, OnUpdateUpdateChannel)
ON_WM_CREATE()
ON_COMMAND(ID_CHANNEL_MARK_READ, OnMarkChannelRead)
ON_UPDATE_COMMAND_UI(ID_CHANNEL_MARK_READ, OnUpdateChannelCommand)
ON_COMMAND(ID_CHANNEL_PROPERTIES, OnChannelProperties)
ON_UPDATE_COMMAND_UI(ID_CHANNEL_PROPERTIES, OnUpdateChannelCommand)
ON_COMMAND(ID_CHANNEL_VIEW_SEPARATE, OnViewInSeparateWindow)
ON_UPDATE_COMMAND_UI(ID_CHANNEL_VIEW_SEPARATE, OnUpdateChannelCommand)
ON_COMMAND(ID_CATEGORY_RENAME, OnRenameCategory)
ON_UPDATE_COMMAND_UI(ID_CATEGORY_RENAME, OnUpdateRenameCategory)
ON_COMMAND(ID_CATEGORY_DELETE, OnDeleteCategory)
ON_UPDATE_COMMAND_UI(ID_CATEGORY_DELETE, OnUpdateDeleteCategory)
ON_COMMAND(ID_CATEGORY_UPDATE, OnUpdateCategory)
ON_UPDATE_COMMAND_UI(ID_CATEGORY_UPDATE, OnUpdateUpdateCategory)
ON_WM_DESTROY()
ON_COMMAND(ID_CHANNEL_PASSWORD, OnSetPassword)
ON_UPDATE_COMMAND_UI(ID_CHANNEL_PASSWORD, OnUpdateChannelCommand)
ON_COMMAND(ID_RESULTS_DELETE, OnDeleteResults)
END_MESSAGE_MAP()

CFeedTaskPanel::CFeedTaskPanel()
    : m_hAnnouncedPopup(nullptr), m_pPopupBar(nullptr), m_pSite(nullptr), m_bMenuOpen(FALSE)
{
}

CFeedTaskPanel::~CFeedTaskPanel()
{
    if (m_pPopupBar != nullptr) {
        if (m_pPopupBar->GetSafeHwnd() != nullptr)
            m_pPopupBar->DestroyWindow();
        m_pPopupBar->InternalRelease();
        m_pPopupBar = nullptr;
    }
    m_ilIcons.DeleteImageList();
}

BOOL CFeedTaskPanel::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CXTPTaskPanel::PreCreateWindow(cs))
        return FALSE;
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return TRUE;
}

int CFeedTaskPanel::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CXTPTaskPanel::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (m_ilIcons.Create(16, 16, ILC_COLOR24 | ILC_MASK, 10, 0)) {
        CBitmap bitmap;
        if (bitmap.LoadBitmap(IDB_PANE_ICONS))
            m_ilIcons.Add(&bitmap, RGB(0xFF, 0x00, 0xFF));
    }
    return 0;
}

void CFeedTaskPanel::OnDestroy()
{
    if (m_pPopupBar != nullptr && m_pPopupBar->GetSafeHwnd() != nullptr)
        m_pPopupBar->DestroyWindow();
    CXTPTaskPanel::OnDestroy();
}

void CFeedTaskPanel::OnTimer(UINT_PTR nIDEvent)
{
    CXTPTaskPanel::OnTimer(nIDEvent);
}

// ---- Records and items

CFeedItem* CFeedTaskPanel::GetRecord(const CXTPTaskPanelItem* pItem)
{
    // Ids up to 0xFFFF name string resources; anything larger is a record's address.
    if (pItem == nullptr || pItem->IsGroup() || pItem->GetID() <= 0xFFFF)
        return nullptr;
    return reinterpret_cast<CFeedItem*>(pItem->GetID());
}

CFeedItem* CFeedTaskPanel::GetHotRecord() const
{
    return GetRecord(m_pHotItem);
}

CXTPTaskPanelGroup* CFeedTaskPanel::GetHotGroup() const
{
    return m_pHotItem != nullptr && m_pHotItem->IsGroup() ? static_cast<CXTPTaskPanelGroup*>(m_pHotItem) : nullptr;
}

void CFeedTaskPanel::ExpandAllGroups()
{
    for (int i = 0; i < GetGroupCount(); ++i)
        GetAt(i)->SetExpanded(TRUE);
}

CXTPTaskPanelItem* CFeedTaskPanel::ItemFromPoint(int x, int y, BOOL bGroupIfNoItem) const
{
    const CPoint point(x, y);
    BOOL bCaption = FALSE;
    CXTPTaskPanelGroup* pGroup = HitTestGroup(point, &bCaption);
    if (pGroup == nullptr || bCaption)
        return pGroup;
    CXTPTaskPanelItem* pItem = pGroup->HitTest(point);
    if (CFeedItem* pRecord = GetRecord(pItem)) {
        if (pRecord->m_rcLast.PtInRect(CPoint(x, y + GetScrollOffset())))
            return pItem;
    }
    return bGroupIfNoItem ? pGroup : nullptr;
}

namespace {

// The picture in the file; null when the file is missing, damaged or too large, or the picture has no size to
// place in the entry's square.
std::unique_ptr<CPicture> ReadSitePicture(const CString& strFile)
{
    if (strFile.IsEmpty() || ::GetFileAttributesW(strFile) == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    auto pPicture = std::make_unique<CPicture>();
    if (!pPicture->LoadFromFile(strFile) || pPicture->m_nWidth <= 0 || pPicture->m_nHeight <= 0)
        return nullptr;
    return pPicture;
}

} // namespace

CPicture* CFeedTaskPanel::GetSitePicture(const CFeedItem* pRecord) const
{
    if (const auto placed = m_placedPictures.find(pRecord); placed != m_placedPictures.end()) {
        std::unique_ptr<CPicture> pPicture = ReadSitePicture(placed->second);
        m_placedPictures.erase(placed);
        if (pPicture)
            m_sitePictures[pRecord] = std::move(pPicture);
    }
    const auto found = m_sitePictures.find(pRecord);
    return found != m_sitePictures.end() ? found->second.get() : nullptr;
}

BOOL CFeedTaskPanel::LoadSitePicture(const CFeedItem* pRecord, const CString& strFile)
{
    DropSitePicture(pRecord);
    std::unique_ptr<CPicture> pPicture = pRecord != nullptr ? ReadSitePicture(strFile) : nullptr;
    if (!pPicture)
        return FALSE;
    m_sitePictures[pRecord] = std::move(pPicture);
    return TRUE;
}

void CFeedTaskPanel::PlaceSitePicture(const CFeedItem* pRecord, const CString& strFile)
{
    DropSitePicture(pRecord);
    if (pRecord != nullptr && !strFile.IsEmpty())
        m_placedPictures[pRecord] = strFile;
}

void CFeedTaskPanel::DropSitePicture(const CFeedItem* pRecord)
{
    m_sitePictures.erase(pRecord);
    m_placedPictures.erase(pRecord);
}

void CFeedTaskPanel::DropSitePictures()
{
    m_sitePictures.clear();
    m_placedPictures.clear();
}

int CFeedTaskPanel::GetEntryImage(const CFeedItem* pRecord)
{
    if (pRecord->m_bUpdateFailed)
        return kPaneImageUnreachable;
    if (pRecord->m_nImageIndex >= 0)
        return pRecord->m_nImageIndex;
    switch (pRecord->m_nKind) {
    case FEED_KIND_FEED:
        return kPaneImageFeed;
    case FEED_KIND_NOTICE:
        return kPaneImageNotice;
    case FEED_KIND_SEARCH_IN:
    case FEED_KIND_SEARCH_OUT:
    case FEED_KIND_SEARCH_RESULT:
        return kPaneImageSearch;
    case FEED_KIND_FILTER_RESULT:
        return kPaneImageResults;
    case FEED_KIND_IFRAME:
        return kPaneImageWebPage;
    case FEED_KIND_WEATHER:
        return kPaneImageWeather;
    default:
        return -1;
    }
}

void CFeedTaskPanel::ForgetRecord(CFeedItem* pRecord)
{
    if (pRecord == nullptr)
        return;
    DropSitePicture(pRecord);
    if (m_pPopupBar != nullptr && m_pPopupBar->ShowsRecord(pRecord)) {
        // A going entry has no cache to write; a going headline only closes the list it is in.
        if (m_pPopupBar->GetChannelEntry() == pRecord)
            m_pPopupBar->SetChannelEntry(nullptr);
        if (m_pPopupBar->GetSafeHwnd() != nullptr)
            m_pPopupBar->DestroyWindow();
        m_pPopupBar->GetControls()->RemoveAll();
        m_pPopupBar->SetChannelEntry(nullptr);
    }
    for (int i = GetGroupCount() - 1; i >= 0; --i) {
        CXTPTaskPanelGroup* pGroup = GetAt(i);
        for (int j = pGroup->GetItemCount() - 1; j >= 0; --j) {
            CXTPTaskPanelItem* pItem = pGroup->GetAt(j);
            if (GetRecord(pItem) == pRecord)
                pItem->Remove();
        }
    }
}

// ---- Hover

CWnd* CFeedTaskPanel::GetAnnouncedPopup() const
{
    return m_hAnnouncedPopup != nullptr && ::IsWindow(m_hAnnouncedPopup) ? CWnd::FromHandlePermanent(m_hAnnouncedPopup)
                                                                         : nullptr;
}

BOOL CFeedTaskPanel::IsHoverFrozen() const
{
    return m_bMenuOpen || (m_hAnnouncedPopup != nullptr && ::IsWindow(m_hAnnouncedPopup));
}

LRESULT CFeedTaskPanel::OnPopupBarStart(WPARAM, LPARAM lParam)
{
    auto* pBar = reinterpret_cast<CWnd*>(lParam);
    m_hAnnouncedPopup = pBar != nullptr ? pBar->GetSafeHwnd() : nullptr;
    return 0;
}

void CFeedTaskPanel::OnMouseMove(UINT, CPoint point)
{
    Default();
    if (XTPMouseManager()->IsTracking() || IsHoverFrozen())
        return;
    CXTPTaskPanelItem* pTarget = ItemFromPoint(point.x, point.y, FALSE);
    if (pTarget != nullptr && pTarget->IsAcceptFocus() && CXTPMouseManager::IsTopParentActive(m_hWnd) &&
        (m_pPressedItem == nullptr || m_pPressedItem == pTarget))
        SetHotItem(pTarget);
    else
        SetHotItem(nullptr);
    if (m_pPressedItem != nullptr &&
        std::abs(point.x - m_ptPressed.x) + std::abs(point.y - m_ptPressed.y) > kDragThreshold) {
        CXTPTaskPanelItem* pPressed = m_pPressedItem;
        if (pPressed->IsGroup())
            TrackGroupMove(static_cast<CXTPTaskPanelGroup*>(pPressed));
        else
            OnStartItemDrag(pPressed);
    }
    HighlightScrollButtons(point);
}

void CFeedTaskPanel::OnMouseLeave()
{
    if (IsHoverFrozen())
        return;
    SetHotItem(nullptr);
    HighlightScrollButtons(CPoint(-1, -1));
}

// ---- Context menu

void CFeedTaskPanel::OnContextMenu(CWnd*, CPoint point)
{
    if (m_pHotItem == nullptr)
        return;
    UINT nMenuID = 0;
    if (m_pHotItem->IsGroup()) {
        nMenuID = IDR_CONTEXT_CATEGORY;
    } else if (CFeedItem* pRecord = GetHotRecord()) {
        if (pRecord->m_nKind == FEED_KIND_FEED)
            nMenuID = IDR_CONTEXT_CHANNEL;
        else if (pRecord->m_nKind == FEED_KIND_SEARCH_RESULT || pRecord->m_nKind == FEED_KIND_FILTER_RESULT)
            nMenuID = IDR_CONTEXT_RESULTS;
    }
    if (nMenuID == 0)
        return;
    // The hot item stays what it was when the menu opened, whatever the mouse does over the menu.
    m_pHotItem->InternalAddRef();
    CXTPTaskPanelItem* pKeep = m_pHotItem;
    m_bMenuOpen = TRUE;
    TrackFeedContextMenu(nMenuID, point, this, m_pSite != nullptr ? m_pSite->GetCommandBars() : nullptr);
    m_bMenuOpen = FALSE;
    pKeep->InternalRelease();
}

// ---- Commands

BOOL CFeedTaskPanel::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The commands whose work lies with the main window answer only once it has built that work.
    static const UINT kFrameCommands[] = {ID_CHANNEL_UNSUBSCRIBE, ID_CHANNEL_VIEW_SEPARATE, ID_CATEGORY_RENAME,
                                          ID_CATEGORY_DELETE,     ID_CATEGORY_UPDATE,       ID_RESULTS_DELETE};
    if (pHandlerInfo == nullptr && m_pSite != nullptr &&
        std::find(std::begin(kFrameCommands), std::end(kFrameCommands), nID) != std::end(kFrameCommands) &&
        !m_pSite->IsCommandBuilt(nID)) {
        const bool bUpdate = nCode == static_cast<int>(CN_UPDATE_COMMAND_UI);
        if (bUpdate && pExtra != nullptr)
            static_cast<CCmdUI*>(pExtra)->Enable(FALSE);
        return bUpdate || nCode == CN_COMMAND;
    }
    return CXTPTaskPanel::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFeedTaskPanel::OnUnsubscribe()
{
    CFeedItem* pRecord = GetHotRecord();
    if (pRecord != nullptr && m_pSite != nullptr)
        m_pSite->Unsubscribe(pRecord);
}

void CFeedTaskPanel::OnUpdateUnsubscribe(CCmdUI* pCmdUI)
{
    CFeedItem* pRecord = GetHotRecord();
    pCmdUI->Enable(pRecord != nullptr && pRecord->m_bMayUnsubscribe);
}

void CFeedTaskPanel::OnUpdateChannel()
{
    CFeedItem* pRecord = GetHotRecord();
    if (pRecord != nullptr && pRecord->m_nKind == FEED_KIND_FEED && m_pSite != nullptr)
        m_pSite->UpdateChannel(pRecord);
}

void CFeedTaskPanel::OnUpdateUpdateChannel(CCmdUI* pCmdUI)
{
    CFeedItem* pRecord = GetHotRecord();
    pCmdUI->Enable(m_pSite != nullptr && !m_pSite->IsUpdating() && pRecord != nullptr &&
                   pRecord->m_nKind == FEED_KIND_FEED);
}

void CFeedTaskPanel::OnUpdateChannelCommand(CCmdUI* pCmdUI)
{
    CFeedItem* pRecord = GetHotRecord();
    pCmdUI->Enable(pRecord != nullptr && pRecord->m_nKind == FEED_KIND_FEED);
}

void CFeedTaskPanel::OnMarkChannelRead()
{
    CFeedItem* pRecord = GetHotRecord();
    if (pRecord != nullptr && pRecord->m_pChannel != nullptr) {
        POSITION pos = pRecord->m_pChannel->m_items.GetHeadPosition();
        while (pos != nullptr)
            pRecord->m_pChannel->m_items.GetNext(pos)->m_nReadState = FEED_STATE_READ;
        pRecord->CountNews();
    }
    Reposition(FALSE);
    if (GetSafeHwnd() != nullptr)
        RedrawWindow(nullptr, static_cast<CRgn*>(nullptr), RDW_INVALIDATE | RDW_UPDATENOW);
}

void CFeedTaskPanel::OnChannelProperties()
{
    CFeedItem* pRecord = GetHotRecord();
    if (pRecord != nullptr && pRecord->m_nKind == FEED_KIND_FEED && m_pSite != nullptr)
        m_pSite->ShowChannelProperties(pRecord, 0);
}

void CFeedTaskPanel::OnSetPassword()
{
    CFeedItem* pRecord = GetHotRecord();
    if (pRecord != nullptr && pRecord->m_nKind == FEED_KIND_FEED && m_pSite != nullptr)
        m_pSite->ShowChannelProperties(pRecord, 1);
}

void CFeedTaskPanel::OnViewInSeparateWindow()
{
    CFeedItem* pRecord = GetHotRecord();
    if (pRecord != nullptr && pRecord->m_nKind == FEED_KIND_FEED && m_pSite != nullptr)
        m_pSite->ShowChannelView(pRecord);
}

void CFeedTaskPanel::OnRenameCategory()
{
    CXTPTaskPanelGroup* pGroup = GetHotGroup();
    if (pGroup == nullptr || m_pSite == nullptr)
        return;
    const CString strOld = pGroup->GetCaption();
    CString strNew;
    if (m_pSite->AskCategoryName(strOld, strNew))
        m_pSite->RenameCategory(strOld, strNew);
}

void CFeedTaskPanel::OnUpdateRenameCategory(CCmdUI* pCmdUI)
{
    CXTPTaskPanelGroup* pGroup = GetHotGroup();
    pCmdUI->Enable(pGroup != nullptr && m_pSite != nullptr && m_pSite->IsNewCategory(pGroup->GetCaption()));
}

void CFeedTaskPanel::OnDeleteCategory()
{
    CXTPTaskPanelGroup* pGroup = GetHotGroup();
    if (pGroup == nullptr || m_pSite == nullptr)
        return;
    const CString strCaption = pGroup->GetCaption();
    if (AfxMessageBox(IDS_DELETE_CATEGORY_QUESTION, MB_YESNO | MB_ICONQUESTION) == IDYES)
        m_pSite->DeleteCategory(strCaption);
}

void CFeedTaskPanel::OnUpdateDeleteCategory(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetHotGroup() != nullptr);
}

void CFeedTaskPanel::OnUpdateCategory()
{
    CXTPTaskPanelGroup* pGroup = GetHotGroup();
    if (pGroup != nullptr && m_pSite != nullptr)
        m_pSite->UpdateCategory(pGroup->GetCaption());
}

void CFeedTaskPanel::OnUpdateUpdateCategory(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pSite != nullptr && !m_pSite->IsUpdating());
}

void CFeedTaskPanel::OnDeleteResults()
{
    CFeedItem* pRecord = GetHotRecord();
    if (pRecord != nullptr && m_pSite != nullptr)
        m_pSite->RemoveResultPage(pRecord);
}

// ---- Click

void CFeedTaskPanel::SendUsageEvent(WPARAM wCode, CFeedItem* pRecord)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != nullptr && pMainWnd->GetSafeHwnd() != nullptr)
        pMainWnd->SendMessage(WM_USAGE_EVENT, wCode, reinterpret_cast<LPARAM>(pRecord));
}

void CFeedTaskPanel::PreparePopupBar()
{
    if (m_pPopupBar == nullptr) {
        m_pPopupBar = CFeedPopupBar::CreateFeedPopupBar(m_pSite != nullptr ? m_pSite->GetCommandBars() : nullptr);
    } else {
        m_pPopupBar->GetControls()->RemoveAll();
    }
    if (m_pPopupBar->GetSafeHwnd() != nullptr)
        m_pPopupBar->DestroyWindow();
}

void CFeedTaskPanel::OnClick(CXTPTaskPanelItem* pItem)
{
    // The owner's answer to the notification may take the item out of the pane.
    if (pItem != nullptr)
        pItem->InternalAddRef();
    CXTPTaskPanel::OnClick(pItem);
    PreparePopupBar();
    CFeedItem* pRecord = pItem != nullptr && pItem->GetTaskPanel() == this ? GetRecord(pItem) : nullptr;
    if (pRecord != nullptr) {
        const CReaderSettings& settings = GetEngineContext().m_settings;
        if (pRecord->m_pChannel != nullptr) {
            if (settings.nViewStyle == 1) {
                DropDownHeadlines(pItem, pRecord);
                SendUsageEvent(4, pRecord);
            } else if (settings.nViewStyle == 0) {
                if (m_pSite != nullptr && m_pSite->HasNewsView()) {
                    CFeedItem* pShown = m_pSite->GetShownEntry();
                    if (pShown != nullptr && pShown->m_pChannel != nullptr) {
                        const CString strPath = pShown->GetCacheFileName();
                        if (!strPath.IsEmpty())
                            pShown->m_pChannel->SaveCache(strPath, FALSE);
                        pShown->CountNews();
                    }
                    m_pSite->ShowEntry(pRecord, pRecord->GetCacheFileName());
                }
                RedrawWindow(nullptr, static_cast<CRgn*>(nullptr), RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                SendUsageEvent(4, pRecord);
            }
        } else if (pRecord->m_nKind == FEED_KIND_NOTICE) {
            // The link comes from the server's list: only a checked web or mail address is opened.
            if (OpenInBrowser(pRecord->m_strLink)) {
                pRecord->m_nReadState = FEED_STATE_READ;
                SendUsageEvent(1, pRecord);
            }
        }
    }
    if (pItem != nullptr)
        pItem->InternalRelease();
}

void CFeedTaskPanel::DropDownHeadlines(CXTPTaskPanelItem* pItem, CFeedItem* pRecord)
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    const int nScreen = ::GetSystemMetrics(SM_CXSCREEN);
    int nWidth = 0;
    {
        CClientDC dc(this);
        POSITION pos = pRecord->m_pChannel->m_items.GetHeadPosition();
        while (pos != nullptr)
            nWidth = std::max(nWidth, pRecord->m_pChannel->m_items.GetNext(pos)->CalcHeadlineWidth(&dc));
    }
    nWidth = std::max(std::min(nWidth, nScreen / 2), nScreen / 4);

    // The entry's rectangle in screen coordinates: below its group's caption, less the panel's scrolling.
    auto* pGroupItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, pItem);
    CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    CRect rcEntry = pGroupItem != nullptr ? pGroupItem->GetItemRect() : CRect(0, 0, 0, 0);
    if (pGroup != nullptr)
        rcEntry.OffsetRect(0, pGroup->GetClientRect().top - pGroup->GetItemScrollOffset());
    rcEntry.OffsetRect(0, -GetScrollOffset());
    ClientToScreen(&rcEntry);
    const int x = settings.nLeftArrows ? rcEntry.left - nWidth - 2 : rcEntry.right + 2;

    CFeedViewControl::SetRowWidth(nWidth);
    UINT nID = kFirstRowID;
    POSITION pos = pRecord->m_pChannel->m_items.GetHeadPosition();
    while (pos != nullptr) {
        auto* pRow = new CFeedViewControl;
        pRow->SetItem(pRecord->m_pChannel->m_items.GetNext(pos));
        m_pPopupBar->GetControls()->Add(pRow, static_cast<int>(nID++), L"");
    }
    m_pPopupBar->SetChannelEntry(pRecord);
    m_pPopupBar->SetSite(m_pSite);
    m_pPopupBar->SetOwner(this);
    m_pPopupBar->Popup(x, rcEntry.top, &rcEntry);
}
