// The platform's calendar, automation-date, clock and locale-format calls.
#include "tswin.h"
#include "dates_support.h"
#include "testenv.h"

#include <QString>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <limits>
#include <string>

namespace {

using tstest::FixedClock;
using tstest::Make;

std::string Show(const SYSTEMTIME &st)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u wd%u", st.wYear, st.wMonth,
                  st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, st.wDayOfWeek);
    return text;
}

FILETIME Ticks(std::uint64_t value)
{
    return FILETIME{DWORD(value & 0xffffffffu), DWORD(value >> 32)};
}

std::uint64_t Ticks(const FILETIME &ft)
{
    return (std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// ---- the OLE Automation date rule ----------------------------------------------------------

struct DateRow {
    double date;
    SYSTEMTIME st; // wDayOfWeek is checked
};

TEST(VariantTime, ConvertsBothWaysByTheOleRule)
{
    const DateRow rows[] = {
        {0.0, {1899, 12, 6, 30, 0, 0, 0, 0}},
        {2.0, {1900, 1, 1, 1, 0, 0, 0, 0}},
        {5.75, {1900, 1, 4, 4, 18, 0, 0, 0}},
        {-1.0, {1899, 12, 5, 29, 0, 0, 0, 0}},
        {-1.25, {1899, 12, 5, 29, 6, 0, 0, 0}},
        {-2.75, {1899, 12, 4, 28, 18, 0, 0, 0}},
        {39448.125, {2008, 1, 2, 1, 3, 0, 0, 0}},
        {39451.0, {2008, 1, 5, 4, 0, 0, 0, 0}},
        {36585.0, {2000, 2, 2, 29, 0, 0, 0, 0}},
        {-109512.0, {1600, 2, 2, 29, 0, 0, 0, 0}},
        {-109205.5, {1601, 1, 1, 1, 12, 0, 0, 0}},
        {-657434.0, {100, 1, 5, 1, 0, 0, 0, 0}},
        {-657434.5, {100, 1, 5, 1, 12, 0, 0, 0}},
        {2958465.0, {9999, 12, 5, 31, 0, 0, 0, 0}},
        {2958465.0 + 86399.0 / 86400.0, {9999, 12, 5, 31, 23, 59, 59, 0}},
        {949997.5, {4500, 12, 5, 31, 12, 0, 0, 0}},
        {949998.0, {4501, 1, 6, 1, 0, 0, 0, 0}},
    };
    for (const DateRow &row : rows) {
        SCOPED_TRACE(testing::Message() << "DATE " << row.date);
        SYSTEMTIME st{};
        ASSERT_TRUE(VariantTimeToSystemTime(row.date, &st));
        EXPECT_EQ(Show(row.st), Show(st));
        SYSTEMTIME in = row.st;
        in.wDayOfWeek = 3; // ignored
        double back = -1;
        ASSERT_TRUE(SystemTimeToVariantTime(&in, &back));
        EXPECT_DOUBLE_EQ(row.date, back);
    }
}

struct DecodeRow {
    double date;
    const char *expected; // nullptr: rejected
};

TEST(VariantTime, RoundsToWholeSecondsAndRejectsWhatItCannotExpress)
{
    const double sec = 1.0 / 86400.0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const DecodeRow rows[] = {
        // The fraction counts forward from midnight on both sides of day 0.
        {0.25, "1899-12-30 06:00:00.000 wd6"},
        {-0.25, "1899-12-30 06:00:00.000 wd6"},
        {-0.75, "1899-12-30 18:00:00.000 wd6"},
        // Half a second rounds up, less rounds down.
        {39448.0 + 0.5 * sec, "2008-01-01 00:00:01.000 wd2"},
        {39448.0 + 0.49 * sec, "2008-01-01 00:00:00.000 wd2"},
        {39448.0 + 59.5 * sec, "2008-01-01 00:01:00.000 wd2"},
        {39448.0 + 3599.5 * sec, "2008-01-01 01:00:00.000 wd2"},
        {-1.0 - 0.5 * sec, "1899-12-29 00:00:01.000 wd5"},
        {2958465.0 + 86399.4 * sec, "9999-12-31 23:59:59.000 wd5"},
        // The day boundary under rounding moves one calendar day later, also below zero.
        {39448.0 + 86399.5 * sec, "2008-01-02 00:00:00.000 wd3"},
        {39448.0 + 86399.9 * sec, "2008-01-02 00:00:00.000 wd3"},
        {1.0 - 0.4 * sec, "1899-12-31 00:00:00.000 wd0"},
        {-1.0 - 86399.6 * sec, "1899-12-30 00:00:00.000 wd6"},
        {-2.0 - 86399.6 * sec, "1899-12-29 00:00:00.000 wd5"},
        {-657434.0 - 86399.6 * sec, "0100-01-02 00:00:00.000 wd6"},
        // Range ends.
        {-657434.99, "0100-01-01 23:45:36.000 wd5"},
        {-657435.0, nullptr},
        {-657435.5, nullptr},
        {2958465.0 + 86399.5 * sec, nullptr},
        {2958466.0, nullptr},
        {1e300, nullptr},
        {-1e300, nullptr},
        {nan, nullptr},
        {inf, nullptr},
        {-inf, nullptr},
    };
    for (const DecodeRow &row : rows) {
        SCOPED_TRACE(testing::Message() << std::setprecision(17) << "DATE " << row.date);
        SYSTEMTIME st = Make(1, 1, 1);
        const INT ok = VariantTimeToSystemTime(row.date, &st);
        if (!row.expected) {
            EXPECT_FALSE(ok);
            continue;
        }
        ASSERT_TRUE(ok);
        EXPECT_EQ(row.expected, Show(st));
    }
}

TEST(VariantTime, RejectsRecordsOutsideTheCalendar)
{
    const SYSTEMTIME bad[] = {
        Make(99, 12, 31),  Make(10000, 1, 1), Make(2008, 0, 1),       Make(2008, 13, 1),
        Make(2008, 1, 0),  Make(2008, 1, 32), Make(2007, 2, 29),      Make(1900, 2, 29),
        Make(2008, 4, 31), Make(2008, 1, 1, 24), Make(2008, 1, 1, 0, 60), Make(2008, 1, 1, 0, 0, 60),
        Make(0, 0, 0),
    };
    for (SYSTEMTIME st : bad) {
        SCOPED_TRACE(Show(st));
        double date = 7.0;
        EXPECT_FALSE(SystemTimeToVariantTime(&st, &date));
        EXPECT_EQ(7.0, date);
    }
    SYSTEMTIME leap = Make(2000, 2, 29, 23, 59, 59, 999);
    double date = 0;
    EXPECT_TRUE(SystemTimeToVariantTime(&leap, &date));
    EXPECT_DOUBLE_EQ(36585.0 + 86399.0 / 86400.0, date) << "milliseconds are ignored";
    EXPECT_FALSE(SystemTimeToVariantTime(nullptr, &date));
    EXPECT_FALSE(VariantTimeToSystemTime(1.0, nullptr));
}

TEST(VariantTime, EverySecondOfADayRoundTrips)
{
    for (double day : {-657434.0, -1.0, 0.0, 39448.0, 2958465.0}) {
        for (int second = 0; second < 86400; second += 7) {
            SYSTEMTIME st;
            ASSERT_TRUE(VariantTimeToSystemTime(day < 0 ? day - second / 86400.0
                                                        : day + second / 86400.0,
                                                &st));
            ASSERT_EQ(second, st.wHour * 3600 + st.wMinute * 60 + st.wSecond)
                << "day " << day << " second " << second;
            double back;
            ASSERT_TRUE(SystemTimeToVariantTime(&st, &back));
            SYSTEMTIME again;
            ASSERT_TRUE(VariantTimeToSystemTime(back, &again));
            ASSERT_EQ(Show(st), Show(again));
        }
    }
}

// ---- file times ------------------------------------------------------------------------------

TEST(FileTime, CountsHundredNanosecondsFrom1601)
{
    struct Row {
        SYSTEMTIME st;
        std::uint64_t ticks;
    } rows[] = {
        {{1601, 1, 1, 1, 0, 0, 0, 0}, 0},
        {{1601, 1, 1, 1, 0, 0, 0, 1}, 10000},
        {{1970, 1, 4, 1, 0, 0, 0, 0}, 116444736000000000ull},
        {{2008, 1, 5, 4, 3, 0, 0, 0}, 128438892000000000ull},
        {{30827, 12, 5, 31, 23, 59, 59, 999}, 0x7fff35f4f06c58f0ull},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(Show(row.st));
        FILETIME ft{};
        ASSERT_TRUE(SystemTimeToFileTime(&row.st, &ft));
        EXPECT_EQ(row.ticks, Ticks(ft));
        SYSTEMTIME back{};
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
        EXPECT_EQ(Show(row.st), Show(back));
    }
    const SYSTEMTIME bad[] = {Make(1600, 12, 31, 23, 59, 59), Make(30828, 1, 1),
                              Make(2008, 1, 1, 0, 0, 0, 1000), Make(2008, 2, 30)};
    for (const SYSTEMTIME &st : bad) {
        FILETIME ft{};
        EXPECT_FALSE(SystemTimeToFileTime(&st, &ft)) << Show(st);
    }
    const FILETIME highest = Ticks(0x7fffffffffffffffull);
    SYSTEMTIME st;
    EXPECT_TRUE(FileTimeToSystemTime(&highest, &st));
    EXPECT_EQ(30828, st.wYear);
    const FILETIME tooHigh = Ticks(0x8000000000000000ull);
    EXPECT_FALSE(FileTimeToSystemTime(&tooHigh, &st));
}

// ---- clocks and the local zone ---------------------------------------------------------------

TEST(Clock, FollowsTheSeam)
{
    tstest::ScopedEnv tz("TZ", "UTC");
    FixedClock clock(Make(2008, 1, 3, 12, 0, 0, 250));
    SYSTEMTIME st;
    GetSystemTime(&st);
    EXPECT_EQ("2008-01-03 12:00:00.250 wd4", Show(st));
    GetLocalTime(&st);
    EXPECT_EQ("2008-01-03 12:00:00.250 wd4", Show(st));
}

namespace {

// In a fresh process: the clock under TS_FIXED_CLOCK as it stands, then after the variable changed,
// under the seam, and after the seam was lifted. Exits with 1 (and says why) on a surprise.
void ReadTheClockFourTimes(const char *expected)
{
    SYSTEMTIME st;
    GetSystemTime(&st);
    const std::string first = Show(st);
    const bool fixed = first.rfind("2010-", 0) == 0;
    ::setenv("TS_FIXED_CLOCK", "2011-01-01T00:00:00", 1);
    GetSystemTime(&st);
    const std::string second = Show(st);
    const SYSTEMTIME seamTime = Make(2008, 1, 3, 12);
    FILETIME seam;
    SystemTimeToFileTime(&seamTime, &seam);
    TsSetFixedClock(&seam);
    GetSystemTime(&st);
    const std::string third = Show(st);
    TsSetFixedClock(nullptr);
    GetSystemTime(&st);
    const std::string fourth = Show(st);
    const bool ok = (expected ? first == expected : !fixed && st.wYear >= 2024)
                    && (fixed ? second == first : second.rfind("2011-", 0) != 0)
                    && third == "2008-01-03 12:00:00.000 wd4" && (fixed ? fourth == first : st.wYear >= 2024);
    std::fprintf(stderr, "%s | %s | %s | %s\n", first.c_str(), second.c_str(), third.c_str(), fourth.c_str());
    std::exit(ok ? 0 : 1);
}

} // namespace

// TS_FIXED_CLOCK is read once, at the first clock read, so each setting needs a process of its own.
TEST(ClockDeathTest, EnvironmentIsReadOnceAndTheSeamWinsOverIt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Row { const char *setting; const char *expected; }; // null: the system clock
    const Row rows[] = {{"2010-05-06T07:08:09.5Z", "2010-05-06 07:08:09.500 wd4"},
                        {"2010-05-06 07:08:09", "2010-05-06 07:08:09.000 wd4"},
                        {nullptr, nullptr}, {"", nullptr}, {"2010-05-06", nullptr},
                        {"2010-13-06T07:08:09", nullptr}, {"1500-01-01T00:00:00", nullptr},
                        {"2010-05-06T07:08:09junk", nullptr}};
    for (const Row &row : rows) {
        tstest::ScopedEnv env("TS_FIXED_CLOCK", row.setting);
        EXPECT_EXIT(ReadTheClockFourTimes(row.expected), testing::ExitedWithCode(0), "")
            << (row.setting ? row.setting : "(unset)");
    }
}

struct ZoneRow {
    const char *tz;
    SYSTEMTIME universalNow;
    const char *localNow;
};

TEST(Clock, LocalTimeFollowsTheZoneIncludingDaylightSaving)
{
    const ZoneRow rows[] = {
        {"UTC", Make(2008, 1, 3, 12), "2008-01-03 12:00:00.000 wd4"},
        {"CET-1CEST,M3.5.0,M10.5.0/3", Make(2008, 1, 3, 12), "2008-01-03 13:00:00.000 wd4"},
        {"CET-1CEST,M3.5.0,M10.5.0/3", Make(2008, 7, 3, 12), "2008-07-03 14:00:00.000 wd4"},
        {"EST5EDT,M3.2.0,M11.1.0", Make(2008, 1, 3, 2), "2008-01-02 21:00:00.000 wd3"},
        {"EST5EDT,M3.2.0,M11.1.0", Make(2008, 7, 3, 2), "2008-07-02 22:00:00.000 wd3"},
        {"<+0545>-5:45", Make(2008, 12, 31, 18, 30), "2009-01-01 00:15:00.000 wd4"},
    };
    for (const ZoneRow &row : rows) {
        SCOPED_TRACE(row.tz);
        tstest::ScopedEnv tz("TZ", row.tz);
        FixedClock clock(row.universalNow);
        SYSTEMTIME st;
        GetLocalTime(&st);
        EXPECT_EQ(row.localNow, Show(st));
    }
}

TEST(Clock, LocalFileTimeUsesTheOffsetInForceNow)
{
    tstest::ScopedEnv tz("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    const SYSTEMTIME winter = Make(2008, 1, 15, 3), summer = Make(2008, 7, 15, 3);
    FILETIME winterFt, summerFt;
    ASSERT_TRUE(SystemTimeToFileTime(&winter, &winterFt));
    ASSERT_TRUE(SystemTimeToFileTime(&summer, &summerFt));
    const std::uint64_t hour = 36000000000ull;
    {
        FixedClock clock(Make(2008, 7, 1, 12)); // summer time in force: +2 for every instant
        FILETIME local;
        ASSERT_TRUE(FileTimeToLocalFileTime(&winterFt, &local));
        EXPECT_EQ(Ticks(winterFt) + 2 * hour, Ticks(local));
        ASSERT_TRUE(FileTimeToLocalFileTime(&summerFt, &local));
        EXPECT_EQ(Ticks(summerFt) + 2 * hour, Ticks(local));
    }
    {
        FixedClock clock(Make(2008, 12, 1, 12)); // standard time: +1
        FILETIME local;
        ASSERT_TRUE(FileTimeToLocalFileTime(&summerFt, &local));
        EXPECT_EQ(Ticks(summerFt) + hour, Ticks(local));
    }
    {
        tstest::ScopedEnv west("TZ", "EST5EDT,M3.2.0,M11.1.0");
        FixedClock clock(Make(2008, 1, 1, 12));
        const FILETIME first = Ticks(0);
        FILETIME local;
        EXPECT_FALSE(FileTimeToLocalFileTime(&first, &local)) << "before 1601 after the shift";
        const FILETIME last = Ticks(0x7fffffffffffffffull);
        EXPECT_TRUE(FileTimeToLocalFileTime(&last, &local));
    }
}

// ---- the locale's date and time texts --------------------------------------------------------

std::u16string DateText(const SYSTEMTIME &st)
{
    const int size = GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, nullptr, 0);
    if (size <= 0)
        return u"<fail>";
    std::u16string text(size_t(size), u'#');
    EXPECT_EQ(size, GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, &text[0], size));
    EXPECT_EQ(u'\0', text.back());
    text.pop_back();
    return text;
}

std::u16string TimeText(const SYSTEMTIME &st)
{
    const int size = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, nullptr, 0);
    if (size <= 0)
        return u"<fail>";
    std::u16string text(size_t(size), u'#');
    EXPECT_EQ(size, GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, &text[0], size));
    text.pop_back();
    return text;
}

