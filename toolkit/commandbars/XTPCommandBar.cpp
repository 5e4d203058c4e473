#include "toolkit/commandbars/XTPCommandBar.h"

#include "framework/StandardIds.h"
#include "framework/frame/FrameWnd.h"
#include "framework/win/Menu.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPCustomizeDropSource.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPShortcuts.h"

#include <cstdlib>
#include <cstring>

namespace {

// The update object of one control: the command handlers set the control's states through it.
class CXTPControlCmdUI : public CCmdUI
{
public:
    explicit CXTPControlCmdUI(CXTPControl* pControl) : m_pControl(pControl)
    {
        m_nID = static_cast<UINT>(pControl->GetID());
        m_nIndex = static_cast<UINT>(pControl->GetIndex());
    }
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        m_pControl->SetEnabled(bOn);
    }
    void SetCheck(int nCheck) override { m_pControl->SetChecked(nCheck); }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCTSTR lpszText) override { m_pControl->SetCaption(lpszText); }

private:
    CXTPControl* m_pControl;
};

// The reflected form of the update code, offered to the bar's own map first.
const int kReflectedUpdateCode = static_cast<int>(MAKELONG(0xFFFF, WM_COMMAND + WM_REFLECT_BASE));

} // namespace

IMPLEMENT_SERIAL(CXTPCommandBar, CWnd, VERSIONABLE_SCHEMA | 7)

BEGIN_MESSAGE_MAP(CXTPCommandBar, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_TIMER()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
ON_WM_NCMOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_NCLBUTTONDOWN()
ON_WM_NCHITTEST()
ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdate)
END_MESSAGE_MAP()

CXTPCommandBar::CXTPCommandBar()
    : m_nReserved(0), m_nMRUWidth(32767), m_nSelected(-1), m_nPopuped(-1), m_hwndFocus(nullptr), m_nBarID(0),
      m_bVisible(TRUE), m_bTracking(0), m_pOwner(nullptr), m_dwPending(0), m_dwFlags(0), m_dwStyle(0),
      m_barType(xtpBarTypeNormal), m_pKeyControl(nullptr), m_pControls(new CXTPControls), m_barPosition(xtpBarNone),
      m_pCommandBars(nullptr), m_pNotifyWindow(nullptr), m_szIcons(0, 0), m_szButtons(0, 0), m_nTextBelow(2),
      m_bRightButton(FALSE), m_bNoNotify(FALSE), m_bKeyboardSelect(FALSE), m_bCloseable(FALSE), m_bCustomizable(TRUE),
      m_rcMarker(0, 0, 0, 0), m_bVerticalMarker(FALSE), m_nReserved2(0), m_pReturnCmd(nullptr), m_bListed(TRUE),
      m_bMouseTracking(FALSE), m_nLoadedSchema(0), m_pPaintManager(nullptr), m_pImageManager(nullptr),
      m_bAnimatePopup(FALSE)
{
    m_pControls->SetParent(this);
}

CXTPCommandBar::~CXTPCommandBar()
{
    // The derived parts are gone: destroy the window while this class's handlers can still see its messages.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        DestroyWindow();
    if (m_bTracking)
        SetTrackingMode(FALSE, FALSE, FALSE);
    XTPKeyboardManager()->UnhookKeyboard(this);
    XTPHookManager()->RemoveAll(this);
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    pMouseManager->RemoveTrackingBar(this);
    if (pMouseManager->GetSelectedBar() == this)
        pMouseManager->SetSelectedBar(nullptr);
    if (m_pControls != nullptr) {
        m_pControls->SetParent(nullptr);
        m_pControls->InternalRelease();
    }
    if (m_pPaintManager != nullptr)
        m_pPaintManager->InternalRelease();
    if (m_pImageManager != nullptr)
        m_pImageManager->InternalRelease();
}

void CXTPCommandBar::OnFinalRelease()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        DestroyWindow();
    delete this;
}

// ---- Owners

CXTPCommandBar* CXTPCommandBar::GetParentCommandBar() const
{
    return nullptr;
}

CXTPCommandBar* CXTPCommandBar::GetRootParent() const
{
    const CXTPCommandBar* pBar = this;
    // A parent chain made circular by a corrupt layout must not hang the program.
    for (int nDepth = 0; nDepth < 64; ++nDepth) {
        CXTPCommandBar* pParent = pBar->GetParentCommandBar();
        if (pParent == nullptr || pParent == pBar)
            break;
        pBar = pParent;
    }
    return const_cast<CXTPCommandBar*>(pBar);
}

CXTPCommandBars* CXTPCommandBar::GetCommandBars() const
{
    const CXTPCommandBar* pBar = this;
    for (int nDepth = 0; pBar != nullptr && nDepth < 64; ++nDepth) {
        if (pBar->m_pCommandBars != nullptr)
            return pBar->m_pCommandBars;
        pBar = pBar->GetParentCommandBar();
    }
    return nullptr;
}

BOOL CXTPCommandBar::IsCustomizeMode() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars != nullptr && pCommandBars->IsCustomizeMode();
}

CFrameWnd* CXTPCommandBar::GetFrameSite() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars != nullptr ? pCommandBars->GetFrameSite() : nullptr;
}

CWnd* CXTPCommandBar::GetSite() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != nullptr)
        return pCommandBars->GetSite();
    CXTPCommandBar* pRoot = GetRootParent();
    if (pRoot->m_pOwner != nullptr)
        return pRoot->m_pOwner;
    if (pRoot->m_hWnd != nullptr) {
        if (CWnd* pOwner = pRoot->GetOwner())
            return pOwner;
    }
    return AfxGetMainWnd();
}

CWnd* CXTPCommandBar::GetOwnerSite() const
{
    CXTPCommandBar* pRoot = GetRootParent();
    return pRoot->m_pNotifyWindow != nullptr ? pRoot->m_pNotifyWindow : GetSite();
}

CXTPPaintManager* CXTPCommandBar::GetPaintManager() const
{
    if (m_pPaintManager != nullptr)
        return m_pPaintManager;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != nullptr && pCommandBars->m_pPaintManager != nullptr)
        return pCommandBars->m_pPaintManager;
    CXTPCommandBar* pRoot = GetRootParent();
    if (pRoot->m_pPaintManager != nullptr)
        return pRoot->m_pPaintManager;
    return XTPPaintManager();
}

