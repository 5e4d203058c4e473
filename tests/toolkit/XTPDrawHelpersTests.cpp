// Drawing helpers: gradient fills with and without the platform's entry, off-screen DCs, scoped selections,
// safe rectangles, work areas and bitmap icons.
#include "tests/framework/MemoryCanvas.h"
#include "toolkit/base/XTPDrawHelpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Canvas = lqtest::MemoryCanvas;

const COLORREF kCanvasFill = RGB(1, 2, 3);

std::string Hex(COLORREF clr)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%06lX", static_cast<unsigned long>(clr));
    return text;
}

COLORREF Mix(COLORREF a, COLORREF b, double t)
{
    auto m = [t](int x, int y) { return static_cast<int>((1.0 - t) * x + t * y); };
    return RGB(m(GetRValue(a), GetRValue(b)), m(GetGValue(a), GetGValue(b)), m(GetBValue(a), GetBValue(b)));
}

TEST(XTPGdiHelper, EqualColoursAndEmptyRectangles)
{
    for (const wchar_t* pszModule : {L"msimg32.dll", L"lq-no-such-msimg32.dll"}) {
        CXTPGdiHelper helper(pszModule);
        Canvas canvas(20, 10, kCanvasFill);
        RECT rcEmpty = {5, 5, 5, 9};
        helper.GradientFill(&canvas.Dc(), &rcEmpty, RGB(255, 0, 0), RGB(0, 0, 255), FALSE);
        helper.GradientFill(&canvas.Dc(), nullptr, RGB(255, 0, 0), RGB(0, 0, 255), FALSE);
        EXPECT_EQ(0, canvas.CountNot(kCanvasFill));

        RECT rc = {0, 0, 20, 10};
        helper.GradientFill(&canvas.Dc(), &rc, RGB(10, 200, 30), RGB(10, 200, 30), TRUE);
        EXPECT_EQ(0, canvas.CountNot(RGB(10, 200, 30)));
    }
}

TEST(XTPGdiHelper, BandedFillWithoutThePlatformEntry)
{
    CXTPGdiHelper helper(L"lq-no-such-msimg32.dll");
    ASSERT_FALSE(helper.IsGradientFillAvailable());
    const COLORREF from = RGB(0, 0, 0), to = RGB(200, 100, 50);
    {
        Canvas canvas(4, 10, kCanvasFill);
        RECT rc = {0, 0, 4, 10};
        helper.GradientFill(&canvas.Dc(), &rc, from, to, FALSE);
        for (int y = 0; y < 10; ++y)
            EXPECT_EQ(Hex(Mix(from, to, y / 10.0)), Hex(canvas.At(2, y))) << "row " << y;
        EXPECT_EQ(Hex(RGB(180, 90, 45)), Hex(canvas.At(0, 9)));
    }
    {
        Canvas canvas(10, 3, kCanvasFill);
        RECT rc = {0, 0, 10, 3};
        helper.GradientFill(&canvas.Dc(), &rc, from, to, TRUE);
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(Hex(Mix(from, to, x / 10.0)), Hex(canvas.At(x, 1))) << "column " << x;
    }
    {
        Canvas canvas(4, 3, kCanvasFill);
        RECT rc = {0, 1, 4, 2};
        helper.GradientFill(&canvas.Dc(), &rc, RGB(9, 8, 7), to, FALSE);
        EXPECT_EQ(Hex(RGB(9, 8, 7)), Hex(canvas.At(3, 1)));
        EXPECT_EQ(Hex(kCanvasFill), Hex(canvas.At(3, 2)));
    }
    {
        // Only the clip box is painted, with the colours of the whole rectangle.
        Canvas canvas(4, 10, kCanvasFill);
        IntersectClipRect(canvas.Dc().GetSafeHdc(), 0, 5, 4, 10);
        RECT rc = {0, 0, 4, 10};
        helper.GradientFill(&canvas.Dc(), &rc, from, to, FALSE);
        SelectClipRgn(canvas.Dc().GetSafeHdc(), nullptr);
        EXPECT_EQ(Hex(kCanvasFill), Hex(canvas.At(1, 4)));
        EXPECT_EQ(Hex(Mix(from, to, 0.5)), Hex(canvas.At(1, 5)));
        EXPECT_EQ(Hex(Mix(from, to, 0.9)), Hex(canvas.At(1, 9)));
    }
}

