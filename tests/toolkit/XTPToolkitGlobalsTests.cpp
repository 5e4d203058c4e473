// The toolkit's global settings: what it copies and creates from the system, the face rules of its fonts, its
// own cursors, and the icon holder.
#include "toolkit/base/XTPToolkitGlobals.h"

#include "toolkit/base/BaseResource.h"
#include "toolkit/base/XTPColorManager.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

LOGFONTW LogFontOf(CFont& font)
{
    LOGFONTW lf = {};
    EXPECT_NE(nullptr, font.GetSafeHandle());
    font.GetLogFont(&lf);
    return lf;
}

// Answers face questions from a fixed list, so that the rules do not depend on the fonts installed.
class FakeFaces : public CXTPToolkitGlobals
{
public:
    explicit FakeFaces(std::set<std::wstring> faces) : m_faces(std::move(faces)) {}
    BOOL FontExists(LPCWSTR lpszFaceName) override
    {
        std::wstring face = lpszFaceName;
        for (wchar_t& c : face)
            c = towlower(c);
        return m_faces.count(face) != 0;
    }

private:
    std::set<std::wstring> m_faces;
};

std::wstring MenuFace()
{
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    return ncm.lfMenuFont.lfFaceName;
}

TEST(XTPToolkitGlobals, FontsFollowTheMenuFont)
{
    CXTPToolkitGlobals* pGlobals = GetToolkitGlobals();
    ASSERT_EQ(pGlobals, GetToolkitGlobals());
    const LOGFONTW regular = LogFontOf(pGlobals->m_fonts[CXTPToolkitGlobals::fontRegular]);
    EXPECT_EQ(MenuFace(), std::wstring(regular.lfFaceName));
    EXPECT_EQ(FW_BOLD, LogFontOf(pGlobals->m_fonts[CXTPToolkitGlobals::fontBold]).lfWeight);
    EXPECT_TRUE(LogFontOf(pGlobals->m_fonts[CXTPToolkitGlobals::fontUnderline]).lfUnderline);
    const LOGFONTW vertical = LogFontOf(pGlobals->m_fonts[CXTPToolkitGlobals::fontVertical]);
    EXPECT_EQ(2700, vertical.lfEscapement);
    EXPECT_EQ(900, vertical.lfOrientation);
    EXPECT_EQ(regular.lfHeight, vertical.lfHeight);
    const LOGFONTW verticalBold = LogFontOf(pGlobals->m_fonts[CXTPToolkitGlobals::fontVerticalBold]);
    EXPECT_EQ(FW_BOLD, verticalBold.lfWeight);
    EXPECT_EQ(2700, verticalBold.lfEscapement);
    const LOGFONTW symbol = LogFontOf(pGlobals->m_fonts[CXTPToolkitGlobals::fontSymbol]);
    EXPECT_EQ(std::wstring(L"Marlett"), symbol.lfFaceName);
    EXPECT_EQ(DEFAULT_CHARSET, symbol.lfCharSet);
    EXPECT_EQ(0, symbol.lfWeight);
    EXPECT_EQ(LogFontOf(pGlobals->m_fonts[CXTPToolkitGlobals::fontIconTitle]).lfHeight, symbol.lfHeight);
    EXPECT_EQ(FW_BOLD, LogFontOf(pGlobals->m_fonts[CXTPToolkitGlobals::fontIconTitleBold]).lfWeight);
    EXPECT_NE(nullptr, pGlobals->m_fonts[CXTPToolkitGlobals::fontStatus].GetSafeHandle());
    EXPECT_NE(nullptr, pGlobals->m_fonts[CXTPToolkitGlobals::fontSmallCaption].GetSafeHandle());
}

TEST(XTPToolkitGlobals, ColoursMetricsAndVersion)
{
    CXTPToolkitGlobals* pGlobals = GetToolkitGlobals();
    const int sources[] = {15, 16, 21, 20, 22, 18, 17, 13, 14, 4, 7, 5, 6, 8, 2, 3, 27, 28, 9, 19};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(XTPColorManager()->GetColor(sources[i]), pGlobals->m_arrColor[i]) << i;
    for (int i = 20; i < 40; ++i)
        EXPECT_EQ(XTPColorManager()->GetColor(10 + i), pGlobals->m_arrColor[i]) << i;
    EXPECT_EQ(0u, pGlobals->m_arrColor[17]); // the colour manager never fills entry 28
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), pGlobals->m_cxSmIcon);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), pGlobals->m_cyMenuItem);
    EXPECT_EQ(18, pGlobals->m_cxDefaultButton);
    EXPECT_EQ(18, pGlobals->m_cyDefaultButton);
    EXPECT_GE(HIWORD(pGlobals->GetComCtlVersion()), 5);
    EXPECT_EQ(GetModuleHandleW(nullptr), pGlobals->GetResourceModule());
}

