// The usage log: its byte format, the entry counter across restarts, the encoder and the upload.
#include "tests/feeds/FeedTestHost.h"
#include "feeds/HttpFetch.h"
#include "feeds/UsageLog.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using lqtest::Narrow;
using lqtest::ReadFileBytes;

namespace {

SYSTEMTIME Day(WORD year, WORD month, WORD day)
{
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    return t;
}

const SYSTEMTIME kDate = Day(2005, 10, 18);

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class UsageLogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedFolder = theHost.m_strDataFolder;
        m_savedCount = theHost.m_nUsageEntries;
        theHost.m_strDataFolder = m_folder.Path().c_str();
        theHost.m_nUsageEntries = 0;
        theHost.SetRegistryKey(L"Lanternquill Tests");
        ClearValues();
    }
    void TearDown() override
    {
        ClearValues();
        theHost.m_strDataFolder = m_savedFolder;
        theHost.m_nUsageEntries = m_savedCount;
    }
    static void ClearValues()
    {
        for (LPCWSTR name : {L"BrandId", L"GUID", L"Country"})
            theHost.WriteProfileString(L"", name, nullptr);
        theHost.WriteProfileString(L"URLs", L"StatServer", nullptr);
    }
    std::wstring LogPath() const { return m_folder.File(L"reader.log"); }
    std::string Log() const { return ReadFileBytes(LogPath()); }

    lqtest::TempFolder m_folder;
    CString m_savedFolder;
    int m_savedCount = 0;
};

// ---- The log's bytes

TEST_F(UsageLogTest, DefaultsGiveTheDocumentedExample)
{
    ASSERT_TRUE(LogUsageOn(5, 6, L"My feed", kDate));
    ASSERT_TRUE(LogUsageOn(5, 6, L"My feed", kDate));
    EXPECT_EQ(Log(), "b=&r=0&c=0\r\n&t1=5&a1=6&d1=2005-10-18&i1=My+feed\r\n&t2=5&a2=6&d2=2005-10-18&i2=My+feed");
    EXPECT_EQ(theHost.m_nUsageEntries, 2);
}

TEST_F(UsageLogTest, SeveralEntriesMatchTheFixtureByteForByte)
{
    theHost.WriteProfileString(L"", L"BrandId", L"lq7");
    theHost.WriteProfileString(L"", L"GUID", L"{0A1B}");
    theHost.WriteProfileString(L"", L"Country", L"de");
    ASSERT_TRUE(LogUsageOn(5, 6, L"My feed", kDate));
    ASSERT_TRUE(LogUsageOn(3, 4, L"a b&c", kDate));
    ASSERT_TRUE(LogUsageOn(1, 1, L"Caf\u00e9\nmeny", kDate));
    EXPECT_EQ(Log(), ReadFileBytes(lqtest::SourcePath(L"feeds\\fe4\\reader-three-entries.log")));
    EXPECT_EQ(CountUsageEntries(), 3);
}

TEST_F(UsageLogTest, ARestartKeepsEveryEntryAndContinuesTheNumbers)
{
    const std::string before = ReadFileBytes(lqtest::SourcePath(L"feeds\\fe4\\reader-three-entries.log"));
    ASSERT_TRUE(lqtest::WriteFileBytes(LogPath(), before));
    theHost.m_nUsageEntries = 0; // a new run, before the feed worker recounted the log
    ASSERT_TRUE(LogUsageOn(5, 8, L"x", Day(2006, 1, 2)));
    EXPECT_EQ(Log(), before + "\r\n&t4=5&a4=8&d4=2006-01-02&i4=x");
    EXPECT_EQ(theHost.m_nUsageEntries, 4);
    ASSERT_TRUE(LogUsageOn(5, 9, L"y", Day(2006, 1, 2)));
    EXPECT_EQ(Log(), before + "\r\n&t4=5&a4=8&d4=2006-01-02&i4=x\r\n&t5=5&a5=9&d5=2006-01-02&i5=y");
}

TEST_F(UsageLogTest, AnEmptyLogGetsItsHeaderWhateverTheCounterSays)
{
    ASSERT_TRUE(lqtest::WriteFileBytes(LogPath(), ""));
    theHost.m_nUsageEntries = 7;
    ASSERT_TRUE(LogUsageOn(2, 3, L"t", kDate));
    EXPECT_EQ(Log(), "b=&r=0&c=0\r\n&t1=2&a1=3&d1=2005-10-18&i1=t");
    EXPECT_EQ(theHost.m_nUsageEntries, 1);
}

