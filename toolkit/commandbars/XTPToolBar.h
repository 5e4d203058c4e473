// The dockable toolbar: sits in a row of a dock bar, floats as its own small window with a caption and a close
// button, or fills the top of any frame stand-alone. It loads its buttons from a toolbar resource, shows the
// buttons that do not fit behind a chevron, resets itself to its resource layout and hands drag, dock and resize
// gestures to its dock context.
#pragma once

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControlPopup.h"

class CXTPDockBar;
class CXTPDockContext;
class CXTPToolBar;

// Ids and kinds of the toolbar's own controls.
#define XTP_ID_TOOLBAR_EXPAND 9400
#define XTP_ID_TOOLBAR_HIDE 9401

// Docking flags of a toolbar.
enum XTPDockingFlags
{
    xtpFlagAlignTop = 0x1,
    xtpFlagAlignBottom = 0x2,
    xtpFlagAlignLeft = 0x4,
    xtpFlagAlignRight = 0x8,
    xtpFlagAlignAny = 0xF,
    xtpFlagFloating = 0x10,
    xtpFlagHideWrap = 0x20,
    xtpFlagStretched = 0x40
};

// The width of the strip at the end of a docked bar that holds the chevron.
#define XTP_EXPAND_STRIP 11

// The close button of a floating toolbar.
class CXTPControlFloatingClose : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlFloatingClose)

public:
    CXTPControlFloatingClose();
    void Draw(CDC* pDC) override;
    // Hiding may delete the bar (a custom toolbar leaves its manager): the bar hides itself once the click is over.
    void OnExecute() override;
};

// The chevron: opens a popup with the controls that did not fit.
class CXTPControlToolbarExpand : public CXTPControlPopup
{
    DECLARE_DYNCREATE(CXTPControlToolbarExpand)

public:
    CXTPControlToolbarExpand();
    void Draw(CDC* pDC) override;
    void SetRect(CRect rcControl) override;
    BOOL OnSetPopup(BOOL bPopup) override;
    BOOL HasHiddenControls() const { return m_bHiddenControls; }

protected:
    BOOL m_bHiddenControls;
};

class CXTPToolBar : public CXTPCommandBar
{
    DECLARE_SERIAL(CXTPToolBar)

public:
    CXTPToolBar();
    ~CXTPToolBar() override;

    void Serialize(CArchive& ar) override;
    // Applies a saved layout record: remembered sizes, position and visibility.
    void SetBarInfo(CXTPBarInfo* pInfo);

    // Remembers the resource as the reset layout and keeps the loaded controls for a reset.
    BOOL LoadToolBar(UINT nIDResource, BOOL bLoadIcons = TRUE) override;
    void SetVisible(BOOL bVisible) override;
    BOOL IsVisible() const override;
    BOOL SetPosition(XTPBarPosition barPosition) override;
    void OnRecalcLayout() override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    CXTPCommandBar* Clone(BOOL bRecursive = FALSE) override;

    // The layout on a dock bar, or stand-alone; nWidth is the row's thickness when known.
    virtual CSize CalcDockingLayout(int nLength, DWORD dwMode, int nWidth = 0);
    // Asks the user, then restores the kept controls (or the resource) of the toolbar.
    virtual void Reset(BOOL bShowWarning = TRUE);
    // Creates the window when needed and switches it between floating (owned by pParentWnd) and docked styles.
    virtual BOOL Create(CWnd* pParentWnd, BOOL bFloating);

    // A toolbar filling the top of any frame's client area, without the manager.
    BOOL CreateToolBar(DWORD dwStyle, CWnd* pParentWnd, UINT nID = AFX_IDW_TOOLBAR);
    // Builds one button for every non-zero id; 0 marks the next button as beginning a group.
    BOOL SetButtons(const UINT* pButtons, int nCount);

    void EnableDocking(DWORD dwFlags);
    DWORD GetEnableDocking() const { return m_dwDockingFlags; }
    CXTPDockBar* GetDockBar() const { return m_pDockBar; }
    void SetDockBar(CXTPDockBar* pDockBar) { m_pDockBar = pDockBar; }
    CXTPDockContext* GetDockContext() const { return m_pDockContext; }
    BOOL IsBuiltIn() const { return m_bBuiltIn; }
    void SetBuiltIn(BOOL bBuiltIn) { m_bBuiltIn = bBuiltIn; }
    BOOL IsCustomBar() const { return m_bCustomBar; }
    void SetCustomBar(BOOL bCustom) { m_bCustomBar = bCustom; }
    UINT GetResetID() const { return m_nResetID; }
    BOOL IsFloating() const { return m_barPosition == xtpBarFloating; }

    // Print preview hides a visible toolbar and shows it again afterwards.
    void OnSetPreviewMode(BOOL bPreview);

    // Fills the chevron's popup: the hidden controls of the row, then the customise entry.
    virtual void FillExpandPopup(CXTPPopupBar* pPopupBar);

protected:
    // The chevron and the close button, created on demand; null when bCreate is off and there is none.
    CXTPControl* FindOrCreateSpecial(int nID, BOOL bCreate);
    BOOL IsExpandButtonAlways() const;

    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

    CXTPDockBar* m_pDockBar;
    CXTPDockContext* m_pDockContext;
    BOOL m_bBuiltIn;
    BOOL m_bCustomBar;
    BOOL m_bPreviewVisible;
    BOOL m_bPreviewMode;
    int m_nThemeValue;
    DWORD m_dwDockingFlags;
    UINT m_nResetID;

    friend class CXTPDockBar;
    friend class CXTPDockContext;
};
