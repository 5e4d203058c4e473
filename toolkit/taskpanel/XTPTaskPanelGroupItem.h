// An entry of a group's client area: a link, a plain text, or a hosted child window that is shown while its
// group is open and still, and drawn from a snapshot while the group moves.
#pragma once

#include "framework/win/Gdi.h"
#include "toolkit/taskpanel/XTPTaskPanelItem.h"

class CXTPTaskPanelGroupItem : public CXTPTaskPanelItem
{
    DECLARE_SERIAL(CXTPTaskPanelGroupItem)

public:
    CXTPTaskPanelGroupItem();
    ~CXTPTaskPanelGroupItem() override;

    CXTPTaskPanelGroup* GetItemGroup() const override;

    void SetBold(BOOL bBold);
    BOOL IsBold() const { return m_bBold; }
    // A fixed size (0 measures that side); a hosted window narrower than the group takes a smaller width.
    void SetSize(int nWidth, int nHeight);
    CSize GetSize() const { return m_szFixed; }
    BOOL IsItemSelected() const { return m_bSelected; }
    void SetItemSelected(BOOL bSelected);
    // TaskPanelDefaultMetric in a side takes the paint manager's default.
    void SetMargins(int nLeft, int nTop, int nRight, int nBottom);
    const CRect& GetMarginsMember() const { return m_rcMargins; }

    // Hosts the window (the item becomes a control item as high as the window's client area).
    void SetControlHandle(HWND hWnd);
    HWND GetControlHandle() const { return m_hWnd; }
    BOOL HasSnapshot() const { return m_bmpSnapshot.GetSafeHandle() != nullptr; }

    // Relative to the group's client area: x in panel content coordinates, y from the client area's top.
    const CRect& GetItemRect() const { return m_rcItem; }

    virtual CRect CalcItemRect(CRect rc);
    virtual void DrawItem(CDC* pDC, CRect rc);
    // Places the hosted window over the item, or hides it behind a snapshot while the group moves or is shut.
    void OnAnimate();

    void Serialize(CArchive& ar) override;

protected:
    void CreateSnapshot();

    CRect m_rcMargins;
    CRect m_rcItem;
    BOOL m_bBold;
    BOOL m_bSelected;
    HWND m_hWnd;
    CSize m_szFixed;
    CBitmap m_bmpSnapshot;

    friend class CXTPTaskPanelGroup;
};
