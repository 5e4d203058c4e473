// The first-run wizard: the greeting's title font, the pages in order with their buttons and header texts,
// and the choices each page takes, driven by messages from the wizard's own idle loop.
#include "companions/FirstRunWizard.h"
#include "framework/Afx.h"
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

// ---- The first wizard page

class CBackPage : public CPropertyPage
{
public:
    CBackPage() : CPropertyPage(IDD_WIZARD_INTRO) {}
    BOOL OnSetActive() override
    {
        GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
        return CPropertyPage::OnSetActive();
    }
};

// A script that a wizard runs from its idle loop, one step each time the loop goes idle; a step answers whether it
// is done. A script that never gets to its end closes the wizard with IDABORT.
class IdleScript
{
public:
    std::vector<std::function<bool()>> m_script;
    size_t m_step = 0;

protected:
    LRESULT Step(CPropertySheet& wizard)
    {
        if (++m_idles > 5000) {
            wizard.EndDialog(IDABORT);
            return FALSE;
        }
        if (m_step < m_script.size() && m_script[m_step]())
            ++m_step;
        return m_step < m_script.size();
    }
    // Whether the wizard offers the button: there, shown and enabled.
    static bool Offers(HWND hWizard, int nID)
    {
        HWND hWnd = ::GetDlgItem(hWizard, nID);
        return hWnd != nullptr && ::IsWindowVisible(hWnd) && ::IsWindowEnabled(hWnd);
    }

private:
    int m_idles = 0;
};

class CScriptedWizard : public CPropertySheet, public IdleScript
{
public:
    CScriptedWizard() : CPropertySheet(L"Wizard") { SetWizardMode(); }

