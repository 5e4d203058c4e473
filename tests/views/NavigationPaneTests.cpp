// The navigation pane: its contents and look from fixture lists, hover and click by real input, its context
// menus and commands, and records leaving the pane while a drop-down shows them.
#include "tests/views/NavPaneTestSupport.h"

#include "framework/win/Menu.h"
#include "res/resource.h"
#include "tests/framework/MemoryCanvas.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPThemeDefault.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "views/FeedPopupBar.h"
#include "views/FeedTaskPanelPaintManager.h"
#include "views/FeedViewControl.h"
#include "views/Picture.h"
#include "views/SkinCaptionColors.h"

#include <gtest/gtest.h>

using namespace panetest;

namespace {

const NewsData kNew = {L"Fresh headline", L"http://news.example/fresh", FEED_STATE_NEW, nullptr};
const NewsData kUnread = {L"Unread headline", L"http://news.example/unread", FEED_STATE_UNREAD, nullptr};
const NewsData kRead = {L"Read headline", L"http://news.example/read", FEED_STATE_READ, nullptr};

// "World": two channels with news and one read; "Tech": one read channel, a result page, a notice.
std::vector<EntryData> StandardList()
{
    return {
        {L"World", L"Daily Planet", FEED_KIND_FEED, {kNew, kUnread, kRead}, true},
        {L"World", L"Evening Star", FEED_KIND_FEED, {kUnread}, true},
        {L"World", L"Old Gazette", FEED_KIND_FEED, {kRead, kRead}, true},
        {L"Tech", L"Quiet Bits", FEED_KIND_FEED, {kRead}, true},
        {L"Tech", L"Found 2", FEED_KIND_SEARCH_RESULT, {kRead, kRead}, true},
        {L"Tech", L"Server notice", FEED_KIND_NOTICE, {}, false},
    };
}

std::wstring GroupCaption(CFeedTaskPanel& pane, int nIndex)
{
    return static_cast<LPCTSTR>(CFeedTaskPanelPaintManager::FormatGroupCaption(pane.GetAt(nIndex)));
}

// Opens the pane's context menu for a hot item through WM_CONTEXTMENU and returns the menu id shown (0 none).
UINT ContextMenuFor(PaneFixture& fixture, MenuRecorder& menus, CXTPTaskPanelItem* pHot)
{
    fixture.Pane().SetHotItem(pHot);
    menus.Clear();
    POINT pt = {10, 10};
    fixture.Pane().SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(fixture.Pane().GetSafeHwnd()),
                               MAKELPARAM(pt.x, pt.y));
    return menus.MenuId();
}

} // namespace

// ---- Contents and look

TEST(NavigationPane, FixtureListGivesGroupsByCategoryWithTheEntriesInOrder)
{
    ScopedSettings settings;
    PaneFixture fixture(StandardList());
    CFeedTaskPanel& pane = fixture.Pane();
    ASSERT_EQ(2, pane.GetGroupCount());
    EXPECT_EQ(L"World", GroupCaption(pane, 0));
    EXPECT_EQ(L"Tech", GroupCaption(pane, 1));
    ASSERT_EQ(3, pane.GetAt(0)->GetItemCount());
    EXPECT_EQ(fixture.Entry(0), CFeedTaskPanel::GetRecord(pane.GetAt(0)->GetAt(0)));
    EXPECT_EQ(fixture.Entry(5), CFeedTaskPanel::GetRecord(pane.GetAt(1)->GetAt(2)));
    EXPECT_EQ(nullptr, CFeedTaskPanel::GetRecord(pane.GetAt(0))) << "a group stands for no record";
    EXPECT_EQ(pane.GetAt(1), pane.FindGroupByCaption(L"Tech"));
    EXPECT_EQ(nullptr, pane.FindGroupByCaption(L"tech")) << "captions compare case-sensitively";

    // Every shown row remembered where it was drawn, one below the other, 39 pixels high.
    const CRect rc0 = fixture.Entry(0)->m_rcLast;
    const CRect rc1 = fixture.Entry(1)->m_rcLast;
    EXPECT_EQ(39, rc0.Height());
    EXPECT_LE(rc0.bottom, rc1.top);
    EXPECT_FALSE(fixture.Entry(5)->m_rcLast.IsRectEmpty());
}

TEST(NavigationPane, StatusLinesOfChannelEntries)
{
    ScopedSettings settings;
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    auto entryAt = [](int nYear, int nMonth, int nDay) {
        auto pEntry = MakeEntry({L"C", L"Channel", FEED_KIND_FEED, {kNew, kUnread, kRead, kRead}, true});
        pEntry->m_dtDate.SetDateTime(nYear, nMonth, nDay, 9, 41, 0);
        return pEntry;
    };
    auto timeText = [](const COleDateTime& date) {
        SYSTEMTIME st = {};
        date.GetAsSystemTime(st);
        WCHAR sz[100] = L"";
        ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, sz, 100);
        return std::wstring(sz);
    };
    auto dateText = [](const COleDateTime& date) {
        SYSTEMTIME st = {};
        date.GetAsSystemTime(st);
        WCHAR sz[100] = L"";
        ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, sz, 100);
        return std::wstring(sz);
    };

    auto today = entryAt(now.wYear, now.wMonth, now.wDay);
    EXPECT_EQ(L"2/4 unread   Updated: " + timeText(today->m_dtDate),
              std::wstring(CFeedTaskPanelPaintManager::FormatChannelStatus(today.get(), now)));
    // The same month and day of an earlier year still counts as today: only the time shows.
    auto lastYear = entryAt(now.wYear - 1, now.wMonth, now.wDay == 29 && now.wMonth == 2 ? 28 : now.wDay);
    if (!(now.wDay == 29 && now.wMonth == 2)) {
        EXPECT_EQ(L"2/4 unread   Updated: " + timeText(lastYear->m_dtDate),
                  std::wstring(CFeedTaskPanelPaintManager::FormatChannelStatus(lastYear.get(), now)));
    }
    auto otherDay = entryAt(now.wYear, now.wMonth == 1 ? 2 : 1, 15);
    EXPECT_EQ(L"2/4 unread   Updated: " + dateText(otherDay->m_dtDate),
              std::wstring(CFeedTaskPanelPaintManager::FormatChannelStatus(otherDay.get(), now)));

    today->m_bUpdating = true;
    EXPECT_EQ(L"Updating...", std::wstring(CFeedTaskPanelPaintManager::FormatChannelStatus(today.get(), now)));
    auto unreachable = MakeEntry({L"C", L"Gone", FEED_KIND_FEED, {}, false});
    EXPECT_EQ(L"Unreachable and no local copy available",
              std::wstring(CFeedTaskPanelPaintManager::FormatChannelStatus(unreachable.get(), now)));
}

