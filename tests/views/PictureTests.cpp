// The picture holder: pictures from files, memory and resources drawn into a memory DC, icons from ".ico" files,
// and the failures that leave it empty.
#include "views/Picture.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/support/TestSupport.h"
#include "tests/views/ViewsTestIds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lqtest::Narrow;
using lqtest::SourcePath;

std::vector<std::wstring> g_errors;

void CaptureError(LPCWSTR text, LPCWSTR caption)
{
    g_errors.push_back(std::wstring(caption) + L": " + text);
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

const COLORREF kBlue = RGB(0x20, 0x60, 0xE0);
const COLORREF kOrange = RGB(0xE0, 0x60, 0x20);

class PictureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_errors.clear();
        m_previous = CPicture::SetErrorReporter(CaptureError);
    }
    void TearDown() override { CPicture::SetErrorReporter(m_previous); }

    CPicture::ErrorReporter m_previous = nullptr;
};

// The fixture logo: 24 by 12, blue on the left half, orange on the right.
void ExpectLogoDrawn(CPicture& picture, int tolerance)
{
    EXPECT_EQ(picture.m_nWidth, 24);
    EXPECT_EQ(picture.m_nHeight, 12);
    lqtest::MemoryCanvas canvas(24, 12);
    ASSERT_TRUE(picture.Render(canvas.Dc(), RECT{0, 0, 24, 12}));
    EXPECT_PRED3(Near, canvas.At(3, 6), kBlue, tolerance);
    EXPECT_PRED3(Near, canvas.At(20, 6), kOrange, tolerance);
    // Not drawn upside down or mirrored: the top left corner is blue too.
    EXPECT_PRED3(Near, canvas.At(1, 1), kBlue, tolerance);
}

TEST_F(PictureTest, BitmapAndJpegFilesAreLoadedAndDrawn)
{
    for (const wchar_t* name : {L"logo.bmp", L"logo.jpg"}) {
        SCOPED_TRACE(Narrow(name));
        const std::wstring path = SourcePath(std::wstring(L"views/fixtures/") + name);
        CPicture picture;
        ASSERT_TRUE(picture.LoadFromFile(path.c_str()));
        EXPECT_EQ(static_cast<size_t>(picture.m_nSize), lqtest::ReadFileBytes(path).size());
        EXPECT_EQ(picture.m_hIcon, nullptr);
        ExpectLogoDrawn(picture, name[5] == L'j' ? 24 : 0);
    }
    EXPECT_TRUE(g_errors.empty());
}

TEST_F(PictureTest, PicturesComeFromMemoryAndFromResources)
{
    const std::string bytes = lqtest::ReadFileBytes(SourcePath(L"views/fixtures/logo.bmp"));
    CPicture fromMemory;
    ASSERT_TRUE(
        fromMemory.LoadFromBuffer(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    lqtest::MemoryCanvas canvas(24, 12);
    ASSERT_TRUE(fromMemory.Render(canvas.Dc(), RECT{0, 0, 24, 12}));
    EXPECT_EQ(canvas.At(3, 6), kBlue);

    CPicture fromResource;
    ASSERT_TRUE(fromResource.LoadFromResource(IDR_TEST_LOGO_JPEG, L"IMAGE"));
    EXPECT_EQ(fromResource.m_nSize, 343);
    ExpectLogoDrawn(fromResource, 24);
    EXPECT_TRUE(g_errors.empty());

    // A resource that is not there is told, and leaves the holder empty.
    EXPECT_FALSE(fromResource.LoadFromResource(IDR_TEST_LOGO_JPEG + 1, L"IMAGE"));
    EXPECT_EQ(fromResource.m_pPicture, nullptr);
    ASSERT_EQ(g_errors.size(), 1u);
    EXPECT_EQ(g_errors[0], L"CPicture Error: FindResource() Failed\t");
}

TEST_F(PictureTest, AnyPathWithDotIcoIsASixteenPixelIcon)
{
    lqtest::TempFolder folder;
    const std::string icon = lqtest::ReadFileBytes(SourcePath(L"views/fixtures/site.ico"));
    for (const wchar_t* name : {L"site.ico", L"site.ico.bak"}) {
        SCOPED_TRACE(Narrow(name));
        ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(name), icon));
        CPicture picture;
        ASSERT_TRUE(picture.LoadFromFile(folder.File(name).c_str()));
        EXPECT_NE(picture.m_hIcon, nullptr);
        EXPECT_EQ(picture.m_nWidth, 16);
        EXPECT_EQ(picture.m_nHeight, 16);
        lqtest::MemoryCanvas canvas(20, 20);
        ASSERT_TRUE(picture.Render(canvas.Dc(), RECT{2, 2, 40, 40}));
        EXPECT_EQ(canvas.At(10, 10), kOrange);
        EXPECT_EQ(canvas.At(19, 19), RGB(255, 255, 255)); // 16 by 16 from the corner, whatever the rectangle
    }
}

TEST_F(PictureTest, FilesThatAreNoPictureLeaveTheHolderEmptyWithoutAMessage)
{
    lqtest::TempFolder folder;
    // Site icons come from the network: bytes that are no icon, an icon cut short, and a good icon buried in a
    // file far larger than any icon.
    const std::string icon = lqtest::ReadFileBytes(SourcePath(L"views/fixtures/site.ico"));
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"garbage.ico"), "<html>not found</html>"));
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"cut.ico"), icon.substr(0, 30)));
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"huge.ico"), icon + std::string(2 * 1024 * 1024, '\0')));
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"empty.ico"), ""));
    for (const std::wstring& path :
         {folder.File(L"missing.ico"), folder.File(L"missing.jpg"), SourcePath(L"views/fixtures/garbage.jpg"),
          std::wstring(), folder.File(L"garbage.ico"), folder.File(L"cut.ico"), folder.File(L"huge.ico"),
          folder.File(L"empty.ico")}) {
        SCOPED_TRACE(Narrow(path));
        CPicture picture;
        EXPECT_FALSE(picture.LoadFromFile(path.c_str()));
        EXPECT_EQ(picture.m_pPicture, nullptr);
        EXPECT_EQ(picture.m_hIcon, nullptr);
        EXPECT_EQ(picture.m_nWidth, 0);
        lqtest::MemoryCanvas canvas(4, 4);
        EXPECT_FALSE(picture.Render(canvas.Dc(), RECT{0, 0, 4, 4}));
        EXPECT_FALSE(picture.UpdateSize(canvas.Dc()));
    }
    EXPECT_TRUE(g_errors.empty());
}

TEST_F(PictureTest, SizeFollowsTheDevicesResolution)
{
    CPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(SourcePath(L"views/fixtures/logo.bmp").c_str()));
    lqtest::MemoryCanvas canvas(4, 4);
    ASSERT_TRUE(picture.UpdateSize(canvas.Dc()));
    const int dpi = ::GetDeviceCaps(canvas.Dc(), LOGPIXELSX);
    EXPECT_EQ(picture.m_nWidth, ::MulDiv(24, dpi, 96));
    EXPECT_FALSE(picture.UpdateSize(nullptr));
    EXPECT_EQ(picture.m_nWidth, 0);
    EXPECT_FALSE(picture.Render(nullptr, RECT{0, 0, 4, 4}));
}

} // namespace
