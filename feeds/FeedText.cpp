// Item text clean-up. Both functions make a fixed number of passes over the text and never search the same
// stretch twice, so hostile input (1 MB of nested or unterminated tags) costs time linear in its length.
#include "feeds/FeedText.h"

#include "feeds/EngineContext.h"
#include "framework/html/HtmlEntities.h"
#include "framework/html/HtmlNavigation.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

using Text = std::wstring;
constexpr size_t npos = Text::npos;

bool IsAsciiAlpha(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool IsAsciiDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

wchar_t AsciiLower(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

bool IsTagSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f';
}

Text LowerAscii(const wchar_t* s, size_t length)
{
    Text lower(s, length);
    for (wchar_t& c : lower)
        c = AsciiLower(c);
    return lower;
}

// Whether s[pos..] starts with the lower-case literal, ignoring ASCII case.
bool MatchesAt(const wchar_t* s, size_t n, size_t pos, const wchar_t* lower)
{
    for (; *lower; ++lower, ++pos) {
        if (pos >= n || AsciiLower(s[pos]) != *lower)
            return false;
    }
    return true;
}

size_t FindChar(const wchar_t* s, size_t n, size_t from, wchar_t c)
{
    for (size_t i = from; i < n; ++i) {
        if (s[i] == c)
            return i;
    }
    return npos;
}

size_t FindText(const wchar_t* s, size_t n, size_t from, const wchar_t* what)
{
    for (size_t i = from; i < n; ++i) {
        if (s[i] == what[0] && MatchesAt(s, n, i, what))
            return i;
    }
    return npos;
}

void Assign(CString& text, const Text& value)
{
    // A text the pass left as it was keeps its buffer, which the record's other copies of it share.
    if (static_cast<size_t>(text.GetLength()) == value.size() &&
        std::wmemcmp(text.GetString(), value.data(), value.size()) == 0)
        return;
    text = CString(value.data(), static_cast<int>(value.size()));
}

// ---------------------------------------------------------------------------------------------------------------
// StripActiveContent

enum class TagRule
{
    Keep,      // ordinary markup: kept, with its safe attributes only
    DropTag,   // the tag goes, what it encloses stays
    DropBlock, // the tag and everything up to its end tag go
};

TagRule RuleFor(const Text& lowerName)
{
    static const std::unordered_set<Text> keep = {
        L"a",      L"abbr",       L"acronym", L"address", L"article", L"aside",  L"b",    L"bdi",     L"bdo",
        L"big",    L"blockquote", L"br",      L"caption", L"center",  L"cite",   L"code", L"col",     L"colgroup",
        L"dd",     L"del",        L"details", L"dfn",     L"div",     L"dl",     L"dt",   L"em",      L"figcaption",
        L"figure", L"font",       L"footer",  L"h1",      L"h2",      L"h3",     L"h4",   L"h5",      L"h6",
        L"header", L"hr",         L"i",       L"img",     L"ins",     L"kbd",    L"li",   L"main",    L"mark",
        L"nav",    L"nobr",       L"ol",      L"p",       L"pre",     L"q",      L"rp",   L"rt",      L"ruby",
        L"s",      L"samp",       L"section", L"small",   L"strike",  L"strong", L"sub",  L"summary", L"sup",
        L"table",  L"tbody",      L"td",      L"tfoot",   L"th",      L"thead",  L"time", L"tr",      L"tt",
        L"u",      L"ul",         L"var",     L"wbr"};
    // Elements whose content is code, plugin data or a document of its own.
    static const std::unordered_set<Text> block = {L"script", L"style", L"object", L"applet",   L"iframe", L"frameset",
                                                   L"svg",    L"math",  L"xml",    L"template", L"select"};
    if (keep.count(lowerName))
        return TagRule::Keep;
    if (block.count(lowerName))
        return TagRule::DropBlock;
    // Everything else, known or not (span, link, meta, base, embed, frame, form, input, button...), loses its
    // tag only: an unknown tag cannot do harm once it is gone, and its text is the feed's text.
    return TagRule::DropTag;
}

bool IsAllowedAttribute(const Text& lowerName)
{
    static const std::unordered_set<Text> allowed = {
        L"abbr",   L"align",    L"alt",      L"axis",     L"bgcolor", L"border",  L"cellpadding", L"cellspacing",
        L"char",   L"charoff",  L"cite",     L"class",    L"clear",   L"color",   L"colspan",     L"compact",
        L"coords", L"datetime", L"dir",      L"face",     L"frame",   L"headers", L"height",      L"href",
        L"hspace", L"ismap",    L"lang",     L"longdesc", L"name",    L"noshade", L"nowrap",      L"open",
        L"rel",    L"rev",      L"reversed", L"rows",     L"rowspan", L"rules",   L"scope",       L"shape",
        L"size",   L"span",     L"src",      L"start",    L"summary", L"target",  L"title",       L"type",
        L"usemap", L"valign",   L"value",    L"vspace",   L"width"};
    return allowed.count(lowerName) != 0;
}

bool IsUrlAttribute(const Text& lowerName)
{
    return lowerName == L"href" || lowerName == L"src" || lowerName == L"cite" || lowerName == L"longdesc" ||
           lowerName == L"usemap";
}

// Decodes the character reference that starts at v[i] ('&'). Returns false for a named reference this code
// does not know; otherwise sets the character (0 for one that browsers drop) and the index after it.
bool DecodeReference(const wchar_t* v, size_t n, size_t i, wchar_t& c, size_t& next)
{
    size_t k = i + 1;
    if (k < n && v[k] == L'#') {
        ++k;
        bool hex = k < n && (v[k] == L'x' || v[k] == L'X');
        if (hex)
            ++k;
        unsigned long code = 0;
        size_t digits = 0;
        for (; k < n; ++k, ++digits) {
            wchar_t d = v[k];
            int value = IsAsciiDigit(d)                                           ? d - L'0'
                        : (hex && AsciiLower(d) >= L'a' && AsciiLower(d) <= L'f') ? AsciiLower(d) - L'a' + 10
                                                                                  : -1;
            if (value < 0)
                break;
            if (code < 0x110000)
                code = code * (hex ? 16 : 10) + value;
        }
        if (digits == 0) {
            c = L'&';
            next = i + 1;
            return true;
        }
        if (k < n && v[k] == L';')
            ++k;
        c = code > 0xFFFF ? L'?' : static_cast<wchar_t>(code);
        next = k;
        return true;
    }
    size_t start = k;
    while (k < n && (IsAsciiAlpha(v[k]) || IsAsciiDigit(v[k])))
        ++k;
    if (k >= n || v[k] != L';' || k == start) {
        // Without its semicolon a name is not decoded inside an attribute: the '&' is a plain character.
        c = L'&';
        next = i + 1;
        return true;
    }
    Text name = LowerAscii(v + start, k - start);
    next = k + 1;
    if (name == L"colon") {
        c = L':';
        return true;
    }
    if (name == L"tab" || name == L"newline") {
        c = 0;
        return true;
    }
    if (name == L"amp") {
        c = L'&';
        return true;
    }
    return false;
}

// Characters that show as nothing or as a line break: before a scheme they could hide it from a reader of the
// text, and some consumers drop them.
bool IsInvisibleCharacter(wchar_t c)
{
    return (c >= 0x80 && c <= 0x9F) || c == 0xA0 || c == 0xAD || c == 0x1680 || (c >= 0x2000 && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x2064) || c == 0x3000 || c == 0xFEFF;
}

// The address as the HTML pane reads it: references decoded, tabs and line breaks dropped, blanks and control
// characters trimmed.
Text ReadAddress(const wchar_t* v, size_t n)
{
    Text decoded;
    HtmlDecodeEntities(v, n, decoded, true);
    Text address;
    address.reserve(decoded.size());
    for (wchar_t c : decoded)
        if (c != L'\t' && c != L'\n' && c != L'\r')
            address += c;
    size_t first = 0;
    while (first < address.size() && address[first] <= 0x20)
        ++first;
    size_t last = address.size();
    while (last > first && address[last - 1] <= 0x20)
        --last;
    return address.substr(first, last - first);
}

bool IsSlash(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

// "//host/x" and "\\host\x" name another machine while looking relative: a page shown from a file turns them
// into a UNC path, which the platform opens by connecting to that host with the user's credentials.
bool NamesAnotherHost(const Text& address)
{
    return address.size() >= 2 && IsSlash(address[0]) && IsSlash(address[1]);
}

// A URL is safe when it is relative to its page or uses one of the schemes that only fetch or address documents.
// The scheme is read the way browsers read it: references decoded, blanks and control characters ignored.
bool IsSafeUrl(const wchar_t* v, size_t n)
{
    if (NamesAnotherHost(ReadAddress(v, n)))
        return false;
    static const std::unordered_set<Text> schemes = {L"http", L"https", L"ftp", L"mailto", L"news", L"feed"};
    Text scheme;
    for (size_t i = 0; i < n;) {
        wchar_t c = v[i];
        size_t next = i + 1;
        if (c == L'&' && !DecodeReference(v, n, i, c, next))
            return false;
        i = next;
        if (c <= 0x20 || c == 0x7F || c == L'`' || c == L'"' || c == L'\'')
            continue; // ignored here so that no quoting trick hides a scheme
        if (IsInvisibleCharacter(c))
            return false;
        if (c == L':')
            return !scheme.empty() && schemes.count(scheme) != 0;
        if (IsAsciiAlpha(c) || IsAsciiDigit(c) || c == L'+' || c == L'-' || c == L'.') {
            scheme += AsciiLower(c);
            continue;
        }
        return true; // a character that cannot be part of a scheme: a relative reference
    }
    return true;
}

// An image is loaded as soon as its page is shown, without a click: its source must be a web address or a file of
// the data folder, never a path elsewhere or a relative reference, which the pane would resolve against wherever
// the page happens to be.
bool IsAllowedImageSource(const wchar_t* v, size_t n)
{
    const Text address = ReadAddress(v, n);
    if (address.empty())
        return false;
    const Text lower = LowerAscii(address.data(), std::min<size_t>(address.size(), 8));
    if (lower.compare(0, 7, L"http://") == 0 || lower.compare(0, 8, L"https://") == 0)
        return IsSafeUrl(v, n);
    const CString& dataFolder = GetEngineContext().m_strDataFolder;
    return !dataFolder.IsEmpty() &&
           HtmlIsPathInFolder(HtmlFilePathOf(address), std::wstring(dataFolder.GetString(), dataFolder.GetLength()));
}

struct Attribute
{
    size_t nameStart = 0;
    size_t nameLength = 0;
    bool hasValue = false;
    size_t valueStart = 0;
    size_t valueLength = 0;
};

struct Tag
{
    bool end = false;
    bool selfClosing = false;
    size_t nameStart = 0;
    size_t nameLength = 0;
    std::vector<Attribute> attributes;
};

// Reads the tag whose '<' stands at pos the way an HTML tokenizer does (a '<' inside a tag is an ordinary
// character, quotes hide '>'). Returns the index after its '>', or npos when the text ends inside the tag.
size_t ParseTag(const wchar_t* s, size_t n, size_t pos, Tag& tag)
{
    size_t i = pos + 1;
    tag.end = i < n && s[i] == L'/';
    if (tag.end)
        ++i;
    tag.selfClosing = false;
    tag.attributes.clear();
    tag.nameStart = i;
    while (i < n && !IsTagSpace(s[i]) && s[i] != L'/' && s[i] != L'>')
        ++i;
    tag.nameLength = i - tag.nameStart;
    for (;;) {
        while (i < n && (IsTagSpace(s[i]) || s[i] == L'/')) {
            tag.selfClosing = s[i] == L'/' && i + 1 < n && s[i + 1] == L'>';
            ++i;
        }
        if (i >= n)
            return npos;
        if (s[i] == L'>')
            return i + 1;
        tag.selfClosing = false;
        Attribute a;
        a.nameStart = i++;
        while (i < n && !IsTagSpace(s[i]) && s[i] != L'/' && s[i] != L'>' && s[i] != L'=')
            ++i;
        a.nameLength = i - a.nameStart;
        size_t j = i;
        while (j < n && IsTagSpace(s[j]))
            ++j;
        if (j < n && s[j] == L'=') {
            i = j + 1;
            while (i < n && IsTagSpace(s[i]))
                ++i;
            if (i >= n)
                return npos;
            a.hasValue = true;
            if (s[i] == L'"' || s[i] == L'\'') {
                wchar_t quote = s[i++];
                a.valueStart = i;
                i = FindChar(s, n, i, quote);
                if (i == npos)
                    return npos;
                a.valueLength = i - a.valueStart;
                ++i;
            } else {
                a.valueStart = i;
                while (i < n && !IsTagSpace(s[i]) && s[i] != L'>')
                    ++i;
                a.valueLength = i - a.valueStart;
            }
        }
        tag.attributes.push_back(a);
    }
}

void AppendAttributeValue(Text& out, const wchar_t* v, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        switch (v[i]) {
        case L'"':
            out += L"&quot;";
            break;
        case L'<':
            out += L"&lt;";
            break;
        case L'>':
            out += L"&gt;";
            break;
        case L'`':
            out += L"&#96;";
            break;
        default:
            out += v[i];
        }
    }
}

// Writes a kept tag anew from its parts, so nothing of the original spelling (stray quotes, junk attributes)
// reaches the output.
void AppendKeptTag(Text& out, const wchar_t* s, const Tag& tag)
{
    out += L'<';
    if (tag.end) {
        out += L'/';
        out.append(s + tag.nameStart, tag.nameLength);
        out += L'>';
        return;
    }
    out.append(s + tag.nameStart, tag.nameLength);
    const bool image = LowerAscii(s + tag.nameStart, tag.nameLength) == L"img";
    for (const Attribute& a : tag.attributes) {
        Text name = LowerAscii(s + a.nameStart, a.nameLength);
        if (!IsAllowedAttribute(name))
            continue;
        const bool source = image && name == L"src";
        if (source && !(a.hasValue && IsAllowedImageSource(s + a.valueStart, a.valueLength)))
            continue;
        if (!source && a.hasValue && IsUrlAttribute(name) && !IsSafeUrl(s + a.valueStart, a.valueLength))
            continue;
        out += L' ';
        out += name;
        if (a.hasValue) {
            out += L"=\"";
            AppendAttributeValue(out, s + a.valueStart, a.valueLength);
            out += L'"';
        }
    }
    if (tag.selfClosing)
        out += L" /";
    out += L'>';
}

// The index after the end tag of a dropped block, or the end of the text when the block is never closed.
size_t SkipBlock(const wchar_t* s, size_t n, size_t from, const Text& lowerName)
{
    for (size_t i = from; i + 1 < n; ++i) {
        if (s[i] != L'<' || s[i + 1] != L'/' || !MatchesAt(s, n, i + 2, lowerName.c_str()))
            continue;
        size_t k = i + 2 + lowerName.size();
        if (k == n || IsTagSpace(s[k]) || s[k] == L'>' || s[k] == L'/') {
            size_t gt = FindChar(s, n, k, L'>');
            return gt == npos ? n : gt + 1;
        }
    }
    return n;
}

// ---------------------------------------------------------------------------------------------------------------
// HtmlToText

struct Entity
{
    const wchar_t* replacement;
    bool afterAmp; // decoded after "&amp;", so "&amp;" followed by its name decodes twice
};

const std::unordered_map<Text, Entity>& EntityTable()
{
    static const std::unordered_map<Text, Entity> table = {
        {L"&#36;", {L"$", false}},         {L"&#37;", {L"%", false}},         {L"&#39;", {L"'", false}},
        {L"&#187;", {L"\u00BB", false}},   {L"&#171;", {L"\u00AB", false}},   {L"&#160;", {L" ", false}},
        {L"&#151;", {L"-", false}},        {L"&raquo;", {L"\u00BB", false}},  {L"&laquo;", {L"\u00AB", false}},
        {L"&aacute;", {L"\u00E1", false}}, {L"&atilde;", {L"\u00E3", false}}, {L"&ccedil;", {L"\u00E7", false}},
        {L"&eacute;", {L"\u00E9", false}}, {L"&ecirc;", {L"\u00EA", false}},  {L"&iacute;", {L"\u00ED", false}},
        {L"&oacute;", {L"\u00F3", false}}, {L"&ocirc;", {L"\u00F4", false}},  {L"&otilde;", {L"\u00F5", false}},
        {L"&Aacute;", {L"\u00C1", false}}, {L"&Atilde;", {L"\u00C3", false}}, {L"&Ccedil;", {L"\u00C7", false}},
        {L"&Eacute;", {L"\u00C9", false}}, {L"&Ecirc;", {L"\u00CA", false}},  {L"&Iacute;", {L"\u00CD", false}},
        {L"&Oacute;", {L"\u00D3", false}}, {L"&Ocirc;", {L"\u00D4", false}},  {L"&Otilde;", {L"\u00D5", false}},
        {L"&amp;", {L"&", false}},         {L"&quot;", {L"\"", true}},        {L"&apos;", {L"'", true}},
        {L"&lt;", {L"<", true}},           {L"&gt;", {L">", true}},           {L"&nbsp;", {L" ", true}},
        {L"&copy;", {L"\u00A9", true}},    {L"&#169;", {L"\u00A9", true}},    {L"&reg;", {L"\u00AE", true}},
        {L"&#174;", {L"\u00AE", true}},    {L"&Uacute;", {L"\u00DA", true}},  {L"&uacute;", {L"\u00FA", true}},
        {L"&uuml;", {L"\u00FC", true}},    {L"&Uuml;", {L"\u00DC", true}},    {L"&#8220;", {L"\"", true}},
        {L"&#8216;", {L"'", true}},        {L"&#8217;", {L"'", true}},        {L"&#8221;", {L"\"", true}},
        {L"&#8211;", {L"\u2014", true}},   {L"&#8212;", {L"\u2014", true}},   {L"&#8230;", {L"...", true}},
    };
    return table;
}

constexpr size_t kLongestEntity = 10; // "&thetasym;" and "&#x10FFFF;", with the '&' and ';'

// The table entry whose text starts at s[i] ('&'), or null.
const Entity* EntityAt(const Text& s, size_t i)
{
    size_t semicolon = npos;
    for (size_t k = i + 1; k < s.size() && k < i + kLongestEntity; ++k) {
        if (s[k] == L';') {
            semicolon = k;
            break;
        }
        if (s[k] == L'&')
            return nullptr;
    }
    if (semicolon == npos)
        return nullptr;
    auto found = EntityTable().find(s.substr(i, semicolon - i + 1));
    return found == EntityTable().end() ? nullptr : &found->second;
}

// A reference the table does not hold, s[i] ('&') to s[semicolon]: any named entity of HTML, or a numeric one.
// Appends its character; false when it is neither.
bool DecodeOtherReference(const Text& s, size_t i, size_t semicolon, Text& out)
{
    const wchar_t* name = s.data() + i + 1;
    const size_t length = semicolon - i - 1;
    UINT code = 0;
    if (length >= 2 && name[0] == L'#') {
        const bool hex = name[1] == L'x' || name[1] == L'X';
        const size_t first = hex ? 2 : 1;
        if (first >= length)
            return false;
        for (size_t k = first; k < length; ++k) {
            const wchar_t d = AsciiLower(name[k]);
            const int digit = IsAsciiDigit(d) ? d - L'0' : (hex && d >= L'a' && d <= L'f') ? d - L'a' + 10 : -1;
            if (digit < 0)
                return false;
            code = std::min<UINT>(code * (hex ? 16 : 10) + static_cast<UINT>(digit), 0x110000);
        }
    } else {
        code = HtmlLookupEntity(name, static_cast<int>(length));
        if (code == 0)
            return false;
    }
    const size_t at = out.size();
    HtmlAppendCodePoint(code, out);
    // The table shows a no-break space as a blank; so does every other spelling of it.
    if (out.size() == at + 1 && out[at] == 0xA0)
        out[at] = L' ';
    return true;
}

// The table is applied entry by entry, each entry everywhere in the text. Entries cannot overlap (each starts
// at an '&' and holds no other), and only "&amp;" yields an '&', which the entries after it see again: one
// pass that looks behind a decoded "&amp;" for those entries gives the same text.
Text DecodeEntities(const Text& s)
{
    Text out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (s[i] != L'&') {
            out += s[i++];
            continue;
        }
        const Entity* entity = EntityAt(s, i);
        if (!entity) {
            // Every other entity of HTML comes after the table, and an '&' that "&amp;" yields never starts one.
            const size_t semicolon = s.find_first_of(L"&;", i + 1);
            if (semicolon != npos && s[semicolon] == L';' && semicolon - i < kLongestEntity &&
                DecodeOtherReference(s, i, semicolon, out)) {
                i = semicolon + 1;
                continue;
            }
            out += s[i++];
            continue;
        }
        size_t length = 0;
        while (s[i + length] != L';')
            ++length;
        ++length;
        if (s.compare(i, length, L"&amp;") == 0) {
            // The '&' it yields may start one of the later entries with the text that follows.
            Text again = L"&";
            size_t k = i + length;
            while (k < s.size() && k < i + length + kLongestEntity && s[k] != L'&' && s[k] != L';')
                again += s[k++];
            if (k < s.size() && s[k] == L';') {
                again += L';';
                auto found = EntityTable().find(again);
                if (found != EntityTable().end() && found->second.afterAmp) {
                    out += found->second.replacement;
                    i = k + 1;
                    continue;
                }
            }
        }
        out += entity->replacement;
        i += length;
    }
    return out;
}

} // namespace

