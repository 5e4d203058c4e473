// Feeds read on their download's thread: the channel read for an entry, held until the frame takes it, and its
// merge into the channel the frame shows, which is all that is left for the frame's thread to do.
#pragma once

class CFeedChannel;
class CFeedItem;

// Hands the channel read for the entry over (null: none), replacing and deleting one not taken.
void PutFetchedChannel(const CFeedItem* pEntry, CFeedChannel* pFetched);
// The channel read for the entry, now the caller's; null when none waits.
CFeedChannel* TakeFetchedChannel(const CFeedItem* pEntry);

// What a reload of the same file would do to the channel: every header field but the title and the copyright
// (the user's list keeps those) taken when the fetched feed has it, the date of the last update when valid, known
// items get their keep flag, the others move to m_heldItems for PurgeItems in their order. The fetched channel is
// left without items.
void MergeFetchedChannel(CFeedChannel& channel, CFeedChannel& fetched);
