#include "toolkit/commandbars/XTPPaintManager.h"

#include "framework/core/ScopedHandles.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPThemeDefault.h"
#include "toolkit/commandbars/XTPThemeOffice2003.h"
#include "toolkit/commandbars/XTPThemeStandard.h"
#include "toolkit/commandbars/XTPThemeXPStyle.h"

#include <algorithm>
#include <cwchar>
#include <new>
#include <vector>

IMPLEMENT_DYNAMIC(CXTPPaintManager, CCmdTarget)

namespace {

const COLORREF kNoColor = static_cast<COLORREF>(-1);

// The process-wide current paint manager, released at exit.
struct CCurrentTheme
{
    CXTPPaintManager* pPaintManager = nullptr;
    ~CCurrentTheme()
    {
        if (pPaintManager != nullptr)
            pPaintManager->InternalRelease();
    }
};

CCurrentTheme& CurrentTheme()
{
    static CCurrentTheme theme;
    return theme;
}

XTPBarPosition PositionOf(const CXTPControl* pControl)
{
    return pControl->GetParent() != nullptr ? pControl->GetParent()->GetPosition() : xtpBarNone;
}

// A 32-bit top-down DIB section of the size with its bits.
HBITMAP CreateDib32(HDC hDC, int cx, int cy, DWORD** ppBits)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    *ppBits = static_cast<DWORD*>(pBits);
    return hBitmap;
}

} // namespace

CXTPPaintManager::CXTPPaintManager()
    : m_nLineHeight(0), m_bUseTahomaFont(FALSE), m_bUseStandardFont(TRUE),
      m_nThemeId(xtpThemeDefault), m_iconsInfo{FALSE, FALSE, FALSE}, m_nAnimationSteps(10), m_nAnimationTime(100),
      m_clrShadowFactor(0)
{
    for (CColorEntry& entry : m_arrColor) {
        entry.clrDefault = kNoColor;
        entry.clrOverride = kNoColor;
    }
    RefreshMetrics();
}

CXTPPaintManager::~CXTPPaintManager() = default;

// ---- Colours

COLORREF CXTPPaintManager::GetColor(COLORREF nIndex) const
{
    if (nIndex >= static_cast<COLORREF>(XPCOLOR_COUNT))
        return nIndex;
    const CColorEntry& entry = m_arrColor[nIndex];
    return entry.clrOverride != kNoColor ? entry.clrOverride : entry.clrDefault;
}

void CXTPPaintManager::SetColors(int nCount, const int* pIndexes, const COLORREF* pColors)
{
    for (int i = 0; i < nCount; ++i) {
        if (pIndexes[i] >= 0 && pIndexes[i] < XPCOLOR_COUNT)
            m_arrColor[pIndexes[i]].clrDefault = pColors[i];
    }
}

void CXTPPaintManager::SetColorOverride(int nIndex, COLORREF clr)
{
    if (nIndex >= 0 && nIndex < XPCOLOR_COUNT)
        m_arrColor[nIndex].clrOverride = clr;
}

// ---- Fonts and metrics

BOOL CXTPPaintManager::FontExists(LPCWSTR lpszFaceName)
{
    return ::FontExists(lpszFaceName);
}

void CXTPPaintManager::RefreshMetrics()
{
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);

    if (m_bUseStandardFont) {
        CScopedWindowDC screenDC(nullptr);
        const LOGFONTW lf =
            MenuFontToControlFont(ncm.lfMenuFont, static_cast<BYTE>(::GetTextCharsetInfo(screenDC, nullptr, 0)));
        SetFont(&lf, TRUE);
    }

    m_fontSmCaption.DeleteObject();
    m_fontSmCaption.CreateFontIndirect(&ncm.lfSmCaptionFont);

    LOGFONTW lfIcon = {};
    ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lfIcon), &lfIcon, 0);
    m_fontIcon.DeleteObject();
    m_fontIcon.CreateFontIndirect(&lfIcon);

    LOGFONTW lfMarlett = {};
    lfMarlett.lfHeight = lfIcon.lfHeight;
    lfMarlett.lfCharSet = DEFAULT_CHARSET;
    std::wcscpy(lfMarlett.lfFaceName, L"Marlett");
    m_fontMarlett.DeleteObject();
    m_fontMarlett.CreateFontIndirect(&lfMarlett);

    lfIcon.lfWeight = FW_BOLD;
    m_fontIconBold.DeleteObject();
    m_fontIconBold.CreateFontIndirect(&lfIcon);

    CXTPColorManager* pColorManager = XTPColorManager();
    pColorManager->RefreshColors();
    for (int i = 0; i < XPCOLOR_COUNT; ++i)
        m_arrColor[i].clrDefault = pColorManager->GetColor(static_cast<COLORREF>(i));
    m_clrShadowFactor = 0;
}

LOGFONTW CXTPPaintManager::MenuFontToControlFont(const LOGFONTW& lfMenu, BYTE nCharSet)
{
    LOGFONTW lf = {};
    lf.lfHeight = lfMenu.lfHeight;
    // Menu fonts smaller than 8 points would make unreadable bars.
    if (lf.lfHeight < 0 && lf.lfHeight > -11)
        lf.lfHeight = -11;
    lf.lfWeight = lfMenu.lfWeight;
    lf.lfItalic = lfMenu.lfItalic;
    lf.lfCharSet = nCharSet;
    std::wcsncpy(lf.lfFaceName, lfMenu.lfFaceName, LF_FACESIZE - 1);
    return lf;
}

