// The manager of the command bars of one frame (its site): the options, paint and image managers and customise
// state the bars share, the record of rarely used commands, and the frame layout requests.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "framework/core/Geometry.h"
#include "framework/win/CmdTarget.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"

#include <vector>

class CFrameWnd;
class CWnd;
class CXTPCommandBars;
class CXTPControl;
class CXTPCustomizeDropSource;
class CXTPBarStateInfo;
class CXTPCommandBar;
class CXTPDockBar;
class CXTPMenuBar;
class CXTPPopupBar;
class CXTPToolBar;
class CMenu;
class CXTPImageManager;
class CXTPPaintManager;

// The customise command: a site with a handler for it lets the user customise its bars.
#define XTP_ID_CUSTOMIZE 35001

class CXTPCommandBarsOptions : public CCmdTarget
{
public:
    typedef CMap<UINT, UINT, BOOL, BOOL> CCommandMap;

    CXTPCommandBarsOptions();

    // The archive form kept with the customised bars: a schema, the saved switches, the icon sizes, the hidden
    // commands and the icon options of the paint manager in use. A load changes nothing unless it reads all.
    void Serialize(CArchive& ar) override;

    BOOL bAlwaysShowFullMenus;
    BOOL bShowFullAfterDelay;
    BOOL bToolBarScreenTips;
    BOOL bToolBarAccelTips;
    BOOL bLargeIcons;
    BOOL bSyncFloatingBars;
    BOOL bShowExpandButtonAlways;
    BOOL bDblClickFloat;
    BOOL bShowTextBelowIcons;
    BOOL bAltDragCustomization;
    int animationType;
    CSize szIcons;
    CSize szLargeIcons;
    CSize szPopupIcons;
    CCommandMap m_mapHiddenCommands;
    CCommandMap m_mapUsedCommands;
    CXTPCommandBars* m_pCommandBars;
};

class CXTPCommandBars : public CCmdTarget
{
    DECLARE_DYNCREATE(CXTPCommandBars)

public:
    CXTPCommandBars();
    ~CXTPCommandBars() override;

    // A command is rarely used when it is hidden by default and the user has not run it.
    virtual BOOL IsCommandRarelyUsed(UINT nID) const;
    // The resource id of the active document's template; 0 in a frame without documents.
    virtual UINT GetActiveDocTemplate();

    // Stores the site and asks it whether it handles the customise command.
    void SetSite(CWnd* pSite);
    CWnd* GetSite() const { return m_pSite; }
    // The site when it is a frame window.
    CFrameWnd* GetFrameSite() const;

    CXTPCommandBarsOptions* GetCommandBarsOptions() const { return m_pOptions; }
    CXTPCustomizeDropSource* GetDropSource() const { return m_pDropSource; }

    // The manager's own, else the toolkit-wide ones. Setting takes over the caller's reference.
    CXTPPaintManager* GetPaintManager() const;
    CXTPImageManager* GetImageManager() const;
    void SetPaintManager(CXTPPaintManager* pPaintManager);
    void SetImageManager(CXTPImageManager* pImageManager);

    BOOL IsCustomizable() const { return m_bCustomizable; }
    BOOL IsCustomizeMode() const { return m_bCustomizeMode; }
    void SetCustomizeMode(BOOL bMode);
    BOOL IsQuickCustomizeMode() const { return m_bQuickCustomizeMode; }
    void SetQuickCustomizeMode(BOOL bMode) { m_bQuickCustomizeMode = bMode; }
    CXTPControl* GetCustomizeControl() const { return m_pCustomizeControl; }
    // The selection holds a reference; the customise sheet (else the site) hears of the change.
    void SetCustomizeControl(CXTPControl* pControl);
    // Tells the customise sheet (else the site) that the selection changed.
    void SendCustomizeSelChange();

    void HideCommands(const UINT* pCommands, int nCount);
    void HideCommand(UINT nCommand);
    void SetCommandUsed(UINT nCommand);
    void ResetUsageData();

    // Lays every visible toolbar and then the site frame out again, now or (bDelay) at the next idle time;
    // nothing while the layout is locked.
    void RecalcFrameLayout(BOOL bDelay = FALSE);
    void DelayRecalcLayout(BOOL bDelay) { RecalcFrameLayout(bDelay); }
    BOOL IsLayoutLocked() const { return m_bRecalcLayout; }

    // ---- Bars
    // The four dock bars along the site's client area; FALSE when one cannot be created.
    BOOL CreateDockBars();
    CXTPDockBar* GetDockBar(int nPosition) const;
    // The menu bar from a menu resource, docked at the top; null when the menu cannot be loaded.
    CXTPMenuBar* SetMenu(LPCTSTR lpszName, UINT nID);
    CXTPMenuBar* GetMenuBar() const;
    // A toolbar of the class, docked at the position (or floating); null when it cannot be created.
    CXTPToolBar* Add(LPCTSTR lpszName, XTPBarPosition barPosition, CRuntimeClass* pToolbarClass = nullptr);
    // A toolbar made by the user (or torn off a popup); the site may configure it first.
    CXTPToolBar* AddCustomToolBar(LPCTSTR lpszName, UINT nID, BOOL bFloating = FALSE);
    // Takes the toolbar out of its dock bar and the list and releases it.
    void RemoveBar(CXTPToolBar* pToolBar);
    int GetCount() const { return static_cast<int>(m_arrBars.size()); }
    CXTPToolBar* GetAt(int nIndex) const;
    int FindIndex(const CXTPToolBar* pToolBar) const;
    void ToggleVisible(int nIndex);
    CXTPToolBar* FindToolBar(UINT nBarID) const;

