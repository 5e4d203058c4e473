// GDI wrappers and device contexts: drawing into a memory DC read back pixel by pixel, the objects that
// SelectObject hands back, ownership of handles and the per-thread temporary wrappers.
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "framework/core/Exceptions.h"
#include "framework/win/TempHandleMap.h"
#include "framework/win/WinThread.h"
#include "tests/framework/MemoryCanvas.h"
#include "framework/win/Wnd.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
// OBM_CHECK, which the platform headers declare only for programs that ask for OEM resources.
constexpr UINT kCheckMarkBitmap = 32760;

using Canvas = lqtest::MemoryCanvas;

TEST(CdcDrawing, FillSolidRectFillsExactlyTheRectangleAndLeavesItsColourAsBackground)
{
    Canvas canvas(20, 20);
    canvas.Dc().FillSolidRect(CRect(2, 3, 7, 9), kRed);

    EXPECT_EQ(kRed, canvas.Dc().GetPixel(2, 3));
    EXPECT_EQ(kRed, canvas.Dc().GetPixel(6, 8));
    EXPECT_EQ(kWhite, canvas.Dc().GetPixel(7, 8)); // right and bottom edges are outside
    EXPECT_EQ(kWhite, canvas.Dc().GetPixel(6, 9));
    EXPECT_EQ(kWhite, canvas.Dc().GetPixel(1, 3));
    EXPECT_EQ(kRed, canvas.Dc().GetBkColor());
}

struct Frame3dCase
{
    const char* name;
    bool rectForm;
};

class Draw3dRectTest : public testing::TestWithParam<Frame3dCase>
{
};

TEST_P(Draw3dRectTest, TopAndLeftInFirstColourBottomAndRightInSecond)
{
    Canvas canvas(20, 20);
    const CRect frame(2, 3, 12, 10); // 10 wide, 7 high
    if (GetParam().rectForm)
        canvas.Dc().Draw3dRect(frame, kRed, kBlue);
    else
        canvas.Dc().Draw3dRect(frame.left, frame.top, frame.Width(), frame.Height(), kRed, kBlue);

    struct
    {
        int x, y;
        COLORREF colour;
    } const expected[] = {
        {2, 3, kRed},   {10, 3, kRed},   {2, 8, kRed},    // top and left, up to the far corners
        {11, 3, kBlue}, {11, 9, kBlue},  {2, 9, kBlue},   // top-right, bottom-right and bottom-left corners
        {11, 6, kBlue}, {6, 9, kBlue},                    // right and bottom sides
        {6, 6, kWhite}, {12, 6, kWhite}, {6, 10, kWhite}, // inside and outside stay untouched
    };
    for (const auto& point : expected)
        EXPECT_EQ(point.colour, canvas.Dc().GetPixel(point.x, point.y)) << point.x << "," << point.y;
}

INSTANTIATE_TEST_SUITE_P(BothForms, Draw3dRectTest,
                         testing::Values(Frame3dCase{"rect", true}, Frame3dCase{"coordinates", false}),
                         [](const testing::TestParamInfo<Frame3dCase>& info) { return info.param.name; });

TEST(CdcDrawing, ShapesLinesAndBlitsLandWhereAsked)
{
    Canvas canvas(40, 40);
    CDC& dc = canvas.Dc();
    CPen pen(PS_SOLID, 1, kBlue);
    CBrush brush(kGreen);
    CPen* oldPen = dc.SelectObject(&pen);
    CBrush* oldBrush = dc.SelectObject(&brush);

    dc.Rectangle(0, 0, 10, 10);
    EXPECT_EQ(kBlue, dc.GetPixel(0, 0));
    EXPECT_EQ(kBlue, dc.GetPixel(9, 9));
    EXPECT_EQ(kGreen, dc.GetPixel(5, 5));
    EXPECT_EQ(kWhite, dc.GetPixel(10, 10));

    // MoveTo reports the previous position; the last point of a line is left out.
    dc.MoveTo(0, 20);
    EXPECT_EQ(CPoint(0, 20), dc.MoveTo(0, 15));
    dc.LineTo(10, 15);
    EXPECT_EQ(kBlue, dc.GetPixel(9, 15));
    EXPECT_EQ(kWhite, dc.GetPixel(10, 15));
    EXPECT_EQ(CPoint(10, 15), dc.GetCurrentPosition());

    const POINT triangle[] = {{20, 0}, {30, 0}, {20, 10}};
    dc.Polygon(triangle, 3);
    EXPECT_EQ(kGreen, dc.GetPixel(22, 2));
    EXPECT_EQ(kWhite, dc.GetPixel(29, 9));

    dc.SetPixel(35, 35, kRed);
    dc.BitBlt(0, 30, 6, 6, &dc, 30, 30, SRCCOPY);
    EXPECT_EQ(kRed, dc.GetPixel(5, 35));
    dc.PatBlt(0, 30, 6, 6, BLACKNESS);
    EXPECT_EQ(RGB(0, 0, 0), dc.GetPixel(5, 35));

    EXPECT_EQ(&pen, dc.SelectObject(oldPen));
    EXPECT_EQ(&brush, dc.SelectObject(oldBrush));
}

