// The module handles the framework loads resources from.
#pragma once

#include <windows.h>

// The program's own module. Both default to the executable's module until set.
HINSTANCE AfxGetInstanceHandle();
void AfxSetInstanceHandle(HINSTANCE instance);
// The module whose resources (strings, menus, dialogs, bitmaps) the framework loads.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resource);
