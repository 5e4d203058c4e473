// Theme 2, "Office 2003 Style": its colours derived from the system colours and those of the blue, olive and
// silver schemes, read back as pixels at named points of a toolbar, a menu bar and a popup in every scheme; the
// disc, chevrons, grippers, dock fills, resize gripper, strips and text box.
#include "toolkit/commandbars/XTPThemeOffice2003.h"

#include "framework/win/WinApp.h"
#include "tests/toolkit/commandbars/ThemeTestSupport.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

namespace {

using themetest::GradientAt;
using themetest::Near;

// The colours a scheme gives the theme's own members and the table entries the probes look at.
struct Palette
{
    COLORREF dockLeft, dockRight, bandDark, bandLight, poppedLight, poppedDark, bandShadow, gripperDark, expandDark,
        expandLight, discInner, discOuter, textBoxFrame;
    std::map<int, COLORREF> table;
};

// The blue, olive and silver schemes as the look prescribes them.
Palette SchemePalette(int nScheme)
{
    switch (nScheme) {
    case xtpSystemThemeBlue:
        return {0xF5BE9E,
                0xFADAC4,
                0xE2A981,
                0xFEECDD,
                0xFFEFE3,
                0xE7B593,
                0x9C613B,
                0xC9662A,
                0x913500,
                0xF1A675,
                0xE2A981,
                0xFEEFE3,
                0xD3D3D3,
                {{30, 0xF5BE9E},
                 {31, 0xC2EEFF},
                 {32, 0x800000},
                 {33, 0x3E80FE},
                 {36, 0x6FC0FF},
                 {37, 0x800000},
                 {38, 0x764127},
                 {39, 0xCB8C6A},
                 {41, 0xF6F6F6},
                 {43, 0x962D00},
                 {50, 0x800000},
                 {53, 0xFCE1CB}}};
    case xtpSystemThemeOlive:
        return {0xA7D9D9,
                0xE4F1F2,
                0x91C6B7,
                0xDEF7F4,
                0xD5F0EC,
                0x9FCEC2,
                0x588060,
                0x5E8674,
                0x6B7760,
                0x8CC2B0,
                0x93C6B8,
                0xD5F0EC,
                0xD3D3D3,
                {{30, 0xA7D9D9},
                 {31, 0xC2EEFF},
                 {32, 0x385D3F},
                 {33, 0x3E80FE},
                 {36, 0x6FC0FF},
                 {37, 0x385D3F},
                 {38, 0x335E51},
                 {39, 0x588060},
                 {41, 0xEEF4F4},
                 {43, 0x5E8D75},
                 {50, 0x385D3F},
                 {53, 0xB6E3D8}}};
    default:
        return {0xE5D7D7,
                0xF7F3F3,
                0xB59799,
                0xFAF4F3,
                0xF1E7E9,
                0xCDB9BA,
                0x947C7C,
                0x99797A,
                0x927476,
                0xC8B2B3,
                0xC5AEB0,
                0xF1E8E8,
                0xDAEAEC,
                {{30, 0xE5D7D7},
                 {31, 0xC2EEFF},
                 {32, 0x6F4B4B},
                 {33, 0x3E80FE},
                 {36, 0x6FC0FF},
                 {37, 0x6F4B4B},
                 {38, 0x755454},
                 {39, 0x8F6D6E},
                 {41, 0xFFFAFD},
                 {43, 0x947C7C},
                 {50, 0x6F4B4B},
                 {53, 0xE7D3D6}}};
    }
}

// Without a scheme the members come from the system colours (checked on their own below).
Palette DerivedPalette(CXTPThemeOffice2003& theme)
{
    return {theme.m_clrDockLeft,     theme.m_clrDockRight,
            theme.m_clrBandDark,     theme.m_clrBandLight,
            theme.m_clrPoppedLight,  theme.m_clrPoppedDark,
            theme.m_clrBandShadow,   theme.m_clrGripperDark,
            theme.m_clrExpandDark,   theme.m_clrExpandLight,
            theme.m_clrDiscInner,    theme.m_clrDiscOuter,
            theme.m_clrTextBoxFrame, {}};
}

TEST(ThemeOffice2003Colours, DerivedFromTheSystemColours)
{
    themetest::SchemeOverride scheme(xtpSystemThemeUnknown);
    CXTPThemeOffice2003 theme;
    const struct
    {
        int nIndex;
        COLORREF clr;
    } table[] = {{5, RGB(0, 100, 200)}, {15, RGB(200, 100, 0)}, {16, RGB(10, 20, 30)}, {30, RGB(1, 2, 3)},
                 {41, RGB(4, 5, 6)},    {42, RGB(100, 0, 100)}, {51, RGB(250, 0, 50)}};
    for (const auto& entry : table)
        theme.SetColorOverride(entry.nIndex, entry.clr);
    theme.RefreshMetrics();

    // Blend(a, b, w): per channel (w a + (100 - w) b + 50) / 100, or per mille from w = 100 on.
    EXPECT_EQ(theme.m_clrRareDark, RGB(100, 0, 100));
    EXPECT_EQ(theme.m_clrRareLight, RGB(45, 55, 155));  // Blend(5, rare dark, 550)
    EXPECT_EQ(theme.m_clrDockRight, RGB(41, 100, 159)); // Blend(15, 5, 205)
    EXPECT_EQ(theme.m_clrBandLight, RGB(41, 100, 159));
    EXPECT_EQ(theme.m_clrDockLeft, RGB(200, 100, 0));
    EXPECT_EQ(theme.m_clrBandDark, RGB(200, 100, 0));
    EXPECT_EQ(theme.m_clrBandShadow, RGB(1, 2, 3));
    EXPECT_EQ(theme.m_clrGripperDark, RGB(10, 20, 30));
    EXPECT_EQ(theme.m_clrPoppedLight, RGB(4, 5, 6));
    EXPECT_EQ(theme.m_clrPoppedDark, RGB(90, 100, 110)); // Blend(5, 15, 550)
    EXPECT_EQ(theme.m_clrExpandDark, RGB(10, 20, 30));
    EXPECT_EQ(theme.m_clrExpandLight, RGB(132, 10, 40)); // Blend(51, expand dark, 51)
    EXPECT_EQ(theme.m_clrDiscOuter, RGB(4, 5, 6));
    EXPECT_EQ(theme.m_clrDiscInner, RGB(90, 100, 110));
    EXPECT_EQ(theme.m_clrTextBoxFrame, RGB(140, 100, 60)); // Blend(15, 5, 70)
    EXPECT_FALSE(theme.m_bLunaScheme);
}

TEST(ThemeOffice2003Colours, SchemesReplaceDefaultsButNotOverrides)
{
    const struct
    {
        int nScheme;
        COLORREF clr12, clr47, clrShadow;
    } cases[] = {{xtpSystemThemeBlue, 0xAE9990, 0, 0x361E16},
                 {xtpSystemThemeOlive, 0x7BA097, 0, 0x19221F},
                 {xtpSystemThemeSilver, 0xB39A9B, 0, 0x292024}};
    for (const auto& c : cases) {
        themetest::SchemeOverride scheme(c.nScheme);
        CXTPThemeOffice2003 theme;
        EXPECT_TRUE(theme.m_bLunaScheme);
        EXPECT_EQ(theme.GetColor(12), c.clr12) << c.nScheme;
        EXPECT_EQ(theme.GetColor(47), c.clr47) << c.nScheme;
        EXPECT_EQ(theme.m_clrShadowFactor, c.clrShadow) << c.nScheme;
        const Palette expected = SchemePalette(c.nScheme);
        EXPECT_EQ(theme.m_clrTextBoxFrame, expected.textBoxFrame);
        for (const auto& entry : expected.table)
            EXPECT_EQ(theme.GetColor(static_cast<COLORREF>(entry.first)), entry.second) << entry.first;
        // The application's own choice of a colour stays in force.
        theme.SetColorOverride(43, RGB(1, 2, 3));
        theme.RefreshMetrics();
        EXPECT_EQ(theme.GetColor(43), RGB(1, 2, 3));
    }

    // Told not to use the schemes' colours, the theme keeps the derived ones.
    themetest::SchemeOverride scheme(xtpSystemThemeBlue);
    XTPColorManager()->DisableLunaColors(TRUE);
    CXTPThemeOffice2003 theme;
    XTPColorManager()->DisableLunaColors(FALSE);
    EXPECT_FALSE(theme.m_bLunaScheme);
    EXPECT_EQ(theme.m_clrDockLeft, theme.GetColor(15));
}

// ---- Named points of the scene in every scheme

struct Expect
{
    COLORREF clr;
    int nTolerance;
};

struct ProbeContext
{
    CXTPThemeOffice2003& theme;
    themetest::Scene& scene;
    const Palette& palette;
    BOOL bScheme;

