// Pictures of visual-style parts by style, part, state and size: each is drawn once through the platform and then
// copied. Under Wine the platform takes about a tenth of a millisecond for one part, even one that draws nothing,
// which made a themed toolbar several times slower to paint than any other.
#pragma once

#include "toolkit/base/XTPUxTheme.h"

#include <windows.h>

#include <vector>

class CXTPThemePartCache
{
public:
    CXTPThemePartCache() = default;
    ~CXTPThemePartCache();
    CXTPThemePartCache(const CXTPThemePartCache&) = delete;
    CXTPThemePartCache& operator=(const CXTPThemePartCache&) = delete;

    // As the style's DrawThemeBackground over rc without a clip rectangle; fails as the platform does.
    HRESULT DrawThemeBackground(CXTPUxTheme& theme, HDC hDC, int iPartId, int iStateId, const RECT& rc);
    // Forgets every picture: the styles were reopened.
    void Clear();

private:
    enum Kind
    {
        kindEmpty,  // the part draws nothing at this size
        kindOpaque, // every pixel covered
        kindBlended // some pixels partly covered: drawn with their coverage
    };
    struct CEntry
    {
        HTHEME hTheme;
        int nPart, nState, cx, cy;
        Kind kind;
        HBITMAP hBitmap; // premultiplied 32-bit colour with coverage, null for an empty part
    };

    const CEntry* Find(HTHEME hTheme, int nPart, int nState, int cx, int cy) const;
    // Draws the part over black and over white: the difference gives each pixel's coverage.
    HRESULT Render(CXTPUxTheme& theme, int nPart, int nState, int cx, int cy, CEntry& entry);

    std::vector<CEntry> m_entries;
    // Kept for the copies: making a DC for each costs more than the copy.
    HDC m_hMemDC = nullptr;
};
