// The image manager: icon sets by command id and width, their variants, loaders, archive and clipboard forms.
#include "toolkit/base/XTPImageManager.h"

#include "framework/core/AfxModule.h"
#include "framework/core/Exceptions.h"
#include "framework/core/File.h"
#include "framework/core/FileReading.h"
#include "framework/core/ScopedHandles.h"
#include "toolkit/base/XTPColorManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <shlwapi.h>

IMPLEMENT_DYNAMIC(CXTPImageManager, CCmdTarget)

namespace {

const UINT kFirstCustomID = 0x10AAA;
const int kMaxImageSide = 4096;
// Process-wide settings of the computed disabled image.
const double kDisabledGamma = 0.5;
const double kDisabledAlphaDivisor = 1.0;

BYTE Alpha(DWORD px)
{
    return static_cast<BYTE>(px >> 24);
}
BYTE Red(DWORD px)
{
    return static_cast<BYTE>(px >> 16);
}
BYTE Green(DWORD px)
{
    return static_cast<BYTE>(px >> 8);
}
BYTE Blue(DWORD px)
{
    return static_cast<BYTE>(px);
}
DWORD Pixel(int r, int g, int b, int a)
{
    return (static_cast<DWORD>(a) << 24) | (static_cast<DWORD>(r) << 16) | (static_cast<DWORD>(g) << 8) |
           static_cast<DWORD>(b);
}

BYTE GreyLevel(DWORD px)
{
    const double dLum = 0.299 * Red(px) + 0.587 * Green(px) + 0.114 * Blue(px);
    return static_cast<BYTE>(std::min(255.0, 255.0 * std::pow(dLum / 255.0, kDisabledGamma)));
}

DWORD FadedPixel(DWORD px)
{
    auto fade = [](int c) { return static_cast<int>(0.7 * c + 76.5); };
    return Pixel(fade(Red(px)), fade(Green(px)), fade(Blue(px)), Alpha(px));
}

COLORREF ShadowColor()
{
    const COLORREF clr = XTPColorManager()->GetColor(31);
    return RGB(static_cast<int>(GetRValue(clr) * 0.75), static_cast<int>(GetGValue(clr) * 0.75),
               static_cast<int>(GetBValue(clr) * 0.75));
}

BOOL ScreenHasManyColors()
{
    CScopedWindowDC dc(nullptr);
    return ::GetDeviceCaps(dc, BITSPIXEL) > 8;
}

// A variant of an icon: every opaque pixel (mask 0) of its colour bitmap changed, the mask kept.
template <class F> HICON TransformIcon(HICON hIcon, F transform)
{
    CScopedIconInfo info;
    if (!info.Read(hIcon))
        return nullptr;
    const ICONINFO& ii = info.Get();
    HICON hResult = nullptr;
    CSize size, sizeMask;
    std::vector<DWORD> colour, mask;
    if (ii.hbmColor && CXTPImageManager::GetBitmapBits32(ii.hbmColor, size, colour) &&
        CXTPImageManager::GetBitmapBits32(ii.hbmMask, sizeMask, mask) && sizeMask == size) {
        // A colour bitmap without a real alpha channel must stay without one, or the mask would be ignored.
        bool bAnyAlpha = false, bAllOpaque = true;
        for (DWORD px : colour) {
            bAnyAlpha = bAnyAlpha || Alpha(px) != 0;
            bAllOpaque = bAllOpaque && Alpha(px) == 0xFF;
        }
        const bool bKeepAlpha = bAnyAlpha && !bAllOpaque;
        for (size_t i = 0; i < colour.size(); ++i) {
            if ((mask[i] & 0xFFFFFF) == 0)
                colour[i] = transform(colour[i]);
            if (!bKeepAlpha)
                colour[i] &= 0xFFFFFF;
        }
        if (const CScopedBitmap hColour{CXTPImageManager::CreateBitmap32(size, colour.data())}) {
            ICONINFO iiNew = {TRUE, 0, 0, ii.hbmMask, hColour};
            hResult = ::CreateIconIndirect(&iiNew);
        }
    }
    return hResult;
}

template <class F> HBITMAP TransformBitmap(HBITMAP hBitmap, F transform)
{
    CSize size;
    std::vector<DWORD> pixels;
    if (!CXTPImageManager::GetBitmapBits32(hBitmap, size, pixels))
        return nullptr;
    for (DWORD& px : pixels)
        px = transform(px);
    return CXTPImageManager::CreateBitmap32(size, pixels.data());
}

template <class F>
void MakeVariant(CXTPImageManagerIconHandle& hTarget, CXTPImageManagerIconHandle& hSource, F transform)
{
    if (!hTarget.IsEmpty() || hSource.IsEmpty())
        return;
    if (hSource.IsAlpha()) {
        if (HBITMAP hBitmap = TransformBitmap(hSource.GetBitmap(), transform))
            hTarget.AttachBitmap(hBitmap);
    } else if (HICON hIcon = TransformIcon(hSource.GetIcon(), transform)) {
        hTarget.AttachIcon(hIcon);
    }
}

// Archive bitmap blocks ---------------------------------------------------------------------------------------

const UINT kInfoBytes = 52;

struct BitmapInfo52
{
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

UINT Stride(int nWidth, int nBits)
{
    return ((static_cast<UINT>(nWidth) * nBits + 31) / 32) * 4;
}

// Colour bitmaps are written at 32 bits (a colour table would not fit the 52-byte info), masks at 1 bit.
void WriteBitmapBlock(CArchive& ar, HBITMAP hBitmap, bool bMask)
{
    BITMAP bm = {};
    if (!hBitmap || !::GetObjectW(hBitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
        ar.WriteCount(0);
        return;
    }
    BitmapInfo52 info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bMask ? 1 : 32;
    info.bmiHeader.biCompression = BI_RGB;
    const UINT nBytes = Stride(bm.bmWidth, info.bmiHeader.biBitCount) * bm.bmHeight;
    info.bmiHeader.biSizeImage = nBytes;
    std::vector<BYTE> bits(nBytes);
    if (bMask) {
        CScopedWindowDC dc(nullptr);
        if (!::GetDIBits(dc, hBitmap, 0, bm.bmHeight, bits.data(), reinterpret_cast<BITMAPINFO*>(&info),
                         DIB_RGB_COLORS)) {
            ar.WriteCount(0);
            return;
        }
        info.bmiHeader.biSizeImage = nBytes;
    } else {
        CSize size;
        std::vector<DWORD> pixels;
        if (!CXTPImageManager::GetBitmapBits32(hBitmap, size, pixels)) {
            ar.WriteCount(0);
            return;
        }
        // Bottom-up, as the platform reports bitmaps.
        for (int y = 0; y < size.cy; ++y)
            memcpy(bits.data() + static_cast<size_t>(y) * size.cx * 4,
                   pixels.data() + static_cast<size_t>(size.cy - 1 - y) * size.cx, size.cx * 4);
    }
    ar.WriteCount(kInfoBytes);
    ar.Write(&info, kInfoBytes);
    ar.WriteCount(nBytes);
    ar.Write(bits.data(), nBytes);
}

// Null for an empty block; raises the archive's exception for a block that cannot be a bitmap.
HBITMAP ReadBitmapBlock(CArchive& ar)
{
    const DWORD_PTR nInfo = ar.ReadCount();
    if (nInfo == 0)
        return nullptr;
    if (nInfo != kInfoBytes)
        AfxThrowArchiveException(CArchiveException::genericException);
    BitmapInfo52 info = {};
    if (ar.Read(&info, kInfoBytes) != kInfoBytes)
        AfxThrowArchiveException(CArchiveException::endOfFile);
    const BITMAPINFOHEADER& bih = info.bmiHeader;
    const int nHeight = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    if (bih.biSize != sizeof(BITMAPINFOHEADER) || bih.biWidth <= 0 || bih.biWidth > kMaxImageSide || nHeight == 0 ||
        nHeight > kMaxImageSide || bih.biCompression != BI_RGB ||
        (bih.biBitCount != 1 && bih.biBitCount != 16 && bih.biBitCount != 24 && bih.biBitCount != 32))
        AfxThrowArchiveException(CArchiveException::genericException);
    info.bmiHeader.biClrUsed = 0;
    const UINT nExpected = Stride(bih.biWidth, bih.biBitCount) * nHeight;
    const DWORD_PTR nBytes = ar.ReadCount();
    if (nBytes != nExpected)
        AfxThrowArchiveException(CArchiveException::genericException);
    std::vector<BYTE> bits(nExpected);
    if (ar.Read(bits.data(), nExpected) != nExpected)
        AfxThrowArchiveException(CArchiveException::endOfFile);
    void* pBits = nullptr;
    HBITMAP hBitmap =
        ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!hBitmap || !pBits)
        AfxThrowMemoryException();
    memcpy(pBits, bits.data(), nExpected);
    return hBitmap;
}

void WriteImageBlock(CArchive& ar, CXTPImageManagerIconHandle& hImage)
{
    if (hImage.IsAlpha()) {
        WriteBitmapBlock(ar, hImage.GetBitmap(), false);
        ar.WriteCount(0);
        return;
    }
    // Owned here: a write that throws must not leak the icon's bitmaps.
    CScopedIconInfo info;
    if (!info.Read(hImage.GetIcon())) {
        ar.WriteCount(0);
        ar.WriteCount(0);
        return;
    }
    WriteBitmapBlock(ar, info->hbmColor, false);
    WriteBitmapBlock(ar, info->hbmMask, true);
}

void ReadImageBlock(CArchive& ar, CXTPImageManagerIconHandle& hImage)
{
    CScopedBitmap colour(ReadBitmapBlock(ar));
    CScopedBitmap mask(ReadBitmapBlock(ar));
    hImage.Clear();
    if (colour && mask) {
        BITMAP bm = {};
        ::GetObjectW(colour, sizeof(bm), &bm);
        HICON hIcon = nullptr;
        {
            const CScopedImageList hList(ImageList_Create(bm.bmWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 1));
            if (!hList)
                AfxThrowMemoryException();
            if (ImageList_Add(hList, colour, mask) == 0)
                hIcon = ImageList_GetIcon(hList, 0, ILD_NORMAL);
        }
        if (!hIcon)
            AfxThrowArchiveException(CArchiveException::genericException);
        hImage.AttachIcon(hIcon);
    } else if (colour) {
        hImage.AttachBitmap(colour.Detach());
    } else if (mask) {
        AfxThrowArchiveException(CArchiveException::genericException);
    }
}

bool ReadAt(const CScopedFile& file, DWORD offset, void* buffer, DWORD bytes)
{
    DWORD got = 0;
    return file && ::SetFilePointer(file, offset, nullptr, FILE_BEGIN) == offset &&
           ::ReadFile(file, buffer, bytes, &got, nullptr) && got == bytes;
}

// A DIB section of 32-bit pixels that follow a header, in the header's own row order.
HBITMAP Dib32FromHeader(const BITMAPINFOHEADER& header, const BYTE* pPixels, size_t nAvailable)
{
    BITMAPINFOHEADER bih = header;
    const LONG nHeight = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    if (bih.biBitCount != 32 || bih.biWidth <= 0 || bih.biWidth > kMaxImageSide || nHeight == 0 ||
        nHeight > kMaxImageSide || (bih.biCompression != BI_RGB && bih.biCompression != BI_BITFIELDS))
        return nullptr;
    const size_t nBytes = static_cast<size_t>(bih.biWidth) * 4 * nHeight;
    if (nAvailable < nBytes)
        return nullptr;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = static_cast<DWORD>(nBytes);
    bih.biClrUsed = 0;
    void* pBits = nullptr;
    HBITMAP hBitmap =
        ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (hBitmap && pBits)
        memcpy(pBits, pPixels, nBytes);
    return hBitmap;
}

CXTPImageManager* g_pImageManager = nullptr;

void DestroyImageManagerAtExit()
{
    delete g_pImageManager;
    g_pImageManager = nullptr;
}

} // namespace

// CXTPImageManagerIconHandle ------------------------------------------------------------------------------------

CXTPImageManagerIconHandle::CXTPImageManagerIconHandle()
    : m_hIcon(nullptr), m_hBitmap(nullptr), m_hPremultipliedBitmap(nullptr), m_bOwns(TRUE), m_hCachedIcon(nullptr)
{
}

CXTPImageManagerIconHandle::CXTPImageManagerIconHandle(HICON hIcon)
    : m_hIcon(hIcon), m_hBitmap(nullptr), m_hPremultipliedBitmap(nullptr), m_bOwns(FALSE), m_hCachedIcon(nullptr)
{
}

CXTPImageManagerIconHandle::CXTPImageManagerIconHandle(HBITMAP hBitmap)
    : m_hIcon(nullptr), m_hBitmap(hBitmap), m_hPremultipliedBitmap(nullptr), m_bOwns(FALSE), m_hCachedIcon(nullptr)
{
}

CXTPImageManagerIconHandle::CXTPImageManagerIconHandle(const CXTPImageManagerIconHandle& other)
    : m_hIcon(other.m_hIcon), m_hBitmap(other.m_hBitmap), m_hPremultipliedBitmap(nullptr), m_bOwns(FALSE),
      m_hCachedIcon(nullptr)
{
}

CXTPImageManagerIconHandle& CXTPImageManagerIconHandle::operator=(const CXTPImageManagerIconHandle& other)
{
    if (this != &other) {
        Clear();
        m_hIcon = other.m_hIcon;
        m_hBitmap = other.m_hBitmap;
        m_bOwns = FALSE;
    }
    return *this;
}

CXTPImageManagerIconHandle::~CXTPImageManagerIconHandle()
{
    Clear();
}

void CXTPImageManagerIconHandle::Clear()
{
    if (m_bOwns) {
        if (m_hIcon)
            ::DestroyIcon(m_hIcon);
        if (m_hBitmap)
            ::DeleteObject(m_hBitmap);
    }
    if (m_hPremultipliedBitmap)
        ::DeleteObject(m_hPremultipliedBitmap);
    if (m_hCachedIcon)
        ::DestroyIcon(m_hCachedIcon);
    m_hIcon = nullptr;
    m_hBitmap = nullptr;
    m_hPremultipliedBitmap = nullptr;
    m_hCachedIcon = nullptr;
    m_bOwns = TRUE;
}

void CXTPImageManagerIconHandle::AttachIcon(HICON hIcon)
{
    Clear();
    m_hIcon = hIcon;
}

void CXTPImageManagerIconHandle::AttachBitmap(HBITMAP hBitmap)
{
    Clear();
    m_hBitmap = hBitmap;
}

BOOL CXTPImageManagerIconHandle::CopyBitmap(HBITMAP hBitmap)
{
    Clear();
    m_hBitmap = CXTPImageManager::CopyAlphaBitmap(hBitmap);
    return m_hBitmap != nullptr;
}

BOOL CXTPImageManagerIconHandle::CopyHandle(const CXTPImageManagerIconHandle& other)
{
    if (&other == this)
        return !IsEmpty();
    if (other.IsAlpha())
        return CopyBitmap(other.GetBitmap());
    Clear();
    if (!other.GetIcon())
        return FALSE;
    m_hIcon = ::CopyIcon(other.GetIcon());
    return m_hIcon != nullptr;
}

CSize CXTPImageManagerIconHandle::GetExtent() const
{
    if (m_hIcon) {
        CScopedIconInfo info;
        if (!info.Read(m_hIcon))
            return CSize(0, 0);
        BITMAP bm = {};
        ::GetObjectW(info->hbmMask, sizeof(bm), &bm);
        return CSize(bm.bmWidth, info->hbmColor ? bm.bmHeight : bm.bmHeight / 2);
    }
    if (m_hBitmap) {
        BITMAP bm = {};
        ::GetObjectW(m_hBitmap, sizeof(bm), &bm);
        return CSize(bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight);
    }
    return CSize(0, 0);
}

HBITMAP CXTPImageManagerIconHandle::PreMultiply()
{
    if (!m_hPremultipliedBitmap && m_hBitmap)
        m_hPremultipliedBitmap = CXTPImageManager::PremultiplyAlpha(m_hBitmap);
    return m_hPremultipliedBitmap;
}

// CXTPImageManagerIcon -----------------------------------------------------------------------------------------

CXTPImageManagerIcon::CXTPImageManagerIcon(UINT nID, int nWidth, int nHeight, CXTPImageManagerIconSet* pIconSet)
    : m_nID(nID), m_nWidth(nWidth), m_nHeight(nHeight), m_pIconSet(pIconSet), m_bScaled(FALSE)
{
}

CXTPImageManagerIcon::~CXTPImageManagerIcon()
{
    Clear();
}

CXTPImageManager* CXTPImageManagerIcon::GetImageManager() const
{
    return m_pIconSet && m_pIconSet->m_pImageManager ? m_pIconSet->m_pImageManager : XTPImageManager();
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetFadedIcon()
{
    if (m_hFaded.IsEmpty() && !m_hIcon.IsEmpty()) {
        if (m_hIcon.IsAlpha() || ScreenHasManyColors())
            MakeVariant(m_hFaded, m_hIcon, FadedPixel);
    }
    return m_hFaded.IsEmpty() ? m_hIcon : m_hFaded;
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetShadowIcon()
{
    if (m_hShadow.IsEmpty()) {
        const COLORREF clr = ShadowColor();
        MakeVariant(m_hShadow, GetHotIcon(),
                    [clr](DWORD px) { return Pixel(GetRValue(clr), GetGValue(clr), GetBValue(clr), Alpha(px)); });
    }
    return m_hShadow.IsEmpty() ? m_hIcon : m_hShadow;
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetDisabledIcon()
{
    if (!m_hDisabledIcon.IsEmpty())
        return m_hDisabledIcon;
    if (m_hDisabledAuto.IsEmpty()) {
        MakeVariant(m_hDisabledAuto, m_hIcon, [](DWORD px) {
            const BYTE g = GreyLevel(px);
            return Pixel(g, g, g, static_cast<int>(Alpha(px) / kDisabledAlphaDivisor));
        });
    }
    return m_hDisabledAuto.IsEmpty() ? m_hIcon : m_hDisabledAuto;
}

BOOL CXTPImageManagerIcon::SetIcon(const CXTPImageManagerIconHandle& hIcon)
{
    CXTPImageManagerIconHandle hCopy;
    if (!hCopy.CopyHandle(hIcon))
        return FALSE;
    Clear();
    m_hIcon.CopyHandle(hCopy);
    const CSize size = m_hIcon.GetExtent();
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    if (m_pIconSet)
        m_pIconSet->RefreshAll();
    return TRUE;
}

BOOL CXTPImageManagerIcon::SetHotIcon(const CXTPImageManagerIconHandle& hIcon)
{
    Refresh();
    return m_hHotIcon.CopyHandle(hIcon);
}

BOOL CXTPImageManagerIcon::SetDisabledIcon(const CXTPImageManagerIconHandle& hIcon)
{
    Refresh();
    return m_hDisabledIcon.CopyHandle(hIcon);
}

void CXTPImageManagerIcon::Refresh()
{
    m_hFaded.Clear();
    m_hShadow.Clear();
    m_hDisabledAuto.Clear();
}

void CXTPImageManagerIcon::Clear()
{
    m_hIcon.Clear();
    m_hFaded.Clear();
    m_hShadow.Clear();
    m_hHotIcon.Clear();
    m_hDisabledIcon.Clear();
    m_hDisabledAuto.Clear();
}

void CXTPImageManagerIcon::Draw(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon, int cx, int cy)
{
    if (!pDC || !pDC->m_hDC || hIcon.IsEmpty())
        return;
    if (cx == 0)
        cx = m_nWidth;
    if (cy == 0)
        cy = m_nWidth > 0 ? cx * m_nHeight / m_nWidth : m_nHeight;
    CXTPImageManager* pManager = GetImageManager();
    if (hIcon.IsAlpha()) {
        HBITMAP hPremultiplied = hIcon.PreMultiply();
        if (!hPremultiplied || !pManager->IsAlphaBlendAvailable())
            return;
        const CSize size = hIcon.GetExtent();
        const CScopedCreatedDC memory(::CreateCompatibleDC(pDC->m_hDC));
        const CScopedSelect select(memory, hPremultiplied);
        pManager->AlphaBlend(pDC->m_hDC, pt.x, pt.y, cx, cy, memory, 0, 0, size.cx, size.cy);
        return;
    }
    if (::GetDeviceCaps(pDC->m_hDC, TECHNOLOGY) == DT_RASPRINTER) {
        // Printer drivers draw icons poorly; an image list renders them through a bitmap.
        if (const CScopedImageList hList{ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, 0, 1)}) {
            ImageList_AddIcon(hList, hIcon.GetIcon());
            ImageList_Draw(hList, 0, pDC->m_hDC, pt.x, pt.y, ILD_NORMAL);
        }
        return;
    }
    if (pManager->m_bDrawReverted)
        ::DrawIconEx(pDC->m_hDC, pt.x + cx, pt.y, hIcon.GetIcon(), -cx, cy, 0, nullptr, DI_NORMAL);
    else
        ::DrawIconEx(pDC->m_hDC, pt.x, pt.y, hIcon.GetIcon(), cx, cy, 0, nullptr, DI_NORMAL);
}

void CXTPImageManagerIcon::DrawMono(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon, COLORREF clr)
{
    if (!pDC || !pDC->m_hDC || hIcon.IsAlpha() || !hIcon.GetIcon())
        return;
    const CScopedBrush hBrush(::CreateSolidBrush(clr));
    const CSize size = hIcon.GetExtent();
    if (GetImageManager()->m_bDrawReverted) {
        // DrawState cannot mirror: the mirrored icon is put on a white bitmap first.
        const CScopedBitmap hBitmap(::CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
        {
            const CScopedCreatedDC memory(::CreateCompatibleDC(pDC->m_hDC));
            const CScopedSelect select(memory, hBitmap);
            ::PatBlt(memory, 0, 0, size.cx, size.cy, WHITENESS);
            ::DrawIconEx(memory, size.cx, 0, hIcon.GetIcon(), -size.cx, size.cy, 0, nullptr, DI_MASK);
        }
        ::DrawStateW(pDC->m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hBitmap.Get()), 0, pt.x, pt.y, size.cx,
                     size.cy, DST_BITMAP | DSS_MONO);
    } else {
        ::DrawStateW(pDC->m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hIcon.GetIcon()), 0, pt.x, pt.y, size.cx,
                     size.cy, DST_ICON | DSS_MONO);
    }
}

void CXTPImageManagerIcon::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_nHeight);
        ar << static_cast<DWORD>(0);
        WriteImageBlock(ar, m_hIcon);
        WriteImageBlock(ar, m_hDisabledIcon);
        WriteImageBlock(ar, m_hHotIcon);
    } else {
        DWORD nHeight = 0, nReserved = 0;
        ar >> nHeight >> nReserved;
        Clear();
        m_nHeight = static_cast<int>(nHeight);
        ReadImageBlock(ar, m_hIcon);
        ReadImageBlock(ar, m_hDisabledIcon);
        ReadImageBlock(ar, m_hHotIcon);
    }
}

