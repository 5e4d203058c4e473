// The quick filter's build over 500 channels of 100 items (50,000 items) with three AND words, one OR word and one
// NOT word, against a plain case-insensitive substring scan of the same texts for one word in the same run (target:
// at most 2x; a scan for each of the five words is printed beside it); then the time per item at 5,000 and at 50,000
// items (target: flat). The copies of the items the frame makes for the worker are timed too, apart. Prints one run's
// figures.
#include "BenchTiming.h"
#include "app/FilteredResults.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FilterText.h"
#include "framework/Afx.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

const int kItemsPerChannel = 100;

const wchar_t* const kVocabulary[] = {
    L"Market",  L"city",    L"Report", L"council", L"weather", L"storm",   L"election", L"energy", L"prices",
    L"Rail",    L"school",  L"health", L"budget",  L"river",   L"harbour", L"festival", L"Sport",  L"league",
    L"science", L"climate", L"trade",  L"Bank",    L"housing", L"airport", L"museum",   L"police", L"court",
    L"Straße",  L"Москва",  L"Αθήνα",  L"tech",    L"startup", L"farm",    L"harvest",  L"music",  L"theatre",
};
const int kWords = static_cast<int>(sizeof(kVocabulary) / sizeof(kVocabulary[0]));

// The same texts in every run: a small linear congruential sequence.
struct Sequence
{
    unsigned state;
    int Next(int range)
    {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % static_cast<unsigned>(range));
    }
};

CString Sentence(Sequence& random, int nWords)
{
    CString text;
    for (int i = 0; i < nWords; ++i) {
        if (i > 0)
            text += L' ';
        text += kVocabulary[random.Next(kWords)];
    }
    return text;
}

std::unique_ptr<CFeedChannel> MakeList(int nChannels)
{
    Sequence random{7};
    auto list = std::make_unique<CFeedChannel>();
    for (int c = 0; c < nChannels; ++c) {
        auto* entry = new CFeedItem;
        entry->m_nKind = FEED_KIND_FEED;
        entry->m_pChannel = new CFeedChannel;
        for (int i = 0; i < kItemsPerChannel; ++i) {
            auto* item = new CFeedItem;
            item->m_strTitle = item->m_strTitleText = Sentence(random, 8);
            item->m_strDescription = item->m_strDescriptionText = Sentence(random, 45);
            item->m_dtDate.SetDateTime(2026, 1 + random.Next(12), 1 + random.Next(28), random.Next(24), 0, 0);
            entry->m_pChannel->m_items.AddTail(item);
        }
        list->m_items.AddTail(entry);
    }
    return list;
}

// The bare baseline: each text copied, lower-cased and searched for one word.
int PlainScan(CFeedChannel* list, const wchar_t* word)
{
    int found = 0;
    for (POSITION pos = list->m_items.GetHeadPosition(); pos;) {
        CFeedChannel* channel = list->m_items.GetNext(pos)->m_pChannel;
        for (POSITION at = channel->m_items.GetHeadPosition(); at;) {
            const CFeedItem* item = channel->m_items.GetNext(at);
            CString title = item->m_strTitleText;
            CString text = item->m_strDescriptionText;
            if (title.MakeLower().Find(word) >= 0 || text.MakeLower().Find(word) >= 0)
                ++found;
        }
    }
    return found;
}

// The same, each text searched for every word of the filter.
int PlainScanEveryWord(CFeedChannel* list)
{
    static const wchar_t* const words[] = {L"market", L"city", L"report", L"weather", L"storm"};
    int found = 0;
    for (POSITION pos = list->m_items.GetHeadPosition(); pos;) {
        CFeedChannel* channel = list->m_items.GetNext(pos)->m_pChannel;
        for (POSITION at = channel->m_items.GetHeadPosition(); at;) {
            const CFeedItem* item = channel->m_items.GetNext(at);
            CString title = item->m_strTitleText;
            CString text = item->m_strDescriptionText;
            title.MakeLower();
            text.MakeLower();
            for (const wchar_t* word : words)
                found += title.Find(word) >= 0 || text.Find(word) >= 0;
        }
    }
    return found;
}

struct Figures
{
    int nItems = 0;
    int nResults = 0;
    double dBuild = 0, dScan = 0, dScanEvery = 0, dCopy = 0, dSelect = 0;
};

Figures Measure(int nChannels, const CFilterWords& words)
{
    std::unique_ptr<CFeedChannel> list = MakeList(nChannels);
    Figures figures;
    figures.nItems = nChannels * kItemsPerChannel;
    figures.dScan = lqbench::BestTime([&] { PlainScan(list.get(), L"market"); });
    figures.dScanEvery = lqbench::BestTime([&] { PlainScanEveryWord(list.get()); });
    figures.dBuild = 1e30;
    figures.dCopy = 1e30;
    figures.dSelect = 1e30;
    for (int run = 0; run < 5; ++run) {
        FilterItems items;
        double start = lqbench::Seconds();
        CopyNewsItems(list.get(), nullptr, items);
        figures.dCopy = std::min(figures.dCopy, lqbench::Seconds() - start);
        start = lqbench::Seconds();
        const size_t selected = SelectFilteredItems(words, items).size();
        figures.dSelect = std::min(figures.dSelect, lqbench::Seconds() - start);
        start = lqbench::Seconds();
        std::unique_ptr<CFeedItem> page(BuildFilteredResults(words, 1, items));
        figures.dBuild = std::min(figures.dBuild, lqbench::Seconds() - start);
        figures.nResults = page ? static_cast<int>(page->m_pChannel->m_items.GetCount()) : 0;
        if (static_cast<int>(selected) != figures.nResults)
            std::printf("the selection and the page differ\n");
    }
    return figures;
}

} // namespace

int wmain()
{
    const CFilterWords words = ReadFilterWords(BuildFilterText(L"market city report", L"weather", L"storm"));
    const Figures small = Measure(50, words);
    const Figures large = Measure(500, words);
    std::printf("quick filter over %d items (3 AND, 1 OR, 1 NOT words): %d results\n", large.nItems, large.nResults);
    std::printf("  build %.1f ms, plain scan for one word %.1f ms: ratio %.2f (target at most 2)\n",
                large.dBuild * 1000, large.dScan * 1000, large.dBuild / large.dScan);
    std::printf("  against a plain scan for each of the five words (%.1f ms): ratio %.2f\n", large.dScanEvery * 1000,
                large.dBuild / large.dScanEvery);
    std::printf("  of which the selection alone %.1f ms: ratio %.2f\n", large.dSelect * 1000,
                large.dSelect / large.dScan);
    std::printf("  copies of the items for the worker (frame's thread, apart): %.1f ms, %.2f of the scan\n",
                large.dCopy * 1000, large.dCopy / large.dScan);
    const double perItemSmall = small.dBuild / small.nItems;
    const double perItemLarge = large.dBuild / large.nItems;
    std::printf("  per item: %.3f us at %d items, %.3f us at %d items: ratio %.2f (target flat, about 1)\n",
                perItemSmall * 1e6, small.nItems, perItemLarge * 1e6, large.nItems, perItemLarge / perItemSmall);
    return 0;
}
