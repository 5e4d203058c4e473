// The frame's "Settings" sheet: the values the pages are given, what is written after OK (only what changed, the
// view style last with its restart question), and the real sheet opened by its command on a frame.
#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "companions/OptionsPages.h"
#include "companions/PodcastProp.h"
#include "tests/app/MainFrameTestSupport.h"
#include "res/resource.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestSupport.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using lqtest::ModalDriver;
using lqtest::PumpUntil;
using lqtest::TempFolder;

namespace {

const wchar_t kTestCompany[] = L"LanternquillOptionsSheetTests";

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

// The values the sheet writes, as "section\name" = value; "<none>" when not there.
std::wstring Value(LPCWSTR section, LPCWSTR name, bool bNumber)
{
    if (!bNumber)
        return Text(theApp.GetProfileString(section, name, L"<none>"));
    const int value = static_cast<int>(theApp.GetProfileInt(section, name, -999));
    return value == -999 ? L"<none>" : std::to_wstring(value);
}

// The values the sheet writes, as "section\name" = value; "<none>" when not there.
std::map<std::wstring, std::wstring> SheetValues()
{
    std::map<std::wstring, std::wstring> values;
    for (const wchar_t* name : {L"LeftArrows", L"ReportStat", L"ViewStyle", L"View"})
        values[name] = Value(L"", name, true);
    for (const wchar_t* name :
         {L"Proxy", L"ProxyServer", L"ProxyPort", L"ProxyUser", L"ProxyPass", L"Timeout", L"Max"}) {
        const bool bNumber =
            wcscmp(name, L"ProxyServer") != 0 && wcscmp(name, L"ProxyUser") != 0 && wcscmp(name, L"ProxyPass") != 0;
        values[std::wstring(L"Connection\\") + name] = Value(L"Connection", name, bNumber);
    }
    return values;
}

// What the sheet had written when a message box came up.
std::map<std::wstring, std::wstring> g_atMessageBox;

LRESULT CALLBACK SnapshotAtMessageBox(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_ACTIVATE && ::GetDlgItem(reinterpret_cast<HWND>(wParam), 0xFFFF) != nullptr)
        g_atMessageBox = SheetValues();
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

class OptionsSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theApp.WriteProfileInt(L"", L"Check at startup", 0);
        m_frame = new CMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
        ASSERT_TRUE(PumpUntil([&] { return !m_frame->Refresher().IsUpdating(); }));
        for (const auto& value : SheetValues()) {
            const size_t slash = value.first.find(L'\\');
            if (slash == std::wstring::npos)
                theApp.WriteProfileString(L"", value.first.c_str(), nullptr);
            else
                theApp.WriteProfileString(L"Connection", value.first.substr(slash + 1).c_str(), nullptr);
        }
        m_none = SheetValues();
        theApp.WriteProfileString(L"Podcasting", nullptr, nullptr);
        m_nSavedPodcastMode = theApp.m_settings.nPodcastMode;
    }
    void TearDown() override
    {
        if (m_frame)
            m_frame->DestroyWindow();
        theApp.WriteProfileString(L"Podcasting", nullptr, nullptr);
        theApp.m_settings.nPodcastMode = m_nSavedPodcastMode;
    }

    TempFolder m_data;
    TempFolder m_temp;
    apptest::AppSandbox m_sandbox{kTestCompany, m_data, m_temp};
    CMainFrame* m_frame = nullptr; // deletes itself with its window
    std::map<std::wstring, std::wstring> m_none;
    int m_nSavedPodcastMode = 0;
};

struct SheetPages
{
    CReaderSettingsDlg1 general;
    CReaderSettingsDlg0 viewStyle;
    CReaderSettingsDlg2 channelView;
    CReaderSettingsDlg3 connection;
    CReaderSettingsDlg5 themes;
    CPodcastProp podcast;
    CReaderSettingsDlg4 glowmark;
    COptionsSheet::Pages pages{general, viewStyle, channelView, connection, themes, podcast, glowmark};
};

// The podcast manager as the frame sees it, counting the times it is told to take its list again.
class CountingPodcast : public lqtest::CompanionStandIn<CPodcastCompanion>
{
public:
    CountingPodcast() : CompanionStandIn(nullptr) {}
    void SyncList() override { ++m_synced; }
    int m_synced = 0;
};

