// A frame of the toolkit's frame template with a menu bar and two toolbars from resources: the dock rows, Alt
// and mnemonic keys, the chevron of a narrowed frame, dragging to another edge, floating and docking back,
// command states at idle time, the modal loops and a quit posted into them, torn-off toolbars closed by their own
// button, and the routing of executed controls and of a popup owner's command states.
#include "toolkit/commandbars/XTPFrameWnd.h"

#include "tests/toolkit/commandbars/CommandBarsTestIds.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <vector>

namespace {

class CBarsFrame : public CXTPFrameWnd
{
public:
    std::map<UINT, int> m_runs;
    int m_nNotified = 0;

protected:
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CXTPFrameWnd::OnCreate(lpcs) == -1 || !InitCommandBars())
            return -1;
        return 0;
    }
    void OnRun(UINT nID) { ++m_runs[nID]; }
    void OnUpdateBlocked(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnNotified(NMHDR* pNMHDR, LRESULT* pResult)
    {
        ++m_nNotified;
        EXPECT_EQ(pNMHDR->idFrom, UINT_PTR{ID_TEST_NOTIFIED});
        EXPECT_NE(reinterpret_cast<NMXTPCONTROL*>(pNMHDR)->pControl, nullptr);
        *pResult = 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBarsFrame, CXTPFrameWnd)
ON_WM_CREATE()
ON_COMMAND_RANGE(ID_TEST_OPEN, ID_TEST_NOTIFIED, OnRun)
ON_UPDATE_COMMAND_UI(ID_TEST_BLOCKED, OnUpdateBlocked)
ON_NOTIFY(XTP_NOTIFY_EXECUTE, ID_TEST_NOTIFIED, OnNotified)
END_MESSAGE_MAP()

// A popup bar standing in for the popup window: it records where it was asked to open and, when told to, enters
// tracking mode as an opened popup does.
class CRecordingPopupBar : public CXTPPopupBar
{
public:
    BOOL Popup(int x, int y, LPCRECT rcExclude) override
    {
        m_ptAsked = CPoint(x, y);
        m_bExclude = rcExclude != nullptr;
        ++m_nAsked;
        if (!m_bOpens)
            return FALSE;
        SetTrackingMode(TRUE, FALSE, FALSE);
        return TRUE;
    }
    // A popup opened by a control of a bar places itself under that control.
    BOOL Popup(CXTPControlPopup* pControlPopup, BOOL /*bSelectFirst*/) override
    {
        m_pAskedBy = pControlPopup;
        ++m_nAsked;
        return FALSE;
    }
    CXTPControlPopup* m_pAskedBy = nullptr;
    CPoint m_ptAsked{-1, -1};
    BOOL m_bExclude = FALSE;
    int m_nAsked = 0;
    BOOL m_bOpens = FALSE;
};

class BarsFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new CBarsFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, L"Bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(60, 60, 760, 460),
                                     nullptr, MAKEINTRESOURCEW(IDR_TEST_BARS_MENU)));
        m_app.m_pMainWnd = m_pFrame;
        m_pCommandBars = m_pFrame->GetCommandBars();
        ASSERT_NE(m_pCommandBars, nullptr);
        m_pMenuBar = m_pCommandBars->SetMenu(L"Menu Bar", IDR_TEST_BARS_MENU);
        ASSERT_NE(m_pMenuBar, nullptr);
        m_pStandard = m_pCommandBars->Add(L"Standard", xtpBarTop);
        ASSERT_NE(m_pStandard, nullptr);
        ASSERT_TRUE(m_pStandard->LoadToolBar(IDR_TEST_TOOLBAR1));
        m_pFormat = m_pCommandBars->Add(L"Format", xtpBarTop);
        ASSERT_NE(m_pFormat, nullptr);
        ASSERT_TRUE(m_pFormat->LoadToolBar(IDR_TEST_TOOLBAR2));
        // Both toolbars share the second row: Format is remembered right of Standard.
        m_pFormat->GetDockBar()->RemoveCommandBar(m_pFormat);
        m_pCommandBars->RecalcFrameLayout();
        const CRect rcStandard = WindowRect(m_pStandard);
        CRect rcDrop(CPoint(rcStandard.right + 40, rcStandard.top), CSize(60, rcStandard.Height()));
        m_pCommandBars->DockCommandBar(m_pFormat, &rcDrop, m_pCommandBars->GetDockBar(xtpBarTop));
        m_pCommandBars->RecalcFrameLayout();
        const POINT ptPark = frametest::ClientToScreenPoint(m_pFrame->m_hWnd, 400, 300);
        cbtest::MoveMouseTo(ptPark);
        ASSERT_TRUE(cbtest::WaitForCursor(ptPark));
        ASSERT_TRUE(frametest::Activate(m_pFrame->m_hWnd));
        lqtest::PumpPending();
    }

    void TearDown() override
    {
        XTPMouseManager()->EndAllTracking();
        if (m_pMenuBar != nullptr)
            m_pMenuBar->EndTracking();
        m_app.m_pMainWnd = nullptr;
        if (::IsWindow(m_pFrame->GetSafeHwnd()))
            m_pFrame->DestroyWindow();
        lqtest::PumpPending();
        lqtest::DropQuitMessages();
        for (int vk : {VK_MENU, VK_SHIFT, VK_CONTROL})
            if (::GetAsyncKeyState(vk) < 0)
                frametest::SendKey(static_cast<WORD>(vk), true);
        lqtest::PumpPending();
    }

    static CRect WindowRect(CWnd* pWnd)
    {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        return rc;
    }
    // A point on the toolbar's gripper (docked) or caption (floating): no control there.
    static POINT GripPoint(CXTPToolBar* pBar)
    {
        const CRect rc = WindowRect(pBar);
        return pBar->GetPosition() == xtpBarFloating ? POINT{rc.left + 12, rc.top + 8}
                                                     : POINT{rc.left + 3, rc.CenterPoint().y};
    }
    void Pump()
    {
        frametest::PumpTranslatedUntil([] { return false; }, 50);
    }
    // Presses at pt, moves through the points and releases, each step after the loop handled the previous.
    void Drag(POINT ptFrom, std::vector<POINT> path)
    {
        cbtest::MoveMouseTo(ptFrom);
        ASSERT_TRUE(cbtest::WaitForCursor(ptFrom));
        lqtest::PumpPending();
        std::vector<lqtest::TimedSteps::Step> moves;
        for (POINT pt : path)
            moves.push_back([pt] { frametest::SendMouse(pt, 0); });
        const POINT ptEnd = path.back();
        moves.push_back([ptEnd] { frametest::SendMouse(ptEnd, MOUSEEVENTF_LEFTUP); });
        lqtest::TimedSteps steps(std::move(moves), 30);
        frametest::SendMouse(ptFrom, MOUSEEVENTF_LEFTDOWN);
        const bool bDone = lqtest::PumpUntil([&] { return steps.Done() && ::GetCapture() == nullptr; });
        steps.Stop();
        ASSERT_TRUE(bDone);
        lqtest::PumpPending();
    }

    CWinApp m_app{L"BarsFrameTests"};
    CBarsFrame* m_pFrame = nullptr;
    CXTPCommandBars* m_pCommandBars = nullptr;
    CXTPMenuBar* m_pMenuBar = nullptr;
    CXTPToolBar* m_pStandard = nullptr;
    CXTPToolBar* m_pFormat = nullptr;
};

