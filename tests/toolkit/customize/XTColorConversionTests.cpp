// RGB and HSL conversions: known colours both ways, the hue's wrap, truncation with whole steps kept, and colours
// that come back unchanged from a trip there and back.
#include "toolkit/customize/XTColorConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct HslCase
{
    COLORREF clr;
    double dHue;
    double dSat;
    double dLum;
};

const HslCase kKnownColours[] = {
    {RGB(255, 0, 0), 0.0, 1.0, 0.5},
    {RGB(0, 255, 0), 1.0 / 3.0, 1.0, 0.5},
    {RGB(0, 0, 255), 2.0 / 3.0, 1.0, 0.5},
    {RGB(255, 255, 0), 1.0 / 6.0, 1.0, 0.5},
    {RGB(0, 255, 255), 0.5, 1.0, 0.5},
    {RGB(255, 0, 255), 5.0 / 6.0, 1.0, 0.5},
    {RGB(0, 0, 0), 0.0, 0.0, 0.0},
    {RGB(255, 255, 255), 0.0, 0.0, 1.0},
    {RGB(128, 0, 0), 0.0, 1.0, 128 / 510.0},
    {RGB(255, 128, 128), 0.0, 1.0, 383 / 510.0},
    // Red is the largest and blue above green: the hue comes out negative and wraps to just under a turn.
    {RGB(255, 0, 128), 1.0 - 128 / 1530.0, 1.0, 0.5},
};

} // namespace

TEST(ColorConversion, KnownColoursConvertBothWays)
{
    for (const HslCase& c : kKnownColours) {
        double dHue = -1, dSat = -1, dLum = -1;
        RgbToHsl(c.clr, dHue, dSat, dLum);
        EXPECT_NEAR(c.dHue, dHue, 1e-12) << std::hex << c.clr;
        EXPECT_NEAR(c.dSat, dSat, 1e-12) << std::hex << c.clr;
        EXPECT_NEAR(c.dLum, dLum, 1e-12) << std::hex << c.clr;
        EXPECT_EQ(c.clr, HslToRgb(c.dHue, c.dSat, c.dLum)) << std::hex << c.clr;
    }
}

TEST(ColorConversion, HueWrapsAroundTheTurn)
{
    // A whole turn is red again; a hue just short of it is red with a little blue.
    EXPECT_EQ(RGB(255, 0, 0), HslToRgb(1.0, 1.0, 0.5));
    EXPECT_EQ(RGB(255, 0, 0), HslToRgb(0.0, 1.0, 0.5));
    EXPECT_EQ(RGB(255, 0, 25), HslToRgb(1.0 - 0.1 / 6.0, 1.0, 0.5));
    EXPECT_EQ(RGB(255, 25, 0), HslToRgb(0.1 / 6.0, 1.0, 0.5));
}

TEST(ColorConversion, StepsAreTruncatedButAWholeStepIsNotLost)
{
    struct Case
    {
        double dValue;
        int nStep;
    };
    const Case cases[] = {
        {0.5, 127},         // 127.5: truncation, not rounding
        {127 / 255.0, 127}, // 126.999... in floating point
        {0.999, 254},       {1.0, 255}, {0.0, 0}, {-0.25, 0}, {1.5, 255}, {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.nStep, XTColorFractionToByte(c.dValue)) << c.dValue;
    EXPECT_EQ(RGB(127, 127, 127), HslToRgb(0.0, 0.0, 0.5));
}

TEST(ColorConversion, TheNumbersOfAColourAreItsFractionsInSteps)
{
    struct Case
    {
        COLORREF clr;
        int nHue;
        int nSat;
        int nLum;
    };
    const Case cases[] = {
        {RGB(0, 0, 255), 170, 255, 127}, {RGB(255, 0, 0), 0, 255, 127}, {RGB(127, 127, 127), 0, 0, 127},
        {RGB(200, 200, 200), 0, 0, 200}, {RGB(0, 0, 0), 0, 0, 0},       {RGB(255, 255, 255), 0, 0, 255},
        {RGB(0, 128, 64), 106, 255, 64},
    };
    for (const Case& c : cases) {
        int nHue = -1, nSat = -1, nLum = -1;
        RgbToHslBytes(c.clr, nHue, nSat, nLum);
        EXPECT_EQ(c.nHue, nHue) << std::hex << c.clr;
        EXPECT_EQ(c.nSat, nSat) << std::hex << c.clr;
        EXPECT_EQ(c.nLum, nLum) << std::hex << c.clr;
    }
}

TEST(ColorConversion, EveryGreyComesBackUnchangedWithItsLevelAsLuminance)
{
    for (int nLevel = 0; nLevel <= 255; ++nLevel) {
        const COLORREF clr = RGB(nLevel, nLevel, nLevel);
        double dHue = -1, dSat = -1, dLum = -1;
        RgbToHsl(clr, dHue, dSat, dLum);
        EXPECT_EQ(0.0, dHue) << nLevel;
        EXPECT_EQ(0.0, dSat) << nLevel;
        EXPECT_EQ(clr, HslToRgb(dHue, dSat, dLum)) << nLevel;
        int nHue = -1, nSat = -1, nLum = -1;
        RgbToHslBytes(clr, nHue, nSat, nLum);
        EXPECT_EQ(nLevel, nLum);
    }
}

TEST(ColorConversion, ColoursAcrossTheCubeComeBackUnchanged)
{
    // Every fifth step of each component, with both ends: 52 x 52 x 52 colours.
    int nFailures = 0;
    for (int r = 0; r <= 255; r += 5) {
        for (int g = 0; g <= 255; g += 5) {
            for (int b = 0; b <= 255; b += 5) {
                const COLORREF clr = RGB(r, g, b);
                double dHue = 0, dSat = 0, dLum = 0;
                RgbToHsl(clr, dHue, dSat, dLum);
                const COLORREF back = HslToRgb(dHue, dSat, dLum);
                if (back != clr && ++nFailures <= 5)
                    ADD_FAILURE() << std::hex << clr << " came back as " << back;
            }
        }
    }
    EXPECT_EQ(0, nFailures);
}