TEST(CdcDrawing, OriginsClippingAndSavedStatesShiftAndLimitDrawing)
{
    Canvas canvas(30, 30);
    CDC& dc = canvas.Dc();

    const int saved = dc.SaveDC();
    ASSERT_NE(0, saved);
    dc.SetViewportOrg(10, 10);
    dc.SetTextColor(kRed);
    CPoint point(0, 0);
    dc.LPtoDP(&point);
    EXPECT_EQ(CPoint(10, 10), point);
    dc.DPtoLP(&point);
    EXPECT_EQ(CPoint(0, 0), point);

    dc.IntersectClipRect(0, 0, 5, 5);
    dc.ExcludeClipRect(0, 0, 2, 2);
    CRect box;
    dc.GetClipBox(&box);
    EXPECT_EQ(CRect(0, 0, 5, 5), box);
    dc.FillSolidRect(-10, -10, 40, 40, kBlue);
    EXPECT_EQ(kBlue, dc.GetPixel(3, 3)); // logical coordinates
    EXPECT_EQ(kWhite, dc.GetPixel(1, 1));

    ASSERT_TRUE(dc.RestoreDC(saved));
    EXPECT_EQ(CPoint(0, 0), dc.GetViewportOrg());
    EXPECT_NE(kRed, dc.GetTextColor());
    EXPECT_EQ(kBlue, dc.GetPixel(13, 13));
    EXPECT_EQ(kBlue, dc.GetPixel(14, 10));
    EXPECT_EQ(kWhite, dc.GetPixel(11, 11)); // excluded
    EXPECT_EQ(kWhite, dc.GetPixel(15, 15)); // outside the intersection
    EXPECT_EQ(kWhite, dc.GetPixel(9, 9));
    dc.FillSolidRect(0, 0, 30, 30, kGreen);
    EXPECT_EQ(kGreen, dc.GetPixel(0, 0));

    CRgn clip;
    ASSERT_TRUE(clip.CreateRectRgn(20, 20, 25, 25));
    EXPECT_EQ(SIMPLEREGION, dc.SelectObject(&clip));
    dc.FillSolidRect(0, 0, 30, 30, kRed);
    EXPECT_EQ(kRed, dc.GetPixel(20, 20));
    EXPECT_EQ(kGreen, dc.GetPixel(19, 20));
    dc.SelectClipRgn(nullptr);
    dc.GetClipBox(&box);
    EXPECT_EQ(CRect(0, 0, 30, 30), box);
}

TEST(CdcDrawing, GradientsHalftoneAndStatesFillTheirArea)
{
    Canvas canvas(64, 20);
    CDC& dc = canvas.Dc();

    TRIVERTEX corners[2] = {{0, 0, 0xFF00, 0, 0, 0}, {64, 10, 0, 0, 0xFF00, 0}};
    GRADIENT_RECT mesh{0, 1};
    ASSERT_TRUE(dc.GradientFill(corners, 2, &mesh, 1, GRADIENT_FILL_RECT_H));
    EXPECT_EQ(kRed, dc.GetPixel(0, 5));
    const COLORREF right = dc.GetPixel(63, 5);
    EXPECT_GT(GetBValue(right), 240);
    EXPECT_LT(GetRValue(right), 15);

    // The halftone brush alternates pixels in both directions.
    CRect band(0, 10, 64, 20);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkColor(kWhite);
    dc.FillRect(band, CDC::GetHalftoneBrush());
    EXPECT_EQ(CDC::GetHalftoneBrush(), CDC::GetHalftoneBrush());
    EXPECT_NE(dc.GetPixel(0, 10), dc.GetPixel(1, 10));
    EXPECT_NE(dc.GetPixel(0, 10), dc.GetPixel(0, 11));
    EXPECT_EQ(dc.GetPixel(0, 10), dc.GetPixel(1, 11));

    dc.FillSolidRect(band, kWhite);
    CBrush blue(kBlue);
    ASSERT_TRUE(dc.DrawState(CPoint(2, 10), CSize(40, 10), L"&Wide", DSS_MONO, TRUE, 0, &blue));
    int bluePixels = 0;
    for (int y = 10; y < 20; ++y)
        for (int x = 0; x < 64; ++x)
            bluePixels += dc.GetPixel(x, y) == kBlue;
    EXPECT_GT(bluePixels, 10);
    EXPECT_EQ(kWhite, dc.GetPixel(50, 15));
}