TEST_F(BarsFrameTest, TheMenuBarHasARowOfItsOwnAndTheToolbarsShareTheNext)
{
    EXPECT_EQ(::GetMenu(m_pFrame->m_hWnd), nullptr); // the menu bar took the frame's menu away
    EXPECT_EQ(m_pMenuBar->GetControlCount(), 5);
    CXTPDockBar* pTop = m_pCommandBars->GetDockBar(xtpBarTop);
    const auto rows = pTop->GetRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], std::vector<CXTPToolBar*>{m_pMenuBar});
    ASSERT_EQ(rows[1].size(), 2u);
    EXPECT_NE(std::find(rows[1].begin(), rows[1].end(), m_pStandard), rows[1].end());
    EXPECT_NE(std::find(rows[1].begin(), rows[1].end(), m_pFormat), rows[1].end());

    CRect rcClient;
    pTop->GetClientRect(&rcClient);
    const CRect rcMenu = WindowRect(m_pMenuBar), rcStandard = WindowRect(m_pStandard), rcFormat = WindowRect(m_pFormat),
                rcDock = WindowRect(pTop);
    EXPECT_EQ(rcMenu.Width(), rcClient.Width()); // stretched over the whole side
    EXPECT_GE(rcStandard.top, rcMenu.bottom);
    EXPECT_EQ(rcStandard.top, rcFormat.top);
    EXPECT_LE(rcStandard.right, rcFormat.left); // side by side, no overlap
    EXPECT_EQ(rcDock.bottom, std::max(rcStandard.bottom, rcFormat.bottom));
    // The frame's view area starts below the dock bar.
    CRect rcFrameClient;
    m_pFrame->GetClientRect(&rcFrameClient);
    m_pFrame->ClientToScreen(&rcFrameClient);
    EXPECT_EQ(rcDock.top, rcFrameClient.top);
    // The resource's separator marks the button after it.
    ASSERT_EQ(m_pStandard->GetControls()->FindControl(ID_TEST_BLOCKED), m_pStandard->GetControl(2));
    EXPECT_FALSE(m_pStandard->GetControl(1)->GetBeginGroup());
    EXPECT_TRUE(m_pStandard->GetControl(2)->GetBeginGroup());
}