TEST_F(OptionsSheetTest, OnlyChangedValuesAreWrittenAndTheViewStyleLastWithItsQuestion)
{
    CReaderSettings& settings = theApp.m_settings;
    settings.nViewStyle = 0;
    settings.nLeftArrows = 1;
    settings.nTimeout = 40;
    settings.nMaxConnections = 4;
    settings.nProxyMode = 0;
    settings.nReportStat = 1;
    m_frame->Looks().SetToolkitTheme(xtpThemeOffice2003);

    // Handed over and confirmed as they were: nothing is written and nothing is asked.
    {
        SheetPages sheet;
        m_frame->Options().HandOver(sheet.pages);
        EXPECT_EQ(sheet.connection.m_nTimeout, 40);
        EXPECT_EQ(sheet.glowmark.m_bGlowmark, 1);
        EXPECT_EQ(sheet.viewStyle.m_nViewStyle, 0);
        EXPECT_EQ(sheet.themes.m_nTheme, xtpThemeOffice2003);
        ModalDriver driver([](HWND, const std::wstring&, int) {});
        m_frame->Options().WriteBack(sheet.pages);
        EXPECT_TRUE(driver.m_messages.empty());
        EXPECT_EQ(SheetValues(), m_none);
    }

    // Everything changed: all written, the view style after the rest, then the question (answered No).
    SheetPages sheet;
    m_frame->Options().HandOver(sheet.pages);
    sheet.general.m_nLeftSide = 0;
    sheet.connection.m_nTimeout = 90;
    sheet.connection.m_nMaxConnections = 8;
    sheet.connection.m_nProxyMode = CReaderSettingsDlg3::PROXY_CUSTOM;
    sheet.connection.m_strProxyServer = L"proxy.test";
    sheet.connection.m_nProxyPort = 3128;
    sheet.connection.m_strProxyUser = L"me";
    sheet.connection.m_strProxyPass = L"secret";
    sheet.glowmark.m_bGlowmark = 0;
    sheet.themes.m_nTheme = xtpThemeDefault;
    sheet.viewStyle.m_nViewStyle = 1;
    {
        ModalDriver driver([](HWND, const std::wstring&, int) {});
        driver.m_nMessageBoxAnswer = IDNO;
        HHOOK hook = ::SetWindowsHookExW(WH_CBT, SnapshotAtMessageBox, nullptr, ::GetCurrentThreadId());
        g_atMessageBox.clear();
        m_frame->Options().WriteBack(sheet.pages);
        ::UnhookWindowsHookEx(hook);
        EXPECT_EQ(driver.m_messages, std::vector<std::wstring>{Text(LoadResourceString(IDS_VIEW_STYLE_RESTART))});
    }
    std::map<std::wstring, std::wstring> written = m_none;
    written[L"LeftArrows"] = L"0";
    written[L"ReportStat"] = L"0";
    written[L"ViewStyle"] = L"1";
    written[L"Connection\\Proxy"] = L"3";
    written[L"Connection\\ProxyServer"] = L"proxy.test";
    written[L"Connection\\ProxyPort"] = L"3128";
    written[L"Connection\\ProxyUser"] = L"me";
    written[L"Connection\\ProxyPass"] = L"secret";
    written[L"Connection\\Timeout"] = L"90";
    written[L"Connection\\Max"] = L"8";
    EXPECT_EQ(g_atMessageBox, written) << "everything is written before the question";
    EXPECT_EQ(SheetValues(), written);
    EXPECT_EQ(settings.nTimeout, 90);
    EXPECT_EQ(settings.nMaxConnections, 8);
    EXPECT_EQ(settings.nProxyPort, 3128);
    EXPECT_EQ(std::wstring(settings.szProxyServer), L"proxy.test");
    EXPECT_EQ(settings.nReportStat, 0);
    EXPECT_EQ(settings.nLeftArrows, 0);
    EXPECT_EQ(m_frame->Looks().GetTheme(), xtpThemeDefault);
    EXPECT_EQ(settings.nViewStyle, 0) << "the running style stays until the restart";
    EXPECT_TRUE(::IsWindow(m_frame->GetSafeHwnd())) << "No keeps the program running";

    // Opened again, the sheet shows the style chosen for the next start, and keeping it asks nothing.
    SheetPages again;
    m_frame->Options().HandOver(again.pages);
    EXPECT_EQ(again.viewStyle.m_nViewStyle, 1);
    EXPECT_EQ(Text(again.connection.m_strProxyServer), L"proxy.test");
    ModalDriver driver([](HWND, const std::wstring&, int) {});
    m_frame->Options().WriteBack(again.pages);
    EXPECT_TRUE(driver.m_messages.empty());
    theApp.WriteProfileString(L"", L"ViewStyle", nullptr);
}

