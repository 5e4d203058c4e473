#include "toolkit/commandbars/XTPPopupBar.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTHelpers.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPMenuSoundPlayer.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPShadowManager.h"
#include "toolkit/commandbars/XTPShortcuts.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// The height of the areas that scroll a popup taller than the screen.
const int kScrollAreaHeight = 16;
// How far the pointer may leave the tear-off gripper before the popup is torn off.
const int kTearOffZone = 10;
// The least size of a popup.
const int kMinPopupSize = 22;

DWORD ReadUserPreferencesMask()
{
    CScopedRegKey hKey;
    DWORD dwMask = 0;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ, hKey.Receive()) != ERROR_SUCCESS)
        return 0;
    BYTE bytes[4] = {};
    DWORD dwSize = sizeof(bytes);
    if (::RegQueryValueExW(hKey, L"UserPreferencesMask", nullptr, nullptr, bytes, &dwSize) == ERROR_SUCCESS &&
        dwSize >= sizeof(bytes))
        dwMask = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<DWORD>(bytes[3]) << 24);
    return dwMask;
}

} // namespace

// ---- Placement

XTPPopupPlacement CalcPopupPlacement(const CRect& rcWork, const CRect& rcExclude, CPoint pt, CSize sz, DWORD dwFlags)
{
    const int L = rcWork.left, T = rcWork.top, R = rcWork.right;
    const int nBottom = rcWork.bottom - 5;
    // The upper half of this work area (not of the primary screen's coordinates).
    const int nMiddle = T + (nBottom - T) / 2;
    const BOOL bHasWidth = rcExclude.Width() > 0;
    const BOOL bHasHeight = rcExclude.Height() > 0;
    int x = pt.x, y = pt.y, cx = sz.cx, cy = sz.cy;
    BOOL bScroll = FALSE;

    if (dwFlags == (xtpPopupLeft | xtpPopupDown) && bHasWidth)
        x = rcExclude.right - cx;
    else if ((dwFlags & xtpPopupLeft) && bHasWidth)
        x = rcExclude.left - cx;
    else if (dwFlags & xtpPopupLeft)
        x -= cx;

    if (bHasHeight || y <= nBottom) {
        if (y + cy > nBottom) {
            if (!bHasHeight) {
                y = y < nMiddle ? nBottom - cy : y - cy;
            } else if (dwFlags & xtpPopupDown) {
                y = rcExclude.top - cy;
                if (y < T) {
                    bScroll = TRUE;
                    if (nMiddle < (rcExclude.top + rcExclude.bottom) / 2) {
                        y = T;
                        cy = rcExclude.top - T;
                    } else {
                        y = rcExclude.bottom;
                        cy = nBottom - rcExclude.bottom;
                    }
                }
            } else {
                y = nBottom - cy;
            }
        }
        if (y < T)
            y = T;
        if (y + cy > nBottom) {
            cy = nBottom - y;
            bScroll = TRUE;
        }
    } else {
        // A point beyond the monitor's bottom opens upwards from the bottom.
        y = std::min(y, static_cast<int>(rcWork.bottom)) - cy;
        // Still inside the monitor: a menu taller than the space above the point shortens and scrolls.
        if (y < T)
            y = T;
        if (y + cy > rcWork.bottom) {
            cy = rcWork.bottom - y;
            bScroll = TRUE;
        }
    }

    if (x + cx > R) {
        if (!bHasWidth)
            x = x > R ? x - cx : R - cx;
        else {
            x = ((dwFlags & xtpPopupDown) ? R : rcExclude.left) - cx;
            dwFlags |= xtpPopupLeft;
        }
    }
    if (x < L) {
        if (bHasWidth) {
            x = (dwFlags & xtpPopupDown) ? L : rcExclude.right;
            dwFlags &= ~static_cast<DWORD>(xtpPopupLeft);
        } else {
            // The monitor's own left edge: a monitor left of the primary one has negative coordinates.
            x = L;
            dwFlags &= ~static_cast<DWORD>(xtpPopupLeft);
        }
    }
    // Whatever the rules chose, a popup that fits the work area stays inside it.
    if (cx <= R - L) {
        if (x + cx > R)
            x = R - cx;
        if (x < L)
            x = L;
    }
    return XTPPopupPlacement{CPoint(x, y), CSize(cx, std::max(0, cy)), dwFlags, bScroll};
}

int GetPopupAnimationType(CXTPCommandBar* pBar)
{
    CXTPCommandBars* pCommandBars = pBar != nullptr ? pBar->GetCommandBars() : nullptr;
    if (pCommandBars == nullptr ||
        (pBar->GetSafeHwnd() != nullptr && ::GetWindow(pBar->GetSafeHwnd(), GW_CHILD) != nullptr))
        return xtpAnimateNone;
    const int nAnimation = pCommandBars->GetCommandBarsOptions()->animationType;
    switch (nAnimation) {
    case xtpAnimateWindowsDefault: {
        const DWORD dwMask = ReadUserPreferencesMask();
        if ((dwMask & 0x2) == 0)
            return xtpAnimateWindowsDefault;
        return (dwMask & 0x200) ? xtpAnimateFade : xtpAnimateSlide;
    }
    case xtpAnimateRandom: {
        static const int kinds[3] = {xtpAnimateFade, xtpAnimateSlide, xtpAnimateUnfold};
        return kinds[std::rand() % 3];
    }
    default:
        return nAnimation;
    }
}

// ---- CXTPPopupBar

IMPLEMENT_SERIAL(CXTPPopupBar, CXTPCommandBar, VERSIONABLE_SCHEMA | 7)

BEGIN_MESSAGE_MAP(CXTPPopupBar, CXTPCommandBar)
ON_WM_MOUSEMOVE()
ON_WM_MOUSEACTIVATE()
ON_WM_LBUTTONDOWN()
ON_WM_TIMER()
END_MESSAGE_MAP()

