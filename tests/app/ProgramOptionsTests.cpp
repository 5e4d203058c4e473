// The real program's "Settings": the view style and the connection time-out changed in the sheet, the restart the
// view style asks for, and the next start running with both.
#include "res/resource.h"
#include "tests/app/ProgramHarness.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

using lqprogram::FramesOf;
using lqprogram::kProgramKey;
using lqprogram::ProgramInt;
using lqprogram::ProgramPath;
using lqprogram::SetProgramInt;
using lqprogram::Start;
using lqprogram::Started;
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
        for (Started* started : {&m_first, &m_second}) {
            if (started->info.hProcess && ::WaitForSingleObject(started->info.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(started->info.hProcess, 1);
            lqprogram::CloseHandles(*started);
        }
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

} // namespace
