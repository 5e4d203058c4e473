// The item text clean-up on hostile input of 256 KB and 1 MB: the ratio of the two times shows whether the
// cost grows linearly (about 4), and each time is set against a bare pass over the same text (a copy and a
// scan for '<'). Prints times and ratios of one run.
#include "BenchTiming.h"
#include "feeds/FeedText.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

volatile size_t g_sink;

std::wstring Repeat(const wchar_t* unit, size_t length)
{
    std::wstring text;
    text.reserve(length + 64);
    while (text.size() < length)
        text += unit;
    return text;
}

struct Input
{
    const char* name;
    const wchar_t* unit;
};

const Input kInputs[] = {
    {"nested tags", L"<div><b><i><a href=\"http://x/\">"},
    {"unterminated tags", L"<a href=\"x <img src=y "},
    {"script openers", L"<script>x<SCRIPT>"},
    {"event handlers", L"<img src=x onerror=alert(1) onload=y>"},
    {"stray brackets", L"< > << >> <"},
    {"entities", L"&amp;lt;&eacute;&#8230;&unknown;&"},
    {"ordinary markup", L"<p>Some <b>news</b> text with a <a href=\"http://example.com/\">link</a>.</p>\n"},
};

double Clean(const std::wstring& input)
{
    CString text(input.c_str(), static_cast<int>(input.size()));
    return lqbench::BestTime([&] {
        CString work = text;
        StripActiveContent(work);
        HtmlToText(work);
        g_sink = g_sink + static_cast<size_t>(work.GetLength());
    });
}

double Baseline(const std::wstring& input)
{
    return lqbench::BestTime([&] {
        std::wstring copy = input;
        size_t brackets = 0;
        for (wchar_t c : copy)
            brackets += c == L'<';
        g_sink = g_sink + brackets;
    });
}

} // namespace

int wmain()
{
    std::printf("%-18s %10s %10s %12s %14s\n", "input", "256 KB ms", "1 MB ms", "1MB/256KB", "1 MB / bare");
    for (const Input& input : kInputs) {
        const std::wstring small = Repeat(input.unit, 256 * 1024);
        const std::wstring large = Repeat(input.unit, 1024 * 1024);
        const double tSmall = Clean(small);
        const double tLarge = Clean(large);
        const double bare = Baseline(large);
        std::printf("%-18s %10.2f %10.2f %12.2f %14.1f\n", input.name, tSmall * 1000, tLarge * 1000, tLarge / tSmall,
                    tLarge / bare);
    }
    return 0;
}
