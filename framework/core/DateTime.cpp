#include "framework/core/DateTime.h"

#include <cmath>
#include <string>

namespace {

// 1 January 100 and 31 December 9999 as day numbers.
constexpr double kMinDay = -657434.0;
constexpr double kMaxDay = 2958465.0;
constexpr double kMaxSpan = kMaxDay - kMinDay + 1.0;
constexpr LONGLONG kSecondsPerDay = 86400;

// Days from 1 January 1970 in the proleptic Gregorian calendar (H. Hinnant's public-domain civil-day algorithm).
constexpr LONGLONG DaysFromCivil(LONGLONG y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const LONGLONG era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<LONGLONG>(doe) - 719468;
}

void CivilFromDays(LONGLONG z, int& year, int& month, int& day)
{
    z += 719468;
    const LONGLONG era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<LONGLONG>(yoe) + era * 400 + (month <= 2));
}

constexpr LONGLONG kEpochShift = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// The platform's own conversion accepts 30 February, so every part is checked here.
bool MakeDate(int year, int month, int day, int hour, int minute, int second, DATE& result)
{
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return false;
    }
    const double days = static_cast<double>(DaysFromCivil(year, month, day) - kEpochShift);
    const double fraction = (hour * 3600.0 + minute * 60.0 + second) / kSecondsPerDay;
    result = days >= 0 ? days + fraction : days - fraction;
    return true;
}

bool InRange(DATE value)
{
    return value > kMinDay - 1.0 && value < kMaxDay + 1.0;
}

// A continuous day count: unlike an automation date it grows steadily through the days before 1899-12-30.
double ToLinear(DATE value)
{
    if (value >= 0)
        return value;
    const double days = std::ceil(value);
    return days + (days - value);
}

DATE FromLinear(double linear)
{
    if (linear >= 0)
        return linear;
    const double days = std::floor(linear);
    const double fraction = linear - days;
    return fraction == 0 ? days : days - fraction;
}

struct DateParts
{
    int year, month, day, hour, minute, second, dayOfWeek, dayOfYear;
};

bool SplitDate(DATE value, DateParts& parts)
{
    if (!InRange(value))
        return false;
    double whole = std::trunc(value);
    LONGLONG seconds = std::llround(std::fabs(value - whole) * kSecondsPerDay);
    LONGLONG dayNumber = static_cast<LONGLONG>(whole);
    if (seconds >= kSecondsPerDay) {
        // 23:59:59.6 rounds into the next calendar day, which is one day later whatever the sign.
        seconds -= kSecondsPerDay;
        ++dayNumber;
    }
    const LONGLONG civilDays = dayNumber + kEpochShift;
    CivilFromDays(civilDays, parts.year, parts.month, parts.day);
    if (parts.year < 100 || parts.year > 9999)
        return false;
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    // 1 January 1970 was a Thursday (day 4 when Sunday is 0).
    parts.dayOfWeek = static_cast<int>(((civilDays % 7) + 7 + 4) % 7) + 1;
    parts.dayOfYear = static_cast<int>(civilDays - DaysFromCivil(parts.year, 1, 1)) + 1;
    return true;
}

const wchar_t* const kDayNames[] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                    L"Thursday", L"Friday", L"Saturday"};
const wchar_t* const kMonthNames[] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                      L"July",    L"August",   L"September", L"October", L"November", L"December"};

void AppendNumber(std::wstring& out, int value, int width, bool dropZeros)
{
    std::wstring digits = std::to_wstring(value);
    if (!dropZeros && static_cast<int>(digits.size()) < width)
        out.append(width - digits.size(), L'0');
    out += digits;
}

// Week of the year where weeks start on firstDay (0 Sunday, 1 Monday); days before the first such day are week 0.
int WeekOfYear(const DateParts& p, int firstDay)
{
    const int weekday = (p.dayOfWeek - 1 - firstDay + 7) % 7;
    return (p.dayOfYear - 1 + 7 - weekday) / 7;
}

void FormatParts(const DateParts& p, const wchar_t* format, std::wstring& out);

