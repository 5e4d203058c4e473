// Painting a frame's bars in each command-bar theme: the top dock, its menu bar and two toolbars, and an open
// popup of 20 items, drawn into memory bitmaps as their windows would draw them. Prints each theme's time per
// paint and its ratio to the default theme's in the same run (the aim: no theme above 1.5).
#include "BenchTiming.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "framework/win/Menu.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/commandbars/XTPFrameWnd.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Draws a window's picture as its paint would, into a bitmap of its size.
class CWindowPicture
{
public:
    CWindowPicture(CWnd* pWnd, CDC* pScreen) : m_pWnd(pWnd)
    {
        CRect rc;
        pWnd->GetClientRect(&rc);
        m_bitmap.CreateCompatibleBitmap(pScreen, std::max(1, rc.Width()), std::max(1, rc.Height()));
        m_pDC = std::make_unique<CXTPBitmapDC>(pScreen, static_cast<HBITMAP>(m_bitmap.GetSafeHandle()));
    }
    CDC* Dc() { return m_pDC.get(); }
    CWnd* Wnd() { return m_pWnd; }

private:
    CWnd* m_pWnd;
    CBitmap m_bitmap;
    std::unique_ptr<CXTPBitmapDC> m_pDC;
};

HMENU BuildMenu()
{
    const wchar_t* titles[] = {L"&File", L"&Edit", L"&View", L"&Feeds", L"&Tools", L"&Help"};
    HMENU hMenu = ::CreateMenu();
    for (const wchar_t* pszTitle : titles) {
        HMENU hPopup = ::CreatePopupMenu();
        ::AppendMenuW(hPopup, MF_STRING, 1000, L"&Open");
        ::AppendMenuW(hMenu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(hPopup), pszTitle);
    }
    return hMenu;
}

struct Theme
{
    const char* pszName;
    int nTheme;
    int nScheme;
};

} // namespace

int wmain()
{
    CWinApp app(L"BenchThemes");
    auto* pFrame = new CXTPFrameWnd;
    if (!pFrame->Create(nullptr, L"Bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 900, 600)))
        return 1;
    app.m_pMainWnd = pFrame;
    pFrame->InitCommandBars();
    CXTPCommandBars* pCommandBars = pFrame->GetCommandBars();
    pCommandBars->GetCommandBarsOptions()->animationType = xtpAnimateNone;
    CMenu menu;
    menu.Attach(BuildMenu());
    pCommandBars->SetMenu(L"Menu Bar", 0)->LoadMenu(&menu, TRUE);
    std::vector<UINT> ids;
    for (UINT i = 0; i < 16; ++i)
        ids.push_back(i % 5 == 4 ? 0 : 2000 + i);
    for (const wchar_t* pszName : {L"Standard", L"Feeds"}) {
        CXTPToolBar* pBar = pCommandBars->Add(pszName, xtpBarTop);
        pBar->SetButtons(ids.data(), static_cast<int>(ids.size()));
    }
    pFrame->ShowWindow(SW_SHOW);

    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pCommandBars);
    for (int i = 0; i < 20; ++i) {
        CXTPControl* pControl = pPopup->GetControls()->AddByType(xtpControlButton, 3000 + i);
        pControl->SetCaption((L"Command number " + std::to_wstring(i) + L"\tCtrl+" + std::to_wstring(i)).c_str());
        pControl->SetBeginGroup(i % 6 == 0);
        pControl->SetChecked(i % 7 == 3);
        pControl->SetEnabled(i % 9 != 5);
    }

    const Theme themes[] = {
        {"Default", 0, xtpSystemThemeUnknown},          {"Standard", 1, xtpSystemThemeUnknown},
        {"Office 2003", 2, xtpSystemThemeUnknown},      {"Office 2003, blue", 2, xtpSystemThemeBlue},
        {"Office 2003, olive", 2, xtpSystemThemeOlive}, {"XP Style", 3, xtpSystemThemeUnknown}};
    const size_t nThemes = sizeof(themes) / sizeof(themes[0]);
    CDC* pScreen = CDC::FromHandle(::GetDC(nullptr));
    // Rounds over all themes, the best of each kept, so that a busy moment of the machine hits every theme alike.
    std::vector<double> times(nThemes, 1e30);
    for (int nRound = 0; nRound < 5; ++nRound) {
        for (size_t n = 0; n < nThemes; ++n) {
            XTPColorManager()->SetLunaColorScheme(themes[n].nScheme);
            CXTPPaintManager::SetTheme(themes[n].nTheme);
            // The scheme is read when the colours are refreshed.
            XTPPaintManager()->RefreshMetrics();
            pCommandBars->RecalcFrameLayout();
            pPopup->PopupAt(40, 80);
            PumpPending();

            std::vector<std::unique_ptr<CWindowPicture>> pictures;
            pictures.push_back(std::make_unique<CWindowPicture>(pCommandBars->GetDockBar(0), pScreen));
            for (int i = 0; i < pCommandBars->GetCount(); ++i)
                pictures.push_back(std::make_unique<CWindowPicture>(pCommandBars->GetAt(i), pScreen));
            pictures.push_back(std::make_unique<CWindowPicture>(pPopup, pScreen));
            CXTPPaintManager* pPaintManager = XTPPaintManager();
            const int nRepeat = 50;
            const double t =
                lqbench::BestTime(
                    [&] {
                        for (int r = 0; r < nRepeat; ++r) {
                            pPaintManager->FillDockBar(pictures[0]->Dc(), pictures[0]->Wnd());
                            for (size_t i = 1; i < pictures.size(); ++i)
                                static_cast<CXTPCommandBar*>(pictures[i]->Wnd())->DrawCommandBar(pictures[i]->Dc());
                        }
                    },
                    3) /
                nRepeat;
            times[n] = std::min(times[n], t);
            pPopup->SetTrackingMode(FALSE);
            PumpPending();
        }
    }
    ::ReleaseDC(nullptr, pScreen->GetSafeHdc());
    XTPColorManager()->SetLunaColorScheme(xtpSystemThemeAuto);

    std::printf("%-20s %12s %10s\n", "theme", "us/paint", "/ Default");
    for (size_t i = 0; i < times.size(); ++i)
        std::printf("%-20s %12.1f %10.2f\n", themes[i].pszName, times[i] * 1e6, times[i] / times[0]);
    pPopup->InternalRelease();
    pFrame->DestroyWindow();
    return 0;
}
