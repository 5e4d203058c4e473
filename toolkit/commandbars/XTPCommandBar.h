// The window under every command bar of the toolkit: toolbars, the menu bar and popups. It holds the bar's
// controls, finds the manager, paint manager, image manager and command window it works for, tracks the hot and
// the open control, runs keyboard navigation and mnemonics while it tracks, dispatches clicks to its controls,
// paints itself through the paint manager, updates its controls from the command handlers and answers customise
// drags.
#pragma once

#include "framework/core/Archive.h"
#include "framework/core/Collections.h"
#include "framework/win/Wnd.h"
#include "toolkit/base/XTPHookManager.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"

#include <ole2.h>

class CFrameWnd;
class CMenu;
class CXTPBarInfo;
class CXTPCommandBars;
class CXTPControl;
class CXTPControls;
class CXTPImageManager;
class CXTPPaintManager;

class CXTPCommandBar : public CWnd, public CXTPHookManagerHookAble, public CXTPTrackingBar
{
    DECLARE_SERIAL(CXTPCommandBar)

public:
    CXTPCommandBar();
    ~CXTPCommandBar() override;

    void Serialize(CArchive& ar) override;
    // Destroys the window (when there still is one) before the object.
    void OnFinalRelease() override;
    // The key sink: in tracking mode, WM_KEYDOWN goes to ProcessKeyDown.
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    // What the thread's mouse manager asks of a tracked bar.
    HWND GetTrackingWindow() const override { return GetSafeHwnd(); }
    BOOL IsTrackingCustomize() const override { return IsCustomizeMode(); }
    void ClearTrackingSelection() override { SetSelected(-1, FALSE); }
    void LeaveTrackingMode() override { SetTrackingMode(FALSE, TRUE, FALSE); }
    // Always the command bar's handler, whatever a derived bar adds for moves over its own window.
    void OnTrackingMouseMove(POINT ptClient) override { CXTPCommandBar::OnMouseMove(0, CPoint(ptClient)); }

