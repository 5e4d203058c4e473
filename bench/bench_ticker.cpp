// The news ticker: the reload of 100 and of 1,000 headlines (copies, order, text widths), whose time per
// headline should stay flat (ratio about 1); one scroll step with 100 and with 1,000 headlines, which should not
// grow with the list (ratio about 1); and the share of one core the ticker uses while it scrolls 100 headlines for
// ten seconds on its real timers. Prints times and ratios of one run.
#include "BenchTiming.h"
#include "companions/NewsLineWnd.h"
#include "feeds/EngineMessages.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/NewsLineItem.h"
#include "framework/core/Collections.h"
#include "framework/win/WinApp.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

class CBenchApp : public CWinApp
{
} theBenchApp;

UINT_PTR AnswerAll(DWORD, APPBARDATA*)
{
    return 1;
}

// An entry with n news items of varied titles and dates.
std::unique_ptr<CFeedItem> MakeEntry(int n)
{
    auto entry = std::make_unique<CFeedItem>();
    entry->m_nKind = FEED_KIND_FEED;
    entry->m_strTitleText = L"Benchmark Feed";
    entry->m_pChannel = new CFeedChannel;
    for (int i = 0; i < n; ++i) {
        auto* item = new CFeedItem;
        item->m_nKind = FEED_KIND_ITEM;
        item->m_strTitleText = (L"Headline number " + std::to_wstring(i) + L" of the benchmark's news").c_str();
        item->m_strLinkText = L"http://127.0.0.1/item";
        item->m_dtDate = COleDateTime(2026, 1 + i % 12, 1 + (i * 7) % 28, i % 24, i % 60, 0);
        entry->m_pChannel->m_items.AddTail(item);
    }
    return entry;
}

void Reload(HWND hWnd, CFeedItem* entry)
{
    CPtrList list;
    for (POSITION pos = entry->m_pChannel->m_items.GetHeadPosition(); pos;) {
        auto* line = new CNewsLineItem;
        line->m_pFeed = entry;
        line->m_pItem = entry->m_pChannel->m_items.GetNext(pos);
        list.AddTail(line);
    }
    ::SendMessageW(hWnd, WM_NEWSLINE_RELOAD, reinterpret_cast<WPARAM>(&list), 0);
}

struct Timing
{
    double reloadPerHeadline;
    double tick;
};

Timing Measure(CNewsLineWnd& wnd, int n)
{
    std::unique_ptr<CFeedItem> entry = MakeEntry(n);
    HWND hWnd = wnd.GetSafeHwnd();
    Timing timing{};
    timing.reloadPerHeadline = lqbench::BestTime([&] { Reload(hWnd, entry.get()); }) / n;
    // Steps through whole passes of headlines in and out, so that renders of entering headlines are counted too.
    const int ticks = 2000;
    timing.tick = lqbench::BestTime(
                      [&] {
                          for (int i = 0; i < ticks; ++i) {
                              ::SendMessageW(hWnd, WM_TIMER, CNewsLineWnd::TIMER_SCROLL, 0);
                              if (i % 80 == 79)
                                  ::SendMessageW(hWnd, WM_TIMER, CNewsLineWnd::TIMER_REST, 0);
                          }
                      },
                      3) /
                  ticks;
    Reload(hWnd, MakeEntry(0).get());
    return timing;
}

double CpuSeconds()
{
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& time) {
        return (static_cast<double>(time.dwHighDateTime) * 4294967296.0 + time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

} // namespace

int wmain()
{
    theBenchApp.SetRegistryKey(L"Lanternquill Bench");
    SetAppBarMessenger(AnswerAll);
    {
        CNewsLineWnd wnd;
        wnd.SetManualTicks(true);
        if (!wnd.Create(nullptr)) {
            std::printf("the ticker window could not be created\n");
            return 1;
        }
        const Timing small = Measure(wnd, 100);
        const Timing large = Measure(wnd, 1000);
        std::printf("reload per headline: 100 %.2f us, 1000 %.2f us, ratio %.2f\n", small.reloadPerHeadline * 1e6,
                    large.reloadPerHeadline * 1e6, large.reloadPerHeadline / small.reloadPerHeadline);
        std::printf("scroll step: 100 %.1f us, 1000 %.1f us, ratio %.2f\n", small.tick * 1e6, large.tick * 1e6,
                    large.tick / small.tick);
        wnd.DestroyWindow();
    }
    {
        CNewsLineWnd wnd;
        if (!wnd.Create(nullptr))
            return 1;
        std::unique_ptr<CFeedItem> entry = MakeEntry(100);
        Reload(wnd.GetSafeHwnd(), entry.get());
        const double wallStart = lqbench::Seconds();
        const double cpuStart = CpuSeconds();
        MSG msg;
        while (lqbench::Seconds() - wallStart < 10.0) {
            if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) {
                while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                }
            }
        }
        const double share = (CpuSeconds() - cpuStart) / (lqbench::Seconds() - wallStart);
        std::printf("scrolling 100 headlines for 10 s: %.1f %% of one core\n", share * 100.0);
        wnd.DestroyWindow();
    }
    return 0;
}
