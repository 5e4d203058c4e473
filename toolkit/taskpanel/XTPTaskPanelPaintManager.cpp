#include "toolkit/taskpanel/XTPTaskPanelPaintManager.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/Dc.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"
#include "toolkit/taskpanel/XTPTaskPanelItems.h"

#include <algorithm>
#include <cmath>

namespace {

COLORREF SysColor(int nIndex)
{
    return GetToolkitColor(static_cast<COLORREF>(nIndex));
}

// Each side: the member's value unless it holds the default metric.
CRect MarginsOr(const CRect& rcMember, const CRect& rcDefault)
{
    auto pick = [](LONG nValue, LONG nDefault) { return nValue == TaskPanelDefaultMetric ? nDefault : nValue; };
    return CRect(pick(rcMember.left, rcDefault.left), pick(rcMember.top, rcDefault.top),
                 pick(rcMember.right, rcDefault.right), pick(rcMember.bottom, rcDefault.bottom));
}

COLORREF Interpolate(COLORREF clrFrom, COLORREF clrTo, int nPos, int nLength)
{
    if (nLength <= 0)
        return clrFrom;
    auto channel = [&](int a, int b) { return a + (b - a) * nPos / nLength; };
    return RGB(channel(GetRValue(clrFrom), GetRValue(clrTo)), channel(GetGValue(clrFrom), GetGValue(clrTo)),
               channel(GetBValue(clrFrom), GetBValue(clrTo)));
}

// A vertical gradient over rcFull, filling only the part the DC can show: a panel thousands of pixels high
// costs what its visible band costs.
void FillVerticalGradient(CDC* pDC, const CRect& rcFull, COLORREF clrFrom, COLORREF clrTo)
{
    CRect rcClip;
    if (pDC->GetClipBox(&rcClip) == ERROR || rcClip.IsRectEmpty())
        rcClip = rcFull;
    CRect rcBand;
    if (!rcBand.IntersectRect(&rcFull, &rcClip))
        return;
    const COLORREF clrTop = Interpolate(clrFrom, clrTo, rcBand.top - rcFull.top, rcFull.Height());
    const COLORREF clrBottom = Interpolate(clrFrom, clrTo, rcBand.bottom - rcFull.top, rcFull.Height());
    XTPGdiHelper()->GradientFill(pDC, &rcBand, clrTop, clrBottom, FALSE);
}

} // namespace

double HueToRGB(double m1, double m2, double dHue)
{
    if (dHue < 0)
        dHue += 1;
    if (dHue > 1)
        dHue -= 1;
    if (6 * dHue < 1)
        return m1 + (m2 - m1) * 6 * dHue;
    if (2 * dHue < 1)
        return m2;
    if (3 * dHue < 2)
        return m1 + (m2 - m1) * (2.0 / 3.0 - dHue) * 6;
    return m1;
}

CXTPTaskPanelPaintManager::CXTPTaskPanelPaintManager()
    : m_bUseStyleColors(TRUE), m_nCaptionButtonStyle(TaskPanelCaptionButtonSquare), m_hNormalGlyph(nullptr),
      m_hSpecialGlyph(nullptr), m_hStyleBitmaps{}, m_bStyleBitmapsLoaded(FALSE), m_bBoldCaptions(TRUE),
      m_rcGroupOuterMargins(0, 0, 0, 0), m_rcGroupInnerMargins(11, 8, 11, 8), m_rcItemMargins(0, 0, 0, 0),
      m_rcItemInsets(2, 2, 2, 2), m_rcPanelMargins(12, 12, 12, 12), m_nGroupSpacing(15),
      m_nThemeKind(TaskPanelThemeClassic), m_bInvertedDropMark(FALSE), m_bScrollButtonsInCaptions(FALSE),
      m_clrHotFill(0), m_clrSelectedFill(0), m_clrPressedFill(0), m_bRoundLeftCaptionCorner(FALSE),
      m_bRoundRightCaptionCorner(FALSE), m_nCaptionHeight(25), m_bCaptionFontFromSystem(TRUE),
      m_bItemFontsFromSystem(TRUE), m_bRoundedFrame(FALSE), m_bCaptionUnderline(FALSE), m_hMsImg32(nullptr),
      m_pfnAlphaBlend(nullptr)
{
    m_hMsImg32 = ::LoadLibraryW(L"msimg32.dll");
    if (m_hMsImg32)
        // Through a plain pointer: the entry's own type is known only here.
        m_pfnAlphaBlend =
            reinterpret_cast<PFNALPHABLEND>(reinterpret_cast<void*>(::GetProcAddress(m_hMsImg32, "AlphaBlend")));
    CXTPTaskPanelPaintManager::RefreshMetrics();
}

CXTPTaskPanelPaintManager::~CXTPTaskPanelPaintManager()
{
    FreeStyleImages();
    if (m_hMsImg32)
        ::FreeLibrary(m_hMsImg32);
}

void CXTPTaskPanelPaintManager::FreeStyleImages()
{
    for (HBITMAP& hBitmap : m_hStyleBitmaps) {
        if (hBitmap)
            ::DeleteObject(hBitmap);
        hBitmap = nullptr;
    }
    m_bStyleBitmapsLoaded = FALSE;
    if (m_hNormalGlyph)
        ::DestroyIcon(m_hNormalGlyph);
    if (m_hSpecialGlyph)
        ::DestroyIcon(m_hSpecialGlyph);
    m_hNormalGlyph = m_hSpecialGlyph = nullptr;
}

