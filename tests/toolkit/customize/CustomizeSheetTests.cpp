// The Customize sheet on a frame of the toolkit's frame template: the run in customise mode, a second sheet
// refused, tab mnemonics, commands dragged from the Commands page and controls dragged between bars by real
// mouse input, the context menu's commands and their states, the Toolbars page with the New Toolbar dialog, the
// Options page, and the Commands page's categories.
#include "toolkit/customize/XTPCustomizeSheet.h"

#include "tests/support/ModalDriver.h"
#include "tests/toolkit/commandbars/CommandBarsTestIds.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "tests/toolkit/customize/CustomizeTestIds.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/commandbars/CommandBarsResource.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPFrameWnd.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/customize/CustomizeSheetResource.h"
#include "toolkit/customize/XTPCustomizeCommandsPage.h"
#include "toolkit/customize/XTPCustomizeOptionsPage.h"
#include "toolkit/customize/XTPCustomizeToolbarsPage.h"
#include "toolkit/customize/XTPImageEditorDlg.h"
#include "toolkit/customize/ImageEditorResource.h"
#include "tests/support/Input.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class CCustomizeFrame : public CXTPFrameWnd
{
protected:
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CXTPFrameWnd::OnCreate(lpcs) == -1 || !InitCommandBars())
            return -1;
        return 0;
    }
    void OnRun(UINT) {}
    // A handler makes the bars customisable.
    void OnCustomize() {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCustomizeFrame, CXTPFrameWnd)
ON_WM_CREATE()
ON_COMMAND_RANGE(ID_TEST_OPEN, ID_TEST_NOTIFIED, OnRun)
ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()

// Records what an update handler sets.
class CRecordingCmdUI : public CCmdUI
{
public:
    explicit CRecordingCmdUI(UINT nID) { m_nID = nID; }
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        m_bEnabled = bOn;
    }
    void SetCheck(int nCheck) override { m_nCheck = nCheck; }
    BOOL m_bEnabled = -1;
    int m_nCheck = -1;
};

