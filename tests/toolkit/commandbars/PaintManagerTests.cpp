// The paint manager and theme 0: the colour table, the face and text colours of every control state, the bar
// backgrounds and popup items read back as pixels, control metrics, caption helpers, themes and animation frames.
#include "toolkit/commandbars/XTPPaintManager.h"

#include "tests/framework/MemoryCanvas.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPThemeDefault.h"
#include "toolkit/commandbars/XTPThemeOffice2003.h"
#include "toolkit/commandbars/XTPThemeStandard.h"
#include "toolkit/commandbars/XTPThemeXPStyle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

// Theme 0 with every table entry overridden by a colour of its own, so that a pixel names its index.
class CDistinctTheme : public CXTPThemeDefault
{
public:
    CDistinctTheme()
    {
        for (int i = 0; i < XPCOLOR_COUNT; ++i)
            SetColorOverride(i, Distinct(i));
    }
    static COLORREF Distinct(int nIndex) { return RGB(20 + nIndex * 4, 230 - nIndex * 3, 61); }
    static int IndexOf(COLORREF clr)
    {
        for (int i = 0; i < XPCOLOR_COUNT; ++i)
            if (Distinct(i) == clr)
                return i;
        return clr == kWhite ? -1 : -2;
    }

    std::vector<DWORD> m_sleeps;

protected:
    void AnimationSleep(DWORD dwMilliseconds) override { m_sleeps.push_back(dwMilliseconds); }
};

TEST(PaintManagerColors, IndicesLookUpTheTableAndLargerValuesAreColours)
{
    CXTPThemeDefault theme;
    EXPECT_EQ(theme.GetColor(56), XTPColorManager()->GetColor(56));
    EXPECT_EQ(theme.GetColor(57), 57u);
    EXPECT_EQ(theme.GetColor(RGB(1, 2, 3)), RGB(1, 2, 3));

    theme.SetColorOverride(31, RGB(9, 9, 9));
    const int indexes[] = {31, 32};
    const COLORREF colours[] = {RGB(100, 0, 0), RGB(0, 100, 0)};
    theme.SetColors(2, indexes, colours);
    EXPECT_EQ(theme.GetColor(31), RGB(9, 9, 9)); // the override still wins
    EXPECT_EQ(theme.GetColor(32), RGB(0, 100, 0));
    theme.SetColorOverride(31, static_cast<COLORREF>(-1));
    EXPECT_EQ(theme.GetColor(31), RGB(100, 0, 0));
}

struct FaceCase
{
    BOOL bEnabled;
    int nSelected;
    int nPressed;
    int nChecked;
    BOOL bPopuped;
    BOOL bToolBar;
    int nFrame; // -1: nothing drawn
    int nFill;
};

