#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/Dc.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelItems.h"
#include "toolkit/taskpanel/XTPTaskPanelPaintManager.h"

IMPLEMENT_SERIAL(CXTPTaskPanelGroupItem, CXTPTaskPanelItem, VERSIONABLE_SCHEMA | 7)

CXTPTaskPanelGroupItem::CXTPTaskPanelGroupItem()
    : m_rcMargins(TaskPanelDefaultMetric, TaskPanelDefaultMetric, TaskPanelDefaultMetric, TaskPanelDefaultMetric),
      m_rcItem(0, 0, 0, 0), m_bBold(FALSE), m_bSelected(FALSE), m_hWnd(nullptr), m_szFixed(0, 0)
{
    m_nType = TaskPanelItemText;
}

CXTPTaskPanelGroupItem::~CXTPTaskPanelGroupItem()
{
    // The window is the owner's: it is only hidden.
    if (m_nType == TaskPanelItemControl && m_hWnd && ::IsWindow(m_hWnd))
        ::ShowWindow(m_hWnd, SW_HIDE);
}

CXTPTaskPanelGroup* CXTPTaskPanelGroupItem::GetItemGroup() const
{
    return m_pItems ? DYNAMIC_DOWNCAST(CXTPTaskPanelGroup, m_pItems->GetOwner()) : nullptr;
}

void CXTPTaskPanelGroupItem::SetBold(BOOL bBold)
{
    m_bBold = bBold;
    RepositionPanel();
}

void CXTPTaskPanelGroupItem::SetSize(int nWidth, int nHeight)
{
    m_szFixed = CSize(nWidth, nHeight);
    RepositionPanel();
}

void CXTPTaskPanelGroupItem::SetItemSelected(BOOL bSelected)
{
    if (m_bSelected != bSelected) {
        m_bSelected = bSelected;
        RedrawPanel();
    }
}

void CXTPTaskPanelGroupItem::SetMargins(int nLeft, int nTop, int nRight, int nBottom)
{
    m_rcMargins.SetRect(nLeft, nTop, nRight, nBottom);
    RepositionPanel();
}

void CXTPTaskPanelGroupItem::SetControlHandle(HWND hWnd)
{
    m_hWnd = hWnd;
    CRect rcClient(0, 0, 0, 0);
    if (hWnd)
        ::GetClientRect(hWnd, &rcClient);
    m_szFixed.cy = rcClient.Height();
    SetType(TaskPanelItemControl);
}

CRect CXTPTaskPanelGroupItem::CalcItemRect(CRect rc)
{
    CXTPTaskPanelGroup* pGroup = GetItemGroup();
    CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    if ((pGroup && pGroup->GetItemLayout() == TaskPanelLayoutIconGrid) || !pPaintManager)
        return rc;
    const CRect rcMargins = pPaintManager->GetItemMargins(this);
    const int nLeft = rc.left + rcMargins.left;
    const int nTop = rc.top + rcMargins.top;
    if (m_szFixed.cx != 0 || m_szFixed.cy != 0 || m_nType == TaskPanelItemControl)
        return CRect(nLeft, nTop, nLeft + m_szFixed.cx, nTop + m_szFixed.cy);
    CXTPTaskPanelLayoutDC dc(m_pPanel);
    return pPaintManager->DrawGroupItem(
        dc, this, CRect(nLeft, nTop, rc.right - rcMargins.right, rc.bottom - rcMargins.bottom), FALSE);
}

void CXTPTaskPanelGroupItem::DrawItem(CDC* pDC, CRect rc)
{
    if (m_nType == TaskPanelItemControl) {
        if (m_hWnd && ::IsWindowVisible(m_hWnd))
            return;
        BITMAP bm{};
        if (HasSnapshot() && m_bmpSnapshot.GetObject(sizeof(bm), &bm))
            CXTPTaskPanelPaintManager::DrawStateBitmap(pDC, CPoint(rc.left, rc.top), CSize(bm.bmWidth, bm.bmHeight),
                                                       static_cast<HBITMAP>(m_bmpSnapshot.GetSafeHandle()), DSS_NORMAL);
        return;
    }
    if (CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager())
        pPaintManager->DrawGroupItem(pDC, this, rc, TRUE);
}

