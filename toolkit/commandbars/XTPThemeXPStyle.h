// Command-bar theme 3, "XP Style": toolbar buttons, split buttons, grippers, the bar and dock backgrounds and the
// combo box's drop-down button are drawn by the platform's visual styles, so that command bars look like the
// platform's own toolbars and rebars. Without visual styles every operation falls back to the Standard look.
#pragma once

#include "toolkit/commandbars/XTPThemePartCache.h"
#include "toolkit/commandbars/XTPThemeStandard.h"
#include "toolkit/base/XTPUxTheme.h"

class CXTPThemeXPStyle : public CXTPThemeStandard
{
    DECLARE_DYNAMIC(CXTPThemeXPStyle)

public:
    CXTPThemeXPStyle();

    void DrawSplitButtonFace(CDC* pDC, CXTPControl* pControl, CRect rc) override;
    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    void FillControlFace(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, int nChecked, BOOL bPopuped,
                         BOOL bToolBar, XTPBarPosition barPosition) override;
    CSize DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    void AdjustControlRect(CXTPControl* pControl, CRect& rc) override;
    void FillDockBar(CDC* pDC, CWnd* pWnd) override;
    void FillHostWindow(CDC* pDC, CWnd* pWnd) override;
    // The base metrics, then the styles reopened: how a change of the platform's style is taken up.
    void RefreshMetrics() override;
    int GetThemeId() override;
    void DrawFieldFrame(CDC* pDC, CRect rc, BOOL bHot, BOOL bEnabled) override;
    void DrawDropDownButton(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bHot, BOOL bPressed) override;

    // The visual-style state of a toolbar button's face.
    static int ButtonState(int nSelected, int nPressed, BOOL bEnabled, int nChecked, BOOL bPopuped, BOOL bToolBar);

protected:
    // The rebar's background over pHost's client area (or pParent's, mapped into pHost, so that the background
    // runs on without a seam from a dock into its bars).
    void FillRebarBackground(CDC* pDC, CWnd* pHost, CWnd* pParent);
    // A part of a style, drawn once by the platform and copied after.
    HRESULT DrawPart(CXTPUxTheme& style, CDC* pDC, int nPart, int nState, const CRect& rc);

    CXTPUxTheme m_themeRebar;
    CXTPUxTheme m_themeToolbar;
    CXTPUxTheme m_themeCombo;
    CXTPThemePartCache m_parts;
};