int StripActiveContent(CString& text)
{
    const wchar_t* s = text.GetString();
    const size_t n = static_cast<size_t>(text.GetLength());
    // Only tags are ever taken out.
    if (std::find(s, s + n, L'<') == s + n)
        return 1;
    Text out;
    out.reserve(n);
    Tag tag;
    size_t i = 0;
    while (i < n) {
        if (s[i] != L'<') {
            size_t j = FindChar(s, n, i, L'<');
            if (j == npos)
                j = n;
            out.append(s + i, j - i);
            i = j;
            continue;
        }
        wchar_t next = i + 1 < n ? s[i + 1] : 0;
        if (next == L'!' || next == L'?') {
            // Comments (conditional ones included), declarations and processing instructions go; one that is
            // never closed takes the rest of the text with it, as it would in a browser.
            size_t end = MatchesAt(s, n, i + 2, L"--") ? FindText(s, n, i + 2, L"-->") : FindChar(s, n, i + 2, L'>');
            if (end == npos)
                break;
            i = end + (s[end] == L'>' ? 1 : 3);
            continue;
        }
        bool endTag = next == L'/';
        wchar_t first = endTag ? (i + 2 < n ? s[i + 2] : 0) : next;
        if (!IsAsciiAlpha(first)) {
            if (endTag) {
                size_t gt = FindChar(s, n, i + 2, L'>');
                if (gt == npos)
                    break;
                i = gt + 1;
            } else {
                // A '<' that starts no tag is text; written as a reference it can never start one later.
                out += L"&lt;";
                ++i;
            }
            continue;
        }
        size_t after = ParseTag(s, n, i, tag);
        if (after == npos)
            break; // the text ends inside a tag: nothing of it is shown
        Text name = LowerAscii(s + tag.nameStart, tag.nameLength);
        switch (RuleFor(name)) {
        case TagRule::Keep:
            AppendKeptTag(out, s, tag);
            break;
        case TagRule::DropBlock:
            if (!tag.end)
                after = SkipBlock(s, n, after, name);
            break;
        case TagRule::DropTag:
            break;
        }
        i = after;
    }
    Assign(text, out);
    return 1;
}

