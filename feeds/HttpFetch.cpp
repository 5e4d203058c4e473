// WinHTTP GET of one URL into one file, polled for a stop between every step.
#include "feeds/HttpFetch.h"

#include "feeds/EngineContext.h"
#include "framework/core/ScopedHandles.h"
#include "framework/html/HtmlNavigation.h"

#include <cwchar>

namespace {

const DWORD kBlockSize = 1024;

bool IsStopped(HANDLE hStopEvent)
{
    return hStopEvent && WaitForSingleObject(hStopEvent, 0) == WAIT_OBJECT_0;
}

void DrainBody(HINTERNET hRequest)
{
    char buffer[kBlockSize];
    DWORD read = 0;
    while (WinHttpReadData(hRequest, buffer, sizeof(buffer), &read) && read > 0) {
    }
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

int DownloadUrlToFile(LPCWSTR url, LPCWSTR targetPath, LPVOID /*unused*/, BOOL bUseCredentials, LPCWSTR userName,
                      LPCWSTR password, HANDLE hStopEvent)
{
    CHttpUrlParts parts;
    if (!CrackHttpUrl(url, parts))
        return HTTP_FETCH_FAILED;

    CScopedInternet session(OpenHttpSession());
    if (!session)
        return HTTP_FETCH_FAILED;
    if (IsStopped(hStopEvent))
        return HTTP_FETCH_STOPPED;

    CScopedInternet connection(WinHttpConnect(session, parts.strHost, parts.nPort, 0));
    if (!connection)
        return HTTP_FETCH_FAILED;
    if (IsStopped(hStopEvent))
        return HTTP_FETCH_STOPPED;

    LPCWSTR acceptTypes[] = {L"*/*", nullptr};
    CScopedInternet request(WinHttpOpenRequest(connection, L"GET", parts.strObject, nullptr, WINHTTP_NO_REFERER,
                                               acceptTypes,
                                               WINHTTP_FLAG_REFRESH | (parts.bSecure ? WINHTTP_FLAG_SECURE : 0)));
    if (!request)
        return HTTP_FETCH_FAILED;
    if (IsStopped(hStopEvent))
        return HTTP_FETCH_STOPPED;

    // Nothing of a fetch may outlive it: a connection handed back to the platform's pool with a body left
    // unread (after a stop or a failure) would answer the next request with the rest of that body.
    DWORD disabled = WINHTTP_DISABLE_KEEP_ALIVE;
    WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof(disabled));

    SetProxyCredentials(request);
    if (bUseCredentials)
        WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC, userName ? userName : L"",
                              password ? password : L"", nullptr);

    if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        return HTTP_FETCH_FAILED;
    // A failed receive shows as a status that cannot be read.
    WinHttpReceiveResponse(request, nullptr);
    if (IsStopped(hStopEvent))
        return HTTP_FETCH_STOPPED;

    DWORD status = 0;
    if (!QueryHttpStatusCode(request, status))
        return HTTP_FETCH_FAILED;
    if (IsStopped(hStopEvent))
        return HTTP_FETCH_STOPPED;

    if (status == HTTP_STATUS_DENIED || status == HTTP_STATUS_PROXY_AUTH_REQ) {
        DrainBody(request);
        return HTTP_FETCH_FAILED;
    }
    if (status == HTTP_STATUS_NOT_MODIFIED)
        return HTTP_FETCH_NOT_MODIFIED;
    if (status != HTTP_STATUS_OK && status != HTTP_STATUS_PARTIAL_CONTENT)
        return HTTP_FETCH_FAILED;

    if (IsStopped(hStopEvent))
        return HTTP_FETCH_STOPPED;
    ULONGLONG announced = 0;
    const bool bAnnounced = QueryContentLength(request, announced) != FALSE;
    CScopedFile file(CreateFileW(targetPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return HTTP_FETCH_FAILED;

    char buffer[kBlockSize];
    ULONGLONG total = 0;
    for (;;) {
        if (IsStopped(hStopEvent))
            return HTTP_FETCH_STOPPED;
        DWORD read = 0;
        if (!WinHttpReadData(request, buffer, sizeof(buffer), &read))
            return HTTP_FETCH_FAILED;
        if (read == 0)
            break;
        // More than the server announced is not the body it described: none of it goes into the file.
        if (bAnnounced && total + read > announced)
            return HTTP_FETCH_FAILED;
        DWORD written = 0;
        if (!WriteFile(file, buffer, read, &written, nullptr) || written != read)
            return HTTP_FETCH_FAILED;
        total += read;
    }
    // A connection dropped early ends the body like a complete one: only the announced length tells them
    // apart, and a cut-off feed or icon must not pass as fetched.
    if (bAnnounced && total != announced)
        return HTTP_FETCH_FAILED;
    return HTTP_FETCH_DONE;
}
