// The navigation pane with its own look: 50 and 1,000 subscriptions in 20 categories are built into the pane
// and every page of it is drawn; the time per entry should stay flat as the list grows. Then the headline
// drop-down of a channel with 20 and with 1,000 headlines is opened (rows made, measured, placed and drawn) and
// closed: the time per headline should stay flat too. Prints one run's figures.
#include "BenchTiming.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/Afx.h"
#include "views/FeedPopupBar.h"
#include "views/FeedTaskPanel.h"
#include "views/FeedTaskPanelPaintManager.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kGroups = 20;
const CSize kClient(260, 600);

void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

std::unique_ptr<CFeedItem> MakeChannel(int nNumber, int nHeadlines)
{
    auto pEntry = std::make_unique<CFeedItem>();
    pEntry->m_nKind = FEED_KIND_FEED;
    pEntry->m_strTitle = pEntry->m_strTitleText = (L"Channel " + std::to_wstring(nNumber) + L" - world news").c_str();
    pEntry->m_nImageIndex = 0;
    pEntry->m_dtDate = COleDateTime::GetCurrentTime();
    pEntry->m_pChannel = new CFeedChannel;
    for (int i = 0; i < nHeadlines; ++i) {
        auto* pItem = new CFeedItem;
        pItem->m_strTitle = pItem->m_strTitleText =
            (L"Headline " + std::to_wstring(i) + L": markets, weather and the evening's sport").c_str();
        pItem->m_strLink = L"http://news.example/item";
        pItem->m_nReadState = i % 3;
        pEntry->m_pChannel->m_items.AddTail(pItem);
    }
    pEntry->CountNews();
    return pEntry;
}

struct PaneFigures
{
    int nEntries = 0;
    double dBuild = 0; // fill and lay out
    double dDraw = 0;  // every page drawn
};

PaneFigures MeasurePane(CWnd& host, int nEntries)
{
    PaneFigures figures;
    figures.nEntries = nEntries;
    std::vector<std::unique_ptr<CFeedItem>> entries;
    for (int i = 0; i < nEntries; ++i)
        entries.push_back(MakeChannel(i, 5));
    CFeedTaskPanel pane;
    pane.SetCustomTheme(new CFeedTaskPanelPaintManager);
    pane.EnableAnimation(FALSE);
    pane.Create(WS_VISIBLE | WS_CHILD, CRect(CPoint(0, 0), kClient), &host, 111);
    figures.dBuild = lqbench::BestTime(
        [&] {
            pane.SetLockRedraw(TRUE);
            pane.RemoveAllGroups();
            for (int g = 0; g < kGroups; ++g) {
                CXTPTaskPanelGroup* pGroup = pane.AddGroup(static_cast<UINT_PTR>(410 + g));
                pGroup->SetCaption((L"Category " + std::to_wstring(g)).c_str());
                for (int i = g; i < nEntries; i += kGroups)
                    pGroup->AddLinkItem(reinterpret_cast<UINT_PTR>(entries[static_cast<size_t>(i)].get()), 0)
                        ->SetCaption(entries[static_cast<size_t>(i)]->m_strTitleText);
            }
            pane.SetLockRedraw(FALSE);
            pane.Reposition(FALSE);
        },
        3);

    CRect rcClient;
    pane.GetClientRect(&rcClient);
    CDC dcScreen;
    dcScreen.Attach(::GetDC(nullptr));
    CDC dcMem;
    dcMem.CreateCompatibleDC(&dcScreen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dcScreen, rcClient.Width(), rcClient.Height());
    CBitmap* pOld = dcMem.SelectObject(&bitmap);
    const int nContent = pane.GetContentHeight();
    figures.dDraw = lqbench::BestTime([&] {
        for (int y = 0; y < nContent; y += rcClient.Height()) {
            ::SetScrollPos(pane.m_hWnd, SB_VERT, y, FALSE);
            pane.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dcMem.GetSafeHdc()), PRF_CLIENT);
        }
    });
    dcMem.SelectObject(pOld);
    ::ReleaseDC(nullptr, dcScreen.Detach());
    pane.DestroyWindow();
    pane.RemoveAllGroups();
    return figures;
}

// Seconds to open (and draw) the drop-down of a channel with that many headlines, then close it.
double MeasureDropDown(CWnd& host, int nHeadlines)
{
    auto pEntry = MakeChannel(0, nHeadlines);
    CFeedTaskPanel pane;
    pane.SetCustomTheme(new CFeedTaskPanelPaintManager);
    pane.EnableAnimation(FALSE);
    pane.Create(WS_VISIBLE | WS_CHILD, CRect(CPoint(0, 0), kClient), &host, 111);
    CXTPTaskPanelItem* pItem = pane.AddGroup(410)->AddLinkItem(reinterpret_cast<UINT_PTR>(pEntry.get()), 0);
    pane.Reposition(FALSE);
    const double dTime = lqbench::BestTime([&] {
        pane.OnClick(pItem);
        pane.GetPopupBar()->UpdateWindow();
        pane.GetPopupBar()->SetTrackingMode(FALSE);
        PumpPending();
    });
    pane.DestroyWindow();
    pane.RemoveAllGroups();
    return dTime;
}

} // namespace

int wmain()
{
    ::OleInitialize(nullptr);
    GetEngineContext().m_settings.nViewStyle = 1;
    GetEngineContext().m_settings.nHideReadChannels = 0;
    CWnd host;
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
    host.CreateEx(0, lpszClass, L"bench", WS_POPUP | WS_VISIBLE, 0, 0, kClient.cx, kClient.cy, nullptr, nullptr);

    const PaneFigures small = MeasurePane(host, 50);
    const PaneFigures large = MeasurePane(host, 1000);
    std::printf("Navigation pane, %d categories\n", kGroups);
    for (const PaneFigures* p : {&small, &large})
        std::printf("  %5d subscriptions: build %8.3f ms (%6.2f us/entry), draw %8.3f ms (%6.2f us/entry)\n",
                    p->nEntries, p->dBuild * 1e3, p->dBuild * 1e6 / p->nEntries, p->dDraw * 1e3,
                    p->dDraw * 1e6 / p->nEntries);
    std::printf("  per-entry ratio 1000/50: build %.2f, draw %.2f\n",
                (large.dBuild / large.nEntries) / (small.dBuild / small.nEntries),
                (large.dDraw / large.nEntries) / (small.dDraw / small.nEntries));

    const double dSmall = MeasureDropDown(host, 20);
    const double dLarge = MeasureDropDown(host, 1000);
    std::printf("Headline drop-down (open, draw, close)\n");
    std::printf("    20 headlines: %8.3f ms (%6.2f us/headline)\n", dSmall * 1e3, dSmall * 1e6 / 20);
    std::printf("  1000 headlines: %8.3f ms (%6.2f us/headline)\n", dLarge * 1e3, dLarge * 1e6 / 1000);
    std::printf("  per-headline ratio 1000/20: %.2f\n", (dLarge / 1000) / (dSmall / 20));
    host.DestroyWindow();
    ::OleUninitialize();
    return 0;
}