// CXTPImageManagerIconSet --------------------------------------------------------------------------------------

CXTPImageManagerIconSet::CXTPImageManagerIconSet(UINT nID, CXTPImageManager* pImageManager)
    : m_mapIcons(10), m_nID(nID), m_pImageManager(pImageManager)
{
    m_mapIcons.InitHashTable(17);
}

CXTPImageManagerIconSet::~CXTPImageManagerIconSet()
{
    RemoveAll();
}

void CXTPImageManagerIconSet::RemoveAll()
{
    POSITION pos = m_mapIcons.GetStartPosition();
    while (pos) {
        UINT nWidth = 0;
        CXTPImageManagerIcon* pIcon = nullptr;
        m_mapIcons.GetNextAssoc(pos, nWidth, pIcon);
        delete pIcon;
    }
    m_mapIcons.RemoveAll();
}

CXTPImageManagerIcon* CXTPImageManagerIconSet::GetIcon(UINT nWidth, BOOL bCreate)
{
    CXTPImageManagerIcon* pIcon = nullptr;
    if (m_mapIcons.Lookup(nWidth, pIcon) || !bCreate)
        return pIcon;
    pIcon = new CXTPImageManagerIcon(m_nID, static_cast<int>(nWidth), 15, this);
    m_mapIcons.SetAt(nWidth, pIcon);
    return pIcon;
}

