// Dialogs: modal runs (also on a worker thread), modeless and in-memory templates, and data exchange with its
// validation messages.
#include "framework/Afx.h"
#include "framework/FrameworkResource.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT kExchangeDialog = 62000;
constexpr int kTextEdit = 62010;
constexpr int kNumberEdit = 62011;
constexpr int kCheck = 62012;
constexpr int kRadioFirst = 62013;
constexpr int kDropList = 62016;
constexpr int kList = 62017;
constexpr int kSlider = 62018;
constexpr int kDropDown = 62019;

// The validation messages shown, caught instead of message boxes.
std::vector<std::wstring> g_messages;

int AFXAPI CatchMessage(LPCTSTR lpszText, UINT, UINT)
{
    g_messages.emplace_back(lpszText);
    return IDOK;
}

class MessageCatcher
{
public:
    MessageCatcher() : m_pfnOld(AfxSetDataExchangeMessageProc(&CatchMessage)) { g_messages.clear(); }
    ~MessageCatcher() { AfxSetDataExchangeMessageProc(m_pfnOld); }
    MessageCatcher(const MessageCatcher&) = delete;
    MessageCatcher& operator=(const MessageCatcher&) = delete;

private:
    AFX_DDX_MESSAGE_PROC m_pfnOld;
};

class CExchangeDlg : public CDialog
{
public:
    explicit CExchangeDlg(CWnd* pParent = nullptr) : CDialog(kExchangeDialog, pParent) {}

