// The desktop alert: showing and closing with the owner told of every state, clicks on items, the animations and
// their step counts, the fade reaching its alpha, the stay timer and the mouse, moving it, and the themes' pixels.
#include "toolkit/controls/XTPPopupWindow.h"

#include "framework/frame/FrameWnd.h"
#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/support/TestSupport.h"
#include "tests/toolkit/controls/ControlsTestIds.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/controls/XTPPopupItem.h"
#include "toolkit/controls/XTPPopupTheme.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

const CPoint kAnchor(820, 620);
const CSize kSize(200, 120);
constexpr int kViewID = 501;

// Tells, for each notification, the code and the alert's state or the clicked item's id.
class CAlertOwner : public CFrameWnd
{
public:
    std::vector<std::pair<int, int>> m_notes;
    bool m_bCloseOnView = true;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_POPUP_NOTIFY)
            return CFrameWnd::WindowProc(message, wParam, lParam);
        if (wParam == xtpPopupItemClicked) {
            auto* pItem = reinterpret_cast<CXTPPopupItem*>(lParam);
            m_notes.emplace_back(1, pItem->GetID());
            if (m_bCloseOnView && pItem->GetID() == kViewID)
                pItem->GetPopupWindow()->Close();
        } else {
            m_notes.emplace_back(2, reinterpret_cast<CXTPPopupWindow*>(lParam)->GetPopupState());
        }
        return 1;
    }
};

// Exposes the running step count and counts the ticks of each timer.
class CProbeAlert : public CXTPPopupWindow
{
public:
    UINT StepsLeft() const { return m_nStep; }
    void SetHot(CXTPPopupItem* pItem) { m_pHotItem = pItem; }
    void SetPressed(CXTPPopupItem* pItem) { m_pPressedItem = pItem; }
    std::map<UINT_PTR, int> m_ticks;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER)
            ++m_ticks[wParam];
        return CXTPPopupWindow::WindowProc(message, wParam, lParam);
    }
};

CPoint g_ptDragTo;

void CALLBACK FinishDrag(HWND, UINT, UINT_PTR nIDEvent, DWORD)
{
    ::KillTimer(nullptr, nIDEvent);
    frametest::SendMouse(g_ptDragTo, 0);
    frametest::SendMouse(g_ptDragTo, MOUSEEVENTF_LEFTUP);
}

class XTPPopupWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frametest::SendMouse({10, 700}, 0);
        m_owner = new CAlertOwner;
        ASSERT_TRUE(m_owner->Create(nullptr, L"Alert owner", WS_OVERLAPPEDWINDOW, CRect(50, 50, 450, 300)));
        m_hOwner = m_owner->m_hWnd;
        m_owner->ShowWindow(SW_SHOW);
        m_alert.SetPopupPos(kAnchor);
        m_alert.SetPopupSize(kSize);
        m_alert.SetShowDelay(0);
    }

    void TearDown() override
    {
        m_alert.Close();
        if (::IsWindow(m_hOwner))
            ::DestroyWindow(m_hOwner);
        frametest::SendMouse({10, 700}, 0);
        lqtest::PumpPending();
    }

    CXTPPopupItem* AddItem(const CRect& rect, const wchar_t* pszText, int nID)
    {
        auto* pItem = m_alert.AddItem(new CXTPPopupItem(&rect, pszText));
        pItem->SetID(nID);
        return pItem;
    }

    CPoint ScreenPoint(const CRect& rcItem) const
    {
        return CPoint(kAnchor.x - kSize.cx + rcItem.CenterPoint().x, kAnchor.y - kSize.cy + rcItem.CenterPoint().y);
    }

    bool WaitForState(int nState, DWORD dwTimeout = 5000)
    {
        return frametest::PumpTranslatedUntil([&] { return m_alert.GetPopupState() == nState; }, dwTimeout);
    }

    CWinApp m_app{L"XTPPopupWindowTests"};
    CAlertOwner* m_owner = nullptr;
    HWND m_hOwner = nullptr;
    CProbeAlert m_alert;
};