// Runs steps on a thread timer in whatever loop dispatches (the sheet's, a drag's, a nested dialog's); a step that
// blocks in a modal loop of its own holds the next one back until it returns.
class CSheetScript
{
public:
    using Step = std::function<void()>;
    explicit CSheetScript(std::vector<Step> steps) : m_steps(std::move(steps))
    {
        s_pCurrent = this;
        m_timer = ::SetTimer(nullptr, 0, 40, Tick);
    }
    ~CSheetScript()
    {
        ::KillTimer(nullptr, m_timer);
        s_pCurrent = nullptr;
    }
    CSheetScript(const CSheetScript&) = delete;
    CSheetScript& operator=(const CSheetScript&) = delete;
    bool Done() const { return m_next >= m_steps.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        CSheetScript* self = s_pCurrent;
        if (self == nullptr || self->m_bBusy || self->Done())
            return;
        self->m_bBusy = true;
        const size_t nStep = self->m_next;
        self->m_steps[nStep]();
        self->m_next = nStep + 1;
        self->m_bBusy = false;
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_bBusy = false;
    UINT_PTR m_timer = 0;
    static inline CSheetScript* s_pCurrent = nullptr;
};

std::vector<int> Ids(CXTPCommandBar* pBar)
{
    std::vector<int> ids;
    for (int i = 0; i < pBar->GetControlCount(); ++i)
        ids.push_back(pBar->GetControl(i)->GetID());
    return ids;
}

int CountId(CXTPCommandBar* pBar, int nId)
{
    int n = 0;
    for (int id : Ids(pBar))
        n += id == nId;
    return n;
}

class CustomizeSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new CCustomizeFrame;
        ASSERT_TRUE(
            m_pFrame->Create(nullptr, L"Customize host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 700, 460)));
        m_app.m_pMainWnd = m_pFrame;
        m_pCommandBars = m_pFrame->GetCommandBars();
        ASSERT_NE(m_pCommandBars, nullptr);
        m_pMenuBar = m_pCommandBars->SetMenu(L"Menu Bar", IDR_TEST_BARS_MENU);
        ASSERT_NE(m_pMenuBar, nullptr);
        m_pStandard = m_pCommandBars->Add(L"Standard", xtpBarTop);
        ASSERT_NE(m_pStandard, nullptr);
        ASSERT_TRUE(m_pStandard->LoadToolBar(IDR_TEST_TOOLBAR1));
        m_pCommandBars->RecalcFrameLayout();
        lqtest::PumpPending();
        const POINT ptPark = lqtest::ClientToScreenPoint(m_pFrame->m_hWnd, 400, 300);
        cbtest::MoveMouseTo(ptPark);
        ASSERT_TRUE(cbtest::WaitForCursor(ptPark));
        ASSERT_TRUE(frametest::Activate(m_pFrame->m_hWnd));
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        if (m_pFrame != nullptr && ::IsWindow(m_pFrame->m_hWnd))
            m_pFrame->DestroyWindow();
        lqtest::PumpPending();
        lqtest::DropQuitMessages();
    }

    POINT ScreenCentre(CXTPCommandBar* pBar, int nIndex)
    {
        const CRect rc = pBar->GetControl(nIndex)->GetRect();
        return lqtest::ClientToScreenPoint(pBar->m_hWnd, rc.CenterPoint().x, rc.CenterPoint().y);
    }
    // Just inside the right edge of the bar's last shown control.
    POINT ScreenAfterLast(CXTPCommandBar* pBar)
    {
        CRect rc;
        for (int i = pBar->GetControlCount() - 1; i >= 0; --i) {
            CXTPControl* pControl = pBar->GetControl(i);
            if (pControl->IsVisible() && !pControl->GetRect().IsRectEmpty() &&
                pControl->GetID() != XTP_ID_TOOLBAR_EXPAND && pControl->GetID() != XTP_ID_TOOLBAR_HIDE) {
                rc = pControl->GetRect();
                break;
            }
        }
        return lqtest::ClientToScreenPoint(pBar->m_hWnd, rc.right - 2, rc.CenterPoint().y);
    }
    // Near the control's top-left corner: a press there right after one at its centre is no double click.
    POINT ScreenCorner(CXTPCommandBar* pBar, int nIndex)
    {
        const CRect rc = pBar->GetControl(nIndex)->GetRect();
        return lqtest::ClientToScreenPoint(pBar->m_hWnd, rc.left + 3, rc.top + 3);
    }
    POINT FrameClientPoint() { return lqtest::ClientToScreenPoint(m_pFrame->m_hWnd, 400, 330); }

    // Runs the sheet; its loop runs one step per timer tick, drags included, and the sheet is closed after them.
    INT_PTR RunSheet(CXTPCustomizeSheet& sheet, std::vector<CSheetScript::Step> steps)
    {
        steps.insert(steps.begin(), [&sheet] {
            sheet.SetWindowPos(nullptr, 120, 180, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        });
        steps.push_back([&sheet] { sheet.PressButton(PSBTN_CANCEL); });
        CSheetScript script(std::move(steps));
        const INT_PTR nResult = sheet.DoModal();
        EXPECT_TRUE(script.Done());
        return nResult;
    }
    // A button pressed or released where the pointer is, without any move.
    static void ButtonInPlace(DWORD dwFlags)
    {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = dwFlags;
        ::SendInput(1, &input, sizeof(INPUT));
    }
    // A press at from, moves to to (twice, so that the bar under it sees a move), release there. With bCtrl, Ctrl is
    // pressed once the pointer rests over to and the button released without a move (pCursor gets the cursor the
    // drag shows then). Wine sets its modifier state to the X server's whenever the pointer enters a window, and a
    // key sent by SendInput never reaches the X server: a Ctrl pressed before any move of the drag is let go.
    static std::vector<CSheetScript::Step> DragSteps(std::function<POINT()> from, std::function<POINT()> to,
                                                     bool bCtrl = false, HCURSOR* pCursor = nullptr)
    {
        auto pFrom = std::make_shared<POINT>();
        auto pTo = std::make_shared<POINT>();
        std::vector<CSheetScript::Step> steps = {
            [=] {
                *pFrom = from();
                cbtest::MoveMouseTo(*pFrom);
            },
            [=] { lqtest::SendMouse(*pFrom, MOUSEEVENTF_LEFTDOWN); },
            [=] { cbtest::MoveMouseTo(POINT{pFrom->x + 6, pFrom->y + 6}); },
            [=] {
                *pTo = to();
                cbtest::MoveMouseTo(POINT{pTo->x - 1, pTo->y});
            },
            [=] { cbtest::MoveMouseTo(*pTo); },
        };
        if (!bCtrl) {
            steps.push_back([=] { lqtest::SendMouse(*pTo, MOUSEEVENTF_LEFTUP); });
            return steps;
        }
        steps.push_back([] { lqtest::SendKey(VK_CONTROL, false); });
        steps.push_back([=] {
            if (pCursor != nullptr)
                *pCursor = ::GetCursor();
            ButtonInPlace(MOUSEEVENTF_LEFTUP);
        });
        steps.push_back([] { lqtest::SendKey(VK_CONTROL, true); });
        return steps;
    }

    CWinApp m_app{L"CustomizeSheetTests"};
    CCustomizeFrame* m_pFrame = nullptr;
    CXTPCommandBars* m_pCommandBars = nullptr;
    CXTPMenuBar* m_pMenuBar = nullptr;
    CXTPToolBar* m_pStandard = nullptr;
};

TEST_F(CustomizeSheetTest, RunsInCustomizeModeWithCloseOnlyRefusesASecondSheetAndSwitchesTabsByMnemonic)
{
    CXTPCustomizeSheet sheet(m_pCommandBars);
    CXTPCustomizeOptionsPage options(&sheet);
    sheet.AddPage(&options);
    EXPECT_FALSE(m_pCommandBars->IsCustomizeMode());
    BOOL bModeDuring = FALSE;
    INT_PTR nSecond = 0;
    std::wstring strClose;
    BOOL bOkVisible = TRUE;
    std::vector<int> pages;
    auto altKey = [&](WPARAM vk) {
        MSG msg = {sheet.m_hWnd, WM_SYSKEYDOWN, vk, 0, 0, {0, 0}};
        sheet.PreTranslateMessage(&msg);
        pages.push_back(sheet.GetActiveIndex());
    };
    const INT_PTR nResult =
        RunSheet(sheet, {[&] {
                             bModeDuring = m_pCommandBars->IsCustomizeMode();
                             EXPECT_EQ(CXTPCustomizeSheet::GetRunningSheet(), &sheet);
                             CXTPCustomizeSheet second(m_pCommandBars);
                             nSecond = second.DoModal();
                             wchar_t text[64] = {};
                             ::GetDlgItemTextW(sheet.m_hWnd, IDCANCEL, text, 64);
                             strClose = text;
                             bOkVisible = ::IsWindowVisible(::GetDlgItem(sheet.m_hWnd, IDOK));
                         },
                         [&] { altKey('C'); }, [&] { altKey('O'); }, [&] { altKey('B'); }, [&] { altKey('X'); }});
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_TRUE(bModeDuring);
    EXPECT_EQ(nSecond, IDCANCEL);
    EXPECT_EQ(strClose, L"Close");
    EXPECT_FALSE(bOkVisible);
    EXPECT_EQ(pages, std::vector<int>({1, 2, 0, 0}));
    EXPECT_FALSE(m_pCommandBars->IsCustomizeMode());
    EXPECT_EQ(CXTPCustomizeSheet::GetRunningSheet(), nullptr);
}

TEST_F(CustomizeSheetTest, CommandsDraggedFromThePageAreCopiedAndBarControlsDroppedAwayGo)
{
    CXTPCustomizeSheet sheet(m_pCommandBars);
    CXTPCustomizeCommandsPage* pPage = sheet.GetCommandsPage();
    ASSERT_TRUE(pPage->AddCategories(IDR_TEST_BARS_MENU));
    CXTPCustomizeCategory* pEdit = pPage->FindCategory(L"Edit");
    ASSERT_NE(pEdit, nullptr);
    ASSERT_EQ(pEdit->m_pControls->GetCount(), 1);
    const int nCommand = pEdit->m_pControls->GetAt(0)->GetID();
    const std::vector<int> before = Ids(m_pStandard);
    const int nFirst = before[0];

    auto firstCommand = [&] {
        CRect rc;
        pPage->m_lstCommands.GetItemRect(0, &rc);
        return lqtest::ClientToScreenPoint(pPage->m_lstCommands.m_hWnd, rc.CenterPoint().x, rc.CenterPoint().y);
    };
    std::vector<CSheetScript::Step> steps = {[&] {
        sheet.SetActivePage(1);
        for (int i = 0; i < pPage->m_lstCategories.GetCount(); ++i) {
            CString strText;
            pPage->m_lstCategories.GetText(i, strText);
            if (strText == L"Edit")
                pPage->m_lstCategories.SetCurSel(i);
        }
        pPage->OnCategoriesSelectionChanged();
    }};
    // From the page onto the toolbar: a copy lands there, the category keeps its command.
    for (auto& step : DragSteps(firstCommand, [&] { return ScreenAfterLast(m_pStandard); }))
        steps.push_back(step);
    std::vector<int> afterCopy;
    steps.push_back([&] { afterCopy = Ids(m_pStandard); });
    // A toolbar button dropped on the frame's client area leaves its bar.
    for (auto& step : DragSteps([&] { return ScreenCentre(m_pStandard, 0); }, [&] { return FrameClientPoint(); }))
        steps.push_back(step);
    std::vector<int> afterRemove;
    steps.push_back([&] { afterRemove = Ids(m_pStandard); });
    RunSheet(sheet, steps);

    EXPECT_EQ(std::count(afterCopy.begin(), afterCopy.end(), nCommand),
              std::count(before.begin(), before.end(), nCommand) + 1);
    EXPECT_EQ(afterCopy.size(), before.size() + 1);
    EXPECT_EQ(pEdit->m_pControls->GetCount(), 1);
    ASSERT_EQ(afterRemove.size(), afterCopy.size() - 1);
    EXPECT_EQ(afterRemove, std::vector<int>(afterCopy.begin() + 1, afterCopy.end())) << "the first button went";
    EXPECT_EQ(Ids(m_pStandard), afterRemove);
    EXPECT_NE(afterRemove[0], nFirst);
}

TEST_F(CustomizeSheetTest, BarControlsAreCopiedWithCtrlMovedIntoAMenuPopupDroppedAwayAndMovedBackOut)
{
    CXTPControlPopup* pEditTitle = DYNAMIC_DOWNCAST(CXTPControlPopup, m_pMenuBar->GetControl(1));
    ASSERT_NE(pEditTitle, nullptr);
    CXTPCommandBar* pEditMenu = pEditTitle->GetCommandBar();
    ASSERT_NE(pEditMenu, nullptr);
    const std::vector<int> before = Ids(m_pStandard);
    const std::vector<int> menuBefore = Ids(pEditMenu);
    const int nFirst = before[0];
    auto insideMenu = [&] {
        CRect rc;
        pEditMenu->GetWindowRect(&rc);
        return POINT{rc.left + rc.Width() / 2, rc.bottom - 4};
    };

    // Ctrl held at the drop: the button is copied to the end of its own bar, the copy cursor showing.
    HCURSOR hCtrlCursor = nullptr;
    std::vector<CSheetScript::Step> steps = DragSteps([&] { return ScreenCentre(m_pStandard, 0); },
                                                      [&] { return ScreenAfterLast(m_pStandard); }, true, &hCtrlCursor);
    std::vector<int> afterCopy;
    steps.push_back([&] { afterCopy = Ids(m_pStandard); });
    // Without Ctrl, over the menu title (which opens its popup) and into the popup: the button moves there.
    auto pFrom = std::make_shared<POINT>();
    bool bMenuOpened = false;
    std::vector<CSheetScript::Step> moveSteps = {
        // Off the centre pressed for the copy: a second press there would be a double click.
        [=] {
            *pFrom = ScreenCorner(m_pStandard, 0);
            cbtest::MoveMouseTo(*pFrom);
        },
        [=] { lqtest::SendMouse(*pFrom, MOUSEEVENTF_LEFTDOWN); },
        [=] { cbtest::MoveMouseTo(POINT{pFrom->x + 6, pFrom->y + 6}); },
        [&] { cbtest::MoveMouseTo(ScreenCentre(m_pMenuBar, 1)); },
        [&] {
            const POINT pt = ScreenCentre(m_pMenuBar, 1);
            cbtest::MoveMouseTo(POINT{pt.x + 1, pt.y});
        },
        [&] {
            bMenuOpened = pEditMenu->GetSafeHwnd() != nullptr && pEditMenu->IsWindowVisible();
            const POINT pt = insideMenu();
            cbtest::MoveMouseTo(POINT{pt.x - 1, pt.y});
        },
        [&] { cbtest::MoveMouseTo(insideMenu()); },
        [&] { lqtest::SendMouse(insideMenu(), MOUSEEVENTF_LEFTUP); },
    };
    steps.insert(steps.end(), moveSteps.begin(), moveSteps.end());
    std::vector<int> afterMove;
    std::vector<int> menuAfterMove;
    steps.push_back([&] {
        afterMove = Ids(m_pStandard);
        menuAfterMove = Ids(pEditMenu);
    });
    // From the open popup onto the frame's client area: the menu item goes.
    for (auto& step : DragSteps([&] { return ScreenCentre(pEditMenu, pEditMenu->GetControlCount() - 1); },
                                [&] { return FrameClientPoint(); }))
        steps.push_back(step);
    std::vector<int> menuAfterRemove;
    steps.push_back([&] { menuAfterRemove = Ids(pEditMenu); });
    // A click on the menu's title opens it again: a click without a move is no drag.
    bool bReopened = false;
    steps.push_back([&] { cbtest::MoveMouseTo(ScreenCentre(m_pMenuBar, 1)); });
    steps.push_back([] { ButtonInPlace(MOUSEEVENTF_LEFTDOWN); });
    steps.push_back([] { ButtonInPlace(MOUSEEVENTF_LEFTUP); });
    steps.push_back([&] { bReopened = pEditMenu->GetSafeHwnd() != nullptr && pEditMenu->IsWindowVisible(); });
    // From the popup onto the toolbar, before its first button: the item moves there.
    for (auto& step : DragSteps([&] { return ScreenCentre(pEditMenu, 0); },
                                [&] { return ScreenCorner(m_pStandard, 0); }))
        steps.push_back(step);
    CXTPCustomizeSheet sheet(m_pCommandBars);
    RunSheet(sheet, steps);

    EXPECT_EQ(hCtrlCursor, ::LoadCursorW(GetToolkitGlobals()->GetResourceModule(),
                                         MAKEINTRESOURCEW(XTP_IDC_COMMANDBARS_DRAGCOPY)));
    ASSERT_EQ(afterCopy.size(), before.size() + 1);
    EXPECT_EQ(afterCopy[0], nFirst) << "a copy leaves the button where it was";
    EXPECT_EQ(std::count(afterCopy.begin(), afterCopy.end(), nFirst),
              std::count(before.begin(), before.end(), nFirst) + 1);

    EXPECT_TRUE(bMenuOpened);
    ASSERT_EQ(afterMove.size(), afterCopy.size() - 1);
    EXPECT_EQ(afterMove, std::vector<int>(afterCopy.begin() + 1, afterCopy.end()));
    ASSERT_EQ(menuAfterMove.size(), menuBefore.size() + 1);
    EXPECT_EQ(menuAfterMove.back(), nFirst);

    EXPECT_EQ(menuAfterRemove, menuBefore) << "dropped away from every bar, the item left the popup";
    ASSERT_TRUE(bReopened);
    ASSERT_FALSE(menuBefore.empty());
    EXPECT_EQ(Ids(pEditMenu), std::vector<int>(menuBefore.begin() + 1, menuBefore.end()));
    std::vector<int> standardAfter = {menuBefore[0]};
    standardAfter.insert(standardAfter.end(), afterMove.begin(), afterMove.end());
    EXPECT_EQ(Ids(m_pStandard), standardAfter);
}

TEST_F(CustomizeSheetTest, ContextMenuCommandsChangeTheSelectionAndTheirStatesFollowIt)
{
    CXTPCustomizeSheet sheet(m_pCommandBars);
    CXTPControl* pFirst = m_pStandard->GetControl(0);
    CXTPControl* pSecond = m_pStandard->GetControl(1);
    auto state = [&](UINT nID) {
        CRecordingCmdUI ui(nID);
        sheet.OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &ui, nullptr);
        return std::make_pair(ui.m_bEnabled, ui.m_nCheck);
    };

    const int nControls = m_pStandard->GetControlCount();
    // Nothing selected: the commands do nothing and the style items are off.
    m_pCommandBars->SetCustomizeControl(nullptr);
    sheet.OnCustomizeDelete();
    EXPECT_EQ(m_pStandard->GetControlCount(), nControls);
    EXPECT_EQ(state(XTP_ID_CUSTOMIZE_DEFAULTSTYLE).first, FALSE);

    m_pCommandBars->SetCustomizeControl(pFirst);
    EXPECT_EQ(state(XTP_ID_CUSTOMIZE_BEGINAGROUP).first, FALSE) << "the first control cannot begin a group";
    EXPECT_EQ(state(XTP_ID_CUSTOMIZE_RESET).first, FALSE);
    EXPECT_EQ(state(XTP_ID_CUSTOMIZE_DEFAULTSTYLE), std::make_pair(TRUE, 1));
    EXPECT_EQ(state(XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE).first, TRUE) << "a button with an image can be edited";
    sheet.ApplyName(L"&Renamed");
    EXPECT_EQ(pFirst->GetCaption(), L"&Renamed");
    EXPECT_EQ(state(XTP_ID_CUSTOMIZE_RESET).first, TRUE);
    sheet.OnCustomizeStyle(XTP_ID_CUSTOMIZE_TEXTONLY);
    EXPECT_EQ(pFirst->GetStyle(), xtpButtonCaption);
    EXPECT_EQ(state(XTP_ID_CUSTOMIZE_TEXTONLY), std::make_pair(TRUE, 1));
    EXPECT_EQ(state(XTP_ID_CUSTOMIZE_DEFAULTSTYLE), std::make_pair(TRUE, 0));
    sheet.OnCustomizeBeginGroup();
    EXPECT_FALSE(pFirst->GetBeginGroup());
    sheet.OnCustomizeReset();
    EXPECT_TRUE(pFirst->GetCustomCaption().IsEmpty());

    m_pCommandBars->SetCustomizeControl(pSecond);
    const BOOL bGroup = pSecond->GetBeginGroup();
    EXPECT_EQ(state(XTP_ID_CUSTOMIZE_BEGINAGROUP), std::make_pair(TRUE, bGroup ? 1 : 0));
    sheet.OnCustomizeBeginGroup();
    EXPECT_EQ(pSecond->GetBeginGroup(), !bGroup);

    // A command image becomes the control's own image under a new custom id; resetting the image drops it.
    UINT ids[1] = {XTP_ID_CUSTOMIZE_FIRSTIMAGE};
    ASSERT_GT(sheet.GetCommandImages().GetImageCount(), 0);
    ASSERT_TRUE(
        m_pCommandBars->GetImageManager()->SetIconsFromImageList(sheet.GetCommandImages().GetSafeHandle(), ids, 1));
    sheet.ApplyImage(XTP_ID_CUSTOMIZE_FIRSTIMAGE);
    EXPECT_GT(pSecond->GetCustomIconId(), 0);
    EXPECT_NE(pSecond->GetCustomIconId(), static_cast<int>(XTP_ID_CUSTOMIZE_FIRSTIMAGE));
    EXPECT_EQ(state(XTP_ID_CUSTOMIZE_RESETBUTTONIMAGE).first, TRUE);
    sheet.OnCustomizeResetImage();
    EXPECT_EQ(pSecond->GetCustomIconId(), 0);

    const int nSecondId = pSecond->GetID();
    sheet.OnCustomizeDelete();
    EXPECT_EQ(m_pStandard->GetControlCount(), nControls - 1);
    EXPECT_EQ(CountId(m_pStandard, nSecondId), 0);
    EXPECT_EQ(m_pCommandBars->GetCustomizeControl(), nullptr);
}

TEST_F(CustomizeSheetTest, NewToolbarDialogProposesFreeNamesAndRefusesBlankAndTakenOnes)
{
    CXTPToolBar* pCustom1 = m_pCommandBars->AddCustomToolBar(L"Custom 1", kFirstCustomToolBarId);
    m_pCommandBars->AddCustomToolBar(L"Custom 3", kFirstCustomToolBarId + 1);
    ASSERT_NE(pCustom1, nullptr);
    EXPECT_EQ(FindFreeToolBarName(m_pCommandBars), L"Custom 2");

    lqtest::ModalDriver driver([](HWND, const std::wstring&, int) {});
    struct Case
    {
        const wchar_t* pszName;
        bool bRename;
        CXTPNewToolbarDlg::CheckResult result;
        UINT nNewId;
        const wchar_t* pszMessage;
    };
    const Case cases[] = {
        {L"", false, CXTPNewToolbarDlg::nameRefused, 0, L"The toolbar name cannot be blank. Type a name."},
        {L"Standard", false, CXTPNewToolbarDlg::nameRefused, 0,
         L"A toolbar named 'Standard' already exists. Type another name."},
        {L"standard", false, CXTPNewToolbarDlg::nameAccepted, kFirstCustomToolBarId + 2, nullptr},
        {L"Custom 1", true, CXTPNewToolbarDlg::nameAccepted, kFirstCustomToolBarId, nullptr},
        {L"Custom 3", true, CXTPNewToolbarDlg::nameRefused, 0,
         L"A toolbar named 'Custom 3' already exists. Type another name."},
    };
    for (const Case& c : cases) {
        CXTPNewToolbarDlg dlg(m_pFrame, m_pCommandBars, c.bRename ? pCustom1 : nullptr);
        dlg.m_strToolbar = c.pszName;
        const size_t nMessages = driver.m_messages.size();
        EXPECT_EQ(dlg.CheckName(), c.result) << lqtest::Narrow(c.pszName);
        if (c.result == CXTPNewToolbarDlg::nameAccepted && !c.bRename) {
            EXPECT_EQ(dlg.m_nNewID, c.nNewId);
        }
        if (c.pszMessage != nullptr) {
            ASSERT_EQ(driver.m_messages.size(), nMessages + 1);
            EXPECT_EQ(driver.m_messages.back(), c.pszMessage);
        } else {
            EXPECT_EQ(driver.m_messages.size(), nMessages);
        }
    }
}

TEST_F(CustomizeSheetTest, ToolbarsPageCreatesRenamesHidesAndDeletesToolbars)
{
    CXTPCustomizeSheet sheet(m_pCommandBars);
    CXTPCustomizeToolbarsPage* pPage = sheet.GetToolbarsPage();
    lqtest::ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int nActivation) {
        if (nActivation > 0)
            return;
        if (caption == L"New Toolbar") {
            lqtest::ModalDriver::Click(hDlg, IDOK);
        } else if (caption == L"Rename Toolbar") {
            lqtest::ModalDriver::SetText(hDlg, XTP_IDC_TOOLBAR_NAME, L"Feeds");
            lqtest::ModalDriver::Click(hDlg, IDOK);
        }
    });
    const int nBars = m_pCommandBars->GetCount();
    int nAfterNew = 0;
    std::wstring strLast;
    BOOL bLastChecked = FALSE, bRenameEnabled = FALSE, bResetEnabled = TRUE;
    BOOL bStandardVisible = TRUE;
    auto pressAndWait = [&](UINT nID) {
        return [&, nID] { pPage->SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), 0); };
    };
    RunSheet(sheet, {pressAndWait(XTP_IDC_BUTTON_NEW),
                     [&] {
                         nAfterNew = pPage->m_checkList.GetCount();
                         CString strText;
                         pPage->m_checkList.GetText(nAfterNew - 1, strText);
                         strLast = strText.GetString();
                         pPage->m_checkList.SetCurSel(nAfterNew - 1);
                         pPage->UpdateButtons();
                         bLastChecked = pPage->m_checkList.GetCheck(nAfterNew - 1);
                         bRenameEnabled = pPage->m_btnRename.IsWindowEnabled();
                         bResetEnabled = pPage->m_btnReset.IsWindowEnabled();
                     },
                     pressAndWait(XTP_IDC_BUTTON_RENAME),
                     [&] {
                         // The built-in toolbar hidden through its check.
                         pPage->m_checkList.SetCurSel(1);
                         pPage->m_checkList.SetCheck(1, 0);
                         pPage->OnChkChange();
                         bStandardVisible = m_pStandard->IsVisible();
                         pPage->m_checkList.SetCurSel(pPage->m_checkList.GetCount() - 1);
                     },
                     pressAndWait(XTP_IDC_BUTTON_DELETE)});
    EXPECT_EQ(nAfterNew, nBars + 1);
    EXPECT_EQ(strLast, L"Custom 1");
    EXPECT_TRUE(bLastChecked);
    EXPECT_TRUE(bRenameEnabled);
    EXPECT_FALSE(bResetEnabled);
    EXPECT_FALSE(bStandardVisible);
    EXPECT_EQ(driver.m_messages, std::vector<std::wstring>({L"Are you sure you want to delete the 'Feeds' toolbar?"}));
    EXPECT_EQ(m_pCommandBars->GetCount(), nBars);
    EXPECT_EQ(m_pCommandBars->FindToolBar(kFirstCustomToolBarId), nullptr);
}