CXTPPopupBar::CXTPPopupBar()
    : m_bScroll(FALSE), m_nFirstVisible(0),
      m_nLastVisible(0), m_scrollDown{CRect(), 0, this, XTP_TID_SCROLLDOWN}, m_scrollUp{CRect(), 0, this,
                                                                                        XTP_TID_SCROLLUP},
      m_pControlPopup(nullptr), m_ptPopup(0, 0), m_rcExclude(), m_dwPopupFlags(0), m_bInLayout(FALSE),
      m_bShowExpandButton(FALSE), m_bExpanded(FALSE), m_bExpanding(FALSE), m_bTearOffPopup(FALSE), m_rcTearOffGripper(),
      m_bTearOffSelected(FALSE), m_nTearOffTimer(0), m_bTearOffTracking(FALSE), m_szTearOffBar(0, 0),
      m_pTearOffBar(nullptr), m_nTearOffID(0), m_nTearOffWidth(0), m_bShowShadow(TRUE), m_rcPopupBorders(2, 4, 2, 4),
      m_nPopupReserved(0)
{
    m_barType = xtpBarTypePopup;
    m_barPosition = xtpBarPopup;
}

CXTPPopupBar::~CXTPPopupBar()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        DestroyWindow();
}

CXTPPopupBar* CXTPPopupBar::CreatePopupBar(CXTPCommandBars* pCommandBars)
{
    CXTPPopupBar* pPopupBar = new CXTPPopupBar;
    pPopupBar->SetCommandBars(pCommandBars);
    return pPopupBar;
}

void CXTPPopupBar::Serialize(CArchive& ar)
{
    CXTPCommandBar::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_bTearOffPopup << m_strTearOffCaption << static_cast<DWORD>(m_nTearOffID) << m_nTearOffWidth;
        ar << m_rcPopupBorders.left << m_rcPopupBorders.top << m_rcPopupBorders.right << m_rcPopupBorders.bottom;
        ar << m_bShowShadow;
        return;
    }
    DWORD dwID = 0;
    ar >> m_bTearOffPopup >> m_strTearOffCaption >> dwID >> m_nTearOffWidth;
    m_nTearOffID = dwID;
    if (m_nLoadedSchema >= 4) {
        ar >> m_rcPopupBorders.left >> m_rcPopupBorders.top >> m_rcPopupBorders.right >> m_rcPopupBorders.bottom;
        ar >> m_bShowShadow;
    }
}

void CXTPPopupBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPCommandBar::Copy(pCommandBar, bRecursive);
    CXTPPopupBar* pSource = DYNAMIC_DOWNCAST(CXTPPopupBar, pCommandBar);
    if (pSource == nullptr)
        return;
    m_bTearOffPopup = pSource->m_bTearOffPopup;
    m_strTearOffCaption = pSource->m_strTearOffCaption;
    m_nTearOffID = pSource->m_nTearOffID;
    m_nTearOffWidth = pSource->m_nTearOffWidth;
    m_bShowShadow = pSource->m_bShowShadow;
    m_rcPopupBorders = pSource->m_rcPopupBorders;
}

CXTPCommandBar* CXTPPopupBar::GetParentCommandBar() const
{
    return m_pControlPopup != nullptr ? m_pControlPopup->GetParent() : nullptr;
}

void CXTPPopupBar::SetTearOffPopup(LPCTSTR lpszCaption, UINT nBarID, int nWidth)
{
    m_bTearOffPopup = nBarID != 0;
    if (!m_bTearOffPopup)
        return;
    m_strTearOffCaption = lpszCaption;
    m_nTearOffID = nBarID;
    m_nTearOffWidth = nWidth;
}

int CXTPPopupBar::GetDefaultItem(BOOL bByPosition) const
{
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->IsVisible() && pControl->IsDefaultItem())
            return bByPosition ? i : pControl->GetID();
    }
    return -1;
}

void CXTPPopupBar::DelayRedraw()
{
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

BOOL CXTPPopupBar::IsVisible() const
{
    return m_hWnd != nullptr && ::IsWindowVisible(m_hWnd);
}

BOOL CXTPPopupBar::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    CWnd* pSite = GetSite();
    HWND hWndSite = pSite != nullptr ? pSite->GetSafeHwnd() : nullptr;
    if (hWndSite == m_hWnd)
        hWndSite = nullptr;
    // The windows of edit, combo box and custom controls belong to their controls, not to this window.
    HWND hWndChild = ::GetWindow(m_hWnd, GW_CHILD);
    while (hWndChild != nullptr) {
        HWND hWndNext = ::GetWindow(hWndChild, GW_HWNDNEXT);
        ::ShowWindow(hWndChild, SW_HIDE);
        ::SetParent(hWndChild, hWndSite);
        hWndChild = hWndNext;
    }
    m_scrollDown.nTimer = 0;
    m_scrollUp.nTimer = 0;
    m_nTearOffTimer = 0;
    return CXTPCommandBar::DestroyWindow();
}

// ---- Opening and closing

BOOL CXTPPopupBar::CreatePopupWindow()
{
    if (m_hWnd != nullptr)
        return TRUE;
    CWnd* pSite = GetSite();
    DWORD dwExStyle = WS_EX_TOOLWINDOW;
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr && (pSite->GetExStyle() & WS_EX_LAYOUTRTL))
        dwExStyle |= WS_EX_LAYOUTRTL;
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
    if (!CreateEx(dwExStyle, lpszClass, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr,
                  nullptr))
        return FALSE;
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr)
        CWnd::SetOwner(pSite);
    return TRUE;
}

