#include "toolkit/commandbars/XTPThemeXPStyle.h"

#include "framework/win/WinThread.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"

IMPLEMENT_DYNAMIC(CXTPThemeXPStyle, CXTPThemeStandard)

namespace {

// Parts and states of the platform's visual styles.
enum
{
    kToolbarButton = 1,
    kToolbarSplitButton = 3,
    kToolbarSplitDropDown = 4,
    kRebarBackground = 0,
    kRebarGripper = 1,
    kRebarGripperVert = 2,
    kComboDropDown = 1,
    kStateNormal = 1,
    kStateHot = 2,
    kStatePressed = 3,
    kStateDisabled = 4,
    kStateChecked = 5,
    kStateHotChecked = 6,
    kBorderColor = 3801
};

} // namespace

CXTPThemeXPStyle::CXTPThemeXPStyle()
{
    m_iconsInfo.bUseFadedIcons = TRUE;
    m_iconsInfo.bIconsWithShadow = FALSE;
    RefreshMetrics();
}

int CXTPThemeXPStyle::GetThemeId()
{
    return xtpThemeXPStyle;
}

void CXTPThemeXPStyle::RefreshMetrics()
{
    CXTPThemeStandard::RefreshMetrics();
    m_parts.Clear();
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hWnd = pMainWnd != nullptr ? pMainWnd->GetSafeHwnd() : nullptr;
    m_themeToolbar.OpenThemeData(hWnd, L"TOOLBAR");
    m_themeRebar.OpenThemeData(hWnd, L"REBAR");
    m_themeCombo.OpenThemeData(hWnd, L"COMBOBOX");
}

HRESULT CXTPThemeXPStyle::DrawPart(CXTPUxTheme& style, CDC* pDC, int nPart, int nState, const CRect& rc)
{
    return m_parts.DrawThemeBackground(style, pDC->GetSafeHdc(), nPart, nState, rc);
}

// ---- Faces

int CXTPThemeXPStyle::ButtonState(int nSelected, int nPressed, BOOL bEnabled, int nChecked, BOOL bPopuped,
                                  BOOL bToolBar)
{
    if (!bEnabled)
        return nChecked && !bToolBar ? kStatePressed : kStateDisabled;
    if (bPopuped)
        return kStatePressed;
    if (nChecked && !nPressed)
        return nSelected ? kStateHotChecked : kStateChecked;
    if (nPressed == 2 || (nSelected && nPressed))
        return kStatePressed;
    return nSelected ? kStateHot : kStateNormal;
}

void CXTPThemeXPStyle::FillControlFace(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, int nChecked,
                                       BOOL bPopuped, BOOL bToolBar, XTPBarPosition barPosition)
{
    if (!m_themeToolbar.IsAppThemed()) {
        CXTPThemeStandard::FillControlFace(pDC, rc, nSelected, nPressed, bEnabled, nChecked, bPopuped, bToolBar,
                                           barPosition);
        return;
    }
    DrawPart(m_themeToolbar, pDC, kToolbarButton,
             ButtonState(nSelected, nPressed, bEnabled, nChecked, bPopuped, bToolBar), rc);
}

void CXTPThemeXPStyle::DrawSplitButtonFace(CDC* pDC, CXTPControl* pControl, CRect rc)
{
    if (!m_themeToolbar.IsAppThemed()) {
        CXTPThemeStandard::DrawSplitButtonFace(pDC, pControl, rc);
        return;
    }
    const BOOL bEnabled = pControl->GetEnabled();
    const BOOL bPopuped = pControl->GetPopuped();
    const int nSelected = pControl->GetSelected();
    int nState = kStateNormal;
    if (!bEnabled)
        nState = kStateDisabled;
    else if (pControl->GetPressed() && nSelected)
        nState = kStatePressed;
    else if (pControl->GetChecked())
        nState = kStateChecked;
    else if (bPopuped || nSelected)
        nState = kStateHot;
    const CRect rcButton(rc.left, rc.top, rc.right - 12, rc.bottom);
    const CRect rcArrow(rc.right - 12, rc.top, rc.right, rc.bottom);
    DrawPart(m_themeToolbar, pDC, kToolbarSplitButton, nState, rcButton);
    DrawPart(m_themeToolbar, pDC, kToolbarSplitDropDown, bPopuped ? kStatePressed : nState, rcArrow);
    pDC->SetTextColor(GetColor(bEnabled ? 18 : 17));
    pDC->SetBkMode(TRANSPARENT);
}

