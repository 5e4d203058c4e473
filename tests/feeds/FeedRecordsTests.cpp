// Feed records: defaults, copies, ownership, file names and the list operations on channels.
#include "feeds/EngineMessages.h"
#include "tests/feeds/FeedTestHost.h"
#include "feeds/EnclosureJob.h"
#include "feeds/NewsLineItem.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/win/Wnd.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

CFeedItem* NewItem(LPCWSTR title, LPCWSTR text = L"", LPCWSTR link = L"", int state = FEED_STATE_NEW)
{
    CFeedItem* item = new CFeedItem;
    item->m_strTitle = item->m_strTitleText = title;
    item->m_strDescription = item->m_strDescriptionText = text;
    item->m_strLink = item->m_strLinkText = link;
    item->m_nReadState = state;
    return item;
}

CFeedItem* NewEntry(LPCWSTR title, LPCWSTR file = L"")
{
    CFeedItem* entry = NewItem(title);
    entry->m_nKind = FEED_KIND_FEED;
    entry->m_strFile = file;
    entry->m_pChannel = new CFeedChannel;
    return entry;
}

std::wstring Titles(const CFeedItemList& list)
{
    std::wstring titles;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        if (!titles.empty())
            titles += L",";
        titles += list.GetNext(pos)->m_strTitleText.GetString();
    }
    return titles;
}

// Deletes the CNewsLineItem or CEnclosureJob records a collector appended.
template <class T> struct OwnedRecords
{
    CPtrList list;
    ~OwnedRecords()
    {
        while (!list.IsEmpty())
            delete static_cast<T*>(list.RemoveHead());
    }
    std::vector<T*> Records() const
    {
        std::vector<T*> records;
        for (POSITION pos = list.GetHeadPosition(); pos;)
            records.push_back(static_cast<T*>(list.GetNext(pos)));
        return records;
    }
};

class DestructionFlag : public CObject
{
public:
    explicit DestructionFlag(bool* flag) : m_flag(flag) {}
    ~DestructionFlag() override { *m_flag = true; }

private:
    bool* m_flag;
};

