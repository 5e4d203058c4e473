// The status bar: panes from indicator ids, pane information, the control's parts and the layout protocol.
#include "framework/frame/FrameWnd.h"
#include "framework/frame/StatusBar.h"
#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kPaneItems = 63012;
constexpr UINT kPanePlain = 63013;
constexpr UINT kPaneLong = 63014;
constexpr UINT kNoString = 63098;

int TextWidth(HWND hBar, const wchar_t* text)
{
    auto hFont = reinterpret_cast<HFONT>(::SendMessageW(hBar, WM_GETFONT, 0, 0));
    if (hFont == nullptr)
        hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    SIZE size{};
    ::GetTextExtentPoint32W(hDC, text, lstrlenW(text), &size);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
    return size.cx;
}

class StatusBarTest : public ::testing::Test
{
protected:
    void MakeHost(DWORD dwStyle)
    {
        m_frame = new CFrameWnd;
        ASSERT_TRUE(m_frame->Create(nullptr, L"Status host", dwStyle, CRect(50, 50, 650, 350)));
        m_hFrame = m_frame->m_hWnd;
        ASSERT_TRUE(m_status.Create(m_frame));
        m_frame->ShowWindow(SW_SHOWNA);
        m_frame->RecalcLayout();
    }

    void SetUp() override { MakeHost(WS_OVERLAPPEDWINDOW); }

    void TearDown() override
    {
        if (::IsWindow(m_hFrame))
            ::DestroyWindow(m_hFrame);
        lqtest::PumpPending();
    }

    CRect ItemRect(int nIndex) const
    {
        CRect rect;
        m_status.GetItemRect(nIndex, &rect);
        return rect;
    }

    CWinApp m_app{L"StatusBarTests"};
    CStatusBar m_status;
    CFrameWnd* m_frame = nullptr;
    HWND m_hFrame = nullptr;
};

TEST_F(StatusBarTest, IndicatorsGivePanesTheirIdsTextsAndWidths)
{
    const UINT ids[] = {ID_SEPARATOR, kPaneItems, kPanePlain, kPaneLong};
    ASSERT_TRUE(m_status.SetIndicators(ids, 4));
    ASSERT_EQ(4, m_status.GetCount());

    struct Case
    {
        UINT nID;
        int index;
        const wchar_t* text;
        UINT style;
    };
    const Case cases[] = {
        {ID_SEPARATOR, 0, L"", SBPS_NOBORDERS | SBPS_STRETCH},
        {kPaneItems, 1, L"0000 items", SBPS_NORMAL},
        {kPanePlain, 2, L"PLAIN", SBPS_NORMAL},
        {kPaneLong, 3, L"A much longer indicator text", SBPS_NORMAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nID);
        EXPECT_EQ(c.index, m_status.CommandToIndex(c.nID));
        EXPECT_EQ(c.nID, m_status.GetItemID(c.index));
        EXPECT_EQ(CString(c.text), m_status.GetPaneText(c.index));
        UINT nID = 1;
        UINT nStyle = 1;
        int cxWidth = -1;
        m_status.GetPaneInfo(c.index, nID, nStyle, cxWidth);
        EXPECT_EQ(c.nID, nID);
        EXPECT_EQ(c.style, nStyle);
        EXPECT_EQ(c.index == 0 ? 0 : TextWidth(m_status.m_hWnd, c.text), cxWidth);
    }
    EXPECT_EQ(-1, m_status.CommandToIndex(kNoString));

    // An id without a string still makes its pane, empty.
    const UINT withMissing[] = {kPanePlain, kNoString};
    EXPECT_FALSE(m_status.SetIndicators(withMissing, 2));
    EXPECT_EQ(2, m_status.GetCount());
    EXPECT_EQ(1, m_status.CommandToIndex(kNoString));
    EXPECT_EQ(CString(L""), m_status.GetPaneText(1));
}

TEST_F(StatusBarTest, PaneInformationRoundTripsAndBadIndexesChangeNothing)
{
    const UINT ids[] = {ID_SEPARATOR, kPaneItems, kPanePlain};
    ASSERT_TRUE(m_status.SetIndicators(ids, 3));
    m_status.SetPaneInfo(1, 59142, SBPS_NOBORDERS, 150);
    EXPECT_TRUE(m_status.SetPaneText(1, L"busy"));

    UINT nID = 0;
    UINT nStyle = 0;
    int cxWidth = 0;
    m_status.GetPaneInfo(1, nID, nStyle, cxWidth);
    EXPECT_EQ(59142u, nID);
    EXPECT_EQ(static_cast<UINT>(SBPS_NOBORDERS), nStyle);
    EXPECT_EQ(150, cxWidth);
    EXPECT_EQ(1, m_status.CommandToIndex(59142));
    EXPECT_EQ(-1, m_status.CommandToIndex(kPaneItems));

    for (int bad : {-1, 3, 100}) {
        m_status.SetPaneInfo(bad, 7, SBPS_POPOUT, 99);
        EXPECT_FALSE(m_status.SetPaneText(bad, L"x"));
        EXPECT_EQ(CString(L""), m_status.GetPaneText(bad));
        EXPECT_EQ(0u, m_status.GetItemID(bad));
        EXPECT_TRUE(ItemRect(bad).IsRectEmpty());
    }
    EXPECT_EQ(3, m_status.GetCount());
    EXPECT_EQ(CString(L"busy"), m_status.GetPaneText(1));
    EXPECT_EQ(CString(L"PLAIN"), m_status.GetPaneText(2));
}

