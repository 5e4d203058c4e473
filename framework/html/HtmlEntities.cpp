#include "framework/html/HtmlEntities.h"

#include <algorithm>
#include <cwchar>

namespace {

struct Entity
{
    const wchar_t* name;
    UINT codePoint;
};

const Entity kEntities[] = {
    {L"AElig", 198},   {L"Aacute", 193},  {L"Acirc", 194},    {L"Agrave", 192},  {L"Alpha", 913},    {L"Aring", 197},
    {L"Atilde", 195},  {L"Auml", 196},    {L"Beta", 914},     {L"Ccedil", 199},  {L"Chi", 935},      {L"Dagger", 8225},
    {L"Delta", 916},   {L"ETH", 208},     {L"Eacute", 201},   {L"Ecirc", 202},   {L"Egrave", 200},   {L"Epsilon", 917},
    {L"Eta", 919},     {L"Euml", 203},    {L"Gamma", 915},    {L"Iacute", 205},  {L"Icirc", 206},    {L"Igrave", 204},
    {L"Iota", 921},    {L"Iuml", 207},    {L"Kappa", 922},    {L"Lambda", 923},  {L"Mu", 924},       {L"Ntilde", 209},
    {L"Nu", 925},      {L"OElig", 338},   {L"Oacute", 211},   {L"Ocirc", 212},   {L"Ograve", 210},   {L"Omega", 937},
    {L"Omicron", 927}, {L"Oslash", 216},  {L"Otilde", 213},   {L"Ouml", 214},    {L"Phi", 934},      {L"Pi", 928},
    {L"Prime", 8243},  {L"Psi", 936},     {L"Rho", 929},      {L"Scaron", 352},  {L"Sigma", 931},    {L"THORN", 222},
    {L"Tau", 932},     {L"Theta", 920},   {L"Uacute", 218},   {L"Ucirc", 219},   {L"Ugrave", 217},   {L"Upsilon", 933},
    {L"Uuml", 220},    {L"Xi", 926},      {L"Yacute", 221},   {L"Yuml", 376},    {L"Zeta", 918},     {L"aacute", 225},
    {L"acirc", 226},   {L"acute", 180},   {L"aelig", 230},    {L"agrave", 224},  {L"alefsym", 8501}, {L"alpha", 945},
    {L"amp", 38},      {L"and", 8743},    {L"ang", 8736},     {L"apos", 39},     {L"aring", 229},    {L"asymp", 8776},
    {L"atilde", 227},  {L"auml", 228},    {L"bdquo", 8222},   {L"beta", 946},    {L"brvbar", 166},   {L"bull", 8226},
    {L"cap", 8745},    {L"ccedil", 231},  {L"cedil", 184},    {L"cent", 162},    {L"chi", 967},      {L"circ", 710},
    {L"clubs", 9827},  {L"cong", 8773},   {L"copy", 169},     {L"crarr", 8629},  {L"cup", 8746},     {L"curren", 164},
    {L"dArr", 8659},   {L"dagger", 8224}, {L"darr", 8595},    {L"deg", 176},     {L"delta", 948},    {L"diams", 9830},
    {L"divide", 247},  {L"eacute", 233},  {L"ecirc", 234},    {L"egrave", 232},  {L"empty", 8709},   {L"emsp", 8195},
    {L"ensp", 8194},   {L"epsilon", 949}, {L"equiv", 8801},   {L"eta", 951},     {L"eth", 240},      {L"euml", 235},
    {L"euro", 8364},   {L"exist", 8707},  {L"fnof", 402},     {L"forall", 8704}, {L"frac12", 189},   {L"frac14", 188},
    {L"frac34", 190},  {L"frasl", 8260},  {L"gamma", 947},    {L"ge", 8805},     {L"gt", 62},        {L"hArr", 8660},
    {L"harr", 8596},   {L"hearts", 9829}, {L"hellip", 8230},  {L"iacute", 237},  {L"icirc", 238},    {L"iexcl", 161},
    {L"igrave", 236},  {L"image", 8465},  {L"infin", 8734},   {L"int", 8747},    {L"iota", 953},     {L"iquest", 191},
    {L"isin", 8712},   {L"iuml", 239},    {L"kappa", 954},    {L"lArr", 8656},   {L"lambda", 955},   {L"lang", 9001},
    {L"laquo", 171},   {L"larr", 8592},   {L"lceil", 8968},   {L"ldquo", 8220},  {L"le", 8804},      {L"lfloor", 8970},
    {L"lowast", 8727}, {L"loz", 9674},    {L"lrm", 8206},     {L"lsaquo", 8249}, {L"lsquo", 8216},   {L"lt", 60},
    {L"macr", 175},    {L"mdash", 8212},  {L"micro", 181},    {L"middot", 183},  {L"minus", 8722},   {L"mu", 956},
    {L"nabla", 8711},  {L"nbsp", 160},    {L"ndash", 8211},   {L"ne", 8800},     {L"ni", 8715},      {L"not", 172},
    {L"notin", 8713},  {L"nsub", 8836},   {L"ntilde", 241},   {L"nu", 957},      {L"oacute", 243},   {L"ocirc", 244},
    {L"oelig", 339},   {L"ograve", 242},  {L"oline", 8254},   {L"omega", 969},   {L"omicron", 959},  {L"oplus", 8853},
    {L"or", 8744},     {L"ordf", 170},    {L"ordm", 186},     {L"oslash", 248},  {L"otilde", 245},   {L"otimes", 8855},
    {L"ouml", 246},    {L"para", 182},    {L"part", 8706},    {L"permil", 8240}, {L"perp", 8869},    {L"phi", 966},
    {L"pi", 960},      {L"piv", 982},     {L"plusmn", 177},   {L"pound", 163},   {L"prime", 8242},   {L"prod", 8719},
    {L"prop", 8733},   {L"psi", 968},     {L"quot", 34},      {L"rArr", 8658},   {L"radic", 8730},   {L"rang", 9002},
    {L"raquo", 187},   {L"rarr", 8594},   {L"rceil", 8969},   {L"rdquo", 8221},  {L"real", 8476},    {L"reg", 174},
    {L"rfloor", 8971}, {L"rho", 961},     {L"rlm", 8207},     {L"rsaquo", 8250}, {L"rsquo", 8217},   {L"sbquo", 8218},
    {L"scaron", 353},  {L"sdot", 8901},   {L"sect", 167},     {L"shy", 173},     {L"sigma", 963},    {L"sigmaf", 962},
    {L"sim", 8764},    {L"spades", 9824}, {L"sub", 8834},     {L"sube", 8838},   {L"sum", 8721},     {L"sup", 8835},
    {L"sup1", 185},    {L"sup2", 178},    {L"sup3", 179},     {L"supe", 8839},   {L"szlig", 223},    {L"tau", 964},
    {L"there4", 8756}, {L"theta", 952},   {L"thetasym", 977}, {L"thinsp", 8201}, {L"thorn", 254},    {L"tilde", 732},
    {L"times", 215},   {L"trade", 8482},  {L"uArr", 8657},    {L"uacute", 250},  {L"uarr", 8593},    {L"ucirc", 251},
    {L"ugrave", 249},  {L"uml", 168},     {L"upsih", 978},    {L"upsilon", 965}, {L"uuml", 252},     {L"weierp", 8472},
    {L"xi", 958},      {L"yacute", 253},  {L"yen", 165},      {L"yuml", 255},    {L"zeta", 950},     {L"zwj", 8205},
    {L"zwnj", 8204},
};

// What browsers show for references to the C1 range: the windows-1252 characters pages meant by them.
const wchar_t kC1[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                         0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                         0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

constexpr int kLongestName = 8;

bool IsAlnum(wchar_t ch)
{
    return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9');
}

// Named references a page may write without the semicolon: the ones old browsers accepted so.
bool IsLegacy(UINT codePoint)
{
    return codePoint <= 255 && codePoint != 39;
}

} // namespace

UINT HtmlLookupEntity(LPCWSTR name, int length) noexcept
{
    if (length <= 0 || length > kLongestName)
        return 0;
    wchar_t key[kLongestName + 1];
    std::wmemcpy(key, name, static_cast<size_t>(length));
    key[length] = 0;
    const Entity* end = kEntities + sizeof(kEntities) / sizeof(kEntities[0]);
    const Entity* found = std::lower_bound(
        kEntities, end, key, [](const Entity& e, const wchar_t* k) { return std::wcscmp(e.name, k) < 0; });
    return found != end && std::wcscmp(found->name, key) == 0 ? found->codePoint : 0;
}

void HtmlAppendCodePoint(UINT codePoint, std::wstring& out)
{
    if (codePoint == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        out.push_back(L'\xFFFD');
    } else if (codePoint >= 0x80 && codePoint <= 0x9F) {
        out.push_back(kC1[codePoint - 0x80]);
    } else if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF)));
    } else {
        out.push_back(static_cast<wchar_t>(codePoint));
    }
}

