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

CHtmlView::CHtmlView() = default;

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
    return CreatePane(this, AFX_IDW_PANE_FIRST) ? 0 : -1;
}

void CHtmlView::OnDestroy()
{
    ReleasePane();
    CView::OnDestroy();
}

void CHtmlView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    SizePane(cx, cy);
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

void CHtmlView::Navigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, LPCTSTR lpszHeaders, LPVOID lpvPostData, DWORD dwPostDataLen)
{
    NavigatePane(lpszURL, lpszHeaders, lpvPostData, dwPostDataLen);
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

void CHtmlView::OnBeforeNavigate2(LPCTSTR, DWORD, LPCTSTR, CByteArray&, LPCTSTR, BOOL* pbCancel)
{
    *pbCancel = FALSE;
}

void CHtmlView::OnNavigateComplete2(LPCTSTR) {}

void CHtmlView::OnDocumentComplete(LPCTSTR) {}

void CHtmlView::OnPaneNavigateComplete(const CString& url)
{
    OnNavigateComplete2(url);
}

void CHtmlView::OnPaneDocumentComplete(const CString& url)
{
    OnDocumentComplete(url);
}
