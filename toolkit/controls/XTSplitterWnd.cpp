#include "toolkit/controls/XTSplitterWnd.h"

#include "framework/frame/View.h"
#include "framework/win/Dc.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"

#include <algorithm>

namespace {

BOOL SystemDragsFullWindows()
{
    BOOL bFullDrag = FALSE;
    ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &bFullDrag, 0);
    return bFullDrag;
}

void Frame(CDC* pDC, const CRect& rect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    pDC->Draw3dRect(&rect, clrTopLeft, clrBottomRight);
}

} // namespace

// ---- Colours

CXTSplitterColors::CXTSplitterColors() : m_clrFace(0), m_clrShadow(0), m_bUseScheme(FALSE)
{
    CXTSplitterColors::RefreshColors();
}

void CXTSplitterColors::RefreshColors()
{
    m_clrFace = ::GetSysColor(COLOR_BTNFACE);
    m_clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    CXTPColorManager* pManager = XTPColorManager();
    if (!m_bUseScheme || pManager->IsLunaColorsDisabled())
        return;
    switch (pManager->GetLunaColorScheme()) {
    case xtpSystemThemeBlue:
        m_clrFace = RGB(216, 231, 252);
        m_clrShadow = RGB(158, 190, 245);
        break;
    case xtpSystemThemeOlive:
        m_clrFace = RGB(226, 231, 191);
        m_clrShadow = RGB(171, 192, 138);
        break;
    case xtpSystemThemeSilver:
        m_clrFace = RGB(223, 223, 234);
        m_clrShadow = RGB(177, 176, 195);
        break;
    default:
        break;
    }
}

// ---- CXTSplitterWnd

IMPLEMENT_DYNAMIC(CXTSplitterWnd, CSplitterWnd)

BEGIN_MESSAGE_MAP(CXTSplitterWnd, CSplitterWnd)
ON_WM_SETTINGCHANGE()
ON_WM_MOUSEMOVE()
ON_WM_NCHITTEST()
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CXTSplitterWnd::CXTSplitterWnd()
    : m_nHiddenCol(-1), m_nHiddenRow(-1), m_bFullDrag(FALSE), m_bFullDragFixed(FALSE), m_bFlatSplit(TRUE),
      m_dwxStyle(XT_SPLIT_NOFULLDRAG), m_point(-1, -1), m_bClipStyles(false), m_pColors(new CXTSplitterColors)
{
    m_cxSplitter = m_cySplitter = 6;
    m_cxSplitterGap = m_cySplitterGap = 6;
    // The default style asks for no live resizing whatever the system says.
    ReadFullDrag();
}

CXTSplitterWnd::~CXTSplitterWnd()
{
    delete m_pColors;
}

void CXTSplitterWnd::ReadFullDrag()
{
    m_bFullDrag = (m_dwxStyle & XT_SPLIT_NOFULLDRAG) ? FALSE : SystemDragsFullWindows();
}

void CXTSplitterWnd::SetFullDrag(BOOL bFullDrag)
{
    m_bFullDrag = bFullDrag;
    m_bFullDragFixed = TRUE;
}

void CXTSplitterWnd::SetSplitterStyle(DWORD dwxStyle)
{
    m_dwxStyle = dwxStyle;
    ReadFullDrag();
}

void CXTSplitterWnd::EnableFlatLook(BOOL bFlatLook)
{
    m_bFlatSplit = bFlatLook;
    const int nSize = bFlatLook ? 6 : 7;
    m_cxSplitter = m_cySplitter = nSize;
    m_cxSplitterGap = m_cySplitterGap = nSize;
    RecalcLayout();
}

// ---- Hiding and showing

