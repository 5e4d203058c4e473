// The branding file read into a settings record: elements found at any depth, texts cut to their buffers, the
// defaults an empty or missing value keeps, the version's packing, and files that change nothing.
#include "tests/feeds/FeedTestHost.h"
#include "feeds/Branding.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using lqtest::Narrow;

class BrandingTest : public ::testing::Test
{
protected:
    std::wstring Write(const std::string& xml)
    {
        const std::wstring path = m_folder.File(L"settings.xml");
        EXPECT_TRUE(lqtest::WriteFileBytes(path, xml));
        return path;
    }

    lqtest::TempFolder m_folder;
    CReaderSettings m_settings;
};

TEST_F(BrandingTest, ElementsAnywhereInTheTreeSetTheirFields)
{
    const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<lanternquill_settings version=\"1.5\">\n"
                            "  <look><deep><caption>Harbour Reader</caption></deep></look>\n"
                            "  <mainlink>http://example.com/list.xml</mainlink>\n"
                            "  <website>http://example.com/</website><email>news@example.com</email>\n"
                            "  <brandname>Harbour</brandname><helpurl>http://example.com/help/</helpurl>\n"
                            "  <homepage>http://example.com/home</homepage><logo>http://example.com/l.png</logo>\n"
                            "  <bookmark_url>http://example.com/save</bookmark_url>\n"
                            "  <bookmark_title>Keep <b>it</b></bookmark_title>\n"
                            "  <statsenabled>0</statsenabled><usewebfeeds>1</usewebfeeds>\n"
                            "  <Caption>ignored: names are compared exactly</Caption>\n"
                            "</lanternquill_settings>\n";
    ASSERT_TRUE(LoadBranding(m_settings, Write(xml).c_str()));
    EXPECT_STREQ(m_settings.szCaption, L"Harbour Reader");
    EXPECT_STREQ(m_settings.szMainLink, L"http://example.com/list.xml");
    EXPECT_STREQ(m_settings.szEmail, L"news@example.com");
    EXPECT_STREQ(m_settings.szHomePage, L"http://example.com/home");
    EXPECT_STREQ(m_settings.szBookmarkTitle, L"Keep it"); // the text of the element and its descendants
    EXPECT_EQ(m_settings.bStatsEnabled, 0);
    EXPECT_EQ(m_settings.bUseWebFeeds, 1);
    EXPECT_EQ(m_settings.dwBrandingVersion, 5u * 65536u + 1u);
    // No user agent: the caption stands in.
    EXPECT_STREQ(m_settings.szUserAgent, L"Harbour Reader");
}

TEST_F(BrandingTest, CutsEmptiesAndLaterOccurrences)
{
    const std::string longCaption(150, 'c');
    const std::string xml = "<lanternquill_settings><caption>first</caption><caption>" + longCaption +
                            "</caption><homepage></homepage><useragent>Agent/2</useragent>"
                            "<statsenabled>yes</statsenabled></lanternquill_settings>";
    ASSERT_TRUE(LoadBranding(m_settings, Write(xml).c_str()));
    EXPECT_EQ(std::wstring(m_settings.szCaption), std::wstring(99, L'c'));
    EXPECT_STREQ(m_settings.szHomePage, L"about:blank");
    EXPECT_STREQ(m_settings.szUserAgent, L"Agent/2");
    EXPECT_EQ(m_settings.bStatsEnabled, 0); // not a number: statistics off
}

TEST_F(BrandingTest, MissingOrBrokenFilesChangeNothing)
{
    const CReaderSettings defaults;
    const struct
    {
        const char* name;
        std::string xml; // empty: no file at all
    } cases[] = {
        {"no file", ""},
        {"not well-formed", "<lanternquill_settings><caption>Half"},
        {"past the parse budget", "<!DOCTYPE r [<!ENTITY e \"x\">]><lanternquill_settings><caption>" +
                                      [] {
                                          std::string refs;
                                          for (int i = 0; i < 30000; ++i)
                                              refs += "&e;";
                                          return refs;
                                      }() +
                                      "</caption></lanternquill_settings>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CReaderSettings settings;
        const std::wstring path = c.xml.empty() ? m_folder.File(L"absent.xml") : Write(c.xml);
        EXPECT_FALSE(LoadBranding(settings, path.c_str()));
        EXPECT_EQ(memcmp(&settings, &defaults, sizeof(settings)), 0);
    }
}

// Without a path the data folder's settings.xml is read into the engine's own record.
TEST_F(BrandingTest, TheDataFoldersFileFillsTheEnginesSettings)
{
    const CString savedFolder = theHost.m_strDataFolder;
    const CReaderSettings savedSettings = theHost.m_settings;
    theHost.m_strDataFolder = m_folder.Path().c_str();
    Write("<lanternquill_settings><caption>From the data folder</caption></lanternquill_settings>");
    EXPECT_TRUE(LoadBranding());
    EXPECT_STREQ(theHost.m_settings.szCaption, L"From the data folder");
    theHost.m_strDataFolder = savedFolder;
    theHost.m_settings = savedSettings;
}

} // namespace
