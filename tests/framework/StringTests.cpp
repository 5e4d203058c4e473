// CString and CStringA: sharing and copy on write, the editing members with their counts and clamps, printf and
// message formatting, the string table, and buffers handed to the platform.
#include "framework/core/AfxModule.h"
#include "framework/core/AfxString.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// Ids of tests/framework/FrameworkTests.rc.
constexpr UINT kIdsPlain = 60000;
constexpr UINT kIdsTwoInserts = 60001;
constexpr UINT kIdsPrintf = 60002;
constexpr UINT kIdsNonAscii = 60003;
constexpr UINT kIdsLong = 60004;
constexpr UINT kIdsOneInsert = 60005;
constexpr UINT kIdsMissing = 60007;
constexpr UINT kIdsLastOfBlock = 60015;
constexpr UINT kIdsNextBlock = 60016;

// U+1F600, a character outside the basic plane: two UTF-16 code units.
const std::wstring kSmiley = L"\xD83D\xDE00";

std::wstring W(const CString& s)
{
    return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength()));
}

std::string A(const CStringA& s)
{
    return std::string(s.GetString(), static_cast<size_t>(s.GetLength()));
}

// ---- Sharing, copy on write and empty strings ---------------------------------------------------------------

TEST(CString, EmptyStringsShareOneStaticBlock)
{
    CString a, b;
    CString c(L"");
    CString d(static_cast<LPCWSTR>(nullptr));
    CString e(L"text");
    e.Empty();
    CString f = CString(L"short").Mid(10);
    for (const CString* s : {&b, &c, &d, &e, &f}) {
        EXPECT_TRUE(s->IsEmpty());
        EXPECT_EQ(0, s->GetLength());
        EXPECT_TRUE(a.SharesBufferWith(*s));
        EXPECT_EQ(L'\0', s->GetString()[0]);
    }
    EXPECT_EQ(0, a.GetAllocLength());
}

TEST(CString, CopiesShareTheBufferUntilOneChanges)
{
    CString original(L"shared text");
    const wchar_t* before = original.GetString();
    CString copy = original;
    CString assigned;
    assigned = copy;
    EXPECT_TRUE(copy.SharesBufferWith(original));
    EXPECT_TRUE(assigned.SharesBufferWith(original));
    EXPECT_EQ(before, copy.GetString());

    CString moved = std::move(copy);
    EXPECT_EQ(before, moved.GetString());
    EXPECT_TRUE(copy.IsEmpty());
}

// Every changing member must leave the other holders of a shared buffer alone.
TEST(CString, EveryChangeCopiesASharedBufferFirst)
{
    struct Change
    {
        const char* name;
        std::function<void(CString&)> apply;
    };
    const Change changes[] = {
        {"SetAt", [](CString& s) { s.SetAt(0, L'X'); }},
        {"+= text", [](CString& s) { s += L"!"; }},
        {"+= char", [](CString& s) { s += L'!'; }},
        {"Replace text", [](CString& s) { s.Replace(L"a", L"b"); }},
        {"Replace char", [](CString& s) { s.Replace(L'a', L'b'); }},
        {"Remove", [](CString& s) { s.Remove(L'a'); }},
        {"Insert", [](CString& s) { s.Insert(1, L"ins"); }},
        {"Delete", [](CString& s) { s.Delete(0, 2); }},
        {"MakeLower", [](CString& s) { s.MakeLower(); }},
        {"MakeUpper", [](CString& s) { s.MakeUpper(); }},
        {"MakeReverse", [](CString& s) { s.MakeReverse(); }},
        {"Trim", [](CString& s) { s.Trim(); }},
        {"TrimLeft set", [](CString& s) { s.TrimLeft(L" B"); }},
        {"Truncate", [](CString& s) { s.Truncate(3); }},
        {"GetBuffer", [](CString& s) { s.GetBuffer()[0] = L'X'; }},
        {"GetBufferSetLength", [](CString& s) { s.GetBufferSetLength(2); }},
        {"LockBuffer",
         [](CString& s) {
             s.LockBuffer()[0] = L'X';
             s.UnlockBuffer();
         }},
        {"Format", [](CString& s) { s.Format(L"%d", 5); }},
        {"AppendFormat", [](CString& s) { s.AppendFormat(L"%d", 5); }},
    };
    for (const Change& change : changes) {
        CString original(L" Banana Bread ");
        CString copy = original;
        change.apply(copy);
        EXPECT_EQ(L" Banana Bread ", W(original)) << change.name;
        EXPECT_NE(W(original), W(copy)) << change.name;
        EXPECT_FALSE(copy.SharesBufferWith(original)) << change.name;
    }
}

