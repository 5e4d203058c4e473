// The HTML pane on real windows: feed-shaped pages read back as text and links, images from local files, link
// clicks and keys through SendInput, selection and copy, large and broken pages, address resolution.
#include "framework/Afx.h"
#include "framework/html/HtmlImages.h"
#include "framework/html/HtmlNavigation.h"
#include "framework/html/HtmlPane.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using frametest::Activate;
using frametest::ClientToScreenPoint;
using frametest::PumpTranslatedUntil;
using frametest::SendKey;
using frametest::SendMouse;

namespace {

// A 4x4 opaque red PNG.
const char kRedPng[] = "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x04\x00\x00\x00"
                       "\x04\x08\x06\x00\x00\x00\xa9\xf1\x9e\x7e\x00\x00\x00\x12\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf"
                       "\xc0\xf0\x1f\x19\x33\x90\x2e\x00\x00\x3c\x40\x1f\xe1\xe0\x81\x77\xb4\x00\x00\x00\x00\x49\x45"
                       "\x4e\x44\xae\x42\x60\x82";

// What a page of a real feed looks like after our style sheet: nested lists, a table, entities, an image,
// markup left open, a script that must never show.
const char kFeedPage[] = "<html><head><meta charset=\"utf-8\"><title>Channel &amp; news</title>"
                         "<script>document.write('SCRIPTED')</script></head><body>"
                         "<h1>Tech &amp; Science</h1>"
                         "<p>First <b>item<i> text</b> caf\xc3\xa9 &eacute;t&eacute; &lt;tag&gt; &nbsp;end"
                         "<p><a href=\"http://example.com/a?x=1&amp;y=2\">Item one</a> and "
                         "<a href=\"more/two.html\">Item two</a>"
                         "<ul><li>outer<ul><li>inner one<li>inner two</ul><li>outer two</ul>"
                         "<table><tr><td>cell A<td>cell B<tr><td>cell C</table>"
                         "<p><img src=\"red.png\" width=\"40\" height=\"20\" alt=\"Red box\">"
                         "<img src=\"http://example.com/remote.png\" alt=\"Remote picture\" width=\"80\" height=\"30\">"
                         "<p><a href=\"bookmark:7\">Bookmark</a> <a href=\"javascript:alert(1)\">Scripted</a>"
                         "<div><span>unclosed to the end";

struct PaneEvent
{
    std::wstring kind;
    std::wstring url;
};

class RecordingHost : public IHtmlPaneHost
{
public:
    void OnPaneBeforeNavigate(const CString& url, DWORD, const std::string&, const CString&, BOOL* pbCancel) override
    {
        events.push_back({L"before", url.GetString()});
        *pbCancel = cancelAll ? TRUE : FALSE;
    }
    void OnPaneNavigateComplete(const CString& url) override { events.push_back({L"navigate", url.GetString()}); }
    void OnPaneDocumentComplete(const CString& url) override { events.push_back({L"document", url.GetString()}); }

    std::vector<PaneEvent> events;
    bool cancelAll = false;
};

// A top-level window holding one pane over its client area.
class PaneFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                          reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
        ASSERT_TRUE(m_frame.CreateEx(0, cls, L"Pane test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 520, 420, nullptr,
                                     nullptr));
        RECT rc;
        ::GetClientRect(m_frame.m_hWnd, &rc);
        ASSERT_TRUE(m_pane.Create(WS_VISIBLE, rc, &m_frame, 100));
        m_pane.SetHost(&m_host);
        lqtest::PumpPending();
    }
    void TearDown() override
    {
        m_pane.SetHost(nullptr);
        if (m_frame.m_hWnd != nullptr)
            m_frame.DestroyWindow();
        lqtest::PumpPending();
    }

    // Writes a page into the fixture's folder and navigates the pane to it.
    std::wstring ShowPage(const std::string& html, const wchar_t* name = L"page.tmp")
    {
        const std::wstring path = m_folder.File(name);
        EXPECT_TRUE(lqtest::WriteFileBytes(path, html));
        EXPECT_TRUE(m_pane.Navigate(CString(path.c_str())));
        return path;
    }

    // Clicks a client point of the pane with the real mouse.
    void Click(POINT client)
    {
        const POINT screen = ClientToScreenPoint(m_pane.m_hWnd, client.x, client.y);
        SendMouse(screen, 0);
        SendMouse(screen, MOUSEEVENTF_LEFTDOWN);
        SendMouse(screen, MOUSEEVENTF_LEFTUP);
    }

    lqtest::TempFolder m_folder;
    CWnd m_frame;
    CHtmlPane m_pane;
    RecordingHost m_host;
};

