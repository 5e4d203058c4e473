// The HTTP fetch against the local test server: every result code, credentials, the proxy, stops and servers
// that misbehave.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include "tests/feeds/FeedTestHost.h"
#include "feeds/FeedChannel.h"
#include "feeds/HttpFetch.h"
#include "framework/html/HtmlNavigation.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using lqtest::HttpPort;
using lqtest::HttpUrl;
using lqtest::Narrow;
using lqtest::ReadFileBytes;

namespace {

// The test server's /text/<n> body.
std::string TextBody(size_t n)
{
    const std::string pattern = "Lanternquill test body 0123456789.\n";
    std::string body;
    while (body.size() < n)
        body += pattern;
    return body.substr(0, n);
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names in a folder, to show that a fetch wrote nothing beside its target.
std::vector<std::wstring> FolderNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L".."))
            names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

class HttpFetchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(HttpPort(), 0) << "no local HTTP server";
        m_saved = theHost.m_settings;
        m_target = m_folder.File(L"target.bin");
    }
    void TearDown() override { theHost.m_settings = m_saved; }

    int Fetch(const std::wstring& url, HANDLE stop = nullptr, BOOL credentials = FALSE, LPCWSTR user = nullptr,
              LPCWSTR password = nullptr)
    {
        return DownloadUrlToFile(url.c_str(), m_target.c_str(), nullptr, credentials, user, password, stop);
    }

    void UseProxy(LPCWSTR user, LPCWSTR password)
    {
        theHost.m_settings.nProxyMode = 3;
        lstrcpynW(theHost.m_settings.szProxyServer, (L"127.0.0.1:" + std::to_wstring(HttpPort())).c_str(), 100);
        lstrcpynW(theHost.m_settings.szProxyUser, user, 48);
        lstrcpynW(theHost.m_settings.szProxyPass, password, 24);
    }

    CReaderSettings m_saved;
    lqtest::TempFolder m_folder;
    std::wstring m_target;
};

struct FetchCase
{
    const wchar_t* path;
    int result;
    int bodyBytes; // the /text body expected in the file; -1: no file
};

TEST_F(HttpFetchTest, ResultCodeAndFileFollowTheStatus)
{
    const FetchCase cases[] = {
        {L"/text/3000", HTTP_FETCH_DONE, 3000}, // several blocks
        {L"/text/1024", HTTP_FETCH_DONE, 1024}, // exactly one block
        {L"/text/0", HTTP_FETCH_DONE, 0},       // an empty body still makes the file
        {L"/partial/700", HTTP_FETCH_DONE, 700},
        {L"/redirect/2", HTTP_FETCH_DONE, -2}, // "done" after two redirects
        {L"/status/304", HTTP_FETCH_NOT_MODIFIED, -1},
        {L"/status/404", HTTP_FETCH_FAILED, -1},
        {L"/status/500", HTTP_FETCH_FAILED, -1},
        {L"/status/401", HTTP_FETCH_FAILED, -1},
        {L"/status/407", HTTP_FETCH_FAILED, -1},
        {L"/basic/reader/secret/100", HTTP_FETCH_FAILED, -1}, // a challenge without credentials
    };
    for (const FetchCase& c : cases) {
        SCOPED_TRACE(Narrow(c.path));
        DeleteFileW(m_target.c_str());
        EXPECT_EQ(Fetch(HttpUrl(c.path)), c.result);
        if (c.bodyBytes == -1)
            EXPECT_FALSE(FileExists(m_target));
        else if (c.bodyBytes == -2)
            EXPECT_EQ(ReadFileBytes(m_target), "done");
        else
            EXPECT_EQ(ReadFileBytes(m_target), TextBody(static_cast<size_t>(c.bodyBytes)));
    }
}

