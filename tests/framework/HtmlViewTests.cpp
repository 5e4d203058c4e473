// CHtmlView and CDHtmlDialog over the HTML pane: the navigation events in order with cancel, a POST reaching
// the local server, the body's scroll position through the document object, the dialog's first page from a
// resource, host flags and the DHTML event maps.
#include "framework/Afx.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT kDialogTemplate = 64000;
constexpr UINT kFirstPage = 64001;

struct NavEvent
{
    std::wstring kind;
    std::wstring url;
};

std::wstring Text(const CString& s)
{
    return std::wstring(s.GetString());
}

class CRecordingView : public CHtmlView
{
public:
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, CByteArray& baPostedData, LPCTSTR lpszHeaders,
                           BOOL* pbCancel) override
    {
        events.push_back({L"before", lpszURL});
        lastPost.assign(reinterpret_cast<const char*>(baPostedData.GetData()),
                        static_cast<size_t>(baPostedData.GetSize()));
        lastHeaders = lpszHeaders;
        *pbCancel = std::wstring(lpszURL).find(L"bookmark:") != std::wstring::npos ? TRUE : FALSE;
        if (onBefore)
            onBefore(lpszURL, pbCancel);
    }
    void OnNavigateComplete2(LPCTSTR url) override { events.push_back({L"navigate", url}); }
    void OnDocumentComplete(LPCTSTR url) override { events.push_back({L"document", url}); }

    std::function<void(LPCTSTR, BOOL*)> onBefore;
    std::vector<NavEvent> events;
    std::string lastPost;
    std::wstring lastHeaders;
};

class ViewFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                          reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
        ASSERT_TRUE(m_frame.CreateEx(0, cls, L"View test", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 60, 60,
                                     480, 360, nullptr, nullptr));
        m_pView = new CRecordingView;
        RECT rc;
        ::GetClientRect(m_frame.m_hWnd, &rc);
        ASSERT_TRUE(m_pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rc, &m_frame, AFX_IDW_PANE_FIRST));
        lqtest::PumpPending();
    }
    void TearDown() override
    {
        // The view deletes itself with its window.
        if (m_frame.m_hWnd != nullptr)
            m_frame.DestroyWindow();
        lqtest::PumpPending();
    }

    std::wstring WritePage(const std::wstring& name, const std::string& html)
    {
        const std::wstring path = m_folder.File(name);
        EXPECT_TRUE(lqtest::WriteFileBytes(path, html));
        return path;
    }

    lqtest::TempFolder m_folder;
    CWnd m_frame;
    CRecordingView* m_pView = nullptr;
};

TEST_F(ViewFixture, NavigationEventsComeInOrderWithTheAddressAsGiven)
{
    ASSERT_NE(m_pView->m_pBrowserApp, nullptr);
    EXPECT_EQ(m_pView->GetHtmlDocument(), nullptr);
    // A temporary page file of the channel view: any extension reads as HTML.
    const std::wstring page = WritePage(L"tm_1A2B.tmp", "<h2>Channel</h2><p><a href=\"bookmark:3\">Bookmark</a> "
                                                        "<a href=\"other.htm\">Other</a></p>");
    WritePage(L"other.htm", "<p>Other page</p>");
    m_pView->Navigate2(page.c_str());
    const std::vector<NavEvent> expected = {{L"before", page}, {L"navigate", page}, {L"document", page}};
    ASSERT_EQ(m_pView->events.size(), 3u);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(m_pView->events[i].kind, expected[i].kind);
        EXPECT_EQ(m_pView->events[i].url, expected[i].url);
    }
    EXPECT_EQ(Text(m_pView->GetLocationURL()), page);
    EXPECT_NE(Text(m_pView->GetPageText()).find(L"Channel"), std::wstring::npos);
    EXPECT_NE(m_pView->GetHtmlDocument(), nullptr);

    // A cancelled link: one before event with the href as written, and the page stays.
    m_pView->events.clear();
    EXPECT_FALSE(m_pView->ClickLink(L"bookmark:3"));
    ASSERT_EQ(m_pView->events.size(), 1u);
    EXPECT_EQ(m_pView->events[0].url, L"bookmark:3");
    EXPECT_EQ(Text(m_pView->GetLocationURL()), page);

    // A followed link: resolved against the page, once each event.
    m_pView->events.clear();
    EXPECT_TRUE(m_pView->ClickLink(L"other.htm"));
    ASSERT_EQ(m_pView->events.size(), 3u);
    EXPECT_EQ(m_pView->events[0].url, m_folder.File(L"other.htm"));
    EXPECT_EQ(m_pView->events[2].kind, L"document");
    EXPECT_NE(Text(m_pView->GetPageText()).find(L"Other page"), std::wstring::npos);

    // about:blank: an empty page, events as for any other.
    m_pView->events.clear();
    m_pView->Navigate2(L"about:blank");
    ASSERT_EQ(m_pView->events.size(), 3u);
    EXPECT_EQ(m_pView->events[2].url, L"about:blank");
    EXPECT_TRUE(m_pView->GetLinks().empty());
}