std::wstring Text(const CString& s)
{
    return std::wstring(s.GetString());
}

TEST_F(PaneFixture, FeedPageReadsBackAsTextAndLinks)
{
    ASSERT_TRUE(lqtest::WriteFileBytes(m_folder.File(L"red.png"), std::string(kRedPng, sizeof(kRedPng) - 1)));
    const std::wstring path = ShowPage(kFeedPage);

    const std::wstring text = Text(m_pane.GetPageText());
    for (const wchar_t* expected : {L"Tech & Science", L"caf\u00e9 \u00e9t\u00e9 <tag>", L"Item one", L"inner two",
                                    L"outer two", L"cell A", L"cell C", L"unclosed to the end"})
        EXPECT_NE(text.find(expected), std::wstring::npos) << lqtest::Narrow(expected);
    EXPECT_EQ(text.find(L"SCRIPTED"), std::wstring::npos);
    EXPECT_EQ(text.find(L"document.write"), std::wstring::npos);
    EXPECT_EQ(Text(m_pane.GetTitle()), L"Channel & news");

    const std::vector<CHtmlPaneLink> links = m_pane.GetLinks();
    std::vector<std::wstring> hrefs;
    for (const CHtmlPaneLink& link : links) {
        hrefs.push_back(Text(link.m_strHref));
        EXPECT_FALSE(link.m_rects.empty()) << lqtest::Narrow(Text(link.m_strHref));
    }
    // A script address is no link at all: its text stays, as text.
    const std::vector<std::wstring> expected = {L"http://example.com/a?x=1&y=2", L"more/two.html", L"bookmark:7"};
    EXPECT_EQ(hrefs, expected);
    EXPECT_NE(text.find(L"Scripted"), std::wstring::npos);
    EXPECT_EQ(Text(links[0].m_strText), L"Item one");
    // The page arrived with the events in order and the address as given.
    ASSERT_EQ(m_host.events.size(), 3u);
    EXPECT_EQ(m_host.events[0].kind, L"before");
    EXPECT_EQ(m_host.events[1].kind, L"navigate");
    EXPECT_EQ(m_host.events[2].kind, L"document");
    for (const PaneEvent& e : m_host.events)
        EXPECT_EQ(e.url, path);
}

TEST_F(PaneFixture, LocalImageIsDrawnScaledAndRemoteImageIsNot)
{
    ASSERT_TRUE(lqtest::WriteFileBytes(m_folder.File(L"red.png"), std::string(kRedPng, sizeof(kRedPng) - 1)));
    ShowPage("<body style=\"background-color:#ffffff\"><img src=\"red.png\" width=\"40\" height=\"20\">"
             "<img src=\"http://127.0.0.1:1/x.png\" width=\"40\" height=\"20\" alt=\"far\"></body>");
    const CHtmlRun* local = nullptr;
    const CHtmlRun* remote = nullptr;
    for (const CHtmlRun& run : m_pane.GetLayout().GetRuns())
        if (run.m_kind == CHtmlRun::kindImage)
            (run.m_strSource == L"red.png" ? local : remote) = &run;
    ASSERT_NE(local, nullptr);
    ASSERT_NE(remote, nullptr);
    EXPECT_EQ(local->m_rect.Width(), 40);
    EXPECT_EQ(local->m_rect.Height(), 20);

    // Draw the page into a memory bitmap and look at the pixels inside both image boxes.
    lqtest::MemoryCanvas canvas(300, 100);
    m_pane.DrawPage(canvas.Dc(), CRect(0, 0, 300, 100));
    EXPECT_EQ(canvas.At(local->m_rect.left + 20, local->m_rect.top + 10), RGB(255, 0, 0));
    EXPECT_NE(canvas.At(remote->m_rect.right - 3, remote->m_rect.bottom - 3), RGB(255, 0, 0));

    SIZE size{};
    HBITMAP decoded = CHtmlImageCache::DecodeFile(m_folder.File(L"red.png"), size);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(size.cx, 4);
    EXPECT_EQ(size.cy, 4);
    ::DeleteObject(decoded);
    EXPECT_EQ(CHtmlImageCache::DecodeFile(m_folder.File(L"page.tmp"), size), nullptr);
}

