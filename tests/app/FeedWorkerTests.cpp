// The feed worker's protocol, played against a window that records what it is told and the local server that
// counts how many requests it holds at once.
#include "app/FeedWorker.h"
#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/HttpFetch.h"
#include "feeds/WebAddresses.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using lqtest::HttpUrl;
using lqtest::Narrow;
using lqtest::PumpUntil;
using lqtest::TempFolder;

namespace {

const wchar_t kTestCompany[] = L"LanternquillWorkerTests";

struct Report
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool bSent;
};

// The frame's stand-in: records every message of the worker and answers the full refresh's collection.
class RecordingFrame
{
public:
    int Count(UINT message, WPARAM wParam) const
    {
        return static_cast<int>(std::count_if(m_reports.begin(), m_reports.end(), [&](const Report& r) {
            return r.message == message && r.wParam == wParam;
        }));
    }
    int CountOf(UINT message) const
    {
        return static_cast<int>(
            std::count_if(m_reports.begin(), m_reports.end(), [&](const Report& r) { return r.message == message; }));
    }

    lqtest::MessageWindow m_window{
        [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) { return Record(message, wParam, lParam); }};
    HWND m_hWnd = m_window.Handle();
    std::vector<Report> m_reports;
    std::vector<CFeedItem*> m_collect; // what a full refresh takes
    CFeedWorkerLink* m_pLink = nullptr;
    int m_busyAtEnd = -1;                   // the worker's busy flag when the refresh's end arrived
    std::vector<std::wstring> m_listTitles; // of the server's channel list handed over

private:
    bool Record(UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message < WM_APP || message > WM_APP + 20)
            return false;
        m_reports.push_back(Report{message, wParam, lParam, ::InSendMessage() != FALSE});
        if (message == WM_FEED_UPDATED && wParam == 0 && m_pLink)
            m_busyAtEnd = m_pLink->m_bUpdating;
        if (message == WM_WORKER_CHANNEL_LIST) {
            std::unique_ptr<CFeedChannel> list(reinterpret_cast<CFeedChannel*>(wParam));
            for (POSITION pos = list->m_items.GetHeadPosition(); pos;)
                m_listTitles.push_back(list->m_items.GetNext(pos)->m_strTitleText.GetString());
        }
        if (message == WM_WORKER_COLLECT) {
            auto* list = reinterpret_cast<CPtrList*>(wParam);
            for (CFeedItem* entry : m_collect)
                list->AddTail(entry);
        }
        return true;
    }
};

bool NetworkDown()
{
    return false;
}

CString g_launched;
bool RecordLaunch(const CString& address)
{
    g_launched = address;
    return true;
}

// What the server saw under one key: the most requests at once, and the feed names in arrival order.
struct Seen
{
    int most = -1;
    std::vector<std::string> order;
};

class FeedWorkerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(lqtest::HttpPort(), 0);
        m_link.m_hFrame = m_frame.m_hWnd;
        m_link.m_nChannelListCountdown = 60;
        m_frame.m_pLink = &m_link;
        static int serial = 0;
        m_key = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
    }
    void TearDown() override
    {
        StopFeedWorker(m_worker);
        m_worker = nullptr;
        g_pfnNetworkAlive = m_savedAlive;
    }

    void Start(int nMax)
    {
        m_link.m_nMaxConnections = nMax;
        m_worker = StartFeedWorker(&m_link);
        ASSERT_NE(m_worker, nullptr);
    }

    CFeedItem* Feed(const std::wstring& name, int delayMs)
    {
        auto entry = std::make_unique<CFeedItem>();
        entry->m_nKind = FEED_KIND_FEED;
        entry->m_strTitleText = name.c_str();
        entry->m_strLinkText = HttpUrl(L"/delayed/" + m_key + L"/" + std::to_wstring(delayMs) + L"/" + name).c_str();
        m_entries.push_back(std::move(entry));
        return m_entries.back().get();
    }

    void Post(UINT message, WPARAM wParam, LPARAM lParam)
    {
        ASSERT_TRUE(m_worker->PostThreadMessage(message, wParam, lParam));
    }

    void RequestList(const std::vector<CFeedItem*>& entries)
    {
        auto* list = new CPtrList;
        for (CFeedItem* entry : entries) {
            entry->m_bUpdating = true;
            list->AddTail(entry);
        }
        Post(WM_WORKER_UPDATE, reinterpret_cast<WPARAM>(list), WORKER_UPDATE_LIST);
    }

    bool WaitForEnd(int ends = 1)
    {
        return PumpUntil([&] { return m_frame.Count(WM_FEED_UPDATED, 0) >= ends; }, 30000);
    }

    Seen ServerSaw()
    {
        Seen seen;
        TempFolder folder;
        const std::wstring file = folder.File(L"seen.txt");
        if (DownloadUrlToFile(HttpUrl(L"/delayed-seen/" + m_key).c_str(), file.c_str(), nullptr, FALSE, nullptr,
                              nullptr, nullptr) != HTTP_FETCH_DONE)
            return seen;
        std::istringstream in(lqtest::ReadFileBytes(file));
        int open = 0, answered = 0;
        in >> seen.most >> open >> answered;
        std::string name;
        while (in >> name)
            seen.order.push_back(name);
        return seen;
    }

    TempFolder m_data;
    TempFolder m_temp;
    apptest::AppSandbox m_sandbox{kTestCompany, m_data, m_temp};
    RecordingFrame m_frame;
    CFeedWorkerLink m_link;
    CWinThread* m_worker = nullptr;
    std::vector<std::unique_ptr<CFeedItem>> m_entries;
    std::wstring m_key;
    PFN_NETWORK_ALIVE m_savedAlive = g_pfnNetworkAlive;
};