// Paints the invalid part of the window in g_paintColour and records what BeginPaint handed over.
RECT g_painted;
COLORREF g_paintColour;

LRESULT CALLBACK PaintRedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    try {
        CPaintDC dc(CWnd::FromHandle(window));
        g_painted = dc.m_ps.rcPaint;
        dc.FillSolidRect(&dc.m_ps.rcPaint, g_paintColour);
    } catch (CException* failure) {
        failure->Delete();
    }
    return 0;
}

TEST(CdcWindows, PaintClientAndWindowDcsCoverTheirAreas)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PaintRedProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"LqPaintRedTest";
    RegisterClassW(&windowClass);
    g_paintColour = kWhite;
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"LqPaintRedTest", L"paint", WS_POPUP | WS_BORDER | WS_VISIBLE, 300,
                                  300, 120, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    lqtest::PumpPending();
    CWnd* wnd = CWnd::FromHandle(window);

    const RECT invalid = {10, 10, 30, 20};
    InvalidateRect(window, &invalid, FALSE);
    g_painted = RECT{};
    g_paintColour = kRed;
    UpdateWindow(window);
    EXPECT_EQ(CRect(invalid), CRect(g_painted));
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)); // the painting DC validated what it painted

    CRect client;
    GetClientRect(window, &client);
    CRect outer;
    GetWindowRect(window, &outer);
    {
        CClientDC dc(wnd);
        CRect box;
        dc.GetClipBox(&box);
        EXPECT_EQ(client, box);
        EXPECT_EQ(kRed, dc.GetPixel(15, 15));
        EXPECT_EQ(kWhite, dc.GetPixel(5, 5));
    }
    {
        CWindowDC dc(wnd);
        CRect box;
        dc.GetClipBox(&box);
        EXPECT_EQ(CRect(0, 0, outer.Width(), outer.Height()), box);
        // The frame is part of this DC: the client pixel (15, 15) lies one border width further in.
        EXPECT_EQ(kRed, dc.GetPixel(16, 16));
    }
    {
        CClientDC screen(nullptr);
        EXPECT_GT(screen.GetDeviceCaps(BITSPIXEL), 0);
    }
    DestroyWindow(window);

    // Without a window there is nothing to paint: the constructor throws, as the framework's resource failures do.
    bool thrown = false;
    try {
        CPaintDC dc(nullptr);
    } catch (CResourceException* failure) {
        thrown = true;
        failure->Delete();
    }
    EXPECT_TRUE(thrown);
    thrown = false;
    try {
        CBrush pattern(static_cast<CBitmap*>(nullptr));
    } catch (CResourceException* failure) {
        thrown = true;
        failure->Delete();
    }
    EXPECT_TRUE(thrown);
}

TEST(CdcText, ExtentsFollowTheSelectedFontAndDrawTextStaysInItsRectangle)
{
    Canvas canvas(200, 60);
    CDC& dc = canvas.Dc();
    CFont font;
    ASSERT_TRUE(
        font.CreateFont(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, L"Tahoma"));
    CFont* previous = dc.SelectObject(&font);
    ASSERT_NE(nullptr, previous);

    TEXTMETRICW metrics{};
    ASSERT_TRUE(dc.GetTextMetrics(&metrics));
    EXPECT_EQ(20, metrics.tmHeight - metrics.tmInternalLeading);

    const CString text(L"Lanternquill");
    SIZE platform{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc.GetSafeHdc(), text, text.GetLength(), &platform));
    const CSize extent = dc.GetTextExtent(text);
    EXPECT_EQ(CSize(platform), extent);
    EXPECT_EQ(metrics.tmHeight, extent.cy);
    EXPECT_EQ(dc.GetTextExtent(L"Lant", 4), dc.GetTextExtent(CString(L"Lant")));
    EXPECT_LT(dc.GetTextExtent(L"Lant", 4).cx, extent.cx);

    CRect measured(0, 0, 0, 0);
    EXPECT_EQ(extent.cy, dc.DrawText(text, &measured, DT_SINGLELINE | DT_CALCRECT));
    EXPECT_EQ(extent.cx, measured.Width());

    dc.SetTextColor(kBlue);
    dc.SetBkMode(TRANSPARENT);
    CRect box(10, 10, 10 + extent.cx, 10 + extent.cy);
    dc.DrawText(text, &box, DT_SINGLELINE);
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (dc.GetPixel(x, y) == kBlue)
                ++(box.PtInRect(CPoint(x, y)) ? inside : outside);
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(0, outside);

    CString face;
    EXPECT_GT(dc.GetTextFace(face), 0);
    EXPECT_EQ(face.GetLength(), static_cast<int>(wcslen(face)));
    EXPECT_EQ(&font, dc.SelectObject(previous));
}

