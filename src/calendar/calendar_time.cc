// ToCalendarTime: calendar time of a time point through a process-wide cache
// that holds one hour of each zone.
//
// Concurrency: hits take no lock and write nothing. Each zone's hour is
// published as atomic words guarded by a version counter of its own (a
// seqlock), on cache lines that only publishing writes: a reader copies the
// words between two reads of the version and keeps the copy only if the
// version was even and unchanged, so a result never mixes two hours. Every
// shared word is atomic, so the cache is free of data races. Publishing is
// serialised by the cache's mutex, the library's only lock, which is held only
// while a new hour is checked and published; no other lock is taken while it
// is held.
//
// Misses: a miss answers with Convert's fields for its one second (UTC by
// arithmetic, local time by one localtime_r), without the lock, and writes
// only its own thread's hint, the quarter hour of its last miss in the zone.
// A thread's second miss in one quarter hour takes the lock, checks that its
// hour is regular (for local time: localtime_r agrees at both of its ends on
// one offset, one abbreviation and sixty minutes of sixty seconds) and
// publishes it. A local miss also ends the published local hour, if there is
// one: after a change of the zone setting, that hour may answer for the old
// zone only until the first local call that it does not serve.
#include "calendar/calendar_time.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <limits>
#include <mutex>

#include "calendar/convert.h"
#include "calendar/time_units.h"

namespace orvik::chrono {
namespace internal {
namespace {

// The From of a published hour that has ended, or of none yet: no second lies
// in the hour that starts there, since every second is above it by far more
// than an hour.
constexpr long kEnded = std::numeric_limits<long>::min();

// Apart by this much, two objects never share a cache line, nor a pair of
// lines that the processor fetches together.
constexpr std::size_t kCacheLinePair = 128;

constexpr std::size_t kTmWords = sizeof(std::tm) / sizeof(std::uint64_t);
static_assert(kTmWords * sizeof(std::uint64_t) == sizeof(std::tm));

bool StartsHour(const std::tm& tm) { return tm.tm_min == 0 && tm.tm_sec == 0; }

// The second that starts the hour of `seconds`, whose fields are `at`, when
// no leap second comes between. In int: minutes and seconds are at most 59
// and 60.
long HourStart(long seconds, const std::tm& at) {
  return seconds - (at.tm_min * static_cast<int>(kSecondsPerMinute) + at.tm_sec);
}

// The number of the quarter hour that holds `seconds`, for every count from
// kMinTimePointSeconds - 1 up: biased by a multiple of a quarter hour to be
// positive, so that the division is unsigned and no quarter hour is number 0.
// A quarter hour lies inside one hour of UTC and of every zone whose offset is
// a whole number of quarter hours, as is every offset in use today.
constexpr std::uint64_t QuarterHour(long seconds) {
  constexpr std::uint64_t kSecondsPerQuarterHour = kSecondsPerHour / 4;
  constexpr std::uint64_t kBias = kSecondsPerQuarterHour << 24;
  static_assert(kBias > static_cast<std::uint64_t>(-(kMinTimePointSeconds - 1)) + kSecondsPerQuarterHour);
  return (static_cast<std::uint64_t>(seconds) + kBias) / kSecondsPerQuarterHour;
}

// One zone's published hour: seconds in [From, From + kSecondsPerHour) have
// the calendar time of From, CalendarTime, advanced by their distance from it.
// Seconds counts rather than time points, so the first and last hours of the
// time point's range need no special case.
struct alignas(kCacheLinePair) PublishedHour {
  // Called with the cache's mutex held.
  void Publish(long from, const std::tm& calendar_time) {
    std::array<std::uint64_t, kTmWords> words{};
    std::memcpy(words.data(), &calendar_time, sizeof calendar_time);
    const std::uint64_t version = Version.load(std::memory_order_relaxed);
    Version.store(version + 1, std::memory_order_relaxed);
    // Release stores keep the odd version ahead of every published field.
    From.store(from, std::memory_order_release);
    const std::uint64_t* word = words.data();
    for (std::atomic<std::uint64_t>& published : CalendarTime) published.store(*word++, std::memory_order_release);
    Version.store(version + 2, std::memory_order_release);
  }