void CXTPPaintManager::SetFont(const LOGFONTW* pLogFont, BOOL bUseStandardFont)
{
    m_bUseStandardFont = bUseStandardFont;
    if (pLogFont == nullptr)
        return;
    m_fontRegular.DeleteObject();
    m_fontRegularBold.DeleteObject();
    m_fontVert.DeleteObject();
    m_fontVertBold.DeleteObject();

    const BOOL bTahomaExists = FontExists(L"Tahoma");
    LOGFONTW lf = *pLogFont;
    if (_wcsicmp(lf.lfFaceName, L"Tahoma") == 0)
        m_bUseTahomaFont = TRUE;
    if (lf.lfCharSet <= 2 && bUseStandardFont && m_bUseTahomaFont && bTahomaExists)
        std::wcscpy(lf.lfFaceName, L"Tahoma");

    m_fontRegular.CreateFontIndirect(&lf);
    const LONG lWeight = lf.lfWeight;
    lf.lfWeight = FW_BOLD;
    m_fontRegularBold.CreateFontIndirect(&lf);
    lf.lfWeight = lWeight;

    lf.lfEscapement = 2700;
    lf.lfOrientation = 900;
    const CString strVerticalFace = GetToolkitFontFaceName(m_bUseTahomaFont);
    std::wcsncpy(lf.lfFaceName, strVerticalFace, LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    m_fontVert.CreateFontIndirect(&lf);
    lf.lfWeight = FW_BOLD;
    m_fontVertBold.CreateFontIndirect(&lf);

    CScopedWindowDC screenDC(nullptr);
    CScopedSelect selectFont(screenDC, m_fontRegular.GetSafeHandle());
    SIZE sz = {0, 0};
    ::GetTextExtentPoint32W(screenDC, L" ", 1, &sz);
    m_nLineHeight = sz.cy + 6;
}

CFont* CXTPPaintManager::GetControlFont(CXTPCommandBar* pBar, BOOL bBold)
{
    const BOOL bVert = pBar != nullptr && (pBar->GetPosition() == xtpBarLeft || pBar->GetPosition() == xtpBarRight);
    if (bVert)
        return bBold ? &m_fontVertBold : &m_fontVert;
    return bBold ? &m_fontRegularBold : &m_fontRegular;
}

// ---- Primitives

void CXTPPaintManager::Draw3dRect(CDC* pDC, CRect rc, COLORREF nTopLeft, COLORREF nBottomRight)
{
    pDC->Draw3dRect(&rc, GetColor(nTopLeft), GetColor(nBottomRight));
}

void CXTPPaintManager::FillFramedRect(CDC* pDC, CRect rc, COLORREF nFrame, COLORREF nFill)
{
    pDC->FillSolidRect(&rc, GetColor(nFill));
    pDC->Draw3dRect(&rc, GetColor(nFrame), GetColor(nFrame));
}

void CXTPPaintManager::GradientFill(CDC* pDC, CRect rc, COLORREF crFrom, COLORREF crTo, BOOL bHorz)
{
    const COLORREF clrFrom = GetColor(crFrom);
    const COLORREF clrTo = GetColor(crTo);
    if (clrFrom == clrTo || IsLowColor(pDC))
        pDC->FillSolidRect(&rc, clrFrom);
    else
        XTPGdiHelper()->GradientFill(pDC, &rc, clrFrom, clrTo, bHorz);
}

void CXTPPaintManager::Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr)
{
    DrawTriangle(pDC, pt0, pt1, pt2, clr);
}

void CXTPPaintManager::DrawCheckMark(CDC* pDC, CRect rc, COLORREF clr, int nShape)
{
    const int cx = rc.left + (rc.right - rc.left) / 2;
    const int cy = rc.top + (rc.bottom - rc.top) / 2;
    CXTPScopedPen pen(pDC->GetSafeHdc(), clr);
    if (nShape == 0) {
        const POINT first[] = {{cx - 4, cy - 1}, {cx - 2, cy + 1}, {cx + 3, cy - 4}};
        const POINT second[] = {{cx - 4, cy}, {cx - 2, cy + 2}, {cx + 3, cy - 3}};
        pDC->Polyline(first, 3);
        pDC->Polyline(second, 3);
    } else {
        const POINT first[] = {{cx - 4, cy - 3}, {cx, cy + 1}, {cx + 3, cy - 2}};
        const POINT second[] = {{cx - 4, cy - 2}, {cx, cy + 2}, {cx + 3, cy - 1}};
        pDC->Polyline(first, 3);
        pDC->Polyline(second, 3);
    }
}

void CXTPPaintManager::Line(CDC* pDC, int x1, int y1, int x2, int y2)
{
    pDC->MoveTo(x1, y1);
    pDC->LineTo(x2, y2);
}

void CXTPPaintManager::DrawLine(CDC* pDC, int x1, int y1, int x2, int y2, COLORREF clr)
{
    CXTPScopedPen pen(pDC->GetSafeHdc(), GetColor(clr));
    Line(pDC, x1, y1, x2, y2);
}

// ---- Base drawing operations

void CXTPPaintManager::DrawControlFace(CDC* pDC, CXTPControl* pControl)
{
    const BOOL bPopuped = IsPopupType(pControl->GetType()) && pControl->GetPopuped();
    PrepareControlFace(pDC, pControl->GetRect(), pControl->GetEnabled(), pControl->GetSelected(),
                       pControl->GetPressed(), pControl->GetChecked(), bPopuped, PositionOf(pControl));
}

void CXTPPaintManager::DrawSplitButtonFace(CDC* pDC, CXTPControl* pControl, CRect rc)
{
    const BOOL bPopuped = pControl->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)) && pControl->GetPopuped();
    const XTPBarPosition position = PositionOf(pControl);
    const CRect rcFace = bPopuped ? rc : CRect(rc.left, rc.top, rc.right - 11, rc.bottom);
    PrepareControlFace(pDC, rcFace, pControl->GetEnabled(), pControl->GetSelected(), pControl->GetPressed(),
                       pControl->GetChecked(), bPopuped, position);
    if ((pControl->GetSelected() || pControl->GetPressed()) && !bPopuped && pControl->GetEnabled()) {
        const int nSelected = pControl->GetSelected() ? pControl->GetSelected() : xtpSelectedByMouse;
        PrepareControlFace(pDC, CRect(rc.right - 12, rc.top, rc.right, rc.bottom), TRUE, nSelected, 0, 0, FALSE,
                           position);
    }
    const int cy = (rc.top + rc.bottom) / 2;
    Triangle(pDC, CPoint(rc.right - 9, cy - 1), CPoint(rc.right - 5, cy - 1), CPoint(rc.right - 7, cy + 1),
             pDC->GetTextColor());
}

