// Scheduled runs under a fixed clock and fixed zones.
#include "schedule/schedule.h"

#include "dates_support.h"
#include "testenv.h"

#include <climits>
#include <cmath>
#include <limits>

using tstest::Date;
using tstest::FixedClock;
using tstest::Make;
using tstest::ScopedEnv;
using tstest::Show;

namespace {

const char *const Utc = "UTC";
const char *const Berlin = "CET-1CEST,M3.5.0,M10.5.0/3";
const char *const NewYork = "EST5EDT,M3.2.0,M11.1.0";

struct NextRunRow {
    const char *what;
    const char *tz;
    SYSTEMTIME clock; // universal
    double first;
    int interval;
    bool utc;
    const char *expected; // tstest::Show of the result
};

TEST(CalculateNextScheduledRun, Table)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const NextRunRow rows[] = {
        {"daily, two and a half days on", Utc, Make(2008, 1, 3, 12), 39448.125, 86400, false,
         "2008-01-04 03:00:00"},
        {"clock exactly two intervals on gives that instant", Utc, Make(2008, 1, 3, 3), 39448.125,
         86400, false, "2008-01-03 03:00:00"},
        {"hourly, clock exactly on a run", Utc, Make(2008, 1, 1, 5), 39448.125, 3600, false,
         "2008-01-01 05:00:00"},
        {"every 10 minutes, clock on a run", Utc, Make(2008, 1, 1, 4, 10), 39448.125, 600, false,
         "2008-01-01 04:10:00"},
        {"every 7 s, one second past a run", Utc, Make(2008, 1, 1, 3, 0, 8), 39448.125, 7, false,
         "2008-01-01 03:00:14"},
        {"first in the future is kept", Utc, Make(2008, 1, 3, 12), 39451.5, 60, false,
         "2008-01-04 12:00:00"},
        {"first equal to now", Utc, Make(2008, 1, 1, 3), 39448.125, 86400, false, "0"},
        {"past with interval 0", Utc, Make(2008, 1, 3, 12), 39448.125, 0, false, "0"},
        {"past with negative interval", Utc, Make(2008, 1, 3, 12), 39448.125, -86400, false, "0"},
        {"the local clock is read when utc is false", Berlin, Make(2008, 1, 3, 2, 30), 39448.125,
         86400, false, "2008-01-04 03:00:00"},
        {"utc: future first shifted by the winter offset", Berlin, Make(2008, 1, 3, 12), 39451.125,
         86400, true, "2008-01-04 04:00:00"},
        {"utc: a winter instant shifted by the summer offset in force now", Berlin,
         Make(2007, 7, 1, 12), 39451.125, 86400, true, "2008-01-04 05:00:00"},
        {"utc: a summer instant shifted by the winter offset in force now", Berlin,
         Make(2008, 1, 3, 12), Date(2008, 7, 1, 3), 86400, true, "2008-07-01 04:00:00"},
        {"utc: the universal clock decides the next run", NewYork, Make(2008, 7, 3, 2, 30),
         39448.125, 86400, true, "2008-07-02 23:00:00"},
        {"utc: 0.0 stays 0.0", NewYork, Make(2008, 1, 1, 3), 39448.125, 86400, true, "0"},
        {"utc: nothing due stays 0.0", NewYork, Make(2008, 1, 3, 12), 39448.125, 0, true, "0"},
        {"negative first, fraction forward", Utc, Make(1899, 12, 29, 7), -1.25, 3600, false,
         "1899-12-29 07:00:00"},
        {"negative first, daily", Utc, Make(1899, 12, 29, 12), -2.75, 86400, false,
         "1899-12-29 18:00:00"},
        {"negative first in the future", Utc, Make(1899, 12, 29, 5), -1.25, 3600, false,
         "1899-12-29 06:00:00"},
        {"negative first, run on day 0", Utc, Make(1899, 12, 30, 1), -1.5, 43200, false,
         "1899-12-30 12:00:00"},
        // Step counts beyond 32 bits (a long-past first run with a short interval).
        {"steps overflow 32 bits, lands on now", Utc, Make(2008, 1, 3, 12), -657434.0, 1, false,
         "2008-01-03 12:00:00"},
        {"steps overflow 32 bits, every 7 s", Utc, Make(2008, 1, 3, 12), -657434.0, 7, false,
         "2008-01-03 12:00:03"},
        {"steps just above 2^31, every 11 s", Utc, Make(2008, 1, 3, 12), Date(1200, 1, 1), 11,
         false, "2008-01-03 12:00:03"},
        // What the DATE rule cannot express has no next run.
        {"NaN", Utc, Make(2008, 1, 3, 12), nan, 60, false, "0"},
        {"infinity", Utc, Make(2008, 1, 3, 12), inf, 60, false, "0"},
        {"minus infinity", Utc, Make(2008, 1, 3, 12), -inf, 60, false, "0"},
        {"beyond 9999", Utc, Make(2008, 1, 3, 12), 3.0e6, 60, false, "0"},
        {"before 100", Utc, Make(2008, 1, 3, 12), -7.0e5, 60, false, "0"},
        {"utc: shifted past 31 December 9999", Berlin, Make(2008, 1, 3, 12),
         Date(9999, 12, 31, 23, 30), 60, true, "0"},
    };
    for (const NextRunRow &row : rows) {
        SCOPED_TRACE(row.what);
        ScopedEnv tz("TZ", row.tz);
        FixedClock clock(row.clock);
        EXPECT_EQ(row.expected, Show(CalculateNextScheduledRun(row.first, row.interval, row.utc)));
    }
}