void CXTSplitterWnd::HideColumn(int nColHide)
{
    if (m_hWnd == nullptr || nColHide < 0)
        return;
    // The index counts the hidden one too: it is shown first.
    if (m_nHiddenCol != -1) {
        if (m_nHiddenCol == nColHide)
            return;
        ShowColumn();
    }
    if (nColHide >= m_nCols || m_nCols < 2)
        return;
    m_nHiddenCol = nColHide;

    int nActiveRow = 0;
    int nActiveCol = 0;
    if (GetActivePane(&nActiveRow, &nActiveCol) != nullptr && nActiveCol == nColHide) {
        if (++nActiveCol >= m_nCols)
            nActiveCol = 0;
        SetActivePane(nActiveRow, nActiveCol);
    }
    for (int row = 0; row < m_nRows; ++row) {
        CWnd* pPaneHide = GetPane(row, nColHide);
        if (pPaneHide == nullptr)
            continue;
        pPaneHide->ShowWindow(SW_HIDE);
        pPaneHide->SetDlgCtrlID(IdFromRowCol(row, m_nCols));
        for (int col = nColHide + 1; col < m_nCols; ++col) {
            if (CWnd* pPane = GetPane(row, col))
                pPane->SetDlgCtrlID(IdFromRowCol(row, col - 1));
        }
    }
    --m_nCols;
    m_pColInfo[m_nCols].nCurSize = m_pColInfo[nColHide].nCurSize;
    RecalcLayout();
}

void CXTSplitterWnd::ShowColumn()
{
    // Nothing is hidden, or there is no room for it.
    if (m_hWnd == nullptr || m_nHiddenCol == -1 || m_nCols >= m_nMaxCols)
        return;
    const int nColShow = m_nHiddenCol;
    m_nHiddenCol = -1;
    const int cxKept = m_pColInfo[m_nCols].nCurSize;
    ++m_nCols;
    for (int row = 0; row < m_nRows; ++row) {
        CWnd* pPaneShow = CWnd::FromHandle(::GetDlgItem(m_hWnd, IdFromRowCol(row, m_nCols)));
        for (int col = m_nCols - 2; col >= nColShow; --col) {
            if (CWnd* pPane = GetPane(row, col))
                pPane->SetDlgCtrlID(IdFromRowCol(row, col + 1));
        }
        if (pPaneShow != nullptr) {
            pPaneShow->SetDlgCtrlID(IdFromRowCol(row, nColShow));
            pPaneShow->ShowWindow(SW_SHOWNA);
        }
    }
    for (int col = m_nCols - 1; col > nColShow; --col)
        m_pColInfo[col].nIdealSize = m_pColInfo[col - 1].nCurSize;
    m_pColInfo[nColShow].nIdealSize = cxKept;
    RecalcLayout();
}

void CXTSplitterWnd::HideRow(int nRowHide)
{
    if (m_hWnd == nullptr || nRowHide < 0)
        return;
    // The index counts the hidden one too: it is shown first.
    if (m_nHiddenRow != -1) {
        if (m_nHiddenRow == nRowHide)
            return;
        ShowRow();
    }
    if (nRowHide >= m_nRows || m_nRows < 2)
        return;
    m_nHiddenRow = nRowHide;

    int nActiveRow = 0;
    int nActiveCol = 0;
    if (GetActivePane(&nActiveRow, &nActiveCol) != nullptr && nActiveRow == nRowHide) {
        if (++nActiveRow >= m_nRows)
            nActiveRow = 0;
        SetActivePane(nActiveRow, nActiveCol);
    }
    for (int col = 0; col < m_nCols; ++col) {
        CWnd* pPaneHide = GetPane(nRowHide, col);
        if (pPaneHide == nullptr)
            continue;
        pPaneHide->ShowWindow(SW_HIDE);
        pPaneHide->SetDlgCtrlID(IdFromRowCol(m_nRows, col));
        for (int row = nRowHide + 1; row < m_nRows; ++row) {
            if (CWnd* pPane = GetPane(row, col))
                pPane->SetDlgCtrlID(IdFromRowCol(row - 1, col));
        }
    }
    --m_nRows;
    m_pRowInfo[m_nRows].nCurSize = m_pRowInfo[nRowHide].nCurSize;
    RecalcLayout();
}

void CXTSplitterWnd::ShowRow()
{
    if (m_hWnd == nullptr || m_nHiddenRow == -1 || m_nRows >= m_nMaxRows)
        return;
    const int nRowShow = m_nHiddenRow;
    m_nHiddenRow = -1;
    const int cyKept = m_pRowInfo[m_nRows].nCurSize;
    ++m_nRows;
    for (int col = 0; col < m_nCols; ++col) {
        CWnd* pPaneShow = CWnd::FromHandle(::GetDlgItem(m_hWnd, IdFromRowCol(m_nRows, col)));
        for (int row = m_nRows - 2; row >= nRowShow; --row) {
            if (CWnd* pPane = GetPane(row, col))
                pPane->SetDlgCtrlID(IdFromRowCol(row + 1, col));
        }
        if (pPaneShow != nullptr) {
            pPaneShow->SetDlgCtrlID(IdFromRowCol(nRowShow, col));
            pPaneShow->ShowWindow(SW_SHOWNA);
        }
    }
    for (int row = m_nRows - 1; row > nRowShow; --row)
        m_pRowInfo[row].nIdealSize = m_pRowInfo[row - 1].nCurSize;
    m_pRowInfo[nRowShow].nIdealSize = cyKept;
    RecalcLayout();
}

