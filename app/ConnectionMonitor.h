// The connection monitor: a thread that waits until the platform reports a new network connection and then tells
// the frame (WM_FRAME_EVENT, FRAME_EVENT_CONNECTED). When the platform refuses the notification the thread ends
// without a word and the program goes on as it was.
#pragma once

#include <windows.h>

#include "framework/core/ScopedHandles.h"
#include "framework/win/WinThread.h"

// The platform's connection notification (the dial-up service's, taken from "rasapi32.dll"): 0 when the event
// will be signalled at the next connection. Tests put their own in.
using PFN_CONNECTION_NOTIFICATION = DWORD(WINAPI*)(HANDLE hConnection, HANDLE hEvent, DWORD dwFlags);
extern PFN_CONNECTION_NOTIFICATION g_pfnConnectionNotification;

class CConnectionMonitor
{
public:
    CConnectionMonitor() = default;
    ~CConnectionMonitor();
    CConnectionMonitor(const CConnectionMonitor&) = delete;
    CConnectionMonitor& operator=(const CConnectionMonitor&) = delete;

    // Starts a monitor reporting to the window unless one runs already; false when none could start.
    bool Start(HWND hFrame);
    bool IsRunning() const;
    // Ends a waiting monitor without a report and waits for its thread, answering what is sent to this thread
    // meanwhile.
    void Stop();

private:
    static UINT AFX_CDECL ThreadProc(LPVOID pParam);
    void Forget();

    CWinThread* m_pThread = nullptr;
    CScopedKernelHandle m_hStop;
};

// Waits until the handle is signalled or the time is up, answering the messages other threads send to this one
// (a thread that is sending to us would otherwise wait for us for ever). True when it was signalled.
bool WaitAnsweringSentMessages(HANDLE hObject, DWORD dwMilliseconds);
