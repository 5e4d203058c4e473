// Shows a frame with its menu bar and two toolbars for a screenshot: one docked and one floating
// (tools/screenshots/screenshot-bars.sh, screenshot-themes.sh), or with "rebar" as the second argument both placed
// as bands of the frame's rebar (tools/screenshots/screenshot-rebar.sh). Otherwise a theme number and a colour
// scheme may follow. Writes the file named by its first argument once the window has painted, and closes when
// that file is deleted.
#include "framework/win/Dc.h"
#include "framework/win/Menu.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPFrameWnd.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPReBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <string>

namespace {

std::wstring g_markerPath;

enum : UINT
{
    kIdNew = 100,
    kIdOpen,
    kIdSave,
    kIdPrint,
    kIdFind,
    kIdRefresh,
    kIdDelete,
    kIdHelp,
    kIdBold,
    kIdItalic,
    kIdLeft,
    kIdRight,
};

class CDemoFrame : public CXTPFrameWnd
{
protected:
    // Every demo command has a handler, so that idle updates leave the buttons enabled.
    void OnCommandRange(UINT) {}
    DECLARE_MESSAGE_MAP()

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER && wParam == 1) {
            KillTimer(1);
            ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
            // Floating toolbars are windows of their own, not children of the frame.
            for (int i = 0; i < m_pCommandBars->GetCount(); ++i)
                ::RedrawWindow(m_pCommandBars->GetAt(i)->GetSafeHwnd(), nullptr, nullptr,
                               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
            // Wine copies a window's drawing to the screen a little later: the marker waits for that.
            SetTimer(3, 300, nullptr);
            return 0;
        }
        if (message == WM_TIMER && wParam == 3) {
            KillTimer(3);
            HANDLE hFile = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ::CloseHandle(hFile);
            SetTimer(2, 200, nullptr);
            return 0;
        }
        if (message == WM_TIMER && wParam == 2) {
            if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES)
                DestroyWindow();
            return 0;
        }
        return CXTPFrameWnd::WindowProc(message, wParam, lParam);
    }
};

BEGIN_MESSAGE_MAP(CDemoFrame, CXTPFrameWnd)
ON_COMMAND_RANGE(kIdNew, kIdRight, OnCommandRange)
END_MESSAGE_MAP()

void SetIcon(CXTPImageManager* pImages, UINT nId, LPCWSTR lpszIcon)
{
    HICON hIcon = static_cast<HICON>(::LoadImageW(nullptr, lpszIcon, IMAGE_ICON, 16, 16, 0));
    CXTPImageManagerIconHandle handle;
    handle.AttachIcon(hIcon);
    pImages->SetIcon(handle, nId, 16, 16);
}

HMENU BuildMenu()
{
    const wchar_t* titles[] = {L"&File", L"&Edit", L"&View", L"&Tools", L"&Help"};
    HMENU hMenu = ::CreateMenu();
    for (const wchar_t* pszTitle : titles) {
        HMENU hPopup = ::CreatePopupMenu();
        ::AppendMenuW(hPopup, MF_STRING, kIdOpen, L"&Open");
        ::AppendMenuW(hMenu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(hPopup), pszTitle);
    }
    return hMenu;
}

// The toolbars as bands of a rebar the frame gets; false when the rebar cannot be made.
bool PlaceInReBar(CXTPFrameWnd* pFrame, CXTPToolBar* pStandard, CXTPToolBar* pFormat)
{
    auto* pReBar = new CXTPReBar;
    if (!pReBar->Create(pFrame))
        return false;
    pReBar->m_bAutoDelete = TRUE;
    CXTPCommandBars* pCommandBars = pFrame->GetCommandBars();
    // Laid out first: a rebar without width starts every band on a row of its own.
    pFrame->ShowWindow(SW_SHOW);
    pCommandBars->RecalcFrameLayout();
    pCommandBars->AddToReBar(pStandard);
    pCommandBars->AddToReBar(pFormat);
    pCommandBars->RecalcFrameLayout();
    return true;
}

