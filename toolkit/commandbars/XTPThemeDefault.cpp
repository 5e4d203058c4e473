#include "toolkit/commandbars/XTPThemeDefault.h"

#include "framework/core/ScopedHandles.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPopupBar.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTPThemeDefault, CXTPPaintManager)

CXTPThemeDefault::CXTPThemeDefault()
{
    m_iconsInfo.bUseFadedIcons = TRUE;
    m_iconsInfo.bIconsWithShadow = TRUE;
}

int CXTPThemeDefault::GetThemeId()
{
    return xtpThemeDefault;
}

BOOL CXTPThemeDefault::ShowShadows()
{
    return TRUE;
}

// ---- Faces and text colours

int CXTPThemeDefault::TextColorIndex(BOOL bEnabled, int nSelected, int nPressed, int nChecked, BOOL bPopuped,
                                     XTPBarPosition barPosition)
{
    if (!bEnabled)
        return 40;
    if (bPopuped)
        return 46;
    // A checked control that is neither hot nor pressed shows the hot text colour, not the pressed one.
    if (nChecked && !nSelected && !nPressed)
        return 45;
    if (nPressed == 2)
        return 47;
    if (nSelected)
        return (nPressed || nChecked) ? 47 : 45;
    if (nPressed)
        return 45;
    return barPosition == xtpBarPopup ? 44 : 46;
}

void CXTPThemeDefault::FillControlFace(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, int nChecked,
                                       BOOL bPopuped, BOOL bToolBar, XTPBarPosition)
{
    if (!bEnabled) {
        if (nChecked && !bToolBar)
            FillFramedRect(pDC, rc, 40, 30);
        if (nSelected == xtpSelectedByKeyboard)
            FillFramedRect(pDC, rc, 32, bToolBar ? 31 : 41);
        return;
    }
    if (bPopuped)
        FillFramedRect(pDC, rc, 43, 30);
    else if (nChecked && !nSelected && !nPressed)
        FillFramedRect(pDC, rc, 50, 36);
    else if (nChecked && nSelected && !nPressed)
        FillFramedRect(pDC, rc, 37, 33);
    else if (nPressed == 2 || (nSelected && nPressed))
        FillFramedRect(pDC, rc, 50, 33);
    else if (nSelected || nPressed)
        FillFramedRect(pDC, rc, 32, 31);
}

void CXTPThemeDefault::PrepareControlFace(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked,
                                          BOOL bPopuped, XTPBarPosition barPosition)
{
    FillControlFace(pDC, rc, nSelected, nPressed, bEnabled, nChecked, bPopuped, TRUE, barPosition);
    pDC->SetTextColor(GetColor(
        static_cast<COLORREF>(TextColorIndex(bEnabled, nSelected, nPressed, nChecked, bPopuped, barPosition))));
    pDC->SetBkMode(TRANSPARENT);
}

void CXTPThemeDefault::FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bRarelyUsed)
{
    pDC->FillSolidRect(x, y, cx, cy, GetColor(bRarelyUsed ? 42 : 30));
}

// ---- Bars

void CXTPThemeDefault::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    const XTPBarPosition position = pBar->GetPosition();
    if (position == xtpBarFloating) {
        CXTPScopedPen pen(pDC->GetSafeHdc(), GetColor(43));
        CXTPScopedBrush brush(pDC->GetSafeHdc(), GetColor(pBar->GetType() == xtpBarTypeMenuBar ? 15 : 30));
        pDC->Rectangle(&rc);
        CRect rcInner = rc;
        rcInner.DeflateRect(1, 1);
        pDC->Rectangle(&rcInner);
        const COLORREF clr = GetColor(43);
        pDC->SetPixel(2, 2, clr);
        pDC->SetPixel(rc.right - 2, 2, clr);
        pDC->SetPixel(2, rc.bottom - 2, clr);
        pDC->SetPixel(rc.right - 2, rc.bottom - 2, clr);
        return;
    }
    if (pBar->GetType() == xtpBarTypeMenuBar) {
        pDC->FillSolidRect(&rc, GetColor(15));
        return;
    }
    if (position == xtpBarPopup) {
        FillPopupBar(pDC, pBar, 30);
        return;
    }
    pDC->FillSolidRect(&rc, GetColor(30));
    pDC->Draw3dRect(&rc, GetColor(15), GetColor(15));
    const COLORREF clr = GetColor(15);
    pDC->SetPixel(1, 1, clr);
    pDC->SetPixel(rc.right - 2, 1, clr);
    pDC->SetPixel(1, rc.bottom - 2, clr);
    pDC->SetPixel(rc.right - 2, rc.bottom - 2, clr);
}

