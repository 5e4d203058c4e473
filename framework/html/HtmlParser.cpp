#include "framework/html/HtmlParser.h"

#include <cctype>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/html/HtmlEntities.h"

namespace {

// ---------------------------------------------------------------------------------------------------------------
// Character sets

wchar_t LowerAscii(wchar_t ch)
{
    return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch + 32) : ch;
}

bool IsSpace(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\n' || ch == L'\r' || ch == L'\f';
}

bool IsValidUtf8(const unsigned char* p, size_t size)
{
    size_t i = 0;
    while (i < size) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t extra;
        unsigned int min;
        if ((c & 0xE0) == 0xC0)
            extra = 1, min = 0x80;
        else if ((c & 0xF0) == 0xE0)
            extra = 2, min = 0x800;
        else if ((c & 0xF8) == 0xF0)
            extra = 3, min = 0x10000;
        else
            return false;
        unsigned int value = c & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) {
            if (i + k >= size || (p[i + k] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (p[i + k] & 0x3F);
        }
        if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

// Every invalid or truncated sequence becomes one U+FFFD and decoding goes on with the next byte.
void DecodeUtf8(const unsigned char* p, size_t size, std::wstring& out)
{
    out.reserve(out.size() + size);
    size_t i = 0;
    while (i < size) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            out.push_back(static_cast<wchar_t>(c));
            ++i;
            continue;
        }
        size_t extra = 0;
        unsigned int min = 0;
        if ((c & 0xE0) == 0xC0)
            extra = 1, min = 0x80;
        else if ((c & 0xF0) == 0xE0)
            extra = 2, min = 0x800;
        else if ((c & 0xF8) == 0xF0)
            extra = 3, min = 0x10000;
        unsigned int value = c & (0x3F >> extra);
        size_t k = 1;
        bool ok = extra != 0;
        for (; ok && k <= extra; ++k) {
            if (i + k >= size || (p[i + k] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            value = (value << 6) | (p[i + k] & 0x3F);
        }
        if (!ok || value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            out.push_back(L'\xFFFD');
            i += ok ? extra + 1 : (k > 1 ? k : 1);
            continue;
        }
        HtmlAppendCodePoint(value, out);
        i += extra + 1;
    }
}

struct CharsetName
{
    const char* name;
    UINT codePage;
};

const CharsetName kCharsets[] = {
    {"utf-8", CP_UTF8},
    {"utf8", CP_UTF8},
    {"unicode-1-1-utf-8", CP_UTF8},
    // A page that says UTF-16 in its own 8-bit text cannot be UTF-16: browsers read it as UTF-8.
    {"utf-16", CP_UTF8},
    {"utf-16le", CP_UTF8},
    {"utf-16be", CP_UTF8},
    {"windows-1252", 1252},
    {"cp1252", 1252},
    {"iso-8859-1", 1252},
    {"iso8859-1", 1252},
    {"latin1", 1252},
    {"l1", 1252},
    {"us-ascii", 1252},
    {"ascii", 1252},
    {"iso-8859-15", 28605},
    {"windows-1250", 1250},
    {"windows-1251", 1251},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"windows-1255", 1255},
    {"windows-1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    {"iso-8859-2", 28592},
    {"iso-8859-5", 28595},
    {"iso-8859-7", 28597},
    {"koi8-r", 20866},
    {"koi8-u", 21866},
    {"shift_jis", 932},
    {"shift-jis", 932},
    {"sjis", 932},
    {"euc-jp", 20932},
    {"gb2312", 936},
    {"gbk", 936},
    {"gb18030", 54936},
    {"big5", 950},
    {"euc-kr", 949},
    {"ks_c_5601-1987", 949},
};

UINT CodePageOfName(const std::string& name, std::string* canonical)
{
    for (const CharsetName& entry : kCharsets)
        if (name == entry.name) {
            if (canonical)
                *canonical = entry.codePage == CP_UTF8 ? "utf-8" : entry.codePage == 1252 ? "windows-1252" : name;
            return entry.codePage;
        }
    return 0;
}

// The charset named after "charset=" or "encoding=" at pos in the lower-cased head.
std::string NameAt(const std::string& head, size_t pos)
{
    while (pos < head.size() && (head[pos] == ' ' || head[pos] == '"' || head[pos] == '\'' || head[pos] == '='))
        ++pos;
    size_t end = pos;
    while (end < head.size() && (isalnum(static_cast<unsigned char>(head[end])) || head[end] == '-' ||
                                 head[end] == '_' || head[end] == '.' || head[end] == ':'))
        ++end;
    return head.substr(pos, end - pos);
}

// Looks for a declared charset in the first bytes: <meta charset>, <meta http-equiv content="...charset=...">
// and the XML declaration.
UINT DeclaredCodePage(const unsigned char* p, size_t size, std::string* canonical)
{
    std::string head(reinterpret_cast<const char*>(p), size < 4096 ? size : 4096);
    for (char& ch : head)
        ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
    if (head.compare(0, 5, "<?xml") == 0) {
        const size_t close = head.find("?>");
        const size_t at = head.find("encoding", 0);
        if (at != std::string::npos && (close == std::string::npos || at < close))
            if (const UINT cp = CodePageOfName(NameAt(head, at + 8), canonical))
                return cp;
    }
    size_t pos = 0;
    while ((pos = head.find("<meta", pos)) != std::string::npos) {
        const size_t close = head.find('>', pos);
        const size_t end = close == std::string::npos ? head.size() : close;
        const size_t at = head.find("charset", pos);
        if (at != std::string::npos && at < end)
            if (const UINT cp = CodePageOfName(NameAt(head, at + 7), canonical))
                return cp;
        pos = end;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------------------------
// Tree building

bool IsOneOf(const CString& name, std::initializer_list<const wchar_t*> names)
{
    for (const wchar_t* candidate : names)
        if (name == candidate)
            return true;
    return false;
}

bool IsVoid(const CString& name)
{
    return IsOneOf(name, {L"br", L"img", L"hr", L"wbr", L"input", L"meta", L"link", L"col", L"area", L"base", L"param",
                          L"source", L"track", L"basefont", L"isindex", L"keygen", L"embed", L"frame"});
}

// Elements whose start closes an open paragraph.
bool ClosesParagraph(const CString& name)
{
    return IsOneOf(name, {L"p",       L"div",    L"ul",     L"ol",      L"li",   L"dl",       L"dt",         L"dd",
                          L"h1",      L"h2",     L"h3",     L"h4",      L"h5",   L"h6",       L"blockquote", L"pre",
                          L"hr",      L"table",  L"center", L"address", L"form", L"fieldset", L"article",    L"section",
                          L"header",  L"footer", L"nav",    L"aside",   L"main", L"figure",   L"figcaption", L"details",
                          L"summary", L"menu",   L"dir",    L"listing", L"xmp",  L"plaintext"});
}

bool IsHeading(const CString& name)
{
    return name.GetLength() == 2 && name[0] == L'h' && name[1] >= L'1' && name[1] <= L'6';
}

bool IsFormatting(const CString& name)
{
    return IsOneOf(name, {L"b",    L"i",     L"u",    L"s",    L"em",   L"strong", L"strike", L"del", L"ins",
                          L"font", L"small", L"big",  L"code", L"tt",   L"kbd",    L"samp",   L"var", L"cite",
                          L"sub",  L"sup",   L"span", L"nobr", L"mark", L"q",      L"abbr",   L"dfn"});
}

bool IsTableSection(const CString& name)
{
    return IsOneOf(name, {L"tbody", L"thead", L"tfoot"});
}

// Elements dropped with everything inside them; their content is skipped as raw text up to the end tag.
bool IsDroppedContainer(const CString& name)
{
    return IsOneOf(name, {L"script", L"style", L"object", L"applet", L"iframe", L"frameset", L"noscript", L"noembed",
                          L"template", L"svg", L"math"});
}

bool IsDroppedVoid(const CString& name)
{
    return IsOneOf(name, {L"embed", L"frame", L"param", L"base"});
}

class TreeBuilder
{
public:
    TreeBuilder(CHtmlDocument& doc, const std::wstring& text) : m_doc(doc), m_text(text)
    {
        m_head = doc.CreateElement(L"head");
        m_body = doc.CreateElement(L"body");
        CHtmlDocument::AppendChild(doc.GetRoot(), m_head);
        CHtmlDocument::AppendChild(doc.GetRoot(), m_body);
        m_stack.push_back(m_body);
    }

    void Run();

private:
    CHtmlNode* Current() const { return m_stack.back(); }
    int OpenCount(const CString& name) const
    {
        auto it = m_open.find(std::wstring(name));
        return it == m_open.end() ? 0 : it->second;
    }
    void Push(CHtmlNode* node)
    {
        m_stack.push_back(node);
        ++m_open[std::wstring(node->m_strName)];
    }
    void Pop()
    {
        --m_open[std::wstring(m_stack.back()->m_strName)];
        m_stack.pop_back();
    }
    // Pops up to and including the innermost open element of that name, not crossing the boundaries; false
    // when there is none.
    bool CloseElement(const CString& name, std::initializer_list<const wchar_t*> boundaries, bool reopen);
    void AddText(const wchar_t* p, size_t length, bool decode);
    void StartTag(CString& name, std::vector<CHtmlAttribute>& attributes, bool selfClosing);
    void EndTag(const CString& name);
    void Insert(CHtmlNode* node, bool push);
    void EnsureTableContext(bool cell);
    bool SkipRawText(size_t& i, const CString& name);
    void ReadAttributes(size_t& i, std::vector<CHtmlAttribute>& attributes, bool& selfClosing);

    CHtmlDocument& m_doc;
    const std::wstring& m_text;
    CHtmlNode* m_head = nullptr;
    CHtmlNode* m_body = nullptr;
    std::vector<CHtmlNode*> m_stack;
    std::unordered_map<std::wstring, int> m_open;
    std::wstring m_scratch;
    std::wstring m_title;
};

bool TreeBuilder::CloseElement(const CString& name, std::initializer_list<const wchar_t*> boundaries, bool reopen)
{
    if (OpenCount(name) == 0)
        return false;
    size_t index = m_stack.size();
    while (index > 1) {
        CHtmlNode* node = m_stack[index - 1];
        if (node->m_strName == name)
            break;
        if (IsOneOf(node->m_strName, boundaries))
            return false;
        --index;
    }
    if (index <= 1)
        return false;
    // Formatting elements closed early by a misnested end tag ("<b><i></b></i>") go on after it, as browsers
    // show them; a few at most, so the cost stays bounded.
    std::vector<CHtmlNode*> again;
    if (reopen)
        for (size_t k = index; k < m_stack.size() && again.size() < 8; ++k)
            if (IsFormatting(m_stack[k]->m_strName))
                again.push_back(m_stack[k]);
    while (m_stack.size() >= index)
        Pop();
    for (CHtmlNode* original : again) {
        CHtmlNode* copy = m_doc.CreateElement(original->m_strName);
        copy->m_attributes = original->m_attributes;
        Insert(copy, true);
    }
    return true;
}

void TreeBuilder::Insert(CHtmlNode* node, bool push)
{
    CHtmlDocument::AppendChild(Current(), node);
    // Past the depth limit an element still takes its place but does not open: what follows becomes its sibling.
    if (push && static_cast<int>(m_stack.size()) < CHtmlParser::MaxDepth)
        Push(node);
}

// Content placed straight into a table or row gets the row and cell it lacks, so the table stays a grid.
void TreeBuilder::EnsureTableContext(bool cell)
{
    const CString& current = Current()->m_strName;
    if (current == L"table" || IsTableSection(current)) {
        Insert(m_doc.CreateElement(L"tr"), true);
    }
    if (cell && Current()->m_strName == L"tr")
        Insert(m_doc.CreateElement(L"td"), true);
}

void TreeBuilder::AddText(const wchar_t* p, size_t length, bool decode)
{
    if (length == 0)
        return;
    m_scratch.clear();
    if (decode)
        HtmlDecodeEntities(p, length, m_scratch, false);
    else
        m_scratch.assign(p, length);
    for (wchar_t& ch : m_scratch)
        if (ch == 0)
            ch = L'\xFFFD';
    bool blank = true;
    for (wchar_t ch : m_scratch)
        if (!IsSpace(ch)) {
            blank = false;
            break;
        }
    const CString& current = Current()->m_strName;
    if (current == L"table" || current == L"tr" || IsTableSection(current)) {
        if (blank)
            return;
        EnsureTableContext(true);
    }
    CHtmlNode* parent = Current();
    if (!parent->m_children.empty() && parent->m_children.back()->IsText()) {
        CString& existing = parent->m_children.back()->m_strText;
        existing.Append(m_scratch.c_str(), static_cast<int>(m_scratch.size()));
        return;
    }
    CHtmlDocument::AppendChild(parent, m_doc.CreateText(m_scratch.c_str(), static_cast<int>(m_scratch.size())));
}

void TreeBuilder::StartTag(CString& name, std::vector<CHtmlAttribute>& attributes, bool selfClosing)
{
    if (name == L"html" || name == L"body" || name == L"head") {
        CHtmlNode* target = name == L"html" ? m_doc.GetRoot() : name == L"body" ? m_body : m_head;
        for (CHtmlAttribute& attribute : attributes)
            if (!target->HasAttribute(attribute.m_strName))
                target->m_attributes.push_back(attribute);
        return;
    }
    if (name == L"title")
        return;
    if (name == L"meta") {
        // A refresh would navigate by itself: never kept.
        for (const CHtmlAttribute& attribute : attributes)
            if (attribute.m_strName == L"http-equiv" && attribute.m_strValue.CompareNoCase(L"refresh") == 0)
                return;
        CHtmlNode* meta = m_doc.CreateElement(L"meta");
        meta->m_attributes = std::move(attributes);
        CHtmlDocument::AppendChild(m_head, meta);
        return;
    }
    if (name == L"link") {
        CHtmlNode* link = m_doc.CreateElement(L"link");
        link->m_attributes = std::move(attributes);
        CHtmlDocument::AppendChild(m_head, link);
        return;
    }
    if (IsDroppedVoid(name))
        return;
    if (name == L"image")
        name = L"img";

    if (ClosesParagraph(name))
        CloseElement(L"p", {L"table", L"td", L"th", L"caption", L"button"}, false);
    if (name == L"li") {
        CloseElement(L"li", {L"ul", L"ol", L"table", L"td", L"th", L"menu", L"dir"}, false);
    } else if (name == L"dt" || name == L"dd") {
        if (!CloseElement(L"dt", {L"dl", L"table", L"td", L"th"}, false))
            CloseElement(L"dd", {L"dl", L"table", L"td", L"th"}, false);
    } else if (name == L"option" || name == L"optgroup") {
        if (Current()->m_strName == L"option")
            Pop();
    } else if (IsHeading(name)) {
        if (IsHeading(Current()->m_strName))
            Pop();
    } else if (name == L"a") {
        // Links do not nest.
        CloseElement(L"a", {L"table", L"td", L"th", L"caption"}, true);
    } else if (name == L"td" || name == L"th" || name == L"tr" || IsTableSection(name) || name == L"caption" ||
               name == L"col" || name == L"colgroup") {
        if (OpenCount(L"table") == 0)
            return; // a stray table part outside any table
        if (name == L"td" || name == L"th") {
            if (!CloseElement(L"td", {L"table", L"tr"}, false))
                CloseElement(L"th", {L"table", L"tr"}, false);
            EnsureTableContext(false);
        } else if (name == L"tr") {
            CloseElement(L"tr", {L"table"}, false);
        } else if (IsTableSection(name)) {
            if (!CloseElement(L"tbody", {L"table"}, false) && !CloseElement(L"thead", {L"table"}, false))
                CloseElement(L"tfoot", {L"table"}, false);
        }
        if (name == L"col" || name == L"colgroup")
            return;
    } else {
        const CString& current = Current()->m_strName;
        if (current == L"table" || current == L"tr" || IsTableSection(current))
            EnsureTableContext(true);
    }
    CHtmlNode* element = m_doc.CreateElement(name);
    element->m_attributes = std::move(attributes);
    Insert(element, !selfClosing && !IsVoid(name));
}

void TreeBuilder::EndTag(const CString& name)
{
    if (name == L"br") {
        // "</br>" is a line break in every browser.
        CString br(L"br");
        std::vector<CHtmlAttribute> none;
        StartTag(br, none, true);
        return;
    }
    if (name == L"title" || name == L"html" || name == L"body" || name == L"head")
        return;
    if (name == L"table") {
        CloseElement(name, {}, false);
    } else if (name == L"tr" || name == L"td" || name == L"th" || IsTableSection(name) || name == L"caption") {
        CloseElement(name, {L"table"}, false);
    } else if (name == L"li") {
        CloseElement(name, {L"ul", L"ol", L"table", L"td", L"th"}, false);
    } else if (IsHeading(name) && OpenCount(name) == 0) {
        // "<h2>...</h3>" ends the open heading.
        for (const wchar_t* other : {L"h1", L"h2", L"h3", L"h4", L"h5", L"h6"})
            if (CloseElement(other, {L"table", L"td", L"th"}, false))
                break;
    } else {
        CloseElement(name, {L"table", L"td", L"th", L"caption"}, IsFormatting(name) || name == L"a");
    }
}

// Skips the content of a dropped element or reads a raw text element, up to its end tag (or the end: false).
bool TreeBuilder::SkipRawText(size_t& i, const CString& name)
{
    const size_t length = m_text.size();
    const int nameLength = name.GetLength();
    for (size_t k = i; k + 1 < length; ++k) {
        if (m_text[k] != L'<' || m_text[k + 1] != L'/')
            continue;
        bool match = k + 2 + static_cast<size_t>(nameLength) <= length;
        for (int n = 0; match && n < nameLength; ++n)
            match = LowerAscii(m_text[k + 2 + static_cast<size_t>(n)]) == name[n];
        if (!match)
            continue;
        const size_t after = k + 2 + static_cast<size_t>(nameLength);
        if (after < length && !IsSpace(m_text[after]) && m_text[after] != L'>' && m_text[after] != L'/')
            continue;
        const size_t close = m_text.find(L'>', after);
        i = close == std::wstring::npos ? length : close + 1;
        return true;
    }
    i = length;
    return false;
}

void TreeBuilder::ReadAttributes(size_t& i, std::vector<CHtmlAttribute>& attributes, bool& selfClosing)
{
    const size_t length = m_text.size();
    selfClosing = false;
    while (i < length) {
        while (i < length && IsSpace(m_text[i]))
            ++i;
        if (i >= length)
            return;
        const wchar_t ch = m_text[i];
        if (ch == L'>') {
            ++i;
            return;
        }
        if (ch == L'/') {
            ++i;
            if (i < length && m_text[i] == L'>') {
                selfClosing = true;
                ++i;
                return;
            }
            continue;
        }
        const size_t nameStart = i;
        ++i; // a name may start with any character but those handled above, even '=' or a quote
        while (i < length && !IsSpace(m_text[i]) && m_text[i] != L'>' && m_text[i] != L'/' && m_text[i] != L'=')
            ++i;
        CHtmlAttribute attribute;
        std::wstring attributeName(m_text, nameStart, i - nameStart);
        for (wchar_t& c : attributeName)
            c = LowerAscii(c);
        attribute.m_strName.SetString(attributeName.c_str(), static_cast<int>(attributeName.size()));
        size_t look = i;
        while (look < length && IsSpace(m_text[look]))
            ++look;
        if (look < length && m_text[look] == L'=') {
            i = look + 1;
            while (i < length && IsSpace(m_text[i]))
                ++i;
            size_t valueStart = i, valueEnd;
            if (i < length && (m_text[i] == L'"' || m_text[i] == L'\'')) {
                const wchar_t quote = m_text[i];
                valueStart = i + 1;
                const size_t close = m_text.find(quote, valueStart);
                valueEnd = close == std::wstring::npos ? length : close;
                i = close == std::wstring::npos ? length : close + 1;
            } else {
                while (i < length && !IsSpace(m_text[i]) && m_text[i] != L'>')
                    ++i;
                valueEnd = i;
            }
            m_scratch.clear();
            HtmlDecodeEntities(m_text.data() + valueStart, valueEnd - valueStart, m_scratch, true);
            for (wchar_t& c : m_scratch)
                if (c == 0)
                    c = L'\xFFFD';
            attribute.m_strValue.SetString(m_scratch.c_str(), static_cast<int>(m_scratch.size()));
        }
        bool duplicate = false;
        for (const CHtmlAttribute& existing : attributes)
            duplicate = duplicate || existing.m_strName == attribute.m_strName;
        // Event handlers are script: never kept.
        const bool handler = attributeName.size() > 2 && attributeName[0] == L'o' && attributeName[1] == L'n';
        if (!duplicate && !handler && attributes.size() < 64)
            attributes.push_back(std::move(attribute));
    }
}

bool IsScriptUrl(const CString& value)
{
    std::wstring scheme;
    for (int i = 0; i < value.GetLength() && scheme.size() < 16; ++i) {
        const wchar_t ch = value[i];
        if (ch <= L' ')
            continue; // browsers ignore blanks and control characters inside the scheme
        if (ch == L':')
            return scheme == L"javascript" || scheme == L"vbscript" || scheme == L"livescript";
        scheme.push_back(LowerAscii(ch));
    }
    return false;
}

void TreeBuilder::Run()
{
    const size_t length = m_text.size();
    size_t i = 0, textStart = 0;
    std::vector<CHtmlAttribute> attributes;
    while (i < length) {
        if (m_text[i] != L'<' || i + 1 >= length) {
            ++i;
            continue;
        }
        const wchar_t next = m_text[i + 1];
        const bool letter = (next >= L'a' && next <= L'z') || (next >= L'A' && next <= L'Z');
        const bool endTag =
            next == L'/' && i + 2 < length &&
            ((m_text[i + 2] >= L'a' && m_text[i + 2] <= L'z') || (m_text[i + 2] >= L'A' && m_text[i + 2] <= L'Z'));
        if (!letter && !endTag && next != L'!' && next != L'?' && next != L'/') {
            ++i; // a lone '<' is text
            continue;
        }
        AddText(m_text.data() + textStart, i - textStart, true);
        if (next == L'!' && m_text.compare(i, 4, L"<!--") == 0) {
            const size_t close = m_text.find(L"-->", i + 4);
            i = close == std::wstring::npos ? length : close + 3;
        } else if (next == L'!' && m_text.compare(i, 9, L"<![CDATA[") == 0) {
            const size_t close = m_text.find(L"]]>", i + 9);
            const size_t end = close == std::wstring::npos ? length : close;
            AddText(m_text.data() + i + 9, end - (i + 9), false);
            i = close == std::wstring::npos ? length : close + 3;
        } else if (next == L'!' || next == L'?' || (next == L'/' && !endTag)) {
            // Declarations, processing instructions and "</ ...>" are bogus comments up to the next '>'.
            const size_t close = m_text.find(L'>', i + 2);
            i = close == std::wstring::npos ? length : close + 1;
        } else {
            size_t nameStart = i + (endTag ? 2 : 1);
            size_t k = nameStart;
            while (k < length && !IsSpace(m_text[k]) && m_text[k] != L'>' && m_text[k] != L'/')
                ++k;
            std::wstring lower(m_text, nameStart, k - nameStart);
            for (wchar_t& c : lower)
                c = LowerAscii(c);
            CString name(lower.c_str(), static_cast<int>(lower.size()));
            i = k;
            attributes.clear();
            bool selfClosing = false;
            ReadAttributes(i, attributes, selfClosing);
            if (endTag) {
                EndTag(name);
            } else if (name == L"title") {
                // The title is text up to its end tag; an unclosed one is ignored so the page still shows.
                size_t after = i;
                if (!selfClosing && SkipRawText(after, name)) {
                    const size_t contentEnd = m_text.rfind(L"</", after - 1);
                    if (contentEnd != std::wstring::npos && contentEnd >= i)
                        HtmlDecodeEntities(m_text.data() + i, contentEnd - i, m_title, false);
                    i = after;
                }
            } else if (IsDroppedContainer(name)) {
                if (!selfClosing)
                    SkipRawText(i, name);
            } else {
                for (CHtmlAttribute& attribute : attributes)
                    if ((attribute.m_strName == L"href" || attribute.m_strName == L"src" ||
                         attribute.m_strName == L"action") &&
                        IsScriptUrl(attribute.m_strValue))
                        attribute.m_strValue.Empty();
                const bool raw = name == L"textarea" || name == L"xmp" || name == L"plaintext";
                StartTag(name, attributes, selfClosing);
                if (raw && !selfClosing) {
                    const size_t contentStart = i;
                    SkipRawText(i, name);
                    size_t contentEnd = m_text.rfind(L"</", i == 0 ? 0 : i - 1);
                    if (contentEnd == std::wstring::npos || contentEnd < contentStart)
                        contentEnd = i;
                    AddText(m_text.data() + contentStart, contentEnd - contentStart, name == L"textarea");
                    EndTag(name);
                }
            }
        }
        textStart = i;
    }
    AddText(m_text.data() + textStart, length - textStart, true);
    if (!m_title.empty()) {
        CString title;
        bool space = false;
        for (wchar_t ch : m_title) {
            if (IsSpace(ch)) {
                space = true;
                continue;
            }
            if (space && !title.IsEmpty())
                title.AppendChar(L' ');
            space = false;
            title.AppendChar(ch);
        }
        m_doc.m_strTitle = title;
    }
}

} // namespace

UINT CHtmlParser::DetectCodePage(const void* data, size_t size, CString* charsetName)
{
    const auto* p = static_cast<const unsigned char*>(data);
    std::string name;
    UINT codePage = 0;
    if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        codePage = CP_UTF8, name = "utf-8";
    else if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE)
        codePage = 1200, name = "utf-16le";
    else if (size >= 2 && p[0] == 0xFE && p[1] == 0xFF)
        codePage = 1201, name = "utf-16be";
    else if ((codePage = DeclaredCodePage(p, size, &name)) == 0) {
        codePage = IsValidUtf8(p, size) ? CP_UTF8 : 1252;
        name = codePage == CP_UTF8 ? "utf-8" : "windows-1252";
    }
    if (charsetName)
        *charsetName = CString(name.c_str());
    return codePage;
}

CString CHtmlParser::DecodeBytes(const void* data, size_t size, UINT codePage)
{
    const auto* p = static_cast<const unsigned char*>(data);
    std::wstring out;
    if (codePage == 1200 || codePage == 1201) {
        size_t i = size >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF)) ? 2 : 0;
        out.reserve(size / 2);
        for (; i + 1 < size; i += 2)
            out.push_back(static_cast<wchar_t>(codePage == 1200 ? p[i] | (p[i + 1] << 8) : (p[i] << 8) | p[i + 1]));
    } else if (codePage == CP_UTF8) {
        const size_t skip = size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF ? 3 : 0;
        DecodeUtf8(p + skip, size - skip, out);
    } else if (size > 0) {
        // In slices, so a huge page never asks for one huge conversion; a slice ends on an ASCII byte so no
        // double-byte character is cut.
        size_t at = 0;
        while (at < size) {
            size_t end = size - at > 65536 ? at + 65536 : size;
            while (end < size && end > at + 1 && p[end - 1] >= 0x80)
                --end;
            const int count = static_cast<int>(end - at);
            const char* source = reinterpret_cast<const char*>(p + at);
            int needed = MultiByteToWideChar(codePage, 0, source, count, nullptr, 0);
            UINT used = codePage;
            if (needed <= 0)
                used = 1252, needed = MultiByteToWideChar(1252, 0, source, count, nullptr, 0);
            const size_t base = out.size();
            out.resize(base + static_cast<size_t>(needed));
            MultiByteToWideChar(used, 0, source, count, &out[base], needed);
            at = end;
        }
    }
    return CString(out.c_str(), static_cast<int>(out.size()));
}

void CHtmlParser::ParseBytes(const void* data, size_t size, CHtmlDocument& doc)
{
    CString charset;
    const UINT codePage = DetectCodePage(data, size, &charset);
    const CString text = DecodeBytes(data, size, codePage);
    ParseText(text, static_cast<size_t>(text.GetLength()), doc);
    doc.m_strCharset = charset;
}

void CHtmlParser::ParseText(LPCWSTR text, size_t length, CHtmlDocument& doc)
{
    doc.Clear();
    const std::wstring source(text ? text : L"", text ? length : 0);
    TreeBuilder builder(doc, source);
    builder.Run();
}
