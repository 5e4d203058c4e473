#include "framework/win/Gdi.h"

#include "framework/core/AfxModule.h"
#include "framework/core/Exceptions.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/Dc.h"
#include "framework/win/TempHandleMap.h"

#include <cstdlib>

namespace {

struct GdiTraits
{
    // A temporary of the handle's own kind, so that CPen::FromHandle and friends hand out real objects of
    // their class.
    static CGdiObject* CreateTemporary(HGDIOBJ handle)
    {
        CGdiObject* made;
        switch (::GetObjectType(handle)) {
        case OBJ_PEN:
        case OBJ_EXTPEN:
            made = new CPen;
            break;
        case OBJ_BRUSH:
            made = new CBrush;
            break;
        case OBJ_FONT:
            made = new CFont;
            break;
        case OBJ_BITMAP:
            made = new CBitmap;
            break;
        case OBJ_REGION:
            made = new CRgn;
            break;
        default:
            made = new CGdiObject;
            break;
        }
        made->m_hObject = handle;
        return made;
    }
    static void ForgetHandles(CGdiObject* object) { object->m_hObject = nullptr; }
};

using GdiMap = afxdetail::CGraphicsHandleMap<CGdiObject, HGDIOBJ, GdiTraits>;

HGDIOBJ SafeHandle(const CGdiObject* object)
{
    return object ? object->m_hObject : nullptr;
}

} // namespace

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

// ---- CGdiObject

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle)
{
    GdiMap* map = GdiMap::ForThread();
    return map ? map->FromHandle(handle) : nullptr;
}

void CGdiObject::DeleteTempMap()
{
    if (GdiMap* map = GdiMap::ForThread())
        map->DeleteTemporaries();
}

BOOL CGdiObject::Attach(HGDIOBJ handle)
{
    if (!handle || m_hObject)
        return FALSE;
    m_hObject = handle;
    if (GdiMap* map = GdiMap::ForThread())
        map->SetPermanent(handle, this);
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ handle = m_hObject;
    GdiMap* map = GdiMap::ForThread();
    if (handle && map)
        map->RemoveHandle(handle, this);
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CGdiObject::AttachNew(HGDIOBJ handle)
{
    if (!handle)
        return FALSE;
    if (!Attach(handle)) {
        ::DeleteObject(handle);
        return FALSE;
    }
    return TRUE;
}

int CGdiObject::GetObject(int count, LPVOID buffer) const
{
    return m_hObject ? ::GetObjectW(m_hObject, count, buffer) : 0;
}

UINT CGdiObject::GetObjectType() const
{
    return m_hObject ? static_cast<UINT>(::GetObjectType(m_hObject)) : 0;
}

BOOL CGdiObject::CreateStockObject(int index)
{
    HGDIOBJ stock = ::GetStockObject(index);
    return stock ? Attach(stock) : FALSE;
}

BOOL CGdiObject::UnrealizeObject()
{
    return m_hObject ? ::UnrealizeObject(m_hObject) : FALSE;
}

// ---- CPen

CPen::CPen(int penStyle, int width, COLORREF color)
{
    if (!CreatePen(penStyle, width, color))
        AfxThrowResourceException();
}

CPen::CPen(int penStyle, int width, const LOGBRUSH* brush, int styleCount, const DWORD* styles)
{
    if (!CreatePen(penStyle, width, brush, styleCount, styles))
        AfxThrowResourceException();
}

CPen* CPen::FromHandle(HPEN handle)
{
    return static_cast<CPen*>(CGdiObject::FromHandle(handle));
}

BOOL CPen::CreatePen(int penStyle, int width, COLORREF color)
{
    return AttachNew(::CreatePen(penStyle, width, color));
}

BOOL CPen::CreatePen(int penStyle, int width, const LOGBRUSH* brush, int styleCount, const DWORD* styles)
{
    return AttachNew(::ExtCreatePen(static_cast<DWORD>(penStyle), static_cast<DWORD>(width), brush,
                                    static_cast<DWORD>(styleCount), styles));
}

BOOL CPen::CreatePenIndirect(LPLOGPEN logPen)
{
    return AttachNew(::CreatePenIndirect(logPen));
}

int CPen::GetLogPen(LOGPEN* logPen) const
{
    return GetObject(sizeof(LOGPEN), logPen);
}

int CPen::GetExtLogPen(EXTLOGPEN* logPen) const
{
    return GetObject(sizeof(EXTLOGPEN), logPen);
}

// ---- CBrush

CBrush::CBrush(COLORREF color)
{
    if (!CreateSolidBrush(color))
        AfxThrowResourceException();
}

CBrush::CBrush(int hatchStyle, COLORREF color)
{
    if (!CreateHatchBrush(hatchStyle, color))
        AfxThrowResourceException();
}

CBrush::CBrush(CBitmap* bitmap)
{
    if (!CreatePatternBrush(bitmap))
        AfxThrowResourceException();
}

CBrush* CBrush::FromHandle(HBRUSH handle)
{
    return static_cast<CBrush*>(CGdiObject::FromHandle(handle));
}

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    return AttachNew(::CreateSolidBrush(color));
}

