// The image manager: variant pixels, strip and toolbar loading, nearest widths, the archive form, the clipboard,
// and bad input that must leave the manager as it was.
#include "toolkit/base/XTPImageManager.h"

#include "framework/core/File.h"
#include "support/TestSupport.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/toolkit/ImageManagerTestIds.h"
#include "toolkit/base/XTPColorManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// The Windows path of a file in the fixtures folder beside this test.
std::wstring FixturePath(const std::wstring& name)
{
    return lqtest::SourcePath(L"toolkit/fixtures/" + name);
}

DWORD Argb(int a, int r, int g, int b)
{
    return (DWORD(a) << 24) | (DWORD(r) << 16) | (DWORD(g) << 8) | DWORD(b);
}

// A known 16 x 16 image: row y holds colour kRowColours[y % count] at full alpha, except a transparent corner.
const DWORD kRowColours[] = {Argb(255, 0, 0, 0),   Argb(255, 255, 255, 255), Argb(255, 255, 0, 0),
                             Argb(255, 0, 255, 0), Argb(255, 0, 0, 255),     Argb(128, 10, 100, 200)};
const int kRowCount = sizeof(kRowColours) / sizeof(kRowColours[0]);

std::vector<DWORD> KnownPixels()
{
    std::vector<DWORD> pixels(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels[y * 16 + x] = kRowColours[y % kRowCount];
    return pixels;
}

std::vector<DWORD> BitsOf(HBITMAP hBitmap)
{
    CSize size;
    std::vector<DWORD> pixels;
    EXPECT_TRUE(CXTPImageManager::GetBitmapBits32(hBitmap, size, pixels));
    return pixels;
}

// A masked icon of the known image: opaque rows (alpha 255) drawn, the last row kind transparent.
HICON KnownIcon()
{
    std::vector<DWORD> pixels = KnownPixels();
    for (int i = 0; i < 256; ++i)
        pixels[i] = (i / 16) % kRowCount == kRowCount - 1 ? 0 : pixels[i] & 0xFFFFFF; // black under the mask
    HBITMAP hColour = CXTPImageManager::CreateBitmap32(CSize(16, 16), pixels.data());
    std::vector<BYTE> maskBits(2 * 2 * 16, 0); // 1 bpp, rows padded to 16 bits
    for (int y = 0; y < 16; ++y) {
        if (y % kRowCount == kRowCount - 1) {
            maskBits[y * 2] = 0xFF;
            maskBits[y * 2 + 1] = 0xFF;
        }
    }
    HBITMAP hMask = CreateBitmap(16, 16, 1, 1, maskBits.data());
    ICONINFO ii = {TRUE, 0, 0, hMask, hColour};
    HICON hIcon = CreateIconIndirect(&ii);
    DeleteObject(hColour);
    DeleteObject(hMask);
    return hIcon;
}

DWORD ExpectedFaded(DWORD px)
{
    auto fade = [](int c) { return int(0.7 * c + 76.5); };
    return Argb(px >> 24, fade((px >> 16) & 0xFF), fade((px >> 8) & 0xFF), fade(px & 0xFF));
}

int ExpectedGrey(DWORD px)
{
    const double lum = 0.299 * ((px >> 16) & 0xFF) + 0.587 * ((px >> 8) & 0xFF) + 0.114 * (px & 0xFF);
    return int(255 * std::pow(lum / 255, 0.5));
}

COLORREF ExpectedShadow()
{
    const COLORREF clr = XTPColorManager()->GetColor(31);
    return RGB(int(GetRValue(clr) * 0.75), int(GetGValue(clr) * 0.75), int(GetBValue(clr) * 0.75));
}

TEST(XTPImageManagerVariants, AlphaVariantsFollowThePixelFormulas)
{
    const std::vector<DWORD> known = KnownPixels();
    HBITMAP hBitmap = CXTPImageManager::CreateBitmap32(CSize(16, 16), known.data());
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(hBitmap), 100));
    DeleteObject(hBitmap);
    CXTPImageManagerIcon* pIcon = manager.GetImage(100, 16);
    ASSERT_NE(nullptr, pIcon);
    ASSERT_TRUE(pIcon->IsAlpha());

    const std::vector<DWORD> faded = BitsOf(pIcon->GetFadedIcon().GetBitmap());
    const std::vector<DWORD> disabled = BitsOf(pIcon->GetDisabledIcon().GetBitmap());
    const std::vector<DWORD> shadow = BitsOf(pIcon->GetShadowIcon().GetBitmap());
    ASSERT_EQ(256u, faded.size());
    const COLORREF s = ExpectedShadow();
    for (int y = 0; y < 16; ++y) {
        const DWORD px = known[y * 16];
        const DWORD a = px >> 24;
        EXPECT_EQ(ExpectedFaded(px), faded[y * 16 + 5]) << "row " << y;
        const int g = ExpectedGrey(px);
        EXPECT_EQ(Argb(a, g, g, g), disabled[y * 16 + 5]) << "row " << y;
        EXPECT_EQ(Argb(a, GetRValue(s), GetGValue(s), GetBValue(s)), shadow[y * 16 + 5]) << "row " << y;
    }
    // The worked values: black fades to 76, white stays; red, green and blue grey to 139, 195 and 86.
    EXPECT_EQ(Argb(255, 76, 76, 76), faded[0]);
    EXPECT_EQ(Argb(255, 255, 255, 255), faded[16]);
    EXPECT_EQ(Argb(255, 139, 139, 139), disabled[2 * 16]);
    EXPECT_EQ(Argb(255, 195, 195, 195), disabled[3 * 16]);
    EXPECT_EQ(Argb(255, 86, 86, 86), disabled[4 * 16]);
    // Variants are made once and made again after a refresh.
    EXPECT_EQ(pIcon->GetFadedIcon().GetBitmap(), pIcon->GetFadedIcon().GetBitmap());
    pIcon->Refresh();
    EXPECT_EQ(faded, BitsOf(pIcon->GetFadedIcon().GetBitmap()));
}

