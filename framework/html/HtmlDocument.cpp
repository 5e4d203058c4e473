#include "framework/html/HtmlDocument.h"

#include <utility>

BOOL CHtmlNode::Is(LPCWSTR name) const noexcept
{
    return m_type == typeElement && m_strName == name;
}

const CString* CHtmlNode::FindAttribute(LPCWSTR name) const noexcept
{
    for (const CHtmlAttribute& attribute : m_attributes)
        if (attribute.m_strName == name)
            return &attribute.m_strValue;
    return nullptr;
}

CString CHtmlNode::GetAttribute(LPCWSTR name) const
{
    const CString* value = FindAttribute(name);
    return value ? *value : CString();
}

CHtmlDocument::CHtmlDocument()
{
    Clear();
}

void CHtmlDocument::Clear()
{
    m_nodes.clear();
    m_strTitle.Empty();
    m_strCharset.Empty();
    m_pRoot = CreateElement(L"html");
}

CHtmlNode* CHtmlDocument::GetBody() const noexcept
{
    for (CHtmlNode* child : m_pRoot->m_children)
        if (child->Is(L"body"))
            return child;
    return m_pRoot;
}

CHtmlNode* CHtmlDocument::GetHead() const noexcept
{
    for (CHtmlNode* child : m_pRoot->m_children)
        if (child->Is(L"head"))
            return child;
    return nullptr;
}

CHtmlNode* CHtmlDocument::CreateElement(LPCWSTR name)
{
    m_nodes.emplace_back();
    CHtmlNode* node = &m_nodes.back();
    node->m_type = CHtmlNode::typeElement;
    node->m_strName = name;
    return node;
}

CHtmlNode* CHtmlDocument::CreateText(LPCWSTR text, int length)
{
    m_nodes.emplace_back();
    CHtmlNode* node = &m_nodes.back();
    node->m_type = CHtmlNode::typeText;
    if (length < 0)
        node->m_strText = text;
    else
        node->m_strText.SetString(text, length);
    return node;
}

void CHtmlDocument::AppendChild(CHtmlNode* parent, CHtmlNode* child)
{
    child->m_pParent = parent;
    parent->m_children.push_back(child);
}

// The walks below keep their own stack: a tree built by hand may be deeper than the parser allows.
int CHtmlDocument::GetMaxDepth() const
{
    int deepest = 0;
    std::vector<std::pair<const CHtmlNode*, int>> stack{{m_pRoot, 0}};
    while (!stack.empty()) {
        auto [node, depth] = stack.back();
        stack.pop_back();
        if (depth > deepest)
            deepest = depth;
        for (const CHtmlNode* child : node->m_children)
            if (child->IsElement())
                stack.emplace_back(child, depth + 1);
    }
    return deepest;
}

namespace {

void AppendEscaped(CString& out, const CString& text, bool attribute)
{
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t ch = text[i];
        if (ch == L'&')
            out += L"&amp;";
        else if (ch == L'<')
            out += L"&lt;";
        else if (ch == L'>')
            out += L"&gt;";
        else if (ch == L'"' && attribute)
            out += L"&quot;";
        else
            out.AppendChar(ch);
    }
}

// Visits the subtree in document order; opening is called for every node, closing for elements after their
// children.
template <typename Open, typename Close> void Walk(const CHtmlNode* top, Open&& opening, Close&& closing)
{
    std::vector<std::pair<const CHtmlNode*, size_t>> stack{{top, 0}};
    opening(top);
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next < node->m_children.size()) {
            const CHtmlNode* child = node->m_children[next++];
            opening(child);
            if (child->IsElement())
                stack.emplace_back(child, 0);
        } else {
            closing(node);
            stack.pop_back();
        }
    }
}

} // namespace

CString CHtmlDocument::DumpBody() const
{
    CString out;
    const CHtmlNode* body = GetBody();
    Walk(
        body,
        [&](const CHtmlNode* node) {
            if (node == body)
                return;
            if (node->IsText()) {
                AppendEscaped(out, node->m_strText, false);
                return;
            }
            out += L"<";
            out += node->m_strName;
            for (const CHtmlAttribute& attribute : node->m_attributes) {
                out += L" ";
                out += attribute.m_strName;
                out += L"=\"";
                AppendEscaped(out, attribute.m_strValue, true);
                out += L"\"";
            }
            out += L">";
        },
        [&](const CHtmlNode* node) {
            static const wchar_t* const voids[] = {L"br",   L"img", L"hr",   L"wbr",  L"input", L"meta",
                                                   L"link", L"col", L"area", L"base", L"param", L"source"};
            if (node == body)
                return;
            for (const wchar_t* name : voids)
                if (node->m_strName == name)
                    return;
            out += L"</";
            out += node->m_strName;
            out += L">";
        });
    return out;
}

CString CHtmlDocument::GetTextContent() const
{
    CString out;
    Walk(
        GetBody(),
        [&](const CHtmlNode* node) {
            if (node->IsText())
                out += node->m_strText;
        },
        [](const CHtmlNode*) {});
    return out;
}
