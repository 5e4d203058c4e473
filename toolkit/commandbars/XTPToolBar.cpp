#include "toolkit/commandbars/XTPToolBar.h"

#include "framework/frame/FrameWnd.h"
#include "framework/win/Dc.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/CommandBarsResource.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPShortcuts.h"

#include <algorithm>
#include <set>

namespace {

// An entry of the "Add or Remove Buttons" menu: shows or hides one button of the toolbar, or resets the toolbar.
class CXTPControlToolbarButtonEntry : public CXTPControlButton
{
public:
    CXTPControlToolbarButtonEntry(CXTPToolBar* pToolBar, CXTPControl* pLinked)
        : m_pToolBar(pToolBar), m_pLinked(pLinked)
    {
        if (m_pLinked != nullptr)
            m_pLinked->InternalAddRef();
        m_dwFlags |= xtpFlagManualUpdate;
    }
    ~CXTPControlToolbarButtonEntry() override
    {
        if (m_pLinked != nullptr)
            m_pLinked->InternalRelease();
    }
    void OnExecute() override
    {
        if (m_pLinked == nullptr) {
            XTPMouseManager()->EndAllTracking();
            m_pToolBar->Reset(TRUE);
            return;
        }
        const DWORD dwHide = m_pLinked->GetHideFlags();
        const BOOL bWasHidden = (dwHide & xtpHideCustomize) != 0;
        m_pLinked->SetHideFlags(bWasHidden ? dwHide & ~static_cast<DWORD>(xtpHideCustomize)
                                           : dwHide | xtpHideCustomize);
        SetChecked(bWasHidden);
        m_pToolBar->OnRecalcLayout();
        RedrawParent();
    }

private:
    CXTPToolBar* m_pToolBar;
    CXTPControl* m_pLinked;
};

void FillExpandToolbarEntries(CXTPCommandBars* pCommandBars, CXTPToolBar* pToolBar, CXTPPopupBar* pPopupBar);

} // namespace

// ---- CXTPControlFloatingClose

IMPLEMENT_DYNCREATE(CXTPControlFloatingClose, CXTPControlButton)

CXTPControlFloatingClose::CXTPControlFloatingClose()
{
    m_dwFlags = 0x1A;
}

void CXTPControlFloatingClose::Draw(CDC* pDC)
{
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        pPaintManager->DrawControl(pDC, xtpButtonHideFloating, this, m_pParent, TRUE, CSize(0, 0));
}

void CXTPControlFloatingClose::OnExecute()
{
    auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, m_pParent);
    if (pToolBar == nullptr)
        return;
    // Hiding a custom toolbar deletes it: the manager's site does it once this click is over, outside the bar's
    // own messages.
    CXTPCommandBars* pCommandBars = pToolBar->GetCommandBars();
    CWnd* pSite = pCommandBars != nullptr ? pCommandBars->GetSite() : nullptr;
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr)
        pSite->PostMessage(WM_XTP_HIDEBAR, 0, reinterpret_cast<LPARAM>(pToolBar));
    else
        pToolBar->SetVisible(FALSE);
}

// ---- CXTPControlToolbarExpand

IMPLEMENT_DYNCREATE(CXTPControlToolbarExpand, CXTPControlPopup)

CXTPControlToolbarExpand::CXTPControlToolbarExpand() : m_bHiddenControls(FALSE)
{
    m_controlType = xtpControlButtonPopup;
    m_dwFlags = 0x1C;
}

void CXTPControlToolbarExpand::Draw(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager == nullptr || m_pParent == nullptr)
        return;
    const int nKind = m_pParent->GetPosition() == xtpBarFloating ? xtpButtonExpandFloating : xtpButtonExpandToolbar;
    pPaintManager->DrawControl(pDC, nKind, this, m_pParent, TRUE, CSize(0, 0));
}

