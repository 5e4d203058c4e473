// Subscribing: how typed, pasted and handed-over addresses become the address fetched and stored, the wait
// dialog against the local server (feed, OPML list, page that is no feed, refused connection, log-on by HTTP and
// by the query, Cancel while the server holds the answer), and "Subscribe" and "Customize the Feed" driven as a
// user does.
#include "companions/FeedDownloadDlg.h"
#include "companions/FeedPropertyPages.h"
#include "companions/FeedSubscribeDlg.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/Afx.h"
#include "res/resource.h"
#include "tests/companions/CompanionsTestHost.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using lqtest::HttpUrl;
using lqtest::ModalDriver;
using lqtest::Narrow;

namespace {

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

std::wstring Port()
{
    return std::to_wstring(lqtest::HttpPort());
}

// ---- Addresses

// What "Next >" makes of a typed address (or OnInitDialog of a preset one): the address, then the account found.
struct Normalised
{
    std::wstring address, account, password;
    int found;
};
Normalised Normalise(const wchar_t* text, bool bPreset)
{
    CString address = bPreset ? NormalizeFeedAddress(text, true) : NormalizeFeedAddress(CleanTypedAddress(text), false);
    CString account, password;
    const int found = ExtractAddressCredentials(address, account, password);
    return {Text(address), Text(account), Text(password), found};
}

TEST(FeedAddress, TypedPastedAndHandedOverAddressesBecomeTheAddressFetchedAndStored)
{
    const int Q = ADDRESS_CREDENTIALS_QUERY, U = ADDRESS_CREDENTIALS_USERINFO;
    struct Case
    {
        const wchar_t* text;
        bool bPreset;
        const wchar_t* address;
        const wchar_t* account;
        const wchar_t* password;
        int found;
    };
    const Case cases[] = {
        {L"feed://h/rss.xml", false, L"http://h/rss.xml", L"", L"", 0},
        {L"feed:https://h/x", false, L"https://h/x", L"", L"", 0},
        {L"feed:http://h/x", false, L"http://h/x", L"", L"", 0},
        {L"feed:feed:http://h/x", true, L"http://h/x", L"", L"", 0},
        {L"FEED://h/x", false, L"http://h/x", L"", L"", 0},
        // Only the front changes: an address carried in the query stays as it was.
        {L"feed://h/r?next=feed://k/", false, L"http://h/r?next=feed://k/", L"", L"", 0},
        {L"http://h/x", false, L"http://h/x", L"", L"", 0},
        {L"https://h:8443/x?a=1", false, L"https://h:8443/x?a=1", L"", L"", 0},
        {L"www.example.com/rss.xml", false, L"http://www.example.com/rss.xml", L"", L"", 0},
        {L"  http://h/x \r\n", false, L"http://h/x", L"", L"", 0},
        {L"http://h/\r\nrss", false, L"http://h/rss", L"", L"", 0},
        {L"http://h/rss?id=1&username=ann&password=se%26cret", false, L"http://h/rss?id=1", L"ann", L"se&cret", Q},
        {L"http://h/rss?username=ann&password=pw&id=2", false, L"http://h/rss?id=2", L"ann", L"pw", Q},
        {L"http://h/rss?username=&password=pw", false, L"http://h/rss", L"", L"pw", Q},
        {L"http://h/rss?a=1&password=pw#top", false, L"http://h/rss?a=1#top", L"", L"pw", Q},
        {L"http://h/rss?myusername=x", false, L"http://h/rss?myusername=x", L"", L"", 0},
        {L"username=ann&x=1", true, L"username=ann&x=1", L"", L"", 0},
        {L"http://ann:pw@h:8080/rss", false, L"http://h:8080/rss", L"ann", L"pw", U},
        {L"feed://ann:p%40ss@h/rss", false, L"http://h/rss", L"ann", L"p@ss", U},
        {L"http://h/a@b", false, L"http://h/a@b", L"", L"", 0},
    };
    for (const Case& c : cases) {
        const Normalised n = Normalise(c.text, c.bPreset);
        EXPECT_EQ(n.address, c.address) << Narrow(c.text);
        EXPECT_EQ(n.account, c.account) << Narrow(c.text);
        EXPECT_EQ(n.password, c.password) << Narrow(c.text);
        EXPECT_EQ(n.found, c.found) << Narrow(c.text);
    }
}

TEST(FeedAddress, OnlyHttpAndHttpsAddressesWithAHostMayBeSubscribed)
{
    struct Case
    {
        const wchar_t* address;
        bool ok;
    };
    const Case cases[] = {
        {L"http://h/x", true},
        {L"https://h/x", true},
        {L"HTTP://H/X", true},
        {L"ftp://h/x", false},
        {L"file:///c:/x.xml", false},
        {L"c:\\feeds\\x.xml", false},
        {L"javascript:alert(1)", false},
        {L"http://", false},
        {L"http://h/a b", false},
        {L"http://h/\"x", false},
        {L"", false},
        {L"hello world", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSubscribableAddress(c.address), c.ok) << Narrow(c.address);
}

TEST(FeedAddress, OpmlListsAreToldFromFeedsAndFromFilesThatDoNotParse)
{
    EXPECT_TRUE(IsOpmlFile(lqtest::SourcePath(L"companions\\fixtures\\subscribe-list.opml").c_str()));
    EXPECT_FALSE(IsOpmlFile(lqtest::SourcePath(L"companions\\fixtures\\subscribe-feed.xml").c_str()));
    EXPECT_FALSE(IsOpmlFile(lqtest::SourcePath(L"companions\\fixtures\\countries.csv").c_str()));
    EXPECT_FALSE(IsOpmlFile(L"c:\\no\\such\\file.opml"));
}

// ---- Dialogs against the local server

class SubscribeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(lqtest::HttpPort(), 0);
        m_savedTemp = theCompanionsHost.m_strTempFolder;
        m_savedData = theCompanionsHost.m_strDataFolder;
        m_savedTimeout = theCompanionsHost.m_settings.nTimeout;
        theCompanionsHost.m_strTempFolder = m_temp.Path().c_str();
        theCompanionsHost.m_strDataFolder = m_data.Path().c_str();
        theCompanionsHost.m_settings.nTimeout = 3;
        EmptyClipboard();
    }
    void TearDown() override
    {
        theCompanionsHost.m_strTempFolder = m_savedTemp;
        theCompanionsHost.m_strDataFolder = m_savedData;
        theCompanionsHost.m_settings.nTimeout = m_savedTimeout;
        EmptyClipboard();
    }
    static void EmptyClipboard()
    {
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
    }
    static void PutOnClipboard(const std::wstring& text)
    {
        ASSERT_TRUE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        memcpy(::GlobalLock(hMem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        ::GlobalUnlock(hMem);
        ::SetClipboardData(CF_UNICODETEXT, hMem);
        ::CloseClipboard();
    }
    static std::wstring FeedUrl() { return HttpUrl(L"/files/companions/fixtures/subscribe-feed.xml"); }

    lqtest::TempFolder m_temp;
    lqtest::TempFolder m_data;
    CString m_savedTemp, m_savedData;
    int m_savedTimeout = 0;
};

TEST_F(SubscribeTest, TheWaitDialogEndsWithTheFeedTheListOrTheFailure)
{
    struct Case
    {
        const char* name;
        std::wstring url;
        int bLogon, bHttpAuth;
        INT_PTR result;
        int code;
        const wchar_t* title; // of the parsed feed
    };
    const Case cases[] = {
        {"feed", FeedUrl(), 0, 1, IDOK, 0, L"Harbour News"},
        {"opml list", HttpUrl(L"/files/companions/fixtures/subscribe-list.opml"), 0, 1, FEED_DOWNLOAD_OPML,
         FEED_DOWNLOAD_OPML, nullptr},
        {"page that is no feed", HttpUrl(L"/text/300"), 0, 1, IDCANCEL, IDS_INCORRECT_FEED_FORMAT, nullptr},
        {"not found", HttpUrl(L"/status/404"), 0, 1, IDCANCEL, IDS_CHANNEL_DOWNLOAD_FAILED, nullptr},
        {"refused connection", L"http://127.0.0.1:1/feed.xml", 0, 1, IDCANCEL, IDS_CHANNEL_DOWNLOAD_FAILED, nullptr},
        {"401 without an account", HttpUrl(L"/basic-feed/ann/pw/Locked"), 0, 1, IDCANCEL, IDS_CHANNEL_DOWNLOAD_FAILED,
         nullptr},
        {"401 with the account", HttpUrl(L"/basic-feed/ann/pw/Locked"), 1, 1, IDOK, 0, L"Locked"},
        // Encoded, so the "&" in the password stays inside its parameter.
        {"account in the query", HttpUrl(L"/query-feed/x?id=7"), 1, 0, IDOK, 0, L"id=7&username=ann&password=p%26w"},
        {"account in a query of its own", HttpUrl(L"/query-feed/x"), 1, 0, IDOK, 0, L"username=ann&password=p%26w"},
        {"empty address", L"", 0, 1, FEED_DOWNLOAD_NO_ADDRESS, IDS_CHANNEL_DOWNLOAD_FAILED, nullptr},
    };
    for (const Case& c : cases) {
        ModalDriver driver([](HWND, const std::wstring&, int) {});
        CFeedDownloadDlg dlg;
        dlg.m_strUrl = c.url.c_str();
        dlg.m_bLogon = c.bLogon;
        dlg.m_bHttpAuth = c.bHttpAuth;
        dlg.m_strAccountName = L"ann";
        dlg.m_strPassword = c.bHttpAuth ? L"pw" : L"p&w";
        EXPECT_EQ(dlg.DoModal(), c.result) << c.name;
        EXPECT_EQ(dlg.m_nResult, c.code) << c.name;
        EXPECT_TRUE(driver.m_messages.empty()) << c.name << ": the caller tells the user";
        if (c.title) {
            ASSERT_NE(dlg.m_pChannel, nullptr) << c.name;
            EXPECT_EQ(Text(dlg.m_pChannel->m_info.m_strTitle), c.title) << c.name;
            EXPECT_FALSE(dlg.m_pChannel->m_items.IsEmpty()) << c.name;
            EXPECT_EQ(dlg.m_pChannel->m_dtLastUpdate.GetStatus(), COleDateTime::valid) << c.name;
            // The test server answers /favicon.ico on its own host and port.
            EXPECT_FALSE(dlg.m_strIconFile.IsEmpty()) << c.name;
            EXPECT_NE(::GetFileAttributesW(dlg.m_strIconFile), INVALID_FILE_ATTRIBUTES) << c.name;
        } else {
            EXPECT_EQ(dlg.m_pChannel, nullptr) << c.name << ": only a feed keeps its document";
        }
        if (c.result == FEED_DOWNLOAD_OPML) {
            EXPECT_EQ(Text(dlg.m_strUrl).rfind(m_temp.Path(), 0), 0u) << c.name << ": " << Narrow(Text(dlg.m_strUrl));
            EXPECT_TRUE(IsOpmlFile(dlg.m_strUrl)) << c.name;
        }
    }
}

TEST_F(SubscribeTest, CancelEndsTheWaitAtOnceWhileTheServerHoldsTheAnswer)
{
    ModalDriver driver([](HWND hDlg, const std::wstring& caption, int n) {
        if (caption == L"Please wait..." && n == 0)
            ModalDriver::Click(hDlg, IDCANCEL);
    });
    CFeedDownloadDlg dlg;
    dlg.m_strUrl = HttpUrl(L"/silent/20000").c_str();
    const ULONGLONG started = ::GetTickCount64();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    // Well before the server would have let go (twenty seconds), and before the time-out (three).
    EXPECT_LT(::GetTickCount64() - started, 3000u);
    EXPECT_EQ(dlg.m_nResult, 0);
    EXPECT_EQ(dlg.m_pChannel, nullptr);
    EXPECT_EQ(driver.m_captions, std::vector<std::wstring>{L"Please wait..."});
}

TEST_F(SubscribeTest, AHandedOverAddressIsFetchedBeforeTheUserSeesTheDialog)
{
    bool bSeen = false;
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int) {
        if (caption == L"Subscribe" && ::IsWindowVisible(hDlg)) {
            bSeen = true;
            ModalDriver::Click(hDlg, IDCANCEL);
        }
    });
    CFeedSubscribeDlg dlg;
    dlg.m_strUrl = (L"feed:feed:" + FeedUrl()).c_str();
    dlg.m_bDownloadNow = 1;
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(bSeen);
    EXPECT_EQ(driver.m_captions.front(), L"Please wait...");
    ASSERT_NE(dlg.m_pChannel, nullptr);
    EXPECT_EQ(Text(dlg.m_strUrl), FeedUrl());
    EXPECT_FALSE(dlg.m_strIconFile.IsEmpty());
}

