#include "views/FeedTaskPanelPaintManager.h"

#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/ui/GradientFill.h"
#include "framework/win/Dc.h"
#include "res/resource.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/taskpanel/XTPHtmlText.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"
#include "views/FeedTaskPanel.h"
#include "views/SkinCaptionColors.h"

#include <algorithm>
#include <cmath>

namespace {

const int kRowHeight = 39;
const COLORREF kGripDark = 0x6D6259;
const COLORREF kGripLight = 0xFFEDDE;

// The branding's two fonts; a settings block without them (all zero) gets the interface font's defaults.
void MakeBrandingFonts(CFont& fntTitle, CFont& fntText)
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    LOGFONTW lfText = settings.lfText;
    LOGFONTW lfTitle = settings.lfTitle;
    if (lfText.lfFaceName[0] == 0 || lfTitle.lfFaceName[0] == 0) {
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lfText), &lfText);
        lfTitle = lfText;
        lfTitle.lfWeight = FW_BOLD;
        wcscpy_s(lfTitle.lfFaceName, L"Tahoma");
    }
    fntText.DeleteObject();
    fntText.CreateFontIndirect(&lfText);
    fntTitle.DeleteObject();
    fntTitle.CreateFontIndirect(&lfTitle);
}

// The skin's caption colours while the skin is the command bars' paint manager.
const CSkinCaptionColors* CurrentSkin()
{
    return CSkinCaptionColors::FromPaintManager(CXTPPaintManager::GetCurrent());
}

} // namespace

CFeedTaskPanelPaintManager::CFeedTaskPanelPaintManager()
{
    CFeedTaskPanelPaintManager::RefreshMetrics();
}

CFeedTaskPanelPaintManager::~CFeedTaskPanelPaintManager()
{
    m_fntTitle.DeleteObject();
    m_fntText.DeleteObject();
}

namespace {
double RelativeLuminance(COLORREF clr)
{
    auto channel = [](BYTE value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(GetRValue(clr)) + 0.7152 * channel(GetGValue(clr)) + 0.0722 * channel(GetBValue(clr));
}
} // namespace

double CFeedTaskPanelPaintManager::ContrastRatio(COLORREF clrA, COLORREF clrB)
{
    const double a = RelativeLuminance(clrA);
    const double b = RelativeLuminance(clrB);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

COLORREF CFeedTaskPanelPaintManager::ReadableOn(COLORREF clrText, COLORREF clrFace, COLORREF clrLight)
{
    const double minimum = 4.5;
    auto reads = [&](COLORREF clr) {
        return ContrastRatio(clr, clrFace) >= minimum && ContrastRatio(clr, clrLight) >= minimum;
    };
    // A light face takes darker text; white text on black is the last resort for a dark one.
    const bool darken = RelativeLuminance(clrFace) > 0.18;
    COLORREF clr = clrText;
    for (int step = 0; step < 20 && !reads(clr); ++step)
        clr = AdjustColorHls(clr, darken ? -10 : 10, 0);
    if (!reads(clr))
        clr = darken ? RGB(0, 0, 0) : RGB(255, 255, 255);
    return clr;
}

COLORREF CFeedTaskPanelPaintManager::GetBarColor(int nIndex)
{
    if (CXTPPaintManager* pPaintManager = CXTPPaintManager::GetCurrent())
        return pPaintManager->GetColor(static_cast<COLORREF>(nIndex));
    return XTPColorManager()->GetColor(static_cast<COLORREF>(nIndex));
}

void CFeedTaskPanelPaintManager::RefreshMetrics()
{
    CXTPTaskPanelRoundedTheme::RefreshMetrics();
    m_nCaptionButtonStyle = TaskPanelCaptionButtonTriangle;
    CXTPColorManager* pColors = XTPColorManager();
    m_grcBackground.SetColors(pColors->GetColor(COLOR_WINDOW), pColors->GetColor(COLOR_WINDOW));
    m_groupNormal.clrClient = pColors->GetColor(COLOR_WINDOW);
    m_groupNormal.clrClientBorder = pColors->GetColor(COLOR_BTNTEXT);
    m_groupNormal.clrItemText = pColors->GetColor(COLOR_BTNTEXT);
    m_groupNormal.clrCaptionTextHot = pColors->GetColor(31);

    LOGFONTW lf = {};
    if (::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0)) {
        lf.lfWeight = FW_NORMAL;
        m_fntItem.DeleteObject();
        m_fntItem.CreateFontIndirect(&lf);
    }
    m_rcItemMargins.SetRect(1, 1, 1, 1);
    m_rcGroupInnerMargins.SetRect(1, 1, 1, 1);
    MakeBrandingFonts(m_fntTitle, m_fntText);
}

// ---- Captions

CRect CFeedTaskPanelPaintManager::DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    COLORREF clrFace, clrLight, clrDark, clrMark;
    if (const CSkinCaptionColors* pSkin = CurrentSkin()) {
        clrFace = pSkin->GetSkinCaptionFace();
        clrLight = pSkin->GetSkinCaptionLightEnd();
        clrDark = pSkin->GetSkinFace();
        clrMark = RGB(255, 255, 255);
    } else {
        clrFace = GetBarColor(30);
        clrLight = AdjustColorHls(clrFace, 30, 5);
        clrDark = AdjustColorHls(clrFace, -30, -15);
        clrMark = m_groupNormal.clrCaptionText;
    }