TEST(CalculateNextScheduledRun, ResultIsTheFirstRunAtOrAfterNow)
{
    ScopedEnv tz("TZ", Utc);
    FixedClock clock(Make(2008, 1, 3, 12, 0, 0));
    const double now = Date(2008, 1, 3, 12);
    for (int interval : {1, 2, 59, 61, 3599, 86399, 86401, 604800, 1000003, INT_MAX}) {
        for (double first : {-657434.0, 2.0, 39000.3, 39450.49}) {
            const double next = CalculateNextScheduledRun(first, interval, false);
            const double step = interval / 86400.0;
            SCOPED_TRACE(testing::Message() << "interval " << interval << " first " << first);
            ASSERT_TRUE(CompareTime(next, now)) << Show(next);
            EXPECT_FALSE(CompareTime(next - step, now + 0.5 / 86400.0)) << Show(next);
            const double count = (next - first) / step;
            EXPECT_NEAR(count, std::round(count), 1e-3) << "not on the series";
        }
    }
}

struct WeeklyRow {
    const char *what;
    SYSTEMTIME clock; // universal; TZ is UTC
    int weekday;
    int weeks;
    const char *expected;
};

TEST(GetWeeklyTimeSchedule, Table)
{
    SYSTEMTIME friday = Make(2008, 1, 4, 3);
    friday.wDayOfWeek = 5;
    const SYSTEMTIME before = Make(2008, 1, 1, 12), after = Make(2008, 1, 20, 12);
    const WeeklyRow rows[] = {
        {"Monday every 2 weeks", before, 1, 2, "2008-01-14 03:00:00"},
        {"Monday every week", before, 1, 1, "2008-01-07 03:00:00"},
        {"Saturday every week", before, 6, 1, "2008-01-05 03:00:00"},
        {"Saturday every 3 weeks", before, 6, 3, "2008-01-05 03:00:00"},
        {"Saturday, the clock is not read", after, 6, 3, "2008-01-05 03:00:00"},
        {"Sunday every week", before, 0, 1, "2008-01-06 03:00:00"},
        {"Monday with 0 weeks lies before the start", before, 1, 0, "2007-12-31 03:00:00"},
        {"own weekday, start in the future", before, 5, 2, "2008-01-04 03:00:00"},
        {"own weekday, every week, start past", after, 5, 1, "2008-01-25 03:00:00"},
        {"own weekday, every 2 weeks, start past", after, 5, 2, "2008-02-01 03:00:00"},
        {"own weekday, 0 weeks, start future", before, 5, 0, "2008-01-04 03:00:00"},
        {"own weekday, 0 weeks, start past", after, 5, 0, "0"},
        {"own weekday, more than 3550 weeks", after, 5, 3551, "2076-01-24 03:00:00"},
        {"far but in range (offset 7 x 400000 - 4 days)", before, 1, 400000, "9674-02-19 03:00:00"},
        {"beyond the DATE range", before, 1, 600000, "0"},
        {"beyond the file-time range", before, 1, INT_MAX, "0"},
        {"own weekday, huge cycle", after, 5, INT_MAX, "0"},
    };
    ScopedEnv tz("TZ", Utc);
    for (const WeeklyRow &row : rows) {
        SCOPED_TRACE(row.what);
        FixedClock clock(row.clock);
        EXPECT_EQ(row.expected, Show(GetWeeklyTimeSchedule(friday, row.weekday, row.weeks)));
    }
    FixedClock clock(before);
    SYSTEMTIME invalid = Make(2008, 2, 30, 3);
    invalid.wDayOfWeek = 5;
    EXPECT_EQ(0.0, GetWeeklyTimeSchedule(invalid, 1, 1));
    EXPECT_EQ(0.0, GetWeeklyTimeSchedule(invalid, 5, 1));
    SYSTEMTIME early = Make(1500, 1, 5, 3);
    early.wDayOfWeek = 5;
    EXPECT_EQ(0.0, GetWeeklyTimeSchedule(early, 1, 1)) << "no file time before 1601";
}

