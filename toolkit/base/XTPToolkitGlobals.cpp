// The toolkit's process-wide record of system settings.
#include "toolkit/base/XTPToolkitGlobals.h"

#include "framework/core/ScopedHandles.h"
#include "toolkit/base/BaseResource.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTResourceHolder.h"

#include <cstdlib>
#include <cwchar>
#include <shlwapi.h>

namespace {

// Colour manager entries copied, in the record's order.
const int g_colorSources[CXTPToolkitGlobals::colorCount] = {
    15, 16, 21, 20, 22, 18, 17, 13, 14, 4,  7,  5,  6,  8,  2,  3,  27, 28, 9,  19,
    30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49,
};

// Loading order of the resource cursors, as indices into the record's cursor fields.
const struct
{
    int nResource;
    int nSlot;
} g_cursorLoads[] = {
    {XTP_IDC_DRAG_MOVE, 2}, {XTP_IDC_SPLIT_ROWS, 0}, {XTP_IDC_SPLIT_COLS, 1}, {XTP_IDC_HAND, 3},
    {XTP_IDC_DRAG_COPY, 4}, {XTP_IDC_SIZE_NS, 5},    {XTP_IDC_SIZE_WE, 6},
};

struct FaceSearch
{
    LPCWSTR pszFace;
    BOOL bFound;
};

int CALLBACK MatchFaceProc(const LOGFONTW* plf, const TEXTMETRICW*, DWORD, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<FaceSearch*>(lParam);
    if (_wcsicmp(plf->lfFaceName, pSearch->pszFace) != 0)
        return 1;
    pSearch->bFound = TRUE;
    return 0;
}

// The enumeration's own result is not a reliable answer under every platform: the callback records the match.
BOOL FaceInstalled(LPCWSTR lpszFaceName)
{
    if (!lpszFaceName || !*lpszFaceName)
        return FALSE;
    CScopedWindowDC screen(nullptr);
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    FaceSearch search = {lpszFaceName, FALSE};
    ::EnumFontFamiliesExW(screen, &lf, MatchFaceProc, reinterpret_cast<LPARAM>(&search), 0);
    return search.bFound;
}

BYTE ScreenCharset()
{
    const CScopedWindowDC screen(nullptr);
    const int nCharset = ::GetTextCharsetInfo(screen, nullptr, 0);
    return static_cast<BYTE>(nCharset == DEFAULT_CHARSET ? ANSI_CHARSET : nCharset);
}

void CopyFace(LOGFONTW& lf, LPCWSTR lpszFace)
{
    wcsncpy(lf.lfFaceName, lpszFace, LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
}

bool g_bGlobalsBuilt = false;

void DestroyGlobalsAtExit();

CXTPToolkitGlobals* g_pGlobals = nullptr;

void DestroyGlobalsAtExit()
{
    delete g_pGlobals;
    g_pGlobals = nullptr;
}

} // namespace

CXTPToolkitGlobals::CXTPToolkitGlobals()
    : m_hcurSplitRows(nullptr), m_hcurSplitCols(nullptr), m_hcurDragMove(nullptr), m_hcurHand(nullptr),
      m_hcurDragCopy(nullptr), m_hcurSizeNS(nullptr), m_hcurSizeWE(nullptr), m_hcurSizeAll(nullptr), m_cxSmIcon(0),
      m_cySmIcon(0), m_cxDefaultButton(18), m_cyDefaultButton(18), m_cxHThumb(0), m_cyVThumb(0), m_cyMenuItem(0),
      m_bWin95(FALSE), m_bWin98(FALSE), m_bWinNT(FALSE), m_bWin2K(FALSE), m_bWinXP(FALSE), m_bUseTahoma(FALSE),
      m_bFlatLook(FALSE), m_bDisableAnimation(FALSE), m_bUseSystemFonts(TRUE), m_dwComCtlVersion(DWORD(-1)),
      m_hResourceModule(nullptr)
{
    for (COLORREF& clr : m_arrColor)
        clr = 0;

    OSVERSIONINFOW osvi = {};
    osvi.dwOSVersionInfoSize = sizeof(osvi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&osvi);
#pragma GCC diagnostic pop
    const bool bNT = osvi.dwPlatformId == VER_PLATFORM_WIN32_NT;
    m_bWin95 = !bNT && osvi.dwMajorVersion == 4 && osvi.dwMinorVersion == 0;
    m_bWin98 = !bNT && osvi.dwMajorVersion == 4 && osvi.dwMinorVersion > 0;
    m_bWinNT = bNT;
    m_bWin2K = bNT && osvi.dwMajorVersion >= 5;
    m_bWinXP = bNT && (osvi.dwMajorVersion > 5 || (osvi.dwMajorVersion == 5 && osvi.dwMinorVersion >= 1));

    GetComCtlVersion();
    RefreshColors();
    RefreshMetrics();
    XTSetResourceModule(::GetModuleHandleW(nullptr));
    LoadCursors();
    CreateFonts();
}

CXTPToolkitGlobals::~CXTPToolkitGlobals()
{
    DestroyCursors();
    DeleteFonts();
}

DWORD CXTPToolkitGlobals::GetComCtlVersion()
{
    if (m_dwComCtlVersion != DWORD(-1) && m_dwComCtlVersion != 0)
        return m_dwComCtlVersion;
    m_dwComCtlVersion = 0;
    if (const CScopedModule hComCtl{::LoadLibraryW(L"COMCTL32.DLL")}) {
        auto pfn =
            reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(::GetProcAddress(hComCtl, "DllGetVersion")));
        DLLVERSIONINFO dvi = {};
        dvi.cbSize = sizeof(dvi);
        if (pfn && SUCCEEDED(pfn(&dvi)))
            m_dwComCtlVersion = MAKELONG(dvi.dwMinorVersion, dvi.dwMajorVersion);
    }
    return m_dwComCtlVersion;
}

