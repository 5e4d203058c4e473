// A tolerant HTML parser: any byte sequence gives a document tree, in time linear in its size. Active content
// (script, style, object, embed, applet, iframe, frame, frameset, noscript, meta refresh) is dropped.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/html/HtmlDocument.h"

class CHtmlParser
{
public:
    // Deeper elements are added as siblings at this depth, so any nesting costs linear time and a bounded stack.
    enum
    {
        MaxDepth = 256
    };

    // Reads bytes in the page's own character set: a byte-order mark wins, then <meta charset>, <meta
    // http-equiv="Content-Type" content="...; charset=...">, the XML declaration's encoding, and else UTF-8 when
    // the bytes are valid UTF-8, windows-1252 otherwise. doc is cleared first.
    static void ParseBytes(const void* data, size_t size, CHtmlDocument& doc);
    // Parses text already decoded; doc.m_strCharset is left empty.
    static void ParseText(LPCWSTR text, size_t length, CHtmlDocument& doc);
    static void ParseText(const CString& text, CHtmlDocument& doc) { ParseText(text, text.GetLength(), doc); }

    // The code page the bytes would be read with and its name; for callers that need the text without a tree.
    static UINT DetectCodePage(const void* data, size_t size, CString* charsetName = nullptr);
    // The bytes as text in that code page (invalid UTF-8 sequences become U+FFFD, a BOM is dropped).
    static CString DecodeBytes(const void* data, size_t size, UINT codePage);
};
