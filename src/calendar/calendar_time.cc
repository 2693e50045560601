// ToCalendarTime: calendar time of a time point through a process-wide cache
// of one span of seconds, either a whole regular hour or a single second.
//
// Concurrency: hits take no lock. The span is published as atomic words
// guarded by a version counter (a seqlock): a reader copies the words between
// two reads of the version and keeps the copy only if the version was even and
// unchanged, so a result never mixes two spans. Every shared word is atomic,
// so the cache is free of data races. Publishing is serialised by the cache's
// mutex, the library's only lock, which is held only while a new span is
// checked and published; no other lock is taken while it is held.
//
// Misses: a miss answers with Convert's fields for its one second (UTC by
// arithmetic, local time by one localtime_r), without the lock. Only the
// second miss in the same quarter hour takes the lock, to check that its hour
// is regular (for local time: localtime_r agrees at both of its ends on one
// offset, one abbreviation and sixty minutes of sixty seconds) and to publish
// it. Every miss also ends a published local span: after a change of the zone
// setting, a local span may answer for the old zone only until the next call
// that it does not serve.
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

// Seconds in [From, Until) have the calendar time of From advanced by their
// distance from it. Seconds counts rather than time points, so the first and
// last hours of the time point's range need no special case.
struct CachedSpan {
  long From;
  long Until;            // at most From + kSecondsPerHour
  std::tm CalendarTime;  // libc's fields of From
  TimeZone Zone;
};

// The published end of an ended span, or of none yet: it holds no second.
constexpr long kEnded = std::numeric_limits<long>::min();

constexpr std::size_t kTmWords = sizeof(std::tm) / sizeof(std::uint64_t);
static_assert(kTmWords * sizeof(std::uint64_t) == sizeof(std::tm));

bool StartsHour(const std::tm& tm) { return tm.tm_min == 0 && tm.tm_sec == 0; }

// The second that starts the hour of `seconds`, whose fields are `at`, unless
// `at` is a leap second. In int: minutes and seconds are at most 59 and 60.
long HourStart(long seconds, const std::tm& at) {
  return seconds - (at.tm_min * static_cast<int>(kSecondsPerMinute) + at.tm_sec);
}

std::size_t ZoneIndex(TimeZone zone) { return zone == TimeZone::UTC ? 1 : 0; }

// The number of the quarter hour that holds `seconds`, for every count from
// kMinTimePointSeconds - 1 up: biased by a multiple of a quarter hour to be
// positive, so that the division is unsigned. A quarter hour lies inside one
// hour of UTC and of every zone whose offset is a whole number of quarter
// hours, as is every offset in use today.
constexpr std::uint64_t QuarterHour(long seconds) {
  constexpr std::uint64_t kSecondsPerQuarterHour = kSecondsPerHour / 4;
  constexpr std::uint64_t kBias = kSecondsPerQuarterHour << 24;
  static_assert(kBias > static_cast<std::uint64_t>(-(kMinTimePointSeconds - 1)));
  return (static_cast<std::uint64_t>(seconds) + kBias) / kSecondsPerQuarterHour;
}

struct SpanCache {
  // Called with Mutex held: makes `span` visible to lock-free readers.
  void Publish(const CachedSpan& span) {
    std::array<std::uint64_t, kTmWords> words{};
    std::memcpy(words.data(), &span.CalendarTime, sizeof span.CalendarTime);
    const std::uint64_t version = Version.load(std::memory_order_relaxed);
    Version.store(version + 1, std::memory_order_relaxed);
    // Release stores keep the odd version ahead of every published field.
    From.store(span.From, std::memory_order_release);
    Until.store(span.Until, std::memory_order_release);
    Zone.store(span.Zone, std::memory_order_release);
    for (std::size_t i = 0; i < kTmWords; ++i) CalendarTime[i].store(words[i], std::memory_order_release);
    Version.store(version + 2, std::memory_order_release);
  }

  // The calendar time of `seconds` from the published span, without the lock;
  // false when the span does not hold it or is being rewritten.
  bool TryRead(long seconds, TimeZone zone, std::tm& out) const {
    const std::uint64_t version = Version.load(std::memory_order_acquire);
    // An ended span fails the first test, so a miss costs few instructions.
    if (seconds >= Until.load(std::memory_order_acquire)) return false;
    const long from = From.load(std::memory_order_acquire);
    if (seconds < from || (version & 1U) != 0 || Zone.load(std::memory_order_acquire) != zone) return false;
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
    const long offset = seconds - from;
    out.tm_min += static_cast<int>(offset / kSecondsPerMinute);
    out.tm_sec += static_cast<int>(offset % kSecondsPerMinute);
    return true;
  }

