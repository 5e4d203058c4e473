// Clean-up of the HTML fragments that feeds carry in titles and descriptions.
#pragma once

#include "framework/core/AfxString.h"

// Removes everything that could run or load active content (scripts, styles, plugins, frames, forms, event
// handlers, script URLs) and keeps text and ordinary markup. Works in place; returns 1.
int StripActiveContent(CString& text);

// Turns stored HTML into the display copy drawn by the HTML-subset drawer: tags removed, line breaks kept as
// "<br>" followed by a line feed, blanks collapsed, common entities decoded. Works in place; returns 1.
int HtmlToText(CString& text);
