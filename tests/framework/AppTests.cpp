// The application object: profile calls, the process entry, globals that find the application and its main
// window, window classes.
#include "framework/Afx.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

const wchar_t kCompany[] = L"LanternquillFrameworkTests";

std::wstring UniqueAppName()
{
    return L"AppTest" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(::GetTickCount64());
}

// Removes the test's company key when the test ends.
struct CompanyKeyCleanup
{
    ~CompanyKeyCleanup() { ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kCompany).c_str()); }
};

std::wstring ReadRawString(const std::wstring& subKey, const wchar_t* value)
{
    wchar_t buffer[256] = {};
    DWORD bytes = sizeof(buffer);
    if (::RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), value, RRF_RT_REG_SZ, nullptr, buffer, &bytes) !=
        ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

TEST(WinAppProfile, ProfileCallsGoUnderTheCompanyKeyAndTheApplicationsName)
{
    CompanyKeyCleanup cleanup;
    const std::wstring name = UniqueAppName();
    CWinApp app(name.c_str());
    EXPECT_EQ(&app, AfxGetApp());
    EXPECT_EQ(0, app.GetProfileInt(L"S", L"v", 0) + 0) << "nothing is stored before a company key is set";
    EXPECT_FALSE(app.WriteProfileInt(L"S", L"v", 1));

    app.SetRegistryKey(kCompany);
    EXPECT_STREQ(kCompany, app.m_pszRegistryKey);
    EXPECT_STREQ(name.c_str(), app.m_pszProfileName) << "the profile name is the application's name at that time";

    EXPECT_TRUE(app.WriteProfileInt(L"Connection", L"Max", 4));
    EXPECT_TRUE(app.WriteProfileString(L"", L"Country", L"NZ"));
    EXPECT_TRUE(app.WriteProfileString(L"Podcasting\\Items", L"file", L"a.mp3"));
    BYTE blob[] = {1, 2, 3, 0, 255};
    EXPECT_TRUE(app.WriteProfileBinary(L"Bars", L"Layout", blob, sizeof(blob)));

    EXPECT_EQ(4u, app.GetProfileInt(L"Connection", L"Max", 0));
    EXPECT_EQ(17u, app.GetProfileInt(L"Connection", L"Missing", 17));
    EXPECT_EQ(CString(L"NZ"), app.GetProfileString(L"", L"Country"));
    EXPECT_EQ(CString(L"dflt"), app.GetProfileString(L"Nowhere", L"x", L"dflt"));
    LPBYTE data = nullptr;
    UINT bytes = 0;
    ASSERT_TRUE(app.GetProfileBinary(L"Bars", L"Layout", &data, &bytes));
    ASSERT_EQ(sizeof(blob), bytes);
    EXPECT_EQ(0, memcmp(blob, data, bytes));
    delete[] data;

    // Where the values really went.
    const std::wstring appKey = std::wstring(L"Software\\") + kCompany + L"\\" + name;
    EXPECT_EQ(L"NZ", ReadRawString(appKey, L"Country")) << "section \"\" is the application's key itself";
    EXPECT_EQ(L"a.mp3", ReadRawString(appKey + L"\\Podcasting\\Items", L"file"));

    HKEY hSection = app.GetSectionKey(L"Connection");
    ASSERT_NE(nullptr, hSection);
    DWORD value = 0;
    DWORD size = sizeof(value);
    EXPECT_EQ(ERROR_SUCCESS,
              ::RegQueryValueExW(hSection, L"Max", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(4u, value);
    ::RegCloseKey(hSection);

    // A program may replace the profile name directly, as the framework's own fields allow.
    free(const_cast<LPTSTR>(app.m_pszProfileName));
    app.m_pszProfileName = _wcsdup(L"Other");
    EXPECT_TRUE(app.WriteProfileInt(L"", L"moved", 1));
    EXPECT_EQ(1u, app.GetProfileInt(L"", L"moved", 0));
    HKEY hOther = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              ::RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kCompany + L"\\Other").c_str(), 0,
                              KEY_READ, &hOther));
    if (hOther != nullptr)
        ::RegCloseKey(hOther);
}

