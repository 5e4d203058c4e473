// Start-up of the main window on a data folder of 500 subscriptions with 100 cached items each (and a site icon
// each): from creating the frame to the window drawn with its navigation pane, in both view styles, against the
// bare XML loads of the same files (the subscription list and every cache file into a DOMDocument). Prints the
// ratio (target: at most 2) and the private memory the started window holds, per cached item.
#include "BenchTiming.h"
#include "app/MainFrm.h"
#include "app/ReaderApp.h"
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

const int kChannels = 500;
const int kItems = 100;
const int kRuns = 3;
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

// The subscription list, and each channel's cache file and icon, as a refresh leaves them.
bool Seed(const std::wstring& folder, std::vector<std::wstring>& files)
{
    const wchar_t* categories[] = {L"World", L"Tech", L"Sports", L"Science", L"Arts", L""};
    CFeedChannel list;
    for (int c = 0; c < kChannels; ++c) {
        const std::wstring name = L"channel" + std::to_wstring(c);
        auto* entry = new CFeedItem;
        entry->m_nKind = FEED_KIND_FEED;
        entry->m_strTitle = entry->m_strTitleText = (L"Channel " + std::to_wstring(c)).c_str();
        entry->m_strLink = entry->m_strLinkText = (L"http://127.0.0.1:1/" + name).c_str();
        entry->m_strCategory = categories[c % 6];
        entry->m_strFile = name.c_str();
        entry->m_nUpdateInterval = 60;
        list.m_items.AddTail(entry);

        CFeedChannel cache;
        cache.m_info.m_strTitle = entry->m_strTitle;
        cache.m_info.m_strLink = L"http://127.0.0.1:1/";
        for (int i = 0; i < kItems; ++i) {
            auto* item = new CFeedItem;
            const std::wstring n = std::to_wstring(i);
            item->m_strTitle = item->m_strTitleText = (L"Story " + n + L" of the day in channel " + name).c_str();
            item->m_strLink = item->m_strLinkText = (L"http://127.0.0.1:1/" + name + L"/" + n).c_str();
            item->m_strDescription = item->m_strDescriptionText =
                (L"Story number " + n +
                 L" tells of a small town where the lanterns stayed lit all winter. Residents said the quill "
                 L"makers worked late and early, and the council met twice a week to decide on the new road.")
                    .c_str();
            item->m_nReadState = i < 5 ? FEED_STATE_NEW : i < 20 ? FEED_STATE_UNREAD : FEED_STATE_READ;
            item->m_dtDate = COleDateTime(2026, 12, 10, 8, i % 60, 0);
            cache.m_items.AddTail(item);
        }
        const std::wstring cachePath = folder + L"\\" + name + L".rss";
        if (!cache.SaveCache(cachePath.c_str(), TRUE))
            return false;
        files.push_back(cachePath);
        if (!WriteAll(folder + L"\\" + name + L".ico",
                      IconBytes(static_cast<BYTE>(c * 7), static_cast<BYTE>(120 + c % 100), 40)))
            return false;
    }
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

void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// The frame created, shown and drawn with every child; the private memory it holds then, in bytes.
double StartUp(SIZE_T* pHeld, SIZE_T* pTotal = nullptr)
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
    if (pHeld != nullptr) {
        const SIZE_T after = lqbench::PrivateBytes();
        *pHeld = after > before ? after - before : 0;
        if (pTotal != nullptr)
            *pTotal = after;
    }
    frame->DestroyWindow();
    PumpPending();
    return elapsed;
}

} // namespace

int wmain()
{
    if (FAILED(::OleInitialize(nullptr)))
        return 1;
    const std::wstring data = MakeFolder(L"lqbench-startup-data-");
    const std::wstring temp = MakeFolder(L"lqbench-startup-temp-");
    theApp.m_strDataFolder = data.c_str();
    theApp.m_strTempFolder = temp.c_str();
    // Nothing leaves the machine: no channel list, update, branding or statistics service.
    theApp.m_settings.szMainLink[0] = 0;
    theApp.m_strUpdateUrl.Empty();
    theApp.m_strBrandingUrl.Empty();
    theApp.m_strStatServerUrl.Empty();
    if (!theApp.m_pszAppName)
        theApp.m_pszAppName = _wcsdup(L"Lanternquill");
    theApp.SetRegistryKey(kCompany);
    theApp.WriteProfileInt(L"", L"Check at startup", 0);

    std::vector<std::wstring> files;
    if (!Seed(data, files)) {
        printf("could not write the data folder\n");
        return 1;
    }
    BareLoads(files); // the file cache warmed for both sides
    const double bare = lqbench::BestTime([&] { BareLoads(files); }, kRuns);
    printf("%d subscriptions of %d cached items each; bare XML loads of the %zu files: %.3f s\n", kChannels, kItems,
           files.size(), bare);
    // Memory first, in a heap that no earlier window has left free blocks in.
    theApp.m_settings.nViewStyle = 1;
    SIZE_T held = 0, total = 0;
    StartUp(&held, &total);
    printf("memory held by the started window: %.1f MB, %.0f bytes per cached item (process total %.1f MB)\n",
           held / (1024.0 * 1024.0), static_cast<double>(held) / (kChannels * kItems), total / (1024.0 * 1024.0));
    for (int style : {1, 0}) {
        theApp.m_settings.nViewStyle = style;
        double best = 1e30;
        for (int run = 0; run < kRuns; ++run)
            best = std::min(best, StartUp(nullptr));
        printf("%-7s view: start-up to a drawn window %.3f s, ratio to the bare loads %.2f (target <= 2)\n",
               style == 1 ? "modern" : "classic", best, best / bare);
        fflush(stdout);
    }

    ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kCompany).c_str());
    RemoveFolder(data);
    RemoveFolder(temp);
    ::OleUninitialize();
    return 0;
}
