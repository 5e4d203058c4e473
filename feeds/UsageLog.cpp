#include "feeds/UsageLog.h"

#include <winhttp.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "feeds/EngineContext.h"
#include "feeds/HttpFetch.h"
#include "framework/core/FileReading.h"
#include "framework/core/ResponseHead.h"
#include "framework/core/ScopedHandles.h"
#include "framework/core/UrlEncoding.h"

namespace {

bool ReadLog(std::string& bytes)
{
    const CScopedFile file = OpenFileForReading(GetUsageLogPath(), FILE_SHARE_READ | FILE_SHARE_WRITE);
    return file.IsValid() && ReadToEnd(file, bytes);
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Text-mode output: each line feed goes out as a carriage return and a line feed.
std::string ToTextMode(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string ToAnsi(LPCWSTR text)
{
    if (!text || !*text)
        return std::string();
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return std::string();
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], bytes, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(bytes - 1));
    return narrow;
}

} // namespace

CString GetUsageLogPath()
{
    return GetEngineContext().m_strDataFolder + L"\\reader.log";
}

CString GetStatServerUrl()
{
    return EngineProfileString(L"URLs", L"StatServer", GetEngineContext().m_strStatServerUrl);
}

CStringA UrlEncodeText(LPCWSTR text)
{
    const std::string encoded = PercentEncodeBytes(ToAnsi(text), "", true);
    return CStringA(encoded.c_str(), static_cast<int>(encoded.size()));
}

BOOL LogUsage(int kind, int action, LPCWSTR text)
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return LogUsageOn(kind, action, text, now);
}

BOOL LogUsageOn(int kind, int action, LPCWSTR text, const SYSTEMTIME& utcDate)
{
    if (GetEngineContext().m_strDataFolder.IsEmpty())
        return FALSE;
    CScopedFile file(CreateFileW(GetUsageLogPath(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return FALSE;

    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size))
        return FALSE;

    // The counter says how many entries the log holds, but the file decides: a log that already has text keeps
    // it (its header is not written again over its start), and an empty one gets its header first.
    int count = GetEngineContext().m_nUsageEntries;
    std::string record;
    if (size.QuadPart == 0) {
        const CString brand = EngineProfileString(L"", L"BrandId", L"");
        const CString guid = EngineProfileString(L"", L"GUID", L"0");
        const CString country = EngineProfileString(L"", L"Country", L"0");
        record = "b=" + ToAnsi(brand) + "&r=" + ToAnsi(guid) + "&c=" + ToAnsi(country);
        count = 0;
    } else if (count <= 0) {
        std::string existing;
        ReadToEnd(file, existing);
        count = 0;
        for (char c : existing)
            if (c == '\n')
                ++count;
    }
    const int n = count + 1;

    char head[160];
    std::snprintf(head, sizeof(head), "\n&t%d=%d&a%d=%d&d%d=%04u-%02u-%02u&i%d=", n, kind, n, action, n, utcDate.wYear,
                  utcDate.wMonth, utcDate.wDay, n);
    record += head;
    const CStringA encoded = UrlEncodeText(text);
    record.append(encoded.GetString(), static_cast<size_t>(encoded.GetLength()));

    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(file, zero, nullptr, FILE_END) || !WriteAll(file, ToTextMode(record)))
        return FALSE;
    FlushFileBuffers(file);
    GetEngineContext().m_nUsageEntries = n;
    return TRUE;
}

int CountUsageEntries()
{
    std::string bytes;
    if (!ReadLog(bytes) || bytes.empty())
        return 0;
    int lineFeeds = 0;
    for (char c : bytes)
        if (c == '\n')
            ++lineFeeds;
    return lineFeeds;
}

