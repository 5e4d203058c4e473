// The classic news view over a real channel cache file and the real feeds.xsl: rendering into a temporary page,
// clicks on item, enclosure, bookmark and foreign links through the pane's test hooks, the addresses that may
// never reach the shell, rendering failures, the temporary pages and the scroll position.
#include "views/FeedClassicView.h"

#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/ViewTemplates.h"
#include "feeds/WebAddresses.h"
#include "tests/support/TestSupport.h"
#include "tests/views/ViewsTestHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using lqtest::Narrow;

std::vector<std::wstring> g_launched;

bool RecordLaunch(const CString& address)
{
    g_launched.push_back(address.GetString());
    return true;
}

std::wstring Text(const CString& s)
{
    return std::wstring(s.GetString());
}

struct Navigation
{
    std::wstring url;
    std::string post;
    std::wstring headers;
};

class CRecordingClassicView : public CFeedClassicView, public CFeedViewSite
{
public:
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CByteArray& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override
    {
        navigations.push_back({lpszURL,
                               std::string(reinterpret_cast<const char*>(baPostedData.GetData()),
                                           static_cast<size_t>(baPostedData.GetSize())),
                               lpszHeaders != nullptr ? lpszHeaders : L""});
        CFeedClassicView::OnBeforeNavigate2(lpszURL, nFlags, lpszTargetFrameName, baPostedData, lpszHeaders, pbCancel);
    }
    void SaveEnclosure(CFeedItem* pItem) override { savedEnclosures.push_back(pItem); }
    void RedrawNavigation() override { ++redraws; }

    std::vector<Navigation> navigations;
    std::vector<CFeedItem*> savedEnclosures;
    int redraws = 0;
};

// Records the usage events that reach the main window.
class CUsageRecorder : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USAGE_EVENT) {
            codes.push_back(static_cast<int>(wParam));
            items.push_back(reinterpret_cast<CFeedItem*>(lParam));
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<int> codes;
    std::vector<CFeedItem*> items;
};

const wchar_t kTides[] = L"http://news.example.com/tides";
const wchar_t kPodcast[] = L"http://news.example.com/podcast-12";
const wchar_t kEnclosure[] = L"http://media.example.com/ep12.mp3";
const wchar_t kAlmanac[] = L"http://elsewhere.example.org/almanac";

class ClassicViewFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theViewsHost.SetRegistryKey(L"Lanternquill Tests");
        theViewsHost.WriteProfileInt(L"", L"OpenInReader", 0);
        m_savedFolder = theViewsHost.m_strDataFolder;
        theViewsHost.m_strDataFolder = m_data.Path().c_str();
        ASSERT_TRUE(InstallViewTemplates(lqtest::SourcePath(L"..\\res\\templates").c_str()));
        m_styleSheet = m_data.File(L"feeds.xsl");
        ASSERT_TRUE(::CopyFileW(lqtest::SourcePath(L"views\\fixtures\\classic-channel.rss").c_str(),
                                m_data.File(L"harbour.rss").c_str(), FALSE));

        m_entry = std::make_unique<CFeedItem>();
        m_entry->m_nKind = FEED_KIND_FEED;
        m_entry->m_strFile = L"harbour";
        m_entry->m_pChannel = new CFeedChannel;
        ASSERT_TRUE(m_entry->m_pChannel->LoadFile(m_entry->GetCacheFileName(), nullptr, CFeedChannel::LOAD_OWN_FILE));
        ASSERT_EQ(m_entry->m_pChannel->m_items.GetCount(), 4);

        g_launched.clear();
        m_previousLauncher = SetBrowserLauncher(RecordLaunch);

        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                          reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
        ASSERT_TRUE(m_main.CreateEx(0, cls, L"Usage", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        theViewsHost.m_pMainWnd = &m_main;
        ASSERT_TRUE(m_frame.CreateEx(0, cls, L"Classic view test", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                     40, 40, 520, 380, nullptr, nullptr));
        m_pView = new CRecordingClassicView;
        RECT rc;
        ::GetClientRect(m_frame.m_hWnd, &rc);
        ASSERT_TRUE(m_pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rc, &m_frame, AFX_IDW_PANE_FIRST));
        m_pView->SetSite(m_pView);
        lqtest::PumpPending();
        EXPECT_EQ(Text(m_pView->m_strCurrentAddress), L"about:blank");
    }
    void TearDown() override
    {
        if (m_frame.m_hWnd != nullptr)
            m_frame.DestroyWindow();
        theViewsHost.m_pMainWnd = nullptr;
        if (m_main.m_hWnd != nullptr)
            m_main.DestroyWindow();
        lqtest::PumpPending();
        SetBrowserLauncher(m_previousLauncher);
        theViewsHost.m_strDataFolder = m_savedFolder;
        theViewsHost.WriteProfileInt(L"", L"OpenInReader", 0);
    }

    void ShowChannel()
    {
        m_pView->SetStyleSheet(m_styleSheet.c_str());
        m_pView->m_pShownEntry = m_entry.get();
        ASSERT_EQ(m_pView->ShowFeed(m_entry->GetCacheFileName()), 1);
        lqtest::PumpPending();
    }

    CFeedItem* Item(int index) const
    {
        POSITION pos = m_entry->m_pChannel->m_items.FindIndex(index);
        return pos != nullptr ? m_entry->m_pChannel->m_items.GetAt(pos) : nullptr;
    }

    std::vector<int> ReadStates() const
    {
        std::vector<int> states;
        for (int i = 0; i < 4; ++i)
            states.push_back(Item(i)->m_nReadState);
        return states;
    }

    bool HasLink(const std::wstring& href) const
    {
        for (const CHtmlPaneLink& link : m_pView->GetLinks())
            if (Text(link.m_strHref) == href)
                return true;
        return false;
    }

    lqtest::TempFolder m_data;
    CString m_savedFolder;
    std::wstring m_styleSheet;
    std::unique_ptr<CFeedItem> m_entry;
    BrowserLauncher m_previousLauncher = nullptr;
    CUsageRecorder m_main;
    CWnd m_frame;
    CRecordingClassicView* m_pView = nullptr;
};

TEST_F(ClassicViewFixture, ShowsTheChannelCacheFileThroughTheStyleSheetFromATemporaryPage)
{
    ShowChannel();
    const std::wstring page = Text(m_pView->m_strRenderedFile);
    ASSERT_FALSE(page.empty());
    WCHAR temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(page.compare(0, wcslen(temp), temp), 0) << Narrow(page);
    EXPECT_EQ(page.substr(wcslen(temp), 3), L"tm_");
    EXPECT_EQ(Text(m_pView->GetLocationURL()), page);
    EXPECT_EQ(Text(m_pView->m_strCurrentAddress), Text(m_entry->GetCacheFileName()));

    const std::wstring text = Text(m_pView->GetPageText());
    for (const wchar_t* expected :
         {L"Harbour Gazette", L"Tide tables for the week", L"Harbour podcast, episode 12", L"High water at noon."})
        EXPECT_NE(text.find(expected), std::wstring::npos) << Narrow(expected);
    for (const wchar_t* href : {kTides, kPodcast, kEnclosure, L"bookmark:1", kAlmanac})
        EXPECT_TRUE(HasLink(href)) << Narrow(href);
    // The view's own navigation opened nothing.
    EXPECT_TRUE(g_launched.empty());
}