BOOL CBrush::CreateHatchBrush(int hatchStyle, COLORREF color)
{
    return AttachNew(::CreateHatchBrush(hatchStyle, color));
}

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap)
{
    HBITMAP pattern = static_cast<HBITMAP>(SafeHandle(bitmap));
    return pattern ? AttachNew(::CreatePatternBrush(pattern)) : FALSE;
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* logBrush)
{
    return AttachNew(::CreateBrushIndirect(logBrush));
}

BOOL CBrush::CreateSysColorBrush(int index)
{
    HBRUSH brush = ::GetSysColorBrush(index);
    return brush ? Attach(brush) : FALSE;
}

int CBrush::GetLogBrush(LOGBRUSH* logBrush) const
{
    return GetObject(sizeof(LOGBRUSH), logBrush);
}

// ---- CFont

CFont* CFont::FromHandle(HFONT handle)
{
    return static_cast<CFont*>(CGdiObject::FromHandle(handle));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* logFont)
{
    return logFont ? AttachNew(::CreateFontIndirectW(logFont)) : FALSE;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                       BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                       BYTE pitchAndFamily, LPCWSTR faceName)
{
    return AttachNew(::CreateFontW(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                                   charSet, outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
}

BOOL CFont::CreatePointFont(int pointSize, LPCWSTR faceName, CDC* dc)
{
    LOGFONTW logFont{};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = pointSize;
    if (faceName)
        lstrcpynW(logFont.lfFaceName, faceName, LF_FACESIZE);
    return CreatePointFontIndirect(&logFont, dc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTW* logFont, CDC* dc)
{
    if (!logFont)
        return FALSE;
    const CScopedWindowDC screen(nullptr);
    HDC hdc = dc ? (dc->m_hAttribDC ? dc->m_hAttribDC : dc->m_hDC) : nullptr;
    if (!hdc)
        hdc = screen;
    // Tenths of a point to device pixels, then to the DC's logical units so that mapped DCs get the same size.
    POINT height{0, ::MulDiv(::GetDeviceCaps(hdc, LOGPIXELSY), logFont->lfHeight, 720)};
    POINT origin{0, 0};
    ::DPtoLP(hdc, &height, 1);
    ::DPtoLP(hdc, &origin, 1);
    LOGFONTW scaled = *logFont;
    scaled.lfHeight = -std::abs(height.y - origin.y);
    return CreateFontIndirect(&scaled);
}

int CFont::GetLogFont(LOGFONTW* logFont) const
{
    return GetObject(sizeof(LOGFONTW), logFont);
}

// ---- CBitmap

CBitmap* CBitmap::FromHandle(HBITMAP handle)
{
    return static_cast<CBitmap*>(CGdiObject::FromHandle(handle));
}

BOOL CBitmap::LoadBitmap(LPCWSTR resourceName)
{
    return AttachNew(::LoadBitmapW(AfxGetResourceHandle(), resourceName));
}

BOOL CBitmap::LoadBitmap(UINT resourceId)
{
    return LoadBitmap(MAKEINTRESOURCEW(resourceId));
}

BOOL CBitmap::LoadOEMBitmap(UINT bitmapId)
{
    return AttachNew(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(bitmapId)));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    return AttachNew(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

BOOL CBitmap::CreateBitmapIndirect(LPBITMAP bitmap)
{
    return bitmap ? AttachNew(::CreateBitmapIndirect(bitmap)) : FALSE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    return dc && dc->m_hDC ? AttachNew(::CreateCompatibleBitmap(dc->m_hDC, width, height)) : FALSE;
}

BOOL CBitmap::CreateDiscardableBitmap(CDC* dc, int width, int height)
{
    return CreateCompatibleBitmap(dc, width, height);
}

int CBitmap::GetBitmap(BITMAP* bitmap) const
{
    return GetObject(sizeof(BITMAP), bitmap);
}

DWORD CBitmap::GetBitmapBits(DWORD count, LPVOID bits) const
{
    return m_hObject ? static_cast<DWORD>(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), count, bits)) : 0;
}

DWORD CBitmap::SetBitmapBits(DWORD count, const void* bits)
{
    return m_hObject ? ::SetBitmapBits(static_cast<HBITMAP>(m_hObject), count, bits) : 0;
}

CSize CBitmap::SetBitmapDimension(int width, int height)
{
    SIZE previous{0, 0};
    if (m_hObject)
        ::SetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), width, height, &previous);
    return CSize(previous);
}