TEST_F(ViewFixture, AClickCancelledForANewRenderingShowsTheNewPageWithItsScrollRestored)
{
    // The news view's pattern: a click on an item is cancelled, the page is rendered again, and its scroll
    // position comes back when that page completes.
    std::string html = "<body>";
    for (int i = 0; i < 100; ++i)
        html += "<p><a href=\"http://example.com/" + std::to_string(i) + "\">Item " + std::to_string(i) + "</a></p>";
    const std::wstring first = WritePage(L"tm_1.tmp", html + "</body>");
    const std::wstring second = WritePage(L"tm_2.tmp", html + "<p>read</p></body>");
    m_pView->Navigate2(first.c_str());
    CHtmlBodyElement* pBody = nullptr;
    ASSERT_EQ(m_pView->GetHtmlDocument()->get_body(&pBody), S_OK);
    pBody->put_scrollTop(500);
    long saved = 0;
    pBody->get_scrollTop(&saved);
    ASSERT_EQ(saved, 500);

    m_pView->events.clear();
    m_pView->onBefore = [&](LPCTSTR url, BOOL* pbCancel) {
        if (std::wstring(url).rfind(L"http://", 0) == 0) {
            *pbCancel = TRUE;
            m_pView->Navigate2(second.c_str());
            // The completion of the new page came inside this call; restore as its handler would.
            m_pView->GetHtmlDocument()->get_body(&pBody);
            pBody->put_scrollTop(saved);
        }
    };
    ASSERT_FALSE(m_pView->ClickLink(L"http://example.com/40"));
    m_pView->onBefore = nullptr;
    const std::vector<std::wstring> kinds = {L"before", L"before", L"navigate", L"document"};
    ASSERT_EQ(m_pView->events.size(), kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i)
        EXPECT_EQ(m_pView->events[i].kind, kinds[i]);
    EXPECT_EQ(m_pView->events[0].url, L"http://example.com/40");
    EXPECT_EQ(m_pView->events[3].url, second);
    EXPECT_EQ(Text(m_pView->GetLocationURL()), second);
    long top = 0;
    m_pView->GetHtmlDocument()->get_body(&pBody);
    pBody->get_scrollTop(&top);
    EXPECT_EQ(top, 500);
}

