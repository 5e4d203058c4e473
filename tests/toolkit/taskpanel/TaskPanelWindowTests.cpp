// The task panel window driven by real input: hot tracking and clicks reported to the owner, expanding and
// collapsing, keyboard focus, dragging items and groups, the scroll-button loop, hosted windows, renaming, and
// items removed while the panel animates, tracks the mouse or drags them.
#include "tests/toolkit/taskpanel/TaskPanelTestIds.h"
#include "tests/toolkit/taskpanel/TaskPanelTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

using tptest::CPanelHost;
using tptest::CProbeGroupItem;
using tptest::PanelFixture;

// A panel that lets input scripts on another thread see how a drag or a group move is going.
class CWatchedPanel : public CXTPTaskPanel
{
public:
    std::atomic<CXTPTaskPanelItem*> m_pLastDropTarget{nullptr};
    std::atomic<bool> m_bGroupMoveRunning{false};
    // Runs on the panel's thread as a group move begins, before its loop takes the first message.
    std::function<void()> m_onGroupMoveStart;
    // Runs on the panel's thread at each drag-over, inside the drag.
    std::function<void()> m_onDragOver;
    // What the panel's own thread saw of one group at its last paint (the modal loops paint after each change).
    CXTPTaskPanelGroup* m_pWatchedGroup = nullptr;
    std::atomic<int> m_nWatchedIndex{-1};
    std::atomic<int> m_nWatchedFirstVisible{-1};

    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override
    {
        const DROPEFFECT effect = CXTPTaskPanel::OnDragOver(pDataObject, dwKeyState, point);
        m_pLastDropTarget = GetDropTargetItem();
        if (m_onDragOver)
            m_onDragOver();
        return effect;
    }
    void TrackGroupMove(CXTPTaskPanelGroup* pGroup) override
    {
        m_bGroupMoveRunning = true;
        if (m_onGroupMoveStart)
            m_onGroupMoveStart();
        CXTPTaskPanel::TrackGroupMove(pGroup);
        m_bGroupMoveRunning = false;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT && m_pWatchedGroup) {
            m_nWatchedIndex = GetGroups()->IndexOf(m_pWatchedGroup);
            m_nWatchedFirstVisible = m_pWatchedGroup->GetFirstVisibleItem();
        }
        return CXTPTaskPanel::WindowProc(message, wParam, lParam);
    }
};

// Input sent from a thread of its own while the panel's thread sits in a modal loop.
class InputScript
{
public:
    explicit InputScript(std::function<void()> script) : m_thread(std::move(script)) {}
    ~InputScript() { m_thread.join(); }
    InputScript(const InputScript&) = delete;
    InputScript& operator=(const InputScript&) = delete;

    // Waits (on the script's thread) until cond holds, for at most timeoutMs.
    static bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs = 5000)
    {
        const DWORD start = ::GetTickCount();
        while (!cond()) {
            if (::GetTickCount() - start > timeoutMs)
                return false;
            ::Sleep(5);
        }
        return true;
    }

private:
    std::thread m_thread;
};

POINT Offset(POINT pt, int dx, int dy)
{
    return POINT{pt.x + dx, pt.y + dy};
}

class TaskPanelWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CProbeGroupItem::s_nUsedDetached = 0;
        m_pFixture = std::make_unique<PanelFixture>(CSize(300, 420), &m_panel);
        m_pTasks = m_panel.AddGroup(IDS_TP_GROUP_TASKS);
        m_pA = m_pFixture->AddProbe(m_pTasks, L"Alpha");
        m_pB = m_pFixture->AddProbe(m_pTasks, L"Beta");
        m_pPlaces = m_panel.AddGroup(IDS_TP_GROUP_PLACES);
        m_pC = m_pFixture->AddProbe(m_pPlaces, L"Gamma");
        ASSERT_TRUE(m_pFixture->FinishAnimation());
    }

    void TearDown() override
    {
        frametest::SendMouse(POINT{5, 5}, MOUSEEVENTF_LEFTUP);
        lqtest::PumpPending();
        m_pFixture.reset();
        m_panel.RemoveAllGroups();
        EXPECT_EQ(0, CProbeGroupItem::s_nUsedDetached);
        EXPECT_EQ(0, CProbeGroupItem::s_nLive);
    }

    POINT At(CXTPTaskPanelItem* pItem) { return m_pFixture->ScreenPoint(m_pFixture->ItemCenter(pItem)); }
    CPanelHost& Host() { return m_pFixture->Host(); }
    bool Pump(const std::function<bool()>& cond) { return lqtest::PumpUntil(cond, 5000); }

    // Drags item A onto the Places group: pressed, moved off until the drag starts, then over the group's caption
    // until the panel takes it as the target, and released there; dropped() tells when the drop has landed.
    void DragAToPlaces(const std::function<bool()>& dropped)
    {
        std::atomic<bool> bDragStarting{false};
        Host().m_answer = [&](WPARAM nCode, CXTPTaskPanelItem*) -> LRESULT {
            if (nCode == TaskPanelNotifyStartDrag)
                bDragStarting = true;
            return 0;
        };
        const POINT ptA = At(m_pA);
        const POINT ptTarget = At(m_pPlaces);
        CXTPTaskPanelGroup* pPlaces = m_pPlaces;

        tptest::MoveMouse(ptA);
        frametest::SendMouse(ptA, MOUSEEVENTF_LEFTDOWN);
        ASSERT_TRUE(Pump([&] { return m_panel.GetPressedItem() == m_pA; }));
        {
            InputScript script([&] {
                if (!InputScript::WaitFor([&] { return bDragStarting.load(); }))
                    return;
                for (int i = 0; i < 400 && m_panel.m_pLastDropTarget.load() != pPlaces; ++i) {
                    frametest::SendMouse(Offset(ptTarget, i % 2, 0), 0);
                    ::Sleep(10); // paces the moves; the target's report decides
                }
                frametest::SendMouse(ptTarget, MOUSEEVENTF_LEFTUP);
            });
            frametest::SendMouse(Offset(ptA, 8, 0), 0);
            ASSERT_TRUE(Pump(dropped));
        }
        Host().m_answer = nullptr;
    }

    CWatchedPanel m_panel;
    std::unique_ptr<PanelFixture> m_pFixture;
    CXTPTaskPanelGroup* m_pTasks = nullptr;
    CXTPTaskPanelGroup* m_pPlaces = nullptr;
    CProbeGroupItem* m_pA = nullptr;
    CProbeGroupItem* m_pB = nullptr;
    CProbeGroupItem* m_pC = nullptr;
};