TEST(CString, ChangesThatFindNothingKeepSharing)
{
    CString original(L"nothing to do");
    CString copy = original;
    EXPECT_EQ(0, copy.Replace(L"zz", L"y"));
    EXPECT_EQ(0, copy.Replace(L'z', L'y'));
    EXPECT_EQ(0, copy.Remove(L'z'));
    copy.Trim();
    EXPECT_TRUE(copy.SharesBufferWith(original));
}

TEST(CString, LockedBufferIsNeverShared)
{
    CString s(L"locked");
    wchar_t* buffer = s.LockBuffer();
    CString copy = s;
    EXPECT_FALSE(copy.SharesBufferWith(s));
    buffer[0] = L'L';
    EXPECT_EQ(L"Locked", W(s));
    EXPECT_EQ(L"locked", W(copy));
    s.UnlockBuffer();
    CString later = s;
    EXPECT_TRUE(later.SharesBufferWith(s));
}

// Copies made and dropped on many threads at once leave the count exact: the owner ends up alone again, so
// writing needs no new buffer. A count that lost or gained a step would show here (or crash on a double free).
TEST(CString, CopiesOnManyThreadsKeepTheCountExact)
{
    CString shared(L"handed between threads by value");
    shared.Preallocate(64);
    const wchar_t* buffer = shared.GetString();
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([shared]() {
            for (int i = 0; i < 20000; ++i) {
                CString a = shared;
                CString b(a);
                b = a;
                if (i % 1000 == 0)
                    b += L"x"; // a private copy now
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(buffer, shared.GetBuffer());
    shared.ReleaseBuffer();
    EXPECT_EQ(L"handed between threads by value", W(shared));
}

// ---- Construction and conversion ----------------------------------------------------------------------------

TEST(CString, ConstructionForms)
{
    EXPECT_EQ(L"abc", W(CString(L"abc")));
    EXPECT_EQ(L"ab", W(CString(L"abc", 2)));
    EXPECT_EQ(L"xxx", W(CString(L'x', 3)));
    EXPECT_EQ(L"", W(CString(L'x', 0)));
    EXPECT_EQ(L"", W(CString(L"abc", -1)));
    // Narrow text goes through the ANSI code page (1252 here): 0xE9 is e-acute, 0x80 the euro sign.
    EXPECT_EQ(L"caf\x00E9 \x20AC", W(CString("caf\xE9 \x80")));
    EXPECT_EQ(L"Plain test string", W(CString(MAKEINTRESOURCEW(kIdsPlain))));
    EXPECT_EQ(L"Plain test string", W(CString(MAKEINTRESOURCEA(kIdsPlain))));
    EXPECT_EQ(L"", W(CString(MAKEINTRESOURCEW(kIdsMissing))));
    // Embedded zeros are part of a counted string.
    CString withZero(L"a\0b", 3);
    EXPECT_EQ(3, withZero.GetLength());
    EXPECT_EQ(L'b', withZero[2]);
}

TEST(CString, WideAndNarrowConvertBothWays)
{
    CStringA narrow("na\xEFve");
    CString wide = narrow;
    EXPECT_EQ(L"na\x00EFve", W(wide));
    CStringA back(wide);
    EXPECT_EQ("na\xEFve", A(back));

    // A character the code page lacks becomes its default character.
    CStringA lossy(CString(L"a\x4E2D\x00E9"));
    EXPECT_EQ("a?\xE9", A(lossy));

    CString assigned;
    assigned = "plain";
    EXPECT_EQ(L"plain", W(assigned));
    assigned += " more";
    EXPECT_EQ(L"plain more", W(assigned));
    assigned += CStringA(" \xE9");
    EXPECT_EQ(L"plain more \x00E9", W(assigned));
    CStringA fromWide;
    fromWide = L"wide";
    EXPECT_EQ("wide", A(fromWide));
}

TEST(CString, PassesToWin32AsText)
{
    CString s(L"kernel32.dll");
    EXPECT_NE(nullptr, GetModuleHandleW(s));
    const wchar_t* p = s;
    EXPECT_EQ(s.GetString(), p);
    EXPECT_EQ(L'k', s[0]);
    EXPECT_EQ(L'e', s[static_cast<size_t>(1)]);
    EXPECT_EQ(L'\0', s.GetAt(100));
}

// ---- Comparison and concatenation ---------------------------------------------------------------------------

TEST(CString, Comparisons)
{
    struct Case
    {
        std::wstring a, b;
        int compare, noCase;
    };
    const Case cases[] = {
        {L"abc", L"abc", 0, 0},
        {L"abc", L"ABC", 1, 0},
        {L"abc", L"abd", -1, -1},
        {L"ab", L"abc", -1, -1},
        {L"", L"", 0, 0},
        {L"", L"a", -1, -1},
        {L"\x00E9t\x00E9", L"\x00C9T\x00C9", 1, 0},
        // Ordinal by code unit: a surrogate (0xD83D) sorts below U+FF61.
        {kSmiley, L"\xFF61", -1, -1},
        // Case folding goes to lower case: '_' (0x5F) is above 'A' but below 'a'.
        {L"_", L"A", 1, -1},
    };
    for (const Case& c : cases) {
        CString a(c.a.c_str()), b(c.b.c_str());
        SCOPED_TRACE(lqtest::Narrow(c.a) + " vs " + lqtest::Narrow(c.b));
        EXPECT_EQ(c.compare, a.Compare(b));
        EXPECT_EQ(c.noCase, a.CompareNoCase(b));
        EXPECT_EQ(c.compare == 0, a == b);
        EXPECT_EQ(c.compare == 0, a == c.b.c_str());
        EXPECT_EQ(c.compare == 0, c.b.c_str() == a);
        EXPECT_EQ(c.compare != 0, a != b);
        EXPECT_EQ(c.compare < 0, a < b);
        EXPECT_EQ(c.compare > 0, a > b);
        EXPECT_EQ(c.compare <= 0, a <= c.b.c_str());
        EXPECT_EQ(c.compare >= 0, c.a.c_str() >= b);
    }
    EXPECT_NE(CString(L"a\0b", 3), CString(L"a\0c", 3));
    EXPECT_LT(CString(L"apple").Collate(L"banana"), 0);
    EXPECT_EQ(0, CString(L"Apple").CollateNoCase(L"aPPLE"));
}

TEST(CString, Concatenation)
{
    CString path(L"C:\\data");
    EXPECT_EQ(L"C:\\data\\feeds", W(path + L"\\" + CString(L"feeds")));
    EXPECT_EQ(L"[C:\\data]", W(L'[' + path + L']'));
    EXPECT_EQ(L">C:\\data", W(L">" + path));
    EXPECT_EQ(L"", W(CString() + CString()));
    CString s;
    s += path;
    EXPECT_TRUE(s.SharesBufferWith(path)); // appending to an empty string takes the other's buffer
    s += s;                                // appending itself
    EXPECT_EQ(L"C:\\dataC:\\data", W(s));
    s.Append(s.GetString() + 3, 4); // a part of itself, while the buffer grows
    EXPECT_EQ(L"C:\\dataC:\\datadata", W(s));
    s.AppendChar(L'!');
    EXPECT_EQ(L'!', s[s.GetLength() - 1]);
}

// ---- Searching and extraction -------------------------------------------------------------------------------

TEST(CString, Find)
{
    struct Case
    {
        std::wstring text, what;
        int start, expected;
    };
    const Case cases[] = {
        {L"hello world", L"o", 0, 4},
        {L"hello world", L"o", 5, 7},
        {L"hello world", L"world", 0, 6},
        {L"hello world", L"World", 0, -1},
        {L"hello world", L"d", 10, 10},
        {L"hello world", L"d", 11, -1}, // start at the end
        {L"hello world", L"d", 50, -1}, // start past the end
        {L"hello world", L"", 11, 11},  // empty text is found where it starts
        {L"hello world", L"", 12, -1},  // ... but not past the end
        {L"hello world", L"h", -5, 0},  // a negative start searches from the beginning
        {L"", L"a", 0, -1},
        {L"", L"", 0, 0},
        {L"x" + kSmiley + L"y", kSmiley, 0, 1},
        {L"x" + kSmiley + L"y", L"y", 0, 3}, // positions count code units
    };
    for (const Case& c : cases) {
        CString text(c.text.c_str(), static_cast<int>(c.text.size()));
        SCOPED_TRACE(lqtest::Narrow(c.text) + " / " + lqtest::Narrow(c.what) + " from " + std::to_string(c.start));
        EXPECT_EQ(c.expected, text.Find(c.what.c_str(), c.start));
        if (c.what.size() == 1) {
            EXPECT_EQ(c.expected, text.Find(c.what[0], c.start));
        }
    }
    CString path(L"C:\\a/b\\c.txt");
    EXPECT_EQ(6, path.ReverseFind(L'\\'));
    EXPECT_EQ(4, path.ReverseFind(L'/'));
    EXPECT_EQ(-1, path.ReverseFind(L'?'));
    EXPECT_EQ(2, path.FindOneOf(L"/\\"));
    EXPECT_EQ(-1, path.FindOneOf(L"?*"));
    EXPECT_EQ(-1, path.FindOneOf(L""));
}

TEST(CString, LeftMidRightClampToTheString)
{
    struct Case
    {
        const char* call;
        CString result;
        const wchar_t* expected;
    };
    const CString s(L"abcdef");
    const Case cases[] = {
        {"Left(3)", s.Left(3), L"abc"},      {"Left(0)", s.Left(0), L""},           {"Left(-1)", s.Left(-1), L""},
        {"Left(99)", s.Left(99), L"abcdef"}, {"Mid(2)", s.Mid(2), L"cdef"},         {"Mid(2,3)", s.Mid(2, 3), L"cde"},
        {"Mid(-2,3)", s.Mid(-2, 3), L"abc"}, {"Mid(4,99)", s.Mid(4, 99), L"ef"},    {"Mid(6)", s.Mid(6), L""},
        {"Mid(9,2)", s.Mid(9, 2), L""},      {"Mid(1,-1)", s.Mid(1, -1), L""},      {"Right(2)", s.Right(2), L"ef"},
        {"Right(0)", s.Right(0), L""},       {"Right(99)", s.Right(99), L"abcdef"}, {"Right(-3)", s.Right(-3), L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.expected), W(c.result)) << c.call;
    // The whole string is the same buffer, not a copy.
    EXPECT_TRUE(s.Left(99).SharesBufferWith(s));
    EXPECT_TRUE(s.Mid(0).SharesBufferWith(s));
}

TEST(CString, SpanAndTokenize)
{
    CString s(L"123abc456");
    EXPECT_EQ(L"123", W(s.SpanIncluding(L"0123456789")));
    EXPECT_EQ(L"", W(s.SpanIncluding(L"abc")));
    EXPECT_EQ(L"123", W(s.SpanExcluding(L"cba")));
    EXPECT_EQ(L"123abc456", W(s.SpanExcluding(L"xyz")));

    CString line(L";;alpha; beta;;gamma;");
    std::vector<std::wstring> tokens;
    int pos = 0;
    for (CString token = line.Tokenize(L";", pos); pos >= 0; token = line.Tokenize(L";", pos))
        tokens.push_back(W(token));
    EXPECT_EQ((std::vector<std::wstring>{L"alpha", L" beta", L"gamma"}), tokens);

    pos = 0;
    EXPECT_EQ(L"only", W(CString(L"only").Tokenize(L",", pos)));
    EXPECT_EQ(L"", W(CString(L"only").Tokenize(L",", pos)));
    EXPECT_EQ(-1, pos);
    // Without delimiters the rest is one token, and the walk then ends instead of repeating it.
    pos = 1;
    const CString only(L"only");
    EXPECT_EQ(L"nly", W(only.Tokenize(L"", pos)));
    EXPECT_EQ(L"", W(only.Tokenize(L"", pos)));
    EXPECT_EQ(-1, pos);
}

TEST(CString, ExtractSubString)
{
    struct Case
    {
        const wchar_t* full;
        int index;
        WCHAR separator;
        BOOL found;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"a\nbb\nccc", 0, L'\n', TRUE, L"a"},
        {L"a\nbb\nccc", 2, L'\n', TRUE, L"ccc"},
        {L"a\nbb\nccc", 3, L'\n', FALSE, L""},
        {L"a||c", 1, L'|', TRUE, L""},
        {L"", 0, L',', TRUE, L""},
        {L"x", -1, L',', FALSE, L""},
    };
    for (const Case& c : cases) {
        CString result(L"old");
        EXPECT_EQ(c.found, AfxExtractSubString(result, c.full, c.index, c.separator)) << c.index;
        EXPECT_EQ(std::wstring(c.expected), W(result)) << c.index;
    }
}

// ---- Editing ------------------------------------------------------------------------------------------------

TEST(CString, ReplaceReturnsTheCount)
{
    struct Case
    {
        const wchar_t *text, *from, *to;
        int count;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"a&b&&c", L"&", L"&&", 3, L"a&&b&&&&c"}, // doubling, the replacement holds the searched text
        {L"aaaa", L"aa", L"b", 2, L"bb"},          // matches do not overlap
        {L"aaa", L"aa", L"b", 1, L"ba"},
        {L"line\r\nline\r\n", L"\r\n", L"\n", 2, L"line\nline\n"},
        {L"remove me", L" me", L"", 1, L"remove"},
        {L"remove me", L" me", nullptr, 1, L"remove"},
        {L"abc", L"", L"x", 0, L"abc"},
        {L"abc", nullptr, L"x", 0, L"abc"},
        {L"", L"a", L"b", 0, L""},
        {L"abc", L"abc", L"", 1, L""},
        {L"\x00E9t\x00E9", L"\x00E9", L"e", 2, L"ete"},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        EXPECT_EQ(c.count, s.Replace(c.from, c.to)) << lqtest::Narrow(c.text);
        EXPECT_EQ(std::wstring(c.expected), W(s)) << lqtest::Narrow(c.text);
    }
    CString chars(L"a.b.c");
    EXPECT_EQ(2, chars.Replace(L'.', L'/'));
    EXPECT_EQ(L"a/b/c", W(chars));

    // Either text may be the string itself.
    CString self(L"abc");
    EXPECT_EQ(1, self.Replace(self, L"x"));
    EXPECT_EQ(L"x", W(self));
    CString twice(L"ab");
    EXPECT_EQ(1, twice.Replace(L"ab", twice));
    EXPECT_EQ(L"ab", W(twice));
}

TEST(CString, RemoveInsertDelete)
{
    CString s(L"a\tb&c\t");
    EXPECT_EQ(2, s.Remove(L'\t'));
    EXPECT_EQ(L"ab&c", W(s));
    EXPECT_EQ(1, s.Remove(L'&'));
    EXPECT_EQ(L"abc", W(s));
    CString all(L"xxx");
    EXPECT_EQ(3, all.Remove(L'x'));
    EXPECT_TRUE(all.IsEmpty());

    struct Case
    {
        std::function<int(CString&)> edit;
        int length;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {[](CString& t) { return t.Insert(0, L">"); }, 5, L">abcd"},
        {[](CString& t) { return t.Insert(2, L"--"); }, 6, L"ab--cd"},
        {[](CString& t) { return t.Insert(99, L'!'); }, 5, L"abcd!"}, // past the end appends
        {[](CString& t) { return t.Insert(-3, L'!'); }, 5, L"!abcd"}, // before the start prepends
        {[](CString& t) { return t.Insert(1, t); }, 8, L"aabcdbcd"},  // itself
        {[](CString& t) { return t.Insert(1, L""); }, 4, L"abcd"},
        {[](CString& t) { return t.Delete(1); }, 3, L"acd"},
        {[](CString& t) { return t.Delete(1, 2); }, 2, L"ad"},
        {[](CString& t) { return t.Delete(2, 99); }, 2, L"ab"},
        {[](CString& t) { return t.Delete(-1, 2); }, 2, L"cd"},
        {[](CString& t) { return t.Delete(4, 1); }, 4, L"abcd"},
        {[](CString& t) { return t.Delete(0, 0); }, 4, L"abcd"},
        {[](CString& t) { return t.Delete(0, 4); }, 0, L""},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        CString t(L"abcd");
        EXPECT_EQ(cases[i].length, cases[i].edit(t)) << "case " << i;
        EXPECT_EQ(std::wstring(cases[i].expected), W(t)) << "case " << i;
    }
}

TEST(CString, CaseAndReverse)
{
    // Case changes reach letters beyond ASCII.
    CString s(L"Gr\x00FC\x00DF"
              L"e \x00C9T\x00C9 Abc");
    EXPECT_EQ(L"gr\x00FC\x00DF"
              L"e \x00E9t\x00E9 abc",
              W(CString(s).MakeLower()));
    EXPECT_EQ(L"GR\x00DC\x00DF"
              L"E \x00C9T\x00C9 ABC",
              W(CString(s).MakeUpper()));

    // Reversing keeps surrogate pairs in order, so the result is still valid text.
    CString r(std::wstring(L"ab" + kSmiley + L"c").c_str());
    r.MakeReverse();
    EXPECT_EQ(L"c" + kSmiley + L"ba", W(r));
    EXPECT_EQ(L"", W(CString().MakeReverse()));
}

TEST(CString, Trimming)
{
    struct Case
    {
        std::function<void(CString&)> trim;
        const wchar_t* expected;
    };
    const wchar_t* text = L" \t\r\n xxabcxx \n";
    const Case cases[] = {
        {[](CString& s) { s.Trim(); }, L"xxabcxx"},
        {[](CString& s) { s.TrimLeft(); }, L"xxabcxx \n"},
        {[](CString& s) { s.TrimRight(); }, L" \t\r\n xxabcxx"},
        {[](CString& s) { s.Trim(L" \t\r\nx"); }, L"abc"},
        {[](CString& s) { s.TrimLeft(L" \t\r\nx"); }, L"abcxx \n"},
        {[](CString& s) { s.TrimRight(L"\n x"); }, L" \t\r\n xxabc"},
        {[](CString& s) { s.TrimLeft(L' '); }, L"\t\r\n xxabcxx \n"},
        {[](CString& s) { s.TrimRight(L'\n'); }, L" \t\r\n xxabcxx "},
        {[](CString& s) { s.Trim(L""); }, L" \t\r\n xxabcxx \n"},
        {[](CString& s) { s.Trim(L"abcx \t\r\n"); }, L""},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        CString s(text);
        cases[i].trim(s);
        EXPECT_EQ(std::wstring(cases[i].expected), W(s)) << "case " << i;
    }
}

// ---- Formatting ---------------------------------------------------------------------------------------------

TEST(CString, FormatForms)
{
    struct Case
    {
        std::wstring result;
        const wchar_t* expected;
    };
    auto f = [](const wchar_t* format, auto... args) {
        CString s(L"previous");
        s.Format(format, args...);
        return W(s);
    };
    const CString name(L"Feed");
    const CStringA narrow("narrow");
    const Case cases[] = {
        {f(L"%s", L"wide"), L"wide"},
        {f(L"%s", name), L"Feed"}, // a string object passes as its text
        {f(L"%s%3d", L"item", 7), L"item  7"},
        {f(L"[%5s|%-5s]", L"ab", L"cd"), L"[   ab|cd   ]"},
        {f(L"%.2s", L"abcdef"), L"ab"},
        {f(L"%S|%hs|%ls", "one", "two", L"three"), L"one|two|three"},
        {f(L"%S", narrow), L"narrow"},
        {f(L"%s", static_cast<const wchar_t*>(nullptr)), L"(null)"},
        {f(L"%d|%i|%d", 42, -42, INT_MIN), L"42|-42|-2147483648"},
        {f(L"%u|%u", 4000000000u, static_cast<unsigned>(-1)), L"4000000000|4294967295"},
        {f(L"%x|%X|%08x|%#x", 255, 255, 255, 255), L"ff|FF|000000ff|0xff"},
        {f(L"%x", -1), L"ffffffff"},
        {f(L"%ld|%lu", 7L, 8UL), L"7|8"},
        {f(L"%I64d|%lld|%I64u", -5000000000LL, 6000000000LL, 18446744073709551615ULL),
         L"-5000000000|6000000000|18446744073709551615"},
        {f(L"%Iu", static_cast<size_t>(123)), L"123"},
        {f(L"%hd|%hu", 70000, 70000), L"4464|4464"},
        {f(L"%0.1f|%0.2f|%0.0f", 2.26, 1.005, 2.7), L"2.3|1.00|3"},
        {f(L"%5.1f|%-6.2f|%+.1f", 3.14159, 2.5, 1.0), L"  3.1|2.50  |+1.0"},
        {f(L"%e|%g", 12345.678, 0.0001), L"1.234568e+04|0.0001"},
        {f(L"%c%c%c", L'a', L'\x00E9', 'z'), L"a\x00E9z"},
        {f(L"%3c|%-3c|", L'x', L'y'), L"  x|y  |"},
        {f(L"%C", 'n'), L"n"},
        {f(L"100%%"), L"100%"},
        {f(L"%*d|%-*d|%.*f", 4, 1, 3, 2, 1, 0.27), L"   1|2  |0.3"},
        {f(L"%y and %"), L"%y and %"}, // unknown forms stay as written
        {f(L""), L""},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(std::wstring(cases[i].expected), cases[i].result) << "case " << i;

    const std::wstring pair = L"x" + kSmiley;
    // Precision counts code units, as lengths do everywhere else.
    EXPECT_EQ(pair + L"|\xD83D", f(L"%s|%.1s", pair.c_str(), kSmiley.c_str()));

    CString grow;
    grow.Format(L"%s", std::wstring(5000, L'q').c_str());
    EXPECT_EQ(5000, grow.GetLength());
    grow.Format(L"%d", 1);
    EXPECT_EQ(L"1", W(grow));
}

TEST(CString, FormatIntoItselfAndAppend)
{
    CString s(L"abc");
    s.Format(L"[%s]", s); // the argument is the string being replaced
    EXPECT_EQ(L"[abc]", W(s));
    s.AppendFormat(L" %d%%", 50);
    EXPECT_EQ(L"[abc] 50%", W(s));
    s.Format(kIdsPrintf, L"Weather", 3);
    EXPECT_EQ(L"Weather has 3 new items", W(s));
}

TEST(CStringA, FormatUsesNarrowText)
{
    CStringA s;
    s.Format("%s=%d;%ls;%S;%c", "key", 10, L"w\x00E9", L"W", 'c');
    EXPECT_EQ("key=10;w\xE9;W;c", A(s));
    s.Format("%s", CStringA("object"));
    EXPECT_EQ("object", A(s));
    s.Format("%ls", CString(L"wide object"));
    EXPECT_EQ("wide object", A(s));
}

TEST(CString, FormatMessageInserts)
{
    CString s;
    s.FormatMessage(L"Cannot open %1 from %2.", L"feed.xml", CString(L"server"));
    EXPECT_EQ(L"Cannot open feed.xml from server.", W(s));
    s.FormatMessage(L"%2 before %1", L"one", L"two");
    EXPECT_EQ(L"two before one", W(s));
    s.FormatMessage(L"%1!d! items, %2!s!", 12, L"done");
    EXPECT_EQ(L"12 items, done", W(s));
    s.FormatMessage(kIdsTwoInserts, L"a.xml", L"b");
    EXPECT_EQ(L"Cannot open a.xml from b.", W(s));

    CStringA a;
    a.FormatMessage("%1 and %2", "x", "y");
    EXPECT_EQ("x and y", A(a));
}

TEST(CString, FormatStringInserts)
{
    CString s;
    AfxFormatString2(s, kIdsTwoInserts, L"feed.xml", L"server");
    EXPECT_EQ(L"Cannot open feed.xml from server.", W(s));
    AfxFormatString1(s, kIdsOneInsert, L"this");
    EXPECT_EQ(L"Only this, 100% sure", W(s)); // a '%' without a digit stays
    AfxFormatString1(s, kIdsTwoInserts, L"feed.xml");
    EXPECT_EQ(L"Cannot open feed.xml from .", W(s)); // a missing insert is empty
    // A percent sign right after an insert is text (the platform's message formatter would eat "% ").
    const wchar_t* progress[] = {L"50", L"2 MB"};
    AfxFormatStrings(s, L"%1% of %2 Copied", progress, 2);
    EXPECT_EQ(L"50% of 2 MB Copied", W(s));
    const wchar_t* inserts[] = {L"%2", L"x"};
    AfxFormatStrings(s, L"%1|%2|%9", inserts, 2); // inserts are not scanned again
    EXPECT_EQ(L"%2|x|", W(s));
}

// ---- The string table ---------------------------------------------------------------------------------------

TEST(CString, LoadsFromTheStringTable)
{
    struct Case
    {
        UINT id;
        std::wstring expected;
    };
    const Case cases[] = {
        {kIdsPlain, L"Plain test string"},
        {kIdsNonAscii, L"Gr\x00FC\x00DF"
                       L"e " +
                           kSmiley},
        {kIdsLong,
         [] {
             std::wstring t;
             for (int i = 0; i < 30; ++i)
                 t += L"0123456789";
             return t;
         }()},
        {kIdsLastOfBlock, L"Last of its block"},
        {kIdsNextBlock, L"First of the next block"},
    };
    for (const Case& c : cases) {
        CString s;
        EXPECT_TRUE(s.LoadString(c.id)) << c.id;
        EXPECT_EQ(c.expected, W(s)) << c.id;
    }
    CString kept(L"kept");
    EXPECT_FALSE(kept.LoadString(kIdsMissing));
    EXPECT_FALSE(kept.LoadString(59999));
    EXPECT_EQ(L"kept", W(kept));

    CStringA narrow;
    EXPECT_TRUE(narrow.LoadString(kIdsNonAscii));
    // The character beyond the code page becomes '?' (the platform may give one per code unit).
    EXPECT_EQ(0, A(narrow).rfind("Gr\xFC\xDF"
                                 "e ?",
                                 0));
}

TEST(CString, LoadStringUsesTheResourceHandle)
{
    EXPECT_EQ(GetModuleHandleW(nullptr), AfxGetResourceHandle());
    EXPECT_EQ(GetModuleHandleW(nullptr), AfxGetInstanceHandle());
    HINSTANCE other = GetModuleHandleW(L"kernel32.dll");
    AfxSetResourceHandle(other);
    CString s;
    const BOOL loaded = s.LoadString(kIdsPlain);
    AfxSetResourceHandle(nullptr);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(GetModuleHandleW(nullptr), AfxGetResourceHandle());
    EXPECT_TRUE(s.LoadString(GetModuleHandleW(nullptr), kIdsPlain));
}

// ---- Buffers ------------------------------------------------------------------------------------------------

TEST(CString, BuffersForThePlatform)
{
    CString module;
    DWORD n = GetModuleFileNameW(nullptr, module.GetBuffer(MAX_PATH), MAX_PATH);
    module.ReleaseBuffer();
    EXPECT_EQ(static_cast<int>(n), module.GetLength());
    EXPECT_GE(module.GetAllocLength(), MAX_PATH);

    CString s(L"abcdef");
    wchar_t* p = s.GetBuffer(2); // never smaller than the text
    EXPECT_GE(s.GetAllocLength(), 6);
    p[3] = L'\0';
    s.ReleaseBuffer();
    EXPECT_EQ(L"abc", W(s));
    s.GetBuffer(10)[1] = L'X';
    s.ReleaseBuffer(2);
    EXPECT_EQ(L"aX", W(s));
    s.GetBuffer()[0] = L'\0';
    s.ReleaseBuffer(9999); // clamped to the buffer
    EXPECT_LE(s.GetLength(), s.GetAllocLength());

    wchar_t* q = s.GetBufferSetLength(4);
    EXPECT_EQ(4, s.GetLength());
    wmemcpy(q, L"wxyz", 4);
    s.ReleaseBufferSetLength(3);
    EXPECT_EQ(L"wxy", W(s));

    CString big;
    big.Preallocate(100);
    const wchar_t* before = big.GetString();
    for (int i = 0; i < 100; ++i)
        big += L'x';
    EXPECT_EQ(before, big.GetString()); // grew inside the preallocated room
    big.Truncate(10);
    big.FreeExtra();
    EXPECT_EQ(10, big.GetAllocLength());
    EXPECT_EQ(std::wstring(10, L'x'), W(big));
}

TEST(CString, AllocSysString)
{
    CString s(L"a\0b\x00E9", 4);
    BSTR b = s.AllocSysString();
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(4u, SysStringLen(b));
    EXPECT_EQ(0, wmemcmp(b, L"a\0b\x00E9", 4));
    SysFreeString(b);

    BSTR e = CString().AllocSysString();
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(0u, SysStringLen(e));
    SysFreeString(e);

    BSTR fromNarrow = CStringA("caf\xE9").AllocSysString();
    EXPECT_EQ(std::wstring(L"caf\x00E9"), std::wstring(fromNarrow, SysStringLen(fromNarrow)));
    BSTR reused = fromNarrow;
    CString(L"longer text").SetSysString(&reused);
    EXPECT_EQ(std::wstring(L"longer text"), std::wstring(reused, SysStringLen(reused)));
    SysFreeString(reused);
}

} // namespace
