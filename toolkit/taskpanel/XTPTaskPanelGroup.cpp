#include "toolkit/taskpanel/XTPTaskPanelGroup.h"

#include "framework/core/Exceptions.h"
#include "framework/win/Dc.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"
#include "toolkit/taskpanel/XTPTaskPanelItems.h"
#include "toolkit/taskpanel/XTPTaskPanelPaintManager.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_SERIAL(CXTPTaskPanelGroup, CXTPTaskPanelItem, VERSIONABLE_SCHEMA | 7)

namespace {

const CRect kDefaultMargins(TaskPanelDefaultMetric, TaskPanelDefaultMetric, TaskPanelDefaultMetric,
                            TaskPanelDefaultMetric);

// One animation step of an edge: at least a pixel, never past the target.
int StepTowards(int nCurrent, int nTarget, int nStepsLeft)
{
    const int nDistance = nTarget - nCurrent;
    if (nDistance == 0)
        return nCurrent;
    const int nMove = std::min(std::abs(nDistance), std::max(1, std::abs(nDistance) / nStepsLeft));
    return nCurrent + (nDistance > 0 ? nMove : -nMove);
}

} // namespace

CXTPTaskPanelGroup::CXTPTaskPanelGroup(CXTPTaskPanel* pPanel)
    : m_rcTarget(0, 0, 0, 0), m_rcCurrent(0, 0, 0, 0), m_rcOuterMargins(kDefaultMargins),
      m_rcInnerMargins(kDefaultMargins), m_nCaptionHeight(0), m_bSpecial(FALSE), m_bExpandable(TRUE), m_bExpanded(TRUE),
      m_bAnimating(FALSE), m_nFullClientHeight(0), m_bCaptionVisible(TRUE), m_szBackground(0, 0),
      m_nFirstVisibleItem(0), m_nItemsInRow(1), m_pItems(nullptr), m_nItemLayout(TaskPanelLayoutDefault),
      m_bHasControlItems(FALSE), m_bPlaced(FALSE)
{
    m_pPanel = pPanel;
    m_nType = TaskPanelItemGroup;
    m_pItems = new CXTPTaskPanelItems(pPanel, this);
}

CXTPTaskPanelGroup::~CXTPTaskPanelGroup()
{
    m_pItems->Clear(FALSE);
    m_pItems->InternalRelease();
}

// ---- Items

CXTPTaskPanelGroupItem* CXTPTaskPanelGroup::AddLinkItem(UINT_PTR nID, int nIconIndex)
{
    auto* pItem = new CXTPTaskPanelGroupItem();
    pItem->m_nType = TaskPanelItemLink;
    pItem->m_nIconIndex = nIconIndex;
    m_pItems->Add(pItem, nID);
    return pItem;
}

CXTPTaskPanelGroupItem* CXTPTaskPanelGroup::AddTextItem(LPCTSTR lpszText)
{
    auto* pItem = new CXTPTaskPanelGroupItem();
    pItem->m_strCaption = lpszText;
    m_pItems->Add(pItem, 0);
    return pItem;
}

CXTPTaskPanelGroupItem* CXTPTaskPanelGroup::AddControlItem(HWND hWnd)
{
    auto* pItem = new CXTPTaskPanelGroupItem();
    pItem->m_hWnd = hWnd;
    pItem->m_nType = TaskPanelItemControl;
    CRect rcClient(0, 0, 0, 0);
    if (hWnd)
        ::GetClientRect(hWnd, &rcClient);
    pItem->m_szFixed.cy = rcClient.Height();
    m_pItems->Add(pItem, 0);
    return pItem;
}

CXTPTaskPanelItem* CXTPTaskPanelGroup::GetAt(int nIndex) const
{
    return m_pItems->GetAt(nIndex);
}

int CXTPTaskPanelGroup::GetItemCount() const
{
    return m_pItems->GetCount();
}