void CXTPControlToolbarExpand::SetRect(CRect rcControl)
{
    CXTPControlPopup::SetRect(rcControl);
    m_bHiddenControls = FALSE;
    if (m_pParent == nullptr)
        return;
    for (int i = 0; i < m_pParent->GetControlCount(); ++i)
        m_bHiddenControls |= m_pParent->GetControl(i)->GetHideFlags() == xtpHideWrap;
}

BOOL CXTPControlToolbarExpand::OnSetPopup(BOOL bPopup)
{
    auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, m_pParent);
    if (bPopup && pToolBar != nullptr) {
        // A fresh popup each time: the hidden controls change with the bar's length.
        if (m_pCommandBar != nullptr) {
            m_pCommandBar->InternalRelease();
            m_pCommandBar = nullptr;
        }
        CXTPCommandBars* pCommandBars = pToolBar->GetCommandBars();
        CXTPPopupBar* pPopupBar = nullptr;
        if (CWnd* pSite = pToolBar->GetSite(); pSite != nullptr && pSite->GetSafeHwnd() != nullptr) {
            XTP_COMMANDBARS_CREATEBAR cs = {};
            cs.bPopup = TRUE;
            cs.nID = XTP_ID_TOOLBAR_EXPAND;
            if (pSite->SendMessage(WM_XTP_CREATE_COMMANDBAR, 0, reinterpret_cast<LPARAM>(&cs)) != 0 &&
                cs.pCommandBar != nullptr) {
                pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, cs.pCommandBar);
                // Anything but a popup bar is not used; the site handed over its reference.
                if (pPopupBar == nullptr)
                    cs.pCommandBar->InternalRelease();
            }
        }
        if (pPopupBar == nullptr)
            pPopupBar = CXTPPopupBar::CreatePopupBar(pCommandBars);
        pPopupBar->SetCustomizable(FALSE);
        pToolBar->FillExpandPopup(pPopupBar);
        SetCommandBar(pPopupBar);
    }
    return CXTPControlPopup::OnSetPopup(bPopup);
}

// ---- CXTPToolBar

IMPLEMENT_SERIAL(CXTPToolBar, CXTPCommandBar, VERSIONABLE_SCHEMA | 7)

BEGIN_MESSAGE_MAP(CXTPToolBar, CXTPCommandBar)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_NCLBUTTONDOWN()
ON_WM_NCHITTEST()
ON_WM_RBUTTONUP()
ON_WM_MOUSEACTIVATE()
ON_WM_NCACTIVATE()
ON_WM_CLOSE()
ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

CXTPToolBar::CXTPToolBar()
    : m_pDockBar(nullptr), m_pDockContext(nullptr), m_bBuiltIn(TRUE), m_bCustomBar(FALSE), m_bPreviewVisible(FALSE),
      m_bPreviewMode(FALSE), m_nThemeValue(0), m_dwDockingFlags(0), m_nResetID(0)
{
    m_dwStyle |= CBRS_GRIPPER;
    m_bCloseable = TRUE;
}

CXTPToolBar::~CXTPToolBar()
{
    delete m_pDockContext;
}

BOOL CXTPToolBar::LoadToolBar(UINT nIDResource, BOOL bLoadIcons)
{
    m_nResetID = nIDResource;
    if (!CXTPCommandBar::LoadToolBar(nIDResource, bLoadIcons))
        return FALSE;
    m_pControls->SaveOriginalControls();
    return TRUE;
}

BOOL CXTPToolBar::SetButtons(const UINT* pButtons, int nCount)
{
    BOOL bBeginGroup = FALSE;
    for (int i = 0; i < nCount; ++i) {
        if (pButtons[i] == 0) {
            bBeginGroup = TRUE;
            continue;
        }
        CXTPControl* pControl = AddControlFromSite(static_cast<int>(pButtons[i]), i);
        if (pControl != nullptr && bBeginGroup)
            pControl->SetBeginGroup(TRUE);
        bBeginGroup = FALSE;
    }
    return TRUE;
}

