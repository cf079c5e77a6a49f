// Clocks, calendar records, file times, automation dates and the locale's date and time texts.
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"
#include "tsw/lasterror.h"

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
// time (milliseconds below 1000); wDayOfWeek is ignored. Returns FALSE with
// ERROR_INVALID_PARAMETER otherwise.
TSPLATFORM_API BOOL SystemTimeToFileTime(const SYSTEMTIME *systemTime, LPFILETIME fileTime);
// Fills every field, the weekday included. Values of 0x8000000000000000 and above are rejected.
TSPLATFORM_API BOOL FileTimeToSystemTime(const FILETIME *fileTime, LPSYSTEMTIME systemTime);
// -1, 0 or 1 as the first time is earlier than, equal to or later than the second.
TSPLATFORM_API LONG CompareFileTime(const FILETIME *first, const FILETIME *second);

// The OLE Automation date rule: days since 30 December 1899 00:00, the fraction being the time of
// day, counted forward from midnight also before that day (-1.25 is 29 December 1899 06:00).
// Dates from 1 January 100 (-657434.0) to 31 December 9999 (2958465.x) are accepted.
// SystemTimeToVariantTime ignores wDayOfWeek and wMilliseconds and rejects invalid fields.
// VariantTimeToSystemTime rounds to whole seconds, half a second up (carrying into the day),
// fills wDayOfWeek, sets wMilliseconds to 0 and rejects non-finite and out-of-range values.
// Both return non-zero on success and 0 on failure.
TSPLATFORM_API INT SystemTimeToVariantTime(LPSYSTEMTIME systemTime, double *variantTime);
TSPLATFORM_API INT VariantTimeToSystemTime(double variantTime, LPSYSTEMTIME systemTime);

// The present moment: universal time, local time under the C library's zone rules (TZ), and
// universal time as a file time.
TSPLATFORM_API void GetSystemTime(LPSYSTEMTIME systemTime);
TSPLATFORM_API void GetLocalTime(LPSYSTEMTIME systemTime);
TSPLATFORM_API void GetSystemTimeAsFileTime(LPFILETIME fileTime);

// Shifts a universal file time by the local zone's offset in force at the present moment (daylight
// saving in its present state), whatever the season of the converted instant, as Windows does.
TSPLATFORM_API BOOL FileTimeToLocalFileTime(const FILETIME *fileTime, LPFILETIME localFileTime);

// Test seam for the clock: while set, the present moment is this universal file time.
// Null returns to the system clock. The environment variable TS_FIXED_CLOCK, holding a universal
// time as "YYYY-MM-DDTHH:MM:SS[.mmm]", fixes the clock for a whole process in the same way; it is
// read once, at the first clock read, and the function takes precedence over it.
TSPLATFORM_API void TsSetFixedClock(const FILETIME *universalNow);

// Locale identifiers understood by the formatters.
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_INVARIANT 0x007f
#ifndef LOCALE_USER_DEFAULT
#define LOCALE_USER_DEFAULT 0x0400
#endif

#define DATE_SHORTDATE 0x00000001
#define DATE_LONGDATE 0x00000002
#define TIME_NOSECONDS 0x00000002

#define ERROR_INVALID_FLAGS 1004L

// The date (or time) of `systemTime` (the present local time when null) as text.
// LOCALE_USER_DEFAULT and LOCALE_SYSTEM_DEFAULT are the process locale (LC_ALL, LC_TIME, LANG;
// C and POSIX read as en_US); LOCALE_INVARIANT is the invariant locale. With no picture, flags 0
// (or DATE_SHORTDATE) select the locale's short date with a four-digit year, DATE_LONGDATE its
// long date, and for the time flags 0 select hours, minutes and seconds with the locale's hour
// style and day-period marker, TIME_NOSECONDS the same without seconds. A picture uses the
// Windows picture letters (d dd ddd dddd M MM MMM MMMM y yy yyyy g for dates; h hh H HH m mm s ss
// t tt for times; 'quoted' literals) and then no flags are allowed.
// With `size` 0 the length of the text including its terminating zero is returned and nothing is
// written; otherwise the text is written and its length including the zero is returned.
// Returns 0 on failure, with GetLastError ERROR_INVALID_PARAMETER (bad locale, record, buffer, or a
// date before 1601), ERROR_INVALID_FLAGS or ERROR_INSUFFICIENT_BUFFER.
TSPLATFORM_API int GetDateFormatW(LCID locale, DWORD flags, const SYSTEMTIME *systemTime,
                                  LPCWSTR picture, LPWSTR buffer, int size);
TSPLATFORM_API int GetTimeFormatW(LCID locale, DWORD flags, const SYSTEMTIME *systemTime,
                                  LPCWSTR picture, LPWSTR buffer, int size);
