#include "feeds/FetchedFeeds.h"

#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedItemIndex.h"

#include <map>
#include <mutex>

namespace {

std::mutex g_lock;
std::map<const CFeedItem*, CFeedChannel*> g_fetched;

} // namespace

void PutFetchedChannel(const CFeedItem* pEntry, CFeedChannel* pFetched)
{
    CFeedChannel* replaced = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        auto found = g_fetched.find(pEntry);
        if (found != g_fetched.end()) {
            replaced = found->second;
            g_fetched.erase(found);
        }
        if (pFetched)
            g_fetched[pEntry] = pFetched;
    }
    delete replaced;
}

CFeedChannel* TakeFetchedChannel(const CFeedItem* pEntry)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto found = g_fetched.find(pEntry);
    if (found == g_fetched.end())
        return nullptr;
    CFeedChannel* fetched = found->second;
    g_fetched.erase(found);
    return fetched;
}

void MergeFetchedChannel(CFeedChannel& channel, CFeedChannel& fetched)
{
    channel.m_strPath = fetched.m_strPath;
    channel.m_dwLoadTick = fetched.m_dwLoadTick;
    if (fetched.m_dtLastUpdate.GetStatus() == COleDateTime::valid)
        channel.m_dtLastUpdate = fetched.m_dtLastUpdate;
    CString CFeedChannelInfo::*const header[] = {
        &CFeedChannelInfo::m_strLink,      &CFeedChannelInfo::m_strDescription,   &CFeedChannelInfo::m_strLanguage,
        &CFeedChannelInfo::m_strWebMaster, &CFeedChannelInfo::m_strLastBuildDate, &CFeedChannelInfo::m_strTtl,
        &CFeedChannelInfo::m_strGenerator,
    };
    for (CString CFeedChannelInfo::*field : header) {
        if (!(fetched.m_info.*field).IsEmpty())
            channel.m_info.*field = fetched.m_info.*field;
    }
    const FeedItemIndex index(channel.m_items);
    while (!fetched.m_items.IsEmpty()) {
        CFeedItem* item = fetched.m_items.RemoveHead();
        if (CFeedItem* known = index.Find(item)) {
            known->m_bKeep = TRUE;
            delete item;
        } else {
            // Handed over whole, as a reload hands the item it read.
            channel.m_heldItems.AddTail(item);
        }
    }
}
