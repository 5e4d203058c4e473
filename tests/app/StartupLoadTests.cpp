// The main frame's start on a data folder of a few hundred channels: every entry's counts are those its cache file
// holds from the first build of the pane, its items read after that on worker threads; a cache left to the XML
// library is read as well, a damaged one loads nothing and stays as it was. A command, a click or the end of the
// frame while the items are read waits for them, and the end writes every item back.
#include "app/MainFrm.h"
#include "tests/app/MainFrameTestSupport.h"
#include "app/ReaderApp.h"
#include "app/SubscriptionLists.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "res/resource.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelItem.h"
#include "views/FeedTaskPanel.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using lqtest::CountingMainFrame;
using lqtest::PumpUntil;
using lqtest::TempFolder;

namespace {

const int kMainChannels = 200;
const int kCustomChannels = 100;

// How the cache of channel n is seeded.
enum class CacheForm
{
    Plain,
    ForTheLibrary, // a comment in it: read through the XML library
    Damaged,       // cut short
    Missing,
};

CacheForm FormOf(int n)
{
    switch (n % 37) {
    case 5:
        return CacheForm::ForTheLibrary;
    case 11:
        return CacheForm::Damaged;
    case 23:
        return CacheForm::Missing;
    default:
        return CacheForm::Plain;
    }
}

struct Counts
{
    int fresh = 0;
    int unread = 0;
    int read = 0;
    bool operator==(const Counts& other) const
    {
        return fresh == other.fresh && unread == other.unread && read == other.read;
    }
};

// The titles and read states of a cache file as the library reads it; empty when it does not load.
std::vector<std::pair<std::wstring, int>> StoredStates(const std::wstring& path)
{
    std::vector<std::pair<std::wstring, int>> states;
    CFeedChannel channel;
    if (channel.LoadFile(path.c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE))
        for (POSITION pos = channel.m_items.GetHeadPosition(); pos;) {
            const CFeedItem* item = channel.m_items.GetNext(pos);
            states.emplace_back(item->m_strTitle.GetString(), item->m_nReadState);
        }
    return states;
}

class StartupLoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theApp.m_settings.nHideReadChannels = 0;
        theApp.WriteProfileInt(L"", L"Check at startup", 0);
    }
    void TearDown() override
    {
        if (m_frame)
            m_frame->DestroyWindow();
        lqtest::PumpPending();
    }

    // Channel n's cache: n % 7 new items, n % 5 unread, n % 4 + 1 read.
    void SeedCache(int n, const std::wstring& name)
    {
        const std::wstring path = m_data.File((name + L".rss").c_str());
        const CacheForm form = FormOf(n);
        if (form == CacheForm::Missing)
            return;
        CFeedChannel cache;
        cache.m_info.m_strTitle = name.c_str();
        Counts counts;
        const int states[] = {FEED_STATE_NEW, FEED_STATE_UNREAD, FEED_STATE_READ};
        const int amounts[] = {n % 7, n % 5, n % 4 + 1};
        for (int s = 0; s < 3; ++s)
            for (int i = 0; i < amounts[s]; ++i) {
                auto* item = new CFeedItem;
                item->m_strTitle = item->m_strTitleText =
                    (name + L" item " + std::to_wstring(s) + L"." + std::to_wstring(i) + L" <b>&amp;</b> \x00E9")
                        .c_str();
                item->m_strLink = item->m_strLinkText =
                    (L"http://127.0.0.1:1/" + name + L"/" + std::to_wstring(s * 100 + i)).c_str();
                item->m_nReadState = states[s];
                cache.m_items.AddTail(item);
            }
        ASSERT_TRUE(cache.SaveCache(path.c_str(), TRUE));
        std::string bytes = lqtest::ReadFileBytes(path);
        if (form == CacheForm::ForTheLibrary)
            bytes.insert(bytes.find("<rss"), "<!-- kept by hand -->\n");
        else if (form == CacheForm::Damaged)
            bytes.resize(bytes.size() / 2);
        ASSERT_TRUE(lqtest::WriteFileBytes(path, bytes));
        // An item stored as new is read back as unread, by either reader.
        if (form != CacheForm::Damaged)
            m_expected[name] = Counts{0, amounts[0] + amounts[1], amounts[2]};
        m_seeded[name] = bytes;
    }

    void SeedList(const wchar_t* file, int first, int count)
    {
        CFeedChannel list;
        for (int n = first; n < first + count; ++n) {
            const std::wstring name = L"channel" + std::to_wstring(n);
            auto* entry = new CFeedItem;
            entry->m_nKind = FEED_KIND_FEED;
            entry->m_strTitle = entry->m_strTitleText = name.c_str();
            entry->m_strLink = entry->m_strLinkText = (L"http://127.0.0.1:1/" + name).c_str();
            entry->m_strCategory = n % 3 ? L"World" : L"Tech";
            entry->m_strFile = name.c_str();
            entry->m_nUpdateInterval = 60;
            list.m_items.AddTail(entry);
            SeedCache(n, name);
        }
        ASSERT_TRUE(list.SaveMainFeeds());
        if (wcscmp(file, L"MainFeed.xml") != 0) {
            ASSERT_TRUE(::MoveFileW(m_data.File(L"MainFeed.xml").c_str(), m_data.File(file).c_str()));
        }
    }

    TempFolder m_data;
    TempFolder m_temp;
    apptest::AppSandbox m_sandbox{L"LanternquillStartupTests", m_data, m_temp};
    CountingMainFrame* m_frame = nullptr; // deletes itself with its window
    std::map<std::wstring, Counts> m_expected;
    std::map<std::wstring, std::string> m_seeded;

    void SeedBothLists()
    {
        SeedList(L"CustomFeed.xml", kMainChannels, kCustomChannels);
        SeedList(L"MainFeed.xml", 0, kMainChannels);
    }

    // Every entry's counts as its cache file holds them; with bItems, its channel is read as well.
    void ExpectCountsOfTheCaches(bool bItems)
    {
        int seen = 0;
        ForEachEntry(m_frame->Lists().Main(), m_frame->Lists().Custom(), [&](CFeedChannel*, CFeedItem* entry) {
            const std::wstring name = entry->m_strFile.GetString();
            SCOPED_TRACE(lqtest::Narrow(name));
            ++seen;
            auto expected = m_expected.find(name);
            if (expected == m_expected.end()) {
                // Missing or damaged: no channel, nothing counted.
                EXPECT_FALSE(entry->HasChannel());
                EXPECT_EQ(0, entry->m_nNewCount + entry->m_nUnreadCount + entry->m_nReadCount);
                return;
            }
            EXPECT_TRUE(entry->HasChannel());
            EXPECT_EQ(expected->second.fresh, entry->m_nNewCount);
            EXPECT_EQ(expected->second.unread, entry->m_nUnreadCount);
            EXPECT_EQ(expected->second.read, entry->m_nReadCount);
            if (bItems) {
                ASSERT_NE(entry->m_pChannel, nullptr);
                EXPECT_FALSE(entry->m_bItemsPending);
                EXPECT_EQ(expected->second.fresh + expected->second.unread + expected->second.read,
                          static_cast<int>(entry->m_pChannel->m_items.GetCount()));
            }
        });
        EXPECT_EQ(kMainChannels + kCustomChannels, seen);
    }

    // After the frame's end: every cache written back with each item in the state given (-1: as seeded), a damaged
    // one kept as it was.
    void ExpectCachesWrittenBack(int state = -1)
    {
        for (const auto& seeded : m_seeded) {
            SCOPED_TRACE(lqtest::Narrow(seeded.first));
            const std::wstring path = m_data.File((seeded.first + L".rss").c_str());
            auto expected = m_expected.find(seeded.first);
            if (expected == m_expected.end()) {
                EXPECT_EQ(seeded.second, lqtest::ReadFileBytes(path)); // the damaged cache is kept as it was
                continue;
            }
            const Counts& counts = expected->second;
            const auto states = StoredStates(path);
            ASSERT_EQ(static_cast<size_t>(counts.fresh + counts.unread + counts.read), states.size());
            int read = 0;
            for (const auto& stored : states)
                read += stored.second == FEED_STATE_READ;
            EXPECT_EQ(state == FEED_STATE_READ ? static_cast<int>(states.size()) : counts.read, read);
        }
    }

    void DestroyFrame()
    {
        m_frame->DestroyWindow();
        m_frame = nullptr;
    }
};

