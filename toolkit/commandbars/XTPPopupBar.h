// The bar of a drop-down or context menu: a borderless top-most window holding a column of controls, opened by a
// popup control of another bar or at a screen point. It places itself against the monitor's work area and the
// opening control, hides rarely used commands behind an expand button, scrolls when taller than the screen, tears
// off into a floating toolbar, animates its opening and gets drop shadows. CXTPPopupToolBar is the same window
// laid out in rows of buttons.
#pragma once

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"

class CXTPControlPopup;
class CXTPToolBar;

// Window timers of a popup bar.
#define XTP_TID_SCROLLDOWN 5001
#define XTP_TID_SCROLLUP 5002
#define XTP_TID_TEAROFF 5003

// The id of the expand button of popup menus.
#define XTP_ID_POPUPBAR_EXPAND 9402

// A control flag: the control's popup opens towards the left, aligned to the control's right edge.
#define XTP_FLAG_LEFT_POPUP 0x4

// Direction flags of a popup: towards the left, and dropped down below the exclusion rectangle.
enum XTPPopupDirection
{
    xtpPopupLeft = 1,
    xtpPopupDown = 2
};

// Where a popup of a measured size goes in a work area: the result of the placement rules.
struct XTPPopupPlacement
{
    CPoint ptPos;
    CSize szPopup;
    DWORD dwFlags;
    BOOL bScroll;
};

// The placement rules on their own: work area, exclusion rectangle (empty for a point), anchor point, measured
// size and direction flags give the window's place, its (possibly shortened) size and the new flags.
XTPPopupPlacement CalcPopupPlacement(const CRect& rcWork, const CRect& rcExclude, CPoint pt, CSize sz, DWORD dwFlags);

// The popup animation to use for a bar: 0 none by the system setting, 2 unfold, 3 slide, 4 fade, 5 none.
int GetPopupAnimationType(CXTPCommandBar* pBar);

class CXTPPopupBar : public CXTPCommandBar
{
    DECLARE_SERIAL(CXTPPopupBar)

public:
    CXTPPopupBar();
    ~CXTPPopupBar() override;

    // A new popup bar working for the manager (which may be null).
    static CXTPPopupBar* CreatePopupBar(CXTPCommandBars* pCommandBars);

    void Serialize(CArchive& ar) override;
    // Child windows of controls survive: they are hidden and handed to the site before the popup goes.
    BOOL DestroyWindow() override;

    void DelayRedraw() override;
    BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override;
    BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE) override;
    // Opens the popup for its opening control (null at the stored point); FALSE when no window can be made.
    virtual BOOL Popup(CXTPControlPopup* pControlPopup, BOOL bSelectFirst = FALSE);
    // The command bar slot: a popup at a screen point, placed against the exclusion rectangle when given.
    BOOL Popup(int x, int y, LPCRECT rcExclude) override;
    BOOL IsVisible() const override;
    void OnRecalcLayout() override;
    // The bar of the control that opens this popup.
    CXTPCommandBar* GetParentCommandBar() const override;
    int ProcessKeyDown(UINT nChar, LPARAM lParam = 0) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void DrawCommandBar(CDC* pDC) override;
    void OnControlsChanged() override;
    // The base copy with the tear-off settings, the shadow flag and the toolbar borders; Clone makes the same class.
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    // Each visible control's shortcut text from the site frame's accelerators.
    virtual void UpdateShortcuts();

    BOOL PopupAt(int x, int y, LPCRECT rcExclude = nullptr);
    // A non-zero id lets the popup be torn off into a floating toolbar of that id, caption and width.
    void SetTearOffPopup(LPCTSTR lpszCaption, UINT nBarID, int nWidth = 400);
    BOOL IsTearOffPopup() const { return m_bTearOffPopup; }
    // Shows the rarely used controls too.
    virtual void ExpandBar();
    BOOL IsExpanded() const { return m_bExpanded; }
    BOOL IsExpandButtonShown() const { return m_bShowExpandButton; }
    // The index (bByPosition) or id of the first visible default item; -1 without one.
    int GetDefaultItem(BOOL bByPosition) const;

    CXTPControlPopup* GetControlPopup() const { return m_pControlPopup; }
    void SetControlPopup(CXTPControlPopup* pControlPopup) { m_pControlPopup = pControlPopup; }
    DWORD GetPopupFlags() const { return m_dwPopupFlags; }
    // A popup opened at a point (not under a control) ends at the point instead of starting there.
    void SetRightAlign(BOOL bRightAlign) { m_bRightAlign = bRightAlign; }
    CRect GetExcludeRect() const { return m_rcExclude; }
    BOOL IsScrolling() const { return m_bScroll; }
    int GetFirstVisible() const { return m_nFirstVisible; }
    int GetLastVisible() const { return m_nLastVisible; }
    CRect GetScrollUpRect() const { return m_scrollUp.rc; }
    CRect GetScrollDownRect() const { return m_scrollDown.rc; }
    CRect GetTearOffGripper() const { return m_rcTearOffGripper; }
    BOOL GetShowShadow() const { return m_bShowShadow; }
    void SetShowShadow(BOOL bShow) { m_bShowShadow = bShow; }

    // Moves the visible part of a scrolling popup one row (bDown: towards the end); FALSE at the end already.
    BOOL ScrollBy(BOOL bDown);

