// Shared test helpers: the modal-window watchdog, message pumping, the local HTTP server, child processes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace lqtest {

// The exit code of a test process that met an unhandled exception or std::terminate.
constexpr DWORD kCrashExitCode = 222;

// While one lives, dialog boxes of this process are closed by the watchdog after graceMs without failing the
// running test. Without one, a dialog box left open for several seconds is closed and fails the test.
class ExpectModal
{
public:
    explicit ExpectModal(DWORD graceMs = 200);
    ~ExpectModal();
    ExpectModal(const ExpectModal&) = delete;
    ExpectModal& operator=(const ExpectModal&) = delete;

    // How many dialog boxes the watchdog closed since this object was made.
    int Closed() const;

private:
    int m_closedAtStart;
};

// Starts the watchdog thread; the test main calls it once.
void StartModalWatchdog();

// Dispatches this thread's messages until cond() holds or timeoutMs pass; returns cond().
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs = 10000);

// Dispatches the messages already queued for this thread.
void PumpPending();

// The port of the local HTTP test server (127.0.0.1), or 0 when the run has none.
int HttpPort();

// "http://127.0.0.1:<port>" + path.
std::wstring HttpUrl(const std::wstring& path);

// Starts this test program again with the given command-line arguments and waits at most timeoutMs.
// Returns false (and ends the child) when it did not finish in time.
bool RunSelf(const std::wstring& arguments, DWORD timeoutMs, DWORD* exitCode);

// A new empty folder under the temporary path, deleted with its contents when the object ends.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    // Path() + L"\\" + name.
    std::wstring File(const std::wstring& name) const;

private:
    std::wstring m_path;
};

// Reads or writes a whole file as bytes.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// UTF-8 of a wide string, for readable assertion messages.
std::string Narrow(const std::wstring& text);

// The Windows path of a file under tests/ in the source tree.
std::wstring SourcePath(const std::wstring& relative);

} // namespace lqtest
