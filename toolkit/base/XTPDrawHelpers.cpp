#include "toolkit/base/XTPDrawHelpers.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/Wnd.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

namespace {

template <typename Fn> Fn As(FARPROC proc)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

HDC SafeHdc(CDC* pDC)
{
    return pDC ? pDC->GetSafeHdc() : nullptr;
}

int BitsPerPixel(HDC hDC)
{
    if (hDC)
        return GetDeviceCaps(hDC, BITSPIXEL) * GetDeviceCaps(hDC, PLANES);
    const CScopedWindowDC screen(GetDesktopWindow());
    if (!screen)
        return 32;
    return GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
}

void FillSolid(HDC hDC, const RECT& rc, COLORREF clr)
{
    COLORREF clrOld = SetBkColor(hDC, clr);
    ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    SetBkColor(hDC, clrOld);
}

COLORREF Mix(COLORREF crFrom, COLORREF crTo, double t)
{
    auto channel = [t](int from, int to) { return std::min(255, static_cast<int>((1.0 - t) * from + t * to)); };
    return RGB(channel(GetRValue(crFrom), GetRValue(crTo)), channel(GetGValue(crFrom), GetGValue(crTo)),
               channel(GetBValue(crFrom), GetBValue(crTo)));
}

int CALLBACK FontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM lParam)
{
    *reinterpret_cast<BOOL*>(lParam) = TRUE;
    return 0;
}

} // namespace

// ---- Scoped selections

CXTPScopedSelect::CXTPScopedSelect(HDC hDC, HGDIOBJ hObject)
    : m_hDC(hDC), m_hOldObject(hDC && hObject ? ::SelectObject(hDC, hObject) : nullptr)
{
}

CXTPScopedSelect::~CXTPScopedSelect()
{
    if (m_hOldObject)
        ::SelectObject(m_hDC, m_hOldObject);
}

void CXTPScopedSelect::SetObject(HGDIOBJ hObject)
{
    if (m_hOldObject)
        ::SelectObject(m_hDC, m_hOldObject);
    m_hOldObject = m_hDC && hObject ? ::SelectObject(m_hDC, hObject) : nullptr;
}

CXTPScopedPen::CXTPScopedPen(HDC hDC, COLORREF clr)
    : m_hDC(hDC), m_hPen(::CreatePen(PS_SOLID, 1, clr)),
      m_hOldPen(hDC && m_hPen ? ::SelectObject(hDC, m_hPen) : nullptr)
{
}

CXTPScopedPen::~CXTPScopedPen()
{
    // The previous pen goes back before ours is deleted: a selected pen cannot be deleted.
    if (m_hOldPen)
        ::SelectObject(m_hDC, m_hOldPen);
    if (m_hPen)
        ::DeleteObject(m_hPen);
}

void CXTPScopedPen::SetColor(COLORREF clr)
{
    HPEN hPen = ::CreatePen(PS_SOLID, 1, clr);
    if (!hPen)
        return;
    HGDIOBJ hReplaced = m_hDC ? ::SelectObject(m_hDC, hPen) : nullptr;
    if (!m_hOldPen)
        m_hOldPen = hReplaced;
    if (m_hPen)
        ::DeleteObject(m_hPen);
    m_hPen = hPen;
}

COLORREF CXTPScopedPen::GetColor() const
{
    LOGPEN lp = {};
    return m_hPen && ::GetObjectW(m_hPen, sizeof(lp), &lp) ? lp.lopnColor : 0;
}

CXTPScopedBrush::CXTPScopedBrush(HDC hDC, COLORREF clr)
    : m_hDC(hDC), m_hBrush(::CreateSolidBrush(clr)),
      m_hOldBrush(hDC && m_hBrush ? ::SelectObject(hDC, m_hBrush) : nullptr)
{
}

CXTPScopedBrush::~CXTPScopedBrush()
{
    if (m_hOldBrush)
        ::SelectObject(m_hDC, m_hOldBrush);
    if (m_hBrush)
        ::DeleteObject(m_hBrush);
}

void CXTPScopedBrush::SetColor(COLORREF clr)
{
    HBRUSH hBrush = ::CreateSolidBrush(clr);
    if (!hBrush)
        return;
    HGDIOBJ hReplaced = m_hDC ? ::SelectObject(m_hDC, hBrush) : nullptr;
    if (!m_hOldBrush)
        m_hOldBrush = hReplaced;
    if (m_hBrush)
        ::DeleteObject(m_hBrush);
    m_hBrush = hBrush;
}

