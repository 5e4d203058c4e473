// Header themes drawn into a memory DC from a real header control, pixels read back.
#include "toolkit/controls/XTHeaderTheme.h"

#include "tests/framework/MemoryCanvas.h"
#include "tests/toolkit/ThemeOverride.h"
#include "tests/toolkit/ToolkitTestIds.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const int kWidth = 300, kHeight = 24;

using Canvas = lqtest::MemoryCanvas;

class TestHeader : public CXTThemedHeader
{
public:
    TestHeader()
    {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        m_hParent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, kWidth, 200, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        m_hHeader = CreateWindowExW(0, WC_HEADERW, L"", WS_CHILD | HDS_HORZ, 0, 0, kWidth, kHeight, m_hParent, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        SendMessageW(m_hHeader, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
    ~TestHeader() override { DestroyWindow(m_hParent); }

    void AddColumn(const wchar_t* pszText, int cx, int fmt = HDF_STRING | HDF_LEFT)
    {
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = const_cast<wchar_t*>(pszText);
        item.cxy = cx;
        item.fmt = fmt;
        SendMessageW(m_hHeader, HDM_INSERTITEMW, 0x7FFF, reinterpret_cast<LPARAM>(&item));
    }
    int Format(int iCol) const
    {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(m_hHeader, HDM_GETITEMW, iCol, reinterpret_cast<LPARAM>(&item));
        return item.fmt;
    }

    HWND GetHeaderHwnd() const override { return m_hHeader; }
    int GetSortedCol(BOOL* pbAscending) const override
    {
        if (pbAscending)
            *pbAscending = m_bAscending;
        return m_nSortCol;
    }
    BOOL IsItemPressed(int iItem) const override { return iItem == m_nPressed; }

    int m_nSortCol = -1;
    BOOL m_bAscending = TRUE;
    int m_nPressed = -1;

private:
    HWND m_hParent;
    HWND m_hHeader;
};

std::unique_ptr<CXTHeaderTheme> MakeTheme(XTControlTheme nTheme)
{
    if (nTheme == xtControlThemeOffice)
        return std::make_unique<CXTHeaderThemeV1>();
    if (nTheme == xtControlThemeWindowsXP)
        return std::make_unique<CXTHeaderThemeV2>();
    return std::make_unique<CXTHeaderTheme>();
}

COLORREF Shade(COLORREF a, COLORREF b, int pct)
{
    auto m = [pct](int x, int y) { return x + (y - x) * pct / 100; };
    return RGB(m(GetRValue(a), GetRValue(b)), m(GetGValue(a), GetGValue(b)), m(GetBValue(a), GetBValue(b)));
}

// The classic look: the platform's visual style is kept out.
class HeaderThemeTest : public ::testing::Test
{
protected:
    HeaderThemeTest() : m_classic(FALSE, nullptr, nullptr, MAKELONG(0, 6))
    {
        m_header.AddColumn(L"", 100);
        m_header.AddColumn(L"", 80);
    }
    tktest::ThemeOverride m_classic;
    TestHeader m_header;
};

TEST_F(HeaderThemeTest, DefaultsOfTheThreeThemes)
{
    struct Case
    {
        XTControlTheme theme;
        DWORD style;
        int margin, top;
    };
    const Case cases[] = {
        {xtControlThemeClassic, 7, 6, 0}, {xtControlThemeOffice, 4, 6, 0}, {xtControlThemeWindowsXP, 4, 3, 2}};
    for (const Case& c : cases) {
        auto theme = MakeTheme(c.theme);
        EXPECT_EQ(c.theme, theme->GetThemeId());
        EXPECT_EQ(c.style, theme->GetDrawStyle());
        EXPECT_EQ(c.margin, theme->m_nTextMargin);
        EXPECT_EQ(c.top, theme->m_nTextTop);
        EXPECT_EQ(10, theme->m_nArrowGap);
        EXPECT_EQ(8, theme->m_nArrowWidth);
        EXPECT_EQ(7, theme->m_nArrowHeight);
        EXPECT_FALSE(theme->IsUsingVisualStyle());
        EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), theme->m_clrDarkShadow);
    }
}

TEST_F(HeaderThemeTest, ClassicBackgroundAndEdges)
{
    struct Probe
    {
        int x, y;
        const char* colour; // f face, h highlight, s shadow, d dark shadow, 1/2/3 theme 2 shades
    };
    struct Case
    {
        XTControlTheme theme;
        std::vector<Probe> probes;
    };
    // Column 0 spans 0..100, column 1 100..180; the background's right frame lies outside the client area.
    const Case cases[] = {
        {xtControlThemeClassic,
         {{50, 0, "h"},
          {50, 1, "f"},
          {50, 22, "s"},
          {50, 23, "d"},
          {98, 5, "s"},
          {99, 0, "d"},
          {99, 5, "d"},
          {100, 5, "h"},
          {98, 0, "h"},
          {178, 5, "s"},
          {179, 5, "d"},
          {299, 5, "f"}}},
        {xtControlThemeOffice,
         {{50, 0, "h"},
          {50, 23, "s"},
          {98, 1, "f"},
          {98, 2, "s"},
          {98, 21, "s"},
          {98, 22, "f"},
          {99, 5, "h"},
          {299, 5, "f"}}},
        {xtControlThemeWindowsXP,
         {{50, 0, "h"},
          {50, 23, "3"},
          {50, 22, "2"},
          {50, 21, "1"},
          {98, 2, "s"},
          {98, 19, "s"},
          {98, 20, "f"},
          {99, 5, "h"},
          {299, 5, "f"}}},
    };
    for (const Case& c : cases) {
        auto theme = MakeTheme(c.theme);
        ASSERT_NE(theme->m_clrShadow, theme->m_clrDarkShadow);
        ASSERT_NE(theme->m_clrFace, theme->m_clrHighlight);
        Canvas canvas(kWidth, kHeight, kMagenta);
        theme->DrawHeader(canvas.Dc(), &m_header);
        for (const Probe& p : c.probes) {
            COLORREF expected = 0;
            switch (p.colour[0]) {
            case 'f':
                expected = theme->m_clrFace;
                break;
            case 'h':
                expected = theme->m_clrHighlight;
                break;
            case 's':
                expected = theme->m_clrShadow;
                break;
            case 'd':
                expected = theme->m_clrDarkShadow;
                break;
            case '1':
                expected = Shade(theme->m_clrFace, theme->m_clrShadow, 25);
                break;
            case '2':
                expected = Shade(theme->m_clrFace, theme->m_clrShadow, 40);
                break;
            case '3':
                expected = Shade(theme->m_clrFace, theme->m_clrShadow, 60);
                break;
            }
            EXPECT_EQ(expected, canvas.At(p.x, p.y)) << "theme " << c.theme << " at " << p.x << "," << p.y;
        }
    }
}

TEST_F(HeaderThemeTest, PressedColumnIsFramedInShadow)
{
    CXTHeaderTheme theme;
    m_header.m_nPressed = 0;
    Canvas canvas(kWidth, kHeight, kMagenta);
    theme.DrawHeader(canvas.Dc(), &m_header);
    EXPECT_EQ(theme.m_clrShadow, canvas.At(0, 5));
    EXPECT_EQ(theme.m_clrShadow, canvas.At(50, 0));
    EXPECT_EQ(theme.m_clrShadow, canvas.At(99, 5));
    EXPECT_EQ(theme.m_clrShadow, canvas.At(50, 23));
    EXPECT_EQ(theme.m_clrFace, canvas.At(50, 22));
    EXPECT_EQ(theme.m_clrHighlight, canvas.At(100, 5));
    // The unpressed column keeps its raised edge.
    EXPECT_EQ(theme.m_clrDarkShadow, canvas.At(179, 5));
}

TEST_F(HeaderThemeTest, ColumnsAreDrawnInDisplayOrder)
{
    int order[] = {1, 0};
    ASSERT_TRUE(SendMessageW(m_header.GetHeaderHwnd(), HDM_SETORDERARRAY, 2, reinterpret_cast<LPARAM>(order)));
    CXTHeaderTheme theme;
    Canvas canvas(kWidth, kHeight, kMagenta);
    theme.DrawHeader(canvas.Dc(), &m_header);
    EXPECT_EQ(theme.m_clrDarkShadow, canvas.At(79, 5));  // column 1, 80 wide, first
    EXPECT_EQ(theme.m_clrDarkShadow, canvas.At(179, 5)); // column 0 after it
    EXPECT_EQ(theme.m_clrFace, canvas.At(99, 5));
}

TEST_F(HeaderThemeTest, SortArrowFollowsTheTextOnlyWithItsDrawStyle)
{
    TestHeader header;
    header.AddColumn(L"Name", 120);
    header.m_nSortCol = 0;
    CXTHeaderThemeV1 theme;

    // Where the arrow goes: after the text and the gap, vertically centred on the text.
    Canvas measure(kWidth, kHeight, kMagenta);
    SelectObject(measure.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    SIZE text = {};
    GetTextExtentPoint32W(measure.Dc(), L"Name", 4, &text);
    const int x0 = theme.m_nTextMargin + text.cx + theme.m_nArrowGap;
    const int top = (kHeight - text.cy) / 2;
    const int y0 = top + (text.cy - theme.m_nArrowHeight) / 2 - 1;

    struct Case
    {
        DWORD style;
        BOOL ascending;
        int y;              // row of the arrow's base
        bool highlightBase; // descending arrows have their lit base at the top
        bool drawn;
    };
    const Case cases[] = {
        {HDR_XTP_SORTARROW, TRUE, y0 + 7, false, true},
        {HDR_XTP_SORTARROW, FALSE, y0, true, true},
        {0, TRUE, y0 + 7, false, false},
    };
    for (const Case& c : cases) {
        theme.SetDrawStyle(c.style, &header);
        header.m_bAscending = c.ascending;
        Canvas canvas(kWidth, kHeight, kMagenta);
        theme.DrawHeader(canvas.Dc(), &header);
        const COLORREF base = c.highlightBase ? theme.m_clrHighlight : theme.m_clrShadow;
        const int nBase = canvas.Count(base, CRect(x0 + 1, c.y, x0 + theme.m_nArrowWidth, c.y + 1));
        const int nArrow = canvas.Count(theme.m_clrShadow, CRect(x0, y0, x0 + 9, y0 + 8)) +
                           canvas.Count(theme.m_clrHighlight, CRect(x0, y0, x0 + 9, y0 + 8));
        if (c.drawn) {
            EXPECT_EQ(theme.m_nArrowWidth - 1, nBase) << "ascending " << c.ascending;
        } else {
            EXPECT_EQ(0, nArrow);
        }
    }
}

TEST_F(HeaderThemeTest, LayoutOfTheThemes)
{
    for (XTControlTheme nTheme : {xtControlThemeClassic, xtControlThemeOffice, xtControlThemeWindowsXP}) {
        auto theme = MakeTheme(nTheme);
        RECT rc = {5, 7, 205, 400};
        WINDOWPOS wp = {};
        HDLAYOUT layout = {&rc, &wp};
        ASSERT_TRUE(theme->Layout(&layout, &m_header));

        RECT rcDirect = {5, 7, 205, 400};
        WINDOWPOS wpDirect = {};
        HDLAYOUT direct = {&rcDirect, &wpDirect};
        SendMessageW(m_header.GetHeaderHwnd(), HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&direct));

        EXPECT_EQ(5, wp.x);
        EXPECT_EQ(7, wp.y);
        EXPECT_EQ(200, wp.cx);
        EXPECT_EQ(7 + wp.cy, rc.top);
        if (nTheme == xtControlThemeWindowsXP) {
            HDC hDC = GetDC(m_header.GetHeaderHwnd());
            HGDIOBJ hOld = SelectObject(hDC, GetStockObject(DEFAULT_GUI_FONT));
            TEXTMETRICW tm = {};
            GetTextMetricsW(hDC, &tm);
            SelectObject(hDC, hOld);
            ReleaseDC(m_header.GetHeaderHwnd(), hDC);
            EXPECT_EQ(tm.tmHeight + 10, wp.cy);
            EXPECT_EQ(static_cast<UINT>(SWP_NOZORDER | SWP_NOACTIVATE), wp.flags);
            EXPECT_EQ(m_header.GetHeaderHwnd(), wp.hwnd);
        } else {
            EXPECT_EQ(wpDirect.cy, wp.cy) << "theme " << nTheme;
        }
    }
}

TEST_F(HeaderThemeTest, ColumnBitmapReplacesTheFormatAndIsDrawn)
{
    TestHeader header;
    header.AddColumn(L"", 100, HDF_STRING | HDF_CENTER | HDF_SORTUP);
    header.AddColumn(L"", 100);
    CXTHeaderTheme theme;

    EXPECT_FALSE(theme.SetBitmap(0, 29999, FALSE, kMagenta, &header)); // no such resource
    EXPECT_EQ(HDF_STRING | HDF_CENTER | HDF_SORTUP, header.Format(0));

    ASSERT_TRUE(theme.SetBitmap(0, IDB_TEST_COLUMN16, FALSE, kMagenta, &header));
    EXPECT_EQ(HDF_BITMAP, header.Format(0));
    HIMAGELIST hImages = theme.GetColumnImageList(&header, 0);
    ASSERT_NE(nullptr, hImages);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(hImages, &cx, &cy);
    EXPECT_EQ(16, cx);
    EXPECT_EQ(16, cy);

    Canvas canvas(kWidth, kHeight, kMagenta);
    theme.DrawHeader(canvas.Dc(), &header);
    // Image at the text margin, centred: its blue square from 4 to 12, its magenta border transparent.
    const int x = theme.m_nTextMargin, y = (kHeight - 16) / 2;
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(x + 6, y + 6));
    EXPECT_EQ(theme.m_clrFace, canvas.At(x + 1, y + 1));

