// Device contexts: CDC over an HDC, and the scoped DCs of a window (painting, client area, whole window).
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/DebugChecks.h"
#include "framework/core/Geometry.h"
#include "framework/core/Object.h"
#include "framework/win/Gdi.h"

class CWnd;

// m_hDC receives output and m_hAttribDC answers queries; both are the same handle except on the rare DC that
// separates them. Attribute changes go to both.
class CDC : public CObject
{
    DECLARE_DYNCREATE(CDC)

public:
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;
    BOOL m_bPrinting = FALSE;

    CDC() noexcept = default;
    // Deletes a DC this object still holds.
    ~CDC() override;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    operator HDC() const noexcept { return m_hDC; }
    // Callable through a null pointer (an absent object), as code written for this family of classes expects.
    HDC GetSafeHdc() const noexcept
    {
        const auto* self = this;
        // Hides from the optimiser that `this` is never null in valid code, so the check stays.
        asm("" : "+r"(self));
        return self == nullptr ? nullptr : self->m_hDC;
    }

    // m_hDC for a member that draws: a debug build stops where one draws without a DC.
    HDC LiveHdc() const
    {
        LQ_CHECK_DC(m_hDC);
        return m_hDC;
    }

    // The wrapper that owns the handle on this thread, else a temporary freed when the thread goes idle.
    static CDC* FromHandle(HDC handle);
    static void DeleteTempMap();

    BOOL Attach(HDC handle);
    HDC Detach();
    virtual void SetAttribDC(HDC handle);
    virtual void SetOutputDC(HDC handle);
    virtual void ReleaseAttribDC();
    virtual void ReleaseOutputDC();

    BOOL CreateDC(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* initData);
    BOOL CreateIC(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* initData);
    // Compatible with dc, or with the screen when dc is null.
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();

    BOOL IsPrinting() const noexcept { return m_bPrinting; }
    int GetDeviceCaps(int index) const;
    virtual int SaveDC();
    virtual BOOL RestoreDC(int savedDC);

    // The 50% grey brush of the tracker and drag rectangles; owned by the framework.
    static CBrush* GetHalftoneBrush();

    // ---- Objects. Each SelectObject returns the previously selected object (a temporary wrapper unless this
    // thread has a wrapper that owns it), or null on failure.
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    virtual CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    CGdiObject* SelectObject(CGdiObject* object);
    // A region becomes the clipping region; the result is the region's kind (SIMPLEREGION, ...) or ERROR.
    int SelectObject(CRgn* region);
    HGDIOBJ SelectObject(HGDIOBJ object);
    virtual CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;

    // ---- Colours and modes
    COLORREF GetBkColor() const;
    virtual COLORREF SetBkColor(COLORREF color);
    int GetBkMode() const;
    int SetBkMode(int mode);
    COLORREF GetTextColor() const;
    virtual COLORREF SetTextColor(COLORREF color);
    int GetROP2() const;
    int SetROP2(int drawMode);
    int GetStretchBltMode() const;
    int SetStretchBltMode(int mode);
    UINT GetTextAlign() const;
    UINT SetTextAlign(UINT flags);
    int GetPolyFillMode() const;
    int SetPolyFillMode(int mode);
    CPoint SetBrushOrg(int x, int y);
    CPoint SetBrushOrg(POINT point);
    CPoint GetBrushOrg() const;
    COLORREF GetNearestColor(COLORREF color) const;

