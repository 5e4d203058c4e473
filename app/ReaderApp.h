// The application object: the folders, settings and branding that every part of the program reads. What the feed
// engine reads of them is the engine's own record, which the application object is.
#pragma once

#include "feeds/EngineContext.h"
#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/WinApp.h"

class CReaderApp : public CWinApp, public CEngineContext
{
public:
    CReaderApp();

    HWND GetFrameWindow() const override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The settings of the profile, read over the record's defaults; the statistics consent only counts when the
    // branding allows statistics, and a named proxy without a server is no proxy.
    void ReadSettings();

    // The unsubscribed list in the data folder's "unsubdump" (the framework's archive form of a string list). A
    // missing or damaged file leaves the list empty; the save replaces the file whole or not at all.
    void LoadUnsubscribed();
    BOOL SaveUnsubscribed() const;

    // Shows the About box modally (the "About this Program" command).
    void OnAppAbout();

    HANDLE m_hInstanceMutex = nullptr;
    // Set once the first copy's window is in its place (shown, or in the notification area), so that a second
    // start hands over only to a window that stays where the hand-over puts it.
    CScopedKernelHandle m_hReady;
    CString m_strFeedToSubscribe; // the feed address of the command line
    CStringList m_unsubscribed;   // processed links of feeds the user removed
    BOOL m_bLabel = FALSE;        // the branded edition of the About box

    DECLARE_MESSAGE_MAP()
};

// A second start: finds the running copy by its answer to the probe (top-level windows, then the children of the
// tray window) and hands it the command line's feed address. Returns whether a running copy answered.
bool HandOverToRunningCopy(const CString& argument);

// The program's temporary folder ("LanternquillT" under the given base folder): created, or emptied of its files
// when it is there already (its subfolders stay). Empty when it cannot be made.
CString PrepareTempFolder(const CString& baseFolder);
// Deletes everything inside the folder, subfolders too; the folder itself stays.
void EmptyFolder(const CString& folder);

// The feed: protocol for the current user (HKCU\Software\Classes\feed), pointing at the program's path. Only values
// that differ are written; returns the number written, -1 when the key cannot be opened.
int RegisterFeedProtocol(LPCWSTR programPath);

extern CReaderApp theApp;
