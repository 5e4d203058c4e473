// Theme 1, "Standard": the classic raised-and-sunken look read back as pixels at named points of a toolbar, a
// menu bar and a popup; the faces of every state, embossed disabled images and labels, the combo box's field and
// drop-down button, grippers, separators, strips and the rectangles controls are drawn in.
#include "toolkit/commandbars/XTPThemeStandard.h"

#include "tests/toolkit/commandbars/ThemeTestSupport.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPImageManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

using CStandard = themetest::CDistinct<CXTPThemeStandard>;

const int kDither = 100; // the checkerboard of colours 15 and 20

// The index a pixel names, or kDither when it starts a square of the checkerboard's two colours.
int Classify(CDC& dc, int x, int y)
{
    const int a = CStandard::IndexOf(dc.GetPixel(x, y)), b = CStandard::IndexOf(dc.GetPixel(x + 1, y));
    const int c = CStandard::IndexOf(dc.GetPixel(x, y + 1)), d = CStandard::IndexOf(dc.GetPixel(x + 1, y + 1));
    if (((a == 15 && b == 20) || (a == 20 && b == 15)) && c == b && d == a)
        return kDither;
    return a;
}

struct FaceCase
{
    const char* pszName;
    BOOL bEnabled;
    int nSelected, nPressed, nChecked;
    BOOL bPopuped, bToolBar;
    int nTopLeft, nBottomRight, nInside; // -1: nothing drawn
};

TEST(ThemeStandardFaces, RaisedSunkenAndDithered)
{
    const FaceCase cases[] = {
        {"disabled checked popup item", FALSE, 0, 0, 1, FALSE, FALSE, 16, 20, -1},
        {"disabled, reached by keyboard", FALSE, 2, 0, 0, FALSE, TRUE, 16, 20, -1},
        {"disabled under the mouse", FALSE, 1, 0, 0, FALSE, TRUE, -1, -1, -1},
        {"disabled checked button", FALSE, 0, 0, 1, FALSE, TRUE, -1, -1, -1},
        {"checked", TRUE, 0, 0, 1, FALSE, TRUE, 16, 20, kDither},
        {"checked and hot", TRUE, 1, 0, 1, FALSE, TRUE, 16, 20, -1},
        {"popup open", TRUE, 1, 0, 0, TRUE, TRUE, 16, 20, -1},
        {"just executed", TRUE, 0, 2, 0, FALSE, TRUE, 16, 20, -1},
        {"hot and pressed", TRUE, 1, 1, 0, FALSE, TRUE, 16, 20, -1},
        {"hot", TRUE, 1, 0, 0, FALSE, TRUE, 20, 16, -1},
        {"pressed, the mouse gone", TRUE, 0, 1, 0, FALSE, TRUE, 20, 16, -1},
        {"nothing", TRUE, 0, 0, 0, FALSE, TRUE, -1, -1, -1},
    };
    CStandard theme;
    for (const FaceCase& c : cases) {
        lqtest::MemoryCanvas canvas(30, 30, RGB(255, 0, 255));
        theme.FillControlFace(&canvas.Dc(), CRect(5, 5, 25, 25), c.nSelected, c.nPressed, c.bEnabled, c.nChecked,
                              c.bPopuped, c.bToolBar, xtpBarTop);
        CDC& dc = canvas.Dc();
        EXPECT_EQ(CStandard::IndexOf(dc.GetPixel(5, 15)), c.nTopLeft) << c.pszName;
        EXPECT_EQ(CStandard::IndexOf(dc.GetPixel(15, 5)), c.nTopLeft) << c.pszName;
        EXPECT_EQ(CStandard::IndexOf(dc.GetPixel(24, 15)), c.nBottomRight) << c.pszName;
        EXPECT_EQ(CStandard::IndexOf(dc.GetPixel(15, 24)), c.nBottomRight) << c.pszName;
        EXPECT_EQ(Classify(dc, 14, 14), c.nInside) << c.pszName;
        EXPECT_EQ(Classify(dc, 14, 15), c.nInside) << c.pszName;
    }
    // Text in the button text colour, grey when disabled.
    lqtest::MemoryCanvas canvas(30, 30);
    theme.PrepareControlFace(&canvas.Dc(), CRect(5, 5, 25, 25), TRUE, 1, 0, 0, FALSE, xtpBarTop);
    EXPECT_EQ(CStandard::IndexOf(canvas.Dc().GetTextColor()), 18);
    theme.PrepareControlFace(&canvas.Dc(), CRect(5, 5, 25, 25), FALSE, 0, 0, 0, FALSE, xtpBarTop);
    EXPECT_EQ(CStandard::IndexOf(canvas.Dc().GetTextColor()), 17);
}

