// Every pixel and metric of the task panel: the classic look from system colours (this base), and the colour
// helpers the themes share.
#pragma once

#include "framework/core/Geometry.h"
#include "framework/win/Gdi.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/taskpanel/XTPTaskPanelDefines.h"

#include <windows.h>

class CDC;
class CXTPImageManagerIcon;
class CXTPTaskPanel;
class CXTPTaskPanelGroup;
class CXTPTaskPanelGroupItem;
class CXTPTaskPanelItem;
class CXTPTaskPanelScrollButton;

// The colours of one kind of group (normal or special).
struct CXTPTaskPanelGroupColors
{
    CXTPGradientColor clrCaption; // the solid colour left of the gradient start, then the gradient's end
    COLORREF clrClient = 0;
    COLORREF clrClientBorder = 0;
    double dCaptionGradientStart = 0; // fraction of the caption width
    COLORREF clrCaptionText = 0;
    COLORREF clrCaptionTextHot = 0;
    COLORREF clrItemText = 0;
    COLORREF clrLinkText = 0;
    COLORREF clrLinkTextHot = 0;
    // Focus rectangles of items; the item text colour unless a theme sets its own.
    COLORREF clrFocus = 0;
};

// One colour component from 0 to 1 of the hue-lightness-saturation conversion (hue as a fraction of a turn).
double HueToRGB(double m1, double m2, double dHue);

class CXTPTaskPanelPaintManager
{
public:
    CXTPTaskPanelPaintManager();
    virtual ~CXTPTaskPanelPaintManager();
    CXTPTaskPanelPaintManager(const CXTPTaskPanelPaintManager&) = delete;
    CXTPTaskPanelPaintManager& operator=(const CXTPTaskPanelPaintManager&) = delete;

