// The HTML-subset drawer and the colour shade helpers.
#include "toolkit/taskpanel/XTPHtmlText.h"

#include "framework/core/ScopedHandles.h"
#include "framework/core/TextHelpers.h"
#include "framework/win/Dc.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

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

// Reads "color=" with an optional quote and number sign, then RRGGBB, all inside [p, pEnd).
bool ReadFontColor(const wchar_t* p, const wchar_t* pEnd, COLORREF& clr)
{
    if (p >= pEnd || *p != L' ')
        return false;
    ++p;
    if (!StartsWithNoCase(p, static_cast<size_t>(pEnd - p), L"color="))
        return false;
    p += 6;
    if (p < pEnd && (*p == L'"' || *p == L'\''))
        ++p;
    if (p < pEnd && *p == L'#')
        ++p;
    int digits[6] = {};
    for (int i = 0; i < 6 && p < pEnd; ++i, ++p)
        digits[i] = std::max(0, HexDigitValue(*p)); // a character that is no digit counts as 0
    clr = RGB(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]);
    return true;
}

class CHtmlFontCache
{
public:
    CHtmlFontCache(HDC hDC, HFONT hStartFont) : m_hDC(hDC) { ::GetObjectW(hStartFont, sizeof(m_lf), &m_lf); }

    void Select(int nFormat)
    {
        CScopedFont& font = m_fonts[nFormat & (fmtCount - 1)];
        if (!font) {
            LOGFONTW lf = m_lf;
            lf.lfWeight = (nFormat & fmtBold) ? FW_BOLD : FW_NORMAL;
            lf.lfItalic = (nFormat & fmtItalic) ? TRUE : FALSE;
            lf.lfUnderline = (nFormat & fmtUnderline) ? TRUE : FALSE;
            if (nFormat & (fmtSuperscript | fmtSubscript))
                lf.lfHeight = lf.lfHeight * 7 / 10;
            font.Attach(::CreateFontIndirectW(&lf));
        }
        if (font)
            ::SelectObject(m_hDC, font);
    }

private:
    HDC m_hDC;
    LOGFONTW m_lf{};
    CScopedFont m_fonts[fmtCount];
};

// A run of text measured character by character, so that it is drawn exactly where it was measured.
struct MeasuredText
{
    const wchar_t* pText;
    int nLength;
    int nWidth;
    std::vector<int> advances;
};

