// The real program's looks: every theme command repaints the menu bar and the frame at once, the skin's
// schemes draw the rounded frame in their colours, and the choice comes back with the next start.
#include "res/resource.h"
#include "tests/app/ProgramHarness.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using lqprogram::FramesOf;
using lqprogram::ProgramInt;
using lqprogram::ProgramPath;
using lqprogram::SetProgramInt;
using lqprogram::Start;
using lqprogram::Started;
using lqtest::PumpUntil;

namespace {

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

COLORREF ScreenPixel(POINT pt)
{
    HDC hdc = ::GetDC(nullptr);
    const COLORREF clr = ::GetPixel(hdc, pt.x, pt.y);
    ::ReleaseDC(nullptr, hdc);
    return clr;
}

// A point of the menu bar near its right end, and one of the frame's left border.
POINT MenuBarPoint(HWND hFrame)
{
    RECT client;
    ::GetClientRect(hFrame, &client);
    POINT pt = {client.right - 6, 2};
    ::ClientToScreen(hFrame, &pt);
    return pt;
}

POINT BorderPoint(HWND hFrame)
{
    RECT window;
    ::GetWindowRect(hFrame, &window);
    return {window.left + 1, (window.top + window.bottom) / 2};
}

bool HasRegion(HWND hFrame)
{
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    const bool has = ::GetWindowRgn(hFrame, region) != ERROR;
    ::DeleteObject(region);
    return has;
}

HWND StartAndFindFrame(Started& started)
{
    started = Start(L"");
    if (!started.ok)
        return nullptr;
    std::vector<HWND> frames;
    WCHAR caption[100] = L"";
    PumpUntil(
        [&] {
            frames = FramesOf(started.info.dwProcessId);
            return frames.size() == 1 && ::IsWindowVisible(frames[0]) && ::GetWindowTextW(frames[0], caption, 100) > 0;
        },
        30000);
    return frames.size() == 1 ? frames[0] : nullptr;
}

void Exit(Started& started, HWND hFrame)
{
    ::PostMessageW(hFrame, WM_COMMAND, ID_TRAY_EXIT_READER, 0);
    EXPECT_EQ(::WaitForSingleObject(started.info.hProcess, 30000), WAIT_OBJECT_0);
    lqprogram::CloseHandles(started);
}

TEST(ProgramLooksTest, EveryThemeRepaintsAtOnceAndTheSkinComesBackAfterARestart)
{
    ASSERT_NE(::GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the program is not built";
    SetProgramInt(L"FirstRun", 0);
    SetProgramInt(L"Check at startup", 0);
    SetProgramInt(L"Theme", 2);
    Started started;
    HWND hFrame = StartAndFindFrame(started);
    ASSERT_NE(hFrame, nullptr);
    ::SetForegroundWindow(hFrame);

    const COLORREF skinFaces[] = {0x890608, 0x060689, 0x068906};
    const struct
    {
        UINT nID;
        int skinScheme; // -1 for a toolkit theme
    } steps[] = {{ID_THEME_DEFAULT, -1}, {ID_SKIN_SCHEME_1, 0},     {ID_THEME_XP_STYLE, -1},
                 {ID_SKIN_SCHEME_3, 2},  {ID_THEME_OFFICE2003, -1}, {ID_SKIN_SCHEME_2, 1}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.nID);
        ::SendMessageW(hFrame, WM_COMMAND, step.nID, 0);
        if (step.skinScheme < 0) {
            EXPECT_FALSE(HasRegion(hFrame));
            // The menu bar shows none of the skin's faces.
            EXPECT_TRUE(PumpUntil(
                [&] {
                    const COLORREF bar = ScreenPixel(MenuBarPoint(hFrame));
                    for (COLORREF face : skinFaces)
                        if (Near(bar, face, 40))
                            return false;
                    return true;
                },
                5000));
            continue;
        }
        const COLORREF face = skinFaces[step.skinScheme];
        EXPECT_TRUE(HasRegion(hFrame));
        EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(MenuBarPoint(hFrame)), face, 12); }, 5000))
            << std::hex << ScreenPixel(MenuBarPoint(hFrame));
        EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(BorderPoint(hFrame)), face, 6); }, 5000))
            << std::hex << ScreenPixel(BorderPoint(hFrame));
    }
    Exit(started, hFrame);
    EXPECT_EQ(ProgramInt(L"Theme", 0), 11u);
    EXPECT_EQ(ProgramInt(L"ColorTheme", 0), 1u);

    // The next start draws the red skin straight away.
    hFrame = StartAndFindFrame(started);
    ASSERT_NE(hFrame, nullptr);
    ::SetForegroundWindow(hFrame);
    EXPECT_TRUE(HasRegion(hFrame));
    EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(BorderPoint(hFrame)), skinFaces[1], 6); }, 10000))
        << std::hex << ScreenPixel(BorderPoint(hFrame));
    EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(MenuBarPoint(hFrame)), skinFaces[1], 12); }, 10000));
    Exit(started, hFrame);
    SetProgramInt(L"Theme", 2);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
}

} // namespace
