// The clock and the best-of-several timing every benchmark uses.
#pragma once

#include <windows.h>

#include <algorithm>

namespace lqbench {

inline double Seconds()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The best of several runs, so that a stray pause of the machine does not decide a ratio.
template <typename F> double BestTime(F&& work, int runs = 5)
{
    double best = 1e30;
    for (int run = 0; run < runs; ++run) {
        const double start = Seconds();
        work();
        best = std::min(best, Seconds() - start);
    }
    return best;
}

} // namespace lqbench
