// The HTML layout in a known font (Tahoma 13 px) on a memory DC: text read back, line wrapping at a known
// width, headings, lists, tables, pre, alignment, styles, images, link rectangles and the band index.
#include "framework/html/HtmlLayout.h"
#include "framework/html/HtmlParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kMargin = 8;
constexpr int kFontSize = 13;

std::string Utf8(const wchar_t* text)
{
    std::string out;
    for (; *text; ++text)
        out.push_back(*text < 128 ? static_cast<char>(*text) : '?');
    return out;
}

// Measures with a font of its own, so the expectations do not come from the code under test.
class Ruler
{
public:
    Ruler(int size, int weight = FW_NORMAL, const wchar_t* face = L"Tahoma")
    {
        m_dc = CreateCompatibleDC(nullptr);
        m_font = CreateFontW(-size, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY, 0, face);
        m_old = SelectObject(m_dc, m_font);
    }
    ~Ruler()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_font);
        DeleteDC(m_dc);
    }
    Ruler(const Ruler&) = delete;
    Ruler& operator=(const Ruler&) = delete;

    int Width(const std::wstring& text) const
    {
        SIZE size{};
        GetTextExtentPoint32W(m_dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    int Height() const
    {
        TEXTMETRICW metrics{};
        GetTextMetricsW(m_dc, &metrics);
        return metrics.tmHeight;
    }

private:
    HDC m_dc;
    HFONT m_font;
    HGDIOBJ m_old;
};

struct DcHolder
{
    HDC dc = CreateCompatibleDC(nullptr);
    ~DcHolder() { DeleteDC(dc); }
};

class HtmlLayoutTest : public ::testing::Test
{
protected:
    void Lay(const std::wstring& html, int width)
    {
        CHtmlParser::ParseText(html.c_str(), html.size(), m_doc);
        m_layout.Layout(m_doc, m_measure, width);
    }
    std::vector<const CHtmlRun*> Runs(CHtmlRun::Kind kind) const
    {
        std::vector<const CHtmlRun*> out;
        for (const CHtmlRun& run : m_layout.GetRuns())
            if (run.m_kind == kind)
                out.push_back(&run);
        return out;
    }
    const CHtmlRun* TextRun(const wchar_t* text) const
    {
        for (const CHtmlRun& run : m_layout.GetRuns())
            if (run.m_kind == CHtmlRun::kindText && run.m_strText == text)
                return &run;
        return nullptr;
    }
    const CHtmlStyle& StyleOf(const CHtmlRun* run) const { return m_layout.GetStyle(run->m_nStyle); }

    DcHolder m_dc;
    CHtmlMeasure m_measure{m_dc.dc, L"Tahoma", kFontSize};
    CHtmlDocument m_doc;
    CHtmlLayout m_layout;
};

struct TextCase
{
    std::wstring html;
    const wchar_t* text; // null: only the runs are checked
};

TEST_F(HtmlLayoutTest, PlainTextHasBlockBreaksAndCollapsedWhiteSpace)
{
    const TextCase cases[] = {
        {L"<h1>Title</h1><p>one  two\nthree</p><ul><li>a<li>b</ul>", L"Title\r\none two three\r\na\r\nb"},
        {L"a<br>b<br><br>c", L"a\r\nb\r\n\r\nc"},
        {L"<table><tr><td>a<td>b<tr><td>c<td>d</table>after", L"a\tb\r\nc\td\r\nafter"},
        {L"<pre>\nx  y\n\tz</pre>", L"x  y\r\n        z"},
        {L"<p>caf&eacute; <b>bold</b><i>glued</i> <a href=x>link</a> .</p>", L"caf\u00E9 boldglued link ."},
        {L"<div><div>nested</div></div>tail", L"nested\r\ntail"},
        {L"<script>x</script><p> lead   and trail </p>  ", L"lead and trail"},
        {L"<p>ab " + std::wstring(300, L'x') + L" cd</p>", nullptr},
        {L"<p>" + std::wstring(50, L'y') + L"<b>" + std::wstring(50, L'z') + L"</b></p>", nullptr},
        {L"<p>a&nbsp;&nbsp;b</p><div style=\"display:none\">hidden</div><select><option>o</select>", L"a  b"},
    };
    for (const TextCase& c : cases) {
        Lay(c.html, 400);
        if (c.text) {
            EXPECT_STREQ(c.text, m_layout.GetPlainText()) << Utf8(c.html.c_str());
        }
        // Every text run is a slice of the plain text, which selection and copy rely on.
        for (const CHtmlRun* run : Runs(CHtmlRun::kindText))
            EXPECT_STREQ(run->m_strText, m_layout.GetPlainText().Mid(run->m_nTextOffset, run->m_strText.GetLength()))
                << Utf8(c.html.c_str());
    }
}

TEST_F(HtmlLayoutTest, WordsWrapAtTheWidthAsAGreedyFillWouldPlaceThem)
{
    const std::wstring words[] = {L"The",    L"quick", L"brown", L"fox",  L"jumps", L"over",  L"the", L"lazy", L"dog",
                                  L"again,", L"and",   L"then",  L"once", L"more",  L"until", L"the", L"end."};
    std::wstring html;
    for (const std::wstring& word : words)
        html += word + L" ";
    const Ruler ruler(kFontSize);
    for (int width : {120, 180, 260}) {
        Lay(html, width);
        const int room = width - 2 * kMargin;
        std::vector<std::wstring> lines(1);
        for (const std::wstring& word : words) {
            const std::wstring candidate = lines.back().empty() ? word : lines.back() + L" " + word;
            if (!lines.back().empty() && ruler.Width(candidate) > room)
                lines.push_back(word);
            else
                lines.back() = candidate;
        }
        const auto runs = Runs(CHtmlRun::kindText);
        ASSERT_EQ(lines.size(), runs.size()) << width;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_STREQ(lines[i].c_str(), runs[i]->m_strText) << width;
            EXPECT_EQ(kMargin, runs[i]->m_rect.left);
            EXPECT_EQ(kMargin + static_cast<int>(i) * ruler.Height(), runs[i]->m_rect.top);
            EXPECT_NEAR(ruler.Width(lines[i]), runs[i]->m_rect.Width(), 1);
            EXPECT_LE(runs[i]->m_rect.right, width - kMargin);
        }
        EXPECT_EQ(2 * kMargin + static_cast<int>(lines.size()) * ruler.Height(), m_layout.GetHeight());
    }
}