CXTPImageManagerIcon* CXTPImageManagerIconSet::GetImage(UINT nWidth)
{
    CXTPImageManagerIcon* pIcon = nullptr;
    if (m_mapIcons.Lookup(nWidth, pIcon))
        return pIcon;
    CXTPImageManagerIcon* pNearest = nullptr;
    UINT nBestDistance = 0;
    POSITION pos = m_mapIcons.GetStartPosition();
    while (pos) {
        UINT nStored = 0;
        m_mapIcons.GetNextAssoc(pos, nStored, pIcon);
        const UINT nDistance = nStored > nWidth ? nStored - nWidth : nWidth - nStored;
        if (!pNearest || nDistance < nBestDistance) {
            pNearest = pIcon;
            nBestDistance = nDistance;
        }
    }
    if (!pNearest || nWidth == 0 || pNearest->IsAlpha() || pNearest->m_hIcon.IsEmpty())
        return pNearest;
    CXTPImageManagerIcon* pScaled = MakeScaledCopy(pNearest, nWidth);
    return pScaled ? pScaled : pNearest;
}

CXTPImageManagerIcon* CXTPImageManagerIconSet::MakeScaledCopy(CXTPImageManagerIcon* pIcon, UINT nWidth)
{
    const int cx = static_cast<int>(nWidth);
    const int cy = pIcon->m_nWidth > 0 ? MulDiv(pIcon->m_nHeight, cx, pIcon->m_nWidth) : cx;
    if (cy <= 0)
        return nullptr;
    const CScopedImageList hList(ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 0, 3));
    if (!hList)
        return nullptr;
    auto scale = [&hList](CXTPImageManagerIconHandle& hSource, CXTPImageManagerIconHandle& hTarget) {
        if (hSource.IsEmpty() || hSource.IsAlpha())
            return;
        const int nIndex = ImageList_ReplaceIcon(hList, -1, hSource.GetIcon());
        if (nIndex >= 0)
            hTarget.AttachIcon(ImageList_GetIcon(hList, nIndex, ILD_NORMAL));
    };
    std::unique_ptr<CXTPImageManagerIcon> pScaled(new CXTPImageManagerIcon(m_nID, cx, cy, this));
    scale(pIcon->m_hIcon, pScaled->m_hIcon);
    scale(pIcon->m_hDisabledIcon, pScaled->m_hDisabledIcon);
    scale(pIcon->m_hHotIcon, pScaled->m_hHotIcon);
    if (pScaled->m_hIcon.IsEmpty())
        return nullptr;
    pScaled->m_bScaled = TRUE;
    m_mapIcons.SetAt(nWidth, pScaled.get());
    return pScaled.release();
}

