// The main frame's side of a refresh: the lists loaded at creation, every refreshed entry applied on the frame's
// thread, the lists saved at the end, hostile or dead servers for some feeds, and the server's channel list merge.
#include "app/MainFrm.h"
#include "tests/app/MainFrameTestSupport.h"
#include "app/ReaderApp.h"
#include "feeds/EnclosureJob.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "res/resource.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestSupport.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

using apptest::FindByTitle;
using lqtest::HttpUrl;
using lqtest::Narrow;
using lqtest::PumpUntil;
using lqtest::TempFolder;

namespace {

const wchar_t kTestCompany[] = L"LanternquillFrameTests";

// The pane's part of the frame recorded instead of drawn.
class RecordingPane : public CPaneSite
{
public:
    using CPaneSite::CPaneSite;

    int m_built = 0;
    int m_ended = 0;
    std::vector<CFeedItem*> m_placed;
    std::vector<std::wstring> m_removed;

    void BuildTaskPanel() override { ++m_built; }
    void PlaceEntryInPane(CFeedItem* pEntry) override { m_placed.push_back(pEntry); }
    void RemoveEntryFromPane(CFeedItem* pEntry) override { m_removed.push_back(pEntry->m_strTitleText.GetString()); }
    void ShowRefreshEnded() override { ++m_ended; }
};

using RecordingMainFrame = lqtest::FrameWithPane<RecordingPane>;

// The podcast manager's stand-in: takes the jobs it is sent, as the real one does, and keeps their titles.
class PodcastRecorder
{
public:
    PodcastRecorder() { m_wnd.Attach(m_window.Handle()); }
    ~PodcastRecorder() { m_wnd.Detach(); }

    CWnd m_wnd;
    std::vector<std::wstring> m_added;

private:
    lqtest::MessageWindow m_window{[this](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (message != WM_PODCAST_ADD_ITEMS)
            return false;
        std::unique_ptr<CEnclosureJob> job(reinterpret_cast<CEnclosureJob*>(wParam));
        m_added.push_back(job->m_pItem->m_strTitleText.GetString());
        return true;
    }};
};

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

CFeedItem* NewEntry(const std::wstring& title, const std::wstring& link, const std::wstring& file)
{
    auto* entry = new CFeedItem;
    entry->m_nKind = FEED_KIND_FEED;
    entry->m_strTitleText = title.c_str();
    entry->m_strTitle = title.c_str();
    entry->m_strLinkText = link.c_str();
    entry->m_strLink = link.c_str();
    entry->m_strFile = file.c_str();
    return entry;
}

// A cache file with the given item titles.
void WriteCache(const std::wstring& path, const std::vector<std::wstring>& titles)
{
    CFeedChannel channel;
    channel.m_info.m_strTitle = L"cached";
    for (const std::wstring& title : titles) {
        auto* item = new CFeedItem;
        item->m_strTitleText = title.c_str();
        item->m_strTitle = title.c_str();
        item->m_strLinkText = (L"http://127.0.0.1/" + title).c_str();
        item->m_strLink = item->m_strLinkText;
        item->m_nReadState = FEED_STATE_READ;
        channel.m_items.AddTail(item);
    }
    ASSERT_TRUE(channel.SaveCache(path.c_str(), TRUE));
}

std::vector<std::wstring> Titles(const CFeedChannel* channel)
{
    std::vector<std::wstring> titles;
    if (channel)
        for (POSITION pos = channel->m_items.GetHeadPosition(); pos;)
            titles.push_back(channel->m_items.GetNext(pos)->m_strTitleText.GetString());
    return titles;
}

class MainFrameRefreshTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(lqtest::HttpPort(), 0);
        theApp.m_settings.nTimeout = 2; // seconds: a server that says nothing fails soon
        static int serial = 0;
        m_key = L"frame-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
    }
    void TearDown() override
    {
        if (m_frame)
            m_frame->DestroyWindow();
        theApp.m_unsubscribed.RemoveAll();
    }

    std::wstring Data(const std::wstring& name) const { return m_data.File(name); }

    TempFolder m_data;
    TempFolder m_temp;
    apptest::AppSandbox m_sandbox{kTestCompany, m_data, m_temp};
    RecordingMainFrame* m_frame = nullptr; // deletes itself with its window
    std::wstring m_key;
};