namespace {

// Decodes the reference at text[at] ('&'); returns the characters consumed (0: not a reference).
size_t DecodeOne(LPCWSTR text, size_t at, size_t length, bool attribute, std::wstring& out)
{
    size_t i = at + 1;
    if (i < length && text[i] == L'#') {
        ++i;
        const bool hex = i < length && (text[i] == L'x' || text[i] == L'X');
        if (hex)
            ++i;
        const size_t digitsStart = i;
        UINT value = 0;
        bool overflow = false;
        for (; i < length; ++i) {
            const wchar_t ch = text[i];
            UINT digit;
            if (ch >= L'0' && ch <= L'9')
                digit = ch - L'0';
            else if (hex && ch >= L'a' && ch <= L'f')
                digit = ch - L'a' + 10;
            else if (hex && ch >= L'A' && ch <= L'F')
                digit = ch - L'A' + 10;
            else
                break;
            value = value * (hex ? 16 : 10) + digit;
            if (value > 0x10FFFF)
                overflow = true, value = 0x110000;
        }
        if (i == digitsStart)
            return 0;
        if (i < length && text[i] == L';')
            ++i;
        HtmlAppendCodePoint(overflow ? 0x110000 : value, out);
        return i - at;
    }
    size_t end = i;
    while (end < length && end - i < kLongestName + 1 && IsAlnum(text[end]))
        ++end;
    if (end == i)
        return 0;
    if (end < length && text[end] == L';') {
        if (const UINT value = HtmlLookupEntity(text + i, static_cast<int>(end - i))) {
            HtmlAppendCodePoint(value, out);
            return end + 1 - at;
        }
    }
    // Without the semicolon: the longest legacy name that starts the run. In an attribute value a name followed
    // by more letters or '=' is a URL's query parameter ("&copy=1"), never a reference.
    for (size_t n = std::min<size_t>(end - i, kLongestName); n >= 2; --n) {
        const UINT value = HtmlLookupEntity(text + i, static_cast<int>(n));
        if (value == 0 || !IsLegacy(value))
            continue;
        if (attribute && i + n < length && (IsAlnum(text[i + n]) || text[i + n] == L'='))
            return 0;
        HtmlAppendCodePoint(value, out);
        return i + n - at;
    }
    return 0;
}

} // namespace

void HtmlDecodeEntities(LPCWSTR text, size_t length, std::wstring& out, bool attribute)
{
    size_t runStart = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != L'&')
            continue;
        out.append(text + runStart, i - runStart);
        const size_t used = DecodeOne(text, i, length, attribute, out);
        if (used == 0) {
            out.push_back(L'&');
            runStart = i + 1;
        } else {
            runStart = i + used;
            i += used - 1;
        }
    }
    out.append(text + runStart, length - runStart);
}

CString HtmlDecodeEntities(LPCWSTR text)
{
    std::wstring out;
    HtmlDecodeEntities(text, text ? std::wcslen(text) : 0, out, false);
    return CString(out.c_str(), static_cast<int>(out.size()));
}
