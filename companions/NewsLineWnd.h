// The news ticker: a one-line application bar on its own user-interface thread that scrolls the headlines the main
// frame hands it, opens one on a click and asks the frame for a new list when it has shown them all.
#pragma once

#include <windows.h>

#include <vector>

#include "companions/AppBarWnd.h"
#include "companions/NewsLineLayout.h"
#include "framework/core/DateTime.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/WinThread.h"

class CFeedItem;
class CNewsLineThread;

// Set by the ticker thread's object as it is deleted; the frame waits on it when it stops the ticker.
extern HANDLE g_hNewsLineExitEvent;

// What the ticker shows of one headline: copies made while the frame waits for the hand-over, so that the ticker's
// thread never reads the frame's records. The two pointers only name the records back to the frame.
struct CTickerHeadline
{
    CFeedItem* pEntry = nullptr;
    CFeedItem* pItem = nullptr;
    CString strFeedTitle;
    CString strTitle;
    CString strLink;
    COleDateTime dtDate; // UTC
    int nImageIndex = -1;
};

class CNewsLineWnd : public CAppBarWnd
{
public:
    CNewsLineWnd();
    ~CNewsLineWnd() override;

    // Creates the bar owned by the frame, to which it reports.
    BOOL Create(CWnd* pFrame) override;
    void SetThread(CNewsLineThread* pThread) { m_pThread = pThread; }

    void LoadSettings();
    void ClearItems();
    void LayoutItems();
    // The modal "NewsLine Properties" sheet; after OK the settings are loaded again and the headlines laid out
    // again, or collected again by the frame when the choice of headlines changed.
    afx_msg void ShowProperties();

    // Tests step the scrolling themselves (WM_TIMER 16 and 17 sent by hand) instead of by the window's timers.
    void SetManualTicks(bool bManual) { m_bManualTicks = bManual; }

    const std::vector<CTickerHeadline>& GetHeadlines() const { return m_headlines; }
    const CNewsLineScroll& GetScroll() const { return m_scroll; }
    bool IsHovering() const { return m_bHover; }
    COLORREF GetBackgroundColor() const { return m_crBackground; }
    // The slot bitmap of the leading entry, for pixel probes; null when it holds none.
    HBITMAP GetLeadingBitmap() const;

    enum
    {
        TIMER_SCROLL = 16,
        TIMER_REST = 17,
    };

protected:
    void DrawEntry(HDC hDC, const CTickerHeadline& headline, int nWidth) const;
    void RenderLeading(int nEntry);
    void StartTimer(UINT_PTR nId, UINT nElapse);
    void StopTimer(UINT_PTR nId);
    void OpenHeadline(const CTickerHeadline& headline);
    void DropLeft(CFeedItem* pItem);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnDockTop();
    afx_msg void OnDockBottom();
    afx_msg void OnCloseTicker();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnReload(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnItemRemoved(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CNewsLineThread* m_pThread;
    HWND m_hFrame;
    std::vector<CTickerHeadline> m_headlines;
    CScopedFont m_titleFont;
    CScopedFont m_newsFont;
    COLORREF m_crBackground;
    COLORREF m_crNews;
    COLORREF m_crTitle;
    CScopedImageList m_images;
    CNewsLineScroll m_scroll;
    CScopedBitmap m_slotBitmaps[2];
    int m_nBarHeight;
    bool m_bHover;
    bool m_bManualTicks;
};

class CNewsLineThread : public CWinThread
{
public:
    explicit CNewsLineThread(HWND hFrame);
    ~CNewsLineThread() override;

    BOOL InitInstance() override;
    CNewsLineWnd& Window() { return m_wnd; }

private:
    HWND m_hFrame;
    CNewsLineWnd m_wnd;
};
