#include "toolkit/commandbars/XTPThemeOffice2003.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/WinThread.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/base/XTPDrawHelpers.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTPThemeOffice2003, CXTPThemeDefault)

namespace {

// Window styles of a dock (or a status bar) that take a solid fill instead of the gradient.
const DWORD kSolidDockStyles = 0x4000 | 0x100;

// The fixed faces of hot, pressed and checked toolbar controls under a colour scheme (from, to).
const COLORREF kCheckedFrom = 0x8CD5FF, kCheckedTo = 0x55ADFF;
const COLORREF kPressedFrom = 0x4B8EFE, kPressedTo = 0x8BCFFF;
const COLORREF kHotFrom = 0xC8F2FF, kHotTo = 0x97D4FF;

// A colour of the blue, olive and silver schemes.
struct SchemeRow
{
    COLORREF clr[3];
};

// The theme's own colours, in the order of its members from dock left to text box frame.
const SchemeRow kMemberRows[] = {
    {{0xF5BE9E, 0xA7D9D9, 0xE5D7D7}}, // dock left
    {{0xFADAC4, 0xE4F1F2, 0xF7F3F3}}, // dock right
    {{0xE2A981, 0x91C6B7, 0xB59799}}, // band dark
    {{0xFEECDD, 0xDEF7F4, 0xFAF4F3}}, // band light
    {{0xFFEFE3, 0xD5F0EC, 0xF1E7E9}}, // popped light
    {{0xE7B593, 0x9FCEC2, 0xCDB9BA}}, // popped dark
    {{0x9C613B, 0x588060, 0x947C7C}}, // band shadow
    {{0xC9662A, 0x5E8674, 0x99797A}}, // gripper dark
    {{0x913500, 0x6B7760, 0x927476}}, // expand dark
    {{0xF1A675, 0x8CC2B0, 0xC8B2B3}}, // expand light
    {{0xDCA179, 0x78B4A4, 0xA28385}}, // rare dark
    {{0xF6DDCB, 0xD1E6E6, 0xE2D7D7}}, // rare light
    {{0xE2A981, 0x93C6B8, 0xC5AEB0}}, // disc inner
    {{0xFEEFE3, 0xD5F0EC, 0xF1E8E8}}, // disc outer
    {{0xD3D3D3, 0xD3D3D3, 0xDAEAEC}}, // text box frame
};

// The popup shadow colour of each scheme.
const SchemeRow kShadowRow = {{0x361E16, 0x19221F, 0x292024}};

// The table defaults each scheme replaces.
const int kSchemeIndexes[] = {12, 51, 52, 53, 56, 38, 39, 40, 41, 43, 31, 32, 37, 50, 33, 36, 30, 47};
const SchemeRow kTableRows[] = {
    {{0xAE9990, 0x7BA097, 0xB39A9B}}, // 12
    {{0xFCE7D8, 0xBFE7E2, 0xEADFDF}}, // 51
    {{0xF5BE9E, 0x8AC0AB, 0xC3B0B1}}, // 52
    {{0xFCE1CB, 0xB6E3D8, 0xE7D3D6}}, // 53
    {{0xF7D3BD, 0xBDE3DE, 0xE7D7D6}}, // 56
    {{0x764127, 0x335E51, 0x755454}}, // 38
    {{0xCB8C6A, 0x588060, 0x8F6D6E}}, // 39
    {{0xD0966D, 0x7AAE9F, 0xBEA7A8}}, // 40
    {{0xF6F6F6, 0xEEF4F4, 0xFFFAFD}}, // 41
    {{0x962D00, 0x5E8D75, 0x947C7C}}, // 43
    {{0xC2EEFF, 0xC2EEFF, 0xC2EEFF}}, // 31
    {{0x800000, 0x385D3F, 0x6F4B4B}}, // 32
    {{0x800000, 0x385D3F, 0x6F4B4B}}, // 37
    {{0x800000, 0x385D3F, 0x6F4B4B}}, // 50
    {{0x3E80FE, 0x3E80FE, 0x3E80FE}}, // 33
    {{0x6FC0FF, 0x6FC0FF, 0x6FC0FF}}, // 36
    {{0xF5BE9E, 0xA7D9D9, 0xE5D7D7}}, // 30
    {{0x000000, 0x000000, 0x000000}}, // 47
};
static_assert(sizeof(kSchemeIndexes) / sizeof(kSchemeIndexes[0]) == sizeof(kTableRows) / sizeof(kTableRows[0]),
              "one row per replaced table colour");

// The disc image: shade 16 * x + y for pixel (x, y); 255 is transparent.
const BYTE kDiscShades[16][16] = {
    {255, 255, 255, 255, 252, 234, 198, 180, 180, 180, 198, 252, 255, 255, 255, 255},
    {255, 255, 255, 234, 234, 234, 234, 198, 180, 144, 126, 126, 198, 255, 255, 255},
    {255, 255, 234, 252, 252, 234, 234, 198, 180, 144, 126, 108, 90, 144, 255, 255},
    {255, 234, 252, 252, 252, 234, 234, 198, 180, 144, 126, 108, 90, 54, 126, 255},
    {234, 252, 252, 252, 252, 234, 234, 198, 180, 144, 126, 108, 90, 54, 36, 234},
    {234, 252, 252, 252, 252, 234, 234, 198, 180, 144, 126, 108, 72, 54, 36, 90},
    {234, 234, 234, 234, 234, 234, 198, 180, 144, 144, 126, 108, 72, 36, 18, 36},
    {198, 234, 234, 234, 198, 198, 198, 180, 144, 126, 126, 72, 54, 36, 18, 18},
    {198, 198, 198, 198, 198, 180, 180, 144, 126, 126, 108, 72, 54, 18, 18, 0},
    {198, 180, 180, 180, 180, 180, 144, 126, 126, 108, 90, 54, 36, 18, 0, 0},
    {198, 144, 144, 144, 144, 144, 126, 126, 108, 108, 72, 54, 36, 18, 0, 54},
    {252, 144, 126, 126, 126, 126, 108, 108, 90, 90, 54, 36, 18, 0, 0, 180},
    {255, 198, 108, 108, 108, 108, 90, 90, 90, 72, 54, 36, 18, 0, 72, 255},
    {255, 255, 180, 108, 90, 90, 90, 72, 72, 54, 36, 18, 0, 54, 255, 255},
    {255, 255, 255, 198, 90, 72, 72, 72, 54, 36, 36, 18, 108, 255, 255, 255},
    {255, 255, 255, 255, 252, 180, 108, 72, 54, 90, 126, 234, 255, 255, 255, 255},
};
const COLORREF kDiscMask = RGB(0, 255, 0);

int DiscChannel(int nInner, int nOuter, int nShade)
{
    return nInner - (nInner - nOuter) * nShade / 255;
}

void Frame(CDC* pDC, CRect rc, COLORREF clr)
{
    pDC->Draw3dRect(&rc, clr, clr);
}

// Leaves the four corner pixels of a rectangle out of the drawing, which rounds its corners.
void ExcludeCorners(CDC* pDC, const CRect& rc)
{
    pDC->ExcludeClipRect(rc.left, rc.top, rc.left + 1, rc.top + 1);
    pDC->ExcludeClipRect(rc.right - 1, rc.top, rc.right, rc.top + 1);
    pDC->ExcludeClipRect(rc.left, rc.bottom - 1, rc.left + 1, rc.bottom);
    pDC->ExcludeClipRect(rc.right - 1, rc.bottom - 1, rc.right, rc.bottom);
}

} // namespace

