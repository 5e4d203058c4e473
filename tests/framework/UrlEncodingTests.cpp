// Percent-encoding of address and form texts, and the way back.
#include "framework/core/UrlEncoding.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using lqtest::Narrow;

namespace {

TEST(UrlEncoding, BytesKeepLettersDigitsAndTheGivenSet)
{
    struct Case
    {
        std::string bytes;
        const char* kept;
        bool plus;
        const char* encoded;
    };
    const Case cases[] = {
        {"aZ09", "", false, "aZ09"},
        {"a-b_c.d~e", "-._~", false, "a-b_c.d~e"},
        {"a-b_c.d~e", "", false, "a%2Db%5Fc%2Ed%7Ee"},
        {"a b\tc\vd\fe", "", true, "a+b+c+d+e"},
        {"a b", "", false, "a%20b"},
        {"line\r\nend", "", true, "line%0D%0Aend"}, // line ends are no blanks
        {"&=?#%+", "", true, "%26%3D%3F%23%25%2B"},
        {std::string("\0\x7F\x80\xFF", 4), "", false, "%00%7F%80%FF"},
        {"\xC3\xA9", "\xC3", false, "\xC3%A9"}, // a byte above 0x7F in the set is kept too
        {"", "", true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PercentEncodeBytes(c.bytes, c.kept, c.plus), c.encoded) << c.encoded;
}

TEST(UrlEncoding, TextsGoAsUtf8AndComeBack)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* encoded;
    };
    const Case cases[] = {
        {L"user name", L"user%20name"},
        {L"p&ss#word?", L"p%26ss%23word%3F"},
        {L"caf\x00E9", L"caf%C3%A9"},
        {L"\x65E5\x672C", L"%E6%97%A5%E6%9C%AC"},
        {L"\xD83D\xDE00", L"%F0%9F%98%80"}, // a pair of surrogates is one character
        {L"-._~", L"-._~"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        EXPECT_STREQ(PercentEncode(c.text).GetString(), c.encoded);
        EXPECT_STREQ(PercentDecode(c.encoded, false).GetString(), c.text);
    }
}

TEST(UrlEncoding, DecodingLeavesWhatIsNotEncodedAsItStands)
{
    struct Case
    {
        const wchar_t* text;
        bool query;
        const wchar_t* decoded;
    };
    const Case cases[] = {
        {L"a+b", true, L"a b"},
        {L"a+b", false, L"a+b"},
        {L"%2B", true, L"+"},      // an encoded plus stays a plus
        {L"100%", false, L"100%"}, // a percent sign without digits
        {L"%4", false, L"%4"},
        {L"%zz%41", false, L"%zzA"},
        {L"%41", false, L"A"}, // at the very end
        {L"x%c3%A9y", false, L"x\x00E9y"},
        {L"\xD83D\xDE00%20", false, L"\xD83D\xDE00 "}, // characters never encoded keep their pairs
        {L"%C3", false, L"\xFFFD"},                    // half a character cannot be read
        {L"%C3x", false, L"\xFFFDx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        EXPECT_STREQ(PercentDecode(c.text, c.query).GetString(), c.decoded);
    }
}

} // namespace
