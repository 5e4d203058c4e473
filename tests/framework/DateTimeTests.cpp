// Automation dates with status: calendar checks, the day count around 30 December 1899, conversions, arithmetic,
// ordering and formatting.
#include "framework/core/DateTime.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <cwchar>
#include <iterator>
#include <string>

namespace {

std::string Text(const CString& s)
{
    return lqtest::Narrow(std::wstring(s.GetString(), s.GetLength()));
}

COleDateTime Null()
{
    COleDateTime d;
    d.SetStatus(COleDateTime::null);
    return d;
}

COleDateTime Invalid()
{
    COleDateTime d;
    d.SetStatus(COleDateTime::invalid);
    return d;
}

SYSTEMTIME MakeSystemTime(int y, int mo, int d, int h, int mi, int s)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(mo);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(mi);
    st.wSecond = static_cast<WORD>(s);
    return st;
}

TEST(DateTime, DayCountAroundTheEpoch)
{
    struct
    {
        int y, mo, d, h, mi, s;
        double expected;
        int dayOfWeek;
        int dayOfYear;
    } cases[] = {
        {1899, 12, 30, 0, 0, 0, 0.0, 7, 364},    {1899, 12, 30, 6, 0, 0, 0.25, 7, 364},
        {1899, 12, 29, 6, 0, 0, -1.25, 6, 363},  {1899, 12, 29, 18, 0, 0, -1.75, 6, 363},
        {1899, 12, 31, 12, 0, 0, 1.5, 1, 365},   {1900, 1, 1, 0, 0, 0, 2.0, 2, 1},
        {1800, 1, 1, 18, 0, 0, -36522.75, 4, 1}, {1600, 2, 29, 0, 0, 0, -109512.0, 3, 60},
        {2000, 2, 29, 0, 0, 0, 36585.0, 3, 60},  {2003, 6, 10, 4, 0, 0, 37782.0 + 4.0 / 24, 3, 161},
        {100, 1, 1, 0, 0, 0, -657434.0, 6, 1},   {9999, 12, 31, 23, 59, 59, 2958465.0 + 86399.0 / 86400, 6, 365},
    };
    for (const auto& c : cases) {
        COleDateTime date(c.y, c.mo, c.d, c.h, c.mi, c.s);
        SCOPED_TRACE(testing::Message() << c.y << "-" << c.mo << "-" << c.d << " " << c.h << ":" << c.mi);
        ASSERT_EQ(COleDateTime::valid, date.GetStatus());
        EXPECT_NEAR(c.expected, date.m_dt, 1e-9);
        EXPECT_EQ(c.y, date.GetYear());
        EXPECT_EQ(c.mo, date.GetMonth());
        EXPECT_EQ(c.d, date.GetDay());
        EXPECT_EQ(c.h, date.GetHour());
        EXPECT_EQ(c.mi, date.GetMinute());
        EXPECT_EQ(c.s, date.GetSecond());
        EXPECT_EQ(c.dayOfWeek, date.GetDayOfWeek());
        EXPECT_EQ(c.dayOfYear, date.GetDayOfYear());
    }
}

TEST(DateTime, AgreesWithThePlatformOnEveryValidDate)
{
    // The platform's conversion is right for real dates; only its acceptance of impossible ones is ours to fix.
    for (int year = 1601; year <= 9999; year += 37) {
        for (int month = 1; month <= 12; month += 5) {
            SYSTEMTIME st = MakeSystemTime(year, month, 1 + (year + month) % 28, year % 24, month * 4, year % 60);
            double platform = 0;
            ASSERT_TRUE(SystemTimeToVariantTime(&st, &platform));
            COleDateTime ours(st);
            ASSERT_NEAR(platform, ours.m_dt, 1e-9) << year << "-" << month;

            SYSTEMTIME back = {};
            ASSERT_TRUE(ours.GetAsSystemTime(back));
            SYSTEMTIME platformBack = {};
            ASSERT_TRUE(VariantTimeToSystemTime(platform, &platformBack));
            EXPECT_EQ(platformBack.wDayOfWeek, back.wDayOfWeek);
            const WORD sent[] = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
            const WORD received[] = {back.wYear, back.wMonth, back.wDay, back.wHour, back.wMinute, back.wSecond};
            EXPECT_TRUE(std::equal(std::begin(sent), std::end(sent), std::begin(received))) << year << "-" << month;
        }
    }
}