CXTPThemeOffice2003::CXTPThemeOffice2003()
    : m_clrDockLeft(0), m_clrDockRight(0), m_clrBandDark(0), m_clrBandLight(0), m_clrPoppedLight(0), m_clrPoppedDark(0),
      m_clrBandShadow(0), m_clrGripperDark(0), m_clrExpandDark(0), m_clrExpandLight(0), m_clrRareDark(0),
      m_clrRareLight(0), m_clrDiscInner(0), m_clrDiscOuter(0), m_clrTextBoxFrame(0), m_bLunaScheme(FALSE),
      m_bLowColor(FALSE), m_cxHalfScreen(0)
{
    m_iconsInfo.bUseFadedIcons = FALSE;
    m_iconsInfo.bIconsWithShadow = FALSE;
    RefreshColors();
}

int CXTPThemeOffice2003::GetThemeId()
{
    return xtpThemeOffice2003;
}

// ---- Colours

void CXTPThemeOffice2003::RefreshMetrics()
{
    RefreshColors();
}

void CXTPThemeOffice2003::RefreshColors()
{
    CXTPPaintManager::RefreshMetrics();
    m_bLowColor = IsLowColor(nullptr);
    m_cxHalfScreen = ::GetSystemMetrics(SM_CXFULLSCREEN) / 2;

    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != nullptr && pMainWnd->GetSafeHwnd() != nullptr)
        m_themeStatus.OpenThemeData(pMainWnd->GetSafeHwnd(), L"STATUS");
    else
        m_themeStatus.CloseThemeData();

    using Blend = CXTPColorManager;
    m_clrRareDark = GetColor(42);
    m_clrRareLight = Blend::BlendColors(GetColor(5), m_clrRareDark, 550);
    m_clrDockRight = m_clrBandLight = Blend::BlendColors(GetColor(15), GetColor(5), 205);
    m_clrDockLeft = m_clrBandDark = GetColor(15);
    m_clrBandShadow = GetColor(30);
    m_clrGripperDark = GetColor(16);
    m_clrPoppedLight = GetColor(41);
    m_clrPoppedDark = Blend::BlendColors(GetColor(5), GetColor(15), 550);
    m_clrExpandDark = GetColor(16);
    m_clrExpandLight = Blend::BlendColors(GetColor(51), m_clrExpandDark, 51);
    m_bLunaScheme = FALSE;
    m_clrDiscOuter = GetColor(41);
    m_clrDiscInner = Blend::BlendColors(GetColor(5), GetColor(15), 550);
    m_clrTextBoxFrame = Blend::BlendColors(GetColor(15), GetColor(5), 70);

    CXTPColorManager* pColorManager = XTPColorManager();
    const int nScheme =
        pColorManager->IsLunaColorsDisabled() ? xtpSystemThemeUnknown : pColorManager->GetLunaColorScheme();
    if (nScheme >= xtpSystemThemeBlue && nScheme <= xtpSystemThemeSilver) {
        const int s = nScheme - xtpSystemThemeBlue;
        COLORREF* const members[] = {&m_clrDockLeft,    &m_clrDockRight,   &m_clrBandDark,    &m_clrBandLight,
                                     &m_clrPoppedLight, &m_clrPoppedDark,  &m_clrBandShadow,  &m_clrGripperDark,
                                     &m_clrExpandDark,  &m_clrExpandLight, &m_clrRareDark,    &m_clrRareLight,
                                     &m_clrDiscInner,   &m_clrDiscOuter,   &m_clrTextBoxFrame};
        static_assert(sizeof(members) / sizeof(members[0]) == sizeof(kMemberRows) / sizeof(kMemberRows[0]),
                      "one row per member");
        for (size_t i = 0; i < sizeof(members) / sizeof(members[0]); ++i)
            *members[i] = kMemberRows[i].clr[s];
        const int nCount = static_cast<int>(sizeof(kSchemeIndexes) / sizeof(kSchemeIndexes[0]));
        COLORREF colors[sizeof(kSchemeIndexes) / sizeof(kSchemeIndexes[0])];
        for (int i = 0; i < nCount; ++i)
            colors[i] = kTableRows[i].clr[s];
        SetColors(nCount, kSchemeIndexes, colors);
        m_clrShadowFactor = kShadowRow.clr[s];
        m_bLunaScheme = TRUE;
    }
    RebuildDiscImage();
}

