// The small toolkit helpers: the system version tests, the resource holder and switch, the folder browser, the
// edit control with its menu, the DIB section, the byte copy and the hook-chain walks.
#include "toolkit/base/XTHelpers.h"
#include "toolkit/base/XTOSVersionInfo.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/controls/XTBrowseFolderDlg.h"
#include "toolkit/controls/XTEdit.h"

#include "framework/core/AfxModule.h"
#include "framework/frame/FrameWnd.h"
#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/TestSupport.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/controls/ControlsResource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(XTOSVersionInfo, TestsByPlatformAndVersion)
{
    const struct
    {
        DWORD dwPlatform, dwMajor, dwMinor;
        BOOL b95, b98, bNT4, b2000, bXP, b2000OrLater;
    } cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, TRUE, FALSE, FALSE, FALSE, FALSE, FALSE},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, FALSE, TRUE, FALSE, FALSE, FALSE, FALSE},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, FALSE, FALSE, FALSE, FALSE, FALSE, FALSE},
        {VER_PLATFORM_WIN32_NT, 4, 0, FALSE, FALSE, TRUE, FALSE, FALSE, FALSE},
        {VER_PLATFORM_WIN32_NT, 5, 0, FALSE, FALSE, FALSE, TRUE, FALSE, TRUE},
        {VER_PLATFORM_WIN32_NT, 5, 1, FALSE, FALSE, FALSE, FALSE, TRUE, TRUE},
        {VER_PLATFORM_WIN32_NT, 6, 1, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dwPlatform << " " << c.dwMajor << "." << c.dwMinor);
        OSVERSIONINFOW info = {};
        info.dwOSVersionInfoSize = sizeof(info);
        info.dwPlatformId = c.dwPlatform;
        info.dwMajorVersion = c.dwMajor;
        info.dwMinorVersion = c.dwMinor;
        const CXTOSVersionInfo version(info);
        EXPECT_EQ(c.b95, version.IsWin95());
        EXPECT_EQ(c.b98, version.IsWin98());
        EXPECT_EQ(c.bNT4, version.IsWinNT4());
        EXPECT_EQ(c.b2000, version.IsWin2000());
        EXPECT_EQ(c.bXP, version.IsWinXP());
        EXPECT_EQ(c.b2000OrLater, version.IsWin2000OrLater());
    }
    EXPECT_EQ(276u, XTOSVersionInfo().Get().dwOSVersionInfoSize);
    EXPECT_TRUE(XTOSVersionInfo().IsWin2000OrLater());
}

TEST(XTHelpers, CopyMemoryBlockAllowsOverlap)
{
    char buffer[] = "abcdefgh";
    EXPECT_EQ(5u, CopyMemoryBlock(buffer + 2, buffer, 5));
    EXPECT_STREQ("ababcdeh", buffer);
    EXPECT_EQ(0u, CopyMemoryBlock(buffer, nullptr, 0));
}

TEST(XTHelpers, AlphaDibSectionHasThirtyTwoBitsPerPixel)
{
    CBitmap bitmap;
    LPBYTE pBits = nullptr;
    ASSERT_TRUE(CreateAlphaDIBSection(bitmap, 7, 5, &pBits));
    ASSERT_NE(nullptr, pBits);
    DIBSECTION section = {};
    ASSERT_EQ(static_cast<int>(sizeof(section)), ::GetObjectW(bitmap.GetSafeHandle(), sizeof(section), &section));
    EXPECT_EQ(32, section.dsBm.bmBitsPixel);
    EXPECT_EQ(7, section.dsBm.bmWidth);
    EXPECT_EQ(5, section.dsBm.bmHeight);
    std::memset(pBits, 0x7F, 7 * 5 * 4);
}