TEST(XTPToolkitGlobals, OwnCursorsAreLoadedAndDistinct)
{
    CXTPToolkitGlobals* pGlobals = GetToolkitGlobals();
    const HCURSOR cursors[] = {pGlobals->m_hcurSplitRows, pGlobals->m_hcurSplitCols, pGlobals->m_hcurDragMove,
                               pGlobals->m_hcurHand,      pGlobals->m_hcurDragCopy,  pGlobals->m_hcurSizeNS,
                               pGlobals->m_hcurSizeWE,    pGlobals->m_hcurSizeAll};
    std::set<HCURSOR> distinct;
    for (HCURSOR hCursor : cursors) {
        ASSERT_NE(nullptr, hCursor);
        distinct.insert(hCursor);
        ICONINFO ii = {};
        ASSERT_TRUE(GetIconInfo(hCursor, &ii));
        EXPECT_FALSE(ii.fIcon);
        DeleteObject(ii.hbmColor);
        DeleteObject(ii.hbmMask);
    }
    EXPECT_EQ(8u, distinct.size());
    ICONINFO ii = {};
    ASSERT_TRUE(GetIconInfo(pGlobals->m_hcurHand, &ii));
    EXPECT_EQ(13u, ii.xHotspot);
    EXPECT_EQ(4u, ii.yHotspot);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    EXPECT_NE(nullptr, LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(XTP_IDB_FRAME_GLYPHS)));
}

TEST(XTPToolkitGlobals, FaceRules)
{
    const std::wstring menu = MenuFace();
    const bool bMenuIsTahoma = _wcsicmp(menu.c_str(), L"Tahoma") == 0;
    struct Case
    {
        std::set<std::wstring> installed;
        const wchar_t* regular;
        const wchar_t* vertical;
        BOOL bUseTahoma;
        std::wstring expectedRegular;
        std::wstring expectedVertical;
    } cases[] = {
        // Requested faces are used only when installed.
        {{L"verdana", L"courier new"}, L"Verdana", L"Courier New", FALSE, L"Verdana", L"Courier New"},
        {{}, L"Verdana", L"Courier New", FALSE, menu, menu},
        // The vertical font prefers Arial unless the menu font is Tahoma.
        {{L"arial"}, nullptr, nullptr, FALSE, menu, bMenuIsTahoma ? menu : L"Arial"},
        // The Tahoma switch.
        {{L"tahoma"}, nullptr, nullptr, TRUE, L"Tahoma", L"Tahoma"},
    };
    for (const Case& c : cases) {
        FakeFaces globals(c.installed);
        globals.m_bUseTahoma = c.bUseTahoma;
        ASSERT_TRUE(globals.CreateFonts(c.regular, c.vertical));
        EXPECT_EQ(c.expectedRegular, LogFontOf(globals.m_fonts[CXTPToolkitGlobals::fontRegular]).lfFaceName);
        EXPECT_EQ(c.expectedVertical, LogFontOf(globals.m_fonts[CXTPToolkitGlobals::fontVertical]).lfFaceName);
    }
}

TEST(XTPToolkitGlobals, FontExistsAsksTheInstalledFamilies)
{
    CXTPToolkitGlobals* pGlobals = GetToolkitGlobals();
    std::wstring upper = MenuFace();
    for (wchar_t& c : upper)
        c = towupper(c);
    EXPECT_TRUE(pGlobals->FontExists(upper.c_str()));
    EXPECT_FALSE(pGlobals->FontExists(L"No Such Face Anywhere"));
    EXPECT_FALSE(pGlobals->FontExists(L""));
    // Without Arial the paint manager keeps the GUI font's face; with it, Tahoma when preferred.
    LOGFONTW gui = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    const bool bArial = pGlobals->FontExists(L"Arial");
    const bool bTahoma = pGlobals->FontExists(L"Tahoma");
    const bool bGuiFace = !bArial || gui.lfCharSet > 2;
    EXPECT_EQ(CString(bGuiFace ? gui.lfFaceName : bTahoma ? L"Tahoma" : L"Arial"), GetToolkitFontFaceName(TRUE));
    EXPECT_EQ(CString(bGuiFace ? gui.lfFaceName : L"Arial"), GetToolkitFontFaceName(FALSE));
}

TEST(XTIconHandle, DestroysWhatItHoldsAndNothingElse)
{
    HICON hFirst = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
    HICON hSecond = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
    ICONINFO ii = {};
    {
        CXTIconHandle holder;
        EXPECT_EQ(nullptr, static_cast<HICON>(holder));
        holder = hFirst;
        EXPECT_EQ(hFirst, static_cast<HICON>(holder));
        holder = hFirst; // the held icon again: kept
        ASSERT_TRUE(GetIconInfo(hFirst, &ii));
        DeleteObject(ii.hbmColor);
        DeleteObject(ii.hbmMask);
        holder = hSecond;
        EXPECT_FALSE(GetIconInfo(hFirst, &ii));
        holder = static_cast<HICON>(nullptr);
        EXPECT_FALSE(GetIconInfo(hSecond, &ii));
        EXPECT_EQ(nullptr, static_cast<HICON>(holder));
    }
    HICON hThird = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
    {
        CXTIconHandle holder;
        holder = hThird;
    }
    EXPECT_FALSE(GetIconInfo(hThird, &ii));
    {
        CXTIconHandle empty;
    } // destroying an empty holder does nothing
}

} // namespace
