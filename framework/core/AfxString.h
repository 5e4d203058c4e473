// CString (UTF-16) and CStringA (ANSI code page): reference-counted strings with copy on write.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdarg>
#include <type_traits>
#include <utility>

template <typename T> class CStringT;

namespace lqstr {

// Hands a string object to a printf-style argument list as the text pointer it holds: a class object passed
// through "..." would otherwise arrive as the address of a hidden copy.
template <typename T, typename A> decltype(auto) FormatArg(A&& a)
{
    using D = std::decay_t<A>;
    if constexpr (std::is_class_v<D> && std::is_convertible_v<const D&, const wchar_t*>)
        return static_cast<const wchar_t*>(a);
    else if constexpr (std::is_class_v<D> && std::is_convertible_v<const D&, const char*>)
        return static_cast<const char*>(a);
    else {
        static_assert(!std::is_class_v<D>, "a printf argument must be a number, a character or a text pointer");
        return std::forward<A>(a);
    }
}

} // namespace lqstr

// T is wchar_t (CString) or char (CStringA). The object is one pointer to the characters; a shared header in
// front of them holds the reference count, length and capacity. Every empty string shares one static block.
template <typename T> class CStringT
{
public:
    using XCHAR = T;
    using PXSTR = T*;
    using PCXSTR = const T*;
    using YCHAR = std::conditional_t<std::is_same_v<T, wchar_t>, char, wchar_t>;
    using PCYSTR = const YCHAR*;

    CStringT() noexcept;
    CStringT(const CStringT& other);
    CStringT(CStringT&& other) noexcept;
    // A pointer whose high word is 0 (MAKEINTRESOURCE) loads that string from the resource module.
    CStringT(PCXSTR psz);
    CStringT(PCYSTR psz);
    CStringT(PCXSTR pch, int length);
    CStringT(PCYSTR pch, int length);
    explicit CStringT(XCHAR ch, int repeat = 1);
    CStringT(const CStringT<YCHAR>& other);
    ~CStringT();

    CStringT& operator=(const CStringT& other);
    CStringT& operator=(CStringT&& other) noexcept;
    CStringT& operator=(PCXSTR psz);
    CStringT& operator=(PCYSTR psz);
    CStringT& operator=(XCHAR ch);
    CStringT& operator=(const CStringT<YCHAR>& other);

    CStringT& operator+=(const CStringT& other);
    CStringT& operator+=(PCXSTR psz);
    CStringT& operator+=(PCYSTR psz);
    CStringT& operator+=(XCHAR ch);
    CStringT& operator+=(const CStringT<YCHAR>& other);

    // Size and access.
    int GetLength() const noexcept;
    bool IsEmpty() const noexcept { return GetLength() == 0; }
    void Empty() noexcept;
    XCHAR GetAt(int index) const;
    void SetAt(int index, XCHAR ch);
    template <typename I, typename = std::enable_if_t<std::is_integral_v<I>>> XCHAR operator[](I index) const
    {
        return GetAt(static_cast<int>(index));
    }
    PCXSTR GetString() const noexcept { return m_pszData; }
    operator PCXSTR() const noexcept { return m_pszData; }
    void SetString(PCXSTR psz);
    void SetString(PCXSTR pch, int length);
    int GetAllocLength() const noexcept;

    // Appending.
    void Append(const CStringT& other);
    void Append(PCXSTR psz);
    void Append(PCXSTR pch, int length);
    void AppendChar(XCHAR ch);

    // Comparison: Compare is ordinal by code unit; the NoCase forms fold case; Collate follows the user's locale.
    int Compare(PCXSTR psz) const;
    int CompareNoCase(PCXSTR psz) const;
    int Collate(PCXSTR psz) const;
    int CollateNoCase(PCXSTR psz) const;

    // Searching. A start past the end finds nothing (-1).
    int Find(XCHAR ch, int start = 0) const;
    int Find(PCXSTR sub, int start = 0) const;
    int ReverseFind(XCHAR ch) const;
    int FindOneOf(PCXSTR charSet) const;

    // Extraction; counts and positions are clamped to the string.
    CStringT Left(int count) const;
    CStringT Mid(int first) const;
    CStringT Mid(int first, int count) const;
    CStringT Right(int count) const;
    CStringT SpanIncluding(PCXSTR charSet) const;
    CStringT SpanExcluding(PCXSTR charSet) const;
    // The next token after position start, skipping leading delimiters; start becomes -1 when none is left.
    CStringT Tokenize(PCXSTR tokens, int& start) const;

    // Changing: each returns the count of replacements / removals, or the new length.
    int Replace(XCHAR oldCh, XCHAR newCh);
    int Replace(PCXSTR oldText, PCXSTR newText);
    int Remove(XCHAR ch);
    int Insert(int index, XCHAR ch);
    int Insert(int index, PCXSTR psz);
    int Delete(int index, int count = 1);
    void Truncate(int length);
    CStringT& MakeLower();
    CStringT& MakeUpper();
    CStringT& MakeReverse();
    CStringT& Trim();
    CStringT& Trim(XCHAR target);
    CStringT& Trim(PCXSTR targets);
    CStringT& TrimLeft();
    CStringT& TrimLeft(XCHAR target);
    CStringT& TrimLeft(PCXSTR targets);
    CStringT& TrimRight();
    CStringT& TrimRight(XCHAR target);
    CStringT& TrimRight(PCXSTR targets);

    // printf forms. "%s" and "%c" take text of this string's own width; "%ls"/"%lc" wide, "%hs"/"%hc" narrow,
    // "%S"/"%C" the other width. String objects passed as arguments are handed over as their text.
    template <typename... Args> void Format(PCXSTR format, Args&&... args)
    {
        FormatArgs(format, lqstr::FormatArg<T>(std::forward<Args>(args))...);
    }
    template <typename... Args> void Format(UINT formatId, Args&&... args)
    {
        CStringT format;
        format.LoadString(formatId);
        FormatArgs(format.GetString(), lqstr::FormatArg<T>(std::forward<Args>(args))...);
    }
    template <typename... Args> void AppendFormat(PCXSTR format, Args&&... args)
    {
        AppendFormatArgs(format, lqstr::FormatArg<T>(std::forward<Args>(args))...);
    }
    void FormatV(PCXSTR format, va_list args);
    void AppendFormatV(PCXSTR format, va_list args);

    // "%1".."%99" inserts through the platform's message formatter (FORMAT_MESSAGE_FROM_STRING).
    template <typename... Args> void FormatMessage(PCXSTR format, Args&&... args)
    {
        FormatMessageArgs(format, lqstr::FormatArg<T>(std::forward<Args>(args))...);
    }
    template <typename... Args> void FormatMessage(UINT formatId, Args&&... args)
    {
        CStringT format;
        format.LoadString(formatId);
        FormatMessageArgs(format.GetString(), lqstr::FormatArg<T>(std::forward<Args>(args))...);
    }
    void FormatMessageV(PCXSTR format, va_list* args);

    // Loads a string from the string table of AfxGetResourceHandle() (or of the given module).
    BOOL LoadString(UINT id);
    BOOL LoadString(HINSTANCE instance, UINT id);

    // Direct buffer access. GetBuffer gives a writable, unshared buffer of at least minLength characters;
    // ReleaseBuffer(-1) takes the length up to the first terminating zero.
    PXSTR GetBuffer();
    PXSTR GetBuffer(int minLength);
    PXSTR GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);
    void ReleaseBufferSetLength(int newLength);
    void Preallocate(int length);
    void FreeExtra();
    // A locked buffer is never shared: copies made while it is locked get their own characters.
    PXSTR LockBuffer();
    void UnlockBuffer();

    BSTR AllocSysString() const;
    BSTR SetSysString(BSTR* bstr) const;

    // The header in front of the characters (reference count, length, capacity); opaque outside the string.
    struct Data;

    // True when both objects share one character buffer (copies share until one of them changes).
    bool SharesBufferWith(const CStringT& other) const noexcept { return m_pszData == other.m_pszData; }

    // Concatenation and comparison (found through the string argument, so texts convert implicitly).
    friend CStringT operator+(const CStringT& a, const CStringT& b)
    {
        return Concat(a, a.GetLength(), b, b.GetLength());
    }
    friend CStringT operator+(const CStringT& a, PCXSTR b) { return Concat(a, a.GetLength(), b, SafeLength(b)); }
    friend CStringT operator+(PCXSTR a, const CStringT& b) { return Concat(a, SafeLength(a), b, b.GetLength()); }
    friend CStringT operator+(const CStringT& a, XCHAR b) { return Concat(a, a.GetLength(), &b, 1); }
    friend CStringT operator+(XCHAR a, const CStringT& b) { return Concat(&a, 1, b, b.GetLength()); }
    friend bool operator==(const CStringT& a, const CStringT& b) { return a.Equals(b, b.GetLength()); }
    friend bool operator==(const CStringT& a, PCXSTR b) { return a.Equals(b, SafeLength(b)); }
    friend bool operator==(PCXSTR a, const CStringT& b) { return b.Equals(a, SafeLength(a)); }
    friend bool operator!=(const CStringT& a, const CStringT& b) { return !(a == b); }
    friend bool operator!=(const CStringT& a, PCXSTR b) { return !(a == b); }
    friend bool operator!=(PCXSTR a, const CStringT& b) { return !(a == b); }
    friend bool operator<(const CStringT& a, const CStringT& b) { return a.Compare(b) < 0; }
    friend bool operator<(const CStringT& a, PCXSTR b) { return a.Compare(b) < 0; }
    friend bool operator<(PCXSTR a, const CStringT& b) { return b.Compare(a) > 0; }
    friend bool operator>(const CStringT& a, const CStringT& b) { return a.Compare(b) > 0; }
    friend bool operator>(const CStringT& a, PCXSTR b) { return a.Compare(b) > 0; }
    friend bool operator>(PCXSTR a, const CStringT& b) { return b.Compare(a) < 0; }
    friend bool operator<=(const CStringT& a, const CStringT& b) { return a.Compare(b) <= 0; }
    friend bool operator<=(const CStringT& a, PCXSTR b) { return a.Compare(b) <= 0; }
    friend bool operator<=(PCXSTR a, const CStringT& b) { return b.Compare(a) >= 0; }
    friend bool operator>=(const CStringT& a, const CStringT& b) { return a.Compare(b) >= 0; }
    friend bool operator>=(const CStringT& a, PCXSTR b) { return a.Compare(b) >= 0; }
    friend bool operator>=(PCXSTR a, const CStringT& b) { return b.Compare(a) <= 0; }

