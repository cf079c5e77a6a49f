// Weekday and month names in the language the library chose at load, one process per language.
#include "foundation/datetime.h"

#include <gtest/gtest.h>

#include <QString>

namespace {

struct Names {
    LANGID language;
    const char *january, *december, *sunday, *saturday;
    const char *dateTime; // GetLocalDateTimeString(39451.125) in the same locale
};

const Names kNames[] = {
    {0x0409, "January", "December", "Sunday", "Saturday", "1/4/2008, 3:00:00 AM"},
    {0x0407, "Januar", "Dezember", "Sonntag", "Samstag", "04.01.2008, 03:00:00"},
    {0x040C, "janvier", "décembre", "dimanche", "samedi", "04/01/2008, 03:00:00"},
    {0x0411, "1月", "12月", "日曜日", "土曜日", "2008/01/04, 3:00:00"},
};

TEST(TS_NAMES_SUITE, FollowTheProcessLocale)
{
    const LANGID expected = LANGID(TS_EXPECTED_LANGID);
    ASSERT_EQ(expected, GetUserDefaultLangID());
    const Names *names = nullptr;
    for (const Names &n : kNames)
        if (n.language == expected)
            names = &n;
    ASSERT_NE(nullptr, names);
    EXPECT_EQ(names->january, QStringFromWString(GetMonthOfYear(0)).toStdString());
    EXPECT_EQ(names->december, QStringFromWString(GetMonthOfYear(11)).toStdString());
    EXPECT_EQ(names->sunday, GetDayOfWeek(0).toStdString());
    EXPECT_EQ(names->saturday, GetDayOfWeek(6).toStdString());
    EXPECT_EQ(names->dateTime, QStringFromWString(GetLocalDateTimeString(39451.125)).toStdString());
}

} // namespace
