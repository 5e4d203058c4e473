// The options sheet's pages in a real property sheet: what each page shows for the values it is given, what it
// hands back after OK, the values the General and Channel View pages write themselves, the Connection page's
// ranges, and the weather tables that ship beside the program.
#include "companions/OptionsPages.h"
#include "feeds/EngineContext.h"
#include "framework/Afx.h"
#include "framework/win/DataExchange.h"
#include "res/resource.h"
#include "tests/companions/CompanionsTestHost.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

// A sheet that runs a script from its idle loop, one step each time the loop goes idle; a step answers whether it
// is done. A script that never gets to its end closes the sheet with IDABORT.
class CScriptedSheet : public CPropertySheet
{
public:
    CScriptedSheet() : CPropertySheet(L"Settings") { m_psh.dwFlags |= PSH_NOAPPLYNOW; }

    std::vector<std::function<bool()>> m_script;
    size_t m_step = 0;

    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        if (++m_idles > 5000) {
            EndDialog(IDABORT);
            return FALSE;
        }
        if (m_step < m_script.size() && m_script[m_step]())
            ++m_step;
        return m_step < m_script.size();
    }
    HWND Control(int nID) const { return ::GetDlgItem(GetActivePage()->m_hWnd, nID); }
    bool Checked(int nID) const { return ::SendMessageW(Control(nID), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int nID) const { return ::IsWindowEnabled(Control(nID)) != FALSE; }
    bool Shown(int nID) const { return ::IsWindowVisible(Control(nID)) != FALSE; }
    void Click(int nID) const { ::SendMessageW(Control(nID), BM_CLICK, 0, 0); }
    void SetText(int nID, const wchar_t* text) const { ::SetWindowTextW(Control(nID), text); }
    void Choose(int nID, int index) const
    {
        ::SendMessageW(Control(nID), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageW(GetActivePage()->m_hWnd, WM_COMMAND, MAKEWPARAM(nID, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(Control(nID)));
    }
    std::vector<std::wstring> Entries(int nID) const
    {
        std::vector<std::wstring> entries;
        const int n = static_cast<int>(::SendMessageW(Control(nID), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            WCHAR text[128] = L"";
            ::SendMessageW(Control(nID), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    int Selected(int nID) const { return static_cast<int>(::SendMessageW(Control(nID), CB_GETCURSEL, 0, 0)); }

    // Runs the page alone: act on it, then OK. Answers what the sheet returned.
    INT_PTR RunPage(CPropertyPage& page, std::function<void()> act)
    {
        AddPage(&page);
        m_script = {[this, act] {
            if (GetActivePage() == nullptr || GetActivePage()->m_hWnd == nullptr)
                return false;
            act();
            PressButton(PSBTN_OK);
            return true;
        }};
        return DoModal();
    }

private:
    int m_idles = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CScriptedSheet, CPropertySheet)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

// Profile values of the root section the pages read and write, removed before and after each test.
const wchar_t* const kRootValues[] = {L"Country", L"Location",         L"ShowWeather",  L"Check at startup",
                                      L"View",    L"HideReadChannels", L"OpenInReader", L"Install_Dir"};

class OptionsPagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theCompanionsHost.SetRegistryKey(L"Lanternquill Tests");
        Clear();
        m_saved = theCompanionsHost.m_settings;
    }
    void TearDown() override
    {
        Clear();
        theCompanionsHost.m_settings = m_saved;
        SetRunKey(nullptr);
    }
    static void Clear()
    {
        for (const wchar_t* value : kRootValues)
            theCompanionsHost.WriteProfileString(L"", value, nullptr);
    }
    static void UseFixtureTables()
    {
        theCompanionsHost.WriteProfileString(L"", L"Install_Dir", lqtest::SourcePath(L"companions\\fixtures").c_str());
    }
    static std::wstring Profile(LPCWSTR entry)
    {
        return Text(theCompanionsHost.GetProfileString(L"", entry, L"<none>"));
    }
    // An integer value; kNone when there is none.
    static constexpr int kNone = -999;
    static int ProfileInt(LPCWSTR entry)
    {
        return static_cast<int>(theCompanionsHost.GetProfileInt(L"", entry, kNone));
    }
    // The Run key's value for the program; "<none>" when there is none. Null removes it.
    static std::wstring RunKey(const wchar_t* set = L"")
    {
        HKEY key = nullptr;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &key, nullptr);
        std::wstring value = L"<none>";
        WCHAR text[MAX_PATH + 32] = L"";
        DWORD size = sizeof(text) - sizeof(WCHAR);
        DWORD type = 0;
        if (::RegQueryValueExW(key, L"Lanternquill", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
            ERROR_SUCCESS)
            value = type == REG_SZ ? text : L"<not a string>";
        (void)set;
        ::RegCloseKey(key);
        return value;
    }
    static void SetRunKey(const wchar_t* text)
    {
        HKEY key = nullptr;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (text != nullptr)
            ::RegSetValueExW(key, L"Lanternquill", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>((wcslen(text) + 1) * sizeof(WCHAR)));
        else
            ::RegDeleteValueW(key, L"Lanternquill");
        ::RegCloseKey(key);
    }

    CReaderSettings m_saved;
};

// ---- View Style, Glowmark and Color Themes

TEST_F(OptionsPagesTest, TheChoicePagesShowTheValueGivenAndHandBackTheButtonChecked)
{
    struct Case
    {
        int given;
        int shownButton; // 0 when none is checked
        int clicked;     // 0 for none
        int result;
    };
    const Case viewStyles[] = {{0, IDC_VIEW_CLASSIC, 0, 0},
                               {1, IDC_VIEW_MODERN, 0, 1},
                               {0, IDC_VIEW_CLASSIC, IDC_VIEW_MODERN, 1},
                               {1, IDC_VIEW_MODERN, IDC_VIEW_CLASSIC, 0}};
    for (const Case& c : viewStyles) {
        CReaderSettingsDlg0 page;
        page.m_nViewStyle = c.given;
        CScriptedSheet sheet;
        bool bShown = false;
        EXPECT_EQ(sheet.RunPage(page,
                                [&] {
                                    bShown = sheet.Checked(c.shownButton);
                                    if (c.clicked)
                                        sheet.Click(c.clicked);
                                }),
                  IDOK);
        EXPECT_TRUE(bShown) << "view style " << c.given;
        EXPECT_EQ(page.m_nViewStyle, c.result) << "view style " << c.given << " clicked " << c.clicked;
    }

    const Case glowmarks[] = {{1, IDC_GLOWMARK_ENABLE, 0, 1},
                              {0, IDC_GLOWMARK_DISABLE, 0, 0},
                              {1, IDC_GLOWMARK_ENABLE, IDC_GLOWMARK_DISABLE, 0},
                              {0, IDC_GLOWMARK_DISABLE, IDC_GLOWMARK_ENABLE, 1}};
    for (const Case& c : glowmarks) {
        CReaderSettingsDlg4 page;
        page.m_bGlowmark = static_cast<BYTE>(c.given);
        CScriptedSheet sheet;
        bool bShown = false;
        EXPECT_EQ(sheet.RunPage(page,
                                [&] {
                                    bShown = sheet.Checked(c.shownButton);
                                    if (c.clicked)
                                        sheet.Click(c.clicked);
                                }),
                  IDOK);
        EXPECT_TRUE(bShown) << "glowmark " << c.given;
        EXPECT_EQ(page.m_bGlowmark, c.result) << "glowmark " << c.given << " clicked " << c.clicked;
    }

    const Case themes[] = {{0, IDC_OPTIONS_THEME_DEFAULT, 0, 0},
                           {2, IDC_OPTIONS_THEME_OFFICE2003, 0, 2},
                           {3, IDC_OPTIONS_THEME_XP, 0, 3},
                           {3, IDC_OPTIONS_THEME_XP, IDC_OPTIONS_THEME_DEFAULT, 0},
                           {0, IDC_OPTIONS_THEME_DEFAULT, IDC_OPTIONS_THEME_OFFICE2003, 2},
                           // A theme the page does not offer checks nothing and is kept unless one is chosen.
                           {7, 0, 0, 7},
                           {7, 0, IDC_OPTIONS_THEME_XP, 3}};
    for (const Case& c : themes) {
        CReaderSettingsDlg5 page;
        page.m_nTheme = c.given;
        CScriptedSheet sheet;
        bool bShown = false;
        EXPECT_EQ(sheet.RunPage(page,
                                [&] {
                                    const int buttons[] = {IDC_OPTIONS_THEME_DEFAULT, IDC_OPTIONS_THEME_XP,
                                                           IDC_OPTIONS_THEME_OFFICE2003};
                                    bShown = true;
                                    for (int nID : buttons)
                                        bShown = bShown && sheet.Checked(nID) == (nID == c.shownButton);
                                    if (c.clicked)
                                        sheet.Click(c.clicked);
                                }),
                  IDOK);
        EXPECT_TRUE(bShown) << "theme " << c.given;
        EXPECT_EQ(page.m_nTheme, c.result) << "theme " << c.given << " clicked " << c.clicked;
    }
}

// ---- Channel View

TEST_F(OptionsPagesTest, TheChannelViewPageOffersTheModesOnlyInTheModernStyle)
{
    struct Case
    {
        int viewStyle;
        int stored; // "View"; kNone when none
        int shown;  // the button checked at opening, 0 for none
        int clicked;
        int mode;    // the member after OK
        int written; // "View" after OK
    };
    const Case cases[] = {
        {1, kNone, IDC_OPTIONS_VIEW_FULL, 0, 2, 2},
        {1, 0, IDC_OPTIONS_VIEW_ONE_LINE, 0, 0, 0},
        {1, 1, IDC_OPTIONS_VIEW_TITLES, 0, 1, 1},
        {1, 3, IDC_OPTIONS_VIEW_TWO_LINES, 0, 3, 3},
        {1, 2, IDC_OPTIONS_VIEW_FULL, IDC_OPTIONS_VIEW_TITLES, 1, 1},
        {1, 0, IDC_OPTIONS_VIEW_ONE_LINE, IDC_OPTIONS_VIEW_TWO_LINES, 3, 3},
        // A stored mode without a button checks none and stays what it was.
        {1, 9, 0, 0, 9, 9},
        // The classic style lists full text only: the page shows that and writes nothing.
        {0, 1, IDC_OPTIONS_VIEW_FULL, 0, 3, 1},
    };
    for (const Case& c : cases) {
        theCompanionsHost.m_settings.nViewStyle = c.viewStyle;
        theCompanionsHost.m_settings.nView = 3;
        theCompanionsHost.WriteProfileString(L"", L"View", nullptr);
        if (c.stored != kNone)
            theCompanionsHost.WriteProfileInt(L"", L"View", c.stored);
        CReaderSettingsDlg2 page;
        CScriptedSheet sheet;
        bool bShown = false;
        bool bOthersEnabled = false;
        EXPECT_EQ(sheet.RunPage(page,
                                [&] {
                                    const int buttons[] = {IDC_OPTIONS_VIEW_FULL, IDC_OPTIONS_VIEW_ONE_LINE,
                                                           IDC_OPTIONS_VIEW_TWO_LINES, IDC_OPTIONS_VIEW_TITLES};
                                    bShown = true;
                                    for (int nID : buttons)
                                        bShown = bShown && sheet.Checked(nID) == (nID == c.shown);
                                    bOthersEnabled = sheet.Enabled(IDC_OPTIONS_VIEW_TITLES);
                                    if (c.clicked)
                                        sheet.Click(c.clicked);
                                }),
                  IDOK);
        const std::string name = "style " + std::to_string(c.viewStyle) + " view " + std::to_string(c.stored);
        EXPECT_TRUE(bShown) << name;
        EXPECT_EQ(bOthersEnabled, c.viewStyle == 1) << name;
        EXPECT_EQ(page.m_nViewMode, c.mode) << name;
        EXPECT_EQ(ProfileInt(L"View"), c.written) << name;
    }
}

// ---- Connection Settings

TEST_F(OptionsPagesTest, TheConnectionPageTakesNumbersInItsRangesAndRefusesOthers)
{
    std::vector<std::wstring> refusals;
    static std::vector<std::wstring>* s_refusals = nullptr;
    s_refusals = &refusals;
    const AFX_DDX_MESSAGE_PROC previous = AfxSetDataExchangeMessageProc([](LPCTSTR text, UINT, UINT) {
        s_refusals->push_back(text != nullptr ? text : L"");
        return IDOK;
    });
    struct Case
    {
        int field;
        const wchar_t* text;
        bool accepted;
    };
    const Case cases[] = {
        {IDC_OPTIONS_TIMEOUT, L"0", true},          {IDC_OPTIONS_TIMEOUT, L"300", true},
        {IDC_OPTIONS_TIMEOUT, L"301", false},       {IDC_OPTIONS_TIMEOUT, L"", false},
        {IDC_OPTIONS_MAX_CONNECTIONS, L"1", true},  {IDC_OPTIONS_MAX_CONNECTIONS, L"20", true},
        {IDC_OPTIONS_MAX_CONNECTIONS, L"0", false}, {IDC_OPTIONS_MAX_CONNECTIONS, L"21", false},
        {IDC_OPTIONS_PROXY_PORT, L"65535", true},   {IDC_OPTIONS_PROXY_PORT, L"65536", false},
        {IDC_OPTIONS_PROXY_PORT, L"", false},
    };
    for (const Case& c : cases) {
        refusals.clear();
        CReaderSettingsDlg3 page;
        page.m_nProxyMode = CReaderSettingsDlg3::PROXY_CUSTOM;
        CScriptedSheet sheet;
        bool bStayed = false;
        sheet.AddPage(&page);
        sheet.m_script = {
            [&] {
                if (sheet.GetActivePage() == nullptr)
                    return false;
                sheet.SetText(c.field, c.text);
                sheet.PressButton(PSBTN_OK);
                return true;
            },
            [&] {
                // Still open on the page: the value is put right and the sheet confirmed.
                bStayed = true;
                sheet.SetText(c.field, L"7");
                sheet.PressButton(PSBTN_OK);
                return true;
            },
        };
        EXPECT_EQ(sheet.DoModal(), IDOK) << lqtest::Narrow(c.text);
        const int value = c.field == IDC_OPTIONS_TIMEOUT           ? page.m_nTimeout
                          : c.field == IDC_OPTIONS_MAX_CONNECTIONS ? page.m_nMaxConnections
                                                                   : page.m_nProxyPort;
        if (c.accepted) {
            EXPECT_TRUE(refusals.empty()) << lqtest::Narrow(c.text);
            EXPECT_FALSE(bStayed) << lqtest::Narrow(c.text);
            EXPECT_EQ(value, _wtoi(c.text)) << lqtest::Narrow(c.text);
        } else {
            EXPECT_EQ(refusals.size(), 1u) << lqtest::Narrow(c.text);
            EXPECT_TRUE(bStayed) << lqtest::Narrow(c.text);
            EXPECT_EQ(value, 7) << lqtest::Narrow(c.text);
        }
    }
    AfxSetDataExchangeMessageProc(previous);
}

TEST_F(OptionsPagesTest, StoredConnectionValuesOutOfRangeAreHeldInsideIt)
{
    struct Case
    {
        int timeout, max, port;
        int wantTimeout, wantMax, wantPort;
    };
    const Case cases[] = {
        {40, 4, 8080, 40, 4, 8080},
        {-5, 0, -1, 0, 1, 0},
        {1000, 99, 70000, 300, 20, 65535},
    };
    for (const Case& c : cases) {
        CReaderSettings settings;
        settings.nTimeout = c.timeout;
        settings.nMaxConnections = c.max;
        settings.nProxyMode = CReaderSettingsDlg3::PROXY_CUSTOM;
        settings.nProxyPort = c.port;
        lstrcpynW(settings.szProxyServer, L"proxy.example", 100);
        CReaderSettingsDlg3 page;
        page.TakeRunningValues(settings);
        EXPECT_EQ(page.m_nTimeout, c.wantTimeout);
        EXPECT_EQ(page.m_nMaxConnections, c.wantMax);
        EXPECT_EQ(page.m_nProxyPort, c.wantPort);
        EXPECT_EQ(Text(page.m_strProxyServer), L"proxy.example");
        // The sheet can be confirmed without touching a field.
        CScriptedSheet sheet;
        EXPECT_EQ(sheet.RunPage(page, [] {}), IDOK);
        EXPECT_EQ(page.m_nTimeout, c.wantTimeout);
    }
}

TEST_F(OptionsPagesTest, TheProxyFieldsAreOpenOnlyForACustomProxy)
{
    struct Case
    {
        int given;
        int shown;
        int clicked;
        int mode;
        bool fieldsOpenAfter;
    };
    const Case cases[] = {
        {0, IDC_OPTIONS_PROXY_AUTO, 0, 0, false},
        {1, IDC_OPTIONS_PROXY_NONE, 0, 1, false},
        {3, IDC_OPTIONS_PROXY_CUSTOM, 0, 3, true},
        // There is no mode 2: it shows and counts as automatic.
        {2, IDC_OPTIONS_PROXY_AUTO, 0, 0, false},
        {0, IDC_OPTIONS_PROXY_AUTO, IDC_OPTIONS_PROXY_CUSTOM, 3, true},
        {3, IDC_OPTIONS_PROXY_CUSTOM, IDC_OPTIONS_PROXY_NONE, 1, false},
    };
    for (const Case& c : cases) {
        CReaderSettingsDlg3 page;
        page.m_nProxyMode = c.given;
        CScriptedSheet sheet;
        bool bShown = false;
        bool bOpenAtStart = false;
        bool bOpenAfter = false;
        EXPECT_EQ(sheet.RunPage(page,
                                [&] {
                                    bShown = sheet.Checked(c.shown);
                                    bOpenAtStart = sheet.Enabled(IDC_OPTIONS_PROXY_SERVER);
                                    if (c.clicked)
                                        sheet.Click(c.clicked);
                                    bOpenAfter = sheet.Enabled(IDC_OPTIONS_PROXY_SERVER) &&
                                                 sheet.Enabled(IDC_OPTIONS_PROXY_PORT) &&
                                                 sheet.Enabled(IDC_OPTIONS_PROXY_USER) &&
                                                 sheet.Enabled(IDC_OPTIONS_PROXY_PASSWORD);
                                }),
                  IDOK);
        EXPECT_TRUE(bShown) << c.given;
        EXPECT_EQ(bOpenAtStart, c.given == 3) << c.given;
        EXPECT_EQ(bOpenAfter, c.fieldsOpenAfter) << c.given;
        EXPECT_EQ(page.m_nProxyMode, c.mode) << c.given;
    }
}

// ---- General

TEST_F(OptionsPagesTest, TheGeneralPageShowsTheStoredCountryAndWritesOnlyAChangedPlace)
{
    UseFixtureTables();
    struct Case
    {
        const char* name;
        const wchar_t* country; // stored; null when none
        const wchar_t* location;
        int shownCountry;
        bool cityList;           // the city list shows (else the location edit)
        std::wstring shownPlace; // the chosen city or the edit's text
        std::function<void(CScriptedSheet&)> act;
        std::wstring writtenCountry;
        std::wstring writtenLocation;
    };
    const Case cases[] = {
        {"defaults, untouched", nullptr, nullptr, 0, false, L"32333", [](CScriptedSheet&) {}, L"<none>", L"<none>"},
        {"a stored city", L"GB", L"UKXX0077", 2, true, L"Leeds", [](CScriptedSheet&) {}, L"GB", L"UKXX0077"},
        {"a code no row has", L"ZZ", L"12345", 0, false, L"12345", [](CScriptedSheet&) {}, L"ZZ", L"12345"},
        {"a zip code typed", nullptr, nullptr, 0, false, L"32333",
         [](CScriptedSheet& s) { s.SetText(IDC_OPTIONS_LOCATION, L"90210"); }, L"US", L"90210"},
        {"another country's first city", nullptr, nullptr, 0, false, L"32333",
         [](CScriptedSheet& s) { s.Choose(IDC_OPTIONS_COUNTRY, 1); }, L"DE", L"GMXX0007"},
        {"back to the first country", L"DE", L"GMXX0049", 1, true, L"Hamburg",
         [](CScriptedSheet& s) {
             s.Choose(IDC_OPTIONS_COUNTRY, 0);
             s.SetText(IDC_OPTIONS_LOCATION, L"10001");
         },
         L"US", L"10001"},
    };
    for (const Case& c : cases) {
        theCompanionsHost.WriteProfileString(L"", L"Country", c.country);
        theCompanionsHost.WriteProfileString(L"", L"Location", c.location);
        CReaderSettingsDlg1 page;
        CScriptedSheet sheet;
        int shownCountry = -1;
        bool cityList = false;
        bool editShown = false;
        std::wstring place;
        EXPECT_EQ(sheet.RunPage(page,
                                [&] {
                                    shownCountry = sheet.Selected(IDC_OPTIONS_COUNTRY);
                                    cityList = sheet.Shown(IDC_OPTIONS_CITY);
                                    editShown = sheet.Shown(IDC_OPTIONS_LOCATION);
                                    WCHAR text[64] = L"";
                                    if (cityList)
                                        ::SendMessageW(sheet.Control(IDC_OPTIONS_CITY), CB_GETLBTEXT,
                                                       static_cast<WPARAM>(sheet.Selected(IDC_OPTIONS_CITY)),
                                                       reinterpret_cast<LPARAM>(text));
                                    else
                                        ::GetWindowTextW(sheet.Control(IDC_OPTIONS_LOCATION), text, 64);
                                    place = text;
                                    c.act(sheet);
                                }),
                  IDOK);
        EXPECT_EQ(shownCountry, c.shownCountry) << c.name;
        EXPECT_EQ(cityList, c.cityList) << c.name;
        EXPECT_EQ(editShown, !c.cityList) << c.name;
        EXPECT_EQ(place, c.shownPlace) << c.name;
        EXPECT_EQ(Profile(L"Country"), c.writtenCountry) << c.name;
        EXPECT_EQ(Profile(L"Location"), c.writtenLocation) << c.name;
        EXPECT_EQ(page.m_nChanged != 0, c.writtenCountry != (c.country ? c.country : L"<none>") ||
                                            c.writtenLocation != (c.location ? c.location : L"<none>"))
            << c.name;
        Clear();
        UseFixtureTables();
    }
}

TEST_F(OptionsPagesTest, TheGeneralPageWritesItsBoxesAndTheRunKeyOnlyWhenItChanged)
{
    UseFixtureTables();
    const std::wstring command = Text(CReaderSettingsDlg1::StartupCommand());
    WCHAR self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(command, L"\"" + std::wstring(self) + L"\" /background");

    struct Case
    {
        const char* name;
        const wchar_t* runKeyBefore;
        std::vector<int> clicks;
        std::wstring runKeyAfter;
    };
    const Case cases[] = {
        {"turned on", nullptr, {IDC_OPTIONS_RUN_AT_STARTUP}, command},
        {"turned off", L"\"C:\\old\\reader.exe\" /background", {IDC_OPTIONS_RUN_AT_STARTUP}, L"<none>"},
        // On and off again within one OK writes nothing: the value that was there stays as it was.
        {"on and off", nullptr, {IDC_OPTIONS_RUN_AT_STARTUP, IDC_OPTIONS_RUN_AT_STARTUP}, L"<none>"},
        {"off and on",
         L"\"C:\\old\\reader.exe\" /background",
         {IDC_OPTIONS_RUN_AT_STARTUP, IDC_OPTIONS_RUN_AT_STARTUP},
         L"\"C:\\old\\reader.exe\" /background"},
    };
    for (const Case& c : cases) {
        SetRunKey(c.runKeyBefore);
        CReaderSettingsDlg1 page;
        CScriptedSheet sheet;
        bool bShownOn = false;
        EXPECT_EQ(sheet.RunPage(page,
                                [&] {
                                    bShownOn = sheet.Checked(IDC_OPTIONS_RUN_AT_STARTUP);
                                    for (int nID : c.clicks)
                                        sheet.Click(nID);
                                }),
                  IDOK);
        EXPECT_EQ(bShownOn, c.runKeyBefore != nullptr) << c.name;
        EXPECT_EQ(RunKey(), c.runKeyAfter) << c.name;
    }

    // The boxes: check at start-up and hidden read channels always written, open-in-reader only when changed, the
    // left side handed to the sheet; the classic style offers open-in-reader, the modern one the left side.
    theCompanionsHost.m_settings.nViewStyle = 0;
    theCompanionsHost.m_settings.nLeftArrows = 1;
    theCompanionsHost.m_settings.nHideReadChannels = 1;
    theCompanionsHost.m_settings.nOpenInReader = 0;
    CReaderSettingsDlg1 page;
    CScriptedSheet sheet;
    bool bLeftEnabled = true;
    bool bOpenEnabled = false;
    EXPECT_EQ(sheet.RunPage(page,
                            [&] {
                                bLeftEnabled = sheet.Enabled(IDC_OPTIONS_LEFT_SIDE);
                                bOpenEnabled = sheet.Enabled(IDC_OPTIONS_OPEN_IN_READER);
                                sheet.Click(IDC_OPTIONS_CHECK_AT_STARTUP);
                                sheet.Click(IDC_OPTIONS_HIDE_READ);
                                sheet.Click(IDC_OPTIONS_OPEN_IN_READER);
                                sheet.Click(IDC_OPTIONS_SHOW_WEATHER);
                            }),
              IDOK);
    EXPECT_FALSE(bLeftEnabled);
    EXPECT_TRUE(bOpenEnabled);
    EXPECT_EQ(ProfileInt(L"Check at startup"), 0);
    EXPECT_EQ(ProfileInt(L"HideReadChannels"), 0);
    EXPECT_EQ(theCompanionsHost.m_settings.nHideReadChannels, 0);
    EXPECT_EQ(ProfileInt(L"OpenInReader"), 1);
    EXPECT_EQ(theCompanionsHost.m_settings.nOpenInReader, 1);
    EXPECT_EQ(ProfileInt(L"ShowWeather"), 0);
    EXPECT_TRUE(page.m_bShowWeatherChanged);
    EXPECT_EQ(page.m_nLeftSide, 1);
    EXPECT_EQ(Profile(L"Country"), L"<none>");
}

TEST_F(OptionsPagesTest, WithoutTheCountriesTableTheWeatherSettingsAreOffAndUntouched)
{
    theCompanionsHost.WriteProfileString(L"", L"Install_Dir",
                                         lqtest::SourcePath(L"companions\\no-such-folder").c_str());
    CReaderSettingsDlg1 page;
    CScriptedSheet sheet;
    bool bCountryEnabled = true, bWeatherEnabled = true, bEditShown = true, bCityShown = true;
    EXPECT_EQ(sheet.RunPage(page,
                            [&] {
                                bCountryEnabled = sheet.Enabled(IDC_OPTIONS_COUNTRY);
                                bWeatherEnabled = sheet.Enabled(IDC_OPTIONS_SHOW_WEATHER);
                                bEditShown = sheet.Shown(IDC_OPTIONS_LOCATION);
                                bCityShown = sheet.Shown(IDC_OPTIONS_CITY);
                            }),
              IDOK);
    EXPECT_FALSE(bCountryEnabled);
    EXPECT_FALSE(bWeatherEnabled);
    EXPECT_FALSE(bEditShown);
    EXPECT_FALSE(bCityShown);
    EXPECT_EQ(ProfileInt(L"ShowWeather"), kNone);
    EXPECT_EQ(Profile(L"Country"), L"<none>");
    EXPECT_EQ(ProfileInt(L"Check at startup"), 1) << "the rest of the page still works";
}

// ---- The tables that ship beside the program

TEST_F(OptionsPagesTest, EveryCountryOfTheShippedTablesIsOfferedWithItsCities)
{
    // Without "Install_Dir" the tables beside the program are read: the build copies the shipped ones there.
    CCsvTable countries;
    ASSERT_TRUE(countries.Open(CStringA(lqtest::SourcePath(L"..\\res\\tables\\countries.csv").c_str()),
                               CCsvTable::READ_AS_STRING));
    std::vector<std::wstring> names;
    for (int row = 0; row < countries.GetRowCount(0); ++row) {
        CStringA name;
        countries.GetString(0, row, name);
        names.push_back(Text(CString(name)));
    }
    ASSERT_GT(names.size(), 30u);
    names.pop_back(); // the end row, which stands for no country

    CReaderSettingsDlg1 page;
    CScriptedSheet sheet;
    std::vector<std::wstring> offered;
    std::vector<std::string> withoutCities;
    EXPECT_EQ(sheet.RunPage(page,
                            [&] {
                                offered = sheet.Entries(IDC_OPTIONS_COUNTRY);
                                for (size_t i = 1; i < offered.size(); ++i) {
                                    sheet.Choose(IDC_OPTIONS_COUNTRY, static_cast<int>(i));
                                    if (sheet.Entries(IDC_OPTIONS_CITY).empty() || !sheet.Shown(IDC_OPTIONS_CITY))
                                        withoutCities.push_back(lqtest::Narrow(offered[i]));
                                }
                                sheet.Choose(IDC_OPTIONS_COUNTRY, 0);
                            }),
              IDOK);
    EXPECT_EQ(offered, names);
    EXPECT_EQ(offered.front(), L"United States") << "the first country takes a zip code";
    EXPECT_TRUE(withoutCities.empty()) << withoutCities.front();
}

} // namespace