BOOL CXTPToolkitGlobals::FontExists(LPCWSTR lpszFaceName)
{
    return FaceInstalled(lpszFaceName);
}

void CXTPToolkitGlobals::DeleteFonts()
{
    for (CFont& font : m_fonts)
        font.DeleteObject();
}

BOOL CXTPToolkitGlobals::CreateFonts(LPCWSTR lpszRegularFace, LPCWSTR lpszVerticalFace)
{
    DeleteFonts();
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof(ncm);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        return FALSE;
    LOGFONTW lf = ncm.lfMenuFont;
    lf.lfCharSet = ScreenCharset();

    if (lpszRegularFace && *lpszRegularFace && FontExists(lpszRegularFace)) {
        CopyFace(lf, lpszRegularFace);
        CopyFace(ncm.lfMenuFont, lpszRegularFace);
    } else if (m_bUseTahoma && lf.lfCharSet <= 2 && FontExists(L"Tahoma")) {
        CopyFace(lf, L"Tahoma");
    }
    if (!m_fonts[fontRegular].CreateFontIndirect(&lf))
        return FALSE;
    LOGFONTW lfBold = lf;
    lfBold.lfWeight = FW_BOLD;
    if (!m_fonts[fontBold].CreateFontIndirect(&lfBold))
        return FALSE;
    LOGFONTW lfUnderline = lf;
    lfUnderline.lfUnderline = TRUE;
    if (!m_fonts[fontUnderline].CreateFontIndirect(&lfUnderline))
        return FALSE;

    LOGFONTW lfVertical = lf;
    lfVertical.lfEscapement = 2700;
    lfVertical.lfOrientation = 900;
    if (lpszVerticalFace && *lpszVerticalFace && FontExists(lpszVerticalFace))
        CopyFace(lfVertical, lpszVerticalFace);
    else if (_wcsicmp(ncm.lfMenuFont.lfFaceName, L"Tahoma") != 0 && FontExists(L"Arial"))
        CopyFace(lfVertical, L"Arial");
    if (!m_fonts[fontVertical].CreateFontIndirect(&lfVertical))
        return FALSE;
    lfVertical.lfWeight = FW_BOLD;
    if (!m_fonts[fontVerticalBold].CreateFontIndirect(&lfVertical))
        return FALSE;

    LOGFONTW lfIcon = {};
    if (!::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lfIcon), &lfIcon, 0))
        return FALSE;
    if (!m_fonts[fontIconTitle].CreateFontIndirect(&lfIcon))
        return FALSE;
    LOGFONTW lfIconBold = lfIcon;
    lfIconBold.lfWeight = FW_BOLD;
    if (!m_fonts[fontIconTitleBold].CreateFontIndirect(&lfIconBold))
        return FALSE;
    LOGFONTW lfSymbol = {};
    lfSymbol.lfHeight = lfIcon.lfHeight;
    lfSymbol.lfCharSet = DEFAULT_CHARSET;
    CopyFace(lfSymbol, L"Marlett");
    if (!m_fonts[fontSymbol].CreateFontIndirect(&lfSymbol))
        return FALSE;
    if (!m_fonts[fontStatus].CreateFontIndirect(&ncm.lfStatusFont))
        return FALSE;
    return m_fonts[fontSmallCaption].CreateFontIndirect(&ncm.lfSmCaptionFont);
}