namespace {

Text WithoutCarriageReturns(const wchar_t* src, size_t length)
{
    Text out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        if (src[i] != L'\r')
            out += src[i];
    }
    return out;
}

// "<P>", "<p>" and "<br>" become line feeds.
Text ParagraphsToLineFeeds(const Text& s)
{
    Text out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (s[i] == L'<' && (s.compare(i, 3, L"<P>") == 0 || s.compare(i, 3, L"<p>") == 0)) {
            out += L'\n';
            i += 3;
        } else if (s[i] == L'<' && s.compare(i, 4, L"<br>") == 0) {
            out += L'\n';
            i += 4;
        } else {
            out += s[i++];
        }
    }
    return out;
}

// What a tag leaves in the text when it goes: a line feed for line breaks ("<br...", any case) and for the start
// and end of paragraphs, list items and other blocks, so that "<li>one</li><li>two</li>" does not read "onetwo";
// a blank between table cells; nothing for the rest.
wchar_t TagSeparator(const Text& s, size_t lt, size_t gt)
{
    size_t i = lt + 1;
    if (i < gt && s[i] == L'/')
        ++i;
    size_t end = i;
    while (end < gt && (IsAsciiAlpha(s[end]) || IsAsciiDigit(s[end])))
        ++end;
    const Text name = LowerAscii(s.data() + i, end - i);
    if (name.compare(0, 2, L"br") == 0)
        return L'\n';
    static const std::unordered_set<Text> blocks = {
        L"p",  L"li", L"div", L"tr", L"h1", L"h2", L"h3",  L"h4",    L"h5",      L"h6",      L"blockquote",
        L"dt", L"dd", L"hr",  L"ul", L"ol", L"dl", L"pre", L"table", L"address", L"section", L"article"};
    if (blocks.count(name))
        return L'\n';
    return name == L"td" || name == L"th" ? L' ' : 0;
}

