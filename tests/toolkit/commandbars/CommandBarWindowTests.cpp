// The command bar window in a frame: command states from the frame's update handlers at idle time, controls
// driven by the mouse and the keyboard through SendInput, commands reaching the frame, the status notices, tool
// tips, and customise drops.
#include "toolkit/commandbars/XTPCommandBar.h"

#include "framework/frame/FrameWnd.h"
#include "tests/toolkit/commandbars/CommandBarsTestIds.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPShortcuts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

namespace {

class CCmdFrame : public CFrameWnd
{
public:
    std::map<UINT, int> m_runs;
    std::vector<WPARAM> m_selections;

protected:
    void OnRun(UINT nID) { ++m_runs[nID]; }
    void OnUpdateBlocked(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    LRESULT OnControlSelected(WPARAM wParam, LPARAM)
    {
        m_selections.push_back(wParam);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCmdFrame, CFrameWnd)
ON_COMMAND_RANGE(ID_TEST_OPEN, ID_TEST_SITE_TYPE, OnRun)
ON_COMMAND_RANGE(ID_TEST_BLOCKED, ID_TEST_BLOCKED, OnRun)
ON_UPDATE_COMMAND_UI(ID_TEST_BLOCKED, OnUpdateBlocked)
ON_UPDATE_COMMAND_UI(ID_TEST_CHECKED, OnUpdateChecked)
ON_MESSAGE(WM_XTP_CONTROL_SELECTED, OnControlSelected)
END_MESSAGE_MAP()

class CommandBarWindowTest : public cbtest::BarFrameTest<CCmdFrame>
{
protected:
    CommandBarWindowTest() : BarFrameTest(L"CommandBarWindowTests") {}

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CreateFrameAndBar(L"Command bar tests", CRect(100, 100, 640, 400), 520));
        const struct
        {
            int nId;
            const wchar_t* pszCaption;
        } buttons[] = {
            {ID_TEST_OPEN, L"&Open"},           {ID_TEST_SAVE, L"&Save"},       {ID_TEST_BLOCKED, L"&Blocked"},
            {ID_TEST_UNHANDLED, L"&Unhandled"}, {ID_TEST_CHECKED, L"C&hecked"}, {ID_TEST_DEFAULT, L"&Delete"},
            {ID_TEST_NEXT, L"&Duplicate"},
        };
        for (const auto& button : buttons) {
            CXTPControl* pControl = m_bar.GetControls()->AddByType(xtpControlButton, button.nId);
            pControl->SetCaption(button.pszCaption);
            pControl->SetDescription(L"Does it");
        }
        m_bar.OnRecalcLayout();
        // The cursor waits away from the bar, so that no hover interferes.
        const POINT ptPark = frametest::ClientToScreenPoint(m_pFrame->m_hWnd, 250, 200);
        cbtest::MoveMouseTo(ptPark);
        ASSERT_TRUE(cbtest::WaitForCursor(ptPark));
        ASSERT_TRUE(frametest::Activate(m_pFrame->m_hWnd));
        lqtest::PumpPending();
    }

    void TearDown() override { DestroyFrameAndBar(); }

