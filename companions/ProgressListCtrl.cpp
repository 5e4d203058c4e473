#include "companions/ProgressListCtrl.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/WndMsgMap.h"

#include <algorithm>

const UINT WM_XLISTCTRL_COMBO_SELECTION = ::RegisterWindowMessageW(L"WM_XLISTCTRL_COMBO_SELECTION");
const UINT WM_XLISTCTRL_CHECKBOX_CLICKED = ::RegisterWindowMessageW(L"WM_XLISTCTRL_CHECKBOX_CLICKED");

namespace {

const COLORREF kDefault = static_cast<COLORREF>(-1);
const COLORREF kProgressInside = RGB(0xE0, 0xE0, 0xE0);

void Fill(HDC hDC, const RECT& rc, COLORREF colour)
{
    ::SetBkColor(hDC, colour);
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void Line(HDC hDC, int x1, int y1, int x2, int y2)
{
    ::MoveToEx(hDC, x1, y1, nullptr);
    ::LineTo(hDC, x2, y2);
}

} // namespace

IMPLEMENT_DYNAMIC(CProgressListCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(CProgressListCtrl, CListCtrl)
ON_NOTIFY_REFLECT_EX(NM_CLICK, OnClick)
ON_NOTIFY_REFLECT_EX(LVN_COLUMNCLICK, OnColumnClick)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
ON_WM_CREATE()
ON_WM_SYSCOLORCHANGE()
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
ON_WM_LBUTTONDOWN()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_MESSAGE(WM_SETREDRAW, OnSetRedraw)
END_MESSAGE_MAP()

CProgressListCtrl::CProgressListCtrl()
{
    ReadColours();
}

CProgressListCtrl::~CProgressListCtrl() = default;

void CProgressListCtrl::ReadColours()
{
    m_cr3DFace = ::GetSysColor(COLOR_3DFACE);
    m_cr3DHighLight = ::GetSysColor(COLOR_3DHIGHLIGHT);
    m_cr3DShadow = ::GetSysColor(COLOR_3DSHADOW);
    m_crBtnFace = ::GetSysColor(COLOR_BTNFACE);
    m_crBtnShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_crBtnText = ::GetSysColor(COLOR_BTNTEXT);
    m_crGrayText = ::GetSysColor(COLOR_GRAYTEXT);
    m_crHighLight = ::GetSysColor(COLOR_HIGHLIGHT);
    m_crHighLightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_crWindow = ::GetSysColor(COLOR_WINDOW);
    m_crWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
}

// ---- Records

CProgressListCtrl::CRow* CProgressListCtrl::RowOf(int nItem) const
{
    if (nItem < 0 || nItem >= GetItemCount())
        return nullptr;
    return reinterpret_cast<CRow*>(CListCtrl::GetItemData(nItem));
}

CProgressCell* CProgressListCtrl::CellOf(int nItem, int nSubItem) const
{
    CRow* row = RowOf(nItem);
    if (!row || nSubItem < 0 || nSubItem >= static_cast<int>(row->size()))
        return nullptr;
    return &(*row)[static_cast<size_t>(nSubItem)];
}

const CProgressCell* CProgressListCtrl::GetCell(int nItem, int nSubItem) const
{
    return CellOf(nItem, nSubItem);
}

void CProgressListCtrl::FreeRow(int nItem)
{
    delete RowOf(nItem);
    CListCtrl::SetItemData(nItem, 0);
}

void CProgressListCtrl::FreeAllRows()
{
    if (!GetSafeHwnd())
        return;
    for (int i = GetItemCount() - 1; i >= 0; --i)
        FreeRow(i);
}

int CProgressListCtrl::InsertItem(int nItem, LPCWSTR lpszText, COLORREF crText, COLORREF crBackground)
{
    const int nColumns = m_HeaderCtrl.GetSafeHwnd() ? m_HeaderCtrl.GetItemCount() : 0;
    if (nColumns <= 0)
        return -1;
    const int nIndex = CListCtrl::InsertItem(nItem, lpszText);
    if (nIndex < 0)
        return nIndex;
    auto* row = new CRow(static_cast<size_t>(nColumns));
    for (CProgressCell& cell : *row) {
        cell.crText = m_crWindowText;
        cell.crBackground = m_crWindow;
    }
    (*row)[0].crText = crText == kDefault ? m_crWindowText : crText;
    (*row)[0].crBackground = crBackground == kDefault ? m_crWindow : crBackground;
    CListCtrl::SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(row));
    return nIndex;
}

BOOL CProgressListCtrl::DeleteItem(int nItem)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    FreeRow(nItem);
    return CListCtrl::DeleteItem(nItem);
}

