// The news ticker: its sizes, order, headline text and two-slot scrolling as functions, then the window on a test
// thread stepped by hand (no timers) against a recording frame, and its own thread started and closed.
#include "companions/NewsLineWnd.h"
#include "feeds/EngineMessages.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/NewsLineItem.h"
#include "feeds/WebAddresses.h"
#include "framework/core/Collections.h"
#include "res/resource.h"
#include "tests/companions/CompanionsTestHost.h"
#include "tests/companions/SheetScript.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TEST(NewsLineLayout, BarHeightsBySizeIndex)
{
    const struct
    {
        int index;
        int height;
    } cases[] = {{0, 24}, {1, 27}, {2, 30}, {3, 34}, {4, 38}, {5, 30}, {7, 30}, {-1, 30}};
    for (const auto& c : cases)
        EXPECT_EQ(c.height, NewsLineLayout::BarHeight(c.index)) << "index " << c.index;
    int title = 0;
    int news = 0;
    NewsLineLayout::PreviewFontHeights(4, title, news);
    EXPECT_EQ(-12, title);
    EXPECT_EQ(-18, news);
    NewsLineLayout::PreviewFontHeights(9, title, news);
    EXPECT_EQ(-10, title);
    EXPECT_EQ(-14, news);
}

TEST(NewsLineLayout, NewestFirstEqualDatesKeepTheirOrder)
{
    struct Case
    {
        const char* name;
        std::vector<double> dates;
        std::vector<bool> valid;
        std::vector<int> expected;
    } cases[] = {
        {"newest first", {1, 3, 2}, {true, true, true}, {1, 2, 0}},
        {"equal dates keep their order", {2, 5, 2, 5}, {true, true, true, true}, {1, 3, 0, 2}},
        {"an undated entry first is taken first", {0, 3, 2}, {false, true, true}, {0, 1, 2}},
        {"an undated entry later waits its turn", {1, 0, 3}, {true, false, true}, {2, 0, 1}},
        {"nothing", {}, {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, NewsLineLayout::SortOrder(c.dates, c.valid)) << c.name;
}

TEST(NewsLineLayout, HostileHeadlinesBecomeOnePlainLine)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"Plain news", L"Plain news"},
        {L"Evil \x202Etxt.exe\x202C done", L"Evil txt.exe done"},
        {L"\x2067isolated\x2069 and \x200Fmark", L"isolated and mark"},
        {L"Line\r\nbreak\tand\x01" L"control", L"Line break and control"},
        {L"  <b>markup</b> &amp; stays text  ", L"<b>markup</b> &amp; stays text"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.expected), NewsLineLayout::PlainHeadline(c.text).GetString());
    const CString huge(L'x', 100000);
    const CString cut = NewsLineLayout::PlainHeadline(huge);
    EXPECT_EQ(NewsLineLayout::kMaxHeadlineLength + 1, cut.GetLength());
    EXPECT_EQ(L'\x2026', cut[cut.GetLength() - 1]);
    EXPECT_EQ(NewsLineLayout::kMaxEntryWidth, NewsLineLayout::EntryWidth(1000000));
    EXPECT_EQ(250, NewsLineLayout::EntryWidth(100));
}

TEST(NewsLineLayout, TodaysDayAndMonthShowOnlyTheTime)
{
    SYSTEMTIME today{};
    today.wYear = 2026;
    today.wMonth = 12;
    today.wDay = 11;
    struct Case
    {
        WORD year, month, day;
        bool timeOnly;
    } cases[] = {{2026, 12, 11, true}, {2019, 12, 11, true}, {2026, 12, 10, false}, {2026, 11, 11, false}};
    for (const Case& c : cases) {
        SYSTEMTIME date{};
        date.wYear = c.year;
        date.wMonth = c.month;
        date.wDay = c.day;
        EXPECT_EQ(c.timeOnly, NewsLineLayout::ShowsTimeOnly(date, today)) << c.year << "-" << c.month << "-" << c.day;
    }
}