// What a user can change of a bar's controls: command, caption, group start and style.
std::vector<std::wstring> Describe(CXTPCommandBar* pBar)
{
    std::vector<std::wstring> rows;
    for (int i = 0; i < pBar->GetControlCount(); ++i) {
        CXTPControl* pControl = pBar->GetControl(i);
        // The bar's own end buttons are no part of its layout.
        if (pControl->GetID() == XTP_ID_TOOLBAR_EXPAND || pControl->GetID() == XTP_ID_TOOLBAR_HIDE)
            continue;
        rows.push_back(std::to_wstring(pControl->GetID()) + L"|" + pControl->GetCaption().GetString() + L"|" +
                       (pControl->GetBeginGroup() ? L"group" : L"") + L"|" +
                       std::to_wstring(static_cast<int>(pControl->GetStyle())));
    }
    return rows;
}

TEST_F(CustomizeSheetTest, ResetOnTheToolbarsPageBringsABuiltInToolbarBackToItsResourceAfterTheWarning)
{
    CXTPToolBar* pReference = m_pCommandBars->Add(L"Reference", xtpBarTop);
    ASSERT_NE(pReference, nullptr);
    ASSERT_TRUE(pReference->LoadToolBar(IDR_TEST_TOOLBAR1));
    const std::vector<std::wstring> resource = Describe(pReference);
    ASSERT_EQ(Describe(m_pStandard), resource);

    // Customised: the first button gone, one renamed, styled and starting a group, a copy added at the end.
    CXTPControls* pControls = m_pStandard->GetControls();
    pControls->Remove(pControls->GetAt(0));
    pControls->GetAt(1)->SetCaption(L"Mine");
    pControls->GetAt(1)->SetBeginGroup(TRUE);
    pControls->GetAt(1)->SetStyle(xtpButtonIconAndCaption);
    pControls->AddClone(pControls->GetAt(0));
    m_pCommandBars->RecalcFrameLayout();
    const std::vector<std::wstring> customised = Describe(m_pStandard);
    ASSERT_NE(customised, resource);

    CXTPCustomizeSheet sheet(m_pCommandBars);
    CXTPCustomizeToolbarsPage* pPage = sheet.GetToolbarsPage();
    lqtest::ModalDriver driver([](HWND, const std::wstring&, int) {});
    std::vector<std::wstring> afterCancel;
    auto selectStandard = [&] {
        for (int i = 0; i < pPage->m_checkList.GetCount(); ++i) {
            CString strText;
            pPage->m_checkList.GetText(i, strText);
            if (strText == L"Standard")
                pPage->m_checkList.SetCurSel(i);
        }
        pPage->UpdateButtons();
    };
    auto pressReset = [&] { pPage->SendMessage(WM_COMMAND, MAKEWPARAM(XTP_IDC_BUTTON_RESET, BN_CLICKED), 0); };
    RunSheet(sheet, {selectStandard,
                     [&] {
                         driver.m_nMessageBoxAnswer = IDCANCEL;
                         pressReset();
                         afterCancel = Describe(m_pStandard);
                     },
                     [&] {
                         driver.m_nMessageBoxAnswer = IDOK;
                         pressReset();
                     }});
    EXPECT_EQ(afterCancel, customised) << "a cancelled warning changes nothing";
    ASSERT_EQ(driver.m_messages.size(), 2u);
    EXPECT_NE(driver.m_messages[0].find(L"Standard"), std::wstring::npos) << driver.m_messages[0];
    EXPECT_EQ(Describe(m_pStandard), resource);
}

