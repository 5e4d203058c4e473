#include "framework/win/Dc.h"

#include "framework/core/Exceptions.h"
#include "framework/win/TempHandleMap.h"
#include "framework/win/Wnd.h"

namespace {

struct DcTraits
{
    static CDC* CreateTemporary(HDC handle)
    {
        CDC* made = new CDC;
        made->m_hDC = handle;
        made->m_hAttribDC = handle;
        return made;
    }
    static void ForgetHandles(CDC* dc)
    {
        dc->m_hDC = nullptr;
        dc->m_hAttribDC = nullptr;
    }
};

using DcMap = afxdetail::CGraphicsHandleMap<CDC, HDC, DcTraits>;

HGDIOBJ SafeHandle(const CGdiObject* object)
{
    return object ? object->m_hObject : nullptr;
}

HDC SafeHdc(const CDC* dc)
{
    return dc ? dc->m_hDC : nullptr;
}

HWND SafeHwnd(CWnd* wnd)
{
    return wnd ? wnd->GetSafeHwnd() : nullptr;
}

} // namespace

IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

// ---- Handles

CDC::~CDC()
{
    if (m_hDC)
        ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC handle)
{
    DcMap* map = DcMap::ForThread();
    return map ? map->FromHandle(handle) : nullptr;
}

void CDC::DeleteTempMap()
{
    if (DcMap* map = DcMap::ForThread())
        map->DeleteTemporaries();
}

BOOL CDC::Attach(HDC handle)
{
    if (!handle || m_hDC)
        return FALSE;
    m_hDC = handle;
    m_hAttribDC = handle;
    if (DcMap* map = DcMap::ForThread())
        map->SetPermanent(handle, this);
    return TRUE;
}

HDC CDC::Detach()
{
    HDC handle = m_hDC;
    DcMap* map = DcMap::ForThread();
    if (handle && map)
        map->RemoveHandle(handle, this);
    ReleaseAttribDC();
    ReleaseOutputDC();
    return handle;
}

void CDC::SetAttribDC(HDC handle)
{
    m_hAttribDC = handle;
}

void CDC::SetOutputDC(HDC handle)
{
    m_hDC = handle;
}

void CDC::ReleaseAttribDC()
{
    m_hAttribDC = nullptr;
}

void CDC::ReleaseOutputDC()
{
    m_hDC = nullptr;
}

BOOL CDC::CreateDC(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* initData)
{
    HDC made = ::CreateDCW(driver, device, output, static_cast<const DEVMODEW*>(initData));
    if (made && !Attach(made)) {
        ::DeleteDC(made);
        return FALSE;
    }
    return made != nullptr;
}

BOOL CDC::CreateIC(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* initData)
{
    HDC made = ::CreateICW(driver, device, output, static_cast<const DEVMODEW*>(initData));
    if (made && !Attach(made)) {
        ::DeleteDC(made);
        return FALSE;
    }
    return made != nullptr;
}

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    HDC made = ::CreateCompatibleDC(SafeHdc(dc));
    if (made && !Attach(made)) {
        ::DeleteDC(made);
        return FALSE;
    }
    return made != nullptr;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

int CDC::GetDeviceCaps(int index) const
{
    return ::GetDeviceCaps(m_hAttribDC, index);
}

int CDC::SaveDC()
{
    int saved = m_hAttribDC ? ::SaveDC(m_hAttribDC) : 0;
    if (m_hDC && m_hDC != m_hAttribDC) {
        int output = ::SaveDC(m_hDC);
        if (!saved)
            saved = output;
    }
    return saved;
}

BOOL CDC::RestoreDC(int savedDC)
{
    BOOL restored = TRUE;
    if (m_hDC != m_hAttribDC)
        restored = ::RestoreDC(m_hDC, savedDC);
    if (m_hAttribDC)
        restored = ::RestoreDC(m_hAttribDC, savedDC) && restored;
    return restored;
}

