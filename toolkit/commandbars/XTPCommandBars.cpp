#include "toolkit/commandbars/XTPCommandBars.h"

#include "framework/core/Archive.h"
#include "framework/core/Exceptions.h"
#include "framework/core/File.h"
#include "framework/frame/FrameWnd.h"
#include "framework/win/Menu.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPHookManager.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/CommandBarsResource.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPCustomizeDropSource.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <algorithm>

// ---- CXTPCommandBarsOptions

CXTPCommandBarsOptions::CXTPCommandBarsOptions()
    : bAlwaysShowFullMenus(TRUE), bShowFullAfterDelay(TRUE), bToolBarScreenTips(TRUE), bToolBarAccelTips(FALSE),
      bLargeIcons(FALSE), bSyncFloatingBars(TRUE), bShowExpandButtonAlways(TRUE), bDblClickFloat(FALSE),
      bShowTextBelowIcons(FALSE), bAltDragCustomization(TRUE), animationType(xtpAnimateWindowsDefault), szIcons(0, 0),
      szLargeIcons(0, 0), szPopupIcons(16, 16), m_pCommandBars(nullptr)
{
    m_mapHiddenCommands.InitHashTable(17);
    m_mapUsedCommands.InitHashTable(17);
}

void CXTPCommandBarsOptions::Serialize(CArchive& ar)
{
    static constexpr int kSchema = 7;
    XTP_COMMANDBARS_ICONSOPTIONS* pIcons =
        m_pCommandBars != nullptr ? m_pCommandBars->GetPaintManager()->GetIconOptions() : nullptr;
    if (ar.IsStoring()) {
        ar << kSchema;
        ar << bAlwaysShowFullMenus << bShowFullAfterDelay << bToolBarScreenTips << bToolBarAccelTips << bLargeIcons
           << bSyncFloatingBars << bShowExpandButtonAlways;
        ar << szIcons.cx << szIcons.cy << szLargeIcons.cx << szLargeIcons.cy;
        m_mapHiddenCommands.Serialize(ar);
        const XTP_COMMANDBARS_ICONSOPTIONS icons = pIcons != nullptr ? *pIcons : XTP_COMMANDBARS_ICONSOPTIONS{};
        ar << icons.bIconsWithShadow << icons.bUseDisabledIcons << icons.bUseFadedIcons;
        return;
    }
    int nSchema = 0;
    BOOL bValues[7] = {};
    CSize sizes[2];
    CCommandMap mapHidden;
    XTP_COMMANDBARS_ICONSOPTIONS icons = {};
    ar >> nSchema;
    for (BOOL& bValue : bValues)
        ar >> bValue;
    for (CSize& size : sizes)
        ar >> size.cx >> size.cy;
    mapHidden.Serialize(ar);
    ar >> icons.bIconsWithShadow >> icons.bUseDisabledIcons >> icons.bUseFadedIcons;

    bAlwaysShowFullMenus = bValues[0];
    bShowFullAfterDelay = bValues[1];
    bToolBarScreenTips = bValues[2];
    bToolBarAccelTips = bValues[3];
    bLargeIcons = bValues[4];
    bSyncFloatingBars = bValues[5];
    bShowExpandButtonAlways = bValues[6];
    szIcons = sizes[0];
    szLargeIcons = sizes[1];
    // Added to the program's own: a command it hides since the save stays hidden.
    POSITION pos = mapHidden.GetStartPosition();
    while (pos != nullptr) {
        UINT nCommand = 0;
        BOOL bHidden = FALSE;
        mapHidden.GetNextAssoc(pos, nCommand, bHidden);
        m_mapHiddenCommands.SetAt(nCommand, bHidden);
    }
    if (pIcons != nullptr)
        *pIcons = icons;
}

// ---- The entries of the toolbars popup

