#include "framework/frame/SplitterWnd.h"

#include "framework/frame/View.h"
#include "framework/win/Dc.h"
#include "framework/win/WinApp.h"

#include <algorithm>

namespace {

// Where the tracker of a bar starts against the bar's own edge; StopTracking takes it back before it reads it.
constexpr int kTrackerShift = 1;

bool IsRowBar(int ht)
{
    return ht >= CSplitterWnd::vSplitterBar1 && ht <= CSplitterWnd::vSplitterBar15;
}

bool IsColumnBar(int ht)
{
    return ht >= CSplitterWnd::hSplitterBar1 && ht <= CSplitterWnd::hSplitterBar15;
}

} // namespace

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
ON_WM_PAINT()
ON_WM_SIZE()
ON_WM_SETCURSOR()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_CANCELMODE()
ON_WM_CAPTURECHANGED()
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CSplitterWnd::CSplitterWnd()
    : m_pDynamicViewClass(nullptr), m_nMaxRows(0), m_nMaxCols(0), m_cxSplitter(7), m_cySplitter(7), m_cxBorderShare(0),
      m_cyBorderShare(0), m_cxSplitterGap(7), m_cySplitterGap(7), m_cxBorder(2), m_cyBorder(2), m_nRows(0), m_nCols(0),
      m_pColInfo(nullptr), m_pRowInfo(nullptr), m_bHasHScroll(FALSE), m_bHasVScroll(FALSE), m_bTracking(FALSE),
      m_bTracking2(FALSE), m_ptTrackOffset(0, 0), m_rectLimit(0, 0, 0, 0), m_rectTracker(0, 0, 0, 0),
      m_rectTracker2(0, 0, 0, 0), m_htTrack(noHit)
{
}

CSplitterWnd::~CSplitterWnd()
{
    delete[] m_pRowInfo;
    delete[] m_pColInfo;
}

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID)
{
    if (m_hWnd != nullptr || pParentWnd == nullptr || nRows < 1 || nRows > 16 || nCols < 1 || nCols > 16)
        return FALSE;
    delete[] m_pRowInfo;
    delete[] m_pColInfo;
    m_nRows = m_nMaxRows = nRows;
    m_nCols = m_nMaxCols = nCols;
    // One record past the counts is kept: a derived splitter parks a hidden row or column's size there.
    m_pRowInfo = new CRowColInfo[static_cast<size_t>(nRows) + 1]();
    m_pColInfo = new CRowColInfo[static_cast<size_t>(nCols) + 1]();
    // No background: the panes cover everything but the bars, which OnPaint draws.
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW), nullptr);
    return CWnd::CreateEx(0, lpszClass, nullptr, dwStyle | WS_CHILD, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext)
{
    if (m_hWnd == nullptr || row < 0 || row >= m_nRows || col < 0 || col >= m_nCols || pViewClass == nullptr ||
        !pViewClass->IsDerivedFrom(RUNTIME_CLASS(CWnd)))
        return FALSE;
    if (::GetDlgItem(m_hWnd, IdFromRowCol(row, col)) != nullptr)
        return FALSE;
    m_pColInfo[col].nIdealSize = sizeInit.cx;
    m_pRowInfo[row].nIdealSize = sizeInit.cy;

    auto* pWnd = static_cast<CWnd*>(pViewClass->CreateObject());
    if (pWnd == nullptr)
        return FALSE;
    // The splitter draws the panes' borders itself. A view that fails to be made has deleted itself.
    const DWORD dwStyle = AFX_WS_DEFAULT_VIEW & ~static_cast<DWORD>(WS_BORDER);
    if (!pWnd->Create(nullptr, nullptr, dwStyle, CRect(0, 0, 0, 0), this, static_cast<UINT>(IdFromRowCol(row, col)),
                      pContext))
        return FALSE;
    return TRUE;
}