// The menu bar with its real popups, as a user drives it: Alt+E drops the Edit menu under its title, Right moves
// to the Tools menu, Enter runs its first command and closes everything; Escape twice leaves the bar.
TEST_F(BarsFrameTest, AccessKeysArrowsEnterAndEscapeDriveTheRealMenus)
{
    auto popupOf = [&](int nIndex) {
        return DYNAMIC_DOWNCAST(CXTPPopupBar,
                                static_cast<CXTPControlPopup*>(m_pMenuBar->GetControl(nIndex))->GetCommandBar());
    };
    auto isOpen = [&](int nIndex) {
        CXTPPopupBar* pPopup = popupOf(nIndex);
        return pPopup != nullptr && pPopup->GetSafeHwnd() != nullptr && pPopup->IsWindowVisible() &&
               pPopup->IsTrackingMode();
    };
    frametest::SendKey(VK_MENU, false);
    frametest::SendKey('E', false);
    frametest::SendKey('E', true);
    frametest::SendKey(VK_MENU, true);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return isOpen(1); }));
    // Under its title, left-aligned with it, inside the work area.
    CRect rcTitle = m_pMenuBar->GetControl(1)->GetRect();
    m_pMenuBar->ClientToScreen(&rcTitle);
    const CRect rcPopup = WindowRect(popupOf(1));
    EXPECT_EQ(rcPopup.left, rcTitle.left);
    EXPECT_EQ(rcPopup.top, rcTitle.bottom);
    RECT rcWork;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_TRUE(CRect(rcWork).PtInRect(rcPopup.BottomRight() - CSize(1, 1)));

    frametest::SendKey(VK_RIGHT, false);
    frametest::SendKey(VK_RIGHT, true);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return isOpen(2) && !isOpen(1); }));
    frametest::SendKey(VK_RETURN, false);
    frametest::SendKey(VK_RETURN, true);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return m_pFrame->m_runs[ID_TEST_NEXT] == 1; }));
    EXPECT_TRUE(frametest::PumpTranslatedUntil([&] { return !isOpen(2) && !m_pMenuBar->IsTrackingMode(); }));

    // Alt+T opens Tools; Escape closes the menu and a second Escape leaves the bar.
    frametest::SendKey(VK_MENU, false);
    frametest::SendKey('T', false);
    frametest::SendKey('T', true);
    frametest::SendKey(VK_MENU, true);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return isOpen(2); }));
    frametest::SendKey(VK_ESCAPE, false);
    frametest::SendKey(VK_ESCAPE, true);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return !isOpen(2); }));
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    frametest::SendKey(VK_ESCAPE, false);
    frametest::SendKey(VK_ESCAPE, true);
    EXPECT_TRUE(frametest::PumpTranslatedUntil([&] { return !m_pMenuBar->IsTrackingMode(); }));
    EXPECT_EQ(m_pFrame->m_runs[ID_TEST_NEXT], 1);
}

TEST_F(BarsFrameTest, AltAloneSelectsTheFirstTitleByKeyboard)
{
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    frametest::SendKey(VK_MENU, false);
    frametest::SendKey(VK_MENU, true);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return m_pMenuBar->IsTrackingMode() != FALSE; }));
    EXPECT_EQ(m_pMenuBar->GetSelected(), 0);
    EXPECT_TRUE(m_pMenuBar->IsKeyboardSelection());
    EXPECT_EQ(m_pMenuBar->GetPopuped(), -1);
}

TEST_F(BarsFrameTest, AltAndAnAccessKeyOpensThatTitleOrSelectsTheFirstOfTwo)
{
    const struct
    {
        WORD vk;
        int nSelected;
        int nPopuped;
    } cases[] = {
        {'E', 1, 1},  // Edit opens
        {'T', 2, 2},  // Tools opens
        {'F', 0, -1}, // File and Format share F: the first is selected, nothing opens
        {'Q', -1, -1} // no title has Q: the key is left to the frame
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<char>(c.vk));
        std::vector<CRecordingPopupBar*> popups;
        for (int i = 0; i < m_pMenuBar->GetControlCount(); ++i) {
            auto* pPopup = new CRecordingPopupBar;
            popups.push_back(pPopup);
            static_cast<CXTPControlPopup*>(m_pMenuBar->GetControl(i))->SetCommandBar(pPopup);
        }
        frametest::SendKey(VK_MENU, false);
        frametest::SendKey(c.vk, false);
        frametest::SendKey(c.vk, true);
        frametest::SendKey(VK_MENU, true);
        frametest::PumpTranslatedUntil([] { return ::GetAsyncKeyState(VK_MENU) >= 0; });
        Pump();
        EXPECT_EQ(m_pMenuBar->IsTrackingMode(), c.nSelected >= 0);
        EXPECT_EQ(m_pMenuBar->GetSelected(), c.nSelected);
        EXPECT_EQ(m_pMenuBar->GetPopuped(), c.nPopuped);
        for (int i = 0; i < static_cast<int>(popups.size()); ++i)
            EXPECT_EQ(popups[static_cast<size_t>(i)]->m_nAsked, i == c.nPopuped ? 1 : 0) << i;
        // The popup is opened by its own title, under which it places itself.
        if (c.nPopuped >= 0) {
            EXPECT_EQ(popups[static_cast<size_t>(c.nPopuped)]->m_pAskedBy, m_pMenuBar->GetControl(c.nPopuped));
        }
        m_pMenuBar->EndTracking();
        m_pMenuBar->SetSelected(-1);
        Pump();
    }
}

