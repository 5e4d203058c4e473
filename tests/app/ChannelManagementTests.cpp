// Deleting channels and categories, updating a category and importing channel lists on a real frame over a seeded
// data folder: the lists, their files and each entry's own files after every step, refusals while an entry is
// being downloaded, and which of the pane's commands the frame has built.
#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "res/resource.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestSupport.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using lqtest::HttpUrl;
using lqtest::ModalDriver;
using lqtest::PumpUntil;
using lqtest::TempFolder;

namespace {

const wchar_t kTestCompany[] = L"LanternquillChannelManagementTests";

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> Titles(const CFeedChannel* list)
{
    std::vector<std::wstring> titles;
    for (POSITION pos = list ? list->m_items.GetHeadPosition() : nullptr; pos;)
        titles.push_back(list->m_items.GetNext(pos)->m_strTitleText.GetString());
    return titles;
}

// The titles of a list file as it is stored.
std::vector<std::wstring> StoredTitles(const std::wstring& path)
{
    CFeedChannel list;
    if (!list.LoadFile(path.c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE))
        return {L"<unreadable>"};
    return Titles(&list);
}

struct Seed
{
    const wchar_t* title;
    const wchar_t* category;
    bool bMain;
    bool bMayUnsubscribe;
};

// Main list: Alpha (News), Beta (no category, may not be unsubscribed), Gamma (no category).
// Custom list: Delta (Sailing), Epsilon (no category), Zeta (Sailing).
const Seed kSeeds[] = {
    {L"Alpha", L"News", true, true},     {L"Beta", L"", true, false},    {L"Gamma", L"", true, true},
    {L"Delta", L"Sailing", false, true}, {L"Epsilon", L"", false, true}, {L"Zeta", L"Sailing", false, true},
};

class ChannelManagementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(lqtest::HttpPort(), 0);
        theApp.m_settings.nTimeout = 3;
        theApp.WriteProfileInt(L"", L"Check at startup", 0);
        theApp.m_unsubscribed.RemoveAll();
        CFeedChannel mainList;
        CFeedChannel customList;
        const std::string feed = lqtest::ReadFileBytes(lqtest::SourcePath(L"companions\\fixtures\\subscribe-feed.xml"));
        for (const Seed& seed : kSeeds) {
            auto* entry = new CFeedItem;
            entry->m_nKind = FEED_KIND_FEED;
            entry->m_strTitle = entry->m_strTitleText = seed.title;
            entry->m_strLink = entry->m_strLinkText = Link(seed.title).c_str();
            entry->m_strCategory = seed.category;
            entry->m_strFile = seed.title;
            entry->m_bMayUnsubscribe = seed.bMayUnsubscribe;
            entry->m_nUpdateInterval = entry->m_nCountdown = 120;
            (seed.bMain ? mainList : customList).m_items.AddTail(entry);
            lqtest::WriteFileBytes(m_data.File(std::wstring(seed.title) + L".rss"), feed);
            lqtest::WriteFileBytes(m_data.File(std::wstring(seed.title) + L".ico"), "icon");
        }
        ASSERT_TRUE(mainList.SaveMainFeeds());
        ASSERT_TRUE(customList.SaveCustomFeeds());
        m_frame = new CMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
        ASSERT_TRUE(PumpUntil([&] { return !m_frame->Refresher().IsUpdating(); }));
    }
    void TearDown() override
    {
        if (m_frame) {
            PumpUntil([&] { return !m_frame->Refresher().IsUpdating(); }, 30000);
            m_frame->DestroyWindow();
        }
        theApp.m_unsubscribed.RemoveAll();
    }

    static std::wstring Link(const std::wstring& title)
    {
        return HttpUrl(L"/files/companions/fixtures/subscribe-feed.xml?" + title);
    }
    CFeedItem* Entry(const wchar_t* title) const
    {
        CFeedItem* entry = apptest::FindByTitle(m_frame->Lists().Main(), title);
        return entry ? entry : apptest::FindByTitle(m_frame->Lists().Custom(), title);
    }
    bool HasFiles(const wchar_t* title) const
    {
        return Exists(m_data.File(std::wstring(title) + L".rss")) || Exists(m_data.File(std::wstring(title) + L".ico"));
    }
    bool HasGroup(const wchar_t* caption) const
    {
        return m_frame->PaneSite().GetNavigationPane()->FindGroupByCaption(caption) != nullptr;
    }
    std::wstring Data(const std::wstring& name) const { return m_data.File(name); }
    std::vector<std::wstring> Unsubscribed() const
    {
        std::vector<std::wstring> links;
        for (POSITION pos = theApp.m_unsubscribed.GetHeadPosition(); pos;)
            links.push_back(Text(theApp.m_unsubscribed.GetNext(pos)));
        return links;
    }

    TempFolder m_data;
    TempFolder m_temp;
    apptest::AppSandbox m_sandbox{kTestCompany, m_data, m_temp};
    CMainFrame* m_frame = nullptr; // deletes itself with its window
};

