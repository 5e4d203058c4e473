#include "companions/PodcastWnd.h"

#include "companions/CompanionMessages.h"
#include "companions/PodcastProp.h"
#include "feeds/EnclosureFiles.h"
#include "feeds/EnclosureJob.h"
#include "feeds/EngineContext.h"
#include "feeds/EngineMessages.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/core/ComSupport.h"
#include "framework/win/Menu.h"
#include "framework/win/PropertySheet.h"
#include "framework/win/WinApp.h"
#include "framework/win/WndMsgMap.h"
#include "res/resource.h"
#include "toolkit/commandbars/XTPCommandBars.h"

#include <shlobj.h>

HANDLE g_hPodcastExitEvent = nullptr;

namespace {

const UINT kWindowId = 112;
const UINT kListId = 113;
// How long a stop waits for the download thread; the cut connection ends it long before.
const DWORD kTransferEndWaitMs = 5000;

int DownloadMode()
{
    return GetEngineContext().m_settings.nPodcastMode;
}

bool FileExists(const CString& path)
{
    const DWORD attributes = path.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

LONGLONG FileBytes(const CString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.IsEmpty() || !::GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

CString FeedTitle(const CEnclosureJob* pJob)
{
    return pJob->m_pFeed ? pJob->m_pFeed->m_strTitleText : CString();
}

} // namespace

// ---- The download thread

DWORD WINAPI PodcastDownloadThreadProc(LPVOID pParam)
{
    std::unique_ptr<std::shared_ptr<CEnclosureTransfer>> owner(static_cast<std::shared_ptr<CEnclosureTransfer>*>(pParam));
    ::DownloadEnclosure(**owner);
    return 0;
}

// ---- The window

IMPLEMENT_DYNAMIC(CPodcastWnd, CWnd)

BEGIN_MESSAGE_MAP(CPodcastWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_MESSAGE(WM_REQUEST_CLOSE, OnRequestClose)
ON_MESSAGE(WM_PODCAST_DOWNLOAD_DONE, OnDownloadDone)
ON_MESSAGE(WM_PODCAST_PROGRESS, OnDownloadProgress)
ON_MESSAGE(WM_PODCAST_ADD_ITEMS, OnAddItems)
ON_MESSAGE(WM_PODCAST_REMOVE_ITEM, OnRemoveItem)
ON_NOTIFY(NM_RCLICK, kListId, OnListRightClick)
ON_NOTIFY(NM_DBLCLK, kListId, OnListDoubleClick)
ON_COMMAND(ID_PODCAST_RESUME, OnResume)
ON_COMMAND(ID_PODCAST_STOP, OnStop)
ON_COMMAND(ID_PODCAST_OPEN_FILE, OnOpenFile)
ON_COMMAND(ID_PODCAST_OPEN_FOLDER, OnOpenFolder)
ON_COMMAND(ID_PODCAST_PROPERTIES, OnProperties)
ON_UPDATE_COMMAND_UI(ID_PODCAST_STOP, OnUpdateStop)
ON_UPDATE_COMMAND_UI(ID_PODCAST_RESUME, OnUpdateResume)
ON_UPDATE_COMMAND_UI(ID_PODCAST_OPEN_FILE, OnUpdateOpenFile)
END_MESSAGE_MAP()

CPodcastWnd::CPodcastWnd() = default;

CPodcastWnd::~CPodcastWnd()
{
    // A window destroyed without WM_DESTROY reaching us (never in the program) still frees its jobs.
    EndTransfer();
    while (!m_jobs.IsEmpty())
        delete static_cast<CEnclosureJob*>(m_jobs.RemoveHead());
}

BOOL CPodcastWnd::Create(HWND hFrame)
{
    m_hFrame = hFrame;
    const LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                                  static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    // A pop-up has no control id: the id slot would be read as a menu.
    return CreateEx(WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE, lpszClass, L"Podcasting Manager",
                    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                    CRect(0, 0, 600, 430), hFrame ? CWnd::FromHandle(hFrame) : nullptr, 0);
}

int CPodcastWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (m_wndToolBar.CreateToolBar(WS_CHILD | WS_VISIBLE | CBRS_TOOLTIPS | CBRS_FLYBY, this, AFX_IDW_TOOLBAR))
        m_wndToolBar.LoadToolBar(IDR_PODCAST_TOOLBAR);
    if (!m_list.Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL,
                       CRect(0, 0, 0, 0), this, kListId))
        return -1;
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);

