// Popup bars on real windows, driven through SendInput: a menu dropped from a bar's title and a context menu at a
// point, both inside the work area; keyboard navigation, commands and submenus by keyboard and mouse; rarely
// used commands behind the expand button; command states while open; scrolling a popup taller than the screen;
// a quit posted during the tear-off drag; drop shadows with and without layered windows.
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include "framework/frame/FrameWnd.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPShadowManager.h"
#include "toolkit/commandbars/XTPShortcuts.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

enum : UINT
{
    kIdOpen = 21401,
    kIdSave,
    kIdBlocked,
    kIdChecked,
    kIdRare,
    kIdRecentOne,
    kIdRecentTwo,
    kIdRecent,
    kIdMany = 21500, // and the following ids: rows of a tall popup
};

class CPopupFrame : public CFrameWnd
{
public:
    std::map<UINT, int> m_runs;
    BOOL m_bBlock = TRUE;
    int m_nInitPopups = 0;

protected:
    void OnRun(UINT nID) { ++m_runs[nID]; }
    void OnUpdateBlocked(CCmdUI* pCmdUI) { pCmdUI->Enable(!m_bBlock); }
    void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    LRESULT OnInitPopup(WPARAM, LPARAM)
    {
        ++m_nInitPopups;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPopupFrame, CFrameWnd)
ON_COMMAND_RANGE(kIdOpen, kIdMany + 200, OnRun)
ON_UPDATE_COMMAND_UI(kIdBlocked, OnUpdateBlocked)
ON_UPDATE_COMMAND_UI(kIdChecked, OnUpdateChecked)
ON_MESSAGE(WM_XTP_INITCOMMANDSPOPUP, OnInitPopup)
END_MESSAGE_MAP()

CRect WindowRect(HWND hWnd)
{
    CRect rc;
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

class PopupBarWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new CPopupFrame;
        ASSERT_TRUE(
            m_pFrame->Create(nullptr, L"Popup tests", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 100, 640, 400)));
        ACCEL accel[] = {{FCONTROL | FVIRTKEY, 'S', static_cast<WORD>(kIdSave)}};
        m_pFrame->m_hAccelTable = ::CreateAcceleratorTableW(accel, 1);
        m_app.m_pMainWnd = m_pFrame;
        m_pCommandBars->SetSite(m_pFrame);
        CXTPCommandBarsOptions* pOptions = m_pCommandBars->GetCommandBarsOptions();
        pOptions->animationType = xtpAnimateNone;
        // Rarely used commands hide, and only the keyboard or a click shows them: no timer expands a menu.
        pOptions->bAlwaysShowFullMenus = FALSE;
        pOptions->bShowFullAfterDelay = FALSE;
        m_bar.SetCommandBars(m_pCommandBars);
        ASSERT_TRUE(m_bar.CreateBar(m_pFrame, CRect(0, 0, 520, 30)));

        m_pFile = new CXTPControlPopup;
        m_pFile->SetCaption(L"&File");
        m_pFilePopup = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
        m_pFile->SetCommandBar(m_pFilePopup);
        m_bar.GetControls()->Add(m_pFile, 0);
        AddItem(m_pFilePopup, kIdOpen, L"&Open");
        AddItem(m_pFilePopup, kIdSave, L"&Save");
        AddItem(m_pFilePopup, kIdBlocked, L"&Blocked")->SetBeginGroup(TRUE);
        AddItem(m_pFilePopup, kIdChecked, L"&Checked");
        m_pRecent = new CXTPControlPopup;
        m_pRecent->SetCaption(L"&Recent");
        m_pRecentPopup = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
        m_pRecent->SetCommandBar(m_pRecentPopup);
        m_pFilePopup->GetControls()->Add(m_pRecent, kIdRecent);
        AddItem(m_pRecentPopup, kIdRecentOne, L"One");
        AddItem(m_pRecentPopup, kIdRecentTwo, L"Two");
        m_bar.OnRecalcLayout();

