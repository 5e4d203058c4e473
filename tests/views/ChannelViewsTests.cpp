// The channel viewer and the ad window over real pages: a channel rendered through feeds.xsl in the viewer, links
// that leave only through the checked opener (replaced here), the viewer's placement across windows; the ad
// window with a page of the local server and with the weather page, its sizes, clicks and addresses.
#include "views/AdBlockWnd.h"
#include "views/ChannelViewDlg.h"

#include "feeds/EngineMessages.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/ViewTemplates.h"
#include "feeds/WebAddresses.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"
#include "tests/views/ViewsTestHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using lqtest::Narrow;

std::vector<std::wstring> g_opened;

bool RecordOpen(const CString& address)
{
    g_opened.push_back(address.GetString());
    return true;
}

std::wstring Text(const CString& s)
{
    return std::wstring(s.GetString());
}

class ChannelViewsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theViewsHost.SetRegistryKey(L"Lanternquill Tests");
        theViewsHost.WriteProfileBinary(L"ChannelView", L"WP", nullptr, 0);
        m_savedFolder = theViewsHost.m_strDataFolder;
        theViewsHost.m_strDataFolder = m_data.Path().c_str();
        ASSERT_TRUE(InstallViewTemplates(lqtest::SourcePath(L"..\\res\\templates").c_str()));
        ASSERT_TRUE(::CopyFileW(lqtest::SourcePath(L"views\\fixtures\\classic-channel.rss").c_str(),
                                m_data.File(L"harbour.rss").c_str(), FALSE));
        g_opened.clear();
        m_previousLauncher = SetBrowserLauncher(RecordOpen);
        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                          reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
        ASSERT_TRUE(m_owner.CreateEx(0, cls, L"Views owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                                     420, 360, nullptr, nullptr));
    }
    void TearDown() override
    {
        if (m_owner.m_hWnd != nullptr)
            m_owner.DestroyWindow();
        lqtest::PumpPending();
        SetBrowserLauncher(m_previousLauncher);
        theViewsHost.m_strDataFolder = m_savedFolder;
    }

    std::unique_ptr<CChannelViewDlg> MakeViewer()
    {
        auto viewer = std::make_unique<CChannelViewDlg>(&m_owner);
        viewer->SetStyleSheet(m_data.File(L"feeds.xsl").c_str());
        EXPECT_TRUE(viewer->Create(&m_owner));
        return viewer;
    }

    lqtest::TempFolder m_data;
    CString m_savedFolder;
    BrowserLauncher m_previousLauncher = nullptr;
    CWnd m_owner;
};