TEST_F(HtmlLayoutTest, LongWordsBreakAndGluedWordsMoveTogether)
{
    Lay(L"<p>https://example.com/a/very/long/address/that/cannot/fit/on/one/line</p>", 120);
    const auto pieces = Runs(CHtmlRun::kindText);
    ASSERT_GE(pieces.size(), 3u);
    CString joined;
    for (const CHtmlRun* run : pieces) {
        EXPECT_LE(run->m_rect.right, 120 - kMargin);
        joined += run->m_strText;
    }
    EXPECT_STREQ(L"https://example.com/a/very/long/address/that/cannot/fit/on/one/line", joined);
    EXPECT_EQ(120, m_layout.GetWidth());

    // A glued run of pieces longer than a line still wraps between its pieces.
    std::wstring glued;
    for (int i = 0; i < 100; ++i)
        glued += L"<b>ab</b><i>cd</i>";
    Lay(glued, 150);
    int lines = 0;
    for (const CHtmlRun* run : Runs(CHtmlRun::kindText)) {
        EXPECT_LE(run->m_rect.right, 150 - kMargin);
        lines += run->m_rect.left == kMargin ? 1 : 0;
    }
    EXPECT_GT(lines, 5);

    // "ab<b>cd</b>" has no break between its halves: when it does not fit, both halves start the next line.
    const Ruler ruler(kFontSize);
    const std::wstring filler = L"wwwwwwwwww";
    const int width = ruler.Width(filler + L" abc") + 2 * kMargin + 2;
    Lay(filler + L" abc<b>defgh</b>", width);
    const CHtmlRun* head = TextRun(L"abc");
    const CHtmlRun* tail = TextRun(L"defgh");
    ASSERT_TRUE(head && tail);
    EXPECT_EQ(kMargin, head->m_rect.left);
    EXPECT_EQ(head->m_rect.right, tail->m_rect.left);
    EXPECT_EQ(head->m_rect.top, tail->m_rect.top);
    EXPECT_GT(head->m_rect.top, kMargin);
}