TEST_F(HttpFetchTest, NotModifiedAndFailuresLeaveAnExistingTargetAlone)
{
    for (const wchar_t* path : {L"/status/304", L"/status/404", L"/basic/reader/secret/100"}) {
        SCOPED_TRACE(Narrow(path));
        ASSERT_TRUE(lqtest::WriteFileBytes(m_target, "kept"));
        Fetch(HttpUrl(path));
        EXPECT_EQ(ReadFileBytes(m_target), "kept");
    }
}

TEST_F(HttpFetchTest, BasicCredentialsAreSentWhenAsked)
{
    EXPECT_EQ(Fetch(HttpUrl(L"/basic/reader/secret/300"), nullptr, TRUE, L"reader", L"secret"), HTTP_FETCH_DONE);
    EXPECT_EQ(ReadFileBytes(m_target), TextBody(300));
    // Wrong credentials, and right ones with the flag clear, meet the challenge: drained, then a failure.
    EXPECT_EQ(Fetch(HttpUrl(L"/basic/reader/secret/300"), nullptr, TRUE, L"reader", L"wrong"), HTTP_FETCH_FAILED);
    EXPECT_EQ(Fetch(HttpUrl(L"/basic/reader/secret/300"), nullptr, FALSE, L"reader", L"secret"), HTTP_FETCH_FAILED);
}

TEST_F(HttpFetchTest, SendsTheBrandingsUserAgentAndAcceptsEverything)
{
    lstrcpynW(theHost.m_settings.szUserAgent, L"Lanternquill/16 (test)", 100);
    ASSERT_EQ(Fetch(HttpUrl(L"/header/User-Agent")), HTTP_FETCH_DONE);
    EXPECT_EQ(ReadFileBytes(m_target), "Lanternquill/16 (test)");
    ASSERT_EQ(Fetch(HttpUrl(L"/header/Accept")), HTTP_FETCH_DONE);
    EXPECT_EQ(ReadFileBytes(m_target), "*/*");
}

TEST_F(HttpFetchTest, NamedProxyServesAnyHostWithItsCredentials)
{
    // A made-up host: only the proxy can answer for it (loopback hosts would bypass the proxy).
    const std::wstring url = L"http://feeds.lanternquill.test/text/500";
    UseProxy(L"proxyuser", L"proxypass");
    EXPECT_EQ(Fetch(url), HTTP_FETCH_DONE);
    EXPECT_EQ(ReadFileBytes(m_target), TextBody(500));

    UseProxy(L"proxyuser", L"wrong");
    EXPECT_EQ(Fetch(url), HTTP_FETCH_FAILED);
    // No proxy user: no proxy credentials at all, so the proxy's 407 stands.
    UseProxy(L"", L"proxypass");
    EXPECT_EQ(Fetch(url), HTTP_FETCH_FAILED);
}

// The HTML pane's page fetches (the framework's) go through the same session and proxy as every engine request.
TEST_F(HttpFetchTest, PageFetchesUseTheEnginesAgentAndProxy)
{
    UseEngineHttpForPages();
    lstrcpynW(theHost.m_settings.szUserAgent, L"Lanternquill/16 (pages)", 100);
    HtmlLoadRequest request;
    request.address = L"http://feeds.lanternquill.test/header/User-Agent";
    HtmlLoadResult result;

    UseProxy(L"proxyuser", L"proxypass");
    HtmlFetchHttp(request, result);
    EXPECT_EQ(result.status, 200u);
    EXPECT_EQ(result.bytes, "Lanternquill/16 (pages)");

    UseProxy(L"proxyuser", L"wrong");
    HtmlFetchHttp(request, result);
    EXPECT_EQ(result.status, 407u);
    HtmlSetHttpHooks(HtmlHttpHooks());
}

TEST_F(HttpFetchTest, OtherProxyModesUseThePlatformsConfiguration)
{
    theHost.m_settings.nProxyMode = 1;
    lstrcpynW(theHost.m_settings.szProxyServer, L"127.0.0.1:1", 100);
    EXPECT_EQ(Fetch(HttpUrl(L"/text/10")), HTTP_FETCH_DONE);
}

