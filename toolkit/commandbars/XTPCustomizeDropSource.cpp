#include "toolkit/commandbars/XTPCustomizeDropSource.h"

#include "framework/win/Wnd.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/commandbars/CommandBarsResource.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"

#include <algorithm>

CXTPCustomizeDropSource::CXTPCustomizeDropSource(CXTPCommandBars* pCommandBars)
    : m_pSheet(nullptr), m_pCommandBars(pCommandBars)
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
    HWND hWndPoint = ::WindowFromPoint(ptScreen);
    for (HWND hWnd = hWndPoint; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        for (CXTPCommandBar* pBar : m_arrTargets) {
            if (pBar->GetSafeHwnd() == hWnd)
                return pBar;
        }
        if ((::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) == 0)
            break;
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

DROPEFFECT CXTPCustomizeDropSource::DoDragDrop(CXTPControl* pControl, BOOL bCopyOnly)
{
    CXTPCommandBar* pSource = pControl != nullptr ? pControl->GetParent() : nullptr;
    if (pSource == nullptr || pSource->GetSafeHwnd() == nullptr)
        return DROPEFFECT_NONE;
    // The control may leave its bar while it is dragged over it: the drag keeps it alive.
    pControl->InternalAddRef();
    HWND hWndCapture = pSource->GetSafeHwnd();
    ::SetCapture(hWndCapture);

    CPoint ptStart;
    ::GetCursorPos(&ptStart);
    CXTPCommandBar* pTarget = nullptr;
    DROPEFFECT dropEffect = DROPEFFECT_NONE;
    BOOL bDropped = FALSE;
    BOOL bCancelled = FALSE;
    BOOL bCopy = bCopyOnly;
    for (BOOL bContinue = TRUE; bContinue;) {
        MSG msg;
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (::GetCapture() != hWndCapture)
            break;
        switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_KEYDOWN:
        case WM_KEYUP: {
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
                bCancelled = TRUE;
                bContinue = FALSE;
                break;
            }
            CPoint pt;
            ::GetCursorPos(&pt);
            bCopy = bCopyOnly || ::GetKeyState(VK_CONTROL) < 0;
            CXTPCommandBar* pOver = FindTarget(pt);
            if (pOver != pTarget) {
                if (pTarget != nullptr)
                    pTarget->HideDropMarker();
                pTarget = pOver;
                dropEffect = DROPEFFECT_NONE;
                if (pTarget != nullptr) {
                    CPoint ptClient = pt;
                    pTarget->ScreenToClient(&ptClient);
                    dropEffect = pTarget->OnCustomizeDragEnter(pControl, ptClient);
                }
            } else if (pTarget != nullptr) {
                CPoint ptClient = pt;
                pTarget->ScreenToClient(&ptClient);
                dropEffect = pTarget->OnCustomizeDragOver(pControl, ptClient);
            }
            SetDragCursor(pTarget != nullptr && dropEffect != DROPEFFECT_NONE, bCopy);
            break;
        }
        case WM_LBUTTONUP:
            bDropped = pTarget != nullptr && dropEffect != DROPEFFECT_NONE;
            bContinue = FALSE;
            break;
        case WM_RBUTTONDOWN:
            bCancelled = TRUE;
            bContinue = FALSE;
            break;
        default:
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
            break;
        }
    }
    if (::GetCapture() == hWndCapture)
        ::ReleaseCapture();

    // A cancelled drag leaves the control where it was; only a release away from every bar removes it.
    DROPEFFECT result = bCancelled ? XTP_DROPEFFECT_STAY : DROPEFFECT_NONE;
    if (pTarget != nullptr) {
        pTarget->HideDropMarker();
        if (bDropped) {
            result = bCopy ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
            CPoint ptEnd;
            ::GetCursorPos(&ptEnd);
            CPoint ptClient = ptEnd, ptFrom = ptStart;
            pTarget->ScreenToClient(&ptClient);
            pTarget->ScreenToClient(&ptFrom);
            pTarget->OnCustomizeDrop(pControl, result, ptFrom, ptClient);
        }
    }
    pControl->InternalRelease();
    return result;
}
