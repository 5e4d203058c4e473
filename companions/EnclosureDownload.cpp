// The enclosure download: WinHTTP with our own redirects, a byte range for a partial file, and a connection that
// a stop can cut while the server holds it.
#include "companions/EnclosureDownload.h"

#include "companions/CompanionMessages.h"
#include "feeds/EnclosureFiles.h"
#include "feeds/EngineContext.h"
#include "feeds/HttpFetch.h"
#include "framework/core/ResponseHead.h"
#include "framework/core/ScopedHandles.h"
#include "res/resource.h"

#include <algorithm>
#include <cwchar>
#include <vector>

void CEnclosureTransfer::Abort()
{
    m_bAbort = true;
    m_connection.Cut();
}

namespace {

// Large reads keep a fast local transfer from being paced by the calls themselves.
const DWORD kReadBlock = 64 * 1024;
// Redirects, one answer with credentials and one fresh start from the first byte, together.
const int kMaxRounds = 14;
const int kMaxRedirects = 10;

enum Outcome
{
    DONE = 0,
    FAILED = 1,
};

CString Report(UINT nID, DWORD code)
{
    CString text;
    text.LoadString(nID);
    CString number;
    number.Format(L"%lu", static_cast<unsigned long>(code));
    text.Replace(L"%1", number);
    return text;
}

void CALLBACK OnTransferStatus(HINTERNET hInternet, DWORD_PTR context, DWORD status, LPVOID, DWORD)
{
    if (status == WINHTTP_CALLBACK_STATUS_REQUEST_SENT && context != 0)
        reinterpret_cast<CEnclosureTransfer*>(context)->m_connection.Record(hInternet);
}

bool SameOrigin(const CHttpUrlParts& a, const CHttpUrlParts& b)
{
    return a.bSecure == b.bSecure && a.nPort == b.nPort && a.strHost.CompareNoCase(b.strHost) == 0;
}

void DrainBody(HINTERNET hRequest)
{
    char buffer[1024];
    DWORD read = 0;
    while (WinHttpReadData(hRequest, buffer, sizeof(buffer), &read) && read > 0) {
    }
}

// The name a new file takes: the address's last segment without its query, made one harmless file name.
CString NameFromAddress(CString address)
{
    const int query = address.FindOneOf(L"?#");
    if (query >= 0)
        address = address.Left(query);
    const int slash = std::max(address.ReverseFind(L'/'), address.ReverseFind(L'\\'));
    if (slash < 0)
        return CString();
    return CleanEnclosureFileName(address.Mid(slash + 1));
}

bool Exists(const CString& path)
{
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// A partial file the manager hands back: a full path whose name is one clean file name.
bool IsPartialFilePath(const CString& path)
{
    const bool bDrive = path.GetLength() > 3 && path[1] == L':' && path[2] == L'\\';
    const bool bShare = path.Left(2) == L"\\\\" && path.Left(4) != L"\\\\.\\" && path.Left(4) != L"\\\\?\\";
    const CString name = path.Mid(path.ReverseFind(L'\\') + 1);
    const DWORD attributes = ::GetFileAttributesW(path);
    return (bDrive || bShare) && !name.IsEmpty() && CleanEnclosureFileName(name) == name &&
           (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY));
}

// "bytes first-last/total" of a 206; total -1 when the server gave "*".
bool ParseContentRange(HINTERNET hRequest, LONGLONG& first, LONGLONG& total)
{
    WCHAR text[128] = L"";
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_CONTENT_RANGE, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                             WINHTTP_NO_HEADER_INDEX))
        return false;
    long long a = 0;
    long long b = 0;
    WCHAR rest[32] = L"";
    if (swscanf(text, L"bytes %lld-%lld/%31ls", &a, &b, rest) != 3)
        return false;
    first = a;
    total = rest[0] == L'*' ? -1 : _wtoi64(rest);
    return true;
}