MeasuredText Measure(HDC hDC, const wchar_t* pText, int nLength)
{
    MeasuredText text{pText, nLength, 0, std::vector<int>(static_cast<size_t>(std::max(nLength, 0)))};
    if (nLength <= 0)
        return text;
    SIZE size = {};
    ::GetTextExtentExPointW(hDC, pText, nLength, 0, nullptr, text.advances.data(), &size);
    // The ends of the characters, made into advances.
    for (int i = nLength - 1; i > 0; --i)
        text.advances[static_cast<size_t>(i)] -= text.advances[static_cast<size_t>(i - 1)];
    text.nWidth = size.cx;
    return text;
}

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
    // How far the last word's ink reaches past its advance (a slanted last letter), and its format: the next
    // word in another format starts after that ink, as the platform's own italic text leaves room.
    int nOverhang = 0;
    int nLastFormat = 0;

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

    // Draws each character at its measured advance: left to itself, the platform may place the glyphs of a word a
    // pixel or more away from its own measure, and words drawn one by one would run together or drift apart. The
    // rectangle clips as a formatting rectangle does, but from the line's start, so a glyph reaching left of its
    // cell (an italic, a "j") keeps its ink.
    void DrawMeasured(const MeasuredText& text, const RECT& rc, bool bBottom, bool bClipLeft = false) const
    {
        int nTop = rc.top;
        if (bBottom) {
            TEXTMETRICW tm = {};
            ::GetTextMetricsW(hDC, &tm);
            nTop = rc.bottom - nDirection * tm.tmHeight;
        }
        RECT rcClip = rc;
        if (!bClipLeft)
            rcClip.left = std::min(rc.left, rcBounds.left);
        ::ExtTextOutW(hDC, rc.left, nTop, ETO_CLIPPED, &rcClip, text.pText, static_cast<UINT>(text.nLength),
                      text.advances.data());
    }

    void Word(const wchar_t* pWord, int nLength, int nTextFormat, bool bSpaceBefore)
    {
        const MeasuredText blank = Measure(hDC, L" ", 1);
        const MeasuredText word = Measure(hDC, pWord, nLength);
        if (nTextFormat != nLastFormat && x > 0)
            x += nOverhang;
        int nGap = 0;
        if (bSpaceBefore) {
            x += blank.nWidth;
            nGap = blank.nWidth;
        }
        if (x + word.nWidth > nWidth) {
            if (nFormat & DT_WORDBREAK) {
                y += nLineHeight;
                x = 0;
                nGap = 0;
            } else if (!(nFormat & DT_END_ELLIPSIS)) {
                nWidth = x + word.nWidth;
            }
        }
        if (!(nFormat & DT_CALCRECT)) {
            int nRight = rcBounds.left + nWidth;
            if (nFormat & DT_END_ELLIPSIS)
                nRight = rcBounds.right;
            const bool bBottom = (nTextFormat & fmtSubscript) != 0;
            if ((nTextFormat & fmtUnderline) && nGap > 0) {
                const RECT rcGap = LineRect(rcBounds.left + x - nGap, std::min<LONG>(rcBounds.left + x, nRight));
                if (rcGap.left < rcGap.right)
                    DrawMeasured(blank, rcGap, bBottom, true);
            }
            RECT rcWord = LineRect(rcBounds.left + x, nRight);
            if ((nFormat & DT_END_ELLIPSIS) && nDirection > 0) {
                // Clipped: lines below the rectangle are not drawn, the last one is cut at its bottom.
                if (rcWord.top >= rcBounds.bottom)
                    rcWord.right = rcWord.left;
                rcWord.bottom = std::min(rcWord.bottom, rcBounds.bottom);
            }
            if (rcWord.left < rcWord.right) {
                if ((nFormat & DT_END_ELLIPSIS) && rcWord.left + word.nWidth > rcWord.right) {
                    // A word cut at the right edge ends in an ellipsis, as the platform draws it.
                    UINT nDraw = (nFormat & ~(DT_CALCRECT | DT_WORDBREAK)) | DT_NOPREFIX;
                    if (bBottom)
                        nDraw |= DT_BOTTOM | DT_SINGLELINE;
                    ::DrawTextW(hDC, pWord, nLength, &rcWord, nDraw);
                } else {
                    DrawMeasured(word, rcWord, bBottom);
                }
            }
        }
        x += word.nWidth;
        nMaxX = std::max(nMaxX, x);
        nLastFormat = nTextFormat;
        nOverhang = 0;
        ABC abc = {};
        if (nLength > 0 && ::GetCharABCWidthsW(hDC, pWord[nLength - 1], pWord[nLength - 1], &abc) && abc.abcC < 0)
            nOverhang = -abc.abcC;
    }
};

struct HtmlState
{
    int nTextFormat = 0;
    bool bSpaceBefore = false;
    bool bSomethingBefore = false;
};

// A tag read at a "<": the table row it matches, whether it closes, the text after its name and its end.
struct HtmlTagRead
{
    const HtmlTag* pTag = nullptr;
    bool bClosing = false;
    const wchar_t* pAfterName = nullptr;
    const wchar_t* pClose = nullptr; // its ">"
};

