// Theme 3, "XP Style": with the platform's visual styles its faces, split buttons, grippers, backgrounds and
// combo box parts are the platform's own parts in the right states (compared with the same parts drawn directly);
// without them, and after the platform's style is switched off while it runs, it draws exactly as Standard.
#include "toolkit/commandbars/XTPThemeXPStyle.h"

#include "tests/toolkit/ThemeOverride.h"
#include "tests/toolkit/commandbars/ThemeTestSupport.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPThemeStandard.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using CXPStyle = themetest::CDistinct<CXTPThemeXPStyle>;

// Pixels where two canvases of one size differ by more than the rounding of a partly covered pixel.
int Differences(lqtest::MemoryCanvas& a, lqtest::MemoryCanvas& b, const CRect& rc)
{
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            n += !themetest::Near(a.Dc().GetPixel(x, y), b.Dc().GetPixel(x, y), 2);
    return n;
}

// A part of a class of the platform's style drawn directly, for comparison.
std::unique_ptr<lqtest::MemoryCanvas> Reference(LPCWSTR lpszClass, CSize size,
                                                const std::function<void(CXTPUxTheme&, HDC)>& draw)
{
    auto canvas = std::make_unique<lqtest::MemoryCanvas>(size.cx, size.cy, RGB(255, 0, 255));
    CXTPUxTheme style;
    style.OpenThemeData(nullptr, lpszClass);
    draw(style, canvas->Dc().GetSafeHdc());
    return canvas;
}

// Draws the scene's three bars with a theme; the number of pixels where they differ from another theme's.
int SceneDifferences(CXTPPaintManager* pTheme, CXTPPaintManager* pOther)
{
    themetest::Scene scene(pTheme), other(pOther);
    int n = 0;
    for (themetest::Scene::Bar bar :
         {themetest::Scene::kToolBar, themetest::Scene::kMenuBar, themetest::Scene::kPopup}) {
        CRect rc;
        scene.GetBar(bar)->GetClientRect(&rc);
        n += Differences(*scene.Draw(bar), *other.Draw(bar), rc);
    }
    return n;
}

TEST(ThemeXPStyleFallback, WithoutVisualStylesItDrawsAsStandard)
{
    // Each scene takes over one reference; the last is the test's own.
    auto* pXPStyle = new CXTPThemeXPStyle;
    {
        tktest::ThemeOverride classic(FALSE, nullptr, nullptr, MAKELONG(0, 6));
        pXPStyle->RefreshMetrics();
        pXPStyle->InternalAddRef();
        EXPECT_EQ(SceneDifferences(pXPStyle, new CXTPThemeStandard), 0);
    }
    // The platform's style came back: the next metrics refresh takes it up.
    pXPStyle->RefreshMetrics();
    pXPStyle->InternalAddRef();
    EXPECT_GT(SceneDifferences(pXPStyle, new CXTPThemeStandard), 100);
    {
        tktest::ThemeOverride classic(FALSE, nullptr, nullptr, MAKELONG(0, 6));
        pXPStyle->RefreshMetrics();
        pXPStyle->InternalAddRef();
        EXPECT_EQ(SceneDifferences(pXPStyle, new CXTPThemeStandard), 0);
    }
    pXPStyle->InternalRelease();
}

TEST(ThemeXPStyleThemed, ButtonFacesInThePlatformsStates)
{
    struct Case
    {
        const char* pszName;
        int nSelected, nPressed;
        BOOL bEnabled;
        int nChecked;
        BOOL bPopuped, bToolBar;
        int nState;
    } cases[] = {
        {"disabled", 1, 0, FALSE, 0, FALSE, TRUE, 4},
        {"disabled checked popup item", 0, 0, FALSE, 1, FALSE, FALSE, 3},
        {"disabled checked button", 0, 0, FALSE, 1, FALSE, TRUE, 4},
        {"popup open", 1, 0, TRUE, 0, TRUE, TRUE, 3},
        {"checked", 0, 0, TRUE, 1, FALSE, TRUE, 5},
        {"checked and hot", 1, 0, TRUE, 1, FALSE, TRUE, 6},
        {"checked and pressed", 1, 1, TRUE, 1, FALSE, TRUE, 3},
        {"just executed", 0, 2, TRUE, 0, FALSE, TRUE, 3},
        {"hot and pressed", 1, 1, TRUE, 0, FALSE, TRUE, 3},
        {"hot", 1, 0, TRUE, 0, FALSE, TRUE, 2},
        {"pressed, the mouse gone", 0, 1, TRUE, 0, FALSE, TRUE, 1},
        {"nothing", 0, 0, TRUE, 0, FALSE, TRUE, 1},
    };
    CXTPThemeXPStyle theme;
    const CRect rc(2, 2, 26, 24);
    for (const Case& c : cases) {
        EXPECT_EQ(
            CXTPThemeXPStyle::ButtonState(c.nSelected, c.nPressed, c.bEnabled, c.nChecked, c.bPopuped, c.bToolBar),
            c.nState)
            << c.pszName;
        lqtest::MemoryCanvas canvas(28, 26, RGB(255, 0, 255));
        theme.FillControlFace(&canvas.Dc(), rc, c.nSelected, c.nPressed, c.bEnabled, c.nChecked, c.bPopuped, c.bToolBar,
                              xtpBarTop);
        auto reference = Reference(L"TOOLBAR", CSize(28, 26), [&](CXTPUxTheme& style, HDC hDC) {
            style.DrawThemeBackground(hDC, 1, c.nState, &rc, nullptr);
        });
        EXPECT_EQ(Differences(canvas, *reference, CRect(0, 0, 28, 26)), 0) << c.pszName;
    }
    // The platform draws these states apart, so the comparisons above tell them apart.
    std::unique_ptr<lqtest::MemoryCanvas> states[3];
    for (int nState = 1; nState <= 3; ++nState)
        states[nState - 1] = Reference(L"TOOLBAR", CSize(28, 26), [&](CXTPUxTheme& style, HDC hDC) {
            style.DrawThemeBackground(hDC, 1, nState, &rc, nullptr);
        });
    EXPECT_GT(Differences(*states[0], *states[1], CRect(0, 0, 28, 26)), 0);
    EXPECT_GT(Differences(*states[1], *states[2], CRect(0, 0, 28, 26)), 0);
}

