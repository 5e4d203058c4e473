#include "feeds/XmlDom.h"

#include "feeds/XmlParseBudget.h"
#include <oleauto.h>
#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <string>

namespace {

// The largest document loaded at all: above a long-kept cache (fetched feeds stop at 32 MB); a larger one would
// take the reader many times its size in memory.
const size_t kMaxDocumentBytes = 64u * 1024u * 1024u;

// ---------------------------------------------------------------------------------------------------------------
// The file, read once into the byte array the library loads from.

class FileBytes
{
public:
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes() { Free(); }

    bool Read(LPCWSTR path)
    {
        Free();
        // Shared for deletion too: the safe writer may put a new file in this one's place meanwhile.
        CScopedFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size{};
        if (!file || !::GetFileSizeEx(file, &size) || size.QuadPart <= 0 ||
            static_cast<ULONGLONG>(size.QuadPart) > kMaxDocumentBytes)
            return false;
        m_array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size.QuadPart));
        void* data = nullptr;
        if (!m_array || FAILED(::SafeArrayAccessData(m_array, &data))) {
            Free();
            return false;
        }
        m_data = static_cast<char*>(data);
        DWORD read = 0;
        if (!::ReadFile(file, m_data, static_cast<DWORD>(size.QuadPart), &read, nullptr) ||
            read != static_cast<DWORD>(size.QuadPart)) {
            Free();
            return false;
        }
        m_size = read;
        return true;
    }

    const char* Data() const { return m_data; }
    size_t Size() const { return m_size; }

    // Drops the first bytes (a byte-order mark), so that the array holds only what the library is to read.
    bool DropFront(size_t count)
    {
        if (count == 0)
            return true;
        if (count >= m_size)
            return false;
        memmove(m_data, m_data + count, m_size - count);
        m_size -= count;
        ::SafeArrayUnaccessData(m_array);
        m_data = nullptr;
        SAFEARRAYBOUND bound{static_cast<ULONG>(m_size), 0};
        void* data = nullptr;
        if (FAILED(::SafeArrayRedim(m_array, &bound)) || FAILED(::SafeArrayAccessData(m_array, &data))) {
            Free();
            return false;
        }
        m_data = static_cast<char*>(data);
        return true;
    }

    // Hands the bytes to the document; the array stays ours.
    bool LoadInto(IXMLDOMDocument* pDoc)
    {
        ::SafeArrayUnaccessData(m_array);
        m_data = nullptr;
        VARIANT source;
        ::VariantInit(&source);
        source.vt = VT_ARRAY | VT_UI1;
        source.parray = m_array;
        VARIANT_BOOL ok = VARIANT_FALSE;
        const HRESULT hr = pDoc->load(source, &ok);
        void* data = nullptr;
        if (SUCCEEDED(::SafeArrayAccessData(m_array, &data)))
            m_data = static_cast<char*>(data);
        return SUCCEEDED(hr) && ok == VARIANT_TRUE;
    }

private:
    void Free()
    {
        if (m_array) {
            if (m_data)
                ::SafeArrayUnaccessData(m_array);
            ::SafeArrayDestroy(m_array);
        }
        m_array = nullptr;
        m_data = nullptr;
        m_size = 0;
    }

    SAFEARRAY* m_array = nullptr;
    char* m_data = nullptr;
    size_t m_size = 0;
};

// ---------------------------------------------------------------------------------------------------------------
// How the document's text is read.

enum class Reading
{
    Utf8,    // UTF-8 or ASCII: the library gets the bytes themselves
    Decoded, // decoded here (UTF-16, UTF-32, a code page the library may refuse): the library gets the text
    Foreign, // named in an encoding unknown here: the library gets the bytes and decodes them itself
    Refused, // UTF-7, or a text that does not start as XML: never handed over
};

