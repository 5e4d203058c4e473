#include "toolkit/base/XTHelpers.h"

#include "framework/core/ScopedHandles.h"

#include <cstring>

BOOL CreateAlphaDIBSection(CBitmap& bitmap, int cx, int cy, LPBYTE* ppBits)
{
    if (ppBits != nullptr)
        *ppBits = nullptr;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = cx;
    header.biHeight = cy;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    void* pBits = nullptr;
    CScopedBitmap hBitmap;
    {
        CScopedWindowDC screen(nullptr);
        hBitmap.Attach(
            ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &pBits, nullptr, 0));
    }
    if (!hBitmap || !bitmap.Attach(hBitmap))
        return FALSE;
    hBitmap.Detach();
    if (ppBits != nullptr)
        *ppBits = static_cast<LPBYTE>(pBits);
    return TRUE;
}

size_t CopyMemoryBlock(void* pDest, const void* pSource, size_t count)
{
    if (count != 0)
        std::memmove(pDest, pSource, count);
    return count;
}

BOOL GetModalLoopMessage(MSG& msg, int nMaxPaints)
{
    for (int nPaints = 0; nPaints < nMaxPaints && ::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE);
         ++nPaints) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return FALSE;
        }
        ::DispatchMessageW(&msg);
    }
    if (!::GetMessageW(&msg, nullptr, 0, 0)) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return FALSE;
    }
    return TRUE;
}
