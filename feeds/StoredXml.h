// A one-pass reader for the XML our own writers produce (UTF-8, elements, attributes, text, the five predefined
// entities and character references). It is many times faster than a DOM load and keeps no document behind. It
// reads only that subset: anything else (a comment, CDATA, a DOCTYPE, a namespace prefix, another encoding, deep
// nesting, markup the library would refuse) makes it give up, and the caller hands the file to the XML library,
// which decides. So a file it accepts is one the library reads the same way, and a damaged one is judged by the
// library as before.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/AfxString.h"

struct StoredElement
{
    std::string name; // ASCII, no prefix
    std::vector<std::pair<std::string, CString>> attributes;
    // The decoded character data of an element without child elements; empty for one with children (between
    // them there may only be white space).
    CString text;
    std::vector<StoredElement> children;

    // The first attribute of that name, or null.
    const CString* Attribute(const char* attributeName) const;
};

// Reads the bytes (a UTF-8 byte-order mark allowed) into the root element. False when the text is not within the
// subset or not well formed; root is then unspecified.
bool ReadStoredXml(const char* bytes, size_t size, StoredElement& root);

// The walk ReadStoredXml makes, with the same checks, keeping nothing: each element is reported as it opens and as it
// closes. A first pass that only counts reads a file this way many times faster than into a tree.
class StoredXmlVisitor
{
public:
    virtual ~StoredXmlVisitor() = default;
    // The element's name (ASCII, not terminated) and depth (the root is 1). False ends the walk as failed.
    virtual bool Open(const char* name, size_t length, int depth) = 0;
    // The decoded text of an element without child elements (valid only during the call), null for one with
    // children. False ends the walk as failed.
    virtual bool Close(const wchar_t* text, int length, int depth) = 0;
};

// False when the text is not within the subset, not well formed, or the visitor stopped the walk.
bool WalkStoredXml(const char* bytes, size_t size, StoredXmlVisitor& visitor);