  // The calendar time of `seconds` from the published hour, without the lock;
  // false when the hour does not hold it or is being rewritten.
  bool TryRead(long seconds, std::tm& out) const {
    const std::uint64_t version = Version.load(std::memory_order_acquire);
    const std::uint64_t offset =
        static_cast<std::uint64_t>(seconds) - static_cast<std::uint64_t>(From.load(std::memory_order_acquire));
    if (offset >= kSecondsPerHour || (version & 1U) != 0) return false;
    // Acquire loads keep every word ahead of the second version read. Each
    // word goes straight to its place in `out`, which the caller discards
    // when this returns false.
    auto* bytes = reinterpret_cast<unsigned char*>(&out);
    // Unrolled: straight loads and stores make a hit a third faster than a loop.
#pragma GCC unroll 8
    for (std::size_t i = 0; i < kTmWords; ++i) {
      const std::uint64_t word = CalendarTime[i].load(std::memory_order_acquire);
      std::memcpy(bytes + i * sizeof word, &word, sizeof word);
    }
    if (Version.load(std::memory_order_relaxed) != version) return false;
    out.tm_min += static_cast<int>(offset / kSecondsPerMinute);
    out.tm_sec += static_cast<int>(offset % kSecondsPerMinute);
    return true;
  }

  // Ends the hour, if one is published. Readers need no odd version for it:
  // the words stay as they were, and From is one word.
  void End() {
    if (From.load(std::memory_order_relaxed) != kEnded) From.store(kEnded, std::memory_order_relaxed);
  }

