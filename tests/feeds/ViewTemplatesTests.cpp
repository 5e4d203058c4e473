// The display templates: installation with tokens filled in, the news page feeds.xsl gives through MSXML,
// the weather page and the word replacer.
#include "tests/feeds/FeedTestHost.h"
#include "feeds/DataFiles.h"
#include "feeds/FeedChannel.h"
#include "feeds/ViewTemplates.h"
#include "feeds/XmlDom.h"
#include "tests/feeds/NewsPageTransform.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using lqtest::Narrow;
using lqtest::ReadFileBytes;
using lqtest::WriteFileBytes;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring FixturePath(const wchar_t* name)
{
    return lqtest::SourcePath(std::wstring(L"feeds/net/") + name);
}

std::string Utf8(const std::wstring& text)
{
    return Narrow(text);
}

// Entities and percent escapes of an attribute value in the generated HTML, undone.
std::string DecodeAttribute(const std::string& value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '&') {
            const size_t end = value.find(';', i);
            const std::string name = value.substr(i + 1, end - i - 1);
            if (name == "amp")
                out += '&';
            else if (name == "lt")
                out += '<';
            else if (name == "gt")
                out += '>';
            else if (name == "quot")
                out += '"';
            else if (!name.empty() && name[0] == '#')
                out += static_cast<char>(std::stoi(name.substr(1)));
            i = end;
        } else if (value[i] == '%' && i + 2 < value.size()) {
            out += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += value[i];
        }
    }
    return out;
}

// The values of every occurrence of attribute="..." in the page, in order.
std::vector<std::string> AttributeValues(const std::string& page, const std::string& attribute)
{
    std::vector<std::string> values;
    const std::string key = " " + attribute + "=\"";
    for (size_t at = page.find(key); at != std::string::npos; at = page.find(key, at + 1)) {
        const size_t start = at + key.size();
        values.push_back(DecodeAttribute(page.substr(start, page.find('"', start) - start)));
    }
    return values;
}

class TemplateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedData = theHost.m_strDataFolder;
        m_savedBookmark = theHost.m_settings.szBookmarkUrl;
        theHost.m_strDataFolder = m_data.Path().c_str();
        theHost.SetRegistryKey(L"Lanternquill Tests");
    }
    void TearDown() override
    {
        theHost.m_strDataFolder = m_savedData;
        lstrcpynW(theHost.m_settings.szBookmarkUrl, m_savedBookmark, 100);
        theHost.WriteProfileString(L"", L"Install_Dir", nullptr);
        theHost.WriteProfileString(L"", L"Location", nullptr);
    }

    void SetBookmarkUrl(LPCWSTR url) { lstrcpynW(theHost.m_settings.szBookmarkUrl, url, 100); }

    lqtest::TempFolder m_data;
    lqtest::TempFolder m_templates;
    CString m_savedData;
    CString m_savedBookmark;
};