BOOL CXTPTaskPanelPaintManager::AlphaBlend(HDC hdcDest, int x, int y, int cx, int cy, HDC hdcSrc, int xSrc, int ySrc,
                                           int cxSrc, int cySrc, BLENDFUNCTION blend) const
{
    return m_pfnAlphaBlend && m_pfnAlphaBlend(hdcDest, x, y, cx, cy, hdcSrc, xSrc, ySrc, cxSrc, cySrc, blend);
}

// ---- Metrics

void CXTPTaskPanelPaintManager::RefreshMetrics()
{
    XTPColorManager()->RefreshColors();
    LOGFONTW lf{};
    ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0);
    if (m_bItemFontsFromSystem)
        SetItemFonts(&lf, TRUE);
    if (m_bCaptionFontFromSystem)
        SetCaptionFont(&lf, TRUE);

    m_grcBackground.SetColors(SysColor(COLOR_WINDOW), SysColor(COLOR_WINDOW));

    m_groupNormal.clrCaption.SetColors(SysColor(COLOR_BTNFACE), SysColor(COLOR_BTNFACE));
    m_groupNormal.clrClientBorder = SysColor(COLOR_BTNFACE);
    m_groupNormal.clrClient = SysColor(COLOR_WINDOW);
    m_groupNormal.clrCaptionText = m_groupNormal.clrCaptionTextHot = SysColor(COLOR_BTNTEXT);

    m_groupSpecial.clrCaption.SetColors(SysColor(COLOR_ACTIVECAPTION), SysColor(COLOR_ACTIVECAPTION));
    m_groupSpecial.clrClientBorder = SysColor(COLOR_ACTIVECAPTION);
    m_groupSpecial.clrClient = SysColor(COLOR_WINDOW);
    m_groupSpecial.clrCaptionText = m_groupSpecial.clrCaptionTextHot = SysColor(COLOR_CAPTIONTEXT);

    for (CXTPTaskPanelGroupColors* pColors : {&m_groupNormal, &m_groupSpecial}) {
        pColors->clrItemText = pColors->clrLinkText = SysColor(COLOR_BTNTEXT);
        pColors->clrLinkTextHot = SysColor(COLOR_HIGHLIGHT);
        pColors->clrFocus = pColors->clrItemText;
        pColors->dCaptionGradientStart = 0;
    }
    m_bRoundLeftCaptionCorner = m_bRoundRightCaptionCorner = FALSE;
    m_nCaptionButtonStyle = TaskPanelCaptionButtonSquare;

    if (m_nThemeKind == TaskPanelThemeClassic) {
        m_clrHotFill = m_clrSelectedFill = m_clrPressedFill = SysColor(COLOR_BTNFACE);
        m_grcItemFrame.SetColors(0x808080, 0xC6C6C6);
        return;
    }
    m_clrHotFill = GetToolkitColor(31);
    m_clrSelectedFill = GetToolkitColor(36);
    m_clrPressedFill = GetToolkitColor(33);
    m_grcItemFrame = GetToolkitColor(32);
    const int nScheme = XTPColorManager()->GetLunaColorScheme();
    if (m_nThemeKind == TaskPanelThemeExplorer && nScheme >= xtpSystemThemeBlue && nScheme <= xtpSystemThemeSilver) {
        static const COLORREF frames[] = {0x800000, 0x385D3F, 0x6F4B4B};
        m_clrHotFill = 0xC2EEFF;
        m_clrPressedFill = 0x3E80FE;
        m_clrSelectedFill = 0x6FC0FF;
        m_grcItemFrame = frames[nScheme - xtpSystemThemeBlue];
    }
}

void CXTPTaskPanelPaintManager::SetItemFonts(const LOGFONT* pLogFont, BOOL bFromSystem)
{
    m_bItemFontsFromSystem = bFromSystem;
    LOGFONTW lf = *pLogFont;
    struct
    {
        CFont* pFont;
        LONG nWeight;
        BYTE bUnderline;
    } const fonts[] = {{&m_fntItem, FW_NORMAL, FALSE},
                       {&m_fntItemUnderline, FW_NORMAL, TRUE},
                       {&m_fntItemBold, FW_BOLD, FALSE},
                       {&m_fntItemBoldUnderline, FW_BOLD, TRUE}};
    for (const auto& font : fonts) {
        lf.lfWeight = font.nWeight;
        lf.lfUnderline = font.bUnderline;
        font.pFont->DeleteObject();
        font.pFont->CreateFontIndirect(&lf);
    }
}

void CXTPTaskPanelPaintManager::SetCaptionFont(const LOGFONT* pLogFont, BOOL bFromSystem)
{
    m_bCaptionFontFromSystem = bFromSystem;
    LOGFONTW lf = *pLogFont;
    lf.lfWeight = m_bBoldCaptions ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = FALSE;
    m_fntCaption.DeleteObject();
    m_fntCaption.CreateFontIndirect(&lf);

    CScopedWindowDC dcScreen(nullptr);
    CXTPScopedSelect select(dcScreen, m_fntCaption.GetSafeHandle());
    SIZE size{};
    ::GetTextExtentPoint32W(dcScreen, L" ", 1, &size);
    m_nCaptionHeight = size.cy > 24 ? size.cy : 25;
}

CFont* CXTPTaskPanelPaintManager::GetItemFont(BOOL bBold, BOOL bUnderline)
{
    if (bBold)
        return bUnderline ? &m_fntItemBoldUnderline : &m_fntItemBold;
    return bUnderline ? &m_fntItemUnderline : &m_fntItem;
}

CRect CXTPTaskPanelPaintManager::GetItemMargins(const CXTPTaskPanelGroupItem* pItem) const
{
    return pItem ? MarginsOr(pItem->GetMarginsMember(), m_rcItemMargins) : m_rcItemMargins;
}

