// A full refresh through the feed worker: 200 feeds from the local test server, each answered after a fixed delay,
// with "Max" 4 (so 5 downloads at once). Prints the time against the ideal (every slot busy from start to end:
// ceil(200 / 5) delays) and against a bare baseline (5 plain threads fetching the same feeds one after another),
// the concurrency efficiency (ideal / measured) and the most connections the server saw at once. Then the cost: the
// CPU time of the whole process per feed for a refresh through the worker (feeds answered at once, site icons
// already there), beside a plain loop on one thread that fetches and parses the same feeds over one reused WinHTTP
// session, rounds of the two interleaved; and the connections each opened.
// Run it with tools/scripts/bench-feedrefresh.sh, which starts the server; or pass the port: bench_feedrefresh <port>.
#include "BenchTiming.h"
#include "app/FeedWorker.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/HttpFetch.h"

#include <objbase.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

const int kFeeds = 200;
const int kMax = 4;
const int kDelayMs = 100;

class BenchContext : public CEngineContext
{
};

int g_port = 0;

std::wstring Url(const std::wstring& path)
{
    return L"http://127.0.0.1:" + std::to_wstring(g_port) + path;
}

std::wstring MakeFolder()
{
    WCHAR base[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, base);
    const std::wstring folder = std::wstring(base) + L"lqbench-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void EmptyFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

// "<most at once> ..." of the server's count under the key.
int MostAtOnce(const std::wstring& key, const std::wstring& folder)
{
    const std::wstring file = folder + L"\\seen.txt";
    if (DownloadUrlToFile(Url(L"/delayed-seen/" + key).c_str(), file.c_str(), nullptr, FALSE, nullptr, nullptr,
                          nullptr) != HTTP_FETCH_DONE)
        return -1;
    FILE* f = _wfopen(file.c_str(), L"rb");
    int most = -1;
    if (f) {
        if (fscanf(f, "%d", &most) != 1)
            most = -1;
        fclose(f);
    }
    return most;
}

std::atomic<bool> g_ended{false};

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_FEED_UPDATED && wParam == 0)
        g_ended = true;
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

double RunWorker(const std::wstring& key, int& most, const std::wstring& folder)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LqBenchFrame";
    ::RegisterClassW(&wc);
    HWND frame =
        ::CreateWindowExW(0, L"LqBenchFrame", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    CFeedWorkerLink link;
    link.m_hFrame = frame;
    link.m_nMaxConnections = kMax;
    link.m_nChannelListCountdown = 60;
    CWinThread* worker = StartFeedWorker(&link);

    std::vector<std::unique_ptr<CFeedItem>> entries;
    auto* list = new CPtrList;
    for (int i = 0; i < kFeeds; ++i) {
        auto entry = std::make_unique<CFeedItem>();
        entry->m_nKind = FEED_KIND_FEED;
        entry->m_strLinkText =
            Url(L"/delayed/" + key + L"/" + std::to_wstring(kDelayMs) + L"/f" + std::to_wstring(i)).c_str();
        list->AddTail(entry.get());
        entries.push_back(std::move(entry));
    }
    g_ended = false;
    const double start = lqbench::Seconds();
    worker->PostThreadMessage(WM_WORKER_UPDATE, reinterpret_cast<WPARAM>(list), WORKER_UPDATE_LIST);
    MSG msg;
    while (!g_ended && ::GetMessageW(&msg, nullptr, 0, 0))
        ::DispatchMessageW(&msg);
    const double elapsed = lqbench::Seconds() - start;
    StopFeedWorker(worker);
    ::DestroyWindow(frame);
    most = MostAtOnce(key, folder);
    return elapsed;
}

