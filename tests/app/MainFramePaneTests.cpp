// The main frame's navigation pane built from the subscription lists: every kind of entry in its group with its
// caption and icon, site icons from the data folder (good, missing, damaged), and the fixed groups for the
// maker's offers, the weather panel and the quick filter's results.
#include "app/MainFrm.h"
#include "tests/app/MainFrameTestSupport.h"
#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "res/resource.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestSupport.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"
#include "views/FeedPopupBar.h"
#include "views/FeedTaskPanelPaintManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using apptest::FindByTitle;
using lqtest::CountingMainFrame;
using lqtest::HttpUrl;
using lqtest::Narrow;
using lqtest::PumpUntil;
using lqtest::SourcePath;
using lqtest::TempFolder;

namespace {

struct EntrySeed
{
    const wchar_t* title;
    int kind;
    const wchar_t* category;
    const wchar_t* file;
};

CFeedItem* NewEntry(const EntrySeed& seed)
{
    auto* entry = new CFeedItem;
    entry->m_nKind = seed.kind;
    entry->m_strTitle = entry->m_strTitleText = seed.title;
    entry->m_strDescription = entry->m_strDescriptionText = (std::wstring(L"About ") + seed.title).c_str();
    entry->m_strLink = entry->m_strLinkText = L"http://127.0.0.1:1/feed";
    entry->m_strCategory = seed.category;
    entry->m_strFile = seed.file;
    return entry;
}

// Each group's caption, then its items' captions in order.
std::vector<std::vector<std::wstring>> PaneContents(CFeedTaskPanel& pane)
{
    std::vector<std::vector<std::wstring>> contents;
    for (int g = 0; g < pane.GetGroupCount(); ++g) {
        CXTPTaskPanelGroup* group = pane.GetAt(g);
        std::vector<std::wstring> row{group->GetCaption().GetString()};
        for (int i = 0; i < group->GetItemCount(); ++i)
            row.push_back(group->GetAt(i)->GetCaption().GetString());
        contents.push_back(row);
    }
    return contents;
}

class MainFramePaneTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theApp.m_settings.nHideReadChannels = 0;
        theApp.WriteProfileInt(L"", L"Check at startup", 0);
    }
    void TearDown() override
    {
        if (m_frame)
            m_frame->DestroyWindow();
        lqtest::PumpPending();
    }

    void SaveLists(const std::vector<EntrySeed>& mainSeeds, const std::vector<EntrySeed>& customSeeds)
    {
        CFeedChannel custom;
        for (const EntrySeed& seed : customSeeds)
            custom.m_items.AddTail(NewEntry(seed));
        ASSERT_TRUE(custom.SaveMainFeeds());
        ASSERT_TRUE(::MoveFileW(m_data.File(L"MainFeed.xml").c_str(), m_data.File(L"CustomFeed.xml").c_str()));
        CFeedChannel main;
        for (const EntrySeed& seed : mainSeeds)
            main.m_items.AddTail(NewEntry(seed));
        ASSERT_TRUE(main.SaveMainFeeds());
    }

    void Start()
    {
        m_frame = new CountingMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
        // The worker's start-of-life report ends before the pane is looked at.
        ASSERT_TRUE(PumpUntil([&] { return m_frame->Pane().m_ended == 1; }));
    }

    TempFolder m_data;
    TempFolder m_temp;
    apptest::AppSandbox m_sandbox{L"LanternquillPaneTests", m_data, m_temp};
    CountingMainFrame* m_frame = nullptr; // deletes itself with its window
};

