// One feed record: a news item of a channel, or an entry of a subscription list.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/DateTime.h"
#include "framework/core/Geometry.h"
#include "framework/core/Object.h"

class CDC;
class CFeedChannel;
class CWinThread;
class CWnd;

// m_nKind
enum FeedItemKind
{
    FEED_KIND_ITEM = 0,          // news item
    FEED_KIND_FEED = 1,          // subscription entry ("External feed"); owns m_pChannel
    FEED_KIND_NOTICE = 2,        // m_strFile is the path of its page
    FEED_KIND_SEARCH_IN = 3,     // search entry with an input box
    FEED_KIND_SEARCH_OUT = 4,    // search entry that opens outside
    FEED_KIND_SEARCH_RESULT = 5, // owns m_pChannel
    FEED_KIND_FILTER_RESULT = 6, // owns m_pChannel
    FEED_KIND_IFRAME = 7,
    FEED_KIND_WEATHER = 8,
};

// m_nReadState
enum FeedReadState
{
    FEED_STATE_NEW = 0,
    FEED_STATE_UNREAD = 1,
    FEED_STATE_READ = 2,
};

class CFeedItem
{
public:
    CFeedItem();
    // A new record with the source's content (CopyFrom); it shares no object or handle with the source.
    CFeedItem(const CFeedItem& source);
    CFeedItem& operator=(const CFeedItem&) = delete;
    virtual ~CFeedItem();

    // Copies the feed's texts, the kind, states, interval, countdown, credentials, enclosure and date; not the
    // comments, bookmark, enclosure file, file name, may-unsubscribe flag, counts, layout, owned objects and
    // refresh fields.
    void CopyFrom(const CFeedItem& source);

    // Counts m_pChannel's items by read state into the three counts and returns the number of new ones. When
    // some are new, "<title><count in 3 places>" joins the application's new-news labels once.
    int CountNews();

    // The entry's cache and icon files in the data folder; empty when there is no file name, or when the name
    // could lead anywhere else (a separator, "..", a drive, a device name).
    CString GetCacheFileName() const;
    CString GetIconFileName() const;

    // The headline row (HeadlineRow.cpp). DrawHeadline draws into m_rcLast: state icon, title, local date at the
    // right, the text under the title as the list style asks, and the enclosure line.
    void DrawHeadline(CDC* pDC, BOOL bHighlight, BOOL bDrawIcon);
    // The width the row needs on one line.
    int CalcHeadlineWidth(CDC* pDC);
    // The row's height at the available width; kept in m_nHeadlineWidth and m_nHeadlineHeight.
    int CalcHeadlineHeight(CDC* pDC, int nWidth);

    CString m_strAuthor;
    CString m_strCategory;
    CString m_strDescriptionText; // display copy of m_strDescription
    CString m_strDescription;     // as read, active content removed
    CString m_strImageText;       // display copy of the image URL, trimmed
    CString m_strImage;
    CString m_strLinkText; // display copy of the link, trimmed: the link items are compared by
    CString m_strLink;
    CString m_strDate; // the date as the feed wrote it
    CString m_strSubject;
    CString m_strTitleText; // display copy of m_strTitle
    CString m_strTitle;     // as read, active content removed
    CString m_strExtra;     // a further text of special entries; never read from or written to files
    CString m_strAccountName;
    CString m_strPassword;
    CString m_strInput;      // text of a "Search-in" entry's input box
    CString m_strButtonText; // caption of a special entry's button
    CString m_strEnclosureUrl;
    CString m_strEnclosureType;
    CString m_strEnclosureFile; // path of the downloaded enclosure
    CString m_strComments;
    CString m_strBookmark;
    int m_nKind;                // FeedItemKind
    int m_nReadState;           // FeedReadState
    int m_nUpdateInterval;      // minutes between refreshes of a subscription entry
    int m_nCountdown;           // minutes to the next refresh, kept by the main window
    int m_nEnclosureLength;     // bytes
    int m_nEnclosureState;      // the podcast manager's download state, stored with the item
    CObject* m_pAttachedObject; // owned
    HICON m_hEnclosureIcon;     // owned
    CRect m_rcLast;             // where the headline row was last drawn
    CFeedChannel* m_pChannel;   // owned: the feed of an entry, or a result page
    WORD m_nNewCount;
    WORD m_nUnreadCount;
    WORD m_nReadCount;
    int m_nImageIndex; // icon in the navigation pane's image list; -1 none
    int m_nHeadlineWidth;
    int m_nHeadlineHeight;
    bool m_bUpdateFailed;
    bool m_bHttpAuth; // send the account as HTTP credentials
    bool m_bMayUnsubscribe;
    void* m_pNavControl;   // the main window's; not used here
    CWnd* m_pAttachedWnd;  // destroyed with the item while it is still a window
    void* m_pLinkedItem;   // the main window's; not used here
    COleDateTime m_dtDate; // a news item's date in UTC; an entry's last refresh in local time
    bool m_bUpdating;
    bool m_bEnclosureJob;
    bool m_bKeep;            // cleared before a reload, set again for every item still in the feed
    DWORD m_dwOwnerThreadId; // where the refresh thread reports; 0 nobody
    CString m_strFile;       // base name of the entry's files in the data folder; a Notice's page
    CString m_strDownloadFile;
    CWinThread* m_pThread; // the feed worker's
    int m_nDownloadResult;
    HANDLE m_hStopEvent; // the feed worker's
    // The enclosure's icon was looked up (found or not): a type without one is not looked up on every draw.
    bool m_bEnclosureIconSought = false;
    // A subscription entry whose channel is still being read from its cache file after a first pass counted it:
    // the counts stand (CountNews keeps them) until the channel is in.
    bool m_bItemsPending = false;

    // Whether the entry has a channel, one still being read included, and how many items it holds.
    bool HasChannel() const { return m_pChannel != nullptr || m_bItemsPending; }
    int GetChannelItemCount() const;
};

// Whether a file base name stays inside the folder it is joined to: not empty, no separator, drive, stream,
// wildcard or control character, not only dots and blanks, not a device name (with any extension).
bool IsSafeFeedFileName(LPCWSTR name);
