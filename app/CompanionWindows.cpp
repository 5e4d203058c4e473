#include "app/CompanionWindows.h"

#include "framework/win/CmdTarget.h"
#include "framework/win/Wnd.h"

namespace {

CWnd* WindowOf(const CCompanion* pCompanion)
{
    return pCompanion ? pCompanion->GetWindow() : nullptr;
}

// The companion's window when it is there.
CWnd* ExistingWindow(const CCompanion* pCompanion)
{
    CWnd* wnd = WindowOf(pCompanion);
    return wnd && wnd->GetSafeHwnd() ? wnd : nullptr;
}

} // namespace

CCompanionWindows::CCompanionWindows() = default;
CCompanionWindows::~CCompanionWindows() = default;

void CCompanionWindows::SetTicker(std::unique_ptr<CTickerCompanion> pTicker)
{
    m_pTicker = std::move(pTicker);
}

void CCompanionWindows::SetPodcastManager(std::unique_ptr<CPodcastCompanion> pPodcast)
{
    m_pPodcast = std::move(pPodcast);
}

void CCompanionWindows::SetChannelViewer(std::unique_ptr<CChannelViewerCompanion> pViewer)
{
    m_pViewer = std::move(pViewer);
}

CWnd* CCompanionWindows::GetTickerWindow() const
{
    return WindowOf(m_pTicker.get());
}

CWnd* CCompanionWindows::GetPodcastWindow() const
{
    return WindowOf(m_pPodcast.get());
}

CWnd* CCompanionWindows::GetChannelViewer() const
{
    return WindowOf(m_pViewer.get());
}

std::array<CCompanion*, 3> CCompanionWindows::All() const
{
    return {m_pTicker.get(), m_pPodcast.get(), m_pViewer.get()};
}

void CCompanionWindows::StartThreads()
{
    for (CCompanion* companion : All())
        if (companion)
            companion->Start();
}

void CCompanionWindows::StopThreads()
{
    for (CCompanion* companion : All())
        if (companion)
            companion->Stop();
}

void CCompanionWindows::ReloadTicker()
{
    if (m_pTicker)
        m_pTicker->Reload();
}

void CCompanionWindows::ReloadTickerAfterRefresh(int nNewItems)
{
    if (m_pTicker)
        m_pTicker->ReloadAfterRefresh(nNewItems);
}

void CCompanionWindows::StopTicker()
{
    if (m_pTicker)
        m_pTicker->Stop();
}

void CCompanionWindows::ToggleTicker()
{
    if (m_pTicker)
        m_pTicker->ShowOrHide();
}

void CCompanionWindows::UpdateTicker(CCmdUI* pCmdUI) const
{
    pCmdUI->Enable(m_pTicker != nullptr);
    pCmdUI->SetCheck(m_pTicker && m_pTicker->IsShown() ? 1 : 0);
}

void CCompanionWindows::TickerItemOpened(CFeedItem* pItem, CFeedItem* pEntry)
{
    if (m_pTicker)
        m_pTicker->OnItemOpened(pItem, pEntry);
}

void CCompanionWindows::SyncPodcastList()
{
    if (m_pPodcast)
        m_pPodcast->SyncList();
}

void CCompanionWindows::ShowChannelView(CFeedItem* pEntry)
{
    if (m_pViewer)
        m_pViewer->ShowChannel(pEntry);
}

void CCompanionWindows::ToggleChannelViewer()
{
    if (CWnd* viewer = ExistingWindow(m_pViewer.get()))
        viewer->ShowWindow(viewer->IsWindowVisible() ? SW_HIDE : SW_SHOW);
}

void CCompanionWindows::UpdateChannelViewer(CCmdUI* pCmdUI) const
{
    CWnd* viewer = ExistingWindow(m_pViewer.get());
    pCmdUI->Enable(viewer != nullptr);
    pCmdUI->SetCheck(viewer && viewer->IsWindowVisible() ? 1 : 0);
}

void CCompanionWindows::ShowPodcastManager()
{
    if (CWnd* podcast = ExistingWindow(m_pPodcast.get()))
        podcast->ShowWindow(SW_SHOW);
}

void CCompanionWindows::UpdatePodcastManager(CCmdUI* pCmdUI) const
{
    pCmdUI->Enable(ExistingWindow(m_pPodcast.get()) != nullptr);
}
