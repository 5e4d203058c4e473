#include "toolkit/commandbars/XTPDockBar.h"

#include "framework/frame/FrameWnd.h"
#include "framework/win/Dc.h"
#include "framework/win/WinApp.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTPDockBar, CWnd)

BEGIN_MESSAGE_MAP(CXTPDockBar, CWnd)
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_RBUTTONUP()
END_MESSAGE_MAP()

CXTPDockBar::CXTPDockBar(CXTPCommandBars* pCommandBars)
    : m_dwStyle(0), m_pCommandBars(pCommandBars), m_bMeasureOnly(FALSE)
{
    m_arrBars.push_back(nullptr);
}

CXTPDockBar::~CXTPDockBar()
{
    for (CXTPToolBar* pBar : m_arrBars) {
        if (pBar != nullptr && pBar->m_pDockBar == this)
            pBar->m_pDockBar = nullptr;
    }
}

BOOL CXTPDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & 0x40FFFF;
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
    return CWnd::Create(lpszClass, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CXTPDockBar::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPSIBLINGS;
    return CWnd::PreCreateWindow(cs);
}

XTPBarPosition CXTPDockBar::GetPosition() const
{
    if (m_dwStyle & CBRS_ALIGN_TOP)
        return xtpBarTop;
    if (m_dwStyle & CBRS_ALIGN_BOTTOM)
        return xtpBarBottom;
    if (m_dwStyle & CBRS_ALIGN_LEFT)
        return xtpBarLeft;
    return xtpBarRight;
}

int CXTPDockBar::FindBar(CXTPToolBar* pBar, int nPosExclude) const
{
    for (int i = 0; i < static_cast<int>(m_arrBars.size()); ++i) {
        if (i != nPosExclude && m_arrBars[static_cast<size_t>(i)] == pBar)
            return i;
    }
    return -1;
}

void CXTPDockBar::DelayFrameLayout()
{
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->DelayRecalcLayout(TRUE);
}

int CXTPDockBar::RemoveCommandBar(CXTPToolBar* pBar, int nPosExclude)
{
    const int nPos = FindBar(pBar, nPosExclude);
    if (nPos <= 0)
        return 0;
    m_arrBars.erase(m_arrBars.begin() + nPos);
    // A row left empty: two null entries in a row (or a null at the very start) collapse into one.
    if (nPos < static_cast<int>(m_arrBars.size()) && m_arrBars[static_cast<size_t>(nPos)] == nullptr &&
        m_arrBars[static_cast<size_t>(nPos - 1)] == nullptr)
        m_arrBars.erase(m_arrBars.begin() + nPos);
    if (pBar->m_pDockBar == this)
        pBar->m_pDockBar = nullptr;
    DelayFrameLayout();
    return 0;
}

void CXTPDockBar::DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect)
{
    if (pBar->m_pDockBar == this && pBar->GetSafeHwnd() != nullptr) {
        CRect rcWindow;
        pBar->GetWindowRect(&rcWindow);
        if (lpRect == nullptr || rcWindow == *lpRect)
            return;
    }
    int nPos = -1;
    CXTPDockContext* pContext = pBar->m_pDockContext;
    if (lpRect != nullptr) {
        CRect rect(*lpRect);
        ScreenToClient(&rect);
        const CPoint ptCenter = rect.CenterPoint();
        const int p = IsHorizontal() ? ptCenter.y : ptCenter.x;
        // The leading sentinel counts as the end of an empty row above all others.
        int nFarEdge = 0, nPrevFarEdge = -1;
        int nRowStart = 1;
        for (int i = 0; i < static_cast<int>(m_arrBars.size()); ++i) {
            CXTPToolBar* pOther = m_arrBars[static_cast<size_t>(i)];
            if (pOther == nullptr) {
                if (p < nFarEdge || (i == 0 && p < 0)) {
                    if (i == 0 || p == nPrevFarEdge)
                        m_arrBars.insert(m_arrBars.begin() + nRowStart, nullptr);
                    nPos = nRowStart;
                    break;
                }
                nPrevFarEdge = nFarEdge;
                nRowStart = i + 1;
                continue;
            }
            if (pOther != pBar && pOther->GetSafeHwnd() != nullptr && pOther->IsVisible()) {
                CRect rcOther;
                pOther->GetWindowRect(&rcOther);
                ScreenToClient(&rcOther);
                nFarEdge = std::max(nFarEdge, static_cast<int>(IsHorizontal() ? rcOther.bottom : rcOther.right));
            }
        }
        if (nPos == -1) {
            if (m_arrBars.back() != nullptr)
                m_arrBars.push_back(nullptr);
            m_arrBars.push_back(pBar);
            m_arrBars.push_back(nullptr);
            nPos = static_cast<int>(m_arrBars.size()) - 2;
        } else {
            m_arrBars.insert(m_arrBars.begin() + nPos, pBar);
        }
        if (pContext != nullptr)
            pContext->m_rectMRUDockPos = rect;
    } else {
        if (m_arrBars.back() != nullptr)
            m_arrBars.push_back(nullptr);
        m_arrBars.push_back(pBar);
        m_arrBars.push_back(nullptr);
        nPos = static_cast<int>(m_arrBars.size()) - 2;
        if (pContext != nullptr)
            pContext->m_rectMRUDockPos.SetRectEmpty();
    }

    if (pBar->GetSafeHwnd() != nullptr && ::GetParent(pBar->m_hWnd) != m_hWnd)
        pBar->SetParent(this);
    if (pBar->m_pDockBar == this)
        RemoveCommandBar(pBar, nPos);
    else if (pBar->m_pDockBar != nullptr)
        pBar->m_pDockBar->RemoveCommandBar(pBar);
    pBar->m_pDockBar = this;
    AdjustStretchBars();
    DelayFrameLayout();
}

