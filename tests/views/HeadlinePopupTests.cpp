// The headline drop-down and its rows: sizes, opening an item (through the checked launcher only), the context
// menu's commands and states, scrolling with the buttons, the cache written on close, and the splitter's view.
#include "tests/views/NavPaneTestSupport.h"

#include "framework/win/Menu.h"
#include "res/resource.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "views/FeedPopupBar.h"
#include "views/FeedViewControl.h"
#include "views/SplitterHelperView.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace panetest;

namespace {

NewsData News(const wchar_t* title, const wchar_t* link, int state = FEED_STATE_NEW, const wchar_t* enclosure = nullptr)
{
    return {title, link, state, enclosure};
}

// Opens the drop-down of entry nIndex with a click and waits for its window.
CFeedPopupBar* OpenDropDown(PaneFixture& fixture, int nIndex)
{
    fixture.Frame().SetForegroundWindow();
    ClickAt(fixture.RowCentre(fixture.Entry(nIndex)));
    CFeedPopupBar* pBar = fixture.Pane().GetPopupBar();
    if (pBar == nullptr || !lqtest::PumpUntil([&] { return ::IsWindowVisible(pBar->GetSafeHwnd()) != FALSE; }, 3000))
        return nullptr;
    return pBar;
}

POINT RowScreenCentre(CFeedPopupBar* pBar, int nIndex)
{
    CPoint pt = pBar->GetControl(nIndex)->GetRect().CenterPoint();
    pt.y -= pBar->GetScrollOffset();
    pBar->ClientToScreen(&pt);
    return pt;
}

} // namespace

// ---- Rows

TEST(HeadlineRow, SizeComesFromTheSharedWidthAndTheItemsHeadlineHeight)
{
    CClientDC dc(nullptr);
    CFeedViewControl empty;
    EXPECT_EQ(CSize(0, 0), empty.GetSize(&dc)) << "a row without an item takes no room";

    CFeedItem item;
    item.m_strTitle = item.m_strTitleText = L"A headline long enough to wrap once or twice in a narrow row";
    CFeedViewControl row;
    EXPECT_TRUE(row.SetItem(&item));
    for (int nWidth : {200, 400}) {
        CFeedViewControl::SetRowWidth(nWidth);
        const CSize size = row.GetSize(&dc);
        EXPECT_EQ(nWidth, size.cx);
        EXPECT_EQ(item.CalcHeadlineHeight(&dc, nWidth - 35), size.cy);
        EXPECT_EQ(nWidth - 35, item.m_nHeadlineWidth);
    }
    CXTPControl* pClone = row.Clone();
    auto* pCloneRow = DYNAMIC_DOWNCAST(CFeedViewControl, pClone);
    ASSERT_NE(nullptr, pCloneRow);
    EXPECT_EQ(nullptr, pCloneRow->GetItem()) << "a clone shows nothing until it is given an item";
    pClone->InternalRelease();
}

TEST(HeadlineRow, AnItemBeingRefreshedDrawsNoHeadline)
{
    CFeedItem item;
    item.m_strTitle = item.m_strTitleText = L"Headline";
    CFeedViewControl row;
    row.SetItem(&item);
    row.SetDrawRect(CRect(0, 0, 200, 30));
    lqtest::MemoryCanvas canvas(200, 30);
    item.m_bUpdating = true;
    row.Draw(&canvas.Dc());
    EXPECT_TRUE(item.m_rcLast.IsRectEmpty());
    item.m_bUpdating = false;
    row.Draw(&canvas.Dc());
    EXPECT_EQ(CRect(0, 0, 200, 30), item.m_rcLast);
}