namespace {

class CXTPControlToolbarsEntry : public CXTPControlButton
{
public:
    CXTPControlToolbarsEntry(CXTPCommandBars* pCommandBars, int nIndex) : m_pCommandBars(pCommandBars), m_nIndex(nIndex)
    {
    }
    void OnExecute() override
    {
        XTPMouseManager()->EndAllTracking();
        m_pCommandBars->ToggleVisible(m_nIndex);
    }

private:
    CXTPCommandBars* m_pCommandBars;
    int m_nIndex;
};

} // namespace

// ---- CXTPCommandBars

IMPLEMENT_DYNCREATE(CXTPCommandBars, CCmdTarget)

CXTPCommandBars::CXTPCommandBars()
    : m_hDesignerAccels(nullptr), m_bIgnoreShiftMenuKey(FALSE), m_pDropSource(nullptr), m_pPaintManager(nullptr),
      m_pImageManager(nullptr), m_pCustomizeControl(nullptr), m_bCustomizeMode(FALSE), m_bCustomizable(FALSE),
      m_nMenuID(0), m_bRecalcLayout(FALSE), m_bQuickCustomizeMode(FALSE), m_pOptions(new CXTPCommandBarsOptions),
      m_pSite(nullptr)
{
    m_pDropSource = new CXTPCustomizeDropSource(this);
    m_pOptions->m_pCommandBars = this;
    std::fill(std::begin(m_pDockBars), std::end(m_pDockBars), nullptr);
}

CXTPCommandBars::~CXTPCommandBars()
{
    // Bars go before their dock bars: a bar's window is a child of its dock bar.
    m_bRecalcLayout = TRUE;
    std::vector<CXTPToolBar*> arrBars;
    arrBars.swap(m_arrBars);
    for (CXTPToolBar* pBar : arrBars) {
        pBar->SetDockBar(nullptr);
        pBar->InternalRelease();
    }
    for (CXTPDockBar*& pDockBar : m_pDockBars) {
        if (pDockBar != nullptr && ::IsWindow(pDockBar->GetSafeHwnd()))
            pDockBar->DestroyWindow();
        delete pDockBar;
        pDockBar = nullptr;
    }
    if (m_pCustomizeControl != nullptr)
        m_pCustomizeControl->InternalRelease();
    delete m_pDropSource;
    if (m_pPaintManager != nullptr)
        m_pPaintManager->InternalRelease();
    if (m_pImageManager != nullptr)
        m_pImageManager->InternalRelease();
    if (m_hDesignerAccels != nullptr)
        ::DestroyAcceleratorTable(m_hDesignerAccels);
    m_pOptions->InternalRelease();
}

void CXTPCommandBars::SetSite(CWnd* pSite)
{
    m_pSite = pSite;
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr) {
        AFX_CMDHANDLERINFO info = {};
        m_bCustomizable = pSite->OnCmdMsg(XTP_ID_CUSTOMIZE, CN_COMMAND, this, &info);
    }
}

CFrameWnd* CXTPCommandBars::GetFrameSite() const
{
    return m_pSite != nullptr && m_pSite->IsFrameWnd() ? static_cast<CFrameWnd*>(m_pSite) : nullptr;
}

CXTPPaintManager* CXTPCommandBars::GetPaintManager() const
{
    return m_pPaintManager != nullptr ? m_pPaintManager : XTPPaintManager();
}

CXTPImageManager* CXTPCommandBars::GetImageManager() const
{
    return m_pImageManager != nullptr ? m_pImageManager : XTPImageManager();
}

void CXTPCommandBars::SetPaintManager(CXTPPaintManager* pPaintManager)
{
    if (m_pPaintManager != nullptr)
        m_pPaintManager->InternalRelease();
    m_pPaintManager = pPaintManager;
}

void CXTPCommandBars::SetImageManager(CXTPImageManager* pImageManager)
{
    if (m_pImageManager != nullptr)
        m_pImageManager->InternalRelease();
    m_pImageManager = pImageManager;
}

void CXTPCommandBars::SetCustomizeMode(BOOL bMode)
{
    m_bCustomizeMode = bMode;
    SetCustomizeControl(nullptr);
    // In customise mode every control is enabled, so that it can be dragged; afterwards the handlers decide again.
    for (CXTPToolBar* pBar : m_arrBars) {
        if (pBar->GetSafeHwnd() != nullptr)
            pBar->OnUpdateCmdUI(TRUE, 0);
    }
    RecalcFrameLayout();
}