TEST_F(PaneFixture, MouseClickOnLinkRectangleNavigatesToResolvedAddress)
{
    const std::wstring path = ShowPage("<p>Intro line</p><p><a href=\"second.html\">Second &amp; page</a></p>"
                                       "<p><a href=\"http://127.0.0.1:1/far?a=1&amp;b=2\">Far</a></p>");
    ShowPage("<p>This is the second page</p>", L"second.html");
    ShowPage("<p>Intro line</p><p><a href=\"second.html\">Second &amp; page</a></p>"
             "<p><a href=\"http://127.0.0.1:1/far?a=1&amp;b=2\">Far</a></p>");
    ASSERT_TRUE(Activate(m_frame.m_hWnd));

    // A click on the remote link, cancelled: only the before event, and the page stays.
    m_host.events.clear();
    m_host.cancelAll = true;
    std::vector<CHtmlPaneLink> links = m_pane.GetLinks();
    ASSERT_EQ(links.size(), 2u);
    Click(links[1].m_rects[0].CenterPoint());
    ASSERT_TRUE(PumpTranslatedUntil([&] { return !m_host.events.empty(); }));
    lqtest::PumpPending();
    ASSERT_EQ(m_host.events.size(), 1u);
    EXPECT_EQ(m_host.events[0].url, L"http://127.0.0.1:1/far?a=1&b=2");
    EXPECT_EQ(Text(m_pane.GetLocationURL()), path);

    // A click on the relative link: resolved against the page's folder, and the new page shows.
    m_host.events.clear();
    m_host.cancelAll = false;
    Click(links[0].m_rects[0].CenterPoint());
    ASSERT_TRUE(PumpTranslatedUntil([&] { return m_host.events.size() >= 3; }));
    const std::wstring second = m_folder.File(L"second.html");
    EXPECT_EQ(m_host.events[0].url, second);
    EXPECT_EQ(m_host.events[2].kind, L"document");
    EXPECT_EQ(Text(m_pane.GetLocationURL()), second);
    EXPECT_NE(Text(m_pane.GetPageText()).find(L"second page"), std::wstring::npos);
    EXPECT_EQ(::GetFocus(), m_pane.m_hWnd);
}

TEST_F(PaneFixture, RefusedAddressesNeverLoadOrComplete)
{
    const std::wstring path = ShowPage("<p>Stays</p>");
    for (const wchar_t* address : {L"javascript:alert(1)", L"vbscript:x", L"data:text/html,<b>x</b>", L"bookmark:7"}) {
        m_host.events.clear();
        EXPECT_FALSE(m_pane.Navigate(CString(address)));
        // The host is still asked (it may open the address elsewhere), but nothing loads.
        ASSERT_EQ(m_host.events.size(), 1u) << lqtest::Narrow(address);
        EXPECT_EQ(m_host.events[0].kind, L"before");
        EXPECT_EQ(m_host.events[0].url, address);
        EXPECT_EQ(Text(m_pane.GetLocationURL()), path);
        EXPECT_EQ(Text(m_pane.GetPageText()).find(L"Stays"), 0u);
    }
}

