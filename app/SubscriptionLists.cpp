#include "app/SubscriptionLists.h"
#include "res/resource.h"

#include "app/MainFrm.h"
#include "companions/FeedSubscribeDlg.h"
#include "feeds/DataFiles.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/win/WinApp.h"

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

BOOL CSubscriptionLists::Load()
{
    const CString folder = GetEngineContext().m_strDataFolder;
    if (folder.IsEmpty())
        return TRUE; // no data folder: no lists, and nothing is read from the current drive's root
    std::unique_ptr<CFeedChannel> mainFeeds(LoadMainList(folder));
    for (POSITION pos = mainFeeds ? mainFeeds->m_items.GetHeadPosition() : nullptr; pos;) {
        CFeedItem* entry = mainFeeds->m_items.GetNext(pos);
        if (entry->m_nKind != FEED_KIND_FEED)
            continue;
        const bool hasCache = FileExists(entry->GetCacheFileName());
        if (hasCache && LoadEntryCache(entry)) {
            entry->m_dtDate = entry->m_pChannel->m_dtLastUpdate;
            entry->m_nCountdown = entry->m_nUpdateInterval;
        } else if (!hasCache) {
            entry->m_nCountdown = entry->m_nUpdateInterval;
        }
    }
    std::unique_ptr<CFeedChannel> customFeeds(LoadCustomList(folder + L"\\CustomFeed.xml"));
    for (POSITION pos = customFeeds ? customFeeds->m_items.GetHeadPosition() : nullptr; pos;) {
        CFeedItem* entry = customFeeds->m_items.GetNext(pos);
        // Entries whose cache is missing keep their countdown (0 when fresh from the file): due at once.
        if (entry->m_nKind == FEED_KIND_FEED && LoadEntryCache(entry)) {
            entry->m_dtDate = entry->m_pChannel->m_dtLastUpdate;
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
