// The quick filter's page: which news items a filter of AND, OR and NOT words selects, and the result entry that
// shows them, newest first, with the AND and OR words marked in red. The build works on records of the items taken
// on the frame's thread, so it may run on the worker while refreshes change or free the originals.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/core/AfxString.h"
#include "framework/core/DateTime.h"

class CFeedChannel;
class CFeedItem;

// The words of a filter text. Words are separated by blanks, commas, tabs and line breaks (the dialog's edits are
// multi-line and its guide offers commas), and are lower-cased.
struct CFilterWords
{
    CString strAnd, strOr, strNot; // the lists as entered
    std::vector<CString> andWords, orWords, notWords;

    bool IsEmpty() const { return andWords.empty() && orWords.empty() && notWords.empty(); }
};
CFilterWords ReadFilterWords(const CString& filterText);
std::vector<CString> SplitFilterWords(const CString& list);

// The text a display copy shows, as the words are matched against it: the drawer's tags ("<...>") as blanks,
// lower-cased in every script the platform folds.
CString MatchingText(const CString& displayText);

// The mark put around each occurrence of a word.
extern const wchar_t kMarkOpen[];  // <B><FONT color="#FF0000">
extern const wchar_t kMarkClose[]; // </FONT></B>

// Marks every occurrence of each word, word after word, left to right and without overlap, only in the text
// between tags, so that neither the feed's text nor a word can become or break markup. With bEntities the text is
// markup whose character references are read as the characters they stand for (a stored title or description);
// without, a display copy, whose only markup is the drawer's tags.
void MarkWords(CString& text, const std::vector<CString>& words, bool bEntities);

// A news item as the filter reads it and its page shows it. The texts are the item's own strings, shared rather than
// copied (strings count their references and copy on write): taking one costs no characters on the frame's thread,
// and a refresh that changes or frees the item afterwards leaves it as it was.
struct CFilterItem
{
    explicit CFilterItem(const CFeedItem& item);
    // A new news item with these texts, states and date.
    CFeedItem* MakeItem() const;

    CString strTitle, strTitleText, strDescription, strDescriptionText;
    CString strLink, strLinkText, strImage, strImageText, strAuthor, strCategory, strDate, strSubject;
    CString strEnclosureUrl, strEnclosureType;
    int nReadState, nEnclosureLength, nEnclosureState, nImageIndex;
    COleDateTime dtDate;
};

// Every news item of both subscription lists, main list first, in list order.
using FilterItems = std::vector<CFilterItem>;
void CopyNewsItems(CFeedChannel* pMainList, CFeedChannel* pCustomList, FilterItems& items);

// The items the words select, in the order the rules give: AND words narrow, OR words (after AND) keep the items
// that hold any of them, NOT words remove. Indexes into items.
std::vector<size_t> SelectFilteredItems(const CFilterWords& words, const FilterItems& items);

// The "Filtered results" entry (kind 6) owning a channel of new items made from the selected ones, marked for
// the view style (1 the display copies, 0 the stored texts, other values none) and sorted newest first; null when
// nothing matched or the filter has no words. The channel is not yet written to a file.
CFeedItem* BuildFilteredResults(const CFilterWords& words, int nViewStyle, const FilterItems& items);

// Writes the page's channel to a new "tmdf" file in the temporary folder and makes that its path; false when the
// file could not be written.
bool SaveResultsToTemporaryFile(CFeedItem* pPage);