TEST_F(StatusBarTest, TheStretchingPaneTakesWhatTheOthersLeave)
{
    const UINT ids[] = {ID_SEPARATOR, kPaneItems, kPanePlain};
    ASSERT_TRUE(m_status.SetIndicators(ids, 3));
    m_status.SetPaneInfo(1, kPaneItems, SBPS_NORMAL, 120);
    m_status.SetPaneInfo(2, kPanePlain, SBPS_NORMAL, 150);

    CRect client;
    m_status.GetClientRect(&client);
    const int grip = ::GetSystemMetrics(SM_CXVSCROLL);
    const int padding = 3 * ::GetSystemMetrics(SM_CXEDGE);
    EXPECT_NEAR(client.right - grip, ItemRect(2).right, padding) << "the last pane ends at the size grip";
    EXPECT_NEAR(120, ItemRect(1).Width(), padding);
    EXPECT_NEAR(150, ItemRect(2).Width(), padding);

    // Widening a fixed pane takes the room from the stretching one; widening the bar gives it more.
    const int stretchBefore = ItemRect(0).Width();
    m_status.SetPaneInfo(1, kPaneItems, SBPS_NORMAL, 220);
    EXPECT_EQ(stretchBefore - 100, ItemRect(0).Width());
    m_frame->SetWindowPos(nullptr, 0, 0, 800, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(stretchBefore + 100, ItemRect(0).Width());
    m_status.GetClientRect(&client);
    EXPECT_NEAR(client.right - grip, ItemRect(2).right, padding);
}

TEST_F(StatusBarTest, SizeGripOnlyWhenTheParentCanBeResized)
{
    EXPECT_NE(0u, m_status.GetStyle() & SBARS_SIZEGRIP);
    ::DestroyWindow(m_hFrame);
    CStatusBar fixed;
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(
        frame->Create(nullptr, L"Fixed host", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CRect(50, 50, 450, 250)));
    m_hFrame = frame->m_hWnd;
    ASSERT_TRUE(fixed.Create(frame));
    EXPECT_EQ(0u, fixed.GetStyle() & SBARS_SIZEGRIP);
    ::DestroyWindow(m_hFrame);
}

TEST_F(StatusBarTest, SizeParentMeasuresWithoutMovingAndPlacesWhenAsked)
{
    const UINT ids[] = {ID_SEPARATOR, kPanePlain};
    ASSERT_TRUE(m_status.SetIndicators(ids, 2));
    const int height = m_status.CalcFixedLayout(TRUE, TRUE).cy;
    ::SetWindowPos(m_status.m_hWnd, nullptr, 3, 4, 50, 20, SWP_NOZORDER | SWP_NOACTIVATE);

    struct Case
    {
        bool visible;
        bool place;
        LONG bottomLeft;
        CRect window;
    };
    const Case cases[] = {
        {true, false, 300 - height, CRect(3, 4, 53, 24)},
        {true, true, 300 - height, CRect(0, 300 - height, 400, 300)},
        {false, true, 300, CRect(0, 300 - height, 400, 300)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.visible << c.place);
        m_status.ShowWindow(c.visible ? SW_SHOWNA : SW_HIDE);
        AFX_SIZEPARENTPARAMS layout{};
        layout.rect = {0, 0, 400, 300};
        layout.bStretch = TRUE;
        layout.hDWP = c.place ? ::BeginDeferWindowPos(1) : nullptr;
        m_status.SendMessage(WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
        if (layout.hDWP != nullptr)
            ::EndDeferWindowPos(layout.hDWP);
        EXPECT_EQ(c.bottomLeft, layout.rect.bottom);
        EXPECT_EQ(c.visible ? height : 0, layout.sizeTotal.cy);
        EXPECT_EQ(c.window, CRect(frametest::RectInParent(m_status.m_hWnd)));
    }
}

TEST_F(StatusBarTest, DelayedHidingWaitsForTheFramesLayout)
{
    const UINT ids[] = {ID_SEPARATOR};
    ASSERT_TRUE(m_status.SetIndicators(ids, 1));
    CRect client;
    m_frame->GetClientRect(&client);
    m_frame->ShowControlBar(&m_status, FALSE, TRUE);
    EXPECT_TRUE(m_status.IsWindowVisible()) << "hidden only when the frame lays out";
    EXPECT_NE(0, m_frame->m_nIdleFlags & CFrameWnd::idleLayout);

    CRect left;
    m_frame->RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST, CWnd::reposQuery,
                            &left);
    EXPECT_EQ(client, left) << "a measurement already counts the bar as hidden";
    EXPECT_TRUE(m_status.IsWindowVisible());

    m_frame->RecalcLayout();
    EXPECT_FALSE(m_status.IsWindowVisible());
    EXPECT_EQ(m_status.GetSafeHwnd(), m_frame->GetControlBar(AFX_IDW_STATUS_BAR)->GetSafeHwnd());
}

TEST_F(StatusBarTest, WindowTextIsTheSeparatorPane)
{
    const UINT ids[] = {kPanePlain, ID_SEPARATOR, kPaneItems};
    ASSERT_TRUE(m_status.SetIndicators(ids, 3));
    m_status.SetWindowText(L"Updating feeds");
    EXPECT_EQ(CString(L"Updating feeds"), m_status.GetPaneText(1));
    EXPECT_EQ(CString(L"PLAIN"), m_status.GetPaneText(0));
    wchar_t shown[64] = {};
    ::SendMessageW(m_status.m_hWnd, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(L"Updating feeds", shown);
    CString text;
    m_status.GetWindowText(text);
    EXPECT_EQ(CString(L"Updating feeds"), text);
}

} // namespace
