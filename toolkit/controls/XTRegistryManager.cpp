#include "toolkit/controls/XTRegistryManager.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/WinApp.h"

namespace {

HKEY CreateKey(HKEY hParent, LPCTSTR lpszName)
{
    HKEY hKey = nullptr;
    if (hParent == nullptr || ::RegCreateKeyExW(hParent, lpszName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

} // namespace

CXTRegistryManager::CXTRegistryManager(HKEY hKeyBase) : m_hKeyBase(hKeyBase) {}

HKEY CXTRegistryManager::OpenProfileKey()
{
    if (m_strRegistryKey.IsEmpty() || m_strProfileName.IsEmpty()) {
        if (CWinApp* pApp = AfxGetApp()) {
            m_strRegistryKey = pApp->m_pszRegistryKey != nullptr ? pApp->m_pszRegistryKey : L"";
            m_strProfileName = pApp->m_pszProfileName != nullptr ? pApp->m_pszProfileName : L"";
        }
    }
    if (m_strRegistryKey.IsEmpty() || m_strProfileName.IsEmpty())
        return nullptr;
    CScopedRegKey software;
    if (::RegOpenKeyExW(m_hKeyBase, L"Software", 0, KEY_READ | KEY_WRITE, software.Receive()) != ERROR_SUCCESS)
        return nullptr;
    CScopedRegKey company(CreateKey(software, m_strRegistryKey));
    return CreateKey(company, m_strProfileName);
}

HKEY CXTRegistryManager::OpenSectionKey(LPCTSTR lpszSection)
{
    CScopedRegKey profile(OpenProfileKey());
    return CreateKey(profile, lpszSection);
}

BOOL CXTRegistryManager::DeleteValue(LPCTSTR lpszSection, LPCTSTR lpszEntry)
{
    CScopedRegKey section(OpenSectionKey(lpszSection));
    return section && ::RegDeleteValueW(section, lpszEntry) == ERROR_SUCCESS;
}
