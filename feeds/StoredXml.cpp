#include "feeds/StoredXml.h"

#include <algorithm>
#include <cstring>

namespace {

// Our files nest four deep (document, rss, channel, item, field); anything much deeper is not ours.
const int kMaxDepth = 8;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsNameChar(char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool IsXmlCodePoint(unsigned long c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool Append(unsigned long c, wchar_t*& out)
{
    if (!IsXmlCodePoint(c))
        return false;
    if (c >= 0x10000) {
        c -= 0x10000;
        *out++ = static_cast<wchar_t>(0xD800 + (c >> 10));
        *out++ = static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        *out++ = static_cast<wchar_t>(c);
    }
    return true;
}

// One UTF-8 sequence from p (its lead byte at or above 0x80), refusing overlong forms, surrogates and values
// past U+10FFFF.
bool DecodeSequence(const unsigned char*& p, const unsigned char* end, unsigned long& c)
{
    const unsigned char lead = *p;
    int more = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        c = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        c = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return false;
    }
    if (end - p <= more)
        return false;
    for (int i = 1; i <= more; ++i) {
        const unsigned char b = p[i];
        if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF))
            return false;
        c = (c << 6) | (b & 0x3F);
    }
    p += more + 1;
    return true;
}

// A reference after its "&", up to and past its ";".
bool DecodeReference(const unsigned char*& p, const unsigned char* end, unsigned long& c)
{
    const unsigned char* semicolon =
        static_cast<const unsigned char*>(std::memchr(p, ';', std::min<size_t>(end - p, 12)));
    if (!semicolon)
        return false;
    const size_t length = static_cast<size_t>(semicolon - p);
    const char* name = reinterpret_cast<const char*>(p);
    static const struct
    {
        const char* name;
        size_t length;
        char value;
    } predefined[] = {{"amp", 3, '&'}, {"lt", 2, '<'}, {"gt", 2, '>'}, {"quot", 4, '"'}, {"apos", 4, '\''}};
    for (const auto& entity : predefined) {
        if (length == entity.length && std::memcmp(name, entity.name, length) == 0) {
            c = static_cast<unsigned char>(entity.value);
            p = semicolon + 1;
            return true;
        }
    }
    if (length < 2 || name[0] != '#')
        return false;
    const bool hex = name[1] == 'x';
    size_t i = hex ? 2 : 1;
    if (i >= length)
        return false;
    c = 0;
    for (; i < length; ++i) {
        const char d = name[i];
        unsigned digit;
        if (d >= '0' && d <= '9')
            digit = static_cast<unsigned>(d - '0');
        else if (hex && d >= 'a' && d <= 'f')
            digit = static_cast<unsigned>(d - 'a' + 10);
        else if (hex && d >= 'A' && d <= 'F')
            digit = static_cast<unsigned>(d - 'A' + 10);
        else
            return false;
        c = c * (hex ? 16 : 10) + digit;
        if (c > 0x10FFFF)
            return false;
    }
    p = semicolon + 1;
    return true;
}

// Character data as the library reads it: UTF-8 decoded, references replaced, line ends made line feeds; in an
// attribute each literal white-space character becomes a blank.
bool DecodeText(const char* begin, const char* end, bool attribute, CString& text)
{
    if (begin == end) {
        text.Empty();
        return true;
    }
    wchar_t* const buffer = text.GetBuffer(static_cast<int>(end - begin));
    wchar_t* out = buffer;
    const auto* p = reinterpret_cast<const unsigned char*>(begin);
    const auto* stop = reinterpret_cast<const unsigned char*>(end);
    bool ok = true;
    while (p < stop && ok) {
        const unsigned char b = *p;
        if (b >= 0x20 && b < 0x80 && b != '&' && b != '<' && b != '>') {
            *out++ = static_cast<wchar_t>(b);
            ++p;
            continue;
        }
        unsigned long c = 0;
        if (b == '&') {
            ++p;
            ok = DecodeReference(p, stop, c) && Append(c, out);
        } else if (b == '\r' || b == '\n' || b == '\t') {
            if (b == '\r' && p + 1 < stop && p[1] == '\n')
                ++p;
            ++p;
            *out++ = attribute ? L' ' : (b == '\t' ? L'\t' : L'\n');
        } else if (b == '>') {
            // "]]>" may not stand in content.
            ok = attribute || p - reinterpret_cast<const unsigned char*>(begin) < 2 || p[-1] != ']' || p[-2] != ']';
            *out++ = L'>';
            ++p;
        } else if (b >= 0x80) {
            ok = DecodeSequence(p, stop, c) && Append(c, out);
        } else {
            ok = false; // a control character, or "<" in an attribute
        }
    }
    const int length = ok ? static_cast<int>(out - buffer) : 0;
    text.ReleaseBuffer(length);
    // Escaped markup decodes to much less than its bytes: the text gets a buffer of its own size then, since the
    // records keep it for as long as the program runs.
    if (length < (end - begin) - (end - begin) / 8)
        text = CString(text.GetString(), length);
    return ok;
}

bool IsAllSpace(const char* begin, const char* end)
{
    for (; begin < end; ++begin)
        if (!IsSpace(*begin))
            return false;
    return true;
}

class Reader
{
public:
    Reader(const char* bytes, size_t size) : m_p(bytes), m_end(bytes + size) {}

