// The application helper functions: filter text, browser command, file names, the list backup, icons, the
// browser menu entry, local time, the version class, the gradient and the XML node readers.
#include "tests/feeds/FeedTestHost.h"
#include "feeds/AppHelpers.h"
#include "feeds/XmlDom.h"
#include "tests/framework/MemoryCanvas.h"
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

// ---- Quick-filter text

TEST(FilterText, SectionsAppearOnlyForWordsGiven)
{
    struct Case
    {
        const wchar_t *andWords, *orWords, *notWords, *text;
    };
    const Case cases[] = {
        {L"a b", nullptr, L"c", L"#AND#a b#/AND##NOT#c#/NOT#"},
        {L"x", L"y z", L"w", L"#AND#x#/AND##OR#y z#/OR##NOT#w#/NOT#"},
        {L"", L"only", L"", L"#OR#only#/OR#"},
        {nullptr, nullptr, nullptr, L""},
        {L"#/AND#", nullptr, nullptr, L"#AND##/AND##/AND#"}, // the words are not escaped
    };
    for (const Case& c : cases)
        EXPECT_STREQ(BuildFilterText(c.andWords, c.orWords, c.notWords).GetString(), c.text);
}

TEST(FilterText, ParsingFillsOnlyTheSectionsPresent)
{
    CString andWords = L"keep-and", orWords = L"keep-or", notWords = L"keep-not";
    EXPECT_TRUE(ParseFilterTerms(L"#OR#x#/OR#", andWords, orWords, notWords));
    EXPECT_STREQ(andWords.GetString(), L"keep-and");
    EXPECT_STREQ(orWords.GetString(), L"x");
    EXPECT_STREQ(notWords.GetString(), L"keep-not");

    // A round trip, and a section without its closing tag, which counts as missing.
    ParseFilterTerms(BuildFilterText(L"one two", L"three", L"four"), andWords, orWords, notWords);
    EXPECT_STREQ(andWords.GetString(), L"one two");
    EXPECT_STREQ(orWords.GetString(), L"three");
    EXPECT_STREQ(notWords.GetString(), L"four");
    ParseFilterTerms(L"#AND#new#/AND##NOT#open", andWords, orWords, notWords);
    EXPECT_STREQ(andWords.GetString(), L"new");
    EXPECT_STREQ(notWords.GetString(), L"four");
}

// ---- Default browser

TEST(BrowserCommand, ProgramPathIsTakenOutOfTheCommand)
{
    struct Case
    {
        const wchar_t *value, *command;
    };
    const Case cases[] = {
        {L"\"C:\\Program Files\\Browser\\browser.exe\" -nohome", L"C:\\Program Files\\Browser\\browser.exe"},
        {L"\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"", L"C:\\windows\\system32\\winebrowser.exe"},
        {L"C:\\Browser\\browser.exe -url \"%1\"", L"C:\\Browser\\browser.exe"},
        {L"C:\\Browser\\browser.exe", L"C:\\Browser\\browser.exe"},
        {L"browser.exe -new", L"browser.exe -new"}, // no folder: nothing to cut at
        {L"\"C:\\odd.exe", L"\"C:\\odd.exe"},       // one quote only
        {L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.value));
        EXPECT_STREQ(ExtractBrowserCommand(c.value).GetString(), c.command);
    }
}

TEST(BrowserCommand, ReadsThePlatformsHttpHandler)
{
    // The Wine prefix's handler is its own browser launcher.
    EXPECT_EQ(GetDefaultBrowserCommand().CompareNoCase(L"C:\\windows\\system32\\winebrowser.exe"), 0)
        << Narrow(GetDefaultBrowserCommand().GetString());
}

namespace {
CString g_launched;
int g_launches = 0;
bool RecordLaunch(const CString& address)
{
    g_launched = address;
    ++g_launches;
    return true;
}
} // namespace

