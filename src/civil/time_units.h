// Internal: units of time, the whole seconds that a time point can hold, and
// the cuts of a time point to its whole second.
#ifndef ORVIK_CHRONO_SRC_CIVIL_TIME_UNITS_H_
#define ORVIK_CHRONO_SRC_CIVIL_TIME_UNITS_H_

#include <orvik/chrono/chrono.h>

#include <cstdint>

namespace orvik::chrono::internal {

inline constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
inline constexpr std::int64_t kSecondsPerMinute = 60;
inline constexpr std::int64_t kMinutesPerHour = 60;
inline constexpr std::int64_t kSecondsPerHour = kSecondsPerMinute * kMinutesPerHour;
inline constexpr std::int64_t kHoursPerDay = 24;
inline constexpr std::int64_t kSecondsPerDay = kHoursPerDay * kSecondsPerHour;

// The whole seconds from the smallest to the largest time point: every count
// in this range times kNanosecondsPerSecond fits a time point.
inline constexpr std::int64_t kMinTimePointSeconds = -9223372036;
inline constexpr std::int64_t kMaxTimePointSeconds = 9223372036;

// Wide enough for any seconds count in nanoseconds.
__extension__ using Int128 = __int128;

// The whole second of a time point, truncated toward zero: -1 ns is second 0,
// -1.5 s is second -1.
constexpr long TruncatedSeconds(TimePoint t) { return t.time_since_epoch().count() / kNanosecondsPerSecond; }

// A time point as the second that holds it, floored toward minus infinity,
// and the nanoseconds from that second's start.
struct FlooredTime {
  long Seconds;
  unsigned Nanoseconds;  // 0 to 999999999
};

// Never forms Seconds * kNanosecondsPerSecond, which does not fit for the
// smallest time point.
constexpr FlooredTime FloorToSecond(TimePoint t) {
  long seconds = TruncatedSeconds(t);
  std::int64_t nanoseconds = t.time_since_epoch().count() % kNanosecondsPerSecond;
  if (nanoseconds < 0) {
    --seconds;
    nanoseconds += kNanosecondsPerSecond;
  }
  return {seconds, static_cast<unsigned>(nanoseconds)};
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_CIVIL_TIME_UNITS_H_