void CXTPTaskPanelGroup::SelectItem(CXTPTaskPanelItem* pItem)
{
    for (int i = 0; i < m_pItems->GetCount(); ++i)
        if (auto* pGroupItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, m_pItems->GetAt(i)))
            pGroupItem->SetItemSelected(pGroupItem == pItem);
}

// ---- State

void CXTPTaskPanelGroup::SetExpanded(BOOL bExpanded)
{
    if (m_pPanel)
        m_pPanel->ExpandGroup(this, bExpanded);
    else
        m_bExpanded = bExpanded;
}

BOOL CXTPTaskPanelGroup::IsExpanded() const
{
    return m_pPanel ? m_pPanel->IsGroupExpanded(this) : m_bExpanded;
}

BOOL CXTPTaskPanelGroup::IsExpandable() const
{
    return m_bExpandable && (!m_pPanel || m_pPanel->IsExpandingAllowed()) && m_bEnabled;
}

void CXTPTaskPanelGroup::SetExpandable(BOOL bExpandable)
{
    m_bExpandable = bExpandable;
    RedrawPanel();
}

BOOL CXTPTaskPanelGroup::IsAcceptFocus() const
{
    return CXTPTaskPanelItem::IsAcceptFocus() && IsExpandable();
}

void CXTPTaskPanelGroup::SetSpecialGroup(BOOL bSpecial)
{
    m_bSpecial = bSpecial;
    RedrawPanel();
}

void CXTPTaskPanelGroup::ShowCaption(BOOL bShow)
{
    if (m_bCaptionVisible != bShow) {
        m_bCaptionVisible = bShow;
        RepositionPanel();
    }
}

int CXTPTaskPanelGroup::GetItemLayout() const
{
    if (m_nItemLayout != TaskPanelLayoutDefault)
        return m_nItemLayout;
    return m_pPanel ? m_pPanel->GetItemLayout() : TaskPanelLayoutIconLeft;
}

void CXTPTaskPanelGroup::SetItemLayout(int nLayout)
{
    m_nItemLayout = nLayout;
    RepositionPanel();
}

void CXTPTaskPanelGroup::SetOuterMargins(int nLeft, int nTop, int nRight, int nBottom)
{
    m_rcOuterMargins.SetRect(nLeft, nTop, nRight, nBottom);
    RepositionPanel();
}

void CXTPTaskPanelGroup::SetInnerMargins(int nLeft, int nTop, int nRight, int nBottom)
{
    m_rcInnerMargins.SetRect(nLeft, nTop, nRight, nBottom);
    RepositionPanel();
}