TEST(FeedItem, DefaultsAndCopies)
{
    CFeedItem item;
    EXPECT_EQ(FEED_KIND_ITEM, item.m_nKind);
    EXPECT_EQ(FEED_STATE_NEW, item.m_nReadState);
    EXPECT_EQ(120, item.m_nUpdateInterval);
    EXPECT_EQ(-1, item.m_nImageIndex);
    EXPECT_TRUE(item.m_bHttpAuth);
    EXPECT_TRUE(item.m_bMayUnsubscribe);
    EXPECT_TRUE(item.m_bKeep);
    EXPECT_FALSE(item.m_bUpdating);
    EXPECT_EQ(COleDateTime::null, item.m_dtDate.GetStatus());
    EXPECT_EQ(0.0, item.m_dtDate.m_dt);
    EXPECT_EQ(nullptr, item.m_pChannel);

    CFeedItem source;
    source.m_strTitle = L"t";
    source.m_strTitleText = L"tt";
    source.m_nKind = FEED_KIND_NOTICE;
    source.m_strAuthor = L"a";
    source.m_strCategory = L"c";
    source.m_strDescription = L"d";
    source.m_strDescriptionText = L"dt";
    source.m_strImage = L"i";
    source.m_strImageText = L"it";
    source.m_strLink = L"l";
    source.m_strLinkText = L"lt";
    source.m_strDate = L"date";
    source.m_strSubject = L"s";
    source.m_strExtra = L"x";
    source.m_strAccountName = L"user";
    source.m_strPassword = L"pass";
    source.m_strInput = L"in";
    source.m_strButtonText = L"go";
    source.m_nImageIndex = 7;
    source.m_nReadState = FEED_STATE_READ;
    source.m_nUpdateInterval = 60;
    source.m_nCountdown = 5;
    source.m_bKeep = false;
    source.m_bHttpAuth = false;
    source.m_strEnclosureUrl = L"http://e/x.mp3";
    source.m_strEnclosureType = L"audio/mpeg";
    source.m_nEnclosureLength = 1234;
    source.m_nEnclosureState = 2;
    source.m_dtDate = COleDateTime(2003, 6, 10, 4, 0, 0);
    // Not copied:
    source.m_strEnclosureFile = L"C:\\x.mp3";
    source.m_strComments = L"http://c/";
    source.m_strBookmark = L"bookmark:1";
    source.m_strFile = L"file";
    source.m_bMayUnsubscribe = false;
    source.m_nNewCount = 3;
    source.m_bUpdateFailed = true;
    source.m_bUpdating = true;
    source.m_bEnclosureJob = true;
    source.m_dwOwnerThreadId = 42;
    source.m_strDownloadFile = L"C:\\tmp";
    source.m_nDownloadResult = 99;
    source.m_hEnclosureIcon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
    source.m_pChannel = new CFeedChannel;

    CFeedItem copy(source);
    EXPECT_EQ(CString(L"t"), copy.m_strTitle);
    EXPECT_EQ(CString(L"tt"), copy.m_strTitleText);
    EXPECT_EQ(FEED_KIND_NOTICE, copy.m_nKind);
    EXPECT_EQ(CString(L"a"), copy.m_strAuthor);
    EXPECT_EQ(CString(L"c"), copy.m_strCategory);
    EXPECT_EQ(CString(L"d"), copy.m_strDescription);
    EXPECT_EQ(CString(L"dt"), copy.m_strDescriptionText);
    EXPECT_EQ(CString(L"i"), copy.m_strImage);
    EXPECT_EQ(CString(L"it"), copy.m_strImageText);
    EXPECT_EQ(CString(L"l"), copy.m_strLink);
    EXPECT_EQ(CString(L"lt"), copy.m_strLinkText);
    EXPECT_EQ(CString(L"date"), copy.m_strDate);
    EXPECT_EQ(CString(L"s"), copy.m_strSubject);
    EXPECT_EQ(CString(L"x"), copy.m_strExtra);
    EXPECT_EQ(CString(L"user"), copy.m_strAccountName);
    EXPECT_EQ(CString(L"pass"), copy.m_strPassword);
    EXPECT_EQ(CString(L"in"), copy.m_strInput);
    EXPECT_EQ(CString(L"go"), copy.m_strButtonText);
    EXPECT_EQ(7, copy.m_nImageIndex);
    EXPECT_EQ(FEED_STATE_READ, copy.m_nReadState);
    EXPECT_EQ(60, copy.m_nUpdateInterval);
    EXPECT_EQ(5, copy.m_nCountdown);
    EXPECT_FALSE(copy.m_bKeep);
    EXPECT_FALSE(copy.m_bHttpAuth);
    EXPECT_EQ(CString(L"http://e/x.mp3"), copy.m_strEnclosureUrl);
    EXPECT_EQ(CString(L"audio/mpeg"), copy.m_strEnclosureType);
    EXPECT_EQ(1234, copy.m_nEnclosureLength);
    EXPECT_EQ(2, copy.m_nEnclosureState);
    EXPECT_TRUE(copy.m_dtDate == source.m_dtDate);

    EXPECT_TRUE(copy.m_strEnclosureFile.IsEmpty());
    EXPECT_TRUE(copy.m_strComments.IsEmpty());
    EXPECT_TRUE(copy.m_strBookmark.IsEmpty());
    EXPECT_TRUE(copy.m_strFile.IsEmpty());
    EXPECT_TRUE(copy.m_bMayUnsubscribe);
    EXPECT_EQ(0, copy.m_nNewCount);
    EXPECT_FALSE(copy.m_bUpdateFailed);
    EXPECT_FALSE(copy.m_bUpdating);
    EXPECT_FALSE(copy.m_bEnclosureJob);
    EXPECT_EQ(0u, copy.m_dwOwnerThreadId);
    EXPECT_TRUE(copy.m_strDownloadFile.IsEmpty());
    EXPECT_EQ(0, copy.m_nDownloadResult);
    EXPECT_EQ(nullptr, copy.m_hEnclosureIcon);
    EXPECT_EQ(nullptr, copy.m_pChannel);
}