void CXTPDockBar::AdjustStretchBars()
{
    for (int i = 1; i < static_cast<int>(m_arrBars.size()); ++i) {
        CXTPToolBar* pBar = m_arrBars[static_cast<size_t>(i)];
        if (pBar == nullptr || (pBar->GetEnableDocking() & xtpFlagStretched) == 0)
            continue;
        if (m_arrBars[static_cast<size_t>(i - 1)] != nullptr) {
            m_arrBars.insert(m_arrBars.begin() + i, nullptr);
            ++i;
        }
        if (i + 1 < static_cast<int>(m_arrBars.size()) && m_arrBars[static_cast<size_t>(i + 1)] != nullptr)
            m_arrBars.insert(m_arrBars.begin() + i + 1, nullptr);
    }
}

std::vector<std::vector<CXTPToolBar*>> CXTPDockBar::GetRows() const
{
    std::vector<std::vector<CXTPToolBar*>> rows;
    std::vector<CXTPToolBar*> row;
    for (size_t i = 1; i < m_arrBars.size(); ++i) {
        CXTPToolBar* pBar = m_arrBars[i];
        if (pBar == nullptr) {
            if (!row.empty())
                rows.push_back(row);
            row.clear();
        } else if (pBar->GetSafeHwnd() != nullptr && pBar->IsVisible()) {
            row.push_back(pBar);
        }
    }
    if (!row.empty())
        rows.push_back(row);
    return rows;
}

void CXTPDockBar::GetRowBars(int nIndex, std::vector<CXTPToolBar*>& arrBars) const
{
    if (nIndex <= 0 || nIndex >= static_cast<int>(m_arrBars.size()))
        return;
    int nStart = nIndex;
    while (nStart > 0 && m_arrBars[static_cast<size_t>(nStart - 1)] != nullptr)
        --nStart;
    const size_t nFirst = arrBars.size();
    for (size_t i = static_cast<size_t>(nStart); i < m_arrBars.size() && m_arrBars[i] != nullptr; ++i) {
        CXTPToolBar* pBar = m_arrBars[i];
        if (pBar->GetSafeHwnd() != nullptr && pBar->IsVisible() && pBar->GetType() == xtpBarTypeNormal)
            arrBars.push_back(pBar);
    }
    const BOOL bHorz = IsHorizontal();
    std::stable_sort(arrBars.begin() + static_cast<std::ptrdiff_t>(nFirst), arrBars.end(),
                     [bHorz](CXTPToolBar* a, CXTPToolBar* b) {
                         CRect ra, rb;
                         a->GetWindowRect(&ra);
                         b->GetWindowRect(&rb);
                         return bHorz ? ra.left < rb.left : ra.top < rb.top;
                     });
}

DWORD CXTPDockBar::RowMode(CXTPToolBar* pBar) const
{
    DWORD dwMode = IsHorizontal() ? (LM_HORZDOCK | LM_HORZ) : LM_VERTDOCK;
    const DWORD dwFlags = pBar->GetEnableDocking();
    if (dwFlags & xtpFlagStretched)
        dwMode |= LM_STRETCH;
    if ((dwFlags & xtpFlagHideWrap) &&
        (m_pCommandBars == nullptr || !m_pCommandBars->IsCustomizeMode() || m_pCommandBars->IsQuickCustomizeMode()))
        dwMode |= LM_HIDEWRAP;
    return dwMode;
}

