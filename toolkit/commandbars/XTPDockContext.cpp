#include "toolkit/commandbars/XTPDockContext.h"

#include "framework/frame/FrameWnd.h"
#include "toolkit/base/XTHelpers.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <algorithm>

CXTPDockContext::CXTPDockContext(CXTPToolBar* pBar)
    : m_uMRUDockPosition(xtpBarTop), m_rectMRUDockPos(0, 0, 0, 0), m_ptMRUFloatPos(0, 0), m_pBar(pBar),
      m_pDockSite(nullptr), m_nHitTest(0), m_ptLast(0, 0), m_rectDragDock(0, 0, 0, 0), m_rectDragFloat(0, 0, 0, 0)
{
}

void CXTPDockContext::AdjustRectangle(CRect& rect, CPoint pt)
{
    const int nXOffset = pt.x < rect.left ? pt.x - rect.left : pt.x >= rect.right ? pt.x - rect.right + 1 : 0;
    const int nYOffset = pt.y < rect.top ? pt.y - rect.top : pt.y >= rect.bottom ? pt.y - rect.bottom + 1 : 0;
    rect.OffsetRect(nXOffset, nYOffset);
}

CSize CXTPDockContext::FloatingSize(int nLength, DWORD dwMode) const
{
    // Measured as floating: the caption and close button take part in the size.
    const XTPBarPosition position = m_pBar->GetPosition();
    m_pBar->SetBarPosition(xtpBarFloating);
    const CSize size = m_pBar->CalcDynamicLayout(nLength, dwMode);
    m_pBar->SetBarPosition(position);
    return size;
}

void CXTPDockContext::StartDrag(CPoint pt)
{
    CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
    if (pCommandBars == nullptr)
        return;
    m_pDockSite = pCommandBars->GetFrameSite();
    const BOOL bWasDocked = m_pBar->GetPosition() != xtpBarFloating;
    const XTPBarPosition uOldPosition = m_uMRUDockPosition;
    const CRect rectOldDock = m_rectMRUDockPos;
    m_nHitTest = 1;
    m_ptLast = pt;
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    AdjustRectangle(rect, pt);
    m_rectDragDock = rect;
    m_rectDragFloat = rect;

    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
    XTPMouseManager()->LockMouseMove();
    Track();
    XTPMouseManager()->UnlockMouseMove();

    if (m_pBar->GetPosition() == xtpBarFloating) {
        m_ptMRUFloatPos = m_rectDragFloat.TopLeft();
        if (bWasDocked) {
            m_uMRUDockPosition = uOldPosition;
            m_rectMRUDockPos = rectOldDock;
        }
    }
}

void CXTPDockContext::StartResize(int nHitTest, CPoint pt)
{
    CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
    m_pDockSite = pCommandBars != nullptr ? pCommandBars->GetFrameSite() : nullptr;
    m_nHitTest = nHitTest;
    m_ptLast = pt;
    m_pBar->GetWindowRect(&m_rectDragFloat);
    Track();
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_ptMRUFloatPos = rect.TopLeft();
    m_pBar->SetWidth(rect.Width());
}

void CXTPDockContext::Track()
{
    if (::GetCapture() != nullptr)
        return;
    CXTPToolBar* pBar = m_pBar;
    // The toolbar may be released by what a message does; keep it until the loop is over.
    pBar->InternalAddRef();
    pBar->SetCapture();
    while (::GetCapture() == pBar->GetSafeHwnd()) {
        MSG msg;
        if (!GetModalLoopMessage(msg))
            break;
        BOOL bEnd = FALSE;
        switch (msg.message) {
        case WM_LBUTTONUP:
            bEnd = TRUE;
            break;
        case WM_MOUSEMOVE: {
            // The message's own point: later input may already have moved the cursor on.
            const CPoint pt(msg.pt);
            if (pt == m_ptLast) {
                ::DispatchMessageW(&msg);
                break;
            }
            if (m_nHitTest == 1)
                Move(pt);
            else
                Stretch(pt);
            m_ptLast = pt;
            break;
        }
        case WM_KEYDOWN:
            bEnd = msg.wParam == VK_ESCAPE;
            break;
        default:
            ::DispatchMessageW(&msg);
            break;
        }
        if (m_pDockSite != nullptr && ::IsWindow(m_pDockSite->GetSafeHwnd()) &&
            (m_pDockSite->m_nIdleFlags & CFrameWnd::idleLayout) != 0)
            m_pDockSite->RecalcLayout(FALSE);
        if (bEnd)
            break;
    }
    if (::GetCapture() == pBar->GetSafeHwnd())
        ::ReleaseCapture();
    pBar->InternalRelease();
}