TEST(NavigationPane, HiddenReadChannelsLeaveTheirCategoryWithACount)
{
    ScopedSettings settings;
    settings.Settings().nHideReadChannels = 1;
    PaneFixture fixture({
        {L"Archive", L"One", FEED_KIND_FEED, {kRead}, true},
        {L"Archive", L"Two", FEED_KIND_FEED, {kRead, kRead}, true},
        {L"Archive", L"Three", FEED_KIND_FEED, {}, true},
        {L"Busy", L"Four", FEED_KIND_FEED, {kNew}, true},
    });
    EXPECT_EQ(L"Archive (3 hidden)", GroupCaption(fixture.Pane(), 0));
    EXPECT_EQ(L"Busy (0 hidden)", GroupCaption(fixture.Pane(), 1));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0, fixture.Entry(i)->m_rcLast.Height()) << "hidden row " << i << " takes no room";
    EXPECT_EQ(39, fixture.Entry(3)->m_rcLast.Height());

    settings.Settings().nHideReadChannels = 0;
    EXPECT_EQ(L"Archive", GroupCaption(fixture.Pane(), 0));
}

TEST(NavigationPane, RowsMeasureByKind)
{
    ScopedSettings settings;
    CFeedTaskPanelPaintManager look;
    CClientDC dc(nullptr);
    struct Case
    {
        int kind;
        bool read;
        int hide;
        CSize size;
        int type;
    } cases[] = {
        {FEED_KIND_FEED, false, 0, CSize(200, 39), TaskPanelItemLink},
        {FEED_KIND_FEED, true, 1, CSize(0, 0), TaskPanelItemLink},
        {FEED_KIND_FEED, true, 0, CSize(200, 39), TaskPanelItemLink},
        {FEED_KIND_IFRAME, false, 1, CSize(236, 62), TaskPanelItemControl},
        // A web page whose window is not there yet is a row like the others.
        {FEED_KIND_IFRAME, false, 1, CSize(200, 39), TaskPanelItemText},
        {FEED_KIND_NOTICE, false, 1, CSize(200, 39), TaskPanelItemLink},
        {FEED_KIND_SEARCH_RESULT, true, 1, CSize(200, 39), TaskPanelItemLink},
    };
    for (const Case& c : cases) {
        settings.Settings().nHideReadChannels = c.hide;
        auto pEntry = MakeEntry({L"C", L"Entry", c.kind, {c.read ? kRead : kNew}, true});
        CFeedGroupItem item;
        item.SetType(c.type);
        item.SetID(reinterpret_cast<UINT_PTR>(pEntry.get()));
        const CRect rc = look.DrawGroupItem(&dc, &item, CRect(10, 20, 210, 20), FALSE);
        EXPECT_EQ(CPoint(10, 20), rc.TopLeft()) << "kind " << c.kind;
        EXPECT_EQ(c.size, rc.Size()) << "kind " << c.kind << " read " << c.read << " hide " << c.hide;
    }
}

TEST(NavigationPane, RowColoursFollowStateAndHover)
{
    ScopedSettings settings;
    PaneFixture fixture(StandardList());
    CFeedTaskPanelPaintManager* pLook = static_cast<CFeedTaskPanelPaintManager*>(fixture.Pane().GetPaintManager());
    // Draw each entry alone into a memory bitmap and read back pixels of the background.
    auto drawRow = [&](CFeedItem* pRecord, bool bHot, POINT ptProbe) {
        CXTPTaskPanelGroupItem* pItem = fixture.ItemOf(pRecord);
        fixture.Pane().SetHotItem(bHot ? pItem : nullptr);
        lqtest::MemoryCanvas canvas(300, 60, RGB(1, 2, 3));
        pLook->DrawGroupItem(&canvas.Dc(), pItem, CRect(0, 0, 300, 39), TRUE);
        return canvas.At(ptProbe.x, ptProbe.y);
    };
    // A channel with new items starts its gradient in light green at the left.
    EXPECT_EQ(RGB(0xC0, 0xFF, 0xC0), drawRow(fixture.Entry(0), false, {1, 20}));
    // A read channel keeps the pane's own background.
    EXPECT_EQ(RGB(1, 2, 3), drawRow(fixture.Entry(2), false, {1, 20}));
    // Hot: a rectangle filled with command-bar colour 31.
    CXTPPaintManager* pBars = CXTPPaintManager::GetCurrent();
    const COLORREF clrHot = pBars != nullptr ? pBars->GetColor(31) : XTPColorManager()->GetColor(31);
    EXPECT_EQ(clrHot, drawRow(fixture.Entry(2), true, {150, 3}));
    fixture.Pane().SetHotItem(nullptr);
}

