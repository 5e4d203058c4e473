// The themed page: the tab body's visual style behind everything, statics drawn on it by the page.
#include "toolkit/customize/XTThemePropertyPage.h"

#include "framework/win/Dc.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/base/ToolkitMessages.h"

#include <vsstyle.h>

namespace {

CString WindowText(HWND hWnd)
{
    CString text;
    CWnd::FromHandle(hWnd)->GetWindowText(text);
    return text;
}

wchar_t UpperChar(wchar_t ch)
{
    wchar_t sz[2] = {ch, 0};
    ::CharUpperBuffW(sz, 1);
    return sz[0];
}

// The character a label's single "&" underlines, upper-cased; 0 when it has none.
wchar_t MnemonicOf(const CString& text)
{
    for (int i = 0; i + 1 < text.GetLength(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&')
            return UpperChar(text[i + 1]);
        ++i;
    }
    return 0;
}

UINT DrawTextFormat(DWORD dwStyle)
{
    UINT nFormat = 0;
    switch (dwStyle & SS_TYPEMASK) {
    case SS_CENTER:
        nFormat |= DT_CENTER;
        break;
    case SS_RIGHT:
        nFormat |= DT_RIGHT;
        break;
    default:
        break;
    }
    if (dwStyle & SS_NOPREFIX)
        nFormat |= DT_NOPREFIX;
    const DWORD dwType = dwStyle & SS_TYPEMASK;
    nFormat |= (dwType == SS_SIMPLE || dwType == SS_LEFTNOWORDWRAP) ? DT_SINGLELINE : DT_WORDBREAK;
    return nFormat;
}

} // namespace

IMPLEMENT_DYNAMIC(CXTThemePropertyPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CXTThemePropertyPage, CPropertyPage)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

CXTThemePropertyPage::CXTThemePropertyPage(CXTColorDialog* pDialog, UINT nIDTemplate, UINT nIDCaption)
    : CPropertyPage(nIDTemplate), m_pDialog(pDialog)
{
    // The templates live with the toolkit, which may be another module than the program's.
    m_psp.hInstance = XTGetResourceInstance();
    if (nIDCaption != 0 && XTGetResourceHolder()->LoadString(&m_strCaption, nIDCaption))
        m_psp.dwFlags |= PSP_USETITLE;
    m_psp.dwFlags &= ~PSP_HASHELP;
}

CXTThemePropertyPage::~CXTThemePropertyPage() = default;

BOOL CXTThemePropertyPage::OnInitDialog()
{
    const BOOL bResult = CPropertyPage::OnInitDialog();
    if (!m_themeTab.IsThemeDataOpen())
        m_themeTab.OpenThemeData(m_hWnd, L"TAB");
    // The controls the data exchange put over the template's statics finish their set-up now.
    for (HWND hWndChild = ::GetWindow(m_hWnd, GW_CHILD); hWndChild != nullptr;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        if (dynamic_cast<CStatic*>(CWnd::FromHandlePermanent(hWndChild)) != nullptr)
            ::SendMessageW(hWndChild, WM_CONTROL_SETUP, 0, 0);
    }
    return bResult;
}

void CXTThemePropertyPage::CollectStatic(int nID)
{
    HWND hWndStatic = ::GetDlgItem(m_hWnd, nID);
    if (hWndStatic == nullptr)
        return;
    wchar_t szClass[16] = {};
    ::GetClassNameW(hWndStatic, szClass, 16);
    if (lstrcmpiW(szClass, L"static") != 0 || ::GetWindowTextLengthW(hWndStatic) == 0)
        return;
    for (HWND hWnd : m_statics) {
        if (hWnd == hWndStatic)
            return;
    }
    m_statics.push_back(hWndStatic);
    ::ShowWindow(hWndStatic, SW_HIDE);
}

void CXTThemePropertyPage::OnPaint()
{
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    OnDraw(&dc, rcClient);
}

LRESULT CXTThemePropertyPage::OnPrintClient(WPARAM wParam, LPARAM)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    OnDraw(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), rcClient);
    return 0;
}

