#include "toolkit/controls/XTButtonTheme.h"

#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/controls/XTButton.h"

#include <vssym32.h>

#include <algorithm>

namespace {

bool IsPressed(UINT nState)
{
    return (nState & ODS_SELECTED) != 0;
}

bool IsDisabled(UINT nState)
{
    return (nState & ODS_DISABLED) != 0;
}

bool HasImage(CXTButton* pButton)
{
    const CSize size = pButton->GetImageSize();
    return size.cx > 0 && size.cy > 0;
}

// The button has an image that sits beside its text.
bool ImageBeside(CXTButton* pButton)
{
    return HasImage(pButton) && !(pButton->GetXButtonStyle() & BS_XT_TWOROWS);
}

bool ImageAbove(CXTButton* pButton)
{
    return HasImage(pButton) && (pButton->GetXButtonStyle() & BS_XT_TWOROWS);
}

UINT Alignment(CXTButton* pButton)
{
    return pButton->GetStyle() & BS_CENTER;
}

// An 8 x 8 pattern of alternating rows in two colours.
void FillDithered(CDC* pDC, const CRect& rect, COLORREF clrFirst, COLORREF clrSecond)
{
    const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    CBitmap bitmap;
    if (!bitmap.Attach(::CreateBitmap(8, 8, 1, 1, rows)))
        return;
    CBrush brush;
    if (!brush.Attach(::CreatePatternBrush(static_cast<HBITMAP>(bitmap.GetSafeHandle()))))
        return;
    const COLORREF clrOldText = pDC->SetTextColor(clrFirst);
    const COLORREF clrOldBack = pDC->SetBkColor(clrSecond);
    pDC->FillRect(&rect, &brush);
    pDC->SetTextColor(clrOldText);
    pDC->SetBkColor(clrOldBack);
}

} // namespace

// ---- Theme 0

CXTButtonTheme::CXTButtonTheme()
    : m_bShowImage(TRUE), m_bOffsetHiLite(TRUE), m_pFont(nullptr), m_nThemeId(xtControlThemeClassic)
{
    CXTButtonTheme::RefreshMetrics();
}

void CXTButtonTheme::RefreshMetrics()
{
    XTPColorManager()->RefreshColors();
    m_crBack.SetStandardValue(GetToolkitColor(COLOR_BTNFACE));
    m_crText.SetStandardValue(GetToolkitColor(COLOR_BTNTEXT));
    m_crTextDisabled.SetStandardValue(GetToolkitColor(COLOR_GRAYTEXT));
    m_crBorderLight.SetStandardValue(GetToolkitColor(COLOR_BTNFACE));
    m_crBorderShadow.SetStandardValue(GetToolkitColor(COLOR_BTNSHADOW));
    m_crBorderHilite.SetStandardValue(GetToolkitColor(COLOR_BTNHIGHLIGHT));
    m_crBorder3DShadow.SetStandardValue(GetToolkitColor(COLOR_3DDKSHADOW));
}

BOOL CXTButtonTheme::IsVisualStyle(CXTButton* pButton)
{
    if (pButton == nullptr || !(pButton->GetXButtonStyle() & BS_XT_WINXP_COMPAT))
        return FALSE;
    if (!m_themeButton.IsThemeDataOpen())
        m_themeButton.OpenThemeData(pButton->m_hWnd, L"BUTTON");
    return m_themeButton.IsAppThemeReady();
}

BOOL CXTButtonTheme::IsHotTracking(CXTButton* pButton)
{
    return IsVisualStyle(pButton) || (pButton->GetXButtonStyle() & (BS_XT_FLAT | BS_XT_SEMIFLAT));
}

CFont* CXTButtonTheme::GetThemeFont(CXTButton* pButton)
{
    return m_pFont != nullptr ? m_pFont : pButton->GetFont();
}

void CXTButtonTheme::SetStateColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText)
{
    m_crBack.SetCustomValue(clrFace);
    m_crBorderLight.SetCustomValue(clrLight);
    m_crBorderShadow.SetCustomValue(clrShadow);
    m_crText.SetCustomValue(clrText);
}

