#include "feeds/WindowsVersion.h"

namespace {

BOOL ReadVersion(OSVERSIONINFOW& info)
{
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExW(&info);
#pragma GCC diagnostic pop
}

} // namespace

int ClassifyWindowsVersion(DWORD platformId, DWORD major, DWORD minor)
{
    if (platformId == VER_PLATFORM_WIN32s)
        return WINVER_CLASS_WIN32S;
    if (platformId == VER_PLATFORM_WIN32_NT) {
        if (major == 4)
            return WINVER_CLASS_NT4;
        if (major == 5 && minor == 0)
            return WINVER_CLASS_WIN2000;
        if (major == 5 && minor == 1)
            return WINVER_CLASS_WINXP;
        return WINVER_CLASS_NT_OTHER;
    }
    if (major == 4 && minor == 10)
        return WINVER_CLASS_WIN98;
    if (major == 4 && minor == 90)
        return WINVER_CLASS_WINME;
    return WINVER_CLASS_WIN95;
}

int GetWindowsVersionClass()
{
    static volatile LONG s_class = WINVER_CLASS_UNKNOWN;
    if (s_class != WINVER_CLASS_UNKNOWN)
        return s_class;
    OSVERSIONINFOW info;
    if (!ReadVersion(info))
        return WINVER_CLASS_UNKNOWN;
    InterlockedExchange(&s_class, ClassifyWindowsVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion));
    return s_class;
}

bool SystemDrawsGradients()
{
    const int versionClass = GetWindowsVersionClass();
    if (versionClass != WINVER_CLASS_NT_OTHER)
        return versionClass >= WINVER_CLASS_WIN98;
    // That class holds NT 3.x as well as every NT after XP, which all draw gradients.
    OSVERSIONINFOW info;
    return ReadVersion(info) && info.dwMajorVersion >= 5;
}
