// Headline rows: how a news item draws and measures itself in the item lists and the headline popup, with the
// application's headline fonts, colours, list style and read-state icons.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/DateTime.h"

// The rows themselves are drawn and measured by CFeedItem::DrawHeadline, CalcHeadlineWidth and CalcHeadlineHeight.

// "(<n>KB)" of an enclosure length in bytes, empty for 0.
CString FormatEnclosureSize(int nLength);
// The short date and the time without seconds of a UTC date, in local time, three blanks apart.
CString FormatHeadlineDate(const COleDateTime& dtUtc);