CBrush* CDC::GetHalftoneBrush()
{
    // Made once and never freed: callers keep the pointer.
    static CBrush* const brush = [] {
        WORD pattern[8];
        for (int row = 0; row < 8; ++row)
            pattern[row] = static_cast<WORD>(0x5555 << (row & 1));
        CBitmap bitmap;
        CBrush* made = new CBrush;
        if (bitmap.CreateBitmap(8, 8, 1, 1, pattern))
            made->CreatePatternBrush(&bitmap);
        return made;
    }();
    return brush;
}

// ---- Objects

HGDIOBJ CDC::SelectObject(HGDIOBJ object)
{
    if (!object)
        return nullptr;
    HGDIOBJ previous = nullptr;
    if (m_hDC != m_hAttribDC)
        previous = ::SelectObject(m_hDC, object);
    if (m_hAttribDC)
        previous = ::SelectObject(m_hAttribDC, object);
    return previous;
}

CGdiObject* CDC::SelectObject(CGdiObject* object)
{
    return CGdiObject::FromHandle(SelectObject(SafeHandle(object)));
}

CPen* CDC::SelectObject(CPen* pen)
{
    return static_cast<CPen*>(CGdiObject::FromHandle(SelectObject(SafeHandle(pen))));
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    return static_cast<CBrush*>(CGdiObject::FromHandle(SelectObject(SafeHandle(brush))));
}

CFont* CDC::SelectObject(CFont* font)
{
    return static_cast<CFont*>(CGdiObject::FromHandle(SelectObject(SafeHandle(font))));
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    return static_cast<CBitmap*>(CGdiObject::FromHandle(SelectObject(SafeHandle(bitmap))));
}

int CDC::SelectObject(CRgn* region)
{
    return SelectClipRgn(region);
}

CGdiObject* CDC::SelectStockObject(int index)
{
    HGDIOBJ stock = ::GetStockObject(index);
    return stock ? CGdiObject::FromHandle(SelectObject(stock)) : nullptr;
}

CPen* CDC::GetCurrentPen() const
{
    return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hAttribDC, OBJ_PEN)));
}

CBrush* CDC::GetCurrentBrush() const
{
    return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hAttribDC, OBJ_BRUSH)));
}

CFont* CDC::GetCurrentFont() const
{
    return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hAttribDC, OBJ_FONT)));
}

CBitmap* CDC::GetCurrentBitmap() const
{
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hAttribDC, OBJ_BITMAP)));
}

// ---- Colours and modes. Setters change both DCs and answer with the attribute DC's previous value.

COLORREF CDC::GetBkColor() const
{
    return ::GetBkColor(m_hAttribDC);
}

COLORREF CDC::SetBkColor(COLORREF color)
{
    COLORREF previous = CLR_INVALID;
    if (m_hDC != m_hAttribDC)
        previous = ::SetBkColor(m_hDC, color);
    if (m_hAttribDC)
        previous = ::SetBkColor(m_hAttribDC, color);
    return previous;
}

int CDC::GetBkMode() const
{
    return ::GetBkMode(m_hAttribDC);
}

int CDC::SetBkMode(int mode)
{
    int previous = 0;
    if (m_hDC != m_hAttribDC)
        previous = ::SetBkMode(m_hDC, mode);
    if (m_hAttribDC)
        previous = ::SetBkMode(m_hAttribDC, mode);
    return previous;
}

COLORREF CDC::GetTextColor() const
{
    return ::GetTextColor(m_hAttribDC);
}

COLORREF CDC::SetTextColor(COLORREF color)
{
    COLORREF previous = CLR_INVALID;
    if (m_hDC != m_hAttribDC)
        previous = ::SetTextColor(m_hDC, color);
    if (m_hAttribDC)
        previous = ::SetTextColor(m_hAttribDC, color);
    return previous;
}

int CDC::GetROP2() const
{
    return ::GetROP2(m_hAttribDC);
}

