// Points, sizes and rectangles: the helpers and operators that layout code leans on.
#include "framework/core/Geometry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

struct RectCase
{
    const char* name;
    RECT start;
    void (*change)(CRect&);
    RECT expected;
};

TEST(Geometry, RectangleOperationsGiveTheExpectedSides)
{
    const RECT base{10, 20, 110, 70};
    static const RECT sides{1, 2, 3, 4};
    const RectCase cases[] = {
        {"inflate x y", base, [](CRect& r) { r.InflateRect(5, 3); }, {5, 17, 115, 73}},
        {"inflate four sides", base, [](CRect& r) { r.InflateRect(1, 2, 3, 4); }, {9, 18, 113, 74}},
        {"inflate by rect", base, [](CRect& r) { r.InflateRect(&sides); }, {9, 18, 113, 74}},
        {"deflate size", base, [](CRect& r) { r.DeflateRect(CSize(10, 5)); }, {20, 25, 100, 65}},
        {"deflate four sides", base, [](CRect& r) { r.DeflateRect(1, 2, 3, 4); }, {11, 22, 107, 66}},
        {"deflate by rect", base, [](CRect& r) { r.DeflateRect(&sides); }, {11, 22, 107, 66}},
        {"offset", base, [](CRect& r) { r.OffsetRect(-10, 5); }, {0, 25, 100, 75}},
        {"offset by point", base, [](CRect& r) { r.OffsetRect(CPoint(1, 1)); }, {11, 21, 111, 71}},
        {"move to x", base, [](CRect& r) { r.MoveToX(-5); }, {-5, 20, 95, 70}},
        {"move to y", base, [](CRect& r) { r.MoveToY(0); }, {10, 0, 110, 50}},
        {"move to xy", base, [](CRect& r) { r.MoveToXY(CPoint(1, 2)); }, {1, 2, 101, 52}},
        {"normalize", {50, 60, 10, 20}, [](CRect& r) { r.NormalizeRect(); }, {10, 20, 50, 60}},
        {"normalize keeps ordered", base, [](CRect& r) { r.NormalizeRect(); }, {10, 20, 110, 70}},
        {"swap left right", base, [](CRect& r) { r.SwapLeftRight(); }, {110, 20, 10, 70}},
        {"intersect overlapping",
         base,
         [](CRect& r) { r.IntersectRect(CRect(r), CRect(100, 0, 200, 30)); },
         {100, 20, 110, 30}},
        {"intersect disjoint is all zero",
         base,
         [](CRect& r) { r.IntersectRect(CRect(r), CRect(200, 200, 300, 300)); },
         {0, 0, 0, 0}},
        {"intersect touching edge is empty",
         base,
         [](CRect& r) { r.IntersectRect(CRect(r), CRect(110, 20, 120, 70)); },
         {0, 0, 0, 0}},
        {"union", base, [](CRect& r) { r.UnionRect(CRect(r), CRect(0, 0, 5, 5)); }, {0, 0, 110, 70}},
        {"union ignores empty",
         base,
         [](CRect& r) { r.UnionRect(CRect(r), CRect(500, 500, 500, 600)); },
         {10, 20, 110, 70}},
        {"subtract full-height strip on the right",
         base,
         [](CRect& r) { r.SubtractRect(CRect(r), CRect(60, 0, 200, 100)); },
         {10, 20, 60, 70}},
        {"subtract from the middle keeps the source",
         base,
         [](CRect& r) { r.SubtractRect(CRect(r), CRect(40, 30, 50, 40)); },
         {10, 20, 110, 70}},
        {"operator &", base, [](CRect& r) { r = r & CRect(0, 0, 20, 30); }, {10, 20, 20, 30}},
        {"operator |", base, [](CRect& r) { r = r | CRect(0, 0, 20, 30); }, {0, 0, 110, 70}},
        {"operator &=", base, [](CRect& r) { r &= CRect(0, 0, 20, 30); }, {10, 20, 20, 30}},
        {"operator |=", base, [](CRect& r) { r |= CRect(0, 0, 20, 30); }, {0, 0, 110, 70}},
        {"plus point", base, [](CRect& r) { r = r + CPoint(1, -1); }, {11, 19, 111, 69}},
        {"minus size", base, [](CRect& r) { r = r - CSize(10, 20); }, {0, 0, 100, 50}},
        {"plus rect inflates", base, [](CRect& r) { r = r + &sides; }, {9, 18, 113, 74}},
        {"minus rect deflates", base, [](CRect& r) { r = r - &sides; }, {11, 22, 107, 66}},
        {"+= point", base, [](CRect& r) { r += CPoint(5, 5); }, {15, 25, 115, 75}},
        {"-= size", base, [](CRect& r) { r -= CSize(5, 5); }, {5, 15, 105, 65}},
        {"+= rect", base, [](CRect& r) { r += &sides; }, {9, 18, 113, 74}},
        {"point plus rect", base, [](CRect& r) { r = CPoint(1, 2) + static_cast<const RECT*>(r); }, {11, 22, 111, 72}},
        {"size minus rect", base, [](CRect& r) { r = CSize(1, 2) - static_cast<const RECT*>(r); }, {9, 18, 109, 68}},
        {"from point and size", base, [](CRect& r) { r = CRect(CPoint(3, 4), CSize(10, 20)); }, {3, 4, 13, 24}},
        {"from two points", base, [](CRect& r) { r = CRect(CPoint(3, 4), CPoint(10, 20)); }, {3, 4, 10, 20}},
        {"muldiv rounds", {10, 15, 20, 25}, [](CRect& r) { r.MulDiv(3, 2); }, {15, 23, 30, 38}},
        {"set rect from points", base, [](CRect& r) { r.SetRect(CPoint(1, 2), CPoint(3, 4)); }, {1, 2, 3, 4}},
        {"set rect empty", base, [](CRect& r) { r.SetRectEmpty(); }, {0, 0, 0, 0}},
    };
    for (const RectCase& c : cases) {
        CRect actual(c.start);
        c.change(actual);
        EXPECT_TRUE(actual == c.expected) << c.name << ": got " << Text(actual) << ", wanted " << Text(c.expected);
    }
}

