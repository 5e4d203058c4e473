// CMenu over an HMENU. A menu object destroys the menu it holds when it ends; sub-menus and menus found through
// FromHandle are temporary wrappers that leave the menu alone.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/DebugChecks.h"
#include "framework/core/Object.h"

class CBitmap;
class CWnd;

class CMenu : public CObject
{
    DECLARE_DYNCREATE(CMenu)

public:
    HMENU m_hMenu = nullptr;

    CMenu() noexcept = default;
    ~CMenu() override;

    operator HMENU() const noexcept { return m_hMenu; }
    // Callable through a null pointer (an absent object), as code written for this family of classes expects.
    HMENU GetSafeHmenu() const noexcept
    {
        const auto* self = this;
        // Hides from the optimiser that `this` is never null in valid code, so the check stays.
        asm("" : "+r"(self));
        return self == nullptr ? nullptr : self->m_hMenu;
    }

    // m_hMenu for a member that changes or shows the menu: a debug build stops where one is used without it.
    HMENU LiveHmenu() const
    {
        LQ_CHECK_MENU(m_hMenu);
        return m_hMenu;
    }

    // The wrapper that owns the menu on this thread, else a temporary freed when the thread goes idle.
    static CMenu* FromHandle(HMENU handle);
    static void DeleteTempMap();

    // Takes ownership; fails when this object already holds a menu or the handle is null.
    BOOL Attach(HMENU handle);
    HMENU Detach();

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // From the framework's resource module.
    BOOL LoadMenu(LPCWSTR resourceName);
    BOOL LoadMenu(UINT resourceId);
    BOOL LoadMenuIndirect(const void* menuTemplate);
    BOOL DestroyMenu();

    // Removing by command id searches sub-menus too; DeleteMenu also destroys a removed sub-menu.
    BOOL DeleteMenu(UINT position, UINT flags);
    BOOL RemoveMenu(UINT position, UINT flags);
    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, LPCWSTR newItem = nullptr);
    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem, const CBitmap* bitmap);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, LPCWSTR newItem = nullptr);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem, const CBitmap* bitmap);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, LPCWSTR newItem = nullptr);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem, const CBitmap* bitmap);

    // The previous state (MF_CHECKED or MF_UNCHECKED), or (UINT)-1 when the item does not exist.
    UINT CheckMenuItem(UINT idCheckItem, UINT check);
    BOOL CheckMenuRadioItem(UINT idFirst, UINT idLast, UINT idItem, UINT flags);
    // The previous state (MF_ENABLED, MF_DISABLED or MF_GRAYED), or (UINT)-1 when the item does not exist.
    UINT EnableMenuItem(UINT idEnableItem, UINT enable);
    BOOL SetMenuItemBitmaps(UINT position, UINT flags, const CBitmap* unchecked, const CBitmap* checked);

    // (UINT)-1 when the menu is invalid.
    UINT GetMenuItemCount() const;
    // 0 for a separator, (UINT)-1 for a sub-menu or a position past the end.
    UINT GetMenuItemID(int position) const;
    UINT GetMenuState(UINT id, UINT flags) const;
    int GetMenuString(UINT idItem, LPWSTR text, int maxCount, UINT flags) const;
    int GetMenuString(UINT idItem, CString& text, UINT flags) const;
    BOOL GetMenuItemInfo(UINT item, LPMENUITEMINFOW info, BOOL byPosition = FALSE);
    BOOL SetMenuItemInfo(UINT item, LPMENUITEMINFOW info, BOOL byPosition = FALSE);
    // A temporary wrapper of the sub-menu at position, or null when there is none.
    CMenu* GetSubMenu(int position) const;

    BOOL SetDefaultItem(UINT item, BOOL byPosition = FALSE);
    // (UINT)-1 when there is no default item.
    UINT GetDefaultItem(UINT flags, BOOL byPosition = FALSE);

    // wnd owns the menu and receives its messages; with TPM_RETURNCMD the result is the chosen command.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* wnd, LPCRECT rect = nullptr);
    BOOL TrackPopupMenuEx(UINT flags, int x, int y, CWnd* wnd, LPTPMPARAMS params);

    // Owner-drawn items; a class that uses them overrides both.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

    BOOL operator==(const CMenu& other) const noexcept { return m_hMenu == other.m_hMenu; }
    BOOL operator!=(const CMenu& other) const noexcept { return m_hMenu != other.m_hMenu; }
};