COLORREF CXTPScopedBrush::GetColor() const
{
    LOGBRUSH lb = {};
    return m_hBrush && ::GetObjectW(m_hBrush, sizeof(lb), &lb) ? lb.lbColor : 0;
}

// ---- Off-screen DCs

CXTPOffscreenDC::CXTPOffscreenDC(CDC* pDC, const RECT& rc) : m_pDC(pDC), m_rc(rc), m_hOldBitmap(nullptr)
{
    if (!pDC || !CreateCompatibleDC(pDC))
        return;
    // As wide and high as the rectangle's far corner, so that both DCs share their coordinates.
    if (m_bitmap.CreateCompatibleBitmap(pDC, std::max(1, static_cast<int>(m_rc.right)),
                                        std::max(1, static_cast<int>(m_rc.bottom))))
        m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.GetSafeHandle());
}

CXTPOffscreenDC::~CXTPOffscreenDC()
{
    if (m_hDC && m_hOldBitmap) {
        ::BitBlt(m_pDC->GetSafeHdc(), m_rc.left, m_rc.top, m_rc.Width(), m_rc.Height(), m_hDC, m_rc.left, m_rc.top,
                 SRCCOPY);
        ::SelectObject(m_hDC, m_hOldBitmap);
    }
    m_bitmap.DeleteObject();
}

CXTPBitmapDC::CXTPBitmapDC(CDC* pDC, HBITMAP hBitmap) : m_hOldBitmap(nullptr)
{
    if (CreateCompatibleDC(pDC) && hBitmap)
        m_hOldBitmap = ::SelectObject(m_hDC, hBitmap);
}

CXTPBitmapDC::~CXTPBitmapDC()
{
    if (m_hDC && m_hOldBitmap)
        ::SelectObject(m_hDC, m_hOldBitmap);
}

// ---- Gradient fill

CXTPGdiHelper::CXTPGdiHelper() : CXTPGdiHelper(L"msimg32.dll") {}

CXTPGdiHelper::CXTPGdiHelper(const wchar_t* pszMsImgModule)
    : m_hMsImg(pszMsImgModule ? LoadLibraryW(pszMsImgModule) : nullptr), m_pfnGradientFill(nullptr)
{
    if (m_hMsImg)
        m_pfnGradientFill = As<PFNGRADIENTFILL>(GetProcAddress(m_hMsImg, "GradientFill"));
}

CXTPGdiHelper::~CXTPGdiHelper()
{
    if (m_hMsImg)
        FreeLibrary(m_hMsImg);
}

CXTPGdiHelper* XTPGdiHelper()
{
    static CXTPGdiHelper s_helper;
    return &s_helper;
}