void CXTPImageManagerIconSet::RefreshAll()
{
    POSITION pos = m_mapIcons.GetStartPosition();
    while (pos) {
        UINT nWidth = 0;
        CXTPImageManagerIcon* pIcon = nullptr;
        m_mapIcons.GetNextAssoc(pos, nWidth, pIcon);
        if (pIcon->m_bScaled) {
            m_mapIcons.RemoveKey(nWidth);
            delete pIcon;
        } else {
            pIcon->Refresh();
        }
    }
}

void CXTPImageManagerIconSet::Serialize(CArchive& ar)
{
    static const wchar_t kClassName[] = L"CXTPImageManagerIcons";
    if (ar.IsStoring()) {
        ar << CString(kClassName);
        ar.WriteCount(m_mapIcons.GetCount());
        POSITION pos = m_mapIcons.GetStartPosition();
        while (pos) {
            UINT nWidth = 0;
            CXTPImageManagerIcon* pIcon = nullptr;
            m_mapIcons.GetNextAssoc(pos, nWidth, pIcon);
            ar << static_cast<DWORD>(nWidth);
            pIcon->Serialize(ar);
        }
        return;
    }
    CString strName;
    ar >> strName;
    if (strName != kClassName)
        AfxThrowArchiveException(CArchiveException::badClass);
    RemoveAll();
    const DWORD_PTR nCount = ar.ReadCount();
    for (DWORD_PTR i = 0; i < nCount; ++i) {
        DWORD nWidth = 0;
        ar >> nWidth;
        // The icon joins the map only once it was read whole, so that a failure leaks nothing.
        std::unique_ptr<CXTPImageManagerIcon> pIcon(new CXTPImageManagerIcon(m_nID, static_cast<int>(nWidth), 0, this));
        pIcon->Serialize(ar);
        CXTPImageManagerIcon* pOld = nullptr;
        if (m_mapIcons.Lookup(nWidth, pOld))
            delete pOld;
        m_mapIcons.SetAt(nWidth, pIcon.release());
    }
}