TEST_F(XTPPopupWindowTest, ShowsAtOnceWithoutAnimationAndTellsItsOwnerOfEachState)
{
    ASSERT_TRUE(m_alert.Show(m_owner));
    EXPECT_EQ(xtpPopupStateShown, m_alert.GetPopupState());
    CRect rect;
    m_alert.GetWindowRect(&rect);
    EXPECT_EQ(CRect(kAnchor.x - kSize.cx, kAnchor.y - kSize.cy, kAnchor.x, kAnchor.y), rect);
    EXPECT_TRUE(m_alert.IsWindowVisible());
    EXPECT_EQ(0u, m_alert.GetExStyle() & WS_EX_LAYERED);
    EXPECT_NE(0u, m_alert.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_FALSE(m_alert.Show(m_owner)) << "already shown";

    m_alert.Close();
    EXPECT_EQ(nullptr, m_alert.m_hWnd);
    const std::vector<std::pair<int, int>> expected = {
        {2, xtpPopupStateExpanding}, {2, xtpPopupStateShown}, {2, xtpPopupStateHidden}};
    EXPECT_EQ(expected, m_owner->m_notes);
}

TEST_F(XTPPopupWindowTest, LayeredOnlyWhenItFadesOrIsTranslucent)
{
    const struct
    {
        int nAnimation;
        int nTransparency;
        bool bLayered;
    } cases[] = {
        {xtpPopupAnimationNone, 255, false},  {xtpPopupAnimationFade, 255, true},
        {xtpPopupAnimationSlide, 255, false}, {xtpPopupAnimationUnfold, 255, false},
        {xtpPopupAnimationUnfold, 200, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nAnimation << " " << c.nTransparency);
        CXTPPopupWindow alert;
        alert.SetPopupAnimation(c.nAnimation);
        alert.SetTransparency(c.nTransparency);
        ASSERT_TRUE(alert.Create(m_owner));
        EXPECT_EQ(c.bLayered, (alert.GetExStyle() & WS_EX_LAYERED) != 0);
        EXPECT_EQ(xtpPopupStateHidden, alert.GetPopupState());
    }
}

TEST_F(XTPPopupWindowTest, AClickedItemReachesTheOwnerWhichMayCloseTheAlert)
{
    const CRect rcOther(10, 10, 90, 30);
    const CRect rcView(10, 60, 190, 90);
    AddItem(rcOther, L"Other", 7);
    AddItem(rcView, L"View messages...", kViewID);
    ASSERT_TRUE(m_alert.Show(m_owner));
    m_owner->m_notes.clear();

    // Pressed on one item and released on another: no click.
    frametest::SendMouse(ScreenPoint(rcOther), 0);
    frametest::SendMouse(ScreenPoint(rcOther), MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return m_alert.GetPressedItem() != nullptr; }));
    frametest::SendMouse(ScreenPoint(rcView), 0);
    frametest::SendMouse(ScreenPoint(rcView), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return m_alert.GetPressedItem() == nullptr; }));
    EXPECT_TRUE(m_owner->m_notes.empty());

    frametest::SendMouse(ScreenPoint(rcOther), MOUSEEVENTF_LEFTDOWN);
    frametest::SendMouse(ScreenPoint(rcOther), MOUSEEVENTF_LEFTUP);
    frametest::SendMouse(ScreenPoint(rcView), MOUSEEVENTF_LEFTDOWN);
    frametest::SendMouse(ScreenPoint(rcView), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitForState(xtpPopupStateHidden));
    const std::vector<std::pair<int, int>> expected = {{1, 7}, {1, kViewID}, {2, xtpPopupStateHidden}};
    EXPECT_EQ(expected, m_owner->m_notes);
    EXPECT_EQ(nullptr, m_alert.m_hWnd);
    EXPECT_EQ(nullptr, m_alert.GetHotItem());
}

TEST_F(XTPPopupWindowTest, AFadeEndsAtItsTargetAlpha)
{
    m_alert.SetPopupAnimation(xtpPopupAnimationFade);
    m_alert.SetTransparency(220);
    m_alert.SetAnimateDelay(64);
    ASSERT_TRUE(m_alert.Show(m_owner));
    EXPECT_EQ(4u, m_alert.StepsLeft());
    EXPECT_EQ(xtpPopupStateExpanding, m_alert.GetPopupState());
    ASSERT_TRUE(WaitForState(xtpPopupStateShown));
    EXPECT_EQ(4, m_alert.m_ticks[296]);
    BYTE bAlpha = 0;
    DWORD dwFlags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(m_alert.m_hWnd, nullptr, &bAlpha, &dwFlags));
    EXPECT_EQ(220, bAlpha);
    EXPECT_EQ(220, m_alert.GetCurrentAlpha());

    // Fading out ends hidden.
    m_alert.StartHideAnimation();
    ASSERT_TRUE(WaitForState(xtpPopupStateHidden));
    EXPECT_EQ(4, m_alert.m_ticks[297]);
}