TEST_F(TaskPanelWindow, HoveringMakesALinkHotAndClicksReachTheOwner)
{
    tptest::MoveMouse(At(m_pA));
    ASSERT_TRUE(Pump([&] { return m_panel.GetHotItem() == m_pA; }));
    EXPECT_TRUE(m_pA->IsItemHot());

    tptest::ClickAt(At(m_pB));
    ASSERT_TRUE(Pump([&] { return Host().Count(TaskPanelNotifyClick) == 1; }));
    EXPECT_EQ(m_pB, Host().m_notes.back().pItem);
    EXPECT_EQ(m_pB, m_panel.GetFocusedItem());
    EXPECT_FALSE(m_panel.IsDrawFocusRect());

    tptest::ClickAt(At(m_pC), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(Pump([&] { return Host().Count(TaskPanelNotifyRightClick) == 1; }));
    EXPECT_EQ(m_pC, Host().m_notes.back().pItem);
    EXPECT_EQ(m_pC, m_panel.GetFocusedItem());

    // Leaving the panel clears the hot item.
    tptest::MoveMouse(m_pFixture->ScreenPoint(CPoint(600, 300)));
    EXPECT_TRUE(Pump([&] { return m_panel.GetHotItem() == nullptr; }));
    EXPECT_EQ(1, Host().Count(TaskPanelNotifyClick));
}

TEST_F(TaskPanelWindow, ClickingACaptionCollapsesAndExpandsTheGroupWithAnimation)
{
    const CRect rcExpanded = m_pTasks->GetTargetRect();
    tptest::ClickAt(At(m_pTasks));
    ASSERT_TRUE(Pump([&] { return !m_pTasks->IsExpanded(); }));
    EXPECT_TRUE(m_pTasks->IsAnimating());
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    EXPECT_EQ(m_pTasks->GetCaptionHeight(), m_pTasks->GetCurrentRect().Height());
    EXPECT_EQ(m_pTasks->GetTargetRect().bottom + 15, m_pPlaces->GetCurrentRect().top);
    EXPECT_EQ(0, Host().Count(TaskPanelNotifyClick));

    tptest::ClickAt(At(m_pTasks));
    ASSERT_TRUE(Pump([&] { return m_pTasks->IsExpanded(); }));
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    EXPECT_EQ(rcExpanded, m_pTasks->GetCurrentRect());
}

TEST_F(TaskPanelWindow, WithOneOpenGroupClickingTheOpenCaptionKeepsItOpen)
{
    m_panel.SetBehaviour(TaskPanelBehaviourActiveGroup);
    m_pTasks->SetExpanded(TRUE);
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    EXPECT_FALSE(m_pPlaces->IsExpanded());

    tptest::ClickAt(At(m_pTasks));
    ASSERT_TRUE(Pump([&] { return m_panel.GetFocusedItem() == m_pTasks; }));
    lqtest::PumpPending();
    EXPECT_TRUE(m_pTasks->IsExpanded());
    EXPECT_FALSE(m_pTasks->IsAnimating());

    tptest::ClickAt(At(m_pPlaces));
    ASSERT_TRUE(Pump([&] { return m_panel.GetActiveGroup() == m_pPlaces; }));
    EXPECT_TRUE(m_pTasks->IsAnimating());
    EXPECT_TRUE(m_pPlaces->IsAnimating());
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    EXPECT_FALSE(m_pTasks->IsExpanded());
    EXPECT_EQ(m_pTasks->GetCaptionHeight(), m_pTasks->GetCurrentRect().Height());
}

TEST_F(TaskPanelWindow, TheFocusWalksGroupsAndItemsByTabArrowsHomeAndEnd)
{
    CXTPTaskPanelGroup* pEmpty = m_panel.AddGroup(IDS_TP_GROUP_TASKS);
    CXTPTaskPanelGroup* pLast = m_panel.AddGroup(IDS_TP_GROUP_PLACES);
    CProbeGroupItem* pDisabled = m_pFixture->AddProbe(pLast, L"Disabled");
    pDisabled->SetEnabled(FALSE);
    CProbeGroupItem* pF = m_pFixture->AddProbe(pLast, L"Final");
    m_pPlaces->SetExpanded(FALSE);
    ASSERT_TRUE(m_pFixture->FinishAnimation());

    // Forward by group: group to its first item, item to the next group; a collapsed group's items are skipped.
    EXPECT_EQ(m_pTasks, m_panel.GetNextItem(nullptr, 1, TRUE));
    EXPECT_EQ(m_pA, m_panel.GetNextItem(m_pTasks, 1, TRUE));
    EXPECT_EQ(m_pPlaces, m_panel.GetNextItem(m_pA, 1, TRUE));
    EXPECT_EQ(pEmpty, m_panel.GetNextItem(m_pPlaces, 1, TRUE));
    EXPECT_EQ(pLast, m_panel.GetNextItem(pEmpty, 1, TRUE));
    EXPECT_EQ(nullptr, m_panel.GetNextItem(pLast, 1, TRUE));
    // Back by group: item to its group, group to the last item of the one before, or that group.
    EXPECT_EQ(pLast, m_panel.GetNextItem(pF, -1, TRUE));
    EXPECT_EQ(pEmpty, m_panel.GetNextItem(pLast, -1, TRUE));
    EXPECT_EQ(m_pPlaces, m_panel.GetNextItem(pEmpty, -1, TRUE));
    EXPECT_EQ(m_pB, m_panel.GetNextItem(m_pPlaces, -1, TRUE));
    // One at a time, over disabled items.
    EXPECT_EQ(m_pB, m_panel.GetNextItem(m_pA, 1, FALSE));
    EXPECT_EQ(pF, m_panel.GetNextItem(pLast, 1, FALSE));
    EXPECT_EQ(pLast, m_panel.GetNextItem(pF, -1, FALSE));

    // The same through the keyboard, with focus cues on.
    m_panel.SetFocus();
    ASSERT_TRUE(Pump([&] { return ::GetFocus() == m_panel.m_hWnd; }));
    tptest::PressKey(VK_TAB);
    ASSERT_TRUE(Pump([&] { return m_panel.GetFocusedItem() == m_pTasks; }));
    EXPECT_TRUE(m_panel.IsDrawFocusRect());
    tptest::PressKey(VK_DOWN);
    ASSERT_TRUE(Pump([&] { return m_panel.GetFocusedItem() == m_pA; }));
    tptest::PressKey(VK_END);
    ASSERT_TRUE(Pump([&] { return m_panel.GetFocusedItem() == m_pB; }));
    tptest::PressKey(VK_HOME);
    ASSERT_TRUE(Pump([&] { return m_panel.GetFocusedItem() == m_pA; }));
    tptest::PressKey(VK_RETURN);
    ASSERT_TRUE(Pump([&] { return Host().Count(TaskPanelNotifyClick) == 1; }));
    EXPECT_EQ(m_pA, Host().m_notes.back().pItem);
    frametest::SendKey(VK_SHIFT, false);
    tptest::PressKey(VK_TAB);
    frametest::SendKey(VK_SHIFT, true);
    ASSERT_TRUE(Pump([&] { return m_panel.GetFocusedItem() == m_pTasks; }));
    tptest::PressKey(VK_SPACE);
    ASSERT_TRUE(Pump([&] { return !m_pTasks->IsExpanded(); }));
}

TEST_F(TaskPanelWindow, AnItemDraggedToAnotherGroupMovesThereWithItsClassAndId)
{
    m_panel.AllowDrag(TRUE);
    const UINT_PTR nRecord = sizeof(UINT_PTR) > 4 ? (UINT_PTR(0x51) << 32) | 0x1234 : 0x12345678;
    m_pA->SetID(nRecord);
    ASSERT_NO_FATAL_FAILURE(DragAToPlaces([&] { return m_pPlaces->GetItemCount() == 2; }));
    EXPECT_EQ(1, Host().Count(TaskPanelNotifyStartDrag));
    ASSERT_EQ(1, m_pTasks->GetItemCount());
    EXPECT_EQ(m_pB, m_pTasks->GetAt(0));
    CXTPTaskPanelItem* pMoved = m_pPlaces->GetAt(1);
    EXPECT_TRUE(pMoved->IsKindOf(RUNTIME_CLASS(CProbeGroupItem)));
    EXPECT_STREQ(L"Alpha", pMoved->GetCaption());
    EXPECT_EQ(nRecord, pMoved->GetID());
    EXPECT_EQ(nullptr, m_panel.GetDraggedItem());
    EXPECT_EQ(nullptr, m_panel.GetDropTargetItem());
    EXPECT_EQ(3, CProbeGroupItem::s_nLive);
}

TEST_F(TaskPanelWindow, ADragStartsOnlyPastFourPixelsWhenAllowedAndTheOwnerAgrees)
{
    Host().m_answer = [](WPARAM nCode, CXTPTaskPanelItem*) -> LRESULT {
        return nCode == TaskPanelNotifyStartDrag ? -1 : 0;
    };
    const POINT ptA = At(m_pA);
    auto press = [&] {
        tptest::MoveMouse(ptA);
        frametest::SendMouse(ptA, MOUSEEVENTF_LEFTDOWN);
        return Pump([&] { return m_panel.GetPressedItem() == m_pA; });
    };
    auto moveBy = [&](int dx, int dy) {
        tptest::MoveMouse(Offset(ptA, dx, dy));
        lqtest::PumpPending();
    };

    // Not allowed: nothing is asked, whatever the distance.
    ASSERT_TRUE(press());
    moveBy(30, 0);
    EXPECT_EQ(0, Host().Count(TaskPanelNotifyStartDrag));
    frametest::SendMouse(Offset(ptA, 30, 0), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(Pump([&] { return m_panel.GetPressedItem() == nullptr; }));

    m_panel.AllowDrag(TRUE);
    ASSERT_TRUE(press());
    moveBy(2, 2);
    EXPECT_EQ(0, Host().Count(TaskPanelNotifyStartDrag));
    moveBy(3, 2);
    ASSERT_TRUE(Pump([&] { return Host().Count(TaskPanelNotifyStartDrag) == 1; }));
    // The owner said no: the item stays where it was.
    EXPECT_EQ(2, m_pTasks->GetItemCount());
    EXPECT_EQ(nullptr, m_panel.GetDraggedItem());
    frametest::SendMouse(Offset(ptA, 3, 2), MOUSEEVENTF_LEFTUP);
    lqtest::PumpPending();
}

TEST_F(TaskPanelWindow, AGroupDraggedByItsCaptionTakesThePlaceOfTheGroupUnderTheMouse)
{
    m_panel.AllowDrag(TRUE);
    CXTPTaskPanelGroup* pThird = m_panel.AddGroup(IDS_TP_GROUP_PLACES);
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    const POINT ptCaption = At(m_pTasks);
    const POINT ptThird = At(pThird);

    m_panel.m_pWatchedGroup = m_pTasks;

    tptest::MoveMouse(ptCaption);
    frametest::SendMouse(ptCaption, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(Pump([&] { return m_panel.GetPressedItem() == m_pTasks; }));
    {
        InputScript script([&] {
            if (!InputScript::WaitFor([&] { return m_panel.m_bGroupMoveRunning.load(); }))
                return;
            frametest::SendMouse(ptThird, 0);
            InputScript::WaitFor([&] { return m_panel.m_nWatchedIndex.load() == 2; });
            frametest::SendMouse(ptThird, MOUSEEVENTF_LEFTUP);
        });
        frametest::SendMouse(Offset(ptCaption, 0, 6), 0);
        ASSERT_TRUE(Pump([&] { return !m_panel.m_bGroupMoveRunning.load() && ::GetCapture() == nullptr; }));
    }
    EXPECT_EQ(m_pPlaces, m_panel.GetAt(0));
    EXPECT_EQ(pThird, m_panel.GetAt(1));
    EXPECT_EQ(m_pTasks, m_panel.GetAt(2));
    EXPECT_EQ(nullptr, m_panel.GetDraggedItem());
}

// A quit asked while a group is moved: the platform hands it out to the loop's paint-only peek, and a loop that
// dispatched it lost the quit and waited for the button to come up.
TEST_F(TaskPanelWindow, AQuitPostedDuringAGroupMoveEndsTheMoveAndReachesTheOuterLoop)
{
    m_panel.AllowDrag(TRUE);
    const POINT ptCaption = At(m_pTasks);
    m_panel.m_onGroupMoveStart = [this] {
        m_panel.Invalidate(FALSE);
        ::PostQuitMessage(6);
    };
    tptest::MoveMouse(ptCaption);
    frametest::SendMouse(ptCaption, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(Pump([&] { return m_panel.GetPressedItem() == m_pTasks; }));
    WPARAM nExitCode = 0;
    bool bQuit = false;
    {
        // Should the loop keep waiting, the button comes up after a while, so that the test ends and fails.
        InputScript script([&] {
            if (InputScript::WaitFor([&] { return m_panel.m_bGroupMoveRunning.load(); }) &&
                !InputScript::WaitFor([&] { return !m_panel.m_bGroupMoveRunning.load(); }, 3000))
                frametest::SendMouse(ptCaption, MOUSEEVENTF_LEFTUP);
        });
        frametest::SendMouse(Offset(ptCaption, 0, 6), 0);
        bQuit = lqtest::PumpUntilQuit(&nExitCode, 8000);
    }
    m_panel.m_onGroupMoveStart = nullptr;
    EXPECT_TRUE(bQuit);
    EXPECT_EQ(6u, nExitCode);
    EXPECT_FALSE(m_panel.m_bGroupMoveRunning.load());
    EXPECT_EQ(nullptr, ::GetCapture());
    EXPECT_EQ(m_pTasks, m_panel.GetAt(0));
}

TEST_F(TaskPanelWindow, TheDownButtonScrollsTheOpenGroupWhileHeld)
{
    m_panel.SetBehaviour(TaskPanelBehaviourActiveGroup);
    for (int i = 0; i < 12; ++i)
        m_pTasks->AddTextItem(L"Line")->SetSize(100, 30);
    m_pTasks->SetExpanded(TRUE);
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    CXTPTaskPanelScrollButton* pDown = m_panel.GetScrollButton(FALSE);
    ASSERT_TRUE(pDown->IsVisible());
    const POINT ptButton = m_pFixture->ScreenPoint(pDown->m_rc.CenterPoint());
    m_panel.m_pWatchedGroup = m_pTasks;

    tptest::MoveMouse(ptButton);
    {
        InputScript script([&] {
            // The first row goes at the press, the next ones with the repeat timer.
            InputScript::WaitFor([&] { return m_panel.m_nWatchedFirstVisible.load() >= 3; });
            frametest::SendMouse(ptButton, MOUSEEVENTF_LEFTUP);
        });
        frametest::SendMouse(ptButton, MOUSEEVENTF_LEFTDOWN);
        ASSERT_TRUE(Pump([&] { return m_pTasks->GetFirstVisibleItem() >= 3 && ::GetCapture() == nullptr; }));
    }
    const int nFirst = m_pTasks->GetFirstVisibleItem();
    EXPECT_FALSE(pDown->m_bPressed);
    lqtest::PumpPending();
    EXPECT_EQ(nFirst, m_pTasks->GetFirstVisibleItem());
    EXPECT_TRUE(m_panel.GetScrollButton(TRUE)->IsVisible());
}

TEST_F(TaskPanelWindow, AHostedWindowShowsOnlyWhileItsGroupIsOpenAndStill)
{
    HWND hEdit = ::CreateWindowExW(0, L"EDIT", L"hosted", WS_CHILD | WS_BORDER, 0, 0, 150, 24, m_panel.m_hWnd, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(nullptr, hEdit);
    RECT rcEditClient;
    ::GetClientRect(hEdit, &rcEditClient);
    m_pPlaces->SetExpanded(FALSE);
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    CXTPTaskPanelGroupItem* pHosted = m_pPlaces->AddControlItem(hEdit);
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    EXPECT_EQ(TaskPanelItemControl, pHosted->GetType());
    EXPECT_EQ(rcEditClient.bottom, pHosted->GetItemRect().Height());
    EXPECT_FALSE(::IsWindowVisible(hEdit));

    m_pPlaces->SetExpanded(TRUE);
    m_panel.SendMessage(WM_TIMER, TaskPanelTimerAnimation);
    EXPECT_FALSE(::IsWindowVisible(hEdit));
    EXPECT_TRUE(pHosted->HasSnapshot());
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    ASSERT_TRUE(::IsWindowVisible(hEdit));
    EXPECT_FALSE(pHosted->HasSnapshot());

    auto placed = [&] {
        RECT rc;
        ::GetWindowRect(hEdit, &rc);
        ::MapWindowPoints(nullptr, m_panel.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        return CRect(rc);
    };
    const CRect rcClient = m_pPlaces->GetClientRect();
    EXPECT_EQ(CRect(rcClient.left + 11, rcClient.top + pHosted->GetItemRect().top, rcClient.right - 11,
                    rcClient.top + pHosted->GetItemRect().bottom),
              placed());
    pHosted->SetSize(100, rcEditClient.bottom);
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    EXPECT_EQ(100, placed().Width());
    pHosted->SetSize(1000, rcEditClient.bottom);
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    EXPECT_EQ(rcClient.Width() - 22, placed().Width());

    // The item only hides the window it hosted when it goes.
    pHosted->Remove();
    EXPECT_FALSE(::IsWindowVisible(hEdit));
    EXPECT_TRUE(::IsWindow(hEdit));
    ::DestroyWindow(hEdit);
}

TEST_F(TaskPanelWindow, RenamingInPlaceAsksTheOwnerFirst)
{
    LRESULT nAnswer = 0;
    Host().m_answer = [&](WPARAM nCode, CXTPTaskPanelItem*) { return nCode == TaskPanelNotifyRename ? nAnswer : 0; };
    auto rename = [&](LPCWSTR lpszText, WORD vkEnd) {
        if (!m_panel.EditItemCaption(m_pA))
            return false;
        CXTPTaskPanelEditItem* pEdit = m_panel.GetEditItem();
        pEdit->SetWindowText(lpszText);
        if (!Pump([&] { return ::GetFocus() == pEdit->m_hWnd; }))
            return false;
        tptest::PressKey(vkEnd);
        return Pump([&] { return m_panel.GetEditItem() == nullptr; });
    };

    ASSERT_TRUE(rename(L"Alpha renamed", VK_RETURN));
    EXPECT_STREQ(L"Alpha renamed", m_pA->GetCaption());
    EXPECT_EQ(1, Host().Count(TaskPanelNotifyRename));
    EXPECT_EQ(::GetFocus(), m_panel.m_hWnd);

    nAnswer = 1;
    ASSERT_TRUE(rename(L"Refused", VK_RETURN));
    EXPECT_STREQ(L"Alpha renamed", m_pA->GetCaption());
    EXPECT_EQ(2, Host().Count(TaskPanelNotifyRename));

    ASSERT_TRUE(rename(L"Escaped", VK_ESCAPE));
    EXPECT_STREQ(L"Alpha renamed", m_pA->GetCaption());
    EXPECT_EQ(2, Host().Count(TaskPanelNotifyRename));

    // An item removed while it is edited ends the edit without asking.
    ASSERT_TRUE(m_panel.EditItemCaption(m_pB));
    m_pB->Remove();
    EXPECT_EQ(nullptr, m_panel.GetEditItem());
    EXPECT_EQ(2, Host().Count(TaskPanelNotifyRename));
}

TEST_F(TaskPanelWindow, AGroupRemovedWhileItAnimatesIsNotTouchedAgain)
{
    m_pTasks->SetExpanded(FALSE);
    m_panel.SendMessage(WM_TIMER, TaskPanelTimerAnimation);
    ASSERT_TRUE(m_pTasks->IsAnimating());
    m_panel.SetHotItem(m_pA);
    m_panel.SetFocusedItem(m_pB);
    m_panel.GetGroups()->Remove(m_pTasks);
    EXPECT_EQ(1, CProbeGroupItem::s_nLive);
    EXPECT_EQ(nullptr, m_panel.GetHotItem());
    EXPECT_EQ(nullptr, m_panel.GetFocusedItem());
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    m_panel.UpdateWindow();
    EXPECT_EQ(m_pPlaces, m_panel.GetAt(0));
}

TEST_F(TaskPanelWindow, AnItemRemovedWhileTheButtonIsDownIsNeitherClickedNorUsed)
{
    const POINT ptA = At(m_pA);
    tptest::MoveMouse(ptA);
    frametest::SendMouse(ptA, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(Pump([&] { return m_panel.GetPressedItem() == m_pA && m_panel.GetHotItem() == m_pA; }));
    m_pA->Remove();
    EXPECT_EQ(nullptr, m_panel.GetPressedItem());
    EXPECT_EQ(nullptr, m_panel.GetHotItem());
    EXPECT_EQ(nullptr, m_panel.GetFocusedItem());
    EXPECT_EQ(2, CProbeGroupItem::s_nLive);

    tptest::MoveMouse(Offset(ptA, 1, 0));
    frametest::SendMouse(Offset(ptA, 1, 0), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(Pump([&] { return ::GetCapture() == nullptr; }));
    lqtest::PumpPending();
    EXPECT_EQ(0, Host().Count(TaskPanelNotifyClick));
}

TEST_F(TaskPanelWindow, AnItemRemovedDuringItsDragIsNotRemovedAgainAndTheDropStillLands)
{
    m_panel.AllowDrag(TRUE);
    // The owner's refresh takes the dragged item away while the drag runs.
    CProbeGroupItem* pA = m_pA;
    m_panel.m_onDragOver = [&] {
        if (pA && pA->GetParentItems())
            pA->Remove();
    };
    ASSERT_NO_FATAL_FAILURE(DragAToPlaces([&] { return m_pPlaces->GetItemCount() == 2 && ::GetCapture() == nullptr; }));
    m_panel.m_onDragOver = nullptr;
    ASSERT_EQ(1, m_pTasks->GetItemCount());
    EXPECT_EQ(m_pB, m_pTasks->GetAt(0));
    EXPECT_STREQ(L"Alpha", m_pPlaces->GetAt(1)->GetCaption());
    EXPECT_EQ(3, CProbeGroupItem::s_nLive);
}

TEST_F(TaskPanelWindow, ADragThatTheOwnerAnswersByRemovingTheItemNeverStarts)
{
    m_panel.AllowDrag(TRUE);
    CProbeGroupItem* pA = m_pA;
    Host().m_answer = [&](WPARAM nCode, CXTPTaskPanelItem* pItem) -> LRESULT {
        if (nCode == TaskPanelNotifyStartDrag && pItem == pA)
            pA->Remove();
        return 0;
    };
    const POINT ptA = At(m_pA);
    tptest::MoveMouse(ptA);
    frametest::SendMouse(ptA, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(Pump([&] { return m_panel.GetPressedItem() == m_pA; }));
    tptest::MoveMouse(Offset(ptA, 10, 0));
    ASSERT_TRUE(Pump([&] { return Host().Count(TaskPanelNotifyStartDrag) == 1; }));
    frametest::SendMouse(Offset(ptA, 10, 0), MOUSEEVENTF_LEFTUP);
    lqtest::PumpPending();
    EXPECT_EQ(1, m_pTasks->GetItemCount());
    EXPECT_EQ(nullptr, m_panel.GetDraggedItem());
    EXPECT_EQ(2, CProbeGroupItem::s_nLive);
}

} // namespace

namespace {

// The drop rules, driven through the panel's own drag-over and drop operations with data of one of its items.
class TaskPanelDrop : public TaskPanelWindow
{
protected:
    void Offer(CXTPTaskPanelItem* pItem)
    {
        m_pSource = std::make_unique<COleDataSource>();
        ASSERT_TRUE(pItem->PrepareDrag(*m_pSource));
        m_data.Attach(m_pSource->GetDataObject(), TRUE);
    }
    void TearDown() override
    {
        m_data.Release();
        m_pSource.reset();
        TaskPanelWindow::TearDown();
    }
    // A client point in the upper or lower half of an item.
    CPoint Half(CXTPTaskPanelItem* pItem, bool bLower)
    {
        const CPoint pt = m_pFixture->ItemCenter(pItem);
        return CPoint(pt.x, pt.y + (bLower ? 3 : -3));
    }

    std::unique_ptr<COleDataSource> m_pSource;
    COleDataObject m_data;
};

TEST_F(TaskPanelDrop, TheUpperHalfDropsBeforeAnItemAndTheLowerHalfOfTheLastAppends)
{
    Offer(m_pC);
    EXPECT_EQ(DROPEFFECT_MOVE, m_panel.OnDragOver(&m_data, 0, Half(m_pB, false)));
    EXPECT_EQ(m_pB, m_panel.GetDropTargetItem());
    EXPECT_EQ(DROPEFFECT_COPY, m_panel.OnDragOver(&m_data, MK_CONTROL, Half(m_pA, true)));
    EXPECT_EQ(m_pB, m_panel.GetDropTargetItem());
    EXPECT_EQ(DROPEFFECT_MOVE, m_panel.OnDragOver(&m_data, 0, Half(m_pB, true)));
    EXPECT_EQ(m_pTasks, m_panel.GetDropTargetItem());
    EXPECT_EQ(DROPEFFECT_NONE, m_panel.OnDragOver(&m_data, 0, CPoint(3, 3)));
    EXPECT_EQ(nullptr, m_panel.GetDropTargetItem());

    m_panel.OnDragOver(&m_data, 0, Half(m_pB, true));
    ASSERT_TRUE(m_panel.OnDrop(&m_data, DROPEFFECT_MOVE, Half(m_pB, true)));
    ASSERT_EQ(3, m_pTasks->GetItemCount());
    EXPECT_STREQ(L"Gamma", m_pTasks->GetAt(2)->GetCaption());
    EXPECT_EQ(m_pTasks->GetAt(2), m_panel.GetFocusedItem());
    EXPECT_EQ(nullptr, m_panel.GetDropTargetItem());

    m_panel.OnDragOver(&m_data, 0, Half(m_pB, false));
    ASSERT_TRUE(m_panel.OnDrop(&m_data, DROPEFFECT_COPY, Half(m_pB, false)));
    EXPECT_EQ(m_pB, m_pTasks->GetAt(2));
    EXPECT_STREQ(L"Gamma", m_pTasks->GetAt(1)->GetCaption());

    // Without a target nothing lands; other data is not taken at all.
    EXPECT_FALSE(m_panel.OnDrop(&m_data, DROPEFFECT_MOVE, CPoint(3, 3)));
    COleDataSource other;
    COleDataObject otherData;
    otherData.Attach(other.GetDataObject(), TRUE);
    EXPECT_EQ(DROPEFFECT_NONE, m_panel.OnDragOver(&otherData, 0, Half(m_pB, false)));
    EXPECT_EQ(4, m_pTasks->GetItemCount());
}

TEST_F(TaskPanelDrop, InvertedMarksTakeTheItemItselfAndDropAfterIt)
{
    m_panel.GetPaintManager()->m_bInvertedDropMark = TRUE;
    Offer(m_pC);
    // The lower half names the item itself with inverted marks; the drop goes after it.
    m_panel.OnDragOver(&m_data, 0, Half(m_pA, true));
    EXPECT_EQ(m_pA, m_panel.GetDropTargetItem());
    ASSERT_TRUE(m_panel.OnDrop(&m_data, DROPEFFECT_COPY, Half(m_pA, true)));
    EXPECT_STREQ(L"Gamma", m_pTasks->GetAt(1)->GetCaption());
    EXPECT_EQ(m_pB, m_pTasks->GetAt(2));
}

TEST_F(TaskPanelDrop, HoveringOverACollapsedGroupOpensItWhenTheHoverTimeIsUp)
{
    m_pPlaces->SetExpanded(FALSE);
    ASSERT_TRUE(m_pFixture->FinishAnimation());
    Offer(m_pA);
    m_panel.OnDragOver(&m_data, 0, m_pFixture->ItemCenter(m_pPlaces));
    EXPECT_EQ(m_pPlaces, m_panel.GetDropTargetItem());
    EXPECT_TRUE(Pump([&] { return m_pPlaces->IsExpanded(); }));
    // Leaving clears the target and a new collapsed target arms the timer anew.
    m_panel.OnDragOver(nullptr, 0, CPoint(-1, -1));
    EXPECT_EQ(nullptr, m_panel.GetDropTargetItem());
}

} // namespace
