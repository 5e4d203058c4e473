// Shortcut texts: accelerator entries spelt with key names (the layout's, else the English table), the choice
// among a command's accelerators, the frame's table through the command bars, and access-key upper-casing.
#include "toolkit/commandbars/XTPShortcuts.h"

#include "framework/frame/FrameWnd.h"
#include "framework/win/WinApp.h"
#include "tests/toolkit/commandbars/CommandBarsTestIds.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/commandbars/XTPCommandBars.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int WINAPI NoNames(LONG, LPWSTR, int)
{
    return 0;
}

std::vector<LONG> g_asked;

int WINAPI ShoutingNames(LONG lParam, LPWSTR lpString, int cchSize)
{
    g_asked.push_back(lParam);
    return lstrlenW(lstrcpynW(lpString, L"PAGE DOWN", cchSize));
}

// The English table for the duration of a test.
class EnglishNames
{
public:
    explicit EnglishNames(XTPKeyNameProvider pfn = NoNames) { SetKeyNameProvider(pfn); }
    ~EnglishNames() { SetKeyNameProvider(nullptr); }
    EnglishNames(const EnglishNames&) = delete;
    EnglishNames& operator=(const EnglishNames&) = delete;
};

ACCEL Accel(BYTE fVirt, WORD key, WORD cmd = 1)
{
    return ACCEL{fVirt, key, cmd};
}

