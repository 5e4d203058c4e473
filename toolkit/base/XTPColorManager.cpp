#include "toolkit/base/XTPColorManager.h"

#include "framework/core/ScopedHandles.h"
#include "toolkit/base/XTPUxTheme.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace {

// Weights of red, green and blue per unit in the perceptual space, and the ranges they give.
const double kWeight[3] = {0.7647058823529411, 1.5294117647058822, 0.2549019607843137};
const double kRange[3] = {195.0, 390.0, 65.0};
// Largest distance in the weighted space (white from black is about 441).
const double kMaxDistance = 442.0;

struct Weighted
{
    double c[3];
};

Weighted ToWeighted(COLORREF clr)
{
    return {{GetRValue(clr) * kWeight[0], GetGValue(clr) * kWeight[1], GetBValue(clr) * kWeight[2]}};
}

double Length(const Weighted& w)
{
    return std::sqrt(w.c[0] * w.c[0] + w.c[1] * w.c[1] + w.c[2] * w.c[2]);
}

Weighted Inverted(const Weighted& w)
{
    return {{kRange[0] - w.c[0], kRange[1] - w.c[1], kRange[2] - w.c[2]}};
}

COLORREF FromWeighted(Weighted w)
{
    int channel[3];
    for (int i = 0; i < 3; ++i) {
        double v = std::min(std::max(w.c[i], 0.0), kRange[i]);
        channel[i] = std::min(std::max(static_cast<int>(v * (255.0 / kRange[i]) + 0.5), 0), 255);
    }
    return RGB(channel[0], channel[1], channel[2]);
}

double Magnitude(COLORREF clr)
{
    return Length(ToWeighted(clr));
}

int MaxChannel(COLORREF clr)
{
    return std::max({GetRValue(clr), GetGValue(clr), GetBValue(clr)});
}

COLORREF ScaleChannels(COLORREF clr, int nNumerator, int nDenominator)
{
    return RGB(GetRValue(clr) * nNumerator / nDenominator, GetGValue(clr) * nNumerator / nDenominator,
               GetBValue(clr) * nNumerator / nDenominator);
}

bool IsLowColorDisplay()
{
    const CScopedWindowDC screen(nullptr);
    if (!screen)
        return false;
    const int nBits = GetDeviceCaps(screen, BITSPIXEL);
    return nBits >= 1 && nBits <= 8;
}

struct SchemeColors
{
    COLORREF clr54;
    CXTPGradientColor first, second, third;
};

const SchemeColors kSchemes[3] = {
    {0x962D00, {0xD68759, 0x962D00}, {0xF5BE9E, 0xFADAC4}, {0xD68759, 0x962D00}}, // blue
    {0x588060, {0x82C0AF, 0x447A63}, {0xA7D9D9, 0xE4F1F2}, {0x6F8E78, 0x435B49}}, // olive
    {0x947C7C, {0xBFA7A8, 0x916F70}, {0xE5D7D7, 0xF7F3F3}, {0xBFA7A8, 0x977677}}, // silver
};

} // namespace

CXTPColorManager::CXTPColorManager()
    : m_bRefreshed(FALSE), m_bDisableLunaColors(FALSE), m_arrColor(), m_nLunaColorScheme(xtpSystemThemeAuto)
{
}

CXTPColorManager* CXTPColorManager::GetColorManager()
{
    static CXTPColorManager* s_pInstance = [] {
        static CXTPColorManager s_instance;
        s_instance.RefreshColors(FALSE);
        return &s_instance;
    }();
    return s_pInstance;
}

CXTPColorManager* XTPColorManager()
{
    return CXTPColorManager::GetColorManager();
}

COLORREF CXTPColorManager::GetColor(COLORREF nIndex) const
{
    return nIndex <= static_cast<COLORREF>(XPCOLOR_LAST) ? m_arrColor[nIndex] : nIndex;
}

COLORREF CXTPColorManager::BlendColors(COLORREF clrFirst, COLORREF clrSecond, int nWeight)
{
    const int d = nWeight < 100 ? 100 : 1000;
    const int rounding = d / 2;
    auto mix = [&](int first, int second) { return (nWeight * first + (d - nWeight) * second + rounding) / d; };
    return RGB(mix(GetRValue(clrFirst), GetRValue(clrSecond)), mix(GetGValue(clrFirst), GetGValue(clrSecond)),
               mix(GetBValue(clrFirst), GetBValue(clrSecond)));
}

double CXTPColorManager::ColorDistanceSquared(COLORREF clrA, COLORREF clrB)
{
    Weighted a = ToWeighted(clrA), b = ToWeighted(clrB);
    double sum = 0;
    for (int i = 0; i < 3; ++i)
        sum += (a.c[i] - b.c[i]) * (a.c[i] - b.c[i]);
    return sum;
}