void CXTPCommandBars::SetCustomizeControl(CXTPControl* pControl)
{
    if (pControl == m_pCustomizeControl)
        return;
    CXTPControl* pOld = m_pCustomizeControl;
    m_pCustomizeControl = pControl;
    if (pControl != nullptr) {
        pControl->InternalAddRef();
        pControl->RedrawParent();
    }
    if (pOld != nullptr) {
        pOld->RedrawParent();
        pOld->InternalRelease();
    }
    SendCustomizeSelChange();
}

void CXTPCommandBars::SendCustomizeSelChange()
{
    CWnd* pTarget = m_pDropSource->m_pSheet != nullptr ? m_pDropSource->m_pSheet : m_pSite;
    if (pTarget != nullptr && pTarget->GetSafeHwnd() != nullptr)
        pTarget->SendMessage(WM_XTP_CUSTOMIZE_SELCHANGE);
}

BOOL CXTPCommandBars::IsCommandRarelyUsed(UINT nID) const
{
    BOOL bValue = FALSE;
    return m_pOptions->m_mapHiddenCommands.Lookup(nID, bValue) && !m_pOptions->m_mapUsedCommands.Lookup(nID, bValue);
}

UINT CXTPCommandBars::GetActiveDocTemplate()
{
    return 0;
}

void CXTPCommandBars::HideCommands(const UINT* pCommands, int nCount)
{
    for (int i = 0; i < nCount; ++i)
        HideCommand(pCommands[i]);
}

void CXTPCommandBars::HideCommand(UINT nCommand)
{
    m_pOptions->m_mapHiddenCommands.SetAt(nCommand, TRUE);
}

void CXTPCommandBars::SetCommandUsed(UINT nCommand)
{
    if (IsCommandRarelyUsed(nCommand))
        m_pOptions->m_mapUsedCommands.SetAt(nCommand, TRUE);
}

void CXTPCommandBars::ResetUsageData()
{
    m_pOptions->m_mapUsedCommands.RemoveAll();
}

void CXTPCommandBars::RecalcFrameLayout(BOOL bDelay)
{
    CFrameWnd* pFrame = GetFrameSite();
    if (m_bRecalcLayout || pFrame == nullptr || pFrame->GetSafeHwnd() == nullptr)
        return;
    if (bDelay) {
        pFrame->DelayRecalcLayout(FALSE);
        return;
    }
    m_bRecalcLayout = TRUE;
    for (CXTPToolBar* pBar : m_arrBars) {
        if (pBar->GetSafeHwnd() != nullptr && pBar->IsVisible())
            pBar->OnRecalcLayout();
    }
    m_bRecalcLayout = FALSE;
    pFrame->RecalcLayout(FALSE);
}

// ---- Bars

BOOL CXTPCommandBars::CreateDockBars()
{
    static const struct
    {
        DWORD dwStyle;
        UINT nID;
    } s_dockBars[4] = {{CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM, AFX_IDW_DOCKBAR_TOP},
                       {CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP, AFX_IDW_DOCKBAR_BOTTOM},
                       {CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT, AFX_IDW_DOCKBAR_LEFT},
                       {CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT, AFX_IDW_DOCKBAR_RIGHT}};
    if (m_pSite == nullptr || m_pSite->GetSafeHwnd() == nullptr)
        return FALSE;
    for (int i = 0; i < 4; ++i) {
        if (m_pDockBars[i] != nullptr)
            continue;
        auto* pDockBar = new CXTPDockBar(this);
        if (!pDockBar->Create(m_pSite, s_dockBars[i].dwStyle, s_dockBars[i].nID)) {
            delete pDockBar;
            return FALSE;
        }
        m_pDockBars[i] = pDockBar;
    }
    return TRUE;
}

