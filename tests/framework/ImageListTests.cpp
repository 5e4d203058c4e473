// Image lists: bitmaps added with a mask colour, drawn into a memory DC and read back, replaced, turned into
// icons, and the wrapper's ownership of its list.
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "framework/win/ImageList.h"
#include "framework/win/TempHandleMap.h"
#include "tests/framework/MemoryCanvas.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

using Canvas = lqtest::MemoryCanvas;

// A strip of 16x16 images: each on a magenta background with a 4x4 square of its colour at (4, 4).
void MakeStrip(CBitmap& strip, std::initializer_list<COLORREF> colours)
{
    Canvas canvas(16 * static_cast<int>(colours.size()), 16, kMagenta);
    int x = 0;
    for (COLORREF colour : colours) {
        canvas.Dc().FillSolidRect(x + 4, 4, 4, 4, colour);
        x += 16;
    }
    strip.Attach(canvas.TakeBitmap());
}

TEST(ImageList, MaskedBitmapDrawsOnlyItsOpaquePixels)
{
    CImageList list;
    ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 1));
    CBitmap strip;
    MakeStrip(strip, {kGreen, kBlue});
    EXPECT_EQ(0, list.Add(&strip, kMagenta));
    EXPECT_EQ(2, list.GetImageCount());

    IMAGEINFO info{};
    ASSERT_TRUE(list.GetImageInfo(1, &info));
    EXPECT_EQ(CRect(16, 0, 32, 16), CRect(info.rcImage));
    EXPECT_NE(nullptr, info.hbmMask);

    Canvas canvas(40, 20, kWhite);
    ASSERT_TRUE(list.Draw(&canvas.Dc(), 0, CPoint(2, 2), ILD_TRANSPARENT));
    ASSERT_TRUE(list.Draw(&canvas.Dc(), 1, CPoint(20, 2), ILD_TRANSPARENT));
    struct
    {
        int x, y;
        COLORREF colour;
    } const expected[] = {
        {2, 2, kWhite},   {6, 6, kGreen}, {9, 9, kGreen},  {10, 10, kWhite},
        {17, 17, kWhite}, {24, 6, kBlue}, {20, 2, kWhite}, {35, 17, kWhite},
    };
    for (const auto& point : expected)
        EXPECT_EQ(point.colour, canvas.Dc().GetPixel(point.x, point.y)) << point.x << "," << point.y;

    // With a background colour, a normal draw fills the masked pixels with it.
    EXPECT_EQ(CLR_NONE, list.SetBkColor(kRed));
    EXPECT_EQ(kRed, list.GetBkColor());
    ASSERT_TRUE(list.Draw(&canvas.Dc(), 0, CPoint(2, 2), ILD_NORMAL));
    EXPECT_EQ(kRed, canvas.Dc().GetPixel(2, 2));
    EXPECT_EQ(kGreen, canvas.Dc().GetPixel(6, 6));
}

