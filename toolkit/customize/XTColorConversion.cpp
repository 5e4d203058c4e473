// RGB to HSL and back, so that a colour converted there and back again is the same colour.
#include "toolkit/customize/XTColorConversion.h"

#include "toolkit/taskpanel/XTPTaskPanelPaintManager.h"

#include <algorithm>

namespace {

// A product that should be a whole step can come out a hair short of it (127 / 255 * 255 gives 126.99...);
// plain truncation would then lose a step on the way back, so such a shortfall counts as the step.
constexpr double kStepTolerance = 1e-6;

constexpr double kByteToFraction = 1.0 / 255.0;

} // namespace

int XTColorFractionToByte(double dValue)
{
    const double dStep = dValue * 255.0 + kStepTolerance;
    if (!(dStep > 0.0)) // also a NaN
        return 0;
    return std::min(static_cast<int>(dStep), 255);
}

void RgbToHsl(COLORREF clr, double& dHue, double& dSat, double& dLum)
{
    const double r = GetRValue(clr) * kByteToFraction;
    const double g = GetGValue(clr) * kByteToFraction;
    const double b = GetBValue(clr) * kByteToFraction;
    const double dMax = std::max({r, g, b});
    const double dMin = std::min({r, g, b});
    dLum = (dMax + dMin) / 2.0;
    if (dMax == dMin) {
        dHue = 0.0;
        dSat = 0.0;
        return;
    }
    const double d = dMax - dMin;
    dSat = dLum < 0.5 ? d / (dMax + dMin) : d / (2.0 - dMax - dMin);
    if (r == dMax)
        dHue = (g - b) / d;
    else if (g == dMax)
        dHue = (b - r) / d + 2.0;
    else
        dHue = (r - g) / d + 4.0;
    dHue /= 6.0;
    if (dHue < 0.0)
        dHue += 1.0;
}

COLORREF HslToRgb(double dHue, double dSat, double dLum)
{
    if (dSat == 0.0) {
        const int nGrey = XTColorFractionToByte(dLum);
        return RGB(nGrey, nGrey, nGrey);
    }
    const double m2 = dLum < 0.5 ? dLum * (1.0 + dSat) : dLum + dSat - dLum * dSat;
    const double m1 = 2.0 * dLum - m2;
    return RGB(XTColorFractionToByte(HueToRGB(m1, m2, dHue + 1.0 / 3.0)), XTColorFractionToByte(HueToRGB(m1, m2, dHue)),
               XTColorFractionToByte(HueToRGB(m1, m2, dHue - 1.0 / 3.0)));
}

void RgbToHslBytes(COLORREF clr, int& nHue, int& nSat, int& nLum)
{
    double dHue = 0.0;
    double dSat = 0.0;
    double dLum = 0.0;
    RgbToHsl(clr, dHue, dSat, dLum);
    nHue = XTColorFractionToByte(dHue);
    nSat = XTColorFractionToByte(dSat);
    nLum = XTColorFractionToByte(dLum);
}
