#include "toolkit/controls/XTHeaderTheme.h"

#include "framework/core/AfxModule.h"
#include "framework/core/ScopedHandles.h"

#include <vssym32.h>

#include <algorithm>

namespace {

const int kMaxItemText = 255;

HWND HeaderHwnd(CXTThemedHeader* pHeader)
{
    return pHeader ? pHeader->GetHeaderHwnd() : nullptr;
}

bool GetColumn(HWND hHeader, int iCol, UINT mask, HDITEMW& item)
{
    item = HDITEMW();
    item.mask = mask;
    return hHeader && SendMessageW(hHeader, HDM_GETITEMW, iCol, reinterpret_cast<LPARAM>(&item)) != 0;
}

} // namespace

// ---- CXTHeaderTheme

CXTHeaderTheme::CXTHeaderTheme()
    : m_nArrowGap(10), m_dwDrawStyle(HDR_XTP_WINDEF | HDR_XTP_HOTTRACK | HDR_XTP_SORTARROW), m_bUseVisualStyle(FALSE),
      m_nTextMargin(6), m_nTextTop(0), m_nArrowWidth(8), m_nArrowHeight(7), m_clrText(0), m_clrFace(0), m_clrShadow(0),
      m_clrDarkShadow(0), m_clrHighlight(0), m_nThemeId(xtControlThemeClassic)
{
    RefreshMetrics();
}

CXTHeaderTheme::~CXTHeaderTheme() {}

void CXTHeaderTheme::RefreshMetrics()
{
    m_clrText = GetSysColor(COLOR_BTNTEXT);
    m_clrFace = GetSysColor(COLOR_BTNFACE);
    m_clrShadow = GetSysColor(COLOR_BTNSHADOW);
    m_clrDarkShadow = GetSysColor(COLOR_3DDKSHADOW);
    m_clrHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
}

COLORREF CXTHeaderTheme::Shade(COLORREF clrFrom, COLORREF clrTo, int nPercent)
{
    auto move = [nPercent](int from, int to) { return from + (to - from) * nPercent / 100; };
    return RGB(move(GetRValue(clrFrom), GetRValue(clrTo)), move(GetGValue(clrFrom), GetGValue(clrTo)),
               move(GetBValue(clrFrom), GetBValue(clrTo)));
}

void CXTHeaderTheme::Line(HDC hDC, int x1, int y1, int x2, int y2, COLORREF clr)
{
    CScopedPenHandle pen(CreatePen(PS_SOLID, 1, clr));
    CScopedSelect select(hDC, pen);
    MoveToEx(hDC, x1, y1, nullptr);
    LineTo(hDC, x2, y2);
}

void CXTHeaderTheme::Fill(HDC hDC, const RECT& rc, COLORREF clr)
{
    COLORREF clrOld = SetBkColor(hDC, clr);
    ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    SetBkColor(hDC, clrOld);
}

void CXTHeaderTheme::Frame(HDC hDC, const RECT& rc, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    Fill(hDC, RECT{rc.left, rc.top, rc.left + cx - 1, rc.top + 1}, clrTopLeft);
    Fill(hDC, RECT{rc.left, rc.top, rc.left + 1, rc.top + cy - 1}, clrTopLeft);
    Fill(hDC, RECT{rc.right - 1, rc.top, rc.right, rc.bottom}, clrBottomRight);
    Fill(hDC, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom}, clrBottomRight);
}

BOOL CXTHeaderTheme::IsVisualStyle(CXTThemedHeader* pHeader)
{
    if (!(m_dwDrawStyle & HDR_XTP_WINDEF))
        return FALSE;
    if (!m_themeHeader.IsThemeDataOpen())
        m_themeHeader.OpenThemeData(HeaderHwnd(pHeader), L"HEADER");
    return m_themeHeader.IsAppThemeReady() && m_themeHeader.IsThemeDataOpen();
}

void CXTHeaderTheme::SetDrawStyle(DWORD dwDrawStyle, CXTThemedHeader* pHeader)
{
    m_dwDrawStyle = dwDrawStyle;
    m_bUseVisualStyle = IsVisualStyle(pHeader) && (dwDrawStyle & HDR_XTP_WINDEF);
}

BOOL CXTHeaderTheme::Layout(HDLAYOUT* pLayout, CXTThemedHeader* pHeader)
{
    HWND hHeader = HeaderHwnd(pHeader);
    if (!hHeader || !pLayout)
        return FALSE;
    return static_cast<BOOL>(SendMessageW(hHeader, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(pLayout)));
}

