#include "app/FilteredResults.h"

#include "feeds/DataFiles.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FilterText.h"
#include "framework/html/HtmlEntities.h"

#include <cwchar>
#include <string>

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

void LowerInPlace(std::wstring& text)
{
    if (!text.empty())
        ::CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
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

// The text a display copy shows: the drawer's tags as blanks.
void AppendShown(std::wstring& out, const CString& displayText)
{
    const wchar_t* p = displayText.GetString();
    const int length = displayText.GetLength();
    if (wcschr(p, L'<') == nullptr) {
        out.append(p, static_cast<size_t>(length));
        return;
    }
    for (int i = 0; i < length;) {
        if (StartsTag(p, length, i)) {
            i = TagEnd(p, length, i, false);
            out += L' ';
        } else {
            out += p[i++];
        }
    }
}

// Which of the filter's words each item holds, found in one pass over the items: each item's title and text are
// lower-cased once into a reused buffer (title and text on two lines: a word holds no line break, so it is found in
// the one or the other, never across them) and searched for every word while they are at hand.
class WordTable
{
public:
    WordTable(const FilterItems& items, const std::vector<CString>& words) : m_nWords(words.size())
    {
        m_holds.resize(items.size() * m_nWords);
        std::wstring shown;
        for (size_t i = 0; i < items.size(); ++i) {
            shown.clear();
            AppendShown(shown, items[i]->m_strTitleText);
            shown += L'\n';
            AppendShown(shown, items[i]->m_strDescriptionText);
            LowerInPlace(shown);
            for (size_t w = 0; w < m_nWords; ++w)
                m_holds[i * m_nWords + w] = shown.find(words[w].GetString(), 0,
                                                       static_cast<size_t>(words[w].GetLength())) != std::wstring::npos;
        }
    }
    bool Holds(size_t item, size_t word) const { return m_holds[item * m_nWords + word] != 0; }

private:
    size_t m_nWords;
    std::vector<unsigned char> m_holds;
};

// Keeps the indexes whose item holds the word (with bExclude, holds it in neither text).
void Narrow(std::vector<size_t>& list, const WordTable& table, size_t word, bool bExclude)
{
    size_t kept = 0;
    for (size_t index : list) {
        if (table.Holds(index, word) != bExclude)
            list[kept++] = index;
    }
    list.resize(kept);
}

// Appends to the union the indexes it does not hold yet.
void Unite(std::vector<size_t>& united, std::vector<bool>& inUnion, const std::vector<size_t>& more)
{
    for (size_t index : more) {
        if (!inUnion[index]) {
            inUnion[index] = true;
            united.push_back(index);
        }
    }
}

std::vector<size_t> AllIndexes(size_t count)
{
    std::vector<size_t> all(count);
    for (size_t i = 0; i < count; ++i)
        all[i] = i;
    return all;
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

void CopyChannelItems(CFeedChannel* pChannel, FilterItems& items)
{
    for (POSITION pos = pChannel->m_items.GetHeadPosition(); pos;) {
        CFeedItem* pItem = pChannel->m_items.GetNext(pos);
        if (pItem->m_pChannel)
            CopyChannelItems(pItem->m_pChannel, items);
        else if (pItem->m_nKind == FEED_KIND_ITEM)
            items.push_back(std::make_unique<CFeedItem>(*pItem));
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
    LowerInPlace(shown);
    return CString(shown.c_str(), static_cast<int>(shown.size()));
}

void MarkWords(CString& text, const std::vector<CString>& words, bool bEntities)
{
    for (const CString& word : words) {
        if (!word.IsEmpty() && !text.IsEmpty())
            MarkWord(text, std::wstring(word.GetString(), static_cast<size_t>(word.GetLength())), bEntities);
    }
}

void CopyNewsItems(CFeedChannel* pMainList, CFeedChannel* pCustomList, FilterItems& items)
{
    for (CFeedChannel* pList : {pMainList, pCustomList}) {
        if (pList)
            CopyChannelItems(pList, items);
    }
}

std::vector<size_t> SelectFilteredItems(const CFilterWords& words, const FilterItems& items)
{
    std::vector<CString> all = words.andWords;
    all.insert(all.end(), words.orWords.begin(), words.orWords.end());
    all.insert(all.end(), words.notWords.begin(), words.notWords.end());
    const size_t firstOr = words.andWords.size();
    const size_t firstNot = firstOr + words.orWords.size();
    const WordTable table(items, all);

    std::vector<size_t> selected;
    if (!words.andWords.empty()) {
        selected = AllIndexes(items.size());
        for (size_t w = 0; w < firstOr; ++w) {
            Narrow(selected, table, w, false);
            if (selected.empty())
                break;
        }
    }
    if (!words.orWords.empty() && (words.andWords.empty() || !selected.empty())) {
        // After AND words the OR words choose among the AND matches; alone they choose among every item.
        const std::vector<size_t> pool = words.andWords.empty() ? AllIndexes(items.size()) : selected;
        std::vector<size_t> united;
        std::vector<bool> inUnion(items.size(), false);
        for (size_t w = firstOr; w < firstNot; ++w) {
            std::vector<size_t> holding = pool;
            Narrow(holding, table, w, false);
            Unite(united, inUnion, holding);
        }
        selected.swap(united);
    }
    if (!words.notWords.empty()) {
        if (!selected.empty()) {
            for (size_t w = firstNot; w < all.size(); ++w)
                Narrow(selected, table, w, true);
        } else if (words.andWords.empty() && words.orWords.empty()) {
            selected = AllIndexes(items.size());
            for (size_t w = firstNot; w < all.size(); ++w) {
                Narrow(selected, table, w, true);
                if (selected.empty())
                    break;
            }
        }
    }
    return selected;
}

CFeedItem* BuildFilteredResults(const CFilterWords& words, int nViewStyle, FilterItems& items)
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
        CFeedItem* pItem = items[index].release();
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
