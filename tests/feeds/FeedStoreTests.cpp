// Writers of the subscription lists and channel cache files: exact bytes, round trips through the reader, the
// backup copy, the replacement of the previous file, and the handling of failed steps.
#include "tests/feeds/FeedTestHost.h"
#include "bench/BenchTiming.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedStore.h"
#include "feeds/FeedText.h"
#include "feeds/XmlDom.h"
#include "framework/core/ComSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using lqtest::Narrow;
using lqtest::ReadFileBytes;
using lqtest::WriteFileBytes;

COleDateTime Utc(int year, int month, int day, int hour, int minute, int second)
{
    COleDateTime date;
    date.SetDateTime(year, month, day, hour, minute, second);
    return date;
}

CFeedItem* AddEntry(CFeedChannel& list, int kind, LPCWSTR title)
{
    CFeedItem* entry = new CFeedItem;
    entry->m_nKind = kind;
    entry->m_strTitle = entry->m_strTitleText = title;
    list.m_items.AddTail(entry);
    return entry;
}

// A list with every kind the writer names and every field it keeps, markup and non-ASCII text included.
void FillList(CFeedChannel& list)
{
    list.m_info.m_strTitle = L"My feeds";

    CFeedItem* full = AddEntry(list, FEED_KIND_FEED, L"Tom & Jerry \"news\"");
    full->m_strLink = full->m_strLinkText = L"http://example.com/rss?a=1&b=2";
    full->m_strDescription = L"Cartoons \"daily\" \x2014 \x00FCn\x00EFc\x00F6d\x00E9 \x00A9";
    full->m_strImage = L"http://example.com/i.png";
    full->m_strCategory = L"Fun <&> games";
    full->m_nImageIndex = 3;
    full->m_strFile = L"tomjerry";
    full->m_nUpdateInterval = 60;
    full->m_strAccountName = L"tom";
    full->m_strPassword = L"p&ss<'\"";
    full->m_bHttpAuth = false;

    CFeedItem* plain = AddEntry(list, FEED_KIND_FEED, L"Plain");
    plain->m_strLink = plain->m_strLinkText = L"http://example.org/feed";
    plain->m_strFile = L"plain";

    CFeedItem* notice = AddEntry(list, FEED_KIND_NOTICE, L"Welcome");
    notice->m_strFile = L"welcome.htm";
    notice->m_bMayUnsubscribe = false;

    CFeedItem* search = AddEntry(list, FEED_KIND_SEARCH_IN, L"Search");
    search->m_strLink = L"http://search.example.com/?q=";
    search->m_strInput = L"search words";
    search->m_strButtonText = L"Go";
    search->m_bMayUnsubscribe = false;

    AddEntry(list, FEED_KIND_SEARCH_OUT, L"Elsewhere")->m_bMayUnsubscribe = false;
    AddEntry(list, FEED_KIND_IFRAME, L"Block")->m_strLink = L"http://ads.example.com/";
    AddEntry(list, FEED_KIND_WEATHER, L"Weather")->m_bMayUnsubscribe = false;

    CFeedItem* element = AddEntry(list, FEED_KIND_ITEM, L"Password only");
    element->m_strPassword = L"secret";
}

// A cache with every header field, an item with every field, an item with an enclosure of unknown length and
// no date, and a new item.
void FillCache(CFeedChannel& channel)
{
    channel.m_info.m_strTitle = L"Daily <News>";
    channel.m_info.m_strDescription = L"All the news & more";
    channel.m_info.m_strCopyright = L"\x00A9 2003 Example";
    channel.m_info.m_strLink = L"http://news.example.com/";
    channel.m_info.m_strLanguage = L"en-us";
    channel.m_info.m_strGenerator = L"not written";
    channel.m_dtLastUpdate = Utc(2003, 6, 10, 4, 0, 0);

    CFeedItem* full = new CFeedItem;
    full->m_strTitle = full->m_strTitleText = L"First & best";
    full->m_strLink = full->m_strLinkText = L"http://news.example.com/1?x=1&y=2";
    full->m_strDescription = L"<p>Hello <b>world</b></p>";
    full->m_strImage = L"http://news.example.com/1.png";
    full->m_dtDate = Utc(2003, 6, 10, 4, 0, 0);
    full->m_strComments = L"http://news.example.com/1#comments";
    full->m_strBookmark = L"bookmark:1";
    full->m_strAuthor = L"ann@example.com (Ann)";
    full->m_strCategory = L"World";
    full->m_strSubject = L"Greetings";
    full->m_strEnclosureUrl = L"http://news.example.com/a.mp3?a=1&b=\"2\"&c='3'";
    full->m_strEnclosureType = L"audio/mpeg";
    full->m_nEnclosureLength = 12345;
    full->m_strEnclosureFile = L"C:\\Podcasts\\a.mp3";
    full->m_nEnclosureState = 2;
    full->m_nReadState = FEED_STATE_READ;
    channel.m_items.AddTail(full);

    CFeedItem* undated = new CFeedItem;
    undated->m_strTitle = undated->m_strTitleText = L"No date";
    undated->m_strEnclosureUrl = L"http://news.example.com/b.ogg";
    undated->m_nReadState = FEED_STATE_UNREAD;
    channel.m_items.AddTail(undated);

    CFeedItem* fresh = new CFeedItem;
    fresh->m_strTitle = fresh->m_strTitleText = L"Fresh";
    fresh->m_strLink = fresh->m_strLinkText = L"http://news.example.com/3";
    fresh->m_dtDate = Utc(2003, 1, 2, 3, 4, 5);
    channel.m_items.AddTail(fresh);
}

