// The system's open and save dialogs, owned like the framework's other modal dialogs.
#include "framework/win/FileDialog.h"

#include "framework/win/WinApp.h"

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD)
    : CDialog(static_cast<UINT>(0), pParentWnd), m_ofn{},
      m_bOpenFileDialog(bOpenFileDialog), m_szFileTitle{}, m_szFileName{}
{
    m_lpszTemplateName = nullptr;
    m_ofn.lStructSize = sizeof(OPENFILENAMEW);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = static_cast<DWORD>(sizeof(m_szFileName) / sizeof(m_szFileName[0]));
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = static_cast<DWORD>(sizeof(m_szFileTitle) / sizeof(m_szFileTitle[0]));
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
    m_ofn.hInstance = AfxGetResourceHandle();
    if (lpszDefExt != nullptr) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFileName != nullptr)
        lstrcpynW(m_szFileName, lpszFileName, static_cast<int>(m_ofn.nMaxFile));
    if (lpszFilter != nullptr) {
        // The system wants the pairs separated by null characters and ended by two of them.
        m_strFilter = lpszFilter;
        const int nLength = m_strFilter.GetLength();
        wchar_t* buffer = m_strFilter.GetBuffer(nLength + 2);
        for (int i = 0; i < nLength; ++i) {
            if (buffer[i] == L'|')
                buffer[i] = 0;
        }
        buffer[nLength] = 0;
        buffer[nLength + 1] = 0;
        m_strFilter.ReleaseBuffer(nLength + 1);
        m_ofn.lpstrFilter = m_strFilter;
    }
}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal()
{
    HWND hWndTop = nullptr;
    m_ofn.hwndOwner = CWnd::GetSafeOwner(m_pParentWnd, &hWndTop)->GetSafeHwnd();
    if (CWinApp* pApp = AfxGetApp())
        pApp->EnableModeless(FALSE);
    // The title is rebuilt by the dialog; a stale one from an earlier run must not survive a cancel.
    m_szFileTitle[0] = 0;
    const BOOL bResult = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    if (CWinApp* pApp = AfxGetApp())
        pApp->EnableModeless(TRUE);
    return bResult ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const
{
    const CString path = GetPathName();
    const int nSlash = path.ReverseFind(L'\\');
    const int nOther = path.ReverseFind(L'/');
    const int nStart = (nSlash > nOther ? nSlash : nOther) + 1;
    return path.Mid(nStart);
}

CString CFileDialog::GetFileExt() const
{
    const CString name = GetFileName();
    const int nDot = name.ReverseFind(L'.');
    return nDot < 0 ? CString() : name.Mid(nDot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    const CString name = GetFileName();
    const int nDot = name.ReverseFind(L'.');
    return nDot < 0 ? name : name.Left(nDot);
}
