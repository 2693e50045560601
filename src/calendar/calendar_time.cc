// ToCalendarTime: calendar time of a time point through a one-hour cache.
//
// Concurrency: the cache is one process-wide object, built on first use under
// the language's guard for function-local statics. Its mutex is held from the
// hit test until the result has been copied out, refills (and their libc
// calls) included, so a result never mixes two refills. It is the library's
// only lock and no other lock is taken while it is held.
//
// Exactness: a hit returns exactly what libc returns for the same second. A
// refill caches a whole hour only when libc agrees at both of its ends that
// the hour is regular (one offset, one abbreviation, sixty minutes of sixty
// seconds); otherwise it caches the single second it converted.
#include "calendar/calendar_time.h"

#include <cstring>
#include <mutex>

#include "calendar/convert.h"

namespace orvik::chrono {
namespace {

constexpr long kSecondsPerMinute = 60;
constexpr long kSecondsPerHour = 3600;

// Seconds in [ServedFrom, ServedUntil) have the calendar time of ServedFrom
// advanced by their distance from it, never past the end of its hour. Seconds
// counts rather than time points, so the first and last hours of the time
// point's range need no special case.
struct CachedHour {
  long ServedFrom;       // a whole hour's start, or a single irregular second
  long ServedUntil;      // at most ServedFrom + 3600
  std::tm CalendarTime;  // libc's fields of ServedFrom
  TimeZone Zone;
};

struct HourCache {
  std::mutex Mutex;
  CachedHour Hour;
};

bool SameOffset(const std::tm& a, const std::tm& b) {
  if (a.tm_gmtoff != b.tm_gmtoff || a.tm_isdst != b.tm_isdst) return false;
  if (a.tm_zone == b.tm_zone) return true;
  return a.tm_zone != nullptr && b.tm_zone != nullptr && std::strcmp(a.tm_zone, b.tm_zone) == 0;
}

bool SameHour(const std::tm& a, const std::tm& b) {
  return a.tm_year == b.tm_year && a.tm_yday == b.tm_yday && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday &&
         a.tm_wday == b.tm_wday && a.tm_hour == b.tm_hour && SameOffset(a, b);
}

// Converts `seconds` and caches its hour. Throws what Convert throws; the
// caller's cache is only replaced once this has returned.
CachedHour ConvertHour(long seconds, TimeZone zone) {
  std::tm at_seconds{};
  Convert(seconds, &at_seconds, zone);
  const long hour_start = seconds - at_seconds.tm_min * kSecondsPerMinute - at_seconds.tm_sec;

  std::tm first{};
  std::tm last{};
  Convert(hour_start, &first, zone);
  Convert(hour_start + kSecondsPerHour - 1, &last, zone);
  const bool regular = first.tm_min == 0 && first.tm_sec == 0 && last.tm_min == 59 && last.tm_sec == 59 &&
                       SameHour(first, at_seconds) && SameHour(last, at_seconds);
  if (regular) return {hour_start, hour_start + kSecondsPerHour, first, zone};
  return {seconds, seconds + 1, at_seconds, zone};
}

HourCache& Cache() {
  // Starts with the local hour that holds the epoch; if that conversion
  // throws, the next call tries the initialisation again.
  static HourCache TimeCache{{}, ConvertHour(0, TimeZone::Local)};
  return TimeCache;
}

// Calendar time of second `seconds`, from the cache or by a refill. Called
// with the cache's mutex held.
std::tm Lookup(CachedHour& hour, long seconds, TimeZone zone) {
  const bool hit = hour.Zone == zone && hour.ServedFrom <= seconds && seconds < hour.ServedUntil;
  if (!hit) hour = ConvertHour(seconds, zone);
  const long offset = seconds - hour.ServedFrom;  // 0 to 3599
  std::tm result = hour.CalendarTime;
  result.tm_min += static_cast<int>(offset / kSecondsPerMinute);
  result.tm_sec += static_cast<int>(offset % kSecondsPerMinute);
  return result;
}

}  // namespace

std::tm CalendarTimeOfSecond(long seconds, TimeZone zone) {
  HourCache& cache = Cache();
  const std::lock_guard lock(cache.Mutex);
  return Lookup(cache.Hour, seconds, zone);
}

std::tm ToCalendarTime(TimePoint t, TimeZone zone) {
  const auto count = t.time_since_epoch().count();
  const long seconds = count / kNanosecondsPerSecond;  // truncated toward zero
  const bool inside_negative_second = count % kNanosecondsPerSecond < 0;

  HourCache& cache = Cache();
  const std::lock_guard lock(cache.Mutex);
  const std::tm at_seconds = Lookup(cache.Hour, seconds, zone);
  // Truncation moved a negative time point up to `seconds`; it shows the
  // second below instead, unless `seconds` starts an hour.
  if (!inside_negative_second || (at_seconds.tm_min == 0 && at_seconds.tm_sec == 0)) return at_seconds;
  return Lookup(cache.Hour, seconds - 1, zone);
}

}  // namespace orvik::chrono
