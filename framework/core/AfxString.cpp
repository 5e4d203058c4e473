#include "framework/core/AfxString.h"

#include "framework/core/AfxModule.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>
#include <string>
#include <string_view>

// The header in front of a string's characters. refs is -1 while the buffer is locked (never shared).
template <typename T> struct CStringT<T>::Data
{
    std::atomic<long> refs;
    int length;
    int capacity; // characters, not counting the terminating zero

    T* Chars() { return reinterpret_cast<T*>(this + 1); }
};

namespace {

// The largest length a string may reach, with room for the header and the terminator in a byte count.
constexpr int kMaxLength = INT_MAX / 4 - 64;

template <typename T> struct NilBlock
{
    typename CStringT<T>::Data header;
    T terminator;
};

size_t Length(const char* psz)
{
    return std::strlen(psz);
}

size_t Length(const wchar_t* psz)
{
    return std::wcslen(psz);
}

bool IsSpace(char ch)
{
    return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

bool IsSpace(wchar_t ch)
{
    return std::iswspace(ch) != 0;
}

wchar_t FoldCase(wchar_t ch)
{
    if (ch < 128)
        return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + 32) : ch;
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(ch))));
}

unsigned char FoldCase(char ch)
{
    unsigned char u = static_cast<unsigned char>(ch);
    if (u < 128)
        return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + 32) : u;
    return static_cast<unsigned char>(reinterpret_cast<ULONG_PTR>(CharLowerA(reinterpret_cast<LPSTR>(u))));
}

std::wstring ToWide(const char* pch, int length)
{
    std::wstring out;
    if (!pch || length <= 0)
        return out;
    int needed = MultiByteToWideChar(CP_ACP, 0, pch, length, nullptr, 0);
    if (needed <= 0)
        return out;
    out.resize(static_cast<size_t>(needed));
    MultiByteToWideChar(CP_ACP, 0, pch, length, out.data(), needed);
    return out;
}

