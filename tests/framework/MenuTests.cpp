// Menus: built in code and from a template, walked item by item, changed, tracked, and the wrappers' ownership.
#include "framework/win/Menu.h"
#include "framework/win/TempHandleMap.h"
#include "framework/win/Wnd.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

enum : UINT
{
    kOpen = 100,
    kSave = 101,
    kRecent = 102,
    kExit = 103,
    kZoomIn = 200,
    kZoomOut = 201,
};

// "&File" (Open, Save, separator, "Recent" popup with one item, Exit) and "&View" (Zoom in, Zoom out).
void BuildMainMenu(CMenu& menu)
{
    ASSERT_TRUE(menu.CreateMenu());
    CMenu file;
    CMenu recent;
    CMenu view;
    ASSERT_TRUE(file.CreatePopupMenu());
    ASSERT_TRUE(recent.CreatePopupMenu());
    ASSERT_TRUE(view.CreatePopupMenu());
    ASSERT_TRUE(recent.AppendMenu(MF_STRING, kRecent, L"feeds.opml"));
    ASSERT_TRUE(file.AppendMenu(MF_STRING, kOpen, L"&Open..."));
    ASSERT_TRUE(file.AppendMenu(MF_STRING, kSave, L"&Save"));
    ASSERT_TRUE(file.AppendMenu(MF_SEPARATOR));
    ASSERT_TRUE(file.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(recent.Detach()), L"&Recent"));
    ASSERT_TRUE(file.AppendMenu(MF_STRING, kExit, L"E&xit"));
    ASSERT_TRUE(view.AppendMenu(MF_STRING, kZoomIn, L"Zoom &in"));
    ASSERT_TRUE(view.AppendMenu(MF_STRING, kZoomOut, L"Zoom &out"));
    // The bar takes over the popups, so their wrappers let go of them.
    ASSERT_TRUE(menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(file.Detach()), L"&File"));
    ASSERT_TRUE(menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(view.Detach()), L"&View"));
}