TEST(DateTime, ImpossibleDatesAreInvalid)
{
    struct
    {
        int y, mo, d, h, mi, s;
        bool valid;
    } cases[] = {
        {2003, 2, 30, 0, 0, 0, false}, {1900, 2, 29, 0, 0, 0, false}, {2000, 2, 29, 0, 0, 0, true},
        {2004, 4, 31, 0, 0, 0, false}, {2004, 13, 1, 0, 0, 0, false}, {2004, 0, 1, 0, 0, 0, false},
        {2004, 1, 0, 0, 0, 0, false},  {2004, 1, 1, 24, 0, 0, false}, {2004, 1, 1, 0, 60, 0, false},
        {2004, 1, 1, 0, 0, 60, false}, {2004, 1, 1, -1, 0, 0, false}, {99, 12, 31, 0, 0, 0, false},
        {100, 1, 1, 0, 0, 0, true},    {9999, 12, 31, 0, 0, 0, true}, {10000, 1, 1, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        COleDateTime date;
        const int result = date.SetDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s);
        EXPECT_EQ(c.valid ? 0 : 1, result) << c.y << "-" << c.mo << "-" << c.d;
        EXPECT_EQ(c.valid ? COleDateTime::valid : COleDateTime::invalid, date.GetStatus());
        EXPECT_EQ(c.valid ? COleDateTime::valid : COleDateTime::invalid,
                  COleDateTime(MakeSystemTime(c.y, c.mo, c.d, c.h, c.mi, c.s)).GetStatus());
    }

    // A refused date leaves the value as it was, whichever way it is set.
    COleDateTime kept(2004, 2, 29, 12, 0, 0);
    const DATE before = kept.m_dt;
    EXPECT_EQ(1, kept.SetDateTime(2003, 2, 30, 0, 0, 0));
    EXPECT_EQ(COleDateTime::invalid, kept.GetStatus());
    EXPECT_EQ(before, kept.m_dt);
    kept = COleDateTime(2004, 2, 29, 12, 0, 0);
    kept = MakeSystemTime(2004, 13, 1, 0, 0, 0);
    EXPECT_EQ(COleDateTime::invalid, kept.GetStatus());
    EXPECT_EQ(before, kept.m_dt);
    kept = COleDateTime(2004, 2, 29, 12, 0, 0);
    EXPECT_EQ(1, kept.SetDate(2005, 2, 29));
    EXPECT_EQ(before, kept.m_dt);
    EXPECT_EQ(0.0, COleDateTime(2003, 2, 30, 0, 0, 0).m_dt);

    COleDateTime setDate;
    EXPECT_EQ(0, setDate.SetDate(2004, 2, 29));
    EXPECT_NEAR(38046.0, setDate.m_dt, 1e-9);
    EXPECT_EQ(0, setDate.SetTime(18, 0, 0));
    EXPECT_NEAR(0.75, setDate.m_dt, 1e-9);
    EXPECT_EQ(1, setDate.SetDate(2005, 2, 29));

    EXPECT_EQ(COleDateTime::valid, COleDateTime(2958465.9).GetStatus());
    EXPECT_EQ(COleDateTime::invalid, COleDateTime(2958466.0).GetStatus());
    EXPECT_EQ(COleDateTime::valid, COleDateTime(-657434.9).GetStatus());
    EXPECT_EQ(COleDateTime::invalid, COleDateTime(-657435.0).GetStatus());
}

TEST(DateTime, NotValidDatesAnswerNothing)
{
    COleDateTime fresh;
    EXPECT_EQ(COleDateTime::valid, fresh.GetStatus());
    EXPECT_EQ(0.0, fresh.m_dt);

    for (const COleDateTime& date : {Null(), Invalid()}) {
        SYSTEMTIME st = {};
        EXPECT_FALSE(date.GetAsSystemTime(st));
        EXPECT_EQ(-1, date.GetYear());
        EXPECT_EQ(-1, date.GetMonth());
        EXPECT_EQ(-1, date.GetDay());
        EXPECT_EQ(-1, date.GetHour());
        EXPECT_EQ(-1, date.GetDayOfWeek());
        EXPECT_EQ(-1, date.GetDayOfYear());
    }
}