TEST(XTHelpers, HookWalksStopAsTheirHooksAnswer)
{
    // The subclass chain asks from the last hook to the first.
    const struct
    {
        std::vector<int> answers;
        BOOL bHandled;
        std::vector<int> asked;
    } chains[] = {
        {{}, FALSE, {}},           {{0, 0}, FALSE, {1, 0}},    {{1, 0}, TRUE, {1, 0}},
        {{0, 1, 5}, TRUE, {2, 1}}, {{0, 2, 0}, FALSE, {2, 1}},
    };
    for (const auto& c : chains) {
        std::vector<int> indexes(c.answers.size());
        for (size_t i = 0; i < indexes.size(); ++i)
            indexes[i] = static_cast<int>(i);
        std::vector<int> asked;
        const BOOL bHandled = XTWalkSubclassChain(indexes, [&](int i) {
            asked.push_back(i);
            return c.answers[static_cast<size_t>(i)];
        });
        EXPECT_EQ(c.bHandled, bHandled);
        EXPECT_EQ(c.asked, asked);
    }

    // The message hook list asks in order; the first nonzero answer decides.
    const struct
    {
        std::vector<int> answers;
        int nResult;
    } lists[] = {{{}, 1}, {{0, 0}, 1}, {{0, 2, 1}, 0}, {{0, 1, 2}, 1}, {{7}, 1}};
    for (const auto& c : lists)
        EXPECT_EQ(c.nResult, XTWalkHookList(c.answers, [](int n) { return n; }));
}

TEST(XTResourceHolder, LoadsTheToolkitsResourcesAndSwitchesTheModule)
{
    CXTResourceHolder* pHolder = XTGetResourceHolder();
    CString strTitle;
    ASSERT_TRUE(pHolder->LoadString(&strTitle, XT_IDS_SELDIR));
    EXPECT_EQ(CString(L"Select Directory:"), strTitle);
    EXPECT_FALSE(pHolder->LoadString(&strTitle, 22998));

    CMenu menu;
    ASSERT_TRUE(pHolder->LoadMenu(&menu, XT_IDM_POPUP));
    CMenu* pEdit = menu.GetSubMenu(1);
    ASSERT_NE(nullptr, pEdit);
    const UINT ids[] = {ID_EDIT_UNDO,  0, ID_EDIT_CUT,       ID_EDIT_COPY, ID_EDIT_PASTE,
                        ID_EDIT_CLEAR, 0, ID_EDIT_SELECT_ALL};
    ASSERT_EQ(8u, pEdit->GetMenuItemCount());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ids[i], pEdit->GetMenuItemID(i)) << i;
    CString strItem;
    pEdit->GetMenuString(7, strItem, MF_BYPOSITION);
    EXPECT_EQ(CString(L"Select &All"), strItem);

    CBitmap bitmap;
    EXPECT_FALSE(pHolder->LoadBitmap(&bitmap, 22998));
    EXPECT_EQ(nullptr, pHolder->LoadDialogTemplate(22998));

    // The switch points the framework at the toolkit's module while it lives.
    const HINSTANCE hOther = ::GetModuleHandleW(L"kernel32.dll");
    AfxSetResourceHandle(hOther);
    {
        CXTResourceSwitch resources;
        EXPECT_EQ(XTGetResourceModule(), AfxGetResourceHandle());
        CString strText;
        EXPECT_TRUE(strText.LoadString(XT_IDS_SELDIR));
    }
    EXPECT_EQ(hOther, AfxGetResourceHandle());
    // The holder still finds its strings while the framework looks elsewhere.
    EXPECT_TRUE(pHolder->LoadString(&strTitle, XT_IDS_SE_ERR_FNF));
    AfxSetResourceHandle(nullptr);

    // The global settings take their module from the toolkit's value, which they set to the program's own.
    XTSetResourceModule(hOther);
    EXPECT_EQ(hOther, XTGetResourceModule());
    CXTPToolkitGlobals globals;
    EXPECT_EQ(::GetModuleHandleW(nullptr), XTGetResourceModule());
    EXPECT_EQ(XTGetResourceModule(), globals.GetResourceModule());
    EXPECT_NE(nullptr, globals.m_hcurHand);

    lqtest::ExpectModal modal;
    EXPECT_NE(0, pHolder->ShowMessageBox(XT_IDS_SELDIR, MB_OK));
    EXPECT_EQ(1, modal.Closed());
    EXPECT_EQ(0, pHolder->ShowMessageBox(22998, MB_OK));
}

// Ends the open folder browser with OK once it has taken its start folder.
void CALLBACK AcceptBrowser(HWND, UINT, UINT_PTR nIDEvent, DWORD)
{
    HWND hDialog = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM lParam) {
            WCHAR szClass[16] = {};
            ::GetClassNameW(hWnd, szClass, 16);
            if (lstrcmpW(szClass, L"#32770") != 0)
                return TRUE;
            *reinterpret_cast<HWND*>(lParam) = hWnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&hDialog));
    if (hDialog == nullptr)
        return;
    ::KillTimer(nullptr, nIDEvent);
    ::PostMessageW(hDialog, WM_COMMAND, IDOK, 0);
}

