#include "toolkit/commandbars/XTPThemeStandard.h"

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPImageManager.h"

IMPLEMENT_DYNAMIC(CXTPThemeStandard, CXTPPaintManager)

namespace {

XTPBarPosition PositionOf(const CXTPControl* pControl)
{
    return pControl->GetParent() != nullptr ? pControl->GetParent()->GetPosition() : xtpBarNone;
}

// The visible control before pControl on its bar, or null.
CXTPControl* PreviousVisible(CXTPCommandBar* pBar, CXTPControl* pControl)
{
    CXTPControl* pPrevious = nullptr;
    for (int i = 0; i < pBar->GetControlCount(); ++i) {
        CXTPControl* pEach = pBar->GetControl(i);
        if (pEach == pControl)
            return pPrevious;
        if (pEach->IsVisible())
            pPrevious = pEach;
    }
    return nullptr;
}

} // namespace

CXTPThemeStandard::CXTPThemeStandard()
{
    m_iconsInfo.bUseFadedIcons = FALSE;
    m_iconsInfo.bIconsWithShadow = FALSE;
}

int CXTPThemeStandard::GetThemeId()
{
    return xtpThemeStandard;
}

// ---- Edges

void CXTPThemeStandard::DrawRaised(CDC* pDC, const CRect& rc)
{
    Draw3dRect(pDC, rc, 20, 16);
}

void CXTPThemeStandard::DrawSunken(CDC* pDC, const CRect& rc)
{
    Draw3dRect(pDC, rc, 16, 20);
}

void CXTPThemeStandard::FillDithered(CDC* pDC, const CRect& rc)
{
    static const WORD kPattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    CBitmap bitmap;
    CBrush brush;
    if (!bitmap.CreateBitmap(8, 8, 1, 1, kPattern) || !brush.CreatePatternBrush(&bitmap)) {
        pDC->FillSolidRect(&rc, GetColor(15));
        return;
    }
    const COLORREF clrOldText = pDC->SetTextColor(GetColor(15));
    const COLORREF clrOldBk = pDC->SetBkColor(GetColor(20));
    ::FillRect(pDC->GetSafeHdc(), &rc, static_cast<HBRUSH>(brush.GetSafeHandle()));
    pDC->SetTextColor(clrOldText);
    pDC->SetBkColor(clrOldBk);
}

// ---- Faces

void CXTPThemeStandard::FillControlFace(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, int nChecked,
                                        BOOL bPopuped, BOOL bToolBar, XTPBarPosition)
{
    if (!bEnabled) {
        if ((nChecked && !bToolBar) || nSelected == xtpSelectedByKeyboard)
            DrawSunken(pDC, rc);
        return;
    }
    if (nChecked && !nSelected && !nPressed) {
        FillDithered(pDC, rc);
        DrawSunken(pDC, rc);
    } else if (bPopuped || nPressed == 2 || (nSelected && nPressed) || (nChecked && (nSelected || nPressed))) {
        DrawSunken(pDC, rc);
    } else if (nSelected || nPressed) {
        DrawRaised(pDC, rc);
    }
}

void CXTPThemeStandard::PrepareControlFace(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked,
                                           BOOL bPopuped, XTPBarPosition barPosition)
{
    FillControlFace(pDC, rc, nSelected, nPressed, bEnabled, nChecked, bPopuped, TRUE, barPosition);
    pDC->SetTextColor(GetColor(bEnabled ? 18 : 17));
    pDC->SetBkMode(TRANSPARENT);
}

