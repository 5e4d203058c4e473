#include "app/SubscriptionLists.h"

#include "app/MainFrm.h"
#include "companions/FeedSubscribeDlg.h"
#include "feeds/DataFiles.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"

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

// One entry's cache file, read off the window's thread.
struct CacheRead
{
    CFeedItem* entry = nullptr;
    CString path;
    bool exists = false;
    std::unique_ptr<CFeedChannel> channel;
    CFeedChannel::OwnFileRead result = CFeedChannel::OWN_FILE_REFUSED;
};

// The feed entries of a list, each with its cache file's path.
void AddCacheReads(CFeedChannel* pList, std::vector<CacheRead>& reads)
{
    for (POSITION pos = pList ? pList->m_items.GetHeadPosition() : nullptr; pos;) {
        CFeedItem* entry = pList->m_items.GetNext(pos);
        if (entry->m_nKind != FEED_KIND_FEED)
            continue;
        CacheRead read;
        read.entry = entry;
        read.path = entry->GetCacheFileName();
        read.exists = FileExists(read.path);
        reads.push_back(std::move(read));
    }
}

// Every cache file read through the one-pass reader by a few threads at once: the files are independent, and reading
// them one after another kept the window from showing for seconds with a few hundred subscriptions.
void ReadCaches(std::vector<CacheRead>& reads)
{
    std::atomic<size_t> next{0};
    auto work = [&reads, &next] {
        for (size_t i = next++; i < reads.size(); i = next++) {
            CacheRead& read = reads[i];
            if (!read.exists)
                continue;
            read.channel = std::make_unique<CFeedChannel>();
            read.result = read.channel->ReadOwnFile(read.path);
        }
    };
    const size_t helpers = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()) - 1, reads.size() / 16);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < helpers; ++i) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break; // fewer helpers: this thread reads the rest
        }
    }
    work();
    for (std::thread& thread : threads)
        thread.join();
}

// The channel read for the entry; a file the one-pass reader left is read here through the XML library.
bool AdoptCache(CacheRead& read)
{
    if (read.result == CFeedChannel::OWN_FILE_LEFT)
        return LoadEntryCache(read.entry);
    if (read.result != CFeedChannel::OWN_FILE_LOADED)
        return false;
    delete read.entry->m_pChannel;
    read.entry->m_pChannel = read.channel.release();
    return true;
}

} // namespace

BOOL CSubscriptionLists::Load()
{
    const CString folder = GetEngineContext().m_strDataFolder;
    if (folder.IsEmpty())
        return TRUE; // no data folder: no lists, and nothing is read from the current drive's root
    std::unique_ptr<CFeedChannel> mainFeeds(LoadList(folder + L"\\MainFeed.xml"));
    std::unique_ptr<CFeedChannel> customFeeds(LoadCustomList(folder + L"\\CustomFeed.xml"));
    std::vector<CacheRead> mainReads, customReads;
    AddCacheReads(mainFeeds.get(), mainReads);
    AddCacheReads(customFeeds.get(), customReads);
    std::vector<CacheRead> reads;
    reads.reserve(mainReads.size() + customReads.size());
    std::move(mainReads.begin(), mainReads.end(), std::back_inserter(reads));
    const size_t customStart = reads.size();
    std::move(customReads.begin(), customReads.end(), std::back_inserter(reads));
    ReadCaches(reads);

    for (size_t i = 0; i < reads.size(); ++i) {
        CacheRead& read = reads[i];
        CFeedItem* entry = read.entry;
        const bool loaded = read.exists && AdoptCache(read);
        if (loaded) {
            entry->m_dtDate = entry->m_pChannel->m_dtLastUpdate;
            entry->m_nCountdown = entry->m_nUpdateInterval;
        } else if (!read.exists && i < customStart) {
            // A main-list entry without a cache waits its interval; a custom one keeps its countdown (0 when fresh
            // from the file): due at once.
            entry->m_nCountdown = entry->m_nUpdateInterval;
        }
    }
    m_pMain = std::move(mainFeeds);
    m_pCustom = std::move(customFeeds);
    return TRUE;
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
