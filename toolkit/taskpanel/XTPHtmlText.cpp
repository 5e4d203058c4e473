// The HTML-subset drawer and the colour shade helpers.
#include "toolkit/taskpanel/XTPHtmlText.h"

#include "framework/win/Dc.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <iterator>

namespace {

enum HtmlToken
{
    tokNone = 0,
    tokBold = 1,
    tokBreak = 2,
    tokColor = 3,
    tokItalic = 4,
    tokParagraph = 5,
    tokSubscript = 6,
    tokSuperscript = 7,
    tokUnderline = 8,
};

enum HtmlFormat
{
    fmtBold = 1,
    fmtItalic = 2,
    fmtUnderline = 4,
    fmtSuperscript = 8,
    fmtSubscript = 16,
    fmtCount = 32,
};

struct HtmlTag
{
    LPCWSTR pszName;
    int nLength;
    HtmlToken token;
    bool bParams;
    bool bBlock;
};

const HtmlTag g_tags[] = {
    {L"b", 1, tokBold, false, false},          {L"br", 2, tokBreak, false, true},
    {L"em", 2, tokItalic, false, false},       {L"font", 4, tokColor, true, false},
    {L"i", 1, tokItalic, false, false},        {L"p", 1, tokParagraph, false, true},
    {L"strong", 6, tokBold, false, false},     {L"sub", 3, tokSubscript, false, false},
    {L"sup", 3, tokSuperscript, false, false}, {L"u", 1, tokUnderline, false, false},
};

// Shared by every call, which is why the drawer runs on the user-interface thread only.
const int kColorStackSize = 8;
COLORREF g_colorStack[kColorStackSize];
int g_nColorDepth = 0;

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n' || ch == L'\f' || ch == L'\v';
}

int HexDigit(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9')
        return ch - L'0';
    if (ch >= L'a' && ch <= L'f')
        return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F')
        return ch - L'A' + 10;
    return 0;
}

bool StartsWithNoCase(const wchar_t* p, const wchar_t* pEnd, const wchar_t* pszWord)
{
    for (; *pszWord; ++pszWord, ++p) {
        if (p >= pEnd || std::towlower(*p) != std::towlower(*pszWord))
            return false;
    }
    return true;
}

// Reads "color=" with an optional quote and number sign, then RRGGBB, all inside [p, pEnd).
bool ReadFontColor(const wchar_t* p, const wchar_t* pEnd, COLORREF& clr)
{
    if (p >= pEnd || *p != L' ')
        return false;
    ++p;
    if (!StartsWithNoCase(p, pEnd, L"color="))
        return false;
    p += 6;
    if (p < pEnd && (*p == L'"' || *p == L'\''))
        ++p;
    if (p < pEnd && *p == L'#')
        ++p;
    int digits[6] = {};
    for (int i = 0; i < 6 && p < pEnd; ++i, ++p)
        digits[i] = HexDigit(*p);
    clr = RGB(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]);
    return true;
}

class CHtmlFontCache
{
public:
    CHtmlFontCache(HDC hDC, HFONT hStartFont) : m_hDC(hDC)
    {
        ::GetObjectW(hStartFont, sizeof(m_lf), &m_lf);
        std::fill(m_fonts, m_fonts + fmtCount, nullptr);
    }
    ~CHtmlFontCache()
    {
        for (HFONT hFont : m_fonts) {
            if (hFont)
                ::DeleteObject(hFont);
        }
    }
    CHtmlFontCache(const CHtmlFontCache&) = delete;
    CHtmlFontCache& operator=(const CHtmlFontCache&) = delete;

    void Select(int nFormat)
    {
        HFONT& hFont = m_fonts[nFormat & (fmtCount - 1)];
        if (!hFont) {
            LOGFONTW lf = m_lf;
            lf.lfWeight = (nFormat & fmtBold) ? FW_BOLD : FW_NORMAL;
            lf.lfItalic = (nFormat & fmtItalic) ? TRUE : FALSE;
            lf.lfUnderline = (nFormat & fmtUnderline) ? TRUE : FALSE;
            if (nFormat & (fmtSuperscript | fmtSubscript))
                lf.lfHeight = lf.lfHeight * 7 / 10;
            hFont = ::CreateFontIndirectW(&lf);
        }
        if (hFont)
            ::SelectObject(m_hDC, hFont);
    }

private:
    HDC m_hDC;
    LOGFONTW m_lf{};
    HFONT m_fonts[fmtCount];
};

