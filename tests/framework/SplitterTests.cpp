// Static splitters: panes and their ids, the row and column layout, hit testing, and dragging a bar with the mouse.
#include "framework/frame/FrameWnd.h"
#include "framework/frame/SplitterWnd.h"
#include "framework/frame/View.h"
#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/framework/SplitterTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class CPaneView : public CView
{
    DECLARE_DYNCREATE(CPaneView)

public:
    void OnDraw(CDC*) override {}
};

IMPLEMENT_DYNCREATE(CPaneView, CView)

// Records what the splitter draws through its overridables.
class CRecordingSplitter : public CSplitterWnd
{
public:
    std::vector<std::pair<ESplitType, CRect>> m_drawn;
    int m_inverted = 0;

    void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) override
    {
        if (pDC != nullptr)
            m_drawn.emplace_back(nType, rect);
        CSplitterWnd::OnDrawSplitter(pDC, nType, rect);
    }
    void OnInvertTracker(const CRect& rect) override
    {
        ++m_inverted;
        CSplitterWnd::OnInvertTracker(rect);
    }
};

// The first column 300 wide, the others 100; the first row 100 high, the others 50.
CSize PaneSize(int row, int col)
{
    return CSize(col == 0 ? 300 : 100, row == 0 ? 100 : 50);
}

class SplitterTest : public splittertest::SplitterFixture<CRecordingSplitter>
{
protected:
    SplitterTest() : SplitterFixture(RUNTIME_CLASS(CPaneView), PaneSize) {}

    int PaneWidth(int row, int col)
    {
        CRect rect;
        ::GetWindowRect(Splitter().GetPane(row, col)->m_hWnd, &rect);
        return rect.Width();
    }
    int InsideWidth()
    {
        CRect inside;
        Splitter().GetInsideRect(inside);
        return inside.Width();
    }

    // Presses on the first column bar, moves by dx in steps and releases; waits for each step to arrive.
    void DragColumnBar(int dx, bool cancel = false)
    {
        CSplitterWnd& splitter = Splitter();
        int cxCur = 0;
        int cxMin = 0;
        splitter.GetColumnInfo(0, cxCur, cxMin);
        CRect inside;
        splitter.GetInsideRect(inside);
        const int barX = inside.left + cxCur + 3;
        const int y = inside.top + inside.Height() / 2;
        ASSERT_EQ(static_cast<int>(CSplitterWnd::hSplitterBar1), splitter.HitTest(CPoint(barX, y)));

        frametest::SendMouse(frametest::ClientToScreenPoint(splitter.m_hWnd, barX, y), 0);
        frametest::SendMouse(frametest::ClientToScreenPoint(splitter.m_hWnd, barX, y), MOUSEEVENTF_LEFTDOWN);
        ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return ::GetCapture() == splitter.m_hWnd; }));
        for (int step = 1; step <= 4; ++step) {
            const POINT pt = frametest::ClientToScreenPoint(splitter.m_hWnd, barX + dx * step / 4, y);
            frametest::SendMouse(pt, 0);
            ASSERT_TRUE(frametest::PumpTranslatedUntil([&] {
                POINT now;
                ::GetCursorPos(&now);
                return now.x == pt.x;
            }));
            lqtest::PumpPending();
        }
        if (cancel) {
            frametest::SendKey(VK_ESCAPE, false);
            frametest::SendKey(VK_ESCAPE, true);
            ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return ::GetCapture() != splitter.m_hWnd; }));
        }
        frametest::SendMouse(frametest::ClientToScreenPoint(splitter.m_hWnd, barX + dx, y), MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return ::GetCapture() != splitter.m_hWnd; }));
        lqtest::PumpPending();
    }
};

