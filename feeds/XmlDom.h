// MSXML plumbing shared by the feed readers and writers: the class and interface identifiers our import
// libraries lack, a document created with the flags every load and save uses, and BSTR/VARIANT
// holders.
#pragma once

#include <windows.h>
#include <msxml.h>
#include <oleauto.h>

#include <string>

#include "framework/core/AfxString.h"
#include "framework/core/ScopedHandles.h"

namespace XmlDom {
// DOMDocument (the version-independent MSXML class), IXMLDOMDocument and IXMLDOMNode.
extern const CLSID CLSID_Document;
extern const IID IID_Document;
extern const IID IID_Node;

template <class T> using Ptr = CScopedComPtr<T>;

using DocumentPtr = Ptr<IXMLDOMDocument>;
using NodePtr = Ptr<IXMLDOMNode>;
using ElementPtr = Ptr<IXMLDOMElement>;
using NodeListPtr = Ptr<IXMLDOMNodeList>;
using NamedNodeMapPtr = Ptr<IXMLDOMNamedNodeMap>;

// An owned BSTR.
class Bstr
{
public:
    Bstr() = default;
    explicit Bstr(LPCWSTR text) : m_b(::SysAllocString(text ? text : L"")) {}
    Bstr(LPCWSTR text, UINT cch) : m_b(::SysAllocStringLen(text, cch)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(m_b); }

    BSTR* Receive()
    {
        ::SysFreeString(m_b);
        m_b = nullptr;
        return &m_b;
    }
    BSTR Get() const { return m_b; }
    operator BSTR() const { return m_b; }
    UINT Length() const { return ::SysStringLen(m_b); }
    CString ToString() const { return m_b ? CString(m_b, static_cast<int>(::SysStringLen(m_b))) : CString(); }

private:
    BSTR m_b = nullptr;
};

// An owned VARIANT, cleared on every path.
class Variant
{
public:
    Variant() { ::VariantInit(&v); }
    explicit Variant(LPCWSTR text)
    {
        ::VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = ::SysAllocString(text ? text : L"");
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&v); }

    VARIANT v;
};

// Creates a DOMDocument in process with async, validateOnParse and resolveExternals off (so nothing named by a
// DOCTYPE is fetched from disk or network) and the given white-space rule. Returns null when MSXML is missing
// or a flag cannot be set.
DocumentPtr CreateDocument(bool bPreserveWhiteSpace = true);

// Whether the XML library may be handed the document: false when its internal entities would expand past a fixed
// budget of characters or references, when it declares a parameter entity or builds a reference out of character
// references, when an element or the whole document carries more attributes than any real one does, or when it is
// in UTF-7. The text is judged as the library will read it: UTF-16 and UTF-32 decoded, byte-order marks honoured.
bool IsWithinParseBudget(const std::string& bytes);

// Loads a file by its path: read once, judged, and the same bytes handed to the library (text in an encoding the
// library refuses is decoded here first). On a parse failure the error's reason is read and dropped; returns false.
// An empty file, one over 64 MB and one past the parse budget are refused before the library sees them.
bool LoadDocument(IXMLDOMDocument* pDoc, LPCWSTR path);

// Node accessors that answer empty/0 on any failure.
CString NodeName(IXMLDOMNode* pNode);
CString NodeText(IXMLDOMNode* pNode);
DOMNodeType NodeType(IXMLDOMNode* pNode);
NodePtr FirstChild(IXMLDOMNode* pNode);
NodePtr NextSibling(IXMLDOMNode* pNode);
// The child after pCurrent, which is child number index of pParent. Wine's document type node answers
// nextSibling with E_NOTIMPL, which would end a walk before the root element: then the parent's child list is
// asked instead.
NodePtr NextChild(IXMLDOMNode* pParent, IXMLDOMNode* pCurrent, long index);
NodePtr SelectSingleNode(IXMLDOMNode* pNode, LPCWSTR xpath);

// Calls fn(name, text) for each attribute of the node, in document order.
template <class Fn> void ForEachAttribute(IXMLDOMNode* pNode, Fn fn)
{
    NamedNodeMapPtr attributes;
    if (!pNode || FAILED(pNode->get_attributes(attributes.Receive())) || !attributes)
        return;
    long count = 0;
    if (FAILED(attributes->get_length(&count)))
        return;
    for (long i = 0; i < count; ++i) {
        NodePtr attribute;
        if (FAILED(attributes->get_item(i, attribute.Receive())) || !attribute)
            continue;
        fn(NodeName(attribute.Get()), NodeText(attribute.Get()));
    }
}
} // namespace XmlDom