CRect CXTPTaskPanelPaintManager::GetItemInsets(const CXTPTaskPanelGroupItem*) const
{
    return m_rcItemInsets;
}

CRect CXTPTaskPanelPaintManager::GetGroupOuterMargins(const CXTPTaskPanelGroup* pGroup) const
{
    return pGroup ? MarginsOr(pGroup->GetOuterMarginsMember(), m_rcGroupOuterMargins) : m_rcGroupOuterMargins;
}

CRect CXTPTaskPanelPaintManager::GetGroupInnerMargins(const CXTPTaskPanelGroup* pGroup) const
{
    return pGroup ? MarginsOr(pGroup->GetInnerMarginsMember(), m_rcGroupInnerMargins) : m_rcGroupInnerMargins;
}

CRect CXTPTaskPanelPaintManager::GetPanelMargins(const CXTPTaskPanel* pPanel) const
{
    return pPanel ? MarginsOr(pPanel->GetMarginsMember(), m_rcPanelMargins) : m_rcPanelMargins;
}

int CXTPTaskPanelPaintManager::GetGroupSpacing(const CXTPTaskPanel* pPanel) const
{
    if (!pPanel || pPanel->GetGroupSpacingMember() == TaskPanelDefaultMetric)
        return m_nGroupSpacing;
    return pPanel->GetGroupSpacingMember();
}

// ---- Panel and groups

void CXTPTaskPanelPaintManager::FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel)
{
    CRect rcClient;
    pPanel->GetClientRect(&rcClient);
    const CRect rc(0, 0, rcClient.Width(), std::max<int>(rcClient.bottom, pPanel->GetContentHeight()));
    FillVerticalGradient(pDC, rc, m_grcBackground.clrLight, m_grcBackground.clrDark);
}

