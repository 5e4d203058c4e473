// The ad window of the navigation pane: a small HTML pane that shows the page of a subscription entry of kind
// "iframe" (a content block the channel list names) or the local weather page. Pages load only under the
// program's control; a link the user clicks opens in the browser. Only web pages and the program's own weather
// page are shown: any other address the list names shows an empty page.
#pragma once

#include "framework/html/DHtmlDialog.h"

class CFeedItem;

class CAdBlockWnd : public CDHtmlDialog
{
    DECLARE_DYNCREATE(CAdBlockWnd)

public:
    explicit CAdBlockWnd(CWnd* pParent = nullptr);

    // The entry's window in the pane: made (a child of pParent, owned by itself) when the entry has none yet,
    // else pointed at the entry again and reloaded. Null when the window cannot be made.
    static CAdBlockWnd* AttachTo(CFeedItem* pEntry, CWnd* pParent);

    // Loads the address under the program's control.
    void Navigate(LPCTSTR lpszURL);
    // The address the window shows for its entry: the entry's processed link when it may be shown here, else
    // "about:blank".
    static CString AddressFor(const CFeedItem* pEntry);

    BOOL OnInitDialog() override;
    void OnDocumentComplete(LPDISPATCH pDisp, LPCTSTR szUrl) override;
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CByteArray& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The entry shown; it keeps this window as its own.
    CFeedItem* m_pOwner;
    CString m_strURL;
    // Set while the program navigates; a left-button press in the window clears it.
    int m_bProgramNavigation;

protected:
    // Set once the window stands: from then on it frees itself when destroyed.
    bool m_bOwnsSelf = false;

    void OnOK() override {}
    void OnCancel() override {}
    void PostNcDestroy() override;
    afx_msg LRESULT OnRefreshAd(WPARAM wParam, LPARAM lParam);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
