// The addresses that may leave the program, and opening them in the browser.
#include "feeds/WebAddresses.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using lqtest::Narrow;

namespace {

TEST(WebAddress, OnlyHttpAndHttpsPagesAreWebAddresses)
{
    struct Case
    {
        const wchar_t* address;
        bool web;
    };
    const Case cases[] = {
        {L"http://example.org/help", true},
        {L"HTTPS://example.org", true},
        {L"Http://", true},
        {L"ftp://example.org", false},
        {L"file:///C:/windows/notepad.exe", false},
        {L"C:\\windows\\notepad.exe", false},
        {L" http://example.org", false},
        {L"http:/example.org", false},
        {L"javascript:alert(1)", false},
        {L"", false},
        {nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.address ? c.address : L"(null)"));
        EXPECT_EQ(IsWebAddress(c.address), c.web);
    }
}

CString g_launched;
int g_launches = 0;
bool RecordLaunch(const CString& address)
{
    g_launched = address;
    ++g_launches;
    return true;
}

TEST(BrowserLaunch, OnlyCheckedAddressesReachTheLauncher)
{
    struct Case
    {
        const wchar_t* address;
        bool opened;
    };
    const Case cases[] = {
        {L"http://example.org/item?id=1#top", true},
        {L"HTTPS://Example.org", true},
        {L"ftp://files.example.org/a.mp3", true},
        {L"mailto:editor@example.org", true},
        {L"javascript:alert(1)", false},
        {L"file:///C:/windows/system32/calc.exe", false},
        {L"C:\\windows\\notepad.exe", false},
        {L"\\\\server\\share\\x.exe", false},
        {L"feed://example.org/rss", false},
        {L"news:comp.lang", false},
        {L"/relative/page.html", false},
        {L"http:relative", false},
        {L"http:///no-host", false},
        {L"http://example.org/a b", false},    // a blank could start another argument
        {L"http://example.org/\"--x", false},  // so could a quote
        {L"http://example.org/\x2028", false}, // invisible separators
        {L" http://example.org/", false},
        {L"mailto:", false},
        {L"", false},
    };
    const BrowserLauncher previous = SetBrowserLauncher(RecordLaunch);
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.address));
        g_launches = 0;
        g_launched.Empty();
        EXPECT_EQ(OpenInBrowser(c.address), c.opened);
        EXPECT_EQ(g_launches, c.opened ? 1 : 0);
        EXPECT_STREQ(g_launched.GetString(), c.opened ? c.address : L"");
    }
    CString tooLong = L"http://example.org/";
    while (tooLong.GetLength() <= 2083)
        tooLong += L"aaaaaaaaaa";
    EXPECT_FALSE(OpenInBrowser(tooLong));
    EXPECT_EQ(SetBrowserLauncher(previous), RecordLaunch);
}

} // namespace
