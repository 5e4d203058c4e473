// The feed worker: the main frame's one background thread. It queues channel downloads, runs at most "Max" + 1
// of them at once, and reports each finished one to the frame window. It never touches a window, a pane item or a
// view, nor the subscription lists: what it finds goes to the frame by message and the frame applies it on its own
// thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>

#include "app/AppMessages.h"
#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "framework/win/WinThread.h"

class CFeedChannel;
class CFeedItem;

// Messages between the worker and the frame beyond the program's shared ones. Each hands the frame work that
// touches the lists, the pane or a window, so that only the frame's thread does it.
// Sent: the frame fills the CPtrList (wParam) with the entries of a full refresh, custom list first, each marked
// in progress, its countdown reset and its channel's states reset. The custom list is loaded first when missing.
#define WM_WORKER_COLLECT (WM_APP + 11)
// Sent: the server's channel list, loaded (wParam, a CFeedChannel the frame takes over) for the frame to merge.
#define WM_WORKER_CHANNEL_LIST (WM_APP + 12)
// Posted: an entry of a dropped request (wParam) is no longer in the worker's hands.
#define WM_WORKER_DROPPED (WM_APP + 13)
// Posted: an update description was downloaded to the path (wParam, a heap CString the frame deletes); the
// offer runs on the frame's thread, so no modal loop on the worker swallows its thread messages.
#define WM_WORKER_UPDATE_OFFER (WM_APP + 14)
// Sent: the worker is ready to build the quick-filter page; the frame builds it from its lists.
#define WM_WORKER_BUILD_FILTER (WM_APP + 17)
// Sent: a branding file was downloaded and reads well (wParam, a CBrandingHandOver); the frame takes it into the
// settings and answers non-zero when it did.
#define WM_WORKER_BRANDING (WM_APP + 18)

// A downloaded branding file and the logo fetched for it.
struct CBrandingHandOver
{
    CString strFile;      // the checked settings.xml in the temporary folder
    CString strLocalLogo; // the logo in the data folder, or empty when the branding's logo is to be cleared
};

// What the frame and the worker share. The frame owns it and keeps it until the worker has ended.
class CFeedWorkerLink
{
public:
    HWND m_hFrame = nullptr;               // the target of every report
    std::atomic<int> m_nMaxConnections{4}; // "Connection"\"Max"; the options may change it while the worker runs
    // 1 while a refresh or another worker task runs. Only the worker writes it: it stays set while any channel
    // download is in flight, whatever task ends meanwhile.
    std::atomic<int> m_bUpdating{0};
    // Minutes to the next fetch of the server's channel list; at 1 a refresh request fetches it first.
    std::atomic<int> m_nChannelListCountdown{1};
    int m_nChannelListPeriod = 60;

    void SetSearchText(const CString& text);
    CString GetSearchText() const;

private:
    mutable std::mutex m_lock;
    CString m_strSearchText;
};

// Thread procedure; the argument is the CFeedWorkerLink. Ends on WM_DESTROY, after every download thread it
// started has ended.
UINT AFX_CDECL FeedWorkerThreadProc(LPVOID pParam);

// Starts the worker with its message queue in place, so that a request posted at once is not lost. The thread
// object does not delete itself. Null when it could not start.
CWinThread* StartFeedWorker(CFeedWorkerLink* pLink);
// Asks the worker to end and waits until it has, answering the messages it sends meanwhile; deletes the thread
// object.
void StopFeedWorker(CWinThread* pWorker);

// The URL of a search: the link, "&" when it already holds a "?" (else "?"), the input's name, "=" and the typed
// text percent-encoded as UTF-8, so that spaces, "&" and "#" stay part of the text.
CString BuildSearchUrl(const CString& link, const CString& input, const CString& text);

// Whether the network is up. Tests put their own in.
using PFN_NETWORK_ALIVE = bool (*)();
extern PFN_NETWORK_ALIVE g_pfnNetworkAlive;