TEST(Geometry, RectangleQueries)
{
    const CRect r(10, 20, 110, 70);
    EXPECT_EQ(100, r.Width());
    EXPECT_EQ(50, r.Height());
    EXPECT_TRUE(r.Size() == CSize(100, 50));
    EXPECT_TRUE(r.CenterPoint() == CPoint(60, 45));
    EXPECT_TRUE(CRect(-3, -3, 0, 0).CenterPoint() == CPoint(-1, -1));

    struct
    {
        POINT point;
        BOOL inside;
    } hits[] = {{{10, 20}, TRUE}, {{109, 69}, TRUE}, {{110, 40}, FALSE}, {{50, 70}, FALSE}, {{9, 40}, FALSE}};
    for (const auto& h : hits) {
        EXPECT_EQ(h.inside, r.PtInRect(h.point)) << h.point.x << "," << h.point.y;
    }

    struct
    {
        RECT rect;
        BOOL empty;
        BOOL null;
    } emptiness[] = {{{0, 0, 0, 0}, TRUE, TRUE},
                     {{5, 5, 5, 10}, TRUE, FALSE},
                     {{5, 5, 10, 5}, TRUE, FALSE},
                     {{10, 0, 5, 5}, TRUE, FALSE},
                     {{0, 0, 1, 1}, FALSE, FALSE}};
    for (const auto& e : emptiness) {
        CRect c(e.rect);
        EXPECT_EQ(e.empty, c.IsRectEmpty()) << Text(c);
        EXPECT_EQ(e.null, c.IsRectNull()) << Text(c);
    }

    EXPECT_TRUE(r == CRect(10, 20, 110, 70));
    EXPECT_TRUE(r != CRect(10, 20, 110, 71));
    EXPECT_TRUE(r.EqualRect(CRect(10, 20, 110, 70)));
    EXPECT_FALSE(r.EqualRect(CRect(0, 20, 110, 70)));
}

TEST(Geometry, CornersAliasTheRectangleFields)
{
    CRect r(1, 2, 3, 4);
    r.TopLeft() = CPoint(-5, -6);
    r.BottomRight() += CSize(10, 10);
    EXPECT_TRUE(r == CRect(-5, -6, 13, 14)) << Text(r);

    // Mapping both corners as two points is how client rectangles become screen rectangles.
    POINT* corners = &r.TopLeft();
    corners[1].x = 99;
    EXPECT_EQ(99, r.right);

    RECT* asRect = r;
    const RECT* asConst = static_cast<const CRect&>(r);
    EXPECT_EQ(static_cast<RECT*>(&r), asRect);
    EXPECT_EQ(static_cast<const RECT*>(&r), asConst);

    CRect copy;
    copy.CopyRect(r);
    EXPECT_TRUE(copy == r);
}

TEST(Geometry, PointsAndSizes)
{
    // Packed mouse coordinates are signed words (a drag left of the window gives negative x).
    CPoint fromMouse(static_cast<LPARAM>(MAKELONG(static_cast<WORD>(-7), 300)));
    EXPECT_TRUE(fromMouse == CPoint(-7, 300));
    CSize fromPacked(static_cast<DWORD>(MAKELONG(40, static_cast<WORD>(-2))));
    EXPECT_TRUE(fromPacked == CSize(40, -2));

    CPoint p(10, 20);
    EXPECT_TRUE(p + CSize(1, 2) == CPoint(11, 22));
    EXPECT_TRUE(p - CSize(1, 2) == CPoint(9, 18));
    EXPECT_TRUE(p + CPoint(5, 5) == CPoint(15, 25));
    CSize diff = p - CPoint(4, 30);
    EXPECT_TRUE(diff == CSize(6, -10));
    EXPECT_TRUE(-p == CPoint(-10, -20));
    p += CSize(1, 1);
    p -= CPoint(2, 2);
    EXPECT_TRUE(p == CPoint(9, 19));
    p.Offset(1, 1);
    EXPECT_TRUE(p == CPoint(10, 20));
    EXPECT_TRUE(p != CPoint(10, 21));

    CSize s(3, 4);
    EXPECT_TRUE(s + CSize(1, 1) == CSize(4, 5));
    EXPECT_TRUE(s - CSize(1, 1) == CSize(2, 3));
    EXPECT_TRUE(-s == CSize(-3, -4));
    EXPECT_TRUE(s + CPoint(1, 1) == CPoint(4, 5));
    s += CSize(1, 1);
    s -= CSize(2, 0);
    EXPECT_TRUE(s == CSize(2, 5));
    EXPECT_TRUE(CSize(CPoint(7, 8)) == CSize(7, 8));
    EXPECT_TRUE(CPoint(CSize(7, 8)) == CPoint(7, 8));

    EXPECT_TRUE(CPoint() == CPoint(0, 0));
    EXPECT_TRUE(CSize() == CSize(0, 0));
    EXPECT_TRUE(CRect().IsRectNull());
}

} // namespace