int CDC::SetROP2(int drawMode)
{
    int previous = 0;
    if (m_hDC != m_hAttribDC)
        previous = ::SetROP2(m_hDC, drawMode);
    if (m_hAttribDC)
        previous = ::SetROP2(m_hAttribDC, drawMode);
    return previous;
}

int CDC::GetStretchBltMode() const
{
    return ::GetStretchBltMode(m_hAttribDC);
}

int CDC::SetStretchBltMode(int mode)
{
    int previous = 0;
    if (m_hDC != m_hAttribDC)
        previous = ::SetStretchBltMode(m_hDC, mode);
    if (m_hAttribDC)
        previous = ::SetStretchBltMode(m_hAttribDC, mode);
    return previous;
}

UINT CDC::GetTextAlign() const
{
    return ::GetTextAlign(m_hAttribDC);
}

UINT CDC::SetTextAlign(UINT flags)
{
    UINT previous = GDI_ERROR;
    if (m_hDC != m_hAttribDC)
        previous = ::SetTextAlign(m_hDC, flags);
    if (m_hAttribDC)
        previous = ::SetTextAlign(m_hAttribDC, flags);
    return previous;
}

int CDC::GetPolyFillMode() const
{
    return ::GetPolyFillMode(m_hAttribDC);
}

int CDC::SetPolyFillMode(int mode)
{
    int previous = 0;
    if (m_hDC != m_hAttribDC)
        previous = ::SetPolyFillMode(m_hDC, mode);
    if (m_hAttribDC)
        previous = ::SetPolyFillMode(m_hAttribDC, mode);
    return previous;
}

CPoint CDC::SetBrushOrg(int x, int y)
{
    POINT previous{0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &previous);
    return CPoint(previous);
}

CPoint CDC::SetBrushOrg(POINT point)
{
    return SetBrushOrg(point.x, point.y);
}

CPoint CDC::GetBrushOrg() const
{
    POINT origin{0, 0};
    ::GetBrushOrgEx(m_hDC, &origin);
    return CPoint(origin);
}

COLORREF CDC::GetNearestColor(COLORREF color) const
{
    return ::GetNearestColor(m_hAttribDC, color);
}

// ---- Coordinates

int CDC::GetMapMode() const
{
    return ::GetMapMode(m_hAttribDC);
}

int CDC::SetMapMode(int mode)
{
    int previous = 0;
    if (m_hDC != m_hAttribDC)
        previous = ::SetMapMode(m_hDC, mode);
    if (m_hAttribDC)
        previous = ::SetMapMode(m_hAttribDC, mode);
    return previous;
}