// Every '<' with a '>' after it opens a tag that goes, through that '>', leaving its separator. The first '>'
// at or after a '<' only moves forward, so it is searched once for the whole text.
Text WithoutTags(const Text& s)
{
    Text out;
    out.reserve(s.size());
    size_t gt = s.find(L'>');
    for (size_t i = 0; i < s.size();) {
        if (s[i] != L'<') {
            out += s[i++];
            continue;
        }
        if (gt != npos && gt < i)
            gt = s.find(L'>', i);
        if (gt == npos) {
            out.append(s, i, npos);
            break;
        }
        const wchar_t separator = TagSeparator(s, i, gt);
        if (separator == L'\n') {
            while (!out.empty() && out.back() == L' ')
                out.pop_back();
            out += separator;
        } else if (separator == L' ' && !out.empty() && out.back() != L' ' && out.back() != L'\n') {
            out += separator;
        }
        i = gt + 1;
    }
    return out;
}

// Runs of the character become one.
Text CollapseRuns(const Text& s, wchar_t c)
{
    Text out;
    out.reserve(s.size());
    for (wchar_t ch : s) {
        if (ch == c && !out.empty() && out.back() == c)
            continue;
        out += ch;
    }
    return out;
}

// At most two line feeds go from each end; the others become "<br>" and a line feed; tabs go.
Text LineFeedsToBreaks(const Text& s)
{
    size_t first = 0;
    size_t last = s.size();
    for (int k = 0; k < 2 && first < last && s[first] == L'\n'; ++k)
        ++first;
    for (int k = 0; k < 2 && last > first && s[last - 1] == L'\n'; ++k)
        --last;
    Text out;
    out.reserve(last - first + 16);
    for (size_t i = first; i < last; ++i) {
        if (s[i] == L'\n')
            out += L"<br>\n";
        else if (s[i] != L'\t')
            out += s[i];
    }
    return out;
}

