#include "toolkit/controls/XTMemDC.h"

IMPLEMENT_DYNAMIC(CXTMemDC, CDC)

CXTMemDC::CXTMemDC(CDC* pDC, const CRect& rect, COLORREF clrColor)
    : m_pDC(pDC), m_rc(rect), m_hOldBitmap(nullptr), m_bValid(FALSE)
{
    if (!pDC || !pDC->GetSafeHdc())
        return;
    if (m_rc.IsRectEmpty())
        pDC->GetClipBox(&m_rc);
    if (!CreateCompatibleDC(pDC))
        return;
    SetMapMode(pDC->GetMapMode());
    if (!m_bitmap.CreateCompatibleBitmap(pDC, m_rc.Width(), m_rc.Height()))
        return;
    m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.GetSafeHandle());
    FillSolidRect(0, 0, m_rc.Width(), m_rc.Height(), clrColor);
    m_bValid = TRUE;
}

CXTMemDC::~CXTMemDC()
{
    if (m_bValid)
        m_pDC->BitBlt(m_rc.left, m_rc.top, m_rc.Width(), m_rc.Height(), this, 0, 0, SRCCOPY);
    if (m_hOldBitmap)
        ::SelectObject(m_hDC, m_hOldBitmap);
    m_bitmap.DeleteObject();
    if (m_hDC)
        DeleteDC();
}
