// The navigation pane's look: group captions with a gradient, a grip and an expand mark, and every entry that
// stands for a feed record as a row with an icon, a title and a status line of counts and the last update.
// Entries without a record keep the rounded theme's drawing.
#pragma once

#include "framework/win/Gdi.h"
#include "toolkit/taskpanel/XTPTaskPanelThemes.h"

class CFeedItem;

class CFeedTaskPanelPaintManager : public CXTPTaskPanelRoundedTheme
{
public:
    CFeedTaskPanelPaintManager();
    ~CFeedTaskPanelPaintManager() override;

    int DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw) override;
    CRect DrawGroupItem(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw) override;
    void RefreshMetrics() override;
    CRect DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc) override;

    // The caption a group shows: with hidden read channels, "%s (%d hidden)".
    static CString FormatGroupCaption(CXTPTaskPanelGroup* pGroup);
    // The status line of a subscribed channel's row; now is the local time to compare the update day with.
    static CString FormatChannelStatus(const CFeedItem* pRecord, const SYSTEMTIME& now);
    // Whether a record's row is hidden (a read channel while read channels are hidden).
    static BOOL IsHiddenRecord(const CFeedItem* pRecord);

    CFont m_fntTitle;
    CFont m_fntText;

    // Where a picture of the given size is drawn in an entry's icon square: at its own size when it fits, else
    // scaled down keeping its proportions; centred either way.
    static CRect FitPicture(CSize szPicture, const CRect& rcSquare);

    // Contrast ratio of two colours by their relative luminance (1 to 21; 4.5 reads well as body text).
    static double ContrastRatio(COLORREF clrA, COLORREF clrB);
    // The text colour, darkened (or on a dark face lightened) in its own hue until it reaches a ratio of 4.5 on
    // both ends of a caption's gradient.
    static COLORREF ReadableOn(COLORREF clrText, COLORREF clrFace, COLORREF clrLight);

protected:
    // The entry's site picture, else its image of the pane's list, centred in the square.
    static void DrawEntryIcon(CDC* pDC, CXTPTaskPanelGroupItem* pItem, const CFeedItem* pRecord, const CRect& rcSquare);
    // A colour of the command bars' current paint manager (its override, else the toolkit's table).
    static COLORREF GetBarColor(int nIndex);
};
