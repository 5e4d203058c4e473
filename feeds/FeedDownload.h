// The download thread of one channel refresh (or one enclosure job) and the site-icon fetch.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/win/WinThread.h"

class CFeedItem;

// Thread procedure; the argument is the subscription entry, which the feed worker hands over for the thread's
// life. Fetches the feed into a "tmdf" temporary file (or runs the enclosure job), reads it into a channel held
// for the frame (TakeFetchedChannel; a body that is no feed fails the refresh), removes the temporary file whatever the outcome,
// fetches the site icon (a source that had none is not asked again for a day) and posts WM_WORKER_FEED_DONE
// (wParam the entry, lParam this thread's id) to m_dwOwnerThreadId when that is not 0. A stop found before or
// during the fetch ends the thread without a report. Returns 0.
UINT AFX_CDECL FeedRefreshThreadProc(LPVOID pParam);

// Makes sure the entry has its icon file: true when it existed or was fetched.
bool DownloadFavicon(CFeedItem* pEntry);

// The feed URL with the account as "username" and "password" query parameters, both percent-encoded (UTF-8);
// the link unchanged when the account name is empty.
CString AppendFeedCredentials(const CString& link, const CString& accountName, const CString& password);

// "http://" + the link's host text (with its port) + "/favicon.ico": the site icon asked for over plain http on
// the feed's own host; empty when the link does not crack.
CString DefaultIconUrl(const CString& link);

// One enclosure download as the HTTP download dialog takes it.
struct CEnclosureDownload
{
    CString strUrl;
    CString strFile;
    CString strUserName;
    CString strPassword;
    ULONGLONG nResumeOffset = 0; // bytes already in the file; not 0 resumes there
    bool bAskBeforeReplacing = true;
};

// Runs the enclosure download modally through the HTTP download dialog (CHttpDownloadDlg) with the
// connection settings' proxy and the branding's user agent; IDOK when the file is complete.
INT_PTR RunEnclosureDownloadDialog(const CEnclosureDownload& download);
