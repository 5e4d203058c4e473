// The real program's Customize command: the sheet opened from the frame, a command dragged from the Commands page
// onto the Main toolbar by the mouse, a toolbar made and renamed on the Toolbars page, an option changed, and the
// next start finding the bars as the user left them.
#include "framework/StandardIds.h"
#include "res/resource.h"
#include "tests/app/ProgramHarness.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

using lqprogram::FramesOf;
using lqprogram::kProgramKey;
using lqprogram::ProgramPath;
using lqprogram::SetProgramInt;
using lqprogram::Start;
using lqprogram::Started;
using lqtest::PumpUntil;

namespace {

// The ids of the sheet's pages' controls (the toolkit's resources).
const int kCategoryList = 9338;
const int kCommandList = 9327;
const int kToolbarList = 9305;
const int kNewToolbar = 9308;
const int kRenameToolbar = 9309;
const int kToolbarName = 9329;
const int kScreenTips = 9344;
const UINT kCustomize = 35001;

struct WindowSearch
{
    DWORD processId;
    const wchar_t* text;
    bool bChild;
    HWND found;
};

bool Matches(HWND hWnd, const WindowSearch& search)
{
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    WCHAR text[100] = L"";
    ::GetWindowTextW(hWnd, text, 100);
    return owner == search.processId && ::IsWindowVisible(hWnd) && wcscmp(text, search.text) == 0;
}

BOOL CALLBACK MatchChild(HWND hWnd, LPARAM lParam)
{
    auto* s = reinterpret_cast<WindowSearch*>(lParam);
    if (Matches(hWnd, *s))
        s->found = hWnd;
    return s->found == nullptr;
}

BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam)
{
    auto* s = reinterpret_cast<WindowSearch*>(lParam);
    if (Matches(hWnd, *s)) {
        s->found = hWnd;
        return FALSE;
    }
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    // Child windows: EnumChildWindows walks every descendant.
    if (s->bChild && owner == s->processId)
        ::EnumChildWindows(hWnd, MatchChild, lParam);
    return s->found == nullptr;
}

// A shown top-level window of the process with this caption; with bChild also its shown child windows.
HWND WindowOf(DWORD processId, const wchar_t* text, bool bChild = false)
{
    WindowSearch search{processId, text, bChild, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void DeleteBarLayout()
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> names;
    WCHAR name[256];
    for (DWORD i = 0;; ++i) {
        DWORD cch = 256;
        if (::RegEnumKeyExW(hKey, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (wcsncmp(name, L"CommandBars", 11) == 0)
            names.emplace_back(name);
    }
    for (const std::wstring& key : names)
        ::RegDeleteTreeW(hKey, key.c_str());
    ::RegCloseKey(hKey);
}

DWORD LayoutInt(const wchar_t* section, const wchar_t* value)
{
    DWORD data = 0;
    DWORD size = sizeof(data);
    const std::wstring key = std::wstring(kProgramKey) + L"\\" + section;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS)
        return 0xFFFFFFFF;
    return data;
}

// The colours across the middle row of a window, as the screen shows them.
std::vector<COLORREF> RowOf(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    const int cx = rc.right - rc.left;
    std::vector<COLORREF> row(static_cast<size_t>(cx > 0 ? cx : 0));
    HDC hdcScreen = ::GetDC(nullptr);
    HDC hdcRow = ::CreateCompatibleDC(hdcScreen);
    HBITMAP hRow = ::CreateCompatibleBitmap(hdcScreen, cx, 1);
    HGDIOBJ hOld = ::SelectObject(hdcRow, hRow);
    ::BitBlt(hdcRow, 0, 0, cx, 1, hdcScreen, rc.left, (rc.top + rc.bottom) / 2, SRCCOPY);
    for (int x = 0; x < cx; ++x)
        row[static_cast<size_t>(x)] = ::GetPixel(hdcRow, x, 0);
    ::SelectObject(hdcRow, hOld);
    ::DeleteObject(hRow);
    ::DeleteDC(hdcRow);
    ::ReleaseDC(nullptr, hdcScreen);
    return row;
}

int Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b)
{
    if (a.size() != b.size())
        return static_cast<int>(a.size() > b.size() ? a.size() : b.size());
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i];
    return n;
}

