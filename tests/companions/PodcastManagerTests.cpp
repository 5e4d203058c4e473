// The podcast manager on the test thread with a test frame: jobs arriving alone and as whole lists in each mode,
// one download at a time from the local server, newer jobs first, removal while downloading (also sent from
// another thread, as the frame does), stop and resume, opening only finished files, and the settings' report.
#include "companions/CompanionMessages.h"
#include "companions/PodcastWnd.h"
#include "feeds/EnclosureFiles.h"
#include "feeds/EnclosureJob.h"
#include "feeds/EngineMessages.h"
#include "feeds/FeedItem.h"
#include "framework/Afx.h"
#include "res/resource.h"
#include "tests/companions/CompanionsTestHost.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using lqtest::HttpUrl;
using lqtest::PumpUntil;

std::vector<CString> g_opened;

bool RecordOpened(const CString& path)
{
    g_opened.push_back(path);
    return true;
}

// The frame the manager reports to.
class CTestFrame : public CWnd
{
public:
    std::vector<WPARAM> m_events;

protected:
    LRESULT OnFrameEvent(WPARAM wParam, LPARAM)
    {
        m_events.push_back(wParam);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestFrame, CWnd)
ON_MESSAGE(WM_FRAME_EVENT, OnFrameEvent)
END_MESSAGE_MAP()

// The manager with its settings sheet answered by the test.
class CTestPodcastWnd : public CPodcastWnd
{
public:
    bool m_bSettingsChanged = false;

protected:
    bool ShowSettings() override { return m_bSettingsChanged; }
};

class PodcastManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(0, lqtest::HttpPort());
        theCompanionsHost.SetRegistryKey(L"Lanternquill Tests");
        theCompanionsHost.WriteProfileString(L"Podcasting", L"Path", m_folder.Path().c_str());
        m_previousLauncher = SetEnclosureLauncher(RecordOpened);
        g_opened.clear();
        SetMode(1);
        ASSERT_TRUE(m_frame.CreateEx(0, AfxRegisterWndClass(0), L"Test frame", WS_POPUP, CRect(0, 0, 100, 100),
                                     nullptr, 0));
        ASSERT_TRUE(m_wnd.Create(m_frame.m_hWnd));
        m_feed.m_nKind = FEED_KIND_FEED;
        m_feed.m_strTitleText = L"Test Feed";
        m_feed.m_strLink = HttpUrl(L"/feed.xml").c_str();
        m_feed.m_strFile = L"testfeed";
    }
    void TearDown() override
    {
        if (m_wnd.GetSafeHwnd())
            m_wnd.DestroyWindow();
        m_frame.DestroyWindow();
        SetEnclosureLauncher(m_previousLauncher);
        theCompanionsHost.WriteProfileString(L"Podcasting", L"Path", nullptr);
        theCompanionsHost.WriteProfileString(L"Podcasting\\Items", L"testfeed", nullptr);
        SetMode(0);
        lqtest::PumpPending();
    }

    static void SetMode(int mode) { GetEngineContext().m_settings.nPodcastMode = mode; }

    // A news item of the test feed with an enclosure on the local server, dated day days into 2026.
    CFeedItem* Item(const std::wstring& path, int day, int length = 0)
    {
        m_items.push_back(std::make_unique<CFeedItem>());
        CFeedItem* item = m_items.back().get();
        item->m_strEnclosureUrl = HttpUrl(path).c_str();
        item->m_nEnclosureLength = length;
        item->m_dtDate = COleDateTime(46023.0 + day);
        return item;
    }
    CEnclosureJob* Job(CFeedItem* item) { return new CEnclosureJob(item, &m_feed); }
    void AddOne(CFeedItem* item) { m_wnd.SendMessage(WM_PODCAST_ADD_ITEMS, reinterpret_cast<WPARAM>(Job(item)), 0); }
    void AddList(const std::vector<CFeedItem*>& items)
    {
        CPtrList list(10);
        for (CFeedItem* item : items)
            list.AddTail(Job(item));
        m_wnd.SendMessage(WM_PODCAST_ADD_ITEMS, reinterpret_cast<WPARAM>(&list), 1);
    }
    CString State(int row) { return m_wnd.List().GetItemText(row, 2); }
    COLORREF RowColour(int row) { return m_wnd.List().GetCell(row, 0)->crBackground; }
    bool Settles(const std::function<bool()>& condition) { return PumpUntil(condition, 20000); }

    lqtest::TempFolder m_folder;
    CTestFrame m_frame;
    CTestPodcastWnd m_wnd;
    CFeedItem m_feed;
    std::vector<std::unique_ptr<CFeedItem>> m_items;
    EnclosureLauncher m_previousLauncher = nullptr;
};

