// The name and text of an MSXML node, for code that holds a bare node.
#pragma once

#include <windows.h>
#include <msxml.h>

#include "framework/core/AfxString.h"

// The node's name and text; empty when they cannot be read.
CString GetXmlNodeName(IXMLDOMNode* pNode);
CString GetXmlNodeText(IXMLDOMNode* pNode);
