// The row layout of a bar's controls with 20 and with 200 controls, docked (wrapping at group starts) and
// floating (fitting the narrowest shape): the time per control should stay flat, so the ratio of the two times
// per control is about 1. Each layout is set against a bare pass that asks every control its size. Prints times
// and ratios of one run.
#include "BenchTiming.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"

#include <algorithm>
#include <cstdio>

namespace {

// A control of a fixed size, so that the layout alone is timed.
class CFixedControl : public CXTPControlButton
{
public:
    explicit CFixedControl(CSize size) : m_size(size) {}
    CSize GetSize(CDC*) override { return m_size; }

private:
    CSize m_size;
};

volatile long g_sink;

struct Result
{
    double layout;
    double bare;
};

Result Measure(int nControls, DWORD dwMode, int nLength)
{
    CXTPCommandBar bar;
    for (int i = 0; i < nControls; ++i) {
        CXTPControl* pControl = bar.GetControls()->Add(new CFixedControl(CSize(23 + i % 3 * 10, 22)), 0);
        pControl->SetBeginGroup(i % 5 == 0);
    }
    const int nRepeat = 20000 / nControls;
    Result result;
    result.layout =
        lqbench::BestTime([&] {
            for (int r = 0; r < nRepeat; ++r)
                g_sink = bar.GetControls()->CalcDynamicSize(nullptr, nLength, dwMode | LM_COMMIT, CRect(2, 2, 2, 2)).cx;
        }) /
        nRepeat / nControls;
    result.bare = lqbench::BestTime([&] {
                      for (int r = 0; r < nRepeat; ++r) {
                          long total = 0;
                          for (int i = 0; i < nControls; ++i)
                              total += bar.GetControls()->GetAt(i)->GetSize(nullptr).cx;
                          g_sink = total;
                      }
                  }) /
                  nRepeat / nControls;
    return result;
}

} // namespace

int wmain()
{
    const struct
    {
        const char* name;
        DWORD dwMode;
        int nLength;
    } cases[] = {
        {"docked, rows of 400 px", LM_HORZDOCK | LM_HORZ, 400},
        {"floating, 400 px wide", 0, 400},
        {"floating, 300 px high", LM_LENGTHY, 300},
    };
    std::printf("%-26s %14s %14s %10s %10s\n", "layout", "ns/control 20", "ns/control 200", "200 / 20", "vs bare");
    for (const auto& c : cases) {
        const Result small = Measure(20, c.dwMode, c.nLength);
        const Result large = Measure(200, c.dwMode, c.nLength);
        std::printf("%-26s %14.1f %14.1f %10.2f %10.1f\n", c.name, small.layout * 1e9, large.layout * 1e9,
                    large.layout / small.layout, large.layout / large.bare);
    }
    return 0;
}
