// Item text clean-up: what survives into the news view and what the display copies look like.
#include "feeds/FeedText.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedStore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case
{
    const wchar_t* input;
    const wchar_t* expected;
};

CString Stripped(const wchar_t* input)
{
    CString text(input);
    EXPECT_EQ(1, StripActiveContent(text));
    return text;
}

CString Displayed(const wchar_t* input)
{
    CString text(input);
    EXPECT_EQ(1, HtmlToText(text));
    return text;
}

void ExpectCases(CString (*function)(const wchar_t*), const Case* begin, const Case* end)
{
    for (const Case* c = begin; c != end; ++c)
        EXPECT_EQ(std::wstring(c->expected), std::wstring(function(c->input).GetString())) << lqtest::Narrow(c->input);
}

// Stored texts are cleaned again whenever a cache file is read back: a second pass must change nothing.
void ExpectStable(const Case* begin, const Case* end)
{
    for (const Case* c = begin; c != end; ++c) {
        CString once = Stripped(c->input);
        EXPECT_EQ(std::wstring(once.GetString()), std::wstring(Stripped(once).GetString())) << lqtest::Narrow(c->input);
    }
}

TEST(StripActiveContent, KeepsTextAndOrdinaryMarkup)
{
    const Case cases[] = {
        {L"", L""},
        {L"Plain text & more", L"Plain text & more"},
        {L"Hello <b>world</b>, <i>it</i> <em>is</em> <strong>fine</strong>",
         L"Hello <b>world</b>, <i>it</i> <em>is</em> <strong>fine</strong>"},
        {L"<a href=\"http://example.com/a?x=1&amp;y=2\" title=\"t\">link</a>",
         L"<a href=\"http://example.com/a?x=1&amp;y=2\" title=\"t\">link</a>"},
        {L"<a href='/relative/page.html'>r</a> <a href=\"#top\">t</a> <a href=\"mailto:me@example.com\">m</a>",
         L"<a href=\"/relative/page.html\">r</a> <a href=\"#top\">t</a> <a href=\"mailto:me@example.com\">m</a>"},
        {L"<img src=\"https://example.com/i.png\" alt='say \"hi\"' width=10>",
         L"<img src=\"https://example.com/i.png\" alt=\"say &quot;hi&quot;\" width=\"10\">"},
        {L"<ul><li>one</li><li>two</li></ul><ol start=3><li>x</li></ol>",
         L"<ul><li>one</li><li>two</li></ul><ol start=\"3\"><li>x</li></ol>"},
        {L"<table border=1><tr><td colspan=2>c</td></tr></table>",
         L"<table border=\"1\"><tr><td colspan=\"2\">c</td></tr></table>"},
        {L"<P>para</P><BR><br/><IMG SRC=\"http://x/i.gif\">", L"<P>para</P><BR><br /><IMG src=\"http://x/i.gif\">"},
        {L"<p title=\"a>b\">q</p>", L"<p title=\"a&gt;b\">q</p>"},
        {L"a < b and c > d", L"a &lt; b and c > d"},
        {L"<span class=\"x\">spanned</span> text", L"spanned text"},
        {L"<div style=\"color:red\">d</div>", L"<div>d</div>"},
        {L"<font color=red face=\"Arial\">f</font>", L"<font color=\"red\" face=\"Arial\">f</font>"},
        {L"\xD800 lone \xDC00 surrogates", L"\xD800 lone \xDC00 surrogates"},
    };
    ExpectCases(Stripped, std::begin(cases), std::end(cases));
    ExpectStable(std::begin(cases), std::end(cases));
}

