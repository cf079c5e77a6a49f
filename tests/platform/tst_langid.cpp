// The user's language, from the locale variables.
#include "testenv.h"

#include "tswin.h"

#include <gtest/gtest.h>

using tstest::ScopedEnv;

TEST(GetUserDefaultLangID, FromTheLocaleVariables)
{
    struct Row { const char *lcAll; const char *lcMessages; const char *lang; LANGID expected; };
    const Row rows[] = {
        {"en_US.UTF-8", nullptr, nullptr, 0x0409},
        {"de_DE.UTF-8", nullptr, nullptr, 0x0407},
        {"fr_FR.UTF-8", nullptr, nullptr, 0x040C},
        {"ja_JP.UTF-8", nullptr, nullptr, 0x0411},
        {"de_AT.UTF-8", nullptr, nullptr, 0x0C07},
        {"fr_CA", nullptr, nullptr, 0x0C0C},
        {"en_GB.ISO-8859-1", nullptr, nullptr, 0x0809},
        {"pt_BR.UTF-8@euro", nullptr, nullptr, 0x0416},
        {"zh_TW.UTF-8", nullptr, nullptr, 0x0404},
        {"de", nullptr, nullptr, 0x0407},             // language alone: its main country
        {"de_XX.UTF-8", nullptr, nullptr, 0x0407},    // unknown country
        {"xx_YY.UTF-8", nullptr, nullptr, 0x0409},    // unknown language: English
        {"C", nullptr, nullptr, 0x0409},
        {"POSIX", nullptr, nullptr, 0x0409},
        {"C.UTF-8", nullptr, nullptr, 0x0409},
        {nullptr, "fr_FR.UTF-8", "de_DE.UTF-8", 0x040C}, // LC_MESSAGES before LANG
        {"", "", "ja_JP.UTF-8", 0x0411},                 // empty values do not count
        {"de_DE.UTF-8", "fr_FR.UTF-8", "ja_JP.UTF-8", 0x0407},
        {nullptr, nullptr, nullptr, 0x0409},
    };
    for (const Row &row : rows) {
        ScopedEnv a("LC_ALL", row.lcAll), m("LC_MESSAGES", row.lcMessages), l("LANG", row.lang);
        EXPECT_EQ(GetUserDefaultLangID(), row.expected)
            << (row.lcAll ? row.lcAll : "-") << " / " << (row.lcMessages ? row.lcMessages : "-") << " / "
            << (row.lang ? row.lang : "-");
    }
}
