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
// attribute each literal white-space character becomes a blank. out has room for end - begin characters.
bool DecodeInto(const char* begin, const char* end, bool attribute, wchar_t* out, int& length)
{
    wchar_t* const buffer = out;
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
    length = ok ? static_cast<int>(out - buffer) : 0;
    return ok;
}

bool DecodeText(const char* begin, const char* end, bool attribute, CString& text)
{
    if (begin == end) {
        text.Empty();
        return true;
    }
    int length = 0;
    const bool ok = DecodeInto(begin, end, attribute, text.GetBuffer(static_cast<int>(end - begin)), length);
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

struct Span
{
    const char* begin = nullptr;
    const char* end = nullptr;

    size_t Length() const { return static_cast<size_t>(end - begin); }
    bool operator==(const Span& other) const
    {
        return Length() == other.Length() && std::memcmp(begin, other.begin, Length()) == 0;
    }
};

// The tree the reader's caller gets.
class TreeSink
{
public:
    explicit TreeSink(StoredElement& root) : m_root(root) {}

    bool Open(Span name, int depth)
    {
        StoredElement* element = &m_root;
        if (depth > 1) {
            m_path.back()->children.emplace_back();
            element = &m_path.back()->children.back();
        }
        element->name.assign(name.begin, name.end);
        m_path.push_back(element);
        return true;
    }
    bool Attribute(Span name, Span value)
    {
        CString text;
        if (!DecodeText(value.begin, value.end, true, text))
            return false;
        m_path.back()->attributes.emplace_back(std::string(name.begin, name.end), std::move(text));
        return true;
    }
    bool Close(const Span* text)
    {
        StoredElement* element = m_path.back();
        m_path.pop_back();
        return !text || DecodeText(text->begin, text->end, false, element->text);
    }

private:
    StoredElement& m_root;
    std::vector<StoredElement*> m_path;
};

// Only the checks, each text decoded into one scratch buffer, handed to the visitor.
class VisitorSink
{
public:
    explicit VisitorSink(StoredXmlVisitor& visitor) : m_visitor(visitor) {}

    bool Open(Span name, int depth)
    {
        m_depth = depth;
        return m_visitor.Open(name.begin, name.Length(), depth);
    }
    bool Attribute(Span, Span value)
    {
        int length = 0;
        return DecodeInto(value.begin, value.end, true, Scratch(value.Length()), length);
    }
    bool Close(const Span* text)
    {
        const int depth = m_depth--;
        if (!text)
            return m_visitor.Close(nullptr, 0, depth);
        int length = 0;
        wchar_t* buffer = Scratch(text->Length());
        if (!DecodeInto(text->begin, text->end, false, buffer, length))
            return false;
        buffer[length] = 0;
        return m_visitor.Close(buffer, length, depth);
    }

private:
    wchar_t* Scratch(size_t length)
    {
        if (m_scratch.size() < length + 1)
            m_scratch.resize(length + 1);
        return m_scratch.data();
    }

    StoredXmlVisitor& m_visitor;
    std::vector<wchar_t> m_scratch;
    int m_depth = 0;
};

template <class Sink> class Reader
{
public:
    Reader(const char* bytes, size_t size, Sink& sink) : m_p(bytes), m_end(bytes + size), m_sink(sink) {}

    bool Document()
    {
        if (Ahead("\xEF\xBB\xBF"))
            m_p += 3;
        if (Ahead("<?xml") && m_end - m_p > 5 && IsSpace(m_p[5]) && !Declaration())
            return false;
        SkipSpace();
        if (!Element(1))
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

    bool Name(Span& name)
    {
        const char* start = m_p;
        if (m_p >= m_end || !IsNameStart(*m_p))
            return false;
        while (m_p < m_end && IsNameChar(*m_p))
            ++m_p;
        name.begin = start;
        name.end = m_p;
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

    bool Attributes(bool& empty)
    {
        // Our writers put a few attributes on an element; a start tag with many more is not ours.
        const size_t kMaxAttributes = 16;
        Span seen[kMaxAttributes];
        size_t count = 0;
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
            Span name;
            if (!spaced || !Name(name) || (name.Length() >= 5 && std::memcmp(name.begin, "xmlns", 5) == 0))
                return false;
            if (count == kMaxAttributes)
                return false;
            for (size_t i = 0; i < count; ++i)
                if (seen[i] == name)
                    return false;
            seen[count++] = name;
            SkipSpace();
            Span value;
            if (!Take("=") || (SkipSpace(), !Quoted(value.begin, value.end)))
                return false;
            if (!m_sink.Attribute(name, value))
                return false;
        }
    }

    bool Element(int depth)
    {
        Span name;
        if (depth > kMaxDepth || !Take("<") || !Name(name) || !m_sink.Open(name, depth))
            return false;
        bool empty = false;
        if (!Attributes(empty))
            return false;
        if (empty)
            return m_sink.Close(&m_none);
        bool hasChildren = false;
        const char* textBegin = nullptr;
        const char* textEnd = nullptr;
        for (;;) {
            const void* open = std::memchr(m_p, '<', static_cast<size_t>(m_end - m_p));
            if (!open)
                return false;
            const char* segmentEnd = static_cast<const char*>(open);
            if (segmentEnd != m_p) {
                // Text beside child elements is only layout.
                if (hasChildren || textBegin)
                    if (!IsAllSpace(m_p, segmentEnd))
                        return false;
                if (!hasChildren && !textBegin) {
                    textBegin = m_p;
                    textEnd = segmentEnd;
                }
            }
            m_p = segmentEnd;
            if (Take("</")) {
                Span closing;
                if (!Name(closing) || !(closing == name))
                    return false;
                SkipSpace();
                if (!Take(">"))
                    return false;
                if (hasChildren)
                    return m_sink.Close(nullptr);
                Span text{textBegin, textEnd};
                if (!textBegin)
                    text = m_none;
                return m_sink.Close(&text);
            }
            if (textBegin && !IsAllSpace(textBegin, textEnd))
                return false;
            textBegin = textEnd = nullptr;
            hasChildren = true;
            if (!Element(depth + 1))
                return false;
        }
    }

    const char* m_p;
    const char* m_end;
    Sink& m_sink;
    Span m_none{"", ""};
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
    TreeSink sink(root);
    return Reader<TreeSink>(bytes, size, sink).Document();
}

bool WalkStoredXml(const char* bytes, size_t size, StoredXmlVisitor& visitor)
{
    if (!bytes)
        return false;
    VisitorSink sink(visitor);
    return Reader<VisitorSink>(bytes, size, sink).Document();
}
