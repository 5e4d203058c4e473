// The framework's private messages. Their numbers are the ones programs written against the framework know; the
// layers above never reuse them.
#pragma once

#include <windows.h>

#define WM_SIZEPARENT 0x0361
#define WM_SETMESSAGESTRING 0x0362
#define WM_IDLEUPDATECMDUI 0x0363
#define WM_INITIALUPDATE 0x0364
#define WM_COMMANDHELP 0x0365
#define WM_HELPHITTEST 0x0366
#define WM_EXITHELPMODE 0x0367
#define WM_RECALCPARENT 0x0368
#define WM_SIZECHILD 0x0369
#define WM_KICKIDLE 0x036A
#define WM_QUERYCENTERWND 0x036B
#define WM_DISABLEMODAL 0x036C
#define WM_FLOATSTATUS 0x036D
#define WM_ACTIVATETOPLEVEL 0x036E
#define WM_POPMESSAGESTRING 0x0375
// The 16-bit platform's colour message, which reflection still uses for every WM_CTLCOLOR* message.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

// Messages a parent reflects to the child that sent them arrive at the child as WM_REFLECT_BASE + message.
#define WM_REFLECT_BASE 0xBC00

// To the HTML pane from its fetch worker (wParam: ticket, lParam: HtmlLoadResult*). Above the program's own
// WM_APP range.
#define WM_HTMLPANE_FETCHED (WM_APP + 0x3A0)
