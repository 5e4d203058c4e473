// The frame's feed commands on a real frame: subscribing to a feed served by the local server (a duplicate
// refused, an account kept out of the stored address), a hand-over from a second start, the channel properties
// written back and saved, a category renamed, the channel list exported and imported again, enclosure file names
// and the updater that only runs on a checked package.
#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/UpdateCheck.h"
#include "res/resource.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestSupport.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using lqtest::HttpUrl;
using lqtest::ModalDriver;
using lqtest::Narrow;
using lqtest::PumpUntil;
using lqtest::TempFolder;

namespace {

const wchar_t kTestCompany[] = L"LanternquillFeedCommandTests";

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> Links(const CFeedChannel* list)
{
    std::vector<std::wstring> links;
    for (POSITION pos = list ? list->m_items.GetHeadPosition() : nullptr; pos;)
        links.push_back(list->m_items.GetNext(pos)->m_strLinkText.GetString());
    return links;
}

class FeedCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(lqtest::HttpPort(), 0);
        theApp.m_settings.nTimeout = 3;
        theApp.WriteProfileInt(L"", L"Check at startup", 0);
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        m_frame = new CMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
        // The worker's start-of-life round ends before the tests change the lists.
        ASSERT_TRUE(PumpUntil([&] { return !m_frame->Refresher().IsUpdating(); }));
    }
    void TearDown() override
    {
        if (m_frame)
            m_frame->DestroyWindow();
    }

    std::wstring Data(const std::wstring& name) const { return m_data.File(name); }
    static std::wstring FeedUrl() { return HttpUrl(L"/files/companions/fixtures/subscribe-feed.xml"); }

    // Subscribes through both dialogs; "Customize the Feed" gets the title and category given.
    bool Subscribe(const std::wstring& url, const wchar_t* title, const wchar_t* category)
    {
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
            if (caption == L"Customize the Feed" && n == 0) {
                if (title)
                    ModalDriver::SetText(hDlg, IDC_FEED_TITLE, title);
                if (category)
                    ModalDriver::SetText(hDlg, IDC_FEED_CATEGORY, category);
                ModalDriver::Click(hDlg, IDOK);
            } else if (caption == L"Subscribe" && ::IsWindowVisible(hDlg)) {
                ModalDriver::Click(hDlg, IDCANCEL);
            }
        });
        const bool added = m_frame->FeedCommands().SubscribeFeed(url.c_str());
        m_messages = driver.m_messages;
        return added;
    }

    TempFolder m_data;
    TempFolder m_temp;
    apptest::AppSandbox m_sandbox{kTestCompany, m_data, m_temp};
    CMainFrame* m_frame = nullptr; // deletes itself with its window
    std::vector<std::wstring> m_messages;
};

