#include "toolkit/commandbars/XTPShadowManager.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/Dc.h"
#include "framework/win/WinApp.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"

#include <algorithm>

namespace {

BOOL IsSystemDropShadowOn()
{
    BOOL bOn = FALSE;
    return ::SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &bOn, 0) && bOn;
}

} // namespace

// ---- CXTPShadowWnd

CXTPShadowWnd::CXTPShadowWnd(CXTPShadowManager* pManager, CXTPCommandBar* pOwner, BOOL bBottom, BOOL bForced)
    : m_pManager(pManager), m_bBottom(bBottom), m_bForced(bForced), m_pOwnerBar(pOwner),
      m_hWndOwner(pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr)
{
}

CXTPShadowWnd::~CXTPShadowWnd()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL CXTPShadowWnd::Place(const CRect& rc)
{
    if (m_hWnd == nullptr) {
        const DWORD dwExStyle = m_pManager->IsLayeredAvailable() ? WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST
                                                                 : WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
        LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
        if (!CreateEx(dwExStyle, lpszClass, L"", WS_POPUP, rc.left, rc.top, rc.Width(), rc.Height(), nullptr, nullptr))
            return FALSE;
    }
    ::SetWindowRgn(m_hWnd, nullptr, FALSE);
    ::SetWindowPos(m_hWnd, nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return TRUE;
}

void CXTPShadowWnd::ExcludeRect(const CRect& rcExclude)
{
    if (m_hWnd == nullptr || rcExclude.IsRectEmpty())
        return;
    CRect rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    CRect rcCut;
    if (!rcCut.IntersectRect(&rcWindow, &rcExclude))
        return;
    rcCut.OffsetRect(-rcWindow.left, -rcWindow.top);
    // Earlier cut-outs stay: the region starts from the current one when there is one.
    CScopedRegion hRegion(::CreateRectRgn(0, 0, rcWindow.Width(), rcWindow.Height()));
    ::GetWindowRgn(m_hWnd, hRegion);
    const CScopedRegion hCut(::CreateRectRgn(rcCut.left, rcCut.top, rcCut.right, rcCut.bottom));
    ::CombineRgn(hRegion, hRegion, hCut, RGN_DIFF);
    // The window owns the region once it is set.
    if (::SetWindowRgn(m_hWnd, hRegion, FALSE))
        hRegion.Detach();
}

int CXTPShadowWnd::OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM&, LRESULT&)
{
    if (nMessage == WM_SHOWWINDOW && m_hWnd != nullptr) {
        ::ShowWindow(m_hWnd, wParam ? SW_SHOWNA : SW_HIDE);
    } else if (nMessage == WM_DESTROY) {
        // Deletes this object; the hook walk skips objects removed while it runs.
        m_pManager->DestroyShadow(this);
    }
    return xtpHookNotHandled;
}

void CXTPShadowWnd::UpdateLayeredImage(int cx, int cy)
{
    if (m_pManager->m_pfnUpdateLayeredWindow == nullptr || m_pOwnerBar == nullptr || cx <= 0 || cy <= 0)
        return;
    CXTPPaintManager* pPaintManager = m_pOwnerBar->GetPaintManager();
    const COLORREF clrShadow = pPaintManager != nullptr ? pPaintManager->m_clrShadowFactor : 0;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pvBits = nullptr;
    CScopedCreatedDC memDC(::CreateCompatibleDC(nullptr));
    CScopedBitmap bitmap(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pvBits, nullptr, 0));
    if (!memDC || !bitmap || pvBits == nullptr)
        return;
    CXTPShadowManager::BuildShadowImage(static_cast<DWORD*>(pvBits), cx, cy, m_bBottom, m_bForced, clrShadow);
    CScopedSelect select(memDC, bitmap.Get());
    SIZE size = {cx, cy};
    POINT ptSource = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    m_pManager->m_pfnUpdateLayeredWindow(m_hWnd, nullptr, nullptr, &size, memDC, &ptSource, 0, &blend, ULW_ALPHA);
}