// Text that every pass below leaves as it is: no markup, reference, line end, tab or run of blanks. Most titles
// and links are such text, and a start reads tens of thousands of them.
bool IsPlainText(const CString& text)
{
    const wchar_t* c = text.GetString();
    for (int i = 0, n = text.GetLength(); i < n; ++i) {
        switch (c[i]) {
        case L'<':
        case L'&':
        case L'\r':
        case L'\n':
        case L'\t':
            return false;
        case L' ':
            if (i + 1 < n && c[i + 1] == L' ')
                return false;
            break;
        default:
            break;
        }
    }
    return true;
}

Text WithoutBlanksBeforeLineFeeds(const Text& s)
{
    Text out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L' ' && i + 1 < s.size() && s[i + 1] == L'\n')
            continue;
        out += s[i];
    }
    return out;
}

} // namespace

int HtmlToText(CString& text)
{
    if (text.IsEmpty() || IsPlainText(text))
        return 1;
    Text s = WithoutCarriageReturns(text.GetString(), static_cast<size_t>(text.GetLength()));
    s = ParagraphsToLineFeeds(s);
    s = WithoutTags(s);
    s = CollapseRuns(s, L'\n');
    s = LineFeedsToBreaks(s);
    s = CollapseRuns(s, L' ');
    s = DecodeEntities(s);
    s = WithoutBlanksBeforeLineFeeds(s);
    Assign(text, s);
    return 1;
}

bool IsSafeLink(const CString& link)
{
    return IsSafeUrl(link.GetString(), static_cast<size_t>(link.GetLength()));
}

CString CleanedCopy(const CString& text)
{
    CString copy = text;
    StripActiveContent(copy);
    return copy;
}

CString DisplayCopy(const CString& text)
{
    CString copy = text;
    HtmlToText(copy);
    return copy;
}

CString HtmlToPlainText(const CString& html)
{
    CString text = DisplayCopy(html);
    text.Replace(L"<br>\n", L" ");
    return text.Trim();
}

CString TrimmedDisplayCopy(const CString& text)
{
    CString copy = text;
    copy.Trim();
    HtmlToText(copy);
    return copy.Trim();
}