TEST_F(MainFramePaneTest, EveryKindOfEntryTakesItsPlaceWithItsCaptionAndIcon)
{
    const std::string icon = lqtest::ReadFileBytes(SourcePath(L"views/fixtures/site.ico"));
    ASSERT_FALSE(icon.empty());
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"good.ico"), icon));
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"damaged.ico"), "<html>404</html>"));
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"cut.ico"), icon.substr(0, 40)));
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"notice.bmp"),
                                       lqtest::ReadFileBytes(SourcePath(L"views/fixtures/logo.bmp"))));
    SaveLists(
        {
            {L"Good icon", FEED_KIND_FEED, L"World", L"good"},
            {L"No icon", FEED_KIND_FEED, L"World", L"missing"},
            {L"Damaged icon", FEED_KIND_FEED, L"World", L"damaged"},
            {L"Cut icon", FEED_KIND_FEED, L"World", L"cut"},
            {L"World notice", FEED_KIND_NOTICE, L"World", L"notice.bmp"},
            {L"Plain notice", FEED_KIND_NOTICE, L"", L""},
            {L"Find it", FEED_KIND_SEARCH_IN, L"Search", L""},
            {L"Look out", FEED_KIND_SEARCH_OUT, L"Search", L""},
            {L"Web page", FEED_KIND_IFRAME, L"", L""},
        },
        {
            {L"My feed", FEED_KIND_FEED, L"Mine", L"mine"},
            {L"Maker offer", FEED_KIND_NOTICE, L"", L""},
            {L"Custom search", FEED_KIND_SEARCH_IN, L"", L""},
        });
    Start();
    CFeedTaskPanel& pane = *m_frame->PaneSite().GetNavigationPane();
    // A notice leads its category; search entries (in their search boxes) and the web page show with their captions.
    // The maker's offers stay out while a main list is there; a custom list's search entry has no place.
    const std::vector<std::vector<std::wstring>> expected = {
        {L"World", L"World notice", L"Good icon", L"No icon", L"Damaged icon", L"Cut icon"},
        {L"Main Category", L"Plain notice", L"Web page"},
        {L"Search", L"Find it", L"Look out"},
        {L"Mine", L"My feed"},
    };
    EXPECT_EQ(PaneContents(pane), expected);

    CFeedChannel* list = m_frame->Lists().Main();
    struct Expect
    {
        const wchar_t* title;
        int type;
        bool picture;
        int image;
    } expects[] = {
        {L"Good icon", TaskPanelItemLink, true, kPaneImageFeed},
        {L"No icon", TaskPanelItemLink, false, kPaneImageFeed},
        {L"Damaged icon", TaskPanelItemLink, false, kPaneImageFeed},
        {L"Cut icon", TaskPanelItemLink, false, kPaneImageFeed},
        {L"World notice", TaskPanelItemLink, true, kPaneImageNotice},
        {L"Plain notice", TaskPanelItemLink, false, kPaneImageNotice},
        {L"Find it", TaskPanelItemControl, false, kPaneImageSearch},
        {L"Look out", TaskPanelItemControl, false, kPaneImageSearch},
        {L"Web page", TaskPanelItemControl, false, kPaneImageWebPage},
    };
    for (const Expect& e : expects) {
        SCOPED_TRACE(Narrow(e.title));
        CFeedItem* entry = FindByTitle(list, e.title);
        ASSERT_NE(entry, nullptr);
        auto* item = static_cast<CXTPTaskPanelGroupItem*>(entry->m_pNavControl);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(CFeedTaskPanel::GetRecord(item), entry);
        EXPECT_EQ(item->GetType(), e.type);
        EXPECT_TRUE(item->IsBold());
        EXPECT_STREQ(item->GetTooltip().GetString(), (std::wstring(L"About ") + e.title).c_str());
        EXPECT_EQ(pane.GetSitePicture(entry) != nullptr, e.picture);
        EXPECT_EQ(CFeedTaskPanel::GetEntryImage(entry), e.image);
    }
    // The web page shows in its own window, which the entry keeps.
    CFeedItem* page = FindByTitle(list, L"Web page");
    ASSERT_NE(page->m_pAttachedWnd, nullptr);
    EXPECT_EQ(static_cast<CXTPTaskPanelGroupItem*>(page->m_pNavControl)->GetControlHandle(),
              page->m_pAttachedWnd->GetSafeHwnd());
    // The notice's picture is the data folder's file at its own size; the icon a 16-pixel one.
    EXPECT_EQ(pane.GetSitePicture(FindByTitle(list, L"World notice"))->m_nWidth, 24);
    EXPECT_NE(pane.GetSitePicture(FindByTitle(list, L"Good icon"))->m_hIcon, nullptr);

    // Entries without their own window take no click and drop nothing down.
    CFeedItem* search = FindByTitle(list, L"Find it");
    pane.OnClick(static_cast<CXTPTaskPanelItem*>(search->m_pNavControl));
    EXPECT_TRUE(pane.GetPopupBar() == nullptr || pane.GetPopupBar()->GetSafeHwnd() == nullptr);

    // A channel that could not be fetched shows the unreachable mark, not its picture.
    CFeedItem* good = FindByTitle(list, L"Good icon");
    good->m_bUpdateFailed = true;
    EXPECT_EQ(CFeedTaskPanel::GetEntryImage(good), kPaneImageUnreachable);

    // An icon file that turns up later is shown from the next build on; one that is damaged since shows none.
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"missing.ico"), icon));
    ASSERT_TRUE(lqtest::WriteFileBytes(m_data.File(L"good.ico"), std::string(64, 'x')));
    m_frame->PaneSite().BuildTaskPanel();
    EXPECT_NE(pane.GetSitePicture(FindByTitle(list, L"No icon")), nullptr);
    EXPECT_EQ(pane.GetSitePicture(FindByTitle(list, L"Good icon")), nullptr);
    // Once the window is up the offers flag is set: every later build shows the maker's offers.
    std::vector<std::vector<std::wstring>> rebuilt = expected;
    rebuilt.push_back({L"Offers", L"Maker offer"});
    EXPECT_EQ(PaneContents(pane), rebuilt);
}

