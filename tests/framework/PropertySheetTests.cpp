// Property sheets: a wizard moved through its pages by messages and by typed keys, page activation and
// validation, and a tabbed sheet applying only the pages it made.
#include "framework/Afx.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT kFirstPage = 62100;
constexpr UINT kNumberPage = 62101;
constexpr UINT kLastPage = 62102;
constexpr int kNumberEdit = 62110;
constexpr UINT kCaption = 62200;
constexpr UINT kHeaderTitle = 62201;
constexpr UINT kHeaderSubTitle = 62202;
constexpr int kApplyButton = 0x3021;

std::vector<std::wstring> g_messages;

int AFXAPI CatchMessage(LPCTSTR lpszText, UINT, UINT)
{
    g_messages.emplace_back(lpszText);
    return IDOK;
}

class CLoggedPage : public CPropertyPage
{
public:
    CLoggedPage(UINT nIDTemplate, std::vector<std::string>* pLog, const char* name, DWORD dwButtons)
        : CPropertyPage(nIDTemplate, 0, kHeaderTitle, kHeaderSubTitle), m_pLog(pLog), m_name(name),
          m_dwButtons(dwButtons)
    {
    }

    BOOL OnSetActive() override
    {
        Log("setactive");
        if (CPropertySheet* pSheet = GetSheet(); pSheet != nullptr && pSheet->IsWizard())
            pSheet->SetWizardButtons(m_dwButtons);
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override
    {
        const BOOL bOK = CPropertyPage::OnKillActive();
        Log(bOK ? "killactive" : "killactive refused");
        return bOK;
    }
    BOOL OnApply() override
    {
        Log("apply");
        return CPropertyPage::OnApply();
    }
    void OnReset() override { Log("reset"); }
    LRESULT OnWizardNext() override
    {
        Log("next");
        return CPropertyPage::OnWizardNext();
    }
    LRESULT OnWizardBack() override
    {
        Log("back");
        return CPropertyPage::OnWizardBack();
    }
    BOOL OnWizardFinish() override
    {
        Log("finish");
        return CPropertyPage::OnWizardFinish();
    }

protected:
    void Log(const char* what) { m_pLog->push_back(m_name + " " + what); }

    std::vector<std::string>* m_pLog;
    std::string m_name;
    DWORD m_dwButtons;
};

class CNumberPage : public CLoggedPage
{
public:
    CNumberPage(std::vector<std::string>* pLog, DWORD dwButtons) : CLoggedPage(kNumberPage, pLog, "number", dwButtons)
    {
    }
    int m_value = 3;
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, kNumberEdit, m_value);
        DDV_MinMaxInt(pDX, m_value, 1, 9);
    }
};

// A sheet that runs one step of a script each time its modal loop goes idle; a step answers whether it is done.
class CScriptedSheet : public CPropertySheet
{
public:
    using CPropertySheet::CPropertySheet;

    std::vector<std::function<bool()>> m_script;
    size_t m_step = 0;
    bool m_sawCreate = false;
    int m_idles = 0;

    int OnCreate(LPCREATESTRUCT lpcs)
    {
        m_sawCreate = true;
        return CPropertySheet::OnCreate(lpcs);
    }
    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        // A script that cannot go on gives up rather than leaving the sheet open.
        if (++m_idles > 2000) {
            EndDialog(IDABORT);
            return FALSE;
        }
        if (m_step < m_script.size() && m_script[m_step]())
            ++m_step;
        // Asks for more idle time while the script is waiting on a state that arrives without messages.
        return m_step < m_script.size();
    }
    bool ButtonEnabled(int nID) const
    {
        HWND hWndButton = ::GetDlgItem(m_hWnd, nID);
        return hWndButton != nullptr && ::IsWindowVisible(hWndButton) && ::IsWindowEnabled(hWndButton);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CScriptedSheet, CPropertySheet)
ON_WM_CREATE()
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

struct Bitmaps
{
    HBITMAP watermark = ::CreateBitmap(164, 314, 1, 32, nullptr);
    HBITMAP header = ::CreateBitmap(49, 49, 1, 32, nullptr);
    ~Bitmaps()
    {
        ::DeleteObject(watermark);
        ::DeleteObject(header);
    }
};

} // namespace

