// The update check: reading the description, the package thread and the start of the updater.
#include "feeds/EngineMessages.h"
#include "tests/feeds/FeedTestHost.h"
#include "feeds/UpdateCheck.h"
#include "framework/win/Wnd.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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

INT_PTR RunFakeDownload(CUpdateDownload& download)
{
    g_seenUrl = download.strUrl.GetString();
    lqtest::WriteFileBytes(download.strFile.GetString(), g_fake.bytes);
    download.bLengthKnown = g_fake.announce;
    download.nAnnounced = g_fake.announced;
    return g_fake.result;
}

class UpdateThreadTest : public UpdateTest
{
protected:
    void SetUp() override
    {
        UpdateTest::SetUp();
        m_savedRun = g_pfnRunUpdateDownload;
    }
    void TearDown() override
    {
        g_pfnRunUpdateDownload = m_savedRun;
        UpdateTest::TearDown();
    }
    PFN_RUN_UPDATE_DOWNLOAD m_savedRun = nullptr;
};

TEST_F(UpdateThreadTest, OnlyACompletePackageIsReportedAsReady)
{
    const std::string program = "MZ" + std::string(98, 'x');
    struct Case
    {
        const char* name;
        FakeDownload fake;
        int reported;
    };
    const Case cases[] = {
        {"complete, length announced", {program, true, 100, IDOK}, 1},
        {"complete, no length announced", {program, false, 0, IDOK}, 1},
        {"truncated", {program.substr(0, 60), true, 100, IDOK}, 0},
        {"longer than announced", {program + "yy", true, 100, IDOK}, 0},
        {"empty", {"", false, 0, IDOK}, 0},
        {"not a program", {std::string(100, 'x'), true, 100, IDOK}, 0},
        {"cancelled", {program, true, 100, IDCANCEL}, 0},
    };
    g_pfnRunUpdateDownload = RunFakeDownload;
    MainWindow main;
    const std::wstring package = m_folder.File(L"lqupdate.exe");
    for (const Case& c : cases) {
        g_fake = c.fake;
        MainWindow::s_received = -1;
        EXPECT_EQ(UpdateDownloadThreadProc(_wcsdup(L"http://127.0.0.1/pkg.exe")), 0u);
        EXPECT_EQ(MainWindow::s_received, c.reported) << c.name;
        EXPECT_EQ(Exists(package), c.reported == 1) << c.name << ": an incomplete package is removed";
        EXPECT_EQ(g_seenUrl, L"http://127.0.0.1/pkg.exe");
    }
}

TEST_F(UpdateThreadTest, TheStartedThreadReportsToTheMainWindow)
{
    g_fake = FakeDownload{"MZ-package", true, 10, IDOK};
    g_pfnRunUpdateDownload = RunFakeDownload;
    MainWindow main;
    CWinThread* thread = StartUpdateDownload(L"http://127.0.0.1/started.exe");
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(lqtest::PumpUntil([] { return MainWindow::s_received != -1; }));
    EXPECT_EQ(MainWindow::s_received, 1);
    EXPECT_EQ(g_seenUrl, L"http://127.0.0.1/started.exe");
}

TEST_F(UpdateThreadTest, TheDownloadDialogAgainstTheLocalServer)
{
    if (lqtest::HttpPort() == 0)
        GTEST_SKIP() << "no local HTTP server";
    g_pfnRunUpdateDownload = RunUpdateDownloadDialog;
    // A failed download reports itself in a message box; the download dialogs themselves end well before this.
    lqtest::ExpectModal failureMessages(3000);
    MainWindow main;
    struct Case
    {
        std::wstring path;
        int reported;
    };
    const Case cases[] = {
        {L"/files/feeds/fe4/package.bin", 1},
        {L"/truncated/1000/500", 0},
        {L"/text/300", 0}, // complete, but not a program
        {L"/status/404", 0},
    };
    for (const Case& c : cases) {
        MainWindow::s_received = -1;
        UpdateDownloadThreadProc(_wcsdup(lqtest::HttpUrl(c.path).c_str()));
        EXPECT_EQ(MainWindow::s_received, c.reported) << Narrow(c.path);
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

TEST_F(UpdateTest, TheUpdaterStartsOnlyWithAProgramAndACompletePackage)
{
    const PFN_LAUNCH_PROGRAM saved = g_pfnLaunchProgram;
    g_pfnLaunchProgram = RecordLaunch;
    const std::wstring updater = GetUpdaterProgramPath().GetString();
    const std::wstring package = m_folder.File(L"lqupdate.exe");
    WCHAR self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);

    struct Case
    {
        const char* name;
        bool complete, haveUpdater;
        const char* packageBytes; // null: no package
        bool launched;
    };
    const Case cases[] = {
        {"ready", true, true, "MZ package", true},
        {"not complete", false, true, "MZ package", false},
        {"no updater", true, false, "MZ package", false},
        {"no package", true, true, nullptr, false},
        {"package is not a program", true, true, "<html>", false},
    };
    for (const Case& c : cases) {
        DeleteFileW(package.c_str());
        if (c.packageBytes) {
            ASSERT_TRUE(lqtest::WriteFileBytes(package, c.packageBytes));
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
    DeleteFileW(updater.c_str());
    g_pfnLaunchProgram = saved;
}

} // namespace
