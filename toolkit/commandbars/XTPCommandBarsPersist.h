// The saved layout of a frame's toolbars: one record per toolbar (visibility, docking, position, remembered
// sizes) kept in the profile sections "<name>-Bar<n>", the screen it was saved for, and the arithmetic that fits
// a layout saved on one screen to another.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/core/Geometry.h"

#include <vector>

class CXTPToolBar;
class CXTPBarStateInfo;

// Saved customised bars larger than this many bytes go to a file instead of the profile.
#define XTP_CONTROLS_PROFILE_LIMIT 16000

class CXTPBarInfo
{
public:
    CXTPBarInfo();

    // Writes the record into "<name>-Bar<n>" (the section is emptied first); FALSE without an application.
    BOOL SaveState(LPCTSTR lpszProfileName, int nIndex) const;
    // Reads the record from "<name>-Bar<n>", missing values taking their defaults.
    BOOL LoadState(LPCTSTR lpszProfileName, int nIndex);

    UINT m_nBarID;
    BOOL m_bVisible;
    BOOL m_bFloating;
    // Top-left of the bar's window: in its dock bar's client coordinates when docked, on the screen when floating.
    CPoint m_pointPos;
    int m_nMRUWidth;
    int m_uMRUDockID;
    CRect m_rectMRUDockPos;
    DWORD m_dwReserved;
    CPoint m_ptMRUFloatPos;
    CXTPToolBar* m_pBar;
};

class CXTPBarStateInfo
{
public:
    // The current screen and icon sizes.
    CXTPBarStateInfo();
    CXTPBarStateInfo(CSize sizeScreen, CSize sizeIcon);
    ~CXTPBarStateInfo();
    CXTPBarStateInfo(const CXTPBarStateInfo&) = delete;
    CXTPBarStateInfo& operator=(const CXTPBarStateInfo&) = delete;

    // The screen the layout was saved on; positions are rescaled when it differs from the current one.
    void SetSavedScreen(CSize sizeSaved);
    BOOL IsRescaling() const { return m_bRescale; }
    // Rescales (when the screens differ) and keeps the point an icon's size inside the screen's right and bottom.
    void AdjustPoint(CPoint& pt) const;
    // Moves (never resizes) the rectangle the way AdjustPoint moves its top-left.
    void AdjustRect(CRect& rect) const;

    std::vector<CXTPBarInfo*> m_arrBarInfo;
    CRect m_rectScreen;
    CSize m_sizeSaved;
    BOOL m_bRescale;
    CPoint m_ptMaxPos;
};

// The "Bar#<n>" entries of one dock bar from its list (null entries end rows, the first is the leading row
// break): a bar's id, or 0 for a row break; a row break right after another is written once.
std::vector<UINT> EncodeDockBarRows(const std::vector<CXTPToolBar*>& arrBars);
// Whether saved customised bars of this size go to a file rather than into the profile.
inline BOOL IsControlsArchiveForFile(size_t nBytes)
{
    return nBytes > XTP_CONTROLS_PROFILE_LIMIT;
}