TEST(XTPImageManagerVariants, IconVariantsDrawnIntoAMemoryDC)
{
    CXTPImageManager manager;
    CXTPImageManagerIconHandle hIcon;
    hIcon.AttachIcon(KnownIcon());
    ASSERT_TRUE(manager.SetIcon(hIcon, 200));
    CXTPImageManagerIcon* pIcon = manager.GetImage(200, 16);
    ASSERT_NE(nullptr, pIcon);
    ASSERT_FALSE(pIcon->IsAlpha());
    const std::vector<DWORD> known = KnownPixels();
    const COLORREF background = RGB(1, 2, 3);
    const COLORREF s = ExpectedShadow();

    struct Variant
    {
        const char* name;
        CXTPImageManagerIconHandle& handle;
        COLORREF (*expected)(DWORD px, COLORREF shadow);
    } variants[] = {
        {"normal", pIcon->GetIcon(),
         [](DWORD px, COLORREF) { return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF); }},
        {"faded", pIcon->GetFadedIcon(),
         [](DWORD px, COLORREF) {
             const DWORD f = ExpectedFaded(px);
             return RGB((f >> 16) & 0xFF, (f >> 8) & 0xFF, f & 0xFF);
         }},
        {"disabled", pIcon->GetDisabledIcon(),
         [](DWORD px, COLORREF) {
             const int g = ExpectedGrey(px);
             return RGB(g, g, g);
         }},
        {"shadow", pIcon->GetShadowIcon(), [](DWORD, COLORREF shadow) { return shadow; }},
    };
    for (const Variant& v : variants) {
        ASSERT_FALSE(v.handle.IsEmpty()) << v.name;
        lqtest::MemoryCanvas canvas(64, 64, background);
        pIcon->Draw(&canvas.Dc(), CPoint(4, 4), v.handle, 16, 16);
        for (int y = 0; y < 16; ++y) {
            const bool bTransparent = y % kRowCount == kRowCount - 1;
            const COLORREF expected = bTransparent ? background : v.expected(known[y * 16], s);
            EXPECT_EQ(expected, canvas.At(4 + 7, 4 + y)) << v.name << " row " << y;
        }
        EXPECT_EQ(background, canvas.At(3, 3)) << v.name;
        EXPECT_EQ(background, canvas.At(20, 20)) << v.name;
    }
}