CXTPImageManager* CXTPCommandBar::GetImageManager() const
{
    if (m_pImageManager != nullptr)
        return m_pImageManager;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != nullptr && pCommandBars->m_pImageManager != nullptr)
        return pCommandBars->m_pImageManager;
    CXTPCommandBar* pRoot = GetRootParent();
    if (pRoot->m_pImageManager != nullptr)
        return pRoot->m_pImageManager;
    return XTPImageManager();
}

void CXTPCommandBar::SetPaintManager(CXTPPaintManager* pPaintManager)
{
    if (m_pPaintManager != nullptr)
        m_pPaintManager->InternalRelease();
    m_pPaintManager = pPaintManager;
}

void CXTPCommandBar::SetImageManager(CXTPImageManager* pImageManager)
{
    if (m_pImageManager != nullptr)
        m_pImageManager->InternalRelease();
    m_pImageManager = pImageManager;
}

// ---- Controls and simple state

void CXTPCommandBar::SetControls(CXTPControls* pControls)
{
    if (pControls == m_pControls)
        return;
    if (m_pControls != nullptr) {
        m_pControls->SetParent(nullptr);
        m_pControls->InternalRelease();
    }
    m_pControls = pControls;
    if (m_pControls != nullptr)
        m_pControls->SetParent(this);
    OnControlsChanged();
}

CXTPControl* CXTPCommandBar::GetControl(int nIndex) const
{
    return m_pControls != nullptr ? m_pControls->GetAt(nIndex) : nullptr;
}

int CXTPCommandBar::GetControlCount() const
{
    return m_pControls != nullptr ? m_pControls->GetCount() : 0;
}

CXTPControl* CXTPCommandBar::HitTestControl(CPoint point) const
{
    return m_pControls != nullptr ? m_pControls->HitTest(point) : nullptr;
}

void CXTPCommandBar::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    m_dwPending &= ~xtpPendingRedraw;
    if (m_hWnd != nullptr) {
        // A floating bar shows its title as its caption.
        ::SetWindowTextW(m_hWnd, m_strTitle);
        Invalidate(FALSE);
    }
}

CSize CXTPCommandBar::GetIconSize() const
{
    if (m_szIcons.cx > 0 && m_szIcons.cy > 0)
        return m_szIcons;
    if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        CXTPCommandBarsOptions* pOptions = pCommandBars->GetCommandBarsOptions();
        if (IsPopupBar() && pOptions->szPopupIcons.cx > 0 && pOptions->szPopupIcons.cy > 0)
            return pOptions->szPopupIcons;
        const CSize size = pOptions->bLargeIcons ? pOptions->szLargeIcons : pOptions->szIcons;
        if (size.cx > 0 && size.cy > 0)
            return size;
    }
    return CSize(16, 16);
}

CSize CXTPCommandBar::GetButtonSize() const
{
    if (m_szButtons.cx > 0 && m_szButtons.cy > 0)
        return m_szButtons;
    const CSize szIcon = GetIconSize();
    return CSize(szIcon.cx + 7, szIcon.cy + 7);
}

BOOL CXTPCommandBar::IsTextBelowIcons() const
{
    if (m_nTextBelow != 2)
        return m_nTextBelow == 1;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars != nullptr && pCommandBars->GetCommandBarsOptions()->bShowTextBelowIcons;
}

BOOL CXTPCommandBar::IsLayoutRTL() const
{
    return m_hWnd != nullptr && (GetExStyle() & WS_EX_LAYOUTRTL) != 0;
}

BOOL CXTPCommandBar::IsVerticalPosition() const
{
    return ::IsVerticalPosition(m_barPosition);
}

BOOL CXTPCommandBar::GetShowGripper() const
{
    return (m_dwStyle & CBRS_GRIPPER) != 0;
}

// ---- Overridable defaults

void CXTPCommandBar::DelayRedraw()
{
    m_dwPending |= xtpPendingRedraw;
}

BOOL CXTPCommandBar::Popup(int, int, LPCRECT)
{
    return FALSE;
}

void CXTPCommandBar::SetVisible(BOOL) {}

BOOL CXTPCommandBar::IsVisible() const
{
    return FALSE;
}

BOOL CXTPCommandBar::SetPosition(XTPBarPosition)
{
    return FALSE;
}

BOOL CXTPCommandBar::IsCustomizable() const
{
    return m_bCustomizable;
}

void CXTPCommandBar::OnRecalcLayout() {}

CSize CXTPCommandBar::CalcDynamicLayout(int, DWORD)
{
    return CSize(0, 0);
}

void CXTPCommandBar::OnControlsChanged()
{
    m_nSelected = -1;
    m_nPopuped = -1;
    m_dwPending |= xtpPendingLayout;
}

BOOL CXTPCommandBar::LoadToolBar(UINT nIDResource, BOOL bLoadIcons)
{
    HMODULE hModule = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceW(hModule, MAKEINTRESOURCEW(nIDResource), RT_TOOLBAR);
    HGLOBAL hData = hResource != nullptr ? ::LoadResource(hModule, hResource) : nullptr;
    const WORD* pData = hData != nullptr ? static_cast<const WORD*>(::LockResource(hData)) : nullptr;
    const DWORD nSize = hResource != nullptr ? ::SizeofResource(hModule, hResource) : 0;
    if (pData == nullptr || nSize < 4 * sizeof(WORD) || pData[0] != 1)
        return FALSE;
    const WORD nCount = pData[3];
    if (nSize < (4u + nCount) * sizeof(WORD))
        return FALSE;
    m_pControls->RemoveAll();
    BOOL bBeginGroup = FALSE;
    for (WORD i = 0; i < nCount; ++i) {
        const WORD nID = pData[4 + i];
        if (nID == 0) {
            bBeginGroup = TRUE;
            continue;
        }
        CXTPControl* pControl = AddControlFromSite(nID, i);
        if (pControl != nullptr && bBeginGroup)
            pControl->SetBeginGroup(TRUE);
        bBeginGroup = FALSE;
    }
    if (bLoadIcons)
        GetImageManager()->SetIconsFromToolBar(nIDResource);
    m_szIcons = CSize(pData[1], pData[2]);
    return TRUE;
}