bool CXTHeaderTheme::IsOwnImageList(HIMAGELIST hImageList) const
{
    return hImageList && std::find(m_imageLists.begin(), m_imageLists.end(), hImageList) != m_imageLists.end();
}

void CXTHeaderTheme::ForgetImageList(HIMAGELIST hImageList)
{
    m_imageLists.erase(std::remove(m_imageLists.begin(), m_imageLists.end(), hImageList), m_imageLists.end());
    ImageList_Destroy(hImageList);
}

HIMAGELIST CXTHeaderTheme::GetColumnImageList(CXTThemedHeader* pHeader, int iCol) const
{
    HDITEMW item;
    if (!GetColumn(HeaderHwnd(pHeader), iCol, HDI_FORMAT | HDI_BITMAP, item) || !(item.fmt & HDF_BITMAP))
        return nullptr;
    HIMAGELIST hImageList = reinterpret_cast<HIMAGELIST>(item.hbm);
    return IsOwnImageList(hImageList) ? hImageList : nullptr;
}

void CXTHeaderTheme::CleanUpImages(CXTThemedHeader* pHeader)
{
    HWND hHeader = HeaderHwnd(pHeader);
    const int nCount = hHeader ? static_cast<int>(SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < nCount; ++i) {
        if (HIMAGELIST hImageList = GetColumnImageList(pHeader, i))
            ForgetImageList(hImageList);
    }
}

