// WinHTTP GET of one URL into one file, polled for a stop between every step.
#include "feeds/HttpFetch.h"

#include "feeds/ConnectionCut.h"
#include "feeds/EngineContext.h"
#include "framework/core/ResponseHead.h"
#include "framework/core/ScopedHandles.h"
#include "framework/html/HtmlNavigation.h"

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

// Each read and write is a call into the platform's server here: a feed of megabytes read a kilobyte at a time
// kept it busy enough to slow every other window of the program.
const DWORD kBlockSize = 16 * 1024;

bool IsStopped(HANDLE hStopEvent)
{
    return hStopEvent && WaitForSingleObject(hStopEvent, 0) == WAIT_OBJECT_0;
}

// The most of an answer not wanted (a challenge's or an error's page) that is read to keep its connection.
const DWORD kMaxDrainedBytes = 256 * 1024;

// Reads the rest of an answer away; true when it ended within the bound, which leaves its connection fit for the
// next request.
bool DrainBody(HINTERNET hRequest)
{
    char buffer[kBlockSize];
    DWORD read = 0;
    DWORD total = 0;
    while (total <= kMaxDrainedBytes) {
        if (!WinHttpReadData(hRequest, buffer, sizeof(buffer), &read))
            return false;
        if (read == 0)
            return true;
        total += read;
    }
    return false;
}

} // namespace

BOOL CrackHttpUrl(LPCWSTR url, CHttpUrlParts& parts)
{
    if (!url || !*url)
        return FALSE;
    URL_COMPONENTS components;
    ZeroMemory(&components, sizeof(components));
    components.dwStructSize = sizeof(components);
    components.dwSchemeLength = static_cast<DWORD>(-1);
    components.dwHostNameLength = static_cast<DWORD>(-1);
    components.dwUrlPathLength = static_cast<DWORD>(-1);
    components.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url, 0, 0, &components))
        return FALSE;
    if (components.nScheme != INTERNET_SCHEME_HTTP && components.nScheme != INTERNET_SCHEME_HTTPS)
        return FALSE;
    if (!components.lpszHostName || components.dwHostNameLength == 0)
        return FALSE;
    parts.strHost = CString(components.lpszHostName, static_cast<int>(components.dwHostNameLength));
    // Path and query together, to the end of the URL.
    LPCWSTR object = components.lpszUrlPath ? components.lpszUrlPath : components.lpszExtraInfo;
    parts.strObject = object ? object : L"";
    if (parts.strObject.IsEmpty() || parts.strObject[0] != L'/')
        parts.strObject = L"/" + parts.strObject;
    parts.nPort = components.nPort;
    parts.bSecure = components.nScheme == INTERNET_SCHEME_HTTPS;
    return TRUE;
}

HINTERNET OpenHttpSession(LPCWSTR userAgent, int nProxyMode, LPCWSTR proxyServer)
{
    const bool bNamedProxy = nProxyMode == 3;
    return WinHttpOpen(userAgent ? userAgent : L"",
                       bNamedProxy ? WINHTTP_ACCESS_TYPE_NAMED_PROXY : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                       bNamedProxy && proxyServer ? proxyServer : WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
}

HINTERNET OpenHttpSession()
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    return OpenHttpSession(settings.szUserAgent, settings.nProxyMode, settings.szProxyServer);
}

void SetProxyCredentials(HINTERNET hRequest, int nProxyMode, LPCWSTR user, LPCWSTR password)
{
    if (nProxyMode == 3 && user && *user)
        WinHttpSetCredentials(hRequest, WINHTTP_AUTH_TARGET_PROXY, WINHTTP_AUTH_SCHEME_BASIC, user,
                              password ? password : L"", nullptr);
}

void SetProxyCredentials(HINTERNET hRequest)
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    SetProxyCredentials(hRequest, settings.nProxyMode, settings.szProxyUser, settings.szProxyPass);
}

