// A channel document: its header and its ordered items. Downloaded and cached feeds, subscription lists and
// result pages are all channels; in a subscription list each entry owns the channel of its feed.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "feeds/FeedItem.h"
#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "framework/core/DateTime.h"

class CSharedStrings;
struct IXMLDOMDocument;
struct IXMLDOMNode;

using CFeedItemList = CTypedPtrList<CPtrList, CFeedItem*>;

class CFeedChannelInfo
{
public:
    CFeedChannelInfo() = default;
    virtual ~CFeedChannelInfo() = default;

    CString m_strType; // "rss", "atom" or "rss11"
    CString m_strCopyright;
    CString m_strDescription;
    CString m_strGenerator;
    CString m_strLanguage;
    CString m_strLastBuildDate;
    CString m_strLink;
    CString m_strTitle;
    CString m_strTtl;
    CString m_strWebMaster;
    CString m_strReserved[6]; // neither filled nor written by the feed engine
    CString m_strVersion;     // the root element's "version"
};

// Ticker modes of CollectTickerItems.
enum TickerMode
{
    TICKER_NEW = 0,         // new items only
    TICKER_NOT_READ = 1,    // new and unread items
    TICKER_SINCE = 3,       // items dated at or after the given date
    TICKER_SINCE_OTHER = 4, // the same
};

class CFeedChannel
{
public:
    CFeedChannel();
    virtual ~CFeedChannel();
    CFeedChannel(const CFeedChannel&) = delete;
    CFeedChannel& operator=(const CFeedChannel&) = delete;

    // The merge after a reload: the held items go to the head of the list in their order, then every item
    // whose keep flag is clear is deleted. The news ticker and then the podcast window (either may be null)
    // are first sent the removal message for it, so they drop it before it goes.
    void PurgeItems(CWnd* pPodcastWnd, CWnd* pNewsLineWnd);

    // Before a reload: keep flags cleared, new items become unread.
    void ResetItemStates();

    // Newest first; equal dates keep their order, items without a valid date follow the dated ones.
    void SortItemsByDate();

    // The first item that matches: with no link, by display title and text; with a link, by link and (unless
    // bLinkOnly) display title. With bRecurse, the channel of an item that does not match is searched first.
    CFeedItem* FindItem(const CFeedItem* pItem, BOOL bLinkOnly, BOOL bRecurse);

    // Appends the news items, here and in the entries' channels, whose lower-cased display title or text
    // contains the word (with bExclude: neither does). Returns the number appended.
    int SelectItemsByWord(CFeedItemList& list, LPCWSTR word, BOOL bExclude);

    // Appends a ticker headline (CNewsLineItem) for every news item the mode takes, here and in the channels of
    // subscription entries, each with its entry as the owner.
    void CollectTickerItems(int nMode, CPtrList& list, CFeedItem* pOwner, const COleDateTime& date);

    // Appends an enclosure job (CEnclosureJob) for every news item with an enclosure URL, here and in the
    // channels of subscription entries; in podcast mode 2 only from the feeds chosen under "Podcasting\Items".
    void CollectEnclosures(CPtrList& list, CFeedItem* pOwner);

    // Every item becomes read (with bRecurse, in the entries' channels too) and is recounted; returns the
    // last count of new items.
    int MarkAllRead(BOOL bRecurse);

    // Writing the program's own files: the subscription lists in the data folder and a channel's cache file.
    // Each writer builds a new document and saves it to a temporary file beside the target, which replaces the
    // target only when the save succeeded: a failed save leaves the previous file as it was. True when saved.
    BOOL SaveMainFeeds();
    // Copies an existing CustomFeed.xml over CustomFeed.bak first.
    BOOL SaveCustomFeeds();
    // Without bKeepNew, new items become unread (in memory too, once the file is saved).
    BOOL SaveCache(LPCWSTR path, BOOL bKeepNew);
    // The cache file of every entry's channel, new items made unread.
    void SaveChildCaches();
    // Fill one "item" element of a list or of a cache file; a failed step ends the item there. A text that
    // cannot be allocated is thrown as a _com_error, which the calling writer reports.
    HRESULT WriteSubscriptionItem(IXMLDOMDocument* pDoc, struct IXMLDOMElement* pElement, CFeedItem* pEntry);
    HRESULT WriteItem(IXMLDOMDocument* pDoc, struct IXMLDOMElement* pElement, CFeedItem* pItem);