TEST_F(FeedWorkerTest, AtMostMaxPlusOneRunAndEachFinishedDownloadStartsOneMore)
{
    struct Case
    {
        int nMax, nFeeds, delayMs;
    };
    const Case cases[] = {{0, 4, 150}, {1, 6, 300}, {4, 10, 400}};
    for (const Case& c : cases) {
        SCOPED_TRACE("Max " + std::to_string(c.nMax));
        m_key += L"-" + std::to_wstring(c.nMax);
        Start(c.nMax);
        std::vector<CFeedItem*> feeds;
        for (int i = 0; i < c.nFeeds; ++i)
            feeds.push_back(Feed(L"f" + std::to_wstring(i), c.delayMs));
        RequestList(feeds);
        ASSERT_TRUE(WaitForEnd());

        const Seen seen = ServerSaw();
        EXPECT_EQ(seen.most, std::min(c.nMax + 1, c.nFeeds));
        ASSERT_EQ(static_cast<int>(seen.order.size()), c.nFeeds);
        if (c.nMax == 0) {
            // One at a time: the server sees them in the order they were queued.
            for (int i = 0; i < c.nFeeds; ++i)
                EXPECT_EQ(seen.order[i], "f" + std::to_string(i));
        }
        for (CFeedItem* feed : feeds) {
            EXPECT_EQ(m_frame.Count(WM_FEED_UPDATED, reinterpret_cast<WPARAM>(feed)), 1);
            EXPECT_EQ(feed->m_nDownloadResult, HTTP_FETCH_DONE);
            EXPECT_EQ(feed->m_pThread, nullptr);
            EXPECT_EQ(feed->m_dwOwnerThreadId, 0u);
        }
        // The end comes once, last, after the flag went down.
        EXPECT_EQ(m_frame.Count(WM_FEED_UPDATED, 0), 1);
        EXPECT_EQ(m_frame.m_reports.back().message, static_cast<UINT>(WM_FEED_UPDATED));
        EXPECT_EQ(m_frame.m_reports.back().wParam, 0u);
        EXPECT_EQ(m_frame.m_busyAtEnd, 0);
        StopFeedWorker(m_worker);
        m_worker = nullptr;
        m_frame.m_reports.clear();
        m_entries.clear();
    }
}

TEST(FeedWorkerMax, TheProfilesMaxIsClampedToWhatOneWaitCanWatch)
{
    const int most = MAXIMUM_WAIT_OBJECTS - 2;
    const struct
    {
        int stored, taken;
    } cases[] = {
        {4, 4}, {0, 0}, {most, most}, {most + 1, most}, {100000, most}, {-1, most}, {INT_MIN, most},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClampMaxConnections(c.stored), c.taken) << c.stored;
}