  // Odd while the hour changes.
  std::atomic<std::uint64_t> Version{0};
  std::atomic<long> From{kEnded};
  std::array<std::atomic<std::uint64_t>, kTmWords> CalendarTime{};
};

struct HourCache {
  PublishedHour Local;
  PublishedHour Utc;
  alignas(kCacheLinePair) std::mutex Mutex;  // serialises Publish
};

constinit HourCache TimeCache;

// The QuarterHour of this thread's last miss in each zone (Local, then UTC):
// a hint that no other thread reads. Initial-exec, so that reaching it is one
// load relative to the thread pointer, without a call.
[[gnu::tls_model("initial-exec")]] constinit thread_local std::array<std::uint64_t, 2> last_miss_quarter{};

PublishedHour& HourOf(TimeZone zone) { return zone == TimeZone::UTC ? TimeCache.Utc : TimeCache.Local; }

// glibc keeps one copy of each abbreviation, so equal texts are one pointer.
bool SameOffset(const std::tm& a, const std::tm& b) {
  return a.tm_gmtoff == b.tm_gmtoff && a.tm_isdst == b.tm_isdst && a.tm_zone == b.tm_zone;
}

bool SameHour(const std::tm& a, const std::tm& b) {
  return a.tm_year == b.tm_year && a.tm_yday == b.tm_yday && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday &&
         a.tm_wday == b.tm_wday && a.tm_hour == b.tm_hour && SameOffset(a, b);
}

// Whether localtime_r shows the first and the last second of the hour from
// `start` as the hour of `at` advanced by their distance from `start`, which
// for every zone of the tz database means it shows every second so. A
// hand-written TZ rule that changes the offset and changes it back inside one
// hour passes too: that hour is then served at the offset of its ends.
bool IsRegularLocalHour(long start, const std::tm& at) {
  std::tm first{};
  std::tm last{};
  Convert(start, first, TimeZone::Local);
  Convert(start + kSecondsPerHour - 1, last, TimeZone::Local);
  return StartsHour(first) && last.tm_min == kMinutesPerHour - 1 && last.tm_sec == kSecondsPerMinute - 1 &&
         SameHour(first, at) && SameHour(last, at);
}

// Publishes the hour that holds `seconds`, whose fields are `at`, if it is
// regular and not published already. An hour with a leap second inside is
// not regular; one that ends in a leap second is, without it. Kept out of
// line so that a miss that caches nothing saves and restores only the few
// registers it needs.
template <TimeZone kZone>
[[gnu::noinline]] void CacheHour(long seconds, const std::tm& at) {
  const long start = HourStart(seconds, at);
  PublishedHour& hour = HourOf(kZone);
  const std::lock_guard lock(TimeCache.Mutex);
  if (hour.From.load(std::memory_order_relaxed) == start) return;
  if (kZone == TimeZone::Local && !IsRegularLocalHour(start, at)) return;
  std::tm calendar_time = at;
  calendar_time.tm_min = 0;
  calendar_time.tm_sec = 0;
  hour.Publish(start, calendar_time);
}

// Out of line, so that a miss that caches nothing keeps no register across
// its conversion.
template <TimeZone kZone>
[[gnu::noinline]] void ConvertAndCacheHour(long seconds, std::tm& out) {
  Convert(seconds, out, kZone);
  CacheHour<kZone>(seconds, out);
}

// Fills `out` with the calendar time of `seconds`, which the zone's published
// hour does not hold, and caches its hour if this thread's previous miss in
// the zone was in the same quarter hour: random instants cost one conversion
// each, and a stream of instants is served from the cache once two of its
// calls in an hour fall in one quarter hour. The bookkeeping comes first and
// needs nothing of the result, so that a miss that caches nothing ends with
// the conversion. Kept out of line, one copy per zone, so that hits save and
// restore fewer registers.
template <TimeZone kZone>
[[gnu::noinline]] void Miss(long seconds, std::tm& out) {
  if constexpr (kZone == TimeZone::Local) TimeCache.Local.End();
  const std::uint64_t quarter = QuarterHour(seconds);
  std::uint64_t& last = last_miss_quarter[kZone == TimeZone::UTC ? 1 : 0];
  if (last != quarter) {
    last = quarter;
    Convert(seconds, out, kZone);
  } else {
    ConvertAndCacheHour<kZone>(seconds, out);
  }
}

// Whether `t` lies inside a second before the epoch, where truncation
// toward zero gives the second above the one that holds it.
bool InsideNegativeSecond(TimePoint t, long truncated) {
  const std::int64_t count = t.time_since_epoch().count();
  return count < 0 && count != truncated * kNanosecondsPerSecond;
}

// Whether the second after the one shown by `tm` may start an hour: it does
// when `tm` ends one, and otherwise only where the offset changes to a time
// that starts an hour. From an offset of whole hours, no zone of the tz
// database changes so before 1970 (the only seconds asked about), so only
// other offsets need a look at the next second.
bool MayPrecedeHourStart(const std::tm& tm) {
  return (tm.tm_min == kMinutesPerHour - 1 && tm.tm_sec >= kSecondsPerMinute - 1) ||
         tm.tm_gmtoff % kSecondsPerHour != 0;
}

}  // namespace

std::tm CalendarTimeOfSecond(long seconds, TimeZone zone) {
  std::tm result;
  if (zone == TimeZone::Local) {
    if (!TimeCache.Local.TryRead(seconds, result)) Miss<TimeZone::Local>(seconds, result);
  } else if (zone == TimeZone::UTC) {
    if (!TimeCache.Utc.TryRead(seconds, result)) Miss<TimeZone::UTC>(seconds, result);
  } else {
    ThrowUnknownZone();
  }
  return result;
}

// For a time point inside a negative second: the second below the truncated
// one, unless the truncated second starts an hour, which is looked up only
// where it may. Out of line, so that other time points take no frame for it.
[[gnu::noinline]] std::tm CalendarTimeInsideNegativeSecond(long truncated, TimeZone zone) {
  std::tm result = CalendarTimeOfSecond(truncated - 1, zone);
  if (MayPrecedeHourStart(result)) {
    // Aside from the misses that decide what to cache: two seconds of one
    // call are no stream.
    std::tm at_truncated;
    if (!HourOf(zone).TryRead(truncated, at_truncated)) Convert(truncated, at_truncated, zone);
    if (StartsHour(at_truncated)) result = at_truncated;
  }
  return result;
}

}  // namespace internal

// Each return hands the result straight to the caller, uncopied.
std::tm ToCalendarTime(TimePoint t, TimeZone zone) {
  const long truncated = internal::TruncatedSeconds(t);
  if (internal::InsideNegativeSecond(t, truncated)) return internal::CalendarTimeInsideNegativeSecond(truncated, zone);
  return internal::CalendarTimeOfSecond(truncated, zone);
}

}  // namespace orvik::chrono
