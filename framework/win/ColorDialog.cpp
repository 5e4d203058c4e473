#include "framework/win/ColorDialog.h"

#include "framework/win/WinApp.h"

IMPLEMENT_DYNAMIC(CColorDialog, CDialog)

namespace {

COLORREF g_customColors[16] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                               RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                               RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                               RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};

} // namespace

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
    : CDialog(static_cast<UINT>(0), pParentWnd), m_cc{}
{
    m_lpszTemplateName = nullptr;
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = dwFlags;
    if ((m_cc.rgbResult = clrInit) != 0)
        m_cc.Flags |= CC_RGBINIT;
}

CColorDialog::~CColorDialog() = default;

COLORREF* PASCAL CColorDialog::GetSavedCustomColors()
{
    return g_customColors;
}

void CColorDialog::SetCurrentColor(COLORREF clr)
{
    m_cc.rgbResult = clr;
    m_cc.Flags |= CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal()
{
    HWND hWndTop = nullptr;
    m_cc.hwndOwner = CWnd::GetSafeOwner(m_pParentWnd, &hWndTop)->GetSafeHwnd();
    const COLORREF clrBefore = m_cc.rgbResult;
    if (CWinApp* pApp = AfxGetApp())
        pApp->EnableModeless(FALSE);
    const BOOL bResult = ::ChooseColorW(&m_cc);
    if (CWinApp* pApp = AfxGetApp())
        pApp->EnableModeless(TRUE);
    // A cancelled dialog must not leave a half-picked colour behind.
    if (!bResult)
        m_cc.rgbResult = clrBefore;
    return bResult ? IDOK : IDCANCEL;
}