TEST_F(SubscribeTest, AFailedHandedOverAddressIsReportedAndLeftInTheDialogForCorrection)
{
    std::wstring shown;
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int) {
        if (caption == L"Subscribe") {
            shown = ModalDriver::Text(hDlg, IDC_FEED_ADDRESS);
            ModalDriver::Click(hDlg, IDCANCEL);
        }
    });
    CFeedSubscribeDlg dlg;
    dlg.m_strUrl = L"feed://127.0.0.1:1/feed.xml";
    dlg.m_bDownloadNow = 1;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(driver.m_messages, std::vector<std::wstring>{Text(LoadResourceString(IDS_CHANNEL_DOWNLOAD_FAILED))});
    EXPECT_EQ(shown, L"http://127.0.0.1:1/feed.xml");
    EXPECT_EQ(dlg.m_pChannel, nullptr);
}

TEST_F(SubscribeTest, NextFetchesTheTypedAddressWithItsAccountAndStaysOpenOnEachFailure)
{
    const std::wstring locked = HttpUrl(L"/basic-feed/ann/pw/Locked");
    struct Case
    {
        const char* name;
        std::wstring typed;
        bool bLogon; // tick the log-on box and type the account
        INT_PTR result;
        std::vector<std::wstring> messages;
        const wchar_t* title; // of the feed taken, or null
    };
    const std::wstring failed = Text(LoadResourceString(IDS_CHANNEL_DOWNLOAD_FAILED));
    const std::wstring format = Text(LoadResourceString(IDS_INCORRECT_FEED_FORMAT));
    const std::wstring invalid = Text(LoadResourceString(IDS_INVALID_URL));
    const Case cases[] = {
        {"feed", L"  " + FeedUrl() + L"\r\n", false, IDOK, {}, L"Harbour News"},
        {"401 with the account typed", locked, true, IDOK, {}, L"Locked"},
        {"401 without an account", locked, false, IDCANCEL, {failed}, nullptr},
        {"page that is no feed", HttpUrl(L"/text/100"), false, IDCANCEL, {format}, nullptr},
        {"refused connection", L"http://127.0.0.1:1/x.xml", false, IDCANCEL, {failed}, nullptr},
        {"no http address", L"ftp://127.0.0.1/x.xml", false, IDCANCEL, {invalid}, nullptr},
        {"nothing typed", L"", false, IDCANCEL, {}, nullptr},
        {"opml list", HttpUrl(L"/files/companions/fixtures/subscribe-list.opml"), false, IDOK, {}, nullptr},
    };
    for (const Case& c : cases) {
        ModalDriver* pDriver = nullptr;
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
            if (caption != L"Subscribe")
                return;
            if (n > 0) {
                // Back after the failure's message: the user gives up.
                if (!pDriver->m_messages.empty())
                    ModalDriver::Click(hDlg, IDCANCEL);
                return;
            }
            ModalDriver::SetText(hDlg, IDC_FEED_ADDRESS, c.typed.c_str());
            if (c.bLogon) {
                ::SendMessageW(::GetDlgItem(hDlg, IDC_FEED_LOGON), BM_CLICK, 0, 0);
                ModalDriver::SetText(hDlg, IDC_FEED_ACCOUNT, L"ann");
                ModalDriver::SetText(hDlg, IDC_FEED_PASSWORD, L"pw");
            }
            ModalDriver::Click(hDlg, IDOK);
            // Nothing typed fetches nothing and says nothing: the dialog simply stays.
            if (c.typed.empty())
                ModalDriver::Click(hDlg, IDCANCEL);
        });
        pDriver = &driver;
        CFeedSubscribeDlg dlg;
        EXPECT_EQ(dlg.DoModal(), c.result) << c.name;
        EXPECT_EQ(driver.m_messages, c.messages) << c.name;
        if (c.title) {
            ASSERT_NE(dlg.m_pChannel, nullptr) << c.name;
            EXPECT_EQ(Text(dlg.m_pChannel->m_info.m_strTitle), c.title) << c.name;
            EXPECT_EQ(dlg.m_bLogon, c.bLogon ? 1 : 0) << c.name;
        } else {
            EXPECT_EQ(dlg.m_pChannel, nullptr) << c.name;
        }
        if (c.bLogon) {
            EXPECT_EQ(Text(dlg.m_strAccountName), L"ann");
            EXPECT_EQ(Text(dlg.m_strPassword), L"pw");
            EXPECT_EQ(dlg.m_bHttpAuth, 1);
        }
    }
}