TEST_F(HttpFetchTest, UrlsThatCannotBeFetchedFail)
{
    for (const wchar_t* url : {L"", L"not a url", L"ftp://127.0.0.1/file", L"http://127.0.0.1:1/refused"}) {
        SCOPED_TRACE(Narrow(url));
        EXPECT_EQ(Fetch(url), HTTP_FETCH_FAILED);
        EXPECT_FALSE(FileExists(m_target));
    }
}

TEST_F(HttpFetchTest, StopEventRaisedBeforeStopsWithoutAFile)
{
    HANDLE stop = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(Fetch(HttpUrl(L"/text/100"), stop), HTTP_FETCH_STOPPED);
    EXPECT_FALSE(FileExists(m_target));
    // Not even a refused connection is tried.
    EXPECT_EQ(Fetch(L"http://127.0.0.1:1/refused", stop), HTTP_FETCH_STOPPED);
    CloseHandle(stop);
}

TEST_F(HttpFetchTest, StopEventRaisedDuringASlowBodyKeepsThePartialFile)
{
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    int result = -1;
    const std::wstring url = HttpUrl(L"/slow/6400/50"); // 100 blocks of 64 bytes, 5 s in all
    std::thread fetcher([&] { result = Fetch(url, stop); });
    // Stop once some of the body has arrived.
    bool started = lqtest::PumpUntil([&] { return !ReadFileBytes(m_target).empty(); }, 10000);
    SetEvent(stop);
    fetcher.join();
    CloseHandle(stop);
    ASSERT_TRUE(started);
    EXPECT_EQ(result, HTTP_FETCH_STOPPED);
    const std::string partial = ReadFileBytes(m_target);
    EXPECT_LT(partial.size(), 6400u);
    EXPECT_EQ(partial, TextBody(partial.size()));

    // The abandoned body must not reach the next fetches from the same server.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Fetch(HttpUrl(L"/status/304")), HTTP_FETCH_NOT_MODIFIED);
        EXPECT_EQ(Fetch(HttpUrl(L"/text/100")), HTTP_FETCH_DONE);
        EXPECT_EQ(ReadFileBytes(m_target), TextBody(100));
    }
}

TEST_F(HttpFetchTest, WithoutAStopEventTheSlowBodyRunsToTheEnd)
{
    EXPECT_EQ(Fetch(HttpUrl(L"/slow/640/10")), HTTP_FETCH_DONE);
    EXPECT_EQ(ReadFileBytes(m_target), TextBody(640));
}

// Credentials typed for a feed are for its own origin, and only once it asks for them: the server echoes what
// reached it as Authorization.
TEST_F(HttpFetchTest, CredentialsGoOnlyToTheFeedsOwnOriginAfterAChallenge)
{
    EXPECT_EQ(Fetch(HttpUrl(L"/header/Authorization"), nullptr, TRUE, L"reader", L"secret"), HTTP_FETCH_DONE);
    EXPECT_EQ(ReadFileBytes(m_target), "");

    // Redirected to another host (the same server under another name), which then asks for credentials.
    const std::wstring port = std::to_wstring(HttpPort());
    const std::wstring elsewhere = L"/redirect-to/http%3A%2F%2Flocalhost%3A" + port + L"%2Fbasic%2Freader%2Fsecret";
    EXPECT_EQ(Fetch(HttpUrl(elsewhere.c_str()), nullptr, TRUE, L"reader", L"secret"), HTTP_FETCH_FAILED);

    // A redirect within the origin keeps them.
    const std::wstring within = L"/redirect-to/http%3A%2F%2F127.0.0.1%3A" + port + L"%2Fbasic%2Freader%2Fsecret%2F50";
    EXPECT_EQ(Fetch(HttpUrl(within.c_str()), nullptr, TRUE, L"reader", L"secret"), HTTP_FETCH_DONE);
    EXPECT_EQ(ReadFileBytes(m_target), TextBody(50));
    // Asked once, then redirected to another address of the origin that asks again.
    EXPECT_EQ(Fetch(HttpUrl(L"/basic-redirect/reader/secret/%2Fbasic%2Freader%2Fsecret%2F40"), nullptr, TRUE, L"reader",
                    L"secret"),
              HTTP_FETCH_DONE);
    EXPECT_EQ(ReadFileBytes(m_target), TextBody(40));
}

