#include "companions/XHeaderCtrl.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/WndMsgMap.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CXHeaderCtrl, CHeaderCtrl)

BEGIN_MESSAGE_MAP(CXHeaderCtrl, CHeaderCtrl)
ON_WM_PAINT()
ON_WM_SYSCOLORCHANGE()
ON_MESSAGE(HDM_SETIMAGELIST, OnSetImageList)
ON_MESSAGE(HDM_LAYOUT, OnLayout)
END_MESSAGE_MAP()

CXHeaderCtrl::CXHeaderCtrl()
{
    ReadColours();
}

CXHeaderCtrl::~CXHeaderCtrl() = default;

void CXHeaderCtrl::ReadColours()
{
    m_crHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_crFace = ::GetSysColor(COLOR_BTNFACE);
    m_crText = ::GetSysColor(COLOR_BTNTEXT);
}

void CXHeaderCtrl::OnSysColorChange()
{
    Default();
    ReadColours();
    Invalidate();
}

LRESULT CXHeaderCtrl::OnSetImageList(WPARAM, LPARAM lParam)
{
    int cx = 0;
    int cy = 0;
    if (lParam && ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(lParam), &cx, &cy))
        m_sizeImage = CSize(cx, cy);
    else
        m_sizeImage = CSize(0, 0);
    return Default();
}

LRESULT CXHeaderCtrl::OnLayout(WPARAM, LPARAM lParam)
{
    const LRESULT result = Default();
    auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
    if (result && layout && layout->pwpos && m_rcLayout.left != 0)
        layout->pwpos->cy += 2 * ::GetSystemMetrics(SM_CXBORDER);
    return result;
}

void CXHeaderCtrl::OnPaint()
{
    // A device context handed in the message (a test's or a parent's print) is painted as it is.
    const HDC hGiven = reinterpret_cast<HDC>(GetCurrentMessage()->wParam);
    if (hGiven) {
        PaintInto(hGiven);
        return;
    }
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    if (!m_bDoubleBuffer) {
        PaintInto(hDC);
    } else {
        CRect rcClient;
        GetClientRect(&rcClient);
        CScopedCreatedDC memory(::CreateCompatibleDC(hDC));
        CScopedBitmap bitmap(::CreateCompatibleBitmap(hDC, std::max(1, rcClient.Width()), std::max(1, rcClient.Height())));
        if (memory && bitmap) {
            CScopedSelect select(memory, bitmap);
            PaintInto(memory);
            ::BitBlt(hDC, 0, 0, rcClient.Width(), rcClient.Height(), memory, 0, 0, SRCCOPY);
        } else {
            PaintInto(hDC);
        }
    }
    ::EndPaint(m_hWnd, &ps);
}

void CXHeaderCtrl::PaintInto(HDC hDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    CScopedBrush face(::CreateSolidBrush(m_crFace));
    ::FillRect(hDC, &rcClient, face);
    const HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    CScopedSelect font(hDC, hFont ? static_cast<HGDIOBJ>(hFont) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkColor(hDC, m_crFace);
    ::SetTextColor(hDC, m_crText);

    const HIMAGELIST hImages = reinterpret_cast<HIMAGELIST>(SendMessage(HDM_GETIMAGELIST));
    CScopedPenHandle shadow(::CreatePen(PS_SOLID, 1, m_crShadow));
    CScopedPenHandle highlight(::CreatePen(PS_SOLID, 1, m_crHighlight));
    const int nCount = GetItemCount();
    int nTotal = 0;
    for (int nOrder = 0; nOrder < nCount; ++nOrder) {
        const int nIndex = OrderToIndex(nOrder);
        CRect rc;
        if (!GetItemRect(nIndex, &rc))
            continue;
        nTotal += rc.Width();
        HDITEMW item{};
        item.mask = HDI_FORMAT | HDI_LPARAM;
        GetItem(nIndex, &item);
        if (item.fmt & HDF_OWNERDRAW) {
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_HEADER;
            dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
            dis.itemID = static_cast<UINT>(nIndex);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.hwndItem = m_hWnd;
            dis.hDC = hDC;
            dis.rcItem = rc;
            dis.itemData = static_cast<ULONG_PTR>(item.lParam);
            DrawItem(&dis);
        } else {
            CRect inner = rc;
            inner.DeflateRect(m_nSpace, 0);
            DrawColumn(hDC, nIndex, inner, hImages);
        }
        if (nOrder < nCount - 1) {
            CScopedSelect pen(hDC, shadow);
            ::MoveToEx(hDC, rc.right - 1, rc.top + 2, nullptr);
            ::LineTo(hDC, rc.right - 1, rc.bottom - 2);
            ::SelectObject(hDC, highlight);
            ::MoveToEx(hDC, rc.right, rc.top + 2, nullptr);
            ::LineTo(hDC, rc.right, rc.bottom - 2);
        }
    }
    if (nTotal > 0) {
        CRect frame(rcClient.left, rcClient.top, rcClient.left + nTotal, rcClient.bottom);
        CDC::FromHandle(hDC)->Draw3dRect(&frame, m_crHighlight, m_crShadow);
    }
}

void CXHeaderCtrl::DrawColumn(HDC hDC, int nIndex, CRect rc, HIMAGELIST hImages)
{
    WCHAR text[161] = L"";
    HDITEMW item{};
    item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_LPARAM | HDI_BITMAP | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = 160;
    if (!GetItem(nIndex, &item))
        return;

    if ((item.fmt & HDF_IMAGE) && hImages && item.iImage >= 0 && rc.Width() > 0) {
        const int width = std::min<int>(m_sizeImage.cx, rc.Width());
        const int top = rc.top + (rc.Height() - m_sizeImage.cy) / 2;
        const COLORREF previous = ImageList_SetBkColor(hImages, ::GetBkColor(hDC));
        ImageList_DrawEx(hImages, item.iImage, hDC, rc.left, top, width, m_sizeImage.cy, CLR_DEFAULT, CLR_DEFAULT,
                         ILD_NORMAL);
        ImageList_SetBkColor(hImages, previous);
        rc.left += m_sizeImage.cx + m_nSpace;
    }
    if ((item.fmt & HDF_BITMAP) && item.hbm) {
        BITMAP info{};
        if (::GetObjectW(item.hbm, sizeof(info), &info) && rc.Width() >= info.bmWidth) {
            CScopedCreatedDC source(::CreateCompatibleDC(hDC));
            CScopedSelect select(source, item.hbm);
            ::BitBlt(hDC, rc.right - info.bmWidth, rc.top + (rc.Height() - info.bmHeight) / 2, info.bmWidth,
                     info.bmHeight, source, 0, 0, SRCCOPY);
            rc.right -= info.bmWidth + m_nSpace;
        }
    }
    if ((item.fmt & HDF_STRING) && text[0]) {
        const COLORREF previous = ::SetTextColor(hDC, kTextColour);
        const int mode = ::SetBkMode(hDC, TRANSPARENT);
        ::DrawTextW(hDC, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        ::SetBkMode(hDC, mode);
        ::SetTextColor(hDC, previous);
    }
}
