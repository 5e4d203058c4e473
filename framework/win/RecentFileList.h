// The application's list of recently used files, newest first, as menus show it.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"

#include <vector>

class CRecentFileList
{
public:
    // nStart: the number the first entry's display counts from; nSize: how many names the list keeps.
    CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize, int nMaxDispLen = 0);
    virtual ~CRecentFileList() = default;

    int GetSize() const { return static_cast<int>(m_arrNames.size()); }
    CString& operator[](int nIndex) { return m_arrNames[static_cast<size_t>(nIndex)]; }
    // Puts the name first, removing an earlier entry of the same name and the oldest when full.
    virtual void Add(LPCTSTR lpszPathName);
    virtual void Remove(int nIndex);
    // The name a menu shows: without the directory when it is the current one (lpszCurDir, nCurDir characters),
    // shortened to the display length but at least the file name when bAtLeastName is set. FALSE for an empty
    // or missing entry.
    virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                BOOL bAtLeastName = TRUE) const;

    int m_nSize;
    int m_nStart;
    int m_nMaxDisplayLength;
    CString m_strSectionName;
    CString m_strEntryFormat;

protected:
    std::vector<CString> m_arrNames;
};
