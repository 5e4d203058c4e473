// The update check: reading the description, the package thread and the start of the updater.
#include "feeds/EngineMessages.h"
#include "tests/feeds/FeedTestHost.h"
#include "feeds/UpdateCheck.h"
#include "framework/win/Wnd.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using lqtest::Narrow;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class UpdateTest : public ::testing::Test
{
protected:
    lqtest::TempFolder m_folder;
    UpdateSandbox m_sandbox{m_folder};
};

// ---- The description

TEST_F(UpdateTest, DescriptionsInAnyCaseWithMissingOrRepeatedChildren)
{
    struct Case
    {
        const char* name;
        const char* xml;
        int dontInstall;
        bool offered;
        int version;
        const wchar_t* description;
        const wchar_t* file;
    };
    const Case cases[] = {
        {"upper",
         "<UPDATE><VERSION>17</VERSION><DESCRIPTION>New\nthings</DESCRIPTION><FILE>http://h/p.exe</FILE></UPDATE>", 0,
         true, 17, L"New\r\nthings", L"http://h/p.exe"},
        {"lower", "<update><version>18</version><description>d</description><file>https://h/p</file></update>", 0, true,
         18, L"d", L"https://h/p"},
        {"mixed", "<Update><Version>17</Version><Description>d</Description><File>http://h/q</File></Update>", 0, true,
         17, L"d", L"http://h/q"},
        {"equal to the build", "<UPDATE><VERSION>16</VERSION><FILE>http://h/p</FILE></UPDATE>", 0, false, 16, L"", L""},
        {"below the build", "<UPDATE><VERSION>9</VERSION><FILE>http://h/p</FILE></UPDATE>", 0, false, 9, L"", L""},
        {"declined", "<UPDATE><VERSION>17</VERSION><FILE>http://h/p</FILE></UPDATE>", 17, false, 17, L"", L""},
        {"newer than declined", "<UPDATE><VERSION>18</VERSION><FILE>http://h/p</FILE></UPDATE>", 17, true, 18, L"",
         L"http://h/p"},
        {"repeated: last wins",
         "<UPDATE><VERSION>30</VERSION><FILE>http://h/a</FILE><VERSION>19</VERSION><FILE>http://h/b</FILE>"
         "<DESCRIPTION>one</DESCRIPTION><description>two</description></UPDATE>",
         0, true, 19, L"two", L"http://h/b"},
        {"repeated version below declined",
         "<UPDATE><VERSION>30</VERSION><VERSION>17</VERSION><FILE>http://h/p</FILE></UPDATE>", 20, false, 17, L"", L""},
        {"no version", "<UPDATE><DESCRIPTION>d</DESCRIPTION><FILE>http://h/p</FILE></UPDATE>", 0, false, 0, L"", L""},
        {"no description", "<UPDATE><VERSION>17</VERSION><FILE>http://h/p</FILE></UPDATE>", 0, true, 17, L"",
         L"http://h/p"},
        {"no file", "<UPDATE><VERSION>17</VERSION><DESCRIPTION>d</DESCRIPTION></UPDATE>", 0, false, 17, L"", L""},
        {"script file", "<UPDATE><VERSION>17</VERSION><FILE>javascript:alert(1)</FILE></UPDATE>", 0, false, 17, L"",
         L""},
        {"version with a tail", "<UPDATE><VERSION>21beta</VERSION><FILE>http://h/p</FILE></UPDATE>", 0, true, 21, L"",
         L"http://h/p"},
        {"version not a number", "<UPDATE><VERSION>soon</VERSION><FILE>http://h/p</FILE></UPDATE>", 0, false, 0, L"",
         L""},
        {"other children ignored",
         "<UPDATE><NOTES>x</NOTES><VERSION>17</VERSION><FILE>http://h/p</FILE><VERSIONS>99</VERSIONS></UPDATE>", 0,
         true, 17, L"", L"http://h/p"},
    };
    for (const Case& c : cases) {
        if (c.dontInstall)
            theHost.WriteProfileInt(L"", L"DontInstall", c.dontInstall);
        else
            theHost.WriteProfileString(L"", L"DontInstall", nullptr);
        const std::wstring path = m_folder.File(L"testver.xml");
        ASSERT_TRUE(lqtest::WriteFileBytes(path, c.xml));
        CUpdateDescription update;
        update.m_strPath = path.c_str();
        EXPECT_EQ(update.ParseUpdateDescription() != FALSE, c.offered) << c.name;
        EXPECT_EQ(update.m_nVersion, c.version) << c.name;
        EXPECT_STREQ(update.m_strDescription.GetString(), c.description) << c.name;
        EXPECT_STREQ(update.m_strFile.GetString(), c.file) << c.name;
        EXPECT_FALSE(Exists(path)) << c.name << ": a description that was read is deleted";
    }
}

