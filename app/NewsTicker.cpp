#include "app/NewsTicker.h"

#include "app/FeedCommands.h"
#include "app/MainFrm.h"
#include "app/SubscriptionLists.h"
#include "companions/NewsLineWnd.h"
#include "feeds/EngineMessages.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/NewsLineItem.h"
#include "framework/core/DateTime.h"
#include "framework/win/WinApp.h"

namespace {

const wchar_t kSection[] = L"NewsLine";

// The ticker's thread reports its window here before it lets the frame go on.
struct StartReport
{
    HWND hWnd = nullptr;
    CScopedKernelHandle ready;
};

class CReportingNewsLineThread : public CNewsLineThread
{
public:
    CReportingNewsLineThread(HWND hFrame, StartReport* pReport) : CNewsLineThread(hFrame), m_pReport(pReport) {}

    BOOL InitInstance() override
    {
        const BOOL created = CNewsLineThread::InitInstance();
        m_pReport->hWnd = created ? Window().GetSafeHwnd() : nullptr;
        ::SetEvent(m_pReport->ready);
        m_pReport = nullptr;
        return created;
    }

private:
    StartReport* m_pReport;
};

bool ChannelHolds(CFeedChannel* pChannel, const CFeedItem* pItem)
{
    if (!pChannel)
        return false;
    for (POSITION pos = pChannel->m_items.GetHeadPosition(); pos;)
        if (pChannel->m_items.GetNext(pos) == pItem)
            return true;
    return false;
}

} // namespace

CNewsTicker::CNewsTicker(CMainFrame& frame) : m_frame(frame) {}

CNewsTicker::~CNewsTicker()
{
    m_window.m_hWnd = nullptr;
}

CWnd* CNewsTicker::GetWindow() const
{
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return nullptr;
    m_window.m_hWnd = m_hWnd;
    return &m_window;
}

void CNewsTicker::WaitAnswering(HANDLE hEvent)
{
    // The ticker sends to the frame (usage, reload requests): a wait that answered nothing could wait for ever.
    while (::MsgWaitForMultipleObjects(1, &hEvent, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void CNewsTicker::Start()
{
    if (m_hThread || AfxGetApp()->GetProfileInt(kSection, L"Show", 1) == 0)
        return;
    m_hThread.Attach(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    g_hNewsLineExitEvent = m_hThread;
    StartReport report;
    report.ready.Attach(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto* thread = new CReportingNewsLineThread(m_frame.GetSafeHwnd(), &report);
    // Suspended until its handle is copied: the object closes its own when it deletes itself.
    HANDLE ended = nullptr;
    if (!thread->CreateThread(CREATE_SUSPENDED) ||
        !::DuplicateHandle(::GetCurrentProcess(), thread->m_hThread, ::GetCurrentProcess(), &ended, SYNCHRONIZE,
                           FALSE, 0)) {
        if (thread->m_hThread) {
            // Never run: its procedure would delete the object.
            ::TerminateThread(thread->m_hThread, 0);
            ::WaitForSingleObject(thread->m_hThread, INFINITE);
        }
        delete thread;
        m_hThread.Attach(nullptr);
        g_hNewsLineExitEvent = nullptr;
        return;
    }
    m_hThreadEnded.Attach(ended);
    thread->ResumeThread();
    WaitAnswering(report.ready);
    m_hWnd = report.hWnd;
    if (!m_hWnd) {
        // The window could not be made: the thread ends at once.
        WaitForThread();
    }
}

void CNewsTicker::WaitForThread()
{
    WaitAnswering(m_hThreadEnded);
    m_hThreadEnded.Attach(nullptr);
    m_hThread.Attach(nullptr);
    g_hNewsLineExitEvent = nullptr;
}

void CNewsTicker::Stop()
{
    if (!m_hThread)
        return;
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
    WaitForThread();
    m_hWnd = nullptr;
    m_window.m_hWnd = nullptr;
}

void CNewsTicker::ShowOrHide()
{
    const bool show = !IsShown();
    AfxGetApp()->WriteProfileInt(kSection, L"Show", show ? 1 : 0);
    if (show) {
        Start();
        Reload();
    } else {
        Stop();
    }
}

void CNewsTicker::CollectHeadlines(CFeedChannel* pMain, CFeedChannel* pCustom, CPtrList& list)
{
    CWinApp* app = AfxGetApp();
    const int mode = static_cast<int>(app->GetProfileInt(kSection, L"Filter", 1));
    COleDateTime bound;
    if (mode == 3) {
        LPBYTE data = nullptr;
        UINT bytes = 0;
        double days = 0;
        const bool read = app->GetProfileBinary(kSection, L"Time", &data, &bytes) && data && bytes == sizeof(days);
        if (read)
            memcpy(&days, data, sizeof(days));
        delete[] data;
        if (!read)
            return;
        // Items carry their dates in UTC: the bound is taken in UTC too.
        SYSTEMTIME now{};
        ::GetSystemTime(&now);
        bound = COleDateTime(now) - COleDateTimeSpan(days);
    } else if (mode == 4 || mode == 5) {
        return;
    }
    for (CFeedChannel* listChannel : {pMain, pCustom})
        if (listChannel)
            listChannel->CollectTickerItems(mode, list, nullptr, bound);
}

void CNewsTicker::Reload()
{
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return;
    CPtrList list(10);
    CollectHeadlines(m_frame.Lists().Main(), m_frame.Lists().Custom(), list);
    ::SendMessageW(m_hWnd, WM_NEWSLINE_RELOAD, reinterpret_cast<WPARAM>(&list), 0);
    // The ticker took the entries over; what is left was never handed over (no window any more).
    if (::IsWindow(m_hWnd))
        list.RemoveAll();
    while (!list.IsEmpty())
        delete static_cast<CNewsLineItem*>(list.RemoveHead());
}

void CNewsTicker::ReloadAfterRefresh(int nNewItems)
{
    if (nNewItems == 0 && AfxGetApp()->GetProfileInt(kSection, L"Condition", 0) != 0)
        return;
    Reload();
}

void CNewsTicker::OnItemOpened(CFeedItem* pItem, CFeedItem* pEntry)
{
    CSubscriptionLists& lists = m_frame.Lists();
    if (!pEntry || !(ListHolds(lists.Main(), pEntry) || ListHolds(lists.Custom(), pEntry)))
        return;
    if (!ChannelHolds(pEntry->m_pChannel, pItem))
        return;
    if (pEntry->m_strAccountName.IsEmpty())
        m_frame.FeedCommands().LogUsageEvent(5, pItem);
    pItem->m_nReadState = FEED_STATE_READ;
    pEntry->CountNews();
    m_frame.PaneSite().RedrawPane();
}