TEST_F(ChannelManagementTest, DeletingAChannelTakesItsFilesAndItsEmptiedGroupAndRemembersMainListLinks)
{
    ASSERT_TRUE(HasGroup(L"Sailing"));
    CFeedCommands& commands = m_frame->FeedCommands();

    // A custom channel: gone from the list, its file and its own files; the others keep theirs.
    ASSERT_TRUE(commands.DeleteChannel(Entry(L"Delta"), true));
    EXPECT_EQ(Titles(m_frame->Lists().Custom()), (std::vector<std::wstring>{L"Epsilon", L"Zeta"}));
    EXPECT_EQ(StoredTitles(Data(L"CustomFeed.xml")), (std::vector<std::wstring>{L"Epsilon", L"Zeta"}));
    EXPECT_FALSE(HasFiles(L"Delta"));
    EXPECT_TRUE(Exists(Data(L"Zeta.rss")) && Exists(Data(L"Zeta.ico")));
    EXPECT_TRUE(Unsubscribed().empty()) << "a channel of the user's own list is not remembered";
    EXPECT_TRUE(HasGroup(L"Sailing")) << "Zeta is still in it";

    // The last channel of a category takes its group along.
    ASSERT_TRUE(commands.DeleteChannel(Entry(L"Zeta"), true));
    EXPECT_FALSE(HasGroup(L"Sailing"));

    // A channel of the main list: its link is remembered so that the server's list does not bring it back.
    ASSERT_TRUE(commands.DeleteChannel(Entry(L"Alpha"), true));
    EXPECT_EQ(StoredTitles(Data(L"MainFeed.xml")), (std::vector<std::wstring>{L"Beta", L"Gamma"}));
    EXPECT_EQ(Unsubscribed(), std::vector<std::wstring>{Link(L"Alpha")});
    EXPECT_TRUE(Exists(Data(L"unsubdump")));
    EXPECT_FALSE(HasFiles(L"Alpha"));
    EXPECT_FALSE(HasGroup(L"News"));

    // Without saving, the list file stays as it was.
    ASSERT_TRUE(commands.DeleteChannel(Entry(L"Gamma"), false));
    EXPECT_EQ(StoredTitles(Data(L"MainFeed.xml")), (std::vector<std::wstring>{L"Beta", L"Gamma"}));
    EXPECT_EQ(Titles(m_frame->Lists().Main()), std::vector<std::wstring>{L"Beta"});
}

