// The feed worker thread: download queue, connection limit, reports to the frame, stop and end, searches, the
// update and server-list fetches.
#include "app/FeedWorker.h"

#include "app/QuickFilter.h"

#include "feeds/Branding.h"
#include "feeds/DataFiles.h"
#include "feeds/EngineContext.h"
#include "feeds/EngineMessages.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedDownload.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedStore.h"
#include "feeds/HttpFetch.h"
#include "feeds/NetworkState.h"
#include "feeds/UpdateCheck.h"
#include "feeds/UsageLog.h"
#include "feeds/WebAddresses.h"
#include "framework/core/UrlEncoding.h"
#include "framework/win/WinApp.h"

#include <objbase.h>

#include <deque>
#include <vector>

namespace {

// "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" in lower case, as the channel-list service knows its users.
CString NewInstallationId()
{
    GUID guid;
    if (FAILED(::CoCreateGuid(&guid)))
        return CString();
    CString text;
    text.Format(L"%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", static_cast<unsigned long>(guid.Data1),
                guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

class CFeedWorker
{
public:
    explicit CFeedWorker(CFeedWorkerLink* pLink) : m_link(*pLink) {}

    void Run();

private:
    struct Job
    {
        CFeedItem* pEntry;
        bool bEnclosure;
        CWinThread* pThread;
        DWORD dwThreadId;
    };

    void OnUpdate(WPARAM wParam, int nMode);
    void OnFeedDone(CFeedItem* pEntry, DWORD dwThreadId);
    void OnThreadEnded(size_t index);
    void Complete(size_t index);
    void WaitForWork();
    void OnStop();
    void OnEnd();
    void OnSearch(CFeedItem* pEntry);
    void OnQuickFilter();
    void OnDownloadEnclosure(CFeedItem* pJob);

    void Queue(CFeedItem* pEntry, bool bEnclosure);
    void Promote();
    bool StartJob(Job& job);
    void FinishJob(size_t index);
    void WaitForRunning(bool bEnclosuresToo);
    void RefreshServerChannelList();
    void CheckForUpdate();
    void TakeBranding();
    void Drop(CFeedItem* pEntry);
    void UpdateBusy();
    void RepaintFrame();

    CFeedWorkerLink& m_link;
    HANDLE m_hStop = nullptr;
    DWORD m_dwThreadId = 0;
    std::deque<Job> m_pending;
    std::vector<Job> m_running;
    int m_nInFlight = 0; // channel downloads handed out and not yet reported back; enclosure jobs apart
    int m_nTasks = 0;    // a search, filter, update or list step running on this thread
    bool m_bUpdateDue = true;
    bool m_bBrandingDue = true;
};

void CFeedWorker::UpdateBusy()
{
    m_link.m_bUpdating = m_nInFlight > 0 || m_nTasks > 0 ? 1 : 0;
}

void CFeedWorker::RepaintFrame()
{
    if (m_link.m_hFrame)
        ::RedrawWindow(m_link.m_hFrame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CFeedWorker::Drop(CFeedItem* pEntry)
{
    if (pEntry)
        ::PostMessageW(m_link.m_hFrame, WM_WORKER_DROPPED, reinterpret_cast<WPARAM>(pEntry), 0);
}

bool CFeedWorker::StartJob(Job& job)
{
    // Threads are made only when their turn comes, so a stop never has one to kill that has not run.
    job.pEntry->m_dwOwnerThreadId = m_dwThreadId;
    job.pEntry->m_hStopEvent = m_hStop;
    job.pEntry->m_bEnclosureJob = job.bEnclosure;
    CWinThread* thread = AfxBeginThread(FeedRefreshThreadProc, job.pEntry, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) {
        job.pEntry->m_dwOwnerThreadId = 0;
        return false;
    }
    // Kept until this thread has seen it end: a finished download's report may still be queued at a stop.
    thread->m_bAutoDelete = FALSE;
    job.pThread = thread;
    job.dwThreadId = thread->m_nThreadID;
    job.pEntry->m_pThread = thread;
    m_running.push_back(job);
    thread->ResumeThread();
    return true;
}

void CFeedWorker::Promote()
{
    while (!m_pending.empty() && static_cast<int>(m_running.size()) <= m_link.m_nMaxConnections) {
        Job job = m_pending.front();
        m_pending.pop_front();
        if (!StartJob(job)) {
            // No thread: the entry goes back to the frame as a failed download.
            job.pEntry->m_nDownloadResult = HTTP_FETCH_FAILED;
            if (job.bEnclosure) {
                ::PostMessageW(m_link.m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_ENCLOSURE_DONE,
                               reinterpret_cast<LPARAM>(job.pEntry));
            } else {
                --m_nInFlight;
                ::PostMessageW(m_link.m_hFrame, WM_FEED_UPDATED, reinterpret_cast<WPARAM>(job.pEntry), 0);
                if (m_nInFlight == 0)
                    ::PostMessageW(m_link.m_hFrame, WM_FEED_UPDATED, 0, 0);
            }
        }
    }
    UpdateBusy();
}

void CFeedWorker::Queue(CFeedItem* pEntry, bool bEnclosure)
{
    m_pending.push_back(Job{pEntry, bEnclosure, nullptr, 0});
    if (!bEnclosure)
        ++m_nInFlight;
}

void CFeedWorker::FinishJob(size_t index)
{
    Job job = m_running[index];
    m_running.erase(m_running.begin() + static_cast<std::ptrdiff_t>(index));
    // The report is the thread's last act: it ends at once.
    ::WaitForSingleObject(job.pThread->m_hThread, INFINITE);
    delete job.pThread;
    job.pEntry->m_pThread = nullptr;
    job.pEntry->m_dwOwnerThreadId = 0;
}

void CFeedWorker::OnFeedDone(CFeedItem* pEntry, DWORD dwThreadId)
{
    // Only a report of a job still running counts: one queued behind a stop is stale.
    size_t index = 0;
    while (index < m_running.size() && (m_running[index].pEntry != pEntry || m_running[index].dwThreadId != dwThreadId))
        ++index;
    if (index < m_running.size())
        Complete(index);
}

void CFeedWorker::OnThreadEnded(size_t index)
{
    // A download thread that ended without its report: the job ends as a failed download, so that the refresh
    // still ends.
    Job& job = m_running[index];
    if (!job.bEnclosure) {
        job.pEntry->m_nDownloadResult = HTTP_FETCH_FAILED;
        job.pEntry->m_bUpdateFailed = true;
    }
    Complete(index);
}

void CFeedWorker::Complete(size_t index)
{
    CFeedItem* pEntry = m_running[index].pEntry;
    const bool bEnclosure = m_running[index].bEnclosure;
    FinishJob(index);
    Promote();
    if (bEnclosure) {
        ::PostMessageW(m_link.m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_ENCLOSURE_DONE, reinterpret_cast<LPARAM>(pEntry));
        return;
    }
    --m_nInFlight;
    // The flag is down before the frame can see the refresh end.
    UpdateBusy();
    ::PostMessageW(m_link.m_hFrame, WM_FEED_UPDATED, reinterpret_cast<WPARAM>(pEntry), 0);
    if (m_nInFlight == 0)
        ::PostMessageW(m_link.m_hFrame, WM_FEED_UPDATED, 0, 0);
}

void CFeedWorker::WaitForRunning(bool bEnclosuresToo)
{
    // Every download polls the stop event and ends within about a second of it; an enclosure's download dialog
    // does not, so at the end it is cancelled as the user would.
    for (;;) {
        bool waited = false;
        for (size_t i = 0; i < m_running.size();) {
            Job& job = m_running[i];
            if (job.bEnclosure && !bEnclosuresToo) {
                ++i;
                continue;
            }
            if (job.bEnclosure) {
                ::EnumThreadWindows(
                    job.dwThreadId,
                    [](HWND hwnd, LPARAM) -> BOOL {
                        ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
                        return TRUE;
                    },
                    0);
            }
            if (::WaitForSingleObject(job.pThread->m_hThread, 200) != WAIT_OBJECT_0) {
                waited = true;
                ++i;
                continue;
            }
            FinishJob(i);
        }
        if (!waited)
            return;
    }
}

void CFeedWorker::OnStop()
{
    for (const Job& job : m_pending)
        if (!job.bEnclosure)
            job.pEntry->m_dwOwnerThreadId = 0;
    m_pending.clear();
    ::SetEvent(m_hStop);
    // No thread is killed: one inside a lock would take the lock with it.
    WaitForRunning(false);
    m_nInFlight = 0;
    UpdateBusy();
    ::PostMessageW(m_link.m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_STOPPED, 0);
    ::ResetEvent(m_hStop);
}

void CFeedWorker::OnEnd()
{
    m_pending.clear();
    ::SetEvent(m_hStop);
    WaitForRunning(true);
}

void CFeedWorker::CheckForUpdate()
{
    const CString url = GetUpdateDescriptionUrl();
    if (url.IsEmpty()) {
        m_bUpdateDue = false; // no service to ask
        return;
    }
    ++m_nTasks;
    UpdateBusy();
    const CString path = GetEngineContext().m_strTempFolder + L"\\testver.xml";
    if (DownloadUrlToFile(url, path, nullptr, FALSE, nullptr, nullptr, m_hStop) == HTTP_FETCH_DONE) {
        m_bUpdateDue = false;
        auto* pPath = new CString(path);
        if (!::PostMessageW(m_link.m_hFrame, WM_WORKER_UPDATE_OFFER, reinterpret_cast<WPARAM>(pPath), 0))
            delete pPath;
    }
    --m_nTasks;
    UpdateBusy();
}

void CFeedWorker::TakeBranding()
{
    ++m_nTasks;
    UpdateBusy();
    const CString url = GetBrandingUrl();
    if (url.IsEmpty()) {
        m_bBrandingDue = false; // no service to ask
    } else {
        const CString temp = GetEngineContext().m_strTempFolder + L"\\settings.xml";
        CReaderSettings offered = GetEngineContext().m_settings;
        if (DownloadUrlToFile(url, temp, nullptr, FALSE, nullptr, nullptr, m_hStop) == HTTP_FETCH_DONE &&
            LoadBranding(offered, temp)) {
            CBrandingHandOver handOver;
            handOver.strFile = temp;
            CString logo = offered.szLogo;
            CString extension = logo.Right(3);
            extension.MakeLower();
            if (!logo.IsEmpty() && (extension == L"jpg" || extension == L"gif" || extension == L"bmp")) {
                // Fetched beside and put in place whole, so a failed fetch leaves the old logo as it was.
                const CString local = GetEngineContext().m_strDataFolder + L"\\logo." + extension;
                const CString fetched = MakeTempFile(L"lqlg");
                if (!fetched.IsEmpty()) {
                    if (DownloadUrlToFile(logo, fetched, nullptr, FALSE, nullptr, nullptr, m_hStop) == HTTP_FETCH_DONE)
                        CopyFileSafely(fetched, local);
                    ::DeleteFileW(fetched);
                }
                handOver.strLocalLogo = local;
            }
            if (::SendMessageW(m_link.m_hFrame, WM_WORKER_BRANDING, reinterpret_cast<WPARAM>(&handOver), 0))
                m_bBrandingDue = false;
        }
    }
    const CReaderSettings& settings = GetEngineContext().m_settings;
    if (settings.bStatsEnabled && settings.nReportStat)
        SendUsageLog();
    --m_nTasks;
    UpdateBusy();
}

void CFeedWorker::RefreshServerChannelList()
{
    const CString mainLink = GetEngineContext().m_settings.szMainLink;
    if (mainLink.IsEmpty()) {
        m_link.m_nChannelListCountdown = m_link.m_nChannelListPeriod;
        return;
    }
    CString guid = EngineProfileString(L"", L"GUID", L"0");
    if (guid == L"0") {
        guid = NewInstallationId();
        if (AfxGetApp())
            AfxGetApp()->WriteProfileString(L"", L"GUID", guid);
    }
    CString country = EngineProfileString(L"", L"Country", L"00");
    if (country.GetLength() != 2)
        country = L"00";
    ++m_nTasks;
    UpdateBusy();
    CString url = mainLink;
    url += mainLink.Find(L'?') >= 0 ? L"&country=" : L"?country=";
    url += PercentEncode(country) + L"&id=" + PercentEncode(guid) + L"&version=16";
    const CString temp = MakeTempFile(L"tmdf");
    const int result =
        temp.IsEmpty() ? HTTP_FETCH_FAILED : DownloadUrlToFile(url, temp, nullptr, FALSE, nullptr, nullptr, m_hStop);
    m_link.m_nChannelListCountdown = m_link.m_nChannelListPeriod;
    if (result == HTTP_FETCH_DONE) {
        auto* pList = new CFeedChannel;
        // The service's list names kinds and file names as our own lists do; file names are checked where used.
        if (pList->LoadFile(temp, m_hStop, CFeedChannel::LOAD_OWN_FILE))
            ::SendMessageW(m_link.m_hFrame, WM_WORKER_CHANNEL_LIST, reinterpret_cast<WPARAM>(pList), 0);
        else
            delete pList;
    }
    if (!temp.IsEmpty())
        ::DeleteFileW(temp);
    --m_nTasks;
    UpdateBusy();
}

void CFeedWorker::OnUpdate(WPARAM wParam, int nMode)
{
    if (::WaitForSingleObject(m_hStop, 0) == WAIT_OBJECT_0)
        ::ResetEvent(m_hStop);
    CPtrList* pList = nMode == WORKER_UPDATE_LIST ? reinterpret_cast<CPtrList*>(wParam) : nullptr;
    CFeedItem* pOne = nMode == WORKER_UPDATE_ONE ? reinterpret_cast<CFeedItem*>(wParam) : nullptr;
    if (!g_pfnNetworkAlive()) {
        ::SendMessageW(m_link.m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_OFFLINE, 0);
        if (pList) {
            while (!pList->IsEmpty())
                Drop(static_cast<CFeedItem*>(pList->RemoveHead()));
            delete pList;
        }
        Drop(pOne);
        return;
    }
    if (m_bUpdateDue)
        CheckForUpdate();
    if (m_bBrandingDue)
        TakeBranding();
    if (nMode == WORKER_UPDATE_ALL || m_link.m_nChannelListCountdown == 1)
        RefreshServerChannelList();

    const int before = m_nInFlight;
    switch (nMode) {
    case WORKER_UPDATE_NOTHING:
        UpdateBusy();
        ::SendMessageW(m_link.m_hFrame, WM_FEED_UPDATED, 0, 0);
        return;
    case WORKER_UPDATE_ALL: {
        CPtrList entries;
        ::SendMessageW(m_link.m_hFrame, WM_WORKER_COLLECT, reinterpret_cast<WPARAM>(&entries), 0);
        while (!entries.IsEmpty())
            Queue(static_cast<CFeedItem*>(entries.RemoveHead()), false);
        break;
    }
    case WORKER_UPDATE_LIST:
        if (pList) {
            while (!pList->IsEmpty())
                Queue(static_cast<CFeedItem*>(pList->RemoveHead()), false);
            delete pList;
        }
        break;
    case WORKER_UPDATE_ONE:
        if (pOne)
            Queue(pOne, false);
        break;
    default:
        return;
    }
    Promote();
    RepaintFrame();
    UpdateBusy();
    // A request that found nothing to fetch still ends as a refresh does, or the frame would wait for it forever.
    if (m_nInFlight == before && before == 0)
        ::PostMessageW(m_link.m_hFrame, WM_FEED_UPDATED, 0, 0);
}

void CFeedWorker::OnSearch(CFeedItem* pEntry)
{
    if (!pEntry || (pEntry->m_nKind != FEED_KIND_SEARCH_IN && pEntry->m_nKind != FEED_KIND_SEARCH_OUT))
        return;
    ++m_nTasks;
    UpdateBusy();
    const CString text = m_link.GetSearchText();
    const CString url = BuildSearchUrl(pEntry->m_strLinkText, pEntry->m_strInput, text);
    CFeedItem* pResult = nullptr;
    bool bReport = true;
    if (pEntry->m_nKind == FEED_KIND_SEARCH_OUT) {
        OpenInBrowser(url);
    } else {
        const CString temp = MakeTempFile(L"lqds");
        auto* pChannel = new CFeedChannel;
        if (!temp.IsEmpty() &&
            DownloadUrlToFile(url, temp, nullptr, FALSE, nullptr, nullptr, m_hStop) == HTTP_FETCH_DONE &&
            pChannel->LoadFile(temp, nullptr, CFeedChannel::LOAD_FEED)) {
            pResult = new CFeedItem;
            pResult->m_nKind = FEED_KIND_SEARCH_RESULT;
            pResult->m_strTitleText = L"Search Result for: \"" + text + L"\"";
            pResult->m_strTitle = pResult->m_strTitleText;
            pResult->m_pChannel = pChannel;
            pResult->m_pLinkedItem = pEntry;
        } else {
            bReport = false; // a failed search is silent
            delete pChannel;
            if (!temp.IsEmpty())
                ::DeleteFileW(temp);
        }
    }
    // The flag is down before the frame sees the result.
    --m_nTasks;
    UpdateBusy();
    if (bReport)
        ::SendMessageW(m_link.m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_SEARCH_DONE, reinterpret_cast<LPARAM>(pResult));
}

void CFeedWorker::OnQuickFilter()
{
    ++m_nTasks;
    UpdateBusy();
    // The frame copies what the build reads: a refresh that ends meanwhile changes nothing of it.
    CQuickFilterRequest request;
    CFeedItem* pPage = nullptr;
    if (::SendMessageW(m_link.m_hFrame, WM_WORKER_BUILD_FILTER, reinterpret_cast<WPARAM>(&request), 0) != 0) {
        pPage = BuildFilteredResults(ReadFilterWords(request.strFilterText), request.nViewStyle, request.items);
        request.items.clear();
        if (pPage != nullptr)
            SaveResultsToTemporaryFile(pPage);
    }
    --m_nTasks;
    UpdateBusy();
    // The frame answers non-zero when it took the page; a frame that is gone took nothing.
    if (::SendMessageW(m_link.m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_FILTER_DONE, reinterpret_cast<LPARAM>(pPage)) == 0)
        delete pPage;
}

void CFeedWorker::OnDownloadEnclosure(CFeedItem* pJob)
{
    if (!pJob)
        return;
    Queue(pJob, true);
    Promote();
    RepaintFrame();
}

void CFeedWorker::WaitForWork()
{
    // A message, or the end of a running download thread. A thread posts its report before it ends, so one that
    // has ended while the queue is empty ended without one.
    HANDLE handles[MAXIMUM_WAIT_OBJECTS - 1];
    DWORD count = 0;
    for (const Job& job : m_running) {
        if (count == _countof(handles))
            break;
        handles[count++] = job.pThread->m_hThread;
    }
    const DWORD result = ::MsgWaitForMultipleObjectsEx(count, handles, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (result >= WAIT_OBJECT_0 + count)
        return;
    MSG msg;
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
        return;
    OnThreadEnded(result - WAIT_OBJECT_0);
}

void CFeedWorker::Run()
{
    ::CoInitialize(nullptr);
    m_dwThreadId = ::GetCurrentThreadId();
    // Unnamed: a named event would be shared with any other process that made one of the same name.
    m_hStop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    MSG msg;
    for (;;) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            WaitForWork();
            continue;
        }
        // Window messages of this thread (none is expected) go to their windows; thread messages are ours.
        if (msg.hwnd) {
            ::DispatchMessageW(&msg);
            continue;
        }
        switch (msg.message) {
        case WM_WORKER_UPDATE:
            OnUpdate(msg.wParam, static_cast<int>(msg.lParam));
            break;
        case WM_WORKER_FEED_DONE:
            OnFeedDone(reinterpret_cast<CFeedItem*>(msg.wParam), static_cast<DWORD>(msg.lParam));
            break;
        case WM_WORKER_STOP:
            OnStop();
            break;
        case WM_WORKER_SEARCH:
            OnSearch(reinterpret_cast<CFeedItem*>(msg.wParam));
            break;
        case WM_WORKER_QUICK_FILTER:
            OnQuickFilter();
            break;
        case WM_WORKER_DOWNLOAD_ENCLOSURE:
            OnDownloadEnclosure(reinterpret_cast<CFeedItem*>(msg.wParam));
            break;
        case WM_DESTROY:
            OnEnd();
            ::CloseHandle(m_hStop);
            ::CoUninitialize();
            return;
        default:
            break;
        }
    }
}

} // namespace

PFN_NETWORK_ALIVE g_pfnNetworkAlive = IsSystemNetworkAlive;

void CFeedWorkerLink::SetSearchText(const CString& text)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_strSearchText = text;
}

CString CFeedWorkerLink::GetSearchText() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_strSearchText;
}

CString BuildSearchUrl(const CString& link, const CString& input, const CString& text)
{
    CString url = link;
    url += link.Find(L'?') >= 0 ? L"&" : L"?";
    url += input;
    url += L"=";
    url += PercentEncode(text);
    return url;
}

namespace {

struct StartRecord
{
    CFeedWorkerLink* pLink;
    HANDLE hReady;
};

UINT AFX_CDECL WorkerEntry(LPVOID pParam)
{
    auto* start = static_cast<StartRecord*>(pParam);
    CFeedWorkerLink* pLink = start->pLink;
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // the queue exists before the starter posts anything
    ::SetEvent(start->hReady);
    return FeedWorkerThreadProc(pLink);
}

} // namespace

UINT AFX_CDECL FeedWorkerThreadProc(LPVOID pParam)
{
    auto* pLink = static_cast<CFeedWorkerLink*>(pParam);
    if (!pLink)
        return 0;
    CFeedWorker worker(pLink);
    worker.Run();
    return 0;
}

CWinThread* StartFeedWorker(CFeedWorkerLink* pLink)
{
    StartRecord start{pLink, ::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    if (!start.hReady)
        return nullptr;
    CWinThread* thread = AfxBeginThread(WorkerEntry, &start, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (thread) {
        thread->m_bAutoDelete = FALSE;
        thread->ResumeThread();
        HANDLE waits[] = {start.hReady, thread->m_hThread};
        ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    }
    ::CloseHandle(start.hReady);
    return thread;
}

void StopFeedWorker(CWinThread* pWorker)
{
    if (!pWorker)
        return;
    ::PostThreadMessageW(pWorker->m_nThreadID, WM_DESTROY, 0, 0);
    // The worker may be inside a SendMessage to this thread: answer it while waiting, or both wait for ever.
    for (;;) {
        const DWORD wait =
            ::MsgWaitForMultipleObjectsEx(1, &pWorker->m_hThread, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (wait != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    delete pWorker;
}
