// Shows the news ticker docked at the top (or, with "bottom" as the second argument, at the bottom) with a few
// headlines, the first one resting at the left border, until the marker file given as the first argument is
// removed; for tools/screenshots/screenshot-ticker.sh.
#include "companions/NewsLineWnd.h"
#include "feeds/EngineMessages.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/NewsLineItem.h"
#include "framework/core/Collections.h"
#include "framework/win/WinApp.h"

#include <string>

namespace {

class CDemoApp : public CWinApp
{
} theDemoApp;

std::wstring g_markerPath;

void CALLBACK WatchMarker(HWND, UINT, UINT_PTR, DWORD)
{
    if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::PostQuitMessage(0);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1)
        g_markerPath = argv[1];
    const bool bottom = argc > 2 && std::wstring(argv[2]) == L"bottom";
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
    if (g_markerPath.empty())
        return 0;
    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    ::SetTimer(nullptr, 0, 200, WatchMarker);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    wnd.DestroyWindow();
    return 0;
}
