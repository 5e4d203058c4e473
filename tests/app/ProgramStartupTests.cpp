// The real program started on a data folder of a few hundred cached channels: the window appears, and a command
// and the exit sent at once, while the channels' items may still be read, act on every item and lose none.
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/StandardIds.h"
#include "res/resource.h"
#include "tests/app/ProgramHarness.h"
#include "tests/support/TestSupport.h"

#include "app/ReaderApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using lqprogram::FramesOf;
using lqprogram::ProgramDataFolder;
using lqprogram::ProgramPath;
using lqprogram::SetProgramInt;
using lqprogram::Start;
using lqprogram::Started;
using lqtest::PumpUntil;

namespace {

// The shown top-level windows of the process, by caption: what stood in the way when no frame appeared.
std::string ShownWindows(DWORD processId)
{
    struct Search
    {
        DWORD processId;
        std::string captions;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hWnd, &owner);
            WCHAR caption[100] = L"";
            ::GetWindowTextW(hWnd, caption, 100);
            if (owner == s->processId && ::IsWindowVisible(hWnd))
                s->captions += "[" + lqtest::Narrow(caption) + "] ";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.captions;
}

const int kChannels = 300;
const int kItems = 12;

class ProgramStartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
        m_data = ProgramDataFolder();
        RemoveSeed();
        SetProgramInt(L"FirstRun", 0);
        SetProgramInt(L"Check at startup", 0);

        const CString savedData = theApp.m_strDataFolder;
        theApp.m_strDataFolder = m_data.c_str();
        CFeedChannel cache;
        for (int i = 0; i < kItems; ++i) {
            auto* item = new CFeedItem;
            item->m_strTitle = item->m_strTitleText = (L"Story " + std::to_wstring(i)).c_str();
            item->m_strLink = item->m_strLinkText = (L"http://127.0.0.1:1/story/" + std::to_wstring(i)).c_str();
            item->m_strDescription = item->m_strDescriptionText = L"What happened, told at some length.";
            item->m_nReadState = i % 3 == 0 ? FEED_STATE_READ : FEED_STATE_UNREAD;
            cache.m_items.AddTail(item);
        }
        CFeedChannel list;
        for (int n = 0; n < kChannels; ++n) {
            auto* entry = new CFeedItem;
            entry->m_nKind = FEED_KIND_FEED;
            entry->m_strTitle = entry->m_strTitleText = (L"Startup " + std::to_wstring(n)).c_str();
            entry->m_strLink = entry->m_strLinkText = (L"http://127.0.0.1:1/startup" + std::to_wstring(n)).c_str();
            entry->m_strCategory = n % 2 ? L"World" : L"Tech";
            entry->m_strFile = Name(n).c_str();
            entry->m_nUpdateInterval = 600;
            list.m_items.AddTail(entry);
            EXPECT_TRUE(cache.SaveCache(CachePath(n).c_str(), TRUE));
        }
        EXPECT_TRUE(list.SaveMainFeeds());
        theApp.m_strDataFolder = savedData;
    }
    void TearDown() override
    {
        lqprogram::EndProgram(m_started);
        RemoveSeed();
    }

    static std::wstring Name(int n) { return L"startup" + std::to_wstring(n); }
    std::wstring CachePath(int n) const { return m_data + L"\\" + Name(n) + L".rss"; }
    void RemoveSeed()
    {
        for (const wchar_t* name : {L"MainFeed.xml", L"MainFeed.bak", L"CustomFeed.xml", L"CustomFeed.bak"})
            ::DeleteFileW((m_data + L"\\" + name).c_str());
        for (int n = 0; n < kChannels; ++n)
            ::DeleteFileW(CachePath(n).c_str());
    }

    std::wstring m_data;
    Started m_started;
};

TEST_F(ProgramStartupTest, ACommandAndTheExitSentAtOnceActOnEveryItemAndLoseNone)
{
    m_started = Start(L"");
    ASSERT_TRUE(m_started.ok);
    std::vector<HWND> frames;
    ASSERT_TRUE(PumpUntil(
        [&] {
            frames = FramesOf(m_started.info.dwProcessId);
            return frames.size() == 1 && ::IsWindowVisible(frames[0]);
        },
        30000))
        << ShownWindows(m_started.info.dwProcessId);
    ::PostMessageW(frames[0], WM_COMMAND, ID_MARK_ALL_FEEDS_READ, 0);
    ::PostMessageW(frames[0], WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_EQ(::WaitForSingleObject(m_started.info.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(m_started.info.hProcess, &code);
    EXPECT_EQ(code, 0u);

    for (int n = 0; n < kChannels; ++n) {
        SCOPED_TRACE(n);
        CFeedChannel channel;
        ASSERT_TRUE(channel.LoadFile(CachePath(n).c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
        ASSERT_EQ(kItems, channel.m_items.GetCount());
        for (POSITION pos = channel.m_items.GetHeadPosition(); pos;)
            EXPECT_EQ(FEED_STATE_READ, channel.m_items.GetNext(pos)->m_nReadState);
    }
}

} // namespace
