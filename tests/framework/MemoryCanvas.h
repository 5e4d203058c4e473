// The drawing tests' canvas: a memory DC over a 32-bit top-down DIB section, so that the pixels read back are
// exactly the colours drawn, whatever the depth of the screen.
#pragma once

#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"

#include <algorithm>
#include <vector>

namespace lqtest {

class MemoryCanvas
{
public:
    MemoryCanvas(int width, int height, COLORREF background = RGB(255, 255, 255))
        : m_width(width), m_height(height), m_rect(0, 0, width, height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<DWORD*>(bits);
        m_dc.CreateCompatibleDC(nullptr);
        m_previous = m_dc.SelectObject(&m_bitmap);
        Fill(background);
    }
    ~MemoryCanvas()
    {
        if (m_previous)
            m_dc.SelectObject(m_previous);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    CDC& Dc() { return m_dc; }
    HDC Hdc() const { return m_dc.m_hDC; }
    CBitmap& Bitmap() { return m_bitmap; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const CRect& Rect() const { return m_rect; }

    // Every pixel set to the colour; the DC's own colours and modes stay as they are.
    void Fill(COLORREF colour)
    {
        ::GdiFlush();
        const DWORD pixel = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        std::fill(m_bits, m_bits + m_width * m_height, pixel);
    }

    // A pixel as drawn, read from the bits once GDI has finished its work.
    COLORREF At(int x, int y) const
    {
        const DWORD pixel = Raw(x, y);
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    // A pixel as the bits hold it: 0xAARRGGBB.
    DWORD Raw(int x, int y) const
    {
        ::GdiFlush();
        return m_bits[y * m_width + x];
    }

    // Every pixel as the bits hold it, row by row from the top.
    std::vector<DWORD> Pixels() const
    {
        ::GdiFlush();
        return std::vector<DWORD>(m_bits, m_bits + m_width * m_height);
    }

    // How many pixels inside rc (clipped to the canvas) are, or with bEqual false are not, of the colour.
    int Count(COLORREF colour, const RECT& rc, bool bEqual = true) const
    {
        int n = 0;
        for (int y = std::max(0L, rc.top); y < std::min(static_cast<LONG>(m_height), rc.bottom); ++y)
            for (int x = std::max(0L, rc.left); x < std::min(static_cast<LONG>(m_width), rc.right); ++x)
                n += (At(x, y) == colour) == bEqual;
        return n;
    }
    int Count(COLORREF colour) const { return Count(colour, Rect()); }
    int CountNot(COLORREF colour) const { return Count(colour, Rect(), false); }

    // Lets go of the bitmap (unselected first), for use as a picture elsewhere.
    HBITMAP TakeBitmap()
    {
        if (m_previous)
            m_dc.SelectObject(m_previous);
        m_previous = nullptr;
        m_bits = nullptr;
        return static_cast<HBITMAP>(m_bitmap.Detach());
    }

private:
    int m_width;
    int m_height;
    CRect m_rect;
    CBitmap m_bitmap;
    CDC m_dc;
    CBitmap* m_previous = nullptr;
    DWORD* m_bits = nullptr;
};

} // namespace lqtest