TEST_F(ViewFixture, PostReachesTheServerWithItsBodyAndHeaders)
{
    ASSERT_NE(lqtest::HttpPort(), 0);
    const std::string body = "&title=A+caf%E9&description=x%26y&url=http%3A%2F%2Fh.com%2F1";
    const LPCTSTR headers = L"Content-Type: application/x-www-form-urlencoded";
    const std::wstring echo = lqtest::HttpUrl(L"/echo");
    m_pView->Navigate2(echo.c_str(), 0, nullptr, headers, const_cast<char*>(body.data()),
                       static_cast<DWORD>(body.size()));
    // The before event sees the post data and headers as given.
    ASSERT_FALSE(m_pView->events.empty());
    EXPECT_EQ(m_pView->lastPost, body);
    EXPECT_EQ(m_pView->lastHeaders, headers);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pView->events.size() >= 3; }));
    EXPECT_EQ(m_pView->events[1].kind, L"navigate");
    EXPECT_EQ(m_pView->events[2].url, echo);
    // The server sent the body back as the page.
    EXPECT_NE(Text(m_pView->GetPageText()).find(L"&title=A+caf%E9&description=x%26y"), std::wstring::npos)
        << lqtest::Narrow(Text(m_pView->GetPageText()));

    // The header reached the server: its answer is the header's value.
    m_pView->events.clear();
    const std::wstring header = lqtest::HttpUrl(L"/header/Content-Type");
    CByteArray post;
    post.SetSize(3);
    memcpy(post.GetData(), "a=b", 3);
    m_pView->Navigate2(header.c_str(), 0, post, nullptr, headers);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pView->events.size() >= 3; }));
    EXPECT_EQ(Text(m_pView->GetPageText()).find(L"application/x-www-form-urlencoded"), 0u)
        << lqtest::Narrow(Text(m_pView->GetPageText()));
}

TEST_F(ViewFixture, StopDropsAPageStillOnItsWay)
{
    ASSERT_NE(lqtest::HttpPort(), 0);
    // The stopped answer comes quickly; the last one later, so the stopped one has arrived (and been dropped)
    // by the time the last page completes.
    const std::wstring slow = lqtest::HttpUrl(L"/slow/64/10");
    m_pView->Navigate2(slow.c_str());
    EXPECT_TRUE(m_pView->GetBusy());
    m_pView->Stop();
    EXPECT_FALSE(m_pView->GetBusy());
    // A later page arrives; the stopped one never completes.
    const std::wstring page = WritePage(L"after.htm", "<p>after</p>");
    m_pView->Navigate2(page.c_str());
    const std::wstring text = lqtest::HttpUrl(L"/slow/192/300");
    m_pView->Navigate2(text.c_str());
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pView->events.size() >= 7; }));
    for (const NavEvent& e : m_pView->events) {
        if (e.kind != L"before") {
            EXPECT_NE(e.url, slow);
        }
    }
    EXPECT_EQ(m_pView->events.back().url, text);
}

TEST_F(ViewFixture, BodyScrollPositionRoundTrips)
{
    std::string html = "<body>";
    for (int i = 0; i < 300; ++i)
        html += "<p>Paragraph " + std::to_string(i) + " of a long page</p>";
    m_pView->Navigate2(WritePage(L"long.htm", html + "</body>").c_str());
    CHtmlPageDocument* pDoc = m_pView->GetHtmlDocument();
    ASSERT_NE(pDoc, nullptr);
    CHtmlBodyElement* pBody = nullptr;
    ASSERT_EQ(pDoc->get_body(&pBody), S_OK);
    ASSERT_NE(pBody, nullptr);
    EXPECT_EQ(pDoc->get_body(nullptr), E_POINTER);

    long height = 0;
    ASSERT_EQ(pBody->get_scrollHeight(&height), S_OK);
    EXPECT_GT(height, 300 * 12);
    RECT client;
    ::GetClientRect(m_pView->m_wndBrowser.m_hWnd, &client);
    struct Case
    {
        long put;
        long expected;
    };
    const Case cases[] = {{0, 0}, {1234, 1234}, {-50, 0}, {10000000, height - client.bottom}, {7, 7}};
    for (const Case& c : cases) {
        ASSERT_EQ(pBody->put_scrollTop(c.put), S_OK);
        long top = -1;
        ASSERT_EQ(pBody->get_scrollTop(&top), S_OK);
        EXPECT_EQ(top, c.expected) << c.put;
    }
    // A narrow page cannot scroll sideways.
    pBody->put_scrollLeft(40);
    long left = -1;
    pBody->get_scrollLeft(&left);
    EXPECT_EQ(left, 0);
}