std::string ToNarrow(const wchar_t* pch, int length)
{
    std::string out;
    if (!pch || length <= 0)
        return out;
    int needed = WideCharToMultiByte(CP_ACP, 0, pch, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return out;
    out.resize(static_cast<size_t>(needed));
    WideCharToMultiByte(CP_ACP, 0, pch, length, out.data(), needed, nullptr, nullptr);
    return out;
}

template <typename T> std::basic_string<T> Convert(const char* pch, int length)
{
    if constexpr (std::is_same_v<T, char>)
        return std::string(pch, static_cast<size_t>(length));
    else
        return ToWide(pch, length);
}

template <typename T> std::basic_string<T> Convert(const wchar_t* pch, int length)
{
    if constexpr (std::is_same_v<T, wchar_t>)
        return std::wstring(pch, static_cast<size_t>(length));
    else
        return ToNarrow(pch, length);
}

// Length of a text that may lack a terminator within limit characters.
template <typename C> int BoundedLength(const C* p, int limit)
{
    int n = 0;
    while ((limit < 0 || n < limit) && p[n])
        ++n;
    return n;
}

template <typename T> void Pad(std::basic_string<T>& out, const std::basic_string<T>& text, int width, bool left)
{
    int padding = width - static_cast<int>(text.size());
    if (padding > 0 && !left)
        out.append(static_cast<size_t>(padding), T(' '));
    out += text;
    if (padding > 0 && left)
        out.append(static_cast<size_t>(padding), T(' '));
}

// Length modifiers, including the platform's I, I32 and I64 and w (wide).
enum class ArgSize
{
    Default,
    Char,
    Short,
    Long,
    LongLong,
    PointerSized,
    LongDouble,
    WideText,
};

struct LengthModifier
{
    const char* text;
    ArgSize size;
};

// Longer modifiers before their prefixes.
const LengthModifier kLengthModifiers[] = {
    {"hh", ArgSize::Char},      {"h", ArgSize::Short},      {"ll", ArgSize::LongLong},    {"l", ArgSize::Long},
    {"L", ArgSize::LongDouble}, {"j", ArgSize::LongLong},   {"z", ArgSize::PointerSized}, {"t", ArgSize::PointerSized},
    {"w", ArgSize::WideText},   {"I64", ArgSize::LongLong}, {"I32", ArgSize::Default},    {"I", ArgSize::PointerSized},
};

// One conversion's flags, width, precision and argument size, as written after its '%'.
struct FormatSpec
{
    std::string flags;
    int width = 0;
    int precision = -1;
    ArgSize size = ArgSize::Default;

    bool LeftAligned() const { return flags.find('-') != std::string::npos; }
    // The spec for the C library, without its conversion letter.
    std::string NarrowFormat() const
    {
        std::string format = "%" + flags;
        if (width > 0)
            format += std::to_string(width);
        if (precision >= 0)
            format += "." + std::to_string(precision);
        return format;
    }
};

template <typename T> int ReadCount(const T*& p)
{
    int value = 0;
    while (*p >= T('0') && *p <= T('9') && value < kMaxLength / 10)
        value = value * 10 + (*p++ - T('0'));
    return value;
}

// Reads what stands between the '%' and the conversion letter; p ends on the letter.
template <typename T> void ReadSpec(const T*& p, va_list& args, FormatSpec& spec)
{
    while (*p == T('-') || *p == T('+') || *p == T(' ') || *p == T('#') || *p == T('0')) {
        if (spec.flags.find(static_cast<char>(*p)) == std::string::npos)
            spec.flags += static_cast<char>(*p);
        ++p;
    }
    if (*p == T('*')) {
        spec.width = va_arg(args, int);
        if (spec.width < 0) {
            spec.flags += '-';
            spec.width = spec.width == INT_MIN ? 0 : -spec.width;
        }
        ++p;
    } else {
        spec.width = ReadCount(p);
    }
    if (*p == T('.')) {
        ++p;
        if (*p == T('*')) {
            spec.precision = va_arg(args, int);
            ++p;
        } else {
            spec.precision = ReadCount(p);
        }
    }
    for (const LengthModifier& modifier : kLengthModifiers) {
        size_t n = 0;
        while (modifier.text[n] && p[n] == static_cast<T>(modifier.text[n]))
            ++n;
        if (!modifier.text[n]) {
            p += n;
            spec.size = modifier.size;
            return;
        }
    }
}

// Whether a text or character conversion takes a wide argument: 's' and 'c' the string's own width, 'S' and 'C'
// the other, whatever the modifier does not say otherwise.
template <typename T> bool TakesWideArgument(T conversion, ArgSize size)
{
    constexpr bool kWide = std::is_same_v<T, wchar_t>;
    if (size == ArgSize::Long || size == ArgSize::WideText)
        return true;
    if (size == ArgSize::Short)
        return false;
    return conversion == T('s') || conversion == T('c') ? kWide : !kWide;
}

template <typename T> void AppendText(std::basic_string<T>& out, T conversion, const FormatSpec& spec, va_list& args)
{
    std::basic_string<T> text;
    if (TakesWideArgument(conversion, spec.size)) {
        const wchar_t* s = va_arg(args, const wchar_t*);
        if (!s)
            s = L"(null)";
        text = Convert<T>(s, BoundedLength(s, spec.precision));
    } else {
        const char* s = va_arg(args, const char*);
        if (!s)
            s = "(null)";
        text = Convert<T>(s, BoundedLength(s, spec.precision));
    }
    Pad(out, text, spec.width, spec.LeftAligned());
}

template <typename T>
void AppendCharacter(std::basic_string<T>& out, T conversion, const FormatSpec& spec, va_list& args)
{
    std::basic_string<T> text;
    if (TakesWideArgument(conversion, spec.size)) {
        wchar_t ch = static_cast<wchar_t>(va_arg(args, int));
        text = Convert<T>(&ch, 1);
    } else {
        char ch = static_cast<char>(va_arg(args, int));
        text = Convert<T>(&ch, 1);
    }
    Pad(out, text, spec.width, spec.LeftAligned());
}

template <typename V> std::string PrintNumber(const std::string& format, V value)
{
    char buffer[128];
    const int n = std::snprintf(buffer, sizeof(buffer), format.c_str(), value);
    if (n < 0)
        return std::string();
    if (n < static_cast<int>(sizeof(buffer)))
        return std::string(buffer, static_cast<size_t>(n));
    std::string number(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(number.data(), number.size(), format.c_str(), value);
    number.resize(static_cast<size_t>(n));
    return number;
}

bool IsNumberConversion(char c)
{
    return c != '\0' && std::strchr("diuxXopeEfFgGaA", c) != nullptr;
}

// Numbers go through the narrow C library, whose output is plain ASCII.
std::string FormatNumber(char c, const FormatSpec& spec, va_list& args)
{
    std::string format = spec.NarrowFormat();
    if (c == 'p')
        return PrintNumber(format + 'p', va_arg(args, void*));
    const bool bWide = spec.size == ArgSize::LongLong || spec.size == ArgSize::PointerSized;
    if (c == 'd' || c == 'i') {
        long long value;
        if (bWide)
            value = va_arg(args, long long);
        else if (spec.size == ArgSize::Char)
            value = static_cast<signed char>(va_arg(args, int));
        else if (spec.size == ArgSize::Short)
            value = static_cast<short>(va_arg(args, int));
        else
            value = va_arg(args, int); // long is 32 bits here
        return PrintNumber(format + "lld", value);
    }
    if (c == 'u' || c == 'x' || c == 'X' || c == 'o') {
        unsigned long long value;
        if (bWide)
            value = va_arg(args, unsigned long long);
        else if (spec.size == ArgSize::Char)
            value = static_cast<unsigned char>(va_arg(args, unsigned int));
        else if (spec.size == ArgSize::Short)
            value = static_cast<unsigned short>(va_arg(args, unsigned int));
        else
            value = va_arg(args, unsigned int);
        return PrintNumber(format + "ll" + c, value);
    }
    if (spec.size == ArgSize::LongDouble)
        return PrintNumber(format + 'L' + c, va_arg(args, long double));
    return PrintNumber(format + c, va_arg(args, double));
}

// printf by hand for text (so "%s" means this string's own width whatever the C library thinks) and through
// the narrow C library for numbers.
template <typename T> void FormatInto(std::basic_string<T>& out, const T* format, va_list args)
{
    const T* p = format;
    while (*p) {
        if (*p != T('%')) {
            out += *p++;
            continue;
        }
        const T* specStart = p++;
        if (*p == T('%')) {
            out += T('%');
            ++p;
            continue;
        }
        FormatSpec spec;
        ReadSpec(p, args, spec);
        const T conversion = *p;
        if (!conversion) {
            out.append(specStart, p);
            break;
        }
        ++p;
        const char c = conversion < 128 ? static_cast<char>(conversion) : '\0';
        if (c == 's' || c == 'S') {
            AppendText(out, conversion, spec, args);
        } else if (c == 'c' || c == 'C') {
            AppendCharacter(out, conversion, spec, args);
        } else if (IsNumberConversion(c)) {
            for (char ch : FormatNumber(c, spec, args))
                out += static_cast<T>(static_cast<unsigned char>(ch));
        } else if (c == 'n') {
            // Writing through an argument is how format strings become attacks: consume it, write nothing.
            (void)va_arg(args, void*);
        } else {
            out.append(specStart, p);
        }
    }
}

} // namespace

template <typename T> static typename CStringT<T>::Data* NilData() noexcept
{
    static NilBlock<T> nil{{{1}, 0, 0}, 0};
    return &nil.header;
}

template <typename T> static typename CStringT<T>::Data* Allocate(int capacity)
{
    if (capacity < 0 || capacity > kMaxLength)
        throw std::bad_alloc();
    using Data = typename CStringT<T>::Data;
    void* block = std::malloc(sizeof(Data) + (static_cast<size_t>(capacity) + 1) * sizeof(T));
    if (!block)
        throw std::bad_alloc();
    Data* data = new (block) Data;
    data->refs.store(1, std::memory_order_relaxed);
    data->length = 0;
    data->capacity = capacity;
    data->Chars()[0] = 0;
    return data;
}

template <typename T> static void Free(typename CStringT<T>::Data* data) noexcept
{
    using Data = typename CStringT<T>::Data;
    data->~Data();
    std::free(data);
}

// ---- Construction and assignment --------------------------------------------------------------------------

template <typename T> CStringT<T>::CStringT() noexcept : m_pszData(NilData<T>()->Chars()) {}

template <typename T> CStringT<T>::CStringT(const CStringT& other) : m_pszData(NilData<T>()->Chars())
{
    *this = other;
}

template <typename T> CStringT<T>::CStringT(CStringT&& other) noexcept : m_pszData(other.m_pszData)
{
    other.m_pszData = NilData<T>()->Chars();
}

template <typename T> CStringT<T>::CStringT(PCXSTR psz) : m_pszData(NilData<T>()->Chars())
{
    *this = psz;
}

template <typename T> CStringT<T>::CStringT(PCYSTR psz) : m_pszData(NilData<T>()->Chars())
{
    *this = psz;
}

template <typename T> CStringT<T>::CStringT(PCXSTR pch, int length) : m_pszData(NilData<T>()->Chars())
{
    AssignCopy(pch, pch ? std::max(length, 0) : 0);
}

template <typename T> CStringT<T>::CStringT(PCYSTR pch, int length) : m_pszData(NilData<T>()->Chars())
{
    AssignOther(pch, pch ? std::max(length, 0) : 0);
}

template <typename T> CStringT<T>::CStringT(XCHAR ch, int repeat) : m_pszData(NilData<T>()->Chars())
{
    if (repeat <= 0)
        return;
    PrepareWrite(repeat);
    std::fill(m_pszData, m_pszData + repeat, ch);
    SetLengthInternal(repeat);
}

template <typename T> CStringT<T>::CStringT(const CStringT<YCHAR>& other) : m_pszData(NilData<T>()->Chars())
{
    AssignOther(other.GetString(), other.GetLength());
}

template <typename T> CStringT<T>::~CStringT()
{
    Release();
}

template <typename T> typename CStringT<T>::Data* CStringT<T>::GetData() const noexcept
{
    return reinterpret_cast<Data*>(m_pszData) - 1;
}

template <typename T> void CStringT<T>::Release() noexcept
{
    Data* data = GetData();
    if (data == NilData<T>())
        return;
    long refs = data->refs.load(std::memory_order_acquire);
    if (refs < 0 || data->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        Free<T>(data);
    m_pszData = NilData<T>()->Chars();
}

template <typename T> CStringT<T>& CStringT<T>::operator=(const CStringT& other)
{
    Data* source = other.GetData();
    if (source == GetData())
        return *this;
    if (source != NilData<T>() && source->refs.load(std::memory_order_acquire) < 0) {
        // A locked buffer stays private to its owner.
        AssignCopy(other.m_pszData, source->length);
        return *this;
    }
    if (source != NilData<T>())
        source->refs.fetch_add(1, std::memory_order_relaxed);
    Release();
    m_pszData = other.m_pszData;
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator=(CStringT&& other) noexcept
{
    if (this != &other) {
        Release();
        m_pszData = other.m_pszData;
        other.m_pszData = NilData<T>()->Chars();
    }
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator=(PCXSTR psz)
{
    if (psz && IS_INTRESOURCE(psz)) {
        Empty();
        LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(psz)));
    } else {
        AssignCopy(psz, SafeLength(psz));
    }
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator=(PCYSTR psz)
{
    if (psz && IS_INTRESOURCE(psz)) {
        Empty();
        LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(psz)));
    } else {
        AssignOther(psz, psz ? static_cast<int>(std::min<size_t>(Length(psz), kMaxLength)) : 0);
    }
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator=(XCHAR ch)
{
    AssignCopy(&ch, 1);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator=(const CStringT<YCHAR>& other)
{
    AssignOther(other.GetString(), other.GetLength());
    return *this;
}

template <typename T> void CStringT<T>::AssignCopy(PCXSTR pch, int length)
{
    if (!pch || length <= 0) {
        Empty();
        return;
    }
    Data* data = GetData();
    long refs = data->refs.load(std::memory_order_acquire);
    if (data != NilData<T>() && (refs == 1 || refs < 0) && data->capacity >= length) {
        // The text may lie inside our own buffer.
        std::memmove(m_pszData, pch, static_cast<size_t>(length) * sizeof(T));
        SetLengthInternal(length);
        return;
    }
    Data* fresh = Allocate<T>(length);
    std::memcpy(fresh->Chars(), pch, static_cast<size_t>(length) * sizeof(T));
    Release();
    m_pszData = fresh->Chars();
    SetLengthInternal(length);
}

template <typename T> void CStringT<T>::AssignOther(PCYSTR pch, int length)
{
    std::basic_string<T> converted = Convert<T>(pch, length);
    AssignCopy(converted.data(), static_cast<int>(converted.size()));
}

template <typename T> void CStringT<T>::PrepareWrite(int minCapacity)
{
    Data* data = GetData();
    long refs = data->refs.load(std::memory_order_acquire);
    const bool unique = data != NilData<T>() && (refs == 1 || refs < 0);
    if (unique && data->capacity >= minCapacity)
        return;
    int capacity = std::max(minCapacity, data->length);
    // Doubling keeps a run of appends linear.
    if (unique && data->capacity < kMaxLength / 2)
        capacity = std::max(capacity, data->capacity * 2);
    Data* fresh = Allocate<T>(capacity);
    std::memcpy(fresh->Chars(), m_pszData, (static_cast<size_t>(data->length) + 1) * sizeof(T));
    fresh->length = data->length;
    if (refs < 0 && data != NilData<T>())
        fresh->refs.store(-1, std::memory_order_relaxed);
    Release();
    m_pszData = fresh->Chars();
}

template <typename T> void CStringT<T>::SetLengthInternal(int length)
{
    Data* data = GetData();
    data->length = length;
    m_pszData[length] = 0;
}

// ---- Size and access -------------------------------------------------------------------------------------

template <typename T> int CStringT<T>::GetLength() const noexcept
{
    return GetData()->length;
}

template <typename T> void CStringT<T>::Empty() noexcept
{
    Release();
}

template <typename T> int CStringT<T>::GetAllocLength() const noexcept
{
    return GetData()->capacity;
}

template <typename T> T CStringT<T>::GetAt(int index) const
{
    return (index >= 0 && index < GetLength()) ? m_pszData[index] : T(0);
}

template <typename T> void CStringT<T>::SetAt(int index, XCHAR ch)
{
    if (index < 0 || index >= GetLength())
        return;
    PrepareWrite(GetLength());
    m_pszData[index] = ch;
}

template <typename T> void CStringT<T>::SetString(PCXSTR psz)
{
    AssignCopy(psz, SafeLength(psz));
}

template <typename T> void CStringT<T>::SetString(PCXSTR pch, int length)
{
    AssignCopy(pch, length);
}

template <typename T> int CStringT<T>::SafeLength(PCXSTR psz) noexcept
{
    return psz ? static_cast<int>(std::min<size_t>(Length(psz), kMaxLength)) : 0;
}

// ---- Appending -------------------------------------------------------------------------------------------

template <typename T> void CStringT<T>::Append(PCXSTR pch, int length)
{
    if (!pch || length <= 0)
        return;
    Data* data = GetData();
    const int old = data->length;
    if (data->refs.load(std::memory_order_relaxed) == 1 && length <= data->capacity - old && data != NilData<T>()) {
        // Room in an unshared buffer; the text may lie inside it, hence memmove.
        std::memmove(m_pszData + old, pch, static_cast<size_t>(length) * sizeof(T));
        data->length = old + length;
        m_pszData[old + length] = 0;
        return;
    }
    if (old == 0 && data == NilData<T>()) {
        AssignCopy(pch, length);
        return;
    }
    if (length > kMaxLength - old)
        throw std::bad_alloc();
    // The text may lie inside our own buffer, which PrepareWrite may move.
    const bool inside = pch >= m_pszData && pch <= m_pszData + old;
    const ptrdiff_t offset = pch - m_pszData;
    PrepareWrite(old + length);
    if (inside)
        pch = m_pszData + offset;
    std::memmove(m_pszData + old, pch, static_cast<size_t>(length) * sizeof(T));
    SetLengthInternal(old + length);
}

template <typename T> void CStringT<T>::Append(const CStringT& other)
{
    if (IsEmpty()) {
        *this = other;
        return;
    }
    Append(other.m_pszData, other.GetLength());
}

template <typename T> void CStringT<T>::Append(PCXSTR psz)
{
    Append(psz, SafeLength(psz));
}

template <typename T> void CStringT<T>::AppendChar(XCHAR ch)
{
    Append(&ch, 1);
}

template <typename T> void CStringT<T>::AppendOther(PCYSTR pch, int length)
{
    std::basic_string<T> converted = Convert<T>(pch, length);
    Append(converted.data(), static_cast<int>(converted.size()));
}

template <typename T> CStringT<T>& CStringT<T>::operator+=(const CStringT& other)
{
    Append(other);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator+=(PCXSTR psz)
{
    Append(psz);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator+=(PCYSTR psz)
{
    if (psz)
        AppendOther(psz, static_cast<int>(std::min<size_t>(Length(psz), kMaxLength)));
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator+=(XCHAR ch)
{
    AppendChar(ch);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator+=(const CStringT<YCHAR>& other)
{
    AppendOther(other.GetString(), other.GetLength());
    return *this;
}

template <typename T> CStringT<T> CStringT<T>::Concat(PCXSTR a, int aLength, PCXSTR b, int bLength)
{
    CStringT result;
    if (aLength + static_cast<long long>(bLength) > kMaxLength)
        throw std::bad_alloc();
    if (aLength + bLength == 0)
        return result;
    result.PrepareWrite(aLength + bLength);
    std::memcpy(result.m_pszData, a, static_cast<size_t>(aLength) * sizeof(T));
    std::memcpy(result.m_pszData + aLength, b, static_cast<size_t>(bLength) * sizeof(T));
    result.SetLengthInternal(aLength + bLength);
    return result;
}

// ---- Comparison ------------------------------------------------------------------------------------------

template <typename T> bool CStringT<T>::Equals(PCXSTR pch, int length) const noexcept
{
    if (length != GetLength())
        return false;
    return pch == m_pszData || std::memcmp(m_pszData, pch, static_cast<size_t>(length) * sizeof(T)) == 0;
}

template <typename T> int CStringT<T>::Compare(PCXSTR psz) const
{
    using U = std::make_unsigned_t<T>;
    if (!psz)
        psz = NilData<T>()->Chars();
    const T* a = m_pszData;
    for (;; ++a, ++psz) {
        U ua = static_cast<U>(*a), ub = static_cast<U>(*psz);
        if (ua != ub)
            return ua < ub ? -1 : 1;
        if (!ua)
            return 0;
    }
}

template <typename T> int CStringT<T>::CompareNoCase(PCXSTR psz) const
{
    using U = std::make_unsigned_t<T>;
    if (!psz)
        psz = NilData<T>()->Chars();
    const T* a = m_pszData;
    for (;; ++a, ++psz) {
        U ua = static_cast<U>(FoldCase(*a)), ub = static_cast<U>(FoldCase(*psz));
        if (ua != ub)
            return ua < ub ? -1 : 1;
        if (!ua)
            return 0;
    }
}

template <typename T> int CStringT<T>::Collate(PCXSTR psz) const
{
    if (!psz)
        psz = NilData<T>()->Chars();
    if constexpr (std::is_same_v<T, wchar_t>)
        return CompareStringW(LOCALE_USER_DEFAULT, 0, m_pszData, -1, psz, -1) - CSTR_EQUAL;
    else
        return CompareStringA(LOCALE_USER_DEFAULT, 0, m_pszData, -1, psz, -1) - CSTR_EQUAL;
}

template <typename T> int CStringT<T>::CollateNoCase(PCXSTR psz) const
{
    if (!psz)
        psz = NilData<T>()->Chars();
    if constexpr (std::is_same_v<T, wchar_t>)
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, m_pszData, -1, psz, -1) - CSTR_EQUAL;
    else
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, m_pszData, -1, psz, -1) - CSTR_EQUAL;
}

// ---- Searching -------------------------------------------------------------------------------------------

template <typename T> int CStringT<T>::Find(XCHAR ch, int start) const
{
    start = std::max(start, 0);
    if (start >= GetLength())
        return -1;
    auto pos = std::basic_string_view<T>(m_pszData, GetLength()).find(ch, static_cast<size_t>(start));
    return pos == std::basic_string_view<T>::npos ? -1 : static_cast<int>(pos);
}

template <typename T> int CStringT<T>::Find(PCXSTR sub, int start) const
{
    start = std::max(start, 0);
    if (!sub || start > GetLength())
        return -1;
    auto pos = std::basic_string_view<T>(m_pszData, GetLength()).find(sub, static_cast<size_t>(start));
    return pos == std::basic_string_view<T>::npos ? -1 : static_cast<int>(pos);
}

template <typename T> int CStringT<T>::ReverseFind(XCHAR ch) const
{
    auto pos = std::basic_string_view<T>(m_pszData, GetLength()).rfind(ch);
    return pos == std::basic_string_view<T>::npos ? -1 : static_cast<int>(pos);
}

template <typename T> int CStringT<T>::FindOneOf(PCXSTR charSet) const
{
    if (!charSet || !*charSet)
        return -1;
    auto pos = std::basic_string_view<T>(m_pszData, GetLength()).find_first_of(charSet);
    return pos == std::basic_string_view<T>::npos ? -1 : static_cast<int>(pos);
}

// ---- Extraction ------------------------------------------------------------------------------------------

template <typename T> CStringT<T> CStringT<T>::Left(int count) const
{
    count = std::max(count, 0);
    if (count >= GetLength())
        return *this;
    return CStringT(m_pszData, count);
}

template <typename T> CStringT<T> CStringT<T>::Mid(int first) const
{
    return Mid(first, GetLength());
}

template <typename T> CStringT<T> CStringT<T>::Mid(int first, int count) const
{
    const int length = GetLength();
    first = std::clamp(first, 0, length);
    count = std::clamp(count, 0, length - first);
    if (first == 0 && count == length)
        return *this;
    return CStringT(m_pszData + first, count);
}

template <typename T> CStringT<T> CStringT<T>::Right(int count) const
{
    const int length = GetLength();
    count = std::clamp(count, 0, length);
    if (count == length)
        return *this;
    return CStringT(m_pszData + length - count, count);
}

template <typename T> CStringT<T> CStringT<T>::SpanIncluding(PCXSTR charSet) const
{
    if (!charSet || !*charSet)
        return CStringT();
    auto pos = std::basic_string_view<T>(m_pszData, GetLength()).find_first_not_of(charSet);
    return pos == std::basic_string_view<T>::npos ? *this : Left(static_cast<int>(pos));
}

template <typename T> CStringT<T> CStringT<T>::SpanExcluding(PCXSTR charSet) const
{
    if (!charSet || !*charSet)
        return *this;
    auto pos = std::basic_string_view<T>(m_pszData, GetLength()).find_first_of(charSet);
    return pos == std::basic_string_view<T>::npos ? *this : Left(static_cast<int>(pos));
}

template <typename T> CStringT<T> CStringT<T>::Tokenize(PCXSTR tokens, int& start) const
{
    const int length = GetLength();
    if (start < 0 || start >= length) {
        start = -1;
        return CStringT();
    }
    if (!tokens || !*tokens) {
        // No delimiters: the rest is one token, and the next call ends the walk instead of repeating it.
        CStringT rest = Mid(start);
        start = length;
        return rest;
    }
    std::basic_string_view<T> view(m_pszData, length);
    auto from = view.find_first_not_of(tokens, static_cast<size_t>(start));
    if (from == std::basic_string_view<T>::npos) {
        start = -1;
        return CStringT();
    }
    auto until = view.find_first_of(tokens, from);
    if (until == std::basic_string_view<T>::npos)
        until = static_cast<size_t>(length);
    start = static_cast<int>(until) + 1;
    return Mid(static_cast<int>(from), static_cast<int>(until - from));
}

// ---- Changing --------------------------------------------------------------------------------------------

template <typename T> int CStringT<T>::Replace(XCHAR oldCh, XCHAR newCh)
{
    int first = Find(oldCh);
    if (first < 0 || oldCh == newCh)
        return first < 0 ? 0 : static_cast<int>(std::count(m_pszData, m_pszData + GetLength(), oldCh));
    PrepareWrite(GetLength());
    int count = 0;
    for (int i = first; i < GetLength(); ++i) {
        if (m_pszData[i] == oldCh) {
            m_pszData[i] = newCh;
            ++count;
        }
    }
    return count;
}

template <typename T> int CStringT<T>::Replace(PCXSTR oldText, PCXSTR newText)
{
    const int oldLength = SafeLength(oldText);
    if (oldLength == 0)
        return 0;
    const int newLength = SafeLength(newText);
    std::basic_string_view<T> view(m_pszData, GetLength());
    std::basic_string_view<T> what(oldText, static_cast<size_t>(oldLength));
    int count = 0;
    for (size_t pos = view.find(what); pos != view.npos; pos = view.find(what, pos + oldLength))
        ++count;
    if (count == 0)
        return 0;
    // Built in a fresh buffer: either text may lie inside this string.
    long long resultLength = GetLength() + static_cast<long long>(count) * (newLength - oldLength);
    if (resultLength > kMaxLength)
        throw std::bad_alloc();
    std::basic_string<T> result;
    result.reserve(static_cast<size_t>(resultLength));
    size_t from = 0;
    for (size_t pos = view.find(what); pos != view.npos; pos = view.find(what, from)) {
        result.append(view.substr(from, pos - from));
        result.append(newText ? newText : m_pszData + GetLength(), static_cast<size_t>(newLength));
        from = pos + oldLength;
    }
    result.append(view.substr(from));
    AssignCopy(result.data(), static_cast<int>(result.size()));
    return count;
}

template <typename T> int CStringT<T>::Remove(XCHAR ch)
{
    if (Find(ch) < 0)
        return 0;
    PrepareWrite(GetLength());
    const int length = GetLength();
    T* end = std::remove(m_pszData, m_pszData + length, ch);
    const int kept = static_cast<int>(end - m_pszData);
    if (kept == 0)
        Empty();
    else
        SetLengthInternal(kept);
    return length - kept;
}

template <typename T> int CStringT<T>::Insert(int index, XCHAR ch)
{
    return Insert(index, CStringT(ch).GetString());
}

template <typename T> int CStringT<T>::Insert(int index, PCXSTR psz)
{
    const int length = GetLength();
    const int insertLength = SafeLength(psz);
    index = std::clamp(index, 0, length);
    if (insertLength == 0)
        return length;
    if (insertLength > kMaxLength - length)
        throw std::bad_alloc();
    CStringT result;
    result.PrepareWrite(length + insertLength);
    std::memcpy(result.m_pszData, m_pszData, static_cast<size_t>(index) * sizeof(T));
    std::memcpy(result.m_pszData + index, psz, static_cast<size_t>(insertLength) * sizeof(T));
    std::memcpy(result.m_pszData + index + insertLength, m_pszData + index,
                static_cast<size_t>(length - index) * sizeof(T));
    result.SetLengthInternal(length + insertLength);
    *this = std::move(result);
    return GetLength();
}

template <typename T> int CStringT<T>::Delete(int index, int count)
{
    const int length = GetLength();
    index = std::max(index, 0);
    if (index >= length || count <= 0)
        return length;
    count = std::min(count, length - index);
    if (count == length) {
        Empty();
        return 0;
    }
    PrepareWrite(length);
    std::memmove(m_pszData + index, m_pszData + index + count, static_cast<size_t>(length - index - count) * sizeof(T));
    SetLengthInternal(length - count);
    return length - count;
}

template <typename T> void CStringT<T>::Truncate(int length)
{
    length = std::max(length, 0);
    if (length >= GetLength())
        return;
    if (length == 0) {
        Empty();
        return;
    }
    PrepareWrite(length);
    SetLengthInternal(length);
}

template <typename T> CStringT<T>& CStringT<T>::MakeLower()
{
    if (IsEmpty())
        return *this;
    PrepareWrite(GetLength());
    if constexpr (std::is_same_v<T, wchar_t>)
        CharLowerBuffW(m_pszData, static_cast<DWORD>(GetLength()));
    else
        CharLowerBuffA(m_pszData, static_cast<DWORD>(GetLength()));
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::MakeUpper()
{
    if (IsEmpty())
        return *this;
    PrepareWrite(GetLength());
    if constexpr (std::is_same_v<T, wchar_t>)
        CharUpperBuffW(m_pszData, static_cast<DWORD>(GetLength()));
    else
        CharUpperBuffA(m_pszData, static_cast<DWORD>(GetLength()));
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::MakeReverse()
{
    const int length = GetLength();
    if (length < 2)
        return *this;
    PrepareWrite(length);
    std::reverse(m_pszData, m_pszData + length);
    if constexpr (std::is_same_v<T, wchar_t>) {
        // Reversing code units would split surrogate pairs into invalid text: put each pair back in order.
        for (int i = 0; i + 1 < length; ++i) {
            if (IS_LOW_SURROGATE(m_pszData[i]) && IS_HIGH_SURROGATE(m_pszData[i + 1])) {
                std::swap(m_pszData[i], m_pszData[i + 1]);
                ++i;
            }
        }
    }
    return *this;
}

namespace {

template <typename T> struct TrimRule
{
    const T* set; // nullptr: white space
    T single;     // used when set is nullptr and single is not 0

    bool Matches(T ch) const
    {
        if (set)
            return ch != 0 && std::basic_string_view<T>(set).find(ch) != std::basic_string_view<T>::npos;
        if (single)
            return ch == single;
        return IsSpace(ch);
    }
};

} // namespace

template <typename T> static void TrimWith(CStringT<T>& s, const TrimRule<T>& rule, bool left, bool right)
{
    const T* p = s.GetString();
    int begin = 0, end = s.GetLength();
    if (left)
        while (begin < end && rule.Matches(p[begin]))
            ++begin;
    if (right)
        while (end > begin && rule.Matches(p[end - 1]))
            --end;
    if (begin != 0 || end != s.GetLength())
        s = s.Mid(begin, end - begin);
}

template <typename T> CStringT<T>& CStringT<T>::Trim()
{
    TrimWith<T>(*this, {nullptr, 0}, true, true);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::Trim(XCHAR target)
{
    if (target)
        TrimWith<T>(*this, {nullptr, target}, true, true);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::Trim(PCXSTR targets)
{
    if (targets && *targets)
        TrimWith<T>(*this, {targets, 0}, true, true);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::TrimLeft()
{
    TrimWith<T>(*this, {nullptr, 0}, true, false);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::TrimLeft(XCHAR target)
{
    if (target)
        TrimWith<T>(*this, {nullptr, target}, true, false);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::TrimLeft(PCXSTR targets)
{
    if (targets && *targets)
        TrimWith<T>(*this, {targets, 0}, true, false);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::TrimRight()
{
    TrimWith<T>(*this, {nullptr, 0}, false, true);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::TrimRight(XCHAR target)
{
    if (target)
        TrimWith<T>(*this, {nullptr, target}, false, true);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::TrimRight(PCXSTR targets)
{
    if (targets && *targets)
        TrimWith<T>(*this, {targets, 0}, false, true);
    return *this;
}

// ---- Formatting ------------------------------------------------------------------------------------------

template <typename T> void CStringT<T>::FormatV(PCXSTR format, va_list args)
{
    std::basic_string<T> out;
    if (format)
        FormatInto<T>(out, format, args);
    AssignCopy(out.data(), static_cast<int>(std::min<size_t>(out.size(), kMaxLength)));
}

template <typename T> void CStringT<T>::AppendFormatV(PCXSTR format, va_list args)
{
    std::basic_string<T> out;
    if (format)
        FormatInto<T>(out, format, args);
    Append(out.data(), static_cast<int>(std::min<size_t>(out.size(), kMaxLength)));
}

template <typename T> void CStringT<T>::FormatArgs(PCXSTR format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

template <typename T> void CStringT<T>::AppendFormatArgs(PCXSTR format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

template <typename T> void CStringT<T>::FormatMessageV(PCXSTR format, va_list* args)
{
    if (!format) {
        Empty();
        return;
    }
    const DWORD flags = FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER;
    T* buffer = nullptr;
    DWORD length;
    if constexpr (std::is_same_v<T, wchar_t>)
        length = ::FormatMessageW(flags, format, 0, 0, reinterpret_cast<LPWSTR>(&buffer), 0, args);
    else
        length = ::FormatMessageA(flags, format, 0, 0, reinterpret_cast<LPSTR>(&buffer), 0, args);
    if (length && buffer)
        AssignCopy(buffer, static_cast<int>(length));
    else
        Empty();
    if (buffer)
        LocalFree(buffer);
}

template <typename T> void CStringT<T>::FormatMessageArgs(PCXSTR format, ...)
{
    va_list args;
    va_start(args, format);
    FormatMessageV(format, &args);
    va_end(args);
}

// ---- Resources -------------------------------------------------------------------------------------------

template <typename T> bool CStringT<T>::LoadFromResource(HINSTANCE instance, UINT id)
{
    // String tables are blocks of 16 counted UTF-16 strings; block n holds ids (n-1)*16 .. n*16-1.
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING);
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(instance, resource);
    const WCHAR* p = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!p)
        return false;
    const WCHAR* end = p + SizeofResource(instance, resource) / sizeof(WCHAR);
    for (UINT i = 0; i < (id & 15); ++i) {
        if (p >= end)
            return false;
        p += 1 + *p;
    }
    if (p >= end || *p == 0 || p + 1 + *p > end)
        return false;
    std::basic_string<T> text = Convert<T>(p + 1, *p);
    AssignCopy(text.data(), static_cast<int>(text.size()));
    return true;
}

template <typename T> BOOL CStringT<T>::LoadString(UINT id)
{
    return LoadString(AfxGetResourceHandle(), id);
}

template <typename T> BOOL CStringT<T>::LoadString(HINSTANCE instance, UINT id)
{
    return LoadFromResource(instance, id) ? TRUE : FALSE;
}

// ---- Buffers ---------------------------------------------------------------------------------------------

template <typename T> T* CStringT<T>::GetBuffer()
{
    PrepareWrite(GetLength());
    return m_pszData;
}

template <typename T> T* CStringT<T>::GetBuffer(int minLength)
{
    PrepareWrite(std::max(minLength, GetLength()));
    return m_pszData;
}

template <typename T> T* CStringT<T>::GetBufferSetLength(int length)
{
    length = std::max(length, 0);
    PrepareWrite(length);
    SetLengthInternal(length);
    return m_pszData;
}

template <typename T> void CStringT<T>::ReleaseBuffer(int newLength)
{
    Data* data = GetData();
    if (data == NilData<T>())
        return;
    if (newLength < 0)
        newLength = BoundedLength(m_pszData, data->capacity);
    SetLengthInternal(std::min(newLength, data->capacity));
}

template <typename T> void CStringT<T>::ReleaseBufferSetLength(int newLength)
{
    ReleaseBuffer(std::max(newLength, 0));
}

template <typename T> void CStringT<T>::Preallocate(int length)
{
    if (length > 0)
        PrepareWrite(length);
}

template <typename T> void CStringT<T>::FreeExtra()
{
    Data* data = GetData();
    if (data == NilData<T>() || data->capacity == data->length)
        return;
    if (data->length == 0) {
        Empty();
        return;
    }
    const bool locked = data->refs.load(std::memory_order_acquire) < 0;
    Data* fresh = Allocate<T>(data->length);
    std::memcpy(fresh->Chars(), m_pszData, (static_cast<size_t>(data->length) + 1) * sizeof(T));
    fresh->length = data->length;
    if (locked)
        fresh->refs.store(-1, std::memory_order_relaxed);
    Release();
    m_pszData = fresh->Chars();
}

template <typename T> T* CStringT<T>::LockBuffer()
{
    PrepareWrite(GetLength());
    GetData()->refs.store(-1, std::memory_order_release);
    return m_pszData;
}

template <typename T> void CStringT<T>::UnlockBuffer()
{
    Data* data = GetData();
    if (data != NilData<T>() && data->refs.load(std::memory_order_acquire) < 0)
        data->refs.store(1, std::memory_order_release);
}

template <typename T> BSTR CStringT<T>::AllocSysString() const
{
    if constexpr (std::is_same_v<T, wchar_t>) {
        return SysAllocStringLen(m_pszData, static_cast<UINT>(GetLength()));
    } else {
        std::wstring wide = ToWide(m_pszData, GetLength());
        return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
}

template <typename T> BSTR CStringT<T>::SetSysString(BSTR* bstr) const
{
    if (!bstr)
        return nullptr;
    if constexpr (std::is_same_v<T, wchar_t>) {
        SysReAllocStringLen(bstr, m_pszData, static_cast<UINT>(GetLength()));
    } else {
        std::wstring wide = ToWide(m_pszData, GetLength());
        SysReAllocStringLen(bstr, wide.data(), static_cast<UINT>(wide.size()));
    }
    return *bstr;
}

template class CStringT<wchar_t>;
template class CStringT<char>;

// ---- Free functions --------------------------------------------------------------------------------------

void AfxFormatStrings(CString& result, LPCWSTR format, LPCWSTR const* inserts, int count)
{
    CString out;
    if (!format) {
        result = out;
        return;
    }
    for (const WCHAR* p = format; *p;) {
        if (p[0] == L'%' && p[1] >= L'1' && p[1] <= L'9') {
            int index = p[1] - L'1';
            if (index < count && inserts && inserts[index])
                out += inserts[index];
            p += 2;
        } else {
            out += *p++;
        }
    }
    result = out;
}

void AfxFormatString1(CString& result, UINT id, LPCWSTR text1)
{
    CString format;
    format.LoadString(id);
    AfxFormatStrings(result, format, &text1, 1);
}

void AfxFormatString2(CString& result, UINT id, LPCWSTR text1, LPCWSTR text2)
{
    CString format;
    format.LoadString(id);
    LPCWSTR inserts[2] = {text1, text2};
    AfxFormatStrings(result, format, inserts, 2);
}

BOOL AfxExtractSubString(CString& result, LPCWSTR fullString, int index, WCHAR separator)
{
    result.Empty();
    if (!fullString || index < 0)
        return FALSE;
    const WCHAR* p = fullString;
    for (; index > 0; --index) {
        const WCHAR* next = std::wcschr(p, separator);
        if (!next || !separator)
            return FALSE;
        p = next + 1;
    }
    const WCHAR* end = separator ? std::wcschr(p, separator) : nullptr;
    result = CString(p, end ? static_cast<int>(end - p) : static_cast<int>(std::wcslen(p)));
    return TRUE;
}

CString LoadResourceString(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}