        m_ptPark = frametest::ClientToScreenPoint(m_pFrame->m_hWnd, 400, 250);
        cbtest::MoveMouseTo(m_ptPark);
        ASSERT_TRUE(cbtest::WaitForCursor(m_ptPark));
        ASSERT_TRUE(frametest::Activate(m_pFrame->m_hWnd));
        lqtest::PumpPending();
    }

    void TearDown() override
    {
        XTPMouseManager()->EndAllTracking();
        XTPMouseManager()->SetForceExpanded(FALSE);
        XTPShadowManager()->SetLayeredAvailable(TRUE);
        m_bar.EndTracking();
        m_bar.DestroyWindow();
        m_bar.GetControls()->RemoveAll();
        m_bar.SetCommandBars(nullptr);
        m_pCommandBars->InternalRelease();
        m_app.m_pMainWnd = nullptr;
        ::DestroyAcceleratorTable(m_pFrame->m_hAccelTable);
        m_pFrame->m_hAccelTable = nullptr;
        m_pFrame->DestroyWindow();
        lqtest::PumpPending();
        lqtest::DropQuitMessages();
    }

    static CXTPControl* AddItem(CXTPPopupBar* pBar, UINT nId, LPCTSTR lpszCaption)
    {
        CXTPControl* pControl = pBar->GetControls()->AddByType(xtpControlButton, static_cast<int>(nId));
        pControl->SetCaption(lpszCaption);
        return pControl;
    }
    void Tap(WORD vk) { lqtest::TapKey(vk); }
    POINT ScreenCentre(CXTPCommandBar* pBar, CXTPControl* pControl)
    {
        const CPoint pt = pControl->GetRect().CenterPoint();
        return frametest::ClientToScreenPoint(pBar->m_hWnd, pt.x, pt.y);
    }
    CXTPControl* Item(CXTPPopupBar* pBar, UINT nId) { return pBar->GetControls()->FindControl(static_cast<int>(nId)); }
    bool WaitOpen(CXTPPopupBar* pBar)
    {
        return lqtest::PumpUntil([&] { return pBar->IsVisible() && pBar->IsTrackingMode(); });
    }
    bool WaitClosed(CXTPPopupBar* pBar)
    {
        return lqtest::PumpUntil([&] { return pBar->GetSafeHwnd() == nullptr && !pBar->IsTrackingMode(); });
    }
    // Opens the File menu with a click on its title.
    void OpenFile()
    {
        cbtest::SendClick(ScreenCentre(&m_bar, m_pFile));
        ASSERT_TRUE(WaitOpen(m_pFilePopup));
    }
    void SelectByKeyboard(CXTPPopupBar* pBar, UINT nId)
    {
        const int nIndex = Item(pBar, nId)->GetIndex();
        for (int i = 0; i < pBar->GetControlCount() && pBar->GetSelected() != nIndex; ++i) {
            const int nBefore = pBar->GetSelected();
            Tap(VK_DOWN);
            ASSERT_TRUE(lqtest::PumpUntil([&] { return pBar->GetSelected() != nBefore; }));
        }
        ASSERT_EQ(pBar->GetSelected(), nIndex);
    }
    int Runs(UINT nId) { return m_pFrame->m_runs[nId]; }

    CWinApp m_app{L"PopupBarWindowTests"};
    CPopupFrame* m_pFrame = nullptr;
    CXTPCommandBars* m_pCommandBars = new CXTPCommandBars;
    cbtest::CTestToolBar m_bar;
    CXTPControlPopup* m_pFile = nullptr;
    CXTPPopupBar* m_pFilePopup = nullptr;
    CXTPControlPopup* m_pRecent = nullptr;
    CXTPPopupBar* m_pRecentPopup = nullptr;
    POINT m_ptPark{};
};

