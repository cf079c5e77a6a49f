// Clocks, calendar records, file times, automation dates and the locale's date and time texts.
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"

// A calendar time, as Windows lays it out. wDayOfWeek counts from 0 = Sunday.
struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
typedef SYSTEMTIME *PSYSTEMTIME;
typedef SYSTEMTIME *LPSYSTEMTIME;

// 100-nanosecond intervals since 1 January 1601 00:00, split into two 32-bit halves.
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
typedef FILETIME *PFILETIME;
typedef FILETIME *LPFILETIME;

// Proleptic Gregorian calendar. The record must hold a valid date from 1601 to 30827 and a valid
// time (milliseconds below 1000); wDayOfWeek is ignored. Returns FALSE otherwise.
TSPLATFORM_API BOOL SystemTimeToFileTime(const SYSTEMTIME *systemTime, LPFILETIME fileTime);
// Fills every field, the weekday included. Values of 0x8000000000000000 and above are rejected.
TSPLATFORM_API BOOL FileTimeToSystemTime(const FILETIME *fileTime, LPSYSTEMTIME systemTime);

// The OLE Automation date rule: days since 30 December 1899 00:00, the fraction being the time of
// day, counted forward from midnight also before that day (-1.25 is 29 December 1899 06:00).
// Dates from 1 January 100 (-657434.0) to 31 December 9999 (2958465.x) are accepted.
// SystemTimeToVariantTime ignores wDayOfWeek and wMilliseconds and rejects invalid fields.
// VariantTimeToSystemTime rounds to whole seconds, half a second up (carrying into the day),
// fills wDayOfWeek, sets wMilliseconds to 0 and rejects non-finite and out-of-range values.
// Both return non-zero on success and 0 on failure.
TSPLATFORM_API INT SystemTimeToVariantTime(LPSYSTEMTIME systemTime, double *variantTime);
TSPLATFORM_API INT VariantTimeToSystemTime(double variantTime, LPSYSTEMTIME systemTime);

// The present moment: universal time, and local time under the C library's zone rules (TZ).
TSPLATFORM_API void GetSystemTime(LPSYSTEMTIME systemTime);
TSPLATFORM_API void GetLocalTime(LPSYSTEMTIME systemTime);

// Shifts a universal file time by the local zone's offset in force at the present moment (daylight
// saving in its present state), whatever the season of the converted instant, as Windows does.
TSPLATFORM_API BOOL FileTimeToLocalFileTime(const FILETIME *fileTime, LPFILETIME localFileTime);

// Test seam for the clock: while set, the present moment is this universal file time.
// Null returns to the system clock. The environment variable TS_FIXED_CLOCK, holding a universal
// time as "YYYY-MM-DDTHH:MM:SS[.mmm]", fixes the clock for a whole process in the same way; it is
// read once, at the first clock read, and the function takes precedence over it.
TSPLATFORM_API void TsSetFixedClock(const FILETIME *universalNow);

#ifndef LOCALE_USER_DEFAULT
#define LOCALE_USER_DEFAULT 0x0400
#endif

// The date (or time) of `systemTime` (the present local time when null) as text, in the process
// locale's conventions (LC_ALL, LC_TIME, LANG; C and POSIX read as en_US): its short date with a
// four-digit year, or hours, minutes and seconds with its hour style and day-period marker.
// The locale must be LOCALE_USER_DEFAULT, the flags 0 and the picture null.
// With `size` 0 the length of the text including its terminating zero is returned and nothing is
// written; otherwise the text is written and its length including the zero is returned.
// Returns 0 on failure: other locales, flags or a picture, a bad record, buffer or size, a date
// before 1601, or a buffer too small.
TSPLATFORM_API int GetDateFormatW(LCID locale, DWORD flags, const SYSTEMTIME *systemTime,
                                  LPCWSTR picture, LPWSTR buffer, int size);
TSPLATFORM_API int GetTimeFormatW(LCID locale, DWORD flags, const SYSTEMTIME *systemTime,
                                  LPCWSTR picture, LPWSTR buffer, int size);
