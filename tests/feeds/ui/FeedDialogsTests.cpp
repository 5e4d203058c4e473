// The feed engine's dialogs: choosing channels to import and the update offer's answers.
#include "tests/feeds/FeedTestHost.h"
#include "feeds/UpdateCheck.h"
#include "feeds/ui/ImportDlg.h"
#include "feeds/ui/UpdateReadyDlg.h"
#include "framework/Afx.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using lqtest::Narrow;

namespace {

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

// ---- Message boxes shown by the dialogs on this thread: recorded and answered as soon as they come up.

class MessageBoxCatcher
{
public:
    MessageBoxCatcher()
    {
        s_texts.clear();
        m_hook = ::SetWindowsHookExW(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~MessageBoxCatcher() { ::UnhookWindowsHookEx(m_hook); }
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    static std::vector<std::wstring> s_texts;

private:
    static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam)
    {
        if (nCode == HCBT_ACTIVATE) {
            HWND hWnd = reinterpret_cast<HWND>(wParam);
            wchar_t cls[16] = {};
            ::GetClassNameW(hWnd, cls, 16);
            // A message box's text is its static control 0xFFFF.
            HWND hWndText = ::GetDlgItem(hWnd, 0xFFFF);
            if (lstrcmpW(cls, L"#32770") == 0 && hWndText != nullptr) {
                wchar_t text[512] = {};
                ::GetWindowTextW(hWndText, text, 512);
                s_texts.emplace_back(text);
                ::PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
            }
        }
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    }
    HHOOK m_hook;
};
std::vector<std::wstring> MessageBoxCatcher::s_texts;

bool Enabled(const CWnd& dlg, int nID)
{
    HWND hWnd = ::GetDlgItem(dlg.GetSafeHwnd(), nID);
    return hWnd != nullptr && ::IsWindowEnabled(hWnd);
}

// Clicks a button the way the user can: only when it is enabled.
bool Click(CWnd& dlg, int nID)
{
    if (!Enabled(dlg, nID))
        return false;
    ::SendMessageW(::GetDlgItem(dlg.GetSafeHwnd(), nID), BM_CLICK, 0, 0);
    return true;
}

// ---- The import dialog

const char kExportedList[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0">
	<channel>
		<title>Subscriptions</title>
		<item><title>Alpha</title><link>http://a.example/rss</link><category>News</category><type>External feed</type></item>
		<item><title>Beta</title><link>http://b.example/rss</link><category>Tech</category><type>External feed</type></item>
		<item><title>Gamma</title><link>https://c.example/atom</link><type>External feed</type></item>
		<item><title>Delta</title><link>http://d.example/rss</link><category>Sports</category><type>External feed</type></item>
	</channel>
</rss>
)";

const char kOpml[] = R"(<?xml version="1.0"?>
<opml version="1.1"><head><title>t</title></head><body>
  <outline text="Group">
    <outline text="One" xmlUrl="http://one.example/rss"/>
    <OUTLINE text="Upper" xmlUrl="http://upper.example/rss"/>
  </outline>
  <outline xmlUrl="http://untitled.example/rss"/>
</body></opml>
)";

// The rows of a list, joined by commas; with bCategory each as "title/category".
std::wstring Rows(const CListCtrl& list, bool bCategory = false)
{
    std::wstring rows;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (i > 0)
            rows += L",";
        rows += Text(list.GetItemText(i, 0));
        const CFeedItem* pItem = reinterpret_cast<const CFeedItem*>(list.GetItemData(i));
        if (pItem == nullptr || Text(pItem->m_strTitleText) != Text(list.GetItemText(i, 0)))
            rows += L"(wrong item data)";
        if (bCategory)
            rows += L"/" + Text(list.GetItemText(i, 1));
    }
    return rows;
}

// Both lists and the four buttons (1 enabled, 0 disabled: Copy, Copy All, Remove, Remove All).
std::wstring State(const CImportDlg& dlg)
{
    std::wstring state = Rows(dlg.m_lstImported) + L"|" + Rows(dlg.m_lstSelected) + L"|";
    for (int nID : {IDC_IMPORT_COPY, IDC_IMPORT_COPY_ALL, IDC_IMPORT_REMOVE, IDC_IMPORT_REMOVE_ALL})
        state += Enabled(dlg, nID) ? L"1" : L"0";
    return state;
}