void CXTPThemeStandard::DrawSplitButtonFace(CDC* pDC, CXTPControl* pControl, CRect rc)
{
    const XTPBarPosition position = PositionOf(pControl);
    const BOOL bPopuped = pControl->GetPopuped();
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    const CRect rcArrow(rc.right - 12, rc.top, rc.right, rc.bottom);
    PrepareControlFace(pDC, CRect(rc.left, rc.top, rc.right - 12, rc.bottom), bEnabled, nSelected,
                       pControl->GetPressed(), pControl->GetChecked(), FALSE, position);
    if (nSelected || pControl->GetPressed() || bPopuped)
        PrepareControlFace(pDC, rcArrow, bEnabled, nSelected ? nSelected : xtpSelectedByMouse, 0, 0, bPopuped,
                           position);
    const CPoint c = rcArrow.CenterPoint();
    Triangle(pDC, CPoint(c.x - 2, c.y - 1), CPoint(c.x + 2, c.y - 1), CPoint(c.x, c.y + 1), pDC->GetTextColor());
}

// ---- Bars

void CXTPThemeStandard::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, GetColor(15));
    const XTPBarPosition position = pBar->GetPosition();
    if (position == xtpBarFloating || position == xtpBarPopup) {
        Draw3dRect(pDC, rc, 15, 0);
        rc.DeflateRect(1, 1);
    }
    DrawRaised(pDC, rc);
}

CRect CXTPThemeStandard::GetBorders(CXTPCommandBar* pBar)
{
    if (pBar != nullptr && pBar->GetType() == xtpBarTypePopup)
        return CRect(3, 3, 3, 3);
    return CXTPPaintManager::GetBorders(pBar);
}

CSize CXTPThemeStandard::DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    switch (pBar->GetPosition()) {
    case xtpBarFloating:
        return DrawFloatingCaption(pDC, pBar, bDraw, GetColor(2));
    case xtpBarTop:
    case xtpBarBottom:
        if (bDraw)
            DrawRaised(pDC, CRect(3, 3, 6, rc.bottom - 3));
        return CSize(6, 0);
    case xtpBarLeft:
    case xtpBarRight:
        if (bDraw)
            DrawRaised(pDC, CRect(3, 3, rc.right - 3, 6));
        return CSize(0, 8);
    default:
        return CSize(0, 0);
    }
}

CSize CXTPThemeStandard::DrawSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw)
{
    if (!bDraw)
        return CSize(0, 8);
    const CRect rc = pControl->GetRect();
    const CRect rcRow = pControl->GetRowRect().IsRectEmpty() ? rc : pControl->GetRowRect();
    if (pBar->GetType() == xtpBarTypePopup) {
        DrawSunken(pDC, CRect(14, rc.top - 5, rc.right - 1, rc.top - 3));
        return CSize(0, 0);
    }
    const BOOL bVert = pBar->IsVerticalPosition();
    if (pControl->GetWrap()) {
        // The control starts a new row: the groove ends the row before it.
        CXTPControl* pPrevious = PreviousVisible(pBar, pControl);
        if (pPrevious == nullptr)
            return CSize(0, 0);
        const CRect rcPrevious = pPrevious->GetRect();
        if (!bVert)
            DrawSunken(pDC,
                       CRect(rcPrevious.right + 2, rcPrevious.top + 2, rcPrevious.right + 4, rcPrevious.bottom - 2));
        else
            DrawSunken(pDC,
                       CRect(rcPrevious.left + 2, rcPrevious.bottom + 2, rcPrevious.right - 2, rcPrevious.bottom + 4));
    } else if (!bVert) {
        DrawSunken(pDC, CRect(rc.left - 4, rcRow.top + 2, rc.left - 2, rcRow.bottom - 2));
    } else {
        DrawSunken(pDC, CRect(rcRow.left + 2, rc.top - 4, rcRow.right - 2, rc.top - 2));
    }
    return CSize(0, 0);
}

void CXTPThemeStandard::AdjustControlRect(CXTPControl* pControl, CRect& rc)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pBar == nullptr || pControl->GetType() == xtpControlComboBox)
        return;
    if (pBar->GetType() == xtpBarTypePopup)
        rc.DeflateRect(1, 0);
    else if (pBar->IsVerticalPosition())
        rc.InflateRect(0, 1);
    else
        rc.InflateRect(1, 0);
}