TEST_F(HtmlLayoutTest, HeadingsAndParagraphsHaveTheirSizesAndMargins)
{
    Lay(L"<h1>Big</h1><p>Body</p><h3>Small</h3><p>End</p>", 400);
    const CHtmlRun* h1 = TextRun(L"Big");
    const CHtmlRun* p = TextRun(L"Body");
    const CHtmlRun* h3 = TextRun(L"Small");
    ASSERT_TRUE(h1 && p && h3);
    EXPECT_EQ(26, StyleOf(h1).m_nFontSize);
    EXPECT_EQ(FW_BOLD, StyleOf(h1).m_nWeight);
    EXPECT_EQ(15, StyleOf(h3).m_nFontSize);
    EXPECT_EQ(kFontSize, StyleOf(p).m_nFontSize);
    const Ruler big(26, FW_BOLD);
    const int h1Margin = 17; // 0.67 em
    EXPECT_EQ(kMargin + h1Margin, h1->m_rect.top);
    EXPECT_EQ(big.Height(), h1->m_rect.Height());
    EXPECT_NEAR(big.Width(L"Big"), h1->m_rect.Width(), 1);
    // Adjacent margins collapse to the larger one.
    EXPECT_EQ(h1->m_rect.bottom + h1Margin, p->m_rect.top);
    EXPECT_EQ(p->m_rect.bottom + 15, h3->m_rect.top);
}

TEST_F(HtmlLayoutTest, AlignmentPlacesLinesLeftCentreOrRight)
{
    const Ruler ruler(kFontSize);
    const int width = 300, room = width - 2 * kMargin, word = ruler.Width(L"word");
    const struct
    {
        const wchar_t* html;
        int left;
    } cases[] = {
        {L"<p>word</p>", kMargin},
        {L"<p align=center>word</p>", kMargin + (room - word) / 2},
        {L"<div align=\"RIGHT\">word</div>", kMargin + room - word},
        {L"<center>word</center>", kMargin + (room - word) / 2},
        {L"<p style=\"text-align: right\">word</p>", kMargin + room - word},
        {L"<div align=center><p>word</p></div>", kMargin + (room - word) / 2},
        {L"<p align=center><span style=\"text-align:left\">word</span></p>", kMargin + (room - word) / 2},
        {L"<h2 align=right>word</h2><p>x</p>", -1},
    };
    for (const auto& c : cases) {
        Lay(c.html, width);
        const CHtmlRun* run = TextRun(L"word");
        ASSERT_TRUE(run) << Utf8(c.html);
        if (c.left >= 0)
            EXPECT_NEAR(c.left, run->m_rect.left, 1) << Utf8(c.html);
        else
            EXPECT_EQ(width - kMargin, run->m_rect.right);
    }
    Lay(L"<h2 align=right>word</h2><p>x</p>", width);
    EXPECT_EQ(kMargin, TextRun(L"x")->m_rect.left);
}

TEST_F(HtmlLayoutTest, PreKeepsSpacesAndLinesInAFixedFont)
{
    Lay(L"<pre>a  b\n\tc\r\n\nlong line that never wraps at all</pre>", 100);
    const auto runs = Runs(CHtmlRun::kindText);
    ASSERT_EQ(3u, runs.size());
    EXPECT_STREQ(L"a  b", runs[0]->m_strText);
    EXPECT_STREQ(L"        c", runs[1]->m_strText);
    EXPECT_STREQ(L"Courier New", StyleOf(runs[0]).m_strFontFamily);
    const Ruler courier(kFontSize, FW_NORMAL, L"Courier New");
    EXPECT_EQ(runs[0]->m_rect.bottom, runs[1]->m_rect.top);
    EXPECT_EQ(runs[1]->m_rect.bottom + courier.Height(), runs[2]->m_rect.top); // the empty line
    EXPECT_GT(runs[2]->m_rect.right, 100);
    EXPECT_EQ(runs[2]->m_rect.right + kMargin, m_layout.GetWidth());
}

TEST_F(HtmlLayoutTest, ListsGetBulletsAndNumbersLeftOfTheirItems)
{
    Lay(L"<ul><li>one<li>two<ul><li>inner</ul></ul><ol start=3><li>three<li value=7>seven<li>eight</ol>"
        L"<ol type=a><li>x<li>y</ol><ol type=I><li>r1<li>r2<li>r3<li>r4</ol>",
        400);
    const auto markers = Runs(CHtmlRun::kindMarker);
    ASSERT_EQ(12u, markers.size());
    const wchar_t* texts[] = {L"", L"", L"", L"3.", L"7.", L"8.", L"a.", L"b.", L"I.", L"II.", L"III.", L"IV."};
    const wchar_t* items[] = {L"one", L"two", L"inner", L"three", L"seven", L"eight",
                              L"x",   L"y",   L"r1",    L"r2",    L"r3",    L"r4"};
    for (size_t i = 0; i < markers.size(); ++i) {
        EXPECT_STREQ(texts[i], markers[i]->m_strText) << i;
        const CHtmlRun* item = TextRun(items[i]);
        ASSERT_TRUE(item) << i;
        EXPECT_LT(markers[i]->m_rect.right, item->m_rect.left) << i;
        EXPECT_GE(markers[i]->m_rect.left, kMargin) << i;
        EXPECT_GE(markers[i]->m_rect.top, item->m_rect.top) << i;
        EXPECT_LE(markers[i]->m_rect.bottom, item->m_rect.bottom) << i;
    }
    EXPECT_EQ(kMargin + 40, TextRun(L"one")->m_rect.left);
    EXPECT_EQ(kMargin + 80, TextRun(L"inner")->m_rect.left);
    EXPECT_EQ(CHtmlStyle::listCircle, m_layout.GetStyle(markers[2]->m_nStyle).m_listType);
}

