// The window under every command bar of the toolkit: toolbars, the menu bar and popups. It tracks the hot control
// and takes part in the thread's popup mouse tracking while it is in tracking mode.
#pragma once

#include "framework/win/Wnd.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"

class CXTPCommandBar : public CWnd
{
    DECLARE_DYNAMIC(CXTPCommandBar)

public:
    CXTPCommandBar();
    ~CXTPCommandBar() override;

    // Enters (non-zero mode) or leaves tracking mode; FALSE when only the stored mode changed.
    virtual BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE);
    virtual BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE);
    BOOL EndTracking() { return SetTrackingMode(FALSE, TRUE, FALSE); }
    BOOL IsTrackingMode() const { return m_bTracking != 0; }
    int GetTrackingMode() const { return m_bTracking; }
    int GetSelected() const { return m_nSelected; }
    XTPBarPosition GetPosition() const { return m_barPosition; }
    XTPBarType GetType() const { return m_barType; }
    BOOL IsCustomizeMode() const;

    // Hot tracking; the popup mouse tracking also calls it for moves over other windows.
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);

protected:
    afx_msg void OnDestroy();
    afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    int m_nSelected;
    int m_nPopuped;
    int m_bTracking;
    XTPBarType m_barType;
    XTPBarPosition m_barPosition;
};