void CSplitterWnd::DeleteView(int row, int col)
{
    CWnd* pPane = GetPane(row, col);
    if (pPane == nullptr)
        return;
    if (CFrameWnd* pFrame = GetParentFrame()) {
        if (static_cast<CWnd*>(pFrame->GetActiveView()) == pPane)
            pFrame->SetActiveView(nullptr, FALSE);
    }
    pPane->DestroyWindow();
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const
{
    cyCur = cyMin = 0;
    if (row >= 0 && row < m_nMaxRows && m_pRowInfo != nullptr) {
        cyCur = m_pRowInfo[row].nCurSize;
        cyMin = m_pRowInfo[row].nMinSize;
    }
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin)
{
    if (row >= 0 && row < m_nMaxRows && m_pRowInfo != nullptr) {
        m_pRowInfo[row].nIdealSize = cyIdeal;
        m_pRowInfo[row].nMinSize = cyMin;
    }
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const
{
    cxCur = cxMin = 0;
    if (col >= 0 && col < m_nMaxCols && m_pColInfo != nullptr) {
        cxCur = m_pColInfo[col].nCurSize;
        cxMin = m_pColInfo[col].nMinSize;
    }
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin)
{
    if (col >= 0 && col < m_nMaxCols && m_pColInfo != nullptr) {
        m_pColInfo[col].nIdealSize = cxIdeal;
        m_pColInfo[col].nMinSize = cxMin;
    }
}

CWnd* CSplitterWnd::GetPane(int row, int col) const
{
    if (m_hWnd == nullptr)
        return nullptr;
    return CWnd::FromHandle(::GetDlgItem(m_hWnd, IdFromRowCol(row, col)));
}

BOOL CSplitterWnd::IsChildPane(CWnd* pWnd, int* pRow, int* pCol)
{
    if (pWnd == nullptr || pWnd->m_hWnd == nullptr || ::GetParent(pWnd->m_hWnd) != m_hWnd)
        return FALSE;
    const int nID = ::GetDlgCtrlID(pWnd->m_hWnd) - AFX_IDW_PANE_FIRST;
    if (nID < 0 || nID >= 16 * 16)
        return FALSE;
    const int row = nID / 16;
    const int col = nID % 16;
    if (row >= m_nRows || col >= m_nCols)
        return FALSE;
    if (pRow != nullptr)
        *pRow = row;
    if (pCol != nullptr)
        *pCol = col;
    return TRUE;
}

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol)
{
    CWnd* pView = nullptr;
    if (CFrameWnd* pFrame = GetParentFrame())
        pView = static_cast<CWnd*>(pFrame->GetActiveView());
    if (pView == nullptr)
        pView = CWnd::GetFocus();
    return IsChildPane(pView, pRow, pCol) ? pView : nullptr;
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* pWnd)
{
    CWnd* pPane = pWnd != nullptr ? pWnd : GetPane(row, col);
    if (pPane == nullptr)
        return;
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != nullptr && pPane->IsKindOf(RUNTIME_CLASS(CView)))
        pFrame->SetActiveView(static_cast<CView*>(pPane));
    else
        pPane->SetFocus();
}

// ---- Layout

void PASCAL CSplitterWnd::LayoutRowCol(CRowColInfo* pInfoArray, int nMax, int nSize, int nSizeSplitter)
{
    if (pInfoArray == nullptr || nMax <= 0)
        return;
    int nLeft = std::max(0, nSize);
    for (int i = 0; i < nMax; ++i) {
        CRowColInfo& info = pInfoArray[i];
        if (i == nMax - 1) {
            info.nCurSize = nLeft;
            break;
        }
        // Below its minimum a row or column is too small to show.
        const int nWanted = info.nIdealSize < info.nMinSize ? 0 : std::max(0, info.nIdealSize);
        if (nWanted >= nLeft) {
            info.nCurSize = nLeft;
            nLeft = 0;
        } else {
            info.nCurSize = nWanted;
            nLeft = std::max(0, nLeft - nWanted - nSizeSplitter);
        }
    }
}

