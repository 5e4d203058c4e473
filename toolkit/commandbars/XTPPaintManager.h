// The theme object through which every command bar, control and popup is measured and drawn: fonts, a table of
// 57 theme colours with overrides, icon options, popup animation, drawing primitives and the layout of a control
// on a toolbar-like bar. The themes derive from it; one of them is the process-wide current paint manager.
#pragma once

#include "framework/core/Geometry.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControl;
class CXTPImageManagerIcon;

// Theme numbers of CreateTheme; a caller-built theme installed by SetCustomTheme reports xtpThemeCustom.
enum XTPPaintTheme
{
    xtpThemeDefault = 0,
    xtpThemeStandard = 1,
    xtpThemeOffice2003 = 2,
    xtpThemeXPStyle = 3,
    xtpThemeCustom = 4
};

// Popup animations: the user's choice, and the kinds that reach AnimatePopup (2 to 4).
enum XTPAnimationType
{
    xtpAnimateWindowsDefault = 0,
    xtpAnimateRandom = 1,
    xtpAnimateUnfold = 2,
    xtpAnimateSlide = 3,
    xtpAnimateFade = 4,
    xtpAnimateNone = 5
};

// Kinds of DrawControl's special controls.
enum XTPSpecialControl
{
    xtpButtonExpandToolbar = 0,
    xtpButtonExpandMenu = 1,
    xtpButtonHideFloating = 2,
    xtpButtonExpandFloating = 3,
    xtpButtonPopupItem = 4
};

// Flags of DrawTextBox.
#define XTP_TEXTBOX_NOFRAME 0x100
#define XTP_TEXTBOX_NOTEXT 0x4000000

struct XTP_COMMANDBARS_ICONSOPTIONS
{
    BOOL bUseFadedIcons;
    BOOL bUseDisabledIcons;
    BOOL bIconsWithShadow;
};

class CXTPPaintManager : public CCmdTarget
{
    DECLARE_DYNAMIC(CXTPPaintManager)

public:
    CXTPPaintManager();
    ~CXTPPaintManager() override;

    // ---- The drawing operations of a theme, in slot order, numbered from 20 (DrawControlPopupParent) to 46
    // (AnimateExpand).