TEST(WinAppGlobals, TheApplicationIsFoundFromEveryThreadWithItsMainWindow)
{
    EXPECT_EQ(nullptr, AfxGetApp());
    {
        CWinApp app(L"GlobalsTest");
        CWnd main;
        ASSERT_TRUE(main.CreateEx(0, nullptr, L"main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
        app.m_pMainWnd = &main;
        EXPECT_EQ(&app, AfxGetThread());
        EXPECT_EQ(&main, AfxGetMainWnd());
        EXPECT_STREQ(L"GlobalsTest", AfxGetAppName());

        CWnd* seenMain = nullptr;
        CWinThread* seenThread = nullptr;
        CWnd* workerOwner = reinterpret_cast<CWnd*>(1);
        std::thread worker([&] {
            seenMain = AfxGetMainWnd();
            seenThread = AfxGetThread();
            workerOwner = CWnd::GetSafeOwner();
        });
        worker.join();
        EXPECT_EQ(&main, seenMain) << "a thread without a main window falls back to the application's";
        EXPECT_EQ(&app, seenThread);
        EXPECT_EQ(nullptr, workerOwner) << "a worker's modal windows are not owned by another thread's window";
        EXPECT_EQ(&main, CWnd::GetSafeOwner());

        // Destroying the application's main window ends its loop: a quit message is waiting.
        main.DestroyWindow();
        EXPECT_EQ(nullptr, app.m_pMainWnd);
        MSG msg;
        EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    EXPECT_EQ(nullptr, AfxGetApp());
    EXPECT_EQ(nullptr, AfxGetThread());
}

TEST(WinAppGlobals, ASecondApplicationObjectStandsInUntilItEnds)
{
    CWinApp first(L"First");
    {
        CWinApp second(L"Second");
        EXPECT_EQ(&second, AfxGetApp());
        EXPECT_EQ(&second, AfxGetThread());
    }
    EXPECT_EQ(&first, AfxGetApp());
    EXPECT_EQ(&first, AfxGetThread());
}

class CEntryApp : public CWinApp
{
public:
    explicit CEntryApp(BOOL bInitSucceeds) : CWinApp(L"EntryTest"), m_bInitSucceeds(bInitSucceeds) {}
    BOOL InitInstance() override
    {
        ++m_initCalls;
        if (!m_bInitSucceeds)
            return FALSE;
        if (!m_main.CreateEx(0, nullptr, L"entry", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr))
            return FALSE;
        m_pMainWnd = &m_main;
        m_main.PostMessage(WM_CLOSE);
        return TRUE;
    }
    int ExitInstance() override
    {
        ++m_exitCalls;
        return CWinApp::ExitInstance() + 40;
    }

    BOOL m_bInitSucceeds;
    int m_initCalls = 0;
    int m_exitCalls = 0;
    CWnd m_main;
};

TEST(WinAppEntry, WinMainRunsTheApplicationUntilItsMainWindowCloses)
{
    struct Case
    {
        BOOL initSucceeds;
        int expectedResult;
    };
    wchar_t cmdLine[] = L"/background feed://x";
    for (const Case c : {Case{TRUE, 40}, Case{FALSE, 40}}) {
        CEntryApp app(c.initSucceeds);
        HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
        EXPECT_EQ(c.expectedResult, AfxWinMain(hInstance, nullptr, cmdLine, SW_SHOWMINNOACTIVE));
        EXPECT_EQ(1, app.m_initCalls);
        EXPECT_EQ(1, app.m_exitCalls);
        EXPECT_EQ(hInstance, app.m_hInstance);
        EXPECT_EQ(hInstance, AfxGetInstanceHandle());
        EXPECT_EQ(cmdLine, app.m_lpCmdLine);
        EXPECT_EQ(SW_SHOWMINNOACTIVE, app.m_nCmdShow);
        EXPECT_EQ(nullptr, app.m_main.m_hWnd);
    }
}

TEST(WinAppResources, IconsAndCursorsComeFromTheResourceModuleOrTheSystem)
{
    CWinApp app(L"ResourcesTest");
    EXPECT_NE(nullptr, app.LoadIcon(128)) << "the program's main icon";
    EXPECT_EQ(nullptr, app.LoadIcon(54321));
    EXPECT_EQ(::LoadCursorW(nullptr, IDC_SIZEWE), app.LoadStandardCursor(IDC_SIZEWE));
    EXPECT_EQ(nullptr, app.LoadCursor(54321)) << "a program cursor is never a system one";
}

TEST(WinAppClasses, RegisteredClassesAreSharedByEqualAttributes)
{
    HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    LPCTSTR first = AfxRegisterWndClass(CS_DBLCLKS, arrow);
    LPCTSTR second = AfxRegisterWndClass(CS_DBLCLKS, arrow);
    LPCTSTR other = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW, arrow);
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ(first, second);
    EXPECT_STRNE(first, other);
    WNDCLASSW wc{};
    ASSERT_TRUE(::GetClassInfoW(AfxGetInstanceHandle(), first, &wc));
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), wc.style);
    EXPECT_EQ(arrow, wc.hCursor);

    // A window of such a class still has its object see WM_CREATE.
    class CCreateSeen : public CWnd
    {
    public:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_CREATE)
                m_created = true;
            return CWnd::WindowProc(message, wParam, lParam);
        }
        bool m_created = false;
    } wnd;
    ASSERT_TRUE(wnd.CreateEx(0, first, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_TRUE(wnd.m_created);
    wnd.DestroyWindow();
}

} // namespace