TEST(FeedItem, OwnsItsChannelObjectsAndWindow)
{
    bool attachedGone = false;
    bool nestedGone = false;
    bool heldGone = false;
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hwnd);
    CWnd wnd;
    wnd.Attach(hwnd);
    {
        CFeedItem* entry = NewEntry(L"feed");
        entry->m_pAttachedObject = new DestructionFlag(&attachedGone);
        entry->m_pAttachedWnd = &wnd;
        CFeedItem* news = NewItem(L"news");
        news->m_pAttachedObject = new DestructionFlag(&nestedGone);
        entry->m_pChannel->m_items.AddTail(news);
        CFeedItem* held = NewItem(L"held");
        held->m_pAttachedObject = new DestructionFlag(&heldGone);
        entry->m_pChannel->m_heldItems.AddTail(held);
        delete entry;
    }
    EXPECT_TRUE(attachedGone);
    EXPECT_TRUE(nestedGone);
    EXPECT_TRUE(heldGone);
    EXPECT_FALSE(IsWindow(hwnd));
    wnd.Detach();
}

class FeedFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = theHost.m_strDataFolder;
        theHost.m_strDataFolder = m_folder.Path().c_str();
    }
    void TearDown() override { theHost.m_strDataFolder = m_saved; }

    CString Data(LPCWSTR name) const { return CString(m_folder.Path().c_str()) + L"\\" + name; }

    lqtest::TempFolder m_folder;
    CString m_saved;
};

TEST_F(FeedFilesTest, FileNamesStayInsideTheDataFolder)
{
    struct Case
    {
        int kind;
        CString file;
        CString cache;
        CString icon;
    };
    const Case cases[] = {
        {FEED_KIND_FEED, L"feed1", Data(L"feed1.rss"), Data(L"feed1.ico")},
        {FEED_KIND_FEED, L"My Feed 2", Data(L"My Feed 2.rss"), Data(L"My Feed 2.ico")},
        {FEED_KIND_FEED, L"", L"", L""},
        {FEED_KIND_ITEM, L"feed1", L"", Data(L"feed1.ico")},
        {FEED_KIND_IFRAME, L"page", L"", Data(L"page.ico")},
        {FEED_KIND_FEED, L"..\\..\\evil", L"", L""},
        {FEED_KIND_FEED, L"..", L"", L""},
        {FEED_KIND_FEED, L".", L"", L""},
        {FEED_KIND_NOTICE, L"...", L"", L""},
        {FEED_KIND_FEED, L" ", L"", L""},
        {FEED_KIND_FEED, L"..name", Data(L"..name.rss"), Data(L"..name.ico")},
        {FEED_KIND_FEED, L"a/b", L"", L""},
        {FEED_KIND_FEED, L"C:evil", L"", L""},
        {FEED_KIND_FEED, L"C:\\Windows\\evil", L"", L""},
        {FEED_KIND_FEED, L"name:stream", L"", L""},
        {FEED_KIND_FEED, L"\\\\server\\share\\x", L"", L""},
        {FEED_KIND_FEED, L"CON", L"", L""},
        {FEED_KIND_FEED, L"nul", L"", L""},
        {FEED_KIND_FEED, L"Com1", L"", L""},
        {FEED_KIND_FEED, L"LPT9.feed", L"", L""},
        {FEED_KIND_FEED, L"aux .x", L"", L""},
        {FEED_KIND_FEED, L"wild*", L"", L""},
        {FEED_KIND_FEED, L"line\nfeed", L"", L""},
        {FEED_KIND_FEED, L"CONSOLE", Data(L"CONSOLE.rss"), Data(L"CONSOLE.ico")},
        {FEED_KIND_FEED, L"COM10", Data(L"COM10.rss"), Data(L"COM10.ico")},
        // A Notice's page is a path; it counts only inside the data folder.
        {FEED_KIND_NOTICE, Data(L"notice.gif"), L"", Data(L"notice.gif")},
        {FEED_KIND_NOTICE, L"notice", L"", Data(L"notice")},
        {FEED_KIND_NOTICE, L"", L"", L""},
        {FEED_KIND_NOTICE, L"C:\\Windows\\win.ini", L"", L""},
        {FEED_KIND_NOTICE, Data(L"..\\outside.gif"), L"", L""},
        {FEED_KIND_NOTICE, Data(L"sub\\..\\..\\outside.gif"), L"", L""},
        {FEED_KIND_NOTICE, Data(L"CON"), L"", L""},
        {FEED_KIND_NOTICE, Data(L"x.gif:stream"), L"", L""},
        {FEED_KIND_NOTICE, L"\\\\?\\" + Data(L"x.gif"), L"", L""},
        {FEED_KIND_NOTICE, L"..\\x.gif", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(c.file.GetString()));
        CFeedItem item;
        item.m_nKind = c.kind;
        item.m_strFile = c.file;
        EXPECT_EQ(c.cache, item.GetCacheFileName());
        EXPECT_EQ(c.icon, item.GetIconFileName());
    }

    // Result pages name the file their channel was loaded from.
    for (int kind : {FEED_KIND_SEARCH_RESULT, FEED_KIND_FILTER_RESULT}) {
        CFeedItem page;
        page.m_nKind = kind;
        EXPECT_TRUE(page.GetCacheFileName().IsEmpty());
        page.m_pChannel = new CFeedChannel;
        page.m_pChannel->m_strPath = L"C:\\temp\\tmdf1.tmp";
        EXPECT_EQ(CString(L"C:\\temp\\tmdf1.tmp"), page.GetCacheFileName());
    }

    // Without a data folder there is no file at all (never one at the root of the drive).
    theHost.m_strDataFolder.Empty();
    CFeedItem item;
    item.m_nKind = FEED_KIND_FEED;
    item.m_strFile = L"feed1";
    EXPECT_TRUE(item.GetCacheFileName().IsEmpty());
}

