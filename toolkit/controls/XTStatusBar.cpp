#include "toolkit/controls/XTStatusBar.h"

#include "framework/win/Dc.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/controls/XTMemDC.h"

IMPLEMENT_DYNAMIC(CXTStatusBar, CStatusBar)

BEGIN_MESSAGE_MAP(CXTStatusBar, CStatusBar)
ON_WM_SIZE()
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CXTStatusBar::CXTStatusBar() = default;

CXTStatusBar::~CXTStatusBar()
{
    for (INT_PTR i = 0; i < m_arControls.GetSize(); ++i) {
        XT_STATUSPANE_CONTROL* pControl = m_arControls[i];
        if (pControl->bAutoDelete)
            delete pControl->pWnd;
        delete pControl;
    }
    m_arControls.RemoveAll();
}

BOOL CXTStatusBar::AddControl(CWnd* pWnd, UINT nID, BOOL bAutoDelete)
{
    if (CommandToIndex(nID) < 0)
        return FALSE;
    auto* pControl = new XT_STATUSPANE_CONTROL{pWnd, nID, bAutoDelete};
    m_arControls.Add(pControl);
    PositionControls();
    return TRUE;
}

void CXTStatusBar::SetPaneWidth(int nIndex, int nWidth)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    UINT nID = 0;
    UINT nStyle = 0;
    int cxWidth = 0;
    GetPaneInfo(nIndex, nID, nStyle, cxWidth);
    const CString strText = GetPaneText(nIndex);
    SetPaneInfo(nIndex, nID, nStyle, nWidth);
    SetPaneText(nIndex, strText, TRUE);
}

CRect CXTStatusBar::PaneRect(int nIndex) const
{
    CRect rect;
    GetItemRect(nIndex, &rect);
    if (nIndex != GetCount() - 1)
        return rect;
    UINT nID = 0;
    UINT nStyle = 0;
    int cxWidth = 0;
    GetPaneInfo(nIndex, nID, nStyle, cxWidth);
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    if (nStyle & SBPS_STRETCH) {
        CRect client;
        GetClientRect(&client);
        rect.right = client.right;
        if (GetStyle() & SBARS_SIZEGRIP)
            rect.right -= cxEdge + GetToolkitGlobals()->m_cxSmIcon;
    } else {
        rect.right = rect.left + cxWidth + 3 * cxEdge;
    }
    return rect;
}

CRect CXTStatusBar::GetPaneControlRect(UINT nID) const
{
    const int nIndex = CommandToIndex(nID);
    if (nIndex < 0)
        return CRect(0, 0, 0, 0);
    CRect rect = PaneRect(nIndex);
    if (!(GetPaneStyle(nIndex) & SBPS_NOBORDERS)) {
        const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
        rect.DeflateRect(cxEdge, cxEdge);
    }
    return rect;
}

void CXTStatusBar::PositionControls()
{
    for (INT_PTR i = 0; i < m_arControls.GetSize(); ++i) {
        XT_STATUSPANE_CONTROL* pControl = m_arControls[i];
        // A window destroyed elsewhere keeps its record but is skipped.
        if (pControl->pWnd == nullptr || !::IsWindow(pControl->pWnd->m_hWnd))
            continue;
        const CRect rect = GetPaneControlRect(pControl->nID);
        if (CommandToIndex(pControl->nID) >= 0)
            pControl->pWnd->MoveWindow(&rect, TRUE);
    }
}

void CXTStatusBar::OnSize(UINT nType, int cx, int cy)
{
    CStatusBar::OnSize(nType, cx, cy);
    PositionControls();
}

int CXTStatusBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CStatusBar::OnCreate(lpCreateStruct) == -1)
        return -1;
    SendMessage(WM_SETFONT,
                reinterpret_cast<WPARAM>(GetToolkitGlobals()->m_fonts[CXTPToolkitGlobals::fontRegular].GetSafeHandle()),
                TRUE);
    return 0;
}

void CXTStatusBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CXTMemDC memDC(&dc, client, ::GetSysColor(COLOR_BTNFACE));
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.GetSafeHdc()), 0);
    if (!GetToolkitGlobals()->m_bFlatLook)
        return;
    const COLORREF clrFrame = GetToolkitColor(COLOR_BTNSHADOW);
    for (int i = 0; i < GetCount(); ++i) {
        if (GetPaneStyle(i) & SBPS_NOBORDERS)
            continue;
        const CRect rect = PaneRect(i);
        memDC.Draw3dRect(&rect, clrFrame, clrFrame);
    }
}

BOOL CXTStatusBar::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

LRESULT CXTStatusBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    const BOOL bVisible = (GetStyle() & WS_VISIBLE) != 0;
    UINT nFlags = 0;
    if ((m_nStateFlags & delayHide) && bVisible)
        nFlags = SWP_HIDEWINDOW;
    else if ((m_nStateFlags & delayShow) && !bVisible)
        nFlags = SWP_SHOWWINDOW;
    m_nStateFlags &= ~(delayShow | delayHide);
    if (nFlags != 0)
        SetWindowPos(nullptr, 0, 0, 0, 0, nFlags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (!(GetStyle() & WS_VISIBLE) || (m_pDockBar != nullptr && !(m_pDockBar->GetStyle() & WS_VISIBLE)))
        return 0;
    // Any owner will do, not only a frame.
    CWnd* pTarget = GetOwner();
    if (pTarget == nullptr)
        pTarget = GetParent();
    if (pTarget != nullptr)
        OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
    return 0;
}
