#include "feeds/LocalTime.h"

COleDateTime ToLocalTime(const COleDateTime* pUtc, const TIME_ZONE_INFORMATION& zone)
{
    if (!pUtc)
        return COleDateTime(0.0);
    SYSTEMTIME utc;
    SYSTEMTIME local;
    // The bias of the date's own season: a winter date read in summer is not an hour off.
    if (pUtc->GetAsSystemTime(utc) &&
        SystemTimeToTzSpecificLocalTime(const_cast<TIME_ZONE_INFORMATION*>(&zone), &utc, &local))
        return COleDateTime(local);
    // Dates the conversion cannot take (before 1601) keep the zone's standard bias.
    const LONG bias = zone.Bias + zone.StandardBias;
    COleDateTimeSpan span;
    span.SetDateTimeSpan(0, 0, static_cast<int>(bias), 0);
    return *pUtc - span;
}

COleDateTime ToLocalTime(const COleDateTime* pUtc)
{
    TIME_ZONE_INFORMATION zone;
    ZeroMemory(&zone, sizeof(zone));
    GetTimeZoneInformation(&zone);
    return ToLocalTime(pUtc, zone);
}