TEST(HeadlinePopup, ChoosingARowOpensItsAddressMarksItReadAndSavesTheCacheOnClose)
{
    struct Case
    {
        const wchar_t* itemLink;
        const wchar_t* siteLink;
        const wchar_t* account;
        const wchar_t* opened; // null: nothing opens
        bool usage;
    } cases[] = {
        {L"http://news.example/a", L"http://site.example/", L"", L"http://news.example/a", true},
        {L"", L"http://site.example/", L"", L"http://site.example/", true},
        {L"", L"", L"", nullptr, false},
        {L"http://news.example/b", L"", L"reader", L"http://news.example/b", false},
        {L"file:///C:/evil.exe", L"", L"", nullptr, true},
    };
    for (const Case& c : cases) {
        ScopedSettings settings;
        settings.Settings().nViewStyle = 1;
        LauncherLog launcher;
        PaneFixture fixture(
            {{L"World", L"Channel", FEED_KIND_FEED, {News(L"First", c.itemLink), News(L"Second", L"")}, true}});
        CFeedItem* pEntry = fixture.Entry(0);
        pEntry->m_strFile = L"channel";
        pEntry->m_strAccountName = c.account;
        pEntry->m_pChannel->m_info.m_strLink = c.siteLink;
        CFeedItem* pItem = pEntry->m_pChannel->m_items.GetHead();
        CFeedPopupBar* pBar = OpenDropDown(fixture, 0);
        ASSERT_NE(nullptr, pBar);
        fixture.Frame().m_usage.clear();

        ClickAt(RowScreenCentre(pBar, 0));
        ASSERT_TRUE(lqtest::PumpUntil([&] { return pBar->GetSafeHwnd() == nullptr; }, 3000))
            << "choosing a row closes the list";
        if (c.opened != nullptr) {
            ASSERT_EQ(1u, LauncherLog::s_opened.size());
            EXPECT_EQ(c.opened, LauncherLog::s_opened[0]);
        } else {
            EXPECT_TRUE(LauncherLog::s_opened.empty());
        }
        const bool bOpenedSomething = c.itemLink[0] != 0 || c.siteLink[0] != 0;
        EXPECT_EQ(bOpenedSomething ? FEED_STATE_READ : FEED_STATE_UNREAD, pItem->m_nReadState)
            << "with no address the item stays as it was (made unread by the save)";
        EXPECT_EQ(c.usage ? 1u : 0u, fixture.Frame().m_usage.size());
        if (c.usage) {
            EXPECT_EQ(std::make_pair(WPARAM(5), pItem), fixture.Frame().m_usage[0]);
        }

        // Closing wrote the cache with the new items made unread.
        const std::string cache = lqtest::ReadFileBytes(static_cast<LPCTSTR>(pEntry->GetCacheFileName()));
        EXPECT_FALSE(cache.empty());
        EXPECT_EQ(FEED_STATE_UNREAD, pEntry->m_pChannel->m_items.GetTail()->m_nReadState);
        CFeedChannel reread;
        ASSERT_TRUE(reread.LoadFile(pEntry->GetCacheFileName(), nullptr, CFeedChannel::LOAD_OWN_FILE));
        ASSERT_EQ(2, reread.m_items.GetCount());
        EXPECT_EQ(FEED_STATE_UNREAD, reread.m_items.GetTail()->m_nReadState);
    }
}