TEST_F(UpdateTest, AnUnreadableDescriptionStaysAndOffersNothing)
{
    const char* const texts[] = {
        "<NOTUPDATE><VERSION>99</VERSION><FILE>http://h/p</FILE></NOTUPDATE>",
        "<UPDATE><VERSION>99</VERSION><FILE>http://h/p</FILE>",
        "",
        "not xml at all",
    };
    for (const char* text : texts) {
        const std::wstring path = m_folder.File(L"testver.xml");
        ASSERT_TRUE(lqtest::WriteFileBytes(path, text));
        CUpdateDescription update;
        update.m_strPath = path.c_str();
        EXPECT_FALSE(update.ParseUpdateDescription()) << text;
        EXPECT_TRUE(Exists(path)) << text;
        EXPECT_TRUE(update.m_strFile.IsEmpty()) << text;
    }
    CUpdateDescription missing;
    missing.m_strPath = m_folder.File(L"absent.xml").c_str();
    EXPECT_FALSE(missing.ParseUpdateDescription());
}

TEST_F(UpdateTest, DecliningAVersionOffersOnlyNewerOnes)
{
    DeclineUpdate(17);
    EXPECT_EQ(theHost.GetProfileInt(L"", L"DontInstall", 0), 17u);
    for (int version : {17, 18}) {
        const std::wstring path = m_folder.File(L"testver.xml");
        const std::string xml =
            "<UPDATE><VERSION>" + std::to_string(version) + "</VERSION><FILE>http://h/p</FILE></UPDATE>";
        ASSERT_TRUE(lqtest::WriteFileBytes(path, xml));
        CUpdateDescription update;
        update.m_strPath = path.c_str();
        EXPECT_EQ(update.ParseUpdateDescription() != FALSE, version == 18) << version;
    }
}

// The digest is an element older versions pass over; only a well-formed SHA-256 value is taken.
TEST_F(UpdateTest, TheDescriptionGivesThePackageDigest)
{
    const std::string digest = "87CD3A06616A314493EDDEB1B458E30ED1EF5D4FE3A9DB45CFF659C68D6619C8";
    struct Case
    {
        std::string element;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"<SHA256> " + digest + "\n</SHA256>", L"87cd3a06616a314493eddeb1b458e30ed1ef5d4fe3a9db45cff659c68d6619c8"},
        {"<sha256>" + digest.substr(1) + "</sha256>", L""},
        {"<SHA256>" + digest.substr(1) + "g</SHA256>", L""},
        {"", L""},
    };
    for (const Case& c : cases) {
        const std::wstring path = m_folder.File(L"testver.xml");
        ASSERT_TRUE(lqtest::WriteFileBytes(
            path, "<UPDATE><VERSION>17</VERSION><FILE>https://updates.example/p.exe</FILE>" + c.element + "</UPDATE>"));
        CUpdateDescription update;
        update.m_strPath = path.c_str();
        EXPECT_TRUE(update.ParseUpdateDescription()) << c.element;
        EXPECT_STREQ(update.m_strDigest.GetString(), c.expected) << c.element;
    }
}