void CSplitterWnd::GetInsideRect(CRect& rect) const
{
    ::GetClientRect(m_hWnd, &rect);
    rect.InflateRect(-m_cxBorder, -m_cyBorder);
    if (rect.right < rect.left)
        rect.right = rect.left;
    if (rect.bottom < rect.top)
        rect.bottom = rect.top;
}

int CSplitterWnd::ColumnLeft(int col) const
{
    CRect inside;
    GetInsideRect(inside);
    int x = inside.left;
    for (int i = 0; i < col && i < m_nCols; ++i)
        x += m_pColInfo[i].nCurSize + m_cxSplitterGap;
    return x;
}

int CSplitterWnd::RowTop(int row) const
{
    CRect inside;
    GetInsideRect(inside);
    int y = inside.top;
    for (int i = 0; i < row && i < m_nRows; ++i)
        y += m_pRowInfo[i].nCurSize + m_cySplitterGap;
    return y;
}

void CSplitterWnd::RecalcLayout()
{
    if (m_hWnd == nullptr || m_nRows == 0 || m_nCols == 0)
        return;
    CRect inside;
    GetInsideRect(inside);
    LayoutPanes(inside);
}

void CSplitterWnd::LayoutPanes(const CRect& rectInside)
{
    LayoutRowCol(m_pColInfo, m_nCols, rectInside.Width(), m_cxSplitterGap);
    LayoutRowCol(m_pRowInfo, m_nRows, rectInside.Height(), m_cySplitterGap);

    AFX_SIZEPARENTPARAMS layout{};
    layout.hDWP = ::BeginDeferWindowPos(m_nRows * m_nCols);
    int y = rectInside.top;
    for (int row = 0; row < m_nRows; ++row) {
        const int cy = m_pRowInfo[row].nCurSize;
        int x = rectInside.left;
        for (int col = 0; col < m_nCols; ++col) {
            const int cx = m_pColInfo[col].nCurSize;
            if (HWND hPane = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col))) {
                CRect rect(x, y, x + cx, y + cy);
                AfxRepositionWindow(&layout, hPane, &rect);
            }
            x += cx + m_cxSplitterGap;
        }
        y += cy + m_cySplitterGap;
    }
    if (layout.hDWP != nullptr)
        ::EndDeferWindowPos(layout.hDWP);
    // The bars moved with the panes.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy)
{
    Default();
    if (nType != SIZE_MINIMIZED && cx > 0 && cy > 0)
        RecalcLayout();
}

// ---- Drawing

void CSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect)
{
    if (pDC == nullptr) {
        ::RedrawWindow(m_hWnd, &rect, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
        return;
    }
    if (nType == splitBorder) {
        CRect r(rect);
        pDC->Draw3dRect(&r, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        r.InflateRect(-1, -1);
        pDC->Draw3dRect(&r, ::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_BTNFACE));
        return;
    }
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
}

void CSplitterWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CRect inside;
    GetInsideRect(inside);

    if (m_cxBorder > 0 || m_cyBorder > 0)
        OnDrawSplitter(&dc, splitBorder, client);

    for (int col = 0; col + 1 < m_nCols; ++col) {
        const int left = ColumnLeft(col) + m_pColInfo[col].nCurSize;
        CRect bar(left, inside.top, left + m_cxSplitterGap, inside.bottom);
        OnDrawSplitter(&dc, splitBar, bar);
    }
    for (int row = 0; row + 1 < m_nRows; ++row) {
        const int top = RowTop(row) + m_pRowInfo[row].nCurSize;
        CRect bar(inside.left, top, inside.right, top + m_cySplitterGap);
        OnDrawSplitter(&dc, splitBar, bar);
    }
    for (int row = 0; row + 1 < m_nRows; ++row) {
        for (int col = 0; col + 1 < m_nCols; ++col) {
            const int left = ColumnLeft(col) + m_pColInfo[col].nCurSize;
            const int top = RowTop(row) + m_pRowInfo[row].nCurSize;
            CRect cross(left, top, left + m_cxSplitterGap, top + m_cySplitterGap);
            OnDrawSplitter(&dc, splitIntersection, cross);
        }
    }
}