CPoint CDC::GetViewportOrg() const
{
    POINT origin{0, 0};
    ::GetViewportOrgEx(m_hAttribDC, &origin);
    return CPoint(origin);
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT previous{0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetViewportOrgEx(m_hDC, x, y, &previous);
    if (m_hAttribDC)
        ::SetViewportOrgEx(m_hAttribDC, x, y, &previous);
    return CPoint(previous);
}

CPoint CDC::SetViewportOrg(POINT point)
{
    return SetViewportOrg(point.x, point.y);
}

CPoint CDC::OffsetViewportOrg(int width, int height)
{
    POINT previous{0, 0};
    if (m_hDC != m_hAttribDC)
        ::OffsetViewportOrgEx(m_hDC, width, height, &previous);
    if (m_hAttribDC)
        ::OffsetViewportOrgEx(m_hAttribDC, width, height, &previous);
    return CPoint(previous);
}

CPoint CDC::GetWindowOrg() const
{
    POINT origin{0, 0};
    ::GetWindowOrgEx(m_hAttribDC, &origin);
    return CPoint(origin);
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT previous{0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetWindowOrgEx(m_hDC, x, y, &previous);
    if (m_hAttribDC)
        ::SetWindowOrgEx(m_hAttribDC, x, y, &previous);
    return CPoint(previous);
}

CPoint CDC::SetWindowOrg(POINT point)
{
    return SetWindowOrg(point.x, point.y);
}

CPoint CDC::OffsetWindowOrg(int width, int height)
{
    POINT previous{0, 0};
    if (m_hDC != m_hAttribDC)
        ::OffsetWindowOrgEx(m_hDC, width, height, &previous);
    if (m_hAttribDC)
        ::OffsetWindowOrgEx(m_hAttribDC, width, height, &previous);
    return CPoint(previous);
}

CSize CDC::GetViewportExt() const
{
    SIZE extent{0, 0};
    ::GetViewportExtEx(m_hAttribDC, &extent);
    return CSize(extent);
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    SIZE previous{0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetViewportExtEx(m_hDC, cx, cy, &previous);
    if (m_hAttribDC)
        ::SetViewportExtEx(m_hAttribDC, cx, cy, &previous);
    return CSize(previous);
}

CSize CDC::SetViewportExt(SIZE size)
{
    return SetViewportExt(size.cx, size.cy);
}

CSize CDC::GetWindowExt() const
{
    SIZE extent{0, 0};
    ::GetWindowExtEx(m_hAttribDC, &extent);
    return CSize(extent);
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    SIZE previous{0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetWindowExtEx(m_hDC, cx, cy, &previous);
    if (m_hAttribDC)
        ::SetWindowExtEx(m_hAttribDC, cx, cy, &previous);
    return CSize(previous);
}

CSize CDC::SetWindowExt(SIZE size)
{
    return SetWindowExt(size.cx, size.cy);
}

void CDC::DPtoLP(LPPOINT points, int count) const
{
    ::DPtoLP(m_hAttribDC, points, count);
}

void CDC::DPtoLP(LPRECT rect) const
{
    ::DPtoLP(m_hAttribDC, reinterpret_cast<LPPOINT>(rect), 2);
}

void CDC::DPtoLP(LPSIZE size) const
{
    // A size maps as the difference of two points, so origins cancel out.
    POINT points[2] = {{0, 0}, {size->cx, size->cy}};
    ::DPtoLP(m_hAttribDC, points, 2);
    size->cx = points[1].x - points[0].x;
    size->cy = points[1].y - points[0].y;
}

void CDC::LPtoDP(LPPOINT points, int count) const
{
    ::LPtoDP(m_hAttribDC, points, count);
}

void CDC::LPtoDP(LPRECT rect) const
{
    ::LPtoDP(m_hAttribDC, reinterpret_cast<LPPOINT>(rect), 2);
}

void CDC::LPtoDP(LPSIZE size) const
{
    POINT points[2] = {{0, 0}, {size->cx, size->cy}};
    ::LPtoDP(m_hAttribDC, points, 2);
    size->cx = points[1].x - points[0].x;
    size->cy = points[1].y - points[0].y;
}

// ---- Clipping (on the output DC, where drawing happens)

int CDC::GetClipBox(LPRECT rect) const
{
    return ::GetClipBox(m_hDC, rect);
}

BOOL CDC::PtVisible(int x, int y) const
{
    return ::PtVisible(m_hDC, x, y);
}

BOOL CDC::PtVisible(POINT point) const
{
    return PtVisible(point.x, point.y);
}

BOOL CDC::RectVisible(LPCRECT rect) const
{
    return ::RectVisible(m_hDC, rect);
}

int CDC::SelectClipRgn(CRgn* region)
{
    int kind = ERROR;
    if (m_hDC != m_hAttribDC)
        kind = ::SelectClipRgn(m_hDC, static_cast<HRGN>(SafeHandle(region)));
    if (m_hAttribDC)
        kind = ::SelectClipRgn(m_hAttribDC, static_cast<HRGN>(SafeHandle(region)));
    return kind;
}

int CDC::SelectClipRgn(CRgn* region, int mode)
{
    int kind = ERROR;
    if (m_hDC != m_hAttribDC)
        kind = ::ExtSelectClipRgn(m_hDC, static_cast<HRGN>(SafeHandle(region)), mode);
    if (m_hAttribDC)
        kind = ::ExtSelectClipRgn(m_hAttribDC, static_cast<HRGN>(SafeHandle(region)), mode);
    return kind;
}

int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2)
{
    int kind = ERROR;
    if (m_hDC != m_hAttribDC)
        kind = ::ExcludeClipRect(m_hDC, x1, y1, x2, y2);
    if (m_hAttribDC)
        kind = ::ExcludeClipRect(m_hAttribDC, x1, y1, x2, y2);
    return kind;
}

int CDC::ExcludeClipRect(LPCRECT rect)
{
    return ExcludeClipRect(rect->left, rect->top, rect->right, rect->bottom);
}

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2)
{
    int kind = ERROR;
    if (m_hDC != m_hAttribDC)
        kind = ::IntersectClipRect(m_hDC, x1, y1, x2, y2);
    if (m_hAttribDC)
        kind = ::IntersectClipRect(m_hAttribDC, x1, y1, x2, y2);
    return kind;
}

int CDC::IntersectClipRect(LPCRECT rect)
{
    return IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom);
}

int CDC::OffsetClipRgn(int x, int y)
{
    int kind = ERROR;
    if (m_hDC != m_hAttribDC)
        kind = ::OffsetClipRgn(m_hDC, x, y);
    if (m_hAttribDC)
        kind = ::OffsetClipRgn(m_hAttribDC, x, y);
    return kind;
}

int CDC::OffsetClipRgn(SIZE size)
{
    return OffsetClipRgn(size.cx, size.cy);
}

int CDC::ExcludeUpdateRgn(CWnd* wnd)
{
    return ::ExcludeUpdateRgn(m_hDC, SafeHwnd(wnd));
}

// ---- Lines

CPoint CDC::GetCurrentPosition() const
{
    POINT point{0, 0};
    ::GetCurrentPositionEx(m_hAttribDC, &point);
    return CPoint(point);
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT previous{0, 0};
    const HDC output = LiveHdc();
    if (output != m_hAttribDC)
        ::MoveToEx(output, x, y, &previous);
    if (m_hAttribDC)
        ::MoveToEx(m_hAttribDC, x, y, &previous);
    return CPoint(previous);
}

CPoint CDC::MoveTo(POINT point)
{
    return MoveTo(point.x, point.y);
}

BOOL CDC::LineTo(int x, int y)
{
    const HDC output = LiveHdc();
    // The attribute DC keeps the current position in step.
    if (m_hAttribDC && m_hAttribDC != output)
        ::MoveToEx(m_hAttribDC, x, y, nullptr);
    return ::LineTo(output, x, y);
}

BOOL CDC::LineTo(POINT point)
{
    return LineTo(point.x, point.y);
}

BOOL CDC::Polyline(const POINT* points, int count)
{
    return ::Polyline(LiveHdc(), points, count);
}

BOOL CDC::PolyPolyline(const POINT* points, const DWORD* polyCounts, int count)
{
    return ::PolyPolyline(LiveHdc(), points, polyCounts, static_cast<DWORD>(count));
}

BOOL CDC::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return ::Arc(LiveHdc(), x1, y1, x2, y2, x3, y3, x4, y4);
}

