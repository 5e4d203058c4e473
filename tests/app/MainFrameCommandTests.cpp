// The main frame's commands and their enabling, the notification area, the connection monitor and the frame events,
// the new-items alert, the usage log, the first placement and what the frame keeps in the profile at shut-down.
#include "app/ChannelViewer.h"
#include "app/ConnectionMonitor.h"
#include "app/MainFrm.h"
#include "tests/app/MainFrameTestSupport.h"
#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/UsageLog.h"
#include "framework/StandardIds.h"
#include "framework/core/ScopedHandles.h"
#include "res/resource.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/controls/XTPPopupItem.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "views/FeedTaskPanel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

using lqtest::CountingMainFrame;
using lqtest::HttpUrl;
using lqtest::PumpUntil;
using lqtest::TempFolder;

namespace {

const wchar_t kTestCompany[] = L"LanternquillCommandTests";
const wchar_t kTestKey[] = L"Software\\LanternquillCommandTests";

// The platform's connection notification as the tests want it: refused, or accepted with the event kept.
std::atomic<HANDLE> g_connectEvent{nullptr};
std::atomic<int> g_notifyCalls{0};
DWORD WINAPI AcceptNotification(HANDLE, HANDLE hEvent, DWORD)
{
    g_connectEvent = hEvent;
    ++g_notifyCalls;
    return 0;
}
DWORD WINAPI RefuseNotification(HANDLE, HANDLE, DWORD)
{
    ++g_notifyCalls;
    return 632; // an error of the dial-up service
}

bool g_networkUp = true;
bool TestNetworkAlive()
{
    return g_networkUp;
}

CFeedItem* NewEntry(const std::wstring& title, const std::wstring& link, int nKind = FEED_KIND_FEED)
{
    auto* entry = new CFeedItem;
    entry->m_nKind = nKind;
    entry->m_strTitleText = title.c_str();
    entry->m_strTitle = title.c_str();
    entry->m_strLinkText = link.c_str();
    entry->m_strLink = link.c_str();
    entry->m_strFile = title.c_str();
    entry->m_nUpdateInterval = 60;
    entry->m_nCountdown = 60;
    return entry;
}

std::vector<BYTE> ProfileBinary(const wchar_t* section, const wchar_t* name)
{
    std::vector<BYTE> bytes(4096);
    DWORD size = static_cast<DWORD>(bytes.size());
    const std::wstring key = std::wstring(kTestKey) + L"\\Lanternquill" + (section[0] ? L"\\" : L"") + section;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_BINARY, nullptr, bytes.data(), &size) !=
        ERROR_SUCCESS)
        return {};
    bytes.resize(size);
    return bytes;
}

class MainFrameCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theApp.m_settings.nTimeout = 2;
        theApp.m_settings.nViewStyle = 0;
        theApp.WriteProfileInt(L"", L"Check at startup", 0);
        g_pfnConnectionNotification = RefuseNotification;
        g_pfnNetworkAlive = TestNetworkAlive;
        g_networkUp = true;
        g_connectEvent = nullptr;
        g_notifyCalls = 0;
    }
    void TearDown() override
    {
        if (m_frame && ::IsWindow(m_hFrame))
            m_frame->DestroyWindow();
        lqtest::PumpPending();
        g_pfnConnectionNotification = m_savedNotification;
        g_pfnNetworkAlive = m_savedAlive;
        GetEngineContext().m_newsLabels.RemoveAll();
    }

    // A frame whose start-of-life refresh has ended.
    void Create()
    {
        m_frame = new CountingMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
        m_hFrame = m_frame->GetSafeHwnd();
        ASSERT_TRUE(
            PumpUntil([&] { return m_frame->Pane().m_ended >= 1 && !m_frame->Refresher().IsUpdating(); }, 30000));
    }
    void Destroy()
    {
        m_frame->DestroyWindow();
        m_frame = nullptr;
        lqtest::PumpPending();
    }
    LRESULT Command(UINT nID) { return ::SendMessageW(m_hFrame, WM_COMMAND, nID, 0); }

    TempFolder m_data;
    TempFolder m_temp;
    apptest::AppSandbox m_sandbox{kTestCompany, m_data, m_temp};
    CountingMainFrame* m_frame = nullptr; // deletes itself with its window
    HWND m_hFrame = nullptr;
    PFN_CONNECTION_NOTIFICATION m_savedNotification = g_pfnConnectionNotification;
    PFN_NETWORK_ALIVE m_savedAlive = g_pfnNetworkAlive;
};

HWND TrayWindow()
{
    return ::FindWindowW(nullptr, LQ_TRAY_WINDOW_NAME);
}

TEST_F(MainFrameCommandTest, ClosingAndMinimisingHideToTheTrayAndOnlyExitEndsTheWindow)
{
    Create();
    m_frame->ShowWindow(SW_SHOW);
    struct Way
    {
        const char* name;
        UINT message;
        WPARAM wParam;
    } hides[] = {{"close", WM_CLOSE, 0}, {"minimise", WM_SYSCOMMAND, SC_MINIMIZE}};
    struct Back
    {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } backs[] = {{"double click on the icon", WM_TRAYICON_NOTIFY, IDR_TRAY_MENU, WM_LBUTTONDBLCLK},
                 {"the probe of a second start", WM_INSTANCE_PROBE, 0, 0},
                 {"Open Reader", WM_COMMAND, ID_TRAY_OPEN_READER, 0}};
    for (const Way& hide : hides) {
        for (const Back& back : backs) {
            SCOPED_TRACE(std::string(hide.name) + " then " + back.name);
            ::SendMessageW(m_hFrame, hide.message, hide.wParam, 0);
            ASSERT_TRUE(::IsWindow(m_hFrame));
            EXPECT_FALSE(::IsWindowVisible(m_hFrame));
            EXPECT_TRUE(m_frame->TrayAndAlert().IsInTray());
            // A second start finds the frame under the tray window's name.
            ASSERT_NE(TrayWindow(), nullptr);
            EXPECT_EQ(::GetAncestor(m_hFrame, GA_PARENT), TrayWindow());

            const LRESULT answer = ::SendMessageW(m_hFrame, back.message, back.wParam, back.lParam);
            if (back.message == WM_INSTANCE_PROBE) {
                EXPECT_EQ(answer, static_cast<LRESULT>(WM_INSTANCE_PROBE));
            } else if (back.message == WM_TRAYICON_NOTIFY) {
                EXPECT_EQ(answer, 1);
            }
            EXPECT_TRUE(::IsWindowVisible(m_hFrame));
            EXPECT_FALSE(m_frame->TrayAndAlert().IsInTray());
            EXPECT_EQ(::GetAncestor(m_hFrame, GA_PARENT), ::GetDesktopWindow());
        }
    }
    // Other mouse messages of the icon are left to the icon.
    EXPECT_EQ(::SendMessageW(m_hFrame, WM_TRAYICON_NOTIFY, IDR_TRAY_MENU, WM_MOUSEMOVE), 0);
    // "Open Reader" only acts from the tray: on a shown frame it does not hide it.
    Command(ID_TRAY_OPEN_READER);
    EXPECT_TRUE(::IsWindowVisible(m_hFrame));
    EXPECT_FALSE(m_frame->TrayAndAlert().IsInTray());

    ::SendMessageW(m_hFrame, WM_CLOSE, 0, 0);
    Command(ID_TRAY_EXIT_READER);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(m_hFrame); }));
    m_frame = nullptr;
}

