// The scoped double buffer: where its pixels land, the clip box for an empty rectangle, and a failed start.
#include "toolkit/controls/XTMemDC.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kTargetFill = RGB(1, 2, 3);

class Target
{
public:
    Target(int cx, int cy) : m_cx(cx), m_cy(cy)
    {
        HDC hScreen = GetDC(nullptr);
        HDC hDC = CreateCompatibleDC(hScreen);
        m_hBitmap = CreateCompatibleBitmap(hScreen, cx, cy);
        ReleaseDC(nullptr, hScreen);
        m_hOld = SelectObject(hDC, m_hBitmap);
        m_dc.Attach(hDC);
        m_dc.FillSolidRect(0, 0, cx, cy, kTargetFill);
    }
    ~Target()
    {
        SelectObject(m_dc.GetSafeHdc(), m_hOld);
        m_dc.DeleteDC();
        DeleteObject(m_hBitmap);
    }
    CDC* DC() { return &m_dc; }
    COLORREF At(int x, int y) const { return GetPixel(m_dc.GetSafeHdc(), x, y); }
    int Count(COLORREF clr) const
    {
        int n = 0;
        for (int y = 0; y < m_cy; ++y)
            for (int x = 0; x < m_cx; ++x)
                n += At(x, y) == clr;
        return n;
    }

private:
    int m_cx, m_cy;
    CDC m_dc;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOld;
};

TEST(XTMemDC, BufferLandsOnTheRectangleInOneCopy)
{
    const COLORREF back = RGB(200, 210, 220), mark = RGB(255, 0, 0);
    Target target(60, 40);
    {
        CXTMemDC memDC(target.DC(), CRect(10, 5, 40, 25), back);
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
    Target target(50, 50);
    IntersectClipRect(target.DC()->GetSafeHdc(), 2, 3, 12, 13);
    {
        CXTMemDC memDC(target.DC(), CRect(), back);
        ASSERT_TRUE(memDC.IsValid());
        EXPECT_EQ(CRect(2, 3, 12, 13), memDC.GetRect());
    }
    SelectClipRgn(target.DC()->GetSafeHdc(), nullptr);
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
        memDC.FillSolidRect(0, 0, 20, 20, RGB(0, 255, 0));
    }
    broken.m_hDC = broken.m_hAttribDC = nullptr;

    Target target(20, 20);
    {
        CXTMemDC memDC(nullptr, CRect(0, 0, 20, 20), RGB(255, 0, 0));
        EXPECT_FALSE(memDC.IsValid());
    }
    EXPECT_EQ(400, target.Count(kTargetFill));
}

} // namespace
