// Internal: the library's one conversion of a seconds count to calendar time.
#ifndef ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_
#define ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_

#include <orvik/chrono/chrono.h>

#include <ctime>

#include "calendar/civil.h"
#include "calendar/time_units.h"

namespace orvik::chrono::internal {

// Throw std::invalid_argument kUnknownTimeZone and std::runtime_error
// kLocalTimeFailed (messages.h).
[[noreturn]] void ThrowUnknownZone();
[[noreturn]] void ThrowConversionFailed();

// Fills `out` with the calendar time of `seconds`: UTC by POSIX arithmetic
// (no leap seconds, whatever the zone setting), local time through
// localtime_r, every member as libc leaves it. Throws std::invalid_argument
// kUnknownTimeZone for any other zone, without touching `out`, and
// std::runtime_error kLocalTimeFailed when localtime_r fails. Inline, so that
// a UTC miss is arithmetic and nothing else.
inline void Convert(long seconds, std::tm& out, TimeZone zone) {
  if (zone == TimeZone::UTC) {
    civil::UtcFromSeconds(seconds, out);
  } else if (zone != TimeZone::Local) {
    ThrowUnknownZone();
  } else if (localtime_r(&seconds, &out) == nullptr) {
    ThrowConversionFailed();
  }
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_
