// The toolkit splitters: hiding, showing and swapping panes, replacing views, the no-size style, live resizing,
// the flat look's bar widths, the flat-bordered kind, and the bars' drawing and cursors.
#include "toolkit/controls/XTSplitterWnd.h"

#include "framework/frame/FrameWnd.h"
#include "framework/frame/View.h"
#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/framework/SplitterTestSupport.h"
#include "tests/support/TestSupport.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"

#include <gtest/gtest.h>

namespace {

class CLeftView : public CView
{
    DECLARE_DYNCREATE(CLeftView)

public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CLeftView, CView)

class COtherView : public CView
{
    DECLARE_DYNCREATE(COtherView)

public:
    COtherView() { ++s_nMade; }
    void OnInitialUpdate() override
    {
        ++s_nInitialUpdates;
        CView::OnInitialUpdate();
    }
    void OnDraw(CDC*) override {}
    static int s_nMade;
    static int s_nInitialUpdates;
};
IMPLEMENT_DYNCREATE(COtherView, CView)
int COtherView::s_nMade = 0;
int COtherView::s_nInitialUpdates = 0;

// Every pane asks for 150 by 100.
CSize PaneSize(int, int)
{
    return CSize(150, 100);
}

template <class TSplitter> class SplitterFixture : public splittertest::SplitterFixture<TSplitter>
{
protected:
    using Base = splittertest::SplitterFixture<TSplitter>;
    using Base::Splitter;

    SplitterFixture() : Base(RUNTIME_CLASS(CLeftView), PaneSize) {}

    HWND Pane(int row, int col) { return Splitter().GetPane(row, col)->GetSafeHwnd(); }
    CRect PaneRect(HWND hPane)
    {
        CRect rect;
        ::GetWindowRect(hPane, &rect);
        ::MapWindowPoints(nullptr, Splitter().m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    int PaneWidth(int row, int col) { return PaneRect(Pane(row, col)).Width(); }

    // Presses on the first column bar and moves by dx; released unless asked not to.
    void DragFirstBar(int dx, bool bRelease = true)
    {
        TSplitter& splitter = Splitter();
        const CRect left = PaneRect(Pane(0, 0));
        const int barX = left.right + 2;
        const int y = left.top + left.Height() / 2;
        frametest::SendMouse(frametest::ClientToScreenPoint(splitter.m_hWnd, barX, y), 0);
        frametest::SendMouse(frametest::ClientToScreenPoint(splitter.m_hWnd, barX, y), MOUSEEVENTF_LEFTDOWN);
        frametest::PumpTranslatedUntil([&] { return ::GetCapture() == splitter.m_hWnd; }, 1000);
        const POINT pt = frametest::ClientToScreenPoint(splitter.m_hWnd, barX + dx, y);
        frametest::SendMouse(pt, 0);
        ASSERT_TRUE(frametest::PumpTranslatedUntil([&] {
            POINT now;
            ::GetCursorPos(&now);
            return now.x == pt.x;
        }));
        lqtest::PumpPending();
        if (!bRelease)
            return;
        frametest::SendMouse(pt, MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return !(::GetAsyncKeyState(VK_LBUTTON) & 0x8000); }));
        ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return ::GetCapture() != splitter.m_hWnd; }));
        lqtest::PumpPending();
    }
};

using XTSplitterTest = SplitterFixture<CXTSplitterWnd>;
using XTSplitterExTest = SplitterFixture<CXTSplitterWndEx>;