    // ---- Coordinates
    int GetMapMode() const;
    virtual int SetMapMode(int mode);
    CPoint GetViewportOrg() const;
    virtual CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT point);
    virtual CPoint OffsetViewportOrg(int width, int height);
    CPoint GetWindowOrg() const;
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT point);
    CPoint OffsetWindowOrg(int width, int height);
    CSize GetViewportExt() const;
    virtual CSize SetViewportExt(int cx, int cy);
    CSize SetViewportExt(SIZE size);
    CSize GetWindowExt() const;
    virtual CSize SetWindowExt(int cx, int cy);
    CSize SetWindowExt(SIZE size);
    void DPtoLP(LPPOINT points, int count = 1) const;
    void DPtoLP(LPRECT rect) const;
    void DPtoLP(LPSIZE size) const;
    void LPtoDP(LPPOINT points, int count = 1) const;
    void LPtoDP(LPRECT rect) const;
    void LPtoDP(LPSIZE size) const;

    // ---- Clipping
    int GetClipBox(LPRECT rect) const;
    BOOL PtVisible(int x, int y) const;
    BOOL PtVisible(POINT point) const;
    BOOL RectVisible(LPCRECT rect) const;
    // A null region removes the clipping region.
    int SelectClipRgn(CRgn* region);
    int SelectClipRgn(CRgn* region, int mode);
    int ExcludeClipRect(int x1, int y1, int x2, int y2);
    int ExcludeClipRect(LPCRECT rect);
    int IntersectClipRect(int x1, int y1, int x2, int y2);
    int IntersectClipRect(LPCRECT rect);
    int OffsetClipRgn(int x, int y);
    int OffsetClipRgn(SIZE size);
    int ExcludeUpdateRgn(CWnd* wnd);

    // ---- Lines
    CPoint GetCurrentPosition() const;
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point);
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point);
    BOOL Polyline(const POINT* points, int count);
    BOOL PolyPolyline(const POINT* points, const DWORD* polyCounts, int count);
    BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);

    // ---- Shapes and fills
    void FillRect(LPCRECT rect, CBrush* brush);
    void FrameRect(LPCRECT rect, CBrush* brush);
    void InvertRect(LPCRECT rect);
    BOOL FillRgn(CRgn* region, CBrush* brush);
    BOOL FrameRgn(CRgn* region, CBrush* brush, int width, int height);
    BOOL InvertRgn(CRgn* region);
    BOOL PaintRgn(CRgn* region);
    // Leaves the background colour set to color, as callers of this family expect.
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    // One-pixel frame: top and left sides in topLeft, bottom and right sides (with the top-right and bottom-left
    // corner pixels) in bottomRight.
    void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    void DrawFocusRect(LPCRECT rect);
    BOOL DrawEdge(LPRECT rect, UINT edge, UINT flags);
    BOOL DrawFrameControl(LPRECT rect, UINT type, UINT state);
    BOOL Rectangle(int x1, int y1, int x2, int y2);
    BOOL Rectangle(LPCRECT rect);
    BOOL Ellipse(int x1, int y1, int x2, int y2);
    BOOL Ellipse(LPCRECT rect);
    BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    BOOL RoundRect(LPCRECT rect, POINT corner);
    BOOL Polygon(const POINT* points, int count);
    BOOL PolyPolygon(const POINT* points, const INT* polyCounts, int count);
    BOOL Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    BOOL Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);

    // ---- Icons and drawing states
    BOOL DrawIcon(int x, int y, HICON icon);
    BOOL DrawIcon(POINT point, HICON icon);
    BOOL DrawState(CPoint point, CSize size, HBITMAP bitmap, UINT flags, HBRUSH brush = nullptr);
    BOOL DrawState(CPoint point, CSize size, CBitmap* bitmap, UINT flags, CBrush* brush);
    BOOL DrawState(CPoint point, CSize size, HICON icon, UINT flags, HBRUSH brush = nullptr);
    BOOL DrawState(CPoint point, CSize size, HICON icon, UINT flags, CBrush* brush);
    // Text of textLength characters (0: up to the terminator); DST_PREFIXTEXT when prefixText is set.
    BOOL DrawState(CPoint point, CSize size, LPCWSTR text, UINT flags, BOOL prefixText = TRUE, int textLength = 0,
                   HBRUSH brush = nullptr);
    BOOL DrawState(CPoint point, CSize size, LPCWSTR text, UINT flags, BOOL prefixText, int textLength, CBrush* brush);
    BOOL DrawState(CPoint point, CSize size, DRAWSTATEPROC drawProc, LPARAM data, UINT flags, HBRUSH brush = nullptr);

    // ---- Bitmaps and pixels
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, int sourceWidth,
                    int sourceHeight, DWORD rop);
    BOOL TransparentBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, int sourceWidth,
                        int sourceHeight, UINT transparent);
    BOOL AlphaBlend(int x, int y, int width, int height, CDC* source, int xSource, int ySource, int sourceWidth,
                    int sourceHeight, BLENDFUNCTION blend);
    BOOL GradientFill(TRIVERTEX* vertices, ULONG vertexCount, void* mesh, ULONG meshCount, DWORD mode);
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT point) const;
    COLORREF SetPixel(int x, int y, COLORREF color);
    COLORREF SetPixel(POINT point, COLORREF color);
    BOOL SetPixelV(int x, int y, COLORREF color);
    BOOL SetPixelV(POINT point, COLORREF color);
    BOOL FloodFill(int x, int y, COLORREF color);
    BOOL ExtFloodFill(int x, int y, COLORREF color, UINT fillType);

    // ---- Text
    virtual BOOL TextOut(int x, int y, LPCWSTR text, int count);
    BOOL TextOut(int x, int y, const CString& text);
    virtual BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCWSTR text, UINT count, LPINT widths);
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, const CString& text, LPINT widths);
    // count -1: up to the terminator. The result is the text's height (from the top with DT_CALCRECT).
    virtual int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format);
    int DrawText(const CString& text, LPRECT rect, UINT format);
    virtual int DrawTextEx(LPWSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params);
    int DrawTextEx(const CString& text, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params);
    // Measured on the attribute DC.
    CSize GetTextExtent(LPCWSTR text, int count) const;
    CSize GetTextExtent(const CString& text) const;
    // Measured on the output DC.
    CSize GetOutputTextExtent(LPCWSTR text, int count) const;
    CSize GetOutputTextExtent(const CString& text) const;
    BOOL GetTextMetrics(LPTEXTMETRICW metrics) const;
    int GetTextFace(int count, LPWSTR faceName) const;
    int GetTextFace(CString& faceName) const;
    int SetTextCharacterExtra(int extra);
    int GetTextCharacterExtra() const;
};

// BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC : public CDC
{
    DECLARE_DYNAMIC(CPaintDC)

public:
    // Throws a resource exception when painting cannot begin.
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd = nullptr;
};

// The client area's DC (the screen's for a null window), released in the destructor.
class CClientDC : public CDC
{
    DECLARE_DYNAMIC(CClientDC)

public:
    // Throws a resource exception when the DC cannot be had.
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd = nullptr;
};

// The whole window's DC, frame included (the screen's for a null window), released in the destructor.
class CWindowDC : public CDC
{
    DECLARE_DYNAMIC(CWindowDC)

public:
    // Throws a resource exception when the DC cannot be had.
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd = nullptr;
};