BOOL CXTPPopupBar::Popup(int x, int y, LPCRECT rcExclude)
{
    return PopupAt(x, y, rcExclude);
}

BOOL CXTPPopupBar::PopupAt(int x, int y, LPCRECT rcExclude)
{
    m_ptPopup = CPoint(x, y);
    if (rcExclude != nullptr)
        m_rcExclude = *rcExclude;
    else
        m_rcExclude.SetRectEmpty();
    m_dwPopupFlags = m_bRightAlign ? static_cast<DWORD>(xtpPopupLeft) : 0;
    return Popup(static_cast<CXTPControlPopup*>(nullptr), FALSE);
}

BOOL CXTPPopupBar::Popup(CXTPControlPopup* pControlPopup, BOOL bSelectFirst)
{
    m_pControlPopup = pControlPopup;
    if (!CreatePopupWindow())
        return FALSE;
    // Kept alive while the application fills the popup and while it opens.
    CScopedReference keepThis(this);
    CWnd* pOwnerSite = GetOwnerSite();
    if (pOwnerSite != nullptr && pOwnerSite->GetSafeHwnd() != nullptr)
        pOwnerSite->SendMessage(WM_XTP_INITCOMMANDSPOPUP, 0, reinterpret_cast<LPARAM>(this));
    if (m_hWnd == nullptr)
        return FALSE;

    m_bTearOffSelected = FALSE;
    m_bShowExpandButton = FALSE;
    // Each opening starts short unless this tracking run has already expanded a popup.
    m_bExpanded = IsCustomizeMode() || XTPMouseManager()->IsForceExpanded();
    UpdateFlags();
    const CSize sz = CalcDynamicLayout(0, 0);
    UpdateLocation(sz);

    SetTrackingMode(TRUE, bSelectFirst, FALSE);
    m_dwPending &= ~xtpPendingLayout;
    OnUpdateCmdUI(TRUE, 0);
    if (m_hWnd == nullptr)
        return FALSE;

    AnimatePopup();
    PlayMenuSound(xtpMenuSoundPopup);
    if (m_barPosition == xtpBarPopup && m_bShowShadow) {
        XTPShadowManager()->RemoveShadow(this);
        XTPShadowManager()->SetShadow(this, m_rcExclude);
    }
    return TRUE;
}

BOOL CXTPPopupBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard)
{
    if (!CXTPCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard))
        return FALSE;
    if (bMode)
        return TRUE;
    CScopedReference keepThis(this);
    DestroyWindow();
    if (CXTPCommandBar* pParent = GetParentCommandBar())
        pParent->SetPopuped(-1);
    CWnd* pSite = GetSite();
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr)
        pSite->UpdateWindow();
    m_pControlPopup = nullptr;
    return TRUE;
}

void CXTPPopupBar::UpdateFlags()
{
    if (m_pControlPopup == nullptr)
        return;
    CXTPCommandBar* pParent = m_pControlPopup->GetParent();
    if (pParent == nullptr)
        return;
    DWORD dwFlags = 0;
    if ((m_pControlPopup->GetFlags() & XTP_FLAG_LEFT_POPUP) || (m_hWnd != nullptr && (GetExStyle() & WS_EX_LAYOUTRTL)))
        dwFlags |= xtpPopupLeft;
    switch (pParent->GetPosition()) {
    case xtpBarLeft:
    case xtpBarPopup: {
        CXTPPopupBar* pParentPopup = DYNAMIC_DOWNCAST(CXTPPopupBar, pParent);
        if (pParent->GetType() == xtpBarTypePopup && pParentPopup != nullptr &&
            (pParentPopup->m_dwPopupFlags & xtpPopupLeft))
            dwFlags = xtpPopupLeft;
        break;
    }
    case xtpBarRight:
        dwFlags = xtpPopupLeft;
        break;
    default:
        dwFlags |= xtpPopupDown;
        break;
    }
    CRect rc = m_pControlPopup->GetRect();
    if (m_pControlPopup->GetType() == xtpControlComboBox && pParent->GetType() != xtpBarTypePopup)
        dwFlags = xtpPopupDown;
    if (pParent->GetSafeHwnd() != nullptr)
        pParent->ClientToScreen(&rc);
    m_rcExclude = rc;
    m_dwPopupFlags = dwFlags;
    m_ptPopup = (dwFlags & xtpPopupDown) ? CPoint(rc.left, rc.bottom) : CPoint(rc.right, rc.top);
}

void CXTPPopupBar::UpdateLocation(CSize sz)
{
    // The monitor of the control, else of the point the popup opens at.
    const CRect rcWork =
        !m_rcExclude.IsRectEmpty() ? GetWorkAreaFromRect(m_rcExclude) : CXTPMultiMonitor().GetWorkArea(m_ptPopup);
    const XTPPopupPlacement placement = CalcPopupPlacement(rcWork, m_rcExclude, m_ptPopup, sz, m_dwPopupFlags);
    m_dwPopupFlags = placement.dwFlags;
    m_bScroll = placement.bScroll;
    if (m_bScroll) {
        m_nFirstVisible = 0;
        AdjustScrolling(placement.szPopup, 0, FALSE);
    } else {
        m_scrollUp.rc.SetRectEmpty();
        m_scrollDown.rc.SetRectEmpty();
    }
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, placement.ptPos.x, placement.ptPos.y, placement.szPopup.cx,
                   placement.szPopup.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CXTPPopupBar::AnimatePopup()
{
    CXTPCommandBar* pParent = GetParentCommandBar();
    const BOOL bAnimate = (pParent == nullptr || pParent->m_bAnimatePopup) && !IsCustomizeMode() &&
                          ::GetWindow(m_hWnd, GW_CHILD) == nullptr;
    if (pParent != nullptr)
        pParent->m_bAnimatePopup = FALSE;
    if (!bAnimate)
        return;
    const int nAnimation = GetPopupAnimationType(this);
    if (nAnimation < xtpAnimateUnfold || nAnimation > xtpAnimateFade)
        return;
    if (pParent != nullptr && pParent->GetSafeHwnd() != nullptr)
        pParent->UpdateWindow();
    CWnd* pSite = GetSite();
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr)
        pSite->UpdateWindow();
    CRect rc;
    GetClientRect(&rc);
    CClientDC dc(this);
    CBitmap bitmap;
    if (rc.IsRectEmpty() || !bitmap.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height()))
        return;
    CXTPBitmapDC memDC(&dc, static_cast<HBITMAP>(bitmap.GetSafeHandle()));
    DrawCommandBar(&memDC);
    GetPaintManager()->AnimatePopup(&dc, &memDC, rc, nAnimation);
}

