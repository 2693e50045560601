// Internal: the library's one conversion of a seconds count to calendar time.
#ifndef ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_
#define ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_

#include <orvik/chrono/chrono.h>

#include <ctime>

#include "calendar/time_units.h"

namespace orvik::chrono {
namespace internal {

// Fills `out` with the calendar time of `seconds`: UTC by POSIX arithmetic
// (no leap seconds, whatever the zone setting), local time through
// localtime_r, every member as libc leaves it. Throws std::invalid_argument
// "Unknown timezone type" for any other zone, without touching `out`, and
// std::runtime_error "Failed to convert the timestamp to local time" when
// localtime_r fails.
void Convert(long seconds, std::tm& out, TimeZone zone);

}  // namespace internal

// The parsers still name the unit from here.
using internal::kNanosecondsPerSecond;

}  // namespace orvik::chrono

#endif  // ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_