void CSplitterWnd::OnInvertTracker(const CRect& rect)
{
    HDC hDC = ::GetDCEx(m_hWnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (hDC == nullptr)
        return;
    CBrush* pBrush = CDC::GetHalftoneBrush();
    HGDIOBJ hOld = ::SelectObject(hDC, pBrush != nullptr ? pBrush->GetSafeHandle() : ::GetStockObject(GRAY_BRUSH));
    ::PatBlt(hDC, rect.left, rect.top, rect.Width(), rect.Height(), PATINVERT);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hWnd, hDC);
}

// ---- Hit testing and tracking

int CSplitterWnd::HitTest(CPoint pt) const
{
    if (m_nRows == 0 || m_nCols == 0)
        return noHit;
    CRect inside;
    GetInsideRect(inside);
    int nColBar = -1;
    for (int col = 0; col + 1 < m_nCols && col < 15; ++col) {
        const int left = ColumnLeft(col) + m_pColInfo[col].nCurSize;
        if (pt.x >= left && pt.x < left + m_cxSplitterGap) {
            nColBar = col;
            break;
        }
    }
    int nRowBar = -1;
    for (int row = 0; row + 1 < m_nRows && row < 15; ++row) {
        const int top = RowTop(row) + m_pRowInfo[row].nCurSize;
        if (pt.y >= top && pt.y < top + m_cySplitterGap) {
            nRowBar = row;
            break;
        }
    }
    const bool bInX = pt.x >= inside.left && pt.x < inside.right;
    const bool bInY = pt.y >= inside.top && pt.y < inside.bottom;
    if (nColBar >= 0 && nRowBar >= 0)
        return splitterIntersection1 + nRowBar * 15 + nColBar;
    if (nColBar >= 0 && bInY)
        return hSplitterBar1 + nColBar;
    if (nRowBar >= 0 && bInX)
        return vSplitterBar1 + nRowBar;
    return noHit;
}

void CSplitterWnd::GetHitRect(int ht, CRect& rect)
{
    CRect inside;
    GetInsideRect(inside);
    rect = inside;
    if (IsColumnBar(ht)) {
        const int col = ht - hSplitterBar1;
        const int left = ColumnLeft(col) + m_pColInfo[col].nCurSize + kTrackerShift;
        rect.left = left;
        rect.right = left + m_cxSplitter;
        // From an empty left column to an empty right one.
        m_rectLimit.left = ColumnLeft(col) + kTrackerShift;
        m_rectLimit.right = std::max<LONG>(m_rectLimit.left, ColumnLeft(col + 1) + m_pColInfo[col + 1].nCurSize -
                                                                 m_cxSplitter + kTrackerShift);
    } else if (IsRowBar(ht)) {
        const int row = ht - vSplitterBar1;
        const int top = RowTop(row) + m_pRowInfo[row].nCurSize + kTrackerShift;
        rect.top = top;
        rect.bottom = top + m_cySplitter;
        m_rectLimit.top = RowTop(row) + kTrackerShift;
        m_rectLimit.bottom = std::max<LONG>(m_rectLimit.top, RowTop(row + 1) + m_pRowInfo[row + 1].nCurSize -
                                                                 m_cySplitter + kTrackerShift);
    }
}

bool CSplitterWnd::IsRowHit(int ht)
{
    return ht == vSplitterBox || IsRowBar(ht);
}

bool CSplitterWnd::IsColumnHit(int ht)
{
    return ht == hSplitterBox || IsColumnBar(ht);
}

bool CSplitterWnd::IsIntersectionHit(int ht)
{
    return ht >= splitterIntersection1 && ht <= splitterIntersection225;
}

