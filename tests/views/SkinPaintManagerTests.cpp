// The skin paint manager: its colours per scheme by pixel probes of real bars, the images it finds beside the
// program and what it does without them (missing, damaged or partly there), its caption with hot buttons, and its
// resize gripper.
#include "views/SkinPaintManager.h"

#include "views/ExStatusBar.h"

#include "feeds/DataFiles.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"
#include "tests/toolkit/commandbars/ThemeTestSupport.h"
#include "toolkit/taskpanel/XTPHtmlText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using themetest::Near;

struct Scheme
{
    int nScheme;
    COLORREF face;
    COLORREF faceEnd;
    COLORREF hotFill;
    COLORREF hotBorder;
    COLORREF menuText;
};

const Scheme kSchemes[] = {
    {0, 0x890608, 0xB50606, 0xFFC8C8, 0xE62828, 0xE9C9C9},
    {1, 0x060689, 0x0606B5, 0xC8C8FF, 0x2828DC, 0xC9C9E9},
    {2, 0x068906, 0x06B506, 0xC8FFC8, 0x28DC28, 0xC9E9C9},
};

std::wstring ImageFolder()
{
    return std::wstring(GetModuleFolder().GetString()) + L"\\Skins\\SkinOne\\images\\";
}

const wchar_t* const kImageNames[] = {L"01", L"02", L"03", L"04", L"11", L"12", L"13", L"14", L"min", L"cls"};

// A folder with the program's images, some of them replaced or left out.
struct ImageFolderCopy
{
    lqtest::TempFolder folder;
    std::wstring Path() const { return folder.Path() + L"\\"; }
    void CopyAll()
    {
        for (const wchar_t* name : kImageNames)
            for (const wchar_t* prefix : {L"button1_", L"button_"}) {
                const std::wstring file = std::wstring(prefix) + name + L".png";
                ASSERT_TRUE(::CopyFileW((ImageFolder() + file).c_str(), folder.File(file).c_str(), FALSE))
                    << lqtest::Narrow(file);
            }
    }
};

TEST(SkinPaintManagerTest, EachSchemePaintsItsBarsAndItsHotColours)
{
    for (const Scheme& s : kSchemes) {
        SCOPED_TRACE(s.nScheme);
        auto* pSkin = new CSkinPaintManager(s.nScheme);
        EXPECT_EQ(pSkin->m_clrFace, s.face);
        EXPECT_EQ(pSkin->m_clrFaceEnd, s.faceEnd);
        EXPECT_EQ(pSkin->m_clrMenuText, s.menuText);
        EXPECT_EQ(pSkin->m_clrDarkShade, AdjustColorHls(s.face, -30, 0));
        EXPECT_EQ(pSkin->m_clrLightShade, AdjustColorHls(s.face, 40, 0));
        // The hot colours survive a refresh of the base's metrics (a theme or system colour change).
        pSkin->RefreshMetrics();
        EXPECT_EQ(pSkin->GetColor(31), s.hotFill);
        EXPECT_EQ(pSkin->GetColor(32), s.hotBorder);
        EXPECT_EQ(pSkin->GetColor(45), 0x000000u);
        // The pane's captions read the same colours through the skin's interface.
        const CSkinCaptionColors* pColors = CSkinCaptionColors::FromPaintManager(pSkin);
        ASSERT_NE(pColors, nullptr);
        EXPECT_EQ(pColors->GetSkinFace(), s.face);

        themetest::Scene scene(pSkin);
        // Toolbar and menu bar: the face at the top running to the face's end at the bottom (the right end holds
        // no control).
        for (auto bar : {themetest::Scene::kToolBar, themetest::Scene::kMenuBar}) {
            auto canvas = scene.Draw(bar);
            const int x = canvas->Width() - 2;
            EXPECT_TRUE(Near(canvas->At(x, 0), s.face, 2)) << bar;
            EXPECT_TRUE(Near(canvas->At(x, canvas->Height() - 1), s.faceEnd, 8)) << bar;
        }
        // A popup: white, a band down its left side from the face to the face's end, a grey frame.
        auto popup = scene.Draw(themetest::Scene::kPopup);
        EXPECT_EQ(popup->At(0, 0), RGB(0xA8, 0xA8, 0xA8));
        EXPECT_EQ(popup->At(popup->Width() - 1, popup->Height() / 2), RGB(0xA8, 0xA8, 0xA8));
        EXPECT_EQ(popup->At(popup->Width() - 3, 1), RGB(255, 255, 255));
        EXPECT_TRUE(Near(popup->At(1, 1), s.face, 12));
        EXPECT_TRUE(Near(popup->At(23, 1), s.faceEnd, 12));
    }
}

