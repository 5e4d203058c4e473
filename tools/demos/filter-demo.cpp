// Shows one window of the quick filter and the search box until the marker file (second argument) is removed; for
// tools/screenshots/screenshot-filter.sh. The first argument names it: dialog, wait, rename, modern (the results'
// headline rows with their marks) or searchbox; "rss OUT" writes the classic view's results page to OUT instead.
#include "app/FilteredResults.h"
#include "app/ReaderApp.h"
#include "companions/QuickFilterDlg.h"
#include "companions/RenameCategoryDlg.h"
#include "companions/StatusDlg.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedText.h"
#include "feeds/FilterText.h"
#include "res/resource.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "views/FeedPaneSite.h"
#include "views/SearchItemWnd.h"

#include <memory>
#include <string>

namespace {

std::wstring g_markerPath;

void CALLBACK WatchMarker(HWND, UINT, UINT_PTR, DWORD)
{
    if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::PostQuitMessage(0);
}

void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

CFeedItem* NewsItem(const wchar_t* title, const wchar_t* text, int day, int state)
{
    auto* item = new CFeedItem;
    item->m_strTitle = title;
    item->m_strTitleText = DisplayCopy(item->m_strTitle);
    item->m_strDescription = text;
    item->m_strDescriptionText = DisplayCopy(item->m_strDescription);
    item->m_strLink = item->m_strLinkText = L"http://news.example.com/item";
    item->m_dtDate.SetDateTime(2026, 5, day, 8, 30, 0);
    item->m_nReadState = state;
    return item;
}

// A results page of a small fixture for the view style, as the worker builds it.
std::unique_ptr<CFeedItem> ResultsPage(int nViewStyle)
{
    CFeedChannel list;
    auto* entry = new CFeedItem;
    entry->m_nKind = FEED_KIND_FEED;
    entry->m_pChannel = new CFeedChannel;
    entry->m_pChannel->m_items.AddTail(NewsItem(L"Apple harvest breaks records in the valley",
                                                L"Growers say the <b>apple</b> and pear crops are the best in years.",
                                                2, FEED_STATE_NEW));
    entry->m_pChannel->m_items.AddTail(NewsItem(
        L"Rain today, storms tonight", L"Windfall apples &amp; pears rot in the orchards.", 6, FEED_STATE_UNREAD));
    entry->m_pChannel->m_items.AddTail(
        NewsItem(L"Markets: fruit prices fall", L"Apple growers meet in the town hall.", 4, FEED_STATE_READ));
    entry->m_pChannel->m_items.AddTail(
        NewsItem(L"Orchard tours at the Apple &amp; Pear fair", L"Tickets at the gate.", 5, FEED_STATE_NEW));
    list.m_items.AddTail(entry);
    FilterItems items;
    CopyNewsItems(&list, nullptr, items);
    return std::unique_ptr<CFeedItem>(
        BuildFilteredResults(ReadFilterWords(BuildFilterText(L"apple", L"pear rain", L"")), nViewStyle, items));
}

// The results page's headline rows as the modern view's drop-down draws them.
class CRowsWnd : public CWnd
{
public:
    CFeedItem* m_pPage = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_PAINT)
            return CWnd::WindowProc(message, wParam, lParam);
        PAINTSTRUCT ps;
        HDC hDC = ::BeginPaint(m_hWnd, &ps);
        CDC* pDC = CDC::FromHandle(hDC);
        CRect rcClient;
        GetClientRect(&rcClient);
        pDC->FillSolidRect(&rcClient, RGB(255, 255, 255));
        int y = 0;
        for (POSITION pos = m_pPage->m_pChannel->m_items.GetHeadPosition(); pos;) {
            CFeedItem* item = m_pPage->m_pChannel->m_items.GetNext(pos);
            const int height = item->CalcHeadlineHeight(pDC, rcClient.Width());
            item->m_rcLast = CRect(0, y, rcClient.Width(), y + height);
            item->DrawHeadline(pDC, FALSE, TRUE);
            y += height;
        }
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
};

