// The themed status bar drawn into a memory DC: the gripper follows the frame (resizable, not maximised) and
// the bar's size grip, and the panes' texts are drawn by the bar itself.
#include "views/ExStatusBar.h"

#include "framework/win/WinApp.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/support/TestSupport.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct GripCase
{
    const char* name;
    DWORD frameStyle;
    int showCommand;
    bool gripper;
};

class ExStatusBarTest : public ::testing::TestWithParam<GripCase>
{
};

TEST_P(ExStatusBarTest, TheGripperFollowsTheFrame)
{
    const GripCase& c = GetParam();
    CXTPPaintManager::SetTheme(xtpThemeOffice2003);
    CXTPPaintManager* pPaintManager = CXTPPaintManager::GetCurrent();
    ASSERT_NE(pPaintManager, nullptr);

    CWnd frame;
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    ASSERT_TRUE(frame.CreateEx(0, cls, L"Status bar", c.frameStyle, 50, 50, 420, 160, nullptr, nullptr));
    CExStatusBar bar;
    ASSERT_TRUE(bar.CreateEx(&frame, SBARS_SIZEGRIP));
    // Separators: the "Progress" string lives in the program's resources, not in this test's.
    const UINT indicators[] = {0, 0};
    ASSERT_TRUE(bar.SetIndicators(indicators, 2));
    bar.SetPaneInfo(0, 0, SBPS_NORMAL, 120);
    bar.SetPaneInfo(1, 59142, SBPS_NOBORDERS, 150);
    bar.SetPaneText(0, L"Ready");
    RECT rcFrame;
    frame.GetClientRect(&rcFrame);
    bar.MoveWindow(0, rcFrame.bottom - 22, rcFrame.right, 22);
    frame.ShowWindow(c.showCommand);
    frame.GetClientRect(&rcFrame);
    bar.MoveWindow(0, rcFrame.bottom - 22, rcFrame.right, 22);
    lqtest::PumpPending();

    EXPECT_EQ(bar.IsGripperShown() != FALSE, c.gripper);
    CRect client;
    bar.GetClientRect(&client);
    lqtest::MemoryCanvas canvas(client.Width(), client.Height(), RGB(0, 0, 0));
    bar.DrawBar(&canvas.Dc());

    const COLORREF grooves = pPaintManager->GetColor(COLOR_3DSHADOW);
    const RECT corner = {client.right - 14, client.top, client.right, client.bottom};
    if (c.gripper)
        EXPECT_GT(canvas.Count(grooves, corner), 6);
    else
        EXPECT_EQ(canvas.Count(grooves, corner), 0);

    // The message pane: its frame, and its text where the same bar without text shows none.
    CRect pane;
    bar.GetItemRect(0, &pane);
    EXPECT_EQ(canvas.At(pane.left, pane.top + pane.Height() / 2), grooves);
    lqtest::MemoryCanvas empty(client.Width(), client.Height(), RGB(0, 0, 0));
    bar.SetPaneText(0, L"");
    bar.DrawBar(&empty.Dc());
    int textPixels = 0;
    for (int y = pane.top + 2; y < pane.bottom - 2; ++y)
        for (int x = pane.left + 2; x < pane.right - 2; ++x)
            textPixels += canvas.At(x, y) != empty.At(x, y) ? 1 : 0;
    EXPECT_GT(textPixels, 10);
    // The borderless "Progress" pane has no frame.
    CRect progress;
    bar.GetItemRect(1, &progress);
    EXPECT_EQ(canvas.Count(grooves, progress), 0);

    bar.DestroyWindow();
    frame.DestroyWindow();
}

const GripCase kGripCases[] = {
    {"ResizableFrame", WS_OVERLAPPEDWINDOW, SW_SHOWNORMAL, true},
    {"MaximisedFrame", WS_OVERLAPPEDWINDOW, SW_SHOWMAXIMIZED, false},
    {"FixedFrame", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, SW_SHOWNORMAL, false},
};

INSTANTIATE_TEST_SUITE_P(Frames, ExStatusBarTest, ::testing::ValuesIn(kGripCases),
                         [](const ::testing::TestParamInfo<GripCase>& info) { return info.param.name; });

TEST(ExStatusBar, IsCreatedByItsRuntimeClassName)
{
    CExStatusBar bar;
    EXPECT_TRUE(bar.IsKindOf(RUNTIME_CLASS(CXTStatusBar)));
    EXPECT_STREQ(bar.GetRuntimeClass()->m_lpszClassName, "CExStatusBar");
}

} // namespace
