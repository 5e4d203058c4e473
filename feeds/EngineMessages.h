// The messages the feed engine sends, with the codes they carry. The application's own messages build on these.
#pragma once

#include <windows.h>

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
