#include "toolkit/commandbars/XTPControl.h"

#include "framework/win/Wnd.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPCustomizeDropSource.h"
#include "toolkit/commandbars/XTPMenuSoundPlayer.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"

#include <memory>

IMPLEMENT_SERIAL(CXTPControl, CCmdTarget, VERSIONABLE_SCHEMA | 7)
IMPLEMENT_SERIAL(CXTPControlButton, CXTPControl, VERSIONABLE_SCHEMA | 7)

namespace {

void CopyMap(CXTPControl::CDocTemplateMap& to, const CXTPControl::CDocTemplateMap& from)
{
    to.RemoveAll();
    POSITION pos = from.GetStartPosition();
    while (pos != nullptr) {
        UINT nKey = 0;
        BOOL bValue = FALSE;
        from.GetNextAssoc(pos, nKey, bValue);
        to.SetAt(nKey, bValue);
    }
}

} // namespace

CXTPControl::CXTPControl()
    : m_nUserValue(0), m_nIndex(0), m_nId(0), m_nIconId(0), m_nCustomIconId(0), m_bWrap(FALSE), m_bBeginGroup(FALSE),
      m_bEnabled(TRUE), m_bChecked(0), m_bSelected(0), m_bPressed(0), m_bTemporary(FALSE), m_rcRow(0, 0, 0, 0),
      m_rcControl(0, 0, 0, 0), m_dwHideFlags(0), m_dwFlags(0), m_pControls(nullptr), m_controlType(xtpControlError),
      m_pParent(nullptr), m_bRarelyUsed(FALSE), m_bDefaultItem(FALSE), m_nLoadedSchema(0),
      m_buttonStyle(xtpButtonAutomatic), m_bCloseSubMenuOnClick(TRUE), m_nReserved(0)
{
    m_mapDocTemplatesAssigned.InitHashTable(17);
    m_mapDocTemplatesExcluded.InitHashTable(17);
}

CXTPControl::~CXTPControl() = default;

// ---- Text

CString CXTPControl::GetTooltip() const
{
    return m_strTooltipText;
}

void CXTPControl::SetID(int nId)
{
    if (nId != m_nId && nId > 0) {
        CString strPrompt;
        if (strPrompt.LoadString(static_cast<UINT>(nId)) && !strPrompt.IsEmpty())
            SetPrompt(strPrompt);
    }
    m_nId = nId;
}

void CXTPControl::SetPrompt(LPCTSTR lpszPrompt)
{
    CString strPrompt(lpszPrompt);
    if (strPrompt.IsEmpty())
        return;
    const int nNewLine = strPrompt.Find(L'\n');
    if (nNewLine >= 0) {
        m_strDescriptionText = strPrompt.Left(nNewLine);
        m_strTooltipText = strPrompt.Mid(nNewLine + 1);
    } else {
        m_strDescriptionText = strPrompt;
        m_strTooltipText = strPrompt;
    }
    SetCaption(m_strTooltipText);
}

void CXTPControl::SetCaption(LPCTSTR lpszCaption)
{
    CString strCaption(lpszCaption);
    const int nTab = strCaption.Find(L'\t');
    if (nTab >= 0) {
        m_strShortcutText = strCaption.Mid(nTab + 1);
        strCaption = strCaption.Left(nTab);
    }
    if (strCaption != m_strCaption) {
        m_strCaption = strCaption;
        DelayLayoutParent();
    }
}

CString CXTPControl::GetCaption() const
{
    return m_strCustomCaption.IsEmpty() ? m_strCaption : m_strCustomCaption;
}

int CXTPControl::GetIconId() const
{
    if (m_nCustomIconId > 0)
        return m_nCustomIconId;
    return m_nIconId > 0 ? m_nIconId : m_nId;
}

// ---- States

void CXTPControl::SetBeginGroup(BOOL bBeginGroup)
{
    m_bBeginGroup = bBeginGroup;
    DelayLayoutParent();
}

