// Worker and user-interface threads: start-up, the message loop with idle update, and how each kind ends.
#include "framework/Afx.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// A thread handle of our own, valid after the thread object deleted itself.
HANDLE DuplicateThreadHandle(HANDLE hThread)
{
    HANDLE copy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), hThread, ::GetCurrentProcess(), &copy,
                      SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, 0);
    return copy;
}

DWORD WaitForExit(HANDLE hThread)
{
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(hThread, 10000));
    DWORD code = 0xDEAD;
    ::GetExitCodeThread(hThread, &code);
    ::CloseHandle(hThread);
    return code;
}

struct WorkerData
{
    std::atomic<bool> ran{false};
    std::atomic<DWORD> threadId{0};
    std::atomic<CWinThread*> seenThread{nullptr};
    bool endEarly = false;
};

UINT AFX_CDECL WorkerProc(LPVOID pParam)
{
    auto* data = static_cast<WorkerData*>(pParam);
    data->threadId = ::GetCurrentThreadId();
    data->seenThread = AfxGetThread();
    data->ran = true;
    if (data->endEarly)
        AfxEndThread(9, FALSE);
    return 5;
}

TEST(WorkerThread, StartsSuspendedWithItsPriorityAndReportsItsExitCode)
{
    struct Case
    {
        bool endEarly;
        DWORD expectedCode;
    };
    for (const Case c : {Case{false, 5}, Case{true, 9}}) {
        WorkerData data;
        data.endEarly = c.endEarly;
        CWinThread* pThread = AfxBeginThread(WorkerProc, &data, THREAD_PRIORITY_BELOW_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(nullptr, pThread);
        pThread->m_bAutoDelete = FALSE;
        EXPECT_NE(nullptr, pThread->m_hThread);
        EXPECT_NE(0u, pThread->m_nThreadID);
        EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, pThread->GetThreadPriority());
        EXPECT_FALSE(data.ran) << "a suspended thread waits for ResumeThread";
        EXPECT_EQ(1u, pThread->ResumeThread());
        EXPECT_EQ(c.expectedCode, WaitForExit(DuplicateThreadHandle(pThread->m_hThread)));
        EXPECT_EQ(pThread->m_nThreadID, data.threadId.load());
        EXPECT_EQ(pThread, data.seenThread.load()) << "a worker's AfxGetThread is its own object";
        delete pThread;
    }
}

// ---- User-interface threads

const UINT kOffId = 10;     // its update handler disables it
const UINT kCommandId = 11; // has a command handler only
const UINT kOrphanId = 12;  // has nothing

struct UiShared
{
    std::atomic<HWND> mainWnd{nullptr};
    std::atomic<int> idleUpdates{0};
    std::atomic<int> states[3]{{-1}, {-1}, {-1}};
    std::atomic<bool> exitInstance{false};
    std::atomic<bool> deleted{false};
    std::atomic<bool> failInit{false};
    std::atomic<int> threadMessages{0};
};

class CToolbarLike : public CWnd
{
public:
    explicit CToolbarLike(UiShared* pShared) : m_pShared(pShared) {}
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
    {
        UpdateDialogControls(GetParent(), static_cast<BOOL>(wParam));
        const UINT ids[] = {kOffId, kCommandId, kOrphanId};
        for (int i = 0; i < 3; ++i)
            m_pShared->states[i] = ::IsWindowEnabled(::GetDlgItem(m_hWnd, static_cast<int>(ids[i]))) ? 1 : 0;
        ++m_pShared->idleUpdates;
        return 0;
    }
    UiShared* m_pShared;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CToolbarLike, CWnd)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

class CMainLike : public CWnd
{
public:
    void OnCommand11() {}
    void OnUpdateOff(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMainLike, CWnd)
ON_COMMAND(kCommandId, OnCommand11)
ON_UPDATE_COMMAND_UI(kOffId, OnUpdateOff)
END_MESSAGE_MAP()

class CTestUiThread : public CWinThread
{
public:
    explicit CTestUiThread(UiShared* pShared) : m_pShared(pShared), m_toolbar(pShared) {}
    ~CTestUiThread() override { m_pShared->deleted = true; }

