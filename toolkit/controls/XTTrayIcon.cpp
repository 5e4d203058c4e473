#include "toolkit/controls/XTTrayIcon.h"

#include "framework/core/AfxModule.h"
#include "framework/win/Menu.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTOSVersionInfo.h"

#include <vector>

namespace {

// Registered once at program start.
const UINT g_nTaskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");

constexpr UINT kAnimationTimer = 1001;
constexpr int kFirstTipLimit = 64;
constexpr int kTipLimit = 128;
constexpr UINT kCreationFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

struct TrayRectSearch
{
    CRect* pRect;
};

BOOL CALLBACK FindTrayChildProc(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<TrayRectSearch*>(lParam);
    WCHAR szClass[256] = {};
    ::GetClassNameW(hWnd, szClass, 255);
    if (lstrcmpW(szClass, L"TrayNotifyWnd") == 0) {
        ::GetWindowRect(hWnd, pSearch->pRect);
        return TRUE;
    }
    if (lstrcmpW(szClass, L"TrayClockWClass") == 0) {
        CRect rectClock;
        ::GetWindowRect(hWnd, &rectClock);
        // A clock above the area's bottom edge sits in a vertical taskbar.
        if (rectClock.bottom < pSearch->pRect->bottom - 5)
            pSearch->pRect->top = rectClock.bottom;
        else
            pSearch->pRect->right = rectClock.left;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectChildrenProc(HWND hWnd, LPARAM lParam)
{
    auto* pChildren = reinterpret_cast<std::vector<HWND>*>(lParam);
    pChildren->push_back(hWnd);
    return TRUE;
}

BOOL IsMinimizeAnimated()
{
    ANIMATIONINFO info = {};
    info.cbSize = sizeof(info);
    return ::SystemParametersInfoW(SPI_GETANIMATION, sizeof(info), &info, 0) && info.iMinAnimate != 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CXTTrayIcon, CWnd)
ON_WM_TIMER()
ON_WM_SETTINGCHANGE()
ON_REGISTERED_MESSAGE(g_nTaskbarCreated, OnTaskbarCreated)
END_MESSAGE_MAP()

CXTTrayIcon::CXTTrayIcon()
    : m_uFlags(0), m_nIconResID(0), m_nIDEvent(kAnimationTimer), m_nCounter(0), m_uDefaultMenuItemID(0),
      m_bDefaultMenuItemByPos(true), m_bHidden(true), m_bRemoved(true), m_bShowPending(false), m_hWndNotify(nullptr),
      m_nTipLimit(kFirstTipLimit), m_pNotifyData(new NOTIFYICONDATAW()), m_listAnimation(10)
{
    // The form with state and balloon fields, at this platform's size.
    m_pNotifyData->cbSize = NOTIFYICONDATAW_V2_SIZE;
    m_pNotifyData->uFlags = kCreationFlags;
    m_pNotifyData->uCallbackMessage = WM_TRAYICON_NOTIFY;
}

CXTTrayIcon::~CXTTrayIcon()
{
    if (!m_bRemoved && m_pNotifyData->hWnd != nullptr)
        RemoveIcon();
    m_bShowPending = false;
    DestroyWindow();
    RemoveAnimationIcons();
    delete m_pNotifyData;
    m_pNotifyData = nullptr;
    if (m_wndHiddenParent.m_hWnd != nullptr) {
        // A frame still hidden in the notification area goes back to the desktop instead of dying with its parent.
        std::vector<HWND> children;
        ::EnumChildWindows(m_wndHiddenParent.m_hWnd, CollectChildrenProc, reinterpret_cast<LPARAM>(&children));
        for (HWND hChild : children) {
            if (::GetAncestor(hChild, GA_PARENT) == m_wndHiddenParent.m_hWnd)
                ::SetParent(hChild, nullptr);
        }
        m_wndHiddenParent.DestroyWindow();
    }
}

BOOL CXTTrayIcon::Notify(DWORD dwMessage, UINT uFlags)
{
    m_pNotifyData->uFlags = uFlags;
    return ::Shell_NotifyIconW(dwMessage, m_pNotifyData);
}

BOOL CXTTrayIcon::Create(LPCTSTR lpszCaption, DWORD, CWnd* pNotifyWnd, UINT nIconResID)
{
    return Create(lpszCaption, pNotifyWnd, nIconResID, 0, 0, false);
}

BOOL CXTTrayIcon::Create(LPCTSTR lpszCaption, CWnd* pNotifyWnd, UINT nIconResID, UINT uID, UINT uMenuDefaultItem,
                         bool bDefaultItemByPos)
{
    m_nIconResID = nIconResID;
    CString strTip = lpszCaption != nullptr ? lpszCaption : L"";
    if (strTip.GetLength() >= m_nTipLimit)
        strTip = strTip.Left(m_nTipLimit - 1);
    m_nTipLimit = kTipLimit;
    m_strToolTip = strTip;
    m_hWndNotify = pNotifyWnd->GetSafeHwnd();
    SetIcon(nIconResID);
    SetTooltipText(static_cast<LPCTSTR>(m_strToolTip));

    if (m_hWnd == nullptr && !CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, CRect(0, 0, 0, 0), nullptr, 0))
        return FALSE;
    m_pNotifyData->hWnd = m_hWnd;
    m_pNotifyData->uID = uID;
    m_uDefaultMenuItemID = uMenuDefaultItem;
    m_bDefaultMenuItemByPos = bDefaultItemByPos;
    m_uFlags = kCreationFlags;
    return AddIcon();
}

BOOL CXTTrayIcon::SetTooltipText(LPCTSTR lpszToolTip)
{
    lstrcpynW(m_pNotifyData->szTip, lpszToolTip != nullptr ? lpszToolTip : L"", m_nTipLimit);
    m_pNotifyData->szTip[kTipLimit - 1] = 0;
    if (m_bHidden) {
        m_pNotifyData->uFlags = NIF_TIP;
        return TRUE;
    }
    return Notify(NIM_MODIFY, NIF_TIP);
}

void CXTTrayIcon::SetTooltipText(CString strToolTip)
{
    SetTooltipText(static_cast<LPCTSTR>(strToolTip));
}

HICON CXTTrayIcon::LoadSmallIcon(LPCTSTR lpszResource) const
{
    const CXTPToolkitGlobals* pGlobals = GetToolkitGlobals();
    return static_cast<HICON>(::LoadImageW(AfxGetResourceHandle(), lpszResource, IMAGE_ICON, pGlobals->m_cxSmIcon,
                                           pGlobals->m_cySmIcon, LR_DEFAULTCOLOR));
}

BOOL CXTTrayIcon::SetIcon(LPCTSTR lpszResource)
{
    HICON hIcon = LoadSmallIcon(lpszResource);
    // A resource that does not load leaves the icon as it is.
    if (hIcon == nullptr)
        return FALSE;
    if (m_pNotifyData->hIcon == static_cast<HICON>(m_hIcon))
        m_pNotifyData->hIcon = nullptr;
    m_hIcon = hIcon;
    return SetIconHandle(m_hIcon);
}

BOOL CXTTrayIcon::SetIcon(UINT nIDResource)
{
    return SetIconById(static_cast<WORD>(nIDResource));
}

BOOL CXTTrayIcon::SetIconById(WORD nIDResource)
{
    return SetIcon(MAKEINTRESOURCEW(nIDResource));
}

BOOL CXTTrayIcon::SetIconHandle(HICON hIcon)
{
    if (m_pNotifyData->hIcon == hIcon)
        return TRUE;
    m_pNotifyData->hIcon = hIcon;
    if (m_bHidden) {
        m_pNotifyData->uFlags = NIF_ICON;
        return TRUE;
    }
    return Notify(NIM_MODIFY, NIF_ICON);
}

BOOL CXTTrayIcon::AddIcon()
{
    if (!m_bRemoved) {
        m_bShowPending = false;
        if (Notify(NIM_DELETE, 0))
            m_bHidden = m_bRemoved = true;
    }
    if (!Notify(NIM_ADD, kCreationFlags)) {
        m_bShowPending = true;
        return FALSE;
    }
    m_bHidden = m_bRemoved = false;
    return TRUE;
}

BOOL CXTTrayIcon::ShowIcon()
{
    if (m_bRemoved)
        return AddIcon();
    if (!m_bHidden)
        return TRUE;
    if (!XTOSVersionInfo().IsWin2000OrLater())
        return AddIcon();
    m_pNotifyData->dwState = 0;
    m_pNotifyData->dwStateMask = NIS_HIDDEN;
    if (!Notify(NIM_MODIFY, NIF_STATE))
        return FALSE;
    m_bHidden = m_bRemoved = false;
    return TRUE;
}

BOOL CXTTrayIcon::HideIcon()
{
    if (m_bHidden)
        return TRUE;
    if (!XTOSVersionInfo().IsWin2000OrLater())
        return RemoveIcon();
    m_pNotifyData->dwState = NIS_HIDDEN;
    m_pNotifyData->dwStateMask = NIS_HIDDEN;
    if (!Notify(NIM_MODIFY, NIF_STATE))
        return FALSE;
    m_bHidden = true;
    return TRUE;
}

BOOL CXTTrayIcon::RemoveIcon()
{
    m_bShowPending = false;
    if (m_bRemoved)
        return TRUE;
    if (!Notify(NIM_DELETE, 0))
        return FALSE;
    m_bHidden = m_bRemoved = true;
    return TRUE;
}

BOOL CXTTrayIcon::ReinstallIcon()
{
    if (m_hWnd == nullptr)
        return FALSE;
    // Taken off on purpose: nothing to put back.
    if (m_bRemoved && !m_bShowPending)
        return FALSE;
    // A change of the work area leaves the icon where it is; a new taskbar has forgotten it.
    if (!m_bRemoved && Notify(NIM_MODIFY, 0))
        return TRUE;
    UINT uFlags = m_uFlags;
    if (m_bHidden && !m_bRemoved) {
        uFlags |= NIF_STATE;
        m_pNotifyData->dwState = NIS_HIDDEN;
        m_pNotifyData->dwStateMask = NIS_HIDDEN;
    }
    if (!Notify(NIM_ADD, uFlags)) {
        // The next new taskbar tries again.
        m_bShowPending = true;
        m_bHidden = m_bRemoved = true;
        return FALSE;
    }
    m_bShowPending = false;
    if (m_bRemoved)
        m_bHidden = m_bRemoved = false;
    return TRUE;
}

LRESULT CXTTrayIcon::OnTaskbarCreated(WPARAM, LPARAM)
{
    ReinstallIcon();
    return 0;
}

void CXTTrayIcon::OnSettingChange(UINT uFlags, LPCTSTR lpszSection)
{
    CWnd::OnSettingChange(uFlags, lpszSection);
    if (uFlags == SPI_SETWORKAREA)
        ReinstallIcon();
}

void CXTTrayIcon::StartAnimation(UINT uElapse)
{
    SetTimer(m_nIDEvent, uElapse);
}

void CXTTrayIcon::StartAnimation(UINT nIDEvent, UINT uElapse)
{
    m_nIDEvent = nIDEvent;
    StartAnimation(uElapse);
}

void CXTTrayIcon::StopAnimation()
{
    if (m_hWnd != nullptr)
        KillTimer(m_nIDEvent);
    SetTooltipText(static_cast<LPCTSTR>(m_strToolTip));
    SetIcon(m_nIconResID);
}

void CXTTrayIcon::EndAnimation()
{
    StopAnimation();
}

BOOL CXTTrayIcon::SetAnimationIcons(const UINT* lpIDArray, LPCTSTR* lpStrTipArray, int nIDCount)
{
    return SetAnimationIcons(lpIDArray, nIDCount, lpStrTipArray);
}

BOOL CXTTrayIcon::SetAnimationIcons(const UINT* lpIDArray, int nIDCount, LPCTSTR* lpStrTipArray)
{
    RemoveAnimationIcons();
    for (int i = 0; i < nIDCount && lpIDArray != nullptr; ++i) {
        TRAYICONDATA frame;
        frame.strToolTip =
            lpStrTipArray == nullptr ? m_strToolTip : CString(lpStrTipArray[i] != nullptr ? lpStrTipArray[i] : L"");
        frame.hIcon = LoadSmallIcon(MAKEINTRESOURCEW(LOWORD(lpIDArray[i])));
        if (frame.hIcon == nullptr)
            return FALSE;
        m_listAnimation.AddTail(frame);
    }
    return TRUE;
}

void CXTTrayIcon::RemoveAnimationIcons()
{
    while (!m_listAnimation.IsEmpty()) {
        TRAYICONDATA frame = m_listAnimation.RemoveHead();
        if (frame.hIcon == nullptr)
            continue;
        // The shell keeps its own copy; the record must not keep the handle.
        if (m_pNotifyData != nullptr && m_pNotifyData->hIcon == frame.hIcon)
            m_pNotifyData->hIcon = nullptr;
        ::DestroyIcon(frame.hIcon);
    }
}

void CXTTrayIcon::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != m_nIDEvent)
        return;
    const int nCount = static_cast<int>(m_listAnimation.GetCount());
    if (nCount == 0)
        return;
    if (m_nCounter >= 0 && m_nCounter < nCount) {
        TRAYICONDATA& frame = m_listAnimation.GetAt(m_listAnimation.FindIndex(m_nCounter));
        if (!frame.strToolTip.IsEmpty())
            SetTooltipText(static_cast<LPCTSTR>(frame.strToolTip));
        if (frame.hIcon != nullptr)
            SetIconHandle(frame.hIcon);
    }
    m_nCounter = (m_nCounter + 1) % nCount;
}