    // Reading XML files: downloaded feeds of every dialect, the program's own cache files and subscription
    // lists. Only a file loaded as one of our own (LOAD_OWN_FILE) may set the fields that only we write: read
    // and enclosure states, local enclosure file, kind, file name, credentials, icon, interval, unsubscribe.
    enum LoadSource
    {
        LOAD_FEED = 1,     // a downloaded or foreign file
        LOAD_OWN_FILE = 2, // a subscription list, an exported list or a cache file
    };
    // Appends the file's items; false (nothing done) when nLoad is 0, the file is missing, cannot be parsed,
    // has no known root, or the stop event is signalled.
    BOOL LoadFile(LPCWSTR path, HANDLE hStopEvent, int nLoad);
    // LoadFile of one of our own files through the one-pass reader alone: no COM, so any thread may call it for a
    // channel it holds. A file the reader leaves to the XML library is left for LoadFile, nothing done. With a pool,
    // the items' short texts that recur (dates, authors, categories) share its buffers.
    enum OwnFileRead
    {
        OWN_FILE_LOADED,
        OWN_FILE_REFUSED, // LoadFile would refuse it too: missing, unreadable, too large or past the parse budget
        OWN_FILE_LEFT,
    };
    OwnFileRead ReadOwnFile(LPCWSTR path, CSharedStrings* pShared = nullptr);
    // A first pass over one of our own files, as cheap as the reading allows: the items ReadOwnFile would load, by
    // read state, and the channel's last refresh, with the answer ReadOwnFile would give (no counts unless loaded).
    // Any thread may call it.
    struct OwnFileCounts
    {
        int fresh = 0;
        int unread = 0;
        int read = 0;
        COleDateTime lastUpdate;
    };
    static OwnFileRead CountOwnFile(LPCWSTR path, OwnFileCounts& counts);
    // Re-reads m_strPath: known items get their keep flag, new ones go to m_heldItems for PurgeItems.
    BOOL Reload(BOOL bOwnFile = FALSE);
    void ReadVersion(IXMLDOMNode* pRoot);

protected:
    void ParseChannel(IXMLDOMNode* pNode);
    void ParseStoredChannel(IXMLDOMNode* pNode);
    void ParseItem(IXMLDOMNode* pNode);
    void ParseStoredItem(IXMLDOMNode* pNode);
    void ParseEntry(IXMLDOMNode* pNode);
    void ParseStoredEntry(IXMLDOMNode* pNode);

private:
    struct ReloadIndex;
    // bChannelChild: the node is a child of the channel element ("channel", "Channel" or "feed").
    void WalkChannel(IXMLDOMNode* pNode, bool bStored, bool bChannelChild);
    void ReadChannelLink(IXMLDOMNode* pNode);
    CFeedItem* ReadItem(IXMLDOMNode* pNode, bool bEntry) const;
    void MergeStoredItem(CFeedItem* pItem);
    bool m_bOwnFile = false;               // the file being read is one of our own
    ReloadIndex* m_pReloadIndex = nullptr; // only while a reload runs

public:
    CFeedChannelInfo m_info;
    CFeedItemList m_items;     // owned
    CFeedItemList m_heldItems; // new items of a reload, waiting for PurgeItems
    DWORD m_dwReserved1;
    DWORD m_dwReserved2;
    CString m_strPath; // the file last loaded
    COleDateTime m_dtLastUpdate;
    IXMLDOMDocument* m_pDocument; // only while a load runs
    int m_nDepth;                 // of the running document walk
    DWORD m_dwReserved3;
    DWORD m_dwLoadTick; // tick count of the last successful load
};

// Removes from the list (without deleting) the items whose lower-cased display title and text both lack the
// word (with bExclude: where either has it). Returns the number left.
int FilterItemsByWord(CFeedItemList& list, LPCWSTR word, BOOL bExclude);

// Calls visit(list, entry) for every entry of two subscription lists, the first list first; either may be null.
template <class Visit> void ForEachEntry(CFeedChannel* pFirst, CFeedChannel* pSecond, Visit visit)
{
    for (CFeedChannel* pList : {pFirst, pSecond}) {
        if (pList == nullptr)
            continue;
        for (POSITION pos = pList->m_items.GetHeadPosition(); pos;)
            visit(pList, pList->m_items.GetNext(pos));
    }
}
