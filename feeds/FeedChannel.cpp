// Channel documents and the list operations on their items.
#include "feeds/FeedChannel.h"

#include "feeds/EnclosureJob.h"
#include "feeds/EngineContext.h"
#include "feeds/EngineMessages.h"
#include "feeds/NewsLineItem.h"
#include "framework/win/Wnd.h"

#include <algorithm>
#include <vector>

namespace {

// Whether the lower-cased display title or text of the item contains the word.
bool ContainsWord(const CFeedItem* item, LPCWSTR word)
{
    CString title = item->m_strTitleText;
    CString text = item->m_strDescriptionText;
    return title.MakeLower().Find(word) >= 0 || text.MakeLower().Find(word) >= 0;
}

bool HasValidDate(const CFeedItem* item)
{
    return item->m_dtDate.GetStatus() == COleDateTime::valid;
}

} // namespace

CFeedChannel::CFeedChannel()
    : m_items(10), m_heldItems(10), m_dwReserved1(0), m_dwReserved2(0), m_pDocument(nullptr), m_nDepth(0),
      m_dwReserved3(0), m_dwLoadTick(0)
{
    m_info.m_strType = L"rss";
}

CFeedChannel::~CFeedChannel()
{
    // Held items nobody purged belong to no one else either.
    while (!m_heldItems.IsEmpty())
        delete m_heldItems.RemoveHead();
    while (!m_items.IsEmpty())
        delete m_items.RemoveHead();
    // A stopped load leaves its document behind.
    if (m_pDocument)
        reinterpret_cast<IUnknown*>(m_pDocument)->Release();
}

void CFeedChannel::PurgeItems(CWnd* pPodcastWnd, CWnd* pNewsLineWnd)
{
    while (!m_heldItems.IsEmpty())
        m_items.AddHead(m_heldItems.RemoveTail());

    for (POSITION pos = m_items.GetHeadPosition(); pos;) {
        POSITION current = pos;
        CFeedItem* item = m_items.GetNext(pos);
        if (item->m_bKeep)
            continue;
        if (pNewsLineWnd)
            ::SendMessageW(pNewsLineWnd->GetSafeHwnd(), WM_NEWSLINE_ITEM_REMOVED, reinterpret_cast<WPARAM>(item), 0);
        if (pPodcastWnd)
            ::SendMessageW(pPodcastWnd->GetSafeHwnd(), WM_PODCAST_REMOVE_ITEM, reinterpret_cast<WPARAM>(item), 0);
        m_items.RemoveAt(current);
        delete item;
    }
}

void CFeedChannel::ResetItemStates()
{
    for (POSITION pos = m_items.GetHeadPosition(); pos;) {
        CFeedItem* item = m_items.GetNext(pos);
        item->m_bKeep = false;
        if (item->m_nReadState != FEED_STATE_READ)
            item->m_nReadState = FEED_STATE_UNREAD;
    }
}

void CFeedChannel::SortItemsByDate()
{
    if (m_items.IsEmpty())
        return;
    std::vector<CFeedItem*> items;
    items.reserve(static_cast<size_t>(m_items.GetCount()));
    for (POSITION pos = m_items.GetHeadPosition(); pos;)
        items.push_back(m_items.GetNext(pos));
    // An undated item never goes before another; a dated one goes before every undated one.
    std::stable_sort(items.begin(), items.end(), [](const CFeedItem* a, const CFeedItem* b) {
        return HasValidDate(a) && (!HasValidDate(b) || a->m_dtDate > b->m_dtDate);
    });
    m_items.RemoveAll();
    for (CFeedItem* item : items)
        m_items.AddTail(item);
}