    CXTPControl* Control(int nId) { return m_bar.GetControls()->FindControl(nId); }
    POINT CentreOf(int nId)
    {
        const CRect rc = Control(nId)->GetRect();
        return frametest::ClientToScreenPoint(m_bar.m_hWnd, rc.CenterPoint().x, rc.CenterPoint().y);
    }
    int Runs(UINT nId) { return m_pFrame->m_runs[nId]; }
    void Tap(WORD vk) { lqtest::TapKey(vk); }
    // Presses the left button at pt; the steps run while the button is held, one per timer tick.
    void PressWithSteps(POINT pt, std::vector<std::function<void()>> steps)
    {
        cbtest::MoveMouseTo(pt);
        ASSERT_TRUE(cbtest::WaitForCursor(pt));
        lqtest::PumpPending();
        lqtest::TimedSteps timed(std::move(steps));
        frametest::SendMouse(pt, MOUSEEVENTF_LEFTDOWN);
        const bool bDone = lqtest::PumpUntil([&] { return timed.Done(); });
        timed.Stop();
        ASSERT_TRUE(bDone);
        lqtest::PumpPending();
    }
};

TEST_F(CommandBarWindowTest, IdleUpdatesTakeTheStatesOfTheFramesHandlers)
{
    Control(ID_TEST_SAVE)->SetFlags(xtpFlagManualUpdate);
    Control(ID_TEST_SAVE)->SetEnabled(FALSE);
    m_app.OnIdle(0);
    EXPECT_TRUE(Control(ID_TEST_OPEN)->GetEnabled());
    EXPECT_FALSE(Control(ID_TEST_BLOCKED)->GetEnabled());   // its update handler disables it
    EXPECT_FALSE(Control(ID_TEST_UNHANDLED)->GetEnabled()); // no command handler at all
    EXPECT_EQ(Control(ID_TEST_CHECKED)->GetChecked(), 1);
    EXPECT_FALSE(Control(ID_TEST_SAVE)->GetEnabled()); // updated by hand only

    // In customise mode every control is enabled so that it can be dragged.
    m_pCommandBars->SetCustomizeMode(TRUE);
    m_bar.OnUpdateCmdUI(TRUE, 0);
    EXPECT_TRUE(Control(ID_TEST_BLOCKED)->GetEnabled());
    m_pCommandBars->SetCustomizeMode(FALSE);

    // A hidden bar is left alone until it shows.
    m_bar.ShowWindow(SW_HIDE);
    m_bar.OnUpdateCmdUI(TRUE, 0);
    EXPECT_TRUE(Control(ID_TEST_BLOCKED)->GetEnabled());
    m_bar.ShowWindow(SW_SHOW);
    m_bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_FALSE(Control(ID_TEST_BLOCKED)->GetEnabled());
}

TEST_F(CommandBarWindowTest, HoverHighlightsAndLeavingClears)
{
    cbtest::MoveMouseTo(CentreOf(ID_TEST_SAVE));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_bar.GetSelected() == Control(ID_TEST_SAVE)->GetIndex(); }));
    EXPECT_EQ(Control(ID_TEST_SAVE)->GetSelected(), xtpSelectedByMouse);
    ASSERT_FALSE(m_pFrame->m_selections.empty());
    EXPECT_EQ(m_pFrame->m_selections.back(), reinterpret_cast<WPARAM>(Control(ID_TEST_SAVE)));

    cbtest::MoveMouseTo(frametest::ClientToScreenPoint(m_pFrame->m_hWnd, 250, 200));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_bar.GetSelected() == -1; }));
    EXPECT_EQ(Control(ID_TEST_SAVE)->GetSelected(), xtpNotSelected);
    EXPECT_EQ(m_pFrame->m_selections.back(), 0u);
}

TEST_F(CommandBarWindowTest, AClickReleasedInsideRunsTheCommand)
{
    int nPressed = -1, nSelected = -1;
    const POINT pt = CentreOf(ID_TEST_OPEN);
    PressWithSteps(pt, {[&] {
                       nPressed = Control(ID_TEST_OPEN)->GetPressed();
                       nSelected = Control(ID_TEST_OPEN)->GetSelected();
                       frametest::SendMouse(pt, MOUSEEVENTF_LEFTUP);
                   }});
    ASSERT_TRUE(lqtest::PumpUntil([&] { return Runs(ID_TEST_OPEN) == 1; }));
    EXPECT_EQ(nPressed, 1);
    EXPECT_EQ(nSelected, xtpSelectedByMouse);
    // Drawn pressed until the next update.
    EXPECT_EQ(Control(ID_TEST_OPEN)->GetPressed(), 2);
    m_bar.OnUpdateCmdUI(TRUE, 0);
    EXPECT_EQ(Control(ID_TEST_OPEN)->GetPressed(), 0);
}

