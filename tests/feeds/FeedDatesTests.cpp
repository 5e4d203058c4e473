// Feed dates: every form a feed may use, zones applied, and no wrong valid date from text that does not parse.
#include "feeds/FeedDates.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

struct Expected
{
    const wchar_t* text;
    int year, month, day, hour, minute, second;
};

void ExpectDate(const COleDateTime& date, const Expected& e)
{
    SCOPED_TRACE(lqtest::Narrow(e.text));
    ASSERT_EQ(COleDateTime::valid, date.GetStatus());
    EXPECT_EQ(e.year, date.GetYear());
    EXPECT_EQ(e.month, date.GetMonth());
    EXPECT_EQ(e.day, date.GetDay());
    EXPECT_EQ(e.hour, date.GetHour());
    EXPECT_EQ(e.minute, date.GetMinute());
    EXPECT_EQ(e.second, date.GetSecond());
}

TEST(FeedDates, Rfc822FormsAndOffsetsGiveUtc)
{
    const Expected cases[] = {
        {L"Tue, 10 Jun 2003 04:00:00 +0200", 2003, 6, 10, 2, 0, 0},
        {L"Tue, 10 Jun 2003 04:00:00 -0500", 2003, 6, 10, 9, 0, 0},
        {L"Tue, 10 Jun 2003 04:00:00 +0530", 2003, 6, 9, 22, 30, 0},
        {L"Tue, 10 Jun 2003 04:00:00 -03:30", 2003, 6, 10, 7, 30, 0},
        {L"Tue, 10 Jun 2003 04:00:00 GMT", 2003, 6, 10, 4, 0, 0},
        {L"10 Jun 2003 04:00:17 GMT", 2003, 6, 10, 4, 0, 17},
        {L"Tue,10 Jun 2003 04:00 +0000", 2003, 6, 10, 4, 0, 0},
        {L"  tue, 10 jun 2003 04:00:00 gmt  ", 2003, 6, 10, 4, 0, 0},
        {L"Tuesday, 10 June 2003 04:00:00 GMT", 2003, 6, 10, 4, 0, 0},
        {L"Tue, 10 Jun 03 04:00:00 GMT", 2003, 6, 10, 4, 0, 0},
        {L"Thu, 01 Jan 98 00:00:00 GMT", 1998, 1, 1, 0, 0, 0},
        {L"Tuesday, 10-Jun-03 04:00:00 GMT", 2003, 6, 10, 4, 0, 0},
        {L"Tue Jun 10 04:00:00 2003", 2003, 6, 10, 4, 0, 0},
        {L"Tue Jun  3 04:00:00 2003", 2003, 6, 3, 4, 0, 0},
        {L"Tue, 10 Jun 2003 04:00:00 +0000 (Coordinated Universal Time)", 2003, 6, 10, 4, 0, 0},
        {L"Sat, 01 Jan 2000 00:30:00 +0100", 1999, 12, 31, 23, 30, 0},
        {L"Wed, 31 Dec 2003 23:30:00 -0100", 2004, 1, 1, 0, 30, 0},
        {L"Tue, 01 Jan 1850 12:00:00 +0100", 1850, 1, 1, 11, 0, 0},
        {L"Thu, 28 Dec 1899 01:00:00 +0200", 1899, 12, 27, 23, 0, 0},
        {L"Sat, 30 Dec 1899 01:00:00 +0200", 1899, 12, 29, 23, 0, 0},
        {L"Sun, 29 Feb 2004 12:00:00 GMT", 2004, 2, 29, 12, 0, 0},
    };
    for (const Expected& e : cases)
        ExpectDate(ParseRfc822Date(e.text), e);
}