// Records the removal messages and checks that the item is still whole when they arrive.
struct RemovalLog
{
    static std::vector<std::wstring>& Entries()
    {
        static std::vector<std::wstring> entries;
        return entries;
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NEWSLINE_ITEM_REMOVED || message == WM_PODCAST_REMOVE_ITEM) {
            const CFeedItem* item = reinterpret_cast<const CFeedItem*>(wParam);
            Entries().push_back(std::wstring(message == WM_NEWSLINE_ITEM_REMOVED ? L"ticker:" : L"podcast:") +
                                item->m_strTitleText.GetString() + (lParam ? L"!" : L""));
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
};

class RemovalWindow
{
public:
    RemovalWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RemovalLog::Proc;
        wc.lpszClassName = L"LqRemovalLog";
        wc.hInstance = GetModuleHandleW(nullptr);
        RegisterClassW(&wc);
        m_wnd.Attach(
            CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr));
    }
    ~RemovalWindow() { ::DestroyWindow(m_wnd.Detach()); }
    CWnd* Wnd() { return &m_wnd; }

private:
    CWnd m_wnd;
};

TEST(FeedChannel, PurgeMovesHeldItemsFirstAndDeletesTheUnkept)
{
    RemovalWindow ticker;
    RemovalWindow podcast;
    struct Case
    {
        const wchar_t* items; // title + keep flag ('+' kept, '-' not)
        const wchar_t* held;
        bool withWindows;
        const wchar_t* expected;
        std::vector<std::wstring> messages;
    };
    const Case cases[] = {
        {L"a+ b+", L"", true, L"a,b", {}},
        {L"a+ b- c+", L"x+ y+", true, L"x,y,a,c", {L"ticker:b", L"podcast:b"}},
        {L"a- b-", L"", true, L"", {L"ticker:a", L"podcast:a", L"ticker:b", L"podcast:b"}},
        {L"a- b+", L"x+", false, L"x,b", {}},
        {L"", L"x+ y+ z+", true, L"x,y,z", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(c.items));
        CFeedChannel channel;
        auto fill = [](CFeedItemList& list, const wchar_t* layout) {
            for (const wchar_t* p = layout; *p; ++p) {
                if (*p == L' ')
                    continue;
                CFeedItem* item = NewItem(CString(*p));
                item->m_bKeep = p[1] == L'+';
                list.AddTail(item);
                ++p;
            }
        };
        fill(channel.m_items, c.items);
        fill(channel.m_heldItems, c.held);
        RemovalLog::Entries().clear();
        channel.PurgeItems(c.withWindows ? podcast.Wnd() : nullptr, c.withWindows ? ticker.Wnd() : nullptr);
        EXPECT_EQ(std::wstring(c.expected), Titles(channel.m_items));
        EXPECT_TRUE(channel.m_heldItems.IsEmpty());
        EXPECT_EQ(c.messages, RemovalLog::Entries());
    }
}

