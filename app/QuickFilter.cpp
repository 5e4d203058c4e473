#include "app/QuickFilter.h"
#include "res/resource.h"

#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "companions/QuickFilterDlg.h"
#include "companions/StatusDlg.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FilterText.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"
#include "toolkit/taskpanel/XTPTaskPanelItems.h"

CQuickFilter::CQuickFilter(CMainFrame& frame) : m_frame(frame) {}

CQuickFilter::~CQuickFilter() = default;

void CQuickFilter::Load()
{
    m_strText = theApp.GetProfileString(L"Filters", L"QuickFilter", L"");
}

void CQuickFilter::Save() const
{
    theApp.WriteProfileString(L"Filters", L"QuickFilter", m_strText);
}

// ---- Commands

void CQuickFilter::RunDialog()
{
    CQuickFilterDlg dlg(&m_frame);
    dlg.m_strFilterText = m_strText;
    if (dlg.DoModal() != IDOK)
        return;
    m_strText = dlg.m_strFilterText;
    Run();
}

void CQuickFilter::RunTypedWords(const CString& strWords)
{
    CString lowered = strWords;
    lowered.MakeLower();
    // A blank box keeps the filter the user had: it is refused, not stored.
    if (SplitFilterWords(lowered).empty()) {
        AfxMessageBox(IDS_FILTER_NO_WORDS, MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_strText = BuildFilterText(lowered, nullptr, nullptr);
    Run();
}

bool CQuickFilter::Run()
{
    // A filter without words would select everything (or nothing) by accident, never what the user meant.
    if (ReadFilterWords(m_strText).IsEmpty()) {
        AfxMessageBox(IDS_FILTER_NO_WORDS, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (m_pWaitDlg != nullptr || !m_frame.Refresher().PostQuickFilter())
        return false;
    CStatusDlg dlg(&m_frame);
    m_pWaitDlg = &dlg;
    m_outcome = OUTCOME_PENDING;
    dlg.DoModal();
    m_pWaitDlg = nullptr;
    if (m_outcome == OUTCOME_NOTHING)
        AfxMessageBox(IDS_FILTER_NOTHING_FOUND, MB_OK | MB_ICONINFORMATION);
    return true;
}

// ---- The worker's build

void CQuickFilter::FillRequest(CQuickFilterRequest& request)
{
    request.strFilterText = m_strText;
    request.nViewStyle = m_frame.PaneSite().GetViewStyle();
    CopyNewsItems(m_frame.Lists().Main(), m_frame.Lists().Custom(), request.items);
}

void CQuickFilter::TakeResults(CFeedItem* pPage)
{
    m_outcome = pPage != nullptr ? OUTCOME_FOUND : OUTCOME_NOTHING;
    if (m_pWaitDlg != nullptr)
        m_pWaitDlg->Finish();
    std::unique_ptr<CFeedItem> older(m_pResults.release());
    CPaneSite& site = m_frame.PaneSite();
    const bool bOlderShown = older && site.GetShownEntry() == older.get();
    if (pPage != nullptr) {
        PlaceInPane(pPage, older.get());
        m_pResults.reset(pPage);
    } else if (older) {
        RemoveFromPane(older.get());
    }
    if (bOlderShown)
        site.ShowEntry(pPage, pPage != nullptr ? pPage->GetCacheFileName() : CString());
    site.RefreshPaneContents();
}

// ---- The pane

// The new page takes over the older page's item, else gets one in the "Quick Filter" group, made first in the pane
// when missing.
void CQuickFilter::PlaceInPane(CFeedItem* pPage, CFeedItem* pOlder)
{
    CFeedTaskPanel* pane = m_frame.PaneSite().GetNavigationPane();
    if (pane->GetSafeHwnd() == nullptr)
        return;
    auto* item = pOlder != nullptr ? static_cast<CXTPTaskPanelGroupItem*>(pOlder->m_pNavControl) : nullptr;
    if (item == nullptr) {
        CXTPTaskPanelGroup* group = pane->FindGroup(IDS_QUICK_FILTER_GROUP);
        if (group == nullptr) {
            group = new CXTPTaskPanelGroup(pane);
            group->SetID(IDS_QUICK_FILTER_GROUP);
            pane->GetGroups()->InsertAt(0, group);
        }
        item = group->AddLinkItem(reinterpret_cast<UINT_PTR>(pPage));
        item->SetBold(TRUE);
    }
    item->SetID(reinterpret_cast<UINT_PTR>(pPage));
    item->SetCaption(pPage->m_strTitleText);
    item->SetTooltip(pPage->m_strDescriptionText);
    pPage->m_pNavControl = item;
    if (pOlder != nullptr) {
        pOlder->m_pNavControl = nullptr;
        // The headline drop-down may still list the older page's items.
        pane->ForgetRecord(pOlder);
    }
}

void CQuickFilter::RemoveFromPane(CFeedItem* pPage)
{
    auto* item = static_cast<CXTPTaskPanelGroupItem*>(pPage->m_pNavControl);
    CXTPTaskPanelGroup* group = item != nullptr ? item->GetItemGroup() : nullptr;
    m_frame.PaneSite().RemoveEntryFromPane(pPage);
    if (group != nullptr && group->GetItemCount() == 0)
        group->Remove();
}

void CQuickFilter::RemovePage(CFeedItem* pPage)
{
    if (pPage == nullptr || pPage != m_pResults.get())
        return;
    RemoveFromPane(pPage);
    m_pResults.reset();
    m_frame.PaneSite().RefreshPaneContents();
}

void CQuickFilter::DeleteAll()
{
    m_pResults.reset();
}
