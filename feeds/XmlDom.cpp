#include "feeds/XmlDom.h"

#include "framework/core/FileReading.h"

#include <algorithm>
#include <climits>
#include <map>
#include <cwctype>
#include <string>

namespace {

// The largest document loaded at all: above a long-kept cache (fetched feeds stop at 32 MB); a larger one would
// take the reader many times its size in memory.
const size_t kMaxDecodedBytes = 64u * 1024u * 1024u;

std::string ReadFileBytes(LPCWSTR path)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes, kMaxDecodedBytes, FILE_SHARE_READ | FILE_SHARE_WRITE))
        bytes.clear();
    return bytes;
}

struct EncodingName
{
    const char* name;
    UINT codePages[2]; // tried in order; 0 ends the list
};

// Names feeds use for encodings that the platform's XML parser may refuse, with the code pages that decode them.
// The second page stands in where the first is missing (GBK for GB 18030, UHC for EUC-KR, both supersets).
const EncodingName kEncodings[] = {
    {"big5", {950, 0}},         {"big-5", {950, 0}},          {"cn-big5", {950, 0}},
    {"x-x-big5", {950, 0}},     {"csbig5", {950, 0}},         {"gb2312", {936, 0}},
    {"gbk", {936, 0}},          {"x-gbk", {936, 0}},          {"cp936", {936, 0}},
    {"gb_2312-80", {936, 0}},   {"csgb2312", {936, 0}},       {"gb18030", {54936, 936}},
    {"euc-kr", {51949, 949}},   {"cseuckr", {51949, 949}},    {"ks_c_5601-1987", {949, 0}},
    {"cp949", {949, 0}},        {"shift_jis", {932, 0}},      {"shift-jis", {932, 0}},
    {"sjis", {932, 0}},         {"x-sjis", {932, 0}},         {"ms_kanji", {932, 0}},
    {"csshiftjis", {932, 0}},   {"windows-31j", {932, 0}},    {"cp932", {932, 0}},
    {"euc-jp", {51932, 20932}}, {"x-euc-jp", {51932, 20932}}, {"iso-2022-jp", {50220, 0}},
    {"koi8-r", {20866, 0}},     {"cskoi8r", {20866, 0}},      {"koi8-u", {21866, 0}},
    {"tis-620", {874, 0}},      {"windows-874", {874, 0}},    {"iso-8859-11", {874, 0}},
    {"utf-7", {65000, 0}},      {"us-ascii", {20127, 0}},     {"ascii", {20127, 0}},
    {"macintosh", {10000, 0}},
};

// The code page of an encoding name: the table above, "iso-8859-N" and "windows-125N"; 0 when none is known.
UINT CodePageOf(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    for (const EncodingName& entry : kEncodings) {
        if (name != entry.name)
            continue;
        for (UINT codePage : entry.codePages)
            if (codePage != 0 && ::IsValidCodePage(codePage))
                return codePage;
        return 0;
    }
    auto numberAfter = [&name](const char* prefix) {
        const size_t n = std::char_traits<char>::length(prefix);
        if (name.compare(0, n, prefix) != 0 || name.size() == n || name.size() > n + 2)
            return -1;
        int value = 0;
        for (size_t i = n; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9')
                return -1;
            value = value * 10 + (name[i] - '0');
        }
        return value;
    };
    const int latin = numberAfter("iso-8859-");
    if (latin >= 1 && latin <= 16 && ::IsValidCodePage(28590 + latin))
        return static_cast<UINT>(28590 + latin);
    const int windows = numberAfter("windows-12");
    if (windows >= 50 && windows <= 58)
        return static_cast<UINT>(1200 + windows);
    return 0;
}

