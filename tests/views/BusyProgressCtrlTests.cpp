// The busy indicator: its step sequences in each motion and bar kind, the mode rules, the animation thread, and
// the blocks it paints.
#include "views/BusyProgressCtrl.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class BusyProgressTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_parent =
            ::CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP, 0, 0, 400, 40, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_parent, nullptr);
        m_parentWnd.Attach(m_parent);
    }
    void TearDown() override
    {
        if (m_control.GetSafeHwnd())
            m_control.DestroyWindow();
        m_parentWnd.Detach();
        ::DestroyWindow(m_parent);
    }

    void Create(int blocks, int width = 150, int height = 10)
    {
        ASSERT_TRUE(m_control.Create(&m_parentWnd, CRect(0, 0, width, height), 100, WS_CHILD | WS_VISIBLE));
        m_control.SendMessage(BPC_SETBLOCKCOUNT, static_cast<WPARAM>(blocks));
    }

    std::vector<int> Steps(int count)
    {
        std::vector<int> positions;
        for (int i = 0; i < count; ++i) {
            m_control.SendMessage(BPC_STEP);
            positions.push_back(m_control.GetPosition());
        }
        return positions;
    }

    HWND m_parent = nullptr;
    CWnd m_parentWnd;
    CBusyProgressCtrl m_control{10, 0};
};

TEST_F(BusyProgressTest, EachMotionRunsItsSequence)
{
    Create(15);
    // Bouncing between the ends: 1 .. 14, back to 0, and up again.
    std::vector<int> expected;
    for (int p = 1; p <= 14; ++p)
        expected.push_back(p);
    for (int p = 13; p >= 0; --p)
        expected.push_back(p);
    expected.push_back(1);
    EXPECT_EQ(Steps(29), expected);

    // Wrapping forward from the last block to the first.
    m_control.SendMessage(BPC_SETMOTION, CBusyProgressCtrl::motionWrapForward);
    m_control.SendMessage(BPC_RECALCSTEPS);
    EXPECT_EQ(m_control.GetPosition(), 0);
    std::vector<int> forward = Steps(15);
    EXPECT_EQ(forward[13], 14);
    EXPECT_EQ(forward[14], 0);

    // Wrapping backward starts past the end.
    m_control.SendMessage(BPC_SETMOTION, CBusyProgressCtrl::motionWrapBackward);
    m_control.SendMessage(BPC_RECALCSTEPS);
    EXPECT_EQ(m_control.GetPosition(), 15);
    std::vector<int> backward = Steps(16);
    EXPECT_EQ(backward.front(), 14);
    EXPECT_EQ(backward[14], 0);
    EXPECT_EQ(backward[15], 14);

    // A measured bar counts in steps: five to a block.
    m_control.SendMessage(BPC_SETMOTION, CBusyProgressCtrl::motionBounce);
    m_control.SendMessage(BPC_SETBARKIND, CBusyProgressCtrl::barMeasured);
    std::vector<int> measured = Steps(80);
    EXPECT_EQ(measured[73], 74);
    EXPECT_EQ(measured[74], 73);
}

TEST_F(BusyProgressTest, ModeChangesOnlyBetweenBusyAndProgress)
{
    Create(10);
    m_control.SendMessage(BPC_SETMODE, 3);
    m_control.SendMessage(BPC_SETBARKIND, CBusyProgressCtrl::barMeasured); // still busy: accepted
    m_control.SendMessage(BPC_SETMODE, CBusyProgressCtrl::modeProgress);
    EXPECT_EQ(m_control.GetStepDirection(), 1);
    // In progress mode the bar kind is not changed, and the step only counts up.
    m_control.SendMessage(BPC_SETPOSITION, 7);
    m_control.SendMessage(BPC_STEP);
    EXPECT_EQ(m_control.GetPosition(), 8);
    m_control.SendMessage(BPC_START); // no animation outside busy mode
    EXPECT_FALSE(m_control.IsRunning());
    m_control.SendMessage(BPC_STOP); // stopping what is not running does nothing
    EXPECT_FALSE(m_control.IsRunning());
}

TEST_F(BusyProgressTest, TheAnimationStepsUntilStopped)
{
    Create(10);
    m_control.SendMessage(BPC_SETINTERVAL, 10);
    m_control.Start();
    EXPECT_TRUE(lqtest::PumpUntil([&] { return m_control.GetPosition() >= 3; }));
    m_control.Start(); // a second start replaces the first thread
    EXPECT_TRUE(m_control.IsRunning());
    m_control.Stop();
    EXPECT_FALSE(m_control.IsRunning());
    lqtest::PumpPending(); // steps already posted
    const int stopped = m_control.GetPosition();
    ::Sleep(50);
    lqtest::PumpPending();
    EXPECT_EQ(m_control.GetPosition(), stopped);
}

COLORREF PixelAt(HWND hWnd, int x, int y)
{
    ::UpdateWindow(hWnd);
    HDC dc = ::GetDC(hWnd);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(hWnd, dc);
    return colour;
}

TEST_F(BusyProgressTest, PaintsLitAndUnlitBlocks)
{
    ::ShowWindow(m_parent, SW_SHOWNOACTIVATE);
    Create(10, 110, 10); // blocks of 10 pixels and a gap of 1
    const HWND hWnd = m_control.GetSafeHwnd();
    m_control.SendMessage(BPC_SETPOSITION, 3);
    ::InvalidateRect(hWnd, nullptr, TRUE);
    EXPECT_EQ(PixelAt(hWnd, 3 * 11 + 5, 5), COLORREF(0xFFDCBE));
    EXPECT_EQ(PixelAt(hWnd, 1 * 11 + 5, 5), COLORREF(0xDCBEA0));
    EXPECT_EQ(PixelAt(hWnd, 3 * 11, 5), COLORREF(0x875A32)); // the lit block's border

    // Progress: half of the range lights five blocks, and half a block more lights part of the sixth.
    m_control.SendMessage(BPC_SETMODE, CBusyProgressCtrl::modeProgress);
    m_control.SendMessage(BPC_SETRANGE, 0, 100);
    m_control.SendMessage(BPC_SETPOSITION, 55);
    ::InvalidateRect(hWnd, nullptr, TRUE);
    EXPECT_EQ(PixelAt(hWnd, 4 * 11 + 5, 5), COLORREF(0xFFDCBE));
    EXPECT_EQ(PixelAt(hWnd, 5 * 11 + 2, 5), COLORREF(0xFFDCBE));
    EXPECT_EQ(PixelAt(hWnd, 5 * 11 + 8, 5), COLORREF(0xDCBEA0));
    EXPECT_EQ(PixelAt(hWnd, 6 * 11 + 5, 5), COLORREF(0xDCBEA0));
}

} // namespace
