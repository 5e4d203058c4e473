// What the navigation pane and its headline drop-down ask of the main window. The main window (a higher layer)
// implements it and hands it to the pane; without one the pane's frame commands do nothing.
#pragma once

#include <windows.h>

#include "feeds/EngineMessages.h"
#include "framework/core/AfxString.h"

class CFeedItem;
class CFeedTaskPanel;
class CMenu;
class CPoint;
class CWnd;
class CXTPCommandBars;

class CFeedPaneSite
{
public:
    virtual ~CFeedPaneSite() = default;

    // The main window's navigation pane (the classic view style's splitter view hosts it).
    virtual CFeedTaskPanel* GetNavigationPane() = 0;
    // The command bars the headline drop-down and the context menus work for; may be null.
    virtual CXTPCommandBars* GetCommandBars() = 0;
    // A refresh is running (channel and category updates are refused meanwhile).
    virtual BOOL IsUpdating() = 0;
    // The caption is one of the user's own categories (not "Main Category" nor a group of the main window's own).
    virtual BOOL IsNewCategory(const CString& strCaption) = 0;
    // Whether the main window has built the work behind one of the pane's commands; the pane disables the
    // command until it has, as a toolbar does for a command without a handler.
    virtual BOOL IsCommandBuilt(UINT /*nID*/) { return TRUE; }

    virtual void Unsubscribe(CFeedItem* pEntry) = 0;
    virtual void UpdateChannel(CFeedItem* pEntry) = 0;
    // nPage 0 the general page, 1 the authentication page.
    virtual void ShowChannelProperties(CFeedItem* pEntry, int nPage) = 0;
    virtual void ShowChannelView(CFeedItem* pEntry) = 0;
    // Asks the user for a category's new name (the rename dialog); FALSE when cancelled.
    virtual BOOL AskCategoryName(const CString& strOldName, CString& strNewName) = 0;
    virtual void RenameCategory(const CString& strOldName, const CString& strNewName) = 0;
    virtual void DeleteCategory(const CString& strCaption) = 0;
    virtual void UpdateCategory(const CString& strCaption) = 0;
    virtual void RemoveResultPage(CFeedItem* pEntry) = 0;
    // A search box's text searched through its "Search-in" or "Search-out" entry.
    virtual void RunSearch(CFeedItem* /*pEntry*/, const CString& /*strText*/) {}
    virtual void SaveEnclosure(CFeedItem* pItem) = 0;

    // The classic view style's news view: the entry it shows (null when none or no view), and showing another
    // one from its cache file. HasNewsView is FALSE when the main window has no news view.
    virtual BOOL HasNewsView() = 0;
    virtual CFeedItem* GetShownEntry() = 0;
    virtual void ShowEntry(CFeedItem* pEntry, const CString& strCacheFile) = 0;
};
