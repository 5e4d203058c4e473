#include "app/FilteredResults.h"

#include "feeds/DataFiles.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FilterText.h"
#include "framework/html/HtmlEntities.h"

#include <cwchar>
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

// Marks a word in a display copy whose lower-cased twin is at hand (the same length, the same tags: lower-casing
// keeps every character's place and leaves "<", "/", "!", "?" and ">" as they are), and keeps the twin in step.
void MarkDisplayWord(CString& text, std::wstring& lowered, const std::wstring& word)
{
    if (lowered.find(word) == std::wstring::npos)
        return;
    const wchar_t* p = text.GetString();
    const wchar_t* low = lowered.c_str();
    const int length = text.GetLength();
    CString out;
    out.Preallocate(length + 64);
    std::wstring outLowered;
    outLowered.reserve(static_cast<size_t>(length) + 64);
    const size_t markOpen = wcslen(kMarkOpen), markClose = wcslen(kMarkClose);
    int copied = 0;
    int i = 0;
    while (i < length) {
        int runEnd = i;
        while (runEnd < length && !StartsTag(p, length, runEnd))
            ++runEnd;
        const std::wstring_view run(low + i, static_cast<size_t>(runEnd - i));
        for (size_t from = 0;;) {
            const size_t at = run.find(word, from);
            if (at == std::wstring_view::npos)
                break;
            const int start = i + static_cast<int>(at);
            const int stop = start + static_cast<int>(word.size());
            out.Append(p + copied, start - copied);
            outLowered.append(low + copied, static_cast<size_t>(start - copied));
            out += kMarkOpen;
            outLowered.append(kMarkOpen, markOpen);
            out.Append(p + start, stop - start);
            outLowered.append(low + start, word.size());
            out += kMarkClose;
            outLowered.append(kMarkClose, markClose);
            copied = stop;
            from = at + word.size();
        }
        if (runEnd >= length)
            break;
        i = TagEnd(p, length, runEnd, false);
    }
    if (copied == 0)
        return;
    out.Append(p + copied, length - copied);
    outLowered.append(low + copied, static_cast<size_t>(length - copied));
    text = out;
    lowered.swap(outLowered);
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

// Whether an item's texts hold a word, asked of one item at a time: its title and text are lower-cased once into a
// reused buffer (on two lines: a word holds no line break, so it is found in the one or the other, never across them).
class ItemText
{
public:
    void Read(const CFeedItem& item)
    {
        m_shown.clear();
        AppendShown(m_shown, item.m_strTitleText);
        m_shown += L'\n';
        AppendShown(m_shown, item.m_strDescriptionText);
        LowerInPlace(m_shown);
    }
    bool Holds(const CString& word) const
    {
        return m_shown.find(word.GetString(), 0, static_cast<size_t>(word.GetLength())) != std::wstring::npos;
    }

private:
    std::wstring m_shown;
};

const size_t kNotSelected = static_cast<size_t>(-1);

// Which OR word (its place in the list) first admits the item, 0 without OR words, or kNotSelected. Words are asked
// in the order that can leave an item out soonest, and no further once its fate is known.
size_t ItemPlace(const CFilterWords& words, const ItemText& text)
{
    for (const CString& word : words.andWords) {
        if (!text.Holds(word))
            return kNotSelected;
    }
    size_t place = 0;
    if (!words.orWords.empty()) {
        while (place < words.orWords.size() && !text.Holds(words.orWords[place]))
            ++place;
        if (place == words.orWords.size())
            return kNotSelected;
    }
    for (const CString& word : words.notWords) {
        if (text.Holds(word))
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
    if (text.IsEmpty())
        return;
    if (!bEntities) {
        std::wstring lowered(text.GetString(), static_cast<size_t>(text.GetLength()));
        LowerInPlace(lowered);
        for (const CString& word : words) {
            if (!word.IsEmpty())
                MarkDisplayWord(text, lowered, std::wstring(word.GetString(), static_cast<size_t>(word.GetLength())));
        }
        return;
    }
    for (const CString& word : words) {
        if (!word.IsEmpty())
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
    if (words.IsEmpty())
        return {};
    // Items held by the first OR word come first, then those the second adds, and so on, each group in list order.
    std::vector<std::vector<size_t>> groups(words.orWords.empty() ? 1 : words.orWords.size());
    ItemText text;
    for (size_t i = 0; i < items.size(); ++i) {
        text.Read(*items[i]);
        const size_t place = ItemPlace(words, text);
        if (place != kNotSelected)
            groups[place].push_back(i);
    }
    std::vector<size_t> selected = std::move(groups[0]);
    for (size_t g = 1; g < groups.size(); ++g)
        selected.insert(selected.end(), groups[g].begin(), groups[g].end());
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