// The visible popup menu bar of this thread, when one is up: the largest borderless popup (its shadows are thin).
HWND ShownPopupBar(HWND hFrame)
{
    struct Search
    {
        HWND hFrame;
        HWND found;
        LONG area;
    } search{hFrame, nullptr, 0};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            const LONG style = ::GetWindowLongW(hWnd, GWL_STYLE);
            RECT rect = {};
            ::GetWindowRect(hWnd, &rect);
            const LONG area = (rect.right - rect.left) * (rect.bottom - rect.top);
            if (hWnd != s->hFrame && ::IsWindowVisible(hWnd) && (style & WS_POPUP) && !(style & WS_CAPTION) &&
                area > s->area) {
                s->found = hWnd;
                s->area = area;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND g_menuFrame = nullptr;
std::atomic<bool> g_menuClicked{false};
int g_menuTicks = 0;

// Runs inside the menu's own message loop: clicks its last item, "Exit Reader". Should that not end the menu,
// Escape does after a while, so that the test fails instead of waiting for ever.
void CALLBACK ClickLastMenuItem(HWND, UINT, UINT_PTR nIDEvent, DWORD)
{
    ++g_menuTicks;
    HWND popup = ShownPopupBar(g_menuFrame);
    if (g_menuTicks > 100) {
        ::KillTimer(nullptr, nIDEvent);
        lqtest::TapKey(VK_ESCAPE);
        return;
    }
    if (!popup || g_menuClicked)
        return;
    RECT rect = {};
    ::GetWindowRect(popup, &rect);
    lqtest::SendClick({(rect.left + rect.right) / 2, rect.bottom - 10});
    g_menuClicked = true;
}

TEST_F(MainFrameCommandTest, TheTrayIconsMenuEndsTheWindowWithExitReader)
{
    Create();
    ::SendMessageW(m_hFrame, WM_CLOSE, 0, 0);
    g_menuFrame = m_hFrame;
    g_menuClicked = false;
    g_menuTicks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, ClickLastMenuItem);
    ::PostMessageW(m_hFrame, WM_TRAYICON_NOTIFY, IDR_TRAY_MENU, WM_RBUTTONUP);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(m_hFrame); }, 10000));
    EXPECT_TRUE(g_menuClicked);
    ::KillTimer(nullptr, timer);
    if (!::IsWindow(m_hFrame))
        m_frame = nullptr;
}

TEST_F(MainFrameCommandTest, TheOtherWaysOutEndTheWindow)
{
    for (UINT message : {static_cast<UINT>(WM_COMMAND), static_cast<UINT>(WM_REQUEST_CLOSE)}) {
        SCOPED_TRACE(message);
        Create();
        ::SendMessageW(m_hFrame, message, message == WM_COMMAND ? ID_APP_EXIT : 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(m_hFrame); }));
        m_frame = nullptr;
        lqtest::PumpPending();
    }
}

// A command can arrive although its update handler disables it (an accelerator, a menu shown before the state
// changed, another program): it is ignored.
TEST_F(MainFrameCommandTest, ACommandThatIsDisabledNowIsIgnored)
{
    Create();
    m_frame->Refresher().GetWorkerLink().m_bUpdating = 1; // as while a refresh runs
    for (UINT nID : {ID_FEEDS_UPDATE_NOW, ID_TRAY_CHECK_FOR_NEWS}) {
        Command(nID);
        EXPECT_FALSE(m_frame->Refresher().IsFullRefresh()) << nID;
    }
    m_frame->Refresher().GetWorkerLink().m_bUpdating = 0;
    m_frame->Refresher().SetFullRefresh(true);
    Command(ID_FEEDS_STOP); // no refresh runs
    EXPECT_TRUE(m_frame->Refresher().IsFullRefresh());
    m_frame->Refresher().SetFullRefresh(false);

    // Enabled, the same command runs.
    const int ended = m_frame->Pane().m_ended;
    Command(ID_FEEDS_UPDATE_NOW);
    EXPECT_TRUE(m_frame->Refresher().IsFullRefresh());
    EXPECT_TRUE(
        PumpUntil([&] { return m_frame->Pane().m_ended > ended && !m_frame->Refresher().IsUpdating(); }, 30000));
}

// A command's state as the frame's update handler sets it.
struct CommandState : CCmdUI
{
    bool enabled = false;
    bool checked = false;
    void Enable(BOOL bOn) override { enabled = bOn != FALSE; }
    void SetCheck(int nCheck) override { checked = nCheck != 0; }
    void SetRadio(BOOL bOn) override { checked = bOn != FALSE; }
    void SetText(LPCTSTR) override {}
};

CommandState QueryCommandOf(CWnd* pFrame, UINT nID)
{
    CommandState state;
    state.m_nID = nID;
    pFrame->OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr);
    return state;
}