TEST_F(OptionsSheetTest, TheSettingsCommandRunsTheSheetAndWritesNothingForPagesNeverOpened)
{
    theApp.m_settings.nTimeout = 40;
    std::vector<std::wstring> pageTitles;
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
        if (caption != L"Settings" || n != 0)
            return;
        HWND hTabs = reinterpret_cast<HWND>(::SendMessageW(hDlg, PSM_GETTABCONTROL, 0, 0));
        const int count = static_cast<int>(::SendMessageW(hTabs, TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            WCHAR title[64] = L"";
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = title;
            item.cchTextMax = 64;
            ::SendMessageW(hTabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            pageTitles.push_back(title);
        }
        ::SendMessageW(hDlg, PSM_SETCURSEL, 3, 0);
        HWND hPage = reinterpret_cast<HWND>(::SendMessageW(hDlg, PSM_GETCURRENTPAGEHWND, 0, 0));
        ::SetDlgItemTextW(hPage, IDC_OPTIONS_TIMEOUT, L"60");
        ::PostMessageW(hDlg, PSM_PRESSBUTTON, PSBTN_OK, 0);
    });
    ::SendMessageW(m_frame->GetSafeHwnd(), WM_COMMAND, ID_SETTINGS, 0);
    EXPECT_EQ(driver.m_captions, std::vector<std::wstring>{L"Settings"});
    std::vector<std::wstring> expected = {L"General",      L"View Style", L"Channel View", L"Connection Settings",
                                          L"Color Themes", L"Podcasting"};
    if (theApp.m_settings.bStatsEnabled)
        expected.push_back(L"Glowmark");
    EXPECT_EQ(pageTitles, expected);
    std::map<std::wstring, std::wstring> written = m_none;
    written[L"Connection\\Timeout"] = L"60";
    EXPECT_EQ(SheetValues(), written) << "the Channel View page was never opened: no \"View\"";
    EXPECT_EQ(Text(theApp.GetProfileString(L"Podcasting", L"Path", L"<none>")), L"<none>")
        << "nor was the podcast page";
    EXPECT_EQ(theApp.GetProfileInt(L"Podcasting", L"Auto", -1), static_cast<UINT>(-1));
    EXPECT_EQ(theApp.m_settings.nTimeout, 60);
    EXPECT_TRUE(driver.m_messages.empty());
}

TEST_F(OptionsSheetTest, AChangeOnThePodcastPageIsWrittenAndTheManagerTakesItsListAgain)
{
    auto podcast = std::make_unique<CountingPodcast>();
    CountingPodcast& counting = *podcast;
    m_frame->Companions().SetPodcastManager(std::move(podcast));
    theApp.m_settings.nPodcastMode = 1;
    struct Case
    {
        int nButton; // 0: the page is opened and left as it is
        const wchar_t* autoAfter;
        int nSynced;
    };
    const Case cases[] = {{0, L"<none>", 0}, {IDC_PODCAST_AUTO_ALL, L"<none>", 0}, {IDC_PODCAST_MANUAL, L"0", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nButton);
        theApp.WriteProfileString(L"Podcasting", nullptr, nullptr);
        counting.m_synced = 0;
        std::wstring title;
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
            if (caption != L"Settings" || n != 0)
                return;
            ::SendMessageW(hDlg, PSM_SETCURSEL, 5, 0);
            HWND hPage = reinterpret_cast<HWND>(::SendMessageW(hDlg, PSM_GETCURRENTPAGEHWND, 0, 0));
            WCHAR text[64] = L"";
            ::GetWindowTextW(hPage, text, 64);
            title = text;
            if (c.nButton)
                ::SendMessageW(::GetDlgItem(hPage, c.nButton), BM_CLICK, 0, 0);
            ::PostMessageW(hDlg, PSM_PRESSBUTTON, PSBTN_OK, 0);
        });
        ::SendMessageW(m_frame->GetSafeHwnd(), WM_COMMAND, ID_SETTINGS, 0);
        EXPECT_EQ(title, L"Podcasting");
        const int stored = static_cast<int>(theApp.GetProfileInt(L"Podcasting", L"Auto", -1));
        EXPECT_EQ(stored == -1 ? std::wstring(L"<none>") : std::to_wstring(stored), c.autoAfter);
        EXPECT_EQ(counting.m_synced, c.nSynced);
        EXPECT_NE(Text(theApp.GetProfileString(L"Podcasting", L"Path", L"")), L"")
            << "an opened page writes its folder";
    }
    EXPECT_EQ(theApp.m_settings.nPodcastMode, 0);
}

} // namespace