// A hand-edited Max (0x80000000 reads back negative, or far above what one wait watches) still runs every
// download to its end, never more at once than the wait can watch.
TEST_F(FeedWorkerTest, AMaxOutOfRangeStillEndsTheRefresh)
{
    for (int nMax : {INT_MIN, 1000}) {
        SCOPED_TRACE(nMax);
        m_key += L"-x";
        Start(nMax);
        std::vector<CFeedItem*> feeds;
        for (int i = 0; i < 70; ++i)
            feeds.push_back(Feed(L"m" + std::to_wstring(i), 300));
        RequestList(feeds);
        ASSERT_TRUE(WaitForEnd());
        const Seen seen = ServerSaw();
        EXPECT_LE(seen.most, MAXIMUM_WAIT_OBJECTS - 1);
        EXPECT_EQ(seen.order.size(), feeds.size());
        for (CFeedItem* feed : feeds)
            EXPECT_EQ(feed->m_nDownloadResult, HTTP_FETCH_DONE);
        StopFeedWorker(m_worker);
        m_worker = nullptr;
        m_frame.m_reports.clear();
        m_entries.clear();
    }
}

TEST_F(FeedWorkerTest, FullRefreshTakesWhatTheFrameCollectsInOrder)
{
    Start(0);
    m_frame.m_collect = {Feed(L"custom1", 0), Feed(L"main1", 0), Feed(L"main2", 0)};
    Post(WM_WORKER_UPDATE, 0, WORKER_UPDATE_ALL);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(m_frame.CountOf(WM_WORKER_COLLECT), 1);
    const Seen seen = ServerSaw();
    EXPECT_EQ(seen.order, (std::vector<std::string>{"custom1", "main1", "main2"}));
}

TEST_F(FeedWorkerTest, ARequestWithNothingToFetchStillEnds)
{
    Start(4);
    Post(WM_WORKER_UPDATE, 0, WORKER_UPDATE_ALL);
    ASSERT_TRUE(WaitForEnd());
    Post(WM_WORKER_UPDATE, 0, WORKER_UPDATE_NOTHING);
    ASSERT_TRUE(WaitForEnd(2));
    // The start-only request's end is sent: the frame has it before the worker goes on.
    EXPECT_TRUE(m_frame.m_reports.back().bSent);
    EXPECT_EQ(m_link.m_bUpdating, 0);
}

TEST_F(FeedWorkerTest, StopDropsWaitingJobsEndsRunningOnesAndReportsOnce)
{
    Start(0);
    std::vector<CFeedItem*> feeds;
    for (int i = 0; i < 5; ++i)
        feeds.push_back(Feed(L"s" + std::to_wstring(i), 20000));
    RequestList(feeds);
    Post(WM_WORKER_STOP, 0, 0);
    // A later request is answered only after the stop is done with: its end marks how far to look.
    Post(WM_WORKER_UPDATE, 0, WORKER_UPDATE_NOTHING);
    ASSERT_TRUE(WaitForEnd());
    lqtest::PumpPending();

    EXPECT_EQ(m_frame.Count(WM_FRAME_EVENT, 0), 1);
    for (CFeedItem* feed : feeds) {
        EXPECT_EQ(m_frame.Count(WM_FEED_UPDATED, reinterpret_cast<WPARAM>(feed)), 0);
        EXPECT_EQ(feed->m_pThread, nullptr);
    }
    // Only the running download ever reached the server; the waiting ones never ran.
    EXPECT_LE(ServerSaw().order.size(), 1u);
    EXPECT_EQ(m_link.m_bUpdating, 0);

    // The worker takes work again after a stop.
    RequestList({Feed(L"after", 0)});
    ASSERT_TRUE(WaitForEnd(2));
    EXPECT_EQ(m_frame.Count(WM_FEED_UPDATED, reinterpret_cast<WPARAM>(m_entries.back().get())), 1);
}

TEST_F(FeedWorkerTest, OfflineRequestIsDroppedAndItsEntriesGiveBack)
{
    g_pfnNetworkAlive = NetworkDown;
    Start(4);
    CFeedItem* one = Feed(L"one", 0);
    CFeedItem* two = Feed(L"two", 0);
    RequestList({one, two});
    Post(WM_WORKER_UPDATE, reinterpret_cast<WPARAM>(Feed(L"three", 0)), WORKER_UPDATE_ONE);
    ASSERT_TRUE(PumpUntil([&] { return m_frame.CountOf(WM_WORKER_DROPPED) == 3; }));
    EXPECT_EQ(m_frame.Count(WM_FRAME_EVENT, FRAME_EVENT_OFFLINE), 2);
    EXPECT_EQ(m_frame.CountOf(WM_FEED_UPDATED), 0);
    EXPECT_TRUE(ServerSaw().order.empty());
}