void CXTPPaintManager::DrawResizeGripper(CDC* pDC, CRect rc)
{
    const int w = rc.Width(), h = rc.Height();
    const int x0 = rc.left, y0 = rc.top;
    {
        CXTPScopedPen pen(pDC->GetSafeHdc(), GetColor(16));
        for (int i = 0; i < 3; ++i) {
            const int d = 4 * i;
            Line(pDC, x0 + w - 3 - d, y0 + h - 2, x0 + w - 1, y0 + h - 4 - d);
            Line(pDC, x0 + w - 4 - d, y0 + h - 2, x0 + w - 1, y0 + h - 5 - d);
        }
    }
    CXTPScopedPen pen(pDC->GetSafeHdc(), GetColor(20));
    for (int i = 0; i < 3; ++i) {
        const int d = 4 * i;
        Line(pDC, x0 + w - 5 - d, y0 + h - 2, x0 + w - 1, y0 + h - 6 - d);
    }
}

void CXTPPaintManager::FillDockBar(CDC* pDC, CWnd* pWnd)
{
    CRect rc;
    pWnd->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
}

void CXTPPaintManager::FillHostWindow(CDC* pDC, CWnd* pWnd)
{
    CRect rc;
    pWnd->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
}

BOOL CXTPPaintManager::ShowShadows()
{
    return FALSE;
}

CRect CXTPPaintManager::GetBorders(CXTPCommandBar*)
{
    return CRect(2, 2, 2, 2);
}

