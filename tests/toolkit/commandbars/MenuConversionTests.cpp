// Menus turned into controls: groups, states, default items and shortcut texts, submenus as popup controls
// with popup bars, the items the collection skips, and a site that supplies controls and bars of its own.
#include "toolkit/commandbars/XTPControls.h"

#include "framework/StandardIds.h"
#include "framework/frame/FrameWnd.h"
#include "framework/win/Menu.h"
#include "tests/toolkit/commandbars/CommandBarsTestIds.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/commandbars/XTPPopupBar.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CSiteControl : public CXTPControlButton
{
};

// A site that answers the toolkit's requests the way an application's frame does.
class CSiteWnd : public CFrameWnd
{
public:
    std::vector<XTP_COMMANDBARS_CREATECONTROL> m_controlRequests;
    std::vector<UINT> m_barRequests;
    CXTPPopupBar* m_pSuppliedBar = nullptr;
    BOOL m_bSupplyWrongBar = FALSE;
    int m_nWrongBarsReleased = 0;

protected:
    LRESULT OnCreateControl(WPARAM, LPARAM lParam)
    {
        auto* pRecord = reinterpret_cast<XTP_COMMANDBARS_CREATECONTROL*>(lParam);
        m_controlRequests.push_back(*pRecord);
        if (pRecord->nID == ID_TEST_SITE_TYPE) {
            pRecord->controlType = xtpControlSplitButtonPopup;
            pRecord->buttonStyle = xtpButtonCaption;
            pRecord->strCaption = L"Changed by the site";
            return 1;
        }
        if (pRecord->nID == ID_TEST_SITE_CONTROL) {
            pRecord->pControl = new CSiteControl;
            pRecord->nID = ID_TEST_NEXT;
            return 1;
        }
        return 0;
    }
    LRESULT OnCreateCommandBar(WPARAM, LPARAM lParam)
    {
        auto* pRecord = reinterpret_cast<XTP_COMMANDBARS_CREATEBAR*>(lParam);
        EXPECT_TRUE(pRecord->bPopup);
        m_barRequests.push_back(pRecord->nID);
        if (m_bSupplyWrongBar) {
            // A bar that is not a popup bar: the toolkit must not use it, and must release it.
            struct CCountedBar : CXTPCommandBar
            {
                int* pReleased;
                ~CCountedBar() override { ++*pReleased; }
            };
            CCountedBar* pBar = new CCountedBar;
            pBar->pReleased = &m_nWrongBarsReleased;
            pRecord->pCommandBar = pBar;
            return 1;
        }
        if (m_pSuppliedBar != nullptr) {
            pRecord->pCommandBar = m_pSuppliedBar;
            m_pSuppliedBar = nullptr;
            return 1;
        }
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSiteWnd, CFrameWnd)
ON_MESSAGE(WM_XTP_CREATE_CONTROL, OnCreateControl)
ON_MESSAGE(WM_XTP_CREATE_COMMANDBAR, OnCreateCommandBar)
END_MESSAGE_MAP()

class MenuConversionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pSite = new CSiteWnd;
        ASSERT_TRUE(m_pSite->Create(nullptr, L"Menu conversion", WS_OVERLAPPEDWINDOW, CRect(50, 50, 300, 200)));
        m_pCommandBars->SetSite(m_pSite);
        m_bar.SetCommandBars(m_pCommandBars);
        ASSERT_TRUE(m_menu.LoadMenu(IDR_TEST_MENU));
        m_pFile = m_menu.GetSubMenu(0);
        ASSERT_NE(m_pFile, nullptr);
        ::SetMenuDefaultItem(m_pFile->GetSafeHmenu(), ID_TEST_DEFAULT, FALSE);
    }
    void TearDown() override
    {
        m_bar.GetControls()->RemoveAll();
        m_bar.SetCommandBars(nullptr);
        m_pCommandBars->InternalRelease();
        m_pSite->DestroyWindow();
    }
    CXTPControl* At(int i) { return m_bar.GetControls()->GetAt(i); }

    CSiteWnd* m_pSite = nullptr;
    CXTPCommandBars* m_pCommandBars = new CXTPCommandBars;
    CXTPCommandBar m_bar;
    CMenu m_menu;
    CMenu* m_pFile = nullptr;
};

