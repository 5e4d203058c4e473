#include "framework/win/RecentFileList.h"

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize, int nMaxDispLen)
    : m_nSize(nSize), m_nStart(static_cast<int>(nStart)), m_nMaxDisplayLength(nMaxDispLen),
      m_strSectionName(lpszSection != nullptr ? lpszSection : L""),
      m_strEntryFormat(lpszEntryFormat != nullptr ? lpszEntryFormat : L""),
      m_arrNames(static_cast<size_t>(nSize > 0 ? nSize : 0))
{
}

void CRecentFileList::Add(LPCTSTR lpszPathName)
{
    if (lpszPathName == nullptr || *lpszPathName == 0 || m_arrNames.empty())
        return;
    const CString strName(lpszPathName);
    size_t nFound = m_arrNames.size() - 1;
    for (size_t i = 0; i < m_arrNames.size(); ++i) {
        if (m_arrNames[i].CompareNoCase(strName) == 0) {
            nFound = i;
            break;
        }
    }
    for (size_t i = nFound; i > 0; --i)
        m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = strName;
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetSize())
        return;
    m_arrNames.erase(m_arrNames.begin() + nIndex);
    m_arrNames.push_back(CString());
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                     BOOL bAtLeastName) const
{
    if (nIndex < 0 || nIndex >= GetSize() || m_arrNames[static_cast<size_t>(nIndex)].IsEmpty())
        return FALSE;
    const CString& strPath = m_arrNames[static_cast<size_t>(nIndex)];
    strName = strPath;
    const int nSlash = strPath.ReverseFind(L'\\');
    if (lpszCurDir != nullptr && nCurDir > 0 && nSlash == nCurDir - 1 &&
        strPath.Left(nCurDir).CompareNoCase(CString(lpszCurDir).Left(nCurDir)) == 0)
        strName = strPath.Mid(nCurDir);
    if (m_nMaxDisplayLength > 0 && strName.GetLength() > m_nMaxDisplayLength) {
        const CString strFile = strName.Mid(strName.ReverseFind(L'\\') + 1);
        if (bAtLeastName && strFile.GetLength() + 4 >= m_nMaxDisplayLength)
            strName = strFile;
        else
            strName = L"...\\" + strFile;
    }
    return TRUE;
}
