// CHtmlView: a view that shows web pages in our own HTML pane, with the browser's navigation events.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include "framework/core/Collections.h"
#include "framework/frame/View.h"
#include "framework/html/HtmlPane.h"
#include "framework/html/HtmlPaneOwner.h"

// Navigate2 takes the browser's navigation flags (exdisp.h); the pane honours none of them beyond recording them.

class CHtmlView : public CView, public CHtmlPaneOwner
{
    DECLARE_DYNCREATE(CHtmlView)

public:
    CHtmlView();
    ~CHtmlView() override;

    // ---- Navigation. Each asks OnBeforeNavigate2 first; when it does not cancel, OnNavigateComplete2 and
    // OnDocumentComplete follow with the address exactly as given (at once for local pages, once an http page has
    // arrived). lpvPostData with dwPostDataLen bytes makes an http request a POST.
    void Navigate2(LPCTSTR lpszURL, DWORD dwFlags = 0, LPCTSTR lpszTargetFrameName = nullptr,
                   LPCTSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    void Navigate2(LPCTSTR lpszURL, DWORD dwFlags, CByteArray& baPostedData, LPCTSTR lpszTargetFrameName = nullptr,
                   LPCTSTR lpszHeaders = nullptr);
    void Navigate(LPCTSTR lpszURL, DWORD dwFlags = 0, LPCTSTR lpszTargetFrameName = nullptr,
                  LPCTSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    // No history is kept: a page is never reached twice without the program asking for it.
    void GoBack() {}
    void GoForward() {}
    BOOL GetBusy() const { return m_pBrowserApp != nullptr && m_pBrowserApp->IsBusy(); }

    CString GetLocationName() const;
    // The shown page (its body's scroll position and height); null before the first page or without a window.
    CHtmlPageDocument* GetHtmlDocument() const;
    // ---- Events
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CByteArray& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override;
    virtual void OnNavigateComplete2(LPCTSTR strURL);
    virtual void OnDocumentComplete(LPCTSTR lpszURL);
    virtual void OnDownloadBegin() {}
    virtual void OnDownloadComplete() {}

    void OnDraw(CDC* pDC) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    void OnPaneNavigateComplete(const CString& url) override;
    void OnPaneDocumentComplete(const CString& url) override;
    void OnPaneDownloadBegin() override { OnDownloadBegin(); }
    void OnPaneDownloadComplete() override { OnDownloadComplete(); }

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