    CString m_text;
    int m_number = 0;
    int m_check = 0;
    int m_radio = -1;
    int m_dropIndex = -1;
    int m_listIndex = -1;
    int m_slider = 0;
    CString m_dropText;
    int m_min = 0;
    int m_max = 100;
    int m_maxChars = 8;
    CEdit m_edit;
    int m_changes = 0;
    int m_kickIdles = 0;
    BOOL m_ownerEnabledDuringRun = TRUE;
    bool m_typeEnter = false;
    bool m_enterTyped = false;

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, kTextEdit, m_edit);
        DDX_Text(pDX, kTextEdit, m_text);
        DDV_MaxChars(pDX, m_text, m_maxChars);
        DDX_Text(pDX, kNumberEdit, m_number);
        DDV_MinMaxInt(pDX, m_number, m_min, m_max);
        DDX_Check(pDX, kCheck, m_check);
        DDX_Radio(pDX, kRadioFirst, m_radio);
        DDX_CBIndex(pDX, kDropList, m_dropIndex);
        DDX_LBIndex(pDX, kList, m_listIndex);
        DDX_Slider(pDX, kSlider, m_slider);
        DDX_CBString(pDX, kDropDown, m_dropText);
    }

    BOOL OnInitDialog() override
    {
        for (const wchar_t* item : {L"Alpha", L"Beta", L"Gamma"}) {
            SendDlgItemMessage(kDropList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            SendDlgItemMessage(kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            SendDlgItemMessage(kDropDown, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        SendDlgItemMessage(kSlider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 20));
        if (m_pParentWnd != nullptr)
            m_ownerEnabledDuringRun = m_pParentWnd->IsWindowEnabled();
        if (IsModal())
            SetTimer(1, 10000, nullptr); // a run the test could not end gives up instead of hanging
        return CDialog::OnInitDialog();
    }

    void OnTextChange() { ++m_changes; }

    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        ++m_kickIdles;
        // Typed once the dialog has the keyboard; the default button must answer through the loop's
        // pre-translation of the key.
        if (m_typeEnter && !m_enterTyped && ::GetForegroundWindow() == m_hWnd) {
            m_enterTyped = true;
            lqtest::TapKey(VK_RETURN);
        }
        return FALSE;
    }

    void OnTimer(UINT_PTR) { EndDialog(-2); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CExchangeDlg, CDialog)
ON_EN_CHANGE(kTextEdit, OnTextChange)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
ON_WM_TIMER()
END_MESSAGE_MAP()

std::wstring ItemText(const CWnd& dlg, int nID)
{
    CString text;
    dlg.GetDlgItemText(nID, text);
    return std::wstring(text.GetString());
}

// A top-level window to own the dialogs.
class COwnerWnd : public CWnd
{
public:
    BOOL Make()
    {
        return CreateEx(0, AfxRegisterWndClass(0), L"Owner", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr);
    }
};

// An in-memory dialog template: a caption, a font and a few controls of the predefined classes.
class TemplateBuilder
{
public:
    TemplateBuilder(const wchar_t* caption, short cx, short cy)
    {
        const DWORD style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        AppendDword(style);
        AppendDword(0);
        m_countOffset = m_bytes.size();
        AppendWord(0);
        for (short value : {short(0), short(0), cx, cy})
            AppendWord(static_cast<WORD>(value));
        AppendWord(0); // no menu
        AppendWord(0); // the dialog class
        AppendString(caption);
        AppendWord(8);
        AppendString(L"MS Shell Dlg");
    }

    // atom: 0x80 button, 0x81 edit, 0x82 static.
    void AddItem(WORD atom, const wchar_t* text, WORD id, DWORD style, short x, short y, short cx, short cy)
    {
        while (m_bytes.size() % 4 != 0)
            m_bytes.push_back(0);
        AppendDword(style | WS_CHILD | WS_VISIBLE);
        AppendDword(0);
        for (short value : {x, y, cx, cy})
            AppendWord(static_cast<WORD>(value));
        AppendWord(id);
        AppendWord(0xFFFF);
        AppendWord(atom);
        AppendString(text);
        AppendWord(0);
        WORD count;
        memcpy(&count, &m_bytes[m_countOffset], sizeof(WORD));
        ++count;
        memcpy(&m_bytes[m_countOffset], &count, sizeof(WORD));
    }

    // The template in DWORD-aligned memory, as the system requires.
    LPCDLGTEMPLATE Get()
    {
        m_aligned.assign((m_bytes.size() + 3) / 4, 0);
        memcpy(m_aligned.data(), m_bytes.data(), m_bytes.size());
        return reinterpret_cast<LPCDLGTEMPLATE>(m_aligned.data());
    }

private:
    void AppendWord(WORD value)
    {
        m_bytes.push_back(static_cast<BYTE>(value & 0xFF));
        m_bytes.push_back(static_cast<BYTE>(value >> 8));
    }
    void AppendDword(DWORD value)
    {
        AppendWord(LOWORD(value));
        AppendWord(HIWORD(value));
    }
    void AppendString(const wchar_t* text)
    {
        for (; *text != 0; ++text)
            AppendWord(static_cast<WORD>(*text));
        AppendWord(0);
    }

    std::vector<BYTE> m_bytes;
    std::vector<DWORD> m_aligned;
    size_t m_countOffset = 0;
};

// A dialog from an in-memory template that ends itself at its first idle time with a code of its own.
class CIdleEndingDlg : public CDialog
{
public:
    std::atomic<DWORD> m_windowThread{0};
    std::atomic<HWND> m_hWndSeen{nullptr};
    int m_nEndCode = 256;

    BOOL OnInitDialog() override
    {
        m_windowThread = ::GetWindowThreadProcessId(m_hWnd, nullptr);
        m_hWndSeen = m_hWnd;
        return CDialog::OnInitDialog();
    }
    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        EndDialog(m_nEndCode);
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CIdleEndingDlg, CDialog)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

class CEndsInInitDlg : public CDialog
{
public:
    CEndsInInitDlg() : CDialog(kExchangeDialog) {}
    HWND m_hWndSeen = nullptr;
    BOOL OnInitDialog() override
    {
        m_hWndSeen = m_hWnd;
        EndDialog(3);
        return TRUE;
    }
};

} // namespace

TEST(DataExchange, MembersAndControlsMakeARoundTripWithoutTheDialogSeeingItsOwnFilling)
{
    MessageCatcher catcher;
    CExchangeDlg dlg;
    dlg.m_text = L"abc";
    dlg.m_number = 42;
    dlg.m_check = 1;
    dlg.m_radio = 2;
    dlg.m_dropIndex = 1;
    dlg.m_listIndex = 2;
    dlg.m_slider = 7;
    dlg.m_dropText = L"Gam";
    ASSERT_TRUE(dlg.Create(kExchangeDialog));

    EXPECT_EQ(L"abc", ItemText(dlg, kTextEdit));
    EXPECT_EQ(L"42", ItemText(dlg, kNumberEdit));
    EXPECT_EQ(BST_CHECKED, dlg.IsDlgButtonChecked(kCheck));
    EXPECT_EQ(BST_UNCHECKED, dlg.IsDlgButtonChecked(kRadioFirst));
    EXPECT_EQ(BST_UNCHECKED, dlg.IsDlgButtonChecked(kRadioFirst + 1));
    EXPECT_EQ(BST_CHECKED, dlg.IsDlgButtonChecked(kRadioFirst + 2));
    EXPECT_EQ(1, dlg.SendDlgItemMessage(kDropList, CB_GETCURSEL));
    EXPECT_EQ(2, dlg.SendDlgItemMessage(kList, LB_GETCURSEL));
    EXPECT_EQ(7, dlg.SendDlgItemMessage(kSlider, TBM_GETPOS));
    EXPECT_EQ(L"Gamma", ItemText(dlg, kDropDown)); // the item the text begins
    EXPECT_EQ(8, dlg.SendDlgItemMessage(kTextEdit, EM_GETLIMITTEXT));
    EXPECT_EQ(0, dlg.m_changes);
    EXPECT_EQ(&dlg.m_edit, CWnd::FromHandlePermanent(::GetDlgItem(dlg.m_hWnd, kTextEdit)));

    // The user's changes go back into the members; their notifications still reach the dialog.
    dlg.SetDlgItemText(kTextEdit, L"xyz");
    EXPECT_EQ(1, dlg.m_changes);
    dlg.SetDlgItemText(kNumberEdit, L"-7");
    dlg.m_min = -10;
    dlg.CheckDlgButton(kCheck, BST_UNCHECKED);
    dlg.CheckRadioButton(kRadioFirst, kRadioFirst + 2, kRadioFirst);
    dlg.SendDlgItemMessage(kDropList, CB_SETCURSEL, 2);
    dlg.SendDlgItemMessage(kList, LB_SETCURSEL, 0);
    dlg.SendDlgItemMessage(kSlider, TBM_SETPOS, TRUE, 19);
    dlg.SetDlgItemText(kDropDown, L"Typed text");
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(L"xyz", std::wstring(dlg.m_text.GetString()));
    EXPECT_EQ(-7, dlg.m_number);
    EXPECT_EQ(0, dlg.m_check);
    EXPECT_EQ(0, dlg.m_radio);
    EXPECT_EQ(2, dlg.m_dropIndex);
    EXPECT_EQ(0, dlg.m_listIndex);
    EXPECT_EQ(19, dlg.m_slider);
    EXPECT_EQ(L"Typed text", std::wstring(dlg.m_dropText.GetString()));
    EXPECT_TRUE(g_messages.empty());

    // No radio button checked reads as -1.
    dlg.CheckDlgButton(kRadioFirst, BST_UNCHECKED);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(-1, dlg.m_radio);
    dlg.DestroyWindow();
}

TEST(DataExchange, NumbersAreReadWholeOrRefusedWithTheFrameworksMessageAndTheFocusBack)
{
    struct Case
    {
        const wchar_t* text;
        bool accepted;
        int value;
    };
    const Case cases[] = {
        {L"17", true, 17},         {L" 23 ", true, 23}, {L"+5", true, 5},   {L"-0", true, 0},
        {L"12abc", false, 0},      {L"", false, 0},     {L"4.5", false, 0}, {L"99999999999", false, 0},
        {L"2147483648", false, 0}, {L"-", false, 0},
    };
    MessageCatcher catcher;
    CExchangeDlg dlg;
    dlg.m_min = -100;
    ASSERT_TRUE(dlg.Create(kExchangeDialog));
    dlg.ShowWindow(SW_SHOW);
    for (const Case& c : cases) {
        g_messages.clear();
        dlg.m_number = -99;
        dlg.GetDlgItem(kTextEdit)->SetFocus();
        dlg.SetDlgItemText(kNumberEdit, c.text);
        const BOOL bOK = dlg.UpdateData(TRUE);
        EXPECT_EQ(c.accepted, bOK != FALSE) << lqtest::Narrow(c.text);
        if (c.accepted) {
            EXPECT_EQ(c.value, dlg.m_number) << lqtest::Narrow(c.text);
            EXPECT_TRUE(g_messages.empty());
            continue;
        }
        EXPECT_EQ(-99, dlg.m_number) << lqtest::Narrow(c.text);
        ASSERT_EQ(1u, g_messages.size()) << lqtest::Narrow(c.text);
        EXPECT_EQ(L"Please enter an integer.", g_messages[0]);
        // The refused field has the focus with its whole text selected.
        EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, kNumberEdit), ::GetFocus()) << lqtest::Narrow(c.text);
        DWORD start = 1, end = 0;
        dlg.SendDlgItemMessage(kNumberEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                               reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start);
        EXPECT_EQ(static_cast<DWORD>(lstrlenW(c.text)), end);
    }
    dlg.DestroyWindow();
}