TEST(ThemeDefaultTables, FaceColoursOfEveryState)
{
    const FaceCase cases[] = {
        {FALSE, 0, 0, 1, FALSE, FALSE, 40, 30}, // disabled checked popup item
        {FALSE, 2, 0, 1, FALSE, FALSE, 32, 41}, // ... reached by the keyboard
        {FALSE, 2, 0, 0, FALSE, TRUE, 32, 31},  // disabled toolbar button reached by the keyboard
        {FALSE, 1, 0, 0, FALSE, TRUE, -1, -1},  // disabled under the mouse: no face
        {FALSE, 0, 0, 1, FALSE, TRUE, -1, -1},  // disabled checked toolbar button
        {TRUE, 1, 0, 0, TRUE, TRUE, 43, 30},    // popped up
        {TRUE, 0, 0, 1, FALSE, TRUE, 50, 36},   // checked only
        {TRUE, 1, 0, 1, FALSE, TRUE, 37, 33},   // checked and hot
        {TRUE, 0, 2, 0, FALSE, TRUE, 50, 33},   // just executed
        {TRUE, 1, 1, 0, FALSE, TRUE, 50, 33},   // hot and pressed
        {TRUE, 1, 0, 0, FALSE, TRUE, 32, 31},   // hot
        {TRUE, 0, 1, 0, FALSE, TRUE, 32, 31},   // pressed, the mouse gone
        {TRUE, 0, 0, 0, FALSE, TRUE, -1, -1},   // nothing
    };
    CDistinctTheme theme;
    for (const FaceCase& c : cases) {
        lqtest::MemoryCanvas canvas(30, 30);
        theme.FillControlFace(&canvas.Dc(), CRect(5, 5, 25, 25), c.nSelected, c.nPressed, c.bEnabled, c.nChecked,
                              c.bPopuped, c.bToolBar, c.bToolBar ? xtpBarTop : xtpBarPopup);
        SCOPED_TRACE(testing::Message() << "enabled " << c.bEnabled << " selected " << c.nSelected << " pressed "
                                        << c.nPressed << " checked " << c.nChecked << " popped " << c.bPopuped);
        EXPECT_EQ(CDistinctTheme::IndexOf(canvas.Dc().GetPixel(5, 5)), c.nFrame);
        EXPECT_EQ(CDistinctTheme::IndexOf(canvas.Dc().GetPixel(24, 24)), c.nFrame);
        EXPECT_EQ(CDistinctTheme::IndexOf(canvas.Dc().GetPixel(15, 15)), c.nFill);
    }
}

struct TextCase
{
    BOOL bEnabled;
    int nSelected;
    int nPressed;
    int nChecked;
    BOOL bPopuped;
    XTPBarPosition position;
    int nText;
};

TEST(ThemeDefaultTables, TextColoursOfEveryState)
{
    const TextCase cases[] = {
        {FALSE, 1, 1, 1, TRUE, xtpBarTop, 40},      {TRUE, 1, 1, 1, TRUE, xtpBarTop, 46},
        {TRUE, 0, 0, 1, FALSE, xtpBarTop, 45}, // checked, neither hot nor pressed: 45, not 47
        {TRUE, 0, 0, 1, FALSE, xtpBarPopup, 45},    {TRUE, 0, 2, 0, FALSE, xtpBarTop, 47},
        {TRUE, 1, 1, 0, FALSE, xtpBarTop, 47},      {TRUE, 1, 0, 1, FALSE, xtpBarTop, 47},
        {TRUE, 1, 0, 0, FALSE, xtpBarTop, 45},      {TRUE, 0, 1, 0, FALSE, xtpBarTop, 45},
        {TRUE, 0, 0, 0, FALSE, xtpBarPopup, 44},    {TRUE, 0, 0, 0, FALSE, xtpBarTop, 46},
        {TRUE, 0, 0, 0, FALSE, xtpBarFloating, 46},
    };
    CDistinctTheme theme;
    for (const TextCase& c : cases) {
        lqtest::MemoryCanvas canvas(30, 30);
        theme.PrepareControlFace(&canvas.Dc(), CRect(5, 5, 25, 25), c.bEnabled, c.nSelected, c.nPressed, c.nChecked,
                                 c.bPopuped, c.position);
        SCOPED_TRACE(testing::Message() << "enabled " << c.bEnabled << " selected " << c.nSelected << " pressed "
                                        << c.nPressed << " checked " << c.nChecked << " popped " << c.bPopuped);
        EXPECT_EQ(CDistinctTheme::IndexOf(canvas.Dc().GetTextColor()), c.nText);
        EXPECT_EQ(canvas.Dc().GetBkMode(), TRANSPARENT);
    }
}

