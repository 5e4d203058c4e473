#include "toolkit/taskpanel/XTPTaskPanelThemes.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/Dc.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/base/XTPUxTheme.h"
#include "toolkit/taskpanel/TaskPanelResource.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelItems.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

COLORREF SysColor(int nIndex)
{
    return GetToolkitColor(static_cast<COLORREF>(nIndex));
}

const int kGlyphSize = 19;

} // namespace

// ---- Explorer theme

CXTPTaskPanelExplorerTheme::CXTPTaskPanelExplorerTheme()
{
    m_nThemeKind = TaskPanelThemeExplorer;
    CXTPTaskPanelExplorerTheme::RefreshMetrics();
}

CXTPTaskPanelExplorerTheme::~CXTPTaskPanelExplorerTheme() = default;

void CXTPTaskPanelExplorerTheme::RefreshMetrics()
{
    CXTPTaskPanelPaintManager::RefreshMetrics();
    const int nScheme = XTPColorManager()->GetLunaColorScheme();
    const BOOL bKnownScheme = nScheme >= xtpSystemThemeBlue && nScheme <= xtpSystemThemeSilver;
    if (!m_bUseStyleColors && !bKnownScheme)
        return;

    m_nCaptionButtonStyle = TaskPanelCaptionButtonGlyph;
    m_bRoundLeftCaptionCorner = m_bRoundRightCaptionCorner = TRUE;
    m_groupNormal.clrClientBorder = m_groupSpecial.clrClientBorder = SysColor(COLOR_WINDOW);

    if (bKnownScheme) {
        struct SchemeColors
        {
            COLORREF background[2];
            COLORREF normalCaption[2];
            double dNormalGradientStart;
            COLORREF normalClient;
            COLORREF normalText;
            COLORREF normalTextHot;
            COLORREF linkText;
            COLORREF linkTextHot;
            COLORREF specialCaption[2];
            COLORREF specialText;
            COLORREF specialTextHot;
            COLORREF specialClient;
        };
        static const SchemeColors schemes[] = {
            {{0xE7A27B, 0xD67563},
             {0xFFFFFF, 0xF7D3C6},
             0.5,
             0xF7DFD6,
             0xC65D21,
             0xFF8E42,
             0xC65D21,
             0xFF8E42,
             {0xB54900, 0xCE5D29},
             0xFFFFFF,
             0xFF8E42,
             0xFFF3EF},
            {{0xADD9CC, 0x84BDA5},
             {0xECFCFF, 0xB8E7E0},
             0,
             0xECF6F6,
             0x2D6656,
             0x1D9272,
             0x2D6656,
             0x1D9272,
             {0x408C77, 0x67A896},
             0xFFFFFF,
             0xB8E7E0,
             0xECF6F6},
            {{0xD4C8C4, 0xC8B3B1},
             {0xFFFFFF, 0xE0D7D6},
             0,
             0xF5F1F0,
             0x3D3D3F,
             0x7C7C7E,
             0x3D3D3F,
             0x7C7C7E,
             {0x927777, 0xC7B6B4},
             0xFFFFFF,
             0xE6E6E6,
             0xF5F1F0},
        };
        const SchemeColors& c = schemes[nScheme - xtpSystemThemeBlue];
        m_grcBackground.SetColors(c.background[0], c.background[1]);
        m_groupNormal.clrCaption.SetColors(c.normalCaption[0], c.normalCaption[1]);
        m_groupNormal.dCaptionGradientStart = c.dNormalGradientStart;
        m_groupNormal.clrClient = c.normalClient;
        m_groupNormal.clrCaptionText = c.normalText;
        m_groupNormal.clrCaptionTextHot = c.normalTextHot;
        m_groupSpecial.clrCaption.SetColors(c.specialCaption[0], c.specialCaption[1]);
        m_groupSpecial.clrCaptionText = c.specialText;
        m_groupSpecial.clrCaptionTextHot = c.specialTextHot;
        m_groupSpecial.clrClient = c.specialClient;
        for (CXTPTaskPanelGroupColors* pColors : {&m_groupNormal, &m_groupSpecial}) {
            pColors->clrLinkText = c.linkText;
            pColors->clrLinkTextHot = c.linkTextHot;
        }
    } else {
        m_grcBackground.SetColors(BlendColors(SysColor(COLOR_INACTIVECAPTION), SysColor(COLOR_WINDOW), 128),
                                  BlendColors(SysColor(COLOR_ACTIVECAPTION), SysColor(COLOR_WINDOW), 192));
        m_groupSpecial.clrCaption.SetColors(SysColor(COLOR_ACTIVECAPTION),
                                            BlendColors(SysColor(COLOR_ACTIVECAPTION), SysColor(COLOR_WINDOW), 92));
        m_groupSpecial.clrCaptionText = SysColor(COLOR_CAPTIONTEXT);
        m_groupSpecial.clrCaptionTextHot = BlendColors(SysColor(COLOR_BTNHIGHLIGHT), SysColor(COLOR_HIGHLIGHT), 128);
        const COLORREF clrSpecialClient = BlendColors(SysColor(COLOR_BTNFACE), SysColor(COLOR_WINDOW), 24);
        m_groupSpecial.clrClient = clrSpecialClient;
        m_groupNormal.clrCaption.SetColors(SysColor(COLOR_WINDOW),
                                           BlendColors(SysColor(COLOR_INACTIVECAPTION), SysColor(COLOR_WINDOW), 92));
        m_groupNormal.clrCaptionText = BlendColors(SysColor(COLOR_HIGHLIGHT), SysColor(COLOR_BTNTEXT), 192);
        m_groupNormal.clrCaptionTextHot = BlendColors(SysColor(COLOR_HIGHLIGHT), SysColor(COLOR_BTNTEXT), 240);
        m_groupNormal.clrClient = BlendColors(clrSpecialClient, SysColor(COLOR_ACTIVECAPTION), 230);
        for (CXTPTaskPanelGroupColors* pColors : {&m_groupNormal, &m_groupSpecial}) {
            pColors->clrLinkText = SysColor(COLOR_BTNTEXT);
            pColors->clrLinkTextHot = SysColor(COLOR_HIGHLIGHT);
        }
    }
    LoadStyleBitmaps();
}