TEST(DataExchange, ParseIntegerTakesAWholeNumberInItsRangeAndLeavesTheValueAloneOtherwise)
{
    struct Case
    {
        const wchar_t* text;
        long long minValue;
        long long maxValue;
        bool accepted;
        long long value;
    };
    const Case cases[] = {
        {L"17", 0, 255, true, 17},
        {L" 42 ", 0, 255, true, 42},
        {L"255", 0, 255, true, 255},
        {L"256", 0, 255, false, 0},
        {L"-5", INT_MIN, INT_MAX, true, -5},
        {L"-0", 0, 10, false, 0},
        {L"300", INT_MIN, INT_MAX, true, 300},
        {L"99999999999", INT_MIN, INT_MAX, false, 0},
        {L"9223372036854775807", LLONG_MIN, LLONG_MAX, true, LLONG_MAX},
        {L"99999999999999999999", LLONG_MIN, LLONG_MAX, false, 0},
        {L"12a", INT_MIN, INT_MAX, false, 0},
        {L"abc", INT_MIN, INT_MAX, false, 0},
        {L"", INT_MIN, INT_MAX, false, 0},
        {L"  ", INT_MIN, INT_MAX, false, 0},
        {nullptr, INT_MIN, INT_MAX, false, 0},
    };
    for (const Case& c : cases) {
        const std::string name = c.text != nullptr ? lqtest::Narrow(c.text) : "(null)";
        long long value = -77;
        EXPECT_EQ(c.accepted, AfxParseInteger(c.text, c.minValue, c.maxValue, &value) != FALSE) << name;
        EXPECT_EQ(c.accepted ? c.value : -77, value) << name;
    }
}

