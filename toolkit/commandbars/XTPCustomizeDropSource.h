// The drag of a control in customise mode: the bars that accept drops, and the modal drag over them.
#pragma once

#include "framework/core/Geometry.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/OleDragDrop.h"

#include <vector>

class CWnd;
class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControl;

class CXTPCustomizeDropSource : public CCmdTarget
{
public:
    explicit CXTPCustomizeDropSource(CXTPCommandBars* pCommandBars);
    ~CXTPCustomizeDropSource() override;

    // Bars become drop targets when their window is made and stop being ones when it goes.
    void Register(CXTPCommandBar* pCommandBar);
    void Unregister(CXTPCommandBar* pCommandBar);
    BOOL IsRegistered(const CXTPCommandBar* pCommandBar) const;

    // Drags pControl over the registered bars until the left button is released (dropped) or Escape or the right
    // button cancels. The result is DROPEFFECT_NONE (released away from every bar), DROPEFFECT_MOVE,
    // DROPEFFECT_COPY (Ctrl held, or bCopyOnly) or XTP_DROPEFFECT_STAY (cancelled, or dropped onto its own place).
    DROPEFFECT DoDragDrop(CXTPControl* pControl, BOOL bCopyOnly = FALSE);

    // Shows the customise sheet's context menu for the customise selection at a screen point: the sheet gets it
    // as WM_CONTEXTMENU. Nothing while no sheet is open.
    virtual void TrackContextMenu(CPoint ptScreen);

    // The customise sheet while it is open.
    CWnd* m_pSheet;

    // The no-drop cursor without a target, else copy (copy-only or Ctrl held) or move.
    void UpdateCursor();

protected:
    // The visible registered bar under a screen point, the last registered first.
    CXTPCommandBar* FindTarget(CPoint ptScreen) const;
    void SetDragCursor(BOOL bOverTarget, BOOL bCopy);
    void DragOver(CXTPControl* pControl, CPoint ptScreen);
    // The open customise sheet, else the site, else the control's bar.
    HWND GetCaptureWindow(CXTPControl* pControl) const;
    // The modal loop; XTP_DROPEFFECT_STAY without a target when cancelled.
    DROPEFFECT Track(CXTPControl* pControl, HWND hWndCapture);

    CXTPCommandBars* m_pCommandBars;
    std::vector<CXTPCommandBar*> m_arrTargets;
    CXTPCommandBar* m_pTarget;
    // Where the drag began, on the screen.
    CPoint m_ptStart;
    BOOL m_bMove;
    BOOL m_bCopyOnly;
};