    bool Document(StoredElement& root)
    {
        if (Ahead("\xEF\xBB\xBF"))
            m_p += 3;
        if (Ahead("<?xml") && m_end - m_p > 5 && IsSpace(m_p[5]) && !Declaration())
            return false;
        SkipSpace();
        if (!Element(root, 1))
            return false;
        SkipSpace();
        return m_p == m_end;
    }

private:
    bool Ahead(const char* text) const
    {
        const size_t length = std::strlen(text);
        return static_cast<size_t>(m_end - m_p) >= length && std::memcmp(m_p, text, length) == 0;
    }

    bool Take(const char* text)
    {
        if (!Ahead(text))
            return false;
        m_p += std::strlen(text);
        return true;
    }

    bool SkipSpace()
    {
        const char* start = m_p;
        while (m_p < m_end && IsSpace(*m_p))
            ++m_p;
        return m_p != start;
    }

    bool Name(std::string& name)
    {
        const char* start = m_p;
        if (m_p >= m_end || !IsNameStart(*m_p))
            return false;
        while (m_p < m_end && IsNameChar(*m_p))
            ++m_p;
        name.assign(start, m_p);
        return true;
    }

    // A quoted value; its raw bytes.
    bool Quoted(const char*& begin, const char*& end)
    {
        if (m_p >= m_end || (*m_p != '"' && *m_p != '\''))
            return false;
        const char quote = *m_p++;
        const void* close = std::memchr(m_p, quote, static_cast<size_t>(m_end - m_p));
        if (!close)
            return false;
        begin = m_p;
        end = static_cast<const char*>(close);
        m_p = end + 1;
        return true;
    }

    // Only what the library itself accepts in the form we write: version 1.0, encoding UTF-8 (or none),
    // standalone yes or no, in that order.
    bool Declaration()
    {
        m_p += 5;
        const char* names[] = {"version", "encoding", "standalone"};
        bool first = true;
        for (const char* name : names) {
            const char* mark = m_p;
            const bool spaced = SkipSpace();
            if (!spaced || !Take(name)) {
                if (first)
                    return false;
                m_p = mark;
                continue;
            }
            SkipSpace();
            const char* begin = nullptr;
            const char* end = nullptr;
            if (!Take("=") || (SkipSpace(), !Quoted(begin, end)))
                return false;
            const std::string value(begin, end);
            if (first && value != "1.0")
                return false;
            if (name == names[1] && value != "UTF-8" && value != "utf-8")
                return false;
            if (name == names[2] && value != "yes" && value != "no")
                return false;
            first = false;
        }
        SkipSpace();
        return Take("?>");
    }

    bool Attributes(StoredElement& element, bool& empty)
    {
        for (;;) {
            const bool spaced = SkipSpace();
            if (Take("/>")) {
                empty = true;
                return true;
            }
            if (Take(">")) {
                empty = false;
                return true;
            }
            std::string name;
            if (!spaced || !Name(name) || name.compare(0, 5, "xmlns") == 0)
                return false;
            for (const auto& attribute : element.attributes)
                if (attribute.first == name)
                    return false;
            SkipSpace();
            const char* begin = nullptr;
            const char* end = nullptr;
            if (!Take("=") || (SkipSpace(), !Quoted(begin, end)))
                return false;
            CString value;
            if (!DecodeText(begin, end, true, value))
                return false;
            element.attributes.emplace_back(std::move(name), std::move(value));
        }
    }

    bool Element(StoredElement& element, int depth)
    {
        if (depth > kMaxDepth || !Take("<") || !Name(element.name))
            return false;
        bool empty = false;
        if (!Attributes(element, empty))
            return false;
        if (empty)
            return true;
        const char* textBegin = nullptr;
        const char* textEnd = nullptr;
        for (;;) {
            const void* open = std::memchr(m_p, '<', static_cast<size_t>(m_end - m_p));
            if (!open)
                return false;
            const char* segmentEnd = static_cast<const char*>(open);
            if (segmentEnd != m_p) {
                // Text beside child elements is only layout.
                if (!element.children.empty() || textBegin)
                    if (!IsAllSpace(m_p, segmentEnd))
                        return false;
                if (element.children.empty() && !textBegin) {
                    textBegin = m_p;
                    textEnd = segmentEnd;
                }
            }
            m_p = segmentEnd;
            if (Take("</")) {
                std::string name;
                if (!Name(name) || name != element.name)
                    return false;
                SkipSpace();
                if (!Take(">"))
                    return false;
                if (element.children.empty())
                    return DecodeText(textBegin, textEnd, false, element.text);
                return true;
            }
            if (textBegin && !IsAllSpace(textBegin, textEnd))
                return false;
            textBegin = textEnd = nullptr;
            element.children.emplace_back();
            if (!Element(element.children.back(), depth + 1))
                return false;
        }
    }

    const char* m_p;
    const char* m_end;
};

} // namespace

const CString* StoredElement::Attribute(const char* attributeName) const
{
    for (const auto& attribute : attributes)
        if (attribute.first == attributeName)
            return &attribute.second;
    return nullptr;
}

bool ReadStoredXml(const char* bytes, size_t size, StoredElement& root)
{
    if (!bytes)
        return false;
    root = StoredElement();
    Reader reader(bytes, size);
    return reader.Document(root);
}
