// A two-colour gradient fill that falls back to a solid fill where the system draws no gradients.
#pragma once

#include <windows.h>

class CDC;

// A two-colour gradient, left to right or (bVertical) top to bottom; a solid fill in the first colour on
// systems that draw no gradients. Returns the fill's result.
BOOL FillGradientRect(CDC* pDC, const RECT& rect, COLORREF first, COLORREF second, BOOL bVertical);