    COLORREF Table(int nIndex) const
    {
        auto it = palette.table.find(nIndex);
        return it != palette.table.end() ? it->second : theme.GetColor(static_cast<COLORREF>(nIndex));
    }
    // A control's face under a scheme: a vertical gradient over the control less its top and bottom row.
    Expect Face(CXTPControl* pControl, COLORREF clrFrom, COLORREF clrTo, int y) const
    {
        const CRect rc = pControl->GetRect();
        return {GradientAt(clrFrom, clrTo, y - (rc.top + 1), rc.Height() - 2), 2};
    }
    Expect Solid(COLORREF clr) const { return {clr, 0}; }
    int GradientWidth(int nWidth) const { return std::max(nWidth, ::GetSystemMetrics(SM_CXFULLSCREEN) / 2); }
};

using themetest::Scene;

struct Probe
{
    const char* pszName;
    Scene::Bar bar;
    std::function<CPoint(const ProbeContext&)> point;
    std::function<Expect(const ProbeContext&)> expect;
};

CPoint InFace(CXTPControl* pControl)
{
    return CPoint(pControl->GetRect().left + 2, pControl->GetRect().top + 2);
}

CPoint OnFrame(CXTPControl* pControl)
{
    return CPoint(pControl->GetRect().left, pControl->GetRect().CenterPoint().y);
}

int IconColumn(const ProbeContext& x)
{
    return x.theme.GetPopupIconColumnWidth(&x.scene.m_popup);
}

const Probe kProbes[] = {
    // The toolbar: a rounded band over the dock's gradient, with a shadow line.
    {"band's first row", Scene::kToolBar,
     [](const ProbeContext& x) { return CPoint(x.scene.c.pNormal->GetRect().left, 1); },
     [](const ProbeContext& x) {
         return Expect{x.palette.bandLight, 1};
     }},
    {"band below the controls", Scene::kToolBar,
     [](const ProbeContext& x) {
         return CPoint(x.scene.c.pNormal->GetRect().left, x.scene.c.pNormal->GetRect().bottom);
     },
     [](const ProbeContext& x) {
         const int nEnd = x.scene.c.pNormal->GetRect().bottom + 1;
         return Expect{GradientAt(x.palette.bandLight, x.palette.bandDark, nEnd - 2, nEnd - 1), 2};
     }},
    {"band's dark rest", Scene::kToolBar,
     [](const ProbeContext& x) { return CPoint(200, x.scene.c.pNormal->GetRect().bottom + 2); },
     [](const ProbeContext& x) { return x.Solid(x.palette.bandDark); }},
    {"shadow line", Scene::kToolBar, [](const ProbeContext&) { return CPoint(220, 29); },
     [](const ProbeContext& x) { return x.Solid(x.palette.bandShadow); }},
    {"dock beside the band", Scene::kToolBar, [](const ProbeContext&) { return CPoint(1, 15); },
     [](const ProbeContext& x) {
         return Expect{GradientAt(x.palette.dockLeft, x.palette.dockRight, 1, x.GradientWidth(460)), 2};
     }},
    {"rounded top left corner", Scene::kToolBar, [](const ProbeContext&) { return CPoint(3, 1); },
     [](const ProbeContext& x) {
         return Expect{GradientAt(x.palette.dockLeft, x.palette.dockRight, 3, x.GradientWidth(460)), 2};
     }},
    {"rounded top right corner", Scene::kToolBar, [](const ProbeContext&) { return CPoint(439, 1); },
     [](const ProbeContext& x) {
         return Expect{GradientAt(x.palette.dockLeft, x.palette.dockRight, 439, x.GradientWidth(460)), 2};
     }},
    {"shadow ends before the corner", Scene::kToolBar, [](const ProbeContext&) { return CPoint(438, 29); },
     [](const ProbeContext& x) {
         return Expect{GradientAt(x.palette.dockLeft, x.palette.dockRight, 438, x.GradientWidth(460)), 2};
     }},
    {"gripper dot", Scene::kToolBar, [](const ProbeContext&) { return CPoint(5, 5); },
     [](const ProbeContext& x) { return x.Solid(x.Table(38)); }},
    {"gripper dot's light", Scene::kToolBar, [](const ProbeContext&) { return CPoint(7, 7); },
     [](const ProbeContext& x) { return x.Solid(x.Table(20)); }},
    {"hot button's frame", Scene::kToolBar, [](const ProbeContext& x) { return OnFrame(x.scene.c.pHot); },
     [](const ProbeContext& x) { return x.Solid(x.Table(32)); }},
    {"hot button's face", Scene::kToolBar, [](const ProbeContext& x) { return InFace(x.scene.c.pHot); },
     [](const ProbeContext& x) {
         return x.bScheme ? x.Face(x.scene.c.pHot, 0xC8F2FF, 0x97D4FF, InFace(x.scene.c.pHot).y) : x.Solid(x.Table(31));
     }},
    {"pressed button's frame", Scene::kToolBar, [](const ProbeContext& x) { return OnFrame(x.scene.c.pPressed); },
     [](const ProbeContext& x) { return x.Solid(x.Table(50)); }},
    {"pressed button's face", Scene::kToolBar, [](const ProbeContext& x) { return InFace(x.scene.c.pPressed); },
     [](const ProbeContext& x) {
         return x.bScheme ? x.Face(x.scene.c.pPressed, 0x4B8EFE, 0x8BCFFF, InFace(x.scene.c.pPressed).y)
                          : x.Solid(x.Table(33));
     }},
    {"checked button's frame", Scene::kToolBar, [](const ProbeContext& x) { return OnFrame(x.scene.c.pChecked); },
     [](const ProbeContext& x) { return x.Solid(x.Table(50)); }},
    {"checked button's face", Scene::kToolBar, [](const ProbeContext& x) { return InFace(x.scene.c.pChecked); },
     [](const ProbeContext& x) {
         return x.bScheme ? x.Face(x.scene.c.pChecked, 0x8CD5FF, 0x55ADFF, InFace(x.scene.c.pChecked).y)
                          : x.Solid(x.Table(36));
     }},
    {"normal button shows the band", Scene::kToolBar, [](const ProbeContext& x) { return InFace(x.scene.c.pNormal); },
     [](const ProbeContext& x) {
         const int nEnd = x.scene.c.pNormal->GetRect().bottom + 1;
         return Expect{GradientAt(x.palette.bandLight, x.palette.bandDark, InFace(x.scene.c.pNormal).y - 1, nEnd - 1),
                       2};
     }},
    {"separator's dark line", Scene::kToolBar,
     [](const ProbeContext& x) {
         return CPoint(x.scene.c.pSplit->GetRect().left - 4, x.scene.c.pSplit->GetRect().top + 6);
     },
     [](const ProbeContext& x) { return x.Solid(x.Table(39)); }},
    {"separator's light line", Scene::kToolBar,
     [](const ProbeContext& x) {
         return CPoint(x.scene.c.pSplit->GetRect().left - 3, x.scene.c.pSplit->GetRect().top + 6);
     },
     [](const ProbeContext& x) { return x.Solid(x.Table(20)); }},
    {"split button's hot face", Scene::kToolBar, [](const ProbeContext& x) { return InFace(x.scene.c.pSplit); },
     [](const ProbeContext& x) {
         return x.bScheme ? x.Face(x.scene.c.pSplit, 0xC8F2FF, 0x97D4FF, InFace(x.scene.c.pSplit).y)
                          : x.Solid(x.Table(31));
     }},
    {"split button's arrow", Scene::kToolBar,
     [](const ProbeContext& x) {
         const CRect rc = x.scene.c.pSplit->GetRect();
         return CPoint(rc.right - 7, (rc.top + rc.bottom) / 2 - 1);
     },
     [](const ProbeContext& x) { return x.Solid(x.Table(45)); }},
    {"combo box field's frame", Scene::kToolBar, [](const ProbeContext& x) { return OnFrame(x.scene.c.pCombo); },
     [](const ProbeContext& x) { return x.Solid(x.Table(53)); }},
    {"combo box field", Scene::kToolBar,
     [](const ProbeContext& x) {
         return CPoint(x.scene.c.pCombo->GetRect().left + 2, x.scene.c.pCombo->GetRect().top + 2);
     },
     [](const ProbeContext& x) { return x.Solid(x.Table(5)); }},

    // The menu bar: the dock's gradient in its own width.
    {"menu bar's left end", Scene::kMenuBar, [](const ProbeContext&) { return CPoint(0, 12); },
     [](const ProbeContext& x) {
         return Expect{x.palette.dockLeft, 1};
     }},
    {"menu bar's right end", Scene::kMenuBar, [](const ProbeContext&) { return CPoint(299, 12); },
     [](const ProbeContext& x) {
         return Expect{GradientAt(x.palette.dockLeft, x.palette.dockRight, 299, x.GradientWidth(300)), 2};
     }},
    {"hot menu's frame", Scene::kMenuBar, [](const ProbeContext& x) { return OnFrame(x.scene.c.pMenuHot); },
     [](const ProbeContext& x) { return x.Solid(x.Table(32)); }},
    {"hot menu's face", Scene::kMenuBar, [](const ProbeContext& x) { return InFace(x.scene.c.pMenuHot); },
     [](const ProbeContext& x) {
         return x.bScheme ? x.Face(x.scene.c.pMenuHot, 0xC8F2FF, 0x97D4FF, InFace(x.scene.c.pMenuHot).y)
                          : x.Solid(x.Table(31));
     }},
    {"open menu's frame", Scene::kMenuBar, [](const ProbeContext& x) { return OnFrame(x.scene.c.pMenuPopped); },
     [](const ProbeContext& x) { return x.Solid(x.Table(43)); }},
    {"open menu's face", Scene::kMenuBar, [](const ProbeContext& x) { return InFace(x.scene.c.pMenuPopped); },
     [](const ProbeContext& x) {
         return x.Face(x.scene.c.pMenuPopped, x.palette.poppedLight, x.palette.poppedDark,
                       InFace(x.scene.c.pMenuPopped).y);
     }},

    // The popup: a framed face with a gradient icon column.
    {"popup's border", Scene::kPopup, [](const ProbeContext&) { return CPoint(0, 0); },
     [](const ProbeContext& x) { return x.Solid(x.Table(43)); }},
    {"icon column's left", Scene::kPopup,
     [](const ProbeContext& x) { return CPoint(1, x.scene.c.pItemNormal->GetRect().CenterPoint().y); },
     [](const ProbeContext& x) {
         return Expect{x.palette.bandLight, 1};
     }},
    {"icon column's right", Scene::kPopup,
     [](const ProbeContext& x) { return CPoint(IconColumn(x) + 1, x.scene.c.pItemNormal->GetRect().CenterPoint().y); },
     [](const ProbeContext& x) {
         return Expect{GradientAt(x.palette.bandLight, x.palette.bandDark, IconColumn(x), IconColumn(x) + 1), 2};
     }},
    {"popup's face", Scene::kPopup,
     [](const ProbeContext& x) { return CPoint(IconColumn(x) + 4, x.scene.c.pItemNormal->GetRect().top + 1); },
     [](const ProbeContext& x) { return x.Solid(x.Table(41)); }},
    {"checked item's cell frame", Scene::kPopup,
     [](const ProbeContext& x) {
         const CRect rc = x.scene.c.pItemChecked->GetRect();
         return CPoint(1 + (IconColumn(x) + 1 - 16) / 2 - 2, rc.top + (rc.Height() - 16) / 2 - 2);
     },
     [](const ProbeContext& x) { return x.Solid(x.Table(50)); }},
    {"checked item's cell", Scene::kPopup,
     [](const ProbeContext& x) {
         const CRect rc = x.scene.c.pItemChecked->GetRect();
         return CPoint(1 + (IconColumn(x) + 1 - 16) / 2 + 1, rc.top + (rc.Height() - 16) / 2 + 1);
     },
     [](const ProbeContext& x) { return x.Solid(x.Table(36)); }},
    {"disabled item reached by keyboard: frame", Scene::kPopup,
     [](const ProbeContext& x) {
         return CPoint(x.scene.c.pItemDisabled->GetRect().left - 1, x.scene.c.pItemDisabled->GetRect().top);
     },
     [](const ProbeContext& x) { return x.Solid(x.Table(32)); }},
    {"disabled item reached by keyboard: face", Scene::kPopup,
     [](const ProbeContext& x) {
         return CPoint(x.scene.c.pItemDisabled->GetRect().right - 4, x.scene.c.pItemDisabled->GetRect().top + 2);
     },
     [](const ProbeContext& x) { return x.Solid(x.Table(41)); }},
    {"selected item's frame", Scene::kPopup,
     [](const ProbeContext& x) {
         return CPoint(x.scene.c.pItemSelected->GetRect().left - 1, x.scene.c.pItemSelected->GetRect().top);
     },
     [](const ProbeContext& x) { return x.Solid(x.Table(32)); }},
    {"selected item's face", Scene::kPopup,
     [](const ProbeContext& x) {
         return CPoint(x.scene.c.pItemSelected->GetRect().right - 4, x.scene.c.pItemSelected->GetRect().top + 2);
     },
     [](const ProbeContext& x) { return x.Solid(x.Table(31)); }},
    {"pressed item's face", Scene::kPopup,
     [](const ProbeContext& x) {
         return CPoint(x.scene.c.pItemPressed->GetRect().right - 4, x.scene.c.pItemPressed->GetRect().top + 2);
     },
     [](const ProbeContext& x) { return x.Solid(x.Table(31)); }},
    {"separator", Scene::kPopup,
     [](const ProbeContext& x) { return CPoint(IconColumn(x) + 12, x.scene.c.pItemSelected->GetRect().top - 2); },
     [](const ProbeContext& x) { return x.Solid(x.Table(39)); }},
};

TEST(ThemeOffice2003Scene, NamedPointsInEveryScheme)
{
    for (int nScheme : {xtpSystemThemeUnknown, xtpSystemThemeBlue, xtpSystemThemeOlive, xtpSystemThemeSilver}) {
        themetest::SchemeOverride scheme(nScheme);
        auto* pTheme = new CXTPThemeOffice2003;
        themetest::Scene scene(pTheme);
        const Palette palette = nScheme == xtpSystemThemeUnknown ? DerivedPalette(*pTheme) : SchemePalette(nScheme);
        const ProbeContext context{*pTheme, scene, palette, nScheme != xtpSystemThemeUnknown};
        const std::unique_ptr<lqtest::MemoryCanvas> canvases[] = {
            scene.Draw(Scene::kToolBar), scene.Draw(Scene::kMenuBar), scene.Draw(Scene::kPopup)};
        for (const Probe& probe : kProbes) {
            const CPoint pt = probe.point(context);
            lqtest::MemoryCanvas& canvas = *canvases[probe.bar];
            const COLORREF clr = canvas.Dc().GetPixel(pt.x, pt.y);
            const Expect expected = probe.expect(context);
            EXPECT_TRUE(Near(clr, expected.clr, expected.nTolerance))
                << "scheme " << nScheme << ", " << probe.pszName << " at (" << pt.x << ", " << pt.y << "): 0x"
                << std::hex << clr << " instead of 0x" << expected.clr;
        }
    }
}

// ---- Single operations

// The blue scheme unless a test says otherwise.
class ThemeOffice2003Test : public themetest::BarTest<CXTPThemeOffice2003>
{
protected:
    void SetUp() override
    {
        m_scheme.emplace(xtpSystemThemeBlue);
        m_theme.RefreshMetrics();
        BarTest::SetUp();
    }