LRESULT CXTPShadowWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SIZE:
        if (LOWORD(lParam) != 0 && HIWORD(lParam) != 0)
            UpdateLayeredImage(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hDC = ::BeginPaint(m_hWnd, &ps);
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        COLORREF clr = RGB(0, 0, 0);
        if (!m_pManager->IsLayeredAvailable()) {
            CXTPPaintManager* pPaintManager = m_pOwnerBar != nullptr ? m_pOwnerBar->GetPaintManager() : nullptr;
            clr = pPaintManager != nullptr ? pPaintManager->GetColor(COLOR_BTNSHADOW) : ::GetSysColor(COLOR_BTNSHADOW);
        }
        CScopedBrush brush(::CreateSolidBrush(clr));
        ::FillRect(hDC, &rc, brush.Get());
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- CXTPShadowManager

CXTPShadowManager::CXTPShadowManager() : m_pfnUpdateLayeredWindow(nullptr)
{
    SetLayeredAvailable(TRUE);
}

CXTPShadowManager::~CXTPShadowManager()
{
    // Windows cannot be destroyed safely this late; the objects are freed with the process.
    m_arrShadows.clear();
}

void CXTPShadowManager::SetLayeredAvailable(BOOL bAvailable)
{
    m_pfnUpdateLayeredWindow = nullptr;
    if (!bAvailable)
        return;
    if (HMODULE hUser = ::GetModuleHandleW(L"USER32"))
        m_pfnUpdateLayeredWindow = reinterpret_cast<PFNUPDATELAYEREDWINDOW>(
            reinterpret_cast<void*>(::GetProcAddress(hUser, "UpdateLayeredWindow")));
}

std::vector<CXTPShadowWnd*> CXTPShadowManager::GetShadows(const CXTPCommandBar* pOwner) const
{
    std::vector<CXTPShadowWnd*> result;
    for (CXTPShadowWnd* pShadow : m_arrShadows) {
        if (pShadow->GetOwnerBar() == pOwner)
            result.push_back(pShadow);
    }
    return result;
}

void CXTPShadowManager::SetShadow(CXTPCommandBar* pPopup, const CRect& rcExclude)
{
    if (pPopup == nullptr || pPopup->GetSafeHwnd() == nullptr || pPopup->IsCustomizeMode())
        return;
    CXTPPaintManager* pPaintManager = pPopup->GetPaintManager();
    const BOOL bForced = pPaintManager != nullptr && pPaintManager->ShowShadows();
    if (!bForced && (!IsLayeredAvailable() || !IsSystemDropShadowOn()))
        return;
    const int t = GetShadowSize();
    CRect rcWindow;
    pPopup->GetWindowRect(&rcWindow);
    CreateShadow(pPopup, CRect(rcWindow.left + t, rcWindow.bottom, rcWindow.right + t, rcWindow.bottom + t), rcExclude,
                 TRUE, bForced);
    CreateShadow(pPopup, CRect(rcWindow.right, rcWindow.top + t, rcWindow.right + t, rcWindow.bottom), rcExclude, FALSE,
                 bForced);
}

void CXTPShadowManager::SetControlShadow(CXTPControl* pControl)
{
    if (pControl == nullptr || pControl->IsCustomizeMode())
        return;
    CXTPCommandBar* pParent = pControl->GetParent();
    CXTPCommandBar* pPopupBar = pControl->GetCommandBar();
    CXTPPaintManager* pPaintManager = pControl->GetPaintManager();
    if (pParent == nullptr || pParent->GetSafeHwnd() == nullptr || pPopupBar == nullptr ||
        pPopupBar->GetSafeHwnd() == nullptr || pPaintManager == nullptr || !pPaintManager->ShowShadows())
        return;
    CRect rc = pControl->GetRect();
    pParent->ClientToScreen(&rc);
    const int t = GetShadowSize();
    CreateShadow(pPopupBar, CRect(rc.left + t, rc.bottom, rc.right + t, rc.bottom + t), CRect(), TRUE, TRUE);
    CreateShadow(pPopupBar, CRect(rc.right, rc.top + t, rc.right + t, rc.bottom), CRect(), FALSE, TRUE);
}

CXTPShadowWnd* CXTPShadowManager::CreateShadow(CXTPCommandBar* pOwner, const CRect& rcShadow, const CRect& rcExclude,
                                               BOOL bBottom, BOOL bForced)
{
    CXTPShadowWnd* pShadow = new CXTPShadowWnd(this, pOwner, bBottom, bForced);
    CRect rc = rcShadow;
    if (!pShadow->Place(rc)) {
        delete pShadow;
        return nullptr;
    }
    FitToOthers(pShadow, rc);
    // Under Wine a popup that a layered window overlaps shows none of its drawing (its X window stays black), even
    // where the shadow's window region leaves the popup uncovered. So the shadow itself is cut back to the part
    // beside the shadowed popups, and one they cover entirely (a title's bottom shadow under its own menu) is
    // not made.
    const CRect rcPlaced = rc;
    std::vector<HWND> covering{pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr};
    for (CXTPShadowWnd* pOther : m_arrShadows)
        covering.push_back(pOther->GetOwnerWindow());
    for (HWND hWndCover : covering) {
        CRect rcCover;
        if (hWndCover == nullptr || !::IsWindow(hWndCover) || !::GetWindowRect(hWndCover, &rcCover))
            continue;
        // Only a cover across the strip's whole width or height trims it; any other overlap keeps the strip.
        RECT rcLeft;
        if (!::SubtractRect(&rcLeft, &rc, &rcCover)) {
            delete pShadow;
            return nullptr;
        }
        rc = rcLeft;
    }
    if (rc != rcPlaced)
        pShadow->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    m_arrShadows.push_back(pShadow);
    if (bForced)
        pShadow->ExcludeRect(rcExclude);
    // A shadow never covers a shadowed popup.
    for (CXTPShadowWnd* pOther : m_arrShadows) {
        HWND hWndOwner = pOther->GetOwnerWindow();
        if (hWndOwner != nullptr && ::IsWindow(hWndOwner)) {
            CRect rcOwner;
            ::GetWindowRect(hWndOwner, &rcOwner);
            pShadow->ExcludeRect(rcOwner);
        }
    }
    ::SetWindowPos(pShadow->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (pShadow->GetOwnerWindow() != nullptr)
        XTPHookManager()->SetHook(pShadow->GetOwnerWindow(), pShadow);
    return pShadow;
}

void CXTPShadowManager::FitToOthers(CXTPShadowWnd* pShadow, CRect& rc) const
{
    const CRect rcOriginal = rc;
    for (CXTPShadowWnd* pOther : m_arrShadows) {
        if (pOther->IsBottom() == pShadow->IsBottom() || pOther->GetSafeHwnd() == nullptr)
            continue;
        CRect rcOther;
        pOther->GetWindowRect(&rcOther);
        if (pShadow->IsBottom()) {
            // A bottom shadow of a submenu reaches back under the parent menu's right shadow.
            if (rcOriginal.left == rcOther.right - 1 && rcOther.top < rcOriginal.top &&
                rcOther.bottom > rcOriginal.bottom)
                rc.left -= 2 * rcOther.Width() + 1;
        } else {
            if (rcOriginal.top == rcOther.bottom + 1 && rcOriginal.right >= rcOther.left &&
                rcOriginal.right <= rcOther.right)
                rc.top -= 2 * rcOther.Height();
        }
    }
    if (rc != rcOriginal)
        pShadow->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CXTPShadowManager::DestroyShadow(CXTPShadowWnd* pShadow)
{
    auto it = std::find(m_arrShadows.begin(), m_arrShadows.end(), pShadow);
    if (it != m_arrShadows.end())
        m_arrShadows.erase(it);
    if (pShadow->GetOwnerWindow() != nullptr)
        XTPHookManager()->RemoveHook(pShadow->GetOwnerWindow(), pShadow);
    if (pShadow->GetSafeHwnd() != nullptr)
        pShadow->ShowWindow(SW_HIDE);
    pShadow->ClearOwner();
    delete pShadow;
}

void CXTPShadowManager::RemoveShadow(CXTPCommandBar* pOwner)
{
    for (CXTPShadowWnd* pShadow : GetShadows(pOwner))
        DestroyShadow(pShadow);
}

void CXTPShadowManager::BuildShadowImage(DWORD* pBits, int cx, int cy, BOOL bBottom, BOOL bForced, COLORREF clrShadow)
{
    if (pBits == nullptr || cx <= 0 || cy <= 0)
        return;
    const int u = bForced ? 3 : 6;
    const int r = GetRValue(clrShadow), g = GetGValue(clrShadow), b = GetBValue(clrShadow);
    auto pixel = [&](int nAlpha, double f) -> DWORD {
        return (static_cast<DWORD>(nAlpha) << 24) | (static_cast<DWORD>(static_cast<int>(r * f)) << 16) |
               (static_cast<DWORD>(static_cast<int>(g * f)) << 8) | static_cast<DWORD>(static_cast<int>(b * f));
    };
    auto straight = [&](int d) { return pixel(5 * u * (d + 1), (d + 1) / 4.0); };
    auto corner = [&](int e, int d) { return pixel(u * (e + 1) * (d + 1), 0.05 * (e + 1) * (d + 1)); };
    // Rows are stored bottom-up: row 0 of the buffer is the lowest row on screen.
    auto at = [&](int x, int yTop) -> DWORD& { return pBits[static_cast<size_t>(cy - 1 - yTop) * cx + x]; };
    std::fill(pBits, pBits + static_cast<size_t>(cx) * cy, 0u);
    if (bBottom) {
        // Distance index d from the outer (lower) edge; the top row lies next to the popup.
        for (int y = 0; y < cy; ++y) {
            const int d = std::min(3, std::max(0, cy - 1 - y));
            for (int x = 0; x < cx; ++x) {
                if (x < 4 && x < cx)
                    at(x, y) = corner(x, d);
                else if (x >= cx - 4)
                    at(x, y) = corner(cx - 1 - x, d);
                else if (cx > 8)
                    at(x, y) = straight(d);
            }
        }
    } else {
        // Distance index from the outer (right) edge; the top end square fades in.
        for (int y = 0; y < cy; ++y) {
            for (int x = 0; x < cx; ++x) {
                const int d = std::min(3, std::max(0, cx - 1 - x));
                at(x, y) = y < 4 ? corner(y, d) : straight(d);
            }
        }
    }
}

CXTPShadowManager* XTPShadowManager()
{
    static CXTPShadowManager manager;
    return &manager;
}