// Reads the markup at p ("<"). Null when it is no tag of ours and the "<" is text; a tag of no use to the drawer
// (a name the table lacks) comes back without a table row and is skipped.
bool ReadTag(const wchar_t* p, const wchar_t* pEnd, HtmlTagRead& tag)
{
    const wchar_t* q = p + 1;
    tag.bClosing = q < pEnd && *q == L'/';
    if (tag.bClosing)
        ++q;
    // As in HTML, only a letter after "<" or "</" begins a tag: "Price <10 today" is text.
    if (q >= pEnd || !((*q >= L'a' && *q <= L'z') || (*q >= L'A' && *q <= L'Z')))
        return false;
    const wchar_t* pWord = q;
    while (q < pEnd && !IsBlank(*q) && *q != L'<' && *q != L'>')
        ++q;
    const int nWordLength = static_cast<int>(q - pWord);
    const wchar_t* pClose = q;
    while (pClose < pEnd && *pClose != L'>')
        ++pClose;
    // A tag that never closes is text as well: what follows it is still drawn.
    if (pClose >= pEnd)
        return false;
    tag.pTag = nullptr;
    for (int i = static_cast<int>(std::size(g_tags)) - 1; i >= 0; --i) {
        if (g_tags[i].nLength <= nWordLength && _wcsnicmp(pWord, g_tags[i].pszName, g_tags[i].nLength) == 0) {
            tag.pTag = &g_tags[i];
            break;
        }
    }
    // A known tag with something else than ">" after its word: the "<" starts ordinary text.
    if (tag.pTag && !(tag.pTag->bParams && !tag.bClosing) && *q != L'>')
        return false;
    tag.pAfterName = tag.pTag ? pWord + tag.pTag->nLength : q;
    tag.pClose = pClose;
    return true;
}

void SetFormatBit(HtmlState& state, int nBit, bool bClosing)
{
    state.nTextFormat = bClosing ? (state.nTextFormat & ~nBit) : (state.nTextFormat | nBit);
}

void ApplyTag(HDC hDC, const HtmlTagRead& tag, HtmlLayout& layout, HtmlState& state)
{
    const bool bClosing = tag.bClosing;
    const bool bLines = !(layout.nFormat & DT_SINGLELINE);
    switch (tag.pTag->token) {
    case tokBold:
        SetFormatBit(state, fmtBold, bClosing);
        break;
    case tokItalic:
        SetFormatBit(state, fmtItalic, bClosing);
        break;
    case tokUnderline:
        SetFormatBit(state, fmtUnderline, bClosing);
        break;
    case tokSuperscript:
        SetFormatBit(state, fmtSuperscript, bClosing);
        break;
    case tokSubscript:
        SetFormatBit(state, fmtSubscript, bClosing);
        break;
    case tokBreak:
        if (!bClosing && bLines)
            layout.NewLine(2);
        break;
    case tokParagraph:
        if (!bClosing && bLines) {
            if (state.bSomethingBefore)
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
            if (ReadFontColor(tag.pAfterName, tag.pClose, clr)) {
                if (g_nColorDepth < kColorStackSize)
                    g_colorStack[g_nColorDepth++] = ::GetTextColor(hDC);
                ::SetTextColor(hDC, clr);
            }
        }
        break;
    default:
        break;
    }
}

// The text at p up to the next blank or "<" (after the first character, which may itself be a "<").
const wchar_t* WordEnd(const wchar_t* p, const wchar_t* pEnd)
{
    const wchar_t* q = p + 1;
    while (q < pEnd && !IsBlank(*q) && *q != L'<')
        ++q;
    return q;
}

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
    ::SetTextAlign(hDC, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    g_nColorDepth = 0;
    g_colorStack[0] = ::GetTextColor(hDC);

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
        HtmlState state;
        while (p < pEnd) {
            if (IsBlank(*p)) {
                state.bSpaceBefore = true;
                ++p;
                continue;
            }
            HtmlTagRead tag;
            if (*p == L'<' && ReadTag(p, pEnd, tag)) {
                p = tag.pClose + 1;
                if (!tag.pTag)
                    continue; // a tag the drawer does not know draws nothing
                ApplyTag(hDC, tag, layout, state);
                state.bSomethingBefore = true;
                if (tag.pTag->bBlock) {
                    while (p < pEnd && IsBlank(*p))
                        ++p;
                    state.bSpaceBefore = false;
                }
                continue;
            }
            const wchar_t* pText = WordEnd(p, pEnd);
            fonts.Select(state.nTextFormat);
            layout.Word(p, static_cast<int>(pText - p), state.nTextFormat, state.bSpaceBefore);
            state.bSpaceBefore = false;
            state.bSomethingBefore = true;
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
