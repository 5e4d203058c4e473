#include "toolkit/controls/XTPPopupWindow.h"

#include "framework/win/Dc.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTHelpers.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/controls/XTPPopupItem.h"
#include "toolkit/controls/XTPPopupTheme.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr UINT_PTR kShowTimer = 296;
constexpr UINT_PTR kHideTimer = 297;
constexpr UINT_PTR kStayTimer = 304;

// Moves value toward target by max(1, |value - target| / nSteps).
void StepToward(LONG& value, LONG target, int nSteps)
{
    if (value == target)
        return;
    const LONG nDelta = std::max<LONG>(1, std::labs(value - target) / nSteps);
    value += value < target ? nDelta : -nDelta;
}

void StepToward(int& value, int target, int nSteps)
{
    LONG n = value;
    StepToward(n, target, nSteps);
    value = static_cast<int>(n);
}

CXTPPopupTheme* MakeTheme(XTPPopupPaintTheme nTheme)
{
    switch (nTheme) {
    case xtpPopupThemeCaption:
        return new CXTPPopupThemeCaption;
    case xtpPopupThemeFlat:
        return new CXTPPopupThemeFlat;
    case xtpPopupThemeGripper:
        return new CXTPPopupThemeGripper;
    case xtpPopupThemeBands:
        return new CXTPPopupThemeBands;
    default:
        return new CXTPPopupTheme;
    }
}

} // namespace

BEGIN_MESSAGE_MAP(CXTPPopupWindow, CWnd)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_CAPTURECHANGED()
ON_WM_MOUSEMOVE()
ON_WM_TIMER()
ON_WM_MOUSELEAVE()
ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

CXTPPopupWindow::CXTPPopupWindow()
    : m_pTheme(MakeTheme(xtpPopupThemeCaption)), m_pHotItem(nullptr), m_pPressedItem(nullptr),
      m_nAnimation(xtpPopupAnimationNone), m_nPopupState(xtpPopupStateHidden), m_szPopup(170, 130), m_ptPopup(0, 0),
      m_nTransparency(255), m_uShowDelay(5000), m_uAnimationDelay(256), m_uStep(16), m_nStep(0),
      m_nTheme(xtpPopupThemeCaption), m_bAllowMove(FALSE), m_pfnSetLayeredWindowAttributes(nullptr),
      m_bCapture(FALSE), m_stateTarget{CRect(0, 0, 0, 0), 255}, m_stateCurrent{CRect(0, 0, 0, 0), 255}
{
    CRect rcWork;
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0))
        m_ptPopup = rcWork.BottomRight();
    if (HMODULE hUser = ::GetModuleHandleW(L"USER32"))
        m_pfnSetLayeredWindowAttributes = reinterpret_cast<PFNSETLAYEREDWINDOWATTRIBUTES>(
            reinterpret_cast<void*>(::GetProcAddress(hUser, "SetLayeredWindowAttributes")));
}

CXTPPopupWindow::~CXTPPopupWindow()
{
    m_nPopupState = xtpPopupStateHidden;
    if (m_hWnd != nullptr) {
        Notify(xtpPopupStateChanged, reinterpret_cast<LPARAM>(this));
        DestroyWindow();
    }
    RemoveAllItems();
    delete m_pTheme;
}

// ---- Items and theme

void CXTPPopupWindow::SetTheme(XTPPopupPaintTheme nTheme)
{
    CXTPPopupTheme* pTheme = MakeTheme(nTheme);
    delete m_pTheme;
    m_pTheme = pTheme;
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
    m_nTheme = nTheme;
}

CXTPPopupItem* CXTPPopupWindow::AddItem(CXTPPopupItem* pItem)
{
    if (pItem == nullptr)
        return nullptr;
    m_arrItems.Add(pItem);
    pItem->m_pPopupWindow = this;
    pItem->OnItemInserted();
    return pItem;
}

void CXTPPopupWindow::RemoveAllItems()
{
    m_pHotItem = nullptr;
    m_pPressedItem = nullptr;
    for (INT_PTR i = 0; i < m_arrItems.GetSize(); ++i)
        m_arrItems[i]->InternalRelease();
    m_arrItems.RemoveAll();
}