struct HtmlLayout
{
    HDC hDC;
    UINT nFormat;
    RECT rcBounds; // the caller's rectangle (origin and clip)
    int nWidth;
    int nLineHeight;
    int x = 0;
    int y = 0;
    int nMaxX = 0;
    int nDirection = 1;

    RECT LineRect(int nLeft, int nRight) const
    {
        RECT rc;
        rc.left = nLeft;
        rc.right = nRight;
        rc.top = rcBounds.top + nDirection * y;
        rc.bottom = rc.top + nDirection * nLineHeight;
        return rc;
    }

    void NewLine(int nLines2)
    {
        y += nLineHeight * nLines2 / 2;
        x = 0;
    }

    void Word(const wchar_t* pWord, int nLength, int nTextFormat, bool bSpaceBefore)
    {
        SIZE szBlank = {};
        ::GetTextExtentPoint32W(hDC, L" ", 1, &szBlank);
        SIZE szWord = {};
        ::GetTextExtentPoint32W(hDC, pWord, nLength, &szWord);
        int nGap = 0;
        if (bSpaceBefore) {
            x += szBlank.cx;
            nGap = szBlank.cx;
        }
        if (x + szWord.cx > nWidth) {
            if (nFormat & DT_WORDBREAK) {
                y += nLineHeight;
                x = 0;
                nGap = 0;
            } else if (!(nFormat & DT_END_ELLIPSIS)) {
                nWidth = x + szWord.cx;
            }
        }
        if (!(nFormat & DT_CALCRECT)) {
            int nRight = rcBounds.left + nWidth;
            if (nFormat & DT_END_ELLIPSIS)
                nRight = rcBounds.right;
            UINT nDraw = nFormat & ~(DT_CALCRECT | DT_WORDBREAK);
            if (nTextFormat & fmtSubscript)
                nDraw |= DT_BOTTOM | DT_SINGLELINE;
            if ((nTextFormat & fmtUnderline) && nGap > 0) {
                RECT rcGap = LineRect(rcBounds.left + x - nGap, std::min<LONG>(rcBounds.left + x, nRight));
                ::DrawTextW(hDC, L" ", 1, &rcGap, nDraw);
            }
            RECT rcWord = LineRect(rcBounds.left + x, nRight);
            if ((nFormat & DT_END_ELLIPSIS) && nDirection > 0) {
                // Clipped: lines below the rectangle are not drawn, the last one is cut at its bottom.
                if (rcWord.top >= rcBounds.bottom)
                    rcWord.right = rcWord.left;
                rcWord.bottom = std::min(rcWord.bottom, rcBounds.bottom);
            }
            if (rcWord.left < rcWord.right)
                ::DrawTextW(hDC, pWord, nLength, &rcWord, nDraw);
        }
        x += szWord.cx;
        nMaxX = std::max(nMaxX, x);
    }
};

} // namespace

int DrawHtmlText(CDC* pDC, LPCWSTR lpszText, int nCount, LPRECT lpRect, UINT nFormat)
{
    return DrawHtmlText(pDC ? pDC->m_hDC : nullptr, lpszText, nCount, lpRect, nFormat);
}

