#include "toolkit/commandbars/XTPCustomizeDropSource.h"

#include "framework/win/Wnd.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/commandbars/CommandBarsResource.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"

#include <algorithm>

CXTPCustomizeDropSource::CXTPCustomizeDropSource(CXTPCommandBars* pCommandBars)
    : m_pSheet(nullptr), m_pCommandBars(pCommandBars), m_pTarget(nullptr), m_bMove(FALSE), m_bCopyOnly(FALSE)
{
}

CXTPCustomizeDropSource::~CXTPCustomizeDropSource() = default;

void CXTPCustomizeDropSource::Register(CXTPCommandBar* pCommandBar)
{
    if (pCommandBar != nullptr)
        m_arrTargets.push_back(pCommandBar);
}

void CXTPCustomizeDropSource::Unregister(CXTPCommandBar* pCommandBar)
{
    m_arrTargets.erase(std::remove(m_arrTargets.begin(), m_arrTargets.end(), pCommandBar), m_arrTargets.end());
    if (m_pTarget == pCommandBar)
        m_pTarget = nullptr;
}

BOOL CXTPCustomizeDropSource::IsRegistered(const CXTPCommandBar* pCommandBar) const
{
    return std::find(m_arrTargets.begin(), m_arrTargets.end(), pCommandBar) != m_arrTargets.end();
}

void CXTPCustomizeDropSource::TrackContextMenu(CPoint ptScreen)
{
    if (m_pSheet != nullptr && m_pSheet->GetSafeHwnd() != nullptr)
        m_pSheet->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_pSheet->GetSafeHwnd()),
                              MAKELPARAM(ptScreen.x, ptScreen.y));
}

CXTPCommandBar* CXTPCustomizeDropSource::FindTarget(CPoint ptScreen) const
{
    // The bar registered last wins: popups opened during the drag lie over the toolbars they came from.
    for (auto it = m_arrTargets.rbegin(); it != m_arrTargets.rend(); ++it) {
        CXTPCommandBar* pBar = *it;
        // The window's visibility: the base bar answers IsVisible with FALSE, and a hidden toolbar hides its window.
        if (pBar->GetSafeHwnd() == nullptr || !::IsWindowVisible(pBar->GetSafeHwnd()))
            continue;
        CRect rcWindow;
        pBar->GetWindowRect(&rcWindow);
        if (rcWindow.PtInRect(ptScreen))
            return pBar;
    }
    return nullptr;
}

void CXTPCustomizeDropSource::SetDragCursor(BOOL bOverTarget, BOOL bCopy)
{
    const UINT nCursor = !bOverTarget ? XTP_IDC_COMMANDBARS_DRAGNONE
                                      : (bCopy ? XTP_IDC_COMMANDBARS_DRAGCOPY : XTP_IDC_COMMANDBARS_DRAGMOVE);
    HCURSOR hCursor = ::LoadCursorW(GetToolkitGlobals()->GetResourceModule(), MAKEINTRESOURCEW(nCursor));
    ::SetCursor(hCursor != nullptr ? hCursor : ::LoadCursorW(nullptr, IDC_ARROW));
}

void CXTPCustomizeDropSource::UpdateCursor()
{
    SetDragCursor(m_pTarget != nullptr, m_bCopyOnly || !m_bMove);
}

void CXTPCustomizeDropSource::DragOver(CXTPControl* pControl, CPoint ptScreen)
{
    CXTPCommandBar* pHit = FindTarget(ptScreen);
    CPoint ptClient = ptScreen;
    if (pHit != nullptr)
        pHit->ScreenToClient(&ptClient);
    if (pHit != nullptr && pHit == m_pTarget) {
        if (pHit->OnCustomizeDragOver(pControl, ptClient) == DROPEFFECT_NONE) {
            pHit->HideDropMarker();
            m_pTarget = nullptr;
        }
    } else {
        if (m_pTarget != nullptr)
            m_pTarget->HideDropMarker();
        m_pTarget = nullptr;
        // Entering a bar may open a popup, which registers as a new target: the hit bar is kept alive meanwhile.
        if (pHit != nullptr && pHit->OnCustomizeDragEnter(pControl, ptClient) != DROPEFFECT_NONE)
            m_pTarget = pHit;
    }
    UpdateCursor();
}