BOOL CProgressListCtrl::DeleteAllItems()
{
    FreeAllRows();
    const BOOL result = CListCtrl::DeleteAllItems();
    Invalidate();
    return result;
}

BOOL CProgressListCtrl::SetCellText(int nItem, int nSubItem, LPCWSTR lpszText, COLORREF crText,
                                    COLORREF crBackground)
{
    CProgressCell* cell = CellOf(nItem, nSubItem);
    if (!cell)
        return FALSE;
    BOOL result = TRUE;
    if (lpszText)
        result = CListCtrl::SetItemText(nItem, nSubItem, lpszText);
    cell->crText = crText == kDefault ? m_crWindowText : crText;
    cell->crBackground = crBackground == kDefault ? m_crWindow : crBackground;
    RedrawCell(nItem, nSubItem);
    return result;
}

BOOL CProgressListCtrl::SetProgressCell(int nItem, int nSubItem, BOOL bShowProgressText, LPCWSTR lpszProgressText)
{
    CProgressCell* cell = CellOf(nItem, nSubItem);
    if (!cell)
        return FALSE;
    cell->bShowProgress = TRUE;
    cell->nProgressPercent = 0;
    cell->bShowProgressText = bShowProgressText;
    cell->strProgressText = lpszProgressText ? lpszProgressText : L"";
    RedrawCell(nItem, nSubItem);
    return TRUE;
}

BOOL CProgressListCtrl::SetCellProgress(int nItem, int nSubItem, int nPercent)
{
    CProgressCell* cell = CellOf(nItem, nSubItem);
    if (!cell)
        return FALSE;
    nPercent = std::max(0, std::min(100, nPercent));
    if (cell->bShowProgress && cell->nProgressPercent == nPercent)
        return TRUE;
    cell->bShowProgress = TRUE;
    cell->nProgressPercent = nPercent;
    if (!DrawCellNow(nItem, nSubItem))
        RedrawCell(nItem, nSubItem);
    return TRUE;
}

BOOL CProgressListCtrl::ClearCellProgress(int nItem, int nSubItem)
{
    CProgressCell* cell = CellOf(nItem, nSubItem);
    if (!cell)
        return FALSE;
    cell->bShowProgress = FALSE;
    cell->nProgressPercent = 0;
    RedrawCell(nItem, nSubItem);
    return TRUE;
}

BOOL CProgressListCtrl::SetCheckbox(int nItem, int nSubItem, int nCheckedState)
{
    CProgressCell* cell = CellOf(nItem, nSubItem);
    if (!cell || nCheckedState < -1 || nCheckedState > 1)
        return FALSE;
    cell->nCheckedState = nCheckedState;
    RedrawCell(nItem, nSubItem);
    return TRUE;
}

int CProgressListCtrl::GetCheckbox(int nItem, int nSubItem) const
{
    const CProgressCell* cell = CellOf(nItem, nSubItem);
    return cell ? cell->nCheckedState : -1;
}

BOOL CProgressListCtrl::SetEnabled(int nItem, BOOL bEnabled)
{
    CProgressCell* cell = CellOf(nItem, 0);
    if (!cell)
        return FALSE;
    cell->bEnabled = bEnabled;
    RedrawItems(nItem, nItem);
    return TRUE;
}

