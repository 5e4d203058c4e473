// The record through which the engine reads what it needs of the application.
#include "tests/feeds/FeedTestHost.h"
#include "feeds/FeedChannel.h"
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

} // namespace