BOOL CSplitterWnd::PlaceTrackers(int ht)
{
    GetInsideRect(m_rectLimit);
    m_bTracking2 = FALSE;
    if (IsIntersectionHit(ht)) {
        GetHitRect(vSplitterBar1 + (ht - splitterIntersection1) / 15, m_rectTracker);
        GetHitRect(hSplitterBar1 + (ht - splitterIntersection1) % 15, m_rectTracker2);
        m_bTracking2 = TRUE;
        return TRUE;
    }
    if (!IsRowBar(ht) && !IsColumnBar(ht))
        return FALSE;
    GetHitRect(ht, m_rectTracker);
    return TRUE;
}

void CSplitterWnd::MoveTrackers(CPoint point, BOOL bInvert)
{
    CPoint pt(point.x + m_ptTrackOffset.x, point.y + m_ptTrackOffset.y);
    pt.x = std::max<LONG>(m_rectLimit.left, std::min<LONG>(pt.x, m_rectLimit.right));
    pt.y = std::max<LONG>(m_rectLimit.top, std::min<LONG>(pt.y, m_rectLimit.bottom));
    auto Move = [&](CRect& rectTracker, int dx, int dy) {
        if (bInvert)
            OnInvertTracker(rectTracker);
        rectTracker.OffsetRect(dx, dy);
        if (bInvert)
            OnInvertTracker(rectTracker);
    };
    if ((IsRowHit(m_htTrack) || IsIntersectionHit(m_htTrack)) && m_rectTracker.top != pt.y)
        Move(m_rectTracker, 0, pt.y - m_rectTracker.top);
    CRect& rectColumn = IsIntersectionHit(m_htTrack) ? m_rectTracker2 : m_rectTracker;
    if ((IsColumnHit(m_htTrack) || IsIntersectionHit(m_htTrack)) && rectColumn.left != pt.x)
        Move(rectColumn, pt.x - rectColumn.left, 0);
}

void CSplitterWnd::StartTracking(int ht)
{
    if (ht == noHit || m_bTracking)
        return;
    // Split boxes belong to dynamic splitters, which this framework does not make.
    if (!PlaceTrackers(ht))
        return;
    // The keyboard comes here too, so that Escape can cancel the drag.
    SetCapture();
    SetFocus();
    // Paint what is pending first, so that the inverted tracker is not painted over.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
    m_bTracking = TRUE;
    OnInvertTracker(m_rectTracker);
    if (m_bTracking2)
        OnInvertTracker(m_rectTracker2);
    m_htTrack = ht;
    SetSplitCursor(ht);
}

void CSplitterWnd::StopTracking(BOOL bAccept)
{
    if (!m_bTracking)
        return;
    OnInvertTracker(m_rectTracker);
    if (m_bTracking2)
        OnInvertTracker(m_rectTracker2);
    const BOOL bTracking2 = m_bTracking2;
    m_bTracking = m_bTracking2 = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();

    CWnd* pOldActive = GetActivePane();
    m_rectTracker.OffsetRect(-kTrackerShift, -kTrackerShift);
    m_rectTracker2.OffsetRect(-kTrackerShift, -kTrackerShift);
    if (bAccept) {
        if (IsRowBar(m_htTrack)) {
            TrackRowSize(m_rectTracker.top, m_htTrack - vSplitterBar1);
            RecalcLayout();
        } else if (IsColumnBar(m_htTrack)) {
            TrackColumnSize(m_rectTracker.left, m_htTrack - hSplitterBar1);
            RecalcLayout();
        } else if (IsIntersectionHit(m_htTrack) && bTracking2) {
            TrackRowSize(m_rectTracker.top, (m_htTrack - splitterIntersection1) / 15);
            TrackColumnSize(m_rectTracker2.left, (m_htTrack - splitterIntersection1) % 15);
            RecalcLayout();
        }
    }
    if (pOldActive != nullptr && pOldActive == GetActivePane()) {
        SetActivePane(-1, -1, pOldActive);
        pOldActive->SetFocus();
    }
}

