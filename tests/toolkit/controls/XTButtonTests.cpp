// Toolkit buttons and their themes: frames and fills by state drawn into a memory DC, the Windows XP scheme's
// colours, text and image places, hot tracking and double clicks by the mouse, styles, managers and images.
#include "toolkit/controls/XTButton.h"

#include "framework/frame/FrameWnd.h"
#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/support/TestSupport.h"
#include "tests/toolkit/controls/ControlsTestIds.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/controls/XTHeaderTheme.h"
#include "toolkit/controls/XTThemeManager.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kButtonID = 22301;
const int kWidth = 120;
const int kHeight = 40;

class CProbeButton : public CXTButton
{
public:
    void SetHot(BOOL bHot) { m_bHot = bHot; }
    int m_nDraws = 0;
    int m_nDoubleClicks = 0;
    int m_nMoves = 0;

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override
    {
        ++m_nDraws;
        CXTButton::DrawItem(lpDIS);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_LBUTTONDBLCLK)
            ++m_nDoubleClicks;
        if (message == WM_MOUSEMOVE)
            ++m_nMoves;
        return CXTButton::WindowProc(message, wParam, lParam);
    }
};

class CButtonHost : public CFrameWnd
{
public:
    int m_nClicks = 0;

protected:
    void OnButtonClicked() { ++m_nClicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CButtonHost, CFrameWnd)
ON_BN_CLICKED(kButtonID, OnButtonClicked)
END_MESSAGE_MAP()

class XTButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_host = new CButtonHost;
        ASSERT_TRUE(m_host->Create(nullptr, L"Button host", WS_OVERLAPPEDWINDOW, CRect(100, 100, 500, 300)));
        m_hHost = m_host->m_hWnd;
        m_host->ShowWindow(SW_SHOW);
    }

    void TearDown() override
    {
        m_button.DestroyWindow();
        if (::IsWindow(m_hHost))
            ::DestroyWindow(m_hHost);
        XTPColorManager()->SetLunaColorScheme(xtpSystemThemeAuto);
        XTPColorManager()->RefreshColors();
        frametest::SendMouse({10, 700}, 0);
        lqtest::PumpPending();
    }

    void MakeButton(const wchar_t* pszText, DWORD dwStyle = BS_PUSHBUTTON)
    {
        ASSERT_TRUE(m_button.Create(pszText, WS_CHILD | WS_VISIBLE | dwStyle, CRect(10, 10, 10 + kWidth, 10 + kHeight),
                                    m_host, kButtonID));
    }

    // The button drawn by its theme into a canvas of its size, in a state.
    void Draw(lqtest::MemoryCanvas& canvas, UINT nState, BOOL bHot = FALSE)
    {
        m_button.SetHot(bHot);
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = kButtonID;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = nState;
        dis.hwndItem = m_button.m_hWnd;
        dis.hDC = canvas.Dc().GetSafeHdc();
        dis.rcItem = {0, 0, kWidth, kHeight};
        m_button.DrawItem(&dis);
        m_button.SetHot(FALSE);
    }

    CSize TextSize()
    {
        CClientDC dc(&m_button);
        CFont* pOld = dc.SelectObject(m_button.GetFont());
        const CString strText = m_button.GetButtonText(TRUE);
        SIZE size = {};
        ::GetTextExtentPoint32W(dc.GetSafeHdc(), strText, strText.GetLength(), &size);
        dc.SelectObject(pOld);
        return CSize(size);
    }

    CWinApp m_app{L"XTButtonTests"};
    CButtonHost* m_host = nullptr;
    HWND m_hHost = nullptr;
    CProbeButton m_button;
};

TEST_F(XTButtonTest, ItBecomesOwnerDrawnAndPaintsThroughItsTheme)
{
    MakeButton(L"&OK");
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), m_button.GetStyle() & BS_TYPEMASK);
    EXPECT_EQ(static_cast<DWORD>(BS_XT_FLAT), m_button.GetXButtonStyle());
    m_button.RedrawWindow();
    EXPECT_GE(m_button.m_nDraws, 1);
    EXPECT_EQ(CXTThemeManager::GetThemeManager()->GetButtonTheme(), m_button.GetTheme());
}

