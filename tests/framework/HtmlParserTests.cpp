// The tolerant HTML parser: tag soup read back as a tree, character references, character sets, active content
// dropped, and hostile input that must load in bounded depth without a crash.
#include "framework/html/HtmlDocument.h"
#include "framework/html/HtmlEntities.h"
#include "framework/html/HtmlParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CString Dump(const wchar_t* html)
{
    CHtmlDocument doc;
    CHtmlParser::ParseText(CString(html), doc);
    return doc.DumpBody();
}

std::string Utf8(const CString& text)
{
    const int length = text.GetLength();
    if (length == 0)
        return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], bytes, nullptr, nullptr);
    return out;
}

struct SoupCase
{
    const wchar_t* html;
    const wchar_t* tree;
};

TEST(HtmlParser, TagSoupBuildsTheTreeBrowsersBuild)
{
    const SoupCase cases[] = {
        {L"<p>one<p>two", L"<p>one</p><p>two</p>"},
        {L"<ul><li>a<li>b</ul>after", L"<ul><li>a</li><li>b</li></ul>after"},
        {L"<ol><li>a<ul><li>inner</ul><li>b</ol>", L"<ol><li>a<ul><li>inner</li></ul></li><li>b</li></ol>"},
        {L"<b><i>x</b>y</i>z", L"<b><i>x</i></b><i>y</i>z"},
        {L"<p>a<div>b</div>c", L"<p>a</p><div>b</div>c"},
        {L"<p>a<h2>b</h2><p>c<table><tr><td>d</table>",
         L"<p>a</p><h2>b</h2><p>c</p><table><tr><td>d</td></tr></table>"},
        {L"<BR>a<br/>b<br />c</br>d<Br clear=all>", L"<br>a<br>b<br>c<br>d<br clear=\"all\">"},
        {L"<table><tr><td>1<td>2<tr><th>3</table>x",
         L"<table><tr><td>1</td><td>2</td></tr><tr><th>3</th></tr></table>x"},
        {L"<table><tbody><td>1</tbody></table>", L"<table><tbody><tr><td>1</td></tr></tbody></table>"},
        {L"<table>loose<td>x</table>", L"<table><tr><td>loose</td><td>x</td></tr></table>"},
        {L"<table> \n <tr> <td>x</td> </tr> </table>", L"<table><tr><td>x</td></tr></table>"},
        {L"<td>stray</td><tr>parts", L"strayparts"},
        {L"<dl><dt>t<dd>d<dt>u</dl>", L"<dl><dt>t</dt><dd>d</dd><dt>u</dt></dl>"},
        {L"<select><option>a<option>b</select>", L"<select><option>a</option><option>b</option></select>"},
        {L"<foo:bar x=1>t</foo:bar><blink>u", L"<foo:bar x=\"1\">t</foo:bar><blink>u</blink>"},
        {L"<A HREF=x.html Title='q \"t\"' checked>t</A>",
         L"<a href=\"x.html\" title=\"q &quot;t&quot;\" checked=\"\">t</a>"},
        {L"<img src = \"a b.png\" alt=Cat width=10 src=second>", L"<img src=\"a b.png\" alt=\"Cat\" width=\"10\">"},
        {L"a<!-- <b>no</b> -->b<!---->c", L"abc"},
        {L"<![CDATA[<x>&amp;]]>", L"&lt;x&gt;&amp;amp;"},
        {L"<!DOCTYPE html><?xml version=\"1.0\"?>a</ b>c", L"ac"},
        {L"a</span></div></p>b", L"ab"},
        {L"1 < 2 <3 <> &", L"1 &lt; 2 &lt;3 &lt;&gt; &amp;"},
        {L"<a href=1>x<a href=2>y</a>", L"<a href=\"1\">x</a><a href=\"2\">y</a>"},
        {L"<h1>a</h2>b", L"<h1>a</h1>b"},
        {L"<h1>a<h2>b", L"<h1>a</h1><h2>b</h2>"},
        {L"<a href=\"x>t", L"<a href=\"x&gt;t\"></a>"},
        {L"<textarea><b>x</b></textarea>y", L"<textarea>&lt;b&gt;x&lt;/b&gt;</textarea>y"},
        {L"<p>unclosed <b>bold", L"<p>unclosed <b>bold</b></p>"},
        {L"<div><p>a</div>b", L"<div><p>a</p></div>b"},
        {L"<html><head><title>T</title></head><body bgcolor=red>x</body></html>trailing", L"xtrailing"},
        {L"<title>never closed<p>body text", L"never closed<p>body text</p>"},
    };
    for (const SoupCase& c : cases)
        EXPECT_STREQ(c.tree, Dump(c.html)) << Utf8(c.html);
}

