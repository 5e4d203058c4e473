// The program's private window and thread messages, with the codes they carry.
// WM_APP+3 serves twice (the feed worker's thread message and the ad window's message): the receivers differ.
#pragma once

#include <windows.h>

#include "feeds/EngineMessages.h"

// To the main frame.
#define WM_USAGE_EVENT (WM_APP + 1)    // wParam: 1 notice opened, 4 channel or result page shown, 5 item opened
#define WM_FEED_UPDATED (WM_APP + 4)   // wParam: the refreshed subscription entry, or 0 when none is in flight
#define WM_FRAME_EVENT (WM_APP + 6)    // wParam: one of the FRAME_EVENT_ codes
#define WM_REQUEST_CLOSE (WM_APP + 10) // also closes the podcast window
#define WM_NEWSLINE_CLOSED (WM_USER + 1011)

// Toolkit notifications the application handles; the toolkit may define them too.
#ifndef WM_TRAYICON_NOTIFY
#define WM_TRAYICON_NOTIFY 0x0DD1
#endif
#ifndef WM_POPUP_NOTIFY
#define WM_POPUP_NOTIFY 0x8A1F
#endif

// The registered message by which a second start finds the running copy.
#define LQ_INSTANCE_MESSAGE_NAME L"TALLOW_MERE_UNIQE_INSTANCE"

enum FrameEvent
{
    FRAME_EVENT_STOPPED = 0,
    FRAME_EVENT_SEARCH_DONE = 3,
    FRAME_EVENT_FILTER_DONE = 4,
    FRAME_EVENT_ENCLOSURE_DONE = 5,
    FRAME_EVENT_TICKER_CHANGED = 6,
    FRAME_EVENT_PODCAST_CHANGED = 7,
    FRAME_EVENT_OFFLINE = 901,
    FRAME_EVENT_CONNECTED = 906,
};

// Thread messages to the feed worker.
#define WM_WORKER_QUICK_FILTER (WM_APP + 2)
#define WM_WORKER_UPDATE (WM_APP + 3) // wParam: list or entry; lParam: one of the WORKER_UPDATE_ modes
#define WM_WORKER_STOP (WM_APP + 5)
#define WM_WORKER_SEARCH (WM_APP + 7)
#define WM_WORKER_DOWNLOAD_ENCLOSURE (WM_APP + 8)

enum WorkerUpdateMode
{
    WORKER_UPDATE_ALL = 0,
    WORKER_UPDATE_LIST = 1,
    WORKER_UPDATE_NOTHING = 2,
    WORKER_UPDATE_ONE = 3,
};

// To the companion windows.
#define WM_APPBAR_NOTIFY (WM_USER + 1010)
#define WM_NEWSLINE_RELOAD (WM_USER + 1013)
#define WM_PODCAST_ADD_ITEMS (WM_USER + 0x1023)
#define WM_PODCAST_DOWNLOAD_DONE (WM_APP + 16) // wParam: 1 failed, 0 done

// To dialogs and small windows.
#define WM_FEED_DOWNLOAD_DONE (WM_APP + 100)
#define WM_REFRESH_AD (WM_APP + 3)