TEST_F(XTPPopupWindowTest, StepsComeFromTheAnimationAndStepDelays)
{
    const struct
    {
        UINT uAnimationDelay;
        UINT uStep;
        UINT uSteps;
    } cases[] = {{600, 16, 37}, {10, 16, 1}, {256, 16, 16}, {50, 0, 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.uAnimationDelay);
        m_alert.SetPopupAnimation(xtpPopupAnimationSlide);
        m_alert.SetAnimateDelay(c.uAnimationDelay);
        m_alert.SetStepDelay(c.uStep);
        ASSERT_TRUE(m_alert.Show(m_owner));
        EXPECT_EQ(c.uSteps, m_alert.StepsLeft());
        m_alert.Close();
    }
}

TEST_F(XTPPopupWindowTest, TheAlertStaysWhileTheMouseIsOverItAndGoesWhenItLeaves)
{
    m_alert.SetShowDelay(30);
    ASSERT_TRUE(m_alert.Show(m_owner));
    frametest::SendMouse(ScreenPoint(CRect(0, 0, 40, 40)), 0);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return m_alert.IsMouseOver(); }));
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return m_alert.m_ticks[304] >= 3; }));
    EXPECT_EQ(xtpPopupStateShown, m_alert.GetPopupState());

    frametest::SendMouse({10, 700}, 0);
    ASSERT_TRUE(WaitForState(xtpPopupStateHidden));
}

TEST_F(XTPPopupWindowTest, TheMouseOverACollapsingAlertBringsItBackFromWhereItIs)
{
    m_alert.SetPopupAnimation(xtpPopupAnimationSlide);
    m_alert.SetAnimateDelay(1600);
    m_alert.SetStepDelay(16);
    ASSERT_TRUE(m_alert.Show(m_owner));
    ASSERT_TRUE(WaitForState(xtpPopupStateShown, 10000));
    m_alert.StartHideAnimation();
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return m_alert.m_ticks[297] >= 5; }));
    const int cyCollapsing = m_alert.GetCurrentRect().Height();
    ASSERT_LT(cyCollapsing, kSize.cy);
    ASSERT_GT(cyCollapsing, 20);

    frametest::SendMouse(CPoint(kAnchor.x - 20, kAnchor.y - 5), 0);
    ASSERT_TRUE(WaitForState(xtpPopupStateExpanding));
    EXPECT_GT(m_alert.GetCurrentRect().Height(), 10) << "not restarted from the edge";
    EXPECT_LT(m_alert.StepsLeft(), 100u) << "only the steps that were undone";
    ASSERT_TRUE(WaitForState(xtpPopupStateShown, 10000));
    EXPECT_EQ(kSize.cy, m_alert.GetCurrentRect().Height());
}

TEST_F(XTPPopupWindowTest, AMovableAlertIsDraggedByItsEmptyItems)
{
    const CRect rcEmpty(0, 0, 200, 40);
    AddItem(rcEmpty, nullptr, 0);
    m_alert.AllowMove(TRUE);
    ASSERT_TRUE(m_alert.Show(m_owner));
    m_owner->m_notes.clear();

    const CPoint ptFrom = ScreenPoint(rcEmpty);
    frametest::SendMouse(ptFrom, 0);
    frametest::SendMouse(ptFrom, MOUSEEVENTF_LEFTDOWN);
    // Input queued ahead of the drag's own loop does not reach it under Wine: the rest of the gesture comes
    // from a timer inside that loop.
    g_ptDragTo = CPoint(ptFrom.x - 60, ptFrom.y - 40);
    ::SetTimer(nullptr, 0, 20, FinishDrag);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return m_alert.GetPopupPos() != kAnchor; }));
    EXPECT_EQ(CPoint(kAnchor.x - 60, kAnchor.y - 40), m_alert.GetPopupPos());
    CRect rect;
    m_alert.GetWindowRect(&rect);
    EXPECT_EQ(m_alert.GetPopupPos(), rect.BottomRight());
    EXPECT_TRUE(m_owner->m_notes.empty()) << "dragging is no click";
}