void CXTPToolkitGlobals::RefreshColors()
{
    CXTPColorManager* pManager = XTPColorManager();
    pManager->RefreshColors();
    for (int i = 0; i < colorCount; ++i)
        m_arrColor[i] = pManager->GetColor(g_colorSources[i]);
}

void CXTPToolkitGlobals::RefreshMetrics()
{
    m_cxSmIcon = ::GetSystemMetrics(SM_CXSMICON);
    m_cySmIcon = ::GetSystemMetrics(SM_CYSMICON);
    m_cxHThumb = ::GetSystemMetrics(SM_CXHTHUMB);
    m_cyVThumb = ::GetSystemMetrics(SM_CYVTHUMB);
    m_cyMenuItem = ::GetSystemMetrics(SM_CYMENU);
}

HMODULE CXTPToolkitGlobals::GetResourceModule()
{
    if (!m_hResourceModule)
        m_hResourceModule = XTGetResourceModule();
    return m_hResourceModule;
}

HCURSOR* CXTPToolkitGlobals::CursorSlot(int nIndex)
{
    HCURSOR* slots[cursorCount] = {&m_hcurSplitRows, &m_hcurSplitCols, &m_hcurDragMove, &m_hcurHand,
                                   &m_hcurDragCopy,  &m_hcurSizeNS,    &m_hcurSizeWE,   &m_hcurSizeAll};
    return slots[nIndex];
}

BOOL CXTPToolkitGlobals::LoadCursors()
{
    DestroyCursors();
    for (const auto& load : g_cursorLoads) {
        HCURSOR hCursor = ::LoadCursorW(GetResourceModule(), MAKEINTRESOURCEW(load.nResource));
        if (!hCursor)
            return FALSE;
        *CursorSlot(load.nSlot) = hCursor;
    }
    m_hcurSizeAll = ::LoadCursorW(nullptr, IDC_SIZEALL);
    return m_hcurSizeAll != nullptr;
}

void CXTPToolkitGlobals::DestroyCursors()
{
    for (int i = 0; i < cursorCount - 1; ++i) {
        HCURSOR* pSlot = CursorSlot(i);
        if (*pSlot)
            ::DestroyCursor(*pSlot);
        *pSlot = nullptr;
    }
    // The system's cursor is shared and never destroyed.
    m_hcurSizeAll = nullptr;
}

CXTPToolkitGlobals* GetToolkitGlobals()
{
    if (!g_bGlobalsBuilt) {
        g_bGlobalsBuilt = true;
        try {
            g_pGlobals = new CXTPToolkitGlobals;
        } catch (...) {
            g_bGlobalsBuilt = false;
            throw;
        }
        std::atexit(DestroyGlobalsAtExit);
    }
    return g_pGlobals;
}

CString GetToolkitFontFaceName(BOOL bPreferTahoma)
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    OSVERSIONINFOW osvi = {};
    osvi.dwOSVersionInfoSize = sizeof(osvi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&osvi);
#pragma GCC diagnostic pop
    const bool bNT5 = osvi.dwPlatformId == VER_PLATFORM_WIN32_NT && osvi.dwMajorVersion >= 5;
    if ((lf.lfCharSet > 2 && bNT5) || !FaceInstalled(L"Arial"))
        return CString(lf.lfFaceName);
    if (bPreferTahoma && FaceInstalled(L"Tahoma"))
        return CString(L"Tahoma");
    return CString(L"Arial");
}

CXTIconHandle::~CXTIconHandle()
{
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
}

CXTIconHandle& CXTIconHandle::operator=(HICON hIcon)
{
    if (hIcon != m_hIcon) {
        if (m_hIcon)
            ::DestroyIcon(m_hIcon);
        m_hIcon = hIcon;
    }
    return *this;
}
