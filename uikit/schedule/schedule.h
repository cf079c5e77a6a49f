// Arithmetic of scheduled runs: the next run of a series, the first run on a weekday, the order of
// two instants, the default earliest times, and the kind of a stored schedule.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <map>

/**
 * The next run of a series that starts at @p first and repeats every @p intervalSeconds.
 *
 * The present moment is the universal time when @p utc is true, the local time otherwise.
 * A @p first later than now is the answer itself; a @p first earlier than now with a positive
 * interval gives the first run of the series at or after now (now itself when the difference is a
 * whole number of intervals). With @p utc true @p first is read as universal time and a non-zero
 * answer is shifted to local time by the zone offset in force now.
 *
 * @return the DATE of the run, or 0.0 when @p first equals now, when it is earlier and the
 *         interval is not positive, and for a non-finite or out-of-range @p first
 */
TSUIKIT_EXPORT double CalculateNextScheduledRun(double first, int intervalSeconds, bool utc);

/**
 * The first run on @p weekday (0 = Sunday to 6 = Saturday) of a schedule that starts at @p start
 * and runs every @p weeks weeks. @p start.wDayOfWeek is taken as the caller set it.
 *
 * On the start's own weekday this is the next run at or after the present moment of the series
 * every 7 x @p weeks days from @p start (local time). On another weekday it is @p start moved to
 * that weekday, later in the same week or, for an earlier weekday, in the next cycle; the time of
 * day is kept and the result may lie in the past.
 *
 * @return the DATE, or 0.0 when @p start is not a valid calendar time from 1601 on or the result
 *         falls outside the DATE range
 */
TSUIKIT_EXPORT double GetWeeklyTimeSchedule(SYSTEMTIME start, int weekday, int weeks);

/**
 * @return true when @p a is at or after @p b, both DATEs compared at whole seconds; false when
 *         either is non-finite or out of the DATE range
 */
TSUIKIT_EXPORT bool CompareTime(double a, double b);

/**
 * @return the local time now plus 300 seconds, as a DATE
 */
TSUIKIT_EXPORT double GetMininumDefaultSchedRunTime();

/**
 * @return the local time now plus 600 seconds, as a DATE
 */
TSUIKIT_EXPORT double GetMininumDefaultSchedStartTime();

/**
 * The kind of a stored schedule, told by the smallest key of its map: true when that key begins
 * with "Once", "Daily", "Weekly", "Exchange_Weekly" or "Exchange-Once" respectively (case
 * sensitive). An empty map is none of them.
 */
TSUIKIT_EXPORT bool IsSchedVolumeOnceTime(const std::map<WString, double> &schedule);
TSUIKIT_EXPORT bool IsSchedVolumeDaily(const std::map<WString, double> &schedule);
TSUIKIT_EXPORT bool IsSchedVolumeWeekly(const std::map<WString, double> &schedule);
TSUIKIT_EXPORT bool IsSchedExchangeWeekly(const std::map<WString, double> &schedule);
TSUIKIT_EXPORT bool IsSchedExchangeOnce(const std::map<WString, double> &schedule);