void CXTPThemeDefault::FillPopupBar(CDC* pDC, CXTPCommandBar* pBar, COLORREF clrJoin)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    FillFramedRect(pDC, rc, 43, 41);
    if (pBar->GetType() == xtpBarTypePopup)
        FillIconColumn(pDC, 1, 2, GetPopupIconColumnWidth(pBar) + 1, rc.bottom - 4, FALSE);
    // The popup looks attached to the button that opened it: their shared edge takes one colour.
    CXTPPopupBar* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, pBar);
    CXTPControl* pOpener = pPopupBar != nullptr ? pPopupBar->GetControlPopup() : nullptr;
    CXTPCommandBar* pOpenerBar = pOpener != nullptr ? pOpener->GetParent() : nullptr;
    if (pOpenerBar == nullptr || pOpenerBar == pBar || pOpenerBar->GetSafeHwnd() == nullptr ||
        pBar->GetSafeHwnd() == nullptr)
        return;
    CRect rcControl = pOpener->GetRect();
    pOpenerBar->ClientToScreen(&rcControl);
    CRect rcWindow;
    pBar->GetWindowRect(&rcWindow);
    CRect rcJoin;
    if (rcJoin.IntersectRect(&rcWindow, &rcControl)) {
        if (rcJoin.Width() > 1)
            rcJoin.DeflateRect(1, 0);
        if (rcJoin.Height() > 1)
            rcJoin.DeflateRect(0, 1);
        pBar->ScreenToClient(&rcJoin);
        pDC->FillSolidRect(&rcJoin, GetColor(clrJoin));
    }
}

CSize CXTPThemeDefault::DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    switch (pBar->GetPosition()) {
    case xtpBarFloating:
        return DrawFloatingCaption(pDC, pBar, bDraw, GetColor(16));
    case xtpBarTop:
    case xtpBarBottom:
        if (bDraw) {
            CXTPScopedPen pen(pDC->GetSafeHdc(), GetColor(38));
            for (int y = 5; y < rc.bottom - 5; y += 2)
                Line(pDC, 3, y, 6, y);
        }
        return CSize(6, 0);
    case xtpBarLeft:
    case xtpBarRight:
        if (bDraw) {
            CXTPScopedPen pen(pDC->GetSafeHdc(), GetColor(38));
            for (int x = 5; x < rc.right - 5; x += 2)
                Line(pDC, x, 3, x, 6);
        }
        return CSize(0, 8);
    default:
        return CSize(0, 0);
    }
}

CSize CXTPThemeDefault::DrawSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw)
{
    if (!bDraw)
        return CSize(0, 3);
    const CRect rc = pControl->GetRect();
    const CRect rcRow = pControl->GetRowRect().IsRectEmpty() ? rc : pControl->GetRowRect();
    if (pBar->GetType() == xtpBarTypePopup) {
        const int y = rc.top - 2;
        DrawLine(pDC, GetPopupIconColumnWidth(pBar) + 10, y, rc.right - 1, y, 39);
    } else if (!pBar->IsVerticalPosition()) {
        if (pControl->GetWrap())
            DrawLine(pDC, rcRow.left, rcRow.top - 4, rcRow.right, rcRow.top - 4, 39);
        else
            DrawLine(pDC, rc.left - 4, rcRow.top + 2, rc.left - 4, rcRow.bottom - 2, 39);
    } else {
        if (pControl->GetWrap())
            DrawLine(pDC, rcRow.right + 4, rcRow.top, rcRow.right + 4, rcRow.bottom, 39);
        else
            DrawLine(pDC, rcRow.left + 2, rc.top - 4, rcRow.right - 2, rc.top - 4, 39);
    }
    return CSize(0, 0);
}

void CXTPThemeDefault::AdjustControlRect(CXTPControl* pControl, CRect& rc)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pBar == nullptr)
        return;
    if (pBar->GetType() == xtpBarTypePopup) {
        rc.InflateRect(1, 0);
        return;
    }
    if (pControl->GetType() == xtpControlComboBox)
        return;
    if (pBar->IsVerticalPosition())
        rc.DeflateRect(1, 0);
    else
        rc.DeflateRect(0, 1);
}

void CXTPThemeDefault::DrawTextBox(CDC* pDC, CRect rc, UINT nFlags, LPCTSTR lpszText)
{
    DrawFramedText(pDC, rc, nFlags, lpszText, GetColor(16), GetColor(16));
}