    ASSERT_TRUE(theme.SetBitmap(0, 0, TRUE, 0, &header));
    EXPECT_EQ(0, header.Format(0) & HDF_BITMAP);
    EXPECT_EQ(nullptr, theme.GetColumnImageList(&header, 0));
}

TEST_F(HeaderThemeTest, ForeignBitmapInAColumnIsNotTakenForAnImageList)
{
    TestHeader header;
    header.AddColumn(L"", 100);
    HBITMAP hBitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    HDITEMW item = {};
    item.mask = HDI_FORMAT | HDI_BITMAP;
    item.fmt = HDF_BITMAP;
    item.hbm = hBitmap;
    SendMessageW(header.GetHeaderHwnd(), HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));

    CXTHeaderTheme theme;
    EXPECT_EQ(nullptr, theme.GetColumnImageList(&header, 0));
    Canvas canvas(kWidth, kHeight, kMagenta);
    theme.DrawHeader(canvas.Dc(), &header);
    EXPECT_EQ(theme.m_clrDarkShadow, canvas.At(99, 5));
    theme.CleanUpImages(&header);
    BITMAP bm = {};
    EXPECT_EQ(static_cast<int>(sizeof(bm)), GetObjectW(hBitmap, sizeof(bm), &bm)) << "still a live bitmap";
    DeleteObject(hBitmap);
}

