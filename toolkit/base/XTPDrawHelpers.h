// Small drawing and window helpers of the toolkit: scoped selections, off-screen DCs, gradient fills that work on
// every display, monitor work areas and bitmap-to-icon conversion.
#pragma once

#include "framework/core/Geometry.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "toolkit/base/XTPColorManager.h"

#include <windows.h>

class CWnd;

// Selects an object into a DC for the length of a scope and puts the previous one back.
class CXTPScopedSelect
{
public:
    CXTPScopedSelect(HDC hDC, HGDIOBJ hObject);
    ~CXTPScopedSelect();
    CXTPScopedSelect(const CXTPScopedSelect&) = delete;
    CXTPScopedSelect& operator=(const CXTPScopedSelect&) = delete;

    // Puts the previous object back, selects hObject and keeps the object it replaced for the end of the scope.
    void SetObject(HGDIOBJ hObject);

private:
    HDC m_hDC;
    HGDIOBJ m_hOldObject;
};

// A solid one-pixel pen of its own, selected for the length of a scope.
class CXTPScopedPen
{
public:
    CXTPScopedPen(HDC hDC, COLORREF clr);
    ~CXTPScopedPen();
    CXTPScopedPen(const CXTPScopedPen&) = delete;
    CXTPScopedPen& operator=(const CXTPScopedPen&) = delete;

    void SetColor(COLORREF clr);
    COLORREF GetColor() const;

private:
    HDC m_hDC;
    HPEN m_hPen;
    HGDIOBJ m_hOldPen;
};

// A solid brush of its own, selected for the length of a scope.
class CXTPScopedBrush
{
public:
    CXTPScopedBrush(HDC hDC, COLORREF clr);
    ~CXTPScopedBrush();
    CXTPScopedBrush(const CXTPScopedBrush&) = delete;
    CXTPScopedBrush& operator=(const CXTPScopedBrush&) = delete;

    void SetColor(COLORREF clr);
    COLORREF GetColor() const;

private:
    HDC m_hDC;
    HBRUSH m_hBrush;
    HGDIOBJ m_hOldBrush;
};

// A double buffer in the target's own coordinates: on destruction the rectangle is copied to the same place.
class CXTPOffscreenDC : public CDC
{
public:
    CXTPOffscreenDC(CDC* pDC, const RECT& rc);
    ~CXTPOffscreenDC() override;

private:
    CDC* m_pDC;
    CBitmap m_bitmap;
    CRect m_rc;
    HGDIOBJ m_hOldBitmap;
};

// A memory DC with a bitmap selected for its lifetime.
class CXTPBitmapDC : public CDC
{
public:
    // Compatible with pDC, or with the screen when pDC is null.
    CXTPBitmapDC(CDC* pDC, HBITMAP hBitmap);
    ~CXTPBitmapDC() override;

private:
    HGDIOBJ m_hOldBitmap;
};

// The optional entries of the platform's image library, looked up by name; drawing falls back to our own.
class CXTPGdiHelper
{
public:
    CXTPGdiHelper();
    // Binds another module than "msimg32.dll"; a name that does not load leaves only the own drawing.
    explicit CXTPGdiHelper(const wchar_t* pszMsImgModule);
    ~CXTPGdiHelper();
    CXTPGdiHelper(const CXTPGdiHelper&) = delete;
    CXTPGdiHelper& operator=(const CXTPGdiHelper&) = delete;

    BOOL IsGradientFillAvailable() const { return m_pfnGradientFill != nullptr; }
    void GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo, BOOL bHorz);
    // From the light to the dark colour.
    void GradientFillColor(CDC* pDC, LPCRECT lpRect, const CXTPGradientColor& grc, BOOL bHorz);

private:
    using PFNGRADIENTFILL = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    void BandedFill(HDC hDC, const RECT& rc, COLORREF crFrom, COLORREF crTo, BOOL bHorz);

    HMODULE m_hMsImg;
    PFNGRADIENTFILL m_pfnGradientFill;
};

// The process-wide helper.
CXTPGdiHelper* XTPGdiHelper();

// Work areas of the monitors through the multi-monitor functions, or of the primary screen without them.
class CXTPMultiMonitor
{
public:
    // bUseMonitorFunctions FALSE behaves as on a system without them.
    explicit CXTPMultiMonitor(BOOL bUseMonitorFunctions = TRUE);

    BOOL HasMonitorFunctions() const { return m_pfnMonitorFromRect != nullptr; }
    CRect GetWorkArea(const RECT& rc) const;
    CRect GetWorkArea(HWND hWnd) const;
    CRect GetWorkArea(POINT pt) const;

private:
    using PFNMONITORFROMRECT = HMONITOR(WINAPI*)(LPCRECT, DWORD);
    using PFNMONITORFROMWINDOW = HMONITOR(WINAPI*)(HWND, DWORD);
    using PFNMONITORFROMPOINT = HMONITOR(WINAPI*)(POINT, DWORD);
    using PFNGETMONITORINFOW = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

    CRect WorkAreaOf(HMONITOR hMonitor) const;
    static CRect PrimaryWorkArea();

    PFNMONITORFROMRECT m_pfnMonitorFromRect;
    PFNMONITORFROMWINDOW m_pfnMonitorFromWindow;
    PFNMONITORFROMPOINT m_pfnMonitorFromPoint;
    PFNGETMONITORINFOW m_pfnGetMonitorInfo;
};

// A bitmap handle (not owned) with a background colour to be turned into an icon.
class CXTPMaskedBitmap
{
public:
    explicit CXTPMaskedBitmap(HBITMAP hBitmap = nullptr) : m_hBitmap(hBitmap) {}

    // The colour of pixel (0, 0); (COLORREF)-1 when the handle is not a bitmap.
    COLORREF GetCornerColor() const;
    // An icon of the bitmap masked by its corner colour; null without a bitmap or for an empty one.
    HICON CreateIcon() const;

    HBITMAP m_hBitmap;
};

BOOL IsLowColor(CDC* pDC = nullptr);
void DrawTriangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr);
int QueryLunaColorScheme();

CRect GetClientRectSafe(const CWnd* pWnd);
CRect GetHandleClientRectSafe(HWND hWnd);
CRect GetWindowRectSafe(const CWnd* pWnd);
CRect GetHandleWindowRectSafe(HWND hWnd);
CRect& MakeEmptyRect(CRect& rc);
CPoint GetClientCursorPos(HWND hWnd);

CRect GetWorkAreaFromRect(const RECT& rc);
CRect GetWorkAreaFromWindow(HWND hWnd);
CRect GetWorkAreaFromCursor();

BOOL FontExists(LPCWSTR pszFaceName);