TEST_F(PopupBarWindowTest, DropsDownUnderItsTitleWithoutTakingActivationAndClosesWithEscape)
{
    OpenFile();
    EXPECT_EQ(m_pFrame->m_nInitPopups, 1);
    CRect rcTitle = m_pFile->GetRect();
    m_bar.ClientToScreen(&rcTitle);
    const CRect rcPopup = WindowRect(m_pFilePopup->m_hWnd);
    EXPECT_EQ(rcPopup.left, rcTitle.left);
    EXPECT_EQ(rcPopup.top, rcTitle.bottom);
    EXPECT_EQ(m_pFilePopup->GetPopupFlags(), static_cast<DWORD>(xtpPopupDown));
    EXPECT_TRUE(m_pFilePopup->GetExStyle() & WS_EX_TOPMOST);
    EXPECT_TRUE(m_pFile->GetPopuped());
    EXPECT_EQ(m_bar.GetPopuped(), m_pFile->GetIndex());
    // Clicking inside the popup leaves the frame active.
    cbtest::SendClick(frametest::ClientToScreenPoint(m_pFilePopup->m_hWnd, 2, 1));
    lqtest::PumpPending();
    EXPECT_EQ(::GetForegroundWindow(), m_pFrame->m_hWnd);
    EXPECT_EQ(m_pFilePopup->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_pFrame->m_hWnd),
                                        MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    // The shortcut comes from the frame's accelerators.
    const ACCEL accelSave = {FCONTROL | FVIRTKEY, 'S', static_cast<WORD>(kIdSave)};
    EXPECT_EQ(std::wstring(Item(m_pFilePopup, kIdSave)->GetShortcutText()), std::wstring(AccelToText(accelSave)));
    EXPECT_TRUE(Item(m_pFilePopup, kIdOpen)->GetShortcutText().IsEmpty());

    Tap(VK_ESCAPE);
    ASSERT_TRUE(WaitClosed(m_pFilePopup));
    EXPECT_FALSE(m_pFile->GetPopuped());
    EXPECT_EQ(m_bar.GetTrackingMode(), xtpTrackingKeyboard); // the title stays selected for the keyboard
    Tap(VK_ESCAPE);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !m_bar.IsTrackingMode(); }));
    EXPECT_EQ(m_pFrame->m_runs.size(), 0u);
}

TEST_F(PopupBarWindowTest, ArrowsMoveTheSelectionAndEnterRunsTheCommand)
{
    OpenFile();
    Tap(VK_DOWN);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pFilePopup->GetSelected() == 0; }));
    Tap(VK_DOWN);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pFilePopup->GetSelected() == 1; }));
    // A disabled item can be selected, as in system menus; Enter on it runs nothing.
    Tap(VK_DOWN);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pFilePopup->GetSelected() == 2; }));
    Tap(VK_RETURN);
    lqtest::PumpPending();
    EXPECT_EQ(Runs(kIdBlocked), 0);
    EXPECT_TRUE(m_pFilePopup->IsVisible());
    Tap(VK_UP);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pFilePopup->GetSelected() == 1; }));
    // Up from the first wraps to the last.
    Tap(VK_UP);
    Tap(VK_UP);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pFilePopup->GetSelected() == m_pRecent->GetIndex(); }));
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pFilePopup->GetSelected() == 1; }));
    Tap(VK_RETURN);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return Runs(kIdSave) == 1; }));
    ASSERT_TRUE(WaitClosed(m_pFilePopup));
    EXPECT_FALSE(m_bar.IsTrackingMode());
    EXPECT_FALSE(XTPMouseManager()->IsTracking());
}

TEST_F(PopupBarWindowTest, CommandStatesFollowTheHandlersWhileOpen)
{
    OpenFile();
    EXPECT_FALSE(Item(m_pFilePopup, kIdBlocked)->GetEnabled());
    EXPECT_EQ(Item(m_pFilePopup, kIdChecked)->GetChecked(), 1);
    m_pFrame->m_bBlock = FALSE;
    m_pFilePopup->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(Item(m_pFilePopup, kIdBlocked)->GetEnabled());
    m_pFrame->m_bBlock = TRUE;
    m_pFilePopup->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_FALSE(Item(m_pFilePopup, kIdBlocked)->GetEnabled());
    // A click on the disabled item runs nothing and leaves the menu open.
    cbtest::SendClick(ScreenCentre(m_pFilePopup, Item(m_pFilePopup, kIdBlocked)));
    lqtest::PumpPending();
    EXPECT_EQ(Runs(kIdBlocked), 0);
    EXPECT_TRUE(m_pFilePopup->IsVisible());
    cbtest::SendClick(ScreenCentre(m_pFilePopup, Item(m_pFilePopup, kIdOpen)));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return Runs(kIdOpen) == 1; }));
    ASSERT_TRUE(WaitClosed(m_pFilePopup));
}