TEST_F(ChannelManagementTest, TheFeedsOfferedForPodcastsComeFromBothListsOnTheFramesThreadWhoeverAsks)
{
    CPodcastFeedChoice& choice = m_frame->Options().FeedChoice();
    const auto titles = [](const std::vector<CSelectableFeed>& feeds) {
        std::vector<std::wstring> found;
        for (const CSelectableFeed& feed : feeds)
            found.push_back(Text(feed.strTitle) + L"=" + Text(feed.strFile));
        return found;
    };
    const std::vector<std::wstring> all = {L"Alpha=Alpha", L"Beta=Beta",       L"Gamma=Gamma",
                                           L"Delta=Delta", L"Epsilon=Epsilon", L"Zeta=Zeta"};
    EXPECT_EQ(titles(choice.GetFeeds()), all) << "the server's list first, then the user's own";

    // The podcast manager's sheet asks from its own thread: the frame answers between its messages.
    ASSERT_TRUE(m_frame->FeedCommands().DeleteChannel(Entry(L"Delta"), true));
    std::vector<CSelectableFeed> fromThread;
    bool hasAlpha = false;
    bool hasDelta = true;
    std::atomic<bool> done{false};
    std::thread asker([&] {
        fromThread = choice.GetFeeds();
        hasAlpha = choice.HasFeed(L"alpha");
        hasDelta = choice.HasFeed(L"Delta");
        done = true;
    });
    const bool answered = PumpUntil([&] { return done.load(); });
    asker.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(titles(fromThread), (std::vector<std::wstring>{L"Alpha=Alpha", L"Beta=Beta", L"Gamma=Gamma",
                                                             L"Epsilon=Epsilon", L"Zeta=Zeta"}));
    EXPECT_TRUE(hasAlpha) << "value names are case-insensitive, as the registry's";
    EXPECT_FALSE(hasDelta) << "a deleted channel is no longer offered";
}

TEST_F(ChannelManagementTest, AnEntryBeingDownloadedIsNeitherDeletedNorFreed)
{
    CFeedItem* zeta = Entry(L"Zeta");
    zeta->m_bUpdating = true;
    {
        ModalDriver driver([](HWND, const std::wstring&, int) {});
        EXPECT_FALSE(m_frame->FeedCommands().DeleteChannel(zeta, true));
        EXPECT_EQ(m_frame->FeedCommands().DeleteCategory(L"Sailing"), TRUE);
        const std::wstring busy = Text(LoadResourceString(IDS_BUSY_UPDATING));
        EXPECT_EQ(driver.m_messages, (std::vector<std::wstring>{busy, busy}));
    }
    // Nothing of the category went, not even the entry no download holds.
    EXPECT_EQ(Titles(m_frame->Lists().Custom()), (std::vector<std::wstring>{L"Delta", L"Epsilon", L"Zeta"}));
    EXPECT_EQ(StoredTitles(Data(L"CustomFeed.xml")), (std::vector<std::wstring>{L"Delta", L"Epsilon", L"Zeta"}));
    EXPECT_TRUE(HasFiles(L"Zeta") && HasFiles(L"Delta"));
    EXPECT_EQ(Entry(L"Zeta"), zeta);
    zeta->m_bUpdating = false;
}

