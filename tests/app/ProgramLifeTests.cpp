// The real program through one life and the next: a refresh asked from its menu against the local server, the
// status bar saying so, the new-items alert and its link, closing to the notification area and the tray menu's
// Exit, and what the next start finds of it.
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/StandardIds.h"
#include "res/resource.h"
#include "tests/app/ProgramHarness.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include "app/ReaderApp.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

using lqprogram::FramesOf;
using lqprogram::kProgramKey;
using lqprogram::ProgramDataFolder;
using lqprogram::ProgramPath;
using lqprogram::SetProgramInt;
using lqprogram::Start;
using lqprogram::Started;
using lqprogram::StatusText;
using lqprogram::TempFolderEntries;
using lqtest::HttpUrl;
using lqtest::PumpUntil;

namespace {

struct AlertSearch
{
    DWORD processId;
    HWND hFrame;
    HWND found;
};

// The program's desktop alert: a shown topmost tool window.
HWND AlertOf(DWORD processId, HWND hFrame)
{
    AlertSearch search{processId, hFrame, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<AlertSearch*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hWnd, &owner);
            const LONG exStyle = ::GetWindowLongW(hWnd, GWL_EXSTYLE);
            if (owner == s->processId && hWnd != s->hFrame && ::IsWindowVisible(hWnd) && (exStyle & WS_EX_TOPMOST) &&
                (exStyle & WS_EX_TOOLWINDOW)) {
                s->found = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct DialogSearch
{
    DWORD processId;
    const wchar_t* caption;
    HWND found;
};

// A shown dialog of the process with this caption.
HWND DialogOf(DWORD processId, const wchar_t* caption)
{
    DialogSearch search{processId, caption, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<DialogSearch*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hWnd, &owner);
            WCHAR text[100] = L"";
            ::GetWindowTextW(hWnd, text, 100);
            if (owner == s->processId && ::IsWindowVisible(hWnd) && wcscmp(text, s->caption) == 0) {
                s->found = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The dialog's default button pressed without waiting for what it starts (a fetch, a nested dialog).
void PressOk(HWND hDlg)
{
    ::PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDOK)));
}

// Every item of the cache, by title, with its read state.
std::vector<std::pair<std::wstring, int>> CachedStates(const std::wstring& path)
{
    std::vector<std::pair<std::wstring, int>> states;
    CFeedChannel channel;
    if (!channel.LoadFile(path.c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE))
        return states;
    for (POSITION pos = channel.m_items.GetHeadPosition(); pos;) {
        CFeedItem* item = channel.m_items.GetNext(pos);
        states.emplace_back(item->m_strTitleText.GetString(), item->m_nReadState);
    }
    return states;
}

bool RegistryHas(const std::wstring& section, LPCWSTR name, DWORD type, std::vector<BYTE>* value = nullptr)
{
    const std::wstring key = std::wstring(kProgramKey) + (section.empty() ? L"" : L"\\" + section);
    DWORD found = 0;
    std::vector<BYTE> bytes(4096);
    DWORD size = static_cast<DWORD>(bytes.size());
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY, &found, bytes.data(), &size) != ERROR_SUCCESS)
        return false;
    bytes.resize(size);
    if (value)
        *value = bytes;
    return found == type;
}

class ProgramLifeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
        ASSERT_NE(lqtest::HttpPort(), 0);
        m_data = ProgramDataFolder();
        RemoveSeed();
        SetProgramInt(L"FirstRun", 0);
        SetProgramInt(L"Check at startup", 0);
        SetProgramInt(L"ViewStyle", 0);
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"Theme");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\MainFrameClassic").c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\Groups").c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\Filters").c_str());

        // One channel on the local server, slow enough that the status bar can be read while it refreshes.
        const CString savedData = theApp.m_strDataFolder;
        theApp.m_strDataFolder = m_data.c_str();
        CFeedChannel list;
        auto* entry = new CFeedItem;
        entry->m_nKind = FEED_KIND_FEED;
        entry->m_strTitleText = entry->m_strTitle = L"Planet";
        entry->m_strLinkText = entry->m_strLink =
            HttpUrl(L"/delayed/life-" + std::to_wstring(::GetCurrentProcessId()) + L"/1500/Planet").c_str();
        entry->m_strFile = L"Planet";
        entry->m_nUpdateInterval = 60;
        list.m_items.AddTail(entry);
        EXPECT_TRUE(list.SaveMainFeeds());
        theApp.m_strDataFolder = savedData;
    }
    void TearDown() override
    {
        for (Started* started : {&m_first, &m_second})
            lqprogram::EndProgram(*started);
        RemoveSeed();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
    }
    void RemoveSeed()
    {
        for (const wchar_t* name :
             {L"MainFeed.xml", L"MainFeed.bak", L"CustomFeed.xml", L"CustomFeed.bak", L"Planet.rss"})
            ::DeleteFileW((m_data + L"\\" + name).c_str());
    }
    HWND FrameOf(const Started& started)
    {
        std::vector<HWND> frames;
        WCHAR caption[100] = L"";
        PumpUntil(
            [&] {
                frames = FramesOf(started.info.dwProcessId);
                return frames.size() == 1 && ::GetWindowTextW(frames[0], caption, 100) > 0 &&
                       ::IsWindowVisible(frames[0]);
            },
            30000);
        return frames.size() == 1 ? frames[0] : nullptr;
    }

    std::wstring m_data;
    Started m_first;
    Started m_second;
};

