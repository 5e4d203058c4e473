// Shows the classic news view with a channel's cache file rendered through feeds.xsl, above the themed status
// bar, until the marker file is removed; for tools/screenshots/screenshot-newsview.sh.
// Arguments: marker, cache file, templates folder.
#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/ViewTemplates.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "views/ExStatusBar.h"
#include "views/FeedClassicView.h"

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
    const CString data = CString(temp) + L"lq-newsview-demo";
    ::CreateDirectoryW(data, nullptr);
    theApp.m_strDataFolder = data;
    if (!InstallViewTemplates(argv[3]))
        return 3;
    ::CopyFileW(argv[2], data + L"\\demo.rss", FALSE);
    CFeedItem entry;
    entry.m_nKind = FEED_KIND_FEED;
    entry.m_strFile = L"demo";
    entry.m_pChannel = new CFeedChannel;
    if (!entry.m_pChannel->LoadFile(entry.GetCacheFileName(), nullptr, CFeedChannel::LOAD_OWN_FILE))
        return 4;

    CXTPPaintManager::SetTheme(xtpThemeOffice2003);
    CWnd frame;
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    if (!frame.CreateEx(0, cls, L"Lanternquill", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 680, 500, nullptr,
                        nullptr))
        return 5;
    RECT rc;
    frame.GetClientRect(&rc);
    CExStatusBar bar;
    bar.CreateEx(&frame, 0);
    const UINT indicators[] = {0, 0};
    bar.SetIndicators(indicators, 2);
    bar.SetPaneInfo(0, 0, SBPS_NORMAL, 120);
    bar.SetPaneInfo(1, 0, SBPS_NOBORDERS, 150);
    bar.SetPaneText(0, L"Ready");
    const int cyBar = bar.CalcFixedLayout(TRUE, TRUE).cy;
    bar.MoveWindow(0, rc.bottom - cyBar, rc.right, cyBar);
    auto* pView = new CFeedClassicView;
    const RECT rcView = {0, 0, rc.right, rc.bottom - cyBar};
    if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rcView, &frame, AFX_IDW_PANE_FIRST))
        return 6;
    pView->SetStyleSheet(data + L"\\feeds.xsl");
    pView->m_pShownEntry = &entry;
    pView->ShowFeed(entry.GetCacheFileName());
    frame.ShowWindow(SW_SHOW);
    Pump();
    ::RedrawWindow(frame.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
    Pump();

    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    ::SetTimer(nullptr, 0, 200, WatchMarker);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    frame.DestroyWindow();
    return 0;
}