// Names feeds use for encodings, with the code pages that decode them. ISO 8859-1 is read as windows-1252, as
// browsers read it: feeds so labelled carry its quotes and dashes in 0x80-0x9F. The second page stands in where
// the first is missing (GBK for GB 18030, UHC for EUC-KR, both supersets).
struct EncodingName
{
    const char* name;
    UINT codePages[2]; // tried in order; 0 ends the list
};

const EncodingName kEncodings[] = {
    {"big5", {950, 0}},
    {"big-5", {950, 0}},
    {"cn-big5", {950, 0}},
    {"x-x-big5", {950, 0}},
    {"csbig5", {950, 0}},
    {"big5-hkscs", {950, 0}},
    {"gb2312", {936, 0}},
    {"gbk", {936, 0}},
    {"x-gbk", {936, 0}},
    {"cp936", {936, 0}},
    {"gb_2312-80", {936, 0}},
    {"csgb2312", {936, 0}},
    {"euc-cn", {936, 0}},
    {"x-euc-cn", {936, 0}},
    {"gb18030", {54936, 936}},
    {"hz-gb-2312", {52936, 0}},
    {"euc-kr", {51949, 949}},
    {"cseuckr", {51949, 949}},
    {"ks_c_5601-1987", {949, 0}},
    {"cp949", {949, 0}},
    {"iso-2022-kr", {50225, 0}},
    {"johab", {1361, 0}},
    {"shift_jis", {932, 0}},
    {"shift-jis", {932, 0}},
    {"sjis", {932, 0}},
    {"x-sjis", {932, 0}},
    {"ms_kanji", {932, 0}},
    {"csshiftjis", {932, 0}},
    {"windows-31j", {932, 0}},
    {"cp932", {932, 0}},
    {"euc-jp", {51932, 20932}},
    {"x-euc-jp", {51932, 20932}},
    {"iso-2022-jp", {50220, 0}},
    {"csiso2022jp", {50220, 0}},
    {"koi8-r", {20866, 0}},
    {"cskoi8r", {20866, 0}},
    {"koi8", {20866, 0}},
    {"koi8-u", {21866, 0}},
    {"koi8-ru", {21866, 0}},
    {"ibm866", {866, 0}},
    {"cp866", {866, 0}},
    {"csibm866", {866, 0}},
    {"866", {866, 0}},
    {"mac-cyrillic", {10007, 0}},
    {"x-mac-cyrillic", {10007, 0}},
    {"tis-620", {874, 0}},
    {"windows-874", {874, 0}},
    {"iso-8859-11", {874, 0}},
    {"cp874", {874, 0}},
    {"us-ascii", {20127, 0}},
    {"ascii", {20127, 0}},
    {"macintosh", {10000, 0}},
    {"mac", {10000, 0}},
    {"x-mac-roman", {10000, 0}},
    {"ibm437", {437, 0}},
    {"cp437", {437, 0}},
    {"ibm850", {850, 0}},
    {"cp850", {850, 0}},
    {"ibm852", {852, 0}},
    {"cp852", {852, 0}},
    {"iso-8859-1", {1252, 0}},
    {"iso8859-1", {1252, 0}},
    {"iso_8859-1", {1252, 0}},
    {"latin1", {1252, 0}},
    {"latin-1", {1252, 0}},
    {"l1", {1252, 0}},
    {"cp819", {1252, 0}},
    {"ibm819", {1252, 0}},
    {"csisolatin1", {1252, 0}},
    {"iso-ir-100", {1252, 0}},
    {"iso_8859-1:1987", {1252, 0}},
    {"latin2", {28592, 0}},
    {"latin3", {28593, 0}},
    {"latin4", {28594, 0}},
    {"latin5", {28599, 0}},
    {"latin9", {28605, 0}},
    {"iso-8859-8-i", {38598, 28598}},
};

const char* const kUtf8Names[] = {"utf-8", "utf8", "unicode-1-1-utf-8", "x-unicode20utf8", "unicode20utf8"};

std::string Lower(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return name;
}

