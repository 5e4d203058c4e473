#include "framework/html/HtmlLayout.h"

#include "framework/core/TextHelpers.h"

#include <algorithm>
#include <cwchar>
#include <unordered_map>
#include <utility>

namespace {

constexpr int kBandHeight = 256;
// Layout recursion never goes deeper than this, whatever tree it is given (the parser stays far below it).
constexpr int kMaxLayoutDepth = 1000;
constexpr int kMaxColumns = 1000;
constexpr int kMaxWordCache = 20000;

bool IsSpace(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\n' || ch == L'\r' || ch == L'\f';
}

wchar_t LowerAscii(wchar_t ch)
{
    return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch + 32) : ch;
}

std::wstring Lower(const CString& text)
{
    std::wstring out(static_cast<LPCWSTR>(text), static_cast<size_t>(text.GetLength()));
    for (wchar_t& ch : out)
        ch = LowerAscii(ch);
    return out;
}

std::wstring Trimmed(const std::wstring& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsSpace(text[begin]))
        ++begin;
    while (end > begin && IsSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

struct NamedColor
{
    const wchar_t* name;
    COLORREF color;
};

const NamedColor kColors[] = {
    {L"black", RGB(0, 0, 0)},           {L"silver", RGB(192, 192, 192)},   {L"gray", RGB(128, 128, 128)},
    {L"grey", RGB(128, 128, 128)},      {L"white", RGB(255, 255, 255)},    {L"maroon", RGB(128, 0, 0)},
    {L"red", RGB(255, 0, 0)},           {L"purple", RGB(128, 0, 128)},     {L"fuchsia", RGB(255, 0, 255)},
    {L"magenta", RGB(255, 0, 255)},     {L"green", RGB(0, 128, 0)},        {L"lime", RGB(0, 255, 0)},
    {L"olive", RGB(128, 128, 0)},       {L"yellow", RGB(255, 255, 0)},     {L"navy", RGB(0, 0, 128)},
    {L"blue", RGB(0, 0, 255)},          {L"teal", RGB(0, 128, 128)},       {L"aqua", RGB(0, 255, 255)},
    {L"cyan", RGB(0, 255, 255)},        {L"orange", RGB(255, 165, 0)},     {L"brown", RGB(165, 42, 42)},
    {L"pink", RGB(255, 192, 203)},      {L"gold", RGB(255, 215, 0)},       {L"darkred", RGB(139, 0, 0)},
    {L"darkblue", RGB(0, 0, 139)},      {L"darkgreen", RGB(0, 100, 0)},    {L"lightgrey", RGB(211, 211, 211)},
    {L"lightgray", RGB(211, 211, 211)}, {L"darkgray", RGB(169, 169, 169)}, {L"darkgrey", RGB(169, 169, 169)},
};

// "#rgb", "#rrggbb", "rrggbb" (as old pages write it), "rgb(r, g, b)" or a colour name; CLR_NONE otherwise.
COLORREF ParseColor(const CString& value)
{
    const std::wstring text = Trimmed(Lower(value));
    if (text.empty())
        return CLR_NONE;
    for (const NamedColor& named : kColors)
        if (text == named.name)
            return named.color;
    if (text.compare(0, 4, L"rgb(") == 0) {
        int parts[3] = {0, 0, 0};
        size_t i = 4;
        for (int& part : parts) {
            while (i < text.size() && (IsSpace(text[i]) || text[i] == L','))
                ++i;
            int value10 = 0;
            bool any = false;
            while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
                value10 = std::min(255, value10 * 10 + (text[i] - L'0'));
                any = true;
                ++i;
            }
            if (!any)
                return CLR_NONE;
            part = value10;
        }
        return RGB(parts[0], parts[1], parts[2]);
    }
    const std::wstring hex = text[0] == L'#' ? text.substr(1) : text;
    for (wchar_t ch : hex)
        if (HexDigitValue(ch) < 0)
            return CLR_NONE;
    if (hex.size() == 3)
        return RGB(HexDigitValue(hex[0]) * 17, HexDigitValue(hex[1]) * 17, HexDigitValue(hex[2]) * 17);
    if (hex.size() == 6)
        return RGB(HexDigitValue(hex[0]) * 16 + HexDigitValue(hex[1]),
                   HexDigitValue(hex[2]) * 16 + HexDigitValue(hex[3]),
                   HexDigitValue(hex[4]) * 16 + HexDigitValue(hex[5]));
    return CLR_NONE;
}

// A length attribute: pixels ("120", "120px") or a percentage of `whole`; -1 when absent or unreadable.
int ParseLength(const CString* value, int whole)
{
    if (!value)
        return -1;
    const std::wstring text = Trimmed(Lower(*value));
    long long number = 0;
    size_t i = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        number = std::min<long long>(number * 10 + (text[i] - L'0'), 1000000);
    if (i == 0)
        return -1;
    while (i < text.size() && (text[i] == L'.' || (text[i] >= L'0' && text[i] <= L'9')))
        ++i;
    if (i < text.size() && text[i] == L'%')
        return static_cast<int>(std::min<long long>(number, 100) * whole / 100);
    return static_cast<int>(number);
}

CHtmlStyle::Align ParseAlign(const std::wstring& value, CHtmlStyle::Align fallback)
{
    if (value == L"center" || value == L"middle")
        return CHtmlStyle::alignCenter;
    if (value == L"right")
        return CHtmlStyle::alignRight;
    if (value == L"left" || value == L"justify")
        return CHtmlStyle::alignLeft;
    return fallback;
}

std::wstring ToRoman(int number, bool upper)
{
    static const struct
    {
        int value;
        const wchar_t* text;
    } parts[] = {{1000, L"m"}, {900, L"cm"}, {500, L"d"}, {400, L"cd"}, {100, L"c"}, {90, L"xc"}, {50, L"l"},
                 {40, L"xl"},  {10, L"x"},   {9, L"ix"},  {5, L"v"},    {4, L"iv"},  {1, L"i"}};
    if (number <= 0 || number >= 4000)
        return std::to_wstring(number);
    std::wstring out;
    for (const auto& part : parts)
        while (number >= part.value) {
            out += part.text;
            number -= part.value;
        }
    if (upper)
        for (wchar_t& ch : out)
            ch = static_cast<wchar_t>(ch - 32);
    return out;
}

std::wstring ToAlpha(int number, bool upper)
{
    if (number <= 0)
        return std::to_wstring(number);
    std::wstring out;
    while (number > 0) {
        --number;
        out.insert(out.begin(), static_cast<wchar_t>((upper ? L'A' : L'a') + number % 26));
        number /= 26;
    }
    return out;
}

} // namespace

BOOL CHtmlStyle::SameFont(const CHtmlStyle& other) const noexcept
{
    return m_nFontSize == other.m_nFontSize && m_nWeight == other.m_nWeight && m_bItalic == other.m_bItalic &&
           m_bUnderline == other.m_bUnderline && m_bStrike == other.m_bStrike &&
           m_strFontFamily == other.m_strFontFamily;
}

// ---------------------------------------------------------------------------------------------------------------
// CHtmlMeasure

CHtmlMeasure::CHtmlMeasure(HDC dc, LPCWSTR defaultFamily, int baseFontSize)
    : m_hDC(dc), m_nBaseFontSize(baseFontSize > 0 ? baseFontSize : 13)
{
    if (defaultFamily && *defaultFamily) {
        m_strDefaultFamily = defaultFamily;
    } else {
        LOGFONTW font{};
        if (::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font) && font.lfFaceName[0])
            m_strDefaultFamily = font.lfFaceName;
        else
            m_strDefaultFamily = L"Tahoma";
    }
}

CHtmlMeasure::~CHtmlMeasure()
{
    if (m_hOldFont)
        ::SelectObject(m_hDC, m_hOldFont);
    for (auto& entry : m_fonts)
        ::DeleteObject(entry.second.font);
}

CHtmlMeasure::FontEntry& CHtmlMeasure::Entry(const CHtmlStyle& style)
{
    if (m_pLastEntry && m_lastStyle.SameFont(style))
        return *m_pLastEntry;
    std::wstring key(static_cast<LPCWSTR>(style.m_strFontFamily),
                     static_cast<size_t>(style.m_strFontFamily.GetLength()));
    key += L'|' + std::to_wstring(style.m_nFontSize) + L'|' + std::to_wstring(style.m_nWeight) +
           (style.m_bItalic ? L"i" : L"") + (style.m_bUnderline ? L"u" : L"") + (style.m_bStrike ? L"s" : L"");
    auto found = m_fonts.find(key);
    if (found == m_fonts.end()) {
        LOGFONTW logFont{};
        logFont.lfHeight = -std::max(1, style.m_nFontSize);
        logFont.lfWeight = style.m_nWeight;
        logFont.lfItalic = style.m_bItalic ? TRUE : FALSE;
        logFont.lfUnderline = style.m_bUnderline ? TRUE : FALSE;
        logFont.lfStrikeOut = style.m_bStrike ? TRUE : FALSE;
        logFont.lfCharSet = DEFAULT_CHARSET;
        logFont.lfQuality = DEFAULT_QUALITY;
        const CString& family = style.m_strFontFamily.IsEmpty() ? m_strDefaultFamily : style.m_strFontFamily;
        lstrcpynW(logFont.lfFaceName, family, LF_FACESIZE);
        FontEntry entry;
        entry.font = ::CreateFontIndirectW(&logFont);
        if (!entry.font)
            entry.font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        const HGDIOBJ previous = ::SelectObject(m_hDC, entry.font);
        if (!m_hOldFont)
            m_hOldFont = previous;
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(m_hDC, &metrics);
        entry.height = std::max<int>(1, metrics.tmHeight);
        entry.ascent = metrics.tmAscent;
        SIZE space{};
        ::GetTextExtentPoint32W(m_hDC, L" ", 1, &space);
        entry.spaceWidth = space.cx;
        found = m_fonts.emplace(std::move(key), std::move(entry)).first;
    }
    ::SelectObject(m_hDC, found->second.font);
    if (!m_hOldFont)
        m_hOldFont = ::GetCurrentObject(m_hDC, OBJ_FONT);
    m_lastStyle = style;
    m_pLastEntry = &found->second;
    return found->second;
}

HFONT CHtmlMeasure::GetFont(const CHtmlStyle& style)
{
    return Entry(style).font;
}