TEST(DateTime, SecondsRoundToTheNearest)
{
    // Half a second before midnight of 29 December 1899 belongs to 30 December once rounded.
    COleDateTime lateNight(-1.0 - (86399.6 / 86400));
    EXPECT_EQ(1899, lateNight.GetYear());
    EXPECT_EQ(12, lateNight.GetMonth());
    EXPECT_EQ(30, lateNight.GetDay());
    EXPECT_EQ(0, lateNight.GetHour());

    COleDateTime almost(37782.0 + 10.4 / 86400);
    EXPECT_EQ(10, almost.GetSecond());
    COleDateTime over(37782.0 + 10.6 / 86400);
    EXPECT_EQ(11, over.GetSecond());
}

TEST(DateTime, CurrentTimeIsLocalTimeToTheSecond)
{
    SYSTEMTIME before;
    GetLocalTime(&before);
    COleDateTime now = COleDateTime::GetCurrentTime();
    SYSTEMTIME after;
    GetLocalTime(&after);
    before.wMilliseconds = 0;
    after.wMilliseconds = 0;
    ASSERT_EQ(COleDateTime::valid, now.GetStatus());
    EXPECT_TRUE(now >= COleDateTime(before));
    EXPECT_TRUE(now <= COleDateTime(after));
}

TEST(DateTime, ArithmeticRunsStraightThroughTheEpoch)
{
    struct
    {
        COleDateTime start;
        COleDateTimeSpan span;
        double expected;
    } cases[] = {
        {COleDateTime(1899, 12, 30, 3, 0, 0), COleDateTimeSpan(0, -6, 0, 0), -1.875},
        {COleDateTime(1899, 12, 29, 18, 0, 0), COleDateTimeSpan(0, 12, 0, 0), 0.25},
        {COleDateTime(1899, 12, 29, 6, 0, 0), COleDateTimeSpan(0, 12, 0, 0), -1.75},
        {COleDateTime(1899, 12, 29, 6, 0, 0), COleDateTimeSpan(-1, 0, 0, 0), -2.25},
        {COleDateTime(1800, 1, 1, 18, 0, 0), COleDateTimeSpan(36521, 6, 0, 0), 0.0},
        {COleDateTime(2003, 6, 10, 4, 0, 0), COleDateTimeSpan(0, -2, 0, 0), 37782.0 + 2.0 / 24},
        {COleDateTime(2003, 6, 10, 4, 0, 0), COleDateTimeSpan(0, 5, 0, 0), 37782.0 + 9.0 / 24},
        {COleDateTime(2003, 6, 10, 4, 0, 0), COleDateTimeSpan(0, -5, -30, 0), 37781.0 + 22.5 / 24},
    };
    for (const auto& c : cases) {
        COleDateTime sum = c.start + c.span;
        ASSERT_EQ(COleDateTime::valid, sum.GetStatus());
        EXPECT_NEAR(c.expected, sum.m_dt, 1e-9) << c.start.m_dt << " + " << c.span.m_span;

        COleDateTime back = sum - c.span;
        EXPECT_NEAR(c.start.m_dt, back.m_dt, 1e-9);
        COleDateTimeSpan difference = sum - c.start;
        EXPECT_NEAR(c.span.m_span, difference.m_span, 1e-9);

        COleDateTime accumulated = c.start;
        accumulated += c.span;
        EXPECT_NEAR(c.expected, accumulated.m_dt, 1e-9);
        accumulated -= c.span;
        EXPECT_NEAR(c.start.m_dt, accumulated.m_dt, 1e-9);
    }

    // One day apart across the epoch, although the stored values differ by 1.5.
    COleDateTimeSpan day = COleDateTime(1899, 12, 30, 6, 0, 0) - COleDateTime(1899, 12, 29, 6, 0, 0);
    EXPECT_NEAR(1.0, day.m_span, 1e-9);
}