// ---- Named points of the scene

using themetest::Scene;

struct Probe
{
    const char* pszName;
    Scene::Bar bar;
    std::function<CPoint(const themetest::SceneControls&)> point;
    int nExpected;
};

CPoint LeftEdge(CXTPControl* p, int dx = 0)
{
    return CPoint(p->GetRect().left + dx, p->GetRect().CenterPoint().y);
}

CPoint RightEdge(CXTPControl* p, int dx = 0)
{
    return CPoint(p->GetRect().right + dx, p->GetRect().CenterPoint().y);
}

CPoint Inside(CXTPControl* p)
{
    return CPoint(p->GetRect().right - 4, p->GetRect().top + 2);
}

// The check cell of a popup item: the icon centred in the icon column, 2 pixels wider on each side.
CPoint CheckCell(CXTPControl* p, int dx, int dy)
{
    const CRect rc = p->GetRect();
    const int W = p->GetParent()->GetPaintManager()->GetPopupIconColumnWidth(p->GetParent());
    return CPoint(1 + (W + 1 - 16) / 2 - 2 + dx, rc.top + (rc.Height() - 16) / 2 - 2 + dy);
}

const Probe kProbes[] = {
    {"toolbar's raised edge", Scene::kToolBar, [](const themetest::SceneControls&) { return CPoint(0, 0); }, 20},
    {"toolbar's shadowed edge", Scene::kToolBar, [](const themetest::SceneControls&) { return CPoint(439, 29); }, 16},
    {"toolbar's face", Scene::kToolBar, [](const themetest::SceneControls&) { return CPoint(1, 1); }, 15},
    {"gripper's light side", Scene::kToolBar, [](const themetest::SceneControls&) { return CPoint(3, 12); }, 20},
    {"gripper's dark side", Scene::kToolBar, [](const themetest::SceneControls&) { return CPoint(5, 12); }, 16},
    {"gripper's middle", Scene::kToolBar, [](const themetest::SceneControls&) { return CPoint(4, 12); }, 15},
    {"hot button raised: left", Scene::kToolBar, [](const themetest::SceneControls& c) { return LeftEdge(c.pHot, -1); },
     20},
    {"hot button raised: right", Scene::kToolBar, [](const themetest::SceneControls& c) { return RightEdge(c.pHot); },
     16},
    {"hot button's face", Scene::kToolBar, [](const themetest::SceneControls& c) { return Inside(c.pHot); }, 15},
    {"pressed button sunken: left", Scene::kToolBar,
     [](const themetest::SceneControls& c) { return LeftEdge(c.pPressed, -1); }, 16},
    // Neighbours overlap by a pixel: the right edge lies under the next button's; the bottom edge shows.
    {"pressed button sunken: bottom", Scene::kToolBar,
     [](const themetest::SceneControls& c) {
         return CPoint(c.pPressed->GetRect().CenterPoint().x, c.pPressed->GetRect().bottom - 1);
     },
     20},
    {"checked button sunken", Scene::kToolBar,
     [](const themetest::SceneControls& c) { return LeftEdge(c.pChecked, -1); }, 16},
    {"checked button dithered", Scene::kToolBar, [](const themetest::SceneControls& c) { return Inside(c.pChecked); },
     kDither},
    {"separator's groove", Scene::kToolBar, [](const themetest::SceneControls& c) { return LeftEdge(c.pSplit, -4); },
     16},
    {"separator's groove light", Scene::kToolBar,
     [](const themetest::SceneControls& c) { return LeftEdge(c.pSplit, -3); }, 20},
    {"split button raised", Scene::kToolBar, [](const themetest::SceneControls& c) { return LeftEdge(c.pSplit, -1); },
     20},
    {"split button's part end", Scene::kToolBar,
     [](const themetest::SceneControls& c) { return RightEdge(c.pSplit, -12); }, 16},
    {"split button's arrow part", Scene::kToolBar,
     [](const themetest::SceneControls& c) { return RightEdge(c.pSplit, -11); }, 20},
    {"split button's arrow", Scene::kToolBar,
     [](const themetest::SceneControls& c) {
         const CRect rc = c.pSplit->GetRect();
         const CPoint centre = CRect(rc.right + 1 - 12, rc.top, rc.right + 1, rc.bottom).CenterPoint();
         return CPoint(centre.x, centre.y - 1);
     },
     18},
    {"combo box field's frame", Scene::kToolBar, [](const themetest::SceneControls& c) { return LeftEdge(c.pCombo); },
     20},
    {"combo box field", Scene::kToolBar, [](const themetest::SceneControls& c) { return LeftEdge(c.pCombo, 2); }, 5},
    {"drop-down button's outer edge", Scene::kToolBar,
     [](const themetest::SceneControls& c) { return RightEdge(c.pCombo, -2); }, 0},
    {"drop-down button's raised edge", Scene::kToolBar,
     [](const themetest::SceneControls& c) { return RightEdge(c.pCombo, -3); }, 16},
    {"drop-down button's light edge", Scene::kToolBar,
     [](const themetest::SceneControls& c) { return RightEdge(c.pCombo, -15); }, 20},
    {"drop-down button's left", Scene::kToolBar,
     [](const themetest::SceneControls& c) { return RightEdge(c.pCombo, -16); }, 15},

    {"menu bar's face", Scene::kMenuBar, [](const themetest::SceneControls&) { return CPoint(298, 12); }, 15},
    {"menu bar's raised edge", Scene::kMenuBar, [](const themetest::SceneControls&) { return CPoint(0, 12); }, 20},
    {"hot menu raised", Scene::kMenuBar, [](const themetest::SceneControls& c) { return LeftEdge(c.pMenuHot, -1); },
     20},
    {"open menu sunken", Scene::kMenuBar, [](const themetest::SceneControls& c) { return LeftEdge(c.pMenuPopped, -1); },
     16},

    {"popup's outer edge", Scene::kPopup, [](const themetest::SceneControls&) { return CPoint(0, 0); }, 15},
    {"popup's dark outer edge", Scene::kPopup, [](const themetest::SceneControls&) { return CPoint(199, 229); }, 0},
    {"popup's raised edge", Scene::kPopup, [](const themetest::SceneControls&) { return CPoint(1, 1); }, 20},
    {"popup's shadowed edge", Scene::kPopup, [](const themetest::SceneControls&) { return CPoint(198, 228); }, 16},
    {"normal item", Scene::kPopup, [](const themetest::SceneControls& c) { return Inside(c.pItemNormal); }, 15},
    {"selected item's highlight", Scene::kPopup,
     [](const themetest::SceneControls& c) { return Inside(c.pItemSelected); }, 13},
    {"pressed item's highlight", Scene::kPopup,
     [](const themetest::SceneControls& c) { return Inside(c.pItemPressed); }, 13},
    {"disabled item reached by keyboard", Scene::kPopup,
     [](const themetest::SceneControls& c) { return Inside(c.pItemDisabled); }, 13},
    {"checked item's sunken cell", Scene::kPopup,
     [](const themetest::SceneControls& c) { return CheckCell(c.pItemChecked, 0, 0); }, 16},
    {"checked item's cell light edge", Scene::kPopup,
     [](const themetest::SceneControls& c) { return CheckCell(c.pItemChecked, 19, 19); }, 20},
    {"checked item's dithered cell", Scene::kPopup,
     [](const themetest::SceneControls& c) { return CheckCell(c.pItemChecked, 2, 2); }, kDither},
    {"separator's groove", Scene::kPopup,
     [](const themetest::SceneControls& c) { return CPoint(20, c.pItemSelected->GetRect().top - 5); }, 16},
    {"separator's groove light", Scene::kPopup,
     [](const themetest::SceneControls& c) { return CPoint(20, c.pItemSelected->GetRect().top - 4); }, 20},
};