TEST(XTPImageManagerVariants, AlphaImageIsBlendedOverTheBackground)
{
    std::vector<DWORD> pixels(16 * 16, Argb(255, 200, 0, 0));
    for (int i = 0; i < 16; ++i)
        pixels[i] = 0; // a transparent first row
    HBITMAP hBitmap = CXTPImageManager::CreateBitmap32(CSize(16, 16), pixels.data());
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(hBitmap), 5));
    DeleteObject(hBitmap);
    ASSERT_TRUE(manager.IsAlphaBlendAvailable());
    lqtest::MemoryCanvas canvas(64, 64, RGB(0, 0, 255));
    CXTPImageManagerIcon* pIcon = manager.GetImage(5);
    pIcon->Draw(&canvas.Dc(), CPoint(0, 0));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(5, 0));
    EXPECT_EQ(RGB(200, 0, 0), canvas.At(5, 5));
    lqtest::MemoryCanvas doubled(64, 64, RGB(0, 0, 255));
    pIcon->Draw(&doubled.Dc(), CPoint(0, 0), pIcon->GetIcon(), 32, 32);
    EXPECT_EQ(RGB(200, 0, 0), doubled.At(30, 30));
}

TEST(XTPImageManagerVariants, MonoAndMirroredDrawing)
{
    // An icon whose left half is opaque red and right half transparent.
    std::vector<DWORD> pixels(256, 0);
    std::vector<BYTE> maskBits(2 * 16, 0);
    for (int y = 0; y < 16; ++y) {
        maskBits[y * 2 + 1] = 0xFF;
        for (int x = 0; x < 8; ++x)
            pixels[y * 16 + x] = 0xFF0000;
    }
    HBITMAP hColour = CXTPImageManager::CreateBitmap32(CSize(16, 16), pixels.data());
    HBITMAP hMask = CreateBitmap(16, 16, 1, 1, maskBits.data());
    ICONINFO ii = {TRUE, 0, 0, hMask, hColour};
    CXTPImageManagerIconHandle hIcon;
    hIcon.AttachIcon(CreateIconIndirect(&ii));
    DeleteObject(hColour);
    DeleteObject(hMask);
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIcon(hIcon, 60));
    CXTPImageManagerIcon* pIcon = manager.GetImage(60);

    lqtest::MemoryCanvas mono(64, 64, RGB(255, 255, 255));
    pIcon->DrawMono(&mono.Dc(), CPoint(0, 0), pIcon->GetIcon(), RGB(0, 128, 0));
    EXPECT_EQ(RGB(0, 128, 0), mono.At(3, 8));
    EXPECT_EQ(RGB(255, 255, 255), mono.At(12, 8));

    struct Case
    {
        BOOL bReverted;
        int xRed, xClear;
    } cases[] = {{FALSE, 3, 12}, {TRUE, 12, 3}};
    for (const Case& c : cases) {
        manager.m_bDrawReverted = c.bReverted;
        lqtest::MemoryCanvas canvas(64, 64, RGB(255, 255, 255));
        pIcon->Draw(&canvas.Dc(), CPoint(0, 0));
        EXPECT_EQ(RGB(255, 0, 0), canvas.At(c.xRed, 8)) << c.bReverted;
        EXPECT_EQ(RGB(255, 255, 255), canvas.At(c.xClear, 8)) << c.bReverted;
        lqtest::MemoryCanvas monoMirrored(64, 64, RGB(255, 255, 255));
        pIcon->DrawMono(&monoMirrored.Dc(), CPoint(0, 0), pIcon->GetIcon(), RGB(0, 0, 160));
        EXPECT_EQ(RGB(0, 0, 160), monoMirrored.At(c.xRed, 8)) << c.bReverted;
        EXPECT_EQ(RGB(255, 255, 255), monoMirrored.At(c.xClear, 8)) << c.bReverted;
    }
}