    BOOL DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect, CXTPDockBar* pDockBar);
    BOOL DockCommandBarAt(CXTPToolBar* pBar, int nPosition);
    BOOL FloatCommandBar(CXTPToolBar* pBar);
    // The dock bar (grown by 20 pixels) under the screen point; the preferred one is tried first.
    CXTPDockBar* CanDock(CPoint pt, CXTPDockBar* pPreferred = nullptr) const;

    // ---- Frame messages
    // Alt+key routing to the menu bar before the frame handles a message; TRUE when consumed.
    BOOL PreTranslateFrameMessage(MSG* pMsg);
    // The frame's messages before its message map; TRUE when consumed (the result in *pResult).
    BOOL OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // ---- Popups
    // Shows the menu as a toolkit popup at the screen point and tracks it modally; see TrackPopupBar.
    static int TrackPopupMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT rcExclude = nullptr,
                              CWnd* pWndOwner = nullptr, CXTPCommandBars* pCommandBars = nullptr);
    // With TPM_RETURNCMD the chosen command (0 for none); else 1, or 0 when the popup cannot open.
    static int TrackPopupBar(CXTPPopupBar* pPopup, UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT rcExclude = nullptr,
                             CWnd* pWndOwner = nullptr);
    // The popup listing the toolbars, with a check mark on the visible ones.
    CXTPPopupBar* CreateToolbarsMenu();
    void ShowToolbarsMenu(int x, int y);
    // The controls of the toolbar's row that did not fit, cloned into the popup.
    void FillExpandHiddenControls(CXTPToolBar* pToolBar, CXTPPopupBar* pPopupBar);

    // ---- Options in the profile section "<name>-Options".
    void SaveOptions(LPCTSTR lpszProfileName);
    void LoadOptions(LPCTSTR lpszProfileName);

    // ---- Bar layout and customised bars in the profile sections "<name>-Bar<n>", "<name>-Summary",
    // "<name>-DockBar<n>" and "<name>-Controls" (large customised bars in a hidden file).
    // bOnlyCustomized leaves out built-in toolbars that are hidden or unchanged.
    void SaveBarState(LPCTSTR lpszProfileName, BOOL bOnlyCustomized = TRUE);
    // bSilent keeps the question about a toolbar changed by a program update from being asked.
    void LoadBarState(LPCTSTR lpszProfileName, BOOL bSilent = FALSE);
    // The file for large customised bars: the explicit one, else "<program path>-<name>".
    BOOL GetControlsFileName(CString& strFileName, LPCTSTR lpszProfileName) const;
    void SetControlsFileName(LPCTSTR lpszFileName) { m_strControlsFileName = lpszFileName; }
    // Where the file goes when the program's own folder cannot be written.
    void SetControlsDataFolder(LPCTSTR lpszFolder) { m_strControlsDataFolder = lpszFolder; }

    // ---- Rebar: a toolbar becomes a band of the frame's rebar (when it has one) instead of a docked bar.
    virtual BOOL AddToReBar(CXTPToolBar* pToolBar, int nBandStyle = -1);
    virtual void RemoveFromReBar(CXTPToolBar* pToolBar);

    HACCEL m_hDesignerAccels;
    BOOL m_bIgnoreShiftMenuKey;

protected:
    friend class CXTPCommandBar;

    // Customised bars: archived into "<name>-Controls" or the file, read back and applied to the program's.
    void SaveControls(LPCTSTR lpszProfileName, BOOL bOnlyCustomized);
    void LoadControls(LPCTSTR lpszProfileName, BOOL bSilent);
    BOOL ReadControls(LPCTSTR lpszProfileName, std::vector<CXTPCommandBar*>& arrLoaded);
    void ApplyLoadedBars(const std::vector<CXTPCommandBar*>& arrLoaded, BOOL bSilent);
    // The file in the data folder used when the program's folder cannot be written; empty without one.
    CString GetControlsDataFileName(LPCTSTR lpszProfileName) const;
    void ApplyBarInfo(CXTPBarStateInfo& state);

    CXTPCustomizeDropSource* m_pDropSource;
    CXTPPaintManager* m_pPaintManager;
    CXTPImageManager* m_pImageManager;
    CXTPControl* m_pCustomizeControl;
    BOOL m_bCustomizeMode;
    BOOL m_bCustomizable;
    UINT m_nMenuID;
    BOOL m_bRecalcLayout;
    BOOL m_bQuickCustomizeMode;
    CString m_strControlsFileName;
    CString m_strControlsDataFolder;
    CXTPCommandBarsOptions* m_pOptions;
    CWnd* m_pSite;
    std::vector<CXTPToolBar*> m_arrBars;
    CXTPDockBar* m_pDockBars[4];
};