TEST(HeadlinePopup, ContextMenuStatesAndMarkingCommandsKeepTheListOpen)
{
    ScopedSettings settings;
    settings.Settings().nViewStyle = 1;
    MenuRecorder menus;
    PaneFixture fixture({{L"World",
                          L"Channel",
                          FEED_KIND_FEED,
                          {News(L"New one", L"http://a.example/", FEED_STATE_NEW, L"http://a.example/a.mp3"),
                           News(L"Read one", L"http://b.example/", FEED_STATE_READ)},
                          true}});
    CFeedItem* pEntry = fixture.Entry(0);
    CFeedItem* pNew = pEntry->m_pChannel->m_items.GetHead();
    CFeedItem* pRead = pEntry->m_pChannel->m_items.GetTail();
    CFeedPopupBar* pBar = OpenDropDown(fixture, 0);
    ASSERT_NE(nullptr, pBar);

    auto contextAt = [&](POINT pt) {
        menus.Clear();
        pBar->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(pBar->GetSafeHwnd()), MAKELPARAM(pt.x, pt.y));
    };
    // Between the rows (on the border below the last one) no menu opens.
    CRect rcBar;
    pBar->GetWindowRect(&rcBar);
    contextAt({rcBar.left + 1, rcBar.bottom - 1});
    EXPECT_EQ(0u, menus.MenuId());

    contextAt(RowScreenCentre(pBar, 0));
    EXPECT_EQ(UINT(IDR_CONTEXT_HEADLINE), menus.MenuId());
    EXPECT_TRUE(menus.Enabled(ID_HEADLINE_DOWNLOAD_ENCLOSURE));
    EXPECT_TRUE(menus.Enabled(ID_HEADLINE_MARK_READ));
    EXPECT_FALSE(menus.Enabled(ID_HEADLINE_MARK_UNREAD)) << "a new item is not read";
    EXPECT_TRUE(menus.Enabled(ID_HEADLINE_OPEN));

    contextAt(RowScreenCentre(pBar, 1));
    EXPECT_FALSE(menus.Enabled(ID_HEADLINE_DOWNLOAD_ENCLOSURE)) << "no enclosure";
    EXPECT_FALSE(menus.Enabled(ID_HEADLINE_MARK_READ)) << "already read";
    EXPECT_TRUE(menus.Enabled(ID_HEADLINE_MARK_UNREAD));

    pBar->SendMessage(WM_COMMAND, ID_HEADLINE_MARK_UNREAD);
    EXPECT_EQ(FEED_STATE_UNREAD, pRead->m_nReadState);
    EXPECT_EQ(1, pEntry->m_nUnreadCount);
    EXPECT_NE(nullptr, pBar->GetSafeHwnd()) << "the list stays open to show the new state";

    contextAt(RowScreenCentre(pBar, 0));
    pBar->SendMessage(WM_COMMAND, ID_HEADLINE_MARK_READ);
    EXPECT_EQ(FEED_STATE_READ, pNew->m_nReadState);
    pBar->SendMessage(WM_COMMAND, ID_HEADLINE_MARK_ALL_READ);
    EXPECT_EQ(FEED_STATE_READ, pRead->m_nReadState);
    EXPECT_EQ(2, pEntry->m_nReadCount);
    EXPECT_NE(nullptr, pBar->GetSafeHwnd());

    contextAt(RowScreenCentre(pBar, 0));
    pBar->SendMessage(WM_COMMAND, ID_HEADLINE_DOWNLOAD_ENCLOSURE);
    EXPECT_EQ(nullptr, pBar->GetSafeHwnd()) << "the enclosure command closes the list";
    ASSERT_EQ(1, fixture.Frame().Count(L"SaveEnclosure"));
    EXPECT_EQ(pNew, fixture.Frame().Last(L"SaveEnclosure")->pRecord);
}

