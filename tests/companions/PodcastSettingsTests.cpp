// The podcast settings as a user meets them: "Select Feeds" offers the subscribed feeds checked by their value under
// "Podcasting\Items" and writes only after a change, skipping feeds gone meanwhile; the "Podcasting" page sets the
// mode and the folder and reports when the manager must take its list again.
#include "companions/CompanionsTestHost.h"
#include "companions/PodcastProp.h"
#include "companions/SelectFeedsDlg.h"
#include "res/resource.h"
#include "tests/support/Input.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <map>
#include <utility>
#include <string>
#include <vector>

using lqtest::ModalDriver;
using lqtest::PumpUntil;

namespace {

const wchar_t kItems[] = L"Podcasting\\Items";

class CTestFeeds : public CFeedSelectionSource
{
public:
    std::vector<CSelectableFeed> GetFeeds() override { return m_feeds; }
    bool HasFeed(const CString& strFile) override
    {
        for (const CSelectableFeed& feed : m_feeds) {
            if (feed.strFile == strFile)
                return true;
        }
        return false;
    }
    std::vector<CSelectableFeed> m_feeds;
};

// The values under "Podcasting\Items" of the given names; "<none>" for a missing one.
std::map<std::wstring, std::wstring> Chosen()
{
    std::map<std::wstring, std::wstring> values;
    for (const wchar_t* name : {L"news", L"talk", L"music", L"gone"})
        values[name] = theCompanionsHost.GetProfileString(kItems, name, L"<none>").GetString();
    return values;
}

std::vector<bool> Checks(HWND hList)
{
    std::vector<bool> checks;
    const int count = static_cast<int>(::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        checks.push_back(ListView_GetCheckState(hList, i) != FALSE);
    return checks;
}

std::vector<std::wstring> Titles(HWND hList)
{
    std::vector<std::wstring> titles;
    const int count = static_cast<int>(::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        WCHAR text[64] = L"";
        ListView_GetItemText(hList, i, 0, text, 64);
        titles.push_back(text);
    }
    return titles;
}

// Runs the work from the message loop once the handler that asks for it has returned: a modal dialog is activated
// before it shows, and stays hidden while the activation is being handled.
std::function<void()> g_later;

void CALLBACK RunLater(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    std::function<void()> work;
    work.swap(g_later);
    if (work)
        work();
}

void Later(std::function<void()> work)
{
    g_later = std::move(work);
    ::SetTimer(nullptr, 0, 10, RunLater);
}

// Clicks the row's check box with the mouse and waits until its check changed.
bool ClickCheckBox(HWND hList, int nRow)
{
    RECT bounds{};
    if (!ListView_GetItemRect(hList, nRow, &bounds, LVIR_BOUNDS))
        return false;
    LVHITTESTINFO hit{};
    hit.pt = {bounds.left + 2, (bounds.top + bounds.bottom) / 2};
    while (hit.pt.x < bounds.left + 24) {
        hit.flags = 0;
        ListView_SubItemHitTest(hList, &hit);
        if ((hit.flags & LVHT_ONITEMSTATEICON) && hit.iItem == nRow)
            break;
        ++hit.pt.x;
    }
    if (!(hit.flags & LVHT_ONITEMSTATEICON))
        return false;
    const bool before = ListView_GetCheckState(hList, nRow) != FALSE;
    HWND hDlg = ::GetAncestor(hList, GA_ROOT);
    if (!PumpUntil([&] { return ::IsWindowVisible(hDlg) != FALSE; }, 5000))
        return false;
    ::SetForegroundWindow(hDlg);
    ::UpdateWindow(hDlg);
    lqtest::SendClick(lqtest::ClientToScreenPoint(hList, hit.pt.x, hit.pt.y));
    return PumpUntil([&] { return (ListView_GetCheckState(hList, nRow) != FALSE) != before; }, 5000);
}

class PodcastSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theCompanionsHost.SetRegistryKey(L"Lanternquill Tests");
        m_savedMode = theCompanionsHost.m_settings.nPodcastMode;
        m_savedSource = CPodcastProp::s_pFeedSource;
        theCompanionsHost.WriteProfileString(kItems, nullptr, nullptr);
        theCompanionsHost.WriteProfileString(L"Podcasting", L"Auto", nullptr);
        theCompanionsHost.WriteProfileString(L"Podcasting", L"Path", nullptr);
        m_source.m_feeds = {{L"World News", L"news"}, {L"Talk Show", L"talk"}, {L"Music Hour", L"music"}};
        theCompanionsHost.WriteProfileString(kItems, L"talk", L"yes");
        // A feed unsubscribed long ago keeps its value: the dialog never offers it, so never touches it.
        theCompanionsHost.WriteProfileString(kItems, L"gone", L"yes");
    }
    void TearDown() override
    {
        theCompanionsHost.m_settings.nPodcastMode = m_savedMode;
        CPodcastProp::s_pFeedSource = m_savedSource;
        theCompanionsHost.WriteProfileString(kItems, nullptr, nullptr);
        theCompanionsHost.WriteProfileString(L"Podcasting", L"Auto", nullptr);
        theCompanionsHost.WriteProfileString(L"Podcasting", L"Path", nullptr);
    }