// Ticks until the scroll answers something other than a move; the number of ticks it took.
int TicksUntilNotMoved(CNewsLineScroll& scroll, CNewsLineScroll::StepResult& result, std::vector<int>& entered)
{
    for (int ticks = 1; ticks < 10000; ++ticks) {
        int entry = -1;
        result = scroll.Tick(&entry);
        if (entry >= 0)
            entered.push_back(entry);
        if (result != CNewsLineScroll::Moved)
            return ticks;
    }
    return -1;
}

TEST(NewsLineScroll, EmptyOrNotLaidOutStaysIdle)
{
    CNewsLineScroll scroll;
    int entered = 0;
    EXPECT_EQ(CNewsLineScroll::Idle, scroll.Tick(&entered));
    EXPECT_EQ(-1, entered);
    scroll.Layout({}, 500);
    EXPECT_EQ(CNewsLineScroll::Idle, scroll.Tick(&entered));
}

TEST(NewsLineScroll, AHeadlineEntersRestsAndTheOtherSlotBringsTheNext)
{
    CNewsLineScroll scroll;
    scroll.Layout({200, 300}, 500);
    std::vector<int> entered;
    CNewsLineScroll::StepResult result;
    // From 500 in steps of 12 down to at most 12: 41 ticks, the first of which takes entry 0.
    EXPECT_EQ(41, TicksUntilNotMoved(scroll, result, entered));
    EXPECT_EQ(CNewsLineScroll::Rest, result);
    EXPECT_EQ(std::vector<int>{0}, entered);
    EXPECT_EQ(8, scroll.GetSlotA().x);
    EXPECT_EQ(0, scroll.GetPhase());

    scroll.EndRest();
    EXPECT_EQ(1, scroll.GetPhase());
    EXPECT_EQ(500, scroll.GetSlotB().x);
    entered.clear();
    EXPECT_EQ(41, TicksUntilNotMoved(scroll, result, entered));
    EXPECT_EQ(std::vector<int>{1}, entered);
    // The first headline moved on out to the left meanwhile.
    EXPECT_EQ(8 - 41 * 12, scroll.GetSlotA().x);

    // After the last entry the list starts again.
    scroll.EndRest();
    entered.clear();
    TicksUntilNotMoved(scroll, result, entered);
    EXPECT_EQ(std::vector<int>{0}, entered);
}

TEST(NewsLineScroll, ASingleEntryComesAgainInTheOtherSlot)
{
    CNewsLineScroll scroll;
    scroll.Layout({200}, 100);
    std::vector<int> entered;
    CNewsLineScroll::StepResult result;
    TicksUntilNotMoved(scroll, result, entered);
    scroll.EndRest();
    TicksUntilNotMoved(scroll, result, entered);
    EXPECT_EQ((std::vector<int>{0, 0}), entered);
    EXPECT_EQ(0, scroll.GetSlotA().nEntry);
    EXPECT_EQ(0, scroll.GetSlotB().nEntry);
}

TEST(NewsLineScroll, AfterAnOpeningTheEndOfTheListAsksForANewOne)
{
    CNewsLineScroll scroll;
    scroll.Layout({200, 200}, 100);
    std::vector<int> entered;
    CNewsLineScroll::StepResult result;
    TicksUntilNotMoved(scroll, result, entered);
    scroll.SetOpened();
    scroll.EndRest();
    TicksUntilNotMoved(scroll, result, entered);
    scroll.EndRest();
    TicksUntilNotMoved(scroll, result, entered);
    EXPECT_EQ(CNewsLineScroll::AskReload, result);
    EXPECT_FALSE(scroll.IsOpened());
    EXPECT_EQ((std::vector<int>{0, 1}), entered);
    // A new layout starts over.
    scroll.Layout({200}, 100);
    int entry = -1;
    EXPECT_EQ(CNewsLineScroll::Moved, scroll.Tick(&entry));
    EXPECT_EQ(0, entry);
}