std::wstring ChannelTitles(const CFeedChannel* pChannel)
{
    std::wstring titles;
    if (pChannel == nullptr)
        return L"(no channel)";
    for (POSITION pos = pChannel->m_items.GetHeadPosition(); pos != nullptr;) {
        if (!titles.empty())
            titles += L",";
        titles += Text(pChannel->m_items.GetNext(pos)->m_strTitleText);
    }
    return titles;
}

void Select(CListCtrl& list, std::initializer_list<int> rows)
{
    list.SetItemState(-1, 0, LVIS_SELECTED);
    for (int nRow : rows)
        list.SetItemState(nRow, LVIS_SELECTED, LVIS_SELECTED);
}

// The second click of a double click on a row the first click selected.
void DoubleClick(CListCtrl& list, int nRow)
{
    Select(list, {nRow});
    CRect rc;
    ASSERT_TRUE(list.GetItemRect(nRow, &rc, LVIR_LABEL));
    const LPARAM lParam = MAKELPARAM(rc.left + 4, (rc.top + rc.bottom) / 2);
    list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, lParam);
    list.SendMessage(WM_LBUTTONUP, 0, lParam);
}

class ImportDialogTest : public ::testing::Test
{
protected:
    std::wstring Write(const wchar_t* name, const std::string& bytes)
    {
        const std::wstring path = m_folder.File(name);
        EXPECT_TRUE(lqtest::WriteFileBytes(path, bytes));
        return path;
    }

    // A modeless dialog on an exported list, for the buttons.
    void Open(CImportDlg& dlg)
    {
        dlg.m_strPath = Write(L"list.nwx", kExportedList).c_str();
        ASSERT_TRUE(dlg.Create(IDD_IMPORT));
        ASSERT_EQ(State(dlg), L"Alpha,Beta,Gamma,Delta||0100");
    }

    lqtest::TempFolder m_folder;
};

TEST_F(ImportDialogTest, ButtonsMoveRowsBetweenTheListsAndFollowWhatCanBeMoved)
{
    CImportDlg dlg;
    Open(dlg);
    EXPECT_EQ(Rows(dlg.m_lstImported, true), L"Alpha/News,Beta/Tech,Gamma/,Delta/Sports");

    struct Step
    {
        const char* name;
        std::function<void()> action;
        const wchar_t* state;
    };
    const Step steps[] = {
        {"select in the imported list",
         [&] {
             Select(dlg.m_lstImported, {1, 3});
         },
         L"Alpha,Beta,Gamma,Delta||1100"},
        {"copy the selected rows", [&] { EXPECT_TRUE(Click(dlg, IDC_IMPORT_COPY)); }, L"Alpha,Gamma|Beta,Delta|0101"},
        {"select in the selected list", [&] { Select(dlg.m_lstSelected, {0}); }, L"Alpha,Gamma|Beta,Delta|0111"},
        {"remove it again", [&] { EXPECT_TRUE(Click(dlg, IDC_IMPORT_REMOVE)); }, L"Alpha,Gamma,Beta|Delta|0101"},
        {"copy all", [&] { EXPECT_TRUE(Click(dlg, IDC_IMPORT_COPY_ALL)); }, L"|Delta,Alpha,Gamma,Beta|0001"},
        {"remove all", [&] { EXPECT_TRUE(Click(dlg, IDC_IMPORT_REMOVE_ALL)); }, L"Delta,Alpha,Gamma,Beta||0100"},
        {"double click in the imported list", [&] { DoubleClick(dlg.m_lstImported, 1); },
         L"Delta,Gamma,Beta|Alpha|0101"},
        {"double click in the selected list", [&] { DoubleClick(dlg.m_lstSelected, 0); },
         L"Delta,Gamma,Beta,Alpha||0100"},
        {"copy with nothing selected is refused", [&] { EXPECT_FALSE(Click(dlg, IDC_IMPORT_COPY)); },
         L"Delta,Gamma,Beta,Alpha||0100"},
    };
    for (const Step& step : steps) {
        step.action();
        EXPECT_EQ(State(dlg), step.state) << step.name;
    }
    // Rows moved over keep their category.
    Select(dlg.m_lstImported, {0, 2});
    EXPECT_TRUE(Click(dlg, IDC_IMPORT_COPY));
    EXPECT_EQ(Rows(dlg.m_lstSelected, true), L"Delta/Sports,Beta/Tech");
    dlg.DestroyWindow();
}

