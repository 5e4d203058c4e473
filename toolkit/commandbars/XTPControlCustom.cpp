#include "toolkit/commandbars/XTPControlCustom.h"

#include "framework/win/Wnd.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControls.h"

IMPLEMENT_SERIAL(CXTPControlCustom, CXTPControlButton, VERSIONABLE_SCHEMA | 7)

namespace {

struct CFindInBars
{
    int nID;
    HWND hFound;
};

BOOL CALLBACK FindInBarsProc(HWND hWnd, LPARAM lParam)
{
    CFindInBars* pFind = reinterpret_cast<CFindInBars*>(lParam);
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CXTPCommandBar))) {
        pFind->hFound = ::GetDlgItem(hWnd, pFind->nID);
        if (pFind->hFound != nullptr)
            return FALSE;
    }
    return TRUE;
}

// The first command bar window under the site (docked or floating) with a child of the id.
HWND FindInBars(HWND hSite, int nID)
{
    CFindInBars find = {nID, nullptr};
    ::EnumChildWindows(hSite, FindInBarsProc, reinterpret_cast<LPARAM>(&find));
    if (find.hFound == nullptr)
        ::EnumThreadWindows(::GetWindowThreadProcessId(hSite, nullptr), FindInBarsProc,
                            reinterpret_cast<LPARAM>(&find));
    return find.hFound;
}

} // namespace

int CXTPControlCustom::CHookListener::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM&, LPARAM& lParam, LRESULT&)
{
    if (nMessage != WM_MOUSEMOVE || m_pOwner == nullptr)
        return xtpHookNotHandled;
    CXTPCommandBar* pBar = m_pOwner->GetParent();
    if (pBar == nullptr || pBar->GetSafeHwnd() == nullptr)
        return xtpHookNotHandled;
    CPoint point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    ::MapWindowPoints(hWnd, pBar->GetSafeHwnd(), &point, 1);
    pBar->OnMouseMove(0, point);
    return xtpHookNotHandled;
}

CXTPControlCustom::CXTPControlCustom()
    : m_pControl(nullptr), m_rcBorders(0, 0, 0, 0), m_bControlVisible(TRUE), m_szControl(0, 0),
      m_verticalOptions(xtpVerticalHide), m_nControlID(0), m_hWndHooked(nullptr)
{
    m_controlType = xtpControlCustom;
    m_dwFlags = xtpFlagNoMovable;
    m_hookListener.m_pOwner = this;
}

CXTPControlCustom::~CXTPControlCustom()
{
    Attach(nullptr);
    XTPHookManager()->RemoveAll(&m_hookListener);
}

void CXTPControlCustom::Attach(CWnd* pWnd)
{
    if (m_hWndHooked != nullptr) {
        if (::IsWindow(m_hWndHooked))
            XTPHookManager()->RemoveHook(m_hWndHooked, &m_hookListener);
        m_hWndHooked = nullptr;
    }
    m_pControl = pWnd;
    if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr) {
        m_hWndHooked = pWnd->GetSafeHwnd();
        XTPHookManager()->SetHook(m_hWndHooked, &m_hookListener);
    }
}

void CXTPControlCustom::SetControl(CWnd* pWnd)
{
    Attach(pWnd);
    if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr) {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        m_szControl = rc.Size();
        m_nControlID = pWnd->GetDlgCtrlID();
    } else {
        m_nControlID = 0;
    }
    m_rcControl.SetRectEmpty();
    DelayLayoutParent();
}

BOOL CXTPControlCustom::IsWindowShownNow() const
{
    return m_pControl != nullptr && m_pControl->GetSafeHwnd() != nullptr && m_bControlVisible &&
           m_dwHideFlags == xtpNoHide;
}

