#include "toolkit/controls/XTPPopupItem.h"

#include "toolkit/controls/XTPPopupTheme.h"
#include "toolkit/controls/XTPPopupWindow.h"

IMPLEMENT_DYNCREATE(CXTPPopupItem, CCmdTarget)

CXTPPopupItem::CXTPPopupItem(LPCRECT lpRect, LPCTSTR lpszCaption, COLORREF clrBackground, COLORREF clrBorder)
    : m_bButton(FALSE), m_nID(0), m_rcItem(0, 0, 0, 0), m_pPopupWindow(nullptr), m_bHyperLink(TRUE),
      m_strCaption(lpszCaption != nullptr ? lpszCaption : L""), m_nTextFormat(0), m_bBold(FALSE),
      m_clrText(static_cast<COLORREF>(-1)), m_clrBackground(clrBackground), m_clrBorder(clrBorder), m_hIcon(nullptr),
      m_hIconHot(nullptr), m_hIconPressed(nullptr), m_ptIconOffset(0, 0)
{
    if (lpRect != nullptr)
        m_rcItem = *lpRect;
}

CXTPPopupItem::~CXTPPopupItem()
{
    for (HICON* pIcon : {&m_hIcon, &m_hIconHot, &m_hIconPressed}) {
        if (*pIcon != nullptr)
            ::DestroyIcon(*pIcon);
        *pIcon = nullptr;
    }
    m_font.DeleteObject();
}

HICON& CXTPPopupItem::IconOfState(int nState)
{
    if (nState == xtpPopupItemIconSelected)
        return m_hIconHot;
    if (nState == xtpPopupItemIconPressed)
        return m_hIconPressed;
    return m_hIcon;
}

void CXTPPopupItem::SetIcon(HICON hIcon, int nState)
{
    HICON& hSlot = IconOfState(nState);
    if (hSlot != nullptr)
        ::DestroyIcon(hSlot);
    hSlot = hIcon != nullptr ? ::CopyIcon(hIcon) : nullptr;
}

HICON CXTPPopupItem::GetIcon(int nState) const
{
    return const_cast<CXTPPopupItem*>(this)->IconOfState(nState);
}

BOOL CXTPPopupItem::IsHot() const
{
    return m_pPopupWindow != nullptr && m_pPopupWindow->GetHotItem() == this;
}

BOOL CXTPPopupItem::IsPressed() const
{
    return m_pPopupWindow != nullptr && m_pPopupWindow->GetPressedItem() == this;
}

CFont* CXTPPopupItem::GetFont()
{
    if (m_font.GetSafeHandle() != nullptr)
        return &m_font;
    if (m_pPopupWindow != nullptr && m_pPopupWindow->GetTheme() != nullptr)
        return m_pPopupWindow->GetTheme()->GetFont();
    return nullptr;
}

BOOL CXTPPopupItem::SetFont(const LOGFONTW& lf)
{
    m_font.DeleteObject();
    return m_font.CreateFontIndirect(&lf);
}

void CXTPPopupItem::Draw(CDC* pDC)
{
    if (m_pPopupWindow != nullptr && m_pPopupWindow->GetTheme() != nullptr)
        m_pPopupWindow->GetTheme()->DrawItem(pDC, this);
}

void CXTPPopupItem::RedrawControl()
{
    if (m_pPopupWindow != nullptr)
        m_pPopupWindow->RedrawControl();
}