const UINT kTenIds[] = {11, 12, 13, 14, 15, 16, 17, 18, 19, 20};

// Image i of the test strips has a square of RGB(i * 25, 250 - i * 25, 40 + i * 10) in its middle.
COLORREF StripColour(int i)
{
    return RGB(i * 25, 250 - i * 25, 40 + i * 10);
}

COLORREF CentreOf(CXTPImageManagerIcon* pIcon)
{
    lqtest::MemoryCanvas canvas(64, 64, RGB(255, 255, 255));
    pIcon->Draw(&canvas.Dc(), CPoint(0, 0), pIcon->GetIcon(), 16, 16);
    return canvas.At(8, 8);
}

TEST(XTPImageManagerLoading, AlphaStripOf160IsCutInTenAnd150IsRefused)
{
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIconsFromBitmap(IDB_IM_ALPHA160, kTenIds, 10, 16, 16));
    EXPECT_EQ(10, manager.GetImages()->GetCount());
    for (int i = 0; i < 10; ++i) {
        CXTPImageManagerIcon* pIcon = manager.GetImage(kTenIds[i], 16);
        ASSERT_NE(nullptr, pIcon) << i;
        EXPECT_TRUE(pIcon->IsAlpha());
        EXPECT_EQ(16, pIcon->GetWidth());
        EXPECT_EQ(16, pIcon->GetHeight());
        EXPECT_EQ(StripColour(i), CentreOf(pIcon)) << i;
    }

    CXTPImageManager refusing;
    EXPECT_FALSE(refusing.SetIconsFromBitmap(IDB_IM_ALPHA150, kTenIds, 10, 16, 16));
    EXPECT_EQ(0, refusing.GetImages()->GetCount());
}

TEST(XTPImageManagerLoading, ColourStripIsMaskedByItsCornerColour)
{
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIconsFromBitmap(IDB_IM_COLOUR160, kTenIds, 10, 16, 16));
    for (int i = 0; i < 10; ++i) {
        CXTPImageManagerIcon* pIcon = manager.GetImage(kTenIds[i], 16);
        ASSERT_NE(nullptr, pIcon);
        EXPECT_FALSE(pIcon->IsAlpha());
        lqtest::MemoryCanvas canvas(64, 64, RGB(255, 255, 255));
        pIcon->Draw(&canvas.Dc(), CPoint(0, 0));
        EXPECT_EQ(StripColour(i), canvas.At(8, 8)) << i;
        EXPECT_EQ(RGB(255, 255, 255), canvas.At(0, 0)) << i;
    }
}

TEST(XTPImageManagerLoading, SeparatorIdsTakeNoImageOnlyWhenTheCountsDiffer)
{
    struct Case
    {
        std::vector<UINT> ids;
        std::vector<std::pair<UINT, int>> expected; // id, image index
    } cases[] = {
        {{31, 32, 0, 33, 34, 35, 0, 36, 37, 38, 39, 40}, {{31, 0}, {32, 1}, {33, 2}, {36, 5}, {40, 9}}},
        {{31, 32, 0, 33, 34, 35, 36, 37, 38, 39}, {{31, 0}, {32, 1}, {33, 3}, {39, 9}}},
    };
    for (const Case& c : cases) {
        CXTPImageManager manager;
        ASSERT_TRUE(manager.SetIconsFromBitmap(IDB_IM_ALPHA160, c.ids.data(), int(c.ids.size()), 16, 16));
        EXPECT_EQ(nullptr, manager.GetIconSet(0));
        for (const auto& [id, image] : c.expected) {
            CXTPImageManagerIcon* pIcon = manager.GetImage(id, 16);
            ASSERT_NE(nullptr, pIcon) << id;
            EXPECT_EQ(StripColour(image), CentreOf(pIcon)) << id;
        }
    }
}