TEST(NewsLineScroll, HitTestsFollowTheSlots)
{
    CNewsLineScroll scroll;
    scroll.Layout({200, 300}, 500);
    std::vector<int> entered;
    CNewsLineScroll::StepResult result;
    TicksUntilNotMoved(scroll, result, entered); // A holds entry 0 at x 8
    struct Case
    {
        POINT pt;
        int leading;
    } cases[] = {{{8, 5}, 0}, {{207, 29}, 0}, {{208, 5}, -1}, {{7, 5}, -1}, {{50, 30}, -1}, {{50, -1}, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(c.leading, scroll.HitLeading(c.pt, 30)) << c.pt.x << "," << c.pt.y;
    EXPECT_EQ(-1, scroll.HitTrailing({100, 5}, 30));
    scroll.EndRest();
    int entry = -1;
    scroll.Tick(&entry); // B takes entry 1; A moves on to -4
    EXPECT_EQ(0, scroll.HitTrailing({0, 5}, 30));
    EXPECT_EQ(1, scroll.HitLeading({500 - 12, 5}, 30));
}

// ---- The window, stepped by hand

struct FrameMessage
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<FrameMessage> g_frameMessages;
std::vector<std::wstring> g_opened;

LRESULT CALLBACK RecordingFrameProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_FRAME_EVENT || message == WM_NEWSLINE_ITEM_OPENED || message == WM_NEWSLINE_CLOSED ||
        message == WM_USAGE_EVENT) {
        g_frameMessages.push_back({message, wParam, lParam});
        return 0;
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

bool RecordingLauncher(const CString& address)
{
    g_opened.push_back(address.GetString());
    return true;
}

HWND CreateRecordingFrame()
{
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecordingFrameProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LqTickerTestFrame";
        atom = ::RegisterClassW(&wc);
    }
    return ::CreateWindowExW(0, L"LqTickerTestFrame", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

void ClearTickerSettings()
{
    HKEY app = theCompanionsHost.GetAppRegistryKey();
    if (app) {
        ::RegDeleteTreeW(app, L"NewsLine");
        ::RegCloseKey(app);
    }
}

UINT_PTR AnswerAll(DWORD, APPBARDATA*)
{
    return 1;
}

class NewsLineWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theCompanionsHost.SetRegistryKey(L"Lanternquill Tests");
        ClearTickerSettings();
        g_frameMessages.clear();
        g_opened.clear();
        m_previousShell = SetAppBarMessenger(AnswerAll);
        m_previousLauncher = SetBrowserLauncher(RecordingLauncher);
        m_hFrame = CreateRecordingFrame();
        ASSERT_NE(nullptr, m_hFrame);
        m_entry.m_nKind = FEED_KIND_FEED;
        m_entry.m_strTitleText = L"Example Feed";
        m_entry.m_pChannel = new CFeedChannel;
        m_entry.m_pChannel->m_info.m_strLink = L"http://127.0.0.1/channel";
    }
    void TearDown() override
    {
        if (m_wnd.GetSafeHwnd())
            m_wnd.DestroyWindow();
        ::DestroyWindow(m_hFrame);
        SetAppBarMessenger(m_previousShell);
        SetBrowserLauncher(m_previousLauncher);
        ClearTickerSettings();
    }
    void CreateTicker()
    {
        CWnd frame;
        frame.m_hWnd = m_hFrame;
        m_wnd.SetManualTicks(true);
        const BOOL created = m_wnd.Create(&frame);
        frame.m_hWnd = nullptr;
        ASSERT_TRUE(created);
    }
    // A news item of the test's entry, dated the given day of December 2026 (0: no valid date).
    CFeedItem* AddItem(const wchar_t* title, int day, const wchar_t* link = L"")
    {
        auto* item = new CFeedItem;
        item->m_nKind = FEED_KIND_ITEM;
        item->m_strTitleText = title;
        item->m_strLinkText = link;
        if (day > 0)
            item->m_dtDate = COleDateTime(2026, 12, day, 10, 0, 0);
        else
            item->m_dtDate.SetStatus(COleDateTime::invalid);
        m_entry.m_pChannel->m_items.AddTail(item);
        return item;
    }
    void ReloadAll()
    {
        CPtrList list;
        for (POSITION pos = m_entry.m_pChannel->m_items.GetHeadPosition(); pos;) {
            auto* line = new CNewsLineItem;
            line->m_pFeed = &m_entry;
            line->m_pItem = m_entry.m_pChannel->m_items.GetNext(pos);
            list.AddTail(line);
        }
        ::SendMessageW(m_wnd.GetSafeHwnd(), WM_NEWSLINE_RELOAD, reinterpret_cast<WPARAM>(&list), 0);
    }
    std::vector<std::wstring> Titles() const
    {
        std::vector<std::wstring> titles;
        for (const CTickerHeadline& headline : m_wnd.GetHeadlines())
            titles.push_back(headline.strTitle.GetString());
        return titles;
    }
    void Tick(UINT_PTR id)
    {
        ::SendMessageW(m_wnd.GetSafeHwnd(), WM_TIMER, id, 0);
    }
    // Ticks until the leading headline rests at the left border.
    void ScrollToRest()
    {
        const CNewsLineScroll& scroll = m_wnd.GetScroll();
        for (int i = 0; i < 1000; ++i) {
            Tick(CNewsLineWnd::TIMER_SCROLL);
            if (scroll.Leading().nEntry >= 0 && scroll.Leading().x <= CNewsLineScroll::kStep)
                return;
        }
        ADD_FAILURE() << "the headline never came to rest";
    }
    size_t FrameCount(UINT message) const
    {
        size_t count = 0;
        for (const FrameMessage& sent : g_frameMessages)
            count += sent.message == message;
        return count;
    }

    HWND m_hFrame = nullptr;
    CFeedItem m_entry;
    CNewsLineWnd m_wnd;
    AppBarMessenger m_previousShell = nullptr;
    BrowserLauncher m_previousLauncher = nullptr;
};

TEST_F(NewsLineWindow, ReloadSortsNewestFirstAndKeepsCopies)
{
    AddItem(L"Tuesday", 8);
    AddItem(L"Thursday", 10);
    AddItem(L"Undated", 0);
    AddItem(L"Wednesday", 9);
    CreateTicker();
    ReloadAll();
    // Tuesday stands first until a later date turns up; the undated item waits until nothing is before it.
    EXPECT_EQ((std::vector<std::wstring>{L"Thursday", L"Wednesday", L"Tuesday", L"Undated"}), Titles());
    EXPECT_TRUE(m_wnd.GetScroll().IsLaidOut());
    // The ticker shows its own copies: the records may change or go without it noticing.
    m_entry.m_pChannel->m_items.GetHead()->m_strTitleText = L"changed";
    EXPECT_EQ(L"Thursday", Titles()[0]);
    EXPECT_EQ(std::wstring(L"Example Feed"), m_wnd.GetHeadlines()[0].strFeedTitle.GetString());
}

TEST_F(NewsLineWindow, ConditionTwoKeepsTheNewestNumber)
{
    struct Case
    {
        int condition;
        size_t kept;
    } cases[] = {{2, 5}, {1, 8}, {0, 8}};
    for (int day = 1; day <= 8; ++day)
        AddItem(std::to_wstring(day).c_str(), day);
    CreateTicker();
    for (const Case& c : cases) {
        theCompanionsHost.WriteProfileInt(L"NewsLine", L"Condition", c.condition);
        theCompanionsHost.WriteProfileInt(L"NewsLine", L"Number", 5);
        ReloadAll();
        ASSERT_EQ(c.kept, Titles().size()) << "condition " << c.condition;
        EXPECT_EQ(L"8", Titles()[0]);
    }
}

TEST_F(NewsLineWindow, AnEmptyListShowsItsTextAndNoHeadline)
{
    CreateTicker();
    ReloadAll();
    EXPECT_TRUE(m_wnd.GetHeadlines().empty());
    EXPECT_FALSE(m_wnd.GetScroll().IsLaidOut());
    Tick(CNewsLineWnd::TIMER_SCROLL);
    EXPECT_EQ(nullptr, m_wnd.GetLeadingBitmap());
}

TEST_F(NewsLineWindow, SettingsGiveTheHeightAndColours)
{
    theCompanionsHost.WriteProfileInt(L"NewsLine", L"Height", 7);
    theCompanionsHost.WriteProfileInt(L"NewsLine", L"BackgoundColor", RGB(0, 0, 128));
    theCompanionsHost.WriteProfileInt(L"NewsLine", L"NewsColor", RGB(255, 255, 0));
    // A stored font of the wrong size is left aside.
    BYTE shortFont[40] = {};
    theCompanionsHost.WriteProfileBinary(L"NewsLine", L"FontNews", shortFont, sizeof(shortFont));
    CreateTicker();
    RECT client;
    ::GetClientRect(m_wnd.GetSafeHwnd(), &client);
    EXPECT_EQ(30, client.bottom);
    // Docked again at the bottom, it keeps the height.
    m_wnd.Dock(ABE_BOTTOM);
    ::GetClientRect(m_wnd.GetSafeHwnd(), &client);
    EXPECT_EQ(30, client.bottom);
    RECT window;
    ::GetWindowRect(m_wnd.GetSafeHwnd(), &window);
    EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN), window.bottom);
    m_wnd.Dock(ABE_TOP);
    EXPECT_EQ(RGB(0, 0, 128), m_wnd.GetBackgroundColor());

    AddItem(L"Colours", 9, L"http://127.0.0.1/a");
    ReloadAll();
    Tick(CNewsLineWnd::TIMER_SCROLL);
    HBITMAP bitmap = m_wnd.GetLeadingBitmap();
    ASSERT_NE(nullptr, bitmap);
    // The headline's bitmap: background around, some pixels in the news colour on its second line.
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    EXPECT_EQ(RGB(0, 0, 128), ::GetPixel(dc, 1, 29));
    int newsPixels = 0;
    for (int x = 22; x < 120; ++x)
        for (int y = 14; y < 30; ++y)
            newsPixels += ::GetPixel(dc, x, y) == RGB(255, 255, 0);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    EXPECT_GT(newsPixels, 10);
}

