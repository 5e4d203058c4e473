// The scoped double buffer: where its pixels land, the clip box for an empty rectangle, and a failed start.
#include "toolkit/controls/XTMemDC.h"
#include "tests/framework/MemoryCanvas.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kTargetFill = RGB(1, 2, 3);

TEST(XTMemDC, BufferLandsOnTheRectangleInOneCopy)
{
    const COLORREF back = RGB(200, 210, 220), mark = RGB(255, 0, 0);
    lqtest::MemoryCanvas target(60, 40, kTargetFill);
    {
        CXTMemDC memDC(&target.Dc(), CRect(10, 5, 40, 25), back);
        ASSERT_TRUE(memDC.IsValid());
        EXPECT_TRUE(memDC.IsKindOf(RUNTIME_CLASS(CDC)));
        memDC.SetPixel(0, 0, mark);
        memDC.SetPixel(29, 19, mark);
        EXPECT_EQ(kTargetFill, target.At(10, 5)) << "nothing reaches the target before the end";
    }
    EXPECT_EQ(mark, target.At(10, 5));
    EXPECT_EQ(mark, target.At(39, 24));
    EXPECT_EQ(back, target.At(20, 15));
    EXPECT_EQ(30 * 20 - 2, target.Count(back));
    EXPECT_EQ(60 * 40 - 30 * 20, target.Count(kTargetFill));
}

TEST(XTMemDC, EmptyRectangleBuffersTheClipBox)
{
    const COLORREF back = RGB(9, 99, 199);
    lqtest::MemoryCanvas target(50, 50, kTargetFill);
    IntersectClipRect(target.Dc(), 2, 3, 12, 13);
    {
        CXTMemDC memDC(&target.Dc(), CRect(), back);
        ASSERT_TRUE(memDC.IsValid());
        EXPECT_EQ(CRect(2, 3, 12, 13), memDC.GetRect());
    }
    SelectClipRgn(target.Dc(), nullptr);
    EXPECT_EQ(back, target.At(2, 3));
    EXPECT_EQ(back, target.At(11, 12));
    EXPECT_EQ(100, target.Count(back));
}

TEST(XTMemDC, NoCompatibleDcMeansNothingIsDrawn)
{
    CDC broken;
    // A handle that names no device context: the compatible DC cannot be made.
    broken.m_hDC = broken.m_hAttribDC = reinterpret_cast<HDC>(static_cast<ULONG_PTR>(0xDEAD0));
    {
        CXTMemDC memDC(&broken, CRect(0, 0, 20, 20), RGB(255, 0, 0));
        EXPECT_FALSE(memDC.IsValid());
        EXPECT_EQ(nullptr, memDC.GetSafeHdc());
#if !LQ_DEBUG_CHECKS
        // A debug build stops here instead: drawing without a DC.
        memDC.FillSolidRect(0, 0, 20, 20, RGB(0, 255, 0));
#endif
    }
    broken.m_hDC = broken.m_hAttribDC = nullptr;

    lqtest::MemoryCanvas target(20, 20, kTargetFill);
    {
        CXTMemDC memDC(nullptr, CRect(0, 0, 20, 20), RGB(255, 0, 0));
        EXPECT_FALSE(memDC.IsValid());
    }
    EXPECT_EQ(400, target.Count(kTargetFill));
}

} // namespace