int CXTPTaskPanelPaintManager::DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw)
{
    if (!bDraw)
        return pGroup->IsCaptionVisible() ? m_nCaptionHeight : 1;

    const CRect rc = pGroup->GetCaptionRect();
    const CXTPTaskPanelGroupColors* pColors = GetGroupColors(pGroup->IsSpecialGroup());
    if (!pGroup->IsCaptionVisible()) {
        pDC->FillSolidRect(&rc, pColors->clrClientBorder);
    } else {
        const int nSaved = pDC->SaveDC();
        if (m_bRoundLeftCaptionCorner) {
            pDC->ExcludeClipRect(rc.left, rc.top, rc.left + 2, rc.top + 1);
            pDC->ExcludeClipRect(rc.left, rc.top + 1, rc.left + 1, rc.top + 2);
        }
        if (m_bRoundRightCaptionCorner) {
            pDC->ExcludeClipRect(rc.right - 2, rc.top, rc.right, rc.top + 1);
            pDC->ExcludeClipRect(rc.right - 1, rc.top + 1, rc.right, rc.top + 2);
        }
        pDC->FillSolidRect(&rc, pColors->clrCaption.clrLight);
        const CRect rcGradient(rc.left + static_cast<int>(rc.Width() * pColors->dCaptionGradientStart), rc.top,
                               rc.right, rc.bottom);
        XTPGdiHelper()->GradientFill(pDC, &rcGradient, pColors->clrCaption.clrLight, pColors->clrCaption.clrDark, TRUE);
        pDC->RestoreDC(nSaved);

        if (pGroup->IsItemFocused() && pGroup->GetTaskPanel() && pGroup->GetTaskPanel()->IsDrawFocusRect()) {
            CRect rcFocus(rc);
            rcFocus.DeflateRect(2, 2);
            DrawFocusFrame(pDC, rcFocus, pColors->clrCaptionText);
        }

        CXTPScopedSelect select(pDC->GetSafeHdc(), m_fntCaption.GetSafeHandle());
        CRect rcText = DrawCaptionBackground(pDC, pGroup, rc);
        const CSize szGroupIcon = pGroup->GetTaskPanel() ? pGroup->GetTaskPanel()->GetGroupIconSize() : CSize(32, 32);
        CXTPImageManagerIcon* pImage = pGroup->GetImage(szGroupIcon.cx);
        if (pImage && szGroupIcon.cx < rcText.Width()) {
            const int nHeight =
                pImage->GetWidth() > 0 ? szGroupIcon.cx * pImage->GetHeight() / pImage->GetWidth() : szGroupIcon.cy;
            DrawItemImage(pDC, pGroup, CPoint(rcText.left, rcText.bottom - nHeight), pImage,
                          CSize(szGroupIcon.cx, nHeight));
            rcText.left += szGroupIcon.cx + 1;
        } else {
            rcText.left += 13;
        }
        rcText.bottom += 2;
        pDC->SetTextColor(!pGroup->IsEnabled()  ? ::GetSysColor(COLOR_GRAYTEXT)
                          : pGroup->IsItemHot() ? pColors->clrCaptionTextHot
                                                : pColors->clrCaptionText);
        pDC->SetBkMode(TRANSPARENT);
        DrawItemCaption(pDC, pGroup, rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (pGroup->IsItemDragOver() && (!pGroup->IsExpanded() || pGroup->GetItemCount() == 0))
        DrawDragArrow(pDC, pGroup, rc, TRUE);
    return rc.Height();
}

CRect CXTPTaskPanelPaintManager::DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    if (!pGroup->IsExpandable() || rc.Width() <= 25)
        return rc;
    const CXTPTaskPanelGroupColors* pColors = GetGroupColors(pGroup->IsSpecialGroup());
    const BOOL bHot = pGroup->IsItemHot();
    const BOOL bExpanded = pGroup->IsExpanded();
    const COLORREF clrText = bHot ? pColors->clrCaptionTextHot : pColors->clrCaptionText;
    const int nMid = (rc.top + rc.bottom) / 2;

    switch (m_nCaptionButtonStyle) {
    case TaskPanelCaptionButtonGlyph: {
        const int y = std::max<int>(rc.top, nMid - 10);
        if (m_bStyleBitmapsLoaded) {
            const int nIndex = 4 * (pGroup->IsSpecialGroup() ? 1 : 0) + 2 * (bExpanded ? 0 : 1) + (bHot ? 1 : 0);
            HBITMAP hBitmap = m_hStyleBitmaps[nIndex];
            BITMAP bm{};
            if (IsAlphaBlendAvailable() && hBitmap && ::GetObjectW(hBitmap, sizeof(bm), &bm)) {
                CScopedCreatedDC dcBitmap(::CreateCompatibleDC(pDC->GetSafeHdc()));
                CScopedSelect select(dcBitmap, hBitmap);
                const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                AlphaBlend(pDC->GetSafeHdc(), rc.right - 23, y, bm.bmWidth, bm.bmHeight, dcBitmap, 0, 0, bm.bmWidth,
                           bm.bmHeight, blend);
            }
        } else {
            HICON hGlyph = pGroup->IsSpecialGroup() ? m_hSpecialGlyph : m_hNormalGlyph;
            if (hGlyph)
                ::DrawIconEx(pDC->GetSafeHdc(), rc.right - 23, y, hGlyph, 19, 19, 0, nullptr, DI_NORMAL);
            DrawChevrons(pDC, CPoint(rc.right - 14, y + 10), clrText, bExpanded);
        }
        rc.right -= 23;
        break;
    }
    case TaskPanelCaptionButtonSquare: {
        const CRect rcButton(rc.right - 23, nMid - 8, rc.right - 6, nMid + 8);
        if (bHot)
            pDC->Draw3dRect(&rcButton, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
        DrawChevrons(pDC, rcButton.CenterPoint(), clrText, bExpanded);
        rc.right -= 23;
        break;
    }
    case TaskPanelCaptionButtonTriangle: {
        const COLORREF clr = m_groupNormal.clrItemText;
        const int r = rc.right;
        if (bExpanded)
            DrawTriangle(pDC, CPoint(r - 19, nMid), CPoint(r - 9, nMid), CPoint(r - 14, nMid + 5), clr);
        else
            DrawTriangle(pDC, CPoint(r - 16, nMid - 3), CPoint(r - 11, nMid + 2), CPoint(r - 16, nMid + 7), clr);
        rc.right -= 19;
        break;
    }
    default:
        break;
    }
    return rc;
}

void CXTPTaskPanelPaintManager::DrawGroupClient(CDC* pDC, CXTPTaskPanelGroup* pGroup)
{
    const CRect rc = pGroup->GetClientRect();
    const int nFull = pGroup->GetFullClientHeight();
    if (rc.IsRectEmpty() || nFull <= 0)
        return;
    const CRect rcFace(rc.left, rc.top, rc.right, rc.top + nFull);
    // The face slides in from its bottom: what shows is the lower part of the full client area.
    const int nOffset = std::max(0, nFull - rc.Height());

    if (!pGroup->IsAnimating()) {
        // Still groups are drawn in place; the panel paints into its own buffer already.
        const int nSaved = pDC->SaveDC();
        pDC->IntersectClipRect(&rc);
        pDC->OffsetWindowOrg(0, nOffset);
        DrawGroupClientFace(pDC, pGroup, rcFace);
        pDC->RestoreDC(nSaved);
        return;
    }

    const int nVisible = std::min(rc.Height(), nFull);
    CDC dcMem;
    CBitmap bitmap;
    if (!dcMem.CreateCompatibleDC(pDC) || !bitmap.CreateCompatibleBitmap(pDC, rc.Width(), nVisible))
        return;
    CBitmap* pOldBitmap = dcMem.SelectObject(&bitmap);
    dcMem.SetWindowOrg(rc.left, rc.top + nOffset);
    DrawGroupClientFace(&dcMem, pGroup, rcFace);
    dcMem.SetWindowOrg(0, 0);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(nVisible * 255 / nFull), 0};
    if (!AlphaBlend(pDC->GetSafeHdc(), rc.left, rc.top, rc.Width(), nVisible, dcMem, 0, 0, rc.Width(), nVisible, blend))
        pDC->BitBlt(rc.left, rc.top, rc.Width(), nVisible, &dcMem, 0, 0, SRCCOPY);
    dcMem.SelectObject(pOldBitmap);
}

void CXTPTaskPanelPaintManager::DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    const CXTPTaskPanelGroupColors* pColors = GetGroupColors(pGroup->IsSpecialGroup());
    pDC->FillSolidRect(&rc, pColors->clrClient);
    pGroup->OnFillClient(pDC, rc);
    if (!pGroup->IsExpanded() && !pGroup->IsAnimating())
        return;
    {
        CXTPScopedPen pen(pDC->GetSafeHdc(), pColors->clrClientBorder);
        pDC->MoveTo(rc.left, rc.top);
        pDC->LineTo(rc.left, rc.bottom - 1);
        pDC->LineTo(rc.right - 1, rc.bottom - 1);
        pDC->LineTo(rc.right - 1, rc.top - 1);
    }
    DrawGroupClientItems(pDC, pGroup, rc);
}