TEST_F(HtmlLayoutTest, TablesAreGridsWithColumnsSizedByContent)
{
    const Ruler ruler(kFontSize);
    Lay(L"<table border=1 cellspacing=2 cellpadding=3><tr><td>a</td><td>wide cell</td></tr>"
        L"<tr><td>longer text</td><td bgcolor=#00ff00>b</td></tr></table><p>after</p>",
        600);
    const CHtmlRun* a = TextRun(L"a");
    const CHtmlRun* wide = TextRun(L"wide cell");
    const CHtmlRun* longer = TextRun(L"longer text");
    const CHtmlRun* b = TextRun(L"b");
    ASSERT_TRUE(a && wide && longer && b);
    const int column0 = ruler.Width(L"longer text") + 6;
    EXPECT_EQ(kMargin + 1 + 2 + 3, a->m_rect.left);
    EXPECT_EQ(a->m_rect.left, longer->m_rect.left);
    EXPECT_EQ(a->m_rect.left + column0 + 2, wide->m_rect.left);
    EXPECT_EQ(wide->m_rect.left, b->m_rect.left);
    EXPECT_EQ(a->m_rect.top, wide->m_rect.top);
    EXPECT_GT(longer->m_rect.top, a->m_rect.bottom);
    const auto backgrounds = Runs(CHtmlRun::kindBackground);
    ASSERT_EQ(1u, backgrounds.size());
    EXPECT_EQ(RGB(0, 255, 0), m_layout.GetStyle(backgrounds[0]->m_nStyle).m_crBackground);
    EXPECT_TRUE(CRect().IntersectRect(backgrounds[0]->m_rect, b->m_rect));
    EXPECT_EQ(5u, Runs(CHtmlRun::kindBorder).size());
    EXPECT_GT(TextRun(L"after")->m_rect.top, longer->m_rect.bottom);

    // Content wider than the page wraps inside its column: the table keeps to the width.
    std::wstring words;
    for (int i = 0; i < 60; ++i)
        words += L"word ";
    Lay(L"<table><tr><td>" + words + L"</td><td>" + words + L"</td></tr></table>", 300);
    for (const CHtmlRun* run : Runs(CHtmlRun::kindText))
        EXPECT_LE(run->m_rect.right, 300 - kMargin);
    EXPECT_EQ(300, m_layout.GetWidth());
}

TEST_F(HtmlLayoutTest, LinksReportHrefTextAndEveryRectangle)
{
    Lay(L"<p>see <a href=\"item?id=1&amp;x=2\">the first story</a> and "
        L"<a href='bookmark:3'><img src=none.png alt=\"Mark it\"></a> or <a name=anchor>none</a></p>",
        400);
    const auto& links = m_layout.GetLinks();
    ASSERT_EQ(2u, links.size());
    EXPECT_STREQ(L"item?id=1&x=2", links[0].m_strHref);
    EXPECT_STREQ(L"the first story", links[0].m_strText);
    ASSERT_EQ(1u, links[0].m_rects.size());
    const CHtmlRun* run = TextRun(L"the first story");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->m_rect, links[0].m_rects[0]);
    EXPECT_TRUE(StyleOf(run).m_bUnderline);
    EXPECT_EQ(0, m_layout.HitTestLink(links[0].m_rects[0].CenterPoint()));
    EXPECT_STREQ(L"bookmark:3", links[1].m_strHref);
    EXPECT_STREQ(L"Mark it", links[1].m_strText);
    ASSERT_EQ(1u, links[1].m_rects.size());
    EXPECT_EQ(1, m_layout.HitTestLink(links[1].m_rects[0].CenterPoint()));
    EXPECT_EQ(-1, m_layout.HitTestLink(TextRun(L"see")->m_rect.CenterPoint()));
    EXPECT_EQ(-1, m_layout.HitTestLink(CPoint(1, 1)));
    EXPECT_EQ(-1, m_layout.HitTestLink(CPoint(10, 100000)));

    // A link that wraps has one rectangle per line, each hit.
    Lay(L"<a href=x>one two three four five six seven eight nine ten</a>", 100);
    ASSERT_EQ(1u, m_layout.GetLinks().size());
    const auto& rects = m_layout.GetLinks()[0].m_rects;
    ASSERT_GE(rects.size(), 3u);
    for (const CRect& rect : rects)
        EXPECT_EQ(0, m_layout.HitTestLink(rect.CenterPoint()));
    EXPECT_STREQ(L"one two three four five six seven eight nine ten", m_layout.GetLinks()[0].m_strText);
}