std::string Utf8(const std::u16string &text)
{
    return QString::fromStdU16String(text).toStdString();
}

struct LocaleRow {
    const char *locale;
    SYSTEMTIME st;
    const char16_t *date;
    const char16_t *time;
};

TEST(LocaleFormat, ShortDateAndTimeOfEachLanguage)
{
    const LocaleRow rows[] = {
        {"en_US.UTF-8", Make(2008, 1, 4, 3), u"1/4/2008", u"3:00:00 AM"},
        {"en_US.UTF-8", Make(2008, 12, 24, 15, 5, 9), u"12/24/2008", u"3:05:09 PM"},
        {"en_US.UTF-8", Make(2008, 1, 4, 0, 30), u"1/4/2008", u"12:30:00 AM"},
        {"en_US.UTF-8", Make(2008, 1, 4, 12), u"1/4/2008", u"12:00:00 PM"},
        {"de_DE.UTF-8", Make(2008, 1, 4, 3), u"04.01.2008", u"03:00:00"},
        {"de_DE.UTF-8", Make(2008, 12, 24, 15, 5, 9), u"24.12.2008", u"15:05:09"},
        {"fr_FR.UTF-8", Make(2008, 1, 4, 3), u"04/01/2008", u"03:00:00"},
        {"fr_FR.UTF-8", Make(2008, 12, 24, 15, 5, 9), u"24/12/2008", u"15:05:09"},
        {"ja_JP.UTF-8", Make(2008, 1, 4, 3), u"2008/01/04", u"3:00:00"},
        {"ja_JP.UTF-8", Make(2008, 12, 24, 15, 5, 9), u"2008/12/24", u"15:05:09"},
        {"de_DE.UTF-8@euro", Make(4501, 1, 1), u"01.01.4501", u"00:00:00"},
        {"de_DE", Make(1601, 1, 1, 23, 59, 59), u"01.01.1601", u"23:59:59"},
        {"C", Make(2008, 1, 4, 3), u"1/4/2008", u"3:00:00 AM"},
        {"POSIX", Make(2008, 1, 4, 3), u"1/4/2008", u"3:00:00 AM"},
        {"xx_YY", Make(2008, 1, 4, 3), u"1/4/2008", u"3:00:00 AM"},
    };
    for (const LocaleRow &row : rows) {
        SCOPED_TRACE(row.locale);
        tstest::ScopedEnv all("LC_ALL", row.locale);
        EXPECT_EQ(Utf8(row.date), Utf8(DateText(row.st)));
        EXPECT_EQ(Utf8(row.time), Utf8(TimeText(row.st)));
    }
}