TEST(StripActiveContent, RemovesEveryKindOfActiveContent)
{
    const Case cases[] = {
        // Scripts in any case, with attributes, unterminated, and tricks that rebuild a tag after one removal.
        {L"a<script>alert(1)</script>b", L"ab"},
        {L"a<SCRIPT>alert(1)</SCRIPT>b", L"ab"},
        {L"a<Script type='text/javascript'>alert(1)</sCrIpT >b", L"ab"},
        {L"before<script>alert(1)", L"before"},
        {L"<scr<script>ipt>alert(1)</script>", L"ipt>alert(1)"},
        {L"<<script>script>alert(1)<</script>/script>", L"&lt;/script>"},
        {L"<script<script>>alert(1)</script>x", L">alert(1)x"},
        {L"<script src=\"http://evil/x.js\"/>after", L""},
        // Event handlers, however they are written.
        {L"<img src=\"http://x/\" onerror=alert(1)>", L"<img src=\"http://x/\">"},
        {L"<img src=\"https://x/i\" ONERROR=\"alert(1)\">", L"<img src=\"https://x/i\">"},
        {L"<a href=\"http://x/\"onmouseover=alert(1)>y</a>", L"<a href=\"http://x/\">y</a>"},
        {L"<body onload=\"evil()\">t</body>", L"t"},
        {L"<p/onclick=alert(1)>x</p>", L"<p>x</p>"},
        // Script URLs, hidden by case, blanks, control characters and character references.
        {L"<a href=\"javascript:alert(1)\">x</a>", L"<a>x</a>"},
        {L"<a href=\"JaVaScRiPt:alert(1)\">x</a>", L"<a>x</a>"},
        {L"<a href=\" java\tscript:alert(1)\">x</a>", L"<a>x</a>"},
        {L"<a href=\"&#106;avascript:alert(1)\">x</a>", L"<a>x</a>"},
        {L"<a href=\"&#x6A;avascript&colon;alert(1)\">x</a>", L"<a>x</a>"},
        {L"<a href=\"jav&#x09;ascript:alert(1)\">x</a>", L"<a>x</a>"},
        {L"<a href=\"&#106avascript:alert(1)\">x</a>", L"<a>x</a>"},
        {L"<a href=\"&#0000106;&#97;vascript:alert(1)\">x</a>", L"<a>x</a>"},
        {L"<a href=\"&unknown;javascript:alert(1)\">x</a>", L"<a>x</a>"},
        {L"<a href=\"vbscript:msgbox(1)\">x</a>", L"<a>x</a>"},
        {L"<img src=\"data:text/html,<script>alert(1)</script>\">", L"<img>"},
        {L"<img src=`javascript:alert(1)`>", L"<img>"},
        {L"<a href='\"javascript:alert(1)\"'>x</a>", L"<a>x</a>"},
        // Styles, plugins, frames, forms and elements that change where the page points.
        {L"<style>body{background:url(javascript:x)}</style>text", L"text"},
        {L"<STYLE type=text/css>@import 'x';</STYLE>text", L"text"},
        {L"<div style=\"width:expression(alert(1))\">d</div>", L"<div>d</div>"},
        {L"<object data=x><param name=a value=b></object>t", L"t"},
        {L"<applet code=\"X.class\">fallback</applet>t", L"t"},
        {L"<embed src=\"x.swf\">t", L"t"},
        {L"<iframe src=\"http://x/\"></iframe>t", L"t"},
        {L"<frameset><frame src=x></frameset>t", L"t"},
        {L"<meta http-equiv=\"refresh\" content=\"0;url=http://x/\">t", L"t"},
        {L"<link rel=stylesheet href=\"http://x/s.css\">t", L"t"},
        {L"<base href=\"http://evil/\">t", L"t"},
        {L"<form action=\"http://evil/\"><input name=p type=password><button>Go</button></form>", L"Go"},
        {L"<svg onload=alert(1)><circle r=1/></svg>t", L"t"},
        {L"<math><maction actiontype=statusline xlink:href=javascript:alert(1)>x</maction></math>t", L"t"},
        // Comments (conditional ones included) and declarations.
        {L"<!--[if IE]><script>alert(1)</script><![endif]-->t", L"t"},
        {L"a<!-- never closed <script>alert(1)</script>", L"a"},
        {L"<!DOCTYPE html><?xml-stylesheet href=x?>t", L"t"},
        // Text that ends inside a tag shows nothing of it.
        {L"ok<img src=\"x\" onerror=\"alert(1)\"", L"ok"},
        {L"ok<a href=\"http://x/", L"ok"},
    };
    ExpectCases(Stripped, std::begin(cases), std::end(cases));
    ExpectStable(std::begin(cases), std::end(cases));
}

