// Reading OPML files and exported channel lists for an import: what is valid comes in, nothing else.
#include "feeds/FeedChannel.h"
#include "feeds/OpmlImport.h"
#include "feeds/XmlDom.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using lqtest::Narrow;

namespace {

std::wstring Fixture(const wchar_t* name)
{
    return lqtest::SourcePath(std::wstring(L"feeds\\fe4\\") + name);
}

struct Entry
{
    std::wstring title, link, description, category, file;
    int kind;
};

std::vector<Entry> Entries(const CFeedChannel& channel)
{
    std::vector<Entry> entries;
    for (POSITION pos = channel.m_items.GetHeadPosition(); pos;) {
        const CFeedItem* item = channel.m_items.GetNext(pos);
        entries.push_back({item->m_strTitleText.GetString(), item->m_strLinkText.GetString(),
                           item->m_strDescriptionText.GetString(), item->m_strCategory.GetString(),
                           item->m_strFile.GetString(), item->m_nKind});
    }
    return entries;
}

TEST(OpmlImport, NestedOutlinesGiveTheChannelsNotTheGroups)
{
    std::unique_ptr<CFeedChannel> channel(LoadOpml(Fixture(L"nested.opml").c_str()));
    ASSERT_NE(channel, nullptr);
    const std::vector<Entry> entries = Entries(*channel);
    struct Expected
    {
        const wchar_t* title;
        const wchar_t* link;
    };
    // Children are read before their parent; outlines in other letter case, and addresses that are not web
    // addresses, are not read.
    const Expected expected[] = {
        {L"Alpha & Co", L"http://alpha.example/rss.xml"},
        {L"Beta", L"https://beta.example/feed"},
        {L"Child first", L"http://child.example/rss"},
        {L"Parent with feed", L"http://parent.example/rss"},
        {L"", L"http://untitled.example/rss"},
    };
    ASSERT_EQ(entries.size(), sizeof(expected) / sizeof(expected[0]));
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].title, expected[i].title) << i;
        EXPECT_EQ(entries[i].link, expected[i].link) << i;
        EXPECT_EQ(entries[i].kind, FEED_KIND_FEED) << i;
    }
    EXPECT_EQ(entries[0].description, L"Bold news");
}

TEST(OpmlImport, FilesThatAreNotOpmlLoadNothing)
{
    lqtest::TempFolder folder;
    struct Case
    {
        const char* name;
        const char* xml;
    };
    const Case cases[] = {
        {"rss", "<rss version=\"2.0\"><channel><title>t</title><item><link>http://a/</link></item></channel></rss>"},
        {"no body", "<opml version=\"1.1\"><head/><outline text=\"a\" xmlUrl=\"http://a/rss\"/></opml>"},
        {"upper-case root", "<OPML><body><outline text=\"a\" xmlUrl=\"http://a/rss\"/></body></OPML>"},
        {"malformed", "<opml><body><outline text=\"a\" xmlUrl=\"http://a/rss\"></body>"},
        {"empty", ""},
        {"binary", "\xff\xfe\x00\x01\x02 not xml"},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder.File(L"in.opml");
        ASSERT_TRUE(lqtest::WriteFileBytes(path, c.xml));
        std::unique_ptr<CFeedChannel> channel(LoadOpml(path.c_str()));
        EXPECT_EQ(channel, nullptr) << c.name;
    }
    EXPECT_EQ(LoadOpml(folder.File(L"missing.opml").c_str()), nullptr);
    EXPECT_EQ(LoadOpml(L""), nullptr);
}

TEST(OpmlImport, AnOpmlFileWithoutChannelsGivesAnEmptyChannel)
{
    lqtest::TempFolder folder;
    const std::wstring path = folder.File(L"groups.opml");
    ASSERT_TRUE(lqtest::WriteFileBytes(
        path, "<opml><body><outline text=\"Group\"><outline text=\"Empty group\"/></outline></body></opml>"));
    std::unique_ptr<CFeedChannel> channel(LoadOpml(path.c_str()));
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->m_items.GetCount(), 0);
}

TEST(OpmlImport, TenThousandOutlinesFlatOrNested)
{
    lqtest::TempFolder folder;
    const int count = 10000;
    std::string flat = "<opml><body>";
    std::string nested = "<opml><body>";
    for (int i = 0; i < count; ++i) {
        const std::string outline =
            "<outline text=\"Feed " + std::to_string(i) + "\" xmlUrl=\"http://h" + std::to_string(i) + ".example/rss\"";
        flat += outline + (i % 3 == 0 ? " />" : "/><outline text=\"group\"/>");
        nested += outline + ">";
    }
    flat += "</body></opml>";
    for (int i = 0; i < count; ++i)
        nested += "</outline>";
    nested += "</body></opml>";

    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"flat.opml"), flat));
    std::unique_ptr<CFeedChannel> channel(LoadOpml(folder.File(L"flat.opml").c_str()));
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->m_items.GetCount(), count);
    EXPECT_STREQ(channel->m_items.GetTail()->m_strTitleText.GetString(), L"Feed 9999");

    // Wine's parser refuses such depth; a parser that reads it must bring in every outline.
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"nested.opml"), nested));
    std::unique_ptr<CFeedChannel> deep(LoadOpml(folder.File(L"nested.opml").c_str()));
    EXPECT_TRUE(!deep || deep->m_items.GetCount() == count);
}