// A server that says nothing, or drips its headers, holds the platform's call for as long as it likes: a stop
// still ends the fetch for its caller at once, well before the server would have let go (20 s and more).
TEST_F(HttpFetchTest, AStopEndsAFetchStuckOnASilentOrDrippingServer)
{
    for (const wchar_t* path : {L"/silent/25000", L"/drip-headers/300"}) {
        SCOPED_TRACE(Narrow(path));
        HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::atomic<int> result{-1};
        const std::wstring url = HttpUrl(path);
        std::thread fetcher([&] { result = Fetch(url, stop); });
        // Let the request reach the server and the fetch block on it.
        EXPECT_FALSE(lqtest::PumpUntil([&] { return result != -1; }, 500));
        SetEvent(stop);
        EXPECT_TRUE(lqtest::PumpUntil([&] { return result != -1; }, 10000));
        fetcher.join();
        CloseHandle(stop);
        EXPECT_EQ(result, HTTP_FETCH_STOPPED);
        EXPECT_FALSE(FileExists(m_target));
        // The fetch's own thread lets go too, instead of waiting on the server.
        EXPECT_TRUE(lqtest::PumpUntil([] { return ActiveFetchThreads() == 0; }, 5000)) << ActiveFetchThreads();
    }
}

// Headers without end (the server goes on for 30 s) are cut off once the time-out has passed: the fetch fails,
// its thread ends, and the next fetch works.
TEST_F(HttpFetchTest, HeadersWithoutEndFailOnceTheTimeoutHasPassed)
{
    theHost.m_settings.nTimeout = 2;
    std::atomic<int> result{-1};
    std::thread fetcher([&] { result = Fetch(HttpUrl(L"/endless-headers/0")); });
    EXPECT_TRUE(lqtest::PumpUntil([&] { return result != -1; }, 15000));
    fetcher.join();
    EXPECT_EQ(result, HTTP_FETCH_FAILED);
    EXPECT_FALSE(FileExists(m_target));
    EXPECT_TRUE(lqtest::PumpUntil([] { return ActiveFetchThreads() == 0; }, 5000)) << ActiveFetchThreads();
    EXPECT_EQ(Fetch(HttpUrl(L"/text/100")), HTTP_FETCH_DONE);
}

// The platform keeps every header line it is sent until its receive times out: lines of one header, sent as fast as
// they go, grew the process by megabytes a second. The answer's head is cut at its cap long before the time-out.
TEST_F(HttpFetchTest, HeadersWithoutEndAreCutAtTheCapWithoutGrowingTheProcess)
{
    theHost.m_settings.nTimeout = 20;
    const SIZE_T before = PrivateBytes();
    SIZE_T most = before;
    std::atomic<int> result{-1};
    std::thread fetcher([&] { result = Fetch(HttpUrl(L"/endless-headers/0/same")); });
    EXPECT_TRUE(lqtest::PumpUntil(
        [&] {
            most = std::max(most, PrivateBytes());
            return result != -1;
        },
        40000));
    fetcher.join();
    EXPECT_EQ(result, HTTP_FETCH_FAILED);
    EXPECT_FALSE(FileExists(m_target));
    EXPECT_LT(most - before, SIZE_T(24) << 20) << "grew by " << ((most - before) >> 10) << " KB";
    EXPECT_TRUE(lqtest::PumpUntil([] { return ActiveFetchThreads() == 0; }, 5000)) << ActiveFetchThreads();
    EXPECT_EQ(Fetch(HttpUrl(L"/text/100")), HTTP_FETCH_DONE);
}

