// Wrappers of GDI objects: each owns its handle and deletes it when it ends, unless it is a temporary wrapper
// made by FromHandle for a handle it does not own.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/Geometry.h"
#include "framework/core/Object.h"

class CDC;

class CGdiObject : public CObject
{
    DECLARE_DYNAMIC(CGdiObject)

public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() noexcept = default;
    ~CGdiObject() override;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    operator HGDIOBJ() const noexcept { return m_hObject; }
    // Callable through a null pointer (an absent object), as code written for this family of classes expects.
    HGDIOBJ GetSafeHandle() const noexcept
    {
        const auto* self = this;
        // Hides from the optimiser that `this` is never null in valid code, so the check stays.
        asm("" : "+r"(self));
        return self == nullptr ? nullptr : self->m_hObject;
    }

    // The wrapper that owns the handle on this thread, else a temporary one of the handle's kind (a CPen for a
    // pen, ...), deleted when the thread goes idle.
    static CGdiObject* FromHandle(HGDIOBJ handle);
    static void DeleteTempMap();

    // Takes ownership; fails when this object already holds a handle or the handle is null.
    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    BOOL DeleteObject();

    int GetObject(int count, LPVOID buffer) const;
    UINT GetObjectType() const;
    BOOL CreateStockObject(int index);
    BOOL UnrealizeObject();

    BOOL operator==(const CGdiObject& other) const noexcept { return m_hObject == other.m_hObject; }
    BOOL operator!=(const CGdiObject& other) const noexcept { return m_hObject != other.m_hObject; }

protected:
    // Attaches a handle this object has just created, deleting it again when it cannot be attached.
    BOOL AttachNew(HGDIOBJ handle);
};

class CPen : public CGdiObject
{
    DECLARE_DYNAMIC(CPen)

public:
    CPen() noexcept = default;
    // Throw a resource exception when the pen cannot be made.
    CPen(int penStyle, int width, COLORREF color);
    CPen(int penStyle, int width, const LOGBRUSH* brush, int styleCount = 0, const DWORD* styles = nullptr);

    static CPen* FromHandle(HPEN handle);

    BOOL CreatePen(int penStyle, int width, COLORREF color);
    BOOL CreatePen(int penStyle, int width, const LOGBRUSH* brush, int styleCount = 0, const DWORD* styles = nullptr);
    BOOL CreatePenIndirect(LPLOGPEN logPen);

    operator HPEN() const noexcept { return static_cast<HPEN>(m_hObject); }
    int GetLogPen(LOGPEN* logPen) const;
    int GetExtLogPen(EXTLOGPEN* logPen) const;
};

class CBitmap;

class CBrush : public CGdiObject
{
    DECLARE_DYNAMIC(CBrush)

public:
    CBrush() noexcept = default;
    // Throw a resource exception when the brush cannot be made.
    explicit CBrush(COLORREF color);
    CBrush(int hatchStyle, COLORREF color);
    explicit CBrush(CBitmap* bitmap);

    static CBrush* FromHandle(HBRUSH handle);

    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateHatchBrush(int hatchStyle, COLORREF color);
    BOOL CreatePatternBrush(CBitmap* bitmap);
    BOOL CreateBrushIndirect(const LOGBRUSH* logBrush);
    // Attaches the system's colour brush; deleting it later is harmless.
    BOOL CreateSysColorBrush(int index);

    operator HBRUSH() const noexcept { return static_cast<HBRUSH>(m_hObject); }
    int GetLogBrush(LOGBRUSH* logBrush) const;
};

class CFont : public CGdiObject
{
    DECLARE_DYNAMIC(CFont)

public:
    CFont() noexcept = default;

    static CFont* FromHandle(HFONT handle);

    BOOL CreateFontIndirect(const LOGFONTW* logFont);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, LPCWSTR faceName);
    // pointSize is in tenths of a point, converted for dc (the screen when null).
    BOOL CreatePointFont(int pointSize, LPCWSTR faceName, CDC* dc = nullptr);
    // As CreatePointFont, with lfHeight in tenths of a point.
    BOOL CreatePointFontIndirect(const LOGFONTW* logFont, CDC* dc = nullptr);

    operator HFONT() const noexcept { return static_cast<HFONT>(m_hObject); }
    int GetLogFont(LOGFONTW* logFont) const;
};

class CBitmap : public CGdiObject
{
    DECLARE_DYNAMIC(CBitmap)

public:
    CBitmap() noexcept = default;

    static CBitmap* FromHandle(HBITMAP handle);

    // From the framework's resource module.
    BOOL LoadBitmap(LPCWSTR resourceName);
    BOOL LoadBitmap(UINT resourceId);
    BOOL LoadOEMBitmap(UINT bitmapId);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    BOOL CreateBitmapIndirect(LPBITMAP bitmap);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL CreateDiscardableBitmap(CDC* dc, int width, int height);

    operator HBITMAP() const noexcept { return static_cast<HBITMAP>(m_hObject); }
    int GetBitmap(BITMAP* bitmap) const;
    DWORD GetBitmapBits(DWORD count, LPVOID bits) const;
    DWORD SetBitmapBits(DWORD count, const void* bits);
    CSize SetBitmapDimension(int width, int height);
    CSize GetBitmapDimension() const;
};

class CRgn : public CGdiObject
{
    DECLARE_DYNAMIC(CRgn)

public:
    CRgn() noexcept = default;

    static CRgn* FromHandle(HRGN handle);

    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL CreateRectRgnIndirect(LPCRECT rect);
    BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2);
    BOOL CreateEllipticRgnIndirect(LPCRECT rect);
    BOOL CreatePolygonRgn(const POINT* points, int count, int fillMode);
    BOOL CreatePolyPolygonRgn(const POINT* points, const INT* polyCounts, int count, int fillMode);
    BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3);

    operator HRGN() const noexcept { return static_cast<HRGN>(m_hObject); }

    // This region becomes the combination; it must exist already (CreateRectRgn(0, 0, 0, 0) will do).
    int CombineRgn(const CRgn* source1, const CRgn* source2, int combineMode);
    int CopyRgn(const CRgn* source);
    BOOL EqualRgn(const CRgn* other) const;
    int OffsetRgn(int x, int y);
    int OffsetRgn(POINT point);
    int GetRgnBox(LPRECT rect) const;
    BOOL PtInRegion(int x, int y) const;
    BOOL PtInRegion(POINT point) const;
    BOOL RectInRegion(LPCRECT rect) const;
    void SetRectRgn(int x1, int y1, int x2, int y2);
    void SetRectRgn(LPCRECT rect);
    int GetRegionData(LPRGNDATA data, int count) const;
};