TEST(HtmlParser, ActiveContentIsDropped)
{
    const SoupCase cases[] = {
        {L"a<script>document.write('<b>x</b>')</script>b", L"ab"},
        {L"a<SCRIPT type=text/javascript>if (a</b) {}</SCRIPT >b", L"ab"},
        {L"a<style>p { color: red }</style>b", L"ab"},
        {L"<object data=x><param name=a><b>fallback</b></object>x<embed src=a.swf>y", L"xy"},
        {L"<applet code=A>t</applet><iframe src=http://x/>t</iframe>z", L"z"},
        {L"<noscript><img src=track.gif></noscript>z<frameset><frame src=a></frameset>", L"z"},
        {L"<a href=\"javascript:alert(1)\" onclick=\"steal()\" onMouseOver=x>t</a>", L"<a href=\"\">t</a>"},
        {L"<a href=\" JavaScript&#x09;:x\">t</a><img src=vbscript:x>", L"<a href=\"\">t</a><img src=\"\">"},
        {L"<a href=\"http://example/javascript:x\">t</a>", L"<a href=\"http://example/javascript:x\">t</a>"},
        {L"a<script>never closed <b>bold</b>", L"a"},
    };
    for (const SoupCase& c : cases)
        EXPECT_STREQ(c.tree, Dump(c.html)) << Utf8(c.html);

    CHtmlDocument doc;
    CHtmlParser::ParseText(CString(L"<head><meta http-equiv=\"Refresh\" content=\"0;url=http://x/\">"
                                   L"<meta name=author content=me><title> The \n <b>title</b> &amp; </title></head>x"),
                           doc);
    ASSERT_NE(nullptr, doc.GetHead());
    ASSERT_EQ(1u, doc.GetHead()->m_children.size());
    EXPECT_STREQ(L"author", doc.GetHead()->m_children[0]->GetAttribute(L"name"));
    EXPECT_STREQ(L"The <b>title</b> &", doc.m_strTitle);
    EXPECT_STREQ(L"x", doc.DumpBody());
}

TEST(HtmlParser, TextAndAttributesHaveReferencesDecoded)
{
    CHtmlDocument doc;
    CHtmlParser::ParseText(CString(L"<a href=\"list?a=1&amp;b=2&copy=3\" title=&lt;T&gt;>Fish &amp chips&nbsp;&#8212;"
                                   L" caf&eacute;</a>"),
                           doc);
    const CHtmlNode* body = doc.GetBody();
    ASSERT_EQ(1u, body->m_children.size());
    const CHtmlNode* link = body->m_children[0];
    EXPECT_STREQ(L"list?a=1&b=2&copy=3", link->GetAttribute(L"href"));
    EXPECT_STREQ(L"<T>", link->GetAttribute(L"title"));
    ASSERT_EQ(1u, link->m_children.size());
    EXPECT_STREQ(L"Fish & chips\u00A0\u2014 caf\u00E9", link->m_children[0]->m_strText);
}

struct EntityCase
{
    const wchar_t* input;
    const wchar_t* text;      // as in text
    const wchar_t* attribute; // as in an attribute value
};