CSize CXTPPaintManager::DrawControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                                    CSize szBar)
{
    const XTPBarPosition position = pBar != nullptr ? pBar->GetPosition() : xtpBarNone;
    const BOOL bVert = position == xtpBarLeft || position == xtpBarRight || position == xtpBarPopup;
    switch (nKind) {
    case xtpButtonExpandToolbar: {
        if (!bDraw) {
            const CRect rc = bVert ? CRect(2, szBar.cy - 13, szBar.cx - 2, szBar.cy - 2)
                                   : CRect(szBar.cx - 13, 2, szBar.cx - 2, szBar.cy - 2);
            pControl->SetRect(rc);
            return CSize(0, 0);
        }
        DrawControlFace(pDC, pControl);
        const CRect rc = pControl->GetRect();
        const COLORREF clrText = pDC->GetTextColor();
        const BOOL bHidden = HasWrappedControls(pBar);
        CXTPScopedPen pen(pDC->GetSafeHdc(), clrText);
        if (bVert) {
            Triangle(pDC, CPoint(rc.left + 6, rc.top + 3), CPoint(rc.left + 6, rc.top + 7),
                     CPoint(rc.left + 4, rc.top + 5), clrText);
            if (bHidden) {
                const int r = rc.right, t = rc.top;
                const POINT chevrons[4][3] = {{{r - 8, t + 2}, {r - 6, t + 4}, {r - 3, t + 1}},
                                              {{r - 8, t + 3}, {r - 6, t + 5}, {r - 3, t + 2}},
                                              {{r - 8, t + 6}, {r - 6, t + 8}, {r - 3, t + 5}},
                                              {{r - 8, t + 7}, {r - 6, t + 9}, {r - 3, t + 6}}};
                for (const auto& line : chevrons)
                    pDC->Polyline(line, 3);
            }
        } else {
            const int cx = (rc.left + rc.right) / 2;
            Triangle(pDC, CPoint(cx - 2, rc.bottom - 7), CPoint(cx + 2, rc.bottom - 7), CPoint(cx, rc.bottom - 5),
                     clrText);
            if (bHidden) {
                const int l = rc.left, t = rc.top;
                const POINT chevrons[4][3] = {{{l + 2, t + 4}, {l + 4, t + 6}, {l + 1, t + 9}},
                                              {{l + 3, t + 4}, {l + 5, t + 6}, {l + 2, t + 9}},
                                              {{l + 6, t + 4}, {l + 8, t + 6}, {l + 5, t + 9}},
                                              {{l + 7, t + 4}, {l + 9, t + 6}, {l + 6, t + 9}}};
                for (const auto& line : chevrons)
                    pDC->Polyline(line, 3);
            }
        }
        return CSize(0, 0);
    }
    case xtpButtonExpandMenu: {
        if (!bDraw)
            return CSize(0, 12);
        DrawControlFace(pDC, pControl);
        const CRect rc = pControl->GetRect();
        const int cx = (rc.left + rc.right) / 2, t = rc.top;
        CXTPScopedPen pen(pDC->GetSafeHdc(), pDC->GetTextColor());
        const POINT chevrons[4][3] = {{{cx - 2, t + 2}, {cx, t + 4}, {cx + 3, t + 1}},
                                      {{cx - 2, t + 3}, {cx, t + 5}, {cx + 3, t + 2}},
                                      {{cx - 2, t + 6}, {cx, t + 8}, {cx + 3, t + 5}},
                                      {{cx - 2, t + 7}, {cx, t + 9}, {cx + 3, t + 6}}};
        for (const auto& line : chevrons)
            pDC->Polyline(line, 3);
        return CSize(0, 12);
    }
    case xtpButtonHideFloating: {
        if (!bDraw)
            return CSize(0, 0);
        CFont font;
        font.CreatePointFont(80 * 96 / std::max(1, pDC->GetDeviceCaps(LOGPIXELSX)), L"Marlett", pDC);
        DrawControlFace(pDC, pControl);
        if (!pControl->GetPressed() && !pControl->GetSelected())
            pDC->SetTextColor(GetColor(14));
        CXTPScopedSelect selectFont(pDC->GetSafeHdc(), font.GetSafeHandle());
        CRect rc = pControl->GetRect();
        pDC->DrawText(L"r", 1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return CSize(0, 0);
    }
    case xtpButtonExpandFloating: {
        if (!bDraw)
            return CSize(0, 0);
        DrawControlFace(pDC, pControl);
        if (!pControl->GetSelected() && !pControl->GetPopuped())
            pDC->SetTextColor(GetColor(14));
        const CRect rc = pControl->GetRect();
        const CPoint c = rc.CenterPoint();
        Triangle(pDC, CPoint(c.x - 3, c.y - 2), CPoint(c.x + 3, c.y - 2), CPoint(c.x, c.y + 1), pDC->GetTextColor());
        return CSize(0, 0);
    }
    default:
        return CSize(0, 0);
    }
}

// ---- Text and control layout

CSize CXTPPaintManager::ImageSize(CXTPImageManagerIcon* pImage, int nWidth)
{
    if (pImage == nullptr || pImage->GetWidth() <= 0)
        return CSize(nWidth, nWidth);
    return CSize(nWidth, pImage->GetHeight() * nWidth / pImage->GetWidth());
}

CSize CXTPPaintManager::DrawControlText(CDC* pDC, CString strCaption, CRect rc, BOOL bDraw, BOOL bVert, BOOL bCentered,
                                        BOOL bTriangle, BOOL bEmbossed)
{
    const CString strStripped = StripMnemonics(strCaption);
    if (!bDraw) {
        CSize sz = pDC->GetTextExtent(strStripped.IsEmpty() ? CString(L" ") : strStripped);
        if (bTriangle)
            sz.cx += 10;
        return bVert ? CSize(sz.cy, sz.cx) : sz;
    }
    const CSize szText = pDC->GetTextExtent(strStripped);
    if (!bVert) {
        const int w = szText.cx + (bTriangle ? 5 : 0);
        CRect rcText = rc;
        if (bCentered)
            rcText.left += (rcText.Width() - w) / 2;
        if (bEmbossed) {
            const COLORREF clrText = pDC->GetTextColor();
            pDC->SetTextColor(GetColor(20));
            CRect rcShadow = rcText;
            rcShadow.OffsetRect(1, 1);
            pDC->DrawText(strCaption, &rcShadow, DT_SINGLELINE | DT_VCENTER);
            pDC->SetTextColor(clrText);
        }
        pDC->DrawText(strCaption, &rcText, DT_SINGLELINE | DT_VCENTER);
        if (bTriangle) {
            const int x = rcText.left + w;
            const int cy = (rc.top + rc.bottom) / 2;
            Triangle(pDC, CPoint(x - 2, cy - 1), CPoint(x + 2, cy - 1), CPoint(x, cy + 1), pDC->GetTextColor());
        }
        return CSize(0, 0);
    }
    const int x = rc.right - (rc.right - szText.cy - rc.left + 1) / 2;
    const int l = szText.cx + (bTriangle ? 5 : 0);
    int top = rc.top;
    if (bCentered)
        top += (rc.Height() - l + 1) / 2;
    CRect rcText(x, top, x + szText.cy, top + l);
    if (bEmbossed) {
        const COLORREF clrText = pDC->GetTextColor();
        pDC->SetTextColor(GetColor(20));
        CRect rcShadow = rcText;
        rcShadow.OffsetRect(1, 1);
        pDC->DrawText(strStripped, &rcShadow, DT_SINGLELINE | DT_NOCLIP);
        pDC->SetTextColor(clrText);
    }
    pDC->DrawText(strStripped, &rcText, DT_SINGLELINE | DT_NOCLIP);
    if (bTriangle) {
        const int y = top + l - 1;
        const int cx = (rc.left + rc.right) / 2;
        Triangle(pDC, CPoint(cx + 2, y - 2), CPoint(cx + 2, y + 2), CPoint(cx, y), pDC->GetTextColor());
    }
    return CSize(0, 0);
}

CSize CXTPPaintManager::LayoutCaptionWithImage(CDC* pDC, CString strCaption, CRect rc, BOOL bVert, BOOL bDraw,
                                               BOOL bEmbossed, BOOL bTriangle, CSize szButton, BOOL bHasImage)
{
    const CSize szText = DrawControlText(pDC, strCaption, CRect(0, 0, 0, 0), FALSE, bVert, FALSE, bTriangle);
    if (!bVert) {
        if (bDraw) {
            const CRect rcText(rc.left + (bHasImage ? szButton.cx - 1 : 4), rc.top, rc.right, rc.bottom);
            DrawControlText(pDC, strCaption, rcText, TRUE, FALSE, FALSE, bTriangle, bEmbossed);
        }
        return CSize((bHasImage ? szButton.cx : 4) + szText.cx + 3, std::max(szText.cy + 6, szButton.cy));
    }
    if (bDraw) {
        const CRect rcText(rc.left, rc.top + (bHasImage ? szButton.cy : 4), rc.right, rc.bottom);
        DrawControlText(pDC, strCaption, rcText, TRUE, TRUE, FALSE, bTriangle, bEmbossed);
    }
    return CSize(std::max(szText.cx + 6, szButton.cx), (bHasImage ? szButton.cy : 4) + szText.cy + 3);
}

CSize CXTPPaintManager::DrawControlToolBarParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    CFont* pFont = GetControlFont(pBar, pControl->IsDefaultItem());
    CXTPScopedSelect selectFont(pDC->GetSafeHdc(), pFont->GetSafeHandle());
    const CSize szIcon = pBar != nullptr ? pBar->GetIconSize() : CSize(16, 16);
    CSize szButton = pBar != nullptr ? pBar->GetButtonSize() : CSize(szIcon.cx + 7, szIcon.cy + 7);
    const XTPBarPosition position = pBar != nullptr ? pBar->GetPosition() : xtpBarNone;
    const BOOL bVert = position == xtpBarLeft || position == xtpBarRight;
    const XTPControlType type = pControl->GetType();
    const XTPButtonStyle style = pControl->GetStyle();

    CXTPImageManagerIcon* pImage = nullptr;
    const BOOL bWantsImage = style == xtpButtonAutomatic ? type != xtpControlPopup
                                                         : (style == xtpButtonIcon || style == xtpButtonIconAndCaption);
    if (bWantsImage)
        pImage = pControl->GetImage(szIcon.cx);

    const CString strCaption = pControl->GetCaption();
    const BOOL bButton = pControl->IsKindOf(RUNTIME_CLASS(CXTPControlButton));
    BOOL bShowCaption = FALSE;
    if (!strCaption.IsEmpty()) {
        if (style == xtpButtonCaption || style == xtpButtonIconAndCaption || type == xtpControlLabel)
            bShowCaption = TRUE;
        else if (style == xtpButtonAutomatic)
            bShowCaption = bButton ? (pImage == nullptr || type == xtpControlPopup) : type == xtpControlPopup;
    }

    const CRect rc = bDraw ? pControl->GetRect() : CRect(0, 0, 0, 0);
    if (bDraw) {
        if (type == xtpControlSplitButtonPopup) {
            DrawSplitButtonFace(pDC, pControl, rc);
        } else {
            const BOOL bPopuped = pControl->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)) && pControl->GetPopuped();
            PrepareControlFace(pDC, rc, pControl->GetEnabled(), pControl->GetSelected(), pControl->GetPressed(),
                               pControl->GetChecked(), bPopuped, position);
        }
    }
    const BOOL bEmbossed = !pControl->GetEnabled() && !ShowShadows();

    if (pBar != nullptr && pBar->IsTextBelowIcons() && pImage != nullptr) {
        if (bDraw) {
            CRect rcDraw = rc;
            if (type == xtpControlSplitButtonPopup)
                rcDraw.right -= 11;
            const CSize szImage = ImageSize(pImage, szIcon.cx);
            DrawImage(pDC, CPoint((rcDraw.left + rcDraw.right) / 2 - szIcon.cx / 2, rcDraw.top + 4), szImage, pImage,
                      pControl->GetSelected(), pControl->GetPressed(), pControl->GetEnabled(), pControl->GetChecked(),
                      FALSE);
            const CRect rcText(rcDraw.left, rcDraw.top + szButton.cy - 4, rcDraw.right, rcDraw.bottom);
            DrawControlText(pDC, strCaption, rcText, TRUE, FALSE, TRUE, type == xtpControlPopup, bEmbossed);
            return rc.Size();
        }
        const CSize szText =
            DrawControlText(pDC, strCaption, CRect(0, 0, 0, 0), FALSE, FALSE, TRUE, type == xtpControlPopup);
        int cx = std::max(static_cast<int>(szButton.cx), static_cast<int>(szText.cx) + 10);
        if (type == xtpControlSplitButtonPopup)
            cx += 11;
        const int cy = szButton.cy + szText.cy;
        return CSize(std::max(cx, cy), cy);
    }

    if (bDraw && pImage != nullptr) {
        const CSize szImage = ImageSize(pImage, szIcon.cx);
        CPoint pt = bVert ? CPoint((rc.left + rc.right) / 2 - szImage.cx / 2, rc.top + 4)
                          : CPoint(rc.left + 3, (rc.top + rc.bottom) / 2 - szImage.cy / 2);
        if (type == xtpControlSplitButtonPopup || (type == xtpControlPopup && !bShowCaption))
            pt.x = rc.left + 3;
        DrawImage(pDC, pt, szImage, pImage, pControl->GetSelected(), pControl->GetPressed(), pControl->GetEnabled(),
                  pControl->GetChecked(), FALSE);
    }

    switch (type) {
    case xtpControlButton:
    case xtpControlButtonPopup:
    case xtpControlLabel:
        if (bShowCaption)
            return LayoutCaptionWithImage(pDC, strCaption, rc, bVert, bDraw, bEmbossed, FALSE,
                                          pImage != nullptr ? szButton : CSize(23, 23), pImage != nullptr);
        return szButton;
    case xtpControlPopup: {
        const BOOL bTriangle = pBar == nullptr || pBar->GetType() != xtpBarTypeMenuBar;
        if (pImage == nullptr) {
            const CSize szText =
                DrawControlText(pDC, strCaption, rc, bDraw, bVert, TRUE, bDraw ? bTriangle : TRUE, bEmbossed);
            return bDraw ? rc.Size() : CSize(szText.cx + 6, szText.cy + 6);
        }
        if (bShowCaption)
            return LayoutCaptionWithImage(pDC, strCaption, rc, bVert, bDraw, bEmbossed, bTriangle, szButton, TRUE);
        if (bDraw) {
            const int cy = (rc.top + rc.bottom) / 2;
            Triangle(pDC, CPoint(rc.right - 9, cy - 1), CPoint(rc.right - 5, cy - 1), CPoint(rc.right - 7, cy + 1),
                     pDC->GetTextColor());
        }
        return CSize(szButton.cy + 7, szButton.cy);
    }
    case xtpControlSplitButtonPopup: {
        if (pImage == nullptr)
            szButton = CSize(23, 23);
        if (bShowCaption) {
            const CRect rcText(rc.left, rc.top, rc.right - 11, rc.bottom);
            const CSize sz = LayoutCaptionWithImage(pDC, strCaption, rcText, bVert, bDraw, bEmbossed, FALSE, szButton,
                                                    pImage != nullptr);
            return CSize(sz.cx + 11, sz.cy);
        }
        return CSize(szButton.cx + 11, szButton.cy);
    }
    default:
        return CSize(0, 0);
    }
}