TEST(XTPImageManagerLoading, ToolbarResourceGivesItsIdsTheirImages)
{
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIconsFromToolBar(IDR_IM_TOOLBAR));
    EXPECT_EQ(10, manager.GetImages()->GetCount());
    const UINT ids[] = {501, 502, 503, 504, 505, 506, 507, 508, 509, 510};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(StripColour(i), CentreOf(manager.GetImage(ids[i], 16))) << ids[i];
}

TEST(XTPImageManagerLoading, IconFilesGiveTheir32BitImageOfTheWidth)
{
    CXTPImageManager manager;
    const std::wstring path = FixturePath(L"im-icon.ico");
    ASSERT_TRUE(manager.SetIconFromIconFile(path.c_str(), 70, 16));
    CXTPImageManagerIcon* pIcon = manager.GetImage(70, 16);
    ASSERT_NE(nullptr, pIcon);
    EXPECT_TRUE(pIcon->IsAlpha());
    const std::vector<DWORD> bits = BitsOf(pIcon->GetIcon().GetBitmap());
    EXPECT_EQ(Argb(255, 200, 10, 20), bits[3 * 16 + 2]);
    EXPECT_EQ(0u, bits[3 * 16 + 12] >> 24);

    HBITMAP hWide = CXTPImageManager::LoadAlphaIconFile(path.c_str(), 24);
    ASSERT_NE(nullptr, hWide);
    BITMAP bm = {};
    GetObjectW(hWide, sizeof(bm), &bm);
    EXPECT_EQ(24, bm.bmWidth);
    DeleteObject(hWide);
    EXPECT_EQ(nullptr, CXTPImageManager::LoadAlphaIconFile(path.c_str(), 48));
}

TEST(XTPImageManagerLoading, ImageListWithoutIdsUsesTheIndexes)
{
    HIMAGELIST hList = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 2);
    HICON hIcon = KnownIcon();
    ImageList_AddIcon(hList, hIcon);
    ImageList_AddIcon(hList, hIcon);
    DestroyIcon(hIcon);
    CXTPImageManager manager;
    EXPECT_TRUE(manager.SetIconsFromImageList(hList, nullptr, 0));
    ImageList_Destroy(hList);
    EXPECT_NE(nullptr, manager.GetIconSet(0));
    EXPECT_NE(nullptr, manager.GetIconSet(1));
    EXPECT_EQ(2, manager.GetImages()->GetCount());
}

TEST(XTPImageManagerLoading, BadInputKeepsWhatTheManagerHad)
{
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIconsFromBitmap(IDB_IM_ALPHA160, kTenIds, 10, 16, 16));
    const UINT other[] = {90};
    const std::wstring bad = FixturePath(L"im-bad.ico");
    const std::wstring missing = FixturePath(L"no-such.ico");
    EXPECT_FALSE(manager.SetIconsFromBitmap(29999, other, 1, 16, 16));          // no such resource
    EXPECT_FALSE(manager.SetIconsFromBitmap(IDB_IM_SHORT32, other, 1, 16, 16)); // pixels cut short
    EXPECT_FALSE(manager.SetIconsFromBitmap(IDB_IM_ALPHA160, other, 1, 0, 16)); // zero width
    EXPECT_FALSE(manager.SetIconsFromToolBar(IDR_IM_BADTOOLBAR));
    EXPECT_FALSE(manager.SetIconsFromToolBar(29999));
    EXPECT_FALSE(manager.SetIconFromIconFile(bad.c_str(), 90, 16));
    EXPECT_FALSE(manager.SetIconFromIconFile(missing.c_str(), 90, 16));
    EXPECT_FALSE(manager.SetIcon(CXTPImageManagerIconHandle(), 90));
    EXPECT_FALSE(manager.SetIcon(CXTPImageManagerIconHandle(KnownIcon()), 91, 0, 0, CXTPImageManager::xtpImageHot));
    EXPECT_EQ(nullptr, CXTPImageManager::LoadAlphaBitmapResource(IDB_IM_SHORT32));
    EXPECT_EQ(nullptr, CXTPImageManager::LoadAlphaIconFile(bad.c_str(), 0));
    EXPECT_EQ(10, manager.GetImages()->GetCount());
    EXPECT_EQ(nullptr, manager.GetIconSet(90));
}