TEST_F(HtmlLayoutTest, ImagesAreBoxesSizedByAttributesCallbackOrAltText)
{
    m_layout.SetImageSizeCallback([](const CString& source, CSize& size) {
        if (source != L"known.png")
            return FALSE;
        size = CSize(40, 20);
        return TRUE;
    });
    const Ruler ruler(kFontSize);
    const struct
    {
        const wchar_t* html;
        int width; // -1: no image box at all
        int height;
    } cases[] = {
        {L"<img src=a.png width=30 height=10>", 30, 10},
        {L"<img src=known.png>", 40, 20},
        {L"<img src=known.png width=80>", 80, 40},
        {L"<img src=known.png height=5>", 10, 5},
        {L"<img src=a.png width=50%>", -2, 0},
        {L"<img src=a.png width=100000000 height=100000000>", 284, 284},
        {L"<img src=a.png width=999999999999 height=2>", 284, 1},
        {L"<img src=a.png height=99999>", -3, 4096},
        {L"<img src=missing.png alt=\"Alt text\">", ruler.Width(L"Alt text") + 4, ruler.Height() + 4},
        {L"<img src=missing.png>", -1, 0},
        {L"<img src=a.png width=0 height=0>", -1, 0},
    };
    for (const auto& c : cases) {
        Lay(c.html, 300);
        const auto images = Runs(CHtmlRun::kindImage);
        if (c.width == -1) {
            EXPECT_TRUE(images.empty()) << Utf8(c.html);
            continue;
        }
        ASSERT_EQ(1u, images.size()) << Utf8(c.html);
        const CRect& rect = images[0]->m_rect;
        if (c.width == -2) {
            EXPECT_EQ(142, rect.Width());
        } else if (c.width == -3) {
            EXPECT_EQ(c.height, rect.Height());
        } else {
            EXPECT_EQ(c.width, rect.Width()) << Utf8(c.html);
            EXPECT_EQ(c.height, rect.Height()) << Utf8(c.html);
        }
        EXPECT_LE(rect.Width(), CHtmlLayout::MaxImageSide);
        EXPECT_LE(rect.Height(), CHtmlLayout::MaxImageSide);
        EXPECT_LE(rect.right, 300 - kMargin);
    }
    Lay(L"<img src=missing.png alt=\"Alt text\">", 300);
    EXPECT_STREQ(L"Alt text", Runs(CHtmlRun::kindImage)[0]->m_strText);
    EXPECT_STREQ(L"missing.png", Runs(CHtmlRun::kindImage)[0]->m_strSource);
}