// CXTPImageManager ---------------------------------------------------------------------------------------------

CXTPImageManager::CXTPImageManager()
    : m_nImageClipFormat(::RegisterClipboardFormatW(L"Toolkit ToolBar Image")),
      m_nAlphaClipFormat(::RegisterClipboardFormatW(L"Alpha Bitmap Image")), m_clrMask(COLORREF(-1)), m_mapImages(10),
      m_nCustomID(kFirstCustomID), m_hMsImgDll(::LoadLibraryW(L"msimg32.dll")),
      m_pfnAlphaBlend(m_hMsImgDll ? ::GetProcAddress(m_hMsImgDll, "AlphaBlend") : nullptr), m_bDrawReverted(FALSE)
{
    m_mapImages.InitHashTable(17);
}

CXTPImageManager::~CXTPImageManager()
{
    RemoveAll();
    if (m_hMsImgDll)
        ::FreeLibrary(m_hMsImgDll);
}

BOOL CXTPImageManager::AlphaBlend(HDC hdcDest, int x, int y, int cx, int cy, HDC hdcSrc, int xSrc, int ySrc, int cxSrc,
                                  int cySrc) const
{
    if (!m_pfnAlphaBlend)
        return FALSE;
    using PFNALPHABLEND = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    auto pfn = reinterpret_cast<PFNALPHABLEND>(reinterpret_cast<void*>(m_pfnAlphaBlend));
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return pfn(hdcDest, x, y, cx, cy, hdcSrc, xSrc, ySrc, cxSrc, cySrc, blend);
}

void CXTPImageManager::RaiseCustomID(UINT nID)
{
    if (nID > m_nCustomID)
        m_nCustomID = nID;
}

CXTPImageManagerIconSet* CXTPImageManager::GetIconSet(UINT nCommand) const
{
    CXTPImageManagerIconSet* pSet = nullptr;
    return m_mapImages.Lookup(nCommand, pSet) ? pSet : nullptr;
}

CXTPImageManagerIcon* CXTPImageManager::GetImage(UINT nCommand, int nWidth) const
{
    CXTPImageManagerIconSet* pSet = GetIconSet(nCommand);
    return pSet ? pSet->GetImage(static_cast<UINT>(std::max(0, nWidth))) : nullptr;
}