    // Draws, or with bDraw FALSE only measures, a control whose parent is a popup bar.
    virtual CSize DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) = 0;
    // Draws or measures a control on any other bar: image, caption, face and their layout.
    virtual CSize DrawControlToolBarParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw);
    // The face of a split-button control with its drop-down part and arrow.
    virtual void DrawSplitButtonFace(CDC* pDC, CXTPControl* pControl, CRect rc);
    virtual CSize DrawComboBoxControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw) = 0;
    virtual CSize DrawEditControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw) = 0;
    // A control as an entry of a list of commands, or the list's background when pControl is null; the size of
    // an entry. pDC may be null to measure.
    virtual CSize DrawListBoxControl(CDC* pDC, CXTPControl* pControl, CRect rc, BOOL bSelected, BOOL bEnabled,
                                     CXTPCommandBars* pCommandBars) = 0;
    // A bar's background over its whole client rectangle.
    virtual void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) = 0;
    // Fills a control's face for its states and selects the matching text colour.
    virtual void PrepareControlFace(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked,
                                    BOOL bPopuped, XTPBarPosition barPosition) = 0;
    // Collects a control's states and calls PrepareControlFace.
    virtual void DrawControlFace(CDC* pDC, CXTPControl* pControl);
    // A framed state rectangle; bToolBar is 1 for toolbar and menu-bar controls, 0 for popup items.
    virtual void FillControlFace(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, int nChecked,
                                 BOOL bPopuped, BOOL bToolBar, XTPBarPosition barPosition) = 0;
    // A bar's gripper (a floating bar's caption band); returns its size.
    virtual CSize DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) = 0;
    // The separator before pControl; measuring returns its size.
    virtual CSize DrawSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) = 0;
    // The rectangle a control is drawn in, from its layout rectangle.
    virtual void AdjustControlRect(CXTPControl* pControl, CRect& rc) = 0;
    // A text cell in a frame (XTP_TEXTBOX_ flags).
    virtual void DrawTextBox(CDC* pDC, CRect rc, UINT nFlags, LPCTSTR lpszText) = 0;
    // Three grooves in the lower right corner of rc.
    virtual void DrawResizeGripper(CDC* pDC, CRect rc);
    // The backgrounds of the windows that host bars.
    virtual void FillDockBar(CDC* pDC, CWnd* pWnd);
    virtual void FillHostWindow(CDC* pDC, CWnd* pWnd);
    // Rebuilds the fonts and the colours.
    virtual void RefreshMetrics();
    // Popups get drop shadows; disabled captions on toolbars are drawn flat.
    virtual BOOL ShowShadows();
    // The special controls (XTPSpecialControl): expand buttons, a floating bar's close and drop-down buttons.
    virtual CSize DrawControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                              CSize szBar);
    // A bar's margins.
    virtual CRect GetBorders(CXTPCommandBar* pBar);
    // The tear-off strip at the top of a popup; returns its size.
    virtual CSize DrawPopupStrip(CDC* pDC, CRect rc, BOOL bHot, BOOL bDraw) = 0;
    // A control's image for its states; bFlag draws an unchecked image in its normal form.
    virtual void DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage, int nSelected, int nPressed,
                           BOOL bEnabled, int nChecked, BOOL bFlag) = 0;
    virtual int GetThemeId() = 0;
    virtual CFont* GetControlFont(CXTPCommandBar* pBar, BOOL bBold);
    // Plays a popup's first appearance from its image (pSrcDC) into the window (pDestDC).
    virtual void AnimatePopup(CDC* pDestDC, CDC* pSrcDC, CRect rc, int nAnimationType);
    // Plays a short popup growing to its full list.
    virtual void AnimateExpand(CXTPCommandBar* pBar, CDC* pDestDC, CDC* pSrcDC);

    // ---- Colours: 0 to 56 index the table (the override when set, else the default); larger values are RGB.
    COLORREF GetColor(COLORREF nIndex) const;
    // Sets the defaults of the listed entries; overrides stay.
    void SetColors(int nCount, const int* pIndexes, const COLORREF* pColors);
    // Sets (or with (COLORREF)-1 clears) an entry's override.
    void SetColorOverride(int nIndex, COLORREF clr);
    XTP_COMMANDBARS_ICONSOPTIONS* GetIconOptions() { return &m_iconsInfo; }

    // ---- Drawing primitives; colour arguments are indices or RGB values.
    void Draw3dRect(CDC* pDC, CRect rc, COLORREF nTopLeft, COLORREF nBottomRight);
    void FillFramedRect(CDC* pDC, CRect rc, COLORREF nFrame, COLORREF nFill);
    void GradientFill(CDC* pDC, CRect rc, COLORREF crFrom, COLORREF crTo, BOOL bHorz);
    void Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr);
    void DrawCheckMark(CDC* pDC, CRect rc, COLORREF clr, int nShape = 0);
    void Line(CDC* pDC, int x1, int y1, int x2, int y2);
    void DrawLine(CDC* pDC, int x1, int y1, int x2, int y2, COLORREF clr);

    // Draws (or measures) one control by its kind and its bar's kind; returns its size.
    CSize DrawControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw = TRUE);
    CSize DrawControlText(CDC* pDC, CString strCaption, CRect rc, BOOL bDraw, BOOL bVert, BOOL bCentered,
                          BOOL bTriangle, BOOL bEmbossed = FALSE);
    CSize LayoutCaptionWithImage(CDC* pDC, CString strCaption, CRect rc, BOOL bVert, BOOL bDraw, BOOL bEmbossed,
                                 BOOL bTriangle, CSize szButton, BOOL bHasImage);

    // The control font made from the system menu font: its height, weight and italic (heights of -1 to -10 become
    // -11), the character set given, its face; every other member 0.
    static LOGFONTW MenuFontToControlFont(const LOGFONTW& lfMenu, BYTE nCharSet);
    // Rebuilds the four control fonts from pLogFont (null: only the flag is stored).
    void SetFont(const LOGFONTW* pLogFont, BOOL bUseStandardFont = TRUE);
    static BOOL FontExists(LPCWSTR lpszFaceName);

    CFont* GetRegularFont() { return &m_fontRegular; }
    CFont* GetRegularBoldFont() { return &m_fontRegularBold; }
    CFont* GetIconFont() { return &m_fontIcon; }
    CFont* GetIconBoldFont() { return &m_fontIconBold; }
    CFont* GetSmCaptionFont() { return &m_fontSmCaption; }
    // The height of the regular font's text plus 6: the least height of a popup item.
    int GetLineHeight() const { return m_nLineHeight; }
    // The width of a popup's icon column for a bar.
    int GetPopupIconColumnWidth(CXTPCommandBar* pBar) const;

    // ---- The process-wide current paint manager.
    // A new theme object for the number (any number other than 0, 2 and 3 gives the standard theme).
    static CXTPPaintManager* CreateTheme(int nTheme);
    static void SetTheme(int nTheme);
    // Makes the caller's object current, taking over the caller's reference.
    static void SetCustomTheme(CXTPPaintManager* pPaintManager);
    // The current one; null until a theme is set.
    static CXTPPaintManager* GetCurrent();

    // Fonts in order: the four control fonts, small caption, icon title, glyphs ("Marlett"), icon title bold.
    CFont m_fontRegular;
    CFont m_fontRegularBold;
    CFont m_fontVert;
    CFont m_fontVertBold;
    CFont m_fontSmCaption;
    CFont m_fontIcon;
    CFont m_fontMarlett;
    CFont m_fontIconBold;

    int m_nLineHeight;
    BOOL m_bUseTahomaFont;
    BOOL m_bUseStandardFont;
    // The number CreateTheme built this object for; xtpThemeCustom after SetCustomTheme.
    int m_nThemeId;
    XTP_COMMANDBARS_ICONSOPTIONS m_iconsInfo;
    int m_nAnimationSteps;
    int m_nAnimationTime;