TEST_F(ClassicViewFixture, AClickOnAnItemMarksEveryItemOfThatLinkReadAndOpensExactlyThatAddress)
{
    ShowChannel();
    const std::wstring firstPage = Text(m_pView->m_strRenderedFile);
    const std::vector<int> before = ReadStates();

    EXPECT_FALSE(m_pView->ClickLink(kTides));

    ASSERT_EQ(g_launched.size(), 1u);
    EXPECT_EQ(g_launched[0], kTides);
    const std::vector<int> after = ReadStates();
    EXPECT_EQ(after[0], FEED_STATE_READ);
    EXPECT_EQ(after[2], FEED_STATE_READ);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_EQ(after[3], before[3]);
    EXPECT_EQ(m_entry->m_nReadCount, 2);
    // The usage event names the later of the two items.
    ASSERT_EQ(m_main.codes.size(), 1u);
    EXPECT_EQ(m_main.codes[0], 5);
    EXPECT_EQ(m_main.items[0], Item(2));
    EXPECT_EQ(m_pView->redraws, 1);

    // The cache file holds the read states, and the page was rendered again from it into a new temporary page.
    CFeedChannel reloaded;
    ASSERT_TRUE(reloaded.LoadFile(m_entry->GetCacheFileName(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    std::vector<int> stored;
    for (POSITION pos = reloaded.m_items.GetHeadPosition(); pos != nullptr;)
        stored.push_back(reloaded.m_items.GetNext(pos)->m_nReadState);
    EXPECT_EQ(stored, after);
    EXPECT_NE(Text(m_pView->m_strRenderedFile), firstPage);
    EXPECT_EQ(Text(m_pView->GetLocationURL()), Text(m_pView->m_strRenderedFile));
    EXPECT_EQ(::GetFileAttributesW(firstPage.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(HasLink(kTides));
}

TEST_F(ClassicViewFixture, LinksThatAreNoItemMarkNothingAndOnlyCheckedAddressesReachTheLauncher)
{
    ShowChannel();
    struct Case
    {
        const wchar_t* href;
        bool opens;
    };
    const Case cases[] = {
        {kAlmanac, true},
        {L"file:///C:/windows/notepad.exe", false},
        {L"javascript:alert(1)", false},
    };
    const std::vector<int> before = ReadStates();
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.href));
        if (!HasLink(c.href))
            continue; // the feed reader may have dropped a script link; the address is tried below as well
        g_launched.clear();
        const std::wstring page = Text(m_pView->GetLocationURL());
        m_pView->ClickLink(c.href);
        EXPECT_EQ(g_launched.size(), c.opens ? 1u : 0u);
        if (c.opens) {
            EXPECT_EQ(g_launched[0], c.href);
        }
        EXPECT_EQ(Text(m_pView->GetLocationURL()), page);
        EXPECT_EQ(ReadStates(), before);
        EXPECT_TRUE(m_main.codes.empty());
    }
    EXPECT_TRUE(HasLink(L"file:///C:/windows/notepad.exe"));

    // The same addresses offered as a navigation the view did not start.
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.href));
        g_launched.clear();
        CByteArray post;
        BOOL bCancel = FALSE;
        m_pView->OnBeforeNavigate2(c.href, 0, L"", post, L"", &bCancel);
        EXPECT_TRUE(bCancel);
        EXPECT_EQ(g_launched.size(), c.opens ? 1u : 0u);
    }
    EXPECT_TRUE(m_pView->savedEnclosures.empty());
}

TEST_F(ClassicViewFixture, AnEnclosureLinkGoesToTheFramesSaveCommandOnly)
{
    ShowChannel();
    const std::wstring page = Text(m_pView->m_strRenderedFile);
    const std::vector<int> before = ReadStates();
    m_pView->ClickLink(kEnclosure);
    ASSERT_EQ(m_pView->savedEnclosures.size(), 1u);
    EXPECT_EQ(m_pView->savedEnclosures[0], Item(1));
    EXPECT_TRUE(g_launched.empty());
    EXPECT_TRUE(m_main.codes.empty());
    EXPECT_EQ(m_pView->redraws, 0);
    EXPECT_EQ(ReadStates(), before);
    EXPECT_EQ(Text(m_pView->m_strRenderedFile), page);
}