TEST_F(BarsFrameTest, HiddenControlsGoBehindTheChevronWhenTheFrameNarrows)
{
    auto hidden = [&] {
        std::vector<int> ids;
        for (int i = 0; i < m_pStandard->GetControlCount(); ++i) {
            CXTPControl* pControl = m_pStandard->GetControl(i);
            if (pControl->GetHideFlags() == xtpHideWrap)
                ids.push_back(pControl->GetID());
        }
        return ids;
    };
    EXPECT_TRUE(hidden().empty());
    m_pFrame->SetWindowPos(nullptr, 0, 0, 150, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    const std::vector<int> ids = hidden();
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(ids.back(), ID_TEST_NOTIFIED); // the last buttons go first

    auto* pExpand =
        static_cast<CXTPControlToolbarExpand*>(m_pStandard->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND));
    ASSERT_NE(pExpand, nullptr);
    EXPECT_TRUE(pExpand->IsVisible());
    EXPECT_TRUE(pExpand->HasHiddenControls());
    CRect rcClient;
    m_pStandard->GetClientRect(&rcClient);
    EXPECT_LE(pExpand->GetRect().right, rcClient.right);
    EXPECT_GE(pExpand->GetRect().left, rcClient.right - XTP_EXPAND_STRIP - 2); // in the strip at the end
    // No visible control reaches into the strip.
    for (int i = 0; i < m_pStandard->GetControlCount(); ++i) {
        CXTPControl* pControl = m_pStandard->GetControl(i);
        if (pControl != pExpand && pControl->IsVisible()) {
            EXPECT_LE(pControl->GetRect().right, rcClient.right - XTP_EXPAND_STRIP) << pControl->GetID();
        }
    }

    // The chevron's popup lists exactly the hidden buttons of the row, then the customise entry.
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
    m_pStandard->FillExpandPopup(pPopup);
    std::vector<int> listed;
    for (int i = 0; i < pPopup->GetControlCount(); ++i)
        listed.push_back(pPopup->GetControl(i)->GetID());
    ASSERT_GE(listed.size(), ids.size() + 1);
    std::vector<int> hiddenOfRow(listed.begin(), listed.end() - 1);
    for (int id : ids)
        EXPECT_NE(std::find(hiddenOfRow.begin(), hiddenOfRow.end(), id), hiddenOfRow.end()) << id;
    EXPECT_EQ(pPopup->GetControl(pPopup->GetControlCount() - 1)->GetType(), xtpControlPopup);
    pPopup->InternalRelease();

    m_pFrame->SetWindowPos(nullptr, 0, 0, 900, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_TRUE(hidden().empty());
    EXPECT_FALSE(pExpand->HasHiddenControls());
}

TEST_F(BarsFrameTest, AToolbarDraggedToTheBottomThenFloatedDocksBack)
{
    CXTPDockBar* pBottom = m_pCommandBars->GetDockBar(xtpBarBottom);
    CRect rcBottom = WindowRect(pBottom);
    const POINT ptFrom = GripPoint(m_pFormat);
    // Down to the bottom edge of the frame's client area.
    const POINT ptBottom{ptFrom.x, rcBottom.top - 5};
    Drag(ptFrom, {POINT{ptFrom.x, ptFrom.y + 60}, POINT{ptFrom.x, (ptFrom.y + ptBottom.y) / 2}, ptBottom});
    EXPECT_EQ(m_pFormat->GetDockBar(), pBottom);
    EXPECT_EQ(m_pFormat->GetPosition(), xtpBarBottom);
    EXPECT_EQ(::GetParent(m_pFormat->m_hWnd), pBottom->m_hWnd);
    EXPECT_GT(WindowRect(pBottom).Height(), 0);

    // Into the middle of the frame, far from every dock bar: it floats under the pointer.
    const POINT ptFrom2 = GripPoint(m_pFormat);
    CRect rcFrame = WindowRect(m_pFrame);
    const POINT ptMiddle{rcFrame.CenterPoint().x, rcFrame.CenterPoint().y};
    Drag(ptFrom2, {POINT{ptFrom2.x, ptFrom2.y - 40}, ptMiddle});
    EXPECT_EQ(m_pFormat->GetPosition(), xtpBarFloating);
    EXPECT_EQ(m_pFormat->GetDockBar(), nullptr);
    EXPECT_EQ(::GetAncestor(m_pFormat->m_hWnd, GA_PARENT), ::GetDesktopWindow());
    EXPECT_EQ(::GetWindow(m_pFormat->m_hWnd, GW_OWNER), m_pFrame->m_hWnd);
    EXPECT_TRUE(WindowRect(m_pFormat).PtInRect(ptMiddle));
    EXPECT_TRUE(m_pFormat->IsWindowVisible());
    EXPECT_NE(m_pFormat->GetControls()->FindControl(XTP_ID_TOOLBAR_HIDE), nullptr);
    EXPECT_TRUE(m_pCommandBars->GetDockBar(xtpBarBottom)->GetRows().empty());

    // A double click on its caption docks it back where it was before it floated.
    const POINT ptCaption = GripPoint(m_pFormat);
    cbtest::MoveMouseTo(ptCaption);
    ASSERT_TRUE(cbtest::WaitForCursor(ptCaption));
    cbtest::SendClick(ptCaption);
    cbtest::SendClick(ptCaption);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pFormat->GetPosition() != xtpBarFloating; }));
    EXPECT_EQ(m_pFormat->GetDockBar(), pBottom);
    EXPECT_EQ(::GetParent(m_pFormat->m_hWnd), pBottom->m_hWnd);
}

