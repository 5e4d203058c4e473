// The "File Download" dialog and its worker thread.
#include "feeds/ui/HttpDownloadDlg.h"

#include "feeds/EngineContext.h"
#include "feeds/EngineMessages.h"
#include "feeds/HttpFetch.h"
#include "framework/core/Exceptions.h"
#include "framework/core/ResponseHead.h"
#include "framework/win/DataExchange.h"
#include "framework/win/WinApp.h"
#include "res/resource.h"

#include <cwchar>
#include <string>

namespace {

const DWORD kBlockSize = 1024;

CString Decimal(ULONGLONG value)
{
    WCHAR text[32];
    swprintf(text, 32, L"%llu", value);
    return CString(text);
}

CString Fixed(double value, int decimals)
{
    WCHAR text[64];
    swprintf(text, 64, L"%.*f", decimals, value);
    return CString(text);
}

bool FileExists(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The first byte of a "bytes first-last/length" answer; false when there is none to read.
bool ContentRangeStart(HINTERNET hRequest, ULONGLONG& first)
{
    WCHAR text[128] = L"";
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_CONTENT_RANGE, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                             WINHTTP_NO_HEADER_INDEX))
        return false;
    const WCHAR* p = text;
    if (_wcsnicmp(p, L"bytes", 5) != 0)
        return false;
    p += 5;
    while (*p == L' ')
        ++p;
    if (*p < L'0' || *p > L'9')
        return false;
    first = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p)
        first = first * 10 + static_cast<ULONGLONG>(*p - L'0');
    return *p == L'-';
}

LONG FileErrorCode(const CFileException* e)
{
    return e->m_lOsError != -1 ? e->m_lOsError : static_cast<LONG>(ERROR_WRITE_FAULT);
}

} // namespace

IMPLEMENT_DYNAMIC(CHttpDownloadDlg, CDialog)

BEGIN_MESSAGE_MAP(CHttpDownloadDlg, CDialog)
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_MESSAGE(WM_HTTP_DOWNLOAD_DONE, OnDownloadDone)
END_MESSAGE_MAP()

CHttpDownloadDlg::CHttpDownloadDlg(CWnd* pParent)
    : CDialog(IDD_HTTP_DOWNLOAD, pParent), m_nProxyMode(0), m_bAskBeforeReplacing(TRUE), m_dwResumeOffset(0),
      m_nScheme(INTERNET_SCHEME_HTTP), m_nPort(0), m_bAbort(0), m_bFinished(FALSE), m_pThread(nullptr),
      m_nLastPercent(-1), m_dwStartTick(0), m_dwLastRateTick(0), m_lastRateTotal(0)
{
}

CHttpDownloadDlg::~CHttpDownloadDlg()
{
    // A dialog whose window never got as far as WM_DESTROY still owns its worker.
    if (m_pThread) {
        InterlockedExchange(&m_bAbort, 1);
        WaitForSingleObject(m_pThread->m_hThread, INFINITE);
        delete m_pThread;
    }
}

void CHttpDownloadDlg::UseConnectionSettings()
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    m_nProxyMode = settings.nProxyMode;
    m_strProxyServer = settings.szProxyServer;
    m_strProxyUserName = settings.szProxyUser;
    m_strProxyPassword = settings.szProxyPass;
    m_strUserAgent = settings.szUserAgent;
}

CString CHttpDownloadDlg::FormatString(UINT nID, LPCWSTR arg1, LPCWSTR arg2)
{
    // Only %1 and %2 are inserts: the caption's "%1% of" keeps its percent sign, which the platform's
    // message formatting would take as an escape.
    CString format;
    format.LoadString(nID);
    std::wstring result;
    for (const WCHAR* p = format.GetString(); *p; ++p) {
        if (p[0] == L'%' && (p[1] == L'1' || p[1] == L'2')) {
            LPCWSTR insert = p[1] == L'1' ? arg1 : arg2;
            if (insert)
                result += insert;
            ++p;
        } else {
            result += *p;
        }
    }
    return CString(result.c_str());
}

