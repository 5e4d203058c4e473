// The real program's "Settings": the view style and the connection time-out changed in the sheet, the restart the
// view style asks for, and the next start running with both; a channel and a category deleted from the navigation
// pane, their files gone, and the next start without them.
#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "res/resource.h"
#include "tests/app/ProgramHarness.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

using lqprogram::FramesOf;
using lqprogram::kProgramKey;
using lqprogram::ProgramInt;
using lqprogram::ProgramPath;
using lqprogram::SetProgramInt;
using lqprogram::Start;
using lqprogram::Started;
using lqprogram::StatusText;
using lqtest::HttpUrl;
using lqtest::PumpUntil;

namespace {

struct WindowSearch
{
    DWORD processId;
    bool (*match)(HWND);
    HWND found;
};

HWND WindowOf(DWORD processId, bool (*match)(HWND))
{
    WindowSearch search{processId, match, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<WindowSearch*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hWnd, &owner);
            if (owner == s->processId && ::IsWindowVisible(hWnd) && s->match(hWnd)) {
                s->found = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsSettingsSheet(HWND hWnd)
{
    WCHAR text[64] = L"";
    ::GetWindowTextW(hWnd, text, 64);
    return wcscmp(text, L"Settings") == 0 && ::FindWindowExW(hWnd, nullptr, WC_TABCONTROLW, nullptr) != nullptr;
}

// A message box that asks Yes or No.
bool IsQuestion(HWND hWnd)
{
    WCHAR cls[16] = L"";
    ::GetClassNameW(hWnd, cls, 16);
    return wcscmp(cls, L"#32770") == 0 && ::GetDlgItem(hWnd, IDYES) != nullptr && ::GetDlgItem(hWnd, IDNO) != nullptr;
}

// The sheet's page at the index, made current.
HWND ShowPage(HWND hSheet, int index)
{
    ::SendMessageW(hSheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    return reinterpret_cast<HWND>(::SendMessageW(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

std::wstring ItemText(HWND hPage, int nID)
{
    WCHAR text[64] = L"";
    ::GetDlgItemTextW(hPage, nID, text, 64);
    return text;
}

HWND FrameOf(const Started& started)
{
    std::vector<HWND> frames;
    PumpUntil(
        [&] {
            frames = FramesOf(started.info.dwProcessId);
            return frames.size() == 1 && ::IsWindowVisible(frames[0]);
        },
        30000);
    return frames.size() == 1 ? frames[0] : nullptr;
}

HWND OpenSettings(const Started& started, HWND hFrame)
{
    ::PostMessageW(hFrame, WM_COMMAND, ID_SETTINGS, 0);
    HWND hSheet = nullptr;
    PumpUntil([&] { return (hSheet = WindowOf(started.info.dwProcessId, IsSettingsSheet)) != nullptr; }, 30000);
    return hSheet;
}

class ProgramOptionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
        SetProgramInt(L"FirstRun", 0);
        SetProgramInt(L"Check at startup", 0);
        SetProgramInt(L"ViewStyle", 0);
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\Connection").c_str(), L"Timeout");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\MainFrame").c_str());
    }
    void TearDown() override
    {
        for (Started* started : {&m_first, &m_second})
            lqprogram::EndProgram(*started);
        SetProgramInt(L"ViewStyle", 0);
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\Connection").c_str(), L"Timeout");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
    }

    Started m_first;
    Started m_second;
};

TEST_F(ProgramOptionsTest, TheViewStyleAndTheTimeoutChosenInSettingsHoldAfterTheRestartTheyAskFor)
{
    m_first = Start(L"");
    ASSERT_TRUE(m_first.ok);
    HWND hFrame = FrameOf(m_first);
    ASSERT_NE(hFrame, nullptr);
    HWND hSheet = OpenSettings(m_first, hFrame);
    ASSERT_NE(hSheet, nullptr);

    // Pages: General, View Style, Channel View, Connection Settings, Color Themes.
    HWND hPage = ShowPage(hSheet, 1);
    ASSERT_NE(::GetDlgItem(hPage, IDC_VIEW_MODERN), nullptr);
    ::SendMessageW(::GetDlgItem(hPage, IDC_VIEW_MODERN), BM_CLICK, 0, 0);
    hPage = ShowPage(hSheet, 3);
    ASSERT_NE(::GetDlgItem(hPage, IDC_OPTIONS_TIMEOUT), nullptr);
    ::SetDlgItemTextW(hPage, IDC_OPTIONS_TIMEOUT, L"75");
    ::PostMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);

    // The view style asks for a restart once everything is written; Yes ends the program.
    HWND hQuestion = nullptr;
    ASSERT_TRUE(
        PumpUntil([&] { return (hQuestion = WindowOf(m_first.info.dwProcessId, IsQuestion)) != nullptr; }, 30000));
    EXPECT_EQ(ProgramInt(L"ViewStyle", 0), 1u);
    ::PostMessageW(hQuestion, WM_COMMAND, IDYES, 0);
    ASSERT_EQ(::WaitForSingleObject(m_first.info.hProcess, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(ProgramInt(L"ViewStyle", 0), 1u);

    // The next start runs in the modern style with the time-out chosen.
    m_second = Start(L"");
    ASSERT_TRUE(m_second.ok);
    hFrame = FrameOf(m_second);
    ASSERT_NE(hFrame, nullptr);
    hSheet = OpenSettings(m_second, hFrame);
    ASSERT_NE(hSheet, nullptr);
    hPage = ShowPage(hSheet, 3);
    EXPECT_EQ(ItemText(hPage, IDC_OPTIONS_TIMEOUT), L"75");
    hPage = ShowPage(hSheet, 2);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hPage, IDC_OPTIONS_VIEW_TITLES))) << "modes offered in the modern style";
    ::PostMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    ASSERT_TRUE(PumpUntil([&] { return WindowOf(m_second.info.dwProcessId, IsSettingsSheet) == nullptr; }, 30000));
    ::PostMessageW(hFrame, WM_COMMAND, ID_TRAY_EXIT_READER, 0);
    ASSERT_EQ(::WaitForSingleObject(m_second.info.hProcess, 30000), WAIT_OBJECT_0);
    // The modern frame keeps its placement under its own name.
    HKEY key = nullptr;
    EXPECT_EQ(
        ::RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\MainFrame").c_str(), 0, KEY_READ, &key),
        ERROR_SUCCESS);
    if (key)
        ::RegCloseKey(key);
}

// A message box of the program with the string's text.
HWND MessageBoxOf(DWORD processId, UINT nID)
{
    static std::wstring s_text;
    s_text = LoadResourceString(nID).GetString();
    return WindowOf(processId, [](HWND hWnd) {
        WCHAR cls[16] = L"";
        ::GetClassNameW(hWnd, cls, 16);
        WCHAR text[300] = L"";
        ::GetDlgItemTextW(hWnd, 0xFFFF, text, 300);
        return wcscmp(cls, L"#32770") == 0 && s_text == text;
    });
}

std::vector<std::wstring> StoredTitles(const std::wstring& path)
{
    std::vector<std::wstring> titles;
    CFeedChannel list;
    if (!list.LoadFile(path.c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE))
        return {L"<unreadable>"};
    for (POSITION pos = list.m_items.GetHeadPosition(); pos;)
        titles.push_back(list.m_items.GetNext(pos)->m_strTitleText.GetString());
    return titles;
}

class ProgramChannelsTest : public ::testing::Test
{
protected:
    struct Seed
    {
        const wchar_t* title;
        const wchar_t* category;
    };
    // Two channels a category, so that one channel's deletion leaves every group in place.
    static constexpr Seed kSeeds[] = {
        {L"Dock", L"Harbour"}, {L"Pier", L"Harbour"}, {L"Keel", L"Sailing"}, {L"Mast", L"Sailing"}};