BOOL CProgressListCtrl::SetBold(int nItem, int nSubItem, BOOL bBold)
{
    CProgressCell* cell = CellOf(nItem, nSubItem);
    if (!cell)
        return FALSE;
    cell->bBold = bBold;
    RedrawCell(nItem, nSubItem);
    return TRUE;
}

BOOL CProgressListCtrl::SetCellImage(int nItem, int nSubItem, int nImage)
{
    CProgressCell* cell = CellOf(nItem, nSubItem);
    if (!cell)
        return FALSE;
    cell->nImage = nImage;
    RedrawCell(nItem, nSubItem);
    return TRUE;
}

BOOL CProgressListCtrl::SetCellToolTip(int nItem, int nSubItem, LPCWSTR lpszText)
{
    CProgressCell* cell = CellOf(nItem, nSubItem);
    if (!cell)
        return FALSE;
    cell->strToolTip = lpszText ? lpszText : L"";
    return TRUE;
}

DWORD_PTR CProgressListCtrl::GetRowData(int nItem) const
{
    const CProgressCell* cell = CellOf(nItem, 0);
    return cell ? cell->dwRowData : 0;
}

BOOL CProgressListCtrl::SetRowData(int nItem, DWORD_PTR dwData)
{
    CProgressCell* cell = CellOf(nItem, 0);
    if (!cell)
        return FALSE;
    cell->dwRowData = dwData;
    return TRUE;
}

int CProgressListCtrl::FindRowData(DWORD_PTR dwData) const
{
    const int nCount = GetItemCount();
    for (int i = 0; i < nCount; ++i)
        if (GetRowData(i) == dwData)
            return i;
    return -1;
}

int CProgressListCtrl::GetSelectedItem() const
{
    return GetNextItem(-1, LVNI_SELECTED);
}

// ---- Column check states

int CProgressListCtrl::GetHeaderCheckedState(int nSubItem) const
{
    HDITEMW item{};
    item.mask = HDI_IMAGE;
    if (!m_HeaderCtrl.GetSafeHwnd() || !m_HeaderCtrl.GetItem(nSubItem, &item))
        return 0;
    return item.iImage;
}

BOOL CProgressListCtrl::SetHeaderCheckedState(int nSubItem, int nCheckedState)
{
    if (!m_HeaderCtrl.GetSafeHwnd() || nCheckedState < 0 || nCheckedState > 2)
        return FALSE;
    HDITEMW item{};
    item.mask = HDI_IMAGE;
    item.iImage = nCheckedState;
    const BOOL result = m_HeaderCtrl.SetItem(nSubItem, &item);
    m_HeaderCtrl.Invalidate();
    return result;
}

int CProgressListCtrl::CountCheckedItems(int nSubItem) const
{
    int n = 0;
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetCheckbox(i, nSubItem) == 1)
            ++n;
    return n;
}

// ---- Window

void CProgressListCtrl::SubclassHeader()
{
    if (m_HeaderCtrl.GetSafeHwnd())
        return;
    const HWND hHeader = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    if (hHeader)
        m_HeaderCtrl.SubclassWindow(hHeader);
    EnableToolTips(TRUE);
}

void CProgressListCtrl::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    SubclassHeader();
}

int CProgressListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CListCtrl::OnCreate(lpCreateStruct) == -1)
        return -1;
    SubclassHeader();
    return 0;
}

void CProgressListCtrl::OnDestroy()
{
    FreeAllRows();
    Default();
}

void CProgressListCtrl::OnSysColorChange()
{
    Default();
    ReadColours();
    Invalidate();
}

