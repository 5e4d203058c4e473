// The arithmetic of the main window's one-minute refresh timer, apart from the window so that it can be checked
// case by case.
#pragma once

#include "framework/core/Collections.h"

class CFeedChannel;

// One tick (a minute) for the subscription entries of both lists (either may be null) and the server channel
// list's countdown. While a refresh runs every countdown above 1 only decreases. Otherwise a countdown below 1 is
// raised to 1, and an entry at 1 is due: it stays at 1 and, when online and not already being fetched, is
// appended to due; every other countdown decreases. Entries with the interval -1 are never refreshed by time.
// Countdowns never go below 1 here, so an entry due while offline is fetched at the first tick back online.
void CountDownRefresh(CFeedChannel* pMain, CFeedChannel* pCustom, bool bRefreshRunning, bool bOnline,
                      int& nChannelListCountdown, CPtrList& due);