TEST(PropertySheetWizard, MessagesMoveTheWizardThroughItsPagesWithValidationAndReloading)
{
    g_messages.clear();
    AFX_DDX_MESSAGE_PROC pfnOld = AfxSetDataExchangeMessageProc(&CatchMessage);
    std::vector<std::string> log;
    CLoggedPage first(kFirstPage, &log, "first", PSWIZB_NEXT);
    CNumberPage number(&log, PSWIZB_BACK | PSWIZB_NEXT);
    CLoggedPage last(kLastPage, &log, "last", PSWIZB_BACK | PSWIZB_FINISH);
    Bitmaps bitmaps;
    CScriptedSheet sheet(kCaption, nullptr, 0, bitmaps.watermark, nullptr, bitmaps.header);
    sheet.AddPage(&first);
    sheet.AddPage(&number);
    sheet.AddPage(&last);
    EXPECT_EQ(3, sheet.GetPageCount());
    EXPECT_EQ(&number, sheet.GetPage(1));
    EXPECT_TRUE(sheet.IsWizard());
    const DWORD dwWanted = PSH_WIZARD97 | PSH_WATERMARK | PSH_USEHBMWATERMARK | PSH_HEADER | PSH_USEHBMHEADER;
    EXPECT_EQ(dwWanted, sheet.m_psh.dwFlags & dwWanted);
    EXPECT_TRUE(first.m_psp.dwFlags & PSP_USEHEADERTITLE);

    bool backWasDisabled = false;
    bool finishWasEnabled = false;
    std::wstring reloaded;
    sheet.m_script = {
        [&] {
            if (sheet.GetActivePage() != &first)
                return false;
            backWasDisabled = !sheet.ButtonEnabled(ID_WIZBACK);
            sheet.PressButton(PSBTN_NEXT);
            return true;
        },
        [&] {
            if (sheet.GetActiveIndex() != 1)
                return false;
            number.SetDlgItemText(kNumberEdit, L"42");
            sheet.PressButton(PSBTN_NEXT);
            return true;
        },
        [&] {
            // Refused: the page stays, and says why.
            if (sheet.GetActiveIndex() != 1 || g_messages.empty())
                return false;
            number.SetDlgItemText(kNumberEdit, L"7");
            sheet.PressButton(PSBTN_NEXT);
            return true;
        },
        [&] {
            if (sheet.GetActiveIndex() != 2 || !sheet.ButtonEnabled(ID_WIZFINISH))
                return false;
            finishWasEnabled = true;
            number.m_value = 5;
            sheet.PressButton(PSBTN_BACK);
            return true;
        },
        [&] {
            if (sheet.GetActiveIndex() != 1)
                return false;
            CString text;
            number.GetDlgItemText(kNumberEdit, text);
            reloaded = text.GetString();
            sheet.PressButton(PSBTN_NEXT);
            return true;
        },
        [&] {
            if (sheet.GetActiveIndex() != 2)
                return false;
            sheet.PressButton(PSBTN_FINISH);
            return true;
        },
    };

    EXPECT_EQ(ID_WIZFINISH, sheet.DoModal());
    AfxSetDataExchangeMessageProc(pfnOld);
    EXPECT_EQ(sheet.m_script.size(), sheet.m_step);
    EXPECT_TRUE(sheet.m_sawCreate);
    EXPECT_TRUE(backWasDisabled);
    EXPECT_TRUE(finishWasEnabled);
    EXPECT_EQ(L"5", reloaded);
    EXPECT_EQ(5, number.m_value);
    ASSERT_EQ(1u, g_messages.size());
    EXPECT_EQ(L"Please enter an integer between 1 and 9.", g_messages[0]);
    // Leaving a page asks it (kill-active) around the button's own notice in an order that is the system's:
    // compare without the accepted kill-active entries.
    const std::vector<std::string> wanted = {
        "first setactive",           "first next",  "number setactive", "number next",
        "number killactive refused", "number next", "last setactive",   "last back",
        "number setactive",          "number next", "last setactive",   "last finish",
    };
    std::vector<std::string> seen;
    for (const std::string& entry : log) {
        if (entry.size() < 11 || entry.compare(entry.size() - 11, 11, " killactive") != 0)
            seen.push_back(entry);
    }
    EXPECT_EQ(wanted, seen);
    EXPECT_EQ(nullptr, sheet.m_hWnd);
    EXPECT_EQ(nullptr, first.m_hWnd);
}

