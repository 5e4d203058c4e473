// The frame's side of the podcast manager: its thread started at the frame's creation and stopped at shut-down,
// and the enclosure jobs of both subscription lists handed to its window.
#pragma once

#include "app/CompanionWindows.h"
#include "framework/core/ScopedHandles.h"

class CMainFrame;
class CPodcastThread;

class CPodcastManager : public CPodcastCompanion
{
public:
    explicit CPodcastManager(CMainFrame& frame);
    ~CPodcastManager() override;
    CPodcastManager(const CPodcastManager&) = delete;
    CPodcastManager& operator=(const CPodcastManager&) = delete;

    CWnd* GetWindow() const override;
    void Start() override;
    void Stop() override;
    void SyncList() override;

private:
    // Until the thread has quite ended (its object, and so the exit event, went before).
    void WaitForThread();

    CMainFrame& m_frame;
    CPodcastThread* m_pThread = nullptr; // deletes itself as its loop ends
    // The thread itself: the exit event is set before the thread's own and the system's clean-up has run.
    CScopedKernelHandle m_hThreadEnded;
};