TEST(XTPImageManagerWidths, NearestWidthIsScaledForIconsAndKeptForAlphaImages)
{
    CXTPImageManager manager;
    CXTPImageManagerIconHandle hIcon;
    hIcon.AttachIcon(KnownIcon());
    ASSERT_TRUE(manager.SetIcon(hIcon, 300));
    CXTPImageManagerIcon* pScaled = manager.GetImage(300, 24);
    ASSERT_NE(nullptr, pScaled);
    EXPECT_TRUE(pScaled->IsScaled());
    EXPECT_EQ(24, pScaled->GetWidth());
    EXPECT_EQ(24, pScaled->GetHeight());
    EXPECT_EQ(CSize(24, 24), pScaled->GetIcon().GetExtent());
    EXPECT_EQ(pScaled, manager.GetImage(300, 24));
    EXPECT_EQ(2, manager.GetIconSet(300)->GetIcons()->GetCount());
    manager.RefreshAll();
    EXPECT_EQ(1, manager.GetIconSet(300)->GetIcons()->GetCount());
    EXPECT_EQ(16, manager.GetImage(300, 0)->GetWidth());

    ASSERT_TRUE(manager.SetIconsFromBitmap(IDB_IM_ALPHA160, kTenIds, 10, 16, 16));
    CXTPImageManagerIcon* pAlpha = manager.GetImage(kTenIds[0], 24);
    ASSERT_NE(nullptr, pAlpha);
    EXPECT_EQ(16, pAlpha->GetWidth());
    EXPECT_FALSE(pAlpha->IsScaled());
    EXPECT_EQ(nullptr, manager.GetImage(12345, 16));
}

TEST(XTPImageManagerWidths, NearestOfSeveralWidths)
{
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIconsFromBitmap(IDB_IM_ALPHA160, kTenIds, 1, 16, 16));
    HBITMAP hBig = CXTPImageManager::LoadAlphaIconFile(FixturePath(L"im-icon.ico").c_str(), 24);
    ASSERT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(hBig), kTenIds[0]));
    DeleteObject(hBig);
    struct Case
    {
        int asked, got;
    } cases[] = {{16, 16}, {24, 24}, {17, 16}, {23, 24}, {100, 24}, {1, 16}};
    for (const Case& c : cases)
        EXPECT_EQ(c.got, manager.GetImage(kTenIds[0], c.asked)->GetWidth()) << c.asked;
}

TEST(XTPImageManagerCustom, CustomIdsStartAfter0x10AAA)
{
    CXTPImageManager manager;
    CXTPImageManagerIconHandle hIcon;
    hIcon.AttachIcon(KnownIcon());
    EXPECT_EQ(0x10AABu, manager.AddCustomIcon(hIcon));
    EXPECT_EQ(0x10AACu, manager.AddCustomIcon(hIcon));
    EXPECT_EQ(0u, manager.AddCustomIcon(CXTPImageManagerIconHandle()));
    EXPECT_EQ(0x10AADu, manager.AddCustomIcon(hIcon));
}