TEST_F(BarsFrameTest, AFloatingToolbarDraggedOverTheTopDocksThere)
{
    ASSERT_TRUE(m_pCommandBars->FloatCommandBar(m_pFormat));
    m_pFormat->OnRecalcLayout();
    m_pFormat->SetWindowPos(nullptr, WindowRect(m_pFrame).left + 200, WindowRect(m_pFrame).top + 200, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_pCommandBars->RecalcFrameLayout();
    lqtest::PumpPending();
    const POINT ptFrom = GripPoint(m_pFormat);
    const CRect rcTop = WindowRect(m_pCommandBars->GetDockBar(xtpBarTop));
    const POINT ptTo{rcTop.left + 300, rcTop.bottom - 4};
    Drag(ptFrom, {POINT{ptFrom.x, ptFrom.y - 30}, ptTo});
    EXPECT_EQ(m_pFormat->GetDockBar(), m_pCommandBars->GetDockBar(xtpBarTop));
    EXPECT_EQ(m_pFormat->GetPosition(), xtpBarTop);
    EXPECT_EQ(m_pFormat->GetStyle() & (WS_CHILD | WS_POPUP), static_cast<DWORD>(WS_CHILD));
    // Never over another toolbar of its row.
    for (CXTPToolBar* pOther : {static_cast<CXTPToolBar*>(m_pMenuBar), m_pStandard}) {
        CRect rcOverlap;
        EXPECT_FALSE(rcOverlap.IntersectRect(WindowRect(m_pFormat), WindowRect(pOther))) << pOther->GetTitle();
    }
}

// A double click on a docked toolbar's gripper floats it only with the double-click option on (off by default);
// a double click on the floating toolbar's caption docks it back in its row.
TEST_F(BarsFrameTest, ADoubleClickOnTheGripperFloatsADockedToolbarOnlyWhenTheOptionIsOn)
{
    auto doubleClick = [](POINT pt) {
        cbtest::MoveMouseTo(pt);
        ASSERT_TRUE(cbtest::WaitForCursor(pt));
        cbtest::SendClick(pt);
        cbtest::SendClick(pt);
    };
    doubleClick(GripPoint(m_pStandard));
    lqtest::PumpUntil([] { return false; }, 300);
    EXPECT_EQ(m_pStandard->GetPosition(), xtpBarTop) << "the option is off";

    m_pCommandBars->GetCommandBarsOptions()->bDblClickFloat = TRUE;
    doubleClick(GripPoint(m_pStandard));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pStandard->GetPosition() == xtpBarFloating; }));
    EXPECT_EQ(m_pStandard->GetDockBar(), nullptr);
    EXPECT_TRUE(m_pStandard->IsWindowVisible());

    doubleClick(GripPoint(m_pStandard));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pStandard->GetPosition() == xtpBarTop; }));
    EXPECT_EQ(m_pStandard->GetDockBar(), m_pCommandBars->GetDockBar(xtpBarTop));
    EXPECT_EQ(::GetParent(m_pStandard->m_hWnd), m_pCommandBars->GetDockBar(xtpBarTop)->m_hWnd);
    m_pCommandBars->GetCommandBarsOptions()->bDblClickFloat = FALSE;
}

// A floating toolbar's right border, dragged inwards, narrows it: the buttons wrap onto more rows, and every
// button stays inside the window.
TEST_F(BarsFrameTest, AFloatingToolbarResizedByItsBorderWrapsItsButtons)
{
    ASSERT_TRUE(m_pCommandBars->FloatCommandBar(m_pStandard));
    m_pStandard->OnRecalcLayout();
    m_pStandard->SetWindowPos(nullptr, WindowRect(m_pFrame).left + 100, WindowRect(m_pFrame).top + 150, 0, 0,
                              SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    lqtest::PumpPending();
    const CRect rcBefore = WindowRect(m_pStandard);
    const POINT ptBorder{rcBefore.right - 1, rcBefore.CenterPoint().y};
    ASSERT_EQ(::SendMessageW(m_pStandard->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(ptBorder.x, ptBorder.y)), HTRIGHT);
    const POINT ptTo{rcBefore.left + rcBefore.Width() / 3, ptBorder.y};
    Drag(ptBorder, {POINT{ptBorder.x - 10, ptBorder.y}, ptTo});
    const CRect rcAfter = WindowRect(m_pStandard);
    EXPECT_LT(rcAfter.Width(), rcBefore.Width());
    EXPECT_GT(rcAfter.Height(), rcBefore.Height());
    EXPECT_EQ(rcAfter.left, rcBefore.left) << "the left edge stays where it was";
    CRect rcClient;
    m_pStandard->GetClientRect(&rcClient);
    for (int i = 0; i < m_pStandard->GetControlCount(); ++i) {
        CXTPControl* pControl = m_pStandard->GetControl(i);
        if (!pControl->IsVisible())
            continue;
        CRect rcInside;
        EXPECT_TRUE(rcInside.IntersectRect(rcClient, pControl->GetRect()) && rcInside == pControl->GetRect())
            << "control " << i;
    }
}

// Buttons made from a list of ids: 0 marks the next button as beginning a group, and the site is asked for each.
TEST_F(BarsFrameTest, SetButtonsMakesAButtonPerIdWithGroupsFromTheSeparators)
{
    CXTPToolBar* pBar = m_pCommandBars->Add(L"Made", xtpBarTop);
    ASSERT_NE(pBar, nullptr);
    const UINT ids[] = {ID_TEST_OPEN, ID_TEST_SAVE, 0, ID_TEST_NEXT, 0, 0, ID_TEST_BLOCKED};
    ASSERT_TRUE(pBar->SetButtons(ids, static_cast<int>(std::size(ids))));
    ASSERT_EQ(pBar->GetControlCount(), 4);
    const struct
    {
        int nID;
        BOOL bGroup;
    } expected[] = {{ID_TEST_OPEN, FALSE}, {ID_TEST_SAVE, FALSE}, {ID_TEST_NEXT, TRUE}, {ID_TEST_BLOCKED, TRUE}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pBar->GetControl(i)->GetID(), expected[i].nID) << i;
        EXPECT_EQ(pBar->GetControl(i)->GetBeginGroup(), expected[i].bGroup) << i;
        EXPECT_EQ(pBar->GetControl(i)->GetType(), xtpControlButton) << i;
    }
    m_pCommandBars->RecalcFrameLayout();
    lqtest::PumpPending();
    EXPECT_GT(pBar->GetControl(2)->GetRect().left, pBar->GetControl(1)->GetRect().right)
        << "a group starts after a separator's gap";
}

