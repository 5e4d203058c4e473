// CFileDialog: the system's open and save dialogs.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "framework/core/AfxString.h"
#include "framework/win/Dialog.h"

class CFileDialog : public CDialog
{
    DECLARE_DYNAMIC(CFileDialog)

public:
    // lpszFilter: pairs of "description|pattern|", ended by a second "|" (as "Text (*.txt)|*.txt||").
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr, DWORD dwSize = 0);
    ~CFileDialog() override;

    OPENFILENAMEW m_ofn;

    // IDOK or IDCANCEL (also for an error the dialog reports through CommDlgExtendedError).
    INT_PTR DoModal() override;

    // The full path chosen.
    CString GetPathName() const;
    // The file name with its extension.
    CString GetFileName() const;
    // The extension without its dot.
    CString GetFileExt() const;
    // The file name without its extension.
    CString GetFileTitle() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
    // The filter as the system takes it ('|' turned into the separating null characters).
    const CString& GetFilterForSystem() const { return m_strFilter; }

protected:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;
    CString m_strDefExt;
    wchar_t m_szFileTitle[64];
    wchar_t m_szFileName[MAX_PATH * 4];
};
