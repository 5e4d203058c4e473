// Clean-up of the HTML fragments that feeds carry in titles and descriptions.
#pragma once

#include "framework/core/AfxString.h"

// Removes everything that could run or load active content (scripts, styles, plugins, frames, forms, event
// handlers, script URLs) and keeps text and ordinary markup. An image keeps its source only when it is an http or
// https address or a file of the data folder. Works in place; returns 1.
int StripActiveContent(CString& text);

// Turns stored HTML into the display copy drawn by the HTML-subset drawer: tags removed, line breaks, paragraphs,
// list items and other blocks ending their line (kept as "<br>" followed by a line feed), blanks collapsed, every
// entity of HTML decoded. Works in place; returns 1.
int HtmlToText(CString& text);

// Whether a link may be followed or written into a page: relative to its page, or of the schemes http, https, ftp,
// mailto, news and feed; "//host" and "\\host" name another machine and are not relative. Character references are
// decoded and blanks and control characters before the scheme ignored, as a browser reads an address; characters
// that show as nothing (U+2028, U+2029, U+200B...) make it unsafe.
bool IsSafeLink(const CString& link);

// Copies for the records. The stored text of a title or description: cleaned of active content.
CString CleanedCopy(const CString& text);
// Its display copy.
CString DisplayCopy(const CString& text);
// Markup read as plain text on one line: the display copy, its line breaks as blanks.
CString HtmlToPlainText(const CString& html);
// The display copy of a link: trimmed before and after, since a link written on a line of its own would keep a
// line break ("<br>") in its display copy, and items are matched by that copy.
CString TrimmedDisplayCopy(const CString& text);
