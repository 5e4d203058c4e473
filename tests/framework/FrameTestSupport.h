// Helpers of the frame, status-bar and splitter tests: a message pump that pre-translates like the
// application's loop, and keyboard and mouse input through SendInput.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/win/WinThread.h"
#include "framework/win/Wnd.h"

namespace frametest {

// Dispatches this thread's messages through the thread's pre-translation (accelerators, the frame's walk)
// until cond() holds or timeoutMs pass; returns cond().
inline bool PumpTranslatedUntil(const std::function<bool()>& cond, DWORD timeoutMs = 5000)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            CWinThread* pThread = AfxGetThread();
            if (pThread == nullptr || !pThread->PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (cond())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return cond();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline void SendKey(WORD vk, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(INPUT));
}

// Presses and releases vk with Ctrl held.
inline void SendCtrlKey(WORD vk)
{
    SendKey(VK_CONTROL, false);
    SendKey(vk, false);
    SendKey(vk, true);
    SendKey(VK_CONTROL, true);
}

// Mouse input at a screen point (absolute coordinates of the primary screen).
inline void SendMouse(POINT screen, DWORD flags)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(screen.x) * 65535 + (cx - 1) / 2) / (cx - 1));
    input.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(screen.y) * 65535 + (cy - 1) / 2) / (cy - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    ::SendInput(1, &input, sizeof(INPUT));
}

// The point's screen position and the client point hWnd sees it at.
inline POINT ClientToScreenPoint(HWND hWnd, int x, int y)
{
    POINT pt{x, y};
    ::ClientToScreen(hWnd, &pt);
    return pt;
}

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
