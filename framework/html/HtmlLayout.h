// The layout of an HTML document: computed styles, block and inline flow with word wrapping, lists, tables as
// simple grids and image boxes, giving positioned runs to draw, link regions and the page as plain text.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/core/AfxString.h"
#include "framework/core/Geometry.h"
#include "framework/html/HtmlDocument.h"

#ifndef CLR_NONE
#define CLR_NONE 0xFFFFFFFFL
#endif

// The computed style of a node. Sizes are in pixels.
struct CHtmlStyle
{
    enum Display
    {
        displayInline,
        displayBlock,
        displayListItem,
        displayTable,
        displayTableRow,
        displayTableCell,
        displayNone,
    };
    enum Align
    {
        alignLeft,
        alignCenter,
        alignRight,
    };
    enum ListType
    {
        listDisc,
        listCircle,
        listSquare,
        listDecimal,
        listLowerAlpha,
        listUpperAlpha,
        listLowerRoman,
        listUpperRoman,
        listNone,
    };

    Display m_display = displayInline;
    CString m_strFontFamily;
    int m_nFontSize = 13;
    int m_nWeight = FW_NORMAL;
    BOOL m_bItalic = FALSE;
    BOOL m_bUnderline = FALSE;
    BOOL m_bStrike = FALSE;
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crBackground = CLR_NONE; // CLR_NONE: transparent
    Align m_align = alignLeft;
    BOOL m_bPre = FALSE;      // white space kept, no wrapping
    BOOL m_bNoWrap = FALSE;   // white space collapsed, no wrapping
    int m_nVerticalShift = 0; // sub (> 0, down) and sup (< 0, up)
    ListType m_listType = listDisc;
    // Simple fixed margins of the element's box.
    int m_nMarginTop = 0;
    int m_nMarginBottom = 0;
    int m_nMarginLeft = 0;
    int m_nMarginRight = 0;

    // Whether two styles select the same font.
    BOOL SameFont(const CHtmlStyle& other) const noexcept;
};

// Measures text for the layout on a device context with a cache of fonts keyed by their style; a memory DC will do.
// The DC keeps one of these fonts selected until this object ends, which puts the DC's own font back.
class CHtmlMeasure
{
public:
    // defaultFamily null: the family of the default GUI font. baseFontSize: the pixel height of body text.
    explicit CHtmlMeasure(HDC dc, LPCWSTR defaultFamily = nullptr, int baseFontSize = 13);
    virtual ~CHtmlMeasure();
    CHtmlMeasure(const CHtmlMeasure&) = delete;
    CHtmlMeasure& operator=(const CHtmlMeasure&) = delete;

    HDC GetDC() const noexcept { return m_hDC; }
    const CString& GetDefaultFamily() const noexcept { return m_strDefaultFamily; }
    int GetBaseFontSize() const noexcept { return m_nBaseFontSize; }

    // The font of a style, owned by this object (underline and strike included).
    HFONT GetFont(const CHtmlStyle& style);
    // Width and line height of the text in the style's font.
    virtual CSize MeasureText(const CHtmlStyle& style, LPCWSTR text, int length);
    // Line height and ascent of the style's font.
    virtual int GetLineHeight(const CHtmlStyle& style);
    virtual int GetAscent(const CHtmlStyle& style);
    // The pixel offset of the end of each character of the text (for selection and hit testing).
    void GetCharacterEnds(const CHtmlStyle& style, LPCWSTR text, int length, std::vector<int>& ends);
    // Whether the style's font has a glyph for the character.
    virtual bool HasGlyph(const CHtmlStyle& style, wchar_t ch);
    // An installed family whose font has the character, for text the style's font would show as empty boxes
    // (Japanese in a Latin font); empty when none has it.
    virtual CString GetFallbackFamily(wchar_t ch);

private:
    using Ranges = std::vector<std::pair<wchar_t, wchar_t>>; // the characters a font has, in ascending runs
    struct FontEntry
    {
        HFONT font = nullptr;
        int height = 0;
        int ascent = 0;
        int spaceWidth = 0;
        std::unordered_map<std::wstring, int> widths; // measured words, bounded
        bool haveRanges = false;
        Ranges ranges;
    };
    FontEntry& Entry(const CHtmlStyle& style);
    // The characters of the font selected into the DC.
    Ranges SelectedRanges() const;
    static bool InRanges(const Ranges& ranges, wchar_t ch);
    const Ranges& FamilyRanges(const std::wstring& family);
    void ListFamilies();