int CXTPDockBar::CalcRowLayout(std::vector<CXTPToolBar*>& arrRow, int nOffset, int nLength, HDWP& hDWP,
                               CXTPToolBar** ppFailed)
{
    const BOOL bHorz = IsHorizontal();
    std::vector<RowEntry> entries;
    for (size_t i = 0; i < arrRow.size(); ++i) {
        CXTPToolBar* pBar = arrRow[i];
        const CSize size = pBar->CalcDockingLayout(nLength, RowMode(pBar));
        int nPreferred = 0;
        if (pBar->m_pDockContext != nullptr && !pBar->m_pDockContext->m_rectMRUDockPos.IsRectEmpty())
            nPreferred =
                bHorz ? pBar->m_pDockContext->m_rectMRUDockPos.left : pBar->m_pDockContext->m_rectMRUDockPos.top;
        // Worked along x: a vertical row is transposed.
        CRect rc = bHorz ? CRect(CPoint(nPreferred, nOffset), size)
                         : CRect(CPoint(nPreferred, nOffset), CSize(size.cy, size.cx));
        entries.push_back(RowEntry{pBar, FindBar(pBar), rc, rc, FALSE, 0});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const RowEntry& a, const RowEntry& b) { return a.rc.left < b.rc.left; });

    const int n = static_cast<int>(entries.size());
    for (int i = 1; i < n; ++i) {
        RowEntry& prev = entries[static_cast<size_t>(i - 1)];
        RowEntry& cur = entries[static_cast<size_t>(i)];
        if (cur.rc.left < prev.rc.right && !(prev.nIndex >= cur.nIndex && !prev.bMoved)) {
            cur.rc.OffsetRect(prev.rc.right - cur.rc.left, 0);
            cur.bMoved = TRUE;
        }
    }
    int nLimit = nLength;
    for (int i = n - 1; i >= 0; --i) {
        RowEntry& cur = entries[static_cast<size_t>(i)];
        const BOOL bKeep = i + 1 < n && entries[static_cast<size_t>(i + 1)].nIndex >= cur.nIndex &&
                           !entries[static_cast<size_t>(i + 1)].bMoved;
        if (cur.rc.right > nLimit && !bKeep) {
            cur.rc.OffsetRect(nLimit - cur.rc.right, 0);
            cur.bMoved = TRUE;
        }
        nLimit = cur.rc.left;
    }
    int nRight = 0;
    for (RowEntry& cur : entries) {
        if (cur.rc.left < nRight)
            cur.rc.OffsetRect(nRight - cur.rc.left, 0);
        nRight = cur.rc.right;
    }

    if (n > 0 && entries.back().rc.right > nLength) {
        std::vector<int> arrBefore(static_cast<size_t>(n), 0);
        int nSum = 0;
        for (int i = 0; i < n; ++i) {
            RowEntry& cur = entries[static_cast<size_t>(i)];
            const DWORD dwMode = RowMode(cur.pBar);
            if (dwMode & LM_HIDEWRAP) {
                const CSize sizeMin = cur.pBar->CalcDockingLayout(1, dwMode);
                cur.nMinLength = bHorz ? sizeMin.cx : sizeMin.cy;
            } else {
                cur.nMinLength = nLength;
            }
            arrBefore[static_cast<size_t>(i)] = nSum;
            nSum += cur.nMinLength;
        }
        int c = nLength;
        for (int i = n - 1; i >= 0; --i) {
            RowEntry& cur = entries[static_cast<size_t>(i)];
            const int nBefore = arrBefore[static_cast<size_t>(i)];
            int nLeft = std::min(cur.rc.left, cur.rcPreferred.left);
            nLeft = std::max(nLeft, c - cur.rc.Width());
            nLeft = std::max(nLeft, nBefore);
            nLeft = std::min(nLeft, c - cur.nMinLength);
            if ((c - nLeft >= cur.nMinLength && nLeft >= nBefore) || n == 1) {
                cur.rc.left = std::max(0, nLeft);
                cur.rc.right = c;
                c = cur.rc.left;
            } else {
                *ppFailed = entries.back().pBar;
                return 0;
            }
        }
    }

    int nThickness = 0;
    for (RowEntry& cur : entries) {
        const CSize size = cur.pBar->CalcDockingLayout(cur.rc.Width(), RowMode(cur.pBar));
        nThickness = std::max(nThickness, static_cast<int>(bHorz ? size.cy : size.cx));
    }
    for (RowEntry& cur : entries) {
        const CSize size = cur.pBar->CalcDockingLayout(cur.rc.Width(), RowMode(cur.pBar) | LM_COMMIT, nThickness);
        CRect rc = bHorz ? CRect(CPoint(cur.rc.left, nOffset), size) : CRect(CPoint(nOffset, cur.rc.left), size);
        cur.pBar->m_barPosition = GetPosition();
        if (m_bMeasureOnly)
            continue;
        if (hDWP != nullptr)
            hDWP = ::DeferWindowPos(hDWP, cur.pBar->m_hWnd, nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                                    SWP_NOZORDER | SWP_NOACTIVATE);
        else
            cur.pBar->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        if (cur.pBar->m_pDockContext != nullptr)
            cur.pBar->m_pDockContext->m_uMRUDockPosition = GetPosition();
        cur.pBar->Invalidate(FALSE);
    }
    return nThickness;
}

