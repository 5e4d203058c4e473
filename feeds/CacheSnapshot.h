// A copy of a channel that a cache file can be written from on another thread, while the frame goes on showing
// and changing the channel itself.
#pragma once

#include "framework/core/AfxString.h"

class CFeedChannel;

// The header and every item field the cache writer writes; the copy shares no object with the channel.
CFeedChannel* CopyChannelForCache(const CFeedChannel& channel);

// A cache file to be written away from the frame's thread: the copy is owned and deleted with the record.
struct CCacheWrite
{
    CFeedChannel* pChannel = nullptr;
    CString strPath;

    CCacheWrite() = default;
    CCacheWrite(const CCacheWrite&) = delete;
    CCacheWrite& operator=(const CCacheWrite&) = delete;
    ~CCacheWrite();

    // Writes the copy (new items kept new); true when saved.
    bool Write();
};