TEST(StripActiveContent, MalformedInputOfAnySizeGoesThrough)
{
    const size_t big = 1 << 20;
    struct Case
    {
        std::wstring input;
        std::wstring expected;
    };
    std::wstring nested;
    for (size_t i = 0; nested.size() < big; ++i)
        nested += L"<b><i>";
    std::wstring unterminated;
    while (unterminated.size() < big)
        unterminated += L"<a href=\"";
    std::wstring lessThans(big, L'<');
    std::wstring escapedLessThans;
    escapedLessThans.reserve(big * 4);
    for (size_t i = 0; i < big; ++i)
        escapedLessThans += L"&lt;";
    std::wstring scripts;
    while (scripts.size() < big)
        scripts += L"<script>x";
    std::wstring comments;
    while (comments.size() < big)
        comments += L"<!-- x <!-- ";
    std::wstring surrogates(big, L'\xD800');

    const Case cases[] = {
        {nested, nested},       {unterminated, L""},     {lessThans, escapedLessThans},
        {L"t" + scripts, L"t"}, {L"t" + comments, L"t"}, {surrogates, surrogates},
    };
    for (const Case& c : cases) {
        CString text(c.input.c_str(), static_cast<int>(c.input.size()));
        StripActiveContent(text);
        EXPECT_TRUE(std::wstring(text.GetString()) == c.expected) << lqtest::Narrow(c.input.substr(0, 20));
    }
}

TEST(HtmlToText, MakesTheDisplayCopy)
{
    const Case cases[] = {
        {L"", L""},
        {L"<b>Bold</b> words stay", L"Bold words stay"},
        {L"first<p>second", L"first<br>\nsecond"},
        {L"first<P>second", L"first<br>\nsecond"},
        {L"a<br>b<br/>c<br />d", L"a<br>\nb<br>\nc<br>\nd"},
        {L"a<BR>b", L"a<br>\nb"},
        {L"a<brx>b", L"a<br>\nb"},
        {L"<i></i><b></b>", L""},
        {L"a\r\nb", L"a<br>\nb"},
        {L"\n\na\n\n\nb\n\n", L"a<br>\nb"},
        {L"<p><p>a", L"a"},
        {L"a \t\t  b\t", L"a b"},
        {L"x < y", L"x < y"},
        {L"a < b > c", L"a c"},
        {L"<SCRIPT>var x;</SCRIPT>", L"var x;"},
        {L"Caf&eacute; &copy; 2003 &reg; &#169; &#174;", L"Caf\u00E9 \u00A9 2003 \u00AE \u00A9 \u00AE"},
        {L"&raquo;&laquo;&#187;&#171;&#36;&#37;&#39;", L"\u00BB\u00AB\u00BB\u00AB$%'"},
        {L"&#8220;q&#8221; &#8216;s&#8217; &#8211; &#8212; &#8230; &#151;", L"\"q\" 's' \u2014 \u2014 ... -"},
        {L"&Aacute;&Atilde;&Ccedil;&Eacute;&Ecirc;&Iacute;&Oacute;&Ocirc;&Otilde;&Uacute;&Uuml;",
         L"\u00C1\u00C3\u00C7\u00C9\u00CA\u00CD\u00D3\u00D4\u00D5\u00DA\u00DC"},
        {L"&aacute;&atilde;&ccedil;&eacute;&ecirc;&iacute;&oacute;&ocirc;&otilde;&uacute;&uuml;",
         L"\u00E1\u00E3\u00E7\u00E9\u00EA\u00ED\u00F3\u00F4\u00F5\u00FA\u00FC"},
        {L"&quot;&apos;&nbsp;&#160;x", L"\"'  x"},
        {L"&lt;b&gt; stays", L"<b> stays"},
        {L"&amp;lt;script&amp;gt;", L"<script>"},
        {L"&amp;quot; &amp;amp; &amp;#36;", L"\" &amp; &#36;"},
        {L"&unknown; &#1234; & alone &", L"&unknown; \u04D2 & alone &"},
        {L"&&amp;lt;", L"&<"},
        {L"caf&eacute", L"caf&eacute"},
        {L"tail &amp", L"tail &amp"},
    };
    ExpectCases(Displayed, std::begin(cases), std::end(cases));
}