CSize CXTButtonTheme::MeasureText(CDC* pDC, CXTButton* pButton)
{
    const CString strText = pButton->GetButtonText(TRUE);
    CFont* pFont = GetThemeFont(pButton);
    CFont* pOldFont = pFont != nullptr ? pDC->SelectObject(pFont) : nullptr;
    SIZE size = {};
    ::GetTextExtentPoint32W(pDC->GetSafeHdc(), strText, strText.GetLength(), &size);
    if (pOldFont != nullptr)
        pDC->SelectObject(pOldFont);
    return CSize(size);
}

CPoint CXTButtonTheme::GetTextPosition(UINT, const CRect& rcItem, const CSize& sizeText, CXTButton* pButton)
{
    if (pButton->IsUserPosition())
        return pButton->GetTextPoint();
    CRect rc = rcItem;
    rc.DeflateRect(2, 0);
    const CSize sizeImage = pButton->GetImageSize();
    const int nBorderGap = pButton->GetBorderGap();
    const int nImageGap = pButton->GetImageGap();

    CPoint pt;
    pt.y = std::max(0L, (rc.Height() - sizeText.cy) / 2);
    if (ImageAbove(pButton))
        pt.y += nImageGap / 2 + sizeImage.cy / 2;

    const int cxImage = ImageBeside(pButton) ? sizeImage.cx : 0;
    switch (Alignment(pButton)) {
    case BS_LEFT:
        pt.x = nBorderGap + (cxImage > 0 ? cxImage + nImageGap : 0);
        break;
    case BS_RIGHT:
        pt.x = rc.right - sizeText.cx - nBorderGap;
        break;
    default: {
        const int nStart = nBorderGap + cxImage;
        pt.x = nStart + (rc.right - sizeText.cx - nStart - nBorderGap) / 2;
        break;
    }
    }
    return pt;
}

COLORREF CXTButtonTheme::GetTextColor(UINT nState, CXTButton*)
{
    return IsDisabled(nState) ? static_cast<COLORREF>(m_crTextDisabled) : static_cast<COLORREF>(m_crText);
}

void CXTButtonTheme::DrawButtonText(CDC* pDC, UINT nState, const CRect& rcItem, CXTButton* pButton)
{
    const CString strText = pButton->GetButtonText(FALSE);
    if (strText.IsEmpty())
        return;
    const CSize sizeText = MeasureText(pDC, pButton);
    CPoint pt = GetTextPosition(nState, rcItem, sizeText, pButton);
    if (IsPressed(nState) && m_bOffsetHiLite)
        pt.Offset(1, 1);
    CFont* pFont = GetThemeFont(pButton);
    CFont* pOldFont = pFont != nullptr ? pDC->SelectObject(pFont) : nullptr;
    const COLORREF clrOld = pDC->SetTextColor(GetTextColor(nState, pButton));
    // The unstripped text, so that the mnemonic is underlined.
    ::DrawStateW(pDC->GetSafeHdc(), nullptr, nullptr, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(strText)),
                 static_cast<WPARAM>(strText.GetLength()), pt.x, pt.y, sizeText.cx, sizeText.cy,
                 DST_PREFIXTEXT | DSS_NORMAL);
    pDC->SetTextColor(clrOld);
    if (pOldFont != nullptr)
        pDC->SelectObject(pOldFont);
}

CPoint CXTButtonTheme::GetDefaultPosition(const CSize& sizeImage, const CRect& rcItem, CXTButton* pButton)
{
    return CPoint(pButton->GetBorderGap(), (rcItem.Height() - sizeImage.cy) / 2);
}