TEST_F(SplitterTest, StaticPanesHaveTheirIdsAndSizes)
{
    Make(1, 2);
    CSplitterWnd& splitter = Splitter();
    EXPECT_EQ(AFX_IDW_PANE_FIRST, ::GetDlgCtrlID(splitter.m_hWnd));
    EXPECT_EQ(1, splitter.GetRowCount());
    EXPECT_EQ(2, splitter.GetColumnCount());
    struct Case
    {
        int row;
        int col;
        int id;
    };
    for (const Case c : {Case{0, 0, 0xE900}, Case{0, 1, 0xE901}, Case{1, 0, 0xE910}, Case{2, 3, 0xE923}}) {
        EXPECT_EQ(c.id, splitter.IdFromRowCol(c.row, c.col));
    }
    for (int col = 0; col < 2; ++col) {
        CWnd* pPane = splitter.GetPane(0, col);
        ASSERT_NE(nullptr, pPane);
        EXPECT_TRUE(pPane->IsKindOf(RUNTIME_CLASS(CPaneView)));
        int row = -1;
        int paneCol = -1;
        EXPECT_TRUE(splitter.IsChildPane(pPane, &row, &paneCol));
        EXPECT_EQ(0, row);
        EXPECT_EQ(col, paneCol);
    }
    EXPECT_EQ(nullptr, splitter.GetPane(1, 0));
    EXPECT_FALSE(splitter.CreateView(0, 0, RUNTIME_CLASS(CPaneView), CSize(10, 10), nullptr)) << "the pane exists";
    EXPECT_FALSE(splitter.CreateView(0, 2, RUNTIME_CLASS(CPaneView), CSize(10, 10), nullptr)) << "no such column";

    int cxCur = 0;
    int cxMin = -1;
    splitter.GetColumnInfo(0, cxCur, cxMin);
    EXPECT_EQ(300, cxCur);
    EXPECT_EQ(0, cxMin);
    EXPECT_EQ(300, PaneWidth(0, 0));
    EXPECT_EQ(InsideWidth() - 300 - 7, PaneWidth(0, 1)) << "the last column takes the rest after the bar";
    int cyCur = 0;
    int cyMin = 0;
    splitter.GetRowInfo(0, cyCur, cyMin);
    CRect inside;
    splitter.GetInsideRect(inside);
    EXPECT_EQ(inside.Height(), cyCur);
}

TEST_F(SplitterTest, ColumnInformationAppliesAtTheNextLayout)
{
    Make(1, 2);
    CSplitterWnd& splitter = Splitter();
    struct Case
    {
        int ideal;
        int minimum;
        int expected;
    };
    const int inside = InsideWidth();
    const Case cases[] = {
        {200, 0, 200},
        {40, 50, 0},
        {inside + 50, 0, inside},
        {120, 120, 120},
    };
    for (const Case& c : cases) {
        splitter.SetColumnInfo(0, c.ideal, c.minimum);
        splitter.RecalcLayout();
        int cxCur = 0;
        int cxMin = 0;
        splitter.GetColumnInfo(0, cxCur, cxMin);
        EXPECT_EQ(c.expected, cxCur) << c.ideal << "/" << c.minimum;
        EXPECT_EQ(c.minimum, cxMin);
        EXPECT_EQ(c.expected, PaneWidth(0, 0));
        EXPECT_EQ(std::max(0, inside - c.expected - 7), PaneWidth(0, 1));
    }
}