TEST(ImageList, ReplacedImagesAndExtractedIconsShowTheNewPicture)
{
    CImageList list;
    ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 1));
    CBitmap strip;
    MakeStrip(strip, {kGreen, kBlue});
    ASSERT_EQ(0, list.Add(&strip, kMagenta));

    // Replace with a bitmap and its monochrome mask (white = transparent).
    CBitmap picture;
    MakeStrip(picture, {kRed});
    CBitmap mask;
    {
        Canvas maskCanvas(16, 16, kWhite);
        maskCanvas.Dc().FillSolidRect(0, 0, 8, 16, RGB(0, 0, 0));
        HBITMAP colour = maskCanvas.TakeBitmap();
        CDC source;
        CDC target;
        source.CreateCompatibleDC(nullptr);
        target.CreateCompatibleDC(nullptr);
        ASSERT_TRUE(mask.CreateBitmap(16, 16, 1, 1, nullptr));
        CBitmap* oldSource = source.SelectObject(CBitmap::FromHandle(colour));
        CBitmap* oldTarget = target.SelectObject(&mask);
        target.BitBlt(0, 0, 16, 16, &source, 0, 0, SRCCOPY);
        source.SelectObject(oldSource);
        target.SelectObject(oldTarget);
        DeleteObject(colour);
    }
    ASSERT_TRUE(list.Replace(1, &picture, &mask));
    EXPECT_EQ(2, list.GetImageCount());

    Canvas canvas(20, 20, kWhite);
    list.Draw(&canvas.Dc(), 1, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(kRed, canvas.Dc().GetPixel(5, 5));
    EXPECT_EQ(kMagenta, canvas.Dc().GetPixel(1, 1)); // opaque half keeps the picture's own background
    EXPECT_EQ(kWhite, canvas.Dc().GetPixel(12, 12)); // transparent half

    HICON icon = list.ExtractIcon(0);
    ASSERT_NE(nullptr, icon);
    ICONINFO iconInfo{};
    ASSERT_TRUE(GetIconInfo(icon, &iconInfo));
    BITMAP iconBitmap{};
    GetObjectW(iconInfo.hbmColor, sizeof(iconBitmap), &iconBitmap);
    EXPECT_EQ(16, iconBitmap.bmWidth);
    DeleteObject(iconInfo.hbmColor);
    DeleteObject(iconInfo.hbmMask);

    Canvas iconCanvas(20, 20, kWhite);
    ASSERT_TRUE(iconCanvas.Dc().DrawState(CPoint(0, 0), CSize(16, 16), icon, DSS_NORMAL));
    EXPECT_EQ(kGreen, iconCanvas.Dc().GetPixel(5, 5));
    EXPECT_EQ(kWhite, iconCanvas.Dc().GetPixel(1, 1));

    // The icon replaces image 1 and is added as a third image.
    EXPECT_EQ(1, list.Replace(1, icon));
    EXPECT_EQ(2, list.Add(icon));
    EXPECT_EQ(3, list.GetImageCount());
    DestroyIcon(icon);
    Canvas after(20, 20, kWhite);
    list.Draw(&after.Dc(), 2, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(kGreen, after.Dc().GetPixel(5, 5));
    EXPECT_EQ(kWhite, after.Dc().GetPixel(1, 1));

    EXPECT_EQ(nullptr, list.ExtractIcon(7));
}

TEST(ImageList, ResourceStripSplitsIntoMaskedImages)
{
    // Bitmap 61001 of the test resources: two 16x16 images on magenta, a green and a blue square at (4, 4).
    CBitmap strip;
    ASSERT_TRUE(strip.LoadBitmap(61001));
    BITMAP info{};
    strip.GetBitmap(&info);
    EXPECT_EQ(32, info.bmWidth);
    EXPECT_EQ(16, info.bmHeight);

    CImageList list;
    ASSERT_TRUE(list.Create(61001, 16, 1, kMagenta));
    ASSERT_EQ(2, list.GetImageCount());
    Canvas canvas(40, 20, kWhite);
    list.Draw(&canvas.Dc(), 1, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(kBlue, canvas.Dc().GetPixel(4, 4));
    EXPECT_EQ(kWhite, canvas.Dc().GetPixel(0, 0));
    EXPECT_EQ(kWhite, canvas.Dc().GetPixel(8, 8));

    CImageList missing;
    EXPECT_FALSE(missing.Create(0x7FF2, 16, 1, kMagenta));
}

TEST(ImageList, CountsGrowShrinkAndCopiesStayApart)
{
    CImageList list;
    ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 4));
    CBitmap strip;
    MakeStrip(strip, {kGreen, kBlue, kRed});
    ASSERT_EQ(0, list.Add(&strip, kMagenta));

    CImageList copy;
    ASSERT_TRUE(copy.Create(&list));
    ASSERT_TRUE(list.Remove(0));
    EXPECT_EQ(2, list.GetImageCount());
    EXPECT_EQ(3, copy.GetImageCount());
    Canvas canvas(20, 20, kWhite);
    list.Draw(&canvas.Dc(), 0, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(kBlue, canvas.Dc().GetPixel(5, 5)); // the others moved up

    ASSERT_TRUE(list.SetImageCount(5));
    EXPECT_EQ(5, list.GetImageCount());
    ASSERT_TRUE(list.Remove(-1));
    EXPECT_EQ(0, list.GetImageCount());
    EXPECT_FALSE(list.Remove(3));
}

TEST(ImageList, WrapperOwnsItsListAndTemporariesDoNot)
{
    HIMAGELIST handle = nullptr;
    {
        CImageList list;
        ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24, 1, 1));
        handle = list;
        EXPECT_EQ(&list, CImageList::FromHandle(handle));
        EXPECT_EQ(&list, CImageList::FromHandlePermanent(handle));
        EXPECT_FALSE(list.Create(8, 8, ILC_COLOR24, 1, 1)); // already holds one
        handle = list.Detach();
        EXPECT_EQ(nullptr, CImageList::FromHandlePermanent(handle));
        CImageList* temporary = CImageList::FromHandle(handle);
        ASSERT_NE(nullptr, temporary);
        EXPECT_NE(&list, temporary);
        EXPECT_EQ(handle, temporary->GetSafeHandle());
        EXPECT_EQ(0, temporary->GetImageCount());
        AfxDeleteTempGraphicsMaps();
    }
    // Neither the detached owner nor the freed temporary destroyed the list.
    int cx = 0;
    int cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(handle, &cx, &cy));
    EXPECT_EQ(16, cx);

    CImageList owner;
    ASSERT_TRUE(owner.Attach(handle));
    EXPECT_TRUE(owner.DeleteImageList());
    EXPECT_EQ(nullptr, owner.GetSafeHandle());
    EXPECT_FALSE(owner.DeleteImageList());

    CImageList* none = nullptr;
    EXPECT_EQ(nullptr, none->GetSafeHandle());
}

} // namespace
