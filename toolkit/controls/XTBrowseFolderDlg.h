// The shell's folder browser, started at a folder of the caller's choice.
#pragma once

#include "framework/core/AfxString.h"

#include <windows.h>
#include <shlobj.h>

class CWnd;

class CXTBrowseFolderDlg
{
public:
    explicit CXTBrowseFolderDlg(CWnd* pParent = nullptr);
    virtual ~CXTBrowseFolderDlg() = default;
    CXTBrowseFolderDlg(const CXTBrowseFolderDlg&) = delete;
    CXTBrowseFolderDlg& operator=(const CXTBrowseFolderDlg&) = delete;

    // The folder the browser starts at (the current directory when empty); cut to MAX_PATH - 1 characters.
    void SetSelPath(LPCTSTR lpszPath);
    void SetTitle(LPCTSTR lpszTitle);
    // IDOK with the chosen folder in GetSelPath, else IDCANCEL (the path then stays as it was).
    int DoModal();
    LPCTSTR GetSelPath() const { return m_szSelPath; }

    BROWSEINFOW m_bi;

protected:
    static int CALLBACK BrowseCallbackProc(HWND hWnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

    WCHAR m_szSelPath[MAX_PATH];
    CString m_strTitle;
};
