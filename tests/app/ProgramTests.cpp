// The main frame's answers to a second start, and the real program started, probed, handed a feed address by a
// second start, and closed.
#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "res/resource.h"
#include "tests/app/ProgramHarness.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

LRESULT SendRecord(HWND hWnd, ULONG_PTR dwData, const void* data, DWORD bytes)
{
    COPYDATASTRUCT record = {};
    record.dwData = dwData;
    record.cbData = bytes;
    record.lpData = const_cast<void*>(data);
    return ::SendMessageW(hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
}

TEST(MainFrameTest, OnlyAWholeFeedAddressIsTakenFromASecondStart)
{
    auto* frame = new CMainFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    const HWND hWnd = frame->GetSafeHwnd();
    EXPECT_EQ(::SendMessageW(hWnd, WM_INSTANCE_PROBE, 0, 0), static_cast<LRESULT>(WM_INSTANCE_PROBE));

    const std::wstring good = L"http://127.0.0.1/feed.xml";
    const DWORD goodBytes = static_cast<DWORD>((good.size() + 1) * sizeof(wchar_t));
    const std::wstring unterminated = L"http://127.0.0.1/a";
    const std::wstring script = L"javascript:alert(1)";
    const std::wstring quoted = L"http://x/\" /evil";
    const struct
    {
        const char* name;
        ULONG_PTR dwData;
        const void* data;
        DWORD bytes;
    } refused[] = {
        {"another record", 4, good.c_str(), goodBytes},
        {"no terminating zero", 3, unterminated.c_str(), static_cast<DWORD>(unterminated.size() * sizeof(wchar_t))},
        {"an odd length", 3, good.c_str(), goodBytes - 1},
        {"no data", 3, nullptr, goodBytes},
        {"not a feed address", 3, script.c_str(), static_cast<DWORD>((script.size() + 1) * sizeof(wchar_t))},
        {"a quote inside", 3, quoted.c_str(), static_cast<DWORD>((quoted.size() + 1) * sizeof(wchar_t))},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SendRecord(hWnd, c.dwData, c.data, c.bytes), FALSE);
    }
    EXPECT_TRUE(frame->FeedCommands().GetHandedOver().IsEmpty());
    EXPECT_EQ(SendRecord(hWnd, 3, good.c_str(), goodBytes), TRUE);
    ASSERT_EQ(frame->FeedCommands().GetHandedOver().GetCount(), 1);
    EXPECT_STREQ(frame->FeedCommands().GetHandedOver().GetHead().GetString(), good.c_str());
    frame->DestroyWindow();
}

using lqprogram::FramesOf;
using lqprogram::ProgramInt;
using lqprogram::ProgramPath;
using lqprogram::SetProgramInt;
using lqprogram::Start;
using lqprogram::Started;

struct WizardSearch
{
    DWORD processId;
    HWND hWnd;
};