TEST(BrowserLaunch, OnlyCheckedAddressesReachTheLauncher)
{
    struct Case
    {
        const wchar_t* address;
        bool opened;
    };
    const Case cases[] = {
        {L"http://example.org/item?id=1#top", true},
        {L"HTTPS://Example.org", true},
        {L"ftp://files.example.org/a.mp3", true},
        {L"mailto:editor@example.org", true},
        {L"javascript:alert(1)", false},
        {L"file:///C:/windows/system32/calc.exe", false},
        {L"C:\\windows\\notepad.exe", false},
        {L"\\\\server\\share\\x.exe", false},
        {L"feed://example.org/rss", false},
        {L"news:comp.lang", false},
        {L"/relative/page.html", false},
        {L"http:relative", false},
        {L"http:///no-host", false},
        {L"http://example.org/a b", false},    // a blank could start another argument
        {L"http://example.org/\"--x", false},  // so could a quote
        {L"http://example.org/\x2028", false}, // invisible separators
        {L" http://example.org/", false},
        {L"mailto:", false},
        {L"", false},
    };
    const BrowserLauncher previous = SetBrowserLauncher(RecordLaunch);
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.address));
        g_launches = 0;
        g_launched.Empty();
        EXPECT_EQ(OpenInBrowser(c.address), c.opened);
        EXPECT_EQ(g_launches, c.opened ? 1 : 0);
        EXPECT_STREQ(g_launched.GetString(), c.opened ? c.address : L"");
    }
    CString tooLong = L"http://example.org/";
    while (tooLong.GetLength() <= 2083)
        tooLong += L"aaaaaaaaaa";
    EXPECT_FALSE(OpenInBrowser(tooLong));
    EXPECT_EQ(SetBrowserLauncher(previous), RecordLaunch);
}

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

// ---- Icons

TEST(IconLocation, FileAndIndexSplitAtTheFirstComma)
{
    struct Case
    {
        const wchar_t *location, *file;
        int index;
    };
    const Case cases[] = {
        {L"C:\\windows\\system32\\shell32.dll,3", L"C:\\windows\\system32\\shell32.dll", 3},
        {L"C:\\icons\\feed.ico", L"C:\\icons\\feed.ico", 0},
        {L"player.exe,-101", L"player.exe", -101},
        {L"a,b,2", L"a", 0},
        {L"", L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.location));
        CString file = L"old";
        int index = 99;
        SplitIconLocation(c.location, file, index);
        EXPECT_STREQ(file.GetString(), c.file);
        EXPECT_EQ(index, c.index);
    }
}

class MimeIconTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"MIME\\Database\\Content Type\\application/x-lanternquill-test");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"MIME\\Database\\Content Type\\application/x-lanternquill-bare");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".lqtest");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Lanternquill.TestFile");
    }
    static void SetValue(LPCWSTR key, LPCWSTR name, LPCWSTR value)
    {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(WCHAR)));
        RegCloseKey(handle);
    }
};

TEST_F(MimeIconTest, IconComesFromTheTypesFileClass)
{
    SetValue(L"MIME\\Database\\Content Type\\application/x-lanternquill-test", L"Extension", L".lqtest");
    SetValue(L"MIME\\Database\\Content Type\\application/x-lanternquill-bare", L"Extension", L".lqbare");
    SetValue(L".lqtest", nullptr, L"Lanternquill.TestFile");
    SetValue(L"Lanternquill.TestFile\\DefaultIcon", nullptr, L"C:\\windows\\system32\\shell32.dll,3");

    HICON icon = GetMimeTypeIcon(L"application/x-lanternquill-test");
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);

    // A type the database does not know, and one whose extension has no file class.
    EXPECT_EQ(GetMimeTypeIcon(L"application/x-lanternquill-unknown"), nullptr);
    EXPECT_EQ(GetMimeTypeIcon(L"application/x-lanternquill-bare"), nullptr);
    EXPECT_EQ(GetMimeTypeIcon(L""), nullptr);
}

// ---- Browser menu entry