TEST_F(SubscribeTest, AnAccountInTheTypedAddressIsTakenOutAndSentOnlyAsTheAccount)
{
    // The server takes Basic credentials only: the address's account must arrive as such, not as a user name in
    // the address the entry keeps.
    const std::wstring typed = L"http://ann:pw@127.0.0.1:" + Port() + L"/basic-feed/ann/pw/Locked";
    bool bLogonShown = false, bGetChosen = true;
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
        if (caption == L"Subscribe" && n == 0) {
            ModalDriver::SetText(hDlg, IDC_FEED_ADDRESS, typed.c_str());
            ModalDriver::Click(hDlg, IDOK);
        } else if (caption == L"Please wait...") {
            HWND hSubscribe = ::GetWindow(hDlg, GW_OWNER);
            bLogonShown = ModalDriver::Checked(hSubscribe, IDC_FEED_LOGON);
            bGetChosen = ModalDriver::Checked(hSubscribe, IDC_FEED_GET_AUTH);
        }
    });
    CFeedSubscribeDlg dlg;
    ASSERT_EQ(dlg.DoModal(), IDOK) << (driver.m_messages.empty() ? "" : Narrow(driver.m_messages[0]));
    EXPECT_EQ(Text(dlg.m_strUrl), HttpUrl(L"/basic-feed/ann/pw/Locked"));
    EXPECT_EQ(Text(dlg.m_strAccountName), L"ann");
    EXPECT_EQ(Text(dlg.m_strPassword), L"pw");
    EXPECT_TRUE(bLogonShown);
    EXPECT_FALSE(bGetChosen);
}