TEST_F(XTButtonTest, TheClassicThemeFramesByStyleAndState)
{
    MakeButton(L"");
    m_button.SetTheme(new CXTButtonTheme);
    const COLORREF face = GetToolkitColor(COLOR_BTNFACE);
    const COLORREF shadow = GetToolkitColor(COLOR_BTNSHADOW);
    const COLORREF hilite = GetToolkitColor(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = GetToolkitColor(COLOR_3DDKSHADOW);
    const struct
    {
        DWORD dwStyle;
        UINT nState;
        BOOL bHot;
        COLORREF clrTopLeft, clrBottomRight, clrInner, clrInnerBottom;
    } cases[] = {
        {BS_XT_FLAT, 0, FALSE, face, face, face, face},
        {BS_XT_FLAT, 0, TRUE, hilite, shadow, face, face},
        {BS_XT_FLAT, ODS_SELECTED, FALSE, shadow, hilite, face, face},
        {BS_XT_SEMIFLAT, 0, FALSE, hilite, shadow, face, face},
        {BS_XT_SEMIFLAT, ODS_SELECTED, FALSE, shadow, hilite, face, face},
        {0, 0, FALSE, hilite, dark, face, shadow},
        {0, ODS_SELECTED, FALSE, dark, hilite, shadow, face},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dwStyle << " " << c.nState << " " << c.bHot);
        m_button.SetXButtonStyle(c.dwStyle, FALSE);
        lqtest::MemoryCanvas canvas(kWidth, kHeight, RGB(1, 2, 3));
        Draw(canvas, c.nState, c.bHot);
        CDC& dc = canvas.Dc();
        EXPECT_EQ(c.clrTopLeft, dc.GetPixel(0, 0));
        EXPECT_EQ(c.clrBottomRight, dc.GetPixel(kWidth - 1, kHeight - 1));
        EXPECT_EQ(c.clrInner, dc.GetPixel(1, 1));
        EXPECT_EQ(c.clrInnerBottom, dc.GetPixel(kWidth - 2, kHeight - 2));
        EXPECT_EQ(face, dc.GetPixel(kWidth / 2, kHeight / 2));
    }

    // Pressed with the dithered style: rows alternate face and highlight.
    m_button.SetXButtonStyle(BS_XT_SEMIFLAT | BS_XT_HILITEPRESSED, FALSE);
    lqtest::MemoryCanvas canvas(kWidth, kHeight, RGB(1, 2, 3));
    Draw(canvas, ODS_SELECTED);
    const COLORREF a = canvas.Dc().GetPixel(10, 10);
    const COLORREF b = canvas.Dc().GetPixel(11, 10);
    EXPECT_NE(a, b);
    EXPECT_TRUE((a == face && b == hilite) || (a == hilite && b == face));
}

TEST_F(XTButtonTest, TheFlatThemesFillByState)
{
    MakeButton(L"");
    EXPECT_EQ(static_cast<DWORD>(BS_XT_FLAT), m_button.SetXButtonStyle(BS_XT_XPFLAT, FALSE));
    ASSERT_EQ(xtControlThemeOffice, m_button.GetTheme()->GetThemeId());
    const struct
    {
        UINT nState;
        BOOL bHot;
        COLORREF clrFrame, clrFill;
    } cases[] = {
        {0, FALSE, GetToolkitColor(COLOR_BTNFACE), GetToolkitColor(COLOR_BTNFACE)},
        {0, TRUE, GetToolkitColor(32), GetToolkitColor(31)},
        {ODS_SELECTED, TRUE, GetToolkitColor(32), GetToolkitColor(33)},
        {ODS_SELECTED, FALSE, GetToolkitColor(32), GetToolkitColor(33)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nState << " " << c.bHot);
        lqtest::MemoryCanvas canvas(kWidth, kHeight, RGB(1, 2, 3));
        Draw(canvas, c.nState, c.bHot);
        EXPECT_EQ(c.clrFrame, canvas.Dc().GetPixel(0, 0));
        EXPECT_EQ(c.clrFrame, canvas.Dc().GetPixel(kWidth - 1, kHeight - 1));
        EXPECT_EQ(c.clrFill, canvas.Dc().GetPixel(kWidth / 2, kHeight / 2));
    }

    // A flat theme at rest has a frame in the shadow colour.
    auto* pTheme = new CXTButtonThemeV1(TRUE);
    m_button.SetTheme(pTheme);
    lqtest::MemoryCanvas canvas(kWidth, kHeight, RGB(1, 2, 3));
    Draw(canvas, 0);
    EXPECT_EQ(GetToolkitColor(COLOR_BTNSHADOW), canvas.Dc().GetPixel(0, 0));
    EXPECT_EQ(GetToolkitColor(30), canvas.Dc().GetPixel(kWidth / 2, kHeight / 2));
}

