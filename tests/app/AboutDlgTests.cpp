// The About box in the maker's and the branded edition: texts filled from the branding, the links' targets, the
// statics the branded edition hides, and the logo from the data folder or the built-in one.
#include "app/AboutDlg.h"
#include "feeds/EngineContext.h"
#include "feeds/MakerAddresses.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CString ItemText(CWnd& dialog, int nID)
{
    CString text;
    if (CWnd* item = dialog.GetDlgItem(nID))
        item->GetWindowText(text);
    return text;
}

bool ItemVisible(CWnd& dialog, int nID)
{
    CWnd* item = dialog.GetDlgItem(nID);
    return item && (item->GetStyle() & WS_VISIBLE);
}

class AboutDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        lstrcpynW(m_settings.szCaption, L"Harbour Reader", 100);
        lstrcpynW(m_settings.szBrandName, L"Harbour Media", 50);
        lstrcpynW(m_settings.szWebSite, L"http://harbour.example/", 100);
        lstrcpynW(m_settings.szEmail, L"news@harbour.example", 50);
    }

    CReaderSettings m_settings;
    lqtest::TempFolder m_data;
};

TEST_F(AboutDlgTest, TheMakersEditionNamesTheBrandInItsTexts)
{
    CAboutDlg dialog(m_settings, m_data.Path().c_str(), FALSE);
    ASSERT_TRUE(dialog.Create(IDD_ABOUTBOX));
    CString title;
    dialog.GetWindowText(title);
    EXPECT_STREQ(title.GetString(), L"About Harbour Reader");
    EXPECT_STREQ(ItemText(dialog, IDC_ABOUT_WEB_SITE).GetString(), L"http://harbour.example/");
    EXPECT_STREQ(dialog.m_linkWebSite.GetURL().GetString(), L"http://harbour.example/");
    EXPECT_STREQ(dialog.m_linkEmail.GetURL().GetString(), L"mailto:news@harbour.example");
    EXPECT_NE(ItemText(dialog, IDC_ABOUT_READS).Find(L"Harbour Media reads"), -1);
    EXPECT_STREQ(ItemText(dialog, IDC_ABOUT_THANKS).GetString(), L"Thank you for using Harbour Media.");
    EXPECT_NE(ItemText(dialog, IDC_ABOUT_VERSION).Find(L"Lanternquill"), -1);
    // The legal line links to the maker's site, which a build may not have.
    EXPECT_EQ(ItemVisible(dialog, IDC_ABOUT_LEGAL), CString(LQ_WEB_SITE_URL).GetLength() > 0);
    EXPECT_FALSE(dialog.m_bOwnLogo);
    dialog.DestroyWindow();
}

TEST_F(AboutDlgTest, TheBrandedEditionHidesTheMakersLines)
{
    CAboutDlg dialog(m_settings, m_data.Path().c_str(), TRUE);
    ASSERT_TRUE(dialog.Create(IDD_ABOUTBOX));
    EXPECT_STREQ(ItemText(dialog, IDC_ABOUT_LEGAL_LINK).GetString(), L"here");
    EXPECT_STREQ(dialog.m_linkLegal.GetURL().GetString(), L"http://harbour.example/");
    EXPECT_NE(ItemText(dialog, IDC_ABOUT_VERSION).Find(L"Harbour Reader Version"), -1);
    EXPECT_NE(ItemText(dialog, IDC_ABOUT_NOTICE).Find(L"Harbour Media"), -1);
    for (int nID : {IDC_ABOUT_READS, IDC_ABOUT_THANKS, IDC_ABOUT_LEGAL})
        EXPECT_FALSE(ItemVisible(dialog, nID)) << nID;
    dialog.DestroyWindow();
}

// A build or a brand without a web site or an e-mail address shows no label beside an empty line.
TEST_F(AboutDlgTest, ALineWhoseValueIsEmptyIsHiddenWithItsLabel)
{
    const struct
    {
        const wchar_t* szWebSite;
        const wchar_t* szEmail;
        BOOL bLabel;
        bool bSiteShown, bEmailShown;
    } cases[] = {
        {L"http://harbour.example/", L"news@harbour.example", FALSE, true, true},
        {L"", L"news@harbour.example", FALSE, false, true},
        {L"http://harbour.example/", L"", TRUE, true, false},
        {L"", L"", TRUE, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "site '" << c.szWebSite << "' e-mail '" << c.szEmail << "'");
        lstrcpynW(m_settings.szWebSite, c.szWebSite, 100);
        lstrcpynW(m_settings.szEmail, c.szEmail, 50);
        CAboutDlg dialog(m_settings, m_data.Path().c_str(), c.bLabel);
        ASSERT_TRUE(dialog.Create(IDD_ABOUTBOX));
        EXPECT_EQ(c.bSiteShown, ItemVisible(dialog, IDC_ABOUT_WEB_SITE_LABEL));
        EXPECT_EQ(c.bSiteShown, ItemVisible(dialog, IDC_ABOUT_WEB_SITE));
        EXPECT_EQ(c.bEmailShown, ItemVisible(dialog, IDC_ABOUT_EMAIL_LABEL));
        EXPECT_EQ(c.bEmailShown, ItemVisible(dialog, IDC_ABOUT_EMAIL));
        // The branded edition's legal link leads to the brand's site, which may be missing.
        if (c.bLabel) {
            EXPECT_EQ(c.bSiteShown, ItemVisible(dialog, IDC_ABOUT_LEGAL_LINK));
        }
        dialog.DestroyWindow();
    }
}

TEST_F(AboutDlgTest, TheDataFoldersLogoIsDrawnInsteadOfTheBuiltInOne)
{
    const std::string logo = lqtest::ReadFileBytes(lqtest::SourcePath(L"views/fixtures/logo.bmp"));
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"logo.bmp"), logo));
    CAboutDlg dialog(m_settings, m_data.Path().c_str(), FALSE);
    ASSERT_TRUE(dialog.Create(IDD_ABOUTBOX));
    EXPECT_TRUE(dialog.m_bOwnLogo);
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    CWnd* picture = dialog.GetDlgItem(IDC_ABOUT_PICTURE);
    ASSERT_NE(picture, nullptr);
    picture->UpdateWindow();
    CRect rect;
    picture->GetClientRect(&rect);
    HDC dc = ::GetDC(picture->GetSafeHwnd());
    // The fixture is blue on its left half, orange on its right.
    EXPECT_EQ(::GetPixel(dc, rect.Width() / 4, rect.Height() / 2), RGB(0x20, 0x60, 0xE0));
    EXPECT_EQ(::GetPixel(dc, rect.Width() * 3 / 4, rect.Height() / 2), RGB(0xE0, 0x60, 0x20));
    ::ReleaseDC(picture->GetSafeHwnd(), dc);
    dialog.DestroyWindow();

    // A logo that does not load falls back to the built-in picture.
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"logo.bmp"), "not a picture"));
    CAboutDlg fallback(m_settings, m_data.Path().c_str(), FALSE);
    ASSERT_TRUE(fallback.Create(IDD_ABOUTBOX));
    EXPECT_FALSE(fallback.m_bOwnLogo);
    fallback.DestroyWindow();
}

} // namespace