void CXTPThemeStandard::DrawTextBox(CDC* pDC, CRect rc, UINT nFlags, LPCTSTR lpszText)
{
    DrawFramedText(pDC, rc, nFlags, lpszText, GetColor(16), GetColor(20));
}

CSize CXTPThemeStandard::DrawPopupStrip(CDC* pDC, CRect rc, BOOL bHot, BOOL bDraw)
{
    if (bDraw)
        pDC->FillSolidRect(CRect(rc.left, rc.top, rc.right, rc.bottom - 1), GetColor(bHot ? 2 : 3));
    return CSize(0, 8);
}

// ---- Images and text

void CXTPThemeStandard::DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage, int nSelected,
                                  int nPressed, BOOL bEnabled, int nChecked, BOOL bFlag)
{
    if (pImage == nullptr)
        return;
    if (!bEnabled) {
        if (m_iconsInfo.bUseDisabledIcons || pImage->IsAlpha()) {
            pImage->Draw(pDC, pt, pImage->GetDisabledIcon(), sz.cx, sz.cy);
        } else {
            pImage->DrawMono(pDC, CPoint(pt.x + 1, pt.y + 1), pImage->GetIcon(), GetColor(20));
            pImage->DrawMono(pDC, pt, pImage->GetIcon(), GetColor(16));
        }
        return;
    }
    if (nChecked) {
        pImage->Draw(pDC, pt, (nSelected || nPressed) ? pImage->GetHotIcon() : pImage->GetIcon(), sz.cx, sz.cy);
    } else if (bFlag) {
        pImage->Draw(pDC, pt, pImage->GetIcon(), sz.cx, sz.cy);
    } else if (nPressed == 2 || (nSelected && nPressed)) {
        pImage->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), pImage->GetHotIcon(), sz.cx, sz.cy);
    } else if (nSelected || nPressed == 1) {
        if (m_iconsInfo.bIconsWithShadow) {
            pImage->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), pImage->GetShadowIcon(), sz.cx, sz.cy);
            pImage->Draw(pDC, CPoint(pt.x - 1, pt.y - 1), pImage->GetHotIcon(), sz.cx, sz.cy);
        } else {
            pImage->Draw(pDC, pt, pImage->GetHotIcon(), sz.cx, sz.cy);
        }
    } else {
        pImage->Draw(pDC, pt, m_iconsInfo.bUseFadedIcons ? pImage->GetFadedIcon() : pImage->GetIcon(), sz.cx, sz.cy);
    }
}