CSize CXTPPaintManager::DrawControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    const XTPControlType type = pControl->GetType();
    if (type == xtpControlEdit || type == xtpControlComboBox) {
        HWND hEdit = pControl->GetEditWindow();
        HFONT hFont = static_cast<HFONT>(m_fontIcon.GetSafeHandle());
        if (hEdit != nullptr && reinterpret_cast<HFONT>(::SendMessageW(hEdit, WM_GETFONT, 0, 0)) != hFont) {
            ::SendMessageW(hEdit, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
            ::SendMessageW(hEdit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        }
    }
    // The theme may draw a control a little larger or smaller than its place in the layout.
    const CRect rcLayout = pControl->m_rcControl;
    if (bDraw) {
        CRect rc = rcLayout;
        AdjustControlRect(pControl, rc);
        pControl->m_rcControl = rc;
    }
    CSize size;
    if (type == xtpControlEdit)
        size = DrawEditControl(pDC, pControl, bDraw);
    else if (type == xtpControlComboBox)
        size = DrawComboBoxControl(pDC, pControl, bDraw);
    else if (pControl->GetParent() != nullptr && pControl->GetParent()->GetType() == xtpBarTypePopup)
        size = DrawControlPopupParent(pDC, pControl, bDraw);
    else
        size = DrawControlToolBarParent(pDC, pControl, bDraw);
    pControl->m_rcControl = rcLayout;
    return size;
}

// ---- Layouts the themes share

int CXTPPaintManager::GetPopupIconColumnWidth(CXTPCommandBar* pBar) const
{
    const int nIconWidth = pBar != nullptr ? pBar->GetIconSize().cx : 16;
    return std::max(m_nLineHeight + 4, nIconWidth + 4);
}

BOOL CXTPPaintManager::HasWrappedControls(CXTPCommandBar* pBar)
{
    if (pBar == nullptr)
        return FALSE;
    for (int i = 0; i < pBar->GetControlCount(); ++i) {
        if (pBar->GetControl(i)->GetHideFlags() & xtpHideWrap)
            return TRUE;
    }
    return FALSE;
}

CSize CXTPPaintManager::DrawFloatingCaption(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw, COLORREF clrBand)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    CXTPScopedSelect selectFont(pDC->GetSafeHdc(), m_fontSmCaption.GetSafeHandle());
    const int nHeight = std::max(15, static_cast<int>(pDC->GetTextExtent(CString(L"X")).cy));
    const CRect rcCaption(3, 3, rc.right - 3, 3 + nHeight);
    if (bDraw) {
        pDC->FillSolidRect(&rcCaption, clrBand);
        pDC->SetTextColor(GetColor(20));
        pDC->SetBkMode(TRANSPARENT);
        CRect rcText = rcCaption;
        rcText.DeflateRect(2, 0);
        pDC->DrawText(pBar->GetTitle(), &rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    return rcCaption.Size();
}

void CXTPPaintManager::DrawFramedText(CDC* pDC, CRect rc, UINT nFlags, LPCTSTR lpszText, COLORREF clrTopLeft,
                                      COLORREF clrBottomRight)
{
    if ((nFlags & XTP_TEXTBOX_NOFRAME) == 0)
        pDC->Draw3dRect(&rc, clrTopLeft, clrBottomRight);
    if ((nFlags & XTP_TEXTBOX_NOTEXT) == 0) {
        rc.DeflateRect(2, 1);
        pDC->SetBkMode(TRANSPARENT);
        pDC->DrawText(lpszText, -1, &rc, DT_SINGLELINE | DT_VCENTER);
    }
}

CSize CXTPPaintManager::MeasurePopupItem(CDC* pDC, CXTPControl* pControl)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    const CSize szIcon = pBar != nullptr ? pBar->GetIconSize() : CSize(16, 16);
    const CString strCaption = StripMnemonics(pControl->GetCaption());
    const CString strShortcut = pControl->GetShortcutText();
    const int cxCaption = strCaption.IsEmpty() ? 0 : static_cast<int>(pDC->GetTextExtent(strCaption).cx);
    const int cxShortcut = strShortcut.IsEmpty() ? 0 : static_cast<int>(pDC->GetTextExtent(strShortcut).cx);
    return CSize(cxCaption + cxShortcut + GetPopupIconColumnWidth(pBar) + 40,
                 std::max(m_nLineHeight, static_cast<int>(szIcon.cy) + 6));
}

CRect CXTPPaintManager::GetPopupIconCell(CXTPControl* pControl)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    const CSize szIcon = pBar != nullptr ? pBar->GetIconSize() : CSize(16, 16);
    const CRect rc = pControl->GetRect();
    const int x = 1 + (GetPopupIconColumnWidth(pBar) + 1 - szIcon.cx) / 2;
    const int y = rc.top + (rc.Height() - szIcon.cy) / 2;
    return CRect(x, y, x + szIcon.cx, y + szIcon.cy);
}