CSize CHtmlMeasure::MeasureText(const CHtmlStyle& style, LPCWSTR text, int length)
{
    FontEntry& entry = Entry(style);
    if (length <= 0)
        return CSize(0, entry.height);
    if (length == 1 && text[0] == L' ')
        return CSize(entry.spaceWidth, entry.height);
    const bool cached = length <= 32;
    std::wstring key;
    if (cached) {
        key.assign(text, static_cast<size_t>(length));
        auto found = entry.widths.find(key);
        if (found != entry.widths.end())
            return CSize(found->second, entry.height);
    }
    SIZE size{};
    ::GetTextExtentPoint32W(m_hDC, text, length, &size);
    if (cached) {
        if (entry.widths.size() >= kMaxWordCache)
            entry.widths.clear();
        entry.widths.emplace(std::move(key), size.cx);
    }
    return CSize(size.cx, entry.height);
}

int CHtmlMeasure::GetLineHeight(const CHtmlStyle& style)
{
    return Entry(style).height;
}

int CHtmlMeasure::GetAscent(const CHtmlStyle& style)
{
    return Entry(style).ascent;
}

void CHtmlMeasure::GetCharacterEnds(const CHtmlStyle& style, LPCWSTR text, int length, std::vector<int>& ends)
{
    Entry(style);
    ends.assign(static_cast<size_t>(std::max(0, length)), 0);
    if (length <= 0)
        return;
    int fit = 0;
    SIZE size{};
    ::GetTextExtentExPointW(m_hDC, text, length, 0, &fit, ends.data(), &size);
}

CHtmlMeasure::Ranges CHtmlMeasure::SelectedRanges() const
{
    Ranges ranges;
    const DWORD size = ::GetFontUnicodeRanges(m_hDC, nullptr);
    if (size < sizeof(GLYPHSET))
        return ranges;
    std::vector<BYTE> buffer(size);
    GLYPHSET* set = reinterpret_cast<GLYPHSET*>(buffer.data());
    if (::GetFontUnicodeRanges(m_hDC, set) == 0)
        return ranges;
    for (DWORD i = 0; i < set->cRanges; ++i) {
        const WCRANGE& range = set->ranges[i];
        if (range.cGlyphs > 0)
            ranges.emplace_back(range.wcLow, static_cast<wchar_t>(range.wcLow + range.cGlyphs - 1));
    }
    std::sort(ranges.begin(), ranges.end());
    return ranges;
}

bool CHtmlMeasure::InRanges(const Ranges& ranges, wchar_t ch)
{
    auto after = std::upper_bound(ranges.begin(), ranges.end(), std::make_pair(ch, static_cast<wchar_t>(0xFFFF)));
    return after != ranges.begin() && ch <= std::prev(after)->second;
}

bool CHtmlMeasure::HasGlyph(const CHtmlStyle& style, wchar_t ch)
{
    // ASCII is in every text font; surrogate halves are judged by no table here.
    if (ch < 0x80 || (ch >= 0xD800 && ch <= 0xDFFF))
        return true;
    FontEntry& entry = Entry(style);
    if (!entry.haveRanges) {
        entry.ranges = SelectedRanges();
        entry.haveRanges = true;
    }
    // A font that reports nothing (a bitmap font) is taken at its word.
    return entry.ranges.empty() || InRanges(entry.ranges, ch);
}

const CHtmlMeasure::Ranges& CHtmlMeasure::FamilyRanges(const std::wstring& family)
{
    auto found = m_familyRanges.find(family);
    if (found != m_familyRanges.end())
        return found->second;
    LOGFONTW logFont{};
    logFont.lfHeight = -16;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(logFont.lfFaceName, family.c_str(), LF_FACESIZE);
    Ranges ranges;
    if (HFONT font = ::CreateFontIndirectW(&logFont)) {
        // The font a style selected stays the DC's; Entry relies on it.
        const HGDIOBJ previous = ::SelectObject(m_hDC, font);
        ranges = SelectedRanges();
        ::SelectObject(m_hDC, previous);
        ::DeleteObject(font);
    }
    return m_familyRanges.emplace(family, std::move(ranges)).first->second;
}

void CHtmlMeasure::ListFamilies()
{
    m_bFamiliesListed = true;
    std::vector<std::wstring> installed;
    LOGFONTW filter{};
    filter.lfCharSet = DEFAULT_CHARSET;
    ::EnumFontFamiliesExW(
        m_hDC, &filter,
        [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM param) -> int {
            auto* names = reinterpret_cast<std::vector<std::wstring>*>(param);
            // "@" families are the vertical forms of CJK fonts.
            if (font->lfFaceName[0] != L'@' &&
                std::find(names->begin(), names->end(), font->lfFaceName) == names->end())
                names->push_back(font->lfFaceName);
            return 1;
        },
        reinterpret_cast<LPARAM>(&installed), 0);
    // The fonts a Windows user has for other scripts come first, in the order a browser would try them.
    static const wchar_t* const preferred[] = {
        L"Segoe UI",
        L"Arial",
        L"Microsoft YaHei",
        L"Yu Gothic UI",
        L"Meiryo UI",
        L"Meiryo",
        L"MS UI Gothic",
        L"MS Gothic",
        L"SimSun",
        L"Malgun Gothic",
        L"Gulim",
        L"PMingLiU",
        L"Nirmala UI",
        L"Leelawadee UI",
        L"Segoe UI Symbol",
        L"Arial Unicode MS",
        L"Noto Sans CJK JP",
        L"WenQuanYi Micro Hei",
        L"Droid Sans Fallback",
        L"DejaVu Sans",
    };
    for (const wchar_t* name : preferred) {
        auto at = std::find_if(installed.begin(), installed.end(),
                               [name](const std::wstring& family) { return _wcsicmp(family.c_str(), name) == 0; });
        if (at != installed.end()) {
            m_families.push_back(*at);
            installed.erase(at);
        }
    }
    std::sort(installed.begin(), installed.end());
    m_families.insert(m_families.end(), installed.begin(), installed.end());
}

CString CHtmlMeasure::GetFallbackFamily(wchar_t ch)
{
    auto known = m_fallbacks.find(ch);
    if (known == m_fallbacks.end()) {
        if (!m_bFamiliesListed)
            ListFamilies();
        std::wstring chosen;
        for (const std::wstring& family : m_families) {
            const Ranges& ranges = FamilyRanges(family);
            if (!ranges.empty() && InRanges(ranges, ch)) {
                chosen = family;
                break;
            }
        }
        known = m_fallbacks.emplace(ch, std::move(chosen)).first;
    }
    return CString(known->second.c_str(), static_cast<int>(known->second.size()));
}

// ---------------------------------------------------------------------------------------------------------------
// The engine

namespace {
struct ElementStyle;
}

class CHtmlLayoutEngine
{
public:
    CHtmlLayoutEngine(CHtmlLayout& out, CHtmlMeasure& measure) : m_out(out), m_measure(measure) {}
    void Run(const CHtmlDocument& doc, int width);

private:
    struct Frame
    {
        CHtmlStyle style;
        int index = -1;
    };
    struct Block
    {
        int x = 0;
        int width = 0;
        CHtmlStyle::Align align = CHtmlStyle::alignLeft;
    };
    struct Item
    {
        bool image = false;
        std::wstring text;
        int style = 0;
        int link = -1;
        int width = 0;
        int height = 0;
        int ascent = 0;
        int space = 0;
        bool breakBefore = false;
        int textOffset = 0;
        CString source;
    };
    struct Marker
    {
        std::wstring text; // empty: a bullet shape
        int style = 0;
        int x = 0;
        CHtmlStyle::ListType type = CHtmlStyle::listDisc;
    };
    struct ListState
    {
        CHtmlStyle::ListType type = CHtmlStyle::listDisc;
        int next = 1;
    };
    struct Intrinsic
    {
        int min = 0;
        int max = 0;
        int line = 0;
        bool space = false;
        void EndLine()
        {
            max = std::max(max, line);
            line = 0;
            space = false;
        }
    };
    struct Cell
    {
        const CHtmlNode* node = nullptr;
        int column = 0;
        int span = 1;
    };
    struct Row
    {
        const CHtmlNode* node = nullptr;
        std::vector<Cell> cells;
    };
    struct Grid
    {
        const CHtmlNode* caption = nullptr;
        std::vector<Row> rows;
        int columns = 0;
    };

    void ComputeStyle(const CHtmlNode* node, const CHtmlStyle& parent, CHtmlStyle& style) const;
    void ApplyElementStyle(const ElementStyle& element, const CHtmlNode* node, const CHtmlStyle& parent,
                           CHtmlStyle& style) const;
    void ApplyListStyle(const CHtmlNode* node, CHtmlStyle& style) const;
    void ApplyFontStyle(const CHtmlNode* node, CHtmlStyle& style) const;
    void ApplyInlineStyle(const CString& text, CHtmlStyle& style) const;
    int Intern(Frame& frame);
    int EmSize(double factor, const CHtmlStyle& style) const
    {
        return static_cast<int>(factor * style.m_nFontSize + 0.5);
    }

    void LayoutChildren(const CHtmlNode* node, Frame& frame, int depth);
    void LayoutElement(const CHtmlNode* node, Frame& parent, int depth);
    void LayoutBlock(const CHtmlNode* node, Frame& frame, int depth);
    void LayoutRule(const CHtmlNode* node, Frame& frame);
    void LayoutTable(const CHtmlNode* node, Frame& frame, int depth);
    void AddText(const CString& text, Frame& frame);
    void AddWord(const wchar_t* text, size_t length, Frame& frame);
    void AddPiece(const wchar_t* text, size_t length, Frame& frame, const CString& family);
    bool ImageSize(const CHtmlNode* node, const CHtmlStyle& style, int available, CSize& size);
    void AddImage(const CHtmlNode* node, Frame& frame);
    void Place(Item item);
    void FlushLine();
    void ForcedBreak(Frame& frame);
    void EndLine();
    void ApplyPendingMargin()
    {
        m_y += m_pendingMargin;
        m_pendingMargin = 0;
    }
    int ReserveRun(CHtmlRun::Kind kind, int style);
    void EmitMarkers(int baseline, int lineHeight);
    void BlockBreakText();
    void DropTrailingSeparator();

    void IntrinsicChildren(const CHtmlNode* node, const CHtmlStyle& style, Intrinsic& acc, int depth);
    void IntrinsicElement(const CHtmlNode* node, const CHtmlStyle& parent, Intrinsic& acc, int depth);
    std::pair<int, int> CellIntrinsic(const CHtmlNode* cell, const CHtmlStyle& style, int depth);
    std::pair<int, int> TableIntrinsic(const CHtmlNode* table, const CHtmlStyle& style, int depth);
    void BuildGrid(const CHtmlNode* table, Grid& grid) const;
    void TableMetrics(const CHtmlNode* table, int& border, int& spacing, int& padding) const;
    void ColumnLimits(const Grid& grid, const CHtmlStyle& tableStyle, int padding, int depth, std::vector<int>& mins,
                      std::vector<int>& maxes);