    LPBYTE pData = nullptr;
    UINT nBytes = 0;
    if (AfxGetApp()->GetProfileBinary(L"Podcasting", L"WP", &pData, &nBytes) && nBytes == sizeof(WINDOWPLACEMENT)) {
        WINDOWPLACEMENT placement;
        memcpy(&placement, pData, sizeof(placement));
        placement.length = sizeof(placement);
        placement.showCmd = SW_HIDE;
        SetWindowPlacement(&placement);
    } else {
        CenterWindow();
    }
    delete[] pData;

    WCHAR folder[MAX_PATH] = L"";
    if (::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, TRUE))
        m_strDefaultFolder = folder;

    const UINT captions[] = {IDS_PODCAST_COLUMN_LINK, IDS_PODCAST_COLUMN_FEED, IDS_PODCAST_COLUMN_STATE};
    const int widths[] = {300, 160, 130};
    for (int i = 0; i < 3; ++i) {
        CString caption;
        caption.LoadString(captions[i]);
        m_list.InsertColumn(i, caption, LVCFMT_LEFT, widths[i]);
    }
    return 0;
}

void CPodcastWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    int nToolBar = 0;
    if (m_wndToolBar.GetSafeHwnd()) {
        nToolBar = m_wndToolBar.CalcDockingLayout(cx, LM_HORZDOCK | LM_HORZ | LM_COMMIT).cy;
        m_wndToolBar.SetWindowPos(nullptr, 0, 0, cx, nToolBar, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_list.GetSafeHwnd())
        m_list.SetWindowPos(nullptr, 0, nToolBar, cx, std::max(0, cy - nToolBar), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPodcastWnd::OnClose()
{
    ShowWindow(SW_HIDE);
}

void CPodcastWnd::OnDestroy()
{
    StopAll();
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(&placement))
        AfxGetApp()->WriteProfileBinary(L"Podcasting", L"WP", reinterpret_cast<LPBYTE>(&placement),
                                        sizeof(placement));
    CWnd::OnDestroy();
}

LRESULT CPodcastWnd::OnRequestClose(WPARAM, LPARAM)
{
    DestroyWindow();
    return 0;
}

CString CPodcastWnd::DownloadFolder() const
{
    const CString path = EngineProfileString(L"Podcasting", L"Path", L"");
    return path.IsEmpty() ? m_strDefaultFolder : path;
}

// ---- Jobs

int CPodcastWnd::RowOf(CEnclosureJob* pJob) const
{
    return pJob ? m_list.FindRowData(reinterpret_cast<DWORD_PTR>(pJob)) : -1;
}

void CPodcastWnd::SortJobs()
{
    // Newest first by the item's date; a stable selection sort keeps equal dates in their order.
    CPtrList sorted(10);
    while (!m_jobs.IsEmpty()) {
        POSITION newest = m_jobs.GetHeadPosition();
        for (POSITION pos = newest; pos;) {
            const POSITION here = pos;
            auto* job = static_cast<CEnclosureJob*>(m_jobs.GetNext(pos));
            if (static_cast<CEnclosureJob*>(m_jobs.GetAt(newest))->m_pItem->m_dtDate < job->m_pItem->m_dtDate)
                newest = here;
        }
        sorted.AddTail(m_jobs.GetAt(newest));
        m_jobs.RemoveAt(newest);
    }
    m_jobs.AddTail(&sorted);
}

void CPodcastWnd::FillList()
{
    m_list.SetRedraw(FALSE);
    m_list.DeleteAllItems();
    for (POSITION pos = m_jobs.GetHeadPosition(); pos;) {
        auto* job = static_cast<CEnclosureJob*>(m_jobs.GetNext(pos));
        CFeedItem* item = job->m_pItem;
        if (item->m_nEnclosureState == 2 && !FileExists(item->m_strEnclosureFile)) {
            item->m_nEnclosureState = 0;
            item->m_strEnclosureFile.Empty();
        }
        const COLORREF colour = item->m_nEnclosureState == 1 ? kPodcastCompleted : kPodcastToDownload;
        const int row = m_list.InsertItem(0, item->m_strEnclosureUrl, static_cast<COLORREF>(-1), colour);
        if (row < 0)
            continue;
        m_list.SetCellText(row, 1, FeedTitle(job), static_cast<COLORREF>(-1), colour);
        m_list.SetCellText(row, 2, item->m_nEnclosureState == 1 ? L"Completed" : L"To be downloaded",
                           static_cast<COLORREF>(-1), colour);
        m_list.SetRowData(row, reinterpret_cast<DWORD_PTR>(job));
    }
    m_list.SetRedraw(TRUE);
    m_list.Invalidate();
    m_list.UpdateWindow();
}

void CPodcastWnd::AddRow(CEnclosureJob* pJob, bool bAlone)
{
    CFeedItem* item = pJob->m_pItem;
    const COLORREF colour = item->m_nEnclosureState == 1   ? kPodcastCompleted
                            : item->m_nEnclosureState == 2 ? kPodcastDownloading
                                                           : kPodcastToDownload;
    const int row = m_list.InsertItem(m_list.GetItemCount(), item->m_strEnclosureUrl, static_cast<COLORREF>(-1),
                                      colour);
    if (row < 0)
        return;
    m_list.SetCellText(row, 1, FeedTitle(pJob), static_cast<COLORREF>(-1), colour);
    m_list.SetRowData(row, reinterpret_cast<DWORD_PTR>(pJob));
    if (item->m_nEnclosureState == 1) {
        m_list.SetCellText(row, 2, L"Completed", static_cast<COLORREF>(-1), colour);
    } else if (item->m_nEnclosureState == 2 && bAlone && FileExists(item->m_strEnclosureFile)) {
        m_list.SetCellText(row, 2, L"", static_cast<COLORREF>(-1), colour);
        m_list.SetProgressCell(row, 2);
        const LONGLONG held = FileBytes(item->m_strEnclosureFile);
        if (item->m_nEnclosureLength > 0)
            m_list.SetCellProgress(row, 2, static_cast<int>(std::min<LONGLONG>(100, held * 100 / item->m_nEnclosureLength)));
    } else {
        if (item->m_nEnclosureState == 2) {
            item->m_nEnclosureState = 0;
            item->m_strEnclosureFile.Empty();
        }
        m_list.SetCellText(row, 0, nullptr, static_cast<COLORREF>(-1), kPodcastToDownload);
        m_list.SetCellText(row, 1, nullptr, static_cast<COLORREF>(-1), kPodcastToDownload);
        m_list.SetCellText(row, 2, L"To be downloaded", static_cast<COLORREF>(-1), kPodcastToDownload);
    }
}

LRESULT CPodcastWnd::OnAddItems(WPARAM wParam, LPARAM lParam)
{
    if (lParam != 0) {
        StopAll();
        if (auto* list = reinterpret_cast<CPtrList*>(wParam)) {
            // The jobs change hands; the sender frees only the list.
            while (!list->IsEmpty())
                m_jobs.AddTail(list->RemoveHead());
            SortJobs();
        }
        FillList();
        AutoStart();
        return 0;
    }
    auto* job = reinterpret_cast<CEnclosureJob*>(wParam);
    if (!job || !job->m_pItem)
        return 0;
    const int mode = DownloadMode();
    if (mode == 0 ||
        (mode == 2 && (!job->m_pFeed || job->m_pFeed->m_strFile.IsEmpty() ||
                       EngineProfileString(L"Podcasting\\Items", job->m_pFeed->m_strFile, L"") != L"yes"))) {
        delete job;
        return 0;
    }
    m_jobs.AddHead(job);
    AddRow(job, true);
    if (m_bRunning)
        m_bRestart = true;
    else
        AutoStart();
    return 0;
}

LRESULT CPodcastWnd::OnRemoveItem(WPARAM wParam, LPARAM)
{
    auto* item = reinterpret_cast<CFeedItem*>(wParam);
    for (POSITION pos = m_jobs.GetHeadPosition(); pos;) {
        const POSITION here = pos;
        auto* job = static_cast<CEnclosureJob*>(m_jobs.GetNext(pos));
        if (job->m_pItem != item)
            continue;
        if (job == m_pCurrentJob) {
            // The download ends before its item goes; the partial file stays on disk for nobody.
            EndTransfer();
            m_pCurrentJob = nullptr;
            m_pTransfer.reset();
        }
        if (m_posNext == here)
            m_posNext = pos;
        m_jobs.RemoveAt(here);
        const int row = RowOf(job);
        if (row >= 0)
            m_list.DeleteItem(row);
        delete job;
        if (m_bRunning && !m_pCurrentJob && !m_hDownloadThread)
            StartNext();
        break;
    }
    return 0;
}

// ---- Runs

void CPodcastWnd::AutoStart()
{
    if (DownloadMode() == 0 || m_bStopped)
        return;
    m_posNext = m_jobs.GetHeadPosition();
    m_bRunning = true;
    StartNext();
}

void CPodcastWnd::StartNext()
{
    m_pCurrentJob = nullptr;
    m_pTransfer.reset();
    if (m_bRestart) {
        m_posNext = nullptr;
        m_bRunning = false;
        m_bRestart = false;
        AutoStart();
        return;
    }
    CEnclosureJob* job = nullptr;
    while (m_posNext) {
        auto* candidate = static_cast<CEnclosureJob*>(m_jobs.GetNext(m_posNext));
        if (candidate->m_pItem->m_nEnclosureState != 1) {
            job = candidate;
            break;
        }
    }
    if (!job) {
        m_bRunning = false;
        return;
    }
    m_pCurrentJob = job;
    const int row = RowOf(job);
    if (row >= 0) {
        m_list.SetCellText(row, 0, nullptr, static_cast<COLORREF>(-1), kPodcastDownloading);
        m_list.SetCellText(row, 1, nullptr, static_cast<COLORREF>(-1), kPodcastDownloading);
        m_list.ClearCellProgress(row, 2);
        m_list.SetCellText(row, 2, L"Downloading", static_cast<COLORREF>(-1), kPodcastDownloading);
    }

    auto transfer = std::make_shared<CEnclosureTransfer>();
    CFeedItem* item = job->m_pItem;
    transfer->strUrl = item->m_strEnclosureUrl;
    transfer->strFolder = DownloadFolder();
    if (item->m_nEnclosureState == 2 && !item->m_strEnclosureFile.IsEmpty())
        transfer->strResumePath = item->m_strEnclosureFile;
    transfer->nDeclaredLength = item->m_nEnclosureLength;
    if (CFeedItem* feed = job->m_pFeed) {
        transfer->strFeedLink = feed->m_strLink;
        if (feed->m_bHttpAuth) {
            transfer->strAccountName = feed->m_strAccountName;
            transfer->strPassword = feed->m_strPassword;
        }
    }
    transfer->hNotify = m_hWnd;
    transfer->nSerial = ++m_nSerial;
    m_pTransfer = transfer;

    auto* handOver = new std::shared_ptr<CEnclosureTransfer>(transfer);
    m_hDownloadThread.Attach(::CreateThread(nullptr, 0, PodcastDownloadThreadProc, handOver, 0, nullptr));
    if (!m_hDownloadThread) {
        delete handOver;
        transfer->strError = L"The download could not be started.";
        PostMessage(WM_PODCAST_DOWNLOAD_DONE, 1, transfer->nSerial);
    }
}

void CPodcastWnd::DownloadEnclosure(CEnclosureTransfer& transfer)
{
    ::DownloadEnclosure(transfer);
}

void CPodcastWnd::EndTransfer()
{
    if (m_pTransfer)
        m_pTransfer->Abort();
    if (m_hDownloadThread) {
        ::WaitForSingleObject(m_hDownloadThread, kTransferEndWaitMs);
        m_hDownloadThread.Close();
    }
}

LRESULT CPodcastWnd::OnDownloadProgress(WPARAM wParam, LPARAM lParam)
{
    if (!m_pTransfer || lParam != m_pTransfer->nSerial || !m_pCurrentJob)
        return 0;
    const int row = RowOf(m_pCurrentJob);
    if (row < 0)
        return 0;
    const int percent = static_cast<int>(wParam);
    if (percent < 0) {
        m_list.SetCellText(row, 2, L"Downloading...", static_cast<COLORREF>(-1), kPodcastDownloading);
        return 0;
    }
    const CProgressCell* cell = m_list.GetCell(row, 2);
    if (cell && !cell->bShowProgress) {
        m_list.SetCellText(row, 2, L"", static_cast<COLORREF>(-1), kPodcastDownloading);
        m_list.SetProgressCell(row, 2);
    }
    m_list.SetCellProgress(row, 2, percent);
    return 0;
}

void CPodcastWnd::WriteCache(CEnclosureJob* pJob)
{
    CFeedItem* feed = pJob->m_pFeed;
    if (!feed || !feed->m_pChannel)
        return;
    const CString cache = feed->GetCacheFileName();
    if (!cache.IsEmpty())
        feed->m_pChannel->SaveCache(cache, TRUE);
}

void CPodcastWnd::KeepPartialFile(bool bWriteCache)
{
    if (!m_pCurrentJob || !m_pTransfer || m_pTransfer->strFilePath.IsEmpty())
        return;
    CFeedItem* item = m_pCurrentJob->m_pItem;
    if (FileBytes(m_pTransfer->strFilePath) > 0) {
        item->m_nEnclosureState = 2;
        item->m_strEnclosureFile = m_pTransfer->strFilePath;
        if (bWriteCache)
            WriteCache(m_pCurrentJob);
    } else {
        ::DeleteFileW(m_pTransfer->strFilePath);
        if (item->m_strEnclosureFile == m_pTransfer->strFilePath) {
            item->m_strEnclosureFile.Empty();
            item->m_nEnclosureState = 0;
        }
    }
}

LRESULT CPodcastWnd::OnDownloadDone(WPARAM wParam, LPARAM lParam)
{
    // A report of a transfer that was stopped or dropped meanwhile changes nothing.
    if (!m_pTransfer || lParam != m_pTransfer->nSerial)
        return 0;
    if (m_hDownloadThread) {
        ::WaitForSingleObject(m_hDownloadThread, kTransferEndWaitMs);
        m_hDownloadThread.Close();
    }
    if (CEnclosureJob* job = m_pCurrentJob) {
        const int row = RowOf(job);
        if (row >= 0)
            m_list.ClearCellProgress(row, 2);
        if (wParam != 0) {
            if (row >= 0) {
                m_list.SetCellText(row, 0, nullptr, static_cast<COLORREF>(-1), kPodcastFailed);
                m_list.SetCellText(row, 1, nullptr, static_cast<COLORREF>(-1), kPodcastFailed);
                m_list.SetCellText(row, 2, m_pTransfer->strError, static_cast<COLORREF>(-1), kPodcastFailed);
                m_list.SetCellToolTip(row, 2, m_pTransfer->strError);
            }
            KeepPartialFile(true);
        } else {
            if (row >= 0) {
                m_list.SetCellText(row, 0, nullptr, static_cast<COLORREF>(-1), kPodcastCompleted);
                m_list.SetCellText(row, 1, nullptr, static_cast<COLORREF>(-1), kPodcastCompleted);
                m_list.SetCellText(row, 2, L"Completed", static_cast<COLORREF>(-1), kPodcastCompleted);
            }
            job->m_pItem->m_nEnclosureState = 1;
            job->m_pItem->m_strEnclosureFile = m_pTransfer->strFilePath;
            WriteCache(job);
        }
    }
    m_pCurrentJob = nullptr;
    m_pTransfer.reset();
    StartNext();
    return 0;
}

void CPodcastWnd::CloseCurrent()
{
    EndTransfer();
    m_posNext = nullptr;
    m_bRunning = false;
    m_bRestart = false;
}

void CPodcastWnd::Stop()
{
    m_bStopped = true;
    EndTransfer();
    KeepPartialFile(true);
    if (m_pCurrentJob) {
        const int row = RowOf(m_pCurrentJob);
        if (row >= 0 && m_list.GetCell(row, 2) && !m_list.GetCell(row, 2)->bShowProgress)
            m_list.SetCellText(row, 2, L"Stopped", static_cast<COLORREF>(-1), kPodcastDownloading);
    }
    m_pCurrentJob = nullptr;
    m_pTransfer.reset();
    CloseCurrent();
}

void CPodcastWnd::Resume()
{
    m_bStopped = false;
    if (DownloadMode() == 0 || m_bRunning)
        return;
    m_posNext = m_jobs.GetHeadPosition();
    m_bRunning = true;
    StartNext();
}

void CPodcastWnd::StopAll()
{
    EndTransfer();
    // The frame writes the lists and caches after the manager has gone: the item keeps its partial file there.
    KeepPartialFile(false);
    m_pCurrentJob = nullptr;
    m_pTransfer.reset();
    CloseCurrent();
    if (m_list.GetSafeHwnd())
        m_list.DeleteAllItems();
    while (!m_jobs.IsEmpty())
        delete static_cast<CEnclosureJob*>(m_jobs.RemoveHead());
}

// ---- Opening files

void CPodcastWnd::ShowSystemError(DWORD error)
{
    LPWSTR text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&text), 0,
                     nullptr);
    AfxMessageBox(text ? text : L"The file cannot be opened.", MB_ICONERROR);
    if (text)
        ::LocalFree(text);
}