CXTPControl* CXTPCommandBar::AddControlFromSite(int nID, int nIndex)
{
    XTP_COMMANDBARS_CREATECONTROL cs;
    cs.nID = nID;
    cs.pControl = nullptr;
    cs.bToolBar = TRUE;
    cs.nIndex = nIndex;
    cs.pMenu = nullptr;
    cs.pCommandBar = this;
    cs.strCaption = GetTitle();
    cs.controlType = xtpControlButton;
    cs.buttonStyle = xtpButtonAutomatic;
    CWnd* pSite = GetSite();
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr &&
        pSite->SendMessage(WM_XTP_CREATE_CONTROL, 0, reinterpret_cast<LPARAM>(&cs)) != 0 && cs.pControl != nullptr)
        return m_pControls->Add(cs.pControl, cs.nID);
    CXTPControl* pControl = m_pControls->AddByType(cs.controlType, cs.nID);
    if (pControl != nullptr) {
        pControl->DelayLayoutParent();
        if (IsPopupType(cs.controlType))
            pControl->SetIconId(cs.nID);
        if (cs.buttonStyle != xtpButtonAutomatic)
            pControl->SetStyle(cs.buttonStyle);
    }
    return pControl;
}

// ---- Tracking, selection and popups

BOOL CXTPCommandBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard)
{
    if ((m_bTracking && bMode) || m_bTracking == bMode) {
        m_bTracking = bMode;
        return FALSE;
    }
    m_bTracking = bMode;
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if (bMode) {
        if (m_barType == xtpBarTypeMenuBar) {
            CWnd* pSite = GetSite();
            if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr)
                pSite->SendMessage(WM_XTP_TRACKING_START, reinterpret_cast<WPARAM>(this));
        }
        m_bMouseTracking = !bSelectFirst && !bKeyboard;
        m_bAnimatePopup = m_bMouseTracking;
        if (m_hwndFocus == nullptr) {
            m_hwndFocus = ::GetFocus();
            if (m_hwndFocus == nullptr)
                m_hwndFocus = GetSite()->GetSafeHwnd();
            if (m_hwndFocus != nullptr)
                ::HideCaret(m_hwndFocus);
        }
        pMouseManager->AddTrackingBar(this);
        XTPKeyboardManager()->HookKeyboard(this);
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        if (bSelectFirst && m_pControls != nullptr)
            SetSelected(m_pControls->FindNextIndex(-1, +1), TRUE);
    } else {
        m_bMouseTracking = FALSE;
        pMouseManager->RemoveTrackingBar(this);
        XTPKeyboardManager()->UnhookKeyboard(this);
        SetPopuped(-1);
        if (bSelectFirst)
            SetSelected(-1);
        if (m_hwndFocus != nullptr) {
            ::ShowCaret(m_hwndFocus);
            m_hwndFocus = nullptr;
        }
        m_dwPending &= ~xtpPendingRedraw;
        if (m_hWnd != nullptr)
            Invalidate(FALSE);
        if (!pMouseManager->IsTracking())
            pMouseManager->SetSelectedBar(nullptr);
        if (m_hWnd != nullptr && ::GetFocus() == m_hWnd) {
            HWND hWndParent = ::GetParent(m_hWnd);
            if (hWndParent != nullptr) {
                HWND hWndNext = ::GetNextDlgTabItem(hWndParent, m_hWnd, FALSE);
                if (hWndNext != nullptr)
                    ::SetFocus(hWndNext);
            }
        }
    }
    return TRUE;
}

BOOL CXTPCommandBar::SetSelected(int nSelected, BOOL bKeyboard)
{
    if (nSelected == m_nSelected)
        return FALSE;
    m_bKeyboardSelect = bKeyboard;
    if (m_hWnd == nullptr)
        return FALSE;
    CXTPControl* pOld = GetControl(m_nSelected);
    m_nSelected = nSelected;
    if (pOld != nullptr)
        pOld->SetSelected(xtpNotSelected);
    CXTPControl* pNew = GetControl(nSelected);
    if (pNew == nullptr) {
        m_nSelected = -1;
        KillTimer(XTP_TID_HOVER);
    } else {
        pNew->SetSelected(bKeyboard ? xtpSelectedByKeyboard : xtpSelectedByMouse);
        XTPMouseManager()->SetSelectedBar(this);
        if (!bKeyboard)
            SetTimer(XTP_TID_HOVER, 300);
        else
            KillTimer(XTP_TID_HOVER);
    }
    m_dwPending &= ~xtpPendingRedraw;
    Invalidate(FALSE);
    return TRUE;
}

BOOL CXTPCommandBar::SetPopuped(int nPopuped, BOOL bKeyboard)
{
    if (nPopuped == m_nPopuped)
        return FALSE;
    if (m_nPopuped != -1) {
        CXTPControl* pOpen = GetControl(m_nPopuped);
        m_nPopuped = -1;
        if (pOpen != nullptr)
            pOpen->OnSetPopup(FALSE);
    }
    if (nPopuped != -1) {
        CXTPControl* pControl = GetControl(nPopuped);
        if (pControl == nullptr || !pControl->GetEnabled() || !pControl->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)))
            return FALSE;
        m_nPopuped = nPopuped;
        SetTrackingMode(xtpTrackingPopup, FALSE, bKeyboard);
        SetSelected(nPopuped, bKeyboard);
        pControl->OnSetPopup(TRUE);
        CXTPCommandBars* pCommandBars = GetCommandBars();
        if (pCommandBars != nullptr && pCommandBars->GetCommandBarsOptions()->bShowFullAfterDelay && m_hWnd != nullptr)
            SetTimer(XTP_TID_EXPAND, 800);
    }
    m_dwPending &= ~xtpPendingRedraw;
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
    return TRUE;
}

void CXTPCommandBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == XTP_TID_HOVER) {
        KillTimer(XTP_TID_HOVER);
        if (CXTPControl* pControl = GetControl(m_nSelected))
            pControl->OnMouseHover();
        return;
    }
    if (nIDEvent == XTP_TID_EXPAND) {
        KillTimer(XTP_TID_EXPAND);
        CXTPControl* pControl = GetControl(m_nPopuped);
        if (pControl != nullptr && m_nPopuped == m_nSelected && pControl->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)) &&
            pControl->IsCursorOver()) {
            if (CXTPPopupBar* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, pControl->GetCommandBar()))
                pPopupBar->ExpandBar();
        }
        return;
    }
    CWnd::OnTimer(nIDEvent);
}

void CXTPCommandBar::UpdateStatusText(CXTPControl* pControl)
{
    if (GetRootParent()->m_bNoNotify)
        return;
    CWnd* pSite = GetSite();
    if (pSite == nullptr || pSite->GetSafeHwnd() == nullptr)
        return;
    const CString strDescription = pControl != nullptr ? pControl->GetDescription() : CString();
    if (!strDescription.IsEmpty())
        pSite->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(strDescription)));
    else
        pSite->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    pSite->SendMessage(WM_XTP_CONTROL_SELECTED, reinterpret_cast<WPARAM>(pControl));
}

