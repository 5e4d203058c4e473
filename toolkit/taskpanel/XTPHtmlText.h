// A drawer for short texts with a small subset of HTML markup, and the hue/lightness/saturation shades of a colour.
#pragma once

#include <windows.h>

class CDC;

// Draws (or with DT_CALCRECT measures) text with <b>/<strong>, <i>/<em>, <u>, <sub>, <sup>, <font color=#RRGGBB>,
// <br> and <p>, word by word. nCount -1 takes the whole text. Of the DrawTextW flags, DT_WORDBREAK wraps,
// DT_SINGLELINE ignores line-breaking tags and DT_END_ELLIPSIS clips words to the rectangle; a null rectangle
// starts at the DC's current position. Returns the height used, 0 for a null DC or text.
int DrawHtmlText(CDC* pDC, LPCWSTR lpszText, int nCount, LPRECT lpRect, UINT nFormat);
int DrawHtmlText(HDC hDC, LPCWSTR lpszText, int nCount, LPRECT lpRect, UINT nFormat);

// Packed form: hue (0-255 for 0-360 degrees) in the low byte, lightness in the second, saturation in the third.
DWORD RgbToHls(COLORREF clr);
COLORREF HlsToRgb(DWORD hls);
// Moves lightness and saturation by percentages: positive towards 255, negative towards 0.
COLORREF AdjustColorHls(COLORREF clr, int nLightnessPercent, int nSaturationPercent);