TEST_F(PaneFixture, KeysScrollAndWalkLinks)
{
    std::string html = "<p><a href=\"first.html\">first link</a></p>";
    for (int i = 0; i < 200; ++i)
        html += "<p>Line " + std::to_string(i) + "</p>";
    html += "<p><a href=\"last.html\">last link</a></p>";
    ShowPage(html);
    ASSERT_TRUE(Activate(m_frame.m_hWnd));
    ::SetFocus(m_pane.m_hWnd);
    RECT client;
    ::GetClientRect(m_pane.m_hWnd, &client);
    const int maxTop = m_pane.GetScrollHeight() - client.bottom;
    ASSERT_GT(maxTop, 1000);
    EXPECT_TRUE(::GetWindowLongPtrW(m_pane.m_hWnd, GWL_STYLE) & WS_VSCROLL);

    auto press = [&](WORD vk) {
        const int before = m_pane.GetScrollTop();
        SendKey(vk, false);
        SendKey(vk, true);
        PumpTranslatedUntil([&] { return m_pane.GetScrollTop() != before; }, 2000);
        return m_pane.GetScrollTop();
    };
    EXPECT_GT(press(VK_NEXT), 200);
    EXPECT_EQ(press(VK_END), maxTop);
    EXPECT_EQ(press(VK_HOME), 0);
    EXPECT_EQ(press(VK_DOWN), 20);

    // Tab backwards from nothing focuses the last link and brings it into view; Enter follows it.
    SendKey(VK_SHIFT, false);
    SendKey(VK_TAB, false);
    SendKey(VK_TAB, true);
    SendKey(VK_SHIFT, true);
    ASSERT_TRUE(PumpTranslatedUntil([&] { return m_pane.GetFocusLink() == 1; }));
    EXPECT_GT(m_pane.GetScrollTop(), 1000);
    m_host.events.clear();
    m_host.cancelAll = true;
    SendKey(VK_RETURN, false);
    SendKey(VK_RETURN, true);
    ASSERT_TRUE(PumpTranslatedUntil([&] { return !m_host.events.empty(); }));
    EXPECT_EQ(m_host.events[0].url, m_folder.File(L"last.html"));
}

TEST_F(PaneFixture, MouseDragSelectsAndCtrlCCopiesPlainText)
{
    ShowPage("<p>Alpha beta gamma delta</p><p><b>Second</b> line here</p>");
    ASSERT_TRUE(Activate(m_frame.m_hWnd));
    const std::wstring text = Text(m_pane.GetPageText());

    // Exact: a selection set by offsets is what the clipboard gets.
    const int start = static_cast<int>(text.find(L"beta"));
    m_pane.SetSelection(start, start + 10);
    EXPECT_EQ(Text(m_pane.GetSelectedText()), L"beta gamma");

    // By the mouse: a drag across the first line, then Ctrl+C.
    const CHtmlRun* first = nullptr;
    for (const CHtmlRun& run : m_pane.GetLayout().GetRuns())
        if (run.m_kind == CHtmlRun::kindText && first == nullptr)
            first = &run;
    ASSERT_NE(first, nullptr);
    const CPoint from(first->m_rect.left + 1, first->m_rect.CenterPoint().y);
    const CPoint to(first->m_rect.right + 30, first->m_rect.CenterPoint().y + 40);
    SendMouse(ClientToScreenPoint(m_pane.m_hWnd, from.x, from.y), 0);
    SendMouse(ClientToScreenPoint(m_pane.m_hWnd, from.x, from.y), MOUSEEVENTF_LEFTDOWN);
    SendMouse(ClientToScreenPoint(m_pane.m_hWnd, from.x + 20, from.y), 0);
    SendMouse(ClientToScreenPoint(m_pane.m_hWnd, to.x, to.y), 0);
    SendMouse(ClientToScreenPoint(m_pane.m_hWnd, to.x, to.y), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpTranslatedUntil([&] { return ::GetCapture() == nullptr && !m_pane.GetSelectedText().IsEmpty(); }));
    ::OpenClipboard(nullptr);
    ::EmptyClipboard();
    ::CloseClipboard();
    frametest::SendCtrlKey('C');
    std::wstring copied;
    ASSERT_TRUE(PumpTranslatedUntil([&] {
        if (!::IsClipboardFormatAvailable(CF_UNICODETEXT) || !::OpenClipboard(nullptr))
            return false;
        if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
            copied = static_cast<const wchar_t*>(::GlobalLock(h));
            ::GlobalUnlock(h);
        }
        ::CloseClipboard();
        return !copied.empty();
    }));
    EXPECT_EQ(copied, Text(m_pane.GetSelectedText()));
    EXPECT_EQ(copied.rfind(L"Alpha beta gamma delta", 0), 0u) << lqtest::Narrow(copied);
    EXPECT_NE(copied.find(L"Second"), std::wstring::npos) << lqtest::Narrow(copied);
}

