// ToCalendarTime: calendar time of a time point through a one-hour cache.
//
// Concurrency: the cache is one process-wide object, built on first use under
// the language's guard for function-local statics. Refills are serialised by
// its mutex, the library's only lock, which is held from the lookup until the
// new hour is published, libc calls included; no other lock is ever taken
// while it is held. Hits take no lock: the hour is also published as a
// snapshot of atomic words guarded by a version counter (a seqlock). A reader
// copies the words between two reads of the version and keeps the copy only
// if the version was even and unchanged, so a result never mixes two refills.
// Every shared access is atomic, so the cache is free of data races.
//
// Exactness: a hit returns exactly what libc returns for the same second. UTC
// hours are computed with integer arithmetic (POSIX time, as gmtime_r). A
// local refill caches a whole hour only when localtime_r agrees at both of its
// ends that the hour is regular (one offset, one abbreviation, sixty minutes
// of sixty seconds); otherwise it caches the single second it converted.
#include "calendar/calendar_time.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "calendar/civil.h"
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

// The second a time point shows is its truncated second; a negative time
// point inside a second shows the second below, unless the truncated second
// starts an hour.
struct Truncated {
  long Seconds;
  bool InsideNegativeSecond;
};

bool StartsHour(const std::tm& tm) { return tm.tm_min == 0 && tm.tm_sec == 0; }

// Advances the calendar time of an hour's first served second by `offset`
// seconds (0 to 3599).
void Advance(std::tm& tm, long offset) {
  tm.tm_min += static_cast<int>(offset / kSecondsPerMinute);
  tm.tm_sec += static_cast<int>(offset % kSecondsPerMinute);
}

constexpr std::size_t kTmWords = sizeof(std::tm) / sizeof(std::uint64_t);
static_assert(kTmWords * sizeof(std::uint64_t) == sizeof(std::tm));

struct HourCache {
  explicit HourCache(const CachedHour& hour) : Hour(hour) { Publish(); }

  // Called with Mutex held: makes Hour visible to lock-free readers.
  void Publish() {
    std::array<std::uint64_t, kTmWords> words{};
    std::memcpy(words.data(), &Hour.CalendarTime, sizeof Hour.CalendarTime);
    const std::uint64_t version = Version.load(std::memory_order_relaxed);
    Version.store(version + 1, std::memory_order_relaxed);
    // Release stores keep the odd version ahead of every published field.
    PublishedFrom.store(Hour.ServedFrom, std::memory_order_release);
    PublishedUntil.store(Hour.ServedUntil, std::memory_order_release);
    PublishedZone.store(Hour.Zone, std::memory_order_release);
    for (std::size_t i = 0; i < kTmWords; ++i) PublishedTime[i].store(words[i], std::memory_order_release);
    Version.store(version + 2, std::memory_order_release);
  }

  // The calendar time of the second shown, from the published hour without
  // the lock; false when the hour does not hold it or a refill is rewriting
  // the hour.
  bool TryRead(Truncated second, TimeZone zone, std::tm* out) const {
    const std::uint64_t version = Version.load(std::memory_order_acquire);
    const long from = PublishedFrom.load(std::memory_order_acquire);
    const long until = PublishedUntil.load(std::memory_order_acquire);
    if ((version & 1U) != 0 || PublishedZone.load(std::memory_order_acquire) != zone || second.Seconds < from ||
        second.Seconds >= until) {
      return false;
    }
    // Acquire loads keep every word ahead of the second version read. Each
    // word goes straight to its place in *out, which the caller discards
    // when this returns false.
    auto* bytes = reinterpret_cast<unsigned char*>(out);
    for (std::size_t i = 0; i < kTmWords; ++i) {
      const std::uint64_t word = PublishedTime[i].load(std::memory_order_acquire);
      std::memcpy(bytes + i * sizeof word, &word, sizeof word);
    }
    if (Version.load(std::memory_order_relaxed) != version) return false;
    long offset = second.Seconds - from;
    if (second.InsideNegativeSecond) {
      const bool starts_hour =
          out->tm_min + offset / kSecondsPerMinute == 0 && out->tm_sec + offset % kSecondsPerMinute == 0;
      if (!starts_hour) {
        if (offset == 0) return false;  // the second below lies in another hour
        --offset;
      }
    }
    Advance(*out, offset);
    return true;
  }