CXTPPopupItem* CXTPPopupWindow::HitTest(CPoint point) const
{
    for (INT_PTR i = m_arrItems.GetSize() - 1; i >= 0; --i) {
        if (m_arrItems[i]->GetRect().PtInRect(point))
            return m_arrItems[i];
    }
    return nullptr;
}

void CXTPPopupWindow::RedrawControl()
{
    if (m_hWnd != nullptr)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

// ---- Showing and closing

BOOL CXTPPopupWindow::Create(CWnd* pParentWnd)
{
    if (m_hWnd != nullptr)
        return TRUE;
    DWORD dwExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if (m_pfnSetLayeredWindowAttributes != nullptr && (m_nTransparency < 255 || m_nAnimation == xtpPopupAnimationFade))
        dwExStyle |= WS_EX_LAYERED;
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
    if (!CreateEx(dwExStyle, lpszClass, nullptr, WS_POPUP, CRect(0, 0, 0, 0), pParentWnd, 0))
        return FALSE;
    m_nPopupState = xtpPopupStateHidden;
    return TRUE;
}

BOOL CXTPPopupWindow::Show(CWnd* pParent)
{
    if (!Create(pParent) || m_nPopupState != xtpPopupStateHidden)
        return FALSE;
    StartShowAnimation(TRUE);
    return TRUE;
}

void CXTPPopupWindow::Close()
{
    m_nPopupState = xtpPopupStateHidden;
    if (m_hWnd != nullptr)
        Notify(xtpPopupStateChanged, reinterpret_cast<LPARAM>(this));
    m_bCapture = FALSE;
    if (m_hWnd != nullptr)
        DestroyWindow();
    m_pHotItem = nullptr;
    m_pPressedItem = nullptr;
}

void CXTPPopupWindow::Notify(WPARAM wParam, LPARAM lParam)
{
    CWnd* pOwner = GetOwner();
    if (pOwner != nullptr && pOwner->m_hWnd != nullptr)
        pOwner->SendMessage(WM_POPUP_NOTIFY, wParam, lParam);
}

void CXTPPopupWindow::OnClick(CXTPPopupItem* pItem)
{
    Notify(xtpPopupItemClicked, reinterpret_cast<LPARAM>(pItem));
}

int CXTPPopupWindow::StepCount(UINT uAnimationDelay) const
{
    // A step delay of 0 would divide by zero: it counts as one millisecond.
    return static_cast<int>(uAnimationDelay / std::max(1u, m_uStep));
}

void CXTPPopupWindow::StartShowAnimation(BOOL bFromStart)
{
    m_nPopupState = xtpPopupStateExpanding;
    if (m_hWnd != nullptr)
        Notify(xtpPopupStateChanged, reinterpret_cast<LPARAM>(this));

    m_stateTarget.rcPopup.SetRect(m_ptPopup.x - m_szPopup.cx, m_ptPopup.y - m_szPopup.cy, m_ptPopup.x, m_ptPopup.y);
    m_stateTarget.nTransparency = m_nTransparency;

    int nSteps;
    if (bFromStart) {
        const int nAlphaBefore = m_stateCurrent.nTransparency;
        m_stateCurrent = m_stateTarget;
        if (m_nAnimation == xtpPopupAnimationNone || m_uAnimationDelay == 0) {
            UpdatePosition(TRUE, nAlphaBefore);
            OnShown();
            return;
        }
        switch (m_nAnimation) {
        case xtpPopupAnimationFade:
            m_stateCurrent.nTransparency = 0;
            break;
        case xtpPopupAnimationSlide:
            m_stateCurrent.rcPopup.SetRect(m_ptPopup.x - m_szPopup.cx, m_ptPopup.y, m_ptPopup.x, m_ptPopup.y);
            break;
        case xtpPopupAnimationUnfold:
            m_stateCurrent.rcPopup.SetRect(m_ptPopup.x, m_ptPopup.y, m_ptPopup.x, m_ptPopup.y);
            break;
        default:
            break;
        }
        nSteps = StepCount(m_uAnimationDelay);
    } else {
        nSteps = StepCount(m_uAnimationDelay) - static_cast<int>(m_nStep);
    }
    m_nStep = static_cast<UINT>(std::max(1, nSteps));
    SetTimer(kShowTimer, m_uStep);
    UpdatePosition(TRUE, m_stateCurrent.nTransparency);
}

void CXTPPopupWindow::StartHideAnimation()
{
    m_nPopupState = xtpPopupStateCollapsing;
    if (m_hWnd != nullptr)
        Notify(xtpPopupStateChanged, reinterpret_cast<LPARAM>(this));
    if (m_nAnimation == xtpPopupAnimationNone || m_uAnimationDelay == 0) {
        Close();
        return;
    }
    switch (m_nAnimation) {
    case xtpPopupAnimationFade:
        m_stateTarget.nTransparency = 0;
        break;
    case xtpPopupAnimationSlide:
        m_stateTarget.rcPopup.SetRect(m_ptPopup.x - m_szPopup.cx, m_ptPopup.y, m_ptPopup.x, m_ptPopup.y);
        break;
    case xtpPopupAnimationUnfold:
        m_stateTarget.rcPopup.SetRect(m_ptPopup.x, m_ptPopup.y, m_ptPopup.x, m_ptPopup.y);
        break;
    default:
        break;
    }
    m_nStep = static_cast<UINT>(std::max(1, StepCount(m_uAnimationDelay)));
    SetTimer(kHideTimer, m_uStep);
    UpdatePosition(TRUE, m_stateCurrent.nTransparency);
}

void CXTPPopupWindow::OnShown()
{
    m_nPopupState = xtpPopupStateShown;
    if (m_hWnd != nullptr)
        Notify(xtpPopupStateChanged, reinterpret_cast<LPARAM>(this));
    if (m_uShowDelay != 0 && m_hWnd != nullptr)
        SetTimer(kStayTimer, m_uShowDelay);
}

// ---- Animation

void CXTPPopupWindow::AnimationStep(int nSteps)
{
    const int nAlphaBefore = m_stateCurrent.nTransparency;
    if (nSteps > 0) {
        CRect& rc = m_stateCurrent.rcPopup;
        const CRect& rcTarget = m_stateTarget.rcPopup;
        StepToward(rc.top, rcTarget.top, nSteps);
        StepToward(rc.left, rcTarget.left, nSteps);
        StepToward(rc.right, rcTarget.right, nSteps);
        StepToward(rc.bottom, rcTarget.bottom, nSteps);
        StepToward(m_stateCurrent.nTransparency, m_stateTarget.nTransparency, nSteps);
    } else {
        m_stateCurrent = m_stateTarget;
    }
    UpdatePosition(FALSE, nAlphaBefore);
}

void CXTPPopupWindow::UpdatePosition(BOOL bForce, int nAlphaBefore)
{
    if (m_hWnd == nullptr)
        return;
    const CRect& rc = m_stateCurrent.rcPopup;
    SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    // Every change of alpha is applied, the last step's too, so that a fade ends at its target.
    if (!m_bCapture && (bForce || m_stateCurrent.nTransparency != nAlphaBefore))
        SetLayeredAlpha(m_stateCurrent.nTransparency);
    UpdateWindow();
}

void CXTPPopupWindow::SetLayeredAlpha(int nAlpha)
{
    if (m_pfnSetLayeredWindowAttributes != nullptr && m_hWnd != nullptr && (GetExStyle() & WS_EX_LAYERED))
        m_pfnSetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(std::clamp(nAlpha, 0, 255)), LWA_ALPHA);
}