TEST(HtmlEntities, NamedNumericAndMalformedReferences)
{
    const EntityCase cases[] = {
        {L"&amp;&lt;&gt;&quot;&apos;", L"&<>\"'", L"&<>\"'"},
        {L"&copy; &eacute;&euro;&hellip;&mdash;&rsquo;&Omega;&spades;",
         L"\u00A9 \u00E9\u20AC\u2026\u2014\u2019\u03A9\u2660", L"\u00A9 \u00E9\u20AC\u2026\u2014\u2019\u03A9\u2660"},
        {L"&#65;&#x42;&#X43;&#0068", L"ABCD", L"ABCD"},
        {L"&copy2024 &amp &ampx", L"\u00A92024 & &x", L"&copy2024 & &ampx"},
        {L"?a=1&lang=en&not=2", L"?a=1&lang=en\u00AC=2", L"?a=1&lang=en&not=2"},
        {L"&lang;&notin;&notit;", L"\u2329\u2209\u00ACit;", L"\u2329\u2209&notit;"},
        {L"&unknown; & b &; &#; &#x; &#xZ", L"&unknown; & b &; &#; &#x; &#xZ", L"&unknown; & b &; &#; &#x; &#xZ"},
        {L"&#0;&#xD800;&#x110000;&#99999999999;", L"\uFFFD\uFFFD\uFFFD\uFFFD", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {L"&#128;&#x93;&#x94;", L"\u20AC\u201C\u201D", L"\u20AC\u201C\u201D"},
        {L"&#x1F600;", L"\U0001F600", L"\U0001F600"},
        {L"&AMP;&Eacute;&eacute", L"&AMP;\u00C9\u00E9", L"&AMP;\u00C9\u00E9"},
        {L"trailing &", L"trailing &", L"trailing &"},
    };
    for (const EntityCase& c : cases) {
        std::wstring text, attribute;
        HtmlDecodeEntities(c.input, wcslen(c.input), text, false);
        HtmlDecodeEntities(c.input, wcslen(c.input), attribute, true);
        EXPECT_EQ(std::wstring(c.text), text) << Utf8(c.input);
        EXPECT_EQ(std::wstring(c.attribute), attribute) << Utf8(c.input);
    }
    EXPECT_EQ(0x2665u, HtmlLookupEntity(L"hearts", 6));
    EXPECT_EQ(0u, HtmlLookupEntity(L"Hearts", 6));
    EXPECT_EQ(0u, HtmlLookupEntity(L"averyverylongname", 17));
}

struct CharsetCase
{
    const char* bytes;
    const wchar_t* text;
    const wchar_t* charset;
};

TEST(HtmlParser, BytesAreReadInThePagesCharacterSet)
{
    const CharsetCase cases[] = {
        {"\xEF\xBB\xBF<meta charset=windows-1252>caf\xC3\xA9", L"caf\u00E9", L"utf-8"},
        {"<meta charset=\"windows-1252\">caf\xE9 \x93q\x94", L"caf\u00E9 \u201Cq\u201D", L"windows-1252"},
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">caf\xE9", L"caf\u00E9",
         L"windows-1252"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><p>caf\xC3\xA9</p>", L"caf\u00E9", L"utf-8"},
        {"<?xml version='1.0' encoding='windows-1252'?><p>caf\xE9</p>", L"caf\u00E9", L"windows-1252"},
        {"<meta charset=utf-8>a\xFF"
         "b\xC3",
         L"a\uFFFDb\uFFFD", L"utf-8"},
        {"<meta charset=utf-8>\xE2\x82 \xED\xA0\x80 \xF0\x9F\x98\x80", L"\uFFFD \uFFFD \U0001F600", L"utf-8"},
        {"plain caf\xC3\xA9", L"plain caf\u00E9", L"utf-8"},
        {"plain caf\xE9", L"plain caf\u00E9", L"windows-1252"},
        {"<meta charset=x-unheard-of>caf\xE9", L"caf\u00E9", L"windows-1252"},
        {"<meta charset=utf-16>caf\xC3\xA9", L"caf\u00E9", L"utf-8"},
        {"<meta http-equiv=content-type content=\"text/html;charset=koi8-r\">\xC1", L"\u0430", L"koi8-r"},
    };
    for (const CharsetCase& c : cases) {
        CHtmlDocument doc;
        CHtmlParser::ParseBytes(c.bytes, strlen(c.bytes), doc);
        EXPECT_STREQ(c.text, doc.GetTextContent()) << c.bytes;
        EXPECT_STREQ(c.charset, doc.m_strCharset) << c.bytes;
    }

    const char utf16[] = "\xFF\xFE<\0b\0>\0\xE9\0";
    CHtmlDocument doc;
    CHtmlParser::ParseBytes(utf16, sizeof(utf16) - 1, doc);
    EXPECT_STREQ(L"<b>\u00E9</b>", doc.DumpBody());
}

TEST(HtmlParser, NestingIsCappedSoDeepPagesStayShallowAndKeepTheirText)
{
    std::wstring deep;
    for (int i = 0; i < 10000; ++i)
        deep += L"<div>";
    deep += L"bottom";
    for (int i = 0; i < 10000; ++i)
        deep += L"</div>";
    deep += L"after";
    CHtmlDocument doc;
    CHtmlParser::ParseText(deep.c_str(), deep.size(), doc);
    EXPECT_LE(doc.GetMaxDepth(), CHtmlParser::MaxDepth + 1);
    EXPECT_GE(doc.GetMaxDepth(), CHtmlParser::MaxDepth - 1);
    EXPECT_STREQ(L"bottomafter", doc.GetTextContent());
    EXPECT_EQ(3u + 10000u + 2u, doc.GetNodeCount()); // html, head, body, the divs, two texts
}

TEST(HtmlParser, HostileBytesLoadWithoutACrash)
{
    // 1 MB of unclosed blocks.
    std::string divs;
    while (divs.size() < 1024 * 1024)
        divs += "<div>x";
    CHtmlDocument doc;
    CHtmlParser::ParseBytes(divs.data(), divs.size(), doc);
    EXPECT_LE(doc.GetMaxDepth(), CHtmlParser::MaxDepth + 1);
    EXPECT_EQ(divs.size() / 6, static_cast<size_t>(doc.GetTextContent().GetLength()));

    // Every byte value, NULs included, in a pseudo-random soup of markup pieces.
    std::string soup;
    unsigned int seed = 12345;
    const char* pieces[] = {"<",    ">",  "</", "<b",   "<table",   "<td",     "=\"",       "'",
                            "&",    "&#", ";",  "<!--", "]]>",      "<script", "<![CDATA[", "\xC3",
                            "\xFF", "\0", "<p", "<li",  "<a href=", " "};
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245 + 12345;
        const unsigned int pick = (seed >> 16) % 40;
        if (pick < sizeof(pieces) / sizeof(pieces[0]))
            soup.append(pieces[pick], pick == 17 ? 1 : strlen(pieces[pick]));
        else
            soup.push_back(static_cast<char>(seed >> 8));
    }
    CHtmlParser::ParseBytes(soup.data(), soup.size(), doc);
    EXPECT_GT(doc.GetNodeCount(), 3u);
    EXPECT_LE(doc.GetMaxDepth(), CHtmlParser::MaxDepth + 1);
    EXPECT_EQ(-1, doc.GetTextContent().Find(L'\0'));

    CHtmlParser::ParseBytes(nullptr, 0, doc);
    EXPECT_STREQ(L"", doc.DumpBody());
}

} // namespace
