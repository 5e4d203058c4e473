// The separate channel window: a resizable tool window "Channel" that shows one channel's news page through the
// same page pipeline as the classic news view. It keeps its place across starts (it starts hidden); a link
// clicked in its page is never followed inside it but opened in the user's browser.
#pragma once

#include "framework/html/DHtmlDialog.h"

class CChannelViewDlg : public CDHtmlDialog
{
public:
    explicit CChannelViewDlg(CWnd* pParent = nullptr);
    ~CChannelViewDlg() override;

    // The modeless window, owned by pParent (the frame), hidden at its saved place.
    BOOL Create(CWnd* pParent);

    // Renders and shows a channel document (null counts as empty, which shows an empty page); without a style
    // sheet the path itself is shown. Returns 1 when a navigation started, 0 when rendering failed (a message
    // box said why for load and parse failures) and the previous page stays.
    int ShowFeed(LPCWSTR lpszPath);
    // The style sheet used for rendering; null gives none. Returns 1.
    int SetStyleSheet(LPCWSTR lpszPath);

    BOOL OnInitDialog() override;
    // Keeps whether the window showed and its place before it goes (the platform hides a window it destroys).
    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CByteArray& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override;

    DECLARE_DHTML_EVENT_MAP()

    CString m_strCurrentAddress;
    CString m_strStyleSheet;
    // The temporary page shown now; empty before the first rendering.
    CString m_strRenderedFile;
    // Set by each of the window's own navigations; the first navigation after it goes through and clears it.
    int m_bSelfNavigation;
    // The text of the last rendering failure's message box (empty when there was none); for tests.
    CString m_strLastError;

protected:
    void OnOK() override {}
    void OnCancel() override;
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void NavigateSelf(const CString& address);
    void SaveState();

    bool m_bStateSaved = false;
    // Shown or hidden by ShowWindow: the platform hides a window it destroys (and the windows its owner takes
    // with it) without telling it, so IsWindowVisible no longer knows by then.
    bool m_bShown = false;
};