TEST(FeedChannel, ResetItemStatesPreparesAReload)
{
    CFeedChannel channel;
    channel.m_items.AddTail(NewItem(L"new", L"", L"", FEED_STATE_NEW));
    channel.m_items.AddTail(NewItem(L"unread", L"", L"", FEED_STATE_UNREAD));
    channel.m_items.AddTail(NewItem(L"read", L"", L"", FEED_STATE_READ));
    channel.ResetItemStates();
    const int expected[] = {FEED_STATE_UNREAD, FEED_STATE_UNREAD, FEED_STATE_READ};
    int i = 0;
    for (POSITION pos = channel.m_items.GetHeadPosition(); pos; ++i) {
        CFeedItem* item = channel.m_items.GetNext(pos);
        EXPECT_EQ(expected[i], item->m_nReadState);
        EXPECT_FALSE(item->m_bKeep);
    }
}

TEST(FeedChannel, SortByDateIsStableAndPutsUndatedLast)
{
    COleDateTime nullDate;
    nullDate.SetStatus(COleDateTime::null);
    COleDateTime invalidDate(2003, 2, 30, 0, 0, 0);
    ASSERT_EQ(COleDateTime::invalid, invalidDate.GetStatus());
    struct Entry
    {
        const wchar_t* title;
        COleDateTime date;
    };
    const Entry entries[] = {
        {L"undated1", nullDate},
        {L"mid1", COleDateTime(2003, 6, 10, 4, 0, 0)},
        {L"old", COleDateTime(1850, 1, 1, 0, 0, 0)},
        {L"invalid", invalidDate},
        {L"new", COleDateTime(2004, 1, 1, 0, 0, 0)},
        {L"mid2", COleDateTime(2003, 6, 10, 4, 0, 0)},
        {L"undated2", nullDate},
    };
    CFeedChannel channel;
    for (const Entry& e : entries) {
        CFeedItem* item = NewItem(e.title);
        item->m_dtDate = e.date;
        channel.m_items.AddTail(item);
    }
    channel.SortItemsByDate();
    EXPECT_EQ(std::wstring(L"new,mid1,mid2,old,undated1,invalid,undated2"), Titles(channel.m_items));

    CFeedChannel empty;
    empty.SortItemsByDate();
    EXPECT_TRUE(empty.m_items.IsEmpty());
}

