// A control that opens a popup bar: a menu title, a submenu item, a toolbar drop-down or split button. It holds a
// reference to its popup bar and decides when selection, clicks, double clicks, hovering and customise drags open
// or close that bar.
#pragma once

#include "toolkit/commandbars/XTPControl.h"

class CXTPPopupBar;

class CXTPControlPopup : public CXTPControlButton
{
    DECLARE_SERIAL(CXTPControlPopup)

public:
    CXTPControlPopup();
    ~CXTPControlPopup() override;

    // A new popup control of type 2 (popup), 3 (button popup) or 4 (split button popup).
    static CXTPControlPopup* CreateByType(XTPControlType controlType);

    void Serialize(CArchive& ar) override;
    CXTPCommandBar* GetCommandBar() const override;
    // Holds a reference to the bar (the caller's reference is its own) and becomes its opening control.
    void SetCommandBar(CXTPCommandBar* pCommandBar);
    BOOL GetPopuped() const override { return m_bPopup; }
    BOOL OnSetPopup(BOOL bPopup) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void OnLButtonUp(CPoint point) override;
    BOOL OnLButtonDblClk(CPoint point) override;
    void OnMouseHover() override;
    BOOL SetSelected(int bSelected) override;
    void OnCustomizeDragOver(CXTPControl* pDataObject, CPoint point, DROPEFFECT& dropEffect) override;
    // Refuses a bar that is this control's own popup or lies below it: the popup would hold itself.
    BOOL IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT& dropEffect) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;
    BOOL IsEqual(CXTPControl* pOther) override;

    // Gives the control its own drop shadows beside its open popup (themes that force shadows).
    virtual void UpdateShadow();

    // Whether the two controls open the same bar, or one opens a bar that leads to the other's.
    BOOL IsRelated(CXTPControl* pOther) const;
    // The popup bar, expanded to all its commands first when it is open as a menu.
    CXTPCommandBar* GetExpandedBar();

    // The bar id the archive named for the popup bar; resolved against the loaded bars after loading.
    UINT GetLoadedBarID() const { return m_nLoadedBarID; }

protected:
    CXTPCommandBar* m_pCommandBar;
    BOOL m_bPopup;
    UINT m_nLoadedBarID;
};