    CHtmlLayout& m_out;
    CHtmlMeasure& m_measure;
    std::unordered_map<std::wstring, int> m_styleIndex;
    std::vector<Block> m_blocks;
    std::vector<Item> m_line;
    int m_lineWidth = 0;
    size_t m_lastBreak = 0; // the last item of the line with a break opportunity before it; 0: none
    std::vector<Marker> m_markers;
    std::vector<ListState> m_lists;
    int m_y = 0;
    int m_pendingMargin = 0;
    int m_right = 0;
    bool m_pendingSpace = false;
    bool m_atLineStart = true;
    bool m_breakAfterImage = false;
    bool m_skipNewline = false;
    int m_preColumn = 0;
    int m_link = -1;
    COLORREF m_linkColor = RGB(0, 0, 238);
    std::wstring m_plain;
    size_t m_separatorAt = std::wstring::npos; // a space written before an image
    std::unordered_map<const CHtmlNode*, std::pair<int, int>> m_intrinsic;
};

void CHtmlLayoutEngine::ApplyInlineStyle(const CString& text, CHtmlStyle& style) const
{
    const std::wstring all = Lower(text);
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find(L';', start);
        if (end == std::wstring::npos)
            end = all.size();
        const std::wstring declaration = all.substr(start, end - start);
        start = end + 1;
        const size_t colon = declaration.find(L':');
        if (colon == std::wstring::npos)
            continue;
        const std::wstring property = Trimmed(declaration.substr(0, colon));
        std::wstring value = Trimmed(declaration.substr(colon + 1));
        const size_t important = value.find(L"!important");
        if (important != std::wstring::npos)
            value = Trimmed(value.substr(0, important));
        if (property == L"color") {
            const COLORREF color = ParseColor(CString(value.c_str()));
            if (color != CLR_NONE)
                style.m_crText = color;
        } else if (property == L"background-color" || property == L"background") {
            const COLORREF color = ParseColor(CString(value.c_str()));
            if (color != CLR_NONE)
                style.m_crBackground = color;
        } else if (property == L"font-weight") {
            if (value == L"bold" || value == L"bolder" || value == L"600" || value == L"700" || value == L"800" ||
                value == L"900")
                style.m_nWeight = FW_BOLD;
            else if (value == L"normal" || value == L"lighter" || value == L"400" || value == L"300")
                style.m_nWeight = FW_NORMAL;
        } else if (property == L"font-style") {
            style.m_bItalic = value == L"italic" || value == L"oblique";
        } else if (property == L"text-decoration" || property == L"text-decoration-line") {
            if (value.find(L"none") != std::wstring::npos)
                style.m_bUnderline = style.m_bStrike = FALSE;
            if (value.find(L"underline") != std::wstring::npos)
                style.m_bUnderline = TRUE;
            if (value.find(L"line-through") != std::wstring::npos)
                style.m_bStrike = TRUE;
        } else if (property == L"text-align") {
            style.m_align = ParseAlign(value, style.m_align);
        } else if (property == L"display" && value == L"none") {
            style.m_display = CHtmlStyle::displayNone;
        }
    }
}

namespace {

// How a plain element changes the style it inherits.
enum ElementTrait : unsigned
{
    traitBlock = 1u << 0, // a block with marginEm above and below
    traitBold = 1u << 1,
    traitItalic = 1u << 2,
    traitUnderline = 1u << 3,
    traitStrike = 1u << 4,
    traitMonospace = 1u << 5,
    traitPre = 1u << 6, // white space kept
    traitNoWrap = 1u << 7,
    traitCentred = 1u << 8,
    traitIndent = 1u << 9,      // 40 pixels on the left
    traitIndentBoth = 1u << 10, // 40 pixels on either side
    traitHidden = 1u << 11,
};

// The elements whose look needs more than traits, each with a rule of the engine.
enum class ElementRule
{
    None,
    Heading,
    List,
    ListItem,
    Table,
    TableRow,
    TableCell,
    Small,
    Big,
    Subscript,
    Superscript,
    Mark,
    Link,
    Font,
};

struct ElementStyle
{
    const wchar_t* name;
    unsigned traits;
    double marginEm;
    ElementRule rule;
    double fontScale; // headings: their size against the page's base size
};

const ElementStyle kElementStyles[] = {
    {L"h1", traitBlock | traitBold, 0.67, ElementRule::Heading, 2.0},
    {L"h2", traitBlock | traitBold, 0.83, ElementRule::Heading, 1.5},
    {L"h3", traitBlock | traitBold, 1.0, ElementRule::Heading, 1.17},
    {L"h4", traitBlock | traitBold, 1.33, ElementRule::Heading, 1.0},
    {L"h5", traitBlock | traitBold, 1.67, ElementRule::Heading, 0.83},
    {L"h6", traitBlock | traitBold, 2.33, ElementRule::Heading, 0.67},
    {L"p", traitBlock, 1.0, ElementRule::None, 0},
    {L"dl", traitBlock, 1.0, ElementRule::None, 0},
    {L"div", traitBlock, 0, ElementRule::None, 0},
    {L"body", traitBlock, 0, ElementRule::None, 0},
    {L"form", traitBlock, 0, ElementRule::None, 0},
    {L"article", traitBlock, 0, ElementRule::None, 0},
    {L"section", traitBlock, 0, ElementRule::None, 0},
    {L"header", traitBlock, 0, ElementRule::None, 0},
    {L"footer", traitBlock, 0, ElementRule::None, 0},
    {L"nav", traitBlock, 0, ElementRule::None, 0},
    {L"aside", traitBlock, 0, ElementRule::None, 0},
    {L"main", traitBlock, 0, ElementRule::None, 0},
    {L"figure", traitBlock, 0, ElementRule::None, 0},
    {L"figcaption", traitBlock, 0, ElementRule::None, 0},
    {L"details", traitBlock, 0, ElementRule::None, 0},
    {L"summary", traitBlock, 0, ElementRule::None, 0},
    {L"dt", traitBlock, 0, ElementRule::None, 0},
    {L"fieldset", traitBlock, 0, ElementRule::None, 0},
    {L"noframes", traitBlock, 0, ElementRule::None, 0},
    {L"legend", traitBlock, 0, ElementRule::None, 0},
    {L"address", traitBlock | traitItalic, 0, ElementRule::None, 0},
    {L"center", traitBlock | traitCentred, 0, ElementRule::None, 0},
    {L"caption", traitBlock | traitCentred, 0, ElementRule::None, 0},
    {L"blockquote", traitBlock | traitIndentBoth, 1.0, ElementRule::None, 0},
    {L"dd", traitBlock | traitIndent, 0, ElementRule::None, 0},
    {L"hr", traitBlock, 0.5, ElementRule::None, 0},
    {L"pre", traitBlock | traitPre | traitMonospace, 1.0, ElementRule::None, 0},
    {L"listing", traitBlock | traitPre | traitMonospace, 1.0, ElementRule::None, 0},
    {L"xmp", traitBlock | traitPre | traitMonospace, 1.0, ElementRule::None, 0},
    {L"plaintext", traitBlock | traitPre | traitMonospace, 1.0, ElementRule::None, 0},
    {L"textarea", traitBlock | traitPre | traitMonospace, 1.0, ElementRule::None, 0},
    {L"ul", traitIndent, 0, ElementRule::List, 0},
    {L"ol", traitIndent, 0, ElementRule::List, 0},
    {L"menu", traitIndent, 0, ElementRule::List, 0},
    {L"dir", traitIndent, 0, ElementRule::List, 0},
    {L"li", 0, 0, ElementRule::ListItem, 0},
    {L"table", 0, 0, ElementRule::Table, 0},
    {L"tr", 0, 0, ElementRule::TableRow, 0},
    {L"td", 0, 0, ElementRule::TableCell, 0},
    {L"th", traitBold | traitCentred, 0, ElementRule::TableCell, 0},
    {L"b", traitBold, 0, ElementRule::None, 0},
    {L"strong", traitBold, 0, ElementRule::None, 0},
    {L"i", traitItalic, 0, ElementRule::None, 0},
    {L"em", traitItalic, 0, ElementRule::None, 0},
    {L"cite", traitItalic, 0, ElementRule::None, 0},
    {L"var", traitItalic, 0, ElementRule::None, 0},
    {L"dfn", traitItalic, 0, ElementRule::None, 0},
    {L"u", traitUnderline, 0, ElementRule::None, 0},
    {L"ins", traitUnderline, 0, ElementRule::None, 0},
    {L"s", traitStrike, 0, ElementRule::None, 0},
    {L"strike", traitStrike, 0, ElementRule::None, 0},
    {L"del", traitStrike, 0, ElementRule::None, 0},
    {L"code", traitMonospace, 0, ElementRule::None, 0},
    {L"tt", traitMonospace, 0, ElementRule::None, 0},
    {L"kbd", traitMonospace, 0, ElementRule::None, 0},
    {L"samp", traitMonospace, 0, ElementRule::None, 0},
    {L"nobr", traitNoWrap, 0, ElementRule::None, 0},
    {L"small", 0, 0, ElementRule::Small, 0},
    {L"big", 0, 0, ElementRule::Big, 0},
    {L"sub", 0, 0, ElementRule::Subscript, 0},
    {L"sup", 0, 0, ElementRule::Superscript, 0},
    {L"mark", 0, 0, ElementRule::Mark, 0},
    {L"a", 0, 0, ElementRule::Link, 0},
    {L"font", 0, 0, ElementRule::Font, 0},
    {L"head", traitHidden, 0, ElementRule::None, 0},
    {L"title", traitHidden, 0, ElementRule::None, 0},
    {L"meta", traitHidden, 0, ElementRule::None, 0},
    {L"link", traitHidden, 0, ElementRule::None, 0},
    {L"style", traitHidden, 0, ElementRule::None, 0},
    {L"script", traitHidden, 0, ElementRule::None, 0},
    {L"select", traitHidden, 0, ElementRule::None, 0},
    {L"input", traitHidden, 0, ElementRule::None, 0},
    {L"map", traitHidden, 0, ElementRule::None, 0},
    {L"area", traitHidden, 0, ElementRule::None, 0},
    {L"datalist", traitHidden, 0, ElementRule::None, 0},
    {L"option", traitHidden, 0, ElementRule::None, 0},
    {L"colgroup", traitHidden, 0, ElementRule::None, 0},
    {L"col", traitHidden, 0, ElementRule::None, 0},
};

const ElementStyle* FindElementStyle(const CString& name)
{
    static const std::unordered_map<std::wstring, const ElementStyle*> index = [] {
        std::unordered_map<std::wstring, const ElementStyle*> map;
        for (const ElementStyle& entry : kElementStyles)
            map.emplace(entry.name, &entry);
        return map;
    }();
    const auto found = index.find(std::wstring(name.GetString(), static_cast<size_t>(name.GetLength())));
    return found == index.end() ? nullptr : found->second;
}

} // namespace