protected:
    struct CColorEntry
    {
        COLORREF clrDefault;
        COLORREF clrOverride;
    };
    CColorEntry m_arrColor[XPCOLOR_COUNT];

public:
    COLORREF m_clrShadowFactor;

protected:
    // Pauses between animation frames (tests count the frames through it).
    virtual void AnimationSleep(DWORD dwMilliseconds);
    // The image size for a control of the bar: the bar's icon size, the height scaled to the image's aspect.
    static CSize ImageSize(CXTPImageManagerIcon* pImage, int nWidth);

    // ---- Layouts the themes share; they differ only in colours and faces.

    // Some control of the bar is hidden because the bar is too short: the expand button then shows chevrons.
    static BOOL HasWrappedControls(CXTPCommandBar* pBar);
    // A floating bar's caption band in a colour (an RGB value), with its title in colour 20; returns the band's
    // size.
    CSize DrawFloatingCaption(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw, COLORREF clrBand);
    // A text cell: the frame in two RGB colours (unless XTP_TEXTBOX_NOFRAME), the text inside it.
    void DrawFramedText(CDC* pDC, CRect rc, UINT nFlags, LPCTSTR lpszText, COLORREF clrTopLeft,
                        COLORREF clrBottomRight);

    // A popup item's size: caption, shortcut and icon column side by side, at least a line high.
    CSize MeasurePopupItem(CDC* pDC, CXTPControl* pControl);
    // The image or check cell of a popup item: the icon size centred in the icon column.
    CRect GetPopupIconCell(CXTPControl* pControl);
    // A popup item's caption after the icon column and its shortcut at the right, in the current text colour.
    void DrawPopupItemText(CDC* pDC, CXTPControl* pControl);

    // The parts of a combo box or edit control: an optional label (on a popup after the icon column and
    // nPopupGap more), then the field.
    struct CFieldLayout
    {
        CRect rcLabel;
        CRect rcField;
        CSize szControl;
    };
    CFieldLayout LayoutFieldControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw, int nPopupGap);

    // A control as a row of a list of commands over a background the theme painted: its image, its caption in
    // the current text colour and the marks of its kind.
    void DrawListBoxEntry(CDC* pDC, CXTPControl* pControl, CRect rc, BOOL bSelected, BOOL bEnabled);
    // The size of such a row.
    CSize ListBoxEntrySize(CXTPControl* pControl, CRect rc) const;
};

// The current paint manager, made with the default theme when none was set yet.
CXTPPaintManager* XTPPaintManager();

// "&&" becomes "&", every other "&" is dropped.
CString StripMnemonics(LPCTSTR lpszText);
// Prepares a caption for a bar laid out right to left.
CString ReverseCaptionForRtl(LPCTSTR lpszText);
