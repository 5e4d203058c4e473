// The quick filter's build: the words of a filter text, the items AND, OR and NOT words select from both lists,
// the marks put around the words (never inside markup, never of the feed's own text), and the results entry.
#include "app/FilteredResults.h"

#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FilterText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::wstring kOpen = kMarkOpen;
const std::wstring kClose = kMarkClose;

std::wstring Marked(const std::wstring& word)
{
    return kOpen + word + kClose;
}

CFeedItem* NewsItem(const wchar_t* title, const wchar_t* text, int day = 0)
{
    auto* item = new CFeedItem;
    item->m_nKind = FEED_KIND_ITEM;
    item->m_strTitle = item->m_strTitleText = title;
    item->m_strDescription = item->m_strDescriptionText = text;
    if (day > 0)
        item->m_dtDate.SetDateTime(2026, 3, day, 12, 0, 0);
    return item;
}

CFeedItem* Subscription(const wchar_t* name, std::vector<CFeedItem*> items)
{
    auto* entry = new CFeedItem;
    entry->m_nKind = FEED_KIND_FEED;
    entry->m_strTitleText = name;
    entry->m_pChannel = new CFeedChannel;
    for (CFeedItem* item : items)
        entry->m_pChannel->m_items.AddTail(item);
    return entry;
}

// Two lists of a few channels; the items are named by their titles' first word.
struct Lists
{
    CFeedChannel main, custom;
    Lists()
    {
        main.m_items.AddTail(Subscription(L"Fruit", {NewsItem(L"apple harvest", L"Pears and apples fill the barns", 3),
                                                     NewsItem(L"pear prices", L"Growers expect a good year", 5),
                                                     NewsItem(L"Apple and Pear fair", L"The town's fair", 1)}));
        // A notice carries a text too, but is no news item.
        CFeedItem* notice = NewsItem(L"apple notice", L"apple");
        notice->m_nKind = FEED_KIND_NOTICE;
        main.m_items.AddTail(notice);
        main.m_items.AddTail(Subscription(L"World", {NewsItem(L"ЯБЛОКО урожай", L"Новости дня", 4),
                                                     NewsItem(L"Weather today", L"Rain, then APPLES", 2),
                                                     NewsItem(L"ΜΗΛΑ και αχλάδια", L"Ελληνικά νέα", 6)}));
        custom.m_items.AddTail(
            Subscription(L"Mine", {NewsItem(L"Markup <b>bold</b> cheese", L"5 < 6 & a <br>\nline", 7),
                                   NewsItem(L"plain cheese", L"nothing else", 8)}));
    }
};

std::vector<std::wstring> FirstWords(const FilterItems& items, const std::vector<size_t>& selected)
{
    std::vector<std::wstring> words;
    for (size_t index : selected) {
        std::wstring title = items[index].strTitleText.GetString();
        words.push_back(title.substr(0, title.find(L' ')));
    }
    return words;
}

CFilterWords Words(const wchar_t* andWords, const wchar_t* orWords, const wchar_t* notWords)
{
    return ReadFilterWords(BuildFilterText(andWords, orWords, notWords));
}

TEST(FilterWords, WordsAreSeparatedByBlanksCommasTabsAndLineBreaksAndLowerCased)
{
    struct Case
    {
        const wchar_t* list;
        std::vector<std::wstring> words;
    };
    const Case cases[] = {
        {L"", {}},
        {L"   ", {}},
        {L" , ,\r\n\t", {}},
        {L"apple", {L"apple"}},
        {L"  Apple  PEAR ", {L"apple", L"pear"}},
        {L"apple,pear, plum", {L"apple", L"pear", L"plum"}},
        {L"apple\r\npear\tplum", {L"apple", L"pear", L"plum"}},
        {L"ЯБЛОКО Ελληνικά ÄPFEL", {L"яблоко", L"ελληνικά", L"äpfel"}},
        {L"<b &amp;", {L"<b", L"&amp;"}},
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> words;
        for (const CString& word : SplitFilterWords(c.list))
            words.push_back(word.GetString());
        EXPECT_EQ(words, c.words) << testing::PrintToString(std::wstring(c.list));
    }
}

TEST(FilterWords, TheTaggedTextKeepsEachListAsEnteredAndABlankFilterHasNoWords)
{
    const CFilterWords words = ReadFilterWords(L"#AND#Apple  pear#/AND##NOT#x#/NOT#");
    EXPECT_STREQ(words.strAnd.GetString(), L"Apple  pear");
    EXPECT_TRUE(words.strOr.IsEmpty());
    EXPECT_STREQ(words.strNot.GetString(), L"x");
    EXPECT_EQ(words.andWords.size(), 2u);
    EXPECT_FALSE(words.IsEmpty());
    EXPECT_TRUE(ReadFilterWords(L"").IsEmpty());
    EXPECT_TRUE(ReadFilterWords(L"#AND#  ,  #/AND##OR# #/OR#").IsEmpty());
}