// ---- Layout

CRect CXTPPopupBar::GetMargins(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    CRect rcBorders = pPaintManager->GetBorders(this);
    if (m_bTearOffPopup)
        rcBorders.top += pPaintManager->DrawPopupStrip(pDC, CRect(), FALSE, FALSE).cy;
    if (m_bShowExpandButton) {
        CXTPControl* pExpand = m_pControls->FindControl(XTP_ID_POPUPBAR_EXPAND);
        rcBorders.bottom += pPaintManager->DrawControl(pDC, xtpButtonExpandMenu, pExpand, this, FALSE, CSize(0, 0)).cy;
    }
    return rcBorders;
}

CSize CXTPPopupBar::CalcDynamicLayout(int, DWORD)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager == nullptr)
        return CSize(kMinPopupSize, kMinPopupSize);
    CScopedWindowDC windowDC(m_hWnd);
    CDC* pDC = CDC::FromHandle(windowDC.Get());
    CFont* pFont = pPaintManager->GetControlFont(this, FALSE);
    CXTPScopedSelect selectFont(pDC->GetSafeHdc(), pFont != nullptr ? pFont->GetSafeHandle() : nullptr);
    m_bInLayout = TRUE;
    const CSize sz = m_barType == xtpBarTypePopup ? CalcMenuLayout(pDC) : CalcToolBarLayout(pDC);
    m_bInLayout = FALSE;
    return sz;
}

CSize CXTPPopupBar::CalcMenuLayout(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    CRect rcWork;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    const CRect rcOuter = pPaintManager->GetBorders(this);
    CRect rcBorders = rcOuter;
    const int nSeparator = pPaintManager->DrawSeparator(pDC, this, nullptr, FALSE).cy;
    int nGripper = 0;
    if (m_bTearOffPopup) {
        nGripper = pPaintManager->DrawPopupStrip(pDC, CRect(), FALSE, FALSE).cy;
        rcBorders.top += nGripper;
    }
    for (int i = 0; i < GetControlCount(); ++i)
        GetControl(i)->OnCalcDynamicSize(0);
    UpdateExpandingState();

    CXTPControl* pExpand = m_pControls->FindControl(XTP_ID_POPUPBAR_EXPAND);
    CSize szExpand(0, 0);
    if (m_bShowExpandButton) {
        if (pExpand == nullptr)
            pExpand = m_pControls->Add(new CXTPControlExpandButton, XTP_ID_POPUPBAR_EXPAND, L"");
        szExpand = pPaintManager->DrawControl(pDC, xtpButtonExpandMenu, pExpand, this, FALSE, CSize(0, 0));
        rcBorders.bottom += szExpand.cy;
        pExpand->SetHideFlag(xtpHideGeneric, TRUE);
    } else if (pExpand != nullptr) {
        pExpand->SetHideFlag(xtpHideGeneric, TRUE);
    }
    UpdateShortcuts();

    // A very long caption makes a popup no wider than a third of the screen.
    const int nMaxWidth = rcWork.right / 3;
    int y = rcBorders.top;
    int nWidest = 0;
    BOOL bFirst = TRUE;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        pControl->SetHideFlag(xtpHideScroll, FALSE);
        if (!pControl->IsVisible())
            continue;
        if (pControl->GetBeginGroup() && !bFirst)
            y += nSeparator;
        bFirst = FALSE;
        CFont* pFont = pPaintManager->GetControlFont(this, pControl->IsDefaultItem());
        CXTPScopedSelect selectFont(pDC->GetSafeHdc(), pFont != nullptr ? pFont->GetSafeHandle() : nullptr);
        CSize sz = pControl->GetSize(pDC);
        if (nMaxWidth > 0)
            sz.cx = std::min(static_cast<int>(sz.cx), nMaxWidth);
        pControl->SetRect(CRect(rcBorders.left, y, rcBorders.left + sz.cx, y + sz.cy));
        pControl->SetWrap(FALSE);
        nWidest = std::max(nWidest, static_cast<int>(sz.cx));
        y += sz.cy;
    }
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (!pControl->IsVisible())
            continue;
        CRect rc = pControl->GetRect();
        rc.right = rc.left + nWidest;
        pControl->SetRect(rc);
    }
    if (m_bShowExpandButton && pExpand != nullptr) {
        pExpand->SetHideFlag(xtpHideGeneric, FALSE);
        pExpand->SetRect(CRect(rcBorders.left, y, rcBorders.left + nWidest, y + szExpand.cy));
    }
    m_rcTearOffGripper = CRect(rcOuter.left, rcOuter.top, rcOuter.left + nWidest, rcOuter.top + nGripper);
    if (bFirst)
        return CSize(rcBorders.left + rcBorders.right + kMinPopupSize, kMinPopupSize + rcBorders.bottom);
    return CSize(std::max(kMinPopupSize, static_cast<int>(rcBorders.left + rcBorders.right) + nWidest),
                 y + rcBorders.bottom);
}

