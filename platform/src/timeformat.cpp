// GetDateFormatW and GetTimeFormatW over Qt's locale data for the process locale.
#include "tsw/time.h"

#include "calendar.h"

#include <QLocale>
#include <QRegExp>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

using namespace tsplatform;

namespace {

// The name of the locale whose time conventions the process follows: LC_ALL, then LC_TIME, then
// LANG, as the C library resolves them; "C" when none is set.
const char *ProcessLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return "C";
}

// The locale of that name. C and POSIX read as US English, as on a default Windows installation.
QLocale LocaleNamed(const char *name)
{
    QString locale = QString::fromLatin1(name);
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
QString ShortDatePicture(const QLocale &locale)
{
    QString picture = PictureFromQtFormat(locale.dateFormat(QLocale::ShortFormat));
    if (!picture.contains(QLatin1String("yyy")))
        picture.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return picture;
}

// The time with seconds, in the hour style and separators of the locale's short time: the seconds
// follow the minutes with the separator that stands between hours and minutes.
QString TimePicture(const QLocale &locale)
{
    QString picture = PictureFromQtFormat(locale.timeFormat(QLocale::ShortFormat));
    const int minutes = picture.indexOf(QLatin1Char('m'));
    const int hours = picture.indexOf(QRegExp(QStringLiteral("[hH]")));
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

// Expands a Windows picture. Letters that are not date (or time) letters and quoted runs are
// copied as they stand.
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
    if (size < needed)
        return 0;
    std::memcpy(buffer, text.utf16(), sizeof(WCHAR) * size_t(text.size()));
    buffer[text.size()] = 0;
    return needed;
}

// Checks the arguments every call shares: the one locale, no flags, no picture, a usable buffer.
bool ValidCall(LCID lcid, DWORD flags, LPCWSTR picture, LPWSTR buffer, int size)
{
    return lcid == LOCALE_USER_DEFAULT && flags == 0 && !picture && size >= 0 && (size == 0 || buffer);
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

// The locale and its two pictures, worked out once for each locale name the process uses (per
// thread, so no lock is needed): lists format a date for each of their rows.
struct Conventions {
    std::string name;
    QLocale locale;
    QString datePicture;
    QString timePicture;
};

const Conventions &ProcessConventions()
{
    thread_local std::unique_ptr<Conventions> cached;
    const char *name = ProcessLocaleName();
    if (!cached || cached->name != name) {
        auto fresh = std::make_unique<Conventions>();
        fresh->name = name;
        fresh->locale = LocaleNamed(name);
        fresh->datePicture = ShortDatePicture(fresh->locale);
        fresh->timePicture = TimePicture(fresh->locale);
        cached = std::move(fresh);
    }
    return *cached;
}

} // namespace

int GetDateFormatW(LCID lcid, DWORD flags, const SYSTEMTIME *systemTime, LPCWSTR picture,
                   LPWSTR buffer, int size)
{
    if (!ValidCall(lcid, flags, picture, buffer, size))
        return 0;
    SYSTEMTIME st = TimeToFormat(systemTime);
    // The file-time calendar's range: no date before 1601 is formatted.
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1
        || st.wDay > DaysInMonth(st.wYear, st.wMonth))
        return 0;
    st.wDayOfWeek = WORD(WeekdayFromDays(DaysFromCivil(st.wYear, st.wMonth, st.wDay)));
    const Conventions &conventions = ProcessConventions();
    return Deliver(Expand(conventions.datePicture, st, conventions.locale, true), buffer, size);
}

int GetTimeFormatW(LCID lcid, DWORD flags, const SYSTEMTIME *systemTime, LPCWSTR picture,
                   LPWSTR buffer, int size)
{
    if (!ValidCall(lcid, flags, picture, buffer, size))
        return 0;
    const SYSTEMTIME st = TimeToFormat(systemTime);
    if (st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 || st.wMilliseconds > 999)
        return 0;
    const Conventions &conventions = ProcessConventions();
    return Deliver(Expand(conventions.timePicture, st, conventions.locale, false), buffer, size);
}
