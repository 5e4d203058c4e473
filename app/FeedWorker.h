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

// "Connection"\"Max" as the worker takes it: from 0 to the most its wait can watch (MAXIMUM_WAIT_OBJECTS - 2);
// larger and negative values (a hand-edited profile) give that most.
int ClampMaxConnections(int nMax);

// Whether the network is up. Tests put their own in.
using PFN_NETWORK_ALIVE = bool (*)();
extern PFN_NETWORK_ALIVE g_pfnNetworkAlive;
