// Task panel paint managers: the colour arithmetic, the metrics and colours of each look, and the pixels the
// Parts fix (chevrons, drop marks, the rounded frame, the highlight offset, the fade without AlphaBlend).
#include "tests/framework/MemoryCanvas.h"
#include "tests/toolkit/ThemeOverride.h"
#include "tests/toolkit/taskpanel/TaskPanelTestIds.h"
#include "tests/toolkit/taskpanel/TaskPanelTestSupport.h"

#include "toolkit/base/XTPImageManager.h"
#include "toolkit/taskpanel/TaskPanelResource.h"
#include "toolkit/taskpanel/XTPTaskPanelThemes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

namespace {

using lqtest::MemoryCanvas;
using tptest::PanelFixture;
using Pixels = std::set<std::pair<int, int>>;

COLORREF Sys(int nIndex)
{
    return ::GetSysColor(nIndex);
}

// The pixels of a canvas area that differ from the background.
Pixels Painted(CDC& dc, const CRect& rc, COLORREF clrBackground)
{
    Pixels pixels;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            if (dc.GetPixel(x, y) != clrBackground)
                pixels.insert({x, y});
    return pixels;
}

// The pixels of 45-degree polylines drawn with MoveTo/LineTo (each segment without its last point).
Pixels Diagonals(std::initializer_list<std::initializer_list<POINT>> lines)
{
    Pixels pixels;
    for (const auto& line : lines) {
        const POINT* pts = line.begin();
        for (size_t i = 0; i + 1 < line.size(); ++i) {
            const int dx = pts[i + 1].x > pts[i].x ? 1 : -1;
            const int dy = pts[i + 1].y > pts[i].y ? 1 : -1;
            for (int k = 0; k < std::abs(pts[i + 1].x - pts[i].x); ++k)
                pixels.insert({pts[i].x + k * dx, pts[i].y + k * dy});
        }
    }
    return pixels;
}

TEST(TaskPanelColours, BlendingAndTheHueLightnessSaturationConversion)
{
    EXPECT_EQ(RGB(255, 0, 0), CXTPTaskPanelPaintManager::BlendColors(RGB(255, 0, 0), RGB(0, 0, 255), 255));
    EXPECT_EQ(RGB(0, 0, 255), CXTPTaskPanelPaintManager::BlendColors(RGB(255, 0, 0), RGB(0, 0, 255), 0));
    EXPECT_EQ(RGB(128, 64, 127), CXTPTaskPanelPaintManager::BlendColors(RGB(255, 128, 0), RGB(0, 0, 255), 128));

    struct Case
    {
        double m1, m2, dHue, dExpected;
    };
    const Case hues[] = {{0.2, 0.8, 0.1, 0.2 + 0.6 * 0.6},
                         {0.2, 0.8, 0.3, 0.8},
                         {0.2, 0.8, 0.6, 0.2 + 0.6 * (2.0 / 3 - 0.6) * 6},
                         {0.2, 0.8, 0.9, 0.2},
                         {0.2, 0.8, -0.7, 0.8},
                         {0.2, 0.8, 1.1, 0.2 + 0.6 * 0.6}};
    for (const Case& c : hues)
        EXPECT_NEAR(c.dExpected, HueToRGB(c.m1, c.m2, c.dHue), 1e-9) << c.dHue;

    double h, l, s;
    CXTPTaskPanelPaintManager::RGBtoHLS(RGB(255, 0, 0), h, l, s);
    EXPECT_NEAR(0.0, h, 1e-9);
    EXPECT_NEAR(0.5, l, 1e-9);
    EXPECT_NEAR(1.0, s, 1e-9);
    CXTPTaskPanelPaintManager::RGBtoHLS(RGB(0, 0, 255), h, l, s);
    EXPECT_NEAR(2.0 / 3, h, 1e-9);
    CXTPTaskPanelPaintManager::RGBtoHLS(RGB(90, 90, 90), h, l, s);
    EXPECT_EQ(0.0, s);
    EXPECT_EQ(RGB(90, 90, 90), CXTPTaskPanelPaintManager::HLStoRGB(0.3, 90 / 255.0, 0));
    for (COLORREF clr : {RGB(12, 200, 99), RGB(255, 142, 66), RGB(33, 93, 198), RGB(250, 250, 250)}) {
        CXTPTaskPanelPaintManager::RGBtoHLS(clr, h, l, s);
        EXPECT_EQ(clr, CXTPTaskPanelPaintManager::HLStoRGB(h, l, s));
    }
}

TEST(TaskPanelColours, GlyphPixelsTakeTheTintAndKeepTheirHighlights)
{
    const COLORREF clrCorner = RGB(255, 255, 255);
    const COLORREF clrTint = RGB(60, 100, 200);
    EXPECT_EQ(RGB(0, 255, 0), CXTPTaskPanelExplorerTheme::TintGlyphPixel(clrCorner, clrCorner, clrTint));
    // A highlight stays white under a darker tint, and takes a light tint.
    EXPECT_EQ(RGB(250, 250, 250), CXTPTaskPanelExplorerTheme::TintGlyphPixel(RGB(250, 250, 250), clrCorner, clrTint));
    const COLORREF clrLight = RGB(235, 240, 255);
    double th, tl, ts;
    CXTPTaskPanelPaintManager::RGBtoHLS(clrLight, th, tl, ts);
    const COLORREF clrTinted = CXTPTaskPanelExplorerTheme::TintGlyphPixel(RGB(250, 250, 250), clrCorner, clrLight);
    double h, l, s;
    CXTPTaskPanelPaintManager::RGBtoHLS(clrTinted, h, l, s);
    EXPECT_NEAR(tl * (250 / 255.0), l, 0.01);

    // A mid grey takes the tint's hue and saturation at the tint's lightness scaled by its own.
    CXTPTaskPanelPaintManager::RGBtoHLS(clrTint, th, tl, ts);
    CXTPTaskPanelPaintManager::RGBtoHLS(
        CXTPTaskPanelExplorerTheme::TintGlyphPixel(RGB(128, 128, 128), clrCorner, clrTint), h, l, s);
    EXPECT_NEAR(th, h, 0.01);
    EXPECT_NEAR(ts, s, 0.02);
    EXPECT_NEAR(tl * (128 / 255.0), l, 0.01);

    HICON hGlyph = CXTPTaskPanelExplorerTheme::CreateGlyphIcon(XTP_IDB_TASKPANEL_GLYPH_NORMAL, clrTint);
    ASSERT_NE(nullptr, hGlyph);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(hGlyph, &info));
    BITMAP bm{};
    ::GetObjectW(info.hbmColor, sizeof(bm), &bm);
    EXPECT_EQ(19, bm.bmWidth);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(hGlyph);
}