TEST_F(PopupBarWindowTest, SubmenuOpensAndClosesByKeyboard)
{
    OpenFile();
    SelectByKeyboard(m_pFilePopup, kIdRecent);
    Tap(VK_RIGHT);
    ASSERT_TRUE(WaitOpen(m_pRecentPopup));
    EXPECT_EQ(m_pRecentPopup->GetSelected(), 0); // opened by keyboard: the first item is selected
    const CRect rcItem = WindowRect(m_pFilePopup->m_hWnd);
    const CRect rcSub = WindowRect(m_pRecentPopup->m_hWnd);
    EXPECT_GE(rcSub.left, rcItem.left + m_pRecent->GetRect().right); // beside its item, to the right
    EXPECT_EQ(m_pRecentPopup->GetParentCommandBar(), m_pFilePopup);

    Tap(VK_LEFT);
    ASSERT_TRUE(WaitClosed(m_pRecentPopup));
    EXPECT_TRUE(m_pFilePopup->IsVisible());
    EXPECT_EQ(m_pFilePopup->GetSelected(), m_pRecent->GetIndex());

    Tap(VK_RIGHT);
    ASSERT_TRUE(WaitOpen(m_pRecentPopup));
    Tap(VK_DOWN);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pRecentPopup->GetSelected() == 1; }));
    Tap(VK_RETURN);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return Runs(kIdRecentTwo) == 1; }));
    ASSERT_TRUE(WaitClosed(m_pRecentPopup));
    ASSERT_TRUE(WaitClosed(m_pFilePopup));
}

TEST_F(PopupBarWindowTest, SubmenuOpensOnHoverAndClosesWhenTheMouseMovesOn)
{
    OpenFile();
    const POINT ptRecent = ScreenCentre(m_pFilePopup, m_pRecent);
    cbtest::MoveMouseTo(ptRecent);
    ASSERT_TRUE(WaitOpen(m_pRecentPopup));
    EXPECT_EQ(m_pRecentPopup->GetSelected(), -1); // opened by the mouse: nothing selected

    cbtest::MoveMouseTo(ScreenCentre(m_pFilePopup, Item(m_pFilePopup, kIdOpen)));
    ASSERT_TRUE(WaitClosed(m_pRecentPopup));
    EXPECT_TRUE(m_pFilePopup->IsVisible());

    cbtest::MoveMouseTo(ptRecent);
    ASSERT_TRUE(WaitOpen(m_pRecentPopup));
    cbtest::SendClick(ScreenCentre(m_pRecentPopup, Item(m_pRecentPopup, kIdRecentOne)));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return Runs(kIdRecentOne) == 1; }));
    ASSERT_TRUE(WaitClosed(m_pFilePopup));
}

TEST_F(PopupBarWindowTest, TheExpandButtonShowsRarelyUsedCommands)
{
    m_pCommandBars->HideCommand(kIdRare);
    CXTPControl* pRare = AddItem(m_pFilePopup, kIdRare, L"R&are");
    OpenFile();
    ASSERT_TRUE(m_pFilePopup->IsExpandButtonShown());
    EXPECT_FALSE(pRare->IsVisible());
    const int nShortHeight = WindowRect(m_pFilePopup->m_hWnd).Height();

    // Ctrl+Down shows everything; the popup grows.
    frametest::SendCtrlKey(VK_DOWN);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return pRare->IsVisible(); }));
    EXPECT_TRUE(m_pFilePopup->IsExpanded());
    EXPECT_FALSE(m_pFilePopup->IsExpandButtonShown());
    EXPECT_GT(WindowRect(m_pFilePopup->m_hWnd).Height(), nShortHeight);
    EXPECT_TRUE(XTPMouseManager()->IsForceExpanded());
    // A submenu of the same run opens expanded.
    m_pCommandBars->HideCommand(kIdRecentTwo);
    SelectByKeyboard(m_pFilePopup, kIdRecent);
    Tap(VK_RIGHT);
    ASSERT_TRUE(WaitOpen(m_pRecentPopup));
    EXPECT_TRUE(m_pRecentPopup->IsExpanded());
    EXPECT_TRUE(Item(m_pRecentPopup, kIdRecentTwo)->IsVisible());
}

TEST_F(PopupBarWindowTest, TheExpandButtonAnswersAClickAndDownOnTheLastItem)
{
    m_pCommandBars->HideCommand(kIdRare);
    CXTPControl* pRare = AddItem(m_pFilePopup, kIdRare, L"R&are");
    OpenFile();
    CXTPControl* pExpand = Item(m_pFilePopup, XTP_ID_POPUPBAR_EXPAND);
    ASSERT_NE(pExpand, nullptr);
    ASSERT_TRUE(pExpand->IsVisible());
    cbtest::SendClick(ScreenCentre(m_pFilePopup, pExpand));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return pRare->IsVisible(); }));
    EXPECT_TRUE(m_pFilePopup->IsVisible());
    Tap(VK_ESCAPE);
    ASSERT_TRUE(WaitClosed(m_pFilePopup));
    Tap(VK_ESCAPE);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !m_bar.IsTrackingMode(); }));

    // A new tracking run starts short again; Down on the last item expands.
    XTPMouseManager()->SetForceExpanded(FALSE);
    m_pFilePopup->SetTrackingMode(FALSE);
    OpenFile();
    ASSERT_FALSE(pRare->IsVisible());
    SelectByKeyboard(m_pFilePopup, kIdRecent);
    Tap(VK_DOWN);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return pRare->IsVisible(); }));
}