TEST(FilteredResults, AndOrAndNotWordsSelectFromBothListsInTheirOrder)
{
    struct Case
    {
        const wchar_t *andWords, *orWords, *notWords;
        std::vector<std::wstring> selected;
        const char* why;
    };
    const Case cases[] = {
        {L"apple pear", L"", L"", {L"apple", L"Apple"}, "both words, in the title or the text, any case"},
        {L"APPLE", L"", L"", {L"apple", L"Apple", L"Weather"}, "a word found only in the text counts"},
        {L"apple", L"", L"", {L"apple", L"Apple", L"Weather"}, "the notice is no news item"},
        {L"apple nowhere pear", L"", L"", {}, "the words stop at the first that leaves nothing"},
        {L"", L"pear cheese", L"", {L"apple", L"pear", L"Apple", L"Markup", L"plain"}, "OR alone: each once"},
        {L"", L"cheese pear", L"", {L"Markup", L"plain", L"apple", L"pear", L"Apple"}, "the OR words' order"},
        {L"apple", L"fair rain", L"", {L"Apple", L"Weather"}, "OR after AND keeps the AND matches"},
        {L"nowhere", L"apple", L"", {}, "OR does not widen an AND that found nothing"},
        {L"", L"", L"apple", {L"pear", L"ЯБЛОКО", L"ΜΗΛΑ", L"Markup", L"plain"}, "NOT alone"},
        {L"", L"", L"apple cheese", {L"pear", L"ЯБЛОКО", L"ΜΗΛΑ"}, "NOT words one after the other"},
        {L"apple", L"pear rain", L"fair", {L"apple", L"Weather"}, "all three"},
        {L"growers", L"", L"", {L"pear"}, "in the text only"},
        {L"harvest", L"", L"", {L"apple"}, "in the title only"},
        {L"яблоко", L"", L"", {L"ЯБЛОКО"}, "Cyrillic in another case"},
        {L"", L"μηλα νέα", L"", {L"ΜΗΛΑ"}, "Greek in another case"},
        {L"<b", L"", L"", {}, "a tag is no text of the item"},
        {L"bold", L"", L"", {L"Markup"}, "the text inside a tag's element is"},
        {L"6 &", L"", L"", {L"Markup"}, "references are matched as the characters shown"},
        {L"&amp;", L"", L"", {}, "and not as written"},
        {L"", L"", L"", {}, "no words select nothing"},
    };
    for (const Case& c : cases) {
        Lists lists;
        FilterItems items;
        CopyNewsItems(&lists.main, &lists.custom, items);
        EXPECT_EQ(FirstWords(items, SelectFilteredItems(Words(c.andWords, c.orWords, c.notWords), items)), c.selected)
            << c.why;
    }
}

