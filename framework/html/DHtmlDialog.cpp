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

CDHtmlDialog::CDHtmlDialog() : m_pBrowserApp(nullptr), m_nHtmlResID(0), m_szHtmlResID(nullptr), m_dwHostFlags(0) {}

CDHtmlDialog::CDHtmlDialog(UINT nIDTemplate, UINT nHtmlResID, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd), m_pBrowserApp(nullptr), m_nHtmlResID(nHtmlResID), m_szHtmlResID(nullptr),
      m_dwHostFlags(0)
{
}

CDHtmlDialog::CDHtmlDialog(LPCTSTR lpszTemplateName, LPCTSTR szHtmlResID, CWnd* pParentWnd)
    : CDialog(lpszTemplateName, pParentWnd), m_pBrowserApp(nullptr), m_nHtmlResID(0), m_szHtmlResID(szHtmlResID),
      m_dwHostFlags(0)
{
}

CDHtmlDialog::~CDHtmlDialog() = default;

BOOL CDHtmlDialog::OnInitDialog()
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (m_wndBrowser.Create(WS_VISIBLE, rc, this, AFX_IDC_BROWSER, m_dwHostFlags)) {
        m_wndBrowser.SetHost(this);
        m_pBrowserApp = &m_wndBrowser;
        if (m_nHtmlResID != 0)
            LoadFromResource(m_nHtmlResID);
        else if (m_szHtmlResID != nullptr)
            LoadFromResource(m_szHtmlResID);
    }
    return CDialog::OnInitDialog();
}

void CDHtmlDialog::OnDestroy()
{
    m_wndBrowser.SetHost(nullptr);
    m_pBrowserApp = nullptr;
    CDialog::OnDestroy();
}

void CDHtmlDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.MoveWindow(0, 0, cx, cy);
}

void CDHtmlDialog::SetHostFlags(DWORD dwFlags)
{
    m_dwHostFlags = dwFlags;
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.SetHostFlags(dwFlags);
}

void CDHtmlDialog::Navigate(LPCTSTR lpszURL, DWORD, LPCTSTR, LPCTSTR lpszHeaders, LPVOID lpvPostData,
                            DWORD dwPostDataLen)
{
    if (m_pBrowserApp == nullptr)
        return;
    std::string post;
    if (lpvPostData != nullptr && dwPostDataLen > 0)
        post.assign(static_cast<const char*>(lpvPostData), dwPostDataLen);
    m_wndBrowser.Navigate(CString(lpszURL != nullptr ? lpszURL : L""),
                          CString(lpszHeaders != nullptr ? lpszHeaders : L""), post, lpvPostData != nullptr);
}

BOOL CDHtmlDialog::LoadFromResource(LPCTSTR lpszResource)
{
    return m_pBrowserApp != nullptr && m_wndBrowser.LoadFromResource(AfxGetResourceHandle(), lpszResource);
}

BOOL CDHtmlDialog::LoadFromResource(UINT nRes)
{
    return LoadFromResource(MAKEINTRESOURCEW(nRes));
}

void CDHtmlDialog::GetCurrentUrl(CString& szUrl) const
{
    szUrl = GetLocationURL();
}

CString CDHtmlDialog::GetLocationURL() const
{
    return m_pBrowserApp != nullptr ? m_wndBrowser.GetLocationURL() : CString();
}

void CDHtmlDialog::Refresh()
{
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.Refresh();
}

void CDHtmlDialog::Stop()
{
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.Stop();
}

HRESULT CDHtmlDialog::GetDHtmlDocument(CHtmlPageDocument** ppDocument)
{
    if (ppDocument == nullptr)
        return E_POINTER;
    *ppDocument = m_pBrowserApp != nullptr ? m_wndBrowser.GetDocument() : nullptr;
    return *ppDocument != nullptr ? S_OK : E_NOINTERFACE;
}

CString CDHtmlDialog::GetPageText() const
{
    return m_pBrowserApp != nullptr ? m_wndBrowser.GetPageText() : CString();
}

std::vector<CHtmlPaneLink> CDHtmlDialog::GetLinks() const
{
    return m_pBrowserApp != nullptr ? m_wndBrowser.GetLinks() : std::vector<CHtmlPaneLink>();
}

BOOL CDHtmlDialog::ClickLink(LPCTSTR lpszHref)
{
    return m_pBrowserApp != nullptr && m_wndBrowser.ClickLink(m_wndBrowser.FindLink(CString(lpszHref)));
}

void CDHtmlDialog::OnBeforeNavigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, CByteArray&, LPCTSTR, BOOL* pbCancel)
{
    *pbCancel = FALSE;
    OnBeforeNavigate(nullptr, lpszURL);
}

void CDHtmlDialog::OnBeforeNavigate(LPDISPATCH, LPCTSTR) {}

void CDHtmlDialog::OnNavigateComplete(LPDISPATCH, LPCTSTR) {}

void CDHtmlDialog::OnDocumentComplete(LPDISPATCH, LPCTSTR) {}

void CDHtmlDialog::OnPaneBeforeNavigate(const CString& url, DWORD flags, const std::string& postData,
                                        const CString& headers, BOOL* pbCancel)
{
    CByteArray post;
    post.SetSize(static_cast<INT_PTR>(postData.size()));
    if (!postData.empty())
        memcpy(post.GetData(), postData.data(), postData.size());
    OnBeforeNavigate2(url, flags, L"", post, headers, pbCancel);
}

void CDHtmlDialog::OnPaneNavigateComplete(const CString& url)
{
    m_strCurrentUrl = url;
    OnNavigateComplete(nullptr, url);
}

void CDHtmlDialog::OnPaneDocumentComplete(const CString& url)
{
    OnDocumentComplete(nullptr, url);
}
