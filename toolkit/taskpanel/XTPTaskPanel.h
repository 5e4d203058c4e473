// The task panel window: a vertical stack of collapsible groups of items, scrolled, animated, driven by mouse
// and keyboard, with drag and drop of items and groups, reporting to its owner with WM_TASKPANEL_NOTIFY.
#pragma once

#include "framework/core/Archive.h"
#include "framework/win/Controls.h"
#include "framework/win/OleDragDrop.h"
#include "framework/win/Wnd.h"
#include "toolkit/taskpanel/XTPTaskPanelDefines.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"
#include "toolkit/taskpanel/XTPTaskPanelItem.h"
#include "toolkit/taskpanel/XTPTaskPanelItems.h"
#include "toolkit/taskpanel/XTPTaskPanelPaintManager.h"

class CXTPImageManager;
class CXTPTaskPanel;
class CXTPTaskPanelDropTarget;

// One of the two item scroll buttons of the open group (behaviours 1 and 2).
class CXTPTaskPanelScrollButton
{
public:
    CXTPTaskPanelScrollButton(CXTPTaskPanel* pPanel, BOOL bUp);

    // Placed, with a group to scroll, and able to scroll (or sitting in a caption).
    BOOL IsVisible() const;

    BOOL m_bUp;
    BOOL m_bCanScroll;
    BOOL m_bPressed;
    CRect m_rc; // panel content coordinates
    BOOL m_bHot;
    CXTPTaskPanelGroup* m_pScrolledGroup;
    CXTPTaskPanelGroup* m_pCaptionGroup;
    CXTPTaskPanel* m_pPanel;
};

// The in-place editor of an item's caption: Enter or leaving it commits through the panel's RenameItem,
// Escape cancels.
class CXTPTaskPanelEditItem : public CEdit
{
    DECLARE_DYNAMIC(CXTPTaskPanelEditItem)

public:
    CXTPTaskPanelEditItem(CXTPTaskPanel* pPanel, CXTPTaskPanelItem* pItem);
    ~CXTPTaskPanelEditItem() override;

    CXTPTaskPanelItem* GetEditedItem() const { return m_pItem; }
    // Ends the edit; commits the text unless cancelled. The window is destroyed afterwards.
    void EndEdit(BOOL bCommit);

protected:
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

private:
    void Finish(BOOL bCommit, BOOL bGiveBackFocus);

    CXTPTaskPanel* m_pPanel;
    CXTPTaskPanelItem* m_pItem;
    BOOL m_bEnded;

    friend class CXTPTaskPanel;
};

// A DC to measure text on during a layout: the panel's shared one while it lays out, else one of its own.
class CXTPTaskPanelLayoutDC
{
public:
    explicit CXTPTaskPanelLayoutDC(CXTPTaskPanel* pPanel);
    ~CXTPTaskPanelLayoutDC();
    CXTPTaskPanelLayoutDC(const CXTPTaskPanelLayoutDC&) = delete;
    CXTPTaskPanelLayoutDC& operator=(const CXTPTaskPanelLayoutDC&) = delete;
    operator CDC*() const { return m_pDC; }

private:
    CDC* m_pDC;
    CDC m_dcOwn;
    HWND m_hWnd;
    BOOL m_bOwn;
};

class CXTPTaskPanel : public CWnd
{
    DECLARE_DYNAMIC(CXTPTaskPanel)

public:
    CXTPTaskPanel();
    ~CXTPTaskPanel() override;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // ---- Groups
    // A group with the caption and tooltip of the string resource nID (or an address kept as the id).
    CXTPTaskPanelGroup* AddGroup(UINT_PTR nID, int nIconIndex = -1);
    CXTPTaskPanelGroup* GetAt(int nIndex) const;
    int GetGroupCount() const;
    CXTPTaskPanelItems* GetGroups() const { return m_pGroups; }
    CXTPTaskPanelGroup* FindGroup(UINT_PTR nID) const;
    // The first group whose caption is exactly this text (case counts).
    CXTPTaskPanelGroup* FindGroupByCaption(LPCTSTR lpszCaption) const;
    void RemoveAllGroups();