TEST_F(HtmlLayoutTest, ElementsAndStyleAttributesSetTheComputedStyle)
{
    const struct
    {
        const wchar_t* html;
        int weight;
        BOOL italic;
        BOOL underline;
        BOOL strike;
        COLORREF color;
        COLORREF background;
        int size;
        const wchar_t* family;
    } cases[] = {
        {L"<b>t</b>", FW_BOLD, FALSE, FALSE, FALSE, 0, CLR_NONE, 13, L"Tahoma"},
        {L"<strong><em>t</em></strong>", FW_BOLD, TRUE, FALSE, FALSE, 0, CLR_NONE, 13, L"Tahoma"},
        {L"<u>t</u>", FW_NORMAL, FALSE, TRUE, FALSE, 0, CLR_NONE, 13, L"Tahoma"},
        {L"<strike><s><del>t</del></s></strike>", FW_NORMAL, FALSE, FALSE, TRUE, 0, CLR_NONE, 13, L"Tahoma"},
        {L"<B><FONT color=\"#FF0000\">t</FONT></B>", FW_BOLD, FALSE, FALSE, FALSE, RGB(255, 0, 0), CLR_NONE, 13,
         L"Tahoma"},
        {L"<font color=00ff00 face=\"Arial, Helvetica\" size=5>t</font>", FW_NORMAL, FALSE, FALSE, FALSE,
         RGB(0, 255, 0), CLR_NONE, 20, L"Arial"},
        {L"<font size=+1><font size=-1>t</font></font>", FW_NORMAL, FALSE, FALSE, FALSE, 0, CLR_NONE, 11, L"Tahoma"},
        {L"<span style=\"color:rgb(1,2,3); background-color:#abc; font-weight:bold; font-style:italic; "
         L"text-decoration:underline line-through\">t</span>",
         FW_BOLD, TRUE, TRUE, TRUE, RGB(1, 2, 3), RGB(0xAA, 0xBB, 0xCC), 13, L"Tahoma"},
        {L"<a href=x style=\"text-decoration:none;COLOR:Navy\">t</a>", FW_NORMAL, FALSE, FALSE, FALSE, RGB(0, 0, 128),
         CLR_NONE, 13, L"Tahoma"},
        {L"<b style=\"font-weight:normal\">t</b>", FW_NORMAL, FALSE, FALSE, FALSE, 0, CLR_NONE, 13, L"Tahoma"},
        {L"<code>t</code>", FW_NORMAL, FALSE, FALSE, FALSE, 0, CLR_NONE, 13, L"Courier New"},
        {L"<small>t</small>", FW_NORMAL, FALSE, FALSE, FALSE, 0, CLR_NONE, 11, L"Tahoma"},
        {L"<big>t</big>", FW_NORMAL, FALSE, FALSE, FALSE, 0, CLR_NONE, 16, L"Tahoma"},
        {L"<span style=\"color: bogus; background-color:\">t</span>", FW_NORMAL, FALSE, FALSE, FALSE, 0, CLR_NONE, 13,
         L"Tahoma"},
        {L"<body text=white><p>t</p>", FW_NORMAL, FALSE, FALSE, FALSE, RGB(255, 255, 255), CLR_NONE, 13, L"Tahoma"},
    };
    for (const auto& c : cases) {
        Lay(c.html, 300);
        const CHtmlRun* run = TextRun(L"t");
        ASSERT_TRUE(run) << Utf8(c.html);
        const CHtmlStyle& style = StyleOf(run);
        EXPECT_EQ(c.weight, style.m_nWeight) << Utf8(c.html);
        EXPECT_EQ(c.italic, style.m_bItalic) << Utf8(c.html);
        EXPECT_EQ(c.underline, style.m_bUnderline) << Utf8(c.html);
        EXPECT_EQ(c.strike, style.m_bStrike) << Utf8(c.html);
        EXPECT_EQ(c.color, style.m_crText) << Utf8(c.html);
        EXPECT_EQ(c.background, style.m_crBackground) << Utf8(c.html);
        EXPECT_EQ(c.size, style.m_nFontSize) << Utf8(c.html);
        EXPECT_STREQ(c.family, style.m_strFontFamily) << Utf8(c.html);
        // An inline background is drawn as a run of its own under the text.
        const auto backgrounds = Runs(CHtmlRun::kindBackground);
        EXPECT_EQ(c.background == CLR_NONE ? 0u : 1u, backgrounds.size()) << Utf8(c.html);
    }

    Lay(L"<body bgcolor=\"#102030\"><sup>up</sup>mid<sub>down</sub>", 300);
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), m_layout.GetBackground());
    EXPECT_LT(TextRun(L"up")->m_nBaseline, TextRun(L"mid")->m_nBaseline);
    EXPECT_GT(TextRun(L"down")->m_nBaseline, TextRun(L"mid")->m_nBaseline);
}