TEST(CdcObjects, SelectObjectHandsBackThePreviousObjectOfItsKind)
{
    Canvas canvas(8, 8);
    CDC& dc = canvas.Dc();
    CPen first(PS_SOLID, 1, kRed);
    CPen second(PS_DASH, 1, kBlue);

    // The DC's default pen belongs to no object here, so a temporary wrapper of the right class stands for it.
    CPen* original = dc.SelectObject(&first);
    ASSERT_NE(nullptr, original);
    EXPECT_TRUE(original->IsKindOf(RUNTIME_CLASS(CPen)));
    EXPECT_EQ(GetStockObject(BLACK_PEN), original->GetSafeHandle());
    // A pen that an object owns comes back as that very object.
    EXPECT_EQ(&first, dc.SelectObject(&second));
    EXPECT_EQ(&second, dc.SelectObject(original));

    CBrush brush(kGreen);
    CGdiObject* originalBrush = dc.SelectObject(static_cast<CGdiObject*>(&brush));
    ASSERT_NE(nullptr, originalBrush);
    EXPECT_TRUE(originalBrush->IsKindOf(RUNTIME_CLASS(CBrush)));
    EXPECT_EQ(&brush, dc.SelectStockObject(NULL_BRUSH));
    EXPECT_EQ(GetStockObject(NULL_BRUSH), dc.GetCurrentBrush()->GetSafeHandle());

    EXPECT_EQ(&canvas.Bitmap(), dc.GetCurrentBitmap());
    CBitmap other;
    ASSERT_TRUE(other.CreateCompatibleBitmap(&dc, 4, 4));
    EXPECT_EQ(&canvas.Bitmap(), dc.SelectObject(&other));
    EXPECT_EQ(&other, dc.SelectObject(&canvas.Bitmap()));

    // A null object selects nothing and reports failure.
    EXPECT_EQ(nullptr, dc.SelectObject(static_cast<CPen*>(nullptr)));
    EXPECT_EQ(&canvas.Bitmap(), dc.GetCurrentBitmap());
}

TEST(GdiObjects, WrappersDeleteTheirHandlesButNotDetachedOrStockOnes)
{
    HGDIOBJ owned[5] = {};
    {
        CPen pen;
        CBrush brush;
        CFont font;
        CBitmap bitmap;
        CRgn region;
        ASSERT_TRUE(pen.CreatePen(PS_SOLID, 2, kRed));
        ASSERT_TRUE(brush.CreateHatchBrush(HS_CROSS, kBlue));
        ASSERT_TRUE(font.CreatePointFont(90, L"Tahoma"));
        ASSERT_TRUE(bitmap.CreateBitmap(4, 4, 1, 32, nullptr));
        ASSERT_TRUE(region.CreateEllipticRgn(0, 0, 10, 10));
        owned[0] = pen;
        owned[1] = brush;
        owned[2] = font;
        owned[3] = bitmap;
        owned[4] = region;
        for (HGDIOBJ handle : owned)
            EXPECT_NE(0u, GetObjectType(handle));
        // A second Create on an object that already holds a handle fails and leaves the first alone.
        EXPECT_FALSE(pen.CreatePen(PS_SOLID, 1, kBlue));
        EXPECT_EQ(owned[0], pen.GetSafeHandle());
    }
    for (HGDIOBJ handle : owned)
        EXPECT_EQ(0u, GetObjectType(handle));

    HGDIOBJ kept = nullptr;
    {
        CBrush brush(kRed);
        kept = brush.Detach();
        EXPECT_EQ(nullptr, brush.GetSafeHandle());
    }
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(kept));
    DeleteObject(kept);

    {
        CGdiObject stock;
        ASSERT_TRUE(stock.CreateStockObject(WHITE_BRUSH));
        CBrush system;
        ASSERT_TRUE(system.CreateSysColorBrush(COLOR_WINDOW));
    }
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(GetSysColorBrush(COLOR_WINDOW)));
}