TEST_F(CustomizeSheetTest, OptionsPageWritesEachOptionAtOnceAndKeepsDependentsInStep)
{
    CXTPCommandBarsOptions* pOptions = m_pCommandBars->GetCommandBarsOptions();
    pOptions->bAlwaysShowFullMenus = FALSE;
    pOptions->bShowFullAfterDelay = TRUE;
    pOptions->bToolBarScreenTips = TRUE;
    pOptions->animationType = 3;
    m_pCommandBars->HideCommand(ID_TEST_OPEN);
    m_pCommandBars->SetCommandUsed(ID_TEST_OPEN);
    ASSERT_FALSE(m_pCommandBars->IsCommandRarelyUsed(ID_TEST_OPEN));
    CXTPCustomizeSheet sheet(m_pCommandBars);
    CXTPCustomizeOptionsPage options(&sheet);
    sheet.AddPage(&options);
    lqtest::ModalDriver driver([](HWND, const std::wstring&, int) {});
    auto click = [&](UINT nID) { ::SendMessageW(::GetDlgItem(options.m_hWnd, static_cast<int>(nID)), BM_CLICK, 0, 0); };
    auto enabled = [&](UINT nID) { return ::IsWindowEnabled(::GetDlgItem(options.m_hWnd, static_cast<int>(nID))); };
    BOOL bDelayEnabledBefore = FALSE, bDelayEnabledAfter = TRUE, bShortcutsEnabled = TRUE;
    int nComboAtStart = -1;
    BOOL bUsedAfterNo = FALSE;
    RunSheet(sheet, {[&] { sheet.SetActivePage(2); },
                     [&] {
                         nComboAtStart = options.m_comboAnimation.GetCurSel();
                         bDelayEnabledBefore = enabled(XTP_IDC_CHECK_AFTERDELAY);
                         click(XTP_IDC_CHECK_FULL_MENUS);
                         bDelayEnabledAfter = enabled(XTP_IDC_CHECK_AFTERDELAY);
                         click(XTP_IDC_CHECK_SCREENTTIPS);
                         bShortcutsEnabled = enabled(XTP_IDC_CHECK_SHORTCUTS);
                         options.m_comboAnimation.SetCurSel(4);
                         options.SendMessage(WM_COMMAND, MAKEWPARAM(XTP_IDC_COMBO_ANIMATION, CBN_SELCHANGE),
                                             reinterpret_cast<LPARAM>(options.m_comboAnimation.m_hWnd));
                         driver.m_nMessageBoxAnswer = IDNO;
                         click(XTP_IDC_BUTTON_RESETDATA);
                     },
                     [&] {
                         bUsedAfterNo = !m_pCommandBars->IsCommandRarelyUsed(ID_TEST_OPEN);
                         driver.m_nMessageBoxAnswer = IDYES;
                         click(XTP_IDC_BUTTON_RESETDATA);
                     }});
    EXPECT_EQ(nComboAtStart, 3);
    EXPECT_TRUE(bDelayEnabledBefore);
    EXPECT_TRUE(pOptions->bAlwaysShowFullMenus);
    EXPECT_FALSE(bDelayEnabledAfter);
    EXPECT_TRUE(pOptions->bShowFullAfterDelay) << "disabled, not changed";
    EXPECT_FALSE(pOptions->bToolBarScreenTips);
    EXPECT_FALSE(bShortcutsEnabled);
    EXPECT_EQ(pOptions->animationType, 4);
    EXPECT_TRUE(bUsedAfterNo);
    EXPECT_TRUE(m_pCommandBars->IsCommandRarelyUsed(ID_TEST_OPEN));
    EXPECT_EQ(driver.m_messages.size(), 2u);
}