TEST_F(SubscribeTest, APastedFeedLinkAppearsAsItsHttpAddressAndOtherTextStaysOut)
{
    struct Case
    {
        std::wstring clipboard;
        std::wstring shown;
    };
    const Case cases[] = {
        {L"feed://h.example/rss.xml", L"http://h.example/rss.xml"},
        {L"feed:https://h.example/x", L"https://h.example/x"},
        {L"just some words", L""},
        {L"c:\\windows\\notepad.exe", L""},
    };
    for (const Case& c : cases) {
        PutOnClipboard(c.clipboard);
        std::wstring shown = L"(not shown)";
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int) {
            if (caption == L"Subscribe") {
                shown = ModalDriver::Text(hDlg, IDC_FEED_ADDRESS);
                ModalDriver::Click(hDlg, IDCANCEL);
            }
        });
        CFeedSubscribeDlg dlg;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(shown, c.shown) << Narrow(c.clipboard);
    }
}

TEST_F(SubscribeTest, CustomizeTheFeedTakesTheTitleAndATypedOrChosenCategory)
{
    struct Case
    {
        const char* name;
        const wchar_t* category; // typed into the combo box; null leaves "Main Category"
        const wchar_t* stored;
    };
    const Case cases[] = {
        {"main category kept", nullptr, L""},
        {"new name typed", L"Sailing", L"Sailing"},
        {"main category typed", L"Main Category", L""},
    };
    for (const Case& c : cases) {
        CFeedItem entry;
        entry.m_strTitleText = L"Harbour News";
        entry.m_strTitle = L"Harbour News";
        std::wstring titleShown, firstRow;
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int) {
            if (caption != L"Customize the Feed")
                return;
            titleShown = ModalDriver::Text(hDlg, IDC_FEED_TITLE);
            firstRow = ModalDriver::Text(hDlg, IDC_FEED_CATEGORY);
            ModalDriver::SetText(hDlg, IDC_FEED_TITLE, L"Boats & <Ships>");
            if (c.category)
                ModalDriver::SetText(hDlg, IDC_FEED_CATEGORY, c.category);
            ModalDriver::Click(hDlg, IDOK);
        });
        CFeedSubscribeDlg2 dlg;
        dlg.m_pEntry = &entry;
        ASSERT_EQ(dlg.DoModal(), IDOK) << c.name;
        EXPECT_EQ(titleShown, L"Harbour News");
        EXPECT_EQ(firstRow, L"Main Category");
        EXPECT_EQ(Text(entry.m_strTitleText), L"Boats & <Ships>");
        EXPECT_EQ(Text(entry.m_strTitle), L"Boats &amp; &lt;Ships&gt;");
        EXPECT_EQ(Text(entry.m_strCategory), c.stored) << c.name;
    }
}

