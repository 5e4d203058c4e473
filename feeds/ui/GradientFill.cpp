#include "feeds/ui/GradientFill.h"

#include "feeds/WindowsVersion.h"
#include "framework/win/Dc.h"

BOOL FillGradientRect(CDC* pDC, const RECT& rect, COLORREF first, COLORREF second, BOOL bVertical)
{
    if (!pDC)
        return FALSE;
    if (!SystemDrawsGradients()) {
        pDC->FillSolidRect(&rect, first);
        return TRUE;
    }
    TRIVERTEX vertices[2];
    vertices[0].x = rect.left;
    vertices[0].y = rect.top;
    vertices[0].Red = static_cast<COLOR16>(GetRValue(first) << 8);
    vertices[0].Green = static_cast<COLOR16>(GetGValue(first) << 8);
    vertices[0].Blue = static_cast<COLOR16>(GetBValue(first) << 8);
    vertices[0].Alpha = 0;
    vertices[1].x = rect.right;
    vertices[1].y = rect.bottom;
    vertices[1].Red = static_cast<COLOR16>(GetRValue(second) << 8);
    vertices[1].Green = static_cast<COLOR16>(GetGValue(second) << 8);
    vertices[1].Blue = static_cast<COLOR16>(GetBValue(second) << 8);
    vertices[1].Alpha = 0;
    GRADIENT_RECT gradient = {0, 1};
    return GradientFill(pDC->GetSafeHdc(), vertices, 2, &gradient, 1,
                        bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}