int CXTPColorManager::ScaledThreshold(COLORREF clrA, int nThreshold)
{
    const int nMagnitude = std::min(220, static_cast<int>(Magnitude(clrA)));
    return static_cast<int>((2.0f - static_cast<float>(nMagnitude) * 0.0045454544f) * static_cast<float>(nThreshold));
}

BOOL CXTPColorManager::ColorsDiffer(COLORREF clrA, COLORREF clrB, BOOL bScaled, int nThreshold)
{
    const double t = bScaled ? ScaledThreshold(clrA, nThreshold) : nThreshold;
    return ColorDistanceSquared(clrA, clrB) > t * t;
}

COLORREF CXTPColorManager::PullColor(COLORREF clrA, COLORREF clrB, int nThreshold)
{
    const double v = std::sqrt(ColorDistanceSquared(clrA, clrB));
    const double t = ScaledThreshold(clrA, nThreshold);
    if (v <= t)
        return clrB;
    const double fraction = (v - t) / v;
    Weighted a = ToWeighted(clrA), b = ToWeighted(clrB), p;
    for (int i = 0; i < 3; ++i)
        p.c[i] = b.c[i] + (a.c[i] - b.c[i]) * fraction;
    return FromWeighted(p);
}

COLORREF CXTPColorManager::PushColor(COLORREF clrA, COLORREF clrB, int nThreshold)
{
    const double t = ScaledThreshold(clrA, nThreshold);
    const double magA = Magnitude(clrA), magB = Magnitude(clrB);
    bool bDarker;
    if (magB <= magA)
        bDarker = !(magA <= t);
    else
        bDarker = magA > kMaxDistance - t;

    Weighted a = ToWeighted(clrA), b = ToWeighted(clrB);
    if (!bDarker) {
        // Going lighter is going darker in the inverted space.
        a = Inverted(a);
        b = Inverted(b);
    }
    const double lenB = std::max(Length(b), 0.001);
    double u[3], s = 0;
    for (int i = 0; i < 3; ++i) {
        u[i] = b.c[i] / lenB;
        s += a.c[i] * u[i];
    }
    const double d2 = std::max(0.0, Length(a) * Length(a) - s * s);
    // Rounding may leave a hair outside the threshold; the nearest point on the ray is then the answer.
    const double along = s - std::sqrt(std::max(0.0, t * t - d2));
    Weighted p;
    for (int i = 0; i < 3; ++i)
        p.c[i] = std::min(std::max(along * u[i], 0.0), kRange[i]);
    if (!bDarker)
        p = Inverted(p);
    return FromWeighted(p);
}

void CXTPColorManager::RefreshColors(BOOL bOnlyOnce)
{
    if (bOnlyOnce && m_bRefreshed)
        return;
    COLORREF sysColors[28] = {};
    for (int i = 1; i <= 27; ++i)
        sysColors[i] = GetSysColor(i);
    RefreshColorsFrom(sysColors, IsLowColorDisplay());
}