void CXTPControl::SetEnabled(BOOL bEnabled)
{
    if (bEnabled == m_bEnabled)
        return;
    m_bEnabled = bEnabled;
    DelayRedrawParent();
}

void CXTPControl::SetChecked(int bChecked)
{
    if (bChecked == m_bChecked)
        return;
    m_bChecked = bChecked;
    DelayRedrawParent();
}

int CXTPControl::GetSelected() const
{
    return m_bSelected;
}

void CXTPControl::SetRect(CRect rcControl)
{
    m_rcControl = rcControl;
}

void CXTPControl::SetHideFlags(DWORD dwFlags)
{
    m_dwHideFlags = dwFlags;
}

BOOL CXTPControl::SetHideFlag(DWORD dwFlag, BOOL bSet)
{
    const DWORD dwFlags = bSet ? (m_dwHideFlags | dwFlag) : (m_dwHideFlags & ~dwFlag);
    if (dwFlags == m_dwHideFlags)
        return FALSE;
    SetHideFlags(dwFlags);
    return TRUE;
}

void CXTPControl::SetRarelyUsed(BOOL bRarelyUsed)
{
    m_bRarelyUsed = bRarelyUsed;
    if (!bRarelyUsed)
        SetHideFlag(xtpHideExpand, FALSE);
}

void CXTPControl::SetDefaultItem(BOOL bDefault)
{
    if (bDefault == m_bDefaultItem)
        return;
    m_bDefaultItem = bDefault;
    DelayLayoutParent();
}

BOOL CXTPControl::SetSelected(int bSelected)
{
    if (bSelected == m_bSelected)
        return FALSE;
    // A keyboard selection closes another control's open popup (not its own, which is being opened).
    if (bSelected == xtpSelectedByKeyboard && m_pParent != nullptr && m_pParent->GetPopuped() != m_nIndex)
        m_pParent->SetPopuped(-1);
    m_bSelected = bSelected;
    if (m_pParent != nullptr) {
        m_pParent->UpdateStatusText(bSelected ? this : nullptr);
        RedrawParent();
    }
    return TRUE;
}

BOOL CXTPControl::IsLabelStyle() const
{
    return FALSE;
}

CXTPCommandBar* CXTPControl::GetCommandBar() const
{
    return nullptr;
}

BOOL CXTPControl::OnSetPopup(BOOL)
{
    return FALSE;
}

int CXTPControl::OnHookKeyDown(UINT, LPARAM)
{
    return xtpHookHandled;
}

void CXTPControl::SetParent(CXTPCommandBar* pParent)
{
    m_pParent = pParent;
}

void CXTPControl::OnCalcDynamicSize(DWORD) {}

// ---- Where it lives

CXTPCommandBars* CXTPControl::GetCommandBars() const
{
    if (m_pParent != nullptr)
        return m_pParent->GetCommandBars();
    return m_pControls != nullptr ? m_pControls->GetCommandBars() : nullptr;
}

CXTPPaintManager* CXTPControl::GetPaintManager() const
{
    if (m_pParent != nullptr)
        return m_pParent->GetPaintManager();
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars != nullptr ? pCommandBars->GetPaintManager() : XTPPaintManager();
}

CXTPImageManager* CXTPControl::GetImageManager() const
{
    if (m_pParent != nullptr)
        return m_pParent->GetImageManager();
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars != nullptr ? pCommandBars->GetImageManager() : XTPImageManager();
}

BOOL CXTPControl::IsCustomizeMode() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars != nullptr && pCommandBars->IsCustomizeMode();
}

BOOL CXTPControl::IsCursorOver() const
{
    if (m_pParent == nullptr || m_pParent->GetSafeHwnd() == nullptr)
        return FALSE;
    CPoint pt;
    ::GetCursorPos(&pt);
    m_pParent->ScreenToClient(&pt);
    return m_rcControl.PtInRect(pt);
}

void CXTPControl::DelayLayoutParent()
{
    if (m_pParent != nullptr)
        m_pParent->DelayLayout();
}

