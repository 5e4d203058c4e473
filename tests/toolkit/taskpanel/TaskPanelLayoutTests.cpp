// Task panel layout: group and item rectangles in each look, the icon grid, hit testing, the animation steps,
// scrolling arithmetic and the item scrolling of the behaviours with one open group.
#include "tests/toolkit/taskpanel/TaskPanelTestIds.h"
#include "tests/toolkit/taskpanel/TaskPanelTestSupport.h"

#include "framework/win/Dc.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/taskpanel/XTPTaskPanelThemes.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

using tptest::PanelFixture;

// The height DrawText gives the text in that font and width.
int TextHeight(CFont* pFont, LPCWSTR lpszText, int nWidth, UINT nFormat)
{
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, pFont->GetSafeHandle());
    RECT rc = {0, 0, nWidth, 0};
    ::DrawTextW(hDC, lpszText, -1, &rc, nFormat | DT_CALCRECT);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
    return rc.bottom - rc.top;
}

void GiveIcons(CXTPTaskPanel& panel)
{
    const UINT ids[] = {1, 2, 3};
    HBITMAP hStrip = tptest::MakeIconStrip({RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200)});
    panel.GetImageManager()->SetIconsFromBitmap(hStrip, ids, 3, 16, 16, CXTPImageManager::xtpImageNormal, TRUE);
    ::DeleteObject(hStrip);
}

struct Look
{
    const char* pszName;
    std::function<CXTPTaskPanelPaintManager*()> make;
};

const Look kLooks[] = {
    {"classic", [] { return new CXTPTaskPanelPaintManager(); }},
    {"explorer", [] { return new CXTPTaskPanelExplorerTheme(); }},
    {"rounded", [] { return new CXTPTaskPanelRoundedTheme(); }},
};

TEST(TaskPanelLayout, AnEmptyPanelTakesItsMarginsAndShowsNoScrollBar)
{
    PanelFixture fixture;
    CXTPTaskPanel& panel = fixture.Panel();
    EXPECT_EQ(24, panel.GetContentHeight());
    EXPECT_FALSE(panel.IsScrollBarShown());

    panel.SetMargins(5, 7, TaskPanelDefaultMetric, 9);
    EXPECT_EQ(CRect(5, 7, 12, 9), panel.GetPanelMargins());
    EXPECT_EQ(16, panel.GetContentHeight());
    panel.SetGroupSpacing(3);
    EXPECT_EQ(3, panel.GetGroupSpacing());
}

TEST(TaskPanelLayout, GroupAndItemRectanglesFollowTheMarginsInEachLook)
{
    for (const Look& look : kLooks) {
        SCOPED_TRACE(look.pszName);
        PanelFixture fixture(CSize(300, 500));
        CXTPTaskPanel& panel = fixture.Panel();
        GiveIcons(panel);
        panel.SetCustomTheme(look.make());
        CXTPTaskPanelPaintManager* pPaint = panel.GetPaintManager();
        EXPECT_EQ(TaskPanelThemeCustom, panel.GetCurrentTheme());

        CXTPTaskPanelGroup* pFirst = panel.AddGroup(IDS_TP_GROUP_TASKS);
        CXTPTaskPanelGroupItem* pLink = pFirst->AddLinkItem(IDS_TP_LINK_NEW, 1);
        CXTPTaskPanelGroupItem* pText = pFirst->AddTextItem(L"Some words");
        CXTPTaskPanelGroup* pSecond = panel.AddGroup(IDS_TP_GROUP_PLACES);
        pSecond->AddLinkItem(IDS_TP_LINK_OPEN, 2);
        ASSERT_TRUE(fixture.FinishAnimation());

        const int nCaption = pFirst->GetCaptionHeight();
        if (std::string(look.pszName) == "rounded") {
            // Wrapped in the width left by 13 pixels each side and the expand button.
            EXPECT_EQ(TextHeight(pPaint->GetCaptionFont(), L"Feed tasks", 276 - 26 - 19, DT_WORDBREAK | DT_NOPREFIX) +
                          5,
                      nCaption);
        } else {
            EXPECT_EQ(pPaint->GetCaptionHeight(), nCaption);
            EXPECT_GE(nCaption, 25);
        }
        EXPECT_EQ(CRect(12, 12, 288, 12 + pFirst->GetTargetRect().Height()), pFirst->GetTargetRect());

        // Icon left: text 16 + 7 right of the inset, height the larger of text and icon plus the insets.
        const int nLinkText = TextHeight(pPaint->GetItemFont(FALSE, FALSE), L"Subscribe", 1000, DT_WORDBREAK);
        const int nItemLeft = 12 + 11;
        EXPECT_EQ(nItemLeft, pLink->GetItemRect().left);
        EXPECT_EQ(8, pLink->GetItemRect().top);
        EXPECT_EQ(std::max(nLinkText, 16) + 4, pLink->GetItemRect().Height());
        EXPECT_EQ(pLink->GetItemRect().bottom, pText->GetItemRect().top);
        const int nTextHeight = TextHeight(pPaint->GetItemFont(FALSE, FALSE), L"Some words", 1000, DT_WORDBREAK);
        EXPECT_EQ(nTextHeight + 4, pText->GetItemRect().Height());
        EXPECT_EQ(pText->GetItemRect().bottom + 8, pFirst->GetFullClientHeight());
        EXPECT_EQ(pFirst->GetTargetRect().Height(), nCaption + pFirst->GetFullClientHeight());

        EXPECT_EQ(pFirst->GetTargetRect().bottom + 15, pSecond->GetTargetRect().top);
        EXPECT_EQ(pSecond->GetTargetRect().bottom + 12, panel.GetContentHeight());
    }
}