void CXTPControlCustom::ApplyVisibility()
{
    if (m_pControl == nullptr || m_pControl->GetSafeHwnd() == nullptr)
        return;
    m_pControl->SetWindowPos(nullptr, 0, 0, 0, 0,
                             SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                                 (IsWindowShownNow() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void CXTPControlCustom::OnCalcDynamicSize(DWORD dwMode)
{
    const BOOL bVertDock = (dwMode & LM_VERTDOCK) != 0;
    if (m_verticalOptions == xtpVerticalHide) {
        SetHideFlag(xtpHideDockingPosition, bVertDock);
    } else if (m_verticalOptions == xtpVerticalButton) {
        m_bControlVisible = !bVertDock;
        ApplyVisibility();
    }
}

CSize CXTPControlCustom::GetSize(CDC* pDC)
{
    if (m_pControl != nullptr && m_pControl->GetSafeHwnd() != nullptr && m_bControlVisible)
        return CSize(m_rcBorders.left + m_szControl.cx + m_rcBorders.right,
                     m_rcBorders.top + m_szControl.cy + m_rcBorders.bottom);
    return CXTPControlButton::GetSize(pDC);
}

void CXTPControlCustom::SetRect(CRect rcControl)
{
    const HWND hWnd = m_pControl != nullptr ? m_pControl->GetSafeHwnd() : nullptr;
    if (m_rcControl == rcControl && hWnd != nullptr && m_pParent != nullptr &&
        ::GetParent(hWnd) == m_pParent->GetSafeHwnd())
        return;
    m_rcControl = rcControl;
    if (hWnd != nullptr && m_pParent != nullptr && m_pParent->GetSafeHwnd() != nullptr) {
        if (::GetParent(hWnd) != m_pParent->GetSafeHwnd())
            ::SetParent(hWnd, m_pParent->GetSafeHwnd());
        m_pControl->MoveWindow(CRect(rcControl.left + m_rcBorders.left, rcControl.top + m_rcBorders.top,
                                     rcControl.right - m_rcBorders.right, rcControl.bottom - m_rcBorders.bottom),
                               TRUE);
    }
    ApplyVisibility();
}

void CXTPControlCustom::Draw(CDC* pDC)
{
    if (m_pControl != nullptr && m_pControl->GetSafeHwnd() != nullptr && m_pControl->IsWindowVisible())
        return;
    CXTPControlButton::Draw(pDC);
}

void CXTPControlCustom::OnClick(BOOL bKeyboard, CPoint pt)
{
    if (m_pControl != nullptr && m_pControl->GetSafeHwnd() != nullptr && m_pControl->IsWindowVisible() &&
        !IsCustomizeMode())
        return;
    CXTPControlButton::OnClick(bKeyboard, pt);
}

void CXTPControlCustom::SetEnabled(BOOL bEnabled)
{
    if (bEnabled == m_bEnabled)
        return;
    m_bEnabled = bEnabled;
    if (m_pControl != nullptr && m_pControl->GetSafeHwnd() != nullptr)
        m_pControl->EnableWindow(bEnabled);
    RedrawParent();
}

void CXTPControlCustom::SetHideFlags(DWORD dwFlags)
{
    if (dwFlags == m_dwHideFlags)
        return;
    m_dwHideFlags = dwFlags;
    ApplyVisibility();
    DelayLayoutParent();
}

BOOL CXTPControlCustom::IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint, DROPEFFECT&)
{
    return pCommandBar != nullptr && pCommandBar->GetType() == xtpBarTypePopup;
}

void CXTPControlCustom::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    if (CXTPControlCustom* pCustom = DYNAMIC_DOWNCAST(CXTPControlCustom, pControl)) {
        m_rcBorders = pCustom->m_rcBorders;
        m_bControlVisible = pCustom->m_bControlVisible;
        m_szControl = pCustom->m_szControl;
        m_verticalOptions = pCustom->m_verticalOptions;
        Attach(pCustom->m_pControl);
        m_nControlID = pCustom->m_nControlID;
    }
    CXTPControlButton::Copy(pControl, bRecursive);
}

CXTPControl* CXTPControlCustom::Clone(BOOL bRecursive)
{
    CXTPControlCustom* pClone = new CXTPControlCustom;
    pClone->Copy(this, bRecursive);
    return pClone;
}

void CXTPControlCustom::Serialize(CArchive& ar)
{
    CXTPControlButton::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<int>(m_rcBorders.left) << static_cast<int>(m_rcBorders.top)
           << static_cast<int>(m_rcBorders.right) << static_cast<int>(m_rcBorders.bottom)
           << static_cast<int>(m_szControl.cx) << static_cast<int>(m_szControl.cy)
           << static_cast<int>(m_verticalOptions) << m_nControlID;
        return;
    }
    int nLeft = 0, nTop = 0, nRight = 0, nBottom = 0, cx = 0, cy = 0, nOption = 0;
    ar >> nLeft >> nTop >> nRight >> nBottom >> cx >> cy >> nOption;
    m_rcBorders.SetRect(nLeft, nTop, nRight, nBottom);
    m_szControl = CSize(cx, cy);
    m_verticalOptions = static_cast<XTPControlCustomVerticalOptions>(nOption);
    if (m_nLoadedSchema >= 6)
        ar >> m_nControlID;
    if (m_nControlID == 0)
        return;
    // The window is found again among the site's children, else among each toolbar's.
    CXTPCommandBars* pCommandBars = static_cast<CXTPCommandBars*>(ar.m_pDocument);
    CWnd* pSite = pCommandBars != nullptr ? pCommandBars->GetSite() : nullptr;
    HWND hWnd = nullptr;
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr)
        hWnd = ::GetDlgItem(pSite->GetSafeHwnd(), m_nControlID);
    if (hWnd == nullptr && pSite != nullptr && pSite->GetSafeHwnd() != nullptr)
        hWnd = FindInBars(pSite->GetSafeHwnd(), m_nControlID);
    // Only a window with its own object can be hosted: a temporary wrapper would not outlive the idle time.
    Attach(hWnd != nullptr ? CWnd::FromHandlePermanent(hWnd) : nullptr);
}
