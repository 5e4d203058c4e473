// The manager of the command bars of one frame (its site): the options, paint and image managers and customise
// state the bars share, the record of rarely used commands, and the frame layout requests.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "framework/core/Geometry.h"
#include "framework/win/CmdTarget.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"

class CFrameWnd;
class CWnd;
class CXTPCommandBars;
class CXTPControl;
class CXTPCustomizeDropSource;
class CXTPImageManager;
class CXTPPaintManager;

// The customise command: a site with a handler for it lets the user customise its bars.
#define XTP_ID_CUSTOMIZE 35001

class CXTPCommandBarsOptions : public CCmdTarget
{
public:
    typedef CMap<UINT, UINT, BOOL, BOOL> CCommandMap;

    CXTPCommandBarsOptions();

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

    // Lays the site frame out again, now or (bDelay) at the next idle time; nothing while the layout is locked.
    void RecalcFrameLayout(BOOL bDelay = FALSE);
    BOOL IsLayoutLocked() const { return m_bRecalcLayout; }

    HACCEL m_hDesignerAccels;
    BOOL m_bIgnoreShiftMenuKey;

protected:
    friend class CXTPCommandBar;

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
    CXTPCommandBarsOptions* m_pOptions;
    CWnd* m_pSite;
};