TEST(SkinPaintManagerTest, MenusAndButtonsAreImagesWhileTheirFilesAreThere)
{
    ImageFolderCopy images;
    images.CopyAll();
    auto* pSkin = new CSkinPaintManager(1, images.Path().c_str());
    themetest::Scene scene(pSkin);
    lqtest::MemoryCanvas canvas(100, 40);
    CXTPControl* pEdit = scene.c.pMenuHot; // "&Edit", selected
    CXTPControl* pFile = scene.GetBar(themetest::Scene::kMenuBar)->GetControl(0);
    ASSERT_NE(pSkin->GetImage(1, true), nullptr);
    EXPECT_EQ(pSkin->DrawControlToolBarParent(&canvas.Dc(), pEdit, FALSE), pSkin->GetImage(1, true)->GetSize());
    // A menu the skin has no image for is its caption on the bar.
    const CSize file = pSkin->DrawControlToolBarParent(&canvas.Dc(), pFile, FALSE);
    const CSize text = canvas.Dc().GetTextExtent(CString(L"File"));
    EXPECT_EQ(file.cx, text.cx + 16);

    // The toolbar buttons of the four commands are images, measured 32 by 32; any other button is the bar's
    // button size and more.
    for (UINT nId : {ID_FEED_SUBSCRIBE, ID_MANAGE_FEEDS, ID_FEEDS_STOP, ID_FEEDS_UPDATE_NOW}) {
        scene.c.pNormal->SetID(nId);
        EXPECT_EQ(pSkin->DrawControlToolBarParent(&canvas.Dc(), scene.c.pNormal, FALSE), CSize(32, 32)) << nId;
    }
    for (int place = 0; place < CSkinPaintManager::kImageCount; ++place)
        for (bool bSelected : {false, true})
            EXPECT_NE(pSkin->GetImage(place, bSelected), nullptr) << place << bSelected;
    EXPECT_EQ(pSkin->GetImage(CSkinPaintManager::kImageClose, false)->GetSize(), CSize(19, 19));
}

