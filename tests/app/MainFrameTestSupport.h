// The main frame as the tests build it: with a pane site of their own that counts or records what the frame asks
// of its pane, and with stand-ins for the companion windows that come with their own work.
#pragma once

#include "app/MainFrm.h"

#include <memory>

namespace lqtest {

// The frame with a pane site of the given class (made from the frame), reached through Pane().
template <class Site> class FrameWithPane : public CMainFrame
{
public:
    FrameWithPane()
        : CMainFrame([](CMainFrame& frame) -> std::unique_ptr<CPaneSite> { return std::make_unique<Site>(frame); })
    {
    }
    Site& Pane() { return static_cast<Site&>(PaneSite()); }
};

// The real pane, with its rebuilds and the ends of refreshes counted.
class CountingPane : public CPaneSite
{
public:
    using CPaneSite::CPaneSite;

    int m_built = 0;
    int m_ended = 0;

    void BuildTaskPanel() override
    {
        ++m_built;
        CPaneSite::BuildTaskPanel();
    }
    void ShowRefreshEnded() override
    {
        ++m_ended;
        CPaneSite::ShowRefreshEnded();
    }
};

using CountingMainFrame = FrameWithPane<CountingPane>;

// A companion that is only the given window.
template <class Companion> class CompanionStandIn : public Companion
{
public:
    explicit CompanionStandIn(CWnd* pWnd) : m_pWnd(pWnd) {}
    CWnd* GetWindow() const override { return m_pWnd; }
    void Start() override {}
    void Stop() override {}

private:
    CWnd* m_pWnd;
};

class ViewerStandIn : public CompanionStandIn<CChannelViewerCompanion>
{
public:
    using CompanionStandIn::CompanionStandIn;
    void ShowChannel(CFeedItem*) override {}
};

class PodcastStandIn : public CompanionStandIn<CPodcastCompanion>
{
public:
    using CompanionStandIn::CompanionStandIn;
    void SyncList() override {}
};

} // namespace lqtest