    // ---- Overridable behaviour, in slot order.
    virtual void DelayRedraw();
    // Marks the layout for the next command-UI update.
    void DelayLayout() { m_dwPending |= xtpPendingLayout; }
    // Enters (bMode 1 or 2) or leaves (0) tracking mode; FALSE when only the stored mode changed.
    virtual BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE);
    virtual BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE);
    virtual BOOL LoadToolBar(UINT nIDResource, BOOL bLoadIcons = TRUE);
    // Shows the bar at a screen point; only popups open.
    virtual BOOL Popup(int x, int y, LPCRECT rcExclude);
    virtual void SetVisible(BOOL bVisible);
    virtual BOOL IsVisible() const;
    virtual BOOL SetPosition(XTPBarPosition barPosition);
    virtual BOOL IsCustomizable() const;
    virtual void OnRecalcLayout();
    virtual CXTPCommandBar* GetParentCommandBar() const;
    virtual int ProcessKeyDown(UINT nChar, LPARAM lParam = 0);
    virtual CSize CalcDynamicLayout(int nLength, DWORD dwMode);
    virtual BOOL ProcessSpecialKey(XTPSpecialKey key);
    virtual void DrawCommandBar(CDC* pDC);
    virtual void OnControlsChanged();
    virtual void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE);
    virtual void CollectCommandBars(int& nCounter, CPtrArray* pList);
    virtual void RestoreCommandBarList(CPtrArray* pList);
    virtual void OnUpdateCmdUI(BOOL bDisableIfNoHandler, WPARAM wParam);
    virtual CXTPCommandBar* Clone(BOOL bRecursive = FALSE);
    // The bar's button size: the icon size plus 7 each way unless set.
    virtual CSize GetButtonSize() const;

    // ---- Owners.
    CXTPCommandBar* GetRootParent() const;
    CXTPCommandBars* GetCommandBars() const;
    void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
    BOOL IsCustomizeMode() const;
    CFrameWnd* GetFrameSite() const;
    // Where status texts and tracking notices go.
    CWnd* GetSite() const;
    // Where commands and notifications go: the root's notify window, else the site.
    CWnd* GetOwnerSite() const;
    // The explicit owner of a root bar; it is also the window's framework owner.
    void SetOwner(CWnd* pOwner)
    {
        m_pOwner = pOwner;
        CWnd::SetOwner(pOwner);
    }
    CWnd* GetOwnerWindow() const { return m_pOwner; }
    void SetNotifyWindow(CWnd* pWnd) { m_pNotifyWindow = pWnd; }
    CXTPPaintManager* GetPaintManager() const;
    CXTPImageManager* GetImageManager() const;
    // Take over the caller's reference.
    void SetPaintManager(CXTPPaintManager* pPaintManager);
    void SetImageManager(CXTPImageManager* pImageManager);

    // ---- Controls and state.
    CXTPControls* GetControls() const { return m_pControls; }
    void SetControls(CXTPControls* pControls);
    CXTPControl* GetControl(int nIndex) const;
    int GetControlCount() const;
    int GetSelected() const { return m_nSelected; }
    CXTPControl* GetSelectedControl() const { return GetControl(m_nSelected); }
    int GetPopuped() const { return m_nPopuped; }
    BOOL SetPopuped(int nPopuped, BOOL bKeyboard = FALSE);
    BOOL IsTrackingMode() const { return m_bTracking != 0; }
    int GetTrackingMode() const { return m_bTracking; }
    BOOL EndTracking() { return SetTrackingMode(FALSE, TRUE, FALSE); }
    BOOL IsKeyboardSelection() const { return m_bKeyboardSelect; }
    // Finds the control whose access key is chHotKey, searching from after the selection.
    int FindAccel(wchar_t chHotKey, BOOL& bAmbiguous) const;
    CXTPControl* GetKeyControl() const { return m_pKeyControl; }
    void SetKeyControl(CXTPControl* pControl) { m_pKeyControl = pControl; }
    HWND GetSavedFocus() const { return m_hwndFocus; }
    // A field control that took the focus names the window to give it back to.
    void SetSavedFocus(HWND hWnd) { m_hwndFocus = hWnd; }

    XTPBarPosition GetPosition() const { return m_barPosition; }
    void SetBarPosition(XTPBarPosition barPosition) { m_barPosition = barPosition; }
    XTPBarType GetType() const { return m_barType; }
    void SetType(XTPBarType barType) { m_barType = barType; }
    UINT GetBarID() const { return m_nBarID; }
    void SetBarID(UINT nID) { m_nBarID = nID; }
    DWORD GetFlags() const { return m_dwFlags; }
    void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
    CString GetTitle() const { return m_strTitle; }
    void SetTitle(LPCTSTR lpszTitle);
    int GetWidth() const { return m_nMRUWidth; }
    void SetWidth(int nWidth) { m_nMRUWidth = nWidth; }
    CSize GetIconSize() const;
    void SetIconSize(CSize size) { m_szIcons = size; }
    void SetButtonSize(CSize size) { m_szButtons = size; }
    // Text below icons: 0 no, 1 yes, 2 the manager's option.
    void SetTextBelowIcons(int nTextBelow) { m_nTextBelow = nTextBelow; }
    BOOL IsTextBelowIcons() const;
    BOOL IsLayoutRTL() const;
    BOOL IsVerticalPosition() const;
    BOOL IsPopupBar() const { return m_barPosition == xtpBarPopup; }
    void SetCustomizable(BOOL bCustomizable) { m_bCustomizable = bCustomizable; }
    BOOL GetShowGripper() const;
    void SetCloseable(BOOL bCloseable) { m_bCloseable = bCloseable; }
    BOOL IsCloseable() const { return m_bCloseable; }
    // Listed bars appear in the toolbars popup.
    BOOL IsListed() const { return m_bListed; }
    // The root bar chooses items with the right button (popups tracked with TPM_RIGHTBUTTON).
    void SetRightButtonChooses(BOOL bRight) { m_bRightButton = bRight; }
    BOOL IsRightButtonChooses() const { return m_bRightButton; }
    void SetNoNotify(BOOL bNoNotify) { m_bNoNotify = bNoNotify; }
    // Where a modal popup stores the chosen command (TPM_RETURNCMD).
    void SetReturnCommand(int* pnReturn) { m_pReturnCmd = pnReturn; }
    int* GetReturnCommand() const { return m_pReturnCmd; }

    // The bar's saved layout record: id, visibility, placement and remembered sizes.
    void GetBarInfo(CXTPBarInfo* pInfo);

    // Fills the bar from a menu; separators and items without a command begin a group.
    BOOL LoadMenu(CMenu* pMenu, BOOL bRemoveControls = TRUE);

    // ---- Customise drag and drop.
    virtual DROPEFFECT OnCustomizeDragEnter(CXTPControl* pDataObject, CPoint point);
    virtual DROPEFFECT OnCustomizeDragOver(CXTPControl* pDataObject, CPoint point);
    // Drops pDataObject at ptEnd; the drag started at ptStart (both in client coordinates).
    virtual void OnCustomizeDrop(CXTPControl* pDataObject, DROPEFFECT& dropEffect, CPoint ptStart, CPoint ptEnd);
    void HideDropMarker();
    CRect GetDropMarker() const { return m_rcMarker; }

    // Status texts: the selected control's description, else the idle message.
    void UpdateStatusText(CXTPControl* pControl);

    // ---- Mouse dispatch; the popup mouse tracking also calls OnMouseMove for moves over other windows.
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);