void CXTPToolBar::EnableDocking(DWORD dwFlags)
{
    // The base's flags word carries them into saved layouts and copies.
    m_dwDockingFlags = m_dwFlags = dwFlags;
    if (m_pDockContext == nullptr)
        m_pDockContext = new CXTPDockContext(this);
}

BOOL CXTPToolBar::IsVisible() const
{
    return m_bVisible;
}

void CXTPToolBar::SetVisible(BOOL bVisible)
{
    m_bVisible = bVisible;
    if (!bVisible && m_bTracking)
        SetTrackingMode(FALSE);
    if (m_hWnd != nullptr)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                           (bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (m_barPosition != xtpBarFloating) {
        if (pCommandBars != nullptr)
            pCommandBars->RecalcFrameLayout();
        else if (CWnd* pParent = m_hWnd != nullptr ? GetParentFrame() : nullptr)
            static_cast<CFrameWnd*>(pParent)->RecalcLayout(FALSE);
    }
    if (!bVisible && m_bCustomBar && pCommandBars != nullptr)
        pCommandBars->RemoveBar(this);
}

BOOL CXTPToolBar::SetPosition(XTPBarPosition barPosition)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == nullptr)
        return FALSE;
    if (barPosition == xtpBarFloating)
        return pCommandBars->FloatCommandBar(this);
    if (barPosition > xtpBarRight)
        return FALSE;
    return pCommandBars->DockCommandBar(this, nullptr, pCommandBars->GetDockBar(barPosition));
}

BOOL CXTPToolBar::Create(CWnd* pParentWnd, BOOL bFloating)
{
    if (pParentWnd == nullptr)
        return FALSE;
    if (m_hWnd == nullptr) {
        DWORD dwExStyle = (pParentWnd->GetExStyle() & WS_EX_LAYOUTRTL) != 0 ? WS_EX_LAYOUTRTL : 0;
        CPoint pt(100, 100);
        if (m_pDockContext != nullptr && (m_pDockContext->m_ptMRUFloatPos.x != 0 || m_pDockContext->m_ptMRUFloatPos.y))
            pt = m_pDockContext->m_ptMRUFloatPos;
        LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
        const DWORD dwStyle = bFloating ? (WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | MFS_SYNCACTIVE)
                                        : (WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
        if (!CreateEx(dwExStyle, lpszClass, m_strTitle, dwStyle, pt.x, pt.y, 0, 0, pParentWnd->GetSafeHwnd(), nullptr))
            return FALSE;
        if (m_bVisible)
            ShowWindow(SW_SHOWNA);
    }
    if (bFloating) {
        if ((GetStyle() & WS_CHILD) != 0) {
            ::SetParent(m_hWnd, nullptr);
            ModifyStyle(WS_CHILD, WS_POPUP | MFS_SYNCACTIVE);
        }
        ::SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(pParentWnd->GetSafeHwnd()));
    } else if ((GetStyle() & WS_POPUP) != 0) {
        ModifyStyle(WS_POPUP | MFS_SYNCACTIVE, WS_CHILD);
    }
    return TRUE;
}

