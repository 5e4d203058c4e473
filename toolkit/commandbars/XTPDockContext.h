// The drag, dock and resize tracker of one toolbar: the modal loop that moves a toolbar between dock bars and
// floating, the resize loop of a floating toolbar and the double-click toggle.
#pragma once

#include "framework/core/Geometry.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"

class CFrameWnd;
class CXTPToolBar;

class CXTPDockContext
{
public:
    explicit CXTPDockContext(CXTPToolBar* pBar);

    // Drags the toolbar from a button press at a screen point.
    void StartDrag(CPoint pt);
    // Resizes a floating toolbar from a press on the border with the hit code.
    void StartResize(int nHitTest, CPoint pt);
    // Docks a floating toolbar at its remembered place, or floats a docked one when the option allows.
    BOOL ToggleDocking();

    // Shifts rc by the distance by which pt lies outside it on each axis.
    static void AdjustRectangle(CRect& rect, CPoint pt);

    XTPBarPosition m_uMRUDockPosition;
    CRect m_rectMRUDockPos;
    CPoint m_ptMRUFloatPos;

protected:
    void Track();
    void Move(CPoint pt);
    void Stretch(CPoint pt);
    CSize FloatingSize(int nLength, DWORD dwMode) const;

    CXTPToolBar* m_pBar;
    CFrameWnd* m_pDockSite;
    int m_nHitTest;
    CPoint m_ptLast;
    CRect m_rectDragDock;
    CRect m_rectDragFloat;
};
