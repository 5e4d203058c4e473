#include "toolkit/base/XTHelpers.h"

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
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hBitmap =
        ::CreateDIBSection(hScreen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &pBits, nullptr, 0);
    ::ReleaseDC(nullptr, hScreen);
    if (hBitmap == nullptr)
        return FALSE;
    if (!bitmap.Attach(hBitmap)) {
        ::DeleteObject(hBitmap);
        return FALSE;
    }
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