TEST(TaskPanelMetrics, EachLookTakesItsColoursFromTheSystemOrTheVisualStyle)
{
    CXTPTaskPanelPaintManager classic;
    EXPECT_EQ(TaskPanelThemeClassic, classic.GetThemeKind());
    EXPECT_EQ(TaskPanelCaptionButtonSquare, classic.m_nCaptionButtonStyle);
    EXPECT_EQ(Sys(COLOR_BTNFACE), classic.m_groupNormal.clrCaption.clrLight);
    EXPECT_EQ(Sys(COLOR_ACTIVECAPTION), classic.m_groupSpecial.clrClientBorder);
    EXPECT_EQ(Sys(COLOR_CAPTIONTEXT), classic.m_groupSpecial.clrCaptionText);
    EXPECT_EQ(Sys(COLOR_HIGHLIGHT), classic.m_groupNormal.clrLinkTextHot);
    EXPECT_EQ(Sys(COLOR_BTNFACE), classic.m_clrHotFill);
    EXPECT_EQ(CXTPGradientColor(0x808080, 0xC6C6C6), classic.m_grcItemFrame);
    EXPECT_EQ(CRect(11, 8, 11, 8), classic.m_rcGroupInnerMargins);
    EXPECT_EQ(15, classic.m_nGroupSpacing);

    {
        // No known scheme: colours blended from the system's.
        tktest::ThemeOverride theme(TRUE, L"C:\\windows\\resources\\themes\\light\\light.msstyles", L"Blue", 0x50051);
        CXTPTaskPanelExplorerTheme explorer;
        EXPECT_EQ(TaskPanelThemeExplorer, explorer.GetThemeKind());
        EXPECT_EQ(TaskPanelCaptionButtonGlyph, explorer.m_nCaptionButtonStyle);
        EXPECT_TRUE(explorer.m_bRoundLeftCaptionCorner && explorer.m_bRoundRightCaptionCorner);
        const COLORREF clrSpecialClient =
            CXTPTaskPanelPaintManager::BlendColors(Sys(COLOR_BTNFACE), Sys(COLOR_WINDOW), 24);
        EXPECT_EQ(clrSpecialClient, explorer.m_groupSpecial.clrClient);
        EXPECT_EQ(CXTPTaskPanelPaintManager::BlendColors(clrSpecialClient, Sys(COLOR_ACTIVECAPTION), 230),
                  explorer.m_groupNormal.clrClient);
        EXPECT_EQ(CXTPTaskPanelPaintManager::BlendColors(Sys(COLOR_INACTIVECAPTION), Sys(COLOR_WINDOW), 128),
                  explorer.m_grcBackground.clrLight);
        EXPECT_EQ(Sys(COLOR_WINDOW), explorer.m_groupNormal.clrClientBorder);
        EXPECT_EQ(GetToolkitColor(31), explorer.m_clrHotFill);
        EXPECT_FALSE(explorer.m_bStyleBitmapsLoaded);
        EXPECT_NE(nullptr, explorer.m_hNormalGlyph);
        EXPECT_NE(nullptr, explorer.m_hSpecialGlyph);

        // Without style colours and without a scheme the explorer look keeps the classic colours.
        explorer.m_bUseStyleColors = FALSE;
        explorer.RefreshMetrics();
        EXPECT_EQ(TaskPanelCaptionButtonSquare, explorer.m_nCaptionButtonStyle);
        EXPECT_EQ(Sys(COLOR_WINDOW), explorer.m_groupNormal.clrClient);
    }
    {
        // The blue scheme of the older visual style: its own table.
        tktest::ThemeOverride theme(TRUE, L"C:\\windows\\resources\\themes\\luna\\luna.msstyles", L"NormalColor",
                                    0x60000);
        CXTPTaskPanelExplorerTheme blue;
        EXPECT_EQ(CXTPGradientColor(0xE7A27B, 0xD67563), blue.m_grcBackground);
        EXPECT_EQ(0.5, blue.m_groupNormal.dCaptionGradientStart);
        EXPECT_EQ(0xC65D21u, blue.m_groupNormal.clrCaptionText);
        EXPECT_EQ(0xFFF3EFu, blue.m_groupSpecial.clrClient);
        EXPECT_EQ(0xC2EEFFu, blue.m_clrHotFill);
        EXPECT_EQ(0x6FC0FFu, blue.m_clrSelectedFill);
        EXPECT_EQ(CXTPGradientColor(0x800000, 0x800000), blue.m_grcItemFrame);
        // The style's shell library is not there: glyph icons stand in for its bitmaps.
        EXPECT_FALSE(blue.m_bStyleBitmapsLoaded);
        EXPECT_NE(nullptr, blue.m_hNormalGlyph);
    }
    XTPColorManager()->RefreshColors();

    CXTPTaskPanelRoundedTheme rounded;
    EXPECT_EQ(TaskPanelCaptionButtonTriangle, rounded.m_nCaptionButtonStyle);
    EXPECT_TRUE(rounded.m_bRoundedFrame);
    EXPECT_EQ(CXTPGradientColor(Sys(COLOR_BACKGROUND), Sys(COLOR_BACKGROUND)), rounded.m_grcBackground);
    EXPECT_EQ(Sys(COLOR_BTNTEXT), rounded.m_groupNormal.clrClientBorder);
}

