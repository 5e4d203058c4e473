// The frame's rebar as a host of toolbars: a toolbar placed in it becomes a band (the band's id is the bar's id)
// instead of sitting on a dock bar.
#pragma once

#include "framework/frame/ReBar.h"

class CXTPToolBar;

class CXTPReBar : public CReBar
{
    DECLARE_DYNAMIC(CXTPReBar)

public:
    // Takes the toolbar off its dock bar and adds it as the last band; FALSE when the band cannot be added.
    BOOL AddToolBar(CXTPToolBar* pToolBar, DWORD dwStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
    // The index of the band holding the toolbar, or -1.
    int FindBand(CXTPToolBar* pToolBar) const;
};