TEST(NavigationPane, PicturesFitTheirSquareAtTheirOwnSizeOrScaledDownCentred)
{
    const struct
    {
        CSize picture;
        CRect square;
        CRect expected;
    } cases[] = {
        {CSize(16, 16), CRect(0, 0, 16, 16), CRect(0, 0, 16, 16)},
        {CSize(8, 8), CRect(0, 0, 16, 16), CRect(4, 4, 12, 12)},
        {CSize(16, 16), CRect(10, 20, 42, 52), CRect(18, 28, 34, 44)},
        {CSize(24, 12), CRect(0, 0, 16, 16), CRect(0, 4, 16, 12)},
        {CSize(12, 48), CRect(0, 0, 16, 16), CRect(6, 0, 10, 16)},
        {CSize(100000, 1), CRect(0, 0, 16, 16), CRect(0, 7, 16, 8)},
        {CSize(0x7FFFFFFF, 0x40000000), CRect(0, 0, 16, 16), CRect(0, 4, 16, 12)},
        {CSize(0, 5), CRect(0, 0, 16, 16), CRect(0, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CFeedTaskPanelPaintManager::FitPicture(c.picture, c.square), c.expected)
            << c.picture.cx << "x" << c.picture.cy;
    }
}

// Site icons from files: a good one drawn in the entry's square, a logo wider than the square scaled down into
// it, and the pane's feed image for a missing or damaged file; an unreachable channel shows its mark instead.
TEST(NavigationPane, EntriesShowTheirSiteIconOrTheDefaultImage)
{
    ScopedSettings settings;
    PaneFixture fixture({
        {L"Sites", L"Good icon", FEED_KIND_FEED, {kRead}, true},
        {L"Sites", L"Missing icon", FEED_KIND_FEED, {kRead}, true},
        {L"Sites", L"Damaged icon", FEED_KIND_FEED, {kRead}, true},
        {L"Sites", L"Wide logo", FEED_KIND_FEED, {kRead}, true},
    });
    CFeedTaskPanel& pane = fixture.Pane();
    lqtest::TempFolder folder;
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"damaged.ico"), "GIF89a not really"));
    EXPECT_TRUE(pane.LoadSitePicture(fixture.Entry(0), lqtest::SourcePath(L"views/fixtures/site.ico").c_str()));
    EXPECT_FALSE(pane.LoadSitePicture(fixture.Entry(1), folder.File(L"missing.ico").c_str()));
    EXPECT_FALSE(pane.LoadSitePicture(fixture.Entry(2), folder.File(L"damaged.ico").c_str()));
    EXPECT_TRUE(pane.LoadSitePicture(fixture.Entry(3), lqtest::SourcePath(L"views/fixtures/logo.bmp").c_str()));
    EXPECT_EQ(pane.GetSitePicture(fixture.Entry(1)), nullptr);
    EXPECT_EQ(pane.GetSitePicture(fixture.Entry(2)), nullptr);

    auto* pLook = static_cast<CFeedTaskPanelPaintManager*>(pane.GetPaintManager());
    const COLORREF clrBack = RGB(1, 2, 3);
    // The row drawn alone (read, not hot: the background stays); the icon square's pixels read back. The row
    // is 39 high with 1-pixel margins, the square 16 wide at 5 from the left, centred vertically.
    const CRect rcSquare(6, 11, 22, 27);
    auto drawSquare = [&](CFeedItem* pRecord) {
        lqtest::MemoryCanvas canvas(300, 39, clrBack);
        pLook->DrawGroupItem(&canvas.Dc(), fixture.ItemOf(pRecord), CRect(0, 0, 300, 39), TRUE);
        std::vector<COLORREF> pixels;
        for (int y = rcSquare.top; y < rcSquare.bottom; ++y)
            for (int x = rcSquare.left; x < rcSquare.right; ++x)
                pixels.push_back(canvas.At(x, y));
        return pixels;
    };
    auto imageSquare = [&](int nImage) {
        lqtest::MemoryCanvas canvas(16, 16, clrBack);
        pane.GetImageList()->Draw(&canvas.Dc(), nImage, CPoint(0, 0), ILD_TRANSPARENT);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                pixels.push_back(canvas.At(x, y));
        return pixels;
    };
    const std::vector<COLORREF> feedImage = imageSquare(kPaneImageFeed);
    ASSERT_NE(feedImage, std::vector<COLORREF>(256, clrBack)) << "the pane's feed image is drawn";

    const std::vector<COLORREF> good = drawSquare(fixture.Entry(0));
    EXPECT_EQ(good[8 * 16 + 8], RGB(0xE0, 0x60, 0x20)) << "the site icon's orange";
    EXPECT_NE(good, feedImage);
    EXPECT_EQ(drawSquare(fixture.Entry(1)), feedImage);
    EXPECT_EQ(drawSquare(fixture.Entry(2)), feedImage);

    // 24 x 12 becomes 16 x 8 in the middle of the square: blue left, orange right, nothing above or below.
    const std::vector<COLORREF> wide = drawSquare(fixture.Entry(3));
    auto similar = [](COLORREF a, COLORREF b) {
        return abs(GetRValue(a) - GetRValue(b)) <= 24 && abs(GetGValue(a) - GetGValue(b)) <= 24 &&
               abs(GetBValue(a) - GetBValue(b)) <= 24;
    };
    EXPECT_PRED2(similar, wide[8 * 16 + 2], RGB(0x20, 0x60, 0xE0));
    EXPECT_PRED2(similar, wide[8 * 16 + 13], RGB(0xE0, 0x60, 0x20));
    EXPECT_EQ(wide[2 * 16 + 8], clrBack);
    EXPECT_EQ(wide[13 * 16 + 8], clrBack);

    fixture.Entry(0)->m_bUpdateFailed = true;
    EXPECT_EQ(drawSquare(fixture.Entry(0)), imageSquare(kPaneImageUnreachable));

    // A record that leaves the pane takes its picture with it.
    pane.ForgetRecord(fixture.Entry(3));
    EXPECT_EQ(pane.GetSitePicture(fixture.Entry(3)), nullptr);
}