// The channels' readers wait until the test lets them go; Finish reads past them.
class HeldReading
{
public:
    HeldReading() { CCacheLoader::HoldForTests(true); }
    ~HeldReading() { CCacheLoader::HoldForTests(false); }
};

TEST_F(StartupLoadTest, EveryChannelCountsWhatItsCacheHoldsAndTheEndWritesItBack)
{
    SeedBothLists();
    ASSERT_FALSE(HasFatalFailure());

    m_frame = new CountingMainFrame;
    ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    // The counts stand when the pane is first built, before any item is read.
    {
        SCOPED_TRACE("first build");
        ExpectCountsOfTheCaches(false);
    }
    ASSERT_TRUE(PumpUntil([&] { return m_frame->Pane().m_ended == 1 && !m_frame->Lists().IsReading(); }));
    EXPECT_EQ(1, m_frame->Pane().m_built);
    {
        SCOPED_TRACE("every channel read");
        ExpectCountsOfTheCaches(true);
    }

    DestroyFrame();
    ExpectCachesWrittenBack();
}

TEST_F(StartupLoadTest, AnEndWhileChannelsAreReadLosesNoItem)
{
    SeedBothLists();
    ASSERT_FALSE(HasFatalFailure());
    HeldReading held;

    m_frame = new CountingMainFrame;
    ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    ASSERT_TRUE(m_frame->Lists().IsReading());
    DestroyFrame();
    ExpectCachesWrittenBack();
}

