// Helpers of the frame, status-bar and splitter tests: a message pump that pre-translates like the
// application's loop, and the shared keyboard and mouse input.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/win/WinThread.h"
#include "framework/win/Wnd.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

namespace frametest {

// Dispatches this thread's messages through the thread's pre-translation (accelerators, the frame's walk)
// until cond() holds or timeoutMs pass; returns cond().
inline bool PumpTranslatedUntil(const std::function<bool()>& cond, DWORD timeoutMs = 5000)
{
    return lqtest::PumpUntil(cond, timeoutMs, [](MSG& msg) {
        CWinThread* pThread = AfxGetThread();
        return pThread != nullptr && pThread->PreTranslateMessage(&msg);
    });
}

// The shared input helpers, under the names these tests know them by.
using lqtest::ClientToScreenPoint;
using lqtest::SendCtrlKey;
using lqtest::SendKey;
using lqtest::SendMouse;

inline RECT RectInParent(HWND hWnd)
{
    RECT rect;
    ::GetWindowRect(hWnd, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Brings a top-level window to the front with the keyboard focus, as a user's click would.
inline bool Activate(HWND hWnd)
{
    ::SetForegroundWindow(hWnd);
    ::SetActiveWindow(hWnd);
    return PumpTranslatedUntil([&] { return ::GetForegroundWindow() == hWnd && ::GetActiveWindow() == hWnd; });
}

} // namespace frametest