BOOL CXTHeaderTheme::SetBitmap(int iCol, UINT uBitmapID, BOOL bRemove, COLORREF crMask, CXTThemedHeader* pHeader)
{
    HWND hHeader = HeaderHwnd(pHeader);
    HDITEMW item;
    if (!GetColumn(hHeader, iCol, HDI_FORMAT | HDI_BITMAP, item))
        return FALSE;

    if (bRemove) {
        if (HIMAGELIST hOld = GetColumnImageList(pHeader, iCol)) {
            ForgetImageList(hOld);
            item.mask = HDI_FORMAT | HDI_BITMAP;
            item.hbm = nullptr;
            item.fmt &= ~HDF_BITMAP;
            SendMessageW(hHeader, HDM_SETITEMW, iCol, reinterpret_cast<LPARAM>(&item));
        }
        return TRUE;
    }

    CScopedBitmap hBitmap(static_cast<HBITMAP>(
        LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(uBitmapID), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!hBitmap)
        return FALSE;
    BITMAP bm = {};
    GetObjectW(hBitmap, sizeof(bm), &bm);
    HIMAGELIST hImageList = ImageList_Create(bm.bmWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 1);
    const bool bAdded = hImageList && ImageList_AddMasked(hImageList, hBitmap, crMask) >= 0;
    hBitmap.Close();
    if (!bAdded) {
        if (hImageList)
            ImageList_Destroy(hImageList);
        return FALSE;
    }

    if (HIMAGELIST hOld = GetColumnImageList(pHeader, iCol))
        ForgetImageList(hOld);
    m_imageLists.push_back(hImageList);
    item.mask = HDI_FORMAT | HDI_BITMAP;
    item.hbm = reinterpret_cast<HBITMAP>(hImageList);
    item.fmt = HDF_BITMAP;
    SendMessageW(hHeader, HDM_SETITEMW, iCol, reinterpret_cast<LPARAM>(&item));
    return TRUE;
}

void CXTHeaderTheme::DrawHeader(HDC hDC, CXTThemedHeader* pHeader)
{
    HWND hHeader = HeaderHwnd(pHeader);
    if (!hDC || !hHeader)
        return;
    RECT rcClient;
    GetClientRect(hHeader, &rcClient);

    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_HEADER;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = hHeader;
    dis.hDC = hDC;
    dis.rcItem = rcClient;
    if (!(m_bUseVisualStyle && DrawVisualStyleBackground(&dis)))
        DrawBackground(&dis);

    HFONT hFont = reinterpret_cast<HFONT>(SendMessageW(hHeader, WM_GETFONT, 0, 0));
    CScopedSelect font(hDC, hFont);
    SetBkColor(hDC, m_clrFace);
    SetTextColor(hDC, m_clrText);
    SetBkMode(hDC, TRANSPARENT);

    const int nCount = static_cast<int>(SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> order(nCount > 0 ? nCount : 0);
    for (int i = 0; i < nCount; ++i) {
        HDITEMW item;
        order[i] = i;
        if (GetColumn(hHeader, i, HDI_ORDER, item) && item.iOrder >= 0 && item.iOrder < nCount)
            order[i] = item.iOrder;
    }
    std::vector<int> columns(order.size());
    for (int i = 0; i < nCount; ++i)
        columns[i] = i;
    std::stable_sort(columns.begin(), columns.end(), [&](int a, int b) { return order[a] < order[b]; });

    int nHot = -1;
    if (m_dwDrawStyle & HDR_XTP_HOTTRACK) {
        HDHITTESTINFO hit = {};
        GetCursorPos(&hit.pt);
        ScreenToClient(hHeader, &hit.pt);
        if (SendMessageW(hHeader, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 && (hit.flags & HHT_ONHEADER))
            nHot = hit.iItem;
    }

    int x = rcClient.left;
    for (int iCol : columns) {
        WCHAR szText[kMaxItemText + 1] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_BITMAP | HDI_IMAGE | HDI_LPARAM;
        item.pszText = szText;
        item.cchTextMax = kMaxItemText;
        if (!SendMessageW(hHeader, HDM_GETITEMW, iCol, reinterpret_cast<LPARAM>(&item)))
            continue;

        DRAWITEMSTRUCT itemDis = dis;
        itemDis.itemAction = ODA_DRAWENTIRE;
        itemDis.itemID = iCol;
        itemDis.itemState = 0;
        if (iCol == nHot)
            itemDis.itemState |= ODS_HOTLIGHT;
        if (pHeader->IsItemPressed(iCol))
            itemDis.itemState |= ODS_SELECTED;
        itemDis.itemData = reinterpret_cast<ULONG_PTR>(&item);
        itemDis.rcItem = RECT{x, rcClient.top, x + item.cxy, rcClient.bottom};

        if (!(m_bUseVisualStyle && DrawVisualStyleItem(&itemDis)))
            DrawItemEdge(&itemDis);
        DrawItemText(&itemDis, pHeader);
        x += item.cxy;
    }
}

void CXTHeaderTheme::DrawBackground(LPDRAWITEMSTRUCT lpDIS)
{
    RECT rc = lpDIS->rcItem;
    Fill(lpDIS->hDC, rc, m_clrFace);
    rc.right += 2;
    Frame(lpDIS->hDC, rc, m_clrHighlight, m_clrDarkShadow);
    InflateRect(&rc, -1, -1);
    Frame(lpDIS->hDC, rc, m_clrFace, m_clrShadow);
}

BOOL CXTHeaderTheme::DrawVisualStyleBackground(LPDRAWITEMSTRUCT lpDIS)
{
    if (!(m_dwDrawStyle & HDR_XTP_HOTTRACK))
        return FALSE;
    return SUCCEEDED(m_themeHeader.DrawThemeBackground(lpDIS->hDC, 0, 1, &lpDIS->rcItem, nullptr));
}

void CXTHeaderTheme::DrawItemEdge(LPDRAWITEMSTRUCT lpDIS)
{
    HDC hDC = lpDIS->hDC;
    const RECT& r = lpDIS->rcItem;
    if (lpDIS->itemState & ODS_SELECTED) {
        Frame(hDC, r, m_clrShadow, m_clrShadow);
        Line(hDC, r.right, 1, r.right, r.bottom - 1, m_clrHighlight);
        Line(hDC, r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 2, m_clrFace);
    } else {
        Line(hDC, r.right - 2, 1, r.right - 2, r.bottom - 1, m_clrShadow);
        Line(hDC, r.right - 1, 0, r.right - 1, r.bottom - 1, m_clrDarkShadow);
        Line(hDC, r.right, 1, r.right, r.bottom - 1, m_clrHighlight);
    }
}

BOOL CXTHeaderTheme::DrawVisualStyleItem(LPDRAWITEMSTRUCT lpDIS)
{
    int nState = HIS_NORMAL;
    if (lpDIS->itemState & ODS_SELECTED)
        nState = HIS_PRESSED;
    else if (lpDIS->itemState & ODS_HOTLIGHT)
        nState = HIS_HOT;
    return SUCCEEDED(m_themeHeader.DrawThemeBackground(lpDIS->hDC, HP_HEADERITEM, nState, &lpDIS->rcItem, nullptr));
}

void CXTHeaderTheme::DrawItemText(LPDRAWITEMSTRUCT lpDIS, CXTThemedHeader* pHeader)
{
    HDC hDC = lpDIS->hDC;
    const HDITEMW* pItem = reinterpret_cast<const HDITEMW*>(lpDIS->itemData);
    if (!pItem)
        return;
    const int iCol = static_cast<int>(lpDIS->itemID);
    const bool bPressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    BOOL bAscending = TRUE;
    const bool bSorted = pHeader && pHeader->GetSortedCol(&bAscending) == iCol;

    RECT rc = lpDIS->rcItem;
    rc.left += m_nTextMargin;
    rc.right -= m_nTextMargin;
    if (bSorted)
        rc.right -= 2 * m_nArrowGap + m_nArrowWidth;

    const wchar_t* pszText = pItem->pszText ? pItem->pszText : L"";
    const int nLength = lstrlenW(pszText);
    SIZE size = {};
    GetTextExtentPoint32W(hDC, pszText, nLength, &size);
    if (size.cy == 0) {
        TEXTMETRICW tm = {};
        GetTextMetricsW(hDC, &tm);
        size.cy = tm.tmHeight;
    }

    RECT rcText;
    rcText.top = m_nTextTop > 0 ? lpDIS->rcItem.top + m_nTextTop
                                : lpDIS->rcItem.top + (lpDIS->rcItem.bottom - lpDIS->rcItem.top - size.cy) / 2;
    rcText.bottom = rcText.top + size.cy;

    int x = rc.left;
    if (GetColumnImageList(pHeader, iCol))
        DrawItemImage(lpDIS, x, pHeader);

    switch (pItem->fmt & HDF_JUSTIFYMASK) {
    case HDF_RIGHT:
        rcText.left = rc.right - size.cx;
        break;
    case HDF_CENTER:
        rcText.left = x + (rc.right - x - size.cx) / 2;
        break;
    default:
        rcText.left = x;
        break;
    }
    rcText.right = rcText.left + size.cx;
    rcText.left = std::max(rcText.left, static_cast<LONG>(x));
    rcText.right = std::min(rcText.right, rc.right);

    if ((m_dwDrawStyle & HDR_XTP_SORTARROW) && bSorted) {
        DRAWITEMSTRUCT arrowDis = *lpDIS;
        arrowDis.rcItem = rcText;
        DrawSortArrow(&arrowDis, bAscending);
    }

    if (rcText.right > rcText.left && rcText.bottom > rcText.top) {
        if (bPressed)
            OffsetRect(&rcText, 1, 1);
        DrawTextW(hDC, pszText, nLength, &rcText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
}

void CXTHeaderTheme::DrawItemImage(LPDRAWITEMSTRUCT lpDIS, int& x, CXTThemedHeader* pHeader)
{
    HIMAGELIST hImageList = GetColumnImageList(pHeader, static_cast<int>(lpDIS->itemID));
    if (!hImageList)
        return;
    int cx = 0, cy = 0;
    ImageList_GetIconSize(hImageList, &cx, &cy);
    const RECT& r = lpDIS->rcItem;
    const int nPressed = (lpDIS->itemState & ODS_SELECTED) ? 1 : 0;
    const int xImage = r.left + m_nTextMargin + nPressed;
    const int yImage = r.top + (r.bottom - r.top - cy) / 2 + nPressed;
    if (xImage + cx <= r.right && yImage >= r.top && yImage + cy <= r.bottom)
        ImageList_Draw(hImageList, 0, lpDIS->hDC, xImage, yImage, ILD_TRANSPARENT);
    x += m_nTextMargin + cx;
}

void CXTHeaderTheme::DrawSortArrow(LPDRAWITEMSTRUCT lpDIS, BOOL bAscending)
{
    const RECT& rcText = lpDIS->rcItem;
    int x0 = rcText.right + m_nArrowGap;
    if (x0 < rcText.left)
        return;
    const bool bPressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    int y0 = rcText.top + (rcText.bottom - rcText.top - m_nArrowHeight) / 2;
    if (bPressed)
        x0 += 1;
    else
        y0 -= 1;

    POINT pts[3];
    if (bAscending) {
        pts[0] = POINT{x0, y0 + m_nArrowHeight};
        pts[1] = POINT{x0 + m_nArrowWidth, y0 + m_nArrowHeight};
        pts[2] = POINT{x0 + m_nArrowWidth / 2, y0};
    } else {
        pts[0] = POINT{x0, y0};
        pts[1] = POINT{x0 + m_nArrowWidth, y0};
        pts[2] = POINT{x0 + m_nArrowWidth / 2, y0 + m_nArrowHeight};
    }
    DrawArrow(lpDIS->hDC, pts, bAscending);
}

void CXTHeaderTheme::DrawArrow(HDC hDC, const POINT* pPoints, BOOL bAscending)
{
    // pPoints: the two base corners (left, right), then the apex. Edges facing up and left catch the light.
    const POINT& left = pPoints[0];
    const POINT& right = pPoints[1];
    const POINT& apex = pPoints[2];
    if (bAscending) {
        Line(hDC, left.x, left.y, apex.x, apex.y, m_clrHighlight);
        Line(hDC, apex.x, apex.y, right.x, right.y, m_clrShadow);
        Line(hDC, right.x, right.y, left.x, left.y, m_clrShadow);
    } else {
        Line(hDC, left.x, left.y, right.x, right.y, m_clrHighlight);
        Line(hDC, left.x, left.y, apex.x, apex.y, m_clrHighlight);
        Line(hDC, right.x, right.y, apex.x, apex.y, m_clrShadow);
    }
}

// ---- CXTHeaderThemeV1

CXTHeaderThemeV1::CXTHeaderThemeV1()
{
    m_dwDrawStyle = HDR_XTP_SORTARROW;
    m_nThemeId = xtControlThemeOffice;
}

void CXTHeaderThemeV1::DrawBackground(LPDRAWITEMSTRUCT lpDIS)
{
    RECT rc = lpDIS->rcItem;
    Fill(lpDIS->hDC, rc, m_clrFace);
    rc.right += 2;
    Frame(lpDIS->hDC, rc, m_clrHighlight, m_clrShadow);
}

void CXTHeaderThemeV1::DrawItemEdge(LPDRAWITEMSTRUCT lpDIS)
{
    const RECT& r = lpDIS->rcItem;
    Line(lpDIS->hDC, r.right - 2, 2, r.right - 2, r.bottom - 2, m_clrShadow);
    Line(lpDIS->hDC, r.right - 1, 2, r.right - 1, r.bottom - 2, m_clrHighlight);
}

// ---- CXTHeaderThemeV2

CXTHeaderThemeV2::CXTHeaderThemeV2()
{
    m_dwDrawStyle = HDR_XTP_SORTARROW;
    m_nTextMargin = 3;
    m_nTextTop = 2;
    m_nThemeId = xtControlThemeWindowsXP;
}

void CXTHeaderThemeV2::DrawBackground(LPDRAWITEMSTRUCT lpDIS)
{
    HDC hDC = lpDIS->hDC;
    RECT rc = lpDIS->rcItem;
    Fill(hDC, rc, m_clrFace);
    rc.right += 2;
    Frame(hDC, rc, m_clrHighlight, Shade(m_clrFace, m_clrShadow, 60));
    Line(hDC, rc.left, rc.bottom - 2, rc.right, rc.bottom - 2, Shade(m_clrFace, m_clrShadow, 40));
    Line(hDC, rc.left, rc.bottom - 3, rc.right, rc.bottom - 3, Shade(m_clrFace, m_clrShadow, 25));
}

void CXTHeaderThemeV2::DrawItemEdge(LPDRAWITEMSTRUCT lpDIS)
{
    const RECT& r = lpDIS->rcItem;
    Line(lpDIS->hDC, r.right - 2, 2, r.right - 2, r.bottom - 4, m_clrShadow);
    Line(lpDIS->hDC, r.right - 1, 2, r.right - 1, r.bottom - 4, m_clrHighlight);
}

BOOL CXTHeaderThemeV2::Layout(HDLAYOUT* pLayout, CXTThemedHeader* pHeader)
{
    HWND hHeader = pHeader ? pHeader->GetHeaderHwnd() : nullptr;
    if (!hHeader || !pLayout || !pLayout->prc || !pLayout->pwpos)
        return FALSE;
    TEXTMETRICW tm = {};
    {
        CScopedWindowDC dc(hHeader);
        CScopedSelect font(dc, reinterpret_cast<HFONT>(SendMessageW(hHeader, WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc, &tm);
    }

    const int nHeight = tm.tmHeight + 10;
    RECT* prc = pLayout->prc;
    WINDOWPOS* pwpos = pLayout->pwpos;
    pwpos->hwnd = hHeader;
    pwpos->hwndInsertAfter = nullptr;
    pwpos->x = prc->left;
    pwpos->y = prc->top;
    pwpos->cx = prc->right - prc->left;
    pwpos->cy = nHeight;
    pwpos->flags = SWP_NOZORDER | SWP_NOACTIVATE;
    prc->top += nHeight;
    return TRUE;
}