TEST_F(StartupLoadTest, ACommandWhileChannelsAreReadActsOnEveryItem)
{
    SeedBothLists();
    ASSERT_FALSE(HasFatalFailure());
    HeldReading held;

    m_frame = new CountingMainFrame;
    ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    ASSERT_TRUE(m_frame->Lists().IsReading());
    m_frame->SendMessage(WM_COMMAND, ID_MARK_ALL_FEEDS_READ);
    EXPECT_FALSE(m_frame->Lists().IsReading());
    ForEachEntry(m_frame->Lists().Main(), m_frame->Lists().Custom(), [&](CFeedChannel*, CFeedItem* entry) {
        SCOPED_TRACE(lqtest::Narrow(entry->m_strFile.GetString()));
        auto expected = m_expected.find(entry->m_strFile.GetString());
        if (expected == m_expected.end())
            return;
        ASSERT_NE(entry->m_pChannel, nullptr);
        EXPECT_EQ(0, entry->m_nNewCount + entry->m_nUnreadCount);
        EXPECT_EQ(expected->second.fresh + expected->second.unread + expected->second.read, entry->m_nReadCount);
    });
    DestroyFrame();
    ExpectCachesWrittenBack(FEED_STATE_READ);
}

TEST_F(StartupLoadTest, AChannelClickedWhileChannelsAreReadShowsItsItems)
{
    theApp.m_settings.nViewStyle = 0; // the pane beside the news view
    SeedBothLists();
    ASSERT_FALSE(HasFatalFailure());
    HeldReading held;

    m_frame = new CountingMainFrame;
    ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    m_frame->ShowWindow(SW_SHOW);
    m_frame->UpdateWindow();
    ASSERT_TRUE(m_frame->Lists().IsReading());

    // The first channel with items that the pane shows, found where a click lands on it.
    CFeedTaskPanel* pane = m_frame->PaneSite().GetNavigationPane();
    CRect client;
    pane->GetClientRect(&client);
    CFeedItem* target = nullptr;
    CPoint at;
    for (int y = client.top + 2; y < client.bottom && !target; y += 3) {
        at = CPoint(client.CenterPoint().x, y);
        CXTPTaskPanelGroup* group = pane->HitTestGroup(at);
        CXTPTaskPanelItem* item = group != nullptr ? group->HitTest(at) : nullptr;
        ForEachEntry(m_frame->Lists().Main(), nullptr, [&](CFeedChannel*, CFeedItem* entry) {
            if (!target && item != nullptr && entry->m_pNavControl == item &&
                m_expected.count(entry->m_strFile.GetString()))
                target = entry;
        });
    }
    ASSERT_NE(target, nullptr);
    ASSERT_EQ(target->m_pChannel, nullptr) << "its items are not read yet";

    lqtest::SendClick(lqtest::ClientToScreenPoint(pane->GetSafeHwnd(), at.x, at.y));
    const auto preTranslate = [](MSG& msg) { return CWnd::WalkPreTranslateTree(nullptr, &msg) != FALSE; };
    ASSERT_TRUE(PumpUntil([&] { return m_frame->PaneSite().GetShownEntry() == target; }, 10000, preTranslate));
    ASSERT_NE(target->m_pChannel, nullptr);
    const Counts& expected = m_expected[target->m_strFile.GetString()];
    EXPECT_EQ(expected.fresh + expected.unread + expected.read,
              static_cast<int>(target->m_pChannel->m_items.GetCount()));
}

} // namespace