TEST_F(MainFrameCommandTest, ThemeAndShowReadFeedsCommandsChangeAndCheckTheirState)
{
    Create();
    EXPECT_EQ(m_frame->Looks().GetTheme(), 2);
    // Each command selects what its name says; the skin's give the frame a rounded region, the toolkit's take it
    // away again.
    const struct
    {
        UINT nID;
        int nTheme;
        int nColorTheme;
        int nPaintTheme;
    } themes[] = {{ID_SKIN_SCHEME_1, 11, 0, xtpThemeCustom}, {ID_THEME_DEFAULT, 0, -1, xtpThemeDefault},
                  {ID_SKIN_SCHEME_3, 11, 2, xtpThemeCustom}, {ID_THEME_XP_STYLE, 3, -1, xtpThemeXPStyle},
                  {ID_SKIN_SCHEME_2, 11, 1, xtpThemeCustom}, {ID_THEME_OFFICE2003, 2, -1, xtpThemeOffice2003}};
    const UINT allCommands[] = {ID_THEME_DEFAULT, ID_THEME_OFFICE2003, ID_THEME_XP_STYLE,
                                ID_SKIN_SCHEME_1, ID_SKIN_SCHEME_2,    ID_SKIN_SCHEME_3};
    for (const auto& t : themes) {
        Command(t.nID);
        EXPECT_EQ(m_frame->Looks().GetTheme(), t.nTheme) << t.nID;
        EXPECT_EQ(CXTPPaintManager::GetCurrent()->m_nThemeId, t.nPaintTheme) << t.nID;
        const bool bSkin = t.nTheme == 11;
        if (bSkin) {
            EXPECT_EQ(m_frame->Looks().GetColorTheme(), t.nColorTheme) << t.nID;
        }
        CScopedRegion region(::CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(::GetWindowRgn(m_hFrame, region) != ERROR, bSkin) << t.nID;
        for (UINT other : allCommands) {
            const CommandState state = QueryCommandOf(m_frame, other);
            EXPECT_TRUE(state.enabled) << other;
            EXPECT_EQ(state.checked, other == t.nID) << t.nID << " checks " << other;
        }
    }
    theApp.m_settings.nHideReadChannels = 1;
    Command(ID_SHOW_READ_FEEDS);
    EXPECT_EQ(theApp.m_settings.nHideReadChannels, 0);
    EXPECT_EQ(theApp.GetProfileInt(L"", L"HideReadChannels", 1), 0u);
    Command(ID_SHOW_READ_FEEDS);
    EXPECT_EQ(theApp.m_settings.nHideReadChannels, 1);
}

TEST_F(MainFrameCommandTest, ViewerAndPodcastCommandsActOnlyOnWindowsThatExist)
{
    CWnd viewer;
    CWnd podcast;
    Create();
    for (CWnd* wnd : {&viewer, &podcast})
        ASSERT_TRUE(wnd->CreateEx(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));

    // Without the windows the commands are disabled and ignored.
    Command(ID_VIEW_CHANNEL_VIEWER);
    Command(ID_PODCAST_MANAGER);
    EXPECT_FALSE(viewer.IsWindowVisible());
    EXPECT_FALSE(podcast.IsWindowVisible());

    m_frame->Companions().SetChannelViewer(std::make_unique<lqtest::ViewerStandIn>(&viewer));
    m_frame->Companions().SetPodcastManager(std::make_unique<lqtest::PodcastStandIn>(&podcast));
    Command(ID_PODCAST_MANAGER);
    EXPECT_TRUE(podcast.IsWindowVisible());
    Command(ID_VIEW_CHANNEL_VIEWER);
    EXPECT_TRUE(viewer.IsWindowVisible());
    // A viewer shown when the frame goes to the tray is hidden with it and comes back with it.
    m_frame->ShowWindow(SW_SHOW);
    ::SendMessageW(m_hFrame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(viewer.IsWindowVisible());
    Command(ID_TRAY_OPEN_READER);
    EXPECT_TRUE(viewer.IsWindowVisible());
    Command(ID_VIEW_CHANNEL_VIEWER);
    EXPECT_FALSE(viewer.IsWindowVisible());

    Destroy();
}

TEST_F(MainFrameCommandTest, BrandingLinksOnlyLeaveForWebAddresses)
{
    Create();
    // A file or program named by a downloaded branding never reaches the shell: the command stays disabled.
    lstrcpynW(theApp.m_settings.szHelpUrl, L"C:\\windows\\system32\\calc.exe", 100);
    lstrcpynW(theApp.m_settings.szBrowseFeedsUrl, L"\\\\server\\share\\x.exe", 100);
    theApp.m_settings.szGettingStartedUrl[0] = 0;
    struct Probe : CCmdUI
    {
        BOOL m_bEnabled = TRUE;
        void Enable(BOOL bOn) override { m_bEnabled = bOn; }
        void SetCheck(int) override {}
        void SetRadio(BOOL) override {}
        void SetText(LPCTSTR) override {}
    };
    for (UINT nID : {ID_HELP_ONLINE, ID_BROWSE_FEEDS, ID_GETTING_STARTED}) {
        Probe probe;
        probe.m_nID = nID;
        m_frame->OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &probe, nullptr);
        EXPECT_FALSE(probe.m_bEnabled) << nID;
    }
    lstrcpynW(theApp.m_settings.szHelpUrl, L"https://127.0.0.1/help", 100);
    Probe probe;
    probe.m_nID = ID_HELP_ONLINE;
    m_frame->OnCmdMsg(ID_HELP_ONLINE, static_cast<int>(CN_UPDATE_COMMAND_UI), &probe, nullptr);
    EXPECT_TRUE(probe.m_bEnabled);
}

TEST_F(MainFrameCommandTest, AMonitorThatThePlatformRefusesEndsQuietly)
{
    Create();
    // The monitor of the frame's creation asked, was refused and ended without taking the program offline.
    EXPECT_TRUE(PumpUntil([&] { return g_notifyCalls >= 1 && !m_frame->Refresher().GetMonitor().IsRunning(); }));
    EXPECT_TRUE(m_frame->Refresher().IsOnline());

    Command(ID_ONLINE);
    EXPECT_FALSE(m_frame->Refresher().IsOnline());
    EXPECT_TRUE(PumpUntil([&] { return g_notifyCalls >= 2 && !m_frame->Refresher().GetMonitor().IsRunning(); }));
    lqtest::PumpPending();
    EXPECT_FALSE(m_frame->Refresher().IsOnline()); // no report came
    Command(ID_ONLINE);
    EXPECT_TRUE(m_frame->Refresher().IsOnline());
}

TEST_F(MainFrameCommandTest, AConnectionReportedByTheMonitorTakesTheProgramOnlineAndRefreshesDueChannels)
{
    g_pfnConnectionNotification = AcceptNotification;
    {
        CFeedChannel list;
        CFeedItem* entry = NewEntry(L"due", HttpUrl(L"/delayed/monitor/0/due"));
        list.m_items.AddTail(entry);
        ASSERT_TRUE(list.SaveMainFeeds());
    }
    Create();
    ASSERT_TRUE(PumpUntil([&] { return g_connectEvent.load() != nullptr; }));
    EXPECT_TRUE(m_frame->Refresher().GetMonitor().IsRunning());
    // Only one monitor at a time.
    EXPECT_FALSE(m_frame->Refresher().StartConnectionMonitor());

    // The network goes: a tick takes the program offline and posts nothing; the entry waits at 1.
    CFeedItem* entry = m_frame->Lists().Main()->m_items.GetHead();
    entry->m_nCountdown = 1;
    g_networkUp = false;
    m_frame->Refresher().RefreshTick();
    EXPECT_FALSE(m_frame->Refresher().IsOnline());
    EXPECT_FALSE(m_frame->Refresher().IsUpdating());
    EXPECT_FALSE(entry->m_bUpdating);
    EXPECT_EQ(entry->m_nCountdown, 1);

    // The connection comes back: the monitor reports it and the frame runs a tick at once.
    g_networkUp = true;
    const int ended = m_frame->Pane().m_ended;
    ::SetEvent(g_connectEvent.load());
    EXPECT_TRUE(PumpUntil([&] { return m_frame->Refresher().IsOnline() && entry->m_bUpdating; }));
    EXPECT_TRUE(
        PumpUntil([&] { return m_frame->Pane().m_ended > ended && !m_frame->Refresher().IsUpdating(); }, 30000));
    ASSERT_NE(entry->m_pChannel, nullptr);
    EXPECT_EQ(entry->m_pChannel->m_items.GetCount(), 2);
    EXPECT_TRUE(PumpUntil([&] { return !m_frame->Refresher().GetMonitor().IsRunning(); }));
}

TEST_F(MainFrameCommandTest, ShutDownEndsAWaitingMonitorWithoutAReport)
{
    g_pfnConnectionNotification = AcceptNotification;
    Create();
    ASSERT_TRUE(PumpUntil([&] { return g_connectEvent.load() != nullptr; }));
    HANDLE connect = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), g_connectEvent.load(), ::GetCurrentProcess(), &connect, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    Destroy();
    // The event is no longer waited on: signalling it reaches no frame and no thread.
    ::SetEvent(connect);
    ::CloseHandle(connect);
    lqtest::PumpPending();
}

