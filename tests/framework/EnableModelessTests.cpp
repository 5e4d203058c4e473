// The application's modeless windows while a modal window runs: disabled by the outermost EnableModeless(FALSE)
// and enabled again by its matching TRUE; the main window, the windows it owns, the active window with its owners
// and windows already disabled are left alone.
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"

#include <gtest/gtest.h>

namespace {

HWND MakePopup(HWND hWndOwner, DWORD dwExStyle = 0)
{
    return ::CreateWindowExW(dwExStyle, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, hWndOwner, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

TEST(EnableModeless, DisablesTheOtherModelessWindowsUntilTheOutermostCallEnds)
{
    CWinApp app(L"EnableModelessTests");
    CWnd main;
    ASSERT_TRUE(main.SubclassWindow(MakePopup(nullptr)));
    app.m_pMainWnd = &main;
    const HWND hModeless = MakePopup(nullptr);
    const HWND hOwned = MakePopup(main.m_hWnd);
    const HWND hOwnedByOwned = MakePopup(hOwned);
    const HWND hTool = MakePopup(nullptr, WS_EX_TOOLWINDOW);
    const HWND hDisabled = MakePopup(nullptr);
    ::EnableWindow(hDisabled, FALSE);
    // The window the user works in owns the coming modal window: it stays enabled to get the activation back.
    const HWND hActiveOwner = MakePopup(nullptr);
    const HWND hActive = MakePopup(hActiveOwner);
    ::SetActiveWindow(hActive);
    ASSERT_EQ(::GetActiveWindow(), hActive);

    app.EnableModeless(FALSE);
    EXPECT_FALSE(::IsWindowEnabled(hModeless));
    EXPECT_TRUE(::IsWindowEnabled(main.m_hWnd));
    EXPECT_TRUE(::IsWindowEnabled(hOwned));
    EXPECT_TRUE(::IsWindowEnabled(hOwnedByOwned));
    EXPECT_TRUE(::IsWindowEnabled(hTool));
    EXPECT_TRUE(::IsWindowEnabled(hActive));
    EXPECT_TRUE(::IsWindowEnabled(hActiveOwner));
    // A nested modal window changes nothing, in or out.
    const HWND hLater = MakePopup(nullptr);
    app.EnableModeless(FALSE);
    EXPECT_TRUE(::IsWindowEnabled(hLater));
    app.EnableModeless(TRUE);
    EXPECT_FALSE(::IsWindowEnabled(hModeless));

    app.EnableModeless(TRUE);
    EXPECT_TRUE(::IsWindowEnabled(hModeless));
    EXPECT_FALSE(::IsWindowEnabled(hDisabled));
    // An unmatched TRUE does nothing.
    app.EnableModeless(TRUE);
    EXPECT_FALSE(::IsWindowEnabled(hDisabled));

    for (HWND hWnd : {hModeless, hOwnedByOwned, hOwned, hTool, hDisabled, hLater, hActive, hActiveOwner})
        ::DestroyWindow(hWnd);
    app.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

} // namespace
