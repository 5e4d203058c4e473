// The main window's companion windows: the news ticker, the podcast manager and the channel viewer. Each is built by
// its own feature as a class that implements the interface below and is handed to the frame's companions; until a
// companion is there the frame has no window for it and its commands stay disabled.
#pragma once

#include <array>
#include <memory>

class CCmdUI;
class CFeedItem;
class CWnd;

// What the frame asks of every companion.
class CCompanion
{
public:
    virtual ~CCompanion() = default;
    // Its window; null while it has none.
    virtual CWnd* GetWindow() const = 0;
    // Its thread started at the frame's creation and stopped at shut-down; Stop waits for the thread while the
    // caller keeps answering the messages the companion sends it.
    virtual void Start() = 0;
    virtual void Stop() = 0;
};

// The news ticker docked at a screen edge.
class CTickerCompanion : public CCompanion
{
public:
    // Rebuilds its list (the ticker asked for it); after a refresh that found nNewItems new items.
    virtual void Reload() = 0;
    virtual void ReloadAfterRefresh(int nNewItems) = 0;
    // The user's show and hide command; whether it is shown now.
    virtual void ShowOrHide() = 0;
    virtual bool IsShown() const = 0;
    // It opened a headline (item and entry as it was handed them; either may be gone since).
    virtual void OnItemOpened(CFeedItem* pItem, CFeedItem* pEntry) = 0;
};

// The podcast manager with its enclosure downloads.
class CPodcastCompanion : public CCompanion
{
public:
    // Takes the enclosures of the subscription lists again (the lists or the branding changed).
    virtual void SyncList() = 0;
};

// The channel viewer window.
class CChannelViewerCompanion : public CCompanion
{
public:
    virtual void ShowChannel(CFeedItem* pEntry) = 0;
};

class CCompanionWindows
{
public:
    CCompanionWindows();
    ~CCompanionWindows();
    CCompanionWindows(const CCompanionWindows&) = delete;
    CCompanionWindows& operator=(const CCompanionWindows&) = delete;

    // The companions, handed over before the frame is created (its creation starts them).
    void SetTicker(std::unique_ptr<CTickerCompanion> pTicker);
    void SetPodcastManager(std::unique_ptr<CPodcastCompanion> pPodcast);
    void SetChannelViewer(std::unique_ptr<CChannelViewerCompanion> pViewer);

    // Their windows; null without the companion or its window.
    CWnd* GetTickerWindow() const;
    CWnd* GetPodcastWindow() const;
    CWnd* GetChannelViewer() const;

    // Started at the frame's creation; stopped at shut-down, the ticker first, then the podcast manager.
    void StartThreads();
    void StopThreads();

    void ReloadTicker();
    void ReloadTickerAfterRefresh(int nNewItems);
    // The ticker alone: closed by the user from its own window, or shown and hidden by the frame's command.
    void StopTicker();
    void ToggleTicker();
    void UpdateTicker(CCmdUI* pCmdUI) const;
    void TickerItemOpened(CFeedItem* pItem, CFeedItem* pEntry);
    void SyncPodcastList();
    void ShowChannelView(CFeedItem* pEntry);

    // The "Channel Viewer" and "Podcast Manager" commands, enabled while the window exists.
    void ToggleChannelViewer();
    void UpdateChannelViewer(CCmdUI* pCmdUI) const;
    void ShowPodcastManager();
    void UpdatePodcastManager(CCmdUI* pCmdUI) const;

private:
    // The ticker first, then the podcast manager, as they are stopped.
    std::array<CCompanion*, 3> All() const;

    std::unique_ptr<CTickerCompanion> m_pTicker;
    std::unique_ptr<CPodcastCompanion> m_pPodcast;
    std::unique_ptr<CChannelViewerCompanion> m_pViewer;
};
