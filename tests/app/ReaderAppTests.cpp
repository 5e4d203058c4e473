// The application object's own state: settings read from a seeded profile, the unsubscribed list's byte format,
// the temporary folder's preparation and emptying, and the per-user feed: protocol keys.
#include "app/ReaderApp.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using lqtest::ReadFileBytes;
using lqtest::TempFolder;
using lqtest::WriteFileBytes;

const wchar_t kTestCompany[] = L"LanternquillTests";

class ReaderAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedSettings = theApp.m_settings;
        m_savedFolder = theApp.m_strDataFolder;
        theApp.m_strDataFolder = m_folder.Path().c_str();
        // The framework owns the name's memory and frees it at exit.
        if (!theApp.m_pszAppName)
            theApp.m_pszAppName = _wcsdup(L"Lanternquill");
        theApp.SetRegistryKey(kTestCompany);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\LanternquillTests");
    }
    void TearDown() override
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\LanternquillTests");
        theApp.m_settings = m_savedSettings;
        theApp.m_strDataFolder = m_savedFolder;
        theApp.m_unsubscribed.RemoveAll();
    }

    TempFolder m_folder;
    CReaderSettings m_savedSettings;
    CString m_savedFolder;
};

TEST_F(ReaderAppTest, SettingsComeFromTheProfileOverTheDefaults)
{
    theApp.WriteProfileInt(L"", L"ViewStyle", 1);
    theApp.WriteProfileInt(L"Connection", L"Max", 7);
    theApp.WriteProfileInt(L"Connection", L"Proxy", 3);
    theApp.WriteProfileString(L"Connection", L"ProxyServer", L"proxy.example:8080");
    theApp.WriteProfileString(L"Connection", L"ProxyUser", L"someone with a very long name past forty-eight chars");
    theApp.WriteProfileInt(L"", L"ReportStat", 1);
    theApp.m_settings.bStatsEnabled = 1;
    theApp.ReadSettings();
    const CReaderSettings& s = theApp.m_settings;
    EXPECT_EQ(s.nViewStyle, 1);
    EXPECT_EQ(s.nView, 2);
    EXPECT_EQ(s.nLeftArrows, 1);
    EXPECT_EQ(s.nTimeout, 40);
    EXPECT_EQ(s.nMaxConnections, 7);
    EXPECT_EQ(s.nProxyMode, 3);
    EXPECT_STREQ(s.szProxyServer, L"proxy.example:8080");
    EXPECT_EQ(std::wstring(s.szProxyUser).size(), 47u); // cut to its buffer
    EXPECT_EQ(s.nReportStat, 1);
    EXPECT_EQ(s.nHideReadChannels, 1);

    // A branding without statistics turns the consent off whatever the profile says; a named proxy without a
    // server is no proxy.
    theApp.WriteProfileString(L"Connection", L"ProxyServer", L"");
    theApp.m_settings.bStatsEnabled = 0;
    theApp.ReadSettings();
    EXPECT_EQ(s.nReportStat, 0);
    EXPECT_EQ(s.nProxyMode, 0);
}

// The framework's archive of a string list: a 16-bit count, then each string as 0xFF, 0xFFFE (UTF-16), a length
// byte and the code units.
TEST_F(ReaderAppTest, TheUnsubscribedListKeepsItsByteFormat)
{
    theApp.m_unsubscribed.AddTail(L"http://a.example/rss");
    theApp.m_unsubscribed.AddTail(L"\x00e9");
    ASSERT_TRUE(theApp.SaveUnsubscribed());
    std::string expected("\x02\x00", 2);
    expected += std::string("\xFF\xFE\xFF\x14", 4);
    for (char c : std::string("http://a.example/rss"))
        expected += std::string(1, c) + std::string(1, '\0');
    expected += std::string("\xFF\xFE\xFF\x01\xE9\x00", 6);
    EXPECT_EQ(ReadFileBytes(m_folder.File(L"unsubdump")), expected);

    theApp.m_unsubscribed.RemoveAll();
    theApp.LoadUnsubscribed();
    ASSERT_EQ(theApp.m_unsubscribed.GetCount(), 2);
    EXPECT_STREQ(theApp.m_unsubscribed.GetTail().GetString(), L"\x00e9");
}

TEST_F(ReaderAppTest, AMissingOrDamagedListLoadsEmpty)
{
    theApp.m_unsubscribed.AddTail(L"stale");
    theApp.LoadUnsubscribed(); // no file
    EXPECT_EQ(theApp.m_unsubscribed.GetCount(), 0);

    // Three strings announced, one and a half there.
    std::string cut("\x03\x00\xFF\xFE\xFF\x01\x61\x00\xFF\xFE\xFF\x05\x62\x00", 14);
    ASSERT_TRUE(WriteFileBytes(m_folder.File(L"unsubdump"), cut));
    theApp.LoadUnsubscribed();
    EXPECT_EQ(theApp.m_unsubscribed.GetCount(), 0);
}

TEST(TempFolderTest, AnEarlierRunsFilesGoAtStartAndEverythingAtExit)
{
    TempFolder base;
    const CString folder = PrepareTempFolder(base.Path().c_str());
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_EQ(folder, CString((base.Path() + L"\\LanternquillT").c_str()));
    ASSERT_TRUE(WriteFileBytes(std::wstring(folder) + L"\\page.htm", "x"));
    ASSERT_TRUE(::CreateDirectoryW(folder + L"\\images", nullptr));
    ASSERT_TRUE(WriteFileBytes(std::wstring(folder) + L"\\images\\a.gif", "x"));

    EXPECT_EQ(PrepareTempFolder(base.Path().c_str()), folder);
    EXPECT_EQ(::GetFileAttributesW(folder + L"\\page.htm"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesW(folder + L"\\images\\a.gif"), INVALID_FILE_ATTRIBUTES);

    EmptyFolder(folder);
    EXPECT_EQ(::GetFileAttributesW(folder + L"\\images"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesW(folder), INVALID_FILE_ATTRIBUTES);

    // A base that cannot hold the folder, and a file in the folder's place.
    EXPECT_TRUE(PrepareTempFolder((base.Path() + L"\\missing\\deeper").c_str()).IsEmpty());
    TempFolder blocked;
    ASSERT_TRUE(WriteFileBytes(blocked.File(L"LanternquillT"), "a file"));
    EXPECT_TRUE(PrepareTempFolder(blocked.Path().c_str()).IsEmpty());
    EXPECT_EQ(ReadFileBytes(blocked.File(L"LanternquillT")), "a file");
}

TEST(FeedProtocolTest, KeysArePerUserAndWrittenOnlyWhenTheyDiffer)
{
    // The tests' own profile: a start of the program may have registered it already.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");

    EXPECT_EQ(RegisterFeedProtocol(L"C:\\Programs\\Lanternquill.exe"), 4);
    WCHAR command[256] = L"";
    LONG size = sizeof(command);
    ASSERT_EQ(::RegQueryValueW(HKEY_CURRENT_USER, L"Software\\Classes\\feed\\shell\\open\\command", command, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(command, L"\"C:\\Programs\\Lanternquill.exe\" \"%1\"");
    EXPECT_EQ(RegisterFeedProtocol(L"C:\\Programs\\Lanternquill.exe"), 0);
    // Moved: only the two values naming the program change.
    EXPECT_EQ(RegisterFeedProtocol(L"D:\\Lanternquill.exe"), 2);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
}

} // namespace