class CDownloadRun
{
public:
    explicit CDownloadRun(CEnclosureTransfer& transfer) : m_t(transfer) {}

    int Run();

private:
    int Fail(UINT nID, DWORD code)
    {
        m_t.strError = Report(nID, code);
        return FAILED;
    }
    int Stopped()
    {
        m_t.strError.Empty();
        return FAILED;
    }
    bool OpenRequest(const CHttpUrlParts& parts);
    bool Send(LONGLONG offset, DWORD& status);
    bool OpenFile(const CString& address);
    int Transfer(DWORD status);
    void Progress(LONGLONG done, LONGLONG total);

    CEnclosureTransfer& m_t;
    CScopedInternet m_session;
    CScopedInternet m_connection;
    CScopedInternet m_request;
    CScopedFile m_file;
    CHttpUrlParts m_feedOrigin;
    bool m_bFeedAccount = false;
    bool m_bServerCredentials = false;
    LONGLONG m_offset = 0;
    int m_nShown = -2;
};

bool CDownloadRun::OpenRequest(const CHttpUrlParts& parts)
{
    m_request.Close();
    m_connection.Attach(WinHttpConnect(m_session, parts.strHost, parts.nPort, 0));
    if (!m_connection)
        return false;
    LPCWSTR acceptTypes[] = {L"*/*", nullptr};
    m_request.Attach(WinHttpOpenRequest(m_connection, L"GET", parts.strObject, nullptr, WINHTTP_NO_REFERER,
                                        acceptTypes, WINHTTP_FLAG_REFRESH | (parts.bSecure ? WINHTTP_FLAG_SECURE : 0)));
    if (!m_request)
        return false;
    // Redirects are followed here, so that the feed's account never goes to another server; a connection left
    // with an unread body is never handed back to the pool.
    DWORD disabled = WINHTTP_DISABLE_KEEP_ALIVE | WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(m_request, WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof(disabled));
    SetProxyCredentials(m_request);
    if (m_bServerCredentials && m_bFeedAccount && SameOrigin(parts, m_feedOrigin))
        WinHttpSetCredentials(m_request, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC, m_t.strAccountName,
                              m_t.strPassword, nullptr);
    return true;
}

bool CDownloadRun::Send(LONGLONG offset, DWORD& status)
{
    CString headers;
    if (offset > 0)
        headers.Format(L"Range: bytes=%lld-\r\n", static_cast<long long>(offset));
    const CResponseHeadCap cap(m_request);
    if (!WinHttpSendRequest(m_request, headers.IsEmpty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.GetString(),
                            headers.IsEmpty() ? 0 : static_cast<DWORD>(-1L), WINHTTP_NO_REQUEST_DATA, 0, 0,
                            reinterpret_cast<DWORD_PTR>(&m_t)))
        return false;
    if (!cap.Check(WinHttpReceiveResponse(m_request, nullptr)) || m_t.Aborted())
        return false;
    return QueryHttpStatusCode(m_request, status) != FALSE;
}