TEST(TaskPanelLayout, TheHotTrackStyleDecidesTheWidthOfAnItem)
{
    PanelFixture fixture(CSize(300, 400));
    CXTPTaskPanel& panel = fixture.Panel();
    CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
    CXTPTaskPanelGroupItem* pItem = pGroup->AddTextItem(L"Short");
    const int nTextWidth = [&] {
        HDC hDC = ::GetDC(nullptr);
        HGDIOBJ hOld = ::SelectObject(hDC, panel.GetPaintManager()->GetItemFont(FALSE, FALSE)->GetSafeHandle());
        SIZE size;
        ::GetTextExtentPoint32W(hDC, L"Short", 5, &size);
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(nullptr, hDC);
        return static_cast<int>(size.cx);
    }();
    EXPECT_EQ(CRect(23, 8, 23 + 2 + nTextWidth + 2, pItem->GetItemRect().bottom), pItem->GetItemRect());

    panel.SetHotTrackStyle(TaskPanelHotTrackItemFrame);
    EXPECT_EQ(23, pItem->GetItemRect().left);
    EXPECT_EQ(300 - 12 - 11, pItem->GetItemRect().right);

    // Icon above, centred; the item reaches the full width again with the whole-item frame.
    panel.SetHotTrackStyle(TaskPanelHotTrackDefault);
    pGroup->SetItemLayout(TaskPanelLayoutIconAbove);
    const int nWidth = nTextWidth + 4;
    const int nLeft = 23 + (254 - nWidth) / 2;
    EXPECT_EQ(nLeft, pItem->GetItemRect().left);
    EXPECT_EQ(nLeft + nWidth, pItem->GetItemRect().right);

    // Fixed sizes win over measuring.
    pItem->SetSize(50, 30);
    EXPECT_EQ(CRect(23, 8, 73, 38), pItem->GetItemRect());
}

