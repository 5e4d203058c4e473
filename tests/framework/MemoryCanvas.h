// A memory DC over a 32-bit DIB section for the drawing tests: GetPixel gives back exactly the colours drawn.
#pragma once

#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"

namespace lqtest {

class MemoryCanvas
{
public:
    MemoryCanvas(int width, int height, COLORREF background = RGB(255, 255, 255))
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
        m_dc.CreateCompatibleDC(nullptr);
        m_previous = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(0, 0, width, height, background);
    }
    ~MemoryCanvas() { m_dc.SelectObject(m_previous); }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    CDC& Dc() { return m_dc; }
    CBitmap& Bitmap() { return m_bitmap; }

    // Lets go of the bitmap (unselected first), for use as a picture elsewhere.
    HBITMAP TakeBitmap()
    {
        if (m_previous)
            m_dc.SelectObject(m_previous);
        m_previous = nullptr;
        return static_cast<HBITMAP>(m_bitmap.Detach());
    }

private:
    CBitmap m_bitmap;
    CDC m_dc;
    CBitmap* m_previous = nullptr;
};

} // namespace lqtest
