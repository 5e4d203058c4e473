// What the navigation pane's group captions take from the program's skin while the skin is the command bars'
// current paint manager. The skin implements it beside its paint manager base.
#pragma once

#include "toolkit/commandbars/XTPPaintManager.h"

class CSkinCaptionColors
{
public:
    virtual ~CSkinCaptionColors() = default;

    virtual COLORREF GetSkinFace() const = 0;
    virtual COLORREF GetSkinCaptionFace() const = 0;
    virtual COLORREF GetSkinCaptionLightEnd() const = 0;
    virtual COLORREF GetSkinCaptionText() const = 0;

    // The skin's colours when the paint manager is the skin, else null.
    static const CSkinCaptionColors* FromPaintManager(const CXTPPaintManager* pPaintManager)
    {
        return dynamic_cast<const CSkinCaptionColors*>(pPaintManager);
    }
};
