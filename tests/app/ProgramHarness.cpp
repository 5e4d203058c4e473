#include "tests/app/ProgramHarness.h"

#include <commctrl.h>
#include <shlobj.h>

namespace lqprogram {

std::wstring ProgramPath()
{
    WCHAR path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder = folder.substr(0, folder.rfind(L'\\'));
    return folder.substr(0, folder.rfind(L'\\')) + L"\\Lanternquill.exe";
}

Started Start(const std::wstring& arguments)
{
    Started started;
    std::wstring command = L"\"" + ProgramPath() + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    started.ok = ::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &started.info) != FALSE;
    return started;
}

void CloseHandles(Started& started)
{
    if (started.info.hProcess)
        ::CloseHandle(started.info.hProcess);
    if (started.info.hThread)
        ::CloseHandle(started.info.hThread);
    started.info = {};
}

void EndProgram(Started& started)
{
    if (started.info.hProcess && ::WaitForSingleObject(started.info.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(started.info.hProcess, 1);
        ::WaitForSingleObject(started.info.hProcess, 30000);
    }
    CloseHandles(started);
}

namespace {

struct FrameSearch
{
    DWORD processId;
    std::vector<HWND> frames;
};

BOOL CALLBACK CollectFrame(HWND hWnd, LPARAM lParam)
{
    auto* s = reinterpret_cast<FrameSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    if (owner != s->processId)
        return TRUE;
    WCHAR name[64] = L"";
    ::GetWindowTextW(hWnd, name, 64);
    // A frame in the notification area is a child of the program's tray window.
    if (wcscmp(name, L"_LanternquillTrayWindow") == 0) {
        ::EnumChildWindows(hWnd, CollectFrame, lParam);
        return TRUE;
    }
    const LONG style = ::GetWindowLongW(hWnd, GWL_STYLE);
    // Tool windows (the channel viewer, the podcast manager) are not frames.
    const LONG exStyle = ::GetWindowLongW(hWnd, GWL_EXSTYLE);
    if ((style & WS_CAPTION) == WS_CAPTION && (style & WS_THICKFRAME) && !(exStyle & WS_EX_TOOLWINDOW))
        s->frames.push_back(hWnd);
    return TRUE;
}

} // namespace

std::vector<HWND> FramesOf(DWORD processId)
{
    FrameSearch search{processId, {}};
    ::EnumWindows(CollectFrame, reinterpret_cast<LPARAM>(&search));
    return search.frames;
}

const wchar_t kProgramKey[] = L"Software\\Lanternquill Software\\Lanternquill";

void SetProgramInt(LPCWSTR name, DWORD value)
{
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, name, REG_DWORD, &value, sizeof(value));
}

DWORD ProgramInt(LPCWSTR name, DWORD fallback)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, kProgramKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return fallback;
    return value;
}

int TempFolderEntries()
{
    WCHAR temp[MAX_PATH + 1] = L"";
    ::GetTempPathW(MAX_PATH + 1, temp);
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((std::wstring(temp) + L"LanternquillT\\*.*").c_str(), &found);
    int entries = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do
            entries += wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0;
        while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    return entries;
}

std::wstring ProgramDataFolder()
{
    WCHAR path[MAX_PATH] = L"";
    ::SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, TRUE);
    const std::wstring folder = std::wstring(path) + L"\\Lanternquill";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring StatusText(HWND hFrame)
{
    HWND status = ::FindWindowExW(hFrame, nullptr, STATUSCLASSNAMEW, nullptr);
    WCHAR text[200] = L"";
    DWORD_PTR copied = 0;
    if (status)
        ::SendMessageTimeoutW(status, WM_GETTEXT, 200, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, &copied);
    return text;
}

} // namespace lqprogram