TEST_F(ClassicViewFixture, ABookmarkLinkPostsTheItemWithABodySizedToItsContent)
{
    theViewsHost.m_settings.szBookmarkUrl[0] = 0;
    const std::wstring service = lqtest::HttpUrl(L"/echo");
    ASSERT_LT(service.size(), 100u);
    wcscpy_s(theViewsHost.m_settings.szBookmarkUrl, service.c_str());
    // A description far past the old fixed buffer of 65,535 bytes.
    Item(0)->m_strDescription = CString(L'x', 70000);
    ShowChannel();
    m_pView->navigations.clear();

    EXPECT_FALSE(m_pView->ClickLink(L"bookmark:1"));

    ASSERT_EQ(m_pView->navigations.size(), 2u);
    EXPECT_EQ(m_pView->navigations[0].url, L"bookmark:1");
    const Navigation& post = m_pView->navigations[1];
    EXPECT_EQ(post.url, service);
    EXPECT_EQ(post.headers, L"Content-Type: application/x-www-form-urlencoded");
    const std::string expected = "&title=Tide+tables+for+the+week&description=" + std::string(70000, 'x') +
                                 "&url=http%3A%2F%2Fnews%2Eexample%2Ecom%2Ftides";
    EXPECT_EQ(post.post.size(), expected.size());
    EXPECT_EQ(post.post, expected);
    EXPECT_EQ(m_pView->m_bBookmarkPost, 1);
    EXPECT_TRUE(g_launched.empty());

    // The service's answer is shown in the view, and the view still follows its own links there.
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !m_pView->GetBusy(); }));
    EXPECT_EQ(Text(m_pView->GetLocationURL()), service);
    EXPECT_EQ(m_pView->m_bSelfNavigation, 1);

    // A bookmark text that matches no item is cancelled and posts nothing.
    m_pView->navigations.clear();
    CByteArray none;
    BOOL bCancel = FALSE;
    m_pView->OnBeforeNavigate2(L"bookmark:99", 0, L"", none, L"", &bCancel);
    EXPECT_TRUE(bCancel);
    EXPECT_EQ(m_pView->navigations.size(), 1u);
    theViewsHost.m_settings.szBookmarkUrl[0] = 0;
}

