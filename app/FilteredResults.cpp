#include "app/FilteredResults.h"

#include "feeds/DataFiles.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FilterText.h"
#include "framework/html/HtmlEntities.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>
#include <string_view>

const wchar_t kMarkOpen[] = L"<B><FONT color=\"#FF0000\">";
const wchar_t kMarkClose[] = L"</FONT></B>";

namespace {

const wchar_t kResultsTitle[] = L"Filtered results";
const int kResultsImage = 3;

bool IsSeparator(wchar_t ch)
{
    return ch == L' ' || ch == L',' || ch == L'\t' || ch == L'\r' || ch == L'\n';
}

bool IsAsciiLetter(wchar_t ch)
{
    return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}

// Where markup begins at text[i] ("<"), as the drawer and the page read it: "<" before a letter, "/", "!" or "?".
bool StartsTag(const wchar_t* text, int length, int i)
{
    if (text[i] != L'<' || i + 1 >= length)
        return false;
    const wchar_t next = text[i + 1];
    return IsAsciiLetter(next) || next == L'/' || next == L'!' || next == L'?';
}

// The end (one past its ">") of the markup that starts at i. A comment ends at "-->"; in a stored text a quoted
// attribute value may hold ">". Markup that never closes runs to the end, so nothing after it is marked.
int TagEnd(const wchar_t* text, int length, int i, bool bQuotes)
{
    if (i + 3 < length && text[i + 1] == L'!' && text[i + 2] == L'-' && text[i + 3] == L'-') {
        for (int j = i + 4; j + 2 < length; ++j) {
            if (text[j] == L'-' && text[j + 1] == L'-' && text[j + 2] == L'>')
                return j + 3;
        }
        return length;
    }
    wchar_t quote = 0;
    for (int j = i + 1; j < length; ++j) {
        const wchar_t ch = text[j];
        if (quote) {
            if (ch == quote)
                quote = 0;
        } else if (bQuotes && (ch == L'"' || ch == L'\'') && text[j - 1] == L'=') {
            quote = ch;
        } else if (ch == L'>') {
            return j + 1;
        }
    }
    return length;
}

// The platform's lower case of every UTF-16 unit, asked once: CharLowerBuffW costs several nanoseconds a character
// here, more than the whole search of a text for a word.
const wchar_t* LowerCaseTable()
{
    static const std::vector<wchar_t> table = [] {
        std::vector<wchar_t> units(0x10000);
        for (size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<wchar_t>(i);
        ::CharLowerBuffW(units.data(), static_cast<DWORD>(units.size()));
        return units;
    }();
    return table.data();
}

void LowerInPlace(std::wstring& text)
{
    const wchar_t* lower = LowerCaseTable();
    for (wchar_t& ch : text)
        ch = lower[static_cast<unsigned short>(ch)];
}

// Appends the text lower-cased.
void AppendLowered(std::wstring& out, const wchar_t* text, size_t length)
{
    const wchar_t* lower = LowerCaseTable();
    const size_t at = out.size();
    out.resize(at + length);
    wchar_t* to = &out[at];
    for (size_t i = 0; i < length; ++i)
        to[i] = lower[static_cast<unsigned short>(text[i])];
}

// One run of text between tags, read as the characters it shows: each character keeps the position in the raw
// text where its unit (a character or a whole character reference) begins.
struct TextRun
{
    std::wstring shown;         // lower-cased
    std::vector<int> unitStart; // raw position of each shown character's unit
    std::vector<bool> firstOfUnit;
};

void ReadRun(const wchar_t* text, int begin, int end, bool bEntities, TextRun& run)
{
    run.shown.clear();
    run.unitStart.clear();
    run.firstOfUnit.clear();
    // A display copy's characters are their own units.
    if (!bEntities) {
        run.shown.assign(text + begin, static_cast<size_t>(end - begin));
        LowerInPlace(run.shown);
        return;
    }
    for (int i = begin; i < end;) {
        int unitEnd = i + 1;
        std::wstring decoded;
        if (bEntities && text[i] == L'&') {
            int j = i + 1;
            while (j < end && j - i <= 32 &&
                   (IsAsciiLetter(text[j]) || (text[j] >= L'0' && text[j] <= L'9') || text[j] == L'#'))
                ++j;
            if (j < end && text[j] == L';' && j > i + 1) {
                HtmlDecodeEntities(text + i, static_cast<size_t>(j + 1 - i), decoded);
                if (decoded.size() == static_cast<size_t>(j + 1 - i) &&
                    decoded.compare(0, decoded.size(), text + i, decoded.size()) == 0)
                    decoded.clear(); // not a reference: the "&" is itself
                else
                    unitEnd = j + 1;
            }
        }
        if (decoded.empty())
            decoded.assign(1, text[i]);
        for (size_t k = 0; k < decoded.size(); ++k) {
            run.shown.push_back(decoded[k]);
            run.unitStart.push_back(i);
            run.firstOfUnit.push_back(k == 0);
        }
        i = unitEnd;
    }
    LowerInPlace(run.shown);
}

// Copies raw[begin, end) to out with the word marked in it.
void MarkRun(const CString& raw, int begin, int end, const std::wstring& word, bool bEntities, TextRun& run,
             CString& out)
{
    ReadRun(raw.GetString(), begin, end, bEntities, run);
    int copied = begin;
    size_t from = 0;
    while (from < run.shown.size()) {
        const size_t at = run.shown.find(word, from);
        if (at == std::wstring::npos)
            break;
        const size_t after = at + word.size();
        const bool bUnits = !run.unitStart.empty();
        // A match must cover whole units: half a character reference cannot be wrapped.
        if (bUnits && (!run.firstOfUnit[at] || (after < run.shown.size() && !run.firstOfUnit[after]))) {
            from = at + 1;
            continue;
        }
        const int rawStart = bUnits ? run.unitStart[at] : begin + static_cast<int>(at);
        const int rawEnd = after >= run.shown.size() ? end
                           : bUnits                  ? run.unitStart[after]
                                                     : begin + static_cast<int>(after);
        out.Append(raw.GetString() + copied, rawStart - copied);
        out += kMarkOpen;
        out.Append(raw.GetString() + rawStart, rawEnd - rawStart);
        out += kMarkClose;
        copied = rawEnd;
        from = after;
    }
    out.Append(raw.GetString() + copied, end - copied);
}

void MarkWord(CString& text, const std::wstring& word, bool bEntities)
{
    const wchar_t* p = text.GetString();
    const int length = text.GetLength();
    // Most texts of a page lack most words: a text whose characters hold the word nowhere is left as it is (with
    // references, only when it has none to read).
    if (!bEntities || wcschr(p, L'&') == nullptr) {
        std::wstring lowered(p, static_cast<size_t>(length));
        LowerInPlace(lowered);
        if (lowered.find(word) == std::wstring::npos)
            return;
    }
    CString out;
    out.Preallocate(length + 64);
    TextRun run;
    int i = 0;
    while (i < length) {
        int runEnd = i;
        while (runEnd < length && !StartsTag(p, length, runEnd))
            ++runEnd;
        if (runEnd > i)
            MarkRun(text, i, runEnd, word, bEntities, run, out);
        if (runEnd >= length)
            break;
        const int tagEnd = TagEnd(p, length, runEnd, bEntities);
        out.Append(p + runEnd, tagEnd - runEnd);
        i = tagEnd;
    }
    text = out;
}

// One word's occurrence in a display copy, as characters [start, end).
struct Mark
{
    int start, end, word;
};

// Marks the words in a display copy in one pass, as marking them word after word would: each word is sought, left to
// right and without overlap, in the runs of text between the drawer's tags and the marks of the words before it, so
// a later word's mark lies inside an earlier one's or apart from it, never across it.
void MarkDisplayWords(CString& text, const std::vector<std::wstring>& words)
{
    const wchar_t* p = text.GetString();
    const int length = text.GetLength();
    std::wstring lowered;
    AppendLowered(lowered, p, static_cast<size_t>(length));
    // The runs between tags; the tags themselves are never searched.
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < length;) {
        int runEnd = i;
        while (runEnd < length && !StartsTag(p, length, runEnd))
            ++runEnd;
        if (runEnd > i)
            runs.emplace_back(i, runEnd);
        if (runEnd >= length)
            break;
        i = TagEnd(p, length, runEnd, false);
    }
    std::vector<Mark> marks;
    std::vector<int> cuts; // the edges of the marks of the words before, in order
    for (size_t w = 0; w < words.size(); ++w) {
        const std::wstring& word = words[w];
        if (word.empty())
            continue;
        const size_t before = marks.size();
        for (const auto& run : runs) {
            // The run, cut at earlier marks' edges.
            auto cut = std::upper_bound(cuts.begin(), cuts.end(), run.first);
            for (int from = run.first; from < run.second;) {
                const int to = cut != cuts.end() && *cut < run.second ? *cut++ : run.second;
                const std::wstring_view piece(lowered.data() + from, static_cast<size_t>(to - from));
                for (size_t at = piece.find(word); at != std::wstring_view::npos; at = piece.find(word, at + word.size()))
                    marks.push_back(Mark{from + static_cast<int>(at), from + static_cast<int>(at + word.size()),
                                         static_cast<int>(w)});
                from = to;
            }
        }
        for (size_t m = before; m < marks.size(); ++m) {
            cuts.push_back(marks[m].start);
            cuts.push_back(marks[m].end);
        }
        std::sort(cuts.begin(), cuts.end());
    }
    if (marks.empty())
        return;
    // At one place, the marks that end there close inner first, then those that start there open outer first.
    std::vector<Mark> opens = marks, closes = marks;
    std::sort(opens.begin(), opens.end(), [](const Mark& a, const Mark& b) {
        return a.start != b.start ? a.start < b.start : a.end != b.end ? a.end > b.end : a.word < b.word;
    });
    std::sort(closes.begin(), closes.end(), [](const Mark& a, const Mark& b) {
        return a.end != b.end ? a.end < b.end : a.start != b.start ? a.start > b.start : a.word > b.word;
    });
    const size_t markOpen = wcslen(kMarkOpen), markClose = wcslen(kMarkClose);
    std::wstring out;
    out.reserve(static_cast<size_t>(length) + marks.size() * (markOpen + markClose));
    size_t o = 0, c = 0;
    int copied = 0;
    while (o < opens.size() || c < closes.size()) {
        const int at = o < opens.size() && opens[o].start < closes[c].end ? opens[o].start : closes[c].end;
        out.append(p + copied, static_cast<size_t>(at - copied));
        copied = at;
        for (; c < closes.size() && closes[c].end == at; ++c)
            out.append(kMarkClose, markClose);
        for (; o < opens.size() && opens[o].start == at; ++o)
            out.append(kMarkOpen, markOpen);
    }
    out.append(p + copied, static_cast<size_t>(length - copied));
    text = CString(out.c_str(), static_cast<int>(out.size()));
}

// The text a display copy shows, lower-cased: the drawer's tags as blanks.
void AppendShown(std::wstring& out, const CString& displayText)
{
    const wchar_t* p = displayText.GetString();
    const int length = displayText.GetLength();
    int copied = 0;
    for (const wchar_t* tag = wcschr(p, L'<'); tag != nullptr; tag = wcschr(p + copied, L'<')) {
        const int i = static_cast<int>(tag - p);
        if (!StartsTag(p, length, i)) {
            AppendLowered(out, p + copied, static_cast<size_t>(i + 1 - copied));
            copied = i + 1;
            continue;
        }
        AppendLowered(out, p + copied, static_cast<size_t>(i - copied));
        out += L' ';
        copied = TagEnd(p, length, i, false);
        if (copied >= length)
            return;
    }
    AppendLowered(out, p + copied, static_cast<size_t>(length - copied));
}

// A filter's words as they are sought in the items' texts.
class WordFinder
{
public:
    explicit WordFinder(const CString& word) : m_word(word.GetString(), static_cast<size_t>(word.GetLength())) {}
    bool In(const std::wstring& text) const { return text.find(m_word) != std::wstring::npos; }

private:
    std::wstring m_word;
};

struct WordFinders
{
    std::vector<WordFinder> andWords, orWords, notWords;
    explicit WordFinders(const CFilterWords& words)
    {
        for (const CString& word : words.andWords)
            andWords.emplace_back(word);
        for (const CString& word : words.orWords)
            orWords.emplace_back(word);
        for (const CString& word : words.notWords)
            notWords.emplace_back(word);
    }
};

// An item's title and text as the words are sought in them: lower-cased once into a reused buffer, on two lines (a
// word holds no line break, so it is found in the one or the other, never across them).
void ReadItemText(const CFilterItem& item, std::wstring& shown)
{
    shown.clear();
    AppendShown(shown, item.strTitleText);
    shown += L'\n';
    AppendShown(shown, item.strDescriptionText);
}

const size_t kNotSelected = static_cast<size_t>(-1);

// Which OR word (its place in the list) first admits the item, 0 without OR words, or kNotSelected. Words are asked
// in the order that can leave an item out soonest, and no further once its fate is known.
size_t ItemPlace(const WordFinders& words, const std::wstring& text)
{
    for (const WordFinder& word : words.andWords) {
        if (!word.In(text))
            return kNotSelected;
    }
    size_t place = 0;
    if (!words.orWords.empty()) {
        while (place < words.orWords.size() && !words.orWords[place].In(text))
            ++place;
        if (place == words.orWords.size())
            return kNotSelected;
    }
    for (const WordFinder& word : words.notWords) {
        if (word.In(text))
            return kNotSelected;
    }
    return place;
}

CString ResultsDescription(const CFilterWords& words)
{
    CString description;
    if (!words.strAnd.IsEmpty())
        description += L"AND: " + words.strAnd;
    if (!words.strOr.IsEmpty())
        description += L"\nOR: " + words.strOr;
    if (!words.strNot.IsEmpty())
        description += L"\nNOT: " + words.strNot;
    return description;
}

// Calls take(item) for every news item under the list, in list order.
template <class Take> void ForEachNewsItem(CFeedChannel* pChannel, const Take& take)
{
    for (POSITION pos = pChannel->m_items.GetHeadPosition(); pos;) {
        CFeedItem* pItem = pChannel->m_items.GetNext(pos);
        if (pItem->m_pChannel)
            ForEachNewsItem(pItem->m_pChannel, take);
        else if (pItem->m_nKind == FEED_KIND_ITEM)
            take(*pItem);
    }
}

} // namespace

