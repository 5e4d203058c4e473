// The program's folder and the files the engine names in the data folder.
#include "tests/feeds/FeedTestHost.h"
#include "feeds/DataFiles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using lqtest::Narrow;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class DataFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = theHost.m_strDataFolder;
        theHost.m_strDataFolder = m_folder.Path().c_str();
    }
    void TearDown() override { theHost.m_strDataFolder = m_saved; }

    void Touch(const std::wstring& name) { ASSERT_TRUE(lqtest::WriteFileBytes(m_folder.File(name), "x")); }

    lqtest::TempFolder m_folder;
    CString m_saved;
};

// ---- Program folder

TEST(ModuleFolder, IsTheFolderOfThisProgram)
{
    const CString folder = GetModuleFolder();
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_NE(folder[folder.GetLength() - 1], L'\\');
    EXPECT_TRUE(Exists(std::wstring(folder.GetString()) + L"\\feeds_tests.exe"));
}

// ---- Channel file names

using FeedFileNameTest = DataFolderTest;

TEST_F(FeedFileNameTest, ReservedCharactersAndAmpersandsAreReplaced)
{
    struct Case
    {
        const wchar_t *title, *name;
    };
    const Case cases[] = {
        {L"A/B: news & more", L"A_B_ news  more"},
        {L"*\\:<>?/|\"'", L"__________"},
        {L"Tom & Jerry's \"Show\"", L"Tom  Jerry_s _Show_"},
        {L"line\nbreak\ttab", L"line_break_tab"}, // control characters cannot name a file
        {L"CON", L"CON_"},                        // a device name would open the device
        {L"", L"_"},
        {L"..", L".._"},
        // A device name keeps naming the device with any extension and blanks before it: the mark goes into
        // the part the platform judges, once (these looped without end).
        {L"con.rss", L"con_.rss"},
        {L"nul.feed", L"nul_.feed"},
        {L"COM1.x", L"COM1_.x"},
        {L"AUX .txt", L"AUX_ .txt"},
        {L"CONIN$.x", L"CONIN$_.x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.title));
        EXPECT_STREQ(MakeFeedFileName(c.title).GetString(), c.name);
    }
}

TEST_F(FeedFileNameTest, LongTitlesAreCutTo100Characters)
{
    const std::wstring title(150, L'x');
    EXPECT_STREQ(MakeFeedFileName(title.c_str()).GetString(), std::wstring(100, L'x').c_str());
    // Cut first, then replaced: "&" past the cut does not pull later characters in.
    const std::wstring amp = std::wstring(99, L'a') + L"&bcd";
    EXPECT_STREQ(MakeFeedFileName(amp.c_str()).GetString(), std::wstring(99, L'a').c_str());
}

TEST_F(FeedFileNameTest, ExistingCacheFilesAreNumberedPast)
{
    EXPECT_STREQ(MakeFeedFileName(L"A/B: news & more").GetString(), L"A_B_ news  more");
    Touch(L"A_B_ news  more.rss");
    EXPECT_STREQ(MakeFeedFileName(L"A/B: news & more").GetString(), L"A_B_ news  more0");
    Touch(L"A_B_ news  more0.rss");
    Touch(L"A_B_ news  more1.rss");
    EXPECT_STREQ(MakeFeedFileName(L"A/B: news & more").GetString(), L"A_B_ news  more2");
    // Only ".rss" files count.
    Touch(L"Other.ico");
    EXPECT_STREQ(MakeFeedFileName(L"Other").GetString(), L"Other");
}

// ---- Custom list backup

using RestoreTest = DataFolderTest;

TEST_F(RestoreTest, BackupIsCopiedOverTheListOnlyWhenItExists)
{
    ASSERT_TRUE(lqtest::WriteFileBytes(m_folder.File(L"CustomFeed.xml"), "broken"));
    EXPECT_FALSE(RestoreCustomFeeds());
    EXPECT_EQ(lqtest::ReadFileBytes(m_folder.File(L"CustomFeed.xml")), "broken");

    ASSERT_TRUE(lqtest::WriteFileBytes(m_folder.File(L"CustomFeed.bak"), "<rss/>"));
    EXPECT_TRUE(RestoreCustomFeeds());
    EXPECT_EQ(lqtest::ReadFileBytes(m_folder.File(L"CustomFeed.xml")), "<rss/>");
    EXPECT_EQ(lqtest::ReadFileBytes(m_folder.File(L"CustomFeed.bak")), "<rss/>");
}

// ---- Temporary files

TEST(TempFile, EachCallMakesANewEmptyFileWithThePrefix)
{
    lqtest::TempFolder folder;
    const CString saved = theHost.m_strTempFolder;
    theHost.m_strTempFolder = folder.Path().c_str();
    const CString first = MakeTempFile(L"lqt");
    const CString second = MakeTempFile(L"lqt");
    theHost.m_strTempFolder = folder.File(L"missing").c_str();
    const CString none = MakeTempFile(L"lqt");
    theHost.m_strTempFolder = saved;

    ASSERT_FALSE(first.IsEmpty());
    EXPECT_NE(first, second);
    const std::wstring prefix = folder.File(L"lqt");
    for (const CString& path : {first, second}) {
        EXPECT_EQ(std::wstring(path.GetString()).compare(0, prefix.size(), prefix), 0) << Narrow(path.GetString());
        EXPECT_TRUE(Exists(path.GetString()));
        EXPECT_TRUE(lqtest::ReadFileBytes(path.GetString()).empty());
    }
    EXPECT_TRUE(none.IsEmpty()); // a temporary folder that is gone gives no file
}

} // namespace
