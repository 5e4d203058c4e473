#include "framework/frame/ReBar.h"

#include "framework/win/Gdi.h"

IMPLEMENT_DYNAMIC(CReBar, CControlBar)

BEGIN_MESSAGE_MAP(CReBar, CControlBar)
ON_NOTIFY_REFLECT(RBN_HEIGHTCHANGE, OnHeightChange)
END_MESSAGE_MAP()

CReBar::CReBar()
{
    SetBorders();
}

BOOL CReBar::Create(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&icc);
    m_dwStyle = dwStyle & CBRS_ALL;
    // The frame's layout places the bar; the control must not move or size itself.
    const DWORD dwWndStyle = (dwStyle & ~static_cast<DWORD>(CBRS_ALL)) | dwCtrlStyle | RBS_VARHEIGHT |
                             CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
    return CWnd::Create(REBARCLASSNAMEW, nullptr, dwWndStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CReBar::AddBar(CWnd* pBar, LPCTSTR pszText, CBitmap* pbmp, DWORD dwStyle)
{
    if (m_hWnd == nullptr || pBar == nullptr || pBar->GetSafeHwnd() == nullptr)
        return FALSE;
    CRect rc;
    pBar->GetWindowRect(&rc);
    REBARBANDINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
    info.fStyle = dwStyle;
    info.hwndChild = pBar->GetSafeHwnd();
    info.cxMinChild = static_cast<UINT>(rc.Width());
    info.cyMinChild = static_cast<UINT>(rc.Height());
    info.cx = static_cast<UINT>(rc.Width());
    if (pszText != nullptr) {
        info.fMask |= RBBIM_TEXT;
        info.lpText = const_cast<LPWSTR>(pszText);
    }
    if (pbmp != nullptr && pbmp->GetSafeHandle() != nullptr) {
        info.fMask |= RBBIM_BACKGROUND;
        info.hbmBack = static_cast<HBITMAP>(pbmp->GetSafeHandle());
    }
    return ::SendMessageW(m_hWnd, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&info)) != 0;
}

int CReBar::GetBandCount() const
{
    return m_hWnd != nullptr ? static_cast<int>(::SendMessageW(m_hWnd, RB_GETBANDCOUNT, 0, 0)) : 0;
}

CSize CReBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    const int nThickness = m_hWnd != nullptr ? static_cast<int>(::SendMessageW(m_hWnd, RB_GETBARHEIGHT, 0, 0)) : 0;
    if (bHorz)
        return CSize(bStretch ? 32767 : 0, nThickness);
    return CSize(nThickness, bStretch ? 32767 : 0);
}

void CReBar::OnUpdateCmdUI(CCmdTarget*, BOOL) {}

void CReBar::OnHeightChange(NMHDR*, LRESULT* pResult)
{
    // Delayed: the layout that follows resizes the rebar, which may report another change.
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->DelayRecalcLayout();
    *pResult = 0;
}
