// The real program refreshing: its window answers throughout a refresh of large feeds, and hundreds of refreshes
// leave its memory where it was.
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/HttpFetch.h"
#include "framework/StandardIds.h"
#include "res/resource.h"
#include "tests/app/ProgramHarness.h"
#include "tests/support/TestSupport.h"

#include "app/ReaderApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using lqprogram::FramesOf;
using lqprogram::kProgramKey;
using lqprogram::ProgramDataFolder;
using lqprogram::ProgramPath;
using lqprogram::SetProgramInt;
using lqprogram::Start;
using lqprogram::Started;
using lqprogram::StatusText;
using lqtest::HttpUrl;
using lqtest::PumpUntil;

namespace {

class ProgramRefreshTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
        ASSERT_NE(lqtest::HttpPort(), 0);
        m_data = ProgramDataFolder();
        SetProgramInt(L"FirstRun", 0);
        SetProgramInt(L"Check at startup", 0);
        SetProgramInt(L"ViewStyle", 0);
        m_key =
            L"program-refresh-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount());
    }
    void TearDown() override
    {
        lqprogram::EndProgram(m_started);
        RemoveSeed();
    }

    // The main list of the data folder: one channel for each address, files named after the titles.
    void Seed(const std::vector<std::pair<std::wstring, std::wstring>>& channels)
    {
        const CString savedData = theApp.m_strDataFolder;
        theApp.m_strDataFolder = m_data.c_str();
        CFeedChannel list;
        for (const auto& channel : channels) {
            auto* entry = new CFeedItem;
            entry->m_nKind = FEED_KIND_FEED;
            entry->m_strTitleText = entry->m_strTitle = channel.first.c_str();
            entry->m_strLinkText = entry->m_strLink = channel.second.c_str();
            entry->m_strFile = channel.first.c_str();
            entry->m_nUpdateInterval = 600;
            list.m_items.AddTail(entry);
            m_seeded.push_back(channel.first);
        }
        EXPECT_TRUE(list.SaveMainFeeds());
        theApp.m_strDataFolder = savedData;
    }
    void RemoveSeed()
    {
        for (const wchar_t* name : {L"MainFeed.xml", L"MainFeed.bak", L"CustomFeed.xml", L"CustomFeed.bak"})
            ::DeleteFileW((m_data + L"\\" + name).c_str());
        for (const std::wstring& title : m_seeded) {
            ::DeleteFileW((m_data + L"\\" + title + L".rss").c_str());
            ::DeleteFileW((m_data + L"\\" + title + L".ico").c_str());
        }
    }

    HWND StartProgram()
    {
        m_started = Start(L"");
        if (!m_started.ok)
            return nullptr;
        std::vector<HWND> frames;
        PumpUntil(
            [&] {
                frames = FramesOf(m_started.info.dwProcessId);
                return frames.size() == 1 && ::IsWindowVisible(frames[0]) && StatusText(frames[0]) == L"Ready";
            },
            30000);
        return frames.size() == 1 ? frames[0] : nullptr;
    }

    void Exit(HWND frame)
    {
        ::PostMessageW(frame, WM_COMMAND, ID_APP_EXIT, 0);
        EXPECT_EQ(::WaitForSingleObject(m_started.info.hProcess, 60000), WAIT_OBJECT_0);
    }

    int CachedItems(const std::wstring& title) const
    {
        CFeedChannel channel;
        if (!channel.LoadFile((m_data + L"\\" + title + L".rss").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE))
            return -1;
        return channel.m_items.GetCount();
    }

    std::wstring m_data;
    std::wstring m_key;
    std::vector<std::wstring> m_seeded;
    Started m_started;
};