TEST_F(CommandBarWindowTest, AClickReleasedOutsideRunsNothingUnlessTheMouseCameBack)
{
    const POINT inside = CentreOf(ID_TEST_OPEN);
    const POINT outside = frametest::ClientToScreenPoint(m_pFrame->m_hWnd, 250, 200);
    int nSelectedOutside = -1;
    PressWithSteps(inside, {[&] { cbtest::MoveMouseTo(outside); },
                            [&] {
                                nSelectedOutside = Control(ID_TEST_OPEN)->GetSelected();
                                frametest::SendMouse(outside, MOUSEEVENTF_LEFTUP);
                            }});
    EXPECT_EQ(nSelectedOutside, xtpNotSelected);
    EXPECT_EQ(Runs(ID_TEST_OPEN), 0);
    EXPECT_EQ(Control(ID_TEST_OPEN)->GetPressed(), 0);

    PressWithSteps(inside, {[&] { cbtest::MoveMouseTo(outside); }, [&] { cbtest::MoveMouseTo(inside); },
                            [&] { frametest::SendMouse(inside, MOUSEEVENTF_LEFTUP); }});
    ASSERT_TRUE(lqtest::PumpUntil([&] { return Runs(ID_TEST_OPEN) == 1; }));
}

TEST_F(CommandBarWindowTest, AQuitPostedWhileAButtonIsHeldReachesTheOuterLoop)
{
    const POINT pt = CentreOf(ID_TEST_OPEN);
    cbtest::MoveMouseTo(pt);
    ASSERT_TRUE(cbtest::WaitForCursor(pt));
    lqtest::PumpPending();
    lqtest::TimedSteps steps({[] { ::PostQuitMessage(7); }});
    frametest::SendMouse(pt, MOUSEEVENTF_LEFTDOWN);
    // This loop stands for the program's own: the quit must come back to it.
    WPARAM nExitCode = 0;
    const bool bQuit = lqtest::PumpUntilQuit(&nExitCode);
    steps.Stop();
    ASSERT_TRUE(bQuit);
    EXPECT_EQ(nExitCode, 7u);
    EXPECT_NE(::GetCapture(), m_bar.m_hWnd);
    frametest::SendMouse(pt, MOUSEEVENTF_LEFTUP);
    lqtest::PumpUntil([] { return ::GetAsyncKeyState(VK_LBUTTON) >= 0; });
    EXPECT_EQ(Runs(ID_TEST_OPEN), 0); // the loop ended at the quit, before any release
}

TEST_F(CommandBarWindowTest, DisabledControlsIgnoreClicks)
{
    m_app.OnIdle(0);
    const POINT pt = CentreOf(ID_TEST_BLOCKED);
    cbtest::SendClick(pt);
    cbtest::SendClick(CentreOf(ID_TEST_OPEN)); // a marker that the first click was handled
    ASSERT_TRUE(lqtest::PumpUntil([&] { return Runs(ID_TEST_OPEN) == 1; }));
    EXPECT_EQ(Runs(ID_TEST_BLOCKED), 0);
}

TEST_F(CommandBarWindowTest, KeyboardNavigationMnemonicsAndEnter)
{
    m_bar.SetTrackingMode(xtpTrackingKeyboard, TRUE, TRUE);
    ASSERT_EQ(m_bar.GetSelected(), 0);
    EXPECT_EQ(Control(ID_TEST_OPEN)->GetSelected(), xtpSelectedByKeyboard);
    auto selectedId = [&] { return m_bar.GetSelectedControl() ? m_bar.GetSelectedControl()->GetID() : 0; };

    Tap(VK_RIGHT);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return selectedId() == ID_TEST_SAVE; }));
    Tap(VK_LEFT);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return selectedId() == ID_TEST_OPEN; }));
    Tap(VK_LEFT); // wraps to the last
    ASSERT_TRUE(lqtest::PumpUntil([&] { return selectedId() == ID_TEST_NEXT; }));
    Tap(VK_HOME);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return selectedId() == ID_TEST_OPEN; }));
    Tap(VK_END);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return selectedId() == ID_TEST_NEXT; }));

    // Two controls share D: each press selects the next one without running it.
    Tap('D');
    ASSERT_TRUE(lqtest::PumpUntil([&] { return selectedId() == ID_TEST_DEFAULT; }));
    Tap('D');
    ASSERT_TRUE(lqtest::PumpUntil([&] { return selectedId() == ID_TEST_NEXT; }));
    EXPECT_EQ(Runs(ID_TEST_DEFAULT) + Runs(ID_TEST_NEXT), 0);
    EXPECT_TRUE(m_bar.IsTrackingMode());

    // A unique access key runs its command, which ends tracking.
    Tap('S');
    ASSERT_TRUE(lqtest::PumpUntil([&] { return Runs(ID_TEST_SAVE) == 1; }));
    EXPECT_FALSE(m_bar.IsTrackingMode());

    m_bar.SetTrackingMode(xtpTrackingKeyboard, TRUE, TRUE);
    Tap(VK_RIGHT);
    Tap(VK_RETURN);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return Runs(ID_TEST_SAVE) == 2; }));

    m_bar.SetTrackingMode(xtpTrackingKeyboard, TRUE, TRUE);
    Tap(VK_ESCAPE);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !m_bar.IsTrackingMode(); }));
    EXPECT_EQ(m_bar.GetSelected(), -1);
}