void FormatCode(const DateParts& p, wchar_t code, bool alternate, std::wstring& out)
{
    const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    switch (code) {
    case L'a':
        out.append(kDayNames[p.dayOfWeek - 1], 3);
        break;
    case L'A':
        out += kDayNames[p.dayOfWeek - 1];
        break;
    case L'b':
        out.append(kMonthNames[p.month - 1], 3);
        break;
    case L'B':
        out += kMonthNames[p.month - 1];
        break;
    case L'c':
        FormatParts(p, alternate ? L"%A, %B %#d, %Y, %H:%M:%S" : L"%m/%d/%y %H:%M:%S", out);
        break;
    case L'x':
        FormatParts(p, alternate ? L"%A, %B %#d, %Y" : L"%m/%d/%y", out);
        break;
    case L'X':
        FormatParts(p, L"%H:%M:%S", out);
        break;
    case L'd':
        AppendNumber(out, p.day, 2, alternate);
        break;
    case L'H':
        AppendNumber(out, p.hour, 2, alternate);
        break;
    case L'I':
        AppendNumber(out, hour12, 2, alternate);
        break;
    case L'j':
        AppendNumber(out, p.dayOfYear, 3, alternate);
        break;
    case L'm':
        AppendNumber(out, p.month, 2, alternate);
        break;
    case L'M':
        AppendNumber(out, p.minute, 2, alternate);
        break;
    case L'S':
        AppendNumber(out, p.second, 2, alternate);
        break;
    case L'p':
        out += p.hour < 12 ? L"AM" : L"PM";
        break;
    case L'U':
        AppendNumber(out, WeekOfYear(p, 0), 2, alternate);
        break;
    case L'W':
        AppendNumber(out, WeekOfYear(p, 1), 2, alternate);
        break;
    case L'w':
        AppendNumber(out, p.dayOfWeek - 1, 1, alternate);
        break;
    case L'y':
        AppendNumber(out, p.year % 100, 2, alternate);
        break;
    case L'Y':
        AppendNumber(out, p.year, 1, alternate);
        break;
    case L'z':
    case L'Z':
        // A date carries no zone.
        break;
    case L'%':
        out += L'%';
        break;
    default:
        // An unknown code stays as written instead of ending the text (the runtime's strftime rejects it).
        out += L'%';
        if (alternate)
            out += L'#';
        out += code;
        break;
    }
}

void FormatParts(const DateParts& p, const wchar_t* format, std::wstring& out)
{
    for (const wchar_t* c = format; *c; ++c) {
        if (*c != L'%') {
            out += *c;
            continue;
        }
        bool alternate = false;
        if (c[1] == L'#') {
            alternate = true;
            ++c;
        }
        if (!c[1]) {
            out += alternate ? L"%#" : L"%";
            break;
        }
        ++c;
        FormatCode(p, *c, alternate, out);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// COleDateTimeSpan

COleDateTimeSpan::COleDateTimeSpan(double spanInDays) noexcept : m_span(spanInDays), m_status(valid)
{
    CheckRange();
}

COleDateTimeSpan::COleDateTimeSpan(LONG days, int hours, int minutes, int seconds) noexcept
{
    SetDateTimeSpan(days, hours, minutes, seconds);
}

void COleDateTimeSpan::SetDateTimeSpan(LONG days, int hours, int minutes, int seconds) noexcept
{
    m_span = days + (hours * 3600.0 + minutes * 60.0 + seconds) / kSecondsPerDay;
    m_status = valid;
    CheckRange();
}

void COleDateTimeSpan::CheckRange() noexcept
{
    if (!(std::fabs(m_span) <= kMaxSpan))
        m_status = invalid;
}

COleDateTimeSpan& COleDateTimeSpan::operator=(double spanInDays) noexcept
{
    m_span = spanInDays;
    m_status = valid;
    CheckRange();
    return *this;
}

LONGLONG COleDateTimeSpan::RoundedSeconds() const noexcept
{
    if (!(std::fabs(m_span) <= kMaxSpan))
        return 0;
    return std::llround(m_span * kSecondsPerDay);
}

double COleDateTimeSpan::GetTotalDays() const noexcept
{
    return static_cast<double>(RoundedSeconds() / kSecondsPerDay);
}

double COleDateTimeSpan::GetTotalHours() const noexcept
{
    return static_cast<double>(RoundedSeconds() / 3600);
}

double COleDateTimeSpan::GetTotalMinutes() const noexcept
{
    return static_cast<double>(RoundedSeconds() / 60);
}

double COleDateTimeSpan::GetTotalSeconds() const noexcept
{
    return static_cast<double>(RoundedSeconds());
}

LONG COleDateTimeSpan::GetDays() const noexcept
{
    return static_cast<LONG>(RoundedSeconds() / kSecondsPerDay);
}

LONG COleDateTimeSpan::GetHours() const noexcept
{
    return static_cast<LONG>(RoundedSeconds() / 3600 % 24);
}

LONG COleDateTimeSpan::GetMinutes() const noexcept
{
    return static_cast<LONG>(RoundedSeconds() / 60 % 60);
}

LONG COleDateTimeSpan::GetSeconds() const noexcept
{
    return static_cast<LONG>(RoundedSeconds() % 60);
}

namespace {

COleDateTimeSpan::DateTimeSpanStatus CombinedStatus(const COleDateTimeSpan& a, const COleDateTimeSpan& b)
{
    if (a.m_status == COleDateTimeSpan::invalid || b.m_status == COleDateTimeSpan::invalid)
        return COleDateTimeSpan::invalid;
    if (a.m_status == COleDateTimeSpan::null || b.m_status == COleDateTimeSpan::null)
        return COleDateTimeSpan::null;
    if (a.m_status != COleDateTimeSpan::valid || b.m_status != COleDateTimeSpan::valid)
        return COleDateTimeSpan::invalid;
    return COleDateTimeSpan::valid;
}

COleDateTimeSpan SpanWithStatus(COleDateTimeSpan::DateTimeSpanStatus status)
{
    COleDateTimeSpan result;
    result.m_status = status;
    return result;
}

} // namespace

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& other) const noexcept
{
    const DateTimeSpanStatus status = CombinedStatus(*this, other);
    return status == valid ? COleDateTimeSpan(m_span + other.m_span) : SpanWithStatus(status);
}

COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& other) const noexcept
{
    const DateTimeSpanStatus status = CombinedStatus(*this, other);
    return status == valid ? COleDateTimeSpan(m_span - other.m_span) : SpanWithStatus(status);
}

