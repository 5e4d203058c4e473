// The record through which the engine reads what it needs of the application.
#include "tests/feeds/FeedTestHost.h"
#include "feeds/FeedChannel.h"
#include "feeds/MakerAddresses.h"
#include "feeds/UpdateCheck.h"
#include "feeds/UsageLog.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Whatever a test sets, the host is the engine's record again afterwards.
class EngineContextTest : public testing::Test
{
protected:
    void TearDown() override { SetEngineContext(&theHost); }
};

TEST_F(EngineContextTest, EngineReadsTheRecordItIsGiven)
{
    lqtest::TempFolder folder;
    CEngineContext context;
    context.m_strDataFolder = folder.Path().c_str();
    SetEngineContext(&context);
    EXPECT_EQ(&GetEngineContext(), &context);

    CFeedChannel list;
    ASSERT_TRUE(list.SaveMainFeeds());
    EXPECT_NE(GetFileAttributesW(folder.File(L"MainFeed.xml").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(LogUsage(1, 2, L"x"));
    EXPECT_EQ(context.m_nUsageEntries, 1);
    EXPECT_STREQ(GetUsageLogPath(), folder.File(L"reader.log").c_str());
}

// Without a record (a tool, or after the application ended) the engine sees empty folders and writes nothing.
TEST_F(EngineContextTest, WithoutARecordNothingIsWritten)
{
    {
        CEngineContext context;
        SetEngineContext(&context);
    }
    const CEngineContext& defaults = GetEngineContext();
    EXPECT_NE(&defaults, &theHost);
    EXPECT_TRUE(defaults.m_strDataFolder.IsEmpty());
    EXPECT_EQ(defaults.GetFrameWindow(), nullptr);

    CFeedChannel list;
    EXPECT_FALSE(list.SaveMainFeeds());
    EXPECT_FALSE(list.SaveCustomFeeds());
    EXPECT_FALSE(LogUsage(1, 2, L"x"));
}

// The maker's addresses are the build's options, empty unless it names them.
TEST_F(EngineContextTest, MakerAddressesComeFromTheBuild)
{
    CEngineContext context;
    EXPECT_STREQ(context.m_strUpdateUrl, LQ_UPDATE_URL);
    EXPECT_STREQ(context.m_strStatServerUrl, LQ_STATISTICS_URL);
    EXPECT_STREQ(context.m_strBrandingUrl, LQ_BRANDING_URL);
    const CReaderSettings& settings = context.m_settings;
    EXPECT_STREQ(settings.szMainLink, LQ_CHANNEL_LIST_URL);
    EXPECT_STREQ(settings.szBookmarkUrl, LQ_BOOKMARK_URL);
    EXPECT_STREQ(settings.szWebSite, LQ_WEB_SITE_URL);
    EXPECT_STREQ(settings.szHelpUrl, LQ_HELP_URL);
    EXPECT_STREQ(settings.szGettingStartedUrl, LQ_GETTING_STARTED_URL);
    EXPECT_STREQ(settings.szBrowseFeedsUrl, LQ_BROWSE_FEEDS_URL);
    EXPECT_STREQ(settings.szEmail, LQ_SUPPORT_EMAIL);
}

TEST_F(EngineContextTest, UpdateAndBrandingAddressesAreEmptyWithoutAService)
{
    CEngineContext context;
    SetEngineContext(&context);
    theHost.SetRegistryKey(L"Lanternquill Tests");
    theHost.WriteProfileString(L"URLs", L"update", nullptr);
    theHost.WriteProfileString(L"", L"BrandId", L"b7");

    context.m_strUpdateUrl.Empty();
    context.m_strBrandingUrl.Empty();
    EXPECT_STREQ(GetUpdateDescriptionUrl(), L"");
    EXPECT_STREQ(GetBrandingUrl(), L"");

    context.m_strUpdateUrl = L"http://127.0.0.1:1/currentver.xml";
    context.m_strBrandingUrl = L"http://127.0.0.1:1/settings.php?brandid=";
    EXPECT_STREQ(GetUpdateDescriptionUrl(), L"http://127.0.0.1:1/currentver.xml");
    EXPECT_STREQ(GetBrandingUrl(), L"http://127.0.0.1:1/settings.php?brandid=b7");
    theHost.WriteProfileString(L"URLs", L"update", L"http://127.0.0.1:2/mine.xml");
    EXPECT_STREQ(GetUpdateDescriptionUrl(), L"http://127.0.0.1:2/mine.xml");

    theHost.WriteProfileString(L"URLs", L"update", nullptr);
    theHost.WriteProfileString(L"", L"BrandId", nullptr);
}

} // namespace
