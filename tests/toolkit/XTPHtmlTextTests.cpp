// The HTML-subset drawer measured and drawn in a memory DC with a known font, and the colour shade helpers.
#include "toolkit/taskpanel/XTPHtmlText.h"
#include "tests/framework/MemoryCanvas.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

const COLORREF kPaper = RGB(255, 255, 255);
const COLORREF kInk = RGB(0, 0, 0);

LOGFONTW KnownFont(LONG weight = FW_NORMAL, BYTE italic = FALSE, BYTE underline = FALSE, LONG height = -16)
{
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfQuality = NONANTIALIASED_QUALITY;     // ink pixels are exactly the text colour
    wcscpy(lf.lfFaceName, L"Liberation Sans"); // has real bold and italic faces here
    return lf;
}

// A white canvas with the known font selected.
class Canvas : public lqtest::MemoryCanvas
{
public:
    Canvas(int cx = 400, int cy = 200) : MemoryCanvas(cx, cy, kPaper)
    {
        LOGFONTW lf = KnownFont();
        m_font.CreateFontIndirect(&lf);
        m_pOldFont = Dc().SelectObject(&m_font);
        Dc().SetBkMode(TRANSPARENT);
        Dc().SetTextColor(kInk);
    }
    ~Canvas() { Dc().SelectObject(m_pOldFont); }
    void Clear() { Fill(kPaper); }

    // Colours of the ink met from left to right, consecutive repeats folded.
    std::vector<COLORREF> InkSequence() const
    {
        std::vector<COLORREF> sequence;
        for (int x = 0; x < Width(); ++x) {
            for (int y = 0; y < Height(); ++y) {
                const COLORREF clr = At(x, y);
                if (clr != kPaper) {
                    if (sequence.empty() || sequence.back() != clr)
                        sequence.push_back(clr);
                    break;
                }
            }
        }
        return sequence;
    }
    // Empty when both canvases hold the same pixels, else where the first difference is.
    std::string DifferenceFrom(const Canvas& other) const
    {
        const std::vector<DWORD> mine = Pixels(), theirs = other.Pixels();
        for (size_t i = 0; i < mine.size() && i < theirs.size(); ++i)
            if (mine[i] != theirs[i])
                return "first difference at x=" + std::to_string(i % Width()) + " y=" + std::to_string(i / Width());
        return mine.size() == theirs.size() ? std::string() : "sizes differ";
    }
    int LineHeight() const
    {
        SIZE size = {};
        GetTextExtentPoint32W(Hdc(), L"\u00C5y", 2, &size);
        return size.cy;
    }

private:
    CFont m_font;
    CFont* m_pOldFont = nullptr;
};

int Draw(Canvas& canvas, const wchar_t* text, UINT format = 0, RECT rc = {0, 0, 400, 200}, int count = -1)
{
    return DrawHtmlText(canvas.Dc(), text, count, &rc, format);
}

// Draws a text at x, y in the DC's font with every character at the advance the platform measures for it, as
// the platform's text functions draw on Windows; returns the measured width.
int DrawAtMeasuredAdvances(HDC hDC, int x, int y, const std::wstring& text, const RECT* pClip = nullptr)
{
    const int n = static_cast<int>(text.size());
    std::vector<int> advances(text.size() + 1);
    SIZE size = {};
    GetTextExtentExPointW(hDC, text.c_str(), n, 0, nullptr, advances.data(), &size);
    for (int i = n - 1; i > 0; --i)
        advances[i] -= advances[i - 1];
    ExtTextOutW(hDC, x, y, pClip ? ETO_CLIPPED : 0, pClip, text.c_str(), n, advances.data());
    return size.cx;
}

// The words in the DC's font, one measured blank apart, from the left.
void DrawWords(HDC hDC, std::initializer_list<const wchar_t*> words)
{
    SIZE blank = {};
    GetTextExtentPoint32W(hDC, L" ", 1, &blank);
    int x = 0;
    for (const wchar_t* word : words)
        x += DrawAtMeasuredAdvances(hDC, x, 0, word) + blank.cx;
}