TEST_F(MenuConversionTest, ItemsBecomeControlsWithTheirGroupsStatesAndTexts)
{
    ASSERT_TRUE(m_bar.LoadMenu(m_pFile));
    // The window-list item is skipped; separators become group marks.
    ASSERT_EQ(m_bar.GetControlCount(), 8);
    EXPECT_EQ(At(0)->GetID(), ID_TEST_OPEN);
    EXPECT_EQ(At(0)->GetCaption(), CString(L"&Open..."));
    EXPECT_EQ(At(0)->GetShortcutText(), CString(L"Ctrl+O"));
    EXPECT_EQ(At(0)->GetType(), xtpControlButton);
    EXPECT_EQ(At(1)->GetChecked(), 1);
    EXPECT_FALSE(At(1)->GetBeginGroup());
    EXPECT_TRUE(At(2)->GetBeginGroup());
    EXPECT_FALSE(At(2)->GetEnabled());
    EXPECT_TRUE(At(1)->GetEnabled());
    EXPECT_TRUE(At(3)->IsDefaultItem());
    EXPECT_FALSE(At(2)->IsDefaultItem());

    CXTPControl* pRecent = At(4);
    ASSERT_TRUE(pRecent->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)));
    EXPECT_EQ(pRecent->GetType(), xtpControlPopup);
    EXPECT_EQ(pRecent->GetCaption(), CString(L"Re&cent && Old"));
    CXTPPopupBar* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, pRecent->GetCommandBar());
    ASSERT_NE(pPopupBar, nullptr);
    EXPECT_EQ(pPopupBar->GetTitle(), CString(L"Recent & Old"));
    EXPECT_EQ(pPopupBar->GetCommandBars(), m_pCommandBars);
    EXPECT_EQ(pPopupBar->GetParentCommandBar(), &m_bar);
    ASSERT_EQ(pPopupBar->GetControlCount(), 1);
    EXPECT_EQ(pPopupBar->GetControl(0)->GetID(), ID_TEST_NEXT);

    EXPECT_EQ(At(5)->GetID(), ID_OLE_VERB_FIRST);
    EXPECT_TRUE(At(5)->IsKindOf(RUNTIME_CLASS(CXTPControlButton)));

    // Loading again replaces the controls unless asked to add.
    ASSERT_TRUE(m_bar.LoadMenu(m_pFile));
    EXPECT_EQ(m_bar.GetControlCount(), 8);
    ASSERT_TRUE(m_bar.LoadMenu(m_pFile, FALSE));
    EXPECT_EQ(m_bar.GetControlCount(), 16);
    EXPECT_FALSE(m_bar.LoadMenu(nullptr));
    CMenu destroyed;
    destroyed.CreatePopupMenu();
    CMenu* pGone = CMenu::FromHandle(destroyed.GetSafeHmenu());
    destroyed.DestroyMenu();
    EXPECT_FALSE(m_bar.LoadMenu(pGone));
    // The site frame lays out and updates again at idle time.
    EXPECT_EQ(m_pSite->m_nIdleFlags & (CFrameWnd::idleNotify | CFrameWnd::idleLayout),
              CFrameWnd::idleNotify | CFrameWnd::idleLayout);
}

TEST_F(MenuConversionTest, TheSiteIsAskedForEveryItemAndMaySupplyControls)
{
    ASSERT_TRUE(m_bar.LoadMenu(m_pFile));
    // The submenu's item was asked for too (while its popup bar loaded), the skipped window item was not.
    ASSERT_EQ(m_pSite->m_controlRequests.size(), 9u);
    const XTP_COMMANDBARS_CREATECONTROL& first = m_pSite->m_controlRequests[0];
    EXPECT_EQ(first.nID, ID_TEST_OPEN);
    EXPECT_FALSE(first.bToolBar);
    EXPECT_EQ(first.nIndex, 0);
    EXPECT_EQ(first.pMenu, m_pFile);
    EXPECT_EQ(first.pCommandBar, &m_bar);
    EXPECT_EQ(first.strCaption, CString(L"&Open...\tCtrl+O"));
    EXPECT_EQ(first.controlType, xtpControlButton);

    CXTPControl* pTyped = At(6);
    EXPECT_EQ(pTyped->GetID(), ID_TEST_SITE_TYPE);
    EXPECT_EQ(pTyped->GetType(), xtpControlSplitButtonPopup);
    EXPECT_EQ(pTyped->GetStyle(), xtpButtonCaption);
    EXPECT_EQ(pTyped->GetCaption(), CString(L"Changed by the site"));
    EXPECT_NE(pTyped->GetCommandBar(), nullptr);

    CXTPControl* pSupplied = At(7);
    EXPECT_NE(dynamic_cast<CSiteControl*>(pSupplied), nullptr);
    EXPECT_EQ(pSupplied->GetID(), ID_TEST_NEXT);
    EXPECT_EQ(pSupplied->GetCaption(), CString(L"Site &control"));
}

