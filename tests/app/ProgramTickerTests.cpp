// The real program with its news ticker: docked at the top and owned by the frame, hidden and shown again by the
// View menu's command (the choice kept for the next start), ended with the frame; and the navigation pane's group
// states kept across a restart when every start refreshes (and so rebuilds the pane).
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/StandardIds.h"
#include "res/resource.h"
#include "tests/app/ProgramHarness.h"
#include "tests/support/TestSupport.h"

#include "app/ReaderApp.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

using lqprogram::FramesOf;
using lqprogram::kProgramKey;
using lqprogram::SetProgramInt;
using lqprogram::Start;
using lqprogram::Started;
using lqtest::HttpUrl;
using lqtest::PumpUntil;

namespace {

std::wstring DataFolder()
{
    WCHAR path[MAX_PATH] = L"";
    ::SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, TRUE);
    const std::wstring folder = std::wstring(path) + L"\\Lanternquill";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring StatusText(HWND hFrame)
{
    HWND status = ::FindWindowExW(hFrame, nullptr, STATUSCLASSNAMEW, nullptr);
    WCHAR text[200] = L"";
    DWORD_PTR copied = 0;
    if (status)
        ::SendMessageTimeoutW(status, WM_GETTEXT, 200, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, &copied);
    return text;
}

struct TickerSearch
{
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK FindTicker(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<TickerSearch*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    WCHAR caption[20] = L"";
    ::GetWindowTextW(hWnd, caption, 20);
    if (processId == search->processId && std::wstring(caption) == L"NewsLine" && ::IsWindowVisible(hWnd)) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND TickerOf(DWORD processId)
{
    TickerSearch search{processId};
    ::EnumWindows(FindTicker, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// One "Groups" record: the caption in 50 UTF-16 units, then the expanded flag.
struct GroupRecord
{
    WCHAR caption[50];
    DWORD expanded;
};
static_assert(sizeof(GroupRecord) == 104, "a group record is 104 bytes");

std::vector<GroupRecord> GroupStates()
{
    std::vector<GroupRecord> records(64);
    DWORD size = static_cast<DWORD>(records.size() * sizeof(GroupRecord));
    const std::wstring key = std::wstring(kProgramKey) + L"\\Groups";
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"State", RRF_RT_REG_BINARY, nullptr, records.data(), &size) !=
        ERROR_SUCCESS)
        return {};
    records.resize(size / sizeof(GroupRecord));
    return records;
}

int ExpandedOf(const std::vector<GroupRecord>& records, const wchar_t* caption)
{
    for (const GroupRecord& record : records)
        if (std::wstring(record.caption) == caption)
            return record.expanded != 0;
    return -1;
}

class ProgramTickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(lqtest::HttpPort(), 0);
        m_data = DataFolder();
        RemoveSeed();
        SetProgramInt(L"FirstRun", 0);
        SetProgramInt(L"ViewStyle", 0);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\Groups").c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\NewsLine").c_str());

        const CString savedData = theApp.m_strDataFolder;
        theApp.m_strDataFolder = m_data.c_str();
        CFeedChannel list;
        const std::wstring key = L"ticker-" + std::to_wstring(::GetCurrentProcessId());
        for (const wchar_t* name : {L"Planet", L"Harbour"}) {
            auto* entry = new CFeedItem;
            entry->m_nKind = FEED_KIND_FEED;
            entry->m_strTitleText = entry->m_strTitle = name;
            entry->m_strLinkText = entry->m_strLink = HttpUrl(L"/delayed/" + key + L"/100/" + name).c_str();
            entry->m_strFile = name;
            entry->m_strCategory = std::wstring(name) == L"Planet" ? L"World" : L"Local";
            entry->m_nUpdateInterval = 60;
            list.m_items.AddTail(entry);
        }
        EXPECT_TRUE(list.SaveMainFeeds());
        theApp.m_strDataFolder = savedData;
    }
    void TearDown() override
    {
        for (Started* started : {&m_first, &m_second})
            lqprogram::EndProgram(*started);
        RemoveSeed();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\NewsLine").c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
    }
    void RemoveSeed()
    {
        for (const wchar_t* name :
             {L"MainFeed.xml", L"MainFeed.bak", L"CustomFeed.xml", L"CustomFeed.bak", L"Planet.rss", L"Harbour.rss"})
            ::DeleteFileW((m_data + L"\\" + name).c_str());
    }
    HWND ReadyFrameOf(const Started& started)
    {
        std::vector<HWND> frames;
        PumpUntil(
            [&] {
                frames = FramesOf(started.info.dwProcessId);
                return frames.size() == 1 && ::IsWindowVisible(frames[0]);
            },
            30000);
        if (frames.size() != 1)
            return nullptr;
        PumpUntil([&] { return StatusText(frames[0]) == L"Ready"; }, 30000);
        return frames[0];
    }
    void Exit(Started& started, HWND frame)
    {
        ::PostMessageW(frame, WM_COMMAND, ID_APP_EXIT, 0);
        ASSERT_EQ(::WaitForSingleObject(started.info.hProcess, 30000), WAIT_OBJECT_0);
    }

    std::wstring m_data;
    Started m_first;
    Started m_second;
};