TEST_F(HtmlLayoutTest, RunsInARectangleAreExactlyThoseThatIntersectIt)
{
    std::wstring page;
    for (int i = 0; i < 300; ++i)
        page += L"<div style=\"background-color:#eee\"><h3>Item " + std::to_wstring(i) +
                L"</h3><p>Some text with <a href=i" + std::to_wstring(i) + L">a link</a> in it.</p><hr></div>";
    Lay(page, 400);
    ASSERT_GT(m_layout.GetHeight(), 10000);
    const auto& runs = m_layout.GetRuns();
    for (const CRect& view : {CRect(0, 0, 400, 300), CRect(0, 4990, 400, 5290), CRect(100, 7000, 200, 7001),
                              CRect(0, m_layout.GetHeight() - 50, 400, m_layout.GetHeight() + 500)}) {
        std::vector<int> expected, actual;
        for (size_t i = 0; i < runs.size(); ++i) {
            const CRect& r = runs[i].m_rect;
            if (r.left < view.right && r.right > view.left && r.top < view.bottom && r.bottom > view.top)
                expected.push_back(static_cast<int>(i));
        }
        m_layout.GetRunsInRect(view, actual);
        EXPECT_EQ(expected, actual);
        EXPECT_FALSE(actual.empty());
    }
    std::vector<int> none;
    m_layout.GetRunsInRect(CRect(0, -100, 400, -1), none);
    EXPECT_TRUE(none.empty());
    // Backgrounds come before the text on them.
    std::vector<int> first;
    m_layout.GetRunsInRect(CRect(0, 0, 400, 40), first);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(CHtmlRun::kindBackground, runs[static_cast<size_t>(first[0])].m_kind);
    EXPECT_EQ(300u, m_layout.GetLinks().size());
    EXPECT_EQ(299, m_layout.HitTestLink(m_layout.GetLinks()[299].m_rects[0].CenterPoint()));
}

TEST_F(HtmlLayoutTest, ANewsPageWithFeedMarkupReadsBackItsTextAndLinks)
{
    // The shape of the channel page: state image, title link, date, a description carrying a feed's own broken
    // markup (unclosed list items and cells, a stray end tag, a remote image, entities), the item actions.
    const char page[] =
        "<html><head><meta charset=\"UTF-8\"><title>Channel</title><style>.item{color:red}</style></head><body>"
        "<div class=\"channel\"><h1>Caf\xC3\xA9 News</h1><p>All the news &amp; more</p></div>"
        "<div class=\"item unread\"><div><img class=\"state\" src=\"file:///C:/data/images/unread.png\" width=\"16\" "
        "height=\"16\" alt=\"unread\"><a class=\"title\" href=\"http://example.com/a?x=1&amp;y=2\"><B><FONT "
        "color=\"#FF0000\">Breaking</FONT></B> story</a></div><div class=\"date\">Mon, 07 Dec 2026 10:00:00 GMT</div>"
        "<div class=\"description\"><p>Intro <img src=\"http://cdn.example.com/p.jpg\" alt=\"Photo\"><ul><li>one"
        "<li>two</b></ul><table><tr><td>k<td>v</table>End &hellip;</div><div class=\"actions\"><a "
        "class=\"enclosure\" href=\"http://example.com/e.mp3\">Enclosure (audio/mpeg)</a><a class=\"bookmark\" "
        "href=\"bookmark:1\" title=\"Bookmarks\">Bookmark this item</a></div></div></body></html>";
    CHtmlParser::ParseBytes(page, sizeof(page) - 1, m_doc);
    m_layout.Layout(m_doc, m_measure, 500);
    EXPECT_STREQ(L"Channel", m_doc.m_strTitle);
    EXPECT_STREQ(L"Caf\u00E9 News\r\nAll the news & more\r\nBreaking story\r\nMon, 07 Dec 2026 10:00:00 GMT\r\n"
                 L"Intro\r\none\r\ntwo\r\nk\tv\r\nEnd \u2026\r\nEnclosure (audio/mpeg)Bookmark this item",
                 m_layout.GetPlainText());
    const auto& links = m_layout.GetLinks();
    ASSERT_EQ(3u, links.size());
    const wchar_t* hrefs[] = {L"http://example.com/a?x=1&y=2", L"http://example.com/e.mp3", L"bookmark:1"};
    const wchar_t* texts[] = {L"Breaking story", L"Enclosure (audio/mpeg)", L"Bookmark this item"};
    for (size_t i = 0; i < links.size(); ++i) {
        EXPECT_STREQ(hrefs[i], links[i].m_strHref);
        EXPECT_STREQ(texts[i], links[i].m_strText);
        ASSERT_FALSE(links[i].m_rects.empty());
        for (const CRect& rect : links[i].m_rects)
            EXPECT_EQ(static_cast<int>(i), m_layout.HitTestLink(rect.CenterPoint()));
    }
    // "Breaking" is bold and red inside the link; the rest of the title is the link's own colour.
    EXPECT_EQ(RGB(255, 0, 0), StyleOf(TextRun(L"Breaking")).m_crText);
    EXPECT_EQ(FW_BOLD, StyleOf(TextRun(L"Breaking")).m_nWeight);
    EXPECT_TRUE(StyleOf(TextRun(L"Breaking")).m_bUnderline);
    const auto images = Runs(CHtmlRun::kindImage);
    ASSERT_EQ(2u, images.size());
    EXPECT_EQ(CSize(16, 16), images[0]->m_rect.Size());
    EXPECT_STREQ(L"Photo", images[1]->m_strText);
}