CXTPDockBar* CXTPCommandBars::GetDockBar(int nPosition) const
{
    return nPosition >= 0 && nPosition < 4 ? m_pDockBars[nPosition] : nullptr;
}

CXTPMenuBar* CXTPCommandBars::GetMenuBar() const
{
    for (CXTPToolBar* pBar : m_arrBars) {
        if (pBar->GetType() == xtpBarTypeMenuBar)
            return static_cast<CXTPMenuBar*>(pBar);
    }
    return nullptr;
}

CXTPMenuBar* CXTPCommandBars::SetMenu(LPCTSTR lpszName, UINT nID)
{
    if (CXTPMenuBar* pMenuBar = GetMenuBar())
        return pMenuBar;
    auto* pMenuBar = static_cast<CXTPMenuBar*>(Add(lpszName, xtpBarTop, RUNTIME_CLASS(CXTPMenuBar)));
    if (pMenuBar == nullptr)
        return nullptr;
    // The saved layout finds the menu bar by this id.
    pMenuBar->SetBarID(1);
    if (!pMenuBar->LoadMenuBar(nID)) {
        RemoveBar(pMenuBar);
        return nullptr;
    }
    m_nMenuID = nID;
    RecalcFrameLayout(TRUE);
    return pMenuBar;
}

CXTPToolBar* CXTPCommandBars::Add(LPCTSTR lpszName, XTPBarPosition barPosition, CRuntimeClass* pToolbarClass)
{
    if (pToolbarClass == nullptr)
        pToolbarClass = RUNTIME_CLASS(CXTPToolBar);
    if (!pToolbarClass->IsDerivedFrom(RUNTIME_CLASS(CXTPToolBar)) || m_pSite == nullptr)
        return nullptr;
    auto* pToolBar = static_cast<CXTPToolBar*>(pToolbarClass->CreateObject());
    if (pToolBar == nullptr)
        return nullptr;
    pToolBar->SetCommandBars(this);
    pToolBar->SetTitle(lpszName);
    if (pToolBar->GetType() == xtpBarTypeMenuBar)
        pToolBar->EnableDocking(xtpFlagAlignAny | xtpFlagFloating | xtpFlagStretched);
    else
        pToolBar->EnableDocking(xtpFlagAlignAny | xtpFlagFloating | xtpFlagHideWrap);
    if (!pToolBar->SetPosition(barPosition)) {
        pToolBar->InternalRelease();
        return nullptr;
    }
    m_arrBars.push_back(pToolBar);
    return pToolBar;
}

CXTPToolBar* CXTPCommandBars::AddCustomToolBar(LPCTSTR lpszName, UINT nID, BOOL bFloating)
{
    if (m_pSite == nullptr || m_pSite->GetSafeHwnd() == nullptr)
        return nullptr;
    auto* pToolBar = new CXTPToolBar;
    pToolBar->SetCommandBars(this);
    XTP_COMMANDBARS_CREATEBAR cs = {};
    cs.pCommandBar = pToolBar;
    cs.bToolBar = TRUE;
    cs.bFloating = bFloating;
    cs.lpcstrCaption = lpszName;
    cs.nID = nID;
    m_pSite->SendMessage(WM_XTP_CREATE_COMMANDBAR, 0, reinterpret_cast<LPARAM>(&cs));
    if (pToolBar->GetEnableDocking() == 0)
        pToolBar->EnableDocking(xtpFlagAlignAny | xtpFlagFloating | xtpFlagHideWrap);
    pToolBar->SetTitle(lpszName);
    if (!pToolBar->SetPosition(bFloating ? xtpBarFloating : xtpBarTop)) {
        pToolBar->InternalRelease();
        return nullptr;
    }
    m_arrBars.push_back(pToolBar);
    pToolBar->SetBarID(nID);
    pToolBar->SetBuiltIn(FALSE);
    pToolBar->SetCustomBar(bFloating);
    if (!bFloating)
        RecalcFrameLayout();
    else
        pToolBar->OnRecalcLayout();
    return pToolBar;
}