TEST_F(ProgramTickerTest, TheTickerDocksHidesByTheViewCommandAndEndsWithTheFrame)
{
    SetProgramInt(L"Check at startup", 0);
    m_first = Start(L"");
    ASSERT_TRUE(m_first.ok);
    const HWND frame = ReadyFrameOf(m_first);
    ASSERT_NE(frame, nullptr);
    HWND ticker = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (ticker = TickerOf(m_first.info.dwProcessId)) != nullptr; }));
    EXPECT_EQ(::GetWindow(ticker, GW_OWNER), frame);
    // Its own thread, docked at the top across the screen, the default size's 30 pixels inside its edge.
    EXPECT_NE(::GetWindowThreadProcessId(ticker, nullptr), ::GetWindowThreadProcessId(frame, nullptr));
    RECT rect = {};
    ::GetWindowRect(ticker, &rect);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, ::GetSystemMetrics(SM_CXSCREEN));
    RECT client = {};
    ::GetClientRect(ticker, &client);
    EXPECT_EQ(client.bottom, 30);

    // Hidden by the View menu's command: its thread ends and the choice is kept.
    ::PostMessageW(frame, WM_COMMAND, ID_VIEW_NEWS_TICKER, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(ticker); }));
    Exit(m_first, frame);

    m_second = Start(L"");
    ASSERT_TRUE(m_second.ok);
    const HWND again = ReadyFrameOf(m_second);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(TickerOf(m_second.info.dwProcessId), nullptr);
    ::PostMessageW(again, WM_COMMAND, ID_VIEW_NEWS_TICKER, 0);
    ASSERT_TRUE(PumpUntil([&] { return TickerOf(m_second.info.dwProcessId) != nullptr; }));
    // The frame's exit closes the ticker and waits for its thread.
    Exit(m_second, again);
}

TEST_F(ProgramTickerTest, GroupStatesOutliveARestartThatRefreshes)
{
    SetProgramInt(L"Check at startup", 1);
    // "World" folded by an earlier life.
    std::vector<GroupRecord> seed(2);
    lstrcpynW(seed[0].caption, L"World", 50);
    seed[0].expanded = 0;
    lstrcpynW(seed[1].caption, L"Local", 50);
    seed[1].expanded = 1;
    const std::wstring key = std::wstring(kProgramKey) + L"\\Groups";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"State", REG_BINARY, seed.data(),
                                static_cast<DWORD>(seed.size() * sizeof(GroupRecord))),
              ERROR_SUCCESS);
    const DWORD count = 2;
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Count", REG_DWORD, &count, sizeof(count)),
              ERROR_SUCCESS);

    for (Started* started : {&m_first, &m_second}) {
        *started = Start(L"");
        ASSERT_TRUE(started->ok);
        const HWND frame = ReadyFrameOf(*started);
        ASSERT_NE(frame, nullptr);
        // The refresh at start has run (both caches written) and rebuilt the pane.
        ASSERT_TRUE(PumpUntil(
            [&] {
                return ::GetFileAttributesW((m_data + L"\\Planet.rss").c_str()) != INVALID_FILE_ATTRIBUTES &&
                       ::GetFileAttributesW((m_data + L"\\Harbour.rss").c_str()) != INVALID_FILE_ATTRIBUTES &&
                       StatusText(frame) == L"Ready";
            },
            30000));
        Exit(*started, frame);
        const std::vector<GroupRecord> saved = GroupStates();
        EXPECT_EQ(ExpandedOf(saved, L"World"), 0);
        EXPECT_EQ(ExpandedOf(saved, L"Local"), 1);
    }
}

} // namespace