void CXTPThemeOffice2003::RebuildDiscImage()
{
    m_ilDisc.DeleteImageList();
    CScopedWindowDC screenDC(nullptr);
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(CDC::FromHandle(screenDC), 16, 16))
        return;
    {
        CXTPBitmapDC dc(nullptr, static_cast<HBITMAP>(bitmap.GetSafeHandle()));
        for (int x = 0; x < 16; ++x) {
            for (int y = 0; y < 16; ++y) {
                const int s = kDiscShades[x][y];
                const COLORREF clr = s == 255
                                         ? kDiscMask
                                         : RGB(DiscChannel(GetRValue(m_clrDiscInner), GetRValue(m_clrDiscOuter), s),
                                               DiscChannel(GetGValue(m_clrDiscInner), GetGValue(m_clrDiscOuter), s),
                                               DiscChannel(GetBValue(m_clrDiscInner), GetBValue(m_clrDiscOuter), s));
                dc.SetPixel(x, y, clr);
            }
        }
    }
    if (m_ilDisc.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 0))
        m_ilDisc.Add(&bitmap, kDiscMask);
}

void CXTPThemeOffice2003::FillGradient(CDC* pDC, const CRect& rc, COLORREF clrFrom, COLORREF clrTo, BOOL bHorz)
{
    if (rc.IsRectEmpty())
        return;
    if (m_bLowColor || clrFrom == clrTo) {
        pDC->FillSolidRect(&rc, clrFrom);
        return;
    }
    TRIVERTEX vertices[2] = {};
    const COLORREF colors[2] = {clrFrom, clrTo};
    const POINT corners[2] = {{rc.left, rc.top}, {rc.right, rc.bottom}};
    for (int i = 0; i < 2; ++i) {
        vertices[i].x = corners[i].x;
        vertices[i].y = corners[i].y;
        vertices[i].Red = static_cast<COLOR16>(GetRValue(colors[i]) << 8);
        vertices[i].Green = static_cast<COLOR16>(GetGValue(colors[i]) << 8);
        vertices[i].Blue = static_cast<COLOR16>(GetBValue(colors[i]) << 8);
    }
    GRADIENT_RECT mesh = {0, 1};
    ::GradientFill(pDC->GetSafeHdc(), vertices, 2, &mesh, 1, bHorz ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

// ---- Docks and bars

void CXTPThemeOffice2003::FillDockBackground(CDC* pDC, CWnd* pDock, CWnd* pTarget)
{
    CRect rc;
    pDock->GetClientRect(&rc);
    if (pDock != pTarget)
        pDock->MapWindowPoints(pTarget, &rc);
    if (pDock->GetStyle() & kSolidDockStyles) {
        pDC->FillSolidRect(&rc, m_clrDockRight);
        return;
    }
    rc.right = rc.left + GradientWidth(rc.Width());
    FillGradient(pDC, rc, m_clrDockLeft, m_clrDockRight, TRUE);
}

void CXTPThemeOffice2003::FillDockBar(CDC* pDC, CWnd* pWnd)
{
    FillDockBackground(pDC, pWnd, pWnd);
}

void CXTPThemeOffice2003::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    const XTPBarPosition position = pBar->GetPosition();
    if (pBar->GetType() == xtpBarTypeMenuBar) {
        FillGradient(pDC, CRect(rc.left, rc.top, rc.left + GradientWidth(rc.Width()), rc.bottom), m_clrDockLeft,
                     m_clrDockRight, TRUE);
        if (position == xtpBarFloating) {
            const COLORREF clr = GetColor(43);
            Frame(pDC, rc, clr);
            Frame(pDC, CRect(rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1), clr);
            pDC->SetPixel(2, 2, clr);
            pDC->SetPixel(rc.right - 2, 2, clr);
            pDC->SetPixel(2, rc.bottom - 2, clr);
            pDC->SetPixel(rc.right - 2, rc.bottom - 2, clr);
        }
        return;
    }
    switch (position) {
    case xtpBarTop:
    case xtpBarBottom:
    case xtpBarLeft:
    case xtpBarRight:
        FillToolBarBand(pDC, pBar);
        return;
    case xtpBarPopup:
        FillPopupBar(pDC, pBar, 41);
        return;
    default:
        CXTPThemeDefault::FillCommandBar(pDC, pBar);
        return;
    }
}

void CXTPThemeOffice2003::FillToolBarBand(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    const BOOL bVert = ::IsVerticalPosition(pBar->GetPosition());
    pDC->FillSolidRect(&rc, GetColor(15));
    if (CWnd* pParent = pBar->GetParent())
        FillDockBackground(pDC, pParent, pBar);

    // The band covers every row (or column) of a wrapped bar.
    int nBandEnd = -1;
    for (int i = 0; i < pBar->GetControlCount(); ++i) {
        CXTPControl* pControl = pBar->GetControl(i);
        if (pControl->IsVisible())
            nBandEnd = std::max(nBandEnd,
                                static_cast<int>(bVert ? pControl->GetRect().right : pControl->GetRect().bottom) + 1);
    }
    const int nLast = bVert ? rc.right - 1 : rc.bottom - 1;
    nBandEnd = nBandEnd < 0 ? nLast : std::min(nBandEnd, nLast);

    const int nSaved = pDC->SaveDC();
    if (!bVert) {
        pDC->ExcludeClipRect(rc.left, rc.top, rc.left + 3, rc.bottom);
        ExcludeCorners(pDC, CRect(rc.left + 3, rc.top + 1, rc.right, rc.bottom - 1));
        FillGradient(pDC, CRect(rc.left, rc.top + 1, rc.right, nBandEnd), m_clrBandLight, m_clrBandDark, FALSE);
        pDC->FillSolidRect(CRect(rc.left, nBandEnd, rc.right, rc.bottom - 1), m_clrBandDark);
        pDC->FillSolidRect(CRect(rc.left + 5, rc.bottom - 1, rc.left + 5 + rc.Width() - 7, rc.bottom), m_clrBandShadow);
    } else {
        pDC->ExcludeClipRect(rc.left, rc.top, rc.right, rc.top + 3);
        ExcludeCorners(pDC, CRect(rc.left + 1, rc.top + 3, rc.right - 1, rc.bottom));
        FillGradient(pDC, CRect(rc.left + 1, rc.top, nBandEnd, rc.bottom), m_clrBandLight, m_clrBandDark, TRUE);
        pDC->FillSolidRect(CRect(nBandEnd, rc.top, rc.right - 1, rc.bottom), m_clrBandDark);
        pDC->FillSolidRect(CRect(rc.right - 1, rc.top + 5, rc.right, rc.top + 5 + rc.Height() - 7), m_clrBandShadow);
    }
    pDC->RestoreDC(nSaved);
}

void CXTPThemeOffice2003::FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bRarelyUsed)
{
    FillGradient(pDC, CRect(x, y, x + cx, y + cy), bRarelyUsed ? m_clrRareLight : m_clrBandLight,
                 bRarelyUsed ? m_clrRareDark : m_clrBandDark, TRUE);
}