TEST_F(PaneFixture, FiveThousandItemsLayOutAndScrollWithoutNewLayout)
{
    std::string html = "<html><body>";
    for (int i = 0; i < 5000; ++i)
        html += "<div class=\"item\"><h3><a href=\"http://example.com/" + std::to_string(i) + "\">Item " +
                std::to_string(i) + "</a></h3><p>Description of item " + std::to_string(i) + "</p></div>";
    html += "<p>THE END</p></body></html>";
    ShowPage(html);
    EXPECT_EQ(m_pane.GetLinks().size(), 5000u);
    EXPECT_GT(m_pane.GetScrollHeight(), 5000 * 30);
    EXPECT_NE(Text(m_pane.GetPageText()).find(L"Description of item 4999"), std::wstring::npos);

    const int layouts = m_pane.GetLayoutCount();
    const CHtmlPaneLink target = m_pane.GetLinks()[2500];
    m_pane.SetScrollTop(target.m_rects[0].top - 10);
    ::UpdateWindow(m_pane.m_hWnd);
    EXPECT_EQ(m_pane.GetLayoutCount(), layouts);
    // After the scroll, item 2500 lies near the top of the client area.
    const CHtmlPaneLink shown = m_pane.GetLinks()[2500];
    EXPECT_EQ(shown.m_rects[0].top, 10);
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    ::GetScrollInfo(m_pane.m_hWnd, SB_VERT, &si);
    EXPECT_EQ(si.nPos, m_pane.GetScrollTop());
}

TEST_F(PaneFixture, BadInputStillGivesAPage)
{
    struct Case
    {
        const char* name;
        std::string html;
    };
    std::vector<Case> cases;
    std::string divs;
    while (divs.size() < 1024 * 1024)
        divs += "<div>x";
    cases.push_back({"unclosed divs", divs + "TAIL"});
    std::string deep;
    for (int i = 0; i < 10000; ++i)
        deep += "<b><i>";
    cases.push_back({"deep nesting", deep + "TAIL"});
    cases.push_back({"huge image", "<img src=\"a.png\" width=\"99999999\" height=\"99999999\" alt=\"big\">TAIL"});
    cases.push_back({"entity without semicolon", "AT&amp T&ltb&gt TAIL"});
    cases.push_back({"invalid utf-8", std::string("ok \xc3(\xe2\x82\xff\xfe TAIL")});
    cases.push_back({"binary", std::string("\0\x01\x02<\0>TAIL", 10)});
    for (const Case& c : cases) {
        ShowPage(c.html);
        ASSERT_NE(m_pane.GetDocument(), nullptr) << c.name;
        EXPECT_NE(Text(m_pane.GetPageText()).find(L"TAIL"), std::wstring::npos)
            << c.name << ": " << lqtest::Narrow(Text(m_pane.GetPageText()).substr(0, 200));
        ::UpdateWindow(m_pane.m_hWnd);
    }
}