CSize CBitmap::GetBitmapDimension() const
{
    SIZE size{0, 0};
    if (m_hObject)
        ::GetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), &size);
    return CSize(size);
}

// ---- CRgn

CRgn* CRgn::FromHandle(HRGN handle)
{
    return static_cast<CRgn*>(CGdiObject::FromHandle(handle));
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    return AttachNew(::CreateRectRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT rect)
{
    return rect ? AttachNew(::CreateRectRgnIndirect(rect)) : FALSE;
}

BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2)
{
    return AttachNew(::CreateEllipticRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT rect)
{
    return rect ? AttachNew(::CreateEllipticRgnIndirect(rect)) : FALSE;
}

BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
    return points && count > 0 ? AttachNew(::CreatePolygonRgn(points, count, fillMode)) : FALSE;
}

BOOL CRgn::CreatePolyPolygonRgn(const POINT* points, const INT* polyCounts, int count, int fillMode)
{
    return points && polyCounts && count > 0 ? AttachNew(::CreatePolyPolygonRgn(points, polyCounts, count, fillMode))
                                             : FALSE;
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return AttachNew(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}

int CRgn::CombineRgn(const CRgn* source1, const CRgn* source2, int combineMode)
{
    if (!m_hObject)
        return ERROR;
    return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(SafeHandle(source1)),
                        static_cast<HRGN>(SafeHandle(source2)), combineMode);
}

int CRgn::CopyRgn(const CRgn* source)
{
    if (!m_hObject || !SafeHandle(source))
        return ERROR;
    return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(source->m_hObject), nullptr, RGN_COPY);
}

BOOL CRgn::EqualRgn(const CRgn* other) const
{
    if (!m_hObject || !SafeHandle(other))
        return FALSE;
    return ::EqualRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(other->m_hObject));
}

int CRgn::OffsetRgn(int x, int y)
{
    return m_hObject ? ::OffsetRgn(static_cast<HRGN>(m_hObject), x, y) : ERROR;
}

int CRgn::OffsetRgn(POINT point)
{
    return OffsetRgn(point.x, point.y);
}

int CRgn::GetRgnBox(LPRECT rect) const
{
    return m_hObject ? ::GetRgnBox(static_cast<HRGN>(m_hObject), rect) : ERROR;
}

BOOL CRgn::PtInRegion(int x, int y) const
{
    return m_hObject ? ::PtInRegion(static_cast<HRGN>(m_hObject), x, y) : FALSE;
}

BOOL CRgn::PtInRegion(POINT point) const
{
    return PtInRegion(point.x, point.y);
}

BOOL CRgn::RectInRegion(LPCRECT rect) const
{
    return m_hObject && rect ? ::RectInRegion(static_cast<HRGN>(m_hObject), rect) : FALSE;
}

void CRgn::SetRectRgn(int x1, int y1, int x2, int y2)
{
    if (m_hObject)
        ::SetRectRgn(static_cast<HRGN>(m_hObject), x1, y1, x2, y2);
}

void CRgn::SetRectRgn(LPCRECT rect)
{
    if (rect)
        SetRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

int CRgn::GetRegionData(LPRGNDATA data, int count) const
{
    return m_hObject ? static_cast<int>(::GetRegionData(static_cast<HRGN>(m_hObject), static_cast<DWORD>(count), data))
                     : 0;
}
