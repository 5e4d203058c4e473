#include "framework/html/HtmlNavigation.h"

#include "framework/core/FileReading.h"
#include "framework/core/ResponseHead.h"
#include "framework/core/ScopedHandles.h"
#include "framework/core/TextHelpers.h"
#include "framework/core/UrlEncoding.h"

#include <winhttp.h>

#include <cwctype>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr size_t kMaxPageBytes = 32u * 1024u * 1024u;

std::mutex g_hooksLock;
HtmlHttpHooks g_hooks;

HtmlHttpHooks CurrentHooks()
{
    std::lock_guard<std::mutex> lock(g_hooksLock);
    return g_hooks;
}

// The scheme of an address ("http", "bookmark"), or empty. A single letter before the colon is a drive.
std::wstring SchemeOf(const std::wstring& address)
{
    size_t i = 0;
    while (i < address.size() &&
           (iswalnum(address[i]) || address[i] == L'+' || address[i] == L'-' || address[i] == L'.'))
        ++i;
    if (i < 2 || i >= address.size() || address[i] != L':' || !iswalpha(address[0]))
        return std::wstring();
    return address.substr(0, i);
}

bool IsWindowsPath(const std::wstring& address)
{
    if (address.size() >= 2 && address[0] == L'\\' && address[1] == L'\\')
        return true;
    return address.size() >= 3 && iswalpha(address[0]) && address[1] == L':' &&
           (address[2] == L'\\' || address[2] == L'/');
}

bool ReadPage(const std::wstring& path, std::string& bytes, DWORD& error)
{
    CScopedFile file = OpenFileForReading(path.c_str(), FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!file) {
        error = ::GetLastError();
        return false;
    }
    // A larger page shows as far as the limit.
    return ReadToEnd(file, bytes, kMaxPageBytes, &error);
}

// Removes "." and ".." segments of a URL path.
std::wstring NormalisePath(const std::wstring& path)
{
    std::wstring out;
    size_t i = 0;
    while (i < path.size()) {
        size_t next = path.find(L'/', i);
        const bool last = next == std::wstring::npos;
        if (last)
            next = path.size();
        const std::wstring segment = path.substr(i, next - i);
        if (segment == L".") {
            if (last)
                out += L'/';
        } else if (segment == L"..") {
            const size_t cut = out.rfind(L'/');
            out.erase(cut == std::wstring::npos ? 0 : cut);
            if (last)
                out += L'/';
        } else {
            if (i > 0 || !segment.empty())
                out += L'/';
            out += segment;
        }
        i = next + 1;
    }
    if (out.empty() || out[0] != L'/')
        out.insert(0, L"/");
    return out;
}

bool IsDrivePath(const std::wstring& path)
{
    return path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

// The path with "." and ".." resolved and repeated separators joined; empty when it is no drive path.
std::wstring FullDrivePath(const std::wstring& path)
{
    if (!IsDrivePath(path))
        return std::wstring();
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (length >= full.size()) {
        full.resize(length + 1);
        length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    }
    if (length == 0 || length >= full.size())
        return std::wstring();
    full.resize(length);
    return IsDrivePath(full) ? full : std::wstring();
}

} // namespace

bool HtmlIsPathInFolder(const std::wstring& path, const std::wstring& folder)
{
    const std::wstring fullPath = FullDrivePath(path);
    std::wstring fullFolder = FullDrivePath(folder);
    if (fullPath.empty() || fullFolder.empty())
        return false;
    if (fullFolder.back() != L'\\')
        fullFolder += L'\\';
    return fullPath.size() > fullFolder.size() &&
           _wcsnicmp(fullPath.c_str(), fullFolder.c_str(), fullFolder.size()) == 0;
}

HtmlAddressKind HtmlClassifyAddress(const std::wstring& address)
{
    if (IsWindowsPath(address))
        return HtmlAddressKind::File;
    const std::wstring scheme = SchemeOf(address);
    if (scheme.empty())
        return address.empty() ? HtmlAddressKind::Blank : HtmlAddressKind::File;
    if (_wcsicmp(scheme.c_str(), L"about") == 0)
        return HtmlAddressKind::Blank;
    if (_wcsicmp(scheme.c_str(), L"file") == 0)
        return HtmlAddressKind::File;
    if (_wcsicmp(scheme.c_str(), L"res") == 0)
        return HtmlAddressKind::Resource;
    if (_wcsicmp(scheme.c_str(), L"http") == 0 || _wcsicmp(scheme.c_str(), L"https") == 0)
        return HtmlAddressKind::Http;
    return HtmlAddressKind::Refused;
}

