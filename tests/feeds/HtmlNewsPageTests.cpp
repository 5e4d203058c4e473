// The news page as our own HTML pane shows it: a channel's cache file through the installed feeds.xsl, rendered
// in CHtmlPane, with the text, links and title styles the page asks for.
#include "tests/feeds/FeedTestHost.h"
#include "tests/feeds/NewsPageTransform.h"
#include "feeds/FeedChannel.h"
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

// A cache file written by hand or by an older version may hold any picture: the news page, rendered where the news
// view renders it (the temporary folder) with the data folder allowed, shows those of the data folder and reaches
// no other machine or folder, however the source is written.
TEST_F(NewsPageInPane, PicturesOfACacheFileComeOnlyFromTheDataFolder)
{
    const std::string png("\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x04\x00\x00\x00"
                          "\x04\x08\x06\x00\x00\x00\xa9\xf1\x9e\x7e\x00\x00\x00\x12\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf"
                          "\xc0\xf0\x1f\x19\x33\x90\x2e\x00\x00\x3c\x40\x1f\xe1\xe0\x81\x77\xb4\x00\x00\x00\x00\x49\x45"
                          "\x4e\x44\xae\x42\x60\x82",
                          75);
    lqtest::TempFolder elsewhere, temporary;
    ASSERT_TRUE(lqtest::WriteFileBytes(elsewhere.File(L"red.png"), png));
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"red.png"), png));
    const std::string outside = Narrow(elsewhere.File(L"red.png"));
    const std::string hostile[] = {
        "\\\\?\\" + outside,
        outside,
        "\\\\127.0.0.1\\share\\red.png",
        "\\\\?\\UNC\\127.0.0.1\\share\\red.png",
        "&amp;#92;&amp;#92;127.0.0.1&amp;#92;share&amp;#92;red.png",
        "//127.0.0.1/share/red.png",
        "file://127.0.0.1/share/red.png",
    };
    std::string description;
    for (const std::string& source : hostile)
        description += "&lt;img src=\"" + source + "\"&gt;";
    description += "&lt;img src=\"" + Narrow(m_data.File(L"red.png")) + "\"&gt;";
    const std::string cache = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<rss version=\"2.0\">"
                              "<channel><title>Pictures</title><item><title>Item</title><description>" +
                              description + "</description><read>true</read></item></channel></rss>\n";
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"pictures.rss"), cache));
    const std::string page = TransformToBytes(m_data.File(L"pictures.rss"), m_data.File(L"feeds.xsl"));
    ASSERT_FALSE(page.empty());

    m_pane.AllowImagesFrom(CString(m_data.Path().c_str()));
    m_pane.ShowHtml(page, CString(temporary.File(L"tm_1.tmp").c_str()));
    std::vector<std::string> shown;
    for (const CHtmlRun& run : m_pane.GetLayout().GetRuns())
        if (run.m_kind == CHtmlRun::kindImage && run.m_strSource.Find(L"red.png") >= 0)
            shown.push_back(Narrow(std::wstring(run.m_strSource.GetString())));
    EXPECT_EQ(shown, std::vector<std::string>{Narrow(m_data.File(L"red.png"))});
    // The state icon, a picture of the data folder too, still shows.
    bool stateIcon = false;
    for (const CHtmlRun& run : m_pane.GetLayout().GetRuns())
        stateIcon = stateIcon || (run.m_kind == CHtmlRun::kindImage && run.m_strSource.Find(L"read.png") >= 0);
    EXPECT_TRUE(stateIcon);
}

// The channel's title and copyright show as written, its description as markup.
TEST_F(NewsPageInPane, ChannelTextShowsInItsOneForm)
{
    CFeedChannel channel;
    channel.m_info.m_strTitle = L"a < b & c <b>bold</b>";
    channel.m_info.m_strCopyright = L"(c) <Quill> & Co";
    channel.m_info.m_strDescription = L"About <b>us</b> &amp; them";
    const std::wstring cache = m_data.File(L"text.rss");
    ASSERT_TRUE(channel.SaveCache(cache.c_str(), TRUE));
    const std::string page = TransformToBytes(cache, m_data.File(L"feeds.xsl"));
    ASSERT_FALSE(page.empty());
    m_pane.ShowHtml(page, CString(m_data.File(L"news.htm").c_str()));
    const std::string text = Narrow(std::wstring(m_pane.GetPageText().GetString()));
    for (const char* expected : {"a < b & c <b>bold</b>", "(c) <Quill> & Co", "About us & them"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_STREQ(m_pane.GetTitle().GetString(), L"a < b & c <b>bold</b>");
    const std::vector<CHtmlStyle> bold = StylesOf(L"us");
    ASSERT_FALSE(bold.empty());
    EXPECT_EQ(bold.front().m_nWeight, FW_BOLD);
}

} // namespace