TEST_F(FeedWorkerTest, EnclosureJobReportsApartAndNeverEndsARefresh)
{
    lqtest::ExpectModal modal(20000);
    Start(4);
    TempFolder target;
    auto job = std::make_unique<CFeedItem>();
    job->m_strEnclosureUrl = HttpUrl(L"/text/300").c_str();
    job->m_strEnclosureFile = target.File(L"episode.mp3").c_str();
    CFeedItem* feed = Feed(L"withjob", 300);

    Post(WM_WORKER_DOWNLOAD_ENCLOSURE, reinterpret_cast<WPARAM>(job.get()), 0);
    RequestList({feed});
    ASSERT_TRUE(PumpUntil([&] { return m_frame.Count(WM_FRAME_EVENT, FRAME_EVENT_ENCLOSURE_DONE) == 1; }, 30000));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(m_frame.Count(WM_FEED_UPDATED, reinterpret_cast<WPARAM>(job.get())), 0);
    EXPECT_EQ(m_frame.Count(WM_FEED_UPDATED, reinterpret_cast<WPARAM>(feed)), 1);
    EXPECT_EQ(job->m_nEnclosureState, 1);
    EXPECT_EQ(lqtest::ReadFileBytes(target.File(L"episode.mp3")).size(), 300u);

    // An enclosure job alone is no refresh: no end is reported for it.
    job->m_nEnclosureState = 0;
    ASSERT_TRUE(::DeleteFileW(target.File(L"episode.mp3").c_str()));
    Post(WM_WORKER_DOWNLOAD_ENCLOSURE, reinterpret_cast<WPARAM>(job.get()), 0);
    ASSERT_TRUE(PumpUntil([&] { return m_frame.Count(WM_FRAME_EVENT, FRAME_EVENT_ENCLOSURE_DONE) == 2; }, 30000));
    Post(WM_WORKER_UPDATE, 0, WORKER_UPDATE_NOTHING);
    ASSERT_TRUE(WaitForEnd(2));
    EXPECT_TRUE(m_frame.m_reports.back().bSent); // the second end is the start-only request's
}

TEST_F(FeedWorkerTest, ServerChannelListIsFetchedFirstWhenDueAndHandedToTheFrame)
{
    lstrcpynW(theApp.m_settings.szMainLink, HttpUrl(L"/files/app/net/channels.xml").c_str(), 512);
    m_link.m_nChannelListPeriod = 60;
    Start(4);
    // Not due: a one-channel request fetches only its channel.
    m_link.m_nChannelListCountdown = 5;
    CFeedItem* first = Feed(L"first", 0);
    first->m_bUpdating = true;
    Post(WM_WORKER_UPDATE, reinterpret_cast<WPARAM>(first), WORKER_UPDATE_ONE);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(m_frame.CountOf(WM_WORKER_CHANNEL_LIST), 0);

    // Due: the list comes before the channel's download, and the countdown starts again.
    m_link.m_nChannelListCountdown = 1;
    CFeedItem* second = Feed(L"second", 0);
    second->m_bUpdating = true;
    Post(WM_WORKER_UPDATE, reinterpret_cast<WPARAM>(second), WORKER_UPDATE_ONE);
    ASSERT_TRUE(WaitForEnd(2));
    EXPECT_EQ(m_link.m_nChannelListCountdown, 60);
    EXPECT_EQ(m_frame.m_listTitles, (std::vector<std::wstring>{L"Harbour news", L"Find"}));
    const auto indexOf = [&](UINT message, const CFeedItem* entry) {
        return std::find_if(m_frame.m_reports.begin(), m_frame.m_reports.end(),
                            [&](const Report& r) {
                                return r.message == message && (!entry || r.wParam == reinterpret_cast<WPARAM>(entry));
                            }) -
               m_frame.m_reports.begin();
    };
    EXPECT_LT(indexOf(WM_WORKER_CHANNEL_LIST, nullptr), indexOf(WM_FEED_UPDATED, second));
    // The installation got its id for the service, kept for the next time.
    const CString id = theApp.GetProfileString(L"", L"GUID", L"0");
    EXPECT_EQ(id.GetLength(), 36);
    EXPECT_EQ(id[8], L'-');

    // A list that does not load is not handed over.
    lstrcpynW(theApp.m_settings.szMainLink, HttpUrl(L"/text/100").c_str(), 512);
    m_link.m_nChannelListCountdown = 1;
    Post(WM_WORKER_UPDATE, 0, WORKER_UPDATE_NOTHING);
    ASSERT_TRUE(WaitForEnd(3));
    EXPECT_EQ(m_frame.CountOf(WM_WORKER_CHANNEL_LIST), 1);
    EXPECT_EQ(m_link.m_nChannelListCountdown, 60);
}

