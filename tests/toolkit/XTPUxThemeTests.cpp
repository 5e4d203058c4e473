// The visual styles binding: answers without the library, real drawing with it, and the readiness test.
#include "toolkit/base/XTPUxTheme.h"

#include "tests/framework/MemoryCanvas.h"
#include "tests/support/TestSupport.h"
#include "tests/toolkit/ThemeOverride.h"

#include <gtest/gtest.h>
#include <vssym32.h>

namespace {

class Window
{
public:
    Window()
    {
        m_hWnd = CreateWindowExW(0, L"BUTTON", L"Ok", WS_POPUP, 0, 0, 80, 24, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    }
    ~Window()
    {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
    }
    HWND Get() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

const COLORREF kMagenta = RGB(255, 0, 255);

// Every wrapper of a binding that lacks the library, or the entries, answers E_FAIL or 0 and draws nothing.
void ExpectEverythingFails(CXTPUxTheme& theme, HWND hWnd)
{
    EXPECT_EQ(nullptr, theme.OpenThemeData(hWnd, L"BUTTON"));
    EXPECT_FALSE(theme.IsThemeDataOpen());
    lqtest::MemoryCanvas canvas(20, 20, kMagenta);
    EXPECT_EQ(E_FAIL, theme.DrawThemeBackground(canvas.Dc(), BP_PUSHBUTTON, PBS_NORMAL, &canvas.Rect(), nullptr));
    EXPECT_EQ(0, canvas.CountNot(kMagenta));
    WCHAR szFile[MAX_PATH] = L"unchanged", szColor[MAX_PATH] = L"", szSize[MAX_PATH] = L"";
    EXPECT_EQ(E_FAIL, theme.GetCurrentThemeName(szFile, MAX_PATH, szColor, MAX_PATH, szSize, MAX_PATH));
    EXPECT_STREQ(L"unchanged", szFile);
    COLORREF clr = 0x123456;
    EXPECT_EQ(E_FAIL, theme.GetThemeColor(BP_PUSHBUTTON, PBS_NORMAL, TMT_TEXTCOLOR, &clr));
    EXPECT_EQ(0x123456u, clr);
    EXPECT_FALSE(theme.IsAppThemed());
    EXPECT_FALSE(theme.IsThemeActive());
    EXPECT_FALSE(theme.IsAppThemeReady());
    EXPECT_EQ(E_FAIL, theme.CloseThemeData());
}

TEST(XTPUxTheme, MissingLibrariesAnswerFailureEvenWhenAThemeIsClaimed)
{
    Window wnd;
    // The stand-in claims an active theme and new controls; without the library it must not be believed.
    tktest::ThemeOverride over(TRUE, L"C:\\Windows\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor",
                               MAKELONG(0, 6));
    CXTPUxTheme theme(L"lq-no-such-uxtheme.dll", L"lq-no-such-comctl32.dll");
    EXPECT_FALSE(theme.IsLibraryLoaded());
    EXPECT_EQ(0u, theme.GetComCtlVersion());
    ExpectEverythingFails(theme, wnd.Get());
}

TEST(XTPUxTheme, LibraryWithoutTheEntriesAnswersFailure)
{
    Window wnd;
    CXTPUxTheme theme(L"kernel32.dll", L"kernel32.dll");
    EXPECT_TRUE(theme.IsLibraryLoaded());
    EXPECT_EQ(0u, theme.GetComCtlVersion());
    ExpectEverythingFails(theme, wnd.Get());
}

TEST(XTPUxTheme, DrawsWithAnOpenHandleAndFailsAfterAFailedOpen)
{
    Window wnd;
    CXTPUxTheme theme;
    ASSERT_TRUE(theme.IsThemeActive()) << "the test prefix runs with its default visual style";
    ASSERT_NE(nullptr, theme.OpenThemeData(wnd.Get(), L"BUTTON"));
    EXPECT_TRUE(theme.IsThemeDataOpen());
    EXPECT_TRUE(theme.IsAppThemed());

    lqtest::MemoryCanvas canvas(40, 24, kMagenta);
    EXPECT_EQ(S_OK, theme.DrawThemeBackground(canvas.Dc(), BP_PUSHBUTTON, PBS_NORMAL, &canvas.Rect(), nullptr));
    EXPECT_GT(canvas.CountNot(kMagenta), 40 * 24 / 2);

    // Opening a class the style does not know closes the old handle and leaves none.
    EXPECT_EQ(nullptr, theme.OpenThemeData(wnd.Get(), L"LqNoSuchThemeClass"));
    EXPECT_FALSE(theme.IsThemeDataOpen());
    EXPECT_FALSE(theme.IsAppThemed());
    lqtest::MemoryCanvas untouched(40, 24, kMagenta);
    EXPECT_EQ(E_FAIL, theme.DrawThemeBackground(untouched.Dc(), BP_PUSHBUTTON, PBS_NORMAL, &untouched.Rect(), nullptr));
    EXPECT_EQ(0, untouched.CountNot(kMagenta));
    EXPECT_EQ(E_FAIL, theme.CloseThemeData());
}

TEST(XTPUxTheme, CloseClearsTheHandleOnce)
{
    CXTPUxTheme theme;
    ASSERT_NE(nullptr, theme.OpenThemeData(nullptr, L"HEADER"));
    EXPECT_EQ(S_OK, theme.CloseThemeData());
    EXPECT_FALSE(theme.IsThemeDataOpen());
    EXPECT_EQ(E_FAIL, theme.CloseThemeData());
}

TEST(XTPUxTheme, PlatformThemeNameIsAStyleFile)
{
    CXTPUxTheme theme;
    WCHAR szFile[MAX_PATH] = {}, szColor[MAX_PATH] = {};
    ASSERT_EQ(S_OK, theme.GetCurrentThemeName(szFile, MAX_PATH, szColor, MAX_PATH, nullptr, 0));
    std::wstring file(szFile);
    CharLowerBuffW(&file[0], static_cast<DWORD>(file.size()));
    EXPECT_NE(std::wstring::npos, file.find(L".msstyles")) << lqtest::Narrow(file);
    EXPECT_NE(L'\0', szColor[0]);
}

TEST(XTPUxTheme, StandInThemeNameIsCopiedAndCut)
{
    CXTPUxTheme theme;
    {
        tktest::ThemeOverride over(TRUE, L"X:\\Luna.msstyles", L"HomeStead", MAKELONG(0, 6), L"NormalSize");
        WCHAR szFile[MAX_PATH] = {}, szColor[6] = {}, szSize[MAX_PATH] = {};
        ASSERT_EQ(S_OK, theme.GetCurrentThemeName(szFile, MAX_PATH, szColor, 6, szSize, MAX_PATH));
        EXPECT_STREQ(L"X:\\Luna.msstyles", szFile);
        EXPECT_STREQ(L"HomeS", szColor);
        EXPECT_STREQ(L"NormalSize", szSize);
    }
    {
        tktest::ThemeOverride over(FALSE, L"X:\\Luna.msstyles", L"HomeStead", MAKELONG(0, 6));
        WCHAR szFile[MAX_PATH] = {};
        EXPECT_EQ(E_FAIL, theme.GetCurrentThemeName(szFile, MAX_PATH, nullptr, 0, nullptr, 0));
        EXPECT_FALSE(theme.IsThemeActive());
        EXPECT_EQ(nullptr, theme.OpenThemeData(nullptr, L"BUTTON"));
    }
}

TEST(XTPUxTheme, ReadinessNeedsActiveStyleOpenHandleAndVersionSix)
{
    struct Case
    {
        const char* name;
        BOOL bActive;
        DWORD dwVersion;
        bool bOpen;
        BOOL bReady;
    };
    const Case cases[] = {
        {"active, 6.0, open", TRUE, MAKELONG(0, 6), true, TRUE},
        {"active, 6.10, open", TRUE, MAKELONG(10, 6), true, TRUE},
        {"active, 5.81, open", TRUE, MAKELONG(81, 5), true, FALSE},
        {"active, 6.0, nothing open", TRUE, MAKELONG(0, 6), false, FALSE},
        {"classic look, 6.0", FALSE, MAKELONG(0, 6), true, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tktest::ThemeOverride over(c.bActive, L"X:\\Luna.msstyles", L"NormalColor", c.dwVersion);
        CXTPUxTheme theme;
        if (c.bOpen)
            theme.OpenThemeData(nullptr, L"BUTTON");
        EXPECT_EQ(c.dwVersion, theme.GetComCtlVersion());
        EXPECT_EQ(c.bReady, theme.IsAppThemeReady());
    }
}

TEST(XTPUxTheme, VersionSixControlsAreRecognisedByBehaviour)
{
    // The test program carries the version 6 manifest; the platform may still report an older number.
    CXTPUxTheme theme;
    EXPECT_GE(theme.GetComCtlVersion(), static_cast<DWORD>(MAKELONG(0, 6)));
    ASSERT_NE(nullptr, theme.OpenThemeData(nullptr, L"BUTTON"));
    EXPECT_TRUE(theme.IsAppThemeReady());
}

} // namespace
