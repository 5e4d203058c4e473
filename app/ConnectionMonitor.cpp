#include "app/ConnectionMonitor.h"

#include "app/AppMessages.h"

namespace {

DWORD WINAPI PlatformConnectionNotification(HANDLE hConnection, HANDLE hEvent, DWORD dwFlags)
{
    using PFN = DWORD(WINAPI*)(HANDLE, HANDLE, DWORD);
    CScopedModule ras(::LoadLibraryW(L"rasapi32.dll"));
    if (!ras)
        return ERROR_MOD_NOT_FOUND;
    auto notify = reinterpret_cast<PFN>(reinterpret_cast<void*>(::GetProcAddress(ras, "RasConnectionNotificationA")));
    const DWORD result = notify ? notify(hConnection, hEvent, dwFlags) : ERROR_PROC_NOT_FOUND;
    // The library stays loaded while a notification is registered with it.
    if (result == 0)
        ras.Detach();
    return result;
}

struct MonitorStart
{
    HWND hFrame;
    HANDLE hStop;
};

} // namespace

PFN_CONNECTION_NOTIFICATION g_pfnConnectionNotification = PlatformConnectionNotification;

UINT AFX_CDECL CConnectionMonitor::ThreadProc(LPVOID pParam)
{
    const MonitorStart start = *static_cast<MonitorStart*>(pParam);
    delete static_cast<MonitorStart*>(pParam);
    const CScopedKernelHandle connected(::CreateEventW(nullptr, TRUE, FALSE, L"Connect"));
    if (!connected)
        return 0;
    const DWORD kRasConnection = 1;
    if (g_pfnConnectionNotification(INVALID_HANDLE_VALUE, connected, kRasConnection) == 0) {
        HANDLE waits[] = {connected, start.hStop};
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0)
            ::SendMessageW(start.hFrame, WM_FRAME_EVENT, FRAME_EVENT_CONNECTED, 0);
    }
    return 0;
}

CConnectionMonitor::~CConnectionMonitor()
{
    Stop();
}

bool CConnectionMonitor::IsRunning() const
{
    return m_pThread && ::WaitForSingleObject(m_pThread->m_hThread, 0) == WAIT_TIMEOUT;
}

bool CConnectionMonitor::Start(HWND hFrame)
{
    if (IsRunning())
        return false;
    Forget();
    m_hStop.Attach(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_hStop)
        return false;
    auto* start = new MonitorStart{hFrame, m_hStop.Get()};
    m_pThread = AfxBeginThread(ThreadProc, start, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pThread) {
        delete start;
        Forget();
        return false;
    }
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    return true;
}

void CConnectionMonitor::Stop()
{
    if (m_pThread) {
        ::SetEvent(m_hStop);
        WaitAnsweringSentMessages(m_pThread->m_hThread, INFINITE);
    }
    Forget();
}

void CConnectionMonitor::Forget()
{
    delete m_pThread;
    m_pThread = nullptr;
    m_hStop.Close();
}

bool WaitAnsweringSentMessages(HANDLE hObject, DWORD dwMilliseconds)
{
    const DWORD started = ::GetTickCount();
    for (;;) {
        DWORD left = INFINITE;
        if (dwMilliseconds != INFINITE) {
            const DWORD spent = ::GetTickCount() - started;
            left = spent >= dwMilliseconds ? 0 : dwMilliseconds - spent;
        }
        const DWORD wait = ::MsgWaitForMultipleObjectsEx(1, &hObject, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (wait == WAIT_OBJECT_0)
            return true;
        if (wait != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