// ---- Shapes and fills

void CDC::FillRect(LPCRECT rect, CBrush* brush)
{
    ::FillRect(LiveHdc(), rect, static_cast<HBRUSH>(SafeHandle(brush)));
}

void CDC::FrameRect(LPCRECT rect, CBrush* brush)
{
    ::FrameRect(LiveHdc(), rect, static_cast<HBRUSH>(SafeHandle(brush)));
}

void CDC::InvertRect(LPCRECT rect)
{
    ::InvertRect(LiveHdc(), rect);
}

BOOL CDC::FillRgn(CRgn* region, CBrush* brush)
{
    return ::FillRgn(LiveHdc(), static_cast<HRGN>(SafeHandle(region)), static_cast<HBRUSH>(SafeHandle(brush)));
}

BOOL CDC::FrameRgn(CRgn* region, CBrush* brush, int width, int height)
{
    return ::FrameRgn(LiveHdc(), static_cast<HRGN>(SafeHandle(region)), static_cast<HBRUSH>(SafeHandle(brush)), width,
                      height);
}

BOOL CDC::InvertRgn(CRgn* region)
{
    return ::InvertRgn(LiveHdc(), static_cast<HRGN>(SafeHandle(region)));
}

BOOL CDC::PaintRgn(CRgn* region)
{
    return ::PaintRgn(LiveHdc(), static_cast<HRGN>(SafeHandle(region)));
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color)
{
    ::SetBkColor(LiveHdc(), color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, color);
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight)
{
    Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

void CDC::DrawFocusRect(LPCRECT rect)
{
    ::DrawFocusRect(LiveHdc(), rect);
}

BOOL CDC::DrawEdge(LPRECT rect, UINT edge, UINT flags)
{
    return ::DrawEdge(LiveHdc(), rect, edge, flags);
}

BOOL CDC::DrawFrameControl(LPRECT rect, UINT type, UINT state)
{
    return ::DrawFrameControl(LiveHdc(), rect, type, state);
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2)
{
    return ::Rectangle(LiveHdc(), x1, y1, x2, y2);
}

BOOL CDC::Rectangle(LPCRECT rect)
{
    return Rectangle(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL CDC::Ellipse(int x1, int y1, int x2, int y2)
{
    return ::Ellipse(LiveHdc(), x1, y1, x2, y2);
}

BOOL CDC::Ellipse(LPCRECT rect)
{
    return Ellipse(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL CDC::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return ::RoundRect(LiveHdc(), x1, y1, x2, y2, x3, y3);
}

BOOL CDC::RoundRect(LPCRECT rect, POINT corner)
{
    return RoundRect(rect->left, rect->top, rect->right, rect->bottom, corner.x, corner.y);
}

BOOL CDC::Polygon(const POINT* points, int count)
{
    return ::Polygon(LiveHdc(), points, count);
}

BOOL CDC::PolyPolygon(const POINT* points, const INT* polyCounts, int count)
{
    return ::PolyPolygon(LiveHdc(), points, polyCounts, count);
}

BOOL CDC::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return ::Pie(LiveHdc(), x1, y1, x2, y2, x3, y3, x4, y4);
}

BOOL CDC::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return ::Chord(LiveHdc(), x1, y1, x2, y2, x3, y3, x4, y4);
}

// ---- Icons and drawing states

BOOL CDC::DrawIcon(int x, int y, HICON icon)
{
    return ::DrawIcon(LiveHdc(), x, y, icon);
}

BOOL CDC::DrawIcon(POINT point, HICON icon)
{
    return DrawIcon(point.x, point.y, icon);
}

BOOL CDC::DrawState(CPoint point, CSize size, HBITMAP bitmap, UINT flags, HBRUSH brush)
{
    return ::DrawStateW(LiveHdc(), brush, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, point.x, point.y, size.cx,
                        size.cy, flags | DST_BITMAP);
}

BOOL CDC::DrawState(CPoint point, CSize size, CBitmap* bitmap, UINT flags, CBrush* brush)
{
    return DrawState(point, size, static_cast<HBITMAP>(SafeHandle(bitmap)), flags,
                     static_cast<HBRUSH>(SafeHandle(brush)));
}

BOOL CDC::DrawState(CPoint point, CSize size, HICON icon, UINT flags, HBRUSH brush)
{
    return ::DrawStateW(LiveHdc(), brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, point.x, point.y, size.cx,
                        size.cy, flags | DST_ICON);
}

BOOL CDC::DrawState(CPoint point, CSize size, HICON icon, UINT flags, CBrush* brush)
{
    return DrawState(point, size, icon, flags, static_cast<HBRUSH>(SafeHandle(brush)));
}

BOOL CDC::DrawState(CPoint point, CSize size, LPCWSTR text, UINT flags, BOOL prefixText, int textLength, HBRUSH brush)
{
    return ::DrawStateW(LiveHdc(), brush, nullptr, reinterpret_cast<LPARAM>(text), static_cast<WPARAM>(textLength),
                        point.x, point.y, size.cx, size.cy, flags | (prefixText ? DST_PREFIXTEXT : DST_TEXT));
}

BOOL CDC::DrawState(CPoint point, CSize size, LPCWSTR text, UINT flags, BOOL prefixText, int textLength, CBrush* brush)
{
    return DrawState(point, size, text, flags, prefixText, textLength, static_cast<HBRUSH>(SafeHandle(brush)));
}

BOOL CDC::DrawState(CPoint point, CSize size, DRAWSTATEPROC drawProc, LPARAM data, UINT flags, HBRUSH brush)
{
    return ::DrawStateW(LiveHdc(), brush, drawProc, data, 0, point.x, point.y, size.cx, size.cy, flags | DST_COMPLEX);
}

// ---- Bitmaps and pixels

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop)
{
    return ::PatBlt(LiveHdc(), x, y, width, height, rop);
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD rop)
{
    return ::BitBlt(LiveHdc(), x, y, width, height, SafeHdc(source), xSource, ySource, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, int sourceWidth,
                     int sourceHeight, DWORD rop)
{
    return ::StretchBlt(m_hDC, x, y, width, height, SafeHdc(source), xSource, ySource, sourceWidth, sourceHeight, rop);
}

BOOL CDC::TransparentBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, int sourceWidth,
                         int sourceHeight, UINT transparent)
{
    return ::TransparentBlt(m_hDC, x, y, width, height, SafeHdc(source), xSource, ySource, sourceWidth, sourceHeight,
                            transparent);
}

BOOL CDC::AlphaBlend(int x, int y, int width, int height, CDC* source, int xSource, int ySource, int sourceWidth,
                     int sourceHeight, BLENDFUNCTION blend)
{
    return ::AlphaBlend(m_hDC, x, y, width, height, SafeHdc(source), xSource, ySource, sourceWidth, sourceHeight,
                        blend);
}

BOOL CDC::GradientFill(TRIVERTEX* vertices, ULONG vertexCount, void* mesh, ULONG meshCount, DWORD mode)
{
    return ::GradientFill(LiveHdc(), vertices, vertexCount, mesh, meshCount, mode);
}

COLORREF CDC::GetPixel(int x, int y) const
{
    return ::GetPixel(LiveHdc(), x, y);
}

COLORREF CDC::GetPixel(POINT point) const
{
    return GetPixel(point.x, point.y);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color)
{
    return ::SetPixel(LiveHdc(), x, y, color);
}

COLORREF CDC::SetPixel(POINT point, COLORREF color)
{
    return SetPixel(point.x, point.y, color);
}

BOOL CDC::SetPixelV(int x, int y, COLORREF color)
{
    return ::SetPixelV(LiveHdc(), x, y, color);
}

BOOL CDC::SetPixelV(POINT point, COLORREF color)
{
    return SetPixelV(point.x, point.y, color);
}

BOOL CDC::FloodFill(int x, int y, COLORREF color)
{
    return ::FloodFill(LiveHdc(), x, y, color);
}

BOOL CDC::ExtFloodFill(int x, int y, COLORREF color, UINT fillType)
{
    return ::ExtFloodFill(LiveHdc(), x, y, color, fillType);
}

// ---- Text

BOOL CDC::TextOut(int x, int y, LPCWSTR text, int count)
{
    return ::TextOutW(LiveHdc(), x, y, text, count);
}

BOOL CDC::TextOut(int x, int y, const CString& text)
{
    return TextOut(x, y, text, text.GetLength());
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCWSTR text, UINT count, LPINT widths)
{
    return ::ExtTextOutW(LiveHdc(), x, y, options, rect, text, count, widths);
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, LPCRECT rect, const CString& text, LPINT widths)
{
    return ExtTextOut(x, y, options, rect, text, static_cast<UINT>(text.GetLength()), widths);
}

int CDC::DrawText(LPCWSTR text, int count, LPRECT rect, UINT format)
{
    return ::DrawTextW(LiveHdc(), text, count, rect, format);
}

int CDC::DrawText(const CString& text, LPRECT rect, UINT format)
{
    return DrawText(static_cast<LPCWSTR>(text), text.GetLength(), rect, format);
}

int CDC::DrawTextEx(LPWSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params)
{
    return ::DrawTextExW(LiveHdc(), text, count, rect, format, params);
}

int CDC::DrawTextEx(const CString& text, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params)
{
    // DT_MODIFYSTRING would write into the string, so the call works on a copy.
    CString copy(text);
    int length = copy.GetLength();
    int height = DrawTextEx(copy.GetBuffer(length + 4), length, rect, format & ~DT_MODIFYSTRING, params);
    copy.ReleaseBuffer(length);
    return height;
}

CSize CDC::GetTextExtent(LPCWSTR text, int count) const
{
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(m_hAttribDC, text, count, &size);
    return CSize(size);
}

CSize CDC::GetTextExtent(const CString& text) const
{
    return GetTextExtent(text, text.GetLength());
}

CSize CDC::GetOutputTextExtent(LPCWSTR text, int count) const
{
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(m_hDC, text, count, &size);
    return CSize(size);
}

CSize CDC::GetOutputTextExtent(const CString& text) const
{
    return GetOutputTextExtent(text, text.GetLength());
}

BOOL CDC::GetTextMetrics(LPTEXTMETRICW metrics) const
{
    return ::GetTextMetricsW(m_hAttribDC, metrics);
}

int CDC::GetTextFace(int count, LPWSTR faceName) const
{
    return ::GetTextFaceW(m_hAttribDC, count, faceName);
}

int CDC::GetTextFace(CString& faceName) const
{
    int length = ::GetTextFaceW(m_hAttribDC, 0, nullptr);
    if (length <= 0) {
        faceName.Empty();
        return 0;
    }
    int copied = ::GetTextFaceW(m_hAttribDC, length, faceName.GetBuffer(length));
    faceName.ReleaseBuffer();
    return copied;
}

int CDC::SetTextCharacterExtra(int extra)
{
    int previous = 0;
    if (m_hDC != m_hAttribDC)
        previous = ::SetTextCharacterExtra(m_hDC, extra);
    if (m_hAttribDC)
        previous = ::SetTextCharacterExtra(m_hAttribDC, extra);
    return previous;
}

int CDC::GetTextCharacterExtra() const
{
    return ::GetTextCharacterExtra(m_hAttribDC);
}

// ---- Scoped DCs of a window

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(SafeHwnd(wnd))
{
    if (!m_hWnd || !Attach(::BeginPaint(m_hWnd, &m_ps)))
        AfxThrowResourceException();
}

CPaintDC::~CPaintDC()
{
    if (m_hWnd)
        ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(SafeHwnd(wnd))
{
    if (!Attach(::GetDC(m_hWnd)))
        AfxThrowResourceException();
}

CClientDC::~CClientDC()
{
    HDC handle = Detach();
    if (handle)
        ::ReleaseDC(m_hWnd, handle);
}

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(SafeHwnd(wnd))
{
    if (!Attach(::GetWindowDC(m_hWnd)))
        AfxThrowResourceException();
}

CWindowDC::~CWindowDC()
{
    HDC handle = Detach();
    if (handle)
        ::ReleaseDC(m_hWnd, handle);
}
