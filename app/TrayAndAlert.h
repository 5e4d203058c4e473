// The main window in the notification area: its icon there and its menu, hiding the frame to it and bringing it
// back, and the new-items alert that a refresh ends with.
#pragma once

#include "toolkit/controls/XTPPopupWindow.h"
#include "toolkit/controls/XTTrayIcon.h"

class CMainFrame;

// The notification-area icon of the frame. The hidden window that takes the frame off the taskbar carries the
// name by which a second start finds the running copy while the frame is in the notification area.
class CTrayWnd : public CXTTrayIcon
{
public:
    BOOL RemoveTaskbarButton(CWnd* pWnd) override;
};

// The caption of that hidden window.
#define LQ_TRAY_WINDOW_NAME L"_LanternquillTrayWindow"

// The new-items alert's close button and its "View messages..." link.
const int kAlertClose = 500;
const int kAlertViewMessages = 501;

class CTrayAndAlert
{
public:
    explicit CTrayAndAlert(CMainFrame& frame);
    CTrayAndAlert(const CTrayAndAlert&) = delete;
    CTrayAndAlert& operator=(const CTrayAndAlert&) = delete;

    // The icon, with the caption as its tip.
    void Create(LPCWSTR lpszCaption);

    // Hides the frame to the notification area, or brings it back from there (the tray's "Open Reader"); a
    // channel viewer shown at hiding comes back with the frame.
    void OnOpenReader();
    void HideToTray();
    bool IsInTray() const { return m_bInTray; }
    // A second start's probe: the frame comes forward, also out of the notification area.
    void BringForward();
    // The icon's mouse messages: a double click opens the frame, a right click shows the tray menu.
    LRESULT OnTrayNotify(LPARAM lParam);

    // The alert of a refresh that found nNewItems new items, from the engine's per-channel lines.
    void ShowNewItemsAlert(int nNewItems);
    LRESULT OnPopupNotify(WPARAM wParam, LPARAM lParam);
    void DestroyAlert();
    CXTPPopupWindow& GetAlert() { return m_wndAlert; }
    // After the alert's close button the frame's next move neither activates nor raises it.
    bool IsNextActivationQuiet() const { return m_bQuietActivation == 0; }
    void KeepActivationQuiet(WINDOWPOS* lpwndpos);

private:
    void AddAlertText(const CRect& rect, const CString& text, COLORREF color, UINT nAlignment = 0);
    int AddChannelLines(int y);
    void AddAlertButtons(int y);

    CMainFrame& m_frame;
    CTrayWnd m_trayIcon;
    bool m_bInTray = false;
    bool m_bViewerWasVisible = false;
    CXTPPopupWindow m_wndAlert;
    int m_bQuietActivation = 1;
};