int ConnectionTimeoutMs()
{
    // The settings page counts seconds; the value the settings start with, before the profile is read, is in
    // milliseconds.
    const int value = GetEngineContext().m_settings.nTimeout;
    if (value <= 0)
        return 40 * 1000;
    return value <= 3600 ? value * 1000 : std::min(value, 3600 * 1000);
}

void SetConnectionTimeouts(HINTERNET hSession)
{
    const int timeout = ConnectionTimeoutMs();
    WinHttpSetTimeouts(hSession, timeout, timeout, timeout, timeout);
}

void UseEngineHttpForPages()
{
    HtmlHttpHooks hooks;
    hooks.openSession = [] { return OpenHttpSession(); };
    hooks.prepareRequest = [](HINTERNET hRequest) { SetProxyCredentials(hRequest); };
    HtmlSetHttpHooks(hooks);
}

BOOL QueryHttpStatusCode(HINTERNET hRequest, DWORD& status)
{
    DWORD size = sizeof(status);
    status = 0;
    return WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
}

BOOL QueryContentLength(HINTERNET hRequest, ULONGLONG& length)
{
    // As text: the number form is 32-bit, and enclosures pass 4 GB.
    WCHAR text[32] = L"";
    DWORD size = sizeof(text);
    length = 0;
    if (!WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                             WINHTTP_NO_HEADER_INDEX))
        return FALSE;
    const WCHAR* p = text;
    while (*p == L' ')
        ++p;
    if (*p < L'0' || *p > L'9')
        return FALSE;
    ULONGLONG value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        if (value > (~0ULL - 9) / 10)
            return FALSE;
        value = value * 10 + static_cast<ULONGLONG>(*p - L'0');
    }
    while (*p == L' ')
        ++p;
    if (*p)
        return FALSE;
    length = value;
    return TRUE;
}

namespace {

const int kMaxRedirects = 10;
// The longest a fetch may take in all, however its server trickles.
const DWORD kFetchDeadlineMs = 10 * 60 * 1000;

// Scheme, host and port: credentials typed for a feed go to this origin alone.
bool SameOrigin(const CHttpUrlParts& a, const CHttpUrlParts& b)
{
    return a.bSecure == b.bSecure && a.nPort == b.nPort && a.strHost.CompareNoCase(b.strHost) == 0;
}

// The address a redirect names, made absolute against the address that answered; empty when the answer
// names none.
CString RedirectTarget(HINTERNET hRequest, LPCWSTR url, const CHttpUrlParts& parts)
{
    DWORD size = 0;
    WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                        WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0 || size > 64 * 1024)
        return CString();
    CString location;
    if (!WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX,
                             location.GetBuffer(static_cast<int>(size / sizeof(WCHAR)) + 1), &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        location.ReleaseBuffer(0);
        return CString();
    }
    location.ReleaseBuffer(static_cast<int>(size / sizeof(WCHAR)));
    location.Trim();
    if (location.IsEmpty() || location.Find(L"://") > 0)
        return location;
    CString origin;
    origin.Format(L"%s://%s:%u", parts.bSecure ? L"https" : L"http", parts.strHost.GetString(),
                  static_cast<unsigned>(parts.nPort));
    if (location[0] == L'/')
        return location.GetLength() > 1 && location[1] == L'/'
                   ? CString(parts.bSecure ? L"https:" : L"http:") + location
                   : origin + location;
    // Relative to the folder of the answering address, its query dropped.
    CString folder(url);
    const int query = folder.Find(L'?');
    if (query >= 0)
        folder = folder.Left(query);
    return folder.Left(folder.ReverseFind(L'/') + 1) + location;
}

