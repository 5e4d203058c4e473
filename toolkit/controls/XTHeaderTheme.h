// Looks of an owner-drawn header control: the classic raised look (theme 0), a flat look (theme 1) and a flat
// look with a soft bottom edge (theme 2), each optionally over the platform's visual style.
#pragma once

#include "toolkit/base/XTPUxTheme.h"
#include "toolkit/controls/XTThemeManager.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

// What a header control tells the theme that draws it.
class CXTThemedHeader
{
public:
    virtual ~CXTThemedHeader() = default;
    virtual HWND GetHeaderHwnd() const = 0;
    // The sort column (-1 none) and, through pbAscending when given, its direction.
    virtual int GetSortedCol(BOOL* pbAscending = nullptr) const = 0;
    virtual BOOL IsItemPressed(int iItem) const = 0;
};

// Draw style flags.
const DWORD HDR_XTP_WINDEF = 0x01;   // visual-style items
const DWORD HDR_XTP_HOTTRACK = 0x02; // visual-style background and hot tracking
const DWORD HDR_XTP_SORTARROW = 0x04;

class CXTHeaderTheme
{
public:
    CXTHeaderTheme();
    virtual ~CXTHeaderTheme();

    CXTHeaderTheme(const CXTHeaderTheme&) = delete;
    CXTHeaderTheme& operator=(const CXTHeaderTheme&) = delete;

    virtual void SetThemeId(XTControlTheme nThemeId) { m_nThemeId = nThemeId; }
    virtual XTControlTheme GetThemeId() const { return m_nThemeId; }
    virtual void DrawHeader(HDC hDC, CXTThemedHeader* pHeader);
    virtual void RefreshMetrics();
    virtual BOOL IsVisualStyle(CXTThemedHeader* pHeader);
    virtual void SetDrawStyle(DWORD dwDrawStyle, CXTThemedHeader* pHeader);
    virtual DWORD GetDrawStyle() const { return m_dwDrawStyle; }
    virtual BOOL Layout(HDLAYOUT* pLayout, CXTThemedHeader* pHeader);
    virtual void CleanUpImages(CXTThemedHeader* pHeader);
    virtual BOOL SetBitmap(int iCol, UINT uBitmapID, BOOL bRemove, COLORREF crMask, CXTThemedHeader* pHeader);
    virtual void DrawBackground(LPDRAWITEMSTRUCT lpDIS);
    virtual BOOL DrawVisualStyleBackground(LPDRAWITEMSTRUCT lpDIS);
    virtual void DrawItemEdge(LPDRAWITEMSTRUCT lpDIS);
    virtual BOOL DrawVisualStyleItem(LPDRAWITEMSTRUCT lpDIS);
    // lpDIS->rcItem is the text rectangle the arrow follows.
    virtual void DrawSortArrow(LPDRAWITEMSTRUCT lpDIS, BOOL bAscending);
    virtual void DrawItemText(LPDRAWITEMSTRUCT lpDIS, CXTThemedHeader* pHeader);
    // Moves x past the image and the margin before it.
    virtual void DrawItemImage(LPDRAWITEMSTRUCT lpDIS, int& x, CXTThemedHeader* pHeader);
    virtual void DrawArrow(HDC hDC, const POINT* pPoints, BOOL bAscending);

    BOOL IsUsingVisualStyle() const { return m_bUseVisualStyle; }
    CXTPUxTheme& GetVisualStyle() { return m_themeHeader; }
    // The image list SetBitmap made for a column's bitmap field, or null.
    HIMAGELIST GetColumnImageList(CXTThemedHeader* pHeader, int iCol) const;

    int m_nArrowGap;
    DWORD m_dwDrawStyle;
    BOOL m_bUseVisualStyle;
    int m_nTextMargin;
    int m_nTextTop;
    int m_nArrowWidth;
    int m_nArrowHeight;
    COLORREF m_clrText;
    COLORREF m_clrFace;
    COLORREF m_clrShadow;
    COLORREF m_clrDarkShadow;
    COLORREF m_clrHighlight;
    XTControlTheme m_nThemeId;
    CXTPUxTheme m_themeHeader;

protected:
    // Each channel moved from clrFrom towards clrTo by nPercent.
    static COLORREF Shade(COLORREF clrFrom, COLORREF clrTo, int nPercent);
    static void Line(HDC hDC, int x1, int y1, int x2, int y2, COLORREF clr);
    static void Frame(HDC hDC, const RECT& rc, COLORREF clrTopLeft, COLORREF clrBottomRight);
    static void Fill(HDC hDC, const RECT& rc, COLORREF clr);

private:
    // Image lists made by SetBitmap: only these are taken for image lists when a column's bitmap field is read,
    // so a real bitmap put there by anyone else is never handed to the image list functions.
    std::vector<HIMAGELIST> m_imageLists;
    bool IsOwnImageList(HIMAGELIST hImageList) const;
    void ForgetImageList(HIMAGELIST hImageList);
};

class CXTHeaderThemeV1 : public CXTHeaderTheme
{
public:
    CXTHeaderThemeV1();
    void DrawBackground(LPDRAWITEMSTRUCT lpDIS) override;
    void DrawItemEdge(LPDRAWITEMSTRUCT lpDIS) override;
};

class CXTHeaderThemeV2 : public CXTHeaderTheme
{
public:
    CXTHeaderThemeV2();
    void DrawBackground(LPDRAWITEMSTRUCT lpDIS) override;
    void DrawItemEdge(LPDRAWITEMSTRUCT lpDIS) override;
    BOOL Layout(HDLAYOUT* pLayout, CXTThemedHeader* pHeader) override;
};