std::vector<CFeedItem*> Items(const CFeedChannel& channel)
{
    std::vector<CFeedItem*> items;
    for (POSITION pos = channel.m_items.GetHeadPosition(); pos;)
        items.push_back(channel.m_items.GetNext(pos));
    return items;
}

std::wstring W(const CString& text)
{
    return text.GetString();
}

// Compares a saved file with its golden copy. With LQ_WRITE_GOLDEN set, the copy is written instead, to be
// looked over by hand before it is kept.
void ExpectGolden(const std::wstring& saved, const wchar_t* golden)
{
    const std::wstring goldenPath = lqtest::SourcePath(std::wstring(L"feeds/golden/") + golden);
    std::string bytes = ReadFileBytes(saved);
    if (std::getenv("LQ_WRITE_GOLDEN")) {
        ASSERT_TRUE(WriteFileBytes(goldenPath, bytes));
        return;
    }
    EXPECT_EQ(ReadFileBytes(goldenPath), bytes) << Narrow(golden);
}

// The temporary files a save leaves beside its target, which must be none.
int StrayTempFiles(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((folder + L"\\lqs*.tmp").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return count;
}

// What the writers reported, in place of a message box.
struct Report
{
    std::wstring text;
    std::wstring caption;
};
std::vector<Report> g_reports;

void CaptureReport(LPCWSTR text, LPCWSTR caption)
{
    g_reports.push_back({text, caption});
}

// A step hook that fails (or throws at) the n-th step of the given name.
std::wstring g_failStep;
int g_failAt = 0;
HRESULT g_failWith = S_OK;
bool g_throwAtStep = false;

HRESULT FailingStep(LPCWSTR step)
{
    if (g_failStep != step || --g_failAt != 0)
        return S_OK;
    if (g_throwAtStep) {
        ICreateErrorInfo* create = nullptr;
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(::CreateErrorInfo(&create))) {
            create->SetDescription(const_cast<LPOLESTR>(L"Out of room for the text"));
            create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
            create->Release();
        }
        throw _com_error(g_failWith, info);
    }
    return g_failWith;
}

class FeedStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedFolder = theHost.m_strDataFolder;
        theHost.m_strDataFolder = m_folder.Path().c_str();
        g_reports.clear();
        m_previousReporter = SetFeedStoreErrorReporter(CaptureReport);
    }
    void TearDown() override
    {
        SetFeedStoreStepHook(nullptr);
        SetFeedStoreErrorReporter(m_previousReporter);
        theHost.m_strDataFolder = m_savedFolder;
    }

    void FailStep(LPCWSTR step, int nth, HRESULT hr, bool bThrow = false)
    {
        g_failStep = step;
        g_failAt = nth;
        g_failWith = hr;
        g_throwAtStep = bThrow;
        SetFeedStoreStepHook(FailingStep);
    }

    std::wstring File(const wchar_t* name) const { return m_folder.File(name); }

    lqtest::TempFolder m_folder;
    CString m_savedFolder;
    FeedStoreErrorReporter m_previousReporter = nullptr;
};

