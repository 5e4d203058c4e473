// What the podcast page's "Select feeds" offers: the subscribed feeds of the frame's lists. The page also opens in
// the podcast manager's sheet, on its thread, so the lists are read on the frame's thread by a sent message.
#pragma once

#include "companions/SelectFeedsDlg.h"

class CMainFrame;

class CPodcastFeedChoice : public CFeedSelectionSource
{
public:
    // Offered to every podcast page while this lives.
    explicit CPodcastFeedChoice(CMainFrame& frame);
    ~CPodcastFeedChoice() override;
    CPodcastFeedChoice(const CPodcastFeedChoice&) = delete;
    CPodcastFeedChoice& operator=(const CPodcastFeedChoice&) = delete;

    std::vector<CSelectableFeed> GetFeeds() override;
    bool HasFeed(const CString& strFile) override;

    // WM_PODCAST_FEED_CHOICE on the frame's thread: lParam the request another thread sent.
    LRESULT Answer(LPARAM lParam);

private:
    struct Request;
    void Ask(Request& request);
    void Fill(Request& request);

    CMainFrame& m_frame;
};