TEST(XTPGdiHelper, PlatformGradientRunsFromLightToDark)
{
    CXTPGdiHelper helper;
    ASSERT_TRUE(helper.IsGradientFillAvailable());
    for (BOOL bHorz : {FALSE, TRUE}) {
        Canvas canvas(64, 64, kCanvasFill);
        RECT rc = {0, 0, 64, 64};
        helper.GradientFillColor(&canvas.Dc(), &rc, CXTPGradientColor(RGB(255, 255, 255), RGB(0, 0, 0)), bHorz);
        int previous = 256;
        for (int i = 0; i < 64; ++i) {
            const COLORREF clr = bHorz ? canvas.At(i, 32) : canvas.At(32, i);
            EXPECT_LE(GetRValue(clr), previous) << i;
            previous = GetRValue(clr);
        }
        EXPECT_GE(GetRValue(bHorz ? canvas.At(0, 10) : canvas.At(10, 0)), 250);
        EXPECT_LE(GetRValue(bHorz ? canvas.At(63, 10) : canvas.At(10, 63)), 8);
        // Across the direction of the gradient the colour does not change.
        EXPECT_EQ(bHorz ? canvas.At(20, 0) : canvas.At(0, 20), bHorz ? canvas.At(20, 63) : canvas.At(63, 20));
    }
}

TEST(XTPOffscreenDC, CopiesOnlyItsRectangleBackToTheSamePlace)
{
    Canvas target(40, 30, kCanvasFill);
    {
        CXTPOffscreenDC offscreen(&target.Dc(), RECT{10, 10, 30, 20});
        offscreen.FillSolidRect(0, 0, 40, 30, RGB(255, 0, 0));
        offscreen.SetPixel(10, 10, RGB(0, 255, 0));
        EXPECT_EQ(Hex(kCanvasFill), Hex(target.At(15, 15))) << "nothing reaches the target before the end";
    }
    EXPECT_EQ(Hex(RGB(0, 255, 0)), Hex(target.At(10, 10)));
    EXPECT_EQ(Hex(RGB(255, 0, 0)), Hex(target.At(29, 19)));
    EXPECT_EQ(Hex(kCanvasFill), Hex(target.At(9, 10)));
    EXPECT_EQ(Hex(kCanvasFill), Hex(target.At(30, 19)));
    EXPECT_EQ(Hex(kCanvasFill), Hex(target.At(5, 5)));
    EXPECT_EQ(40 * 30 - 20 * 10, target.Count(kCanvasFill));
}

TEST(XTPBitmapDC, SelectsTheBitmapForItsLifetime)
{
    HDC hScreen = GetDC(nullptr);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, 8, 8);
    ReleaseDC(nullptr, hScreen);
    {
        CXTPBitmapDC dc(nullptr, hBitmap);
        EXPECT_EQ(hBitmap, GetCurrentObject(dc.GetSafeHdc(), OBJ_BITMAP));
        dc.FillSolidRect(0, 0, 8, 8, RGB(0, 0, 255));
    }
    {
        // Selected out again: another DC can take it and sees what was drawn.
        CXTPBitmapDC again(nullptr, hBitmap);
        EXPECT_EQ(hBitmap, GetCurrentObject(again.GetSafeHdc(), OBJ_BITMAP));
        EXPECT_EQ(Hex(RGB(0, 0, 255)), Hex(again.GetPixel(4, 4)));
    }
    DeleteObject(hBitmap);
}

TEST(XTPScopedObjects, PreviousObjectsComeBackAndColoursAreKept)
{
    Canvas canvas(10, 10, kCanvasFill);
    HDC hDC = canvas.Dc().GetSafeHdc();
    HGDIOBJ hPen0 = GetCurrentObject(hDC, OBJ_PEN), hBrush0 = GetCurrentObject(hDC, OBJ_BRUSH);
    {
        CXTPScopedPen pen(hDC, RGB(1, 2, 3));
        CXTPScopedBrush brush(hDC, RGB(4, 5, 6));
        EXPECT_EQ(RGB(1, 2, 3), pen.GetColor());
        EXPECT_EQ(RGB(4, 5, 6), brush.GetColor());
        pen.SetColor(RGB(7, 8, 9));
        brush.SetColor(RGB(10, 11, 12));
        EXPECT_EQ(RGB(7, 8, 9), pen.GetColor());
        EXPECT_EQ(RGB(10, 11, 12), brush.GetColor());
        LOGPEN lp = {};
        GetObjectW(GetCurrentObject(hDC, OBJ_PEN), sizeof(lp), &lp);
        EXPECT_EQ(RGB(7, 8, 9), lp.lopnColor);
    }
    EXPECT_EQ(hPen0, GetCurrentObject(hDC, OBJ_PEN));
    EXPECT_EQ(hBrush0, GetCurrentObject(hDC, OBJ_BRUSH));
    {
        CXTPScopedSelect select(hDC, GetStockObject(BLACK_PEN));
        EXPECT_EQ(GetStockObject(BLACK_PEN), GetCurrentObject(hDC, OBJ_PEN));
        select.SetObject(GetStockObject(WHITE_PEN));
        EXPECT_EQ(GetStockObject(WHITE_PEN), GetCurrentObject(hDC, OBJ_PEN));
    }
    EXPECT_EQ(hPen0, GetCurrentObject(hDC, OBJ_PEN));
}