COleDateTimeSpan& COleDateTimeSpan::operator+=(const COleDateTimeSpan& other) noexcept
{
    return *this = *this + other;
}

COleDateTimeSpan& COleDateTimeSpan::operator-=(const COleDateTimeSpan& other) noexcept
{
    return *this = *this - other;
}

COleDateTimeSpan COleDateTimeSpan::operator-() const noexcept
{
    COleDateTimeSpan result(*this);
    result.m_span = -m_span;
    return result;
}

COleDateTimeSpan COleDateTimeSpan::operator*(double factor) const noexcept
{
    return m_status == valid ? COleDateTimeSpan(m_span * factor) : *this;
}

COleDateTimeSpan COleDateTimeSpan::operator/(double divisor) const noexcept
{
    if (m_status != valid)
        return *this;
    if (divisor == 0)
        return SpanWithStatus(invalid);
    return COleDateTimeSpan(m_span / divisor);
}

bool COleDateTimeSpan::operator==(const COleDateTimeSpan& other) const noexcept
{
    return m_status == other.m_status && (m_status != valid || m_span == other.m_span);
}

bool COleDateTimeSpan::operator<(const COleDateTimeSpan& other) const noexcept
{
    return m_status == valid && other.m_status == valid && m_span < other.m_span;
}

// ---------------------------------------------------------------------------------------------------------------
// COleDateTime

COleDateTime COleDateTime::GetCurrentTime() noexcept
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return COleDateTime(now);
}

COleDateTime::COleDateTime(DATE value) noexcept : m_dt(0.0), m_status(valid)
{
    *this = value;
}

COleDateTime::COleDateTime(const SYSTEMTIME& time) noexcept : m_dt(0.0), m_status(valid)
{
    *this = time;
}

COleDateTime::COleDateTime(int year, int month, int day, int hour, int minute, int second) noexcept
    : m_dt(0.0), m_status(valid)
{
    SetDateTime(year, month, day, hour, minute, second);
}

COleDateTime& COleDateTime::operator=(DATE value) noexcept
{
    m_dt = value;
    m_status = InRange(value) ? valid : invalid;
    return *this;
}

COleDateTime& COleDateTime::operator=(const SYSTEMTIME& time) noexcept
{
    SetDateTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
    return *this;
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) noexcept
{
    // A refused date marks the value invalid and leaves it as it was.
    DATE value = 0.0;
    if (MakeDate(year, month, day, hour, minute, second, value)) {
        m_dt = value;
        m_status = valid;
    } else {
        m_status = invalid;
    }
    return m_status;
}