void CXTPCommandBars::RemoveBar(CXTPToolBar* pToolBar)
{
    auto it = std::find(m_arrBars.begin(), m_arrBars.end(), pToolBar);
    if (it == m_arrBars.end())
        return;
    // Unlinked first: hiding the bar must not find it here again.
    m_arrBars.erase(it);
    if (pToolBar->GetSafeHwnd() != nullptr)
        pToolBar->ShowWindow(SW_HIDE);
    pToolBar->SetVisible(FALSE);
    RecalcFrameLayout();
    if (CXTPDockBar* pDockBar = pToolBar->GetDockBar())
        pDockBar->RemoveCommandBar(pToolBar);
    pToolBar->SetBarPosition(xtpBarFloating);
    pToolBar->InternalRelease();
}

CXTPToolBar* CXTPCommandBars::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_arrBars[static_cast<size_t>(nIndex)] : nullptr;
}

int CXTPCommandBars::FindIndex(const CXTPToolBar* pToolBar) const
{
    auto it = std::find(m_arrBars.begin(), m_arrBars.end(), pToolBar);
    return it == m_arrBars.end() ? -1 : static_cast<int>(it - m_arrBars.begin());
}

void CXTPCommandBars::ToggleVisible(int nIndex)
{
    if (CXTPToolBar* pBar = GetAt(nIndex))
        pBar->SetVisible(!pBar->IsVisible());
}

CXTPToolBar* CXTPCommandBars::FindToolBar(UINT nBarID) const
{
    if (nBarID == 0)
        return nullptr;
    for (CXTPToolBar* pBar : m_arrBars) {
        if (pBar->GetBarID() == nBarID)
            return pBar;
    }
    return nullptr;
}

BOOL CXTPCommandBars::DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect, CXTPDockBar* pDockBar)
{
    if (pDockBar == nullptr || !pBar->Create(m_pSite, FALSE))
        return FALSE;
    pDockBar->DockCommandBar(pBar, lpRect);
    pBar->SetBarPosition(pDockBar->GetPosition());
    return TRUE;
}

BOOL CXTPCommandBars::DockCommandBarAt(CXTPToolBar* pBar, int nPosition)
{
    return DockCommandBar(pBar, nullptr, GetDockBar(nPosition));
}

BOOL CXTPCommandBars::FloatCommandBar(CXTPToolBar* pBar)
{
    if (!pBar->Create(m_pSite, TRUE))
        return FALSE;
    if (CXTPDockBar* pDockBar = pBar->GetDockBar())
        pDockBar->RemoveCommandBar(pBar);
    pBar->SetBarPosition(xtpBarFloating);
    return TRUE;
}

CXTPDockBar* CXTPCommandBars::CanDock(CPoint pt, CXTPDockBar* pPreferred) const
{
    auto hit = [&](CXTPDockBar* pDockBar) {
        if (pDockBar == nullptr || pDockBar->GetSafeHwnd() == nullptr)
            return FALSE;
        CRect rc;
        pDockBar->GetWindowRect(&rc);
        rc.InflateRect(20, 20);
        return rc.PtInRect(pt);
    };
    if (hit(pPreferred))
        return pPreferred;
    for (CXTPDockBar* pDockBar : m_pDockBars) {
        if (hit(pDockBar))
            return pDockBar;
    }
    return nullptr;
}

// ---- Frame messages

static HWND ForegroundFrame()
{
    HWND hWnd = ::GetForegroundWindow();
    while (hWnd != nullptr) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->IsFrameWnd() && !pWnd->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
            return hWnd;
        hWnd = ::GetParent(hWnd);
    }
    return nullptr;
}