TEST(TaskPanelLayout, TheIconGridFitsWholeCellsInTheItemRange)
{
    struct Case
    {
        int nRange;
        int nColumns;
    };
    for (const Case& c : {Case{60, 2}, Case{20, 1}, Case{84, 3}}) {
        SCOPED_TRACE(c.nRange);
        // Panel margins 12 + 12 and inner margins 11 + 11 around the item range.
        PanelFixture fixture(CSize(c.nRange + 46, 500));
        CXTPTaskPanel& panel = fixture.Panel();
        CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
        pGroup->SetItemLayout(TaskPanelLayoutIconGrid);
        std::vector<CXTPTaskPanelGroupItem*> items;
        for (int i = 0; i < 5; ++i)
            items.push_back(pGroup->AddLinkItem(IDS_TP_LINK_OPEN, 1));
        items[1]->SetSize(100, 3);
        ASSERT_TRUE(fixture.FinishAnimation());

        EXPECT_EQ(c.nColumns, pGroup->GetItemsInRow());
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(CRect(CPoint(23 + (i % c.nColumns) * 28, 8 + (i / c.nColumns) * 28), CSize(28, 28)),
                      items[i]->GetItemRect())
                << i;
        const int nRows = (5 + c.nColumns - 1) / c.nColumns;
        EXPECT_EQ(8 + nRows * 28 + 8, pGroup->GetFullClientHeight());
    }
}

TEST(TaskPanelLayout, HitTestingFindsCaptionsItemsAndNothingBetween)
{
    PanelFixture fixture(CSize(300, 400));
    CXTPTaskPanel& panel = fixture.Panel();
    CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
    CXTPTaskPanelGroupItem* pItem = pGroup->AddLinkItem(IDS_TP_LINK_NEW);
    CXTPTaskPanelGroup* pHidden = panel.AddGroup(IDS_TP_GROUP_PLACES);
    pHidden->ShowCaption(FALSE);
    CXTPTaskPanelGroupItem* pHiddenItem = pHidden->AddLinkItem(IDS_TP_LINK_OPEN);
    ASSERT_TRUE(fixture.FinishAnimation());

    BOOL bCaption = FALSE;
    EXPECT_EQ(pGroup, panel.HitTestGroup(CPoint(100, 14), &bCaption));
    EXPECT_TRUE(bCaption);
    const CPoint ptItem = fixture.ItemCenter(pItem);
    EXPECT_EQ(pGroup, panel.HitTestGroup(ptItem, &bCaption));
    EXPECT_FALSE(bCaption);
    CRect rcHit;
    EXPECT_EQ(pItem, pGroup->HitTest(ptItem, &rcHit));
    CRect rcExpected = pItem->GetItemRect();
    rcExpected.OffsetRect(0, pGroup->GetClientRect().top);
    EXPECT_EQ(rcExpected, rcHit);
    // Margins and the gap between groups belong to no group.
    EXPECT_EQ(nullptr, panel.HitTestGroup(CPoint(5, 100)));
    EXPECT_EQ(nullptr, panel.HitTestGroup(CPoint(100, pGroup->GetTargetRect().bottom + 7)));

    // A group without a caption answers through its client area only; its one-pixel caption is not hit.
    EXPECT_EQ(1, pHidden->GetCaptionHeight());
    EXPECT_EQ(nullptr, panel.HitTestGroup(CPoint(100, pHidden->GetTargetRect().top)));
    EXPECT_EQ(pHidden, panel.HitTestGroup(fixture.ItemCenter(pHiddenItem), &bCaption));
    EXPECT_FALSE(bCaption);

    // A collapsed group's items cannot be hit.
    pGroup->SetExpanded(FALSE);
    ASSERT_TRUE(fixture.FinishAnimation());
    EXPECT_EQ(nullptr, pGroup->HitTest(ptItem));
}

