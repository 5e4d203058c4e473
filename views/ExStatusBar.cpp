#include "views/ExStatusBar.h"

#include "framework/win/Dc.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "views/SkinPaintManager.h"
#include "toolkit/controls/XTMemDC.h"

IMPLEMENT_DYNAMIC(CExStatusBar, CXTStatusBar)

BEGIN_MESSAGE_MAP(CExStatusBar, CXTStatusBar)
ON_WM_PAINT()
END_MESSAGE_MAP()

CExStatusBar::CExStatusBar() = default;

BOOL CExStatusBar::IsGripperShown() const
{
    if (!(GetStyle() & SBARS_SIZEGRIP))
        return FALSE;
    HWND hFrame = ::GetAncestor(m_hWnd, GA_ROOT);
    if (hFrame == nullptr)
        return FALSE;
    return (::GetWindowLongPtrW(hFrame, GWL_STYLE) & WS_THICKFRAME) != 0 && !::IsZoomed(hFrame);
}

void CExStatusBar::DrawBar(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    CXTPPaintManager* pPaintManager = CXTPPaintManager::GetCurrent();
    if (pPaintManager != nullptr)
        pPaintManager->FillDockBar(pDC, this);
    else
        pDC->FillSolidRect(&client, ::GetSysColor(COLOR_3DFACE));

    const HGDIOBJ hOldFont = ::SelectObject(pDC->GetSafeHdc(), GetBarFont());
    const int nOldMode = ::SetBkMode(pDC->GetSafeHdc(), TRANSPARENT);
    COLORREF clrText = pPaintManager != nullptr ? pPaintManager->GetColor(COLOR_BTNTEXT) : ::GetSysColor(COLOR_BTNTEXT);
    COLORREF clrShadow =
        pPaintManager != nullptr ? pPaintManager->GetColor(COLOR_3DSHADOW) : ::GetSysColor(COLOR_3DSHADOW);
    COLORREF clrLight =
        pPaintManager != nullptr ? pPaintManager->GetColor(COLOR_3DHIGHLIGHT) : ::GetSysColor(COLOR_3DHIGHLIGHT);
    // On the skin's dark face the panes take the skin's own text colour and shades.
    if (const auto* pSkin = dynamic_cast<const CSkinPaintManager*>(pPaintManager)) {
        clrText = pSkin->m_clrMenuText;
        clrShadow = pSkin->m_clrDarkShade;
        clrLight = pSkin->m_clrLightShade;
    }
    const COLORREF clrOldText = ::SetTextColor(pDC->GetSafeHdc(), clrText);
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    for (int i = 0; i < GetCount(); ++i) {
        const UINT nStyle = GetPaneStyle(i);
        CRect rect = PaneRect(i);
        if (!(nStyle & SBPS_NOBORDERS)) {
            if (nStyle & SBPS_POPOUT)
                pDC->Draw3dRect(&rect, clrLight, clrShadow);
            else
                pDC->Draw3dRect(&rect, clrShadow, clrLight);
        }
        if (nStyle & SBPS_DISABLED)
            continue;
        const CString text = GetPaneText(i);
        rect.DeflateRect(cxEdge + 1, 0);
        ::DrawTextW(pDC->GetSafeHdc(), text, text.GetLength(), &rect,
                    DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ::SetTextColor(pDC->GetSafeHdc(), clrOldText);
    ::SetBkMode(pDC->GetSafeHdc(), nOldMode);
    ::SelectObject(pDC->GetSafeHdc(), hOldFont);

    if (IsGripperShown()) {
        const CRect grip(client.right - GetToolkitGlobals()->m_cxSmIcon - cxEdge, client.top, client.right,
                         client.bottom);
        if (pPaintManager != nullptr)
            pPaintManager->DrawResizeGripper(pDC, grip);
        else
            ::DrawFrameControl(pDC->GetSafeHdc(), const_cast<CRect*>(&grip), DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

void CExStatusBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CXTMemDC memDC(&dc, client, ::GetSysColor(COLOR_3DFACE));
    DrawBar(&memDC);
}