TEST_F(ChannelManagementTest, DeletingACategoryTakesItsChannelsFromBothListsButNotTheServersFixedOnes)
{
    struct Case
    {
        const wchar_t* caption;
        BOOL result;
        std::vector<std::wstring> mainAfter;
        std::vector<std::wstring> customAfter;
    };
    const std::wstring mainCategory = Text(LoadResourceString(IDS_MAIN_CATEGORY));
    const Case cases[] = {
        {L"Nowhere", FALSE, {L"Alpha", L"Beta", L"Gamma"}, {L"Delta", L"Epsilon", L"Zeta"}},
        {L"Sailing", TRUE, {L"Alpha", L"Beta", L"Gamma"}, {L"Epsilon"}},
        // "Main Category" is the channels without a category; Beta may not be unsubscribed.
        {mainCategory.c_str(), TRUE, {L"Alpha", L"Beta"}, {}},
        {L"News", TRUE, {L"Beta"}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m_frame->FeedCommands().DeleteCategory(c.caption), c.result) << lqtest::Narrow(c.caption);
        EXPECT_EQ(Titles(m_frame->Lists().Main()), c.mainAfter) << lqtest::Narrow(c.caption);
        EXPECT_EQ(Titles(m_frame->Lists().Custom()), c.customAfter) << lqtest::Narrow(c.caption);
        EXPECT_EQ(StoredTitles(Data(L"MainFeed.xml")), c.mainAfter) << lqtest::Narrow(c.caption);
        EXPECT_EQ(StoredTitles(Data(L"CustomFeed.xml")), c.customAfter) << lqtest::Narrow(c.caption);
        EXPECT_EQ(HasGroup(c.caption), c.caption == mainCategory) << "Beta keeps the main category";
    }
    EXPECT_FALSE(HasFiles(L"Delta") || HasFiles(L"Zeta") || HasFiles(L"Gamma") || HasFiles(L"Alpha"));
    EXPECT_TRUE(HasFiles(L"Beta"));
    EXPECT_EQ(Unsubscribed(), (std::vector<std::wstring>{Link(L"Gamma"), Link(L"Alpha")}));
}

TEST_F(ChannelManagementTest, UpdatingTheMainCategoryRefreshesTheChannelsWithoutACategory)
{
    const wchar_t* const all[] = {L"Alpha", L"Beta", L"Gamma", L"Delta", L"Epsilon", L"Zeta"};
    auto handedOut = [&] {
        std::vector<std::wstring> titles;
        for (const wchar_t* title : all) {
            if (Entry(title)->m_bUpdating)
                titles.push_back(title);
        }
        return titles;
    };
    m_frame->FeedCommands().UpdateCategory(L"Nowhere");
    EXPECT_TRUE(handedOut().empty());
    m_frame->FeedCommands().UpdateCategory(LoadResourceString(IDS_MAIN_CATEGORY));
    EXPECT_EQ(handedOut(), (std::vector<std::wstring>{L"Beta", L"Gamma", L"Epsilon"}));
    ASSERT_TRUE(PumpUntil([&] { return handedOut().empty() && !m_frame->Refresher().IsUpdating(); }, 30000));
}

TEST_F(ChannelManagementTest, ThePaneOffersOnlyTheCommandsTheFrameHasBuilt)
{
    CPaneSite& site = m_frame->PaneSite();
    EXPECT_TRUE(site.IsCommandBuilt(ID_CHANNEL_UNSUBSCRIBE));
    EXPECT_TRUE(site.IsCommandBuilt(ID_CATEGORY_DELETE));
    EXPECT_TRUE(site.IsCommandBuilt(ID_CATEGORY_UPDATE));
    EXPECT_TRUE(site.IsCommandBuilt(ID_CATEGORY_RENAME));
    EXPECT_TRUE(site.IsCommandBuilt(ID_RESULTS_DELETE));
    EXPECT_TRUE(site.IsCommandBuilt(ID_CHANNEL_VIEW_SEPARATE));
    // Renaming is for the user's own categories, not for the main one.
    EXPECT_TRUE(site.IsNewCategory(L"Sailing"));
    EXPECT_FALSE(site.IsNewCategory(LoadResourceString(IDS_MAIN_CATEGORY)));
}

// ---- Import

class ChannelImportTest : public ChannelManagementTest
{
protected:
    // Runs the import of the file; the dialog copies every channel (or none) and is confirmed.
    int Import(const std::wstring& path, bool bOpml, bool bChooseAll, std::vector<std::wstring>& messages)
    {
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
            if (caption == L"Import Channels" && n == 0) {
                if (bChooseAll)
                    ::SendMessageW(::GetDlgItem(hDlg, IDC_IMPORT_COPY_ALL), BM_CLICK, 0, 0);
                ModalDriver::Click(hDlg, IDOK);
            }
        });
        const int added = m_frame->FeedCommands().ImportChannelFile(path.c_str(), bOpml);
        messages = driver.m_messages;
        return added;
    }
    std::wstring WriteFile(const wchar_t* name, const std::string& text)
    {
        const std::wstring path = m_temp.File(name);
        lqtest::WriteFileBytes(path, text);
        return path;
    }
};