void CXTPControl::DelayRedrawParent()
{
    if (m_pParent != nullptr && m_pParent->GetSafeHwnd() != nullptr)
        m_pParent->DelayRedraw();
}

void CXTPControl::RedrawParent()
{
    if (m_pParent != nullptr && m_pParent->GetSafeHwnd() != nullptr)
        m_pParent->Invalidate(FALSE);
}

// ---- Drawing

CSize CXTPControl::GetSize(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    return pPaintManager != nullptr ? pPaintManager->DrawControl(pDC, this, FALSE) : CSize(0, 0);
}

void CXTPControl::Draw(CDC* pDC)
{
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        pPaintManager->DrawControl(pDC, this, TRUE);
}

CXTPImageManagerIcon* CXTPControl::GetImage(int nWidth) const
{
    const int nIconId = GetIconId();
    if (nIconId <= 0)
        return nullptr;
    return GetImageManager()->GetImage(static_cast<UINT>(nIconId), nWidth);
}

// ---- Execution and mouse

void CXTPControl::OnExecute()
{
    PlayMenuSound(xtpMenuSoundCommand);
    m_bPressed = 2;
    CScopedReference keepControl(this);
    CScopedReference keepParent(m_pParent);
    CXTPCommandBar* pParent = m_pParent;

    CXTPCommandBar* pRoot = pParent != nullptr ? pParent->GetRootParent() : nullptr;
    if (pRoot != nullptr && pRoot->GetReturnCommand() != nullptr) {
        CScopedReference keepRoot(pRoot);
        *pRoot->GetReturnCommand() = m_nId;
        XTPMouseManager()->EndAllTracking();
        // A bar tracked before this popup may keep tracking (a list that stays open under its context menu); the
        // popup whose command was chosen ends in any case, or its caller's loop waits for Escape.
        if (pRoot->IsTrackingMode())
            pRoot->SetTrackingMode(FALSE);
        return;
    }

    CWnd* pOwner = pParent != nullptr ? pParent->GetOwnerSite() : nullptr;
    if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        if (m_nId != 0)
            pCommandBars->SetCommandUsed(static_cast<UINT>(m_nId));
        CXTPPopupBar* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, pParent);
        if (pPopupBar != nullptr && pPopupBar->GetControlPopup() != nullptr) {
            const int nOpener = pPopupBar->GetControlPopup()->GetID();
            if (nOpener != 0)
                pCommandBars->SetCommandUsed(static_cast<UINT>(nOpener));
        }
    }

    const BOOL bClosePopups = m_bCloseSubMenuOnClick;
    if (bClosePopups)
        XTPMouseManager()->EndAllTracking();

    if (m_nId == 0)
        return;
    if (pOwner != nullptr && pOwner->GetSafeHwnd() != nullptr) {
        NMXTPCONTROL tag = {};
        tag.hdr.hwndFrom = nullptr;
        tag.hdr.idFrom = static_cast<UINT_PTR>(m_nId);
        tag.hdr.code = XTP_NOTIFY_EXECUTE;
        tag.pControl = this;
        const LRESULT lResult =
            pOwner->SendMessage(WM_XTP_CONTROL_EXECUTE, static_cast<WPARAM>(m_nId), reinterpret_cast<LPARAM>(&tag));
        if (lResult == 0 && ::IsWindow(pOwner->GetSafeHwnd()))
            pOwner->SendMessage(WM_COMMAND, static_cast<WPARAM>(m_nId), 0);
    }

    if (!bClosePopups && pParent != nullptr && pParent->GetSafeHwnd() != nullptr) {
        pParent->OnUpdateCmdUI(FALSE, 0);
        pParent->Invalidate(FALSE);
    }
}

void CXTPControl::OnClick(BOOL, CPoint) {}

void CXTPControl::OnLButtonUp(CPoint) {}

void CXTPControl::OnRButtonUp(CPoint) {}

