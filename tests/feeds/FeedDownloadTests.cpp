// The feed download thread, run by a test that plays the feed worker, and the site-icon rules.
#include "feeds/EngineMessages.h"
#include "tests/feeds/FeedTestHost.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedDownload.h"
#include "feeds/FetchedFeeds.h"
#include "feeds/FeedItem.h"
#include "feeds/HttpFetch.h"
#include "framework/win/WinThread.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using lqtest::HttpUrl;
using lqtest::Narrow;
using lqtest::ReadFileBytes;

namespace {

// The test server's icon (FAVICON in httpserver.py) starts with this ICONDIR.
const std::string kIconHeader("\x00\x00\x01\x00\x01\x00", 6);

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A fixture file of tests/feeds/net, by its Windows path.
std::wstring FixturePath(const wchar_t* name)
{
    return lqtest::SourcePath(std::wstring(L"feeds/net/") + name);
}

std::wstring W(const CString& text)
{
    return text.GetString();
}

TEST(FeedCredentials, AccountGoesIntoTheQueryPercentEncoded)
{
    struct Case
    {
        const wchar_t *link, *account, *password, *url;
    };
    const Case cases[] = {
        {L"http://h/feed", L"ann", L"pw", L"http://h/feed?username=ann&password=pw"},
        {L"http://h/feed?id=4", L"ann", L"pw", L"http://h/feed?id=4&username=ann&password=pw"},
        {L"http://h/feed", L"", L"pw", L"http://h/feed"}, // a password alone never goes into the URL
        {L"http://h/feed", L"ann", L"", L"http://h/feed?username=ann&password="},
        {L"http://h/feed", L"a b&c", L"p#1=+?/%", L"http://h/feed?username=a%20b%26c&password=p%231%3D%2B%3F%2F%25"},
        {L"http://h/feed", L"J\u00fcrgen", L"\u20ac-._~", L"http://h/feed?username=J%C3%BCrgen&password=%E2%82%AC-._~"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.url));
        EXPECT_STREQ(AppendFeedCredentials(c.link, c.account, c.password).GetString(), c.url);
    }
}

// Plays the feed worker: owns the entries and their threads, starts them suspended, resumes them and
// collects the WM_WORKER_FEED_DONE reports from this thread's queue.
class FeedWorkerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(lqtest::HttpPort(), 0);
        m_savedData = theHost.m_strDataFolder;
        m_savedTemp = theHost.m_strTempFolder;
        theHost.m_strDataFolder = m_data.Path().c_str();
        theHost.m_strTempFolder = m_temp.Path().c_str();
        m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // this thread's queue must exist before any report
    }
    void TearDown() override
    {
        for (CFeedItem* entry : m_entries) {
            if (entry->m_pThread) {
                WaitForSingleObject(entry->m_pThread->m_hThread, 30000);
                delete entry->m_pThread;
                entry->m_pThread = nullptr;
            }
            delete entry;
        }
        CloseHandle(m_stop);
        theHost.m_strDataFolder = m_savedData;
        theHost.m_strTempFolder = m_savedTemp;
    }

    CFeedItem* AddEntry(int kind, const std::wstring& link, LPCWSTR file)
    {
        CFeedItem* entry = new CFeedItem;
        entry->m_nKind = kind;
        entry->m_strLink = entry->m_strLinkText = link.c_str();
        entry->m_strFile = file;
        entry->m_hStopEvent = m_stop;
        entry->m_dwOwnerThreadId = GetCurrentThreadId();
        m_entries.push_back(entry);
        return entry;
    }

    void StartAll()
    {
        for (CFeedItem* entry : m_entries) {
            entry->m_pThread =
                AfxBeginThread(FeedRefreshThreadProc, entry, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
            ASSERT_NE(entry->m_pThread, nullptr);
            entry->m_pThread->m_bAutoDelete = FALSE;
        }
        for (CFeedItem* entry : m_entries)
            entry->m_pThread->ResumeThread();
    }

    // Takes reports until every thread has ended and the queue is empty; reports[entry] = the posting ids.
    std::map<CFeedItem*, std::vector<DWORD>> CollectReports()
    {
        std::map<CFeedItem*, std::vector<DWORD>> reports;
        const lqtest::MessageHook take = [&](MSG& msg) {
            if (msg.hwnd != nullptr || msg.message != WM_WORKER_FEED_DONE)
                return false;
            reports[reinterpret_cast<CFeedItem*>(msg.wParam)].push_back(static_cast<DWORD>(msg.lParam));
            return true;
        };
        lqtest::PumpUntil(
            [&] {
                for (CFeedItem* entry : m_entries)
                    if (WaitForSingleObject(entry->m_pThread->m_hThread, 0) == WAIT_TIMEOUT)
                        return false;
                return true;
            },
            60000, take);
        lqtest::PumpPending(take);
        return reports;
    }

    std::wstring DataFile(const std::wstring& name) const { return m_data.File(name); }

    lqtest::TempFolder m_data;
    lqtest::TempFolder m_temp;
    CString m_savedData, m_savedTemp;
    HANDLE m_stop = nullptr;
    std::vector<CFeedItem*> m_entries;
};