    HDC m_hDC;
    CString m_strDefaultFamily;
    int m_nBaseFontSize;
    std::map<std::wstring, FontEntry> m_fonts;
    std::map<std::wstring, Ranges> m_familyRanges;
    std::vector<std::wstring> m_families; // fallback candidates, preferred first
    bool m_bFamiliesListed = false;
    std::unordered_map<wchar_t, std::wstring> m_fallbacks;
    HGDIOBJ m_hOldFont = nullptr;
    const CHtmlStyle* m_pLastStyle = nullptr;
    FontEntry* m_pLastEntry = nullptr;
    CHtmlStyle m_lastStyle;
};

// One positioned piece of the page, in page coordinates (0, 0 = the top left of the page).
struct CHtmlRun
{
    enum Kind
    {
        kindBackground, // m_rect filled with the style's background colour
        kindText,       // m_strText in the style's font and colour, top left at m_rect's top left
        kindMarker,     // a list marker: m_strText ("1.", ...) or a bullet shape (m_strText empty) in m_rect
        kindRule,       // a horizontal rule filling m_rect
        kindImage,      // an image scaled to m_rect; m_strSource as written, m_strText the alt text
        kindBorder,     // a one-pixel frame (table and cell borders)
    };

    Kind m_kind = kindText;
    CRect m_rect;
    int m_nStyle = 0; // index into CHtmlLayout::GetStyles()
    CString m_strText;
    CString m_strSource;   // images
    int m_nLink = -1;      // index into CHtmlLayout::GetLinks(), or -1
    int m_nBaseline = 0;   // text: y of the baseline
    int m_nTextOffset = 0; // text: where m_strText starts in GetPlainText()
};

struct CHtmlLink
{
    CString m_strHref; // as written in the page, entities decoded
    CString m_strText; // the link's text, white space collapsed (an image's alt text when it has no text)
    std::vector<CRect> m_rects;
};

class CHtmlLayout
{
public:
    // Answers the natural size of an image given by its src attribute as written; FALSE when unknown.
    using ImageSizeCallback = std::function<BOOL(const CString& source, CSize& size)>;

    // The largest image box side; larger width/height attributes are scaled down to it.
    enum
    {
        MaxImageSide = 4096
    };

    CHtmlLayout();
    ~CHtmlLayout();
    CHtmlLayout(const CHtmlLayout&) = delete;
    CHtmlLayout& operator=(const CHtmlLayout&) = delete;

    void SetImageSizeCallback(ImageSizeCallback callback) { m_imageSize = std::move(callback); }
    // The gap around the page (pixels; default 8).
    void SetPageMargin(int margin) noexcept { m_nPageMargin = margin; }

    // Lays the document out for a page of the given width; replaces any earlier result.
    void Layout(const CHtmlDocument& doc, CHtmlMeasure& measure, int width);
    void Clear();

    const std::vector<CHtmlRun>& GetRuns() const noexcept { return m_runs; }
    const std::vector<CHtmlStyle>& GetStyles() const noexcept { return m_styles; }
    const CHtmlStyle& GetStyle(int index) const { return m_styles[static_cast<size_t>(index)]; }
    const std::vector<CHtmlLink>& GetLinks() const noexcept { return m_links; }
    // The page's height and width (the width exceeds the layout width only when something cannot be narrowed).
    int GetHeight() const noexcept { return m_nHeight; }
    int GetWidth() const noexcept { return m_nWidth; }
    // The page's background colour (body bgcolor or background-color), CLR_NONE when not set.
    COLORREF GetBackground() const noexcept { return m_crBackground; }
    // The text of the page: block breaks as new lines ("\r\n"), white space collapsed outside pre.
    const CString& GetPlainText() const noexcept { return m_strPlainText; }

    // The indices of the runs that intersect rect, in drawing order (backgrounds before what lies on them).
    void GetRunsInRect(const CRect& rect, std::vector<int>& indices) const;
    // The link under a point of the page, or -1.
    int HitTestLink(CPoint point) const;

private:
    friend class CHtmlLayoutEngine;

    std::vector<CHtmlRun> m_runs;
    std::vector<CHtmlStyle> m_styles;
    std::vector<CHtmlLink> m_links;
    // Bands of kBandHeight pixels, each with the indices of the runs that reach into it.
    std::vector<std::vector<int>> m_bands;
    CString m_strPlainText;
    int m_nHeight = 0;
    int m_nWidth = 0;
    int m_nPageMargin = 8;
    COLORREF m_crBackground = CLR_NONE;
    ImageSizeCallback m_imageSize;
};