BOOL CXTPTaskPanelGroup::SetBackgroundImage(HBITMAP hBitmap, COLORREF clrMask)
{
    m_ilBackground.DeleteImageList();
    m_szBackground = CSize(0, 0);
    if (!hBitmap) {
        RedrawPanel();
        return TRUE;
    }
    BITMAP bm{};
    if (!::GetObjectW(hBitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return FALSE;
    const UINT nFlags = ILC_COLOR32 | (clrMask != CLR_NONE ? ILC_MASK : 0);
    if (!m_ilBackground.Create(bm.bmWidth, bm.bmHeight, nFlags, 1, 0))
        return FALSE;
    const int nAdded = clrMask != CLR_NONE ? ImageList_AddMasked(m_ilBackground, hBitmap, clrMask)
                                           : ImageList_Add(m_ilBackground, hBitmap, nullptr);
    if (nAdded < 0) {
        m_ilBackground.DeleteImageList();
        return FALSE;
    }
    m_szBackground = CSize(bm.bmWidth, bm.bmHeight);
    RedrawPanel();
    return TRUE;
}

// ---- Geometry

CRect CXTPTaskPanelGroup::GetCaptionRect() const
{
    CRect rc(m_rcCurrent.left, m_rcCurrent.top, m_rcCurrent.right, m_rcCurrent.top + m_nCaptionHeight);
    if (m_pPanel) {
        const CRect rcButton = m_pPanel->GetCaptionScrollButtonRect(this);
        if (!rcButton.IsRectEmpty())
            rc.right = rcButton.left - m_pPanel->GetGroupSpacing() - 1;
    }
    return rc;
}

CRect CXTPTaskPanelGroup::GetClientRect() const
{
    return CRect(m_rcCurrent.left, m_rcCurrent.top + m_nCaptionHeight, m_rcCurrent.right, m_rcCurrent.bottom);
}

CRect CXTPTaskPanelGroup::GetTargetClientRect() const
{
    return CRect(m_rcTarget.left, m_rcTarget.top + m_nCaptionHeight, m_rcTarget.right, m_rcTarget.bottom);
}

int CXTPTaskPanelGroup::GetItemScrollOffset() const
{
    const int nCount = m_pItems->GetCount();
    if (m_nFirstVisibleItem <= 0 || m_nFirstVisibleItem >= nCount)
        return 0;
    auto* pItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, m_pItems->GetAt(m_nFirstVisibleItem));
    if (!pItem)
        return 0;
    const CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    const int nInnerTop = pPaintManager ? pPaintManager->GetGroupInnerMargins(this).top : 0;
    return pItem->m_rcItem.top - nInnerTop;
}

CXTPTaskPanelItem* CXTPTaskPanelGroup::HitTest(CPoint point, CRect* pRect) const
{
    if (!IsExpanded())
        return nullptr;
    const int nScroll = m_pPanel ? m_pPanel->GetScrollOffset() : 0;
    const int nItemOffset = GetItemScrollOffset();
    const CPoint ptItems(point.x, point.y + nScroll + nItemOffset - m_rcCurrent.top - m_nCaptionHeight);
    for (int i = 0; i < m_pItems->GetCount(); ++i) {
        auto* pItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, m_pItems->GetAt(i));
        if (pItem && pItem->m_rcItem.PtInRect(ptItems)) {
            if (pRect) {
                *pRect = pItem->m_rcItem;
                pRect->OffsetRect(0, m_rcCurrent.top + m_nCaptionHeight - nScroll - nItemOffset);
            }
            return pItem;
        }
    }
    return nullptr;
}

void CXTPTaskPanelGroup::Draw(CDC* pDC)
{
    CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    if (!pPaintManager)
        return;
    pPaintManager->DrawGroupCaption(pDC, this, TRUE);
    pPaintManager->DrawGroupClient(pDC, this);
}

void CXTPTaskPanelGroup::OnFillClient(CDC* pDC, CRect rc)
{
    if (m_ilBackground.GetSafeHandle() && m_ilBackground.GetImageCount() == 1)
        m_ilBackground.Draw(pDC, 0, CPoint(rc.right - m_szBackground.cx, rc.bottom - m_szBackground.cy), ILD_NORMAL);
}

// ---- Layout and animation

CRect CXTPTaskPanelGroup::CalcLayout(CRect rc, BOOL bAnimate)
{
    CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    if (!m_pPanel || !pPaintManager)
        return m_rcTarget;
    if (m_pPanel->GetBehaviour() == TaskPanelBehaviourEachGroup)
        m_nFirstVisibleItem = 0;

    const CRect rcOuter = pPaintManager->GetGroupOuterMargins(this);
    m_rcTarget.left = rc.left + rcOuter.left;
    m_rcTarget.top = rc.top + rcOuter.top;
    m_rcTarget.right = rc.right - rcOuter.right;
    {
        CXTPTaskPanelLayoutDC dc(m_pPanel);
        m_nCaptionHeight = pPaintManager->DrawGroupCaption(dc, this, FALSE);
    }
    m_nFullClientHeight = CalcClientHeight();
    m_rcTarget.bottom = m_rcTarget.top + m_nCaptionHeight + (IsExpanded() ? m_nFullClientHeight : 0);
    m_rcCurrent.left = m_rcTarget.left;
    m_rcCurrent.right = m_rcTarget.right;

    // A group never placed before appears in its place rather than sliding in from the top.
    if (!bAnimate || !m_pPanel->IsAnimationEnabled() || IsSameRect(m_rcCurrent, m_rcTarget) || !m_bPlaced)
        Step(0);
    else if (m_bHasControlItems)
        for (int i = 0; i < m_pItems->GetCount(); ++i)
            if (auto* pItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, m_pItems->GetAt(i)))
                pItem->OnAnimate();
    m_bPlaced = TRUE;
    return m_rcTarget;
}

