// The clock, the best-of-several timing and the memory count every benchmark uses.
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

// The best of several rounds of two timings taken in turn, so that the machine's state (its caches, its heap, other
// load) is the same for both sides of a ratio.
template <typename F, typename G>
void BestTimesInTurn(F&& first, G&& second, double& bestFirst, double& bestSecond, int rounds = 5)
{
    bestFirst = bestSecond = 1e30;
    for (int round = 0; round < rounds; ++round) {
        double start = Seconds();
        first();
        bestFirst = std::min(bestFirst, Seconds() - start);
        start = Seconds();
        second();
        bestSecond = std::min(bestSecond, Seconds() - start);
    }
}

// Committed private memory of the process, summed over its address space (Wine's process counters stay 0).
inline SIZE_T PrivateBytes()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION info;
    for (BYTE* address = nullptr; VirtualQuery(address, &info, sizeof info) == sizeof info;
         address = static_cast<BYTE*>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
    }
    return total;
}

} // namespace lqbench