TEST_F(FeedCommandsTest, ASubscribedFeedJoinsTheCustomListWithItsFilesAndASecondSubscriptionIsRefused)
{
    ASSERT_TRUE(Subscribe(FeedUrl(), L"My Harbour", L"Sailing"));
    EXPECT_TRUE(m_messages.empty());
    ASSERT_NE(m_frame->Lists().Custom(), nullptr);
    ASSERT_EQ(Links(m_frame->Lists().Custom()), std::vector<std::wstring>{FeedUrl()});
    CFeedItem* entry = m_frame->Lists().Custom()->m_items.GetHead();
    EXPECT_EQ(entry->m_nKind, FEED_KIND_FEED);
    EXPECT_EQ(Text(entry->m_strTitleText), L"My Harbour");
    EXPECT_EQ(Text(entry->m_strCategory), L"Sailing");
    EXPECT_EQ(Text(entry->m_strDescriptionText), L"Boats coming and going");
    EXPECT_EQ(entry->m_nUpdateInterval, 60);
    EXPECT_EQ(entry->m_nCountdown, 60);
    EXPECT_EQ(entry->m_nNewCount, 3);
    EXPECT_FALSE(entry->m_strFile.IsEmpty());
    EXPECT_TRUE(Exists(Text(entry->GetCacheFileName())));
    EXPECT_TRUE(Exists(Text(entry->GetIconFileName()))) << "the site icon is kept beside the cache";
    EXPECT_NE(m_frame->PaneSite().GetNavigationPane()->FindGroupByCaption(L"Sailing"), nullptr);
    {
        CFeedChannel saved;
        ASSERT_TRUE(saved.LoadFile(Data(L"CustomFeed.xml").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
        ASSERT_EQ(Links(&saved), std::vector<std::wstring>{FeedUrl()});
        EXPECT_EQ(Text(saved.m_items.GetHead()->m_strCategory), L"Sailing");
    }

    // The same feed again, through a second start's "feed:" form: refused, nothing written.
    const std::string before = lqtest::ReadFileBytes(Data(L"CustomFeed.xml"));
    EXPECT_FALSE(Subscribe(L"feed:" + FeedUrl(), nullptr, nullptr));
    EXPECT_EQ(m_messages, std::vector<std::wstring>{Text(LoadResourceString(IDS_ALREADY_SUBSCRIBED))});
    EXPECT_EQ(m_frame->Lists().Custom()->m_items.GetCount(), 1);
    EXPECT_EQ(lqtest::ReadFileBytes(Data(L"CustomFeed.xml")), before);
}

// The open page is drawn from the channel's cache file: Mark All Feeds As Read must leave no unread item there, and
// the page is drawn again at once.
TEST_F(FeedCommandsTest, MarkingAllFeedsReadRedrawsTheOpenPageFromTheMarkedCache)
{
    ASSERT_TRUE(Subscribe(FeedUrl(), L"My Harbour", L"Sailing"));
    CFeedItem* entry = m_frame->Lists().Custom()->m_items.GetHead();
    CPaneSite& site = m_frame->PaneSite();
    site.ShowEntry(entry, entry->GetCacheFileName());
    ASSERT_EQ(site.GetShownEntry(), entry);
    auto shownPage = [&] { return lqtest::ReadFileBytes(Text(site.GetClassicView()->GetLocationURL())); };
    ASSERT_NE(shownPage().find("item new"), std::string::npos);

    m_frame->FeedCommands().MarkAllFeedsRead();
    EXPECT_EQ(entry->m_nNewCount, 0);
    CFeedChannel cached;
    ASSERT_TRUE(cached.LoadFile(entry->GetCacheFileName(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    ASSERT_GT(cached.m_items.GetCount(), 0);
    for (POSITION pos = cached.m_items.GetHeadPosition(); pos;)
        EXPECT_EQ(cached.m_items.GetNext(pos)->m_nReadState, FEED_STATE_READ);
    EXPECT_EQ(site.GetShownEntry(), entry);
    const std::string page = shownPage();
    EXPECT_EQ(page.find("item new"), std::string::npos);
    EXPECT_EQ(page.find("item unread"), std::string::npos);
    EXPECT_NE(page.find("item read"), std::string::npos);
}

TEST_F(FeedCommandsTest, AnAccountInTheAddressIsStoredWithTheEntryNeverInItsAddress)
{
    const std::wstring port = std::to_wstring(lqtest::HttpPort());
    struct Case
    {
        std::wstring url;
        std::wstring stored;
        bool bHttpAuth;
    };
    const Case cases[] = {
        {L"http://ann:pw@127.0.0.1:" + port + L"/basic-feed/ann/pw/Locked", HttpUrl(L"/basic-feed/ann/pw/Locked"),
         true},
        {HttpUrl(L"/query-feed/k?id=3&username=ann&password=pw"), HttpUrl(L"/query-feed/k?id=3"), false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Subscribe(c.url, L"Locked", nullptr)) << Narrow(c.url);
        CFeedItem* entry = m_frame->Lists().Custom()->m_items.GetTail();
        EXPECT_EQ(Text(entry->m_strLinkText), c.stored);
        EXPECT_EQ(Text(entry->m_strLink), c.stored);
        EXPECT_EQ(Text(entry->m_strAccountName), L"ann");
        EXPECT_EQ(Text(entry->m_strPassword), L"pw");
        EXPECT_EQ(entry->m_bHttpAuth, c.bHttpAuth);
    }
    CFeedChannel saved;
    ASSERT_TRUE(saved.LoadFile(Data(L"CustomFeed.xml").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    for (const std::wstring& link : Links(&saved)) {
        EXPECT_EQ(link.find(L"ann:pw@"), std::wstring::npos) << Narrow(link);
        EXPECT_EQ(link.find(L"username="), std::wstring::npos) << Narrow(link);
        EXPECT_EQ(link.find(L"password="), std::wstring::npos) << Narrow(link);
    }
    EXPECT_EQ(saved.m_items.GetCount(), 2);
}

TEST_F(FeedCommandsTest, AnAddressHandedOverByASecondStartOpensTheSubscribeFlow)
{
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int) {
        if (caption == L"Customize the Feed")
            ModalDriver::Click(hDlg, IDOK);
    });
    const std::wstring address = L"feed://" + FeedUrl().substr(7);
    COPYDATASTRUCT data = {};
    data.dwData = 3;
    data.cbData = static_cast<DWORD>((address.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(address.c_str());
    EXPECT_TRUE(::SendMessageW(m_frame->m_hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)));
    ASSERT_TRUE(PumpUntil([&] { return m_frame->Lists().Custom() && !m_frame->Lists().Custom()->m_items.IsEmpty(); }));
    EXPECT_EQ(Links(m_frame->Lists().Custom()), std::vector<std::wstring>{FeedUrl()});
    EXPECT_TRUE(m_frame->FeedCommands().GetHandedOver().IsEmpty());
    EXPECT_EQ(Text(m_frame->Lists().Custom()->m_items.GetHead()->m_strTitleText), L"Harbour News");
}

TEST_F(FeedCommandsTest, ChannelPropertiesAreWrittenBackAndSaved)
{
    ASSERT_TRUE(Subscribe(FeedUrl(), nullptr, L"Sailing"));
    CFeedItem* entry = m_frame->Lists().Custom()->m_items.GetHead();

    // Each page opened first in its own run of the sheet, changed, then OK.
    struct Case
    {
        const char* name;
        int page;
        std::function<void(HWND hPage)> change;
        std::function<void()> check;
    };
    std::wstring linkShown;
    const Case cases[] = {
        {"title and description", 0,
         [&](HWND hPage) {
             linkShown = ModalDriver::Text(hPage, IDC_FEED_LINK);
             ModalDriver::SetText(hPage, IDC_FEED_TITLE, L"Harbour & Sea");
             ModalDriver::SetText(hPage, IDC_FEED_DESCRIPTION, L"Tides");
         },
         [&] {
             EXPECT_EQ(linkShown, FeedUrl());
             EXPECT_EQ(Text(entry->m_strTitleText), L"Harbour & Sea");
             EXPECT_EQ(Text(entry->m_strTitle), L"Harbour &amp; Sea");
             EXPECT_EQ(Text(entry->m_strDescriptionText), L"Tides");
         }},
        {"log-on", 1,
         [](HWND hPage) {
             ::SendMessageW(::GetDlgItem(hPage, IDC_FEED_LOGON), BM_CLICK, 0, 0);
             ModalDriver::SetText(hPage, IDC_FEED_ACCOUNT, L"bob");
             ModalDriver::SetText(hPage, IDC_FEED_PASSWORD, L"secret");
             ::SendMessageW(::GetDlgItem(hPage, IDC_FEED_GET_AUTH), BM_CLICK, 0, 0);
         },
         [&] {
             EXPECT_EQ(Text(entry->m_strAccountName), L"bob");
             EXPECT_EQ(Text(entry->m_strPassword), L"secret");
             EXPECT_FALSE(entry->m_bHttpAuth);
         }},
        {"log-on removed", 1, [](HWND hPage) { ::SendMessageW(::GetDlgItem(hPage, IDC_FEED_LOGON), BM_CLICK, 0, 0); },
         [&] {
             EXPECT_TRUE(entry->m_strAccountName.IsEmpty());
             EXPECT_TRUE(entry->m_strPassword.IsEmpty());
         }},
        {"interval", 2, [](HWND hPage) { ::SendDlgItemMessageW(hPage, IDC_FEED_INTERVAL, CB_SETCURSEL, 10, 0); },
         [&] {
             EXPECT_EQ(entry->m_nUpdateInterval, 1440);
             EXPECT_EQ(entry->m_nCountdown, 1440);
         }},
        {"new category", 3, [](HWND hPage) { ModalDriver::SetText(hPage, IDC_FEED_CATEGORY, L"Coast"); },
         [&] {
             EXPECT_EQ(Text(entry->m_strCategory), L"Coast");
             EXPECT_TRUE(entry->m_strSubject.IsEmpty());
             EXPECT_NE(m_frame->PaneSite().GetNavigationPane()->FindGroupByCaption(L"Coast"), nullptr);
         }},
        {"main category", 3, [](HWND hPage) { ModalDriver::SetText(hPage, IDC_FEED_CATEGORY, L"Main Category"); },
         [&] { EXPECT_TRUE(entry->m_strCategory.IsEmpty()); }},
    };
    for (const Case& c : cases) {
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
            if (caption != L"Feed Properties" || n != 0)
                return;
            HWND hPage = reinterpret_cast<HWND>(::SendMessageW(hDlg, PSM_GETCURRENTPAGEHWND, 0, 0));
            c.change(hPage);
            ::PostMessageW(hDlg, PSM_PRESSBUTTON, PSBTN_OK, 0);
        });
        m_frame->FeedCommands().ShowChannelProperties(entry, c.page);
        ASSERT_EQ(driver.m_captions.size(), 1u) << c.name;
        c.check();
        CFeedChannel saved;
        ASSERT_TRUE(saved.LoadFile(Data(L"CustomFeed.xml").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
        const CFeedItem* stored = saved.m_items.GetHead();
        EXPECT_EQ(Text(stored->m_strTitleText), Text(entry->m_strTitleText)) << c.name;
        EXPECT_EQ(Text(stored->m_strCategory), Text(entry->m_strCategory)) << c.name;
        EXPECT_EQ(stored->m_nUpdateInterval, entry->m_nUpdateInterval) << c.name;
        EXPECT_EQ(Text(stored->m_strAccountName), Text(entry->m_strAccountName)) << c.name;
    }

    // Cancel changes nothing.
    const std::string before = lqtest::ReadFileBytes(Data(L"CustomFeed.xml"));
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
        if (caption == L"Feed Properties" && n == 0) {
            HWND hPage = reinterpret_cast<HWND>(::SendMessageW(hDlg, PSM_GETCURRENTPAGEHWND, 0, 0));
            ModalDriver::SetText(hPage, IDC_FEED_TITLE, L"Not kept");
            ::PostMessageW(hDlg, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        }
    });
    m_frame->FeedCommands().ShowChannelProperties(entry, 0);
    EXPECT_EQ(Text(entry->m_strTitleText), L"Harbour & Sea");
    EXPECT_EQ(lqtest::ReadFileBytes(Data(L"CustomFeed.xml")), before);
}

TEST_F(FeedCommandsTest, RenamingACategoryChangesTheCustomListAndTheGroup)
{
    ASSERT_TRUE(Subscribe(FeedUrl(), nullptr, L"Sailing"));
    m_frame->FeedCommands().RenameCategory(L"Sailing", L"Boats");
    EXPECT_EQ(Text(m_frame->Lists().Custom()->m_items.GetHead()->m_strCategory), L"Boats");
    EXPECT_NE(m_frame->PaneSite().GetNavigationPane()->FindGroupByCaption(L"Boats"), nullptr);
    EXPECT_EQ(m_frame->PaneSite().GetNavigationPane()->FindGroupByCaption(L"Sailing"), nullptr);
    EXPECT_NE(lqtest::ReadFileBytes(Data(L"CustomFeed.xml")).find("Boats"), std::string::npos);
    // No group of that name: nothing changes.
    m_frame->FeedCommands().RenameCategory(L"Nowhere", L"Else");
    EXPECT_EQ(Text(m_frame->Lists().Custom()->m_items.GetHead()->m_strCategory), L"Boats");
}

TEST_F(FeedCommandsTest, AnExportedChannelListImportsBackWithItsCategories)
{
    ASSERT_TRUE(Subscribe(FeedUrl(), L"My Harbour", L"Sailing"));
    const std::wstring exported = m_temp.File(L"channels.nwx");
    ASSERT_TRUE(m_frame->FeedCommands().ExportChannelsTo(exported.c_str()));
    EXPECT_EQ(lqtest::ReadFileBytes(exported), lqtest::ReadFileBytes(Data(L"CustomFeed.xml")));

    // Unsubscribed by hand, then imported from the exported file.
    delete m_frame->Lists().Custom()->m_items.RemoveHead();
    m_frame->PaneSite().BuildTaskPanel();
    ASSERT_TRUE(m_frame->Lists().Custom()->SaveCustomFeeds());
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
        if (caption == L"Import Channels" || (n == 0 && ::GetDlgItem(hDlg, IDC_IMPORT_COPY_ALL))) {
            ::SendMessageW(::GetDlgItem(hDlg, IDC_IMPORT_COPY_ALL), BM_CLICK, 0, 0);
            ModalDriver::Click(hDlg, IDOK);
        }
    });
    EXPECT_EQ(m_frame->FeedCommands().ImportChannelFile(exported.c_str(), false), 1);
    EXPECT_EQ(driver.m_messages, std::vector<std::wstring>{Text(LoadResourceString(IDS_FEEDS_ADDED))});
    ASSERT_EQ(Links(m_frame->Lists().Custom()), std::vector<std::wstring>{FeedUrl()});
    const CFeedItem* entry = m_frame->Lists().Custom()->m_items.GetHead();
    EXPECT_EQ(Text(entry->m_strTitleText), L"My Harbour");
    EXPECT_EQ(Text(entry->m_strCategory), L"Sailing");
    // A second import of the same file adds nothing.
    EXPECT_EQ(m_frame->FeedCommands().ImportChannelFile(exported.c_str(), false), 0);
    EXPECT_EQ(m_frame->Lists().Custom()->m_items.GetCount(), 1);
    ASSERT_TRUE(PumpUntil([&] { return !m_frame->Refresher().IsUpdating(); }, 30000));
}

TEST(EnclosureFileName, OnlyAPlainFileNameIsOfferedForSaving)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* clean;
    };
    const Case cases[] = {
        {L"episode.mp3", L"episode.mp3"},
        {L"..\\..\\startup.exe", L"_.._startup.exe"},
        {L"a/b\\c:d*e?f\"g<h>i|j.mp3", L"a_b_c_d_e_f_g_h_i_j.mp3"},
        {L"CON", L"_CON"},
        {L"nul.mp3", L"_nul.mp3"},
        {L"com1.txt", L"_com1.txt"},
        {L"LPT9", L"_LPT9"},
        {L"console.mp3", L"console.mp3"},
        {L"trailing. ", L"trailing"},
        {L"tab\there", L"tab_here"},
        {L"..", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(CleanEnclosureFileName(c.name)), c.clean) << Narrow(c.name);
}

TEST_F(FeedCommandsTest, AnEnclosureIsQueuedOnlyForAFileInAnExistingFolder)
{
    const std::wstring refused[] = {
        m_temp.File(L"missing\\episode.mp3"),
        L"\\\\server\\share\\episode.mp3",
        L"relative.mp3",
        m_temp.Path() + L"\\",
        m_temp.File(L"CON"),
        m_temp.File(L"a?b.mp3"),
        L"\\\\?\\" + m_temp.File(L"episode.mp3"),
        L"\\\\.\\" + m_temp.File(L"episode.mp3"),
    };
    for (const std::wstring& path : refused) {
        CFeedItem item;
        item.m_strEnclosureUrl = HttpUrl(L"/text/10").c_str();
        EXPECT_FALSE(m_frame->FeedCommands().QueueEnclosureDownload(&item, path.c_str())) << Narrow(path);
        EXPECT_TRUE(item.m_strEnclosureFile.IsEmpty()) << Narrow(path);
    }

    // The worker takes the job and writes the file; the frame then offers to open it (declined here).
    ModalDriver driver([](HWND, const std::wstring&, int) {});
    driver.m_nMessageBoxAnswer = IDNO;
    CFeedItem item;
    item.m_strEnclosureUrl = HttpUrl(L"/text/10").c_str();
    const std::wstring target = m_temp.File(L"episode.mp3");
    ASSERT_TRUE(m_frame->FeedCommands().QueueEnclosureDownload(&item, target.c_str()));
    EXPECT_EQ(Text(item.m_strEnclosureFile), target);
    ASSERT_TRUE(PumpUntil([&] { return item.m_nEnclosureState == 1; }, 30000));
    EXPECT_EQ(lqtest::ReadFileBytes(target).size(), 10u);
    ASSERT_TRUE(PumpUntil([&] { return !m_frame->Refresher().IsUpdating() && !item.m_bEnclosureJob; }, 30000));
    EXPECT_EQ(driver.m_messages.size(), 1u);
}

std::wstring g_launched;
BOOL RecordLaunch(LPCWSTR program, LPCWSTR)
{
    g_launched = program;
    return TRUE;
}

TEST_F(FeedCommandsTest, TheUpdaterRunsOnlyForAPackageTheUpdateCheckPassed)
{
    const PFN_LAUNCH_PROGRAM savedLaunch = g_pfnLaunchProgram;
    const PFN_RUN_UPDATE_DOWNLOAD savedDownload = g_pfnRunUpdateDownload;
    g_pfnLaunchProgram = RecordLaunch;
    const std::wstring updater = GetUpdaterProgramPath().GetString();
    ASSERT_TRUE(lqtest::WriteFileBytes(updater, "MZ updater"));
    ASSERT_TRUE(lqtest::WriteFileBytes(GetUpdatePackagePath().GetString(), "MZ package"));
    TakeCheckedUpdatePackage();
    CWnd* savedMain = theApp.m_pMainWnd;
    theApp.m_pMainWnd = m_frame;
    // Packages come over HTTPS from the update host, with the digest the description gave ("MZ package").
    theApp.WriteProfileString(L"URLs", L"update", L"https://updates.example/currentver.xml");
    auto order = [] {
        auto* package = new CUpdatePackageOrder;
        package->strUrl = L"https://updates.example/update.exe";
        package->strDigest = L"3616e1e05dd92c8865de5be713e88b95055943eb9daa6df4f2b4a4bedceb12a2";
        return package;
    };

    // Another program sends the message: a package lies there, but no download of ours checked it.
    g_launched.clear();
    ::SendMessageW(m_frame->m_hWnd, WM_RUN_UPDATER, 0, 1);
    EXPECT_TRUE(g_launched.empty());

    // A checked download sends it: the updater starts, once.
    g_pfnRunUpdateDownload = [](CUpdateDownload& download) -> INT_PTR {
        return lqtest::WriteFileBytes(download.strFile.GetString(), "MZ package") ? IDOK : IDCANCEL;
    };
    UpdateDownloadThreadProc(order());
    EXPECT_EQ(g_launched, updater);
    g_launched.clear();
    ::SendMessageW(m_frame->m_hWnd, WM_RUN_UPDATER, 0, 1);
    EXPECT_TRUE(g_launched.empty());

    // A download that failed its checks does not start it, and says so.
    g_pfnRunUpdateDownload = [](CUpdateDownload& download) -> INT_PTR {
        return lqtest::WriteFileBytes(download.strFile.GetString(), "MZ other") ? IDOK : IDCANCEL;
    };
    const PFN_UPDATE_MESSAGE savedMessage = g_pfnUpdateMessage;
    static int s_told = 0;
    g_pfnUpdateMessage = [](UINT) { ++s_told; };
    UpdateDownloadThreadProc(order());
    EXPECT_TRUE(g_launched.empty());
    EXPECT_EQ(s_told, 1);
    g_pfnUpdateMessage = savedMessage;
    theApp.WriteProfileString(L"URLs", L"update", nullptr);

    theApp.m_pMainWnd = savedMain;
    ::DeleteFileW(updater.c_str());
    g_pfnLaunchProgram = savedLaunch;
    g_pfnRunUpdateDownload = savedDownload;
}

} // namespace

namespace {

class CurrentDirectory
{
public:
    explicit CurrentDirectory(const std::wstring& path)
    {
        ::GetCurrentDirectoryW(MAX_PATH, m_saved);
        ::SetCurrentDirectoryW(path.c_str());
    }
    ~CurrentDirectory() { ::SetCurrentDirectoryW(m_saved); }

private:
    wchar_t m_saved[MAX_PATH] = {};
};

} // namespace

TEST_F(FeedCommandsTest, SavingAnEnclosureOffersItsCleanedNameAndAsksAboutAnUnknownType)
{
    CurrentDirectory here(m_temp.Path());
    struct Case
    {
        const char* name;
        const wchar_t* type;
        int answer;           // to the unsupported-type question
        const wchar_t* saved; // file name queued, or null
        size_t questions;
    };
    const Case cases[] = {
        {"unknown type declined", L"application/x-lanternquill-unknown", IDNO, nullptr, 1},
        {"unknown type accepted", L"application/x-lanternquill-unknown", IDYES, L"_CON", 1},
        {"no type", L"", IDOK, L"_CON", 0},
    };
    for (const Case& c : cases) {
        CFeedItem item;
        item.m_strEnclosureUrl = HttpUrl(L"/text/10/CON").c_str();
        item.m_strEnclosureType = c.type;
        ModalDriver driver([&](HWND hDlg, const std::wstring&, int n) {
            // The save dialog: OK with the name it proposes.
            if (n == 0)
                ModalDriver::Click(hDlg, IDOK);
        });
        driver.m_nMessageBoxAnswer = c.answer;
        m_frame->FeedCommands().SaveEnclosure(&item);
        EXPECT_EQ(driver.m_messages.size(), c.questions) << c.name;
        if (!c.saved) {
            EXPECT_TRUE(item.m_strEnclosureFile.IsEmpty()) << c.name;
            continue;
        }
        EXPECT_EQ(Text(item.m_strEnclosureFile), m_temp.File(c.saved)) << c.name;
        ASSERT_TRUE(PumpUntil([&] { return item.m_nEnclosureState == 1; }, 30000)) << c.name;
        ASSERT_TRUE(PumpUntil([&] { return !m_frame->Refresher().IsUpdating(); }, 30000));
        EXPECT_TRUE(::DeleteFileW(m_temp.File(c.saved).c_str())) << c.name;
    }
}