TEST(PropertySheetWizard, TypedEnterKeysWalkTheWizardToItsFinish)
{
    std::vector<std::string> log;
    CLoggedPage first(kFirstPage, &log, "first", PSWIZB_NEXT);
    CNumberPage number(&log, PSWIZB_BACK | PSWIZB_NEXT);
    CLoggedPage last(kLastPage, &log, "last", PSWIZB_BACK | PSWIZB_FINISH);
    CScriptedSheet sheet(L"Typed");
    sheet.SetWizardMode();
    sheet.AddPage(&first);
    sheet.AddPage(&number);
    sheet.AddPage(&last);
    // Each step types Enter once on its page, when the sheet has the keyboard and the buttons are set.
    auto typeOn = [&sheet](int nIndex, int nDefault) {
        return [&sheet, nIndex, nDefault] {
            if (sheet.GetActiveIndex() != nIndex || ::GetForegroundWindow() != sheet.m_hWnd ||
                !sheet.ButtonEnabled(nDefault))
                return false;
            // The system's wizard may keep the hidden Next button as the default on the last page: Enter goes
            // to the focused button there.
            if (nDefault == ID_WIZFINISH)
                ::SetFocus(::GetDlgItem(sheet.m_hWnd, ID_WIZFINISH));
            lqtest::TapKey(VK_RETURN);
            return true;
        };
    };
    sheet.m_script = {typeOn(0, ID_WIZNEXT), typeOn(1, ID_WIZNEXT), typeOn(2, ID_WIZFINISH)};
    EXPECT_EQ(ID_WIZFINISH, sheet.DoModal());
    EXPECT_EQ(sheet.m_script.size(), sheet.m_step);
    EXPECT_EQ(3, number.m_value);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ("last finish", log.back()) << ::testing::PrintToString(log);
}

TEST(PropertySheetTabs, OkAppliesOnlyThePagesThatWereMadeAndCancelResetsThem)
{
    struct Case
    {
        int nButton;
        INT_PTR nResult;
        const char* what;
    };
    const Case cases[] = {{PSBTN_OK, IDOK, "apply"}, {PSBTN_CANCEL, IDCANCEL, "reset"}};
    for (const Case& c : cases) {
        std::vector<std::string> log;
        CLoggedPage first(kFirstPage, &log, "first", 0);
        CNumberPage number(&log, 0);
        CLoggedPage last(kLastPage, &log, "last", 0);
        CScriptedSheet sheet(L"Tabs", nullptr, 2);
        sheet.AddPage(&first);
        sheet.AddPage(&number);
        sheet.AddPage(&last);
        EXPECT_EQ(2, sheet.GetActiveIndex());
        bool applyEnabled = false;
        sheet.m_script = {
            [&] {
                if (sheet.GetActivePage() != &last)
                    return false;
                EXPECT_NE(nullptr, sheet.GetTabControl());
                sheet.SetActivePage(0);
                first.SetModified(TRUE);
                return true;
            },
            [&] {
                if (sheet.GetActiveIndex() != 0)
                    return false;
                applyEnabled = sheet.ButtonEnabled(kApplyButton);
                sheet.PressButton(c.nButton);
                return true;
            },
        };
        EXPECT_EQ(c.nResult, sheet.DoModal()) << c.what;
        EXPECT_TRUE(applyEnabled) << c.what;
        const auto count = [&log](const std::string& entry) { return std::count(log.begin(), log.end(), entry); };
        EXPECT_EQ(1, count(std::string("first ") + c.what)) << c.what;
        EXPECT_EQ(1, count(std::string("last ") + c.what)) << c.what;
        EXPECT_EQ(0, count(std::string("number ") + c.what)) << c.what;
    }
}

TEST(PropertySheetTabs, AModelessSheetIsItsObjectFromCreationAndMakesPagesAsTheyAreShown)
{
    std::vector<std::string> log;
    CLoggedPage first(kFirstPage, &log, "first", 0);
    CNumberPage number(&log, 0);
    CScriptedSheet sheet(kCaption);
    sheet.AddPage(&first);
    sheet.AddPage(&number);
    ASSERT_TRUE(sheet.Create());
    EXPECT_TRUE(sheet.m_sawCreate);
    EXPECT_EQ(&sheet, CWnd::FromHandlePermanent(sheet.m_hWnd));
    EXPECT_EQ(&first, sheet.GetActivePage());
    EXPECT_EQ(nullptr, number.m_hWnd);
    EXPECT_EQ(&sheet, first.GetSheet());

    ASSERT_TRUE(sheet.SetActivePage(&number));
    EXPECT_EQ(1, sheet.GetActiveIndex());
    ASSERT_NE(nullptr, number.m_hWnd);
    CString text;
    number.GetDlgItemText(kNumberEdit, text);
    EXPECT_EQ(L"3", std::wstring(text.GetString()));
    EXPECT_FALSE(sheet.SetActivePage(5));

    sheet.DestroyWindow();
    EXPECT_EQ(nullptr, sheet.m_hWnd);
    EXPECT_EQ(nullptr, number.m_hWnd);
}