int CDownloadRun::Run()
{
    CHttpUrlParts parts;
    if (!CrackHttpUrl(m_t.strUrl, parts))
        return Fail(IDS_DOWNLOAD_ERROR_CONNECT, ERROR_WINHTTP_INVALID_URL);
    m_bFeedAccount = !m_t.strAccountName.IsEmpty() && CrackHttpUrl(m_t.strFeedLink, m_feedOrigin);
    if (!m_t.strResumePath.IsEmpty() && IsPartialFilePath(m_t.strResumePath)) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (::GetFileAttributesExW(m_t.strResumePath, GetFileExInfoStandard, &data))
            m_offset = (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        m_t.strFilePath = m_t.strResumePath;
    }

    m_session.Attach(OpenHttpSession());
    if (!m_session)
        return Fail(IDS_DOWNLOAD_ERROR_CONNECT, ::GetLastError());
    SetConnectionTimeouts(m_session);
    WinHttpSetStatusCallback(m_session, OnTransferStatus, WINHTTP_CALLBACK_FLAG_SEND_REQUEST, 0);

    CString current = m_t.strUrl;
    int redirects = 0;
    bool bRestarted = false;
    bool bNewRequest = true;
    DWORD status = 0;
    for (int round = 0;; ++round) {
        if (m_t.Aborted())
            return Stopped();
        if (round >= kMaxRounds)
            return Fail(IDS_DOWNLOAD_ERROR_STATUS, status);
        if (bNewRequest && !OpenRequest(parts))
            return Fail(IDS_DOWNLOAD_ERROR_CONNECT, ::GetLastError());
        bNewRequest = true;
        if (!Send(m_offset, status))
            return m_t.Aborted() ? Stopped() : Fail(IDS_DOWNLOAD_ERROR_CONNECT, ::GetLastError());
        if (IsHttpRedirect(status)) {
            const CString next = HttpRedirectTarget(m_request, current, parts);
            if (++redirects > kMaxRedirects || next.IsEmpty() || !CrackHttpUrl(next, parts))
                return Fail(IDS_DOWNLOAD_ERROR_STATUS, status);
            current = next;
            continue;
        }
        if (status == HTTP_STATUS_DENIED) {
            // Once, and only where the feed's own server asks.
            if (m_bServerCredentials || !m_bFeedAccount || !SameOrigin(parts, m_feedOrigin))
                return Fail(IDS_DOWNLOAD_ERROR_STATUS, status);
            DrainBody(m_request);
            m_bServerCredentials = true;
            WinHttpSetCredentials(m_request, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC,
                                  m_t.strAccountName, m_t.strPassword, nullptr);
            bNewRequest = false;
            continue;
        }
        if (status == HTTP_STATUS_PROXY_AUTH_REQ)
            return Fail(IDS_DOWNLOAD_ERROR_STATUS, status);
        if (status == HTTP_STATUS_PARTIAL_CONTENT && m_offset > 0) {
            // Only the rest of the same file continues the partial one.
            LONGLONG first = -1;
            LONGLONG total = -1;
            const bool bKnown = ParseContentRange(m_request, first, total);
            const bool bSameFile = bKnown && first == m_offset &&
                                   (m_t.nDeclaredLength <= 0 || total < 0 || total == m_t.nDeclaredLength);
            if (!bSameFile) {
                if (bRestarted)
                    return Fail(IDS_DOWNLOAD_ERROR_STATUS, status);
                bRestarted = true;
                m_offset = 0;
                continue;
            }
        }
        if (status == 416 && m_offset > 0 && !bRestarted) {
            bRestarted = true;
            m_offset = 0;
            continue;
        }
        if (status == HTTP_STATUS_OK || status == HTTP_STATUS_PARTIAL_CONTENT)
            break;
        return Fail(IDS_DOWNLOAD_ERROR_STATUS, status);
    }
    if (status == HTTP_STATUS_OK)
        m_offset = 0; // the whole file, whatever was asked
    if (!OpenFile(current))
        return FAILED;
    return Transfer(status);
}