void CHtmlLayoutEngine::ComputeStyle(const CHtmlNode* node, const CHtmlStyle& parent, CHtmlStyle& style) const
{
    style = parent;
    style.m_display = CHtmlStyle::displayInline;
    style.m_nMarginTop = style.m_nMarginBottom = style.m_nMarginLeft = style.m_nMarginRight = 0;
    if (parent.m_display != CHtmlStyle::displayInline)
        style.m_crBackground = CLR_NONE;
    if (const ElementStyle* element = FindElementStyle(node->m_strName))
        ApplyElementStyle(*element, node, parent, style);

    if (const CString* align = node->FindAttribute(L"align"))
        if (style.m_display != CHtmlStyle::displayInline)
            style.m_align = ParseAlign(Lower(*align), style.m_align);
    if (const CString* color = node->FindAttribute(L"bgcolor")) {
        const COLORREF background = ParseColor(*color);
        if (background != CLR_NONE && style.m_display != CHtmlStyle::displayInline)
            style.m_crBackground = background;
    }
    if (const CString* inlineStyle = node->FindAttribute(L"style"))
        ApplyInlineStyle(*inlineStyle, style);
}

void CHtmlLayoutEngine::ApplyElementStyle(const ElementStyle& element, const CHtmlNode* node, const CHtmlStyle& parent,
                                          CHtmlStyle& style) const
{
    const unsigned traits = element.traits;
    if (element.rule == ElementRule::Heading)
        style.m_nFontSize = std::max(1, static_cast<int>(element.fontScale * m_measure.GetBaseFontSize() + 0.5));
    if (traits & traitBlock) {
        style.m_display = CHtmlStyle::displayBlock;
        style.m_crBackground = CLR_NONE;
        style.m_nMarginTop = style.m_nMarginBottom = EmSize(element.marginEm, style);
    }
    if (traits & traitBold)
        style.m_nWeight = FW_BOLD;
    if (traits & traitItalic)
        style.m_bItalic = TRUE;
    if (traits & traitUnderline)
        style.m_bUnderline = TRUE;
    if (traits & traitStrike)
        style.m_bStrike = TRUE;
    if (traits & traitMonospace)
        style.m_strFontFamily = L"Courier New";
    if (traits & traitPre)
        style.m_bPre = TRUE;
    if (traits & traitNoWrap)
        style.m_bNoWrap = TRUE;
    if (traits & traitCentred)
        style.m_align = CHtmlStyle::alignCenter;
    if (traits & (traitIndent | traitIndentBoth))
        style.m_nMarginLeft = 40;
    if (traits & traitIndentBoth)
        style.m_nMarginRight = 40;
    if (traits & traitHidden)
        style.m_display = CHtmlStyle::displayNone;

    switch (element.rule) {
    case ElementRule::List:
        ApplyListStyle(node, style);
        break;
    case ElementRule::ListItem:
        style.m_display = CHtmlStyle::displayListItem;
        style.m_crBackground = CLR_NONE;
        break;
    case ElementRule::Table:
        style.m_display = CHtmlStyle::displayTable;
        style.m_crBackground = CLR_NONE;
        style.m_align = CHtmlStyle::alignLeft;
        break;
    case ElementRule::TableRow:
        style.m_display = CHtmlStyle::displayTableRow;
        style.m_crBackground = CLR_NONE;
        break;
    case ElementRule::TableCell:
        style.m_display = CHtmlStyle::displayTableCell;
        // A row's colour shows through cells that have none of their own.
        if (parent.m_display != CHtmlStyle::displayTableRow)
            style.m_crBackground = CLR_NONE;
        if (node->HasAttribute(L"nowrap"))
            style.m_bNoWrap = TRUE;
        break;
    case ElementRule::Small:
        style.m_nFontSize = std::max(6, EmSize(0.83, style));
        break;
    case ElementRule::Big:
        style.m_nFontSize = EmSize(1.2, style);
        break;
    case ElementRule::Subscript:
    case ElementRule::Superscript:
        style.m_nVerticalShift +=
            element.rule == ElementRule::Subscript ? style.m_nFontSize / 4 : -(style.m_nFontSize / 3);
        style.m_nFontSize = std::max(6, EmSize(0.83, style));
        break;
    case ElementRule::Mark:
        style.m_crBackground = RGB(255, 255, 0);
        break;
    case ElementRule::Link:
        if (node->HasAttribute(L"href") && !node->GetAttribute(L"href").IsEmpty()) {
            style.m_crText = m_linkColor;
            style.m_bUnderline = TRUE;
        }
        break;
    case ElementRule::Font:
        ApplyFontStyle(node, style);
        break;
    case ElementRule::None:
    case ElementRule::Heading:
        break;
    }
}

void CHtmlLayoutEngine::ApplyListStyle(const CHtmlNode* node, CHtmlStyle& style) const
{
    // Only the outermost list stands apart from the text around it.
    style.m_display = CHtmlStyle::displayBlock;
    style.m_crBackground = CLR_NONE;
    style.m_nMarginTop = style.m_nMarginBottom = EmSize(m_lists.empty() ? 1.0 : 0, style);
    const CString written = node->GetAttribute(L"type");
    const std::wstring type = Lower(written);
    if (node->m_strName == L"ol") {
        style.m_listType = type == L"a"   ? (written == L"A" ? CHtmlStyle::listUpperAlpha : CHtmlStyle::listLowerAlpha)
                           : type == L"i" ? (written == L"I" ? CHtmlStyle::listUpperRoman : CHtmlStyle::listLowerRoman)
                                          : CHtmlStyle::listDecimal;
        return;
    }
    const size_t nesting = m_lists.size();
    style.m_listType = type == L"circle"   ? CHtmlStyle::listCircle
                       : type == L"square" ? CHtmlStyle::listSquare
                       : type == L"disc"   ? CHtmlStyle::listDisc
                       : nesting == 0      ? CHtmlStyle::listDisc
                       : nesting == 1      ? CHtmlStyle::listCircle
                                           : CHtmlStyle::listSquare;
}

void CHtmlLayoutEngine::ApplyFontStyle(const CHtmlNode* node, CHtmlStyle& style) const
{
    const COLORREF color = ParseColor(node->GetAttribute(L"color"));
    if (color != CLR_NONE)
        style.m_crText = color;
    CString face = node->GetAttribute(L"face");
    const int comma = face.Find(L',');
    if (comma >= 0)
        face = face.Left(comma);
    face.Trim();
    face.Trim(L"\"'");
    if (!face.IsEmpty())
        style.m_strFontFamily = face;
    const std::wstring size = Trimmed(Lower(node->GetAttribute(L"size")));
    if (size.empty())
        return;
    int level = 0;
    const bool relative = size[0] == L'+' || size[0] == L'-';
    for (size_t i = relative ? 1 : 0; i < size.size() && size[i] >= L'0' && size[i] <= L'9'; ++i)
        level = std::min(level * 10 + (size[i] - L'0'), 100);
    if (relative)
        level = 3 + (size[0] == L'-' ? -level : level);
    if (level > 0 || relative) {
        static const double factors[] = {0.625, 0.8125, 1.0, 1.125, 1.5, 2.0, 3.0};
        level = std::min(7, std::max(1, level));
        style.m_nFontSize = std::max(1, static_cast<int>(factors[level - 1] * m_measure.GetBaseFontSize() + 0.5));
    }
}

int CHtmlLayoutEngine::Intern(Frame& frame)
{
    if (frame.index >= 0)
        return frame.index;
    const CHtmlStyle& s = frame.style;
    std::wstring key(static_cast<LPCWSTR>(s.m_strFontFamily), static_cast<size_t>(s.m_strFontFamily.GetLength()));
    key += L'|' + std::to_wstring(s.m_nFontSize) + L'|' + std::to_wstring(s.m_nWeight) + L'|' +
           std::to_wstring(s.m_crText) + L'|' + std::to_wstring(s.m_crBackground) + L'|' +
           std::to_wstring(s.m_nVerticalShift) + L'|' + std::to_wstring(s.m_align) + L'|' +
           std::to_wstring(s.m_display) + L'|' + std::to_wstring(s.m_listType) + (s.m_bItalic ? L"i" : L"") +
           (s.m_bUnderline ? L"u" : L"") + (s.m_bStrike ? L"s" : L"") + (s.m_bPre ? L"p" : L"") +
           (s.m_bNoWrap ? L"n" : L"");
    auto found = m_styleIndex.find(key);
    if (found == m_styleIndex.end()) {
        found = m_styleIndex.emplace(std::move(key), static_cast<int>(m_out.m_styles.size())).first;
        m_out.m_styles.push_back(s);
    }
    frame.index = found->second;
    return frame.index;
}

int CHtmlLayoutEngine::ReserveRun(CHtmlRun::Kind kind, int style)
{
    CHtmlRun run;
    run.m_kind = kind;
    run.m_nStyle = style;
    m_out.m_runs.push_back(std::move(run));
    return static_cast<int>(m_out.m_runs.size()) - 1;
}

void CHtmlLayoutEngine::DropTrailingSeparator()
{
    // The space before an image that ends a line separates nothing: the text would end in a blank.
    if (m_separatorAt != std::wstring::npos && m_separatorAt + 1 == m_plain.size())
        m_plain.pop_back();
    m_separatorAt = std::wstring::npos;
}

void CHtmlLayoutEngine::BlockBreakText()
{
    DropTrailingSeparator();
    if (!m_plain.empty() && m_plain.back() != L'\n')
        m_plain += L"\r\n";
}

void CHtmlLayoutEngine::EndLine()
{
    FlushLine();
    BlockBreakText();
    m_atLineStart = true;
    m_pendingSpace = false;
}

void CHtmlLayoutEngine::ForcedBreak(Frame& frame)
{
    if (m_line.empty()) {
        ApplyPendingMargin();
        const int height = m_measure.GetLineHeight(frame.style);
        EmitMarkers(m_y + m_measure.GetAscent(frame.style), height);
        m_y += height;
    } else {
        FlushLine();
    }
    DropTrailingSeparator();
    m_plain += L"\r\n";
    m_atLineStart = true;
    m_pendingSpace = false;
    m_preColumn = 0;
}