TEST(FilteredResults, MarksGoAroundEachWordOutsideTagsAndNeverIntoFeedMarkup)
{
    struct Case
    {
        const wchar_t* text;
        std::vector<CString> words;
        bool bStored;
        std::wstring marked;
    };
    const std::wstring A = Marked(L"apple");
    const Case cases[] = {
        {L"apple, Apple and APPLE", {L"apple"}, false, A + L", " + Marked(L"Apple") + L" and " + Marked(L"APPLE")},
        {L"pineapple", {L"apple"}, false, L"pine" + A},
        {L"aaaa", {L"aa"}, false, Marked(L"aa") + Marked(L"aa")},
        {L"apple pear", {L"apple", L"pear"}, false, A + L" " + Marked(L"pear")},
        // A later word never matches inside an earlier mark.
        {L"red apple", {L"apple", L"font", L"color", L"ff0000", L"b"}, false, L"red " + A},
        // A later word is sought between the marks' tags too: inside an earlier mark, never across its edge.
        {L"apple", {L"apple", L"pp", L"le"}, false, kOpen + L"a" + Marked(L"pp") + Marked(L"le") + kClose},
        {L"apple", {L"apple", L"pp"}, true, kOpen + L"a" + Marked(L"pp") + L"le" + kClose},
        {L"apple", {L"app", L"ple"}, false, Marked(L"app") + L"le"},
        {L"a<br>\nb", {L"br"}, false, L"a<br>\nb"},
        {L"x <b>apple</b>", {L"<b"}, false, L"x <b>apple</b>"},
        {L"1 < 2 apple", {L"<"}, false, L"1 " + Marked(L"<") + L" 2 apple"},
        {L"Price <10 apple", {L"<10"}, false, L"Price " + Marked(L"<10") + L" apple"},
        {L"AT&T &amp; co", {L"&amp;"}, false, L"AT&T " + Marked(L"&amp;") + L" co"},
        {L"ЯБЛОКО и яблоко", {L"яблоко"}, false, Marked(L"ЯБЛОКО") + L" и " + Marked(L"яблоко")},
        // A tag that never closes: what follows it stays as it is.
        {L"apple <b apple", {L"apple"}, false, A + L" <b apple"},
        // Stored markup: tags, quoted attributes and comments are left alone, references read as characters.
        {L"<a href=\"apple.htm\" title='x>apple'>apple</a>",
         {L"apple"},
         true,
         L"<a href=\"apple.htm\" title='x>apple'>" + A + L"</a>"},
        {L"<!-- apple > pear -->apple", {L"apple"}, true, L"<!-- apple > pear -->" + A},
        {L"5 &lt; 6 &amp;amp;", {L"<"}, true, L"5 " + Marked(L"&lt;") + L" 6 &amp;amp;"},
        {L"fish &amp; chips", {L"amp"}, true, L"fish &amp; chips"},
        {L"fish &amp; chips", {L"h & c"}, true, L"fis" + Marked(L"h &amp; c") + L"hips"},
        {L"caf&eacute; CAF&Eacute;", {L"café"}, true, Marked(L"caf&eacute;") + L" " + Marked(L"CAF&Eacute;")},
        {L"R&D apple", {L"d apple"}, true, L"R&" + Marked(L"D apple")},
        {L"<b>bold</b>", {L"b"}, true, L"<b>" + Marked(L"b") + L"old</b>"},
    };
    for (const Case& c : cases) {
        CString text = c.text;
        MarkWords(text, c.words, c.bStored);
        EXPECT_EQ(std::wstring(text.GetString()), c.marked) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(FilteredResults, ThePageHoldsMarkedCopiesNewestFirstUnderItsEntry)
{
    Lists lists;
    FilterItems items;
    CopyNewsItems(&lists.main, &lists.custom, items);
    std::unique_ptr<CFeedItem> page(BuildFilteredResults(Words(L"Apple", L"pear fair", L""), 1, items));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->m_nKind, FEED_KIND_FILTER_RESULT);
    EXPECT_STREQ(page->m_strTitleText.GetString(), L"Filtered results");
    EXPECT_STREQ(page->m_strDescriptionText.GetString(), L"AND: Apple\nOR: pear fair");
    EXPECT_EQ(page->m_nImageIndex, 3);
    EXPECT_EQ(page->m_nUnreadCount, 2);
    ASSERT_NE(page->m_pChannel, nullptr);
    ASSERT_EQ(page->m_pChannel->m_items.GetCount(), 2);
    // Newest first: "apple harvest" (the 3rd) before the fair (the 1st).
    const CFeedItem* first = page->m_pChannel->m_items.GetHead();
    const CFeedItem* second = page->m_pChannel->m_items.GetTail();
    EXPECT_EQ(std::wstring(first->m_strTitleText.GetString()), Marked(L"apple") + L" harvest");
    EXPECT_EQ(std::wstring(first->m_strDescriptionText.GetString()),
              Marked(L"Pear") + L"s and " + Marked(L"apple") + L"s fill the barns");
    EXPECT_EQ(std::wstring(second->m_strTitleText.GetString()),
              Marked(L"Apple") + L" and " + Marked(L"Pear") + L" " + Marked(L"fair"));
    // The modern view draws the display copies; the stored texts stay as the feed gave them.
    EXPECT_STREQ(first->m_strTitle.GetString(), L"apple harvest");
    // The page's items are its own: the marks reach neither the records nor the lists' items.
    for (const CFilterItem& item : items)
        EXPECT_EQ(item.strTitleText.Find(kMarkOpen), -1) << lqtest::Narrow(item.strTitleText.GetString());
    EXPECT_STREQ(lists.main.m_items.GetHead()->m_pChannel->m_items.GetHead()->m_strTitleText.GetString(),
                 L"apple harvest");
}

// The page's items carry what the views and the cache file show of the items they were made from.
TEST(FilteredResults, ThePagesItemsKeepTheirLinksAuthorsEnclosuresStatesAndDates)
{
    Lists lists;
    CFeedItem* original = lists.main.m_items.GetHead()->m_pChannel->m_items.GetHead();
    original->m_strLink = original->m_strLinkText = L"http://example.net/apple";
    original->m_strAuthor = L"Grower";
    original->m_strEnclosureUrl = L"http://example.net/apple.mp3";
    original->m_strEnclosureType = L"audio/mpeg";
    original->m_nEnclosureLength = 1234;
    original->m_nReadState = FEED_STATE_READ;
    FilterItems items;
    CopyNewsItems(&lists.main, &lists.custom, items);
    std::unique_ptr<CFeedItem> page(BuildFilteredResults(Words(L"harvest", L"", L""), 1, items));
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->m_pChannel->m_items.GetCount(), 1);
    const CFeedItem* item = page->m_pChannel->m_items.GetHead();
    EXPECT_NE(item, original);
    EXPECT_EQ(item->m_nKind, FEED_KIND_ITEM);
    EXPECT_STREQ(item->m_strLink.GetString(), L"http://example.net/apple");
    EXPECT_STREQ(item->m_strLinkText.GetString(), L"http://example.net/apple");
    EXPECT_STREQ(item->m_strAuthor.GetString(), L"Grower");
    EXPECT_STREQ(item->m_strEnclosureUrl.GetString(), L"http://example.net/apple.mp3");
    EXPECT_STREQ(item->m_strEnclosureType.GetString(), L"audio/mpeg");
    EXPECT_EQ(item->m_nEnclosureLength, 1234);
    EXPECT_EQ(item->m_nReadState, FEED_STATE_READ);
    EXPECT_TRUE(item->m_dtDate == original->m_dtDate);
}