CSize CXTPPopupBar::CalcToolBarLayout(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    CRect rcBorders = m_rcPopupBorders;
    int nGripper = 0;
    if (m_bTearOffPopup) {
        nGripper = pPaintManager->DrawPopupStrip(pDC, CRect(), FALSE, FALSE).cy;
        rcBorders.top += nGripper;
    }
    UpdateShortcuts();
    const CSize sz = m_pControls->CalcDynamicSize(pDC, 0, LM_COMMIT | LM_HORZ | LM_POPUP, rcBorders);
    m_rcTearOffGripper =
        CRect(rcBorders.left, m_rcPopupBorders.top, sz.cx - rcBorders.left, m_rcPopupBorders.top + nGripper);
    return sz;
}

void CXTPPopupBar::UpdateShortcuts()
{
    if (GetFrameSite() == nullptr)
        return;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (!pControl->IsVisible() || pControl->GetID() <= 0)
            continue;
        CString strShortcut = pControl->GetShortcutText();
        if (FindCommandShortcut(static_cast<UINT>(pControl->GetID()), strShortcut, pCommandBars))
            pControl->SetShortcutText(strShortcut);
    }
}

void CXTPPopupBar::UpdateExpandingState()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == nullptr)
        return;
    if (pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus) {
        for (int i = 0; i < GetControlCount(); ++i)
            GetControl(i)->SetRarelyUsed(FALSE);
        m_bExpanded = TRUE;
        m_bShowExpandButton = FALSE;
        return;
    }
    m_bShowExpandButton = FALSE;
    BOOL bFrequent = FALSE;
    BOOL bRare = FALSE;
    const DWORD dwOwnHide = xtpHideScroll | xtpHideExpand;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->GetID() == XTP_ID_POPUPBAR_EXPAND)
            continue;
        const BOOL bRarelyUsed = pCommandBars->IsCommandRarelyUsed(static_cast<UINT>(pControl->GetID()));
        pControl->SetRarelyUsed(bRarelyUsed);
        const BOOL bShown = (pControl->GetHideFlags() & ~dwOwnHide) == 0;
        if (bShown && !bRarelyUsed)
            bFrequent = TRUE;
        if (bShown && bRarelyUsed)
            bRare = TRUE;
    }
    for (int i = 0; i < GetControlCount(); ++i)
        GetControl(i)->SetHideFlag(xtpHideExpand, FALSE);
    // An expand button with nothing behind it would do nothing: it needs a rarely used command to show.
    if (!m_bExpanded && bFrequent && bRare) {
        for (int i = 0; i < GetControlCount(); ++i) {
            CXTPControl* pControl = GetControl(i);
            if (pControl->IsRarelyUsed())
                pControl->SetHideFlag(xtpHideExpand, TRUE);
        }
        m_bShowExpandButton = TRUE;
    }
}

void CXTPPopupBar::ExpandBar()
{
    if (m_bExpanded || !m_bShowExpandButton)
        return;
    m_bExpanding = TRUE;
    m_bExpanded = TRUE;
    SetPopuped(-1);
    SetSelected(-1);
    OnRecalcLayout();
    XTPMouseManager()->SetForceExpanded(TRUE);
}

void CXTPPopupBar::OnRecalcLayout()
{
    OnControlsChanged();
}

void CXTPPopupBar::SetShadows()
{
    XTPShadowManager()->RemoveShadow(this);
    XTPShadowManager()->SetShadow(this, m_rcExclude);
}

void CXTPPopupBar::OnControlsChanged()
{
    if (m_bInLayout)
        return;
    if (m_hWnd == nullptr || !m_bTracking) {
        CXTPCommandBar::OnControlsChanged();
        return;
    }
    CScopedReference keepThis(this);
    XTPShadowManager()->RemoveShadow(this);
    UpdateShortcuts();
    UpdateFlags();
    UpdateLocation(CalcDynamicLayout(0, 0));
    if (m_bExpanding) {
        const int nAnimation = GetPopupAnimationType(this);
        if (nAnimation >= xtpAnimateUnfold && nAnimation <= xtpAnimateFade) {
            CRect rc;
            GetClientRect(&rc);
            CWindowDC dc(this);
            CBitmap bitmap;
            if (!rc.IsRectEmpty() && bitmap.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height())) {
                CXTPBitmapDC memDC(&dc, static_cast<HBITMAP>(bitmap.GetSafeHandle()));
                DrawCommandBar(&memDC);
                GetPaintManager()->AnimateExpand(this, &dc, &memDC);
            }
        }
        PlayMenuSound(xtpMenuSoundPopup);
    }
    if (m_barPosition == xtpBarPopup && m_bShowShadow)
        SetShadows();
    if (m_pControlPopup != nullptr)
        m_pControlPopup->DelayRedrawParent();
    Invalidate(FALSE);
    m_bExpanding = FALSE;
}

// ---- Scrolling