// A refresh owns its flag until its last download is back: going offline or searching meanwhile does not end it,
// and the full refresh still rebuilds the pane and saves both lists.
TEST_F(MainFrameCommandTest, OfflineAndASearchDuringAFullRefreshLeaveItRunningToItsEnd)
{
    {
        CFeedChannel list;
        list.m_items.AddTail(NewEntry(L"slow", HttpUrl(L"/delayed/offline-during/1500/slow")));
        CFeedItem* search = NewEntry(L"finder", HttpUrl(L"/search-feed"), FEED_KIND_SEARCH_IN);
        search->m_strInput = L"q";
        list.m_items.AddTail(search);
        ASSERT_TRUE(list.SaveMainFeeds());
        CFeedChannel custom;
        custom.m_items.AddTail(NewEntry(L"mine", HttpUrl(L"/delayed/offline-during/0/mine")));
        ASSERT_TRUE(custom.SaveCustomFeeds());
    }
    Create();
    // Only the end of a full refresh writes the custom list.
    ASSERT_TRUE(::DeleteFileW((m_data.Path() + L"\\CustomFeed.xml").c_str()));
    CFeedItem* slow = m_frame->Lists().Main()->m_items.GetHead();
    CFeedItem* finder = m_frame->Lists().Main()->m_items.GetTail();
    const int built = m_frame->Pane().m_built;
    Command(ID_FEEDS_UPDATE_NOW);
    ASSERT_TRUE(PumpUntil([&] { return m_frame->Refresher().IsUpdating() && slow->m_bUpdating; }));

    ::SendMessageW(m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_OFFLINE, 0);
    EXPECT_FALSE(m_frame->Refresher().IsOnline());
    EXPECT_TRUE(m_frame->Refresher().IsUpdating());
    EXPECT_TRUE(slow->m_bUpdating);
    m_frame->ResultPages().RunSearch(finder, L"news");
    EXPECT_TRUE(m_frame->Refresher().IsFullRefresh());

    ASSERT_TRUE(PumpUntil([&] { return !slow->m_bUpdating && !m_frame->Refresher().IsUpdating(); }, 30000));
    EXPECT_TRUE(PumpUntil([&] { return m_frame->Pane().m_built > built; }));
    EXPECT_FALSE(m_frame->Refresher().IsFullRefresh());
    EXPECT_NE(::GetFileAttributesW((m_data.Path() + L"\\CustomFeed.xml").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_NE(slow->m_pChannel, nullptr);
    EXPECT_EQ(slow->m_pChannel->m_items.GetCount(), 2);
    // The search's page arrived and belongs to its entry.
    EXPECT_TRUE(PumpUntil([&] { return m_frame->ResultPages().GetSearchPages().GetCount() == 1; }));
}

TEST_F(MainFrameCommandTest, ASecondSearchResultReplacesTheFirstAndIsKeptInATemporaryFile)
{
    Create();
    CFeedItem searchIn;
    searchIn.m_nKind = FEED_KIND_SEARCH_IN;
    auto makePage = [&](const wchar_t* title) {
        auto* page = new CFeedItem;
        page->m_nKind = FEED_KIND_SEARCH_RESULT;
        page->m_strTitleText = title;
        page->m_pChannel = new CFeedChannel;
        page->m_pChannel->m_items.AddTail(NewEntry(L"hit", L"http://127.0.0.1/hit", FEED_KIND_ITEM));
        page->m_pLinkedItem = &searchIn;
        return page;
    };
    CFeedItem* first = makePage(L"first");
    ::SendMessageW(m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_SEARCH_DONE, reinterpret_cast<LPARAM>(first));
    EXPECT_EQ(searchIn.m_pLinkedItem, first);
    ASSERT_EQ(m_frame->ResultPages().GetSearchPages().GetCount(), 1);
    const std::wstring firstPath = first->m_pChannel->m_strPath.GetString();
    EXPECT_EQ(firstPath.rfind(m_temp.Path() + L"\\tmd", 0), 0u) << lqtest::Narrow(firstPath);
    EXPECT_EQ(first->m_nImageIndex, 2);

    CFeedItem* second = makePage(L"second");
    ::SendMessageW(m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_SEARCH_DONE, reinterpret_cast<LPARAM>(second));
    EXPECT_EQ(searchIn.m_pLinkedItem, second);
    ASSERT_EQ(m_frame->ResultPages().GetSearchPages().GetCount(), 1);
    EXPECT_EQ(m_frame->ResultPages().GetSearchPages().GetHead(), second);
    // A failed search reports no page and changes nothing.
    ::SendMessageW(m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_SEARCH_DONE, 0);
    EXPECT_EQ(m_frame->ResultPages().GetSearchPages().GetCount(), 1);
    Destroy(); // deletes the page
}

TEST_F(MainFrameCommandTest, TheAlertListsEachChannelsNewItemsAndItsLinkBringsTheFrameBack)
{
    Create();
    CStringList& lines = GetEngineContext().m_newsLabels;
    lines.AddTail(L"Daily Planet  3");
    lines.AddTail(L"Tech Bits 12");
    lines.AddTail(L"ab"); // shorter than a count: all count, no title
    m_frame->TrayAndAlert().ShowNewItemsAlert(15);
    EXPECT_TRUE(lines.IsEmpty());
    CXTPPopupWindow& alert = m_frame->TrayAndAlert().GetAlert();
    ASSERT_NE(alert.GetSafeHwnd(), nullptr);
    ASSERT_EQ(alert.GetItemCount(), 2 + 3 * 2 + 3);
    EXPECT_STREQ(alert.GetItem(1)->GetCaption().GetString(), L"You've got 15 new news messages");
    const int lineHeight = alert.GetItem(2)->GetRect().Height();
    EXPECT_GT(lineHeight, 0);
    const struct
    {
        const wchar_t* title;
        const wchar_t* count;
    } rows[] = {{L"Daily Planet", L"3"}, {L"Tech Bits", L"12"}, {L"", L"0"}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        CXTPPopupItem* title = alert.GetItem(2 + 2 * i);
        CXTPPopupItem* count = alert.GetItem(3 + 2 * i);
        EXPECT_STREQ(title->GetCaption().GetString(), rows[i].title);
        EXPECT_STREQ(count->GetCaption().GetString(), rows[i].count);
        EXPECT_EQ(title->GetRect(), CRect(46, 50 + i * lineHeight, 290, 50 + (i + 1) * lineHeight));
        EXPECT_EQ(count->GetRect(), CRect(295, 50 + i * lineHeight, 315, 50 + (i + 1) * lineHeight));
        EXPECT_EQ(count->GetTextAlignment() & DT_RIGHT, static_cast<UINT>(DT_RIGHT));
    }
    const int y = 50 + 3 * lineHeight;
    CXTPPopupItem* link = alert.GetItem(8);
    EXPECT_EQ(link->GetID(), kAlertViewMessages);
    EXPECT_EQ(link->GetRect(), CRect(46, y + 5, 270, y + 40));
    EXPECT_EQ(alert.GetItem(10)->GetID(), kAlertClose);
    EXPECT_EQ(alert.GetPopupSize(), CSize(329, y + 30));

    // The link brings the frame back from the tray.
    ::SendMessageW(m_hFrame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_frame->TrayAndAlert().IsInTray());
    ::SendMessageW(m_hFrame, WM_POPUP_NOTIFY, xtpPopupItemClicked, reinterpret_cast<LPARAM>(link));
    EXPECT_FALSE(m_frame->TrayAndAlert().IsInTray());
    EXPECT_TRUE(::IsWindowVisible(m_hFrame));

    // Without lines: the two headlines, the link at its first place and a height of 80.
    m_frame->TrayAndAlert().ShowNewItemsAlert(1);
    ASSERT_EQ(alert.GetItemCount(), 5);
    EXPECT_EQ(alert.GetItem(2)->GetRect(), CRect(46, 55, 270, 90));
    EXPECT_EQ(alert.GetPopupSize(), CSize(329, 80));
    ::SendMessageW(m_hFrame, WM_POPUP_NOTIFY, xtpPopupItemClicked, reinterpret_cast<LPARAM>(alert.GetItem(4)));
    EXPECT_TRUE(m_frame->TrayAndAlert().IsNextActivationQuiet());
}

TEST_F(MainFrameCommandTest, UsageEventsAreLoggedByWhereTheirEntryOrItemLives)
{
    {
        CFeedChannel mainList;
        mainList.m_items.AddTail(NewEntry(L"main", L"http://127.0.0.1/main"));
        ASSERT_TRUE(mainList.SaveMainFeeds());
        CFeedChannel customList;
        customList.m_items.AddTail(NewEntry(L"custom", L"http://127.0.0.1/custom"));
        CFeedItem* account = NewEntry(L"account", L"http://127.0.0.1/account");
        account->m_strAccountName = L"someone";
        customList.m_items.AddTail(account);
        ASSERT_TRUE(customList.SaveCustomFeeds());
    }
    Create();
    CFeedItem* mainEntry = m_frame->Lists().Main()->m_items.GetHead();
    CFeedItem* customEntry = m_frame->Lists().Custom()->m_items.GetHead();
    CFeedItem* accountEntry = m_frame->Lists().Custom()->m_items.GetTail();
    for (CFeedItem* entry : {mainEntry, customEntry}) {
        entry->m_pChannel = new CFeedChannel;
        entry->m_pChannel->m_items.AddTail(
            NewEntry(L"item", entry->m_strLink.GetString() + std::wstring(L"/item"), FEED_KIND_ITEM));
    }
    CFeedItem* mainItem = mainEntry->m_pChannel->m_items.GetHead();
    CFeedItem* customItem = customEntry->m_pChannel->m_items.GetHead();
    CFeedItem stray;
    stray.m_strLink = L"http://127.0.0.1/stray";

    struct Case
    {
        const char* name;
        int nReportStat, bStatsEnabled;
        WPARAM type;
        CFeedItem* item;
        const char* logged; // "kind,action" or null
    } cases[] = {
        {"notice opened", 1, 0, 1, mainEntry, "1,1"},
        {"main channel shown", 1, 1, 4, mainEntry, "2,2"},
        {"custom channel shown", 1, 1, 4, customEntry, "3,4"},
        {"channel with an account", 1, 1, 4, accountEntry, nullptr},
        {"main item opened", 1, 1, 5, mainItem, "2,3"},
        {"custom item opened", 1, 1, 5, customItem, "3,5"},
        {"an item of no list", 1, 1, 5, &stray, nullptr},
        {"statistics off in the branding", 1, 0, 4, mainEntry, nullptr},
        {"no consent", 0, 1, 1, mainEntry, nullptr},
        {"unknown type", 1, 1, 7, mainEntry, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileW(GetUsageLogPath());
        GetEngineContext().m_nUsageEntries = 0;
        theApp.m_settings.nReportStat = c.nReportStat;
        theApp.m_settings.bStatsEnabled = c.bStatsEnabled;
        EXPECT_EQ(::SendMessageW(m_hFrame, WM_USAGE_EVENT, c.type, reinterpret_cast<LPARAM>(c.item)), 0);
        const std::string log = lqtest::ReadFileBytes(GetUsageLogPath().GetString());
        if (!c.logged) {
            EXPECT_EQ(CountUsageEntries(), 0) << log;
            continue;
        }
        ASSERT_EQ(CountUsageEntries(), 1) << log;
        const std::string pair = c.logged;
        const std::string kind = pair.substr(0, pair.find(','));
        const std::string action = pair.substr(pair.find(',') + 1);
        EXPECT_NE(log.find("&t1=" + kind + "&a1=" + action + "&"), std::string::npos) << log;
        EXPECT_NE(log.find(UrlEncodeText(c.item->m_strLink).GetString()), std::string::npos) << log;
    }
}

TEST(MainFramePlacement, FirstPlacementFollowsTheViewStyleAndTheScreen)
{
    const struct
    {
        int nViewStyle;
        bool bLeftArrows;
        int cx, cy, cyCaption;
        CRect expected;
    } cases[] = {
        // 1024 wide: four fifths of the width, centred; a working height under 700 is taken whole at the top.
        {0, false, 1024, 700, 19, CRect(102, 0, 102 + 819, 681)},
        {0, false, 1024, 738, 19, CRect(102, 72, 102 + 819, 72 + 575)},
        {0, false, 1280, 1000, 20, CRect(128, 98, 128 + 1024, 98 + 784)},
        {0, true, 800, 570, 19, CRect(0, 0, 800, 551)},
        {1, false, 1024, 738, 19, CRect(0, 0, 256, 757)},
        {1, true, 1024, 738, 19, CRect(768, 0, 1024, 757)},
        {1, true, 1023, 738, 19, CRect(767, 0, 767 + 255, 757)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nViewStyle << " " << c.bLeftArrows << " " << c.cx << "x" << c.cy);
        EXPECT_EQ(InitialFramePlacement(c.nViewStyle, c.bLeftArrows, c.cx, c.cy, c.cyCaption), c.expected);
    }
}

TEST(MainFramePlacement, AWindowNearAWorkAreaEdgeSnapsFlushToIt)
{
    const CRect work(0, 0, 1024, 738);
    const struct
    {
        CRect window;
        CPoint expected;
    } cases[] = {
        {CRect(15, 15, 515, 415), CPoint(0, 0)},        // within 15 of the left and top edges
        {CRect(16, 16, 516, 416), CPoint(16, 16)},      // one pixel further stays
        {CRect(510, 330, 1010, 730), CPoint(524, 338)}, // near the right and bottom edges
        {CRect(-10, 200, 490, 600), CPoint(0, 200)},    // a little beyond the left edge
        {CRect(5, 0, 1030, 738), CPoint(0, 0)},         // as wide as the work area: the left edge wins
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window.left << "," << c.window.top);
        const CPoint snapped = SnapToWorkArea(c.window, work);
        EXPECT_EQ(snapped.x, c.expected.x);
        EXPECT_EQ(snapped.y, c.expected.y);
    }
}

TEST_F(MainFrameCommandTest, MovingTheFrameNearTheWorkAreasEdgeSnapsIt)
{
    Create();
    CRect work;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    m_frame->SetWindowPos(nullptr, work.left + 40, work.top + 30, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    CRect rect;
    m_frame->GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(work.left + 40, work.top + 30));
    m_frame->SetWindowPos(nullptr, work.right - 400 - 12, work.bottom - 300 - 9, 0, 0,
                          SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    m_frame->GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(work.right - 400, work.bottom - 300));
}

TEST_F(MainFrameCommandTest, ShutDownKeepsPlacementThemeFilterAndGroupsForTheNextStart)
{
    {
        CFeedChannel list;
        CFeedItem* world = NewEntry(L"Planet", L"http://127.0.0.1:1/planet");
        world->m_strCategory = L"World";
        list.m_items.AddTail(world);
        list.m_items.AddTail(NewEntry(L"Bits", L"http://127.0.0.1:1/bits"));
        ASSERT_TRUE(list.SaveMainFeeds());
    }
    Create();
    ASSERT_EQ(m_frame->PaneSite().GetNavigationPane()->GetGroupCount(), 2);
    m_frame->PaneSite().GetNavigationPane()->GetAt(0)->SetExpanded(FALSE); // "World" folded
    m_frame->SetWindowPos(nullptr, 40, 30, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    Command(ID_THEME_XP_STYLE);
    m_frame->QuickFilter().SetText(L"AND: news");
    CXTPToolBar* mainBar = m_frame->GetCommandBars()->FindToolBar(IDR_MAINFRAME);
    ASSERT_NE(mainBar, nullptr);
    ASSERT_NE(m_frame->GetCommandBars()->FindToolBar(IDR_CATEGORIES_BAR), nullptr);
    mainBar->SetVisible(FALSE);
    Destroy();

    EXPECT_GE(theApp.GetProfileInt(L"CommandBars-Summary", L"Bars", 0), 2u);
    const std::vector<BYTE> wp = ProfileBinary(L"MainFrameClassic", L"WP");
    ASSERT_EQ(wp.size(), sizeof(WINDOWPLACEMENT));
    WINDOWPLACEMENT saved;
    memcpy(&saved, wp.data(), sizeof(saved));
    EXPECT_EQ(CRect(saved.rcNormalPosition), CRect(40, 30, 540, 430));
    EXPECT_EQ(theApp.GetProfileInt(L"", L"Theme", 0), 3u);
    EXPECT_STREQ(theApp.GetProfileString(L"Filters", L"QuickFilter", L"none").GetString(), L"AND: news");
    EXPECT_EQ(theApp.GetProfileInt(L"Groups", L"Count", 0), 2u);
    EXPECT_EQ(ProfileBinary(L"Groups", L"State").size(), 2u * 104u);
    // Both lists were written at shut-down.
    EXPECT_NE(::GetFileAttributesW((m_data.Path() + L"\\MainFeed.xml").c_str()), INVALID_FILE_ATTRIBUTES);

    Create();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    ASSERT_TRUE(m_frame->GetWindowPlacement(&placement));
    EXPECT_EQ(CRect(placement.rcNormalPosition), CRect(40, 30, 540, 430));
    EXPECT_EQ(m_frame->Looks().GetTheme(), 3);
    EXPECT_STREQ(m_frame->QuickFilter().GetText().GetString(), L"AND: news");
    ASSERT_EQ(m_frame->PaneSite().GetNavigationPane()->GetGroupCount(), 2);
    EXPECT_FALSE(m_frame->PaneSite().GetNavigationPane()->GetAt(0)->IsExpandedFlag());
    EXPECT_TRUE(m_frame->PaneSite().GetNavigationPane()->GetAt(1)->IsExpandedFlag());
    // The bars come back as they were left: the main toolbar hidden, the menu bar shown.
    EXPECT_FALSE(m_frame->GetCommandBars()->FindToolBar(IDR_MAINFRAME)->IsVisible());
    EXPECT_TRUE(m_frame->GetCommandBars()->FindToolBar(1)->IsVisible());
    Destroy();

    // A damaged placement or group record is not applied; the skin's choice is kept while it draws theme 2.
    BYTE shortValue[10] = {};
    theApp.WriteProfileBinary(L"MainFrameClassic", L"WP", shortValue, sizeof(shortValue));
    theApp.WriteProfileBinary(L"Groups", L"State", shortValue, sizeof(shortValue));
    theApp.WriteProfileInt(L"", L"Theme", 11);
    theApp.WriteProfileInt(L"", L"ColorTheme", 2);
    Create();
    ASSERT_TRUE(m_frame->GetWindowPlacement(&placement));
    EXPECT_NE(CRect(placement.rcNormalPosition), CRect(40, 30, 540, 430));
    EXPECT_TRUE(m_frame->PaneSite().GetNavigationPane()->GetAt(0)->IsExpandedFlag());
    EXPECT_EQ(m_frame->Looks().GetTheme(), 11);
    Destroy();
    EXPECT_EQ(theApp.GetProfileInt(L"", L"Theme", 0), 11u);
    EXPECT_EQ(theApp.GetProfileInt(L"", L"ColorTheme", 0), 2u);
}

// A full refresh, an import or a deletion rebuilds the pane: the groups keep the states the user gave them, and
// shut-down saves those (not a pane freshly expanded).
TEST_F(MainFrameCommandTest, ARebuiltPaneKeepsItsGroupStates)
{
    {
        CFeedChannel list;
        CFeedItem* world = NewEntry(L"Planet", L"http://127.0.0.1:1/planet");
        world->m_strCategory = L"World";
        list.m_items.AddTail(world);
        list.m_items.AddTail(NewEntry(L"Bits", L"http://127.0.0.1:1/bits"));
        ASSERT_TRUE(list.SaveMainFeeds());
    }
    Create();
    CFeedTaskPanel* pane = m_frame->PaneSite().GetNavigationPane();
    ASSERT_EQ(pane->GetGroupCount(), 2);
    pane->GetAt(0)->SetExpanded(FALSE);
    m_frame->PaneSite().BuildTaskPanel();
    ASSERT_EQ(pane->GetGroupCount(), 2);
    EXPECT_FALSE(pane->GetAt(0)->IsExpandedFlag());
    EXPECT_TRUE(pane->GetAt(1)->IsExpandedFlag());
    Destroy();
    Create();
    pane = m_frame->PaneSite().GetNavigationPane();
    ASSERT_EQ(pane->GetGroupCount(), 2);
    EXPECT_FALSE(pane->GetAt(0)->IsExpandedFlag());
    Destroy();
}

// The category selector comes from the frame as its bar loads and again when the bar is reset; it lists the
// categories and choosing one opens that group only (and "All" every group), saving the states.
TEST_F(MainFrameCommandTest, TheCategorySelectorListsAndOpensCategories)
{
    {
        CFeedChannel list;
        CFeedItem* world = NewEntry(L"Planet", L"http://127.0.0.1:1/planet");
        world->m_strCategory = L"World";
        list.m_items.AddTail(world);
        CFeedItem* sport = NewEntry(L"Goals", L"http://127.0.0.1:1/goals");
        sport->m_strCategory = L"Sport";
        list.m_items.AddTail(sport);
        list.m_items.AddTail(NewEntry(L"Bits", L"http://127.0.0.1:1/bits"));
        ASSERT_TRUE(list.SaveMainFeeds());
    }
    Create();
    // Bars update their controls only while they are on the screen.
    m_frame->ShowWindow(SW_SHOW);
    CCategorySelector& selector = m_frame->CategorySelector();
    CXTPToolBar* bar = m_frame->GetCommandBars()->FindToolBar(IDR_CATEGORIES_BAR);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
    CXTPControlComboBox* combo = selector.GetCombo();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(bar->GetControls()->FindControl(ID_SHOW_CATEGORIES), combo);
    EXPECT_STREQ(combo->GetCaption().GetString(), L"Show Categories");

    const auto listed = [&] {
        std::vector<std::wstring> lines;
        HWND list = selector.GetCombo()->GetListWindow();
        const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[256] = L"";
            ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            lines.push_back(text);
        }
        return lines;
    };
    const std::vector<std::wstring> expected = {L"All", L"World", L"Sport",
                                                LoadResourceString(IDS_MAIN_CATEGORY).GetString()};
    ASSERT_TRUE(PumpUntil([&] {
        m_frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE);
        ::SendMessageW(m_hFrame, WM_IDLEUPDATECMDUI, TRUE, 0);
        return listed() == expected;
    }));

    CFeedTaskPanel* pane = m_frame->PaneSite().GetNavigationPane();
    const auto expandedStates = [&] {
        std::vector<bool> states;
        for (int i = 0; i < pane->GetGroupCount(); ++i)
            states.push_back(pane->GetAt(i)->IsExpandedFlag() != FALSE);
        return states;
    };
    struct Case
    {
        int line;
        std::vector<bool> expanded;
    } cases[] = {{2, {false, true, false}}, {1, {true, false, false}}, {0, {true, true, true}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        combo->SetCurSel(c.line);
        combo->OnExecute();
        EXPECT_EQ(expandedStates(), c.expanded);
        EXPECT_EQ(ProfileBinary(L"Groups", L"State").size(), 3u * 104u);
    }

    // A reset asks the frame for a new selector, which is listed again.
    bar->Reset(FALSE);
    ASSERT_NE(selector.GetCombo(), nullptr);
    EXPECT_EQ(bar->GetControls()->FindControl(ID_SHOW_CATEGORIES), selector.GetCombo());
    ASSERT_TRUE(PumpUntil([&] {
        ::SendMessageW(m_hFrame, WM_IDLEUPDATECMDUI, TRUE, 0);
        m_frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE);
        return listed() == expected;
    }));
    Destroy();
}

TEST_F(MainFrameCommandTest, ADownloadedEnclosureThatIsNotThereAsksNothing)
{
    Create();
    CFeedItem item;
    item.m_bEnclosureJob = true;
    item.m_nEnclosureState = 1;
    item.m_strEnclosureFile = (m_data.Path() + L"\\missing.mp3").c_str();
    ::SendMessageW(m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_ENCLOSURE_DONE, reinterpret_cast<LPARAM>(&item));
    EXPECT_FALSE(item.m_bEnclosureJob);
}

// A refreshed channel redraws the pane, not the whole frame: the bars flashed blank for every channel of a refresh.
std::vector<HWND> g_painted;
LRESULT CALLBACK WatchPaints(int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && (pMsg->message == WM_PAINT || pMsg->message == WM_ERASEBKGND))
        g_painted.push_back(pMsg->hwnd);
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

TEST_F(MainFrameCommandTest, RedrawingThePaneLeavesTheBarsAlone)
{
    Create();
    m_frame->ShowWindow(SW_SHOW);
    m_frame->UpdateWindow();
    lqtest::PumpPending();
    const HWND hPane = m_frame->PaneSite().GetNavigationPane()->GetSafeHwnd();
    const HWND hBar = m_frame->GetCommandBars()->FindToolBar(IDR_MAINFRAME)->GetSafeHwnd();
    const HWND hMenuBar = m_frame->GetCommandBars()->GetMenuBar()->GetSafeHwnd();
    g_painted.clear();
    HHOOK hHook = ::SetWindowsHookExW(WH_CALLWNDPROC, WatchPaints, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hHook, nullptr);
    m_frame->PaneSite().RedrawPane();
    lqtest::PumpPending();
    ::UnhookWindowsHookEx(hHook);
    auto painted = [&](HWND hWnd) { return std::count(g_painted.begin(), g_painted.end(), hWnd) > 0; };
    EXPECT_TRUE(painted(hPane));
    EXPECT_FALSE(painted(hBar));
    EXPECT_FALSE(painted(hMenuBar));
    EXPECT_FALSE(painted(m_hFrame));
}

// The first paint must not show commands enabled that are not: the states come before it, not at the first idle
// moment after it.
TEST_F(MainFrameCommandTest, TheBarsShowTheirCommandStatesFromTheFirstPaint)
{
    Create();
    CXTPToolBar* pBar = m_frame->GetCommandBars()->FindToolBar(IDR_MAINFRAME);
    ASSERT_NE(pBar, nullptr);
    CXTPControl* pStop = pBar->GetControls()->FindControl(ID_FEEDS_STOP);
    ASSERT_NE(pStop, nullptr);
    ASSERT_FALSE(m_frame->IsWindowVisible());
    m_frame->ShowWithCommandStates();
    EXPECT_FALSE(pStop->GetEnabled()) << "no refresh runs, so Stop is disabled";
    CXTPControl* pUpdate = pBar->GetControls()->FindControl(ID_FEEDS_UPDATE_NOW);
    ASSERT_NE(pUpdate, nullptr);
    EXPECT_TRUE(pUpdate->GetEnabled());
}

// The news page keeps the browser's own keys from the page, not the program's: F5 refreshes and F6 goes to the
// channel list while the page has the focus, and Tab past the page's last link leaves it.
TEST_F(MainFrameCommandTest, TheProgramsKeysWorkWhileTheNewsPageHasTheFocus)
{
    Create();
    m_frame->ShowWindow(SW_SHOW);
    m_frame->SetForegroundWindow();
    CPaneSite& site = m_frame->PaneSite();
    ASSERT_NE(site.GetClassicView(), nullptr);
    const HWND hList = site.GetNavigationPane()->GetSafeHwnd();
    const HWND hPage = site.GetClassicView()->GetSafeHwnd();
    auto pageHasFocus = [&] { return ::GetFocus() == hPage || ::IsChild(hPage, ::GetFocus()); };
    // The program's loop: every message walks the pre-translation from its window up to the frame.
    auto pump = [&](const std::function<bool()>& cond, DWORD timeoutMs = 5000) {
        return PumpUntil(cond, timeoutMs, [&](MSG& msg) { return CWnd::WalkPreTranslateTree(m_hFrame, &msg) != FALSE; });
    };

    site.GetClassicView()->SetFocus();
    ASSERT_TRUE(pump(pageHasFocus));
    lqtest::TapKey(VK_F6);
    EXPECT_TRUE(pump([&] { return ::GetFocus() == hList; }));
    lqtest::TapKey(VK_F6);
    EXPECT_TRUE(pump(pageHasFocus));

    // The page shows no link: Tab leaves it at once.
    lqtest::TapKey(VK_TAB);
    EXPECT_TRUE(pump([&] { return ::GetFocus() == hList; }));

    site.GetClassicView()->SetFocus();
    ASSERT_TRUE(pump(pageHasFocus));
    const int nEnded = m_frame->Pane().m_ended;
    pump([] { return false; }, 300);
    ASSERT_EQ(m_frame->Pane().m_ended, nEnded) << "no refresh runs on its own";
    lqtest::TapKey(VK_F5);
    EXPECT_TRUE(pump([&] { return m_frame->Pane().m_ended > nEnded; }, 30000));
}

// An access key shared by two items of one menu selects one of them and runs neither: the keyboard user lands on the
// wrong command (Alt+F, S once reached Stop instead of Subscribe).
TEST(ProgramMenus, EveryMenuGivesEachItemItsOwnAccessKey)
{
    struct Walk
    {
        static void Check(HMENU hMenu, const std::wstring& path)
        {
            std::vector<std::pair<wchar_t, std::wstring>> keys;
            const int nCount = ::GetMenuItemCount(hMenu);
            for (int i = 0; i < nCount; ++i) {
                wchar_t text[256] = {};
                MENUITEMINFOW info = {};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_STRING | MIIM_SUBMENU | MIIM_FTYPE;
                info.dwTypeData = text;
                info.cch = 255;
                ASSERT_TRUE(::GetMenuItemInfoW(hMenu, i, TRUE, &info));
                const std::wstring caption = text;
                for (size_t n = 0; n + 1 < caption.size(); ++n) {
                    if (caption[n] != L'&')
                        continue;
                    if (caption[n + 1] == L'&') {
                        ++n;
                        continue;
                    }
                    const wchar_t key = static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(
                        ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(caption[n + 1])))));
                    for (const auto& other : keys)
                        EXPECT_NE(other.first, key) << "in " << testing::PrintToString(path) << ": "
                                                    << testing::PrintToString(other.second) << " and "
                                                    << testing::PrintToString(caption);
                    keys.emplace_back(key, caption);
                    break;
                }
                if (info.hSubMenu != nullptr)
                    Check(info.hSubMenu, path + L" > " + caption);
            }
        }
    };
    for (const UINT nMenu : {IDR_MAINFRAME, IDR_TRAY_MENU, IDR_CONTEXT_CHANNEL, IDR_CONTEXT_HEADLINE,
                             IDR_CONTEXT_CATEGORY, IDR_CONTEXT_RESULTS}) {
        HMENU hMenu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nMenu));
        ASSERT_NE(hMenu, nullptr) << nMenu;
        Walk::Check(hMenu, std::to_wstring(nMenu));
        ::DestroyMenu(hMenu);
    }
}

} // namespace

