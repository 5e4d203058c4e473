#include "views/ChannelViewDlg.h"
#include "res/resource.h"

#include "feeds/WebAddresses.h"
#include "framework/win/WinApp.h"
#include "views/ChannelPageRenderer.h"

namespace {

const wchar_t kSection[] = L"ChannelView";

} // namespace

BEGIN_MESSAGE_MAP(CChannelViewDlg, CDHtmlDialog)
ON_WM_SHOWWINDOW()
ON_WM_DESTROY()
END_MESSAGE_MAP()

BEGIN_DHTML_EVENT_MAP(CChannelViewDlg)
END_DHTML_EVENT_MAP()

CChannelViewDlg::CChannelViewDlg(CWnd* pParent)
    : CDHtmlDialog(IDD_CHANNEL_VIEW, 0, pParent), m_strCurrentAddress(L"about:blank"), m_bSelfNavigation(1)
{
}

CChannelViewDlg::~CChannelViewDlg()
{
    if (!m_strRenderedFile.IsEmpty())
        ::DeleteFileW(m_strRenderedFile);
}

BOOL CChannelViewDlg::Create(CWnd* pParent)
{
    return CDHtmlDialog::Create(IDD_CHANNEL_VIEW, pParent);
}

BOOL CChannelViewDlg::OnInitDialog()
{
    SetHostFlags(DOCHOSTUIFLAG_NO3DBORDER);
    CDHtmlDialog::OnInitDialog();
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (AfxGetApp() != nullptr && AfxGetApp()->GetProfileBinary(kSection, L"WP", &data, &bytes)) {
        WINDOWPLACEMENT placement = {};
        const bool whole = bytes == sizeof(placement);
        if (whole)
            memcpy(&placement, data, sizeof(placement));
        delete[] data;
        const RECT& r = placement.rcNormalPosition;
        // A value of another size, or one without a window in it, is not a placement of ours.
        if (whole && r.right > r.left && r.bottom > r.top) {
            placement.length = sizeof(placement);
            placement.showCmd = SW_HIDE;
            SetWindowPlacement(&placement);
        }
    }
    return TRUE;
}

void CChannelViewDlg::OnCancel()
{
    // Esc and the close box hide the window; it lives as long as the main window.
    ShowWindow(SW_HIDE);
}

void CChannelViewDlg::OnShowWindow(BOOL bShow, UINT nStatus)
{
    // A status means the owner is minimised or restored; the window's own state stays what it was.
    if (nStatus == 0)
        m_bShown = bShow != FALSE;
    CDHtmlDialog::OnShowWindow(bShow, nStatus);
}

BOOL CChannelViewDlg::DestroyWindow()
{
    if (::IsWindow(GetSafeHwnd()))
        SaveState();
    return CDHtmlDialog::DestroyWindow();
}

void CChannelViewDlg::OnDestroy()
{
    // Destroyed with its owner: the platform has hidden it already.
    if (!m_bStateSaved)
        SaveState();
    CDHtmlDialog::OnDestroy();
}

void CChannelViewDlg::SaveState()
{
    m_bStateSaved = true;
    if (CWinApp* app = AfxGetApp()) {
        app->WriteProfileInt(kSection, L"showcmd", m_bShown ? SW_SHOW : 0);
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        if (GetWindowPlacement(&placement))
            app->WriteProfileBinary(kSection, L"WP", reinterpret_cast<LPBYTE>(&placement), sizeof(placement));
    }
}

int CChannelViewDlg::SetStyleSheet(LPCWSTR lpszPath)
{
    m_strStyleSheet = lpszPath != nullptr ? lpszPath : L"";
    return 1;
}

void CChannelViewDlg::NavigateSelf(const CString& address)
{
    m_bSelfNavigation = 1;
    Navigate(address);
}

int CChannelViewDlg::ShowFeed(LPCWSTR lpszPath)
{
    m_strCurrentAddress = lpszPath != nullptr ? lpszPath : L"";
    if (m_strCurrentAddress.IsEmpty())
        m_strCurrentAddress = L"about:blank";
    if (m_strStyleSheet.IsEmpty() || m_strCurrentAddress == L"about:blank") {
        NavigateSelf(m_strCurrentAddress);
        return 1;
    }
    const CString page = RenderChannelPage(m_strCurrentAddress, m_strStyleSheet, m_strLastError);
    if (page.IsEmpty()) {
        if (!m_strLastError.IsEmpty())
            AfxMessageBox(m_strLastError, MB_OK);
        return 0;
    }
    NavigateSelf(page);
    if (!m_strRenderedFile.IsEmpty() && m_strRenderedFile.CompareNoCase(page) != 0)
        ::DeleteFileW(m_strRenderedFile);
    m_strRenderedFile = page;
    return 1;
}

void CChannelViewDlg::OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName,
                                        CByteArray& baPostedData, LPCTSTR lpszHeaders, BOOL* pbCancel)
{
    if (m_bSelfNavigation != 0) {
        m_bSelfNavigation = 0;
        CDHtmlDialog::OnBeforeNavigate2(lpszURL, nFlags, lpszTargetFrameName, baPostedData, lpszHeaders, pbCancel);
        return;
    }
    *pbCancel = TRUE;
    // Only web and mail addresses leave the program, through the checked opener: a page's link never names a
    // program, a share or another protocol handler for the shell to start.
    OpenInBrowser(lpszURL != nullptr ? lpszURL : L"");
}

BOOL CChannelViewDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_RBUTTONDOWN || pMsg->message == WM_RBUTTONDBLCLK)
        return TRUE;
    return CDHtmlDialog::PreTranslateMessage(pMsg);
}