TEST_F(ChannelImportTest, AnOpmlListAddsOnlyNewSafeAddressesOnce)
{
    const std::string known = lqtest::Narrow(Link(L"Delta"));
    const std::string fresh = lqtest::Narrow(HttpUrl(L"/files/companions/fixtures/subscribe-feed.xml?fresh"));
    const std::wstring path =
        WriteFile(L"list.opml", "<?xml version=\"1.0\"?><opml version=\"1.0\"><head/><body>"
                                "<outline text=\"Known\" xmlUrl=\"" +
                                    known +
                                    "\"/>"
                                    "<outline text=\"Fresh\" xmlUrl=\"" +
                                    fresh +
                                    "\"/>"
                                    "<outline text=\"Fresh again\" xmlUrl=\"" +
                                    fresh +
                                    "\"/>"
                                    "<outline text=\"Script\" xmlUrl=\"javascript:alert(1)\"/>"
                                    "<outline text=\"Local\" xmlUrl=\"file:///C:/windows/win.ini\"/>"
                                    "<outline text=\"Share\" xmlUrl=\"\\\\server\\share\\feed.xml\"/>"
                                    "</body></opml>");
    std::vector<std::wstring> messages;
    EXPECT_EQ(Import(path, true, true, messages), 1);
    EXPECT_EQ(messages, std::vector<std::wstring>{Text(LoadResourceString(IDS_FEEDS_ADDED))});
    EXPECT_EQ(Titles(m_frame->Lists().Custom()), (std::vector<std::wstring>{L"Delta", L"Epsilon", L"Zeta", L"Fresh"}));
    EXPECT_EQ(StoredTitles(Data(L"CustomFeed.xml")), Titles(m_frame->Lists().Custom()));
}

TEST_F(ChannelImportTest, ADamagedFileOrNothingChosenImportsNothingAndSaysSo)
{
    struct Case
    {
        const char* name;
        std::string text;
        bool bOpml;
        bool bChooseAll;
        UINT message;
    };
    const std::string opml = "<?xml version=\"1.0\"?><opml version=\"1.0\"><body><outline text=\"New\" xmlUrl=\"" +
                             lqtest::Narrow(HttpUrl(L"/files/companions/fixtures/subscribe-feed.xml?new")) +
                             "\"/></body></opml>";
    const Case cases[] = {
        {"damaged OPML", "<opml><body><outline text=\"x\" xmlUrl=", true, true, IDS_IMPORT_UNREADABLE},
        {"damaged export", "<rss><channel><item><title>cut", false, true, IDS_IMPORT_UNREADABLE},
        {"not XML at all", "\x01\x02 binary", false, true, IDS_IMPORT_UNREADABLE},
        {"nothing chosen", opml, true, false, IDS_IMPORT_NOTHING_CHOSEN},
    };
    const std::string before = lqtest::ReadFileBytes(Data(L"CustomFeed.xml"));
    for (const Case& c : cases) {
        const std::wstring path = WriteFile(c.bOpml ? L"in.opml" : L"in.nwx", c.text);
        std::vector<std::wstring> messages;
        EXPECT_EQ(Import(path, c.bOpml, c.bChooseAll, messages), 0) << c.name;
        EXPECT_EQ(messages, std::vector<std::wstring>{Text(LoadResourceString(c.message))}) << c.name;
        EXPECT_EQ(lqtest::ReadFileBytes(Data(L"CustomFeed.xml")), before) << c.name;
        EXPECT_EQ(m_frame->Lists().Custom()->m_items.GetCount(), 3) << c.name;
        EXPECT_FALSE(m_frame->Refresher().IsUpdating()) << c.name;
    }
}

} // namespace