TEST(TaskPanelMetrics, TheCaptionIsAtLeast25PixelsHigh)
{
    CXTPTaskPanelPaintManager paint;
    LOGFONTW lf{};
    wcscpy(lf.lfFaceName, L"Tahoma");
    lf.lfHeight = -11;
    paint.SetCaptionFont(&lf);
    EXPECT_EQ(25, paint.GetCaptionHeight());
    lf.lfHeight = -40;
    paint.SetCaptionFont(&lf);
    EXPECT_GT(paint.GetCaptionHeight(), 25);
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, paint.GetCaptionFont()->GetSafeHandle());
    SIZE size;
    ::GetTextExtentPoint32W(hDC, L" ", 1, &size);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
    EXPECT_EQ(size.cy, paint.GetCaptionHeight());
    // A font set by the owner survives a metrics refresh.
    paint.RefreshMetrics();
    EXPECT_EQ(size.cy, paint.GetCaptionHeight());
}

TEST(TaskPanelDrawing, ChevronsAndDropMarksLandOnTheirPixels)
{
    MemoryCanvas canvas(60, 60);
    CDC& dc = canvas.Dc();
    const COLORREF clrWhite = RGB(255, 255, 255);
    CXTPTaskPanelPaintManager::DrawChevrons(&dc, CPoint(20, 20), RGB(0, 0, 0), TRUE);
    EXPECT_EQ(Diagonals({{{17, 18}, {20, 15}, {24, 19}},
                         {{18, 18}, {20, 16}, {23, 19}},
                         {{17, 22}, {20, 19}, {24, 23}},
                         {{18, 22}, {20, 20}, {23, 23}}}),
              Painted(dc, CRect(0, 0, 60, 60), clrWhite));
    dc.FillSolidRect(0, 0, 60, 60, clrWhite);
    CXTPTaskPanelPaintManager::DrawChevrons(&dc, CPoint(20, 20), RGB(0, 0, 0), FALSE);
    EXPECT_EQ(Diagonals({{{17, 16}, {20, 19}, {24, 15}},
                         {{18, 16}, {20, 18}, {23, 15}},
                         {{17, 20}, {20, 23}, {24, 19}},
                         {{18, 20}, {20, 22}, {23, 19}}}),
              Painted(dc, CRect(0, 0, 60, 60), clrWhite));

    // A drop mark after a group: a line one pixel above its bottom with bars of 7, 5 and 3 at each end.
    CXTPTaskPanel panel;
    CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
    CXTPTaskPanelPaintManager* pPaint = panel.GetPaintManager();
    dc.FillSolidRect(0, 0, 60, 60, clrWhite);
    pPaint->DrawDragArrow(&dc, pGroup, CRect(10, 10, 40, 30), TRUE);
    Pixels expected;
    for (int x = 10; x < 40; ++x)
        expected.insert({x, 29});
    for (int i = 0; i < 3; ++i)
        for (int y = 29 - (3 - i); y <= 29 + (3 - i); ++y) {
            expected.insert({10 + i, y});
            expected.insert({39 - i, y});
        }
    EXPECT_EQ(expected, Painted(dc, CRect(0, 0, 60, 60), clrWhite));

    // Inverted marks invert the whole rectangle instead.
    pPaint->m_bInvertedDropMark = TRUE;
    dc.FillSolidRect(0, 0, 60, 60, clrWhite);
    pPaint->DrawDragArrow(&dc, pGroup, CRect(10, 10, 40, 30), FALSE);
    EXPECT_EQ(RGB(0, 0, 0), dc.GetPixel(25, 20));
    EXPECT_EQ(clrWhite, dc.GetPixel(40, 20));
}