TEST_F(NewsLineWindow, AClickOnTheHeldHeadlineOpensItAndTellsTheFrame)
{
    CFeedItem* item = AddItem(L"Open me", 9, L"http://127.0.0.1/open-me");
    CreateTicker();
    ReloadAll();
    ScrollToRest();
    HWND hWnd = m_wnd.GetSafeHwnd();
    // The cursor over the leading headline holds it, then the click opens it.
    ::SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, 10));
    EXPECT_TRUE(m_wnd.IsHovering());
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 10));
    ::SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(40, 10));
    EXPECT_EQ((std::vector<std::wstring>{L"http://127.0.0.1/open-me"}), g_opened);
    ASSERT_EQ(1u, FrameCount(WM_NEWSLINE_ITEM_OPENED));
    EXPECT_EQ(reinterpret_cast<WPARAM>(item), g_frameMessages.back().wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&m_entry), g_frameMessages.back().lParam);
    ::SendMessageW(hWnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(m_wnd.IsHovering());

    // Once every headline was shown after an opening, the frame is asked for a new list.
    Tick(CNewsLineWnd::TIMER_REST);
    Tick(CNewsLineWnd::TIMER_SCROLL);
    EXPECT_EQ(1u, FrameCount(WM_FRAME_EVENT));
    EXPECT_EQ(static_cast<WPARAM>(FRAME_EVENT_TICKER_CHANGED), g_frameMessages.back().wParam);
}

