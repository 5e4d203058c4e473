// A command bar control that hosts any child window the application made (a slider, a progress bar): it reserves
// room for the window plus margins, moves the window onto that room, shows or hides it with the control, and
// draws as a button where the window is not shown.
#pragma once

#include "toolkit/base/XTPHookManager.h"
#include "toolkit/commandbars/XTPControl.h"

class CWnd;
class CXTPControlCustom;

// How a custom control behaves on a vertically docked bar.
enum XTPControlCustomVerticalOptions
{
    xtpVerticalHide = 0,
    xtpVerticalShow = 1,
    xtpVerticalButton = 2
};

class CXTPControlCustom : public CXTPControlButton
{
    DECLARE_SERIAL(CXTPControlCustom)

public:
    CXTPControlCustom();
    ~CXTPControlCustom() override;

    void Serialize(CArchive& ar) override;
    void SetEnabled(BOOL bEnabled) override;
    void SetRect(CRect rcControl) override;
    void SetHideFlags(DWORD dwFlags) override;
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void OnCalcDynamicSize(DWORD dwMode) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    BOOL IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT& dropEffect) override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;

    // Hosts pWnd (null: none); the window's current size becomes the size it keeps on the bar.
    void SetControl(CWnd* pWnd);
    CWnd* GetControl() const { return m_pControl; }
    void SetSize(CSize szControl) { m_szControl = szControl; }
    CSize GetControlSize() const { return m_szControl; }
    void SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
    {
        m_rcBorders.SetRect(cxLeft, cyTop, cxRight, cyBottom);
    }
    CRect GetBorders() const { return m_rcBorders; }
    void SetVerticalPositionOption(XTPControlCustomVerticalOptions option) { m_verticalOptions = option; }
    XTPControlCustomVerticalOptions GetVerticalPositionOption() const { return m_verticalOptions; }
    BOOL IsControlShown() const { return m_bControlVisible; }
    int GetControlID() const { return m_nControlID; }

protected:
    // Passes the hosted window's mouse moves on to the bar.
    class CHookListener : public CXTPHookManagerHookAble
    {
    public:
        CXTPControlCustom* m_pOwner = nullptr;
        int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    };

    void ApplyVisibility();
    BOOL IsWindowShownNow() const;
    void Attach(CWnd* pWnd);

    CHookListener m_hookListener;
    CWnd* m_pControl;
    CRect m_rcBorders;
    BOOL m_bControlVisible;
    CSize m_szControl;
    XTPControlCustomVerticalOptions m_verticalOptions;
    int m_nControlID;
    HWND m_hWndHooked;
};