void CXTPPopupWindow::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case kShowTimer:
    case kHideTimer:
        AnimationStep(static_cast<int>(m_nStep));
        if (m_nStep > 0)
            --m_nStep;
        if (m_nStep == 0) {
            KillTimer(nIDEvent);
            if (nIDEvent == kShowTimer)
                OnShown();
            else
                Close();
        }
        break;
    case kStayTimer:
        if (!m_bCapture) {
            KillTimer(kStayTimer);
            StartHideAnimation();
        }
        break;
    default:
        break;
    }
    if (m_hWnd != nullptr)
        Default();
}

// ---- Mouse

void CXTPPopupWindow::OnMouseMove(UINT, CPoint point)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    const BOOL bInside = rcClient.PtInRect(point) || m_pPressedItem != nullptr;
    if (bInside && !m_bCapture) {
        m_bCapture = TRUE;
        SetLayeredAlpha(255);
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
    } else if (!bInside && m_bCapture) {
        m_bCapture = FALSE;
        SetLayeredAlpha(m_nTransparency);
    }
    // The mouse over a collapsing alert brings it back from where it is.
    if (bInside && m_nPopupState == xtpPopupStateCollapsing) {
        KillTimer(kHideTimer);
        StartShowAnimation(FALSE);
    }

    CXTPPopupItem* pHot = HitTest(point);
    if (m_pPressedItem != nullptr && pHot != m_pPressedItem)
        pHot = nullptr;
    if (pHot != m_pHotItem) {
        m_pHotItem = pHot;
        RedrawControl();
    }
}

