// The podcast manager: a tool window on a thread of its own that lists the enclosures of news items and downloads
// them one at a time into the podcast folder, continuing partial files, in manual or automatic mode.
#pragma once

#include <windows.h>

#include "companions/EnclosureDownload.h"
#include "companions/ProgressListCtrl.h"
#include "framework/core/Collections.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/WinThread.h"
#include "framework/win/Wnd.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <memory>

class CEnclosureJob;
class CFeedItem;
class CPodcastThread;

// Row colours of the job list.
const COLORREF kPodcastToDownload = RGB(0xFF, 0xFF, 0xFF);
const COLORREF kPodcastCompleted = RGB(0xB4, 0xFF, 0xB4);
const COLORREF kPodcastDownloading = RGB(0xFF, 0xFF, 0xB4);
const COLORREF kPodcastFailed = RGB(0xFF, 0xB4, 0xB4);

class CPodcastWnd : public CWnd
{
    DECLARE_DYNAMIC(CPodcastWnd)

public:
    CPodcastWnd();
    ~CPodcastWnd() override;

    // Creates the hidden window, owned by the main frame, which it reports to by the handle it is given.
    virtual BOOL Create(HWND hFrame);

    // Answers: the list, the jobs (newest first) and the state of the run.
    CProgressListCtrl& List() { return m_list; }
    const CPtrList& Jobs() const { return m_jobs; }
    CEnclosureJob* CurrentJob() const { return m_pCurrentJob; }
    bool IsRunning() const { return m_bRunning; }
    bool IsStopped() const { return m_bStopped; }
    const CString& DefaultFolder() const { return m_strDefaultFolder; }
    // "Podcasting"\"Path", or the documents folder when that is empty.
    CString DownloadFolder() const;

    // The toolbar's and menu's commands.
    void Resume();
    void Stop();
    void OpenFile(int nRow);
    void OpenFolder();

protected:
    // Runs the current job's transfer; on the download thread.
    virtual void DownloadEnclosure(CEnclosureTransfer& transfer);
    // Shows the settings sheet; true when it was confirmed with a change.
    virtual bool ShowSettings();

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg LRESULT OnRequestClose(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDownloadDone(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAddItems(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRemoveItem(WPARAM wParam, LPARAM lParam);
    afx_msg void OnListRightClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnListDoubleClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnResume();
    afx_msg void OnStop();
    afx_msg void OnOpenFile();
    afx_msg void OnOpenFolder();
    afx_msg void OnProperties();
    afx_msg void OnUpdateStop(CCmdUI* pCmdUI);
    afx_msg void OnUpdateResume(CCmdUI* pCmdUI);
    afx_msg void OnUpdateOpenFile(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    friend DWORD WINAPI PodcastDownloadThreadProc(LPVOID pParam);

    void SortJobs();
    void FillList();
    void AddRow(CEnclosureJob* pJob, bool bAlone);
    void AutoStart();
    void StartNext();
    // Ends the running transfer: abort, cut, and a bounded wait for its thread (which holds its own copy of
    // everything it touches, so one that does not end in time is left to end alone).
    void EndTransfer();
    // What the ended transfer leaves in the current job: a partial file kept (state 2) or an empty one removed.
    void KeepPartialFile(bool bWriteCache);
    void CloseCurrent();
    void StopAll();
    int RowOf(CEnclosureJob* pJob) const;
    void WriteCache(CEnclosureJob* pJob);
    static void ShowSystemError(DWORD error);

    HWND m_hFrame = nullptr;
    CProgressListCtrl m_list;
    CPtrList m_jobs; // owned CEnclosureJob, newest first
    CEnclosureJob* m_pCurrentJob = nullptr;
    POSITION m_posNext = nullptr;
    CString m_strDefaultFolder;
    CXTPToolBar m_wndToolBar;
    bool m_bStopped = false;
    bool m_bRestart = false;
    bool m_bRunning = false;

    std::shared_ptr<CEnclosureTransfer> m_pTransfer;
    CScopedKernelHandle m_hDownloadThread;
    LPARAM m_nSerial = 0;
};

// The podcast window's user-interface thread: COM for its life, the window as its main window. It deletes itself
// when its loop ends and then sets g_hPodcastExitEvent.
class CPodcastThread : public CWinThread
{
    DECLARE_DYNAMIC(CPodcastThread)

public:
    // hReady (not owned) is set once InitInstance has made the window or failed to.
    CPodcastThread(HWND hFrame, HANDLE hReady);
    ~CPodcastThread() override;

    BOOL InitInstance() override;

    CPodcastWnd m_wnd;

private:
    HWND m_hFrame;
    HANDLE m_hReady;
    bool m_bComReady = false;
};

// Created (auto-reset, not signalled) by whoever starts the thread; set as the thread object goes.
extern HANDLE g_hPodcastExitEvent;
