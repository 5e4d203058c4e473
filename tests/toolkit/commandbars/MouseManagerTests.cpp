// Popup mouse tracking: the hook's handling of moves and clicks outside the tracked bars, the lock count, the
// mouse-leave watch and the per-thread managers, driven by real input where the hook must see it.
#include "toolkit/base/XTPMouseManager.h"

#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"

#include <gtest/gtest.h>

namespace {

using cbtest::CenterOf;
using cbtest::CHostWnd;
using cbtest::SendClick;

// A bar that counts the mouse-leave messages it gets.
class CLeaveBar : public CXTPCommandBar
{
public:
    int m_leaves = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_MOUSELEAVE)
            ++m_leaves;
        return CXTPCommandBar::WindowProc(message, wParam, lParam);
    }
};

class MouseManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.CreateHost(CRect(200, 150, 600, 450)));
        ASSERT_TRUE(m_outside.CreateHost(CRect(650, 150, 850, 350)));
        LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
        ASSERT_TRUE(m_bar.CreateEx(0, lpszClass, L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 310, 40), &m_host, 100));
        ASSERT_TRUE(m_other.CreateEx(0, lpszClass, L"", WS_CHILD | WS_VISIBLE, CRect(10, 60, 310, 90), &m_host, 101));
        m_hEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 200, 5, 90, 20, m_bar.m_hWnd, nullptr,
                                    nullptr, nullptr);
        ASSERT_NE(m_hEdit, nullptr);
        for (CLeaveBar* pBar : {&m_bar, &m_other}) {
            for (int i = 0; i < 2; ++i)
                pBar->GetControls()->Add(new CXTPControlButton, 0)->SetRect(CRect(30 * i, 0, 30 * i + 25, 25));
        }
        ASSERT_TRUE(frametest::Activate(m_host.m_hWnd));
        lqtest::PumpPending();
    }

    void TearDown() override
    {
        XTPMouseManager()->m_nLock = 0;
        m_bar.EndTracking();
        m_other.EndTracking();
        XTPMouseManager()->TrackMouseLeave(nullptr);
        m_bar.DestroyWindow();
        m_other.DestroyWindow();
        m_host.DestroyWindow();
        m_outside.DestroyWindow();
        lqtest::PumpPending();
    }

    POINT BarPoint(int x, int y) const { return frametest::ClientToScreenPoint(m_bar.m_hWnd, x, y); }

    CHostWnd m_host;
    CHostWnd m_outside;
    CLeaveBar m_bar;
    CLeaveBar m_other;
    HWND m_hEdit = nullptr;
};

TEST_F(MouseManagerTest, ARepeatedMoveIsDroppedOnlyWhileBarsTrack)
{
    CXTPMouseManager* pManager = XTPMouseManager();
    const POINT pt = BarPoint(5, 5);
    EXPECT_FALSE(pManager->ProcessMouseMessage(WM_MOUSEMOVE, pt));
    EXPECT_FALSE(pManager->ProcessMouseMessage(WM_MOUSEMOVE, pt));

    m_bar.SetTrackingMode(xtpTrackingKeyboard, FALSE, FALSE);
    const POINT next = BarPoint(6, 5);
    EXPECT_FALSE(pManager->ProcessMouseMessage(WM_MOUSEMOVE, next));
    EXPECT_TRUE(pManager->ProcessMouseMessage(WM_MOUSEMOVE, next));
    EXPECT_TRUE(pManager->ProcessMouseMessage(WM_NCMOUSEMOVE, next));
    EXPECT_FALSE(pManager->ProcessMouseMessage(WM_MOUSEMOVE, BarPoint(7, 5)));
    // A button at the same place is not a move.
    EXPECT_FALSE(pManager->ProcessMouseMessage(WM_LBUTTONDOWN, BarPoint(7, 5)));
}

TEST_F(MouseManagerTest, TheButtonReleaseAfterAnExpandingPressIsDroppedOnce)
{
    CXTPMouseManager* pManager = XTPMouseManager();
    pManager->SetIgnoreLButtonUp(TRUE);
    EXPECT_TRUE(pManager->ProcessMouseMessage(WM_LBUTTONUP, BarPoint(5, 5)));
    EXPECT_FALSE(pManager->ProcessMouseMessage(WM_LBUTTONUP, BarPoint(5, 5)));

    // A new press means the release belongs to it.
    pManager->SetIgnoreLButtonUp(TRUE);
    EXPECT_FALSE(pManager->ProcessMouseMessage(WM_LBUTTONDOWN, BarPoint(5, 5)));
    EXPECT_FALSE(pManager->ProcessMouseMessage(WM_LBUTTONUP, BarPoint(5, 5)));
}