TEST_F(FeedWorkerTest, EachEntryReportsOnceWithItsResult)
{
    const COleDateTime before = COleDateTime::GetCurrentTime();
    CFeedItem* fetched = AddEntry(FEED_KIND_FEED, HttpUrl(L"/files/feeds/net/feed.xml"), L"Fetched");
    CFeedItem* missing = AddEntry(FEED_KIND_FEED, HttpUrl(L"/status/404"), L"Missing");
    missing->m_strDownloadFile = L"previous";
    CFeedItem* unchanged = AddEntry(FEED_KIND_FEED, HttpUrl(L"/status/304"), L"Unchanged");
    unchanged->m_strDownloadFile = L"previous";
    unchanged->m_bUpdateFailed = true;
    unchanged->m_strImageText = HttpUrl(L"/status/404").c_str(); // an icon that cannot be had
    CFeedItem* query = AddEntry(FEED_KIND_FEED, HttpUrl(L"/query-feed"), L"Query");
    query->m_strAccountName = L"user name";
    query->m_strPassword = L"p&ss#1";
    query->m_bHttpAuth = false;
    CFeedItem* basicOnly = AddEntry(FEED_KIND_FEED, HttpUrl(L"/challenge/basic"), L"BasicOnly");
    basicOnly->m_strPassword = L"secret"; // no account name: Basic credentials only, no query
    CFeedItem* account = AddEntry(FEED_KIND_FEED, HttpUrl(L"/basic-feed/reader/secret/Account"), L"Account");
    account->m_strAccountName = L"reader";
    account->m_strPassword = L"secret";
    CFeedItem* silent = AddEntry(FEED_KIND_FEED, HttpUrl(L"/text/10"), L"Silent");
    silent->m_dwOwnerThreadId = 0; // reports to nobody
    CFeedItem* search = AddEntry(FEED_KIND_SEARCH_IN, HttpUrl(L"/text/10"), L"Search");
    search->m_strImageText = L"http://example.org/icon.png";

    StartAll();
    auto reports = CollectReports();

    for (CFeedItem* entry : m_entries) {
        SCOPED_TRACE(Narrow(W(entry->m_strFile)));
        if (entry == silent) {
            EXPECT_EQ(reports.count(entry), 0u);
            continue;
        }
        ASSERT_EQ(reports[entry].size(), 1u);
        EXPECT_EQ(reports[entry][0], entry->m_pThread->m_nThreadID);
    }
    EXPECT_EQ(reports.size(), m_entries.size() - 1);

    EXPECT_EQ(fetched->m_nDownloadResult, HTTP_FETCH_DONE);
    EXPECT_FALSE(fetched->m_bUpdateFailed);
    // The platform takes the first three letters of the "tmdf" prefix.
    EXPECT_EQ(fetched->m_strDownloadFile.Left(static_cast<int>(m_temp.Path().size()) + 4)
                  .CompareNoCase((m_temp.Path() + L"\\tmd").c_str()),
              0)
        << Narrow(W(fetched->m_strDownloadFile));
    // Read on the download's thread, and the file gone with it.
    EXPECT_FALSE(Exists(W(fetched->m_strDownloadFile)));
    CFeedChannel expected;
    ASSERT_TRUE(expected.LoadFile(FixturePath(L"feed.xml").c_str(), nullptr, CFeedChannel::LOAD_FEED));
    std::unique_ptr<CFeedChannel> read(TakeFetchedChannel(fetched));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(TakeFetchedChannel(fetched), nullptr) << "taken once";
    EXPECT_EQ(W(read->m_info.m_strTitle), W(expected.m_info.m_strTitle));
    ASSERT_EQ(read->m_items.GetCount(), expected.m_items.GetCount());
    EXPECT_EQ(W(read->m_items.GetHead()->m_strLinkText), W(expected.m_items.GetHead()->m_strLinkText));
    EXPECT_EQ(fetched->m_dtDate.GetStatus(), COleDateTime::valid);
    EXPECT_GE(fetched->m_dtDate, before);
    // No image URL: the site's /favicon.ico, into the entry's icon file.
    EXPECT_EQ(ReadFileBytes(DataFile(L"Fetched.ico")).substr(0, 6), kIconHeader);
    EXPECT_EQ(fetched->m_nImageIndex, -1);

    EXPECT_EQ(missing->m_nDownloadResult, HTTP_FETCH_FAILED);
    EXPECT_TRUE(missing->m_bUpdateFailed);
    EXPECT_STREQ(missing->m_strDownloadFile.GetString(), L"previous");
    EXPECT_EQ(missing->m_dtDate.GetStatus(), COleDateTime::null);
    EXPECT_TRUE(Exists(DataFile(L"Missing.ico"))); // the icon is fetched after a failed feed too

    EXPECT_EQ(unchanged->m_nDownloadResult, HTTP_FETCH_NOT_MODIFIED);
    EXPECT_FALSE(unchanged->m_bUpdateFailed);
    EXPECT_STREQ(unchanged->m_strDownloadFile.GetString(), L"previous");
    EXPECT_GE(unchanged->m_dtDate, before);
    EXPECT_EQ(unchanged->m_nImageIndex, 0);
    EXPECT_FALSE(Exists(DataFile(L"Unchanged.ico")));

    // The feeds below are titled with what the server was asked with.
    const auto titleOf = [](const CFeedItem* entry) {
        std::unique_ptr<CFeedChannel> read(TakeFetchedChannel(entry));
        return read ? W(read->m_info.m_strTitle) : std::wstring(L"(none)");
    };
    EXPECT_EQ(query->m_nDownloadResult, HTTP_FETCH_DONE);
    EXPECT_EQ(titleOf(query), L"username=user%20name&password=p%26ss%231");

    EXPECT_EQ(basicOnly->m_nDownloadResult, HTTP_FETCH_DONE);
    EXPECT_EQ(titleOf(basicOnly), L"Basic OnNlY3JldA=="); // ":secret"

    EXPECT_EQ(account->m_nDownloadResult, HTTP_FETCH_DONE);
    EXPECT_EQ(titleOf(account), L"Account");
    // A body that is no feed was fetched, but the refresh failed and the channel keeps what it had.
    EXPECT_EQ(silent->m_nDownloadResult, HTTP_FETCH_DONE);
    EXPECT_TRUE(silent->m_bUpdateFailed);
    EXPECT_EQ(TakeFetchedChannel(silent), nullptr);

    // Other kinds fetch nothing and lose their image URL.
    EXPECT_TRUE(search->m_strDownloadFile.IsEmpty());
    EXPECT_TRUE(search->m_strImageText.IsEmpty());
}

