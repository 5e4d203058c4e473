#include "app/CacheLoader.h"

#include "app/SubscriptionLists.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/SharedStrings.h"

#include <algorithm>
#include <system_error>

namespace {

// The tests' hold on the threads.
struct Hold
{
    std::mutex mutex;
    std::condition_variable released;
    bool held = false;
};

Hold& TestHold()
{
    static Hold hold;
    return hold;
}

} // namespace

struct CCacheLoader::Slot
{
    CFeedItem* entry = nullptr; // touched on the window's thread only
    CString path;
    std::unique_ptr<CFeedChannel> channel;
    CFeedChannel::OwnFileRead result = CFeedChannel::OWN_FILE_REFUSED;
    std::atomic<bool> read{false};
    bool taken = false;
};

void CCacheLoader::HoldForTests(bool bHold)
{
    Hold& hold = TestHold();
    {
        std::lock_guard<std::mutex> lock(hold.mutex);
        hold.held = bHold;
    }
    hold.released.notify_all();
}

CCacheLoader::CCacheLoader() = default;

CCacheLoader::~CCacheLoader()
{
    {
        Hold& hold = TestHold();
        std::lock_guard<std::mutex> lock(hold.mutex);
        m_finishing = true;
        m_next = m_slots.size(); // nothing more is started
    }
    TestHold().released.notify_all();
    Join();
}

void CCacheLoader::Start(const std::vector<CFeedItem*>& entries, HWND hNotify, UINT nMessage)
{
    if (entries.empty())
        return;
    m_hNotify = hNotify;
    m_nMessage = nMessage;
    m_pShared = std::make_unique<CSharedStrings>();
    for (CFeedItem* entry : entries) {
        auto slot = std::make_unique<Slot>();
        slot->entry = entry;
        slot->path = entry->GetCacheFileName();
        entry->m_bItemsPending = true;
        m_slots.push_back(std::move(slot));
    }
    const size_t helpers = std::max<size_t>(
        1, std::min<size_t>(std::max(2u, std::thread::hardware_concurrency()) - 1, m_slots.size() / 8));
    for (size_t i = 0; i < helpers; ++i) {
        try {
            m_threads.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            break;
        }
    }
    if (m_threads.empty())
        Finish(); // no thread to read them: read now
}

void CCacheLoader::Work()
{
    while (ReadNext(true)) {
    }
}

bool CCacheLoader::ReadNext(bool bRespectHold)
{
    if (bRespectHold) {
        Hold& hold = TestHold();
        std::unique_lock<std::mutex> lock(hold.mutex);
        hold.released.wait(lock, [this, &hold] { return !hold.held || m_finishing.load(); });
    }
    const size_t i = m_next++;
    if (i >= m_slots.size())
        return false;
    Slot& slot = *m_slots[i];
    auto channel = std::make_unique<CFeedChannel>();
    slot.result = channel->ReadOwnFile(slot.path, m_pShared.get());
    if (slot.result == CFeedChannel::OWN_FILE_LOADED)
        slot.channel = std::move(channel);
    slot.read.store(true, std::memory_order_release);
    if (bRespectHold && !m_posted.exchange(true))
        ::PostMessageW(m_hNotify, m_nMessage, 0, 0);
    return true;
}

bool CCacheLoader::TakeRead()
{
    if (m_slots.empty())
        return true;
    m_posted = false; // a channel read from now on posts again
    for (size_t i = m_taken; i < m_slots.size(); ++i) {
        Slot& slot = *m_slots[i];
        if (slot.taken || !slot.read.load(std::memory_order_acquire))
            continue;
        slot.taken = true;
        CFeedItem* entry = slot.entry;
        entry->m_bItemsPending = false;
        if (slot.result == CFeedChannel::OWN_FILE_LOADED) {
            delete entry->m_pChannel;
            entry->m_pChannel = slot.channel.release();
        } else if (slot.result == CFeedChannel::OWN_FILE_LEFT) {
            // The first pass found it plain: this happens only when the file changed since.
            LoadEntryCache(entry);
        }
        entry->CountNews();
    }
    while (m_taken < m_slots.size() && m_slots[m_taken]->taken)
        ++m_taken;
    if (m_taken < m_slots.size())
        return false;
    Join();
    m_slots.clear();
    m_pShared.reset();
    m_taken = 0;
    m_next = 0;
    return true;
}

void CCacheLoader::Finish()
{
    if (m_slots.empty())
        return;
    {
        Hold& hold = TestHold();
        std::lock_guard<std::mutex> lock(hold.mutex);
        m_finishing = true;
    }
    TestHold().released.notify_all();
    while (ReadNext(false)) {
    }
    Join();
    TakeRead();
    m_finishing = false;
}

void CCacheLoader::Join()
{
    for (std::thread& thread : m_threads)
        thread.join();
    m_threads.clear();
}