TEST_F(MainFrameRefreshTest, RefreshUpdatesReachableFeedsAndLeavesDeadOnesUnreachableWithTheirCache)
{
    const std::wstring delayed = L"/delayed/" + m_key + L"/0/";
    struct Seed
    {
        const wchar_t* title;
        std::wstring link;
        bool bCached;
        bool bReachable;
    };
    const Seed seeds[] = {
        {L"fresh", HttpUrl(delayed + L"fresh"), false, true},
        {L"known", HttpUrl(delayed + L"known"), true, true},
        {L"hangs", HttpUrl(L"/silent/4000"), false, false},
        {L"refuses", HttpUrl(L"/status/503"), true, false},
        {L"notxml", HttpUrl(L"/text/200"), false, false},
        {L"garbage", HttpUrl(L"/garbage"), false, false},
        {L"closed", L"http://127.0.0.1:1/feed", false, false},
        // Refused on reading: the body was cut short, so the items stay and the entry shows it failed.
        {L"cut", HttpUrl(L"/chunked/cut/feeds/net/feed.xml"), true, false},
    };
    {
        CFeedChannel mainList;
        for (const Seed& s : seeds) {
            mainList.m_items.AddTail(NewEntry(s.title, s.link, s.title));
            if (s.bCached)
                WriteCache(Data(std::wstring(s.title) + L".rss"), {L"cached one", L"cached two"});
        }
        ASSERT_TRUE(mainList.SaveMainFeeds());
        CFeedChannel backup;
        backup.m_items.AddTail(NewEntry(L"custom", HttpUrl(delayed + L"custom"), L"custom"));
        ASSERT_TRUE(backup.SaveMainFeeds());
        ASSERT_TRUE(::MoveFileW(Data(L"MainFeed.xml").c_str(), Data(L"CustomFeed.bak").c_str()));
        ASSERT_TRUE(mainList.SaveMainFeeds());
    }
    theApp.WriteProfileInt(L"", L"Check at startup", 0);

    m_frame = new RecordingMainFrame;
    ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    ASSERT_NE(m_frame->Lists().Main(), nullptr);
    // The custom list came back from its backup; cached channels were read after the list.
    ASSERT_NE(m_frame->Lists().Custom(), nullptr);
    m_frame->Lists().FinishReading();
    EXPECT_EQ(Titles(FindByTitle(m_frame->Lists().Main(), L"refuses")->m_pChannel),
              (std::vector<std::wstring>{L"cached one", L"cached two"}));
    EXPECT_EQ(m_frame->Pane().m_built, 1);

    // Without the check at start the worker only reports that it is done; the main list is saved.
    ASSERT_TRUE(PumpUntil([&] { return m_frame->Pane().m_ended == 1; }));
    EXPECT_TRUE(m_frame->Pane().m_placed.empty());
    EXPECT_TRUE(Exists(Data(L"MainFeed.xml")));

    ASSERT_TRUE(::DeleteFileW(Data(L"MainFeed.xml").c_str()));
    ASSERT_TRUE(::DeleteFileW(Data(L"CustomFeed.xml").c_str()));
    ASSERT_TRUE(m_frame->Refresher().StartFullRefresh());
    ASSERT_TRUE(PumpUntil([&] { return m_frame->Pane().m_ended == 2; }, 60000));
    EXPECT_FALSE(m_frame->Refresher().IsFullRefresh());
    EXPECT_FALSE(m_frame->Refresher().IsUpdating());
    EXPECT_EQ(m_frame->Pane().m_built, 2); // the pane is built again after a full refresh
    EXPECT_EQ(m_frame->Pane().m_placed.size(), std::size(seeds) + 1);

    for (const Seed& s : seeds) {
        SCOPED_TRACE(Narrow(s.title));
        CFeedItem* entry = FindByTitle(m_frame->Lists().Main(), s.title);
        ASSERT_NE(entry, nullptr);
        EXPECT_FALSE(entry->m_bUpdating);
        EXPECT_EQ(entry->m_bUpdateFailed, !s.bReachable);
        const std::wstring cache = Data(std::wstring(s.title) + L".rss");
        if (s.bReachable) {
            const std::wstring t = s.title;
            const std::vector<std::wstring> fresh{t + L" item 1", t + L" item 2"};
            EXPECT_EQ(Titles(entry->m_pChannel), fresh);
            // Written away from the frame's thread, soon after.
            EXPECT_TRUE(PumpUntil([&] {
                CFeedChannel stored;
                return stored.LoadFile(cache.c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE) && Titles(&stored) == fresh;
            }));
            EXPECT_EQ(entry->m_nNewCount, 2);
        } else if (s.bCached) {
            // A failed download keeps the stored items, in memory and on disk.
            const std::vector<std::wstring> cached{L"cached one", L"cached two"};
            EXPECT_EQ(Titles(entry->m_pChannel), cached);
            CFeedChannel stored;
            ASSERT_TRUE(stored.LoadFile(cache.c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
            EXPECT_EQ(Titles(&stored), cached);
        } else {
            EXPECT_EQ(entry->m_pChannel, nullptr);
            EXPECT_FALSE(Exists(cache));
        }
    }
    EXPECT_EQ(m_frame->Refresher().GetNewItemCount(), 0); // counted for the refresh, reset at its end

    // Both lists were written at the end of the full refresh, whole.
    CFeedChannel savedMain, savedCustom;
    ASSERT_TRUE(savedMain.LoadFile(Data(L"MainFeed.xml").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    ASSERT_TRUE(savedCustom.LoadFile(Data(L"CustomFeed.xml").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    EXPECT_EQ(Titles(&savedMain), (std::vector<std::wstring>{L"fresh", L"known", L"hangs", L"refuses", L"notxml",
                                                             L"garbage", L"closed", L"cut"}));
    EXPECT_EQ(Titles(&savedCustom), std::vector<std::wstring>{L"custom"});
    EXPECT_EQ(Titles(FindByTitle(m_frame->Lists().Custom(), L"custom")->m_pChannel),
              (std::vector<std::wstring>{L"custom item 1", L"custom item 2"}));
}

// The real window in both view styles: its menu bar and two toolbars, the news view only in the classic style,
// and the pane with a group for each category (entries without one under "Main Category") holding one bold item
// for each channel, standing for its entry.
TEST_F(MainFrameRefreshTest, TheWindowCarriesItsBarsAndAPaneItemForEachChannel)
{
    {
        CFeedChannel mainList;
        const wchar_t* categories[] = {L"World", L"", L"World"};
        const wchar_t* titles[] = {L"Daily Planet", L"Tech Bits", L"Evening Star"};
        for (int i = 0; i < 3; ++i) {
            CFeedItem* entry = NewEntry(titles[i], L"http://127.0.0.1:1/feed", titles[i]);
            entry->m_strCategory = categories[i];
            mainList.m_items.AddTail(entry);
        }
        ASSERT_TRUE(mainList.SaveMainFeeds());
    }
    theApp.WriteProfileInt(L"", L"Check at startup", 0);
    for (int style : {0, 1}) {
        SCOPED_TRACE(style);
        theApp.m_settings.nViewStyle = style;
        auto* frame = new CMainFrame; // deletes itself with its window
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
        ASSERT_NE(frame->CXTPFrameWnd::GetCommandBars(), nullptr);
        EXPECT_EQ(frame->CXTPFrameWnd::GetCommandBars()->GetCount(), 3); // the menu bar and two toolbars
        EXPECT_EQ(frame->PaneSite().HasNewsView(), style == 0);
        EXPECT_NE(frame->PaneSite().GetStatusBar().GetSafeHwnd(), nullptr);

        CFeedTaskPanel& pane = *frame->PaneSite().GetNavigationPane();
        ASSERT_NE(pane.GetSafeHwnd(), nullptr);
        ASSERT_EQ(pane.GetGroupCount(), 2);
        EXPECT_STREQ(pane.GetAt(0)->GetCaption().GetString(), L"World");
        EXPECT_STREQ(pane.GetAt(1)->GetCaption().GetString(), L"Main Category");
        const std::vector<std::vector<const wchar_t*>> expected = {{L"Daily Planet", L"Evening Star"}, {L"Tech Bits"}};
        for (int g = 0; g < 2; ++g) {
            CXTPTaskPanelGroup* pGroup = pane.GetAt(g);
            ASSERT_EQ(pGroup->GetItemCount(), static_cast<int>(expected[g].size()));
            for (int i = 0; i < pGroup->GetItemCount(); ++i) {
                auto* pItem = static_cast<CXTPTaskPanelGroupItem*>(pGroup->GetAt(i));
                EXPECT_STREQ(pItem->GetCaption().GetString(), expected[g][i]);
                EXPECT_TRUE(pItem->IsBold());
                CFeedItem* entry = CFeedTaskPanel::GetRecord(pItem);
                EXPECT_EQ(entry, FindByTitle(frame->Lists().Main(), expected[g][i]));
                ASSERT_NE(entry, nullptr);
                EXPECT_EQ(entry->m_pNavControl, pItem);
            }
        }
        frame->DestroyWindow();
        lqtest::PumpPending();
    }
}

TEST_F(MainFrameRefreshTest, OnlyABrandingFileThatReadsWellIsTakenAndALogoOfAnotherKindIsDropped)
{
    struct Case
    {
        const char* name;
        const wchar_t* path;
        bool bTaken;
    };
    const Case cases[] = {
        {"a good file", L"/files/app/net/branding.xml?brandid=", true},
        {"not XML", L"/text/300?brandid=", false},
        {"a failing service", L"/status/500?brandid=", false},
    };
    const CString savedUrl = theApp.m_strBrandingUrl;
    theApp.WriteProfileInt(L"", L"Check at startup", 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        theApp.m_settings = m_sandbox.SavedSettings();
        theApp.m_settings.szMainLink[0] = 0;
        lstrcpynW(theApp.m_settings.szCaption, L"Lanternquill", 100);
        lstrcpynW(theApp.m_settings.szLogo, L"C:\\old\\logo.bmp", 100);
        theApp.m_strBrandingUrl = HttpUrl(c.path).c_str();
        ::DeleteFileW(Data(L"settings.xml").c_str());
        m_frame = new RecordingMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
        ASSERT_TRUE(PumpUntil([&] { return m_frame->Pane().m_ended == 1; }));
        WCHAR caption[100] = L"";
        ::GetWindowTextW(m_frame->GetSafeHwnd(), caption, 100);
        if (c.bTaken) {
            EXPECT_STREQ(caption, L"Harbour Reader");
            EXPECT_EQ(lqtest::ReadFileBytes(Data(L"settings.xml")),
                      lqtest::ReadFileBytes(lqtest::SourcePath(L"app\\net\\branding.xml")));
            EXPECT_STREQ(theApp.m_settings.szUserAgent, L"HarbourAgent/1");
            EXPECT_STREQ(theApp.m_settings.szLogo, L""); // a PNG logo is not taken
        } else {
            EXPECT_STREQ(caption, L"Lanternquill");
            EXPECT_FALSE(Exists(Data(L"settings.xml")));
            EXPECT_STREQ(theApp.m_settings.szLogo, L"C:\\old\\logo.bmp");
        }
        m_frame->DestroyWindow();
        m_frame = nullptr;
    }
    theApp.m_strBrandingUrl = savedUrl;
}

TEST_F(MainFrameRefreshTest, NewItemsWithAnEnclosureGoToThePodcastWindowOnlyWhileNew)
{
    theApp.WriteProfileInt(L"", L"Check at startup", 0);
    PodcastRecorder podcast;
    m_frame = new RecordingMainFrame;
    m_frame->Companions().SetPodcastManager(std::make_unique<lqtest::PodcastStandIn>(&podcast.m_wnd));
    ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    ASSERT_TRUE(PumpUntil([&] { return m_frame->Pane().m_ended == 1; }));
    ASSERT_EQ(m_frame->Lists().Main(), nullptr);
    m_frame->Lists().AdoptMain(new CFeedChannel);
    CFeedItem* entry = NewEntry(L"podcast", HttpUrl(L"/files/app/net/enclosures.xml"), L"podcast");
    m_frame->Lists().Main()->m_items.AddTail(entry);

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(m_frame->Refresher().RequestRefresh(entry));
        ASSERT_TRUE(PumpUntil([&] { return m_frame->Pane().m_ended == round + 1; }));
        EXPECT_FALSE(entry->m_bUpdating);
        EXPECT_EQ(Titles(entry->m_pChannel),
                  (std::vector<std::wstring>{L"Episode one", L"Notes only", L"Episode two"}));
        // The second time the same items are no longer new: nothing more is handed over.
        EXPECT_EQ(podcast.m_added, (std::vector<std::wstring>{L"Episode one", L"Episode two"}));
        EXPECT_EQ(entry->m_nNewCount, round == 1 ? 3 : 0);
    }
    // A refresh of one channel saves only the main list.
    EXPECT_TRUE(Exists(Data(L"MainFeed.xml")));
    EXPECT_FALSE(Exists(Data(L"CustomFeed.xml")));
    m_frame->DestroyWindow();
    m_frame = nullptr;
}

TEST_F(MainFrameRefreshTest, RefreshRequestsSkipEntriesADownloadHolds)
{
    theApp.WriteProfileInt(L"", L"Check at startup", 0);
    m_frame = new RecordingMainFrame;
    ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    ASSERT_TRUE(PumpUntil([&] { return m_frame->Pane().m_ended == 1; }));

    CFeedItem held;
    held.m_bUpdating = true;
    EXPECT_FALSE(m_frame->Refresher().RequestRefresh(&held));
    EXPECT_FALSE(m_frame->Lists().CanChangeEntry(&held));
    CPtrList list;
    list.AddTail(&held);
    EXPECT_FALSE(m_frame->Refresher().RequestRefresh(list));
    held.m_bUpdating = false;
    EXPECT_TRUE(m_frame->Lists().CanChangeEntry(&held));
}

TEST_F(MainFrameRefreshTest, ServerListMergeKeepsKnownEntriesAddsNewOnesAndRemovesDroppedOnes)
{
    RecordingMainFrame frame; // no window: the merge needs none
    frame.Lists().AdoptMain(new CFeedChannel);
    CFeedItem* kept = NewEntry(L"kept", L"http://a.example/kept", L"kept");
    CFeedItem* dropped = NewEntry(L"dropped", L"http://a.example/dropped", L"dropped");
    CFeedItem* busy = NewEntry(L"busy", L"http://a.example/busy", L"busy");
    busy->m_bUpdating = true; // a download holds it
    for (CFeedItem* entry : {kept, dropped, busy})
        frame.Lists().Main()->m_items.AddTail(entry);
    for (const wchar_t* name : {L"dropped.rss", L"dropped.ico", L"busy.rss", L"kept.rss"})
        ASSERT_TRUE(lqtest::WriteFileBytes(Data(name), "x"));
    theApp.m_unsubscribed.AddTail(L"http://a.example/unwanted");

    auto* loaded = new CFeedChannel;
    CFeedItem* keptAgain = NewEntry(L"kept", L"http://a.example/kept", L"");
    keptAgain->m_strCategory = L"News";
    keptAgain->m_nUpdateInterval = 30;
    loaded->m_items.AddTail(keptAgain);
    loaded->m_items.AddTail(NewEntry(L"added", L"http://a.example/added", L""));
    loaded->m_items.AddTail(NewEntry(L"unwanted", L"http://a.example/unwanted", L""));
    loaded->m_items.AddTail(NewEntry(L"escaping", L"http://a.example/escaping", L"..\\outside"));
    frame.Refresher().MergeServerChannelList(loaded);

    EXPECT_EQ(Titles(frame.Lists().Main()), (std::vector<std::wstring>{L"kept", L"added", L"escaping", L"busy"}));
    EXPECT_EQ(FindByTitle(frame.Lists().Main(), L"kept"), kept); // the same record, updated
    EXPECT_STREQ(kept->m_strCategory.GetString(), L"News");
    EXPECT_EQ(kept->m_nUpdateInterval, 30);
    EXPECT_EQ(frame.Pane().m_removed, std::vector<std::wstring>{L"dropped"});
    EXPECT_FALSE(Exists(Data(L"dropped.rss")));
    EXPECT_FALSE(Exists(Data(L"dropped.ico")));
    EXPECT_TRUE(Exists(Data(L"busy.rss")));
    EXPECT_TRUE(Exists(Data(L"kept.rss")));
    // A new entry gets its own empty cache file; a name that leads out of the folder gets none.
    CFeedItem* added = FindByTitle(frame.Lists().Main(), L"added");
    ASSERT_FALSE(added->m_strFile.IsEmpty());
    EXPECT_TRUE(Exists(added->GetCacheFileName().GetString()));
    EXPECT_FALSE(Exists(m_data.Path() + L"\\..\\outside.rss"));
}

TEST_F(MainFrameRefreshTest, ListsLoadFromTheBackupWhenDamagedAndStayNullWhenUnreadable)
{
    struct Case
    {
        const char* name;
        const char* mainXml; // null: no file
        const char* customXml;
        bool bCustomBackup, bMainBackup;
        bool bMain, bCustom;
        bool bTold; // the user hears that the main list could not be read
    };
    const Case cases[] = {
        {"nothing there", nullptr, nullptr, false, false, false, false, false},
        {"damaged lists, good custom backup", "<rss><chan", "garbage", true, false, false, true, true},
        {"damaged lists, no backup", "not xml", "<<<", false, false, false, false, true},
        {"damaged main list, good main backup", "<rss><chan", nullptr, false, true, true, false, false},
        {"main list gone, good main backup", nullptr, nullptr, false, true, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder data;
        theApp.m_strDataFolder = data.Path().c_str();
        if (c.bCustomBackup) {
            CFeedChannel backup;
            backup.m_items.AddTail(NewEntry(L"from backup", L"http://a.example/b", L"b"));
            ASSERT_TRUE(backup.SaveMainFeeds());
            ASSERT_TRUE(::MoveFileW(data.File(L"MainFeed.xml").c_str(), data.File(L"CustomFeed.bak").c_str()));
            ::DeleteFileW(data.File(L"MainFeed.bak").c_str());
        }
        if (c.bMainBackup) {
            // Every save of the main list leaves its copy beside it.
            CFeedChannel saved;
            saved.m_items.AddTail(NewEntry(L"main saved", L"http://a.example/m", L"m"));
            ASSERT_TRUE(saved.SaveMainFeeds());
            EXPECT_EQ(lqtest::ReadFileBytes(data.File(L"MainFeed.bak")),
                      lqtest::ReadFileBytes(data.File(L"MainFeed.xml")));
            ::DeleteFileW(data.File(L"MainFeed.xml").c_str());
        }
        if (c.mainXml) {
            ASSERT_TRUE(lqtest::WriteFileBytes(data.File(L"MainFeed.xml"), c.mainXml));
        }
        if (c.customXml) {
            ASSERT_TRUE(lqtest::WriteFileBytes(data.File(L"CustomFeed.xml"), c.customXml));
        }
        RecordingMainFrame frame;
        lqtest::ModalDriver driver([](HWND, const std::wstring&, int) {});
        EXPECT_TRUE(frame.Lists().Load());
        EXPECT_EQ(driver.m_messages.size(), c.bTold ? 1u : 0u);
        EXPECT_EQ(frame.Lists().Main() != nullptr, c.bMain);
        EXPECT_EQ(frame.Lists().Custom() != nullptr, c.bCustom);
        if (c.bCustom) {
            EXPECT_EQ(Titles(frame.Lists().Custom()), std::vector<std::wstring>{L"from backup"});
        }
        if (c.bMain) {
            EXPECT_EQ(Titles(frame.Lists().Main()), std::vector<std::wstring>{L"main saved"});
        }
        // A damaged main list is never written over by loading.
        if (c.mainXml) {
            EXPECT_EQ(lqtest::ReadFileBytes(data.File(L"MainFeed.xml")), c.mainXml);
        }
    }
}

TEST_F(MainFrameRefreshTest, CountdownsAtLoadFollowTheCacheFiles)
{
    CFeedChannel mainList;
    CFeedItem* cached = NewEntry(L"cached", L"http://a.example/c", L"cached");
    CFeedItem* missing = NewEntry(L"missing", L"http://a.example/m", L"missing");
    CFeedItem* broken = NewEntry(L"broken", L"http://a.example/b", L"broken");
    for (CFeedItem* entry : {cached, missing, broken}) {
        entry->m_nUpdateInterval = 45;
        entry->m_nCountdown = 7;
        mainList.m_items.AddTail(entry);
    }
    ASSERT_TRUE(mainList.SaveMainFeeds());
    WriteCache(Data(L"cached.rss"), {L"one"});
    ASSERT_TRUE(lqtest::WriteFileBytes(Data(L"broken.rss"), "<rss"));

    RecordingMainFrame frame;
    ASSERT_TRUE(frame.Lists().Load());
    frame.Lists().StartReading();
    frame.Lists().FinishReading();
    ASSERT_NE(frame.Lists().Main(), nullptr);
    CFeedItem* loadedCached = FindByTitle(frame.Lists().Main(), L"cached");
    CFeedItem* loadedMissing = FindByTitle(frame.Lists().Main(), L"missing");
    CFeedItem* loadedBroken = FindByTitle(frame.Lists().Main(), L"broken");
    EXPECT_EQ(Titles(loadedCached->m_pChannel), std::vector<std::wstring>{L"one"});
    EXPECT_EQ(loadedCached->m_nCountdown, 45);
    EXPECT_EQ(loadedMissing->m_nCountdown, 45);
    EXPECT_EQ(loadedBroken->m_pChannel, nullptr);
    EXPECT_NE(loadedBroken->m_nCountdown, 45); // a damaged cache leaves the countdown as the list had it
}

} // namespace

namespace {

struct EnableProbe : CCmdUI
{
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override { m_bEnabled = bOn; }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
};

bool IsEnabled(CMainFrame& frame, UINT nID)
{
    EnableProbe probe;
    probe.m_nID = nID;
    frame.OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &probe, nullptr);
    return probe.m_bEnabled != FALSE;
}

std::wstring StatusText(CMainFrame& frame)
{
    return frame.PaneSite().GetStatusBar().GetPaneText(0).GetString();
}

} // namespace

// The refresh at start says so on the status line until it ends: the frame's own idle prompt, which arrives
// after it, and a menu closing meanwhile leave it; Subscribe waits for the refresh's end as Update Now does.
TEST_F(MainFrameRefreshTest, TheStatusLineAndSubscribeFollowTheRefreshAtStart)
{
    {
        CFeedChannel mainList;
        mainList.m_items.AddTail(NewEntry(L"slow", HttpUrl(L"/delayed/" + m_key + L"/1500/slow"), L"slow"));
        ASSERT_TRUE(mainList.SaveMainFeeds());
    }
    theApp.WriteProfileInt(L"", L"Check at startup", 1);
    auto* frame = new CMainFrame; // deletes itself with its window
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    const std::wstring updating = LoadResourceString(IDS_UPDATING).GetString();
    const std::wstring ready = LoadResourceString(AFX_IDS_IDLEMESSAGE).GetString();
    lqtest::PumpPending(); // the frame's idle prompt of its creation
    EXPECT_EQ(StatusText(*frame), updating);
    ::SendMessageW(frame->GetSafeHwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(StatusText(*frame), updating);
    ASSERT_TRUE(PumpUntil([&] { return frame->Refresher().IsUpdating(); }));
    EXPECT_FALSE(IsEnabled(*frame, ID_FEED_SUBSCRIBE));
    EXPECT_FALSE(IsEnabled(*frame, ID_FEEDS_UPDATE_NOW));

    ASSERT_TRUE(PumpUntil([&] { return !frame->Refresher().IsUpdating() && StatusText(*frame) == ready; }, 30000));
    EXPECT_TRUE(IsEnabled(*frame, ID_FEED_SUBSCRIBE));
    ::SendMessageW(frame->GetSafeHwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(StatusText(*frame), ready);
    frame->DestroyWindow();
    lqtest::PumpPending();
}