CSize CXTPThemeDefault::DrawPopupStrip(CDC* pDC, CRect rc, BOOL bHot, BOOL bDraw)
{
    if (!bDraw)
        return CSize(0, 9);
    CRect rcStrip = rc;
    pDC->FillSolidRect(&rcStrip, GetColor(41));
    rcStrip.DeflateRect(1, 1);
    const int nHalf = rcStrip.Width() / 2;
    const int nLine = nHalf > 26 ? 16 : nHalf - 10;
    const int xMid = (rcStrip.left + rcStrip.right) / 2;
    if (!bHot) {
        pDC->FillSolidRect(&rcStrip, GetColor(30));
        if (nLine > 0) {
            for (int dy : {3, 5, 7})
                DrawLine(pDC, xMid - nLine, rcStrip.top + dy, xMid + nLine, rcStrip.top + dy, 38);
        }
    } else {
        FillFramedRect(pDC, rcStrip, 32, 31);
        if (nLine > 0) {
            for (int dy : {4, 6})
                DrawLine(pDC, xMid - nLine, rcStrip.top + dy, xMid + nLine, rcStrip.top + dy, 45);
        }
    }
    return CSize(0, 9);
}

// ---- Images

void CXTPThemeDefault::DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage, int nSelected,
                                 int nPressed, BOOL bEnabled, int nChecked, BOOL bFlag)
{
    if (pImage == nullptr)
        return;
    if (!bEnabled) {
        if (m_iconsInfo.bUseDisabledIcons || pImage->IsAlpha())
            pImage->Draw(pDC, pt, pImage->GetDisabledIcon(), sz.cx, sz.cy);
        else
            pImage->DrawMono(pDC, pt, pImage->GetIcon(), GetColor(40));
        return;
    }
    auto lifted = [&]() {
        if (m_iconsInfo.bIconsWithShadow) {
            pImage->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), pImage->GetShadowIcon(), sz.cx, sz.cy);
            pImage->Draw(pDC, CPoint(pt.x - 1, pt.y - 1), pImage->GetHotIcon(), sz.cx, sz.cy);
        } else {
            pImage->Draw(pDC, pt, pImage->GetHotIcon(), sz.cx, sz.cy);
        }
    };
    if (bFlag && !nChecked) {
        pImage->Draw(pDC, pt, pImage->GetIcon(), sz.cx, sz.cy);
    } else if (nChecked) {
        pImage->Draw(pDC, pt, (nSelected || nPressed) ? pImage->GetHotIcon() : pImage->GetIcon(), sz.cx, sz.cy);
    } else if (!nSelected) {
        if (nPressed == 0)
            pImage->Draw(pDC, pt, m_iconsInfo.bUseFadedIcons ? pImage->GetFadedIcon() : pImage->GetIcon(), sz.cx,
                         sz.cy);
        else if (nPressed == 2)
            pImage->Draw(pDC, pt, pImage->GetHotIcon(), sz.cx, sz.cy);
        else
            lifted();
    } else if (nPressed) {
        pImage->Draw(pDC, pt, pImage->GetHotIcon(), sz.cx, sz.cy);
    } else {
        lifted();
    }
}

// ---- Controls on popups

CSize CXTPThemeDefault::DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    const CSize szIcon = pBar != nullptr ? pBar->GetIconSize() : CSize(16, 16);
    const int W = GetPopupIconColumnWidth(pBar);
    const XTPControlType type = pControl->GetType();
    CXTPScopedSelect selectFont(pDC->GetSafeHdc(), GetControlFont(pBar, pControl->IsDefaultItem())->GetSafeHandle());
    if (!bDraw)
        return MeasurePopupItem(pDC, pControl);

    const CRect rc = pControl->GetRect();
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    const int nChecked = pControl->GetChecked();

    if (pControl->IsRarelyUsed())
        FillIconColumn(pDC, 1, rc.top, W + 1, rc.Height(), TRUE);
    if (pControl->IsLabelStyle())
        pDC->FillSolidRect(W + 3, rc.top, rc.right - 3 - (W + 3), rc.Height(), GetColor(56));
    else
        FillControlFace(pDC, rc, nSelected, 0, bEnabled, 0, FALSE, FALSE, xtpBarPopup);

    const COLORREF clrText = GetColor(!bEnabled ? 35 : (nSelected ? 45 : 44));
    pDC->SetTextColor(clrText);
    pDC->SetBkMode(TRANSPARENT);

    const CRect rcCell = GetPopupIconCell(pControl);
    CXTPImageManagerIcon* pImage = pControl->GetStyle() != xtpButtonCaption ? pControl->GetImage(szIcon.cx) : nullptr;
    if (nChecked) {
        CRect rcCheck = rcCell;
        rcCheck.InflateRect(2, 2);
        FillControlFace(pDC, rcCheck, nSelected, 0, bEnabled, nChecked, FALSE, FALSE, xtpBarPopup);
    }
    if (pImage != nullptr)
        DrawImage(pDC, rcCell.TopLeft(), ImageSize(pImage, szIcon.cx), pImage, nSelected, 0, bEnabled, nChecked, FALSE);
    else if (nChecked)
        DrawCheckMark(pDC, rcCell, clrText);

    if (IsPopupType(type)) {
        COLORREF clrArrow = clrText;
        if (type == xtpControlSplitButtonPopup && bEnabled) {
            if (pControl->GetPopuped() && nSelected) {
                FillFramedRect(pDC, CRect(rc.right - 20, rc.top, rc.right, rc.bottom), 32, 33);
                clrArrow = GetColor(47);
            } else {
                DrawLine(pDC, rc.right - 20, rc.top + 1, rc.right - 20, rc.bottom - 1, nSelected ? 32 : 16);
            }
        }
        const int yMid = (rc.top + rc.bottom) / 2;
        Triangle(pDC, CPoint(rc.right - 11, yMid - 3), CPoint(rc.right - 8, yMid), CPoint(rc.right - 11, yMid + 3),
                 clrArrow);
    }

    DrawPopupItemText(pDC, pControl);
    return rc.Size();
}