BOOL CXTPToolBar::CreateToolBar(DWORD dwStyle, CWnd* pParentWnd, UINT nID)
{
    m_dwStyle = dwStyle & 0x40FFFF;
    const DWORD dwWndStyle = (dwStyle & 0xFFBF0000) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
    if (!CWnd::Create(lpszClass, nullptr, dwWndStyle, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    m_barPosition = xtpBarTop;
    if (m_dwStyle & CBRS_TOOLTIPS)
        EnableToolTips(TRUE);
    return TRUE;
}

BOOL CXTPToolBar::IsExpandButtonAlways() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars == nullptr || pCommandBars->GetCommandBarsOptions()->bShowExpandButtonAlways;
}

CXTPControl* CXTPToolBar::FindOrCreateSpecial(int nID, BOOL bCreate)
{
    CXTPControl* pControl = m_pControls->FindControl(nID);
    if (pControl != nullptr && pControl->GetID() == nID)
        return pControl;
    if (!bCreate)
        return nullptr;
    if (nID == XTP_ID_TOOLBAR_EXPAND)
        pControl = m_pControls->Add(new CXTPControlToolbarExpand, nID, nullptr, -1, TRUE);
    else
        pControl = m_pControls->Add(new CXTPControlFloatingClose, nID, nullptr, -1, TRUE);
    return pControl;
}

CSize CXTPToolBar::CalcDockingLayout(int nLength, DWORD dwMode, int nWidth)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    CClientDC dc(m_hWnd != nullptr ? this : nullptr);
    CXTPScopedSelect selectFont(dc.GetSafeHdc(), pPaintManager->GetControlFont(this, FALSE)->GetSafeHandle());

    CRect rcBorder = pPaintManager->GetBorders(this);
    if (m_dwStyle & CBRS_GRIPPER) {
        const CSize szGripper = pPaintManager->DrawGripper(&dc, this, FALSE);
        rcBorder.left += szGripper.cx;
        rcBorder.top += szGripper.cy;
    }
    if (CXTPControl* pClose = FindOrCreateSpecial(XTP_ID_TOOLBAR_HIDE, FALSE))
        pClose->SetHideFlag(xtpHideGeneric, TRUE);

    const BOOL bHorz = (dwMode & LM_HORZDOCK) != 0;
    CXTPControl* pExpand = nullptr;
    if (m_barType != xtpBarTypeMenuBar && m_pDockContext != nullptr) {
        pExpand = FindOrCreateSpecial(XTP_ID_TOOLBAR_EXPAND, TRUE);
        pExpand->SetHideFlag(xtpHideGeneric, TRUE);
        if (!IsExpandButtonAlways()) {
            if ((dwMode & LM_COMMIT) == 0) {
                CSize size = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);
                const CSize sizeMin = m_pControls->CalcDynamicSize(&dc, 1, dwMode, rcBorder, nWidth);
                if (m_pControls->GetVisibleCount() > 1) {
                    if (bHorz)
                        size.cx = std::max(size.cx, sizeMin.cx + XTP_EXPAND_STRIP);
                    else
                        size.cy = std::max(size.cy, sizeMin.cy + XTP_EXPAND_STRIP);
                }
                return size;
            }
            const CSize size = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);
            BOOL bOverflow = FALSE;
            for (int i = 0; i < GetControlCount(); ++i)
                bOverflow |= GetControl(i)->GetHideFlags() == xtpHideWrap;
            if (!bOverflow)
                return size;
        }
        if (bHorz)
            rcBorder.right += XTP_EXPAND_STRIP;
        else
            rcBorder.bottom += XTP_EXPAND_STRIP;
    }

    const CSize size = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);
    if (pExpand != nullptr) {
        // The pass may have marked it as not fitting too: it always has its strip.
        pExpand->SetHideFlags(xtpNoHide);
        pPaintManager->DrawControl(&dc, xtpButtonExpandToolbar, pExpand, this, FALSE, size);
    }
    return size;
}

CSize CXTPToolBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    CClientDC dc(m_hWnd != nullptr ? this : nullptr);
    CXTPScopedSelect selectFont(dc.GetSafeHdc(), pPaintManager->GetControlFont(this, FALSE)->GetSafeHandle());

    const int h = pPaintManager->DrawGripper(&dc, this, FALSE).cy;
    const CRect rcBorder(3, h + 1, 3, 3);
    CXTPControl* pClose = nullptr;
    CXTPControl* pExpand = nullptr;
    if (m_barType != xtpBarTypeMenuBar) {
        if (m_bCloseable) {
            pClose = FindOrCreateSpecial(XTP_ID_TOOLBAR_HIDE, TRUE);
            pClose->SetHideFlag(xtpHideGeneric, TRUE);
        }
        pExpand = FindOrCreateSpecial(XTP_ID_TOOLBAR_EXPAND, TRUE);
        pExpand->SetHideFlag(xtpHideGeneric, TRUE);
    }
    const CSize size = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder);
    int w = size.cx - 3;
    if (pClose != nullptr) {
        pClose->SetHideFlags(xtpNoHide);
        pClose->SetRect(CRect(w - h, 3, w, h + 3));
        w -= h;
    }
    if (pExpand != nullptr && w - h > 0 && IsExpandButtonAlways()) {
        pExpand->SetHideFlags(xtpNoHide);
        pExpand->SetRect(CRect(w - h, 3, w, h + 3));
    }
    return size;
}