TEST(UpdatePackage, DigestIsTheFilesSha256)
{
    lqtest::TempFolder folder;
    struct Case
    {
        std::string bytes;
        const wchar_t* digest;
    } cases[] = {
        {"abc", L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"", L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {std::string(200000, 'a'), L"2287d207f24a941ff3b56c04c8a25ad56b63e3023207b3bb5b4ac0c9869d74be"},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder.File(L"package.bin");
        ASSERT_TRUE(lqtest::WriteFileBytes(path, c.bytes));
        EXPECT_STREQ(FileSha256(path.c_str()).GetString(), c.digest) << c.bytes.size();
    }
    EXPECT_TRUE(FileSha256(folder.File(L"absent.bin").c_str()).IsEmpty());
}

TEST_F(UpdateTest, OnlyHttpsPackagesFromTheUpdateHostAreTrusted)
{
    struct Case
    {
        const wchar_t* description;
        const wchar_t* package;
        bool trusted;
    } cases[] = {
        {L"https://updates.example/currentver.xml", L"https://updates.example/files/p.exe", true},
        {L"https://updates.example/currentver.xml", L"https://UPDATES.example/p.exe", true},
        {L"https://updates.example/currentver.xml", L"http://updates.example/p.exe", false},
        {L"https://updates.example/currentver.xml", L"https://elsewhere.example/p.exe", false},
        {L"https://updates.example/currentver.xml", L"https://updates.example:8443/p.exe", false},
        {L"https://updates.example/currentver.xml", L"https://updates.example.evil/p.exe", false},
        {L"http://updates.example/currentver.xml", L"https://updates.example/p.exe", false},
        {L"", L"https://updates.example/p.exe", false},
    };
    for (const Case& c : cases) {
        theHost.WriteProfileString(L"URLs", L"update", c.description);
        EXPECT_EQ(IsTrustedPackageUrl(c.package), c.trusted) << Narrow(c.description) << " " << Narrow(c.package);
    }
}

// ---- The package thread

// A main window that records WM_RUN_UPDATER.
class MainWindow
{
public:
    MainWindow()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LqUpdateTestMain";
        RegisterClassW(&wc);
        m_hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                 nullptr);
        s_received = -1;
        m_wnd.Attach(m_hwnd);
        m_saved = theHost.m_pMainWnd;
        theHost.m_pMainWnd = &m_wnd;
    }
    ~MainWindow()
    {
        theHost.m_pMainWnd = m_saved;
        m_wnd.Detach();
        DestroyWindow(m_hwnd);
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_RUN_UPDATER) {
            s_received = static_cast<int>(lParam);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    static int s_received; // -1 nothing yet

private:
    HWND m_hwnd;
    CWnd m_wnd;
    CWnd* m_saved;
};
int MainWindow::s_received = -1;

struct FakeDownload
{
    std::string bytes;
    bool announce = false;
    ULONGLONG announced = 0;
    INT_PTR result = IDOK;
};
FakeDownload g_fake;
std::wstring g_seenUrl;
std::vector<UINT> g_messages;

INT_PTR RunFakeDownload(CUpdateDownload& download)
{
    g_seenUrl = download.strUrl.GetString();
    lqtest::WriteFileBytes(download.strFile.GetString(), g_fake.bytes);
    download.bLengthKnown = g_fake.announce;
    download.nAnnounced = g_fake.announced;
    return g_fake.result;
}

void RecordMessage(UINT nID)
{
    g_messages.push_back(nID);
}

// "MZ" and 98 'x', the program the fake downloads deliver.
const wchar_t kProgramDigest[] = L"87cd3a06616a314493eddeb1b458e30ed1ef5d4fe3a9db45cff659c68d6619c8";
const wchar_t kPackageUrl[] = L"https://updates.example/pkg.exe";

LPVOID Order(const wchar_t* url, const wchar_t* digest)
{
    auto* order = new CUpdatePackageOrder;
    order->strUrl = url;
    order->strDigest = digest;
    return order;
}

class UpdateThreadTest : public UpdateTest
{
protected:
    void SetUp() override
    {
        UpdateTest::SetUp();
        m_savedRun = g_pfnRunUpdateDownload;
        m_savedMessage = g_pfnUpdateMessage;
        g_pfnUpdateMessage = RecordMessage;
        g_messages.clear();
    }
    void TearDown() override
    {
        g_pfnRunUpdateDownload = m_savedRun;
        g_pfnUpdateMessage = m_savedMessage;
        UpdateTest::TearDown();
    }
    PFN_RUN_UPDATE_DOWNLOAD m_savedRun = nullptr;
    PFN_UPDATE_MESSAGE m_savedMessage = nullptr;
};

