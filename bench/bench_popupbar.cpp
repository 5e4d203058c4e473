// Opening, laying out and drawing a popup menu of 50 and of 500 items: the time per item should stay flat, so the
// ratio of the two times per item is about 1. Each is set against a bare pass that measures and draws every item
// into the same memory DC, the least any popup must do. Prints times and ratios of one run.
#include "BenchTiming.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"

#include <cstdio>
#include <string>

namespace {

volatile long g_sink;

struct Result
{
    double open;
    double layout;
    double draw;
    double bare;
};

void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

Result Measure(CXTPCommandBars* pCommandBars, int nItems)
{
    CXTPPopupBar* pBar = CXTPPopupBar::CreatePopupBar(pCommandBars);
    for (int i = 0; i < nItems; ++i) {
        CXTPControl* pControl = pBar->GetControls()->AddByType(xtpControlButton, 1000 + i);
        pControl->SetCaption((L"Command number " + std::to_wstring(i)).c_str());
        pControl->SetBeginGroup(i % 7 == 0);
    }
    const int nRepeat = std::max(1, 2000 / nItems);
    Result result{};
    result.open = lqbench::BestTime([&] {
                      for (int r = 0; r < nRepeat; ++r) {
                          pBar->PopupAt(40, 40);
                          pBar->SetTrackingMode(FALSE);
                          PumpPending();
                      }
                  }) /
                  nRepeat / nItems;
    result.layout = lqbench::BestTime([&] {
                        for (int r = 0; r < nRepeat; ++r)
                            g_sink = pBar->CalcDynamicLayout(0, 0).cy;
                    }) /
                    nRepeat / nItems;

    CXTPPaintManager* pPaintManager = XTPPaintManager();
    CDC* pScreen = CDC::FromHandle(::GetDC(nullptr));
    const CSize sz = pBar->CalcDynamicLayout(0, 0);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(pScreen, sz.cx, sz.cy);
    {
        CXTPBitmapDC memDC(pScreen, static_cast<HBITMAP>(bitmap.GetSafeHandle()));
        result.draw = lqbench::BestTime([&] {
                          for (int r = 0; r < nRepeat; ++r)
                              pBar->DrawCommandBar(&memDC);
                      }) /
                      nRepeat / nItems;
        result.bare = lqbench::BestTime([&] {
                          for (int r = 0; r < nRepeat; ++r) {
                              long total = 0;
                              for (int i = 0; i < nItems; ++i) {
                                  CXTPControl* pControl = pBar->GetControl(i);
                                  total += pControl->GetSize(&memDC).cy;
                                  pPaintManager->DrawControl(&memDC, pControl, TRUE);
                              }
                              g_sink = total;
                          }
                      }) /
                      nRepeat / nItems;
    }
    ::ReleaseDC(nullptr, pScreen->GetSafeHdc());
    pBar->InternalRelease();
    return result;
}

} // namespace

int wmain()
{
    CWnd site;
    site.CreateEx(0, AfxRegisterWndClass(0), L"Bench", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
    CXTPCommandBars* pCommandBars = new CXTPCommandBars;
    pCommandBars->SetSite(&site);
    pCommandBars->GetCommandBarsOptions()->animationType = xtpAnimateNone;

    const Result small = Measure(pCommandBars, 50);
    const Result large = Measure(pCommandBars, 500);
    std::printf("%-22s %14s %14s %10s %10s\n", "popup", "us/item 50", "us/item 500", "500 / 50", "vs bare");
    const struct
    {
        const char* name;
        double small;
        double large;
    } rows[] = {
        {"open (place, show)", small.open, large.open},
        {"layout", small.layout, large.layout},
        {"draw", small.draw, large.draw},
    };
    for (const auto& row : rows)
        std::printf("%-22s %14.2f %14.2f %10.2f %10.1f\n", row.name, row.small * 1e6, row.large * 1e6,
                    row.large / row.small, row.large / large.bare);
    std::printf("%-22s %14.2f %14.2f %10.2f\n", "bare measure and draw", small.bare * 1e6, large.bare * 1e6,
                large.bare / small.bare);
    pCommandBars->InternalRelease();
    site.DestroyWindow();
    return 0;
}