// The real context menu over the drop-down, chosen with the mouse: its command runs at once, while the list is
// still open underneath (it once ran only after Escape was pressed).
TEST(HeadlinePopup, ACommandChosenInTheRealContextMenuRunsAtOnce)
{
    ScopedSettings settings;
    settings.Settings().nViewStyle = 1;
    PaneFixture fixture({{L"World",
                          L"Channel",
                          FEED_KIND_FEED,
                          {News(L"New one", L"http://a.example/"), News(L"Other one", L"http://b.example/")},
                          true}});
    CFeedItem* pNew = fixture.Entry(0)->m_pChannel->m_items.GetHead();
    CFeedPopupBar* pBar = OpenDropDown(fixture, 0);
    ASSERT_NE(nullptr, pBar);
    const POINT ptRow = RowScreenCentre(pBar, 0);

    // Watched from this thread's timer, which also runs inside the menu's loop: where the menu's item is, and
    // whether the item has been marked.
    std::atomic<bool> bItemFound{false};
    std::atomic<bool> bMarked{false};
    std::atomic<LONG> nItemX{0}, nItemY{0};
    const HWND hBar = pBar->GetSafeHwnd();
    auto watch = [&] {
        if (pNew->m_nReadState == FEED_STATE_READ)
            bMarked = true;
        if (bItemFound)
            return;
        struct Search
        {
            HWND hBar;
            CXTPPopupBar* pMenu;
        } search{hBar, nullptr};
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND hWnd, LPARAM lParam) -> BOOL {
                auto* pSearch = reinterpret_cast<Search*>(lParam);
                auto* pPopup = DYNAMIC_DOWNCAST(CXTPPopupBar, CWnd::FromHandlePermanent(hWnd));
                if (hWnd != pSearch->hBar && pPopup != nullptr && ::IsWindowVisible(hWnd))
                    pSearch->pMenu = pPopup;
                return pSearch->pMenu == nullptr;
            },
            reinterpret_cast<LPARAM>(&search));
        CXTPControl* pItem =
            search.pMenu != nullptr ? search.pMenu->GetControls()->FindControl(ID_HEADLINE_MARK_READ) : nullptr;
        if (pItem == nullptr)
            return;
        CPoint pt = pItem->GetRect().CenterPoint();
        search.pMenu->ClientToScreen(&pt);
        nItemX = pt.x;
        nItemY = pt.y;
        bItemFound = true;
    };
    lqtest::TimedSteps steps(std::vector<lqtest::TimedSteps::Step>(1000, watch), 10);
    std::atomic<bool> bMarkedBeforeEscape{false};
    std::thread script([&] {
        auto waitFor = [](const std::atomic<bool>& flag) {
            for (int i = 0; i < 300 && !flag; ++i)
                ::Sleep(10); // the watch above decides; this only paces the script
            return flag.load();
        };
        RightClickAt(ptRow);
        if (waitFor(bItemFound))
            ClickAt({nItemX.load(), nItemY.load()});
        bMarkedBeforeEscape = waitFor(bMarked);
        if (!bMarkedBeforeEscape)
            lqtest::TapKey(VK_ESCAPE);
    });
    lqtest::PumpUntil([&] { return bMarked.load() || pNew->m_nReadState == FEED_STATE_READ; }, 8000);
    script.join();
    steps.Stop();
    EXPECT_TRUE(bItemFound.load()) << "the context menu opened";
    EXPECT_TRUE(bMarkedBeforeEscape.load());
    EXPECT_EQ(FEED_STATE_READ, pNew->m_nReadState);
    if (pBar->GetSafeHwnd() != nullptr)
        pBar->SetTrackingMode(FALSE);
}

TEST(HeadlinePopup, ALongListScrollsWithItsButtonsWithinItsRows)
{
    ScopedSettings settings;
    settings.Settings().nViewStyle = 1;
    EntryData data{L"World", L"Busy channel", FEED_KIND_FEED, {}, true};
    std::vector<std::wstring> titles;
    for (int i = 0; i < 120; ++i)
        titles.push_back(L"Headline number " + std::to_wstring(i));
    for (const std::wstring& title : titles)
        data.news.push_back(News(title.c_str(), L"http://news.example/"));
    PaneFixture fixture({data});
    CFeedPopupBar* pBar = OpenDropDown(fixture, 0);
    ASSERT_NE(nullptr, pBar);
    ASSERT_TRUE(pBar->IsScrolling());
    EXPECT_EQ(0, pBar->GetScrollOffset());
    EXPECT_FALSE(pBar->GetScrollButton(TRUE).bCanScroll) << "at the top the up button cannot scroll";
    EXPECT_TRUE(pBar->GetScrollButton(FALSE).bCanScroll);
    CRect rcWindow;
    pBar->GetWindowRect(&rcWindow);
    CRect rcWork;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_LE(rcWindow.Height(), rcWork.Height()) << "the list is cut to the work area";

    // Resting the mouse on the down button scrolls in steps of 20 pixels.
    CPoint ptDown = pBar->GetScrollButton(FALSE).rc.CenterPoint();
    pBar->ClientToScreen(&ptDown);
    MoveMouse(ptDown);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return pBar->GetScrollOffset() >= 60; }, 5000));
    EXPECT_EQ(0, pBar->GetScrollOffset() % 20);
    EXPECT_TRUE(pBar->GetScrollButton(TRUE).bCanScroll);

    // Leaving the button stops the timer.
    MoveMouse(rcWindow.CenterPoint());
    EXPECT_EQ(0u, pBar->GetScrollButton(FALSE).nTimer);

    // The offset stops at the rows' height less the visible band, and at 0.
    pBar->ScrollBy(1000000);
    const int nLimit = pBar->GetScrollOffset();
    EXPECT_GT(nLimit, 0);
    EXPECT_FALSE(pBar->GetScrollButton(FALSE).bCanScroll);
    pBar->ScrollBy(20);
    EXPECT_EQ(nLimit, pBar->GetScrollOffset());
    pBar->ScrollBy(-1000000);
    EXPECT_EQ(0, pBar->GetScrollOffset());
    EXPECT_FALSE(pBar->GetScrollButton(TRUE).bCanScroll);

    // A row under the cursor is found through the scroll offset.
    pBar->ScrollBy(200);
    CPoint ptClient(20, pBar->GetScrollButton(TRUE).rc.bottom + 5);
    CFeedViewControl* pRow = pBar->RowFromPoint(ptClient);
    ASSERT_NE(nullptr, pRow);
    EXPECT_TRUE(pRow->GetRect().PtInRect(CPoint(ptClient.x, ptClient.y + pBar->GetScrollOffset())));
}

