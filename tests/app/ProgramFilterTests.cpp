// The real program filtering and searching: words typed into the "Quick Filter" dialog run while "Please Wait" shows
// and leave the marked page in the temporary folder; a search typed into the pane's "Search-in" box reaches the
// local server with its text encoded and brings its page; the filter is in the profile after the exit.
#include "app/FilteredResults.h"
#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/StandardIds.h"
#include "res/resource.h"
#include "tests/app/ProgramHarness.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <set>
#include <string>
#include <vector>

using lqprogram::FramesOf;
using lqprogram::kProgramKey;
using lqprogram::ProgramPath;
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

std::wstring ProgramTempFolder()
{
    WCHAR temp[MAX_PATH + 1] = L"";
    ::GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp) + L"LanternquillT";
}

// The pages the program wrote to its temporary folder.
std::set<std::wstring> PageFiles()
{
    std::set<std::wstring> files;
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((ProgramTempFolder() + L"\\tmd*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do
            files.insert(ProgramTempFolder() + L"\\" + found.cFileName);
        while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    return files;
}

// A page file written since the ones known, once it reads whole.
bool NewPage(const std::set<std::wstring>& known, CFeedChannel& page)
{
    for (const std::wstring& file : PageFiles()) {
        if (known.count(file) == 0 && page.LoadFile(file.c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE))
            return true;
    }
    return false;
}

HWND ShownWindowOf(DWORD processId, const wchar_t* caption)
{
    struct Search
    {
        DWORD processId;
        const wchar_t* caption;
        HWND found;
    } search{processId, caption, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
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

HWND DescendantOfClass(HWND hParent, const wchar_t* className)
{
    struct Search
    {
        const wchar_t* className;
        HWND found;
    } search{className, nullptr};
    ::EnumChildWindows(
        hParent,
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            WCHAR name[64] = L"";
            ::GetClassNameW(hWnd, name, 64);
            if (_wcsicmp(name, s->className) == 0) {
                s->found = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether the keyboard focus of the window's thread is on the window or inside it: typing starts only then, as a
// click's focus change reaches the program after the click itself.
bool FocusIsIn(HWND hWnd)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(hWnd, nullptr), &info) &&
           (info.hwndFocus == hWnd || ::IsChild(hWnd, info.hwndFocus));
}

std::vector<std::wstring> Titles(const CFeedChannel& channel)
{
    std::vector<std::wstring> titles;
    for (POSITION pos = channel.m_items.GetHeadPosition(); pos;)
        titles.emplace_back(channel.m_items.GetNext(pos)->m_strTitleText.GetString());
    return titles;
}

CFeedItem* NewsItem(const wchar_t* title, const wchar_t* text, int day)
{
    auto* item = new CFeedItem;
    item->m_strTitle = item->m_strTitleText = title;
    item->m_strDescription = item->m_strDescriptionText = text;
    item->m_strLink = item->m_strLinkText = (std::wstring(L"http://127.0.0.1:1/") + title).c_str();
    item->m_dtDate.SetDateTime(2026, 5, day, 8, 0, 0);
    return item;
}

class ProgramFilterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
        ASSERT_NE(lqtest::HttpPort(), 0);
        m_data = DataFolder();
        RemoveSeed();
        SetProgramInt(L"FirstRun", 0);
        SetProgramInt(L"Check at startup", 0);
        SetProgramInt(L"ViewStyle", 0);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\Filters").c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\Groups").c_str());

        // A channel with its cache, and a "Search-in" entry on the local server.
        const CString savedData = theApp.m_strDataFolder;
        theApp.m_strDataFolder = m_data.c_str();
        CFeedChannel list;
        auto* planet = new CFeedItem;
        planet->m_nKind = FEED_KIND_FEED;
        planet->m_strTitleText = planet->m_strTitle = L"Planet";
        planet->m_strLinkText = planet->m_strLink = L"http://127.0.0.1:1/planet";
        planet->m_strFile = L"Planet";
        planet->m_nUpdateInterval = 60;
        list.m_items.AddTail(planet);
        auto* finder = new CFeedItem;
        finder->m_nKind = FEED_KIND_SEARCH_IN;
        finder->m_strTitleText = finder->m_strTitle = L"Search the archive";
        finder->m_strLinkText = finder->m_strLink = HttpUrl(L"/search-feed").c_str();
        finder->m_strInput = L"q";
        list.m_items.AddTail(finder);
        EXPECT_TRUE(list.SaveMainFeeds());
        CFeedChannel cache;
        cache.m_info.m_strTitle = L"Planet";
        cache.m_items.AddTail(NewsItem(L"Apple harvest", L"The barns are full", 2));
        cache.m_items.AddTail(NewsItem(L"Rain today", L"Windfall apples rot", 6));
        cache.m_items.AddTail(NewsItem(L"Pears", L"Another fruit", 4));
        EXPECT_TRUE(cache.SaveCache((m_data + L"\\Planet.rss").c_str(), TRUE));
        theApp.m_strDataFolder = savedData;
    }
    void TearDown() override
    {
        lqprogram::EndProgram(m_started);
        RemoveSeed();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
    }
    void RemoveSeed()
    {
        for (const wchar_t* name :
             {L"MainFeed.xml", L"MainFeed.bak", L"CustomFeed.xml", L"CustomFeed.bak", L"Planet.rss"})
            ::DeleteFileW((m_data + L"\\" + name).c_str());
    }
    bool BringForward(HWND hWnd)
    {
        return PumpUntil(
            [&] {
                ::SetForegroundWindow(hWnd);
                return ::GetForegroundWindow() == hWnd;
            },
            10000);
    }

    std::wstring m_data;
    Started m_started;
};

TEST_F(ProgramFilterTest, AFilterTypedInItsDialogAndASearchTypedInThePaneBringTheirPages)
{
    m_started = Start(L"");
    ASSERT_TRUE(m_started.ok);
    const DWORD pid = m_started.info.dwProcessId;
    HWND hFrame = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            std::vector<HWND> frames = FramesOf(pid);
            hFrame = frames.size() == 1 && ::IsWindowVisible(frames[0]) ? frames[0] : nullptr;
            return hFrame != nullptr;
        },
        30000));

    // "Run Quick Filter...": the words typed as a user types them, Enter for OK.
    std::set<std::wstring> known = PageFiles();
    ::PostMessageW(hFrame, WM_COMMAND, ID_QUICK_FILTER, 0);
    HWND hDialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (hDialog = ShownWindowOf(pid, L"Quick Filter")) != nullptr; }, 30000));
    ASSERT_TRUE(BringForward(hDialog));
    ASSERT_TRUE(PumpUntil([&] { return FocusIsIn(hDialog); }, 10000));
    lqtest::TypeText(L"APPLE");
    lqtest::TapKey(VK_RETURN);
    bool bWaitShown = false;
    CFeedChannel filtered;
    ASSERT_TRUE(PumpUntil(
        [&] {
            bWaitShown = bWaitShown || ShownWindowOf(pid, L"Please Wait") != nullptr;
            return NewPage(known, filtered);
        },
        30000));
    // The wait ends with the build; the page holds the two items with the word, newest first, marked.
    EXPECT_TRUE(PumpUntil([&] { return ShownWindowOf(pid, L"Please Wait") == nullptr; }, 30000));
    EXPECT_EQ(ShownWindowOf(pid, L"Quick Filter"), nullptr);
    EXPECT_EQ(Titles(filtered), (std::vector<std::wstring>{L"Rain today", L"Apple harvest"}));
    ASSERT_EQ(filtered.m_items.GetCount(), 2);
    CString stored = filtered.m_items.GetTail()->m_strTitle;
    EXPECT_GE(stored.MakeLower().Find(L"<b><font color=\"#ff0000\">apple</font></b>"), 0)
        << lqtest::Narrow(filtered.m_items.GetTail()->m_strTitle.GetString());
    RecordProperty("WaitDialogSeen", bWaitShown ? 1 : 0);

    // The "Search-in" box of the pane: typed into, Enter. The pane may still be rebuilt for the filter's entry,
    // which makes the box anew: find it, click into it and type until it holds the whole text.
    ASSERT_TRUE(BringForward(hFrame));
    known = PageFiles();
    HWND hEdit = nullptr;
    auto boxText = [&] {
        WCHAR text[100] = L"";
        ::SendMessageW(hEdit, WM_GETTEXT, 100, reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    bool bTyped = false;
    for (int attempt = 0; attempt < 5 && !bTyped; ++attempt) {
        HWND hBox = DescendantOfClass(hFrame, WC_COMBOBOXEXW);
        ASSERT_NE(hBox, nullptr) << "the pane hosts the search box";
        hEdit = DescendantOfClass(hBox, L"Edit");
        ASSERT_NE(hEdit, nullptr);
        RECT rcEdit;
        ::GetWindowRect(hEdit, &rcEdit);
        const POINT inEdit{(rcEdit.left + rcEdit.right) / 2, (rcEdit.top + rcEdit.bottom) / 2};
        ASSERT_TRUE(lqtest::MoveMouse(inEdit));
        lqtest::ClickAt(inEdit);
        PumpUntil([&] { return FocusIsIn(hEdit); }, 2000);
        ::SendMessageW(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        lqtest::TypeText(L"rain & snow");
        bTyped = PumpUntil([&] { return boxText() == L"rain & snow"; }, 3000);
    }
    ASSERT_TRUE(bTyped) << lqtest::Narrow(boxText());
    lqtest::TapKey(VK_RETURN);
    CFeedChannel searched;
    ASSERT_TRUE(PumpUntil([&] { return NewPage(known, searched); }, 30000));
    // The server names its channel after the query it got: the text arrived whole, encoded.
    const std::wstring query = searched.m_info.m_strTitle.GetString();
    EXPECT_NE(query.find(L"q=rain"), std::wstring::npos) << lqtest::Narrow(query);
    EXPECT_NE(query.find(L"%26"), std::wstring::npos) << lqtest::Narrow(query);
    EXPECT_EQ(query.find(L" & "), std::wstring::npos) << lqtest::Narrow(query);

    // The filter outlives the program.
    ::PostMessageW(hFrame, WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_EQ(::WaitForSingleObject(m_started.info.hProcess, 30000), WAIT_OBJECT_0);
    WCHAR filter[100] = L"";
    DWORD size = sizeof(filter);
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\Filters").c_str(), L"QuickFilter",
                             RRF_RT_REG_SZ, nullptr, filter, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(filter, L"#AND#apple#/AND#");
}

} // namespace
