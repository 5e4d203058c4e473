#include "app/PodcastManager.h"

#include "app/MainFrm.h"
#include "companions/PodcastWnd.h"
#include "feeds/EngineContext.h"
#include "feeds/EnclosureJob.h"
#include "feeds/EngineMessages.h"
#include "feeds/FeedChannel.h"

namespace {

// Waits for the handle while answering the messages other threads send this one: the podcast thread may send the
// frame a message as it ends.
void WaitAnsweringSends(HANDLE handle)
{
    for (;;) {
        const DWORD result = ::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result != WAIT_OBJECT_0 + 1)
            return;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

CPodcastManager::CPodcastManager(CMainFrame& frame) : m_frame(frame) {}

CPodcastManager::~CPodcastManager()
{
    Stop();
}

CWnd* CPodcastManager::GetWindow() const
{
    return m_pThread ? &m_pThread->m_wnd : nullptr;
}

void CPodcastManager::Start()
{
    if (m_pThread)
        return;
    g_hPodcastExitEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CScopedKernelHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto* thread = new CPodcastThread(m_frame.GetSafeHwnd(), ready);
    // Suspended until its handle is copied: the object closes its own when it deletes itself.
    HANDLE ended = nullptr;
    const bool created = g_hPodcastExitEvent && ready && thread->CreateThread(CREATE_SUSPENDED);
    if (!created || !::DuplicateHandle(::GetCurrentProcess(), thread->m_hThread, ::GetCurrentProcess(), &ended,
                                       SYNCHRONIZE, FALSE, 0)) {
        if (created) {
            // Never run: its procedure would delete the object.
            ::TerminateThread(thread->m_hThread, 0);
            ::WaitForSingleObject(thread->m_hThread, INFINITE);
        }
        delete thread;
        if (g_hPodcastExitEvent)
            ::CloseHandle(g_hPodcastExitEvent);
        g_hPodcastExitEvent = nullptr;
        return;
    }
    m_hThreadEnded.Attach(ended);
    thread->ResumeThread();
    const HANDLE waits[] = {ready.Get(), g_hPodcastExitEvent};
    // The window is there before the frame sends it anything; a thread that could not make it has ended.
    for (;;) {
        const DWORD result = ::MsgWaitForMultipleObjects(2, waits, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0 + 2) {
            MSG msg;
            ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        if (result == WAIT_OBJECT_0 && thread->m_wnd.GetSafeHwnd()) {
            m_pThread = thread;
            return;
        }
        break;
    }
    // InitInstance failed: the thread object has gone (or goes) by itself.
    WaitForThread();
}

void CPodcastManager::WaitForThread()
{
    WaitAnsweringSends(m_hThreadEnded);
    m_hThreadEnded.Attach(nullptr);
    ::CloseHandle(g_hPodcastExitEvent);
    g_hPodcastExitEvent = nullptr;
}

void CPodcastManager::Stop()
{
    if (!m_pThread)
        return;
    if (const HWND hWnd = m_pThread->m_wnd.GetSafeHwnd())
        ::PostMessageW(hWnd, WM_REQUEST_CLOSE, 0, 0);
    WaitForThread();
    m_pThread = nullptr;
}

void CPodcastManager::SyncList()
{
    CWnd* wnd = GetWindow();
    if (!wnd || !wnd->GetSafeHwnd())
        return;
    if (GetEngineContext().m_settings.nPodcastMode == 0) {
        wnd->SendMessage(WM_PODCAST_ADD_ITEMS, 0, 1);
        return;
    }
    CPtrList jobs(10);
    if (CFeedChannel* main = m_frame.Lists().Main())
        main->CollectEnclosures(jobs, nullptr);
    if (CFeedChannel* custom = m_frame.Lists().Custom())
        custom->CollectEnclosures(jobs, nullptr);
    wnd->SendMessage(WM_PODCAST_ADD_ITEMS, reinterpret_cast<WPARAM>(&jobs), 1);
    // Jobs the window did not take (it went meanwhile) are ours to free.
    while (!jobs.IsEmpty())
        delete static_cast<CEnclosureJob*>(jobs.RemoveHead());
}