TEST(Menu, BuiltMenuWalksItemByItem)
{
    CMenu menu;
    BuildMainMenu(menu);
    ASSERT_EQ(2u, menu.GetMenuItemCount());

    CString text;
    EXPECT_EQ(5, menu.GetMenuString(0, text, MF_BYPOSITION));
    EXPECT_EQ(CString(L"&File"), text);
    EXPECT_EQ(static_cast<UINT>(-1), menu.GetMenuItemID(0)); // a popup has no command

    CMenu* file = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(GetSubMenu(menu, 0), file->GetSafeHmenu());
    EXPECT_EQ(file, menu.GetSubMenu(0));
    EXPECT_EQ(nullptr, file->GetSubMenu(0)); // a command, not a popup

    const std::vector<UINT> ids = {kOpen, kSave, 0, static_cast<UINT>(-1), kExit};
    ASSERT_EQ(ids.size(), file->GetMenuItemCount());
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(ids[i], file->GetMenuItemID(static_cast<int>(i))) << i;
    EXPECT_EQ(static_cast<UINT>(-1), file->GetMenuItemID(42));

    // Commands are found by id in sub-menus as well.
    EXPECT_GT(menu.GetMenuString(kRecent, text, MF_BYCOMMAND), 0);
    EXPECT_EQ(CString(L"feeds.opml"), text);
    EXPECT_EQ(0, menu.GetMenuString(999, text, MF_BYCOMMAND));
    EXPECT_TRUE(text.IsEmpty());
    wchar_t buffer[4] = {};
    EXPECT_EQ(3, file->GetMenuString(kSave, buffer, 4, MF_BYCOMMAND));
    EXPECT_STREQ(L"&Sa", buffer);

    EXPECT_TRUE(file->GetMenuState(2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(1u, file->GetMenuState(3, MF_BYPOSITION) >> 8); // a popup's state carries its item count

    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
    ASSERT_TRUE(file->GetMenuItemInfo(3, &info, TRUE));
    EXPECT_NE(nullptr, info.hSubMenu);
    ASSERT_TRUE(file->GetMenuItemInfo(kExit, &info));
    EXPECT_EQ(kExit, info.wID);
    EXPECT_EQ(nullptr, info.hSubMenu);
}

TEST(Menu, ItemStatesDefaultsAndEditsAreReported)
{
    CMenu menu;
    BuildMainMenu(menu);
    CMenu* view = menu.GetSubMenu(1);
    ASSERT_NE(nullptr, view);

    EXPECT_EQ(static_cast<UINT>(MF_UNCHECKED), view->CheckMenuItem(kZoomIn, MF_CHECKED));
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), view->CheckMenuItem(kZoomIn, MF_UNCHECKED | MF_BYCOMMAND));
    view->CheckMenuItem(kZoomOut, MF_CHECKED);
    EXPECT_TRUE(view->GetMenuState(kZoomOut, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(static_cast<UINT>(MF_ENABLED), view->EnableMenuItem(kZoomOut, MF_GRAYED));
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), view->EnableMenuItem(kZoomOut, MF_ENABLED));
    EXPECT_EQ(static_cast<UINT>(-1), view->EnableMenuItem(999, MF_GRAYED));
    ASSERT_TRUE(view->CheckMenuRadioItem(0, 1, 0, MF_BYPOSITION));
    EXPECT_TRUE(view->GetMenuState(0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_FALSE(view->GetMenuState(1, MF_BYPOSITION) & MF_CHECKED);

    EXPECT_EQ(static_cast<UINT>(-1), view->GetDefaultItem(0));
    ASSERT_TRUE(view->SetDefaultItem(kZoomOut));
    EXPECT_EQ(kZoomOut, view->GetDefaultItem(0));
    EXPECT_EQ(1u, view->GetDefaultItem(0, TRUE));
    ASSERT_TRUE(view->SetDefaultItem(0, TRUE));
    EXPECT_EQ(kZoomIn, view->GetDefaultItem(GMDI_USEDISABLED));
    EXPECT_TRUE(view->GetMenuState(0, MF_BYPOSITION) & MF_DEFAULT);

    ASSERT_TRUE(view->InsertMenu(0, MF_BYPOSITION | MF_STRING, 300, L"Reset"));
    ASSERT_TRUE(view->ModifyMenu(300, MF_BYCOMMAND | MF_STRING, 301, L"Reset zoom"));
    EXPECT_EQ(301u, view->GetMenuItemID(0));
    CString text;
    view->GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_EQ(CString(L"Reset zoom"), text);
    ASSERT_TRUE(view->RemoveMenu(301, MF_BYCOMMAND));
    EXPECT_EQ(2u, view->GetMenuItemCount());

    // RemoveMenu leaves a popup alive, DeleteMenu destroys it.
    CMenu* file = menu.GetSubMenu(0);
    HMENU recent = ::GetSubMenu(*file, 3);
    ASSERT_TRUE(file->RemoveMenu(3, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(recent));
    ASSERT_TRUE(file->AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(recent), L"Recent"));
    ASSERT_TRUE(file->DeleteMenu(4, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(recent));
    EXPECT_EQ(4u, file->GetMenuItemCount());
}

TEST(Menu, ResourceAndTemplateMenusLoad)
{
    // Menu 61000 of the test resources: "&Tray" with Open, a separator and Exit.
    CMenu resource;
    ASSERT_TRUE(resource.LoadMenu(61000));
    CMenu* tray = resource.GetSubMenu(0);
    ASSERT_NE(nullptr, tray);
    ASSERT_EQ(3u, tray->GetMenuItemCount());
    EXPECT_EQ(61010u, tray->GetMenuItemID(0));
    EXPECT_EQ(0u, tray->GetMenuItemID(1));
    EXPECT_EQ(61011u, tray->GetMenuItemID(2));
    ASSERT_TRUE(tray->SetDefaultItem(61010));
    EXPECT_EQ(61010u, tray->GetDefaultItem(0));

    // A menu template in memory: the header, then items of flags, (command id,) and text.
    std::vector<WORD> data = {0, 0};
    auto item = [&](WORD flags, WORD id, const wchar_t* text, bool popup) {
        data.push_back(flags);
        if (!popup)
            data.push_back(id);
        for (const wchar_t* c = text; *c; ++c)
            data.push_back(*c);
        data.push_back(0);
    };
    item(MF_POPUP | MF_END, 0, L"&Feed", true);
    item(MF_STRING, 500, L"&Refresh", false);
    item(MF_STRING | MF_END, 501, L"&Mark read", false);

    CMenu menu;
    ASSERT_TRUE(menu.LoadMenuIndirect(data.data()));
    ASSERT_EQ(1u, menu.GetMenuItemCount());
    CMenu* feed = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, feed);
    ASSERT_EQ(2u, feed->GetMenuItemCount());
    EXPECT_EQ(501u, feed->GetMenuItemID(1));
    CString text;
    feed->GetMenuString(500, text, MF_BYCOMMAND);
    EXPECT_EQ(CString(L"&Refresh"), text);

    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(0x7FF1));
    EXPECT_EQ(nullptr, missing.GetSafeHmenu());
}

TEST(Menu, WrappersOwnWhatTheyHoldAndTemporariesNothing)
{
    HMENU owned = nullptr;
    HMENU sub = nullptr;
    {
        CMenu menu;
        BuildMainMenu(menu);
        owned = menu;
        sub = menu.GetSubMenu(0)->GetSafeHmenu();
        EXPECT_EQ(&menu, CMenu::FromHandle(owned));
        EXPECT_FALSE(menu.CreatePopupMenu()); // already holds one
        // Freeing the temporaries must not destroy the sub-menu they stood for.
        EXPECT_GT(AfxGetTempGraphicsCount(), 0u);
        AfxDeleteTempGraphicsMaps();
        EXPECT_EQ(0u, AfxGetTempGraphicsCount());
        EXPECT_TRUE(IsMenu(sub));
    }
    EXPECT_FALSE(IsMenu(owned));
    EXPECT_FALSE(IsMenu(sub));

    HMENU raw = CreatePopupMenu();
    {
        CMenu menu;
        ASSERT_TRUE(menu.Attach(raw));
        EXPECT_EQ(raw, menu.Detach());
        EXPECT_NE(&menu, CMenu::FromHandle(raw));
    }
    EXPECT_TRUE(IsMenu(raw));
    CMenu* temporary = CMenu::FromHandle(raw);
    EXPECT_EQ(raw, temporary->GetSafeHmenu());
    AfxDeleteTempGraphicsMaps();
    EXPECT_TRUE(IsMenu(raw));
    DestroyMenu(raw);

    CMenu* none = nullptr;
    EXPECT_EQ(nullptr, none->GetSafeHmenu());
}

// Picks the first item of the open popup menu as a user would with the keyboard.
void CALLBACK ChooseFirstItem(HWND window, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(window, timer);
    PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
}

TEST(Menu, TrackPopupMenuReturnsTheChosenCommand)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    SetForegroundWindow(window);
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, kZoomIn, L"Zoom in");
    popup.AppendMenu(MF_STRING, kZoomOut, L"Zoom out");

    CWnd* owner = CWnd::FromHandle(window);
    SetTimer(window, 1, 50, ChooseFirstItem);
    const BOOL chosen = popup.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, 120, 120, owner);
    EXPECT_EQ(static_cast<BOOL>(kZoomIn), chosen);
    DestroyWindow(window);
}

} // namespace