// The decimal number that the whole text after the prefix is (at most digits long), or -1.
int NumberAfter(const std::string& name, const char* prefix, size_t digits)
{
    const size_t n = std::char_traits<char>::length(prefix);
    if (name.compare(0, n, prefix) != 0 || name.size() == n || name.size() > n + digits)
        return -1;
    int value = 0;
    for (size_t i = n; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return -1;
        value = value * 10 + (name[i] - '0');
    }
    return value;
}

// UTF-7 hides markup from a reader of ASCII ("+ADw-" is '<'), and the library's reading of it is quadratic. Any
// spelling counts.
bool IsUtf7Name(const std::string& name)
{
    std::string letters;
    for (char c : name)
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            letters += c;
    return letters.find("utf7") != std::string::npos;
}

// The code page of an encoding name (lower case): the table, "iso-8859-N", "windows-125N", "cp125N" and a few
// numeric spellings; 0 when none is known here.
UINT CodePageOf(const std::string& name)
{
    for (const EncodingName& entry : kEncodings) {
        if (name != entry.name)
            continue;
        for (UINT codePage : entry.codePages)
            if (codePage != 0 && ::IsValidCodePage(codePage))
                return codePage;
        return 0;
    }
    for (const char* prefix : {"iso-8859-", "iso8859-", "iso_8859-"}) {
        const int latin = NumberAfter(name, prefix, 2);
        if (latin >= 1 && latin <= 16 && ::IsValidCodePage(28590 + latin))
            return static_cast<UINT>(28590 + latin);
    }
    for (const char* prefix : {"windows-", "windows", "x-cp", "cp", "win-", "ibm", "ibm-", "csibm"}) {
        const int number = NumberAfter(name, prefix, 5);
        // 65000 is UTF-7, which is never read.
        if (number > 0 && number != 65000 && ::IsValidCodePage(static_cast<UINT>(number)))
            return static_cast<UINT>(number);
    }
    return 0;
}