    // ---- Layout and look
    void Reposition(BOOL bAnimate = TRUE);
    // While locked, layout and invalidation wait; unlocking lays out once.
    void SetLockRedraw(BOOL bLock);
    BOOL IsLockRedraw() const { return m_nLockRedraw != 0; }
    // The panel owns the new paint manager and deletes the old one.
    void SetCustomTheme(CXTPTaskPanelPaintManager* pPaintManager);
    CXTPTaskPanelPaintManager* GetPaintManager() const { return m_pPaintManager; }
    XTPTaskPanelTheme GetCurrentTheme() const { return m_nTheme; }
    void SetBehaviour(int nBehaviour);
    int GetBehaviour() const { return m_nBehaviour; }
    void SetHotTrackStyle(int nStyle);
    int GetHotTrackStyle() const;
    void SetItemLayout(int nLayout);
    int GetItemLayout() const;
    void SetMargins(int nLeft, int nTop, int nRight, int nBottom);
    const CRect& GetMarginsMember() const { return m_rcMargins; }
    CRect GetPanelMargins() const;
    void SetGroupSpacing(int nSpacing);
    int GetGroupSpacingMember() const { return m_nGroupSpacing; }
    int GetGroupSpacing() const;
    void SetIconSize(CSize szItemIcon, CSize szGroupIcon);
    CSize GetItemIconSize() const { return m_szItemIcon; }
    CSize GetGroupIconSize() const { return m_szGroupIcon; }
    // The panel's own image manager (add-referenced); null goes back to the toolkit-wide one.
    void SetImageManager(CXTPImageManager* pImageManager);
    CXTPImageManager* GetImageManager() const;

    // ---- Switches
    void EnableAnimation(BOOL bEnable = TRUE) { m_bAnimation = bEnable; }
    BOOL IsAnimationEnabled() const { return m_bAnimation; }
    void SetAnimationMode(int nMode);
    void AllowDrag(BOOL bAllow = TRUE) { m_bAllowDrag = bAllow; }
    BOOL IsAllowDrag() const { return m_bAllowDrag; }
    void AllowDrop(BOOL bAllow = TRUE) { m_bAllowDrop = bAllow; }
    BOOL IsAllowDrop() const { return m_bAllowDrop; }
    void AllowExpanding(BOOL bAllow = TRUE);
    BOOL IsExpandingAllowed() const { return m_bExpandingAllowed; }
    void AllowFocusCues(BOOL bAllow = TRUE) { m_bFocusCuesAllowed = bAllow; }
    void SetSelectItemOnFocus(BOOL bSelect = TRUE) { m_bSelectOnFocus = bSelect; }

    // ---- Groups open and shut
    BOOL IsGroupExpanded(const CXTPTaskPanelGroup* pGroup) const;
    void ExpandGroup(CXTPTaskPanelGroup* pGroup, BOOL bExpand);
    CXTPTaskPanelGroup* GetActiveGroup() const { return m_pActiveGroup; }

    // ---- Item states
    CXTPTaskPanelItem* GetHotItem() const { return m_pHotItem; }
    void SetHotItem(CXTPTaskPanelItem* pItem);
    CXTPTaskPanelItem* GetFocusedItem() const { return m_pFocusedItem; }
    void SetFocusedItem(CXTPTaskPanelItem* pItem, BOOL bShowFocusCues = FALSE);
    CXTPTaskPanelItem* GetPressedItem() const { return m_pPressedItem; }
    CPoint GetPressPoint() const { return m_ptPressed; }
    CXTPTaskPanelItem* GetDraggedItem() const { return m_pDraggedItem; }
    CXTPTaskPanelItem* GetDropTargetItem() const { return m_pDropTargetItem; }
    BOOL IsDrawFocusRect() const;
    void EnsureVisible(CXTPTaskPanelItem* pItem);

    // ---- Geometry
    // The group under a client point (none on a visible scroll button); *pbCaption tells whether on its caption.
    CXTPTaskPanelGroup* HitTestGroup(CPoint point, BOOL* pbCaption = nullptr) const;
    int GetScrollOffset() const;
    int GetContentHeight() const { return m_nContentHeight; }
    BOOL IsScrollBarShown() const { return m_bScrollBarShown; }
    CXTPTaskPanelScrollButton* GetScrollButton(BOOL bUp) const { return bUp ? m_pScrollUp : m_pScrollDown; }
    // Where a visible scroll button sits in the group's caption, else empty.
    CRect GetCaptionScrollButtonRect(const CXTPTaskPanelGroup* pGroup) const;
    // Marks the scroll button under a client point hot; (-1, -1) clears both.
    void HighlightScrollButtons(CPoint point);
    void UpdateScrollButtons();
    // The next item that accepts the focus: forward or back, by group only, or by a row of the icon grid.
    CXTPTaskPanelItem* GetNextItem(CXTPTaskPanelItem* pItem, int nDirection, BOOL bGroupsOnly,
                                   BOOL bByRow = FALSE) const;