// Headlines read as the feed meant them: every entity of HTML decoded, and list items, paragraphs and rows on lines
// of their own rather than run together.
TEST(HtmlToText, DecodesEveryEntityAndSeparatesBlocks)
{
    const Case cases[] = {
        {L"War &mdash; and peace&hellip; &euro;5 &trade;", L"War \u2014 and peace\u2026 \u20AC5 \u2122"},
        {L"&alpha;&beta; &larr;&rarr; &frac12; &times;", L"\u03B1\u03B2 \u2190\u2192 \u00BD \u00D7"},
        {L"&#233;t&#xE9; &#x1F600; &#150;", L"\u00E9t\u00E9 \U0001F600 \u2013"},
        {L"a&ensp;b&#xA0;c", L"a\u2002b c"},
        {L"&amp;mdash; stays an entity", L"&mdash; stays an entity"},
        {L"&Mdash; &mdash &#xZZ; &#;", L"&Mdash; &mdash &#xZZ; &#;"},
        {L"<ul><li>Point one</li><li>Point two</li></ul>", L"Point one<br>\nPoint two"},
        {L"<p>First.</p><p>Second.</p>", L"First.<br>\nSecond."},
        {L"<P class=x>One</P><DIV>Two</DIV>", L"One<br>\nTwo"},
        {L"Line<BR/>break<Br >again", L"Line<br>\nbreak<br>\nagain"},
        {L"<h2>Head</h2>Body", L"Head<br>\nBody"},
        {L"<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>", L"a b<br>\nc"},
        {L"<b>in</b>line <i>stays</i> <span>together</span>", L"inline stays together"},
    };
    ExpectCases(Displayed, std::begin(cases), std::end(cases));
}

