#include "framework/html/HtmlView.h"

IMPLEMENT_DYNCREATE(CHtmlView, CView)

BEGIN_MESSAGE_MAP(CHtmlView, CView)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_SIZE()
ON_WM_ERASEBKGND()
ON_WM_SETFOCUS()
ON_WM_PAINT()
END_MESSAGE_MAP()

CHtmlView::CHtmlView() : m_pBrowserApp(nullptr), m_dwHostFlags(0) {}

CHtmlView::~CHtmlView() = default;

BOOL CHtmlView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPCHILDREN;
    return CView::PreCreateWindow(cs);
}

int CHtmlView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CView::OnCreate(lpcs) == -1)
        return -1;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (!m_wndBrowser.Create(WS_VISIBLE, rc, this, AFX_IDW_PANE_FIRST, m_dwHostFlags))
        return -1;
    m_wndBrowser.SetHost(this);
    m_pBrowserApp = &m_wndBrowser;
    return 0;
}

void CHtmlView::OnDestroy()
{
    m_wndBrowser.SetHost(nullptr);
    m_pBrowserApp = nullptr;
    CView::OnDestroy();
}

void CHtmlView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.MoveWindow(0, 0, cx, cy);
}

BOOL CHtmlView::OnEraseBkgnd(CDC*)
{
    // The pane covers the view.
    return TRUE;
}

void CHtmlView::OnPaint()
{
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    ::EndPaint(m_hWnd, &ps);
}

void CHtmlView::OnSetFocus(CWnd*)
{
    if (m_pBrowserApp != nullptr)
        ::SetFocus(m_wndBrowser.m_hWnd);
}

void CHtmlView::OnDraw(CDC*) {}

void CHtmlView::SetHostFlags(DWORD dwFlags)
{
    m_dwHostFlags = dwFlags;
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.SetHostFlags(dwFlags);
}

void CHtmlView::Navigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, LPCTSTR lpszHeaders, LPVOID lpvPostData, DWORD dwPostDataLen)
{
    if (m_pBrowserApp == nullptr)
        return;
    std::string post;
    if (lpvPostData != nullptr && dwPostDataLen > 0)
        post.assign(static_cast<const char*>(lpvPostData), dwPostDataLen);
    m_wndBrowser.Navigate(CString(lpszURL != nullptr ? lpszURL : L""),
                          CString(lpszHeaders != nullptr ? lpszHeaders : L""), post, lpvPostData != nullptr);
}

void CHtmlView::Navigate2(LPCTSTR lpszURL, DWORD dwFlags, CByteArray& baPostedData, LPCTSTR lpszTargetFrameName,
                          LPCTSTR lpszHeaders)
{
    Navigate2(lpszURL, dwFlags, lpszTargetFrameName, lpszHeaders,
              baPostedData.GetSize() > 0 ? baPostedData.GetData() : nullptr,
              static_cast<DWORD>(baPostedData.GetSize()));
}

void CHtmlView::Navigate(LPCTSTR lpszURL, DWORD dwFlags, LPCTSTR lpszTargetFrameName, LPCTSTR lpszHeaders,
                         LPVOID lpvPostData, DWORD dwPostDataLen)
{
    Navigate2(lpszURL, dwFlags, lpszTargetFrameName, lpszHeaders, lpvPostData, dwPostDataLen);
}

BOOL CHtmlView::LoadFromResource(LPCTSTR lpszResource)
{
    return m_pBrowserApp != nullptr && m_wndBrowser.LoadFromResource(AfxGetResourceHandle(), lpszResource);
}

BOOL CHtmlView::LoadFromResource(UINT nRes)
{
    return LoadFromResource(MAKEINTRESOURCEW(nRes));
}

void CHtmlView::Refresh()
{
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.Refresh();
}

void CHtmlView::Stop()
{
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.Stop();
}

CString CHtmlView::GetLocationURL() const
{
    return m_pBrowserApp != nullptr ? m_wndBrowser.GetLocationURL() : CString();
}

CString CHtmlView::GetLocationName() const
{
    if (m_pBrowserApp == nullptr)
        return CString();
    const CString title = m_wndBrowser.GetTitle();
    return title.IsEmpty() ? m_wndBrowser.GetLocationURL() : title;
}

CHtmlPageDocument* CHtmlView::GetHtmlDocument() const
{
    return m_pBrowserApp != nullptr ? m_pBrowserApp->GetDocument() : nullptr;
}

CString CHtmlView::GetPageText() const
{
    return m_pBrowserApp != nullptr ? m_wndBrowser.GetPageText() : CString();
}

std::vector<CHtmlPaneLink> CHtmlView::GetLinks() const
{
    return m_pBrowserApp != nullptr ? m_wndBrowser.GetLinks() : std::vector<CHtmlPaneLink>();
}

BOOL CHtmlView::ClickLink(LPCTSTR lpszHref)
{
    return m_pBrowserApp != nullptr && m_wndBrowser.ClickLink(m_wndBrowser.FindLink(CString(lpszHref)));
}

void CHtmlView::OnBeforeNavigate2(LPCTSTR, DWORD, LPCTSTR, CByteArray&, LPCTSTR, BOOL* pbCancel)
{
    *pbCancel = FALSE;
}

void CHtmlView::OnNavigateComplete2(LPCTSTR) {}

void CHtmlView::OnDocumentComplete(LPCTSTR) {}

void CHtmlView::OnPaneBeforeNavigate(const CString& url, DWORD flags, const std::string& postData,
                                     const CString& headers, BOOL* pbCancel)
{
    CByteArray post;
    post.SetSize(static_cast<INT_PTR>(postData.size()));
    if (!postData.empty())
        memcpy(post.GetData(), postData.data(), postData.size());
    OnBeforeNavigate2(url, flags, L"", post, headers, pbCancel);
}

void CHtmlView::OnPaneNavigateComplete(const CString& url)
{
    OnNavigateComplete2(url);
}

void CHtmlView::OnPaneDocumentComplete(const CString& url)
{
    OnDocumentComplete(url);
}
