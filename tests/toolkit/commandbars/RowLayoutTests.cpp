// The row layout of a bar's controls in each mode, with controls of fixed sizes: docked rows and columns,
// wrapping at group starts, hiding what does not fit, floating shapes, popups, centring and right alignment.
#include "toolkit/commandbars/XTPControls.h"

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CSizedControl : public CXTPControlButton
{
public:
    explicit CSizedControl(CSize size) : m_size(size) {}
    CSize GetSize(CDC*) override { return m_size; }
    void OnCalcDynamicSize(DWORD dwMode) override { m_dwLastMode = dwMode; }

    CSize m_size;
    DWORD m_dwLastMode = 0;
};

class RowLayoutTest : public ::testing::Test
{
protected:
    CSizedControl* Add(int cx, int cy, BOOL bBeginGroup = FALSE)
    {
        CSizedControl* pControl = new CSizedControl(CSize(cx, cy));
        m_bar.GetControls()->Add(pControl, 0);
        pControl->SetBeginGroup(bBeginGroup);
        return pControl;
    }
    CSize Layout(int nLength, DWORD dwMode, CRect rcBorder = CRect(0, 0, 0, 0), int nWidth = 0)
    {
        return m_bar.GetControls()->CalcDynamicSize(nullptr, nLength, dwMode | LM_COMMIT, rcBorder, nWidth);
    }
    CXTPControl* At(int i) { return m_bar.GetControls()->GetAt(i); }
    std::vector<int> Wraps()
    {
        std::vector<int> wraps;
        for (int i = 0; i < m_bar.GetControls()->GetCount(); ++i)
            if (At(i)->GetWrap())
                wraps.push_back(i);
        return wraps;
    }

    CXTPCommandBar m_bar;
};

TEST_F(RowLayoutTest, DockedRowsBreakAtTheGroupStart)
{
    Add(20, 22);
    Add(20, 22);
    Add(20, 22, TRUE);
    Add(20, 22);
    const CSize size = Layout(74, LM_HORZDOCK | LM_HORZ, CRect(2, 2, 2, 2));
    EXPECT_EQ(Wraps(), std::vector<int>({2})); // before the group start, not before the fourth control
    EXPECT_EQ(At(0)->GetRect(), CRect(2, 2, 22, 24));
    EXPECT_EQ(At(1)->GetRect(), CRect(22, 2, 42, 24));
    EXPECT_EQ(At(2)->GetRect(), CRect(2, 30, 22, 52)); // 6 pixels between the group's rows
    EXPECT_EQ(At(3)->GetRect(), CRect(22, 30, 42, 52));
    EXPECT_EQ(size, CSize(74, 54)); // a wrapped bar stretches to the length
    EXPECT_EQ(At(0)->GetRowRect(), CRect(2, 2, 72, 24));

    // Room for everything: one row, and the group gap along the row.
    const CSize sizeWide = Layout(200, LM_HORZDOCK | LM_HORZ);
    EXPECT_TRUE(Wraps().empty());
    EXPECT_EQ(At(2)->GetRect(), CRect(46, 0, 66, 22));
    EXPECT_EQ(sizeWide, CSize(86, 22));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(static_cast<CSizedControl*>(At(i))->m_dwLastMode,
                  static_cast<DWORD>(LM_HORZDOCK | LM_HORZ | LM_COMMIT));
}

TEST_F(RowLayoutTest, HideWrapHidesWhatDoesNotFit)
{
    Add(30, 20);
    Add(30, 20);
    Add(30, 20);
    const CSize size = Layout(70, LM_HORZDOCK | LM_HORZ | LM_HIDEWRAP);
    EXPECT_EQ(At(2)->GetHideFlags(), static_cast<DWORD>(xtpHideWrap));
    EXPECT_EQ(At(1)->GetHideFlags(), 0u);
    EXPECT_TRUE(Wraps().empty());
    EXPECT_EQ(size, CSize(70, 20));

    Layout(100, LM_HORZDOCK | LM_HORZ | LM_HIDEWRAP);
    EXPECT_EQ(At(2)->GetHideFlags(), 0u);
    EXPECT_EQ(At(2)->GetRect(), CRect(60, 0, 90, 20));
}

TEST_F(RowLayoutTest, NoVisibleControlsGiveTheEmptySize)
{
    Add(30, 20)->SetHideFlag(xtpHideGeneric, TRUE);
    EXPECT_EQ(Layout(100, LM_HORZDOCK, CRect(1, 2, 3, 4)), CSize(1 + 3 + 23, 2 + 4 + 22));
    EXPECT_EQ(Layout(100, 0, CRect(1, 2, 3, 4), 40), CSize(40, 28));
    EXPECT_EQ(Layout(100, LM_HORZDOCK, CRect(1, 2, 3, 4), 40), CSize(27, 40));
    m_bar.GetControls()->RemoveAll();
    EXPECT_EQ(Layout(100, LM_HORZDOCK), CSize(23, 22));
}