BOOL CXTPControl::OnLButtonDblClk(CPoint point)
{
    OnClick(FALSE, point);
    return TRUE;
}

void CXTPControl::OnMouseMove(CPoint) {}

void CXTPControl::OnMouseHover()
{
    if (m_pParent == nullptr)
        return;
    const BOOL bClosed = m_pParent->SetPopuped(-1);
    if (bClosed && m_pParent->GetTrackingMode() == xtpTrackingPopup && m_pParent->GetType() != xtpBarTypePopup)
        m_pParent->SetTrackingMode(FALSE);
}

void CXTPControl::TrackButtonClick(CRect rc)
{
    CXTPCommandBar* pParent = m_pParent;
    if (pParent == nullptr || pParent->GetSafeHwnd() == nullptr)
        return;
    CScopedReference keepControl(this);
    CScopedReference keepParent(pParent);
    const HWND hWnd = pParent->GetSafeHwnd();

    pParent->SetSelected(m_nIndex, FALSE);
    m_bPressed = 1;
    pParent->Invalidate(FALSE);
    ::SetCapture(hWnd);

    CPoint ptLast;
    ::GetCursorPos(&ptLast);
    ::ScreenToClient(hWnd, &ptLast);
    BOOL bExecute = FALSE;
    while (::GetCapture() == hWnd) {
        MSG msg;
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            // The outer loop must still see the quit.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            ::GetCursorPos(&ptLast);
            ::ScreenToClient(hWnd, &ptLast);
        }
        if (msg.message == WM_MOUSEMOVE) {
            const int bInside = rc.PtInRect(ptLast) ? xtpSelectedByMouse : xtpNotSelected;
            if (bInside != m_bSelected) {
                m_bSelected = bInside;
                pParent->Invalidate(FALSE);
            }
            continue;
        }
        if (msg.message == WM_LBUTTONUP) {
            bExecute = m_bSelected != xtpNotSelected && rc.PtInRect(ptLast);
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    if (::IsWindow(hWnd)) {
        if (m_bSelected != xtpNotSelected && pParent->GetSelected() == m_nIndex)
            pParent->SetSelected(-1);
        m_bSelected = xtpNotSelected;
        m_bPressed = 0;
        pParent->Invalidate(FALSE);
    }
    if (bExecute)
        OnExecute();
}

// ---- Customising

void CXTPControl::OnCustomizeDragStart(CPoint)
{
    if (m_pParent != nullptr) {
        m_pParent->SetPopuped(-1);
        m_pParent->SetSelected(-1);
    }
}

void CXTPControl::CustomizeStartDrag(CPoint)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == nullptr)
        return;
    CScopedReference keepControl(this);
    CScopedReference keepManager(pCommandBars);
    CXTPCommandBar* pParent = m_pParent;
    CScopedReference keepParent(pParent);
    pCommandBars->SetCustomizeControl(this);
    // The drag source tells the control once the mouse really moves: a click alone keeps a menu it opened.
    const DROPEFFECT dropEffect = pCommandBars->GetDropSource()->DoDragDrop(this, FALSE);
    if ((dropEffect == DROPEFFECT_NONE || dropEffect == DROPEFFECT_MOVE) && pParent != nullptr &&
        m_pControls != nullptr) {
        pParent->SetPopuped(-1);
        pParent->SetSelected(-1);
        if (pCommandBars->GetCustomizeControl() == this)
            pCommandBars->SetCustomizeControl(nullptr);
        CXTPControls* pControls = m_pControls;
        const int nCount = pControls->GetCount();
        if (m_bBeginGroup && m_nIndex < nCount - 1)
            pControls->GetAt(m_nIndex + 1)->SetBeginGroup(TRUE);
        if (m_nIndex == 0 && nCount >= 2)
            pControls->GetAt(1)->SetBeginGroup(FALSE);
        pControls->Remove(this);
        pParent->OnRecalcLayout();
    }
    pCommandBars->SendCustomizeSelChange();
}