TEST(OpmlImport, DeepNestingIsReadInnermostFirst)
{
    lqtest::TempFolder folder;
    const int depth = 200;
    std::string xml = "<opml><body>";
    for (int i = 0; i < depth; ++i)
        xml +=
            "<outline text=\"Level " + std::to_string(i) + "\" xmlUrl=\"http://l" + std::to_string(i) + ".example/\">";
    for (int i = 0; i < depth; ++i)
        xml += "</outline>";
    xml += "</body></opml>";
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"deep.opml"), xml));
    std::unique_ptr<CFeedChannel> channel(LoadOpml(folder.File(L"deep.opml").c_str()));
    ASSERT_NE(channel, nullptr);
    ASSERT_EQ(channel->m_items.GetCount(), depth);
    EXPECT_STREQ(channel->m_items.GetHead()->m_strTitleText.GetString(), L"Level 199");
    EXPECT_STREQ(channel->m_items.GetTail()->m_strTitleText.GetString(), L"Level 0");
}

TEST(OpmlImport, ReadOutlinesWalksANodeOfAnyDocument)
{
    XmlDom::DocumentPtr doc = XmlDom::CreateDocument(true);
    ASSERT_TRUE(doc);
    VARIANT_BOOL ok = VARIANT_FALSE;
    XmlDom::Bstr xml(L"<x><outline text=\"a\" xmlUrl=\"http://a/\"><outline text=\"b\" xmlUrl=\"http://b/\"/>"
                     L"</outline></x>");
    ASSERT_HRESULT_SUCCEEDED(doc->loadXML(xml, &ok));
    ASSERT_EQ(ok, VARIANT_TRUE);
    XmlDom::NodePtr root = XmlDom::SelectSingleNode(doc.Get(), L"x");
    ASSERT_TRUE(root);
    CFeedChannel channel;
    ReadOutlines(&channel, root.Get());
    const std::vector<Entry> entries = Entries(channel);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].title, L"b");
    EXPECT_EQ(entries[1].title, L"a");
    ReadOutlines(&channel, nullptr);
    ReadOutlines(nullptr, root.Get());
    EXPECT_EQ(channel.m_items.GetCount(), 2);
}

TEST(ExportedListImport, CategoriesComeWithTheEntriesAndHostileOnesStayOut)
{
    std::unique_ptr<CFeedChannel> channel(LoadExportedList(Fixture(L"exported.nwx").c_str()));
    ASSERT_NE(channel, nullptr);
    const std::vector<Entry> entries = Entries(*channel);
    struct Expected
    {
        const wchar_t *title, *category, *file;
    };
    const Expected expected[] = {
        {L"World news", L"News", L"world"},
        {L"Gadgets", L"Technology", L""}, // its file name tried to leave the data folder
        {L"Uncategorised", L"", L""},
    };
    ASSERT_EQ(entries.size(), sizeof(expected) / sizeof(expected[0]));
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].title, expected[i].title) << i;
        EXPECT_EQ(entries[i].category, expected[i].category) << i;
        EXPECT_EQ(entries[i].file, expected[i].file) << i;
        EXPECT_EQ(entries[i].kind, FEED_KIND_FEED) << i;
    }
}

TEST(ExportedListImport, UnreadableListsLoadNothing)
{
    lqtest::TempFolder folder;
    const std::wstring path = folder.File(L"bad.nwx");
    for (const char* text : {"", "<rss><channel><item>", "<opml><body/></opml>"}) {
        ASSERT_TRUE(lqtest::WriteFileBytes(path, text));
        std::unique_ptr<CFeedChannel> channel(LoadExportedList(path.c_str()));
        EXPECT_EQ(channel, nullptr) << text;
    }
    EXPECT_EQ(LoadExportedList(folder.File(L"missing.nwx").c_str()), nullptr);
}

TEST(ExportedListImport, ImportableAddresses)
{
    struct Case
    {
        const wchar_t* link;
        bool importable;
    };
    const Case cases[] = {
        {L"http://a.example/rss", true},
        {L"HTTPS://a.example/", true},
        {L"  http://a.example/x  ", true},
        {L"javascript:alert(1)", false},
        {L"file:///C:/x", false},
        {L"ftp://a.example/x", false},
        {L"", false},
        {L"http://", false},
        {L"a.example/rss", false},
        {L"vbscript:msgbox(1)", false},
        {nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsImportableFeedLink(c.link), c.importable) << (c.link ? Narrow(c.link) : "(null)");
}

} // namespace
