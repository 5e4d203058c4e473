// The real program started from a test: its path, a started process, and its frames.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lqprogram {

// Lanternquill.exe of this build.
std::wstring ProgramPath();

struct Started
{
    PROCESS_INFORMATION info = {};
    bool ok = false;
};
Started Start(const std::wstring& arguments);
void CloseHandles(Started& started);
// Ends a program a test left running and waits until it is gone, so that nothing it writes on its way out lands in
// the next test's data folder; then closes the handles.
void EndProgram(Started& started);

// The program's frames: its top-level windows with a caption and a sizing border.
std::vector<HWND> FramesOf(DWORD processId);

// The program's profile key under HKCU and two of its values.
extern const wchar_t kProgramKey[];
void SetProgramInt(LPCWSTR name, DWORD value);
DWORD ProgramInt(LPCWSTR name, DWORD fallback);

// Files and folders left in the program's temporary folder.
int TempFolderEntries();

// The program's data folder (made when missing) and the first pane of a frame's status bar.
std::wstring ProgramDataFolder();
std::wstring StatusText(HWND hFrame);

} // namespace lqprogram