TEST(TaskPanelDrawing, ANarrowCaptionHasNoExpandButtonAndTheRoundedFrameNeedsGroups)
{
    CXTPTaskPanel panel;
    CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
    auto* pRounded = new CXTPTaskPanelRoundedTheme();
    panel.SetCustomTheme(pRounded);
    MemoryCanvas canvas(60, 60);
    CDC& dc = canvas.Dc();
    EXPECT_EQ(CRect(5, 5, 30, 30), pRounded->DrawCaptionBackground(&dc, pGroup, CRect(5, 5, 30, 30)));
    EXPECT_TRUE(Painted(dc, CRect(0, 0, 60, 60), RGB(255, 255, 255)).empty());
    EXPECT_EQ(CRect(5, 5, 31 - 19, 30), pRounded->DrawCaptionBackground(&dc, pGroup, CRect(5, 5, 31, 30)));
    EXPECT_FALSE(Painted(dc, CRect(0, 0, 60, 60), RGB(255, 255, 255)).empty());

    // The frame goes round the groups; an empty panel is only its background.
    PanelFixture fixture(CSize(200, 200));
    CXTPTaskPanel& shown = fixture.Panel();
    shown.SetCustomTheme(new CXTPTaskPanelRoundedTheme());
    const COLORREF clrBackground = shown.GetPaintManager()->m_grcBackground.clrLight;
    const COLORREF clrBorder = shown.GetPaintManager()->m_groupNormal.clrClientBorder;
    MemoryCanvas empty(200, 200);
    shown.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(empty.Dc().GetSafeHdc()), PRF_CLIENT);
    EXPECT_TRUE(Painted(empty.Dc(), CRect(0, 0, 200, 200), clrBackground).empty());

    shown.AddGroup(IDS_TP_GROUP_TASKS)->AddTextItem(L"Text");
    ASSERT_TRUE(fixture.FinishAnimation());
    MemoryCanvas framed(200, 200);
    shown.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(framed.Dc().GetSafeHdc()), PRF_CLIENT);
    const CRect rcCaption = shown.GetAt(0)->GetCaptionRect();
    // The frame's top edge, three pixels above the caption, away from the rounded corners.
    EXPECT_EQ(clrBorder, framed.Dc().GetPixel(100, rcCaption.top - 3));
    EXPECT_EQ(clrBackground, framed.Dc().GetPixel(100, rcCaption.top - 4));
    EXPECT_EQ(clrBorder, framed.Dc().GetPixel(rcCaption.left - 1, 60));
}