TEST_F(CommandBarWindowTest, ToolTipsCarryTheShortcutWhenAsked)
{
    SetKeyNameProvider([](LONG, LPWSTR, int) -> int { return 0; });
    ASSERT_TRUE(m_pFrame->LoadAccelTable(MAKEINTRESOURCEW(IDR_TEST_ACCEL)));
    Control(ID_TEST_OPEN)->SetTooltip(L"Open");
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    const CPoint pt = Control(ID_TEST_OPEN)->GetRect().CenterPoint();
    EXPECT_EQ(m_bar.OnToolHitTest(pt, &info), ID_TEST_OPEN);
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, L"Open");
    EXPECT_EQ(info.hwnd, m_bar.m_hWnd);
    std::free(info.lpszText);

    m_pCommandBars->GetCommandBarsOptions()->bToolBarAccelTips = TRUE;
    info.lpszText = nullptr;
    EXPECT_EQ(m_bar.OnToolHitTest(pt, &info), ID_TEST_OPEN);
    EXPECT_STREQ(info.lpszText, L"Open (Ctrl+O)");
    std::free(info.lpszText);

    m_pCommandBars->GetCommandBarsOptions()->bToolBarScreenTips = FALSE;
    EXPECT_EQ(m_bar.OnToolHitTest(pt, &info), -1);
    SetKeyNameProvider(nullptr);
}

