#include "companions/FeedDownloadDlg.h"

#include "res/resource.h"

#include "feeds/DataFiles.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedDownload.h"
#include "feeds/HttpFetch.h"
#include "feeds/XmlDom.h"
#include "framework/core/ComSupport.h"
#include "framework/win/DataExchange.h"

IMPLEMENT_DYNAMIC(CFeedDownloadDlg, CDialog)

BEGIN_MESSAGE_MAP(CFeedDownloadDlg, CDialog)
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_MESSAGE(WM_FEED_DOWNLOAD_DONE, OnDownloadDone)
END_MESSAGE_MAP()

CFeedDownloadDlg::CFeedDownloadDlg(CWnd* pParent)
    : CDialog(IDD_FEED_DOWNLOAD, pParent), m_pChannel(nullptr), m_bLogon(0), m_bHttpAuth(1), m_nResult(0),
      m_pThread(nullptr), m_hStopEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

CFeedDownloadDlg::~CFeedDownloadDlg()
{
    StopWorker();
    // A document the caller did not take over.
    delete m_pChannel;
}

void CFeedDownloadDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FEED_DOWNLOAD_ANIMATION, m_ctrlAnimate);
}

BOOL CFeedDownloadDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_strUrl.IsEmpty()) {
        m_nResult = IDS_CHANNEL_DOWNLOAD_FAILED;
        EndDialog(FEED_DOWNLOAD_NO_ADDRESS);
        return TRUE;
    }
    if (m_ctrlAnimate.Open(IDR_HTTP_DOWNLOAD_AVI))
        m_ctrlAnimate.Play(0, static_cast<UINT>(-1), static_cast<UINT>(-1));
    delete m_pChannel;
    m_pChannel = new CFeedChannel;
    // Not auto-deleting: Cancel waits on the thread's handle, which must outlive a worker that has just ended.
    m_pThread = AfxBeginThread(SubscribeDownloadThreadProc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pThread || !m_hStopEvent) {
        m_nResult = IDS_CHANNEL_DOWNLOAD_FAILED;
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    return TRUE;
}

void CFeedDownloadDlg::StopWorker()
{
    if (!m_pThread)
        return;
    if (m_hStopEvent)
        ::SetEvent(m_hStopEvent);
    // The fetch and the parse both watch the stop event and cut the connection, so this wait is short; the
    // worker only posts to this window, never sends.
    ::WaitForSingleObject(m_pThread->m_hThread, INFINITE);
    delete m_pThread;
    m_pThread = nullptr;
}

void CFeedDownloadDlg::OnCancel()
{
    // Stopped rather than terminated: a thread killed inside the HTTP library or the XML parser can leave their
    // locks held for the rest of the program.
    StopWorker();
    // Whatever the worker had parsed is no result: only IDOK hands a document over.
    delete m_pChannel;
    m_pChannel = nullptr;
    EndDialog(IDCANCEL);
}

void CFeedDownloadDlg::OnClose()
{
    OnCancel();
}

LRESULT CFeedDownloadDlg::OnDownloadDone(WPARAM, LPARAM)
{
    if (!m_pThread)
        return 0; // a report that a Cancel overtook
    ::WaitForSingleObject(m_pThread->m_hThread, INFINITE);
    delete m_pThread;
    m_pThread = nullptr;
    if (m_nResult == 0)
        EndDialog(IDOK);
    else if (m_nResult == FEED_DOWNLOAD_OPML)
        EndDialog(FEED_DOWNLOAD_OPML);
    else
        EndDialog(IDCANCEL);
    return 0;
}

void CFeedDownloadDlg::OnDestroy()
{
    StopWorker();
    if (m_nResult != 0) {
        delete m_pChannel;
        m_pChannel = nullptr;
    }
    CDialog::OnDestroy();
}

bool IsOpmlFile(LPCWSTR path)
{
    XmlDom::DocumentPtr doc = XmlDom::CreateDocument(true);
    if (!doc || !XmlDom::LoadDocument(doc.Get(), path))
        return false;
    return static_cast<bool>(XmlDom::SelectSingleNode(doc.Get(), L"opml"));
}

namespace {

bool Stopped(HANDLE hStopEvent)
{
    return ::WaitForSingleObject(hStopEvent, 0) == WAIT_OBJECT_0;
}

// The worker's whole fetch; the result code is left at 0 when a stop ends it.
void FetchFeed(CFeedDownloadDlg* pDlg, HANDLE hStopEvent)
{
    const bool bGetAuth = pDlg->m_bLogon && !pDlg->m_bHttpAuth;
    const bool bHttpAuth = pDlg->m_bLogon && pDlg->m_bHttpAuth;
    // Encoded, so that an "&" or "#" in the account cannot cut it short or add parameters of its own.
    const CString url =
        bGetAuth ? AppendFeedCredentials(pDlg->m_strUrl, pDlg->m_strAccountName, pDlg->m_strPassword) : pDlg->m_strUrl;
    const CString temp = MakeTempFile(L"lqdf");
    if (temp.IsEmpty()) {
        pDlg->m_nResult = IDS_CHANNEL_DOWNLOAD_FAILED;
        return;
    }
    const int fetched = DownloadUrlToFile(url, temp, nullptr, bHttpAuth ? TRUE : FALSE,
                                          bHttpAuth ? pDlg->m_strAccountName.GetString() : nullptr,
                                          bHttpAuth ? pDlg->m_strPassword.GetString() : nullptr, hStopEvent);
    if (fetched == HTTP_FETCH_STOPPED || Stopped(hStopEvent))
        return;
    if (fetched != HTTP_FETCH_DONE) {
        pDlg->m_nResult = IDS_CHANNEL_DOWNLOAD_FAILED;
        return;
    }
    if (IsOpmlFile(temp)) {
        pDlg->m_strUrl = temp;
        pDlg->m_nResult = FEED_DOWNLOAD_OPML;
        return;
    }
    if (!pDlg->m_pChannel->LoadFile(temp, hStopEvent, CFeedChannel::LOAD_FEED)) {
        if (!Stopped(hStopEvent))
            pDlg->m_nResult = IDS_INCORRECT_FEED_FORMAT;
        return;
    }
    ::DeleteFileW(temp);
    pDlg->m_pChannel->m_dtLastUpdate = COleDateTime::GetCurrentTime();

    const CString iconUrl = DefaultIconUrl(pDlg->m_strUrl);
    const CString icon = iconUrl.IsEmpty() ? CString() : MakeTempFile(L"lqdi");
    if (!icon.IsEmpty()) {
        if (DownloadUrlToFile(iconUrl, icon, nullptr, FALSE, nullptr, nullptr, hStopEvent) == HTTP_FETCH_DONE)
            pDlg->m_strIconFile = icon;
        else
            ::DeleteFileW(icon);
    }
}

} // namespace

UINT AFX_CDECL SubscribeDownloadThreadProc(LPVOID pParam)
{
    auto* pDlg = static_cast<CFeedDownloadDlg*>(pParam);
    const HRESULT hrCom = ::CoInitialize(nullptr);
    FetchFeed(pDlg, pDlg->m_hStopEvent);
    if (SUCCEEDED(hrCom))
        ::CoUninitialize();
    ::PostMessageW(pDlg->GetSafeHwnd(), WM_FEED_DOWNLOAD_DONE, 0, 0);
    return 0;
}