void CHtmlLayoutEngine::EmitMarkers(int baseline, int lineHeight)
{
    for (const Marker& marker : m_markers) {
        const CHtmlStyle& style = m_out.m_styles[static_cast<size_t>(marker.style)];
        CHtmlRun run;
        run.m_kind = CHtmlRun::kindMarker;
        run.m_nStyle = marker.style;
        if (marker.text.empty()) {
            const int side = std::max(3, style.m_nFontSize / 3);
            const int ascent = m_measure.GetAscent(style);
            const int middle = baseline - ascent / 3;
            run.m_rect = CRect(marker.x - 8 - side, middle - side / 2 - side % 2, marker.x - 8, middle + side / 2);
        } else {
            const CSize size = m_measure.MeasureText(style, marker.text.c_str(), static_cast<int>(marker.text.size()));
            const int top = baseline - m_measure.GetAscent(style);
            run.m_rect = CRect(marker.x - 6 - size.cx, top, marker.x - 6, top + size.cy);
            run.m_nBaseline = baseline;
            run.m_strText.SetString(marker.text.c_str(), static_cast<int>(marker.text.size()));
        }
        (void)lineHeight;
        m_out.m_runs.push_back(std::move(run));
    }
    m_markers.clear();
}

void CHtmlLayoutEngine::FlushLine()
{
    if (m_line.empty())
        return;
    ApplyPendingMargin();
    const Block& block = m_blocks.back();
    int above = 0, below = 0;
    for (const Item& item : m_line) {
        above = std::max(above, item.ascent);
        below = std::max(below, item.height - item.ascent);
    }
    const int baseline = m_y + above;
    const int lineHeight = above + below;
    int x = block.x;
    const int room = block.width - m_lineWidth;
    if (room > 0 && block.align == CHtmlStyle::alignCenter)
        x += room / 2;
    else if (room > 0 && block.align == CHtmlStyle::alignRight)
        x += room;
    EmitMarkers(baseline, lineHeight);

    auto& runs = m_out.m_runs;
    int mergeable = -1; // the text run the next item may extend
    bool first = true;
    for (Item& item : m_line) {
        if (!first)
            x += item.space;
        first = false;
        const CHtmlStyle& style = m_out.m_styles[static_cast<size_t>(item.style)];
        if (item.image) {
            CHtmlRun run;
            run.m_kind = CHtmlRun::kindImage;
            run.m_rect = CRect(x, baseline - item.ascent, x + item.width, baseline - item.ascent + item.height);
            run.m_nStyle = item.style;
            run.m_strText.SetString(item.text.c_str(), static_cast<int>(item.text.size()));
            run.m_strSource = item.source;
            run.m_nLink = item.link;
            runs.push_back(std::move(run));
            mergeable = -1;
        } else {
            const int ascent = m_measure.GetAscent(style);
            const int top = baseline - ascent + style.m_nVerticalShift;
            const bool spaced = item.space > 0;
            if (mergeable >= 0) {
                CHtmlRun& previous = runs[static_cast<size_t>(mergeable)];
                if (previous.m_nStyle == item.style && previous.m_nLink == item.link &&
                    previous.m_nTextOffset + previous.m_strText.GetLength() + (spaced ? 1 : 0) == item.textOffset) {
                    if (spaced)
                        previous.m_strText.AppendChar(L' ');
                    previous.m_strText.Append(item.text.c_str(), static_cast<int>(item.text.size()));
                    previous.m_rect.right = x + item.width;
                    x += item.width;
                    continue;
                }
            }
            if (style.m_crBackground != CLR_NONE) {
                const int index = ReserveRun(CHtmlRun::kindBackground, item.style);
                runs[static_cast<size_t>(index)].m_rect = CRect(x, top, x + item.width, top + item.height);
            }
            CHtmlRun run;
            run.m_kind = CHtmlRun::kindText;
            run.m_rect = CRect(x, top, x + item.width, top + item.height);
            run.m_nStyle = item.style;
            run.m_strText.SetString(item.text.c_str(), static_cast<int>(item.text.size()));
            run.m_nLink = item.link;
            run.m_nBaseline = baseline + style.m_nVerticalShift;
            run.m_nTextOffset = item.textOffset;
            runs.push_back(std::move(run));
            mergeable = style.m_crBackground == CLR_NONE ? static_cast<int>(runs.size()) - 1 : -1;
        }
        x += item.width;
    }
    m_right = std::max(m_right, x);
    m_y += lineHeight;
    m_line.clear();
    m_lineWidth = 0;
    m_lastBreak = 0;
}

void CHtmlLayoutEngine::Place(Item item)
{
    const Block& block = m_blocks.back();
    const CHtmlStyle& style = m_out.m_styles[static_cast<size_t>(item.style)];
    const bool wraps = !style.m_bPre;
    if (!m_line.empty() && wraps && m_lineWidth + item.space + item.width > block.width) {
        if (item.breakBefore || m_lastBreak == 0) {
            // A glued run longer than the line breaks between its pieces: a line never grows without bound.
            FlushLine();
        } else {
            // Glued to what precedes it ("foo<b>bar</b>"): the whole glued word moves to the next line.
            const auto at = m_line.begin() + static_cast<long>(m_lastBreak);
            std::vector<Item> tail(std::make_move_iterator(at), std::make_move_iterator(m_line.end()));
            m_line.erase(at, m_line.end());
            m_lineWidth = 0;
            for (size_t i = 0; i < m_line.size(); ++i)
                m_lineWidth += (i ? m_line[i].space : 0) + m_line[i].width;
            FlushLine();
            for (Item& moved : tail) {
                m_lineWidth += (m_line.empty() ? 0 : moved.space) + moved.width;
                m_line.push_back(std::move(moved));
            }
        }
    }
    // A word wider than the whole line is broken between characters, so a long address cannot widen the page.
    // Only a slice of about one line is measured each time, so a huge word costs linear time.
    if (!item.image && wraps && !style.m_bNoWrap && m_line.empty() && item.width > block.width &&
        item.text.size() > 1) {
        const size_t slice = static_cast<size_t>(std::max(32, std::min(block.width / 3, 2048)));
        std::wstring whole;
        whole.swap(item.text);
        size_t pos = 0;
        std::vector<int> ends;
        while (whole.size() - pos > 1) {
            const size_t count = std::min(slice, whole.size() - pos);
            m_measure.GetCharacterEnds(style, whole.c_str() + pos, static_cast<int>(count), ends);
            size_t fit = 0;
            while (fit < ends.size() && ends[fit] <= block.width)
                ++fit;
            if (fit == count && pos + count == whole.size())
                break; // the rest fits
            fit = std::max<size_t>(1, std::min(fit, count));
            if (pos + fit < whole.size() && whole[pos + fit] >= 0xDC00 && whole[pos + fit] <= 0xDFFF)
                fit = fit > 1 ? fit - 1 : fit + 1;
            Item head = item;
            head.text = whole.substr(pos, fit);
            head.textOffset = item.textOffset + static_cast<int>(pos);
            head.width = ends[std::min(fit, count) - 1];
            head.space = 0;
            m_line.push_back(std::move(head));
            m_lineWidth = m_line.back().width;
            FlushLine();
            pos += fit;
        }
        item.text = whole.substr(pos);
        item.textOffset += static_cast<int>(pos);
        item.space = pos > 0 ? 0 : item.space;
        item.width = m_measure.MeasureText(style, item.text.c_str(), static_cast<int>(item.text.size())).cx;
    }
    if (item.breakBefore && !m_line.empty())
        m_lastBreak = m_line.size();
    m_lineWidth += (m_line.empty() ? 0 : item.space) + item.width;
    m_line.push_back(std::move(item));
}

void CHtmlLayoutEngine::AddWord(const wchar_t* text, size_t length, Frame& frame)
{
    // Characters the style's font lacks would show as empty boxes: they go in a font that has them, glued to the
    // rest of the word.
    size_t start = 0;
    CString family;
    for (size_t i = 0; i < length; ++i) {
        const CString wanted =
            m_measure.HasGlyph(frame.style, text[i]) ? CString() : m_measure.GetFallbackFamily(text[i]);
        if (i > start && wanted != family) {
            AddPiece(text + start, i - start, frame, family);
            start = i;
        }
        family = wanted;
    }
    AddPiece(text + start, length - start, frame, family);
}

void CHtmlLayoutEngine::AddPiece(const wchar_t* text, size_t length, Frame& frame, const CString& family)
{
    if (!family.IsEmpty()) {
        Frame fallback = frame;
        fallback.style.m_strFontFamily = family;
        fallback.index = -1;
        AddPiece(text, length, fallback, CString());
        return;
    }
    const int style = Intern(frame);
    Item item;
    item.style = style;
    item.link = m_link;
    if (m_pendingSpace && !m_atLineStart) {
        m_plain += L' ';
        item.space = m_measure.MeasureText(frame.style, L" ", 1).cx;
        item.breakBefore = !frame.style.m_bNoWrap;
    }
    item.breakBefore = item.breakBefore || m_breakAfterImage;
    m_breakAfterImage = false;
    m_pendingSpace = false;
    m_atLineStart = false;
    item.textOffset = static_cast<int>(m_plain.size());
    m_plain.append(text, length);
    item.text.assign(text, length);
    const CSize size = m_measure.MeasureText(frame.style, text, static_cast<int>(length));
    item.width = size.cx;
    item.height = size.cy;
    item.ascent = m_measure.GetAscent(frame.style) - frame.style.m_nVerticalShift;
    Place(std::move(item));
}

void CHtmlLayoutEngine::AddText(const CString& text, Frame& frame)
{
    const wchar_t* p = text;
    const size_t length = static_cast<size_t>(text.GetLength());
    if (frame.style.m_bPre) {
        std::wstring segment;
        for (size_t i = 0; i < length; ++i) {
            const wchar_t ch = p[i];
            if (m_skipNewline) {
                m_skipNewline = false;
                if (ch == L'\n' || (ch == L'\r' && i + 1 < length && p[i + 1] == L'\n')) {
                    i += ch == L'\r' ? 1 : 0;
                    continue;
                }
            }
            if (ch == L'\r' || ch == L'\n') {
                if (ch == L'\r' && i + 1 < length && p[i + 1] == L'\n')
                    ++i;
                if (!segment.empty())
                    AddWord(segment.data(), segment.size(), frame);
                segment.clear();
                ForcedBreak(frame);
            } else if (ch == L'\t') {
                const int spaces = 8 - m_preColumn % 8;
                segment.append(static_cast<size_t>(spaces), L' ');
                m_preColumn += spaces;
            } else {
                segment.push_back(ch);
                ++m_preColumn;
            }
        }
        if (!segment.empty())
            AddWord(segment.data(), segment.size(), frame);
        return;
    }
    m_skipNewline = false;
    size_t i = 0;
    while (i < length) {
        if (IsSpace(p[i])) {
            m_pendingSpace = true;
            ++i;
            continue;
        }
        size_t end = i;
        while (end < length && !IsSpace(p[end]))
            ++end;
        // A no-break space keeps words together but shows as a space.
        std::wstring word(p + i, end - i);
        for (wchar_t& ch : word)
            if (ch == 0xA0)
                ch = L' ';
        AddWord(word.data(), word.size(), frame);
        i = end;
    }
}