int COleDateTime::SetDate(int year, int month, int day) noexcept
{
    return SetDateTime(year, month, day, 0, 0, 0);
}

int COleDateTime::SetTime(int hour, int minute, int second) noexcept
{
    return SetDateTime(1899, 12, 30, hour, minute, second);
}

bool COleDateTime::GetAsSystemTime(SYSTEMTIME& time) const noexcept
{
    DateParts p;
    if (m_status != valid || !SplitDate(m_dt, p))
        return false;
    time.wYear = static_cast<WORD>(p.year);
    time.wMonth = static_cast<WORD>(p.month);
    time.wDay = static_cast<WORD>(p.day);
    time.wDayOfWeek = static_cast<WORD>(p.dayOfWeek - 1);
    time.wHour = static_cast<WORD>(p.hour);
    time.wMinute = static_cast<WORD>(p.minute);
    time.wSecond = static_cast<WORD>(p.second);
    time.wMilliseconds = 0;
    return true;
}

namespace {

int DatePart(const COleDateTime& date, int DateParts::*field)
{
    DateParts p;
    return date.m_status == COleDateTime::valid && SplitDate(date.m_dt, p) ? p.*field : -1;
}

} // namespace

int COleDateTime::GetYear() const noexcept
{
    return DatePart(*this, &DateParts::year);
}

int COleDateTime::GetMonth() const noexcept
{
    return DatePart(*this, &DateParts::month);
}

int COleDateTime::GetDay() const noexcept
{
    return DatePart(*this, &DateParts::day);
}

int COleDateTime::GetHour() const noexcept
{
    return DatePart(*this, &DateParts::hour);
}

int COleDateTime::GetMinute() const noexcept
{
    return DatePart(*this, &DateParts::minute);
}

int COleDateTime::GetSecond() const noexcept
{
    return DatePart(*this, &DateParts::second);
}

int COleDateTime::GetDayOfWeek() const noexcept
{
    return DatePart(*this, &DateParts::dayOfWeek);
}

int COleDateTime::GetDayOfYear() const noexcept
{
    return DatePart(*this, &DateParts::dayOfYear);
}

CString COleDateTime::Format(LPCWSTR format) const
{
    if (m_status == null)
        return CString();
    DateParts p;
    if (m_status != valid || !SplitDate(m_dt, p))
        return CString(L"Invalid DateTime");
    std::wstring out;
    if (format)
        FormatParts(p, format, out);
    return CString(out.c_str(), static_cast<int>(out.size()));
}

CString COleDateTime::Format(UINT formatId) const
{
    CString format;
    if (!format.LoadString(formatId))
        return CString();
    return Format(format.GetString());
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& span) const noexcept
{
    if (m_status != valid)
        return *this;
    COleDateTime result;
    if (span.m_status == COleDateTimeSpan::null) {
        result.m_status = null;
        return result;
    }
    if (span.m_status != COleDateTimeSpan::valid) {
        result.m_status = invalid;
        return result;
    }
    result = FromLinear(ToLinear(m_dt) + span.m_span);
    return result;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& span) const noexcept
{
    return *this + (-span);
}

COleDateTime& COleDateTime::operator+=(const COleDateTimeSpan& span) noexcept
{
    return *this = *this + span;
}

COleDateTime& COleDateTime::operator-=(const COleDateTimeSpan& span) noexcept
{
    return *this = *this - span;
}

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& other) const noexcept
{
    COleDateTimeSpan result;
    if (m_status == invalid || other.m_status == invalid || m_status == error || other.m_status == error) {
        result.m_status = COleDateTimeSpan::invalid;
    } else if (m_status == null || other.m_status == null) {
        result.m_status = COleDateTimeSpan::null;
    } else {
        result = ToLinear(m_dt) - ToLinear(other.m_dt);
    }
    return result;
}

bool COleDateTime::operator==(const COleDateTime& other) const noexcept
{
    if (m_status != other.m_status)
        return false;
    return m_status != valid || ToLinear(m_dt) == ToLinear(other.m_dt);
}

bool COleDateTime::operator<(const COleDateTime& other) const noexcept
{
    return m_status == valid && other.m_status == valid && ToLinear(m_dt) < ToLinear(other.m_dt);
}