TEST(HeaderThemeVisualStyle, UsedOnlyWhenReadyAndAsked)
{
    TestHeader header;
    header.AddColumn(L"", 100);
    header.AddColumn(L"", 80);

    CXTHeaderTheme classic;
    Canvas classicCanvas(kWidth, kHeight, kMagenta);
    {
        tktest::ThemeOverride off(FALSE, nullptr, nullptr, MAKELONG(0, 6));
        classic.SetDrawStyle(7, &header);
        EXPECT_FALSE(classic.IsUsingVisualStyle());
        classic.DrawHeader(classicCanvas.Dc(), &header);
    }

    CXTHeaderTheme themed;
    themed.SetDrawStyle(HDR_XTP_HOTTRACK | HDR_XTP_SORTARROW, &header);
    EXPECT_FALSE(themed.IsUsingVisualStyle());
    themed.SetDrawStyle(7, &header);
    ASSERT_TRUE(themed.IsUsingVisualStyle()) << "the default style is active and the controls are version 6";
    Canvas themedCanvas(kWidth, kHeight, kMagenta);
    themed.DrawHeader(themedCanvas.Dc(), &header);
    int nDiffer = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < 180; ++x)
            nDiffer += themedCanvas.At(x, y) != classicCanvas.At(x, y);
    EXPECT_GT(nDiffer, 100);
}

} // namespace

