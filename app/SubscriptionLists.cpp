#include "app/SubscriptionLists.h"
#include "res/resource.h"

#include "app/AppMessages.h"
#include "app/MainFrm.h"
#include "companions/FeedSubscribeDlg.h"
#include "feeds/DataFiles.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/win/WinApp.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <system_error>
#include <thread>
#include <vector>

bool ListHolds(CFeedChannel* pList, const CFeedItem* pEntry)
{
    return pList != nullptr && pList->m_items.Find(const_cast<CFeedItem*>(pEntry)) != nullptr;
}

namespace {

bool FileExists(const CString& path)
{
    const DWORD attributes = path.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A list file of the data folder as a new channel, or null when it does not load.
CFeedChannel* LoadList(const CString& path)
{
    auto* list = new CFeedChannel;
    if (FileExists(path) && list->LoadFile(path, nullptr, CFeedChannel::LOAD_OWN_FILE))
        return list;
    delete list;
    return nullptr;
}

// The custom list, from its backup when its file is missing or damaged.
CFeedChannel* LoadCustomList(const CString& path)
{
    if (!FileExists(path))
        return RestoreCustomFeeds() ? LoadList(path) : nullptr;
    CFeedChannel* list = LoadList(path);
    if (!list && RestoreCustomFeeds())
        list = LoadList(path);
    return list;
}

// The main list, from the copy of its last save when the list is damaged or missing. When neither reads and one
// of them was there, the user is told: the main channels would otherwise vanish without a word. The damaged file
// stays as it is.
CFeedChannel* LoadMainList(const CString& folder)
{
    const CString path = folder + L"\\MainFeed.xml";
    const CString backup = folder + L"\\MainFeed.bak";
    if (CFeedChannel* list = LoadList(path))
        return list;
    if (CFeedChannel* list = LoadList(backup))
        return list;
    if (FileExists(path) || FileExists(backup))
        AfxMessageBox(IDS_MAIN_LIST_DAMAGED, MB_OK | MB_ICONWARNING);
    return nullptr;
}

} // namespace

bool LoadEntryCache(CFeedItem* pEntry)
{
    const CString cache = pEntry->GetCacheFileName();
    if (!FileExists(cache))
        return false;
    auto* channel = new CFeedChannel;
    if (!channel->LoadFile(cache, nullptr, CFeedChannel::LOAD_OWN_FILE)) {
        delete channel;
        return false;
    }
    delete pEntry->m_pChannel;
    pEntry->m_pChannel = channel;
    return true;
}

CSubscriptionLists::CSubscriptionLists(CMainFrame& frame) : m_frame(frame) {}

// The worker has ended with the window; no download holds an entry any more.
CSubscriptionLists::~CSubscriptionLists() = default;

namespace {

// One entry's cache file, counted off the window's thread.
struct CacheCount
{
    CFeedItem* entry = nullptr;
    CString path;
    bool exists = false;
    CFeedChannel::OwnFileCounts counts;
    CFeedChannel::OwnFileRead result = CFeedChannel::OWN_FILE_REFUSED;
};

// The feed entries of a list, each with its cache file's path.
void AddCacheCounts(CFeedChannel* pList, std::vector<CacheCount>& counts)
{
    for (POSITION pos = pList ? pList->m_items.GetHeadPosition() : nullptr; pos;) {
        CFeedItem* entry = pList->m_items.GetNext(pos);
        if (entry->m_nKind != FEED_KIND_FEED)
            continue;
        CacheCount count;
        count.entry = entry;
        count.path = entry->GetCacheFileName();
        count.exists = FileExists(count.path);
        counts.push_back(std::move(count));
    }
}

// Every cache file counted by a few threads at once: the files are independent, and with a few hundred
// subscriptions even the first pass is worth sharing out.
void CountCaches(std::vector<CacheCount>& counts)
{
    std::atomic<size_t> next{0};
    auto work = [&counts, &next] {
        for (size_t i = next++; i < counts.size(); i = next++) {
            CacheCount& count = counts[i];
            if (count.exists)
                count.result = CFeedChannel::CountOwnFile(count.path, count.counts);
        }
    };
    const size_t helpers = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()) - 1, counts.size() / 16);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < helpers; ++i) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break; // fewer helpers: this thread counts the rest
        }
    }
    work();
    for (std::thread& thread : threads)
        thread.join();
}

WORD CountOf(int count)
{
    return static_cast<WORD>(std::min(count, 0xFFFF));
}

} // namespace

