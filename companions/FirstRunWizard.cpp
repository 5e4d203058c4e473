#include "companions/FirstRunWizard.h"

#include "res/resource.h"

IMPLEMENT_DYNAMIC(CFirstRunWizard, CPropertySheet)

CFirstRunWizard::CFirstRunWizard(CWnd* pParentWnd) : CPropertySheet(IDS_WIZARD_CAPTION, pParentWnd)
{
    const HINSTANCE hInstance = AfxGetResourceHandle();
    m_hIcon.Attach(static_cast<HICON>(::LoadImageW(hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 48, 48, 0)));
    // The icon drawn over the header's white: its own colour bitmap would show black where it is transparent.
    if (m_hIcon) {
        CScopedWindowDC screen(nullptr);
        CScopedCreatedDC dc(::CreateCompatibleDC(screen));
        m_hbmHeader.Attach(::CreateCompatibleBitmap(screen, 48, 48));
        if (dc && m_hbmHeader) {
            CScopedSelect select(dc, m_hbmHeader);
            const RECT rc = {0, 0, 48, 48};
            ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_WINDOW));
            ::DrawIconEx(dc, 0, 0, m_hIcon, 48, 48, 0, nullptr, DI_NORMAL);
        }
    }
    m_hbmWatermark.Attach(::LoadBitmapW(hInstance, MAKEINTRESOURCEW(IDB_WIZARD_WATERMARK)));

    m_psh.dwFlags |= PSH_WIZARD97 | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
    if (m_hbmHeader != nullptr) {
        m_psh.dwFlags |= PSH_HEADER | PSH_USEHBMHEADER;
        m_psh.hbmHeader = m_hbmHeader;
    }
    if (m_hbmWatermark != nullptr) {
        m_psh.dwFlags |= PSH_WATERMARK | PSH_USEHBMWATERMARK;
        m_psh.hbmWatermark = m_hbmWatermark;
    }
    m_intro.m_psp.dwFlags |= PSP_HIDEHEADER;
    AddPage(&m_intro);
    AddPage(&m_viewStyle);
    AddPage(&m_country);
    AddPage(&m_statistics);
}

CFirstRunWizard::~CFirstRunWizard() = default;