bool CHtmlLayoutEngine::ImageSize(const CHtmlNode* node, const CHtmlStyle& style, int available, CSize& size)
{
    int width = ParseLength(node->FindAttribute(L"width"), std::max(0, available));
    int height = ParseLength(node->FindAttribute(L"height"), 0);
    if (height == 0 && node->FindAttribute(L"height") && node->GetAttribute(L"height").Find(L'%') >= 0)
        height = -1;
    if (width < 0 || height < 0) {
        CSize natural(0, 0);
        if (m_out.m_imageSize && m_out.m_imageSize(node->GetAttribute(L"src"), natural) && natural.cx > 0 &&
            natural.cy > 0) {
            if (width < 0 && height < 0)
                width = natural.cx, height = natural.cy;
            else if (width < 0)
                width = static_cast<int>(static_cast<long long>(natural.cx) * height / natural.cy);
            else
                height = static_cast<int>(static_cast<long long>(natural.cy) * width / natural.cx);
        }
    }
    if (width < 0 || height < 0) {
        const CString alt = node->GetAttribute(L"alt");
        if (width < 0 && height < 0 && alt.IsEmpty())
            return false;
        const CSize text = m_measure.MeasureText(style, alt, alt.GetLength());
        if (width < 0)
            width = text.cx + 4;
        if (height < 0)
            height = text.cy + 4;
    }
    // Huge attributes are scaled down, keeping the proportions, so no box can ask for a page-sized bitmap.
    auto scale = [&](int limit) {
        if (width > limit) {
            height = std::max(1, static_cast<int>(static_cast<long long>(height) * limit / width));
            width = limit;
        }
        if (height > CHtmlLayout::MaxImageSide) {
            width = std::max(1, static_cast<int>(static_cast<long long>(width) * CHtmlLayout::MaxImageSide / height));
            height = CHtmlLayout::MaxImageSide;
        }
    };
    scale(CHtmlLayout::MaxImageSide);
    if (available > 0)
        scale(available);
    size = CSize(std::max(0, width), std::max(0, height));
    return size.cx > 0 && size.cy > 0;
}

void CHtmlLayoutEngine::AddImage(const CHtmlNode* node, Frame& frame)
{
    CSize size;
    if (!ImageSize(node, frame.style, m_blocks.back().width, size))
        return;
    Item item;
    item.image = true;
    item.style = Intern(frame);
    item.link = m_link;
    item.width = size.cx;
    item.height = size.cy;
    item.ascent = size.cy;
    item.text = std::wstring(static_cast<LPCWSTR>(node->GetAttribute(L"alt")));
    item.source = node->GetAttribute(L"src");
    if (m_pendingSpace && !m_atLineStart) {
        m_separatorAt = m_plain.size();
        m_plain += L' ';
        item.space = m_measure.MeasureText(frame.style, L" ", 1).cx;
    }
    item.breakBefore = true;
    item.textOffset = static_cast<int>(m_plain.size());
    m_pendingSpace = false;
    m_atLineStart = false;
    m_breakAfterImage = true;
    if (m_link >= 0 && m_out.m_links[static_cast<size_t>(m_link)].m_strText.IsEmpty())
        m_out.m_links[static_cast<size_t>(m_link)].m_strText = item.text.c_str();
    Place(std::move(item));
}

void CHtmlLayoutEngine::LayoutRule(const CHtmlNode* node, Frame& frame)
{
    EndLine();
    m_pendingMargin = std::max(m_pendingMargin, frame.style.m_nMarginTop);
    ApplyPendingMargin();
    const Block& block = m_blocks.back();
    int width = ParseLength(node->FindAttribute(L"width"), block.width);
    if (width <= 0 || width > block.width)
        width = block.width;
    int height = ParseLength(node->FindAttribute(L"size"), 0);
    if (height <= 0)
        height = 2;
    height = std::min(height, 100);
    int x = block.x;
    const CHtmlStyle::Align align = node->HasAttribute(L"align") ? frame.style.m_align : CHtmlStyle::alignCenter;
    if (align == CHtmlStyle::alignCenter)
        x += (block.width - width) / 2;
    else if (align == CHtmlStyle::alignRight)
        x += block.width - width;
    const int index = ReserveRun(CHtmlRun::kindRule, Intern(frame));
    m_out.m_runs[static_cast<size_t>(index)].m_rect = CRect(x, m_y, x + width, m_y + height);
    m_y += height;
    m_right = std::max(m_right, x + width);
    m_pendingMargin = std::max(m_pendingMargin, frame.style.m_nMarginBottom);
}

void CHtmlLayoutEngine::LayoutBlock(const CHtmlNode* node, Frame& frame, int depth)
{
    EndLine();
    const CHtmlStyle& style = frame.style;
    m_pendingMargin = std::max(m_pendingMargin, style.m_nMarginTop);
    Block block = m_blocks.back();
    block.x += style.m_nMarginLeft;
    block.width = std::max(1, block.width - style.m_nMarginLeft - style.m_nMarginRight);
    block.align = style.m_align;
    int background = -1, top = 0;
    if (style.m_crBackground != CLR_NONE) {
        ApplyPendingMargin();
        background = ReserveRun(CHtmlRun::kindBackground, Intern(frame));
        top = m_y;
        // The block's own run paints it; its text must not paint it again line by line.
        frame.style.m_crBackground = CLR_NONE;
        frame.index = -1;
    }
    if (style.m_display == CHtmlStyle::displayListItem && !m_lists.empty()) {
        ListState& list = m_lists.back();
        if (const CString* value = node->FindAttribute(L"value")) {
            const int number = ParseLength(value, 0);
            if (number >= 0)
                list.next = number;
        }
        Marker marker;
        marker.type = list.type;
        marker.x = block.x;
        const int number = list.next++;
        switch (list.type) {
        case CHtmlStyle::listDecimal:
            marker.text = std::to_wstring(number) + L".";
            break;
        case CHtmlStyle::listLowerAlpha:
        case CHtmlStyle::listUpperAlpha:
            marker.text = ToAlpha(number, list.type == CHtmlStyle::listUpperAlpha) + L".";
            break;
        case CHtmlStyle::listLowerRoman:
        case CHtmlStyle::listUpperRoman:
            marker.text = ToRoman(number, list.type == CHtmlStyle::listUpperRoman) + L".";
            break;
        default:
            break;
        }
        Frame markerFrame;
        markerFrame.style = style;
        markerFrame.style.m_bUnderline = markerFrame.style.m_bStrike = FALSE;
        markerFrame.style.m_crBackground = CLR_NONE;
        marker.style = Intern(markerFrame);
        if (list.type != CHtmlStyle::listNone)
            m_markers.push_back(std::move(marker));
    }
    const bool list = node->Is(L"ul") || node->Is(L"ol") || node->Is(L"menu") || node->Is(L"dir");
    if (list) {
        ListState state;
        state.type = style.m_listType;
        if (node->Is(L"ol")) {
            const int start = ParseLength(node->FindAttribute(L"start"), 0);
            state.next = start >= 0 ? start : 1;
        }
        m_lists.push_back(state);
    }
    if (style.m_bPre)
        m_skipNewline = true;
    m_preColumn = 0;
    m_blocks.push_back(block);
    LayoutChildren(node, frame, depth);
    EndLine();
    if (!m_markers.empty() && style.m_display == CHtmlStyle::displayListItem) {
        // An empty item still shows its marker on a line of its own.
        ApplyPendingMargin();
        const int height = m_measure.GetLineHeight(style);
        EmitMarkers(m_y + m_measure.GetAscent(style), height);
        m_y += height;
    }
    m_blocks.pop_back();
    if (list)
        m_lists.pop_back();
    if (background >= 0)
        m_out.m_runs[static_cast<size_t>(background)].m_rect = CRect(block.x, top, block.x + block.width, m_y);
    m_pendingMargin = std::max(m_pendingMargin, style.m_nMarginBottom);
}

void CHtmlLayoutEngine::LayoutChildren(const CHtmlNode* node, Frame& frame, int depth)
{
    for (const CHtmlNode* child : node->m_children) {
        if (child->IsText())
            AddText(child->m_strText, frame);
        else
            LayoutElement(child, frame, depth + 1);
    }
}

void CHtmlLayoutEngine::LayoutElement(const CHtmlNode* node, Frame& parent, int depth)
{
    if (depth > kMaxLayoutDepth)
        return;
    Frame frame;
    ComputeStyle(node, parent.style, frame.style);
    const CHtmlStyle& style = frame.style;
    if (style.m_display == CHtmlStyle::displayNone)
        return;
    const CString& name = node->m_strName;
    if (name == L"br") {
        ForcedBreak(frame);
        return;
    }
    if (name == L"img") {
        AddImage(node, frame);
        return;
    }
    if (name == L"hr") {
        LayoutRule(node, frame);
        return;
    }
    if (style.m_display == CHtmlStyle::displayTable) {
        LayoutTable(node, frame, depth);
        return;
    }
    const int outerLink = m_link;
    size_t linkTextStart = 0;
    const bool link = name == L"a" && !node->GetAttribute(L"href").IsEmpty();
    if (link) {
        CHtmlLink entry;
        entry.m_strHref = node->GetAttribute(L"href");
        m_out.m_links.push_back(std::move(entry));
        m_link = static_cast<int>(m_out.m_links.size()) - 1;
        linkTextStart = m_plain.size() + (m_pendingSpace && !m_atLineStart ? 1 : 0);
    }
    if (style.m_display == CHtmlStyle::displayInline)
        LayoutChildren(node, frame, depth);
    else
        LayoutBlock(node, frame, depth);
    if (link) {
        std::wstring text;
        bool space = false;
        for (size_t i = std::min(linkTextStart, m_plain.size()); i < m_plain.size(); ++i) {
            if (IsSpace(m_plain[i])) {
                space = !text.empty();
                continue;
            }
            if (space)
                text += L' ';
            space = false;
            text += m_plain[i];
        }
        CHtmlLink& entry = m_out.m_links[static_cast<size_t>(m_link)];
        if (!text.empty())
            entry.m_strText.SetString(text.c_str(), static_cast<int>(text.size()));
        m_link = outerLink;
    }
}