TEST_F(NewsLineWindow, LinksAreCheckedAndRemovedItemsAreNotNamed)
{
    struct Case
    {
        const wchar_t* link;
        const wchar_t* channelLink;
        bool removed;
        const wchar_t* opened; // null: nothing
        bool told;
    } cases[] = {
        {L"javascript:alert(1)", L"", false, nullptr, false},
        {L"file:///c:/windows/system32/calc.exe", L"", false, nullptr, false},
        {L"", L"http://127.0.0.1/channel", false, L"http://127.0.0.1/channel", true},
        {L"", L"", false, nullptr, false},
        {L"http://127.0.0.1/gone", L"", true, L"http://127.0.0.1/gone", false},
    };
    CreateTicker();
    HWND hWnd = m_wnd.GetSafeHwnd();
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(c.link));
        g_opened.clear();
        g_frameMessages.clear();
        while (!m_entry.m_pChannel->m_items.IsEmpty())
            delete m_entry.m_pChannel->m_items.RemoveHead();
        m_entry.m_pChannel->m_info.m_strLink = c.channelLink;
        CFeedItem* item = AddItem(L"Item", 9, c.link);
        ReloadAll();
        if (c.removed)
            ::SendMessageW(hWnd, WM_NEWSLINE_ITEM_REMOVED, reinterpret_cast<WPARAM>(item), 0);
        ScrollToRest();
        ::SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, 10));
        ::SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(40, 10));
        EXPECT_EQ(c.opened ? std::vector<std::wstring>{c.opened} : std::vector<std::wstring>{}, g_opened);
        EXPECT_EQ(c.told ? 1u : 0u, FrameCount(WM_NEWSLINE_ITEM_OPENED));
        ::SendMessageW(hWnd, WM_MOUSELEAVE, 0, 0);
    }
}

