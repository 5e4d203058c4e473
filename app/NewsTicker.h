// The news ticker as the main frame's companion: starts and stops the ticker's thread, hands it the headlines
// its filter takes, and answers the headline it opened.
#pragma once

#include <windows.h>

#include "app/CompanionWindows.h"
#include "framework/core/Collections.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/Wnd.h"

class CFeedChannel;
class CMainFrame;

class CNewsTicker : public CTickerCompanion
{
public:
    explicit CNewsTicker(CMainFrame& frame);
    ~CNewsTicker() override;
    CNewsTicker(const CNewsTicker&) = delete;
    CNewsTicker& operator=(const CNewsTicker&) = delete;

    CWnd* GetWindow() const override;
    // Nothing when the user switched the ticker off ("NewsLine"\"Show" 0).
    void Start() override;
    void Stop() override;
    void Reload() override;
    void ReloadAfterRefresh(int nNewItems) override;

    // The choice is kept for the next start.
    void ShowOrHide() override;
    bool IsShown() const override { return m_hThread.IsValid(); }
    // When both records are still in the frame's lists, the item is read.
    void OnItemOpened(CFeedItem* pItem, CFeedItem* pEntry) override;

    // The headlines the ticker's filter takes from both lists ("NewsLine"\"Filter" and "Time").
    static void CollectHeadlines(CFeedChannel* pMain, CFeedChannel* pCustom, CPtrList& list);

private:
    // Waits for the ticker's thread to reach a point, answering the messages it sends meanwhile.
    static void WaitAnswering(HANDLE hEvent);
    // Until the thread has quite ended (its object, and so the exit event, went before); then none is held.
    void WaitForThread();

    CMainFrame& m_frame;
    CScopedKernelHandle m_hThread; // the exit event: valid while a ticker thread is held
    // The thread itself: its object signals the exit event as it is deleted, before the thread has run its own
    // and the system's clean-up; a frame that went on from there could end the process under it.
    CScopedKernelHandle m_hThreadEnded;
    HWND m_hWnd = nullptr;
    mutable CWnd m_window; // names the ticker's window (of another thread) for the frame's callers
};