TEST(Shortcuts, AcceleratorTextsFromTheEnglishTable)
{
    EnglishNames names;
    const struct
    {
        ACCEL accel;
        const wchar_t* pszText;
    } cases[] = {
        {Accel(FVIRTKEY | FCONTROL | FSHIFT, 'S'), L"Ctrl+Shift+S"},
        {Accel(FCONTROL | FSHIFT, 's'), L"Ctrl+Shift+s"},
        {Accel(FVIRTKEY | FALT | FSHIFT | FCONTROL, VK_F5), L"Ctrl+Shift+Alt+F5"},
        {Accel(FCONTROL, 0), L"Ctrl"},
        {Accel(0, 0), L""},
        {Accel(FVIRTKEY, VK_NEXT), L"Page Down"},
        {Accel(FVIRTKEY, VK_NUMPAD3), L"Num 3"},
        {Accel(FVIRTKEY, VK_F12), L"F12"},
        {Accel(FVIRTKEY, VK_DELETE), L"Del"},
        {Accel(FVIRTKEY | FALT, '7'), L"Alt+7"},
        {Accel(FVIRTKEY, 0xE5), L""}, // no name anywhere
        {Accel(FCONTROL, 27), L"Ctrl+"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AccelToText(c.accel), CString(c.pszText)) << lqtest::Narrow(c.pszText);
}

TEST(Shortcuts, LayoutNamesAreCapitalisedAndNavigationKeysAskedAsExtended)
{
    EnglishNames names(ShoutingNames);
    g_asked.clear();
    CString str;
    GetKeyName(str, VK_NEXT, FALSE);
    GetKeyName(str, 'A', TRUE);
    EXPECT_EQ(str, CString(L"Page down+Page down"));
    ASSERT_EQ(g_asked.size(), 2u);
    EXPECT_NE(g_asked[0] & 0x1000000, 0);
    EXPECT_EQ(g_asked[1] & 0x1000000, 0);
    EXPECT_EQ(g_asked[1] & 0xFFFF, 1);
}

TEST(Shortcuts, TheLayoutNamesTheKeysOfThisMachine)
{
    // Whatever the layout calls them, the text has the order and separators of an accelerator.
    const CString str = AccelToText(Accel(FVIRTKEY | FCONTROL, 'O'));
    ASSERT_GT(str.GetLength(), 2);
    EXPECT_EQ(str.Right(2), CString(L"+O"));
}

TEST(Shortcuts, ACommandTakesItsBestAccelerator)
{
    EnglishNames names;
    const ACCEL entries[] = {
        Accel(FVIRTKEY | FSHIFT, VK_F5, 10),       Accel(FVIRTKEY, VK_F5, 10),
        Accel(FVIRTKEY | FALT, 'N', 11),           Accel(FVIRTKEY | FCONTROL, 'N', 11),
        Accel(FVIRTKEY | FCONTROL, VK_INSERT, 12), Accel(FVIRTKEY | FCONTROL, 'C', 12),
        Accel(FVIRTKEY | FALT, 'A', 13),           Accel(FVIRTKEY | FSHIFT, 'A', 13),
    };
    HACCEL hAccel = ::CreateAcceleratorTableW(const_cast<ACCEL*>(entries), 8);
    ASSERT_NE(hAccel, nullptr);
    CString str;
    EXPECT_TRUE(FindCommandShortcut(10, str, hAccel));
    EXPECT_EQ(str, CString(L"F5"));
    EXPECT_TRUE(FindCommandShortcut(11, str, hAccel));
    EXPECT_EQ(str, CString(L"Ctrl+N"));
    str = L"Ctrl+Ins";
    EXPECT_TRUE(FindCommandShortcut(12, str, hAccel));
    EXPECT_EQ(str, CString(L"Ctrl+Ins")); // one of its shortcuts already: kept
    str = L"Ctrl+X";
    EXPECT_TRUE(FindCommandShortcut(12, str, hAccel));
    EXPECT_EQ(str, CString(L"Ctrl+Ins")); // equal ranks: the first entry
    EXPECT_TRUE(FindCommandShortcut(13, str, hAccel));
    EXPECT_EQ(str, CString(L"Alt+A"));
    EXPECT_FALSE(FindCommandShortcut(14, str, hAccel));
    EXPECT_TRUE(str.IsEmpty());
    str = L"kept";
    EXPECT_FALSE(FindCommandShortcut(10, str, static_cast<HACCEL>(nullptr)));
    EXPECT_EQ(str, CString(L"kept"));
    ::DestroyAcceleratorTable(hAccel);
}

TEST(Shortcuts, TheSiteFramesTableThroughTheCommandBars)
{
    EnglishNames names;
    CWinApp app(L"ShortcutTests");
    CFrameWnd* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, L"Shortcuts", WS_OVERLAPPEDWINDOW, CRect(50, 50, 300, 200)));
    ASSERT_TRUE(pFrame->LoadAccelTable(MAKEINTRESOURCEW(IDR_TEST_ACCEL)));
    CXTPCommandBars* pCommandBars = new CXTPCommandBars;
    pCommandBars->SetSite(pFrame);

    CString str;
    EXPECT_TRUE(FindCommandShortcut(ID_TEST_OPEN, str, pCommandBars));
    EXPECT_EQ(str, CString(L"Ctrl+O"));
    EXPECT_TRUE(FindCommandShortcut(ID_TEST_SAVE, str, pCommandBars));
    EXPECT_EQ(str, CString(L"F5"));
    EXPECT_TRUE(FindCommandShortcut(ID_TEST_NEXT, str, pCommandBars));
    EXPECT_EQ(str, CString(L"Ctrl+N"));
    // Without command bars the thread's main window is asked.
    app.m_pMainWnd = pFrame;
    str.Empty();
    EXPECT_TRUE(FindCommandShortcut(ID_TEST_OPEN, str));
    EXPECT_EQ(str, CString(L"Ctrl+O"));
    app.m_pMainWnd = nullptr;
    str = L"kept";
    EXPECT_FALSE(FindCommandShortcut(ID_TEST_OPEN, str));
    EXPECT_EQ(str, CString(L"kept"));

    pCommandBars->InternalRelease();
    pFrame->DestroyWindow();
}

TEST(Shortcuts, AccessKeysUpperCaseByThePlatform)
{
    EXPECT_EQ(MakeUpperChar(L'a'), L'A');
    EXPECT_EQ(MakeUpperChar(L'\u00e4'), L'\u00c4');
    EXPECT_EQ(MakeUpperChar(L'7'), L'7');
}

} // namespace
