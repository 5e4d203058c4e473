// Drawing and measuring of headline rows.
#include "feeds/ui/HeadlineRow.h"
#include "res/resource.h"

#include "feeds/EngineContext.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedText.h"
#include "feeds/LocalTime.h"
#include "feeds/ShellAssociations.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/Dc.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/taskpanel/XTPHtmlText.h"

namespace {

// The two fonts of a row, created for one call; the DC's own font is back before they are deleted.
class CRowFonts
{
public:
    explicit CRowFonts(HDC hDC)
        : m_hDC(hDC), m_headline(::CreateFontIndirectW(&GetEngineContext().m_lfHeadline)),
          m_small(::CreateFontIndirectW(&GetEngineContext().m_lfSmall)), m_select(hDC, m_headline)
    {
    }

    void SelectHeadline() { ::SelectObject(m_hDC, m_headline); }
    void SelectSmall() { ::SelectObject(m_hDC, m_small); }

private:
    HDC m_hDC;
    CScopedFont m_headline;
    CScopedFont m_small;
    CScopedSelect m_select;
};

bool IsValidDate(const COleDateTime& dt)
{
    return dt.GetStatus() == COleDateTime::valid;
}

const CString& HeadlineText(const CFeedItem& item)
{
    return item.m_strTitleText.IsEmpty() ? item.m_strDescriptionText : item.m_strTitleText;
}

bool IsSingleLineStyle(int nStyle)
{
    return nStyle == 0 || nStyle == 3;
}

SIZE TextExtent(HDC hDC, const CString& text)
{
    SIZE size = {};
    ::GetTextExtentPoint32W(hDC, text, text.GetLength(), &size);
    return size;
}

} // namespace

CString FormatEnclosureSize(int nLength)
{
    CString text;
    if (nLength != 0)
        text.Format(L"(%dKB)", nLength / 1024);
    return text;
}

CString FormatHeadlineDate(const COleDateTime& dtUtc)
{
    SYSTEMTIME st = {};
    if (!ToLocalTime(&dtUtc).GetAsSystemTime(st))
        return CString();
    WCHAR szDate[80] = {}, szTime[80] = {};
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, szDate, 80);
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, szTime, 80);
    return CString(szDate) + L"   " + szTime;
}