TEST_F(CustomizeSheetTest, CommandsPageCategoriesMergeByNameAndAllCommandsCopiesOnlyEarlierOnes)
{
    CXTPCustomizeSheet sheet(m_pCommandBars);
    CXTPCustomizeCommandsPage* pPage = sheet.GetCommandsPage();
    EXPECT_FALSE(pPage->AddCategories(IDR_TEST_MISSING_MENU));
    ASSERT_TRUE(pPage->AddCategories(IDR_TEST_CATEGORY_MENU));
    pPage->InsertAllCommandsCategory(XTP_IDS_ALLCOMMANDS);
    ASSERT_TRUE(pPage->InsertBuiltInMenus(IDR_TEST_CATEGORY_MENU, XTP_IDS_BUILTINMENUS));
    pPage->InsertNewMenuCategory(XTP_IDS_NEWMENU);
    pPage->GetControls(L"Later");

    std::vector<std::wstring> names;
    std::vector<int> counts;
    for (int i = 0; i < pPage->GetCategoryCount(); ++i) {
        names.emplace_back(pPage->GetCategory(i)->m_strCategory.GetString());
        counts.push_back(pPage->GetCategory(i)->m_pControls->GetCount());
    }
    // "&File" and "Fi&le" share one category; the separator and the item-less title add nothing.
    EXPECT_EQ(names, std::vector<std::wstring>(
                         {L"File", L"View & Go", L"All Commands", L"Built-in Menus", L"New Menu", L"Later"}));
    EXPECT_EQ(counts, std::vector<int>({3, 1, 4, 4, 1, 0}));
    CXTPControl* pNewMenu = pPage->FindCategory(L"New Menu")->m_pControls->GetAt(0);
    EXPECT_EQ(pNewMenu->GetType(), xtpControlPopup);
    EXPECT_EQ(pNewMenu->GetCaption(), L"New Menu");
    EXPECT_EQ(pPage->FindCategory(L"file"), nullptr);
}