// Five plain threads taking the next feed as each finishes: what the worker's queue should come close to.
double RunBaseline(const std::wstring& key, const std::wstring& folder)
{
    std::atomic<int> next{0};
    const double start = lqbench::Seconds();
    std::vector<std::thread> threads;
    for (int t = 0; t <= kMax; ++t) {
        threads.emplace_back([&, t] {
            const std::wstring file = folder + L"\\base" + std::to_wstring(t) + L".xml";
            for (int i; (i = next++) < kFeeds;)
                DownloadUrlToFile(
                    Url(L"/delayed/" + key + L"/" + std::to_wstring(kDelayMs) + L"/b" + std::to_wstring(i)).c_str(),
                    file.c_str(), nullptr, FALSE, nullptr, nullptr, nullptr);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return lqbench::Seconds() - start;
}

// The process's CPU time, all threads, user and kernel, in seconds.
double ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& time) {
        return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// "<connections> <requests>" the server saw under the key.
int ConnectionsSeen(const std::wstring& key, const std::wstring& folder)
{
    const std::wstring file = folder + L"\\conn.txt";
    if (DownloadUrlToFile(Url(L"/conn-seen/" + key).c_str(), file.c_str(), nullptr, FALSE, nullptr, nullptr, nullptr) !=
        HTTP_FETCH_DONE)
        return -1;
    FILE* f = _wfopen(file.c_str(), L"rb");
    int connections = -1;
    if (f) {
        if (fscanf(f, "%d", &connections) != 1)
            connections = -1;
        fclose(f);
    }
    return connections;
}

// A refresh of the feeds through the worker, as the program runs one; the CPU seconds it took.
double WorkerRefreshCpu(const std::wstring& key, const std::wstring& folder)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LqBenchFrame";
    ::RegisterClassW(&wc);
    HWND frame =
        ::CreateWindowExW(0, L"LqBenchFrame", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    CFeedWorkerLink link;
    link.m_hFrame = frame;
    link.m_nMaxConnections = kMax;
    link.m_nChannelListCountdown = 60;
    CWinThread* worker = StartFeedWorker(&link);
    std::vector<std::unique_ptr<CFeedItem>> entries;
    auto* list = new CPtrList;
    for (int i = 0; i < kFeeds; ++i) {
        auto entry = std::make_unique<CFeedItem>();
        entry->m_nKind = FEED_KIND_FEED;
        entry->m_strFile = (L"f" + std::to_wstring(i)).c_str();
        entry->m_strLinkText = Url(L"/conn/" + key + L"/f" + std::to_wstring(i)).c_str();
        // The site's icon is there, as after the first refresh.
        const std::wstring icon = folder + L"\\f" + std::to_wstring(i) + L".ico";
        if (::GetFileAttributesW(icon.c_str()) == INVALID_FILE_ATTRIBUTES) {
            FILE* f = _wfopen(icon.c_str(), L"wb");
            if (f)
                fclose(f);
        }
        list->AddTail(entry.get());
        entries.push_back(std::move(entry));
    }
    g_ended = false;
    const double start = ProcessCpuSeconds();
    worker->PostThreadMessage(WM_WORKER_UPDATE, reinterpret_cast<WPARAM>(list), WORKER_UPDATE_LIST);
    MSG msg;
    while (!g_ended && ::GetMessageW(&msg, nullptr, 0, 0))
        ::DispatchMessageW(&msg);
    const double cpu = ProcessCpuSeconds() - start;
    StopFeedWorker(worker);
    ::DestroyWindow(frame);
    return cpu;
}

// The floor: one thread, one session kept for every feed, each body read into memory, written and parsed as the
// download thread parses it.
double PlainLoopCpu(const std::wstring& key, const std::wstring& folder)
{
    const double start = ProcessCpuSeconds();
    HINTERNET session =
        WinHttpOpen(L"bench", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    HINTERNET connection = WinHttpConnect(session, L"127.0.0.1", static_cast<INTERNET_PORT>(g_port), 0);
    const std::wstring file = folder + L"\\plain.xml";
    std::string body;
    for (int i = 0; i < kFeeds; ++i) {
        const std::wstring path = L"/conn/" + key + L"/f" + std::to_wstring(i);
        HINTERNET request = WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                               WINHTTP_DEFAULT_ACCEPT_TYPES, 0);
        body.clear();
        if (request &&
            WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
            WinHttpReceiveResponse(request, nullptr)) {
            char buffer[4096];
            DWORD read = 0;
            while (WinHttpReadData(request, buffer, sizeof(buffer), &read) && read > 0)
                body.append(buffer, read);
        }
        if (request)
            WinHttpCloseHandle(request);
        FILE* f = _wfopen(file.c_str(), L"wb");
        if (f) {
            fwrite(body.data(), 1, body.size(), f);
            fclose(f);
        }
        CFeedChannel channel;
        channel.LoadFile(file.c_str(), nullptr, CFeedChannel::LOAD_FEED);
    }
    WinHttpCloseHandle(connection);
    WinHttpCloseHandle(session);
    return ProcessCpuSeconds() - start;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1)
        g_port = _wtoi(argv[1]);
    else if (const char* port = std::getenv("LQ_TEST_HTTP_PORT"))
        g_port = std::atoi(port);
    if (g_port <= 0) {
        printf("usage: bench_feedrefresh <port of tests/support/httpserver.py>\n");
        return 2;
    }
    ::CoInitialize(nullptr);
    BenchContext context;
    const std::wstring folder = MakeFolder();
    context.m_strTempFolder = folder.c_str();
    context.m_strDataFolder = folder.c_str();
    SetEngineContext(&context);

    const std::wstring run = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount());
    const double ideal = ((kFeeds + kMax) / (kMax + 1)) * (kDelayMs / 1000.0);
    const double baseline = RunBaseline(L"bench-base-" + run, folder);
    int most = 0;
    const double measured = RunWorker(L"bench-worker-" + run, most, folder);

    printf("full refresh of %d feeds, each answered after %d ms, Max %d\n", kFeeds, kDelayMs, kMax);
    printf("ideal %.2f s, bare threads %.2f s, worker %.2f s\n", ideal, baseline, measured);
    printf("concurrency efficiency (ideal/measured) %.2f, against bare threads %.2f\n", ideal / measured,
           baseline / measured);
    printf("most connections at once %d (allowed %d)\n", most, kMax + 1);

    // The cost, rounds interleaved; the first pair only warms both up.
    const int kRounds = 4;
    double workerCpu = 0, plainCpu = 0;
    int workerConnections = 0, plainConnections = 0;
    for (int round = 0; round <= kRounds; ++round) {
        const std::wstring tag = run + L"-" + std::to_wstring(round);
        const double w = WorkerRefreshCpu(L"bench-cpu-worker-" + tag, folder);
        const double p = PlainLoopCpu(L"bench-cpu-plain-" + tag, folder);
        if (round == 0)
            continue;
        workerCpu += w;
        plainCpu += p;
        workerConnections = ConnectionsSeen(L"bench-cpu-worker-" + tag, folder);
        plainConnections = ConnectionsSeen(L"bench-cpu-plain-" + tag, folder);
    }
    const double perFeedWorker = workerCpu / (kRounds * kFeeds) * 1000.0;
    const double perFeedPlain = plainCpu / (kRounds * kFeeds) * 1000.0;
    printf("CPU per feed (this process, all threads; the Wine server's own time is not in it): worker %.2f ms, "
           "plain loop over one session %.2f ms, ratio %.2f (target at most 1.5)\n",
           perFeedWorker, perFeedPlain, perFeedPlain > 0 ? perFeedWorker / perFeedPlain : 0.0);
    printf("connections for %d feeds of one server: worker %d, plain loop %d\n", kFeeds, workerConnections,
           plainConnections);

    EmptyFolder(folder);
    ::RemoveDirectoryW(folder.c_str());
    SetEngineContext(nullptr);
    ::CoUninitialize();
    return 0;
}