void CXTPPaintManager::DrawPopupItemText(CDC* pDC, CXTPControl* pControl)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    const CRect rc = pControl->GetRect();
    const int W = GetPopupIconColumnWidth(pBar);
    const CString strCaption = pControl->GetCaption();
    const CString strText = pBar != nullptr && pBar->IsLayoutRTL() ? ReverseCaptionForRtl(strCaption) : strCaption;
    CRect rcText(rc.left + W + 8, rc.top, rc.right, rc.bottom);
    pDC->DrawText(strText, &rcText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    const CString strShortcut = pControl->GetShortcutText();
    if (!strShortcut.IsEmpty()) {
        CRect rcShortcut(rc.left + W + 8, rc.top, rc.right - 19, rc.bottom);
        pDC->DrawText(strShortcut, &rcShortcut, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    }
}

CXTPPaintManager::CFieldLayout CXTPPaintManager::LayoutFieldControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw,
                                                                    int nPopupGap)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    const BOOL bPopup = pBar != nullptr && pBar->GetType() == xtpBarTypePopup;
    const CString strLabel = StripMnemonics(pControl->GetCaption());
    int nLabelWidth = 0;
    if (pControl->GetShowLabel())
        nLabelWidth = (strLabel.IsEmpty() ? 0 : static_cast<int>(pDC->GetTextExtent(strLabel).cx)) + 5;
    const int nOffset = bPopup ? GetPopupIconColumnWidth(pBar) + nPopupGap : 0;
    CFieldLayout layout;
    if (!bDraw) {
        const int nHeight = static_cast<int>(pDC->GetTextExtent(CString(L" ")).cy) + 8;
        layout.szControl = CSize(nOffset + nLabelWidth + pControl->GetFieldWidth(), nHeight);
        return layout;
    }
    const CRect rc = pControl->GetRect();
    layout.rcLabel = CRect(rc.left + nOffset, rc.top, rc.left + nOffset + nLabelWidth, rc.bottom);
    layout.rcField = CRect(layout.rcLabel.right, rc.top, rc.right, rc.bottom);
    layout.szControl = rc.Size();
    return layout;
}

