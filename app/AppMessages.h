// The application's own private window and thread messages, with the codes they carry: those only the frame and
// its feed worker exchange. The messages shared with the layers below come from their headers.
#pragma once

#include <windows.h>

#include "feeds/EngineMessages.h"
#include "toolkit/base/ToolkitMessages.h"

// ---- From the feed worker to the main frame.
// wParam: the refreshed subscription entry, or 0 when none is in flight.
#define WM_FEED_UPDATED (WM_APP + 4)
// Each of these hands the frame work that touches the lists, the pane or a window, so that only the frame's
// thread does it.
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
// Sent: the worker is ready to build the quick-filter page; the frame fills the CQuickFilterRequest (wParam) with
// the filter and copies of the items, and answers non-zero when it did.
#define WM_WORKER_BUILD_FILTER (WM_APP + 17)
// Sent: a branding file was downloaded and reads well (wParam, a CBrandingHandOver); the frame takes it into the
// settings and answers non-zero when it did.
#define WM_WORKER_BRANDING (WM_APP + 18)

// ---- Thread messages to the feed worker.
#define WM_WORKER_QUICK_FILTER (WM_APP + 2)
// wParam: list or entry; lParam: one of the WORKER_UPDATE_ modes. The same number as WM_REFRESH_AD, a window
// message: the receivers differ.
#define WM_WORKER_UPDATE (WM_APP + 3)
#define WM_WORKER_STOP (WM_APP + 5)
#define WM_WORKER_SEARCH (WM_APP + 7)
#define WM_WORKER_DOWNLOAD_ENCLOSURE (WM_APP + 8)
// wParam: a CCacheWrite the worker writes and deletes, so that no cache is written on the frame's thread.
#define WM_WORKER_SAVE_CACHE (WM_APP + 40)

enum WorkerUpdateMode
{
    WORKER_UPDATE_ALL = 0,
    WORKER_UPDATE_LIST = 1,
    WORKER_UPDATE_NOTHING = 2,
    WORKER_UPDATE_ONE = 3,
};

// ---- The frame's own.
// Posted to the frame when an address is handed over (a second start, the command line): the subscribe flow runs
// outside the sender's wait.
#define WM_SUBSCRIBE_HANDED_OVER (WM_APP + 120)
// Sent by another thread's podcast page: the frame answers its question about the subscribed feeds (lParam).
#define WM_PODCAST_FEED_CHOICE (WM_APP + 121)
// Posted to the frame by the cache loader's threads when channels read from their caches wait to be taken in.
#define WM_CACHES_READ (WM_APP + 122)

// The registered message by which a second start finds the running copy.
#define LQ_INSTANCE_MESSAGE_NAME L"TALLOW_MERE_UNIQE_INSTANCE"