void CXTPGdiHelper::GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo, BOOL bHorz)
{
    HDC hDC = SafeHdc(pDC);
    if (!hDC || !lpRect || ::IsRectEmpty(lpRect))
        return;
    if (BitsPerPixel(hDC) <= 8 || crFrom == crTo) {
        FillSolid(hDC, *lpRect, crFrom);
        return;
    }
    if (m_pfnGradientFill) {
        TRIVERTEX vert[2] = {};
        vert[0].x = lpRect->left;
        vert[0].y = lpRect->top;
        vert[0].Red = static_cast<COLOR16>(GetRValue(crFrom) << 8);
        vert[0].Green = static_cast<COLOR16>(GetGValue(crFrom) << 8);
        vert[0].Blue = static_cast<COLOR16>(GetBValue(crFrom) << 8);
        vert[1].x = lpRect->right;
        vert[1].y = lpRect->bottom;
        vert[1].Red = static_cast<COLOR16>(GetRValue(crTo) << 8);
        vert[1].Green = static_cast<COLOR16>(GetGValue(crTo) << 8);
        vert[1].Blue = static_cast<COLOR16>(GetBValue(crTo) << 8);
        GRADIENT_RECT mesh = {0, 1};
        m_pfnGradientFill(hDC, vert, 2, &mesh, 1, bHorz ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
        return;
    }
    BandedFill(hDC, *lpRect, crFrom, crTo, bHorz);
}

void CXTPGdiHelper::BandedFill(HDC hDC, const RECT& rc, COLORREF crFrom, COLORREF crTo, BOOL bHorz)
{
    RECT rcClip = {};
    RECT rcDraw = rc;
    if (::GetClipBox(hDC, &rcClip) != ERROR && !::IsRectEmpty(&rcClip) && !::IntersectRect(&rcDraw, &rc, &rcClip))
        return;

    if (bHorz) {
        const int nWidth = std::max(1, static_cast<int>(rc.right - rc.left));
        for (int x = rcDraw.left; x < rcDraw.right; ++x) {
            const double t = static_cast<double>(x - rc.left) / nWidth;
            FillSolid(hDC, RECT{x, rcDraw.top, x + 1, rcDraw.bottom}, Mix(crFrom, crTo, t));
        }
    } else {
        const int nHeight = std::max(1, static_cast<int>(rc.bottom - rc.top));
        for (int y = rcDraw.top; y < rcDraw.bottom; ++y) {
            const double t = static_cast<double>(y - rc.top) / nHeight;
            FillSolid(hDC, RECT{rcDraw.left, y, rcDraw.right, y + 1}, Mix(crFrom, crTo, t));
        }
    }
}

void CXTPGdiHelper::GradientFillColor(CDC* pDC, LPCRECT lpRect, const CXTPGradientColor& grc, BOOL bHorz)
{
    GradientFill(pDC, lpRect, grc.clrLight, grc.clrDark, bHorz);
}

// ---- Monitors

CXTPMultiMonitor::CXTPMultiMonitor(BOOL bUseMonitorFunctions)
    : m_pfnMonitorFromRect(nullptr), m_pfnMonitorFromWindow(nullptr), m_pfnMonitorFromPoint(nullptr),
      m_pfnGetMonitorInfo(nullptr)
{
    HMODULE hUser = bUseMonitorFunctions ? GetModuleHandleW(L"USER32") : nullptr;
    if (!hUser)
        return;
    auto fromRect = As<PFNMONITORFROMRECT>(GetProcAddress(hUser, "MonitorFromRect"));
    auto fromWindow = As<PFNMONITORFROMWINDOW>(GetProcAddress(hUser, "MonitorFromWindow"));
    auto fromPoint = As<PFNMONITORFROMPOINT>(GetProcAddress(hUser, "MonitorFromPoint"));
    auto getInfo = As<PFNGETMONITORINFOW>(GetProcAddress(hUser, "GetMonitorInfoW"));
    // All or nothing: a partial set would mix the two ways of answering.
    if (fromRect && fromWindow && fromPoint && getInfo && GetProcAddress(hUser, "EnumDisplayMonitors")) {
        m_pfnMonitorFromRect = fromRect;
        m_pfnMonitorFromWindow = fromWindow;
        m_pfnMonitorFromPoint = fromPoint;
        m_pfnGetMonitorInfo = getInfo;
    }
}

CRect CXTPMultiMonitor::PrimaryWorkArea()
{
    CRect rc;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0))
        rc = CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return rc;
}

CRect CXTPMultiMonitor::WorkAreaOf(HMONITOR hMonitor) const
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!hMonitor || !m_pfnGetMonitorInfo(hMonitor, &info))
        return PrimaryWorkArea();
    return CRect(info.rcWork);
}

CRect CXTPMultiMonitor::GetWorkArea(const RECT& rc) const
{
    if (!HasMonitorFunctions())
        return PrimaryWorkArea();
    return WorkAreaOf(m_pfnMonitorFromRect(&rc, MONITOR_DEFAULTTONULL));
}

CRect CXTPMultiMonitor::GetWorkArea(HWND hWnd) const
{
    if (!HasMonitorFunctions() || !IsWindow(hWnd))
        return PrimaryWorkArea();
    return WorkAreaOf(m_pfnMonitorFromWindow(hWnd, MONITOR_DEFAULTTONULL));
}

CRect CXTPMultiMonitor::GetWorkArea(POINT pt) const
{
    if (!HasMonitorFunctions())
        return PrimaryWorkArea();
    return WorkAreaOf(m_pfnMonitorFromPoint(pt, MONITOR_DEFAULTTONULL));
}

namespace {

const CXTPMultiMonitor& MultiMonitor()
{
    static const CXTPMultiMonitor s_monitors;
    return s_monitors;
}

} // namespace

CRect GetWorkAreaFromRect(const RECT& rc)
{
    return MultiMonitor().GetWorkArea(rc);
}