TEST(XTBrowseFolderDlg, StartsAtItsPathOrTheCurrentFolderAndKeepsItWhenCancelled)
{
    WCHAR szWindows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    {
        CXTBrowseFolderDlg dialog;
        EXPECT_EQ(CString(L"Select Directory:"), CString(dialog.m_bi.lpszTitle));
        EXPECT_EQ(static_cast<UINT>(BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS), dialog.m_bi.ulFlags);
        dialog.SetSelPath(szWindows);
        lqtest::ExpectModal modal;
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
        EXPECT_EQ(1, modal.Closed());
        EXPECT_STREQ(szWindows, dialog.GetSelPath());
    }
    {
        CXTBrowseFolderDlg dialog;
        dialog.SetSelPath(szWindows);
        ::SetTimer(nullptr, 0, 50, AcceptBrowser);
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(0, lstrcmpiW(szWindows, dialog.GetSelPath()));
    }
    {
        // A folder the browser's tree reaches under Wine.
        const std::wstring strSystem = std::wstring(szWindows) + L"\\system32";
        WCHAR szCurrent[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, szCurrent);
        ASSERT_TRUE(::SetCurrentDirectoryW(strSystem.c_str()));
        CXTBrowseFolderDlg dialog;
        ::SetTimer(nullptr, 0, 50, AcceptBrowser);
        const int nResult = dialog.DoModal();
        ::SetCurrentDirectoryW(szCurrent);
        EXPECT_EQ(IDOK, nResult);
        EXPECT_EQ(0, lstrcmpiW(strSystem.c_str(), dialog.GetSelPath())) << "started at the current folder";
    }
    std::wstring strLong(400, L'a');
    CXTBrowseFolderDlg dialog;
    dialog.SetSelPath(strLong.c_str());
    EXPECT_EQ(static_cast<size_t>(MAX_PATH - 1), std::wstring(dialog.GetSelPath()).size());
}

bool g_bMenuChosen = false;

// Inside the menu's loop: picks "Select &All" by its mnemonic once.
LRESULT CALLBACK ChooseSelectAll(int nCode, WPARAM wParam, LPARAM lParam)
{
    auto* pMsg = reinterpret_cast<MSG*>(lParam);
    if (nCode == MSGF_MENU && !g_bMenuChosen) {
        g_bMenuChosen = true;
        ::PostMessageW(pMsg->hwnd, WM_CHAR, L'a', 0);
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

class XTEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_host = new CFrameWnd;
        ASSERT_TRUE(m_host->Create(nullptr, L"Edit host", WS_OVERLAPPEDWINDOW, CRect(100, 100, 500, 300)));
        m_hHost = m_host->m_hWnd;
        m_host->ShowWindow(SW_SHOW);
        ASSERT_TRUE(m_edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 300, 40), m_host, 22401));
    }

    void TearDown() override
    {
        m_edit.DestroyWindow();
        if (::IsWindow(m_hHost))
            ::DestroyWindow(m_hHost);
        lqtest::PumpPending();
    }

    // The enabled state of each item of the edit's own menu after it has been brought up to date.
    std::vector<bool> MenuStates()
    {
        CMenu menu;
        EXPECT_TRUE(XTGetResourceHolder()->LoadMenu(&menu, XT_IDM_POPUP));
        CMenu* pPopup = menu.GetSubMenu(1);
        m_edit.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(pPopup->GetSafeHmenu()), MAKELPARAM(1, FALSE));
        std::vector<bool> states;
        for (UINT nID : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_CLEAR, ID_EDIT_SELECT_ALL})
            states.push_back(!(pPopup->GetMenuState(nID, MF_BYCOMMAND) & MF_GRAYED));
        return states;
    }

    static void SetClipboardText(const wchar_t* pszText)
    {
        ASSERT_TRUE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        if (pszText != nullptr) {
            const size_t cb = (wcslen(pszText) + 1) * sizeof(wchar_t);
            HGLOBAL hData = ::GlobalAlloc(GMEM_MOVEABLE, cb);
            std::memcpy(::GlobalLock(hData), pszText, cb);
            ::GlobalUnlock(hData);
            ::SetClipboardData(CF_UNICODETEXT, hData);
        }
        ::CloseClipboard();
    }

    CWinApp m_app{L"XTEditTests"};
    CFrameWnd* m_host = nullptr;
    HWND m_hHost = nullptr;
    CXTEdit m_edit;
};