// A server that sends a byte at a time: a stop is seen as soon as the next byte arrives, not after a block.
TEST_F(HttpFetchTest, AStopDuringADrippingBodyIsSeenAtTheNextByte)
{
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    int result = -1;
    const std::wstring url = HttpUrl(L"/drip/600/50"); // 30 s in all
    std::thread fetcher([&] { result = Fetch(url, stop); });
    bool started = lqtest::PumpUntil([&] { return ReadFileBytes(m_target).size() >= 3; }, 10000);
    SetEvent(stop);
    fetcher.join();
    CloseHandle(stop);
    ASSERT_TRUE(started);
    EXPECT_EQ(result, HTTP_FETCH_STOPPED);
    EXPECT_LT(ReadFileBytes(m_target).size(), 100u);
}

TEST_F(HttpFetchTest, BodiesOverTheCapFail)
{
    const std::wstring over = std::to_wstring(kMaxFetchedFileBytes + 1);
    for (const std::wstring& path : {L"/text/" + over, L"/unsized/" + over}) {
        SCOPED_TRACE(Narrow(path.c_str()));
        EXPECT_EQ(Fetch(HttpUrl(path.c_str())), HTTP_FETCH_FAILED);
        if (FileExists(m_target)) {
            EXPECT_LE(ReadFileBytes(m_target).size(), kMaxFetchedFileBytes);
        }
    }
    EXPECT_EQ(Fetch(HttpUrl(L"/unsized/70000")), HTTP_FETCH_DONE);
    EXPECT_EQ(ReadFileBytes(m_target), TextBody(70000));
}

// A chunked body cut short, or with a chunk size that is not a number: where the platform says so the fetch
// fails; where it ends the body quietly, the cut-off document is refused by the loader and the channel keeps
// what it had.
TEST_F(HttpFetchTest, ACutOffChunkedFeedNeverReplacesTheChannelsItems)
{
    ASSERT_EQ(Fetch(HttpUrl(L"/chunked/whole/feeds/net/feed.xml")), HTTP_FETCH_DONE);
    CFeedChannel channel;
    ASSERT_TRUE(channel.LoadFile(m_target.c_str(), nullptr, CFeedChannel::LOAD_FEED));
    const INT_PTR items = channel.m_items.GetCount();
    ASSERT_GT(items, 0);
    const CString title = channel.m_info.m_strTitle;

    for (const wchar_t* how : {L"cut", L"bad"}) {
        SCOPED_TRACE(Narrow(how));
        DeleteFileW(m_target.c_str());
        const int result = Fetch(HttpUrl((std::wstring(L"/chunked/") + how + L"/feeds/net/feed.xml").c_str()));
        if (result == HTTP_FETCH_DONE) {
            EXPECT_FALSE(channel.LoadFile(m_target.c_str(), nullptr, CFeedChannel::LOAD_FEED));
        } else {
            EXPECT_EQ(result, HTTP_FETCH_FAILED);
        }
        EXPECT_EQ(channel.m_items.GetCount(), items);
        EXPECT_STREQ(channel.m_info.m_strTitle.GetString(), title.GetString());
    }
}

