#include "toolkit/base/XTOSVersionInfo.h"

CXTOSVersionInfo::CXTOSVersionInfo() : m_info()
{
    m_info.dwOSVersionInfoSize = sizeof(m_info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&m_info);
#pragma GCC diagnostic pop
}

BOOL CXTOSVersionInfo::IsWin95() const
{
    return m_info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && m_info.dwMajorVersion == 4 &&
           m_info.dwMinorVersion < 10;
}

BOOL CXTOSVersionInfo::IsWin98() const
{
    return m_info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && m_info.dwMajorVersion == 4 &&
           m_info.dwMinorVersion == 10;
}

BOOL CXTOSVersionInfo::IsWinNT4() const
{
    return m_info.dwPlatformId == VER_PLATFORM_WIN32_NT && m_info.dwMajorVersion == 4 && m_info.dwMinorVersion == 0;
}

BOOL CXTOSVersionInfo::IsWin2000() const
{
    return m_info.dwPlatformId == VER_PLATFORM_WIN32_NT && m_info.dwMajorVersion == 5 && m_info.dwMinorVersion == 0;
}

BOOL CXTOSVersionInfo::IsWinXP() const
{
    return m_info.dwPlatformId == VER_PLATFORM_WIN32_NT && m_info.dwMajorVersion == 5 && m_info.dwMinorVersion == 1;
}

BOOL CXTOSVersionInfo::IsWin2000OrLater() const
{
    return m_info.dwPlatformId >= VER_PLATFORM_WIN32_NT && m_info.dwMajorVersion >= 5;
}

const CXTOSVersionInfo& XTOSVersionInfo()
{
    static const CXTOSVersionInfo s_info;
    return s_info;
}