std::wstring HtmlFilePathOf(const std::wstring& address)
{
    if (HtmlClassifyAddress(address) != HtmlAddressKind::File)
        return std::wstring();
    if (!StartsWithNoCase(address.c_str(), L"file:"))
        return address;
    std::wstring rest = address.substr(5);
    size_t slashes = 0;
    while (slashes < rest.size() && (rest[slashes] == L'/' || rest[slashes] == L'\\'))
        ++slashes;
    // file:///C:/x -> C:/x; file://server/share -> \\server\share
    std::wstring path;
    if (slashes == 2 && !(rest.size() > 3 && rest[3] == L':'))
        path = L"\\\\" + rest.substr(2);
    else
        path = rest.substr(slashes);
    // Separators as written turn into the platform's; an encoded "%2F" stays a slash.
    for (wchar_t& ch : path)
        if (ch == L'/')
            ch = L'\\';
    const CString decodedText = PercentDecode(CString(path.c_str(), static_cast<int>(path.size())), false);
    std::wstring decoded(decodedText.GetString(), static_cast<size_t>(decodedText.GetLength()));
    const size_t fragment = decoded.find(L'#');
    if (fragment != std::wstring::npos)
        decoded.erase(fragment);
    return decoded;
}

bool HtmlLoadResource(HMODULE hModule, LPCWSTR name, std::string& bytes)
{
    if (hModule == nullptr)
        hModule = ::GetModuleHandleW(nullptr);
    HRSRC hRes = ::FindResourceW(hModule, name, RT_HTML);
    if (hRes == nullptr)
        return false;
    HGLOBAL hData = ::LoadResource(hModule, hRes);
    const void* data = hData != nullptr ? ::LockResource(hData) : nullptr;
    if (data == nullptr)
        return false;
    bytes.assign(static_cast<const char*>(data), ::SizeofResource(hModule, hRes));
    return true;
}

bool HtmlLoadLocal(const std::wstring& address, HtmlLoadResult& result)
{
    result = HtmlLoadResult();
    switch (HtmlClassifyAddress(address)) {
    case HtmlAddressKind::Blank:
        result.ok = true;
        return true;
    case HtmlAddressKind::File: {
        const std::wstring path = HtmlFilePathOf(address);
        result.ok = ReadPage(path, result.bytes, result.error);
        return true;
    }
    case HtmlAddressKind::Resource: {
        // res://<module>/<name>; "#109" or "109" names a numbered resource.
        std::wstring rest = address.substr(6);
        const size_t slash = rest.rfind(L'/');
        std::wstring module = slash == std::wstring::npos ? std::wstring() : rest.substr(0, slash);
        std::wstring name = slash == std::wstring::npos ? rest : rest.substr(slash + 1);
        if (!name.empty() && name[0] == L'#')
            name.erase(0, 1);
        HMODULE hModule = module.empty() ? nullptr : ::GetModuleHandleW(module.c_str());
        if (!module.empty() && hModule == nullptr) {
            result.error = ERROR_MOD_NOT_FOUND;
            return true;
        }
        bool numeric = !name.empty();
        for (wchar_t c : name)
            numeric = numeric && iswdigit(c);
        LPCWSTR id = numeric ? MAKEINTRESOURCEW(_wtoi(name.c_str())) : name.c_str();
        result.ok = HtmlLoadResource(hModule, id, result.bytes);
        if (!result.ok)
            result.error = ERROR_RESOURCE_NAME_NOT_FOUND;
        return true;
    }
    default:
        return false;
    }
}

void HtmlSetHttpHooks(const HtmlHttpHooks& hooks)
{
    std::lock_guard<std::mutex> lock(g_hooksLock);
    g_hooks = hooks;
}