TEST_F(PopupBarWindowTest, ContextMenusAtTheScreenEdgesStayInsideTheWorkArea)
{
    const CRect rcWork = CXTPMultiMonitor().GetWorkArea(CPoint(0, 0));
    const CPoint points[] = {
        CPoint(rcWork.left, rcWork.top),
        CPoint(rcWork.right - 1, rcWork.top),
        CPoint(rcWork.left, rcWork.bottom - 1),
        CPoint(rcWork.right - 1, rcWork.bottom - 1),
        CPoint(rcWork.CenterPoint().x, rcWork.top),
        CPoint(rcWork.right + 50, rcWork.bottom + 50),
    };
    for (const CPoint& pt : points) {
        SCOPED_TRACE(testing::Message() << "at " << pt.x << "," << pt.y);
        for (BOOL bWithRect : {FALSE, TRUE}) {
            const CRect rcExclude(pt.x - 20, pt.y - 10, pt.x, pt.y);
            ASSERT_TRUE(m_pFilePopup->PopupAt(pt.x, pt.y, bWithRect ? &rcExclude : nullptr));
            ASSERT_TRUE(m_pFilePopup->IsVisible());
            const CRect rc = WindowRect(m_pFilePopup->m_hWnd);
            EXPECT_GE(rc.left, rcWork.left);
            EXPECT_GE(rc.top, rcWork.top);
            EXPECT_LE(rc.right, rcWork.right);
            EXPECT_LE(rc.bottom, rcWork.bottom);
            EXPECT_FALSE(m_pFilePopup->IsScrolling());
            m_pFilePopup->SetTrackingMode(FALSE);
            ASSERT_EQ(m_pFilePopup->GetSafeHwnd(), nullptr);
        }
    }
}

TEST_F(PopupBarWindowTest, APopupTallerThanTheScreenScrolls)
{
    CXTPPopupBar* pTall = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
    const int nCount = 120;
    for (int i = 0; i < nCount; ++i)
        AddItem(pTall, kIdMany + i, (L"Row " + std::to_wstring(i)).c_str());
    const CRect rcWork = CXTPMultiMonitor().GetWorkArea(CPoint(0, 0));
    ASSERT_TRUE(pTall->PopupAt(rcWork.left + 50, rcWork.top + 40));
    ASSERT_TRUE(pTall->IsScrolling());
    const CRect rc = WindowRect(pTall->m_hWnd);
    EXPECT_EQ(rc.top, rcWork.top);
    EXPECT_EQ(rc.bottom, rcWork.bottom - 5);
    EXPECT_EQ(pTall->GetFirstVisible(), 0);
    EXPECT_LT(pTall->GetLastVisible(), nCount);
    EXPECT_TRUE(pTall->GetScrollUpRect().IsRectEmpty());
    EXPECT_EQ(pTall->GetScrollDownRect().Height(), 16);
    EXPECT_EQ(pTall->GetControl(nCount - 1)->GetHideFlags(), static_cast<DWORD>(xtpHideScroll));
    // Every shown row lies between the scroll areas.
    for (int i = pTall->GetFirstVisible(); i < pTall->GetLastVisible(); ++i)
        EXPECT_LE(pTall->GetControl(i)->GetRect().bottom, pTall->GetScrollDownRect().top) << i;

    // The down arrow is drawn in the colour the colour manager gives entry 18.
    {
        CRect rcClient;
        pTall->GetClientRect(&rcClient);
        lqtest::MemoryCanvas canvas(rcClient.Width(), rcClient.Height());
        pTall->DrawCommandBar(&canvas.Dc());
        const CPoint ptArrow = pTall->GetScrollDownRect().CenterPoint();
        EXPECT_EQ(canvas.Dc().GetPixel(ptArrow.x, ptArrow.y), XTPColorManager()->GetColor(18));
    }

    // End selects the last row, which scrolls into view at the bottom.
    Tap(VK_END);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return pTall->GetSelected() == nCount - 1; }));
    EXPECT_EQ(pTall->GetLastVisible(), nCount);
    EXPECT_TRUE(pTall->GetControl(nCount - 1)->IsVisible());
    EXPECT_GT(pTall->GetFirstVisible(), 0);
    EXPECT_EQ(pTall->GetScrollUpRect().Height(), 16);
    EXPECT_TRUE(pTall->GetScrollDownRect().IsRectEmpty());
    Tap(VK_HOME);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return pTall->GetSelected() == 0; }));
    EXPECT_EQ(pTall->GetFirstVisible(), 0);
    EXPECT_TRUE(pTall->GetControl(0)->IsVisible());

    // Resting the pointer on the down area scrolls row by row.
    const CPoint ptDown = pTall->GetScrollDownRect().CenterPoint();
    const int nLastBefore = pTall->GetLastVisible();
    cbtest::MoveMouseTo(frametest::ClientToScreenPoint(pTall->m_hWnd, ptDown.x, ptDown.y));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return pTall->GetLastVisible() >= nLastBefore + 3; }));
    EXPECT_GT(pTall->GetFirstVisible(), 0);
    cbtest::MoveMouseTo(m_ptPark);
    lqtest::PumpPending();

    pTall->SetTrackingMode(FALSE);
    pTall->InternalRelease();
}