void CXTPTaskPanelPaintManager::DrawGroupClientItems(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    const CXTPTaskPanelItems* pItems = pGroup->GetItems();
    const int nCount = pItems->GetCount();
    const int dy = rc.top - pGroup->GetItemScrollOffset();
    auto itemAt = [pItems](int i) { return DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, pItems->GetAt(i)); };
    auto bottomOf = [&](int i) {
        CXTPTaskPanelGroupItem* pItem = itemAt(i);
        return pItem ? pItem->GetItemRect().bottom + dy : INT_MIN;
    };

    CRect rcClip;
    if (pDC->GetClipBox(&rcClip) == ERROR)
        rcClip = rc;
    // Items are laid out top to bottom: only those that reach into the clip box are looked at.
    int nFirst = std::max(0, pGroup->GetFirstVisibleItem());
    int nLast = nCount;
    while (nFirst < nLast) {
        const int nMid = (nFirst + nLast) / 2;
        if (bottomOf(nMid) <= rcClip.top)
            nFirst = nMid + 1;
        else
            nLast = nMid;
    }
    for (int i = nFirst; i < nCount; ++i) {
        CXTPTaskPanelGroupItem* pItem = itemAt(i);
        if (!pItem)
            continue;
        CRect rcItem = pItem->GetItemRect();
        rcItem.OffsetRect(0, dy);
        if (rcItem.top >= rcClip.bottom)
            break;
        pItem->DrawItem(pDC, rcItem);
        if (pItem->IsItemDragOver() && !pItem->IsItemDragging())
            DrawDragArrow(pDC, pItem, rcItem, FALSE);
    }
    if (pGroup->IsItemDragOver() && nCount > 0)
        if (CXTPTaskPanelGroupItem* pLast = itemAt(nCount - 1)) {
            CRect rcLast = pLast->GetItemRect();
            rcLast.OffsetRect(0, dy);
            DrawDragArrow(pDC, pLast, rcLast, TRUE);
        }
}

// ---- Items

COLORREF CXTPTaskPanelPaintManager::GetItemTextColor(CXTPTaskPanelGroupItem* pItem) const
{
    if (!pItem->IsEnabled())
        return ::GetSysColor(COLOR_GRAYTEXT);
    const CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    const CXTPTaskPanelGroupColors* pColors = GetGroupColors(pGroup && pGroup->IsSpecialGroup());
    if (pItem->GetType() != TaskPanelItemLink)
        return pColors->clrItemText;
    const CXTPTaskPanel* pPanel = pItem->GetTaskPanel();
    const BOOL bUnderlineHot = pPanel && pPanel->GetHotTrackStyle() == TaskPanelHotTrackUnderline;
    return pItem->IsItemHot() && bUnderlineHot ? pColors->clrLinkTextHot : pColors->clrLinkText;
}

CRect CXTPTaskPanelPaintManager::DrawGroupItem(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw)
{
    const CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    const CXTPTaskPanel* pPanel = pItem->GetTaskPanel();
    const BOOL bUnderline = pItem->IsItemHot() && pPanel && pPanel->GetHotTrackStyle() == TaskPanelHotTrackUnderline;
    CXTPScopedSelect select(pDC->GetSafeHdc(), GetItemFont(pItem->IsBold(), bUnderline)->GetSafeHandle());
    if (bDraw) {
        pDC->SetTextColor(GetItemTextColor(pItem));
        pDC->SetBkMode(TRANSPARENT);
    }
    switch (pGroup ? pGroup->GetItemLayout() : TaskPanelLayoutIconLeft) {
    case TaskPanelLayoutIconGrid:
        return DrawItemIconGrid(pDC, pItem, rc, bDraw);
    case TaskPanelLayoutIconAbove:
        return DrawItemIconAbove(pDC, pItem, rc, bDraw);
    default:
        return DrawItemIconLeft(pDC, pItem, rc, bDraw);
    }
}

void CXTPTaskPanelPaintManager::DrawItemFocus(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc)
{
    const CXTPTaskPanel* pPanel = pItem->GetTaskPanel();
    if (!pItem->IsItemFocused() || !pPanel || !pPanel->IsDrawFocusRect())
        return;
    const CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    DrawFocusFrame(pDC, rc, GetGroupColors(pGroup && pGroup->IsSpecialGroup())->clrFocus);
}