TEST_F(FeedWorkerTest, StopEndsThreadsWithoutAReport)
{
    CFeedItem* slow = AddEntry(FEED_KIND_FEED, HttpUrl(L"/slow/6400/50"), L"Slow");
    slow->m_strDownloadFile = L"previous";
    StartAll();
    // Stop once the body has begun to arrive in a temporary file.
    const bool receiving = lqtest::PumpUntil([&] {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((m_temp.Path() + L"\\tmd*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        FindClose(find);
        return !ReadFileBytes(m_temp.File(data.cFileName)).empty();
    });
    SetEvent(m_stop);
    ASSERT_TRUE(receiving);
    auto reports = CollectReports();
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(slow->m_nDownloadResult, HTTP_FETCH_STOPPED);
    EXPECT_STREQ(slow->m_strDownloadFile.GetString(), L"previous");
    EXPECT_FALSE(Exists(DataFile(L"Slow.ico")));
}

TEST_F(FeedWorkerTest, StopRaisedBeforeTheFetchEndsAtOnce)
{
    SetEvent(m_stop);
    CFeedItem* first = AddEntry(FEED_KIND_FEED, HttpUrl(L"/text/10"), L"First");
    CFeedItem* second = AddEntry(FEED_KIND_FEED, HttpUrl(L"/text/10"), L"Second");
    first->m_nDownloadResult = -1;
    second->m_nDownloadResult = -1;
    StartAll();
    auto reports = CollectReports();
    EXPECT_TRUE(reports.empty());
    for (CFeedItem* entry : {first, second}) {
        EXPECT_EQ(entry->m_nDownloadResult, -1);
        EXPECT_TRUE(entry->m_strDownloadFile.IsEmpty());
    }
    EXPECT_FALSE(Exists(DataFile(L"First.ico")));
}

TEST_F(FeedWorkerTest, AWorkerThatHasEndedIsNotWaitedForForever)
{
    // The ended thread's handle stays open, so that its id cannot name another thread meanwhile.
    HANDLE ended = CreateThread(
        nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
    ASSERT_NE(ended, nullptr);
    ASSERT_EQ(WaitForSingleObject(ended, 10000), WAIT_OBJECT_0);
    CFeedItem* entry = AddEntry(FEED_KIND_FEED, HttpUrl(L"/text/10"), L"Orphan");
    entry->m_dwOwnerThreadId = GetThreadId(ended);
    StartAll();
    CollectReports();
    EXPECT_EQ(WaitForSingleObject(entry->m_pThread->m_hThread, 0), WAIT_OBJECT_0);
    EXPECT_EQ(entry->m_nDownloadResult, HTTP_FETCH_DONE);
    CloseHandle(ended);
}

TEST_F(FeedWorkerTest, EnclosureJobsKeepAPartialFileForALaterResume)
{
    // Each job runs the download dialog on its own thread. A partial file (state 2) is resumed; an existing file
    // otherwise brings the replace question and a failure its message, both closed here as a user would
    // dismiss them.
    const std::string line = "Lanternquill test body 0123456789.\n";
    std::string body;
    while (body.size() < 100)
        body += line;
    body.resize(100);
    struct Case
    {
        const wchar_t* path;
        int state;
        const char* held; // file content before, or null for no file
        int stateAfter;
        const char* after; // file content after, or null for no file
    };
    const std::string resumed = "0123456789" + body.substr(10);
    const Case cases[] = {
        {L"/text/100", 2, "0123456789", 1, resumed.c_str()}, {L"/text/100", 2, nullptr, 1, body.c_str()},
        {L"/text/100", 0, "partial", 2, "partial"},          {L"/status/404", 0, nullptr, 0, nullptr},
        {L"/truncated/100/40", 0, nullptr, 2, nullptr},
    };
    lqtest::ExpectModal boxes(3000);
    std::vector<CFeedItem*> jobs;
    int n = 0;
    for (const Case& c : cases) {
        const std::wstring file = m_data.File(L"enclosure" + std::to_wstring(n++) + L".mp3");
        if (c.held) {
            ASSERT_TRUE(lqtest::WriteFileBytes(file, c.held));
        }
        CFeedItem* job = AddEntry(FEED_KIND_ITEM, L"", L"");
        job->m_bEnclosureJob = true;
        job->m_strEnclosureUrl = HttpUrl(c.path).c_str();
        job->m_strEnclosureFile = file.c_str();
        job->m_nEnclosureState = c.state;
        jobs.push_back(job);
    }
    StartAll();
    auto reports = CollectReports();
    for (size_t i = 0; i < jobs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(reports[jobs[i]].size(), 1u);
        EXPECT_EQ(jobs[i]->m_nEnclosureState, cases[i].stateAfter);
        const std::wstring file = W(jobs[i]->m_strEnclosureFile);
        if (cases[i].after) {
            EXPECT_EQ(ReadFileBytes(file), cases[i].after);
        } else if (cases[i].stateAfter == 0) {
            EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
        }
    }
    // A body cut short stays for a later resume.
    EXPECT_EQ(ReadFileBytes(W(jobs[4]->m_strEnclosureFile)), body.substr(0, 40));
}

// Whatever becomes of a download, its temporary file (up to 32 MB) is gone when its thread ends: read into the
// entry, refused as no feed, failed, or stopped half-way.
TEST_F(FeedWorkerTest, EveryOutcomeRemovesItsTemporaryFile)
{
    const struct
    {
        const wchar_t* path;
        int result; // -1: stopped, no report
        bool failed;
        bool loaded;
    } cases[] = {
        {L"/files/feeds/net/feed.xml", HTTP_FETCH_DONE, false, true}, {L"/text/300", HTTP_FETCH_DONE, true, false},
        {L"/truncated/900/100", HTTP_FETCH_FAILED, true, false},      {L"/status/500", HTTP_FETCH_FAILED, true, false},
        {L"/status/304", HTTP_FETCH_NOT_MODIFIED, false, false},      {L"/slow/4000/200", -1, false, false},
    };
    std::vector<CFeedItem*> entries;
    int n = 0;
    for (const auto& c : cases) {
        CFeedItem* entry = AddEntry(FEED_KIND_FEED, HttpUrl(c.path), (L"Temp" + std::to_wstring(n++)).c_str());
        ASSERT_TRUE(lqtest::WriteFileBytes(DataFile(W(entry->m_strFile) + L".ico"), "icon"));
        entries.push_back(entry);
    }
    StartAll();
    // The slow one is stopped once every other has reported.
    std::map<CFeedItem*, int> reported;
    const lqtest::MessageHook take = [&](MSG& msg) {
        if (msg.hwnd != nullptr || msg.message != WM_WORKER_FEED_DONE)
            return false;
        ++reported[reinterpret_cast<CFeedItem*>(msg.wParam)];
        return true;
    };
    EXPECT_TRUE(lqtest::PumpUntil([&] { return reported.size() == entries.size() - 1; }, 30000, take));
    SetEvent(m_stop);
    auto reports = CollectReports();
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(Narrow(cases[i].path));
        if (cases[i].result < 0) {
            EXPECT_EQ(reported.count(entries[i]) + reports.count(entries[i]), 0u);
            continue;
        }
        EXPECT_EQ(entries[i]->m_nDownloadResult, cases[i].result);
        EXPECT_EQ(entries[i]->m_bUpdateFailed, cases[i].failed);
        std::unique_ptr<CFeedChannel> read(TakeFetchedChannel(entries[i]));
        EXPECT_EQ(read != nullptr, cases[i].loaded);
    }
    std::vector<std::wstring> left;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((m_temp.Path() + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                left.push_back(data.cFileName);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    EXPECT_TRUE(left.empty()) << Narrow(left.empty() ? L"" : left[0]);
}

// ---- Site icons

using FaviconTest = FeedWorkerTest;

TEST_F(FaviconTest, AnExistingIconSuppressesTheFetch)
{
    CFeedItem* entry = AddEntry(FEED_KIND_FEED, HttpUrl(L"/text/10"), L"Known");
    ASSERT_TRUE(lqtest::WriteFileBytes(DataFile(L"Known.ico"), "old icon"));
    entry->m_strImageText = HttpUrl(L"/favicon.ico").c_str();
    EXPECT_TRUE(DownloadFavicon(entry));
    EXPECT_EQ(ReadFileBytes(DataFile(L"Known.ico")), "old icon");
}

TEST_F(FaviconTest, TheImageUrlWinsOverTheSitesIcon)
{
    CFeedItem* entry = AddEntry(FEED_KIND_FEED, L"http://127.0.0.1:1/unreachable.xml", L"Image");
    entry->m_strImageText = HttpUrl(L"/text/40").c_str();
    EXPECT_TRUE(DownloadFavicon(entry));
    EXPECT_EQ(ReadFileBytes(DataFile(L"Image.ico")).size(), 40u);
    EXPECT_EQ(entry->m_nImageIndex, -1);

    // Without one, the link's host (with its port) is asked for /favicon.ico over HTTP.
    CFeedItem* site = AddEntry(FEED_KIND_FEED, HttpUrl(L"/files/feeds/net/feed.xml?x=1"), L"Site");
    EXPECT_TRUE(DownloadFavicon(site));
    EXPECT_EQ(ReadFileBytes(DataFile(L"Site.ico")).substr(0, 6), kIconHeader);
}

// A cut-off icon left in the data folder would count as fetched for good.
TEST_F(FaviconTest, ACutOffIconLeavesNoFileAndIsFetchedAgainLater)
{
    CFeedItem* entry = AddEntry(FEED_KIND_FEED, HttpUrl(L"/text/10"), L"Cut");
    entry->m_strImageText = HttpUrl(L"/truncated/900/100").c_str();
    EXPECT_FALSE(DownloadFavicon(entry));
    EXPECT_FALSE(Exists(DataFile(L"Cut.ico")));
    EXPECT_EQ(entry->m_nImageIndex, 0);

    entry->m_strImageText = HttpUrl(L"/favicon.ico").c_str();
    EXPECT_TRUE(DownloadFavicon(entry));
    EXPECT_EQ(ReadFileBytes(DataFile(L"Cut.ico")).substr(0, 6), kIconHeader);
}

TEST_F(FaviconTest, IconsAreNeverWrittenOutsideTheDataFolder)
{
    for (const wchar_t* file : {L"..\\outside", L"C:\\outside", L"sub\\name", L""}) {
        SCOPED_TRACE(Narrow(file));
        CFeedItem* entry = AddEntry(FEED_KIND_FEED, HttpUrl(L"/text/10"), file);
        entry->m_strImageText = HttpUrl(L"/favicon.ico").c_str();
        EXPECT_FALSE(DownloadFavicon(entry));
        EXPECT_EQ(entry->m_nImageIndex, 0);
    }
    const std::wstring parent = m_data.Path().substr(0, m_data.Path().rfind(L'\\'));
    EXPECT_FALSE(Exists(parent + L"\\outside.ico"));

    // A Notice's page must lie inside the data folder too.
    CFeedItem* notice = AddEntry(FEED_KIND_NOTICE, L"", (parent + L"\\notice-outside.htm").c_str());
    notice->m_strImageText = HttpUrl(L"/favicon.ico").c_str();
    EXPECT_FALSE(DownloadFavicon(notice));
    EXPECT_FALSE(Exists(parent + L"\\notice-outside.htm"));
}

TEST_F(FaviconTest, NoticeImageBecomesTheNoticesIconFile)
{
    CFeedItem* notice = AddEntry(FEED_KIND_NOTICE, L"", L"");
    notice->m_strTitleText = L"Notice: today";
    notice->m_strImageText = HttpUrl(L"/favicon.ico").c_str();
    EXPECT_TRUE(DownloadFavicon(notice));
    EXPECT_STREQ(notice->m_strFile.GetString(), L"Notice_ today");
    EXPECT_EQ(ReadFileBytes(DataFile(L"Notice_ today")).substr(0, 6), kIconHeader);

    // A failed fetch changes nothing; a Notice without an image fetches nothing.
    CFeedItem* failed = AddEntry(FEED_KIND_NOTICE, L"", L"");
    failed->m_strTitleText = L"Failed";
    failed->m_strImageText = HttpUrl(L"/status/404").c_str();
    EXPECT_FALSE(DownloadFavicon(failed));
    EXPECT_TRUE(failed->m_strFile.IsEmpty());
    CFeedItem* bare = AddEntry(FEED_KIND_NOTICE, L"", L"Bare");
    EXPECT_FALSE(DownloadFavicon(bare));
    EXPECT_FALSE(Exists(DataFile(L"Bare")));
}

} // namespace

// A site without an icon is asked once: the next refreshes take its answer as known for a day.
TEST_F(FaviconTest, ASiteWithoutAnIconIsNotAskedAgainAtTheNextRefresh)
{
    const std::wstring key = L"icon-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
    CFeedItem* entry = AddEntry(FEED_KIND_FEED, HttpUrl(L"/text/10"), L"NoIcon");
    entry->m_strImageText = HttpUrl((L"/conn/" + key + L"/icon/404").c_str()).c_str();
    for (int refresh = 0; refresh < 3; ++refresh) {
        entry->m_nImageIndex = -1;
        EXPECT_FALSE(DownloadFavicon(entry));
        EXPECT_EQ(entry->m_nImageIndex, 0);
    }
    EXPECT_FALSE(Exists(DataFile(L"NoIcon.ico")));
    const std::wstring seen = m_temp.File(L"seen.txt");
    ASSERT_EQ(DownloadUrlToFile(HttpUrl((L"/conn-seen/" + key).c_str()).c_str(), seen.c_str(), nullptr, FALSE, nullptr,
                                nullptr, nullptr),
              HTTP_FETCH_DONE);
    int connections = 0, requests = 0;
    ASSERT_EQ(sscanf(ReadFileBytes(seen).c_str(), "%d %d", &connections, &requests), 2);
    EXPECT_EQ(requests, 1);
}
