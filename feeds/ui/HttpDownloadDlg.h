// The "File Download" dialog: one URL copied into one local file on a worker thread, with progress, rate and
// time left, resume by range request and cancel.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include "feeds/ConnectionCut.h"
#include "framework/core/AfxString.h"
#include "framework/core/File.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/Controls.h"
#include "framework/win/Dialog.h"
#include "framework/win/WinThread.h"

class CHttpDownloadDlg : public CDialog
{
    DECLARE_DYNAMIC(CHttpDownloadDlg)

public:
    explicit CHttpDownloadDlg(CWnd* pParent = nullptr);
    ~CHttpDownloadDlg() override;

    // Takes the proxy and the user agent from the engine's connection settings.
    void UseConnectionSettings();

    // Filled by the caller before DoModal.
    CString m_strUrl;
    CString m_strFile;
    CString m_strProxyServer;
    CString m_strProxyUserName;
    CString m_strProxyPassword;
    CString m_strUserName;
    CString m_strPassword;
    CString m_strUserAgent;
    int m_nProxyMode;           // 3 a named proxy, anything else the platform's proxy configuration
    BOOL m_bAskBeforeReplacing; // asked only when not resuming
    DWORD m_dwResumeOffset;     // not 0: the file keeps this many bytes and the rest is appended

    CStatic m_ctrlStatus;
    CStatic m_ctrlTransferRate;
    CStatic m_ctrlTimeLeft;
    CProgressCtrl m_ctrlProgress;
    CStatic m_ctrlFileAndHost;
    CAnimateCtrl m_ctrlAnimate;

    // The message of the last failure (shown in a message box when the worker reports it).
    CString m_strError;
    // What the server announced of the body it sent (the rest of the file when resuming); read after DoModal.
    bool m_bLengthKnown = false;
    ULONGLONG m_nAnnouncedLength = 0;

    CString m_strHost;
    INTERNET_SCHEME m_nScheme;
    INTERNET_PORT m_nPort;
    // A redirect led the request away from the address's own scheme, host and port.
    bool m_bLeftOrigin = false;
    CString m_strObject;
    CString m_strFileName;

    // Released in this order (request, connection, session), by OnDestroy or with the dialog.
    CScopedInternet m_hSession;
    CScopedInternet m_hConnection;
    CScopedInternet m_hRequest;

    volatile LONG m_bAbort;
    BOOL m_bFinished;

    CFile m_file;
    CWinThread* m_pThread;

    // Texts of the amounts, the time left and the rate (kilobytes per second).
    static CString FormatAmount(ULONGLONG bytes);
    static CString FormatTimeLeft(DWORD seconds);
    static CString FormatRate(double kilobytesPerSecond);
    // A string-table text with "%1" and "%2" replaced (other "%" signs stay as they are).
    static CString FormatString(UINT nID, LPCWSTR arg1, LPCWSTR arg2 = nullptr);

protected:
    virtual BOOL CheckConnection();
    virtual void ReportError(UINT nID, DWORD dwError);
    // As ReportError, but the file keeps the bytes it holds, for a later resume.
    virtual void ReportErrorKeepFile(UINT nID, DWORD dwError);
    virtual void DownloadBody();
    virtual void SetPercentage(int nPercent);
    virtual void SetTimeLeft(DWORD dwSecondsLeft, ULONGLONG bytesCopied, ULONGLONG bytesTotal);
    virtual void SetStatus(UINT nID, LPCWSTR insert);
    virtual void SetStatus(UINT nID);
    virtual void SetStatus(const CString& text);
    virtual void SetTransferRate(double kilobytesPerSecond);
    virtual void PlayAnimation();
    virtual void UpdateProgress(ULONGLONG total, ULONGLONG length, bool bLengthKnown);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnCancel() override;
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg LRESULT OnDownloadDone(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    friend UINT AFX_CDECL HttpDownloadThreadProc(LPVOID pParam);

private:
    bool Aborted() const { return InterlockedCompareExchange(const_cast<LONG*>(&m_bAbort), 0, 0) != 0; }
    void PostDone(WPARAM wParam);
    // Sends the request and reads the status; FALSE once the failure is reported.
    BOOL SendRequest(DWORD& status);
    // The file starts over (a server that answered the whole body to a range request).
    bool AnsweredByOwnOrigin() const;
    static void CALLBACK OnRequestStatus(HINTERNET hRequest, DWORD_PTR context, DWORD status, LPVOID info,
                                         DWORD infoLength);
    // Cut on a cancel, so that a receive the server holds does not keep the dialog waiting.
    CConnectionWatch m_connection;
    BOOL StartFileOver();
    void Transfer(bool bLengthKnown, ULONGLONG length);

    int m_nLastPercent;
    DWORD m_dwStartTick;
    DWORD m_dwLastRateTick;
    ULONGLONG m_lastRateTotal;
};

// The worker's entry: runs the download body of the dialog given as the argument and returns 0.
UINT AFX_CDECL HttpDownloadThreadProc(LPVOID pParam);