TEST(FeedChannel, FindItemRules)
{
    CFeedChannel list;
    CFeedItem* nolink = NewItem(L"Title", L"Text");
    CFeedItem* linked = NewItem(L"Linked", L"Whatever", L"http://a/");
    CFeedItem* entry = NewEntry(L"feed");
    CFeedItem* nested = NewItem(L"Deep", L"", L"http://deep/");
    CFeedItem* nested2 = NewItem(L"Deeper", L"", L"http://deeper/");
    CFeedItem* subEntry = NewEntry(L"sub");
    subEntry->m_pChannel->m_items.AddTail(nested2);
    entry->m_pChannel->m_items.AddTail(nested);
    entry->m_pChannel->m_items.AddTail(subEntry);
    list.m_items.AddTail(nolink);
    list.m_items.AddTail(linked);
    list.m_items.AddTail(entry);

    struct Case
    {
        const wchar_t* title;
        const wchar_t* text;
        const wchar_t* link;
        BOOL linkOnly;
        BOOL recurse;
        CFeedItem* expected;
    };
    const Case cases[] = {
        {L"Title", L"Text", L"", FALSE, FALSE, nolink},
        {L"Title", L"Text", L"http://other/", FALSE, FALSE, nolink}, // an item without a link ignores links
        {L"Title", L"Other", L"", FALSE, FALSE, nullptr},
        {L"title", L"Text", L"", FALSE, FALSE, nullptr}, // exact case
        {L"Linked", L"Different text", L"http://a/", FALSE, FALSE, linked},
        {L"Renamed", L"", L"http://a/", FALSE, FALSE, nullptr},
        {L"Renamed", L"", L"http://a/", TRUE, FALSE, linked},
        {L"Linked", L"", L"HTTP://A/", TRUE, FALSE, nullptr},
        {L"Deep", L"", L"http://deep/", FALSE, FALSE, nullptr},
        {L"Deep", L"", L"http://deep/", FALSE, TRUE, nested},
        {L"Deeper", L"", L"http://deeper/", FALSE, TRUE, nested2},
        // Inside a child channel the link-only flag no longer holds.
        {L"Renamed", L"", L"http://deep/", TRUE, TRUE, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(std::wstring(c.title) + L" " + c.link));
        std::unique_ptr<CFeedItem> wanted(NewItem(c.title, c.text, c.link));
        EXPECT_EQ(c.expected, list.FindItem(wanted.get(), c.linkOnly, c.recurse));
    }
}

TEST(FeedChannel, SelectAndFilterByWord)
{
    CFeedChannel list;
    CFeedItem* feed = NewEntry(L"feed");
    feed->m_pChannel->m_items.AddTail(NewItem(L"Apple pie", L"sweet"));
    feed->m_pChannel->m_items.AddTail(NewItem(L"Soup", L"with APPLES"));
    feed->m_pChannel->m_items.AddTail(NewItem(L"Bread", L"plain"));
    list.m_items.AddTail(feed);
    list.m_items.AddTail(NewItem(L"Top apple", L""));
    CFeedItem* notice = NewItem(L"apple notice");
    notice->m_nKind = FEED_KIND_NOTICE;
    list.m_items.AddTail(notice);
    CFeedItem* empty = NewEntry(L"empty");
    list.m_items.AddTail(empty);

    struct Case
    {
        const wchar_t* word;
        BOOL exclude;
        const wchar_t* expected;
    };
    const Case selections[] = {
        {L"apple", FALSE, L"Apple pie,Soup,Top apple"},
        {L"apple", TRUE, L"Bread"},
        {L"sweet", FALSE, L"Apple pie"},
        {L"nothing", FALSE, L""},
        {L"nothing", TRUE, L"Apple pie,Soup,Bread,Top apple"},
        {L"APPLE", FALSE, L""}, // callers pass the word lower-cased
    };
    for (const Case& c : selections) {
        SCOPED_TRACE(lqtest::Narrow(c.word));
        CFeedItemList selected;
        selected.AddTail(notice); // what is already in the list stays and is not counted
        int added = list.SelectItemsByWord(selected, c.word, c.exclude);
        EXPECT_EQ(selected.GetCount() - 1, added);
        selected.RemoveHead();
        EXPECT_EQ(std::wstring(c.expected), Titles(selected));
    }

    const Case filters[] = {
        {L"apple", FALSE, L"Apple pie,Soup,Top apple"}, {L"apple", TRUE, L"Bread"}, {L"plain", FALSE, L"Bread"},
        {L"pie", TRUE, L"Soup,Bread,Top apple"},        {L"zzz", FALSE, L""},
    };
    for (const Case& c : filters) {
        SCOPED_TRACE(lqtest::Narrow(c.word));
        CFeedItemList all;
        for (POSITION pos = feed->m_pChannel->m_items.GetHeadPosition(); pos;)
            all.AddTail(feed->m_pChannel->m_items.GetNext(pos));
        all.AddTail(list.m_items.GetAt(list.m_items.FindIndex(1)));
        int left = FilterItemsByWord(all, c.word, c.exclude);
        EXPECT_EQ(all.GetCount(), left);
        EXPECT_EQ(std::wstring(c.expected), Titles(all));
    }
    // Filtering only takes items off the list: every record is still in its channel.
    EXPECT_EQ(3, feed->m_pChannel->m_items.GetCount());
}