    LRESULT OnKickIdle(WPARAM, LPARAM) { return Step(*this); }
    bool Button(int nID) const { return Offers(m_hWnd, nID); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CScriptedWizard, CPropertySheet)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

TEST(WizardIntro, GreetsWithABoldTitleAndOffersOnlyNextAlsoAfterBack)
{
    CWizardIntro intro;
    EXPECT_TRUE(intro.IsKindOf(RUNTIME_CLASS(CPropertyPage)));
    CBackPage second;
    CScriptedWizard wizard;
    wizard.AddPage(&intro);
    wizard.AddPage(&second);

    HFONT hFont = nullptr;
    LOGFONTW shown{};
    int nPixelsPerInch = 0;
    std::wstring title, text;
    int nVisits = 0;
    auto onlyNext = [&] {
        return wizard.GetActiveIndex() == 0 && wizard.Button(ID_WIZNEXT) && !wizard.Button(ID_WIZBACK) &&
               !wizard.Button(ID_WIZFINISH);
    };
    wizard.m_script = {
        [&] {
            if (!onlyNext())
                return false;
            ++nVisits;
            hFont = reinterpret_cast<HFONT>(intro.SendDlgItemMessage(IDC_WIZARD_INTRO_TITLE, WM_GETFONT));
            ::GetObjectW(hFont, sizeof(shown), &shown);
            HDC hDC = ::GetDC(nullptr);
            nPixelsPerInch = ::GetDeviceCaps(hDC, LOGPIXELSY);
            ::ReleaseDC(nullptr, hDC);
            CString s;
            intro.GetDlgItemText(IDC_WIZARD_INTRO_TITLE, s);
            title = Text(s);
            intro.GetDlgItemText(IDC_WIZARD_INTRO_TEXT, s);
            text = Text(s);
            wizard.PressButton(PSBTN_NEXT);
            return true;
        },
        [&] {
            if (wizard.GetActiveIndex() != 1 || !wizard.Button(ID_WIZBACK))
                return false;
            wizard.PressButton(PSBTN_BACK);
            return true;
        },
        [&] {
            if (!onlyNext())
                return false;
            ++nVisits;
            wizard.EndDialog(IDCANCEL);
            return true;
        },
    };
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_EQ(nVisits, 2);
    ASSERT_NE(hFont, nullptr);
    EXPECT_EQ(hFont, static_cast<HFONT>(intro.m_fontTitle.m_hObject));
    EXPECT_EQ(shown.lfHeight, -::MulDiv(18, nPixelsPerInch, 72));
    if (nPixelsPerInch == 96) {
        EXPECT_EQ(shown.lfHeight, -24);
    }
    EXPECT_EQ(shown.lfWeight, 700);
    EXPECT_EQ(shown.lfWidth, 0);
    EXPECT_EQ(std::wstring(shown.lfFaceName), L"Verdana Bold");
    EXPECT_EQ(title, L"Welcome");
    EXPECT_EQ(text, L"This wizard will help you configure this program. You can change your configuration options "
                    L"later from the settings menu. Press next to continue.");
}

TEST(WizardIntro, ThePageDeletesItsTitleFont)
{
    HGDIOBJ hFont = nullptr;
    {
        CWizardIntro intro;
        CScriptedWizard wizard;
        wizard.AddPage(&intro);
        wizard.m_script = {[&] {
            hFont = intro.m_fontTitle.m_hObject;
            wizard.EndDialog(IDCANCEL);
            return true;
        }};
        EXPECT_EQ(wizard.DoModal(), IDCANCEL);
        ASSERT_NE(hFont, nullptr);
        EXPECT_EQ(::GetObjectType(hFont), static_cast<DWORD>(OBJ_FONT)) << "kept while the page lives";
    }
    EXPECT_EQ(::GetObjectType(hFont), 0u);
}

// ---- The whole wizard

// The first-run wizard, stepped through by a script from its idle loop.
class CScriptedFirstRun : public CFirstRunWizard, public IdleScript
{
public:
    LRESULT OnKickIdle(WPARAM, LPARAM) { return Step(*this); }
    bool Button(int nID) const { return Offers(m_hWnd, nID); }
    // Next, Back and Finish as offered now.
    std::string Buttons() const
    {
        std::string s;
        s += Button(ID_WIZBACK) ? "B" : "-";
        s += Button(ID_WIZNEXT) ? "N" : "-";
        s += Button(ID_WIZFINISH) ? "F" : "-";
        return s;
    }
    // A control of the active page, used the way a click or a choice would reach it.
    HWND Control(int nID) const { return ::GetDlgItem(GetActivePage()->m_hWnd, nID); }
    void Click(int nID) const { ::SendMessageW(Control(nID), BM_CLICK, 0, 0); }
    void Choose(int nID, int index) const
    {
        ::SendMessageW(Control(nID), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageW(GetActivePage()->m_hWnd, WM_COMMAND, MAKEWPARAM(nID, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(Control(nID)));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CScriptedFirstRun, CFirstRunWizard)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

class FirstRunWizardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theCompanionsHost.SetRegistryKey(L"Lanternquill Tests");
        theCompanionsHost.WriteProfileString(L"", L"Install_Dir", lqtest::SourcePath(L"companions\\fixtures").c_str());
        theCompanionsHost.WriteProfileString(L"", L"Country", nullptr);
        theCompanionsHost.WriteProfileString(L"", L"Location", nullptr);
    }
    void TearDown() override
    {
        theCompanionsHost.WriteProfileString(L"", L"Country", nullptr);
        theCompanionsHost.WriteProfileString(L"", L"Location", nullptr);
    }
    static std::wstring Profile(LPCWSTR entry)
    {
        return Text(theCompanionsHost.GetProfileString(L"", entry, L"<none>"));
    }
    // A step that waits until the page is active and its buttons are the expected ones, then acts.
    static std::function<bool()> On(CScriptedFirstRun& wizard, int page, const char* buttons, std::function<void()> act)
    {
        return [&wizard, page, buttons, act] {
            if (wizard.GetActiveIndex() != page || wizard.Buttons() != buttons)
                return false;
            act();
            return true;
        };
    }
};

TEST_F(FirstRunWizardTest, PagesComeInOrderWithTheirButtonsAndTakeTheChoices)
{
    CScriptedFirstRun wizard;
    EXPECT_EQ(wizard.GetPageCount(), 4);
    EXPECT_NE(wizard.m_psh.dwFlags & PSH_WIZARD97, 0u);
    EXPECT_NE(wizard.m_intro.m_psp.dwFlags & PSP_HIDEHEADER, 0u);
    EXPECT_EQ(Text(wizard.m_viewStyle.m_strHeaderTitle), L"Reader View Selection");
    EXPECT_EQ(Text(wizard.m_country.m_strHeaderTitle), L"Country Selection");
    EXPECT_EQ(Text(wizard.m_statistics.m_strHeaderSubTitle),
              L"Please choose whether to have Glowmark enabled or disabled");
    std::wstring caption;
    std::vector<std::wstring> cities;
    bool bLocationHidden = false;
    bool bArrowsReachTheOtherChoice = false;
    wizard.m_script = {
        On(wizard, 0, "-N-",
           [&] {
               WCHAR text[64] = L"";
               ::GetWindowTextW(wizard.m_hWnd, text, 64);
               caption = text;
               wizard.PressButton(PSBTN_NEXT);
           }),
        // The view-style page offers no Back; classic is chosen until the user picks modern.
        On(wizard, 1, "-N-",
           [&] {
               EXPECT_EQ(::SendMessageW(wizard.Control(IDC_VIEW_CLASSIC), BM_GETCHECK, 0, 0), BST_CHECKED);
               // The arrow keys go from one choice to the other, never to a picture between them.
               const HWND hPage = wizard.GetActivePage()->m_hWnd;
               bArrowsReachTheOtherChoice =
                   ::GetNextDlgGroupItem(hPage, wizard.Control(IDC_VIEW_CLASSIC), FALSE) ==
                       wizard.Control(IDC_VIEW_MODERN) &&
                   ::GetNextDlgGroupItem(hPage, wizard.Control(IDC_VIEW_MODERN), FALSE) ==
                       wizard.Control(IDC_VIEW_CLASSIC);
               wizard.Click(IDC_VIEW_MODERN);
               wizard.PressButton(PSBTN_NEXT);
           }),
        On(wizard, 2, "BN-",
           [&] {
               wizard.Choose(IDC_WIZARD_COUNTRY, 2);
               const HWND hCity = wizard.Control(IDC_WIZARD_CITY);
               bLocationHidden = !::IsWindowVisible(wizard.Control(IDC_WIZARD_LOCATION)) && ::IsWindowVisible(hCity);
               const int n = static_cast<int>(::SendMessageW(hCity, CB_GETCOUNT, 0, 0));
               for (int i = 0; i < n; ++i) {
                   WCHAR city[64] = L"";
                   ::SendMessageW(hCity, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(city));
                   cities.push_back(city);
               }
               wizard.Choose(IDC_WIZARD_CITY, 1);
               wizard.PressButton(PSBTN_NEXT);
           }),
        On(wizard, 3, "B-F",
           [&] {
               EXPECT_EQ(::SendMessageW(wizard.Control(IDC_GLOWMARK_ENABLE), BM_GETCHECK, 0, 0), BST_CHECKED);
               wizard.Click(IDC_GLOWMARK_DISABLE);
               wizard.PressButton(PSBTN_FINISH);
           }),
    };
    EXPECT_EQ(wizard.DoModal(), ID_WIZFINISH);
    EXPECT_EQ(wizard.m_step, wizard.m_script.size());
    EXPECT_EQ(caption, L"Getting Started");
    EXPECT_TRUE(bLocationHidden);
    EXPECT_TRUE(bArrowsReachTheOtherChoice);
    EXPECT_EQ(cities, (std::vector<std::wstring>{L"London", L"Leeds"}));
    EXPECT_EQ(wizard.GetViewStyle(), 1);
    EXPECT_EQ(wizard.GetReportStat(), 0);
    EXPECT_EQ(Profile(L"Country"), L"GB");
    EXPECT_EQ(Profile(L"Location"), L"UKXX0077");
}

TEST_F(FirstRunWizardTest, TheCountryPageWritesOnlyWhatTheUserChanged)
{
    struct Case
    {
        const char* name;
        std::function<void(CScriptedFirstRun&)> act;
        std::wstring country;
        std::wstring location;
    };
    const Case cases[] = {
        {"untouched", [](CScriptedFirstRun&) {}, L"<none>", L"<none>"},
        {"a zip code for the first country",
         [](CScriptedFirstRun& w) { ::SetWindowTextW(w.Control(IDC_WIZARD_LOCATION), L"90210"); }, L"US", L"90210"},
        {"a country with its first city", [](CScriptedFirstRun& w) { w.Choose(IDC_WIZARD_COUNTRY, 1); }, L"DE",
         L"GMXX0007"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        CScriptedFirstRun wizard;
        wizard.m_script = {
            On(wizard, 0, "-N-", [&] { wizard.PressButton(PSBTN_NEXT); }),
            On(wizard, 1, "-N-", [&] { wizard.PressButton(PSBTN_NEXT); }),
            On(wizard, 2, "BN-",
               [&] {
                   // Three countries: the table's last row is not one.
                   EXPECT_EQ(::SendMessageW(wizard.Control(IDC_WIZARD_COUNTRY), CB_GETCOUNT, 0, 0), 3);
                   EXPECT_EQ(wizard.m_country.m_nChanged, 0);
                   c.act(wizard);
                   wizard.PressButton(PSBTN_NEXT);
               }),
            On(wizard, 3, "B-F", [&] { wizard.PressButton(PSBTN_FINISH); }),
        };
        EXPECT_EQ(wizard.DoModal(), ID_WIZFINISH);
        EXPECT_EQ(Profile(L"Country"), c.country);
        EXPECT_EQ(Profile(L"Location"), c.location);
        // Nothing else chosen: classic view and statistics on.
        EXPECT_EQ(wizard.GetViewStyle(), 0);
        EXPECT_EQ(wizard.GetReportStat(), 1);
    }
}

TEST_F(FirstRunWizardTest, ACancelledWizardStillHoldsTheChoicesMadeSoFar)
{
    CScriptedFirstRun wizard;
    wizard.m_script = {
        On(wizard, 0, "-N-", [&] { wizard.PressButton(PSBTN_NEXT); }),
        On(wizard, 1, "-N-",
           [&] {
               wizard.Click(IDC_VIEW_MODERN);
               wizard.PressButton(PSBTN_NEXT);
           }),
        On(wizard, 2, "BN-", [&] { wizard.PressButton(PSBTN_CANCEL); }),
    };
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_EQ(wizard.GetViewStyle(), 1);
    EXPECT_EQ(wizard.GetReportStat(), 1);
}

} // namespace
