// Reference answers for the calendar tests, straight from libc, and a
// comparison of every std::tm member.
#ifndef ORVIK_CHRONO_TESTS_CALENDAR_REFERENCE_H_
#define ORVIK_CHRONO_TESTS_CALENDAR_REFERENCE_H_

#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "calendar/time_units.h"

namespace orvik::chrono::testing {

inline constexpr std::int64_t kSecond = internal::kNanosecondsPerSecond;
inline constexpr std::int64_t kHour = internal::kSecondsPerHour * kSecond;

inline TimePoint At(std::int64_t nanoseconds) { return TimePoint(std::chrono::nanoseconds(nanoseconds)); }

// Changes the process's zone setting (no other thread runs), then ends the
// window in which a cached local hour may still answer for the old setting,
// by local calls in two hours, one of which the cache cannot hold.
inline void UseZone(const char* tz) {
  ::setenv("TZ", tz, 1);  // NOLINT(concurrency-mt-unsafe)
  ::tzset();
  for (const TimePoint t : {TimePoint::min(), TimePoint::max()}) ToCalendarTime(t, TimeZone::Local);
}

inline std::tm Libc(long seconds, TimeZone zone) {
  std::tm tm{};
  return *(zone == TimeZone::UTC ? gmtime_r(&seconds, &tm) : localtime_r(&seconds, &tm));
}

inline std::string Describe(const std::tm& tm) {
  char text[128];
  std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d wday %d yday %d isdst %d gmtoff %ld %s",
                tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday, tm.tm_yday,
                tm.tm_isdst, tm.tm_gmtoff, tm.tm_zone == nullptr ? "-" : tm.tm_zone);
  return text;
}

// ToCalendarTime against libc for the second shown: the truncated second, or
// for a negative time point inside a second the one below, unless the
// truncated second starts an hour.
inline ::testing::AssertionResult MatchesLibc(TimePoint t, TimeZone zone) {
  const std::int64_t count = t.time_since_epoch().count();
  const std::tm truncated = Libc(count / kSecond, zone);
  const bool below = count % kSecond < 0 && (truncated.tm_min != 0 || truncated.tm_sec != 0);
  const std::string got = Describe(ToCalendarTime(t, zone));
  if (got == Describe(below ? Libc(count / kSecond - 1, zone) : truncated)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << count << " ns, zone " << static_cast<int>(zone) << ": " << got;
}

}  // namespace orvik::chrono::testing

#endif  // ORVIK_CHRONO_TESTS_CALENDAR_REFERENCE_H_