// The popup toolbar lays its buttons out in rows inside its borders; the popup menu puts them in a column.
TEST_F(BarsFrameTest, APopupToolbarLaysItsButtonsInRowsAndAPopupMenuInAColumn)
{
    CXTPPopupBar* pMenu = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
    CXTPPopupToolBar* pToolBar = CXTPPopupToolBar::CreatePopupToolBar(m_pCommandBars);
    for (CXTPPopupBar* pBar : {pMenu, static_cast<CXTPPopupBar*>(pToolBar)}) {
        for (int nID : {ID_TEST_OPEN, ID_TEST_SAVE, ID_TEST_NEXT})
            pBar->GetControls()->AddByType(xtpControlButton, nID);
        ASSERT_TRUE(pBar->Popup(300, 200, nullptr));
        lqtest::PumpPending();
    }
    const CRect rcFirst = pToolBar->GetControl(0)->GetRect();
    const CRect rcSecond = pToolBar->GetControl(1)->GetRect();
    EXPECT_EQ(rcSecond.top, rcFirst.top);
    EXPECT_GE(rcSecond.left, rcFirst.right);
    EXPECT_GE(rcFirst.left, 2);
    EXPECT_GE(rcFirst.top, 4);
    EXPECT_GT(pMenu->GetControl(1)->GetRect().top, pMenu->GetControl(0)->GetRect().top);
    EXPECT_EQ(pMenu->GetControl(1)->GetRect().left, pMenu->GetControl(0)->GetRect().left);
    for (CXTPPopupBar* pBar : {pMenu, static_cast<CXTPPopupBar*>(pToolBar)}) {
        pBar->SetTrackingMode(FALSE);
        pBar->InternalRelease();
    }
}

TEST_F(BarsFrameTest, IdleUpdatesDisableButtonsOnDockedAndFloatingToolbars)
{
    ASSERT_TRUE(m_pCommandBars->FloatCommandBar(m_pFormat));
    m_pFormat->OnRecalcLayout();
    m_pFormat->ShowWindow(SW_SHOWNA);
    for (CXTPToolBar* pBar : {m_pStandard, m_pFormat}) {
        CXTPControl* pBlocked = pBar->GetControls()->FindControl(ID_TEST_BLOCKED);
        ASSERT_NE(pBlocked, nullptr);
        pBlocked->SetEnabled(TRUE);
    }
    m_app.OnIdle(0);
    for (CXTPToolBar* pBar : {m_pStandard, m_pFormat}) {
        SCOPED_TRACE(static_cast<const wchar_t*>(pBar->GetTitle()));
        EXPECT_FALSE(pBar->GetControls()->FindControl(ID_TEST_BLOCKED)->GetEnabled());
        EXPECT_TRUE(pBar->GetControls()->FindControl(ID_TEST_OPEN)->GetEnabled());
    }
}

TEST_F(BarsFrameTest, ExecutedControlsReachNotifyHandlersElseTheCommand)
{
    lqtest::PumpPending();
    for (int nId : {ID_TEST_NOTIFIED, ID_TEST_OPEN}) {
        SCOPED_TRACE(nId);
        CXTPControl* pControl = m_pStandard->GetControls()->FindControl(nId);
        ASSERT_NE(pControl, nullptr);
        ASSERT_TRUE(pControl->IsVisible());
        const CRect rc = pControl->GetRect();
        const POINT pt = frametest::ClientToScreenPoint(m_pStandard->m_hWnd, rc.CenterPoint().x, rc.CenterPoint().y);
        cbtest::SendClick(pt);
        lqtest::PumpUntil(
            [&] { return m_pFrame->m_runs[nId] > 0 || (m_pFrame->m_nNotified > 0 && nId == ID_TEST_NOTIFIED); });
        Pump();
    }
    EXPECT_EQ(m_pFrame->m_nNotified, 1);
    EXPECT_EQ(m_pFrame->m_runs[ID_TEST_NOTIFIED], 0); // handled as a notification: no command follows
    EXPECT_EQ(m_pFrame->m_runs[ID_TEST_OPEN], 1);
}

