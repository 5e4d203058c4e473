// HTML character references: the named entities (the HTML 4 set and a few later ones), decimal and hex.
#pragma once

#include <windows.h>

#include <string>

#include "framework/core/AfxString.h"

// The code point of a named entity (name without '&' and ';', case-sensitive), or 0 when unknown.
UINT HtmlLookupEntity(LPCWSTR name, int length) noexcept;

// Appends the text with every character reference decoded. A reference without its semicolon is still decoded
// when it starts with a name browsers accept so (amp, lt, copy, ...) and, in an attribute value, is not followed by a
// letter, digit or '='; anything else stays as written. Code points that are
// invalid (0, surrogates, above U+10FFFF) become U+FFFD; 0x80-0x9F are read as windows-1252, as browsers do.
void HtmlDecodeEntities(LPCWSTR text, size_t length, std::wstring& out, bool attribute = false);
CString HtmlDecodeEntities(LPCWSTR text);

// Appends a code point as UTF-16.
void HtmlAppendCodePoint(UINT codePoint, std::wstring& out);
