#include "feeds/CacheSnapshot.h"

#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"

CFeedChannel* CopyChannelForCache(const CFeedChannel& channel)
{
    auto* copy = new CFeedChannel;
    copy->m_info = channel.m_info;
    copy->m_strPath = channel.m_strPath;
    copy->m_dtLastUpdate = channel.m_dtLastUpdate;
    for (POSITION pos = channel.m_items.GetHeadPosition(); pos;) {
        const CFeedItem* item = channel.m_items.GetNext(pos);
        auto* itemCopy = new CFeedItem(*item);
        // What CopyFrom leaves out and the cache keeps.
        itemCopy->m_strComments = item->m_strComments;
        itemCopy->m_strBookmark = item->m_strBookmark;
        itemCopy->m_strEnclosureFile = item->m_strEnclosureFile;
        copy->m_items.AddTail(itemCopy);
    }
    return copy;
}

CCacheWrite::~CCacheWrite()
{
    delete pChannel;
}

bool CCacheWrite::Write()
{
    return pChannel && !strPath.IsEmpty() && pChannel->SaveCache(strPath, TRUE) != FALSE;
}
