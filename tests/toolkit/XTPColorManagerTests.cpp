// The colour manager: colour arithmetic, the derived table for several system colour schemes, and the gradient
// pairs of the XP colour schemes.
#include "toolkit/base/XTPColorManager.h"

#include "tests/support/TestSupport.h"
#include "tests/toolkit/ThemeOverride.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

using CM = CXTPColorManager;

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

std::string Hex(COLORREF clr)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%06lX", static_cast<unsigned long>(clr));
    return text;
}

double Distance(COLORREF a, COLORREF b)
{
    return std::sqrt(CM::ColorDistanceSquared(a, b));
}

double Magnitude(COLORREF clr)
{
    return Distance(clr, kBlack);
}

// System colours 1 to 27 of a scheme; index 0 is unused.
struct SysColors
{
    COLORREF c[28];
};

SysColors Scheme(COLORREF window, COLORREF frame, COLORREF menuText, COLORREF highlight, COLORREF highlightText,
                 COLORREF face, COLORREF shadow, COLORREF grayText, COLORREF buttonText)
{
    SysColors s = {};
    for (int i = 1; i <= 27; ++i)
        s.c[i] = RGB(i * 7, 255 - i * 5, i * 3); // distinct values for the entries that are copied only
    s.c[COLOR_WINDOW] = window;
    s.c[COLOR_WINDOWFRAME] = frame;
    s.c[COLOR_MENUTEXT] = menuText;
    s.c[COLOR_HIGHLIGHT] = highlight;
    s.c[COLOR_HIGHLIGHTTEXT] = highlightText;
    s.c[COLOR_BTNFACE] = face;
    s.c[COLOR_BTNSHADOW] = shadow;
    s.c[COLOR_GRAYTEXT] = grayText;
    s.c[COLOR_BTNTEXT] = buttonText;
    s.c[COLOR_3DLIGHT] = RGB(223, 223, 223);
    return s;
}

const SysColors kClassic = Scheme(kWhite, kBlack, kBlack, RGB(0, 0, 128), kWhite, RGB(192, 192, 192),
                                  RGB(128, 128, 128), RGB(128, 128, 128), kBlack);
const SysColors kLight = Scheme(kWhite, RGB(100, 100, 100), kBlack, RGB(49, 106, 197), kWhite, RGB(236, 233, 216),
                                RGB(172, 168, 153), RGB(172, 168, 153), kBlack);
const SysColors kHighContrast =
    Scheme(kBlack, kWhite, kWhite, RGB(128, 0, 128), kWhite, kBlack, RGB(128, 128, 128), RGB(0, 255, 0), kWhite);
const SysColors kDarkFace = Scheme(RGB(30, 30, 30), RGB(200, 200, 200), RGB(230, 230, 230), RGB(0, 120, 215), kWhite,
                                   RGB(45, 45, 48), RGB(20, 20, 20), RGB(110, 110, 110), RGB(240, 240, 240));

// A manager refreshed from a scheme, with the XP scheme colours given explicitly.
CM Refreshed(const SysColors& sys, BOOL bLowColor, int nScheme = xtpSystemThemeUnknown)
{
    CM cm;
    cm.SetLunaColorScheme(nScheme);
    cm.RefreshColorsFrom(sys.c, bLowColor);
    return cm;
}