const char kEmptyList[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                          "<rss version=\"2.0\">\n\t<channel>\n\t\t\n\t</channel>\n</rss>\n";

TEST(EscapeXmlTextTest, ReplacesEachCharacterInOrder)
{
    const struct
    {
        const wchar_t* text;
        const wchar_t* escaped;
    } cases[] = {
        {L"", L""},
        {L"plain text", L"plain text"},
        {L"a & b", L"a &amp; b"},
        {L"say \"hi\"", L"say &quot;hi&quot;"},
        {L"<b>", L"&lt;b&gt;"},
        {L"\x00A9 \x00AE", L"&#169; &#174;"},
        {L"it's", L"it&apos;s"},
        {L"\x00AB quoted \x00BB", L"&#171; quoted &#187;"},
        // An entity in the text is escaped once more: its ampersand goes first.
        {L"&lt;", L"&amp;lt;"},
        {L"&#169;\x00A9", L"&amp;#169;&#169;"},
        {L"\x00FC\x2014", L"\x00FC\x2014"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.escaped), W(EscapeXmlText(c.text))) << Narrow(c.text);
    EXPECT_TRUE(EscapeXmlText(nullptr).IsEmpty());
}

TEST(FeedStoreErrorCaptionTest, NamesDispatchSystemAndUnknownCodes)
{
    EXPECT_EQ(L"IDispatch error #1", W(FeedStoreErrorCaption(static_cast<HRESULT>(0x80040201))));
    EXPECT_EQ(L"IDispatch error #65023", W(FeedStoreErrorCaption(static_cast<HRESULT>(0x8004FFFF))));
    EXPECT_EQ(L"Unknown error 0xA0001234", W(FeedStoreErrorCaption(static_cast<HRESULT>(0xA0001234))));

    // A code the system knows gets the system's text, without the line end the system appends.
    std::wstring memory = W(FeedStoreErrorCaption(E_OUTOFMEMORY));
    ASSERT_FALSE(memory.empty());
    EXPECT_EQ(std::wstring::npos, memory.find(L"Unknown error"));
    EXPECT_EQ(std::wstring::npos, memory.find_first_of(L"\r\n"));
}

TEST_F(FeedStoreTest, SubscriptionListMatchesGoldenFile)
{
    CFeedChannel list;
    FillList(list);
    ASSERT_TRUE(list.SaveMainFeeds());
    ExpectGolden(File(L"MainFeed.xml"), L"MainFeed.xml");
}

TEST_F(FeedStoreTest, EmptyListHoldsOnlyIndentationAndTitle)
{
    CFeedChannel list;
    ASSERT_TRUE(list.SaveMainFeeds());
    EXPECT_EQ(std::string(kEmptyList), ReadFileBytes(File(L"MainFeed.xml")));

    list.m_info.m_strTitle = L"T";
    ASSERT_TRUE(list.SaveMainFeeds());
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
              "<rss version=\"2.0\">\n\t<channel>\n\t\t<title>T</title>\n\t\t\n\t</channel>\n</rss>\n",
              ReadFileBytes(File(L"MainFeed.xml")));
}

TEST_F(FeedStoreTest, CacheMatchesGoldenFile)
{
    CFeedChannel channel;
    FillCache(channel);
    ASSERT_TRUE(channel.SaveCache(File(L"daily.rss").c_str(), TRUE));
    ExpectGolden(File(L"daily.rss"), L"daily.rss");
}

// The writer takes the document's text itself; the file holds exactly what the library's own save writes of the
// same tree, for texts a serializer may treat apart (line ends, tabs, quotes, markup characters, characters
// beyond the basic plane).
TEST_F(FeedStoreTest, TheFileHoldsWhatTheLibrarysSaveWrites)
{
    CFeedChannel channel;
    FillCache(channel);
    channel.m_info.m_strDescription =
        L"Line one\r\nline two\rthree\n\tindented \"q\" 'a' <b> & > ]]> \U0001F600 \x00A0";
    channel.m_items.GetHead()->m_strAuthor = L"CR\r alone, LF\n alone, CRLF\r\n";
    ASSERT_TRUE(channel.SaveCache(File(L"mine.rss").c_str(), TRUE));

    XmlDom::DocumentPtr document = XmlDom::CreateDocument(true);
    ASSERT_TRUE(document);
    ASSERT_TRUE(XmlDom::LoadDocument(document.Get(), File(L"mine.rss").c_str()));
    XmlDom::Ptr<IStream> stream;
    ASSERT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()), S_OK);
    VARIANT destination;
    ::VariantInit(&destination);
    destination.vt = VT_UNKNOWN;
    destination.punkVal = stream.Get();
    ASSERT_EQ(document->save(destination), S_OK);
    HGLOBAL memory = nullptr;
    ASSERT_EQ(::GetHGlobalFromStream(stream.Get(), &memory), S_OK);
    STATSTG stat = {};
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    const std::string saved(static_cast<const char*>(::GlobalLock(memory)), static_cast<size_t>(stat.cbSize.QuadPart));
    ::GlobalUnlock(memory);
    EXPECT_EQ(ReadFileBytes(File(L"mine.rss")), saved);
}

// The library's save kept about 300 KB at every call here: a refresh of 200 feeds grew the program by 17 MiB.
TEST_F(FeedStoreTest, SavingAgainAndAgainDoesNotGrowTheProcess)
{
    CFeedChannel channel;
    FillCache(channel);
    CFeedChannel list;
    FillList(list);
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(channel.SaveCache(File(L"daily.rss").c_str(), TRUE));
        ASSERT_TRUE(list.SaveMainFeeds());
    }
    const SIZE_T before = lqbench::PrivateBytes();
    for (int round = 0; round < 200; ++round) {
        ASSERT_TRUE(channel.SaveCache(File(L"daily.rss").c_str(), TRUE));
        ASSERT_TRUE(list.SaveMainFeeds());
    }
    const SIZE_T after = lqbench::PrivateBytes();
    EXPECT_LT(after, before + 8u * 1024 * 1024) << (after - before) / 1024 << " KB more after 400 saves";
}