    std::optional<themetest::SchemeOverride> m_scheme;
    CWinApp m_app{L"ThemeOffice2003Tests"};
};

TEST_F(ThemeOffice2003Test, ShortPopupsExpandButtonShowsTheDisc)
{
    MakeBar(xtpBarTypePopup, xtpBarPopup, CRect(0, 0, 120, 60));
    CXTPControl* pExpand = m_bar.GetControls()->AddByType(xtpControlButton, 0);
    lqtest::MemoryCanvas canvas(120, 60, RGB(255, 0, 255));
    EXPECT_EQ(m_theme.DrawControl(&canvas.Dc(), xtpButtonExpandMenu, pExpand, &m_bar, FALSE, CSize(0, 0)),
              CSize(0, 18));
    pExpand->SetRect(CRect(10, 20, 110, 38));
    m_theme.DrawControl(&canvas.Dc(), xtpButtonExpandMenu, pExpand, &m_bar, TRUE, CSize(0, 0));
    // The disc's top left at (centre - 7, top + 1); pixel (x, y) has shade 16 x + y.
    const CPoint origin(60 - 7, 21);
    EXPECT_EQ(canvas.Dc().GetPixel(origin.x + 8, origin.y + 15), 0xE2A981u);          // shade 0: the inner colour
    EXPECT_EQ(canvas.Dc().GetPixel(origin.x + 4, origin.y + 14), RGB(142, 178, 229)); // shade 36
    EXPECT_EQ(canvas.Dc().GetPixel(origin.x, origin.y), RGB(255, 0, 255));            // shade 255: transparent
    EXPECT_EQ(canvas.Dc().GetPixel(origin.x + 15, origin.y + 15), RGB(255, 0, 255));
}

TEST_F(ThemeOffice2003Test, ToolbarExpandButtonByState)
{
    MakeBar(xtpBarTypeNormal, xtpBarTop, CRect(0, 0, 200, 26));
    CXTPControl* pExpand = m_bar.GetControls()->Add(new themetest::CPoppedControl, 0);
    lqtest::MemoryCanvas measure(10, 10);
    m_theme.DrawControl(&measure.Dc(), xtpButtonExpandToolbar, pExpand, &m_bar, FALSE, CSize(200, 26));
    const CRect rc = pExpand->GetRect();
    ASSERT_EQ(rc, CRect(187, 2, 198, 24));
    struct Case
    {
        const char* pszName;
        int nSelected;
        BOOL bOpen;
        COLORREF clrFrom, clrTo, clrArrow;
    } cases[] = {
        {"open", 0, TRUE, 0x4B8EFE, 0x8BCFFF, 46},
        {"hot", xtpSelectedByMouse, FALSE, 0xC8F2FF, 0x97D4FF, 45},
        {"at rest", 0, FALSE, 0xF1A675, 0x913500, 46},
    };
    for (const Case& c : cases) {
        auto* pButton = static_cast<themetest::CPoppedControl*>(pExpand);
        pButton->SetSelected(c.nSelected);
        pButton->SetOpen(c.bOpen);
        lqtest::MemoryCanvas canvas(200, 26, RGB(255, 0, 255));
        m_theme.DrawControl(&canvas.Dc(), xtpButtonExpandToolbar, pExpand, &m_bar, TRUE, CSize(200, 26));
        CDC& dc = canvas.Dc();
        EXPECT_EQ(dc.GetPixel(rc.left, rc.top), RGB(255, 0, 255)) << c.pszName; // rounded corner
        EXPECT_TRUE(Near(dc.GetPixel(rc.left + 1, rc.top), c.clrFrom, 1)) << c.pszName;
        EXPECT_TRUE(Near(dc.GetPixel(rc.left + 1, rc.bottom - 1),
                         GradientAt(c.clrFrom, c.clrTo, rc.Height() - 1, rc.Height()), 2))
            << c.pszName;
        // The chevron's bar and its light shadow one pixel lower and to the right.
        const int mid = rc.left + rc.Width() / 2;
        EXPECT_EQ(dc.GetPixel(mid - 2, rc.bottom - 10), m_theme.GetColor(static_cast<COLORREF>(c.clrArrow)))
            << c.pszName;
        EXPECT_EQ(dc.GetPixel(mid + 3, rc.bottom - 9), m_theme.GetColor(20)) << c.pszName;
    }
}

TEST_F(ThemeOffice2003Test, GrippersOfEveryPosition)
{
    MakeBar(xtpBarTypeNormal, xtpBarLeft, CRect(0, 0, 40, 120));
    lqtest::MemoryCanvas canvas(40, 120, RGB(255, 0, 255));
    EXPECT_EQ(m_theme.DrawGripper(&canvas.Dc(), &m_bar, TRUE), CSize(0, 9));
    EXPECT_EQ(canvas.Dc().GetPixel(5, 6), m_theme.GetColor(38));
    EXPECT_EQ(canvas.Dc().GetPixel(7, 8), m_theme.GetColor(20));
    EXPECT_EQ(canvas.Dc().GetPixel(25, 6), m_theme.GetColor(38)); // the last dot: x = 28, as 28 + 1 < 40 - 8
    EXPECT_EQ(canvas.Dc().GetPixel(29, 6), RGB(255, 0, 255));

    m_bar.SetBarPosition(xtpBarFloating);
    m_bar.SetTitle(L"Format");
    lqtest::MemoryCanvas floating(40, 120, RGB(255, 0, 255));
    const CSize szCaption = m_theme.DrawGripper(&floating.Dc(), &m_bar, TRUE);
    EXPECT_EQ(szCaption.cx, 40 - 6);
    EXPECT_GE(szCaption.cy, 15);
    EXPECT_EQ(floating.Dc().GetPixel(3, 3), 0xC9662Au); // the blue scheme's gripper dark
    m_bar.SetBarPosition(xtpBarPopup);
    EXPECT_EQ(m_theme.DrawGripper(&floating.Dc(), &m_bar, FALSE), CSize(0, 0));
}

TEST_F(ThemeOffice2003Test, DockFillsAGradientOrASolidFace)
{
    struct Case
    {
        DWORD dwStyle;
        BOOL bSolid;
    } cases[] = {{0, FALSE}, {0x100, TRUE}, {0x4000, TRUE}};
    for (const Case& c : cases) {
        CWnd dock;
        ASSERT_TRUE(
            dock.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | c.dwStyle, CRect(0, 0, 200, 30), &m_host, 200));
        lqtest::MemoryCanvas canvas(200, 30, RGB(255, 0, 255));
        m_theme.FillDockBar(&canvas.Dc(), &dock);
        const int nWidth = std::max(200, ::GetSystemMetrics(SM_CXFULLSCREEN) / 2);
        EXPECT_EQ(canvas.Dc().GetPixel(0, 10), c.bSolid ? 0xFADAC4u : 0xF5BE9Eu) << c.dwStyle;
        EXPECT_TRUE(
            Near(canvas.Dc().GetPixel(199, 29), c.bSolid ? 0xFADAC4 : GradientAt(0xF5BE9E, 0xFADAC4, 199, nWidth), 2))
            << c.dwStyle;
        dock.DestroyWindow();
    }
}