TEST(FeedChannel, TickerModesTakeTheirItems)
{
    COleDateTime nullDate;
    nullDate.SetStatus(COleDateTime::null);
    const COleDateTime bound(2003, 6, 10, 0, 0, 0);

    CFeedChannel list;
    CFeedItem* feedA = NewEntry(L"A");
    CFeedItem* a1 = NewItem(L"a-new", L"", L"", FEED_STATE_NEW);
    a1->m_dtDate = COleDateTime(2003, 6, 11, 0, 0, 0);
    CFeedItem* a2 = NewItem(L"a-unread", L"", L"", FEED_STATE_UNREAD);
    a2->m_dtDate = bound;
    CFeedItem* a3 = NewItem(L"a-read", L"", L"", FEED_STATE_READ);
    a3->m_dtDate = COleDateTime(2003, 6, 9, 0, 0, 0);
    feedA->m_pChannel->m_items.AddTail(a1);
    feedA->m_pChannel->m_items.AddTail(a2);
    feedA->m_pChannel->m_items.AddTail(a3);
    CFeedItem* top = NewItem(L"top-undated", L"", L"", FEED_STATE_READ);
    top->m_dtDate = nullDate;
    CFeedItem* notice = NewItem(L"notice");
    notice->m_nKind = FEED_KIND_NOTICE;
    list.m_items.AddTail(feedA);
    list.m_items.AddTail(top);
    list.m_items.AddTail(notice);

    struct Case
    {
        int mode;
        COleDateTime date;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {TICKER_NEW, bound, L"A/a-new"},
        {TICKER_NOT_READ, bound, L"A/a-new A/a-unread"},
        {TICKER_SINCE, bound, L"A/a-new A/a-unread"},
        {TICKER_SINCE_OTHER, bound, L"A/a-new A/a-unread"},
        {TICKER_SINCE, nullDate, L"-/top-undated"},
        {2, bound, L"A/a-new A/a-unread A/a-read -/top-undated"},
        {5, bound, L"A/a-new A/a-unread A/a-read -/top-undated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        OwnedRecords<CNewsLineItem> collected;
        list.CollectTickerItems(c.mode, collected.list, nullptr, c.date);
        std::wstring got;
        for (CNewsLineItem* line : collected.Records()) {
            if (!got.empty())
                got += L" ";
            got += line->m_pFeed ? line->m_pFeed->m_strTitleText.GetString() : L"-";
            got += L"/";
            got += line->m_pItem->m_strTitleText.GetString();
        }
        EXPECT_EQ(std::wstring(c.expected), got);
    }
}

TEST(FeedChannel, EnclosuresFollowThePodcastMode)
{
    theHost.SetRegistryKey(L"Lanternquill Tests");
    theHost.WriteProfileString(L"Podcasting\\Items", L"chosen", L"1");
    theHost.WriteProfileString(L"Podcasting\\Items", L"blank", L"");

    CFeedChannel list;
    CFeedItem* chosen = NewEntry(L"chosen", L"chosen");
    CFeedItem* other = NewEntry(L"other", L"other");
    CFeedItem* blank = NewEntry(L"blank", L"blank");
    for (CFeedItem* entry : {chosen, other, blank}) {
        CFeedItem* withEnclosure = NewItem(CString(entry->m_strTitleText) + L"-mp3");
        withEnclosure->m_strEnclosureUrl = L"http://e/x.mp3";
        entry->m_pChannel->m_items.AddTail(withEnclosure);
        entry->m_pChannel->m_items.AddTail(NewItem(CString(entry->m_strTitleText) + L"-plain"));
        list.m_items.AddTail(entry);
    }
    CFeedItem* notice = NewItem(L"notice");
    notice->m_nKind = FEED_KIND_NOTICE;
    notice->m_strEnclosureUrl = L"http://e/n.mp3";
    list.m_items.AddTail(notice);

    struct Case
    {
        int mode;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0, L"chosen/chosen-mp3 other/other-mp3 blank/blank-mp3"},
        {1, L"chosen/chosen-mp3 other/other-mp3 blank/blank-mp3"},
        {2, L"chosen/chosen-mp3"},
    };
    const int saved = theHost.m_settings.nPodcastMode;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        theHost.m_settings.nPodcastMode = c.mode;
        OwnedRecords<CEnclosureJob> collected;
        list.CollectEnclosures(collected.list, nullptr);
        std::wstring got;
        for (CEnclosureJob* job : collected.Records()) {
            if (!got.empty())
                got += L" ";
            got += std::wstring(job->m_pFeed->m_strTitleText.GetString()) + L"/" +
                   job->m_pItem->m_strTitleText.GetString();
            EXPECT_EQ(0, job->m_nStatus);
        }
        EXPECT_EQ(std::wstring(c.expected), got);
    }
    theHost.m_settings.nPodcastMode = saved;
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Lanternquill Tests");
}

