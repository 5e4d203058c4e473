// The gradient fill and its solid fall-back.
#include "feeds/ui/GradientFill.h"
#include "feeds/WindowsVersion.h"
#include "framework/win/Dc.h"
#include "tests/framework/MemoryCanvas.h"

#include <gtest/gtest.h>

namespace {

TEST(Gradient, LaterNtVersionsDrawTheGradient)
{
    // The test prefix is a later NT version: its class is the one NT 3.x shares, yet it draws gradients.
    ASSERT_EQ(GetWindowsVersionClass(), WINVER_CLASS_NT_OTHER);
    ASSERT_TRUE(SystemDrawsGradients());
    for (BOOL vertical : {FALSE, TRUE}) {
        lqtest::MemoryCanvas canvas(40, 20);
        const RECT rect = {5, 2, 35, 18};
        EXPECT_TRUE(FillGradientRect(&canvas.Dc(), rect, RGB(200, 30, 10), RGB(10, 30, 200), vertical));
        // The first colour at the start edge, the second at the far one.
        const COLORREF start = GetPixel(canvas.Dc(), 5, 2);
        const COLORREF end = vertical ? GetPixel(canvas.Dc(), 5, 17) : GetPixel(canvas.Dc(), 34, 2);
        EXPECT_NEAR(GetRValue(start), 200, 20);
        EXPECT_NEAR(GetBValue(start), 10, 20);
        EXPECT_NEAR(GetRValue(end), 10, 20);
        EXPECT_NEAR(GetBValue(end), 200, 20);
        EXPECT_EQ(GetPixel(canvas.Dc(), 35, 10), RGB(255, 255, 255));
        EXPECT_EQ(GetPixel(canvas.Dc(), 4, 10), RGB(255, 255, 255));
    }
    EXPECT_FALSE(FillGradientRect(nullptr, RECT{0, 0, 1, 1}, 0, 0, FALSE));
}

} // namespace