CSize CXTPPaintManager::ListBoxEntrySize(CXTPControl* pControl, CRect rc) const
{
    CXTPCommandBar* pBar = pControl != nullptr ? pControl->GetParent() : nullptr;
    const CSize szIcon = pBar != nullptr ? pBar->GetIconSize() : CSize(16, 16);
    return CSize(rc.Width(), std::max(static_cast<int>(szIcon.cy) + 6, m_nLineHeight));
}

void CXTPPaintManager::DrawListBoxEntry(CDC* pDC, CXTPControl* pControl, CRect rc, BOOL bSelected, BOOL bEnabled)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    const CSize szIcon = pBar != nullptr ? pBar->GetIconSize() : CSize(16, 16);
    const XTPControlType type = pControl->GetType();
    const CRect rcIcon(rc.left + 2, rc.top + (rc.Height() - szIcon.cy) / 2, rc.left + 2 + szIcon.cx,
                       rc.top + (rc.Height() - szIcon.cy) / 2 + szIcon.cy);
    if (type == xtpControlButton || IsPopupType(type)) {
        if (CXTPImageManagerIcon* pImage = pControl->GetImage(szIcon.cx))
            DrawImage(pDC, rcIcon.TopLeft(), ImageSize(pImage, szIcon.cx), pImage, bSelected, 0, bEnabled, 0, TRUE);
    }
    pDC->SetBkMode(TRANSPARENT);
    CRect rcText(rcIcon.right + 6, rc.top, rc.right - 14, rc.bottom);
    // Drawn without a prefix, so the access keys' ampersands go first: "S&top" reads "Stop".
    pDC->DrawText(StripMnemonics(pControl->GetCaption()), &rcText,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    const int yMid = (rc.top + rc.bottom) / 2;
    if (IsPopupType(type))
        Triangle(pDC, CPoint(rc.right - 12, yMid - 4), CPoint(rc.right - 8, yMid), CPoint(rc.right - 12, yMid + 4),
                 pDC->GetTextColor());
    if (type == xtpControlSplitButtonPopup)
        DrawLine(pDC, rc.right - 20, rc.top + 1, rc.right - 20, rc.bottom - 1, 16);
    if (type == xtpControlComboBox || type == xtpControlEdit) {
        CRect rcField(rc.right - 40, rc.top + 3, rc.right - 4, rc.bottom - 3);
        Draw3dRect(pDC, rcField, 16, 16);
    }
}

// ---- Animation

void CXTPPaintManager::AnimationSleep(DWORD dwMilliseconds)
{
    ::Sleep(dwMilliseconds);
}

void CXTPPaintManager::AnimatePopup(CDC* pDestDC, CDC* pSrcDC, CRect rc, int nAnimationType)
{
    const int nSteps = m_nAnimationSteps;
    if (nSteps <= 0)
        return;
    const DWORD dwStepTime = static_cast<DWORD>(std::max(0, m_nAnimationTime / nSteps));
    const int w = rc.Width(), h = rc.Height();
    if (w <= 0 || h <= 0)
        return;
    switch (nAnimationType) {
    case xtpAnimateUnfold:
        for (int k = 1; k <= nSteps; ++k) {
            const int cw = w * k / nSteps, ch = h * k / nSteps;
            pDestDC->BitBlt(rc.left, rc.top, cw, ch, pSrcDC, rc.left + w - cw, rc.top + h - ch, SRCCOPY);
            AnimationSleep(dwStepTime);
        }
        break;
    case xtpAnimateSlide:
        for (int k = 1; k <= nSteps; ++k) {
            const int ch = h * k / nSteps;
            pDestDC->BitBlt(rc.left, rc.top, w, ch, pSrcDC, rc.left, rc.top + h - ch, SRCCOPY);
            AnimationSleep(dwStepTime);
        }
        break;
    case xtpAnimateFade: {
        DWORD* pImage = nullptr;
        DWORD* pCurrent = nullptr;
        DWORD* pBlend = nullptr;
        HDC hDestDC = pDestDC->GetSafeHdc();
        CScopedBitmap bmpImage(CreateDib32(hDestDC, w, h, &pImage));
        CScopedBitmap bmpCurrent(CreateDib32(hDestDC, w, h, &pCurrent));
        CScopedBitmap bmpBlend(CreateDib32(hDestDC, w, h, &pBlend));
        CScopedCreatedDC memDC(::CreateCompatibleDC(hDestDC));
        if (!bmpImage || !bmpCurrent || !bmpBlend || !memDC)
            break;
        {
            CScopedSelect select(memDC, bmpImage.Get());
            ::BitBlt(memDC, 0, 0, w, h, pSrcDC->GetSafeHdc(), rc.left, rc.top, SRCCOPY);
        }
        {
            CScopedSelect select(memDC, bmpCurrent.Get());
            ::BitBlt(memDC, 0, 0, w, h, hDestDC, rc.left, rc.top, SRCCOPY);
        }
        ::GdiFlush();
        const size_t nPixels = static_cast<size_t>(w) * static_cast<size_t>(h);
        for (int k = 1; k < nSteps; ++k) {
            const DWORD dwStart = ::GetTickCount();
            const DWORD a = static_cast<DWORD>(255 * k / nSteps);
            const BYTE* pSrc = reinterpret_cast<const BYTE*>(pImage);
            const BYTE* pCur = reinterpret_cast<const BYTE*>(pCurrent);
            BYTE* pOut = reinterpret_cast<BYTE*>(pBlend);
            for (size_t i = 0; i < nPixels * 4; ++i)
                pOut[i] = static_cast<BYTE>((pSrc[i] * a + pCur[i] * (255 - a)) / 256);
            {
                CScopedSelect select(memDC, bmpBlend.Get());
                ::BitBlt(hDestDC, rc.left, rc.top, w, h, memDC, 0, 0, SRCCOPY);
            }
            const DWORD dwSpent = ::GetTickCount() - dwStart;
            if (dwSpent < dwStepTime)
                AnimationSleep(dwStepTime - dwSpent);
        }
        break;
    }
    default:
        break;
    }
}

