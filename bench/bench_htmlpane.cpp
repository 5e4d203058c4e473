// Parsing and laying out a generated news page of 100 and of 2,000 items (about 1 KB of HTML each): the time per
// item should stay flat as the page grows. Also the cost of finding the runs of one screen after a scroll set
// against a full layout, which shows that scrolling repaints without laying out again. Prints one run's figures.
#include "BenchTiming.h"
#include "framework/html/HtmlLayout.h"
#include "framework/html/HtmlParser.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// One item in the shape of the news page: a title link, a date, a description with feed markup, an enclosure.
std::string Item(int n)
{
    const std::string id = std::to_string(n);
    return "<div class=\"item\"><h3><img src=\"C:\\data\\images\\unread.png\" width=16 height=16> "
           "<a href=\"http://news.example.com/story?id=" +
           id + "&amp;src=rss\">Story number " + id +
           ": markets, weather &amp; sport</a></h3>\n"
           "<p><font size=1 color=\"#808080\">Mon, 07 Dec 2026 10:" +
           std::to_string(n % 60) +
           ":00 GMT</font></p>\n<p>The <b>council</b> met on Monday to discuss the <i>new</i> budget, "
           "which includes funds for roads, schools and the library. Residents asked about parking near the "
           "station &mdash; the answer was <a href=\"http://news.example.com/parking\">a new plan</a>.</p>\n"
           "<ul><li>First point of the story</li><li>Second point, a little longer than the first</li></ul>\n"
           "<table width=\"100%\"><tr><td>Enclosure</td><td><a href=\"http://media.example.com/a" +
           id + ".mp3\">a" + id +
           ".mp3</a> (3.2 MB)</td></tr></table>\n"
           "<p><a href=\"bookmark:" +
           id + "\">Bookmark</a> | <a href=\"http://news.example.com/c/" + id + "\">Comments</a></p><hr></div>\n";
}

std::string Page(int items)
{
    std::string page = "<html><head><meta charset=\"utf-8\"><title>News</title></head><body>";
    for (int n = 0; n < items; ++n)
        page += Item(n);
    return page + "</body></html>";
}

struct Figures
{
    double parse;
    double layout;
    double scroll;
    int height;
    size_t runs;
};

Figures Measure(int items, HDC dc)
{
    const std::string page = Page(items);
    CHtmlDocument doc;
    Figures figures{};
    figures.parse = lqbench::BestTime([&] { CHtmlParser::ParseBytes(page.data(), page.size(), doc); });
    CHtmlMeasure measure(dc, L"Tahoma", 13);
    CHtmlLayout layout;
    figures.layout = lqbench::BestTime([&] { layout.Layout(doc, measure, 800); });
    figures.height = layout.GetHeight();
    figures.runs = layout.GetRuns().size();
    // A scroll by one screen (600 px) down the whole page: the runs to draw for each new screen.
    std::vector<int> visible;
    size_t sink = 0;
    int screens = 0;
    figures.scroll = lqbench::BestTime([&] {
        screens = 0;
        for (int top = 0; top < layout.GetHeight(); top += 600, ++screens) {
            layout.GetRunsInRect(CRect(0, top, 800, top + 600), visible);
            sink += visible.size();
        }
    });
    figures.scroll /= std::max(1, screens);
    if (sink == 0)
        std::printf("(no runs)\n");
    return figures;
}

// Parse and layout of a hostile page of about `bytes` bytes made of one repeated piece.
double Hostile(const char* piece, size_t bytes, HDC dc)
{
    std::string page;
    while (page.size() < bytes)
        page += piece;
    CHtmlDocument doc;
    CHtmlMeasure measure(dc, L"Tahoma", 13);
    CHtmlLayout layout;
    // Best of several: one stray pause of the shared machine would otherwise decide the ratio.
    return lqbench::BestTime(
        [&] {
            CHtmlParser::ParseBytes(page.data(), page.size(), doc);
            layout.Layout(doc, measure, 800);
        },
        5);
}

} // namespace

int wmain()
{
    HDC dc = CreateCompatibleDC(nullptr);
    const int sizes[] = {100, 2000};
    Figures figures[2];
    for (int i = 0; i < 2; ++i) {
        figures[i] = Measure(sizes[i], dc);
        std::printf("%5d items: parse %8.2f ms (%6.1f us/item)  layout %8.2f ms (%6.1f us/item)  height %d px, "
                    "%zu runs; one screen after a scroll %.1f us\n",
                    sizes[i], figures[i].parse * 1e3, figures[i].parse * 1e6 / sizes[i], figures[i].layout * 1e3,
                    figures[i].layout * 1e6 / sizes[i], figures[i].height, figures[i].runs, figures[i].scroll * 1e6);
    }
    const double parseRatio = (figures[1].parse / sizes[1]) / (figures[0].parse / sizes[0]);
    const double layoutRatio = (figures[1].layout / sizes[1]) / (figures[0].layout / sizes[0]);
    std::printf("time per item, 2000 against 100 items: parse %.2f, layout %.2f (1.0 is flat)\n", parseRatio,
                layoutRatio);
    std::printf("one screen after a scroll against a full layout of 2000 items: %.2e\n",
                figures[1].scroll / figures[1].layout);
    for (const char* piece : {"<div>x", "<table><tr><td>x", "<ul><li>x", "<b><i>x</b>", "&amp", "<p title='"}) {
        const double small = Hostile(piece, 256 * 1024, dc);
        const double large = Hostile(piece, 1024 * 1024, dc);
        std::printf("hostile \"%s\": 256 KB %.1f ms, 1 MB %.1f ms, ratio %.2f (4 is linear)\n", piece, small * 1e3,
                    large * 1e3, large / small);
    }
    DeleteDC(dc);
    return 0;
}
