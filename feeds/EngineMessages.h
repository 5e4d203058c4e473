// The program's private messages that pass between layers: those the feed engine sends, and those the views and
// companion windows exchange with the application. They live here, below every window layer, so that each has
// one definition; a message only one layer uses stays in that layer's own header.
#pragma once

#include <windows.h>

// ---- From the engine.
// To the feed worker thread: a channel's download thread is done (wParam: the record; lParam: its thread's id).
#define WM_WORKER_FEED_DONE (WM_APP + 4)
// To the main frame: the update package download ended (lParam: non-zero when the package is complete).
#define WM_RUN_UPDATER (WM_APP + 9)
// To the HTTP download dialog from its transfer thread (wParam: 0 finished or stopped, 1 failed).
#define WM_HTTP_DOWNLOAD_DONE (WM_APP + 15)
// To the companion windows. The two removal messages are sent (never posted): the receiver drops every
// reference to the item (wParam) before the sender deletes it.
#define WM_NEWSLINE_ITEM_REMOVED (WM_USER + 1014)
#define WM_PODCAST_REMOVE_ITEM (WM_USER + 0x1024)

// ---- From the views and companion windows to the main frame.
// Sent: wParam 1 a notice was opened, 4 a channel or result page was shown, 5 a news item was opened; lParam
// the record.
#define WM_USAGE_EVENT (WM_APP + 1)
// wParam: one of the FRAME_EVENT_ codes (the ticker and the podcast manager send 6 and 7).
#define WM_FRAME_EVENT (WM_APP + 6)
// Posted by the ticker when the user closes it.
#define WM_NEWSLINE_CLOSED (WM_USER + 1011)

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

// ---- From the main frame to the views and companion windows.
// Closes the main frame, and the podcast window.
#define WM_REQUEST_CLOSE (WM_APP + 10)
#define WM_NEWSLINE_RELOAD (WM_USER + 1013)
#define WM_PODCAST_ADD_ITEMS (WM_USER + 0x1023)
// Sent to every window of the frame when the connection is back: the ad window reloads. The same number as the
// worker's WM_WORKER_UPDATE, a thread message: the receivers differ.
#define WM_REFRESH_AD (WM_APP + 3)

// ---- From the news ticker to the main frame.
// Sent when the user opened a headline: wParam the news item, lParam its subscription entry. The ticker holds only
// copies of the records: the frame checks that both are still in its lists before it marks the item read.
#define WM_NEWSLINE_ITEM_OPENED (WM_USER + 1015)
