// Helpers of the command bar tests: plain windows to host bars, and a recorder of the messages a window gets.
#pragma once

#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/TestSupport.h"

#include <windows.h>

#include <vector>

namespace cbtest {

// A top-level window of its own class that counts the mouse messages it receives.
class CHostWnd : public CWnd
{
public:
    BOOL CreateHost(const RECT& rect, DWORD dwStyle = WS_POPUP | WS_VISIBLE | WS_BORDER)
    {
        LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                                reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        return CreateEx(0, lpszClass, L"Host", dwStyle, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, nullptr, nullptr);
    }

    std::vector<UINT> m_messages;

    int Count(UINT nMessage) const
    {
        int n = 0;
        for (UINT m : m_messages)
            n += m == nMessage;
        return n;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSELEAVE)
            m_messages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

inline POINT CenterOf(HWND hWnd)
{
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

inline void MoveMouseTo(POINT pt)
{
    frametest::SendMouse(pt, 0);
}

inline void Click(POINT pt, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP)
{
    frametest::SendMouse(pt, 0);
    frametest::SendMouse(pt, down);
    frametest::SendMouse(pt, up);
}

// Waits until the cursor reached a point sent with SendInput, so that later checks see it there.
inline bool WaitForCursor(POINT pt)
{
    return lqtest::PumpUntil([&] {
        POINT now;
        ::GetCursorPos(&now);
        return now.x == pt.x && now.y == pt.y;
    });
}

} // namespace cbtest
