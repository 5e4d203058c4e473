// Shows the news ticker docked at the top (or, with "bottom" as the second argument, at the bottom) with a few
// headlines, the first one resting at the left border, until the marker file given as the first argument is
// removed; with "general", "size" or "colors" its properties sheet on that page, opened by the ticker's own command.
// For tools/screenshots/screenshot-ticker.sh.
#include "companions/NewsLineWnd.h"
#include "feeds/EngineMessages.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/NewsLineItem.h"
#include "framework/core/Collections.h"
#include "framework/win/WinApp.h"
#include "res/resource.h"

#include <prsht.h>

#include <string>

namespace {

class CDemoApp : public CWinApp
{
} theDemoApp;

std::wstring g_markerPath;
int g_nPage = -1;
HWND g_hSheet = nullptr;

void CALLBACK WatchMarker(HWND, UINT, UINT_PTR, DWORD)
{
    if (::GetFileAttributesW(g_markerPath.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    if (g_hSheet)
        ::PostMessageW(g_hSheet, WM_COMMAND, IDCANCEL, 0);
    ::PostQuitMessage(0);
}

void WriteMarker()
{
    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
}

// Once the sheet is up: its page chosen, the sheet placed under the ticker and painted, then the marker.
void CALLBACK ShowPage(HWND, UINT, UINT_PTR id, DWORD)
{
    g_hSheet = ::FindWindowW(nullptr, L"NewsLine Properties");
    if (!g_hSheet || !::SendMessageW(g_hSheet, PSM_GETCURRENTPAGEHWND, 0, 0))
        return;
    ::KillTimer(nullptr, id);
    ::SendMessageW(g_hSheet, PSM_SETCURSEL, static_cast<WPARAM>(g_nPage), 0);
    ::SetWindowPos(g_hSheet, nullptr, 20, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::RedrawWindow(g_hSheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    if (!g_markerPath.empty()) {
        WriteMarker();
        ::SetTimer(nullptr, 0, 200, WatchMarker);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1)
        g_markerPath = argv[1];
    const std::wstring mode = argc > 2 ? argv[2] : L"";
    const bool bottom = mode == L"bottom";
    const wchar_t* pages[] = {L"general", L"size", L"colors"};
    for (int i = 0; i < 3; ++i)
        if (mode == pages[i])
            g_nPage = i;
    theDemoApp.SetRegistryKey(L"Lanternquill Demo");
    CFeedItem entry;
    entry.m_nKind = FEED_KIND_FEED;
    entry.m_strTitleText = L"The Daily Lantern";
    entry.m_nImageIndex = 0;
    entry.m_pChannel = new CFeedChannel;
    const wchar_t* titles[] = {L"Harbour bridge reopens after three years of repairs",
                               L"City library extends its evening hours", L"Local team wins the regional final"};
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    for (int i = 0; i < 3; ++i) {
        auto* item = new CFeedItem;
        item->m_nKind = FEED_KIND_ITEM;
        item->m_strTitleText = titles[i];
        item->m_strLinkText = L"http://127.0.0.1/news";
        item->m_dtDate = COleDateTime(now);
        item->m_dtDate -= COleDateTimeSpan(0, i * 3, 0, 0);
        entry.m_pChannel->m_items.AddTail(item);
    }

    CNewsLineWnd wnd;
    wnd.SetManualTicks(true);
    if (!wnd.Create(nullptr))
        return 1;
    if (bottom)
        wnd.Dock(ABE_BOTTOM);
    CPtrList list;
    for (POSITION pos = entry.m_pChannel->m_items.GetHeadPosition(); pos;) {
        auto* line = new CNewsLineItem;
        line->m_pFeed = &entry;
        line->m_pItem = entry.m_pChannel->m_items.GetNext(pos);
        list.AddTail(line);
    }
    ::SendMessageW(wnd.GetSafeHwnd(), WM_NEWSLINE_RELOAD, reinterpret_cast<WPARAM>(&list), 0);
    for (int i = 0; i < 200; ++i) {
        ::SendMessageW(wnd.GetSafeHwnd(), WM_TIMER, CNewsLineWnd::TIMER_SCROLL, 0);
        if (wnd.GetScroll().Leading().x <= CNewsLineScroll::kStep)
            break;
    }
    ::RedrawWindow(wnd.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (g_nPage >= 0) {
        ::SetTimer(nullptr, 0, 100, ShowPage);
        ::SendMessageW(wnd.GetSafeHwnd(), WM_COMMAND, ID_NEWSLINE_PROPERTIES, 0);
        wnd.DestroyWindow();
        return 0;
    }
    if (g_markerPath.empty())
        return 0;
    WriteMarker();
    ::SetTimer(nullptr, 0, 200, WatchMarker);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    wnd.DestroyWindow();
    return 0;
}