TEST_F(UpdateThreadTest, OnlyACompleteVerifiedPackageIsReportedAsReady)
{
    const std::string program = "MZ" + std::string(98, 'x');
    struct Case
    {
        const char* name;
        FakeDownload fake;
        const wchar_t* url;
        const wchar_t* digest;
        int reported;
        bool fetched; // the download ran at all
        bool told;    // the user was told the package was not verified
    };
    const Case cases[] = {
        {"complete, length announced", {program, true, 100, IDOK}, kPackageUrl, kProgramDigest, 1, true, false},
        {"complete, no length announced", {program, false, 0, IDOK}, kPackageUrl, kProgramDigest, 1, true, false},
        {"digest in capitals",
         {program, true, 100, IDOK},
         kPackageUrl,
         L"87CD3A06616A314493EDDEB1B458E30ED1EF5D4FE3A9DB45CFF659C68D6619C8",
         1,
         true,
         false},
        {"truncated", {program.substr(0, 60), true, 100, IDOK}, kPackageUrl, kProgramDigest, 0, true, false},
        {"longer than announced", {program + "yy", true, 100, IDOK}, kPackageUrl, kProgramDigest, 0, true, false},
        {"empty", {"", false, 0, IDOK}, kPackageUrl, kProgramDigest, 0, true, false},
        {"not a program", {std::string(100, 'x'), true, 100, IDOK}, kPackageUrl, kProgramDigest, 0, true, false},
        {"cancelled", {program, true, 100, IDCANCEL}, kPackageUrl, kProgramDigest, 0, true, false},
        {"another digest", {program + "y", true, 101, IDOK}, kPackageUrl, kProgramDigest, 0, true, true},
        {"no digest", {program, true, 100, IDOK}, kPackageUrl, L"", 0, false, true},
        {"over http", {program, true, 100, IDOK}, L"http://updates.example/pkg.exe", kProgramDigest, 0, false, true},
        {"from another host",
         {program, true, 100, IDOK},
         L"https://mirror.example/pkg.exe",
         kProgramDigest,
         0,
         false,
         true},
    };
    g_pfnRunUpdateDownload = RunFakeDownload;
    MainWindow main;
    const std::wstring package = m_folder.File(L"lqupdate.exe");
    for (const Case& c : cases) {
        g_fake = c.fake;
        MainWindow::s_received = -1;
        g_seenUrl.clear();
        g_messages.clear();
        EXPECT_EQ(UpdateDownloadThreadProc(Order(c.url, c.digest)), 0u);
        EXPECT_EQ(MainWindow::s_received, c.reported) << c.name;
        EXPECT_EQ(Exists(package), c.reported == 1) << c.name << ": a package that cannot be run is removed";
        EXPECT_EQ(g_seenUrl, c.fetched ? std::wstring(c.url) : std::wstring()) << c.name;
        EXPECT_EQ(g_messages, c.told ? std::vector<UINT>{IDS_UPDATE_NOT_VERIFIED} : std::vector<UINT>()) << c.name;
        EXPECT_EQ(TakeCheckedUpdatePackage(), c.reported == 1) << c.name;
    }
}

TEST_F(UpdateThreadTest, TheStartedThreadReportsToTheMainWindow)
{
    g_fake = FakeDownload{"MZ-package", true, 10, IDOK};
    g_pfnRunUpdateDownload = RunFakeDownload;
    MainWindow main;
    CWinThread* thread = StartUpdateDownload(L"https://updates.example/started.exe",
                                             L"1800a1d920a967042b5f9498cf5dc91a6b6c838c1003bb4fd7f53a50117815be");
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(lqtest::PumpUntil([] { return MainWindow::s_received != -1; }));
    EXPECT_EQ(MainWindow::s_received, 1);
    EXPECT_EQ(g_seenUrl, L"https://updates.example/started.exe");
}

// The download dialog's transfer as the package thread runs it: only a complete program passes.
TEST_F(UpdateThreadTest, TheDownloadDialogAgainstTheLocalServer)
{
    if (lqtest::HttpPort() == 0)
        GTEST_SKIP() << "no local HTTP server";
    // A failed download reports itself in a message box; the download dialogs themselves end well before this.
    lqtest::ExpectModal failureMessages(3000);
    struct Case
    {
        std::wstring path;
        bool complete;
    };
    const Case cases[] = {
        {L"/files/feeds/fe4/package.bin", true},
        {L"/truncated/1000/500", false},
        {L"/text/300", false}, // complete, but not a program
        {L"/status/404", false},
    };
    for (const Case& c : cases) {
        CUpdateDownload download;
        download.strUrl = lqtest::HttpUrl(c.path).c_str();
        download.strFile = m_folder.File(L"lqupdate.exe").c_str();
        DeleteFileW(download.strFile);
        const bool complete = RunUpdateDownloadDialog(download) == IDOK && IsUpdatePackageComplete(download);
        EXPECT_EQ(complete, c.complete) << Narrow(c.path);
    }
}