// The value of the encoding pseudo-attribute of an XML declaration written in ASCII-compatible bytes.
std::string DeclaredEncoding(const std::string& bytes)
{
    if (bytes.compare(0, 5, "<?xml") != 0)
        return std::string();
    const size_t end = bytes.find("?>");
    const size_t at = bytes.find("encoding", 5);
    if (end == std::string::npos || at == std::string::npos || at > end)
        return std::string();
    size_t i = at + 8;
    while (i < end && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    if (i >= end || bytes[i] != '=')
        return std::string();
    ++i;
    while (i < end && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    if (i >= end || (bytes[i] != '"' && bytes[i] != '\''))
        return std::string();
    const size_t close = bytes.find(bytes[i], i + 1);
    return close == std::string::npos || close > end ? std::string() : bytes.substr(i + 1, close - i - 1);
}

bool DecodeUtf32(const std::string& bytes, size_t start, bool bigEndian, std::wstring& text)
{
    text.clear();
    text.reserve((bytes.size() - start) / 4);
    for (size_t i = start; i + 4 <= bytes.size(); i += 4) {
        const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data() + i);
        const unsigned long code = bigEndian
                                       ? (static_cast<unsigned long>(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3]
                                       : (static_cast<unsigned long>(b[3]) << 24) | (b[2] << 16) | (b[1] << 8) | b[0];
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        if (code >= 0x10000) {
            text += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            text += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            text += static_cast<wchar_t>(code);
        }
    }
    return true;
}

bool DecodeUtf16(const std::string& bytes, size_t start, bool bigEndian, std::wstring& text)
{
    text.clear();
    text.reserve((bytes.size() - start) / 2);
    for (size_t i = start; i + 2 <= bytes.size(); i += 2) {
        const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data() + i);
        text += static_cast<wchar_t>(bigEndian ? (b[0] << 8) | b[1] : (b[1] << 8) | b[0]);
    }
    return true;
}

bool StartsWith(const std::string& bytes, const char* prefix, size_t n)
{
    return bytes.size() >= n && bytes.compare(0, n, prefix, n) == 0;
}

// The text of an XML file in an encoding that is not UTF-8: found by its byte-order mark, by the zero bytes
// around its first "<", or by its declaration. False when it is UTF-8 or in no encoding known here.
bool DecodeXmlFile(const std::string& bytes, std::wstring& text)
{
    if (StartsWith(bytes, "\xFF\xFE\0\0", 4))
        return DecodeUtf32(bytes, 4, false, text);
    if (StartsWith(bytes, "\0\0\xFE\xFF", 4))
        return DecodeUtf32(bytes, 4, true, text);
    if (StartsWith(bytes, "<\0\0\0", 4))
        return DecodeUtf32(bytes, 0, false, text);
    if (StartsWith(bytes, "\0\0\0<", 4))
        return DecodeUtf32(bytes, 0, true, text);
    if (StartsWith(bytes, "\xFF\xFE", 2))
        return DecodeUtf16(bytes, 2, false, text);
    if (StartsWith(bytes, "\xFE\xFF", 2))
        return DecodeUtf16(bytes, 2, true, text);
    if (StartsWith(bytes, "<\0", 2))
        return DecodeUtf16(bytes, 0, false, text);
    if (StartsWith(bytes, "\0<", 2))
        return DecodeUtf16(bytes, 0, true, text);
    if (StartsWith(bytes, "\xEF\xBB\xBF", 3))
        return false;
    const UINT codePage = CodePageOf(DeclaredEncoding(bytes));
    if (codePage == 0 || codePage == CP_UTF8 || bytes.size() > static_cast<size_t>(INT_MAX))
        return false;
    const int length = static_cast<int>(bytes.size());
    const int chars = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (chars <= 0)
        return false;
    text.assign(static_cast<size_t>(chars), L'\0');
    return ::MultiByteToWideChar(codePage, 0, bytes.data(), length, &text[0], chars) == chars;
}

// The decoded text still names its old encoding, which a parser handed text would try to apply again.
void DropDeclaredEncoding(std::wstring& text)
{
    if (!text.empty() && text[0] == 0xFEFF)
        text.erase(0, 1);
    if (text.compare(0, 5, L"<?xml") != 0)
        return;
    const size_t end = text.find(L"?>");
    const size_t at = text.find(L"encoding", 5);
    if (end == std::wstring::npos || at == std::wstring::npos || at > end)
        return;
    size_t stop = text.find_first_of(L"\"'", at);
    if (stop == std::wstring::npos || stop > end)
        return;
    stop = text.find(text[stop], stop + 1);
    if (stop == std::wstring::npos || stop > end)
        return;
    size_t from = at;
    while (from > 5 && std::iswspace(text[from - 1]))
        --from;
    text.erase(from, stop + 1 - from);
}

// What the XML library would spend on a document, judged from its bytes before it is handed over. The library
// expands internal entities each time they are used and checks an element's attributes against each other, so a
// small file can keep it busy for minutes; real feeds come nowhere near these limits.
const size_t kMaxExpandedEntityChars = 4u * 1024u * 1024u;
const size_t kMaxEntityReferences = 20000u;
const size_t kMaxAttributesPerElement = 2000u;

bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

// The ASCII skeleton of the document: zero bytes dropped, so that UTF-16 and UTF-32 text reads like the rest.
std::string Skeleton(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        if (c != '\0')
            text += c;
    }
    return text;
}

struct EntityCost
{
    size_t chars = 0;      // characters once every reference inside is expanded
    size_t references = 0; // references the library follows to get there
};

class ParseBudget
{
public:
    explicit ParseBudget(std::string text) : m_text(std::move(text)) {}