TEST_F(NewsLineWindow, ClickingBesideTheHeadlinesOpensNothing)
{
    AddItem(L"Short", 9, L"http://127.0.0.1/a");
    CreateTicker();
    ReloadAll();
    ScrollToRest();
    RECT client;
    ::GetClientRect(m_wnd.GetSafeHwnd(), &client);
    ::SendMessageW(m_wnd.GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(client.right - 2, 10));
    EXPECT_TRUE(g_opened.empty());
    EXPECT_EQ(0u, FrameCount(WM_NEWSLINE_ITEM_OPENED));
}

TEST_F(NewsLineWindow, MenuCommandsDockAndClose)
{
    CreateTicker();
    HWND hWnd = m_wnd.GetSafeHwnd();
    ::SendMessageW(hWnd, WM_COMMAND, ID_NEWSLINE_BOTTOM, 0);
    EXPECT_EQ(static_cast<UINT>(ABE_BOTTOM), m_wnd.GetEdge());
    RECT rect;
    ::GetWindowRect(hWnd, &rect);
    EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN), rect.bottom);
    ::SendMessageW(hWnd, WM_COMMAND, ID_NEWSLINE_TOP, 0);
    EXPECT_EQ(static_cast<UINT>(ABE_TOP), m_wnd.GetEdge());
    ::SendMessageW(hWnd, WM_COMMAND, ID_NEWSLINE_CLOSE, 0);
    // Posted: the frame stops the ticker's thread once this command has unwound.
    ASSERT_TRUE(lqtest::PumpUntil([&] { return FrameCount(WM_NEWSLINE_CLOSED) > 0; }));
    EXPECT_TRUE(::IsWindow(hWnd));
}