bool IsRedirect(DWORD status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// One request of a fetch, on a connection the platform keeps for the next request to the same server once this
// answer has been read to its end (Finished); redirects are answered here so that credentials never follow one to
// another origin.
struct FetchRequest
{
    CScopedInternet connection;
    CScopedInternet request;
    bool bFinished = false; // the answer was read to its end

    bool Open(HINTERNET session, const CHttpUrlParts& parts, bool bOwnConnection = false)
    {
        request.Close();
        bFinished = false;
        connection.Attach(WinHttpConnect(session, parts.strHost, parts.nPort, 0));
        if (!connection)
            return false;
        LPCWSTR acceptTypes[] = {L"*/*", nullptr};
        request.Attach(WinHttpOpenRequest(connection, L"GET", parts.strObject, nullptr, WINHTTP_NO_REFERER, acceptTypes,
                                          WINHTTP_FLAG_REFRESH | (parts.bSecure ? WINHTTP_FLAG_SECURE : 0)));
        if (!request)
            return false;
        DWORD disabled = WINHTTP_DISABLE_REDIRECTS | (bOwnConnection ? WINHTTP_DISABLE_KEEP_ALIVE : 0);
        WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof(disabled));
        SetConnectionTimeouts(request);
        SetProxyCredentials(request);
        return true;
    }
};

void CALLBACK OnFetchStatus(HINTERNET hInternet, DWORD_PTR context, DWORD status, LPVOID, DWORD);

// The sessions of every fetch, one for each user agent and proxy: the platform keeps its pool of open connections
// in a session, so the feeds of one server share a few connections through a refresh instead of each opening and
// closing its own. A session lives as long as the process; the settings that make a new one change rarely.
HINTERNET SharedFetchSession()
{
    struct Session
    {
        std::wstring agent;
        int nProxyMode;
        std::wstring proxy;
        HINTERNET handle;
    };
    static std::mutex lock;
    static std::vector<Session> sessions;
    const CReaderSettings& settings = GetEngineContext().m_settings;
    const std::wstring agent = settings.szUserAgent;
    const std::wstring proxy = settings.nProxyMode == 3 ? settings.szProxyServer : L"";
    std::lock_guard<std::mutex> guard(lock);
    for (const Session& session : sessions) {
        if (session.agent == agent && session.nProxyMode == (settings.nProxyMode == 3 ? 3 : 0) &&
            session.proxy == proxy)
            return session.handle;
    }
    HINTERNET handle = OpenHttpSession(agent.c_str(), settings.nProxyMode, proxy.c_str());
    if (!handle)
        return nullptr;
    WinHttpSetStatusCallback(handle, OnFetchStatus,
                             WINHTTP_CALLBACK_FLAG_SEND_REQUEST | WINHTTP_CALLBACK_FLAG_CONNECT_TO_SERVER, 0);
    sessions.push_back(Session{agent, settings.nProxyMode == 3 ? 3 : 0, proxy, handle});
    return handle;
}

} // namespace

namespace {

// One fetch's own copy of what it needs: a fetch given up by its caller (a stop, the deadline) goes on alone until
// the platform's blocking call returns, and must not touch what the caller owned.
struct FetchJob
{
    CString url;
    CString target;
    BOOL bUseCredentials = FALSE;
    CString userName;
    CString password;
    volatile LONG cancelled = 0;
    int result = HTTP_FETCH_FAILED;

    bool Cancelled() const { return InterlockedCompareExchange(const_cast<volatile LONG*>(&cancelled), 0, 0) != 0; }

