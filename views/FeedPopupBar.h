// The headline drop-down: a popup command bar that lists one channel's headlines (CFeedViewControl rows) beside
// its entry in the navigation pane. It scrolls when the rows do not fit on the screen, keeps the channel's
// counts up to date, offers a context menu for opening, the enclosure and the read state, and writes the
// channel's cache file when it closes.
#pragma once

#include "toolkit/commandbars/XTPCommandBar.h"

class CFeedItem;
class CFeedPaneSite;
class CFeedViewControl;

// Timer ids of the two scroll buttons.
#define FEED_POPUP_TIMER_DOWN 5001
#define FEED_POPUP_TIMER_UP 5002

class CFeedPopupBar : public CXTPCommandBar
{
    DECLARE_SERIAL(CFeedPopupBar)

public:
    // One of the two scroll buttons: 16 pixels high across the bar's inner width.
    struct ScrollButton
    {
        UINT nTimerID;
        CRect rc;
        UINT_PTR nTimer;
        BOOL bCanScroll;
    };

    CFeedPopupBar();
    ~CFeedPopupBar() override;

    // A new bar working for the command bars (which may be null).
    static CFeedPopupBar* CreateFeedPopupBar(CXTPCommandBars* pCommandBars);

    // The subscription entry whose items the rows show (not owned).
    void SetChannelEntry(CFeedItem* pEntry) { m_pChannelEntry = pEntry; }
    CFeedItem* GetChannelEntry() const { return m_pChannelEntry; }
    void SetSite(CFeedPaneSite* pSite) { m_pSite = pSite; }

    // Whether a record is shown: the channel entry itself or the item of one of the rows.
    BOOL ShowsRecord(const CFeedItem* pRecord) const;

    int GetScrollOffset() const { return m_nScrollOffset; }
    BOOL IsScrolling() const { return m_bScrolling; }
    int GetRowsHeight() const { return m_nRowsHeight; }
    const ScrollButton& GetScrollButton(BOOL bUp) const { return bUp ? m_btnUp : m_btnDown; }
    // The row under a client point (the scroll offset is added here), or null.
    CFeedViewControl* RowFromPoint(CPoint point) const;
    // The row of the last right click.
    CFeedViewControl* GetContextRow() const { return m_pContextRow; }

    // ---- Command bar behaviour.
    void Serialize(CArchive& ar) override;
    BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override;
    BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE) override;
    BOOL Popup(int x, int y, LPCRECT rcExclude) override;
    CXTPCommandBar* GetParentCommandBar() const override { return nullptr; }
    int ProcessKeyDown(UINT nChar, LPARAM lParam = 0) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void DrawCommandBar(CDC* pDC) override;
    void OnControlsChanged() override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    CXTPCommandBar* Clone(BOOL bRecursive = FALSE) override;

    // Scrolls by a number of pixels within the rows, as one step of a scroll button's timer.
    void ScrollBy(int nDelta);

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg LRESULT OnPopupBarStart(WPARAM wParam, LPARAM lParam);
    afx_msg void OnDestroy();
    afx_msg void OnOpen();
    afx_msg void OnDownloadEnclosure();
    afx_msg void OnUpdateDownloadEnclosure(CCmdUI* pCmdUI);
    afx_msg void OnMarkRead();
    afx_msg void OnUpdateMarkRead(CCmdUI* pCmdUI);
    afx_msg void OnMarkUnread();
    afx_msg void OnUpdateMarkUnread(CCmdUI* pCmdUI);
    afx_msg void OnMarkAllRead();
    DECLARE_MESSAGE_MAP()

    // The context menu's bar while it still has a window.
    BOOL IsContextPopupOpen() const;
    void CloseContextPopup();
    // Recounts the channel entry and redraws the main window with its children.
    void RecountAndRedraw();
    void LayoutScrollButtons();
    void KillScrollTimer(ScrollButton& button);
    // The height between the borders less the two scroll buttons.
    int GetVisibleBand() const;

    CFeedItem* m_pChannelEntry;
    CFeedViewControl* m_pContextRow;
    HWND m_hContextPopup; // a handle: the menu's bar object may be gone before we look again
    BOOL m_bContextMenu;
    int m_nScrollOffset;
    int m_nRowsHeight;
    BOOL m_bScrolling;
    ScrollButton m_btnDown;
    ScrollButton m_btnUp;
    BOOL m_bTearOffPopup;
    CString m_strTearOffCaption;
    UINT m_nTearOffID;
    int m_nTearOffWidth;
    CPoint m_ptPopup;
    CRect m_rcExclude;
    DWORD m_dwPopupFlags;
    CFeedPaneSite* m_pSite;
    BOOL m_bDestroying;
};