CSize CXTPThemeDefault::DrawControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                                    CSize szBar)
{
    if (nKind != xtpButtonPopupItem)
        return CXTPPaintManager::DrawControl(pDC, nKind, pControl, pBar, bDraw, szBar);
    if (bDraw) {
        const CRect rc = pControl->GetRect();
        FillIconColumn(pDC, 1, rc.top, GetPopupIconColumnWidth(pBar) + 1, rc.Height(), FALSE);
    }
    return DrawControlPopupParent(pDC, pControl, bDraw);
}

// ---- Field controls

CSize CXTPThemeDefault::DrawComboBoxControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    return DrawFieldControl(pDC, pControl, bDraw, TRUE);
}

CSize CXTPThemeDefault::DrawEditControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    return DrawFieldControl(pDC, pControl, bDraw, FALSE);
}

CSize CXTPThemeDefault::DrawFieldControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw, BOOL bComboBox)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    const BOOL bPopup = pBar != nullptr && pBar->GetType() == xtpBarTypePopup;
    CXTPScopedSelect selectFont(pDC->GetSafeHdc(), GetControlFont(pBar, FALSE)->GetSafeHandle());
    const CFieldLayout layout = LayoutFieldControl(pDC, pControl, bDraw, 13);
    if (!bDraw)
        return layout.szControl;

    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    if (!layout.rcLabel.IsRectEmpty()) {
        CRect rcLabel = layout.rcLabel;
        int nColor;
        if (bPopup) {
            if (nSelected)
                FillControlFace(pDC, rcLabel, nSelected, 0, bEnabled, 0, FALSE, FALSE, xtpBarPopup);
            nColor = !bEnabled ? 35 : (nSelected ? 45 : 44);
        } else {
            nColor = bEnabled ? 46 : 40;
        }
        pDC->SetTextColor(GetColor(static_cast<COLORREF>(nColor)));
        pDC->SetBkMode(TRANSPARENT);
        pDC->DrawText(pControl->GetCaption(), &rcLabel, DT_SINGLELINE | DT_VCENTER);
    }
    const CRect rcField = layout.rcField;
    if (!bEnabled)
        FillFramedRect(pDC, rcField, nSelected == xtpSelectedByKeyboard ? 32 : 40, 15);
    else
        FillFramedRect(pDC, rcField, nSelected ? 32 : 53, 5);
    if (bComboBox) {
        const BOOL bDropped = pControl->IsDroppedDown();
        CRect rcButton(rcField.right - 13, rcField.top + 1, rcField.right - 1, rcField.bottom - 1);
        if (nSelected && bEnabled)
            FillFramedRect(pDC, rcButton, 32, bDropped ? 33 : 31);
        const int nGlyph = !bEnabled ? 40 : (bDropped ? 47 : (nSelected ? 45 : 46));
        pDC->SetTextColor(GetColor(static_cast<COLORREF>(nGlyph)));
        CXTPScopedSelect selectGlyphs(pDC->GetSafeHdc(), m_fontMarlett.GetSafeHandle());
        pDC->DrawText(L"u", 1, &rcButton, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    return layout.szControl;
}

CSize CXTPThemeDefault::DrawListBoxControl(CDC* pDC, CXTPControl* pControl, CRect rc, BOOL bSelected, BOOL bEnabled,
                                           CXTPCommandBars*)
{
    const CSize szEntry = ListBoxEntrySize(pControl, rc);
    if (pDC == nullptr)
        return szEntry;
    if (pControl == nullptr) {
        pDC->FillSolidRect(&rc, GetColor(41));
        return szEntry;
    }
    if (bSelected)
        FillControlFace(pDC, rc, xtpSelectedByMouse, 0, TRUE, 0, FALSE, FALSE, xtpBarPopup);
    pDC->SetTextColor(GetColor(bSelected ? 45 : 44));
    DrawListBoxEntry(pDC, pControl, rc, bSelected, bEnabled);
    return szEntry;
}