// ---- Tables

void CHtmlLayoutEngine::BuildGrid(const CHtmlNode* table, Grid& grid) const
{
    auto addRow = [&](const CHtmlNode* tr) {
        Row row;
        row.node = tr;
        int column = 0;
        for (const CHtmlNode* cell : tr->m_children) {
            if (!cell->Is(L"td") && !cell->Is(L"th"))
                continue;
            if (column >= kMaxColumns)
                break;
            int span = ParseLength(cell->FindAttribute(L"colspan"), 0);
            span = std::max(1, std::min(span, 100));
            span = std::min(span, kMaxColumns - column);
            row.cells.push_back(Cell{cell, column, span});
            column += span;
        }
        grid.columns = std::max(grid.columns, column);
        grid.rows.push_back(std::move(row));
    };
    for (const CHtmlNode* child : table->m_children) {
        if (child->Is(L"tr")) {
            addRow(child);
        } else if (child->Is(L"tbody") || child->Is(L"thead") || child->Is(L"tfoot")) {
            for (const CHtmlNode* tr : child->m_children)
                if (tr->Is(L"tr"))
                    addRow(tr);
        } else if (child->Is(L"caption") && !grid.caption) {
            grid.caption = child;
        }
    }
}

void CHtmlLayoutEngine::TableMetrics(const CHtmlNode* table, int& border, int& spacing, int& padding) const
{
    border = 0;
    if (const CString* value = table->FindAttribute(L"border"))
        border = value->IsEmpty() ? 1 : std::max(0, std::min(ParseLength(value, 0), 20));
    spacing = ParseLength(table->FindAttribute(L"cellspacing"), 0);
    spacing = spacing < 0 ? 2 : std::min(spacing, 50);
    padding = ParseLength(table->FindAttribute(L"cellpadding"), 0);
    padding = padding < 0 ? 1 : std::min(padding, 50);
}

void CHtmlLayoutEngine::IntrinsicChildren(const CHtmlNode* node, const CHtmlStyle& style, Intrinsic& acc, int depth)
{
    for (const CHtmlNode* child : node->m_children) {
        if (child->IsElement()) {
            IntrinsicElement(child, style, acc, depth + 1);
            continue;
        }
        const wchar_t* p = child->m_strText;
        const size_t length = static_cast<size_t>(child->m_strText.GetLength());
        if (style.m_bPre) {
            size_t start = 0;
            for (size_t i = 0; i <= length; ++i) {
                if (i < length && p[i] != L'\n')
                    continue;
                acc.line += m_measure.MeasureText(style, p + start, static_cast<int>(i - start)).cx;
                acc.min = std::max(acc.min, acc.line);
                if (i < length)
                    acc.EndLine();
                start = i + 1;
            }
            continue;
        }
        size_t i = 0;
        while (i < length) {
            if (IsSpace(p[i])) {
                acc.space = acc.line > 0;
                ++i;
                continue;
            }
            size_t end = i;
            while (end < length && !IsSpace(p[end]))
                ++end;
            const int width = m_measure.MeasureText(style, p + i, static_cast<int>(end - i)).cx;
            if (acc.space)
                acc.line += m_measure.MeasureText(style, L" ", 1).cx;
            acc.space = false;
            acc.line += width;
            acc.min = std::max(acc.min, style.m_bNoWrap ? acc.line : width);
            i = end;
        }
    }
}

void CHtmlLayoutEngine::IntrinsicElement(const CHtmlNode* node, const CHtmlStyle& parent, Intrinsic& acc, int depth)
{
    if (depth > kMaxLayoutDepth)
        return;
    CHtmlStyle style;
    ComputeStyle(node, parent, style);
    if (style.m_display == CHtmlStyle::displayNone)
        return;
    if (node->Is(L"br")) {
        acc.EndLine();
        return;
    }
    if (node->Is(L"img")) {
        CSize size;
        if (ImageSize(node, style, 0, size)) {
            acc.line += size.cx;
            acc.min = std::max<int>(acc.min, size.cx);
            acc.space = false;
        }
        return;
    }
    if (style.m_display == CHtmlStyle::displayInline) {
        IntrinsicChildren(node, style, acc, depth);
        return;
    }
    acc.EndLine();
    std::pair<int, int> inner;
    if (style.m_display == CHtmlStyle::displayTable) {
        inner = TableIntrinsic(node, style, depth);
    } else {
        Intrinsic child;
        const bool list = node->Is(L"ul") || node->Is(L"ol");
        if (list)
            m_lists.push_back(ListState{});
        IntrinsicChildren(node, style, child, depth);
        if (list)
            m_lists.pop_back();
        child.EndLine();
        inner = {child.min, child.max};
    }
    const int margins = style.m_nMarginLeft + style.m_nMarginRight;
    acc.min = std::max(acc.min, inner.first + margins);
    acc.max = std::max(acc.max, inner.second + margins);
}

std::pair<int, int> CHtmlLayoutEngine::CellIntrinsic(const CHtmlNode* cell, const CHtmlStyle& style, int depth)
{
    auto found = m_intrinsic.find(cell);
    if (found != m_intrinsic.end())
        return found->second;
    Intrinsic acc;
    IntrinsicChildren(cell, style, acc, depth);
    acc.EndLine();
    std::pair<int, int> result{acc.min, std::max(acc.min, acc.max)};
    const int width = ParseLength(cell->FindAttribute(L"width"), 0);
    if (width > 0)
        result.second = std::max(result.second, std::min(width, 4096));
    m_intrinsic.emplace(cell, result);
    return result;
}

void CHtmlLayoutEngine::ColumnLimits(const Grid& grid, const CHtmlStyle& tableStyle, int padding, int depth,
                                     std::vector<int>& mins, std::vector<int>& maxes)
{
    mins.assign(static_cast<size_t>(grid.columns), 0);
    maxes.assign(static_cast<size_t>(grid.columns), 0);
    // Single cells first, then spanning cells widen their columns evenly where they need more.
    for (int pass = 0; pass < 2; ++pass) {
        for (const Row& row : grid.rows) {
            CHtmlStyle rowStyle;
            ComputeStyle(row.node, tableStyle, rowStyle);
            for (const Cell& cell : row.cells) {
                if ((cell.span == 1) != (pass == 0))
                    continue;
                CHtmlStyle cellStyle;
                ComputeStyle(cell.node, rowStyle, cellStyle);
                std::pair<int, int> limits = CellIntrinsic(cell.node, cellStyle, depth + 2);
                limits.first += 2 * padding;
                limits.second += 2 * padding;
                const size_t first = static_cast<size_t>(cell.column);
                const size_t last = first + static_cast<size_t>(cell.span);
                int haveMin = 0, haveMax = 0;
                for (size_t c = first; c < last; ++c)
                    haveMin += mins[c], haveMax += maxes[c];
                const int span = cell.span;
                if (limits.first > haveMin)
                    for (size_t c = first; c < last; ++c)
                        mins[c] += (limits.first - haveMin + span - 1) / span;
                if (limits.second > haveMax)
                    for (size_t c = first; c < last; ++c)
                        maxes[c] += (limits.second - haveMax + span - 1) / span;
            }
        }
    }
    for (size_t c = 0; c < mins.size(); ++c)
        maxes[c] = std::max(maxes[c], mins[c]);
}

std::pair<int, int> CHtmlLayoutEngine::TableIntrinsic(const CHtmlNode* table, const CHtmlStyle& style, int depth)
{
    auto found = m_intrinsic.find(table);
    if (found != m_intrinsic.end())
        return found->second;
    Grid grid;
    BuildGrid(table, grid);
    int border, spacing, padding;
    TableMetrics(table, border, spacing, padding);
    std::vector<int> mins, maxes;
    ColumnLimits(grid, style, padding, depth, mins, maxes);
    const int extra = 2 * border + spacing * (grid.columns + 1);
    int minimum = extra, maximum = extra;
    for (size_t c = 0; c < mins.size(); ++c)
        minimum += mins[c], maximum += maxes[c];
    const int width = ParseLength(table->FindAttribute(L"width"), 0);
    if (width > 0 && table->GetAttribute(L"width").Find(L'%') < 0)
        maximum = std::max(maximum, std::min(width, 4096));
    const std::pair<int, int> result{minimum, std::max(minimum, maximum)};
    m_intrinsic.emplace(table, result);
    return result;
}

namespace {

// The widths of a table's columns from their narrowest and widest layouts and the room there is. A table with a
// width of its own spreads the spare room over its columns; one without takes only what its content wants.
std::vector<int> ColumnWidths(const std::vector<int>& mins, const std::vector<int>& maxes, int room, bool bFixedWidth)
{
    const size_t columns = mins.size();
    long long sumMin = 0, sumMax = 0;
    for (size_t k = 0; k < columns; ++k)
        sumMin += mins[k], sumMax += maxes[k];
    std::vector<int> widths(columns, 0);
    for (size_t k = 0; k < columns; ++k) {
        if (sumMax <= room && !bFixedWidth) {
            widths[k] = maxes[k];
        } else if (sumMax <= room) {
            widths[k] = sumMax > 0 ? static_cast<int>(maxes[k] + (room - sumMax) * maxes[k] / sumMax)
                                   : room / std::max<int>(1, static_cast<int>(columns));
        } else if (sumMin <= room) {
            widths[k] = sumMax > sumMin
                            ? static_cast<int>(mins[k] + (room - sumMin) * (maxes[k] - mins[k]) / (sumMax - sumMin))
                            : mins[k];
        } else {
            widths[k] = sumMin > 0 ? std::max(1, static_cast<int>(room * mins[k] / sumMin)) : 1;
        }
    }
    return widths;
}

} // namespace