TEST(HeadlinePopup, AChannelWithoutItemsStillDropsDownAQuarterScreenWide)
{
    ScopedSettings settings;
    settings.Settings().nViewStyle = 1;
    PaneFixture fixture({{L"World", L"Empty", FEED_KIND_FEED, {}, true}});
    CFeedPopupBar* pBar = OpenDropDown(fixture, 0);
    ASSERT_NE(nullptr, pBar);
    EXPECT_EQ(0, pBar->GetControlCount());
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN) / 4, CFeedViewControl::GetRowWidth());
    CRect rc;
    pBar->GetClientRect(&rc);
    EXPECT_GE(rc.Height(), 22);
}

// ---- Splitter view

TEST(SplitterHelperView, HostsTheFramesPaneAndSizesIt)
{
    CWinApp app(L"SplitterViewTest");
    CFakeFrame frame;
    ASSERT_TRUE(frame.CreateFrame(CRect(100, 100, 500, 400)));
    app.m_pMainWnd = &frame;
    CFeedTaskPanel pane;
    frame.m_pPane = &pane;

    auto* pView = new CSplitterHelperView;
    ASSERT_TRUE(pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 180, 250), &frame, 1));
    EXPECT_NE(0u, pView->GetStyle() & WS_CLIPCHILDREN);
    ASSERT_NE(nullptr, pane.GetSafeHwnd());
    EXPECT_EQ(111, pane.GetDlgCtrlID());
    EXPECT_EQ(pView->GetSafeHwnd(), ::GetParent(pane.GetSafeHwnd()));
    EXPECT_NE(0u, pane.GetStyle() & WS_CLIPSIBLINGS);

    pView->MoveWindow(0, 0, 150, 320);
    CRect rcPane;
    pane.GetClientRect(&rcPane);
    EXPECT_EQ(CSize(150, 320), rcPane.Size());

    pView->DestroyWindow(); // the view deletes itself
    app.m_pMainWnd = nullptr;
    frame.DestroyWindow();
}

// A frame whose pane site is a member of its own hands the site to the view after making it.
TEST(SplitterHelperView, HostsThePaneOfASiteHandedToIt)
{
    CWinApp app(L"SplitterViewSiteTest");
    CFakeFrame frame;
    ASSERT_TRUE(frame.CreateFrame(CRect(100, 100, 500, 400)));
    CFeedTaskPanel pane;
    frame.m_pPane = &pane;

    auto* pView = new CSplitterHelperView;
    ASSERT_TRUE(pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 180, 250), &frame, 1));
    // Its parent is no frame window and there is no main window: no site is found and nothing is hosted yet.
    EXPECT_EQ(nullptr, pView->GetFrameSite());
    EXPECT_EQ(nullptr, pane.GetSafeHwnd());

    pView->SetFrameSite(&frame);
    EXPECT_EQ(static_cast<CFeedPaneSite*>(&frame), pView->GetFrameSite());
    ASSERT_NE(nullptr, pane.GetSafeHwnd());
    EXPECT_EQ(pView->GetSafeHwnd(), ::GetParent(pane.GetSafeHwnd()));
    CRect rcPane;
    pane.GetClientRect(&rcPane);
    EXPECT_EQ(CSize(180, 250), rcPane.Size());

    pView->DestroyWindow();
    frame.DestroyWindow();
}
