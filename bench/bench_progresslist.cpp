// The podcast manager's list with 100 and 1,000 rows: filling it, a full repaint, and one row's progress update.
// Prints the time per row at both sizes (flat when their ratio stays near 1) and the share of a full repaint that
// one row's update takes (at most 1/20).
#include "bench/BenchTiming.h"
#include "companions/ProgressListCtrl.h"
#include "framework/Afx.h"

#include <cstdio>

namespace {

struct Result
{
    double fillPerRow;
    double repaint;
    double update;
};

Result Measure(CWnd& host, int nRows)
{
    CProgressListCtrl list;
    list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, CRect(0, 0, 600, 400), &host, 113);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, L"Link", LVCFMT_LEFT, 300);
    list.InsertColumn(1, L"Feed Title", LVCFMT_LEFT, 160);
    list.InsertColumn(2, L"State", LVCFMT_LEFT, 130);
    const COLORREF colour = RGB(0xFF, 0xFF, 0xB4);

    Result result{};
    result.fillPerRow = lqbench::BestTime([&] {
                            list.SetRedraw(FALSE);
                            list.DeleteAllItems();
                            for (int i = 0; i < nRows; ++i) {
                                CString url;
                                url.Format(L"http://127.0.0.1/episodes/%d.mp3", i);
                                const int row = list.InsertItem(0, url, static_cast<COLORREF>(-1), colour);
                                list.SetCellText(row, 1, L"A feed title", static_cast<COLORREF>(-1), colour);
                                list.SetCellText(row, 2, L"To be downloaded", static_cast<COLORREF>(-1), colour);
                                list.SetRowData(row, static_cast<DWORD_PTR>(i + 1));
                            }
                            list.SetRedraw(TRUE);
                        },
                        3) /
                        nRows;
    list.SetProgressCell(0, 2);
    list.UpdateWindow();
    const int nRepaints = 20;
    result.repaint = lqbench::BestTime([&] {
                         for (int i = 0; i < nRepaints; ++i) {
                             list.Invalidate(FALSE);
                             list.UpdateWindow();
                         }
                     }) /
                     nRepaints;
    const int nUpdates = 100;
    result.update = lqbench::BestTime([&] {
                        for (int i = 0; i < nUpdates; ++i) {
                            // As the manager does for one progress message: find the job's row, set its share.
                            const int row = list.FindRowData(static_cast<DWORD_PTR>(nRows));
                            list.SetCellProgress(row, 2, i % 2 ? 40 : 41);
                            list.UpdateWindow();
                        }
                    }) /
                    nUpdates;
    list.DestroyWindow();
    return result;
}

} // namespace

int wmain()
{
    CWinApp app(L"bench_progresslist");
    CWnd host;
    host.CreateEx(0, AfxRegisterWndClass(0), L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 620, 420, nullptr, nullptr);
    const Result small = Measure(host, 100);
    const Result large = Measure(host, 1000);
    host.DestroyWindow();
    std::printf("progress list: fill per row %.2f us (100 rows), %.2f us (1000 rows), ratio %.2f (flat near 1)\n",
                small.fillPerRow * 1e6, large.fillPerRow * 1e6, large.fillPerRow / small.fillPerRow);
    std::printf("progress list: full repaint %.3f ms (100 rows), %.3f ms (1000 rows), ratio %.2f (flat near 1)\n",
                small.repaint * 1e3, large.repaint * 1e3, large.repaint / small.repaint);
    std::printf("progress list: one row's update %.3f ms at 1000 rows = %.3f of a full repaint (target <= 0.05)\n",
                large.update * 1e3, large.update / large.repaint);
    return 0;
}