LRESULT CXTTrayIcon::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pNotifyData != nullptr && message == m_pNotifyData->uCallbackMessage)
        return OnTrayNotification(wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CXTTrayIcon::OnTrayNotification(WPARAM wParam, LPARAM lParam)
{
    if (wParam != m_pNotifyData->uID || m_hWndNotify == nullptr)
        return 0;
    // The owner may take the event over.
    if (::SendMessageW(m_hWndNotify, WM_TRAYICON_NOTIFY, wParam, lParam) != 0)
        return 1;

    switch (LOWORD(lParam)) {
    case WM_CONTEXTMENU:
    case WM_RBUTTONUP:
    case NIN_SELECT:
    case NIN_KEYSELECT: {
        CMenu menu;
        if (!menu.LoadMenu(m_pNotifyData->uID))
            return 0;
        CMenu* pSubMenu = menu.GetSubMenu(0);
        if (pSubMenu == nullptr)
            return 0;
        ::SetMenuDefaultItem(pSubMenu->GetSafeHmenu(), m_uDefaultMenuItemID, m_bDefaultMenuItemByPos);
        CPoint point;
        ::GetCursorPos(&point);
        ::SetForegroundWindow(m_hWndNotify);
        pSubMenu->TrackPopupMenu(TPM_LEFTBUTTON, point.x, point.y, CWnd::FromHandle(m_hWndNotify));
        // Lets the menu close when the user clicks elsewhere.
        ::PostMessageW(m_hWndNotify, WM_NULL, 0, 0);
        menu.DestroyMenu();
        Notify(NIM_SETFOCUS, 0);
        return 1;
    }
    case WM_LBUTTONDBLCLK: {
        ::SetForegroundWindow(m_hWndNotify);
        UINT uItem = m_uDefaultMenuItemID;
        if (m_bDefaultMenuItemByPos) {
            CMenu menu;
            if (!menu.LoadMenu(m_pNotifyData->uID))
                return 0;
            CMenu* pSubMenu = menu.GetSubMenu(0);
            if (pSubMenu == nullptr)
                return 0;
            uItem = pSubMenu->GetMenuItemID(static_cast<int>(m_uDefaultMenuItemID));
            menu.DestroyMenu();
        }
        ::SendMessageW(m_hWndNotify, WM_COMMAND, uItem, 0);
        return 1;
    }
    default:
        return 1;
    }
}

BOOL CXTTrayIcon::RemoveTaskbarButton(CWnd* pWnd)
{
    if (m_wndHiddenParent.m_hWnd == nullptr &&
        !m_wndHiddenParent.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr))
        return FALSE;
    ::SetParent(pWnd->GetSafeHwnd(), m_wndHiddenParent.m_hWnd);
    return TRUE;
}