HWND CXTPCustomizeDropSource::GetCaptureWindow(CXTPControl* pControl) const
{
    if (m_pSheet != nullptr && m_pSheet->GetSafeHwnd() != nullptr)
        return m_pSheet->GetSafeHwnd();
    CWnd* pSite = m_pCommandBars != nullptr ? m_pCommandBars->GetSite() : nullptr;
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr)
        return pSite->GetSafeHwnd();
    CXTPCommandBar* pSource = pControl->GetParent();
    return pSource != nullptr ? pSource->GetSafeHwnd() : nullptr;
}

DROPEFFECT CXTPCustomizeDropSource::DoDragDrop(CXTPControl* pControl, BOOL bCopyOnly)
{
    if (pControl == nullptr)
        return XTP_DROPEFFECT_STAY;
    HWND hWndCapture = GetCaptureWindow(pControl);
    if (hWndCapture == nullptr)
        return XTP_DROPEFFECT_STAY;
    // The control may leave its bar while it is dragged over it: the drag keeps it alive.
    pControl->InternalAddRef();
    ::SetCapture(hWndCapture);
    m_bMove = FALSE;
    m_pTarget = nullptr;
    m_bCopyOnly = bCopyOnly;
    ::GetCursorPos(&m_ptStart);
    const CPoint ptStart = m_ptStart;

    DROPEFFECT result = Track(pControl, hWndCapture);
    if (m_pTarget != nullptr) {
        result = m_bMove && !m_bCopyOnly ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
        CPoint ptEnd;
        ::GetCursorPos(&ptEnd);
        CPoint ptFrom = ptStart;
        CXTPCommandBar* pTarget = m_pTarget;
        m_pTarget = nullptr;
        pTarget->ScreenToClient(&ptEnd);
        pTarget->ScreenToClient(&ptFrom);
        pTarget->HideDropMarker();
        pTarget->OnCustomizeDrop(pControl, result, ptFrom, ptEnd);
    }
    if (m_pTarget != nullptr)
        m_pTarget->HideDropMarker();
    m_pTarget = nullptr;
    if (::GetCapture() == hWndCapture)
        ::ReleaseCapture();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    pControl->InternalRelease();
    return result;
}

DROPEFFECT CXTPCustomizeDropSource::Track(CXTPControl* pControl, HWND hWndCapture)
{
    // XTP_DROPEFFECT_STAY with no target means cancelled; anything else (or a target) a drop.
    DROPEFFECT result = XTP_DROPEFFECT_STAY;
    BOOL bStarted = FALSE;
    auto cancel = [&] {
        if (m_pTarget != nullptr)
            m_pTarget->HideDropMarker();
        m_pTarget = nullptr;
        return static_cast<DROPEFFECT>(XTP_DROPEFFECT_STAY);
    };
    while (::GetCapture() == hWndCapture) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            ::DispatchMessageW(&msg);
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return cancel();
        }
        if (::GetCapture() != hWndCapture)
            return cancel();
        switch (msg.message) {
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE)
                return cancel();
            if (msg.wParam == VK_CONTROL && m_bMove) {
                m_bMove = FALSE;
                UpdateCursor();
            }
            break;
        case WM_KEYUP:
            if (msg.wParam == VK_CONTROL && !m_bMove) {
                m_bMove = TRUE;
                UpdateCursor();
            }
            break;
        case WM_MOUSEMOVE:
            if (!bStarted) {
                bStarted = TRUE;
                if (CXTPCommandBar* pSource = pControl->GetParent()) {
                    CPoint ptClient = m_ptStart;
                    pSource->ScreenToClient(&ptClient);
                    pControl->OnCustomizeDragStart(ptClient);
                }
            }
            // The async state too: a Ctrl press swallowed by a keyboard filter still counts.
            m_bMove = (msg.wParam & MK_CONTROL) == 0 && ::GetAsyncKeyState(VK_CONTROL) >= 0;
            DragOver(pControl, CPoint(msg.pt));
            result = DROPEFFECT_NONE;
            if ((msg.wParam & MK_LBUTTON) == 0)
                return result;
            break;
        case WM_LBUTTONUP:
            return result;
        case WM_RBUTTONDOWN:
            return cancel();
        default:
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
            break;
        }
    }
    return cancel();
}