TEST(GetWeeklyTimeSchedule, OwnWeekdayFollowsTheLocalClock)
{
    ScopedEnv tz("TZ", NewYork);
    SYSTEMTIME friday = Make(2008, 1, 4, 3);
    friday.wDayOfWeek = 5;
    // 4 January 2008 07:30 universal is 02:30 in New York: the start is still ahead.
    FixedClock clock(Make(2008, 1, 4, 7, 30));
    EXPECT_EQ("2008-01-04 03:00:00", Show(GetWeeklyTimeSchedule(friday, 5, 1)));
}

struct CompareRow {
    double a, b;
    bool expected;
};

TEST(CompareTime, Table)
{
    const double sec = 1.0 / 86400.0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CompareRow rows[] = {
        {39448.125, 39448.125, true},
        {39448.125, 39449.125, false},
        {39449.125, 39448.125, true},
        {39448.125 + 0.4 * sec, 39448.125, true},
        {39448.125, 39448.125 + 0.4 * sec, true}, // the same whole second
        {39448.125, 39448.125 + 0.6 * sec, false},
        // Before day 0 the fraction counts forward: -1.25 is later than -1.0.
        {-1.25, -1.0, true},
        {-1.0, -1.25, false},
        {-0.25, 0.25, true},
        {0.25, -0.25, true},
        {-1.75, -0.5, false},
        {-109512.0, -109513.0, true}, // before 1601
        {-657434.0, 2958465.0, false},
        {nan, 1.0, false},
        {1.0, nan, false},
        {3.0e6, 1.0, false},
    };
    for (const CompareRow &row : rows) {
        EXPECT_EQ(row.expected, CompareTime(row.a, row.b)) << row.a << " vs " << row.b;
    }
}

struct DefaultRow {
    const char *tz;
    SYSTEMTIME clock; // universal
    const char *run;
    const char *start;
};

TEST(MinimumDefaultTimes, AddFiveAndTenMinutesToTheLocalClock)
{
    const DefaultRow rows[] = {
        {Utc, Make(2008, 1, 3, 12, 0, 30), "2008-01-03 12:05:30", "2008-01-03 12:10:30"},
        {Utc, Make(2008, 1, 3, 23, 58), "2008-01-04 00:03:00", "2008-01-04 00:08:00"},
        {Utc, Make(2008, 2, 29, 23, 58), "2008-03-01 00:03:00", "2008-03-01 00:08:00"},
        {NewYork, Make(2009, 1, 1, 4, 58), "2009-01-01 00:03:00", "2009-01-01 00:08:00"},
        {Berlin, Make(2008, 7, 3, 21, 58, 59), "2008-07-04 00:03:59", "2008-07-04 00:08:59"},
    };
    for (const DefaultRow &row : rows) {
        SCOPED_TRACE(row.tz);
        ScopedEnv tz("TZ", row.tz);
        FixedClock clock(row.clock);
        EXPECT_EQ(row.run, Show(GetMininumDefaultSchedRunTime()));
        EXPECT_EQ(row.start, Show(GetMininumDefaultSchedStartTime()));
    }
}

struct KindRow {
    std::map<WString, double> schedule;
    const char *kinds; // which of Once, Daily, Weekly, Exchange_Weekly, Exchange-Once hold: "ODWXE"
};

TEST(ScheduleKind, OnlyTheSmallestKeyCounts)
{
    const KindRow rows[] = {
        {{}, ""},
        {{{u"Once", 1.0}}, "O"},
        {{{u"Once1", 1.0}}, "O"},
        {{{u"once1", 1.0}}, ""},
        {{{u"Daily1", 1.0}, {u"Once1", 2.0}}, "D"},
        {{{u"Weekly", 1.0}, {u"Daily", 2.0}}, "D"},
        {{{u"Weekly_3", 1.0}}, "W"},
        {{{u"Exchange_Weekly", 1.0}}, "X"},
        {{{u"Exchange-Weekly", 1.0}}, ""},
        {{{u"Exchange-Once7", 1.0}}, "E"},
        {{{u"Exchange_Once", 1.0}}, ""},
        {{{u"Onc", 1.0}}, ""},
        {{{u"", 1.0}, {u"Once", 2.0}}, ""},
        {{{u"\u00e9Once", 1.0}, {u"Weekly", 2.0}}, "W"}, // unsigned order: U+00E9 sorts last
    };
    for (const KindRow &row : rows) {
        std::string kinds;
        if (IsSchedVolumeOnceTime(row.schedule))
            kinds += 'O';
        if (IsSchedVolumeDaily(row.schedule))
            kinds += 'D';
        if (IsSchedVolumeWeekly(row.schedule))
            kinds += 'W';
        if (IsSchedExchangeWeekly(row.schedule))
            kinds += 'X';
        if (IsSchedExchangeOnce(row.schedule))
            kinds += 'E';
        EXPECT_EQ(row.kinds, kinds) << "first key "
                                    << QStringFromWString(row.schedule.empty()
                                                              ? WString()
                                                              : row.schedule.begin()->first)
                                           .toStdString();
    }
}

} // namespace