TEST_F(XTSplitterTest, AHiddenColumnGivesItsPlaceToTheOthersAndComesBack)
{
    Make(1, 3);
    CXTSplitterWnd& splitter = Splitter();
    const HWND panes[3] = {Pane(0, 0), Pane(0, 1), Pane(0, 2)};
    const int cxMiddle = PaneWidth(0, 1);

    splitter.HideColumn(1);
    EXPECT_EQ(2, splitter.GetColumnCount());
    EXPECT_EQ(1, splitter.GetHiddenColIndex());
    EXPECT_FALSE(::IsWindowVisible(panes[1]));
    EXPECT_EQ(splitter.IdFromRowCol(0, 3), ::GetDlgCtrlID(panes[1]));
    EXPECT_EQ(panes[0], Pane(0, 0));
    EXPECT_EQ(panes[2], Pane(0, 1));
    EXPECT_EQ(PaneRect(panes[0]).right + 6, PaneRect(panes[2]).left) << "the right pane moved next to the left one";

    splitter.HideColumn(1);
    EXPECT_EQ(2, splitter.GetColumnCount()) << "hiding the same column again does nothing";

    splitter.ShowColumn();
    EXPECT_EQ(3, splitter.GetColumnCount());
    EXPECT_EQ(-1, splitter.GetHiddenColIndex());
    for (int col = 0; col < 3; ++col)
        EXPECT_EQ(panes[col], Pane(0, col)) << col;
    EXPECT_TRUE(::IsWindowVisible(panes[1]));
    EXPECT_EQ(cxMiddle, PaneWidth(0, 1)) << "the column keeps its width";
    splitter.ShowColumn();
    EXPECT_EQ(3, splitter.GetColumnCount()) << "nothing was hidden";

    // Hiding a second column first shows the one hidden before.
    splitter.HideColumn(0);
    splitter.HideColumn(2);
    EXPECT_EQ(2, splitter.GetColumnCount());
    EXPECT_EQ(2, splitter.GetHiddenColIndex());
    EXPECT_TRUE(::IsWindowVisible(panes[0]));
    EXPECT_EQ(panes[0], Pane(0, 0));
    EXPECT_EQ(panes[1], Pane(0, 1));
    EXPECT_FALSE(::IsWindowVisible(panes[2]));
}

TEST_F(XTSplitterTest, TheActivePaneMovesOnWhenItsColumnIsHidden)
{
    Make(1, 3);
    CXTSplitterWnd& splitter = Splitter();
    const HWND hRight = Pane(0, 2);
    splitter.SetActivePane(0, 2);
    ASSERT_EQ(hRight, m_frame->GetActiveView()->GetSafeHwnd());
    splitter.HideColumn(2);
    EXPECT_EQ(Pane(0, 0), m_frame->GetActiveView()->GetSafeHwnd()) << "wrapping to the first column";
}

TEST_F(XTSplitterTest, RowsHideAndShowTheSameWay)
{
    Make(3, 1);
    CXTSplitterWnd& splitter = Splitter();
    const HWND panes[3] = {Pane(0, 0), Pane(1, 0), Pane(2, 0)};
    splitter.HideRow(0);
    EXPECT_EQ(2, splitter.GetRowCount());
    EXPECT_EQ(panes[1], Pane(0, 0));
    EXPECT_EQ(panes[2], Pane(1, 0));
    EXPECT_EQ(splitter.IdFromRowCol(3, 0), ::GetDlgCtrlID(panes[0]));
    EXPECT_EQ(2, PaneRect(panes[1]).top) << "at the top, inside the border";
    splitter.ShowRow();
    EXPECT_EQ(3, splitter.GetRowCount());
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(panes[row], Pane(row, 0)) << row;
    EXPECT_EQ(100, PaneRect(panes[0]).Height());
}

TEST_F(XTSplitterTest, SwitchingTwoPanesExchangesTheirPlaces)
{
    Make(1, 2);
    CXTSplitterWnd& splitter = Splitter();
    const HWND hLeft = Pane(0, 0);
    const HWND hRight = Pane(0, 1);
    const int cxLeft = PaneWidth(0, 0);
    EXPECT_FALSE(splitter.SwitchView(0, 0, CWnd::FromHandle(hLeft)));
    ASSERT_TRUE(splitter.SwitchView(0, 0, CWnd::FromHandle(hRight)));
    EXPECT_EQ(hRight, Pane(0, 0));
    EXPECT_EQ(hLeft, Pane(0, 1));
    EXPECT_EQ(2, PaneRect(hRight).left) << "at the left, inside the border";
    EXPECT_EQ(cxLeft, PaneRect(hRight).Width());
    EXPECT_TRUE(::IsWindowVisible(hLeft));
    EXPECT_TRUE(::IsWindowVisible(hRight));
}

