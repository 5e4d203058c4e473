#include "app/ResultPages.h"

#include "app/MainFrm.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"
#include "toolkit/taskpanel/XTPTaskPanelItems.h"

namespace {

// The page's items kept in a temporary file, from which the news view shows them.
void SaveToTemporaryFile(CFeedItem* pPage)
{
    if (!pPage->m_pChannel || GetEngineContext().m_strTempFolder.IsEmpty())
        return;
    WCHAR path[MAX_PATH] = L"";
    if (::GetTempFileNameW(GetEngineContext().m_strTempFolder, L"tmdf", 0, path) &&
        pPage->m_pChannel->SaveCache(path, TRUE))
        pPage->m_pChannel->m_strPath = path;
}

} // namespace

CResultPages::CResultPages(CMainFrame& frame) : m_frame(frame) {}

void CResultPages::RunSearch(CFeedItem* pEntry, const CString& strText)
{
    if (!pEntry || strText.IsEmpty() || !m_frame.Refresher().PostSearch(pEntry, strText))
        return;
    m_strSearchText = strText;
}

void CResultPages::OnSearchDone(CFeedItem* pPage)
{
    if (!m_frame.Refresher().IsUpdating())
        m_frame.PaneSite().ShowRefreshEnded();
    if (pPage)
        InsertSearchPage(pPage);
}

void CResultPages::InsertSearchPage(CFeedItem* pPage)
{
    auto* searchIn = static_cast<CFeedItem*>(pPage->m_pLinkedItem);
    CFeedItem* older = searchIn ? static_cast<CFeedItem*>(searchIn->m_pLinkedItem) : nullptr;
    CFeedTaskPanel* pane = m_frame.PaneSite().GetNavigationPane();
    if (pane->GetSafeHwnd())
        pane->SendMessage(WM_CANCELMODE);
    if (searchIn)
        searchIn->m_pLinkedItem = pPage;
    m_searchPages.AddTail(pPage);
    pPage->m_nImageIndex = 2;
    SaveToTemporaryFile(pPage);
    PlaceInPane(pPage, searchIn, older);
    if (older) {
        if (POSITION at = m_searchPages.Find(older))
            m_searchPages.RemoveAt(at);
        if (older->m_pNavControl)
            m_frame.PaneSite().RemoveEntryFromPane(older);
        delete older;
    }
    m_frame.PaneSite().RefreshPaneContents();
}

// The page takes over the older page's item, else gets a new one right below its search-in entry.
void CResultPages::PlaceInPane(CFeedItem* pPage, CFeedItem* pSearchIn, CFeedItem* pOlder)
{
    const CString caption = pPage->m_strTitleText;
    if (auto* control = pOlder ? static_cast<CXTPTaskPanelGroupItem*>(pOlder->m_pNavControl) : nullptr) {
        control->SetID(reinterpret_cast<UINT_PTR>(pPage));
        control->SetCaption(caption);
        pPage->m_pNavControl = control;
        pOlder->m_pNavControl = nullptr;
        return;
    }
    if (!pSearchIn || !pSearchIn->m_pNavControl)
        return;
    auto* after = static_cast<CXTPTaskPanelGroupItem*>(pSearchIn->m_pNavControl);
    CXTPTaskPanelGroup* group = after->GetItemGroup();
    if (!group)
        return;
    auto* item = new CXTPTaskPanelGroupItem();
    item->SetType(TaskPanelItemLink);
    item->SetID(reinterpret_cast<UINT_PTR>(pPage));
    item->SetCaption(caption);
    item->SetBold(TRUE);
    group->GetItems()->InsertAt(after->GetIndex() + 1, item);
    pPage->m_pNavControl = item;
}

void CResultPages::RemovePage(CFeedItem* pPage)
{
    POSITION at = pPage ? m_searchPages.Find(pPage) : nullptr;
    if (!at)
        return;
    auto* control = static_cast<CXTPTaskPanelGroupItem*>(pPage->m_pNavControl);
    CXTPTaskPanelGroup* group = control ? control->GetItemGroup() : nullptr;
    m_frame.PaneSite().RemoveEntryFromPane(pPage);
    if (group && group->GetItemCount() == 0)
        group->Remove();
    if (auto* searchIn = static_cast<CFeedItem*>(pPage->m_pLinkedItem); searchIn && searchIn->m_pLinkedItem == pPage)
        searchIn->m_pLinkedItem = nullptr;
    m_searchPages.RemoveAt(at);
    delete pPage;
    m_frame.PaneSite().RefreshPaneContents();
}

void CResultPages::DeleteAll()
{
    while (!m_searchPages.IsEmpty()) {
        auto* page = static_cast<CFeedItem*>(m_searchPages.RemoveHead());
        if (auto* searchIn = static_cast<CFeedItem*>(page->m_pLinkedItem); searchIn && searchIn->m_pLinkedItem == page)
            searchIn->m_pLinkedItem = nullptr;
        delete page;
    }
}
