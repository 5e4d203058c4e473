// The toolkit-wide table of theme colours derived from the system colours, the gradient pairs of the Windows XP
// colour schemes, and the colour arithmetic the derivation uses.
#pragma once

#include <windows.h>

// Number of entries of the colour table; a colour argument above the last index is an RGB value.
const int XPCOLOR_COUNT = 57;
const int XPCOLOR_LAST = XPCOLOR_COUNT - 1;

// Values of GetLunaColorScheme.
enum XTPLunaColorScheme
{
    xtpSystemThemeUnknown = 0,
    xtpSystemThemeBlue = 1,
    xtpSystemThemeOlive = 2,
    xtpSystemThemeSilver = 3,
    xtpSystemThemeAuto = 4 // scheme cache: not known, ask the system
};

class CXTPGradientColor
{
public:
    CXTPGradientColor() : clrLight(0), clrDark(0) {}
    CXTPGradientColor(COLORREF light, COLORREF dark) : clrLight(light), clrDark(dark) {}

    void SetColors(COLORREF light, COLORREF dark)
    {
        clrLight = light;
        clrDark = dark;
    }
    CXTPGradientColor& operator=(COLORREF clr)
    {
        clrLight = clrDark = clr;
        return *this;
    }
    bool operator==(const CXTPGradientColor& other) const
    {
        return clrLight == other.clrLight && clrDark == other.clrDark;
    }

    COLORREF clrLight;
    COLORREF clrDark;
};

class CXTPColorManager
{
public:
    // The toolkit uses the one instance of GetColorManager; other instances serve tests.
    CXTPColorManager();

    static CXTPColorManager* GetColorManager();

    // Table entry for 0 to 56, else the value itself.
    COLORREF GetColor(COLORREF nIndex) const;
    // Rebuilds the table and the gradients from the system; with bOnlyOnce nothing happens after the first time.
    void RefreshColors(BOOL bOnlyOnce = FALSE);
    // The same from given system colours (entries 1 to 27 of pSysColors are used, index as for GetSysColor) and
    // display depth.
    void RefreshColorsFrom(const COLORREF pSysColors[28], BOOL bLowColor);

    int GetLunaColorScheme() const;
    // xtpSystemThemeAuto asks the visual style on every call; any other value is answered as it stands.
    void SetLunaColorScheme(int nScheme) { m_nLunaColorScheme = nScheme; }
    BOOL IsLunaColorsDisabled() const { return m_bDisableLunaColors; }
    void DisableLunaColors(BOOL bDisable) { m_bDisableLunaColors = bDisable; }

    // Per channel: weight below 100 is a percentage of clrFirst, else per mille.
    static COLORREF BlendColors(COLORREF clrFirst, COLORREF clrSecond, int nWeight);
    // Squared distance in the perceptually weighted colour space.
    static double ColorDistanceSquared(COLORREF clrA, COLORREF clrB);
    // The threshold for colours near clrA: up to twice the nominal one for dark colours.
    static int ScaledThreshold(COLORREF clrA, int nThreshold);
    static BOOL ColorsDiffer(COLORREF clrA, COLORREF clrB, BOOL bScaled, int nThreshold);
    // clrB moved towards clrA until it lies the scaled threshold away from it.
    static COLORREF PullColor(COLORREF clrA, COLORREF clrB, int nThreshold);
    // clrB moved away from clrA (darker or lighter) until it lies the scaled threshold away from it.
    static COLORREF PushColor(COLORREF clrA, COLORREF clrB, int nThreshold);

    // The three gradient pairs; the second is the alert background, the third the caption gradient.
    CXTPGradientColor grcFirst;
    CXTPGradientColor grcSecond;
    CXTPGradientColor grcThird;

private:
    void RefreshGradientColors();

    int m_bRefreshed;
    int m_bDisableLunaColors;
    COLORREF m_arrColor[XPCOLOR_COUNT];
    int m_nLunaColorScheme;
};

CXTPColorManager* XTPColorManager();

inline COLORREF GetToolkitColor(COLORREF nIndex)
{
    return XTPColorManager()->GetColor(nIndex);
}
