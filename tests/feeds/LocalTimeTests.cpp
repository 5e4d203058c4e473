// Feed dates in local time, each with the bias of its own season.
#include "feeds/LocalTime.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using lqtest::Narrow;

namespace {

// Central European time: UTC+1, and UTC+2 from the last Sunday of March (01:00 UTC) to the last Sunday of
// October (01:00 UTC).
TIME_ZONE_INFORMATION CentralEurope()
{
    TIME_ZONE_INFORMATION zone{};
    zone.Bias = -60;
    zone.StandardBias = 0;
    zone.DaylightBias = -60;
    zone.StandardDate.wMonth = 10;
    zone.StandardDate.wDay = 5; // the last
    zone.StandardDate.wDayOfWeek = 0;
    zone.StandardDate.wHour = 3;
    zone.DaylightDate.wMonth = 3;
    zone.DaylightDate.wDay = 5;
    zone.DaylightDate.wDayOfWeek = 0;
    zone.DaylightDate.wHour = 2;
    return zone;
}

TEST(LocalTime, EachDateTakesTheBiasOfItsOwnSeason)
{
    struct Case
    {
        int utc[5]; // year, month, day, hour, minute
        int local[5];
    };
    const Case cases[] = {
        {{2021, 1, 15, 12, 0}, {2021, 1, 15, 13, 0}},
        {{2021, 7, 15, 12, 0}, {2021, 7, 15, 14, 0}},
        {{2021, 3, 28, 0, 59}, {2021, 3, 28, 1, 59}}, // just before the change to summer time
        {{2021, 3, 28, 1, 0}, {2021, 3, 28, 3, 0}},   // at it
        {{2021, 10, 31, 0, 59}, {2021, 10, 31, 2, 59}},
        {{2021, 10, 31, 1, 0}, {2021, 10, 31, 2, 0}}, // back to winter time
        {{2021, 12, 31, 23, 30}, {2022, 1, 1, 0, 30}},
    };
    const TIME_ZONE_INFORMATION zone = CentralEurope();
    for (const Case& c : cases) {
        const COleDateTime utc(c.utc[0], c.utc[1], c.utc[2], c.utc[3], c.utc[4], 0);
        const COleDateTime expected(c.local[0], c.local[1], c.local[2], c.local[3], c.local[4], 0);
        const COleDateTime local = ToLocalTime(&utc, zone);
        EXPECT_EQ(local, expected) << Narrow(utc.Format(L"%Y-%m-%d %H:%M").GetString()) << " gave "
                                   << Narrow(local.Format(L"%Y-%m-%d %H:%M").GetString());
    }
}

TEST(LocalTime, NoDateGivesZeroAndZonesWithoutDaylightTimeUseTheirBias)
{
    const COleDateTime none = ToLocalTime(nullptr);
    EXPECT_EQ(none.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(static_cast<DATE>(none), 0.0);

    TIME_ZONE_INFORMATION india{};
    india.Bias = -330;
    const COleDateTime utc(2021, 7, 1, 20, 0, 0);
    EXPECT_EQ(ToLocalTime(&utc, india), COleDateTime(2021, 7, 2, 1, 30, 0));
}

} // namespace