CRect CXTPTaskPanelPaintManager::DrawItemIconLeft(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw)
{
    const CXTPTaskPanel* pPanel = pItem->GetTaskPanel();
    const int nHotTrack = pPanel ? pPanel->GetHotTrackStyle() : TaskPanelHotTrackUnderline;
    const CSize szIcon = pPanel ? pPanel->GetItemIconSize() : CSize(16, 16);
    const CRect rcInsets = GetItemInsets(pItem);
    const BOOL bLink = pItem->GetType() == TaskPanelItemLink;
    CXTPImageManagerIcon* pImage = bLink ? pItem->GetImage(szIcon.cx) : nullptr;
    const int nTextIndent = bLink ? szIcon.cx + 7 : 0;

    if (!bDraw) {
        CRect rcText(rc.left + rcInsets.left + nTextIndent, rc.top + rcInsets.top, rc.right - rcInsets.right,
                     rc.top + rcInsets.top);
        const CString& strCaption = pItem->GetCaption();
        pDC->DrawText(strCaption.IsEmpty() ? CString(L" ") : strCaption, &rcText,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        const int nHeight = std::max<int>(rcText.Height(), pImage ? szIcon.cy : 0) + rcInsets.top + rcInsets.bottom;
        const int nRight = nHotTrack == TaskPanelHotTrackItemFrame ? rc.right : rcText.right + rcInsets.right;
        return CRect(rc.left, rc.top, nRight, rc.top + nHeight);
    }

    const CPoint ptOffset = GetHighlightOffset(pItem);
    if (nHotTrack == TaskPanelHotTrackItemFrame)
        DrawGroupItemFrame(pDC, pItem, rc);
    CRect rcInner(rc);
    rcInner.DeflateRect(&rcInsets);
    if (pImage) {
        // Read field by field: the corner accessor reads the rectangle through another type.
        CPoint pt(rcInner.left, rcInner.top);
        if (nHotTrack == TaskPanelHotTrackIconFrame || nHotTrack == TaskPanelHotTrackItemFrame)
            pt += ptOffset;
        if (nHotTrack == TaskPanelHotTrackIconFrame)
            DrawGroupItemFrame(pDC, pItem, CRect(rc.left, rc.top, rcInner.left + szIcon.cx + 2, rc.bottom));
        DrawItemImage(pDC, pItem, pt, pImage, szIcon);
    }
    CRect rcText(rcInner.left + nTextIndent, rcInner.top, rcInner.right, rcInner.bottom);
    if (nHotTrack == TaskPanelHotTrackItemFrame)
        rcText.OffsetRect(ptOffset);
    if (rcText.Width() > 0)
        DrawItemCaption(pDC, pItem, rcText, DT_WORDBREAK | DT_NOPREFIX);
    DrawItemFocus(pDC, pItem, rcInner);
    return rc;
}

CRect CXTPTaskPanelPaintManager::DrawItemIconAbove(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw)
{
    const CXTPTaskPanel* pPanel = pItem->GetTaskPanel();
    const int nHotTrack = pPanel ? pPanel->GetHotTrackStyle() : TaskPanelHotTrackIconFrame;
    const CSize szIcon = pPanel ? pPanel->GetItemIconSize() : CSize(16, 16);
    const CRect rcInsets = GetItemInsets(pItem);
    CXTPImageManagerIcon* pImage = pItem->GetType() == TaskPanelItemLink ? pItem->GetImage(szIcon.cx) : nullptr;
    // A link without an icon keeps its text at the top, where its measured height leaves it.
    const int nTextTop = pImage ? szIcon.cy + 3 : 0;

    if (!bDraw) {
        CRect rcText(0, 0, std::max<int>(0, rc.Width() - rcInsets.left - rcInsets.right), 0);
        const CString& strCaption = pItem->GetCaption();
        pDC->DrawText(strCaption.IsEmpty() ? CString(L" ") : strCaption, &rcText,
                      DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        const int nHeight = nTextTop + rcText.Height() + rcInsets.top + rcInsets.bottom;
        const int nWidth = std::max<int>(rcText.Width(), pImage ? szIcon.cx + 4 : 0) + rcInsets.left + rcInsets.right;
        if (nHotTrack == TaskPanelHotTrackItemFrame)
            return CRect(rc.left, rc.top, rc.right, rc.top + nHeight);
        const int nLeft = rc.left + (rc.Width() - nWidth) / 2;
        return CRect(nLeft, rc.top, nLeft + nWidth, rc.top + nHeight);
    }

    const CPoint ptOffset = GetHighlightOffset(pItem);
    if (nHotTrack == TaskPanelHotTrackItemFrame)
        DrawGroupItemFrame(pDC, pItem, rc);
    CRect rcInner(rc);
    rcInner.DeflateRect(&rcInsets);
    if (pImage) {
        CPoint pt(rcInner.left + (rcInner.Width() - szIcon.cx) / 2, rcInner.top);
        if (nHotTrack == TaskPanelHotTrackIconFrame)
            DrawGroupItemFrame(pDC, pItem, CRect(pt.x - 2, pt.y - 2, pt.x + szIcon.cx + 2, pt.y + szIcon.cy + 2));
        if (nHotTrack == TaskPanelHotTrackIconFrame || nHotTrack == TaskPanelHotTrackItemFrame)
            pt += ptOffset;
        DrawItemImage(pDC, pItem, pt, pImage, szIcon);
    }
    CRect rcText(rcInner.left, rcInner.top + nTextTop, rcInner.right, rcInner.bottom);
    if (nHotTrack == TaskPanelHotTrackItemFrame)
        rcText.OffsetRect(ptOffset);
    if (rcText.Width() > 0)
        DrawItemCaption(pDC, pItem, rcText, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    DrawItemFocus(pDC, pItem, rcInner);
    return rc;
}

CRect CXTPTaskPanelPaintManager::DrawItemIconGrid(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw)
{
    if (!bDraw)
        return rc;
    const CXTPTaskPanel* pPanel = pItem->GetTaskPanel();
    const int nHotTrack = pPanel ? pPanel->GetHotTrackStyle() : TaskPanelHotTrackIconFrame;
    const CSize szIcon = pPanel ? pPanel->GetItemIconSize() : CSize(16, 16);
    CPoint pt(rc.left + (rc.Width() - szIcon.cx) / 2, rc.top + (rc.Height() - szIcon.cy) / 2);
    if (nHotTrack != TaskPanelHotTrackNone) {
        DrawGroupItemFrame(pDC, pItem, rc);
        pt += GetHighlightOffset(pItem);
    }
    if (pItem->GetType() == TaskPanelItemLink)
        if (CXTPImageManagerIcon* pImage = pItem->GetImage(szIcon.cx))
            DrawItemImage(pDC, pItem, pt, pImage, szIcon);
    const CRect rcInsets = GetItemInsets(pItem);
    CRect rcInner(rc);
    rcInner.DeflateRect(&rcInsets);
    DrawItemFocus(pDC, pItem, rcInner);
    return rc;
}

void CXTPTaskPanelPaintManager::DrawGroupItemFrame(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc)
{
    const BOOL bSelected = pItem->IsItemSelected();
    const BOOL bHot = pItem->IsItemHot();
    const BOOL bPressed = pItem->IsItemPressed();

    if (m_nThemeKind != TaskPanelThemeClassic) {
        COLORREF clrFill;
        if (bSelected && !bHot && !bPressed)
            clrFill = m_clrSelectedFill;
        else if ((bSelected && bHot && !bPressed) || (bHot && bPressed))
            clrFill = m_clrPressedFill;
        else if (bHot || bPressed)
            clrFill = m_clrHotFill;
        else
            return;
        pDC->FillSolidRect(&rc, clrFill);
        pDC->Draw3dRect(&rc, m_grcItemFrame.clrLight, m_grcItemFrame.clrLight);
        return;
    }
    if (bSelected && (!bHot || bPressed))
        pDC->FillSolidRect(&rc, m_clrHotFill);
    if (bSelected || (bHot && bPressed))
        pDC->Draw3dRect(&rc, m_grcItemFrame.clrLight, m_grcItemFrame.clrDark);
    else if (bHot || bPressed)
        pDC->Draw3dRect(&rc, m_grcItemFrame.clrDark, m_grcItemFrame.clrLight);
}

CPoint CXTPTaskPanelPaintManager::GetHighlightOffset(const CXTPTaskPanelGroupItem* pItem) const
{
    return m_nThemeKind == TaskPanelThemeClassic && pItem->IsItemSelected() ? CPoint(1, 1) : CPoint(0, 0);
}

void CXTPTaskPanelPaintManager::DrawItemCaption(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc, UINT nFormat)
{
    pDC->DrawText(pItem->GetCaption(), &rc, nFormat);
    pItem->SetTextRect(pDC, rc, nFormat);
}

void CXTPTaskPanelPaintManager::DrawItemImage(CDC* pDC, CXTPTaskPanelItem* pItem, CPoint pt,
                                              CXTPImageManagerIcon* pImage, CSize szIcon)
{
    if (!pImage)
        return;
    auto* pGroupItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, pItem);
    const BOOL bSelected = pGroupItem && pGroupItem->IsItemSelected();
    const BOOL bHotImage = pItem->IsItemHot() || pItem->IsItemPressed() || (!pItem->IsGroup() && bSelected);
    pImage->Draw(pDC, pt, bHotImage ? pImage->GetHotIcon() : pImage->GetIcon(), szIcon.cx, szIcon.cy);
}

// ---- Scroll buttons and drop marks

void CXTPTaskPanelPaintManager::DrawScrollButton(CDC* pDC, CXTPTaskPanelScrollButton* pButton)
{
    if (!pButton->IsVisible())
        return;
    const CRect rc = pButton->m_rc;
    if (m_nThemeKind == TaskPanelThemeClassic || m_bScrollButtonsInCaptions) {
        pDC->FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
        if (pButton->m_bPressed)
            pDC->Draw3dRect(&rc, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        else
            pDC->Draw3dRect(&rc, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    } else {
        const CXTPTaskPanelGroup* pGroup = pButton->m_pScrolledGroup;
        const COLORREF clrFill = pButton->m_bPressed ? m_clrPressedFill
                                 : pButton->m_bHot   ? m_clrHotFill
                                                     : GetGroupColors(pGroup && pGroup->IsSpecialGroup())->clrClient;
        pDC->FillSolidRect(&rc, clrFill);
        pDC->Draw3dRect(&rc, m_grcItemFrame.clrLight, m_grcItemFrame.clrLight);
    }
    const CPoint c = rc.CenterPoint();
    CPoint pts[3];
    if (pButton->m_bUp) {
        pts[0] = CPoint(c.x - 5, c.y + 1);
        pts[1] = CPoint(c.x - 1, c.y - 3);
        pts[2] = CPoint(c.x + 3, c.y + 1);
    } else {
        pts[0] = CPoint(c.x - 5, c.y - 2);
        pts[1] = CPoint(c.x - 1, c.y + 2);
        pts[2] = CPoint(c.x + 3, c.y - 2);
    }
    DrawEmbossedTriangle(pDC, pts[0], pts[1], pts[2], pButton->m_bCanScroll);
}

void CXTPTaskPanelPaintManager::DrawDragArrow(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc, BOOL bAfter)
{
    if (m_bInvertedDropMark) {
        pDC->InvertRect(&rc);
        return;
    }
    const int y = (bAfter ? rc.bottom : rc.top) - 1;
    int nLeft = rc.left;
    int nRight = rc.right;
    const CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    const BOOL bGrid = pGroup && pGroup->GetItemLayout() == TaskPanelLayoutIconGrid;
    if (!pItem->IsGroup() && !bGrid && pGroup) {
        nLeft = pGroup->GetCurrentRect().left + 2;
        nRight = pGroup->GetCurrentRect().right - 2;
    }
    if (nRight - nLeft < 6)
        return;
    const COLORREF clrMark = RGB(0, 0, 0);
    pDC->FillSolidRect(nLeft, y, nRight - nLeft, 1, clrMark);
    for (int i = 0; i < 3; ++i) {
        const int nHalf = 3 - i;
        pDC->FillSolidRect(nLeft + i, y - nHalf, 1, 2 * nHalf + 1, clrMark);
        pDC->FillSolidRect(nRight - 1 - i, y - nHalf, 1, 2 * nHalf + 1, clrMark);
    }
}

// ---- Helpers

// A dotted frame in a colour of our own (the platform's focus rectangle can only invert).
void CXTPTaskPanelPaintManager::DrawFocusFrame(CDC* pDC, const CRect& rc, COLORREF clr)
{
    if (rc.IsRectEmpty())
        return;
    for (int x = rc.left; x < rc.right; x += 2) {
        pDC->SetPixelV(x, rc.top, clr);
        pDC->SetPixelV(x, rc.bottom - 1, clr);
    }
    for (int y = rc.top; y < rc.bottom; y += 2) {
        pDC->SetPixelV(rc.left, y, clr);
        pDC->SetPixelV(rc.right - 1, y, clr);
    }
}

void CXTPTaskPanelPaintManager::DrawChevrons(CDC* pDC, CPoint pt, COLORREF clr, BOOL bUp)
{
    struct Line
    {
        int x0, y0, x1, y1, x2, y2;
    };
    static const Line up[] = {
        {-3, -2, 0, -5, 4, -1}, {-2, -2, 0, -4, 3, -1}, {-3, 2, 0, -1, 4, 3}, {-2, 2, 0, 0, 3, 3}};
    static const Line down[] = {
        {-3, -4, 0, -1, 4, -5}, {-2, -4, 0, -2, 3, -5}, {-3, 0, 0, 3, 4, -1}, {-2, 0, 0, 2, 3, -1}};
    CXTPScopedPen pen(pDC->GetSafeHdc(), clr);
    for (const Line& line : bUp ? up : down) {
        pDC->MoveTo(pt.x + line.x0, pt.y + line.y0);
        pDC->LineTo(pt.x + line.x1, pt.y + line.y1);
        pDC->LineTo(pt.x + line.x2, pt.y + line.y2);
    }
}

void CXTPTaskPanelPaintManager::DrawTriangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr)
{
    ::DrawTriangle(pDC, pt0, pt1, pt2, clr);
}

void CXTPTaskPanelPaintManager::DrawEmbossedTriangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, BOOL bEnabled)
{
    if (bEnabled) {
        DrawTriangle(pDC, pt0, pt1, pt2, RGB(0, 0, 0));
        return;
    }
    const CPoint d(1, 1);
    DrawTriangle(pDC, pt0 + d, pt1 + d, pt2 + d, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTriangle(pDC, pt0, pt1, pt2, ::GetSysColor(COLOR_BTNSHADOW));
}

BOOL CXTPTaskPanelPaintManager::DrawStateBitmap(CDC* pDC, CPoint pt, CSize sz, HBITMAP hBitmap, UINT nFlags,
                                                HBRUSH hBrush)
{
    return ::DrawStateW(pDC->GetSafeHdc(), hBrush, nullptr, reinterpret_cast<LPARAM>(hBitmap), 0, pt.x, pt.y, sz.cx,
                        sz.cy, nFlags | DST_BITMAP);
}

BOOL CXTPTaskPanelPaintManager::DrawStateIcon(CDC* pDC, CPoint pt, CSize sz, HICON hIcon, UINT nFlags, HBRUSH hBrush)
{
    return ::DrawStateW(pDC->GetSafeHdc(), hBrush, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, pt.x, pt.y, sz.cx,
                        sz.cy, nFlags | DST_ICON);
}

COLORREF CXTPTaskPanelPaintManager::BlendColors(COLORREF clr1, COLORREF clr2, int nAlpha)
{
    auto channel = [nAlpha](int a, int b) { return std::clamp((a * nAlpha + b * (255 - nAlpha)) / 255, 0, 255); };
    return RGB(channel(GetRValue(clr1), GetRValue(clr2)), channel(GetGValue(clr1), GetGValue(clr2)),
               channel(GetBValue(clr1), GetBValue(clr2)));
}

void CXTPTaskPanelPaintManager::RGBtoHLS(COLORREF clr, double& dHue, double& dLight, double& dSat)
{
    const double r = GetRValue(clr) / 255.0;
    const double g = GetGValue(clr) / 255.0;
    const double b = GetBValue(clr) / 255.0;
    const double dMax = std::max({r, g, b});
    const double dMin = std::min({r, g, b});
    dLight = (dMax + dMin) / 2;
    if (dMax == dMin) {
        dHue = dSat = 0;
        return;
    }
    const double d = dMax - dMin;
    dSat = dLight <= 0.5 ? d / (dMax + dMin) : d / (2 - dMax - dMin);
    if (r == dMax)
        dHue = (g - b) / d;
    else if (g == dMax)
        dHue = 2 + (b - r) / d;
    else
        dHue = 4 + (r - g) / d;
    dHue /= 6;
    if (dHue < 0)
        dHue += 1;
}

COLORREF CXTPTaskPanelPaintManager::HLStoRGB(double dHue, double dLight, double dSat)
{
    auto toByte = [](double v) { return static_cast<BYTE>(std::clamp(static_cast<int>(v * 255 + 0.5), 0, 255)); };
    if (dSat == 0)
        return RGB(toByte(dLight), toByte(dLight), toByte(dLight));
    const double m2 = dLight <= 0.5 ? dLight * (1 + dSat) : dLight + dSat - dLight * dSat;
    const double m1 = 2 * dLight - m2;
    return RGB(toByte(HueToRGB(m1, m2, dHue + 1.0 / 3.0)), toByte(HueToRGB(m1, m2, dHue)),
               toByte(HueToRGB(m1, m2, dHue - 1.0 / 3.0)));
}

void CXTPTaskPanelPaintManager::PremultiplyAlpha(HBITMAP hBitmap)
{
    DIBSECTION dib{};
    if (!hBitmap || ::GetObjectW(hBitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBitsPixel != 32 ||
        !dib.dsBm.bmBits)
        return;
    ::GdiFlush();
    auto* pBits = static_cast<BYTE*>(dib.dsBm.bmBits);
    const size_t nPixels = static_cast<size_t>(dib.dsBm.bmWidth) * std::abs(dib.dsBm.bmHeight);
    for (size_t i = 0; i < nPixels; ++i, pBits += 4) {
        const int a = pBits[3];
        for (int c = 0; c < 3; ++c)
            pBits[c] = static_cast<BYTE>(pBits[c] * a / 255);
    }
}