std::vector<CString> SplitFilterWords(const CString& list)
{
    std::vector<CString> words;
    const wchar_t* p = list.GetString();
    const int length = list.GetLength();
    for (int i = 0; i < length;) {
        while (i < length && IsSeparator(p[i]))
            ++i;
        const int start = i;
        while (i < length && !IsSeparator(p[i]))
            ++i;
        if (i > start) {
            CString word(p + start, i - start);
            words.push_back(word.MakeLower());
        }
    }
    return words;
}

CFilterWords ReadFilterWords(const CString& filterText)
{
    CFilterWords words;
    ParseFilterTerms(filterText, words.strAnd, words.strOr, words.strNot);
    words.andWords = SplitFilterWords(words.strAnd);
    words.orWords = SplitFilterWords(words.strOr);
    words.notWords = SplitFilterWords(words.strNot);
    return words;
}

CString MatchingText(const CString& displayText)
{
    std::wstring shown;
    AppendShown(shown, displayText);
    return CString(shown.c_str(), static_cast<int>(shown.size()));
}

void MarkWords(CString& text, const std::vector<CString>& words, bool bEntities)
{
    if (text.IsEmpty())
        return;
    if (!bEntities) {
        std::vector<std::wstring> lowered;
        lowered.reserve(words.size());
        for (const CString& word : words)
            lowered.emplace_back(word.GetString(), static_cast<size_t>(word.GetLength()));
        MarkDisplayWords(text, lowered);
        return;
    }
    for (const CString& word : words) {
        if (!word.IsEmpty())
            MarkWord(text, std::wstring(word.GetString(), static_cast<size_t>(word.GetLength())), bEntities);
    }
}

