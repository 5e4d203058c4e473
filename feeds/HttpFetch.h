// The one synchronous HTTP GET of the program: a URL fetched over WinHTTP into a local file.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include "framework/core/AfxString.h"

// Result codes of DownloadUrlToFile.
enum HttpFetchResult
{
    HTTP_FETCH_DONE = 0,         // 200 or 206, and the whole body is in the file
    HTTP_FETCH_NOT_MODIFIED = 1, // 304; no file was written
    HTTP_FETCH_STOPPED = 2,      // the stop event was found signalled
    HTTP_FETCH_FAILED = 99,      // anything else, 401 and 407 included
};

// The most a feed, site icon or other document fetched by DownloadUrlToFile may hold: far above any real feed,
// far below what would fill a disk or the memory of the reader that loads it.
const ULONGLONG kMaxFetchedFileBytes = 32ull * 1024 * 1024;

// Fetches the URL into the target file with the branding's user agent and the connection settings' proxy.
// With bUseCredentials, the user name and password go as Basic credentials to the URL's own scheme, host and
// port when it answers with a challenge, never before one and never to where a redirect leads elsewhere.
// Connect, send and receive wait at most the connection settings' time-out; a body over kMaxFetchedFileBytes
// fails, and so does a fetch still running after ten minutes. The stop event (a manual-reset event, or null for a
// fetch that cannot be stopped) ends the fetch for the caller within a second, even while the server says
// nothing; the answer's headers must arrive within the time-out (a minute at most) and 64 KB. The target file is
// created only for a 200 or 206; a stop or failure during the body leaves what was written. The unused argument is kept
// for the callers' sake.
int DownloadUrlToFile(LPCWSTR url, LPCWSTR targetPath, LPVOID unused, BOOL bUseCredentials, LPCWSTR userName,
                      LPCWSTR password, HANDLE hStopEvent);

// The fetch threads of DownloadUrlToFile still running, those whose callers have given up on them included.
int ActiveFetchThreads();

// The status code of an answered request as a number; FALSE when it cannot be read.
BOOL QueryHttpStatusCode(HINTERNET hRequest, DWORD& status);
// The answer's Content-Length (0 first); FALSE when the answer has none or it is not a number.
BOOL QueryContentLength(HINTERNET hRequest, ULONGLONG& length);

// The parts of an absolute HTTP or HTTPS URL that a request needs.
struct CHttpUrlParts
{
    CString strHost;   // the host name alone: the connect step fails on "host:port"
    CString strObject; // path and query, "/" at least
    INTERNET_PORT nPort = 0;
    bool bSecure = false;
};

// FALSE when the URL cannot be cracked or is not HTTP or HTTPS.
BOOL CrackHttpUrl(LPCWSTR url, CHttpUrlParts& parts);

// The synchronous WinHTTP session of one request: the user agent, and with proxy mode 3 the named proxy (any
// other mode: the platform's proxy configuration). Every request of the program opens its session here.
HINTERNET OpenHttpSession(LPCWSTR userAgent, int nProxyMode, LPCWSTR proxyServer);
// The same with the branding's user agent and the "Connection" settings.
HINTERNET OpenHttpSession();
// Basic credentials for a named proxy (mode 3) with a user name; nothing for any other proxy.
void SetProxyCredentials(HINTERNET hRequest, int nProxyMode, LPCWSTR user, LPCWSTR password);
// The same with the "Connection" settings.
void SetProxyCredentials(HINTERNET hRequest);

// Lets the HTML pane's page fetches use the sessions and proxy credentials above.
// The connection settings' time-out in milliseconds, and a session's resolve, connect, send and receive waits set
// to it.
int ConnectionTimeoutMs();
void SetConnectionTimeouts(HINTERNET hSession);

void UseEngineHttpForPages();

// Whether a status is a redirect (301, 302, 303, 307, 308), and the absolute address its answer names (empty when
// none); for requests that follow redirects themselves, so that credentials never follow one elsewhere.
bool IsHttpRedirect(DWORD status);
CString HttpRedirectTarget(HINTERNET hRequest, LPCWSTR url, const CHttpUrlParts& parts);
