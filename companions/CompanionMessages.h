// The messages the companion windows and dialogs send among themselves or receive from the shell. Those they
// exchange with the main frame are the engine's (feeds/EngineMessages.h).
#pragma once

#include <windows.h>

// Posted by the "Please wait..." dialog's worker to the dialog when it has finished, whatever the outcome
// (wParam and lParam 0).
#define WM_FEED_DOWNLOAD_DONE (WM_APP + 100)
// The shell's callback to the ticker's application bar (wParam the notification code, lParam its argument).
#define WM_APPBAR_NOTIFY (WM_USER + 1010)
// Posted to the podcast window by its download thread (wParam: 1 failed, 0 done).
#define WM_PODCAST_DOWNLOAD_DONE (WM_APP + 16)
// Posted to the podcast window by its download thread when the shown share changes (wParam: the percentage, or
// -1 while the length is unknown; lParam: the transfer's serial number).
#define WM_PODCAST_PROGRESS (WM_APP + 17)