// A bar window of a size, at a position and of a kind, to draw backgrounds and controls against.
class ThemeBarTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_host.CreateHost(CRect(100, 100, 400, 300))); }
    void TearDown() override
    {
        m_bar.DestroyWindow();
        m_host.DestroyWindow();
    }
    void MakeBar(XTPBarType type, XTPBarPosition position, CRect rc = CRect(0, 0, 120, 40))
    {
        m_bar.SetType(type);
        m_bar.SetBarPosition(position);
        ASSERT_TRUE(m_bar.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD, rc, &m_host, 100));
    }
    int Probe(int x, int y)
    {
        CRect rc;
        m_bar.GetClientRect(&rc);
        lqtest::MemoryCanvas canvas(rc.Width(), rc.Height());
        m_theme.FillCommandBar(&canvas.Dc(), &m_bar);
        return CDistinctTheme::IndexOf(canvas.Dc().GetPixel(x, y));
    }

    cbtest::CHostWnd m_host;
    CXTPPopupBar m_bar;
    CDistinctTheme m_theme;
};

TEST_F(ThemeBarTest, DockedToolbarOnTheFaceWithRoundedCorners)
{
    MakeBar(xtpBarTypeNormal, xtpBarTop);
    EXPECT_EQ(Probe(0, 0), 15);
    EXPECT_EQ(Probe(1, 1), 15);
    EXPECT_EQ(Probe(118, 38), 15);
    EXPECT_EQ(Probe(2, 2), 30);
    EXPECT_EQ(Probe(60, 20), 30);
}

TEST_F(ThemeBarTest, MenuBarAndFloatingBar)
{
    MakeBar(xtpBarTypeMenuBar, xtpBarTop);
    EXPECT_EQ(Probe(0, 0), 15);
    EXPECT_EQ(Probe(60, 20), 15);
    m_bar.SetBarPosition(xtpBarFloating);
    m_bar.SetType(xtpBarTypeNormal);
    EXPECT_EQ(Probe(0, 0), 43);
    EXPECT_EQ(Probe(1, 1), 43);
    EXPECT_EQ(Probe(2, 2), 43);
    EXPECT_EQ(Probe(60, 20), 30);
}

TEST_F(ThemeBarTest, PopupWithItsIconColumn)
{
    MakeBar(xtpBarTypePopup, xtpBarPopup, CRect(0, 0, 150, 100));
    const int W = m_theme.GetPopupIconColumnWidth(&m_bar);
    EXPECT_EQ(W, std::max(m_theme.GetLineHeight() + 4, 20));
    EXPECT_EQ(Probe(0, 0), 43);
    EXPECT_EQ(Probe(1, 1), 41); // above the column
    EXPECT_EQ(Probe(1, 50), 30);
    EXPECT_EQ(Probe(W + 1, 50), 30);
    EXPECT_EQ(Probe(W + 2, 50), 41);
    EXPECT_EQ(Probe(149, 99), 43);
}

TEST_F(ThemeBarTest, PopupItemsCheckedAndReachedByKeyboard)
{
    MakeBar(xtpBarTypePopup, xtpBarPopup, CRect(0, 0, 150, 100));
    CXTPControl* pItem = m_bar.GetControls()->Add(new CXTPControlButton, 0);
    pItem->SetCaption(L"&Item\tCtrl+I");
    lqtest::MemoryCanvas measure(10, 10);
    const CSize szItem = m_theme.DrawControlPopupParent(&measure.Dc(), pItem, FALSE);
    const int W = m_theme.GetPopupIconColumnWidth(&m_bar);
    EXPECT_EQ(szItem.cy, std::max(m_theme.GetLineHeight(), 22));
    pItem->SetRect(CRect(2, 2, 148, 2 + szItem.cy));

    auto probe = [&](int x, int y) {
        lqtest::MemoryCanvas canvas(150, 100);
        m_theme.DrawControlPopupParent(&canvas.Dc(), pItem, TRUE);
        return CDistinctTheme::IndexOf(canvas.Dc().GetPixel(x, y));
    };
    // The check cell: the icon size centred in the column, its face 2 pixels wider on each side.
    const int xCell = 1 + (W + 1 - 16) / 2 - 2;
    const int yCell = 2 + (szItem.cy - 16) / 2 - 2;
    pItem->SetChecked(1);
    EXPECT_EQ(probe(xCell, yCell), 50);
    EXPECT_EQ(probe(xCell + 3, yCell + 3), 36);
    pItem->SetSelected(xtpSelectedByMouse);
    EXPECT_EQ(probe(xCell, yCell), 37);
    EXPECT_EQ(probe(xCell + 3, yCell + 3), 33);
    EXPECT_EQ(probe(2, 2), 32); // the hot face of the whole item

    pItem->SetChecked(0);
    pItem->SetEnabled(FALSE);
    pItem->SetSelected(xtpSelectedByKeyboard);
    EXPECT_EQ(probe(2, 2), 32);
    EXPECT_EQ(probe(W + 10, 2 + szItem.cy / 2), 41);
    pItem->SetSelected(xtpSelectedByMouse);
    EXPECT_EQ(probe(2, 2), -1);
}