TEST_F(BarsFrameTest, ATornOffToolbarClosedByItsOwnButtonLeavesTheManager)
{
    const int nCount = m_pCommandBars->GetCount();
    CXTPToolBar* pCustom = m_pCommandBars->AddCustomToolBar(L"Torn off", 5001, TRUE);
    ASSERT_NE(pCustom, nullptr);
    pCustom->GetControls()->AddByType(xtpControlButton, ID_TEST_OPEN);
    pCustom->GetControls()->AddByType(xtpControlButton, ID_TEST_SAVE);
    pCustom->OnRecalcLayout();
    ::SetWindowPos(pCustom->GetSafeHwnd(), HWND_TOP, WindowRect(m_pFrame).left + 250, WindowRect(m_pFrame).top + 200, 0,
                   0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    lqtest::PumpPending();
    EXPECT_EQ(m_pCommandBars->FindToolBar(5001), pCustom);
    EXPECT_EQ(m_pCommandBars->GetCount(), nCount + 1);
    CXTPControl* pClose = pCustom->GetControls()->FindControl(XTP_ID_TOOLBAR_HIDE);
    ASSERT_NE(pClose, nullptr);
    ASSERT_TRUE(pClose->IsVisible());
    const CRect rc = pClose->GetRect();
    const POINT pt = frametest::ClientToScreenPoint(pCustom->m_hWnd, rc.CenterPoint().x, rc.CenterPoint().y);
    const HWND hWnd = pCustom->m_hWnd;
    cbtest::SendClick(pt);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pCommandBars->FindToolBar(5001) == nullptr; }));
    EXPECT_EQ(m_pCommandBars->GetCount(), nCount);
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST_F(BarsFrameTest, RemovingOrHidingACustomToolbarEndsOnce)
{
    const std::function<void(CXTPToolBar*)> ways[] = {
        [&](CXTPToolBar* pBar) { m_pCommandBars->RemoveBar(pBar); },
        [](CXTPToolBar* pBar) { pBar->SetVisible(FALSE); },
    };
    for (const auto& remove : ways) {
        const int nCount = m_pCommandBars->GetCount();
        CXTPToolBar* pCustom = m_pCommandBars->AddCustomToolBar(L"Custom", 5002, TRUE);
        ASSERT_NE(pCustom, nullptr);
        remove(pCustom);
        EXPECT_EQ(m_pCommandBars->GetCount(), nCount);
        EXPECT_EQ(m_pCommandBars->FindToolBar(5002), nullptr);
    }
    // A built-in toolbar only hides.
    m_pFormat->SetVisible(FALSE);
    EXPECT_EQ(m_pCommandBars->FindIndex(m_pFormat), 2);
    EXPECT_FALSE(m_pFormat->IsWindowVisible());
    EXPECT_EQ(m_pCommandBars->GetDockBar(xtpBarTop)->GetRows()[1], std::vector<CXTPToolBar*>{m_pStandard});
}

TEST_F(BarsFrameTest, AQuitPostedWhileDraggingEndsTheLoopAndReachesTheOuterOne)
{
    const POINT pt = GripPoint(m_pStandard);
    cbtest::MoveMouseTo(pt);
    ASSERT_TRUE(cbtest::WaitForCursor(pt));
    lqtest::PumpPending();
    lqtest::TimedSteps steps({[] { ::PostQuitMessage(9); }});
    frametest::SendMouse(pt, MOUSEEVENTF_LEFTDOWN);
    WPARAM nExitCode = 0;
    const bool bQuit = lqtest::PumpUntilQuit(&nExitCode);
    steps.Stop();
    ASSERT_TRUE(bQuit);
    EXPECT_EQ(nExitCode, 9u);
    EXPECT_EQ(::GetCapture(), nullptr);
    frametest::SendMouse(pt, MOUSEEVENTF_LEFTUP);
    lqtest::PumpUntil([] { return ::GetAsyncKeyState(VK_LBUTTON) >= 0; });
    EXPECT_EQ(m_pStandard->GetPosition(), xtpBarTop);
}