  std::mutex Mutex;
  CachedHour Hour;                 // guarded by Mutex
  long PreviousLocalMissHour = 0;  // guarded by Mutex
  // The hour of the last UTC miss; a hint read and written without the lock.
  std::atomic<long> PreviousUtcMissHour{0};
  // Hour as published to lock-free readers; Version is odd while it changes.
  std::atomic<std::uint64_t> Version{0};
  std::atomic<long> PublishedFrom{0};
  std::atomic<long> PublishedUntil{0};
  std::atomic<TimeZone> PublishedZone{TimeZone::Local};
  std::array<std::atomic<std::uint64_t>, kTmWords> PublishedTime{};
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

// Converting a local second is cheap next to checking that its hour is
// regular (two more conversions), so a miss checks the hour only when the
// miss before it fell in the same hour: random instants cost one localtime_r
// each, and a stream of instants caches each hour on its second miss.
// `previous_miss_hour` remembers that hour; null checks every hour.
CachedHour LocalHour(long seconds, long* previous_miss_hour) {
  std::tm at_seconds{};
  Convert(seconds, &at_seconds, TimeZone::Local);
  const long hour_start = seconds - at_seconds.tm_min * kSecondsPerMinute - at_seconds.tm_sec;
  const CachedHour single_second{seconds, seconds + 1, at_seconds, TimeZone::Local};
  if (previous_miss_hour != nullptr && *previous_miss_hour != hour_start) {
    *previous_miss_hour = hour_start;
    return single_second;
  }
  std::tm first{};
  std::tm last{};
  Convert(hour_start, &first, TimeZone::Local);
  Convert(hour_start + kSecondsPerHour - 1, &last, TimeZone::Local);
  const bool regular = first.tm_min == 0 && first.tm_sec == 0 && last.tm_min == 59 && last.tm_sec == 59 &&
                       SameHour(first, at_seconds) && SameHour(last, at_seconds);
  if (regular) return {hour_start, hour_start + kSecondsPerHour, first, TimeZone::Local};
  return single_second;
}

// Converts `seconds` and caches its hour. Throws what Convert throws for an
// invalid zone; the caller's cache is only replaced once this has returned.
CachedHour ConvertHour(long seconds, TimeZone zone, long* previous_local_miss_hour) {
  if (zone == TimeZone::Local) return LocalHour(seconds, previous_local_miss_hour);
  if (zone != TimeZone::UTC) {
    std::tm unused{};
    Convert(seconds, &unused, zone);  // refuses the zone
  }
  const long hour_start = civil::FloorDiv(seconds, kSecondsPerHour) * kSecondsPerHour;
  return {hour_start, hour_start + kSecondsPerHour, civil::UtcFromSeconds(hour_start), TimeZone::UTC};
}

HourCache& Cache() {
  // Starts with the local hour that holds the epoch; if that conversion
  // throws, the next call tries the initialisation again.
  static HourCache TimeCache(ConvertHour(0, TimeZone::Local, nullptr));
  return TimeCache;
}

bool Holds(const CachedHour& hour, long seconds, TimeZone zone) {
  return hour.Zone == zone && hour.ServedFrom <= seconds && seconds < hour.ServedUntil;
}

std::tm FieldsOf(const CachedHour& hour, long seconds) {
  std::tm result = hour.CalendarTime;
  Advance(result, seconds - hour.ServedFrom);
  return result;
}

// Calendar time of second `seconds`, refilling the cache on a miss. Called
// with the cache's mutex held.
std::tm LookupLocked(HourCache& cache, long seconds, TimeZone zone) {
  if (!Holds(cache.Hour, seconds, zone)) {
    cache.Hour = ConvertHour(seconds, zone, &cache.PreviousLocalMissHour);
    cache.Publish();
  }
  return FieldsOf(cache.Hour, seconds);
}

Truncated Truncate(TimePoint t) {
  const auto count = t.time_since_epoch().count();
  return {count / kNanosecondsPerSecond, count % kNanosecondsPerSecond < 0};
}

// UTC fields are plain arithmetic, cheaper than a refill under the lock. A
// UTC miss refills the cache only when the miss before it fell in the same
// hour: random instants take no lock, and a stream of instants is cached on
// its second miss. False when the caller should refill.
bool ReadUtcWithoutRefill(HourCache& cache, Truncated second, std::tm* out) {
  const long hour = civil::FloorDiv(second.Seconds, kSecondsPerHour);
  if (cache.PreviousUtcMissHour.load(std::memory_order_relaxed) == hour) return false;
  cache.PreviousUtcMissHour.store(hour, std::memory_order_relaxed);
  const bool starts_hour = second.Seconds == hour * kSecondsPerHour;
  *out = civil::UtcFromSeconds(second.InsideNegativeSecond && !starts_hour ? second.Seconds - 1 : second.Seconds);
  return true;
}

}  // namespace

std::tm CalendarTimeOfSecond(long seconds, TimeZone zone) {
  HourCache& cache = Cache();
  std::tm result;
  if (!cache.TryRead({seconds, false}, zone, &result) &&
      !(zone == TimeZone::UTC && ReadUtcWithoutRefill(cache, {seconds, false}, &result))) {
    const std::lock_guard lock(cache.Mutex);
    result = LookupLocked(cache, seconds, zone);
  }
  return result;
}

std::tm ToCalendarTime(TimePoint t, TimeZone zone) {
  const Truncated truncated = Truncate(t);
  HourCache& cache = Cache();
  std::tm result;
  if (!cache.TryRead(truncated, zone, &result) &&
      !(zone == TimeZone::UTC && ReadUtcWithoutRefill(cache, truncated, &result))) {
    const std::lock_guard lock(cache.Mutex);
    result = LookupLocked(cache, truncated.Seconds, zone);
    if (truncated.InsideNegativeSecond && !StartsHour(result)) {
      result = LookupLocked(cache, truncated.Seconds - 1, zone);
    }
  }
  return result;
}

}  // namespace orvik::chrono