TEST_F(PaneFixture, MissingFileShowsAnErrorPageAndStillCompletes)
{
    m_host.events.clear();
    const std::wstring missing = m_folder.File(L"nothing-here.htm");
    EXPECT_TRUE(m_pane.Navigate(CString(missing.c_str())));
    ASSERT_EQ(m_host.events.size(), 3u);
    EXPECT_EQ(m_host.events[2].url, missing);
    EXPECT_NE(Text(m_pane.GetPageText()).find(L"cannot be shown"), std::wstring::npos);
}

TEST(HtmlAddress, ResolvesAgainstThePage)
{
    struct Case
    {
        const wchar_t* base;
        const wchar_t* href;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"C:\\temp\\tm_1.tmp", L"two.html", L"C:\\temp\\two.html"},
        {L"C:\\temp\\tm_1.tmp", L"sub/x.htm", L"C:\\temp\\sub\\x.htm"},
        {L"C:\\temp\\tm_1.tmp", L"/root.htm", L"C:\\root.htm"},
        {L"C:\\temp\\tm_1.tmp", L"bookmark:12", L"bookmark:12"},
        {L"C:\\temp\\tm_1.tmp", L"HTTP://Example.com/A?b=1&c=2", L"HTTP://Example.com/A?b=1&c=2"},
        {L"C:\\temp\\tm_1.tmp", L"D:\\other\\file.htm", L"D:\\other\\file.htm"},
        {L"http://h.com/a/b/c.html?q=1", L"d.html", L"http://h.com/a/b/d.html"},
        {L"http://h.com/a/b/c.html", L"../d.html", L"http://h.com/a/d.html"},
        {L"http://h.com/a/b/c.html", L"./x/../y.html", L"http://h.com/a/b/y.html"},
        {L"http://h.com/a/b/c.html", L"/top?x=1#f", L"http://h.com/top?x=1#f"},
        {L"https://h.com:8443/a/b", L"//cdn.com/z.png", L"https://cdn.com/z.png"},
        {L"http://h.com/a/b?x=1#old", L"#frag", L"http://h.com/a/b?x=1#frag"},
        {L"http://h.com/a/b?x=1", L"?y=2", L"http://h.com/a/b?y=2"},
        {L"http://h.com", L"p.html", L"http://h.com/p.html"},
        {L"about:blank", L"p.html", L"p.html"},
        {L"http://h.com/a/", L"  mailto:x@y.z ", L"mailto:x@y.z"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HtmlResolveAddress(c.base, c.href), c.expected)
            << lqtest::Narrow(c.base) << " + " << lqtest::Narrow(c.href);
}

