// The application bar: its rectangles and hit codes for each edge as functions, and the window's conversation with
// the shell (Wine answers the messages but keeps its work area, so what is sent is what is checked).
#include "companions/AppBarWnd.h"
#include "companions/CompanionMessages.h"
#include "tests/companions/CompanionsTestHost.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct SentMessage
{
    DWORD dwMessage;
    APPBARDATA data;
};

std::vector<SentMessage> g_sent;
UINT_PTR g_newAnswer = 1;

UINT_PTR RecordingShell(DWORD dwMessage, APPBARDATA* pData)
{
    g_sent.push_back({dwMessage, *pData});
    return dwMessage == ABM_NEW ? g_newAnswer : 1;
}

const SIZE kScreen = {1024, 768};

TEST(AppBarGeometry, DockRectanglesReserveTheThicknessAtEachEdge)
{
    struct Case
    {
        UINT edge;
        RECT expected;
    } cases[] = {
        {ABE_LEFT, {0, 0, 200, 768}},
        {ABE_TOP, {0, 0, 1024, 40}},
        {ABE_RIGHT, {824, 0, 1024, 768}},
        {ABE_BOTTOM, {0, 728, 1024, 768}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(AppBarGeometry::DockRect(c.edge, 200, 40, kScreen) == c.expected) << "edge " << c.edge;
        // Whatever the shell answers, the bar keeps its thickness on the inner side.
        const RECT shifted = {c.expected.left + 5, c.expected.top + 5, c.expected.right + 5, c.expected.bottom + 5};
        const RECT kept = AppBarGeometry::KeepThickness(c.edge, shifted, 200, 40);
        EXPECT_EQ(c.edge == ABE_TOP || c.edge == ABE_BOTTOM ? 40 : 200,
                  c.edge == ABE_TOP || c.edge == ABE_BOTTOM ? kept.bottom - kept.top : kept.right - kept.left);
    }
    // A proposal spans the screen along the edge and keeps the rectangle's thickness across it.
    const RECT proposal = AppBarGeometry::Proposal(ABE_BOTTOM, {100, 700, 300, 740}, kScreen);
    EXPECT_TRUE(proposal == RECT({0, 700, 1024, 740}));
    const RECT side = AppBarGeometry::Proposal(ABE_LEFT, {0, 100, 50, 300}, kScreen);
    EXPECT_TRUE(side == RECT({0, 0, 50, 768}));
}

TEST(AppBarGeometry, OnlyTheInnerBorderSizes)
{
    const UINT hits[] = {HTLEFT, HTTOP, HTRIGHT, HTBOTTOM, HTCLIENT, HTCAPTION, HTTOPLEFT, HTBOTTOMRIGHT};
    const UINT inner[] = {HTRIGHT, HTBOTTOM, HTLEFT, HTTOP}; // left, top, right, bottom bars
    for (UINT edge = ABE_LEFT; edge <= ABE_BOTTOM; ++edge)
        for (UINT hit : hits)
            EXPECT_EQ(hit == inner[edge] ? hit : static_cast<UINT>(HTCLIENT), AppBarGeometry::HitTest(edge, hit))
                << "edge " << edge << " hit " << hit;
}

TEST(AppBarGeometry, DragEdgeAndSlide)
{
    EXPECT_EQ(static_cast<UINT>(ABE_TOP), AppBarGeometry::DragEdge(383, kScreen));
    EXPECT_EQ(static_cast<UINT>(ABE_BOTTOM), AppBarGeometry::DragEdge(384, kScreen));
    EXPECT_EQ(static_cast<UINT>(ABE_BOTTOM), AppBarGeometry::DragEdge(767, kScreen));
    // A slide travels the centre's way: halfway there at half the time, and exactly there at the end.
    const RECT top = {0, 0, 1024, 40};
    const RECT bottom = {0, 728, 1024, 768};
    const POINT half = AppBarGeometry::SlidePosition(top, bottom, 200, 400);
    EXPECT_EQ(0, half.x);
    EXPECT_EQ(364, half.y);
    const POINT end = AppBarGeometry::SlidePosition(top, bottom, 400, 400);
    EXPECT_EQ(728, end.y);
    const POINT start = AppBarGeometry::SlidePosition(top, bottom, 0, 400);
    EXPECT_EQ(0, start.y);
}

class AppBarWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_sent.clear();
        g_newAnswer = 1;
        m_previous = SetAppBarMessenger(RecordingShell);
    }
    void TearDown() override
    {
        if (m_bar.GetSafeHwnd())
            m_bar.DestroyWindow();
        SetAppBarMessenger(m_previous);
    }
    std::vector<SentMessage> Sent(DWORD dwMessage) const
    {
        std::vector<SentMessage> found;
        for (const SentMessage& sent : g_sent)
            if (sent.dwMessage == dwMessage)
                found.push_back(sent);
        return found;
    }
    RECT WindowRect() const
    {
        RECT rect;
        ::GetWindowRect(m_bar.GetSafeHwnd(), &rect);
        return rect;
    }

    CAppBarWnd m_bar;
    AppBarMessenger m_previous = nullptr;
};