CRect CXTPThemeOffice2003::GetBorders(CXTPCommandBar* pBar)
{
    const XTPBarPosition position = pBar != nullptr ? pBar->GetPosition() : xtpBarNone;
    if (position == xtpBarTop || position == xtpBarBottom)
        return CRect(4, 2, 2, 2);
    return CXTPThemeDefault::GetBorders(pBar);
}

// ---- Control faces

void CXTPThemeOffice2003::FillControlFace(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, int nChecked,
                                          BOOL bPopuped, BOOL bToolBar, XTPBarPosition barPosition)
{
    if (bPopuped) {
        FillGradient(pDC, rc, m_clrPoppedLight, m_clrPoppedDark, FALSE);
        Frame(pDC, rc, GetColor(43));
        return;
    }
    const BOOL bDocked = barPosition == xtpBarTop || barPosition == xtpBarBottom || barPosition == xtpBarLeft ||
                         barPosition == xtpBarRight;
    if (!m_bLunaScheme || !bToolBar || !bDocked) {
        CXTPThemeDefault::FillControlFace(pDC, rc, nSelected, nPressed, bEnabled, nChecked, bPopuped, bToolBar,
                                          barPosition);
        return;
    }
    struct Face
    {
        COLORREF clrFrom, clrTo;
        COLORREF nFrame;
    };
    const Face checked = {kCheckedFrom, kCheckedTo, 50};
    const Face pressed = {kPressedFrom, kPressedTo, 50};
    const Face hot = {kHotFrom, kHotTo, 32};
    const Face* pFace = nullptr;
    if (!bEnabled)
        pFace = nSelected == xtpSelectedByKeyboard ? &hot : nullptr;
    else if (nChecked && !nSelected && !nPressed)
        pFace = &checked;
    else if (nChecked && nSelected && !nPressed)
        pFace = &pressed;
    else if (nPressed == 2 || (nSelected && nPressed))
        pFace = &pressed;
    else if (nSelected || nPressed)
        pFace = &hot;
    if (pFace == nullptr)
        return;
    FillGradient(pDC, rc, pFace->clrFrom, pFace->clrTo, ::IsVerticalPosition(barPosition));
    Frame(pDC, rc, GetColor(pFace->nFrame));
}

