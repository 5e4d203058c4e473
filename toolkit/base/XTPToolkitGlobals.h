// What the toolkit reads from the system once: colours, fonts, cursors, metrics, the system's version flags and
// the common controls version; and the owner of one icon handle.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/win/Gdi.h"

#include <windows.h>

class CXTPToolkitGlobals
{
public:
    // Tests build their own; the toolkit uses the one of GetToolkitGlobals.
    CXTPToolkitGlobals();
    virtual ~CXTPToolkitGlobals();
    CXTPToolkitGlobals(const CXTPToolkitGlobals&) = delete;
    CXTPToolkitGlobals& operator=(const CXTPToolkitGlobals&) = delete;

    // Major version in the high word, minor in the low; 0 while it cannot be found (and it is asked again).
    DWORD GetComCtlVersion();
    // Ignoring case, among the font families of the screen.
    virtual BOOL FontExists(LPCWSTR lpszFaceName);
    // Null or uninstalled faces fall back to the system's choice. FALSE at the first font that cannot be made.
    BOOL CreateFonts(LPCWSTR lpszRegularFace = nullptr, LPCWSTR lpszVerticalFace = nullptr);
    void DeleteFonts();
    void RefreshColors();
    void RefreshMetrics();
    BOOL LoadCursors();
    void DestroyCursors();
    HMODULE GetResourceModule();

    enum
    {
        fontRegular,
        fontBold,
        fontUnderline,
        fontVertical,
        fontVerticalBold,
        fontIconTitle,
        fontIconTitleBold,
        fontSymbol,
        fontStatus,
        fontSmallCaption,
        fontCount
    };
    enum
    {
        colorCount = 40,
        cursorCount = 8
    };

    COLORREF m_arrColor[colorCount];
    // In field order: resources 9008, 9009, 9011, 9010, 9012, 9970, 9971, then the system's size-all cursor.
    HCURSOR m_hcurSplitRows;
    HCURSOR m_hcurSplitCols;
    HCURSOR m_hcurDragMove;
    HCURSOR m_hcurHand;
    HCURSOR m_hcurDragCopy;
    HCURSOR m_hcurSizeNS;
    HCURSOR m_hcurSizeWE;
    HCURSOR m_hcurSizeAll;
    int m_cxSmIcon;
    int m_cySmIcon;
    int m_cxDefaultButton;
    int m_cyDefaultButton;
    int m_cxHThumb;
    int m_cyVThumb;
    int m_cyMenuItem;
    CFont m_fonts[fontCount];
    BYTE m_bWin95;
    BYTE m_bWin98;
    BYTE m_bWinNT;
    BYTE m_bWin2K;
    BYTE m_bWinXP;
    BOOL m_bUseTahoma;
    BOOL m_bFlatLook;
    BOOL m_bDisableAnimation;
    BOOL m_bUseSystemFonts;
    DWORD m_dwComCtlVersion;
    HMODULE m_hResourceModule;

private:
    HCURSOR* CursorSlot(int nIndex);
};

CXTPToolkitGlobals* GetToolkitGlobals();

// The default face of the paint manager's fonts.
CString GetToolkitFontFaceName(BOOL bPreferTahoma);

// Owns one icon: whoever holds it never destroys the icon by hand.
class CXTIconHandle
{
public:
    CXTIconHandle() : m_hIcon(nullptr) {}
    virtual ~CXTIconHandle();
    CXTIconHandle(const CXTIconHandle&) = delete;
    CXTIconHandle& operator=(const CXTIconHandle&) = delete;

    // Destroys the held icon and takes the new one (which may be null). Assigning the held icon keeps it.
    CXTIconHandle& operator=(HICON hIcon);
    operator HICON() const { return m_hIcon; }

private:
    HICON m_hIcon;
};
