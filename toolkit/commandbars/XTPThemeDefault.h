// Command-bar theme 0, "Default": flat bars on a light face with rounded corners, popup menus with an icon
// column, hot and pressed controls as framed colour boxes, images lifted with a shadow when hot.
#pragma once

#include "toolkit/commandbars/XTPPaintManager.h"

class CXTPThemeDefault : public CXTPPaintManager
{
    DECLARE_DYNAMIC(CXTPThemeDefault)

public:
    CXTPThemeDefault();

    using CXTPPaintManager::DrawControl;

    CSize DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
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
    BOOL ShowShadows() override;
    CSize DrawControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                      CSize szBar) override;
    CSize DrawPopupStrip(CDC* pDC, CRect rc, BOOL bHot, BOOL bDraw) override;
    void DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage, int nSelected, int nPressed,
                   BOOL bEnabled, int nChecked, BOOL bFlag) override;
    int GetThemeId() override;

    // The icon column of a popup (colour 42 for rarely used items, else 30).
    virtual void FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bRarelyUsed);

    // The text colour index PrepareControlFace selects for a set of states.
    static int TextColorIndex(BOOL bEnabled, int nSelected, int nPressed, int nChecked, BOOL bPopuped,
                              XTPBarPosition barPosition);

protected:
    // A popup's frame, face and icon column, and its join with the control that opened it in clrJoin.
    void FillPopupBar(CDC* pDC, CXTPCommandBar* pBar, COLORREF clrJoin);
    // The combo box and edit controls: an optional label, then the field (with a drop-down button for a combo).
    CSize DrawFieldControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw, BOOL bComboBox);
};