void CXTPDockContext::Move(CPoint pt)
{
    const CPoint ptOffset = pt - m_ptLast;
    m_rectDragDock.OffsetRect(ptOffset);
    m_rectDragFloat.OffsetRect(ptOffset);
    CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
    if (pCommandBars == nullptr)
        return;
    const DWORD dwFlags = m_pBar->GetEnableDocking();
    CXTPDockBar* pDockBar = pCommandBars->CanDock(pt, m_pBar->GetDockBar());
    static const DWORD s_dwSideFlags[4] = {xtpFlagAlignTop, xtpFlagAlignBottom, xtpFlagAlignLeft, xtpFlagAlignRight};
    if (pDockBar != nullptr && (dwFlags & s_dwSideFlags[pDockBar->GetPosition()]) != 0) {
        const BOOL bChanged = pDockBar != m_pBar->GetDockBar() || m_pBar->GetPosition() == xtpBarFloating;
        pCommandBars->DockCommandBar(m_pBar, &m_rectDragDock, pDockBar);
        if (bChanged) {
            pCommandBars->RecalcFrameLayout();
            m_pBar->GetWindowRect(&m_rectDragDock);
            AdjustRectangle(m_rectDragDock, pt);
        }
        return;
    }
    if ((dwFlags & xtpFlagFloating) == 0)
        return;
    if (m_pBar->GetPosition() != xtpBarFloating) {
        pCommandBars->FloatCommandBar(m_pBar);
        const CSize size = FloatingSize(0, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
        m_rectDragFloat = CRect(m_rectDragFloat.TopLeft(), size);
        AdjustRectangle(m_rectDragFloat, pt);
        m_pBar->OnRecalcLayout();
        m_pBar->ShowWindow(SW_SHOWNA);
    }
    m_pBar->SetWindowPos(nullptr, m_rectDragFloat.left, m_rectDragFloat.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CXTPDockContext::Stretch(CPoint pt)
{
    const CPoint ptOffset = pt - m_ptLast;
    int nLength = 0;
    DWORD dwMode = LM_COMMIT | LM_HORZ;
    switch (m_nHitTest) {
    case HTLEFT:
        m_rectDragFloat.left += ptOffset.x;
        nLength = m_rectDragFloat.Width();
        break;
    case HTRIGHT:
        m_rectDragFloat.right += ptOffset.x;
        nLength = m_rectDragFloat.Width();
        break;
    case HTTOP:
        m_rectDragFloat.top += ptOffset.y;
        nLength = m_rectDragFloat.Height();
        dwMode |= LM_LENGTHY;
        break;
    case HTBOTTOM:
        m_rectDragFloat.bottom += ptOffset.y;
        nLength = m_rectDragFloat.Height();
        dwMode |= LM_LENGTHY;
        break;
    default:
        return;
    }
    const CSize size = m_pBar->CalcDynamicLayout(std::max(nLength, 0), dwMode);
    CRect rectWindow;
    m_pBar->GetWindowRect(&rectWindow);
    if (size == rectWindow.Size())
        return;
    CRect rect = rectWindow;
    if (m_nHitTest == HTLEFT)
        rect.left = rect.right - size.cx;
    else
        rect.right = rect.left + size.cx;
    if (m_nHitTest == HTTOP)
        rect.top = rect.bottom - size.cy;
    else
        rect.bottom = rect.top + size.cy;
    CRect rcWork = GetWorkAreaFromWindow(m_pBar->GetSafeHwnd());
    CRect rcTest;
    if (!rcTest.IntersectRect(&rect, &rcWork))
        return;
    m_pBar->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    m_pBar->Invalidate(FALSE);
}

BOOL CXTPDockContext::ToggleDocking()
{
    CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
    if (pCommandBars == nullptr)
        return FALSE;
    const DWORD dwFlags = m_pBar->GetEnableDocking();
    if (m_pBar->GetPosition() == xtpBarFloating) {
        if ((dwFlags & xtpFlagAlignAny) == 0)
            return FALSE;
        CXTPDockBar* pDockBar = pCommandBars->GetDockBar(m_uMRUDockPosition);
        if (pDockBar == nullptr)
            return FALSE;
        CRect rect = m_rectMRUDockPos;
        if (!rect.IsRectEmpty())
            pDockBar->ClientToScreen(&rect);
        pCommandBars->DockCommandBar(m_pBar, rect.IsRectEmpty() ? nullptr : &rect, pDockBar);
        pCommandBars->RecalcFrameLayout();
        return TRUE;
    }
    if ((dwFlags & xtpFlagFloating) == 0 || !pCommandBars->GetCommandBarsOptions()->bDblClickFloat)
        return FALSE;
    CPoint pt = m_ptMRUFloatPos;
    if (pt.x <= 0 || pt.y <= 0) {
        pt = m_rectMRUDockPos.TopLeft();
        if (CXTPDockBar* pDockBar = m_pBar->GetDockBar())
            pDockBar->ClientToScreen(&pt);
    }
    pCommandBars->FloatCommandBar(m_pBar);
    const CSize size = FloatingSize(0, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    m_pBar->SetWindowPos(nullptr, pt.x, pt.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    pCommandBars->RecalcFrameLayout();
    return TRUE;
}