void CXTPTaskPanelExplorerTheme::LoadStyleBitmaps()
{
    FreeStyleImages();
    const int nScheme = XTPColorManager()->GetLunaColorScheme();
    if (nScheme >= xtpSystemThemeBlue && nScheme <= xtpSystemThemeSilver) {
        CXTPUxTheme theme;
        WCHAR szFile[MAX_PATH] = {};
        WCHAR szColor[MAX_PATH] = {};
        if (SUCCEEDED(theme.GetCurrentThemeName(szFile, MAX_PATH, szColor, MAX_PATH, nullptr, 0))) {
            std::wstring strPath(szFile);
            strPath.erase(strPath.rfind(L'\\') + 1);
            strPath += L"shell\\";
            strPath += szColor;
            strPath += L"\\shellstyle.dll";
            CScopedModule library(::LoadLibraryExW(strPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
            if (library) {
                int nLoaded = 0;
                for (int i = 0; i < 8; ++i) {
                    m_hStyleBitmaps[i] = static_cast<HBITMAP>(
                        ::LoadImageW(library, MAKEINTRESOURCEW(100 + i), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
                    if (m_hStyleBitmaps[i]) {
                        PremultiplyAlpha(m_hStyleBitmaps[i]);
                        ++nLoaded;
                    }
                }
                m_bStyleBitmapsLoaded = nLoaded == 8;
            }
        }
    }
    if (m_bStyleBitmapsLoaded)
        return;
    FreeStyleImages();
    m_hSpecialGlyph = CreateGlyphIcon(XTP_IDB_TASKPANEL_GLYPH_SPECIAL, m_groupSpecial.clrCaption.clrDark);
    m_hNormalGlyph = CreateGlyphIcon(XTP_IDB_TASKPANEL_GLYPH_NORMAL, m_groupNormal.clrCaption.clrDark);
}

COLORREF CXTPTaskPanelExplorerTheme::TintGlyphPixel(COLORREF clrPixel, COLORREF clrCorner, COLORREF clrTint)
{
    if (clrPixel == clrCorner)
        return RGB(0, 255, 0);
    double dHue, dLight, dSat;
    RGBtoHLS(clrTint, dHue, dLight, dSat);
    double dPixelHue, dPixelLight, dPixelSat;
    RGBtoHLS(clrPixel, dPixelHue, dPixelLight, dPixelSat);
    double dCornerHue, dCornerLight, dCornerSat;
    RGBtoHLS(clrCorner, dCornerHue, dCornerLight, dCornerSat);
    // Highlights stay white unless the tint is as light as they are.
    if (dPixelLight > 0.9 && dLight <= 0.9)
        return clrPixel;
    const double dScaled = dCornerLight > 0 ? dLight * (dPixelLight / dCornerLight) : dLight;
    return HLStoRGB(dHue, std::min(1.0, dScaled), dSat);
}

HICON CXTPTaskPanelExplorerTheme::CreateGlyphIcon(UINT nIDBitmap, COLORREF clrTint)
{
    CScopedBitmap bitmap(
        static_cast<HBITMAP>(::LoadImageW(GetToolkitGlobals()->GetResourceModule(), MAKEINTRESOURCEW(nIDBitmap),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    CSize size;
    std::vector<DWORD> pixels;
    if (!bitmap || !CXTPImageManager::GetBitmapBits32(bitmap, size, pixels) || pixels.empty())
        return nullptr;
    auto toColorRef = [](DWORD px) { return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF); };
    auto toPixel = [](COLORREF clr) {
        return (DWORD(GetRValue(clr)) << 16) | (DWORD(GetGValue(clr)) << 8) | GetBValue(clr);
    };
    const COLORREF clrCorner = toColorRef(pixels[0]);
    for (DWORD& px : pixels)
        px = toPixel(TintGlyphPixel(toColorRef(px), clrCorner, clrTint));

    CScopedBitmap tinted(CXTPImageManager::CreateBitmap32(size, pixels.data()));
    const CScopedImageList hList(ImageList_Create(size.cx, size.cy, ILC_COLOR24 | ILC_MASK, 1, 0));
    if (!hList || !tinted)
        return nullptr;
    if (ImageList_AddMasked(hList, tinted, RGB(0, 255, 0)) < 0)
        return nullptr;
    return ImageList_GetIcon(hList, 0, ILD_NORMAL);
}

// ---- Rounded theme

CXTPTaskPanelRoundedTheme::CXTPTaskPanelRoundedTheme()
{
    m_bRoundedFrame = TRUE;
    m_bCaptionUnderline = FALSE;
    CXTPTaskPanelRoundedTheme::RefreshMetrics();
}

CXTPTaskPanelRoundedTheme::~CXTPTaskPanelRoundedTheme() = default;

void CXTPTaskPanelRoundedTheme::RefreshMetrics()
{
    CXTPTaskPanelPaintManager::RefreshMetrics();
    m_nCaptionButtonStyle = TaskPanelCaptionButtonTriangle;
    m_grcBackground.SetColors(SysColor(COLOR_BACKGROUND), SysColor(COLOR_BACKGROUND));
    m_groupNormal.clrClient = SysColor(COLOR_WINDOW);
    m_groupNormal.clrClientBorder = SysColor(COLOR_BTNTEXT);
    m_groupNormal.clrLinkText = SysColor(COLOR_BTNTEXT);
    m_groupNormal.clrLinkTextHot = SysColor(COLOR_HIGHLIGHT);
}

void CXTPTaskPanelRoundedTheme::FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel)
{
    CXTPTaskPanelPaintManager::FillTaskPanel(pDC, pPanel);
    const CXTPTaskPanelItems* pGroups = pPanel->GetGroups();
    if (!m_bRoundedFrame || pGroups->GetCount() == 0)
        return;
    auto* pFirst = static_cast<CXTPTaskPanelGroup*>(pGroups->GetAt(0));
    auto* pLast = static_cast<CXTPTaskPanelGroup*>(pGroups->GetAt(pGroups->GetCount() - 1));
    const CRect rcCaption = pFirst->GetCaptionRect();
    CXTPScopedPen pen(pDC->GetSafeHdc(), m_groupNormal.clrClientBorder);
    CXTPScopedBrush brush(pDC->GetSafeHdc(), m_groupNormal.clrClient);
    pDC->RoundRect(rcCaption.left - 1, rcCaption.top - 3, rcCaption.right + 1, pLast->GetClientRect().bottom + 8, 10,
                   10);
}

int CXTPTaskPanelRoundedTheme::DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw)
{
    const int nSideInset = m_bCaptionUnderline ? 0 : 13;
    CXTPScopedSelect select(pDC->GetSafeHdc(), m_fntCaption.GetSafeHandle());
    if (!bDraw) {
        if (!pGroup->IsCaptionVisible())
            return 1;
        // Measured in the width the drawing leaves it, expand button included, so that no line is cut off.
        const CRect& rcTarget = pGroup->GetTargetRect();
        int nRight = rcTarget.right - nSideInset;
        if (pGroup->IsExpandable() && rcTarget.Width() > 25)
            nRight -= 19;
        CRect rcText(rcTarget.left + nSideInset, 0, std::max<int>(rcTarget.left + nSideInset, nRight), 0);
        const CString& strCaption = pGroup->GetCaption();
        pDC->DrawText(strCaption.IsEmpty() ? CString(L" ") : strCaption, &rcText,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return rcText.Height() + 5;
    }

    const CRect rc = pGroup->GetCaptionRect();
    if (!pGroup->IsCaptionVisible())
        return rc.Height();
    CRect rcText = DrawCaptionBackground(pDC, pGroup, rc);
    rcText.DeflateRect(nSideInset, 5, nSideInset, 0);
    pDC->SetTextColor(pGroup->IsEnabled() ? m_groupNormal.clrItemText : ::GetSysColor(COLOR_GRAYTEXT));
    pDC->SetBkMode(TRANSPARENT);
    DrawItemCaption(pDC, pGroup, rcText, DT_WORDBREAK | DT_NOPREFIX);
    if (m_bCaptionUnderline)
        pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, m_groupNormal.clrCaption.clrLight);
    const CXTPTaskPanel* pPanel = pGroup->GetTaskPanel();
    if (pGroup->IsItemFocused() && pPanel && pPanel->IsDrawFocusRect()) {
        CRect rcFocus(rcText);
        const CString& strCaption = pGroup->GetCaption();
        pDC->DrawText(strCaption.IsEmpty() ? CString(L" ") : strCaption, &rcFocus,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        rcFocus.InflateRect(1, 1);
        DrawFocusFrame(pDC, rcFocus, m_groupNormal.clrFocus);
    }
    if (pGroup->IsItemDragOver() && (!pGroup->IsExpanded() || pGroup->GetItemCount() == 0))
        DrawDragArrow(pDC, pGroup, rc, TRUE);
    return rc.Height();
}

void CXTPTaskPanelRoundedTheme::DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    pDC->FillSolidRect(&rc, m_groupNormal.clrClient);
    if (pGroup->IsExpanded() || pGroup->IsAnimating())
        DrawGroupClientItems(pDC, pGroup, rc);
}
