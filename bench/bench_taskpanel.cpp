// The navigation pane holds one task-panel item per subscription. A panel of 20 groups x 100 items and one of
// 20 x 1,000 are laid out and drawn page by page: the time per item should stay flat as the panel grows, and stay
// near the bare cost of measuring and drawing the captions. A one-line scroll should cost the same at both sizes
// and repaint only the band it uncovers. Prints one run's figures.
#include "BenchTiming.h"
#include "framework/Afx.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

const int kGroups = 20;
const CSize kClient(260, 600);

std::wstring Caption(int nGroup, int nItem)
{
    return L"Channel " + std::to_wstring(nGroup) + L"." + std::to_wstring(nItem) + L" - world news";
}

struct Figures
{
    int nItems = 0;
    double dLayout = 0;      // seconds for one full layout
    double dDraw = 0;        // seconds to draw every page of the content
    double dBare = 0;        // seconds to measure and draw every caption with DrawText alone
    double dLineScroll = 0;  // seconds per one-line scroll with its repaint
    double dLineRepaint = 0; // of which the repaint of the uncovered band
    int nRepaintedRows = 0;  // rows of the client area invalidated by one line scroll
};

Figures Measure(CWnd& host, int nPerGroup)
{
    Figures figures;
    figures.nItems = kGroups * nPerGroup;
    auto pPanel = std::make_unique<CXTPTaskPanel>();
    CXTPTaskPanel& panel = *pPanel;
    panel.EnableAnimation(FALSE);
    panel.Create(WS_VISIBLE | WS_CHILD, CRect(CPoint(0, 0), kClient), &host, 1);
    std::vector<DWORD> pixels(16 * 16, 0xFF3070C0);
    HBITMAP hIcon = CXTPImageManager::CreateBitmap32(CSize(16, 16), pixels.data());
    const UINT nIconID = 1;
    panel.GetImageManager()->SetIconsFromBitmap(hIcon, &nIconID, 1, 16, 16, CXTPImageManager::xtpImageNormal, TRUE);
    ::DeleteObject(hIcon);

    // Built under the lock: a panel this size is filled once and laid out once.
    panel.SetLockRedraw(TRUE);
    for (int g = 0; g < kGroups; ++g) {
        CXTPTaskPanelGroup* pGroup = panel.AddGroup(0);
        pGroup->SetCaption((L"Category " + std::to_wstring(g)).c_str());
        for (int i = 0; i < nPerGroup; ++i)
            pGroup->AddLinkItem(0, static_cast<int>(nIconID))->SetCaption(Caption(g, i).c_str());
    }
    panel.SetLockRedraw(FALSE);
    PumpPending();

    figures.dLayout = lqbench::BestTime([&] { panel.Reposition(FALSE); });

    CRect rcClient;
    panel.GetClientRect(&rcClient);
    CDC dcScreen;
    dcScreen.Attach(::GetDC(nullptr));
    CDC dcMem;
    dcMem.CreateCompatibleDC(&dcScreen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dcScreen, rcClient.Width(), rcClient.Height());
    CBitmap* pOld = dcMem.SelectObject(&bitmap);
    const int nContent = panel.GetContentHeight();
    figures.dDraw = lqbench::BestTime([&] {
        for (int y = 0; y < nContent; y += rcClient.Height()) {
            ::SetScrollPos(panel.m_hWnd, SB_VERT, y, FALSE);
            panel.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dcMem.GetSafeHdc()), PRF_CLIENT);
        }
    });

    // The bare baseline: each caption measured once and drawn once with the same font.
    CFont* pFont = panel.GetPaintManager()->GetItemFont(FALSE, FALSE);
    figures.dBare = lqbench::BestTime([&] {
        HGDIOBJ hOldFont = dcMem.SelectObject(pFont);
        for (int g = 0; g < kGroups; ++g)
            for (int i = 0; i < nPerGroup; ++i) {
                const std::wstring text = Caption(g, i);
                CRect rc(0, 0, 200, 0);
                dcMem.DrawText(text.c_str(), -1, &rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
                rc.OffsetRect(0, (i * 20) % rcClient.Height());
                dcMem.DrawText(text.c_str(), -1, &rc, DT_WORDBREAK | DT_NOPREFIX);
            }
        dcMem.SelectObject(hOldFont);
    });
    dcMem.SelectObject(pOld);
    ::ReleaseDC(nullptr, dcScreen.Detach());

    // One line at a time from the middle, each repainted at once; down and back up again.
    ::SetScrollPos(panel.m_hWnd, SB_VERT, nContent / 2, FALSE);
    panel.Invalidate(FALSE);
    panel.UpdateWindow();
    panel.SendMessage(WM_VSCROLL, SB_LINEDOWN);
    CRect rcUpdate;
    panel.GetUpdateRect(&rcUpdate, FALSE);
    figures.nRepaintedRows = rcUpdate.Height();
    panel.UpdateWindow();
    const int nScrolls = 200;
    double dMessage = 0;
    double dRepaint = 0;
    for (int i = 0; i < nScrolls; ++i) {
        const double dStart = lqbench::Seconds();
        panel.SendMessage(WM_VSCROLL, i % 2 ? SB_LINEUP : SB_LINEDOWN);
        const double dScrolled = lqbench::Seconds();
        panel.UpdateWindow();
        dMessage += dScrolled - dStart;
        dRepaint += lqbench::Seconds() - dScrolled;
    }
    figures.dLineScroll = (dMessage + dRepaint) / nScrolls;
    figures.dLineRepaint = dRepaint / nScrolls;

    panel.DestroyWindow();
    return figures;
}

} // namespace

int wmain()
{
    ::OleInitialize(nullptr);
    CWnd host;
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
    host.CreateEx(0, lpszClass, L"Task panel benchmark", WS_POPUP | WS_VISIBLE, 0, 0, kClient.cx, kClient.cy, nullptr,
                  nullptr);
    PumpPending();

    const Figures small = Measure(host, 100);
    const Figures large = Measure(host, 1000);
    auto perItem = [](double seconds, int items) { return seconds / items * 1e6; };

    std::printf("task panel: %d groups x 100 items and x 1,000 items\n", kGroups);
    for (const Figures* f : {&small, &large})
        std::printf("  %6d items: layout %7.3f us/item, draw %7.3f us/item, bare text %7.3f us/item, "
                    "line scroll %7.1f us (band repaint %6.1f us, %d rows)\n",
                    f->nItems, perItem(f->dLayout, f->nItems), perItem(f->dDraw, f->nItems),
                    perItem(f->dBare, f->nItems), f->dLineScroll * 1e6, f->dLineRepaint * 1e6, f->nRepaintedRows);
    std::printf("per-item layout, 1,000 over 100:           %.2f\n",
                perItem(large.dLayout, large.nItems) / perItem(small.dLayout, small.nItems));
    std::printf("per-item draw, 1,000 over 100:             %.2f\n",
                perItem(large.dDraw, large.nItems) / perItem(small.dDraw, small.nItems));
    std::printf("layout and draw over bare text, 1,000:     %.2f\n", (large.dLayout + large.dDraw) / large.dBare);
    std::printf("one-line scroll, 1,000 over 100:           %.2f\n", large.dLineScroll / small.dLineScroll);
    std::printf("band repaint of that scroll, 1,000 over 100: %.2f\n", large.dLineRepaint / small.dLineRepaint);
    std::printf("rows repainted by a one-line scroll:       %d of %d\n", large.nRepaintedRows,
                static_cast<int>(kClient.cy));

    host.DestroyWindow();
    ::OleUninitialize();
    return 0;
}