TEST_F(ThemeBarTest, ToolbarControlMetrics)
{
    MakeBar(xtpBarTypeNormal, xtpBarTop);
    CXTPImageManager* pImages = new CXTPImageManager;
    m_bar.SetImageManager(pImages);
    const UINT nImageId = 21500;
    pImages->SetIcon(CXTPImageManagerIconHandle(::LoadIconW(nullptr, IDI_APPLICATION)), nImageId, 16, 16);
    lqtest::MemoryCanvas canvas(10, 10);
    CDC* pDC = &canvas.Dc();
    CXTPControls* pControls = m_bar.GetControls();

    CXTPControl* pPlain = pControls->AddByType(xtpControlButton, 0);
    EXPECT_EQ(m_theme.DrawControl(pDC, pPlain, FALSE), CSize(23, 23));

    CXTPControl* pImagePopup = pControls->AddByType(xtpControlPopup, 0);
    pImagePopup->SetStyle(xtpButtonIcon);
    pImagePopup->SetIconId(nImageId);
    EXPECT_EQ(m_theme.DrawControl(pDC, pImagePopup, FALSE), CSize(23 + 7, 23));

    CXTPControl* pSplit = pControls->AddByType(xtpControlSplitButtonPopup, 0);
    pSplit->SetIconId(nImageId);
    EXPECT_EQ(m_theme.DrawControl(pDC, pSplit, FALSE), CSize(23 + 11, 23));

    // A caption without an image: 4 in front, 3 behind, at least the plain button's height.
    CXTPControl* pCaption = pControls->AddByType(xtpControlButton, 0);
    pCaption->SetCaption(L"&Refresh");
    CXTPScopedSelect font(pDC->GetSafeHdc(), m_theme.GetRegularFont()->GetSafeHandle());
    const CSize szText = pDC->GetTextExtent(CString(L"Refresh"));
    EXPECT_EQ(m_theme.DrawControl(pDC, pCaption, FALSE),
              CSize(4 + szText.cx + 3, std::max(static_cast<int>(szText.cy) + 6, 23)));

    // A popup with a caption and no image: its text with a triangle, 6 more each way.
    CXTPControl* pMenu = pControls->AddByType(xtpControlPopup, 0);
    pMenu->SetCaption(L"Refresh");
    EXPECT_EQ(m_theme.DrawControl(pDC, pMenu, FALSE), CSize(szText.cx + 10 + 6, szText.cy + 6));
}

