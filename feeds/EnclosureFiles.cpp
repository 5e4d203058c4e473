#include "feeds/EnclosureFiles.h"

#include <shellapi.h>

#include <cwchar>

namespace {

// Characters a file system or the shell would read as something other than part of one name.
bool IsReservedNameChar(WCHAR c)
{
    return c < 0x20 || wcschr(L"<>:\"/\\|?*", c) != nullptr;
}

} // namespace

CString CleanEnclosureFileName(const CString& name)
{
    CString clean;
    for (int i = 0; i < name.GetLength(); ++i)
        clean += IsReservedNameChar(name[i]) ? L'_' : name[i];
    clean.Trim(L" .");
    // A device name stays a device whatever extension follows it ("CON.mp3", "lpt1.txt").
    CString base = clean;
    const int dot = base.Find(L'.');
    if (dot >= 0)
        base = base.Left(dot);
    base.Trim(L" ");
    base.MakeUpper();
    static const LPCWSTR kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    bool bDevice = false;
    for (LPCWSTR device : kDevices)
        bDevice = bDevice || base == device;
    if (base.GetLength() == 4 && (base.Left(3) == L"COM" || base.Left(3) == L"LPT") && base[3] >= L'0' &&
        base[3] <= L'9')
        bDevice = true;
    if (bDevice)
        clean = L"_" + clean;
    if (clean.GetLength() > 200)
        clean = clean.Left(200);
    return clean;
}


namespace {

bool LaunchWithShell(const CString& path)
{
    const HINSTANCE result = ::ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return true;
    if (::GetLastError() == ERROR_SUCCESS)
        ::SetLastError(ERROR_NO_ASSOCIATION);
    return false;
}

EnclosureLauncher g_enclosureLauncher = LaunchWithShell;

bool IsFullLocalPath(const CString& path)
{
    const bool bDrive = path.GetLength() > 3 && path[1] == L':' && path[2] == L'\\';
    const bool bShare = path.Left(2) == L"\\\\" && path.Left(4) != L"\\\\.\\" && path.Left(4) != L"\\\\?\\";
    return (bDrive || bShare) && path.Find(L"\\..\\") < 0 && path.Right(3) != L"\\..";
}

// Types the shell runs as programs or scripts rather than opening as documents.
bool IsProgramType(const CString& name)
{
    static const LPCWSTR kPrograms[] = {L".exe", L".com", L".bat", L".cmd", L".pif", L".scr", L".cpl", L".msi",
                                        L".msp", L".js",  L".jse", L".vbs", L".vbe", L".wsf", L".wsh", L".ps1",
                                        L".hta", L".lnk", L".url", L".reg", L".jar", L".msc", L".inf", L".application"};
    const int dot = name.ReverseFind(L'.');
    if (dot < 0)
        return false;
    const CString extension = name.Mid(dot);
    for (LPCWSTR program : kPrograms)
        if (extension.CompareNoCase(program) == 0)
            return true;
    return false;
}

} // namespace

bool IsOpenableEnclosureFile(const CString& path)
{
    if (!IsFullLocalPath(path))
        return false;
    const CString name = path.Mid(path.ReverseFind(L'\\') + 1);
    const DWORD attributes = ::GetFileAttributesW(path);
    return !name.IsEmpty() && CleanEnclosureFileName(name) == name && !IsProgramType(name) &&
           attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool OpenEnclosureFile(const CString& path)
{
    if (!IsOpenableEnclosureFile(path)) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return g_enclosureLauncher(path);
}

bool OpenEnclosureFolder(const CString& folder)
{
    const DWORD attributes = ::GetFileAttributesW(folder);
    if (!IsFullLocalPath(folder) || attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    return g_enclosureLauncher(folder);
}

EnclosureLauncher SetEnclosureLauncher(EnclosureLauncher launcher)
{
    EnclosureLauncher previous = g_enclosureLauncher;
    g_enclosureLauncher = launcher != nullptr ? launcher : LaunchWithShell;
    return previous;
}
