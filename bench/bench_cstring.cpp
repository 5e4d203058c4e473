// CString against std::wstring on the same work: copying (a shared buffer against a fresh allocation),
// appending small pieces, and comparing equal texts held in different buffers. Prints times and ratios of one run.
#include "BenchTiming.h"
#include "framework/core/AfxString.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Keeps the optimiser from dropping work whose result nobody reads.
volatile size_t g_sink;

constexpr int kStrings = 1000;
constexpr int kRounds = 200;
constexpr int kPieces = 200000;

std::wstring Text(int i)
{
    return L"https://example.invalid/feeds/channel-" + std::to_wstring(i) + L"/items.xml";
}

template <typename S> double CopyWork(const std::vector<S>& source)
{
    return lqbench::BestTime([&] {
        size_t total = 0;
        for (int round = 0; round < kRounds; ++round) {
            std::vector<S> copies(source.begin(), source.end());
            total += copies.size();
        }
        g_sink = total;
    });
}

template <typename S> double AppendWork()
{
    return lqbench::BestTime([] {
        S text;
        for (int i = 0; i < kPieces; ++i) {
            text += L"piece ";
            text += static_cast<wchar_t>(L'a' + i % 26);
        }
        g_sink = static_cast<size_t>(text[static_cast<size_t>(kPieces)]);
    });
}

template <typename S> double CompareWork(const std::vector<S>& a, const std::vector<S>& b)
{
    return lqbench::BestTime([&] {
        size_t equal = 0;
        for (int round = 0; round < kRounds; ++round)
            for (int i = 0; i < kStrings; ++i)
                equal += a[static_cast<size_t>(i)] == b[static_cast<size_t>(i)] ? 1 : 0;
        g_sink = equal;
    });
}

void Report(const char* what, double ours, double baseline)
{
    std::printf("%-44s CString %8.3f ms   std::wstring %8.3f ms   ratio %.2f\n", what, ours * 1000.0, baseline * 1000.0,
                ours / baseline);
}

} // namespace

int wmain()
{
    std::vector<CString> strings, otherStrings;
    std::vector<std::wstring> wstrings, otherWstrings;
    for (int i = 0; i < kStrings; ++i) {
        const std::wstring text = Text(i);
        strings.emplace_back(text.c_str());
        otherStrings.emplace_back(text.c_str()); // equal text in its own buffer
        wstrings.push_back(text);
        otherWstrings.push_back(text);
    }

    std::printf("ratio = CString time / std::wstring time (below 1: CString is faster)\n");
    Report("copy 1000 strings of ~55 characters x 200", CopyWork(strings), CopyWork(wstrings));
    Report("append 200000 short pieces", AppendWork<CString>(), AppendWork<std::wstring>());
    Report("compare 1000 equal pairs x 200", CompareWork(strings, otherStrings), CompareWork(wstrings, otherWstrings));
    return 0;
}