CFilterItem::CFilterItem(const CFeedItem& item)
    : strTitle(item.m_strTitle), strTitleText(item.m_strTitleText), strDescription(item.m_strDescription),
      strDescriptionText(item.m_strDescriptionText), strLink(item.m_strLink), strLinkText(item.m_strLinkText),
      strImage(item.m_strImage), strImageText(item.m_strImageText), strAuthor(item.m_strAuthor),
      strCategory(item.m_strCategory), strDate(item.m_strDate), strSubject(item.m_strSubject),
      strEnclosureUrl(item.m_strEnclosureUrl), strEnclosureType(item.m_strEnclosureType),
      nReadState(item.m_nReadState), nEnclosureLength(item.m_nEnclosureLength),
      nEnclosureState(item.m_nEnclosureState), nImageIndex(item.m_nImageIndex), dtDate(item.m_dtDate)
{
}

CFeedItem* CFilterItem::MakeItem() const
{
    auto* pItem = new CFeedItem;
    pItem->m_nKind = FEED_KIND_ITEM;
    pItem->m_strTitle = strTitle;
    pItem->m_strTitleText = strTitleText;
    pItem->m_strDescription = strDescription;
    pItem->m_strDescriptionText = strDescriptionText;
    pItem->m_strLink = strLink;
    pItem->m_strLinkText = strLinkText;
    pItem->m_strImage = strImage;
    pItem->m_strImageText = strImageText;
    pItem->m_strAuthor = strAuthor;
    pItem->m_strCategory = strCategory;
    pItem->m_strDate = strDate;
    pItem->m_strSubject = strSubject;
    pItem->m_strEnclosureUrl = strEnclosureUrl;
    pItem->m_strEnclosureType = strEnclosureType;
    pItem->m_nReadState = nReadState;
    pItem->m_nEnclosureLength = nEnclosureLength;
    pItem->m_nEnclosureState = nEnclosureState;
    pItem->m_nImageIndex = nImageIndex;
    pItem->m_dtDate = dtDate;
    return pItem;
}