void CXTPColorManager::RefreshColorsFrom(const COLORREF pSysColors[28], BOOL bLowColor)
{
    m_bRefreshed = TRUE;
    COLORREF* c = m_arrColor;

    c[0] = 0;
    for (int i = 1; i <= 27; ++i)
        c[i] = pSysColors[i];
    c[28] = c[29] = 0;

    // Basic values, kept as they are on low-colour displays.
    c[30] = c[15];
    c[31] = c[5];
    c[32] = c[13];
    c[33] = c[13];
    c[34] = c[16];
    c[35] = c[17];
    c[36] = c[5];
    c[37] = c[13];
    c[38] = c[16];
    c[39] = c[16];
    c[40] = c[16];
    c[41] = c[5];
    c[42] = c[16];
    c[43] = c[16];
    c[44] = c[8];
    c[45] = c[7];
    c[46] = c[18];
    c[47] = c[14];
    c[48] = c[15];
    c[49] = c[18];
    c[50] = c[13];
    c[51] = c[15];
    c[52] = c[16];
    c[53] = c[15];
    c[54] = c[16];
    c[55] = c[15];
    c[56] = c[15];

    if (!bLowColor) {
        c[30] = BlendColors(c[5], c[15], 165);
        c[31] = BlendColors(c[13], c[5], 30);
        c[33] = BlendColors(c[13], c[5], 50);
        c[41] = BlendColors(c[15], c[5], 143);
        c[35] = BlendColors(c[17], c[5], 70);
        c[38] = BlendColors(c[16], c[5], 75);
        c[39] = BlendColors(c[16], c[5], 70);
        c[43] = BlendColors(c[46], c[16], 20);
        c[40] = BlendColors(c[16], c[5], 90);
        c[42] = BlendColors(c[15], c[16], 90);

        if (ColorsDiffer(c[15], c[30], TRUE, 35))
            c[30] = PullColor(c[15], c[30], 35);

        // Entry D is pushed away from A when it lies too close; the order matters, later checks read earlier
        // results.
        static const int kPushes[13][4] = {{31, 30, 31, 50},  {32, 30, 13, 100}, {33, 30, 33, 30},  {35, 41, 35, 80},
                                           {37, 33, 37, 100}, {38, 30, 38, 85},  {39, 30, 39, 50},  {43, 47, 43, 100},
                                           {40, 30, 40, 80},  {44, 41, 44, 180}, {45, 31, 45, 180}, {46, 30, 46, 180},
                                           {47, 33, 47, 180}};
        for (const auto& push : kPushes) {
            if (!ColorsDiffer(c[push[1]], c[push[2]], TRUE, push[3]))
                c[push[0]] = PushColor(c[push[1]], c[push[2]], push[3]);
        }

        if (ColorsDiffer(c[41], c[35], TRUE, 145))
            c[35] = PullColor(c[41], c[35], 145);

        auto mix36 = [&](int c30, int c13, int c5) { return c30 * 50 / 100 + c13 * 10 / 100 + c5 * 40 / 100; };
        c[36] = RGB(mix36(GetRValue(c[30]), GetRValue(c[13]), GetRValue(c[5])),
                    mix36(GetGValue(c[30]), GetGValue(c[13]), GetGValue(c[5])),
                    mix36(GetBValue(c[30]), GetBValue(c[13]), GetBValue(c[5])));

        const int m15 = MaxChannel(c[15]);
        c[48] = m15 == 0 ? RGB(0x23, 0x23, 0x23) : ScaleChannels(c[15], m15 + std::min(35, 255 - m15), m15);

        if (c[15] == 0) {
            c[49] = RGB(0x7F, 0x7F, 0x7F);
        } else {
            const int m16 = MaxChannel(c[16]);
            c[49] = m16 == 0 ? 0 : ScaleChannels(c[16], std::max(0, m16 - 43), m16);
        }

        c[34] = RGB(static_cast<int>(GetRValue(c[31]) * 0.75), static_cast<int>(GetGValue(c[31]) * 0.75),
                    static_cast<int>(GetBValue(c[31]) * 0.75));
        c[53] = c[30];
        c[22] = RGB(std::min(255, GetRValue(c[15]) + 15), std::min(255, GetGValue(c[15]) + 15),
                    std::min(255, GetBValue(c[15]) + 15));
    }

    RefreshGradientColors();
}

void CXTPColorManager::RefreshGradientColors()
{
    COLORREF* c = m_arrColor;
    grcFirst.SetColors(c[16], c[16]);
    grcSecond.SetColors(c[15], BlendColors(c[15], c[5], 205));
    grcThird.SetColors(c[15], c[16]);

    if (m_bDisableLunaColors)
        return;
    const int nScheme = GetLunaColorScheme();
    if (nScheme < xtpSystemThemeBlue || nScheme > xtpSystemThemeSilver)
        return;
    const SchemeColors& scheme = kSchemes[nScheme - 1];
    c[54] = scheme.clr54;
    grcFirst = scheme.first;
    grcSecond = scheme.second;
    grcThird = scheme.third;
}

int CXTPColorManager::GetLunaColorScheme() const
{
    if (m_nLunaColorScheme != xtpSystemThemeAuto)
        return m_nLunaColorScheme;

    CXTPUxTheme theme;
    WCHAR szFile[MAX_PATH] = {}, szColor[MAX_PATH] = {};
    if (FAILED(theme.GetCurrentThemeName(szFile, MAX_PATH, szColor, MAX_PATH, nullptr, 0)))
        return xtpSystemThemeUnknown;
    CharLowerBuffW(szFile, lstrlenW(szFile));
    CharLowerBuffW(szColor, lstrlenW(szColor));
    if (!wcsstr(szFile, L"luna.msstyles"))
        return xtpSystemThemeUnknown;
    if (lstrcmpW(szColor, L"normalcolor") == 0)
        return xtpSystemThemeBlue;
    if (lstrcmpW(szColor, L"homestead") == 0)
        return xtpSystemThemeOlive;
    if (lstrcmpW(szColor, L"metallic") == 0)
        return xtpSystemThemeSilver;
    return xtpSystemThemeUnknown;
}
