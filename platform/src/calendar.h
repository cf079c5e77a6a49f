// Proleptic Gregorian day arithmetic shared by the time sources. Internal to the platform layer.
#pragma once
#include <cstdint>

namespace tsplatform {

// Days from 1 January 1970 to the given civil date (month 1-12, day 1-31); exact for any year
// that fits an int.
inline std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yoe = unsigned(year - era * 400);
    const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

// The civil date of a day counted from 1 January 1970.
inline void CivilFromDays(std::int64_t days, std::int64_t &year, unsigned &month, unsigned &day)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = unsigned(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = std::int64_t(yoe) + era * 400 + (month <= 2);
}

// 0 = Sunday, as SYSTEMTIME counts; 1 January 1970 was a Thursday.
inline unsigned WeekdayFromDays(std::int64_t days)
{
    std::int64_t weekday = (days + 4) % 7;
    if (weekday < 0)
        weekday += 7;
    return unsigned(weekday);
}

inline bool IsLeapYear(std::int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

inline unsigned DaysInMonth(std::int64_t year, unsigned month)
{
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

constexpr std::int64_t SecondsPerDay = 86400;
constexpr std::int64_t TicksPerSecond = 10000000; // file-time units
constexpr std::int64_t TicksPerDay = SecondsPerDay * TicksPerSecond;
// DaysFromCivil(1601, 1, 1) and DaysFromCivil(1899, 12, 30).
constexpr std::int64_t FileTimeEpochDays = -134774;
constexpr std::int64_t VariantEpochDays = -25569;

} // namespace tsplatform
