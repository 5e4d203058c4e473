// Run-time binding of the platform's visual styles library: every themed toolkit object embeds one and falls
// back to its own drawing whenever a call answers E_FAIL or 0.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include <string>

class CXTPUxTheme
{
public:
    // What the platform says about its visual style. Tests put one in place so that each colour scheme and the
    // classic look can be reached on any machine; drawing still goes to the library.
    struct CSystemTheme
    {
        BOOL bThemeActive;           // IsThemeActive, IsAppThemed; FALSE also makes OpenThemeData open nothing
        const wchar_t* pszThemeFile; // file name answered by GetCurrentThemeName
        const wchar_t* pszColorName; // colour scheme name
        const wchar_t* pszSizeName;  // size name
        DWORD dwComCtlVersion;       // MAKELONG(minor, major), as DllGetVersion reports it
    };

    CXTPUxTheme();
    // Binds other modules than "UxTheme.dll" and "comctl32.dll"; a name that does not load leaves the binding
    // without that library, as on a system that lacks it.
    CXTPUxTheme(const wchar_t* pszUxThemeModule, const wchar_t* pszComCtlModule);
    virtual ~CXTPUxTheme();

    CXTPUxTheme(const CXTPUxTheme&) = delete;
    CXTPUxTheme& operator=(const CXTPUxTheme&) = delete;

    // Closes the open handle first; returns the new handle (null when nothing was opened).
    HTHEME OpenThemeData(HWND hWnd, LPCWSTR pszClassList);
    HRESULT CloseThemeData();
    HRESULT DrawThemeBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect, const RECT* pClipRect);
    HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff, int cchMaxColorChars,
                                LPWSTR pszSizeBuff, int cchMaxSizeChars);
    HRESULT GetThemeColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor);
    BOOL IsAppThemed();
    BOOL IsThemeActive();
    BOOL IsThemeDataOpen() const;
    // Visual styles are active, this window class is themed, and the common controls are version 6 or later.
    BOOL IsAppThemeReady();

    HTHEME GetThemeHandle() const { return m_hTheme; }
    BOOL IsLibraryLoaded() const { return m_hUxTheme != nullptr; }
    // The common controls version as MAKELONG(minor, major); 0 when the library or its DllGetVersion is missing.
    DWORD GetComCtlVersion();

    // Null restores the platform's answers. Process-wide; meant for the user-interface thread of a test.
    static void SetSystemThemeOverride(const CSystemTheme* pTheme);

private:
    enum Entry
    {
        entryOpenThemeData,
        entryCloseThemeData,
        entryDrawThemeBackground,
        entryGetCurrentThemeName,
        entryGetThemeColor,
        entryIsAppThemed,
        entryIsThemeActive,
        entryDllGetVersion,
        entryCount
    };

    FARPROC GetEntry(Entry entry);
    static BOOL IsComCtl6ByBehaviour();

    HMODULE m_hUxTheme;
    HMODULE m_hComCtl;
    HTHEME m_hTheme;
    FARPROC m_entries[entryCount];
    bool m_looked[entryCount];
};