CSize CXTPThemeStandard::DrawEmbossedText(CDC* pDC, LPCTSTR lpszText, CRect rc, UINT nFlags, BOOL bDraw, BOOL bEnabled,
                                          int nSelected)
{
    if (!bDraw) {
        pDC->DrawText(lpszText, -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
        return rc.Size();
    }
    const UINT nFormat = nFlags | DT_SINGLELINE | DT_VCENTER;
    pDC->SetBkMode(TRANSPARENT);
    if (!bEnabled && !nSelected) {
        const COLORREF clrText = pDC->SetTextColor(GetColor(20));
        CRect rcShadow = rc;
        rcShadow.OffsetRect(1, 1);
        pDC->DrawText(lpszText, -1, &rcShadow, nFormat);
        pDC->SetTextColor(clrText);
    }
    pDC->DrawText(lpszText, -1, &rc, nFormat);
    return CSize(0, 0);
}

// ---- Controls on popups

CSize CXTPThemeStandard::DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    CXTPScopedSelect selectFont(pDC->GetSafeHdc(), GetControlFont(pBar, pControl->IsDefaultItem())->GetSafeHandle());
    if (!bDraw)
        return MeasurePopupItem(pDC, pControl);

    const CRect rc = pControl->GetRect();
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    const int nChecked = pControl->GetChecked();
    const XTPControlType type = pControl->GetType();
    if (nSelected)
        FillFramedRect(pDC, rc, 13, 13);
    const COLORREF clrText = GetColor(!bEnabled ? 17 : (nSelected ? 14 : 18));
    pDC->SetTextColor(clrText);
    pDC->SetBkMode(TRANSPARENT);

    const CRect rcCell = GetPopupIconCell(pControl);
    if (nChecked) {
        CRect rcCheck = rcCell;
        rcCheck.InflateRect(2, 2);
        FillControlFace(pDC, rcCheck, nSelected, 0, bEnabled, nChecked, FALSE, FALSE, xtpBarPopup);
    }
    const CSize szIcon = rcCell.Size();
    CXTPImageManagerIcon* pImage = pControl->GetStyle() != xtpButtonCaption ? pControl->GetImage(szIcon.cx) : nullptr;
    if (pImage != nullptr)
        DrawImage(pDC, rcCell.TopLeft(), ImageSize(pImage, szIcon.cx), pImage, nSelected, 0, bEnabled, nChecked, FALSE);
    else if (nChecked)
        DrawCheckMark(pDC, rcCell, GetColor(18));

    if (IsPopupType(type)) {
        if (type == xtpControlSplitButtonPopup)
            DrawSunken(pDC, CRect(rc.right - 20, rc.top + 2, rc.right - 18, rc.bottom - 2));
        const int yMid = (rc.top + rc.bottom) / 2;
        Triangle(pDC, CPoint(rc.right - 11, yMid - 3), CPoint(rc.right - 8, yMid), CPoint(rc.right - 11, yMid + 3),
                 clrText);
    }
    pDC->SetTextColor(clrText);
    DrawPopupItemText(pDC, pControl);
    return rc.Size();
}

CSize CXTPThemeStandard::DrawControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                                     CSize szBar)
{
    if (bDraw && (nKind == xtpButtonHideFloating || nKind == xtpButtonExpandFloating)) {
        const BOOL bPopuped = nKind == xtpButtonExpandFloating && pControl->GetPopuped();
        if (pControl->GetPressed() || pControl->GetSelected() || bPopuped)
            pDC->FillSolidRect(pControl->GetRect(), GetColor(15));
    }
    if (nKind != xtpButtonPopupItem)
        return CXTPPaintManager::DrawControl(pDC, nKind, pControl, pBar, bDraw, szBar);

    // A classic popup row: the face of the hot item, its image or check mark, its caption.
    CXTPScopedSelect selectFont(pDC->GetSafeHdc(), GetControlFont(pBar, pControl->IsDefaultItem())->GetSafeHandle());
    if (!bDraw)
        return MeasurePopupItem(pDC, pControl);
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    if (nSelected)
        FillControlFace(pDC, pControl->GetRect(), nSelected, 0, bEnabled, 0, FALSE, FALSE, xtpBarPopup);
    const CRect rcCell = GetPopupIconCell(pControl);
    CXTPImageManagerIcon* pImage = pControl->GetImage(rcCell.Width());
    if (pImage != nullptr)
        DrawImage(pDC, rcCell.TopLeft(), ImageSize(pImage, rcCell.Width()), pImage, nSelected, 0, bEnabled,
                  pControl->GetChecked(), FALSE);
    else if (pControl->GetChecked())
        DrawCheckMark(pDC, rcCell, GetColor(18));
    pDC->SetTextColor(GetColor(!bEnabled ? 17 : (nSelected ? 14 : 18)));
    pDC->SetBkMode(TRANSPARENT);
    DrawPopupItemText(pDC, pControl);
    return pControl->GetRect().Size();
}

// ---- Field controls

CSize CXTPThemeStandard::DrawComboBoxControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    return DrawFieldControl(pDC, pControl, bDraw, TRUE);
}

