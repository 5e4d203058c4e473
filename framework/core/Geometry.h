// Points, sizes and rectangles over the platform's POINT, SIZE and RECT, so that they pass straight to any API.
#pragma once

#include <windows.h>

class CPoint;
class CRect;

class CSize : public tagSIZE
{
public:
    CSize() noexcept
    {
        cx = 0;
        cy = 0;
    }
    CSize(int initCX, int initCY) noexcept
    {
        cx = initCX;
        cy = initCY;
    }
    CSize(SIZE initSize) noexcept
    {
        cx = initSize.cx;
        cy = initSize.cy;
    }
    CSize(POINT initPt) noexcept
    {
        cx = initPt.x;
        cy = initPt.y;
    }
    // Low word is cx, high word cy, both signed (the packing of GetTextExtent-style results).
    CSize(DWORD packed) noexcept
    {
        cx = static_cast<short>(LOWORD(packed));
        cy = static_cast<short>(HIWORD(packed));
    }

    void SetSize(int newCX, int newCY) noexcept
    {
        cx = newCX;
        cy = newCY;
    }

    bool operator==(SIZE other) const noexcept { return cx == other.cx && cy == other.cy; }
    bool operator!=(SIZE other) const noexcept { return !(*this == other); }
    void operator+=(SIZE other) noexcept
    {
        cx += other.cx;
        cy += other.cy;
    }
    void operator-=(SIZE other) noexcept
    {
        cx -= other.cx;
        cy -= other.cy;
    }

    CSize operator+(SIZE other) const noexcept { return CSize(cx + other.cx, cy + other.cy); }
    CSize operator-(SIZE other) const noexcept { return CSize(cx - other.cx, cy - other.cy); }
    CSize operator-() const noexcept { return CSize(-cx, -cy); }
    inline CPoint operator+(POINT point) const noexcept;
    inline CPoint operator-(POINT point) const noexcept;
    inline CRect operator+(const RECT* rect) const noexcept;
    inline CRect operator-(const RECT* rect) const noexcept;
};

class CPoint : public tagPOINT
{
public:
    CPoint() noexcept
    {
        x = 0;
        y = 0;
    }
    CPoint(int initX, int initY) noexcept
    {
        x = initX;
        y = initY;
    }
    CPoint(POINT initPt) noexcept
    {
        x = initPt.x;
        y = initPt.y;
    }
    CPoint(SIZE initSize) noexcept
    {
        x = initSize.cx;
        y = initSize.cy;
    }
    // Mouse-message lParam packing: signed words, so that positions left of or above a window stay negative.
    CPoint(LPARAM packed) noexcept
    {
        x = static_cast<short>(LOWORD(packed));
        y = static_cast<short>(HIWORD(packed));
    }

    void Offset(int xOffset, int yOffset) noexcept
    {
        x += xOffset;
        y += yOffset;
    }
    void Offset(POINT point) noexcept { Offset(point.x, point.y); }
    void Offset(SIZE size) noexcept { Offset(size.cx, size.cy); }
    void SetPoint(int newX, int newY) noexcept
    {
        x = newX;
        y = newY;
    }

    bool operator==(POINT other) const noexcept { return x == other.x && y == other.y; }
    bool operator!=(POINT other) const noexcept { return !(*this == other); }
    void operator+=(SIZE size) noexcept { Offset(size); }
    void operator-=(SIZE size) noexcept { Offset(-size.cx, -size.cy); }
    void operator+=(POINT point) noexcept { Offset(point); }
    void operator-=(POINT point) noexcept { Offset(-point.x, -point.y); }

    CPoint operator+(SIZE size) const noexcept { return CPoint(x + size.cx, y + size.cy); }
    CPoint operator-(SIZE size) const noexcept { return CPoint(x - size.cx, y - size.cy); }
    CPoint operator-() const noexcept { return CPoint(-x, -y); }
    CPoint operator+(POINT point) const noexcept { return CPoint(x + point.x, y + point.y); }
    CSize operator-(POINT point) const noexcept { return CSize(x - point.x, y - point.y); }
    inline CRect operator+(const RECT* rect) const noexcept;
    inline CRect operator-(const RECT* rect) const noexcept;
};

