// Where the HTML pane's pages come from: local files, "about:blank", HTML resources and http(s) through WinHTTP.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <string>

// The resource type of HTML pages bound into a module.
#ifndef RT_HTML
#define RT_HTML MAKEINTRESOURCE(23)
#endif

enum class HtmlAddressKind
{
    Blank,    // about:blank (and any other about: page, shown empty)
    File,     // a Windows path or a file: URL
    Resource, // res://module/name
    Http,     // http:// or https://
    Refused   // javascript:, data:, vbscript: and schemes we do not know: never loaded
};

HtmlAddressKind HtmlClassifyAddress(const std::wstring& address);

// One page to load: the address as requested, optional extra request headers and a body (a POST when non-empty
// or when post is forced).
struct HtmlLoadRequest
{
    std::wstring address;
    std::wstring headers;
    std::string postData;
    bool post = false;
};

struct HtmlLoadResult
{
    bool ok = false;
    std::string bytes;        // the page as it came (8-bit; the parser finds its charset)
    std::wstring contentType; // from the HTTP answer, empty for local pages
    DWORD status = 0;         // HTTP status, 0 for local pages
    DWORD error = 0;          // the platform's error when !ok
};

// Loads a page that needs no network: about:, files and resources. False for http(s) and refused addresses.
bool HtmlLoadLocal(const std::wstring& address, HtmlLoadResult& result);

// The bytes of an HTML resource (RT_HTML) of hModule (the program's module when null).
bool HtmlLoadResource(HMODULE hModule, LPCWSTR name, std::string& bytes);

// The network side of page fetches, which the program supplies: the session (its user agent and proxy) and the
// proxy's credentials on each request. Both are called on worker threads. Without them a fetch uses the
// platform's proxy configuration.
struct HtmlHttpHooks
{
    HINTERNET (*openSession)() = nullptr;
    void (*prepareRequest)(HINTERNET hRequest) = nullptr;
};
void HtmlSetHttpHooks(const HtmlHttpHooks& hooks);

// Fetches an http(s) page synchronously (the pane calls it on a worker thread). Pages are capped at 32 MB.
void HtmlFetchHttp(const HtmlLoadRequest& request, HtmlLoadResult& result);

// Starts HtmlFetchHttp on a worker thread; when it ends, the result (allocated with new) is posted to hWnd as
// message(wParam = ticket, lParam = HtmlLoadResult*). The receiver deletes it; when the window is gone the
// thread deletes it itself.
bool HtmlFetchAsync(const HtmlLoadRequest& request, HWND hWnd, UINT message, WPARAM ticket);

// Resolves href against the page's address. Absolute addresses of any scheme ("bookmark:3", "mailto:") are kept
// as written; relative ones follow the base's form (URL or Windows path).
std::wstring HtmlResolveAddress(const std::wstring& base, const std::wstring& href);

// The local path of a file address (a Windows path as it is, a file: URL decoded), or empty.
std::wstring HtmlFilePathOf(const std::wstring& address);

// Whether a local path lies inside the folder, "." and ".." resolved, and both are drive paths ("C:\..."). A UNC
// path ("\\host\share", which the platform opens by connecting to the host with the user's credentials) and a
// device path ("\\?\", "\\.\") never do.
bool HtmlIsPathInFolder(const std::wstring& path, const std::wstring& folder);
