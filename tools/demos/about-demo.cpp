// Shows the About box with the built-in branding until the marker file given as the argument is removed; for
// tools/screenshots/screenshot-about.sh. With "label" as the second argument, the branded edition.
#include "app/AboutDlg.h"
#include "app/ReaderApp.h"
#include "res/resource.h"

#include <string>

namespace {

std::wstring g_markerPath;

void CALLBACK WatchMarker(HWND, UINT, UINT_PTR, DWORD)
{
    if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::PostQuitMessage(0);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1)
        g_markerPath = argv[1];
    const BOOL bLabel = argc > 2 && std::wstring(argv[2]) == L"label";
    lstrcpynW(theApp.m_settings.szWebSite, L"http://lanternquill.example/", 100);
    lstrcpynW(theApp.m_settings.szEmail, L"hello@lanternquill.example", 50);
    CAboutDlg dialog(theApp.m_settings, CString(), bLabel);
    if (!dialog.Create(IDD_ABOUTBOX))
        return 1;
    dialog.SetWindowPos(nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.ShowWindow(SW_SHOW);
    ::RedrawWindow(dialog.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (g_markerPath.empty())
        return 0;
    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    ::SetTimer(nullptr, 0, 200, WatchMarker);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    dialog.DestroyWindow();
    return 0;
}