TEST_F(CustomizeSheetTest, AddOrRemoveButtonsHidesAndShowsButtonsOfTheDefaultLayout)
{
    ASSERT_TRUE(m_pCommandBars->IsCustomizable());
    int nButtons = 0;
    for (int id : Ids(m_pStandard))
        nButtons += id != XTP_ID_TOOLBAR_EXPAND && id != XTP_ID_TOOLBAR_HIDE;
    // The chevron's popup as it is built when it opens: "Add or Remove Buttons" last.
    auto buttonsMenu = [&](CXTPPopupBar*& pExpand) -> CXTPCommandBar* {
        pExpand = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
        m_pStandard->FillExpandPopup(pExpand);
        auto* pAddRemove = DYNAMIC_DOWNCAST(CXTPControlPopup, pExpand->GetControl(pExpand->GetControlCount() - 1));
        if (pAddRemove == nullptr || pAddRemove->GetCaption() != L"&Add or Remove Buttons")
            return nullptr;
        CXTPCommandBar* pEntries = pAddRemove->GetCommandBar();
        if (pEntries == nullptr || pEntries->GetControlCount() != 2 ||
            pEntries->GetControl(1)->GetID() != XTP_ID_CUSTOMIZE)
            return nullptr;
        auto* pStandardEntry = DYNAMIC_DOWNCAST(CXTPControlPopup, pEntries->GetControl(0));
        if (pStandardEntry == nullptr || pStandardEntry->GetCaption() != L"Standard" || !pStandardEntry->GetEnabled())
            return nullptr;
        return pStandardEntry->GetCommandBar();
    };
    CXTPPopupBar* pExpand = nullptr;
    CXTPCommandBar* pMenu = buttonsMenu(pExpand);
    ASSERT_NE(pMenu, nullptr);
    // One entry per button, all shown and of the default layout, then "Reset".
    ASSERT_EQ(pMenu->GetControlCount(), nButtons + 1);
    for (int i = 0; i < nButtons; ++i) {
        EXPECT_EQ(pMenu->GetControl(i)->GetChecked(), 1) << i;
        EXPECT_TRUE(pMenu->GetControl(i)->GetEnabled()) << i;
    }
    EXPECT_EQ(pMenu->GetControl(nButtons)->GetCaption(), L"Reset");
    const int nFirstId = m_pStandard->GetControl(0)->GetID();
    pMenu->GetControl(0)->OnExecute();
    EXPECT_NE(m_pStandard->GetControl(0)->GetHideFlags() & xtpHideCustomize, 0u);
    EXPECT_EQ(pMenu->GetControl(0)->GetChecked(), 0);
    pExpand->InternalRelease();

    // Built again: the hidden button is still listed (unchecked) and can come back.
    pMenu = buttonsMenu(pExpand);
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(m_pStandard->GetControl(0)->GetID(), nFirstId);
    EXPECT_EQ(pMenu->GetControl(0)->GetChecked(), 0);
    pMenu->GetControl(0)->OnExecute();
    EXPECT_EQ(m_pStandard->GetControl(0)->GetHideFlags() & xtpHideCustomize, 0u);
    pExpand->InternalRelease();

    // A button dragged off (removed) comes back hidden from the default layout when the menu is built.
    m_pStandard->GetControls()->Remove(m_pStandard->GetControl(0));
    pMenu = buttonsMenu(pExpand);
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(m_pStandard->GetControl(0)->GetID(), nFirstId);
    EXPECT_NE(m_pStandard->GetControl(0)->GetHideFlags() & xtpHideCustomize, 0u);
    EXPECT_EQ(pMenu->GetControl(0)->GetChecked(), 0);
    pExpand->InternalRelease();
}

} // namespace

