// DATE round trips and the e-mail address check, each beside a baseline in the same run:
// plain std::chrono civil-date arithmetic for the dates, the length of the same text for e-mail.
#include "foundation/datetime.h"
#include "foundation/valueformat.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<double> SampleDates()
{
    std::vector<double> dates;
    for (int i = 0; i < 256; ++i)
        dates.push_back(39448.0 + i * 37.25 + (i % 86400) / 86400.0);
    return dates;
}

// Baseline: the same calendar work with std::chrono durations and the civil-date formulas,
// without the automation rule's checks, rounding or negative-date handling.
struct Civil {
    int year;
    unsigned month, day, hour, minute, second;
};

Civil CivilFromDate(double date)
{
    using namespace std::chrono;
    const seconds total(static_cast<std::int64_t>(std::llround(date * 86400.0)));
    const auto dayCount = duration_cast<duration<std::int64_t, std::ratio<86400>>>(total);
    const seconds rest = total - dayCount;
    std::int64_t z = dayCount.count() - 25569 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    Civil c;
    c.day = doy - (153 * mp + 2) / 5 + 1;
    c.month = mp < 10 ? mp + 3 : mp - 9;
    c.year = int(yoe + era * 400 + (c.month <= 2));
    const auto h = duration_cast<hours>(rest);
    const auto m = duration_cast<minutes>(rest - h);
    c.hour = unsigned(h.count());
    c.minute = unsigned(m.count());
    c.second = unsigned((rest - h - m).count());
    return c;
}

double DateFromCivil(const Civil &c)
{
    using namespace std::chrono;
    const int y = c.year - (c.month <= 2);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (c.month + (c.month > 2 ? -3 : 9)) + 2) / 5 + c.day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t days = std::int64_t(era) * 146097 + doe - 719468 + 25569;
    const seconds total = hours(days * 24) + hours(c.hour) + minutes(c.minute) + seconds(c.second);
    return double(total.count()) / 86400.0;
}

void BM_ChronoCivilRoundTrip(benchmark::State &state)
{
    const std::vector<double> dates = SampleDates();
    for (auto _ : state) {
        for (double d : dates)
            benchmark::DoNotOptimize(DateFromCivil(CivilFromDate(d)));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(dates.size()));
}
BENCHMARK(BM_ChronoCivilRoundTrip);

void BM_VariantTimeRoundTrip(benchmark::State &state)
{
    const std::vector<double> dates = SampleDates();
    for (auto _ : state) {
        for (double d : dates) {
            SYSTEMTIME st;
            double back = 0.0;
            VariantTimeToSystemTime(d, &st);
            SystemTimeToVariantTime(&st, &back);
            benchmark::DoNotOptimize(back);
        }
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(dates.size()));
}
BENCHMARK(BM_VariantTimeRoundTrip);

void BM_QDateTimeRoundTrip(benchmark::State &state)
{
    const std::vector<double> dates = SampleDates();
    for (auto _ : state) {
        for (double d : dates)
            benchmark::DoNotOptimize(GetDATEFromQDateTime(GetQDateTimeFromDATE(d)));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(dates.size()));
}
BENCHMARK(BM_QDateTimeRoundTrip);

// What Qt itself costs for the same local date-times: each one built in local time and read back,
// without the automation rule. Run with TZ unset and with TZ=UTC beside the round trip above.
void BM_QtLocalDateTimeOnly(benchmark::State &state)
{
    std::vector<std::pair<QDate, QTime>> fields;
    for (double d : SampleDates()) {
        SYSTEMTIME st;
        VariantTimeToSystemTime(d, &st);
        fields.emplace_back(QDate(st.wYear, st.wMonth, st.wDay), QTime(st.wHour, st.wMinute, st.wSecond));
    }
    for (auto _ : state) {
        for (const auto &f : fields) {
            const QDateTime local(f.first, f.second, Qt::LocalTime);
            benchmark::DoNotOptimize(local.date().day() + local.time().second());
        }
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(fields.size()));
}
BENCHMARK(BM_QtLocalDateTimeOnly);

void BM_LocalDateTimeString(benchmark::State &state)
{
    const std::vector<double> dates = SampleDates();
    for (auto _ : state) {
        for (double d : dates)
            benchmark::DoNotOptimize(GetLocalDateTimeString(d));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(dates.size()));
}
BENCHMARK(BM_LocalDateTimeString);

std::vector<unsigned short> EmailText()
{
    const std::u16string text = u"\"first\\ last\".some.one+tag@mail.example-domain.co.uk";
    std::vector<unsigned short> units(text.begin(), text.end());
    units.push_back(0);
    return units;
}

void BM_TextLength(benchmark::State &state)
{
    const std::vector<unsigned short> text = EmailText();
    for (auto _ : state) {
        const unsigned short *p = text.data();
        benchmark::DoNotOptimize(p);
        benchmark::DoNotOptimize(
            std::char_traits<char16_t>::length(reinterpret_cast<const char16_t *>(p)));
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(text.size() * 2));
}
BENCHMARK(BM_TextLength);

void BM_IsValidEmailAddress(benchmark::State &state)
{
    const std::vector<unsigned short> text = EmailText();
    for (auto _ : state) {
        const unsigned short *p = text.data();
        benchmark::DoNotOptimize(p);
        benchmark::DoNotOptimize(IsValidEmailAddress(p));
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(text.size() * 2));
}
BENCHMARK(BM_IsValidEmailAddress);

} // namespace

BENCHMARK_MAIN();