TEST_F(MainFramePaneTest, OffersWeatherAndQuickFilterResultsGetGroupsOfTheirOwn)
{
    SaveLists({{L"Daily", FEED_KIND_FEED, L"", L"daily"}}, {{L"Maker offer", FEED_KIND_NOTICE, L"", L""}});
    Start();
    CFeedTaskPanel& pane = *m_frame->PaneSite().GetNavigationPane();
    EXPECT_EQ(PaneContents(pane), (std::vector<std::vector<std::wstring>>{{L"Main Category", L"Daily"}}));

    auto* older = new CFeedItem;
    older->m_nKind = FEED_KIND_FILTER_RESULT;
    older->m_strTitleText = L"Older results";
    older->m_pChannel = new CFeedChannel;
    m_frame->QuickFilter().TakeResults(older);
    auto* results = new CFeedItem;
    results->m_nKind = FEED_KIND_FILTER_RESULT;
    results->m_strTitleText = L"Filtered results";
    results->m_pChannel = new CFeedChannel;
    m_frame->QuickFilter().TakeResults(results);
    m_frame->PaneSite().ShowWeather(true);
    m_frame->PaneSite().ShowOffers(true);
    m_frame->PaneSite().BuildTaskPanel();
    // The weather panel and the quick filter's last page come first, the offers where the notice is met.
    EXPECT_EQ(PaneContents(pane), (std::vector<std::vector<std::wstring>>{{L"Weather", L"Weather"},
                                                                          {L"Quick Filter", L"Filtered results"},
                                                                          {L"Main Category", L"Daily"},
                                                                          {L"Offers", L"Maker offer"}}));
    EXPECT_EQ(pane.GetAt(0)->GetID(), static_cast<UINT_PTR>(IDS_WEATHER));
    EXPECT_EQ(pane.GetAt(1)->GetID(), static_cast<UINT_PTR>(IDS_QUICK_FILTER_GROUP));
    EXPECT_EQ(pane.GetAt(3)->GetID(), static_cast<UINT_PTR>(IDS_OFFERS));
    ASSERT_NE(m_frame->PaneSite().GetWeatherEntry(), nullptr);
    EXPECT_EQ(m_frame->PaneSite().GetWeatherEntry()->m_nKind, FEED_KIND_WEATHER);
    EXPECT_STREQ(m_frame->PaneSite().GetWeatherEntry()->m_strLink.GetString(), m_data.File(L"weather.htm").c_str());
    EXPECT_EQ(CFeedTaskPanel::GetEntryImage(m_frame->PaneSite().GetWeatherEntry()), kPaneImageWeather);
    auto* resultItem = static_cast<CXTPTaskPanelGroupItem*>(results->m_pNavControl);
    ASSERT_NE(resultItem, nullptr);
    EXPECT_EQ(resultItem->GetType(), TaskPanelItemLink);
    EXPECT_EQ(m_frame->QuickFilter().GetShownResults(), results);
    EXPECT_EQ(CFeedTaskPanel::GetEntryImage(results), kPaneImageResults);

    // Rebuilt without them, the groups go; the pane never points at the result pages again.
    m_frame->QuickFilter().RemovePage(results);
    m_frame->PaneSite().ShowWeather(false);
    m_frame->PaneSite().ShowOffers(false);
    m_frame->PaneSite().BuildTaskPanel();
    EXPECT_EQ(PaneContents(pane), (std::vector<std::vector<std::wstring>>{{L"Main Category", L"Daily"}}));
}