TEST(DateTime, ArithmeticKeepsTheStatus)
{
    const COleDateTimeSpan hour(0, 1, 0, 0);
    COleDateTimeSpan nullSpan;
    nullSpan.SetStatus(COleDateTimeSpan::null);
    COleDateTimeSpan invalidSpan;
    invalidSpan.SetStatus(COleDateTimeSpan::invalid);

    COleDateTime invalidDate = Invalid();
    invalidDate.m_dt = 123.5;
    COleDateTime shifted = invalidDate + hour;
    EXPECT_EQ(COleDateTime::invalid, shifted.GetStatus());
    EXPECT_EQ(123.5, shifted.m_dt);
    shifted -= hour;
    EXPECT_EQ(123.5, shifted.m_dt);
    EXPECT_EQ(COleDateTime::null, (Null() + hour).GetStatus());

    const COleDateTime date(2003, 6, 10, 4, 0, 0);
    EXPECT_EQ(COleDateTime::invalid, (date + invalidSpan).GetStatus());
    EXPECT_EQ(COleDateTime::null, (date + nullSpan).GetStatus());
    EXPECT_EQ(COleDateTime::invalid, (COleDateTime(9999, 12, 31, 23, 0, 0) + hour * 2).GetStatus());
    EXPECT_EQ(COleDateTime::invalid, (COleDateTime(100, 1, 1, 0, 30, 0) - hour).GetStatus());

    EXPECT_EQ(COleDateTimeSpan::invalid, (date - Invalid()).GetStatus());
    EXPECT_EQ(COleDateTimeSpan::null, (Null() - date).GetStatus());
    EXPECT_EQ(COleDateTimeSpan::invalid, (hour + invalidSpan).GetStatus());
    EXPECT_EQ(COleDateTimeSpan::null, (hour - nullSpan).GetStatus());
    EXPECT_EQ(COleDateTimeSpan::invalid, (nullSpan + invalidSpan).GetStatus());
    EXPECT_EQ(COleDateTimeSpan::invalid, (hour / 0).GetStatus());
    EXPECT_EQ(COleDateTimeSpan::invalid, COleDateTimeSpan(1e7).GetStatus());
}

TEST(DateTime, InvalidOrNullDatesAreNeverGreater)
{
    const COleDateTime early(1899, 12, 29, 6, 0, 0); // stored as -1.25
    const COleDateTime late(1899, 12, 29, 18, 0, 0); // stored as -1.75
    const COleDateTime modern(2003, 6, 10, 4, 0, 0);
    struct
    {
        const char* name;
        COleDateTime a, b;
        bool greater, less, equal;
    } cases[] = {
        {"later modern", modern, early, true, false, false},
        {"same", modern, COleDateTime(modern.m_dt), false, false, true},
        {"before the epoch by time, not by value", late, early, true, false, false},
        {"invalid against valid", Invalid(), modern, false, false, false},
        {"valid against invalid", modern, Invalid(), false, false, false},
        {"null against valid", Null(), modern, false, false, false},
        {"valid against null", modern, Null(), false, false, false},
        {"two nulls", Null(), Null(), false, false, true},
        {"two invalids", Invalid(), Invalid(), false, false, true},
        {"null against invalid", Null(), Invalid(), false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.greater, c.a > c.b) << c.name;
        EXPECT_EQ(c.less, c.a < c.b) << c.name;
        EXPECT_EQ(c.equal, c.a == c.b) << c.name;
        EXPECT_EQ(!c.equal, c.a != c.b) << c.name;
        EXPECT_EQ(c.greater || c.equal, c.a >= c.b) << c.name;
        EXPECT_EQ(c.less || c.equal, c.a <= c.b) << c.name;
    }
}

