// DATE and QDateTime conversions, the local date and time texts, weekday and month names.
#include "foundation/datetime.h"

#include "dates_support.h"
#include "testenv.h"
#include "tslang.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>
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