HWND PageOf(HWND hSheet)
{
    return reinterpret_cast<HWND>(::SendMessageW(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

class ProgramCustomizeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
        SetProgramInt(L"FirstRun", 0);
        SetProgramInt(L"Check at startup", 0);
        SetProgramInt(L"ViewStyle", 0);
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"Theme");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kProgramKey) + L"\\MainFrameClassic").c_str());
        DeleteBarLayout();
    }
    void TearDown() override
    {
        for (Started* started : {&m_first, &m_second, &m_third})
            lqprogram::EndProgram(*started);
        DeleteBarLayout();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
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
    HWND WaitForWindow(const Started& started, const wchar_t* text, bool bChild = false)
    {
        HWND found = nullptr;
        PumpUntil([&] { return (found = WindowOf(started.info.dwProcessId, text, bChild)) != nullptr; }, 15000);
        return found;
    }
    // The mouse pressed at from, moved in steps to to and released there; each step waits for the cursor.
    static void Drag(POINT from, POINT to)
    {
        ASSERT_TRUE(lqtest::MoveMouse(from));
        lqtest::SendMouse(from, MOUSEEVENTF_LEFTDOWN);
        for (int i = 1; i <= 4; ++i) {
            const POINT pt = {from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4};
            ASSERT_TRUE(lqtest::MoveMouse(pt));
        }
        lqtest::SendMouse(to, MOUSEEVENTF_LEFTUP);
        lqtest::PumpPending();
    }

    Started m_first;
    Started m_second;
    Started m_third;
};

