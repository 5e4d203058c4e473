#include "toolkit/commandbars/XTPControlStatic.h"

#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <algorithm>

IMPLEMENT_SERIAL(CXTPControlStatic, CXTPControl, VERSIONABLE_SCHEMA | 7)

namespace {

// Text stays this far from the ends of the label, as on a button.
const int kTextPadding = 3;

BOOL IsVerticalBar(CXTPCommandBar* pBar)
{
    return pBar != nullptr && (pBar->GetPosition() == xtpBarLeft || pBar->GetPosition() == xtpBarRight);
}

} // namespace

CXTPControlStatic::CXTPControlStatic() : m_nMinLength(0) {}

CSize CXTPControlStatic::GetSize(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager == nullptr || pDC == nullptr)
        return CSize(m_nMinLength, 22);
    const BOOL bVert = IsVerticalBar(m_pParent);
    CXTPScopedSelect selectFont(pDC->GetSafeHdc(), pPaintManager->GetControlFont(m_pParent, FALSE)->GetSafeHandle());
    CSize size = pPaintManager->DrawControlText(pDC, GetCaption(), CRect(0, 0, 0, 0), FALSE, bVert, FALSE, FALSE);
    if (bVert) {
        size.cy += 2 * kTextPadding;
        return CSize(std::max(22, static_cast<int>(size.cx)), std::max(m_nMinLength, static_cast<int>(size.cy)));
    }
    size.cx += 2 * kTextPadding;
    return CSize(std::max(m_nMinLength, static_cast<int>(size.cx)), std::max(static_cast<int>(size.cy), 22));
}

void CXTPControlStatic::Draw(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager == nullptr)
        return;
    const XTPBarPosition position = m_pParent != nullptr ? m_pParent->GetPosition() : xtpBarTop;
    pPaintManager->PrepareControlFace(pDC, m_rcControl, m_bEnabled, 0, 0, 0, FALSE, position);
    const BOOL bVert = IsVerticalBar(m_pParent);
    CRect rcText = m_rcControl;
    if (bVert)
        rcText.DeflateRect(0, kTextPadding);
    else
        rcText.DeflateRect(kTextPadding, 0);
    pPaintManager->DrawControlText(pDC, GetCaption(), rcText, TRUE, bVert, FALSE, FALSE, !m_bEnabled);
}

int CXTPControlStatic::OnHookKeyDown(UINT, LPARAM)
{
    return 1;
}

void CXTPControlStatic::OnClick(BOOL, CPoint) {}

void CXTPControlStatic::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    CXTPControl::Copy(pControl, bRecursive);
    if (CXTPControlStatic* pStatic = DYNAMIC_DOWNCAST(CXTPControlStatic, pControl))
        m_nMinLength = pStatic->m_nMinLength;
}

CXTPControl* CXTPControlStatic::Clone(BOOL bRecursive)
{
    CXTPControlStatic* pClone = new CXTPControlStatic;
    pClone->Copy(this, bRecursive);
    return pClone;
}

void CXTPControlStatic::Serialize(CArchive& ar)
{
    CXTPControl::Serialize(ar);
    if (ar.IsStoring())
        ar << m_nMinLength;
    else
        ar >> m_nMinLength;
}