TEST(TaskPanelLayout, CollapsingStepsTowardsTheTargetAndEndsWithinTenTicks)
{
    PanelFixture fixture(CSize(300, 600));
    CXTPTaskPanel& panel = fixture.Panel();
    CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
    for (int i = 0; i < 4; ++i)
        pGroup->AddLinkItem(IDS_TP_LINK_OPEN)->SetSize(0, 25);
    CXTPTaskPanelGroup* pNext = panel.AddGroup(IDS_TP_GROUP_PLACES);
    ASSERT_TRUE(fixture.FinishAnimation());
    const int nFullBottom = pGroup->GetTargetRect().bottom;
    const int nCaptionBottom = pGroup->GetTargetRect().top + pGroup->GetCaptionHeight();
    const int nNextTop = pNext->GetTargetRect().top;

    pGroup->SetExpanded(FALSE);
    EXPECT_TRUE(pGroup->IsAnimating());
    EXPECT_EQ(nCaptionBottom, pGroup->GetTargetRect().bottom);
    EXPECT_EQ(nFullBottom, pGroup->GetCurrentRect().bottom);

    // Ticks delivered by hand: each moves an edge by the larger of 1 and its distance over the steps left.
    int nBottom = nFullBottom;
    int nTop = nNextTop;
    const int nTargetTop = pNext->GetTargetRect().top;
    for (int nStepsLeft = 10; nStepsLeft >= 1; --nStepsLeft) {
        panel.SendMessage(WM_TIMER, TaskPanelTimerAnimation);
        nBottom -= std::max(1, (nBottom - nCaptionBottom) / nStepsLeft);
        nTop -= std::max(1, (nTop - nTargetTop) / nStepsLeft);
        ASSERT_EQ(nBottom, pGroup->GetCurrentRect().bottom) << nStepsLeft;
        ASSERT_EQ(nTop, pNext->GetCurrentRect().top) << nStepsLeft;
    }
    EXPECT_TRUE(IsSameRect(pGroup->GetCurrentRect(), pGroup->GetTargetRect()));
    EXPECT_FALSE(pGroup->IsAnimating());
    // The next tick finds nothing moving and stops the timer.
    panel.SendMessage(WM_TIMER, TaskPanelTimerAnimation);
    EXPECT_FALSE(::KillTimer(panel.m_hWnd, TaskPanelTimerAnimation));

    // Without animation a change is placed at once.
    panel.EnableAnimation(FALSE);
    pGroup->SetExpanded(TRUE);
    EXPECT_TRUE(IsSameRect(pGroup->GetCurrentRect(), pGroup->GetTargetRect()));
    EXPECT_EQ(nFullBottom, pGroup->GetCurrentRect().bottom);
}

TEST(TaskPanelLayout, ScrollingByLinePageWheelAndThumbStaysInRange)
{
    PanelFixture fixture(CSize(300, 200));
    CXTPTaskPanel& panel = fixture.Panel();
    CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
    for (int i = 0; i < 20; ++i)
        pGroup->AddLinkItem(IDS_TP_LINK_OPEN)->SetSize(200, 30);
    ASSERT_TRUE(fixture.FinishAnimation());
    ASSERT_TRUE(panel.IsScrollBarShown());
    CRect rcClient;
    panel.GetClientRect(&rcClient);
    const int nLimit = panel.GetContentHeight() - rcClient.Height();
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ::GetScrollInfo(panel.m_hWnd, SB_VERT, &si);
    EXPECT_EQ(0, si.nMin);
    EXPECT_EQ(panel.GetContentHeight() - 1, si.nMax);
    EXPECT_EQ(static_cast<UINT>(rcClient.Height()), si.nPage);

    auto scroll = [&](int nCode) {
        panel.SendMessage(WM_VSCROLL, MAKEWPARAM(nCode, 0));
        return panel.GetScrollOffset();
    };
    auto wheel = [&](int nDelta) {
        panel.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, nDelta), 0);
        return panel.GetScrollOffset();
    };
    auto place = [&](int nPos) { ::SetScrollPos(panel.m_hWnd, SB_VERT, nPos, FALSE); };

    EXPECT_EQ(6, scroll(SB_LINEDOWN));
    EXPECT_EQ(0, scroll(SB_LINEUP));
    place(7);
    EXPECT_EQ(1, scroll(SB_LINEUP));
    EXPECT_EQ(rcClient.Height() + 1, scroll(SB_PAGEDOWN));
    EXPECT_EQ(1, scroll(SB_PAGEUP));
    EXPECT_EQ(0, scroll(SB_PAGEUP));
    EXPECT_EQ(nLimit, scroll(SB_BOTTOM));
    EXPECT_EQ(nLimit, scroll(SB_LINEDOWN));
    EXPECT_EQ(nLimit, scroll(SB_PAGEDOWN));
    EXPECT_EQ(nLimit, wheel(-120));
    EXPECT_EQ(nLimit - 10, wheel(120));
    EXPECT_EQ(0, scroll(SB_TOP));
    EXPECT_EQ(10, wheel(-120));
    place(5);
    EXPECT_EQ(0, wheel(120));
    place(11);
    EXPECT_EQ(1, wheel(120));

    // Hit tests follow the scrolled content.
    place(0);
    EXPECT_EQ(6, scroll(SB_LINEDOWN));
    auto* pFirstItem = static_cast<CXTPTaskPanelGroupItem*>(pGroup->GetAt(0));
    CRect rcFirst = pFirstItem->GetItemRect();
    rcFirst.OffsetRect(0, pGroup->GetClientRect().top - 6);
    EXPECT_EQ(pFirstItem, pGroup->HitTest(rcFirst.CenterPoint()));
    EXPECT_EQ(nullptr, pGroup->HitTest(CPoint(rcFirst.CenterPoint().x, rcFirst.top - 1)));
}