void CopyNewsItems(CFeedChannel* pMainList, CFeedChannel* pCustomList, FilterItems& items)
{
    size_t count = items.size();
    for (CFeedChannel* pList : {pMainList, pCustomList}) {
        if (pList)
            ForEachNewsItem(pList, [&](const CFeedItem&) { ++count; });
    }
    items.reserve(count);
    for (CFeedChannel* pList : {pMainList, pCustomList}) {
        if (pList)
            ForEachNewsItem(pList, [&](const CFeedItem& item) { items.emplace_back(item); });
    }
}

std::vector<size_t> SelectFilteredItems(const CFilterWords& words, const FilterItems& items)
{
    if (words.IsEmpty())
        return {};
    // Items held by the first OR word come first, then those the second adds, and so on, each group in list order.
    std::vector<std::vector<size_t>> groups(words.orWords.empty() ? 1 : words.orWords.size());
    const WordFinders finders(words);
    std::wstring text;
    for (size_t i = 0; i < items.size(); ++i) {
        ReadItemText(items[i], text);
        const size_t place = ItemPlace(finders, text);
        if (place != kNotSelected)
            groups[place].push_back(i);
    }
    std::vector<size_t> selected = std::move(groups[0]);
    for (size_t g = 1; g < groups.size(); ++g)
        selected.insert(selected.end(), groups[g].begin(), groups[g].end());
    return selected;
}