// The search box's site: nothing is searched in the demo.
class CDemoSite : public CFeedPaneSite
{
public:
    CFeedTaskPanel* GetNavigationPane() override { return nullptr; }
    CXTPCommandBars* GetCommandBars() override { return nullptr; }
    BOOL IsUpdating() override { return FALSE; }
    BOOL IsNewCategory(const CString&) override { return TRUE; }
    void Unsubscribe(CFeedItem*) override {}
    void UpdateChannel(CFeedItem*) override {}
    void ShowChannelProperties(CFeedItem*, int) override {}
    void ShowChannelView(CFeedItem*) override {}
    BOOL AskCategoryName(const CString&, CString&) override { return FALSE; }
    void RenameCategory(const CString&, const CString&) override {}
    void DeleteCategory(const CString&) override {}
    void UpdateCategory(const CString&) override {}
    void RemoveResultPage(CFeedItem*) override {}
    void SaveEnclosure(CFeedItem*) override {}
    BOOL HasNewsView() override { return FALSE; }
    CFeedItem* GetShownEntry() override { return nullptr; }
    void ShowEntry(CFeedItem*, const CString&) override {}
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"dialog";
    ::OleInitialize(nullptr);
    if (mode == L"rss") {
        std::unique_ptr<CFeedItem> page = ResultsPage(0);
        return argc > 2 && page && page->m_pChannel->SaveCache(argv[2], TRUE) ? 0 : 1;
    }
    if (argc > 2)
        g_markerPath = argv[2];
    CXTPPaintManager::SetTheme(xtpThemeOffice2003);

    CQuickFilterDlg filter;
    CStatusDlg wait;
    CRenameCategoryDlg rename;
    CWnd frame;
    CRowsWnd rows;
    CDemoSite site;
    CFeedItem searchIn;
    std::unique_ptr<CFeedItem> page;
    CWnd* shown = nullptr;
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    if (mode == L"wait") {
        if (!wait.Create(IDD_STATUS))
            return 1;
        shown = &wait;
    } else if (mode == L"rename") {
        rename.m_strOldCaption = L"World News";
        if (!rename.Create(IDD_RENAME_CATEGORY))
            return 1;
        rename.SetDlgItemText(IDC_RENAME_NEW_CAPTION, L"Planet");
        shown = &rename;
    } else if (mode == L"modern") {
        page = ResultsPage(1);
        rows.m_pPage = page.get();
        if (!rows.CreateEx(0, cls, L"Filtered results", WS_OVERLAPPED | WS_CAPTION, 0, 0, 420, 300, nullptr, nullptr))
            return 1;
        shown = &rows;
    } else if (mode == L"searchbox") {
        if (!frame.CreateEx(0, cls, L"Search", WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN, 0, 0, 290, 110, nullptr,
                            nullptr))
            return 1;
        searchIn.m_nKind = FEED_KIND_SEARCH_IN;
        searchIn.m_strTitleText = L"Search the news archive";
        CSearchItemWnd* box = CSearchItemWnd::CreateFor(&searchIn, &site, &frame, 0x4000);
        if (!box)
            return 1;
        box->SetWindowPos(nullptr, 0, 10, 270, 50, SWP_NOZORDER);
        for (const wchar_t* text : {L"harbour", L"storm warning"}) {
            box->m_wndCombo.SetWindowText(text);
            box->RunSearch();
        }
        box->m_wndCombo.SetWindowText(L"apple harvest");
        shown = &frame;
    } else {
        filter.m_strFilterText = BuildFilterText(L"apple harvest", L"pear rain", L"storm");
        if (!filter.Create(IDD_QUICK_FILTER))
            return 1;
        shown = &filter;
    }
    shown->SetWindowPos(nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    shown->ShowWindow(SW_SHOW);
    ::RedrawWindow(shown->GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpPending();
    if (g_markerPath.empty())
        return 0;
    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    ::SetTimer(nullptr, 0, 200, WatchMarker);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    shown->DestroyWindow();
    return 0;
}