CString CHttpDownloadDlg::FormatAmount(ULONGLONG bytes)
{
    if (bytes < 1024)
        return FormatString(IDS_DOWNLOAD_BYTES, Decimal(bytes));
    if (bytes < 1048576)
        return FormatString(IDS_DOWNLOAD_KB, Fixed(static_cast<double>(bytes) / 1024.0, 1));
    return FormatString(IDS_DOWNLOAD_MB, Fixed(static_cast<double>(bytes) / 1048576.0, 2));
}

CString CHttpDownloadDlg::FormatTimeLeft(DWORD seconds)
{
    if (seconds < 60)
        return FormatString(IDS_DOWNLOAD_SECONDS, Decimal(seconds));
    const DWORD minutes = seconds / 60;
    const DWORD rest = seconds % 60;
    if (rest == 0)
        return FormatString(IDS_DOWNLOAD_MINUTES, Decimal(minutes));
    return FormatString(IDS_DOWNLOAD_MINUTES_SECONDS, Decimal(minutes), Decimal(rest));
}

CString CHttpDownloadDlg::FormatRate(double kilobytesPerSecond)
{
    if (kilobytesPerSecond < 1.0)
        return FormatString(IDS_DOWNLOAD_BYTES_PER_SEC, Fixed(kilobytesPerSecond * 1024.0, 0));
    if (kilobytesPerSecond < 10.0)
        return FormatString(IDS_DOWNLOAD_KB_PER_SEC, Fixed(kilobytesPerSecond, 2));
    return FormatString(IDS_DOWNLOAD_KB_PER_SEC, Fixed(kilobytesPerSecond, 0));
}

void CHttpDownloadDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DOWNLOAD_STATUS, m_ctrlStatus);
    DDX_Control(pDX, IDC_DOWNLOAD_RATE, m_ctrlTransferRate);
    DDX_Control(pDX, IDC_DOWNLOAD_TIME_LEFT, m_ctrlTimeLeft);
    DDX_Control(pDX, IDC_DOWNLOAD_PROGRESS, m_ctrlProgress);
    DDX_Control(pDX, IDC_DOWNLOAD_FILE_AND_HOST, m_ctrlFileAndHost);
    DDX_Control(pDX, IDC_DOWNLOAD_ANIMATION, m_ctrlAnimate);
}