    FillGradientRect(pDC, rc, clrFace, clrLight, TRUE);
    pDC->FillSolidRect(rc.left, rc.top, rc.Width(), 1, clrDark);
    pDC->FillSolidRect(rc.left, rc.top + 1, rc.Width(), 1, RGB(255, 255, 255));
    pDC->FillSolidRect(rc.left, rc.bottom - 2, rc.Width(), 1, RGB(255, 255, 255));
    pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, clrDark);

    const int m = (rc.top + rc.bottom) / 2;
    for (int i = 0; i <= 8; i += 2) {
        pDC->SetPixel(rc.left + 4, m - 5 + i, kGripDark);
        pDC->SetPixel(rc.left + 7, m - 5 + i, kGripDark);
        pDC->SetPixel(rc.left + 5, m - 4 + i, kGripLight);
        pDC->SetPixel(rc.left + 8, m - 4 + i, kGripLight);
    }
    if (pGroup->IsExpandable()) {
        const int x0 = rc.left + 14;
        if (pGroup->IsExpanded())
            DrawTriangle(pDC, CPoint(x0, m - 2), CPoint(x0 + 8, m - 2), CPoint(x0 + 4, m + 2), clrMark);
        else
            DrawTriangle(pDC, CPoint(x0 + 3, m - 4), CPoint(x0 + 7, m), CPoint(x0 + 3, m + 4), clrMark);
    }
    rc.left += 14;
    return rc;
}

BOOL CFeedTaskPanelPaintManager::IsHiddenRecord(const CFeedItem* pRecord)
{
    return pRecord != nullptr && GetEngineContext().m_settings.nHideReadChannels &&
           pRecord->m_nKind == FEED_KIND_FEED && pRecord->m_nNewCount == 0 && pRecord->m_nUnreadCount == 0;
}

CString CFeedTaskPanelPaintManager::FormatGroupCaption(CXTPTaskPanelGroup* pGroup)
{
    CString strCaption = pGroup->GetCaption();
    if (!GetEngineContext().m_settings.nHideReadChannels)
        return strCaption;
    int nHidden = 0;
    for (int i = 0; i < pGroup->GetItemCount(); ++i)
        nHidden += IsHiddenRecord(CFeedTaskPanel::GetRecord(pGroup->GetAt(i))) ? 1 : 0;
    CString strFormatted;
    strFormatted.Format(L"%s (%d hidden)", static_cast<LPCTSTR>(strCaption), nHidden);
    return strFormatted;
}