TEST(TaskPanelDrawing, TheClassicLookMovesASelectedItemsIconByOnePixel)
{
    CXTPTaskPanel panel;
    panel.SetCustomTheme(new CXTPTaskPanelPaintManager());
    const UINT ids[] = {1};
    HBITMAP hStrip = tptest::MakeIconStrip({RGB(250, 0, 0)});
    panel.GetImageManager()->SetIconsFromBitmap(hStrip, ids, 1, 16, 16, CXTPImageManager::xtpImageNormal, TRUE);
    ::DeleteObject(hStrip);
    CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
    CXTPTaskPanelGroupItem* pItem = pGroup->AddLinkItem(IDS_TP_LINK_OPEN, 1);
    pItem->SetItemSelected(TRUE);

    struct Case
    {
        int nStyle;
        int nShift;
    };
    for (const Case& c : {Case{TaskPanelHotTrackUnderline, 0}, Case{TaskPanelHotTrackIconFrame, 1},
                          Case{TaskPanelHotTrackItemFrame, 1}}) {
        panel.SetHotTrackStyle(c.nStyle);
        MemoryCanvas canvas(120, 40);
        panel.GetPaintManager()->DrawGroupItem(&canvas.Dc(), pItem, CRect(10, 5, 110, 30), TRUE);
        // The icon sits at the inset corner (12, 7), moved by the highlight offset.
        EXPECT_EQ(RGB(250, 0, 0), canvas.Dc().GetPixel(12 + c.nShift, 7 + c.nShift)) << c.nStyle;
        EXPECT_NE(RGB(250, 0, 0), canvas.Dc().GetPixel(11 + c.nShift, 7 + c.nShift)) << c.nStyle;
        EXPECT_NE(RGB(250, 0, 0), canvas.Dc().GetPixel(12 + c.nShift, 6 + c.nShift)) << c.nStyle;
    }
}