void CXTPControl::OnCustomizeDragOver(CXTPControl*, CPoint, DROPEFFECT&)
{
    if (m_pParent != nullptr) {
        m_pParent->SetPopuped(-1);
        m_pParent->SetSelected(-1);
    }
}

BOOL CXTPControl::IsCustomizeDragOverAvail(CXTPCommandBar*, CPoint, DROPEFFECT&)
{
    return TRUE;
}

// ---- Comparing, copying and archiving

BOOL CXTPControl::IsEqual(CXTPControl* pOther)
{
    if (pOther == nullptr)
        return FALSE;
    return m_buttonStyle == pOther->m_buttonStyle && m_controlType == pOther->m_controlType && m_nId == pOther->m_nId &&
           m_bBeginGroup == pOther->m_bBeginGroup && GetIconId() == pOther->GetIconId() &&
           m_strCaption == pOther->m_strCaption && m_strTooltipText == pOther->m_strTooltipText &&
           m_strDescriptionText == pOther->m_strDescriptionText && m_strCustomCaption == pOther->m_strCustomCaption &&
           (m_dwHideFlags & xtpHideCustomize) == (pOther->m_dwHideFlags & xtpHideCustomize);
}

void CXTPControl::Copy(CXTPControl* pControl, BOOL)
{
    m_nId = pControl->m_nId;
    m_nUserValue = pControl->m_nUserValue;
    m_dwFlags = pControl->m_dwFlags;
    m_controlType = pControl->m_controlType;
    m_strCaption = pControl->m_strCaption;
    m_strSpareText = pControl->m_strSpareText;
    m_strShortcutText = pControl->m_strShortcutText;
    m_strTooltipText = pControl->m_strTooltipText;
    m_strDescriptionText = pControl->m_strDescriptionText;
    m_strParameter = pControl->m_strParameter;
    m_nCustomIconId = pControl->m_nCustomIconId;
    m_nIconId = pControl->m_nIconId;
    m_bTemporary = pControl->m_bTemporary;
    m_strCustomCaption = pControl->m_strCustomCaption;
    m_strSpareText2 = pControl->m_strSpareText2;
    m_dwHideFlags = pControl->m_dwHideFlags;
    m_bDefaultItem = pControl->m_bDefaultItem;
    m_bBeginGroup = pControl->m_bBeginGroup;
    m_bCloseSubMenuOnClick = pControl->m_bCloseSubMenuOnClick;
    CopyMap(m_mapDocTemplatesAssigned, pControl->m_mapDocTemplatesAssigned);
    CopyMap(m_mapDocTemplatesExcluded, pControl->m_mapDocTemplatesExcluded);
}

CXTPControl* CXTPControl::Clone(BOOL bRecursive)
{
    CXTPControl* pClone = static_cast<CXTPControl*>(GetRuntimeClass()->CreateObject());
    if (pClone != nullptr)
        pClone->Copy(this, bRecursive);
    return pClone;
}