void CXTPPopupBar::AdjustScrolling(CSize sz, int nDirection, BOOL bRedraw)
{
    CScopedWindowDC windowDC(m_hWnd);
    CDC* pDC = CDC::FromHandle(windowDC.Get());
    const CRect rcMargins = GetMargins(pDC);
    CXTPPaintManager* pPaintManager = GetPaintManager();
    const int nSeparator = pPaintManager->DrawSeparator(pDC, this, nullptr, FALSE).cy;
    const int nCount = GetControlCount();
    const int nLeft = rcMargins.left, nRight = sz.cx - rcMargins.right;
    const int nTop = rcMargins.top, nBottom = sz.cy - rcMargins.bottom;
    m_scrollUp.rc.SetRectEmpty();
    m_scrollDown.rc.SetRectEmpty();
    auto isRow = [&](int i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->GetID() == XTP_ID_POPUPBAR_EXPAND)
            return false;
        pControl->SetHideFlag(xtpHideScroll, FALSE);
        return pControl->IsVisible() != FALSE;
    };
    auto place = [&](int i, int y) {
        CXTPControl* pControl = GetControl(i);
        CRect rc = pControl->GetRect();
        rc.OffsetRect(0, y - rc.top);
        pControl->SetRect(rc);
    };
    auto hide = [&](int i) {
        if (GetControl(i)->GetID() != XTP_ID_POPUPBAR_EXPAND)
            GetControl(i)->SetHideFlag(xtpHideScroll, TRUE);
    };

    if (nDirection == 1) {
        if (m_nLastVisible == nCount - 1)
            m_nLastVisible = nCount;
        m_nLastVisible = std::min(std::max(m_nLastVisible, 0), nCount);
        int yBottom = nBottom;
        if (m_nLastVisible < nCount) {
            m_scrollDown.rc = CRect(nLeft, nBottom - kScrollAreaHeight, nRight, nBottom);
            yBottom -= kScrollAreaHeight;
        }
        for (int i = m_nLastVisible; i < nCount; ++i)
            hide(i);
        int i = m_nLastVisible - 1;
        int nPendingGap = 0;
        for (; i >= 0; --i) {
            if (!isRow(i))
                continue;
            CXTPControl* pControl = GetControl(i);
            const int nHeight = pControl->GetRect().Height();
            const int yTop = yBottom - nPendingGap - nHeight;
            if (yTop < nTop + kScrollAreaHeight)
                break;
            place(i, yTop);
            yBottom = yTop;
            nPendingGap = pControl->GetBeginGroup() ? nSeparator : 0;
        }
        if (i < 0) {
            // Everything above fits: lay out from the top instead of leaving a gap there.
            m_nFirstVisible = 0;
            nDirection = 0;
        } else {
            m_nFirstVisible = i + 1;
            for (int j = 0; j <= i; ++j)
                hide(j);
            m_scrollUp.rc = CRect(nLeft, nTop, nRight, nTop + kScrollAreaHeight);
        }
    }
    if (nDirection == 0) {
        if (m_nFirstVisible == 1)
            m_nFirstVisible = 0;
        m_nFirstVisible = std::min(std::max(m_nFirstVisible, 0), nCount);
        int y = nTop;
        if (m_nFirstVisible > 0) {
            m_scrollUp.rc = CRect(nLeft, nTop, nRight, nTop + kScrollAreaHeight);
            y += kScrollAreaHeight;
        }
        for (int j = 0; j < m_nFirstVisible; ++j)
            hide(j);
        int i = m_nFirstVisible;
        BOOL bFirst = TRUE;
        for (; i < nCount; ++i) {
            if (!isRow(i))
                continue;
            CXTPControl* pControl = GetControl(i);
            const int yTop = y + ((pControl->GetBeginGroup() && !bFirst) ? nSeparator : 0);
            if (yTop + pControl->GetRect().Height() > nBottom - kScrollAreaHeight)
                break;
            place(i, yTop);
            y = yTop + pControl->GetRect().Height();
            bFirst = FALSE;
        }
        m_nLastVisible = i;
        for (int j = i; j < nCount; ++j)
            hide(j);
        if (m_nLastVisible < nCount)
            m_scrollDown.rc = CRect(nLeft, nBottom - kScrollAreaHeight, nRight, nBottom);
    }
    if (m_bShowExpandButton) {
        if (CXTPControl* pExpand = m_pControls->FindControl(XTP_ID_POPUPBAR_EXPAND)) {
            CRect rc = pExpand->GetRect();
            rc.OffsetRect(0, nBottom - rc.top);
            pExpand->SetRect(rc);
        }
    }
    const int nGripper = m_rcTearOffGripper.Height();
    const CRect rcOuter = pPaintManager->GetBorders(this);
    m_rcTearOffGripper = CRect(rcOuter.left, rcOuter.top, nRight, rcOuter.top + nGripper);
    if (bRedraw && m_hWnd != nullptr)
        Invalidate(FALSE);
}

BOOL CXTPPopupBar::ScrollBy(BOOL bDown)
{
    if (!m_bScroll || m_hWnd == nullptr)
        return FALSE;
    CRect rcClient;
    GetClientRect(&rcClient);
    if (bDown) {
        if (m_nLastVisible >= GetControlCount())
            return FALSE;
        ++m_nLastVisible;
        AdjustScrolling(rcClient.Size(), 1, TRUE);
    } else {
        if (m_nFirstVisible <= 0)
            return FALSE;
        --m_nFirstVisible;
        AdjustScrolling(rcClient.Size(), 0, TRUE);
    }
    return TRUE;
}

BOOL CXTPPopupBar::SetSelected(int nSelected, BOOL bKeyboard)
{
    if (!CXTPCommandBar::SetSelected(nSelected, bKeyboard))
        return FALSE;
    CXTPControl* pControl = GetControl(m_nSelected);
    if (m_bScroll && pControl != nullptr && (pControl->GetHideFlags() & xtpHideScroll)) {
        CRect rcClient;
        GetClientRect(&rcClient);
        if (m_nSelected < m_nFirstVisible) {
            m_nFirstVisible = m_nSelected;
            AdjustScrolling(rcClient.Size(), 0, TRUE);
        } else {
            m_nLastVisible = m_nSelected + 1;
            AdjustScrolling(rcClient.Size(), 1, TRUE);
        }
    }
    return TRUE;
}

// ---- Keyboard, mouse and timers