    bool Allows()
    {
        size_t bodyStart = 0;
        if (!ReadDeclarations(bodyStart))
            return false;
        return WithinReferences(bodyStart) && WithinAttributes(bodyStart);
    }

private:
    // The internal subset's general entities, name and literal value.
    bool ReadDeclarations(size_t& bodyStart)
    {
        const size_t doctype = m_text.find("<!DOCTYPE");
        const size_t firstElement = FirstElement();
        if (doctype == std::string::npos || doctype > firstElement)
            return true;
        const size_t open = m_text.find('[', doctype);
        if (open == std::string::npos || open > firstElement)
            return true;
        size_t at = open;
        for (;;) {
            const size_t entity = m_text.find("<!ENTITY", at);
            const size_t close = m_text.find("]>", at);
            if (entity == std::string::npos || (close != std::string::npos && close < entity)) {
                bodyStart = close == std::string::npos ? m_text.size() : close;
                break;
            }
            size_t p = SkipBlanks(entity + 8);
            if (p < m_text.size() && m_text[p] == '%') {
                at = p + 1;
                continue;
            }
            const size_t nameEnd = NameEnd(p);
            const std::string name = m_text.substr(p, nameEnd - p);
            p = SkipBlanks(nameEnd);
            if (p >= m_text.size() || (m_text[p] != '"' && m_text[p] != '\'')) {
                at = p; // an external entity: never resolved, costs nothing
                continue;
            }
            const size_t end = m_text.find(m_text[p], p + 1);
            if (end == std::string::npos)
                return true; // not well-formed: the library refuses it quickly
            if (!m_values.count(name))
                m_values[name] = m_text.substr(p + 1, end - p - 1);
            at = end + 1;
        }
        for (const auto& value : m_values) {
            EntityCost cost;
            if (!Cost(value.first, cost, 0))
                return false;
        }
        return true;
    }

    size_t FirstElement() const
    {
        for (size_t at = m_text.find('<'); at != std::string::npos; at = m_text.find('<', at + 1)) {
            if (at + 1 < m_text.size() && IsNameChar(m_text[at + 1]))
                return at;
        }
        return m_text.size();
    }

    size_t SkipBlanks(size_t at) const
    {
        while (at < m_text.size() &&
               (m_text[at] == ' ' || m_text[at] == '\t' || m_text[at] == '\r' || m_text[at] == '\n'))
            ++at;
        return at;
    }

    size_t NameEnd(size_t at) const
    {
        while (at < m_text.size() && IsNameChar(m_text[at]))
            ++at;
        return at;
    }

    // The cost of expanding the entity, with the references inside it; false past the budget or for a loop.
    bool Cost(const std::string& name, EntityCost& cost, int depth)
    {
        const auto known = m_costs.find(name);
        if (known != m_costs.end()) {
            cost = known->second;
            return true;
        }
        const auto value = m_values.find(name);
        if (value == m_values.end())
            return true;
        if (depth > 32)
            return false;
        EntityCost total;
        const std::string& text = value->second;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '&' || (i + 1 < text.size() && text[i + 1] == '#')) {
                ++total.chars;
                continue;
            }
            const size_t end = NameEnd(i + 1);
            EntityCost inner;
            if (!Cost(text.substr(i + 1, end - i - 1), inner, depth + 1))
                return false;
            total.chars += inner.chars;
            total.references += inner.references + 1;
            if (total.chars > kMaxExpandedEntityChars || total.references > kMaxEntityReferences)
                return false;
            i = end;
        }
        m_costs[name] = total;
        cost = total;
        return true;
    }

    bool WithinReferences(size_t bodyStart)
    {
        if (m_values.empty())
            return true;
        EntityCost total;
        for (size_t at = m_text.find('&', bodyStart); at != std::string::npos; at = m_text.find('&', at + 1)) {
            const size_t end = NameEnd(at + 1);
            const auto cost = m_costs.find(m_text.substr(at + 1, end - at - 1));
            if (cost == m_costs.end())
                continue;
            total.chars += cost->second.chars;
            total.references += cost->second.references + 1;
            if (total.chars > kMaxExpandedEntityChars || total.references > kMaxEntityReferences)
                return false;
        }
        return true;
    }

    bool WithinAttributes(size_t bodyStart) const
    {
        size_t count = 0;
        bool inTag = false;
        char quote = 0;
        for (size_t i = bodyStart; i < m_text.size(); ++i) {
            const char c = m_text[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (!inTag) {
                if (c == '<' && i + 1 < m_text.size() && IsNameChar(m_text[i + 1])) {
                    inTag = true;
                    count = 0;
                }
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '=') {
                if (++count > kMaxAttributesPerElement)
                    return false;
            } else if (c == '>') {
                inTag = false;
            }
        }
        return true;
    }

    std::string m_text;
    std::map<std::string, std::string> m_values;
    std::map<std::string, EntityCost> m_costs;
};

} // namespace

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

bool IsWithinParseBudget(const std::string& bytes)
{
    return ParseBudget(Skeleton(bytes)).Allows();
}

bool LoadDocument(IXMLDOMDocument* pDoc, LPCWSTR path)
{
    if (!pDoc)
        return false;
    const std::string bytes = ReadFileBytes(path);
    if (bytes.empty() || !IsWithinParseBudget(bytes))
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
    // The parser refuses some encodings that feeds use (Big5, GB 2312, EUC-KR, Shift JIS, KOI8-R, UTF-32 on this
    // platform): the platform's code-page conversion decodes them, and the parser gets the text.
    std::wstring text;
    if (!DecodeXmlFile(bytes, text))
        return false;
    DropDeclaredEncoding(text);
    if (text.size() > static_cast<size_t>(UINT_MAX / 2))
        return false;
    Bstr xml(text.c_str(), static_cast<UINT>(text.size()));
    ok = VARIANT_FALSE;
    return SUCCEEDED(pDoc->loadXML(xml, &ok)) && ok == VARIANT_TRUE;
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
