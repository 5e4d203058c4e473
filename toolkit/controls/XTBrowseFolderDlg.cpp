#include "toolkit/controls/XTBrowseFolderDlg.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/Wnd.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/controls/ControlsResource.h"

#include <cwchar>

CXTBrowseFolderDlg::CXTBrowseFolderDlg(CWnd* pParent) : m_bi(), m_szSelPath()
{
    XTGetResourceHolder()->LoadString(&m_strTitle, XT_IDS_SELDIR);
    m_bi.hwndOwner = pParent->GetSafeHwnd();
    m_bi.pidlRoot = nullptr;
    m_bi.pszDisplayName = m_szSelPath;
    m_bi.lpszTitle = m_strTitle;
    m_bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    m_bi.lpfn = BrowseCallbackProc;
    m_bi.lParam = reinterpret_cast<LPARAM>(this);
}

void CXTBrowseFolderDlg::SetSelPath(LPCTSTR lpszPath)
{
    lstrcpynW(m_szSelPath, lpszPath != nullptr ? lpszPath : L"", MAX_PATH);
}

void CXTBrowseFolderDlg::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    m_bi.lpszTitle = m_strTitle;
}

int CXTBrowseFolderDlg::DoModal()
{
    CScopedComPtr<IMalloc> pMalloc;
    if (FAILED(::SHGetMalloc(pMalloc.Receive())) || !pMalloc)
        return IDCANCEL;

    // The browser writes the display name over the start path: keep the path for a cancelled browse.
    WCHAR szStart[MAX_PATH];
    lstrcpynW(szStart, m_szSelPath, MAX_PATH);
    LPITEMIDLIST pidl = ::SHBrowseForFolderW(&m_bi);
    if (pidl == nullptr) {
        lstrcpynW(m_szSelPath, szStart, MAX_PATH);
        return IDCANCEL;
    }
    const BOOL bPath = ::SHGetPathFromIDListW(pidl, m_szSelPath);
    pMalloc->Free(pidl);
    if (!bPath) {
        lstrcpynW(m_szSelPath, szStart, MAX_PATH);
        return IDCANCEL;
    }
    return IDOK;
}

int CALLBACK CXTBrowseFolderDlg::BrowseCallbackProc(HWND hWnd, UINT uMsg, LPARAM lParam, LPARAM lpData)
{
    auto* pThis = reinterpret_cast<CXTBrowseFolderDlg*>(lpData);
    switch (uMsg) {
    case BFFM_INITIALIZED: {
        WCHAR szStart[MAX_PATH];
        if (pThis->m_szSelPath[0] != 0)
            lstrcpynW(szStart, pThis->m_szSelPath, MAX_PATH);
        else if (::GetCurrentDirectoryW(MAX_PATH, szStart) == 0 || szStart[0] == 0)
            break;
        ::SendMessageW(hWnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(szStart));
        break;
    }
    case BFFM_SELCHANGED:
        if (pThis->m_bi.ulFlags & BIF_STATUSTEXT) {
            WCHAR szPath[MAX_PATH];
            if (::SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lParam), szPath))
                ::SendMessageW(hWnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(szPath));
        }
        break;
    default:
        break;
    }
    return 0;
}
