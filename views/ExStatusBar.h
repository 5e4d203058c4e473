// The main frame's status bar, drawn through the current command-bar paint manager so that it follows the
// toolkit theme or the skin.
#pragma once

#include "toolkit/controls/XTStatusBar.h"

class CExStatusBar : public CXTStatusBar
{
    DECLARE_DYNAMIC(CExStatusBar)

public:
    CExStatusBar();

    // Draws the whole bar into pDC at the client rectangle's coordinates: what WM_PAINT shows.
    void DrawBar(CDC* pDC);
    // The gripper is drawn when the bar has a size grip and its frame is resizable and not maximised.
    BOOL IsGripperShown() const;

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
