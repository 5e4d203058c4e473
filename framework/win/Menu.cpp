#include "framework/win/Menu.h"

#include "framework/core/AfxModule.h"
#include "framework/win/Gdi.h"
#include "framework/win/TempHandleMap.h"
#include "framework/win/Wnd.h"

namespace {

struct MenuTraits
{
    static CMenu* CreateTemporary(HMENU handle)
    {
        CMenu* made = new CMenu;
        made->m_hMenu = handle;
        return made;
    }
    static void ForgetHandles(CMenu* menu) { menu->m_hMenu = nullptr; }
};

using MenuMap = afxdetail::CGraphicsHandleMap<CMenu, HMENU, MenuTraits>;

LPCWSTR BitmapItem(const CBitmap* bitmap)
{
    return reinterpret_cast<LPCWSTR>(bitmap ? bitmap->m_hObject : nullptr);
}

HWND SafeHwnd(CWnd* wnd)
{
    return wnd ? wnd->GetSafeHwnd() : nullptr;
}

} // namespace

IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::~CMenu()
{
    DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU handle)
{
    MenuMap* map = MenuMap::ForThread();
    return map ? map->FromHandle(handle) : nullptr;
}

void CMenu::DeleteTempMap()
{
    if (MenuMap* map = MenuMap::ForThread())
        map->DeleteTemporaries();
}

BOOL CMenu::Attach(HMENU handle)
{
    if (!handle || m_hMenu)
        return FALSE;
    m_hMenu = handle;
    if (MenuMap* map = MenuMap::ForThread())
        map->SetPermanent(handle, this);
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU handle = m_hMenu;
    MenuMap* map = MenuMap::ForThread();
    if (handle && map)
        map->RemoveHandle(handle, this);
    m_hMenu = nullptr;
    return handle;
}

namespace {

BOOL AttachNewMenu(CMenu& menu, HMENU made)
{
    if (!made)
        return FALSE;
    if (!menu.Attach(made)) {
        ::DestroyMenu(made);
        return FALSE;
    }
    return TRUE;
}

} // namespace

BOOL CMenu::CreateMenu()
{
    return AttachNewMenu(*this, ::CreateMenu());
}

BOOL CMenu::CreatePopupMenu()
{
    return AttachNewMenu(*this, ::CreatePopupMenu());
}

BOOL CMenu::LoadMenu(LPCWSTR resourceName)
{
    return AttachNewMenu(*this, ::LoadMenuW(AfxGetResourceHandle(), resourceName));
}

BOOL CMenu::LoadMenu(UINT resourceId)
{
    return LoadMenu(MAKEINTRESOURCEW(resourceId));
}

BOOL CMenu::LoadMenuIndirect(const void* menuTemplate)
{
    return menuTemplate ? AttachNewMenu(*this, ::LoadMenuIndirectW(menuTemplate)) : FALSE;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags)
{
    return ::DeleteMenu(LiveHmenu(), position, flags);
}

BOOL CMenu::RemoveMenu(UINT position, UINT flags)
{
    return ::RemoveMenu(LiveHmenu(), position, flags);
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idNewItem, LPCWSTR newItem)
{
    return ::AppendMenuW(LiveHmenu(), flags, idNewItem, newItem);
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idNewItem, const CBitmap* bitmap)
{
    return ::AppendMenuW(LiveHmenu(), flags | MF_BITMAP, idNewItem, BitmapItem(bitmap));
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR newItem)
{
    return ::InsertMenuW(LiveHmenu(), position, flags, idNewItem, newItem);
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem, const CBitmap* bitmap)
{
    return ::InsertMenuW(LiveHmenu(), position, flags | MF_BITMAP, idNewItem, BitmapItem(bitmap));
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR newItem)
{
    return ::ModifyMenuW(LiveHmenu(), position, flags, idNewItem, newItem);
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem, const CBitmap* bitmap)
{
    return ::ModifyMenuW(LiveHmenu(), position, flags | MF_BITMAP, idNewItem, BitmapItem(bitmap));
}

UINT CMenu::CheckMenuItem(UINT idCheckItem, UINT check)
{
    return static_cast<UINT>(::CheckMenuItem(LiveHmenu(), idCheckItem, check));
}

BOOL CMenu::CheckMenuRadioItem(UINT idFirst, UINT idLast, UINT idItem, UINT flags)
{
    return ::CheckMenuRadioItem(LiveHmenu(), idFirst, idLast, idItem, flags);
}

UINT CMenu::EnableMenuItem(UINT idEnableItem, UINT enable)
{
    return static_cast<UINT>(::EnableMenuItem(LiveHmenu(), idEnableItem, enable));
}

BOOL CMenu::SetMenuItemBitmaps(UINT position, UINT flags, const CBitmap* unchecked, const CBitmap* checked)
{
    return ::SetMenuItemBitmaps(LiveHmenu(), position, flags,
                                static_cast<HBITMAP>(unchecked ? unchecked->m_hObject : nullptr),
                                static_cast<HBITMAP>(checked ? checked->m_hObject : nullptr));
}

UINT CMenu::GetMenuItemCount() const
{
    return static_cast<UINT>(::GetMenuItemCount(m_hMenu));
}

UINT CMenu::GetMenuItemID(int position) const
{
    return ::GetMenuItemID(m_hMenu, position);
}

UINT CMenu::GetMenuState(UINT id, UINT flags) const
{
    return ::GetMenuState(m_hMenu, id, flags);
}

int CMenu::GetMenuString(UINT idItem, LPWSTR text, int maxCount, UINT flags) const
{
    return ::GetMenuStringW(m_hMenu, idItem, text, maxCount, flags);
}

int CMenu::GetMenuString(UINT idItem, CString& text, UINT flags) const
{
    text.Empty();
    // The length first: the call with no buffer answers with the text's length.
    int length = ::GetMenuStringW(m_hMenu, idItem, nullptr, 0, flags);
    if (length <= 0)
        return 0;
    int copied = ::GetMenuStringW(m_hMenu, idItem, text.GetBuffer(length + 1), length + 1, flags);
    text.ReleaseBuffer(copied > 0 ? copied : 0);
    return copied;
}

BOOL CMenu::GetMenuItemInfo(UINT item, LPMENUITEMINFOW info, BOOL byPosition)
{
    return ::GetMenuItemInfoW(m_hMenu, item, byPosition, info);
}

BOOL CMenu::SetMenuItemInfo(UINT item, LPMENUITEMINFOW info, BOOL byPosition)
{
    return ::SetMenuItemInfoW(LiveHmenu(), item, byPosition, info);
}

CMenu* CMenu::GetSubMenu(int position) const
{
    return FromHandle(::GetSubMenu(m_hMenu, position));
}

BOOL CMenu::SetDefaultItem(UINT item, BOOL byPosition)
{
    return ::SetMenuDefaultItem(LiveHmenu(), item, byPosition);
}

UINT CMenu::GetDefaultItem(UINT flags, BOOL byPosition)
{
    return ::GetMenuDefaultItem(m_hMenu, byPosition, flags);
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* wnd, LPCRECT rect)
{
    return ::TrackPopupMenu(LiveHmenu(), flags, x, y, 0, SafeHwnd(wnd), rect);
}

BOOL CMenu::TrackPopupMenuEx(UINT flags, int x, int y, CWnd* wnd, LPTPMPARAMS params)
{
    return ::TrackPopupMenuEx(LiveHmenu(), flags, x, y, SafeHwnd(wnd), params);
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}