// ---- Grippers, separators, strips

CSize CXTPThemeOffice2003::DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    const COLORREF clrLight = GetColor(20), clrDot = GetColor(38);
    switch (pBar->GetPosition()) {
    case xtpBarFloating:
        return DrawFloatingCaption(pDC, pBar, bDraw, m_clrGripperDark);
    case xtpBarTop:
    case xtpBarBottom:
        if (bDraw) {
            for (int y = 8; y + 1 < rc.Height() - 8; y += 4) {
                pDC->FillSolidRect(CRect(6, y - 2, 8, y), clrLight);
                pDC->FillSolidRect(CRect(5, y - 3, 7, y - 1), clrDot);
            }
        }
        return CSize(6, 0);
    case xtpBarLeft:
    case xtpBarRight:
        if (bDraw) {
            for (int x = 8; x + 1 < rc.Width() - 8; x += 4) {
                pDC->FillSolidRect(CRect(x - 2, 7, x, 9), clrLight);
                pDC->FillSolidRect(CRect(x - 3, 6, x - 1, 8), clrDot);
            }
        }
        return CSize(0, 9);
    default:
        return CSize(0, 0);
    }
}

CSize CXTPThemeOffice2003::DrawSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw)
{
    const XTPBarPosition position = pBar->GetPosition();
    const BOOL bDocked =
        position == xtpBarTop || position == xtpBarBottom || position == xtpBarLeft || position == xtpBarRight;
    if (!bDraw || pBar->GetType() == xtpBarTypePopup || !bDocked)
        return CXTPThemeDefault::DrawSeparator(pDC, pBar, pControl, bDraw);
    // Etched: a dark line with a light one beside it, 4 pixels inside the control's (or the row's) ends.
    const CRect rc = pControl->GetRect();
    const CRect rcRow = pControl->GetRowRect().IsRectEmpty() ? rc : pControl->GetRowRect();
    const BOOL bVert = ::IsVerticalPosition(position);
    if (!bVert && pControl->GetWrap()) {
        const int y = rcRow.top - 4;
        DrawLine(pDC, rcRow.left + 4, y, rcRow.right - 4, y, 39);
        DrawLine(pDC, rcRow.left + 4, y + 1, rcRow.right - 4, y + 1, 20);
    } else if (!bVert) {
        const int x = rc.left - 4;
        DrawLine(pDC, x, rc.top + 4, x, rc.bottom - 4, 39);
        DrawLine(pDC, x + 1, rc.top + 4, x + 1, rc.bottom - 4, 20);
    } else if (pControl->GetWrap()) {
        const int x = rcRow.right + 4;
        DrawLine(pDC, x, rcRow.top + 4, x, rcRow.bottom - 4, 39);
        DrawLine(pDC, x + 1, rcRow.top + 4, x + 1, rcRow.bottom - 4, 20);
    } else {
        const int y = rc.top - 4;
        DrawLine(pDC, rc.left + 4, y, rc.right - 4, y, 39);
        DrawLine(pDC, rc.left + 4, y + 1, rc.right - 4, y + 1, 20);
    }
    return CSize(0, 0);
}