void CXTPTaskPanelGroupItem::OnAnimate()
{
    if (m_nType != TaskPanelItemControl || !m_hWnd || !::IsWindow(m_hWnd))
        return;
    CXTPTaskPanelGroup* pGroup = GetItemGroup();
    CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    if (!pGroup || !m_pPanel || !pPaintManager)
        return;

    const CRect rcClient = pGroup->GetClientRect();
    // The group's own item scrolling moves its windows too.
    CPoint pt(m_rcItem.left, rcClient.top + m_rcItem.top - m_pPanel->GetScrollOffset() - pGroup->GetItemScrollOffset());
    if (!pGroup->IsAnimating() && pGroup->IsExpanded() && rcClient.Height() == pGroup->GetTargetClientRect().Height()) {
        const CRect rcMargins = pPaintManager->GetItemMargins(this);
        const CRect rcInner = pPaintManager->GetGroupInnerMargins(pGroup);
        int nWidth = rcClient.Width() - rcMargins.left - rcMargins.right - rcInner.left - rcInner.right;
        if (m_szFixed.cx > 0 && m_szFixed.cx < nWidth)
            nWidth = m_szFixed.cx;
        const HWND hParent = ::GetParent(m_hWnd);
        if (hParent && hParent != m_pPanel->GetSafeHwnd())
            ::MapWindowPoints(m_pPanel->GetSafeHwnd(), hParent, &pt, 1);
        ::SetWindowPos(m_hWnd, nullptr, pt.x, pt.y, nWidth, m_rcItem.Height(),
                       SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
        m_bmpSnapshot.DeleteObject();
    } else if (::IsWindowVisible(m_hWnd) || !HasSnapshot()) {
        CreateSnapshot();
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

void CXTPTaskPanelGroupItem::CreateSnapshot()
{
    m_bmpSnapshot.DeleteObject();
    CRect rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    if (rcWindow.IsRectEmpty())
        return;
    CScopedWindowDC dcWindow(m_hWnd);
    if (!dcWindow.Get())
        return;
    const int cx = rcWindow.Width();
    const int cy = rcWindow.Height();
    CScopedBitmap bmpWork(::CreateCompatibleBitmap(dcWindow, cx, cy));
    CScopedBitmap hSnapshot(::CreateCompatibleBitmap(dcWindow, cx, cy));
    if (!bmpWork.IsValid() || !hSnapshot)
        return;
    m_bmpSnapshot.Attach(hSnapshot.Detach());

    CXTPTaskPanelGroup* pGroup = GetItemGroup();
    CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    const COLORREF clrBack = pPaintManager
                                 ? pPaintManager->GetGroupColors(pGroup && pGroup->IsSpecialGroup())->clrClient
                                 : ::GetSysColor(COLOR_WINDOW);

    CScopedCreatedDC dcWork(::CreateCompatibleDC(dcWindow));
    CScopedCreatedDC dcSnapshot(::CreateCompatibleDC(dcWindow));
    {
        CScopedSelect selectWork(dcWork, bmpWork);
        CScopedSelect selectSnapshot(dcSnapshot, hSnapshot);
        CScopedBrush brush(::CreateSolidBrush(clrBack));
        const RECT rcAll = {0, 0, cx, cy};
        ::FillRect(dcWork, &rcAll, brush);
        ::SendMessageW(m_hWnd, WM_PRINT, reinterpret_cast<WPARAM>(dcWork.Get()), PRF_NONCLIENT);
        ::BitBlt(dcSnapshot, 0, 0, cx, cy, dcWork, 0, 0, SRCCOPY);

        POINT ptClient = {0, 0};
        ::ClientToScreen(m_hWnd, &ptClient);
        ::SetViewportOrgEx(dcSnapshot, ptClient.x - rcWindow.left, ptClient.y - rcWindow.top, nullptr);
        ::SendMessageW(m_hWnd, WM_PRINT, reinterpret_cast<WPARAM>(dcSnapshot.Get()),
                       PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    }
}

void CXTPTaskPanelGroupItem::Serialize(CArchive& ar)
{
    CXTPTaskPanelItem::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_rcMargins << m_bBold << static_cast<int>(m_szFixed.cx) << static_cast<int>(m_szFixed.cy) << m_bSelected;
        return;
    }
    int cx = 0;
    int cy = 0;
    ar >> m_rcMargins >> m_bBold >> cx >> cy >> m_bSelected;
    m_szFixed = CSize(cx, cy);
}
