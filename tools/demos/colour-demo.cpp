// Shows the toolkit's colour dialog for tools/screenshots/screenshot-colour.sh. Usage:
// colour-demo <marker> <page 0|1> <new colour RRGGBB> [focus]. The dialog shows the given page with the hex text and
// a sunken swatch (the current colour a mid grey); "focus" puts the keyboard on the page's first pick control.
// Writes the marker file once everything has painted, and closes when that file is deleted.
#include "framework/Afx.h"
#include "toolkit/customize/XTColorDialog.h"
#include "toolkit/customize/XTColorPageCustom.h"
#include "toolkit/customize/XTColorPageStandard.h"

#include <cwchar>
#include <string>

namespace {

std::wstring g_markerPath;

CWinApp g_app(L"ColourDemo");

void CALLBACK CheckMarker(HWND, UINT, UINT_PTR, DWORD)
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
    const unsigned long rgb = wcstoul(argv[3], nullptr, 16);
    const bool bFocus = argc > 4 && wcscmp(argv[4], L"focus") == 0;

    CXTColorDialog dlg(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF), RGB(128, 128, 128),
                       CXTColorDialog::styleShowHex | CXTColorDialog::styleSunkenSwatch);
    if (!dlg.Create())
        return 3;
    dlg.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.SetActivePage(nPage);
    dlg.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(dlg.m_hWnd);
    Pump();
    if (bFocus) {
        CWnd* pControl = nPage == 0 ? static_cast<CWnd*>(&dlg.GetStandardPage()->m_picker)
                                    : static_cast<CWnd*>(&dlg.GetCustomPage()->m_ctrlSpectrum);
        pControl->SetFocus();
    } else {
        ::SetFocus(::GetDlgItem(dlg.m_hWnd, IDOK));
    }
    Pump();
    ::RedrawWindow(dlg.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();

    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    ::SetTimer(nullptr, 0, 200, CheckMarker);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    dlg.DestroyWindow();
    return 0;
}