TEST(LocaleFormat, LocaleVariablesTakeEffectInTheCLibraryOrder)
{
    const SYSTEMTIME st = Make(2008, 1, 4, 3);
    tstest::ScopedEnv all("LC_ALL", nullptr), timeVar("LC_TIME", nullptr), lang("LANG", "fr_FR.UTF-8");
    EXPECT_EQ(u"04/01/2008", DateText(st));
    {
        tstest::ScopedEnv t("LC_TIME", "de_DE.UTF-8");
        EXPECT_EQ(u"04.01.2008", DateText(st));
        tstest::ScopedEnv a("LC_ALL", "ja_JP.UTF-8");
        EXPECT_EQ(u"2008/01/04", DateText(st));
        tstest::ScopedEnv empty("LC_ALL", "");
        EXPECT_EQ(u"04.01.2008", DateText(st)) << "an empty variable does not count";
    }
    tstest::ScopedEnv noLang("LANG", nullptr);
    EXPECT_EQ(u"1/4/2008", DateText(st));
}

TEST(LocaleFormat, RefusedCallsAndTheLengthProtocol)
{
    tstest::ScopedEnv all("LC_ALL", "en_US.UTF-8");
    const SYSTEMTIME st = Make(2008, 1, 4, 15, 5, 9);
    WCHAR buffer[32];
    EXPECT_EQ(9, GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, nullptr, 0));
    EXPECT_EQ(9, GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, 9));
    EXPECT_EQ(u"1/4/2008", std::u16string(buffer));

    const SYSTEMTIME before1601 = Make(1600, 12, 31);
    const SYSTEMTIME badDay = Make(2007, 2, 29);
    const SYSTEMTIME badHour = Make(2008, 1, 1, 24);
    struct Refused {
        const char *what;
        int result;
    };
    const Refused refused[] = {
        {"date buffer one short", GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, 8)},
        {"time buffer too short", GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, 3)},
        {"date before 1601", GetDateFormatW(LOCALE_USER_DEFAULT, 0, &before1601, nullptr, buffer, 32)},
        {"date not in the calendar", GetDateFormatW(LOCALE_USER_DEFAULT, 0, &badDay, nullptr, buffer, 32)},
        {"hour 24", GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &badHour, nullptr, buffer, 32)},
        {"other locale id", GetDateFormatW(0x0409, 0, &st, nullptr, buffer, 32)},
        {"invariant locale", GetTimeFormatW(0x007f, 0, &st, nullptr, buffer, 32)},
        {"negative size", GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, -1)},
        {"null buffer", GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, nullptr, 5)},
        {"date flags", GetDateFormatW(LOCALE_USER_DEFAULT, 2, &st, nullptr, buffer, 32)},
        {"time flags", GetTimeFormatW(LOCALE_USER_DEFAULT, 2, &st, nullptr, buffer, 32)},
        {"date picture", GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, u"d", buffer, 32)},
        {"time picture", GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, u"H", buffer, 32)},
    };
    for (const Refused &r : refused)
        EXPECT_EQ(0, r.result) << r.what;

    tstest::ScopedEnv ja("LC_ALL", "ja_JP.UTF-8");
    EXPECT_EQ(u"15:05:09", TimeText(Make(1, 1, 1, 15, 5, 9)))
        << "a time record's date fields are not looked at";
}

TEST(LocaleFormat, NullRecordMeansTheLocalTimeNow)
{
    tstest::ScopedEnv all("LC_ALL", "de_DE.UTF-8");
    tstest::ScopedEnv tz("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    FixedClock clock(Make(2008, 7, 3, 22, 30, 5));
    WCHAR buffer[32];
    ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, 32), 0);
    EXPECT_EQ(u"04.07.2008", std::u16string(buffer));
    ASSERT_GT(GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, 32), 0);
    EXPECT_EQ(u"00:30:05", std::u16string(buffer));
}

} // namespace