BOOL CXTPImageManager::SetIcon(const CXTPImageManagerIconHandle& hIcon, UINT nIDCommand, int nWidth, int nHeight,
                               int nKind)
{
    if (hIcon.IsEmpty())
        return FALSE;
    if (nWidth == 0 && nHeight == 0) {
        const CSize size = hIcon.GetExtent();
        nWidth = size.cx;
        nHeight = size.cy;
    }
    if (nWidth <= 0 || nHeight <= 0)
        return FALSE;
    CXTPImageManagerIconSet* pSet = GetIconSet(nIDCommand);
    if (!pSet) {
        if (nKind != xtpImageNormal)
            return FALSE;
        pSet = new CXTPImageManagerIconSet(nIDCommand, this);
        m_mapImages.SetAt(nIDCommand, pSet);
    }
    CXTPImageManagerIcon* pIcon = pSet->GetIcon(static_cast<UINT>(nWidth), TRUE);
    switch (nKind) {
    case xtpImageNormal:
        return pIcon->SetIcon(hIcon);
    case xtpImageDisabled:
        return pIcon->SetDisabledIcon(hIcon);
    case xtpImageHot:
        return pIcon->SetHotIcon(hIcon);
    default:
        return FALSE;
    }
}

BOOL CXTPImageManager::SetIconsFromImageList(HIMAGELIST hImageList, const UINT* pCommands, int nCount, int nWidth,
                                             int nHeight, int nKind)
{
    if (!hImageList)
        return FALSE;
    const int nImages = ImageList_GetImageCount(hImageList);
    if (nWidth == 0 && nHeight == 0 && nImages > 0) {
        IMAGEINFO info = {};
        if (ImageList_GetImageInfo(hImageList, 0, &info)) {
            nWidth = info.rcImage.right - info.rcImage.left;
            nHeight = info.rcImage.bottom - info.rcImage.top;
        }
    }
    auto take = [&](int nImage, UINT nID) {
        CXTPImageManagerIconHandle hIcon;
        hIcon.AttachIcon(ImageList_GetIcon(hImageList, nImage, ILD_NORMAL));
        return !hIcon.IsEmpty() && SetIcon(hIcon, nID, nWidth, nHeight, nKind);
    };
    if (!pCommands && nCount == 0) {
        for (int i = 0; i < nImages; ++i) {
            if (!take(i, static_cast<UINT>(i)))
                return FALSE;
        }
        return TRUE;
    }
    if (!pCommands)
        return FALSE;
    const bool bSeparators = nCount != nImages;
    int nImage = 0;
    for (int i = 0; i < nCount; ++i) {
        if (pCommands[i] == 0) {
            if (!bSeparators)
                ++nImage;
            continue;
        }
        if (nImage >= nImages || !take(nImage, pCommands[i]))
            return FALSE;
        ++nImage;
    }
    return TRUE;
}

BOOL CXTPImageManager::SetIconsFromBitmap(UINT nIDResourceBitmap, const UINT* pCommands, int nCount, int nWidth,
                                          int nHeight, int nKind)
{
    const BOOL bAlpha = IsAlphaBitmapResource(nIDResourceBitmap);
    const CScopedBitmap hBitmap(bAlpha ? LoadAlphaBitmapResource(nIDResourceBitmap)
                                       : ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResourceBitmap)));
    if (!hBitmap)
        return FALSE;
    BITMAP bm = {};
    ::GetObjectW(hBitmap, sizeof(bm), &bm);
    const int nBitmapHeight = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    if (nWidth == 0 && nHeight == 0) {
        nHeight = nBitmapHeight;
        nWidth = nCount > 0 ? bm.bmWidth / nCount : 0;
    }
    if (nCount == 0 && nWidth > 0)
        nCount = bm.bmWidth / nWidth;
    return SetIconsFromBitmap(hBitmap, pCommands, nCount, nWidth, nHeight, nKind, bAlpha);
}

BOOL CXTPImageManager::SetIconsFromBitmap(HBITMAP hBitmap, const UINT* pCommands, int nCount, int nWidth, int nHeight,
                                          int nKind, BOOL bAlpha)
{
    BITMAP bm = {};
    if (!hBitmap || !::GetObjectW(hBitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || nWidth <= 0 || nHeight <= 0)
        return FALSE;
    if (!bAlpha) {
        const CScopedImageList hList(ImageList_Create(nWidth, nHeight, ILC_COLOR24 | ILC_MASK, 0, 1));
        if (!hList)
            return FALSE;
        COLORREF clrMask = m_clrMask;
        if (clrMask == COLORREF(-1)) {
            const CScopedCreatedDC memory(::CreateCompatibleDC(nullptr));
            const CScopedSelect select(memory, hBitmap);
            clrMask = ::GetPixel(memory, 0, 0);
        }
        return ImageList_AddMasked(hList, hBitmap, clrMask) >= 0 &&
               SetIconsFromImageList(hList, pCommands, nCount, nWidth, nHeight, nKind);
    }
    if (bm.bmWidth % nWidth != 0)
        return FALSE;
    CSize size;
    std::vector<DWORD> pixels;
    if (!GetBitmapBits32(hBitmap, size, pixels))
        return FALSE;
    const int nImages = bm.bmWidth / nWidth;
    const int nRows = std::min<int>(nHeight, size.cy);
    std::vector<CScopedBitmap> parts;
    for (int i = 0; i < nImages; ++i) {
        std::vector<DWORD> part(static_cast<size_t>(nWidth) * nRows);
        for (int y = 0; y < nRows; ++y)
            memcpy(&part[static_cast<size_t>(y) * nWidth], &pixels[static_cast<size_t>(y) * size.cx + i * nWidth],
                   nWidth * 4);
        parts.emplace_back(CreateBitmap32(CSize(nWidth, nRows), part.data()));
    }
    BOOL bResult = TRUE;
    const bool bSeparators = pCommands && nCount != nImages;
    int nImage = 0;
    for (int i = 0; bResult && i < (pCommands ? nCount : nImages); ++i) {
        const UINT nID = pCommands ? pCommands[i] : static_cast<UINT>(i);
        if (pCommands && nID == 0) {
            if (!bSeparators)
                ++nImage;
            continue;
        }
        if (nImage >= nImages || !parts[nImage]) {
            bResult = FALSE;
            break;
        }
        bResult = SetIcon(CXTPImageManagerIconHandle(parts[nImage].Get()), nID, nWidth, nRows, nKind);
        ++nImage;
    }
    return bResult;
}

BOOL CXTPImageManager::SetIconsFromToolBar(UINT nIDResourceToolBar, int nKind)
{
    HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceW(hInstance, MAKEINTRESOURCEW(nIDResourceToolBar), MAKEINTRESOURCEW(241));
    if (!hResource)
        return FALSE;
    const DWORD nSize = ::SizeofResource(hInstance, hResource);
    HGLOBAL hGlobal = ::LoadResource(hInstance, hResource);
    const WORD* pData = hGlobal ? static_cast<const WORD*>(::LockResource(hGlobal)) : nullptr;
    if (!pData || nSize < 8 || pData[0] != 1)
        return FALSE;
    const int nWidth = pData[1], nHeight = pData[2], nCount = pData[3];
    if (nSize < 8u + 2u * nCount)
        return FALSE;
    std::vector<UINT> ids(pData + 4, pData + 4 + nCount);
    return SetIconsFromBitmap(nIDResourceToolBar, ids.data(), nCount, nWidth, nHeight, nKind);
}

BOOL CXTPImageManager::SetIconFromResource(UINT nIDResourceIcon, UINT nIDCommand, int nWidth)
{
    CXTPImageManagerIconHandle hIcon;
    hIcon.AttachIcon(static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResourceIcon), IMAGE_ICON, nWidth, nWidth, 0)));
    return !hIcon.IsEmpty() && SetIcon(hIcon, nIDCommand, nWidth, nWidth);
}