TEST(ChannelUpdatePage, IntervalsMapToTheirRowsAndBack)
{
    struct Case
    {
        int minutes, row, back;
    };
    const Case cases[] = {
        {-1, 0, -1},   {1, 1, 1},     {5, 2, 5},     {15, 3, 15},      {30, 4, 30}, {45, 5, 45}, {60, 6, 60},
        {120, 7, 120}, {240, 8, 240}, {720, 9, 720}, {1440, 10, 1440}, {90, 6, 60}, {0, 6, 60},  {100000, 6, 60},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CFeedUpdateDlg::RowOfInterval(c.minutes), c.row) << c.minutes;
        EXPECT_EQ(CFeedUpdateDlg::IntervalOfRow(c.row), c.back) << c.minutes;
    }
    EXPECT_EQ(CFeedUpdateDlg::IntervalOfRow(-1), 60);
    EXPECT_EQ(CFeedUpdateDlg::IntervalOfRow(11), 60);
}

TEST(FeedCustomList, AMissingListLoadsEmptyAndADamagedOneNotAtAll)
{
    lqtest::TempFolder data;
    const CString saved = theCompanionsHost.m_strDataFolder;
    theCompanionsHost.m_strDataFolder = data.Path().c_str();
    CFeedChannel* list = LoadCustomFeeds();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->m_items.IsEmpty());
    delete list;
    ASSERT_TRUE(lqtest::WriteFileBytes(data.File(L"CustomFeed.xml"), "<rss><channel><item>"));
    EXPECT_EQ(LoadCustomFeeds(), nullptr);
    theCompanionsHost.m_strDataFolder = saved;
}

} // namespace

