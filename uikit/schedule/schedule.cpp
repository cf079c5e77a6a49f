#include "schedule/schedule.h"

#include "foundation/datetime.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>

namespace {

constexpr double SecondsPerDay = 86400.0;
constexpr std::int64_t FileTimeTicksPerDay = 864000000000LL;

double NowAsDate(bool utc)
{
    SYSTEMTIME now;
    if (utc)
        GetSystemTime(&now);
    else
        GetLocalTime(&now);
    double date = 0.0;
    SystemTimeToVariantTime(&now, &date);
    return date;
}

// Universal DATE to local DATE with the offset in force now; 0.0 when a step fails.
double UniversalToLocal(double date)
{
    SYSTEMTIME st;
    FILETIME universal, local;
    double result;
    if (!VariantTimeToSystemTime(date, &st) || !SystemTimeToFileTime(&st, &universal)
        || !FileTimeToLocalFileTime(&universal, &local) || !FileTimeToSystemTime(&local, &st)
        || !SystemTimeToVariantTime(&st, &result))
        return 0.0;
    return result;
}

// Before 30 December 1899 a DATE's fraction counts forward from midnight while its day counts
// backward, so DATEs are not a straight time line there. The schedule arithmetic works on the
// straight count of days (the same number from that day on) and converts back at the end.
double LinearFromDate(double date)
{
    if (date >= 0.0)
        return date;
    const double day = std::trunc(date);
    return day + (day - date);
}

double DateFromLinear(double linear)
{
    if (linear >= 0.0)
        return linear;
    const double day = std::floor(linear);
    return day - (linear - day);
}

// The interval is a double so that callers may pass intervals beyond 32 bits (long weekly cycles).
double NextRun(double first, double intervalSeconds, bool utc)
{
    SYSTEMTIME check;
    if (!VariantTimeToSystemTime(first, &check))
        return 0.0;
    const double now = LinearFromDate(NowAsDate(utc));
    const double start = LinearFromDate(first);
    double result = 0.0;
    if (start > now) {
        result = first;
    } else if (start < now && intervalSeconds > 0) {
        const double step = intervalSeconds / SecondsPerDay;
        // The step count is a double: a long-past first run with a short interval needs more
        // steps than 32 bits hold. The few units of the last place that the subtraction may add
        // are allowed for, so that a difference of a whole number of intervals lands on now.
        const double slack = 4.0 * (std::nextafter(std::fabs(now), HUGE_VAL) - std::fabs(now));
        double steps = std::ceil((now - start - slack) / step);
        if (steps < 1.0)
            steps = 1.0;
        result = DateFromLinear(start + steps * step);
        if (!VariantTimeToSystemTime(result, &check))
            return 0.0;
    }
    if (result != 0.0 && utc)
        return UniversalToLocal(result);
    return result;
}

bool FirstKeyStartsWith(const std::map<WString, double> &schedule, const char16_t *prefix)
{
    if (schedule.empty())
        return false;
    const WString &key = schedule.begin()->first;
    const WString wanted(prefix);
    return key.compare(0, wanted.size(), wanted) == 0;
}

double NowPlusSeconds(int seconds)
{
    const QDateTime now = GetQDateTimeFromDATE(NowAsDate(false));
    return GetDATEFromQDateTime(now.addSecs(seconds));
}

} // namespace

double CalculateNextScheduledRun(double first, int intervalSeconds, bool utc)
{
    return NextRun(first, double(intervalSeconds), utc);
}

double GetWeeklyTimeSchedule(SYSTEMTIME start, int weekday, int weeks)
{
    const std::int64_t cycle = std::int64_t(weeks) * 7;
    if (weekday == start.wDayOfWeek) {
        double first;
        if (!SystemTimeToVariantTime(&start, &first))
            return 0.0;
        return NextRun(first, double(cycle) * SecondsPerDay, false);
    }
    const std::int64_t offset = weekday < start.wDayOfWeek
                                    ? cycle - (std::int64_t(start.wDayOfWeek) - weekday)
                                    : std::int64_t(weekday) - start.wDayOfWeek;
    FILETIME ft;
    if (!SystemTimeToFileTime(&start, &ft))
        return 0.0;
    const std::int64_t ticks = std::int64_t((std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
    // Far cycles leave the file-time range; they have no answer.
    constexpr std::int64_t maxTicks = std::numeric_limits<std::int64_t>::max();
    if (offset > (maxTicks - ticks) / FileTimeTicksPerDay || offset < -ticks / FileTimeTicksPerDay)
        return 0.0;
    const std::uint64_t moved = std::uint64_t(ticks + offset * FileTimeTicksPerDay);
    ft.dwLowDateTime = DWORD(moved & 0xffffffffu);
    ft.dwHighDateTime = DWORD(moved >> 32);
    SYSTEMTIME st;
    double result;
    if (!FileTimeToSystemTime(&ft, &st) || !SystemTimeToVariantTime(&st, &result))
        return 0.0;
    return result;
}

bool CompareTime(double a, double b)
{
    SYSTEMTIME x, y;
    if (!VariantTimeToSystemTime(a, &x) || !VariantTimeToSystemTime(b, &y))
        return false;
    // Field order is time order; this also covers the DATEs before 1601 that file times lack.
    return std::make_tuple(x.wYear, x.wMonth, x.wDay, x.wHour, x.wMinute, x.wSecond)
           >= std::make_tuple(y.wYear, y.wMonth, y.wDay, y.wHour, y.wMinute, y.wSecond);
}

double GetMininumDefaultSchedRunTime()
{
    return NowPlusSeconds(300);
}

double GetMininumDefaultSchedStartTime()
{
    return NowPlusSeconds(600);
}

bool IsSchedVolumeOnceTime(const std::map<WString, double> &schedule)
{
    return FirstKeyStartsWith(schedule, u"Once");
}

bool IsSchedVolumeDaily(const std::map<WString, double> &schedule)
{
    return FirstKeyStartsWith(schedule, u"Daily");
}

bool IsSchedVolumeWeekly(const std::map<WString, double> &schedule)
{
    return FirstKeyStartsWith(schedule, u"Weekly");
}

bool IsSchedExchangeWeekly(const std::map<WString, double> &schedule)
{
    return FirstKeyStartsWith(schedule, u"Exchange_Weekly");
}

bool IsSchedExchangeOnce(const std::map<WString, double> &schedule)
{
    return FirstKeyStartsWith(schedule, u"Exchange-Once");
}