TEST_F(MouseManagerTest, AClickElsewhereEndsTrackingAndStillReachesItsWindow)
{
    m_bar.SetTrackingMode(xtpTrackingKeyboard, FALSE, FALSE);
    ASSERT_TRUE(XTPMouseManager()->IsTrackedBar(&m_bar));

    SendClick(CenterOf(m_outside.m_hWnd), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_outside.Count(WM_RBUTTONUP) == 1; }));
    EXPECT_FALSE(m_bar.IsTrackingMode());
    EXPECT_FALSE(XTPMouseManager()->IsTracking());
    EXPECT_EQ(m_outside.Count(WM_RBUTTONDOWN), 1);
}

TEST_F(MouseManagerTest, AClickInAChildOfATrackedBarKeepsTracking)
{
    m_bar.SetTrackingMode(xtpTrackingKeyboard, FALSE, FALSE);
    SendClick(CenterOf(m_hEdit));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return ::GetFocus() == m_hEdit; }));
    EXPECT_TRUE(m_bar.IsTrackingMode());

    // A click on the host's own area outside the bar ends it.
    SendClick(frametest::ClientToScreenPoint(m_host.m_hWnd, 200, 250));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !m_bar.IsTrackingMode(); }));
}

TEST_F(MouseManagerTest, WhileLockedAReleaseOutsideKeepsTrackingButAPressEndsIt)
{
    m_bar.SetTrackingMode(xtpTrackingKeyboard, FALSE, FALSE);
    XTPMouseManager()->m_nLock = 1;

    const POINT inside = BarPoint(150, 15); // clear of the controls
    const POINT outside = CenterOf(m_outside.m_hWnd);
    frametest::SendMouse(inside, 0);
    frametest::SendMouse(inside, MOUSEEVENTF_LEFTDOWN);
    frametest::SendMouse(outside, 0);
    frametest::SendMouse(outside, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_outside.Count(WM_LBUTTONUP) == 1; }));
    EXPECT_TRUE(m_bar.IsTrackingMode());

    SendClick(outside);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_outside.Count(WM_LBUTTONUP) == 2; }));
    EXPECT_FALSE(m_bar.IsTrackingMode());
}

TEST_F(MouseManagerTest, AReleaseOutsideEndsTrackingWhenNotLocked)
{
    m_bar.SetTrackingMode(xtpTrackingKeyboard, FALSE, FALSE);
    const POINT inside = BarPoint(150, 15); // clear of the controls
    const POINT outside = CenterOf(m_outside.m_hWnd);
    frametest::SendMouse(inside, 0);
    frametest::SendMouse(inside, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(cbtest::WaitForCursor(inside));
    EXPECT_TRUE(m_bar.IsTrackingMode());
    frametest::SendMouse(outside, 0);
    frametest::SendMouse(outside, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !m_bar.IsTrackingMode(); }));
}

TEST_F(MouseManagerTest, TheFirstBarOfATrackingRunClearsTheLastSelection)
{
    CXTPMouseManager* pManager = XTPMouseManager();
    ASSERT_TRUE(m_other.SetSelected(0));
    EXPECT_EQ(pManager->GetSelectedBar(), &m_other);

    m_bar.SetTrackingMode(xtpTrackingKeyboard, FALSE, FALSE);
    EXPECT_EQ(m_other.GetSelected(), -1);

    // A second bar joining the run leaves the selection alone; the list holds each bar once.
    ASSERT_TRUE(m_bar.SetSelected(1));
    m_other.SetTrackingMode(xtpTrackingKeyboard, FALSE, FALSE);
    pManager->AddTrackingBar(&m_other);
    EXPECT_EQ(m_bar.GetSelected(), 1);
    ASSERT_EQ(pManager->GetTrackedBars().size(), 2u);

    // Ending all tracking ends the first bar of the run.
    pManager->EndAllTracking();
    EXPECT_FALSE(m_bar.IsTrackingMode());
    EXPECT_TRUE(m_other.IsTrackingMode());
    pManager->EndAllTracking();
    EXPECT_FALSE(pManager->IsTracking());
    pManager->EndAllTracking();
}

