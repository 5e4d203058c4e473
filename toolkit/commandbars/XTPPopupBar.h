// The bar of a drop-down or context menu: a column of controls opened by a popup control of another bar or at a
// screen point. This is the part other bars rely on (kind, position, the control that opens it); showing,
// placing, scrolling and tearing off the popup window come with the popup window itself.
#pragma once

#include "toolkit/commandbars/XTPCommandBar.h"

class CXTPControlPopup;

class CXTPPopupBar : public CXTPCommandBar
{
    DECLARE_SERIAL(CXTPPopupBar)

public:
    CXTPPopupBar();
    ~CXTPPopupBar() override;

    // A new popup bar working for the manager (which may be null).
    static CXTPPopupBar* CreatePopupBar(CXTPCommandBars* pCommandBars);

    // The bar of the control that opens this popup.
    CXTPCommandBar* GetParentCommandBar() const override;
    CXTPControlPopup* GetControlPopup() const { return m_pControlPopup; }
    void SetControlPopup(CXTPControlPopup* pControlPopup) { m_pControlPopup = pControlPopup; }

    // Shows the rarely used controls too.
    virtual void ExpandBar();
    BOOL IsExpanded() const { return m_bExpanded; }

protected:
    CXTPControlPopup* m_pControlPopup;
    BOOL m_bExpanded;
};