namespace {

TEST(SkinnedFrameGeometryTest, CaptionButtonsHitTestsAndClientAsATable)
{
    const CRect window(100, 50, 500, 350);
    EXPECT_EQ(SkinClientRect(window), CRect(103, 78, 496, 346));
    const struct
    {
        POINT pt;
        LRESULT platform;
        int button;
        LRESULT result;
    } cases[] = {
        {{300, 60}, HTCAPTION, 0, HTCAPTION},     // the caption drags the window
        {{490, 60}, HTCLOSE, HTCLOSE, HTCAPTION}, // the close button: its own handling, not the platform's
        {{478, 60}, HTNOWHERE, HTCLOSE, HTCAPTION},
        {{477, 60}, HTNOWHERE, HTMINBUTTON, HTCAPTION},
        {{457, 60}, HTMINBUTTON, HTMINBUTTON, HTCAPTION},
        {{456, 60}, HTMAXBUTTON, 0, HTCAPTION},
        {{130, 60}, HTSYSMENU, 0, HTCAPTION},
        {{490, 74}, HTNOWHERE, HTCLOSE, HTCAPTION},
        {{490, 75}, HTNOWHERE, 0, HTNOWHERE}, // below the caption's 25 pixels
        {{300, 200}, HTCLIENT, 0, HTCLIENT},
        {{101, 200}, HTLEFT, 0, HTLEFT}, // the border still sizes the window
        {{499, 349}, HTBOTTOMRIGHT, 0, HTBOTTOMRIGHT},
        {{300, 51}, HTTOP, 0, HTTOP},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pt.x << "," << c.pt.y);
        EXPECT_EQ(SkinCaptionButtonAt(window, c.pt), c.button);
        EXPECT_EQ(SkinHitTest(c.platform, window, c.pt), c.result);
    }
}

