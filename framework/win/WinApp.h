// The application object: the main thread's CWinThread, its settings profile and the process entry.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/ProfileStore.h"
#include "framework/win/WinThread.h"

class CRecentFileList;

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)

public:
    // The one application object of the process; it becomes the calling thread's thread object. The name is
    // the application's name (default: string AFX_IDS_APP_TITLE, else the executable's name).
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int Run() override;
    int ExitInstance() override;
    BOOL OnIdle(LONG lCount) override;

    // Shows a message box owned by the active window of the main window, captioned with the application name.
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const;
    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;
    HCURSOR LoadOEMCursor(UINT nIDCursor) const;

    // ---- Profile: the values under HKCU\Software\<registry key>\<profile name>; section "" is that key itself.
    // Sets the company key; the profile name becomes the application name as it is now.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCTSTR lpszSection);
    CProfileStore& GetProfileStore() { return m_profile; }

    void EnableModeless(BOOL bEnable);

    // Owned strings: a program replacing one frees the old value with free() and sets a malloc'd copy.
    LPCTSTR m_pszAppName;
    LPCTSTR m_pszRegistryKey;
    LPCTSTR m_pszProfileName;
    LPCTSTR m_pszExeName;
    LPCTSTR m_pszHelpFilePath;
    HINSTANCE m_hInstance;
    LPTSTR m_lpCmdLine;
    int m_nCmdShow;
    // The recently used files; null in a program that keeps none. Owned.
    CRecentFileList* m_pRecentFileList;

protected:
    CProfileStore m_profile;

private:
    CWinApp* m_pPrevApp;
    CWinThread* m_pPrevThread;

    // The profile store follows the public fields, which programs may change directly.
    void SyncProfileNames();

    friend BOOL AFXAPI AfxWinInit(HINSTANCE, HINSTANCE, LPTSTR, int);
};

CWinApp* AFXAPI AfxGetApp();
LPCTSTR AFXAPI AfxGetAppName();

// Sets the application's instance, command line and show state (AfxWinMain calls it).
BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
void AFXAPI AfxWinTerm();
// The program's entry: InitApplication, InitInstance, Run and ExitInstance of the application object.
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);

// A window class with these attributes (registered once per process); the name stays valid for the process.
LPCTSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                                   HICON hIcon = nullptr);

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

// Initialises OLE for the calling thread; it is ended again when the application ends.
BOOL AFXAPI AfxOleInit();
void AFXAPI AfxEnableControlContainer();

#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE 0xE000
#endif