TEST(DataExchange, ValidationRefusesOutOfRangeNumbersAndLongTexts)
{
    MessageCatcher catcher;
    CExchangeDlg dlg;
    ASSERT_TRUE(dlg.Create(kExchangeDialog));

    dlg.SetDlgItemText(kNumberEdit, L"150");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    ASSERT_EQ(1u, g_messages.size());
    EXPECT_EQ(L"Please enter an integer between 0 and 100.", g_messages[0]);

    // The limits themselves are allowed.
    g_messages.clear();
    dlg.SetDlgItemText(kNumberEdit, L"100");
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(100, dlg.m_number);

    // The edit's limit does not bind text put there by the program; validation still refuses it.
    dlg.SetDlgItemText(kTextEdit, L"ninechars");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    ASSERT_EQ(1u, g_messages.size());
    EXPECT_EQ(L"Please enter no more than 8 characters.", g_messages[0]);
    dlg.SetDlgItemText(kTextEdit, L"eightchr");
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(L"eightchr", std::wstring(dlg.m_text.GetString()));
    dlg.DestroyWindow();
}

TEST(DataExchange, WithoutAReplacementTheRefusalIsAMessageBox)
{
    CExchangeDlg dlg;
    ASSERT_TRUE(dlg.Create(kExchangeDialog));
    dlg.SetDlgItemText(kNumberEdit, L"not a number");
    lqtest::ExpectModal expect;
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_EQ(1, expect.Closed());
    dlg.DestroyWindow();
}

TEST(DialogModal, ATemplateThatDoesNotExistAnswersMinusOneAndLeavesTheOwnerAlone)
{
    COwnerWnd owner;
    ASSERT_TRUE(owner.Make());
    CDialog dlg(62999, &owner);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_TRUE(owner.IsWindowEnabled());

    CDialog byName(L"NoSuchDialog", &owner);
    EXPECT_EQ(-1, byName.DoModal());
    owner.DestroyWindow();
}

TEST(DialogModal, TheDefaultButtonTypedIntoTheRunSavesTheDataAndEnablesTheOwnerAgain)
{
    MessageCatcher catcher;
    COwnerWnd owner;
    ASSERT_TRUE(owner.Make());
    owner.ShowWindow(SW_SHOW);
    CExchangeDlg dlg(&owner);
    dlg.m_text = L"kept";
    dlg.m_number = 5;
    dlg.m_typeEnter = true;
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(dlg.m_enterTyped);
    EXPECT_FALSE(dlg.m_ownerEnabledDuringRun);
    EXPECT_GT(dlg.m_kickIdles, 0);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(L"kept", std::wstring(dlg.m_text.GetString()));
    EXPECT_TRUE(g_messages.empty());
    owner.DestroyWindow();
}