TEST(SearchUrl, TypedTextIsEncodedAndJoinedByQuestionMarkOrAmpersand)
{
    struct Case
    {
        const wchar_t *link, *input, *text, *url;
    };
    const Case cases[] = {
        {L"http://h/s", L"q", L"news", L"http://h/s?q=news"},
        {L"http://h/s?lang=en", L"q", L"news", L"http://h/s?lang=en&q=news"},
        {L"http://h/s", L"q", L"a b&c=d#e", L"http://h/s?q=a%20b%26c%3Dd%23e"},
        {L"http://h/s", L"term", L"\u00e9t\u00e9 \u20ac", L"http://h/s?term=%C3%A9t%C3%A9%20%E2%82%AC"},
        {L"http://h/s", L"q", L"", L"http://h/s?q="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.url));
        EXPECT_STREQ(BuildSearchUrl(c.link, c.input, c.text).GetString(), c.url);
    }
}

TEST_F(FeedWorkerTest, SearchInBringsAResultPageAndSearchOutOpensTheEncodedAddress)
{
    Start(4);
    m_link.SetSearchText(L"a b&c");
    CFeedItem searchIn;
    searchIn.m_nKind = FEED_KIND_SEARCH_IN;
    searchIn.m_strLinkText = HttpUrl(L"/search-feed?x=1").c_str();
    searchIn.m_strInput = L"q";
    Post(WM_WORKER_SEARCH, reinterpret_cast<WPARAM>(&searchIn), 0);
    ASSERT_TRUE(PumpUntil([&] { return m_frame.CountOf(WM_FRAME_EVENT) == 1; }));
    const Report& report = m_frame.m_reports.back();
    ASSERT_EQ(report.wParam, static_cast<WPARAM>(FRAME_EVENT_SEARCH_DONE));
    EXPECT_TRUE(report.bSent);
    std::unique_ptr<CFeedItem> result(reinterpret_cast<CFeedItem*>(report.lParam));
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->m_nKind, FEED_KIND_SEARCH_RESULT);
    EXPECT_EQ(result->m_pLinkedItem, &searchIn);
    EXPECT_STREQ(result->m_strTitleText.GetString(), L"Search Result for: \"a b&c\"");
    ASSERT_NE(result->m_pChannel, nullptr);
    // The server's page is titled with the query it received.
    EXPECT_STREQ(result->m_pChannel->m_info.m_strTitle.GetString(), L"x=1&q=a%20b%26c");

    const BrowserLauncher saved = SetBrowserLauncher(RecordLaunch);
    CFeedItem searchOut;
    searchOut.m_nKind = FEED_KIND_SEARCH_OUT;
    searchOut.m_strLinkText = L"http://search.example/find";
    searchOut.m_strInput = L"for";
    m_link.SetSearchText(L"x#y");
    Post(WM_WORKER_SEARCH, reinterpret_cast<WPARAM>(&searchOut), 0);
    const bool answered = PumpUntil([&] { return m_frame.CountOf(WM_FRAME_EVENT) == 2; });
    SetBrowserLauncher(saved);
    ASSERT_TRUE(answered);
    EXPECT_EQ(m_frame.m_reports.back().lParam, 0);
    EXPECT_STREQ(g_launched.GetString(), L"http://search.example/find?for=x%23y");
    EXPECT_EQ(m_link.m_bUpdating, 0);
}

TEST_F(FeedWorkerTest, FailedSearchReportsNothingAndClearsTheFlag)
{
    Start(4);
    m_link.SetSearchText(L"x");
    CFeedItem searchIn;
    searchIn.m_nKind = FEED_KIND_SEARCH_IN;
    searchIn.m_strLinkText = HttpUrl(L"/text/50").c_str(); // not a feed
    searchIn.m_strInput = L"q";
    Post(WM_WORKER_SEARCH, reinterpret_cast<WPARAM>(&searchIn), 0);
    Post(WM_WORKER_UPDATE, 0, WORKER_UPDATE_NOTHING);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(m_frame.CountOf(WM_FRAME_EVENT), 0);
    EXPECT_EQ(m_link.m_bUpdating, 0);
}

} // namespace
