#include "app/AboutDlg.h"
#include "res/resource.h"

#include "feeds/EngineContext.h"
#include "feeds/MakerAddresses.h"
#include "framework/core/ScopedHandles.h"

namespace {

const wchar_t kMakerName[] = L"Lanternquill Software";

} // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(const CReaderSettings& settings, const CString& dataFolder, BOOL bLabel, CWnd* pParent)
    : CDialog(IDD_ABOUTBOX, pParent), m_settings(settings), m_strDataFolder(dataFolder), m_bLabel(bLabel)
{
}

void CAboutDlg::ReplaceInItem(UINT nID, LPCWSTR find, LPCWSTR replacement)
{
    CWnd* item = GetDlgItem(static_cast<int>(nID));
    if (!item)
        return;
    CString text;
    item->GetWindowText(text);
    text.Replace(find, replacement);
    item->SetWindowText(text);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CString title;
    GetWindowText(title);
    title.Replace(L"<caption>", m_settings.szCaption);
    SetWindowText(title);

    m_buttonOK.SubclassDlgItem(IDOK, this);
    // Raised, as a dialog's buttons are; the toolkit's default is flat.
    m_buttonOK.SetXButtonStyle(BS_XT_SHOWFOCUS);
    m_linkWebSite.SubclassDlgItem(IDC_ABOUT_WEB_SITE, this);
    m_linkWebSite.SetWindowText(m_settings.szWebSite);
    m_linkWebSite.SetURL(m_settings.szWebSite);
    m_linkEmail.SubclassDlgItem(IDC_ABOUT_EMAIL, this);
    m_linkEmail.SetWindowText(m_settings.szEmail);
    m_linkEmail.SetURL(CString(L"mailto:") + m_settings.szEmail);
    m_linkLegal.SubclassDlgItem(IDC_ABOUT_LEGAL_LINK, this);

    if (m_bLabel) {
        m_linkLegal.SetWindowText(L"here");
        m_linkLegal.SetURL(m_settings.szWebSite);
        ReplaceInItem(IDC_ABOUT_VERSION, L"Lanternquill", m_settings.szCaption);
        ReplaceInItem(IDC_ABOUT_NOTICE, kMakerName, m_settings.szBrandName);
        for (UINT nID : {IDC_ABOUT_READS, IDC_ABOUT_THANKS, IDC_ABOUT_LEGAL}) {
            if (CWnd* item = GetDlgItem(static_cast<int>(nID)))
                item->ShowWindow(SW_HIDE);
        }
    } else {
        m_linkLegal.SetURL(LQ_WEB_SITE_URL);
        ReplaceInItem(IDC_ABOUT_READS, L"<caption>", m_settings.szBrandName);
        ReplaceInItem(IDC_ABOUT_THANKS, L"<caption>", m_settings.szBrandName);
    }
    // A line without a value would show a label beside nothing, or a link that goes nowhere.
    HideLinesWithoutValue();
    LoadLogo();
    return TRUE;
}

void CAboutDlg::HideLinesWithoutValue()
{
    const struct
    {
        UINT nLabel;
        UINT nValue;
        CString strURL;
    } lines[] = {
        {IDC_ABOUT_WEB_SITE_LABEL, IDC_ABOUT_WEB_SITE, m_linkWebSite.GetURL()},
        {IDC_ABOUT_EMAIL_LABEL, IDC_ABOUT_EMAIL, m_settings.szEmail[0] != L'\0' ? m_linkEmail.GetURL() : CString()},
        {IDC_ABOUT_LEGAL, IDC_ABOUT_LEGAL_LINK, m_linkLegal.GetURL()},
    };
    for (const auto& line : lines) {
        if (!line.strURL.IsEmpty())
            continue;
        for (UINT nID : {line.nLabel, line.nValue}) {
            if (CWnd* item = GetDlgItem(static_cast<int>(nID)))
                item->ShowWindow(SW_HIDE);
        }
    }
}

void CAboutDlg::LoadLogo()
{
    m_bOwnLogo = false;
    if (!m_strDataFolder.IsEmpty()) {
        WIN32_FIND_DATAW found;
        CScopedFindHandle find(::FindFirstFileW(m_strDataFolder + L"\\logo.*", &found));
        if (find && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            m_bOwnLogo = m_picture.LoadFromFile(m_strDataFolder + L"\\" + found.cFileName) != FALSE;
    }
    if (!m_bOwnLogo)
        m_picture.Clear();
}

void CAboutDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl != IDC_ABOUT_PICTURE || !lpDrawItemStruct) {
        CDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    const RECT& rect = lpDrawItemStruct->rcItem;
    if (m_bOwnLogo && m_picture.Render(lpDrawItemStruct->hDC, rect))
        return;
    CScopedBitmap logo(static_cast<HBITMAP>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_ABOUT_LOGO), IMAGE_BITMAP, 0, 0, 0)));
    if (!logo)
        return;
    HDC memory = ::CreateCompatibleDC(lpDrawItemStruct->hDC);
    const HGDIOBJ old = ::SelectObject(memory, logo.Get());
    BITMAP info = {};
    ::GetObjectW(logo.Get(), sizeof(info), &info);
    ::SetStretchBltMode(lpDrawItemStruct->hDC, HALFTONE);
    ::StretchBlt(lpDrawItemStruct->hDC, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory, 0,
                 0, info.bmWidth, info.bmHeight, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}