std::wstring g_typedAddress;
bool g_addressTyped = false;

// Types once "Subscribe" is in front with the keyboard in its address edit.
void CALLBACK TypeIntoSubscribe(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    HWND hWndForeground = ::GetForegroundWindow();
    wchar_t caption[32] = {};
    ::GetWindowTextW(hWndForeground, caption, 32);
    if (g_addressTyped || lstrcmpW(caption, L"Subscribe") != 0 ||
        ::GetFocus() != ::GetDlgItem(hWndForeground, IDC_FEED_ADDRESS))
        return;
    g_addressTyped = true;
    ::KillTimer(nullptr, idEvent);
    lqtest::TypeText(g_typedAddress);
    lqtest::TapKey(VK_RETURN);
}

TEST_F(SubscribeTest, TheUserTypesTheFeedLinkAndPressesEnter)
{
    // The address edit has the focus when the dialog opens; Enter is "Next >".
    g_typedAddress = L"feed://" + FeedUrl().substr(7);
    g_addressTyped = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &TypeIntoSubscribe);
    CFeedSubscribeDlg dlg;
    const INT_PTR result = dlg.DoModal();
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_addressTyped);
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(Text(dlg.m_strUrl), FeedUrl());
    ASSERT_NE(dlg.m_pChannel, nullptr);
    EXPECT_EQ(Text(dlg.m_pChannel->m_info.m_strTitle), L"Harbour News");
}
