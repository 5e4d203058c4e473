// Hexadecimal digits and prefixes compared without regard to case.
#include "framework/core/TextHelpers.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(TextHelpers, HexDigitValues)
{
    struct Case
    {
        wchar_t ch;
        int value;
    };
    const Case cases[] = {
        {L'0', 0},    {L'9', 9},  {L'a', 10}, {L'f', 15}, {L'A', 10}, {L'F', 15}, {L'g', -1},   {L'G', -1},
        {L'/', -1},   {L':', -1}, {L'@', -1}, {L'`', -1}, {L' ', -1}, {0, -1},    {0xFF10, -1}, // a full-width digit is
                                                                                                // no digit of an
                                                                                                // address
        {0x0661, -1}, // nor an Arabic-Indic one
    };
    for (const Case& c : cases)
        EXPECT_EQ(HexDigitValue(c.ch), c.value) << static_cast<int>(c.ch);
    const char expected[] = "0123456789ABCDEF";
    for (unsigned value = 0; value < 16; ++value) {
        EXPECT_EQ(UpperHexDigit(value), expected[value]);
        EXPECT_EQ(HexDigitValue(static_cast<wchar_t>(UpperHexDigit(value))), static_cast<int>(value));
    }
    EXPECT_EQ(UpperHexDigit(0xAB), 'B'); // only the low four bits
}

TEST(TextHelpers, PrefixesMatchWithoutRegardToCase)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* prefix;
        bool starts;
    };
    const Case cases[] = {
        {L"HTTP://example.org", L"http://", true},
        {L"http://example.org", L"HTTP://", true},
        {L"https://example.org", L"http://", false},
        {L"http:", L"http://", false}, // shorter than the prefix
        {L"anything", L"", true},
        {L"", L"", true},
        {L"", L"a", false},
        {nullptr, L"a", false},
        {nullptr, L"", true},
        {L"\x017Fmtp:", L"smtp:", false}, // the long s folds to "S" in Unicode, not here
        {L"\x212A"
         L"ey",
         L"key", false},                       // nor the Kelvin sign to "K"
        {L"\x00C9t\x00E9", L"\x00E9t", false}, // only ASCII letters fold
        {L"\x00E9t\x00E9", L"\x00E9t", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(c.text ? c.text : L"(null)") + " / " + lqtest::Narrow(c.prefix));
        EXPECT_EQ(StartsWithNoCase(c.text, c.prefix), c.starts);
        const size_t length = c.text ? wcslen(c.text) : 0;
        EXPECT_EQ(StartsWithNoCase(c.text, length, c.prefix), c.starts);
    }
    // A counted text stops at its count, whatever follows.
    const wchar_t text[] = L"color=red";
    EXPECT_TRUE(StartsWithNoCase(text, 6, L"COLOR="));
    EXPECT_FALSE(StartsWithNoCase(text, 5, L"COLOR="));
}

} // namespace
