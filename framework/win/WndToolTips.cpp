// Tool tips of windows that call EnableToolTips: one tool tip control per thread, fed from PreTranslateMessage
// with the tool that OnToolHitTest finds under the mouse.
#include "framework/win/Wnd.h"

#include <cstdlib>

namespace {

HWND ThreadToolTip(HWND hWndOwner)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_hToolTip != nullptr && ::IsWindow(state->m_hToolTip))
        return state->m_hToolTip;
    state->m_hToolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                          hWndOwner, nullptr, AfxGetInstanceHandle(), nullptr);
    if (state->m_hToolTip != nullptr)
        ::SendMessageW(state->m_hToolTip, TTM_ACTIVATE, TRUE, 0);
    return state->m_hToolTip;
}

void ForgetLastTool(AFX_THREAD_STATE* state)
{
    if (state->m_hToolTip != nullptr && state->m_lastInfo.cbSize != 0)
        ::SendMessageW(state->m_hToolTip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&state->m_lastInfo));
    state->m_lastInfo = TOOLINFOW{};
    state->m_hWndLastHit = nullptr;
    state->m_nLastHit = -1;
}

// Hidden and disabled children count too, unlike ChildWindowFromPoint's default.
HWND ChildAtPoint(HWND hWnd, POINT pt)
{
    for (HWND hWndChild = ::GetTopWindow(hWnd); hWndChild != nullptr; hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(hWndChild) == 0xFFFF || !::IsWindowVisible(hWndChild))
            continue;
        RECT rect;
        ::GetWindowRect(hWndChild, &rect);
        ::MapWindowPoints(nullptr, hWnd, reinterpret_cast<LPPOINT>(&rect), 2);
        if (::PtInRect(&rect, pt))
            return hWndChild;
    }
    return nullptr;
}

} // namespace

BOOL CWnd::EnableToolTips(BOOL bEnable)
{
    const BOOL bOld = (m_nFlags & WF_TOOLTIPS) != 0;
    if (bEnable) {
        m_nFlags |= WF_TOOLTIPS;
    } else {
        if (AfxGetThreadState()->m_hWndLastHit == m_hWnd)
            CancelToolTips();
        m_nFlags &= ~WF_TOOLTIPS;
    }
    return bOld;
}

BOOL CWnd::EnableTrackingToolTips(BOOL bEnable)
{
    const BOOL bOld = (m_nFlags & WF_TRACKINGTOOLTIPS) != 0;
    if (bEnable)
        m_nFlags |= WF_TRACKINGTOOLTIPS;
    else
        m_nFlags &= ~WF_TRACKINGTOOLTIPS;
    return bOld;
}

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    HWND hWndChild = ChildAtPoint(m_hWnd, point);
    if (hWndChild == nullptr)
        return -1;
    if (pTI != nullptr) {
        pTI->hwnd = m_hWnd;
        pTI->uId = reinterpret_cast<UINT_PTR>(hWndChild);
        pTI->uFlags |= TTF_IDISHWND;
        pTI->lpszText = LPSTR_TEXTCALLBACK;
        if (!(::SendMessageW(hWndChild, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON))
            pTI->uFlags |= TTF_NOTBUTTON | TTF_CENTERTIP;
    }
    return ::GetDlgCtrlID(hWndChild);
}

void PASCAL CWnd::CancelToolTips(BOOL)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_hToolTip != nullptr && ::IsWindow(state->m_hToolTip))
        ::SendMessageW(state->m_hToolTip, TTM_POP, 0, 0);
    ForgetLastTool(state);
}

void CWnd::FilterToolTipMessage(MSG* pMsg)
{
    const UINT message = pMsg->message;
    const bool mouseMessage = message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE || message == WM_LBUTTONUP ||
                              message == WM_RBUTTONUP || message == WM_MBUTTONUP;
    const bool buttonsUp =
        ::GetKeyState(VK_LBUTTON) >= 0 && ::GetKeyState(VK_RBUTTON) >= 0 && ::GetKeyState(VK_MBUTTON) >= 0;
    AFX_THREAD_STATE* state = AfxGetThreadState();

    if (!mouseMessage || !buttonsUp) {
        // A click or a key hides the tip.
        if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
            (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) ||
            (message >= WM_NCLBUTTONDOWN && message <= WM_NCMBUTTONDBLCLK)) {
            if (state->m_hWndLastHit != nullptr)
                CancelToolTips();
        }
        return;
    }

    // The nearest window (from the message's window up) that wants tips handles them; others pass.
    HWND hWndTips = pMsg->hwnd;
    while (hWndTips != nullptr) {
        CWnd* pWnd = FromHandlePermanent(hWndTips);
        if (pWnd != nullptr && (pWnd->m_nFlags & (WF_TOOLTIPS | WF_TRACKINGTOOLTIPS)))
            break;
        if (!(::GetWindowLongPtrW(hWndTips, GWL_STYLE) & WS_CHILD))
            return;
        hWndTips = ::GetParent(hWndTips);
    }
    if (hWndTips != m_hWnd)
        return;

    HWND hToolTip = ThreadToolTip(m_hWnd);
    if (hToolTip == nullptr)
        return;

    POINT screen = pMsg->pt;
    CPoint point(screen);
    ::ScreenToClient(m_hWnd, &point);
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    const INT_PTR nHit = OnToolHitTest(point, &ti);

    if (state->m_hWndLastHit != m_hWnd || state->m_nLastHit != nHit) {
        // The old tool goes first: the new one may have the same window and id.
        ForgetLastTool(state);
        if (nHit != -1) {
            ti.uFlags &= ~(TTF_NOTBUTTON | TTF_ALWAYSTIP);
            if (m_nFlags & WF_TRACKINGTOOLTIPS)
                ti.uFlags |= TTF_TRACK;
            ::SendMessageW(hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
            if (ti.uFlags & TTF_TRACK) {
                ::SendMessageW(hToolTip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y + 20));
                ::SendMessageW(hToolTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
            } else {
                ::SendMessageW(hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
            }
            state->m_hWndLastHit = m_hWnd;
            state->m_nLastHit = nHit;
            state->m_lastInfo = ti;
            state->m_lastInfo.lpszText = nullptr;
        }
    } else if (nHit != -1) {
        ::SendMessageW(hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    }

    // The control copied the text; the copy OnToolHitTest made is ours to free.
    if (ti.lpszText != LPSTR_TEXTCALLBACKW && ti.hinst == nullptr && ti.lpszText != nullptr)
        std::free(ti.lpszText);
}
