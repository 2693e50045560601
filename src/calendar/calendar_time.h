// Internal: calendar time of whole seconds through the calling thread's cache.
#ifndef ORVIK_CHRONO_SRC_CALENDAR_CALENDAR_TIME_H_
#define ORVIK_CHRONO_SRC_CALENDAR_CALENDAR_TIME_H_

#include <orvik/chrono/chrono.h>

#include <ctime>

namespace orvik::chrono::internal {

// Calendar time of a whole second through the same cache as ToCalendarTime:
// exactly what Convert gives for `seconds`. Takes seconds rather than a time
// point so that callers can ask for the second below the smallest time point.
// False, with `out` unspecified, for a zone other than Local and UTC or where
// localtime_r fails; ThrowNoCalendarTime (convert.h) throws why.
bool TryCalendarTimeOfSecond(long seconds, TimeZone zone, std::tm& out) noexcept;

// ToCalendarTime's result in `out`, or false where it throws.
bool TryCalendarTime(TimePoint t, TimeZone zone, std::tm& out) noexcept;

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_CALENDAR_CALENDAR_TIME_H_
