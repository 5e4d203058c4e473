#include "framework/core/ProfileStore.h"

#include "framework/core/ScopedHandles.h"

#include <new>
#include <vector>

namespace {

bool IsEmptyText(LPCTSTR text)
{
    return !text || !*text;
}

} // namespace

void CProfileStore::SetRegistryKey(LPCTSTR company)
{
    CSingleLock lock(&m_lock, TRUE);
    m_company = company ? company : L"";
}

void CProfileStore::SetRegistryKey(UINT companyId)
{
    CString company;
    company.LoadString(companyId);
    SetRegistryKey(company.GetString());
}

void CProfileStore::SetProfileName(LPCTSTR profileName)
{
    CSingleLock lock(&m_lock, TRUE);
    m_profileName = profileName ? profileName : L"";
}

CString CProfileStore::GetRegistryKeyName() const
{
    CSingleLock lock(&m_lock, TRUE);
    return CString(m_company.c_str(), static_cast<int>(m_company.size()));
}

CString CProfileStore::GetProfileName() const
{
    CSingleLock lock(&m_lock, TRUE);
    return CString(m_profileName.c_str(), static_cast<int>(m_profileName.size()));
}

std::wstring CProfileStore::AppKeyPath() const
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_company.empty())
        return std::wstring();
    std::wstring path = L"Software\\" + m_company;
    if (!m_profileName.empty())
        path += L"\\" + m_profileName;
    return path;
}

HKEY CProfileStore::GetAppRegistryKey()
{
    const std::wstring path = AppKeyPath();
    if (path.empty())
        return nullptr;
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

HKEY CProfileStore::GetSectionKey(LPCTSTR section)
{
    HKEY appKey = GetAppRegistryKey();
    if (!appKey || IsEmptyText(section))
        return appKey;
    CScopedRegKey app(appKey);
    HKEY key = nullptr;
    if (::RegCreateKeyExW(app.Get(), section, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

HKEY CProfileStore::OpenExistingSection(LPCTSTR section, REGSAM access) const
{
    std::wstring path = AppKeyPath();
    if (path.empty())
        return nullptr;
    if (!IsEmptyText(section))
        path += L"\\" + std::wstring(section);
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

UINT CProfileStore::GetProfileInt(LPCTSTR section, LPCTSTR entry, int defaultValue)
{
    CScopedRegKey key(OpenExistingSection(section, KEY_READ));
    if (!key.Get() || !entry)
        return static_cast<UINT>(defaultValue);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegQueryValueExW(key.Get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
        return static_cast<UINT>(defaultValue);
    }
    return value;
}

namespace {

// Reads a value of the wanted type whole, even while another thread changes its size between the calls: the
// buffer only grows, so the retries end once it holds the largest value written meanwhile.
bool ReadValue(HKEY key, LPCTSTR entry, DWORD wantedType, std::vector<BYTE>& bytes)
{
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != wantedType)
        return false;
    // Never a null buffer: with one the platform reports success and a size without copying anything.
    bytes.resize(size ? size : 1);
    for (int attempt = 0; attempt < 64; ++attempt) {
        size = static_cast<DWORD>(bytes.size());
        const LONG result = ::RegQueryValueExW(key, entry, nullptr, &type, bytes.data(), &size);
        if (result == ERROR_MORE_DATA) {
            if (size > bytes.size())
                bytes.resize(size);
            continue;
        }
        if (result != ERROR_SUCCESS || type != wantedType)
            return false;
        bytes.resize(size);
        return true;
    }
    return false;
}

} // namespace

CString CProfileStore::GetProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR defaultValue)
{
    CScopedRegKey key(OpenExistingSection(section, KEY_READ));
    std::vector<BYTE> bytes;
    if (!key.Get() || !entry || !ReadValue(key.Get(), entry, REG_SZ, bytes))
        return defaultValue ? CString(defaultValue) : CString();
    // A stored string need not end with a zero, and may hold an odd byte count; take whole characters up to the
    // first zero.
    const wchar_t* chars = reinterpret_cast<const wchar_t*>(bytes.data());
    int length = static_cast<int>(bytes.size() / sizeof(wchar_t));
    for (int i = 0; i < length; ++i) {
        if (chars[i] == 0) {
            length = i;
            break;
        }
    }
    return length ? CString(chars, length) : CString();
}

BOOL CProfileStore::GetProfileBinary(LPCTSTR section, LPCTSTR entry, LPBYTE* data, UINT* bytes)
{
    if (!data || !bytes)
        return FALSE;
    *data = nullptr;
    *bytes = 0;
    CScopedRegKey key(OpenExistingSection(section, KEY_READ));
    std::vector<BYTE> value;
    if (!key.Get() || !entry || !ReadValue(key.Get(), entry, REG_BINARY, value))
        return FALSE;
    BYTE* copy = new (std::nothrow) BYTE[value.empty() ? 1 : value.size()];
    if (!copy)
        return FALSE;
    if (!value.empty())
        memcpy(copy, value.data(), value.size());
    *data = copy;
    *bytes = static_cast<UINT>(value.size());
    return TRUE;
}

BOOL CProfileStore::WriteProfileInt(LPCTSTR section, LPCTSTR entry, int value)
{
    if (!entry)
        return FALSE;
    CScopedRegKey key(GetSectionKey(section));
    if (!key.Get())
        return FALSE;
    const DWORD data = static_cast<DWORD>(value);
    return ::RegSetValueExW(key.Get(), entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) ==
           ERROR_SUCCESS;
}

BOOL CProfileStore::WriteProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR value)
{
    if (!entry) {
        // Deleting section "" would take every setting of the application with it.
        if (IsEmptyText(section))
            return FALSE;
        if (AppKeyPath().empty())
            return FALSE;
        CScopedRegKey app(OpenExistingSection(L"", KEY_READ | KEY_WRITE | DELETE));
        if (!app.Get())
            return TRUE;
        const LONG result = ::RegDeleteTreeW(app.Get(), section);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    if (!value) {
        if (AppKeyPath().empty())
            return FALSE;
        CScopedRegKey key(OpenExistingSection(section, KEY_SET_VALUE));
        if (!key.Get())
            return TRUE;
        const LONG result = ::RegDeleteValueW(key.Get(), entry);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    CScopedRegKey key(GetSectionKey(section));
    if (!key.Get())
        return FALSE;
    const DWORD size = static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.Get(), entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), size) == ERROR_SUCCESS;
}

BOOL CProfileStore::WriteProfileBinary(LPCTSTR section, LPCTSTR entry, LPBYTE data, UINT bytes)
{
    if (!entry || (!data && bytes))
        return FALSE;
    CScopedRegKey key(GetSectionKey(section));
    if (!key.Get())
        return FALSE;
    return ::RegSetValueExW(key.Get(), entry, 0, REG_BINARY, data, bytes) == ERROR_SUCCESS;
}