TEST(ThemeStandardScene, NamedPoints)
{
    themetest::Scene scene(new CStandard);
    const std::unique_ptr<lqtest::MemoryCanvas> canvases[] = {scene.Draw(Scene::kToolBar), scene.Draw(Scene::kMenuBar),
                                                              scene.Draw(Scene::kPopup)};
    for (const Probe& probe : kProbes) {
        const CPoint pt = probe.point(scene.c);
        lqtest::MemoryCanvas& canvas = *canvases[probe.bar];
        EXPECT_EQ(Classify(canvas.Dc(), pt.x, pt.y), probe.nExpected)
            << probe.pszName << " at (" << pt.x << ", " << pt.y << ")";
    }
}

// ---- Single operations

TEST(ThemeStandardImages, DisabledImagesAreEmbossed)
{
    auto* pImages = new CXTPImageManager;
    CXTPImageManagerIconHandle icon;
    icon.AttachIcon(static_cast<HICON>(::LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, 16, 16, 0)));
    pImages->SetIcon(icon, 21700, 16, 16);
    CXTPImageManagerIcon* pIcon = pImages->GetImage(21700, 16);
    ASSERT_NE(pIcon, nullptr);
    CStandard theme;
    lqtest::MemoryCanvas canvas(30, 30, RGB(255, 0, 255));
    theme.DrawImage(&canvas.Dc(), CPoint(5, 5), CSize(16, 16), pIcon, 0, 0, FALSE, 0, FALSE);
    std::set<int> seen;
    int nLight = 0, nDark = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            const int n = CStandard::IndexOf(canvas.Dc().GetPixel(x, y));
            seen.insert(n);
            nLight += n == 20;
            nDark += n == 16;
        }
    }
    // Only the two edge colours (and the untouched canvas); the light copy shows one pixel lower and right.
    EXPECT_EQ(seen, (std::set<int>{-1, 16, 20}));
    EXPECT_GT(nDark, 20);
    EXPECT_GT(nLight, 0);
    for (int x = 0; x < 30; ++x)
        EXPECT_NE(CStandard::IndexOf(canvas.Dc().GetPixel(x, 21)), 16) << x; // the dark copy ends at row 20
    pImages->InternalRelease();
}

