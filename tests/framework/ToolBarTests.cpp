// The tool bar: buttons and wrapped rows over the platform's toolbar control, button states from the owner's
// update handlers, clicks reaching the owner as commands, and tool tip texts asked of the owner.
#include "framework/Afx.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kFirst = 63201; // kFirst .. kFirst + 5
constexpr UINT kDisabled = kFirst + 1;
constexpr UINT kChecked = kFirst + 2;
constexpr UINT kNoHandler = kFirst + 5;

// The owner of the bar: update handlers for some buttons, a command handler for all but one, tool tip texts.
class CToolOwner : public CFrameWnd
{
public:
    std::vector<UINT> m_commands;
    std::vector<UINT> m_tipRequests;

protected:
    void OnButton(UINT nID) { m_commands.push_back(nID); }
    void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    BOOL OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
    {
        auto* pInfo = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
        m_tipRequests.push_back(static_cast<UINT>(pNMHDR->idFrom));
        m_tip = L"Tip " + std::to_wstring(pNMHDR->idFrom - kFirst);
        pInfo->lpszText = const_cast<wchar_t*>(m_tip.c_str());
        *pResult = 0;
        return TRUE;
    }
    std::wstring m_tip;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CToolOwner, CFrameWnd)
ON_COMMAND_RANGE(kFirst, kFirst + 4, OnButton)
ON_UPDATE_COMMAND_UI(kDisabled, OnUpdateDisabled)
ON_UPDATE_COMMAND_UI(kChecked, OnUpdateChecked)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

class ToolBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_owner = new CToolOwner;
        ASSERT_TRUE(m_owner->Create(nullptr, L"Tool bar host", WS_OVERLAPPEDWINDOW, CRect(60, 60, 460, 300)));
        m_hOwner = m_owner->m_hWnd;
        m_images = ::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 6, 1);
        for (int i = 0; i < 6; ++i) {
            HICON hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
            ::ImageList_ReplaceIcon(m_images, -1, hIcon);
        }
        ASSERT_TRUE(m_bar.CreateEx(m_owner, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOOLTIPS));
        m_bar.SetImageList(m_images);
        const UINT ids[] = {kFirst, kFirst + 1, ID_SEPARATOR, kFirst + 2, kFirst + 3, kFirst + 4, kNoHandler};
        ASSERT_TRUE(m_bar.SetButtons(ids, 7));
        m_owner->ShowWindow(SW_SHOWNA);
        m_owner->UpdateWindow();
    }
    void TearDown() override
    {
        if (::IsWindow(m_hOwner))
            ::DestroyWindow(m_hOwner);
        ::ImageList_Destroy(m_images);
        lqtest::PumpPending();
    }
    CRect ItemRect(int nIndex)
    {
        CRect rc;
        m_bar.GetItemRect(nIndex, &rc);
        return rc;
    }

    CWinApp m_app{L"ToolBarTests"};
    CToolOwner* m_owner = nullptr;
    HWND m_hOwner = nullptr;
    CToolBar m_bar;
    HIMAGELIST m_images = nullptr;
};