TEST_F(ViewFixture, HostFlagsDecideTheBorder)
{
    EXPECT_TRUE(::GetWindowLongPtrW(m_pView->m_wndBrowser.m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    m_pView->SetHostFlags(DOCHOSTUIFLAG_NO3DBORDER);
    EXPECT_FALSE(::GetWindowLongPtrW(m_pView->m_wndBrowser.m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // The pane follows the view's size.
    m_pView->MoveWindow(0, 0, 300, 200);
    RECT rc;
    ::GetWindowRect(m_pView->m_wndBrowser.m_hWnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 200);
}

// A view that swallows right clicks in its pre-translation, as the news view does to keep menus away.
class CFilteringView : public CRecordingView
{
public:
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_RBUTTONDOWN || pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_LBUTTONDBLCLK ||
            pMsg->message == WM_LBUTTONUP)
            seen.push_back(pMsg->message);
        if (pMsg->message == WM_RBUTTONDOWN || pMsg->message == WM_RBUTTONUP)
            return TRUE;
        return CRecordingView::PreTranslateMessage(pMsg);
    }
    std::vector<UINT> seen;
};

// Pumps as the application's loop does: each message walks the pre-translation from its window upwards.
bool PumpWalkingUntil(const std::function<bool()>& cond)
{
    return lqtest::PumpUntil(cond, 5000, [](MSG& msg) { return CWnd::WalkPreTranslateTree(nullptr, &msg) != FALSE; });
}

TEST_F(ViewFixture, PaneMouseMessagesPassThroughTheViewsPreTranslation)
{
    // A second view over the first, filtering.
    CFilteringView* pView = new CFilteringView;
    RECT rc;
    ::GetClientRect(m_frame.m_hWnd, &rc);
    ASSERT_TRUE(pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rc, &m_frame, AFX_IDW_PANE_FIRST + 1));
    ::SetWindowPos(pView->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The next page has its link in the same place, so a second click there would follow it again.
    WritePage(L"next.htm", "<p><a href=\"next.htm\">Next page</a></p>");
    pView->Navigate2(WritePage(L"links.htm", "<p><a href=\"next.htm\">Next page</a></p>").c_str());
    ASSERT_TRUE(frametest::Activate(m_frame.m_hWnd));
    const std::vector<CHtmlPaneLink> links = pView->GetLinks();
    ASSERT_EQ(links.size(), 1u);
    const CPoint centre = links[0].m_rects[0].CenterPoint();
    const POINT screen = frametest::ClientToScreenPoint(pView->m_wndBrowser.m_hWnd, centre.x, centre.y);

    // Two presses make a double click only within the double-click time; a loaded machine can take longer than
    // the default half second between them.
    struct DoubleClickTime
    {
        UINT previous = ::GetDoubleClickTime();
        DoubleClickTime() { ::SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, 20000, nullptr, 0); }
        ~DoubleClickTime() { ::SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, previous, nullptr, 0); }
    } slowDoubleClick;
    pView->events.clear();
    frametest::SendMouse(screen, 0);
    frametest::SendMouse(screen, MOUSEEVENTF_RIGHTDOWN);
    frametest::SendMouse(screen, MOUSEEVENTF_RIGHTUP);
    // A double click on the link: the pre-translation sees the presses, the link is followed once.
    frametest::SendMouse(screen, MOUSEEVENTF_LEFTDOWN);
    frametest::SendMouse(screen, MOUSEEVENTF_LEFTUP);
    frametest::SendMouse(screen, MOUSEEVENTF_LEFTDOWN);
    frametest::SendMouse(screen, MOUSEEVENTF_LEFTUP);
    const std::vector<UINT> expected = {WM_RBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    ASSERT_TRUE(PumpWalkingUntil([&] { return pView->seen.size() >= expected.size(); }));
    EXPECT_EQ(pView->seen, expected);
    ASSERT_EQ(pView->events.size(), 3u);
    EXPECT_EQ(pView->events[0].url, m_folder.File(L"next.htm"));
}

// The ad window's shape: a child DHTML dialog with a first page from a resource, navigating only under program
// control.
class CAdLikeDialog : public CDHtmlDialog
{
public:
    CAdLikeDialog() : CDHtmlDialog(kDialogTemplate, kFirstPage, nullptr) {}

    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, CByteArray&, LPCTSTR, BOOL* pbCancel) override
    {
        events.push_back({L"before", lpszURL});
        *pbCancel = allow ? FALSE : TRUE;
    }
    void OnNavigateComplete(LPDISPATCH, LPCTSTR url) override { events.push_back({L"navigate", url}); }
    void OnDocumentComplete(LPDISPATCH, LPCTSTR url) override { events.push_back({L"document", url}); }

    std::vector<NavEvent> events;
    bool allow = true;

    DECLARE_DHTML_EVENT_MAP()
};