BOOL CHttpDownloadDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    m_ctrlAnimate.Open(IDR_HTTP_DOWNLOAD_AVI);

    CHttpUrlParts parts;
    if (!CrackHttpUrl(m_strUrl, parts)) {
        EndDialog(IDCANCEL);
        return FALSE;
    }
    m_strHost = parts.strHost;
    m_nPort = parts.nPort;
    m_nScheme = parts.bSecure ? INTERNET_SCHEME_HTTPS : INTERNET_SCHEME_HTTP;
    m_strObject = parts.strObject;

    if (FileExists(m_strFile) && m_dwResumeOffset == 0 && m_bAskBeforeReplacing) {
        if (AfxMessageBox(FormatString(IDS_DOWNLOAD_REPLACE, m_strFile), MB_YESNO | MB_ICONQUESTION) != IDYES) {
            EndDialog(IDCANCEL);
            return FALSE;
        }
    }

    UINT flags = CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite;
    if (m_dwResumeOffset != 0)
        flags |= CFile::modeNoTruncate;
    CFileException openError;
    if (!m_file.Open(m_strFile, flags, &openError)) {
        const DWORD code = openError.m_lOsError != -1 ? static_cast<DWORD>(openError.m_lOsError) : GetLastError();
        AfxMessageBox(FormatString(IDS_DOWNLOAD_ERROR_OPEN, Decimal(code)), MB_OK | MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
        return FALSE;
    }

    try {
        // A file shorter than the offset would otherwise be padded with zeros in the middle of the download.
        const ULONGLONG held = m_file.GetLength();
        if (held < m_dwResumeOffset)
            m_dwResumeOffset = static_cast<DWORD>(held);
        m_file.Seek(static_cast<LONGLONG>(m_dwResumeOffset), CFile::begin);
        m_file.SetLength(m_dwResumeOffset);
    } catch (CFileException* e) {
        const LONG code = e->m_lOsError;
        e->Delete();
        m_file.Abort();
        AfxMessageBox(FormatString(IDS_DOWNLOAD_ERROR_SEEK, Decimal(static_cast<DWORD>(code))),
                      MB_OK | MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
        return FALSE;
    }

    int slash = m_strObject.ReverseFind(L'/');
    if (slash < 0)
        slash = m_strObject.ReverseFind(L'\\');
    if (slash < 0 || m_strObject.GetLength() < 2)
        m_strFileName = m_strObject;
    else
        m_strFileName = m_strObject.Mid(slash + 1);

    m_ctrlFileAndHost.SetWindowText(FormatString(IDS_DOWNLOAD_FILE_FROM_HOST, m_strFileName, m_strHost));

    m_pThread = AfxBeginThread(HttpDownloadThreadProc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pThread) {
        m_file.Abort();
        EndDialog(IDCANCEL);
        return FALSE;
    }
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    return TRUE;
}

UINT AFX_CDECL HttpDownloadThreadProc(LPVOID pParam)
{
    static_cast<CHttpDownloadDlg*>(pParam)->DownloadBody();
    return 0;
}

BOOL CHttpDownloadDlg::CheckConnection()
{
    return TRUE;
}

void CHttpDownloadDlg::PostDone(WPARAM wParam)
{
    ::PostMessageW(m_hWnd, WM_HTTP_DOWNLOAD_DONE, wParam, 0);
}

void CHttpDownloadDlg::ReportError(UINT nID, DWORD dwError)
{
    if (dwError == 0)
        dwError = GetLastError();
    m_strError = FormatString(nID, Decimal(dwError));
    m_file.Abort();
    DeleteFileW(m_strFile);
    PostDone(1);
}

void CHttpDownloadDlg::ReportErrorKeepFile(UINT nID, DWORD dwError)
{
    if (dwError == 0)
        dwError = GetLastError();
    m_strError = FormatString(nID, Decimal(dwError));
    m_file.Abort();
    PostDone(1);
}

void CHttpDownloadDlg::DownloadBody()
{
    if (!CheckConnection()) {
        ReportError(IDS_DOWNLOAD_ERROR_CONNECT, ERROR_WINHTTP_CANNOT_CONNECT);
        return;
    }
    m_hSession.Attach(OpenHttpSession(m_strUserAgent, m_nProxyMode, m_strProxyServer));
    if (!m_hSession) {
        ReportError(IDS_DOWNLOAD_ERROR_SESSION, GetLastError());
        return;
    }
    SetConnectionTimeouts(m_hSession);
    if (Aborted()) {
        PostDone(0);
        return;
    }

    m_hConnection.Attach(WinHttpConnect(m_hSession, m_strHost, m_nPort, 0));
    if (!m_hConnection) {
        ReportError(IDS_DOWNLOAD_ERROR_CONNECT, GetLastError());
        return;
    }
    if (Aborted()) {
        PostDone(0);
        return;
    }

    PlayAnimation();

    LPCWSTR acceptTypes[] = {L"*/*", nullptr};
    DWORD requestFlags = WINHTTP_FLAG_REFRESH;
    if (m_nScheme == INTERNET_SCHEME_HTTPS)
        requestFlags |= WINHTTP_FLAG_SECURE;
    m_hRequest.Attach(
        WinHttpOpenRequest(m_hConnection, L"GET", m_strObject, nullptr, WINHTTP_NO_REFERER, acceptTypes, requestFlags));
    if (!m_hRequest) {
        ReportError(IDS_DOWNLOAD_ERROR_CONNECT, GetLastError());
        return;
    }
    if (Aborted()) {
        PostDone(0);
        return;
    }

    // A cancelled transfer leaves a body unread: its connection must not go back to the platform's pool.
    DWORD disabled = WINHTTP_DISABLE_KEEP_ALIVE;
    WinHttpSetOption(m_hRequest, WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof(disabled));

    // The user's credentials wait for the server's challenge (see SendRequest).
    SetProxyCredentials(m_hRequest, m_nProxyMode, m_strProxyUserName, m_strProxyPassword);
    m_bLeftOrigin = false;
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(this);
    WinHttpSetOption(m_hRequest, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof(context));
    if (WinHttpSetStatusCallback(m_hRequest, OnRequestStatus,
                                 WINHTTP_CALLBACK_FLAG_REDIRECT | WINHTTP_CALLBACK_FLAG_SEND_REQUEST,
                                 0) == WINHTTP_INVALID_STATUS_CALLBACK) {
        // Unable to watch redirects: none is followed while credentials may have to be sent.
        DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        if (!m_strUserName.IsEmpty())
            WinHttpSetOption(m_hRequest, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof(policy));
    }

    DWORD status = 0;
    if (!SendRequest(status))
        return;

    if (m_dwResumeOffset != 0) {
        ULONGLONG first = 0;
        const bool bRestarted = status == 200 || (ContentRangeStart(m_hRequest, first) && first == 0);
        if (bRestarted) {
            // The server sent the whole file, not the rest of it: appending would corrupt the file.
            if (!StartFileOver())
                return;
        } else if (status == 206 && ContentRangeStart(m_hRequest, first) && first != m_dwResumeOffset) {
            ReportErrorKeepFile(IDS_DOWNLOAD_ERROR_STATUS, status);
            return;
        }
    }

    SetStatus(IDS_DOWNLOAD_GETTING_INFO);
    ULONGLONG length = 0;
    const bool bLengthKnown = QueryContentLength(m_hRequest, length) != FALSE;
    m_bLengthKnown = bLengthKnown;
    m_nAnnouncedLength = length;
    if (bLengthKnown)
        m_ctrlProgress.SetRange(0, 100);
    SetStatus(IDS_DOWNLOAD_RETRIEVING);
    Transfer(bLengthKnown, length);
}

BOOL CHttpDownloadDlg::SendRequest(DWORD& status)
{
    if (m_dwResumeOffset != 0) {
        WCHAR range[64];
        swprintf(range, 64, L"Range: bytes=%lu-\r\n", static_cast<unsigned long>(m_dwResumeOffset));
        WinHttpAddRequestHeaders(m_hRequest, range, static_cast<DWORD>(-1L),
                                 WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
    }
    bool bRetried = false;
    for (;;) {
        const CResponseHeadCap cap(m_hRequest);
        if (!WinHttpSendRequest(m_hRequest, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
            !cap.Check(WinHttpReceiveResponse(m_hRequest, nullptr)) || !QueryHttpStatusCode(m_hRequest, status)) {
            ReportError(IDS_DOWNLOAD_ERROR_RESPONSE, GetLastError());
            return FALSE;
        }
        if (status == 200 || status == 206)
            return TRUE;
        if (status == 401 || status == 407) {
            char discard[kBlockSize];
            DWORD read = 0;
            while (WinHttpReadData(m_hRequest, discard, sizeof(discard), &read) && read > 0) {
            }
        }
        if (status == 401 && !m_strUserName.IsEmpty() && !bRetried && AnsweredByOwnOrigin()) {
            bRetried = true;
            WinHttpSetCredentials(m_hRequest, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC, m_strUserName,
                                  m_strPassword, nullptr);
            continue;
        }
        ReportError(IDS_DOWNLOAD_ERROR_STATUS, status);
        return FALSE;
    }
}

// Whether the answer came from the address's own scheme, host and port, not from where a redirect led.
bool CHttpDownloadDlg::AnsweredByOwnOrigin() const
{
    return !m_bLeftOrigin;
}

// Told of every redirect the platform follows: one to another origin keeps the user's credentials back.
void CALLBACK CHttpDownloadDlg::OnRequestStatus(HINTERNET hRequest, DWORD_PTR context, DWORD status, LPVOID info,
                                                DWORD /*infoLength*/)
{
    auto* dlg = reinterpret_cast<CHttpDownloadDlg*>(context);
    if (!dlg)
        return;
    if (status == WINHTTP_CALLBACK_STATUS_REQUEST_SENT) {
        dlg->m_connection.Record(hRequest);
        return;
    }
    if (status != WINHTTP_CALLBACK_STATUS_REDIRECT)
        return;
    CHttpUrlParts parts;
    if (!info || !CrackHttpUrl(static_cast<LPCWSTR>(info), parts) || parts.nPort != dlg->m_nPort ||
        parts.bSecure != (dlg->m_nScheme == INTERNET_SCHEME_HTTPS) || parts.strHost.CompareNoCase(dlg->m_strHost) != 0)
        dlg->m_bLeftOrigin = true;
}

BOOL CHttpDownloadDlg::StartFileOver()
{
    try {
        m_file.SeekToBegin();
        m_file.SetLength(0);
    } catch (CFileException* e) {
        const LONG code = FileErrorCode(e);
        e->Delete();
        ReportError(IDS_DOWNLOAD_ERROR_TRANSFER, static_cast<DWORD>(code));
        return FALSE;
    }
    m_dwResumeOffset = 0;
    return TRUE;
}

void CHttpDownloadDlg::Transfer(bool bLengthKnown, ULONGLONG length)
{
    m_dwStartTick = GetTickCount();
    m_dwLastRateTick = m_dwStartTick;
    m_lastRateTotal = 0;
    m_nLastPercent = -1;
    ULONGLONG total = 0;
    char buffer[kBlockSize];
    for (;;) {
        DWORD read = 0;
        if (!WinHttpReadData(m_hRequest, buffer, sizeof(buffer), &read)) {
            // The connection broke off: what arrived is sound and stays for a later resume.
            ReportErrorKeepFile(IDS_DOWNLOAD_ERROR_TRANSFER, GetLastError());
            return;
        }
        if (read > 0 && !Aborted()) {
            try {
                m_file.Write(buffer, read);
            } catch (CFileException* e) {
                const LONG code = FileErrorCode(e);
                e->Delete();
                ReportError(IDS_DOWNLOAD_ERROR_TRANSFER, static_cast<DWORD>(code));
                return;
            }
        }
        total += read;
        UpdateProgress(total, length, bLengthKnown);
        if (read == 0 || Aborted()) {
            if (read == 0 && !Aborted() && bLengthKnown && total < length) {
                // The body ended before its announced length: not a complete file, but a resumable one.
                ReportErrorKeepFile(IDS_DOWNLOAD_ERROR_TRANSFER, ERROR_WINHTTP_CONNECTION_ERROR);
                return;
            }
            try {
                m_file.Close();
            } catch (CFileException* e) {
                const LONG code = FileErrorCode(e);
                e->Delete();
                ReportError(IDS_DOWNLOAD_ERROR_TRANSFER, static_cast<DWORD>(code));
                return;
            }
            PostDone(0);
            return;
        }
    }
}

void CHttpDownloadDlg::UpdateProgress(ULONGLONG total, ULONGLONG length, bool bLengthKnown)
{
    if (bLengthKnown) {
        const ULONGLONG whole = length + m_dwResumeOffset;
        const int percent = whole ? static_cast<int>((total + m_dwResumeOffset) * 100 / whole) : 100;
        if (percent != m_nLastPercent) {
            m_nLastPercent = percent;
            SetPercentage(percent);
        }
    }
    const DWORD now = GetTickCount();
    const DWORD sinceRate = now - m_dwLastRateTick;
    if (sinceRate > 1000) {
        SetTransferRate(static_cast<double>(total - m_lastRateTotal) / sinceRate);
        m_dwLastRateTick = now;
        m_lastRateTotal = total;
        if (bLengthKnown && total > 0) {
            double seconds = (static_cast<double>(now - m_dwStartTick) / static_cast<double>(total)) *
                             (static_cast<double>(length) - static_cast<double>(total)) * 0.001;
            if (seconds < 0)
                seconds = 0; // a body longer than announced
            SetTimeLeft(static_cast<DWORD>(seconds), total + m_dwResumeOffset, length + m_dwResumeOffset);
        }
    }
}

void CHttpDownloadDlg::SetPercentage(int nPercent)
{
    m_ctrlProgress.SetPos(nPercent);
    SetWindowText(FormatString(IDS_DOWNLOAD_PERCENT_CAPTION, Decimal(static_cast<ULONGLONG>(nPercent)), m_strFileName));
}

void CHttpDownloadDlg::SetTimeLeft(DWORD dwSecondsLeft, ULONGLONG bytesCopied, ULONGLONG bytesTotal)
{
    const CString copied = FormatString(IDS_DOWNLOAD_OF, FormatAmount(bytesCopied), FormatAmount(bytesTotal));
    m_ctrlTimeLeft.SetWindowText(FormatString(IDS_DOWNLOAD_TIME_LEFT_COPIED, FormatTimeLeft(dwSecondsLeft), copied));
}

void CHttpDownloadDlg::SetStatus(UINT nID, LPCWSTR insert)
{
    SetStatus(FormatString(nID, insert));
}

void CHttpDownloadDlg::SetStatus(UINT nID)
{
    CString text;
    text.LoadString(nID);
    SetStatus(text);
}

void CHttpDownloadDlg::SetStatus(const CString& text)
{
    m_ctrlStatus.SetWindowText(text);
}

void CHttpDownloadDlg::SetTransferRate(double kilobytesPerSecond)
{
    m_ctrlTransferRate.SetWindowText(FormatRate(kilobytesPerSecond));
}

void CHttpDownloadDlg::PlayAnimation()
{
    m_ctrlAnimate.Play(0, static_cast<UINT>(-1), static_cast<UINT>(-1));
}

LRESULT CHttpDownloadDlg::OnDownloadDone(WPARAM wParam, LPARAM)
{
    m_ctrlAnimate.Stop();
    m_bFinished = TRUE;
    if (Aborted()) {
        EndDialog(IDCANCEL);
    } else if (wParam == 0) {
        EndDialog(IDOK);
    } else {
        AfxMessageBox(m_strError, MB_OK | MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
    }
    return 0;
}

void CHttpDownloadDlg::OnCancel()
{
    // The dialog ends when the worker reports; after that there is nothing left to stop.
    if (m_bFinished)
        return;
    InterlockedExchange(&m_bAbort, 1);
    m_connection.Cut();
    if (CWnd* pCancel = GetDlgItem(IDCANCEL))
        pCancel->EnableWindow(FALSE);
    SetStatus(IDS_DOWNLOAD_ABORTING);
}

void CHttpDownloadDlg::OnClose()
{
    if (m_bFinished)
        EndDialog(IDCANCEL);
    else
        OnCancel();
}

void CHttpDownloadDlg::OnDestroy()
{
    if (m_pThread) {
        InterlockedExchange(&m_bAbort, 1);
        m_connection.Cut();
        // The worker sets control texts by sent messages: keep answering them while waiting, or a worker
        // between two reads and this thread would wait on each other for ever.
        HANDLE hThread = m_pThread->m_hThread;
        for (;;) {
            const DWORD wait = MsgWaitForMultipleObjects(1, &hThread, FALSE, INFINITE, QS_SENDMESSAGE);
            if (wait != WAIT_OBJECT_0 + 1)
                break;
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        delete m_pThread;
        m_pThread = nullptr;
    }
    m_hRequest.Close();
    m_hConnection.Close();
    m_hSession.Close();
    CDialog::OnDestroy();
}
