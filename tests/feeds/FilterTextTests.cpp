// The quick filter's tagged text: built from the three word lists and read back.
#include "feeds/FilterText.h"

#include <gtest/gtest.h>

namespace {

// ---- Quick-filter text

TEST(FilterText, SectionsAppearOnlyForWordsGiven)
{
    struct Case
    {
        const wchar_t *andWords, *orWords, *notWords, *text;
    };
    const Case cases[] = {
        {L"a b", nullptr, L"c", L"#AND#a b#/AND##NOT#c#/NOT#"},
        {L"x", L"y z", L"w", L"#AND#x#/AND##OR#y z#/OR##NOT#w#/NOT#"},
        {L"", L"only", L"", L"#OR#only#/OR#"},
        {nullptr, nullptr, nullptr, L""},
        {L"#/AND#", nullptr, nullptr, L"#AND##/AND##/AND#"}, // the words are not escaped
    };
    for (const Case& c : cases)
        EXPECT_STREQ(BuildFilterText(c.andWords, c.orWords, c.notWords).GetString(), c.text);
}

TEST(FilterText, ParsingFillsOnlyTheSectionsPresent)
{
    CString andWords = L"keep-and", orWords = L"keep-or", notWords = L"keep-not";
    EXPECT_TRUE(ParseFilterTerms(L"#OR#x#/OR#", andWords, orWords, notWords));
    EXPECT_STREQ(andWords.GetString(), L"keep-and");
    EXPECT_STREQ(orWords.GetString(), L"x");
    EXPECT_STREQ(notWords.GetString(), L"keep-not");

    // A round trip, and a section without its closing tag, which counts as missing.
    ParseFilterTerms(BuildFilterText(L"one two", L"three", L"four"), andWords, orWords, notWords);
    EXPECT_STREQ(andWords.GetString(), L"one two");
    EXPECT_STREQ(orWords.GetString(), L"three");
    EXPECT_STREQ(notWords.GetString(), L"four");
    ParseFilterTerms(L"#AND#new#/AND##NOT#open", andWords, orWords, notWords);
    EXPECT_STREQ(andWords.GetString(), L"new");
    EXPECT_STREQ(notWords.GetString(), L"four");
}

} // namespace
