// A control that opens a popup bar: a menu title, a submenu item, a toolbar drop-down. It holds a reference to
// its popup bar; opening the bar's window comes with the popup window itself.
#pragma once

#include "toolkit/commandbars/XTPControl.h"

class CXTPPopupBar;

class CXTPControlPopup : public CXTPControlButton
{
    DECLARE_SERIAL(CXTPControlPopup)

public:
    CXTPControlPopup();
    ~CXTPControlPopup() override;

    void Serialize(CArchive& ar) override;
    CXTPCommandBar* GetCommandBar() const override;
    // Holds a reference to the bar (the caller's reference is its own) and becomes its opening control.
    void SetCommandBar(CXTPCommandBar* pCommandBar);
    BOOL GetPopuped() const override { return m_bPopup; }
    BOOL OnSetPopup(BOOL bPopup) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void OnLButtonUp(CPoint point) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;
    BOOL IsEqual(CXTPControl* pOther) override;

    // The bar id the archive named for the popup bar; resolved against the loaded bars after loading.
    UINT GetLoadedBarID() const { return m_nLoadedBarID; }

protected:
    CXTPCommandBar* m_pCommandBar;
    BOOL m_bPopup;
    UINT m_nLoadedBarID;
};