void CXTPPaintManager::AnimateExpand(CXTPCommandBar* pBar, CDC* pDestDC, CDC* pSrcDC)
{
    const int nSteps = m_nAnimationSteps;
    if (nSteps <= 0 || pBar == nullptr || pBar->GetSafeHwnd() == nullptr)
        return;
    CRect rcClient;
    pBar->GetClientRect(&rcClient);
    const int w = rcClient.Width();
    for (int k = 1; k <= nSteps; ++k) {
        int yDest = 0;
        int nBandTop = 0;
        BOOL bBandRare = FALSE;
        auto copyBand = [&](int nBottom) {
            const int nHeight = nBottom - nBandTop;
            if (nHeight <= 0)
                return;
            const int nDestHeight = bBandRare ? nHeight * k / nSteps : nHeight;
            pDestDC->StretchBlt(0, yDest, w, nDestHeight, pSrcDC, 0, nBandTop, w, nHeight, SRCCOPY);
            yDest += nDestHeight;
        };
        for (int i = 0; i < pBar->GetControlCount(); ++i) {
            CXTPControl* pControl = pBar->GetControl(i);
            if (!pControl->IsVisible())
                continue;
            if (pControl->IsRarelyUsed() != bBandRare) {
                copyBand(pControl->GetRect().top);
                nBandTop = pControl->GetRect().top;
                bBandRare = pControl->IsRarelyUsed();
            }
        }
        copyBand(rcClient.bottom);
        AnimationSleep(static_cast<DWORD>(std::max(0, m_nAnimationTime / nSteps)));
    }
}

// ---- Themes

CXTPPaintManager* CXTPPaintManager::CreateTheme(int nTheme)
{
    CXTPPaintManager* pPaintManager = nullptr;
    switch (nTheme) {
    case xtpThemeDefault:
        pPaintManager = new (std::nothrow) CXTPThemeDefault;
        break;
    case xtpThemeOffice2003:
        pPaintManager = new (std::nothrow) CXTPThemeOffice2003;
        break;
    case xtpThemeXPStyle:
        pPaintManager = new (std::nothrow) CXTPThemeXPStyle;
        break;
    default:
        pPaintManager = new (std::nothrow) CXTPThemeStandard;
        break;
    }
    if (pPaintManager != nullptr)
        pPaintManager->m_nThemeId = nTheme;
    return pPaintManager;
}

void CXTPPaintManager::SetTheme(int nTheme)
{
    CCurrentTheme& current = CurrentTheme();
    if (current.pPaintManager != nullptr && current.pPaintManager->m_nThemeId == nTheme)
        return;
    if (current.pPaintManager != nullptr)
        current.pPaintManager->InternalRelease();
    current.pPaintManager = CreateTheme(nTheme);
}

void CXTPPaintManager::SetCustomTheme(CXTPPaintManager* pPaintManager)
{
    CCurrentTheme& current = CurrentTheme();
    if (current.pPaintManager != nullptr && current.pPaintManager != pPaintManager)
        current.pPaintManager->InternalRelease();
    current.pPaintManager = pPaintManager;
    if (pPaintManager != nullptr)
        pPaintManager->m_nThemeId = xtpThemeCustom;
}

CXTPPaintManager* CXTPPaintManager::GetCurrent()
{
    return CurrentTheme().pPaintManager;
}

CXTPPaintManager* XTPPaintManager()
{
    if (CXTPPaintManager::GetCurrent() == nullptr)
        CXTPPaintManager::SetTheme(xtpThemeDefault);
    return CXTPPaintManager::GetCurrent();
}

// ---- Captions

CString StripMnemonics(LPCTSTR lpszText)
{
    CString strResult;
    if (lpszText == nullptr)
        return strResult;
    for (const wchar_t* p = lpszText; *p != 0; ++p) {
        if (*p == L'&') {
            if (p[1] == L'&') {
                strResult += L'&';
                ++p;
            }
            continue;
        }
        strResult += *p;
    }
    return strResult;
}

CString ReverseCaptionForRtl(LPCTSTR lpszText)
{
    CString str = StripMnemonics(lpszText);
    int nLength = str.GetLength();
    if (nLength <= 2)
        return str;
    if (nLength >= 4 && str.Right(3) == L"..." && ::IsCharAlphaW(str[nLength - 4]))
        str = L"..." + str.Left(nLength - 3);
    nLength = str.GetLength();
    int i = 0;
    while (i < nLength - 2 && ((str[i] >= L'0' && str[i] <= L'9') || str[i] == L'&'))
        ++i;
    if (i > 0 && str[i] == L' ') {
        int j = i;
        while (j < nLength && str[j] == L' ')
            ++j;
        if (j < nLength && ::IsCharAlphaW(str[j]))
            str = str.Mid(i + 1) + L" " + str.Left(i);
    }
    return str;
}