CSize CXTPThemeOffice2003::DrawPopupStrip(CDC* pDC, CRect rc, BOOL bHot, BOOL bDraw)
{
    if (!bDraw)
        return CSize(0, 9);
    CRect rcStrip = rc;
    pDC->FillSolidRect(&rcStrip, GetColor(41));
    rcStrip.DeflateRect(1, 1);
    if (bHot)
        FillFramedRect(pDC, rcStrip, 32, 31);
    else
        pDC->FillSolidRect(&rcStrip, GetColor(30));
    const int nHalf = std::min(rcStrip.Width() / 2 - 10, 32);
    const int xMid = (rcStrip.left + rcStrip.right) / 2;
    const int xStart = xMid - nHalf, xEnd = xMid + nHalf;
    const COLORREF clrLight = GetColor(20), clrDot = GetColor(38);
    for (int x = xStart + 3; x - 2 < xEnd; x += 4) {
        pDC->FillSolidRect(CRect(x - 2, rc.top + 5, x, rc.top + 7), clrLight);
        pDC->FillSolidRect(CRect(x - 3, rc.top + 4, x - 1, rc.top + 6), clrDot);
    }
    return CSize(0, 9);
}

void CXTPThemeOffice2003::DrawTextBox(CDC* pDC, CRect rc, UINT nFlags, LPCTSTR lpszText)
{
    DrawFramedText(pDC, rc, nFlags, lpszText, m_clrTextBoxFrame, m_clrTextBoxFrame);
}

