// The toolkit's messages: the notifications its bars, controls and panels send to their owners and sites, and
// the ones they send themselves. The application handles them under these names and never defines its own copy.
#pragma once

#include <windows.h>

// ---- Command bars, to a bar's site (the frame) or command window.
#define WM_XTP_CONTROL_EXECUTE 0x052D
#define WM_XTP_CREATE_CONTROL 0x052F
#define WM_XTP_CREATE_COMMANDBAR 0x0530
#define WM_XTP_CONTROL_SELECTED 0x0531
#define WM_XTP_CUSTOMIZE_SELCHANGE 0x0532
#define WM_XTP_INITCOMMANDSPOPUP (WM_USER + 0x133)
#define WM_XTP_POPUPBAR_START WM_XTP_INITCOMMANDSPOPUP
#define WM_XTP_TRACKING_START 0x0534
#define WM_XTP_NEWTABITEM (WM_USER + 0x88)
// Posted to the site by a floating toolbar's close button (lParam the toolbar): the toolbar is hidden, and a
// custom one deleted, outside its own messages. Above the program's own WM_APP range, beside the framework's.
#define WM_XTP_HIDEBAR (WM_APP + 0x3A1)

// ---- Task panel, to the panel's owner (else its parent): wParam an XTPTaskPanelNotifyCode, lParam the item.
#define WM_TASKPANEL_NOTIFY 0x8A18

// ---- Desktop alert, to its owner: wParam 1 an item was clicked (lParam the CXTPPopupItem), 2 the state changed
// (lParam the CXTPPopupWindow).
#define WM_POPUP_NOTIFY 0x8A1F

// ---- Notification-area icon: the icon's callback message, sent to the notify window before the icon's own
// handling (wParam the icon's id, lParam the mouse message).
#define WM_TRAYICON_NOTIFY 0x0DD1

// ---- The toolkit's initialisation message: a control finishes its set-up once it has a window, whichever way it
// got one (posted to itself, or sent by a themed page to the controls placed over its template's statics).
#define WM_CONTROL_SETUP 0x0DDE

// ---- Colour dialog: a colour was picked or should be shown (wParam the COLORREF, lParam 0), from a colour
// control to its page, from a page to the dialog and from the dialog to its pages.
#define WM_XT_COLOR_CHANGED 0x0800