TEST_F(ChannelViewsFixture, TheViewerShowsAChannelAndOpensItsLinksOutsideLeavingThePage)
{
    auto viewer = MakeViewer();
    EXPECT_FALSE(viewer->IsWindowVisible());
    EXPECT_EQ(viewer->GetExStyle() & WS_EX_TOOLWINDOW, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    CString caption;
    viewer->GetWindowText(caption);
    EXPECT_EQ(Text(caption), L"Channel");

    ASSERT_EQ(viewer->ShowFeed(m_data.File(L"harbour.rss").c_str()), 1);
    lqtest::PumpPending();
    const std::wstring page = Text(viewer->m_strRenderedFile);
    ASSERT_FALSE(page.empty());
    EXPECT_NE(page.find(L"\\tm_"), std::wstring::npos);
    EXPECT_EQ(Text(viewer->GetLocationURL()), page);
    EXPECT_NE(Text(viewer->GetPageText()).find(L"Tide tables for the week"), std::wstring::npos);

    // Every link of the page leaves through the opener; the page stays.
    for (const wchar_t* href : {L"http://news.example.com/tides", L"http://media.example.com/ep12.mp3"}) {
        g_opened.clear();
        ASSERT_GE(viewer->m_wndBrowser.FindLink(href), 0) << Narrow(href);
        // A cancelled navigation: the click reports that the page did not change.
        EXPECT_FALSE(viewer->ClickLink(href));
        lqtest::PumpPending();
        EXPECT_EQ(g_opened, std::vector<std::wstring>{href});
        EXPECT_EQ(Text(viewer->GetLocationURL()), page);
    }

    // Rendering again replaces the page file and deletes the last one.
    ASSERT_EQ(viewer->ShowFeed(m_data.File(L"harbour.rss").c_str()), 1);
    lqtest::PumpPending();
    EXPECT_NE(Text(viewer->m_strRenderedFile), page);
    EXPECT_EQ(::GetFileAttributesW(page.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::wstring last = Text(viewer->m_strRenderedFile);
    viewer->DestroyWindow();
    viewer.reset();
    EXPECT_EQ(::GetFileAttributesW(last.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ChannelViewsFixture, OnlyWebAndMailAddressesLeaveTheViewer)
{
    // A page that names programs, shares and other handlers: nothing of it reaches the shell.
    const std::wstring file = m_data.File(L"links.htm");
    ASSERT_TRUE(lqtest::WriteFileBytes(
        file,
        "<html><body><a href=\"file:///C:/windows/system32/calc.exe\">a</a> <a href=\"\\\\server\\share\\x.exe\">b</a>"
        " <a href=\"ftp://example.com/pub/file\">c</a> <a href=\"ms-settings:display\">d</a>"
        " <a href=\"https://example.com/ok\">e</a> <a href=\"mailto:desk@example.com\">f</a></body></html>"));
    auto viewer = std::make_unique<CChannelViewDlg>(&m_owner);
    ASSERT_TRUE(viewer->Create(&m_owner)); // no style sheet: the file itself is shown
    ASSERT_EQ(viewer->ShowFeed(file.c_str()), 1);
    lqtest::PumpPending();
    const struct
    {
        const wchar_t* href;
        bool opened;
    } cases[] = {{L"file:///C:/windows/system32/calc.exe", false},
                 {L"\\\\server\\share\\x.exe", false},
                 {L"ftp://example.com/pub/file", true},
                 {L"ms-settings:display", false},
                 {L"https://example.com/ok", true},
                 {L"mailto:desk@example.com", true}};
    for (const auto& c : cases) {
        g_opened.clear();
        ASSERT_GE(viewer->m_wndBrowser.FindLink(c.href), 0) << Narrow(c.href);
        viewer->ClickLink(c.href);
        lqtest::PumpPending();
        EXPECT_EQ(g_opened.size(), c.opened ? 1u : 0u) << Narrow(c.href);
        EXPECT_EQ(Text(viewer->GetLocationURL()), file) << Narrow(c.href);
    }
    // A right click never reaches the page.
    MSG right = {};
    right.hwnd = viewer->GetSafeHwnd();
    right.message = WM_RBUTTONDOWN;
    right.wParam = MK_RBUTTON;
    EXPECT_TRUE(viewer->PreTranslateMessage(&right));
    viewer->DestroyWindow();
}

TEST_F(ChannelViewsFixture, TheViewerComesBackAtItsPlaceButHiddenAndIgnoresForeignPlacements)
{
    {
        auto viewer = MakeViewer();
        viewer->SetWindowPos(nullptr, 60, 70, 333, 222, SWP_NOZORDER | SWP_NOACTIVATE);
        viewer->ShowWindow(SW_SHOWNOACTIVATE);
        viewer->DestroyWindow();
    }
    EXPECT_EQ(theViewsHost.GetProfileInt(L"ChannelView", L"showcmd", -1), 5u);
    {
        auto viewer = MakeViewer();
        EXPECT_FALSE(viewer->IsWindowVisible());
        CRect rect;
        viewer->GetWindowRect(&rect);
        EXPECT_EQ(rect, CRect(60, 70, 393, 292));
        viewer->DestroyWindow();
    }
    EXPECT_EQ(theViewsHost.GetProfileInt(L"ChannelView", L"showcmd", -1), 0u);

    // A value of another size, or an empty rectangle, is not a placement.
    CRect standard;
    theViewsHost.WriteProfileBinary(L"ChannelView", L"WP", nullptr, 0);
    {
        auto viewer = MakeViewer();
        viewer->GetWindowRect(&standard);
        viewer->DestroyWindow();
    }
    WINDOWPLACEMENT empty = {};
    empty.length = sizeof(empty);
    const std::string shortValue(20, '\x07');
    const struct
    {
        const BYTE* data;
        UINT size;
    } foreign[] = {{reinterpret_cast<const BYTE*>(shortValue.data()), 20},
                   {reinterpret_cast<const BYTE*>(&empty), sizeof(empty)}};
    for (const auto& f : foreign) {
        theViewsHost.WriteProfileBinary(L"ChannelView", L"WP", const_cast<BYTE*>(f.data), f.size);
        auto viewer = std::make_unique<CChannelViewDlg>(&m_owner);
        ASSERT_TRUE(viewer->Create(&m_owner));
        CRect rect;
        viewer->GetWindowRect(&rect);
        EXPECT_EQ(rect.Size(), standard.Size()) << f.size;
        viewer->DestroyWindow();
    }
}

// ---- The ad window

class AdWindowFixture : public ChannelViewsFixture
{
protected:
    CAdBlockWnd* Attach(CFeedItem& entry)
    {
        CAdBlockWnd* pWnd = CAdBlockWnd::AttachTo(&entry, &m_owner);
        EXPECT_NE(pWnd, nullptr);
        return pWnd;
    }
    bool WaitForPage(CAdBlockWnd* pWnd, const std::wstring& address)
    {
        return lqtest::PumpUntil(
            [&] { return Text(pWnd->GetLocationURL()) == address && !pWnd->m_wndBrowser.IsBusy(); }, 10000);
    }
    static CSize SizeOf(CWnd* pWnd)
    {
        CRect rect;
        pWnd->GetWindowRect(&rect);
        return rect.Size();
    }
};

TEST_F(AdWindowFixture, ABlockShowsItsWebPageAndOpensAClickedLinkOutside)
{
    ASSERT_NE(lqtest::HttpPort(), 0);
    CFeedItem entry;
    entry.m_nKind = FEED_KIND_IFRAME;
    entry.m_strLink = entry.m_strLinkText = lqtest::HttpUrl(L"/files/views/fixtures/ad-block.htm").c_str();
    CAdBlockWnd* pWnd = Attach(entry);
    ASSERT_NE(pWnd, nullptr);
    EXPECT_EQ(entry.m_pAttachedWnd, pWnd);
    EXPECT_EQ(SizeOf(pWnd), CSize(234, 60));
    ASSERT_TRUE(WaitForPage(pWnd, Text(entry.m_strLinkText)));
    EXPECT_NE(Text(pWnd->GetPageText()).find(L"Our offer of the week"), std::wstring::npos);

    // A real click on the link: the browser gets it, the window keeps its page.
    const std::vector<CHtmlPaneLink> links = pWnd->GetLinks();
    ASSERT_EQ(links.size(), 1u);
    ASSERT_FALSE(links[0].m_rects.empty());
    const CRect box = links[0].m_rects[0];
    m_owner.SetForegroundWindow();
    const POINT at = lqtest::ClientToScreenPoint(pWnd->m_wndBrowser.GetSafeHwnd(), box.left + 3, box.CenterPoint().y);
    ASSERT_TRUE(lqtest::MoveMouse(at));
    lqtest::SendMouse(at, MOUSEEVENTF_LEFTDOWN);
    lqtest::SendMouse(at, MOUSEEVENTF_LEFTUP);
    // The program's loop offers every message to the windows it is for before dispatching it.
    const HWND owner = m_owner.GetSafeHwnd();
    ASSERT_TRUE(lqtest::PumpUntil([] { return !g_opened.empty(); }, 5000,
                                  [owner](MSG& msg) { return CWnd::WalkPreTranslateTree(owner, &msg) != FALSE; }));
    EXPECT_EQ(g_opened, std::vector<std::wstring>{L"http://127.0.0.1:1/offer"});
    lqtest::PumpPending();
    EXPECT_EQ(Text(pWnd->GetLocationURL()), Text(entry.m_strLinkText));

    // The connection coming back loads the page again under the program's control; a right click is swallowed.
    g_opened.clear();
    pWnd->SendMessage(WM_REFRESH_AD, 0, 0);
    EXPECT_EQ(pWnd->m_bProgramNavigation, 1);
    ASSERT_TRUE(WaitForPage(pWnd, Text(entry.m_strLinkText)));
    EXPECT_TRUE(g_opened.empty());
    MSG right = {};
    right.hwnd = pWnd->m_wndBrowser.GetSafeHwnd();
    right.message = WM_RBUTTONDOWN;
    right.wParam = MK_RBUTTON;
    EXPECT_TRUE(pWnd->PreTranslateMessage(&right));

    // Destroyed, the window frees itself and the entry forgets it.
    pWnd->DestroyWindow();
    EXPECT_EQ(entry.m_pAttachedWnd, nullptr);
}

TEST_F(AdWindowFixture, OnlyWebPagesAndTheProgramsWeatherPageAreShown)
{
    const std::wstring weather = m_data.File(L"weather.htm");
    const struct
    {
        int kind;
        std::wstring link;
        bool shown;
    } cases[] = {
        {FEED_KIND_IFRAME, L"http://127.0.0.1:1/block", true},
        {FEED_KIND_IFRAME, L"HTTPS://127.0.0.1:1/block", true},
        {FEED_KIND_IFRAME, L"file:///C:/windows/win.ini", false},
        {FEED_KIND_IFRAME, L"C:\\windows\\win.ini", false},
        {FEED_KIND_IFRAME, L"\\\\server\\share\\page.htm", false},
        {FEED_KIND_IFRAME, L"javascript:alert(1)", false},
        {FEED_KIND_IFRAME, weather, false},
        {FEED_KIND_WEATHER, weather, true},
        {FEED_KIND_WEATHER, L"http://127.0.0.1:1/weather", false},
        {FEED_KIND_WEATHER, m_data.File(L"other.htm"), false},
    };
    for (const auto& c : cases) {
        CFeedItem entry;
        entry.m_nKind = c.kind;
        entry.m_strLinkText = c.link.c_str();
        EXPECT_EQ(Text(CAdBlockWnd::AddressFor(&entry)), c.shown ? c.link : L"about:blank") << Narrow(c.link);
    }
}

TEST_F(AdWindowFixture, TheWeatherPanelTakesItsPagesHeightUpTo200Pixels)
{
    std::string tall = "<html><body>";
    for (int i = 0; i < 40; ++i)
        tall += "<p>Showers later in the day, clearing towards evening.</p>";
    tall += "</body></html>";
    const struct
    {
        const char* name;
        std::string page;
        int minHeight;
        int maxHeight;
    } cases[] = {
        {"tall", tall, 200, 200},
        {"short", "<html><body><p>Sunny</p></body></html>", 1, 129},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"weather.htm"), c.page));
        CFeedItem entry;
        entry.m_nKind = FEED_KIND_WEATHER;
        entry.m_strLink = entry.m_strLinkText = m_data.File(L"weather.htm").c_str();
        CAdBlockWnd* pWnd = Attach(entry);
        ASSERT_NE(pWnd, nullptr);
        ASSERT_TRUE(WaitForPage(pWnd, Text(entry.m_strLinkText)));
        const CSize size = SizeOf(pWnd);
        EXPECT_EQ(size.cx, 300);
        EXPECT_GE(size.cy, c.minHeight);
        EXPECT_LE(size.cy, c.maxHeight);
        pWnd->DestroyWindow();
    }
}

} // namespace