TEST(TaskPanelDrawing, ItemFramesByStateInTheClassicAndOtherLooks)
{
    CXTPTaskPanel panel;
    CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
    CXTPTaskPanelGroupItem* pItem = pGroup->AddLinkItem(IDS_TP_LINK_OPEN);
    struct Case
    {
        bool bClassic, bSelected, bHot;
        COLORREF (*fill)(CXTPTaskPanelPaintManager*);
        COLORREF (*topLeft)(CXTPTaskPanelPaintManager*);
    };
    const COLORREF kNone = RGB(1, 2, 3);
    auto none = [](CXTPTaskPanelPaintManager*) { return RGB(1, 2, 3); };
    const Case cases[] = {
        {true, false, false, none, none},
        {true, true, false, [](CXTPTaskPanelPaintManager* p) { return p->m_clrHotFill; },
         [](CXTPTaskPanelPaintManager* p) { return p->m_grcItemFrame.clrLight; }},
        {true, false, true, none, [](CXTPTaskPanelPaintManager* p) { return p->m_grcItemFrame.clrDark; }},
        {false, false, false, none, none},
        {false, true, false, [](CXTPTaskPanelPaintManager* p) { return p->m_clrSelectedFill; },
         [](CXTPTaskPanelPaintManager* p) { return p->m_grcItemFrame.clrLight; }},
        {false, true, true, [](CXTPTaskPanelPaintManager* p) { return p->m_clrPressedFill; },
         [](CXTPTaskPanelPaintManager* p) { return p->m_grcItemFrame.clrLight; }},
        {false, false, true, [](CXTPTaskPanelPaintManager* p) { return p->m_clrHotFill; },
         [](CXTPTaskPanelPaintManager* p) { return p->m_grcItemFrame.clrLight; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bClassic) + std::to_string(c.bSelected) + std::to_string(c.bHot));
        if (c.bClassic)
            panel.SetCustomTheme(new CXTPTaskPanelPaintManager());
        else
            panel.SetCustomTheme(new CXTPTaskPanelExplorerTheme());
        CXTPTaskPanelPaintManager* pPaint = panel.GetPaintManager();
        pItem->SetItemSelected(c.bSelected);
        panel.SetHotItem(c.bHot ? pItem : nullptr);
        MemoryCanvas canvas(40, 40, kNone);
        pPaint->DrawGroupItemFrame(&canvas.Dc(), pItem, CRect(5, 5, 35, 35));
        EXPECT_EQ(c.fill(pPaint), canvas.Dc().GetPixel(20, 20));
        EXPECT_EQ(c.topLeft(pPaint), canvas.Dc().GetPixel(5, 20));
    }
    panel.SetHotItem(nullptr);
}

// The explorer look without the platform's AlphaBlend.
class CNoAlphaTheme : public CXTPTaskPanelExplorerTheme
{
public:
    CNoAlphaTheme() { m_pfnAlphaBlend = nullptr; }
};

TEST(TaskPanelDrawing, TheFadeBlendsTheClientAreaAndWithoutAlphaBlendCopiesIt)
{
    for (bool bAlpha : {true, false}) {
        SCOPED_TRACE(bAlpha);
        PanelFixture fixture(CSize(200, 300));
        CXTPTaskPanel& panel = fixture.Panel();
        if (!bAlpha)
            panel.SetCustomTheme(new CNoAlphaTheme());
        CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
        for (int i = 0; i < 5; ++i)
            pGroup->AddTextItem(L"Line")->SetSize(10, 20);
        ASSERT_TRUE(fixture.FinishAnimation());
        pGroup->SetExpanded(FALSE);
        panel.SendMessage(WM_TIMER, TaskPanelTimerAnimation);
        ASSERT_TRUE(pGroup->IsAnimating());

        MemoryCanvas canvas(200, 300);
        panel.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc().GetSafeHdc()), PRF_CLIENT);
        const CRect rcClient = pGroup->GetClientRect();
        ASSERT_GT(rcClient.Height(), 4);
        const COLORREF clrClient = panel.GetPaintManager()->m_groupNormal.clrClient;
        const COLORREF clrPixel = canvas.Dc().GetPixel(rcClient.right - 5, rcClient.top + 2);
        if (bAlpha)
            EXPECT_NE(clrClient, clrPixel);
        else
            EXPECT_EQ(clrClient, clrPixel);
    }
}

} // namespace