int CXTPPopupBar::ProcessKeyDown(UINT nChar, LPARAM lParam)
{
    if (m_bTracking && m_bShowExpandButton && nChar == VK_DOWN && !IsCustomizeMode()) {
        if (::GetKeyState(VK_CONTROL) < 0) {
            ExpandBar();
        } else {
            const int nNext = m_pControls->FindNextIndex(m_nSelected, +1);
            if (nNext != -1 && nNext <= m_nSelected)
                ExpandBar();
        }
    }
    return CXTPCommandBar::ProcessKeyDown(nChar, lParam);
}

int CXTPPopupBar::OnMouseActivate(CWnd*, UINT, UINT)
{
    return MA_NOACTIVATE;
}

void CXTPPopupBar::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bScroll) {
        for (CScrollArea* pArea : {&m_scrollDown, &m_scrollUp}) {
            if (pArea->rc.PtInRect(point)) {
                if (pArea->nTimer == 0)
                    pArea->nTimer = SetTimer(pArea->nTimerId, 80);
                SetPopuped(-1);
            } else if (pArea->nTimer != 0) {
                KillTimer(pArea->nTimerId);
                pArea->nTimer = 0;
            }
        }
    }
    if (m_bTearOffPopup && !IsCustomizeMode() && !m_bTearOffSelected && m_rcTearOffGripper.PtInRect(point)) {
        SetSelected(-1);
        SetPopuped(-1);
        if (m_nTearOffTimer == 0)
            m_nTearOffTimer = SetTimer(XTP_TID_TEAROFF, 80);
    }
    CRect rcClient;
    GetClientRect(&rcClient);
    CXTPCommandBar* pParent = GetParentCommandBar();
    if (pParent != nullptr && m_pControlPopup != nullptr && rcClient.PtInRect(point) &&
        pParent->GetSafeHwnd() != nullptr && pParent->GetSelected() != m_pControlPopup->GetIndex())
        pParent->SetSelected(m_pControlPopup->GetIndex(), pParent->IsKeyboardSelection());
    CXTPCommandBar::OnMouseMove(nFlags, point);
}

void CXTPPopupBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == XTP_TID_SCROLLDOWN || nIDEvent == XTP_TID_SCROLLUP) {
        const BOOL bDown = nIDEvent == XTP_TID_SCROLLDOWN;
        CScrollArea& area = bDown ? m_scrollDown : m_scrollUp;
        const BOOL bMoved = ScrollBy(bDown);
        const BOOL bEnd = bDown ? m_nLastVisible >= GetControlCount() : m_nFirstVisible <= 0;
        if (!bMoved || bEnd) {
            KillTimer(nIDEvent);
            area.nTimer = 0;
        }
        return;
    }
    if (nIDEvent == XTP_TID_TEAROFF) {
        const CPoint pt = GetClientCursorPos(m_hWnd);
        const BOOL bOver = m_rcTearOffGripper.PtInRect(pt);
        if (!m_bTearOffSelected && bOver) {
            m_bTearOffSelected = TRUE;
            Invalidate(FALSE);
        } else if (!bOver && !m_bTearOffTracking) {
            m_bTearOffSelected = FALSE;
            Invalidate(FALSE);
            KillTimer(XTP_TID_TEAROFF);
            m_nTearOffTimer = 0;
        }
        return;
    }
    CXTPCommandBar::OnTimer(nIDEvent);
}

void CXTPPopupBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_bTearOffPopup && !IsCustomizeMode() && m_rcTearOffGripper.PtInRect(point)) {
        CScopedReference keepThis(this);
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
        CXTPMouseManager* pMouseManager = XTPMouseManager();
        pMouseManager->LockMouseMove();
        m_bTearOffTracking = TRUE;
        TrackTearOff();
        m_bTearOffTracking = FALSE;
        pMouseManager->UnlockMouseMove();
        if (m_hWnd == nullptr)
            return;
    }
    CXTPCommandBar::OnLButtonDown(nFlags, point);
}

void CXTPPopupBar::TrackTearOff()
{
    const HWND hWnd = m_hWnd;
    if (::GetCapture() != nullptr && ::GetCapture() != hWnd)
        return;
    ::SetCapture(hWnd);
    CRect rcZone = m_rcTearOffGripper;
    ClientToScreen(&rcZone);
    rcZone.InflateRect(kTearOffZone, kTearOffZone);
    BOOL bInside = TRUE;
    CPoint ptLast(LONG_MIN, LONG_MIN);
    while (::GetCapture() == hWnd) {
        MSG msg;
        // Windows uncovered by the moving toolbar repaint before the next move; a quit ends the drag.
        if (!GetModalLoopMessage(msg))
            break;
        if (msg.message == WM_LBUTTONUP)
            break;
        if (msg.message == WM_KEYDOWN) {
            if (msg.wParam == VK_ESCAPE)
                break;
            continue;
        }
        if (msg.message == WM_MOUSEMOVE) {
            CPoint pt;
            ::GetCursorPos(&pt);
            if (pt == ptLast) {
                ::DispatchMessageW(&msg);
                continue;
            }
            ptLast = pt;
            const BOOL bNowInside = rcZone.PtInRect(pt);
            if (bNowInside != bInside) {
                bInside = bNowInside;
                SwitchTearOff(bInside, pt);
            }
            if (m_pTearOffBar != nullptr && m_pTearOffBar->GetSafeHwnd() != nullptr)
                m_pTearOffBar->SetWindowPos(nullptr, pt.x - m_szTearOffBar.cx / 2, pt.y - 10, 0, 0,
                                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    if (m_pTearOffBar != nullptr) {
        m_pTearOffBar = nullptr;
        XTPMouseManager()->EndAllTracking();
    } else if (!bInside && ::IsWindow(hWnd)) {
        // Nothing was torn off: the popup comes back rather than staying open unseen.
        ::ShowWindow(hWnd, SW_SHOWNA);
    }
}

CXTPCommandBar* CXTPPopupBar::CreateTearOffBar()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == nullptr)
        return nullptr;
    // A bar torn off before comes back where the pointer is.
    if (CXTPToolBar* pToolBar = pCommandBars->FindToolBar(m_nTearOffID)) {
        pToolBar->SetPosition(xtpBarFloating);
        pToolBar->SetVisible(TRUE);
        pCommandBars->RecalcFrameLayout();
        return pToolBar;
    }
    CXTPToolBar* pToolBar = pCommandBars->AddCustomToolBar(m_strTearOffCaption, m_nTearOffID, TRUE);
    if (pToolBar == nullptr)
        return nullptr;
    pToolBar->SetWidth(m_nTearOffWidth);
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->GetID() == XTP_ID_POPUPBAR_EXPAND)
            continue;
        CXTPControl* pClone = pToolBar->GetControls()->AddClone(pControl);
        if (pClone != nullptr) {
            pClone->SetHideFlag(xtpHideScroll, FALSE);
            pClone->SetHideFlag(xtpHideExpand, FALSE);
        }
    }
    return pToolBar;
}