void CSplitterWnd::TrackRowSize(int y, int row)
{
    if (row < 0 || row >= m_nRows)
        return;
    int cy = y - RowTop(row);
    if (cy < m_pRowInfo[row].nMinSize)
        cy = 0;
    m_pRowInfo[row].nIdealSize = cy;
}

void CSplitterWnd::TrackColumnSize(int x, int col)
{
    if (col < 0 || col >= m_nCols)
        return;
    int cx = x - ColumnLeft(col);
    if (cx < m_pColInfo[col].nMinSize)
        cx = 0;
    m_pColInfo[col].nIdealSize = cx;
}

void CSplitterWnd::SetSplitCursor(int ht)
{
    LPCWSTR lpszCursor = IDC_ARROW;
    if (IsRowHit(ht))
        lpszCursor = IDC_SIZENS;
    else if (IsColumnHit(ht))
        lpszCursor = IDC_SIZEWE;
    else if (ht == bothSplitterBox || IsIntersectionHit(ht))
        lpszCursor = IDC_SIZEALL;
    ::SetCursor(::LoadCursorW(nullptr, lpszCursor));
}

BOOL CSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT)
{
    // The mouse move over the client area chooses the cursor.
    if (nHitTest == HTCLIENT && pWnd != nullptr && pWnd->m_hWnd == m_hWnd && !m_bTracking)
        return TRUE;
    return static_cast<BOOL>(Default());
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint point)
{
    if (m_bTracking)
        return;
    StartTracking(HitTest(point));
    if (!m_bTracking)
        return;
    // The tracker keeps its place under the mouse as it moves.
    m_ptTrackOffset = CPoint(0, 0);
    if (IsRowBar(m_htTrack) || IsIntersectionHit(m_htTrack))
        m_ptTrackOffset.y = m_rectTracker.top - point.y;
    if (IsColumnBar(m_htTrack))
        m_ptTrackOffset.x = m_rectTracker.left - point.x;
    else if (IsIntersectionHit(m_htTrack))
        m_ptTrackOffset.x = m_rectTracker2.left - point.x;
}

void CSplitterWnd::OnMouseMove(UINT, CPoint point)
{
    if (!m_bTracking) {
        SetSplitCursor(HitTest(point));
        return;
    }
    if (::GetCapture() != m_hWnd) {
        StopTracking(FALSE);
        return;
    }
    MoveTrackers(point, TRUE);
}

void CSplitterWnd::OnLButtonUp(UINT, CPoint)
{
    StopTracking(TRUE);
}

void CSplitterWnd::OnCancelMode()
{
    Default();
    StopTracking(FALSE);
}

void CSplitterWnd::OnCaptureChanged(CWnd* pWnd)
{
    if (m_bTracking && (pWnd == nullptr || pWnd->m_hWnd != m_hWnd))
        StopTracking(FALSE);
    Default();
}

void CSplitterWnd::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (m_bTracking && nChar == VK_ESCAPE) {
        StopTracking(FALSE);
        return;
    }
    Default();
}

// ---- Commands of the panes go on to the frame

BOOL CSplitterWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    CWnd* pTarget = GetParentFrame();
    if (pTarget == nullptr)
        pTarget = GetParent();
    return pTarget != nullptr && pTarget->SendMessage(WM_COMMAND, wParam, lParam) != 0;
}

BOOL CSplitterWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (CWnd::OnNotify(wParam, lParam, pResult))
        return TRUE;
    CWnd* pTarget = GetParentFrame();
    if (pTarget == nullptr)
        pTarget = GetParent();
    if (pTarget == nullptr)
        return FALSE;
    *pResult = pTarget->SendMessage(WM_NOTIFY, wParam, lParam);
    return TRUE;
}
