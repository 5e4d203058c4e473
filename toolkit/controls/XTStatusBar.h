// The framework's status bar with child windows hosted in its panes, flat pane frames, double-buffered painting
// and a command update that also works for an owner that is not a frame.
#pragma once

#include "framework/core/Collections.h"
#include "framework/frame/StatusBar.h"

// A child window placed on the pane of a command id.
struct XT_STATUSPANE_CONTROL
{
    CWnd* pWnd;
    UINT nID;
    BOOL bAutoDelete;
};

class CXTStatusBar : public CStatusBar
{
    DECLARE_DYNAMIC(CXTStatusBar)

public:
    CXTStatusBar();
    // Deletes the windows marked auto-delete.
    ~CXTStatusBar() override;

    // pWnd must already be a child of the bar. FALSE when no pane has the command id nID.
    BOOL AddControl(CWnd* pWnd, UINT nID, BOOL bAutoDelete = TRUE);
    // Keeps the pane's id, style and text; an index out of range changes nothing.
    void SetPaneWidth(int nIndex, int nWidth);
    // Places every hosted window on its pane.
    void PositionControls();
    // The rectangle a hosted control (or a flat frame) takes on the pane of nID; empty when there is no such pane.
    CRect GetPaneControlRect(UINT nID) const;

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    CArray<XT_STATUSPANE_CONTROL*, XT_STATUSPANE_CONTROL*> m_arControls;

    // The pane rectangle with the last pane's stretch taken to the bar's end (short of a size grip).
    CRect PaneRect(int nIndex) const;

private:
    DECLARE_MESSAGE_MAP()
};