void PlaceFloating(CXTPFrameWnd* pFrame, CXTPToolBar* pFormat)
{
    pFrame->GetCommandBars()->RecalcFrameLayout();
    pFormat->OnRecalcLayout();
    ::SetWindowPos(pFormat->GetSafeHwnd(), HWND_TOP, 380, 220, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1)
        g_markerPath = argv[1];
    const bool bReBar = argc > 2 && lstrcmpiW(argv[2], L"rebar") == 0;
    CWinApp app(bReBar ? L"ReBarDemo" : L"BarsDemo");
    // Optional: a Windows XP colour scheme (0 none, 1 blue, 2 olive, 3 silver), read when the theme is made, and
    // a theme number.
    if (!bReBar && argc > 3)
        XTPColorManager()->SetLunaColorScheme(_wtoi(argv[3]));
    if (!bReBar && argc > 2)
        CXTPPaintManager::SetTheme(_wtoi(argv[2]));
    auto* pFrame = new CDemoFrame;
    if (!pFrame->Create(nullptr, bReBar ? L"Lanternquill rebar" : L"Lanternquill bars", WS_OVERLAPPEDWINDOW,
                        CRect(20, 60, 620, 400)))
        return 1;
    app.m_pMainWnd = pFrame;
    pFrame->InitCommandBars();
    CXTPCommandBars* pCommandBars = pFrame->GetCommandBars();

    CXTPMenuBar* pMenuBar = pCommandBars->SetMenu(L"Menu Bar", 0);
    CMenu menu;
    menu.Attach(BuildMenu());
    pMenuBar->LoadMenu(&menu, TRUE);

    CXTPImageManager* pImages = pCommandBars->GetImageManager();
    const struct
    {
        UINT nId;
        LPCWSTR lpszIcon;
    } icons[] = {{kIdNew, IDI_APPLICATION}, {kIdOpen, IDI_INFORMATION}, {kIdSave, IDI_SHIELD},
                 {kIdPrint, IDI_QUESTION},  {kIdFind, IDI_WARNING},     {kIdRefresh, IDI_WINLOGO},
                 {kIdDelete, IDI_ERROR},    {kIdHelp, IDI_QUESTION},    {kIdBold, IDI_INFORMATION},
                 {kIdItalic, IDI_WARNING},  {kIdLeft, IDI_APPLICATION}, {kIdRight, IDI_SHIELD}};
    for (const auto& icon : icons)
        SetIcon(pImages, icon.nId, icon.lpszIcon);

    CXTPToolBar* pStandard = pCommandBars->Add(L"Standard", xtpBarTop);
    const UINT standard[] = {kIdNew, kIdOpen, kIdSave, 0, kIdPrint, kIdFind, 0, kIdRefresh, kIdDelete, 0, kIdHelp};
    pStandard->SetButtons(standard, static_cast<int>(sizeof(standard) / sizeof(standard[0])));
    pStandard->GetControls()->FindControl(kIdDelete)->SetEnabled(FALSE);

    if (!bReBar) {
        // Created once the frame shows: Wine stacks an owned window under an owner shown after it.
        pFrame->ShowWindow(SW_SHOW);
        pFrame->UpdateWindow();
    }
    CXTPToolBar* pFormat = pCommandBars->Add(L"Format", bReBar ? xtpBarTop : xtpBarFloating);
    const UINT format[] = {kIdBold, kIdItalic, 0, kIdLeft, kIdRight};
    pFormat->SetButtons(format, static_cast<int>(sizeof(format) / sizeof(format[0])));
    pFormat->GetControls()->FindControl(kIdBold)->SetChecked(TRUE);

    if (bReBar) {
        if (!PlaceInReBar(pFrame, pStandard, pFormat))
            return 1;
    } else {
        PlaceFloating(pFrame, pFormat);
    }
    pFrame->SetTimer(1, 500, nullptr);
    return app.Run();
}
