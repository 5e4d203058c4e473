// Helpers of the command bar tests: plain windows to host bars, a recorder of the messages a window gets, and a
// fixture with a frame and a toolbar.
#pragma once

#include "framework/win/Dc.h"
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <windows.h>

#include <gtest/gtest.h>

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

// A bar docked at the top of its parent that lays its controls out in one row, as a toolbar does.
class CTestToolBar : public CXTPCommandBar
{
public:
    CTestToolBar() { SetBarPosition(xtpBarTop); }
    BOOL CreateBar(CWnd* pParent, const RECT& rect, UINT nID = 100)
    {
        return CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW)), L"",
                        WS_CHILD | WS_VISIBLE, rect, pParent, nID);
    }
    void OnRecalcLayout() override
    {
        if (m_hWnd == nullptr)
            return;
        CClientDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        GetControls()->CalcDynamicSize(&dc, rc.Width(), LM_HORZDOCK | LM_HORZ | LM_COMMIT,
                                       GetPaintManager()->GetBorders(this));
        Invalidate(FALSE);
    }
};

// A shown frame of class TFrame, the application's main window and the site of the command bars, with a toolbar
// of those bars across its top; all of it is taken down after the test.
template <class TFrame> class BarFrameTest : public ::testing::Test
{
protected:
    explicit BarFrameTest(const wchar_t* pszAppName) : m_app(pszAppName) {}

    void CreateFrameAndBar(const wchar_t* pszCaption, const RECT& rcFrame, int nBarWidth)
    {
        m_pFrame = new TFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, pszCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, rcFrame));
        m_app.m_pMainWnd = m_pFrame;
        m_pCommandBars->SetSite(m_pFrame);
        m_bar.SetCommandBars(m_pCommandBars);
        ASSERT_TRUE(m_bar.CreateBar(m_pFrame, CRect(0, 0, nBarWidth, 30)));
    }
    void DestroyFrameAndBar()
    {
        m_bar.EndTracking();
        m_bar.DestroyWindow();
        m_bar.SetCommandBars(nullptr);
        m_pCommandBars->InternalRelease();
        m_app.m_pMainWnd = nullptr;
        m_pFrame->DestroyWindow();
        lqtest::PumpPending();
        lqtest::DropQuitMessages();
    }

    CWinApp m_app;
    TFrame* m_pFrame = nullptr; // deletes itself with its window
    CXTPCommandBars* m_pCommandBars = new CXTPCommandBars;
    CTestToolBar m_bar;
};

inline POINT CenterOf(HWND hWnd)
{
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// Sends a move there without waiting for it (a step inside a loop under test).
inline void MoveMouseTo(POINT pt)
{
    lqtest::SendMouse(pt, 0);
}

using lqtest::SendClick;
using lqtest::WaitForCursor;

} // namespace cbtest