BOOL CXTPCommandBars::PreTranslateFrameMessage(MSG* pMsg)
{
    CXTPMenuBar* pMenuBar = GetMenuBar();
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    BOOL bTracksPopup = FALSE;
    for (CXTPTrackingBar* pBar : pMouseManager->GetTrackedBars())
        bTracksPopup |= pBar != nullptr;
    if (pMenuBar != nullptr && !pMouseManager->IsMouseLocked() && !bTracksPopup && pMsg->message == WM_SYSKEYDOWN &&
        (pMsg->lParam & (1 << 29)) != 0) {
        const HWND hSite = m_pSite != nullptr ? m_pSite->GetSafeHwnd() : nullptr;
        if (hSite == nullptr || (hSite != ::GetForegroundWindow() && hSite != ForegroundFrame()))
            return FALSE;
        if (m_bIgnoreShiftMenuKey && ::GetKeyState(VK_SHIFT) < 0)
            return FALSE;
        const UINT chKey = ::MapVirtualKeyW(static_cast<UINT>(pMsg->wParam), 2);
        if (chKey == 0)
            return FALSE;
        BOOL bAmbiguous = FALSE;
        const int nIndex = pMenuBar->FindAccel(static_cast<wchar_t>(chKey), bAmbiguous);
        CXTPControl* pControl = pMenuBar->GetControl(nIndex);
        if (pControl == nullptr)
            return FALSE;
        if (bAmbiguous) {
            pMenuBar->SetTrackingMode(TRUE, FALSE, TRUE);
            pMenuBar->SetSelected(nIndex, TRUE);
        } else if (pControl->IsKindOf(RUNTIME_CLASS(CXTPControlPopup))) {
            pMenuBar->SetTrackingMode(TRUE, FALSE, TRUE);
            pMenuBar->SetPopuped(nIndex, TRUE);
        } else {
            pControl->OnExecute();
        }
        return TRUE;
    }
    if (pMouseManager->IsTracking() && (pMsg->message == WM_CONTEXTMENU || pMsg->message == WM_SYSKEYUP))
        return TRUE;
    if (pMsg->message == WM_MOUSEWHEEL && XTPKeyboardManager()->IsKeyboardHooked()) {
        XTPKeyboardManager()->ProcessKeyboardHooks(pMsg->message, pMsg->wParam, pMsg->lParam);
        return TRUE;
    }
    return FALSE;
}

BOOL CXTPCommandBars::OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT*)
{
    switch (message) {
    case WM_XTP_HIDEBAR:
        // The toolbar may have gone since the message was posted.
        if (CXTPToolBar* pBar = GetAt(FindIndex(reinterpret_cast<CXTPToolBar*>(lParam))))
            pBar->SetVisible(FALSE);
        return TRUE;
    case WM_CLOSE:
        if (m_pDropSource->m_pSheet != nullptr)
            return TRUE;
        break;
    case WM_SYSCOLORCHANGE:
        XTPColorManager()->RefreshColors();
        GetImageManager()->RefreshAll();
        [[fallthrough]];
    case WM_SETTINGCHANGE:
        GetPaintManager()->RefreshMetrics();
        RecalcFrameLayout();
        if (m_pSite != nullptr && m_pSite->GetSafeHwnd() != nullptr)
            ::RedrawWindow(m_pSite->GetSafeHwnd(), nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        break;
    case WM_IDLEUPDATECMDUI:
        for (CXTPToolBar* pBar : m_arrBars) {
            if (pBar->GetPosition() == xtpBarFloating)
                pBar->OnUpdateCmdUI(TRUE, TRUE);
        }
        break;
    default:
        break;
    }
    if (XTPMouseManager()->IsTracking()) {
        if ((message == WM_ACTIVATEAPP && wParam == 0) ||
            (message == WM_SYSCOMMAND && (wParam & 0xFFF0) != SC_KEYMENU && !m_bCustomizeMode))
            XTPMouseManager()->EndAllTracking();
    }
    return FALSE;
}

// ---- Popups

int CXTPCommandBars::TrackPopupMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT rcExclude,
                                    CWnd* pWndOwner, CXTPCommandBars* pCommandBars)
{
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pCommandBars);
    pPopup->SetOwner(pWnd);
    pPopup->SetNotifyWindow(pWndOwner);
    if (pMenu == nullptr || !pPopup->LoadMenu(pMenu, TRUE)) {
        pPopup->InternalRelease();
        return 0;
    }
    const int nResult = TrackPopupBar(pPopup, nFlags, x, y, pWnd, rcExclude, pWndOwner);
    pPopup->InternalRelease();
    return nResult;
}

