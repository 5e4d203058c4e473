#include "feeds/ShellAssociations.h"
#include "res/resource.h"

#include "feeds/EngineContext.h"
#include "framework/core/ScopedHandles.h"

#include <shellapi.h>

#include <cstdlib>

namespace {

const WCHAR kMenuExtensionKey[] = L"Software\\Microsoft\\Internet Explorer\\MenuExt\\";

// The default value of a key under a root, or FALSE. The buffer counts characters.
BOOL ReadDefaultValue(HKEY root, LPCWSTR subKey, LPCWSTR valueName, WCHAR* buffer, DWORD chars)
{
    CScopedRegKey key;
    if (RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return FALSE;
    DWORD type = 0;
    DWORD bytes = (chars - 1) * sizeof(WCHAR);
    ZeroMemory(buffer, chars * sizeof(WCHAR));
    const LONG result = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    buffer[chars - 1] = 0;
    return result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
}

CString MenuExtensionKey()
{
    CString caption;
    caption.LoadString(IDS_SUBSCRIBE_TO);
    return CString(kMenuExtensionKey) + caption;
}

} // namespace

CString ExtractBrowserCommand(const CString& value)
{
    CString command = value;
    if (command.IsEmpty())
        return command;
    command.Replace(L" \"%1\"", L"");
    if (command.Find(L'"') < 0) {
        // An unquoted program path ends at the first blank after its last folder.
        const int slash = command.ReverseFind(L'\\');
        if (slash > 0) {
            const int blank = command.Find(L' ', slash);
            if (blank >= 0)
                command = command.Left(blank);
        }
    } else {
        const int first = command.Find(L'"');
        const int last = command.ReverseFind(L'"');
        if (first != last)
            command = command.Mid(first + 1, last - first - 1);
    }
    return command;
}

CString GetDefaultBrowserCommand()
{
    WCHAR value[MAX_PATH * 2];
    if (!ReadDefaultValue(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", nullptr, value, MAX_PATH * 2))
        return CString();
    return ExtractBrowserCommand(CString(value));
}

void SplitIconLocation(LPCWSTR location, CString& file, int& index)
{
    const CString text(location ? location : L"");
    const int comma = text.Find(L',');
    if (comma < 0) {
        file = text;
        index = 0;
        return;
    }
    file = text.Left(comma);
    index = static_cast<int>(_wtol(text.GetString() + comma + 1));
}

HICON GetMimeTypeIcon(LPCWSTR contentType)
{
    if (!contentType || !*contentType)
        return nullptr;
    WCHAR extension[10];
    if (!ReadDefaultValue(HKEY_CLASSES_ROOT, CString(L"MIME\\Database\\Content Type\\") + contentType, L"Extension",
                          extension, 10))
        return nullptr;
    WCHAR fileClass[MAX_PATH];
    if (!extension[0] || !ReadDefaultValue(HKEY_CLASSES_ROOT, extension, nullptr, fileClass, MAX_PATH))
        return nullptr;
    WCHAR location[MAX_PATH];
    if (!fileClass[0] ||
        !ReadDefaultValue(HKEY_CLASSES_ROOT, CString(fileClass) + L"\\DefaultIcon", nullptr, location, MAX_PATH))
        return nullptr;
    CString file;
    int index = 0;
    SplitIconLocation(location, file, index);
    HICON icon = nullptr;
    if (ExtractIconExW(file, index, nullptr, &icon, 1) == 0)
        return nullptr;
    return icon;
}

bool RegisterBrowserMenuExtension(bool bCreate)
{
    const CString keyName = MenuExtensionKey();
    if (!bCreate) {
        RegDeleteKeyW(HKEY_CURRENT_USER, keyName);
        return true;
    }
    CScopedRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    const CString page = EngineProfileString(L"", L"Install_Dir", L"") + L"\\feedscript.htm";
    const LONG result = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(page.GetString()),
                                       static_cast<DWORD>((page.GetLength() + 1) * sizeof(WCHAR)));
    return result == ERROR_SUCCESS;
}