TEST_F(ToolBarTest, ButtonsKeepTheirIdsAndImagesAndWrapIntoRows)
{
    EXPECT_EQ(7, m_bar.GetCount());
    EXPECT_EQ(3, m_bar.CommandToIndex(kChecked));
    EXPECT_EQ(-1, m_bar.CommandToIndex(kFirst + 50));
    EXPECT_EQ(kFirst + 3, m_bar.GetItemID(4));
    EXPECT_EQ(static_cast<UINT>(TBBS_SEPARATOR), m_bar.GetButtonStyle(2) & 0xFFFF);
    // Separators take no image: the button after one shows the next image.
    TBBUTTON button{};
    ASSERT_TRUE(m_bar.SendMessage(TB_GETBUTTON, 3, reinterpret_cast<LPARAM>(&button)));
    EXPECT_EQ(2, button.iBitmap);

    const CSize oneRow = m_bar.CalcFixedLayout(FALSE, TRUE);
    EXPECT_GT(oneRow.cx, 6 * 16);
    EXPECT_EQ(ItemRect(6).top, ItemRect(0).top);

    // Wrapping after the fourth button starts a second row with the fifth.
    m_bar.SetButtonStyle(3, m_bar.GetButtonStyle(3) | TBBS_WRAPPED);
    EXPECT_NE(0u, m_bar.GetButtonStyle(3) & TBBS_WRAPPED);
    EXPECT_GT(ItemRect(4).top, ItemRect(0).top);
    EXPECT_EQ(ItemRect(4).left, ItemRect(0).left);
    const CSize twoRows = m_bar.CalcFixedLayout(FALSE, TRUE);
    EXPECT_GE(twoRows.cy, 2 * ItemRect(0).Height());
    EXPECT_LT(twoRows.cx, oneRow.cx);
    EXPECT_EQ(32767, m_bar.CalcFixedLayout(TRUE, TRUE).cx);
}

TEST_F(ToolBarTest, UpdateHandlersOfTheTargetSetEnabledAndCheckedStates)
{
    m_bar.OnUpdateCmdUI(m_owner, TRUE);
    struct Case
    {
        UINT nID;
        bool enabled;
        bool checked;
    };
    const Case cases[] = {
        {kFirst, true, false},
        {kDisabled, false, false},
        {kChecked, true, true},
        // Without any handler the button is disabled when asked to be.
        {kNoHandler, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.enabled, m_bar.SendMessage(TB_ISBUTTONENABLED, c.nID, 0) != 0) << c.nID;
        EXPECT_EQ(c.checked, m_bar.SendMessage(TB_ISBUTTONCHECKED, c.nID, 0) != 0) << c.nID;
    }
    // Not asked to disable, a button without handlers keeps its state.
    m_bar.SendMessage(TB_ENABLEBUTTON, kNoHandler, TRUE);
    m_bar.OnUpdateCmdUI(m_owner, FALSE);
    EXPECT_NE(0, m_bar.SendMessage(TB_ISBUTTONENABLED, kNoHandler, 0));
}

TEST_F(ToolBarTest, AClickSendsTheButtonsCommandAndADisabledButtonSendsNothing)
{
    m_bar.SetWindowPos(nullptr, 0, 0, 300, 60, SWP_NOZORDER | SWP_NOACTIVATE);
    m_owner->SetForegroundWindow();
    m_bar.OnUpdateCmdUI(m_owner, TRUE);
    m_bar.UpdateWindow();
    const CRect rcDisabled = ItemRect(1);
    lqtest::ClickAt(lqtest::ClientToScreenPoint(m_bar.m_hWnd, rcDisabled.CenterPoint().x, rcDisabled.CenterPoint().y));
    const CRect rc = ItemRect(4);
    lqtest::ClickAt(lqtest::ClientToScreenPoint(m_bar.m_hWnd, rc.CenterPoint().x, rc.CenterPoint().y));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !m_owner->m_commands.empty(); }));
    EXPECT_EQ(std::vector<UINT>{kFirst + 3}, m_owner->m_commands);
}

TEST_F(ToolBarTest, ToolTipTextsAreAskedOfTheOwnerByButtonId)
{
    HWND hTips = reinterpret_cast<HWND>(m_bar.SendMessage(TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(nullptr, hTips);
    // What the tip control sends when it shows the tip of a button.
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = hTips;
    info.hdr.idFrom = kChecked;
    info.hdr.code = TTN_NEEDTEXTW;
    m_bar.SendMessage(WM_NOTIFY, kChecked, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::vector<UINT>{kChecked}, m_owner->m_tipRequests);
    ASSERT_NE(nullptr, info.lpszText);
    EXPECT_STREQ(L"Tip 2", info.lpszText);

    // The control's own tool for a button names the button's id.
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    ASSERT_TRUE(::SendMessageW(hTips, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(kFirst, static_cast<UINT>(tool.uId));
}

} // namespace