void HtmlFetchHttp(const HtmlLoadRequest& request, HtmlLoadResult& result)
{
    result = HtmlLoadResult();
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    wchar_t host[256] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = ARRAYSIZE(host);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    std::wstring address = request.address;
    // The fragment never goes to the server.
    const size_t fragment = address.find(L'#');
    if (fragment != std::wstring::npos)
        address.erase(fragment);
    if (!::WinHttpCrackUrl(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts)) {
        result.error = ::GetLastError();
        return;
    }
    std::wstring object;
    if (parts.lpszUrlPath != nullptr)
        object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo != nullptr)
        object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty())
        object = L"/";

    const HtmlHttpHooks hooks = CurrentHooks();
    CScopedInternet session(hooks.openSession ? hooks.openSession()
                                              : ::WinHttpOpen(L"Lanternquill", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                                              WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        result.error = ::GetLastError();
        return;
    }
    ::WinHttpSetTimeouts(session, 10000, 10000, 30000, 30000);
    // The host and the port go apart: "host:port" is not a host name.
    CScopedInternet connection(::WinHttpConnect(session, host, parts.nPort, 0));
    if (!connection) {
        result.error = ::GetLastError();
        return;
    }
    const bool post = request.post || !request.postData.empty();
    CScopedInternet req(::WinHttpOpenRequest(connection, post ? L"POST" : L"GET", object.c_str(), nullptr,
                                             WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                             parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
    if (!req) {
        result.error = ::GetLastError();
        return;
    }
    if (hooks.prepareRequest)
        hooks.prepareRequest(req);
    std::wstring headers = request.headers;
    // The caller's header text may lack its own line ending; WinHTTP wants each header ended.
    if (!headers.empty() && headers.back() != L'\n')
        headers += L"\r\n";
    LPVOID body = post ? const_cast<char*>(request.postData.data()) : WINHTTP_NO_REQUEST_DATA;
    const DWORD bodyLength = post ? static_cast<DWORD>(request.postData.size()) : 0;
    const CResponseHeadCap cap(req);
    if (!::WinHttpSendRequest(req, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                              headers.empty() ? 0 : static_cast<DWORD>(-1L), body, bodyLength, bodyLength, 0) ||
        !cap.Check(::WinHttpReceiveResponse(req, nullptr))) {
        result.error = ::GetLastError();
        return;
    }
    DWORD status = 0;
    DWORD size = sizeof(status);
    ::WinHttpQueryHeaders(req, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                          &status, &size, WINHTTP_NO_HEADER_INDEX);
    result.status = status;
    wchar_t type[512] = {};
    size = sizeof(type);
    if (::WinHttpQueryHeaders(req, WINHTTP_QUERY_CONTENT_TYPE, WINHTTP_HEADER_NAME_BY_INDEX, type, &size,
                              WINHTTP_NO_HEADER_INDEX))
        result.contentType = type;
    char buffer[16384];
    while (true) {
        DWORD got = 0;
        if (!::WinHttpReadData(req, buffer, sizeof(buffer), &got)) {
            result.error = ::GetLastError();
            return;
        }
        if (got == 0)
            break;
        result.bytes.append(buffer, got);
        if (result.bytes.size() >= kMaxPageBytes) {
            result.bytes.resize(kMaxPageBytes);
            break;
        }
    }
    // An error page is still a page to show, as a browser shows it.
    result.ok = true;
}

bool HtmlFetchAsync(const HtmlLoadRequest& request, HWND hWnd, UINT message, WPARAM ticket)
{
    try {
        std::thread worker([request, hWnd, message, ticket]() {
            try {
                auto result = std::make_unique<HtmlLoadResult>();
                HtmlFetchHttp(request, *result);
                if (::PostMessageW(hWnd, message, ticket, reinterpret_cast<LPARAM>(result.get())))
                    result.release();
            } catch (...) {
                // Out of memory on a worker: the page simply never arrives.
            }
        });
        worker.detach();
        return true;
    } catch (...) {
        return false;
    }
}

std::wstring HtmlResolveAddress(const std::wstring& base, const std::wstring& href)
{
    std::wstring link = href;
    while (!link.empty() && iswspace(link.front()))
        link.erase(0, 1);
    while (!link.empty() && iswspace(link.back()))
        link.pop_back();
    if (link.empty())
        return base;
    if (!SchemeOf(link).empty() || IsWindowsPath(link))
        return link;

    const std::wstring baseScheme = SchemeOf(base);
    const HtmlAddressKind kind = HtmlClassifyAddress(base);
    if (kind == HtmlAddressKind::File && baseScheme.empty()) {
        // A Windows path: relative links resolve against its folder.
        if (link[0] == L'#')
            return base + link;
        std::wstring folder = base;
        const size_t cut = folder.find_last_of(L"\\/");
        folder = cut == std::wstring::npos ? std::wstring() : folder.substr(0, cut + 1);
        std::wstring rel = link;
        for (wchar_t& c : rel)
            if (c == L'/')
                c = L'\\';
        if (!rel.empty() && rel[0] == L'\\' && folder.size() >= 2 && folder[1] == L':')
            return folder.substr(0, 2) + rel;
        return folder + rel;
    }
    if (kind != HtmlAddressKind::Http && kind != HtmlAddressKind::File)
        return link;

    // A URL: scheme://authority/path?query#fragment
    const size_t authorityStart = baseScheme.size() + 3;
    if (base.compare(baseScheme.size(), 3, L"://") != 0)
        return link;
    size_t pathStart = base.find_first_of(L"/?#", authorityStart);
    if (pathStart == std::wstring::npos)
        pathStart = base.size();
    const std::wstring origin = base.substr(0, pathStart);
    size_t pathEnd = base.find_first_of(L"?#", pathStart);
    if (pathEnd == std::wstring::npos)
        pathEnd = base.size();
    std::wstring path = base.substr(pathStart, pathEnd - pathStart);
    if (path.empty())
        path = L"/";

    if (link.compare(0, 2, L"//") == 0)
        return baseScheme + L":" + link;
    if (link[0] == L'#') {
        const size_t hash = base.find(L'#');
        return base.substr(0, hash) + link;
    }
    if (link[0] == L'?')
        return origin + path + link;
    std::wstring target;
    size_t suffix = link.find_first_of(L"?#");
    std::wstring linkPath = link.substr(0, suffix);
    const std::wstring rest = suffix == std::wstring::npos ? std::wstring() : link.substr(suffix);
    if (linkPath.empty() || linkPath[0] != L'/')
        linkPath = path.substr(0, path.rfind(L'/') + 1) + linkPath;
    return origin + NormalisePath(linkPath) + rest;
}