void CXTPThemeOffice2003::DrawResizeGripper(CDC* pDC, CRect rc)
{
    if (m_themeStatus.IsAppThemed()) {
        const CRect rcGripper(rc.right - 18, rc.top, rc.right, rc.bottom);
        if (SUCCEEDED(m_themeStatus.DrawThemeBackground(pDC->GetSafeHdc(), 3, 0, &rcGripper, nullptr)))
            return;
    }
    // Three grooves 5 pixels apart from the corner: three dark diagonals and a light one each.
    const int r = rc.right - 1, b = rc.bottom - 1;
    for (int nGroup = 0; nGroup < 3; ++nGroup) {
        for (int k = 1; k <= 4; ++k) {
            const int d = 5 * nGroup + k;
            CXTPScopedPen pen(pDC->GetSafeHdc(), GetColor(k < 4 ? 16 : 20));
            Line(pDC, r, b - d, r - d - 1, b + 1);
        }
    }
}

// ---- Expand buttons

void CXTPThemeOffice2003::DrawChevron(CDC* pDC, BOOL bVertical, CRect rc, BOOL bHiddenControls, COLORREF clr)
{
    CXTPScopedPen pen(pDC->GetSafeHdc(), clr);
    const int l = rc.left, t = rc.top;
    if (!bVertical) {
        const int mid = rc.left + (rc.right - rc.left) / 2, b = rc.bottom;
        Line(pDC, mid - 2, b - 10, mid + 3, b - 10);
        Triangle(pDC, CPoint(mid - 2, b - 7), CPoint(mid + 2, b - 7), CPoint(mid, b - 5), clr);
        if (bHiddenControls) {
            Triangle(pDC, CPoint(l + 3, t + 5), CPoint(l + 4, t + 6), CPoint(l + 3, t + 7), clr);
            Triangle(pDC, CPoint(l + 7, t + 5), CPoint(l + 8, t + 6), CPoint(l + 7, t + 7), clr);
        }
        return;
    }
    const int mid = (rc.top + rc.bottom) / 2, x = rc.right - 5;
    Line(pDC, x - 5, mid - 2, x - 5, mid + 3);
    Triangle(pDC, CPoint(x, mid), CPoint(x - 2, mid - 2), CPoint(x - 2, mid + 2), clr);
    if (bHiddenControls) {
        Triangle(pDC, CPoint(l + 5, t + 3), CPoint(l + 6, t + 4), CPoint(l + 7, t + 3), clr);
        Triangle(pDC, CPoint(l + 5, t + 7), CPoint(l + 6, t + 8), CPoint(l + 7, t + 7), clr);
    }
}