void CPodcastWnd::OpenFile(int nRow)
{
    auto* job = reinterpret_cast<CEnclosureJob*>(m_list.GetRowData(nRow));
    if (!job || job->m_pItem->m_nEnclosureState != 1)
        return;
    if (!OpenEnclosureFile(job->m_pItem->m_strEnclosureFile))
        ShowSystemError(::GetLastError());
}

void CPodcastWnd::OpenFolder()
{
    if (!OpenEnclosureFolder(DownloadFolder()))
        ShowSystemError(::GetLastError());
}

// ---- Commands

void CPodcastWnd::OnResume()
{
    Resume();
}

void CPodcastWnd::OnStop()
{
    Stop();
}

void CPodcastWnd::OnOpenFile()
{
    OpenFile(m_list.GetSelectedItem());
}

void CPodcastWnd::OnOpenFolder()
{
    OpenFolder();
}

bool CPodcastWnd::ShowSettings()
{
    CPropertySheet sheet(L"Podcasting Settings", this);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    CPodcastProp page;
    sheet.AddPage(&page);
    return sheet.DoModal() == IDOK && page.m_bChanged;
}

void CPodcastWnd::OnProperties()
{
    if (ShowSettings() && m_hFrame)
        ::SendMessageW(m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_PODCAST_CHANGED, 0);
}