// A placed site picture is read when it is first asked for, from the file as it is then; a missing or damaged one
// leaves none, and one dropped or placed again before it was asked for is never read from the old file.
TEST(NavigationPane, PlacedSitePicturesAreReadWhenFirstAskedFor)
{
    ScopedSettings settings;
    PaneFixture fixture({
        {L"Sites", L"Later icon", FEED_KIND_FEED, {kRead}, true},
        {L"Sites", L"Damaged icon", FEED_KIND_FEED, {kRead}, true},
        {L"Sites", L"Dropped icon", FEED_KIND_FEED, {kRead}, true},
        {L"Sites", L"Placed again", FEED_KIND_FEED, {kRead}, true},
    });
    CFeedTaskPanel& pane = fixture.Pane();
    lqtest::TempFolder folder;
    const std::string icon = lqtest::ReadFileBytes(lqtest::SourcePath(L"views/fixtures/site.ico"));
    ASSERT_FALSE(icon.empty());
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"damaged.ico"), "GIF89a not really"));
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"good.ico"), icon));

    pane.PlaceSitePicture(fixture.Entry(0), folder.File(L"later.ico").c_str());
    pane.PlaceSitePicture(fixture.Entry(1), folder.File(L"damaged.ico").c_str());
    pane.PlaceSitePicture(fixture.Entry(2), folder.File(L"good.ico").c_str());
    pane.PlaceSitePicture(fixture.Entry(3), folder.File(L"good.ico").c_str());
    pane.DropSitePicture(fixture.Entry(2));
    pane.PlaceSitePicture(fixture.Entry(3), folder.File(L"damaged.ico").c_str());
    // The icon arrives after the placing, before the first look.
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"later.ico"), icon));

    CPicture* later = pane.GetSitePicture(fixture.Entry(0));
    ASSERT_NE(later, nullptr);
    EXPECT_NE(later->m_hIcon, nullptr);
    EXPECT_EQ(pane.GetSitePicture(fixture.Entry(0)), later) << "read once";
    EXPECT_EQ(pane.GetSitePicture(fixture.Entry(1)), nullptr);
    EXPECT_EQ(pane.GetSitePicture(fixture.Entry(2)), nullptr);
    EXPECT_EQ(pane.GetSitePicture(fixture.Entry(3)), nullptr);
}

// The skin's colours for the captions while it is the command bars' paint manager; the toolkit's otherwise.
TEST(NavigationPane, CaptionsTakeTheSkinsColoursOnlyWhileTheSkinIsCurrent)
{
    ScopedSettings settings;
    PaneFixture fixture({{L"World", L"Daily Planet", FEED_KIND_FEED, {kNew}, true}});
    auto* pLook = static_cast<CFeedTaskPanelPaintManager*>(fixture.Pane().GetPaintManager());
    CXTPTaskPanelGroup* pGroup = fixture.Pane().GetAt(0);
    // The caption's colours at its top row (the dark line), in its middle (the face end of the gradient is at
    // the top, so the middle lies between face and light end) and at the grip's first dark dot.
    auto drawCaption = [&]() {
        lqtest::MemoryCanvas canvas(200, 30, RGB(0, 0, 0));
        pLook->DrawCaptionBackground(&canvas.Dc(), pGroup, CRect(0, 0, 200, 30));
        return std::vector<COLORREF>{canvas.At(100, 0), canvas.At(100, 2), canvas.At(100, 27)};
    };
    const std::vector<COLORREF> plain = drawCaption();

    class TestSkin : public CXTPThemeDefault, public CSkinCaptionColors
    {
    public:
        COLORREF GetSkinFace() const override { return RGB(10, 20, 30); }
        COLORREF GetSkinCaptionFace() const override { return RGB(200, 0, 0); }
        COLORREF GetSkinCaptionLightEnd() const override { return RGB(0, 0, 200); }
        COLORREF GetSkinCaptionText() const override { return RGB(0, 255, 0); }
    };
    // The current theme is kept alive across the skin's turn and put back as it was.
    CXTPPaintManager* pPrevious = CXTPPaintManager::GetCurrent();
    const int nPreviousId = pPrevious != nullptr ? pPrevious->m_nThemeId : 0;
    if (pPrevious != nullptr)
        pPrevious->InternalAddRef();
    CXTPPaintManager::SetCustomTheme(new TestSkin);
    const std::vector<COLORREF> skinned = drawCaption();
    EXPECT_EQ(skinned[0], RGB(10, 20, 30)) << "the dark line is the skin's face";
    EXPECT_NEAR(GetRValue(skinned[1]), 200, 30) << "the gradient starts at the caption face";
    EXPECT_NEAR(GetBValue(skinned[2]), 200, 30) << "and ends at the light end";
    CXTPPaintManager::SetCustomTheme(pPrevious);
    if (pPrevious != nullptr)
        pPrevious->m_nThemeId = nPreviousId;
    EXPECT_EQ(drawCaption(), plain);
}

// ---- Hover and click by real input