int DrawHtmlText(HDC hDC, LPCWSTR lpszText, int nCount, LPRECT lpRect, UINT nFormat)
{
    if (!hDC || !lpszText)
        return 0;
    if (nCount < 0)
        nCount = static_cast<int>(wcslen(lpszText));
    nFormat = (nFormat & ~(DT_CENTER | DT_RIGHT | DT_TABSTOP)) | DT_NOPREFIX;

    const int nSavedDC = ::SaveDC(hDC);
    const COLORREF clrStart = ::GetTextColor(hDC);
    g_nColorDepth = 0;
    g_colorStack[0] = clrStart;

    HtmlLayout layout{};
    layout.hDC = hDC;
    layout.nFormat = nFormat;
    if (lpRect) {
        layout.rcBounds = *lpRect;
        layout.nWidth = lpRect->right - lpRect->left;
    } else {
        POINT pt = {};
        ::GetCurrentPositionEx(hDC, &pt);
        layout.rcBounds = {pt.x, pt.y, ::GetDeviceCaps(hDC, HORZRES), pt.y + ::GetDeviceCaps(hDC, VERTRES)};
        layout.nWidth = layout.rcBounds.right - pt.x;
    }
    if (layout.rcBounds.top < 0)
        layout.nDirection = -1;

    int nHeight = 0;
    {
        CHtmlFontCache fonts(hDC, static_cast<HFONT>(::GetCurrentObject(hDC, OBJ_FONT)));
        SIZE szLine = {};
        ::GetTextExtentPoint32W(hDC, L"\u00C5y", 2, &szLine);
        layout.nLineHeight = szLine.cy;

        const wchar_t* p = lpszText;
        const wchar_t* const pEnd = lpszText + nCount;
        int nTextFormat = 0;
        bool bSpaceBefore = false;
        bool bSomethingBefore = false;

        while (p < pEnd) {
            if (IsBlank(*p)) {
                bSpaceBefore = true;
                ++p;
                continue;
            }
            if (*p == L'<') {
                const wchar_t* q = p + 1;
                const bool bClosing = q < pEnd && *q == L'/';
                if (bClosing)
                    ++q;
                const wchar_t* pWord = q;
                while (q < pEnd && !IsBlank(*q) && *q != L'<' && *q != L'>')
                    ++q;
                const int nWordLength = static_cast<int>(q - pWord);
                const wchar_t* pClose = q;
                while (pClose < pEnd && *pClose != L'>')
                    ++pClose;
                if (nWordLength > 0 && pClose >= pEnd) {
                    // An unterminated tag ends the text: nothing of it is drawn.
                    break;
                }
                const HtmlTag* pTag = nullptr;
                for (int i = static_cast<int>(std::size(g_tags)) - 1; i >= 0 && nWordLength > 0; --i) {
                    if (g_tags[i].nLength <= nWordLength &&
                        _wcsnicmp(pWord, g_tags[i].pszName, g_tags[i].nLength) == 0) {
                        pTag = &g_tags[i];
                        break;
                    }
                }
                if (pTag && !(pTag->bParams && !bClosing) && !(q < pEnd && *q == L'>')) {
                    // A known tag with something else than ">" after its word: the "<" starts ordinary text.
                    pTag = nullptr;
                    pClose = nullptr;
                }
                if (!pTag && pClose && nWordLength > 0) {
                    p = pClose + 1; // an unknown tag draws nothing
                    continue;
                }
                if (pTag) {
                    p = pClose + 1;
                    switch (pTag->token) {
                    case tokBold:
                        nTextFormat = bClosing ? (nTextFormat & ~fmtBold) : (nTextFormat | fmtBold);
                        break;
                    case tokItalic:
                        nTextFormat = bClosing ? (nTextFormat & ~fmtItalic) : (nTextFormat | fmtItalic);
                        break;
                    case tokUnderline:
                        nTextFormat = bClosing ? (nTextFormat & ~fmtUnderline) : (nTextFormat | fmtUnderline);
                        break;
                    case tokSuperscript:
                        nTextFormat = bClosing ? (nTextFormat & ~fmtSuperscript) : (nTextFormat | fmtSuperscript);
                        break;
                    case tokSubscript:
                        nTextFormat = bClosing ? (nTextFormat & ~fmtSubscript) : (nTextFormat | fmtSubscript);
                        break;
                    case tokBreak:
                        if (!bClosing && !(nFormat & DT_SINGLELINE))
                            layout.NewLine(2);
                        break;
                    case tokParagraph:
                        if (!bClosing && !(nFormat & DT_SINGLELINE)) {
                            if (bSomethingBefore)
                                layout.NewLine(3);
                            else
                                layout.x = 0;
                        }
                        break;
                    case tokColor:
                        if (bClosing) {
                            if (g_nColorDepth > 0)
                                --g_nColorDepth;
                            ::SetTextColor(hDC, g_colorStack[g_nColorDepth]);
                        } else {
                            COLORREF clr = 0;
                            if (ReadFontColor(pWord + pTag->nLength, pClose, clr)) {
                                if (g_nColorDepth < kColorStackSize)
                                    g_colorStack[g_nColorDepth++] = ::GetTextColor(hDC);
                                ::SetTextColor(hDC, clr);
                            }
                        }
                        break;
                    default:
                        break;
                    }
                    bSomethingBefore = true;
                    if (pTag->bBlock) {
                        while (p < pEnd && IsBlank(*p))
                            ++p;
                        bSpaceBefore = false;
                    }
                    continue;
                }
                // Not a tag: the "<" and what follows up to the next blank or "<" form a word.
                const wchar_t* pText = p + 1;
                while (pText < pEnd && !IsBlank(*pText) && *pText != L'<')
                    ++pText;
                fonts.Select(nTextFormat);
                layout.Word(p, static_cast<int>(pText - p), nTextFormat, bSpaceBefore);
                bSpaceBefore = false;
                bSomethingBefore = true;
                p = pText;
                continue;
            }
            const wchar_t* pText = p;
            while (pText < pEnd && !IsBlank(*pText) && *pText != L'<')
                ++pText;
            fonts.Select(nTextFormat);
            layout.Word(p, static_cast<int>(pText - p), nTextFormat, bSpaceBefore);
            bSpaceBefore = false;
            bSomethingBefore = true;
            p = pText;
        }
        nHeight = layout.y + layout.nLineHeight;
        ::RestoreDC(hDC, nSavedDC);
    }

    if ((nFormat & DT_CALCRECT) && lpRect) {
        lpRect->right = lpRect->left + layout.nMaxX;
        lpRect->bottom = lpRect->top + layout.nDirection * nHeight;
    }
    return nHeight;
}

