#include "app/ChannelViewer.h"

#include "feeds/EngineContext.h"
#include "feeds/FeedItem.h"

CChannelViewerWindow::CChannelViewerWindow(CWnd& frame) : m_frame(frame) {}

CChannelViewerWindow::~CChannelViewerWindow()
{
    Stop();
}

CWnd* CChannelViewerWindow::GetWindow() const
{
    return m_pDialog && ::IsWindow(m_pDialog->GetSafeHwnd()) ? m_pDialog.get() : nullptr;
}

void CChannelViewerWindow::Start()
{
    if (GetWindow() != nullptr)
        return;
    auto pDialog = std::make_unique<CChannelViewDlg>(&m_frame);
    pDialog->SetStyleSheet(GetEngineContext().m_strDataFolder + L"\\feeds.xsl");
    if (!pDialog->Create(&m_frame))
        return;
    m_pDialog = std::move(pDialog);
}

void CChannelViewerWindow::Stop()
{
    if (m_pDialog && ::IsWindow(m_pDialog->GetSafeHwnd()))
        m_pDialog->DestroyWindow();
    m_pDialog.reset();
}

void CChannelViewerWindow::ShowChannel(CFeedItem* pEntry)
{
    CWnd* pWindow = GetWindow();
    if (pWindow == nullptr || pEntry == nullptr || pEntry->m_pChannel == nullptr)
        return;
    const CString cacheFile = pEntry->GetCacheFileName();
    if (!pWindow->IsWindowVisible())
        pWindow->ShowWindow(SW_SHOW);
    // A channel that was never fetched has no page yet.
    m_pDialog->ShowFeed(::GetFileAttributesW(cacheFile) != INVALID_FILE_ATTRIBUTES ? cacheFile.GetString()
                                                                                   : L"about:blank");
}
