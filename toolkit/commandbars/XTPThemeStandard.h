// Command-bar theme 1 (and every theme number other than 0, 2 and 3): the classic look of the platform's system
// colours. Bars on the 3D face with raised edges, buttons raised when hot and sunken when pressed, checked
// buttons on a dithered face, popup menus with a highlight bar, disabled images and captions embossed.
#pragma once

#include "toolkit/commandbars/XTPPaintManager.h"

class CXTPThemeStandard : public CXTPPaintManager
{
    DECLARE_DYNAMIC(CXTPThemeStandard)

public:
    CXTPThemeStandard();

    using CXTPPaintManager::DrawControl;

    CSize DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    void DrawSplitButtonFace(CDC* pDC, CXTPControl* pControl, CRect rc) override;
    CSize DrawComboBoxControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    CSize DrawEditControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    CSize DrawListBoxControl(CDC* pDC, CXTPControl* pControl, CRect rc, BOOL bSelected, BOOL bEnabled,
                             CXTPCommandBars* pCommandBars) override;
    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    void PrepareControlFace(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked, BOOL bPopuped,
                            XTPBarPosition barPosition) override;
    void FillControlFace(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, int nChecked, BOOL bPopuped,
                         BOOL bToolBar, XTPBarPosition barPosition) override;
    CSize DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    CSize DrawSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) override;
    void AdjustControlRect(CXTPControl* pControl, CRect& rc) override;
    void DrawTextBox(CDC* pDC, CRect rc, UINT nFlags, LPCTSTR lpszText) override;
    CSize DrawControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                      CSize szBar) override;
    CRect GetBorders(CXTPCommandBar* pBar) override;
    CSize DrawPopupStrip(CDC* pDC, CRect rc, BOOL bHot, BOOL bDraw) override;
    void DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage, int nSelected, int nPressed,
                   BOOL bEnabled, int nChecked, BOOL bFlag) override;
    int GetThemeId() override;

    // Single-line, vertically centred text; with both states clear (a disabled control that is not selected) it
    // is embossed. Without bDraw only measures and returns the text's size.
    virtual CSize DrawEmbossedText(CDC* pDC, LPCTSTR lpszText, CRect rc, UINT nFlags, BOOL bDraw, BOOL bEnabled,
                                   int nSelected);
    // The frame of a combo box's or edit control's field.
    virtual void DrawFieldFrame(CDC* pDC, CRect rc, BOOL bHot, BOOL bEnabled);
    // A combo box's drop-down button in the right part of its field.
    virtual void DrawDropDownButton(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bHot, BOOL bPressed);

protected:
    // Colour 20 on the top and left, 16 on the bottom and right.
    void DrawRaised(CDC* pDC, const CRect& rc);
    // The reverse; 2 pixels wide it is a groove.
    void DrawSunken(CDC* pDC, const CRect& rc);
    // The face of a checked button: colours 15 and 20 in a fine checkerboard.
    void FillDithered(CDC* pDC, const CRect& rc);
    CSize DrawFieldControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw, BOOL bComboBox);
};