TEST_F(RowLayoutTest, VerticalDocksStackColumnsToTheLeft)
{
    Add(24, 20);
    Add(24, 20);
    Add(24, 20);
    const CSize size = Layout(50, LM_VERTDOCK);
    EXPECT_EQ(Wraps(), std::vector<int>({2}));
    EXPECT_EQ(At(0)->GetRect(), CRect(24, 0, 48, 20));
    EXPECT_EQ(At(1)->GetRect(), CRect(24, 20, 48, 40));
    EXPECT_EQ(At(2)->GetRect(), CRect(0, 0, 24, 20));
    EXPECT_EQ(size, CSize(48, 50));
}

TEST_F(RowLayoutTest, FloatingBarsTakeTheNarrowestShapeOfTheirRows)
{
    for (int i = 0; i < 6; ++i)
        Add(20, 20);
    // A width: as many rows as that width gives.
    CSize size = Layout(70, 0);
    EXPECT_EQ(Wraps(), std::vector<int>({3}));
    EXPECT_EQ(size.cy, 40);
    // A height: the narrowest shape no taller than it.
    size = Layout(40, LM_LENGTHY);
    EXPECT_EQ(Wraps(), std::vector<int>({3}));
    EXPECT_EQ(size, CSize(60, 40));
    size = Layout(20, LM_LENGTHY);
    EXPECT_TRUE(Wraps().empty());
    EXPECT_EQ(size, CSize(120, 20));
    // A tall bar is not widened to its height.
    size = Layout(300, LM_LENGTHY);
    EXPECT_EQ(size.cx, 20);
    EXPECT_EQ(size.cy, 120);
}

TEST_F(RowLayoutTest, PopupsWrapAtTheBarsPreferredWidth)
{
    for (int i = 0; i < 5; ++i)
        Add(20, 20);
    m_bar.SetWidth(45);
    const CSize size = Layout(0, LM_POPUP);
    EXPECT_EQ(Wraps(), std::vector<int>({2, 4}));
    EXPECT_EQ(size.cy, 60);
    m_bar.SetWidth(100);
    EXPECT_EQ(Layout(0, LM_MRUWIDTH | LM_HORZDOCK), CSize(100, 20));
}

TEST_F(RowLayoutTest, ControlsAreCentredAcrossTheirRows)
{
    Add(20, 20);
    Add(20, 10);
    Add(40, 30, TRUE);
    Add(20, 10);
    Layout(60, LM_HORZDOCK);
    EXPECT_EQ(Wraps(), std::vector<int>({2}));
    EXPECT_EQ(At(1)->GetRect(), CRect(20, 5, 40, 15));  // row breadth 20
    EXPECT_EQ(At(3)->GetRect(), CRect(40, 36, 60, 46)); // row breadth 30, from y 26
    // A single row takes the bar's whole breadth.
    Layout(200, LM_HORZDOCK, CRect(0, 0, 0, 0), 40);
    EXPECT_EQ(At(1)->GetRect().top, (40 - 10) / 2);
}

TEST_F(RowLayoutTest, RightAlignedControlsGoToTheFarEnd)
{
    Add(20, 20);
    Add(20, 20)->SetFlags(xtpFlagRightAlign);
    Add(20, 20)->SetFlags(xtpFlagRightAlign);
    Layout(100, LM_HORZDOCK | LM_STRETCH, CRect(2, 0, 2, 0));
    EXPECT_EQ(At(0)->GetRect(), CRect(2, 0, 22, 20));
    EXPECT_EQ(At(1)->GetRect(), CRect(58, 0, 78, 20));
    EXPECT_EQ(At(2)->GetRect(), CRect(78, 0, 98, 20));
    // Only a run of right-aligned controls at the end moves.
    At(2)->SetFlags(0);
    Layout(100, LM_HORZDOCK | LM_STRETCH, CRect(2, 0, 2, 0));
    EXPECT_EQ(At(1)->GetRect(), CRect(22, 0, 42, 20));
}

TEST_F(RowLayoutTest, MeasuringLeavesTheControlsAlone)
{
    CSizedControl* pControl = Add(20, 20);
    pControl->SetRect(CRect(5, 5, 6, 6));
    pControl->SetHideFlag(xtpHideWrap, TRUE);
    const CSize size = m_bar.GetControls()->CalcDynamicSize(nullptr, 10, LM_HORZDOCK | LM_HIDEWRAP, CRect(1, 1, 1, 1));
    EXPECT_EQ(size, CSize(22, 22));
    EXPECT_EQ(pControl->GetRect(), CRect(5, 5, 6, 6));
    EXPECT_EQ(pControl->GetHideFlags(), static_cast<DWORD>(xtpHideWrap));
}

} // namespace