TEST(NavigationPane, HoverMakesTheEntryUnderTheMouseHotOnlyInsideItsDrawnRow)
{
    ScopedSettings settings;
    settings.Settings().nHideReadChannels = 1;
    PaneFixture fixture(StandardList());
    fixture.Frame().SetForegroundWindow();
    lqtest::PumpPending();
    CFeedTaskPanel& pane = fixture.Pane();

    MoveMouse(fixture.RowCentre(fixture.Entry(1)));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return pane.GetHotItem() == fixture.ItemOf(fixture.Entry(1)); }, 3000));

    // The hidden read channel's row has no height: a point of its group there makes nothing hot.
    CXTPTaskPanelGroupItem* pHidden = fixture.ItemOf(fixture.Entry(2));
    EXPECT_TRUE(fixture.Entry(2)->m_rcLast.IsRectEmpty());
    CRect rcHidden = pHidden->GetItemRect();
    rcHidden.OffsetRect(0, pane.GetAt(0)->GetClientRect().top);
    EXPECT_EQ(nullptr, pane.ItemFromPoint(rcHidden.left + 5, rcHidden.top, FALSE));

    // A caption makes its group hot.
    const CRect rcCaption = pane.GetAt(1)->GetCaptionRect();
    MoveMouse(fixture.ScreenPoint(CPoint(rcCaption.CenterPoint().x, rcCaption.CenterPoint().y)));
    EXPECT_TRUE(lqtest::PumpUntil([&] { return pane.GetHotItem() == pane.GetAt(1); }, 3000));
    EXPECT_EQ(pane.GetAt(1), pane.ItemFromPoint(rcCaption.left + 30, rcCaption.top + 5, FALSE));
}

TEST(NavigationPane, APressedEntryStartsADragOnlyAfterMoreThanFourPixels)
{
    ScopedSettings settings;
    PaneFixture fixture(StandardList());
    fixture.Frame().SetForegroundWindow();
    CProbePane& pane = fixture.Pane();
    for (bool bGroup : {false, true}) {
        pane.m_nItemDrags = pane.m_nGroupMoves = 0;
        POINT pt = fixture.RowCentre(fixture.Entry(0));
        if (bGroup) {
            const CPoint ptCaption = pane.GetAt(1)->GetCaptionRect().CenterPoint();
            pt = fixture.ScreenPoint(CPoint(ptCaption.x, ptCaption.y - pane.GetScrollOffset()));
        }
        MoveMouse(pt);
        frametest::SendMouse(pt, MOUSEEVENTF_LEFTDOWN);
        ASSERT_TRUE(lqtest::PumpUntil([&] { return pane.GetPressedItem() != nullptr; }, 3000));
        MoveMouse({pt.x + 2, pt.y + 2});
        EXPECT_EQ(0, pane.m_nItemDrags + pane.m_nGroupMoves) << "four pixels in all start nothing";
        MoveMouse({pt.x + 3, pt.y + 2});
        EXPECT_EQ(bGroup ? 0 : 1, pane.m_nItemDrags);
        EXPECT_EQ(bGroup ? 1 : 0, pane.m_nGroupMoves);
        frametest::SendMouse({pt.x + 3, pt.y + 2}, MOUSEEVENTF_LEFTUP);
        lqtest::PumpUntil([&] { return pane.GetPressedItem() == nullptr; }, 3000);
    }
}

TEST(NavigationPane, LeavingThePaneClearsTheHotItemUnlessADropDownIsUp)
{
    ScopedSettings settings;
    settings.Settings().nViewStyle = 1;
    PaneFixture fixture(StandardList());
    CFeedTaskPanel& pane = fixture.Pane();
    CXTPTaskPanelItem* pItem = fixture.ItemOf(fixture.Entry(1));
    pane.SetHotItem(pItem);
    pane.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(nullptr, pane.GetHotItem());

    fixture.Frame().SetForegroundWindow();
    ClickAt(fixture.RowCentre(fixture.Entry(0)));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return pane.GetAnnouncedPopup() != nullptr; }, 3000));
    pane.SetHotItem(pItem);
    pane.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(pItem, pane.GetHotItem()) << "the entry under the menu or list keeps its place";
    pane.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(pItem, pane.GetHotItem());
    pane.GetPopupBar()->DestroyWindow();
    pane.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(nullptr, pane.GetHotItem());
}

