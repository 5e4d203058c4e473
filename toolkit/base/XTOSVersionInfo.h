// The operating system's version, read once, and the tests the toolkit asks of it.
#pragma once

#include <windows.h>

class CXTOSVersionInfo
{
public:
    // Reads the running system's version.
    CXTOSVersionInfo();
    // A given record, as for another system.
    explicit CXTOSVersionInfo(const OSVERSIONINFOW& info) : m_info(info) {}

    const OSVERSIONINFOW& Get() const { return m_info; }

    BOOL IsWin95() const;
    BOOL IsWin98() const;
    BOOL IsWinNT4() const;
    BOOL IsWin2000() const;
    BOOL IsWinXP() const;
    BOOL IsWin2000OrLater() const;

private:
    OSVERSIONINFOW m_info;
};

// The process-wide record, filled on first use.
const CXTOSVersionInfo& XTOSVersionInfo();