TEST_F(PopupBarWindowTest, AQuitPostedDuringTheTearOffDragReachesTheOuterLoop)
{
    m_pFilePopup->SetTearOffPopup(L"File", 4242, 300);
    OpenFile();
    const CRect rcGripper = m_pFilePopup->GetTearOffGripper();
    ASSERT_FALSE(rcGripper.IsRectEmpty());
    const POINT pt =
        frametest::ClientToScreenPoint(m_pFilePopup->m_hWnd, rcGripper.CenterPoint().x, rcGripper.CenterPoint().y);
    cbtest::MoveMouseTo(pt);
    ASSERT_TRUE(cbtest::WaitForCursor(pt));
    lqtest::PumpPending();
    BOOL bCaptured = FALSE;
    lqtest::TimedSteps steps({[&] {
        bCaptured = ::GetCapture() == m_pFilePopup->m_hWnd;
        ::PostQuitMessage(9);
    }});
    frametest::SendMouse(pt, MOUSEEVENTF_LEFTDOWN);
    // This loop stands for the program's own: the quit must come back to it.
    WPARAM nExitCode = 0;
    const bool bQuit = lqtest::PumpUntilQuit(&nExitCode);
    steps.Stop();
    frametest::SendMouse(pt, MOUSEEVENTF_LEFTUP);
    lqtest::PumpUntil([] { return ::GetAsyncKeyState(VK_LBUTTON) >= 0; });
    ASSERT_TRUE(bQuit);
    EXPECT_TRUE(bCaptured);
    EXPECT_EQ(nExitCode, 9u);
    EXPECT_NE(::GetCapture(), m_pFilePopup->m_hWnd);
    EXPECT_EQ(XTPMouseManager()->m_nLock, 0);
}