// The dialog's transfer reports the length the server announced, so a package of another size is refused.
TEST_F(UpdateThreadTest, APackageOfAnotherSizeThanAnnouncedIsRefused)
{
    if (lqtest::HttpPort() == 0)
        GTEST_SKIP() << "no local HTTP server";
    const std::string served = lqtest::ReadFileBytes(lqtest::SourcePath(L"feeds\\fe4\\package.bin"));
    ASSERT_GT(served.size(), 2u);
    CUpdateDownload download;
    download.strUrl = lqtest::HttpUrl(L"/files/feeds/fe4/package.bin").c_str();
    download.strFile = m_folder.File(L"lqupdate.exe").c_str();
    ASSERT_EQ(RunUpdateDownloadDialog(download), IDOK);
    EXPECT_TRUE(download.bLengthKnown);
    EXPECT_EQ(download.nAnnounced, served.size());
    EXPECT_TRUE(IsUpdatePackageComplete(download));

    ASSERT_TRUE(lqtest::WriteFileBytes(download.strFile.GetString(), served + "tail"));
    EXPECT_FALSE(IsUpdatePackageComplete(download));
    ASSERT_TRUE(lqtest::WriteFileBytes(download.strFile.GetString(), served.substr(0, served.size() - 1)));
    EXPECT_FALSE(IsUpdatePackageComplete(download));
}

// ---- Starting the updater

std::wstring g_launchedProgram, g_launchedParameters;
BOOL RecordLaunch(LPCWSTR program, LPCWSTR parameters)
{
    g_launchedProgram = program;
    g_launchedParameters = parameters;
    return TRUE;
}

TEST_F(UpdateThreadTest, TheUpdaterStartsOnlyOnTheVerifiedPackage)
{
    const PFN_LAUNCH_PROGRAM saved = g_pfnLaunchProgram;
    g_pfnLaunchProgram = RecordLaunch;
    g_pfnRunUpdateDownload = RunFakeDownload;
    const std::wstring updater = GetUpdaterProgramPath().GetString();
    const std::wstring package = m_folder.File(L"lqupdate.exe");
    const std::string program = "MZ" + std::string(98, 'x');
    WCHAR self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);

    struct Case
    {
        const char* name;
        bool complete, haveUpdater;
        const char* replacedBy; // what lies there after the check: null the package as checked, "" nothing
        bool launched;
    };
    const Case cases[] = {
        {"ready", true, true, nullptr, true},
        {"not complete", false, true, nullptr, false},
        {"no updater", true, false, nullptr, false},
        {"no package", true, true, "", false},
        {"replaced by another program", true, true, "MZ another", false},
        {"replaced by a page", true, true, "<html>", false},
    };
    for (const Case& c : cases) {
        g_fake = FakeDownload{program, true, 100, IDOK};
        ASSERT_EQ(UpdateDownloadThreadProc(Order(kPackageUrl, kProgramDigest)), 0u);
        ASSERT_TRUE(Exists(package)) << c.name;
        if (c.replacedBy && !*c.replacedBy) {
            DeleteFileW(package.c_str());
        } else if (c.replacedBy) {
            ASSERT_TRUE(lqtest::WriteFileBytes(package, c.replacedBy));
        }
        if (c.haveUpdater) {
            ASSERT_TRUE(lqtest::WriteFileBytes(updater, "MZ updater"));
        } else {
            DeleteFileW(updater.c_str());
        }
        g_launchedProgram.clear();
        EXPECT_EQ(RunUpdater(c.complete) != FALSE, c.launched) << c.name;
        EXPECT_EQ(!g_launchedProgram.empty(), c.launched) << c.name;
        if (c.launched) {
            EXPECT_EQ(g_launchedProgram, updater);
            EXPECT_EQ(g_launchedParameters, L"\"" + package + L"\" \"" + self + L"\"");
        }
    }
    // Without a download of ours that checked it, a package lying there is never run.
    g_fake = FakeDownload{program, true, 100, IDCANCEL};
    UpdateDownloadThreadProc(Order(kPackageUrl, kProgramDigest));
    ASSERT_TRUE(lqtest::WriteFileBytes(package, program));
    ASSERT_TRUE(lqtest::WriteFileBytes(updater, "MZ updater"));
    g_launchedProgram.clear();
    EXPECT_FALSE(RunUpdater(TRUE));
    EXPECT_TRUE(g_launchedProgram.empty());
    DeleteFileW(updater.c_str());
    g_pfnLaunchProgram = saved;
}

} // namespace