int CXTPDockBar::CalcRow(std::vector<CXTPToolBar*> arrRow, int nOffset, int nLength, HDWP& hDWP)
{
    int nTotal = 0;
    while (!arrRow.empty()) {
        std::vector<CXTPToolBar*> arrOverflow;
        int nThickness = 0;
        for (;;) {
            CXTPToolBar* pFailed = nullptr;
            nThickness = CalcRowLayout(arrRow, nOffset, nLength, hDWP, &pFailed);
            if (pFailed == nullptr || arrRow.size() <= 1)
                break;
            arrRow.erase(std::find(arrRow.begin(), arrRow.end(), pFailed));
            arrOverflow.push_back(pFailed);
        }
        nTotal += nThickness;
        nOffset += nThickness;
        arrRow = arrOverflow;
    }
    return nTotal;
}

CSize CXTPDockBar::CalcDockBarLayout(int nLength, DWORD dwMode, HDWP& hDWP)
{
    int nOffset = 0;
    for (std::vector<CXTPToolBar*>& row : GetRows())
        nOffset += CalcRow(row, nOffset, nLength, hDWP);
    const int nAlong = (dwMode & LM_STRETCH) ? 32767 : 0;
    return IsHorizontal() ? CSize(nAlong, nOffset) : CSize(nOffset, nAlong);
}

LRESULT CXTPDockBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if ((GetStyle() & WS_VISIBLE) == 0)
        return 0;
    const BOOL bHorz = IsHorizontal();
    DWORD dwMode = bHorz ? (LM_HORZDOCK | LM_HORZ) : LM_VERTDOCK;
    if (lpLayout->bStretch)
        dwMode |= LM_STRETCH;
    CRect rect(lpLayout->rect);
    // The toolbars are this window's children: they move in a batch of their own.
    HDWP hDWP = lpLayout->hDWP != nullptr ? ::BeginDeferWindowPos(8) : nullptr;
    m_bMeasureOnly = lpLayout->hDWP == nullptr;
    CSize size = CalcDockBarLayout(bHorz ? rect.Width() : rect.Height(), dwMode, hDWP);
    m_bMeasureOnly = FALSE;
    if (hDWP != nullptr)
        ::EndDeferWindowPos(hDWP);
    size.cx = std::min(size.cx, static_cast<LONG>(rect.Width()));
    size.cy = std::min(size.cy, static_cast<LONG>(rect.Height()));
    switch (GetPosition()) {
    case xtpBarTop:
        lpLayout->rect.top += size.cy;
        rect.bottom = rect.top + size.cy;
        lpLayout->sizeTotal.cy += size.cy;
        break;
    case xtpBarBottom:
        lpLayout->rect.bottom -= size.cy;
        rect.top = rect.bottom - size.cy;
        lpLayout->sizeTotal.cy += size.cy;
        break;
    case xtpBarLeft:
        lpLayout->rect.left += size.cx;
        rect.right = rect.left + size.cx;
        lpLayout->sizeTotal.cx += size.cx;
        break;
    default:
        lpLayout->rect.right -= size.cx;
        rect.left = rect.right - size.cx;
        lpLayout->sizeTotal.cx += size.cx;
        break;
    }
    if (lpLayout->hDWP != nullptr) {
        AfxRepositionWindow(lpLayout, m_hWnd, &rect);
        Invalidate(FALSE);
    }
    return 0;
}

void CXTPDockBar::OnPaint()
{
    CPaintDC dc(this);
    CXTPPaintManager* pPaintManager = m_pCommandBars != nullptr ? m_pCommandBars->GetPaintManager() : XTPPaintManager();
    pPaintManager->FillDockBar(&dc, this);
}

BOOL CXTPDockBar::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTPDockBar::OnRButtonUp(UINT, CPoint point)
{
    if (m_pCommandBars == nullptr)
        return;
    ClientToScreen(&point);
    m_pCommandBars->ShowToolbarsMenu(point.x, point.y);
}
