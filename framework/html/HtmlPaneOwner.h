// What the windows that show pages in our own HTML pane share (CHtmlView and CDHtmlDialog): the pane itself,
// navigation, the test hooks and the first event, which may cancel a navigation.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "framework/html/HtmlPane.h"

class CHtmlPaneOwner : protected IHtmlPaneHost
{
public:
    CHtmlPaneOwner() = default;
    virtual ~CHtmlPaneOwner() = default;

    // An HTML resource of the program (RT_HTML); FALSE when there is none or no pane.
    BOOL LoadFromResource(LPCTSTR lpszResource);
    BOOL LoadFromResource(UINT nRes);
    void Refresh();
    void Stop();
    CString GetLocationURL() const;
    // The host flags (DOCHOSTUIFLAG_*) the pane is made with; they reach a pane that exists at once.
    void SetHostFlags(DWORD dwFlags);

    // ---- Test hooks
    CString GetPageText() const;
    std::vector<CHtmlPaneLink> GetLinks() const;
    // Activates the first link whose href (as written) is href, as a click would; FALSE when there is none.
    BOOL ClickLink(LPCTSTR lpszHref);

    // Every navigation is offered here first; *pbCancel TRUE keeps the current page.
    virtual void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CByteArray& baPostedData,
                                   LPCTSTR lpszHeaders, BOOL* pbCancel) = 0;

    // The pane (the "browser"): m_pBrowserApp is non-null while it exists.
    CHtmlPane m_wndBrowser;
    CHtmlPane* m_pBrowserApp = nullptr;
    DWORD m_dwHostFlags = 0;

protected:
    // Makes the pane over the parent's client area with the host flags and takes its events.
    BOOL CreatePane(CWnd* pParent, UINT nID);
    // Stops taking the pane's events; called as the parent is destroyed.
    void ReleasePane();
    // Keeps the pane over a client area of the given size.
    void SizePane(int cx, int cy);
    // lpvPostData with dwPostDataLen bytes makes an http request a POST.
    void NavigatePane(LPCTSTR lpszURL, LPCTSTR lpszHeaders, LPVOID lpvPostData, DWORD dwPostDataLen);

    void OnPaneBeforeNavigate(const CString& url, DWORD flags, const std::string& postData, const CString& headers,
                              BOOL* pbCancel) override;
};