// A full refresh against the local server: the pane rebuilt with every channel, their counts and status lines as
// the server's feeds give them, the site icons fetched from the server, and the cache files written; a dead
// server's channel shows as unreachable with the pane's mark.
TEST_F(MainFramePaneTest, AfterARefreshThePaneShowsTheServersChannelsWithTheirIcons)
{
    ASSERT_NE(lqtest::HttpPort(), 0);
    const std::wstring key = L"pane-" + std::to_wstring(::GetCurrentProcessId());
    {
        CFeedChannel main;
        const EntrySeed seeds[] = {{L"Alpha", FEED_KIND_FEED, L"World", L"alpha"},
                                   {L"Beta", FEED_KIND_FEED, L"", L"beta"},
                                   {L"Dead", FEED_KIND_FEED, L"World", L"dead"}};
        for (const EntrySeed& seed : seeds) {
            CFeedItem* entry = NewEntry(seed);
            if (seed.file != std::wstring(L"dead"))
                entry->m_strLink = entry->m_strLinkText = HttpUrl(L"/delayed/" + key + L"/0/" + seed.file).c_str();
            main.m_items.AddTail(entry);
        }
        ASSERT_TRUE(main.SaveMainFeeds());
    }
    Start();
    ASSERT_TRUE(m_frame->Refresher().StartFullRefresh());
    ASSERT_TRUE(PumpUntil([&] { return m_frame->Pane().m_ended == 2; }, 60000));

    CFeedTaskPanel& pane = *m_frame->PaneSite().GetNavigationPane();
    EXPECT_EQ(PaneContents(pane),
              (std::vector<std::vector<std::wstring>>{{L"World", L"Alpha", L"Dead"}, {L"Main Category", L"Beta"}}));
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    for (const wchar_t* name : {L"alpha", L"beta"}) {
        SCOPED_TRACE(Narrow(name));
        CFeedItem* entry = FindByTitle(m_frame->Lists().Main(), name[0] == L'a' ? L"Alpha" : L"Beta");
        ASSERT_NE(entry, nullptr);
        ASSERT_NE(entry->m_pNavControl, nullptr);
        EXPECT_EQ(static_cast<CXTPTaskPanelItem*>(entry->m_pNavControl)->GetTaskPanel(), &pane);
        ASSERT_NE(entry->m_pChannel, nullptr);
        // The server's feed has two items, both new after the first fetch.
        EXPECT_EQ(entry->m_pChannel->m_items.GetCount(), 2);
        EXPECT_EQ(entry->m_nNewCount, 2);
        const std::wstring status = CFeedTaskPanelPaintManager::FormatChannelStatus(entry, now).GetString();
        EXPECT_EQ(status.rfind(L"2/2 unread   Updated: ", 0), 0u) << Narrow(status);
        CFeedChannel stored;
        ASSERT_TRUE(
            stored.LoadFile(m_data.File(std::wstring(name) + L".rss").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
        EXPECT_EQ(stored.m_items.GetCount(), 2);
        // The server's icon was fetched beside the cache and is what the entry shows.
        EXPECT_NE(::GetFileAttributesW(m_data.File(std::wstring(name) + L".ico").c_str()), INVALID_FILE_ATTRIBUTES);
        CPicture* picture = pane.GetSitePicture(entry);
        ASSERT_NE(picture, nullptr);
        EXPECT_NE(picture->m_hIcon, nullptr);
    }
    CFeedItem* dead = FindByTitle(m_frame->Lists().Main(), L"Dead");
    ASSERT_NE(dead, nullptr);
    EXPECT_EQ(pane.GetSitePicture(dead), nullptr);
    EXPECT_EQ(CFeedTaskPanel::GetEntryImage(dead), kPaneImageUnreachable);
    EXPECT_STREQ(CFeedTaskPanelPaintManager::FormatChannelStatus(dead, now).GetString(),
                 L"Unreachable and no local copy available");
}

} // namespace
