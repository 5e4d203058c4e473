// Feed dates: the text forms that feeds use, read into automation dates in UTC, and the form written back.
//
// A text that does not have the shape of a date gives a null date; one that has the shape but names an
// impossible day or time (30 February, 25:00) gives an invalid one. Neither is ever a valid date.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/core/DateTime.h"

// RFC 822 dates of "pubDate" and the HTTP date forms: RFC 1123 ("Tue, 10 Jun 2003 04:00:00 GMT"), RFC 850
// ("Tuesday, 10-Jun-03 04:00:00 GMT") and asctime ("Tue Jun 10 04:00:00 2003"); the weekday and the seconds may
// be missing, the year may have two digits. The zone is a numeric offset ("+0200", "-05:00") or a whole zone
// name (GMT, UT, UTC, Z, the North American names, BST, CET, CEST, EET, EEST) and is applied; a zone name not
// known gives a null date rather than a time off by hours.
COleDateTime ParseRfc822Date(LPCWSTR text);

// ISO 8601 dates of "dc:date" and Atom elements: "2003-06-10T04:00", with seconds and a fraction when present,
// and a zone designator ("Z", "+01:00", "-0500") applied when present; without one the time is UTC. The reduced
// forms "2003-06-10", "2003-06" and "2003" (a four-digit year) are midnight UTC of that day, month or year.
COleDateTime ParseIsoDate(LPCWSTR text);

// The HTTP date forms only, in GMT (what our own "lastupdate" values hold); any other zone gives a null date.
COleDateTime ParseHttpDate(LPCWSTR text);

// The RFC 1123 form ("Tue, 10 Jun 2003 04:00:00 GMT") of a valid date; empty for a date that is not valid.
CString FormatHttpDate(const COleDateTime& date);
