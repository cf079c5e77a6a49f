// Clocks, file times and automation dates over clock_gettime and the C library's zone rules.
#include "tsw/time.h"

#include "calendar.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <mutex>

using namespace tsplatform;

namespace {

constexpr std::int64_t MaxFileTime = std::numeric_limits<std::int64_t>::max();
// 1 January 1970 as a file time.
constexpr std::int64_t UnixEpochTicks = -FileTimeEpochDays * TicksPerDay;

// Range of the automation date's day part: 1 January 100 and 31 December 9999.
constexpr std::int64_t MinVariantDay = -657434;
constexpr std::int64_t MaxVariantDay = 2958465;

std::atomic<bool> s_fixedClockSet{false};
std::atomic<std::int64_t> s_fixedClock{0};

std::int64_t FromFileTime(const FILETIME &ft)
{
    return std::int64_t((std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

FILETIME ToFileTime(std::int64_t ticks)
{
    FILETIME ft;
    ft.dwLowDateTime = DWORD(std::uint64_t(ticks) & 0xffffffffu);
    ft.dwHighDateTime = DWORD(std::uint64_t(ticks) >> 32);
    return ft;
}

bool IsValidDate(std::int64_t year, unsigned month, unsigned day)
{
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

// "YYYY-MM-DDTHH:MM:SS[.mmm]" (a space may stand for the T), universal time.
bool ParseFixedClock(const char *text, std::int64_t &ticks)
{
    int year, month, day, hour, minute, second, consumed = 0;
    char sep;
    if (std::sscanf(text, "%4d-%2d-%2d%c%2d:%2d:%2d%n", &year, &month, &day, &sep, &hour, &minute,
                    &second, &consumed) != 7
        || (sep != 'T' && sep != ' '))
        return false;
    int millis = 0;
    const char *rest = text + consumed;
    if (*rest == '.') {
        int digits = 0;
        for (++rest; *rest >= '0' && *rest <= '9' && digits < 3; ++rest, ++digits)
            millis = millis * 10 + (*rest - '0');
        while (digits++ < 3)
            millis *= 10;
    }
    if (*rest == 'Z')
        ++rest;
    if (*rest != '\0')
        return false;
    SYSTEMTIME st = {WORD(year), WORD(month), 0, WORD(day), WORD(hour), WORD(minute), WORD(second),
                     WORD(millis)};
    FILETIME ft;
    if (year < 1601 || month < 1 || day < 1 || hour < 0 || minute < 0 || second < 0
        || !SystemTimeToFileTime(&st, &ft))
        return false;
    ticks = FromFileTime(ft);
    return true;
}

// TS_FIXED_CLOCK as the process found it at the first clock read; -1 when unset or unreadable. Read
// once: getenv races with setenv, and the clock is read often.
std::int64_t EnvironmentFixedClock()
{
    static const std::int64_t ticks = [] {
        const char *fixed = std::getenv("TS_FIXED_CLOCK");
        std::int64_t value;
        return fixed && ParseFixedClock(fixed, value) ? value : std::int64_t(-1);
    }();
    return ticks;
}

// The present moment as a universal file time.
std::int64_t NowTicks()
{
    if (s_fixedClockSet.load())
        return s_fixedClock.load();
    if (const std::int64_t fixed = EnvironmentFixedClock(); fixed >= 0)
        return fixed;
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return UnixEpochTicks + std::int64_t(now.tv_sec) * TicksPerSecond + now.tv_nsec / 100;
}

// While TZ is unset, the C library looks at /etc/localtime again (a stat) on every local-time call,
// and Qt makes several for each local date and time. Naming that same file in TZ, as the C library
// documents (":/etc/localtime"), reads the zone once per process, as Windows' C runtime reads it
// once; a TZ that the process sets later is still taken up. Done when the library is loaded, before
// the process has other threads that read the environment.
const bool g_zoneFileNamed = [] {
    if (!std::getenv("TZ"))
        setenv("TZ", ":/etc/localtime", 0);
    return true;
}();

// The local zone's offset from universal time at the given instant, in seconds, under TZ as it
// stands now (re-read on each call so that a changed TZ takes effect).
std::int64_t LocalOffsetSecondsAt(std::int64_t ticks)
{
    static std::mutex zoneMutex;
    std::lock_guard<std::mutex> lock(zoneMutex);
    tzset();
    std::int64_t seconds = (ticks - UnixEpochTicks) / TicksPerSecond;
    if ((ticks - UnixEpochTicks) % TicksPerSecond < 0)
        --seconds;
    const time_t t = time_t(seconds);
    tm local;
    if (!localtime_r(&t, &local))
        return 0;
    return local.tm_gmtoff;
}

void TicksToSystemTime(std::int64_t ticks, SYSTEMTIME &st)
{
    const std::int64_t days = ticks / TicksPerDay;
    std::int64_t rest = ticks % TicksPerDay;
    std::int64_t year;
    unsigned month, day;
    CivilFromDays(days + FileTimeEpochDays, year, month, day);
    st.wYear = WORD(year);
    st.wMonth = WORD(month);
    st.wDay = WORD(day);
    st.wDayOfWeek = WORD(WeekdayFromDays(days + FileTimeEpochDays));
    st.wHour = WORD(rest / (3600 * TicksPerSecond));
    rest %= 3600 * TicksPerSecond;
    st.wMinute = WORD(rest / (60 * TicksPerSecond));
    rest %= 60 * TicksPerSecond;
    st.wSecond = WORD(rest / TicksPerSecond);
    st.wMilliseconds = WORD(rest % TicksPerSecond / 10000);
}

} // namespace

BOOL SystemTimeToFileTime(const SYSTEMTIME *st, LPFILETIME ft)
{
    if (!st || !ft || st->wYear < 1601 || st->wYear > 30827
        || !IsValidDate(st->wYear, st->wMonth, st->wDay) || st->wHour > 23 || st->wMinute > 59
        || st->wSecond > 59 || st->wMilliseconds > 999)
        return FALSE;
    const std::int64_t days = DaysFromCivil(st->wYear, st->wMonth, st->wDay) - FileTimeEpochDays;
    const std::int64_t seconds = days * SecondsPerDay + st->wHour * 3600 + st->wMinute * 60
                                 + st->wSecond;
    *ft = ToFileTime(seconds * TicksPerSecond + std::int64_t(st->wMilliseconds) * 10000);
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME *ft, LPSYSTEMTIME st)
{
    if (!ft || !st || (ft->dwHighDateTime & 0x80000000u))
        return FALSE;
    TicksToSystemTime(FromFileTime(*ft), *st);
    return TRUE;
}

INT SystemTimeToVariantTime(LPSYSTEMTIME st, double *variantTime)
{
    if (!st || !variantTime || st->wYear < 100 || st->wYear > 9999
        || !IsValidDate(st->wYear, st->wMonth, st->wDay) || st->wHour > 23 || st->wMinute > 59
        || st->wSecond > 59)
        return 0;
    const std::int64_t day = DaysFromCivil(st->wYear, st->wMonth, st->wDay) - VariantEpochDays;
    const double fraction = double(st->wHour * 3600 + st->wMinute * 60 + st->wSecond)
                            / double(SecondsPerDay);
    // Before the epoch the fraction still counts forward from midnight, so it is subtracted from
    // the (negative) day number.
    *variantTime = day >= 0 ? double(day) + fraction : double(day) - fraction;
    return 1;
}

INT VariantTimeToSystemTime(double variantTime, LPSYSTEMTIME st)
{
    if (!st || !std::isfinite(variantTime) || variantTime <= double(MinVariantDay - 1)
        || variantTime >= double(MaxVariantDay + 1))
        return 0;
    const double wholeDays = std::trunc(variantTime);
    std::int64_t day = std::int64_t(wholeDays);
    const double magnitude = std::fabs(variantTime);
    const double fraction = std::fabs(variantTime - wholeDays);
    // Half a second rounds up. A value meant as an exact half second may sit a few units of the
    // last place below it; allow for that, and never less than about a microsecond.
    const double ulp = std::nextafter(magnitude, std::numeric_limits<double>::infinity()) - magnitude;
    const double tolerance = std::fmax(1e-11, 4.0 * ulp);
    std::int64_t seconds = std::int64_t(std::floor((fraction + tolerance) * double(SecondsPerDay) + 0.5));
    if (seconds >= SecondsPerDay) {
        // The fraction counts forward in both directions, so the carry always moves a day later.
        seconds -= SecondsPerDay;
        ++day;
    }
    if (day < MinVariantDay || day > MaxVariantDay)
        return 0;
    const std::int64_t epochDays = day + VariantEpochDays;
    std::int64_t year;
    unsigned month, dayOfMonth;
    CivilFromDays(epochDays, year, month, dayOfMonth);
    st->wYear = WORD(year);
    st->wMonth = WORD(month);
    st->wDay = WORD(dayOfMonth);
    st->wDayOfWeek = WORD(WeekdayFromDays(epochDays));
    st->wHour = WORD(seconds / 3600);
    st->wMinute = WORD(seconds / 60 % 60);
    st->wSecond = WORD(seconds % 60);
    st->wMilliseconds = 0;
    return 1;
}

void GetSystemTime(LPSYSTEMTIME st)
{
    if (st)
        TicksToSystemTime(NowTicks(), *st);
}

void GetLocalTime(LPSYSTEMTIME st)
{
    if (!st)
        return;
    const std::int64_t now = NowTicks();
    std::int64_t local = now + LocalOffsetSecondsAt(now) * TicksPerSecond;
    if (local < 0)
        local = 0;
    TicksToSystemTime(local, *st);
}

BOOL FileTimeToLocalFileTime(const FILETIME *ft, LPFILETIME localFt)
{
    if (!ft || !localFt)
        return FALSE;
    const std::int64_t offset = LocalOffsetSecondsAt(NowTicks()) * TicksPerSecond;
    const std::uint64_t raw = (std::uint64_t(ft->dwHighDateTime) << 32) | ft->dwLowDateTime;
    if (raw > std::uint64_t(MaxFileTime) || (offset > 0 && std::int64_t(raw) > MaxFileTime - offset)
        || std::int64_t(raw) + offset < 0)
        return FALSE;
    *localFt = ToFileTime(std::int64_t(raw) + offset);
    return TRUE;
}

void TsSetFixedClock(const FILETIME *universalNow)
{
    if (universalNow) {
        s_fixedClock.store(FromFileTime(*universalNow));
        s_fixedClockSet.store(true);
    } else {
        s_fixedClockSet.store(false);
    }
}
