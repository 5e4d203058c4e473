#include "toolkit/commandbars/XTPPopupBar.h"

#include "toolkit/commandbars/XTPControlPopup.h"

IMPLEMENT_SERIAL(CXTPPopupBar, CXTPCommandBar, VERSIONABLE_SCHEMA | 7)

CXTPPopupBar::CXTPPopupBar() : m_pControlPopup(nullptr), m_bExpanded(FALSE)
{
    m_barType = xtpBarTypePopup;
    m_barPosition = xtpBarPopup;
}

CXTPPopupBar::~CXTPPopupBar() = default;

CXTPPopupBar* CXTPPopupBar::CreatePopupBar(CXTPCommandBars* pCommandBars)
{
    CXTPPopupBar* pPopupBar = new CXTPPopupBar;
    pPopupBar->SetCommandBars(pCommandBars);
    return pPopupBar;
}

CXTPCommandBar* CXTPPopupBar::GetParentCommandBar() const
{
    return m_pControlPopup != nullptr ? m_pControlPopup->GetParent() : nullptr;
}

void CXTPPopupBar::ExpandBar()
{
    m_bExpanded = TRUE;
}