void CXTPControl::Serialize(CArchive& ar)
{
    CXTPCommandBars* pCommandBars = static_cast<CXTPCommandBars*>(ar.m_pDocument);
    CXTPImageManager* pImageManager = pCommandBars != nullptr ? pCommandBars->GetImageManager() : GetImageManager();
    if (ar.IsStoring()) {
        ar << static_cast<int>(m_controlType) << m_nId << m_nIconId << m_bBeginGroup << m_nUserValue
           << static_cast<DWORD>(m_dwFlags) << static_cast<DWORD>(m_dwHideFlags) << m_strCaption << m_strSpareText
           << m_strTooltipText << m_strDescriptionText << m_strParameter << m_nCustomIconId << m_strCustomCaption
           << m_strSpareText2;
        if (m_nCustomIconId > 0) {
            CXTPImageManagerIconSet* pSet = pImageManager->GetIconSet(static_cast<UINT>(m_nCustomIconId));
            if (pSet != nullptr) {
                pSet->Serialize(ar);
            } else {
                CXTPImageManagerIconSet empty(static_cast<UINT>(m_nCustomIconId), pImageManager);
                empty.Serialize(ar);
            }
        }
        m_mapDocTemplatesExcluded.Serialize(ar);
        m_mapDocTemplatesAssigned.Serialize(ar);
        ar << m_bDefaultItem << m_bCloseSubMenuOnClick;
        return;
    }

    UINT nSchema = ar.GetObjectSchema();
    if (nSchema == static_cast<UINT>(-1))
        nSchema = 7;
    if (nSchema > 7)
        AfxThrowArchiveException(CArchiveException::badSchema);
    m_nLoadedSchema = static_cast<int>(nSchema);
    int nType = 0;
    DWORD dwFlags = 0, dwHideFlags = 0;
    ar >> nType >> m_nId >> m_nIconId >> m_bBeginGroup >> m_nUserValue >> dwFlags >> dwHideFlags >> m_strCaption >>
        m_strSpareText >> m_strTooltipText >> m_strDescriptionText >> m_strParameter >> m_nCustomIconId >>
        m_strCustomCaption;
    m_controlType = static_cast<XTPControlType>(nType);
    m_dwFlags = dwFlags;
    m_dwHideFlags = dwHideFlags;
    if (nSchema >= 2)
        ar >> m_strSpareText2;
    if (m_nCustomIconId > 0) {
        // Read aside first: a bad block leaves the manager's images as they were.
        std::unique_ptr<CXTPImageManagerIconSet> pSet(
            new CXTPImageManagerIconSet(static_cast<UINT>(m_nCustomIconId), pImageManager));
        pSet->Serialize(ar);
        CXTPImageManagerIconSet* pOld = nullptr;
        if (pImageManager->GetImages()->Lookup(static_cast<UINT>(m_nCustomIconId), pOld))
            delete pOld;
        pImageManager->GetImages()->SetAt(static_cast<UINT>(m_nCustomIconId), pSet.release());
        // Images added later must not take the id of one read back here.
        pImageManager->RaiseCustomID(static_cast<UINT>(m_nCustomIconId));
    }
    if (nSchema >= 4) {
        m_mapDocTemplatesExcluded.Serialize(ar);
        m_mapDocTemplatesAssigned.Serialize(ar);
        ar >> m_bDefaultItem;
    }
    if (nSchema >= 7)
        ar >> m_bCloseSubMenuOnClick;
}

// ---- CXTPControlButton

CXTPControlButton::CXTPControlButton()
{
    m_controlType = xtpControlButton;
}

void CXTPControlButton::Serialize(CArchive& ar)
{
    CXTPControl::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<int>(m_buttonStyle);
    } else {
        int nStyle = 0;
        ar >> nStyle;
        m_buttonStyle = static_cast<XTPButtonStyle>(nStyle);
    }
}

void CXTPControlButton::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    CXTPControl::Copy(pControl, bRecursive);
    m_buttonStyle = pControl->GetStyle();
}

void CXTPControlButton::OnClick(BOOL bKeyboard, CPoint pt)
{
    if (!m_bEnabled || m_pParent == nullptr)
        return;
    if (IsCustomizeMode()) {
        m_pParent->SetPopuped(-1);
        m_pParent->SetSelected(-1);
        CustomizeStartDrag(pt);
        return;
    }
    if (bKeyboard) {
        OnExecute();
        return;
    }
    if (m_pParent->GetType() != xtpBarTypePopup)
        TrackButtonClick(m_rcControl);
}

void CXTPControlButton::OnLButtonUp(CPoint)
{
    if (m_bEnabled && m_pParent != nullptr && m_pParent->GetType() == xtpBarTypePopup && !IsCustomizeMode())
        OnExecute();
}

CXTPControl* CXTPControlButton::Clone(BOOL bRecursive)
{
    CXTPControlButton* pClone = new CXTPControlButton;
    pClone->Copy(this, bRecursive);
    return pClone;
}