void CXTPToolBar::OnRecalcLayout()
{
    if (m_hWnd == nullptr)
        return;
    if (m_barPosition == xtpBarFloating) {
        const CSize size = CalcDynamicLayout(-1, LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Invalidate(FALSE);
        return;
    }
    if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        pCommandBars->RecalcFrameLayout();
    } else if (CFrameWnd* pFrame = GetParentFrame()) {
        pFrame->RecalcLayout(FALSE);
        Invalidate(FALSE);
    }
}

void CXTPToolBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPCommandBar::Copy(pCommandBar, bRecursive);
    if (auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pCommandBar)) {
        m_bBuiltIn = pToolBar->m_bBuiltIn;
        m_bCustomBar = pToolBar->m_bCustomBar;
        m_bCloseable = pToolBar->m_bCloseable;
        m_dwDockingFlags = pToolBar->m_dwDockingFlags;
    }
}

CXTPCommandBar* CXTPToolBar::Clone(BOOL bRecursive)
{
    auto* pToolBar = new CXTPToolBar;
    pToolBar->Copy(this, bRecursive);
    return pToolBar;
}

void CXTPToolBar::Reset(BOOL bShowWarning)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == nullptr || m_nResetID == 0 || !IsCustomizable())
        return;
    if (bShowWarning) {
        CString strMessage;
        strMessage.LoadString(XTP_IDS_CONFIRM_RESETTOOLBAR);
        strMessage.Replace(L"%s", m_strTitle);
        if (AfxMessageBox(strMessage, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return;
    }
    // From its resource when it has one, so that the site makes its own controls again (copies of them would
    // be controls the site does not know); otherwise from the controls it was built with.
    CXTPControls* pOriginal = m_pControls->GetOriginalControls();
    if (!CXTPCommandBar::LoadToolBar(m_nResetID, FALSE) && pOriginal != nullptr) {
        m_pControls->RemoveAll();
        for (int i = 0; i < pOriginal->GetCount(); ++i) {
            CXTPControl* pControl = pOriginal->GetAt(i);
            if (!pControl->IsTemporary())
                m_pControls->AddClone(pControl, -1, TRUE);
        }
    }
    OnUpdateCmdUI(TRUE, 0);
    OnRecalcLayout();
}

void CXTPToolBar::OnSetPreviewMode(BOOL bPreview)
{
    if (bPreview == m_bPreviewMode)
        return;
    m_bPreviewMode = bPreview;
    if (bPreview) {
        m_bPreviewVisible = IsVisible();
        if (m_bPreviewVisible)
            SetVisible(FALSE);
    } else if (m_bPreviewVisible) {
        SetVisible(TRUE);
    }
}

void CXTPToolBar::FillExpandPopup(CXTPPopupBar* pPopupBar)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != nullptr)
        pCommandBars->FillExpandHiddenControls(this, pPopupBar);
    else {
        for (int i = 0; i < GetControlCount(); ++i) {
            CXTPControl* pControl = GetControl(i);
            if (pControl->GetHideFlags() == xtpHideWrap) {
                CXTPControl* pClone = pPopupBar->GetControls()->AddClone(pControl, -1, TRUE);
                pClone->SetHideFlags(xtpNoHide);
                pClone->SetBeginGroup(FALSE);
            }
        }
    }
    if (IsExpandButtonAlways() || (pCommandBars != nullptr && pCommandBars->IsCustomizable())) {
        CString strCaption;
        strCaption.LoadString(XTP_IDS_ADDORREMOVE);
        CXTPControl* pControl = pPopupBar->GetControls()->AddByType(xtpControlPopup, 0);
        if (pControl != nullptr) {
            pControl->SetCaption(strCaption);
            pControl->SetFlags(pControl->GetFlags() | xtpFlagManualUpdate);
            if (pPopupBar->GetControlCount() > 1)
                pControl->SetBeginGroup(TRUE);
            if (auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl);
                pPopup != nullptr && pCommandBars != nullptr) {
                CXTPPopupBar* pEntries = CXTPPopupBar::CreatePopupBar(pCommandBars);
                FillExpandToolbarEntries(pCommandBars, this, pEntries);
                pPopup->SetCommandBar(pEntries);
            }
        }
    } else {
        pPopupBar->SetWidth(150);
    }
}