TEST(PaintManagerFonts, SmallMenuFontsGrowToEightPoints)
{
    struct Case
    {
        LONG lIn;
        LONG lOut;
    } cases[] = {{-8, -11}, {-1, -11}, {-10, -11}, {-11, -11}, {-13, -13}, {12, 12}, {0, 0}};
    for (const Case& c : cases) {
        LOGFONTW lfMenu = {};
        lfMenu.lfHeight = c.lIn;
        lfMenu.lfWeight = 700;
        lfMenu.lfItalic = 1;
        lfMenu.lfUnderline = 1;
        std::wcscpy(lfMenu.lfFaceName, L"Tahoma");
        const LOGFONTW lf = CXTPPaintManager::MenuFontToControlFont(lfMenu, 2);
        EXPECT_EQ(lf.lfHeight, c.lOut) << c.lIn;
        EXPECT_EQ(lf.lfWeight, 700);
        EXPECT_EQ(lf.lfItalic, 1);
        EXPECT_EQ(lf.lfUnderline, 0);
        EXPECT_EQ(lf.lfCharSet, 2);
        EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
    }
    CXTPThemeDefault theme;
    EXPECT_GT(theme.GetLineHeight(), 6);
    LOGFONTW lf = {};
    theme.GetRegularFont()->GetLogFont(&lf);
    EXPECT_TRUE(lf.lfHeight <= -11 || lf.lfHeight > 0);
    LOGFONTW lfVert = {};
    theme.m_fontVert.GetLogFont(&lfVert);
    EXPECT_EQ(lfVert.lfEscapement, 2700);
}