TEST_F(ImportDialogTest, OkKeepsOnlyTheMovedEntriesInTheFilesOrderWithTheCategoryChoice)
{
    struct Case
    {
        const char* name;
        std::function<void(CImportDlg&)> choose;
        const wchar_t* kept;
        BOOL bKeepCategories;
    };
    const Case cases[] = {
        {"nothing moved", [](CImportDlg&) {}, L"", TRUE},
        {"moved in reverse order",
         [](CImportDlg& dlg) {
             Select(dlg.m_lstImported, {3});
             Click(dlg, IDC_IMPORT_COPY);
             Select(dlg.m_lstImported, {1});
             Click(dlg, IDC_IMPORT_COPY);
         },
         L"Beta,Delta", TRUE},
        {"all moved, one back, categories not kept",
         [](CImportDlg& dlg) {
             Click(dlg, IDC_IMPORT_COPY_ALL);
             Select(dlg.m_lstSelected, {0});
             Click(dlg, IDC_IMPORT_REMOVE);
             Click(dlg, IDC_IMPORT_KEEP_CATEGORIES);
         },
         L"Beta,Gamma,Delta", FALSE},
    };
    for (const Case& c : cases) {
        CImportDlg dlg;
        Open(dlg);
        c.choose(dlg);
        ASSERT_TRUE(Click(dlg, IDOK));
        EXPECT_EQ(ChannelTitles(dlg.m_pChannel), c.kept) << c.name;
        EXPECT_EQ(dlg.m_bKeepCategories, c.bKeepCategories) << c.name;
        EXPECT_EQ(dlg.m_lstImported.GetItemCount(), 0) << c.name << ": no row may point to a deleted entry";
        dlg.DestroyWindow();
    }
}

// A modal run that takes a snapshot once the dialog is up and then closes it.
class CSnapshotImportDlg : public CImportDlg
{
public:
    bool m_bRan = false;
    std::wstring m_state;
    std::wstring m_rows;
    int m_nColumns = 0;
    bool m_bCheckEnabled = false;
    int m_nCheck = -1;

    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        if (!m_bRan) {
            m_bRan = true;
            m_state = State(*this);
            m_rows = Rows(m_lstImported, false);
            m_nColumns = m_lstImported.GetHeaderCtrl() != nullptr
                             ? static_cast<int>(m_lstImported.GetHeaderCtrl()->SendMessage(HDM_GETITEMCOUNT))
                             : -1;
            m_bCheckEnabled = Enabled(*this, IDC_IMPORT_KEEP_CATEGORIES);
            m_nCheck = m_chkKeepCategories.GetCheck();
            EndDialog(IDCANCEL);
        }
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSnapshotImportDlg, CImportDlg)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

TEST_F(ImportDialogTest, OpeningFilesOfEveryKind)
{
    const std::string unsafeList = R"(<?xml version="1.0"?><rss version="2.0"><channel><title>x</title>
<item><title>Script</title><link>javascript:alert(1)</link><type>External feed</type></item>
<item><title>No address</title><type>External feed</type></item></channel></rss>)";
    struct Case
    {
        const char* name;
        const wchar_t* file;
        std::string bytes; // empty: no such file
        BOOL bOpml;
        INT_PTR result;
        const wchar_t* rows;
        int nColumns;
        bool bCheckEnabled;
        int nCheck;
        bool bMessage;
    };
    const Case cases[] = {
        {"exported list", L"a.nwx", kExportedList, FALSE, IDCANCEL, L"Alpha,Beta,Gamma,Delta", 2, true, BST_CHECKED,
         false},
        {"OPML: nested, untitled, upper case skipped", L"a.opml", kOpml, TRUE, IDCANCEL, L"One,", 1, false,
         BST_UNCHECKED, false},
        {"missing exported list", L"none.nwx", "", FALSE, 0, nullptr, 0, false, -1, false},
        {"malformed exported list", L"bad.nwx", "<rss><channel><item>", FALSE, 0, nullptr, 0, false, -1, false},
        {"exported list with nothing importable", L"unsafe.nwx", unsafeList, FALSE, IDCANCEL, L"", 2, true, BST_CHECKED,
         true},
        {"OPML without channels", L"empty.opml", "<opml><body><outline text=\"Group\"/></body></opml>", TRUE, IDCANCEL,
         L"", 1, false, BST_UNCHECKED, true},
        {"not OPML", L"feed.opml", kExportedList, TRUE, IDCANCEL, L"", 1, false, BST_UNCHECKED, false},
        {"malformed OPML", L"bad.opml", "<opml><body><outline", TRUE, IDCANCEL, L"", 1, false, BST_UNCHECKED, false},
    };
    for (const Case& c : cases) {
        MessageBoxCatcher catcher;
        CSnapshotImportDlg dlg;
        dlg.m_strPath = c.bytes.empty() ? m_folder.File(c.file).c_str() : Write(c.file, c.bytes).c_str();
        dlg.m_bOpml = c.bOpml;
        EXPECT_EQ(dlg.DoModal(), c.result) << c.name;
        EXPECT_EQ(dlg.m_bRan, c.rows != nullptr) << c.name;
        if (c.rows != nullptr) {
            EXPECT_EQ(dlg.m_rows, c.rows) << c.name;
            EXPECT_EQ(dlg.m_nColumns, c.nColumns) << c.name;
            EXPECT_EQ(dlg.m_bCheckEnabled, c.bCheckEnabled) << c.name;
            EXPECT_EQ(dlg.m_nCheck, c.nCheck) << c.name;
            EXPECT_EQ(dlg.m_bKeepCategories, !c.bOpml) << c.name;
            // Copy All only when there is something to copy; nothing else before a choice.
            EXPECT_EQ(dlg.m_state.substr(dlg.m_state.size() - 4), *c.rows ? L"0100" : L"0000") << c.name;
        }
        ASSERT_EQ(MessageBoxCatcher::s_texts.size(), c.bMessage ? 1u : 0u) << c.name;
        if (c.bMessage) {
            EXPECT_EQ(MessageBoxCatcher::s_texts[0], L"The file does not contain any imported channels.");
        }
    }
}