using ThemeXPStyleBarTest = themetest::BarTest<CXPStyle>;

TEST_F(ThemeXPStyleBarTest, SplitButtonParts)
{
    MakeBar(xtpBarTypeNormal, xtpBarTop, CRect(0, 0, 200, 26));
    auto* pSplit = static_cast<themetest::CPoppedControl*>(m_bar.GetControls()->Add(new themetest::CPoppedControl, 0));
    pSplit->SetType(xtpControlSplitButtonPopup);
    const CRect rc(10, 2, 45, 24);
    pSplit->SetRect(rc);
    struct Case
    {
        const char* pszName;
        int nSelected, nPressed, nChecked;
        BOOL bEnabled, bOpen;
        int nButton, nArrow;
    } cases[] = {
        {"hot", 1, 0, 0, TRUE, FALSE, 2, 2},       {"open", 1, 0, 0, TRUE, TRUE, 2, 3},
        {"pressed", 1, 1, 0, TRUE, FALSE, 3, 3},   {"checked", 0, 0, 1, TRUE, FALSE, 5, 5},
        {"disabled", 0, 0, 0, FALSE, FALSE, 4, 4}, {"at rest", 0, 0, 0, TRUE, FALSE, 1, 1},
    };
    for (const Case& c : cases) {
        pSplit->SetSelected(c.nSelected);
        pSplit->SetPressed(c.nPressed);
        pSplit->SetChecked(c.nChecked);
        pSplit->SetEnabled(c.bEnabled);
        pSplit->SetOpen(c.bOpen);
        lqtest::MemoryCanvas canvas(60, 26, RGB(255, 0, 255));
        m_theme.DrawSplitButtonFace(&canvas.Dc(), pSplit, rc);
        EXPECT_EQ(themetest::CDistinct<CXTPThemeXPStyle>::IndexOf(canvas.Dc().GetTextColor()), c.bEnabled ? 18 : 17)
            << c.pszName;
        auto reference = Reference(L"TOOLBAR", CSize(60, 26), [&](CXTPUxTheme& style, HDC hDC) {
            const CRect rcButton(rc.left, rc.top, rc.right - 12, rc.bottom),
                rcArrow(rc.right - 12, rc.top, rc.right, rc.bottom);
            style.DrawThemeBackground(hDC, 3, c.nButton, &rcButton, nullptr);
            style.DrawThemeBackground(hDC, 4, c.nArrow, &rcArrow, nullptr);
        });
        EXPECT_EQ(Differences(canvas, *reference, CRect(0, 0, 60, 26)), 0) << c.pszName;
    }
}