CFeedItem* CFeedChannel::FindItem(const CFeedItem* pItem, BOOL bLinkOnly, BOOL bRecurse)
{
    if (!pItem)
        return nullptr;
    for (POSITION pos = m_items.GetHeadPosition(); pos;) {
        CFeedItem* candidate = m_items.GetNext(pos);
        bool match;
        if (candidate->m_strLinkText.IsEmpty())
            match = candidate->m_strTitleText == pItem->m_strTitleText &&
                    candidate->m_strDescriptionText == pItem->m_strDescriptionText;
        else
            match = candidate->m_strLinkText == pItem->m_strLinkText &&
                    (bLinkOnly || candidate->m_strTitleText == pItem->m_strTitleText);
        if (match)
            return candidate;
        if (bRecurse && candidate->m_pChannel) {
            if (CFeedItem* found = candidate->m_pChannel->FindItem(pItem, FALSE, TRUE))
                return found;
        }
    }
    return nullptr;
}

int CFeedChannel::SelectItemsByWord(CFeedItemList& list, LPCWSTR word, BOOL bExclude)
{
    INT_PTR before = list.GetCount();
    for (POSITION pos = m_items.GetHeadPosition(); pos;) {
        CFeedItem* item = m_items.GetNext(pos);
        if (item->m_pChannel)
            item->m_pChannel->SelectItemsByWord(list, word, bExclude);
        else if (item->m_nKind == FEED_KIND_ITEM && ContainsWord(item, word) != !!bExclude)
            list.AddTail(item);
    }
    return static_cast<int>(list.GetCount() - before);
}

int FilterItemsByWord(CFeedItemList& list, LPCWSTR word, BOOL bExclude)
{
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        POSITION current = pos;
        CFeedItem* item = list.GetNext(pos);
        if (ContainsWord(item, word) == !!bExclude)
            list.RemoveAt(current);
    }
    return static_cast<int>(list.GetCount());
}

void CFeedChannel::CollectTickerItems(int nMode, CPtrList& list, CFeedItem* pOwner, const COleDateTime& date)
{
    for (POSITION pos = m_items.GetHeadPosition(); pos;) {
        CFeedItem* item = m_items.GetNext(pos);
        if (item->m_nKind == FEED_KIND_FEED && item->m_pChannel) {
            item->m_pChannel->CollectTickerItems(nMode, list, item, date);
            continue;
        }
        if (item->m_nKind != FEED_KIND_ITEM)
            continue;
        bool take;
        switch (nMode) {
        case TICKER_NEW:
            take = item->m_nReadState == FEED_STATE_NEW;
            break;
        case TICKER_NOT_READ:
            take = item->m_nReadState == FEED_STATE_NEW || item->m_nReadState == FEED_STATE_UNREAD;
            break;
        case TICKER_SINCE:
        case TICKER_SINCE_OTHER:
            take = item->m_dtDate > date || item->m_dtDate == date;
            break;
        default:
            take = true;
        }
        if (take) {
            CNewsLineItem* line = new CNewsLineItem;
            line->m_pFeed = pOwner;
            line->m_pItem = item;
            list.AddTail(line);
        }
    }
}

void CFeedChannel::CollectEnclosures(CPtrList& list, CFeedItem* pOwner)
{
    for (POSITION pos = m_items.GetHeadPosition(); pos;) {
        CFeedItem* item = m_items.GetNext(pos);
        if (item->m_nKind == FEED_KIND_FEED && item->m_pChannel) {
            if (GetEngineContext().m_settings.nPodcastMode == 2 &&
                (item->m_strFile.IsEmpty() ||
                 EngineProfileString(L"Podcasting\\Items", item->m_strFile, L"").IsEmpty()))
                continue;
            item->m_pChannel->CollectEnclosures(list, item);
        } else if (item->m_nKind == FEED_KIND_ITEM && !item->m_strEnclosureUrl.IsEmpty()) {
            list.AddTail(new CEnclosureJob(item, pOwner));
        }
    }
}

int CFeedChannel::MarkAllRead(BOOL bRecurse)
{
    int newCount = 0;
    for (POSITION pos = m_items.GetHeadPosition(); pos;) {
        CFeedItem* item = m_items.GetNext(pos);
        item->m_nReadState = FEED_STATE_READ;
        if (bRecurse && item->m_pChannel)
            item->m_pChannel->MarkAllRead(TRUE);
        newCount = item->CountNews();
    }
    return newCount;
}