TEST_F(NewsLineWindow, PropertiesReloadTheSettingsAndAskForANewListWhenTheFilterChanged)
{
    using lqtest::SheetScript;
    enum Action
    {
        PickFilter,
        PickSmallest,
        PickSmallestThenCancel,
    };
    struct Case
    {
        const char* name;
        Action action;
        int filterAfter;
        int heightAfter;
        size_t frameEvents;
        int clientHeight;
        bool laidOut; // laid out again at once (else the frame's reload lays it out)
    } cases[] = {
        {"another filter", PickFilter, 0, -1, 1, 30, false},
        {"another size", PickSmallest, -1, 0, 0, 24, true},
        {"cancel", PickSmallestThenCancel, -1, -1, 0, 30, true},
    };
    AddItem(L"One", 9, L"http://127.0.0.1/one");
    AddItem(L"Two", 10, L"http://127.0.0.1/two");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (m_wnd.GetSafeHwnd())
            m_wnd.DestroyWindow();
        ClearTickerSettings();
        g_frameMessages.clear();
        CreateTicker();
        ReloadAll();
        Tick(CNewsLineWnd::TIMER_SCROLL);
        ASSERT_NE(nullptr, m_wnd.GetLeadingBitmap());
        HWND hSheet = nullptr;
        SheetScript script({[&] {
            hSheet = SheetScript::FindDialog(L"NewsLine Properties");
            HWND hPage = SheetScript::CurrentPage(hSheet);
            if (!hPage)
                return false;
            if (c.action == PickFilter) {
                HWND combo = ::GetDlgItem(hPage, IDC_NEWSLINE_FILTER);
                ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
                ::SendMessageW(hPage, WM_COMMAND, MAKEWPARAM(IDC_NEWSLINE_FILTER, CBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(combo));
            } else {
                ::SendMessageW(hSheet, PSM_SETCURSEL, 1, 0);
                hPage = SheetScript::CurrentPage(hSheet);
                HWND slider = ::GetDlgItem(hPage, IDC_NEWSLINE_SLIDER);
                ::SendMessageW(slider, TBM_SETPOS, TRUE, 0);
                ::SendMessageW(hPage, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
            }
            if (c.action == PickSmallestThenCancel)
                SheetScript::PressCancel(hSheet);
            else
                SheetScript::PressOK(hSheet);
            return true;
        }});
        ::SendMessageW(m_wnd.GetSafeHwnd(), WM_COMMAND, ID_NEWSLINE_PROPERTIES, 0);
        EXPECT_TRUE(script.Done());
        EXPECT_FALSE(::IsWindow(hSheet));
        EXPECT_EQ(c.filterAfter, static_cast<int>(theCompanionsHost.GetProfileInt(L"NewsLine", L"Filter", -1)));
        EXPECT_EQ(c.heightAfter, static_cast<int>(theCompanionsHost.GetProfileInt(L"NewsLine", L"Height", -1)));
        EXPECT_EQ(c.frameEvents, FrameCount(WM_FRAME_EVENT));
        if (c.frameEvents) {
            EXPECT_EQ(static_cast<WPARAM>(FRAME_EVENT_TICKER_CHANGED), g_frameMessages.back().wParam);
        }
        RECT client;
        ::GetClientRect(m_wnd.GetSafeHwnd(), &client);
        EXPECT_EQ(c.clientHeight, client.bottom);
        EXPECT_EQ(c.laidOut, m_wnd.GetScroll().IsLaidOut());
        EXPECT_EQ(2u, m_wnd.GetHeadlines().size());
    }
}

// ---- Its own thread

TEST(NewsLineThread, StartsItsWindowAndEndsWhenClosed)
{
    theCompanionsHost.SetRegistryKey(L"Lanternquill Tests");
    AppBarMessenger previous = SetAppBarMessenger(AnswerAll);
    HWND hFrame = CreateRecordingFrame();
    g_hNewsLineExitEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    auto* thread = new CNewsLineThread(hFrame);
    ASSERT_TRUE(thread->CreateThread());
    const DWORD threadId = thread->m_nThreadID; // the object is the thread's from here on
    HWND hTicker = nullptr;
    ASSERT_TRUE(lqtest::PumpUntil([&] {
        hTicker = ::FindWindowW(nullptr, L"NewsLine");
        return hTicker && ::GetWindowThreadProcessId(hTicker, nullptr) == threadId;
    }));
    EXPECT_EQ(hFrame, ::GetWindow(hTicker, GW_OWNER));
    ::SendMessageW(hTicker, WM_CLOSE, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(g_hNewsLineExitEvent, 10000));
    EXPECT_FALSE(::IsWindow(hTicker));
    ::CloseHandle(g_hNewsLineExitEvent);
    g_hNewsLineExitEvent = nullptr;
    ::DestroyWindow(hFrame);
    SetAppBarMessenger(previous);
}

} // namespace