// ---- Keyboard

int CXTPCommandBar::OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT&)
{
    if (m_bTracking && nMessage == WM_KEYDOWN)
        return ProcessKeyDown(static_cast<UINT>(wParam), lParam);
    return xtpHookNotHandled;
}

int CXTPCommandBar::ProcessKeyDown(UINT nChar, LPARAM lParam)
{
    if (!m_bTracking || IsCustomizeMode())
        return 0;

    int nCode = -1;
    if (nChar == VK_TAB)
        nCode = ::GetKeyState(VK_SHIFT) < 0 ? xtpKeyBack : xtpKeyNext;
    else if (nChar == VK_RETURN)
        nCode = xtpKeyReturn;

    if (m_pKeyControl != nullptr) {
        const int nAnswer = m_pKeyControl->OnHookKeyDown(nChar, lParam);
        if (nAnswer == xtpHookHandled || nAnswer == xtpHookStop)
            return nAnswer;
    }

    if (nCode == -1) {
        const BOOL bHorz =
            m_barPosition == xtpBarTop || m_barPosition == xtpBarBottom || m_barPosition == xtpBarFloating;
        const BOOL bRTL = IsLayoutRTL();
        switch (nChar) {
        case VK_ESCAPE:
            nCode = xtpKeyEscape;
            break;
        case VK_END:
            nCode = xtpKeyEnd;
            break;
        case VK_HOME:
            nCode = xtpKeyHome;
            break;
        case VK_LEFT:
            nCode = bHorz ? (bRTL ? xtpKeyNext : xtpKeyBack) : (bRTL ? xtpKeyDown : xtpKeyPopup);
            break;
        case VK_RIGHT:
            nCode = bHorz ? (bRTL ? xtpKeyBack : xtpKeyNext) : (bRTL ? xtpKeyPopup : xtpKeyDown);
            break;
        case VK_UP:
            nCode = bHorz ? xtpKeyPopup : xtpKeyBack;
            break;
        case VK_DOWN:
            nCode = bHorz ? xtpKeyDown : xtpKeyNext;
            break;
        default:
            break;
        }
    }
    if (nCode != -1)
        return ProcessSpecialKey(static_cast<XTPSpecialKey>(nCode)) ? xtpHookHandled : xtpHookNotHandled;

    const UINT nMapped = ::MapVirtualKeyW(nChar, MAPVK_VK_TO_CHAR) & 0x7FFFFFFF;
    if (nMapped == 0)
        return xtpHookHandled;
    const wchar_t chKey = MakeUpperChar(static_cast<wchar_t>(nMapped));
    if (::GetKeyState(VK_CONTROL) >= 0) {
        BOOL bAmbiguous = FALSE;
        const int nIndex = FindAccel(chKey, bAmbiguous);
        if (nIndex != -1) {
            SetSelected(nIndex, TRUE);
            if (!bAmbiguous) {
                if (CXTPControl* pControl = GetControl(nIndex))
                    pControl->OnClick(TRUE);
            }
            return xtpHookHandled;
        }
    }
    ::MessageBeep(0);
    return xtpHookHandled;
}

int CXTPCommandBar::FindAccel(wchar_t chHotKey, BOOL& bAmbiguous) const
{
    bAmbiguous = FALSE;
    if (m_pControls == nullptr)
        return -1;
    const int nStart = m_pControls->FindNextIndex(m_nSelected, +1);
    if (nStart == -1)
        return -1;
    int nAccel = -1;
    int nFirstLetter = -1;
    BOOL bFirstLetterAmbiguous = FALSE;
    int nIndex = nStart;
    do {
        const CString strCaption = GetControl(nIndex)->GetCaption();
        const int nLength = strCaption.GetLength();
        // The access key is the character after a single '&'; "&&" is a literal ampersand.
        int nAmpersand = -1;
        for (int i = 0; i < nLength - 1; ++i) {
            if (strCaption[i] == L'&') {
                if (strCaption[i + 1] == L'&') {
                    ++i;
                    continue;
                }
                nAmpersand = i;
                break;
            }
        }
        if (nAmpersand != -1) {
            if (MakeUpperChar(strCaption[nAmpersand + 1]) == chHotKey) {
                if (nAccel != -1) {
                    bAmbiguous = TRUE;
                    return nAccel;
                }
                nAccel = nIndex;
            }
        } else if (nLength > 0 && MakeUpperChar(strCaption[0]) == chHotKey) {
            if (nFirstLetter == -1)
                nFirstLetter = nIndex;
            else
                bFirstLetterAmbiguous = TRUE;
        }
        nIndex = m_pControls->FindNextIndex(nIndex, +1);
    } while (nIndex != -1 && nIndex != nStart);
    if (nAccel != -1)
        return nAccel;
    bAmbiguous = bFirstLetterAmbiguous;
    return nFirstLetter;
}