private:
    static int SafeLength(PCXSTR psz) noexcept;
    static CStringT Concat(PCXSTR a, int aLength, PCXSTR b, int bLength);
    bool Equals(PCXSTR pch, int length) const noexcept;
    Data* GetData() const noexcept;
    void Release() noexcept;
    void AssignCopy(PCXSTR pch, int length);
    void AssignOther(PCYSTR pch, int length);
    void PrepareWrite(int minCapacity);
    void SetLengthInternal(int length);
    void AppendOther(PCYSTR pch, int length);
    void FormatArgs(PCXSTR format, ...);
    void AppendFormatArgs(PCXSTR format, ...);
    void FormatMessageArgs(PCXSTR format, ...);
    bool LoadFromResource(HINSTANCE instance, UINT id);

    PXSTR m_pszData;
};

extern template class CStringT<wchar_t>;
extern template class CStringT<char>;

using CString = CStringT<wchar_t>;
using CStringW = CStringT<wchar_t>;
using CStringA = CStringT<char>;

// String id of the resource module's string table; empty when there is none.
CString LoadResourceString(UINT id);
// Loads string id and replaces "%1" (and "%2") with the given texts; other '%' characters stay as they are.
void AfxFormatString1(CString& result, UINT id, LPCWSTR text1);
void AfxFormatString2(CString& result, UINT id, LPCWSTR text1, LPCWSTR text2);
// The same on a format held in memory: "%1".."%9" take inserts[0..count-1]; a missing insert becomes empty.
void AfxFormatStrings(CString& result, LPCWSTR format, LPCWSTR const* inserts, int count);
// The index-th substring of fullString between separators; FALSE when there are fewer substrings.
BOOL AfxExtractSubString(CString& result, LPCWSTR fullString, int index, WCHAR separator = L'\n');