TEST_F(XTPPopupWindowTest, NotificationsGoToAnExplicitOwner)
{
    auto* pOther = new CAlertOwner;
    ASSERT_TRUE(pOther->Create(nullptr, L"Other owner", WS_OVERLAPPEDWINDOW, CRect(60, 60, 300, 200)));
    ASSERT_TRUE(m_alert.Create(m_owner));
    m_alert.SetOwner(pOther);
    ASSERT_TRUE(m_alert.Show(m_owner));
    EXPECT_TRUE(m_owner->m_notes.empty());
    EXPECT_EQ(2u, pOther->m_notes.size());
    m_alert.Close();
    pOther->DestroyWindow();
}

// ---- Themes

class AlertThemeTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        XTPColorManager()->SetLunaColorScheme(xtpSystemThemeAuto);
        XTPColorManager()->RefreshColors();
    }

    COLORREF DrawnAt(XTPPopupPaintTheme nTheme, int x, int y)
    {
        m_alert.SetTheme(nTheme);
        lqtest::MemoryCanvas canvas(170, 130, RGB(1, 2, 3));
        m_alert.GetTheme()->DrawBackground(&canvas.Dc(), CRect(0, 0, 170, 130));
        return canvas.Dc().GetPixel(x, y);
    }

    CProbeAlert m_alert;
};