void CPodcastWnd::OnUpdateStop(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bRunning);
}

void CPodcastWnd::OnUpdateResume(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bStopped);
}

void CPodcastWnd::OnUpdateOpenFile(CCmdUI* pCmdUI)
{
    auto* job = reinterpret_cast<CEnclosureJob*>(m_list.GetRowData(m_list.GetSelectedItem()));
    pCmdUI->Enable(job && job->m_pItem->m_nEnclosureState == 1);
}

void CPodcastWnd::OnListRightClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const auto* activate = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR);
    if (activate->iItem < 0)
        return;
    CPoint point = activate->ptAction;
    m_list.ClientToScreen(&point);
    CMenu menu;
    if (!menu.LoadMenu(IDR_PODCAST_MENU))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (popup)
        CXTPCommandBars::TrackPopupMenu(popup, TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CPodcastWnd::OnListDoubleClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const auto* activate = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR);
    if (activate->iItem >= 0)
        OpenFile(activate->iItem);
}

// ---- The thread

IMPLEMENT_DYNAMIC(CPodcastThread, CWinThread)

CPodcastThread::CPodcastThread(HWND hFrame, HANDLE hReady) : m_hFrame(hFrame), m_hReady(hReady)
{
    m_bAutoDelete = TRUE;
}

CPodcastThread::~CPodcastThread()
{
    if (m_bComReady)
        ::CoUninitialize();
    if (g_hPodcastExitEvent)
        ::SetEvent(g_hPodcastExitEvent);
}

BOOL CPodcastThread::InitInstance()
{
    m_bComReady = SUCCEEDED(::CoInitialize(nullptr));
    const BOOL created = m_wnd.Create(m_hFrame);
    if (created)
        m_pMainWnd = &m_wnd;
    if (m_hReady)
        ::SetEvent(m_hReady);
    return created;
}