// ---- Switching and replacing views

BOOL CXTSplitterWnd::SwitchView(int nRow, int nCol, CWnd* pWnd)
{
    CWnd* pPane = GetPane(nRow, nCol);
    if (pPane == nullptr || pWnd == nullptr || pPane->m_hWnd == pWnd->m_hWnd)
        return FALSE;
    const int nPaneID = pPane->GetDlgCtrlID();
    const int nWndID = pWnd->GetDlgCtrlID();
    pPane->ShowWindow(SW_HIDE);
    pWnd->ShowWindow(SW_HIDE);
    pPane->SetDlgCtrlID(nWndID);
    pWnd->SetDlgCtrlID(nPaneID);
    pPane->ShowWindow(SW_SHOW);
    pWnd->ShowWindow(SW_SHOW);
    RecalcLayout();
    return TRUE;
}

CWnd* CXTSplitterWnd::ReplaceView(int nRow, int nCol, CWnd* pWnd)
{
    CWnd* pPane = GetPane(nRow, nCol);
    if (pPane == nullptr || pWnd == nullptr || pPane->m_hWnd == pWnd->m_hWnd)
        return nullptr;
    pWnd->SetDlgCtrlID(pPane->GetDlgCtrlID());
    pPane->SetDlgCtrlID(0);
    pPane->ShowWindow(SW_HIDE);
    pWnd->ShowWindow(SW_SHOW);
    RecalcLayout();
    return pPane;
}

CWnd* CXTSplitterWnd::ReplaceView(int nRow, int nCol, CRuntimeClass* pViewClass)
{
    CWnd* pOldView = GetPane(nRow, nCol);
    if (pOldView == nullptr || pViewClass == nullptr || !pViewClass->IsDerivedFrom(RUNTIME_CLASS(CWnd)) ||
        pOldView->GetRuntimeClass() == pViewClass)
        return nullptr;

    CCreateContext context;
    context.m_pNewViewClass = pViewClass;
    if (pOldView->IsKindOf(RUNTIME_CLASS(CView)))
        context.m_pCurrentDoc = static_cast<CView*>(pOldView)->GetDocument();
    context.m_pCurrentFrame = GetParentFrame();

    CWnd* pNewView = nullptr;
    try {
        pNewView = static_cast<CWnd*>(pViewClass->CreateObject());
    } catch (...) {
        return nullptr;
    }
    if (pNewView == nullptr)
        return nullptr;

    const CRowColInfo rowInfo = m_pRowInfo[nRow];
    const CRowColInfo colInfo = m_pColInfo[nCol];
    // A view that cannot be made deletes itself.
    if (!pNewView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this,
                          static_cast<UINT>(pOldView->GetDlgCtrlID()), &context))
        return nullptr;
    pOldView->ShowWindow(SW_HIDE);
    pOldView->SetDlgCtrlID(0);
    m_pRowInfo[nRow] = rowInfo;
    m_pColInfo[nCol] = colInfo;
    RecalcLayout();
    if (pNewView->IsKindOf(RUNTIME_CLASS(CView)))
        static_cast<CView*>(pNewView)->OnInitialUpdate();
    return pOldView;
}

// ---- Drawing

void CXTSplitterWnd::DrawSplitBox(CDC* pDC, CRect rect, BOOL bFlat)
{
    const COLORREF clrFace = m_pColors->m_clrFace;
    const COLORREF clrShadow = m_pColors->m_clrShadow;
    const COLORREF clrHighlight = GetToolkitColor(COLOR_BTNHIGHLIGHT);
    if (bFlat) {
        Frame(pDC, rect, clrFace, clrFace);
        rect.DeflateRect(1, 1);
        Frame(pDC, rect, clrShadow, clrHighlight);
    } else {
        Frame(pDC, rect, clrFace, GetToolkitColor(COLOR_WINDOWFRAME));
        rect.DeflateRect(1, 1);
        Frame(pDC, rect, clrHighlight, clrShadow);
    }
    rect.DeflateRect(1, 1);
    pDC->FillSolidRect(&rect, clrFace);
}

void CXTSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rectArg)
{
    if (pDC == nullptr) {
        ::RedrawWindow(m_hWnd, &rectArg, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
        return;
    }
    const COLORREF clrFace = m_pColors->m_clrFace;
    const COLORREF clrShadow = m_pColors->m_clrShadow;
    const COLORREF clrHighlight = GetToolkitColor(COLOR_BTNHIGHLIGHT);
    CRect rect = rectArg;
    switch (nType) {
    case splitBox:
        DrawSplitBox(pDC, rect, m_bFlatSplit);
        break;
    case splitBorder:
        if (m_bFlatSplit) {
            Frame(pDC, rect, clrFace, clrFace);
            rect.DeflateRect(1, 1);
            if (m_dwxStyle & XT_SPLIT_NOBORDER)
                Frame(pDC, rect, clrFace, clrFace);
            else
                Frame(pDC, rect, clrShadow, clrHighlight);
        } else {
            Frame(pDC, rect, clrShadow, clrHighlight);
            rect.DeflateRect(1, 1);
            Frame(pDC, rect, GetToolkitColor(COLOR_WINDOWFRAME), clrFace);
        }
        break;
    default:
        pDC->FillSolidRect(&rect, clrFace);
        break;
    }
}

void CXTSplitterWnd::OnInvertTracker(const CRect& rect)
{
    CBrush brushWhite;
    CBrush* pBrush = nullptr;
    if (m_bFlatSplit) {
        brushWhite.Attach(::GetStockObject(WHITE_BRUSH));
        pBrush = &brushWhite;
    } else {
        pBrush = CDC::GetHalftoneBrush();
    }
    DrawTracker(rect, pBrush);
    // The stock brush is not ours to delete.
    brushWhite.Detach();
}

void CXTSplitterWnd::DrawTracker(const CRect& rect, CBrush* pBrush)
{
    // Panes follow the mouse live; there is nothing to show in between.
    if (m_bFullDrag || m_hWnd == nullptr)
        return;
    if (m_dwxStyle & XT_SPLIT_DOTTRACKER) {
        CRect rectFocus;
        GetInsideRect(rectFocus);
        if (rect.Height() > rect.Width())
            rectFocus.right = rect.right;
        else
            rectFocus.bottom = rect.top;
        CWindowDC dc(this);
        dc.DrawFocusRect(&rectFocus);
        return;
    }
    CRect rectBar = rect;
    if (rectBar.Height() > rectBar.Width())
        rectBar.left = rectBar.right - 4;
    else
        rectBar.bottom = rectBar.top + 4;
    HDC hDC = ::GetDCEx(m_hWnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (hDC == nullptr)
        return;
    HGDIOBJ hOld = ::SelectObject(hDC, pBrush != nullptr ? pBrush->GetSafeHandle() : ::GetStockObject(GRAY_BRUSH));
    ::PatBlt(hDC, rectBar.left, rectBar.top, rectBar.Width(), rectBar.Height(), PATINVERT);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hWnd, hDC);
}

void CXTSplitterWnd::SetSplitCursor(int ht)
{
    CXTPToolkitGlobals* pGlobals = GetToolkitGlobals();
    HCURSOR hCursor = nullptr;
    if (IsRowHit(ht))
        hCursor = pGlobals->m_hcurSplitRows;
    else if (IsColumnHit(ht))
        hCursor = pGlobals->m_hcurSplitCols;
    if (hCursor != nullptr)
        ::SetCursor(hCursor);
    else
        CSplitterWnd::SetSplitCursor(ht);
}

// ---- Tracking

void CXTSplitterWnd::StartTracking(int ht)
{
    if (ht == noHit || m_bTracking)
        return;
    if (!m_bFullDrag) {
        // The inverted tracker must reach across the panes while it is dragged.
        if (GetStyle() & WS_CLIPCHILDREN) {
            ModifyStyle(WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0);
            m_bClipStyles = true;
        }
        CSplitterWnd::StartTracking(ht);
        return;
    }
    if (!PlaceTrackers(ht)) {
        // The split boxes track their own rectangle here too.
        if (ht != vSplitterBox && ht != hSplitterBox)
            return;
        GetHitRect(ht, m_rectTracker);
    }
    SetCapture();
    m_bTracking = TRUE;
    m_htTrack = ht;
    SetSplitCursor(ht);
}

void CXTSplitterWnd::StopTracking(BOOL bAccept)
{
    CSplitterWnd::StopTracking(bAccept);
    if (m_bClipStyles) {
        ModifyStyle(0, WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
        m_bClipStyles = false;
    }
}

void CXTSplitterWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    // Without live resizing, outside a drag and when the capture is lost, the framework's handling serves.
    if (!m_bFullDrag || !m_bTracking || ::GetCapture() != m_hWnd) {
        CSplitterWnd::OnMouseMove(nFlags, point);
        return;
    }
    // The panes follow at once: there is no tracker to draw.
    MoveTrackers(point, FALSE);

    // Commits the drag at once and starts it again where it is, keeping the grip on the bar.
    const int ht = m_htTrack;
    const CPoint ptOffset = m_ptTrackOffset;
    CSplitterWnd::OnLButtonUp(nFlags, point);
    Invalidate(TRUE);
    StartTracking(ht);
    m_ptTrackOffset = ptOffset;
    if (point != m_point) {
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        m_point = point;
    }
}

void CXTSplitterWnd::OnLButtonUp(UINT nFlags, CPoint point)
{
    CSplitterWnd::OnLButtonUp(nFlags, point);
    Invalidate(TRUE);
}

LRESULT CXTSplitterWnd::OnNcHitTest(CPoint)
{
    if (m_dwxStyle & XT_SPLIT_NOSIZE)
        return HTBORDER;
    return Default();
}

void CXTSplitterWnd::OnSettingChange(UINT uFlags, LPCTSTR lpszSection)
{
    CSplitterWnd::OnSettingChange(uFlags, lpszSection);
    if (!m_bFullDragFixed)
        ReadFullDrag();
    m_pColors->RefreshColors();
}

// ---- CXTSplitterWndEx

IMPLEMENT_DYNAMIC(CXTSplitterWndEx, CXTSplitterWnd)

BEGIN_MESSAGE_MAP(CXTSplitterWndEx, CXTSplitterWnd)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
END_MESSAGE_MAP()

CXTSplitterWndEx::CXTSplitterWndEx() : m_cyTopOffset(6), m_bShowTopBorder(TRUE)
{
    m_cxBorder = m_cyBorder = 0;
    m_cxSplitter = m_cySplitter = 4;
    m_cxSplitterGap = m_cySplitterGap = 4;
}

void CXTSplitterWndEx::SetBorderStyle(BOOL bTopLines, int nTopOffset)
{
    m_bShowTopBorder = bTopLines;
    m_cyTopOffset = nTopOffset;
}

void CXTSplitterWndEx::GetInsideRect(CRect& rect) const
{
    CXTSplitterWnd::GetInsideRect(rect);
    rect.top = std::min<LONG>(rect.top + m_cyTopOffset, rect.bottom);
}

void CXTSplitterWndEx::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect)
{
    if (pDC == nullptr) {
        CXTSplitterWnd::OnDrawSplitter(pDC, nType, rect);
        return;
    }
    switch (nType) {
    case splitBorder:
        break;
    case splitBox:
        DrawSplitBox(pDC, rect, FALSE);
        break;
    default:
        CXTSplitterWnd::OnDrawSplitter(pDC, nType, rect);
        break;
    }
}

BOOL CXTSplitterWndEx::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    rect.DeflateRect(m_cxBorder, m_cyBorder);
    rect.bottom = rect.top + m_cyTopOffset;
    pDC->FillSolidRect(&rect, m_pColors->m_clrFace);
    return TRUE;
}

void CXTSplitterWndEx::OnPaint()
{
    CXTSplitterWnd::OnPaint();
    if (!m_bShowTopBorder)
        return;
    CRect rect;
    GetClientRect(&rect);
    CClientDC dc(this);
    if (!GetToolkitGlobals()->m_bFlatLook)
        dc.FillSolidRect(rect.left, rect.top, rect.Width(), 1, GetToolkitColor(COLOR_BTNSHADOW));
    dc.FillSolidRect(rect.left, rect.top + 1, rect.Width(), 1, GetToolkitColor(COLOR_BTNHIGHLIGHT));
}
