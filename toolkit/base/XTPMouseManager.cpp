#include "toolkit/base/XTPMouseManager.h"

#include "framework/win/Wnd.h"

#include <algorithm>

namespace {

// The last position the hook saw, kept between hook calls of every thread.
POINT g_ptLastHooked = {-1, -1};

bool IsMoveMessage(UINT nMessage)
{
    return nMessage == WM_MOUSEMOVE || nMessage == WM_NCMOUSEMOVE;
}

bool IsButtonPress(UINT nMessage)
{
    switch (nMessage) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

CXTPMouseManager* XTPMouseManager()
{
    thread_local CXTPMouseManager manager;
    return &manager;
}

CXTPMouseManager::CXTPMouseManager()
    : m_nLock(0), m_hHook(nullptr), m_pSelected(nullptr), m_hWndLeaveTrack(nullptr), m_bForceExpanded(FALSE),
      m_bIgnoreLButtonUp(FALSE)
{
    m_hHook = ::SetWindowsHookExW(WH_MOUSE, MouseProc, nullptr, ::GetCurrentThreadId());
}

CXTPMouseManager::~CXTPMouseManager()
{
    if (m_hHook != nullptr)
        ::UnhookWindowsHookEx(m_hHook);
    if (m_hWndLeaveTrack != nullptr && ::IsWindow(m_hWndLeaveTrack))
        ::KillTimer(m_hWndLeaveTrack, XTP_TID_MOUSELEAVE);
}

BOOL CXTPMouseManager::IsTrackedBar(const CXTPTrackingBar* pBar) const
{
    return pBar != nullptr && std::find(m_arrTracked.begin(), m_arrTracked.end(), pBar) != m_arrTracked.end();
}

void CXTPMouseManager::AddTrackingBar(CXTPTrackingBar* pBar)
{
    if (pBar == nullptr)
        return;
    if (m_arrTracked.empty() && m_pSelected != nullptr && m_pSelected != pBar)
        m_pSelected->ClearTrackingSelection();
    if (!IsTrackedBar(pBar))
        m_arrTracked.push_back(pBar);
}

void CXTPMouseManager::RemoveTrackingBar(CXTPTrackingBar* pBar)
{
    auto it = std::find(m_arrTracked.begin(), m_arrTracked.end(), pBar);
    if (it == m_arrTracked.end())
        return;
    m_arrTracked.erase(it);
    if (m_arrTracked.empty()) {
        // Setting the cursor where it is makes the platform send a fresh move to whatever lies under it now.
        POINT pt;
        if (::GetCursorPos(&pt))
            ::SetCursorPos(pt.x, pt.y);
        m_bIgnoreLButtonUp = FALSE;
        // A new tracking run starts short again.
        m_bForceExpanded = FALSE;
    }
}

void CXTPMouseManager::EndAllTracking()
{
    if (CXTPTrackingBar* pBar = GetFirstTrackedBar())
        pBar->LeaveTrackingMode();
}

void CXTPMouseManager::AddExtraWindow(HWND hWnd)
{
    if (hWnd != nullptr &&
        std::find(m_arrExtraWindows.begin(), m_arrExtraWindows.end(), hWnd) == m_arrExtraWindows.end())
        m_arrExtraWindows.push_back(hWnd);
}

void CXTPMouseManager::RemoveExtraWindow(HWND hWnd)
{
    m_arrExtraWindows.erase(std::remove(m_arrExtraWindows.begin(), m_arrExtraWindows.end(), hWnd),
                            m_arrExtraWindows.end());
}

BOOL CXTPMouseManager::IsTopParentActive(HWND hWnd)
{
    if (hWnd == nullptr)
        return FALSE;
    HWND hWndTop = hWnd;
    for (HWND hWndNext; (hWndNext = AfxGetParentOwner(hWndTop)) != nullptr;)
        hWndTop = hWndNext;
    return ::GetForegroundWindow() == ::GetLastActivePopup(hWndTop);
}

BOOL CXTPMouseManager::IsPointInTrackedBars(POINT pt) const
{
    HWND hWndPoint = ::WindowFromPoint(pt);
    for (CXTPTrackingBar* pBar : m_arrTracked) {
        HWND hWndBar = pBar->GetTrackingWindow();
        if (hWndBar == nullptr)
            continue;
        RECT rc;
        if (::IsChild(hWndBar, hWndPoint) || (::GetWindowRect(hWndBar, &rc) && ::PtInRect(&rc, pt)))
            return TRUE;
    }
    if (m_arrTracked.front()->IsTrackingCustomize()) {
        for (HWND hWnd : m_arrExtraWindows) {
            RECT rc;
            if (::IsWindow(hWnd) && ::GetWindowRect(hWnd, &rc) && ::PtInRect(&rc, pt))
                return TRUE;
        }
    }
    return FALSE;
}

BOOL CXTPMouseManager::ProcessMouseMessage(UINT nMessage, POINT pt)
{
    if (nMessage == WM_LBUTTONDOWN) {
        m_bIgnoreLButtonUp = FALSE;
    } else if (nMessage == WM_LBUTTONUP && m_bIgnoreLButtonUp) {
        m_bIgnoreLButtonUp = FALSE;
        return TRUE;
    }
    if (!m_arrTracked.empty() && IsMoveMessage(nMessage) && pt.x == g_ptLastHooked.x && pt.y == g_ptLastHooked.y)
        return TRUE;
    g_ptLastHooked = pt;

    if (m_arrTracked.empty() || IsPointInTrackedBars(pt))
        return FALSE;

    // Leaving tracking mode changes the list (popups close with their root): walk a copy and skip bars that
    // left it meanwhile, which may also be gone.
    const std::vector<CXTPTrackingBar*> bars = m_arrTracked;
    for (CXTPTrackingBar* pBar : bars) {
        if (!IsTrackedBar(pBar))
            continue;
        if (IsMoveMessage(nMessage)) {
            if (pBar->GetTrackingWindow() == nullptr)
                continue;
            POINT ptClient = pt;
            ::ScreenToClient(pBar->GetTrackingWindow(), &ptClient);
            pBar->OnTrackingMouseMove(ptClient);
        } else if (nMessage == WM_LBUTTONUP || nMessage == WM_NCLBUTTONUP) {
            if (m_nLock <= 0)
                pBar->LeaveTrackingMode();
        } else if (IsButtonPress(nMessage)) {
            pBar->LeaveTrackingMode();
        }
    }
    return FALSE;
}

LRESULT CALLBACK CXTPMouseManager::MouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CXTPMouseManager* pManager = XTPMouseManager();
    if (nCode == HC_ACTION) {
        const MOUSEHOOKSTRUCT* pHook = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        if (pManager->ProcessMouseMessage(static_cast<UINT>(wParam), pHook->pt))
            return 1;
    }
    return ::CallNextHookEx(pManager->m_hHook, nCode, wParam, lParam);
}

void CXTPMouseManager::TrackMouseLeave(HWND hWnd)
{
    // A destroyed window's handle may come back for a new one: only a live watch counts.
    if (hWnd == m_hWndLeaveTrack && ::IsWindow(hWnd))
        return;
    HWND hWndOld = m_hWndLeaveTrack;
    m_hWndLeaveTrack = nullptr;
    if (hWndOld != nullptr && ::IsWindow(hWndOld)) {
        ::KillTimer(hWndOld, XTP_TID_MOUSELEAVE);
        ::SendMessageW(hWndOld, WM_MOUSELEAVE, 0, 0);
    }
    if (hWnd == nullptr || !::IsWindow(hWnd))
        return;
    m_hWndLeaveTrack = hWnd;
    ::SetTimer(hWnd, XTP_TID_MOUSELEAVE, XTP_MOUSELEAVE_PERIOD, MouseLeaveTimerProc);
}

void CALLBACK CXTPMouseManager::MouseLeaveTimerProc(HWND hWnd, UINT, UINT_PTR, DWORD)
{
    XTPMouseManager()->OnMouseLeaveTimer(hWnd);
}

void CXTPMouseManager::OnMouseLeaveTimer(HWND hWnd)
{
    if (hWnd != m_hWndLeaveTrack) {
        // A watch that was replaced: its timer has no business running.
        ::KillTimer(hWnd, XTP_TID_MOUSELEAVE);
        return;
    }
    if (!::IsWindow(hWnd)) {
        m_hWndLeaveTrack = nullptr;
        return;
    }
    POINT pt;
    RECT rc;
    ::GetCursorPos(&pt);
    ::GetWindowRect(hWnd, &rc);
    if (::PtInRect(&rc, pt) && (::GetParent(hWnd) == nullptr || IsTopParentActive(hWnd)))
        return;
    ::KillTimer(hWnd, XTP_TID_MOUSELEAVE);
    m_hWndLeaveTrack = nullptr;
    ::PostMessageW(hWnd, WM_MOUSELEAVE, 0, 0);
}