// The value of the encoding pseudo-attribute of an XML declaration written in ASCII-compatible bytes.
std::string DeclaredEncoding(const char* bytes, size_t size)
{
    const std::string head(bytes, std::min<size_t>(size, 512));
    if (head.compare(0, 5, "<?xml") != 0)
        return std::string();
    const size_t end = head.find("?>");
    const size_t at = head.find("encoding", 5);
    if (end == std::string::npos || at == std::string::npos || at > end)
        return std::string();
    size_t i = at + 8;
    while (i < end && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n'))
        ++i;
    if (i >= end || head[i] != '=')
        return std::string();
    ++i;
    while (i < end && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n'))
        ++i;
    if (i >= end || (head[i] != '"' && head[i] != '\''))
        return std::string();
    const size_t close = head.find(head[i], i + 1);
    return close == std::string::npos || close > end ? std::string() : head.substr(i + 1, close - i - 1);
}

bool StartsWith(const char* bytes, size_t size, const char* prefix, size_t n)
{
    return size >= n && memcmp(bytes, prefix, n) == 0;
}

// Decoded text in a BSTR, which is what the library is handed.
bool DecodeUtf16(const char* bytes, size_t size, bool bigEndian, XmlDom::Bstr& text)
{
    const size_t count = size / 2;
    if (count > UINT_MAX / 2)
        return false;
    BSTR out = *text.Receive() = ::SysAllocStringLen(nullptr, static_cast<UINT>(count));
    if (!out)
        return false;
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < count; ++i, b += 2)
        out[i] = static_cast<wchar_t>(bigEndian ? (b[0] << 8) | b[1] : (b[1] << 8) | b[0]);
    return true;
}

bool DecodeUtf32(const char* bytes, size_t size, bool bigEndian, XmlDom::Bstr& text)
{
    std::wstring wide;
    wide.reserve(size / 4);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i + 4 <= size; i += 4, b += 4) {
        const unsigned long code = bigEndian
                                       ? (static_cast<unsigned long>(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3]
                                       : (static_cast<unsigned long>(b[3]) << 24) | (b[2] << 16) | (b[1] << 8) | b[0];
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        if (code >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(code);
        }
    }
    if (wide.size() > UINT_MAX / 2)
        return false;
    *text.Receive() = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return text.Get() != nullptr;
}

bool DecodeCodePage(const char* bytes, size_t size, UINT codePage, XmlDom::Bstr& text)
{
    if (size > static_cast<size_t>(INT_MAX))
        return false;
    const int length = static_cast<int>(size);
    const int chars = ::MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    if (chars <= 0)
        return false;
    BSTR out = *text.Receive() = ::SysAllocStringLen(nullptr, static_cast<UINT>(chars));
    return out && ::MultiByteToWideChar(codePage, 0, bytes, length, out, chars) == chars;
}

// The decoded text still names its old encoding, which a parser handed text would try to apply again: the
// pseudo-attribute is blanked out in place.
void BlankDeclaredEncoding(XmlDom::Bstr& text)
{
    wchar_t* s = text.Get();
    const size_t n = text.Length();
    if (!s)
        return;
    size_t start = 0;
    if (n > 0 && s[0] == 0xFEFF)
        s[start++] = L' ';
    const std::wstring head(s + start, std::min<size_t>(n - start, 512));
    if (head.compare(0, 5, L"<?xml") != 0)
        return;
    if (start) {
        // The declaration must open the text: the mark's blank goes after it instead.
        memmove(s, s + 1, (n - 1) * sizeof(wchar_t));
        s[n - 1] = L' ';
    }
    const size_t end = head.find(L"?>");
    const size_t at = head.find(L"encoding", 5);
    if (end == std::wstring::npos || at == std::wstring::npos || at > end)
        return;
    size_t stop = head.find_first_of(L"\"'", at);
    if (stop == std::wstring::npos || stop > end)
        return;
    stop = head.find(head[stop], stop + 1);
    if (stop == std::wstring::npos || stop > end)
        return;
    for (size_t i = at; i <= stop; ++i)
        s[i] = L' ';
}

// Decides how the document is read and, for text decoded here, decodes it. The bytes of Utf8 and Foreign
// documents are read from offset skip (past a UTF-8 byte-order mark).
Reading ReadingOf(const char* bytes, size_t size, XmlDom::Bstr& text, size_t& skip)
{
    skip = 0;
    if (StartsWith(bytes, size, "\xFF\xFE\0\0", 4))
        return DecodeUtf32(bytes + 4, size - 4, false, text) ? Reading::Decoded : Reading::Refused;
    if (StartsWith(bytes, size, "\0\0\xFE\xFF", 4))
        return DecodeUtf32(bytes + 4, size - 4, true, text) ? Reading::Decoded : Reading::Refused;
    if (StartsWith(bytes, size, "<\0\0\0", 4))
        return DecodeUtf32(bytes, size, false, text) ? Reading::Decoded : Reading::Refused;
    if (StartsWith(bytes, size, "\0\0\0<", 4))
        return DecodeUtf32(bytes, size, true, text) ? Reading::Decoded : Reading::Refused;
    if (StartsWith(bytes, size, "\xFF\xFE", 2))
        return DecodeUtf16(bytes + 2, size - 2, false, text) ? Reading::Decoded : Reading::Refused;
    if (StartsWith(bytes, size, "\xFE\xFF", 2))
        return DecodeUtf16(bytes + 2, size - 2, true, text) ? Reading::Decoded : Reading::Refused;
    if (StartsWith(bytes, size, "<\0", 2))
        return DecodeUtf16(bytes, size, false, text) ? Reading::Decoded : Reading::Refused;
    if (StartsWith(bytes, size, "\0<", 2))
        return DecodeUtf16(bytes, size, true, text) ? Reading::Decoded : Reading::Refused;
    if (StartsWith(bytes, size, "\xEF\xBB\xBF", 3))
        skip = 3;
    // XML opens with '<' (white space may come first when there is no declaration). Anything else, a UTF-7 mark
    // ("+/v") or EBCDIC ("Lo" in ASCII) among it, would be read by rules not checked here.
    size_t first = skip;
    while (first < size &&
           (bytes[first] == ' ' || bytes[first] == '\t' || bytes[first] == '\r' || bytes[first] == '\n'))
        ++first;
    if (first >= size || bytes[first] != '<')
        return Reading::Refused;
    if (skip)
        return Reading::Utf8;
    const std::string name = Lower(DeclaredEncoding(bytes, size));
    if (name.empty() || name.compare(0, 6, "utf-16") == 0 || name.compare(0, 6, "utf-32") == 0 ||
        std::find(std::begin(kUtf8Names), std::end(kUtf8Names), name) != std::end(kUtf8Names))
        return Reading::Utf8;
    if (IsUtf7Name(name) || name.find("ebcdic") != std::string::npos)
        return Reading::Refused;
    const UINT codePage = CodePageOf(name);
    if (codePage != 0)
        return DecodeCodePage(bytes, size, codePage, text) ? Reading::Decoded : Reading::Refused;
    return Reading::Foreign;
}

// The bytes judged as the library will read them.
bool Judge(Reading reading, const char* bytes, size_t size, const XmlDom::Bstr& text)
{
    switch (reading) {
    case Reading::Utf8:
    case Reading::Foreign:
        // Markup is ASCII in every encoding that is not refused or decoded here.
        return XmlParseBudget::Allows(bytes, size);
    case Reading::Decoded:
        return XmlParseBudget::Allows(static_cast<const wchar_t*>(text.Get()), text.Length());
    default:
        return false;
    }
}

// Hands bytes in an encoding the library names itself through a stream over a copy of them.
bool LoadForeign(IXMLDOMDocument* pDoc, const char* bytes, size_t size)
{
    if (size > UINT_MAX)
        return false;
    XmlDom::Ptr<IStream> stream(::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes), static_cast<UINT>(size)));
    if (!stream)
        return false;
    VARIANT source;
    ::VariantInit(&source);
    source.vt = VT_UNKNOWN;
    source.punkVal = stream.Get();
    VARIANT_BOOL ok = VARIANT_FALSE;
    return SUCCEEDED(pDoc->load(source, &ok)) && ok == VARIANT_TRUE;
}

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
    Bstr text;
    size_t skip = 0;
    const Reading reading = ReadingOf(bytes.data(), bytes.size(), text, skip);
    return Judge(reading, bytes.data() + skip, bytes.size() - skip, text);
}

