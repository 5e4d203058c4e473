#include "companions/FirstRunWizard.h"

#include "res/resource.h"

IMPLEMENT_DYNAMIC(CFirstRunWizard, CPropertySheet)

CFirstRunWizard::CFirstRunWizard(CWnd* pParentWnd)
    : CPropertySheet(IDS_WIZARD_CAPTION, pParentWnd), m_hIcon(nullptr), m_hbmHeader(nullptr), m_hbmWatermark(nullptr)
{
    const HINSTANCE hInstance = AfxGetResourceHandle();
    m_hIcon = static_cast<HICON>(::LoadImageW(hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 48, 48, 0));
    // The icon drawn over the header's white: its own colour bitmap would show black where it is transparent.
    if (m_hIcon != nullptr) {
        HDC hScreen = ::GetDC(nullptr);
        HDC hDC = ::CreateCompatibleDC(hScreen);
        m_hbmHeader = ::CreateCompatibleBitmap(hScreen, 48, 48);
        if (hDC != nullptr && m_hbmHeader != nullptr) {
            const HGDIOBJ hOld = ::SelectObject(hDC, m_hbmHeader);
            const RECT rc = {0, 0, 48, 48};
            ::FillRect(hDC, &rc, ::GetSysColorBrush(COLOR_WINDOW));
            ::DrawIconEx(hDC, 0, 0, m_hIcon, 48, 48, 0, nullptr, DI_NORMAL);
            ::SelectObject(hDC, hOld);
        }
        if (hDC != nullptr)
            ::DeleteDC(hDC);
        ::ReleaseDC(nullptr, hScreen);
    }
    m_hbmWatermark = ::LoadBitmapW(hInstance, MAKEINTRESOURCEW(IDB_WIZARD_WATERMARK));

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

CFirstRunWizard::~CFirstRunWizard()
{
    if (m_hbmHeader != nullptr)
        ::DeleteObject(m_hbmHeader);
    if (m_hbmWatermark != nullptr)
        ::DeleteObject(m_hbmWatermark);
    if (m_hIcon != nullptr)
        ::DestroyIcon(m_hIcon);
}
