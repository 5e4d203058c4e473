#include "framework/frame/StatusBar.h"

#include "framework/core/ScopedHandles.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
ON_WM_SIZE()
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_MESSAGE(WM_GETTEXT, OnGetText)
ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
ON_MESSAGE(WM_SETFONT, OnSetFontMessage)
END_MESSAGE_MAP()

namespace {

// The room a pane needs around its text: its sunken edge on both sides and a gap to the next pane.
int PanePadding()
{
    return 3 * ::GetSystemMetrics(SM_CXEDGE);
}

} // namespace

CStatusBar::CStatusBar() : m_hFont(nullptr)
{
    m_cxLeftBorder = 0;
    m_cxRightBorder = 0;
    m_cyTopBorder = 2;
    m_cyBottomBorder = 0;
}

CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    m_dwStyle = dwStyle & CBRS_ALL;
    // The frame's layout places the bar; the control must not move or size itself.
    DWORD dwWndStyle = (dwStyle & ~static_cast<DWORD>(CBRS_ALL)) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY |
                       CCS_NODIVIDER | CCS_NORESIZE;
    if (pParentWnd != nullptr && (pParentWnd->GetStyle() & WS_THICKFRAME))
        dwWndStyle |= SBARS_SIZEGRIP;
    return CWnd::Create(STATUSCLASSNAMEW, nullptr, dwWndStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

HFONT CStatusBar::GetBarFont() const
{
    if (m_hFont != nullptr)
        return m_hFont;
    if (m_hWnd != nullptr) {
        if (auto hFont = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)))
            return hFont;
    }
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

int CStatusBar::TextWidth(LPCTSTR lpsz) const
{
    CScopedWindowDC screen(nullptr);
    CScopedSelect font(screen, GetBarFont());
    SIZE size{};
    ::GetTextExtentPoint32W(screen, lpsz, lstrlenW(lpsz), &size);
    return size.cx;
}

AFX_STATUSPANE* CStatusBar::GetPanePtr(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return nullptr;
    return const_cast<AFX_STATUSPANE*>(&m_panes[static_cast<size_t>(nIndex)]);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    m_panes.clear();
    if (nIDCount < 0 || (nIDCount > 0 && lpIDArray == nullptr))
        nIDCount = 0;
    BOOL bResult = TRUE;
    m_panes.resize(static_cast<size_t>(nIDCount));
    for (int i = 0; i < nIDCount; ++i) {
        AFX_STATUSPANE& pane = m_panes[static_cast<size_t>(i)];
        pane.nID = lpIDArray[i];
        pane.nStyle = SBPS_NORMAL;
        pane.cxText = 0;
        if (pane.nID != ID_SEPARATOR) {
            if (!pane.strText.LoadString(pane.nID))
                bResult = FALSE;
            pane.cxText = TextWidth(pane.strText);
        } else if (i == 0) {
            // The message line: it takes the room the other panes leave.
            pane.nStyle = SBPS_NOBORDERS | SBPS_STRETCH;
        }
    }
    m_nCount = nIDCount;
    UpdateAllPanes(TRUE, TRUE);
    return bResult;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (m_panes[i].nID == nIDFind)
            return static_cast<int>(i);
    }
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    const AFX_STATUSPANE* pane = GetPanePtr(nIndex);
    return pane != nullptr ? pane->nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    if (GetPanePtr(nIndex) != nullptr && m_hWnd != nullptr)
        ::SendMessageW(m_hWnd, SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    const AFX_STATUSPANE* pane = GetPanePtr(nIndex);
    nID = pane != nullptr ? pane->nID : 0;
    nStyle = pane != nullptr ? pane->nStyle : 0;
    cxWidth = pane != nullptr ? pane->cxText : 0;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    AFX_STATUSPANE* pane = GetPanePtr(nIndex);
    if (pane == nullptr)
        return;
    const bool bLayout = pane->cxText != cxWidth || ((pane->nStyle ^ nStyle) & SBPS_STRETCH);
    pane->nID = nID;
    pane->nStyle = nStyle;
    pane->cxText = std::max(0, cxWidth);
    if (bLayout)
        UpdateAllPanes(TRUE, FALSE);
    SendPaneText(nIndex);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    const AFX_STATUSPANE* pane = GetPanePtr(nIndex);
    return pane != nullptr ? pane->nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    AFX_STATUSPANE* pane = GetPanePtr(nIndex);
    if (pane == nullptr || pane->nStyle == nStyle)
        return;
    const bool bLayout = (pane->nStyle ^ nStyle) & SBPS_STRETCH;
    pane->nStyle = nStyle;
    if (bLayout)
        UpdateAllPanes(TRUE, FALSE);
    SendPaneText(nIndex);
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    const AFX_STATUSPANE* pane = GetPanePtr(nIndex);
    return pane != nullptr ? pane->strText : CString();
}