TEST_F(HttpFetchTest, MisbehavingServersFailWithoutLeavingHandlesOrStrayFiles)
{
    // Warm up, so that what the platform sets up once per process is not counted.
    Fetch(HttpUrl(L"/text/10"));
    DWORD before = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    for (const wchar_t* path : {L"/garbage", L"/truncated/5000/100", L"/redirect-loop", L"/silent/500"}) {
        SCOPED_TRACE(Narrow(path));
        DeleteFileW(m_target.c_str());
        EXPECT_EQ(Fetch(HttpUrl(path)), HTTP_FETCH_FAILED);
        for (const std::wstring& name : FolderNames(m_folder.Path())) {
            EXPECT_EQ(name, L"target.bin");
        }
        if (FileExists(m_target)) {
            EXPECT_LT(ReadFileBytes(m_target).size(), 5000u);
        }
    }
    // A body longer than announced: the platform either stops at the announced length, which makes a
    // complete body, or hands over the excess, which fails; the excess never reaches the file.
    for (int i = 0; i < 5; ++i) {
        DeleteFileW(m_target.c_str());
        const int result = Fetch(HttpUrl(L"/oversized/100/5000"));
        if (result == HTTP_FETCH_DONE) {
            EXPECT_EQ(ReadFileBytes(m_target), TextBody(100));
        } else {
            EXPECT_EQ(result, HTTP_FETCH_FAILED);
            EXPECT_LE(ReadFileBytes(m_target).size(), 100u);
        }
        // Whatever the misbehaving answer left on its connection must not reach the next fetch.
        EXPECT_EQ(Fetch(HttpUrl(L"/status/304")), HTTP_FETCH_NOT_MODIFIED);
        EXPECT_EQ(Fetch(HttpUrl(L"/text/100")), HTTP_FETCH_DONE);
    }
    DWORD after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_LE(after, before);
}

TEST(HttpUrlParts, HostPortAndObjectComeApart)
{
    struct Case
    {
        const wchar_t* url;
        const wchar_t* host;
        int port;
        const wchar_t* object;
        bool secure;
    };
    const Case cases[] = {
        {L"http://127.0.0.1:8080/feed.xml?a=1&b=2", L"127.0.0.1", 8080, L"/feed.xml?a=1&b=2", false},
        {L"https://example.org/rss", L"example.org", 443, L"/rss", true},
        {L"http://example.org", L"example.org", 80, L"/", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.url));
        CHttpUrlParts parts;
        ASSERT_TRUE(CrackHttpUrl(c.url, parts));
        EXPECT_STREQ(parts.strHost.GetString(), c.host);
        EXPECT_EQ(parts.nPort, c.port);
        EXPECT_STREQ(parts.strObject.GetString(), c.object);
        EXPECT_EQ(parts.bSecure, c.secure);
    }
}

} // namespace

namespace {

// The settings page counts seconds; the value before the profile is read is in milliseconds.
TEST(HttpTimeouts, TheConnectionTimeoutReadsInSecondsOrMilliseconds)
{
    const int saved = theHost.m_settings.nTimeout;
    const struct
    {
        int setting;
        int ms;
    } cases[] = {{40, 40000}, {1, 1000}, {50000, 50000}, {0, 40000}, {-5, 40000}, {1000000000, 3600000}};
    for (const auto& c : cases) {
        theHost.m_settings.nTimeout = c.setting;
        EXPECT_EQ(ConnectionTimeoutMs(), c.ms) << c.setting;
    }
    theHost.m_settings.nTimeout = saved;
}

} // namespace

// A password goes in clear only where the server offers Basic: a challenge of any other scheme is an ordinary
// failure, and nothing in clear reaches the server.
TEST_F(HttpFetchTest, BasicCredentialsAnswerOnlyABasicChallenge)
{
    const struct
    {
        const wchar_t* scheme;
        int result;
    } cases[] = {
        {L"basic", HTTP_FETCH_DONE},
        {L"digest", HTTP_FETCH_FAILED},
        {L"ntlm", HTTP_FETCH_FAILED},
        {L"negotiate", HTTP_FETCH_FAILED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.scheme));
        DeleteFileW(m_target.c_str());
        EXPECT_EQ(
            Fetch(HttpUrl((std::wstring(L"/challenge/") + c.scheme).c_str()), nullptr, TRUE, L"reader", L"secret"),
            c.result);
        if (c.result == HTTP_FETCH_DONE) {
            EXPECT_NE(ReadFileBytes(m_target).find("<title>Basic cmVhZGVyOnNlY3JldA==</title>"), std::string::npos);
        } else {
            EXPECT_FALSE(FileExists(m_target));
        }
    }
}

