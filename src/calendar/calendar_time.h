// Internal: calendar time of whole seconds through the calling thread's cache.
#ifndef ORVIK_CHRONO_SRC_CALENDAR_CALENDAR_TIME_H_
#define ORVIK_CHRONO_SRC_CALENDAR_CALENDAR_TIME_H_

#include <orvik/chrono/chrono.h>

#include <ctime>

namespace orvik::chrono::internal {

// Calendar time of a whole second through the same cache as ToCalendarTime:
// exactly what Convert gives for `seconds`. Takes seconds rather than a time
// point so that callers can ask for the second below the smallest time point.
// Throws what Convert throws.
std::tm CalendarTimeOfSecond(long seconds, TimeZone zone);

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_CALENDAR_CALENDAR_TIME_H_