TEST(ThemeStandardFields, FrameDropDownButtonAndEmbossedText)
{
    CStandard theme;
    struct Case
    {
        BOOL bHot, bEnabled;
        int nTopLeft, nBottomRight;
    } frames[] = {{TRUE, TRUE, 16, 20}, {FALSE, TRUE, 20, 20}, {FALSE, FALSE, 16, 16}, {TRUE, FALSE, 16, 20}};
    for (const Case& c : frames) {
        lqtest::MemoryCanvas canvas(40, 20, RGB(255, 0, 255));
        theme.DrawFieldFrame(&canvas.Dc(), CRect(0, 0, 40, 20), c.bHot, c.bEnabled);
        EXPECT_EQ(CStandard::IndexOf(canvas.Dc().GetPixel(0, 10)), c.nTopLeft) << c.bHot << c.bEnabled;
        EXPECT_EQ(CStandard::IndexOf(canvas.Dc().GetPixel(39, 10)), c.nBottomRight) << c.bHot << c.bEnabled;
    }

    for (BOOL bPressed : {FALSE, TRUE}) {
        lqtest::MemoryCanvas canvas(40, 22, RGB(255, 0, 255));
        theme.DrawDropDownButton(&canvas.Dc(), CRect(20, 0, 40, 22), TRUE, FALSE, bPressed);
        CDC& dc = canvas.Dc();
        // The button: (19, 1) to (39, 21), its outer edge 15 and 0, then raised or flat.
        EXPECT_EQ(CStandard::IndexOf(dc.GetPixel(20, 0)), -1);
        EXPECT_EQ(CStandard::IndexOf(dc.GetPixel(19, 10)), 15);
        EXPECT_EQ(CStandard::IndexOf(dc.GetPixel(38, 10)), 0);
        EXPECT_EQ(CStandard::IndexOf(dc.GetPixel(25, 20)), 0);
        EXPECT_EQ(CStandard::IndexOf(dc.GetPixel(20, 10)), bPressed ? 16 : 20);
        EXPECT_EQ(CStandard::IndexOf(dc.GetPixel(37, 10)), 16);
        int nGlyph = 0;
        for (int y = 3; y < 19; ++y)
            for (int x = 22; x < 36; ++x)
                nGlyph += CStandard::IndexOf(dc.GetPixel(x, y)) == 18;
        EXPECT_GT(nGlyph, 3);
    }

    // Disabled text not selected is embossed: a light copy one pixel right and down under the text colour.
    for (BOOL bEnabled : {FALSE, TRUE}) {
        lqtest::MemoryCanvas canvas(60, 20, RGB(255, 0, 255));
        canvas.Dc().SetTextColor(CStandard::Distinct(17));
        CXTPScopedSelect font(canvas.Dc().GetSafeHdc(), theme.GetRegularFont()->GetSafeHandle());
        theme.DrawEmbossedText(&canvas.Dc(), L"Find", CRect(0, 0, 60, 20), 0, TRUE, bEnabled, 0);
        int nLight = 0, nText = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 60; ++x) {
                nLight += CStandard::IndexOf(canvas.Dc().GetPixel(x, y)) == 20;
                nText += CStandard::IndexOf(canvas.Dc().GetPixel(x, y)) == 17;
            }
        }
        EXPECT_GT(nText, 5) << bEnabled;
        EXPECT_EQ(nLight > 0, !bEnabled) << bEnabled;
    }
}