protected:
    // Adds the control for a command: the site may supply it (WM_XTP_CREATE_CONTROL) or change its type and
    // style; otherwise a control of the requested type.
    CXTPControl* AddControlFromSite(int nID, int nIndex);

    // Finds the insertion index for a customise drop at a client point; the marker rectangle and the after flag
    // come back too. -1 appends.
    int FindCustomizeIndex(CXTPControl* pDataObject, CPoint point, CRect& rcMarker, BOOL& bAfter) const;
    void DrawDropMarker(CDC* pDC);
    CXTPControl* HitTestControl(CPoint point) const;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    afx_msg void OnNcMouseMove(UINT nHitTest, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnInitialUpdate(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    BOOL IsHelpMode() const;

    // Pending work served by the next command-UI update.
    enum
    {
        xtpPendingLayout = 1,
        xtpPendingRedraw = 2
    };

    int m_nReserved;
    int m_nMRUWidth;
    int m_nSelected;
    int m_nPopuped;
    HWND m_hwndFocus;
    UINT m_nBarID;
    BOOL m_bVisible;
    int m_bTracking;
    CWnd* m_pOwner;
    DWORD m_dwPending;
    DWORD m_dwFlags;
    DWORD m_dwStyle;
    CString m_strTitle;
    XTPBarType m_barType;
    CXTPControl* m_pKeyControl;
    CXTPControls* m_pControls;
    XTPBarPosition m_barPosition;
    CXTPCommandBars* m_pCommandBars;
    CWnd* m_pNotifyWindow;
    CSize m_szIcons;
    // The bar's button size; 0 x 0 is the icon size plus 7 each way.
    CSize m_szButtons;
    int m_nTextBelow;
    BOOL m_bRightButton;
    BOOL m_bNoNotify;
    BOOL m_bKeyboardSelect;
    BOOL m_bCloseable;
    BOOL m_bCustomizable;
    CRect m_rcMarker;
    BOOL m_bVerticalMarker;
    int m_nReserved2;
    int* m_pReturnCmd;
    BOOL m_bListed;
    BOOL m_bMouseTracking;
    int m_nLoadedSchema;
    CXTPPaintManager* m_pPaintManager;
    CXTPImageManager* m_pImageManager;

public:
    // Set when the bar entered tracking mode by the mouse, neither by keyboard nor with select-first: its next
    // popup animates.
    BOOL m_bAnimatePopup;
};