TEST_F(MouseManagerTest, LeavingAWatchedWindowPostsOneMouseLeave)
{
    CXTPMouseManager* pManager = XTPMouseManager();
    const POINT inside = BarPoint(50, 15);
    cbtest::MoveMouseTo(inside);
    ASSERT_TRUE(cbtest::WaitForCursor(inside));
    lqtest::PumpPending();
    m_bar.m_leaves = 0;
    pManager->TrackMouseLeave(m_bar.m_hWnd);
    pManager->TrackMouseLeave(m_bar.m_hWnd); // already watched: nothing new

    // Several timer periods with the cursor inside: no leave.
    lqtest::PumpUntil([] { return false; }, 4 * XTP_MOUSELEAVE_PERIOD);
    EXPECT_EQ(m_bar.m_leaves, 0);
    EXPECT_EQ(pManager->GetTrackedWindow(), m_bar.m_hWnd);

    cbtest::MoveMouseTo(CenterOf(m_outside.m_hWnd));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_bar.m_leaves == 1; }, 2000));
    EXPECT_EQ(pManager->GetTrackedWindow(), nullptr);
    lqtest::PumpUntil([] { return false; }, 4 * XTP_MOUSELEAVE_PERIOD);
    EXPECT_EQ(m_bar.m_leaves, 1);
}

TEST_F(MouseManagerTest, AnotherApplicationTakingTheForegroundEndsTheWatch)
{
    CXTPMouseManager* pManager = XTPMouseManager();
    const POINT inside = BarPoint(50, 15);
    cbtest::MoveMouseTo(inside);
    ASSERT_TRUE(cbtest::WaitForCursor(inside));
    EXPECT_TRUE(CXTPMouseManager::IsTopParentActive(m_bar.m_hWnd));
    m_bar.m_leaves = 0;
    pManager->TrackMouseLeave(m_bar.m_hWnd);

    ASSERT_TRUE(frametest::Activate(m_outside.m_hWnd));
    EXPECT_FALSE(CXTPMouseManager::IsTopParentActive(m_bar.m_hWnd));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_bar.m_leaves == 1; }, 2000));
}

TEST_F(MouseManagerTest, WatchingAnotherWindowTellsThePreviousOneAtOnce)
{
    CXTPMouseManager* pManager = XTPMouseManager();
    const POINT inside = BarPoint(50, 15);
    cbtest::MoveMouseTo(inside);
    ASSERT_TRUE(cbtest::WaitForCursor(inside));
    m_bar.m_leaves = 0;
    m_other.m_leaves = 0;
    pManager->TrackMouseLeave(m_bar.m_hWnd);
    pManager->TrackMouseLeave(m_other.m_hWnd);
    EXPECT_EQ(m_bar.m_leaves, 1);
    EXPECT_EQ(pManager->GetTrackedWindow(), m_other.m_hWnd);

    // A watched window that goes away is forgotten without a message, and watching starts afresh.
    m_other.DestroyWindow();
    EXPECT_EQ(pManager->GetTrackedWindow(), nullptr);
    pManager->TrackMouseLeave(m_bar.m_hWnd);
    EXPECT_EQ(pManager->GetTrackedWindow(), m_bar.m_hWnd);
    EXPECT_EQ(m_bar.m_leaves, 1);
}

TEST(MouseManagerThreads, EachThreadHasItsOwnManager)
{
    CXTPMouseManager* pMain = XTPMouseManager();
    EXPECT_EQ(pMain, XTPMouseManager());
    struct Result
    {
        CXTPMouseManager* pManager = nullptr;
        BOOL bTracking = TRUE;
    } result;
    HANDLE hThread = ::CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* r = static_cast<Result*>(p);
            r->pManager = XTPMouseManager();
            r->bTracking = r->pManager->IsTracking();
            return 0;
        },
        &result, 0, nullptr);
    ASSERT_NE(hThread, nullptr);
    ASSERT_EQ(::WaitForSingleObject(hThread, 5000), WAIT_OBJECT_0);
    ::CloseHandle(hThread);
    EXPECT_NE(result.pManager, nullptr);
    EXPECT_NE(result.pManager, pMain);
    EXPECT_FALSE(result.bTracking);
}

} // namespace
