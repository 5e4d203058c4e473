#include "toolkit/controls/XTPPopupTheme.h"

#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/controls/XTPPopupItem.h"

#include <algorithm>

namespace {

const COLORREF kNone = static_cast<COLORREF>(-1);
const COLORREF kNavy = RGB(0, 0, 128);
const COLORREF kTeal = RGB(24, 180, 192);

void Gradient(CDC* pDC, const CRect& rect, COLORREF clrFrom, COLORREF clrTo, BOOL bHorz)
{
    XTPGdiHelper()->GradientFill(pDC, &rect, clrFrom, clrTo, bHorz);
}

void Frame(CDC* pDC, const CRect& rect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    pDC->Draw3dRect(&rect, clrTopLeft, clrBottomRight);
}

} // namespace

// ---- The default theme

CXTPPopupTheme::CXTPPopupTheme() : m_clrText(0), m_clrButtonSelected(kNone), m_clrButtonPressed(kNone)
{
    CXTPPopupTheme::RefreshMetrics();
}

CXTPPopupTheme::~CXTPPopupTheme()
{
    m_font.DeleteObject();
}

void CXTPPopupTheme::RefreshMetrics()
{
    XTPColorManager()->RefreshColors();
    LOGFONTW lf = {};
    ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0);
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);

    m_clrText = ::GetSysColor(COLOR_BTNTEXT);
    m_clrBackground.SetColors(::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNFACE));
    m_clrFrame.SetColors(::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNSHADOW));
    m_clrButtonSelected = kNone;
    m_clrButtonPressed = kNone;
    m_clrButtonSelectedBorder.SetColors(::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    m_clrButtonPressedBorder.SetColors(::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
}

void CXTPPopupTheme::DrawBackground(CDC* pDC, CRect rcClient)
{
    Gradient(pDC, rcClient, m_clrBackground.clrLight, m_clrBackground.clrDark, TRUE);
    if (m_clrFrame.clrLight != kNone)
        Frame(pDC, rcClient, m_clrFrame.clrLight, m_clrFrame.clrDark);
}

void CXTPPopupTheme::DrawButton(CDC* pDC, CXTPPopupItem* pItem)
{
    const BOOL bHot = pItem->IsHot();
    const BOOL bPressed = pItem->IsPressed();
    const CRect rect = pItem->GetRect();
    if (bHot && bPressed) {
        if (m_clrButtonPressed != kNone)
            pDC->FillSolidRect(&rect, m_clrButtonPressed);
        Frame(pDC, rect, m_clrButtonPressedBorder.clrLight, m_clrButtonPressedBorder.clrDark);
    } else if (bHot || bPressed) {
        if (m_clrButtonSelected != kNone)
            pDC->FillSolidRect(&rect, m_clrButtonSelected);
        Frame(pDC, rect, m_clrButtonSelectedBorder.clrLight, m_clrButtonSelectedBorder.clrDark);
    }
}

void CXTPPopupTheme::DrawItem(CDC* pDC, CXTPPopupItem* pItem)
{
    CRect rect = pItem->GetRect();
    if (pItem->GetBackgroundColor() != kNone)
        pDC->FillSolidRect(&rect, pItem->GetBackgroundColor());
    if (pItem->GetBorderColor() != kNone)
        Frame(pDC, rect, pItem->GetBorderColor(), pItem->GetBorderColor());

    const BOOL bHot = pItem->IsHot();
    const BOOL bPressed = pItem->IsPressed();
    if (HICON hIcon = pItem->GetIcon(0)) {
        rect.OffsetRect(pItem->GetIconOffset());
        HICON hDraw = hIcon;
        if (bHot || bPressed) {
            if (pItem->IsButton())
                DrawButton(pDC, pItem);
            HICON hState = pItem->GetIcon(bHot && bPressed ? 4 : 2);
            if (hState != nullptr)
                hDraw = hState;
        }
        ::DrawIconEx(pDC->GetSafeHdc(), rect.left, rect.top, hDraw, 0, 0, 0, nullptr, DI_NORMAL);
        return;
    }

    if (pItem->IsButton())
        DrawButton(pDC, pItem);
    const CString strText = pItem->GetCaption();
    if (strText.IsEmpty())
        return;

    CFont* pFont = pItem->GetFont();
    CFont fontState;
    const BOOL bUnderline = bHot && pItem->IsHyperLink();
    if (bUnderline || pItem->IsBold()) {
        LOGFONTW lf = {};
        if (pFont != nullptr)
            pFont->GetLogFont(&lf);
        lf.lfUnderline = bUnderline ? TRUE : FALSE;
        lf.lfWeight = pItem->IsBold() ? FW_BOLD : FW_NORMAL;
        if (fontState.CreateFontIndirect(&lf))
            pFont = &fontState;
    }
    CFont* pOldFont = pFont != nullptr ? pDC->SelectObject(pFont) : nullptr;
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF clrText = pItem->GetTextColor() != kNone ? pItem->GetTextColor() : m_clrText;
    const COLORREF clrOld = pDC->SetTextColor(clrText);
    pDC->DrawText(strText, &rect, pItem->GetTextAlignment());
    pDC->SetTextColor(clrOld);
    pDC->SetBkMode(nOldMode);
    if (pOldFont != nullptr)
        pDC->SelectObject(pOldFont);
}

// ---- Theme 0

CXTPPopupThemeCaption::CXTPPopupThemeCaption()
{
    CXTPPopupThemeCaption::RefreshMetrics();
}

void CXTPPopupThemeCaption::RefreshMetrics()
{
    CXTPPopupTheme::RefreshMetrics();
    m_clrFrame.SetColors(::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
}

void CXTPPopupThemeCaption::DrawBackground(CDC* pDC, CRect rcClient)
{
    Gradient(pDC, rcClient, m_clrBackground.clrLight, m_clrBackground.clrDark, FALSE);
    Frame(pDC, rcClient, m_clrFrame.clrLight, m_clrFrame.clrDark);
    rcClient.DeflateRect(1, 1);
    const CRect rcBand(rcClient.left, rcClient.top, rcClient.right, rcClient.top + 22);
    Gradient(pDC, rcBand, kNavy, kTeal, TRUE);
    rcClient.DeflateRect(1, 1);
    CRect rcBody = rcClient;
    rcBody.top = rcBand.top + 23;
    Frame(pDC, rcBody, m_clrFrame.clrDark, m_clrFrame.clrLight);
    rcBody.DeflateRect(1, 1);
    Frame(pDC, rcBody, m_clrFrame.clrLight, m_clrFrame.clrDark);
    rcBody.DeflateRect(1, 1);
    pDC->FillSolidRect(rcBody.left, rcBody.top, 30, rcBody.Height(), kNavy);
}

// ---- Theme 1

CXTPPopupThemeFlat::CXTPPopupThemeFlat()
{
    CXTPPopupThemeFlat::RefreshMetrics();
}

void CXTPPopupThemeFlat::RefreshMetrics()
{
    CXTPPopupThemeCaption::RefreshMetrics();
    m_clrBackground = GetToolkitColor(30);
    m_clrButtonSelected = GetToolkitColor(31);
    m_clrButtonPressed = GetToolkitColor(33);
    m_clrButtonPressedBorder = GetToolkitColor(32);
    m_clrButtonSelectedBorder = GetToolkitColor(32);
    m_clrFrame = ::GetSysColor(COLOR_BTNSHADOW);
}

void CXTPPopupThemeFlat::DrawBackground(CDC* pDC, CRect rcClient)
{
    Gradient(pDC, rcClient, m_clrBackground.clrLight, m_clrBackground.clrDark, FALSE);
    Frame(pDC, rcClient, m_clrFrame.clrLight, m_clrFrame.clrDark);
    rcClient.DeflateRect(1, 1);
    const CRect rcBand(rcClient.left, rcClient.top, rcClient.right, rcClient.top + 22);
    Gradient(pDC, rcBand, kNavy, kTeal, TRUE);
    CRect rcBody = rcClient;
    rcBody.top += 22;
    rcBody.DeflateRect(1, 1);
    pDC->FillSolidRect(rcBody.left, rcBody.top, 30, rcBody.Height(), kNavy);
}

// ---- Theme 2

CXTPPopupThemeGripper::CXTPPopupThemeGripper()
{
    CXTPPopupThemeGripper::RefreshMetrics();
}

void CXTPPopupThemeGripper::RefreshMetrics()
{
    CXTPPopupThemeFlat::RefreshMetrics();
    CXTPColorManager* pManager = XTPColorManager();
    m_clrBackground.SetColors(pManager->grcSecond.clrDark, pManager->grcSecond.clrLight);
    m_clrGripper = pManager->grcThird;
    m_clrFrame = GetToolkitColor(54);
    if (pManager->IsLunaColorsDisabled())
        return;
    COLORREF clrBorder;
    switch (pManager->GetLunaColorScheme()) {
    case xtpSystemThemeBlue:
        clrBorder = RGB(0, 0, 128);
        break;
    case xtpSystemThemeOlive:
        clrBorder = RGB(63, 93, 56);
        break;
    case xtpSystemThemeSilver:
        clrBorder = RGB(75, 75, 111);
        break;
    default:
        return;
    }
    m_clrButtonSelectedBorder = clrBorder;
    m_clrButtonPressedBorder = clrBorder;
    m_clrButtonSelected = RGB(255, 238, 194);
    m_clrButtonPressed = RGB(254, 128, 62);
}

void CXTPPopupThemeGripper::DrawBackground(CDC* pDC, CRect rcClient)
{
    Gradient(pDC, rcClient, m_clrBackground.clrLight, m_clrBackground.clrDark, FALSE);
    Frame(pDC, rcClient, m_clrFrame.clrLight, m_clrFrame.clrDark);
    rcClient.DeflateRect(1, 1);
    const CRect rcBand(rcClient.left, rcClient.top, rcClient.right, rcClient.top + 7);
    Gradient(pDC, rcBand, m_clrGripper.clrLight, m_clrGripper.clrDark, FALSE);

    // The dots count from the window's left edge.
    const int x0 = std::max(2, (rcBand.Width() - 36) / 2);
    for (int k = 0; k < 9; ++k) {
        const int x = x0 + 4 * k;
        pDC->FillSolidRect(x, rcBand.top + 1, 2, 2, RGB(40, 50, 71));
        pDC->FillSolidRect(x + 1, rcBand.top + 2, 2, 2, RGB(249, 249, 251));
        pDC->FillSolidRect(x + 1, rcBand.top + 2, 1, 1, RGB(97, 116, 152));
    }
}

// ---- Theme 3

CXTPPopupThemeBands::CXTPPopupThemeBands()
{
    CXTPPopupThemeBands::RefreshMetrics();
}

void CXTPPopupThemeBands::RefreshMetrics()
{
    CXTPPopupThemeCaption::RefreshMetrics();
    m_clrButtonSelected = RGB(194, 238, 255);
    m_clrButtonPressed = RGB(134, 162, 224);
    m_clrButtonSelectedBorder = RGB(114, 142, 184);
    m_clrButtonPressedBorder = RGB(114, 142, 184);
}

void CXTPPopupThemeBands::DrawBackground(CDC* pDC, CRect rcClient)
{
    const COLORREF clrWhite = RGB(255, 255, 255);
    Frame(pDC, rcClient, RGB(166, 180, 207), RGB(69, 86, 144));
    rcClient.DeflateRect(1, 1);
    Frame(pDC, rcClient, clrWhite, RGB(207, 222, 244));
    rcClient.DeflateRect(1, 1);
    const int top = rcClient.top;
    const struct
    {
        int nFrom, nTo;
        COLORREF clrFrom, clrTo;
    } bands[] = {
        {top, top + 12, RGB(207, 215, 236), clrWhite},
        {top + 12, top + 23, clrWhite, RGB(207, 221, 244)},
        {top + 23, top + 40, RGB(207, 221, 244), clrWhite},
        {top + 40, static_cast<int>(rcClient.bottom), clrWhite, RGB(207, 221, 244)},
    };
    for (const auto& band : bands) {
        const CRect rcBand(rcClient.left, band.nFrom, rcClient.right, std::min<int>(band.nTo, rcClient.bottom));
        Gradient(pDC, rcBand, band.clrFrom, band.clrTo, FALSE);
    }
    Frame(pDC, CRect(rcClient.left, top + 22, rcClient.right, rcClient.bottom), RGB(114, 142, 184), RGB(185, 201, 239));
}