TEST_F(ImportDialogTest, AHugeOpmlFileIsListedAndMovedWhole)
{
    std::string opml = "<opml><body>";
    for (int i = 0; i < 10000; ++i)
        opml +=
            "<outline text=\"Feed " + std::to_string(i) + "\" xmlUrl=\"http://h.example/" + std::to_string(i) + "\"/>";
    opml += "<outline text=\"Hostile\" xmlUrl=\"javascript:alert(1)\"/></body></opml>";
    CImportDlg dlg;
    dlg.m_strPath = Write(L"huge.opml", opml).c_str();
    dlg.m_bOpml = TRUE;
    ASSERT_TRUE(dlg.Create(IDD_IMPORT));
    EXPECT_EQ(dlg.m_lstImported.GetItemCount(), 10000);
    EXPECT_TRUE(Click(dlg, IDC_IMPORT_COPY_ALL));
    EXPECT_EQ(dlg.m_lstSelected.GetItemCount(), 10000);
    Select(dlg.m_lstSelected, {0, 9999});
    EXPECT_TRUE(Click(dlg, IDC_IMPORT_REMOVE));
    ASSERT_TRUE(Click(dlg, IDOK));
    ASSERT_NE(dlg.m_pChannel, nullptr);
    EXPECT_EQ(dlg.m_pChannel->m_items.GetCount(), 9998);
    EXPECT_EQ(Text(dlg.m_pChannel->m_items.GetHead()->m_strTitleText), L"Feed 1");
    EXPECT_EQ(Text(dlg.m_pChannel->m_items.GetTail()->m_strTitleText), L"Feed 9998");
    dlg.DestroyWindow();
    // The caller may take the channel; the dialog then no longer owns it.
    std::unique_ptr<CFeedChannel> taken(dlg.DetachChannel());
    EXPECT_EQ(dlg.m_pChannel, nullptr);
    EXPECT_EQ(taken->m_items.GetCount(), 9998);
}

// ---- The update offer

std::mutex g_downloadMutex;
std::wstring g_downloadUrl;
std::atomic<bool> g_downloadRan{false};

INT_PTR RecordDownload(CUpdateDownload& download)
{
    {
        std::lock_guard<std::mutex> lock(g_downloadMutex);
        g_downloadUrl = download.strUrl.GetString();
    }
    g_downloadRan = true;
    return IDCANCEL;
}

// Answers the offer once it is up, as the user would.
class CAnsweringUpdateDlg : public CUpdateReadyDlg
{
public:
    std::function<void(CUpdateReadyDlg&)> m_answer;
    bool m_bShown = false;
    std::wstring m_shownText;
    int m_nShownLines = 0;

    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        if (!m_bShown) {
            m_bShown = true;
            CString text;
            m_edtDescription.GetWindowText(text);
            m_shownText = Text(text);
            m_nShownLines = m_edtDescription.GetLineCount();
            m_answer(*this);
        }
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CAnsweringUpdateDlg, CUpdateReadyDlg)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

class UpdateOfferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedRun = g_pfnRunUpdateDownload;
        g_pfnRunUpdateDownload = RecordDownload;
        g_downloadRan = false;
        g_downloadUrl.clear();
    }
    void TearDown() override { g_pfnRunUpdateDownload = m_savedRun; }
    CString WriteDescription(int nVersion)
    {
        const std::wstring path = m_folder.File(L"testver.xml");
        EXPECT_TRUE(lqtest::WriteFileBytes(path, "<update><version>" + std::to_string(nVersion) +
                                                     "</version><description>New\nthings</description>"
                                                     "<file>https://updates.example/lqsetup.exe</file><sha256>"
                                                     "87cd3a06616a314493eddeb1b458e30ed1ef5d4fe3a9db45cff659c68d6619c8"
                                                     "</sha256></update>"));
        return path.c_str();
    }

    lqtest::TempFolder m_folder;
    UpdateSandbox m_sandbox{m_folder};
    PFN_RUN_UPDATE_DOWNLOAD m_savedRun = nullptr;
};

TEST_F(UpdateOfferTest, EachAnswerDoesWhatItSays)
{
    struct Case
    {
        const char* name;
        std::function<void(CUpdateReadyDlg&)> answer;
        INT_PTR result;
        bool bDownload;
        UINT nDontInstall;
    };
    const Case cases[] = {
        {"Install Now...", [](CUpdateReadyDlg& dlg) { Click(dlg, IDC_UPDATE_INSTALL_NOW); }, IDC_UPDATE_INSTALL_NOW,
         true, 0},
        {"Don't Install", [](CUpdateReadyDlg& dlg) { Click(dlg, IDC_UPDATE_DONT_INSTALL); }, IDC_UPDATE_DONT_INSTALL,
         false, 17},
        {"Install Later", [](CUpdateReadyDlg& dlg) { Click(dlg, IDC_UPDATE_LATER); }, IDCANCEL, false, 0},
        {"closed", [](CUpdateReadyDlg& dlg) { dlg.SendMessage(WM_CLOSE); }, IDCANCEL, false, 0},
        {"Escape", [](CUpdateReadyDlg& dlg) { dlg.SendMessage(WM_COMMAND, IDCANCEL); }, IDCANCEL, false, 0},
    };
    for (const Case& c : cases) {
        theHost.WriteProfileString(L"", L"DontInstall", nullptr);
        g_downloadRan = false;
        CAnsweringUpdateDlg dlg;
        dlg.m_answer = c.answer;
        dlg.m_strPath = WriteDescription(17);
        EXPECT_EQ(dlg.OfferUpdate(), c.result) << c.name;
        EXPECT_TRUE(dlg.m_bShown) << c.name;
        EXPECT_EQ(dlg.m_shownText, L"New\r\nthings") << c.name;
        EXPECT_EQ(dlg.m_nShownLines, 2) << c.name;
        EXPECT_EQ(theHost.GetProfileInt(L"", L"DontInstall", 0), c.nDontInstall) << c.name;
        if (c.bDownload) {
            EXPECT_TRUE(lqtest::PumpUntil([] { return g_downloadRan.load(); })) << c.name;
            std::lock_guard<std::mutex> lock(g_downloadMutex);
            EXPECT_EQ(g_downloadUrl, L"https://updates.example/lqsetup.exe");
        } else {
            lqtest::PumpPending();
            EXPECT_FALSE(g_downloadRan.load()) << c.name;
        }
    }
}

TEST_F(UpdateOfferTest, ADeclinedVersionIsNotOfferedAgainButANewerOneIs)
{
    CAnsweringUpdateDlg decline;
    decline.m_answer = [](CUpdateReadyDlg& dlg) { Click(dlg, IDC_UPDATE_DONT_INSTALL); };
    decline.m_strPath = WriteDescription(17);
    ASSERT_EQ(decline.OfferUpdate(), IDC_UPDATE_DONT_INSTALL);

    struct Case
    {
        int nVersion;
        bool bOffered;
    };
    for (const Case& c : {Case{16, false}, Case{17, false}, Case{18, true}}) {
        CAnsweringUpdateDlg dlg;
        dlg.m_answer = [](CUpdateReadyDlg& d) { Click(d, IDC_UPDATE_LATER); };
        dlg.m_strPath = WriteDescription(c.nVersion);
        EXPECT_EQ(dlg.OfferUpdate(), c.bOffered ? IDCANCEL : 0) << c.nVersion;
        EXPECT_EQ(dlg.m_bShown, c.bOffered) << c.nVersion;
        EXPECT_EQ(dlg.m_nVersion, c.nVersion);
    }
    EXPECT_EQ(theHost.GetProfileInt(L"", L"DontInstall", 0), 17u);
}

} // namespace