TEST(BrowserMenuExtension, EntryPointsAtTheInstalledScriptAndIsRemoved)
{
    theHost.SetRegistryKey(L"Lanternquill Tests");
    theHost.WriteProfileString(L"", L"Install_Dir", L"C:\\Program Files\\Lanternquill");
    const wchar_t key[] = L"Software\\Microsoft\\Internet Explorer\\MenuExt\\Subscribe to...";

    ASSERT_TRUE(RegisterBrowserMenuExtension(true));
    WCHAR value[MAX_PATH] = L"";
    DWORD bytes = sizeof(value);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &bytes), ERROR_SUCCESS);
    EXPECT_STREQ(value, L"C:\\Program Files\\Lanternquill\\feedscript.htm");

    EXPECT_TRUE(RegisterBrowserMenuExtension(false));
    HKEY handle = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle), ERROR_SUCCESS);
    EXPECT_TRUE(RegisterBrowserMenuExtension(false)); // nothing left to remove
    theHost.WriteProfileString(L"", L"Install_Dir", nullptr);
}

// ---- Local time

// Central European time: UTC+1, and UTC+2 from the last Sunday of March (01:00 UTC) to the last Sunday of
// October (01:00 UTC).
TIME_ZONE_INFORMATION CentralEurope()
{
    TIME_ZONE_INFORMATION zone{};
    zone.Bias = -60;
    zone.StandardBias = 0;
    zone.DaylightBias = -60;
    zone.StandardDate.wMonth = 10;
    zone.StandardDate.wDay = 5; // the last
    zone.StandardDate.wDayOfWeek = 0;
    zone.StandardDate.wHour = 3;
    zone.DaylightDate.wMonth = 3;
    zone.DaylightDate.wDay = 5;
    zone.DaylightDate.wDayOfWeek = 0;
    zone.DaylightDate.wHour = 2;
    return zone;
}

TEST(LocalTime, EachDateTakesTheBiasOfItsOwnSeason)
{
    struct Case
    {
        int utc[5]; // year, month, day, hour, minute
        int local[5];
    };
    const Case cases[] = {
        {{2021, 1, 15, 12, 0}, {2021, 1, 15, 13, 0}},
        {{2021, 7, 15, 12, 0}, {2021, 7, 15, 14, 0}},
        {{2021, 3, 28, 0, 59}, {2021, 3, 28, 1, 59}}, // just before the change to summer time
        {{2021, 3, 28, 1, 0}, {2021, 3, 28, 3, 0}},   // at it
        {{2021, 10, 31, 0, 59}, {2021, 10, 31, 2, 59}},
        {{2021, 10, 31, 1, 0}, {2021, 10, 31, 2, 0}}, // back to winter time
        {{2021, 12, 31, 23, 30}, {2022, 1, 1, 0, 30}},
    };
    const TIME_ZONE_INFORMATION zone = CentralEurope();
    for (const Case& c : cases) {
        const COleDateTime utc(c.utc[0], c.utc[1], c.utc[2], c.utc[3], c.utc[4], 0);
        const COleDateTime expected(c.local[0], c.local[1], c.local[2], c.local[3], c.local[4], 0);
        const COleDateTime local = ToLocalTime(&utc, zone);
        EXPECT_EQ(local, expected) << Narrow(utc.Format(L"%Y-%m-%d %H:%M").GetString()) << " gave "
                                   << Narrow(local.Format(L"%Y-%m-%d %H:%M").GetString());
    }
}

