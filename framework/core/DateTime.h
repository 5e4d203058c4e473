// Automation dates with a status (COleDateTime) and the spans between them (COleDateTimeSpan).
//
// A date is a double counting days since 30 December 1899 00:00. Before that day the whole part counts days
// backwards but the fraction still runs forwards through the day: -1.25 is 29 December 1899 06:00, not 18:00.
// Arithmetic therefore never adds doubles directly; it works on a continuous day count and converts back.
// Supported years are 100 to 9999; anything outside, or an impossible calendar date, gives the invalid status.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "framework/core/AfxString.h"

class COleDateTimeSpan
{
public:
    enum DateTimeSpanStatus
    {
        error = -1,
        valid = 0,
        invalid = 1,
        null = 2
    };

    COleDateTimeSpan() noexcept : m_span(0.0), m_status(valid) {}
    COleDateTimeSpan(double spanInDays) noexcept;
    COleDateTimeSpan(LONG days, int hours, int minutes, int seconds) noexcept;

    void SetDateTimeSpan(LONG days, int hours, int minutes, int seconds) noexcept;
    DateTimeSpanStatus GetStatus() const noexcept { return m_status; }
    void SetStatus(DateTimeSpanStatus status) noexcept { m_status = status; }

    // The whole days, hours, minutes or seconds in the span (rounded to the nearest second, then cut towards
    // zero): 1 day 1 h 5 min gives 1, 25, 1505 and 90300.
    double GetTotalDays() const noexcept;
    double GetTotalHours() const noexcept;
    double GetTotalMinutes() const noexcept;
    double GetTotalSeconds() const noexcept;
    // The parts of the span (negative for a negative span): hours -23..23, minutes and seconds -59..59.
    LONG GetDays() const noexcept;
    LONG GetHours() const noexcept;
    LONG GetMinutes() const noexcept;
    LONG GetSeconds() const noexcept;

    operator double() const noexcept { return m_span; }
    COleDateTimeSpan& operator=(double spanInDays) noexcept;

    // An invalid operand makes an invalid result, otherwise a null one makes a null result.
    COleDateTimeSpan operator+(const COleDateTimeSpan& other) const noexcept;
    COleDateTimeSpan operator-(const COleDateTimeSpan& other) const noexcept;
    COleDateTimeSpan& operator+=(const COleDateTimeSpan& other) noexcept;
    COleDateTimeSpan& operator-=(const COleDateTimeSpan& other) noexcept;
    COleDateTimeSpan operator-() const noexcept;
    COleDateTimeSpan operator*(double factor) const noexcept;
    COleDateTimeSpan operator/(double divisor) const noexcept;
    // Whole factors would otherwise be ambiguous with the conversion to double.
    COleDateTimeSpan operator*(int factor) const noexcept { return *this * static_cast<double>(factor); }
    COleDateTimeSpan operator/(int divisor) const noexcept { return *this / static_cast<double>(divisor); }

    // Equal: the same status and, when valid, the same length. Ordering holds only between two valid spans.
    bool operator==(const COleDateTimeSpan& other) const noexcept;
    bool operator!=(const COleDateTimeSpan& other) const noexcept { return !(*this == other); }
    bool operator<(const COleDateTimeSpan& other) const noexcept;
    bool operator>(const COleDateTimeSpan& other) const noexcept { return other < *this; }
    bool operator<=(const COleDateTimeSpan& other) const noexcept { return *this < other || *this == other; }
    bool operator>=(const COleDateTimeSpan& other) const noexcept { return other < *this || *this == other; }

    double m_span;
    DateTimeSpanStatus m_status;

private:
    LONGLONG RoundedSeconds() const noexcept;
    void CheckRange() noexcept;
};

class COleDateTime
{
public:
    enum DateTimeStatus
    {
        error = -1,
        valid = 0,
        invalid = 1,
        null = 2
    };

    // The local time now, to the second.
    static COleDateTime GetCurrentTime() noexcept;

    COleDateTime() noexcept : m_dt(0.0), m_status(valid) {}
    COleDateTime(DATE value) noexcept;
    COleDateTime(const SYSTEMTIME& time) noexcept;
    COleDateTime(int year, int month, int day, int hour, int minute, int second) noexcept;

    COleDateTime& operator=(DATE value) noexcept;
    COleDateTime& operator=(const SYSTEMTIME& time) noexcept;
    operator DATE() const noexcept { return m_dt; }

    DateTimeStatus GetStatus() const noexcept { return m_status; }
    void SetStatus(DateTimeStatus status) noexcept { m_status = status; }

    // Each returns 0 when the date was set and 1 (the invalid status) when a part is out of range.
    int SetDateTime(int year, int month, int day, int hour, int minute, int second) noexcept;
    int SetDate(int year, int month, int day) noexcept;
    // Sets the time of day on 30 December 1899.
    int SetTime(int hour, int minute, int second) noexcept;

    // Fails unless the date is valid. Milliseconds are 0.
    bool GetAsSystemTime(SYSTEMTIME& time) const noexcept;

    // Each returns -1 unless the date is valid. Day of week: 1 Sunday .. 7 Saturday; day of year: 1 = 1 January.
    int GetYear() const noexcept;
    int GetMonth() const noexcept;
    int GetDay() const noexcept;
    int GetHour() const noexcept;
    int GetMinute() const noexcept;
    int GetSecond() const noexcept;
    int GetDayOfWeek() const noexcept;
    int GetDayOfYear() const noexcept;

    // strftime codes (%a %A %b %B %c %d %H %I %j %m %M %p %S %U %w %W %x %X %y %Y %z %Z %%, with '#' to drop
    // leading zeros or to give the long forms of %c and %x), in the C runtime's default locale. A null date
    // gives an empty text, an invalid one "Invalid DateTime".
    CString Format(LPCWSTR format) const;
    CString Format(UINT formatId) const;

    // Adding or taking a span from a date that is not valid leaves it as it is; an invalid or null span makes
    // the result invalid or null. A result outside the supported years is invalid.
    COleDateTime operator+(const COleDateTimeSpan& span) const noexcept;
    COleDateTime operator-(const COleDateTimeSpan& span) const noexcept;
    COleDateTime& operator+=(const COleDateTimeSpan& span) noexcept;
    COleDateTime& operator-=(const COleDateTimeSpan& span) noexcept;
    COleDateTimeSpan operator-(const COleDateTime& other) const noexcept;

    // An invalid or null date is never greater nor less than another date. Two dates are equal when both are
    // valid and the same time, or when both have the same non-valid status (two null dates are equal).
    bool operator==(const COleDateTime& other) const noexcept;
    bool operator!=(const COleDateTime& other) const noexcept { return !(*this == other); }
    bool operator<(const COleDateTime& other) const noexcept;
    bool operator>(const COleDateTime& other) const noexcept { return other < *this; }
    bool operator<=(const COleDateTime& other) const noexcept { return *this < other || *this == other; }
    bool operator>=(const COleDateTime& other) const noexcept { return other < *this || *this == other; }

    DATE m_dt;
    DateTimeStatus m_status;
};