BOOL CXTPCommandBar::ProcessSpecialKey(XTPSpecialKey key)
{
    switch (key) {
    case xtpKeyNext:
    case xtpKeyBack:
    case xtpKeyHome:
    case xtpKeyEnd: {
        if (m_pControls == nullptr)
            return FALSE;
        int nIndex = -1;
        if (key == xtpKeyNext)
            nIndex = m_pControls->FindNextIndex(m_nSelected, +1);
        else if (key == xtpKeyBack)
            nIndex = m_pControls->FindNextIndex(m_nSelected, -1);
        else if (key == xtpKeyHome)
            nIndex = m_pControls->FindNextIndex(-1, +1);
        else
            nIndex = m_pControls->FindNextIndex(-1, -1);
        if (nIndex != -1)
            SetSelected(nIndex, TRUE);
        return TRUE;
    }
    case xtpKeyPopup:
        if (m_nPopuped == -1)
            return FALSE;
        SetPopuped(-1);
        SetTrackingMode(xtpTrackingKeyboard, FALSE, TRUE);
        return TRUE;
    case xtpKeyDown: {
        CXTPControl* pControl = GetControl(m_nSelected);
        if (pControl == nullptr || m_nSelected == m_nPopuped)
            return FALSE;
        pControl->SetSelected(xtpSelectedByKeyboard);
        return SetPopuped(m_nSelected, TRUE);
    }
    case xtpKeyEscape: {
        CXTPCommandBar* pParent = GetParentCommandBar();
        if (pParent != nullptr)
            pParent->SetTrackingMode(xtpTrackingKeyboard, FALSE, TRUE);
        SetTrackingMode(FALSE, TRUE, FALSE);
        return TRUE;
    }
    case xtpKeyReturn: {
        CXTPControl* pControl = GetControl(m_nSelected);
        if (pControl != nullptr) {
            pControl->SetSelected(xtpSelectedByKeyboard);
            pControl->OnClick(TRUE);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// ---- Mouse

BOOL CXTPCommandBar::IsHelpMode() const
{
    CFrameWnd* pFrame = GetFrameSite();
    return pFrame != nullptr && pFrame->m_bHelpMode;
}

void CXTPCommandBar::OnMouseMove(UINT, CPoint point)
{
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if (IsCustomizeMode() || m_hWnd == nullptr)
        return;
    if (pMouseManager->IsTracking() && !pMouseManager->IsTrackedBar(this))
        return;
    if (!IsPopupBar() && !CXTPMouseManager::IsTopParentActive(m_hWnd))
        return;
    if (pMouseManager->IsMouseLocked())
        return;
    int nCandidate = (m_bTracking && (!IsPopupBar() || m_nPopuped != -1 || m_bKeyboardSelect)) ? m_nSelected : -1;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->IsVisible() && pControl->GetRect().PtInRect(point)) {
            nCandidate = i;
            pMouseManager->TrackMouseLeave(m_hWnd);
            pControl->OnMouseMove(point);
        }
    }
    SetSelected(nCandidate, FALSE);
}

LRESULT CXTPCommandBar::OnMouseLeave(WPARAM, LPARAM)
{
    if (!XTPMouseManager()->IsMouseLocked() && (!m_bTracking || (IsPopupBar() && m_nPopuped == -1)))
        SetSelected(-1);
    return 0;
}

void CXTPCommandBar::OnNcMouseMove(UINT, CPoint)
{
    OnMouseLeave(0, 0);
    Default();
}

void CXTPCommandBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    CXTPControl* pControl = HitTestControl(point);
    if (pControl == nullptr) {
        CWnd::OnLButtonDown(nFlags, point);
        return;
    }
    CXTPCommandBars* pCommandBars = GetCommandBars();
    const BOOL bCustomize = IsCustomizeMode();
    const BOOL bMovable = (pControl->GetFlags() & xtpFlagNoMovable) == 0;
    if (!bCustomize && IsCustomizable() && !IsPopupBar() && bMovable && ::GetKeyState(VK_MENU) < 0 &&
        pCommandBars != nullptr && pCommandBars->IsCustomizable() &&
        pCommandBars->GetCommandBarsOptions()->bAltDragCustomization) {
        pControl->InternalAddRef();
        pCommandBars->SetQuickCustomizeMode(TRUE);
        SetPopuped(-1);
        SetSelected(-1);
        pControl->CustomizeStartDrag(point);
        pCommandBars->SetQuickCustomizeMode(FALSE);
        pCommandBars->RecalcFrameLayout();
        XTPMouseManager()->EndAllTracking();
        pControl->InternalRelease();
        return;
    }
    if (bCustomize && (!IsCustomizable() || !bMovable))
        return;
    // The click may take the control out of its bar (a customise drag): keep it alive meanwhile.
    pControl->InternalAddRef();
    pControl->OnClick(FALSE, point);
    pControl->InternalRelease();
}

void CXTPCommandBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    CXTPControl* pControl = IsCustomizeMode() ? nullptr : HitTestControl(point);
    if (pControl == nullptr) {
        CWnd::OnLButtonUp(nFlags, point);
        return;
    }
    pControl->InternalAddRef();
    pControl->OnLButtonUp(point);
    pControl->InternalRelease();
}

void CXTPCommandBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    CXTPControl* pControl = IsCustomizeMode() ? nullptr : HitTestControl(point);
    if (pControl == nullptr) {
        CWnd::OnLButtonDblClk(nFlags, point);
        return;
    }
    pControl->InternalAddRef();
    pControl->OnLButtonDblClk(point);
    pControl->InternalRelease();
}

void CXTPCommandBar::OnRButtonDown(UINT nFlags, CPoint point)
{
    CXTPControl* pControl = HitTestControl(point);
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pControl == nullptr || pCommandBars == nullptr || !IsCustomizeMode() || !IsCustomizable() ||
        (pControl->GetFlags() & xtpFlagNoMovable) != 0) {
        CWnd::OnRButtonDown(nFlags, point);
        return;
    }
    SetPopuped(-1);
    SetSelected(-1);
    pCommandBars->SetCustomizeControl(pControl);
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    pCommandBars->GetDropSource()->TrackContextMenu(ptScreen);
}

void CXTPCommandBar::OnRButtonUp(UINT nFlags, CPoint point)
{
    CXTPControl* pControl = IsCustomizeMode() ? nullptr : HitTestControl(point);
    if (pControl == nullptr) {
        CWnd::OnRButtonUp(nFlags, point);
        return;
    }
    pControl->InternalAddRef();
    if (GetRootParent()->m_bRightButton)
        pControl->OnLButtonUp(point);
    else
        pControl->OnRButtonUp(point);
    pControl->InternalRelease();
}

void CXTPCommandBar::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    if (IsHelpMode()) {
        CPoint ptClient = point;
        ScreenToClient(&ptClient);
        OnLButtonDown(0, ptClient);
        return;
    }
    CWnd::OnNcLButtonDown(nHitTest, point);
}

LRESULT CXTPCommandBar::OnNcHitTest(CPoint point)
{
    if (!IsHelpMode())
        return CWnd::OnNcHitTest(point);
    CPoint ptClient = point;
    ScreenToClient(&ptClient);
    CXTPControl* pControl = HitTestControl(ptClient);
    if (pControl != nullptr && IsPopupType(pControl->GetType()) && pControl->GetID() <= 0)
        return HTMENU;
    return HTCLIENT;
}

LRESULT CXTPCommandBar::OnHelpHitTest(WPARAM, LPARAM lParam)
{
    const CPoint point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    if (CXTPControl* pControl = HitTestControl(point))
        return static_cast<LRESULT>(pControl->GetID()) + 0x10000;
    const int nID = GetDlgCtrlID();
    return nID != 0 ? nID + 0x50000 : 0;
}