TEST_F(ThemeOffice2003Test, ResizeGripperDrawnByTheStatusStyleOrAsGrooves)
{
    // Without a main window there is no status style: grooves of three dark lines and a light one, 5 apart.
    lqtest::MemoryCanvas grooves(40, 30, RGB(255, 0, 255));
    m_theme.DrawResizeGripper(&grooves.Dc(), CRect(0, 0, 40, 30));
    for (int nGroup = 0; nGroup < 3; ++nGroup) {
        for (int k = 1; k <= 4; ++k) {
            const int d = 5 * nGroup + k;
            EXPECT_EQ(grooves.Dc().GetPixel(39, 29 - d), m_theme.GetColor(k < 4 ? 16 : 20)) << d;
            EXPECT_EQ(grooves.Dc().GetPixel(39 - d, 29), m_theme.GetColor(k < 4 ? 16 : 20)) << d;
        }
    }
    EXPECT_EQ(grooves.Dc().GetPixel(39, 29 - 5), RGB(255, 0, 255)); // between two grooves
    EXPECT_EQ(grooves.Dc().GetPixel(39, 29 - 16), RGB(255, 0, 255));

    // With one, and the platform's styles in use, the platform draws the status bar's gripper part.
    m_app.m_pMainWnd = &m_host;
    m_theme.RefreshMetrics();
    CXTPUxTheme status;
    ASSERT_NE(status.OpenThemeData(m_host.GetSafeHwnd(), L"STATUS"), nullptr);
    lqtest::MemoryCanvas themed(40, 30, RGB(255, 0, 255));
    lqtest::MemoryCanvas reference(40, 30, RGB(255, 0, 255));
    m_theme.DrawResizeGripper(&themed.Dc(), CRect(0, 0, 40, 30));
    const CRect rcPart(22, 0, 40, 30);
    status.DrawThemeBackground(reference.Dc().GetSafeHdc(), 3, 0, &rcPart, nullptr);
    m_app.m_pMainWnd = nullptr;
    int nDiffering = 0, nPainted = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            nDiffering += themed.Dc().GetPixel(x, y) != reference.Dc().GetPixel(x, y);
            nPainted += reference.Dc().GetPixel(x, y) != RGB(255, 0, 255);
        }
    }
    EXPECT_EQ(nDiffering, 0);
    EXPECT_GT(nPainted, 0);
}

