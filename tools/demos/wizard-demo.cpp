// Shows one page of the first-run wizard (0 to 3, the second argument) until the marker file is removed; for
// tools/screenshots/screenshot-wizard.sh. The third argument is the folder of the CSV tables.
#include "app/ReaderApp.h"
#include "companions/FirstRunWizard.h"

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
    CFirstRunWizard wizard;
    if (!wizard.Create())
        return 3;
    wizard.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    for (int i = 0; i < nPage; ++i) {
        wizard.PressButton(PSBTN_NEXT);
        Pump();
    }
    wizard.ShowWindow(SW_SHOW);
    Pump();
    ::RedrawWindow(wizard.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
    Pump();

    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    ::SetTimer(nullptr, 0, 200, WatchMarker);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!wizard.PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    wizard.DestroyWindow();
    return 0;
}
