// A docked toolbar of 20 and of 200 buttons laid out and drawn into a memory bitmap as its window would be: the
// time per button should stay flat, so the ratio of the two times per button is about 1. Prints times and ratios
// of one run.
#include "BenchTiming.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "framework/win/WinApp.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <cstdio>
#include <vector>

namespace {

volatile long g_sink;

struct Result
{
    double layout;
    double draw;
};

Result Measure(int nButtons)
{
    CWnd host;
    host.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
    CXTPToolBar bar;
    bar.CreateToolBar(WS_CHILD | WS_VISIBLE | CBRS_GRIPPER, &host);
    std::vector<UINT> ids;
    for (int i = 0; i < nButtons; ++i) {
        if (i % 6 == 5)
            ids.push_back(0);
        ids.push_back(static_cast<UINT>(1000 + i));
    }
    bar.SetButtons(ids.data(), static_cast<int>(ids.size()));
    // Long enough for every button, so both bars draw all their buttons.
    const int nLength = nButtons * 40;
    const CSize size = bar.CalcDockingLayout(nLength, LM_HORZDOCK | LM_HORZ | LM_COMMIT);
    bar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    CClientDC screen(&bar);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, size.cx, size.cy);
    const HGDIOBJ hOld = ::SelectObject(dc.GetSafeHdc(), bitmap.GetSafeHandle());

    const int nRepeat = 4000 / nButtons;
    Result result;
    result.layout = lqbench::BestTime([&] {
                        for (int r = 0; r < nRepeat; ++r)
                            g_sink = bar.CalcDockingLayout(nLength, LM_HORZDOCK | LM_HORZ | LM_COMMIT).cx;
                    }) /
                    nRepeat / nButtons;
    result.draw = lqbench::BestTime([&] {
                      for (int r = 0; r < nRepeat; ++r)
                          bar.DrawCommandBar(&dc);
                  }) /
                  nRepeat / nButtons;
    ::SelectObject(dc.GetSafeHdc(), hOld);
    bar.DestroyWindow();
    host.DestroyWindow();
    return result;
}

} // namespace

int wmain()
{
    CWinApp app(L"BenchToolbar");
    const Result small = Measure(20);
    const Result large = Measure(200);
    std::printf("%-8s %14s %14s %10s\n", "pass", "us/button 20", "us/button 200", "200 / 20");
    std::printf("%-8s %14.2f %14.2f %10.2f\n", "layout", small.layout * 1e6, large.layout * 1e6,
                large.layout / small.layout);
    std::printf("%-8s %14.2f %14.2f %10.2f\n", "draw", small.draw * 1e6, large.draw * 1e6, large.draw / small.draw);
    return 0;
}
