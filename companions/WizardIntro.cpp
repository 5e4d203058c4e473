#include "companions/WizardIntro.h"

#include "res/resource.h"

#include "framework/core/ScopedHandles.h"

IMPLEMENT_DYNAMIC(CWizardIntro, CPropertyPage)

CWizardIntro::CWizardIntro() : CPropertyPage(IDD_WIZARD_INTRO) {}

BOOL CWizardIntro::OnInitDialog()
{
    CPropertyPage::OnInitDialog();

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        metrics.lfMessageFont = LOGFONTW{};
    LOGFONTW logFont = metrics.lfMessageFont;
    logFont.lfWeight = FW_BOLD;
    const CScopedCreatedDC dc(::CreateICW(L"DISPLAY", nullptr, nullptr, nullptr));
    const int nPixelsPerInch = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    logFont.lfHeight = -::MulDiv(18, nPixelsPerInch, 72);
    logFont.lfWidth = 0;
    lstrcpynW(logFont.lfFaceName, L"Verdana Bold", LF_FACESIZE);

    m_fontTitle.DeleteObject();
    if (m_fontTitle.CreateFontIndirect(&logFont))
        SendDlgItemMessage(IDC_WIZARD_INTRO_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(m_fontTitle.m_hObject), TRUE);
    return TRUE;
}

BOOL CWizardIntro::OnSetActive()
{
    if (HWND hWndSheet = ::GetParent(m_hWnd))
        ::PostMessageW(hWndSheet, PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}
