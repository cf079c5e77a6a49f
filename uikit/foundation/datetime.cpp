#include "foundation/datetime.h"

#include "foundation/resourcetext_p.h"

#include <memory>
#include <new>

namespace {

constexpr UINT FirstWeekdayNameId = 9033;
constexpr UINT FirstMonthNameId = 723;

typedef int (*Formatter)(LCID, DWORD, const SYSTEMTIME *, LPCWSTR, LPWSTR, int);

// Runs one of the platform's formatters the two-call way: ask the length, then format.
WString FormatWith(Formatter format, const SYSTEMTIME &st)
{
    const int length = format(LOCALE_USER_DEFAULT, 0, &st, nullptr, nullptr, 0);
    if (length <= 0)
        return WString();
    std::unique_ptr<WCHAR[]> buffer(new (std::nothrow) WCHAR[size_t(length)]);
    if (!buffer)
        return WString();
    const int written = format(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer.get(), length);
    if (written <= 0 || written > length)
        return WString();
    size_t end = 0;
    while (end < size_t(written) && buffer[end] != 0)
        ++end;
    return WString(buffer.get(), end);
}

WString LocalText(double date, Formatter format)
{
    if (date == 0.0)
        return WString();
    SYSTEMTIME st;
    if (!VariantTimeToSystemTime(date, &st))
        return WString();
    return FormatWith(format, st);
}

} // namespace

double GetDATEFromQDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid() || dateTime.isNull())
        return TsNoDate;
    SYSTEMTIME st = {};
    const QDate date = dateTime.date();
    if (date.isValid() && !date.isNull()) {
        // Checked before narrowing to 16 bits, so that no far year wraps into the range.
        if (date.year() < 100 || date.year() > 9999)
            return TsNoDate;
        st.wYear = WORD(date.year());
        st.wMonth = WORD(date.month());
        st.wDay = WORD(date.day());
    }
    const QTime time = dateTime.time();
    if (time.isValid() && !time.isNull()) {
        st.wHour = WORD(time.hour());
        st.wMinute = WORD(time.minute());
        st.wSecond = WORD(time.second());
        st.wMilliseconds = WORD(time.msec());
    }
    double result;
    if (!SystemTimeToVariantTime(&st, &result))
        return TsNoDate;
    return result;
}

QDateTime GetQDateTimeFromDATE(double date)
{
    if (date >= TsNoDate)
        return QDateTime();
    SYSTEMTIME st;
    if (!VariantTimeToSystemTime(date, &st))
        return QDateTime();
    return QDateTime(QDate(st.wYear, st.wMonth, st.wDay),
                     QTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds), Qt::LocalTime);
}

WString GetLocalDateString(double date)
{
    return LocalText(date, &GetDateFormatW);
}

WString GetLocalTimeString(double date)
{
    return LocalText(date, &GetTimeFormatW);
}

WString GetLocalDateTimeString(double date)
{
    if (date == 0.0)
        return WString();
    SYSTEMTIME st;
    if (!VariantTimeToSystemTime(date, &st))
        return WString();
    return GetLocalDateString(date) + u", " + GetLocalTimeString(date);
}

QString GetDayOfWeek(int index)
{
    if (index < 0 || index > 6)
        return QString();
    return QStringFromWString(
        tsuikit::LoadResourceText(tsuikit::LanguageModule(), FirstWeekdayNameId + UINT(index)));
}

WString GetMonthOfYear(int index)
{
    if (index < 0 || index > 11)
        return WString();
    return tsuikit::LoadResourceText(tsuikit::LanguageModule(), FirstMonthNameId + UINT(index));
}