BOOL CSubscriptionLists::Load()
{
    const CString folder = GetEngineContext().m_strDataFolder;
    if (folder.IsEmpty())
        return TRUE; // no data folder: no lists, and nothing is read from the current drive's root
    std::unique_ptr<CFeedChannel> mainFeeds(LoadMainList(folder));
    std::unique_ptr<CFeedChannel> customFeeds(LoadCustomList(folder + L"\\CustomFeed.xml"));
    std::vector<CacheCount> counts;
    AddCacheCounts(mainFeeds.get(), counts);
    const size_t customStart = counts.size();
    AddCacheCounts(customFeeds.get(), counts);
    CountCaches(counts);

    m_toRead.clear();
    for (size_t i = 0; i < counts.size(); ++i) {
        CacheCount& count = counts[i];
        CFeedItem* entry = count.entry;
        bool loaded = false;
        if (count.result == CFeedChannel::OWN_FILE_LOADED) {
            // The items follow on worker threads; the counts and the date are the file's already.
            entry->m_bItemsPending = true;
            entry->m_nNewCount = CountOf(count.counts.fresh);
            entry->m_nUnreadCount = CountOf(count.counts.unread);
            entry->m_nReadCount = CountOf(count.counts.read);
            entry->m_dtDate = count.counts.lastUpdate;
            m_toRead.push_back(entry);
            loaded = true;
        } else if (count.result == CFeedChannel::OWN_FILE_LEFT && LoadEntryCache(entry)) {
            entry->m_dtDate = entry->m_pChannel->m_dtLastUpdate;
            loaded = true;
        }
        if (loaded) {
            entry->m_nCountdown = entry->m_nUpdateInterval;
        } else if (!count.exists && i < customStart) {
            // A main-list entry without a cache waits its interval; a custom one keeps its countdown (0 when fresh
            // from the file): due at once.
            entry->m_nCountdown = entry->m_nUpdateInterval;
        }
    }
    m_pMain = std::move(mainFeeds);
    m_pCustom = std::move(customFeeds);
    return TRUE;
}

void CSubscriptionLists::StartReading()
{
    std::vector<CFeedItem*> entries;
    entries.swap(m_toRead);
    m_loader.Start(entries, m_frame.GetSafeHwnd(), WM_CACHES_READ);
    if (!m_loader.IsLoading())
        ChannelsIn();
}

void CSubscriptionLists::TakeReadChannels()
{
    if (m_loader.IsLoading() && m_loader.TakeRead())
        ChannelsIn();
}

void CSubscriptionLists::FinishReading()
{
    if (!m_loader.IsLoading())
        return;
    m_loader.Finish();
    ChannelsIn();
}

void CSubscriptionLists::ChannelsIn()
{
    m_frame.Companions().ReloadTicker();
    // The podcast manager lists the enclosures the lists hold, downloads kept from the last run included.
    m_frame.Companions().SyncPodcastList();
}

void CSubscriptionLists::AdoptMain(CFeedChannel* pList)
{
    m_pMain.reset(pList);
}

CFeedChannel* CSubscriptionLists::CustomForAdding()
{
    if (!m_pCustom)
        m_pCustom.reset(LoadCustomFeeds());
    return m_pCustom.get();
}

CFeedChannel* CSubscriptionLists::CustomForRefresh()
{
    if (!m_pCustom && !GetEngineContext().m_strDataFolder.IsEmpty()) {
        const CString path = GetEngineContext().m_strDataFolder + L"\\CustomFeed.xml";
        if (!FileExists(path))
            RestoreCustomFeeds();
        m_pCustom.reset(LoadList(path));
    }
    return m_pCustom.get();
}

CFeedItem* CSubscriptionLists::FindEntry(const CFeedItem* pEntry) const
{
    for (CFeedChannel* pList : {Main(), Custom()}) {
        if (pList == nullptr)
            continue;
        if (CFeedItem* found = pList->FindItem(pEntry, TRUE, FALSE))
            return found;
    }
    return nullptr;
}

bool CSubscriptionLists::CanChangeEntry(const CFeedItem* pEntry) const
{
    return !m_frame.Refresher().IsUpdating() && (!pEntry || !pEntry->m_bUpdating);
}

void CSubscriptionLists::SaveMain()
{
    if (m_pMain)
        m_pMain->SaveMainFeeds();
}

void CSubscriptionLists::SaveCustom()
{
    if (m_pCustom)
        m_pCustom->SaveCustomFeeds();
}

void CSubscriptionLists::SaveAll()
{
    if (m_pMain) {
        m_pMain->SaveMainFeeds();
        m_pMain->SaveChildCaches();
    }
    if (m_pCustom) {
        m_pCustom->SaveCustomFeeds();
        m_pCustom->SaveChildCaches();
    }
}