void CStatusBar::GetPaneText(int nIndex, CString& rString) const
{
    rString = GetPaneText(nIndex);
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate)
{
    AFX_STATUSPANE* pane = GetPanePtr(nIndex);
    if (pane == nullptr)
        return FALSE;
    if (lpszNewText == nullptr)
        lpszNewText = L"";
    if (pane->strText == lpszNewText)
        return TRUE;
    pane->strText = lpszNewText;
    if (bUpdate)
        SendPaneText(nIndex);
    return TRUE;
}

void CStatusBar::SendPaneText(int nIndex)
{
    const AFX_STATUSPANE* pane = GetPanePtr(nIndex);
    if (pane == nullptr || m_hWnd == nullptr)
        return;
    const UINT nDraw = pane->nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
    // A disabled pane shows no text; the text is kept for when it is enabled again.
    LPCWSTR lpsz = (pane->nStyle & SBPS_DISABLED) ? L"" : static_cast<LPCWSTR>(pane->strText);
    ::SendMessageW(m_hWnd, SB_SETTEXTW, static_cast<WPARAM>(nIndex) | nDraw, reinterpret_cast<LPARAM>(lpsz));
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    if (m_hWnd == nullptr)
        return;
    const int nCount = static_cast<int>(m_panes.size());
    if (bUpdateRects) {
        CRect rectClient;
        GetClientRect(&rectClient);
        int cxAvail = rectClient.Width() - m_cxLeftBorder - m_cxRightBorder;
        if (GetStyle() & SBARS_SIZEGRIP)
            cxAvail -= ::GetSystemMetrics(SM_CXVSCROLL);
        int cxUsed = 0;
        int nStretch = -1;
        for (int i = 0; i < nCount; ++i) {
            cxUsed += m_panes[static_cast<size_t>(i)].cxText + PanePadding();
            if (nStretch < 0 && (m_panes[static_cast<size_t>(i)].nStyle & SBPS_STRETCH))
                nStretch = i;
        }
        const int cxExtra = std::max(0, cxAvail - cxUsed);
        std::vector<int> edges(static_cast<size_t>(std::max(1, nCount)));
        int right = m_cxLeftBorder;
        for (int i = 0; i < nCount; ++i) {
            right += m_panes[static_cast<size_t>(i)].cxText + PanePadding() + (i == nStretch ? cxExtra : 0);
            edges[static_cast<size_t>(i)] = right;
        }
        if (nCount == 0)
            edges[0] = -1;
        ::SendMessageW(m_hWnd, SB_SETPARTS, static_cast<WPARAM>(std::max(1, nCount)),
                       reinterpret_cast<LPARAM>(edges.data()));
        // Setting the parts resets the drawing flags the texts carry.
        bUpdateText = TRUE;
    }
    if (bUpdateText) {
        for (int i = 0; i < nCount; ++i)
            SendPaneText(i);
    }
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL)
{
    TEXTMETRICW tm{};
    {
        CScopedWindowDC screen(nullptr);
        CScopedSelect font(screen, GetBarFont());
        ::GetTextMetricsW(screen, &tm);
    }

    CSize size;
    size.cy = tm.tmHeight + 2 * ::GetSystemMetrics(SM_CYEDGE) + 2 * ::GetSystemMetrics(SM_CYBORDER) + m_cyTopBorder +
              m_cyBottomBorder;
    if (bStretch) {
        size.cx = 32767;
    } else {
        size.cx = m_cxLeftBorder + m_cxRightBorder;
        for (const AFX_STATUSPANE& pane : m_panes)
            size.cx += pane.cxText + PanePadding();
    }
    return size;
}