COLORREF ScreenPixel(HWND hWnd, int x, int y)
{
    HDC hdc = ::GetWindowDC(hWnd);
    const COLORREF clr = ::GetPixel(hdc, x, y);
    ::ReleaseDC(hWnd, hdc);
    return clr;
}

bool NearColour(COLORREF a, COLORREF b, int tolerance)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

TEST_F(MainFrameCommandTest, TheSkinnedFrameDrawsItsSchemeAndAnswersRealClicksOnItsButtons)
{
    Create();
    m_frame->SetWindowPos(nullptr, 120, 90, 600, 420, SWP_NOZORDER);
    m_frame->ShowWindow(SW_SHOW);
    m_frame->SetForegroundWindow();
    const struct
    {
        UINT nID;
        COLORREF face;
    } schemes[] = {{ID_SKIN_SCHEME_1, 0x890608}, {ID_SKIN_SCHEME_2, 0x060689}, {ID_SKIN_SCHEME_3, 0x068906}};
    CRect window;
    for (const auto& s : schemes) {
        Command(s.nID);
        m_frame->GetWindowRect(&window);
        CRect client;
        m_frame->GetClientRect(&client);
        EXPECT_EQ(client.Size(), CSize(window.Width() - 7, window.Height() - 32)) << s.nID;
        lqtest::PumpPending();
        // The border and the caption band in the scheme's face, the border's edge in its dark shade.
        EXPECT_TRUE(NearColour(ScreenPixel(m_hFrame, 1, window.Height() / 2), s.face, 4)) << s.nID;
        EXPECT_TRUE(NearColour(ScreenPixel(m_hFrame, window.Width() / 2, 1), s.face, 4)) << s.nID;
        EXPECT_TRUE(NearColour(ScreenPixel(m_hFrame, window.Width() - 3, window.Height() / 2), s.face, 4)) << s.nID;
    }
    const POINT closeButton = {window.right - 13, window.top + 12};
    const POINT minButton = {window.right - 33, window.top + 12};
    const POINT inside = {window.left + window.Width() / 2, window.top + window.Height() / 2};
    EXPECT_EQ(::SendMessageW(m_hFrame, WM_NCHITTEST, 0, MAKELPARAM(closeButton.x, closeButton.y)), HTCAPTION);
    EXPECT_EQ(::SendMessageW(m_hFrame, WM_NCHITTEST, 0, MAKELPARAM(window.left + 80, window.top + 10)), HTCAPTION);

    // Hot tracking follows the mouse over the buttons and ends when it leaves the frame's edge.
    ASSERT_TRUE(lqtest::MoveMouse(closeButton));
    EXPECT_TRUE(PumpUntil([&] { return m_frame->Looks().GetHotButton() == HTCLOSE; }, 5000));
    ASSERT_TRUE(lqtest::MoveMouse(minButton));
    EXPECT_TRUE(PumpUntil([&] { return m_frame->Looks().GetHotButton() == HTMINBUTTON; }, 5000));
    ASSERT_TRUE(lqtest::MoveMouse(inside));
    EXPECT_TRUE(PumpUntil([&] { return m_frame->Looks().GetHotButton() == 0; }, 5000));

    // Pressed on a button and let go elsewhere, nothing happens.
    lqtest::ClickAt(closeButton, MOUSEEVENTF_LEFTDOWN, 0);
    EXPECT_TRUE(PumpUntil([&] { return m_frame->Looks().GetPressedButton() == HTCLOSE; }, 5000));
    ASSERT_TRUE(lqtest::MoveMouse(inside));
    lqtest::SendMouse(inside, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return m_frame->Looks().GetPressedButton() == 0; }, 5000));
    lqtest::PumpPending();
    EXPECT_FALSE(m_frame->TrayAndAlert().IsInTray());

    // Minimise and close both take the frame to the notification area.
    for (POINT button : {minButton, closeButton}) {
        lqtest::ClickAt(button);
        EXPECT_TRUE(PumpUntil([&] { return m_frame->TrayAndAlert().IsInTray(); }, 5000)) << button.x;
        EXPECT_EQ(m_frame->Looks().GetPressedButton(), 0);
        Command(ID_TRAY_OPEN_READER);
        lqtest::PumpPending();
        ASSERT_FALSE(m_frame->TrayAndAlert().IsInTray());
        m_frame->SetForegroundWindow();
    }

    // Back to a toolkit theme: the platform's frame again.
    Command(ID_THEME_OFFICE2003);
    CRect client;
    m_frame->GetClientRect(&client);
    m_frame->GetWindowRect(&window);
    EXPECT_NE(client.Size(), CSize(window.Width() - 7, window.Height() - 32));
    EXPECT_NE(::SendMessageW(m_hFrame, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCAPTION);
}

