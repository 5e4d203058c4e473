// Shows the channel viewer with a channel's cache file rendered through feeds.xsl, and beside it a host window
// with the weather box and a web-page box of the navigation pane, until the marker file is removed; for
// tools/screenshots/screenshot-channelview.sh.
// Arguments: marker, cache file, templates folder.
#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/ViewTemplates.h"
#include "views/AdBlockWnd.h"
#include "views/ChannelViewDlg.h"

#include <string>

namespace {

std::wstring g_markerPath;

void CALLBACK WatchMarker(HWND, UINT, UINT_PTR, DWORD)
{
    if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::PostQuitMessage(0);
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
        return 2;
    g_markerPath = argv[1];
    ::OleInitialize(nullptr);
    WCHAR temp[MAX_PATH + 1] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    const CString data = CString(temp) + L"lq-channelview-demo";
    ::CreateDirectoryW(data, nullptr);
    theApp.m_strDataFolder = data;
    if (!InstallViewTemplates(argv[3]))
        return 3;
    ::CopyFileW(argv[2], data + L"\\demo.rss", FALSE);
    CString weather = CString(argv[3]) + L"\\weather.htm";
    ::CopyFileW(weather, data + L"\\weather.htm", FALSE);

    CWnd host;
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    if (!host.CreateEx(0, cls, L"Navigation pane boxes", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 540, 20, 330, 300,
                       nullptr, nullptr))
        return 5;
    CFeedItem weatherEntry;
    weatherEntry.m_nKind = FEED_KIND_WEATHER;
    weatherEntry.m_strLink = weatherEntry.m_strLinkText = data + L"\\weather.htm";
    CFeedItem blockEntry;
    blockEntry.m_nKind = FEED_KIND_IFRAME;
    blockEntry.m_strLink = blockEntry.m_strLinkText = L"file:///C:/not-a-web-page.htm";
    CAdBlockWnd* pWeather = CAdBlockWnd::AttachTo(&weatherEntry, &host);
    CAdBlockWnd* pBlock = CAdBlockWnd::AttachTo(&blockEntry, &host);
    if (pWeather == nullptr || pBlock == nullptr)
        return 6;
    host.ShowWindow(SW_SHOW);
    Pump();
    CRect rcWeather;
    pWeather->GetWindowRect(&rcWeather);
    pWeather->SetWindowPos(nullptr, 6, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    pBlock->SetWindowPos(nullptr, 6, 16 + rcWeather.Height(), 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    CChannelViewDlg viewer(&host);
    viewer.SetStyleSheet(data + L"\\feeds.xsl");
    if (!viewer.Create(&host))
        return 7;
    viewer.SetWindowPos(nullptr, 10, 20, 520, 460, SWP_NOZORDER);
    viewer.ShowWindow(SW_SHOW);
    viewer.ShowFeed(data + L"\\demo.rss");
    Pump();
    ::RedrawWindow(host.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
    ::RedrawWindow(viewer.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
    Pump();

    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    ::SetTimer(nullptr, 0, 200, WatchMarker);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    viewer.DestroyWindow();
    host.DestroyWindow();
    return 0;
}