class CRect : public tagRECT
{
public:
    CRect() noexcept { ::SetRectEmpty(this); }
    CRect(int l, int t, int r, int b) noexcept
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    CRect(const RECT& source) noexcept { ::CopyRect(this, &source); }
    CRect(const RECT* source) noexcept { ::CopyRect(this, source); }
    CRect(POINT point, SIZE size) noexcept
    {
        left = point.x;
        top = point.y;
        right = point.x + size.cx;
        bottom = point.y + size.cy;
    }
    CRect(POINT topLeft, POINT bottomRight) noexcept
    {
        left = topLeft.x;
        top = topLeft.y;
        right = bottomRight.x;
        bottom = bottomRight.y;
    }

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CSize Size() const noexcept { return CSize(Width(), Height()); }

    // The two corners alias the rectangle's own fields, so `rect.TopLeft() = point` moves the corner and
    // `&rect.TopLeft()` can be handed to point-mapping calls, as code written for this family of classes expects.
    CPoint& TopLeft() noexcept { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() noexcept { return *reinterpret_cast<CPoint*>(&right); }
    const CPoint& TopLeft() const noexcept { return *reinterpret_cast<const CPoint*>(&left); }
    const CPoint& BottomRight() const noexcept { return *reinterpret_cast<const CPoint*>(&right); }
    CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }
    void SwapLeftRight() noexcept { SwapLeftRight(this); }
    static void SwapLeftRight(RECT* rect) noexcept
    {
        LONG temp = rect->left;
        rect->left = rect->right;
        rect->right = temp;
    }

    operator RECT*() noexcept { return this; }
    operator const RECT*() const noexcept { return this; }

    BOOL IsRectEmpty() const noexcept { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT point) const noexcept { return ::PtInRect(this, point); }