TEST_F(ThemeXPStyleBarTest, GripperDockAndBarBackgrounds)
{
    MakeBar(xtpBarTypeNormal, xtpBarTop, CRect(10, 5, 210, 31));
    lqtest::MemoryCanvas gripper(200, 26, RGB(255, 0, 255));
    EXPECT_EQ(m_theme.DrawGripper(&gripper.Dc(), &m_bar, TRUE), CSize(8, 0));
    auto expected = Reference(L"REBAR", CSize(200, 26), [](CXTPUxTheme& style, HDC hDC) {
        const CRect rcGripper(2, 2, 8, 24);
        style.DrawThemeBackground(hDC, 1, 1, &rcGripper, nullptr);
    });
    EXPECT_EQ(Differences(gripper, *expected, CRect(0, 0, 200, 26)), 0);

    // A docked bar shows the rebar background of its parent, placed as the parent sees it, in a raised frame.
    lqtest::MemoryCanvas bar(200, 26, RGB(255, 0, 255));
    m_theme.FillCommandBar(&bar.Dc(), &m_bar);
    auto background = Reference(L"REBAR", CSize(200, 26), [](CXTPUxTheme& style, HDC hDC) {
        const CRect rcParent(-10, -5, 290, 195);
        style.DrawThemeBackground(hDC, 0, 0, &rcParent, nullptr);
    });
    EXPECT_EQ(Differences(bar, *background, CRect(1, 1, 199, 25)), 0);
    EXPECT_EQ(CXPStyle::IndexOf(bar.Dc().GetPixel(0, 10)), 20);
    EXPECT_EQ(CXPStyle::IndexOf(bar.Dc().GetPixel(199, 10)), 16);

    lqtest::MemoryCanvas dock(300, 200, RGB(255, 0, 255));
    m_theme.FillDockBar(&dock.Dc(), &m_host);
    auto dockReference = Reference(L"REBAR", CSize(300, 200), [](CXTPUxTheme& style, HDC hDC) {
        const CRect rcDock(0, 0, 300, 200);
        style.DrawThemeBackground(hDC, 0, 0, &rcDock, nullptr);
    });
    EXPECT_EQ(Differences(dock, *dockReference, CRect(0, 0, 300, 200)), 0);

    m_bar.SetBarPosition(xtpBarLeft);
    EXPECT_EQ(m_theme.DrawGripper(&gripper.Dc(), &m_bar, FALSE), CSize(0, 8));
    m_bar.SetBarPosition(xtpBarPopup);
    m_bar.SetType(xtpBarTypePopup);
    lqtest::MemoryCanvas popup(200, 26, RGB(255, 0, 255));
    m_theme.FillCommandBar(&popup.Dc(), &m_bar);
    EXPECT_EQ(CXPStyle::IndexOf(popup.Dc().GetPixel(0, 0)), 16);
    EXPECT_EQ(CXPStyle::IndexOf(popup.Dc().GetPixel(100, 10)), 4);
}

TEST_F(ThemeXPStyleBarTest, ComboBoxFieldAndDropDownButton)
{
    CXTPUxTheme combo;
    combo.OpenThemeData(nullptr, L"COMBOBOX");
    for (BOOL bEnabled : {TRUE, FALSE}) {
        COLORREF clrBorder = 0;
        if (FAILED(combo.GetThemeColor(1, bEnabled ? 1 : 4, 3801, &clrBorder)))
            clrBorder = CXPStyle::Distinct(16);
        lqtest::MemoryCanvas canvas(40, 20, RGB(255, 0, 255));
        m_theme.DrawFieldFrame(&canvas.Dc(), CRect(0, 0, 40, 20), TRUE, bEnabled);
        EXPECT_EQ(canvas.Dc().GetPixel(0, 10), clrBorder);
        EXPECT_EQ(canvas.Dc().GetPixel(39, 10), clrBorder);
        EXPECT_EQ(canvas.Dc().GetPixel(20, 10), RGB(255, 0, 255));
    }
    struct Case
    {
        BOOL bEnabled, bHot, bPressed;
        int nState;
    } cases[] = {{FALSE, TRUE, TRUE, 4}, {TRUE, TRUE, TRUE, 3}, {TRUE, TRUE, FALSE, 2}, {TRUE, FALSE, FALSE, 1}};
    for (const Case& c : cases) {
        lqtest::MemoryCanvas canvas(40, 22, RGB(255, 0, 255));
        m_theme.DrawDropDownButton(&canvas.Dc(), CRect(20, 0, 40, 22), c.bEnabled, c.bHot, c.bPressed);
        auto reference = Reference(L"COMBOBOX", CSize(40, 22), [&](CXTPUxTheme& style, HDC hDC) {
            const CRect rcButton(18, 1, 39, 21);
            style.DrawThemeBackground(hDC, 1, c.nState, &rcButton, nullptr);
        });
        EXPECT_EQ(Differences(canvas, *reference, CRect(0, 0, 40, 22)), 0) << c.nState;
    }
}

TEST_F(ThemeXPStyleBarTest, ControlRectangles)
{
    MakeBar(xtpBarTypePopup, xtpBarPopup, CRect(0, 0, 100, 100));
    CXTPControl* pItem = m_bar.GetControls()->AddByType(xtpControlButton, 0);
    CRect rc(10, 10, 90, 30);
    m_theme.AdjustControlRect(pItem, rc);
    EXPECT_EQ(rc, CRect(13, 10, 87, 30)); // narrower, and no taller than the item: neighbours stay uncovered
    m_bar.SetType(xtpBarTypeNormal);
    m_bar.SetBarPosition(xtpBarTop);
    rc = CRect(10, 10, 90, 30);
    m_theme.AdjustControlRect(pItem, rc);
    EXPECT_EQ(rc, CRect(10, 10, 90, 30));
}

} // namespace