void CXTTrayIcon::MinimizeToTray(CWnd* pWnd)
{
    if (IsMinimizeAnimated()) {
        CRect rectFrom;
        CRect rectTo;
        pWnd->GetWindowRect(&rectFrom);
        GetTrayWindowRect(rectTo);
        ::DrawAnimatedRects(pWnd->m_hWnd, IDANI_CAPTION, &rectFrom, &rectTo);
    }
    RemoveTaskbarButton(pWnd);
    pWnd->ShowWindow(SW_HIDE);
}

void CXTTrayIcon::RestoreFromTray(CWnd* pWnd)
{
    if (IsMinimizeAnimated()) {
        CRect rectTo;
        pWnd->GetWindowRect(&rectTo);
        ::SetParent(pWnd->m_hWnd, nullptr);
        CRect rectFrom;
        GetTrayWindowRect(rectFrom);
        ::DrawAnimatedRects(pWnd->m_hWnd, IDANI_CAPTION, &rectFrom, &rectTo);
    } else {
        ::SetParent(pWnd->m_hWnd, nullptr);
    }
    pWnd->ShowWindow(SW_SHOW);
    ::RedrawWindow(pWnd->m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    if (m_wndHiddenParent.m_hWnd != nullptr)
        ::SetActiveWindow(m_wndHiddenParent.m_hWnd);
    ::SetActiveWindow(pWnd->m_hWnd);
    ::SetForegroundWindow(pWnd->m_hWnd);
}

BOOL CXTTrayIcon::GetTrayWindowRect(CRect& rect)
{
    if (HWND hTray = ::FindWindowW(L"Shell_TrayWnd", nullptr)) {
        ::GetWindowRect(hTray, &rect);
        TrayRectSearch search = {&rect};
        ::EnumChildWindows(hTray, FindTrayChildProc, reinterpret_cast<LPARAM>(&search));
        return TRUE;
    }
    APPBARDATA data = {};
    data.cbSize = sizeof(data);
    if (::SHAppBarMessage(ABM_GETTASKBARPOS, &data)) {
        switch (data.uEdge) {
        case ABE_TOP:
        case ABE_BOTTOM:
            rect.SetRect(data.rc.right - 100, data.rc.top, data.rc.right - 16, data.rc.bottom);
            break;
        case ABE_LEFT:
        case ABE_RIGHT:
            rect.SetRect(data.rc.left, data.rc.bottom - 100, data.rc.right, data.rc.bottom - 16);
            break;
        default:
            break;
        }
        return TRUE;
    }
    CRect rectWork;
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rectWork, 0))
        return FALSE;
    rect.SetRect(rectWork.right - 150, rectWork.bottom - 30, rectWork.right, rectWork.bottom);
    return TRUE;
}
