#include "toolkit/commandbars/XTPMenuBar.h"

#include "framework/frame/FrameWnd.h"
#include "framework/win/Menu.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTPHookManager.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/CommandBarsResource.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControls.h"

IMPLEMENT_SERIAL(CXTPMenuBar, CXTPToolBar, VERSIONABLE_SCHEMA | 7)

CXTPMenuBar::CXTPMenuBar()
    : m_bMDIApp(FALSE), m_hWndActiveChild(nullptr), m_hMenuDefault(nullptr), m_nIDResource(0), m_nCurrentKey(0),
      m_bMdiMenusSeen(FALSE), m_hWndHooked(nullptr)
{
    m_barType = xtpBarTypeMenuBar;
}

CXTPMenuBar::~CXTPMenuBar()
{
    if (m_hWndHooked != nullptr)
        XTPHookManager()->RemoveHook(m_hWndHooked, this);
}

BOOL CXTPMenuBar::LoadMenuBar(UINT nIDResource)
{
    if (nIDResource != 0) {
        CMenu menu;
        if (!menu.LoadMenu(nIDResource))
            return FALSE;
        if (!LoadMenu(&menu, TRUE))
            return FALSE;
        m_nIDResource = nIDResource;
        m_nCurrentKey = nIDResource;
        m_pControls->SaveOriginalControls();
    }
    CWnd* pSite = GetSite();
    if (pSite == nullptr || pSite->GetSafeHwnd() == nullptr)
        return TRUE;
    if (m_hWndHooked != pSite->GetSafeHwnd()) {
        if (m_hWndHooked != nullptr)
            XTPHookManager()->RemoveHook(m_hWndHooked, this);
        m_hWndHooked = pSite->GetSafeHwnd();
        XTPHookManager()->SetHook(m_hWndHooked, this);
    }
    m_hMenuDefault = ::GetMenu(pSite->GetSafeHwnd());
    if (m_hMenuDefault != nullptr)
        ::SetMenu(pSite->GetSafeHwnd(), nullptr);
    return TRUE;
}

int CXTPMenuBar::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult)
{
    if (nMessage == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) {
        // The release of Alt after an Alt+key that opened a title still comes here as the menu key: the bar
        // keeps what that key chose.
        if (m_bTracking)
            return xtpHookHandled;
        CXTPCommandBars* pCommandBars = GetCommandBars();
        if (IsVisible() && m_hWnd != nullptr && !XTPMouseManager()->IsMouseLocked() && ::GetKeyState(VK_SHIFT) >= 0 &&
            (pCommandBars == nullptr || !pCommandBars->IsCustomizeMode())) {
            SetTrackingMode(TRUE, FALSE, TRUE);
            SetSelected(m_pControls->FindNextIndex(-1, +1), TRUE);
            return xtpHookHandled;
        }
    }
    // The keys of tracking mode come through the keyboard hook, not through the site.
    if (hWnd != nullptr)
        return xtpHookNotHandled;
    return CXTPToolBar::OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);
}

void CXTPMenuBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPToolBar::Copy(pCommandBar, bRecursive);
    if (auto* pMenuBar = DYNAMIC_DOWNCAST(CXTPMenuBar, pCommandBar))
        m_nIDResource = pMenuBar->m_nIDResource;
}

CXTPCommandBar* CXTPMenuBar::Clone(BOOL bRecursive)
{
    auto* pMenuBar = new CXTPMenuBar;
    pMenuBar->Copy(this, bRecursive);
    return pMenuBar;
}

void CXTPMenuBar::Reset(BOOL bShowWarning)
{
    if (m_pControls->GetOriginalControls() == nullptr && m_nIDResource != 0) {
        if (bShowWarning) {
            CString strMessage;
            strMessage.LoadString(XTP_IDS_CONFIRM_RESETTOOLBAR);
            strMessage.Replace(L"%s", m_strTitle);
            if (AfxMessageBox(strMessage, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
                return;
        }
        CMenu menu;
        if (menu.LoadMenu(m_nIDResource))
            LoadMenu(&menu, TRUE);
    } else {
        CXTPToolBar::Reset(bShowWarning);
        return;
    }
    OnUpdateCmdUI(TRUE, 0);
    OnRecalcLayout();
}