TEST(GdiObjects, TemporaryWrappersAreSharedPerThreadAndNeverDeleteTheHandle)
{
    AfxDeleteTempGraphicsMaps();
    ASSERT_EQ(0u, AfxGetTempGraphicsCount());
    HBRUSH raw = CreateSolidBrush(kRed);
    CGdiObject* temporary = CGdiObject::FromHandle(raw);
    ASSERT_NE(nullptr, temporary);
    EXPECT_TRUE(temporary->IsKindOf(RUNTIME_CLASS(CBrush)));
    EXPECT_EQ(temporary, CBrush::FromHandle(raw));
    EXPECT_EQ(nullptr, CGdiObject::FromHandle(nullptr));
    EXPECT_EQ(1u, AfxGetTempGraphicsCount());

    // Another thread has maps of its own.
    CGdiObject* elsewhere = nullptr;
    size_t countElsewhere = 0;
    std::thread([&] {
        elsewhere = CGdiObject::FromHandle(raw);
        countElsewhere = AfxGetTempGraphicsCount();
        AfxDeleteTempGraphicsMaps();
    }).join();
    EXPECT_NE(temporary, elsewhere);
    EXPECT_EQ(1u, countElsewhere);
    EXPECT_EQ(1u, AfxGetTempGraphicsCount());

    AfxDeleteTempGraphicsMaps();
    EXPECT_EQ(0u, AfxGetTempGraphicsCount());
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(raw));

    // Once an object owns the handle, FromHandle finds the owner; after Detach, a temporary again.
    CBrush owner;
    ASSERT_TRUE(owner.Attach(raw));
    EXPECT_EQ(&owner, CGdiObject::FromHandle(raw));
    EXPECT_FALSE(owner.Attach(GetStockObject(BLACK_BRUSH)));
    owner.Detach();
    CBrush* again = CBrush::FromHandle(static_cast<HBRUSH>(raw));
    EXPECT_NE(static_cast<CGdiObject*>(&owner), again);
    EXPECT_EQ(raw, again->GetSafeHandle());
    // Deleting a temporary's handle through it leaves the wrapper to the idle clean-up, which still frees it.
    EXPECT_TRUE(again->DeleteObject());
    EXPECT_EQ(0u, GetObjectType(raw));
    EXPECT_EQ(1u, AfxGetTempGraphicsCount());
    AfxDeleteTempGraphicsMaps();
    EXPECT_EQ(0u, AfxGetTempGraphicsCount());

    HDC screen = GetDC(nullptr);
    CDC* dc = CDC::FromHandle(screen);
    EXPECT_EQ(dc, CDC::FromHandle(screen));
    EXPECT_EQ(screen, dc->m_hAttribDC);
    EXPECT_GT(dc->GetDeviceCaps(BITSPIXEL), 0);
    CDC::DeleteTempMap();
    EXPECT_EQ(0u, AfxGetTempGraphicsCount());
    // The temporary did not release or delete the screen DC.
    EXPECT_GT(GetDeviceCaps(screen, BITSPIXEL), 0);
    ReleaseDC(nullptr, screen);

    // The thread's idle processing is what frees them in a running program.
    CGdiObject::FromHandle(GetStockObject(DEFAULT_GUI_FONT));
    ASSERT_EQ(1u, AfxGetTempGraphicsCount());
    CWinThread idleThread;
    idleThread.OnIdle(1);
    EXPECT_EQ(0u, AfxGetTempGraphicsCount());
}

TEST(GdiObjects, FontsReportTheirLogicalDescription)
{
    CClientDC screen(nullptr);
    CFont pointFont;
    ASSERT_TRUE(pointFont.CreatePointFont(120, L"Tahoma", &screen));
    LOGFONTW described{};
    ASSERT_EQ(static_cast<int>(sizeof(LOGFONTW)), pointFont.GetLogFont(&described));
    EXPECT_EQ(-MulDiv(120, screen.GetDeviceCaps(LOGPIXELSY), 720), described.lfHeight);
    EXPECT_STREQ(L"Tahoma", described.lfFaceName);

    described.lfWeight = FW_BOLD;
    CFont bold;
    ASSERT_TRUE(bold.CreateFontIndirect(&described));
    LOGFONTW boldDescribed{};
    bold.GetLogFont(&boldDescribed);
    EXPECT_EQ(FW_BOLD, boldDescribed.lfWeight);
    EXPECT_EQ(described.lfHeight, boldDescribed.lfHeight);
}