int CXTPCommandBars::TrackPopupBar(CXTPPopupBar* pPopup, UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT rcExclude,
                                   CWnd* pWndOwner)
{
    pPopup->SetOwner(pWnd);
    pPopup->SetNotifyWindow(pWndOwner);
    int nReturn = (nFlags & TPM_RETURNCMD) ? 0 : 1;
    pPopup->SetReturnCommand((nFlags & TPM_RETURNCMD) ? &nReturn : nullptr);
    pPopup->SetRightButtonChooses((nFlags & TPM_RIGHTBUTTON) != 0);
    pPopup->SetNoNotify((nFlags & TPM_NONOTIFY) != 0);
    // The window does not exist yet: a style set on it here never took effect.
    pPopup->SetRightAlign((nFlags & TPM_RIGHTALIGN) != 0);
    XTPMouseManager()->EndAllTracking();
    ::ReleaseCapture();
    pPopup->InternalAddRef();
    if (!pPopup->Popup(x, y, rcExclude)) {
        pPopup->SetReturnCommand(nullptr);
        pPopup->InternalRelease();
        return 0;
    }
    while (pPopup->IsTrackingMode()) {
        MSG msg;
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!pPopup->IsTrackingMode()) {
            ::PostMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            break;
        }
        if (msg.message == WM_KICKIDLE)
            continue;
        CWinThread* pThread = AfxGetThread();
        if (pThread == nullptr || !pThread->PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    // A quit ends the loop with the popup still open: it must not outlive the call.
    if (pPopup->IsTrackingMode())
        pPopup->SetTrackingMode(FALSE);
    pPopup->SetReturnCommand(nullptr);
    pPopup->InternalRelease();
    return nReturn;
}

CXTPPopupBar* CXTPCommandBars::CreateToolbarsMenu()
{
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(this);
    for (int i = 0; i < GetCount(); ++i) {
        CXTPToolBar* pBar = GetAt(i);
        if (pBar->GetType() != xtpBarTypeNormal || !pBar->IsCloseable() || !pBar->IsListed())
            continue;
        CXTPControl* pControl = pPopup->GetControls()->Add(new CXTPControlToolbarsEntry(this, i), 0);
        pControl->SetCaption(pBar->GetTitle());
        pControl->SetFlags(pControl->GetFlags() | xtpFlagManualUpdate);
        pControl->SetChecked(pBar->IsVisible());
    }
    if (m_bCustomizable && GetCount() > 0) {
        CXTPControl* pControl = pPopup->GetControls()->AddByType(xtpControlButton, XTP_ID_CUSTOMIZE);
        pControl->SetBeginGroup(TRUE);
    }
    return pPopup;
}

void CXTPCommandBars::ShowToolbarsMenu(int x, int y)
{
    if (m_bCustomizeMode)
        return;
    CXTPPopupBar* pPopup = CreateToolbarsMenu();
    if (pPopup->GetControlCount() > 0) {
        if (m_pSite != nullptr && pPopup->GetSafeHwnd() != nullptr && (m_pSite->GetExStyle() & WS_EX_LAYOUTRTL) != 0)
            pPopup->ModifyStyleEx(0, WS_EX_LAYOUTRTL);
        if (pPopup->Popup(x, y, nullptr)) {
            while (pPopup->IsTrackingMode()) {
                if (!AfxPumpMessage())
                    break;
            }
        }
    }
    pPopup->InternalRelease();
}

void CXTPCommandBars::FillExpandHiddenControls(CXTPToolBar* pToolBar, CXTPPopupBar* pPopupBar)
{
    std::vector<CXTPToolBar*> arrBars;
    CXTPDockBar* pDockBar = pToolBar->GetDockBar();
    if (pDockBar != nullptr)
        pDockBar->GetRowBars(pDockBar->FindBar(pToolBar), arrBars);
    if (arrBars.empty())
        arrBars.push_back(pToolBar);
    for (CXTPToolBar* pBar : arrBars) {
        for (int i = 0; i < pBar->GetControlCount(); ++i) {
            CXTPControl* pControl = pBar->GetControl(i);
            if (pControl->GetHideFlags() != xtpHideWrap)
                continue;
            CXTPControl* pClone = pPopupBar->GetControls()->AddClone(pControl, -1, TRUE);
            pClone->SetHideFlags(xtpNoHide);
            pClone->SetBeginGroup(FALSE);
        }
    }
}

// ---- Options

void CXTPCommandBars::SaveOptions(LPCTSTR lpszProfileName)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    CString strSection;
    strSection.Format(L"%ls-Options", lpszProfileName);
    pApp->WriteProfileString(strSection, nullptr, nullptr);
    pApp->WriteProfileInt(strSection, L"AlwaysShowFullMenus", m_pOptions->bAlwaysShowFullMenus);
    pApp->WriteProfileInt(strSection, L"ShowFullAfterDelay", m_pOptions->bShowFullAfterDelay);
    pApp->WriteProfileInt(strSection, L"ToolBarScreenTips", m_pOptions->bToolBarScreenTips);
    pApp->WriteProfileInt(strSection, L"ToolBarAccelTips", m_pOptions->bToolBarAccelTips);
    pApp->WriteProfileInt(strSection, L"LargeIcons", m_pOptions->bLargeIcons);
    pApp->WriteProfileInt(strSection, L"Animation", m_pOptions->animationType);
    if (m_pOptions->m_mapUsedCommands.IsEmpty())
        return;
    try {
        CMemFile file(1024);
        CArchive ar(&file, CArchive::store, 4096);
        m_pOptions->m_mapUsedCommands.Serialize(ar);
        ar.Flush();
        const UINT nBytes = static_cast<UINT>(file.GetLength());
        BYTE* pData = file.Detach();
        pApp->WriteProfileBinary(strSection, L"UsedCommands", pData, nBytes);
        free(pData);
    } catch (CException* e) {
        e->Delete();
    }
}

