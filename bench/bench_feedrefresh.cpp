// A full refresh through the feed worker: 200 feeds from the local test server, each answered after a fixed delay,
// with "Max" 4 (so 5 downloads at once). Prints the time against the ideal (every slot busy from start to end:
// ceil(200 / 5) delays) and against a bare baseline (5 plain threads fetching the same feeds one after another),
// the concurrency efficiency (ideal / measured) and the most connections the server saw at once.
// Run it with tools/scripts/bench-feedrefresh.sh, which starts the server; or pass the port: bench_feedrefresh <port>.
#include "BenchTiming.h"
#include "app/FeedWorker.h"
#include "feeds/EngineContext.h"
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

    EmptyFolder(folder);
    ::RemoveDirectoryW(folder.c_str());
    SetEngineContext(nullptr);
    ::CoUninitialize();
    return 0;
}