TEST_F(XTButtonTest, TheWindowsXPThemeTakesItsSchemesColours)
{
    const struct
    {
        int nScheme;
        COLORREF clrLight, clrFace, clrShadow;
    } cases[] = {
        {xtpSystemThemeBlue, RGB(0, 0, 128), RGB(169, 199, 240), RGB(127, 157, 185)},
        {xtpSystemThemeOlive, RGB(63, 93, 56), RGB(197, 212, 159), RGB(164, 185, 127)},
        // The desktop alert's silver frame colour.
        {xtpSystemThemeSilver, RGB(75, 75, 111), RGB(192, 192, 211), RGB(165, 172, 178)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nScheme);
        XTPColorManager()->SetLunaColorScheme(c.nScheme);
        CXTButtonThemeV2 flat(TRUE);
        EXPECT_EQ(c.clrLight, flat.GetColorLight());
        EXPECT_EQ(c.clrFace, flat.GetColorFace());
        EXPECT_EQ(c.clrShadow, flat.GetColorShadow());
        EXPECT_EQ(RGB(255, 238, 194), flat.GetColorHot());
        EXPECT_EQ(RGB(254, 128, 62), flat.GetColorPushed());
        EXPECT_EQ(RGB(0, 0, 0), flat.GetColorText());
        EXPECT_EQ(RGB(0, 0, 0), flat.GetColorHotText());
        CXTButtonThemeV2 raised(FALSE);
        EXPECT_EQ(GetToolkitColor(COLOR_BTNFACE), raised.GetColorFace()) << "a theme that is not flat keeps its face";
    }
    XTPColorManager()->SetLunaColorScheme(xtpSystemThemeUnknown);
    CXTButtonThemeV2 plain(FALSE);
    EXPECT_EQ(GetToolkitColor(32), plain.GetColorLight());
    EXPECT_EQ(GetToolkitColor(46), plain.GetColorText());
}

TEST_F(XTButtonTest, ColoursSetByTheOwnerSurviveARefresh)
{
    MakeButton(L"");
    m_button.SetColorFace(RGB(9, 9, 9));
    EXPECT_EQ(GetToolkitGlobals()->m_arrColor[0], m_button.GetColorFace()) << "no theme of its own: nothing changes";
    EXPECT_NE(RGB(9, 9, 9), m_button.GetTheme()->GetColorFace());

    m_button.SetXButtonStyle(BS_XT_XPFLAT);
    m_button.SetColorFace(RGB(9, 9, 9));
    m_button.SetXPColors(RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3));
    m_button.GetTheme()->RefreshMetrics();
    auto* pTheme = static_cast<CXTButtonThemeV1*>(m_button.GetTheme());
    EXPECT_EQ(RGB(9, 9, 9), pTheme->GetColorFace());
    EXPECT_EQ(RGB(1, 1, 1), pTheme->GetColorLight());
    EXPECT_EQ(RGB(1, 1, 1), pTheme->GetColorShadow());
    EXPECT_EQ(RGB(2, 2, 2), pTheme->GetColorHot());
    EXPECT_EQ(RGB(3, 3, 3), pTheme->GetColorPushed());

    // Only a theme 1 of its own takes XP colours.
    m_button.SetTheme(new CXTButtonThemeV2(FALSE));
    m_button.SetXPColors(RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3));
    EXPECT_NE(RGB(2, 2, 2), static_cast<CXTButtonThemeV1*>(m_button.GetTheme())->GetColorHot());
}