TEST(TaskPanelLayout, OneOpenGroupScrollsItsItemsWithinTheRoomLeft)
{
    PanelFixture fixture(CSize(300, 300));
    CXTPTaskPanel& panel = fixture.Panel();
    panel.SetBehaviour(TaskPanelBehaviourActiveGroup);
    CXTPTaskPanelGroup* pFirst = panel.AddGroup(IDS_TP_GROUP_TASKS);
    CXTPTaskPanelGroup* pSecond = panel.AddGroup(IDS_TP_GROUP_PLACES);
    std::vector<CXTPTaskPanelGroupItem*> items;
    for (int i = 0; i < 12; ++i) {
        items.push_back(pFirst->AddLinkItem(IDS_TP_LINK_OPEN));
        items.back()->SetSize(0, 30);
    }
    pFirst->SetExpanded(TRUE);
    ASSERT_TRUE(fixture.FinishAnimation());
    EXPECT_EQ(pFirst, panel.GetActiveGroup());
    EXPECT_FALSE(pSecond->IsExpanded());

    // The open group gets what the captions, margins and the spacing leave.
    const int nAvailable = 300 - 2 * pFirst->GetCaptionHeight() - 15 - 24;
    EXPECT_EQ(nAvailable, pFirst->GetAvailableClientHeight());
    EXPECT_EQ(nAvailable, pFirst->GetTargetClientRect().Height());
    EXPECT_FALSE(panel.IsScrollBarShown());

    CXTPTaskPanelScrollButton* pUp = panel.GetScrollButton(TRUE);
    CXTPTaskPanelScrollButton* pDown = panel.GetScrollButton(FALSE);
    EXPECT_FALSE(pUp->IsVisible());
    ASSERT_TRUE(pDown->IsVisible());
    CRect rcClient = pFirst->GetClientRect();
    rcClient.DeflateRect(4, 4);
    EXPECT_EQ(CRect(rcClient.right - 16, rcClient.bottom - 16, rcClient.right, rcClient.bottom), pDown->m_rc);
    // A point on a visible scroll button belongs to no group.
    EXPECT_EQ(nullptr, panel.HitTestGroup(pDown->m_rc.CenterPoint()));

    pFirst->ScrollItems(3);
    EXPECT_EQ(3, pFirst->GetFirstVisibleItem());
    EXPECT_EQ(items[3]->GetItemRect().top - 8, pFirst->GetItemScrollOffset());
    EXPECT_TRUE(pUp->IsVisible());
    pFirst->ScrollItems(-10);
    EXPECT_EQ(0, pFirst->GetFirstVisibleItem());
    EXPECT_FALSE(pFirst->CanScroll(TRUE));

    // The last item asks for the fewest rows scrolled that show it whole.
    pFirst->EnsureVisible(items[11]);
    const int nFirst = pFirst->GetFirstVisibleItem();
    EXPECT_GE(nAvailable, 8 + items[11]->GetItemRect().bottom - items[nFirst]->GetItemRect().top);
    EXPECT_LT(nAvailable, 8 + items[11]->GetItemRect().bottom - items[nFirst - 1]->GetItemRect().top);
    EXPECT_FALSE(pFirst->CanScroll(FALSE));
    pFirst->EnsureVisible(items[1]);
    EXPECT_EQ(1, pFirst->GetFirstVisibleItem());
}

} // namespace