BOOL CProgressListCtrl::GetCellRect(int nItem, int nSubItem, CRect& rect) const
{
    if (nItem < 0 || nItem >= GetItemCount() || nSubItem < 0)
        return FALSE;
    if (!GetSubItemRect(nItem, nSubItem, LVIR_BOUNDS, rect))
        return FALSE;
    if (nSubItem == 0 && m_HeaderCtrl.GetSafeHwnd() && m_HeaderCtrl.GetItemCount() > 1) {
        CRect next;
        if (GetSubItemRect(nItem, 1, LVIR_BOUNDS, next))
            rect.right = next.left;
    }
    return TRUE;
}

void CProgressListCtrl::RedrawCell(int nItem, int nSubItem)
{
    CRect rc;
    if (GetCellRect(nItem, nSubItem, rc))
        InvalidateRect(&rc, FALSE);
}

// A download's progress steps redraw one cell many times: through the list's own paint one cell costs nearly as
// much as a screenful of rows, so a step draws its cell at once where nothing else waits to be painted there.
bool CProgressListCtrl::DrawCellNow(int nItem, int nSubItem)
{
    if (!m_bRedraw || !IsWindowVisible())
        return false;
    // The focus rectangle is the list's to draw.
    if (::GetFocus() == m_hWnd && GetItemState(nItem, LVIS_FOCUSED))
        return false;
    CRect rc;
    if (!GetCellRect(nItem, nSubItem, rc))
        return false;
    CRect pending;
    if (::GetUpdateRect(m_hWnd, &pending, FALSE) && CRect().IntersectRect(&pending, &rc))
        return false;
    CRect client;
    GetClientRect(&client);
    if (m_HeaderCtrl.GetSafeHwnd() && m_HeaderCtrl.IsWindowVisible()) {
        CRect header;
        m_HeaderCtrl.GetWindowRect(&header);
        client.top += header.Height();
    }
    if (!CRect().IntersectRect(&client, &rc))
        return true;
    CScopedWindowDC dc(m_hWnd);
    if (!dc)
        return false;
    ::IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    COLORREF crText;
    COLORREF crBackground;
    CellColours(nItem, nSubItem, crText, crBackground);
    DrawCell(dc, nItem, nSubItem, crText, crBackground);
    return true;
}

void CProgressListCtrl::CellColours(int nItem, int nSubItem, COLORREF& crText, COLORREF& crBackground) const
{
    crText = m_crWindowText;
    crBackground = m_crWindow;
    if (const CProgressCell* cell = CellOf(nItem, nSubItem)) {
        const CProgressCell* first = CellOf(nItem, 0);
        crText = first && !first->bEnabled ? m_crGrayText : cell->crText;
        crBackground = cell->crBackground;
    }
    if (GetItemState(nItem, LVIS_SELECTED) && ((GetExtendedStyle() & LVS_EX_FULLROWSELECT) || nSubItem == 0)) {
        if (::GetFocus() == m_hWnd) {
            crText = m_crHighLightText;
            crBackground = m_crHighLight;
        } else if (GetStyle() & LVS_SHOWSELALWAYS) {
            crText = m_crWindowText;
            crBackground = m_crBtnFace;
        }
    }
}

LRESULT CProgressListCtrl::OnSetRedraw(WPARAM wParam, LPARAM /*lParam*/)
{
    m_bRedraw = wParam != FALSE;
    return Default();
}

// ---- Drawing

HFONT CProgressListCtrl::BoldFont()
{
    const HFONT hBase = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (m_fontBold.GetSafeHandle() && hBase == m_hBoldBase)
        return m_fontBold;
    LOGFONTW lf{};
    ::GetObjectW(hBase ? static_cast<HGDIOBJ>(hBase) : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfWeight = FW_BOLD;
    m_fontBold.DeleteObject();
    m_fontBold.CreateFontIndirect(&lf);
    m_hBoldBase = hBase;
    return m_fontBold;
}

void CProgressListCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *pResult = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT:
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        break;
    default:
        return;
    }
    const int nItem = static_cast<int>(draw->nmcd.dwItemSpec);
    const int nSubItem = draw->iSubItem;
    COLORREF crText;
    COLORREF crBackground;
    CellColours(nItem, nSubItem, crText, crBackground);
    DrawCell(draw->nmcd.hdc, nItem, nSubItem, crText, crBackground);
    *pResult = CDRF_SKIPDEFAULT;
}