TEST(NavigationPane, ClickInTheModernViewDropsDownTheHeadlinesBesideTheEntry)
{
    for (int nLeftArrows : {0, 1}) {
        ScopedSettings settings;
        settings.Settings().nViewStyle = 1;
        settings.Settings().nLeftArrows = nLeftArrows;
        PaneFixture fixture(StandardList());
        fixture.Frame().SetForegroundWindow();
        CFeedItem* pEntry = fixture.Entry(0);
        ClickAt(fixture.RowCentre(pEntry));

        CFeedPopupBar* pBar = fixture.Pane().GetPopupBar();
        ASSERT_NE(nullptr, pBar);
        ASSERT_TRUE(lqtest::PumpUntil([&] { return ::IsWindowVisible(pBar->GetSafeHwnd()) != FALSE; }, 3000));
        EXPECT_EQ(pEntry, pBar->GetChannelEntry());
        ASSERT_EQ(3, pBar->GetControlCount());
        for (int i = 0; i < 3; ++i) {
            auto* pRow = DYNAMIC_DOWNCAST(CFeedViewControl, pBar->GetControl(i));
            ASSERT_NE(nullptr, pRow);
            EXPECT_EQ(2000 + i, pRow->GetID());
        }
        EXPECT_EQ(pEntry->m_pChannel->m_items.GetHead(),
                  static_cast<CFeedViewControl*>(pBar->GetControl(0))->GetItem());

        // Two pixels beside the entry, level with its top; a quarter to a half of the screen wide.
        CRect rcEntry = pEntry->m_rcLast;
        rcEntry.OffsetRect(0, -fixture.Pane().GetScrollOffset());
        fixture.Pane().ClientToScreen(&rcEntry);
        CRect rcBar;
        pBar->GetWindowRect(&rcBar);
        const int nScreen = ::GetSystemMetrics(SM_CXSCREEN);
        EXPECT_EQ(nScreen / 4, CFeedViewControl::GetRowWidth()) << "short headlines take a quarter of the screen";
        if (nLeftArrows) {
            EXPECT_EQ(rcEntry.left - 2 - CFeedViewControl::GetRowWidth(), rcBar.left);
        } else {
            EXPECT_EQ(rcEntry.right + 2, rcBar.left);
        }
        EXPECT_EQ(rcEntry.top, rcBar.top);

        ASSERT_FALSE(fixture.Frame().m_usage.empty());
        EXPECT_EQ(std::make_pair(WPARAM(4), pEntry), fixture.Frame().m_usage.back());
        // While the drop-down is up, moving over the pane changes no hot item.
        EXPECT_NE(nullptr, fixture.Pane().GetAnnouncedPopup());
    }
}

TEST(NavigationPane, ClickInTheClassicViewShowsTheChannelAndSavesTheOneShownBefore)
{
    ScopedSettings settings;
    settings.Settings().nViewStyle = 0;
    PaneFixture fixture(StandardList());
    fixture.Frame().SetForegroundWindow();
    CFeedItem* pBefore = fixture.Entry(1);
    pBefore->m_strFile = L"evening";
    fixture.Frame().m_pShown = pBefore;
    CFeedItem* pEntry = fixture.Entry(0);
    pEntry->m_strFile = L"daily";

    ClickAt(fixture.RowCentre(pEntry));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return fixture.Frame().Count(L"ShowEntry") == 1; }, 3000));
    const CFakeFrame::Call* pShow = fixture.Frame().Last(L"ShowEntry");
    EXPECT_EQ(pEntry, pShow->pRecord);
    EXPECT_EQ(std::wstring(pEntry->GetCacheFileName()), pShow->text);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(pBefore->GetCacheFileName()))
        << "the channel shown before was written to its cache file";
    EXPECT_EQ(nullptr, fixture.Pane().GetPopupBar()->GetSafeHwnd()) << "no drop-down in the classic view";
    EXPECT_EQ(std::make_pair(WPARAM(4), pEntry), fixture.Frame().m_usage.back());
}

TEST(NavigationPane, NoticeOpensOnlyACheckedAddressAfterTheClick)
{
    struct Case
    {
        const wchar_t* link;
        bool opens;
    } cases[] = {
        {L"http://notice.example/page", true},
        {L"mailto:editor@example.org", true},
        {L"file:///C:/Windows/system32/calc.exe", false},
        {L"\\\\server\\share\\run.exe", false},
        {L"javascript:alert(1)", false},
    };
    for (const Case& c : cases) {
        ScopedSettings settings;
        LauncherLog launcher;
        PaneFixture fixture(StandardList());
        fixture.Frame().SetForegroundWindow();
        CFeedItem* pNotice = fixture.Entry(5);
        pNotice->m_strLink = c.link;
        pNotice->m_nReadState = FEED_STATE_NEW;
        EXPECT_TRUE(LauncherLog::s_opened.empty()) << "nothing opens before the click";
        ClickAt(fixture.RowCentre(pNotice));
        lqtest::PumpUntil([&] { return !fixture.Frame().m_usage.empty(); }, c.opens ? 3000 : 300);
        if (c.opens) {
            ASSERT_EQ(1u, LauncherLog::s_opened.size()) << lqtest::Narrow(c.link);
            EXPECT_EQ(c.link, LauncherLog::s_opened[0]);
            EXPECT_EQ(FEED_STATE_READ, pNotice->m_nReadState);
            EXPECT_EQ(std::make_pair(WPARAM(1), pNotice), fixture.Frame().m_usage.back());
        } else {
            EXPECT_TRUE(LauncherLog::s_opened.empty()) << lqtest::Narrow(c.link);
            EXPECT_EQ(FEED_STATE_NEW, pNotice->m_nReadState);
            EXPECT_TRUE(fixture.Frame().m_usage.empty());
        }
    }
}

// ---- Context menus and commands

TEST(NavigationPane, ContextMenuByKindOfHotItem)
{
    ScopedSettings settings;
    MenuRecorder menus;
    PaneFixture fixture(StandardList());
    EXPECT_EQ(0u, ContextMenuFor(fixture, menus, nullptr)) << "no hot item, no menu";
    EXPECT_EQ(UINT(IDR_CONTEXT_CATEGORY), ContextMenuFor(fixture, menus, fixture.Pane().GetAt(0)));
    EXPECT_EQ(UINT(IDR_CONTEXT_CHANNEL), ContextMenuFor(fixture, menus, fixture.ItemOf(fixture.Entry(0))));
    EXPECT_EQ(UINT(IDR_CONTEXT_RESULTS), ContextMenuFor(fixture, menus, fixture.ItemOf(fixture.Entry(4))));
    EXPECT_EQ(0u, ContextMenuFor(fixture, menus, fixture.ItemOf(fixture.Entry(5)))) << "a notice has no menu";
    fixture.Pane().SetHotItem(nullptr);
}