// Sends the window a message every few milliseconds from a thread of its own and keeps the longest wait.
class ResponseProbe
{
public:
    explicit ResponseProbe(HWND hWnd)
        : m_thread([this, hWnd] {
              // Probes 10 ms apart until stopped.
              do {
                  const ULONGLONG sent = ::GetTickCount64();
                  DWORD_PTR result = 0;
                  ::SendMessageTimeoutW(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
                  const ULONGLONG waited = ::GetTickCount64() - sent;
                  if (waited > m_longest)
                      m_longest = waited;
                  ++m_probes;
              } while (::WaitForSingleObject(m_stop, 10) == WAIT_TIMEOUT);
          })
    {
    }
    ~ResponseProbe()
    {
        Stop();
        ::CloseHandle(m_stop);
    }
    void Stop()
    {
        ::SetEvent(m_stop);
        if (m_thread.joinable())
            m_thread.join();
    }
    ULONGLONG Longest() const { return m_longest; }
    int Probes() const { return m_probes; }

private:
    HANDLE m_stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<ULONGLONG> m_longest{0};
    std::atomic<int> m_probes{0};
    std::thread m_thread;
};

// Three feeds of 4,000 items (about 4 MB each) were read, merged and cached on the window's thread, which froze it
// for seconds for each feed at every refresh. Now only the merge is left there, through the first refresh (new
// channels) and the second (merged into what is shown): every probe is answered within a second, the longest
// wait being the end of the refresh (the pane built again, the status line, the new-items alert), not a feed.
TEST_F(ProgramRefreshTest, TheWindowAnswersThroughoutARefreshOfLargeFeeds)
{
    std::vector<std::pair<std::wstring, std::wstring>> channels;
    for (const wchar_t* name : {L"Atlas", L"Boreal", L"Cirrus"})
        channels.emplace_back(name, HttpUrl((std::wstring(L"/big-feed/4000/") + name).c_str()));
    Seed(channels);
    const HWND frame = StartProgram();
    ASSERT_NE(frame, nullptr);

    for (int refresh = 1; refresh <= 2; ++refresh) {
        SCOPED_TRACE(refresh);
        ResponseProbe probe(frame);
        ::PostMessageW(frame, WM_COMMAND, ID_FEEDS_UPDATE_NOW, 0);
        EXPECT_TRUE(PumpUntil([&] { return StatusText(frame) == L"Updating..."; }, 10000));
        EXPECT_TRUE(PumpUntil([&] { return StatusText(frame) == L"Ready"; }, 120000));
        probe.Stop();
        EXPECT_GT(probe.Probes(), 10);
        EXPECT_LT(probe.Longest(), 1000u);
        for (const auto& channel : channels)
            EXPECT_TRUE(PumpUntil([&] { return CachedItems(channel.first) == 4000; }, 30000))
                << lqtest::Narrow(channel.first);
    }
    Exit(frame);
}

// The memory that every refresh used to keep (the XML library's own save of a document that declares UTF-8)
// would grow the program by about 300 KB for each cache written, without end: hundreds of refreshes of a few
// channels leave the program's memory where it was after the first ones.
TEST_F(ProgramRefreshTest, HundredsOfRefreshesLeaveTheProgramsMemoryWhereItWas)
{
    const int kChannels = 4;
    std::vector<std::pair<std::wstring, std::wstring>> channels;
    for (int i = 0; i < kChannels; ++i) {
        const std::wstring name = L"Tide" + std::to_wstring(i);
        channels.emplace_back(name, HttpUrl((L"/conn/" + m_key + L"/" + name).c_str()));
    }
    Seed(channels);
    const HWND frame = StartProgram();
    ASSERT_NE(frame, nullptr);

    lqtest::TempFolder folder;
    const std::wstring seenFile = folder.File(L"seen.txt");
    const auto requests = [&] {
        if (DownloadUrlToFile(HttpUrl((L"/conn-seen/" + m_key).c_str()).c_str(), seenFile.c_str(), nullptr, FALSE,
                              nullptr, nullptr, nullptr) != HTTP_FETCH_DONE)
            return -1;
        int connections = 0, count = 0;
        return sscanf(lqtest::ReadFileBytes(seenFile).c_str(), "%d %d", &connections, &count) == 2 ? count : -1;
    };
    // Committed private memory, summed over the program's address space: the platform's process counters stay 0
    // here.
    const auto memory = [&] {
        SIZE_T total = 0;
        MEMORY_BASIC_INFORMATION info;
        for (BYTE* address = nullptr;
             ::VirtualQueryEx(m_started.info.hProcess, address, &info, sizeof(info)) == sizeof(info);
             address = static_cast<BYTE*>(info.BaseAddress) + info.RegionSize) {
            if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
                total += info.RegionSize;
        }
        return static_cast<double>(total) / (1024.0 * 1024.0);
    };

    const int kWarmUp = 40;
    const int kRefreshes = 200;
    double settled = 0;
    for (int refresh = 1; refresh <= kRefreshes; ++refresh) {
        ::PostMessageW(frame, WM_COMMAND, ID_FEEDS_UPDATE_NOW, 0);
        // Every channel asked, and the refresh ended.
        ASSERT_TRUE(
            PumpUntil([&] { return requests() >= refresh * kChannels && StatusText(frame) == L"Ready"; }, 30000))
            << "refresh " << refresh;
        if (refresh == kWarmUp)
            settled = memory();
    }
    const double grown = memory() - settled;
    // The leak grew it by about 190 MB over these refreshes; what is left is the heap's own noise.
    EXPECT_GT(settled, 1.0) << "the program's memory is read";
    EXPECT_LT(grown, 8.0) << "MiB after " << kRefreshes - kWarmUp << " more refreshes";
    Exit(frame);
}

} // namespace