namespace {

// The "Add or Remove Buttons" submenu of a toolbar: one entry per button (checked while shown), then "Reset".
void BuildCustomizeMenu(CXTPToolBar* pToolBar, CXTPPopupBar* pSubMenu)
{
    CXTPControls* pControls = pToolBar->GetControls();
    pToolBar->SetPopuped(-1);
    pToolBar->SetSelected(-1);
    std::vector<CXTPControl*> arrDefaults;
    if (CXTPControls* pOriginal = pControls->GetOriginalControls()) {
        for (int i = 0; i < pOriginal->GetCount(); ++i) {
            if (!pOriginal->GetAt(i)->IsTemporary())
                arrDefaults.push_back(pOriginal->GetAt(i));
        }
    }
    // Buttons the user took off come back below only when they belong to the default layout.
    for (int i = pControls->GetCount() - 1; i >= 0; --i) {
        if ((pControls->GetAt(i)->GetHideFlags() & xtpHideCustomize) != 0)
            pControls->RemoveAt(i);
    }
    std::set<CXTPControl*> inDefault;
    int nPos = 0;
    for (CXTPControl* pDefault : arrDefaults) {
        int nFound = -1;
        for (int j = nPos; j < pControls->GetCount(); ++j) {
            CXTPControl* pControl = pControls->GetAt(j);
            if (pControl->GetID() == pDefault->GetID() && pControl->GetType() == pDefault->GetType()) {
                nFound = j;
                break;
            }
        }
        if (nFound >= 0) {
            inDefault.insert(pControls->GetAt(nFound));
            nPos = nFound + 1;
            continue;
        }
        CXTPControl* pClone = pControls->AddClone(pDefault, nPos);
        if (pClone == nullptr)
            continue;
        pClone->SetHideFlags(pClone->GetHideFlags() | xtpHideCustomize);
        inDefault.insert(pClone);
        ++nPos;
    }
    CXTPCommandBars* pCommandBars = pToolBar->GetCommandBars();
    for (int i = 0; i < pControls->GetCount(); ++i) {
        CXTPControl* pControl = pControls->GetAt(i);
        if (pControl->GetID() == XTP_ID_TOOLBAR_EXPAND || pControl->GetID() == XTP_ID_TOOLBAR_HIDE ||
            (pControl->GetHideFlags() & (xtpHideGeneric | xtpHideDocTemplate)) != 0)
            continue;
        auto* pEntry = new CXTPControlToolbarButtonEntry(pToolBar, pControl);
        pSubMenu->GetControls()->Add(pEntry, 0);
        pEntry->SetCaption(pControl->GetCaption());
        if (pControl->GetType() >= xtpControlButton && pControl->GetType() <= xtpControlSplitButtonPopup)
            pEntry->SetIconId(pControl->GetIconId());
        CString strShortcut;
        if (pControl->GetID() > 0 &&
            FindCommandShortcut(static_cast<UINT>(pControl->GetID()), strShortcut, pCommandBars))
            pEntry->SetShortcutText(strShortcut);
        pEntry->SetEnabled(inDefault.count(pControl) != 0);
        pEntry->SetChecked((pControl->GetHideFlags() & xtpHideCustomize) == 0);
    }
    if (pControls->GetOriginalControls() != nullptr && pToolBar->IsBuiltIn() && !pToolBar->IsCustomBar()) {
        auto* pReset = new CXTPControlToolbarButtonEntry(pToolBar, nullptr);
        pSubMenu->GetControls()->Add(pReset, 0);
        CString strReset;
        strReset.LoadString(XTP_IDS_RESET);
        pReset->SetCaption(strReset);
        pReset->SetBeginGroup(TRUE);
    }
    pToolBar->OnRecalcLayout();
}

// The "Add or Remove Buttons" popup: one submenu per toolbar of the row listing its buttons, then the customise
// command.
void FillExpandToolbarEntries(CXTPCommandBars* pCommandBars, CXTPToolBar* pToolBar, CXTPPopupBar* pPopupBar)
{
    std::vector<CXTPToolBar*> arrBars;
    CXTPDockBar* pDockBar = pToolBar->GetDockBar();
    if (pDockBar != nullptr)
        pDockBar->GetRowBars(pDockBar->FindBar(pToolBar), arrBars);
    if (arrBars.empty())
        arrBars.push_back(pToolBar);
    for (CXTPToolBar* pBar : arrBars) {
        auto* pEntry = DYNAMIC_DOWNCAST(CXTPControlPopup, pPopupBar->GetControls()->AddByType(xtpControlPopup, 0));
        if (pEntry == nullptr)
            continue;
        pEntry->SetFlags(pEntry->GetFlags() | xtpFlagManualUpdate);
        pEntry->SetCaption(pBar->GetTitle());
        const BOOL bEnabled = pCommandBars->IsCustomizable() && pBar->IsBuiltIn() && pBar->IsCustomizable();
        pEntry->SetEnabled(bEnabled);
        if (bEnabled) {
            CXTPPopupBar* pButtons = CXTPPopupBar::CreatePopupBar(pCommandBars);
            BuildCustomizeMenu(pBar, pButtons);
            pEntry->SetCommandBar(pButtons);
        }
    }
    if (pCommandBars->IsCustomizable()) {
        CXTPControl* pCustomize = pPopupBar->GetControls()->AddByType(xtpControlButton, XTP_ID_CUSTOMIZE);
        if (pCustomize != nullptr)
            pCustomize->SetBeginGroup(TRUE);
    }
}

} // namespace