    void SetRect(int l, int t, int r, int b) noexcept { ::SetRect(this, l, t, r, b); }
    void SetRect(POINT topLeft, POINT bottomRight) noexcept
    {
        ::SetRect(this, topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    }
    void SetRectEmpty() noexcept { ::SetRectEmpty(this); }
    void CopyRect(const RECT* source) noexcept { ::CopyRect(this, source); }
    BOOL EqualRect(const RECT* other) const noexcept { return ::EqualRect(this, other); }

    void InflateRect(int x, int y) noexcept { ::InflateRect(this, x, y); }
    void InflateRect(SIZE size) noexcept { ::InflateRect(this, size.cx, size.cy); }
    void InflateRect(const RECT* sides) noexcept { InflateRect(sides->left, sides->top, sides->right, sides->bottom); }
    void InflateRect(int l, int t, int r, int b) noexcept
    {
        left -= l;
        top -= t;
        right += r;
        bottom += b;
    }
    void DeflateRect(int x, int y) noexcept { ::InflateRect(this, -x, -y); }
    void DeflateRect(SIZE size) noexcept { ::InflateRect(this, -size.cx, -size.cy); }
    void DeflateRect(const RECT* sides) noexcept { DeflateRect(sides->left, sides->top, sides->right, sides->bottom); }
    void DeflateRect(int l, int t, int r, int b) noexcept
    {
        left += l;
        top += t;
        right -= r;
        bottom -= b;
    }

    void OffsetRect(int x, int y) noexcept { ::OffsetRect(this, x, y); }
    void OffsetRect(POINT point) noexcept { ::OffsetRect(this, point.x, point.y); }
    void OffsetRect(SIZE size) noexcept { ::OffsetRect(this, size.cx, size.cy); }
    void MoveToX(int x) noexcept
    {
        right = Width() + x;
        left = x;
    }
    void MoveToY(int y) noexcept
    {
        bottom = Height() + y;
        top = y;
    }
    void MoveToXY(int x, int y) noexcept
    {
        MoveToX(x);
        MoveToY(y);
    }
    void MoveToXY(POINT point) noexcept { MoveToXY(point.x, point.y); }

    void NormalizeRect() noexcept
    {
        if (left > right) {
            LONG temp = left;
            left = right;
            right = temp;
        }
        if (top > bottom) {
            LONG temp = top;
            top = bottom;
            bottom = temp;
        }
    }

    BOOL IntersectRect(const RECT* a, const RECT* b) noexcept { return ::IntersectRect(this, a, b); }
    BOOL UnionRect(const RECT* a, const RECT* b) noexcept { return ::UnionRect(this, a, b); }
    BOOL SubtractRect(const RECT* from, const RECT* cut) noexcept { return ::SubtractRect(this, from, cut); }

    // Scales every side by multiplier / divisor with rounding, as MulDiv does.
    void MulDiv(int multiplier, int divisor) noexcept
    {
        left = ::MulDiv(left, multiplier, divisor);
        top = ::MulDiv(top, multiplier, divisor);
        right = ::MulDiv(right, multiplier, divisor);
        bottom = ::MulDiv(bottom, multiplier, divisor);
    }

    CRect& operator=(const RECT& source) noexcept
    {
        ::CopyRect(this, &source);
        return *this;
    }
    bool operator==(const RECT& other) const noexcept { return ::EqualRect(this, &other) != FALSE; }
    bool operator!=(const RECT& other) const noexcept { return !(*this == other); }
    void operator+=(POINT point) noexcept { OffsetRect(point); }
    void operator+=(SIZE size) noexcept { OffsetRect(size); }
    void operator+=(const RECT* sides) noexcept { InflateRect(sides); }
    void operator-=(POINT point) noexcept { OffsetRect(-point.x, -point.y); }
    void operator-=(SIZE size) noexcept { OffsetRect(-size.cx, -size.cy); }
    void operator-=(const RECT* sides) noexcept { DeflateRect(sides); }
    void operator&=(const RECT& other) noexcept { ::IntersectRect(this, this, &other); }
    void operator|=(const RECT& other) noexcept { ::UnionRect(this, this, &other); }

    CRect operator+(POINT point) const noexcept
    {
        CRect result(*this);
        result.OffsetRect(point);
        return result;
    }
    CRect operator-(POINT point) const noexcept
    {
        CRect result(*this);
        result.OffsetRect(-point.x, -point.y);
        return result;
    }
    CRect operator+(SIZE size) const noexcept
    {
        CRect result(*this);
        result.OffsetRect(size);
        return result;
    }
    CRect operator-(SIZE size) const noexcept
    {
        CRect result(*this);
        result.OffsetRect(-size.cx, -size.cy);
        return result;
    }
    CRect operator+(const RECT* sides) const noexcept
    {
        CRect result(*this);
        result.InflateRect(sides);
        return result;
    }
    CRect operator-(const RECT* sides) const noexcept
    {
        CRect result(*this);
        result.DeflateRect(sides);
        return result;
    }
    CRect operator&(const RECT& other) const noexcept
    {
        CRect result;
        ::IntersectRect(&result, this, &other);
        return result;
    }
    CRect operator|(const RECT& other) const noexcept
    {
        CRect result;
        ::UnionRect(&result, this, &other);
        return result;
    }
};

inline CPoint CSize::operator+(POINT point) const noexcept
{
    return CPoint(cx + point.x, cy + point.y);
}

inline CPoint CSize::operator-(POINT point) const noexcept
{
    return CPoint(cx - point.x, cy - point.y);
}

inline CRect CSize::operator+(const RECT* rect) const noexcept
{
    return CRect(rect) + *this;
}

inline CRect CSize::operator-(const RECT* rect) const noexcept
{
    return CRect(rect) - *this;
}

inline CRect CPoint::operator+(const RECT* rect) const noexcept
{
    return CRect(rect) + *this;
}

inline CRect CPoint::operator-(const RECT* rect) const noexcept
{
    return CRect(rect) - *this;
}
