// Start-up of the main window on data folders of 500 and of 2,000 subscriptions with 100 cached items each (and a
// site icon each): from creating the frame to the window drawn with its navigation pane and every channel's counts
// (the items are read after that, and the time until every one is in is printed too), against the bare XML loads
// of the 500 folder's files (the subscription list and every cache file into a DOMDocument), the three timed in turn
// over several rounds. Prints the ratio of the 500 start-up to the bare loads (target: at most 0.2) and of the 2,000
// start-up to the 500 one (target: at most 1.5). The private memory the started window holds is measured in a fresh
// process each, on the 500 folder (once every item is read) and on an empty one, and printed per cached item (target:
// at most 1 KB).
#include "BenchTiming.h"
#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "app/SubscriptionLists.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/XmlDom.h"
#include "res/resource.h"

#include <objbase.h>
#include <ole2.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kItems = 100;
const int kRounds = 3;
const wchar_t kCompany[] = L"LanternquillBench";

std::wstring MakeFolder(const wchar_t* name)
{
    WCHAR base[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, base);
    const std::wstring folder = std::wstring(base) + name + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}

// A 16 x 16 32-bit icon file of one colour: what a channel's site icon is on disk.
std::string IconBytes(BYTE red, BYTE green, BYTE blue)
{
    std::string bytes;
    auto put16 = [&](WORD v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
    auto put32 = [&](DWORD v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
    const DWORD imageSize = 40 + 16 * 16 * 4 + 16 * 4;
    put16(0);
    put16(1);
    put16(1);
    bytes += static_cast<char>(16);
    bytes += static_cast<char>(16);
    bytes += '\0';
    bytes += '\0';
    put16(1);
    put16(32);
    put32(imageSize);
    put32(6 + 16);
    put32(40);
    put32(16);
    put32(32); // colour and mask rows
    put16(1);
    put16(32);
    put32(0);
    put32(16 * 16 * 4 + 16 * 4);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    for (int i = 0; i < 16 * 16; ++i) {
        bytes += static_cast<char>(blue);
        bytes += static_cast<char>(green);
        bytes += static_cast<char>(red);
        bytes += static_cast<char>(0xFF);
    }
    bytes.append(16 * 4, '\0');
    return bytes;
}

bool WriteAll(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

// The subscription list, and each channel's cache file and icon, as a refresh leaves them. The caches differ only in
// the channel's number: one is written by the cache writer and the others are copies of it with their own number.
bool Seed(const std::wstring& folder, int channels, std::vector<std::wstring>& files)
{
    const wchar_t* categories[] = {L"World", L"Tech", L"Sports", L"Science", L"Arts", L""};
    const std::wstring mark = L"@@@@";
    CFeedChannel cache;
    cache.m_info.m_strTitle = (L"Channel " + mark).c_str();
    cache.m_info.m_strLink = L"http://127.0.0.1:1/";
    for (int i = 0; i < kItems; ++i) {
        auto* item = new CFeedItem;
        const std::wstring n = std::to_wstring(i);
        item->m_strTitle = item->m_strTitleText = (L"Story " + n + L" of the day in channel" + mark).c_str();
        item->m_strLink = item->m_strLinkText = (L"http://127.0.0.1:1/channel" + mark + L"/" + n).c_str();
        item->m_strDescription = item->m_strDescriptionText =
            (L"Story number " + n +
             L" tells of a small town where the lanterns stayed lit all winter. Residents said the quill "
             L"makers worked late and early, and the council met twice a week to decide on the new road.")
                .c_str();
        item->m_nReadState = i < 5 ? FEED_STATE_NEW : i < 20 ? FEED_STATE_UNREAD : FEED_STATE_READ;
        item->m_dtDate = COleDateTime(2026, 12, 10, 8, i % 60, 0);
        cache.m_items.AddTail(item);
    }
    const std::wstring templatePath = folder + L"\\template.rss";
    if (!cache.SaveCache(templatePath.c_str(), TRUE))
        return false;
    std::string bytes;
    {
        HANDLE file =
            ::CreateFileW(templatePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        bytes.resize(::GetFileSize(file, nullptr));
        DWORD read = 0;
        const BOOL ok = ::ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
        ::CloseHandle(file);
        ::DeleteFileW(templatePath.c_str());
        if (!ok || read != bytes.size())
            return false;
    }

    CFeedChannel list;
    for (int c = 0; c < channels; ++c) {
        const std::wstring name = L"channel" + std::to_wstring(c);
        auto* entry = new CFeedItem;
        entry->m_nKind = FEED_KIND_FEED;
        entry->m_strTitle = entry->m_strTitleText = (L"Channel " + std::to_wstring(c)).c_str();
        entry->m_strLink = entry->m_strLinkText = (L"http://127.0.0.1:1/" + name).c_str();
        entry->m_strCategory = categories[c % 6];
        entry->m_strFile = name.c_str();
        entry->m_nUpdateInterval = 60;
        list.m_items.AddTail(entry);

        std::string copy = bytes;
        const std::string number = std::to_string(c);
        for (size_t at = copy.find("@@@@"); at != std::string::npos; at = copy.find("@@@@", at + number.size()))
            copy.replace(at, 4, number);
        const std::wstring cachePath = folder + L"\\" + name + L".rss";
        if (!WriteAll(cachePath, copy))
            return false;
        files.push_back(cachePath);
        if (!WriteAll(folder + L"\\" + name + L".ico",
                      IconBytes(static_cast<BYTE>(c * 7), static_cast<BYTE>(120 + c % 100), 40)))
            return false;
    }
    theApp.m_strDataFolder = folder.c_str();
    if (!list.SaveMainFeeds())
        return false;
    files.push_back(folder + L"\\MainFeed.xml");
    return true;
}

double BareLoads(const std::vector<std::wstring>& files)
{
    const double start = lqbench::Seconds();
    for (const std::wstring& file : files) {
        XmlDom::DocumentPtr document = XmlDom::CreateDocument(true);
        if (!document || !XmlDom::LoadDocument(document.Get(), file.c_str()))
            return -1;
    }
    return lqbench::Seconds() - start;
}

// The same files read into channels by the one-pass reader, one after another.
double OwnReads(const std::vector<std::wstring>& files)
{
    const double start = lqbench::Seconds();
    for (const std::wstring& file : files) {
        CFeedChannel channel;
        if (channel.ReadOwnFile(file.c_str()) != CFeedChannel::OWN_FILE_LOADED)
            return -1;
    }
    return lqbench::Seconds() - start;
}

// The same files counted by the first pass, one after another.
double FirstPasses(const std::vector<std::wstring>& files)
{
    const double start = lqbench::Seconds();
    for (const std::wstring& file : files) {
        CFeedChannel::OwnFileCounts counts;
        if (CFeedChannel::CountOwnFile(file.c_str(), counts) != CFeedChannel::OWN_FILE_LOADED)
            return -1;
    }
    return lqbench::Seconds() - start;
}

void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// The frame created, shown and drawn with every child (the pane with every channel's counts from the first pass):
// the seconds it took. In pAllRead, the seconds until every channel's items were read as well, the window's
// thread serving its messages meanwhile; the private memory the window holds then, in bytes.
double StartUp(SIZE_T* pHeld, double* pAllRead = nullptr)
{
    const SIZE_T before = lqbench::PrivateBytes();
    const double start = lqbench::Seconds();
    auto* frame = new CMainFrame; // deletes itself with its window
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW))
        return -1;
    frame->ShowWindow(SW_SHOW);
    ::RedrawWindow(frame->GetSafeHwnd(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    const double elapsed = lqbench::Seconds() - start;
    if (pAllRead != nullptr || pHeld != nullptr) {
        while (frame->Lists().IsReading()) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
            PumpPending();
        }
        if (pAllRead != nullptr)
            *pAllRead = lqbench::Seconds() - start;
    }
    if (pHeld != nullptr) {
        const SIZE_T after = lqbench::PrivateBytes();
        *pHeld = after > before ? after - before : 0;
    }
    frame->DestroyWindow();
    PumpPending();
    return elapsed;
}

// Where a fresh process measures the memory a start-up holds: its exit code is the number of kilobytes.
int MeasureMemory(const std::wstring& folder)
{
    theApp.m_strDataFolder = folder.c_str();
    SIZE_T held = 0;
    if (StartUp(&held) < 0)
        return -1;
    return static_cast<int>(held / 1024);
}

// The kilobytes a start-up on the folder holds, measured in a fresh process; -1 when it could not be measured.
double HeldInFreshProcess(const std::wstring& folder)
{
    WCHAR self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --memory \"" + folder + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code) < 0 ? -1 : static_cast<double>(code);
}

void SetUpApplication()
{
    // Nothing leaves the machine: no channel list, update, branding or statistics service.
    theApp.m_settings.szMainLink[0] = 0;
    theApp.m_strUpdateUrl.Empty();
    theApp.m_strBrandingUrl.Empty();
    theApp.m_strStatServerUrl.Empty();
    if (!theApp.m_pszAppName)
        theApp.m_pszAppName = _wcsdup(L"Lanternquill");
    theApp.SetRegistryKey(kCompany);
    theApp.WriteProfileInt(L"", L"Check at startup", 0);
    theApp.m_settings.nViewStyle = 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (FAILED(::OleInitialize(nullptr)))
        return 1;
    const std::wstring temp = MakeFolder(L"lqbench-startup-temp-");
    theApp.m_strTempFolder = temp.c_str();
    SetUpApplication();
    if (argc == 3 && std::wstring(argv[1]) == L"--memory") {
        const int held = MeasureMemory(argv[2]);
        RemoveFolder(temp);
        ::OleUninitialize();
        return held;
    }

    const std::wstring empty = MakeFolder(L"lqbench-startup-empty-");
    const std::wstring data = MakeFolder(L"lqbench-startup-data-");
    const std::wstring large = MakeFolder(L"lqbench-startup-large-");
    std::vector<std::wstring> files, largeFiles;
    if (!Seed(data, 500, files) || !Seed(large, 2000, largeFiles)) {
        printf("could not write the data folders\n");
        return 1;
    }

    const double emptyHeld = HeldInFreshProcess(empty);
    const double fullHeld = HeldInFreshProcess(data);
    printf("memory held by the started window, each in a fresh process: empty %.1f MB, 500 x %d %.1f MB; %.0f bytes "
           "per cached item above the empty start (target <= 1024)\n",
           emptyHeld / 1024.0, kItems, fullHeld / 1024.0, (fullHeld - emptyHeld) * 1024.0 / (500.0 * kItems));
    fflush(stdout);

    BareLoads(files); // the file cache warmed for every side
    BareLoads(largeFiles);
    double bareOnce = 0, ownOnce = 0;
    lqbench::BestTimesInTurn([&] { BareLoads(files); }, [&] { OwnReads(files); }, bareOnce, ownOnce, 2);
    double bareAgain = 0, countOnce = 0;
    lqbench::BestTimesInTurn([&] { BareLoads(files); }, [&] { FirstPasses(files); }, bareAgain, countOnce, 2);
    printf("the 500 folder's files one after another: bare XML loads %.3f s, read into channels by the one-pass "
           "reader %.3f s (ratio %.2f); bare loads %.3f s, counted by the first pass %.3f s (ratio %.2f)\n",
           bareOnce, ownOnce, ownOnce / bareOnce, bareAgain, countOnce, countOnce / bareAgain);
    fflush(stdout);
    for (int style : {1, 0}) {
        theApp.m_settings.nViewStyle = style;
        double bare = 1e30, small = 1e30, big = 1e30, smallRead = 1e30, bigRead = 1e30;
        for (int round = 0; round < kRounds; ++round) {
            const double start = lqbench::Seconds();
            if (BareLoads(files) < 0)
                return 1;
            bare = std::min(bare, lqbench::Seconds() - start);
            double allRead = 0;
            theApp.m_strDataFolder = data.c_str();
            small = std::min(small, StartUp(nullptr, &allRead));
            smallRead = std::min(smallRead, allRead);
            theApp.m_strDataFolder = large.c_str();
            big = std::min(big, StartUp(nullptr, &allRead));
            bigRead = std::min(bigRead, allRead);
        }
        printf("%-7s view: bare loads of the 500 folder %.3f s; start-up to a drawn window with 500 x %d %.3f s, "
               "ratio %.2f (target <= 0.2); with 2,000 x %d %.3f s, ratio to 500 %.2f (target <= 1.5)\n",
               style == 1 ? "modern" : "classic", bare, kItems, small, small / bare, kItems, big, big / small);
        printf("%-7s view: every item read after start: 500 x %d %.3f s (ratio to the bare loads %.2f), 2,000 x %d "
               "%.3f s\n",
               style == 1 ? "modern" : "classic", kItems, smallRead, smallRead / bare, kItems, bigRead);
        fflush(stdout);
    }

    ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kCompany).c_str());
    RemoveFolder(empty);
    RemoveFolder(data);
    RemoveFolder(large);
    RemoveFolder(temp);
    ::OleUninitialize();
    return 0;
}
