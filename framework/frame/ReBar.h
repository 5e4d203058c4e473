// The rebar control bar: a common-controls rebar along an edge of the frame whose bands hold other bars. It takes
// its height from the control and lays the frame out again when the bands wrap onto more or fewer rows.
#pragma once

#include "framework/frame/ControlBar.h"

#include <commctrl.h>

class CBitmap;

class CReBar : public CControlBar
{
    DECLARE_DYNAMIC(CReBar)

public:
    CReBar();

    BOOL Create(CWnd* pParentWnd, DWORD dwCtrlStyle = RBS_BANDBORDERS,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
                UINT nID = AFX_IDW_REBAR);
    // Appends a band holding the window, sized to the window as it is now; FALSE when the control refuses it.
    BOOL AddBar(CWnd* pBar, LPCTSTR pszText = nullptr, CBitmap* pbmp = nullptr,
                DWORD dwStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
    int GetBandCount() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    // The bars in the bands update themselves at idle time.
    void OnUpdateCmdUI(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    afx_msg void OnHeightChange(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()
};