TEST_F(XTSplitterTest, ReplacingAViewByClassKeepsTheOldOneHidden)
{
    Make(1, 2);
    CXTSplitterWnd& splitter = Splitter();
    const HWND hOld = Pane(0, 1);
    const CRect rcOld = PaneRect(hOld);
    const int nMadeBefore = COtherView::s_nMade;

    CWnd* pOld = splitter.ReplaceView(0, 1, RUNTIME_CLASS(COtherView));
    ASSERT_NE(nullptr, pOld);
    EXPECT_EQ(hOld, pOld->m_hWnd);
    EXPECT_FALSE(pOld->IsWindowVisible());
    EXPECT_EQ(0, pOld->GetDlgCtrlID());
    CWnd* pNew = splitter.GetPane(0, 1);
    ASSERT_NE(nullptr, pNew);
    EXPECT_TRUE(pNew->IsKindOf(RUNTIME_CLASS(COtherView)));
    EXPECT_EQ(rcOld, PaneRect(pNew->m_hWnd));
    EXPECT_EQ(1, COtherView::s_nInitialUpdates);

    // The same class again makes nothing.
    EXPECT_EQ(nullptr, splitter.ReplaceView(0, 1, RUNTIME_CLASS(COtherView)));
    EXPECT_EQ(nMadeBefore + 1, COtherView::s_nMade);

    // A window puts the old view back.
    CWnd* pReplaced = splitter.ReplaceView(0, 1, pOld);
    EXPECT_EQ(pNew, pReplaced);
    EXPECT_EQ(hOld, Pane(0, 1));
    EXPECT_TRUE(::IsWindowVisible(hOld));
    EXPECT_EQ(nullptr, splitter.ReplaceView(0, 1, pOld));
    pReplaced->DestroyWindow();
}

TEST_F(XTSplitterTest, BarsFollowTheMouseUnlessTheNoSizeStyleIsSet)
{
    Make(1, 2);
    CXTSplitterWnd& splitter = Splitter();
    splitter.ModifyStyle(0, WS_CLIPCHILDREN);
    const int cxStart = PaneWidth(0, 0);
    DragFirstBar(40);
    EXPECT_EQ(cxStart + 40, PaneWidth(0, 0));
    EXPECT_NE(0u, splitter.GetStyle() & WS_CLIPCHILDREN) << "the clip styles come back after the drag";

    splitter.SetSplitterStyle(splitter.GetSplitterStyle() | XT_SPLIT_NOSIZE);
    DragFirstBar(40);
    EXPECT_EQ(cxStart + 40, PaneWidth(0, 0));
}

TEST_F(XTSplitterTest, WithFullDragThePanesFollowTheBarLive)
{
    Make(1, 2);
    CXTSplitterWnd& splitter = Splitter();
    EXPECT_FALSE(splitter.IsFullDrag()) << "the default style asks for no live resizing";
    splitter.SetFullDrag(TRUE);
    const int cxStart = PaneWidth(0, 0);
    DragFirstBar(50, false);
    EXPECT_EQ(cxStart + 50, PaneWidth(0, 0)) << "before the button comes up";
    EXPECT_EQ(splitter.m_hWnd, ::GetCapture()) << "still dragging";
    const CRect left = PaneRect(Pane(0, 0));
    frametest::SendMouse(frametest::ClientToScreenPoint(splitter.m_hWnd, left.right + 2, 50), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return ::GetCapture() != splitter.m_hWnd; }));
    EXPECT_EQ(cxStart + 50, PaneWidth(0, 0));
}

