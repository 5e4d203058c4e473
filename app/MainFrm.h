// The main window. For now the least the start-up needs: the frame with the branding's caption, the
// notification-area icon, the answer to a second start's probe, and the feed address a second start hands over.
// Menus, panes, views and the feed worker come with the main-window work.
#pragma once

#include "toolkit/controls/XTTrayIcon.h"
#include "framework/core/Collections.h"
#include "framework/frame/FrameWnd.h"

// The registered message by which a second start finds the running copy: the frame answers with its id.
extern const UINT WM_INSTANCE_PROBE;

class CMainFrame : public CFrameWnd
{
public:
    CMainFrame();

    // Whether the text is a feed address a second start may hand over: http, https or feed, and nothing that
    // could reach a command line or a file name.
    static bool IsFeedAddress(const CString& text);

    CXTTrayIcon m_trayIcon;
    CStringList m_handedOver; // feed addresses handed over, waiting for the subscribe flow

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg LRESULT OnInstanceProbe(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyData);
    DECLARE_MESSAGE_MAP()
};