TEST_F(MenuConversionTest, PopupBarsComeFromTheSiteWhenItHasOne)
{
    CXTPPopupBar* pOwn = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
    m_pSite->m_pSuppliedBar = pOwn;
    ASSERT_TRUE(m_bar.LoadMenu(m_pFile));
    EXPECT_EQ(At(4)->GetCommandBar(), pOwn);
    EXPECT_EQ(pOwn->GetControlCount(), 1);

    // Anything but a popup bar is released and a popup bar of the toolkit's own is used.
    m_pSite->m_bSupplyWrongBar = TRUE;
    ASSERT_TRUE(m_bar.LoadMenu(m_pFile));
    EXPECT_EQ(m_pSite->m_nWrongBarsReleased, 2); // the submenu's and the site-typed split button's
    EXPECT_TRUE(At(4)->GetCommandBar()->IsKindOf(RUNTIME_CLASS(CXTPPopupBar)));
}

// The chevron's popup too: a bar from the site that is not a popup bar is released, never leaked or used.
TEST_F(MenuConversionTest, TheChevronReleasesABarFromTheSiteThatIsNotAPopupBar)
{
    auto* pToolBar = new CXTPToolBar;
    pToolBar->SetCommandBars(m_pCommandBars);
    CXTPControl* pExpand =
        pToolBar->GetControls()->Add(new CXTPControlToolbarExpand, XTP_ID_TOOLBAR_EXPAND, nullptr, -1, TRUE);
    m_pSite->m_bSupplyWrongBar = TRUE;
    pExpand->OnSetPopup(TRUE);
    ASSERT_FALSE(m_pSite->m_barRequests.empty());
    EXPECT_EQ(m_pSite->m_nWrongBarsReleased, static_cast<int>(m_pSite->m_barRequests.size()));
    ASSERT_NE(pExpand->GetCommandBar(), nullptr);
    EXPECT_TRUE(pExpand->GetCommandBar()->IsKindOf(RUNTIME_CLASS(CXTPPopupBar)));
    pExpand->OnSetPopup(FALSE);
    pToolBar->InternalRelease();
}

TEST_F(MenuConversionTest, PopupControlsByTypeLoadTheirMenuResource)
{
    CXTPControl* pPopup = m_bar.GetControls()->AddByType(xtpControlPopup, IDR_TEST_POPUP_MENU);
    ASSERT_NE(pPopup, nullptr);
    EXPECT_EQ(pPopup->GetID(), 0); // a plain popup keeps no command
    EXPECT_EQ(pPopup->GetCaption(), CString(L"&Recent"));
    ASSERT_EQ(m_pSite->m_barRequests.size(), 1u);
    EXPECT_EQ(m_pSite->m_barRequests[0], static_cast<UINT>(IDR_TEST_POPUP_MENU));
    CXTPCommandBar* pBar = pPopup->GetCommandBar();
    ASSERT_NE(pBar, nullptr);
    ASSERT_EQ(pBar->GetControlCount(), 2);
    EXPECT_EQ(pBar->GetControl(1)->GetID(), ID_TEST_OPEN);

    CXTPControl* pSplit = m_bar.GetControls()->AddByType(xtpControlSplitButtonPopup, IDR_TEST_POPUP_MENU);
    EXPECT_EQ(pSplit->GetID(), IDR_TEST_POPUP_MENU);
    CXTPControl* pEmpty = m_bar.GetControls()->AddByType(xtpControlButtonPopup, 21998);
    ASSERT_NE(pEmpty->GetCommandBar(), nullptr);
    EXPECT_EQ(pEmpty->GetCommandBar()->GetControlCount(), 0);
}

} // namespace