    BOOL InitInstance() override
    {
        if (m_pShared->failInit)
            return FALSE;
        if (!m_main.CreateEx(0, nullptr, L"ui thread", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                             nullptr))
            return FALSE;
        m_toolbar.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 200, 30), &m_main, 0xE800);
        for (UINT id : {kOffId, kCommandId, kOrphanId})
            ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 20, 20, m_toolbar.m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
        m_pMainWnd = &m_main;
        m_pShared->mainWnd = m_main.m_hWnd;
        return TRUE;
    }
    int ExitInstance() override
    {
        m_pShared->exitInstance = true;
        return m_pShared->failInit ? 7 : CWinThread::ExitInstance();
    }
    void OnPing(WPARAM wParam, LPARAM)
    {
        ++m_pShared->threadMessages;
        if (wParam == 1)
            AfxPostQuitMessage(3);
    }

    UiShared* m_pShared;
    CMainLike m_main;
    CToolbarLike m_toolbar;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestUiThread, CWinThread)
ON_THREAD_MESSAGE(WM_APP + 50, OnPing)
END_MESSAGE_MAP()

TEST(UiThread, IdleUpdatesTheMainWindowsBarAndDestroyingTheMainWindowEndsTheThread)
{
    UiShared shared;
    auto* pThread = new CTestUiThread(&shared);
    ASSERT_TRUE(pThread->CreateThread(CREATE_SUSPENDED));
    HANDLE hThread = DuplicateThreadHandle(pThread->m_hThread);
    const DWORD threadId = pThread->m_nThreadID;
    pThread->ResumeThread();

    ASSERT_TRUE(lqtest::PumpUntil([&] { return shared.idleUpdates > 0; }));
    EXPECT_EQ(0, shared.states[0].load()) << "disabled by its update handler";
    EXPECT_EQ(1, shared.states[1].load()) << "enabled: a command handler exists";
    EXPECT_EQ(0, shared.states[2].load()) << "disabled: no handler at all";

    // Thread messages reach the thread object's own map.
    ::PostThreadMessageW(threadId, WM_APP + 50, 0, 0);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return shared.threadMessages == 1; }));

    ::PostMessageW(shared.mainWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(hThread));
    EXPECT_TRUE(shared.exitInstance);
    EXPECT_TRUE(shared.deleted) << "an auto-deleting thread object ends with its thread";
}

TEST(UiThread, AQuitMessageEndsTheLoopWithItsCodeAndTheWindowsGoWithTheObject)
{
    UiShared shared;
    auto* pThread = new CTestUiThread(&shared);
    // The main window is still open when the loop ends; deleting the thread object destroys it.
    ASSERT_TRUE(pThread->CreateThread());
    HANDLE hThread = DuplicateThreadHandle(pThread->m_hThread);
    const DWORD threadId = pThread->m_nThreadID;
    ASSERT_TRUE(lqtest::PumpUntil([&] { return shared.mainWnd.load() != nullptr; }));
    ::PostThreadMessageW(threadId, WM_APP + 50, 1, 0);
    EXPECT_EQ(3u, WaitForExit(hThread));
    EXPECT_TRUE(shared.deleted);
}

TEST(UiThread, AFailedInitInstanceEndsAndDeletesTheThread)
{
    UiShared shared;
    shared.failInit = true;
    auto* pThread = new CTestUiThread(&shared);
    ASSERT_TRUE(pThread->CreateThread(CREATE_SUSPENDED));
    HANDLE hThread = DuplicateThreadHandle(pThread->m_hThread);
    pThread->ResumeThread();
    EXPECT_EQ(7u, WaitForExit(hThread)) << "ExitInstance's result is the exit code";
    EXPECT_TRUE(shared.exitInstance);
    EXPECT_TRUE(shared.deleted);
    EXPECT_EQ(0, shared.idleUpdates.load());
}

std::atomic<int> g_createdThreads{0};

class CCreatedThread : public CWinThread
{
    DECLARE_DYNCREATE(CCreatedThread)

public:
    BOOL InitInstance() override
    {
        ++g_createdThreads;
        return FALSE;
    }
    int ExitInstance() override { return 12; }
};

IMPLEMENT_DYNCREATE(CCreatedThread, CWinThread)

TEST(UiThread, AThreadClassIsMadeFromItsRunTimeClass)
{
    g_createdThreads = 0;
    CWinThread* pThread = AfxBeginThread(RUNTIME_CLASS(CCreatedThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, pThread);
    EXPECT_TRUE(pThread->IsKindOf(RUNTIME_CLASS(CCreatedThread)));
    HANDLE hThread = DuplicateThreadHandle(pThread->m_hThread);
    pThread->ResumeThread();
    EXPECT_EQ(12u, WaitForExit(hThread));
    EXPECT_EQ(1, g_createdThreads.load());
    EXPECT_EQ(nullptr, AfxBeginThread(RUNTIME_CLASS(CWnd))) << "only thread classes make threads";
}

} // namespace