TEST_F(UsageLogTest, ALogThatCannotBeOpenedWritesNothing)
{
    theHost.m_strDataFolder = (m_folder.Path() + L"\\missing").c_str();
    theHost.m_nUsageEntries = 2;
    EXPECT_FALSE(LogUsageOn(1, 1, L"x", kDate));
    EXPECT_EQ(theHost.m_nUsageEntries, 2);
    EXPECT_FALSE(Exists(m_folder.Path() + L"\\missing\\reader.log"));

    theHost.m_strDataFolder = m_folder.Path().c_str();
    HANDLE locked = CreateFileW(LogPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(LogUsageOn(1, 1, L"x", kDate));
    CloseHandle(locked);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(theHost.m_nUsageEntries, 2);
}

TEST_F(UsageLogTest, TodayIsTheUtcDate)
{
    SYSTEMTIME before, after;
    GetSystemTime(&before);
    ASSERT_TRUE(LogUsage(1, 1, L"now"));
    GetSystemTime(&after);
    char expected[2][40];
    snprintf(expected[0], sizeof(expected[0]), "&d1=%04u-%02u-%02u&", before.wYear, before.wMonth, before.wDay);
    snprintf(expected[1], sizeof(expected[1]), "&d1=%04u-%02u-%02u&", after.wYear, after.wMonth, after.wDay);
    const std::string log = Log();
    EXPECT_TRUE(log.find(expected[0]) != std::string::npos || log.find(expected[1]) != std::string::npos) << log;
}

TEST_F(UsageLogTest, EntriesLoggedDuringAnAcceptedUploadStay)
{
    ASSERT_TRUE(LogUsageOn(5, 6, L"sent", kDate));
    const std::string sent = Log();
    ASSERT_TRUE(LogUsageOn(3, 4, L"late one", kDate));
    ASSERT_TRUE(LogUsageOn(3, 5, L"late two", kDate));
    FinishUsageUpload(USAGE_UPLOAD_ACCEPTED, sent);
    EXPECT_EQ(Log(), "b=&r=0&c=0\r\n&t1=3&a1=4&d1=2005-10-18&i1=late+one\r\n&t2=3&a2=5&d2=2005-10-18&i2=late+two");
    EXPECT_EQ(theHost.m_nUsageEntries, 2);
    ASSERT_TRUE(LogUsageOn(1, 1, L"next", kDate));
    EXPECT_EQ(CountUsageEntries(), 3);

    // Nothing logged meanwhile: the log goes.
    FinishUsageUpload(USAGE_UPLOAD_ACCEPTED, Log());
    EXPECT_FALSE(Exists(LogPath()));
    EXPECT_EQ(theHost.m_nUsageEntries, 0);
}

// ---- The encoder

TEST(UrlEncodeText, Table)
{
    struct Case
    {
        const wchar_t* text;
        const char* encoded;
    };
    const Case cases[] = {
        {L"", ""},
        {L"abcXYZ0189", "abcXYZ0189"},
        {L"a b&c", "a+b%26c"},
        {L"tab\there", "tab+here"},
        {L"\v\f", "++"},
        {L"one\ntwo", "one%0Atwo"},
        {L"\r\n", "%0D%0A"},
        {L"-_.~/?=%+", "%2D%5F%2E%7E%2F%3F%3D%25%2B"},
        {L"Caf\u00e9 \u00fcber", "Caf%E9+%FCber"}, // the ANSI code page (1252)
        {L"\u20ac5", "%805"},
        {L"\u65e5\u672c", "%3F%3F"}, // not in the code page
    };
    for (const Case& c : cases)
        EXPECT_STREQ(UrlEncodeText(c.text).GetString(), c.encoded) << Narrow(c.text);
}

// ---- The upload

class UsageUploadTest : public UsageLogTest
{
protected:
    void SetUp() override
    {
        UsageLogTest::SetUp();
        if (lqtest::HttpPort() == 0)
            GTEST_SKIP() << "no local HTTP server";
        ASSERT_TRUE(LogUsageOn(5, 6, L"My feed", kDate));
        ASSERT_TRUE(LogUsageOn(3, 4, L"a b", kDate));
    }
    static void SetServer(const std::wstring& url) { theHost.WriteProfileString(L"URLs", L"StatServer", url.c_str()); }
    // What the server kept of the last POST under the key; empty when nothing came.
    std::string Seen(const std::wstring& key)
    {
        const std::wstring file = m_folder.File(L"seen-" + key);
        if (DownloadUrlToFile(lqtest::HttpUrl(L"/stats-seen/" + key).c_str(), file.c_str(), nullptr, FALSE, nullptr,
                              nullptr, nullptr) != HTTP_FETCH_DONE)
            return std::string();
        return ReadFileBytes(file);
    }
    static std::wstring Key(const char* name)
    {
        return L"fe4-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::wstring(name, name + strlen(name));
    }
};

TEST_F(UsageUploadTest, AnAcceptedUploadSendsTheJoinedLinesAndDeletesTheLog)
{
    const std::wstring key = Key("accepted");
    SetServer(lqtest::HttpUrl(L"/stats/" + key + L"/200/1"));
    EXPECT_EQ(SendUsageLog(), USAGE_UPLOAD_ACCEPTED);
    EXPECT_FALSE(Exists(LogPath()));
    EXPECT_EQ(theHost.m_nUsageEntries, 0);
    EXPECT_EQ(Seen(key), "POST\napplication/x-www-form-urlencoded\n"
                         "b=&r=0&c=0&t1=5&a1=6&d1=2005-10-18&i1=My+feed&t2=3&a2=4&d2=2005-10-18&i2=a+b");
}

TEST_F(UsageUploadTest, OnlyTheAnswerOneIsAcceptance)
{
    struct Case
    {
        const char* name;
        std::wstring url;
        int result;
    };
    const Case cases[] = {
        {"one-crlf", lqtest::HttpUrl(L"/stats/" + Key("one-crlf") + L"/200/1%0D%0A"), USAGE_UPLOAD_REFUSED},
        {"zero", lqtest::HttpUrl(L"/stats/" + Key("zero") + L"/200/0"), USAGE_UPLOAD_REFUSED},
        {"empty", lqtest::HttpUrl(L"/stats/" + Key("empty") + L"/200"), USAGE_UPLOAD_REFUSED},
        {"not-found", lqtest::HttpUrl(L"/stats/" + Key("not-found") + L"/404/1"), USAGE_UPLOAD_REFUSED},
        {"server-error", lqtest::HttpUrl(L"/stats/" + Key("server-error") + L"/500/1"), USAGE_UPLOAD_REFUSED},
        {"refused", L"http://127.0.0.1:1/", USAGE_UPLOAD_REFUSED},
        {"bad-url", L"not a url", USAGE_UPLOAD_BAD_URL},
        {"empty-url", L"", USAGE_UPLOAD_NO_SERVICE},
        {"other-scheme", L"ftp://127.0.0.1/stats", USAGE_UPLOAD_BAD_URL},
    };
    const std::string log = Log();
    for (const Case& c : cases) {
        SetServer(c.url);
        theHost.m_nUsageEntries = 0;
        EXPECT_EQ(SendUsageLog(), c.result) << c.name;
        // Whatever went wrong, the log stays as it was and the counter is taken from it.
        EXPECT_EQ(Log(), log) << c.name;
        EXPECT_EQ(theHost.m_nUsageEntries, 2) << c.name;
    }
    EXPECT_NE(Seen(Key("not-found")), "");
}

// The statistics service is the build's address unless the profile names another; a build without one sends
// nothing and keeps the log, quietly.
TEST_F(UsageUploadTest, TheBuildsAddressIsTheDefaultAndWithoutOneNothingIsSent)
{
    const CString saved = theHost.m_strStatServerUrl;
    const std::string log = Log();
    theHost.m_strStatServerUrl.Empty();
    EXPECT_EQ(SendUsageLog(), USAGE_UPLOAD_NO_SERVICE);
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(theHost.m_nUsageEntries, 2);

    const std::wstring key = Key("default");
    theHost.m_strStatServerUrl = lqtest::HttpUrl(L"/stats/" + key + L"/200/1").c_str();
    EXPECT_STREQ(GetStatServerUrl(), theHost.m_strStatServerUrl);
    EXPECT_EQ(SendUsageLog(), USAGE_UPLOAD_ACCEPTED);
    EXPECT_NE(Seen(key), "");
    EXPECT_FALSE(Exists(LogPath()));
    theHost.m_strStatServerUrl = saved;
}

TEST_F(UsageUploadTest, NoLogMeansNothingToSendAndNoTraffic)
{
    ASSERT_TRUE(DeleteFileW(LogPath().c_str()));
    const std::wstring key = Key("no-log");
    SetServer(lqtest::HttpUrl(L"/stats/" + key + L"/200/0"));
    EXPECT_EQ(UploadUsageStats(), USAGE_UPLOAD_ACCEPTED);
    EXPECT_EQ(Seen(key), "");
}

} // namespace