TEST_F(AppBarWindow, RegistersDocksAtTheTopAndRemovesItself)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    ASSERT_TRUE(m_bar.Create(nullptr));
    HWND hWnd = m_bar.GetSafeHwnd();
    // A pop-up without a menu, a tool window with a thin edge.
    EXPECT_EQ(nullptr, ::GetMenu(hWnd));
    EXPECT_TRUE(::GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(::GetWindowLongW(hWnd, GWL_STYLE) & WS_POPUP);
    ASSERT_FALSE(g_sent.empty());
    EXPECT_EQ(static_cast<DWORD>(ABM_NEW), g_sent[0].dwMessage);
    EXPECT_EQ(static_cast<UINT>(WM_APPBAR_NOTIFY), g_sent[0].data.uCallbackMessage);
    for (const SentMessage& sent : g_sent) {
        EXPECT_EQ(sizeof(APPBARDATA), sent.data.cbSize);
        EXPECT_EQ(hWnd, sent.data.hWnd);
    }
    // Docking moves the window, whose move and size notices confirm the same place to the shell.
    const auto setPos = Sent(ABM_SETPOS);
    ASSERT_FALSE(setPos.empty());
    for (const SentMessage& sent : setPos) {
        EXPECT_EQ(static_cast<UINT>(ABE_TOP), sent.data.uEdge);
        EXPECT_TRUE(sent.data.rc == RECT({0, 0, cx, 40}));
    }
    EXPECT_TRUE(WindowRect() == RECT({0, 0, cx, 40}));
    EXPECT_TRUE(m_bar.IsRegistered());

    m_bar.DestroyWindow();
    EXPECT_EQ(1u, Sent(ABM_REMOVE).size());
}

TEST_F(AppBarWindow, DockingAtEachEdgeTellsTheShellAndMovesThere)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(m_bar.Create(nullptr));
    struct Case
    {
        UINT edge;
        RECT expected;
    } cases[] = {
        {ABE_BOTTOM, {0, cy - 40, cx, cy}},
        {ABE_TOP, {0, 0, cx, 40}},
    };
    for (const Case& c : cases) {
        g_sent.clear();
        m_bar.Dock(c.edge);
        const auto query = Sent(ABM_QUERYPOS);
        const auto setPos = Sent(ABM_SETPOS);
        ASSERT_FALSE(query.empty());
        ASSERT_FALSE(setPos.empty());
        EXPECT_EQ(c.edge, query[0].data.uEdge);
        EXPECT_TRUE(query[0].data.rc == c.expected);
        EXPECT_TRUE(setPos[0].data.rc == c.expected) << "edge " << c.edge;
        EXPECT_TRUE(WindowRect() == c.expected) << "edge " << c.edge;
        EXPECT_TRUE(m_bar.GetDockedRect() == c.expected);
    }
}

TEST_F(AppBarWindow, FollowsTheShellsNotices)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(m_bar.Create(nullptr));
    m_bar.Dock(ABE_BOTTOM);
    g_sent.clear();
    ::SendMessageW(m_bar.GetSafeHwnd(), WM_APPBAR_NOTIFY, ABN_POSCHANGED, 0);
    const auto setPos = Sent(ABM_SETPOS);
    ASSERT_EQ(1u, setPos.size());
    EXPECT_TRUE(setPos[0].data.rc == RECT({0, cy - 40, cx, cy}));

    HWND hWnd = m_bar.GetSafeHwnd();
    ::SendMessageW(hWnd, WM_APPBAR_NOTIFY, ABN_FULLSCREENAPP, 1);
    EXPECT_FALSE(::GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ::SendMessageW(hWnd, WM_APPBAR_NOTIFY, ABN_FULLSCREENAPP, 0);
    EXPECT_TRUE(::GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(AppBarWindow, RefusedRegistrationSendsNoRemoval)
{
    g_newAnswer = 0;
    ASSERT_TRUE(m_bar.Create(nullptr));
    EXPECT_FALSE(m_bar.IsRegistered());
    // Still docked: the shell's queries run without a registration.
    EXPECT_EQ(1u, Sent(ABM_SETPOS).size());
    m_bar.DestroyWindow();
    EXPECT_TRUE(Sent(ABM_REMOVE).empty());
}

TEST_F(AppBarWindow, DraggedToTheLowerHalfDocksAtTheBottom)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(m_bar.Create(nullptr));
    HWND hWnd = m_bar.GetSafeHwnd();
    lqtest::PumpPending();
    const POINT grip = {cx / 2, 20};
    ASSERT_TRUE(lqtest::MoveMouse(grip));
    lqtest::SendMouse(grip, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return ::GetCapture() == hWnd; }));
    const POINT low = {cx / 2, cy - 100};
    lqtest::SendMouse(low, 0);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_bar.GetEdge() == static_cast<UINT>(ABE_BOTTOM); }));
    EXPECT_TRUE(WindowRect() == RECT({0, cy - 40, cx, cy}));
    g_sent.clear();
    lqtest::SendMouse(low, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return ::GetCapture() != hWnd; }));
    lqtest::PumpPending();
    const auto setPos = Sent(ABM_SETPOS);
    ASSERT_FALSE(setPos.empty());
    EXPECT_EQ(static_cast<UINT>(ABE_BOTTOM), setPos[0].data.uEdge);
    EXPECT_TRUE(setPos[0].data.rc == RECT({0, cy - 40, cx, cy}));
    EXPECT_TRUE(m_bar.GetDockedRect() == RECT({0, cy - 40, cx, cy}));
}

} // namespace