TEST_F(XTButtonTest, TextAndImageTakeTheirPlacesByAlignment)
{
    const struct
    {
        DWORD dwAlign;
        DWORD dwxStyle;
    } cases[] = {{0, 0}, {BS_LEFT, 0}, {BS_RIGHT, 0}, {0, BS_XT_TWOROWS}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dwAlign << " " << c.dwxStyle);
        m_button.DestroyWindow();
        MakeButton(L"&Refresh", BS_PUSHBUTTON | c.dwAlign);
        ASSERT_TRUE(m_button.SetIcon(CSize(16, 16), IDI_TEST_TRAY_GREEN));
        m_button.SetXButtonStyle(BS_XT_FLAT | c.dwxStyle);
        const CSize text = TextSize();
        CXTButtonTheme* pTheme = m_button.GetTheme();
        const CRect rc(0, 0, kWidth, kHeight);
        const CPoint ptText = pTheme->GetTextPosition(0, rc, text, &m_button);
        const CPoint ptImage = pTheme->GetImagePosition(0, rc, &m_button);
        const bool bAbove = (c.dwxStyle & BS_XT_TWOROWS) != 0;
        const int yText = (kHeight - text.cy) / 2 + (bAbove ? 8 / 2 + 16 / 2 : 0);
        EXPECT_EQ(yText, ptText.y);
        switch (c.dwAlign) {
        case BS_LEFT:
            EXPECT_EQ(4 + 16 + 8, ptText.x);
            EXPECT_EQ(CPoint(4, (kHeight - 16) / 2), ptImage);
            break;
        case BS_RIGHT:
            EXPECT_EQ(kWidth - 2 - text.cx - 4, ptText.x);
            break;
        default:
            if (bAbove) {
                EXPECT_EQ(4 + (kWidth - 2 - text.cx - 4 - 4) / 2, ptText.x);
                EXPECT_EQ(CPoint((kWidth - 16) / 2, (kHeight - 16) / 2 - text.cy / 2 - 8 / 2), ptImage);
            } else {
                EXPECT_EQ(20 + (kWidth - 2 - text.cx - 20 - 4) / 2, ptText.x);
            }
            break;
        }
    }

    // The owner's places win; without images shown nothing is beside the text.
    m_button.SetTextAndImagePos(CPoint(30, 3), CPoint(2, 2));
    EXPECT_EQ(CPoint(30, 3),
              m_button.GetTheme()->GetTextPosition(0, CRect(0, 0, kWidth, kHeight), CSize(10, 10), &m_button));
    m_button.ToggleImage();
    EXPECT_EQ(CSize(0, 0), m_button.GetImageSize());
    m_button.ToggleImage();
    EXPECT_EQ(CSize(16, 16), m_button.GetImageSize());
}

TEST_F(XTButtonTest, ImagesFromIconsAndBitmaps)
{
    MakeButton(L"");
    EXPECT_FALSE(m_button.SetIcon(CSize(16, 16), 22999)) << "no such icon";
    EXPECT_EQ(nullptr, m_button.GetIcon());
    ASSERT_TRUE(m_button.SetIcon(CSize(16, 16), IDI_TEST_TRAY_GREEN, IDI_TEST_TRAY_ORANGE));
    const CPoint pt = m_button.GetTheme()->GetImagePosition(0, CRect(0, 0, kWidth, kHeight), &m_button);
    {
        lqtest::MemoryCanvas canvas(kWidth, kHeight, RGB(1, 2, 3));
        Draw(canvas, 0);
        EXPECT_EQ(RGB(40, 170, 60), canvas.Dc().GetPixel(pt.x + 8, pt.y + 8)) << "the normal image";
        lqtest::MemoryCanvas hot(kWidth, kHeight, RGB(1, 2, 3));
        Draw(hot, 0, TRUE);
        EXPECT_EQ(RGB(240, 140, 30), hot.Dc().GetPixel(pt.x + 8, pt.y + 8)) << "the hot image";
    }

    // A plain bitmap's corner colour becomes transparent.
    ASSERT_TRUE(m_button.SetBitmap(CSize(0, 0), IDB_TEST_BUTTON_SQUARE));
    EXPECT_EQ(CSize(16, 16), m_button.GetImageSize());
    lqtest::MemoryCanvas canvas(kWidth, kHeight, RGB(1, 2, 3));
    Draw(canvas, 0);
    const CPoint ptBitmap = m_button.GetTheme()->GetImagePosition(0, CRect(0, 0, kWidth, kHeight), &m_button);
    EXPECT_EQ(RGB(200, 30, 30), canvas.Dc().GetPixel(ptBitmap.x + 8, ptBitmap.y + 8));
    EXPECT_EQ(GetToolkitColor(COLOR_BTNFACE), canvas.Dc().GetPixel(ptBitmap.x, ptBitmap.y));
    m_button.CleanUpGDI();
    EXPECT_EQ(nullptr, m_button.GetIcon());
}

