// Messages of the toolkit's colour dialog, its pages and their controls.
#pragma once

#include <windows.h>

// A colour was picked or should be shown (wParam the COLORREF, lParam 0): from a colour control to its page, from
// a page to the dialog and from the dialog to its pages.
#define WM_XT_COLOR_CHANGED 0x0800

// The toolkit's initialisation message: a control placed over a dialog template's static finishes its set-up
// (wParam and lParam 0). The themed pages send it to their toolkit controls once the page is initialised.
#define WM_XT_INIT_CONTROL 0x0DDE
