// One headline of the news ticker: a news item with the subscription entry of its feed.
#pragma once

#include <windows.h>

class CFeedItem;

class CNewsLineItem
{
public:
    CNewsLineItem() = default;
    virtual ~CNewsLineItem() = default;
    CNewsLineItem(const CNewsLineItem&) = delete;
    CNewsLineItem& operator=(const CNewsLineItem&) = delete;

    CFeedItem* m_pFeed = nullptr; // the subscription entry; not owned
    CFeedItem* m_pItem = nullptr; // the news item; not owned
    // Where the ticker last laid the headline out.
    LONG m_nLeft = 0;
    LONG m_nTop = 0;
    LONG m_nRight = 0;
    LONG m_nBottom = 0;
};
