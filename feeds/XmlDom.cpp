#include "feeds/XmlDom.h"

namespace XmlDom {
const CLSID CLSID_Document = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID IID_Document = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID IID_Node = {0x2933BF80, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

DocumentPtr CreateDocument(bool bPreserveWhiteSpace)
{
    DocumentPtr doc;
    if (FAILED(::CoCreateInstance(CLSID_Document, nullptr, CLSCTX_INPROC_SERVER, IID_Document,
                                  reinterpret_cast<void**>(doc.Receive()))) ||
        !doc)
        return DocumentPtr();
    if (FAILED(doc->put_async(VARIANT_FALSE)) || FAILED(doc->put_validateOnParse(VARIANT_FALSE)) ||
        FAILED(doc->put_resolveExternals(VARIANT_FALSE)) ||
        FAILED(doc->put_preserveWhiteSpace(bPreserveWhiteSpace ? VARIANT_TRUE : VARIANT_FALSE)))
        return DocumentPtr();
    return doc;
}

bool LoadDocument(IXMLDOMDocument* pDoc, LPCWSTR path)
{
    if (!pDoc)
        return false;
    Variant source(path);
    VARIANT_BOOL ok = VARIANT_FALSE;
    HRESULT hr = pDoc->load(source.v, &ok);
    if (SUCCEEDED(hr) && ok == VARIANT_TRUE)
        return true;
    // The reason is read as the system does, but nobody is shown it.
    Ptr<IXMLDOMParseError> error;
    if (SUCCEEDED(pDoc->get_parseError(error.Receive())) && error) {
        Bstr reason;
        error->get_reason(reason.Receive());
    }
    return false;
}

CString NodeName(IXMLDOMNode* pNode)
{
    Bstr name;
    if (!pNode || FAILED(pNode->get_nodeName(name.Receive())))
        return CString();
    return name.ToString();
}

CString NodeText(IXMLDOMNode* pNode)
{
    Bstr text;
    if (!pNode || FAILED(pNode->get_text(text.Receive())))
        return CString();
    return text.ToString();
}

DOMNodeType NodeType(IXMLDOMNode* pNode)
{
    DOMNodeType type = NODE_INVALID;
    if (!pNode || FAILED(pNode->get_nodeType(&type)))
        return NODE_INVALID;
    return type;
}

NodePtr FirstChild(IXMLDOMNode* pNode)
{
    NodePtr child;
    if (!pNode || pNode->get_firstChild(child.Receive()) != S_OK)
        return NodePtr();
    return child;
}

NodePtr NextSibling(IXMLDOMNode* pNode)
{
    NodePtr sibling;
    if (!pNode || pNode->get_nextSibling(sibling.Receive()) != S_OK)
        return NodePtr();
    return sibling;
}

NodePtr NextChild(IXMLDOMNode* pParent, IXMLDOMNode* pCurrent, long index)
{
    NodePtr sibling;
    if (!pCurrent)
        return NodePtr();
    HRESULT hr = pCurrent->get_nextSibling(sibling.Receive());
    if (hr == S_OK)
        return sibling;
    if (hr == S_FALSE || !pParent)
        return NodePtr();
    NodeListPtr children;
    NodePtr next;
    if (FAILED(pParent->get_childNodes(children.Receive())) || !children ||
        children->get_item(index + 1, next.Receive()) != S_OK)
        return NodePtr();
    return next;
}

NodePtr SelectSingleNode(IXMLDOMNode* pNode, LPCWSTR xpath)
{
    NodePtr found;
    Bstr query(xpath);
    if (!pNode || pNode->selectSingleNode(query, found.Receive()) != S_OK)
        return NodePtr();
    return found;
}
} // namespace XmlDom