TEST(SplitterLayout, RowsAndColumnsShareTheRoom)
{
    struct Case
    {
        int size;
        CSplitterWnd::CRowColInfo in[3];
        int count;
        int expected[3];
    };
    const Case cases[] = {
        {400, {{0, 100, 0}, {0, 100, 0}, {0, 100, 0}}, 3, {100, 100, 186}},
        {400, {{50, 30, 0}, {0, 100, 0}, {0, 0, 0}}, 3, {0, 100, 286}},
        {150, {{0, 100, 0}, {0, 100, 0}, {0, 100, 0}}, 3, {100, 43, 0}},
        {50, {{0, 100, 0}, {0, 0, 0}, {0, 0, 0}}, 2, {50, 0, 0}},
        {-5, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, 1, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        CSplitterWnd::CRowColInfo info[3] = {c.in[0], c.in[1], c.in[2]};
        CSplitterWnd::LayoutRowCol(info, c.count, c.size, 7);
        for (int i = 0; i < c.count; ++i)
            EXPECT_EQ(c.expected[i], info[i].nCurSize) << "size " << c.size << " item " << i;
    }
}

TEST_F(SplitterTest, HitTestingFindsBarsAndIntersections)
{
    Make(2, 2);
    CSplitterWnd& splitter = Splitter();
    CRect inside;
    splitter.GetInsideRect(inside);
    int cx0 = 0;
    int cy0 = 0;
    int minimum = 0;
    splitter.GetColumnInfo(0, cx0, minimum);
    splitter.GetRowInfo(0, cy0, minimum);
    ASSERT_EQ(300, cx0);
    ASSERT_EQ(100, cy0);
    const int barX = inside.left + cx0;
    const int barY = inside.top + cy0;
    struct Case
    {
        int x;
        int y;
        int expected;
    };
    const Case cases[] = {
        {inside.left + 10, inside.top + 10, CSplitterWnd::noHit},
        {barX, inside.top + 10, CSplitterWnd::hSplitterBar1},
        {barX + 6, inside.bottom - 1, CSplitterWnd::hSplitterBar1},
        {barX + 7, inside.top + 10, CSplitterWnd::noHit},
        {inside.left + 10, barY + 3, CSplitterWnd::vSplitterBar1},
        {barX + 3, barY + 3, CSplitterWnd::splitterIntersection1},
        {inside.right + 1, barY + 3, CSplitterWnd::noHit},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, splitter.HitTest(CPoint(c.x, c.y))) << c.x << "," << c.y;
}

TEST_F(SplitterTest, DraggingTheBarResizesThePanes)
{
    Make(1, 2);
    ASSERT_TRUE(frametest::Activate(m_hFrame));
    const int inside = InsideWidth();
    struct Case
    {
        int dx;
        int expected;
    };
    // The bar follows the mouse exactly, and stops where the right pane has no room left.
    const Case cases[] = {{60, 360}, {-100, 260}, {400, inside - 7}};
    for (const Case& c : cases) {
        DragColumnBar(c.dx);
        int cxCur = 0;
        int cxMin = 0;
        Splitter().GetColumnInfo(0, cxCur, cxMin);
        EXPECT_EQ(c.expected, cxCur) << c.dx;
        EXPECT_EQ(c.expected, PaneWidth(0, 0));
        EXPECT_EQ(inside - c.expected - 7, PaneWidth(0, 1));
    }
}

TEST_F(SplitterTest, EscapeCancelsADrag)
{
    Make(1, 2);
    ASSERT_TRUE(frametest::Activate(m_hFrame));
    DragColumnBar(80, true);
    int cxCur = 0;
    int cxMin = 0;
    Splitter().GetColumnInfo(0, cxCur, cxMin);
    EXPECT_EQ(300, cxCur);
    EXPECT_EQ(300, PaneWidth(0, 0));
}

TEST_F(SplitterTest, TheActivePaneIsTheFramesActiveView)
{
    Make(1, 2);
    ASSERT_TRUE(frametest::Activate(m_hFrame));
    CSplitterWnd& splitter = Splitter();
    CWnd* pSecond = splitter.GetPane(0, 1);
    splitter.SetActivePane(0, 1);
    EXPECT_EQ(pSecond, static_cast<CWnd*>(m_frame->GetActiveView()));
    int row = -1;
    int col = -1;
    EXPECT_EQ(pSecond, splitter.GetActivePane(&row, &col));
    EXPECT_EQ(0, row);
    EXPECT_EQ(1, col);
    EXPECT_EQ(pSecond->m_hWnd, ::GetFocus());

    // A click in the other pane activates it.
    CWnd* pFirst = splitter.GetPane(0, 0);
    const POINT pt = frametest::ClientToScreenPoint(pFirst->m_hWnd, 20, 20);
    frametest::SendMouse(pt, MOUSEEVENTF_LEFTDOWN);
    frametest::SendMouse(pt, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(frametest::PumpTranslatedUntil(
        [&] { return static_cast<CWnd*>(m_frame->GetActiveView()) == pFirst && ::GetFocus() == pFirst->m_hWnd; }));
}

} // namespace

namespace {

TEST_F(SplitterTest, PaintingDrawsBordersAndBarsThroughTheOverridable)
{
    Make(1, 2);
    CRecordingSplitter& splitter = Splitter();
    splitter.m_drawn.clear();
    ::RedrawWindow(splitter.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    CRect client;
    splitter.GetClientRect(&client);
    CRect inside;
    splitter.GetInsideRect(inside);
    const std::vector<std::pair<CSplitterWnd::ESplitType, CRect>> expected = {
        {CSplitterWnd::splitBorder, client},
        {CSplitterWnd::splitBar, CRect(inside.left + 300, inside.top, inside.left + 307, inside.bottom)},
    };
    EXPECT_EQ(expected, splitter.m_drawn);

    // A drag shows the tracker and takes it away again.
    ASSERT_TRUE(frametest::Activate(m_hFrame));
    splitter.m_inverted = 0;
    DragColumnBar(20);
    EXPECT_GE(splitter.m_inverted, 2);
    EXPECT_EQ(0, splitter.m_inverted % 2) << "every tracker drawn is drawn again to remove it";
}

} // namespace