TEST_F(CommandBarWindowTest, CustomiseDropsOntoTheBar)
{
    m_pCommandBars->SetCustomizeMode(TRUE);
    CXTPControl* pSave = Control(ID_TEST_SAVE);
    const CRect rcSave = pSave->GetRect();
    const CPoint ptStart = rcSave.CenterPoint();

    // Onto its own place, moved 4 pixels at most: nothing changes.
    DROPEFFECT effect = DROPEFFECT_MOVE;
    m_bar.OnCustomizeDrop(pSave, effect, ptStart, ptStart + CPoint(4, 0));
    EXPECT_EQ(effect, static_cast<DROPEFFECT>(XTP_DROPEFFECT_STAY));
    EXPECT_FALSE(pSave->GetBeginGroup());
    EXPECT_EQ(m_bar.GetControlCount(), 7);
    // Further, past its own centre: it begins a group.
    effect = DROPEFFECT_MOVE;
    m_bar.OnCustomizeDrop(pSave, effect, ptStart - CPoint(6, 0), ptStart + CPoint(2, 0));
    EXPECT_TRUE(pSave->GetBeginGroup());
    m_bar.OnRecalcLayout();

    // Another control dropped before a group start takes over the mark; the copy becomes the selection.
    CXTPControl* pOpen = Control(ID_TEST_OPEN);
    const CRect rcTarget = pSave->GetRect();
    EXPECT_NE(m_bar.OnCustomizeDragOver(pOpen, CPoint(rcTarget.left + 1, rcTarget.CenterPoint().y)),
              static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_EQ(m_bar.GetDropMarker(), CRect(rcTarget.left, rcTarget.top, rcTarget.left + 6, rcTarget.bottom));
    effect = DROPEFFECT_MOVE;
    m_bar.OnCustomizeDrop(pOpen, effect, CPoint(0, 0), CPoint(rcTarget.left + 1, rcTarget.CenterPoint().y));
    ASSERT_EQ(m_bar.GetControlCount(), 8);
    CXTPControl* pCopy = m_bar.GetControl(1);
    EXPECT_EQ(pCopy->GetID(), ID_TEST_OPEN);
    EXPECT_NE(pCopy, pOpen);
    EXPECT_TRUE(pCopy->GetBeginGroup());
    EXPECT_FALSE(pSave->GetBeginGroup());
    EXPECT_EQ(m_pCommandBars->GetCustomizeControl(), pCopy);
    m_bar.HideDropMarker();
    EXPECT_TRUE(m_bar.GetDropMarker().IsRectEmpty());

    // A bar that cannot be customised takes no drops.
    m_bar.SetCustomizable(FALSE);
    EXPECT_EQ(m_bar.OnCustomizeDragOver(pOpen, ptStart), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    m_pCommandBars->SetCustomizeMode(FALSE);
}

TEST_F(CommandBarWindowTest, CustomiseDragsMoveRemoveOrLeaveAControl)
{
    m_pCommandBars->SetCustomizeMode(TRUE);
    auto ids = [&] {
        std::vector<int> result;
        for (int i = 0; i < m_bar.GetControlCount(); ++i)
            result.push_back(m_bar.GetControl(i)->GetID());
        return result;
    };
    const CRect rcChecked = Control(ID_TEST_CHECKED)->GetRect();
    const POINT ptAfterChecked =
        frametest::ClientToScreenPoint(m_bar.m_hWnd, rcChecked.right - 3, rcChecked.CenterPoint().y);
    const POINT ptAway = frametest::ClientToScreenPoint(m_pFrame->m_hWnd, 250, 200);

    // Escape cancels: the control stays where it was.
    PressWithSteps(CentreOf(ID_TEST_OPEN), {[&] { cbtest::MoveMouseTo(ptAfterChecked); },
                                            [&] {
                                                EXPECT_FALSE(m_bar.GetDropMarker().IsRectEmpty());
                                                Tap(VK_ESCAPE);
                                            },
                                            [&] { frametest::SendMouse(ptAfterChecked, MOUSEEVENTF_LEFTUP); }});
    EXPECT_EQ(ids(), std::vector<int>({ID_TEST_OPEN, ID_TEST_SAVE, ID_TEST_BLOCKED, ID_TEST_UNHANDLED, ID_TEST_CHECKED,
                                       ID_TEST_DEFAULT, ID_TEST_NEXT}));
    EXPECT_TRUE(m_bar.GetDropMarker().IsRectEmpty());
    m_bar.OnRecalcLayout();

    // Released over the bar: the control moves there. (Pressed elsewhere in it than before, so that the press is
    // no double click.)
    const CRect rcOpen = Control(ID_TEST_OPEN)->GetRect();
    const POINT ptOpenEdge = frametest::ClientToScreenPoint(m_bar.m_hWnd, rcOpen.left + 2, rcOpen.top + 2);
    PressWithSteps(ptOpenEdge, {[&] { cbtest::MoveMouseTo(ptAfterChecked); },
                                [&] { frametest::SendMouse(ptAfterChecked, MOUSEEVENTF_LEFTUP); }});
    EXPECT_EQ(ids(), std::vector<int>({ID_TEST_SAVE, ID_TEST_BLOCKED, ID_TEST_UNHANDLED, ID_TEST_CHECKED, ID_TEST_OPEN,
                                       ID_TEST_DEFAULT, ID_TEST_NEXT}));
    EXPECT_EQ(m_pCommandBars->GetCustomizeControl(), Control(ID_TEST_OPEN));
    m_bar.OnRecalcLayout();

    // Released away from every bar: the control is taken off.
    PressWithSteps(CentreOf(ID_TEST_SAVE),
                   {[&] { cbtest::MoveMouseTo(ptAway); }, [&] { frametest::SendMouse(ptAway, MOUSEEVENTF_LEFTUP); }});
    EXPECT_EQ(ids(), std::vector<int>({ID_TEST_BLOCKED, ID_TEST_UNHANDLED, ID_TEST_CHECKED, ID_TEST_OPEN,
                                       ID_TEST_DEFAULT, ID_TEST_NEXT}));
    m_pCommandBars->SetCustomizeMode(FALSE);
}

} // namespace