TEST_F(XTSplitterTest, TheFlatLookHasThinnerBars)
{
    Make(1, 2);
    CXTSplitterWnd& splitter = Splitter();
    EXPECT_EQ(6, PaneRect(Pane(0, 1)).left - PaneRect(Pane(0, 0)).right);
    splitter.EnableFlatLook(FALSE);
    EXPECT_EQ(7, PaneRect(Pane(0, 1)).left - PaneRect(Pane(0, 0)).right);
    splitter.EnableFlatLook(TRUE);
    EXPECT_EQ(6, PaneRect(Pane(0, 1)).left - PaneRect(Pane(0, 0)).right);

    splitter.SetSplitCursor(CSplitterWnd::vSplitterBar1);
    EXPECT_EQ(GetToolkitGlobals()->m_hcurSplitRows, ::GetCursor());
    splitter.SetSplitCursor(CSplitterWnd::hSplitterBar1 + 1);
    EXPECT_EQ(GetToolkitGlobals()->m_hcurSplitCols, ::GetCursor());
}

TEST_F(XTSplitterExTest, TheFlatBorderedKindHasABandAboveItsPanes)
{
    Make(1, 2);
    CXTSplitterWndEx& splitter = Splitter();
    const CRect left = PaneRect(Pane(0, 0));
    EXPECT_EQ(CPoint(0, 6), left.TopLeft()) << "no border, a band of 6 above";
    EXPECT_EQ(4, PaneRect(Pane(0, 1)).left - left.right);
    CRect client;
    splitter.GetClientRect(&client);
    EXPECT_EQ(client.bottom, left.bottom);
    splitter.SetBorderStyle(FALSE, 10);
    splitter.RecalcLayout();
    EXPECT_EQ(10, PaneRect(Pane(0, 0)).top);
}

// ---- Drawing

class XTSplitterDrawTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        XTPColorManager()->SetLunaColorScheme(xtpSystemThemeAuto);
        XTPColorManager()->RefreshColors();
    }

    template <class TSplitter> std::pair<COLORREF, COLORREF> Border(TSplitter& splitter)
    {
        lqtest::MemoryCanvas canvas(20, 20, RGB(1, 2, 3));
        splitter.OnDrawSplitter(&canvas.Dc(), CSplitterWnd::splitBorder, CRect(0, 0, 20, 20));
        return {canvas.Dc().GetPixel(0, 0), canvas.Dc().GetPixel(1, 1)};
    }
};

TEST_F(XTSplitterDrawTest, BordersBarsAndSchemeColours)
{
    const COLORREF clrFace = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    CXTSplitterWnd splitter;
    EXPECT_EQ(std::make_pair(clrFace, clrShadow), Border(splitter));
    splitter.SetSplitterStyle(XT_SPLIT_NOBORDER);
    EXPECT_EQ(std::make_pair(clrFace, clrFace), Border(splitter));
    splitter.EnableFlatLook(FALSE);
    EXPECT_EQ(std::make_pair(clrShadow, GetToolkitColor(COLOR_WINDOWFRAME)), Border(splitter));

    CXTSplitterWndEx splitterEx;
    EXPECT_EQ(std::make_pair(RGB(1, 2, 3), RGB(1, 2, 3)), Border(splitterEx)) << "no border at all";

    lqtest::MemoryCanvas canvas(10, 10, RGB(1, 2, 3));
    splitter.OnDrawSplitter(&canvas.Dc(), CSplitterWnd::splitBar, CRect(0, 0, 10, 10));
    EXPECT_EQ(clrFace, canvas.Dc().GetPixel(5, 5));

    XTPColorManager()->SetLunaColorScheme(xtpSystemThemeBlue);
    CXTSplitterColors colors;
    EXPECT_EQ(clrFace, colors.m_clrFace) << "the scheme only when asked for";
    colors.m_bUseScheme = TRUE;
    colors.RefreshColors();
    EXPECT_EQ(RGB(216, 231, 252), colors.m_clrFace);
    EXPECT_EQ(RGB(158, 190, 245), colors.m_clrShadow);
    XTPColorManager()->DisableLunaColors(TRUE);
    colors.RefreshColors();
    EXPECT_EQ(clrFace, colors.m_clrFace);
    XTPColorManager()->DisableLunaColors(FALSE);
}

} // namespace