TEST(FeedChannel, CountsLabelsAndMarkAllRead)
{
    theHost.m_newsLabels.RemoveAll();
    std::unique_ptr<CFeedItem> entry(NewEntry(L"News"));
    EXPECT_EQ(0, entry->CountNews());
    EXPECT_TRUE(theHost.m_newsLabels.IsEmpty());

    for (int state : {0, 2, 0, 1, 0, 7})
        entry->m_pChannel->m_items.AddTail(NewItem(L"i", L"", L"", state));
    EXPECT_EQ(4, entry->CountNews());
    EXPECT_EQ(4, entry->m_nNewCount); // an unknown state counts as new
    EXPECT_EQ(1, entry->m_nUnreadCount);
    EXPECT_EQ(1, entry->m_nReadCount);
    EXPECT_EQ(4, entry->CountNews());
    ASSERT_EQ(1, theHost.m_newsLabels.GetCount());
    EXPECT_EQ(CString(L"News  4"), theHost.m_newsLabels.GetHead());

    // A list of entries: everything becomes read, each entry recounted, the last count returned.
    CFeedChannel list;
    CFeedItem* other = NewEntry(L"Other");
    other->m_pChannel->m_items.AddTail(NewItem(L"o", L"", L"", FEED_STATE_NEW));
    list.m_items.AddTail(entry.release());
    list.m_items.AddTail(other);
    EXPECT_EQ(0, list.MarkAllRead(TRUE));
    for (POSITION pos = list.m_items.GetHeadPosition(); pos;) {
        CFeedItem* e = list.m_items.GetNext(pos);
        EXPECT_EQ(FEED_STATE_READ, e->m_nReadState);
        EXPECT_EQ(0, e->m_nNewCount);
        EXPECT_EQ(e->m_pChannel->m_items.GetCount(), e->m_nReadCount);
    }

    // Without recursion the entries' own items stay as they are and are counted as such.
    CFeedChannel list2;
    CFeedItem* third = NewEntry(L"Third");
    third->m_pChannel->m_items.AddTail(NewItem(L"t", L"", L"", FEED_STATE_NEW));
    list2.m_items.AddTail(third);
    EXPECT_EQ(1, list2.MarkAllRead(FALSE));
    EXPECT_EQ(FEED_STATE_READ, third->m_nReadState);
    EXPECT_EQ(2, theHost.m_newsLabels.GetCount());
    EXPECT_EQ(CString(L"Third  1"), theHost.m_newsLabels.GetTail());

    CFeedChannel none;
    EXPECT_EQ(0, none.MarkAllRead(TRUE));
    theHost.m_newsLabels.RemoveAll();
}

} // namespace