TEST_F(PodcastManagerTest, SingleJobsAreKeptByTheMode)
{
    struct Case
    {
        int mode;
        const wchar_t* selected; // "Podcasting\Items" for the feed
        bool kept;
    };
    const Case cases[] = {{0, L"yes", false}, {2, nullptr, false}, {2, L"no", false}, {2, L"yes", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << " " << (c.selected ? lqtest::Narrow(c.selected) : "none"));
        SetMode(c.mode);
        theCompanionsHost.WriteProfileString(L"Podcasting\\Items", L"testfeed", c.selected);
        m_wnd.SendMessage(WM_PODCAST_ADD_ITEMS, 0, 1); // an empty list empties the manager
        // A finished enclosure starts nothing, so the list shows exactly what was kept.
        CFeedItem* item = Item(L"/text/10/kept.mp3", 1);
        item->m_nEnclosureState = 1;
        AddOne(item);
        EXPECT_EQ(c.kept ? 1 : 0, m_wnd.List().GetItemCount());
        EXPECT_EQ(c.kept ? 1 : 0, m_wnd.Jobs().GetCount());
        if (c.kept) {
            EXPECT_EQ(CString(L"Completed"), State(0));
            EXPECT_EQ(kPodcastCompleted, RowColour(0));
            EXPECT_EQ(CString(L"Test Feed"), m_wnd.List().GetItemText(0, 1));
        }
    }
}

TEST_F(PodcastManagerTest, WholeListIsShownOldestFirstAndDownloadedNewestFirstOneAtATime)
{
    CFeedItem* older = Item(L"/text/2000/older.mp3", 1);
    CFeedItem* newer = Item(L"/text/3000/newer.mp3", 5);
    CFeedItem* gone = Item(L"/text/10/gone.mp3", 3);
    gone->m_nEnclosureState = 2;
    gone->m_strEnclosureFile = m_folder.File(L"deleted meanwhile.mp3").c_str();
    AddList({older, gone, newer});

    ASSERT_EQ(3, m_wnd.List().GetItemCount());
    EXPECT_EQ(older->m_strEnclosureUrl, m_wnd.List().GetItemText(0, 0));
    EXPECT_EQ(newer->m_strEnclosureUrl, m_wnd.List().GetItemText(2, 0));
    EXPECT_EQ(0, gone->m_nEnclosureState) << "its file is gone: it starts again";
    EXPECT_TRUE(gone->m_strEnclosureFile.IsEmpty());
    EXPECT_TRUE(m_wnd.IsRunning());
    EXPECT_EQ(newer, m_wnd.CurrentJob()->m_pItem);
    EXPECT_EQ(CString(L"Downloading"), State(2));
    EXPECT_EQ(kPodcastDownloading, RowColour(2));

    ASSERT_TRUE(Settles([&] { return !m_wnd.IsRunning(); }));
    for (CFeedItem* item : {older, gone, newer})
        EXPECT_EQ(1, item->m_nEnclosureState);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(CString(L"Completed"), State(row));
        EXPECT_EQ(kPodcastCompleted, RowColour(row));
        EXPECT_FALSE(m_wnd.List().GetCell(row, 2)->bShowProgress);
    }
    EXPECT_EQ(m_folder.File(L"newer.mp3"), std::wstring(newer->m_strEnclosureFile));
    EXPECT_EQ(3000u, lqtest::ReadFileBytes(m_folder.File(L"newer.mp3")).size());
}