namespace {

// The upload; pSent receives the log's bytes as they were sent.
int UploadLog(std::string* pSent)
{
    std::string log;
    if (!ReadLog(log))
        return USAGE_UPLOAD_ACCEPTED;
    if (pSent)
        *pSent = log;

    const CString url = GetStatServerUrl();
    if (url.IsEmpty())
        return USAGE_UPLOAD_NO_SERVICE;
    CHttpUrlParts parts;
    if (!CrackHttpUrl(url, parts))
        return USAGE_UPLOAD_BAD_URL;

    CScopedInternet session(OpenHttpSession());
    if (!session)
        return USAGE_UPLOAD_REFUSED;
    CScopedInternet connection(WinHttpConnect(session, parts.strHost, parts.nPort, 0));
    if (!connection)
        return USAGE_UPLOAD_REFUSED;
    LPCWSTR acceptTypes[] = {L"*/*", nullptr};
    CScopedInternet request(WinHttpOpenRequest(connection, L"POST", parts.strObject, nullptr, WINHTTP_NO_REFERER,
                                               acceptTypes,
                                               WINHTTP_FLAG_REFRESH | (parts.bSecure ? WINHTTP_FLAG_SECURE : 0)));
    if (!request)
        return USAGE_UPLOAD_REFUSED;
    // A named proxy that asks for its Basic credentials would otherwise refuse every upload for good.
    SetProxyCredentials(request);

    std::string body;
    body.reserve(log.size());
    for (char c : log)
        if (c != '\r' && c != '\n')
            body += c;

    static const WCHAR kHeaders[] = L"Content-Type: application/x-www-form-urlencoded";
    const DWORD length = static_cast<DWORD>(body.size());
    const CResponseHeadCap cap(request);
    if (!WinHttpSendRequest(request, kHeaders, static_cast<DWORD>(-1L), body.empty() ? nullptr : &body[0], length,
                            length, 0))
        return USAGE_UPLOAD_REFUSED;
    if (!cap.Check(WinHttpReceiveResponse(request, nullptr)))
        return USAGE_UPLOAD_REFUSED;
    DWORD status = 0;
    if (!QueryHttpStatusCode(request, status))
        return USAGE_UPLOAD_REFUSED;

    char reply[101] = {};
    if (status == HTTP_STATUS_OK) {
        DWORD got = 0;
        if (!WinHttpReadData(request, reply, 100, &got))
            got = 0;
        reply[got] = '\0';
    }
    return std::strcmp(reply, "1") == 0 ? USAGE_UPLOAD_ACCEPTED : USAGE_UPLOAD_REFUSED;
}

// The entry line with its four field numbers replaced by n. Entry texts are encoded, so every raw "&" in a
// line begins a field.
std::string RenumberEntry(const std::string& line, int n)
{
    const std::string number = std::to_string(n);
    std::string out;
    for (size_t i = 0; i < line.size();) {
        if (line[i] == '&' && i + 2 < line.size() && line[i + 1] != '\0' && std::strchr("tadi", line[i + 1]) &&
            isdigit(static_cast<unsigned char>(line[i + 2]))) {
            out += line.substr(i, 2) + number;
            i += 2;
            while (i < line.size() && isdigit(static_cast<unsigned char>(line[i])))
                ++i;
            continue;
        }
        out += line[i++];
    }
    return out;
}

} // namespace

int UploadUsageStats()
{
    return UploadLog(nullptr);
}

void FinishUsageUpload(int result, const std::string& sent)
{
    if (result != USAGE_UPLOAD_ACCEPTED) {
        GetEngineContext().m_nUsageEntries = CountUsageEntries();
        return;
    }
    GetEngineContext().m_nUsageEntries = 0;
    CScopedFile file(CreateFileW(GetUsageLogPath(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string now;
    if (!file.IsValid() || !ReadToEnd(file, now))
        return;
    // Entries logged while the upload ran were not sent: they stay, numbered from 1 under the header.
    const size_t headerEnd = sent.find("\r\n");
    if (now.size() <= sent.size() || now.compare(0, sent.size(), sent) != 0 || headerEnd == std::string::npos) {
        file.Close();
        DeleteFileW(GetUsageLogPath());
        return;
    }
    std::string kept = sent.substr(0, headerEnd);
    const std::string tail = now.substr(sent.size());
    int n = 0;
    for (size_t start = 0; start < tail.size();) {
        size_t end = tail.find("\r\n", start);
        if (end == std::string::npos)
            end = tail.size();
        if (end > start)
            kept += "\r\n" + RenumberEntry(tail.substr(start, end - start), ++n);
        start = end + 2;
    }
    LARGE_INTEGER zero{};
    if (SetFilePointerEx(file, zero, nullptr, FILE_BEGIN) && WriteAll(file, kept) && SetEndOfFile(file))
        GetEngineContext().m_nUsageEntries = n;
}

int SendUsageLog()
{
    std::string sent;
    const int result = UploadLog(&sent);
    FinishUsageUpload(result, sent);
    return result;
}
