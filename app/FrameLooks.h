// How the main window looks and where it stands: its command bars with their saved layout, the bars' theme (one of
// the toolkit's or the program's skin), the window's placement before and after creation, and the magnet that
// pulls it flush to the work area's edges.
#pragma once

#include "framework/core/Geometry.h"
#include "toolkit/commandbars/XTPPaintManager.h"

class CCmdUI;
class CMainFrame;

// The theme number of the program's own skin, beside the toolkit's XTPPaintTheme numbers.
const int kSkinTheme = 11;

// The frame's rectangle before a saved placement applies, from the screen's full-screen size and caption height:
// view style 1 a full-height strip a quarter of the width at the left edge (at three quarters when the arrows
// point left), view style 0 a window of four fifths of a large screen, centred.
CRect InitialFramePlacement(int nViewStyle, bool bLeftArrows, int cxFull, int cyFull, int cyCaption);

// The skinned frame's geometry: the client rectangle inside a proposed window rectangle; the caption button
// (HTMINBUTTON, HTCLOSE or 0) under a screen point; and the hit-test result that makes the whole caption drag the
// window, from the platform's own result.
CRect SkinClientRect(const CRect& window);
int SkinCaptionButtonAt(const CRect& window, CPoint screen);
LRESULT SkinHitTest(LRESULT defaultResult, const CRect& window, CPoint screen);

// Where a window moved to the given rectangle goes: an edge within 15 pixels of the work area's edge of the same
// side lands on it (left before right, top before bottom).
CPoint SnapToWorkArea(const CRect& window, const CRect& workArea);

class CFrameLooks
{
public:
    explicit CFrameLooks(CMainFrame& frame);
    CFrameLooks(const CFrameLooks&) = delete;
    CFrameLooks& operator=(const CFrameLooks&) = delete;

    // The menu bar, the two toolbars and their images; false when a bar cannot be made.
    bool CreateCommandBars();
    // Bar layout and options under the profile name "CommandBars": loaded at creation, saved first at shut-down.
    void LoadBarLayout();
    void SaveBarLayout();

    // The theme saved as "Theme" (with the skin's "ColorTheme") made current; saved back at shut-down.
    void ApplySavedTheme();
    void SaveTheme() const;
    // A toolkit theme made current and the frame drawn again with it; a number the toolkit does not offer here
    // selects xtpThemeOffice2003.
    void SetToolkitTheme(int nTheme);
    // The program's skin in colour scheme 0, 1 or 2 made current, with the skinned frame.
    void SetSkin(int nColorTheme);
    int GetColorTheme() const { return m_nColorTheme; }
    // xtpThemeDefault, xtpThemeOffice2003, xtpThemeXPStyle or kSkinTheme.
    int GetTheme() const { return m_nTheme; }
    // The theme commands, checked for the current theme.
    void OnTheme(UINT nID);
    void OnUpdateTheme(CCmdUI* pCmdUI) const;

    // The first placement of the frame for its view style, kept on the work area.
    void PlaceBeforeCreation(CREATESTRUCT& cs) const;
    // The saved placement of the view style ("WP"), applied hidden; saved at shut-down.
    void LoadPlacement();
    void SavePlacement();
    // The work-area magnet for a move of the frame; with the skin, a new size gets a new rounded region.
    void SnapMove(WINDOWPOS* lpwndpos);

    // The skinned frame's non-client messages (caption, border, caption buttons); false when the message is
    // not one of them or the skin is not current, and the frame handles it as usual.
    bool OnSkinnedFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The caption buttons' states (HTMINBUTTON, HTCLOSE or 0).
    int GetHotButton() const { return m_nHotButton; }
    int GetPressedButton() const { return m_nPressedButton; }

private:
    void RedrawFrame(UINT nExtraFlags = 0);
    void SetRoundRegion(int cx, int cy);
    void PaintSkinnedFrame();
    void ShowHotButton(int nButton);

    CMainFrame& m_frame;
    int m_nTheme = xtpThemeOffice2003;
    int m_nColorTheme = 1; // the skin's colour scheme
    int m_nHotButton = 0;
    int m_nPressedButton = 0;
};
