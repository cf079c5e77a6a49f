// Fixtures shared by the date suites: a fixed clock, and DATEs shown as readable text.
#pragma once

#include "tswin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace tstest {

inline SYSTEMTIME Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return SYSTEMTIME{WORD(y), WORD(mo), 0, WORD(d), WORD(h), WORD(mi), WORD(s), WORD(ms)};
}

// Fixes the present moment at a universal time for one scope.
class FixedClock
{
public:
    explicit FixedClock(SYSTEMTIME universal)
    {
        FILETIME ft;
        EXPECT_TRUE(SystemTimeToFileTime(&universal, &ft));
        TsSetFixedClock(&ft);
    }
    ~FixedClock() { TsSetFixedClock(nullptr); }
    FixedClock(const FixedClock &) = delete;
    FixedClock &operator=(const FixedClock &) = delete;
};

inline double Date(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    SYSTEMTIME st = Make(y, mo, d, h, mi, s);
    double date = -1e9;
    EXPECT_TRUE(SystemTimeToVariantTime(&st, &date));
    return date;
}

// "YYYY-MM-DD HH:MM:SS", "0" for the DATE 0.0, "invalid" for what the OLE rule rejects.
inline std::string Show(double date)
{
    if (date == 0.0)
        return "0";
    SYSTEMTIME st;
    if (!VariantTimeToSystemTime(date, &st))
        return "invalid";
    char text[40];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay,
                  st.wHour, st.wMinute, st.wSecond);
    return text;
}

} // namespace tstest