namespace {

// The colour of an image's pixel, drawn over white.
COLORREF IconPixel(CXTPImageManagerIcon* pIcon, int x, int y)
{
    HDC hdcScreen = ::GetDC(nullptr);
    HDC hdc = ::CreateCompatibleDC(hdcScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hdcScreen, 32, 32);
    HGDIOBJ hOld = ::SelectObject(hdc, hBitmap);
    RECT rc{0, 0, 32, 32};
    ::FillRect(hdc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    CDC dc;
    dc.Attach(hdc);
    pIcon->Draw(&dc, CPoint(0, 0));
    dc.Detach();
    const COLORREF clr = ::GetPixel(hdc, x, y);
    ::SelectObject(hdc, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hdc);
    ::ReleaseDC(nullptr, hdcScreen);
    return clr;
}

} // namespace

TEST_F(CustomizeSheetTest, EditButtonImagePaintsTheImageAndOkStoresItAsTheControlsOwnImage)
{
    CXTPCustomizeSheet sheet(m_pCommandBars);
    CXTPControl* pButton = m_pStandard->GetControl(0);
    const int nBuiltIn = pButton->GetIconId();
    ASSERT_GT(nBuiltIn, 0);
    CXTPImageManager* pImages = m_pCommandBars->GetImageManager();
    const COLORREF clrBuiltIn = IconPixel(pImages->GetImage(static_cast<UINT>(nBuiltIn), 16), 7, 7);

    HWND hEditor = nullptr;
    CXTPImageEditorDlg* pEditor = nullptr;
    int nFirstCustom = 0;
    // A pencil click with a colour cell's colour in the editor's picture, then OK.
    auto EditSteps = [&](UINT nColorCell) {
        return std::vector<CSheetScript::Step>{
            [&] {
                // Customise mode starts without a selection: the control is chosen once the sheet runs.
                m_pCommandBars->SetCustomizeControl(pButton);
                sheet.PostMessage(WM_COMMAND, XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE);
            },
            [&] {
                hEditor = ::FindWindowW(nullptr, L"Button Editor");
                pEditor = static_cast<CXTPImageEditorDlg*>(CWnd::FromHandlePermanent(hEditor));
                ASSERT_NE(nullptr, pEditor);
                ::SetForegroundWindow(hEditor);
            },
            [&, nColorCell] {
                HWND hCell = ::GetDlgItem(hEditor, static_cast<int>(nColorCell));
                lqtest::SendClick(lqtest::ClientToScreenPoint(hCell, 5, 5));
            },
            [&] {
                const CSize cell = pEditor->GetPicture().GetCellSize();
                lqtest::SendClick(lqtest::ClientToScreenPoint(pEditor->GetPicture().m_hWnd, 7 * cell.cx + cell.cx / 2,
                                                              7 * cell.cy + cell.cy / 2));
            },
            [&] { ::PostMessageW(hEditor, WM_COMMAND, IDOK, 0); },
        };
    };
    std::vector<CSheetScript::Step> steps = EditSteps(XTP_IDS_CLR_RED);
    steps.push_back([&] { nFirstCustom = pButton->GetCustomIconId(); });
    for (auto& step : EditSteps(XTP_IDS_CLR_BLUE))
        steps.push_back(step);
    RunSheet(sheet, steps);

    // The first edit gave the control an image of its own; the second changed that image in place.
    EXPECT_GT(nFirstCustom, 0);
    EXPECT_NE(nFirstCustom, nBuiltIn);
    EXPECT_EQ(nFirstCustom, pButton->GetCustomIconId());
    CXTPImageManagerIcon* pCustom = pImages->GetImage(static_cast<UINT>(nFirstCustom), 16);
    ASSERT_NE(nullptr, pCustom);
    EXPECT_EQ(RGB(0, 0, 255), IconPixel(pCustom, 7, 7));
    // The rest of the built-in picture came along; the built-in image itself is as it was.
    EXPECT_EQ(IconPixel(pImages->GetImage(static_cast<UINT>(nBuiltIn), 16), 3, 12), IconPixel(pCustom, 3, 12));
    EXPECT_EQ(clrBuiltIn, IconPixel(pImages->GetImage(static_cast<UINT>(nBuiltIn), 16), 7, 7));
}