TEST(FeedDates, EveryZoneNameIsAppliedAsAWholeWord)
{
    // 04:00 local time in each zone, as UTC.
    const Expected cases[] = {
        {L"ADT", 2003, 6, 10, 7, 0, 0},  {L"EDT", 2003, 6, 10, 8, 0, 0},  {L"AST", 2003, 6, 10, 8, 0, 0},
        {L"CDT", 2003, 6, 10, 9, 0, 0},  {L"CST", 2003, 6, 10, 10, 0, 0}, {L"EST", 2003, 6, 10, 9, 0, 0},
        {L"MDT", 2003, 6, 10, 10, 0, 0}, {L"MST", 2003, 6, 10, 11, 0, 0}, {L"PDT", 2003, 6, 10, 11, 0, 0},
        {L"PST", 2003, 6, 10, 12, 0, 0}, {L"BST", 2003, 6, 10, 3, 0, 0},  {L"CET", 2003, 6, 10, 3, 0, 0},
        {L"CEST", 2003, 6, 10, 2, 0, 0}, {L"EET", 2003, 6, 10, 2, 0, 0},  {L"EEST", 2003, 6, 10, 1, 0, 0},
        {L"GMT", 2003, 6, 10, 4, 0, 0},  {L"UT", 2003, 6, 10, 4, 0, 0},   {L"UTC", 2003, 6, 10, 4, 0, 0},
        {L"Z", 2003, 6, 10, 4, 0, 0},    {L"est", 2003, 6, 10, 9, 0, 0},
    };
    for (const Expected& e : cases) {
        CString text = CString(L"Tue, 10 Jun 2003 04:00:00 ") + e.text;
        Expected named = e;
        named.text = text;
        ExpectDate(ParseRfc822Date(text), named);
    }
}

TEST(FeedDates, TextThatDoesNotParseIsNeverAValidDate)
{
    struct Case
    {
        const wchar_t* text;
        COleDateTime::DateTimeStatus status;
    };
    const Case cases[] = {
        {L"", COleDateTime::null},
        {L"garbage", COleDateTime::null},
        {L"Tue, 10 Foo 2003 04:00:00 GMT", COleDateTime::null},
        {L"Tue, 10 Jun 2003", COleDateTime::null},
        {L"Tue, 10 Jun 2003 04:00:00 XYZ", COleDateTime::null},
        {L"Tue, 10 Jun 2003 04:00:00 ESTX", COleDateTime::null},
        {L"Tue, 10 Jun 2003 04:00:00 CESTEST", COleDateTime::null},
        {L"Tue, 10 Jun 2003 04:00:00 +2500", COleDateTime::null},
        {L"Tue, 10 Jun 2003 04:00:00 +02", COleDateTime::null},
        {L"Tue, 10 Jun 2003 04:00:00 GMT and more", COleDateTime::null},
        {L"Tue, 10 Jun 20031 04:00:00 GMT", COleDateTime::null},
        {L"Tue, 10Jun2003 04:00:00 GMT", COleDateTime::null},
        {L"Tue, 10 Jun 2003 04:00:00 (unclosed", COleDateTime::null},
        {L"2003-06-10T04:00:00Z", COleDateTime::null},
        {L"Mon, 30 Feb 2003 04:00:00 GMT", COleDateTime::invalid},
        {L"Tue, 10 Jun 2003 25:00:00 GMT", COleDateTime::invalid},
        {L"Tue, 10 Jun 2003 04:61:00 GMT", COleDateTime::invalid},
        {L"Fri, 31 Dec 9999 23:00:00 -0500", COleDateTime::invalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(c.text));
        EXPECT_EQ(c.status, ParseRfc822Date(c.text).GetStatus());
    }
    EXPECT_EQ(COleDateTime::null, ParseRfc822Date(nullptr).GetStatus());
}