void CHtmlLayoutEngine::LayoutTable(const CHtmlNode* node, Frame& frame, int depth)
{
    EndLine();
    ApplyPendingMargin();
    Grid grid;
    BuildGrid(node, grid);
    if (grid.rows.empty() && !grid.caption)
        return;
    int border, spacing, padding;
    TableMetrics(node, border, spacing, padding);
    const Block outer = m_blocks.back();
    std::vector<int> mins, maxes;
    ColumnLimits(grid, frame.style, padding, depth, mins, maxes);
    const int columns = grid.columns;
    const int extra = 2 * border + spacing * (columns + 1);
    int target = ParseLength(node->FindAttribute(L"width"), outer.width);
    target = target > 0 ? std::min(target, outer.width) : -1;
    const int room = std::max(0, (target > 0 ? target : outer.width) - extra);
    const std::vector<int> widths = ColumnWidths(mins, maxes, room, target > 0);
    int tableWidth = extra;
    for (int width : widths)
        tableWidth += width;
    int tableX = outer.x;
    if (frame.style.m_align == CHtmlStyle::alignCenter || node->GetAttribute(L"align").CompareNoCase(L"center") == 0)
        tableX += std::max(0, (outer.width - tableWidth) / 2);
    else if (node->GetAttribute(L"align").CompareNoCase(L"right") == 0)
        tableX += std::max(0, outer.width - tableWidth);
    const int tableStyle = Intern(frame);

    if (grid.caption) {
        Frame captionFrame;
        ComputeStyle(grid.caption, frame.style, captionFrame.style);
        m_blocks.push_back(Block{tableX, tableWidth, captionFrame.style.m_align});
        LayoutBlock(grid.caption, captionFrame, depth + 1);
        m_blocks.pop_back();
        m_pendingMargin = 0;
    }

    const int tableTop = m_y;
    const int tableBackground =
        frame.style.m_crBackground != CLR_NONE ? ReserveRun(CHtmlRun::kindBackground, tableStyle) : -1;
    std::vector<int> columnX(static_cast<size_t>(columns) + 1, tableX + border + spacing);
    for (int c = 0; c < columns; ++c)
        columnX[static_cast<size_t>(c) + 1] =
            columnX[static_cast<size_t>(c)] + widths[static_cast<size_t>(c)] + spacing;

    const auto savedMarkers = std::move(m_markers);
    m_markers.clear();
    int y = tableTop + border + spacing;
    for (const Row& row : grid.rows) {
        Frame rowFrame;
        ComputeStyle(row.node, frame.style, rowFrame.style);
        struct Placed
        {
            size_t begin;
            size_t end;
            int height;
            int background;
            CRect rect;
            int valign;
        };
        std::vector<Placed> placed;
        int rowHeight = 0;
        for (size_t n = 0; n < row.cells.size(); ++n) {
            const Cell& cell = row.cells[n];
            Frame cellFrame;
            ComputeStyle(cell.node, rowFrame.style, cellFrame.style);
            const int left = columnX[static_cast<size_t>(cell.column)];
            const int right = columnX[static_cast<size_t>(cell.column + cell.span)] - spacing;
            Placed info{};
            info.background = cellFrame.style.m_crBackground != CLR_NONE
                                  ? ReserveRun(CHtmlRun::kindBackground, Intern(cellFrame))
                                  : -1;
            cellFrame.style.m_crBackground = CLR_NONE;
            cellFrame.index = -1;
            info.begin = m_out.m_runs.size();
            const std::wstring valign = Lower(cell.node->FindAttribute(L"valign") ? cell.node->GetAttribute(L"valign")
                                                                                  : row.node->GetAttribute(L"valign"));
            info.valign = valign == L"top" || valign == L"baseline" ? 0 : valign == L"bottom" ? 2 : 1;
            m_y = y + padding;
            m_pendingMargin = 0;
            m_blocks.push_back(Block{left + padding, std::max(1, right - left - 2 * padding), cellFrame.style.m_align});
            const std::vector<ListState> savedLists = std::move(m_lists);
            m_lists.clear();
            LayoutChildren(cell.node, cellFrame, depth + 2);
            FlushLine();
            m_lists = savedLists;
            m_blocks.pop_back();
            m_pendingMargin = 0;
            while (!m_plain.empty() && (m_plain.back() == L'\n' || m_plain.back() == L'\r'))
                m_plain.pop_back();
            if (n + 1 < row.cells.size())
                m_plain += L'\t';
            m_pendingSpace = false;
            m_atLineStart = true;
            info.end = m_out.m_runs.size();
            info.height = m_y - y + padding;
            info.rect = CRect(left, y, right, y);
            const int fixed = ParseLength(cell.node->FindAttribute(L"height"), 0);
            rowHeight = std::max({rowHeight, info.height, std::min(fixed, 4096)});
            placed.push_back(info);
        }
        const int fixedRow = ParseLength(row.node->FindAttribute(L"height"), 0);
        rowHeight = std::max(rowHeight, std::min(fixedRow, 4096));
        for (Placed& info : placed) {
            const int shift = info.valign == 0 ? 0 : (rowHeight - info.height) / (info.valign == 1 ? 2 : 1);
            if (shift > 0)
                for (size_t r = info.begin; r < info.end; ++r) {
                    m_out.m_runs[r].m_rect.OffsetRect(0, shift);
                    m_out.m_runs[r].m_nBaseline += shift;
                }
            info.rect.bottom = y + rowHeight;
            if (info.background >= 0)
                m_out.m_runs[static_cast<size_t>(info.background)].m_rect = info.rect;
            if (border > 0) {
                const int index = ReserveRun(CHtmlRun::kindBorder, tableStyle);
                m_out.m_runs[static_cast<size_t>(index)].m_rect = info.rect;
            }
        }
        BlockBreakText();
        y += rowHeight + spacing;
    }
    m_markers = savedMarkers;
    const int tableBottom = y + border;
    const CRect tableRect(tableX, tableTop, tableX + tableWidth, tableBottom);
    if (tableBackground >= 0)
        m_out.m_runs[static_cast<size_t>(tableBackground)].m_rect = tableRect;
    if (border > 0) {
        const int index = ReserveRun(CHtmlRun::kindBorder, tableStyle);
        m_out.m_runs[static_cast<size_t>(index)].m_rect = tableRect;
    }
    m_y = tableBottom;
    m_right = std::max<int>(m_right, tableRect.right);
    m_atLineStart = true;
    m_pendingSpace = false;
}

void CHtmlLayoutEngine::Run(const CHtmlDocument& doc, int width)
{
    const CHtmlNode* body = doc.GetBody();
    const int margin = std::max(0, m_out.m_nPageMargin);
    Frame frame;
    CHtmlStyle& style = frame.style;
    style.m_display = CHtmlStyle::displayBlock;
    style.m_strFontFamily = m_measure.GetDefaultFamily();
    style.m_nFontSize = m_measure.GetBaseFontSize();
    const COLORREF text = ParseColor(body->GetAttribute(L"text"));
    if (text != CLR_NONE)
        style.m_crText = text;
    const COLORREF link = ParseColor(body->GetAttribute(L"link"));
    if (link != CLR_NONE)
        m_linkColor = link;
    const COLORREF background = ParseColor(body->GetAttribute(L"bgcolor"));
    if (body->FindAttribute(L"style"))
        ApplyInlineStyle(body->GetAttribute(L"style"), style);
    m_out.m_crBackground = style.m_crBackground != CLR_NONE ? style.m_crBackground : background;
    style.m_crBackground = CLR_NONE;
    if (style.m_display == CHtmlStyle::displayNone)
        style.m_display = CHtmlStyle::displayBlock;

    m_y = margin;
    m_blocks.push_back(Block{margin, std::max(1, width - 2 * margin), style.m_align});
    LayoutChildren(body, frame, 0);
    EndLine();
    m_y += m_pendingMargin;
    m_out.m_nHeight = m_y + margin;
    m_out.m_nWidth = std::max(width, m_right + margin);
    while (!m_plain.empty() && IsSpace(m_plain.back()))
        m_plain.pop_back();
    m_out.m_strPlainText.SetString(m_plain.c_str(), static_cast<int>(m_plain.size()));

    for (size_t i = 0; i < m_out.m_runs.size(); ++i) {
        const CHtmlRun& run = m_out.m_runs[i];
        if (run.m_nLink >= 0 && !run.m_rect.IsRectEmpty())
            m_out.m_links[static_cast<size_t>(run.m_nLink)].m_rects.push_back(run.m_rect);
    }
    const int bands = std::max(1, m_out.m_nHeight / kBandHeight + 1);
    m_out.m_bands.assign(static_cast<size_t>(bands), {});
    for (size_t i = 0; i < m_out.m_runs.size(); ++i) {
        const CRect& rect = m_out.m_runs[i].m_rect;
        const int first = std::max(0, std::min<int>(bands - 1, rect.top / kBandHeight));
        const int last =
            std::max(first, std::min<int>(bands - 1, std::max<int>(rect.top, rect.bottom - 1) / kBandHeight));
        for (int b = first; b <= last; ++b)
            m_out.m_bands[static_cast<size_t>(b)].push_back(static_cast<int>(i));
    }
}

// ---------------------------------------------------------------------------------------------------------------
// CHtmlLayout

CHtmlLayout::CHtmlLayout() = default;
CHtmlLayout::~CHtmlLayout() = default;

void CHtmlLayout::Clear()
{
    m_runs.clear();
    m_styles.clear();
    m_links.clear();
    m_bands.clear();
    m_strPlainText.Empty();
    m_nHeight = m_nWidth = 0;
    m_crBackground = CLR_NONE;
}

void CHtmlLayout::Layout(const CHtmlDocument& doc, CHtmlMeasure& measure, int width)
{
    Clear();
    CHtmlLayoutEngine engine(*this, measure);
    engine.Run(doc, std::max(1, width));
}

void CHtmlLayout::GetRunsInRect(const CRect& rect, std::vector<int>& indices) const
{
    indices.clear();
    if (m_bands.empty() || rect.bottom <= rect.top)
        return;
    const int count = static_cast<int>(m_bands.size());
    const int first = std::max(0, std::min<int>(count - 1, rect.top / kBandHeight));
    const int last = std::max(first, std::min<int>(count - 1, (rect.bottom - 1) / kBandHeight));
    for (int b = first; b <= last; ++b)
        for (int index : m_bands[static_cast<size_t>(b)]) {
            const CRect& r = m_runs[static_cast<size_t>(index)].m_rect;
            if (r.left < rect.right && r.right > rect.left && r.top < rect.bottom && r.bottom > rect.top)
                indices.push_back(index);
        }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
}

int CHtmlLayout::HitTestLink(CPoint point) const
{
    if (m_bands.empty() || point.y < 0)
        return -1;
    const size_t band = static_cast<size_t>(point.y / kBandHeight);
    if (band >= m_bands.size())
        return -1;
    int hit = -1;
    for (int index : m_bands[band]) {
        const CHtmlRun& run = m_runs[static_cast<size_t>(index)];
        if (run.m_nLink >= 0 && run.m_rect.PtInRect(point))
            hit = run.m_nLink;
    }
    return hit;
}