TEST_F(AlertThemeTest, BackgroundsOfTheFiveThemes)
{
    const COLORREF kNavy = RGB(0, 0, 128);
    const XTPPopupPaintTheme kOther = static_cast<XTPPopupPaintTheme>(7);
    const struct
    {
        XTPPopupPaintTheme nTheme;
        int x, y;
        COLORREF clr;
    } cases[] = {
        // Caption: the band starts navy at the left; the body's navy strip below it.
        {xtpPopupThemeCaption, 1, 5, kNavy},
        {xtpPopupThemeCaption, 5, 40, kNavy},
        {xtpPopupThemeCaption, 33, 40, kNavy},
        {xtpPopupThemeCaption, 34, 40, GetToolkitColor(COLOR_BTNFACE)},
        {xtpPopupThemeCaption, 0, 0, GetToolkitColor(COLOR_BTNHIGHLIGHT)},
        // Flat: the band and the strip, no inner frames.
        {xtpPopupThemeFlat, 1, 5, kNavy},
        {xtpPopupThemeFlat, 2, 40, kNavy},
        {xtpPopupThemeFlat, 0, 0, GetToolkitColor(COLOR_BTNSHADOW)},
        // Gripper: band width 168, so x0 = 66 from the window's left edge.
        {xtpPopupThemeGripper, 66, 2, RGB(40, 50, 71)},
        {xtpPopupThemeGripper, 67, 2, RGB(40, 50, 71)},
        {xtpPopupThemeGripper, 67, 3, RGB(97, 116, 152)},
        {xtpPopupThemeGripper, 68, 3, RGB(249, 249, 251)},
        {xtpPopupThemeGripper, 70, 2, RGB(40, 50, 71)},
        // Bands: double frame, the bands' light edges and the frame round the body from top + 22.
        {xtpPopupThemeBands, 0, 0, RGB(166, 180, 207)},
        {xtpPopupThemeBands, 169, 129, RGB(69, 86, 144)},
        {xtpPopupThemeBands, 1, 1, RGB(255, 255, 255)},
        {xtpPopupThemeBands, 50, 2, RGB(207, 215, 236)},
        {xtpPopupThemeBands, 2, 24, RGB(114, 142, 184)},
        {xtpPopupThemeBands, 167, 127, RGB(185, 201, 239)},
        // Any other number is the default theme: a frame in the button shadow.
        {kOther, 0, 0, GetToolkitColor(COLOR_BTNSHADOW)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.clr, DrawnAt(c.nTheme, c.x, c.y)) << c.nTheme << " at " << c.x << "," << c.y;
    EXPECT_EQ(kOther, m_alert.GetThemeNumber());
    EXPECT_EQ(nullptr, dynamic_cast<CXTPPopupThemeCaption*>(m_alert.GetTheme()));
}

TEST_F(AlertThemeTest, TheBandsThemeLeavesNothingOfTheCanvas)
{
    m_alert.SetTheme(xtpPopupThemeBands);
    lqtest::MemoryCanvas canvas(170, 130, RGB(1, 2, 3));
    m_alert.GetTheme()->DrawBackground(&canvas.Dc(), CRect(0, 0, 170, 130));
    for (int y = 0; y < 130; y += 3)
        for (int x = 0; x < 170; x += 3)
            ASSERT_NE(RGB(1, 2, 3), canvas.Dc().GetPixel(x, y)) << x << "," << y;
}

TEST_F(AlertThemeTest, ItemsDrawTheirButtonsAndAnIconItemNoText)
{
    m_alert.SetTheme(xtpPopupThemeBands);
    const CRect rcButton(10, 10, 40, 30);
    auto* pButton = m_alert.AddItem(new CXTPPopupItem(&rcButton, L"OK"));
    pButton->SetButton(TRUE);
    auto Draw = [&](COLORREF clrBack) {
        lqtest::MemoryCanvas canvas(60, 40, clrBack);
        pButton->Draw(&canvas.Dc());
        return std::make_pair(canvas.Dc().GetPixel(10, 10), canvas.Dc().GetPixel(12, 28));
    };
    EXPECT_EQ(RGB(9, 9, 9), Draw(RGB(9, 9, 9)).first) << "a button at rest draws no frame";
    m_alert.SetHot(pButton);
    EXPECT_EQ(std::make_pair(RGB(114, 142, 184), RGB(194, 238, 255)), Draw(RGB(9, 9, 9)));
    m_alert.SetPressed(pButton);
    EXPECT_EQ(std::make_pair(RGB(114, 142, 184), RGB(134, 162, 224)), Draw(RGB(9, 9, 9)));

    // An icon item with a caption draws the icon only.
    const CRect rcIcon(0, 0, 40, 40);
    auto* pIconItem = m_alert.AddItem(new CXTPPopupItem(&rcIcon, L"WWWWWWWW"));
    pIconItem->SetTextColor(RGB(255, 0, 0));
    HICON hIcon = static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TEST_TRAY_GREEN), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(nullptr, hIcon);
    pIconItem->SetIcon(hIcon);
    ::DestroyIcon(hIcon);
    pIconItem->SetIconOffset(CPoint(20, 20));
    lqtest::MemoryCanvas canvas(40, 40, RGB(255, 255, 255));
    pIconItem->Draw(&canvas.Dc());
    int nRed = 0;
    int nGreen = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const COLORREF clr = canvas.Dc().GetPixel(x, y);
            nRed += clr == RGB(255, 0, 0);
            nGreen += clr == RGB(40, 170, 60);
        }
    }
    EXPECT_EQ(0, nRed);
    EXPECT_EQ(144, nGreen) << "the 12 x 12 square, moved by the offset";
    EXPECT_EQ(RGB(40, 170, 60), canvas.Dc().GetPixel(22, 22));
}

TEST_F(AlertThemeTest, TheGripperThemeFollowsTheWindowsXPScheme)
{
    const struct
    {
        int nScheme;
        COLORREF clrBorder;
    } cases[] = {{xtpSystemThemeBlue, RGB(0, 0, 128)},
                 {xtpSystemThemeOlive, RGB(63, 93, 56)},
                 {xtpSystemThemeSilver, RGB(75, 75, 111)}};
    for (const auto& c : cases) {
        XTPColorManager()->SetLunaColorScheme(c.nScheme);
        CXTPPopupThemeGripper theme;
        EXPECT_EQ(c.clrBorder, theme.m_clrButtonSelectedBorder.clrLight) << c.nScheme;
        EXPECT_EQ(c.clrBorder, theme.m_clrButtonPressedBorder.clrDark);
        EXPECT_EQ(RGB(255, 238, 194), theme.m_clrButtonSelected);
        EXPECT_EQ(RGB(254, 128, 62), theme.m_clrButtonPressed);
    }
    XTPColorManager()->SetLunaColorScheme(xtpSystemThemeUnknown);
    CXTPPopupThemeGripper theme;
    EXPECT_EQ(GetToolkitColor(31), theme.m_clrButtonSelected);
}

} // namespace
