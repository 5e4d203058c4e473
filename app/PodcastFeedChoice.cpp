#include "app/PodcastFeedChoice.h"

#include "app/AppMessages.h"
#include "app/MainFrm.h"
#include "companions/PodcastProp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"

struct CPodcastFeedChoice::Request
{
    std::vector<CSelectableFeed>* pFeeds = nullptr; // filled when asked for
    const CString* pFile = nullptr;                 // looked for when asked for
    bool bFound = false;
};

CPodcastFeedChoice::CPodcastFeedChoice(CMainFrame& frame) : m_frame(frame)
{
    CPodcastProp::s_pFeedSource = this;
}

CPodcastFeedChoice::~CPodcastFeedChoice()
{
    if (CPodcastProp::s_pFeedSource == this)
        CPodcastProp::s_pFeedSource = nullptr;
}

std::vector<CSelectableFeed> CPodcastFeedChoice::GetFeeds()
{
    std::vector<CSelectableFeed> feeds;
    Request request;
    request.pFeeds = &feeds;
    Ask(request);
    return feeds;
}

bool CPodcastFeedChoice::HasFeed(const CString& strFile)
{
    Request request;
    request.pFile = &strFile;
    Ask(request);
    return request.bFound;
}

void CPodcastFeedChoice::Ask(Request& request)
{
    const HWND hFrame = m_frame.GetSafeHwnd();
    if (!hFrame)
        return;
    if (::GetWindowThreadProcessId(hFrame, nullptr) == ::GetCurrentThreadId())
        Fill(request);
    else
        ::SendMessageW(hFrame, WM_PODCAST_FEED_CHOICE, 0, reinterpret_cast<LPARAM>(&request));
}

LRESULT CPodcastFeedChoice::Answer(LPARAM lParam)
{
    if (lParam)
        Fill(*reinterpret_cast<Request*>(lParam));
    return 0;
}

void CPodcastFeedChoice::Fill(Request& request)
{
    for (CFeedChannel* list : {m_frame.Lists().Main(), m_frame.Lists().Custom()}) {
        if (!list)
            continue;
        for (POSITION pos = list->m_items.GetHeadPosition(); pos;) {
            const CFeedItem* entry = list->m_items.GetNext(pos);
            // Without a file base name a feed has no value to be chosen by.
            if (entry->m_nKind != FEED_KIND_FEED || entry->m_strFile.IsEmpty())
                continue;
            if (request.pFeeds)
                request.pFeeds->push_back(
                    {entry->m_strTitleText.IsEmpty() ? entry->m_strTitle : entry->m_strTitleText, entry->m_strFile});
            if (request.pFile && entry->m_strFile.CompareNoCase(*request.pFile) == 0)
                request.bFound = true;
        }
    }
}