TEST(FilteredResults, TheViewStyleChoosesWhichTextsAreMarked)
{
    struct Case
    {
        int nViewStyle;
        bool bDisplayMarked, bStoredMarked;
    };
    for (const Case& c : {Case{1, true, false}, Case{0, false, true}, Case{2, false, false}}) {
        Lists lists;
        FilterItems items;
        CopyNewsItems(&lists.main, &lists.custom, items);
        std::unique_ptr<CFeedItem> page(BuildFilteredResults(Words(L"cheese", L"", L"plain"), c.nViewStyle, items));
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(page->m_pChannel->m_items.GetCount(), 1);
        const CFeedItem* item = page->m_pChannel->m_items.GetHead();
        EXPECT_EQ(item->m_strTitleText.Find(kMarkOpen) >= 0, c.bDisplayMarked) << c.nViewStyle;
        EXPECT_EQ(item->m_strTitle.Find(kMarkOpen) >= 0, c.bStoredMarked) << c.nViewStyle;
        EXPECT_STREQ(page->m_strDescriptionText.GetString(), L"AND: cheese\nNOT: plain");
    }
}

TEST(FilteredResults, AnOrListAloneStartsTheDescriptionWithItsLineBreakAndNothingFoundMakesNoPage)
{
    Lists lists;
    FilterItems items;
    CopyNewsItems(&lists.main, &lists.custom, items);
    EXPECT_EQ(BuildFilteredResults(Words(L"nowhere", L"", L""), 1, items), nullptr);
    EXPECT_EQ(BuildFilteredResults(Words(L"", L"", L""), 1, items), nullptr);
    std::unique_ptr<CFeedItem> page(BuildFilteredResults(Words(L"", L"cheese", L""), 1, items));
    ASSERT_NE(page, nullptr);
    EXPECT_STREQ(page->m_strDescriptionText.GetString(), L"\nOR: cheese");
}

// The build reads only its copies: what a refresh does to the lists meanwhile reaches neither the selection nor
// the page.
TEST(FilteredResults, TheBuildWorksOnCopiesThatOutliveTheLists)
{
    FilterItems items;
    {
        Lists lists;
        CopyNewsItems(&lists.main, &lists.custom, items);
        CFeedItem* original = lists.custom.m_items.GetHead()->m_pChannel->m_items.GetTail();
        original->m_strTitleText = L"changed";
        original->m_nReadState = FEED_STATE_READ;
        // The records share the items' texts: a change made in place to the shared characters must not reach them.
        original->m_strDescriptionText.MakeUpper();
        wchar_t* buffer = original->m_strTitle.GetBuffer();
        buffer[0] = L'X';
        original->m_strTitle.ReleaseBuffer();
    } // the lists and every original item are deleted here
    std::unique_ptr<CFeedItem> page(BuildFilteredResults(Words(L"plain", L"", L""), 2, items));
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->m_pChannel->m_items.GetCount(), 1);
    EXPECT_STREQ(page->m_pChannel->m_items.GetHead()->m_strTitleText.GetString(), L"plain cheese");
    EXPECT_EQ(page->m_pChannel->m_items.GetHead()->m_nReadState, FEED_STATE_NEW);
    EXPECT_STREQ(page->m_pChannel->m_items.GetHead()->m_strDescriptionText.GetString(), L"nothing else");
    EXPECT_STREQ(page->m_pChannel->m_items.GetHead()->m_strTitle.GetString(), L"plain cheese");
}

} // namespace
