// The application's settings store: integer, string and binary values in sections under
// HKEY_CURRENT_USER\Software\<company>\<profile name>. Section "" is that key itself; a section may name nested
// keys ("Podcasting\Items"). Every member may be called from any thread.
#pragma once

#include <windows.h>

#include <string>

#include "framework/core/AfxString.h"
#include "framework/core/Sync.h"

class CProfileStore
{
public:
    CProfileStore() = default;
    CProfileStore(const CProfileStore&) = delete;
    CProfileStore& operator=(const CProfileStore&) = delete;

    // The company key below HKCU\Software; nothing is read or written until it is set.
    void SetRegistryKey(LPCTSTR company);
    // The same, with the company name taken from the string table.
    void SetRegistryKey(UINT companyId);
    void SetProfileName(LPCTSTR profileName);
    CString GetRegistryKeyName() const;
    CString GetProfileName() const;

    // The application's key, created when missing, or null without a company key. The caller closes it.
    HKEY GetAppRegistryKey();
    // A section's key below the application's key, created when missing, or null. The caller closes it.
    HKEY GetSectionKey(LPCTSTR section);

    // Reads give the default for a missing value or a value of another type; reading never creates keys.
    UINT GetProfileInt(LPCTSTR section, LPCTSTR entry, int defaultValue);
    CString GetProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR defaultValue = nullptr);
    // On success *data is a new BYTE[] of *bytes bytes that the caller deletes with delete[]; otherwise it is
    // null, *bytes is 0 and the result FALSE.
    BOOL GetProfileBinary(LPCTSTR section, LPCTSTR entry, LPBYTE* data, UINT* bytes);

    BOOL WriteProfileInt(LPCTSTR section, LPCTSTR entry, int value);
    // A null entry deletes the whole section with any sections nested in it (never section "", which would take
    // every setting with it); a null value deletes the entry. Deleting what is not there succeeds.
    BOOL WriteProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR value);
    BOOL WriteProfileBinary(LPCTSTR section, LPCTSTR entry, LPBYTE data, UINT bytes);

private:
    // HKCU-relative path of the application's key, or empty when no company key is set.
    std::wstring AppKeyPath() const;
    // An existing section's key, or null; never creates one.
    HKEY OpenExistingSection(LPCTSTR section, REGSAM access) const;

    mutable CCriticalSection m_lock;
    std::wstring m_company;
    std::wstring m_profileName;
};