TEST_F(ProgramLifeTest, RefreshAlertTrayExitAndTheNextStartFindsWhatWasLeft)
{
    m_first = Start(L"");
    ASSERT_TRUE(m_first.ok);
    const HWND frame = FrameOf(m_first);
    ASSERT_NE(frame, nullptr);
    // The start-of-life duties end; then the program waits in the notification area.
    ASSERT_TRUE(PumpUntil([&] { return StatusText(frame) == L"Ready"; }, 30000)) << lqtest::Narrow(StatusText(frame));
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowVisible(frame); }));
    EXPECT_EQ(::WaitForSingleObject(m_first.info.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // "Check for News" from the tray refreshes the channel; the status bar tells while it runs.
    ::PostMessageW(frame, WM_COMMAND, ID_TRAY_CHECK_FOR_NEWS, 0);
    EXPECT_TRUE(PumpUntil([&] { return StatusText(frame) == L"Updating..."; }, 10000));
    EXPECT_TRUE(PumpUntil([&] { return StatusText(frame) == L"Ready"; }, 30000));
    const std::wstring cache = m_data + L"\\Planet.rss";
    // The cache is written away from the window's thread, soon after.
    EXPECT_TRUE(PumpUntil([&] { return CachedStates(cache).size() == 2u; }));

    // Two new items: the alert comes up, and its link brings the frame back.
    HWND alert = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (alert = AlertOf(m_first.info.dwProcessId, frame)) != nullptr; }, 10000));
    int lineHeight = 0;
    {
        HDC dc = ::GetDC(alert);
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, L"Ag", 2, &size);
        ::ReleaseDC(alert, dc);
        lineHeight = size.cy;
    }
    POINT link = {46 + 30, 50 + lineHeight + 5 + 8}; // the first line is "Planet  2"
    ::ClientToScreen(alert, &link);
    lqtest::SendClick(link);
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(frame) != FALSE; }, 10000));

    // Every item read, the window somewhere else; then closed to the tray and ended from its menu.
    ::PostMessageW(frame, WM_COMMAND, ID_MARK_ALL_FEEDS_READ, 0);
    ::SetWindowPos(frame, nullptr, 50, 40, 550, 410, SWP_NOZORDER | SWP_NOACTIVATE);
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowVisible(frame); }));
    ::PostMessageW(frame, WM_COMMAND, ID_TRAY_EXIT_READER, 0);
    ASSERT_EQ(::WaitForSingleObject(m_first.info.hProcess, 30000), WAIT_OBJECT_0);

    std::vector<BYTE> wp;
    ASSERT_TRUE(RegistryHas(L"MainFrameClassic", L"WP", REG_BINARY, &wp));
    ASSERT_EQ(wp.size(), sizeof(WINDOWPLACEMENT));
    WINDOWPLACEMENT placement;
    memcpy(&placement, wp.data(), sizeof(placement));
    EXPECT_EQ(placement.rcNormalPosition.left, 50);
    EXPECT_EQ(placement.rcNormalPosition.top, 40);
    EXPECT_EQ(placement.rcNormalPosition.right, 600);
    EXPECT_EQ(placement.rcNormalPosition.bottom, 450);
    EXPECT_TRUE(RegistryHas(L"", L"Theme", REG_DWORD));
    EXPECT_TRUE(RegistryHas(L"Filters", L"QuickFilter", REG_SZ));
    EXPECT_TRUE(RegistryHas(L"Groups", L"Count", REG_DWORD));
    EXPECT_TRUE(RegistryHas(L"Groups", L"State", REG_BINARY));
    EXPECT_EQ(TempFolderEntries(), 0);
    const auto states = CachedStates(cache);
    ASSERT_EQ(states.size(), 2u);
    for (const auto& state : states)
        EXPECT_EQ(state.second, FEED_STATE_READ) << lqtest::Narrow(state.first);

    // The next start: the same place, the same channel and read states.
    m_second = Start(L"");
    ASSERT_TRUE(m_second.ok);
    const HWND again = FrameOf(m_second);
    ASSERT_NE(again, nullptr);
    RECT rect = {};
    ::GetWindowRect(again, &rect);
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right, 600);
    EXPECT_EQ(rect.bottom, 450);
    ASSERT_TRUE(PumpUntil([&] { return StatusText(again) == L"Ready"; }, 30000));
    ::PostMessageW(again, WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_EQ(::WaitForSingleObject(m_second.info.hProcess, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(CachedStates(cache), states);
    const std::string list = lqtest::ReadFileBytes(m_data + L"\\MainFeed.xml");
    EXPECT_NE(list.find("Planet"), std::string::npos);
}

// As a user would: an empty data folder, two feeds subscribed (one handed over by a second start as a feed: link,
// one typed into "Subscribe"), a refresh, one channel read, the program ended from its tray menu; the next start
// has the same channels and read states.
TEST_F(ProgramLifeTest, SubscribedFeedsAndTheirReadStatesOutliveTheProgram)
{
    RemoveSeed();
    const std::wstring key = L"e2e-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring harbour = HttpUrl(L"/delayed/" + key + L"/1000/Harbour");
    const std::wstring valley = HttpUrl(L"/delayed/" + key + L"/1000/Valley");
    // Files another test left under these names would push the new channels' files to other names.
    struct Cleanup
    {
        std::wstring data;
        void Remove() const
        {
            for (const wchar_t* name : {L"Harbour.rss", L"Valley.rss", L"Harbour.ico", L"Valley.ico"})
                ::DeleteFileW((data + L"\\" + name).c_str());
        }
        ~Cleanup() { Remove(); }
    } cleanup{m_data};
    cleanup.Remove();

    m_first = Start(L"");
    ASSERT_TRUE(m_first.ok);
    const HWND frame = FrameOf(m_first);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return StatusText(frame) == L"Ready"; }, 30000));
    const std::wstring customList = m_data + L"\\CustomFeed.xml";
    auto listHolds = [&](const std::wstring& address) {
        return lqtest::ReadFileBytes(customList).find(lqtest::Narrow(address)) != std::string::npos;
    };

    // A feed: link opened while the program runs: the second start hands it over and ends.
    Started second = Start(L"feed://" + harbour.substr(7));
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(::WaitForSingleObject(second.info.hProcess, 30000), WAIT_OBJECT_0);
    lqprogram::CloseHandles(second);
    HWND customize = nullptr;
    ASSERT_TRUE(
        PumpUntil([&] { return (customize = DialogOf(m_first.info.dwProcessId, L"Customize the Feed")); }, 30000));
    PressOk(customize);
    ASSERT_TRUE(PumpUntil([&] { return listHolds(harbour); }, 10000));

    // Harbour read before the second subscription arrives, once its items are there: marked earlier, the refresh
    // that follows the subscription would bring them in unread.
    ASSERT_TRUE(PumpUntil([&] { return CachedStates(m_data + L"\\Harbour.rss").size() == 2u; }, 30000));
    ::PostMessageW(frame, WM_COMMAND, ID_MARK_ALL_FEEDS_READ, 0);

    // The other typed into "Subscribe" from the menu, which waits for the new channel's refresh to end.
    ASSERT_TRUE(PumpUntil([&] { return StatusText(frame) == L"Ready"; }, 30000));
    ::PostMessageW(frame, WM_COMMAND, ID_FEED_SUBSCRIBE, 0);
    HWND subscribe = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (subscribe = DialogOf(m_first.info.dwProcessId, L"Subscribe")); }, 10000));
    ::SendMessageW(::GetDlgItem(subscribe, IDC_FEED_ADDRESS), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(valley.c_str()));
    PressOk(subscribe);
    ASSERT_TRUE(
        PumpUntil([&] { return (customize = DialogOf(m_first.info.dwProcessId, L"Customize the Feed")); }, 30000));
    PressOk(customize);
    ASSERT_TRUE(PumpUntil([&] { return listHolds(valley); }, 10000));

    // "Update Now" fetches both again.
    ASSERT_TRUE(PumpUntil([&] { return StatusText(frame) == L"Ready"; }, 30000));
    ::PostMessageW(frame, WM_COMMAND, ID_FEEDS_UPDATE_NOW, 0);
    EXPECT_TRUE(PumpUntil([&] { return StatusText(frame) == L"Updating..."; }, 10000));
    EXPECT_TRUE(PumpUntil([&] { return StatusText(frame) == L"Ready"; }, 30000));

    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowVisible(frame); }));
    ::PostMessageW(frame, WM_COMMAND, ID_TRAY_EXIT_READER, 0);
    ASSERT_EQ(::WaitForSingleObject(m_first.info.hProcess, 30000), WAIT_OBJECT_0);

    const auto harbourStates = CachedStates(m_data + L"\\Harbour.rss");
    const auto valleyStates = CachedStates(m_data + L"\\Valley.rss");
    ASSERT_EQ(harbourStates.size(), 2u);
    ASSERT_EQ(valleyStates.size(), 2u);
    for (const auto& state : harbourStates)
        EXPECT_EQ(state.second, FEED_STATE_READ) << lqtest::Narrow(state.first);
    for (const auto& state : valleyStates)
        EXPECT_NE(state.second, FEED_STATE_READ) << lqtest::Narrow(state.first);

    // The next start keeps both subscriptions and what was read.
    m_second = Start(L"");
    ASSERT_TRUE(m_second.ok);
    const HWND again = FrameOf(m_second);
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return StatusText(again) == L"Ready"; }, 30000));
    ::PostMessageW(again, WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_EQ(::WaitForSingleObject(m_second.info.hProcess, 30000), WAIT_OBJECT_0);
    EXPECT_TRUE(listHolds(harbour));
    EXPECT_TRUE(listHolds(valley));
    EXPECT_EQ(CachedStates(m_data + L"\\Harbour.rss"), harbourStates);
    EXPECT_EQ(CachedStates(m_data + L"\\Valley.rss"), valleyStates);
}

} // namespace