TEST(DialogModal, EndDialogInsideOnInitDialogEndsTheRunBeforeItsLoop)
{
    CEndsInInitDlg dlg;
    EXPECT_EQ(3, dlg.DoModal());
    EXPECT_NE(nullptr, dlg.m_hWndSeen);
    EXPECT_FALSE(::IsWindow(dlg.m_hWndSeen));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(DialogModal, AnInMemoryTemplateRunsModallyOnAWorkerThread)
{
    TemplateBuilder builder(L"Worker", 160, 80);
    builder.AddItem(0x81, L"typed", 100, WS_BORDER | ES_AUTOHSCROLL, 10, 10, 100, 14);
    builder.AddItem(0x80, L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 55, 50, 14);
    LPCDLGTEMPLATE lpTemplate = builder.Get();

    CIdleEndingDlg dlg;
    ASSERT_TRUE(dlg.InitModalIndirect(lpTemplate));
    std::atomic<bool> done{false};
    INT_PTR result = 0;
    DWORD workerId = 0;
    std::thread worker([&] {
        workerId = ::GetCurrentThreadId();
        result = dlg.DoModal();
        done = true;
    });
    // This thread keeps answering in case the worker's dialog takes this thread's window as its owner.
    EXPECT_TRUE(lqtest::PumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(256, result);
    EXPECT_EQ(workerId, dlg.m_windowThread.load());
    EXPECT_FALSE(::IsWindow(dlg.m_hWndSeen.load()));
}

TEST(DialogModeless, CreateIndirectMakesTheControlsAndTheObjectSeesItsInitialisation)
{
    TemplateBuilder builder(L"Modeless", 160, 80);
    builder.AddItem(0x82, L"Label", 101, SS_LEFT, 10, 10, 100, 10);
    builder.AddItem(0x81, L"initial", 102, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 10, 25, 100, 14);
    builder.AddItem(0x80, L"Go", 103, BS_PUSHBUTTON | WS_TABSTOP, 10, 45, 50, 14);

    CIdleEndingDlg dlg;
    ASSERT_TRUE(dlg.CreateIndirect(builder.Get()));
    EXPECT_EQ(dlg.m_hWnd, dlg.m_hWndSeen.load());
    EXPECT_EQ(L"initial", ItemText(dlg, 102));
    EXPECT_FALSE(dlg.IsModal());

    // Dialog units map to pixels through the dialog's font.
    CRect rect(0, 0, 4, 8);
    dlg.MapDialogRect(&rect);
    EXPECT_GT(rect.Width(), 0);
    EXPECT_GT(rect.Height(), rect.Width());

    dlg.SetDefID(103);
    EXPECT_EQ(103u, dlg.GetDefID());
    dlg.ShowWindow(SW_SHOW);
    dlg.GotoDlgCtrl(dlg.GetDlgItem(102));
    EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, 102), ::GetFocus());
    dlg.NextDlgCtrl();
    EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, 103), ::GetFocus());

    HWND hWnd = dlg.m_hWnd;
    dlg.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hWnd));
}

namespace {

// Types a file name into the system's file dialog of this thread once it has the keyboard, then Enter.
std::wstring g_typedName;
bool g_typed = false;

void CALLBACK TypeIntoFileDialog(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    HWND hWndForeground = ::GetForegroundWindow();
    wchar_t className[16] = {};
    ::GetClassNameW(hWndForeground, className, 16);
    if (g_typed || ::GetWindowThreadProcessId(hWndForeground, nullptr) != ::GetCurrentThreadId() ||
        lstrcmpW(className, L"#32770") != 0)
        return;
    g_typed = true;
    ::KillTimer(nullptr, idEvent);
    lqtest::TypeText(g_typedName);
    lqtest::TapKey(VK_RETURN);
}

} // namespace

TEST(FileDialog, ASaveDialogAnswersThePathTypedWithItsDefaultExtension)
{
    lqtest::TempFolder folder;
    CFileDialog dlg(FALSE, L"opml", L"", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    L"OPML files (*.opml)|*.opml|All files (*.*)|*.*||");
    // The filter reaches the system as null-separated pairs ended by an empty string.
    const wchar_t* pFilter = dlg.m_ofn.lpstrFilter;
    std::vector<std::wstring> parts;
    for (const wchar_t* p = pFilter; *p != 0; p += lstrlenW(p) + 1)
        parts.emplace_back(p);
    EXPECT_EQ((std::vector<std::wstring>{L"OPML files (*.opml)", L"*.opml", L"All files (*.*)", L"*.*"}), parts);

    g_typedName = folder.Path() + L"\\channels";
    g_typed = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &TypeIntoFileDialog);
    const INT_PTR result = dlg.DoModal();
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_typed);
    ASSERT_EQ(IDOK, result);
    EXPECT_EQ(folder.Path() + L"\\channels.opml", std::wstring(dlg.GetPathName().GetString()));
    EXPECT_EQ(L"channels.opml", std::wstring(dlg.GetFileName().GetString()));
    EXPECT_EQ(L"opml", std::wstring(dlg.GetFileExt().GetString()));
    EXPECT_EQ(L"channels", std::wstring(dlg.GetFileTitle().GetString()));
}
