#include "framework/html/HtmlPaneOwner.h"

#include <cstring>

#include "framework/core/AfxModule.h"

BOOL CHtmlPaneOwner::CreatePane(CWnd* pParent, UINT nID)
{
    RECT rc;
    ::GetClientRect(pParent->m_hWnd, &rc);
    if (!m_wndBrowser.Create(WS_VISIBLE, rc, pParent, nID, m_dwHostFlags))
        return FALSE;
    m_wndBrowser.SetHost(this);
    m_pBrowserApp = &m_wndBrowser;
    return TRUE;
}

void CHtmlPaneOwner::ReleasePane()
{
    m_wndBrowser.SetHost(nullptr);
    m_pBrowserApp = nullptr;
}

void CHtmlPaneOwner::SizePane(int cx, int cy)
{
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.MoveWindow(0, 0, cx, cy);
}

void CHtmlPaneOwner::SetHostFlags(DWORD dwFlags)
{
    m_dwHostFlags = dwFlags;
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.SetHostFlags(dwFlags);
}

void CHtmlPaneOwner::NavigatePane(LPCTSTR lpszURL, LPCTSTR lpszHeaders, LPVOID lpvPostData, DWORD dwPostDataLen)
{
    if (m_pBrowserApp == nullptr)
        return;
    std::string post;
    if (lpvPostData != nullptr && dwPostDataLen > 0)
        post.assign(static_cast<const char*>(lpvPostData), dwPostDataLen);
    m_wndBrowser.Navigate(CString(lpszURL != nullptr ? lpszURL : L""),
                          CString(lpszHeaders != nullptr ? lpszHeaders : L""), post, lpvPostData != nullptr);
}

BOOL CHtmlPaneOwner::LoadFromResource(LPCTSTR lpszResource)
{
    return m_pBrowserApp != nullptr && m_wndBrowser.LoadFromResource(AfxGetResourceHandle(), lpszResource);
}

BOOL CHtmlPaneOwner::LoadFromResource(UINT nRes)
{
    return LoadFromResource(MAKEINTRESOURCEW(nRes));
}

void CHtmlPaneOwner::Refresh()
{
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.Refresh();
}

void CHtmlPaneOwner::Stop()
{
    if (m_pBrowserApp != nullptr)
        m_wndBrowser.Stop();
}

CString CHtmlPaneOwner::GetLocationURL() const
{
    return m_pBrowserApp != nullptr ? m_wndBrowser.GetLocationURL() : CString();
}

CString CHtmlPaneOwner::GetPageText() const
{
    return m_pBrowserApp != nullptr ? m_wndBrowser.GetPageText() : CString();
}

std::vector<CHtmlPaneLink> CHtmlPaneOwner::GetLinks() const
{
    return m_pBrowserApp != nullptr ? m_wndBrowser.GetLinks() : std::vector<CHtmlPaneLink>();
}

BOOL CHtmlPaneOwner::ClickLink(LPCTSTR lpszHref)
{
    return m_pBrowserApp != nullptr && m_wndBrowser.ClickLink(m_wndBrowser.FindLink(CString(lpszHref)));
}

void CHtmlPaneOwner::OnPaneBeforeNavigate(const CString& url, DWORD flags, const std::string& postData,
                                          const CString& headers, BOOL* pbCancel)
{
    CByteArray post;
    post.SetSize(static_cast<INT_PTR>(postData.size()));
    if (!postData.empty())
        memcpy(post.GetData(), postData.data(), postData.size());
    OnBeforeNavigate2(url, flags, L"", post, headers, pbCancel);
}
