// The "Please wait..." dialog (199): one feed fetched on a worker thread while the user subscribes, taken as an
// OPML list or parsed as a feed, with the site's icon beside it.
#pragma once

#include <windows.h>

#include "companions/CompanionMessages.h"
#include "framework/core/AfxString.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/Controls.h"
#include "framework/win/Dialog.h"
#include "framework/win/WinThread.h"

class CFeedChannel;

// DoModal's answer when the address held an OPML list, and the result code that goes with it.
const int FEED_DOWNLOAD_OPML = 256;
// DoModal's answer for an empty address.
const int FEED_DOWNLOAD_NO_ADDRESS = 3;

class CFeedDownloadDlg : public CDialog
{
    DECLARE_DYNAMIC(CFeedDownloadDlg)

public:
    explicit CFeedDownloadDlg(CWnd* pParent = nullptr);
    ~CFeedDownloadDlg() override;

    // In: the feed's address. Out, for an OPML list: the path of the downloaded temporary file.
    CString m_strUrl;
    // The parsed feed after IDOK; the caller takes it over (and clears the member).
    CFeedChannel* m_pChannel;
    int m_bLogon;
    int m_bHttpAuth; // 0: the account goes in the address's query
    CString m_strAccountName;
    CString m_strPassword;
    CString m_strIconFile; // the fetched site icon; empty when there is none
    // 0 done (or cancelled), FEED_DOWNLOAD_OPML, or the id of the failure's message.
    int m_nResult;
    CWinThread* m_pThread;
    CAnimateCtrl m_ctrlAnimate;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg LRESULT OnDownloadDone(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    friend UINT AFX_CDECL SubscribeDownloadThreadProc(LPVOID pParam);

private:
    // Ends the worker's fetch and waits for the thread; the fetch lets go within a second.
    void StopWorker();
    CScopedKernelHandle m_hStopEvent; // manual-reset; set by Cancel
};

// The worker: fetches the dialog's address, decides OPML or feed, fetches the icon, posts WM_FEED_DOWNLOAD_DONE.
UINT AFX_CDECL SubscribeDownloadThreadProc(LPVOID pParam);

// Whether the file parses as XML whose root element is "opml".
bool IsOpmlFile(LPCWSTR path);
