// A group of the task panel: a caption and a client area of items, with its layout, the expand and collapse
// animation step, and item scrolling for the behaviours with one open group.
#pragma once

#include "framework/win/ImageList.h"
#include "toolkit/taskpanel/XTPTaskPanelItem.h"

class CXTPTaskPanelGroupItem;

// Field by field: the platform's comparison may call any two empty rectangles equal.
inline BOOL IsSameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class CXTPTaskPanelGroup : public CXTPTaskPanelItem
{
    DECLARE_SERIAL(CXTPTaskPanelGroup)

public:
    explicit CXTPTaskPanelGroup(CXTPTaskPanel* pPanel = nullptr);
    ~CXTPTaskPanelGroup() override;

    // ---- Items
    // A link with the caption and tooltip of the string resource nID (or an address kept as the id), -1 no icon.
    CXTPTaskPanelGroupItem* AddLinkItem(UINT_PTR nID, int nIconIndex = -1);
    // A plain text item.
    CXTPTaskPanelGroupItem* AddTextItem(LPCTSTR lpszText);
    // An item hosting a child window, as high as the window's client area.
    CXTPTaskPanelGroupItem* AddControlItem(HWND hWnd);
    CXTPTaskPanelItem* GetAt(int nIndex) const;
    int GetItemCount() const;
    CXTPTaskPanelItems* GetItems() const { return m_pItems; }
    // Every item's selected flag becomes (it is pItem).
    void SelectItem(CXTPTaskPanelItem* pItem);

    // ---- State
    void SetExpanded(BOOL bExpanded);
    BOOL IsExpanded() const;
    // The group's own flag: what behaviour 0 shows.
    BOOL IsExpandedFlag() const { return m_bExpanded; }
    BOOL IsExpandable() const;
    void SetExpandable(BOOL bExpandable);
    BOOL IsAcceptFocus() const override;
    BOOL IsSpecialGroup() const { return m_bSpecial; }
    void SetSpecialGroup(BOOL bSpecial);
    BOOL IsCaptionVisible() const { return m_bCaptionVisible; }
    void ShowCaption(BOOL bShow);
    BOOL IsAnimating() const { return m_bAnimating; }

    int GetItemLayout() const;
    // 0 takes the panel's layout.
    void SetItemLayout(int nLayout);

    // TaskPanelDefaultMetric in a side takes the paint manager's default.
    void SetOuterMargins(int nLeft, int nTop, int nRight, int nBottom);
    void SetInnerMargins(int nLeft, int nTop, int nRight, int nBottom);
    const CRect& GetOuterMarginsMember() const { return m_rcOuterMargins; }
    const CRect& GetInnerMarginsMember() const { return m_rcInnerMargins; }

    // One picture at the bottom right of the client area (a copy of the bitmap is kept); null removes it.
    BOOL SetBackgroundImage(HBITMAP hBitmap, COLORREF clrMask = CLR_NONE);
    CImageList* GetBackgroundImageList() { return &m_ilBackground; }

    // ---- Geometry (panel content coordinates unless said otherwise)
    const CRect& GetTargetRect() const { return m_rcTarget; }
    const CRect& GetCurrentRect() const { return m_rcCurrent; }
    int GetCaptionHeight() const { return m_nCaptionHeight; }
    int GetFullClientHeight() const { return m_nFullClientHeight; }
    CRect GetCaptionRect() const;
    CRect GetClientRect() const;
    CRect GetTargetClientRect() const;
    int GetFirstVisibleItem() const { return m_nFirstVisibleItem; }
    int GetItemsInRow() const { return m_nItemsInRow; }
    // How far the items are scrolled up within the client area.
    int GetItemScrollOffset() const;

    // The item under a panel client point of an expanded group; pRect gets its rectangle in client coordinates.
    CXTPTaskPanelItem* HitTest(CPoint point, CRect* pRect = nullptr) const;

    void Draw(CDC* pDC);
    // The background picture; derived groups may paint more.
    virtual void OnFillClient(CDC* pDC, CRect rc);

    // ---- Layout and animation (called by the panel)
    CRect CalcLayout(CRect rc, BOOL bAnimate);
    int CalcClientHeight();
    void Step(int nStepsLeft);
    int GetAvailableClientHeight() const;
    void ScrollItems(int nDelta);
    BOOL CanScroll(BOOL bUp) const;
    void EnsureVisible(CXTPTaskPanelItem* pItem);

    void Serialize(CArchive& ar) override;

protected:
    CRect m_rcTarget;
    CRect m_rcCurrent;
    CRect m_rcOuterMargins;
    CRect m_rcInnerMargins;
    int m_nCaptionHeight;
    BOOL m_bSpecial;
    BOOL m_bExpandable;
    BOOL m_bExpanded;
    BOOL m_bAnimating;
    int m_nFullClientHeight;
    BOOL m_bCaptionVisible;
    CImageList m_ilBackground;
    CSize m_szBackground;
    int m_nFirstVisibleItem;
    int m_nItemsInRow;
    CXTPTaskPanelItems* m_pItems;
    int m_nItemLayout;
    // Whether any item hosts a window, as of the last layout: animation steps skip the items otherwise.
    BOOL m_bHasControlItems;
    // Never laid out: the first layout places it without animation.
    BOOL m_bPlaced;

    friend class CXTPTaskPanel;
    friend class CXTPTaskPanelItems;
};
