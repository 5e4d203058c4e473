#include "feeds/XmlParseBudget.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <type_traits>

namespace {

// Characters of entity text the library copies in all, and the references it follows to get there. Reading the
// text of an element built from references costs about the square of its length: 2,000 references of 200
// characters take 0.3 s, 8,000 take 5 s (bench_feedload).
const size_t kMaxExpandedEntityChars = 512u * 1024u;
const size_t kMaxEntityReferences = 2000u;
// Attributes: the library compares those of an element pairwise (1,999 on each of 100 elements take it 1.5 s) and
// spends about 400 bytes and a microsecond on each. Our own caches write five per item with an enclosure.
const size_t kMaxAttributesPerElement = 256u;
const size_t kMaxAttributePairs = 12u * 1000u * 1000u;
const size_t kMaxAttributesPerDocument = 300u * 1000u;

struct EntityCost
{
    size_t chars = 0;      // characters once every reference inside is expanded
    size_t references = 0; // references the library follows to get there
    size_t attributes = 0; // attributes of the elements written inside the text
    size_t pairs = 0;      // pairs of them the library compares

    void Add(const EntityCost& other)
    {
        chars += other.chars;
        references += other.references;
        attributes += other.attributes;
        pairs += other.pairs;
    }
    bool WithinLimits() const
    {
        return chars <= kMaxExpandedEntityChars && references <= kMaxEntityReferences &&
               attributes <= kMaxAttributesPerDocument && pairs <= kMaxAttributePairs;
    }
};

bool IsXmlNameStart(unsigned long c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
}

// Follows start tags through a text character by character and counts their attributes; an attribute is its '='
// outside quotes.
template <class Char> class TagScanner
{
public:
    // False when an element carries more attributes than any real one; defaults: those that declarations give
    // every element.
    bool Feed(Char c, Char next, size_t defaults, EntityCost& cost)
    {
        if (m_quote) {
            if (c == m_quote)
                m_quote = 0;
        } else if (!m_inTag) {
            if (c == '<' && IsXmlNameStart(static_cast<typename std::make_unsigned<Char>::type>(next))) {
                m_inTag = true;
                m_perElement = defaults;
                cost.attributes += defaults;
                cost.pairs += defaults * (defaults > 0 ? defaults - 1 : 0) / 2;
            }
        } else if (c == '"' || c == '\'') {
            m_quote = c;
        } else if (c == '=') {
            ++cost.attributes;
            cost.pairs += m_perElement;
            if (++m_perElement > kMaxAttributesPerElement)
                return false;
        } else if (c == '>') {
            m_inTag = false;
        }
        return true;
    }

private:
    bool m_inTag = false;
    Char m_quote = 0;
    size_t m_perElement = 0;
};

template <class Char> class ParseBudget
{
public:
    using Text = std::basic_string<Char>;

    ParseBudget(const Char* text, size_t size) : m_text(text), m_size(size) {}

    bool Allows()
    {
        size_t bodyStart = 0;
        if (!ReadInternalSubset(bodyStart))
            return false;
        for (const auto& value : m_values) {
            EntityCost cost;
            if (!Cost(value.first, cost, 0))
                return false;
        }
        return WithinBody(bodyStart);
    }

private:
    static bool IsBlank(Char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    static bool IsNameStart(Char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
               static_cast<unsigned long>(static_cast<typename std::make_unsigned<Char>::type>(c)) >= 0x80;
    }

    static bool IsNameChar(Char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

    bool At(size_t at, const char* literal) const
    {
        for (; *literal; ++literal, ++at)
            if (at >= m_size || m_text[at] != static_cast<Char>(*literal))
                return false;
        return true;
    }

    size_t Find(Char c, size_t from) const
    {
        for (size_t i = from; i < m_size; ++i)
            if (m_text[i] == c)
                return i;
        return m_size;
    }

    size_t Find(const char* literal, size_t from) const
    {
        for (size_t i = from; i < m_size; ++i)
            if (m_text[i] == static_cast<Char>(literal[0]) && At(i, literal))
                return i;
        return m_size;
    }

    size_t SkipBlanks(size_t at) const
    {
        while (at < m_size && IsBlank(m_text[at]))
            ++at;
        return at;
    }

    size_t NameEnd(size_t at) const
    {
        while (at < m_size && IsNameChar(m_text[at]))
            ++at;
        return at;
    }

    // The end of a quoted literal starting at 'at', or m_size.
    size_t LiteralEnd(size_t at) const { return at < m_size ? Find(m_text[at], at + 1) : m_size; }

    // The first element's '<'; a DOCTYPE after it is not the document's.
    size_t FirstElement() const
    {
        for (size_t at = Find('<', 0); at < m_size; at = Find('<', at + 1)) {
            if (at + 1 < m_size && IsNameStart(m_text[at + 1]))
                return at;
        }
        return m_size;
    }

    // Walks the internal subset declaration by declaration, keeping the general entities' replacement texts.
    // False for what the budget cannot follow: a parameter entity with a value of its own or a reference to one
    // not declared external, defaults that refer to entities, more attribute declarations than an element may
    // carry. Text that is not a declaration ends the walk; the library refuses it quickly.
    bool ReadInternalSubset(size_t& bodyStart)
    {
        const size_t doctype = Find("<!DOCTYPE", 0);
        const size_t firstElement = FirstElement();
        if (doctype >= firstElement)
            return true;
        size_t at = doctype + 9;
        while (at < m_size && m_text[at] != '[' && m_text[at] != '>') {
            if (m_text[at] == '"' || m_text[at] == '\'')
                at = LiteralEnd(at);
            ++at;
        }
        if (at >= m_size || m_text[at] != '[')
            return true;
        ++at;
        for (;;) {
            at = SkipBlanks(at);
            if (at >= m_size)
                return true;
            if (m_text[at] == ']') {
                bodyStart = at;
                return true;
            }
            if (At(at, "<!--")) {
                at = Find("-->", at + 4) + 3;
            } else if (At(at, "<?")) {
                at = Find("?>", at + 2) + 2;
            } else if (At(at, "<!ENTITY")) {
                if (!ReadEntity(at + 8, at))
                    return false;
            } else if (At(at, "<!ATTLIST")) {
                if (!ReadAttributeList(at + 9, at))
                    return false;
            } else if (At(at, "<!")) {
                at = DeclarationEnd(at + 2) + 1;
            } else if (m_text[at] == '%') {
                const size_t end = NameEnd(at + 1);
                if (!m_externalParameters.count(Text(m_text + at + 1, end - at - 1)))
                    return false;
                at = end + 1;
            } else {
                bodyStart = at;
                return true;
            }
        }
    }

    // The '>' that ends a declaration, quoted text skipped.
    size_t DeclarationEnd(size_t at) const
    {
        while (at < m_size && m_text[at] != '>') {
            if (m_text[at] == '"' || m_text[at] == '\'')
                at = LiteralEnd(at);
            ++at;
        }
        return at;
    }

    bool ReadEntity(size_t at, size_t& next)
    {
        at = SkipBlanks(at);
        const bool parameter = at < m_size && m_text[at] == '%';
        if (parameter)
            at = SkipBlanks(at + 1);
        const size_t nameEnd = NameEnd(at);
        const Text name(m_text + at, nameEnd - at);
        at = SkipBlanks(nameEnd);
        next = DeclarationEnd(at) + 1;
        const bool literal = at < m_size && (m_text[at] == '"' || m_text[at] == '\'');
        if (parameter) {
            // An external one is never read (external definitions are off); one with a value could declare
            // anything out of character references, unseen here.
            if (literal)
                return false;
            m_externalParameters.insert(name);
            return true;
        }
        if (!literal)
            return true; // an external entity: never resolved, costs nothing
        const size_t end = LiteralEnd(at);
        Text replacement;
        if (!ReplacementText(at + 1, std::min(end, m_size), replacement))
            return false;
        // The first declaration of a name is the one that counts.
        m_values.emplace(name, std::move(replacement));
        return true;
    }

    // The literal with its character references decoded, as the library stores it. False when a reference
    // builds an entity reference ("&#38;name;", "&#x26;name;"), which the library would follow at each use.
    bool ReplacementText(size_t from, size_t to, Text& out) const
    {
        out.clear();
        for (size_t i = from; i < to; ++i) {
            if (m_text[i] != '&' || i + 1 >= to || m_text[i + 1] != '#') {
                out += m_text[i];
                continue;
            }
            size_t k = i + 2;
            const bool hex = k < to && (m_text[k] == 'x' || m_text[k] == 'X');
            if (hex)
                ++k;
            unsigned long code = 0;
            for (; k < to && m_text[k] != ';'; ++k) {
                const Char d = m_text[k];
                int digit = d >= '0' && d <= '9' ? d - '0' : -1;
                if (hex && d >= 'a' && d <= 'f')
                    digit = d - 'a' + 10;
                if (hex && d >= 'A' && d <= 'F')
                    digit = d - 'A' + 10;
                if (digit < 0)
                    return false; // not a character reference: the library refuses the document
                code = std::min<unsigned long>(code * (hex ? 16 : 10) + static_cast<unsigned long>(digit), 0x110000);
            }
            const Char c = code > 0xFFFF ? static_cast<Char>('?') : static_cast<Char>(code);
            if (c == '&' && k + 1 < to && IsNameStart(m_text[k + 1]))
                return false;
            out += c;
            i = k;
        }
        return true;
    }

    // Attribute declarations with a default give every element of a kind that attribute: the defaults must not
    // refer to entities, and each counts on every element (at most; the kind is not followed here).
    bool ReadAttributeList(size_t at, size_t& next)
    {
        const size_t end = DeclarationEnd(at);
        next = end + 1;
        for (; at < end; ++at) {
            if (m_text[at] != '"' && m_text[at] != '\'')
                continue;
            const size_t close = std::min(LiteralEnd(at), end);
            for (size_t i = at + 1; i < close; ++i)
                if (m_text[i] == '&' && i + 1 < close && m_text[i + 1] != '#')
                    return false;
            ++m_defaultAttributes;
            at = close;
        }
        return m_defaultAttributes <= kMaxAttributesPerElement;
    }

    // The cost of expanding the entity, with the references inside it; false past the budget or for a loop.
    bool Cost(const Text& name, EntityCost& cost, int depth)
    {
        const auto known = m_costs.find(name);
        if (known != m_costs.end()) {
            cost = known->second;
            return true;
        }
        const auto value = m_values.find(name);
        if (value == m_values.end()) {
            cost = EntityCost();
            return true;
        }
        if (depth > 32)
            return false;
        EntityCost total;
        TagScanner<Char> tags;
        const Text& text = value->second;
        for (size_t i = 0; i < text.size(); ++i) {
            const Char next = i + 1 < text.size() ? text[i + 1] : 0;
            if (text[i] != '&' || next == '#') {
                ++total.chars;
                if (!tags.Feed(text[i], next, m_defaultAttributes, total))
                    return false;
                continue;
            }
            size_t end = i + 1;
            while (end < text.size() && IsNameChar(text[end]))
                ++end;
            EntityCost inner;
            if (!Cost(text.substr(i + 1, end - i - 1), inner, depth + 1))
                return false;
            total.Add(inner);
            ++total.references;
            if (!total.WithinLimits())
                return false;
            i = end;
        }
        if (!total.WithinLimits())
            return false;
        m_costs[name] = total;
        cost = total;
        return true;
    }

    // One pass over the document after the subset: the entity references it makes and the attributes of each
    // element and of all of them.
    bool WithinBody(size_t bodyStart)
    {
        EntityCost total;
        TagScanner<Char> tags;
        for (size_t i = bodyStart; i < m_size; ++i) {
            const Char c = m_text[i];
            const Char next = i + 1 < m_size ? m_text[i + 1] : 0;
            if (c == '&' && !m_values.empty() && IsNameStart(next)) {
                const size_t end = NameEnd(i + 1);
                const auto cost = m_costs.find(Text(m_text + i + 1, end - i - 1));
                if (cost != m_costs.end()) {
                    total.Add(cost->second);
                    ++total.references;
                }
                i = end - 1;
            } else if (!tags.Feed(c, next, m_defaultAttributes, total)) {
                return false;
            }
            if (!total.WithinLimits())
                return false;
        }
        return true;
    }

    const Char* m_text;
    size_t m_size;
    std::map<Text, Text> m_values;
    std::map<Text, EntityCost> m_costs;
    std::set<Text> m_externalParameters;
    size_t m_defaultAttributes = 0;
};

} // namespace

namespace XmlParseBudget {

bool Allows(const char* text, size_t size)
{
    return ParseBudget<char>(text, size).Allows();
}

bool Allows(const wchar_t* text, size_t size)
{
    return ParseBudget<wchar_t>(text, size).Allows();
}

} // namespace XmlParseBudget