void CFeedItem::DrawHeadline(CDC* pDC, BOOL bHighlight, BOOL bDrawIcon)
{
    CFeedItem& item = *this;
    if (!pDC || !pDC->m_hDC)
        return;
    const HDC hDC = pDC->m_hDC;
    const CRect rcRow = item.m_rcLast;
    const CEngineContext& context = GetEngineContext();
    const int nStyle = context.m_settings.nView;
    const bool bRead = item.m_nReadState == FEED_STATE_READ;

    if (bDrawIcon && context.m_ilReadStates.GetSafeHandle()) {
        const int nImage = bRead ? 1 : item.m_nReadState == FEED_STATE_NEW ? 2 : 0;
        ImageList_Draw(context.m_ilReadStates.GetSafeHandle(), nImage, hDC, rcRow.left + 3, rcRow.top + 1,
                       ILD_TRANSPARENT);
    }

    CRect rc(rcRow.left + 30, rcRow.top + 2, rcRow.right - 5, rcRow.bottom - 2);
    CRowFonts fonts(hDC);
    const COLORREF clrOld = ::GetTextColor(hDC);
    if (bRead)
        ::SetTextColor(hDC, GetToolkitColor(COLOR_GRAYTEXT));

    if (IsValidDate(item.m_dtDate)) {
        fonts.SelectSmall();
        const CString strDate = FormatHeadlineDate(item.m_dtDate);
        CRect rcDate = rc;
        ::DrawTextW(hDC, strDate, strDate.GetLength(), &rcDate, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
        rc.right -= TextExtent(hDC, strDate).cx + 15;
    }

    fonts.SelectHeadline();
    const UINT nTitleFormat =
        IsSingleLineStyle(nStyle) ? DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX : DT_WORDBREAK | DT_NOPREFIX;
    const CString& strHeadline = HeadlineText(item);
    CRect rcTitle = rc;
    const int nTitleHeight = DrawHtmlText(hDC, strHeadline, strHeadline.GetLength(), &rcTitle, nTitleFormat);

    if (nStyle != 1 && !item.m_strDescriptionText.IsEmpty()) {
        if (!bRead && !bHighlight)
            ::SetTextColor(hDC, context.m_clrDescriptionText);
        rc.right = rcRow.right - 5;
        rc.top += nTitleHeight;
        fonts.SelectSmall();
        if (nStyle == 3)
            rc.bottom = rc.top + 2 * TextExtent(hDC, L"A").cy;
        else if (!item.m_strEnclosureUrl.IsEmpty())
            rc.bottom -= 24;
        CRect rcText = rc;
        DrawHtmlText(hDC, item.m_strDescriptionText, item.m_strDescriptionText.GetLength(), &rcText,
                     DT_WORDBREAK | DT_END_ELLIPSIS);
    }

    if (!item.m_strEnclosureUrl.IsEmpty()) {
        fonts.SelectSmall();
        CRect rcLine(rc.left, rcRow.bottom - 19, rcRow.right - 5, rcRow.bottom - 3);
        CString strLabel;
        strLabel.LoadString(IDS_ENCLOSURE);
        const UINT nCentred = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        CRect rcPart = rcLine;
        ::DrawTextW(hDC, strLabel, strLabel.GetLength(), &rcPart, nCentred);
        rcPart.left += TextExtent(hDC, strLabel).cx + 4;

        if (!item.m_bEnclosureIconSought) {
            item.m_hEnclosureIcon = GetMimeTypeIcon(item.m_strEnclosureType);
            item.m_bEnclosureIconSought = true;
        }
        if (item.m_hEnclosureIcon)
            ::DrawIconEx(hDC, rcPart.left, rcLine.top - 1, item.m_hEnclosureIcon, 16, 16, 0, nullptr, DI_NORMAL);
        rcPart.left += 20;

        const CString strSize = FormatEnclosureSize(item.m_nEnclosureLength);
        if (!strSize.IsEmpty()) {
            CRect rcSize = rcPart;
            ::DrawTextW(hDC, strSize, strSize.GetLength(), &rcSize, nCentred | DT_END_ELLIPSIS);
            rcPart.left += TextExtent(hDC, strSize).cx + 4;
        }
        if (rcPart.left < rcPart.right)
            ::DrawTextW(hDC, item.m_strEnclosureUrl, item.m_strEnclosureUrl.GetLength(), &rcPart,
                        nCentred | DT_END_ELLIPSIS);
    }
    ::SetTextColor(hDC, clrOld);
}

int CFeedItem::CalcHeadlineWidth(CDC* pDC)
{
    CFeedItem& item = *this;
    if (!pDC || !pDC->m_hDC)
        return 0;
    const HDC hDC = pDC->m_hDC;
    CRowFonts fonts(hDC);
    CString strHeadline = HeadlineText(item);
    HtmlToText(strHeadline);
    int nWidth = TextExtent(hDC, strHeadline).cx;
    if (IsValidDate(item.m_dtDate)) {
        fonts.SelectSmall();
        nWidth += TextExtent(hDC, FormatHeadlineDate(item.m_dtDate)).cx + 15;
    }
    return nWidth + 35;
}

int CFeedItem::CalcHeadlineHeight(CDC* pDC, int nWidth)
{
    CFeedItem& item = *this;
    if (!pDC || !pDC->m_hDC)
        return 0;
    const HDC hDC = pDC->m_hDC;
    const int nStyle = GetEngineContext().m_settings.nView;
    CRowFonts fonts(hDC);
    // The title wraps beside the date column exactly as DrawHeadline lays it out, or its last line is cut.
    CRect rc(0, 0, nWidth, 0);
    if (IsValidDate(item.m_dtDate)) {
        fonts.SelectSmall();
        rc.right -= TextExtent(hDC, FormatHeadlineDate(item.m_dtDate)).cx + 15;
    }
    fonts.SelectHeadline();
    const UINT nTitleFormat =
        IsSingleLineStyle(nStyle) ? DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX : DT_WORDBREAK | DT_NOPREFIX;
    const CString& strHeadline = HeadlineText(item);
    const int nTitleHeight = DrawHtmlText(hDC, strHeadline, strHeadline.GetLength(), &rc, nTitleFormat | DT_CALCRECT);
    int nHeight = nTitleHeight + 6;

    if (nStyle != 1 && !item.m_strDescriptionText.IsEmpty()) {
        fonts.SelectSmall();
        if (nStyle == 3) {
            nHeight += 2 * TextExtent(hDC, item.m_strDescriptionText).cy;
        } else {
            CRect rcText(0, 0, nWidth, 0);
            const int nTextHeight = DrawHtmlText(hDC, item.m_strDescriptionText, item.m_strDescriptionText.GetLength(),
                                                 &rcText, DT_WORDBREAK | DT_CALCRECT);
            nHeight = nTitleHeight + nTextHeight + 9;
        }
    }
    if (!item.m_strEnclosureUrl.IsEmpty())
        nHeight += 24;
    item.m_nHeadlineWidth = nWidth;
    item.m_nHeadlineHeight = nHeight;
    return nHeight;
}
