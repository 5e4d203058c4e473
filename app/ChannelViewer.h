// The channel viewer as one of the frame's companions: made hidden at the frame's creation with the data folder's
// style sheet, shown with a channel when the user asks to view one in a separate window, destroyed with the frame.
#pragma once

#include "app/CompanionWindows.h"
#include "views/ChannelViewDlg.h"

#include <memory>

class CChannelViewerWindow : public CChannelViewerCompanion
{
public:
    explicit CChannelViewerWindow(CWnd& frame);
    ~CChannelViewerWindow() override;

    CWnd* GetWindow() const override;
    void Start() override;
    void Stop() override;
    // Shows the window (when hidden) with the entry's channel; an entry without a channel shows nothing.
    void ShowChannel(CFeedItem* pEntry) override;

    CChannelViewDlg* GetDialog() const { return m_pDialog.get(); }

private:
    CWnd& m_frame;
    std::unique_ptr<CChannelViewDlg> m_pDialog;
};