protected:
    void UpdateFlags();
    void UpdateLocation(CSize sz);
    void UpdateExpandingState();
    // Lays the visible part of a scrolling popup out from the top (0) or from the bottom (1).
    void AdjustScrolling(CSize sz, int nDirection, BOOL bRedraw);
    CSize CalcMenuLayout(CDC* pDC);
    CSize CalcToolBarLayout(CDC* pDC);
    void AnimatePopup();
    void SetShadows();
    void TrackTearOff();
    void SwitchTearOff(BOOL bInside, CPoint pt);
    // The floating toolbar a torn-off popup becomes; the manager supplies it, the plain popup makes none.
    virtual CXTPCommandBar* CreateTearOffBar();
    BOOL CreatePopupWindow();
    // The height of everything above the first control and below the last.
    CRect GetMargins(CDC* pDC);

    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

    struct CScrollArea
    {
        CRect rc;
        UINT_PTR nTimer;
        CXTPPopupBar* pParent;
        UINT nTimerId;
    };

    BOOL m_bScroll;
    int m_nFirstVisible;
    int m_nLastVisible;
    CScrollArea m_scrollDown;
    CScrollArea m_scrollUp;
    CXTPControlPopup* m_pControlPopup;
    CPoint m_ptPopup;
    CRect m_rcExclude;
    DWORD m_dwPopupFlags;
    BOOL m_bInLayout;
    BOOL m_bShowExpandButton;
    BOOL m_bExpanded;
    BOOL m_bExpanding;
    BOOL m_bTearOffPopup;
    CRect m_rcTearOffGripper;
    BOOL m_bTearOffSelected;
    UINT_PTR m_nTearOffTimer;
    BOOL m_bTearOffTracking;
    CSize m_szTearOffBar;
    CXTPCommandBar* m_pTearOffBar;
    CString m_strTearOffCaption;
    UINT m_nTearOffID;
    int m_nTearOffWidth;
    BOOL m_bShowShadow;
    CRect m_rcPopupBorders;
    int m_nPopupReserved;
    BOOL m_bRightAlign = FALSE;
};

// The popup laid out as a small toolbar: rows of buttons.
class CXTPPopupToolBar : public CXTPPopupBar
{
    DECLARE_SERIAL(CXTPPopupToolBar)

public:
    CXTPPopupToolBar();
    ~CXTPPopupToolBar() override;

    static CXTPPopupToolBar* CreatePopupToolBar(CXTPCommandBars* pCommandBars);

    void Serialize(CArchive& ar) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
};

// The button at the foot of a popup menu that shows the rarely used commands.
class CXTPControlExpandButton : public CXTPControlButton
{
    DECLARE_SERIAL(CXTPControlExpandButton)

public:
    CXTPControlExpandButton();

    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void OnExecute() override;
    void OnMouseHover() override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;
};
