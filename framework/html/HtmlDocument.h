// The document tree of an HTML page: elements with lower-case names and attributes, and text nodes. The
// document owns every node; nodes never own one another, so a tree of any depth is freed without recursion.
#pragma once

#include <windows.h>

#include <deque>
#include <vector>

#include "framework/core/AfxString.h"

struct CHtmlAttribute
{
    CString m_strName;  // lower case
    CString m_strValue; // entities decoded
};

class CHtmlNode
{
public:
    enum Type
    {
        typeElement,
        typeText,
    };

    Type m_type = typeElement;
    CString m_strName; // lower-case element name; empty for a text node
    CString m_strText; // a text node's characters, entities decoded, white space as written
    std::vector<CHtmlAttribute> m_attributes;
    CHtmlNode* m_pParent = nullptr;
    std::vector<CHtmlNode*> m_children;

    BOOL IsElement() const noexcept { return m_type == typeElement; }
    BOOL IsText() const noexcept { return m_type == typeText; }
    // name is lower case.
    BOOL Is(LPCWSTR name) const noexcept;
    // Null when the attribute is absent; name is lower case.
    const CString* FindAttribute(LPCWSTR name) const noexcept;
    BOOL HasAttribute(LPCWSTR name) const noexcept { return FindAttribute(name) != nullptr; }
    // Empty when absent.
    CString GetAttribute(LPCWSTR name) const;
};

class CHtmlDocument
{
public:
    CHtmlDocument();
    ~CHtmlDocument() = default;
    CHtmlDocument(const CHtmlDocument&) = delete;
    CHtmlDocument& operator=(const CHtmlDocument&) = delete;

    // Removes every node but a fresh root.
    void Clear();

    // The "html" element; always present, "head" and "body" beneath it once a page is parsed.
    CHtmlNode* GetRoot() const noexcept { return m_pRoot; }
    // The "body" element, or the root when the tree has none.
    CHtmlNode* GetBody() const noexcept;
    CHtmlNode* GetHead() const noexcept;

    CHtmlNode* CreateElement(LPCWSTR name);
    CHtmlNode* CreateText(LPCWSTR text, int length = -1);
    static void AppendChild(CHtmlNode* parent, CHtmlNode* child);

    size_t GetNodeCount() const noexcept { return m_nodes.size(); }
    // The deepest element nesting below the root.
    int GetMaxDepth() const;

    // The tree written back as markup without head and without white-space changes: elements as "<name a="v">"
    // and "</name>", text with & < > escaped; for tests and diagnostics.
    CString DumpBody() const;
    // The text of every text node of the body in document order, nothing added.
    CString GetTextContent() const;

    // The page title (from <title>), white space collapsed.
    CString m_strTitle;
    // The character set the bytes were read with ("utf-8", "windows-1252", ...).
    CString m_strCharset;

private:
    std::deque<CHtmlNode> m_nodes;
    CHtmlNode* m_pRoot = nullptr;
};
