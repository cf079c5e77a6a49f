// GetDateFormatW and GetTimeFormatW over Qt's locale data for the process locale.
#include "tsw/time.h"

#include "calendar.h"

#include <QLocale>
#include <QRegExp>
#include <QString>
#include <cstdlib>
#include <cstring>

using namespace tsplatform;

namespace {

// The locale whose time conventions the process follows: LC_ALL, then LC_TIME, then LANG, as the
// C library resolves them. C and POSIX read as US English, as on a default Windows installation.
QLocale ProcessLocale()
{
    const char *name = nullptr;
    for (const char *variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
    QString locale = QString::fromLatin1(name ? name : "C");
    const int cut = locale.indexOf(QRegExp(QStringLiteral("[.@]")));
    if (cut >= 0)
        locale.truncate(cut);
    if (locale.isEmpty() || locale == QLatin1String("C") || locale == QLatin1String("POSIX"))
        return QLocale(QLocale::English, QLocale::UnitedStates);
    const QLocale result(locale);
    if (result.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return result;
}

bool LocaleFor(LCID lcid, QLocale &locale, bool &invariant)
{
    invariant = false;
    switch (lcid) {
    case LOCALE_USER_DEFAULT:
    case LOCALE_SYSTEM_DEFAULT:
        locale = ProcessLocale();
        return true;
    case LOCALE_INVARIANT:
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
        invariant = true;
        return true;
    default:
        return false;
    }
}

bool IsPictureLetter(QChar c, const char *letters)
{
    return c.unicode() < 128 && c.unicode() != 0 && std::strchr(letters, char(c.unicode()));
}

// Rewrites a Qt date or time format in Windows picture letters. Qt's day-period letters become
// "tt", its zone letter is dropped with the space before it, letters that carry no meaning in a
// Windows picture are quoted.
QString PictureFromQtFormat(const QString &format)
{
    QString out;
    for (int i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            int end = i + 1;
            while (end < format.size()) {
                if (format.at(end) == QLatin1Char('\'')) {
                    if (end + 1 < format.size() && format.at(end + 1) == QLatin1Char('\'')) {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            out += format.mid(i, end + 1 - i);
            i = end + 1;
            continue;
        }
        int run = 1;
        while (i + run < format.size() && format.at(i + run) == c)
            ++run;
        if (c == QLatin1Char('t')) {
            while (out.endsWith(QLatin1Char(' ')))
                out.chop(1);
        } else if (c == QLatin1Char('A') || c == QLatin1Char('a')) {
            // "AP"/"ap" (or "A"/"a") is Qt's day period.
            out += QLatin1String("tt");
            if (i + 1 < format.size()
                && (format.at(i + 1) == QLatin1Char('P') || format.at(i + 1) == QLatin1Char('p')))
                run = 2;
        } else if (c == QLatin1Char('z')) {
            // Windows pictures have no fractions of seconds.
        } else if (c.isLetter() && !IsPictureLetter(c, "dMyhHms")) {
            out += QLatin1Char('\'') + format.mid(i, run) + QLatin1Char('\'');
        } else {
            out += format.mid(i, run);
        }
        i += run;
    }
    return out.trimmed();
}

// Windows writes the short date with the full year.
QString ShortDatePicture(const QLocale &locale, bool invariant)
{
    if (invariant)
        return QStringLiteral("MM/dd/yyyy");
    QString picture = PictureFromQtFormat(locale.dateFormat(QLocale::ShortFormat));
    if (!picture.contains(QLatin1String("yyy")))
        picture.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return picture;
}

QString LongDatePicture(const QLocale &locale, bool invariant)
{
    if (invariant)
        return QStringLiteral("dddd, dd MMMM yyyy");
    return PictureFromQtFormat(locale.dateFormat(QLocale::LongFormat));
}

// The time with seconds, in the hour style and separators of the locale's short time: the seconds
// follow the minutes with the separator that stands between hours and minutes.
QString TimePicture(const QLocale &locale, bool invariant, bool seconds)
{
    if (invariant)
        return seconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    QString picture = PictureFromQtFormat(locale.timeFormat(QLocale::ShortFormat));
    const int minutes = picture.indexOf(QLatin1Char('m'));
    const int hours = picture.indexOf(QRegExp(QStringLiteral("[hH]")));
    if (!seconds) {
        const int s = picture.indexOf(QLatin1Char('s'));
        if (s > minutes && minutes >= 0) {
            int from = minutes;
            while (from < picture.size() && picture.at(from) == QLatin1Char('m'))
                ++from;
            int to = s;
            while (to < picture.size() && picture.at(to) == QLatin1Char('s'))
                ++to;
            picture.remove(from, to - from);
        }
        return picture;
    }
    if (picture.contains(QLatin1Char('s')) || minutes < 0 || hours < 0 || hours > minutes)
        return picture.contains(QLatin1Char('s'))
                   ? picture
                   : PictureFromQtFormat(locale.timeFormat(QLocale::LongFormat));
    int hourEnd = hours;
    while (hourEnd < picture.size() && picture.at(hourEnd).toLower() == QLatin1Char('h'))
        ++hourEnd;
    const QString separator = picture.mid(hourEnd, minutes - hourEnd);
    int minuteEnd = minutes;
    while (minuteEnd < picture.size() && picture.at(minuteEnd) == QLatin1Char('m'))
        ++minuteEnd;
    picture.insert(minuteEnd, separator + QLatin1String("ss"));
    return picture;
}

QString Padded(int value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

// Expands a Windows picture. Letters outside `letters` and quoted runs are copied as they stand.
QString Expand(const QString &picture, const SYSTEMTIME &st, const QLocale &locale, bool date)
{
    QString out;
    const int qtWeekday = st.wDayOfWeek == 0 ? 7 : st.wDayOfWeek; // Qt counts from Monday = 1
    for (int i = 0; i < picture.size();) {
        const QChar c = picture.at(i);
        if (c == QLatin1Char('\'')) {
            for (++i; i < picture.size(); ++i) {
                if (picture.at(i) == QLatin1Char('\'')) {
                    if (i + 1 < picture.size() && picture.at(i + 1) == QLatin1Char('\'')) {
                        out += QLatin1Char('\'');
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += picture.at(i);
            }
            continue;
        }
        int run = 1;
        while (i + run < picture.size() && picture.at(i + run) == c)
            ++run;
        i += run;
        const char letter = c.unicode() < 128 ? char(c.unicode()) : 0;
        if (date && letter == 'd') {
            if (run == 1)
                out += QString::number(st.wDay);
            else if (run == 2)
                out += Padded(st.wDay, 2);
            else if (run == 3)
                out += locale.dayName(qtWeekday, QLocale::ShortFormat);
            else
                out += locale.dayName(qtWeekday, QLocale::LongFormat);
        } else if (date && letter == 'M') {
            if (run == 1)
                out += QString::number(st.wMonth);
            else if (run == 2)
                out += Padded(st.wMonth, 2);
            else if (run == 3)
                out += locale.monthName(st.wMonth, QLocale::ShortFormat);
            else
                out += locale.monthName(st.wMonth, QLocale::LongFormat);
        } else if (date && letter == 'y') {
            if (run == 1)
                out += QString::number(st.wYear % 100);
            else if (run == 2)
                out += Padded(st.wYear % 100, 2);
            else
                out += QString::number(st.wYear);
        } else if (date && letter == 'g') {
            out += QStringLiteral("A.D.");
        } else if (!date && (letter == 'h' || letter == 'H')) {
            int hour = st.wHour;
            if (letter == 'h') {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            out += run == 1 ? QString::number(hour) : Padded(hour, 2);
        } else if (!date && letter == 'm') {
            out += run == 1 ? QString::number(st.wMinute) : Padded(st.wMinute, 2);
        } else if (!date && letter == 's') {
            out += run == 1 ? QString::number(st.wSecond) : Padded(st.wSecond, 2);
        } else if (!date && letter == 't') {
            const QString marker = st.wHour < 12 ? locale.amText() : locale.pmText();
            out += run == 1 ? marker.left(1) : marker;
        } else {
            out += picture.mid(i - run, run);
        }
    }
    return out;
}

// Hands a text out the Windows way: the length with its zero when size is 0, else the text.
int Deliver(const QString &text, LPWSTR buffer, int size)
{
    const int needed = text.size() + 1;
    if (size == 0)
        return needed;
    if (size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, text.utf16(), sizeof(WCHAR) * size_t(text.size()));
    buffer[text.size()] = 0;
    return needed;
}

// Finds the locale and checks the output buffer; false when either is unusable.
bool StartCall(LCID lcid, LPWSTR buffer, int size, QLocale &locale, bool &invariant)
{
    return LocaleFor(lcid, locale, invariant) && size >= 0 && (size == 0 || buffer);
}

// The caller's time, or the local time now when none is given.
SYSTEMTIME TimeToFormat(const SYSTEMTIME *systemTime)
{
    SYSTEMTIME st;
    if (systemTime)
        st = *systemTime;
    else
        GetLocalTime(&st);
    return st;
}

int Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

} // namespace

int GetDateFormatW(LCID lcid, DWORD flags, const SYSTEMTIME *systemTime, LPCWSTR picture,
                   LPWSTR buffer, int size)
{
    QLocale locale;
    bool invariant;
    if (!StartCall(lcid, buffer, size, locale, invariant))
        return Fail(ERROR_INVALID_PARAMETER);
    if ((flags & ~DWORD(DATE_SHORTDATE | DATE_LONGDATE)) != 0
        || (flags & (DATE_SHORTDATE | DATE_LONGDATE)) == (DATE_SHORTDATE | DATE_LONGDATE)
        || (picture && flags != 0))
        return Fail(ERROR_INVALID_FLAGS);
    SYSTEMTIME st = TimeToFormat(systemTime);
    // The file-time calendar's range: no date before 1601 is formatted.
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1
        || st.wDay > DaysInMonth(st.wYear, st.wMonth))
        return Fail(ERROR_INVALID_PARAMETER);
    st.wDayOfWeek = WORD(WeekdayFromDays(DaysFromCivil(st.wYear, st.wMonth, st.wDay)));
    QString format;
    if (picture)
        format = QString::fromUtf16(picture);
    else if (flags & DATE_LONGDATE)
        format = LongDatePicture(locale, invariant);
    else
        format = ShortDatePicture(locale, invariant);
    return Deliver(Expand(format, st, locale, true), buffer, size);
}

int GetTimeFormatW(LCID lcid, DWORD flags, const SYSTEMTIME *systemTime, LPCWSTR picture,
                   LPWSTR buffer, int size)
{
    QLocale locale;
    bool invariant;
    if (!StartCall(lcid, buffer, size, locale, invariant))
        return Fail(ERROR_INVALID_PARAMETER);
    if ((flags & ~DWORD(TIME_NOSECONDS)) != 0 || (picture && flags != 0))
        return Fail(ERROR_INVALID_FLAGS);
    SYSTEMTIME st = TimeToFormat(systemTime);
    if (st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 || st.wMilliseconds > 999)
        return Fail(ERROR_INVALID_PARAMETER);
    const QString format = picture ? QString::fromUtf16(picture)
                                   : TimePicture(locale, invariant, !(flags & TIME_NOSECONDS));
    return Deliver(Expand(format, st, locale, false), buffer, size);
}