// Dragging the gripper out of the popup hides it and shows a floating toolbar with the popup's commands under the
// pointer; back inside, the popup returns and the toolbar goes (a torn-off bar is a custom one, which hiding
// removes); released outside, a toolbar stays floating and the popups close.
TEST_F(PopupBarWindowTest, TearingOffShowsAFloatingToolbarWithThePopupsCommands)
{
    ASSERT_TRUE(m_pCommandBars->CreateDockBars());
    m_pFilePopup->SetTearOffPopup(L"File", 4242, 300);
    OpenFile();
    const int nCommands = m_pFilePopup->GetControlCount();
    const CRect rcGripper = m_pFilePopup->GetTearOffGripper();
    ASSERT_FALSE(rcGripper.IsRectEmpty());
    const POINT pt =
        frametest::ClientToScreenPoint(m_pFilePopup->m_hWnd, rcGripper.CenterPoint().x, rcGripper.CenterPoint().y);
    const POINT ptOut = {pt.x + 60, pt.y + 250};
    cbtest::MoveMouseTo(pt);
    ASSERT_TRUE(cbtest::WaitForCursor(pt));
    lqtest::PumpPending();

    BOOL bToolbarOutside = FALSE, bPopupHidden = FALSE, bToolbarGoneInside = FALSE, bPopupBackInside = FALSE;
    lqtest::TimedSteps steps({[&] { frametest::SendMouse(ptOut, MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE); },
                              [&] {
                                  CXTPToolBar* pOutside = m_pCommandBars->FindToolBar(4242);
                                  bToolbarOutside = pOutside != nullptr && pOutside->IsVisible();
                                  bPopupHidden = !m_pFilePopup->IsWindowVisible();
                                  frametest::SendMouse(pt, MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
                              },
                              [&] {
                                  bPopupBackInside = m_pFilePopup->IsWindowVisible();
                                  CXTPToolBar* pInside = m_pCommandBars->FindToolBar(4242);
                                  bToolbarGoneInside = pInside == nullptr || !pInside->IsVisible();
                                  frametest::SendMouse(ptOut, MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
                              },
                              [&] { frametest::SendMouse(ptOut, MOUSEEVENTF_LEFTUP); }},
                             30);
    frametest::SendMouse(pt, MOUSEEVENTF_LEFTDOWN);
    lqtest::PumpUntil([&] { return steps.Done() && ::GetCapture() == nullptr; }, 10000);
    steps.Stop();
    lqtest::PumpUntil([] { return ::GetAsyncKeyState(VK_LBUTTON) >= 0; });

    EXPECT_TRUE(bToolbarOutside);
    EXPECT_TRUE(bPopupHidden);
    EXPECT_TRUE(bPopupBackInside);
    EXPECT_TRUE(bToolbarGoneInside);
    CXTPToolBar* pToolBar = m_pCommandBars->FindToolBar(4242);
    ASSERT_NE(pToolBar, nullptr);
    EXPECT_TRUE(pToolBar->IsVisible());
    EXPECT_EQ(pToolBar->GetPosition(), xtpBarFloating);
    // The popup's commands follow the floating bar's own close button and chevron.
    const int nOwn = pToolBar->GetControlCount() - nCommands;
    ASSERT_GE(nOwn, 0);
    for (int i = 0; i < nCommands; ++i)
        EXPECT_EQ(pToolBar->GetControl(nOwn + i)->GetID(), m_pFilePopup->GetControl(i)->GetID()) << i;
    EXPECT_FALSE(m_pFilePopup->IsTrackingMode());
    EXPECT_EQ(XTPMouseManager()->m_nLock, 0);
}

TEST_F(PopupBarWindowTest, DropShadowsWithAndWithoutLayeredWindows)
{
    // The default theme asks for shadows: without layered windows they are 2-pixel solid strips.
    XTPShadowManager()->SetLayeredAvailable(FALSE);
    OpenFile();
    // The popup's own two, then the one right of the title that opened it (the theme forces shadows), all owned
    // by the popup. The title's bottom shadow would lie wholly under the popup and is not made.
    std::vector<CXTPShadowWnd*> shadows = XTPShadowManager()->GetShadows(m_pFilePopup);
    ASSERT_EQ(shadows.size(), 3u);
    const CRect rcPopup = WindowRect(m_pFilePopup->m_hWnd);
    EXPECT_EQ(WindowRect(shadows[0]->m_hWnd),
              CRect(rcPopup.left + 2, rcPopup.bottom, rcPopup.right + 2, rcPopup.bottom + 2));
    EXPECT_EQ(WindowRect(shadows[1]->m_hWnd), CRect(rcPopup.right, rcPopup.top + 2, rcPopup.right + 2, rcPopup.bottom));
    CRect rcTitle = m_pFile->GetRect();
    m_bar.ClientToScreen(&rcTitle);
    EXPECT_EQ(WindowRect(shadows[2]->m_hWnd), CRect(rcTitle.right, rcTitle.top + 2, rcTitle.right + 2, rcTitle.bottom));
    for (CXTPShadowWnd* pShadow : shadows) {
        EXPECT_FALSE(pShadow->GetExStyle() & WS_EX_LAYERED);
        EXPECT_TRUE(::IsWindowVisible(pShadow->m_hWnd));
        // No shadow window lies over the popup: under Wine a popup overlapped by a layered window stays black.
        const CRect rcShadow = WindowRect(pShadow->m_hWnd);
        CRect rcOverlap;
        EXPECT_FALSE(rcOverlap.IntersectRect(&rcPopup, &rcShadow));
        // The mouse passes through.
        const CRect rc = WindowRect(pShadow->m_hWnd);
        EXPECT_EQ(pShadow->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.left, rc.top)), HTTRANSPARENT);
    }
    const HWND hShadow = shadows[0]->m_hWnd;
    Tap(VK_ESCAPE);
    ASSERT_TRUE(WaitClosed(m_pFilePopup));
    EXPECT_TRUE(XTPShadowManager()->GetShadows(m_pFilePopup).empty());
    EXPECT_FALSE(::IsWindow(hShadow));
    Tap(VK_ESCAPE);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !m_bar.IsTrackingMode(); }));

    // A theme that does not force shadows gets none without layered windows.
    CXTPPaintManager* pStandard = CXTPPaintManager::CreateTheme(xtpThemeStandard);
    m_pCommandBars->SetPaintManager(pStandard);
    OpenFile();
    EXPECT_TRUE(XTPShadowManager()->GetShadows(m_pFilePopup).empty());
    Tap(VK_ESCAPE);
    ASSERT_TRUE(WaitClosed(m_pFilePopup));

    // With layered windows, the forced shadows of the default theme are 4 pixels and layered.
    m_pCommandBars->SetPaintManager(nullptr);
    XTPShadowManager()->SetLayeredAvailable(TRUE);
    if (!XTPShadowManager()->IsLayeredAvailable())
        return;
    Tap(VK_ESCAPE);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !m_bar.IsTrackingMode(); }));
    OpenFile();
    shadows = XTPShadowManager()->GetShadows(m_pFilePopup);
    ASSERT_EQ(shadows.size(), 3u);
    EXPECT_TRUE(shadows[0]->GetExStyle() & WS_EX_LAYERED);
    EXPECT_EQ(WindowRect(shadows[0]->m_hWnd).Height(), 4);
    const CRect rcLayeredPopup = WindowRect(m_pFilePopup->m_hWnd);
    for (CXTPShadowWnd* pShadow : shadows) {
        const CRect rcShadow = WindowRect(pShadow->m_hWnd);
        CRect rcOverlap;
        EXPECT_FALSE(rcOverlap.IntersectRect(&rcLayeredPopup, &rcShadow));
    }
}