void CXTPPopupWindow::OnMouseLeave()
{
    OnMouseMove(0, CPoint(-1, -1));
}

void CXTPPopupWindow::OnLButtonDown(UINT, CPoint point)
{
    CXTPPopupItem* pItem = HitTest(point);
    // Empty space, and items that are neither buttons, links nor identified, move a movable alert.
    const bool bMoveHandle = pItem == nullptr || (pItem->GetID() == 0 && !pItem->IsButton() &&
                                                  (pItem->GetCaption().IsEmpty() || !pItem->IsHyperLink()));
    if (m_bAllowMove && bMoveHandle) {
        TrackMove();
        return;
    }
    if (pItem == nullptr)
        return;
    m_pPressedItem = pItem;
    SetCapture();
    RedrawControl();
}

void CXTPPopupWindow::OnLButtonUp(UINT, CPoint point)
{
    if (m_pPressedItem == nullptr)
        return;
    CXTPPopupItem* pItem = m_pPressedItem;
    m_pPressedItem = nullptr;
    ReleaseCapture();
    if (pItem == m_pHotItem) {
        // The owner may close the alert, or empty it, from its handler.
        OnClick(pItem);
    } else {
        OnMouseMove(0, point);
    }
    RedrawControl();
}

void CXTPPopupWindow::OnCaptureChanged(CWnd* pWnd)
{
    if (m_pPressedItem != nullptr) {
        m_pPressedItem = nullptr;
        RedrawControl();
    }
    CWnd::OnCaptureChanged(pWnd);
}

int CXTPPopupWindow::OnMouseActivate(CWnd*, UINT, UINT)
{
    return MA_NOACTIVATE;
}

void CXTPPopupWindow::TrackMove()
{
    SetCapture();
    CPoint ptStart;
    ::GetCursorPos(&ptStart);
    CRect rcStart;
    GetWindowRect(&rcStart);

    while (::GetCapture() == m_hWnd) {
        MSG msg;
        if (!GetModalLoopMessage(msg))
            break;
        if (msg.message == WM_LBUTTONUP)
            break;
        if (msg.message == WM_MOUSEMOVE) {
            CPoint pt;
            ::GetCursorPos(&pt);
            CRect rc = rcStart;
            rc.OffsetRect(pt.x - ptStart.x, pt.y - ptStart.y);
            const CRect rcWork = GetWorkAreaFromCursor();
            if (rc.right > rcWork.right)
                rc.OffsetRect(rcWork.right - rc.right, 0);
            if (rc.bottom > rcWork.bottom)
                rc.OffsetRect(0, rcWork.bottom - rc.bottom);
            if (rc.left < rcWork.left)
                rc.OffsetRect(rcWork.left - rc.left, 0);
            if (rc.top < rcWork.top)
                rc.OffsetRect(0, rcWork.top - rc.top);
            MoveWindow(&rc, TRUE);
            continue;
        }
        if (msg.message == WM_KEYDOWN) {
            if (msg.wParam == VK_ESCAPE)
                break;
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (::GetCapture() == m_hWnd)
        ReleaseCapture();
    if (m_hWnd == nullptr)
        return;
    CRect rc;
    GetWindowRect(&rc);
    m_stateCurrent.rcPopup = rc;
    m_stateTarget.rcPopup = rc;
    m_ptPopup = rc.BottomRight();
}

// ---- Painting

BOOL CXTPPopupWindow::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTPPopupWindow::OnPaint()
{
    CPaintDC dc(this);
    const CRect rc(0, 0, m_szPopup.cx, m_szPopup.cy);
    CXTPOffscreenDC memDC(&dc, rc);
    m_pTheme->DrawBackground(&memDC, rc);
    for (INT_PTR i = 0; i < m_arrItems.GetSize(); ++i)
        m_arrItems[i]->Draw(&memDC);
}