TEST_F(MainFrameCommandTest, TheSkinAndItsSchemeComeBackAfterARestart)
{
    Create();
    Command(ID_SKIN_SCHEME_3);
    Destroy();
    EXPECT_EQ(theApp.GetProfileInt(L"", L"Theme", 0), 11u);
    EXPECT_EQ(theApp.GetProfileInt(L"", L"ColorTheme", 0), 2u);
    Create();
    EXPECT_EQ(m_frame->Looks().GetTheme(), 11);
    EXPECT_EQ(m_frame->Looks().GetColorTheme(), 2);
    EXPECT_EQ(CXTPPaintManager::GetCurrent()->m_nThemeId, xtpThemeCustom);
    // A toolkit theme chosen leaves the skin's scheme as it was saved.
    Command(ID_THEME_DEFAULT);
    Destroy();
    EXPECT_EQ(theApp.GetProfileInt(L"", L"Theme", 11), 0u);
    EXPECT_EQ(theApp.GetProfileInt(L"", L"ColorTheme", 0), 2u);
}

} // namespace

namespace {

TEST_F(MainFrameCommandTest, TheChannelViewerShowsAChannelOfThePaneAndKeepsItsPlace)
{
    Create();
    auto made = std::make_unique<CChannelViewerWindow>(*m_frame);
    CChannelViewerWindow* pViewer = made.get();
    m_frame->Companions().SetChannelViewer(std::move(made));
    pViewer->Start();
    ASSERT_NE(pViewer->GetWindow(), nullptr);
    EXPECT_FALSE(pViewer->GetWindow()->IsWindowVisible());

    std::unique_ptr<CFeedItem> entry(NewEntry(L"Harbour", L"http://127.0.0.1:1/harbour"));
    entry->m_pChannel = new CFeedChannel;
    CFeedItem* item = NewEntry(L"High water at noon", L"http://127.0.0.1:1/harbour/1", FEED_KIND_ITEM);
    entry->m_pChannel->m_items.AddTail(item);
    ASSERT_TRUE(entry->m_pChannel->SaveCache(entry->GetCacheFileName(), TRUE));
    // An entry without a channel shows nothing; the pane's "View in Separate Window" shows the channel.
    CFeedItem notice;
    notice.m_nKind = FEED_KIND_NOTICE;
    m_frame->PaneSite().ShowChannelView(&notice);
    EXPECT_FALSE(pViewer->GetWindow()->IsWindowVisible());
    m_frame->PaneSite().ShowChannelView(entry.get());
    EXPECT_TRUE(pViewer->GetWindow()->IsWindowVisible());
    EXPECT_NE(std::wstring(pViewer->GetDialog()->GetPageText().GetString()).find(L"High water at noon"),
              std::wstring::npos);

    // The frame's command hides and shows it, checked while it shows.
    Command(ID_VIEW_CHANNEL_VIEWER);
    EXPECT_FALSE(pViewer->GetWindow()->IsWindowVisible());
    EXPECT_FALSE(QueryCommandOf(m_frame, ID_VIEW_CHANNEL_VIEWER).checked);
    Command(ID_VIEW_CHANNEL_VIEWER);
    EXPECT_TRUE(pViewer->GetWindow()->IsWindowVisible());
    EXPECT_TRUE(QueryCommandOf(m_frame, ID_VIEW_CHANNEL_VIEWER).checked);
    pViewer->GetWindow()->SetWindowPos(nullptr, 50, 60, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);

    // Its place and whether it showed are kept when the frame goes.
    Destroy();
    EXPECT_EQ(theApp.GetProfileInt(L"ChannelView", L"showcmd", 0), 5u);
    const std::vector<BYTE> wp = ProfileBinary(L"ChannelView", L"WP");
    ASSERT_EQ(wp.size(), 44u);
    WINDOWPLACEMENT saved;
    memcpy(&saved, wp.data(), sizeof(saved));
    EXPECT_EQ(CRect(saved.rcNormalPosition), CRect(50, 60, 350, 260));
}

} // namespace