    // ---- Renaming
    // Opens the in-place editor over the item's caption; FALSE without a window or for a hosted window.
    BOOL EditItemCaption(CXTPTaskPanelItem* pItem);
    CXTPTaskPanelEditItem* GetEditItem() const { return m_pEditItem; }

    // ---- Virtual operations
    virtual void OnClick(CXTPTaskPanelItem* pItem);
    virtual void OnStartItemDrag(CXTPTaskPanelItem* pItem);
    virtual void TrackGroupMove(CXTPTaskPanelGroup* pGroup);
    virtual void RenameItem(CXTPTaskPanelItem* pItem, LPCTSTR lpszNewCaption);
    virtual DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    virtual void OnItemRemoved(CXTPTaskPanelItem* pItem);
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

    // The groups and their items. Loading replaces them only when the whole archive reads; otherwise the
    // panel stays as it was and the error goes on to the caller.
    void Serialize(CArchive& ar) override;

protected:
    LRESULT NotifyOwner(WPARAM wCode, CXTPTaskPanelItem* pItem);
    // The group or item under a client point (a group on its caption, an item in its client area).
    CXTPTaskPanelItem* HitTestItem(CPoint point, BOOL bGroupIfNoItem = FALSE) const;
    void RepositionScrollButtons();
    void AnimateGroups(BOOL bCountStep);
    // Scrolls to a new position and repaints only what the move uncovers.
    void ScrollTo(int nPosition);
    int GetScrollLimit() const;
    // Takes one message for the modal loops: paints first, FALSE on WM_QUIT (posted again).
    BOOL PumpModalMessage(MSG& msg);
    void TrackScrollButton(CXTPTaskPanelScrollButton* pButton);
    void ForgetItem(CXTPTaskPanelItem*& pMember, BOOL bReferenced, CXTPTaskPanelItem* pItem);
    BOOL BelongsTo(const CXTPTaskPanelItem* pMember, const CXTPTaskPanelItem* pRemoved) const;
    void DrawPanel(CDC* pDC, const CRect& rcClip);
    void RefreshAnimationSetting();

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnDestroy();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSysColorChange();
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnMouseLeave();
    DECLARE_MESSAGE_MAP()

    CXTPTaskPanelItems* m_pGroups;
    CXTPTaskPanelPaintManager* m_pPaintManager;
    XTPTaskPanelTheme m_nTheme;
    int m_nLockRedraw;
    int m_nContentHeight;
    CRect m_rcMargins;
    int m_nGroupSpacing;
    BOOL m_bScrollBarShown;
    CXTPTaskPanelItem* m_pHotItem;
    CXTPTaskPanelItem* m_pFocusedItem;
    CXTPTaskPanelItem* m_pPressedItem;
    CXTPTaskPanelItem* m_pDraggedItem;
    CXTPTaskPanelItem* m_pDropTargetItem;
    BOOL m_bAnimation;
    int m_nAnimationMode;
    HCURSOR m_hHandCursor;
    UINT_PTR m_nAnimationTimer;
    int m_nAnimationStepsLeft;
    CXTPImageManager* m_pImageManager;
    BOOL m_bExpandingAllowed;
    BOOL m_bFocusCuesAllowed;
    BOOL m_bFocusCuesShown;
    CSize m_szItemIcon;
    CSize m_szGroupIcon;
    BOOL m_bSelectOnFocus;
    CPoint m_ptPressed;
    BOOL m_bAllowDrag;
    BOOL m_bAllowDrop;
    int m_nItemLayout;
    int m_nHotTrackStyle;
    int m_nBehaviour;
    CXTPTaskPanelGroup* m_pActiveGroup;
    CXTPTaskPanelDropTarget* m_pDropTarget;
    BOOL m_bHoverExpandArmed;
    CXTPTaskPanelScrollButton* m_pScrollDown;
    CXTPTaskPanelScrollButton* m_pScrollUp;

    // The DC text is measured on while a layout runs.
    CDC* m_pLayoutDC;
    CXTPTaskPanelEditItem* m_pEditItem;
    BOOL m_bOleInitialized;

    friend class CXTPTaskPanelLayoutDC;
    friend class CXTPTaskPanelDropTarget;
    friend class CXTPTaskPanelEditItem;
};