    virtual void FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel);
    virtual void DrawGroupClient(CDC* pDC, CXTPTaskPanelGroup* pGroup);
    // Draws the caption, or (bDraw FALSE) answers its height.
    virtual int DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw);
    // Draws the item in rc, or (bDraw FALSE) answers the rectangle it needs from rc's left, top and right.
    virtual CRect DrawGroupItem(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw);
    virtual void RefreshMetrics();
    virtual void DrawGroupItemFrame(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc);
    virtual CRect GetItemMargins(const CXTPTaskPanelGroupItem* pItem) const;
    virtual CRect GetItemInsets(const CXTPTaskPanelGroupItem* pItem) const;
    virtual CRect GetGroupOuterMargins(const CXTPTaskPanelGroup* pGroup) const;
    virtual CRect GetGroupInnerMargins(const CXTPTaskPanelGroup* pGroup) const;
    virtual CRect GetPanelMargins(const CXTPTaskPanel* pPanel) const;
    virtual int GetGroupSpacing(const CXTPTaskPanel* pPanel) const;
    virtual void DrawScrollButton(CDC* pDC, CXTPTaskPanelScrollButton* pButton);
    virtual void DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc);
    virtual void DrawGroupClientItems(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc);
    // Draws the expand button and answers the part of the caption left for the icon and the text.
    virtual CRect DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc);
    virtual void DrawItemCaption(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc, UINT nFormat);
    virtual void DrawItemImage(CDC* pDC, CXTPTaskPanelItem* pItem, CPoint pt, CXTPImageManagerIcon* pImage,
                               CSize szIcon);
    virtual CPoint GetHighlightOffset(const CXTPTaskPanelGroupItem* pItem) const;
    virtual void DrawDragArrow(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc, BOOL bAfter);

    CXTPTaskPanelGroupColors* GetGroupColors(BOOL bSpecial) { return bSpecial ? &m_groupSpecial : &m_groupNormal; }
    const CXTPTaskPanelGroupColors* GetGroupColors(BOOL bSpecial) const
    {
        return bSpecial ? &m_groupSpecial : &m_groupNormal;
    }
    // The item fonts (regular, underlined, bold, bold underlined) from the face and size of lf.
    void SetItemFonts(const LOGFONT* pLogFont, BOOL bFromSystem = FALSE);
    // The caption font (bold when bold captions are on) and the caption height it gives.
    void SetCaptionFont(const LOGFONT* pLogFont, BOOL bFromSystem = FALSE);
    CFont* GetCaptionFont() { return &m_fntCaption; }
    CFont* GetItemFont(BOOL bBold, BOOL bUnderline);
    int GetCaptionHeight() const { return m_nCaptionHeight; }
    XTPTaskPanelTheme GetThemeKind() const { return m_nThemeKind; }
    BOOL IsInvertedDropMark() const { return m_bInvertedDropMark; }
    BOOL IsScrollButtonsInCaptions() const { return m_bScrollButtonsInCaptions; }
    BOOL IsAlphaBlendAvailable() const { return m_pfnAlphaBlend != nullptr; }

    // ---- Drawing and colour helpers
    static void DrawChevrons(CDC* pDC, CPoint ptCentre, COLORREF clr, BOOL bUp);
    static void DrawTriangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr);
    static void DrawEmbossedTriangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, BOOL bEnabled);
    static BOOL DrawStateBitmap(CDC* pDC, CPoint pt, CSize sz, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush = nullptr);
    static BOOL DrawStateIcon(CDC* pDC, CPoint pt, CSize sz, HICON hIcon, UINT nFlags, HBRUSH hBrush = nullptr);
    // Per channel (c1 x alpha + c2 x (255 - alpha)) / 255.
    static COLORREF BlendColors(COLORREF clr1, COLORREF clr2, int nAlpha);
    // Hue as a fraction of a turn, lightness and saturation from 0 to 1.
    static void RGBtoHLS(COLORREF clr, double& dHue, double& dLight, double& dSat);
    static COLORREF HLStoRGB(double dHue, double dLight, double dSat);
    // A 32-bit bitmap's colours multiplied by their alpha, in place.
    static void PremultiplyAlpha(HBITMAP hBitmap);

    // ---- Members (public: the application's look changes them in its own metrics)
    BOOL m_bUseStyleColors;
    int m_nCaptionButtonStyle;
    HICON m_hNormalGlyph;
    HICON m_hSpecialGlyph;
    HBITMAP m_hStyleBitmaps[8];
    BOOL m_bStyleBitmapsLoaded;
    BOOL m_bBoldCaptions;
    CRect m_rcGroupOuterMargins;
    CRect m_rcGroupInnerMargins;
    CRect m_rcItemMargins;
    CRect m_rcItemInsets;
    CRect m_rcPanelMargins;
    int m_nGroupSpacing;
    XTPTaskPanelTheme m_nThemeKind;
    BOOL m_bInvertedDropMark;
    BOOL m_bScrollButtonsInCaptions;
    CFont m_fntCaption;
    CFont m_fntItem;
    CFont m_fntItemBold;
    CFont m_fntItemUnderline;
    CFont m_fntItemBoldUnderline;
    CXTPGradientColor m_grcBackground;
    CXTPTaskPanelGroupColors m_groupNormal;
    CXTPTaskPanelGroupColors m_groupSpecial;
    COLORREF m_clrHotFill;
    COLORREF m_clrSelectedFill;
    COLORREF m_clrPressedFill;
    CXTPGradientColor m_grcItemFrame; // top-left, bottom-right
    BOOL m_bRoundLeftCaptionCorner;
    BOOL m_bRoundRightCaptionCorner;
    int m_nCaptionHeight;
    BOOL m_bCaptionFontFromSystem;
    BOOL m_bItemFontsFromSystem;
    BOOL m_bRoundedFrame;
    BOOL m_bCaptionUnderline;

protected:
    using PFNALPHABLEND = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    BOOL AlphaBlend(HDC hdcDest, int x, int y, int cx, int cy, HDC hdcSrc, int xSrc, int ySrc, int cxSrc, int cySrc,
                    BLENDFUNCTION blend) const;
    // Frees the glyph icons and the style bitmaps.
    void FreeStyleImages();
    // The text colour of an item by its type, state and the hot-track style.
    COLORREF GetItemTextColor(CXTPTaskPanelGroupItem* pItem) const;
    CRect DrawItemIconLeft(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw);
    CRect DrawItemIconAbove(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw);
    CRect DrawItemIconGrid(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw);
    void DrawItemFocus(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc);
    // A dotted frame in a colour of our own (the platform's focus rectangle can only invert).
    static void DrawFocusFrame(CDC* pDC, const CRect& rc, COLORREF clr);

    HMODULE m_hMsImg32;
    PFNALPHABLEND m_pfnAlphaBlend;
};