TEST_F(ProgramCustomizeTest, ACommandDraggedOntoMainAndANewToolbarOutliveTheProgram)
{
    m_first = Start(L"");
    ASSERT_TRUE(m_first.ok);
    const HWND frame = FrameOf(m_first);
    ASSERT_NE(frame, nullptr);
    ::SetWindowPos(frame, HWND_TOP, 10, 10, 760, 520, 0);
    ::SetForegroundWindow(frame);
    const HWND main = WaitForWindow(m_first, L"Main", true);
    ASSERT_NE(main, nullptr);
    // The bar has painted its buttons once two looks agree.
    std::vector<COLORREF> before;
    ASSERT_TRUE(PumpUntil([&] {
        const std::vector<COLORREF> row = RowOf(main);
        const bool bSteady = !row.empty() && row == before;
        before = row;
        return bSteady;
    }));

    ::PostMessageW(frame, WM_COMMAND, kCustomize, 0);
    const HWND sheet = WaitForWindow(m_first, L"Customize");
    ASSERT_NE(sheet, nullptr);
    ::SetWindowPos(sheet, nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    // The Commands page: the first category's first command dragged to the end of Main.
    ::SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
    HWND page = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (page = PageOf(sheet)) != nullptr && ::GetDlgItem(page, kCommandList); }));
    const HWND categories = ::GetDlgItem(page, kCategoryList);
    const HWND commands = ::GetDlgItem(page, kCommandList);
    ASSERT_GT(::SendMessageW(categories, LB_GETCOUNT, 0, 0), 3);
    ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(commands, LB_GETCOUNT, 0, 0) > 0; }));
    const int nItemHeight = static_cast<int>(::SendMessageW(commands, LB_GETITEMHEIGHT, 0, 0));
    const POINT ptCommand = lqtest::ClientToScreenPoint(commands, 20, nItemHeight / 2);
    RECT rcMain = {};
    ::GetWindowRect(main, &rcMain);
    const POINT ptMainEnd = {rcMain.right - 4, (rcMain.top + rcMain.bottom) / 2};
    Drag(ptCommand, ptMainEnd);
    // A new button at the end of the bar.
    EXPECT_TRUE(PumpUntil([&] { return Differences(RowOf(main), before) > 10; }));

    // The Toolbars page: a new toolbar, renamed.
    ::SendMessageW(sheet, PSM_SETCURSEL, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return (page = PageOf(sheet)) != nullptr && ::GetDlgItem(page, kToolbarList); }));
    ::PostMessageW(page, WM_COMMAND, MAKEWPARAM(kNewToolbar, BN_CLICKED), 0);
    HWND dialog = WaitForWindow(m_first, L"New Toolbar");
    ASSERT_NE(dialog, nullptr);
    WCHAR proposed[64] = L"";
    ::GetDlgItemTextW(dialog, kToolbarName, proposed, 64);
    EXPECT_STREQ(proposed, L"Custom 1");
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_NE(WaitForWindow(m_first, L"Custom 1", true), nullptr);
    const HWND list = ::GetDlgItem(page, kToolbarList);
    const int nLast = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)) - 1;
    ::SendMessageW(list, LB_SETCURSEL, nLast, 0);
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(kToolbarList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    ::PostMessageW(page, WM_COMMAND, MAKEWPARAM(kRenameToolbar, BN_CLICKED), 0);
    dialog = WaitForWindow(m_first, L"Rename Toolbar");
    ASSERT_NE(dialog, nullptr);
    ::SendMessageW(::GetDlgItem(dialog, kToolbarName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Headlines"));
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_NE(WaitForWindow(m_first, L"Headlines", true), nullptr);

    // The Options page: no ScreenTips on toolbars.
    ::SendMessageW(sheet, PSM_SETCURSEL, 2, 0);
    ASSERT_TRUE(PumpUntil([&] { return (page = PageOf(sheet)) != nullptr && ::GetDlgItem(page, kScreenTips); }));
    ::SendMessageW(::GetDlgItem(page, kScreenTips), BM_CLICK, 0, 0);

    ::PostMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(sheet); }));
    ::PostMessageW(frame, WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_EQ(::WaitForSingleObject(m_first.info.hProcess, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(LayoutInt(L"CommandBars-Options", L"ToolBarScreenTips"), 0u);

    // The next start: the new button on Main, the renamed toolbar back.
    m_second = Start(L"");
    ASSERT_TRUE(m_second.ok);
    const HWND again = FrameOf(m_second);
    ASSERT_NE(again, nullptr);
    const HWND mainAgain = WaitForWindow(m_second, L"Main", true);
    ASSERT_NE(mainAgain, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return Differences(RowOf(mainAgain), before) > 10; }));
    EXPECT_NE(WaitForWindow(m_second, L"Headlines", true), nullptr);
    ::PostMessageW(again, WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_EQ(::WaitForSingleObject(m_second.info.hProcess, 30000), WAIT_OBJECT_0);

    // The saved controls cut in half: the next start refuses them whole and shows the bars as built, the options
    // kept apart from them still apply.
    const std::wstring controlsKey = std::wstring(kProgramKey) + L"\\CommandBars-Controls";
    ASSERT_EQ(LayoutInt(L"CommandBars-Controls", L"LoadFromFile"), 0u) << "the layout is small enough for the profile";
    DWORD nBytes = 0;
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, controlsKey.c_str(), L"Controls", RRF_RT_REG_BINARY, nullptr, nullptr,
                             &nBytes),
              ERROR_SUCCESS);
    ASSERT_GT(nBytes, 16u);
    std::vector<BYTE> bytes(nBytes);
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, controlsKey.c_str(), L"Controls", RRF_RT_REG_BINARY, nullptr,
                             bytes.data(), &nBytes),
              ERROR_SUCCESS);
    ASSERT_EQ(
        ::RegSetKeyValueW(HKEY_CURRENT_USER, controlsKey.c_str(), L"Controls", REG_BINARY, bytes.data(), nBytes / 2),
        ERROR_SUCCESS);
    // Away from Main, whose buttons light up under the mouse.
    ASSERT_TRUE(lqtest::MoveMouse(POINT{700, 500}));
    m_third = Start(L"");
    ASSERT_TRUE(m_third.ok);
    const HWND third = FrameOf(m_third);
    ASSERT_NE(third, nullptr);
    const HWND mainThird = WaitForWindow(m_third, L"Main", true);
    ASSERT_NE(mainThird, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return RowOf(mainThird) == before; })) << "Main is as its resource made it";
    EXPECT_EQ(WindowOf(m_third.info.dwProcessId, L"Headlines", true), nullptr);
    ::PostMessageW(third, WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_EQ(::WaitForSingleObject(m_third.info.hProcess, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(LayoutInt(L"CommandBars-Options", L"ToolBarScreenTips"), 0u);
}

} // namespace