// Fills a manager with an icon (with hot and disabled images) and an alpha image.
void FillForArchive(CXTPImageManager& manager)
{
    CXTPImageManagerIconHandle hIcon;
    hIcon.AttachIcon(KnownIcon());
    ASSERT_TRUE(manager.SetIcon(hIcon, 400));
    std::vector<DWORD> pixels = KnownPixels();
    HBITMAP hRed =
        CXTPImageManager::CreateBitmap32(CSize(16, 16), std::vector<DWORD>(256, Argb(255, 255, 0, 0)).data());
    ASSERT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(hRed), 400, 0, 0, CXTPImageManager::xtpImageHot));
    DeleteObject(hRed);
    HBITMAP hAlpha = CXTPImageManager::CreateBitmap32(CSize(16, 16), pixels.data());
    ASSERT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(hAlpha), 0x20000));
    DeleteObject(hAlpha);
}

std::vector<COLORREF> Render(CXTPImageManagerIcon* pIcon, CXTPImageManagerIconHandle& hImage)
{
    lqtest::MemoryCanvas canvas(16, 16, RGB(9, 9, 9));
    pIcon->Draw(&canvas.Dc(), CPoint(0, 0), hImage, 16, 16);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels.push_back(canvas.At(x, y));
    return pixels;
}

void ExpectSameImages(CXTPImageManager& expected, CXTPImageManager& actual)
{
    ASSERT_EQ(expected.GetImages()->GetCount(), actual.GetImages()->GetCount());
    for (UINT id : {400u, 0x20000u}) {
        CXTPImageManagerIcon* pA = expected.GetImage(id, 16);
        CXTPImageManagerIcon* pB = actual.GetImage(id, 16);
        ASSERT_NE(nullptr, pB) << id;
        EXPECT_EQ(pA->IsAlpha(), pB->IsAlpha()) << id;
        EXPECT_EQ(pA->GetHeight(), pB->GetHeight()) << id;
        EXPECT_EQ(Render(pA, pA->GetIcon()), Render(pB, pB->GetIcon())) << id;
        EXPECT_EQ(Render(pA, pA->GetHotIcon()), Render(pB, pB->GetHotIcon())) << id;
        if (pA->IsAlpha()) {
            EXPECT_EQ(BitsOf(pA->GetIcon().GetBitmap()), BitsOf(pB->GetIcon().GetBitmap()));
        }
    }
}

std::string Store(CXTPImageManager& manager)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        manager.Serialize(ar);
        ar.Close();
    }
    const UINT length = UINT(file.GetLength());
    std::string bytes(length, '\0');
    file.SeekToBegin();
    file.Read(bytes.data(), length);
    return bytes;
}

