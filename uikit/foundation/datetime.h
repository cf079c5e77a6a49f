// Automation dates (DATE) to and from QDateTime, and the user's local date and time texts.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QDateTime>
#include <QString>

/**
 * The DATE that stands for "no date" in the QDateTime conversions: 1 January 4501, 00:00.
 */
constexpr double TsNoDate = 949998.0;

/**
 * Converts the wall-clock fields of @p dateTime (whatever its time zone setting) to a DATE by the OLE
 * Automation rule. Seconds are whole; milliseconds are dropped.
 *
 * @return the DATE, or TsNoDate (949998.0) for an invalid or null @p dateTime and for a year
 *         outside 100 to 9999
 */
TSUIKIT_EXPORT double GetDATEFromQDateTime(const QDateTime &dateTime);

/**
 * Converts a DATE to a QDateTime in local time (Qt::LocalTime), the DATE's wall-clock fields taken
 * as they stand.
 *
 * @return the QDateTime, or a null QDateTime for a DATE at or above TsNoDate, a non-finite DATE,
 *         or one outside 1 January 100 to 31 December 9999
 */
TSUIKIT_EXPORT QDateTime GetQDateTimeFromDATE(double date);

/**
 * The date of @p date in the user's short date format (for example 1/4/2008 or 04.01.2008).
 * No conversion between universal and local time is made.
 *
 * @return the text, or an empty text for the DATE 0.0 (no date set), for a DATE that cannot be
 *         converted, or when the formatter gives nothing (as for dates before 1601)
 */
TSUIKIT_EXPORT WString GetLocalDateString(double date);

/**
 * The time of @p date in the user's time format, with seconds (for example 3:00:00 AM).
 *
 * @return the text, or an empty text in the cases of GetLocalDateString()
 */
TSUIKIT_EXPORT WString GetLocalTimeString(double date);

/**
 * GetLocalDateString() + ", " + GetLocalTimeString(), in every locale. A half that cannot be
 * formatted stays empty and the separator is kept.
 *
 * @return the text, or an empty text for the DATE 0.0 and for a DATE that cannot be converted
 *         (non-finite or out of range)
 */
TSUIKIT_EXPORT WString GetLocalDateTimeString(double date);

/**
 * The weekday name of @p index (0 to 6) from the language module; which weekday index 0 names is
 * the module's choice.
 *
 * @return the name, or an empty text for any other index or a missing text
 */
TSUIKIT_EXPORT QString GetDayOfWeek(int index);

/**
 * The month name of @p index (0 = January to 11 = December) from the language module.
 *
 * @return the name, or an empty text for any other index or a missing text
 */
TSUIKIT_EXPORT WString GetMonthOfYear(int index);