int CFeedTaskPanelPaintManager::DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw)
{
    CXTPScopedSelect select(pDC->GetSafeHdc(), m_fntCaption.GetSafeHandle());
    const CString strCaption = FormatGroupCaption(pGroup);
    if (!bDraw) {
        CRect rcText = pGroup->GetTargetRect();
        rcText.left += 27;
        rcText.right -= 13;
        rcText.bottom = rcText.top;
        pDC->DrawText(strCaption.IsEmpty() ? CString(L" ") : strCaption, &rcText,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return rcText.Height() + 10;
    }
    const CRect rc = pGroup->GetCaptionRect();
    if (rc.IsRectEmpty() || !pGroup->IsCaptionVisible())
        return 0;
    CRect rcText = DrawCaptionBackground(pDC, pGroup, rc);
    rcText.DeflateRect(13, 5, 13, 0);
    pDC->SetBkMode(TRANSPARENT);
    if (const CSkinCaptionColors* pSkin = CurrentSkin())
        pDC->SetTextColor(pSkin->GetSkinCaptionText());
    else
        pDC->SetTextColor(pGroup->IsItemHot() ? ReadableOn(m_groupNormal.clrCaptionTextHot, GetBarColor(30),
                                                           AdjustColorHls(GetBarColor(30), 30, 5))
                                              : GetBarColor(17));
    pDC->DrawText(strCaption, &rcText, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (pGroup->IsItemFocused()) {
        CRect rcFocus = rcText;
        pDC->DrawText(strCaption, &rcFocus, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        pDC->DrawFocusRect(&rcFocus);
    }
    return 0;
}

// ---- Entries

CString CFeedTaskPanelPaintManager::FormatChannelStatus(const CFeedItem* pRecord, const SYSTEMTIME& now)
{
    if (pRecord->m_bUpdating)
        return LoadResourceString(IDS_UPDATING);
    if (!pRecord->HasChannel())
        return L"Unreachable and no local copy available";
    SYSTEMTIME st = {};
    WCHAR szDate[100] = L"";
    if (pRecord->m_dtDate.GetAsSystemTime(st)) {
        if (st.wMonth == now.wMonth && st.wDay == now.wDay)
            ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, szDate, 100);
        else
            ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, szDate, 100);
    }
    CString strStatus;
    strStatus.Format(L"%d/%d unread   Updated: %s", pRecord->m_nNewCount + pRecord->m_nUnreadCount,
                     pRecord->GetChannelItemCount(), szDate);
    return strStatus;
}

CRect CFeedTaskPanelPaintManager::FitPicture(CSize szPicture, const CRect& rcSquare)
{
    CSize sz = szPicture;
    if (sz.cx <= 0 || sz.cy <= 0)
        return CRect(rcSquare.TopLeft(), CSize(0, 0));
    if (sz.cx > rcSquare.Width() || sz.cy > rcSquare.Height()) {
        // Scaled down to the square's longer side, keeping the proportions, never below one pixel.
        // In 64 bits: a picture's stated size comes from the file and may be anything.
        if (static_cast<LONGLONG>(sz.cx) * rcSquare.Height() >= static_cast<LONGLONG>(sz.cy) * rcSquare.Width()) {
            sz = CSize(rcSquare.Width(), std::max(1, ::MulDiv(sz.cy, rcSquare.Width(), sz.cx)));
        } else {
            sz = CSize(std::max(1, ::MulDiv(sz.cx, rcSquare.Height(), sz.cy)), rcSquare.Height());
        }
    }
    const CPoint pt(rcSquare.left + (rcSquare.Width() - sz.cx) / 2, rcSquare.top + (rcSquare.Height() - sz.cy) / 2);
    return CRect(pt, sz);
}

void CFeedTaskPanelPaintManager::DrawEntryIcon(CDC* pDC, CXTPTaskPanelGroupItem* pItem, const CFeedItem* pRecord,
                                               const CRect& rcSquare)
{
    auto* pPanel = DYNAMIC_DOWNCAST(CFeedTaskPanel, pItem->GetTaskPanel());
    if (pPanel == nullptr)
        return;
    CPicture* pPicture = pPanel->GetSitePicture(pRecord);
    if (pPicture != nullptr && !pRecord->m_bUpdateFailed) {
        const CRect rcPicture = FitPicture(CSize(pPicture->m_nWidth, pPicture->m_nHeight), rcSquare);
        if (!rcPicture.IsRectEmpty() && pPicture->Render(pDC->GetSafeHdc(), rcPicture))
            return;
    }
    const int nImage = CFeedTaskPanel::GetEntryImage(pRecord);
    CImageList* pImages = pPanel->GetImageList();
    if (nImage >= 0 && nImage < pImages->GetImageCount() && pImages->GetSafeHandle() != nullptr)
        pImages->Draw(pDC, nImage,
                      CPoint(rcSquare.left + (rcSquare.Width() - 16) / 2, rcSquare.top + (rcSquare.Height() - 16) / 2),
                      ILD_TRANSPARENT);
}

CRect CFeedTaskPanelPaintManager::DrawGroupItem(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw)
{
    CFeedItem* pRecord = CFeedTaskPanel::GetRecord(pItem);
    if (pRecord == nullptr)
        return CXTPTaskPanelRoundedTheme::DrawGroupItem(pDC, pItem, rc, bDraw);
    if (!bDraw) {
        // A web page's window takes its frame's size; until the entry has that window it is a row like others.
        if (pRecord->m_nKind == FEED_KIND_IFRAME && pItem->GetType() == TaskPanelItemControl)
            return CRect(rc.left, rc.top, rc.left + 236, rc.top + 62);
        if (IsHiddenRecord(pRecord))
            return CRect(rc.left, rc.top, rc.left, rc.top);
        return CRect(rc.left, rc.top, rc.right, rc.top + kRowHeight);
    }
    if (rc.IsRectEmpty())
        return rc;

    const CReaderSettings& settings = GetEngineContext().m_settings;
    pRecord->m_rcLast = rc;
    pDC->SetBkMode(TRANSPARENT);
    const BOOL bHasNews = pRecord->m_nNewCount + pRecord->m_nUnreadCount > 0;
    COLORREF clrText;
    if (pItem->IsItemHot()) {
        CXTPScopedPen pen(pDC->GetSafeHdc(), GetBarColor(32));
        CXTPScopedBrush brush(pDC->GetSafeHdc(), GetBarColor(31));
        pDC->Rectangle(&rc);
        clrText = pRecord->HasChannel() && !bHasNews ? GetBarColor(17) : GetBarColor(45);
    } else {
        clrText = bHasNews || !pRecord->HasChannel() || pRecord->m_nKind == FEED_KIND_SEARCH_RESULT ? GetBarColor(8)
                                                                                                    : GetBarColor(17);
        if (pRecord->m_nNewCount > 0 && pRecord->m_nKind != FEED_KIND_SEARCH_RESULT)
            FillGradientRect(pDC, rc, 0xC0FFC0, 0xFAFFFA, FALSE);
        else if (pRecord->m_nKind == FEED_KIND_FILTER_RESULT)
            FillGradientRect(pDC, rc, 0xFFE0E0, 0xFAFFFA, FALSE);
    }
    if (pItem->GetTaskPanel() != nullptr && pItem->GetTaskPanel()->GetHotTrackStyle() == TaskPanelHotTrackItemFrame &&
        pItem->IsItemPressed())
        rc.OffsetRect(GetHighlightOffset(pItem));
    pDC->SetTextColor(clrText);

    const CRect rcMargins = GetItemMargins(pItem);
    rc.DeflateRect(rcMargins.left, rcMargins.top, rcMargins.right, rcMargins.bottom);

    const BOOL bLink = pItem->GetType() == TaskPanelItemLink;
    int nIconLeft = rc.left + 5;
    if (bLink && pRecord->HasChannel()) {
        const int j = (rc.top + rc.bottom) / 2;
        const BOOL bLeft = settings.nLeftArrows && settings.nViewStyle == 1;
        for (int k = 0; k < 4; ++k) {
            const int x = bLeft ? rc.left + 5 + k : rc.right - 5 - k;
            pDC->FillSolidRect(x, j - k, 1, 2 * k + 1, clrText);
        }
        if (bLeft)
            nIconLeft += 10;
        else
            rc.right -= 10;
    }
    int nTextLeft = rc.left;
    // Entries whose own window is not there yet show their icon like a link.
    const BOOL bWindowless = pItem->GetType() == TaskPanelItemText &&
                             (pRecord->m_nKind == FEED_KIND_SEARCH_IN || pRecord->m_nKind == FEED_KIND_SEARCH_OUT ||
                              pRecord->m_nKind == FEED_KIND_IFRAME || pRecord->m_nKind == FEED_KIND_WEATHER);
    if (bLink || bWindowless) {
        const int nSquare = pRecord->m_nKind == FEED_KIND_NOTICE ? 32 : 16;
        const CRect rcSquare(CPoint(nIconLeft, rc.top + (rc.Height() - nSquare) / 2), CSize(nSquare, nSquare));
        DrawEntryIcon(pDC, pItem, pRecord, rcSquare);
        nTextLeft = rcSquare.right + 7;
    }

    CRect rcTitle(nTextLeft, rc.top, rc.right, rc.bottom);
    if (rcTitle.Width() > 0) {
        CXTPScopedSelect selectTitle(pDC->GetSafeHdc(), m_fntTitle.GetSafeHandle());
        const CString& strTitle = pRecord->m_strTitleText;
        CRect rcMeasure = rcTitle;
        pDC->DrawText(strTitle, &rcMeasure, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        UINT nFormat;
        if (rcMeasure.Width() <= rcTitle.Width()) {
            nFormat = DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
            if (pRecord->m_nKind == FEED_KIND_NOTICE)
                rcTitle.top += 3;
            else
                nFormat |= DT_VCENTER;
        } else {
            // Wrapped lines stop above the status line instead of running into it.
            nFormat = DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX | DT_EDITCONTROL;
            if (pRecord->m_nKind != FEED_KIND_NOTICE) {
                CXTPScopedSelect selectText(pDC->GetSafeHdc(), m_fntText.GetSafeHandle());
                TEXTMETRICW tm = {};
                pDC->GetTextMetrics(&tm);
                rcTitle.bottom = std::max<int>(rcTitle.top, rc.bottom - 1 - tm.tmHeight);
            }
        }
        pDC->DrawText(strTitle, &rcTitle, nFormat);
        pItem->SetTextRect(pDC, rcTitle, nFormat);
    }

    CXTPScopedSelect selectText(pDC->GetSafeHdc(), m_fntText.GetSafeHandle());
    CRect rcText(nTextLeft, rc.top, rc.right - 2, rc.bottom - 1);
    if (pRecord->m_nKind == FEED_KIND_FEED) {
        SYSTEMTIME now;
        ::GetLocalTime(&now);
        pDC->DrawText(FormatChannelStatus(pRecord, now), &rcText,
                      DT_SINGLELINE | DT_RIGHT | DT_BOTTOM | DT_NOPREFIX | DT_END_ELLIPSIS);
    } else if (pRecord->m_nKind == FEED_KIND_SEARCH_RESULT || pRecord->m_nKind == FEED_KIND_FILTER_RESULT) {
        CString strResults;
        strResults.Format(L"Results: %d", pRecord->m_pChannel != nullptr
                                              ? static_cast<int>(pRecord->m_pChannel->m_items.GetCount())
                                              : 0);
        pDC->DrawText(strResults, &rcText, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM | DT_NOPREFIX);
    } else if (pRecord->m_nKind == FEED_KIND_NOTICE) {
        pDC->DrawText(pRecord->m_strDescriptionText, &rcText,
                      DT_SINGLELINE | DT_LEFT | DT_BOTTOM | DT_NOPREFIX | DT_END_ELLIPSIS);
    }

    CXTPTaskPanel* pPanel = pItem->GetTaskPanel();
    if (pItem->IsItemFocused() && pPanel != nullptr && pPanel->IsDrawFocusRect()) {
        CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
        const BOOL bSpecial = pGroup != nullptr && pGroup->IsSpecialGroup();
        DrawFocusFrame(pDC, pRecord->m_rcLast, GetGroupColors(bSpecial)->clrFocus);
    }
    return rc;
}