TEST_F(PodcastManagerTest, AJobArrivingDuringARunIsNextAndShownLast)
{
    CFeedItem* slow = Item(L"/slow/640/100/slow.mp3", 1);
    CFeedItem* waiting = Item(L"/text/100/waiting.mp3", 2);
    AddList({slow, waiting});
    ASSERT_EQ(waiting, m_wnd.CurrentJob()->m_pItem);
    ASSERT_TRUE(Settles([&] { return m_wnd.CurrentJob() && m_wnd.CurrentJob()->m_pItem == slow; }));

    CFeedItem* fresh = Item(L"/text/100/fresh.mp3", 0);
    CFeedItem* older = Item(L"/text/100/older.mp3", -5);
    older->m_nEnclosureState = 0;
    AddOne(older);
    AddOne(fresh);
    EXPECT_EQ(fresh->m_strEnclosureUrl, m_wnd.List().GetItemText(3, 0)) << "shown at the end";
    ASSERT_TRUE(Settles([&] { return slow->m_nEnclosureState == 1; }));
    // The run starts again from the newest job once the current transfer has ended.
    ASSERT_NE(nullptr, m_wnd.CurrentJob());
    EXPECT_EQ(fresh, m_wnd.CurrentJob()->m_pItem);
    ASSERT_TRUE(Settles([&] { return !m_wnd.IsRunning(); }));
    EXPECT_EQ(1, older->m_nEnclosureState);
}

TEST_F(PodcastManagerTest, StopKeepsThePartialFileAndResumeContinuesIt)
{
    CFeedItem* item = Item(L"/slow/6400/3000/partial.mp3", 1, 6400);
    AddOne(item);
    ASSERT_TRUE(Settles([&] {
        const CProgressCell* cell = m_wnd.List().GetCell(0, 2);
        return cell && cell->bShowProgress && cell->nProgressPercent >= 1;
    }));
    m_wnd.SendMessage(WM_COMMAND, ID_PODCAST_STOP);
    EXPECT_TRUE(m_wnd.IsStopped());
    EXPECT_FALSE(m_wnd.IsRunning());
    EXPECT_EQ(nullptr, m_wnd.CurrentJob());
    EXPECT_EQ(2, item->m_nEnclosureState);
    const std::wstring file = m_folder.File(L"partial.mp3");
    EXPECT_EQ(file, std::wstring(item->m_strEnclosureFile));
    const size_t kept = lqtest::ReadFileBytes(file).size();
    EXPECT_GE(kept, 64u);
    EXPECT_LT(kept, 6400u);

    // Resumed from a faster address of the same file: the rest is appended to what was kept.
    item->m_strEnclosureUrl = HttpUrl(L"/text/6400/partial.mp3").c_str();
    m_wnd.SendMessage(WM_COMMAND, ID_PODCAST_RESUME);
    EXPECT_FALSE(m_wnd.IsStopped());
    ASSERT_TRUE(Settles([&] { return !m_wnd.IsRunning(); }));
    EXPECT_EQ(1, item->m_nEnclosureState);
    EXPECT_EQ(file, std::wstring(item->m_strEnclosureFile)) << "no second file";
    const std::string whole = lqtest::ReadFileBytes(file);
    EXPECT_EQ(6400u, whole.size());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(m_folder.File(L"partial (2).mp3").c_str()));
}

// The frame removes an item it is about to delete while the item downloads; it sends from its own thread, so
// the manager must answer without waiting on anything that needs the frame.
TEST_F(PodcastManagerTest, RemovingTheDownloadingItemEndsItsTransferAndForgetsIt)
{
    CFeedItem* slow = Item(L"/slow/6400/3000/removed.mp3", 2);
    CFeedItem* next = Item(L"/text/100/next.mp3", 1);
    AddList({slow, next});
    ASSERT_TRUE(Settles([&] { return m_wnd.List().GetCell(1, 2)->bShowProgress; }));

    bool bAnswered = false;
    std::thread frame([&] {
        m_wnd.SendMessage(WM_PODCAST_REMOVE_ITEM, reinterpret_cast<WPARAM>(slow));
        bAnswered = true;
    });
    const bool answered = PumpUntil([&] { return bAnswered; }, 5000);
    frame.join();
    ASSERT_TRUE(answered);
    m_items.erase(m_items.begin()); // the frame deletes the item
    EXPECT_EQ(1, m_wnd.Jobs().GetCount());
    ASSERT_EQ(1, m_wnd.List().GetItemCount());
    EXPECT_EQ(next->m_strEnclosureUrl, m_wnd.List().GetItemText(0, 0));
    // The run goes on with the next job, and the dropped transfer's late reports change nothing.
    ASSERT_TRUE(Settles([&] { return !m_wnd.IsRunning(); }));
    EXPECT_EQ(1, next->m_nEnclosureState);
    lqtest::PumpPending();
    EXPECT_EQ(CString(L"Completed"), State(0));
}

