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
#include <optional>

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

constexpr std::size_t kSnapshotWords = (sizeof(CachedHour) + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t);

struct HourCache {
  explicit HourCache(const CachedHour& hour) : Hour(hour) { Publish(); }

  // Called with Mutex held: makes Hour visible to lock-free readers.
  void Publish() {
    std::array<std::uint64_t, kSnapshotWords> words{};
    std::memcpy(words.data(), &Hour, sizeof Hour);
    const std::uint64_t version = Version.load(std::memory_order_relaxed);
    Version.store(version + 1, std::memory_order_relaxed);
    // Release stores keep the odd version ahead of every word.
    for (std::size_t i = 0; i < kSnapshotWords; ++i) Snapshot[i].store(words[i], std::memory_order_release);
    Version.store(version + 2, std::memory_order_release);
  }

  // A consistent copy of the published hour, or nothing while a refill is
  // rewriting it.
  [[nodiscard]] std::optional<CachedHour> Read() const {
    const std::uint64_t before = Version.load(std::memory_order_acquire);
    if ((before & 1U) != 0) return std::nullopt;
    std::array<std::uint64_t, kSnapshotWords> words{};
    // Acquire loads keep every word ahead of the second version read.
    for (std::size_t i = 0; i < kSnapshotWords; ++i) words[i] = Snapshot[i].load(std::memory_order_acquire);
    if (Version.load(std::memory_order_relaxed) != before) return std::nullopt;
    CachedHour hour;
    std::memcpy(&hour, words.data(), sizeof hour);
    return hour;
  }

  std::mutex Mutex;
  CachedHour Hour;  // guarded by Mutex
  std::atomic<std::uint64_t> Version{0};
  std::array<std::atomic<std::uint64_t>, kSnapshotWords> Snapshot{};
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

CachedHour LocalHour(long seconds) {
  std::tm at_seconds{};
  Convert(seconds, &at_seconds, TimeZone::Local);
  const long hour_start = seconds - at_seconds.tm_min * kSecondsPerMinute - at_seconds.tm_sec;
  std::tm first{};
  std::tm last{};
  Convert(hour_start, &first, TimeZone::Local);
  Convert(hour_start + kSecondsPerHour - 1, &last, TimeZone::Local);
  const bool regular = first.tm_min == 0 && first.tm_sec == 0 && last.tm_min == 59 && last.tm_sec == 59 &&
                       SameHour(first, at_seconds) && SameHour(last, at_seconds);
  if (regular) return {hour_start, hour_start + kSecondsPerHour, first, TimeZone::Local};
  return {seconds, seconds + 1, at_seconds, TimeZone::Local};
}

// Converts `seconds` and caches its hour. Throws what Convert throws for an
// invalid zone; the caller's cache is only replaced once this has returned.
CachedHour ConvertHour(long seconds, TimeZone zone) {
  if (zone == TimeZone::Local) return LocalHour(seconds);
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
  static HourCache TimeCache(ConvertHour(0, TimeZone::Local));
  return TimeCache;
}

bool Holds(const CachedHour& hour, long seconds, TimeZone zone) {
  return hour.Zone == zone && hour.ServedFrom <= seconds && seconds < hour.ServedUntil;
}

std::tm FieldsOf(const CachedHour& hour, long seconds) {
  const long offset = seconds - hour.ServedFrom;  // 0 to 3599
  std::tm result = hour.CalendarTime;
  result.tm_min += static_cast<int>(offset / kSecondsPerMinute);
  result.tm_sec += static_cast<int>(offset % kSecondsPerMinute);
  return result;
}

bool StartsHour(const std::tm& tm) { return tm.tm_min == 0 && tm.tm_sec == 0; }

// Calendar time of second `seconds`, refilling the cache on a miss. Called
// with the cache's mutex held.
std::tm LookupLocked(HourCache& cache, long seconds, TimeZone zone) {
  if (!Holds(cache.Hour, seconds, zone)) {
    cache.Hour = ConvertHour(seconds, zone);
    cache.Publish();
  }
  return FieldsOf(cache.Hour, seconds);
}

// The second a time point shows is its truncated second; a negative time
// point inside a second shows the second below, unless the truncated second
// starts an hour.
struct Truncated {
  long Seconds;
  bool InsideNegativeSecond;
};

Truncated Truncate(TimePoint t) {
  const auto count = t.time_since_epoch().count();
  return {count / kNanosecondsPerSecond, count % kNanosecondsPerSecond < 0};
}

}  // namespace

std::tm CalendarTimeOfSecond(long seconds, TimeZone zone) {
  HourCache& cache = Cache();
  if (const auto hour = cache.Read(); hour && Holds(*hour, seconds, zone)) return FieldsOf(*hour, seconds);
  const std::lock_guard lock(cache.Mutex);
  return LookupLocked(cache, seconds, zone);
}

std::tm ToCalendarTime(TimePoint t, TimeZone zone) {
  const Truncated truncated = Truncate(t);
  HourCache& cache = Cache();
  if (const auto hour = cache.Read(); hour && Holds(*hour, truncated.Seconds, zone)) {
    const std::tm at_seconds = FieldsOf(*hour, truncated.Seconds);
    if (!truncated.InsideNegativeSecond || StartsHour(at_seconds)) return at_seconds;
    if (Holds(*hour, truncated.Seconds - 1, zone)) return FieldsOf(*hour, truncated.Seconds - 1);
  }
  const std::lock_guard lock(cache.Mutex);
  const std::tm at_seconds = LookupLocked(cache, truncated.Seconds, zone);
  if (!truncated.InsideNegativeSecond || StartsHour(at_seconds)) return at_seconds;
  return LookupLocked(cache, truncated.Seconds - 1, zone);
}

}  // namespace orvik::chrono