TEST(GdiObjects, BitmapsReportTheirSizeAndDimension)
{
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(13, 7, 1, 32, nullptr));
    BITMAP info{};
    ASSERT_EQ(static_cast<int>(sizeof(BITMAP)), bitmap.GetBitmap(&info));
    EXPECT_EQ(13, info.bmWidth);
    EXPECT_EQ(7, info.bmHeight);
    EXPECT_EQ(32, info.bmBitsPixel);
    EXPECT_EQ(CSize(0, 0), bitmap.SetBitmapDimension(40, 20));
    EXPECT_EQ(CSize(40, 20), bitmap.GetBitmapDimension());

    BITMAP described = info;
    described.bmBits = nullptr;
    CBitmap copy;
    ASSERT_TRUE(copy.CreateBitmapIndirect(&described));
    BITMAP copyInfo{};
    copy.GetBitmap(&copyInfo);
    EXPECT_EQ(13, copyInfo.bmWidth);

    CBitmap check;
    ASSERT_TRUE(check.LoadOEMBitmap(kCheckMarkBitmap));
    BITMAP checkInfo{};
    check.GetBitmap(&checkInfo);
    EXPECT_GT(checkInfo.bmWidth, 0);

    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(0x7FF0));
    EXPECT_EQ(nullptr, missing.GetSafeHandle());
}

TEST(GdiObjects, RegionsCombineMoveAndAnswerHitTests)
{
    CRgn left;
    CRgn right;
    CRgn both;
    ASSERT_TRUE(left.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(right.CreateRectRgnIndirect(CRect(5, 0, 20, 10)));
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));

    struct
    {
        int mode;
        int kind;
        CRect box;
        POINT inside;
        POINT outside;
    } const cases[] = {
        {RGN_OR, SIMPLEREGION, CRect(0, 0, 20, 10), {15, 5}, {20, 5}},
        {RGN_AND, SIMPLEREGION, CRect(5, 0, 10, 10), {5, 5}, {4, 5}},
        {RGN_DIFF, SIMPLEREGION, CRect(0, 0, 5, 10), {4, 5}, {5, 5}},
        {RGN_XOR, COMPLEXREGION, CRect(0, 0, 20, 10), {12, 5}, {7, 5}},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(test.kind, both.CombineRgn(&left, &right, test.mode)) << test.mode;
        CRect box;
        both.GetRgnBox(&box);
        EXPECT_EQ(test.box, box) << test.mode;
        EXPECT_TRUE(both.PtInRegion(test.inside)) << test.mode;
        EXPECT_FALSE(both.PtInRegion(test.outside)) << test.mode;
    }

    CRgn copy;
    ASSERT_TRUE(copy.CreateRectRgn(0, 0, 0, 0));
    EXPECT_NE(ERROR, copy.CopyRgn(&left));
    EXPECT_TRUE(copy.EqualRgn(&left));
    copy.OffsetRgn(3, 4);
    CRect box;
    copy.GetRgnBox(&box);
    EXPECT_EQ(CRect(3, 4, 13, 14), box);
    copy.SetRectRgn(CRect(1, 1, 2, 2));
    EXPECT_TRUE(copy.PtInRegion(1, 1));
    EXPECT_FALSE(copy.PtInRegion(2, 2));

    CRgn rounded;
    ASSERT_TRUE(rounded.CreateRoundRectRgn(0, 0, 20, 20, 10, 10));
    EXPECT_FALSE(rounded.PtInRegion(0, 0)); // the corner is cut away
    EXPECT_TRUE(rounded.PtInRegion(10, 10));
    const POINT corners[] = {{0, 0}, {10, 0}, {0, 10}};
    CRgn triangle;
    ASSERT_TRUE(triangle.CreatePolygonRgn(corners, 3, ALTERNATE));
    EXPECT_TRUE(triangle.PtInRegion(2, 2));
    EXPECT_FALSE(triangle.PtInRegion(8, 8));

    CRgn empty;
    EXPECT_EQ(ERROR, empty.CombineRgn(&left, &right, RGN_OR));
}

} // namespace
