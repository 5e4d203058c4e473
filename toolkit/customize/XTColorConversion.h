// Conversions between RGB colours and hue, saturation and luminance, each as a fraction from 0 to 1 (the hue of
// a turn), used by the colour dialog's custom page, its spectrum and its luminance bar.
#pragma once

#include <windows.h>

// A grey has hue and saturation 0.
void RgbToHsl(COLORREF clr, double& dHue, double& dSat, double& dLum);
COLORREF HslToRgb(double dHue, double dSat, double dLum);

// A fraction as a step from 0 to 255, truncated (one half is 127), clamped to that range.
int XTColorFractionToByte(double dValue);

// The numbers the custom page shows for a colour: each fraction of RgbToHsl as a step from 0 to 255.
void RgbToHslBytes(COLORREF clr, int& nHue, int& nSat, int& nLum);