CPoint CXTButtonTheme::GetImagePosition(UINT, const CRect& rcItem, CXTButton* pButton)
{
    if (pButton->IsUserPosition())
        return pButton->GetImagePoint();
    const CSize sizeImage = pButton->GetImageSize();
    CPoint pt = GetDefaultPosition(sizeImage, rcItem, pButton);
    const BOOL bText = !pButton->GetButtonText(TRUE).IsEmpty();
    const DWORD dwStyle = pButton->GetStyle();
    if (ImageAbove(pButton) && bText) {
        CClientDC dc(pButton);
        const CSize sizeText = MeasureText(&dc, pButton);
        pt.y -= sizeText.cy / 2 + pButton->GetImageGap() / 2;
        switch (Alignment(pButton)) {
        case BS_LEFT:
            pt.x = pButton->GetBorderGap();
            break;
        case BS_RIGHT:
            pt.x = rcItem.right - sizeImage.cx - pButton->GetBorderGap();
            break;
        default:
            if (rcItem.Width() - sizeImage.cx >= 0)
                pt.x = rcItem.left + (rcItem.Width() - sizeImage.cx) / 2;
            break;
        }
    } else if (!bText) {
        if ((dwStyle & BS_CENTER) == BS_CENTER && rcItem.Width() >= sizeImage.cx)
            pt.x = (rcItem.Width() - sizeImage.cx) / 2;
        if ((dwStyle & BS_VCENTER) == BS_VCENTER && rcItem.Height() >= sizeImage.cy)
            pt.y = (rcItem.Height() - sizeImage.cy) / 2;
    }
    return pt;
}

void CXTButtonTheme::DrawButtonImage(CDC* pDC, UINT nState, const CRect& rcItem, CXTButton* pButton)
{
    CXTPImageManagerIcon* pIcon = pButton->GetIcon();
    if (pIcon == nullptr || !m_bShowImage)
        return;
    CPoint pt = GetImagePosition(nState, rcItem, pButton);
    if (IsPressed(nState) && m_bOffsetHiLite)
        pt.Offset(1, 1);
    const CSize size = pButton->GetImageSize();
    if (IsDisabled(nState))
        pIcon->Draw(pDC, pt, pIcon->GetDisabledIcon(), size.cx, size.cy);
    else if (pButton->IsHot() || IsPressed(nState))
        pIcon->Draw(pDC, pt, pIcon->GetHotIcon(), size.cx, size.cy);
    else
        pIcon->Draw(pDC, pt, pIcon->GetIcon(), size.cx, size.cy);
}

void CXTButtonTheme::DrawItem(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rcItem = lpDIS->rcItem;
    const UINT nState = lpDIS->itemState;
    if (!DrawVisualStyleBackground(lpDIS, pButton))
        DrawButtonBackground(lpDIS, pButton);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    DrawButtonText(pDC, nState, rcItem, pButton);
    DrawButtonImage(pDC, nState, rcItem, pButton);
    if ((pButton->GetXButtonStyle() & BS_XT_SHOWFOCUS) && (nState & ODS_FOCUS))
        DrawFocusRect(pDC, rcItem, nState, pButton);
    pDC->SetBkMode(nOldMode);
}

BOOL CXTButtonTheme::DrawVisualStyleBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    if (!IsVisualStyle(pButton))
        return FALSE;
    const UINT nState = lpDIS->itemState;
    int nThemeState = PBS_NORMAL;
    if (IsDisabled(nState))
        nThemeState = PBS_DISABLED;
    else if (IsPressed(nState))
        nThemeState = PBS_PRESSED;
    else if (pButton->IsHot())
        nThemeState = PBS_HOT;
    else if (nState & ODS_FOCUS)
        nThemeState = PBS_DEFAULTED;
    return SUCCEEDED(
        m_themeButton.DrawThemeBackground(lpDIS->hDC, BP_PUSHBUTTON, nThemeState, &lpDIS->rcItem, nullptr));
}

