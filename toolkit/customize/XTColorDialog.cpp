// The colour dialog: the sheet, its layout with the buttons in a column on the right, and the swatch.
#include "toolkit/customize/XTColorDialog.h"

#include "framework/win/Dc.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/customize/CustomizeResource.h"
#include "toolkit/customize/XTColorPageCustom.h"
#include "toolkit/customize/XTColorPageStandard.h"
#include "toolkit/base/ToolkitMessages.h"

namespace {

// Gaps of the layout, in pixels.
constexpr int kColumnGap = 5;     // between the tab control and the button column, and between the buttons
constexpr int kBottomMargin = 10; // under the tab control
constexpr int kHexHeight = 18;
// The swatch spans from 98 to 32 pixels above the client area's bottom, a 22-pixel label band on either side.
constexpr int kSwatchTop = 98;
constexpr int kSwatchBottom = 32;
constexpr int kLabelBand = 22;

CString LoadToolkitString(UINT nID)
{
    CString text;
    XTGetResourceHolder()->LoadString(&text, nID);
    return text;
}

CFont* DialogFont()
{
    return &GetToolkitGlobals()->m_fonts[CXTPToolkitGlobals::fontRegular];
}

// The swatch's upper half, which shows the new colour.
CRect NewColorRect(const CRect& rcSwatch)
{
    return CRect(rcSwatch.left, rcSwatch.top, rcSwatch.right, rcSwatch.top + rcSwatch.Height() / 2);
}

CRect ChildRect(const CWnd* pParent, HWND hWndChild)
{
    CRect rect;
    ::GetWindowRect(hWndChild, &rect);
    ::MapWindowPoints(nullptr, pParent->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

IMPLEMENT_DYNAMIC(CXTColorDialog, CPropertySheet)

BEGIN_MESSAGE_MAP(CXTColorDialog, CPropertySheet)
ON_WM_CREATE()
ON_WM_PAINT()
END_MESSAGE_MAP()

CXTColorDialog::CXTColorDialog(COLORREF clrNew, COLORREF clrCurrent, DWORD dwStyle, CWnd* pParentWnd)
    : CPropertySheet(LoadToolkitString(XT_IDS_COLOR_CAPTION).GetString(), pParentWnd), m_dwStyle(dwStyle),
      m_clrNew(clrNew), m_clrCurrent(clrCurrent), m_pPageStandard(nullptr), m_pPageCustom(nullptr)
{
    m_psh.dwFlags &= ~PSH_HASHELP;
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    m_pPageStandard = new CXTColorPageStandard(this);
    m_pPageCustom = new CXTColorPageCustom(this);
    AddPage(m_pPageStandard);
    AddPage(m_pPageCustom);
}

CXTColorDialog::~CXTColorDialog()
{
    for (int i = 0; i < GetPageCount(); ++i)
        delete GetPage(i);
}

CString CXTColorDialog::FormatHexText(COLORREF clr)
{
    CString text;
    text.Format(L"Hex=%02X%02X%02X", GetRValue(clr), GetGValue(clr), GetBValue(clr));
    return text;
}

int CXTColorDialog::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CPropertySheet::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (m_dwStyle & styleShowHex) {
        m_editHex.CreateEx(WS_EX_STATICEDGE, L"EDIT", FormatHexText(m_clrNew), WS_CHILD | WS_VISIBLE | ES_READONLY,
                           CRect(0, 0, 0, 0), this, XT_IDC_COLOR_HEX);
        m_editHex.SetFont(DialogFont());
    }
    m_pPageStandard->m_picker.SetColor(m_clrNew);
    return 0;
}

BOOL CXTColorDialog::OnInitDialog()
{
    const BOOL bResult = CPropertySheet::OnInitDialog();
    CTabCtrl* pTab = GetTabControl();
    HWND hWndOK = ::GetDlgItem(m_hWnd, IDOK);
    HWND hWndCancel = ::GetDlgItem(m_hWnd, IDCANCEL);
    if (pTab == nullptr || pTab->m_hWnd == nullptr || hWndOK == nullptr || hWndCancel == nullptr)
        return bResult;

    // OK and Cancel leave the row under the pages for a column on their right, at the height of the pages,
    // and the row's space goes.
    CRect rcClient;
    GetClientRect(&rcClient);
    const CRect rcTab = FitTabToPages(pTab);
    const CRect rcOK = ChildRect(this, hWndOK);
    const CRect rcCancel = ChildRect(this, hWndCancel);
    CRect rcItem(0, 0, 0, 0);
    pTab->GetItemRect(0, &rcItem);
    const int cxMargin = rcClient.right - rcCancel.right;
    const int x = rcTab.right + kColumnGap;
    int y = rcTab.top + rcItem.Height() + 1;
    ::MoveWindow(hWndOK, x, y, rcCancel.Width(), rcOK.Height(), TRUE);
    y += rcOK.Height() + kColumnGap;
    ::MoveWindow(hWndCancel, x, y, rcCancel.Width(), rcCancel.Height(), TRUE);
    y += rcCancel.Height() + kColumnGap;
    if (m_editHex.m_hWnd != nullptr)
        m_editHex.MoveWindow(x, y, rcCancel.Width(), kHexHeight);

    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const int cx = rcWindow.Width() + (x + rcCancel.Width() + cxMargin - rcClient.right);
    const int cy = rcWindow.Height() + (rcTab.bottom + kBottomMargin - rcClient.bottom);
    SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return bResult;
}

BOOL CXTColorDialog::PreTranslateMessage(MSG* pMsg)
{
    // The pages draw their labels themselves, so the dialog keys no longer find the labels' mnemonics.
    if (pMsg->message == WM_SYSCHAR && m_hWnd != nullptr && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        auto* pPage = dynamic_cast<CXTThemePropertyPage*>(GetActivePage());
        if (pPage != nullptr && pPage->HandleMnemonic(static_cast<UINT>(pMsg->wParam)))
            return TRUE;
    }
    return CPropertySheet::PreTranslateMessage(pMsg);
}

CRect CXTColorDialog::FitTabToPages(CTabCtrl* pTab)
{
    // The sheet made the tab control, and the page in it, as wide as its row of buttons.
    CRect rcTab = ChildRect(this, pTab->m_hWnd);
    CPropertyPage* pPage = GetActivePage();
    if (pPage == nullptr || pPage->m_hWnd == nullptr)
        return rcTab;
    CRect rcPage(0, 0, XT_COLOR_PAGE_CX, XT_COLOR_PAGE_CY);
    ::MapDialogRect(pPage->m_hWnd, &rcPage);
    rcPage.OffsetRect(ChildRect(this, pPage->m_hWnd).TopLeft());
    CRect rcFit = rcPage;
    pTab->AdjustRect(TRUE, &rcFit);
    if (rcFit.right < rcTab.right) {
        rcTab.right = rcFit.right;
        pTab->MoveWindow(&rcTab);
        pPage->MoveWindow(&rcPage);
    }
    return rcTab;
}

CRect CXTColorDialog::GetSwatchRect() const
{
    HWND hWndCancel = m_hWnd != nullptr ? ::GetDlgItem(m_hWnd, IDCANCEL) : nullptr;
    if (hWndCancel == nullptr)
        return CRect(0, 0, 0, 0);
    CRect rcClient;
    GetClientRect(&rcClient);
    const CRect rcCancel = ChildRect(this, hWndCancel);
    return CRect(rcCancel.left, rcClient.bottom - kSwatchTop, rcCancel.right, rcClient.bottom - kSwatchBottom);
}

void CXTColorDialog::OnPaint()
{
    CPaintDC dc(this);
    DrawSwatch(&dc);
}

void CXTColorDialog::DrawSwatch(CDC* pDC)
{
    const CRect rcSwatch = GetSwatchRect();
    if (rcSwatch.IsRectEmpty())
        return;
    const int nSaved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    pDC->SelectObject(DialogFont());

    CRect rcFrame = rcSwatch;
    if (m_dwStyle & styleSunkenSwatch) {
        rcFrame.InflateRect(2, 2);
        pDC->DrawEdge(&rcFrame, EDGE_SUNKEN, BF_RECT);
    } else {
        rcFrame.InflateRect(1, 1);
        pDC->Draw3dRect(&rcFrame, ::GetSysColor(COLOR_WINDOWFRAME), ::GetSysColor(COLOR_WINDOWFRAME));
    }
    CRect rcNewLabel(rcSwatch.left, rcFrame.top - kLabelBand, rcSwatch.right, rcFrame.top);
    pDC->DrawText(LoadToolkitString(XT_IDS_COLOR_NEW), &rcNewLabel, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    CRect rcCurrentLabel(rcSwatch.left, rcFrame.bottom, rcSwatch.right, rcFrame.bottom + kLabelBand);
    pDC->DrawText(LoadToolkitString(XT_IDS_COLOR_CURRENT), &rcCurrentLabel, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    const CRect rcNew = NewColorRect(rcSwatch);
    pDC->FillSolidRect(&rcNew, m_clrNew);
    pDC->FillSolidRect(rcSwatch.left, rcNew.bottom, rcSwatch.Width(), rcSwatch.bottom - rcNew.bottom, m_clrCurrent);
    pDC->RestoreDC(nSaved);
}

void CXTColorDialog::SetNewColor(COLORREF clr, BOOL bNotify)
{
    m_clrNew = clr;
    if (m_hWnd == nullptr)
        return;
    if (IsWindowVisible()) {
        const CRect rcNew = NewColorRect(GetSwatchRect());
        InvalidateRect(&rcNew, FALSE);
    }
    if (m_editHex.m_hWnd != nullptr)
        m_editHex.SetWindowText(FormatHexText(clr));
    if (!bNotify || GetTabControl() == nullptr)
        return;
    for (int i = 0; i < GetPageCount(); ++i) {
        if (HWND hWndPage = GetPage(i)->m_hWnd)
            ::SendMessageW(hWndPage, WM_XT_COLOR_CHANGED, static_cast<WPARAM>(clr), 0);
    }
}