CRect GetWorkAreaFromWindow(HWND hWnd)
{
    return MultiMonitor().GetWorkArea(hWnd);
}

CRect GetWorkAreaFromCursor()
{
    POINT pt = {};
    GetCursorPos(&pt);
    return MultiMonitor().GetWorkArea(pt);
}

// ---- Masked bitmap

COLORREF CXTPMaskedBitmap::GetCornerColor() const
{
    if (!m_hBitmap || GetObjectType(m_hBitmap) != OBJ_BITMAP)
        return static_cast<COLORREF>(-1);
    const CScopedCreatedDC dc(CreateCompatibleDC(nullptr));
    if (!dc)
        return static_cast<COLORREF>(-1);
    HGDIOBJ hOld = SelectObject(dc, m_hBitmap);
    COLORREF clr = hOld ? GetPixel(dc, 0, 0) : static_cast<COLORREF>(-1);
    if (hOld)
        SelectObject(dc, hOld);
    return clr;
}

HICON CXTPMaskedBitmap::CreateIcon() const
{
    BITMAP bm = {};
    if (!m_hBitmap || GetObjectType(m_hBitmap) != OBJ_BITMAP || !GetObjectW(m_hBitmap, sizeof(bm), &bm) ||
        bm.bmWidth <= 0 || bm.bmHeight == 0)
        return nullptr;
    const COLORREF clrMask = GetCornerColor();
    // Adding with a mask colour blackens those pixels of the source; the bitmap is not ours, so a copy goes in.
    const CScopedBitmap hCopy(static_cast<HBITMAP>(CopyImage(m_hBitmap, IMAGE_BITMAP, 0, 0, 0)));
    if (!hCopy)
        return nullptr;
    const CScopedImageList hList(ImageList_Create(bm.bmWidth, std::abs(bm.bmHeight), ILC_COLOR24 | ILC_MASK, 1, 0));
    if (!hList || ImageList_AddMasked(hList, hCopy, clrMask) < 0)
        return nullptr;
    return ImageList_GetIcon(hList, 0, ILD_NORMAL);
}

// ---- Free helpers

BOOL IsLowColor(CDC* pDC)
{
    const int nBits = BitsPerPixel(SafeHdc(pDC));
    return nBits >= 1 && nBits <= 8;
}

void DrawTriangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr)
{
    HDC hDC = SafeHdc(pDC);
    if (!hDC)
        return;
    CXTPScopedPen pen(hDC, clr);
    CXTPScopedBrush brush(hDC, clr);
    const POINT pts[3] = {pt0, pt1, pt2};
    ::Polygon(hDC, pts, 3);
}

int QueryLunaColorScheme()
{
    return XTPColorManager()->GetLunaColorScheme();
}

CRect GetHandleClientRectSafe(HWND hWnd)
{
    CRect rc;
    if (!hWnd || !IsWindow(hWnd) || !GetClientRect(hWnd, &rc))
        rc.SetRectEmpty();
    return rc;
}

CRect GetClientRectSafe(const CWnd* pWnd)
{
    return GetHandleClientRectSafe(pWnd ? pWnd->GetSafeHwnd() : nullptr);
}

CRect GetHandleWindowRectSafe(HWND hWnd)
{
    CRect rc;
    if (!hWnd || !IsWindow(hWnd) || !GetWindowRect(hWnd, &rc))
        rc.SetRectEmpty();
    return rc;
}

CRect GetWindowRectSafe(const CWnd* pWnd)
{
    return GetHandleWindowRectSafe(pWnd ? pWnd->GetSafeHwnd() : nullptr);
}

CRect& MakeEmptyRect(CRect& rc)
{
    rc.SetRectEmpty();
    return rc;
}

CPoint GetClientCursorPos(HWND hWnd)
{
    POINT pt = {};
    GetCursorPos(&pt);
    if (hWnd)
        ScreenToClient(hWnd, &pt);
    return CPoint(pt);
}

BOOL FontExists(LPCWSTR pszFaceName)
{
    if (!pszFaceName || !*pszFaceName || wcslen(pszFaceName) >= LF_FACESIZE)
        return FALSE;
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, pszFaceName, LF_FACESIZE);
    BOOL bFound = FALSE;
    const CScopedWindowDC screen(nullptr);
    if (!screen)
        return FALSE;
    EnumFontFamiliesExW(screen, &lf, FontFound, reinterpret_cast<LPARAM>(&bFound), 0);
    return bFound;
}