void CXTPPopupBar::SwitchTearOff(BOOL bInside, CPoint pt)
{
    if (bInside) {
        ShowWindow(SW_SHOWNA);
        if (m_pTearOffBar != nullptr) {
            m_pTearOffBar->SetVisible(FALSE);
            m_pTearOffBar = nullptr;
        }
        return;
    }
    ShowWindow(SW_HIDE);
    if (m_pTearOffBar == nullptr)
        m_pTearOffBar = CreateTearOffBar();
    if (m_pTearOffBar == nullptr || m_pTearOffBar->GetSafeHwnd() == nullptr)
        return;
    m_szTearOffBar = m_pTearOffBar->CalcDynamicLayout(-1, LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
    m_pTearOffBar->SetWindowPos(nullptr, pt.x - m_szTearOffBar.cx / 2, pt.y - 10, m_szTearOffBar.cx, m_szTearOffBar.cy,
                                SWP_NOZORDER | SWP_NOACTIVATE);
    m_pTearOffBar->OnUpdateCmdUI(TRUE, 0);
    m_pTearOffBar->Invalidate(FALSE);
}

// ---- Drawing

void CXTPPopupBar::DrawCommandBar(CDC* pDC)
{
    CXTPCommandBar::DrawCommandBar(pDC);
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager == nullptr)
        return;
    if (m_bTearOffPopup && GetControlCount() > 0 && !m_rcTearOffGripper.IsRectEmpty())
        pPaintManager->DrawPopupStrip(pDC, m_rcTearOffGripper, m_bTearOffSelected, TRUE);
    const COLORREF clrArrow = XTPColorManager()->GetColor(18);
    if (!m_scrollDown.rc.IsRectEmpty()) {
        const CPoint pt = m_scrollDown.rc.CenterPoint();
        DrawTriangle(pDC, CPoint(pt.x - 3, pt.y - 1), CPoint(pt.x + 3, pt.y - 1), CPoint(pt.x, pt.y + 2), clrArrow);
    }
    if (!m_scrollUp.rc.IsRectEmpty()) {
        const CPoint pt = m_scrollUp.rc.CenterPoint();
        DrawTriangle(pDC, CPoint(pt.x - 3, pt.y + 1), CPoint(pt.x + 3, pt.y + 1), CPoint(pt.x, pt.y - 2), clrArrow);
    }
}

// ---- CXTPPopupToolBar

IMPLEMENT_SERIAL(CXTPPopupToolBar, CXTPPopupBar, VERSIONABLE_SCHEMA | 7)

CXTPPopupToolBar::CXTPPopupToolBar()
{
    m_barType = xtpBarTypeNormal;
}

CXTPPopupToolBar::~CXTPPopupToolBar() = default;

CXTPPopupToolBar* CXTPPopupToolBar::CreatePopupToolBar(CXTPCommandBars* pCommandBars)
{
    CXTPPopupToolBar* pPopupBar = new CXTPPopupToolBar;
    pPopupBar->SetCommandBars(pCommandBars);
    return pPopupBar;
}

void CXTPPopupToolBar::Serialize(CArchive& ar)
{
    CXTPPopupBar::Serialize(ar);
}

CSize CXTPPopupToolBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    return CXTPPopupBar::CalcDynamicLayout(nLength, dwMode);
}

// ---- CXTPControlExpandButton

IMPLEMENT_SERIAL(CXTPControlExpandButton, CXTPControlButton, VERSIONABLE_SCHEMA | 7)

CXTPControlExpandButton::CXTPControlExpandButton()
{
    m_controlType = xtpControlButton;
    m_dwFlags = 0x1A;
}

CSize CXTPControlExpandButton::GetSize(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    return pPaintManager != nullptr
               ? pPaintManager->DrawControl(pDC, xtpButtonExpandMenu, this, m_pParent, FALSE, CSize(0, 0))
               : CSize(0, 0);
}

void CXTPControlExpandButton::Draw(CDC* pDC)
{
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        pPaintManager->DrawControl(pDC, xtpButtonExpandMenu, this, m_pParent, TRUE, CSize(0, 0));
}

void CXTPControlExpandButton::OnExecute()
{
    if (CXTPPopupBar* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pParent))
        pPopupBar->ExpandBar();
}

void CXTPControlExpandButton::OnMouseHover()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != nullptr && pCommandBars->GetCommandBarsOptions()->bShowFullAfterDelay)
        OnExecute();
}

CXTPControl* CXTPControlExpandButton::Clone(BOOL bRecursive)
{
    CXTPControlExpandButton* pClone = new CXTPControlExpandButton;
    pClone->Copy(this, bRecursive);
    return pClone;
}