void CProgressListCtrl::DrawCell(HDC hDC, int nItem, int nSubItem, COLORREF crText, COLORREF crBackground)
{
    CRect rc;
    if (!GetCellRect(nItem, nSubItem, rc))
        return;
    const CProgressCell* cell = CellOf(nItem, nSubItem);
    const CProgressCell plain;
    const CProgressCell& record = cell ? *cell : plain;
    const int saved = ::SaveDC(hDC);
    if (record.bShowProgress)
        DrawProgress(hDC, record, rc, crText, crBackground);
    else if (record.nCheckedState != -1)
        DrawCheckbox(hDC, nItem, nSubItem, record, rc, crText, crBackground);
    else
        DrawText(hDC, nItem, nSubItem, record, rc, crText, crBackground);
    ::RestoreDC(hDC, saved);
}

void CProgressListCtrl::DrawProgress(HDC hDC, const CProgressCell& cell, CRect rc, COLORREF crText,
                                     COLORREF crBackground)
{
    Fill(hDC, rc, crBackground);
    rc.bottom -= 1;
    rc.left += 1;
    rc.right -= 2;
    if (rc.Width() <= 2 || rc.Height() <= 2)
        return;
    CScopedBrush frame(::CreateSolidBrush(m_crBtnShadow));
    ::FrameRect(hDC, &rc, frame);
    CRect inside = rc;
    inside.DeflateRect(1, 1);
    Fill(hDC, inside, kProgressInside);
    {
        CScopedSelect pen(hDC, ::GetStockObject(BLACK_PEN));
        Line(hDC, inside.left, inside.bottom - 1, inside.left, inside.top);
        Line(hDC, inside.left, inside.top, inside.right, inside.top);
    }
    const int nValue = cell.nProgressPercent;
    if (nValue <= 0)
        return;
    CRect bar(rc.left + 2, rc.top + 2, rc.left + 2 + (rc.Width() - 2) * nValue / 100, rc.bottom);
    bar.right = std::min(bar.right, inside.right);
    bar.bottom = inside.bottom;
    Fill(hDC, bar, m_crHighLight);
    if (!cell.bShowProgressText)
        return;

    CString text;
    text.Format(cell.strProgressText.IsEmpty() ? L"%d%%" : cell.strProgressText.GetString(), nValue);
    CRect rcText = rc;
    rcText.DeflateRect(1, 1);
    rcText.top += 1;
    ::SetBkMode(hDC, TRANSPARENT);
    const HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    CScopedSelect font(hDC, hFont);
    // The part over the bar in the cell's background colour, the rest in its text colour.
    CScopedRegion overBar(::CreateRectRgnIndirect(&bar));
    ::SelectClipRgn(hDC, overBar);
    ::SetTextColor(hDC, crBackground);
    ::DrawTextW(hDC, text, -1, &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    CRect rest(bar.right, rc.top, rc.right, rc.bottom);
    CScopedRegion restRegion(::CreateRectRgnIndirect(&rest));
    ::SelectClipRgn(hDC, restRegion);
    ::SetTextColor(hDC, crText);
    ::DrawTextW(hDC, text, -1, &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SelectClipRgn(hDC, nullptr);
}

void CProgressListCtrl::DrawCheckbox(HDC hDC, int nItem, int nSubItem, const CProgressCell& cell, CRect rc,
                                     COLORREF crText, COLORREF crBackground)
{
    Fill(hDC, rc, crBackground);
    const CString text = GetItemText(nItem, nSubItem);
    const int side = rc.Height() - 1;
    CRect box(rc.left + 9, rc.top, rc.left + 9 + side, rc.top + side);
    if (text.IsEmpty())
        box.OffsetRect((rc.Width() - side) / 2 - 9, 0);
    Fill(hDC, box, m_crWindow);
    ::DrawEdge(hDC, &box, EDGE_SUNKEN, BF_RECT);
    if (cell.nCheckedState == 1) {
        const CProgressCell* first = CellOf(nItem, 0);
        const COLORREF tick = first && !first->bEnabled ? m_crGrayText : RGB(0, 0, 0);
        CScopedPenHandle pen(::CreatePen(PS_SOLID, 1, tick));
        CScopedSelect selected(hDC, pen);
        int x = box.left + (box.Width() - 7) / 2;
        int y = box.top + (box.Height() - 7) / 2 + 2;
        for (int i = 0; i < 4; ++i, ++x, ++y)
            Line(hDC, x, y, x, y + 3);
        y -= 2;
        for (int i = 0; i < 3; ++i, ++x, --y)
            Line(hDC, x, y, x, y + 3);
    }
    if (!text.IsEmpty()) {
        CRect rcText(box.right + 4, rc.top, rc.right, rc.bottom);
        ::SetBkMode(hDC, TRANSPARENT);
        ::SetTextColor(hDC, crText);
        const HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        CScopedSelect font(hDC, hFont);
        ::DrawTextW(hDC, text, -1, &rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
}

void CProgressListCtrl::DrawText(HDC hDC, int nItem, int nSubItem, const CProgressCell& cell, CRect rc,
                                 COLORREF crText, COLORREF crBackground)
{
    Fill(hDC, rc, crBackground);
    if (cell.nImage != -1) {
        const HIMAGELIST hImages = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
        int cx = 0;
        int cy = 0;
        if (hImages && ImageList_GetIconSize(hImages, &cx, &cy)) {
            const int saved = ::SaveDC(hDC);
            ::IntersectClipRect(hDC, rc.left, rc.top, rc.right, rc.bottom);
            ImageList_Draw(hImages, cell.nImage, hDC, rc.left, rc.top + (rc.Height() - cy) / 2, ILD_TRANSPARENT);
            ::RestoreDC(hDC, saved);
            rc.left += cx;
        }
    }
    const CString text = GetItemText(nItem, nSubItem);
    if (text.IsEmpty())
        return;
    LVCOLUMNW column{};
    column.mask = LVCF_FMT;
    UINT align = DT_LEFT;
    if (GetColumn(nSubItem, &column)) {
        const int fmt = column.fmt & LVCFMT_JUSTIFYMASK;
        align = fmt == LVCFMT_CENTER ? DT_CENTER : fmt == LVCFMT_RIGHT ? DT_RIGHT : DT_LEFT;
    }
    rc.left += 1;
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, crText);
    const HFONT hFont = cell.bBold ? BoldFont() : reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    CScopedSelect font(hDC, hFont);
    ::DrawTextW(hDC, text, -1, &rc, align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void CProgressListCtrl::OnPaint()
{
    const HDC hGiven = reinterpret_cast<HDC>(GetCurrentMessage()->wParam);
    Default();
    if (GetItemCount() > 0)
        return;
    if (hGiven) {
        DrawEmptyText(hGiven);
    } else {
        CScopedWindowDC dc(m_hWnd);
        DrawEmptyText(dc);
    }
}

void CProgressListCtrl::DrawEmptyText(HDC hDC)
{
    CRect rc;
    GetClientRect(&rc);
    if (m_HeaderCtrl.GetSafeHwnd()) {
        CRect header;
        m_HeaderCtrl.GetWindowRect(&header);
        rc.top += header.Height();
    }
    rc.top += 10;
    if (rc.IsRectEmpty())
        return;
    Fill(hDC, rc, m_crWindow);
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, m_crWindowText);
    CScopedSelect font(hDC, ::GetStockObject(ANSI_VAR_FONT));
    ::DrawTextW(hDC, EmptyText(), -1, &rc, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
}

// ---- Clicks

void CProgressListCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    int nItem = -1;
    const int nCount = GetItemCount();
    for (int i = GetTopIndex(); i >= 0 && i < nCount; ++i) {
        CRect rc;
        if (GetItemRect(i, &rc, LVIR_BOUNDS) && rc.PtInRect(point)) {
            nItem = i;
            break;
        }
    }
    if (nItem < 0) {
        Default();
        return;
    }
    const CProgressCell* first = CellOf(nItem, 0);
    if (first && !first->bEnabled)
        return;
    const int nColumns = m_HeaderCtrl.GetSafeHwnd() ? m_HeaderCtrl.GetItemCount() : 0;
    for (int nSubItem = 0; nSubItem < nColumns; ++nSubItem) {
        CRect rc;
        if (!GetCellRect(nItem, nSubItem, rc) || !rc.PtInRect(point))
            continue;
        CProgressCell* cell = CellOf(nItem, nSubItem);
        if (!cell || cell->nCheckedState == -1)
            break;
        cell->nCheckedState = cell->nCheckedState == 1 ? 0 : 1;
        RedrawCell(nItem, nSubItem);
        CWnd* target = GetParent();
        const HWND hTarget = target ? target->GetSafeHwnd() : ::GetWindow(m_hWnd, GW_OWNER);
        ::SendMessageW(hTarget, WM_XLISTCTRL_CHECKBOX_CLICKED, static_cast<WPARAM>(nItem),
                       static_cast<LPARAM>(nSubItem));
        if (GetHeaderCheckedState(nSubItem) != 0)
            SetHeaderCheckedState(nSubItem, CountCheckedItems(nSubItem) == GetItemCount() ? 2 : 1);
        break;
    }
    CListCtrl::OnLButtonDown(nFlags, point);
}

BOOL CProgressListCtrl::OnClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    return FALSE;
}

BOOL CProgressListCtrl::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const int nSubItem = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem;
    const int nState = GetHeaderCheckedState(nSubItem);
    if (nState == 0)
        return FALSE;
    const int nNew = nState == 1 ? 2 : 1;
    SetHeaderCheckedState(nSubItem, nNew);
    for (int i = 0; i < GetItemCount(); ++i) {
        CProgressCell* cell = CellOf(i, nSubItem);
        if (cell && cell->nCheckedState != -1) {
            cell->nCheckedState = nNew == 2 ? 1 : 0;
            RedrawCell(i, nSubItem);
        }
    }
    return FALSE;
}

// ---- Tool tips

INT_PTR CProgressListCtrl::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    LVHITTESTINFO hit{};
    hit.pt = point;
    const int nItem = static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (nItem < 0 || hit.iSubItem < 0)
        return -1;
    const INT_PTR nId = static_cast<INT_PTR>(nItem) * 1000 + hit.iSubItem + 1;
    if (pTI) {
        pTI->hwnd = m_hWnd;
        pTI->uId = static_cast<UINT_PTR>(nId);
        pTI->lpszText = LPSTR_TEXTCALLBACK;
        GetClientRect(&pTI->rect);
    }
    return nId;
}

BOOL CProgressListCtrl::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const UINT_PTR nId = pNMHDR->idFrom;
    if (nId == 0 || pNMHDR->hwndFrom == m_hWnd)
        return FALSE;
    const int nItem = static_cast<int>((nId - 1) / 1000);
    const int nSubItem = static_cast<int>((nId - 1) % 1000);
    const CProgressCell* cell = CellOf(nItem, nSubItem);
    if (!cell || cell->strToolTip.IsEmpty())
        return FALSE;
    const CString text = cell->strToolTip.Left(79);
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
        ::WideCharToMultiByte(CP_ACP, 0, text, -1, info->szText, static_cast<int>(sizeof(info->szText)), nullptr,
                              nullptr);
        info->szText[sizeof(info->szText) - 1] = 0;
        info->lpszText = info->szText;
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
        lstrcpynW(info->szText, text, _countof(info->szText));
        info->lpszText = info->szText;
    }
    return TRUE;
}
