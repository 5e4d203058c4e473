// Shows one page of the options sheet "Settings" (0 to 6 in the sheet's order, the second argument) until the
// marker file is removed; for tools/screenshots/screenshot-options.sh. The third argument is the folder of the
// weather tables.
#include "app/ReaderApp.h"
#include "companions/OptionsPages.h"
#include "companions/PodcastProp.h"

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
    const int nPage = _wtoi(argv[2]);
    theApp.SetRegistryKey(L"Lanternquill Demo");
    theApp.WriteProfileString(L"", L"Install_Dir", argv[3]);
    theApp.WriteProfileString(L"", L"Country", L"GB");
    theApp.WriteProfileString(L"", L"Location", L"UKXX0085");
    theApp.m_settings.nViewStyle = 1;
    theApp.m_settings.nTimeout = 40;
    theApp.m_settings.nMaxConnections = 4;
    theApp.m_settings.nProxyMode = 3;
    lstrcpynW(theApp.m_settings.szProxyServer, L"proxy.example.org", 100);
    theApp.m_settings.nProxyPort = 8080;

    CPropertySheet sheet(L"Settings");
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    CReaderSettingsDlg1 general;
    CReaderSettingsDlg0 viewStyle;
    CReaderSettingsDlg2 channelView;
    CReaderSettingsDlg3 connection;
    CReaderSettingsDlg5 themes;
    CPodcastProp podcast;
    CReaderSettingsDlg4 glowmark;
    theApp.m_settings.nPodcastMode = 1;
    connection.TakeRunningValues(theApp.m_settings);
    themes.m_nTheme = 2;
    sheet.AddPage(&general);
    sheet.AddPage(&viewStyle);
    sheet.AddPage(&channelView);
    sheet.AddPage(&connection);
    sheet.AddPage(&themes);
    sheet.AddPage(&podcast);
    sheet.AddPage(&glowmark);
    if (!sheet.Create())
        return 3;
    sheet.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    sheet.SetActivePage(nPage);
    sheet.ShowWindow(SW_SHOW);
    Pump();
    ::RedrawWindow(sheet.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
    Pump();

    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    ::SetTimer(nullptr, 0, 200, WatchMarker);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!sheet.PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    sheet.DestroyWindow();
    return 0;
}
