// Feed dates, kept in UTC, as the user's local time.
#pragma once

#include <windows.h>

#include "framework/core/DateTime.h"

// A UTC date in local time, with the bias in force at that date (standard or daylight time). No date gives 0.
COleDateTime ToLocalTime(const COleDateTime* pUtc);
// The same in a given time zone.
COleDateTime ToLocalTime(const COleDateTime* pUtc, const TIME_ZONE_INFORMATION& zone);