  // Ends a published local span, which may hold an old zone setting's fields.
  void EndLocalSpan() {
    if (Until.load(std::memory_order_relaxed) != kEnded && Zone.load(std::memory_order_relaxed) == TimeZone::Local) {
      Until.store(kEnded, std::memory_order_relaxed);
    }
  }

  std::mutex Mutex;  // serialises Publish
  // The QuarterHour of each zone's last miss, by ZoneIndex: a hint, read and
  // written without the lock.
  std::array<std::atomic<std::uint64_t>, 2> PreviousMissQuarter{};
  // The span as published; Version is odd while it changes.
  std::atomic<std::uint64_t> Version{0};
  std::atomic<long> From{0};
  std::atomic<long> Until{kEnded};
  std::atomic<TimeZone> Zone{TimeZone::Local};
  std::array<std::atomic<std::uint64_t>, kTmWords> CalendarTime{};
};

constinit SpanCache TimeCache;

bool SameOffset(const std::tm& a, const std::tm& b) {
  if (a.tm_gmtoff != b.tm_gmtoff || a.tm_isdst != b.tm_isdst) return false;
  if (a.tm_zone == b.tm_zone) return true;
  return a.tm_zone != nullptr && b.tm_zone != nullptr && std::strcmp(a.tm_zone, b.tm_zone) == 0;
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
// regular. A leap second (tm_sec 60) is never served from an hour's start.
// Kept out of line so that a miss that caches nothing saves and restores only
// the few registers it needs.
[[gnu::noinline]] void CacheHour(long seconds, const std::tm& at, TimeZone zone) {
  if (at.tm_sec >= kSecondsPerMinute) return;
  const long start = HourStart(seconds, at);
  const std::lock_guard lock(TimeCache.Mutex);
  if (zone == TimeZone::Local && !IsRegularLocalHour(start, at)) return;
  CachedSpan hour{start, start + kSecondsPerHour, at, zone};
  hour.CalendarTime.tm_min = 0;
  hour.CalendarTime.tm_sec = 0;
  TimeCache.Publish(hour);
}

// Out of line, so that a miss that caches nothing keeps no register across
// its conversion.
template <TimeZone kZone>
[[gnu::noinline]] void ConvertAndCacheHour(long seconds, std::tm& out) {
  Convert(seconds, out, kZone);
  CacheHour(seconds, out, kZone);
}

// Fills `out` with the calendar time of `seconds`, which the published span
// does not hold, and caches its hour if the previous miss in the zone was in
// the same quarter hour: random instants cost one conversion each, and a
// stream of instants is served from the cache once two of its calls in an
// hour fall in one quarter hour. Every miss ends a published local span. The
// bookkeeping comes first and needs nothing of the result, so that a miss
// that caches nothing ends with the conversion. Kept out of line, one copy per
// zone, so that hits save and restore fewer registers.
template <TimeZone kZone>
[[gnu::noinline]] void Miss(long seconds, std::tm& out) {
  TimeCache.EndLocalSpan();
  const std::uint64_t quarter = QuarterHour(seconds);
  std::atomic<std::uint64_t>& previous = TimeCache.PreviousMissQuarter[ZoneIndex(kZone)];
  if (previous.load(std::memory_order_relaxed) != quarter) {
    previous.store(quarter, std::memory_order_relaxed);
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

}  // namespace

std::tm CalendarTimeOfSecond(long seconds, TimeZone zone) {
  std::tm result;
  if (TimeCache.TryRead(seconds, zone, result)) return result;
  if (zone == TimeZone::Local) {
    Miss<TimeZone::Local>(seconds, result);
  } else if (zone == TimeZone::UTC) {
    Miss<TimeZone::UTC>(seconds, result);
  } else {
    ThrowUnknownZone();
  }
  return result;
}

// For a time point inside a negative second: the second below the truncated
// one, unless the truncated second starts an hour. Out of line, so that
// other time points take no frame for it.
[[gnu::noinline]] std::tm CalendarTimeInsideNegativeSecond(long truncated, TimeZone zone) {
  const std::tm at_truncated = CalendarTimeOfSecond(truncated, zone);
  if (StartsHour(at_truncated)) return at_truncated;
  return CalendarTimeOfSecond(truncated - 1, zone);
}

}  // namespace internal

// Each return hands the result straight to the caller, uncopied.
std::tm ToCalendarTime(TimePoint t, TimeZone zone) {
  const long truncated = internal::TruncatedSeconds(t);
  if (internal::InsideNegativeSecond(t, truncated)) return internal::CalendarTimeInsideNegativeSecond(truncated, zone);
  return internal::CalendarTimeOfSecond(truncated, zone);
}

}  // namespace orvik::chrono
