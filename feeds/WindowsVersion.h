// The class of the running Windows version, and what the drawing code decides by it.
#pragma once

#include <windows.h>

enum WindowsVersionClass
{
    WINVER_CLASS_UNKNOWN = 0,
    WINVER_CLASS_WIN32S = 1,
    WINVER_CLASS_NT_OTHER = 2,
    WINVER_CLASS_WIN95 = 3,
    WINVER_CLASS_NT4 = 4,
    WINVER_CLASS_WIN98 = 5,
    WINVER_CLASS_WINME = 6,
    WINVER_CLASS_WIN2000 = 7,
    WINVER_CLASS_WINXP = 8,
};
// The class of the running system, computed once (a failed reading is tried again on the next call).
int GetWindowsVersionClass();
// The class of given version numbers (platform id, major, minor).
int ClassifyWindowsVersion(DWORD platformId, DWORD major, DWORD minor);

// Whether the system can draw gradients: Windows 98, 2000 and later.
bool SystemDrawsGradients();