TEST(XTPColorManager, BlendWeightsBelowHundredArePercentsAboveArePerMille)
{
    struct Case
    {
        COLORREF a, b;
        int weight;
        COLORREF expected;
    };
    const Case cases[] = {
        {kWhite, kBlack, 30, 0x4D4D4D},  // (30 * 255 + 50) / 100 = 77
        {kWhite, kBlack, 300, 0x4D4D4D}, // (300 * 255 + 500) / 1000 = 77
        {kWhite, kBlack, 99, 0xFCFCFC},  // last percentage
        {kWhite, kBlack, 100, 0x1A1A1A}, // first per-mille value: 10 per cent
        {RGB(255, 0, 0), RGB(0, 0, 255), 50, RGB(128, 0, 128)},
        {RGB(10, 20, 30), RGB(200, 100, 0), 165, RGB(169, 87, 5)},
        {RGB(192, 192, 192), kWhite, 0, kWhite},
        {RGB(1, 2, 3), RGB(9, 9, 9), 1000, RGB(1, 2, 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(c.expected), Hex(CM::BlendColors(c.a, c.b, c.weight)))
            << Hex(c.a) << " " << Hex(c.b) << " weight " << c.weight;
}

TEST(XTPColorManager, DistanceWeightsGreenMostAndBlueLeast)
{
    EXPECT_NEAR(195.0 * 195.0, CM::ColorDistanceSquared(RGB(255, 0, 0), kBlack), 1e-6);
    EXPECT_NEAR(390.0 * 390.0, CM::ColorDistanceSquared(RGB(0, 255, 0), kBlack), 1e-6);
    EXPECT_NEAR(65.0 * 65.0, CM::ColorDistanceSquared(RGB(0, 0, 255), kBlack), 1e-6);
    EXPECT_NEAR(440.85, Distance(kWhite, kBlack), 0.01);
    EXPECT_DOUBLE_EQ(CM::ColorDistanceSquared(RGB(10, 200, 30), RGB(90, 4, 250)),
                     CM::ColorDistanceSquared(RGB(90, 4, 250), RGB(10, 200, 30)));
}

TEST(XTPColorManager, ThresholdDoublesForDarkColours)
{
    struct Case
    {
        COLORREF a;
        int t;
        int expected;
    };
    const Case cases[] = {
        {kBlack, 50, 100},          // magnitude 0
        {RGB(0, 72, 0), 40, 60},    // magnitude 110: one and a half times
        {kWhite, 35, 35},           // magnitude above 220
        {RGB(0, 144, 0), 100, 100}, // magnitude 220
        {RGB(192, 192, 192), 35, 35},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CM::ScaledThreshold(c.a, c.t)) << Hex(c.a) << " at " << c.t;
}

TEST(XTPColorManager, ColoursDifferBeyondTheThreshold)
{
    const COLORREF blue100 = RGB(0, 0, 100); // 25.49 from black
    EXPECT_TRUE(CM::ColorsDiffer(kBlack, blue100, FALSE, 25));
    EXPECT_FALSE(CM::ColorsDiffer(kBlack, blue100, FALSE, 26));
    // Scaled from black the threshold doubles.
    EXPECT_TRUE(CM::ColorsDiffer(kBlack, blue100, TRUE, 12));
    EXPECT_FALSE(CM::ColorsDiffer(kBlack, blue100, TRUE, 13));
    EXPECT_FALSE(CM::ColorsDiffer(kWhite, kWhite, TRUE, 0));
}

TEST(XTPColorManager, PullBringsTheSecondColourToTheThresholdAlongTheLine)
{
    struct Case
    {
        COLORREF a, b;
        int t;
    };
    const Case cases[] = {
        {kWhite, kBlack, 35},
        {RGB(192, 192, 192), RGB(0, 0, 128), 35},
        {kBlack, RGB(255, 255, 0), 50},
        {RGB(236, 233, 216), RGB(49, 106, 197), 145},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.a) + " " + Hex(c.b));
        const COLORREF pulled = CM::PullColor(c.a, c.b, c.t);
        const int t = CM::ScaledThreshold(c.a, c.t);
        EXPECT_NEAR(t, Distance(c.a, pulled), 1.0);
        // On the segment from b to a: no detour.
        EXPECT_NEAR(Distance(c.a, c.b), Distance(c.a, pulled) + Distance(pulled, c.b), 1.5);
    }
    // A colour already within the threshold stays.
    EXPECT_EQ(Hex(RGB(200, 200, 200)), Hex(CM::PullColor(RGB(192, 192, 192), RGB(200, 200, 200), 35)));
}

