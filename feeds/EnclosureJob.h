// One enclosure for the podcast manager to download: a news item with the subscription entry of its feed.
// The item's enclosure URL, length, state and local file are the job's data.
#pragma once

#include <windows.h>

class CFeedItem;

class CEnclosureJob
{
public:
    CEnclosureJob(CFeedItem* pItem, CFeedItem* pFeed) : m_pFeed(pFeed), m_pItem(pItem) {}
    virtual ~CEnclosureJob() = default;
    CEnclosureJob(const CEnclosureJob&) = delete;
    CEnclosureJob& operator=(const CEnclosureJob&) = delete;

    CFeedItem* m_pFeed; // the subscription entry; not owned
    CFeedItem* m_pItem; // the news item; not owned
    LONG m_nStatus = 0; // the podcast manager's own use
};