    // The connection is up (a secure one before its handshake) or the request has gone out: from here on its
    // server can hold the fetch, so a stop must be able to cut it. Since when the answer is awaited (0: not).
    void HeadWaitBegins(HINTERNET hRequest)
    {
        m_connection.Record(hRequest);
        ULONGLONG expected = 0;
        m_headSince.compare_exchange_strong(expected, GetTickCount64());
    }
    void HeadWaitEnds() { m_headSince = 0; }
    bool HeadWaitLongerThan(ULONGLONG ms) const
    {
        const ULONGLONG since = m_headSince;
        return since != 0 && GetTickCount64() - since > ms;
    }
    // Marks the fetch given up and ends a receive the server holds; the fetch then stops at its next step.
    void GiveUp()
    {
        InterlockedExchange(&cancelled, 1);
        m_connection.Cut();
    }
    // An answer left half-read would hand its rest to the next request on the same connection: it is cut.
    void DropConnection() { m_connection.Cut(); }
    // The target file is open for writing: a caller that gives up waits for it to be let go of.
    std::atomic<bool> bWriting{false};
    // The platform made a new connection for the latest send (false: it took one from its pool).
    std::atomic<bool> bNewConnection{false};

private:
    CConnectionWatch m_connection;
    std::atomic<ULONGLONG> m_headSince{0};
};

// Runs on the fetch's thread inside the send. The connection is recorded as soon as it is made: a server that
// stalls the secure handshake holds the send before any request goes out.
void CALLBACK OnFetchStatus(HINTERNET hInternet, DWORD_PTR context, DWORD status, LPVOID, DWORD)
{
    if (context == 0)
        return;
    if (status == WINHTTP_CALLBACK_STATUS_CONNECTED_TO_SERVER)
        reinterpret_cast<FetchJob*>(context)->bNewConnection = true;
    if (status == WINHTTP_CALLBACK_STATUS_CONNECTED_TO_SERVER || status == WINHTTP_CALLBACK_STATUS_REQUEST_SENT)
        reinterpret_cast<FetchJob*>(context)->HeadWaitBegins(hInternet);
}

// Whether the answer offers Basic among its server challenges: a password goes in clear only where the server
// asked for it so, never in answer to Digest, NTLM or Negotiate.
bool OffersBasic(HINTERNET hRequest)
{
    DWORD supported = 0;
    DWORD first = 0;
    DWORD target = 0;
    return WinHttpQueryAuthSchemes(hRequest, &supported, &first, &target) && target == WINHTTP_AUTH_TARGET_SERVER &&
           (supported & WINHTTP_AUTH_SCHEME_BASIC) != 0;
}

// A failed receive shows as a status that cannot be read; so does an answer whose connection was cut.
bool SendRequest(FetchJob& job, FetchRequest& fetch, DWORD& status)
{
    job.bNewConnection = false;
    const CResponseHeadCap cap(fetch.request);
    if (!WinHttpSendRequest(fetch.request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                            reinterpret_cast<DWORD_PTR>(&job)))
        return false;
    const BOOL received = cap.Check(WinHttpReceiveResponse(fetch.request, nullptr));
    job.HeadWaitEnds();
    // A cut connection can pass for the end of the headers.
    if (!received || job.Cancelled())
        return false;
    return QueryHttpStatusCode(fetch.request, status) != FALSE;
}

volatile LONG g_activeFetchThreads = 0;

int FetchInto(FetchJob& job, FetchRequest& fetch)
{
    LPCWSTR url = job.url;
    const BOOL bUseCredentials = job.bUseCredentials;
    LPCWSTR userName = job.userName;
    LPCWSTR password = job.password;
    CHttpUrlParts parts;
    if (!CrackHttpUrl(url, parts))
        return HTTP_FETCH_FAILED;
    const CHttpUrlParts feedOrigin = parts;

    HINTERNET session = SharedFetchSession();
    if (!session)
        return HTTP_FETCH_FAILED;
    if (job.Cancelled())
        return HTTP_FETCH_STOPPED;

    CString current(url);
    DWORD status = 0;
    for (int hops = 0;; ++hops) {
        // The redirect's own answer, read away so that its connection serves the next hop.
        if (hops > 0 && !DrainBody(fetch.request))
            job.DropConnection();
        if (!fetch.Open(session, parts))
            return HTTP_FETCH_FAILED;
        if (job.Cancelled())
            return HTTP_FETCH_STOPPED;
        if (!SendRequest(job, fetch, status)) {
            if (job.Cancelled())
                return HTTP_FETCH_STOPPED;
            // A kept connection can carry what a server sent beyond the answer it announced, which spoils the
            // next answer on it: the request goes again once, on a connection of its own.
            if (job.bNewConnection)
                return HTTP_FETCH_FAILED;
            job.DropConnection();
            if (!fetch.Open(session, parts, true) || !SendRequest(job, fetch, status))
                return job.Cancelled() ? HTTP_FETCH_STOPPED : HTTP_FETCH_FAILED;
        }
        if (job.Cancelled())
            return HTTP_FETCH_STOPPED;
        // Credentials go only where the feed's own origin answered with a challenge, once for each address.
        if (status == HTTP_STATUS_DENIED && bUseCredentials && SameOrigin(parts, feedOrigin) &&
            OffersBasic(fetch.request)) {
            if (!DrainBody(fetch.request))
                return HTTP_FETCH_FAILED;
            WinHttpSetCredentials(fetch.request, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC,
                                  userName ? userName : L"", password ? password : L"", nullptr);
            if (!SendRequest(job, fetch, status))
                return job.Cancelled() ? HTTP_FETCH_STOPPED : HTTP_FETCH_FAILED;
            if (job.Cancelled())
                return HTTP_FETCH_STOPPED;
        }
        if (!IsRedirect(status))
            break;
        if (hops >= kMaxRedirects)
            return HTTP_FETCH_FAILED;
        const CString next = RedirectTarget(fetch.request, current, parts);
        if (next.IsEmpty() || !CrackHttpUrl(next, parts))
            return HTTP_FETCH_FAILED;
        current = next;
    }
    HINTERNET request = fetch.request.Get();

    if (status == HTTP_STATUS_NOT_MODIFIED) {
        fetch.bFinished = DrainBody(request);
        return HTTP_FETCH_NOT_MODIFIED;
    }
    if (status != HTTP_STATUS_OK && status != HTTP_STATUS_PARTIAL_CONTENT) {
        // 401 and 407 included: the page is read away and the fetch fails.
        fetch.bFinished = DrainBody(request);
        return HTTP_FETCH_FAILED;
    }

    if (job.Cancelled())
        return HTTP_FETCH_STOPPED;
    ULONGLONG announced = 0;
    const bool bAnnounced = QueryContentLength(request, announced) != FALSE;
    if (bAnnounced && announced > kMaxFetchedFileBytes)
        return HTTP_FETCH_FAILED;
    // Shared for deletion: a caller done with a stopped fetch removes the file while the fetch lets go of it.
    CScopedFile file(CreateFileW(job.target, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return HTTP_FETCH_FAILED;
    job.bWriting = true;

    char buffer[kBlockSize];
    ULONGLONG total = 0;
    for (;;) {
        if (job.Cancelled())
            return HTTP_FETCH_STOPPED;
        // Only what has arrived is read, so that a server sending a byte at a time cannot keep a stop waiting
        // for a whole block.
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request, &available))
            return job.Cancelled() ? HTTP_FETCH_STOPPED : HTTP_FETCH_FAILED;
        if (available == 0)
            break;
        DWORD read = 0;
        if (!WinHttpReadData(request, buffer, std::min<DWORD>(available, sizeof(buffer)), &read))
            return HTTP_FETCH_FAILED;
        if (read == 0)
            break;
        // More than the server announced is not the body it described: none of it goes into the file.
        if (bAnnounced && total + read > announced)
            return HTTP_FETCH_FAILED;
        // A feed or an icon larger than any real one is refused before it fills the disk.
        if (total + read > kMaxFetchedFileBytes)
            return HTTP_FETCH_FAILED;
        DWORD written = 0;
        if (job.Cancelled())
            return HTTP_FETCH_STOPPED;
        if (!WriteFile(file, buffer, read, &written, nullptr) || written != read)
            return HTTP_FETCH_FAILED;
        total += read;
    }
    // A connection dropped early ends the body like a complete one: only the announced length tells them
    // apart, and a cut-off feed or icon must not pass as fetched.
    if (bAnnounced && total != announced)
        return HTTP_FETCH_FAILED;
    fetch.bFinished = true;
    return HTTP_FETCH_DONE;
}

int RunFetch(FetchJob& job)
{
    FetchRequest fetch;
    const int result = FetchInto(job, fetch);
    job.bWriting = false; // the file was closed on the way out
    if (fetch.request && !fetch.bFinished)
        job.DropConnection();
    return result;
}

DWORD WINAPI FetchThread(LPVOID parameter)
{
    std::unique_ptr<std::shared_ptr<FetchJob>> owner(static_cast<std::shared_ptr<FetchJob>*>(parameter));
    FetchJob& job = **owner;
    job.result = RunFetch(job);
    InterlockedDecrement(&g_activeFetchThreads);
    return 0;
}

// The longest an answer's headers may take to arrive in all, however the server paces them.
ULONGLONG HeadTimeLimitMs()
{
    return static_cast<ULONGLONG>(std::min(ConnectionTimeoutMs(), 60 * 1000));
}

} // namespace