// The address is the one that answered, after any redirects.
bool CDownloadRun::OpenFile(const CString& address)
{
    if (m_t.strFilePath.IsEmpty()) {
        const CString name = NameFromAddress(address);
        if (name.IsEmpty() || m_t.strFolder.IsEmpty()) {
            m_t.strError.LoadString(IDS_PODCAST_NO_FILE_NAME);
            return false;
        }
        CString folder = m_t.strFolder;
        folder.TrimRight(L'\\');
        // A file already there belongs to something else: the new one takes a numbered name beside it.
        const int dot = name.ReverseFind(L'.');
        const CString base = dot > 0 ? name.Left(dot) : name;
        const CString extension = dot > 0 ? name.Mid(dot) : CString();
        for (int n = 1; n < 1000 && !m_file; ++n) {
            CString candidate = folder + L"\\" + name;
            if (n > 1)
                candidate.Format(L"%ls\\%ls (%d)%ls", folder.GetString(), base.GetString(), n, extension.GetString());
            if (Exists(candidate))
                continue;
            m_file.Attach(::CreateFileW(candidate, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
            if (m_file)
                m_t.strFilePath = candidate;
            else if (::GetLastError() != ERROR_FILE_EXISTS)
                break;
        }
    } else {
        m_file.Attach(::CreateFileW(m_t.strFilePath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (!m_file) {
        const DWORD error = ::GetLastError();
        m_t.strError.LoadString(IDS_PODCAST_NO_FILE_NAME);
        m_t.strError += L" (" + Report(IDS_DOWNLOAD_ERROR_TRANSFER, error) + L")";
        return false;
    }
    LARGE_INTEGER position;
    position.QuadPart = m_offset;
    if (!::SetFilePointerEx(m_file, position, nullptr, FILE_BEGIN) || !::SetEndOfFile(m_file)) {
        m_t.strError = Report(IDS_DOWNLOAD_ERROR_TRANSFER, ::GetLastError());
        return false;
    }
    m_t.nFileBytes = m_offset;
    return true;
}

void CDownloadRun::Progress(LONGLONG done, LONGLONG total)
{
    const int shown = total > 0 ? static_cast<int>(std::min<LONGLONG>(100, done * 100 / total)) : -1;
    if (shown == m_nShown)
        return;
    m_nShown = shown;
    if (m_t.hNotify)
        ::PostMessageW(m_t.hNotify, WM_PODCAST_PROGRESS, static_cast<WPARAM>(shown), m_t.nSerial);
}

int CDownloadRun::Transfer(DWORD)
{
    ULONGLONG announced = 0;
    const bool bAnnounced = QueryContentLength(m_request, announced) != FALSE;
    const LONGLONG total = bAnnounced ? m_offset + static_cast<LONGLONG>(announced)
                           : m_t.nDeclaredLength > 0 ? m_t.nDeclaredLength
                                                     : -1;
    Progress(m_offset, total);
    std::vector<char> buffer(kReadBlock);
    ULONGLONG count = 0;
    for (;;) {
        if (m_t.Aborted())
            return Stopped();
        // Only what has arrived is read: a full block would wait for a slow server's whole block.
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(m_request, &available))
            return m_t.Aborted() ? Stopped() : Fail(IDS_DOWNLOAD_ERROR_TRANSFER, ::GetLastError());
        if (available == 0)
            break;
        DWORD read = 0;
        if (!WinHttpReadData(m_request, buffer.data(), std::min(available, kReadBlock), &read))
            return m_t.Aborted() ? Stopped() : Fail(IDS_DOWNLOAD_ERROR_TRANSFER, ::GetLastError());
        if (read == 0)
            break;
        if (m_t.Aborted())
            return Stopped();
        DWORD written = 0;
        if (!::WriteFile(m_file, buffer.data(), read, &written, nullptr) || written != read)
            return Fail(IDS_DOWNLOAD_ERROR_TRANSFER, ::GetLastError());
        count += read;
        m_t.nFileBytes = m_offset + static_cast<LONGLONG>(count);
        Progress(m_t.nFileBytes, total);
    }
    // A connection that ends early looks like the end of the body: only the announced length tells.
    if (bAnnounced && count != announced)
        return Fail(IDS_DOWNLOAD_ERROR_TRANSFER, ERROR_HANDLE_EOF);
    return DONE;
}

} // namespace

int DownloadEnclosure(CEnclosureTransfer& transfer)
{
    int result = FAILED;
    {
        CDownloadRun run(transfer);
        result = run.Run();
        // The file is closed (by the run's end) before the report lets the manager use it.
    }
    transfer.bDone = result == DONE;
    if (transfer.hNotify)
        ::PostMessageW(transfer.hNotify, WM_PODCAST_DOWNLOAD_DONE, result == DONE ? 0 : 1, transfer.nSerial);
    return result;
}