// Whether a font has a glyph for every character of the text, asked of the platform directly.
bool FontHasGlyphs(HFONT font, const CString& text)
{
    DcHolder dc;
    HGDIOBJ old = SelectObject(dc.dc, font);
    std::vector<WORD> glyphs(static_cast<size_t>(text.GetLength()));
    const DWORD done =
        GetGlyphIndicesW(dc.dc, text.GetString(), text.GetLength(), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc.dc, old);
    if (done == GDI_ERROR)
        return false;
    for (WORD glyph : glyphs)
        if (glyph == 0xFFFF)
            return false;
    return true;
}

// Japanese in a page whose font has no Japanese showed as empty boxes: such text is set in an installed font that
// has it (the machine has one: the project installs it), glued to the rest of its word, and Latin text keeps the
// page's font.
TEST_F(HtmlLayoutTest, CharactersTheFontLacksComeFromAFontThatHasThem)
{
    const std::wstring japanese = L"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8";
    HFONT tahoma = m_measure.GetFont(CHtmlStyle());
    ASSERT_FALSE(FontHasGlyphs(tahoma, japanese.c_str())) << "the page's font has Japanese itself";
    Lay(L"<p>News " + japanese + L" and Tokyo" + japanese.substr(0, 2) + L"</p>", 600);
    EXPECT_STREQ((L"News " + japanese + L" and Tokyo" + japanese.substr(0, 2)).c_str(), m_layout.GetPlainText());
    int japaneseRuns = 0;
    for (const CHtmlRun* run : Runs(CHtmlRun::kindText)) {
        const CHtmlStyle& style = StyleOf(run);
        EXPECT_TRUE(FontHasGlyphs(m_measure.GetFont(style), run->m_strText)) << Utf8(run->m_strText);
        if (run->m_strText[0] >= 0x3000) {
            ++japaneseRuns;
            EXPECT_STRNE(style.m_strFontFamily, L"Tahoma");
        } else {
            EXPECT_TRUE(style.m_strFontFamily.IsEmpty() || style.m_strFontFamily == L"Tahoma")
                << Utf8(style.m_strFontFamily);
        }
        EXPECT_STREQ(run->m_strText, m_layout.GetPlainText().Mid(run->m_nTextOffset, run->m_strText.GetLength()));
    }
    EXPECT_EQ(japaneseRuns, 2);
    // The fallback piece sits right after "Tokyo", glued to it on the same line.
    const CHtmlRun* tokyo = nullptr;
    const CHtmlRun* glued = nullptr;
    for (const CHtmlRun* run : Runs(CHtmlRun::kindText)) {
        if (run->m_strText.Right(5) == L"Tokyo")
            tokyo = run;
        if (run->m_strText == japanese.substr(0, 2).c_str())
            glued = run;
    }
    ASSERT_NE(tokyo, nullptr);
    ASSERT_NE(glued, nullptr);
    EXPECT_EQ(glued->m_rect.left, tokyo->m_rect.right);
    EXPECT_EQ(glued->m_nBaseline, tokyo->m_nBaseline);
}

TEST_F(HtmlLayoutTest, HostilePagesLayOutWithoutACrash)
{
    std::wstring divs;
    while (divs.size() < 1024 * 1024)
        divs += L"<div>x";
    Lay(divs, 400);
    EXPECT_GT(m_layout.GetHeight(), 0);
    EXPECT_EQ(static_cast<int>(divs.size() / 6 * 3 - 2), m_layout.GetPlainText().GetLength());

    for (const wchar_t* unit : {L"<table><tr><td>", L"<ul><li>", L"<blockquote>", L"<b><i>", L"<sup>"}) {
        std::wstring nested;
        for (int i = 0; i < 10000; ++i)
            nested += unit;
        nested += L"deep text";
        Lay(nested, 400);
        EXPECT_NE(-1, m_layout.GetPlainText().Find(L"deep text")) << Utf8(unit);
        EXPECT_GT(m_layout.GetHeight(), 0);
        for (const CHtmlRun& run : m_layout.GetRuns())
            EXPECT_LE(run.m_rect.Width(), 100000);
    }

    Lay(L"<table><tr><td colspan=99999>a<td colspan=-5>b</table><hr size=99999 width=99999>", 10);
    EXPECT_NE(-1, m_layout.GetPlainText().Find(L"b"));
    EXPECT_LE(m_layout.GetHeight(), 1000);
}

} // namespace
