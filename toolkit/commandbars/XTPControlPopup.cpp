#include "toolkit/commandbars/XTPControlPopup.h"

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPShadowManager.h"

#include <vector>

namespace {

// The right part of a split button that opens its popup: on toolbars, and in popup menus.
const int kSplitDropWidth = 11;
const int kSplitDropWidthInPopup = 20;

// A relation walk meets each bar once: popup bars that refer to each other (a corrupt layout can make them) end
// the walk instead of recursing for ever.
BOOL IsRelatedWalk(const CXTPControlPopup* pThis, const CXTPControlPopup* pOther,
                   std::vector<const CXTPCommandBar*>& visited)
{
    CXTPCommandBar* pBar = pThis->GetCommandBar();
    CXTPCommandBar* pOtherBar = pOther->GetCommandBar();
    if (pBar == nullptr || pOtherBar == nullptr)
        return FALSE;
    if (pBar == pOtherBar)
        return TRUE;
    for (const CXTPCommandBar* pSeen : visited) {
        if (pSeen == pBar)
            return FALSE;
    }
    visited.push_back(pBar);
    for (int i = 0; i < pBar->GetControlCount(); ++i) {
        const CXTPControlPopup* pInner = DYNAMIC_DOWNCAST(CXTPControlPopup, pBar->GetControl(i));
        if (pInner != nullptr && IsRelatedWalk(pInner, pOther, visited))
            return TRUE;
    }
    return FALSE;
}

} // namespace

IMPLEMENT_SERIAL(CXTPControlPopup, CXTPControlButton, VERSIONABLE_SCHEMA | 7)

CXTPControlPopup::CXTPControlPopup() : m_pCommandBar(nullptr), m_bPopup(FALSE), m_nLoadedBarID(0)
{
    m_controlType = xtpControlPopup;
}

CXTPControlPopup::~CXTPControlPopup()
{
    SetCommandBar(nullptr);
}

CXTPControlPopup* CXTPControlPopup::CreateByType(XTPControlType controlType)
{
    CXTPControlPopup* pControl = new CXTPControlPopup;
    pControl->m_controlType = controlType;
    return pControl;
}

CXTPCommandBar* CXTPControlPopup::GetCommandBar() const
{
    return m_pCommandBar;
}

void CXTPControlPopup::SetCommandBar(CXTPCommandBar* pCommandBar)
{
    if (pCommandBar == m_pCommandBar)
        return;
    if (m_pCommandBar != nullptr) {
        if (CXTPPopupBar* pOld = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pCommandBar)) {
            if (pOld->GetControlPopup() == this)
                pOld->SetControlPopup(nullptr);
        }
        m_pCommandBar->InternalRelease();
    }
    m_pCommandBar = pCommandBar;
    if (CXTPPopupBar* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pCommandBar))
        pPopupBar->SetControlPopup(this);
}

BOOL CXTPControlPopup::OnSetPopup(BOOL bPopup)
{
    m_bPopup = bPopup;
    if (bPopup) {
        if (m_pCommandBar == nullptr) {
            m_bPopup = FALSE;
            return FALSE;
        }
        if (m_pCommandBar->IsTrackingMode())
            return TRUE;
        CScopedReference keepBar(m_pCommandBar);
        BOOL bOpened = FALSE;
        if (CXTPPopupBar* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pCommandBar)) {
            bOpened = pPopupBar->Popup(this, m_bSelected == xtpSelectedByKeyboard);
        } else {
            CRect rc = m_rcControl;
            if (m_pParent != nullptr && m_pParent->GetSafeHwnd() != nullptr)
                m_pParent->ClientToScreen(&rc);
            bOpened = m_pCommandBar->Popup(rc.left, rc.bottom, &rc);
        }
        if (!bOpened) {
            m_bPopup = FALSE;
            return FALSE;
        }
        UpdateShadow();
        return TRUE;
    }
    if (m_pCommandBar != nullptr && m_pCommandBar->IsTrackingMode())
        m_pCommandBar->SetTrackingMode(FALSE, TRUE, FALSE);
    RedrawParent();
    return TRUE;
}

void CXTPControlPopup::UpdateShadow()
{
    if (m_pParent == nullptr || m_pParent->GetPosition() == xtpBarPopup || !IsPopupType(m_controlType))
        return;
    CXTPPopupBar* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pCommandBar);
    if (pPopupBar != nullptr && pPopupBar->GetShowShadow())
        XTPShadowManager()->SetControlShadow(this);
}