CSize CXTPThemeStandard::DrawEditControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    return DrawFieldControl(pDC, pControl, bDraw, FALSE);
}

CSize CXTPThemeStandard::DrawFieldControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw, BOOL bComboBox)
{
    CXTPScopedSelect selectFont(pDC->GetSafeHdc(), GetControlFont(pControl->GetParent(), FALSE)->GetSafeHandle());
    const CFieldLayout layout = LayoutFieldControl(pDC, pControl, bDraw, 9);
    if (!bDraw)
        return layout.szControl;
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    if (!layout.rcLabel.IsRectEmpty()) {
        pDC->SetTextColor(GetColor(bEnabled ? 18 : 17));
        DrawEmbossedText(pDC, pControl->GetCaption(), layout.rcLabel, 0, TRUE, bEnabled, nSelected);
    }
    const CRect rcField = layout.rcField;
    if (bEnabled)
        pDC->FillSolidRect(&rcField, GetColor(5));
    DrawFieldFrame(pDC, rcField, nSelected != 0, bEnabled);
    if (bComboBox) {
        const CRect rcButton(rcField.right - 15, rcField.top, rcField.right, rcField.bottom);
        auto* pCombo = DYNAMIC_DOWNCAST(CXTPControlComboBox, pControl);
        if (pCombo != nullptr && pControl->GetEditWindow() == nullptr) {
            CRect rcText(rcField.left + 3, rcField.top, rcButton.left, rcField.bottom);
            pDC->SetTextColor(GetColor(8));
            pDC->SetBkMode(TRANSPARENT);
            pDC->DrawText(pCombo->GetEditText(), &rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        DrawDropDownButton(pDC, rcButton, bEnabled, nSelected != 0, pControl->IsDroppedDown());
    }
    return layout.szControl;
}

void CXTPThemeStandard::DrawFieldFrame(CDC* pDC, CRect rc, BOOL bHot, BOOL bEnabled)
{
    if (bHot)
        DrawSunken(pDC, rc);
    else
        Draw3dRect(pDC, rc, bEnabled ? 20 : 16, bEnabled ? 20 : 16);
}

void CXTPThemeStandard::DrawDropDownButton(CDC* pDC, CRect rc, BOOL, BOOL, BOOL bPressed)
{
    CRect rcButton(rc.left - 1, rc.top + 1, rc.right - 1, rc.bottom - 1);
    FillFramedRect(pDC, rcButton, 15, 15);
    Draw3dRect(pDC, rcButton, 15, 0);
    const CRect rcInner(rcButton.left + 1, rcButton.top + 1, rcButton.right - 1, rcButton.bottom - 1);
    if (bPressed)
        Draw3dRect(pDC, rcInner, 16, 16);
    else
        DrawRaised(pDC, rcInner);
    CRect rcGlyph(rcButton.left + 1, rcButton.top + 1, rcButton.right, rcButton.bottom);
    pDC->SetTextColor(GetColor(18));
    pDC->SetBkMode(TRANSPARENT);
    CXTPScopedSelect selectGlyphs(pDC->GetSafeHdc(), m_fontMarlett.GetSafeHandle());
    pDC->DrawText(L"u", 1, &rcGlyph, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

CSize CXTPThemeStandard::DrawListBoxControl(CDC* pDC, CXTPControl* pControl, CRect rc, BOOL bSelected, BOOL bEnabled,
                                            CXTPCommandBars*)
{
    const CSize szEntry = ListBoxEntrySize(pControl, rc);
    if (pDC == nullptr)
        return szEntry;
    if (pControl == nullptr) {
        pDC->FillSolidRect(&rc, GetColor(15));
        return szEntry;
    }
    if (bSelected)
        FillFramedRect(pDC, rc, 13, 15);
    pDC->SetTextColor(GetColor(bSelected ? 45 : 46));
    DrawListBoxEntry(pDC, pControl, rc, bSelected, bEnabled);
    return szEntry;
}
