// One enclosure fetched over HTTP or HTTPS into the podcast folder, continuing a partial file of the same
// enclosure with a byte range. It runs on a download thread of its own and reports only by posted messages.
#pragma once

#include <windows.h>

#include "feeds/ConnectionCut.h"
#include "framework/core/AfxString.h"

#include <atomic>

// What one download needs and what it reports. The thread that runs it holds it (shared) to the end, so that a
// manager that gives up waiting leaves the thread nothing of its own to touch.
struct CEnclosureTransfer
{
    // ---- Set before the download starts.
    CString strUrl;
    CString strFolder;     // where a new file goes
    CString strResumePath; // the partial file of this enclosure to continue; empty for a new download
    LONGLONG nDeclaredLength = 0; // the feed's length of the enclosure; 0 when it gave none
    // The feed's account: sent only after a challenge from the feed's own scheme, host and port.
    CString strFeedLink;
    CString strAccountName;
    CString strPassword;
    HWND hNotify = nullptr; // gets WM_PODCAST_PROGRESS and WM_PODCAST_DOWNLOAD_DONE
    LPARAM nSerial = 0;     // posted with every report, so that a late one is known

    // ---- Read by the manager after WM_PODCAST_DOWNLOAD_DONE (or once the thread has ended).
    CString strFilePath; // the file written; empty when none was opened
    CString strError;    // the failure's text
    LONGLONG nFileBytes = 0;
    bool bDone = false;

    // ---- From the manager's thread while the download runs.
    // Ends the download: nothing more is written and it is reported as failed, within a second even while the
    // server holds the connection without sending.
    void Abort();
    bool Aborted() const { return m_bAbort.load(); }

    // Used by the download.
    CConnectionWatch m_connection;

private:
    std::atomic<bool> m_bAbort{false};
};

// Runs the download and posts WM_PODCAST_DOWNLOAD_DONE (wParam 0 done, 1 failed; lParam the serial) to hNotify.
// A new file takes the last segment of the final address (its query cut off, the name cleaned); an existing file
// of that name belongs to something else and is left alone: the name gets a number. Only the given partial file
// is continued; a server that answers the range with the whole file, with another length or with 416 makes the
// file start again from its first byte. A body shorter than announced is a failure, never done.
// Returns 0 done, 1 failed.
int DownloadEnclosure(CEnclosureTransfer& transfer);
