// Popup mouse tracking: while bars are in tracking mode (an open menu, a popup), a thread mouse hook lets them see
// the mouse over other windows, so that a click elsewhere closes them and hot tracking follows the mouse from bar
// to bar. The same object watches one window at a time for the mouse leaving it, and holds the lock count that
// keeps tracking undisturbed while an edit field has the focus, a list is open or a drag runs.
#pragma once

#include <windows.h>

#include <vector>

// A bar in tracking mode as the mouse manager sees it. The command bars implement it: they sit above the
// manager, which the other toolkit families ask too.
class CXTPTrackingBar
{
public:
    virtual ~CXTPTrackingBar() = default;
    // The bar's window; null while it has none.
    virtual HWND GetTrackingWindow() const = 0;
    virtual BOOL IsTrackingCustomize() const = 0;
    // Clears the bar's selected control.
    virtual void ClearTrackingSelection() = 0;
    // Takes the bar out of tracking mode, which closes its popups.
    virtual void LeaveTrackingMode() = 0;
    // The mouse moved over another window; ptClient is in this bar's client coordinates.
    virtual void OnTrackingMouseMove(POINT ptClient) = 0;
};

// The mouse-leave watch: a timer on the watched window.
#define XTP_TID_MOUSELEAVE 113341
#define XTP_MOUSELEAVE_PERIOD 50

class CXTPMouseManager
{
public:
    // Installs the thread's mouse hook. The toolkit uses the one of XTPMouseManager for each thread.
    CXTPMouseManager();
    ~CXTPMouseManager();
    CXTPMouseManager(const CXTPMouseManager&) = delete;
    CXTPMouseManager& operator=(const CXTPMouseManager&) = delete;

    // A bar entering tracking mode: the first one of a run clears the selection of the last selected bar.
    void AddTrackingBar(CXTPTrackingBar* pBar);
    void RemoveTrackingBar(CXTPTrackingBar* pBar);
    // Takes the first tracked bar out of tracking mode, which closes its popups.
    void EndAllTracking();

    // Whether any bar of this thread is in tracking mode (an open menu or popup).
    BOOL IsTracking() const { return !m_arrTracked.empty(); }
    BOOL IsTrackedBar(const CXTPTrackingBar* pBar) const;
    CXTPTrackingBar* GetFirstTrackedBar() const { return m_arrTracked.empty() ? nullptr : m_arrTracked.front(); }
    const std::vector<CXTPTrackingBar*>& GetTrackedBars() const { return m_arrTracked; }

    // The lock count is read and changed directly by its users; these are the same thing spelt out.
    BOOL IsMouseLocked() const { return m_nLock > 0; }
    void LockMouseMove() { ++m_nLock; }
    void UnlockMouseMove() { --m_nLock; }

    // Posts (or, for the window watched before, sends) WM_MOUSELEAVE once the cursor leaves hWnd, or its
    // top-level window stops being active.
    void TrackMouseLeave(HWND hWnd);
    // The watched window; null once it is gone (its timer went with it).
    HWND GetTrackedWindow() const { return ::IsWindow(m_hWndLeaveTrack) ? m_hWndLeaveTrack : nullptr; }
    // TRUE when the foreground window is the last active popup of hWnd's top-level parent or owner.
    static BOOL IsTopParentActive(HWND hWnd);

    // The bar that most recently selected a control (not owned).
    CXTPTrackingBar* GetSelectedBar() const { return m_pSelected; }
    void SetSelectedBar(CXTPTrackingBar* pBar) { m_pSelected = pBar; }

    // Set once a popup of the current tracking run expanded to all its items; cleared when the run ends.
    BOOL IsForceExpanded() const { return m_bForceExpanded; }
    void SetForceExpanded(BOOL bExpanded) { m_bForceExpanded = bExpanded; }

    // Windows whose area counts as inside the tracked bars while customising.
    void AddExtraWindow(HWND hWnd);
    void RemoveExtraWindow(HWND hWnd);

    // Drops the next left button release (a popup that expanded on the press).
    void SetIgnoreLButtonUp(BOOL bIgnore) { m_bIgnoreLButtonUp = bIgnore; }

    // One mouse message the hook saw at a screen point; TRUE drops it.
    BOOL ProcessMouseMessage(UINT nMessage, POINT pt);

    int m_nLock;

private:
    static LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK MouseLeaveTimerProc(HWND hWnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);
    void OnMouseLeaveTimer(HWND hWnd);
    BOOL IsPointInTrackedBars(POINT pt) const;

    std::vector<CXTPTrackingBar*> m_arrTracked;
    HHOOK m_hHook;
    CXTPTrackingBar* m_pSelected;
    HWND m_hWndLeaveTrack;
    BOOL m_bForceExpanded;
    std::vector<HWND> m_arrExtraWindows;
    BOOL m_bIgnoreLButtonUp;
};

// The calling thread's mouse manager, made on first use and destroyed with the thread.
CXTPMouseManager* XTPMouseManager();