TEST(FeedDates, IsoFormsApplyTheirZone)
{
    const Expected cases[] = {
        {L"2003-06-10T04:00", 2003, 6, 10, 4, 0, 0},
        {L"2003-06-10T04:00:30", 2003, 6, 10, 4, 0, 30},
        {L"2003-06-10T04:00:00Z", 2003, 6, 10, 4, 0, 0},
        {L"2003-06-10t04:00:00z", 2003, 6, 10, 4, 0, 0},
        {L"2003-06-10T04:00:00+01:00", 2003, 6, 10, 3, 0, 0},
        {L"2003-06-10T04:00:00-0500", 2003, 6, 10, 9, 0, 0},
        {L"2003-06-10T04:00-05:00", 2003, 6, 10, 9, 0, 0},
        {L"2003-06-10T04:00:00.123456+02", 2003, 6, 10, 2, 0, 0},
        {L"2003-6-1T4:05:06Z", 2003, 6, 1, 4, 5, 6},
        {L"2003-06-10 04:00:00Z", 2003, 6, 10, 4, 0, 0},
        {L"2004-01-01T00:30:00+01:00", 2003, 12, 31, 23, 30, 0},
        {L"1850-01-01T00:30:00+01:00", 1849, 12, 31, 23, 30, 0},
        {L"1899-12-30T00:00:00+00:00", 1899, 12, 30, 0, 0, 0},
        // The reduced forms: midnight UTC of the day, month or year.
        {L"2019-08-27", 2019, 8, 27, 0, 0, 0},
        {L" 2019-08-27 ", 2019, 8, 27, 0, 0, 0},
        {L"2003-06", 2003, 6, 1, 0, 0, 0},
        {L"2003", 2003, 1, 1, 0, 0, 0},
    };
    for (const Expected& e : cases)
        ExpectDate(ParseIsoDate(e.text), e);

    struct Bad
    {
        const wchar_t* text;
        COleDateTime::DateTimeStatus status;
    };
    const Bad bad[] = {
        {L"", COleDateTime::null},
        {L"2003-06-10T04", COleDateTime::null},
        {L"2019-08-27Z", COleDateTime::null},
        {L"2019-08-27T", COleDateTime::null},
        {L"03-06-10", COleDateTime::null},
        {L"20030", COleDateTime::null},
        {L"2003-", COleDateTime::null},
        {L"2003-02-30", COleDateTime::invalid},
        {L"2003-13", COleDateTime::invalid},
        {L"2003-06-10T04:00:00 EST", COleDateTime::null},
        {L"2003-06-10T04:00:00+1", COleDateTime::null},
        {L"2003-06-10T04:00:00.Z", COleDateTime::null},
        {L"Tue, 10 Jun 2003 04:00:00 GMT", COleDateTime::null},
        {L"2003-02-30T00:00:00Z", COleDateTime::invalid},
        {L"0003-06-10T04:00:00Z", COleDateTime::invalid},
        {L"2003-13-10T04:00:00Z", COleDateTime::invalid},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(lqtest::Narrow(b.text));
        EXPECT_EQ(b.status, ParseIsoDate(b.text).GetStatus());
    }
}

TEST(FeedDates, WrittenFormIsRfc1123AndReadsBack)
{
    struct Case
    {
        COleDateTime date;
        const wchar_t* text;
    };
    const Case cases[] = {
        {COleDateTime(2003, 6, 10, 4, 0, 0), L"Tue, 10 Jun 2003 04:00:00 GMT"},
        {COleDateTime(1850, 1, 1, 23, 59, 59), L"Tue, 01 Jan 1850 23:59:59 GMT"},
        {COleDateTime(1899, 12, 28, 6, 30, 0), L"Thu, 28 Dec 1899 06:30:00 GMT"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CString(c.text), FormatHttpDate(c.date));
        COleDateTime back = ParseHttpDate(c.text);
        EXPECT_EQ(COleDateTime::valid, back.GetStatus());
        EXPECT_TRUE(back == c.date) << lqtest::Narrow(c.text);
    }

    COleDateTime none;
    none.SetStatus(COleDateTime::null);
    EXPECT_TRUE(FormatHttpDate(none).IsEmpty());
    none.SetStatus(COleDateTime::invalid);
    EXPECT_TRUE(FormatHttpDate(none).IsEmpty());

    // Our own "lastupdate" values are GMT; another zone is not what was written.
    EXPECT_EQ(COleDateTime::null, ParseHttpDate(L"Tue, 10 Jun 2003 04:00:00 +0200").GetStatus());
    EXPECT_EQ(COleDateTime::null, ParseHttpDate(L"Tue, 10 Jun 2003 04:00:00 EST").GetStatus());
}

} // namespace