BEGIN_DHTML_EVENT_MAP(CAdLikeDialog)
END_DHTML_EVENT_MAP()

TEST_F(ViewFixture, DHtmlDialogShowsItsResourceAndNavigatesUnderControl)
{
    CAdLikeDialog dlg;
    CHtmlPageDocument* pDoc = reinterpret_cast<CHtmlPageDocument*>(1);
    EXPECT_EQ(dlg.GetDHtmlDocument(&pDoc), E_NOINTERFACE);
    EXPECT_EQ(pDoc, nullptr);
    EXPECT_EQ(dlg.GetDHtmlDocument(nullptr), E_POINTER);
    EXPECT_EQ(dlg.GetDHtmlEventMap()[0].nType, DHTMLEVENTMAPENTRY_END);

    dlg.SetHostFlags(DOCHOSTUIFLAG_NO3DBORDER);
    ASSERT_TRUE(dlg.Create(kDialogTemplate, &m_frame));
    ASSERT_NE(dlg.m_pBrowserApp, nullptr);
    EXPECT_FALSE(::GetWindowLongPtrW(dlg.m_wndBrowser.m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // The first page: the resource, shown at creation with the completion events.
    ASSERT_GE(dlg.events.size(), 2u);
    EXPECT_EQ(dlg.events.back().kind, L"document");
    EXPECT_EQ(Text(dlg.GetLocationURL()).rfind(L"res://", 0), 0u);
    EXPECT_NE(Text(dlg.GetPageText()).find(L"Ad Block sample"), std::wstring::npos);
    ASSERT_EQ(dlg.GetDHtmlDocument(&pDoc), S_OK);
    EXPECT_NE(pDoc, nullptr);

    // The pane fills the dialog as it is resized (300 by H after a weather page).
    dlg.SetWindowPos(nullptr, 0, 0, 300, 130, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rc;
    ::GetWindowRect(dlg.m_wndBrowser.m_hWnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 130);

    // Program navigation goes through; with the flag cleared the navigation is cancelled and the page stays.
    const std::wstring weather = WritePage(L"weather.htm", "<p>Weather for <a href=\"http://w.com/x\">Here</a></p>");
    dlg.events.clear();
    dlg.Navigate(weather.c_str());
    ASSERT_EQ(dlg.events.size(), 3u);
    EXPECT_EQ(dlg.events[2].url, weather);
    long height = 0;
    CHtmlBodyElement* pBody = nullptr;
    ASSERT_EQ(dlg.GetDHtmlDocument(&pDoc), S_OK);
    pDoc->get_body(&pBody);
    pBody->get_scrollHeight(&height);
    EXPECT_GT(height, 0);
    EXPECT_LT(height, 200);

    dlg.allow = false;
    dlg.events.clear();
    EXPECT_FALSE(dlg.ClickLink(L"http://w.com/x"));
    ASSERT_EQ(dlg.events.size(), 1u);
    EXPECT_EQ(dlg.events[0].url, L"http://w.com/x");
    EXPECT_EQ(Text(dlg.GetLocationURL()), weather);
    dlg.DestroyWindow();
}

} // namespace
