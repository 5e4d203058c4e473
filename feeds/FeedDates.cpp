// Feed dates. The platform's HTTP date parser reports success with the current time for text it cannot
// read on some systems, so the forms are read here; a date that does not parse must never come back valid.
#include "feeds/FeedDates.h"

#include <cwchar>

namespace {

const wchar_t* const kMonths[12] = {L"jan", L"feb", L"mar", L"apr", L"may", L"jun",
                                    L"jul", L"aug", L"sep", L"oct", L"nov", L"dec"};
const wchar_t* const kMonthNames[12] = {L"january", L"february", L"march",     L"april",   L"may",      L"june",
                                        L"july",    L"august",   L"september", L"october", L"november", L"december"};
const wchar_t* const kWeekdays[7] = {L"sun", L"mon", L"tue", L"wed", L"thu", L"fri", L"sat"};
const wchar_t* const kWeekdayNames[7] = {L"sunday",   L"monday", L"tuesday", L"wednesday",
                                         L"thursday", L"friday", L"saturday"};

struct Zone
{
    const wchar_t* name;
    int minutes; // east of UTC
};

// Matched as whole words only: "CEST" must not be read as "C" and "EST".
const Zone kZones[] = {
    {L"gmt", 0},       {L"ut", 0},        {L"utc", 0},       {L"z", 0},         {L"adt", -3 * 60},
    {L"edt", -4 * 60}, {L"ast", -4 * 60}, {L"cdt", -5 * 60}, {L"cst", -6 * 60}, {L"est", -5 * 60},
    {L"mdt", -6 * 60}, {L"mst", -7 * 60}, {L"pdt", -7 * 60}, {L"pst", -8 * 60}, {L"bst", 60},
    {L"cet", 60},      {L"cest", 120},    {L"eet", 120},     {L"eest", 180},
};

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool IsAlpha(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

wchar_t Lower(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

class Reader
{
public:
    explicit Reader(LPCWSTR text) : m_p(text ? text : L"") {}

    bool AtEnd() const { return *m_p == 0; }
    wchar_t Peek() const { return *m_p; }
    void Skip() { ++m_p; }

    int SkipBlanks()
    {
        int count = 0;
        while (IsBlank(*m_p)) {
            ++m_p;
            ++count;
        }
        return count;
    }

    bool Take(wchar_t c)
    {
        if (*m_p != c)
            return false;
        ++m_p;
        return true;
    }

    // Reads 1..maxDigits decimal digits; fails on none and on a longer run.
    bool Number(int maxDigits, int& value, int* digits = nullptr)
    {
        int count = 0;
        value = 0;
        while (IsDigit(*m_p)) {
            if (++count > maxDigits)
                return false;
            value = value * 10 + (*m_p++ - L'0');
        }
        if (digits)
            *digits = count;
        return count > 0;
    }

    // A run of letters, lower-cased (at most 15 kept; a longer word matches nothing).
    bool Word(wchar_t (&word)[16])
    {
        int count = 0;
        while (IsAlpha(*m_p)) {
            if (count < 15)
                word[count] = Lower(*m_p);
            ++count;
            ++m_p;
        }
        word[count < 15 ? count : 15] = 0;
        if (count >= 15)
            word[0] = L'#';
        return count > 0;
    }

private:
    LPCWSTR m_p;
};

int IndexOf(const wchar_t* word, const wchar_t* const* names, int count)
{
    for (int i = 0; i < count; ++i) {
        if (wcscmp(word, names[i]) == 0)
            return i;
    }
    return -1;
}

int MonthOf(const wchar_t* word)
{
    int month = IndexOf(word, kMonths, 12);
    if (month < 0)
        month = IndexOf(word, kMonthNames, 12);
    return month < 0 ? 0 : month + 1;
}

bool IsWeekday(const wchar_t* word)
{
    return IndexOf(word, kWeekdays, 7) >= 0 || IndexOf(word, kWeekdayNames, 7) >= 0;
}

struct Fields
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool hasZone = false;
    int zoneMinutes = 0; // east of UTC
};

bool ReadTime(Reader& in, Fields& f)
{
    if (!in.Number(2, f.hour) || !in.Take(L':') || !in.Number(2, f.minute))
        return false;
    f.second = 0;
    if (in.Take(L':') && !in.Number(2, f.second))
        return false;
    if (f.second == 60) // a leap second
        f.second = 59;
    return true;
}

// "+hhmm", "-hhmm", "+hh:mm", or "+hh" when minutesOptional.
bool ReadNumericZone(Reader& in, bool minutesOptional, int& minutes)
{
    int sign = in.Peek() == L'-' ? -1 : 1;
    in.Skip();
    int hours = 0;
    int mins = 0;
    int digits = 0;
    if (!in.Number(4, hours, &digits))
        return false;
    if (digits == 4) {
        mins = hours % 100;
        hours /= 100;
    } else if (digits == 2) {
        if (in.Take(L':')) {
            if (!in.Number(2, mins, &digits) || digits != 2)
                return false;
        } else if (!minutesOptional) {
            return false;
        }
    } else {
        return false;
    }
    if (hours > 23 || mins > 59)
        return false;
    minutes = sign * (hours * 60 + mins);
    return true;
}

bool ReadZone(Reader& in, Fields& f)
{
    if (in.Peek() == L'+' || in.Peek() == L'-') {
        f.hasZone = ReadNumericZone(in, false, f.zoneMinutes);
        return f.hasZone;
    }
    wchar_t word[16];
    if (!in.Word(word))
        return false;
    for (const Zone& zone : kZones) {
        if (wcscmp(word, zone.name) == 0) {
            f.hasZone = true;
            f.zoneMinutes = zone.minutes;
            return true;
        }
    }
    return false;
}

// What may follow the zone: a comment such as "(UTC)", then blanks.
bool ReadEnd(Reader& in)
{
    in.SkipBlanks();
    if (in.Take(L'(')) {
        while (!in.AtEnd() && in.Peek() != L')')
            in.Skip();
        if (!in.Take(L')'))
            return false;
        in.SkipBlanks();
    }
    return in.AtEnd();
}

bool ReadZoneAndEnd(Reader& in, Fields& f)
{
    in.SkipBlanks();
    if (!in.AtEnd() && in.Peek() != L'(' && !ReadZone(in, f))
        return false;
    return ReadEnd(in);
}

int ExpandYear(int year, int digits)
{
    if (digits == 2)
        return year < 50 ? 2000 + year : 1900 + year;
    if (digits == 3)
        return 1900 + year;
    return year;
}

// "10 Jun 2003 04:00[:00] [zone]", also with '-' between the date's parts.
bool ReadDayMonthYear(Reader& in, Fields& f)
{
    int digits = 0;
    if (!in.Number(2, f.day))
        return false;
    int blanks = in.SkipBlanks();
    bool dash = blanks == 0 && in.Take(L'-');
    if (!dash && blanks == 0)
        return false;
    in.SkipBlanks();
    wchar_t word[16];
    if (!in.Word(word) || (f.month = MonthOf(word)) == 0)
        return false;
    if (dash ? !in.Take(L'-') : in.SkipBlanks() == 0)
        return false;
    in.SkipBlanks();
    if (!in.Number(4, f.year, &digits) || digits < 2)
        return false;
    f.year = ExpandYear(f.year, digits);
    if (in.SkipBlanks() == 0 || !ReadTime(in, f))
        return false;
    return ReadZoneAndEnd(in, f);
}

// asctime: "Jun 10 04:00:00 2003", the month already read.
bool ReadAsctime(Reader& in, int month, Fields& f)
{
    int digits = 0;
    f.month = month;
    if (in.SkipBlanks() == 0 || !in.Number(2, f.day) || in.SkipBlanks() == 0 || !ReadTime(in, f) ||
        in.SkipBlanks() == 0 || !in.Number(4, f.year, &digits) || digits < 2)
        return false;
    f.year = ExpandYear(f.year, digits);
    return ReadZoneAndEnd(in, f);
}

bool ReadRfc822(LPCWSTR text, Fields& f)
{
    Reader in(text);
    in.SkipBlanks();
    if (IsDigit(in.Peek()))
        return ReadDayMonthYear(in, f);
    wchar_t word[16];
    if (!in.Word(word))
        return false;
    int month = MonthOf(word);
    if (month)
        return ReadAsctime(in, month, f);
    if (!IsWeekday(word))
        return false;
    in.SkipBlanks();
    in.Take(L',');
    in.SkipBlanks();
    if (IsDigit(in.Peek()))
        return ReadDayMonthYear(in, f);
    if (!in.Word(word) || (month = MonthOf(word)) == 0)
        return false;
    return ReadAsctime(in, month, f);
}

COleDateTime NullDate()
{
    COleDateTime date;
    date.SetStatus(COleDateTime::null);
    return date;
}

// The fields as a UTC date: invalid when they name no real time, then the zone's offset taken away.
COleDateTime ToUtc(const Fields& f)
{
    COleDateTime date(f.year, f.month, f.day, f.hour, f.minute, f.second);
    if (date.GetStatus() != COleDateTime::valid)
        return date;
    if (f.zoneMinutes > 0)
        date -= COleDateTimeSpan(0, f.zoneMinutes / 60, f.zoneMinutes % 60, 0);
    else if (f.zoneMinutes < 0)
        date += COleDateTimeSpan(0, -f.zoneMinutes / 60, -f.zoneMinutes % 60, 0);
    return date;
}

} // namespace

COleDateTime ParseRfc822Date(LPCWSTR text)
{
    Fields f;
    if (!ReadRfc822(text, f))
        return NullDate();
    return ToUtc(f);
}

COleDateTime ParseHttpDate(LPCWSTR text)
{
    Fields f;
    if (!ReadRfc822(text, f) || f.zoneMinutes != 0)
        return NullDate();
    return ToUtc(f);
}

COleDateTime ParseIsoDate(LPCWSTR text)
{
    Reader in(text);
    Fields f;
    int digits = 0;
    in.SkipBlanks();
    // The reduced forms of the W3C profile ("2019", "2019-08", "2019-08-27", as many RDF feeds write "dc:date")
    // name the start of that year, month or day: midnight UTC.
    f.month = f.day = 1;
    auto reduced = [&in, &f, &digits]() {
        in.SkipBlanks();
        return in.AtEnd() && digits == 4 ? ToUtc(f) : NullDate();
    };
    if (!in.Number(9, f.year, &digits))
        return NullDate();
    if (!in.Take(L'-'))
        return reduced();
    if (!in.Number(2, f.month))
        return NullDate();
    if (!in.Take(L'-'))
        return reduced();
    if (!in.Number(2, f.day))
        return NullDate();
    if (!in.Take(L'T') && !in.Take(L't')) {
        if (in.SkipBlanks() == 0 || in.AtEnd())
            return reduced();
    }
    if (!ReadTime(in, f))
        return NullDate();
    if (in.Take(L'.') || in.Take(L',')) {
        if (!IsDigit(in.Peek()))
            return NullDate();
        while (IsDigit(in.Peek()))
            in.Skip();
    }
    if (in.Take(L'Z') || in.Take(L'z')) {
        f.hasZone = true;
    } else if (in.Peek() == L'+' || in.Peek() == L'-') {
        if (!ReadNumericZone(in, true, f.zoneMinutes))
            return NullDate();
        f.hasZone = true;
    }
    in.SkipBlanks();
    if (!in.AtEnd())
        return NullDate();
    return ToUtc(f);
}

CString FormatHttpDate(const COleDateTime& date)
{
    static const wchar_t* const days[7] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
    static const wchar_t* const months[12] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                              L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    SYSTEMTIME st;
    CString text;
    if (date.GetStatus() != COleDateTime::valid || !date.GetAsSystemTime(st))
        return text;
    text.Format(L"%ls, %02u %ls %04u %02u:%02u:%02u GMT", days[date.GetDayOfWeek() - 1], st.wDay, months[st.wMonth - 1],
                st.wYear, st.wHour, st.wMinute, st.wSecond);
    return text;
}
