#include "framework/html/DHtmlDialog.h"

BOOL CDHtmlEventSink::DHtmlEventHook(HRESULT*, DISPID, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return FALSE;
}

IMPLEMENT_DYNAMIC(CDHtmlDialog, CDialog)

BEGIN_MESSAGE_MAP(CDHtmlDialog, CDialog)
ON_WM_SIZE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CDHtmlDialog::CDHtmlDialog() : m_nHtmlResID(0), m_szHtmlResID(nullptr) {}

CDHtmlDialog::CDHtmlDialog(UINT nIDTemplate, UINT nHtmlResID, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd), m_nHtmlResID(nHtmlResID), m_szHtmlResID(nullptr)
{
}

CDHtmlDialog::CDHtmlDialog(LPCTSTR lpszTemplateName, LPCTSTR szHtmlResID, CWnd* pParentWnd)
    : CDialog(lpszTemplateName, pParentWnd), m_nHtmlResID(0), m_szHtmlResID(szHtmlResID)
{
}

CDHtmlDialog::~CDHtmlDialog() = default;

BOOL CDHtmlDialog::OnInitDialog()
{
    if (CreatePane(this, AFX_IDC_BROWSER)) {
        if (m_nHtmlResID != 0)
            LoadFromResource(m_nHtmlResID);
        else if (m_szHtmlResID != nullptr)
            LoadFromResource(m_szHtmlResID);
    }
    return CDialog::OnInitDialog();
}

void CDHtmlDialog::OnDestroy()
{
    ReleasePane();
    CDialog::OnDestroy();
}

void CDHtmlDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    SizePane(cx, cy);
}

void CDHtmlDialog::Navigate(LPCTSTR lpszURL, DWORD, LPCTSTR, LPCTSTR lpszHeaders, LPVOID lpvPostData,
                            DWORD dwPostDataLen)
{
    NavigatePane(lpszURL, lpszHeaders, lpvPostData, dwPostDataLen);
}

void CDHtmlDialog::GetCurrentUrl(CString& szUrl) const
{
    szUrl = GetLocationURL();
}

HRESULT CDHtmlDialog::GetDHtmlDocument(CHtmlPageDocument** ppDocument)
{
    if (ppDocument == nullptr)
        return E_POINTER;
    *ppDocument = m_pBrowserApp != nullptr ? m_wndBrowser.GetDocument() : nullptr;
    return *ppDocument != nullptr ? S_OK : E_NOINTERFACE;
}

void CDHtmlDialog::OnBeforeNavigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, CByteArray&, LPCTSTR, BOOL* pbCancel)
{
    *pbCancel = FALSE;
    OnBeforeNavigate(nullptr, lpszURL);
}

void CDHtmlDialog::OnBeforeNavigate(LPDISPATCH, LPCTSTR) {}

void CDHtmlDialog::OnNavigateComplete(LPDISPATCH, LPCTSTR) {}

void CDHtmlDialog::OnDocumentComplete(LPDISPATCH, LPCTSTR) {}

void CDHtmlDialog::OnPaneNavigateComplete(const CString& url)
{
    m_strCurrentUrl = url;
    OnNavigateComplete(nullptr, url);
}

void CDHtmlDialog::OnPaneDocumentComplete(const CString& url)
{
    OnDocumentComplete(nullptr, url);
}