TEST(NavigationPane, ContextMenuItemsEnabledByStateOfTheHotItem)
{
    ScopedSettings settings;
    MenuRecorder menus;
    PaneFixture fixture(StandardList());
    CFakeFrame& frame = fixture.Frame();
    CFeedItem* pChannel = fixture.Entry(0);

    ContextMenuFor(fixture, menus, fixture.ItemOf(pChannel));
    EXPECT_TRUE(menus.Enabled(ID_CHANNEL_UPDATE));
    EXPECT_TRUE(menus.Enabled(ID_CHANNEL_UNSUBSCRIBE));
    EXPECT_TRUE(menus.Enabled(ID_CHANNEL_PROPERTIES));
    EXPECT_TRUE(menus.Enabled(ID_CHANNEL_PASSWORD));

    frame.m_bUpdating = TRUE;
    pChannel->m_bMayUnsubscribe = false;
    ContextMenuFor(fixture, menus, fixture.ItemOf(pChannel));
    EXPECT_FALSE(menus.Enabled(ID_CHANNEL_UPDATE)) << "no channel update while a refresh runs";
    EXPECT_FALSE(menus.Enabled(ID_CHANNEL_UNSUBSCRIBE));
    EXPECT_TRUE(menus.Enabled(ID_CHANNEL_MARK_READ));

    ContextMenuFor(fixture, menus, fixture.Pane().GetAt(0));
    EXPECT_FALSE(menus.Enabled(ID_CATEGORY_UPDATE)) << "no category update while a refresh runs";
    EXPECT_TRUE(menus.Enabled(ID_CATEGORY_DELETE));
    EXPECT_TRUE(menus.Enabled(ID_CATEGORY_RENAME));
    frame.m_knownCategories = {L"World"};
    frame.m_bUpdating = FALSE;
    ContextMenuFor(fixture, menus, fixture.Pane().GetAt(0));
    EXPECT_FALSE(menus.Enabled(ID_CATEGORY_RENAME)) << "a category the frame knows of keeps its name";
    EXPECT_TRUE(menus.Enabled(ID_CATEGORY_UPDATE));
    fixture.Pane().SetHotItem(nullptr);
}

TEST(NavigationPane, CommandsReachTheFrameForTheHotEntryOnly)
{
    ScopedSettings settings;
    PaneFixture fixture(StandardList());
    CFakeFrame& frame = fixture.Frame();
    CFeedTaskPanel& pane = fixture.Pane();
    CFeedItem* pChannel = fixture.Entry(0);
    struct Case
    {
        UINT nCommand;
        const wchar_t* call;
        int nValue;
    } cases[] = {
        {ID_CHANNEL_UNSUBSCRIBE, L"Unsubscribe", 0},          {ID_CHANNEL_UPDATE, L"UpdateChannel", 0},
        {ID_CHANNEL_PROPERTIES, L"ShowChannelProperties", 0}, {ID_CHANNEL_PASSWORD, L"ShowChannelProperties", 1},
        {ID_CHANNEL_VIEW_SEPARATE, L"ShowChannelView", 0},
    };
    for (const Case& c : cases) {
        // With a group hot, the channel commands do nothing.
        pane.SetHotItem(pane.GetAt(0));
        const size_t nBefore = frame.m_calls.size();
        pane.SendMessage(WM_COMMAND, c.nCommand);
        EXPECT_EQ(nBefore, frame.m_calls.size()) << lqtest::Narrow(c.call);

        pane.SetHotItem(fixture.ItemOf(pChannel));
        pane.SendMessage(WM_COMMAND, c.nCommand);
        ASSERT_EQ(nBefore + 1, frame.m_calls.size()) << lqtest::Narrow(c.call);
        EXPECT_EQ(c.call, frame.m_calls.back().name);
        EXPECT_EQ(pChannel, frame.m_calls.back().pRecord);
        EXPECT_EQ(c.nValue, frame.m_calls.back().nValue);
    }

    pane.SetHotItem(fixture.ItemOf(fixture.Entry(4)));
    pane.SendMessage(WM_COMMAND, ID_RESULTS_DELETE);
    EXPECT_EQ(fixture.Entry(4), frame.Last(L"RemoveResultPage")->pRecord);

    pane.SetHotItem(pane.GetAt(1));
    pane.SendMessage(WM_COMMAND, ID_CATEGORY_UPDATE);
    EXPECT_EQ(L"Tech", frame.Last(L"UpdateCategory")->text);
    pane.SetHotItem(nullptr);
}

TEST(NavigationPane, MarkChannelAsReadMarksEveryItemAndRecounts)
{
    ScopedSettings settings;
    PaneFixture fixture(StandardList());
    CFeedItem* pChannel = fixture.Entry(0);
    ASSERT_EQ(1, pChannel->m_nNewCount);
    fixture.Pane().SetHotItem(fixture.ItemOf(pChannel));
    fixture.Pane().SendMessage(WM_COMMAND, ID_CHANNEL_MARK_READ);
    POSITION pos = pChannel->m_pChannel->m_items.GetHeadPosition();
    while (pos != nullptr)
        EXPECT_EQ(FEED_STATE_READ, pChannel->m_pChannel->m_items.GetNext(pos)->m_nReadState);
    EXPECT_EQ(0, pChannel->m_nNewCount + pChannel->m_nUnreadCount);
    EXPECT_EQ(3, pChannel->m_nReadCount);
    fixture.Pane().SetHotItem(nullptr);
}