TEST(TemplateValues, MarkupAndNonAsciiBecomeReferences)
{
    struct Case
    {
        const wchar_t *value, *escaped;
    };
    const Case cases[] = {
        {L"C:\\Users\\R&D\\images", L"C:\\Users\\R&amp;D\\images"},
        {L"<a href=\"x\">'q'</a>", L"&lt;a href=&quot;x&quot;&gt;&#39;q&#39;&lt;/a&gt;"},
        {L"Z\u00fcrich \u20ac", L"Z&#252;rich &#8364;"},
        {L"\U0001F600", L"&#128512;"},
        {L"a\x01"
         L"b\tc",
         L"ab&#9;c"},
        {L"&amp;", L"&amp;amp;"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(EscapeTemplateValue(c.value).GetString(), c.escaped) << Narrow(c.value);
}

TEST_F(TemplateTest, TokensAreFilledInAndLinesJoined)
{
    ASSERT_TRUE(
        WriteFileBytes(m_templates.File(L"feeds.xsl"), "one %IMAGEPATH% and %IMAGEPATH%\r\ntwo %BOOKMARK%\nthree\n"));
    for (const wchar_t* image : {L"new.png", L"read.png", L"unread.png"})
        ASSERT_TRUE(WriteFileBytes(m_templates.File(image), Narrow(image)));
    ASSERT_TRUE(CreateDirectoryW(m_data.File(L"images").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(m_data.File(L"images\\new.png"), "old"));
    SetBookmarkUrl(L"http://bm.example/add");

    EXPECT_TRUE(InstallViewTemplates(m_templates.Path().c_str()));
    const std::string images = Narrow(m_data.File(L"images"));
    EXPECT_EQ(ReadFileBytes(m_data.File(L"feeds.xsl")),
              "one " + images + " and " + images + "two http://bm.example/addthree");
    for (const wchar_t* image : {L"new.png", L"read.png", L"unread.png"})
        EXPECT_EQ(ReadFileBytes(m_data.File(std::wstring(L"images\\") + image)), Narrow(image));
}

TEST_F(TemplateTest, AFileNamedImagesStaysAndTheStyleSheetIsStillWritten)
{
    ASSERT_TRUE(WriteFileBytes(m_templates.File(L"feeds.xsl"), "<x/>\n"));
    ASSERT_TRUE(WriteFileBytes(m_templates.File(L"new.png"), "png"));
    ASSERT_TRUE(WriteFileBytes(m_data.File(L"images"), "not a folder"));
    EXPECT_TRUE(InstallViewTemplates(m_templates.Path().c_str()));
    EXPECT_EQ(ReadFileBytes(m_data.File(L"images")), "not a folder");
    EXPECT_EQ(ReadFileBytes(m_data.File(L"feeds.xsl")), "<x/>");
}

TEST_F(TemplateTest, AMissingTemplateLeavesTheStyleSheetAsItWas)
{
    ASSERT_TRUE(WriteFileBytes(m_data.File(L"feeds.xsl"), "previous"));
    EXPECT_FALSE(InstallViewTemplates(m_templates.Path().c_str()));
    EXPECT_EQ(ReadFileBytes(m_data.File(L"feeds.xsl")), "previous");
    EXPECT_TRUE(Exists(m_data.File(L"images"))); // the images folder is made all the same
}

TEST_F(TemplateTest, NewsPageLinksAreExactlyTheItemsLinksEnclosuresAndBookmarks)
{
    // A data folder and a bookmarking URL that would break the style sheet if they were inserted raw.
    const std::wstring folder = m_data.File(L"R&D 'team' \u00fc");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    theHost.m_strDataFolder = folder.c_str();
    SetBookmarkUrl(L"http://bm.example/add?a=1&b=<2>");

    ASSERT_TRUE(InstallViewTemplates()); // the program's own template, beside this program
    const std::wstring styleSheet = folder + L"\\feeds.xsl";
    const std::string installed = ReadFileBytes(styleSheet);
    EXPECT_EQ(installed.find('\n'), std::string::npos);
    EXPECT_EQ(installed.find("%IMAGEPATH%"), std::string::npos);
    EXPECT_EQ(installed.find("%BOOKMARK%"), std::string::npos);
    for (const wchar_t* image : {L"new.png", L"read.png", L"unread.png"})
        EXPECT_TRUE(Exists(folder + L"\\images\\" + image)) << Narrow(image);

    // The values read back exactly as they were given.
    XmlDom::DocumentPtr sheet = XmlDom::CreateDocument();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(XmlDom::LoadDocument(sheet.Get(), styleSheet.c_str()));
    XmlDom::NodePtr images = XmlDom::SelectSingleNode(sheet.Get(), L"//*[@name='images']");
    XmlDom::NodePtr bookmark = XmlDom::SelectSingleNode(sheet.Get(), L"//*[@name='bookmarkService']");
    EXPECT_STREQ(XmlDom::NodeText(images.Get()).GetString(), (folder + L"\\images").c_str());
    EXPECT_STREQ(XmlDom::NodeText(bookmark.Get()).GetString(), L"http://bm.example/add?a=1&b=<2>");

    const std::string page = TransformToBytes(FixturePath(L"cache.rss"), styleSheet);
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(page.find('\0'), std::string::npos); // an 8-bit page
    const std::vector<std::string> links = AttributeValues(page, "href");
    const std::vector<std::string> expected = {"http://example.org/a?x=1&y=2", "http://example.org/e.mp3?a=1&amp;b=2",
                                               "bookmark:1", "bookmark:2", "http://example.org/c"};
    EXPECT_EQ(links, expected) << page;

    // The state images, by the items' read states (new, read, unread).
    std::string imageFolder = "file:///" + Utf8(folder + L"/images/");
    for (char& c : imageFolder)
        c = c == '\\' ? '/' : c;
    const std::vector<std::string> sources = AttributeValues(page, "src");
    EXPECT_EQ(sources, (std::vector<std::string>{imageFolder + "new.png", imageFolder + "read.png",
                                                 imageFolder + "unread.png"}));
    // Descriptions and titles carry HTML, which the page renders rather than shows.
    EXPECT_NE(page.find("<b>world</b>"), std::string::npos);
    EXPECT_NE(page.find("<i>story</i>"), std::string::npos);
    EXPECT_EQ(page.find("&lt;b&gt;"), std::string::npos);
    EXPECT_NE(page.find("Sample &amp; Channel"), std::string::npos);
    EXPECT_NE(page.find("Tue, 10 Jun 2003 04:00:00 GMT"), std::string::npos);
}

// What a hostile feed puts in its channel header and links reaches the news page as text and safe links only.
TEST_F(TemplateTest, AHostileFeedReachesTheNewsPageAsTextAndSafeLinks)
{
    ASSERT_TRUE(InstallViewTemplates());
    const char* feed =
        "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>"
        "<title>Hostile &lt;script&gt;alert(1)&lt;/script&gt;channel &lt;b onmouseover=\"alert(2)\"&gt;x&lt;/b&gt;"
        "</title>"
        "<description>About &lt;img src=x onerror=alert(3)&gt; &lt;a href=\"javascript:alert(4)\"&gt;us&lt;/a&gt;"
        "</description>"
        "<copyright>&lt;script&gt;alert(5)&lt;/script&gt;Quill</copyright>"
        "<item><title>One</title><link>javascript:alert(6)</link>"
        "<enclosure url=\"vbscript:alert(7)\" type=\"audio/mpeg\" length=\"1\"/></item>"
        "<item><title>Two</title><link>&#x2028;javascript:alert(8)</link></item>"
        "<item><title>Three</title><link>http://example.org/three</link></item>"
        "</channel></rss>";
    ASSERT_TRUE(WriteFileBytes(m_data.File(L"hostile.xml"), feed));
    CFeedChannel channel;
    ASSERT_TRUE(channel.LoadFile(m_data.File(L"hostile.xml").c_str(), nullptr, CFeedChannel::LOAD_FEED));
    ASSERT_TRUE(channel.SaveCache(m_data.File(L"hostile.rss").c_str(), FALSE));

    const std::string page = TransformToBytes(m_data.File(L"hostile.rss"), m_data.File(L"feeds.xsl"));
    ASSERT_FALSE(page.empty());
    for (const char* active : {"<script", "<b onmouseover", "onerror", "javascript:", "vbscript:", "<b>", "src=\"x\""})
        EXPECT_EQ(page.find(active), std::string::npos) << active << "\n" << page;
    // The title and copyright are text, shown as written; the description is markup, cleaned.
    for (const char* text :
         {"Hostile &lt;script&gt;alert(1)&lt;/script&gt;channel &lt;b onmouseover=\"alert(2)\"&gt;x&lt;/b&gt;",
          "About <img> <a>us</a>", "&lt;script&gt;alert(5)&lt;/script&gt;Quill", "One", "Two"})
        EXPECT_NE(page.find(text), std::string::npos) << text;
    EXPECT_EQ(AttributeValues(page, "href"), std::vector<std::string>{"http://example.org/three"}) << page;
}

TEST_F(TemplateTest, AChannelWithoutItemsSaysSo)
{
    ASSERT_TRUE(InstallViewTemplates());
    ASSERT_TRUE(WriteFileBytes(m_data.File(L"empty.rss"),
                               "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Quiet</title>"
                               "</channel></rss>"));
    const std::string page = TransformToBytes(m_data.File(L"empty.rss"), m_data.File(L"feeds.xsl"));
    EXPECT_NE(page.find("Quiet"), std::string::npos);
    EXPECT_NE(page.find("There are no items in this channel."), std::string::npos);
    EXPECT_TRUE(AttributeValues(page, "href").empty());
}

// ---- The weather page

TEST_F(TemplateTest, WeatherPageCarriesTheEscapedLocation)
{
    theHost.WriteProfileString(L"", L"Install_Dir", GetModuleFolder());
    struct Case
    {
        const wchar_t* location; // null: the value is not set
        const char* text;
    };
    const Case cases[] = {
        {nullptr, "32333"},
        {L"Z\u00fcrich & <Co>", "Z&#252;rich &amp; &lt;Co&gt;"},
        {L"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        theHost.WriteProfileString(L"", L"Location", c.location);
        ASSERT_TRUE(WriteWeatherPage());
        const std::string page = ReadFileBytes(m_data.File(L"weather.htm"));
        EXPECT_NE(page.find(std::string("Your location: <b>") + c.text + "</b>"), std::string::npos) << page;
        EXPECT_EQ(page.find("%LOCATION%"), std::string::npos);
        EXPECT_EQ(page.find('\n'), std::string::npos);
    }
}

TEST_F(TemplateTest, WeatherPageNeedsItsTemplate)
{
    theHost.WriteProfileString(L"", L"Install_Dir", m_templates.Path().c_str());
    EXPECT_FALSE(WriteWeatherPage());
    EXPECT_FALSE(Exists(m_data.File(L"weather.htm")));

    // A template without the token leaves the page as it was.
    ASSERT_TRUE(WriteFileBytes(m_templates.File(L"weather.htm"), "<html>no token</html>\n"));
    ASSERT_TRUE(WriteFileBytes(m_data.File(L"weather.htm"), "existing"));
    EXPECT_TRUE(WriteWeatherPage());
    EXPECT_EQ(ReadFileBytes(m_data.File(L"weather.htm")), "existing");
}

// ---- The word replacer

TEST(WordReplacer, DefaultsAreThoseOfTheClass)
{
    CWordReplacer replacer;
    EXPECT_STREQ(replacer.m_strWord.GetString(), L"AppWizard");
    EXPECT_TRUE(replacer.m_strReplacement.IsEmpty());
    EXPECT_STREQ(replacer.m_strInputFile.GetString(), L"Test.TXT");
    EXPECT_STREQ(replacer.m_strOutputFile.GetString(), L"TestOut.TXT");
    EXPECT_TRUE(replacer.m_bDone);
    EXPECT_TRUE(replacer.m_bCaseSensitive);
    EXPECT_FALSE(replacer.m_bWriteInPlace || replacer.m_bWholeWord || replacer.m_bFound);
    EXPECT_FALSE(replacer.m_bNormalizeWordLineEnds || replacer.m_bNormalizeTextLineEnds);
}

TEST(WordReplacer, ReplacesEveryOccurrenceAndCutsAnOlderTail)
{
    struct Case
    {
        const char* input;
        const wchar_t *word, *replacement;
        bool caseSensitive, wholeWord;
        int count;
        const char* output; // null: the output file keeps its old content
    };
    const Case cases[] = {
        {"a %W% b\n%W%%W%\n", L"%W%", L"x", true, false, 3, "a x bxx"},
        {"Tag tag TAG\n", L"tag", L"-", true, false, 1, "Tag - TAG"},
        {"Tag tag TAG\n", L"tag", L"-", false, false, 3, "- - -"},
        {"cat concat cat.\n", L"cat", L"dog", true, true, 2, "dog concat dog."},
        {"nothing here\n", L"%W%", L"x", true, false, 0, nullptr},
        {"short %W%\n", L"%W%", L"", true, false, 1, "short "},
    };
    lqtest::TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        ASSERT_TRUE(WriteFileBytes(folder.File(L"in.txt"), c.input));
        ASSERT_TRUE(WriteFileBytes(folder.File(L"out.txt"), "an older and much longer output file"));
        CWordReplacer replacer;
        replacer.m_strWord = c.word;
        replacer.m_strReplacement = c.replacement;
        replacer.m_strInputFile = folder.File(L"in.txt").c_str();
        replacer.m_strOutputFile = folder.File(L"out.txt").c_str();
        replacer.m_bCaseSensitive = c.caseSensitive;
        replacer.m_bWholeWord = c.wholeWord;
        EXPECT_EQ(replacer.ReplaceWords(), c.count);
        EXPECT_EQ(ReadFileBytes(folder.File(L"out.txt")), c.output ? c.output : "an older and much longer output file");
    }
}

TEST(WordReplacer, WritesInPlaceWhenAskedAndFailsOnAMissingInput)
{
    lqtest::TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.File(L"page.htm"), "<p>%W%</p>\n"));
    CWordReplacer replacer;
    replacer.m_strWord = L"%W%";
    replacer.m_strReplacement = L"here";
    replacer.m_strInputFile = folder.File(L"page.htm").c_str();
    replacer.m_strOutputFile = folder.File(L"unused.htm").c_str();
    replacer.m_bWriteInPlace = true;
    EXPECT_EQ(replacer.ReplaceWords(), 1);
    EXPECT_EQ(ReadFileBytes(folder.File(L"page.htm")), "<p>here</p>");
    EXPECT_FALSE(Exists(folder.File(L"unused.htm")));

    replacer.m_strInputFile = folder.File(L"missing.htm").c_str();
    EXPECT_EQ(replacer.ReplaceWords(), 0);
}

TEST(WordReplacer, SeparatorsIncludeTheSetsTerminatingZero)
{
    EXPECT_TRUE(CWordReplacer::IsSeparator(L' ', L" ,"));
    EXPECT_TRUE(CWordReplacer::IsSeparator(L',', L" ,"));
    EXPECT_TRUE(CWordReplacer::IsSeparator(L'\0', L" ,"));
    EXPECT_FALSE(CWordReplacer::IsSeparator(L'a', L" ,"));
    EXPECT_FALSE(CWordReplacer::IsSeparator(L'a', L""));
}

} // namespace