void CXTButtonTheme::DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rc = lpDIS->rcItem;
    const BOOL bPressed = IsPressed(lpDIS->itemState);
    const DWORD dwStyle = pButton->GetXButtonStyle();
    pDC->FillSolidRect(&rc, m_crBack);
    if ((dwStyle & BS_XT_HILITEPRESSED) && bPressed)
        FillDithered(pDC, rc, m_crBack, m_crBorderHilite);

    if (dwStyle & BS_XT_FLAT) {
        if (bPressed)
            pDC->Draw3dRect(&rc, m_crBorderShadow, m_crBorderHilite);
        else if (pButton->IsHot())
            pDC->Draw3dRect(&rc, m_crBorderHilite, m_crBorderShadow);
    } else if (dwStyle & BS_XT_SEMIFLAT) {
        if (bPressed)
            pDC->Draw3dRect(&rc, m_crBorderShadow, m_crBorderHilite);
        else
            pDC->Draw3dRect(&rc, m_crBorderHilite, m_crBorderShadow);
    } else {
        if (bPressed)
            pDC->Draw3dRect(&rc, m_crBorder3DShadow, m_crBorderHilite);
        else
            pDC->Draw3dRect(&rc, m_crBorderHilite, m_crBorder3DShadow);
        rc.DeflateRect(1, 1);
        if (bPressed)
            pDC->Draw3dRect(&rc, m_crBorderShadow, m_crBorderLight);
        else
            pDC->Draw3dRect(&rc, m_crBorderLight, m_crBorderShadow);
    }
}

void CXTButtonTheme::DrawFocusRect(CDC* pDC, const CRect& rcItem, UINT, CXTButton* pButton)
{
    CRect rc = rcItem;
    const int nInset = IsVisualStyle(pButton) ? 4 : 2;
    rc.DeflateRect(nInset, nInset);
    pDC->DrawFocusRect(&rc);
}

// ---- Theme 1

CXTButtonThemeV1::CXTButtonThemeV1(BOOL bFlat) : m_bFadedIcon(TRUE), m_bShadowIcon(TRUE), m_bFlat(bFlat)
{
    m_nThemeId = xtControlThemeOffice;
    m_bOffsetHiLite = FALSE;
    CXTButtonThemeV1::RefreshMetrics();
}

BOOL CXTButtonThemeV1::IsHotTracking(CXTButton*)
{
    return TRUE;
}

void CXTButtonThemeV1::RefreshMetrics()
{
    CXTButtonTheme::RefreshMetrics();
    m_crBack.SetStandardValue(GetToolkitColor(m_bFlat ? 30 : COLOR_BTNFACE));
    m_crBackPushed.SetStandardValue(GetToolkitColor(33));
    m_crBackHilite.SetStandardValue(GetToolkitColor(31));
    m_crBorderShadow.SetStandardValue(GetToolkitColor(COLOR_BTNSHADOW));
    m_crBorderLight.SetStandardValue(GetToolkitColor(32));
    m_crText.SetStandardValue(GetToolkitColor(46));
    m_crTextHilite.SetStandardValue(GetToolkitColor(45));
    m_crTextPushed.SetStandardValue(GetToolkitColor(47));
}

COLORREF CXTButtonThemeV1::GetTextColor(UINT nState, CXTButton* pButton)
{
    if (IsDisabled(nState))
        return GetToolkitColor(COLOR_GRAYTEXT);
    if (pButton->IsHot())
        return m_crTextHilite;
    if (IsPressed(nState))
        return m_crTextPushed;
    return m_crText;
}

void CXTButtonThemeV1::DrawButtonImage(CDC* pDC, UINT nState, const CRect& rcItem, CXTButton* pButton)
{
    CXTPImageManagerIcon* pIcon = pButton->GetIcon();
    if (pIcon == nullptr || !m_bShowImage)
        return;
    const CPoint pt = GetImagePosition(nState, rcItem, pButton);
    const CSize size = pButton->GetImageSize();
    if (IsDisabled(nState)) {
        pIcon->Draw(pDC, pt, pIcon->GetDisabledIcon(), size.cx, size.cy);
    } else if (pButton->IsHot() && m_bShadowIcon) {
        pIcon->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), pIcon->GetShadowIcon(), size.cx, size.cy);
        pIcon->Draw(pDC, CPoint(pt.x - 1, pt.y - 1), pIcon->GetHotIcon(), size.cx, size.cy);
    } else if (pButton->IsHot() || IsPressed(nState)) {
        pIcon->Draw(pDC, pt, pIcon->GetHotIcon(), size.cx, size.cy);
    } else {
        pIcon->Draw(pDC, pt, m_bFadedIcon ? pIcon->GetFadedIcon() : pIcon->GetIcon(), size.cx, size.cy);
    }
}

