// The news page as our own HTML pane shows it: a channel's cache file through the installed feeds.xsl, rendered
// in CHtmlPane, with the text, links and title styles the page asks for.
#include "tests/feeds/FeedTestHost.h"
#include "tests/feeds/NewsPageTransform.h"
#include "feeds/ViewTemplates.h"
#include "feeds/XmlDom.h"
#include "framework/html/HtmlPane.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using lqtest::Narrow;

namespace {

std::wstring CacheFixturePath()
{
    return lqtest::SourcePath(L"feeds/net/cache.rss");
}

// The installed news page of tests/feeds/net/cache.rss, shown in a pane on a top-level window.
class NewsPageInPane : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedData = theHost.m_strDataFolder;
        m_savedBookmark = theHost.m_settings.szBookmarkUrl;
        theHost.m_strDataFolder = m_data.Path().c_str();
        lstrcpynW(theHost.m_settings.szBookmarkUrl, L"http://bm.example/add", 100);
        ASSERT_TRUE(InstallViewTemplates());
        const std::string page = TransformToBytes(CacheFixturePath(), m_data.File(L"feeds.xsl"));
        ASSERT_FALSE(page.empty());

        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                          reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
        ASSERT_TRUE(m_frame.CreateEx(0, cls, L"News page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 640, 480, nullptr,
                                     nullptr));
        RECT rc;
        ::GetClientRect(m_frame.m_hWnd, &rc);
        ASSERT_TRUE(m_pane.Create(WS_VISIBLE, rc, &m_frame, 100));
        m_pane.ShowHtml(page, CString(m_data.File(L"news.htm").c_str()));
        lqtest::PumpPending();
    }
    void TearDown() override
    {
        if (m_frame.m_hWnd != nullptr)
            m_frame.DestroyWindow();
        lqtest::PumpPending();
        theHost.m_strDataFolder = m_savedData;
        lstrcpynW(theHost.m_settings.szBookmarkUrl, m_savedBookmark, 100);
    }

    // The styles of the text runs that hold the word, in page order.
    std::vector<CHtmlStyle> StylesOf(const wchar_t* word) const
    {
        std::vector<CHtmlStyle> styles;
        const CHtmlLayout& layout = m_pane.GetLayout();
        for (const CHtmlRun& run : layout.GetRuns())
            if (run.m_kind == CHtmlRun::kindText && run.m_strText.Find(word) >= 0)
                styles.push_back(layout.GetStyle(run.m_nStyle));
        return styles;
    }

    lqtest::TempFolder m_data;
    CString m_savedData;
    CString m_savedBookmark;
    CWnd m_frame;
    CHtmlPane m_pane;
};

TEST_F(NewsPageInPane, TextShowsTheChannelAndItemsWithTheirMarkupRendered)
{
    const std::string text = Narrow(std::wstring(m_pane.GetPageText().GetString()));
    for (const char* expected :
         {"Sample & Channel", "A channel for the news page", "First story", "Second, without a link", "Third",
          "Hello world", "Plain text", "Tue, 10 Jun 2003 04:00:00 GMT", "Enclosure (audio/mpeg)", "Bookmark this item"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    for (const char* markup : {"<b>", "<i>", "&amp;", "&lt;", "&nbsp;"})
        EXPECT_EQ(text.find(markup), std::string::npos) << markup << "\n" << text;
    EXPECT_STREQ(m_pane.GetTitle().GetString(), L"Sample & Channel");
}

TEST_F(NewsPageInPane, LinksAreExactlyTheItemLinksEnclosuresAndBookmarks)
{
    std::vector<std::string> hrefs, texts;
    for (const CHtmlPaneLink& link : m_pane.GetLinks()) {
        hrefs.push_back(Narrow(std::wstring(link.m_strHref.GetString())));
        texts.push_back(Narrow(std::wstring(link.m_strText.GetString())));
        EXPECT_FALSE(link.m_rects.empty()) << hrefs.back();
    }
    EXPECT_EQ(hrefs, (std::vector<std::string>{"http://example.org/a?x=1&y=2", "http://example.org/e.mp3?a=1&amp;b=2",
                                               "bookmark:1", "bookmark:2", "http://example.org/c"}));
    EXPECT_EQ(texts, (std::vector<std::string>{"First story", "Enclosure (audio/mpeg)", "Bookmark this item",
                                               "Bookmark this item", "Third"}));
}

TEST_F(NewsPageInPane, TitlesAreBoldUnlessReadAndInTheTitleColour)
{
    const COLORREF titleColour = RGB(0x1c, 0x3c, 0x70);
    struct Case
    {
        const wchar_t* word;
        int weight;
        bool italic;
    };
    const Case cases[] = {
        {L"First", FW_BOLD, false},             // new, with a link
        {L"story", FW_BOLD, true},              // markup inside the title keeps the title's look
        {L"Second, without", FW_NORMAL, false}, // read, no link
        {L"Third", FW_BOLD, false},             // unread, with a link
    };
    for (const Case& c : cases) {
        const std::vector<CHtmlStyle> styles = StylesOf(c.word);
        ASSERT_FALSE(styles.empty()) << Narrow(c.word);
        EXPECT_EQ(styles.front().m_nWeight, c.weight) << Narrow(c.word);
        EXPECT_EQ(styles.front().m_crText, titleColour) << Narrow(c.word);
        EXPECT_EQ(!!styles.front().m_bItalic, c.italic) << Narrow(c.word);
    }
    // The body text stays in the page's own colour and weight, the dates are grey, the actions in the link colour.
    const std::vector<CHtmlStyle> body = StylesOf(L"Plain");
    ASSERT_FALSE(body.empty());
    EXPECT_EQ(body.front().m_crText, RGB(0x20, 0x20, 0x20));
    EXPECT_EQ(body.front().m_nWeight, FW_NORMAL);
    const std::vector<CHtmlStyle> date = StylesOf(L"2003");
    ASSERT_FALSE(date.empty());
    EXPECT_EQ(date.front().m_crText, RGB(0x80, 0x80, 0x80));
    const std::vector<CHtmlStyle> bookmark = StylesOf(L"Bookmark");
    ASSERT_FALSE(bookmark.empty());
    EXPECT_EQ(bookmark.front().m_crText, RGB(0x30, 0x60, 0xa0));
}

TEST_F(NewsPageInPane, TheChannelHeaderSitsOnItsOwnBackground)
{
    const CHtmlLayout& layout = m_pane.GetLayout();
    EXPECT_EQ(layout.GetBackground(), RGB(0xff, 0xff, 0xff));
    CRect header;
    for (const CHtmlRun& run : layout.GetRuns())
        if (run.m_kind == CHtmlRun::kindBackground &&
            layout.GetStyle(run.m_nStyle).m_crBackground == RGB(0xee, 0xf2, 0xf8))
            header.UnionRect(header, run.m_rect);
    ASSERT_FALSE(header.IsRectEmpty());
    // The channel's title lies on it; the first item's title below it.
    bool titleOnHeader = false, itemBelow = false;
    for (const CHtmlRun& run : layout.GetRuns()) {
        if (run.m_kind != CHtmlRun::kindText)
            continue;
        if (run.m_strText.Find(L"Channel") >= 0)
            titleOnHeader = header.PtInRect(run.m_rect.CenterPoint()) != FALSE;
        if (run.m_strText.Find(L"First") >= 0)
            itemBelow = run.m_rect.top >= header.bottom;
    }
    EXPECT_TRUE(titleOnHeader);
    EXPECT_TRUE(itemBelow);
}

} // namespace