// ---- Bars and docks

void CXTPThemeXPStyle::FillRebarBackground(CDC* pDC, CWnd* pHost, CWnd* pParent)
{
    CRect rc;
    if (pParent != nullptr) {
        pParent->GetClientRect(&rc);
        pParent->MapWindowPoints(pHost, &rc);
    } else {
        pHost->GetClientRect(&rc);
    }
    if (!m_themeRebar.IsAppThemed() || FAILED(DrawPart(m_themeRebar, pDC, kRebarBackground, 0, rc)))
        pDC->FillSolidRect(&rc, GetColor(15));
}

void CXTPThemeXPStyle::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    const XTPBarPosition position = pBar->GetPosition();
    if (!m_themeRebar.IsAppThemed() || position == xtpBarFloating) {
        CXTPThemeStandard::FillCommandBar(pDC, pBar);
        return;
    }
    CRect rc;
    pBar->GetClientRect(&rc);
    if (position == xtpBarPopup) {
        FillFramedRect(pDC, rc, 16, 4);
        return;
    }
    FillRebarBackground(pDC, pBar, pBar->GetParent());
    DrawRaised(pDC, rc);
}

void CXTPThemeXPStyle::FillDockBar(CDC* pDC, CWnd* pWnd)
{
    FillRebarBackground(pDC, pWnd, nullptr);
}

void CXTPThemeXPStyle::FillHostWindow(CDC* pDC, CWnd* pWnd)
{
    FillRebarBackground(pDC, pWnd, nullptr);
}

CSize CXTPThemeXPStyle::DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    const XTPBarPosition position = pBar->GetPosition();
    if (!m_themeRebar.IsAppThemed() || position == xtpBarFloating)
        return CXTPThemeStandard::DrawGripper(pDC, pBar, bDraw);
    CRect rc;
    pBar->GetClientRect(&rc);
    switch (position) {
    case xtpBarTop:
    case xtpBarBottom:
        if (bDraw)
            DrawPart(m_themeRebar, pDC, kRebarGripper, kStateNormal,
                     CRect(rc.left + 2, rc.top + 2, rc.left + 8, rc.bottom - 2));
        return CSize(8, 0);
    case xtpBarLeft:
    case xtpBarRight:
        if (bDraw)
            DrawPart(m_themeRebar, pDC, kRebarGripperVert, kStateNormal,
                     CRect(rc.left + 2, rc.top + 2, rc.right - 2, rc.top + 8));
        return CSize(0, 8);
    default:
        return CSize(0, 0);
    }
}

void CXTPThemeXPStyle::AdjustControlRect(CXTPControl* pControl, CRect& rc)
{
    if (!m_themeToolbar.IsAppThemed()) {
        CXTPThemeStandard::AdjustControlRect(pControl, rc);
        return;
    }
    // Popup items keep their height: grown by 3 at the top and bottom, a highlight would cover its neighbours'
    // captions.
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pBar != nullptr && pBar->GetType() == xtpBarTypePopup && pControl->GetType() != xtpControlComboBox)
        rc.DeflateRect(3, 0);
}

// ---- Field controls

void CXTPThemeXPStyle::DrawFieldFrame(CDC* pDC, CRect rc, BOOL bHot, BOOL bEnabled)
{
    if (!m_themeCombo.IsAppThemed()) {
        CXTPThemeStandard::DrawFieldFrame(pDC, rc, bHot, bEnabled);
        return;
    }
    COLORREF clrBorder = 0;
    if (FAILED(m_themeCombo.GetThemeColor(kComboDropDown, bEnabled ? kStateNormal : kStateDisabled, kBorderColor,
                                          &clrBorder)))
        clrBorder = GetColor(16);
    pDC->Draw3dRect(&rc, clrBorder, clrBorder);
}

void CXTPThemeXPStyle::DrawDropDownButton(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bHot, BOOL bPressed)
{
    if (!m_themeCombo.IsAppThemed()) {
        CXTPThemeStandard::DrawDropDownButton(pDC, rc, bEnabled, bHot, bPressed);
        return;
    }
    const int nState = !bEnabled ? kStateDisabled : bPressed ? kStatePressed : bHot ? kStateHot : kStateNormal;
    DrawPart(m_themeCombo, pDC, kComboDropDown, nState, CRect(rc.left - 2, rc.top + 1, rc.right - 1, rc.bottom - 1));
}