using ThemeStandardBarTest = themetest::BarTest<CStandard>;

TEST_F(ThemeStandardBarTest, GrippersStripsAndMargins)
{
    MakeBar(xtpBarTypeNormal, xtpBarLeft, CRect(0, 0, 30, 100));
    lqtest::MemoryCanvas canvas(30, 100, RGB(255, 0, 255));
    EXPECT_EQ(m_theme.DrawGripper(&canvas.Dc(), &m_bar, TRUE), CSize(0, 8));
    EXPECT_EQ(CStandard::IndexOf(canvas.Dc().GetPixel(10, 3)), 20);
    EXPECT_EQ(CStandard::IndexOf(canvas.Dc().GetPixel(10, 5)), 16);
    EXPECT_EQ(m_theme.GetBorders(&m_bar), CRect(2, 2, 2, 2));

    m_bar.SetBarPosition(xtpBarFloating);
    m_bar.SetTitle(L"Format");
    lqtest::MemoryCanvas floating(30, 100, RGB(255, 0, 255));
    EXPECT_EQ(m_theme.DrawGripper(&floating.Dc(), &m_bar, TRUE).cx, 24);
    EXPECT_EQ(CStandard::IndexOf(floating.Dc().GetPixel(3, 3)), 2);

    lqtest::MemoryCanvas strip(60, 10, RGB(255, 0, 255));
    EXPECT_EQ(m_theme.DrawPopupStrip(&strip.Dc(), CRect(0, 0, 60, 8), FALSE, FALSE), CSize(0, 8));
    m_theme.DrawPopupStrip(&strip.Dc(), CRect(0, 0, 60, 8), TRUE, TRUE);
    EXPECT_EQ(CStandard::IndexOf(strip.Dc().GetPixel(30, 6)), 2);
    EXPECT_EQ(CStandard::IndexOf(strip.Dc().GetPixel(30, 7)), -1);
    m_theme.DrawPopupStrip(&strip.Dc(), CRect(0, 0, 60, 8), FALSE, TRUE);
    EXPECT_EQ(CStandard::IndexOf(strip.Dc().GetPixel(30, 0)), 3);

    lqtest::MemoryCanvas box(40, 20, RGB(255, 0, 255));
    m_theme.DrawTextBox(&box.Dc(), CRect(0, 0, 40, 20), 0, L"");
    EXPECT_EQ(CStandard::IndexOf(box.Dc().GetPixel(0, 10)), 16);
    EXPECT_EQ(CStandard::IndexOf(box.Dc().GetPixel(39, 10)), 20);
}

TEST_F(ThemeStandardBarTest, ControlRectanglesByBar)
{
    struct Case
    {
        XTPBarType type;
        XTPBarPosition position;
        XTPControlType control;
        CRect rcExpected;
    } cases[] = {
        {xtpBarTypePopup, xtpBarPopup, xtpControlButton, CRect(11, 10, 29, 30)},
        {xtpBarTypeNormal, xtpBarPopup, xtpControlButton, CRect(10, 9, 30, 31)},
        {xtpBarTypeNormal, xtpBarLeft, xtpControlButton, CRect(10, 9, 30, 31)},
        {xtpBarTypeNormal, xtpBarTop, xtpControlButton, CRect(9, 10, 31, 30)},
        {xtpBarTypeNormal, xtpBarTop, xtpControlComboBox, CRect(10, 10, 30, 30)},
    };
    MakeBar(xtpBarTypeNormal, xtpBarTop, CRect(0, 0, 100, 40));
    for (const Case& c : cases) {
        m_bar.SetType(c.type);
        m_bar.SetBarPosition(c.position);
        CXTPControl* pControl = m_bar.GetControls()->AddByType(c.control, 0);
        CRect rc(10, 10, 30, 30);
        m_theme.AdjustControlRect(pControl, rc);
        EXPECT_EQ(rc, c.rcExpected) << c.type << " " << c.position << " " << c.control;
        m_bar.GetControls()->Remove(pControl);
    }
    m_bar.SetType(xtpBarTypePopup);
    EXPECT_EQ(m_theme.GetBorders(&m_bar), CRect(3, 3, 3, 3));
}

} // namespace