int CXTPTaskPanelGroup::CalcClientHeight()
{
    m_nItemsInRow = 1;
    m_bHasControlItems = FALSE;
    CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    if (!m_pPanel || !pPaintManager)
        return 0;
    const CRect rcInner = pPaintManager->GetGroupInnerMargins(this);
    const int xLeft = m_rcTarget.left + rcInner.left;
    const int xRight = m_rcTarget.right - rcInner.right;
    const int nCount = m_pItems->GetCount();
    int nHeight = 0;

    if (GetItemLayout() == TaskPanelLayoutIconGrid) {
        const CSize szIcon = m_pPanel->GetItemIconSize();
        const CSize szCell(szIcon.cx + 12, szIcon.cy + 12);
        const int nColumns = std::max<int>(1, (xRight - xLeft) / szCell.cx);
        for (int i = 0; i < nCount; ++i) {
            auto* pItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, m_pItems->GetAt(i));
            if (!pItem)
                continue;
            const CRect rcCell(CPoint(xLeft + (i % nColumns) * szCell.cx, rcInner.top + (i / nColumns) * szCell.cy),
                               szCell);
            pItem->m_rcItem = pItem->CalcItemRect(rcCell);
            m_bHasControlItems |= pItem->GetType() == TaskPanelItemControl;
        }
        m_nItemsInRow = nColumns;
        m_nFirstVisibleItem -= m_nFirstVisibleItem % nColumns;
        const int nRows = (nCount + nColumns - 1) / nColumns;
        nHeight = rcInner.top + nRows * szCell.cy + rcInner.bottom;
    } else {
        int y = rcInner.top;
        for (int i = 0; i < nCount; ++i) {
            auto* pItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, m_pItems->GetAt(i));
            if (!pItem)
                continue;
            pItem->m_rcItem = pItem->CalcItemRect(CRect(xLeft, y, xRight, y));
            y = pItem->m_rcItem.bottom + pPaintManager->GetItemMargins(pItem).bottom;
            m_bHasControlItems |= pItem->GetType() == TaskPanelItemControl;
        }
        nHeight = y + rcInner.bottom;
    }

    if (m_pPanel->GetBehaviour() != TaskPanelBehaviourEachGroup && (m_pPanel->GetActiveGroup() == this || m_bAnimating))
        nHeight = std::max<int>(GetAvailableClientHeight(), rcInner.top + 34);
    return nHeight;
}

void CXTPTaskPanelGroup::Step(int nStepsLeft)
{
    if (nStepsLeft > 0) {
        m_rcCurrent.top = StepTowards(m_rcCurrent.top, m_rcTarget.top, nStepsLeft);
        m_rcCurrent.bottom = StepTowards(m_rcCurrent.bottom, m_rcTarget.bottom, nStepsLeft);
    } else {
        m_rcCurrent = m_rcTarget;
    }
    if (IsSameRect(m_rcCurrent, m_rcTarget))
        m_bAnimating = FALSE;
    if (!m_bHasControlItems)
        return;
    for (int i = 0; i < m_pItems->GetCount(); ++i)
        if (auto* pItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, m_pItems->GetAt(i)))
            pItem->OnAnimate();
}

