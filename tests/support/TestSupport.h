// Shared test helpers: the modal-window watchdog, message pumping and timed steps, message-only windows, the local
// HTTP server, child processes, temporary folders and files.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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

// Sees each message a pump takes before it is dispatched; answers true when it dealt with the message, which is
// then not dispatched (a pre-translation, or a test collecting its thread's messages).
using MessageHook = std::function<bool(MSG& msg)>;

// Dispatches this thread's messages until cond() holds or timeoutMs pass; returns cond().
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs = 10000, const MessageHook& hook = nullptr);

// Dispatches the messages already queued for this thread.
void PumpPending(const MessageHook& hook = nullptr);

// Stands for the program's own loop: dispatches until WM_QUIT arrives and answers true with the quit's code, or
// false after timeoutMs.
bool PumpUntilQuit(WPARAM* exitCode, DWORD timeoutMs = 10000);

// Takes a WM_QUIT left in this thread's queue, so that it does not end a later test's loop.
void DropQuitMessages();

// While one lives, a thread timer runs the steps one per tick, in order, in whatever loop dispatches this
// thread's messages (a modal loop of the code under test included). One at a time per thread.
class TimedSteps
{
public:
    using Step = std::function<void()>;
    explicit TimedSteps(std::vector<Step> steps, UINT intervalMs = 20);
    ~TimedSteps();
    TimedSteps(const TimedSteps&) = delete;
    TimedSteps& operator=(const TimedSteps&) = delete;

    bool Done() const { return m_steps.empty(); }
    // Ends the timer; steps not run by then never run.
    void Stop();

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

    std::vector<Step> m_steps;
    UINT_PTR m_timer = 0;
};

// A message-only window whose messages go to a handler; what the handler declines (answers false for) goes to
// DefWindowProc.
class MessageWindow
{
public:
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
    explicit MessageWindow(Handler handler);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND Handle() const { return m_hWnd; }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    Handler m_handler;
    HWND m_hWnd = nullptr;
};

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