// ---- Messages

void CXTPToolBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (HitTestControl(point) != nullptr || IsCustomizeMode()) {
        CXTPCommandBar::OnLButtonDown(nFlags, point);
        return;
    }
    XTPMouseManager()->EndAllTracking();
    if (m_pDockContext != nullptr && (m_dwDockingFlags & (xtpFlagAlignAny | xtpFlagFloating)) != 0) {
        ClientToScreen(&point);
        m_pDockContext->StartDrag(point);
    }
}

void CXTPToolBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (HitTestControl(point) == nullptr && m_pDockContext != nullptr) {
        m_pDockContext->ToggleDocking();
        return;
    }
    CXTPCommandBar::OnLButtonDblClk(nFlags, point);
}

void CXTPToolBar::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    if (m_pDockContext != nullptr && nHitTest >= HTLEFT && nHitTest <= HTBOTTOMRIGHT) {
        if (CWnd* pTop = GetTopLevelParent())
            pTop->SetActiveWindow();
        ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        XTPMouseManager()->EndAllTracking();
        m_pDockContext->StartResize(static_cast<int>(nHitTest), point);
        return;
    }
    CXTPCommandBar::OnNcLButtonDown(nHitTest, point);
}

LRESULT CXTPToolBar::OnNcHitTest(CPoint point)
{
    if (m_barPosition == xtpBarFloating) {
        CRect rc;
        GetWindowRect(&rc);
        rc.DeflateRect(3, 3);
        if (point.y < rc.top)
            return HTTOP;
        if (point.y >= rc.bottom)
            return HTBOTTOM;
        if (point.x < rc.left)
            return HTLEFT;
        if (point.x >= rc.right)
            return HTRIGHT;
    }
    return CXTPCommandBar::OnNcHitTest(point);
}

