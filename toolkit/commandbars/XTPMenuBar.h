// The frame's menu bar: a toolbar of the popup titles of a menu resource. Loading it takes the frame's own
// menu away, and the Alt key (or F10) puts it into keyboard tracking.
#pragma once

#include "toolkit/commandbars/XTPToolBar.h"

class CXTPMenuBar : public CXTPToolBar
{
    DECLARE_SERIAL(CXTPMenuBar)

public:
    CXTPMenuBar();
    ~CXTPMenuBar() override;

    void Serialize(CArchive& ar) override;

    // Fills the bar from the menu resource (0 keeps the controls), hooks the site and removes the frame's menu.
    BOOL LoadMenuBar(UINT nIDResource);
    // Sees the site's messages before its window procedure.
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    CXTPCommandBar* Clone(BOOL bRecursive = FALSE) override;
    void Reset(BOOL bShowWarning = TRUE) override;

    UINT GetDefaultMenuID() const { return m_nIDResource; }
    HMENU GetDefaultMenu() const { return m_hMenuDefault; }

protected:
    BOOL m_bMDIApp;
    HWND m_hWndActiveChild;
    HMENU m_hMenuDefault;
    UINT m_nIDResource;
    UINT_PTR m_nCurrentKey;
    BOOL m_bMdiMenusSeen;
    HWND m_hWndHooked;
};
