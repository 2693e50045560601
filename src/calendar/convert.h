// Internal: the library's one conversion of a seconds count to calendar time.
#ifndef ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_
#define ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_

#include <orvik/chrono/chrono.h>

#include <cstdint>
#include <ctime>

namespace orvik::chrono {

inline constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

// Fills *out through gmtime_r (UTC) or localtime_r (Local), every member as libc
// leaves it. Throws std::invalid_argument "Unknown timezone type" for any other
// zone, without touching *out, and std::runtime_error when libc fails.
void Convert(const long& seconds, std::tm* out, TimeZone zone);

}  // namespace orvik::chrono

#endif  // ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_