    CTestFeeds m_source;
    int m_savedMode = 0;
    CFeedSelectionSource* m_savedSource = nullptr;
};

TEST_F(PodcastSettingsTest, SelectFeedsShowsTheChoiceAndWritesOnlyWhatTheUserChanged)
{
    std::map<std::wstring, std::wstring> before = Chosen();

    // Confirmed untouched: nothing is written, and no change is reported.
    {
        std::vector<std::wstring> titles;
        std::vector<bool> checks;
        std::wstring column;
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
            if (caption != L"Select Feeds" || n != 0)
                return;
            HWND hList = ::GetDlgItem(hDlg, IDC_SELECT_FEEDS_LIST);
            titles = Titles(hList);
            checks = Checks(hList);
            WCHAR text[32] = L"";
            LVCOLUMNW col{};
            col.mask = LVCF_TEXT;
            col.pszText = text;
            col.cchTextMax = 32;
            ListView_GetColumn(hList, 0, &col);
            column = text;
            ModalDriver::Click(hDlg, IDOK);
        });
        theCompanionsHost.WriteProfileString(kItems, L"talk", L"chosen earlier");
        before = Chosen();
        CSelectFeedsDlg dlg(m_source);
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(titles, (std::vector<std::wstring>{L"World News", L"Talk Show", L"Music Hour"}));
        EXPECT_EQ(checks, (std::vector<bool>{false, true, false})) << "any text under the feed's name checks it";
        EXPECT_EQ(column, L"Feed Title");
        EXPECT_EQ(dlg.m_nChanged, 0);
        EXPECT_EQ(Chosen(), before) << "the value written earlier stays as it was";
    }

    // One box clicked, then "SelectAll"; a feed unsubscribed while the dialog is open is skipped.
    {
        bool clicked = false;
        std::vector<bool> afterClick;
        std::vector<bool> afterAll;
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
            if (caption != L"Select Feeds" || n != 0)
                return;
            Later([&, hDlg] {
                HWND hList = ::GetDlgItem(hDlg, IDC_SELECT_FEEDS_LIST);
                clicked = ClickCheckBox(hList, 0);
                afterClick = Checks(hList);
                ::SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_SELECT_FEEDS_ALL, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDC_SELECT_FEEDS_ALL)));
                afterAll = Checks(hList);
                m_source.m_feeds.pop_back();
                ModalDriver::Click(hDlg, IDOK);
            });
        });
        CSelectFeedsDlg dlg(m_source);
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_TRUE(clicked);
        EXPECT_EQ(afterClick, (std::vector<bool>{true, true, false}));
        EXPECT_EQ(afterAll, (std::vector<bool>{true, true, true}));
        EXPECT_EQ(dlg.m_nChanged, 1);
        std::map<std::wstring, std::wstring> expected = before;
        expected[L"news"] = L"yes";
        expected[L"talk"] = L"yes";
        EXPECT_EQ(Chosen(), expected) << "the removed feed gets no value";
    }

    // "Deselect All" removes the values of the feeds it offers, and only theirs.
    {
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
            if (caption != L"Select Feeds" || n != 0)
                return;
            ModalDriver::Click(hDlg, IDC_SELECT_FEEDS_NONE);
            ModalDriver::Click(hDlg, IDOK);
        });
        CSelectFeedsDlg dlg(m_source);
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_nChanged, 1);
        std::map<std::wstring, std::wstring> expected = before;
        expected[L"news"] = L"<none>";
        expected[L"talk"] = L"<none>";
        EXPECT_EQ(Chosen(), expected);
    }

    // Cancel writes nothing, whatever was clicked.
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
        if (caption != L"Select Feeds" || n != 0)
            return;
        ModalDriver::Click(hDlg, IDC_SELECT_FEEDS_ALL);
        ModalDriver::Click(hDlg, IDCANCEL);
    });
    const std::map<std::wstring, std::wstring> unchanged = Chosen();
    CSelectFeedsDlg dlg(m_source);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(Chosen(), unchanged);
}