TEST_F(PodcastManagerTest, ReplacingTheListStopsEverythingConsistently)
{
    CFeedItem* slow = Item(L"/slow/6400/3000/replaced.mp3", 1);
    AddOne(slow);
    ASSERT_TRUE(Settles([&] { return slow->m_nEnclosureState == 0 && m_wnd.List().GetCell(0, 2)->bShowProgress; }));
    SetMode(0);
    m_wnd.SendMessage(WM_PODCAST_ADD_ITEMS, 0, 1);
    EXPECT_FALSE(m_wnd.IsRunning());
    EXPECT_EQ(nullptr, m_wnd.CurrentJob());
    EXPECT_EQ(0, m_wnd.List().GetItemCount());
    EXPECT_EQ(0, m_wnd.Jobs().GetCount());
    // The item keeps its partial file for the next run; the frame writes its cache.
    EXPECT_EQ(2, slow->m_nEnclosureState);
    EXPECT_EQ(m_folder.File(L"replaced.mp3"), std::wstring(slow->m_strEnclosureFile));
}

TEST_F(PodcastManagerTest, OnlyAFinishedRowOpensItsFileThroughTheCheckedOpener)
{
    CFeedItem* done = Item(L"/text/100/done.mp3", 2);
    CFeedItem* pending = Item(L"/text/100/pending.mp3", 1);
    pending->m_nEnclosureState = 2;
    AddOne(done);
    ASSERT_TRUE(Settles([&] { return !m_wnd.IsRunning(); }));
    SetMode(2); // kept only when selected: the pending one stays unstarted
    theCompanionsHost.WriteProfileString(L"Podcasting\\Items", L"testfeed", L"yes");
    m_wnd.Stop();
    AddOne(pending);
    ASSERT_EQ(2, m_wnd.List().GetItemCount());

    m_wnd.SendMessage(WM_COMMAND, ID_PODCAST_OPEN_FILE); // nothing selected
    m_wnd.List().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    m_wnd.SendMessage(WM_COMMAND, ID_PODCAST_OPEN_FILE); // not finished
    EXPECT_TRUE(g_opened.empty());

    m_wnd.List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    m_wnd.SendMessage(WM_COMMAND, ID_PODCAST_OPEN_FILE);
    ASSERT_EQ(1u, g_opened.size());
    EXPECT_EQ(CString(m_folder.File(L"done.mp3").c_str()), g_opened[0]);

    m_wnd.SendMessage(WM_COMMAND, ID_PODCAST_OPEN_FOLDER);
    ASSERT_EQ(2u, g_opened.size());
    EXPECT_EQ(CString(m_folder.Path().c_str()), g_opened[1]);
}

TEST_F(PodcastManagerTest, ChangedSettingsAreReportedToTheFrameByItsHandle)
{
    m_wnd.m_bSettingsChanged = false;
    m_wnd.SendMessage(WM_COMMAND, ID_PODCAST_PROPERTIES);
    EXPECT_TRUE(m_frame.m_events.empty());
    m_wnd.m_bSettingsChanged = true;
    m_wnd.SendMessage(WM_COMMAND, ID_PODCAST_PROPERTIES);
    ASSERT_EQ(1u, m_frame.m_events.size());
    EXPECT_EQ(static_cast<WPARAM>(FRAME_EVENT_PODCAST_CHANGED), m_frame.m_events[0]);
}

TEST(EnclosureFiles, OnlyDocumentsWithCleanNamesAreOpened)
{
    lqtest::TempFolder folder;
    const std::wstring names[] = {L"show.mp3", L"run.exe", L"script.JS", L"page.hta"};
    for (const std::wstring& name : names)
        ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(name), "x"));
    struct Case
    {
        std::wstring path;
        bool openable;
    };
    const Case cases[] = {
        {folder.File(L"show.mp3"), true},
        {folder.File(L"run.exe"), false},
        {folder.File(L"script.JS"), false},
        {folder.File(L"page.hta"), false},
        {folder.File(L"missing.mp3"), false},
        {folder.Path(), false},
        {L"show.mp3", false},
        {folder.File(L"..\\show.mp3"), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.openable, IsOpenableEnclosureFile(c.path.c_str())) << lqtest::Narrow(c.path);
}

} // namespace