TEST(PaintManagerCaptions, MnemonicsAndRightToLeftCaptions)
{
    EXPECT_EQ(StripMnemonics(L"Save && &Exit"), CString(L"Save & Exit"));
    EXPECT_EQ(StripMnemonics(L"&&&x&"), CString(L"&x"));
    EXPECT_EQ(StripMnemonics(L""), CString(L""));
    const struct
    {
        const wchar_t* pszIn;
        const wchar_t* pszOut;
    } cases[] = {
        {L"&1 Word", L"Word 1"},      {L"12 Word", L"Word 12"}, {L"Open...", L"...Open"},
        {L"123...", L"123..."},       {L"1 2", L"1 2"},         {L"ab", L"ab"},
        {L"7  Spaced", L" Spaced 7"}, {L"5 !bang", L"5 !bang"}, {L"&Close", L"Close"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReverseCaptionForRtl(c.pszIn), CString(c.pszOut)) << lqtest::Narrow(c.pszIn);
}

// The Commands page lists controls through this drawing: an access key's ampersand is not drawn.
TEST(PaintManagerCaptions, ListEntriesDrawCaptionsWithoutTheirAccessKeys)
{
    for (int nTheme : {xtpThemeDefault, xtpThemeStandard}) {
        CXTPPaintManager* pTheme = CXTPPaintManager::CreateTheme(nTheme);
        auto draw = [&](const wchar_t* pszCaption) {
            CXTPControlButton* pControl = new CXTPControlButton;
            pControl->SetCaption(pszCaption);
            lqtest::MemoryCanvas canvas(160, 24);
            pTheme->DrawListBoxControl(&canvas.Dc(), pControl, CRect(0, 0, 160, 24), FALSE, TRUE, nullptr);
            pControl->InternalRelease();
            return canvas.Pixels();
        };
        EXPECT_EQ(draw(L"S&top"), draw(L"Stop")) << "theme " << nTheme;
        EXPECT_NE(draw(L"Stop"), draw(L"")) << "theme " << nTheme;
        pTheme->InternalRelease();
    }
}

TEST(PaintManagerThemes, CreateSetAndCustomThemes)
{
    struct Case
    {
        int nTheme;
        CRuntimeClass* pClass;
        BOOL bFaded;
        BOOL bShadow;
        int nId;
    } cases[] = {
        {0, RUNTIME_CLASS(CXTPThemeDefault), TRUE, TRUE, 0},
        {1, RUNTIME_CLASS(CXTPThemeStandard), FALSE, FALSE, 1},
        {2, RUNTIME_CLASS(CXTPThemeOffice2003), FALSE, FALSE, 2},
        {3, RUNTIME_CLASS(CXTPThemeXPStyle), TRUE, FALSE, 3},
        {7, RUNTIME_CLASS(CXTPThemeStandard), FALSE, FALSE, 1},
    };
    for (const Case& c : cases) {
        CXTPPaintManager* pTheme = CXTPPaintManager::CreateTheme(c.nTheme);
        ASSERT_NE(pTheme, nullptr);
        EXPECT_EQ(pTheme->GetRuntimeClass(), c.pClass) << c.nTheme;
        EXPECT_EQ(pTheme->m_nThemeId, c.nTheme);
        EXPECT_EQ(pTheme->GetThemeId(), c.nId);
        EXPECT_EQ(pTheme->GetIconOptions()->bUseFadedIcons, c.bFaded);
        EXPECT_EQ(pTheme->GetIconOptions()->bIconsWithShadow, c.bShadow);
        EXPECT_FALSE(pTheme->GetIconOptions()->bUseDisabledIcons);
        pTheme->InternalRelease();
    }

    CXTPPaintManager::SetTheme(xtpThemeDefault);
    CXTPPaintManager* pCurrent = XTPPaintManager();
    CXTPPaintManager::SetTheme(xtpThemeDefault);
    EXPECT_EQ(XTPPaintManager(), pCurrent); // the same theme again changes nothing

    CXTPThemeDefault* pCustom = new CXTPThemeDefault;
    CXTPPaintManager::SetCustomTheme(pCustom);
    EXPECT_EQ(XTPPaintManager(), pCustom);
    EXPECT_EQ(pCustom->m_nThemeId, xtpThemeCustom);
    CXTPPaintManager::SetTheme(xtpThemeStandard);
    EXPECT_EQ(XTPPaintManager()->m_nThemeId, xtpThemeStandard);
    CXTPPaintManager::SetTheme(xtpThemeDefault);
    EXPECT_EQ(XTPPaintManager()->GetThemeId(), xtpThemeDefault);
}

TEST(PaintManagerAnimation, FramesAndPausesOfEachKind)
{
    CDistinctTheme theme;
    lqtest::MemoryCanvas image(40, 20, RGB(200, 0, 0));
    image.Dc().FillSolidRect(30, 10, 10, 10, RGB(0, 0, 200));
    const CRect rc(0, 0, 40, 20);
    for (int nKind : {xtpAnimateUnfold, xtpAnimateSlide}) {
        lqtest::MemoryCanvas window(40, 20);
        theme.m_sleeps.clear();
        theme.AnimatePopup(&window.Dc(), &image.Dc(), rc, nKind);
        EXPECT_EQ(theme.m_sleeps, std::vector<DWORD>(10, 10)) << nKind;
        // The last frame is the whole image.
        EXPECT_EQ(window.Dc().GetPixel(0, 0), RGB(200, 0, 0)) << nKind;
        EXPECT_EQ(window.Dc().GetPixel(39, 19), RGB(0, 0, 200)) << nKind;
    }

    // The fade blends nine frames; the last one is left to the popup's own paint.
    lqtest::MemoryCanvas window(40, 20, RGB(0, 0, 0));
    theme.m_sleeps.clear();
    theme.AnimatePopup(&window.Dc(), &image.Dc(), rc, xtpAnimateFade);
    EXPECT_LE(theme.m_sleeps.size(), 9u);
    const COLORREF clrBlend = window.Dc().GetPixel(0, 0);
    EXPECT_EQ(GetRValue(clrBlend), 200 * (255 * 9 / 10) / 256);
    EXPECT_EQ(GetGValue(clrBlend), 0);

    theme.m_nAnimationSteps = 0;
    lqtest::MemoryCanvas untouched(40, 20);
    theme.m_sleeps.clear();
    theme.AnimatePopup(&untouched.Dc(), &image.Dc(), rc, xtpAnimateUnfold);
    EXPECT_TRUE(theme.m_sleeps.empty());
    EXPECT_EQ(untouched.Dc().GetPixel(0, 0), kWhite);
}

} // namespace
