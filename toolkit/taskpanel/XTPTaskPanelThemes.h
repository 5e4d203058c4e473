// The task panel's two looks beside the classic one: the explorer theme (the panel's default) that follows the
// platform's visual style, and the rounded theme with plain captions in one rounded frame.
#pragma once

#include "toolkit/taskpanel/XTPTaskPanelPaintManager.h"

class CXTPTaskPanelExplorerTheme : public CXTPTaskPanelPaintManager
{
public:
    CXTPTaskPanelExplorerTheme();
    ~CXTPTaskPanelExplorerTheme() override;

    void RefreshMetrics() override;

    // The caption-button bitmaps of the visual style's shell library, else the two recoloured glyph icons.
    void LoadStyleBitmaps();
    // A 19 x 19 icon of the toolkit's glyph bitmap, recoloured to the tint's hue and saturation; null when the
    // bitmap cannot be loaded.
    static HICON CreateGlyphIcon(UINT nIDBitmap, COLORREF clrTint);
    // The glyph rule for one pixel against the corner (background) pixel of its bitmap.
    static COLORREF TintGlyphPixel(COLORREF clrPixel, COLORREF clrCorner, COLORREF clrTint);
};

class CXTPTaskPanelRoundedTheme : public CXTPTaskPanelPaintManager
{
public:
    CXTPTaskPanelRoundedTheme();
    ~CXTPTaskPanelRoundedTheme() override;

    void FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel) override;
    int DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw) override;
    void RefreshMetrics() override;
    void DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc) override;
};