TEST_F(FeedStoreTest, EnclosureUrlIsEscapedOnceAndLocalFileKept)
{
    CFeedChannel channel;
    FillCache(channel);
    ASSERT_TRUE(channel.SaveCache(File(L"a.rss").c_str(), TRUE));
    std::string bytes = ReadFileBytes(File(L"a.rss"));
    EXPECT_NE(std::string::npos, bytes.find("url=\"http://news.example.com/a.mp3?a=1&amp;b=&quot;2&quot;&amp;c='3'\""))
        << bytes;
    EXPECT_EQ(std::string::npos, bytes.find("&amp;amp;"));
    EXPECT_NE(std::string::npos, bytes.find("local=\"C:\\Podcasts\\a.mp3\""));

    // Saved and loaded again and again, the URL stays what it was.
    for (int round = 0; round < 3; ++round) {
        CFeedChannel loaded;
        ASSERT_TRUE(loaded.LoadFile(File(L"a.rss").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
        ASSERT_TRUE(loaded.SaveCache(File(L"a.rss").c_str(), TRUE));
    }
    CFeedChannel last;
    ASSERT_TRUE(last.LoadFile(File(L"a.rss").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    ASSERT_FALSE(last.m_items.IsEmpty());
    EXPECT_EQ(L"http://news.example.com/a.mp3?a=1&b=\"2\"&c='3'", W(last.m_items.GetHead()->m_strEnclosureUrl));
    EXPECT_EQ(L"C:\\Podcasts\\a.mp3", W(last.m_items.GetHead()->m_strEnclosureFile));
}

TEST_F(FeedStoreTest, CharactersXmlCannotCarryAreDroppedSoTheFileStaysReadable)
{
    const struct
    {
        const wchar_t* text;
        const wchar_t* kept;
    } cases[] = {
        {L"bad\x01"
         L"char",
         L"badchar"},
        {L"form\x0C"
         L"feed\x1F",
         L"formfeed"},
        {L"not\xFFFE"
         L"chars\xFFFF",
         L"notchars"},
        {L"lone \xD800"
         L"half \xDC00",
         L"lone half "},
        {L"pair \xD83D\xDE00 kept\tand\nlines", L"pair \xD83D\xDE00 kept\tand\nlines"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.kept));
        CFeedChannel channel;
        channel.m_info.m_strTitle = c.text;
        CFeedItem* item = new CFeedItem;
        item->m_strTitle = c.text;
        item->m_strEnclosureUrl = c.text;
        channel.m_items.AddTail(item);
        ASSERT_TRUE(channel.SaveCache(File(L"x.rss").c_str(), TRUE));

        CFeedChannel loaded;
        ASSERT_TRUE(loaded.LoadFile(File(L"x.rss").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
        ASSERT_EQ(1, loaded.m_items.GetCount());
        EXPECT_EQ(c.kept, W(loaded.m_items.GetHead()->m_strEnclosureUrl));
        // The record itself is left as it is.
        EXPECT_EQ(c.text, W(item->m_strTitle));
    }
}

TEST_F(FeedStoreTest, SubscriptionListReadsBackWithEveryFieldWritten)
{
    CFeedChannel list;
    FillList(list);
    ASSERT_TRUE(list.SaveCustomFeeds());

    CFeedChannel loaded;
    ASSERT_TRUE(loaded.LoadFile(File(L"CustomFeed.xml").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    EXPECT_EQ(L"My feeds", W(loaded.m_info.m_strTitle));
    std::vector<CFeedItem*> written = Items(list), read = Items(loaded);
    ASSERT_EQ(written.size(), read.size());
    for (size_t i = 0; i < written.size(); ++i) {
        const CFeedItem* w = written[i];
        const CFeedItem* r = read[i];
        SCOPED_TRACE(Narrow(W(w->m_strTitle)));
        EXPECT_EQ(W(w->m_strTitle), W(r->m_strTitle));
        EXPECT_EQ(W(w->m_strLink), W(r->m_strLink));
        EXPECT_EQ(W(w->m_strDescription), W(r->m_strDescription));
        EXPECT_EQ(W(w->m_strImage), W(r->m_strImage));
        EXPECT_EQ(w->m_nKind, r->m_nKind);
        EXPECT_EQ(W(w->m_strCategory), W(r->m_strCategory));
        EXPECT_EQ(w->m_nImageIndex, r->m_nImageIndex);
        EXPECT_EQ(W(w->m_strFile), W(r->m_strFile));
        EXPECT_EQ(w->m_nUpdateInterval, r->m_nUpdateInterval);
        EXPECT_EQ(w->m_bMayUnsubscribe, r->m_bMayUnsubscribe);
        EXPECT_EQ(W(w->m_strAccountName), W(r->m_strAccountName));
        EXPECT_EQ(W(w->m_strPassword), W(r->m_strPassword));
        if (!w->m_strAccountName.IsEmpty() || !w->m_strPassword.IsEmpty()) {
            EXPECT_EQ(w->m_bHttpAuth, r->m_bHttpAuth);
        }
        EXPECT_EQ(W(w->m_strInput), W(r->m_strInput));
        EXPECT_EQ(W(w->m_strButtonText), W(r->m_strButtonText));
    }
}

TEST_F(FeedStoreTest, CacheReadsBackWithEveryFieldWritten)
{
    CFeedChannel channel;
    FillCache(channel);
    ASSERT_TRUE(channel.SaveCache(File(L"daily.rss").c_str(), FALSE));

    CFeedChannel loaded;
    ASSERT_TRUE(loaded.LoadFile(File(L"daily.rss").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    // The title and copyright are plain text and come back whole; the description is markup, cleaned on every read.
    EXPECT_EQ(W(loaded.m_info.m_strTitle), L"Daily <News>");
    EXPECT_EQ(W(CleanedCopy(channel.m_info.m_strDescription)), W(loaded.m_info.m_strDescription));
    EXPECT_EQ(W(channel.m_info.m_strCopyright), W(loaded.m_info.m_strCopyright));
    EXPECT_EQ(W(channel.m_info.m_strLink), W(loaded.m_info.m_strLink));
    EXPECT_EQ(W(channel.m_info.m_strLanguage), W(loaded.m_info.m_strLanguage));
    EXPECT_EQ(COleDateTime::valid, loaded.m_dtLastUpdate.GetStatus());
    EXPECT_DOUBLE_EQ(channel.m_dtLastUpdate.m_dt, loaded.m_dtLastUpdate.m_dt);

    std::vector<CFeedItem*> written = Items(channel), read = Items(loaded);
    ASSERT_EQ(written.size(), read.size());
    for (size_t i = 0; i < written.size(); ++i) {
        const CFeedItem* w = written[i];
        const CFeedItem* r = read[i];
        SCOPED_TRACE(Narrow(W(w->m_strTitle)));
        EXPECT_EQ(W(w->m_strTitle), W(r->m_strTitle));
        EXPECT_EQ(W(w->m_strLink), W(r->m_strLink));
        EXPECT_EQ(W(w->m_strDescription), W(r->m_strDescription));
        EXPECT_EQ(W(w->m_strImage), W(r->m_strImage));
        if (w->m_dtDate.GetStatus() == COleDateTime::valid) {
            EXPECT_DOUBLE_EQ(w->m_dtDate.m_dt, r->m_dtDate.m_dt);
        }
        EXPECT_EQ(W(w->m_strComments), W(r->m_strComments));
        EXPECT_EQ(W(w->m_strAuthor), W(r->m_strAuthor));
        EXPECT_EQ(W(w->m_strCategory), W(r->m_strCategory));
        EXPECT_EQ(W(w->m_strSubject), W(r->m_strSubject));
        EXPECT_EQ(W(w->m_strEnclosureUrl), W(r->m_strEnclosureUrl));
        EXPECT_EQ(W(w->m_strEnclosureType), W(r->m_strEnclosureType));
        EXPECT_EQ(w->m_nEnclosureLength, r->m_nEnclosureLength);
        EXPECT_EQ(W(w->m_strEnclosureFile), W(r->m_strEnclosureFile));
        EXPECT_EQ(w->m_nEnclosureState, r->m_nEnclosureState);
        EXPECT_EQ(w->m_nReadState, r->m_nReadState);
    }
}

TEST_F(FeedStoreTest, KeepNewFlagDecidesHowNewItemsAreWritten)
{
    const struct
    {
        BOOL keepNew;
        const char* written;
        int stateAfter;
    } cases[] = {
        {TRUE, "<read>new</read>", FEED_STATE_NEW},
        {FALSE, "<read>false</read>", FEED_STATE_UNREAD},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        CFeedChannel channel;
        FillCache(channel);
        CFeedItem* fresh = channel.m_items.GetTail();
        ASSERT_EQ(FEED_STATE_NEW, fresh->m_nReadState);
        ASSERT_TRUE(channel.SaveCache(File(L"c.rss").c_str(), c.keepNew));
        EXPECT_EQ(c.stateAfter, fresh->m_nReadState);
        std::string bytes = ReadFileBytes(File(L"c.rss"));
        std::string last = bytes.substr(bytes.rfind("<item>"));
        EXPECT_NE(std::string::npos, last.find(c.written)) << last;
        // Read and unread items are written as they are either way.
        EXPECT_NE(std::string::npos, bytes.find("<read>true</read>"));
    }
}

TEST_F(FeedStoreTest, CustomListBackupOnlyWhenListExists)
{
    CFeedChannel list;
    FillList(list);
    ASSERT_TRUE(list.SaveCustomFeeds());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(File(L"CustomFeed.bak").c_str()));
    std::string first = ReadFileBytes(File(L"CustomFeed.xml"));

    // The next save keeps the previous list as the backup, overwriting an older backup.
    ASSERT_TRUE(WriteFileBytes(File(L"CustomFeed.bak"), "older"));
    delete list.m_items.RemoveTail();
    ASSERT_TRUE(list.SaveCustomFeeds());
    EXPECT_EQ(first, ReadFileBytes(File(L"CustomFeed.bak")));
    EXPECT_NE(first, ReadFileBytes(File(L"CustomFeed.xml")));

    // The main list's backup is the copy of its last save, whole, for start-up to fall back on.
    ASSERT_TRUE(list.SaveMainFeeds());
    delete list.m_items.RemoveTail();
    ASSERT_TRUE(list.SaveMainFeeds());
    EXPECT_EQ(ReadFileBytes(File(L"MainFeed.xml")), ReadFileBytes(File(L"MainFeed.bak")));
}

TEST_F(FeedStoreTest, FailedBackupDoesNotStopTheSave)
{
    CFeedChannel list;
    ASSERT_TRUE(WriteFileBytes(File(L"CustomFeed.xml"), "previous"));
    // A folder where the backup would go makes the copy fail.
    ASSERT_TRUE(::CreateDirectoryW(File(L"CustomFeed.bak").c_str(), nullptr));
    ASSERT_TRUE(list.SaveCustomFeeds());
    EXPECT_EQ(std::string(kEmptyList), ReadFileBytes(File(L"CustomFeed.xml")));
}

TEST_F(FeedStoreTest, TargetThatCannotBeReplacedKeepsPreviousFile)
{
    const std::string previous = "previous contents";
    std::wstring target = File(L"locked.rss");

    // Held open by someone who lets others read and write, but not delete or rename it.
    {
        ASSERT_TRUE(WriteFileBytes(target, previous));
        HANDLE held = ::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        CFeedChannel channel;
        FillCache(channel);
        EXPECT_FALSE(channel.SaveCache(target.c_str(), FALSE));
        ::CloseHandle(held);
        EXPECT_EQ(previous, ReadFileBytes(target));
        // Nothing was saved, so the new item is still new.
        EXPECT_EQ(FEED_STATE_NEW, channel.m_items.GetTail()->m_nReadState);
        EXPECT_EQ(0, StrayTempFiles(m_folder.Path()));

        // Once it is free, the save goes through.
        EXPECT_TRUE(channel.SaveCache(target.c_str(), FALSE));
        EXPECT_NE(previous, ReadFileBytes(target));
        ASSERT_TRUE(::DeleteFileW(target.c_str()));
    }

    // A read-only file.
    {
        ASSERT_TRUE(WriteFileBytes(target, previous));
        ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
        CFeedChannel channel;
        FillCache(channel);
        EXPECT_FALSE(channel.SaveCache(target.c_str(), TRUE));
        EXPECT_EQ(previous, ReadFileBytes(target));
        EXPECT_EQ(0, StrayTempFiles(m_folder.Path()));
        ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// A reader that holds the file open a moment (an indexer, a virus scanner) used to make the save fail silently, and
// the new subscription was gone at the next start: the rename is tried again until it lets go.
HANDLE g_reader = INVALID_HANDLE_VALUE;
std::wstring g_readPath;
int g_renames = 0;

HRESULT ReaderDuringRename(LPCWSTR step)
{
    if (std::wstring(step) != L"#rename")
        return S_OK;
    ++g_renames;
    if (g_renames == 1)
        g_reader = ::CreateFileW(g_readPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (g_renames == 3 && g_reader != INVALID_HANDLE_VALUE) {
        ::CloseHandle(g_reader);
        g_reader = INVALID_HANDLE_VALUE;
    }
    return S_OK;
}

TEST_F(FeedStoreTest, AReaderThatLetsGoDoesNotLoseTheSave)
{
    CFeedChannel list;
    FillList(list);
    ASSERT_TRUE(list.SaveCustomFeeds());
    g_readPath = File(L"CustomFeed.xml");
    g_renames = 0;
    list.m_items.GetHead()->m_strTitle = L"Renamed while read";
    SetFeedStoreStepHook(ReaderDuringRename);
    EXPECT_TRUE(list.SaveCustomFeeds());
    SetFeedStoreStepHook(nullptr);
    EXPECT_GE(g_renames, 3);
    EXPECT_NE(ReadFileBytes(g_readPath).find("Renamed while read"), std::string::npos);
    EXPECT_EQ(0, StrayTempFiles(m_folder.Path()));
}

TEST_F(FeedStoreTest, UnwritablePathsAreSilentlyNotSaved)
{
    CFeedChannel channel;
    FillCache(channel);
    EXPECT_FALSE(channel.SaveCache(L"", FALSE));
    EXPECT_FALSE(channel.SaveCache(nullptr, FALSE));
    EXPECT_FALSE(channel.SaveCache(File(L"missing\\folder\\x.rss").c_str(), FALSE));
    // In-memory records are unchanged by a save that did not happen.
    EXPECT_EQ(FEED_STATE_NEW, channel.m_items.GetTail()->m_nReadState);

    theHost.m_strDataFolder.Empty();
    EXPECT_FALSE(channel.SaveMainFeeds());
    EXPECT_FALSE(channel.SaveCustomFeeds());
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(FeedStoreTest, ChildCachesAreWrittenForEntriesWithFileNames)
{
    CFeedChannel list;
    CFeedItem* named = AddEntry(list, FEED_KIND_FEED, L"Named");
    named->m_strFile = L"named";
    named->m_pChannel = new CFeedChannel;
    FillCache(*named->m_pChannel);
    CFeedItem* unnamed = AddEntry(list, FEED_KIND_FEED, L"Unnamed");
    unnamed->m_pChannel = new CFeedChannel;
    FillCache(*unnamed->m_pChannel);
    AddEntry(list, FEED_KIND_FEED, L"No channel")->m_strFile = L"nochannel";

    list.SaveChildCaches();

    CFeedChannel loaded;
    ASSERT_TRUE(loaded.LoadFile(File(L"named.rss").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    EXPECT_EQ(3, loaded.m_items.GetCount());
    EXPECT_EQ(FEED_STATE_UNREAD, named->m_pChannel->m_items.GetTail()->m_nReadState);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(File(L"nochannel.rss").c_str()));
    // The entry without a file name has nowhere to go and stays as it was.
    EXPECT_EQ(FEED_STATE_NEW, unnamed->m_pChannel->m_items.GetTail()->m_nReadState);
    EXPECT_EQ(0, StrayTempFiles(m_folder.Path()));
}

TEST_F(FeedStoreTest, FailedDocumentStepSavesNothing)
{
    const struct
    {
        const wchar_t* step;
        int nth;
    } cases[] = {
        {L"#document", 1}, {L"#pi", 1},   {L"channel", 1}, {L"@version", 1}, {L"item", 2},
        {L"#text", 3},     {L"#save", 1}, {L"#write", 1},  {L"#flush", 1},
    };
    std::wstring target = File(L"MainFeed.xml");
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.step));
        ASSERT_TRUE(WriteFileBytes(target, "previous"));
        CFeedChannel list;
        FillList(list);
        FailStep(c.step, c.nth, E_FAIL);
        EXPECT_FALSE(list.SaveMainFeeds());
        EXPECT_EQ("previous", ReadFileBytes(target));
        EXPECT_EQ(0, StrayTempFiles(m_folder.Path()));
    }
    EXPECT_TRUE(g_reports.empty());
}

// A disk that fills up part-way: the write fails after the first blocks went out. The list and its backup stay
// as they were, and nothing of the attempt is left in the folder.
TEST_F(FeedStoreTest, WriteFailingPartWayKeepsTheListAndItsBackup)
{
    CFeedChannel list;
    for (int i = 0; i < 2000; ++i)
        AddEntry(list, FEED_KIND_FEED, L"A subscription with a title long enough to fill the blocks")->m_strFile =
            L"entry";
    ASSERT_TRUE(WriteFileBytes(File(L"CustomFeed.xml"), "previous list"));
    ASSERT_TRUE(WriteFileBytes(File(L"CustomFeed.bak"), "previous backup"));
    FailStep(L"#write", 3, E_FAIL);
    EXPECT_FALSE(list.SaveCustomFeeds());
    EXPECT_EQ("previous list", ReadFileBytes(File(L"CustomFeed.xml")));
    EXPECT_EQ("previous list", ReadFileBytes(File(L"CustomFeed.bak")));
    EXPECT_EQ(0, StrayTempFiles(m_folder.Path()));

    // The backup's own write failing part-way leaves the previous backup whole; the list is still saved.
    ASSERT_TRUE(WriteFileBytes(File(L"CustomFeed.bak"), "previous backup"));
    FailStep(L"#write", 1, E_FAIL);
    EXPECT_TRUE(list.SaveCustomFeeds());
    EXPECT_EQ("previous backup", ReadFileBytes(File(L"CustomFeed.bak")));
    EXPECT_GT(ReadFileBytes(File(L"CustomFeed.xml")).size(), 64u * 1024u);
}

// A file another save has just written and closed, about to rename it, is no leftover.
TEST_F(FeedStoreTest, StaleTemporaryFilesGoAtTheNextSaveButOneInUseStays)
{
    ASSERT_TRUE(WriteFileBytes(File(L"lqs1A2B.tmp"), "left by a killed save"));
    {
        HANDLE old = ::CreateFileW(File(L"lqs1A2B.tmp").c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, old);
        FILETIME now;
        ::GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER when;
        when.LowPart = now.dwLowDateTime;
        when.HighPart = now.dwHighDateTime;
        when.QuadPart -= 3600ull * 10000000; // an hour ago
        const FILETIME hourAgo = {when.LowPart, when.HighPart};
        ASSERT_TRUE(::SetFileTime(old, nullptr, nullptr, &hourAgo));
        ::CloseHandle(old);
    }
    ASSERT_TRUE(WriteFileBytes(File(L"lqsBUSY.tmp"), "being written"));
    ASSERT_TRUE(WriteFileBytes(File(L"lqsJUST.tmp"), "written, about to be renamed"));
    ASSERT_TRUE(WriteFileBytes(File(L"other.tmp"), "not ours"));
    HANDLE busy = ::CreateFileW(File(L"lqsBUSY.tmp").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, busy);
    CFeedChannel list;
    FillList(list);
    ASSERT_TRUE(list.SaveMainFeeds());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(File(L"lqs1A2B.tmp").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(File(L"lqsBUSY.tmp").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(File(L"lqsJUST.tmp").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(File(L"other.tmp").c_str()));
    ::CloseHandle(busy);
}

TEST_F(FeedStoreTest, FailedStepInsideAnItemEndsOnlyThatItem)
{
    CFeedChannel channel;
    FillCache(channel);
    // The third "link" made (the channel's, the first item's, then this one) is the third item's: its title
    // stays, the rest of it is skipped.
    FailStep(L"link", 3, E_FAIL);
    ASSERT_TRUE(channel.SaveCache(File(L"c.rss").c_str(), TRUE));
    std::string bytes = ReadFileBytes(File(L"c.rss"));
    EXPECT_NE(std::string::npos,
              bytes.find("</item>\n\t<item>\n\t\t\t<title>Fresh</title>\n\t\t\t</item>\n\t</channel>"))
        << bytes;

    // An item before it is whole.
    CFeedChannel loaded;
    ASSERT_TRUE(loaded.LoadFile(File(L"c.rss").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    ASSERT_EQ(3, loaded.m_items.GetCount());
    EXPECT_EQ(L"audio/mpeg", W(loaded.m_items.GetHead()->m_strEnclosureType));
    EXPECT_EQ(FEED_STATE_READ, loaded.m_items.GetHead()->m_nReadState);
}

TEST_F(FeedStoreTest, ComErrorIsReportedAndNothingSaved)
{
    const struct
    {
        const wchar_t* step;
        HRESULT hr;
        const wchar_t* caption;
    } cases[] = {
        {L"description", static_cast<HRESULT>(0x80040205), L"IDispatch error #5"},
        {L"#save", static_cast<HRESULT>(0xA0001234), L"Unknown error 0xA0001234"},
        {L"@state", static_cast<HRESULT>(0x80040201), L"IDispatch error #1"},
    };
    std::wstring target = File(L"c.rss");
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.step));
        g_reports.clear();
        ASSERT_TRUE(WriteFileBytes(target, "previous"));
        CFeedChannel channel;
        FillCache(channel);
        FailStep(c.step, 1, c.hr, true);
        EXPECT_FALSE(channel.SaveCache(target.c_str(), FALSE));
        ASSERT_EQ(1u, g_reports.size());
        EXPECT_EQ(L"Out of room for the text", g_reports[0].text);
        EXPECT_EQ(c.caption, g_reports[0].caption);
        EXPECT_EQ("previous", ReadFileBytes(target));
        EXPECT_EQ(FEED_STATE_NEW, channel.m_items.GetTail()->m_nReadState);
        EXPECT_EQ(0, StrayTempFiles(m_folder.Path()));
    }

    // The lists report the same way.
    g_reports.clear();
    CFeedChannel list;
    FillList(list);
    FailStep(L"password", 1, E_OUTOFMEMORY, true);
    EXPECT_FALSE(list.SaveCustomFeeds());
    ASSERT_EQ(1u, g_reports.size());
    EXPECT_EQ(W(FeedStoreErrorCaption(E_OUTOFMEMORY)), g_reports[0].caption);
}

} // namespace
