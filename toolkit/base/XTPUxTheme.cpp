#include "toolkit/base/XTPUxTheme.h"

#include <shlwapi.h>

#include <atomic>

namespace {

using PFNOPENTHEMEDATA = HTHEME(WINAPI*)(HWND, LPCWSTR);
using PFNCLOSETHEMEDATA = HRESULT(WINAPI*)(HTHEME);
using PFNDRAWTHEMEBACKGROUND = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
using PFNGETCURRENTTHEMENAME = HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
using PFNGETTHEMECOLOR = HRESULT(WINAPI*)(HTHEME, int, int, int, COLORREF*);
using PFNISAPPTHEMED = BOOL(WINAPI*)();
using PFNISTHEMEACTIVE = BOOL(WINAPI*)();
using PFNDLLGETVERSION = HRESULT(CALLBACK*)(DLLVERSIONINFO*);

const char* const kEntryNames[] = {"OpenThemeData", "CloseThemeData", "DrawThemeBackground", "GetCurrentThemeName",
                                   "GetThemeColor", "IsAppThemed",    "IsThemeActive",       "DllGetVersion"};

// The override copies its texts so that a test may hand in temporaries.
struct SystemThemeOverride
{
    bool bSet = false;
    BOOL bThemeActive = FALSE;
    bool bHasFile = false;
    std::wstring strFile, strColor, strSize;
    DWORD dwComCtlVersion = 0;
};

SystemThemeOverride& Override()
{
    static SystemThemeOverride s_override;
    return s_override;
}

template <typename Fn> Fn As(FARPROC proc)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

void CopyName(LPWSTR pszBuffer, int cchBuffer, const std::wstring& str)
{
    if (!pszBuffer || cchBuffer <= 0)
        return;
    lstrcpynW(pszBuffer, str.c_str(), cchBuffer);
}

} // namespace

CXTPUxTheme::CXTPUxTheme() : CXTPUxTheme(L"UxTheme.dll", L"comctl32.dll") {}

CXTPUxTheme::CXTPUxTheme(const wchar_t* pszUxThemeModule, const wchar_t* pszComCtlModule)
    : m_hUxTheme(nullptr), m_hComCtl(nullptr), m_hTheme(nullptr), m_entries(), m_looked()
{
    m_hUxTheme = pszUxThemeModule ? LoadLibraryW(pszUxThemeModule) : nullptr;
    m_hComCtl = pszComCtlModule ? LoadLibraryW(pszComCtlModule) : nullptr;
}

CXTPUxTheme::~CXTPUxTheme()
{
    CloseThemeData();
    if (m_hUxTheme)
        FreeLibrary(m_hUxTheme);
    if (m_hComCtl)
        FreeLibrary(m_hComCtl);
}

FARPROC CXTPUxTheme::GetEntry(Entry entry)
{
    if (!m_looked[entry]) {
        m_looked[entry] = true;
        HMODULE hModule = entry == entryDllGetVersion ? m_hComCtl : m_hUxTheme;
        m_entries[entry] = hModule ? GetProcAddress(hModule, kEntryNames[entry]) : nullptr;
    }
    return m_entries[entry];
}

HTHEME CXTPUxTheme::OpenThemeData(HWND hWnd, LPCWSTR pszClassList)
{
    CloseThemeData();
    if (!m_hUxTheme)
        return nullptr;
    const SystemThemeOverride& over = Override();
    if (over.bSet && !over.bThemeActive)
        return nullptr;
    auto pfn = As<PFNOPENTHEMEDATA>(GetEntry(entryOpenThemeData));
    if (pfn)
        m_hTheme = pfn(hWnd, pszClassList);
    return m_hTheme;
}

HRESULT CXTPUxTheme::CloseThemeData()
{
    HRESULT hr = E_FAIL;
    if (m_hTheme) {
        auto pfn = As<PFNCLOSETHEMEDATA>(GetEntry(entryCloseThemeData));
        if (pfn)
            hr = pfn(m_hTheme);
    }
    m_hTheme = nullptr;
    return hr;
}

HRESULT CXTPUxTheme::DrawThemeBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect, const RECT* pClipRect)
{
    if (!m_hTheme || !hDC || !pRect)
        return E_FAIL;
    auto pfn = As<PFNDRAWTHEMEBACKGROUND>(GetEntry(entryDrawThemeBackground));
    return pfn ? pfn(m_hTheme, hDC, iPartId, iStateId, pRect, pClipRect) : E_FAIL;
}