TEST_F(XTButtonTest, TheMouseMakesItHotAndADoubleClickIsTwoClicks)
{
    MakeButton(L"Go");
    ASSERT_TRUE(frametest::Activate(m_hHost));
    const POINT ptIn = frametest::ClientToScreenPoint(m_button.m_hWnd, 20, 20);
    frametest::SendMouse(ptIn, 0);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return m_button.IsHot(); }));
    frametest::SendMouse({10, 700}, 0);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return !m_button.IsHot(); }));

    frametest::SendMouse(ptIn, MOUSEEVENTF_LEFTDOWN);
    frametest::SendMouse(ptIn, MOUSEEVENTF_LEFTUP);
    frametest::SendMouse(ptIn, MOUSEEVENTF_LEFTDOWN);
    frametest::SendMouse(ptIn, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return m_host->m_nClicks == 2; }));
    EXPECT_EQ(1, m_button.m_nDoubleClicks);

    // A theme 0 button with the raised frame does not track the mouse.
    frametest::SendMouse({10, 700}, 0);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return !m_button.IsHot(); }));
    m_button.SetXButtonStyle(0);
    m_button.SetTheme(new CXTButtonTheme);
    const int nMoves = m_button.m_nMoves;
    frametest::SendMouse({ptIn.x + 10, ptIn.y}, 0);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return m_button.m_nMoves > nMoves; }));
    lqtest::PumpPending();
    EXPECT_FALSE(m_button.IsHot());
}

TEST_F(XTButtonTest, StylesThemesAndManagers)
{
    MakeButton(L"");
    CXTButtonTheme* pShared = m_button.GetTheme();
    m_button.SetXButtonStyle(BS_XT_SHOWFOCUS);
    EXPECT_EQ(pShared, m_button.GetTheme()) << "neither flat style keeps the theme";
    m_button.SetXButtonStyle(BS_XT_FLAT);
    CXTButtonTheme* pOwn = m_button.GetTheme();
    EXPECT_NE(pShared, pOwn);
    EXPECT_EQ(xtControlThemeClassic, pOwn->GetThemeId());
    EXPECT_EQ(static_cast<DWORD>(BS_XT_FLAT), m_button.SetXButtonStyle(BS_XT_FLAT | BS_XT_SHOWFOCUS));
    EXPECT_NE(pOwn, m_button.GetTheme()) << "a new own theme replaces the old one";
    m_button.SetTheme(nullptr);
    EXPECT_NE(nullptr, m_button.GetTheme());

    CProbeButton other;
    auto* pManager = new CXTThemeManager;
    pManager->SetTheme(xtControlThemeWindowsXP);
    other.SetThemeManager(pManager);
    EXPECT_EQ(xtControlThemeWindowsXP, other.GetTheme()->GetThemeId());

    CXTThemeManager manager;
    EXPECT_EQ(xtControlThemeClassic, manager.GetTheme());
    manager.SetTheme(xtControlThemeOffice);
    CXTButtonTheme* pButtonTheme = manager.GetButtonTheme();
    CXTHeaderTheme* pHeaderTheme = manager.GetHeaderTheme();
    EXPECT_NE(nullptr, dynamic_cast<CXTButtonThemeV1*>(pButtonTheme));
    EXPECT_NE(nullptr, dynamic_cast<CXTHeaderThemeV1*>(pHeaderTheme));
    manager.SetTheme(static_cast<XTControlTheme>(3));
    EXPECT_EQ(xtControlThemeOffice, manager.GetTheme());
    EXPECT_EQ(pButtonTheme, manager.GetButtonTheme());
    EXPECT_EQ(pHeaderTheme, manager.GetHeaderTheme());
    manager.SetTheme(xtControlThemeWindowsXP);
    EXPECT_NE(nullptr, dynamic_cast<CXTButtonThemeV2*>(manager.GetButtonTheme()));
    EXPECT_NE(nullptr, dynamic_cast<CXTHeaderThemeV2*>(manager.GetHeaderTheme()));
}

TEST_F(XTButtonTest, MnemonicsAreStrippedButDoubledAmpersandsKept)
{
    MakeButton(L"");
    const struct
    {
        const wchar_t* pszText;
        const wchar_t* pszStripped;
    } cases[] = {
        {L"&OK", L"OK"}, {L"Save && Close", L"Save && Close"}, {L"A&&&B", L"A&&B"}, {L"&", L""}, {L"Plain", L"Plain"}};
    for (const auto& c : cases) {
        m_button.SetWindowText(c.pszText);
        EXPECT_EQ(CString(c.pszStripped), m_button.GetButtonText(TRUE)) << lqtest::Narrow(c.pszText);
        EXPECT_EQ(CString(c.pszText), m_button.GetButtonText(FALSE));
    }
}

} // namespace