TEST(XTPDrawHelpers, TriangleIsFilledInOneColour)
{
    Canvas canvas(20, 20, kCanvasFill);
    DrawTriangle(&canvas.Dc(), CPoint(2, 2), CPoint(17, 2), CPoint(10, 16), RGB(0, 128, 0));
    EXPECT_EQ(Hex(RGB(0, 128, 0)), Hex(canvas.At(10, 6)));
    EXPECT_EQ(Hex(RGB(0, 128, 0)), Hex(canvas.At(2, 2)));
    EXPECT_EQ(Hex(kCanvasFill), Hex(canvas.At(2, 15)));
    EXPECT_FALSE(IsLowColor(&canvas.Dc()));
    EXPECT_FALSE(IsLowColor());
}

TEST(XTPDrawHelpers, SafeRectanglesOfLiveAndDestroyedWindows)
{
    HWND hWnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 10, 20, 120, 70, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, hWnd);
    EXPECT_EQ(CRect(0, 0, 120, 70), GetHandleClientRectSafe(hWnd));
    EXPECT_EQ(CRect(10, 20, 130, 90), GetHandleWindowRectSafe(hWnd));
    DestroyWindow(hWnd);
    EXPECT_TRUE(GetHandleClientRectSafe(hWnd).IsRectEmpty());
    EXPECT_TRUE(GetHandleWindowRectSafe(hWnd).IsRectEmpty());
    EXPECT_TRUE(GetClientRectSafe(nullptr).IsRectEmpty());
    CRect rc(1, 2, 3, 4);
    EXPECT_TRUE(MakeEmptyRect(rc).IsRectEmpty());
}

TEST(XTPMultiMonitor, WorkAreasWithAndWithoutTheMonitorFunctions)
{
    CRect rcPrimary;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcPrimary, 0));
    const CXTPMultiMonitor withFunctions(TRUE), without(FALSE);
    EXPECT_TRUE(withFunctions.HasMonitorFunctions());
    EXPECT_FALSE(without.HasMonitorFunctions());
    const POINT onScreen = {rcPrimary.left + 5, rcPrimary.top + 5}, offScreen = {-30000, -30000};
    for (const CXTPMultiMonitor* pMonitors : {&withFunctions, &without}) {
        EXPECT_EQ(rcPrimary, pMonitors->GetWorkArea(onScreen));
        EXPECT_EQ(rcPrimary, pMonitors->GetWorkArea(offScreen));
        EXPECT_EQ(rcPrimary, pMonitors->GetWorkArea(RECT{10, 10, 50, 50}));
        EXPECT_EQ(rcPrimary, pMonitors->GetWorkArea(static_cast<HWND>(nullptr)));
    }
    EXPECT_EQ(rcPrimary, GetWorkAreaFromCursor());
    EXPECT_EQ(rcPrimary, GetWorkAreaFromRect(RECT{0, 0, 1, 1}));
}

TEST(XTPMaskedBitmap, IconMaskedByTheCornerColourLeavesTheBitmapAlone)
{
    const COLORREF magenta = RGB(255, 0, 255), blue = RGB(0, 0, 255);
    HDC hScreen = GetDC(nullptr);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, 16, 16);
    ReleaseDC(nullptr, hScreen);
    {
        CXTPBitmapDC dc(nullptr, hBitmap);
        dc.FillSolidRect(0, 0, 16, 16, magenta);
        dc.FillSolidRect(4, 4, 8, 8, blue);
    }
    CXTPMaskedBitmap masked(hBitmap);
    EXPECT_EQ(magenta, masked.GetCornerColor());
    HICON hIcon = masked.CreateIcon();
    ASSERT_NE(nullptr, hIcon);

    Canvas canvas(16, 16, RGB(0, 255, 0));
    DrawIconEx(canvas.Dc().GetSafeHdc(), 0, 0, hIcon, 16, 16, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(Hex(RGB(0, 255, 0)), Hex(canvas.At(1, 1)));
    EXPECT_EQ(Hex(blue), Hex(canvas.At(8, 8)));
    DestroyIcon(hIcon);
    EXPECT_EQ(magenta, masked.GetCornerColor()) << "the caller's bitmap keeps its colours";
    DeleteObject(hBitmap);

    HBRUSH hBrush = CreateSolidBrush(blue);
    CXTPMaskedBitmap notABitmap(reinterpret_cast<HBITMAP>(hBrush));
    EXPECT_EQ(static_cast<COLORREF>(-1), notABitmap.GetCornerColor());
    EXPECT_EQ(nullptr, notABitmap.CreateIcon());
    EXPECT_EQ(nullptr, CXTPMaskedBitmap().CreateIcon());
    DeleteObject(hBrush);
}

TEST(XTPDrawHelpers, FontExistsForInstalledFamiliesOnly)
{
    EXPECT_TRUE(FontExists(L"Tahoma"));
    EXPECT_TRUE(FontExists(L"tahoma"));
    EXPECT_FALSE(FontExists(L"Lq No Such Face"));
    EXPECT_FALSE(FontExists(L""));
    EXPECT_FALSE(FontExists(nullptr));
}

} // namespace