int DownloadUrlToFile(LPCWSTR url, LPCWSTR targetPath, LPVOID /*unused*/, BOOL bUseCredentials, LPCWSTR userName,
                      LPCWSTR password, HANDLE hStopEvent)
{
    if (IsStopped(hStopEvent))
        return HTTP_FETCH_STOPPED;
    auto job = std::make_shared<FetchJob>();
    job->url = url ? url : L"";
    job->target = targetPath ? targetPath : L"";
    job->bUseCredentials = bUseCredentials;
    job->userName = userName ? userName : L"";
    job->password = password ? password : L"";

    // The platform's calls block until the server sends something, whatever closes their handles meanwhile: the
    // fetch runs on its own thread, so that a stop or the deadline ends it for the caller at once.
    auto* shared = new std::shared_ptr<FetchJob>(job);
    InterlockedIncrement(&g_activeFetchThreads);
    CScopedKernelHandle thread(::CreateThread(nullptr, 0, FetchThread, shared, 0, nullptr));
    if (!thread) {
        InterlockedDecrement(&g_activeFetchThreads);
        delete shared;
        return HTTP_FETCH_FAILED;
    }
    HANDLE waits[] = {thread.Get(), hStopEvent};
    const DWORD count = hStopEvent ? 2 : 1;
    const ULONGLONG started = GetTickCount64();
    const ULONGLONG headLimit = HeadTimeLimitMs();
    int result = HTTP_FETCH_FAILED;
    for (;;) {
        const DWORD ended = ::WaitForMultipleObjects(count, waits, FALSE, 250);
        if (ended == WAIT_OBJECT_0)
            return job->result;
        if (ended == WAIT_OBJECT_0 + 1) {
            result = HTTP_FETCH_STOPPED;
            break;
        }
        if (ended != WAIT_TIMEOUT || GetTickCount64() - started > kFetchDeadlineMs)
            break;
        // Headers without end, or dripped for longer than a receive may wait.
        if (job->HeadWaitLongerThan(headLimit))
            break;
    }
    // A fetch that is moving sees the stop at its next piece; one held by its server in a receive has its
    // connection cut. Either lets go of the target within the second and writes nothing more. One that has not
    // opened the target never will (it sees the stop first), so nothing is waited for: a fetch held in a secure
    // handshake, whose connection the platform names only afterwards, does not hold its caller's stop up.
    job->GiveUp();
    if (job->bWriting)
        ::WaitForSingleObject(thread.Get(), 1000);
    return result;
}

int ActiveFetchThreads()
{
    return static_cast<int>(InterlockedCompareExchange(&g_activeFetchThreads, 0, 0));
}

CString HttpRedirectTarget(HINTERNET hRequest, LPCWSTR url, const CHttpUrlParts& parts)
{
    return RedirectTarget(hRequest, url, parts);
}

bool IsHttpRedirect(DWORD status)
{
    return IsRedirect(status);
}