TEST(ShadowImage, PremultipliedRampsAndEndSquares)
{
    const COLORREF clr = RGB(200, 100, 40);
    auto channels = [](DWORD px) {
        return std::vector<int>{static_cast<int>(px >> 24), static_cast<int>((px >> 16) & 0xFF),
                                static_cast<int>((px >> 8) & 0xFF), static_cast<int>(px & 0xFF)};
    };
    // A bottom shadow of 20 by 4; rows are stored bottom-up, so buffer row 3 is the row next to the popup.
    std::vector<DWORD> bottom(20 * 4);
    CXTPShadowManager::BuildShadowImage(bottom.data(), 20, 4, TRUE, FALSE, clr);
    auto bottomAt = [&](int x, int yTop) { return channels(bottom[static_cast<size_t>(3 - yTop) * 20 + x]); };
    EXPECT_EQ(bottomAt(10, 0), (std::vector<int>{120, 200, 100, 40})); // next to the popup: d 3
    EXPECT_EQ(bottomAt(10, 3), (std::vector<int>{30, 50, 25, 10}));    // outer edge: d 0
    EXPECT_EQ(bottomAt(0, 0), (std::vector<int>{24, 40, 20, 8}));      // end square: e 0, d 3
    EXPECT_EQ(bottomAt(19, 0), bottomAt(0, 0));
    EXPECT_EQ(bottomAt(3, 3), (std::vector<int>{24, 40, 20, 8})); // e 3, d 0

    // A forced right shadow of 4 by 10: its top end square fades in, the rest is the straight ramp.
    std::vector<DWORD> right(4 * 10);
    CXTPShadowManager::BuildShadowImage(right.data(), 4, 10, FALSE, TRUE, clr);
    auto rightAt = [&](int x, int yTop) { return channels(right[static_cast<size_t>(9 - yTop) * 4 + x]); };
    EXPECT_EQ(rightAt(0, 8), (std::vector<int>{60, 200, 100, 40})); // next to the popup, u 3
    EXPECT_EQ(rightAt(3, 8), (std::vector<int>{15, 50, 25, 10}));
    EXPECT_EQ(rightAt(0, 0), (std::vector<int>{12, 40, 20, 8})); // top end: e 0, d 3
}

} // namespace
