// Command-bar theme 2, "Office 2003 Style", the program's default look: the dock area and menu bar as a horizontal
// gradient, docked toolbars as rounded bands with a vertical gradient and a shadow line, popups with a gradient
// icon column, hot, pressed and checked controls as warm gradients. Under the Windows XP style's blue, olive or
// silver scheme a fixed colour set for that scheme replaces the colours derived from the system colours.
#pragma once

#include "framework/win/ImageList.h"
#include "toolkit/commandbars/XTPThemeDefault.h"
#include "toolkit/base/XTPUxTheme.h"

class CXTPThemeOffice2003 : public CXTPThemeDefault
{
    DECLARE_DYNAMIC(CXTPThemeOffice2003)

public:
    CXTPThemeOffice2003();

    using CXTPThemeDefault::DrawControl;

    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    void FillControlFace(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, int nChecked, BOOL bPopuped,
                         BOOL bToolBar, XTPBarPosition barPosition) override;
    CSize DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    CSize DrawSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) override;
    void DrawTextBox(CDC* pDC, CRect rc, UINT nFlags, LPCTSTR lpszText) override;
    void DrawResizeGripper(CDC* pDC, CRect rc) override;
    void FillDockBar(CDC* pDC, CWnd* pWnd) override;
    void RefreshMetrics() override;
    CSize DrawControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                      CSize szBar) override;
    CRect GetBorders(CXTPCommandBar* pBar) override;
    CSize DrawPopupStrip(CDC* pDC, CRect rc, BOOL bHot, BOOL bDraw) override;
    int GetThemeId() override;
    void FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bRarelyUsed) override;

    // The base metrics, then the colours derived from them or, under a Windows XP colour scheme, that scheme's.
    void RefreshColors();
    // The expand button's arrow (and, with hidden controls, a double chevron) in a colour.
    void DrawChevron(CDC* pDC, BOOL bVertical, CRect rc, BOOL bHiddenControls, COLORREF clr);
    // The 16 by 16 disc behind the expand button of a short popup.
    CImageList* GetDiscImages() { return &m_ilDisc; }

    COLORREF m_clrDockLeft;
    COLORREF m_clrDockRight;
    COLORREF m_clrBandDark;
    COLORREF m_clrBandLight;
    COLORREF m_clrPoppedLight;
    COLORREF m_clrPoppedDark;
    COLORREF m_clrBandShadow;
    COLORREF m_clrGripperDark;
    COLORREF m_clrExpandDark;
    COLORREF m_clrExpandLight;
    COLORREF m_clrRareDark;
    COLORREF m_clrRareLight;
    COLORREF m_clrDiscInner;
    COLORREF m_clrDiscOuter;
    COLORREF m_clrTextBoxFrame;
    // The Windows XP scheme's colour set is in force.
    BOOL m_bLunaScheme;

protected:
    // Half the screen at least, so that docks of different widths side by side show one gradient.
    int GradientWidth(int nWidth) const { return nWidth > m_cxHalfScreen ? nWidth : m_cxHalfScreen; }
    // A gradient, or a solid fill on a display of 256 colours or fewer.
    void FillGradient(CDC* pDC, const CRect& rc, COLORREF clrFrom, COLORREF clrTo, BOOL bHorz);
    // The dock's horizontal gradient (or its solid fill) over pDock's client area, painted into pTarget's DC, so
    // that a bar shows what lies behind it.
    void FillDockBackground(CDC* pDC, CWnd* pDock, CWnd* pTarget);
    // A docked toolbar: the dock behind, the rounded band with its gradient, the shadow line.
    void FillToolBarBand(CDC* pDC, CXTPCommandBar* pBar);
    void RebuildDiscImage();

    CXTPUxTheme m_themeStatus;
    CImageList m_ilDisc;
    // Read when the colours are refreshed: asking the display costs a round trip to the X server under Wine,
    // longer than the gradients themselves.
    BOOL m_bLowColor;
    int m_cxHalfScreen;
};