void CXTPControlPopup::OnClick(BOOL bKeyboard, CPoint pt)
{
    if (!m_bEnabled || m_pParent == nullptr)
        return;
    CScopedReference keepThis(this);
    CXTPCommandBar* pParent = m_pParent;
    const BOOL bCustomize = IsCustomizeMode();
    if (bCustomize) {
        if (CXTPCommandBars* pCommandBars = GetCommandBars())
            pCommandBars->SetCustomizeControl(this);
    }
    if (m_bPopup && pParent->GetPosition() != xtpBarPopup) {
        // A click on an open menu title closes it.
        pParent->SetTrackingMode(FALSE);
    } else {
        if (!bCustomize && m_controlType == xtpControlSplitButtonPopup) {
            const BOOL bInPopup = pParent->GetType() == xtpBarTypePopup;
            if (bKeyboard && bInPopup) {
                OnExecute();
                return;
            }
            if (!bKeyboard && bInPopup && pt.x < m_rcControl.right - kSplitDropWidthInPopup) {
                // The command runs when the button is released.
                pParent->KillTimer(XTP_TID_HOVER);
                return;
            }
            if (!bKeyboard && !bInPopup && pt.x < m_rcControl.right - kSplitDropWidth) {
                CRect rcButton = m_rcControl;
                rcButton.right -= kSplitDropWidth;
                TrackButtonClick(rcButton);
                return;
            }
        }
        if (!bCustomize)
            pParent->SetPopuped(m_nIndex, bKeyboard);
        else if (m_pCommandBar == nullptr || m_pCommandBar->IsCustomizable())
            pParent->SetPopuped(m_nIndex, bKeyboard);
    }
    if (bCustomize && m_pParent != nullptr)
        CustomizeStartDrag(pt);
}

void CXTPControlPopup::OnLButtonUp(CPoint point)
{
    // In a popup only the button part of a split button runs its command; the rest opens the popup.
    if (m_controlType == xtpControlSplitButtonPopup && m_bEnabled && m_pParent != nullptr &&
        m_pParent->GetType() == xtpBarTypePopup && point.x < m_rcControl.right - kSplitDropWidthInPopup)
        OnExecute();
}

BOOL CXTPControlPopup::OnLButtonDblClk(CPoint point)
{
    CXTPPopupBar* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pCommandBar);
    if ((m_controlType == xtpControlPopup || m_controlType == xtpControlButtonPopup) && pPopupBar != nullptr) {
        if (!m_bPopup) {
            if (m_pParent != nullptr && m_pParent->GetSafeHwnd() != nullptr)
                m_pParent->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
            return FALSE;
        }
        const int nDefault = pPopupBar->GetDefaultItem(TRUE);
        if (nDefault != -1) {
            pPopupBar->GetControl(nDefault)->OnExecute();
            return TRUE;
        }
        if (pPopupBar->IsExpandButtonShown()) {
            pPopupBar->ExpandBar();
            return TRUE;
        }
        return FALSE;
    }
    OnClick(FALSE, point);
    return TRUE;
}

void CXTPControlPopup::OnMouseHover()
{
    if (m_pParent != nullptr &&
        ((m_bEnabled && m_pParent->GetTrackingMode() == xtpTrackingPopup) || m_pParent->GetPosition() == xtpBarPopup)) {
        m_pParent->SetPopuped(m_nIndex);
        return;
    }
    CXTPControl::OnMouseHover();
}

BOOL CXTPControlPopup::SetSelected(int bSelected)
{
    if (!CXTPControl::SetSelected(bSelected))
        return FALSE;
    CXTPCommandBar* pParent = m_pParent;
    if (pParent == nullptr)
        return TRUE;
    const BOOL bParentPopupOpen = pParent->GetTrackingMode() == xtpTrackingPopup;
    if ((m_controlType == xtpControlButtonPopup || m_controlType == xtpControlSplitButtonPopup) &&
        pParent->GetType() != xtpBarTypePopup) {
        if (m_bEnabled && bSelected == xtpSelectedByKeyboard && bParentPopupOpen)
            pParent->SetPopuped(m_nIndex);
        return TRUE;
    }
    if (m_bEnabled && bSelected != xtpNotSelected && bParentPopupOpen && pParent->GetPosition() != xtpBarPopup) {
        pParent->SetPopuped(m_nIndex);
        return TRUE;
    }
    if (bSelected == xtpNotSelected && m_bPopup && pParent->GetPosition() != xtpBarPopup)
        pParent->SetPopuped(-1);
    return TRUE;
}