BOOL CXTPImageManager::SetIconFromIconFile(LPCWSTR lpszPath, UINT nIDCommand, int nWidth)
{
    CXTPImageManagerIconHandle hIcon;
    if (HBITMAP hBitmap = LoadAlphaIconFile(lpszPath, nWidth)) {
        hIcon.AttachBitmap(hBitmap);
    } else {
        hIcon.AttachIcon(
            static_cast<HICON>(::LoadImageW(nullptr, lpszPath, IMAGE_ICON, nWidth, nWidth, LR_LOADFROMFILE)));
    }
    return !hIcon.IsEmpty() && SetIcon(hIcon, nIDCommand);
}

UINT CXTPImageManager::AddCustomIcon(const CXTPImageManagerIconHandle& hIcon)
{
    const UINT nID = m_nCustomID + 1;
    if (!SetIcon(hIcon, nID))
        return 0;
    m_nCustomID = nID;
    return nID;
}

void CXTPImageManager::RefreshAll()
{
    POSITION pos = m_mapImages.GetStartPosition();
    while (pos) {
        UINT nID = 0;
        CXTPImageManagerIconSet* pSet = nullptr;
        m_mapImages.GetNextAssoc(pos, nID, pSet);
        pSet->RefreshAll();
    }
}

void CXTPImageManager::RemoveAll()
{
    POSITION pos = m_mapImages.GetStartPosition();
    while (pos) {
        UINT nID = 0;
        CXTPImageManagerIconSet* pSet = nullptr;
        m_mapImages.GetNextAssoc(pos, nID, pSet);
        delete pSet;
    }
    m_mapImages.RemoveAll();
}

void CXTPImageManager::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(m_mapImages.GetCount());
        POSITION pos = m_mapImages.GetStartPosition();
        while (pos) {
            UINT nID = 0;
            CXTPImageManagerIconSet* pSet = nullptr;
            m_mapImages.GetNextAssoc(pos, nID, pSet);
            ar << static_cast<DWORD>(nID);
            pSet->Serialize(ar);
            RaiseCustomID(nID);
        }
        return;
    }
    // Everything is read aside first: a bad archive leaves the images the manager had.
    std::vector<std::unique_ptr<CXTPImageManagerIconSet>> loaded;
    UINT nMaxID = 0;
    const DWORD_PTR nCount = ar.ReadCount();
    for (DWORD_PTR i = 0; i < nCount; ++i) {
        DWORD nID = 0;
        ar >> nID;
        loaded.emplace_back(new CXTPImageManagerIconSet(nID, this));
        loaded.back()->Serialize(ar);
        nMaxID = std::max<UINT>(nMaxID, nID);
    }
    RemoveAll();
    for (auto& pSet : loaded) {
        const UINT nID = pSet->GetID();
        CXTPImageManagerIconSet* pOld = nullptr;
        if (m_mapImages.Lookup(nID, pOld))
            delete pOld;
        m_mapImages.SetAt(nID, pSet.release());
    }
    RaiseCustomID(nMaxID);
}

BOOL CXTPImageManager::CopyImage(UINT nCommand)
{
    CXTPImageManagerIconSet* pSet = GetIconSet(nCommand);
    if (!pSet)
        return FALSE;
    CMemFile file(1024);
    try {
        CArchive ar(&file, CArchive::store, 4096);
        pSet->Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    const ULONGLONG nLength = file.GetLength();
    CScopedGlobal hGlobal(::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(nLength)));
    if (!hGlobal)
        return FALSE;
    void* pData = ::GlobalLock(hGlobal);
    file.SeekToBegin();
    file.Read(pData, static_cast<UINT>(nLength));
    ::GlobalUnlock(hGlobal);
    if (!::SetClipboardData(m_nImageClipFormat, hGlobal))
        return FALSE;
    // The clipboard owns the memory now.
    hGlobal.Detach();
    return TRUE;
}

UINT CXTPImageManager::PasteImage(IDataObject* pDataObject)
{
    if (!pDataObject)
        return 0;
    FORMATETC format = {static_cast<CLIPFORMAT>(m_nImageClipFormat), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(pDataObject->GetData(&format, &medium)))
        return 0;
    UINT nResult = 0;
    const SIZE_T nSize = medium.tymed == TYMED_HGLOBAL ? ::GlobalSize(medium.hGlobal) : 0;
    const BYTE* pData = nSize ? static_cast<const BYTE*>(::GlobalLock(medium.hGlobal)) : nullptr;
    if (pData) {
        std::vector<BYTE> copy(pData, pData + nSize);
        ::GlobalUnlock(medium.hGlobal);
        const UINT nID = m_nCustomID + 1;
        std::unique_ptr<CXTPImageManagerIconSet> pSet(new CXTPImageManagerIconSet(nID, this));
        try {
            CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
            CArchive ar(&file, CArchive::load, 4096);
            pSet->Serialize(ar);
            if (pSet->GetIcons()->GetCount() > 0) {
                m_mapImages.SetAt(nID, pSet.release());
                m_nCustomID = nID;
                nResult = nID;
            }
        } catch (CException* e) {
            e->Delete();
        }
    }
    ::ReleaseStgMedium(&medium);
    return nResult;
}