bool LoadDocument(IXMLDOMDocument* pDoc, LPCWSTR path)
{
    FileBytes file;
    if (!pDoc || !file.Read(path))
        return false;
    Bstr text;
    size_t skip = 0;
    const Reading reading = ReadingOf(file.Data(), file.Size(), text, skip);
    if (!Judge(reading, file.Data() + skip, file.Size() - skip, text))
        return false;
    bool loaded = false;
    VARIANT_BOOL ok = VARIANT_FALSE;
    switch (reading) {
    case Reading::Utf8:
        loaded = file.DropFront(skip) && file.LoadInto(pDoc);
        break;
    case Reading::Decoded:
        // The library refuses several encodings feeds use (Big5, GB 2312, EUC-KR, Shift JIS, KOI8-R, UTF-32 on
        // this platform): it gets the text the platform's code-page conversion made of them.
        BlankDeclaredEncoding(text);
        loaded = SUCCEEDED(pDoc->loadXML(text, &ok)) && ok == VARIANT_TRUE;
        break;
    case Reading::Foreign:
        loaded = LoadForeign(pDoc, file.Data(), file.Size());
        break;
    default:
        break;
    }
    if (!loaded) {
        // The reason is read as the system does, but nobody is shown it.
        Ptr<IXMLDOMParseError> error;
        if (SUCCEEDED(pDoc->get_parseError(error.Receive())) && error) {
            Bstr reason;
            error->get_reason(reason.Receive());
        }
    }
    return loaded;
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