TEST(HtmlAddress, PathsInsideAFolderAreDrivePathsBelowIt)
{
    struct Case
    {
        const wchar_t* path;
        const wchar_t* folder;
        bool inside;
    };
    const Case cases[] = {
        {L"C:\\Data\\a.png", L"C:\\Data", true},
        {L"c:\\data\\images\\a.png", L"C:\\Data\\", true},
        {L"C:/Data/images/a.png", L"C:\\Data", true},
        {L"C:\\Data\\.\\sub\\..\\a.png", L"C:\\Data", true},
        {L"C:\\Data\\..\\Windows\\a.png", L"C:\\Data", false},
        {L"C:\\Data2\\a.png", L"C:\\Data", false},
        {L"C:\\Data", L"C:\\Data", false},
        {L"D:\\Data\\a.png", L"C:\\Data", false},
        {L"\\\\host\\share\\a.png", L"\\\\host\\share", false},
        {L"\\\\?\\C:\\Data\\a.png", L"C:\\Data", false},
        {L"\\\\.\\C:\\Data\\a.png", L"C:\\Data", false},
        {L"\\\\?\\UNC\\host\\share\\a.png", L"C:\\Data", false},
        {L"a.png", L"C:\\Data", false},
        {L"C:\\Data\\a.png", L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HtmlIsPathInFolder(c.path, c.folder), c.inside)
            << lqtest::Narrow(c.path) << " in " << lqtest::Narrow(c.folder);
}

// A page never makes the pane reach another machine (a UNC path is opened with the user's credentials) or read
// the disk outside its own folder and the one its host allows, however the source is written.
TEST(HtmlImages, OnlyThePagesFolderAndTheAllowedOneAreRead)
{
    lqtest::TempFolder page, pictures, elsewhere;
    const std::string png(kRedPng, sizeof(kRedPng) - 1);
    for (const lqtest::TempFolder* folder : {&page, &pictures, &elsewhere})
        ASSERT_TRUE(lqtest::WriteFileBytes(folder->File(L"red.png"), png));
    std::wstring elsewhereUrl = L"file:///" + elsewhere.File(L"red.png");
    for (wchar_t& c : elsewhereUrl)
        c = c == L'\\' ? L'/' : c;
    const std::wstring elsewhereName = elsewhere.Path().substr(elsewhere.Path().find_last_of(L'\\') + 1);
    struct Case
    {
        std::wstring source;
        bool shown;
    };
    const Case cases[] = {
        {L"red.png", true},
        {page.File(L"red.png"), true},
        {pictures.File(L"red.png"), true},
        {elsewhere.File(L"red.png"), false},
        {elsewhereUrl, false},
        {L"..\\" + elsewhereName + L"\\red.png", false},
        {L"\\\\?\\" + elsewhere.File(L"red.png"), false},
        {L"\\\\?\\" + page.File(L"red.png"), false},
        {L"\\\\.\\" + page.File(L"red.png"), false},
        {L"\\\\127.0.0.1\\share\\red.png", false},
        {L"\\\\?\\UNC\\127.0.0.1\\share\\red.png", false},
        {L"file://127.0.0.1/share/red.png", false},
        {L"//127.0.0.1/share/red.png", false},
        {L"http://127.0.0.1:1/red.png", false},
    };
    std::wstring pageUrl = L"file:///" + page.File(L"news.htm");
    for (wchar_t& c : pageUrl)
        c = c == L'\\' ? L'/' : c;
    for (const std::wstring& base : {page.File(L"news.htm"), pageUrl}) {
        CHtmlImageCache images;
        images.SetBase(base);
        images.AllowFolder(pictures.Path());
        for (const Case& c : cases) {
            SIZE size{};
            EXPECT_EQ(images.GetSize(c.source, size), c.shown)
                << lqtest::Narrow(base) << ": " << lqtest::Narrow(c.source);
            if (c.shown) {
                EXPECT_EQ(size.cx, 4);
            }
        }
    }
    // A remote page shows no local picture at all.
    CHtmlImageCache remote;
    remote.SetBase(L"http://127.0.0.1:1/page.html");
    remote.AllowFolder(pictures.Path());
    SIZE size{};
    EXPECT_FALSE(remote.GetSize(pictures.File(L"red.png"), size));
}

TEST(HtmlAddress, ClassifiesAndMapsFiles)
{
    struct Case
    {
        const wchar_t* address;
        HtmlAddressKind kind;
        const wchar_t* path;
    };
    const Case cases[] = {
        {L"about:blank", HtmlAddressKind::Blank, L""},
        {L"C:\\Temp\\tm_AB12.tmp", HtmlAddressKind::File, L"C:\\Temp\\tm_AB12.tmp"},
        {L"\\\\server\\share\\p.htm", HtmlAddressKind::File, L"\\\\server\\share\\p.htm"},
        {L"file:///C:/My%20Pages/p.htm", HtmlAddressKind::File, L"C:\\My Pages\\p.htm"},
        {L"res://prog.exe/109", HtmlAddressKind::Resource, L""},
        {L"https://h.com/", HtmlAddressKind::Http, L""},
        {L"javascript:alert(1)", HtmlAddressKind::Refused, L""},
        {L"data:text/html,<b>x</b>", HtmlAddressKind::Refused, L""},
        {L"bookmark:3", HtmlAddressKind::Refused, L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HtmlClassifyAddress(c.address), c.kind) << lqtest::Narrow(c.address);
        EXPECT_EQ(HtmlFilePathOf(c.address), c.path) << lqtest::Narrow(c.address);
    }
}

} // namespace