TEST_F(XTEditTest, InitializeGivesTheToolkitFont)
{
    CXTEdit unmade;
    EXPECT_FALSE(unmade.Initialize(m_host));
    EXPECT_FALSE(m_edit.Initialize(nullptr));
    EXPECT_TRUE(m_edit.Initialize(m_host));
    EXPECT_EQ(GetToolkitGlobals()->m_fonts[CXTPToolkitGlobals::fontRegular].GetSafeHandle(),
              reinterpret_cast<HGDIOBJ>(m_edit.SendMessage(WM_GETFONT)));
}

TEST_F(XTEditTest, TheMenuEnablesWhatTheTextAndClipboardAllow)
{
    SetClipboardText(nullptr);
    // Undo, cut, copy, paste, delete, select all.
    EXPECT_EQ((std::vector<bool>{false, false, false, false, false, false}), MenuStates());

    m_edit.SetWindowText(L"feed");
    SetClipboardText(L"news");
    EXPECT_EQ((std::vector<bool>{false, false, false, true, false, true}), MenuStates());

    m_edit.SendMessage(WM_COMMAND, ID_EDIT_SELECT_ALL);
    int nStart = -1;
    int nEnd = -1;
    m_edit.GetSel(nStart, nEnd);
    EXPECT_EQ(0, nStart);
    EXPECT_EQ(4, nEnd);
    EXPECT_EQ((std::vector<bool>{false, true, true, true, true, true}), MenuStates());

    m_edit.SendMessage(WM_COMMAND, ID_EDIT_PASTE);
    CString strText;
    m_edit.GetWindowText(strText);
    EXPECT_EQ(CString(L"news"), strText);
    EXPECT_TRUE(MenuStates()[0]) << "the paste can be undone";
    m_edit.SendMessage(WM_COMMAND, ID_EDIT_UNDO);
    m_edit.GetWindowText(strText);
    EXPECT_EQ(CString(L"feed"), strText);
    SetClipboardText(nullptr);
}

TEST_F(XTEditTest, TheKeyboardOpensTheEditsOwnMenu)
{
    ASSERT_TRUE(frametest::Activate(m_hHost));
    m_edit.SetFocus();
    m_edit.SetWindowText(L"abc");
    // Shift+F10 asks for the context menu from the keyboard; the menu's select-all is chosen by its mnemonic.
    g_bMenuChosen = false;
    HHOOK hHook = ::SetWindowsHookExW(WH_MSGFILTER, ChooseSelectAll, nullptr, ::GetCurrentThreadId());
    frametest::SendKey(VK_SHIFT, false);
    frametest::SendKey(VK_F10, false);
    frametest::SendKey(VK_F10, true);
    frametest::SendKey(VK_SHIFT, true);
    const bool bSelected = frametest::PumpTranslatedUntil([this] {
        int nStart = 0;
        int nEnd = 0;
        m_edit.GetSel(nStart, nEnd);
        return nStart == 0 && nEnd == 3;
    });
    ::UnhookWindowsHookEx(hHook);
    EXPECT_TRUE(g_bMenuChosen) << "the menu opened";
    EXPECT_TRUE(bSelected);
}

// The modal loops' message source: the next message comes back, and a quit (which the platform hands out even to
// the paint-only peek) ends the loop and stays pending for the outer one.
TEST(GetModalLoopMessage, TakesTheNextMessageAndKeepsAQuitForTheOuterLoop)
{
    lqtest::MessageWindow window([](UINT, WPARAM, LPARAM, LRESULT&) { return false; });
    for (const bool bQuit : {false, true}) {
        SCOPED_TRACE(bQuit ? "quit" : "message");
        lqtest::PumpPending();
        ::PostMessageW(window.Handle(), WM_APP + 3, 0, 0);
        if (bQuit)
            ::PostQuitMessage(11);
        MSG msg = {};
        const BOOL bGot = GetModalLoopMessage(msg);
        if (!bQuit) {
            ASSERT_TRUE(bGot);
            EXPECT_EQ(static_cast<UINT>(WM_APP + 3), msg.message);
            continue;
        }
        EXPECT_FALSE(bGot);
        WPARAM nExitCode = 0;
        EXPECT_TRUE(lqtest::PumpUntilQuit(&nExitCode, 2000));
        EXPECT_EQ(11u, nExitCode);
    }
}

} // namespace