TEST(SkinPaintManagerTest, MissingOrDamagedImagesLeaveTheirPlacesEmptyAndTheRestWhereTheyBelong)
{
    ImageFolderCopy images;
    images.CopyAll();
    // Damaged, empty and missing files; the other images keep their own places.
    ASSERT_TRUE(lqtest::WriteFileBytes(images.folder.File(L"button1_cls.png"), "<html>404 Not Found</html>"));
    ASSERT_TRUE(lqtest::WriteFileBytes(images.folder.File(L"button_min.png"), ""));
    ASSERT_TRUE(::DeleteFileW(images.folder.File(L"button1_11.png").c_str()));
    ASSERT_TRUE(::DeleteFileW(images.folder.File(L"button1_02.png").c_str()));
    CSkinPaintManager skin(0, images.Path().c_str());
    const struct
    {
        int place;
        bool bSelected;
        bool bLoaded;
    } cases[] = {
        {CSkinPaintManager::kImageClose, false, false},
        {CSkinPaintManager::kImageClose, true, true},
        {CSkinPaintManager::kImageMinimize, true, false},
        {CSkinPaintManager::kImageMinimize, false, true},
        {CSkinPaintManager::kImageSubscribe, false, false},
        {CSkinPaintManager::kImageSubscribe + 1, false, true},
        {1, false, false},
        {2, false, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(skin.GetImage(c.place, c.bSelected) != nullptr, c.bLoaded) << c.place << c.bSelected;
    EXPECT_EQ(skin.GetImage(CSkinPaintManager::kImageMinimize, false)->GetSize(), CSize(19, 19));
    EXPECT_EQ(skin.GetImage(CSkinPaintManager::kImageSubscribe + 1, false)->GetSize(), CSize(32, 32));

    // Without any image the menus are their captions and the caption is its title, drawn without a fault.
    lqtest::TempFolder empty;
    auto* pBare = new CSkinPaintManager(2, (empty.Path() + L"\\").c_str());
    for (int place = 0; place < CSkinPaintManager::kImageCount; ++place)
        EXPECT_EQ(pBare->GetImage(place, false), nullptr);
    themetest::Scene scene(pBare);
    lqtest::MemoryCanvas canvas(100, 40);
    const CSize edit = pBare->DrawControlToolBarParent(&canvas.Dc(), scene.c.pMenuHot, FALSE);
    EXPECT_EQ(edit.cx, canvas.Dc().GetTextExtent(CString(L"Edit")).cx + 16);
    lqtest::MemoryCanvas caption(300, 25, pBare->m_clrFace);
    pBare->DrawSkinCaption(&caption.Dc(), caption.Rect(), HTCLOSE, L"Lanternquill");
    EXPECT_EQ(caption.At(286, 12), pBare->m_clrFace);
}

TEST(SkinPaintManagerTest, TheCaptionShowsItsTitleAndLightsTheHotButton)
{
    auto probe = [](int nHot) {
        CSkinPaintManager skin(0);
        auto canvas = std::make_unique<lqtest::MemoryCanvas>(300, 25, skin.m_clrFace);
        skin.DrawSkinCaption(&canvas->Dc(), canvas->Rect(), nHot, L"Lanternquill");
        return canvas;
    };
    auto normal = probe(0);
    auto closeHot = probe(HTCLOSE);
    auto minHot = probe(HTMINBUTTON);
    const COLORREF face = 0x890608;
    // The close button at (277, 3) and the minimise button at (257, 3), 19 by 19 each: the close glyph's centre
    // is white; a hot close button is red, a hot minimise button lighter than a normal one.
    EXPECT_TRUE(Near(normal->At(286, 12), RGB(255, 255, 255), 30));
    EXPECT_NE(normal->At(280, 6), face);
    const COLORREF hotClose = closeHot->At(280, 6);
    EXPECT_GT(GetRValue(hotClose), GetBValue(hotClose) + 60);
    EXPECT_EQ(minHot->At(280, 6), normal->At(280, 6));
    EXPECT_GT(GetRValue(minHot->At(260, 6)) + GetGValue(minHot->At(260, 6)),
              GetRValue(normal->At(260, 6)) + GetGValue(normal->At(260, 6)) + 40);
    // The title is drawn in the title colour between the left edge and the buttons, and nowhere past them.
    int titlePixels = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 300; ++x)
            if (Near(normal->At(x, y), RGB(0xDC, 0xDC, 0x00), 24)) {
                ++titlePixels;
                EXPECT_LT(x, 230);
            }
    EXPECT_GT(titlePixels, 40);
}

TEST(SkinPaintManagerTest, TheResizeGripperDrawsDarkAndLightDiagonals)
{
    CSkinPaintManager skin(2);
    lqtest::MemoryCanvas canvas(20, 20);
    skin.DrawResizeGripper(&canvas.Dc(), canvas.Rect());
    const struct
    {
        int x, y;
        COLORREF clr;
    } probes[] = {{16, 18, skin.m_clrDarkShade},  {17, 17, skin.m_clrDarkShade},  {12, 18, skin.m_clrDarkShade},
                  {15, 18, skin.m_clrLightShade}, {11, 18, skin.m_clrLightShade}, {2, 2, RGB(255, 255, 255)},
                  {18, 18, RGB(255, 255, 255)}};
    for (const auto& p : probes)
        EXPECT_EQ(canvas.At(p.x, p.y), p.clr) << p.x << "," << p.y;
}

TEST(SkinPaintManagerTest, TheStatusBarWritesInTheSkinsColours)
{
    auto* pSkin = new CSkinPaintManager(0);
    CXTPPaintManager::SetCustomTheme(pSkin);
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), L"Status bar", WS_OVERLAPPEDWINDOW, 50, 50, 420, 160, nullptr,
                               nullptr));
    CExStatusBar bar;
    ASSERT_TRUE(bar.CreateEx(&frame, 0));
    const UINT indicators[] = {0};
    ASSERT_TRUE(bar.SetIndicators(indicators, 1));
    bar.SetPaneInfo(0, 0, SBPS_NORMAL, 120);
    bar.SetPaneText(0, L"Ready");
    bar.MoveWindow(0, 0, 400, 22);
    CRect client;
    bar.GetClientRect(&client);
    lqtest::MemoryCanvas canvas(client.Width(), client.Height(), RGB(0, 0, 0));
    bar.DrawBar(&canvas.Dc());
    CRect pane;
    bar.GetItemRect(0, &pane);
    // The face behind, the pane's frame in the skin's dark shade, its text in the skin's light menu text.
    EXPECT_EQ(canvas.At(client.right - 2, 1), pSkin->m_clrFace);
    EXPECT_EQ(canvas.At(pane.left, pane.top + pane.Height() / 2), pSkin->m_clrDarkShade);
    int textPixels = 0;
    for (int y = pane.top + 2; y < pane.bottom - 2; ++y)
        for (int x = pane.left + 2; x < pane.right - 2; ++x)
            textPixels += Near(canvas.At(x, y), pSkin->m_clrMenuText, 16) ? 1 : 0;
    EXPECT_GT(textPixels, 10);
    bar.DestroyWindow();
    frame.DestroyWindow();
    CXTPPaintManager::SetTheme(xtpThemeOffice2003);
}

} // namespace
