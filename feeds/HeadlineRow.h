// Headline rows: how a news item draws and measures itself in the item lists and the headline popup, with the
// application's headline fonts, colours, list style and read-state icons.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/DateTime.h"

class CDC;
class CFeedItem;

// Draws the row into item.m_rcLast: state icon, title, local date at the right, the text under the title as the
// list style asks, and the enclosure line.
void DrawHeadline(CFeedItem& item, CDC* pDC, BOOL bHighlight, BOOL bDrawIcon);
// The width the row needs on one line.
int CalcHeadlineWidth(CFeedItem& item, CDC* pDC);
// The row's height at the available width; kept in m_nHeadlineWidth and m_nHeadlineHeight.
int CalcHeadlineHeight(CFeedItem& item, CDC* pDC, int nWidth);

// "(<n>KB)" of an enclosure length in bytes, empty for 0.
CString FormatEnclosureSize(int nLength);
// The short date and the time without seconds of a UTC date, in local time, three blanks apart.
CString FormatHeadlineDate(const COleDateTime& dtUtc);