TEST(NavigationPane, RenameCategoryAsksForTheNameAndHandsBothToTheFrame)
{
    ScopedSettings settings;
    PaneFixture fixture(StandardList());
    CFakeFrame& frame = fixture.Frame();
    fixture.Pane().SetHotItem(fixture.Pane().GetAt(1));

    frame.m_strNewName.clear();
    fixture.Pane().SendMessage(WM_COMMAND, ID_CATEGORY_RENAME);
    EXPECT_EQ(L"Tech", frame.Last(L"AskCategoryName")->text);
    EXPECT_EQ(0, frame.Count(L"RenameCategory")) << "a cancelled dialog renames nothing";

    frame.m_strNewName = L"Gadgets";
    fixture.Pane().SendMessage(WM_COMMAND, ID_CATEGORY_RENAME);
    ASSERT_EQ(1, frame.Count(L"RenameCategory"));
    EXPECT_EQ(L"Tech->Gadgets", frame.Last(L"RenameCategory")->text);

    fixture.Pane().SetHotItem(fixture.ItemOf(fixture.Entry(0)));
    fixture.Pane().SendMessage(WM_COMMAND, ID_CATEGORY_RENAME);
    EXPECT_EQ(1, frame.Count(L"RenameCategory")) << "an entry is not a category";
    fixture.Pane().SetHotItem(nullptr);
}

namespace {

// Answers the next message box of this thread with the button given, from a timer that runs in its loop.
UINT g_nAnswer = 0;
void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    HWND hBox = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM lParam) {
            WCHAR szClass[16] = L"";
            ::GetClassNameW(hWnd, szClass, 16);
            if (wcscmp(szClass, L"#32770") == 0 && ::IsWindowVisible(hWnd)) {
                *reinterpret_cast<HWND*>(lParam) = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&hBox));
    if (hBox != nullptr) {
        ::KillTimer(nullptr, nTimer);
        ::PostMessageW(hBox, WM_COMMAND, g_nAnswer, 0);
    }
}

} // namespace

TEST(NavigationPane, DeleteCategoryOnlyAfterYes)
{
    ScopedSettings settings;
    PaneFixture fixture(StandardList());
    fixture.Pane().SetHotItem(fixture.Pane().GetAt(0));
    for (UINT nAnswer : {UINT(IDNO), UINT(IDYES)}) {
        g_nAnswer = nAnswer;
        lqtest::ExpectModal expect(5000);
        const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 20, AnswerMessageBox);
        fixture.Pane().SendMessage(WM_COMMAND, ID_CATEGORY_DELETE);
        ::KillTimer(nullptr, nTimer);
    }
    ASSERT_EQ(1, fixture.Frame().Count(L"DeleteCategory"));
    EXPECT_EQ(L"World", fixture.Frame().Last(L"DeleteCategory")->text);
    fixture.Pane().SetHotItem(nullptr);
}

// ---- Records leaving the pane

TEST(NavigationPane, ForgottenRecordLeavesThePaneAndClosesItsDropDown)
{
    ScopedSettings settings;
    settings.Settings().nViewStyle = 1;
    PaneFixture fixture(StandardList());
    fixture.Frame().SetForegroundWindow();
    CFeedItem* pEntry = fixture.Entry(0);
    const POINT ptRow = fixture.RowCentre(pEntry);
    ClickAt(ptRow);
    CFeedPopupBar* pBar = fixture.Pane().GetPopupBar();
    ASSERT_NE(nullptr, pBar);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return pBar->GetSafeHwnd() != nullptr; }, 3000));

    // The frame is about to free the entry: it goes from the pane first, drop-down included.
    fixture.Pane().ForgetRecord(pEntry);
    EXPECT_EQ(nullptr, pBar->GetSafeHwnd());
    EXPECT_EQ(0, pBar->GetControlCount());
    EXPECT_EQ(nullptr, pBar->GetChannelEntry());
    EXPECT_EQ(nullptr, fixture.ItemOf(pEntry));
    EXPECT_EQ(2, fixture.Pane().GetAt(0)->GetItemCount());
    fixture.Release(0).reset();

    // Moving and clicking where it was reaches only live records.
    fixture.Paint();
    MoveMouse(ptRow);
    ClickAt(ptRow);
    lqtest::PumpPending();
    CXTPTaskPanelItem* pHot = fixture.Pane().GetHotItem();
    if (pHot != nullptr && !pHot->IsGroup()) {
        EXPECT_NE(nullptr, fixture.ItemOf(CFeedTaskPanel::GetRecord(pHot)));
    }
}

TEST(NavigationPane, ForgottenHeadlineClosesTheDropDownThatShowsIt)
{
    ScopedSettings settings;
    settings.Settings().nViewStyle = 1;
    PaneFixture fixture(StandardList());
    fixture.Frame().SetForegroundWindow();
    CFeedItem* pEntry = fixture.Entry(1);
    pEntry->m_strFile = L"evening";
    ClickAt(fixture.RowCentre(pEntry));
    CFeedPopupBar* pBar = fixture.Pane().GetPopupBar();
    ASSERT_TRUE(lqtest::PumpUntil([&] { return pBar->GetSafeHwnd() != nullptr; }, 3000));

    CFeedItem* pHeadline = pEntry->m_pChannel->m_items.GetHead();
    fixture.Pane().ForgetRecord(fixture.Entry(0)->m_pChannel->m_items.GetHead());
    EXPECT_NE(nullptr, pBar->GetSafeHwnd()) << "a headline of another channel leaves this list open";
    fixture.Pane().ForgetRecord(pHeadline);
    EXPECT_EQ(nullptr, pBar->GetSafeHwnd());
    EXPECT_EQ(0, pBar->GetControlCount());
    EXPECT_NE(nullptr, fixture.ItemOf(pEntry)) << "the entry itself stays";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(pEntry->GetCacheFileName()))
        << "the entry's cache was written as the list closed";
}