TEST(XTPColorManager, PushMovesTheSecondColourOutToTheThreshold)
{
    struct Case
    {
        const char* name;
        COLORREF a, b;
        int t;
        bool darker;
    };
    const Case cases[] = {
        {"darker of a light colour goes darker", kWhite, RGB(250, 250, 250), 50, true},
        {"equal light colours: darker", kWhite, kWhite, 35, true},
        {"lighter of a near-white colour goes darker", RGB(250, 250, 250), kWhite, 50, true},
        {"lighter of black goes lighter", kBlack, RGB(5, 5, 5), 30, false},
        {"darker of a very dark colour goes lighter", RGB(10, 10, 10), RGB(5, 5, 5), 30, false},
        {"equal blacks: lighter", kBlack, kBlack, 20, false},
        {"coloured, darker", RGB(200, 210, 230), RGB(195, 205, 225), 80, true},
        {"coloured, lighter", RGB(60, 30, 90), RGB(70, 40, 95), 80, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const COLORREF pushed = CM::PushColor(c.a, c.b, c.t);
        EXPECT_NEAR(CM::ScaledThreshold(c.a, c.t), Distance(c.a, pushed), 1.0) << Hex(pushed);
        if (c.darker) {
            EXPECT_LT(Magnitude(pushed), Magnitude(c.b)) << Hex(pushed);
        } else {
            EXPECT_GT(Magnitude(pushed), Magnitude(c.b)) << Hex(pushed);
        }
    }
}

TEST(XTPColorManager, TableCopiesSystemColoursAndLeavesTheGapBlack)
{
    for (const SysColors* sys : {&kClassic, &kHighContrast}) {
        for (BOOL bLow : {FALSE, TRUE}) {
            CM cm = Refreshed(*sys, bLow);
            EXPECT_EQ(0u, cm.GetColor(0));
            for (int i = 1; i <= 27; ++i) {
                if (i != COLOR_3DLIGHT || bLow) {
                    EXPECT_EQ(Hex(sys->c[i]), Hex(cm.GetColor(i))) << "entry " << i;
                }
            }
            EXPECT_EQ(0u, cm.GetColor(28));
            EXPECT_EQ(0u, cm.GetColor(29));
        }
    }
}

TEST(XTPColorManager, ClassicGreyDerivations)
{
    CM cm = Refreshed(kClassic, FALSE);
    // 165 per mille of white over the face, already within the threshold of the face, so not pulled.
    EXPECT_EQ(Hex(0xCACACA), Hex(cm.GetColor(30)));
    EXPECT_FALSE(CM::ColorsDiffer(cm.GetColor(15), cm.GetColor(30), TRUE, 35));
    EXPECT_EQ(Hex(RGB(207, 207, 207)), Hex(cm.GetColor(22)));
    EXPECT_EQ(Hex(RGB(227, 227, 227)), Hex(cm.GetColor(48)));
    EXPECT_EQ(Hex(RGB(85, 85, 85)), Hex(cm.GetColor(49)));
    EXPECT_EQ(Hex(CM::BlendColors(kClassic.c[15], kWhite, 143)), Hex(cm.GetColor(41)));
    EXPECT_EQ(Hex(CM::BlendColors(kClassic.c[15], kClassic.c[16], 90)), Hex(cm.GetColor(42)));
    // The highlight blend lies too close to the face colour and is pushed out.
    EXPECT_NE(Hex(CM::BlendColors(kClassic.c[13], kWhite, 30)), Hex(cm.GetColor(31)));
    EXPECT_NEAR(CM::ScaledThreshold(cm.GetColor(30), 50), Distance(cm.GetColor(30), cm.GetColor(31)), 1.0);
}

TEST(XTPColorManager, DerivedEntriesFollowTheirFormulas)
{
    for (const SysColors* sys : {&kClassic, &kLight, &kHighContrast, &kDarkFace}) {
        SCOPED_TRACE(Hex(sys->c[15]));
        CM cm = Refreshed(*sys, FALSE);
        auto c = [&](int i) { return cm.GetColor(i); };
        for (int ch = 0; ch < 3; ++ch) {
            auto channel = [ch](COLORREF clr) { return static_cast<int>((clr >> (8 * ch)) & 0xFF); };
            EXPECT_EQ(channel(c(30)) * 50 / 100 + channel(c(13)) * 10 / 100 + channel(c(5)) * 40 / 100, channel(c(36)));
            EXPECT_EQ(static_cast<int>(channel(c(31)) * 0.75), channel(c(34)));
            EXPECT_EQ(std::min(255, channel(sys->c[15]) + 15), channel(c(22)));
        }
        EXPECT_EQ(c(30), c(53));
        EXPECT_EQ(sys->c[13], c(50));
        for (int i : {51, 55, 56})
            EXPECT_EQ(sys->c[15], c(i)) << "entry " << i;
        EXPECT_EQ(sys->c[16], c(52));
        EXPECT_EQ(sys->c[16], c(54));
        EXPECT_FALSE(CM::ColorsDiffer(c(15), c(30), TRUE, 35));
        EXPECT_FALSE(CM::ColorsDiffer(c(41), c(35), TRUE, 145));
    }
}

TEST(XTPColorManager, PushedPairsEndAtLeastTheThresholdApart)
{
    // (entry, from, threshold); the check of 43 against 47 is left out because 47 is pushed after it.
    const int checks[][3] = {{31, 30, 50}, {32, 30, 100}, {33, 30, 30},  {35, 41, 80},  {37, 33, 100}, {38, 30, 85},
                             {39, 30, 50}, {40, 30, 80},  {44, 41, 180}, {45, 31, 180}, {46, 30, 180}, {47, 33, 180}};
    for (const SysColors* sys : {&kClassic, &kLight, &kHighContrast, &kDarkFace}) {
        CM cm = Refreshed(*sys, FALSE);
        for (const auto& check : checks) {
            const COLORREF from = cm.GetColor(check[1]), entry = cm.GetColor(check[0]);
            EXPECT_GE(Distance(from, entry), CM::ScaledThreshold(from, check[2]) - 1.0)
                << "face " << Hex(sys->c[15]) << ": entry " << check[0] << " " << Hex(entry) << " from " << check[1]
                << " " << Hex(from);
        }
    }
}

TEST(XTPColorManager, LowColourKeepsEveryBasicValue)
{
    CM cm = Refreshed(kClassic, TRUE);
    const COLORREF* s = kClassic.c;
    const struct
    {
        int entry;
        COLORREF basic;
    } basics[] = {{30, s[15]}, {31, s[5]},  {32, s[13]}, {33, s[13]}, {34, s[16]}, {35, s[17]}, {36, s[5]},
                  {37, s[13]}, {38, s[16]}, {39, s[16]}, {40, s[16]}, {41, s[5]},  {42, s[16]}, {43, s[16]},
                  {44, s[8]},  {45, s[7]},  {46, s[18]}, {47, s[14]}, {48, s[15]}, {49, s[18]}, {50, s[13]},
                  {51, s[15]}, {52, s[16]}, {53, s[15]}, {54, s[16]}, {55, s[15]}, {56, s[15]}};
    for (const auto& b : basics)
        EXPECT_EQ(Hex(b.basic), Hex(cm.GetColor(b.entry))) << "entry " << b.entry;
    EXPECT_EQ(Hex(RGB(223, 223, 223)), Hex(cm.GetColor(COLOR_3DLIGHT)));
    // The gradients are still computed.
    EXPECT_EQ(CXTPGradientColor(s[15], CM::BlendColors(s[15], s[5], 205)), cm.grcSecond);
}

TEST(XTPColorManager, BrightenedFaceAndDarkenedShadow)
{
    struct Case
    {
        COLORREF face, shadow, c48, c49;
    };
    const Case cases[] = {
        {kBlack, RGB(128, 128, 128), 0x232323, 0x7F7F7F},
        {RGB(240, 240, 240), kBlack, kWhite, kBlack},
        {RGB(200, 100, 50), RGB(100, 50, 20), RGB(235, 117, 58), RGB(57, 28, 11)},
        {RGB(192, 192, 192), RGB(40, 40, 40), RGB(227, 227, 227), kBlack},
    };
    for (const Case& c : cases) {
        SysColors sys = kClassic;
        sys.c[COLOR_BTNFACE] = c.face;
        sys.c[COLOR_BTNSHADOW] = c.shadow;
        CM cm = Refreshed(sys, FALSE);
        EXPECT_EQ(Hex(c.c48), Hex(cm.GetColor(48))) << "face " << Hex(c.face);
        EXPECT_EQ(Hex(c.c49), Hex(cm.GetColor(49))) << "face " << Hex(c.face);
    }
}

TEST(XTPColorManager, GetColorPassesRgbValuesThrough)
{
    CM cm = Refreshed(kClassic, FALSE);
    EXPECT_EQ(cm.GetColor(30), cm.GetColor(XPCOLOR_LAST - 26));
    EXPECT_EQ(kClassic.c[15], cm.GetColor(56));
    EXPECT_EQ(57u, cm.GetColor(57));
    EXPECT_EQ(0x123456u, cm.GetColor(0x123456));
}

TEST(XTPColorManager, SchemeGradientsAndEntry54)
{
    const COLORREF* s = kClassic.c;
    struct Case
    {
        int scheme;
        BOOL disabled;
        COLORREF c54;
        CXTPGradientColor first, second, third;
    };
    const CXTPGradientColor sysFirst(s[16], s[16]), sysSecond(s[15], CM::BlendColors(s[15], s[5], 205)),
        sysThird(s[15], s[16]);
    const Case cases[] = {
        {xtpSystemThemeUnknown, FALSE, s[16], sysFirst, sysSecond, sysThird},
        {xtpSystemThemeBlue, FALSE, 0x962D00, {0xD68759, 0x962D00}, {0xF5BE9E, 0xFADAC4}, {0xD68759, 0x962D00}},
        {xtpSystemThemeOlive, FALSE, 0x588060, {0x82C0AF, 0x447A63}, {0xA7D9D9, 0xE4F1F2}, {0x6F8E78, 0x435B49}},
        {xtpSystemThemeSilver, FALSE, 0x947C7C, {0xBFA7A8, 0x916F70}, {0xE5D7D7, 0xF7F3F3}, {0xBFA7A8, 0x977677}},
        {xtpSystemThemeBlue, TRUE, s[16], sysFirst, sysSecond, sysThird},
    };
    for (const Case& c : cases) {
        CM cm;
        cm.SetLunaColorScheme(c.scheme);
        cm.DisableLunaColors(c.disabled);
        cm.RefreshColorsFrom(kClassic.c, FALSE);
        SCOPED_TRACE("scheme " + std::to_string(c.scheme) + (c.disabled ? " disabled" : ""));
        EXPECT_EQ(Hex(c.c54), Hex(cm.GetColor(54)));
        EXPECT_EQ(c.first, cm.grcFirst);
        EXPECT_EQ(c.second, cm.grcSecond);
        EXPECT_EQ(c.third, cm.grcThird);
        // Nothing else of the table depends on the scheme.
        CM plain = Refreshed(kClassic, FALSE);
        for (int i = 0; i < XPCOLOR_COUNT; ++i) {
            if (i != 54) {
                EXPECT_EQ(plain.GetColor(i), cm.GetColor(i)) << "entry " << i;
            }
        }
    }
}

TEST(XTPColorManager, SchemeIsReadFromTheVisualStyle)
{
    struct Case
    {
        BOOL active;
        const wchar_t* file;
        const wchar_t* color;
        int expected;
    };
    const Case cases[] = {
        {TRUE, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", xtpSystemThemeBlue},
        {TRUE, L"C:\\WINDOWS\\RESOURCES\\THEMES\\LUNA\\LUNA.MSSTYLES", L"HOMESTEAD", xtpSystemThemeOlive},
        {TRUE, L"c:\\windows\\resources\\themes\\luna\\luna.msstyles", L"metallic", xtpSystemThemeSilver},
        {TRUE, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"Royale", xtpSystemThemeUnknown},
        {TRUE, L"C:\\windows\\resources\\themes\\light\\light.msstyles", L"NormalColor", xtpSystemThemeUnknown},
        {TRUE, L"C:\\Themes\\Royale.msstyles", L"HomeStead", xtpSystemThemeUnknown},
        {FALSE, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", xtpSystemThemeUnknown},
    };
    for (const Case& c : cases) {
        tktest::ThemeOverride over(c.active, c.file, c.color, MAKELONG(0, 6));
        CM cm;
        EXPECT_EQ(c.expected, cm.GetLunaColorScheme()) << lqtest::Narrow(c.file) << " / " << lqtest::Narrow(c.color);
        // The answer is not kept: a set scheme wins, and the system is asked again after it is cleared.
        cm.SetLunaColorScheme(xtpSystemThemeSilver);
        EXPECT_EQ(xtpSystemThemeSilver, cm.GetLunaColorScheme());
        cm.SetLunaColorScheme(xtpSystemThemeAuto);
        EXPECT_EQ(c.expected, cm.GetLunaColorScheme());
    }
}

TEST(XTPColorManager, RefreshAppliesTheSchemeOfTheVisualStyle)
{
    tktest::ThemeOverride over(TRUE, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"HomeStead",
                               MAKELONG(0, 6));
    CM cm;
    cm.RefreshColorsFrom(kLight.c, FALSE);
    EXPECT_EQ(Hex(0x588060), Hex(cm.GetColor(54)));
    EXPECT_EQ(CXTPGradientColor(0x6F8E78, 0x435B49), cm.grcThird);
}

TEST(XTPColorManager, RefreshOnlyOnceKeepsTheFirstTable)
{
    CM cm;
    cm.SetLunaColorScheme(xtpSystemThemeUnknown);
    cm.RefreshColors(TRUE);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), cm.GetColor(COLOR_BTNFACE));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), cm.GetColor(COLOR_WINDOW));

    cm.RefreshColorsFrom(kHighContrast.c, FALSE);
    cm.RefreshColors(TRUE);
    EXPECT_EQ(kHighContrast.c[COLOR_HIGHLIGHT], cm.GetColor(COLOR_HIGHLIGHT));
    cm.RefreshColors(FALSE);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), cm.GetColor(COLOR_HIGHLIGHT));
}

TEST(XTPColorManager, OneSharedInstanceFilledOnFirstUse)
{
    CM* pManager = CM::GetColorManager();
    ASSERT_NE(nullptr, pManager);
    EXPECT_EQ(pManager, XTPColorManager());
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), pManager->GetColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetToolkitColor(COLOR_BTNFACE));
    EXPECT_EQ(CM::BlendColors(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOW), 143), pManager->GetColor(41));
    EXPECT_FALSE(pManager->IsLunaColorsDisabled());
}

} // namespace