BOOL CXTPImageManager::IsComCtl32Version6()
{
    BOOL bResult = FALSE;
    if (const CScopedModule hComCtl{::LoadLibraryW(L"comctl32.dll")}) {
        auto pfn =
            reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(::GetProcAddress(hComCtl, "DllGetVersion")));
        DLLVERSIONINFO dvi = {};
        dvi.cbSize = sizeof(dvi);
        bResult = pfn && SUCCEEDED(pfn(&dvi)) && dvi.dwMajorVersion > 5;
    }
    return bResult;
}

// DIB helpers --------------------------------------------------------------------------------------------------

HBITMAP CXTPImageManager::LoadAlphaBitmapResource(UINT nIDResource)
{
    HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceW(hInstance, MAKEINTRESOURCEW(nIDResource), RT_BITMAP);
    if (!hResource)
        return nullptr;
    const DWORD nSize = ::SizeofResource(hInstance, hResource);
    HGLOBAL hGlobal = ::LoadResource(hInstance, hResource);
    const BYTE* pData = hGlobal ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
    if (!pData || nSize < sizeof(BITMAPINFOHEADER))
        return nullptr;
    BITMAPINFOHEADER bih;
    memcpy(&bih, pData, sizeof(bih));
    if (bih.biSize != sizeof(BITMAPINFOHEADER))
        return nullptr;
    return Dib32FromHeader(bih, pData + bih.biSize, nSize - bih.biSize);
}

HBITMAP CXTPImageManager::LoadAlphaIconFile(LPCWSTR lpszPath, int nWidth)
{
    const CScopedFile file = OpenFileForReading(lpszPath);
    WORD header[3] = {};
    if (!ReadAt(file, 0, header, sizeof(header)) || header[1] != 1)
        return nullptr;
    for (WORD i = 0; i < header[2]; ++i) {
        BYTE entry[16];
        if (!ReadAt(file, 6 + 16u * i, entry, sizeof(entry)))
            return nullptr;
        WORD nBits;
        DWORD nBytes, nOffset;
        memcpy(&nBits, entry + 6, 2);
        memcpy(&nBytes, entry + 8, 4);
        memcpy(&nOffset, entry + 12, 4);
        if (nBits != 32 || (nWidth != 0 && entry[0] != nWidth))
            continue;
        if (nBytes < sizeof(BITMAPINFOHEADER) || nBytes > 64u * 1024 * 1024)
            return nullptr;
        std::vector<BYTE> image(nBytes);
        if (!ReadAt(file, nOffset, image.data(), nBytes))
            return nullptr;
        BITMAPINFOHEADER bih;
        memcpy(&bih, image.data(), sizeof(bih));
        if (bih.biSize != sizeof(BITMAPINFOHEADER))
            return nullptr;
        // Icon images count the colour and mask rows together.
        bih.biHeight /= 2;
        return Dib32FromHeader(bih, image.data() + bih.biSize, nBytes - bih.biSize);
    }
    return nullptr;
}

BOOL CXTPImageManager::IsAlphaBitmapFile(LPCWSTR lpszPath)
{
    const CScopedFile file = OpenFileForReading(lpszPath);
    BYTE header[14 + sizeof(BITMAPINFOHEADER)];
    if (!ReadAt(file, 0, header, sizeof(header)))
        return FALSE;
    BITMAPINFOHEADER bih;
    memcpy(&bih, header + 14, sizeof(bih));
    return bih.biBitCount == 32;
}

BOOL CXTPImageManager::IsAlphaBitmapResource(UINT nIDResource)
{
    HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceW(hInstance, MAKEINTRESOURCEW(nIDResource), RT_BITMAP);
    if (!hResource || ::SizeofResource(hInstance, hResource) < sizeof(BITMAPINFOHEADER))
        return FALSE;
    HGLOBAL hGlobal = ::LoadResource(hInstance, hResource);
    const BYTE* pData = hGlobal ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
    if (!pData)
        return FALSE;
    BITMAPINFOHEADER bih;
    memcpy(&bih, pData, sizeof(bih));
    return bih.biBitCount == 32;
}

BOOL CXTPImageManager::GetBitmapBits32(HBITMAP hBitmap, CSize& size, std::vector<DWORD>& pixels)
{
    DIBSECTION ds = {};
    const int nObject = hBitmap ? ::GetObjectW(hBitmap, sizeof(ds), &ds) : 0;
    if (nObject == 0 || ds.dsBm.bmWidth <= 0 || ds.dsBm.bmHeight == 0)
        return FALSE;
    const int cx = ds.dsBm.bmWidth;
    const int cy = ds.dsBm.bmHeight < 0 ? -ds.dsBm.bmHeight : ds.dsBm.bmHeight;
    try {
        pixels.assign(static_cast<size_t>(cx) * cy, 0);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    size = CSize(cx, cy);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    CScopedWindowDC dc(nullptr);
    return ::GetDIBits(dc, hBitmap, 0, cy, pixels.data(), &bmi, DIB_RGB_COLORS) == cy;
}

HBITMAP CXTPImageManager::CreateBitmap32(const CSize& size, const DWORD* pPixels)
{
    if (size.cx <= 0 || size.cy <= 0)
        return nullptr;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = size.cx;
    bmi.bmiHeader.biHeight = -size.cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    bmi.bmiHeader.biSizeImage = size.cx * 4 * size.cy;
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (hBitmap && pBits && pPixels)
        memcpy(pBits, pPixels, static_cast<size_t>(size.cx) * 4 * size.cy);
    return hBitmap;
}

HBITMAP CXTPImageManager::CopyAlphaBitmap(HBITMAP hBitmap)
{
    CSize size;
    std::vector<DWORD> pixels;
    return GetBitmapBits32(hBitmap, size, pixels) ? CreateBitmap32(size, pixels.data()) : nullptr;
}

HBITMAP CXTPImageManager::PremultiplyAlpha(HBITMAP hBitmap)
{
    return TransformBitmap(hBitmap, [](DWORD px) {
        const int a = Alpha(px);
        return Pixel(Red(px) * a / 255, Green(px) * a / 255, Blue(px) * a / 255, a);
    });
}

CXTPImageManager* XTPImageManager()
{
    if (!g_pImageManager) {
        g_pImageManager = new CXTPImageManager;
        std::atexit(DestroyImageManagerAtExit);
    }
    return g_pImageManager;
}