TEST(DateTime, SpanParts)
{
    struct
    {
        COleDateTimeSpan span;
        double totalDays, totalHours, totalMinutes, totalSeconds;
        LONG days, hours, minutes, seconds;
    } cases[] = {
        {COleDateTimeSpan(3, 1, 5, 12), 3, 73, 4385, 263112, 3, 1, 5, 12},
        {COleDateTimeSpan(0, 2, 30, 0), 0, 2, 150, 9000, 0, 2, 30, 0},
        {-COleDateTimeSpan(1, 2, 3, 4), -1, -26, -1563, -93784, -1, -2, -3, -4},
        // 2 h 29 min 59.6 s: rounded to the second first, so the minutes part is 30.
        {COleDateTimeSpan((2 * 3600 + 29 * 60 + 59.6) / 86400), 0, 2, 150, 9000, 0, 2, 30, 0},
        {COleDateTimeSpan(0.75), 0, 18, 1080, 64800, 0, 18, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.span.m_span);
        EXPECT_EQ(c.totalDays, c.span.GetTotalDays());
        EXPECT_EQ(c.totalHours, c.span.GetTotalHours());
        EXPECT_EQ(c.totalMinutes, c.span.GetTotalMinutes());
        EXPECT_EQ(c.totalSeconds, c.span.GetTotalSeconds());
        EXPECT_EQ(c.days, c.span.GetDays());
        EXPECT_EQ(c.hours, c.span.GetHours());
        EXPECT_EQ(c.minutes, c.span.GetMinutes());
        EXPECT_EQ(c.seconds, c.span.GetSeconds());
    }

    COleDateTimeSpan built(0, 2, 30, 0);
    EXPECT_TRUE(built == COleDateTimeSpan(2.5 / 24));
    EXPECT_TRUE(built != COleDateTimeSpan(0, 2, 31, 0));
    EXPECT_TRUE(built < COleDateTimeSpan(0, 2, 31, 0));
    EXPECT_TRUE(COleDateTimeSpan(1.0) > built);
    COleDateTimeSpan invalidSpan(built);
    invalidSpan.SetStatus(COleDateTimeSpan::invalid);
    EXPECT_FALSE(invalidSpan == built);
    EXPECT_FALSE(invalidSpan < COleDateTimeSpan(1.0));
    EXPECT_FALSE(invalidSpan > COleDateTimeSpan(-1.0));
    built += COleDateTimeSpan(0, 0, 30, 0);
    EXPECT_EQ(3, built.GetHours());
    built -= COleDateTimeSpan(0, 3, 0, 0);
    EXPECT_EQ(0, built.GetTotalSeconds());
}

TEST(DateTime, FormatCodes)
{
    const COleDateTime tuesday(2003, 6, 10, 16, 5, 9);
    const COleDateTime battle(1066, 10, 14, 9, 0, 0);
    struct
    {
        const COleDateTime& date;
        const wchar_t* format;
        const char* expected;
    } cases[] = {
        {tuesday, L"%Y-%m-%d", "2003-06-10"},
        {tuesday, L"%c", "06/10/03 16:05:09"},
        {tuesday, L"%x %X", "06/10/03 16:05:09"},
        {tuesday, L"%#c", "Tuesday, June 10, 2003, 16:05:09"},
        {tuesday, L"%#x", "Tuesday, June 10, 2003"},
        {tuesday, L"%a %A %b %B", "Tue Tuesday Jun June"},
        {tuesday, L"%I:%M %p, %H h", "04:05 PM, 16 h"},
        {tuesday, L"%j %U %W %w %y", "161 23 23 2 03"},
        {tuesday, L"%#d.%#m.%Y %#H", "10.6.2003 16"},
        {tuesday, L"100%% %Q %", "100% %Q %"},
        {tuesday, L"", ""},
        {battle, L"%Y-%m-%d %A %j %U", "1066-10-14 Sunday 287 41"},
        {battle, L"%I %p", "09 AM"},
        {COleDateTime(1899, 12, 30, 0, 0, 0), L"%I %p %a", "12 AM Sat"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, Text(c.date.Format(c.format))) << lqtest::Narrow(c.format);
    }

    EXPECT_EQ("", Text(Null().Format(L"%Y")));
    EXPECT_EQ("Invalid DateTime", Text(Invalid().Format(L"%Y")));
}

TEST(DateTime, FormatMatchesTheRuntimeForModernDates)
{
    const wchar_t format[] = L"%a|%A|%b|%B|%c|%d|%H|%I|%j|%m|%M|%p|%S|%U|%w|%W|%x|%X|%y|%Y";
    for (int day = 0; day < 3000; day += 13) {
        COleDateTime date = COleDateTime(1995, 1, 1, 0, 0, 0) + COleDateTimeSpan(day, day % 24, day % 60, day % 59);
        SYSTEMTIME st;
        ASSERT_TRUE(date.GetAsSystemTime(st));
        std::tm parts = {};
        parts.tm_year = st.wYear - 1900;
        parts.tm_mon = st.wMonth - 1;
        parts.tm_mday = st.wDay;
        parts.tm_hour = st.wHour;
        parts.tm_min = st.wMinute;
        parts.tm_sec = st.wSecond;
        parts.tm_wday = st.wDayOfWeek;
        parts.tm_yday = date.GetDayOfYear() - 1;
        wchar_t runtime[256] = {};
        ASSERT_NE(0u, wcsftime(runtime, 256, format, &parts));
        EXPECT_EQ(lqtest::Narrow(runtime), Text(date.Format(format)));
    }
}

} // namespace