int CXTPTaskPanelGroup::GetAvailableClientHeight() const
{
    if (!m_pPanel || !m_pPanel->GetSafeHwnd() || !GetPaintManager())
        return 0;
    const CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    CRect rcClient;
    m_pPanel->GetClientRect(&rcClient);
    const CXTPTaskPanelItems* pGroups = m_pPanel->GetGroups();
    int nHeight = rcClient.Height();
    for (int i = 0; i < pGroups->GetCount(); ++i) {
        auto* pGroup = static_cast<CXTPTaskPanelGroup*>(pGroups->GetAt(i));
        const CRect rcOuter = pPaintManager->GetGroupOuterMargins(pGroup);
        nHeight -= pGroup->m_nCaptionHeight + rcOuter.top + rcOuter.bottom;
    }
    nHeight -= (pGroups->GetCount() - 1) * m_pPanel->GetGroupSpacing();
    const CRect rcMargins = m_pPanel->GetPanelMargins();
    return nHeight - rcMargins.top - rcMargins.bottom;
}

void CXTPTaskPanelGroup::ScrollItems(int nDelta)
{
    const int nCount = m_pItems->GetCount();
    m_nFirstVisibleItem = std::max(0, std::min(m_nFirstVisibleItem + nDelta, nCount - 1));
    if (m_pPanel)
        m_pPanel->UpdateScrollButtons();
}

BOOL CXTPTaskPanelGroup::CanScroll(BOOL bUp) const
{
    const int nCount = m_pItems->GetCount();
    if (nCount == 0)
        return FALSE;
    if (bUp)
        return m_nFirstVisibleItem != 0;
    auto* pLast = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, m_pItems->GetAt(nCount - 1));
    if (!pLast)
        return FALSE;
    const int nClientHeight = m_rcTarget.Height() - m_nCaptionHeight;
    return nClientHeight < pLast->m_rcItem.bottom - GetItemScrollOffset();
}

void CXTPTaskPanelGroup::EnsureVisible(CXTPTaskPanelItem* pItem)
{
    if (!m_pPanel || m_pPanel->GetBehaviour() == TaskPanelBehaviourEachGroup || m_pItems->GetCount() == 0 ||
        !IsExpanded())
        return;
    const int nIndex = m_pItems->IndexOf(pItem);
    auto* pGroupItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, pItem);
    if (nIndex < 0 || !pGroupItem)
        return;
    const int nClientHeight = m_rcTarget.Height() - m_nCaptionHeight;
    if (nIndex < m_nFirstVisibleItem) {
        m_nFirstVisibleItem = nIndex - nIndex % std::max(1, m_nItemsInRow);
    } else if (pGroupItem->m_rcItem.bottom - GetItemScrollOffset() > nClientHeight) {
        const CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
        const int nInnerTop = pPaintManager ? pPaintManager->GetGroupInnerMargins(this).top : 0;
        for (int i = m_nFirstVisibleItem + 1; i <= nIndex; ++i) {
            m_nFirstVisibleItem = i;
            auto* pCandidate = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, m_pItems->GetAt(i));
            if (pCandidate && nClientHeight >= nInnerTop + pGroupItem->m_rcItem.bottom - pCandidate->m_rcItem.top)
                break;
        }
    }
    m_pPanel->UpdateScrollButtons();
}

void CXTPTaskPanelGroup::Serialize(CArchive& ar)
{
    CXTPTaskPanelItem::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_bCaptionVisible << m_bExpandable << m_bExpanded << m_bSpecial << static_cast<WORD>(m_nItemLayout)
           << m_rcInnerMargins << m_rcOuterMargins;
        m_pItems->Serialize(ar);
        return;
    }
    WORD wLayout = 0;
    ar >> m_bCaptionVisible >> m_bExpandable >> m_bExpanded >> m_bSpecial >> wLayout >> m_rcInnerMargins >>
        m_rcOuterMargins;
    m_nItemLayout = wLayout;
    m_pItems->m_pPanel = m_pPanel;
    m_pItems->Serialize(ar);
    // What follows a broken item list cannot be read in step: the enclosing read must stop too.
    if (!m_pItems->IsReadComplete())
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
}