HRESULT CXTPUxTheme::GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                                         int cchMaxColorChars, LPWSTR pszSizeBuff, int cchMaxSizeChars)
{
    if (!m_hUxTheme)
        return E_FAIL;
    const SystemThemeOverride& over = Override();
    if (over.bSet) {
        if (!over.bThemeActive || !over.bHasFile)
            return E_FAIL;
        CopyName(pszThemeFileName, cchMaxNameChars, over.strFile);
        CopyName(pszColorBuff, cchMaxColorChars, over.strColor);
        CopyName(pszSizeBuff, cchMaxSizeChars, over.strSize);
        return S_OK;
    }
    auto pfn = As<PFNGETCURRENTTHEMENAME>(GetEntry(entryGetCurrentThemeName));
    if (!pfn)
        return E_FAIL;
    HRESULT hr = pfn(pszThemeFileName, cchMaxNameChars, pszColorBuff, cchMaxColorChars, pszSizeBuff, cchMaxSizeChars);
    return SUCCEEDED(hr) ? hr : E_FAIL;
}

HRESULT CXTPUxTheme::GetThemeColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor)
{
    if (!m_hTheme || !pColor)
        return E_FAIL;
    auto pfn = As<PFNGETTHEMECOLOR>(GetEntry(entryGetThemeColor));
    if (!pfn)
        return E_FAIL;
    HRESULT hr = pfn(m_hTheme, iPartId, iStateId, iPropId, pColor);
    return SUCCEEDED(hr) ? hr : E_FAIL;
}

BOOL CXTPUxTheme::IsAppThemed()
{
    if (!m_hUxTheme || !m_hTheme)
        return FALSE;
    const SystemThemeOverride& over = Override();
    if (over.bSet)
        return over.bThemeActive;
    auto pfn = As<PFNISAPPTHEMED>(GetEntry(entryIsAppThemed));
    return pfn ? pfn() : FALSE;
}

BOOL CXTPUxTheme::IsThemeActive()
{
    if (!m_hUxTheme)
        return FALSE;
    const SystemThemeOverride& over = Override();
    if (over.bSet)
        return over.bThemeActive;
    auto pfn = As<PFNISTHEMEACTIVE>(GetEntry(entryIsThemeActive));
    return pfn ? pfn() : FALSE;
}

BOOL CXTPUxTheme::IsThemeDataOpen() const
{
    return m_hTheme != nullptr;
}

DWORD CXTPUxTheme::GetComCtlVersion()
{
    auto pfn = As<PFNDLLGETVERSION>(GetEntry(entryDllGetVersion));
    if (!pfn)
        return 0;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof(info);
    if (FAILED(pfn(&info)))
        return 0;
    const SystemThemeOverride& over = Override();
    if (over.bSet)
        return over.dwComCtlVersion;
    DWORD dwVersion = MAKELONG(info.dwMinorVersion, info.dwMajorVersion);
    // Wine reports 5.81 even when the version 6 controls are in use, so a lower number is checked by behaviour.
    if (dwVersion < MAKELONG(0, 6) && IsComCtl6ByBehaviour())
        dwVersion = MAKELONG(0, 6);
    return dwVersion;
}

BOOL CXTPUxTheme::IsComCtl6ByBehaviour()
{
    // -1 not yet known; the answer cannot change while the process runs.
    static std::atomic<int> s_answer(-1);
    int answer = s_answer.load();
    if (answer < 0) {
        answer = 0;
        HWND hButton = CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
        if (hButton) {
            // Only the version 6 button answers this message; older ones leave it to the default procedure.
            SIZE size = {};
            answer = SendMessageW(hButton, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&size)) ? 1 : 0;
            DestroyWindow(hButton);
        }
        s_answer.store(answer);
    }
    return answer;
}

BOOL CXTPUxTheme::IsAppThemeReady()
{
    if (!m_hUxTheme)
        return FALSE;
    if (!IsThemeActive() || !IsAppThemed())
        return FALSE;
    return GetComCtlVersion() > 0x5FFFF;
}

void CXTPUxTheme::SetSystemThemeOverride(const CSystemTheme* pTheme)
{
    SystemThemeOverride& over = Override();
    over = SystemThemeOverride();
    if (!pTheme)
        return;
    over.bSet = true;
    over.bThemeActive = pTheme->bThemeActive;
    over.bHasFile = pTheme->pszThemeFile != nullptr;
    over.strFile = pTheme->pszThemeFile ? pTheme->pszThemeFile : L"";
    over.strColor = pTheme->pszColorName ? pTheme->pszColorName : L"";
    over.strSize = pTheme->pszSizeName ? pTheme->pszSizeName : L"";
    over.dwComCtlVersion = pTheme->dwComCtlVersion;
}
