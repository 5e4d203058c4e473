// Direct access to the application's own profile key (HKCU\Software\<registry key>\<profile name>), for what the
// profile calls cannot do, such as deleting a single value of a section.
#pragma once

#include "framework/core/AfxString.h"

#include <windows.h>

class CXTRegistryManager
{
public:
    explicit CXTRegistryManager(HKEY hKeyBase = HKEY_CURRENT_USER);
    virtual ~CXTRegistryManager() = default;

    // The profile key opened for reading and writing (created when missing), or null; the caller closes it.
    virtual HKEY OpenProfileKey();
    // A section below the profile key, opened or created, or null; the caller closes it.
    virtual HKEY OpenSectionKey(LPCTSTR lpszSection);
    // TRUE when the value was there and is deleted; the section is created when missing.
    BOOL DeleteValue(LPCTSTR lpszSection, LPCTSTR lpszEntry);

protected:
    HKEY m_hKeyBase;
    // Copied from the application object at first use, so that a later change of its strings cannot leave us
    // pointing at freed text.
    CString m_strRegistryKey;
    CString m_strProfileName;
};