TEST_F(ClassicViewFixture, ARenderingFailureShowsItsMessageAndKeepsThePreviousPage)
{
    ShowChannel();
    const std::wstring page = Text(m_pView->m_strRenderedFile);
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"broken.xsl"), "<xsl:stylesheet version=\"1.0\" "
                                                                   "xmlns:xsl=\"http://www.w3.org/1999/XSL/"
                                                                   "Transform\"><xsl:template match=\"/\">"));
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"broken.rss"), "<rss><channel><title>Cut short"));
    struct Case
    {
        std::wstring styleSheet;
        std::wstring document;
    };
    const Case cases[] = {
        {m_data.File(L"broken.xsl"), Text(m_entry->GetCacheFileName())},
        {m_styleSheet, m_data.File(L"broken.rss")},
        {m_styleSheet, m_data.File(L"missing.rss")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.styleSheet + L" " + c.document));
        lqtest::PumpPending();
        lqtest::ExpectModal modal;
        m_pView->SetStyleSheet(c.styleSheet.c_str());
        EXPECT_EQ(m_pView->ShowFeed(c.document.c_str()), 0);
        EXPECT_EQ(modal.Closed(), 1);
        EXPECT_EQ(Text(m_pView->m_strLastError).rfind(L"Failed to parse document.\nError 0x", 0), 0u)
            << Narrow(Text(m_pView->m_strLastError));
        EXPECT_NE(Text(m_pView->m_strLastError).find(L" on line "), std::wstring::npos);
        EXPECT_EQ(Text(m_pView->GetLocationURL()), page);
        EXPECT_EQ(Text(m_pView->m_strRenderedFile), page);
        EXPECT_NE(::GetFileAttributesW(page.c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(ClassicViewFixture, TemporaryPagesNeverPileUp)
{
    std::vector<std::wstring> pages;
    for (int i = 0; i < 4; ++i) {
        ShowChannel();
        pages.push_back(Text(m_pView->m_strRenderedFile));
    }
    for (size_t i = 0; i + 1 < pages.size(); ++i)
        EXPECT_EQ(::GetFileAttributesW(pages[i].c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(pages[i]);
    EXPECT_NE(::GetFileAttributesW(pages.back().c_str()), INVALID_FILE_ATTRIBUTES);
    // Pages other than a rendering leave the last rendering in place until the view goes.
    EXPECT_EQ(m_pView->ShowFeed(L"about:blank"), 1);
    EXPECT_EQ(m_pView->m_pShownEntry, nullptr);
    EXPECT_NE(::GetFileAttributesW(pages.back().c_str()), INVALID_FILE_ATTRIBUTES);
    m_frame.DestroyWindow();
    lqtest::PumpPending();
    EXPECT_EQ(::GetFileAttributesW(pages.back().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ClassicViewFixture, TheScrollPositionIsKeptWhenThePageIsRenderedAgain)
{
    // Enough items that the page scrolls in the small window.
    for (int i = 0; i < 40; ++i) {
        CFeedItem* pItem = new CFeedItem;
        pItem->m_strTitle.Format(L"Filler story %d", i);
        pItem->m_strTitleText = pItem->m_strTitle;
        pItem->m_strLink.Format(L"http://news.example.com/filler-%d", i);
        pItem->m_strLinkText = pItem->m_strLink;
        pItem->m_strDescription = L"A paragraph that takes some room on the page.";
        m_entry->m_pChannel->m_items.AddTail(pItem);
    }
    ASSERT_TRUE(m_entry->m_pChannel->SaveCache(m_entry->GetCacheFileName(), TRUE));
    ShowChannel();
    CHtmlPageDocument* pDocument = m_pView->GetHtmlDocument();
    ASSERT_NE(pDocument, nullptr);
    CHtmlBodyElement* pBody = nullptr;
    ASSERT_EQ(pDocument->get_body(&pBody), S_OK);
    long height = 0;
    pBody->get_scrollHeight(&height);
    ASSERT_GT(height, 1000);
    ASSERT_EQ(pBody->put_scrollTop(600), S_OK);

    // An item click renders the page again.
    m_pView->ClickLink(L"http://news.example.com/filler-30");
    ASSERT_EQ(pDocument->get_body(&pBody), S_OK);
    long top = 0;
    pBody->get_scrollTop(&top);
    EXPECT_EQ(top, 600);
    EXPECT_EQ(m_pView->m_nSavedScrollTop, 0);

    // So does a refresh of the shown channel.
    ASSERT_EQ(pBody->put_scrollTop(300), S_OK);
    ShowChannel();
    ASSERT_EQ(m_pView->GetHtmlDocument()->get_body(&pBody), S_OK);
    pBody->get_scrollTop(&top);
    EXPECT_EQ(top, 300);

    // Another channel opens at the top.
    ASSERT_TRUE(::CopyFileW(m_entry->GetCacheFileName(), m_data.File(L"other.rss").c_str(), FALSE));
    ASSERT_EQ(m_pView->ShowFeed(m_data.File(L"other.rss").c_str()), 1);
    ASSERT_EQ(m_pView->GetHtmlDocument()->get_body(&pBody), S_OK);
    pBody->get_scrollTop(&top);
    EXPECT_EQ(top, 0);
}

TEST_F(ClassicViewFixture, AnEmptyRequestShowsABlankPageAndForgetsTheChannel)
{
    ShowChannel();
    theViewsHost.m_settings.szHomePage[0] = 0;
    EXPECT_EQ(m_pView->ShowFeed(nullptr), 1);
    EXPECT_EQ(m_pView->m_pShownEntry, nullptr);
    EXPECT_EQ(Text(m_pView->m_strCurrentAddress), L"about:blank");
    EXPECT_EQ(Text(m_pView->GetLocationURL()), L"about:blank");

    // With no channel shown, a link is followed inside the view: nothing reaches the launcher.
    g_launched.clear();
    CByteArray post;
    BOOL bCancel = TRUE;
    m_pView->m_bSelfNavigation = 0;
    m_pView->OnBeforeNavigate2(kAlmanac, 0, L"", post, L"", &bCancel);
    EXPECT_FALSE(bCancel);
    EXPECT_TRUE(g_launched.empty());
}

TEST_F(ClassicViewFixture, WithOpenInReaderEveryLinkStaysInTheView)
{
    ShowChannel();
    theViewsHost.WriteProfileInt(L"", L"OpenInReader", 1);
    const std::vector<int> before = ReadStates();
    CByteArray post;
    BOOL bCancel = TRUE;
    m_pView->OnBeforeNavigate2(kTides, 0, L"", post, L"", &bCancel);
    EXPECT_FALSE(bCancel);
    EXPECT_TRUE(g_launched.empty());
    EXPECT_EQ(ReadStates(), before);
    EXPECT_TRUE(m_main.codes.empty());
    // A bookmark link is still cancelled.
    bCancel = FALSE;
    m_pView->OnBeforeNavigate2(L"bookmark:1", 0, L"", post, L"", &bCancel);
    EXPECT_TRUE(bCancel);
}

} // namespace
