#include "app/RefreshTimer.h"

#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"

void CountDownRefresh(CFeedChannel* pMain, CFeedChannel* pCustom, bool bRefreshRunning, bool bOnline,
                      int& nChannelListCountdown, CPtrList& due)
{
    ForEachEntry(pMain, pCustom, [&](CFeedChannel*, CFeedItem* pEntry) {
        if (pEntry->m_nKind != FEED_KIND_FEED || pEntry->m_nUpdateInterval == -1)
            return;
        if (bRefreshRunning) {
            if (pEntry->m_nCountdown > 1)
                --pEntry->m_nCountdown;
            return;
        }
        if (pEntry->m_nCountdown < 1)
            pEntry->m_nCountdown = 1;
        if (pEntry->m_nCountdown == 1) {
            if (bOnline && !pEntry->m_bUpdating)
                due.AddTail(pEntry);
        } else {
            --pEntry->m_nCountdown;
        }
    });
    if (nChannelListCountdown > 1)
        --nChannelListCountdown;
}