DWORD RgbToHls(COLORREF clr)
{
    const int r = GetRValue(clr), g = GetGValue(clr), b = GetBValue(clr);
    const int nMax = std::max({r, g, b});
    const int nMin = std::min({r, g, b});
    const double dLight = (nMax + nMin) / 510.0;
    double dSat = 0.0;
    double dHue = 0.0;
    if (nMax != nMin) {
        const double dDelta = nMax - nMin;
        dSat = dLight <= 0.5 ? dDelta / (nMax + nMin) : dDelta / (510.0 - nMax - nMin);
        if (r == nMax)
            dHue = (g - b) / dDelta * 60.0;
        else if (g == nMax)
            dHue = 120.0 + (b - r) / dDelta * 60.0;
        else
            dHue = 240.0 + (r - g) / dDelta * 60.0;
        if (dHue < 0.0)
            dHue += 360.0;
        if (dHue >= 360.0)
            dHue -= 360.0;
    }
    const DWORD nHue = std::min<DWORD>(255, static_cast<DWORD>(dHue * 255.0 / 360.0 + 0.5));
    const DWORD nLight = std::min<DWORD>(255, static_cast<DWORD>(dLight * 255.0 + 0.5));
    const DWORD nSat = std::min<DWORD>(255, static_cast<DWORD>(dSat * 255.0 + 0.5));
    return nHue | (nLight << 8) | (nSat << 16);
}

namespace {

double HueValue(double m1, double m2, double dHue)
{
    while (dHue < 0.0)
        dHue += 360.0;
    while (dHue >= 360.0)
        dHue -= 360.0;
    if (dHue < 60.0)
        return m1 + (m2 - m1) * dHue / 60.0;
    if (dHue < 180.0)
        return m2;
    if (dHue < 240.0)
        return m1 + (m2 - m1) * (240.0 - dHue) / 60.0;
    return m1;
}

BYTE ToChannel(double v)
{
    return static_cast<BYTE>(std::clamp(static_cast<int>(v * 255.0 + 0.5), 0, 255));
}

} // namespace

COLORREF HlsToRgb(DWORD hls)
{
    const double dHue = (hls & 0xFF) * 360.0 / 255.0;
    const double dLight = ((hls >> 8) & 0xFF) / 255.0;
    const double dSat = ((hls >> 16) & 0xFF) / 255.0;
    if (dSat == 0.0) {
        const BYTE grey = ToChannel(dLight);
        return RGB(grey, grey, grey);
    }
    const double m2 = dLight <= 0.5 ? dLight * (1.0 + dSat) : dLight + dSat - dLight * dSat;
    const double m1 = 2.0 * dLight - m2;
    return RGB(ToChannel(HueValue(m1, m2, dHue + 120.0)), ToChannel(HueValue(m1, m2, dHue)),
               ToChannel(HueValue(m1, m2, dHue - 120.0)));
}

namespace {

int AdjustByPercent(int v, int nPercent)
{
    if (nPercent > 0)
        return std::min(255, v + (255 - v) * nPercent / 100);
    if (nPercent < 0)
        return std::max(0, v * (nPercent + 100) / 100);
    return v;
}

} // namespace

COLORREF AdjustColorHls(COLORREF clr, int nLightnessPercent, int nSaturationPercent)
{
    const DWORD hls = RgbToHls(clr);
    const int nLight = AdjustByPercent((hls >> 8) & 0xFF, nLightnessPercent);
    const int nSat = AdjustByPercent((hls >> 16) & 0xFF, nSaturationPercent);
    return HlsToRgb((hls & 0xFF) | (static_cast<DWORD>(nLight) << 8) | (static_cast<DWORD>(nSat) << 16));
}