HWND WizardOf(DWORD processId)
{
    WizardSearch search{processId, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<WizardSearch*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hWnd, &owner);
            WCHAR caption[64] = L"";
            ::GetWindowTextW(hWnd, caption, 64);
            if (owner == s->processId && ::IsWindowVisible(hWnd) && wcscmp(caption, L"Getting Started") == 0) {
                s->hWnd = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.hWnd;
}

// The wizard's page showing now, once it holds the control.
HWND PageWith(HWND hWizard, int nID)
{
    HWND hPage = nullptr;
    lqtest::PumpUntil(
        [&] {
            hPage = reinterpret_cast<HWND>(::SendMessageW(hWizard, PSM_GETCURRENTPAGEHWND, 0, 0));
            return hPage != nullptr && ::GetDlgItem(hPage, nID) != nullptr;
        },
        10000);
    return hPage != nullptr && ::GetDlgItem(hPage, nID) != nullptr ? hPage : nullptr;
}

void ClickOnPage(HWND hWizard, int nID)
{
    HWND hPage = PageWith(hWizard, nID);
    ASSERT_NE(hPage, nullptr) << nID;
    ::SendMessageW(::GetDlgItem(hPage, nID), BM_CLICK, 0, 0);
}

TEST(ProgramTest, TheFirstStartAsksThroughTheWizardAndKeepsTheChoices)
{
    ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
    SetProgramInt(L"FirstRun", 1);
    SetProgramInt(L"ViewStyle", 0);
    SetProgramInt(L"ReportStat", 1);
    Started started = Start(L"/background");
    ASSERT_TRUE(started.ok);
    HWND hWizard = nullptr;
    ASSERT_TRUE(lqtest::PumpUntil([&] { return (hWizard = WizardOf(started.info.dwProcessId)) != nullptr; }, 30000));
    // No frame before the wizard is done.
    EXPECT_TRUE(FramesOf(started.info.dwProcessId).empty());

    ASSERT_NE(PageWith(hWizard, IDC_WIZARD_INTRO_TITLE), nullptr);
    ::SendMessageW(hWizard, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    ClickOnPage(hWizard, IDC_VIEW_MODERN);
    ::SendMessageW(hWizard, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    ASSERT_NE(PageWith(hWizard, IDC_WIZARD_COUNTRY), nullptr);
    ::SendMessageW(hWizard, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    ClickOnPage(hWizard, IDC_GLOWMARK_DISABLE);
    ::SendMessageW(hWizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);

    std::vector<HWND> frames;
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !(frames = FramesOf(started.info.dwProcessId)).empty(); }, 30000));
    EXPECT_EQ(ProgramInt(L"FirstRun", 1), 0u);
    EXPECT_EQ(ProgramInt(L"ViewStyle", 0), 1u);
    EXPECT_EQ(ProgramInt(L"ReportStat", 1), 0u);

    // The menu's About command reaches the application object, which shows the About box.
    ::PostMessageW(frames[0], WM_COMMAND, 0xE140 /* About this Program */, 0);
    HWND hAbout = nullptr;
    EXPECT_TRUE(lqtest::PumpUntil(
        [&] {
            struct Search
            {
                DWORD processId;
                HWND found;
            } search{started.info.dwProcessId, nullptr};
            ::EnumWindows(
                [](HWND hWnd, LPARAM lParam) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(lParam);
                    DWORD owner = 0;
                    ::GetWindowThreadProcessId(hWnd, &owner);
                    WCHAR text[100] = L"";
                    ::GetWindowTextW(hWnd, text, 100);
                    if (owner == s->processId && ::IsWindowVisible(hWnd) && wcsncmp(text, L"About", 5) == 0)
                        s->found = hWnd;
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            return (hAbout = search.found) != nullptr;
        },
        30000));
    if (hAbout != nullptr)
        ::PostMessageW(hAbout, WM_COMMAND, IDOK, 0);

    // Closing the window keeps the program in the notification area; the tray menu's Exit ends it.
    ::PostMessageW(frames[0], WM_COMMAND, ID_TRAY_EXIT_READER, 0);
    EXPECT_EQ(::WaitForSingleObject(started.info.hProcess, 30000), WAIT_OBJECT_0);
    ::CloseHandle(started.info.hProcess);
    ::CloseHandle(started.info.hThread);
    SetProgramInt(L"ViewStyle", 0);
    SetProgramInt(L"ReportStat", 1);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
}

TEST(ProgramTest, StartsInTheBackgroundTakesASecondStartsAddressAndEnds)
{
    ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
    SetProgramInt(L"FirstRun", 0);
    Started first = Start(L"/background");
    ASSERT_TRUE(first.ok);
    std::vector<HWND> frames;
    WCHAR caption[100] = L"";
    // The frame exists before its creation has given it the branding's caption, and has both before it is moved
    // into the notification area: a second start in between would find it on its way there.
    ASSERT_TRUE(lqtest::PumpUntil(
        [&] {
            frames = FramesOf(first.info.dwProcessId);
            return frames.size() == 1 && ::GetWindowTextW(frames[0], caption, 100) > 0 &&
                   ::GetAncestor(frames[0], GA_PARENT) != ::GetDesktopWindow();
        },
        30000));
    const HWND frame = frames[0];
    EXPECT_STREQ(caption, L"Lanternquill");
    // In the background the window stays hidden in the notification area.
    EXPECT_FALSE(::IsWindowVisible(frame));

    // A second start with a feed address hands it over and ends at once.
    const std::wstring address =
        lqtest::HttpUrl(L"/delayed/background-" + std::to_wstring(::GetCurrentProcessId()) + L"/0/Handed");
    Started second = Start(address);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(::WaitForSingleObject(second.info.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(second.info.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(FramesOf(second.info.dwProcessId).size(), 0u);
    // Its probe brought the running copy forward.
    EXPECT_TRUE(::IsWindowVisible(frame));

    // The address went to the subscribe flow: its feed fetched, "Customize the Feed" asks. An exit meanwhile
    // only brings that dialog forward; the user's "Don't Subscribe" ends it, then the exit is taken.
    HWND customize = nullptr;
    ASSERT_TRUE(lqtest::PumpUntil(
        [&] {
            customize = ::FindWindowW(L"#32770", L"Customize the Feed");
            return customize != nullptr && ::IsWindowVisible(customize);
        },
        30000));
    ::PostMessageW(frame, WM_COMMAND, ID_TRAY_EXIT_READER, 0);
    EXPECT_EQ(::WaitForSingleObject(first.info.hProcess, 1000), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(::IsWindow(customize));
    ::PostMessageW(customize, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !::IsWindow(customize); }, 10000));
    ::PostMessageW(frame, WM_COMMAND, ID_TRAY_EXIT_READER, 0);
    EXPECT_EQ(::WaitForSingleObject(first.info.hProcess, 30000), WAIT_OBJECT_0);
    for (HANDLE handle : {first.info.hProcess, first.info.hThread, second.info.hProcess, second.info.hThread})
        ::CloseHandle(handle);

    // The temporary folder was emptied at exit.
    EXPECT_EQ(lqprogram::TempFolderEntries(), 0);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
}

// A second start that comes while the first copy is still starting (in the background, on its way to the
// notification area) hands its address over all the same, and the frame comes forward and stays.
TEST(ProgramTest, ASecondStartDuringTheFirstsStartHandsOverItsAddress)
{
    ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
    SetProgramInt(L"FirstRun", 0);
    Started first = Start(L"/background");
    ASSERT_TRUE(first.ok);
    // Only as long as it takes the first copy to claim the single-instance mutex, so that the second is second.
    ASSERT_TRUE(lqtest::PumpUntil(
        [] {
            HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, L"LANTERN_QUILL_UNIQE_INSTANCE");
            if (mutex != nullptr)
                ::CloseHandle(mutex);
            return mutex != nullptr;
        },
        30000));
    const std::wstring address =
        lqtest::HttpUrl(L"/delayed/early-" + std::to_wstring(::GetCurrentProcessId()) + L"/0/Early");
    Started second = Start(address);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(::WaitForSingleObject(second.info.hProcess, 90000), WAIT_OBJECT_0);
    std::vector<HWND> frames = FramesOf(first.info.dwProcessId);
    ASSERT_EQ(frames.size(), 1u);
    const HWND frame = frames[0];
    EXPECT_TRUE(::IsWindowVisible(frame));

    HWND customize = nullptr;
    ASSERT_TRUE(lqtest::PumpUntil(
        [&] {
            customize = ::FindWindowW(L"#32770", L"Customize the Feed");
            return customize != nullptr && ::IsWindowVisible(customize);
        },
        30000));
    EXPECT_TRUE(::IsWindowVisible(frame));
    ::PostMessageW(customize, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !::IsWindow(customize); }, 10000));
    ::PostMessageW(frame, WM_COMMAND, ID_TRAY_EXIT_READER, 0);
    EXPECT_EQ(::WaitForSingleObject(first.info.hProcess, 30000), WAIT_OBJECT_0);
    for (HANDLE handle : {first.info.hProcess, first.info.hThread, second.info.hProcess, second.info.hThread})
        ::CloseHandle(handle);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
}

// The real program refreshing at start in the background: every channel's cache file and site icon as the local
// server gives them, a dead server's channel without a cache, and the list saved at the end of the refresh.
TEST(ProgramTest, RefreshesAtStartAndKeepsWhatTheServerGave)
{
    ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
    ASSERT_NE(lqtest::HttpPort(), 0);
    SetProgramInt(L"FirstRun", 0);
    SetProgramInt(L"Check at startup", 1);
    WCHAR appData[MAX_PATH] = L"";
    ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, TRUE));
    const std::wstring folder = std::wstring(appData) + L"\\Lanternquill";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring key = L"program-" + std::to_wstring(::GetCurrentProcessId());
    const wchar_t* names[] = {L"alpha", L"beta", L"dead"};
    auto file = [&](const std::wstring& name) { return folder + L"\\" + name; };
    for (const wchar_t* name : names)
        for (const wchar_t* ext : {L".rss", L".ico"})
            ::DeleteFileW(file(std::wstring(name) + ext).c_str());
    ::DeleteFileW(file(L"CustomFeed.xml").c_str());
    ::DeleteFileW(file(L"CustomFeed.bak").c_str());
    {
        const CString savedFolder = theApp.m_strDataFolder;
        theApp.m_strDataFolder = folder.c_str();
        CFeedChannel list;
        for (const wchar_t* name : names) {
            auto* entry = new CFeedItem;
            entry->m_nKind = FEED_KIND_FEED;
            entry->m_strTitle = entry->m_strTitleText = name;
            entry->m_strFile = name;
            entry->m_nUpdateInterval = 60;
            entry->m_strLink = entry->m_strLinkText = wcscmp(name, L"dead") == 0
                                                          ? L"http://127.0.0.1:1/feed"
                                                          : lqtest::HttpUrl(L"/delayed/" + key + L"/0/" + name).c_str();
            list.m_items.AddTail(entry);
        }
        ASSERT_TRUE(list.SaveMainFeeds());
        theApp.m_strDataFolder = savedFolder;
    }
    WIN32_FILE_ATTRIBUTE_DATA seeded = {};
    ASSERT_TRUE(::GetFileAttributesExW(file(L"MainFeed.xml").c_str(), GetFileExInfoStandard, &seeded));

    Started started = Start(L"/background");
    ASSERT_TRUE(started.ok);
    auto itemTitles = [&](const wchar_t* name) {
        std::vector<std::wstring> titles;
        CFeedChannel stored;
        if (stored.LoadFile(file(std::wstring(name) + L".rss").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE))
            for (POSITION pos = stored.m_items.GetHeadPosition(); pos;)
                titles.push_back(stored.m_items.GetNext(pos)->m_strTitleText.GetString());
        return titles;
    };
    // The refresh ends with the list written again.
    EXPECT_TRUE(lqtest::PumpUntil(
        [&] {
            WIN32_FILE_ATTRIBUTE_DATA now = {};
            return ::GetFileAttributesExW(file(L"MainFeed.xml").c_str(), GetFileExInfoStandard, &now) &&
                   ::CompareFileTime(&now.ftLastWriteTime, &seeded.ftLastWriteTime) > 0 &&
                   itemTitles(L"beta").size() == 2;
        },
        60000));
    for (const wchar_t* name : {L"alpha", L"beta"}) {
        SCOPED_TRACE(lqtest::Narrow(name));
        const std::wstring n = name;
        EXPECT_EQ(itemTitles(name), (std::vector<std::wstring>{n + L" item 1", n + L" item 2"}));
        EXPECT_EQ(lqtest::ReadFileBytes(file(n + L".ico")).substr(0, 4), std::string("\0\0\1\0", 4));
    }
    EXPECT_EQ(::GetFileAttributesW(file(L"dead.rss").c_str()), INVALID_FILE_ATTRIBUTES);

    std::vector<HWND> frames = FramesOf(started.info.dwProcessId);
    ASSERT_EQ(frames.size(), 1u);
    ::PostMessageW(frames[0], WM_COMMAND, ID_TRAY_EXIT_READER, 0);
    EXPECT_EQ(::WaitForSingleObject(started.info.hProcess, 30000), WAIT_OBJECT_0);
    ::CloseHandle(started.info.hProcess);
    ::CloseHandle(started.info.hThread);
    CFeedChannel saved;
    ASSERT_TRUE(saved.LoadFile(file(L"MainFeed.xml").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    EXPECT_EQ(saved.m_items.GetCount(), 3);
    for (const wchar_t* name : names)
        for (const wchar_t* ext : {L".rss", L".ico"})
            ::DeleteFileW(file(std::wstring(name) + ext).c_str());
    ::DeleteFileW(file(L"MainFeed.xml").c_str());
    ::DeleteFileW(file(L"MainFeed.bak").c_str());
    ::DeleteFileW(file(L"CustomFeed.xml").c_str());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
}

} // namespace