BOOL CXTButtonThemeV1::DrawVisualStyleBackground(LPDRAWITEMSTRUCT, CXTButton*)
{
    return FALSE;
}

void CXTButtonThemeV1::DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rc = lpDIS->rcItem;
    const BOOL bPressed = IsPressed(lpDIS->itemState);
    if (pButton->IsHot() || bPressed) {
        pDC->FillSolidRect(&rc, bPressed ? m_crBackPushed : m_crBackHilite);
        pDC->Draw3dRect(&rc, m_crBorderLight, m_crBorderLight);
        return;
    }
    pDC->FillSolidRect(&rc, m_crBack);
    if (m_bFlat)
        pDC->Draw3dRect(&rc, m_crBorderShadow, m_crBorderShadow);
}

void CXTButtonThemeV1::DrawFocusRect(CDC* pDC, const CRect& rcItem, UINT nState, CXTButton* pButton)
{
    if (m_bFlat && !pButton->IsHot() && !IsPressed(nState) && !IsVisualStyle(pButton)) {
        CRect rc = rcItem;
        pDC->Draw3dRect(&rc, m_crBorderLight, m_crBorderLight);
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, m_crBorderLight, m_crBorderLight);
        return;
    }
    CXTButtonTheme::DrawFocusRect(pDC, rcItem, nState, pButton);
}

// ---- Theme 2

CXTButtonThemeV2::CXTButtonThemeV2(BOOL bFlat) : CXTButtonThemeV1(bFlat)
{
    m_nThemeId = xtControlThemeWindowsXP;
    CXTButtonThemeV2::RefreshMetrics();
}

void CXTButtonThemeV2::RefreshMetrics()
{
    CXTButtonThemeV1::RefreshMetrics();
    CXTPColorManager* pManager = XTPColorManager();
    COLORREF clrLight;
    COLORREF clrFace;
    COLORREF clrShadow;
    switch (pManager->GetLunaColorScheme()) {
    case xtpSystemThemeBlue:
        clrLight = RGB(0, 0, 128);
        clrFace = RGB(169, 199, 240);
        clrShadow = RGB(127, 157, 185);
        break;
    case xtpSystemThemeOlive:
        clrLight = RGB(63, 93, 56);
        clrFace = RGB(197, 212, 159);
        clrShadow = RGB(164, 185, 127);
        break;
    case xtpSystemThemeSilver:
        // The desktop alert's silver frame colour.
        clrLight = RGB(75, 75, 111);
        clrFace = RGB(192, 192, 211);
        clrShadow = RGB(165, 172, 178);
        break;
    default:
        return;
    }
    m_crBorderLight.SetStandardValue(clrLight);
    if (m_bFlat)
        m_crBack.SetStandardValue(clrFace);
    m_crBorderShadow.SetStandardValue(clrShadow);
    m_crBackHilite.SetStandardValue(RGB(255, 238, 194));
    m_crBackPushed.SetStandardValue(RGB(254, 128, 62));
    m_crText.SetStandardValue(RGB(0, 0, 0));
    m_crTextHilite.SetStandardValue(RGB(0, 0, 0));
    m_crTextPushed.SetStandardValue(RGB(0, 0, 0));
}

void CXTButtonThemeV2::DrawButtonImage(CDC* pDC, UINT nState, const CRect& rcItem, CXTButton* pButton)
{
    CXTPImageManagerIcon* pIcon = pButton->GetIcon();
    if (pIcon == nullptr || !m_bShowImage)
        return;
    const CPoint pt = GetImagePosition(nState, rcItem, pButton);
    const CSize size = pButton->GetImageSize();
    if (IsDisabled(nState))
        pIcon->Draw(pDC, pt, pIcon->GetDisabledIcon(), size.cx, size.cy);
    else if (IsPressed(nState))
        pIcon->Draw(pDC, pt, pIcon->GetHotIcon(), size.cx, size.cy);
    else
        pIcon->Draw(pDC, pt, pIcon->GetIcon(), size.cx, size.cy);
}
