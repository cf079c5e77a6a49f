// DATE and QDateTime conversions, the local date and time texts, weekday and month names.
#include "foundation/datetime.h"

#include "dates_support.h"
#include "testenv.h"
#include "tslang.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>
#include <QTimeZone>
#include <climits>
#include <cmath>
#include <limits>

using tstest::Date;
using tstest::ScopedEnv;

namespace {

const double Nan = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

std::string Utf8(const WString &text)
{
    return QStringFromWString(text).toStdString();
}

struct ToDateRow {
    QDateTime in;
    double expected;
};

TEST(GetDATEFromQDateTime, Table)
{
    const ToDateRow rows[] = {
        {QDateTime(QDate(1900, 1, 1), QTime(0, 0)), 2.0},
        {QDateTime(QDate(1900, 1, 4), QTime(18, 0)), 5.75},
        {QDateTime(QDate(1899, 12, 30), QTime(0, 0)), 0.0},
        {QDateTime(QDate(1899, 12, 29), QTime(6, 0)), -1.25},
        {QDateTime(QDate(100, 1, 1), QTime(0, 0)), -657434.0},
        {QDateTime(QDate(9999, 12, 31), QTime(0, 0)), 2958465.0},
        {QDateTime(QDate(4500, 12, 31), QTime(12, 0)), 949997.5},
        {QDateTime(QDate(2008, 1, 1), QTime(3, 0, 0, 999)), 39448.125}, // milliseconds dropped
        // The wall-clock fields count, whatever the QDateTime's time zone setting.
        {QDateTime(QDate(2008, 1, 1), QTime(3, 0), Qt::UTC), 39448.125},
        {QDateTime(QDate(2008, 1, 1), QTime(3, 0), Qt::OffsetFromUTC, -5 * 3600), 39448.125},
        // No date, or one the DATE rule cannot hold.
        {QDateTime(), 949998.0},
        {QDateTime(QDate(2007, 2, 30), QTime(0, 0)), 949998.0},
        {QDateTime(QDate(99, 12, 31), QTime(23, 59, 59)), 949998.0},
        {QDateTime(QDate(10000, 1, 1), QTime(0, 0)), 949998.0},
        {QDateTime(QDate(-5, 1, 1), QTime(0, 0)), 949998.0},
        // Years that wrap into the range when narrowed to 16 bits must not be accepted.
        {QDateTime(QDate(65636, 1, 1), QTime(0, 0)), 949998.0},
        {QDateTime(QDate(67544, 1, 1), QTime(0, 0)), 949998.0},
    };
    for (const ToDateRow &row : rows) {
        EXPECT_DOUBLE_EQ(row.expected, GetDATEFromQDateTime(row.in))
            << row.in.toString(Qt::ISODateWithMs).toStdString();
    }
}

struct FromDateRow {
    double date;
    const char *expected; // ISO text, nullptr for a null QDateTime
};

TEST(GetQDateTimeFromDATE, Table)
{
    const FromDateRow rows[] = {
        {949997.5, "4500-12-31T12:00:00"},
        {0.0, "1899-12-30T00:00:00"},
        {2.0, "1900-01-01T00:00:00"},
        {-1.25, "1899-12-29T06:00:00"},
        {-657434.0, "0100-01-01T00:00:00"},
        {39448.125 + 0.5 / 86400, "2008-01-01T03:00:01"},
        {949998.0, nullptr},
        {949998.5, nullptr},
        {2958465.0, nullptr},
        {-657435.0, nullptr},
        {Nan, nullptr},
        {Inf, nullptr},
        {-Inf, nullptr},
    };
    for (const FromDateRow &row : rows) {
        const QDateTime result = GetQDateTimeFromDATE(row.date);
        if (!row.expected) {
            EXPECT_TRUE(result.isNull()) << row.date;
            continue;
        }
        ASSERT_TRUE(result.isValid()) << row.date;
        EXPECT_EQ(Qt::LocalTime, result.timeSpec());
        EXPECT_EQ(row.expected, result.toString(Qt::ISODate).toStdString()) << row.date;
    }
}

TEST(GetQDateTimeFromDATE, RoundTripsEveryTenthDayOfTheRange)
{
    int second = 0;
    for (double day = -657434.0; day < 949998.0; day += 10.0) {
        second = (second + 7919) % 86400;
        // Before day 0 the fraction is subtracted: it still counts forward from midnight.
        const double date = day < 0 ? day - second / 86400.0 : day + second / 86400.0;
        const QDateTime dt = GetQDateTimeFromDATE(date);
        ASSERT_TRUE(dt.isValid()) << date;
        const double back = GetDATEFromQDateTime(dt);
        ASSERT_NEAR(date, back, 0.5 / 86400) << date;
        ASSERT_EQ(second, dt.time().msecsSinceStartOfDay() / 1000) << date;
    }
}


// Local wall clocks around daylight-saving changes, each row in its own zone, set while the process
// runs. The offset is the zone's at that wall clock (two for a repeated hour; none for a skipped
// one, whose QDateTime is invalid and converts back to the no-date value).
struct ZoneRow {
    const char *zone;
    int y, mo, d, h, mi;
    int offset; // seconds east of UTC; kSkipped for a wall clock the zone skips
    int otherOffset; // the second offset of a repeated hour, else the same
};
constexpr int kSkipped = INT_MIN;

TEST(GetQDateTimeFromDATE, ZonesAcrossDaylightSavingChanges)
{
    const ZoneRow rows[] = {
        {"Europe/Berlin", 2026, 3, 29, 1, 59, 3600, 3600},
        {"Europe/Berlin", 2026, 3, 29, 2, 30, kSkipped, kSkipped},
        {"Europe/Berlin", 2026, 3, 29, 3, 0, 7200, 7200},
        {"Europe/Berlin", 2026, 10, 25, 2, 30, 7200, 3600},
        {"Europe/Berlin", 2026, 10, 25, 3, 0, 3600, 3600},
        {"America/Los_Angeles", 2026, 3, 8, 2, 15, kSkipped, kSkipped},
        {"America/Los_Angeles", 2026, 3, 8, 3, 15, -7 * 3600, -7 * 3600},
        {"America/Los_Angeles", 2026, 11, 1, 1, 30, -7 * 3600, -8 * 3600},
        {"America/Los_Angeles", 2026, 11, 1, 2, 0, -8 * 3600, -8 * 3600},
        // The whole of 31 December 1994 was skipped when the zone crossed the date line.
        {"Pacific/Kiritimati", 1994, 12, 30, 12, 0, -10 * 3600, -10 * 3600},
        {"Pacific/Kiritimati", 1994, 12, 31, 12, 0, kSkipped, kSkipped},
        {"Pacific/Kiritimati", 1995, 1, 1, 12, 0, 14 * 3600, 14 * 3600},
        {"Pacific/Kiritimati", 2026, 7, 1, 0, 0, 14 * 3600, 14 * 3600},
        // Half an hour of daylight saving.
        {"Australia/Lord_Howe", 2026, 4, 5, 1, 45, 11 * 3600, 37800},
        {"Australia/Lord_Howe", 2026, 4, 5, 2, 0, 37800, 37800},
        {"Australia/Lord_Howe", 2026, 10, 4, 2, 15, kSkipped, kSkipped},
        {"Australia/Lord_Howe", 2026, 10, 4, 2, 30, 11 * 3600, 11 * 3600},
        {"Europe/Berlin", 2026, 1, 15, 12, 0, 3600, 3600}, // back to a zone used before
    };
    for (const ZoneRow &row : rows) {
        ScopedEnv zone("TZ", row.zone);
        const double date = Date(row.y, row.mo, row.d, row.h, row.mi);
        const QDateTime local = GetQDateTimeFromDATE(date);
        const std::string what = std::string(row.zone) + " " + tstest::Show(date);
        EXPECT_EQ(Qt::LocalTime, local.timeSpec()) << what;
        EXPECT_EQ(QDate(row.y, row.mo, row.d), local.date()) << what;
        EXPECT_EQ(QTime(row.h, row.mi), local.time()) << what;
        if (row.offset == kSkipped) {
            EXPECT_FALSE(local.isValid()) << what;
            EXPECT_EQ(TsNoDate, GetDATEFromQDateTime(local)) << what;
            continue;
        }
        ASSERT_TRUE(local.isValid()) << what;
        const int offset = local.offsetFromUtc();
        EXPECT_TRUE(offset == row.offset || offset == row.otherOffset) << what << ": " << offset;
        EXPECT_EQ(date, GetDATEFromQDateTime(local)) << what;
    }
}

TEST(GetQDateTimeFromDATE, WithoutTZTheMachineZoneCounts)
{
    ScopedEnv zone("TZ", nullptr);
    const QTimeZone machine = QTimeZone::systemTimeZone();
    for (const double date : {Date(2026, 1, 15, 12), Date(2026, 7, 15, 12)}) {
        const QDateTime local = GetQDateTimeFromDATE(date);
        ASSERT_TRUE(local.isValid());
        EXPECT_EQ(machine.offsetFromUtc(local), local.offsetFromUtc()) << tstest::Show(date);
        EXPECT_EQ(date, GetDATEFromQDateTime(local));
    }
}

struct TextRow {
    const char *locale;
    double date;
    const char *date_text;
    const char *time_text;
    const char *both;
};

TEST(LocalDateTimeStrings, EachLanguage)
{
    const double morning = Date(2008, 1, 4, 3);
    const double evening = Date(2008, 12, 24, 15, 5, 9);
    const TextRow rows[] = {
        {"en_US.UTF-8", morning, "1/4/2008", "3:00:00 AM", "1/4/2008, 3:00:00 AM"},
        {"en_US.UTF-8", evening, "12/24/2008", "3:05:09 PM", "12/24/2008, 3:05:09 PM"},
        {"de_DE.UTF-8", morning, "04.01.2008", "03:00:00", "04.01.2008, 03:00:00"},
        {"de_DE.UTF-8", evening, "24.12.2008", "15:05:09", "24.12.2008, 15:05:09"},
        {"fr_FR.UTF-8", morning, "04/01/2008", "03:00:00", "04/01/2008, 03:00:00"},
        {"fr_FR.UTF-8", evening, "24/12/2008", "15:05:09", "24/12/2008, 15:05:09"},
        {"ja_JP.UTF-8", morning, "2008/01/04", "3:00:00", "2008/01/04, 3:00:00"},
        {"ja_JP.UTF-8", evening, "2008/12/24", "15:05:09", "2008/12/24, 15:05:09"},
        // The no-date value of the conversions is an ordinary date to the texts.
        {"en_US.UTF-8", 949998.0, "1/1/4501", "12:00:00 AM", "1/1/4501, 12:00:00 AM"},
        {"de_DE.UTF-8", 949997.5, "31.12.4500", "12:00:00", "31.12.4500, 12:00:00"},
        // 0.0 means that no date is set.
        {"de_DE.UTF-8", 0.0, "", "", ""},
        // Before 1601 the formatter gives no date; the time half and the separator stay.
        {"en_US.UTF-8", Date(1500, 6, 1, 3), "", "3:00:00 AM", ", 3:00:00 AM"},
        {"de_DE.UTF-8", Date(1600, 12, 31, 6), "", "06:00:00", ", 06:00:00"},
        {"de_DE.UTF-8", -1.25, "29.12.1899", "06:00:00", "29.12.1899, 06:00:00"},
        // What the DATE rule cannot hold has no text at all.
        {"en_US.UTF-8", Nan, "", "", ""},
        {"en_US.UTF-8", Inf, "", "", ""},
        {"en_US.UTF-8", -Inf, "", "", ""},
        {"en_US.UTF-8", 2958466.0, "", "", ""},
        {"en_US.UTF-8", -657435.0, "", "", ""},
    };
    for (const TextRow &row : rows) {
        SCOPED_TRACE(testing::Message() << row.locale << " " << row.date);
        ScopedEnv locale("LC_ALL", row.locale);
        EXPECT_EQ(row.date_text, Utf8(GetLocalDateString(row.date)));
        EXPECT_EQ(row.time_text, Utf8(GetLocalTimeString(row.date)));
        EXPECT_EQ(row.both, Utf8(GetLocalDateTimeString(row.date)));
    }
}

TEST(LocalDateTimeStrings, NoZoneConversion)
{
    ScopedEnv locale("LC_ALL", "de_DE.UTF-8");
    for (const char *tz : {"UTC", "EST5EDT,M3.2.0,M11.1.0", "<+0545>-5:45"}) {
        ScopedEnv zone("TZ", tz);
        EXPECT_EQ("04.01.2008, 03:00:00", Utf8(GetLocalDateTimeString(Date(2008, 1, 4, 3)))) << tz;
    }
}

// The names come from the language module chosen when the library loaded.
TEST(WeekdayAndMonthNames, ComeFromTheLanguageModuleByIdentifier)
{
    const HINSTANCE module = LoadTsLang(GetUserDefaultLangID(), 0);
    auto text = [module](UINT id) {
        WCHAR buffer[256];
        const int length = LoadStringW(module, id, buffer, 256);
        return WString(buffer, size_t(length > 0 ? length : 0));
    };
    QStringList weekdays;
    for (int i = 0; i < 7; ++i) {
        const QString name = GetDayOfWeek(i);
        EXPECT_FALSE(name.isEmpty()) << i;
        EXPECT_EQ(QStringFromWString(text(UINT(9033 + i))), name) << i;
        weekdays << name;
    }
    EXPECT_EQ(7, QSet<QString>(weekdays.begin(), weekdays.end()).size());
    QStringList months;
    for (int i = 0; i < 12; ++i) {
        const WString name = GetMonthOfYear(i);
        EXPECT_FALSE(name.empty()) << i;
        EXPECT_EQ(text(UINT(723 + i)), name) << i;
        months << QStringFromWString(name);
    }
    EXPECT_EQ(12, QSet<QString>(months.begin(), months.end()).size());
    for (int bad : {-1, 7, 100, INT_MIN, INT_MAX})
        EXPECT_TRUE(GetDayOfWeek(bad).isEmpty()) << bad;
    for (int bad : {-1, 12, 100, INT_MIN, INT_MAX})
        EXPECT_TRUE(GetMonthOfYear(bad).empty()) << bad;
}

} // namespace
