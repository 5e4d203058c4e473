// The update check: the update description ("UPDATE" with "VERSION", "DESCRIPTION", "FILE" and "SHA256"), the
// package download thread and the start of the separate updater program.
//
// A package is run only when it came over HTTPS from the host of the update description's own HTTPS address and
// its SHA-256 digest is the one the description gives in "SHA256" (64 hexadecimal digits). Older versions of the
// program read the same file and pass over that element.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/win/WinThread.h"

// The offer read from an update description. The update offer dialog (198) keeps these as its own members.
class CUpdateDescription
{
public:
    CUpdateDescription() = default;
    virtual ~CUpdateDescription() = default;

    // Reads the file named by m_strPath. TRUE when the update is to be offered: its version is above this
    // build and above the version the user declined, and it names an HTTP or HTTPS package. A file that loads
    // with the right root is deleted; one that does not stays.
    BOOL ParseUpdateDescription();

    CString m_strPath;
    CString m_strDescription; // line ends as CRLF, ready for a multi-line edit control
    CString m_strFile;        // the package URL
    CString m_strDigest;      // the package's SHA-256 digest, lower-case hex; empty when not given or malformed
    int m_nVersion = 0;
};

// The update description's address: "URLs"\"update", by default the build's; empty when there is none, and the
// check is then not made.
CString GetUpdateDescriptionUrl();
// The branding file's address for the profile's "BrandId": the build's branding address with the id appended;
// empty when the build names no branding service.
CString GetBrandingUrl();

// "Don't Install": the offered version is remembered, so it and older ones are never offered again.
void DeclineUpdate(int version);

// What the package download is handed: the package's address and the digest the description gave for it.
struct CUpdatePackageOrder
{
    CString strUrl;
    CString strDigest;
};

// "Install Now...": starts UpdateDownloadThreadProc on a heap copy of the order. Null when no thread started.
CWinThread* StartUpdateDownload(LPCWSTR packageUrl, LPCWSTR digest);

// Thread procedure; takes ownership of a CUpdatePackageOrder made with new. Downloads the package into the data
// folder as "lqupdate.exe" and sends WM_RUN_UPDATER to the application's main window with lParam TRUE only when
// the package is complete and verified. A package that may not be trusted is not even fetched, one that is
// incomplete or has another digest is deleted, and the user is told either way. Returns 0.
UINT AFX_CDECL UpdateDownloadThreadProc(LPVOID pParam);

// Whether a package at this address may be run: HTTPS, on the host (and port) of the update description's
// address, itself HTTPS.
bool IsTrustedPackageUrl(LPCWSTR packageUrl);

// The SHA-256 digest of a file as 64 lower-case hexadecimal digits, through the platform's cryptography; empty when
// the file cannot be read.
CString FileSha256(LPCWSTR path);

// Tells the user something about the update (a string of the string table); tests put their own in.
using PFN_UPDATE_MESSAGE = void (*)(UINT nID);
extern PFN_UPDATE_MESSAGE g_pfnUpdateMessage;

// One package download as the HTTP download dialog takes it, and what it learnt of the answer.
struct CUpdateDownload
{
    CString strUrl;
    CString strFile;
    bool bLengthKnown = false; // the server announced the package's length
    ULONGLONG nAnnounced = 0;  // that length
};

// Runs the package download through the HTTP download dialog; IDOK when it reports the transfer finished.
using PFN_RUN_UPDATE_DOWNLOAD = INT_PTR (*)(CUpdateDownload& download);
INT_PTR RunUpdateDownloadDialog(CUpdateDownload& download);
// What UpdateDownloadThreadProc calls; tests put their own in.
extern PFN_RUN_UPDATE_DOWNLOAD g_pfnRunUpdateDownload;

// Whether the file can be handed to the updater: it holds bytes, exactly the announced number when the server
// announced one, and begins as a Windows program does ("MZ").
bool IsUpdatePackageComplete(const CUpdateDownload& download);

// The updater program in the program folder and the downloaded package in the data folder.
CString GetUpdaterProgramPath();
CString GetUpdatePackagePath();

// Whether the last package download passed the checks above since it was last asked; asking clears it. A
// WM_RUN_UPDATER that any other process can send is answered only when this holds.
bool TakeCheckedUpdatePackage();

// The main window's answer to WM_RUN_UPDATER: with bComplete, runs the updater program (when it exists) on
// the package (when it is still complete and still has the digest the last download verified) and this program's
// path. TRUE when the updater was started.
BOOL RunUpdater(BOOL bComplete);

// Starts a program with its parameters; TRUE on success. Tests put their own in, so no program ever starts.
using PFN_LAUNCH_PROGRAM = BOOL (*)(LPCWSTR program, LPCWSTR parameters);
extern PFN_LAUNCH_PROGRAM g_pfnLaunchProgram;