// A server that accepts the connection and never answers the secure handshake: a stop ends the fetch for its
// caller at once (within one poll of the stop), instead of after the second given to a fetch that writes its file.
TEST_F(HttpFetchTest, AStopDuringAStalledSecureHandshakeReturnsAtOnce)
{
    WSADATA wsa;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(listener, INVALID_SOCKET);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    int length = sizeof(address);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    // Never accepted: the platform completes the connection from the backlog and the handshake waits.
    const std::wstring url = L"https://127.0.0.1:" + std::to_wstring(ntohs(address.sin_port)) + L"/feed.xml";
    theHost.m_settings.nTimeout = 60;

    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> result{-1};
    std::thread fetcher([&] { result = Fetch(url, stop); });
    EXPECT_FALSE(lqtest::PumpUntil([&] { return result != -1; }, 500));
    SetEvent(stop);
    // One poll of the stop (250 ms) and no more: the old wait for the fetch's thread took a whole second.
    EXPECT_TRUE(lqtest::PumpUntil([&] { return result != -1; }, 700));
    fetcher.join();
    CloseHandle(stop);
    EXPECT_EQ(result, HTTP_FETCH_STOPPED);
    EXPECT_FALSE(FileExists(m_target));
    // The listener gone, the handshake ends and so does the fetch's thread.
    closesocket(listener);
    EXPECT_TRUE(lqtest::PumpUntil([] { return ActiveFetchThreads() == 0; }, 10000)) << ActiveFetchThreads();
    WSACleanup();
}

// Fetches from one server share their connections: a refresh of many feeds of one site opens a few, not one
// for each feed. What a connection carries stays its own answer's: after an answer left half-read (a stop during
// the body), an error page and a redirect, the next fetch gets exactly its own body.
TEST_F(HttpFetchTest, FetchesOfOneServerShareConnectionsAndEachGetsItsOwnBody)
{
    const std::wstring key =
        L"share-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
    const auto seen = [&](int& connections, int& requests) {
        const std::wstring file = m_folder.File(L"seen.txt");
        ASSERT_EQ(DownloadUrlToFile(HttpUrl((L"/conn-seen/" + key).c_str()).c_str(), file.c_str(), nullptr, FALSE,
                                    nullptr, nullptr, nullptr),
                  HTTP_FETCH_DONE);
        ASSERT_EQ(sscanf(ReadFileBytes(file).c_str(), "%d %d", &connections, &requests), 2);
    };
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(Fetch(HttpUrl((L"/conn/" + key + L"/f" + std::to_wstring(i)).c_str())), HTTP_FETCH_DONE);
    int connections = 0, requests = 0;
    seen(connections, requests);
    EXPECT_EQ(requests, 20);
    EXPECT_LE(connections, 2);

    // A stop during a body that is still coming.
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> result{-1};
    std::thread fetcher([&] { result = Fetch(HttpUrl(L"/slow/6400/100"), stop); });
    EXPECT_TRUE(lqtest::PumpUntil([&] { return FileExists(m_target) && ReadFileBytes(m_target).size() > 0; }, 10000));
    SetEvent(stop);
    fetcher.join();
    CloseHandle(stop);
    EXPECT_EQ(result, HTTP_FETCH_STOPPED);
    const struct
    {
        const wchar_t* path;
        int result;
        size_t body; // of the /text answer that follows
    } then[] = {
        {L"/text/100", HTTP_FETCH_DONE, 100},   {L"/status/404", HTTP_FETCH_FAILED, 0},
        {L"/text/150", HTTP_FETCH_DONE, 150},   {L"/redirect-to/%2Ftext%2F70", HTTP_FETCH_DONE, 70},
        {L"/text/2000", HTTP_FETCH_DONE, 2000},
    };
    for (const auto& c : then) {
        SCOPED_TRACE(Narrow(c.path));
        EXPECT_EQ(Fetch(HttpUrl(c.path)), c.result);
        if (c.result == HTTP_FETCH_DONE) {
            EXPECT_EQ(ReadFileBytes(m_target), TextBody(c.body));
        }
    }
}