CSize CXTPThemeOffice2003::DrawControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                                       CSize szBar)
{
    if (nKind == xtpButtonExpandToolbar && bDraw) {
        const XTPBarPosition position = pBar != nullptr ? pBar->GetPosition() : xtpBarNone;
        const BOOL bVert = ::IsVerticalPosition(position);
        const CRect rc = pControl->GetRect();
        const BOOL bPopuped = pControl->GetPopuped();
        const int nSelected = pControl->GetSelected();
        const int nSaved = pDC->SaveDC();
        ExcludeCorners(pDC, rc);
        if (bPopuped) {
            if (m_bLunaScheme)
                FillGradient(pDC, rc, kPressedFrom, kPressedTo, bVert);
            else
                pDC->FillSolidRect(&rc, GetColor(36));
        } else if (nSelected) {
            if (m_bLunaScheme)
                FillGradient(pDC, rc, kHotFrom, kHotTo, bVert);
            else
                pDC->FillSolidRect(&rc, GetColor(31));
        } else {
            FillGradient(pDC, rc, m_clrExpandLight, m_clrExpandDark, bVert);
        }
        pDC->RestoreDC(nSaved);
        const BOOL bHidden = HasWrappedControls(pBar);
        DrawChevron(pDC, bVert, CRect(rc.left + 1, rc.top + 1, rc.right + 1, rc.bottom + 1), bHidden, GetColor(20));
        DrawChevron(pDC, bVert, rc, bHidden, GetColor(nSelected && !bPopuped ? 45 : 46));
        return CSize(0, 0);
    }
    if (nKind == xtpButtonExpandMenu) {
        if (!bDraw)
            return CSize(0, 18);
        DrawControlFace(pDC, pControl);
        const CRect rc = pControl->GetRect();
        const int cx = (rc.left + rc.right) / 2, t = rc.top;
        m_ilDisc.Draw(pDC, 0, CPoint(cx - 7, t + 1), ILD_TRANSPARENT);
        CXTPScopedPen pen(pDC->GetSafeHdc(), pDC->GetTextColor());
        for (int dy : {0, 1, 4, 5}) {
            const POINT stroke[] = {{cx - 2, t + 5 + dy}, {cx, t + 7 + dy}, {cx + 3, t + 4 + dy}};
            pDC->Polyline(stroke, 3);
        }
        return CSize(0, 18);
    }
    return CXTPThemeDefault::DrawControl(pDC, nKind, pControl, pBar, bDraw, szBar);
}