namespace {

TEST(HeaderThemeVisualStyle, ColumnUnderTheCursorIsDrawnHot)
{
    TestHeader header;
    header.AddColumn(L"", 100);
    header.AddColumn(L"", 80);
    CXTHeaderTheme theme;
    theme.SetDrawStyle(7, &header);
    ASSERT_TRUE(theme.IsUsingVisualStyle());

    POINT ptSaved = {};
    GetCursorPos(&ptSaved);
    POINT ptOver = {150, 10}, ptAway = {500, 500};
    ClientToScreen(header.GetHeaderHwnd(), &ptOver);
    ClientToScreen(header.GetHeaderHwnd(), &ptAway);

    // Other test programs on the same display may move the cursor: a drawing counts only when the cursor stayed
    // where it was put until the drawing was done.
    auto drawWithCursorAt = [&](POINT pt, Canvas& canvas) {
        for (int attempt = 0; attempt < 20; ++attempt) {
            POINT ptNow = {};
            if (!SetCursorPos(pt.x, pt.y) || !GetCursorPos(&ptNow) || ptNow.x != pt.x || ptNow.y != pt.y)
                continue;
            theme.DrawHeader(canvas.Dc(), &header);
            if (GetCursorPos(&ptNow) && ptNow.x == pt.x && ptNow.y == pt.y)
                return true;
        }
        return false;
    };
    Canvas normal(kWidth, kHeight, kMagenta), hot(kWidth, kHeight, kMagenta);
    ASSERT_TRUE(drawWithCursorAt(ptAway, normal));
    ASSERT_TRUE(drawWithCursorAt(ptOver, hot));
    SetCursorPos(ptSaved.x, ptSaved.y);

    int nDifferFirst = 0, nDifferSecond = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < 180; ++x) {
            const bool differ = normal.At(x, y) != hot.At(x, y);
            (x < 100 ? nDifferFirst : nDifferSecond) += differ;
        }
    }
    EXPECT_EQ(0, nDifferFirst);
    EXPECT_GT(nDifferSecond, 0);
}

} // namespace