CFeedItem* BuildFilteredResults(const CFilterWords& words, int nViewStyle, const FilterItems& items)
{
    if (words.IsEmpty())
        return nullptr;
    const std::vector<size_t> selected = SelectFilteredItems(words, items);
    if (selected.empty())
        return nullptr;
    std::vector<CString> marked = words.andWords;
    marked.insert(marked.end(), words.orWords.begin(), words.orWords.end());

    auto pChannel = std::make_unique<CFeedChannel>();
    pChannel->m_info.m_strTitle = kResultsTitle;
    pChannel->m_info.m_strDescription = ResultsDescription(words);
    for (size_t index : selected) {
        CFeedItem* pItem = items[index].MakeItem();
        if (nViewStyle == 1) {
            MarkWords(pItem->m_strTitleText, marked, false);
            MarkWords(pItem->m_strDescriptionText, marked, false);
        } else if (nViewStyle == 0) {
            MarkWords(pItem->m_strTitle, marked, true);
            MarkWords(pItem->m_strDescription, marked, true);
        }
        pChannel->m_items.AddTail(pItem);
    }
    pChannel->SortItemsByDate();

    auto* pPage = new CFeedItem;
    pPage->m_nKind = FEED_KIND_FILTER_RESULT;
    pPage->m_strTitleText = pPage->m_strTitle = kResultsTitle;
    pPage->m_strDescriptionText = pPage->m_strDescription = ResultsDescription(words);
    pPage->m_nImageIndex = kResultsImage;
    pPage->m_nUnreadCount = static_cast<WORD>(selected.size() > 0xFFFF ? 0xFFFF : selected.size());
    pPage->m_pChannel = pChannel.release();
    return pPage;
}

bool SaveResultsToTemporaryFile(CFeedItem* pPage)
{
    if (!pPage || !pPage->m_pChannel)
        return false;
    const CString path = MakeTempFile(L"tmdf");
    if (path.IsEmpty())
        return false;
    if (!pPage->m_pChannel->SaveCache(path, TRUE)) {
        ::DeleteFileW(path);
        return false;
    }
    pPage->m_pChannel->m_strPath = path;
    return true;
}