// Sources that would make the pane reach another machine or read the disk elsewhere as soon as the page is shown.
TEST(StripActiveContent, ImagesComeFromTheWebOrTheDataFolderOnly)
{
    const CString savedFolder = GetEngineContext().m_strDataFolder;
    GetEngineContext().m_strDataFolder = L"C:\\Lanternquill Data";
    const Case cases[] = {
        {L"<img src=\"http://example.com/a.png\">", L"<img src=\"http://example.com/a.png\">"},
        {L"<img src=\"HTTPS://example.com/a.png\" alt=\"a\">", L"<img src=\"HTTPS://example.com/a.png\" alt=\"a\">"},
        {L"<img src=\"C:\\Lanternquill Data\\images\\new.png\">",
         L"<img src=\"C:\\Lanternquill Data\\images\\new.png\">"},
        {L"<img src=\"file:///C:/Lanternquill%20Data/x.png\">", L"<img src=\"file:///C:/Lanternquill%20Data/x.png\">"},
        {L"<img src=\"\\\\host\\share\\x.png\" alt=\"x\">", L"<img alt=\"x\">"},
        {L"<img src=\"\\\\?\\UNC\\host\\share\\x.png\">", L"<img>"},
        {L"<img src=\"\\\\?\\C:\\Lanternquill Data\\x.png\">", L"<img>"},
        {L"<img src=\"&#92;&#92;host&#92;share&#92;x.png\">", L"<img>"},
        {L"<img src=\"&#x5C;\\host\\x.png\">", L"<img>"},
        {L"<img src=\"//host/share/x.png\">", L"<img>"},
        {L"<img src=\"/\\host/x.png\">", L"<img>"},
        {L"<img src=\" \t//host/x.png\">", L"<img>"},
        {L"<img src=\"file://host/share/x.png\">", L"<img>"},
        {L"<img src=\"file:///C:/Windows/x.png\">", L"<img>"},
        {L"<img src=\"C:\\Lanternquill Data\\..\\Windows\\x.png\">", L"<img>"},
        {L"<img src=\"C:\\Lanternquill Data2\\x.png\">", L"<img>"},
        {L"<img src=\"images/x.png\">", L"<img>"},
        {L"<img src=\"ftp://example.com/x.png\">", L"<img>"},
        // Links are followed only on a click, and then only web and mail addresses; a path to another machine
        // is not one either.
        {L"<a href=\"\\\\host\\share\\x.htm\">x</a>", L"<a>x</a>"},
        {L"<a href=\"//host/x.htm\">x</a>", L"<a>x</a>"},
        {L"<a href=\"/local/page.html\">x</a>", L"<a href=\"/local/page.html\">x</a>"},
    };
    ExpectCases(Stripped, std::begin(cases), std::end(cases));
    ExpectStable(std::begin(cases), std::end(cases));
    GetEngineContext().m_strDataFolder = L"";
    EXPECT_EQ(std::wstring(Stripped(L"<img src=\"C:\\x.png\">").GetString()), L"<img>");
    GetEngineContext().m_strDataFolder = savedFolder;
}

TEST(FeedTextForms, PlainTextAndMarkupConvertBothWays)
{
    // Plain text written as markup shows as it was written.
    for (const wchar_t* text :
         {L"R&D <lists>", L"say \"hi\" & 'bye'", L"&amp;", L"(c) \u00A9 \u00AE \u00BB \u00AB", L""})
        EXPECT_EQ(std::wstring(HtmlToPlainText(EscapeXmlText(text)).GetString()), text) << lqtest::Narrow(text);
    const Case toText[] = {
        {L"A <b>bold</b> &amp; <i>plain</i> title", L"A bold & plain title"},
        {L"<p>one</p><p>two</p>", L"one two"},
        {L"  spaced  ", L"spaced"},
    };
    for (const Case& c : toText)
        EXPECT_EQ(std::wstring(HtmlToPlainText(c.input).GetString()), c.expected) << lqtest::Narrow(c.input);
}

TEST(HtmlToText, MalformedInputOfAnySizeGoesThrough)
{
    const size_t big = 1 << 20;
    std::wstring nested;
    while (nested.size() < big)
        nested += L"<b><br>";
    std::wstring ampersands(big, L'&');
    std::wstring lessThans(big, L'<');
    std::wstring entities;
    std::wstring expectedEntities;
    while (entities.size() < big) {
        entities += L"&amp;amp;";
        expectedEntities += L"&amp;";
    }

    struct Case
    {
        std::wstring input;
        std::wstring expected;
    };
    const Case cases[] = {
        {nested, L""}, // only line breaks, which the ends then trim
        {ampersands, ampersands},
        {lessThans, lessThans},
        {entities, expectedEntities},
        {std::wstring(big, L'\xDC00'), std::wstring(big, L'\xDC00')},
    };
    for (const Case& c : cases) {
        CString text(c.input.c_str(), static_cast<int>(c.input.size()));
        HtmlToText(text);
        EXPECT_TRUE(std::wstring(text.GetString()) == c.expected) << lqtest::Narrow(c.input.substr(0, 20));
    }
}

} // namespace
