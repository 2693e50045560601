// Reference answers for calendar tests, straight from libc, and a comparison
// of every std::tm member.
#ifndef ORVIK_CHRONO_TESTS_CALENDAR_REFERENCE_H_
#define ORVIK_CHRONO_TESTS_CALENDAR_REFERENCE_H_

#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>

namespace orvik::chrono::testing {

inline constexpr std::int64_t kSecond = 1'000'000'000;
inline constexpr std::int64_t kHour = 3600 * kSecond;

inline std::tm LibcCalendarTime(long seconds, TimeZone zone) {
  std::tm tm{};
  if (zone == TimeZone::UTC) {
    gmtime_r(&seconds, &tm);
  } else {
    localtime_r(&seconds, &tm);
  }
  return tm;
}

// The second a time point shows: its truncated second, or for a negative time
// point inside a second the second below, unless the truncated second starts
// an hour.
inline long SecondShown(TimePoint t, TimeZone zone) {
  const std::int64_t count = t.time_since_epoch().count();
  const long truncated = count / kSecond;
  if (count % kSecond >= 0) return truncated;
  const std::tm at = LibcCalendarTime(truncated, zone);
  return at.tm_min == 0 && at.tm_sec == 0 ? truncated : truncated - 1;
}

inline std::tm ExpectedCalendarTime(TimePoint t, TimeZone zone) { return LibcCalendarTime(SecondShown(t, zone), zone); }

inline std::string Describe(const std::tm& tm) {
  char text[128];
  std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d wday %d yday %d isdst %d gmtoff %ld zone %s",
                tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday, tm.tm_yday,
                tm.tm_isdst, tm.tm_gmtoff, tm.tm_zone == nullptr ? "(null)" : tm.tm_zone);
  return text;
}

inline bool SameTm(const std::tm& a, const std::tm& b) {
  const bool same_zone =
      (a.tm_zone == nullptr || b.tm_zone == nullptr) ? a.tm_zone == b.tm_zone : std::strcmp(a.tm_zone, b.tm_zone) == 0;
  return a.tm_sec == b.tm_sec && a.tm_min == b.tm_min && a.tm_hour == b.tm_hour && a.tm_mday == b.tm_mday &&
         a.tm_mon == b.tm_mon && a.tm_year == b.tm_year && a.tm_wday == b.tm_wday && a.tm_yday == b.tm_yday &&
         a.tm_isdst == b.tm_isdst && a.tm_gmtoff == b.tm_gmtoff && same_zone;
}

inline ::testing::AssertionResult MatchesLibc(TimePoint t, TimeZone zone, const std::tm& actual) {
  const std::tm expected = ExpectedCalendarTime(t, zone);
  if (SameTm(actual, expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "t = " << t.time_since_epoch().count() << " ns, zone "
                                       << static_cast<int>(zone) << ": got " << Describe(actual) << ", want "
                                       << Describe(expected);
}

inline TimePoint Nanoseconds(std::int64_t count) { return TimePoint(std::chrono::nanoseconds(count)); }

// Replaces whatever hour the cache holds by a UTC hour, so that no local hour
// cached under an earlier zone setting survives: a UTC hour is cached on its
// second miss.
inline void CacheUtcHour() {
  ToCalendarTime(Nanoseconds(0), TimeZone::UTC);
  ToCalendarTime(Nanoseconds(0), TimeZone::UTC);
}

}  // namespace orvik::chrono::testing

#endif  // ORVIK_CHRONO_TESTS_CALENDAR_REFERENCE_H_
