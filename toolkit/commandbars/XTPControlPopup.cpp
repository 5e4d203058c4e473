#include "toolkit/commandbars/XTPControlPopup.h"

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPopupBar.h"

IMPLEMENT_SERIAL(CXTPControlPopup, CXTPControlButton, VERSIONABLE_SCHEMA | 7)

CXTPControlPopup::CXTPControlPopup() : m_pCommandBar(nullptr), m_bPopup(FALSE), m_nLoadedBarID(0)
{
    m_controlType = xtpControlPopup;
}

CXTPControlPopup::~CXTPControlPopup()
{
    SetCommandBar(nullptr);
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
    if (bPopup == m_bPopup)
        return FALSE;
    m_bPopup = bPopup;
    if (m_pCommandBar != nullptr) {
        if (bPopup) {
            CRect rc = m_rcControl;
            if (m_pParent != nullptr && m_pParent->GetSafeHwnd() != nullptr)
                m_pParent->ClientToScreen(&rc);
            if (!m_pCommandBar->Popup(rc.left, rc.bottom, &rc))
                m_bPopup = FALSE;
        } else if (m_pCommandBar->IsTrackingMode()) {
            m_pCommandBar->SetTrackingMode(FALSE);
        }
    }
    RedrawParent();
    return TRUE;
}

void CXTPControlPopup::OnClick(BOOL bKeyboard, CPoint pt)
{
    if (!m_bEnabled || m_pParent == nullptr)
        return;
    if (IsCustomizeMode()) {
        CXTPControlButton::OnClick(bKeyboard, pt);
        return;
    }
    if (m_bPopup)
        m_pParent->SetPopuped(-1);
    else
        m_pParent->SetPopuped(m_nIndex, bKeyboard);
}

void CXTPControlPopup::OnLButtonUp(CPoint point)
{
    // In a popup only the button part of a split button runs its command; the rest opens the popup.
    if (m_controlType == xtpControlSplitButtonPopup && m_bEnabled && m_pParent != nullptr &&
        m_pParent->GetType() == xtpBarTypePopup && point.x < m_rcControl.right - 20)
        OnExecute();
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
    return CXTPControl::IsEqual(pOther);
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
