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
        // A match must cover whole units: half a character reference cannot be wrapped.
        if (!run.firstOfUnit[at] || (after < run.shown.size() && !run.firstOfUnit[after])) {
            from = at + 1;
            continue;
        }
        const int rawStart = run.unitStart[at];
        const int rawEnd = after < run.shown.size() ? run.unitStart[after] : end;
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

bool HoldsWord(const CString& haystack, const CString& word)
{
    return wcsstr(haystack.GetString(), word.GetString()) != nullptr;
}

// An item as the words are matched against it.
struct Candidate
{
    CString title, text;
    bool Holds(const CString& word) const { return HoldsWord(title, word) || HoldsWord(text, word); }
};

// Keeps the indexes whose item holds the word (with bExclude, holds it in neither text).
void Narrow(std::vector<size_t>& list, const std::vector<Candidate>& candidates, const CString& word, bool bExclude)
{
    size_t kept = 0;
    for (size_t index : list) {
        if (candidates[index].Holds(word) != bExclude)
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
    const wchar_t* p = displayText.GetString();
    const int length = displayText.GetLength();
    CString shown;
    if (wcschr(p, L'<') == nullptr) {
        shown = displayText;
    } else {
        shown.Preallocate(length);
        for (int i = 0; i < length;) {
            if (StartsTag(p, length, i)) {
                i = TagEnd(p, length, i, false);
                shown += L' ';
            } else {
                shown += p[i++];
            }
        }
    }
    return shown.MakeLower();
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
    std::vector<Candidate> candidates(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        candidates[i].title = MatchingText(items[i]->m_strTitleText);
        candidates[i].text = MatchingText(items[i]->m_strDescriptionText);
    }
    std::vector<size_t> selected;
    if (!words.andWords.empty()) {
        selected = AllIndexes(items.size());
        for (const CString& word : words.andWords) {
            Narrow(selected, candidates, word, false);
            if (selected.empty())
                break;
        }
    }
    if (!words.orWords.empty() && (words.andWords.empty() || !selected.empty())) {
        // After AND words the OR words choose among the AND matches; alone they choose among every item.
        const std::vector<size_t> pool = words.andWords.empty() ? AllIndexes(items.size()) : selected;
        std::vector<size_t> united;
        std::vector<bool> inUnion(items.size(), false);
        for (const CString& word : words.orWords) {
            std::vector<size_t> holding = pool;
            Narrow(holding, candidates, word, false);
            Unite(united, inUnion, holding);
        }
        selected.swap(united);
    }
    if (!words.notWords.empty()) {
        if (!selected.empty()) {
            for (const CString& word : words.notWords)
                Narrow(selected, candidates, word, true);
        } else if (words.andWords.empty() && words.orWords.empty()) {
            selected = AllIndexes(items.size());
            for (const CString& word : words.notWords) {
                Narrow(selected, candidates, word, true);
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