TEST(LocalTime, NoDateGivesZeroAndZonesWithoutDaylightTimeUseTheirBias)
{
    const COleDateTime none = ToLocalTime(nullptr);
    EXPECT_EQ(none.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(static_cast<DATE>(none), 0.0);

    TIME_ZONE_INFORMATION india{};
    india.Bias = -330;
    const COleDateTime utc(2021, 7, 1, 20, 0, 0);
    EXPECT_EQ(ToLocalTime(&utc, india), COleDateTime(2021, 7, 2, 1, 30, 0));
}

// ---- Version class and gradient

TEST(VersionClass, VersionsMapToTheirClasses)
{
    struct Case
    {
        DWORD platform, major, minor;
        int versionClass;
    };
    const Case cases[] = {
        {VER_PLATFORM_WIN32s, 3, 1, WINVER_CLASS_WIN32S},
        {VER_PLATFORM_WIN32_NT, 4, 0, WINVER_CLASS_NT4},
        {VER_PLATFORM_WIN32_NT, 5, 0, WINVER_CLASS_WIN2000},
        {VER_PLATFORM_WIN32_NT, 5, 1, WINVER_CLASS_WINXP},
        {VER_PLATFORM_WIN32_NT, 5, 2, WINVER_CLASS_NT_OTHER},
        {VER_PLATFORM_WIN32_NT, 6, 1, WINVER_CLASS_NT_OTHER},
        {VER_PLATFORM_WIN32_NT, 3, 51, WINVER_CLASS_NT_OTHER},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, WINVER_CLASS_WIN95},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, WINVER_CLASS_WIN98},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, WINVER_CLASS_WINME},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyWindowsVersion(c.platform, c.major, c.minor), c.versionClass)
            << c.platform << " " << c.major << "." << c.minor;
    // The test prefix reports a later NT version.
    EXPECT_EQ(GetWindowsVersionClass(), WINVER_CLASS_NT_OTHER);
}

TEST(Gradient, LaterNtVersionsDrawTheGradient)
{
    // The test prefix is a later NT version: its class is the one NT 3.x shares, yet it draws gradients.
    ASSERT_EQ(GetWindowsVersionClass(), WINVER_CLASS_NT_OTHER);
    ASSERT_TRUE(SystemDrawsGradients());
    for (BOOL vertical : {FALSE, TRUE}) {
        lqtest::MemoryCanvas canvas(40, 20);
        const RECT rect = {5, 2, 35, 18};
        EXPECT_TRUE(FillGradientRect(&canvas.Dc(), rect, RGB(200, 30, 10), RGB(10, 30, 200), vertical));
        // The first colour at the start edge, the second at the far one.
        const COLORREF start = GetPixel(canvas.Dc(), 5, 2);
        const COLORREF end = vertical ? GetPixel(canvas.Dc(), 5, 17) : GetPixel(canvas.Dc(), 34, 2);
        EXPECT_NEAR(GetRValue(start), 200, 20);
        EXPECT_NEAR(GetBValue(start), 10, 20);
        EXPECT_NEAR(GetRValue(end), 10, 20);
        EXPECT_NEAR(GetBValue(end), 200, 20);
        EXPECT_EQ(GetPixel(canvas.Dc(), 35, 10), RGB(255, 255, 255));
        EXPECT_EQ(GetPixel(canvas.Dc(), 4, 10), RGB(255, 255, 255));
    }
    EXPECT_FALSE(FillGradientRect(nullptr, RECT{0, 0, 1, 1}, 0, 0, FALSE));
}

// ---- XML nodes

TEST(XmlNodes, NameAndTextOfANode)
{
    XmlDom::DocumentPtr doc = XmlDom::CreateDocument();
    ASSERT_TRUE(doc);
    XmlDom::Bstr xml(L"<rss><title>Daily <b>news</b></title><dc:date xmlns:dc=\"urn:dc\">2021</dc:date></rss>");
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(doc->loadXML(xml, &ok), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE);
    XmlDom::ElementPtr root;
    ASSERT_EQ(doc->get_documentElement(root.Receive()), S_OK);
    XmlDom::NodePtr title = XmlDom::FirstChild(root.Get());
    XmlDom::NodePtr date = XmlDom::NextSibling(title.Get());
    EXPECT_STREQ(GetXmlNodeName(title.Get()).GetString(), L"title");
    EXPECT_STREQ(GetXmlNodeText(title.Get()).GetString(), L"Daily news");
    EXPECT_STREQ(GetXmlNodeName(date.Get()).GetString(), L"dc:date");
    EXPECT_STREQ(GetXmlNodeText(date.Get()).GetString(), L"2021");
    EXPECT_TRUE(GetXmlNodeName(nullptr).IsEmpty());
    EXPECT_TRUE(GetXmlNodeText(nullptr).IsEmpty());
}

} // namespace
