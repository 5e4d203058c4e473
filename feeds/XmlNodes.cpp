#include "feeds/XmlNodes.h"

#include "feeds/XmlDom.h"

CString GetXmlNodeName(IXMLDOMNode* pNode)
{
    return XmlDom::NodeName(pNode);
}

CString GetXmlNodeText(IXMLDOMNode* pNode)
{
    return XmlDom::NodeText(pNode);
}