// Loads bytes into the manager; the archive exception's cause, or -1 when it loaded.
int Load(CXTPImageManager& manager, std::string bytes)
{
    CMemFile file(reinterpret_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
    try {
        CArchive ar(&file, CArchive::load);
        manager.Serialize(ar);
        return -1;
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    } catch (CException* e) {
        e->Delete();
        return 1000;
    }
}

TEST(XTPImageManagerArchive, RoundTripGivesTheSameImages)
{
    CXTPImageManager source;
    FillForArchive(source);
    const std::string bytes = Store(source);
    // A count of two sets, then the first set's id and its class name as a UTF-16 string.
    ASSERT_GT(bytes.size(), 60u);
    EXPECT_EQ(2, bytes[0]);
    EXPECT_EQ(0, bytes[1]);
    const std::string marker = bytes.substr(6, 4);
    EXPECT_EQ(std::string("\xFF\xFE\xFF\x15", 4), marker);

    CXTPImageManager target;
    EXPECT_EQ(-1, Load(target, bytes));
    ExpectSameImages(source, target);
    // The largest id read raises the custom ids past it.
    CXTPImageManagerIconHandle hIcon;
    hIcon.AttachIcon(KnownIcon());
    EXPECT_EQ(0x20001u, target.AddCustomIcon(hIcon));
    // Storing again gives the same bytes.
    target.RemoveAll();
    EXPECT_EQ(-1, Load(target, bytes));
    EXPECT_EQ(bytes, Store(target));
}

TEST(XTPImageManagerArchive, BadArchivesLeaveTheManagerAsItWas)
{
    CXTPImageManager source;
    FillForArchive(source);
    const std::string good = Store(source);
    std::string wrongClass = good;
    wrongClass[12] = 'Y'; // inside "CXTPImageManagerIcons"
    struct Case
    {
        const char* name;
        std::string bytes;
        int cause;
    } cases[] = {
        {"wrong class", wrongClass, CArchiveException::badClass},
        {"cut short", good.substr(0, good.size() / 2), CArchiveException::endOfFile},
        {"empty", std::string(), CArchiveException::endOfFile},
    };
    for (const Case& c : cases) {
        CXTPImageManager target;
        FillForArchive(target);
        EXPECT_EQ(c.cause, Load(target, c.bytes)) << c.name;
        ExpectSameImages(source, target);
    }
}

TEST(XTPImageManagerClipboard, CopyThenPasteGivesAnIdenticalIconSet)
{
    CXTPImageManager manager;
    FillForArchive(manager);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    EXPECT_TRUE(manager.CopyImage(400));
    EXPECT_FALSE(manager.CopyImage(401));
    CloseClipboard();

    IDataObject* pData = nullptr;
    ASSERT_EQ(S_OK, OleGetClipboard(&pData));
    const UINT id = manager.PasteImage(pData);
    pData->Release();
    EXPECT_EQ(0x10AABu, id);
    CXTPImageManagerIcon* pOriginal = manager.GetImage(400, 16);
    CXTPImageManagerIcon* pPasted = manager.GetImage(id, 16);
    ASSERT_NE(nullptr, pPasted);
    EXPECT_EQ(Render(pOriginal, pOriginal->GetIcon()), Render(pPasted, pPasted->GetIcon()));
    EXPECT_EQ(Render(pOriginal, pOriginal->GetHotIcon()), Render(pPasted, pPasted->GetHotIcon()));
}

TEST(XTPImageManagerClipboard, PastingAnotherFormatAddsNothing)
{
    CXTPImageManager manager;
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL hText = GlobalAlloc(GMEM_MOVEABLE, 8);
    memcpy(GlobalLock(hText), L"abc", 8);
    GlobalUnlock(hText);
    SetClipboardData(CF_UNICODETEXT, hText);
    CloseClipboard();
    IDataObject* pData = nullptr;
    ASSERT_EQ(S_OK, OleGetClipboard(&pData));
    EXPECT_EQ(0u, manager.PasteImage(pData));
    pData->Release();
    EXPECT_EQ(0, manager.GetImages()->GetCount());
    EXPECT_EQ(0u, manager.PasteImage(nullptr));
}

TEST(XTPImageManagerHandle, ReferencesOwnOnlyWhatTheyWereGiven)
{
    HICON hIcon = KnownIcon();
    {
        CXTPImageManagerIconHandle referring(hIcon);
        CXTPImageManagerIconHandle copy(referring);
        EXPECT_EQ(hIcon, copy.GetIcon());
        EXPECT_EQ(CSize(16, 16), copy.GetExtent());
    }
    ICONINFO ii = {};
    ASSERT_TRUE(GetIconInfo(hIcon, &ii)); // still alive
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    {
        CXTPImageManagerIconHandle owning;
        owning.AttachIcon(hIcon);
    }
    EXPECT_FALSE(GetIconInfo(hIcon, &ii));
    EXPECT_EQ(CSize(0, 0), CXTPImageManagerIconHandle().GetExtent());
    EXPECT_TRUE(CXTPImageManagerIconHandle().IsEmpty());
}

} // namespace