void CXTPCommandBars::LoadOptions(LPCTSTR lpszProfileName)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    CString strSection;
    strSection.Format(L"%ls-Options", lpszProfileName);
    CXTPCommandBarsOptions* o = m_pOptions;
    o->bAlwaysShowFullMenus = pApp->GetProfileInt(strSection, L"AlwaysShowFullMenus", o->bAlwaysShowFullMenus);
    o->bShowFullAfterDelay = pApp->GetProfileInt(strSection, L"ShowFullAfterDelay", o->bShowFullAfterDelay);
    o->bToolBarScreenTips = pApp->GetProfileInt(strSection, L"ToolBarScreenTips", o->bToolBarScreenTips);
    o->bToolBarAccelTips = pApp->GetProfileInt(strSection, L"ToolBarAccelTips", o->bToolBarAccelTips);
    o->bLargeIcons = pApp->GetProfileInt(strSection, L"LargeIcons", o->bLargeIcons);
    o->animationType = static_cast<int>(pApp->GetProfileInt(strSection, L"Animation", o->animationType));
    BYTE* pData = nullptr;
    UINT nBytes = 0;
    if (!pApp->GetProfileBinary(strSection, L"UsedCommands", &pData, &nBytes) || pData == nullptr)
        return;
    try {
        CMemFile file(pData, nBytes);
        CArchive ar(&file, CArchive::load, 4096);
        CXTPCommandBarsOptions::CCommandMap map;
        map.Serialize(ar);
        m_pOptions->m_mapUsedCommands.RemoveAll();
        POSITION pos = map.GetStartPosition();
        while (pos != nullptr) {
            UINT nKey = 0;
            BOOL bValue = FALSE;
            map.GetNextAssoc(pos, nKey, bValue);
            m_pOptions->m_mapUsedCommands.SetAt(nKey, bValue);
        }
    } catch (CException* e) {
        e->Delete();
    }
    delete[] pData;
}
