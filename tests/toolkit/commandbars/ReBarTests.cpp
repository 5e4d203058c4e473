// Toolbars placed in the frame's rebar: the band takes the toolbar (off its dock bar) with the bar's id, is found
// again by its window, leaves when the manager removes it, and the rebar takes its height in the frame's layout.
#include "toolkit/commandbars/XTPReBar.h"

#include "tests/toolkit/commandbars/CommandBarsTestIds.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPFrameWnd.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CReBarFrame : public CXTPFrameWnd
{
protected:
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CXTPFrameWnd::OnCreate(lpcs) == -1 || !InitCommandBars())
            return -1;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReBarFrame, CXTPFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

class ReBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new CReBarFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, L"ReBar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 740, 440),
                                     nullptr, MAKEINTRESOURCEW(IDR_TEST_BARS_MENU)));
        m_app.m_pMainWnd = m_pFrame;
        m_pCommandBars = m_pFrame->GetCommandBars();
        m_pStandard = m_pCommandBars->Add(L"Standard", xtpBarTop);
        ASSERT_NE(m_pStandard, nullptr);
        ASSERT_TRUE(m_pStandard->LoadToolBar(IDR_TEST_TOOLBAR1));
        m_pStandard->SetBarID(IDR_TEST_TOOLBAR1);
        m_pFormat = m_pCommandBars->Add(L"Format", xtpBarTop);
        ASSERT_NE(m_pFormat, nullptr);
        ASSERT_TRUE(m_pFormat->LoadToolBar(IDR_TEST_TOOLBAR2));
        m_pFormat->SetBarID(IDR_TEST_TOOLBAR2);
        m_pCommandBars->RecalcFrameLayout();
        lqtest::PumpPending();
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        if (::IsWindow(m_pFrame->GetSafeHwnd()))
            m_pFrame->DestroyWindow();
        lqtest::PumpPending();
    }

    CWinApp m_app{L"ReBarTests"};
    CReBarFrame* m_pFrame = nullptr;
    CXTPCommandBars* m_pCommandBars = nullptr;
    CXTPToolBar* m_pStandard = nullptr;
    CXTPToolBar* m_pFormat = nullptr;
};

TEST_F(ReBarTest, WithoutARebarNothingIsAdded)
{
    EXPECT_FALSE(m_pCommandBars->AddToReBar(m_pFormat));
    EXPECT_EQ(m_pFormat->GetDockBar(), m_pCommandBars->GetDockBar(xtpBarTop));
    m_pCommandBars->RemoveFromReBar(m_pFormat); // nothing to remove
    EXPECT_EQ(m_pFormat->GetDockBar(), m_pCommandBars->GetDockBar(xtpBarTop));
}

TEST_F(ReBarTest, AToolbarBecomesABandAndLeavesItsDockBar)
{
    auto* pReBar = new CXTPReBar;
    ASSERT_TRUE(pReBar->Create(m_pFrame));
    pReBar->m_bAutoDelete = TRUE;
    EXPECT_EQ(pReBar->GetDlgCtrlID(), AFX_IDW_REBAR);

    ASSERT_TRUE(m_pCommandBars->AddToReBar(m_pFormat));
    ASSERT_TRUE(m_pCommandBars->AddToReBar(m_pStandard));
    EXPECT_EQ(pReBar->GetBandCount(), 2);
    EXPECT_EQ(pReBar->FindBand(m_pFormat), 0);
    EXPECT_EQ(pReBar->FindBand(m_pStandard), 1);
    EXPECT_EQ(m_pFormat->GetDockBar(), nullptr);
    EXPECT_EQ(m_pFormat->GetEnableDocking(), 0u);
    EXPECT_EQ(::GetParent(m_pFormat->m_hWnd), pReBar->m_hWnd);
    REBARBANDINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = RBBIM_ID;
    ASSERT_TRUE(::SendMessageW(pReBar->m_hWnd, RB_GETBANDINFOW, 1, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(info.wID, UINT{IDR_TEST_TOOLBAR1});

    // The rebar takes the top of the frame's client area, as tall as its bands.
    m_pFrame->RecalcLayout();
    CRect rcReBar, rcClient;
    pReBar->GetWindowRect(&rcReBar);
    m_pFrame->ScreenToClient(&rcReBar);
    m_pFrame->GetClientRect(&rcClient);
    EXPECT_EQ(rcReBar.Width(), rcClient.Width());
    CRect rcFormat;
    m_pFormat->GetWindowRect(&rcFormat);
    EXPECT_GE(rcReBar.Height(), rcFormat.Height());

    m_pCommandBars->RemoveFromReBar(m_pFormat);
    EXPECT_EQ(pReBar->GetBandCount(), 1);
    EXPECT_EQ(pReBar->FindBand(m_pFormat), -1);
    EXPECT_EQ(pReBar->FindBand(m_pStandard), 0);
}

TEST_F(ReBarTest, ABandKeepsItsPlaceWhenTheLayoutIsLoaded)
{
    const std::wstring strKey = L"Software\\LanternquillReBarTests";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, strKey.c_str());
    m_app.SetRegistryKey(L"LanternquillReBarTests");
    auto* pReBar = new CXTPReBar;
    ASSERT_TRUE(pReBar->Create(m_pFrame));
    pReBar->m_bAutoDelete = TRUE;
    ASSERT_TRUE(m_pCommandBars->AddToReBar(m_pFormat));
    m_pCommandBars->SaveBarState(L"CommandBars");
    m_pCommandBars->LoadBarState(L"CommandBars", TRUE);
    EXPECT_EQ(pReBar->FindBand(m_pFormat), 0);
    EXPECT_EQ(m_pFormat->GetDockBar(), nullptr);
    EXPECT_EQ(::GetParent(m_pFormat->m_hWnd), pReBar->m_hWnd);
    // The docked toolbar is still where it was.
    EXPECT_EQ(m_pStandard->GetDockBar(), m_pCommandBars->GetDockBar(xtpBarTop));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, strKey.c_str());
}

} // namespace
