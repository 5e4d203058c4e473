// The main window's refreshes: the feed worker thread and what it shares with the frame, the refresh requests,
// each refreshed entry applied on the frame's thread and the end of a refresh, the server's channel list, the
// one-minute refresh timer and the connection (online state and the connection monitor).
#pragma once

#include "app/ConnectionMonitor.h"
#include "app/FeedWorker.h"

class CMainFrame;

// The frame's one-minute refresh timer.
const UINT_PTR kRefreshTimerId = 16;

class CFeedRefresher
{
public:
    explicit CFeedRefresher(CMainFrame& frame);
    CFeedRefresher(const CFeedRefresher&) = delete;
    CFeedRefresher& operator=(const CFeedRefresher&) = delete;

    // Starts the worker and the refresh timer. With "Check at startup" a full refresh runs; without, the worker
    // still does its start-of-life duties and fetches the server's channel list.
    void Start();
    // Stops the timer, the connection monitor, any refresh and the worker; every download ends, its report
    // answered, before this returns. Nothing is posted to the worker afterwards.
    void Shutdown();

    // Refresh requests to the worker. A full refresh ("Update Now") takes every entry and ends with both lists
    // saved; the others take the given entries, skipping any that a download holds already. False when nothing
    // was asked.
    bool StartFullRefresh();
    bool RequestRefresh(CFeedItem* pEntry);
    bool RequestRefresh(const CPtrList& entries);
    // The same for entries the user or the timer picked: the running refresh is no longer a full one.
    bool RefreshEntry(CFeedItem* pEntry);
    bool RefreshEntries(const CPtrList& entries);
    bool StopRefresh();
    // "Update Now": asks first when offline.
    void UpdateNow();

    // A refresh or another worker task runs.
    BOOL IsUpdating() const { return m_link.m_bUpdating != 0; }
    // The running refresh takes everything: its end rebuilds the pane and saves both lists.
    bool IsFullRefresh() const { return m_bFullRefresh; }
    void SetFullRefresh(bool bFull) { m_bFullRefresh = bFull; }
    // New items of the running refresh (the pane's build counts them again).
    int GetNewItemCount() const { return m_nNewItems; }
    void SetNewItemCount(int nNewItems) { m_nNewItems = nNewItems; }
    CFeedWorkerLink& GetWorkerLink() { return m_link; }

    // Worker tasks for other features; false when the worker takes nothing (none runs, or it was told to end).
    bool PostSearch(CFeedItem* pEntry, const CString& strText);
    bool PostEnclosureDownload(CFeedItem* pItem);
    bool PostQuickFilter();

    // The worker's reports.
    // One refreshed entry brought up to date on this thread; with no entry, the end of the refresh.
    void OnFeedUpdated(CFeedItem* pEntry);
    // Entries of both lists that a full refresh takes, marked and reset for their download.
    void CollectFullRefresh(CPtrList& entries);
    // The server's channel list merged into the main list (taken over and deleted).
    void MergeServerChannelList(CFeedChannel* pLoaded);
    // The worker has let go of every entry.
    void OnStopped();
    // A downloaded branding file taken into the settings; false when it was not.
    bool TakeBranding(const CBrandingHandOver* pHandOver);

    // The connection.
    bool IsOnline() const { return m_bOnline; }
    // The "Online" command: offline starts waiting for a connection.
    void ToggleOnline();
    // The connection monitor: started when none runs; the thread ends by itself after reporting.
    bool StartConnectionMonitor();
    const CConnectionMonitor& GetMonitor() const { return m_monitor; }
    void OnConnectionEvent(bool bConnected);
    // One tick of the refresh timer, as the timer runs it.
    void RefreshTick();

private:
    void PrepareForDownload(CFeedItem* pEntry);
    void ApplyRefreshedEntry(CFeedItem* pEntry);
    void ApplyDownload(CFeedItem* pEntry);
    void SendNewEnclosures(CFeedItem* pEntry);
    void EndRefresh();
    void AdoptServerList(CFeedChannel* pLoaded);
    void UpdateKnownEntry(CFeedItem* pExisting, const CFeedItem* pLoaded);
    void DropEntry(CFeedItem* pEntry);

    CMainFrame& m_frame;
    CFeedWorkerLink m_link;
    CWinThread* m_pWorkerThread = nullptr;
    bool m_bFullRefresh = false;
    int m_nNewItems = 0;
    bool m_bOnline = true; // the network was up at the last tick of the refresh timer
    bool m_bShutDown = false;
    CConnectionMonitor m_monitor;
};