TEST_F(ThemeOffice2003Test, TearOffStripTextBoxAndBorders)
{
    MakeBar(xtpBarTypeNormal, xtpBarTop, CRect(0, 0, 200, 26));
    lqtest::MemoryCanvas canvas(100, 20, RGB(255, 0, 255));
    EXPECT_EQ(m_theme.DrawPopupStrip(&canvas.Dc(), CRect(0, 0, 100, 9), FALSE, FALSE), CSize(0, 9));
    m_theme.DrawPopupStrip(&canvas.Dc(), CRect(0, 0, 100, 9), FALSE, TRUE);
    // 98 wide inside the outer pixel: the dots run 32 either side of x 50, the first at x 18 to 20.
    EXPECT_EQ(canvas.Dc().GetPixel(0, 0), m_theme.GetColor(41));
    EXPECT_EQ(canvas.Dc().GetPixel(2, 2), m_theme.GetColor(30));
    EXPECT_EQ(canvas.Dc().GetPixel(17, 4), m_theme.GetColor(30));
    EXPECT_EQ(canvas.Dc().GetPixel(18, 4), m_theme.GetColor(38));
    EXPECT_EQ(canvas.Dc().GetPixel(20, 6), m_theme.GetColor(20));
    m_theme.DrawPopupStrip(&canvas.Dc(), CRect(0, 0, 100, 9), TRUE, TRUE);
    EXPECT_EQ(canvas.Dc().GetPixel(1, 1), m_theme.GetColor(32));
    EXPECT_EQ(canvas.Dc().GetPixel(3, 2), m_theme.GetColor(31));

    lqtest::MemoryCanvas box(60, 20, RGB(255, 0, 255));
    m_theme.DrawTextBox(&box.Dc(), CRect(0, 0, 60, 20), 0, L"");
    EXPECT_EQ(box.Dc().GetPixel(0, 10), 0xD3D3D3u);
    EXPECT_EQ(box.Dc().GetPixel(59, 19), 0xD3D3D3u);

    EXPECT_EQ(m_theme.GetBorders(&m_bar), CRect(4, 2, 2, 2));
    m_bar.SetBarPosition(xtpBarLeft);
    EXPECT_EQ(m_theme.GetBorders(&m_bar), CRect(2, 2, 2, 2));
}

} // namespace