TEST(DrawHtmlTextTest, HeightCountsLinesFromBreaksParagraphsAndWrapping)
{
    Canvas canvas;
    const int lh = canvas.LineHeight();
    ASSERT_GT(lh, 10);
    struct Case
    {
        const wchar_t* text;
        UINT format;
        int width;
        int expected;
    } cases[] = {
        {L"plain words on one line", 0, 400, lh},
        {L"", 0, 400, lh},
        {L"one<br>two", 0, 400, 2 * lh},
        {L"one<BR>two<br>three", 0, 400, 3 * lh},
        {L"one<br>two", DT_SINGLELINE, 400, lh},
        {L"one<p>two", 0, 400, lh * 3 / 2 + lh},
        {L"<p>starts with a paragraph", 0, 400, lh},
        {L"one<p>two", DT_SINGLELINE, 400, lh},
        {L"one </br> two", 0, 400, lh},
        // Words wrap only with DT_WORDBREAK; without it the line grows.
        {L"alpha beta gamma delta", 0, 60, lh},
        {L"alpha beta gamma delta", DT_WORDBREAK, 60, 4 * lh},
    };
    for (const Case& c : cases) {
        RECT rc = {0, 0, c.width, 0};
        EXPECT_EQ(c.expected, DrawHtmlText(canvas.Dc(), c.text, -1, &rc, c.format | DT_CALCRECT))
            << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(DrawHtmlTextTest, CalcRectGivesWidestLineAndDrawsNothing)
{
    Canvas canvas;
    SIZE wide = {};
    GetTextExtentPoint32W(canvas.Dc(), L"a much longer line", 18, &wide);
    RECT rc = {10, 20, 400, 20};
    const int height = DrawHtmlText(canvas.Dc(), L"short<br>a much longer line", -1, &rc, DT_CALCRECT);
    EXPECT_EQ(10 + wide.cx, rc.right);
    EXPECT_EQ(20 + height, rc.bottom);
    EXPECT_EQ(std::vector<COLORREF>{}, canvas.InkSequence());
}

TEST(DrawHtmlTextTest, NullDeviceContextOrTextGivesZero)
{
    Canvas canvas;
    RECT rc = {0, 0, 100, 100};
    EXPECT_EQ(0, DrawHtmlText(static_cast<HDC>(nullptr), L"text", -1, &rc, 0));
    EXPECT_EQ(0, DrawHtmlText(canvas.Dc(), nullptr, -1, &rc, 0));
}

// Each tag draws its text exactly as DrawTextW draws it in the font the tag asks for.
TEST(DrawHtmlTextTest, EachTagDrawsTheWordInItsFont)
{
    struct Case
    {
        const wchar_t* markup;
        LOGFONTW font;
        UINT extra;
    } cases[] = {
        {L"Word", KnownFont(), 0},
        {L"<b>Word</b>", KnownFont(FW_BOLD), 0},
        {L"<strong>Word</strong>", KnownFont(FW_BOLD), 0},
        {L"<big>Word</big>", KnownFont(FW_BOLD), 0}, // a longer tag word that begins with "b"
        {L"<i>Word</i>", KnownFont(FW_NORMAL, TRUE), 0},
        {L"<em>Word</em>", KnownFont(FW_NORMAL, TRUE), 0},
        {L"<u>Word</u>", KnownFont(FW_NORMAL, FALSE, TRUE), 0},
        {L"<b><i>Word</i></b>", KnownFont(FW_BOLD, TRUE), 0},
        {L"<sup>Word</sup>", KnownFont(FW_NORMAL, FALSE, FALSE, -16 * 7 / 10), 0},
        {L"<sub>Word</sub>", KnownFont(FW_NORMAL, FALSE, FALSE, -16 * 7 / 10), DT_BOTTOM},
        {L"<xyz>Word</xyz>", KnownFont(), 0},
        {L"<span class=\"x\">Word</span>", KnownFont(), 0},
        {L"<b>Word</b><i>", KnownFont(FW_BOLD), 0},
    };
    Canvas plain, actual, expected;
    Draw(plain, L"Word");
    for (const Case& c : cases) {
        actual.Clear();
        expected.Clear();
        const int lh = actual.LineHeight();
        Draw(actual, c.markup);
        const bool bPlainFont = c.font.lfWeight == FW_NORMAL && !c.font.lfItalic && !c.font.lfUnderline &&
                                c.font.lfHeight == KnownFont().lfHeight;
        // Each styled case must look different from the plain word, or the comparison below proves nothing.
        EXPECT_EQ(bPlainFont, plain.Pixels() == actual.Pixels()) << testing::PrintToString(std::wstring(c.markup));
        HFONT hFont = CreateFontIndirectW(&c.font);
        HGDIOBJ hOld = SelectObject(expected.Dc(), hFont);
        const RECT rc = {0, 0, 400, lh};
        TEXTMETRICW tm = {};
        GetTextMetricsW(expected.Dc(), &tm);
        DrawAtMeasuredAdvances(expected.Dc(), 0, (c.extra & DT_BOTTOM) ? lh - tm.tmHeight : 0, L"Word", &rc);
        SelectObject(expected.Dc(), hOld);
        DeleteObject(hFont);
        EXPECT_EQ(expected.Pixels(), actual.Pixels()) << testing::PrintToString(std::wstring(c.markup));
        EXPECT_FALSE(actual.InkSequence().empty());
    }
}

TEST(DrawHtmlTextTest, StopsAtTheGivenLength)
{
    Canvas actual, expected;
    const wchar_t buffer[] = {L'W', L'o', L'r', L'd', L'<', L'b', L'>', L'X'}; // no terminator
    Draw(actual, buffer, 0, {0, 0, 400, 200}, 4);
    Draw(expected, L"Word");
    EXPECT_EQ(expected.Pixels(), actual.Pixels());
    actual.Clear();
    Draw(actual, buffer, 0, {0, 0, 400, 200}, 7); // ends inside nothing: the tag is whole
    EXPECT_EQ(expected.Pixels(), actual.Pixels());
    actual.Clear();
    expected.Clear();
    Draw(actual, buffer, 0, {0, 0, 400, 200}, 6); // "<b" cut off at the end is no tag
    DrawWords(expected.Dc(), {L"Word<b"});
    EXPECT_EQ(expected.Pixels(), actual.Pixels());
}

// A "<" that begins no tag (no letter after it, or no ">" anywhere after it) is text, and so is all that follows.
TEST(DrawHtmlTextTest, ALessThanSignThatBeginsNoTagIsText)
{
    struct Case
    {
        const wchar_t* markup;
        std::initializer_list<const wchar_t*> words;
    } cases[] = {
        {L"Price <10 today", {L"Price", L"<10", L"today"}},
        {L"Price <10 today, x > 5", {L"Price", L"<10", L"today,", L"x", L">", L"5"}},
        {L"a < b and c", {L"a", L"<", L"b", L"and", L"c"}},
        {L"Price <ten today", {L"Price", L"<ten", L"today"}},
        {L"Word<font color=#FF0000", {L"Word<font", L"color=#FF0000"}},
        {L"x </ y", {L"x", L"</", L"y"}},
    };
    for (const Case& c : cases) {
        Canvas actual, expected;
        Draw(actual, c.markup);
        DrawWords(expected.Dc(), c.words);
        EXPECT_EQ("", actual.DifferenceFrom(expected)) << testing::PrintToString(std::wstring(c.markup));
    }
}

TEST(DrawHtmlTextTest, AKnownTagWithoutClosingBracketAfterItsWordIsText)
{
    Canvas actual, expected;
    Draw(actual, L"<b x> y");
    // The words "<b", "x>" and "y" in the plain font, one measured blank apart.
    int x = 0;
    SIZE blank = {};
    GetTextExtentPoint32W(expected.Dc(), L" ", 1, &blank);
    for (const wchar_t* word : {L"<b", L"x>", L"y"})
        x += DrawAtMeasuredAdvances(expected.Dc(), x, 0, word) + blank.cx;
    EXPECT_EQ(expected.Pixels(), actual.Pixels());
}

// Words drawn one by one stand exactly where the whole line stands when it is drawn at its measured advances:
// every gap between words is one blank, whatever the font and size.
TEST(DrawHtmlTextTest, WordsDrawnOneByOneAreEvenlySpaced)
{
    const std::wstring line = L"The bridge will link the old market to the station.";
    for (const wchar_t* face : {L"Tahoma", L"Liberation Sans"}) {
        for (LONG height : {-11, -13, -16}) {
            Canvas actual(600, 40), expected(600, 40);
            LOGFONTW lf = KnownFont(FW_NORMAL, FALSE, FALSE, height);
            wcscpy(lf.lfFaceName, face);
            HFONT hFont = CreateFontIndirectW(&lf);
            HGDIOBJ hOldActual = SelectObject(actual.Dc(), hFont);
            HGDIOBJ hOldExpected = SelectObject(expected.Dc(), hFont);
            RECT rc = {0, 0, 600, 40};
            DrawHtmlText(actual.Dc(), line.c_str(), -1, &rc, DT_WORDBREAK);
            DrawAtMeasuredAdvances(expected.Dc(), 0, 0, line);
            EXPECT_EQ("", actual.DifferenceFrom(expected)) << testing::PrintToString(std::wstring(face)) << height;
            SelectObject(actual.Dc(), hOldActual);
            SelectObject(expected.Dc(), hOldExpected);
            DeleteObject(hFont);
        }
    }
}

// Bold text is visibly heavier than regular text in the faces the program uses, at the sizes it uses.
TEST(DrawHtmlTextTest, BoldIsVisiblyBold)
{
    auto ink = [](Canvas& canvas) {
        int n = 0;
        for (DWORD px : canvas.Pixels())
            n += (px & 0xFFFFFF) != 0xFFFFFF;
        return n;
    };
    for (const wchar_t* face : {L"Tahoma", L"Liberation Sans"}) {
        for (LONG height : {-11, -13, -16}) {
            Canvas regular, bold;
            LOGFONTW lf = KnownFont(FW_NORMAL, FALSE, FALSE, height);
            wcscpy(lf.lfFaceName, face);
            HFONT hFont = CreateFontIndirectW(&lf);
            HGDIOBJ hOldRegular = SelectObject(regular.Dc(), hFont);
            HGDIOBJ hOldBold = SelectObject(bold.Dc(), hFont);
            Draw(regular, L"Bold text here");
            Draw(bold, L"<b>Bold text here</b>");
            EXPECT_GT(ink(bold) * 4, ink(regular) * 5) << testing::PrintToString(std::wstring(face)) << height;
            SelectObject(regular.Dc(), hOldRegular);
            SelectObject(bold.Dc(), hOldBold);
            DeleteObject(hFont);
        }
    }
}

// Words sit where the drawer's own measure puts them: the ink ends within the measured width.
TEST(DrawHtmlTextTest, DrawnLineStaysWithinItsMeasuredWidth)
{
    for (LONG height : {-11, -13, -16}) {
        Canvas canvas;
        LOGFONTW lf = KnownFont(FW_NORMAL, FALSE, FALSE, height);
        HFONT hFont = CreateFontIndirectW(&lf);
        HGDIOBJ hOld = SelectObject(canvas.Dc(), hFont);
        const wchar_t* text = L"Lanterns light the <b>harbour</b> festival";
        RECT rcCalc = {0, 0, 400, 0};
        DrawHtmlText(canvas.Dc(), text, -1, &rcCalc, DT_CALCRECT);
        Draw(canvas, text);
        int lastInk = -1;
        for (int x = 0; x < 400; ++x)
            for (int y = 0; y < 40; ++y)
                if (canvas.At(x, y) != kPaper)
                    lastInk = x;
        EXPECT_LT(lastInk, rcCalc.right) << height;
        EXPECT_GT(lastInk, rcCalc.right * 9 / 10) << height; // the platform draws glyphs a little narrower
        SelectObject(canvas.Dc(), hOld);
        DeleteObject(hFont);
    }
}

TEST(DrawHtmlTextTest, NineNestedColoursSaveEightAndThenFallBackToTheStart)
{
    Canvas canvas;
    std::vector<COLORREF> colours;
    std::wstring text;
    for (int i = 1; i <= 9; ++i) {
        const COLORREF clr = RGB(20 * i, 0, 200 - 10 * i);
        colours.push_back(clr);
        wchar_t tag[64];
        swprintf(tag, 64, L"<font color=\"#%02X%02X%02X\">I ", GetRValue(clr), GetGValue(clr), GetBValue(clr));
        text += tag;
    }
    for (int i = 0; i < 10; ++i)
        text += L"</font>I ";
    Draw(canvas, text.c_str());

    std::vector<COLORREF> expected = colours;
    for (int i = 7; i >= 1; --i)
        expected.push_back(colours[i - 1]);
    expected.push_back(kInk);
    EXPECT_EQ(expected, canvas.InkSequence());
}

TEST(DrawHtmlTextTest, FontTagColourForms)
{
    struct Case
    {
        const wchar_t* markup;
        std::vector<COLORREF> expected;
    } cases[] = {
        {L"<font color=#ff0000>I</font> I", {RGB(255, 0, 0), kInk}},
        {L"<font color='#00C000'>I</font>", {RGB(0, 0xC0, 0)}},
        {L"<FONT COLOR=0000FF>I", {RGB(0, 0, 255)}},
        {L"<font color=#F0zz0F>I", {RGB(0xF0, 0, 0x0F)}}, // not a digit counts as 0
        // Two blanks: no colour, but the closing tag still pops the saved one.
        {L"<font color=#0000FF>I <font  color=#FF0000>I</font> I", {RGB(0, 0, 255), kInk}},
        {L"</font>I", {kInk}},
    };
    for (const Case& c : cases) {
        Canvas canvas;
        Draw(canvas, c.markup);
        EXPECT_EQ(c.expected, canvas.InkSequence()) << testing::PrintToString(std::wstring(c.markup));
    }
}

TEST(DrawHtmlTextTest, ClipFlagKeepsInkInsideTheRectangle)
{
    Canvas canvas;
    RECT rc = {0, 0, 50, canvas.LineHeight()};
    DrawHtmlText(canvas.Dc(), L"a long line of words that does not fit", -1, &rc, DT_END_ELLIPSIS | DT_SINGLELINE);
    for (int y = 0; y < 200; ++y)
        for (int x = 50; x < 400; ++x)
            ASSERT_EQ(kPaper, canvas.At(x, y)) << x << "," << y;
    EXPECT_FALSE(canvas.InkSequence().empty());
}

TEST(ColorShadeTest, RgbToHlsPacksHueLightnessSaturation)
{
    struct Case
    {
        COLORREF clr;
        DWORD hue, light, sat;
    } cases[] = {
        {RGB(255, 0, 0), 0, 128, 255},     {RGB(0, 255, 0), 85, 128, 255},    {RGB(0, 0, 255), 170, 128, 255},
        {RGB(128, 128, 128), 0, 128, 0},   {RGB(0, 0, 0), 0, 0, 0},           {RGB(255, 255, 255), 0, 255, 0},
        {RGB(255, 128, 128), 0, 192, 255}, {RGB(255, 0, 255), 213, 128, 255},
    };
    for (const Case& c : cases) {
        const DWORD hls = RgbToHls(c.clr);
        EXPECT_EQ(c.hue, hls & 0xFF) << std::hex << c.clr;
        EXPECT_EQ(c.light, (hls >> 8) & 0xFF) << std::hex << c.clr;
        EXPECT_EQ(c.sat, (hls >> 16) & 0xFF) << std::hex << c.clr;
        EXPECT_EQ(0u, hls >> 24);
    }
}

TEST(ColorShadeTest, RoundTripsStayCloseAndZeroAdjustmentIsTheRoundTrip)
{
    const COLORREF colours[] = {RGB(255, 0, 0),     RGB(12, 200, 99),   RGB(90, 90, 200),
                                RGB(250, 240, 230), RGB(1, 2, 3),       RGB(128, 64, 192),
                                RGB(0, 0, 0),       RGB(255, 255, 255), RGB(100, 149, 237)};
    for (COLORREF clr : colours) {
        const COLORREF back = HlsToRgb(RgbToHls(clr));
        EXPECT_NEAR(GetRValue(clr), GetRValue(back), 4) << std::hex << clr;
        EXPECT_NEAR(GetGValue(clr), GetGValue(back), 4) << std::hex << clr;
        EXPECT_NEAR(GetBValue(clr), GetBValue(back), 4) << std::hex << clr;
        EXPECT_EQ(back, AdjustColorHls(clr, 0, 0));
    }
}

TEST(ColorShadeTest, AdjustColorHlsMovesLightnessAndSaturationByPercent)
{
    struct Case
    {
        COLORREF clr;
        int light, sat;
        COLORREF expected;
    } cases[] = {
        {RGB(0, 0, 0), 100, 0, RGB(255, 255, 255)},    {RGB(255, 255, 255), -100, 0, RGB(0, 0, 0)},
        {RGB(255, 0, 0), 50, 0, RGB(255, 127, 127)},   {RGB(255, 0, 0), -50, 0, RGB(128, 0, 0)},
        {RGB(255, 0, 0), 0, -100, RGB(128, 128, 128)}, {RGB(200, 100, 100), 0, 100, RGB(255, 45, 45)},
    };
    for (const Case& c : cases) {
        const COLORREF got = AdjustColorHls(c.clr, c.light, c.sat);
        EXPECT_NEAR(GetRValue(c.expected), GetRValue(got), 2) << std::hex << c.clr << " " << c.light << " " << c.sat;
        EXPECT_NEAR(GetGValue(c.expected), GetGValue(got), 2) << std::hex << c.clr << " " << c.light << " " << c.sat;
        EXPECT_NEAR(GetBValue(c.expected), GetBValue(got), 2) << std::hex << c.clr << " " << c.light << " " << c.sat;
    }
}

} // namespace