    void SetUp() override
    {
        ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
        ASSERT_NE(lqtest::HttpPort(), 0);
        SetProgramInt(L"FirstRun", 0);
        SetProgramInt(L"Check at startup", 0);
        SetProgramInt(L"ViewStyle", 0);
        m_data = lqprogram::ProgramDataFolder();
        m_prefix = L"Del" + std::to_wstring(::GetCurrentProcessId());
        RemoveSeed();
        const CString savedData = theApp.m_strDataFolder;
        theApp.m_strDataFolder = m_data.c_str();
        CFeedChannel list;
        const std::string feed = lqtest::ReadFileBytes(lqtest::SourcePath(L"companions\\fixtures\\subscribe-feed.xml"));
        for (const Seed& seed : kSeeds) {
            auto* entry = new CFeedItem;
            entry->m_nKind = FEED_KIND_FEED;
            entry->m_strTitle = entry->m_strTitleText = seed.title;
            entry->m_strLink = entry->m_strLinkText =
                HttpUrl(L"/files/companions/fixtures/subscribe-feed.xml?" + std::wstring(seed.title)).c_str();
            entry->m_strCategory = seed.category;
            entry->m_strFile = File(seed.title).c_str();
            entry->m_bMayUnsubscribe = TRUE;
            entry->m_nUpdateInterval = entry->m_nCountdown = 120;
            list.m_items.AddTail(entry);
            lqtest::WriteFileBytes(Path(seed.title, L".rss"), feed);
            lqtest::WriteFileBytes(Path(seed.title, L".ico"), "icon");
        }
        EXPECT_TRUE(list.SaveCustomFeeds());
        theApp.m_strDataFolder = savedData;
    }
    void TearDown() override
    {
        for (Started* started : {&m_first, &m_second})
            lqprogram::EndProgram(*started);
        RemoveSeed();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
    }
    std::wstring File(const std::wstring& title) const { return m_prefix + title; }
    std::wstring Path(const std::wstring& title, const wchar_t* extension) const
    {
        return m_data + L"\\" + File(title) + extension;
    }
    bool HasFiles(const std::wstring& title) const
    {
        return ::GetFileAttributesW(Path(title, L".rss").c_str()) != INVALID_FILE_ATTRIBUTES ||
               ::GetFileAttributesW(Path(title, L".ico").c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::vector<std::wstring> Stored() const { return StoredTitles(m_data + L"\\CustomFeed.xml"); }
    void RemoveSeed()
    {
        for (const wchar_t* name : {L"MainFeed.xml", L"MainFeed.bak", L"CustomFeed.xml", L"CustomFeed.bak"})
            ::DeleteFileW((m_data + L"\\" + name).c_str());
        for (const Seed& seed : kSeeds) {
            ::DeleteFileW(Path(seed.title, L".rss").c_str());
            ::DeleteFileW(Path(seed.title, L".ico").c_str());
        }
    }

    // Walks the mouse down the navigation pane and gives the command at each point, until the stored list changes.
    // The mouse is moved for real, and the move is also handed to the window under it, so that the pane's hot item
    // is set before the command arrives. A question the command asks is answered Yes; a refusal while a refresh
    // runs is answered and the point tried again once the refresh has ended.
    bool CommandDownThePane(HWND hFrame, UINT nCommand)
    {
        const std::vector<std::wstring> before = Stored();
        RECT client{};
        ::GetClientRect(hFrame, &client);
        ::MapWindowPoints(hFrame, nullptr, reinterpret_cast<POINT*>(&client), 2);
        for (LONG y = client.top + 2; y < client.bottom - 2; y += 4) {
            const POINT point = {client.left + 40, y};
            bool bAnswered = false;
            for (int attempt = 0; attempt < 3; ++attempt) {
                ::SetForegroundWindow(hFrame);
                if (!PumpUntil([&] { return ::GetForegroundWindow() == hFrame; }, 5000) || !lqtest::MoveMouse(point))
                    return false;
                HWND hUnder = ::WindowFromPoint(point);
                POINT local = point;
                ::ScreenToClient(hUnder, &local);
                DWORD_PTR result = 0;
                ::SendMessageTimeoutW(hUnder, WM_MOUSEMOVE, 0, MAKELPARAM(local.x, local.y), SMTO_NORMAL, 5000,
                                      &result);
                if (::SendMessageTimeoutW(hFrame, WM_COMMAND, nCommand, 0, SMTO_NORMAL, 1500, &result))
                    break;
                // The command waits on a message box.
                HWND hBox = nullptr;
                PumpUntil(
                    [&] {
                        hBox = MessageBoxOf(m_first.info.dwProcessId, IDS_DELETE_CATEGORY_QUESTION);
                        if (hBox)
                            return true;
                        hBox = MessageBoxOf(m_first.info.dwProcessId, IDS_BUSY_UPDATING);
                        return hBox != nullptr;
                    },
                    10000);
                if (!hBox)
                    return false;
                const bool bBusy = MessageBoxOf(m_first.info.dwProcessId, IDS_BUSY_UPDATING) == hBox;
                ::PostMessageW(hBox, WM_COMMAND, bBusy ? IDOK : IDYES, 0);
                PumpUntil([&] { return !::IsWindow(hBox); }, 10000);
                if (!bBusy) {
                    bAnswered = true;
                    break;
                }
                PumpUntil([&] { return StatusText(hFrame) == L"Ready"; }, 30000);
            }
            // A deletion saves the list before the command returns; after a question, once the box has gone.
            if (Stored() != before || (bAnswered && PumpUntil([&] { return Stored() != before; }, 5000)))
                return true;
        }
        return false;
    }

    std::wstring m_data;
    std::wstring m_prefix;
    Started m_first;
    Started m_second;
};

TEST_F(ProgramChannelsTest, AChannelAndACategoryDeletedFromThePaneStayDeletedAfterARestart)
{
    m_first = Start(L"");
    ASSERT_TRUE(m_first.ok);
    const HWND hFrame = FrameOf(m_first);
    ASSERT_NE(hFrame, nullptr);
    ASSERT_EQ(Stored(), (std::vector<std::wstring>{L"Dock", L"Pier", L"Keel", L"Mast"}));

    // "Unsubscribe" on the first channel the pane shows.
    ASSERT_TRUE(CommandDownThePane(hFrame, ID_CHANNEL_UNSUBSCRIBE));
    std::vector<std::wstring> left = Stored();
    ASSERT_EQ(left.size(), 3u);
    std::wstring gone;
    for (const Seed& seed : kSeeds) {
        const bool kept = std::find(left.begin(), left.end(), seed.title) != left.end();
        EXPECT_NE(HasFiles(seed.title), !kept) << lqtest::Narrow(seed.title);
        if (!kept)
            gone = seed.title;
    }

    // "Delete Category" on the first group: every channel in it goes, with its files.
    ASSERT_TRUE(CommandDownThePane(hFrame, ID_CATEGORY_DELETE));
    const std::vector<std::wstring> kept = Stored();
    ASSERT_LT(kept.size(), left.size());
    ASSERT_FALSE(kept.empty()) << "one category is left";
    std::wstring keptCategory;
    for (const Seed& seed : kSeeds) {
        if (seed.title == kept.front())
            keptCategory = seed.category;
    }
    for (const Seed& seed : kSeeds) {
        const bool bKept = std::find(kept.begin(), kept.end(), seed.title) != kept.end();
        EXPECT_EQ(bKept, seed.title != gone && seed.category == keptCategory) << lqtest::Narrow(seed.title);
        EXPECT_EQ(HasFiles(seed.title), bKept) << lqtest::Narrow(seed.title);
    }

    ::PostMessageW(hFrame, WM_COMMAND, ID_TRAY_EXIT_READER, 0);
    ASSERT_EQ(::WaitForSingleObject(m_first.info.hProcess, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(Stored(), kept);

    // The next start shows and keeps only what was left.
    m_second = Start(L"");
    ASSERT_TRUE(m_second.ok);
    const HWND hAgain = FrameOf(m_second);
    ASSERT_NE(hAgain, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return StatusText(hAgain) == L"Ready"; }, 30000));
    ::PostMessageW(hAgain, WM_COMMAND, ID_TRAY_EXIT_READER, 0);
    ASSERT_EQ(::WaitForSingleObject(m_second.info.hProcess, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(Stored(), kept);
    for (const std::wstring& title : kept)
        EXPECT_TRUE(HasFiles(title));
}

} // namespace
