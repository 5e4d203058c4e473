#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace lqtest {
namespace {

// A dialog box nobody expects is closed after this long, and fails the running test.
constexpr DWORD kUnexpectedGraceMs = 4000;

std::atomic<int> g_expectDepth{0};
std::atomic<DWORD> g_expectGraceMs{200};
std::atomic<int> g_closedCount{0};

struct Seen
{
    DWORD firstTick;
    bool closed;
};

BOOL CALLBACK CollectDialogs(HWND hwnd, LPARAM lParam)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd))
        return TRUE;
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (lstrcmpW(cls, L"#32770") == 0)
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

void WatchdogLoop()
{
    std::map<HWND, Seen> seen;
    for (;;) {
        std::vector<HWND> dialogs;
        EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
        const DWORD now = GetTickCount();
        std::map<HWND, Seen> next;
        for (HWND hwnd : dialogs) {
            auto it = seen.find(hwnd);
            Seen entry = it != seen.end() ? it->second : Seen{now, false};
            const bool expected = g_expectDepth.load() > 0;
            const DWORD grace = expected ? g_expectGraceMs.load() : kUnexpectedGraceMs;
            if (!entry.closed && now - entry.firstTick >= grace) {
                entry.closed = true;
                wchar_t title[256] = {};
                GetWindowTextW(hwnd, title, 256);
                // Counted before it closes: the test thread reads the count as soon as its dialog returns.
                ++g_closedCount;
                PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
                if (!expected)
                    ADD_FAILURE() << "an unexpected dialog box was left open and closed by the watchdog: \""
                                  << Narrow(title) << "\"";
            }
            next[hwnd] = entry;
        }
        seen.swap(next);
        Sleep(50);
    }
}

} // namespace

ExpectModal::ExpectModal(DWORD graceMs) : m_closedAtStart(g_closedCount.load())
{
    g_expectGraceMs = graceMs;
    ++g_expectDepth;
}

ExpectModal::~ExpectModal()
{
    --g_expectDepth;
}

int ExpectModal::Closed() const
{
    return g_closedCount.load() - m_closedAtStart;
}

void StartModalWatchdog()
{
    std::thread(WatchdogLoop).detach();
}

void PumpPending(const MessageHook& hook)
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (hook && hook(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs, const MessageHook& hook)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending(hook);
        if (cond())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return cond();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool PumpUntilQuit(WPARAM* exitCode, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        MSG msg;
        // Nothing after the quit is dispatched: the loop that gets it ends there.
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (exitCode)
                    *exitCode = msg.wParam;
                return true;
            }
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

void DropQuitMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

namespace {
thread_local TimedSteps* t_runningSteps = nullptr;
}

TimedSteps::TimedSteps(std::vector<Step> steps, UINT intervalMs) : m_steps(std::move(steps))
{
    t_runningSteps = this;
    m_timer = SetTimer(nullptr, 0, intervalMs, Tick);
}

TimedSteps::~TimedSteps()
{
    Stop();
}

void TimedSteps::Stop()
{
    if (m_timer)
        KillTimer(nullptr, m_timer);
    m_timer = 0;
    m_steps.clear();
    if (t_runningSteps == this)
        t_runningSteps = nullptr;
}

void CALLBACK TimedSteps::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    TimedSteps* self = t_runningSteps;
    if (self == nullptr || self->m_steps.empty())
        return;
    // The step may pump messages (and so reach this timer again): it leaves the list before it runs.
    Step step = std::move(self->m_steps.front());
    self->m_steps.erase(self->m_steps.begin());
    step();
}

MessageWindow::MessageWindow(Handler handler) : m_handler(std::move(handler))
{
    static const ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &MessageWindow::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LqTestMessageWindow";
        return RegisterClassW(&wc);
    }();
    (void)atom;
    m_hWnd = CreateWindowExW(0, L"LqTestMessageWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageWindow::~MessageWindow()
{
    DestroyWindow(m_hWnd);
}

LRESULT CALLBACK MessageWindow::Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self != nullptr && self->m_handler && self->m_handler(message, wParam, lParam, result))
        return result;
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

int HttpPort()
{
    const char* port = std::getenv("LQ_TEST_HTTP_PORT");
    return port ? std::atoi(port) : 0;
}

std::wstring HttpUrl(const std::wstring& path)
{
    return L"http://127.0.0.1:" + std::to_wstring(HttpPort()) + path;
}

bool RunSelf(const std::wstring& arguments, DWORD timeoutMs, DWORD* exitCode)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    const bool finished = WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!finished)
        TerminateProcess(pi.hProcess, 1);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    if (exitCode)
        *exitCode = code;
    return finished;
}

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static std::atomic<int> counter{0};
    for (;;) {
        m_path = std::wstring(base) + L"lqtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter);
        if (CreateDirectoryW(m_path.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder()
{
    std::wstring from = m_path;
    from.push_back(L'\0'); // the shell wants a double-terminated list
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
}

std::wstring TempFolder::File(const std::wstring& name) const
{
    return m_path + L"\\" + name;
}

std::string ReadFileBytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring SourcePath(const std::wstring& relative)
{
#ifdef LQ_TEST_DATA_DIR
    std::string root = LQ_TEST_DATA_DIR;
#else
    std::string root = ".";
#endif
    std::wstring path = L"Z:";
    for (char c : root)
        path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    path += L"\\";
    for (wchar_t c : relative)
        path.push_back(c == L'/' ? L'\\' : c);
    return path;
}

} // namespace lqtest