INT_PTR CXTPCommandBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    const INT_PTR nHit = CWnd::OnToolHitTest(point, pTI);
    if (nHit != -1)
        return nHit;
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if (pMouseManager->IsTracking() && !pMouseManager->IsTrackedBar(this))
        return -1;
    if (pMouseManager->m_nLock > 0)
        return -1;
    if (m_bTracking && !m_bMouseTracking && !IsPopupBar())
        return -1;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == nullptr || !pCommandBars->GetCommandBarsOptions()->bToolBarScreenTips)
        return -1;
    CXTPControl* pControl = HitTestControl(point);
    if (pControl == nullptr)
        return -1;
    CString strTip = pControl->GetTooltip();
    if (strTip.IsEmpty())
        return -1;
    if (pCommandBars->GetCommandBarsOptions()->bToolBarAccelTips) {
        CString strShortcut;
        if (FindCommandShortcut(static_cast<UINT>(pControl->GetID()), strShortcut, pCommandBars) &&
            !strShortcut.IsEmpty())
            strTip += L" (" + strShortcut + L")";
    }
    if (pTI != nullptr && pTI->cbSize >= 40) {
        pTI->hwnd = m_hWnd;
        pTI->rect = pControl->GetRect();
        pTI->uId = static_cast<UINT_PTR>(pControl->GetID());
        const size_t nBytes = (static_cast<size_t>(strTip.GetLength()) + 1) * sizeof(wchar_t);
        pTI->lpszText = static_cast<LPWSTR>(std::malloc(nBytes));
        if (pTI->lpszText != nullptr)
            std::memcpy(pTI->lpszText, static_cast<LPCTSTR>(strTip), nBytes);
    }
    return pControl->GetID() != 0 ? pControl->GetID() : -1;
}

// ---- Window life and painting

int CXTPCommandBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (m_barPosition != xtpBarListBox && pCommandBars != nullptr)
        pCommandBars->GetDropSource()->Register(this);
    if (!IsPopupBar() && m_barType != xtpBarTypePopup)
        EnableToolTips(TRUE);
    return 0;
}

void CXTPCommandBar::OnDestroy()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (m_barPosition != xtpBarListBox && pCommandBars != nullptr)
        pCommandBars->GetDropSource()->Unregister(this);
    if (m_bTracking)
        SetTrackingMode(FALSE, TRUE, FALSE);
    KillTimer(XTP_TID_HOVER);
    KillTimer(XTP_TID_EXPAND);
    CWnd::OnDestroy();
}

BOOL CXTPCommandBar::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTPCommandBar::OnPaint()
{
    CPaintDC paintDC(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (rcClient.IsRectEmpty())
        return;
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(&paintDC, rcClient.Width(), rcClient.Height())) {
        DrawCommandBar(&paintDC);
        return;
    }
    CXTPBitmapDC memDC(&paintDC, static_cast<HBITMAP>(bitmap.GetSafeHandle()));
    DrawCommandBar(&memDC);
    paintDC.BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &memDC, 0, 0, SRCCOPY);
}

void CXTPCommandBar::DrawCommandBar(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager == nullptr)
        return;
    pPaintManager->FillCommandBar(pDC, this);
    if (GetShowGripper())
        pPaintManager->DrawGripper(pDC, this, TRUE);
    BOOL bFirst = TRUE;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (!pControl->IsVisible())
            continue;
        if (pControl->GetBeginGroup() && !bFirst)
            pPaintManager->DrawSeparator(pDC, this, pControl, TRUE);
        bFirst = FALSE;
        CFont* pFont = pPaintManager->GetControlFont(this, pControl->IsDefaultItem());
        CXTPScopedSelect selectFont(pDC->GetSafeHdc(), pFont != nullptr ? pFont->GetSafeHandle() : nullptr);
        pControl->Draw(pDC);
    }
    if (IsCustomizeMode()) {
        CXTPControl* pSelection = GetCommandBars()->GetCustomizeControl();
        if (pSelection != nullptr && pSelection->GetParent() == this && pSelection->IsVisible()) {
            CRect rc = pSelection->GetRect();
            pDC->Draw3dRect(&rc, 0, 0);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(&rc, 0, 0);
        }
    }
    DrawDropMarker(pDC);
}

// ---- Command-UI updates

LRESULT CXTPCommandBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam)
{
    OnUpdateCmdUI(static_cast<BOOL>(wParam), static_cast<WPARAM>(lParam));
    return 0;
}

LRESULT CXTPCommandBar::OnInitialUpdate(WPARAM, LPARAM)
{
    OnUpdateCmdUI(TRUE, 0);
    return 0;
}

void CXTPCommandBar::OnUpdateCmdUI(BOOL bDisableIfNoHandler, WPARAM)
{
    if (m_hWnd == nullptr || !IsWindowVisible())
        return;
    CWnd* pTarget = GetOwnerSite();

    if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        const UINT nTemplate = pCommandBars->GetActiveDocTemplate();
        if (nTemplate != 0) {
            for (int i = 0; i < GetControlCount(); ++i) {
                CXTPControl* pControl = GetControl(i);
                BOOL bValue = FALSE;
                BOOL bHide = FALSE;
                if (pControl->m_mapDocTemplatesAssigned.GetCount() > 0 &&
                    !pControl->m_mapDocTemplatesAssigned.Lookup(nTemplate, bValue))
                    bHide = TRUE;
                if (pControl->m_mapDocTemplatesExcluded.GetCount() > 0 &&
                    pControl->m_mapDocTemplatesExcluded.Lookup(nTemplate, bValue))
                    bHide = TRUE;
                if (pControl->SetHideFlag(xtpHideDocTemplate, bHide))
                    m_dwPending |= xtpPendingLayout;
            }
        }
    }

    const BOOL bNoNotify = GetRootParent()->m_bNoNotify;
    // An update handler may change the bar's controls: the count is read again on every step.
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->GetPressed()) {
            pControl->SetPressed(0);
            DelayRedraw();
        }
        if (bNoNotify || (pControl->GetFlags() & xtpFlagManualUpdate))
            continue;
        CXTPControlCmdUI state(pControl);
        state.m_pOther = this;
        state.m_nIndexMax = static_cast<UINT>(GetControlCount());
        pControl->InternalAddRef();
        if (!CCmdTarget::OnCmdMsg(0, kReflectedUpdateCode, &state, nullptr) &&
            !CCmdTarget::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr)) {
            if (IsCustomizeMode())
                pControl->SetEnabled(TRUE);
            else
                state.DoUpdate(pTarget, bDisableIfNoHandler);
        }
        pControl->InternalRelease();
    }

    if (m_dwPending & xtpPendingRedraw)
        Invalidate(FALSE);
    if (m_dwPending & xtpPendingLayout)
        OnRecalcLayout();
    m_dwPending = 0;
    UpdateDialogControls(pTarget, bDisableIfNoHandler);
}