BOOL CXTThemePropertyPage::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTThemePropertyPage::OnDraw(CDC* pDC, const CRect& rect)
{
    FillBackground(pDC, rect);
    DrawStaticTexts(pDC);
}

void CXTThemePropertyPage::FillBackground(CDC* pDC, const CRect& rect)
{
    if (m_themeTab.IsAppThemed() &&
        SUCCEEDED(m_themeTab.DrawThemeBackground(pDC->GetSafeHdc(), TABP_BODY, 1, &rect, nullptr)))
        return;
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_3DFACE));
}

void CXTThemePropertyPage::DrawStaticTexts(CDC* pDC)
{
    const int nSaved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    for (HWND hWndStatic : m_statics) {
        if (!::IsWindow(hWndStatic))
            continue;
        const CString text = WindowText(hWndStatic);
        if (text.IsEmpty())
            continue;
        CRect rect;
        ::GetWindowRect(hWndStatic, &rect);
        ScreenToClient(&rect);
        if (HFONT hFont = reinterpret_cast<HFONT>(::SendMessageW(hWndStatic, WM_GETFONT, 0, 0)))
            pDC->SelectObject(hFont);
        const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtrW(hWndStatic, GWL_STYLE));
        pDC->DrawText(text, &rect, DrawTextFormat(dwStyle));
    }
    pDC->RestoreDC(nSaved);
}

BOOL CXTThemePropertyPage::HandleMnemonic(UINT nChar)
{
    const wchar_t chKey = UpperChar(static_cast<wchar_t>(nChar));
    for (HWND hWndStatic : m_statics) {
        if (!::IsWindow(hWndStatic) || MnemonicOf(WindowText(hWndStatic)) != chKey)
            continue;
        // The label's control is the next one in the tab order that can take the focus.
        for (HWND hWnd = ::GetWindow(hWndStatic, GW_HWNDNEXT); hWnd != nullptr; hWnd = ::GetWindow(hWnd, GW_HWNDNEXT)) {
            const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, GWL_STYLE));
            if ((dwStyle & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE)) {
                ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hWnd), TRUE);
                return TRUE;
            }
        }
    }
    return FALSE;
}

void CXTThemePropertyPage::FillChildBackground(CWnd* pChild, CDC* pDC)
{
    CRect rcChild;
    pChild->GetClientRect(&rcChild);
    HWND hWndParent = ::GetParent(pChild->m_hWnd);
    auto* pPage = dynamic_cast<CXTThemePropertyPage*>(CWnd::FromHandlePermanent(hWndParent));
    if (pPage == nullptr) {
        pDC->FillSolidRect(&rcChild, ::GetSysColor(COLOR_3DFACE));
        return;
    }
    // The page's picture, shifted so that the child shows the part of it that lies under the child.
    CRect rcPage;
    pPage->GetClientRect(&rcPage);
    CPoint ptOffset(0, 0);
    ::MapWindowPoints(pChild->m_hWnd, hWndParent, &ptOffset, 1);
    const int nSaved = pDC->SaveDC();
    pDC->OffsetViewportOrg(-ptOffset.x, -ptOffset.y);
    pDC->IntersectClipRect(ptOffset.x, ptOffset.y, ptOffset.x + rcChild.Width(), ptOffset.y + rcChild.Height());
    pPage->FillBackground(pDC, rcPage);
    pDC->RestoreDC(nSaved);
}

void CXTThemePropertyPage::PressDialogOK(CWnd* pControl)
{
    HWND hWndParent = ::GetParent(pControl->m_hWnd);
    if (auto* pPage = dynamic_cast<CPropertyPage*>(CWnd::FromHandlePermanent(hWndParent))) {
        if (CPropertySheet* pSheet = pPage->GetSheet()) {
            pSheet->PressButton(PSBTN_OK);
            return;
        }
    }
    if (hWndParent != nullptr)
        ::SendMessageW(hWndParent, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}