TEST_F(PodcastSettingsTest, ThePageWritesTheModeAndFolderAndReportsWhenTheManagerMustListAgain)
{
    WCHAR documents[MAX_PATH] = L"";
    ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, TRUE));
    CPodcastProp::s_pFeedSource = &m_source;
    enum Action
    {
        KEEP,
        MANUAL,
        ALL,
        SELECTED,
        SELECT_FEEDS_UNCHANGED,
        SELECT_FEEDS_CHANGED,
    };
    struct Case
    {
        const char* name;
        int nModeBefore;
        std::vector<Action> actions;
        const wchar_t* autoAfter; // "Podcasting"\"Auto"
        int nModeAfter;
        BOOL bChanged;
    };
    const Case cases[] = {
        {"all to manual", 1, {MANUAL}, L"0", 0, TRUE},
        {"manual kept", 0, {KEEP}, L"<none>", 0, FALSE},
        {"manual to selected", 0, {SELECTED}, L"2", 2, TRUE},
        {"selected, the choice changed", 2, {SELECT_FEEDS_CHANGED}, L"<none>", 2, TRUE},
        {"selected, the choice confirmed as it was", 2, {SELECT_FEEDS_UNCHANGED}, L"<none>", 2, FALSE},
        {"to selected and back to all", 1, {SELECTED, ALL}, L"<none>", 1, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        theCompanionsHost.WriteProfileString(L"Podcasting", L"Auto", nullptr);
        theCompanionsHost.WriteProfileString(L"Podcasting", L"Path", nullptr);
        theCompanionsHost.m_settings.nPodcastMode = c.nModeBefore;
        std::wstring folderShown;
        // "Select feeds" enabled, and whether it should be, at the start and after each mode button.
        std::vector<std::pair<bool, bool>> selectEnabled;
        HWND hSheet = nullptr;
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
            if (caption == L"Select Feeds") {
                if (c.actions.back() == SELECT_FEEDS_CHANGED)
                    ModalDriver::Click(hDlg, IDC_SELECT_FEEDS_NONE);
                ModalDriver::Click(hDlg, IDOK);
                // Taken by the sheet's loop once the dialog has ended.
                ::PostMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
                return;
            }
            if (caption != L"Podcasting Settings" || n != 0)
                return;
            hSheet = hDlg;
            HWND hPage = reinterpret_cast<HWND>(::SendMessageW(hDlg, PSM_GETCURRENTPAGEHWND, 0, 0));
            folderShown = ModalDriver::Text(hPage, IDC_PODCAST_FOLDER);
            HWND hSelect = ::GetDlgItem(hPage, IDC_PODCAST_SELECT_FEEDS);
            int mode = c.nModeBefore;
            selectEnabled.push_back({::IsWindowEnabled(hSelect) != FALSE, mode == 2});
            for (Action action : c.actions) {
                const int ids[] = {0, IDC_PODCAST_MANUAL, IDC_PODCAST_AUTO_ALL, IDC_PODCAST_AUTO_SELECTED};
                if (action >= MANUAL && action <= SELECTED) {
                    ::SendMessageW(::GetDlgItem(hPage, ids[action]), BM_CLICK, 0, 0);
                    mode = action - MANUAL;
                    selectEnabled.push_back({::IsWindowEnabled(hSelect) != FALSE, mode == 2});
                }
            }
            // The nested dialog runs outside this hook; it confirms the sheet as it ends.
            if (c.actions.back() == SELECT_FEEDS_CHANGED || c.actions.back() == SELECT_FEEDS_UNCHANGED)
                ::PostMessageW(hSelect, BM_CLICK, 0, 0);
            else
                ::PostMessageW(hDlg, PSM_PRESSBUTTON, PSBTN_OK, 0);
        });
        CPropertySheet sheet(L"Podcasting Settings");
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        CPodcastProp page;
        sheet.AddPage(&page);
        ASSERT_EQ(sheet.DoModal(), IDOK);
        EXPECT_EQ(folderShown, documents) << "an empty folder setting shows the documents folder";
        EXPECT_EQ(std::wstring(theCompanionsHost.GetProfileString(L"Podcasting", L"Path", L"<none>")), documents);
        const int stored = static_cast<int>(theCompanionsHost.GetProfileInt(L"Podcasting", L"Auto", -1));
        EXPECT_EQ(stored == -1 ? std::wstring(L"<none>") : std::to_wstring(stored), c.autoAfter);
        EXPECT_EQ(theCompanionsHost.m_settings.nPodcastMode, c.nModeAfter);
        EXPECT_EQ(page.m_bChanged, c.bChanged);
        for (size_t i = 0; i < selectEnabled.size(); ++i)
            EXPECT_EQ(selectEnabled[i].first, selectEnabled[i].second) << "\"Select feeds\" only in mode 2, step " << i;
    }

    // Without anyone to offer the feeds the button stays disabled even for the selected feeds.
    CPodcastProp::s_pFeedSource = nullptr;
    theCompanionsHost.m_settings.nPodcastMode = 2;
    bool enabled = true;
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
        if (caption != L"Podcasting Settings" || n != 0)
            return;
        HWND hPage = reinterpret_cast<HWND>(::SendMessageW(hDlg, PSM_GETCURRENTPAGEHWND, 0, 0));
        enabled = ::IsWindowEnabled(::GetDlgItem(hPage, IDC_PODCAST_SELECT_FEEDS)) != FALSE;
        ::PostMessageW(hDlg, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    });
    CPropertySheet sheet(L"Podcasting Settings");
    CPodcastProp page;
    sheet.AddPage(&page);
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_FALSE(enabled);
}

} // namespace