// TrackPopupBar's modal loop over a popup that opens: the chosen command comes back with TPM_RETURNCMD, or is
// sent to the notify window without it; a quit posted while it tracks ends the loop and is posted again.
TEST_F(BarsFrameTest, TrackPopupBarReturnsOrSendsTheChosenCommandAndPassesAQuitOn)
{
    struct Case
    {
        UINT nFlags;
        bool bQuit;
        int nResult;
        int nRuns;
    } cases[] = {
        {TPM_RETURNCMD, false, ID_TEST_SAVE, 0},
        {0, false, 1, 1},
        {TPM_RETURNCMD, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nFlags + (c.bQuit ? 1000 : 0));
        m_pFrame->m_runs.clear();
        auto* pPopup = new CRecordingPopupBar;
        pPopup->SetCommandBars(m_pCommandBars);
        pPopup->m_bOpens = TRUE;
        pPopup->GetControls()->AddByType(xtpControlButton, ID_TEST_OPEN);
        pPopup->GetControls()->AddByType(xtpControlButton, ID_TEST_SAVE);
        std::vector<lqtest::TimedSteps::Step> script;
        if (c.bQuit)
            script = {[] { ::PostQuitMessage(4); }};
        else
            script = {[pPopup] { pPopup->GetControl(1)->OnExecute(); },
                      [pPopup] {
                          // Only reached when executing did not end the tracking.
                          if (pPopup->IsTrackingMode()) {
                              ADD_FAILURE() << "the popup still tracks";
                              pPopup->EndTracking();
                          }
                      }};
        lqtest::TimedSteps steps(std::move(script));
        const int nResult = CXTPCommandBars::TrackPopupBar(pPopup, c.nFlags, 300, 200, m_pFrame, nullptr, m_pFrame);
        steps.Stop();
        EXPECT_EQ(nResult, c.nResult);
        EXPECT_EQ(pPopup->m_ptAsked, CPoint(300, 200));
        EXPECT_FALSE(pPopup->IsTrackingMode());
        EXPECT_EQ(m_pFrame->m_runs[ID_TEST_SAVE], c.nRuns);
        MSG msg;
        EXPECT_EQ(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE, c.bQuit);
        pPopup->EndTracking();
        pPopup->InternalRelease();
    }
}

// TPM_RIGHTALIGN puts the popup's right edge at the point, as the platform's menus do; without it the popup starts
// there.
TEST_F(BarsFrameTest, TrackPopupBarAlignsThePopupsRightEdgeWithThePointWhenAsked)
{
    for (const UINT nAlign : {0u, static_cast<UINT>(TPM_RIGHTALIGN)}) {
        SCOPED_TRACE(nAlign);
        CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
        pPopup->GetControls()->AddByType(xtpControlButton, ID_TEST_OPEN);
        pPopup->GetControls()->AddByType(xtpControlButton, ID_TEST_SAVE);
        CRect rcShown;
        lqtest::TimedSteps steps({[&] {
            pPopup->GetWindowRect(&rcShown);
            pPopup->SetTrackingMode(FALSE);
        }});
        CXTPCommandBars::TrackPopupBar(pPopup, TPM_RETURNCMD | nAlign, 400, 200, m_pFrame, nullptr, m_pFrame);
        steps.Stop();
        ASSERT_FALSE(rcShown.IsRectEmpty());
        EXPECT_EQ(nAlign ? rcShown.right : rcShown.left, 400);
        EXPECT_EQ(rcShown.top, 200);
        pPopup->InternalRelease();
    }
}

// An owner of a popup that is not a frame answers the popup's command states through the frame.
class COwnerWnd : public CWnd
{
public:
    int m_nUpdates = 0;

protected:
    void OnUpdateOpen(CCmdUI* pCmdUI)
    {
        ++m_nUpdates;
        pCmdUI->Enable(FALSE);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerWnd, CWnd)
ON_UPDATE_COMMAND_UI(ID_TEST_OPEN, OnUpdateOpen)
END_MESSAGE_MAP()

TEST_F(BarsFrameTest, CommandStatesOfAPopupOwnedByAChildWindowComeFromThatWindow)
{
    COwnerWnd owner;
    ASSERT_TRUE(owner.Create(AfxRegisterWndClass(0), L"", WS_CHILD, CRect(0, 0, 10, 10), m_pFrame, 300));
    auto* pPopup = new CRecordingPopupBar;
    pPopup->SetCommandBars(m_pCommandBars);
    pPopup->SetOwner(&owner);
    pPopup->m_bOpens = TRUE;
    ASSERT_TRUE(pPopup->Popup(10, 10, nullptr));
    struct CRecordUI : CCmdUI
    {
        BOOL bEnabled = TRUE;
        void Enable(BOOL bOn) override
        {
            bEnabled = bOn;
            m_bEnableChanged = TRUE;
        }
    } record;
    record.m_nID = ID_TEST_OPEN;
    EXPECT_TRUE(m_pFrame->OnCmdMsg(ID_TEST_OPEN, CN_UPDATE_COMMAND_UI, &record, nullptr));
    EXPECT_EQ(owner.m_nUpdates, 1);
    EXPECT_FALSE(record.bEnabled);
    pPopup->EndTracking();
    // Without the popup the frame answers alone, and has no handler for the command's state.
    CRecordUI after;
    after.m_nID = ID_TEST_OPEN;
    m_pFrame->OnCmdMsg(ID_TEST_OPEN, CN_UPDATE_COMMAND_UI, &after, nullptr);
    EXPECT_EQ(owner.m_nUpdates, 1);
    pPopup->InternalRelease();
    owner.DestroyWindow();
}

} // namespace