// ---- Menus, copies and archives

BOOL CXTPCommandBar::LoadMenu(CMenu* pMenu, BOOL bRemoveControls)
{
    if (pMenu == nullptr || !::IsMenu(pMenu->GetSafeHmenu()))
        return FALSE;
    if (bRemoveControls)
        m_pControls->RemoveAll();
    BOOL bBeginGroup = FALSE;
    // A site that supplies controls may change the menu: the count is read again after each item.
    for (int i = 0; i < static_cast<int>(::GetMenuItemCount(pMenu->GetSafeHmenu())); ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE | MIIM_TYPE;
        if (!::GetMenuItemInfoW(pMenu->GetSafeHmenu(), static_cast<UINT>(i), TRUE, &info))
            continue;
        const UINT nID = ::GetMenuItemID(pMenu->GetSafeHmenu(), i);
        if ((info.fType & MFT_SEPARATOR) || nID == 0) {
            bBeginGroup = TRUE;
            continue;
        }
        CXTPControl* pControl = m_pControls->AddMenuItem(pMenu, i);
        if (pControl == nullptr)
            continue;
        if (bBeginGroup)
            pControl->SetBeginGroup(TRUE);
        bBeginGroup = FALSE;
        if (info.fState & MFS_CHECKED)
            pControl->SetChecked(1);
        if (info.fState & (MFS_DISABLED | MFS_GRAYED))
            pControl->SetEnabled(FALSE);
    }
    CFrameWnd* pFrame = m_hWnd != nullptr ? GetParentFrame() : nullptr;
    if (pFrame == nullptr)
        pFrame = GetFrameSite();
    if (pFrame != nullptr)
        pFrame->m_nIdleFlags |= CFrameWnd::idleNotify | CFrameWnd::idleLayout;
    return TRUE;
}

void CXTPCommandBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    m_barType = pCommandBar->m_barType;
    m_barPosition = pCommandBar->m_barPosition;
    m_nBarID = pCommandBar->m_nBarID;
    m_dwFlags = pCommandBar->m_dwFlags;
    m_dwStyle = pCommandBar->m_dwStyle;
    m_strTitle = pCommandBar->m_strTitle;
    m_bCustomizable = pCommandBar->m_bCustomizable;
    m_nMRUWidth = pCommandBar->m_nMRUWidth;
    m_szIcons = pCommandBar->m_szIcons;
    m_szButtons = pCommandBar->m_szButtons;
    m_pCommandBars = pCommandBar->m_pCommandBars;
    SetControls(pCommandBar->m_pControls->Duplicate(bRecursive));
}

CXTPCommandBar* CXTPCommandBar::Clone(BOOL bRecursive)
{
    CXTPCommandBar* pBar = static_cast<CXTPCommandBar*>(GetRuntimeClass()->CreateObject());
    if (pBar != nullptr)
        pBar->Copy(this, bRecursive);
    return pBar;
}

void CXTPCommandBar::CollectCommandBars(int& nCounter, CPtrArray* pList)
{
    for (INT_PTR i = 0; i < pList->GetSize(); ++i) {
        // Each bar once: popup bars that refer to each other (a corrupt layout can make them) end here.
        if (pList->GetAt(i) == this)
            return;
    }
    InternalAddRef();
    pList->Add(this);
    if (m_barType == xtpBarTypePopup)
        m_nBarID = static_cast<UINT>(nCounter++);
    for (CXTPControls* pControls : {m_pControls, m_pControls->GetOriginalControls()}) {
        if (pControls == nullptr)
            continue;
        for (int i = 0; i < pControls->GetCount(); ++i) {
            CXTPControl* pControl = pControls->GetAt(i);
            if (!pControl->IsTemporary() && pControl->GetCommandBar() != nullptr)
                pControl->GetCommandBar()->CollectCommandBars(nCounter, pList);
        }
    }
}

void CXTPCommandBar::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<int>(m_barType) << static_cast<int>(m_barPosition) << static_cast<DWORD>(m_nBarID)
           << m_dwFlags << m_dwStyle << m_strTitle << m_bCustomizable << m_nMRUWidth << m_szIcons;
        m_pControls->Serialize(ar, 7);
        return;
    }
    UINT nSchema = ar.GetObjectSchema();
    if (nSchema == static_cast<UINT>(-1))
        nSchema = 7;
    if (nSchema > 7)
        AfxThrowArchiveException(CArchiveException::badSchema);
    m_nLoadedSchema = static_cast<int>(nSchema);
    int nType = 0, nPosition = 0;
    DWORD dwBarID = 0;
    ar >> nType >> nPosition >> dwBarID >> m_dwFlags >> m_dwStyle >> m_strTitle >> m_bCustomizable >> m_nMRUWidth;
    m_barType = static_cast<XTPBarType>(nType);
    m_barPosition = static_cast<XTPBarPosition>(nPosition);
    m_nBarID = dwBarID;
    if (nSchema >= 3)
        ar >> m_szIcons;
    m_pControls->Serialize(ar, nSchema);
}

// ---- Customise drag and drop

int CXTPCommandBar::FindCustomizeIndex(CXTPControl* pDataObject, CPoint point, CRect& rcMarker, BOOL& bAfter) const
{
    const BOOL bVert = IsVerticalPosition() || m_barType == xtpBarTypePopup;
    const int nAxisPoint = bVert ? point.y : point.x;
    int nFound = -1;
    int nBestDistance = 0;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (!pControl->IsVisible() || (pControl->GetFlags() & xtpFlagNoMovable))
            continue;
        const CRect rc = pControl->GetRect();
        if (!bVert && pControl->GetWrap() && nFound != -1) {
            // A new row: it ends the search when the point lies above it, else the search starts again there.
            if (point.y < rc.top)
                break;
            nFound = -1;
        }
        const int nCentre = bVert ? (rc.top + rc.bottom) / 2 : (rc.left + rc.right) / 2;
        const int nDistance = std::abs(nAxisPoint - nCentre);
        if (nFound == -1 || nDistance < nBestDistance) {
            nFound = i;
            nBestDistance = nDistance;
        }
    }
    bAfter = FALSE;
    if (nFound == -1) {
        CRect rcClient;
        GetClientRect(&rcClient);
        rcMarker = CRect(2, 2, 8, rcClient.bottom - 2);
        return -1;
    }
    CXTPControl* pControl = GetControl(nFound);
    const CRect rc = pControl->GetRect();
    const int nCentre = bVert ? (rc.top + rc.bottom) / 2 : (rc.left + rc.right) / 2;
    bAfter = nAxisPoint >= nCentre;
    if (pControl == pDataObject) {
        rcMarker.SetRectEmpty();
        return nFound;
    }
    if (!bAfter) {
        rcMarker =
            bVert ? CRect(rc.left, rc.top, rc.right, rc.top + 6) : CRect(rc.left, rc.top, rc.left + 6, rc.bottom);
        return nFound;
    }
    int nNext = -1;
    for (int i = nFound + 1; i < GetControlCount(); ++i) {
        if (GetControl(i)->IsVisible()) {
            nNext = i;
            break;
        }
    }
    CXTPControl* pNext = GetControl(nNext);
    const BOOL bInside = pNext == nullptr || pNext->GetBeginGroup() || pNext->GetWrap();
    if (bVert)
        rcMarker = bInside ? CRect(rc.left, rc.bottom - 6, rc.right, rc.bottom)
                           : CRect(rc.left, rc.bottom, rc.right, rc.bottom + 6);
    else
        rcMarker = bInside ? CRect(rc.right - 6, rc.top, rc.right, rc.bottom)
                           : CRect(rc.right, rc.top, rc.right + 6, rc.bottom);
    return nFound;
}