void CXTPToolBar::OnRButtonUp(UINT nFlags, CPoint point)
{
    if (IsCustomizeMode()) {
        CXTPCommandBar::OnRButtonUp(nFlags, point);
        return;
    }
    SetTrackingMode(FALSE);
    SetSelected(-1);
    Invalidate(FALSE);
    if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        ClientToScreen(&point);
        pCommandBars->ShowToolbarsMenu(point.x, point.y);
    }
}

int CXTPToolBar::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    // While customising, the Customize sheet keeps the activation (and with it the keyboard).
    if (m_barPosition == xtpBarFloating || IsCustomizeMode())
        return MA_NOACTIVATE;
    return CXTPCommandBar::OnMouseActivate(pDesktopWnd, nHitTest, message);
}

BOOL CXTPToolBar::OnNcActivate(BOOL bActive)
{
    if (bActive)
        return FALSE;
    return static_cast<BOOL>(Default());
}

LRESULT CXTPToolBar::OnFloatStatus(WPARAM wParam, LPARAM)
{
    const LRESULT lResult = (GetStyle() & MFS_SYNCACTIVE) != 0 && (wParam & FS_SYNCACTIVE) != 0;
    if (m_barPosition != xtpBarFloating || !m_bVisible)
        return lResult;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    const BOOL bSync = pCommandBars == nullptr || pCommandBars->GetCommandBarsOptions()->bSyncFloatingBars;
    const UINT nFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    CWnd* pTop = GetTopLevelParent();
    const BOOL bTopActive = pTop != nullptr && CXTPMouseManager::IsTopParentActive(m_hWnd);
    if (bSync && (wParam & FS_DEACTIVATE) && !bTopActive)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, nFlags | SWP_HIDEWINDOW);
    if (bSync && (wParam & FS_ACTIVATE) && bTopActive) {
        HWND hForeground = ::GetForegroundWindow();
        if (hForeground != nullptr && ::IsWindowVisible(hForeground) && !::IsIconic(hForeground))
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, nFlags | SWP_SHOWWINDOW);
    }
    if (wParam & FS_SHOW)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, nFlags | SWP_SHOWWINDOW);
    if (wParam & FS_HIDE)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, nFlags | SWP_HIDEWINDOW);
    if (wParam & (FS_ENABLE | FS_DISABLE))
        EnableWindow((wParam & FS_ENABLE) != 0);
    return lResult;
}

LRESULT CXTPToolBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if ((GetStyle() & WS_VISIBLE) == 0)
        return 0;
    DWORD dwMode = LM_HORZDOCK | LM_HORZ | LM_COMMIT;
    if (m_dwDockingFlags & xtpFlagStretched)
        dwMode |= LM_STRETCH;
    if (m_dwDockingFlags & xtpFlagHideWrap)
        dwMode |= LM_HIDEWRAP;
    if (lpLayout->hDWP == nullptr)
        dwMode &= ~LM_COMMIT;
    CRect rect(lpLayout->rect);
    CSize size = CalcDockingLayout(32000, dwMode);
    size.cx = std::min(size.cx, static_cast<LONG>(rect.Width()));
    size.cy = std::min(size.cy, static_cast<LONG>(rect.Height()));
    lpLayout->rect.top += size.cy;
    lpLayout->sizeTotal.cy += size.cy;
    lpLayout->sizeTotal.cx = std::max(lpLayout->sizeTotal.cx, size.cx);
    if (lpLayout->hDWP != nullptr) {
        rect.bottom = rect.top + size.cy;
        rect.right = rect.left + std::max(size.cx, static_cast<LONG>(rect.Width()));
        AfxRepositionWindow(lpLayout, m_hWnd, &rect);
        Invalidate(FALSE);
    }
    return 0;
}

void CXTPToolBar::OnClose() {}