void CStatusBar::OnSize(UINT, int, int)
{
    // The control's own sizing would move it to the parent's edge; the frame's layout placed it already.
    // It measures its parts' heights only when their edges change, so a bar that only grew taller would keep
    // parts of its first height: the edges are cleared first.
    if (m_hWnd != nullptr) {
        int none = -1;
        ::SendMessageW(m_hWnd, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&none));
    }
    UpdateAllPanes(TRUE, FALSE);
    Invalidate();
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
    // The window text is the message line: the separator pane, else the first.
    int nIndex = CommandToIndex(ID_SEPARATOR);
    if (nIndex < 0 && !m_panes.empty())
        nIndex = 0;
    if (nIndex < 0)
        return FALSE;
    return SetPaneText(nIndex, reinterpret_cast<LPCTSTR>(lParam)) ? TRUE : FALSE;
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam)
{
    int nIndex = CommandToIndex(ID_SEPARATOR);
    if (nIndex < 0 && !m_panes.empty())
        nIndex = 0;
    auto* lpszDest = reinterpret_cast<LPWSTR>(lParam);
    const int nMax = static_cast<int>(wParam);
    if (lpszDest == nullptr || nMax <= 0)
        return 0;
    const CString text = GetPaneText(nIndex);
    const int nLen = std::min(text.GetLength(), nMax - 1);
    for (int i = 0; i < nLen; ++i)
        lpszDest[i] = text[i];
    lpszDest[nLen] = 0;
    return nLen;
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
    int nIndex = CommandToIndex(ID_SEPARATOR);
    if (nIndex < 0 && !m_panes.empty())
        nIndex = 0;
    return GetPaneText(nIndex).GetLength();
}

LRESULT CStatusBar::OnSetFontMessage(WPARAM wParam, LPARAM)
{
    m_hFont = reinterpret_cast<HFONT>(wParam);
    const LRESULT lResult = Default();
    UpdateAllPanes(TRUE, FALSE);
    return lResult;
}

void CStatusBar::OnUpdateCmdUI(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_panes.size());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = m_panes[state.m_nIndex].nID;
        // The bar's own update handlers first, then the target's route; a pane without a handler keeps its state.
        if (CWnd::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr))
            continue;
        state.DoUpdate(pTarget, FALSE);
        // A handler may have changed the panes.
        state.m_nIndexMax = static_cast<UINT>(m_panes.size());
    }
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

// ---- CStatusCmdUI

void CStatusCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    auto* pBar = static_cast<CStatusBar*>(m_pOther);
    const UINT nOld = pBar->GetPaneStyle(static_cast<int>(m_nIndex));
    pBar->SetPaneStyle(static_cast<int>(m_nIndex), bOn ? (nOld & ~SBPS_DISABLED) : (nOld | SBPS_DISABLED));
}

void CStatusCmdUI::SetCheck(int nCheck)
{
    auto* pBar = static_cast<CStatusBar*>(m_pOther);
    const UINT nOld = pBar->GetPaneStyle(static_cast<int>(m_nIndex));
    pBar->SetPaneStyle(static_cast<int>(m_nIndex), nCheck ? (nOld | SBPS_POPOUT) : (nOld & ~SBPS_POPOUT));
}

void CStatusCmdUI::SetText(LPCTSTR lpszText)
{
    static_cast<CStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
}
