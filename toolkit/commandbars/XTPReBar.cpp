#include "toolkit/commandbars/XTPReBar.h"

#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

IMPLEMENT_DYNAMIC(CXTPReBar, CReBar)

BOOL CXTPReBar::AddToolBar(CXTPToolBar* pToolBar, DWORD dwStyle)
{
    if (pToolBar == nullptr || pToolBar->GetSafeHwnd() == nullptr)
        return FALSE;
    const CSize size = pToolBar->CalcDockingLayout(32000, LM_COMMIT | LM_HORZDOCK | LM_HORZ);
    pToolBar->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    if (CXTPDockBar* pDockBar = pToolBar->GetDockBar()) {
        pDockBar->RemoveCommandBar(pToolBar);
        pToolBar->EnableDocking(0);
        pToolBar->SetBarStyle(pToolBar->GetBarStyle() & ~static_cast<DWORD>(CBRS_GRIPPER));
    }
    if (!AddBar(pToolBar, nullptr, nullptr, dwStyle))
        return FALSE;
    REBARBANDINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = RBBIM_ID;
    info.wID = pToolBar->GetBarID();
    ::SendMessageW(m_hWnd, RB_SETBANDINFOW, static_cast<WPARAM>(GetBandCount() - 1), reinterpret_cast<LPARAM>(&info));
    return TRUE;
}

int CXTPReBar::FindBand(CXTPToolBar* pToolBar) const
{
    for (int i = GetBandCount() - 1; i >= 0; --i) {
        REBARBANDINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_SIZE;
        if (::SendMessageW(m_hWnd, RB_GETBANDINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info)) &&
            info.hwndChild == pToolBar->GetSafeHwnd())
            return i;
    }
    return -1;
}