void CXTPControlPopup::OnCustomizeDragOver(CXTPControl* pDataObject, CPoint, DROPEFFECT&)
{
    if (m_pCommandBar == nullptr || !m_pCommandBar->IsCustomizable() || m_pParent == nullptr)
        return;
    CXTPControlPopup* pDragged = DYNAMIC_DOWNCAST(CXTPControlPopup, pDataObject);
    if (pDragged != nullptr && pDragged->IsRelated(this)) {
        m_pParent->SetPopuped(-1);
        m_pParent->SetSelected(-1);
    } else {
        // A control can be dropped into a submenu.
        m_pParent->SetPopuped(m_nIndex);
    }
}

BOOL CXTPControlPopup::IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint, DROPEFFECT& dropEffect)
{
    if (m_pCommandBar == nullptr || pCommandBar == nullptr)
        return TRUE;
    const CXTPCommandBar* pBar = pCommandBar;
    // Bounded like the root walk: a corrupt layout may make the parent chain circular.
    for (int nDepth = 0; nDepth < 64 && pBar != nullptr; ++nDepth) {
        if (pBar == m_pCommandBar) {
            dropEffect = DROPEFFECT_NONE;
            return FALSE;
        }
        CXTPCommandBar* pParent = pBar->GetParentCommandBar();
        if (pParent == pBar)
            break;
        pBar = pParent;
    }
    return TRUE;
}

BOOL CXTPControlPopup::IsRelated(CXTPControl* pOther) const
{
    const CXTPControlPopup* pOtherPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pOther);
    if (pOtherPopup == nullptr)
        return FALSE;
    std::vector<const CXTPCommandBar*> visited;
    if (IsRelatedWalk(this, pOtherPopup, visited))
        return TRUE;
    visited.clear();
    return IsRelatedWalk(pOtherPopup, this, visited);
}

CXTPCommandBar* CXTPControlPopup::GetExpandedBar()
{
    CXTPPopupBar* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pCommandBar);
    if (m_bPopup && pPopupBar != nullptr && m_controlType == xtpControlPopup)
        pPopupBar->ExpandBar();
    return m_pCommandBar;
}

void CXTPControlPopup::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    CXTPControlButton::Copy(pControl, bRecursive);
    CXTPControlPopup* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl);
    if (pPopup == nullptr || pPopup->m_pCommandBar == nullptr) {
        SetCommandBar(nullptr);
        return;
    }
    if (bRecursive) {
        SetCommandBar(pPopup->m_pCommandBar->Clone(TRUE));
    } else {
        pPopup->m_pCommandBar->InternalAddRef();
        CXTPCommandBar* pShared = pPopup->m_pCommandBar;
        // A shared bar keeps its own opening control.
        if (m_pCommandBar != nullptr)
            m_pCommandBar->InternalRelease();
        m_pCommandBar = pShared;
    }
}

CXTPControl* CXTPControlPopup::Clone(BOOL bRecursive)
{
    CXTPControlPopup* pClone = new CXTPControlPopup;
    pClone->Copy(this, bRecursive);
    return pClone;
}

BOOL CXTPControlPopup::IsEqual(CXTPControl* pOther)
{
    if (!CXTPControl::IsEqual(pOther))
        return FALSE;
    CXTPControlPopup* pOtherPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pOther);
    if (pOtherPopup == nullptr)
        return FALSE;
    if (m_pCommandBar != nullptr && pOtherPopup->m_pCommandBar != nullptr)
        return m_pCommandBar->GetControls()->Compare(pOtherPopup->m_pCommandBar->GetControls());
    return TRUE;
}

void CXTPControlPopup::Serialize(CArchive& ar)
{
    CXTPControl::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_pCommandBar != nullptr ? m_pCommandBar->GetBarID() : 0);
        ar << static_cast<int>(m_buttonStyle);
        return;
    }
    DWORD dwBarID = 0;
    ar >> dwBarID;
    m_nLoadedBarID = dwBarID;
    if (m_nLoadedSchema >= 5) {
        int nStyle = 0;
        ar >> nStyle;
        m_buttonStyle = static_cast<XTPButtonStyle>(nStyle);
    }
}