DROPEFFECT CXTPCommandBar::OnCustomizeDragEnter(CXTPControl* pDataObject, CPoint point)
{
    m_rcMarker.SetRectEmpty();
    return OnCustomizeDragOver(pDataObject, point);
}

DROPEFFECT CXTPCommandBar::OnCustomizeDragOver(CXTPControl* pDataObject, CPoint point)
{
    if (!IsCustomizable() || m_hWnd == nullptr || (GetStyle() & WS_VISIBLE) == 0)
        return DROPEFFECT_NONE;
    CRect rcMarker;
    BOOL bAfter = FALSE;
    FindCustomizeIndex(pDataObject, point, rcMarker, bAfter);
    DROPEFFECT dropEffect = static_cast<DROPEFFECT>(-1);
    if (CXTPControl* pOver = HitTestControl(point)) {
        if (GetRootParent() == this && m_nPopuped != pOver->GetIndex())
            XTPMouseManager()->EndAllTracking();
        pOver->OnCustomizeDragOver(pDataObject, point, dropEffect);
    }
    if (!pDataObject->IsCustomizeDragOverAvail(this, point, dropEffect))
        return dropEffect == static_cast<DROPEFFECT>(-1) ? DROPEFFECT_NONE : dropEffect;
    if (rcMarker != m_rcMarker) {
        m_rcMarker = rcMarker;
        m_bVerticalMarker = IsVerticalPosition() || m_barType == xtpBarTypePopup;
        Invalidate(FALSE);
    }
    return dropEffect == static_cast<DROPEFFECT>(-1) ? DROPEFFECT_MOVE | DROPEFFECT_COPY : dropEffect;
}

void CXTPCommandBar::OnCustomizeDrop(CXTPControl* pDataObject, DROPEFFECT& dropEffect, CPoint ptStart, CPoint ptEnd)
{
    CRect rcMarker;
    BOOL bAfter = FALSE;
    DROPEFFECT refused = DROPEFFECT_NONE;
    if (!pDataObject->IsCustomizeDragOverAvail(this, ptEnd, refused)) {
        dropEffect = XTP_DROPEFFECT_STAY;
        return;
    }
    int nIndex = FindCustomizeIndex(pDataObject, ptEnd, rcMarker, bAfter);
    CXTPControl* pInsert = GetControl(nIndex);
    if (pInsert != nullptr && pInsert == pDataObject) {
        if (std::abs(ptEnd.x - ptStart.x) > 4 || std::abs(ptEnd.y - ptStart.y) > 4)
            pDataObject->SetBeginGroup(bAfter && pDataObject->GetIndex() > 0);
        dropEffect = XTP_DROPEFFECT_STAY;
        OnRecalcLayout();
        return;
    }
    SetPopuped(-1);
    SetSelected(-1);
    if (nIndex != -1 && bAfter)
        ++nIndex;
    BOOL bTakeGroup = FALSE;
    if (CXTPControl* pBefore = GetControl(nIndex)) {
        if (pBefore->GetBeginGroup()) {
            pBefore->SetBeginGroup(FALSE);
            bTakeGroup = TRUE;
        }
    }
    CXTPControl* pNew = m_pControls->AddClone(pDataObject, nIndex, TRUE);
    if (pNew != nullptr) {
        if (bTakeGroup)
            pNew->SetBeginGroup(TRUE);
        if (CXTPCommandBars* pCommandBars = GetCommandBars())
            pCommandBars->SetCustomizeControl(pNew);
    }
    OnRecalcLayout();
}

void CXTPCommandBar::HideDropMarker()
{
    if (m_rcMarker.IsRectEmpty())
        return;
    m_rcMarker.SetRectEmpty();
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

void CXTPCommandBar::DrawDropMarker(CDC* pDC)
{
    if (!IsCustomizeMode() || m_rcMarker.IsRectEmpty())
        return;
    CBrush brush;
    brush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    CXTPScopedSelect selectBrush(pDC->GetSafeHdc(), brush.GetSafeHandle());
    const CRect& rc = m_rcMarker;
    if (!m_bVerticalMarker) {
        const int x = rc.left + (rc.Width() - 2) / 2;
        pDC->PatBlt(rc.left, rc.top, rc.Width(), 1, PATINVERT);
        pDC->PatBlt(rc.left + 1, rc.top + 1, rc.Width() - 2, 1, PATINVERT);
        pDC->PatBlt(x, rc.top + 2, 2, rc.Height() - 4, PATINVERT);
        pDC->PatBlt(rc.left + 1, rc.bottom - 2, rc.Width() - 2, 1, PATINVERT);
        pDC->PatBlt(rc.left, rc.bottom - 1, rc.Width(), 1, PATINVERT);
    } else {
        const int y = rc.top + (rc.Height() - 2) / 2;
        pDC->PatBlt(rc.left, rc.top, 1, rc.Height(), PATINVERT);
        pDC->PatBlt(rc.left + 1, rc.top + 1, 1, rc.Height() - 2, PATINVERT);
        pDC->PatBlt(rc.left + 2, y, rc.Width() - 4, 2, PATINVERT);
        pDC->PatBlt(rc.right - 2, rc.top + 1, 1, rc.Height() - 2, PATINVERT);
        pDC->PatBlt(rc.right - 1, rc.top, 1, rc.Height(), PATINVERT);
    }
}
