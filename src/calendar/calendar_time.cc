// ToCalendarTime: calendar time of a time point through a cache that belongs
// to the calling thread: one hour of each zone and a hint per zone.
//
// Concurrency: every thread has its own cache, so a call reads and writes only
// its own thread's memory, and reads the zone tables, which no one writes once
// they are shared (src/zone). No lock is taken.
//
// Hits: both zones take one path, which reads the thread's hour of the zone
// and nothing else.
//
// Misses: a miss answers with Convert's fields for its one second (UTC by
// arithmetic, local time from the zone's table) and notes the miss in the
// zone's hint. A local miss at another second of the quarter hour of the
// thread's previous local miss caches its hour if the hour is regular (the
// zone agrees at both of its ends on one offset, one abbreviation and sixty
// minutes of sixty seconds). Every UTC hour is regular and caching it costs a
// copy, so a UTC miss in the hour of the thread's previous UTC miss caches it.
// A local miss also ends the thread's cached local hour: after a change of
// the zone setting, that hour may answer for the old zone only until the
// thread's first local call that it does not serve.
#include "calendar/calendar_time.h"

#include <array>
#include <cstdint>
#include <limits>

#include "calendar/convert.h"
#include "civil/time_units.h"

namespace orvik::chrono {
namespace internal {
namespace {

// The From of a cached hour that has ended, or of none yet: no second lies in
// the hour that starts there, since every second is above it by far more than
// an hour.
constexpr long kEnded = std::numeric_limits<long>::min();

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

// One zone's cached hour in one thread: seconds in [From, From +
// kSecondsPerHour) have the calendar time CalendarTime (of a second in that
// hour) with the minute and second of their distance from From. Seconds
// counts rather than time points, so the first and last hours of the time
// point's range need no special case.
struct CachedHour {
  long From;
  std::tm CalendarTime;
};

// Where the thread's last miss in a zone was. Local: its QuarterHour, 0 for
// none, and its second where there is one. UTC: the start of its hour,
// kEnded for none.
struct MissHint {
  std::uint64_t Quarter;
  long Second;
};

// The hours apart from the hints, so that an hour's place is found by a
// shift where its size is a power of two, as glibc's std::tm makes it.
struct ThreadCache {
  std::array<CachedHour, 2> Hours;  // Local, then UTC
  std::array<MissHint, 2> Hints;
  zone::ZoneSeen Zone;
};

// Zero but for From and UTC's hint, so a new thread's cache costs its
// creation no more than copying a few words. Reached through TLS descriptors
// where the compiler has them (src/CMakeLists.txt), and only through
// ThisThread.
constinit thread_local ThreadCache thread_cache{{{{kEnded, {}}, {kEnded, {}}}}, {{{0, 0}, {0, kEnded}}}, {}};

// The calling thread's cache, by one descriptor call where ThisThread is
// called. Before 2.40, glibc keeps no vector register across the call that
// allocates a thread's block (a thread's first access, when the library was
// loaded into a full static TLS block), which the compiler takes to keep every
// register but one. So the block is reached only at the start of a
// conversion, before any vector register holds a value, and the empty asm
// hides where the pointer comes from: the compiler can neither access the
// block again later in the conversion (to spare a register) nor carry the
// access into the functions it calls. cmake/check_tls_vector_registers.py
// fails the build wherever a vector register's value lives across a
// descriptor call all the same.
inline ThreadCache& ThisThread() {
  ThreadCache* cache = &thread_cache;
  asm("" : "+r"(cache));
  return *cache;
}

// Local is 0, UTC 1: the zone's own value, for a zone IsKnownZone takes.
static_assert(static_cast<int>(TimeZone::Local) == 0 && static_cast<int>(TimeZone::UTC) == 1);
std::size_t IndexOf(TimeZone zone) { return static_cast<std::size_t>(zone); }

// The calendar time of `seconds` from the cached hour; false when the hour
// does not hold it.
bool TryRead(const CachedHour& hour, long seconds, std::tm& out) {
  const std::uint64_t offset = static_cast<std::uint64_t>(seconds) - static_cast<std::uint64_t>(hour.From);
  if (offset >= kSecondsPerHour) return false;
  out = hour.CalendarTime;
  const civil::MinuteAndSecond time = civil::SplitHour(static_cast<unsigned>(offset));
  out.tm_min = static_cast<int>(time.Minute);
  out.tm_sec = static_cast<int>(time.Second);
  return true;
}

// A zone's table, as glibc, keeps one copy of each abbreviation, so equal
// texts of one zone are one pointer.
bool SameOffset(const std::tm& a, const std::tm& b) {
  return a.tm_gmtoff == b.tm_gmtoff && a.tm_isdst == b.tm_isdst && a.tm_zone == b.tm_zone;
}

bool SameHour(const std::tm& a, const std::tm& b) {
  return a.tm_year == b.tm_year && a.tm_yday == b.tm_yday && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday &&
         a.tm_wday == b.tm_wday && a.tm_hour == b.tm_hour && SameOffset(a, b);
}

// Whether local time shows the first and the last second of the hour from
// `start` as the hour of `at` advanced by their distance from `start`, which
// for every zone of the tz database means it shows every second so. A
// hand-written TZ rule that changes the offset and changes it back inside one
// hour passes too: that hour is then served at the offset of its ends.
bool IsRegularLocalHour(long start, const std::tm& at, zone::ZoneSeen& seen) {
  std::tm first{};
  std::tm last{};
  return Convert(start, first, TimeZone::Local, seen) &&
         Convert(start + kSecondsPerHour - 1, last, TimeZone::Local, seen) && StartsHour(first) &&
         last.tm_min == kMinutesPerHour - 1 && last.tm_sec == kSecondsPerMinute - 1 && SameHour(first, at) &&
         SameHour(last, at);
}

// Converts `seconds` into `out` and caches its local hour if it is regular;
// false when the conversion fails. An hour with a leap second inside is not
// regular; one that ends in a leap second is, without it.
[[gnu::noinline]] bool ConvertAndCacheLocalHour(CachedHour& hour, long seconds, std::tm& out, zone::ZoneSeen& seen) {
  if (!Convert(seconds, out, TimeZone::Local, seen)) return false;
  const long start = HourStart(seconds, out);
  if (!IsRegularLocalHour(start, out, seen)) return true;
  hour.CalendarTime = out;
  hour.From = start;
  return true;
}

// Fills `out` with the local time of `seconds`, which the thread's local hour
// does not hold, and caches its hour if the thread's previous local miss was
// another second of the same quarter hour: random instants cost one
// conversion each, also when each is asked for twice, and a stream of
// instants is served from the cache once two of its seconds in an hour fall
// in one quarter hour. The bookkeeping comes first and needs nothing of the
// result, so that a miss that caches nothing ends with the conversion. False
// when the conversion fails.
[[gnu::noinline]] bool MissLocal(ThreadCache& cache, long seconds, std::tm& out) {
  CachedHour& hour = cache.Hours[IndexOf(TimeZone::Local)];
  MissHint& hint = cache.Hints[IndexOf(TimeZone::Local)];
  hour.From = kEnded;
  const std::uint64_t quarter = QuarterHour(seconds);
  if (hint.Quarter != quarter || hint.Second == seconds) {
    hint.Quarter = quarter;
    hint.Second = seconds;
    return Convert(seconds, out, TimeZone::Local, cache.Zone);
  }
  return ConvertAndCacheLocalHour(hour, seconds, out, cache.Zone);
}

// Fills `out` with the UTC calendar time of `seconds`, which the thread's UTC
// hour does not hold, with tm_zone `abbreviation`, and caches its hour where
// the thread's previous UTC miss was in it, which serves a stream from its
// second miss in an hour on. It calls nothing, so that it takes no frame.
[[gnu::always_inline]] inline void MissUtcWith(ThreadCache& cache, long seconds, const char* abbreviation,
                                               std::tm& out) {
  // UtcFromSeconds, with the hour's start found before the date, so that
  // fewer values are kept across the date's arithmetic.
  UtcZoneFields(out, abbreviation);
  const civil::DayAndSecond split = civil::SplitDays(seconds);
  const long start = seconds - TimeOfDayFields(split.Second, out);
  DateFields(split.Days, out);
  MissHint& hint = cache.Hints[IndexOf(TimeZone::UTC)];
  if (hint.Second != start) {
    hint.Second = start;
    return;
  }
  CachedHour& hour = cache.Hours[IndexOf(TimeZone::UTC)];
  hour.CalendarTime = out;
  hour.From = start;
}

// MissUtcWith, out of line; false never. The process's first UTC miss finds
// libc's abbreviation and comes back, so that the others take no frame.
[[gnu::noinline]] bool MissUtc(ThreadCache& cache, long seconds, std::tm& out);

[[gnu::noinline, gnu::cold]] bool FirstMissUtc(ThreadCache& cache, long seconds, std::tm& out) {
  UtcAbbreviation();
  return MissUtc(cache, seconds, out);
}

bool MissUtc(ThreadCache& cache, long seconds, std::tm& out) {
  const char* const abbreviation = FoundUtcAbbreviation();
  if (abbreviation == nullptr) [[unlikely]] {
    return FirstMissUtc(cache, seconds, out);
  }
  MissUtcWith(cache, seconds, abbreviation, out);
  return true;
}

// The miss of each zone at its IndexOf: a table rather than a branch, which
// the compiler would answer by a copy of the hit's path for each zone.
using MissFunction = bool (*)(ThreadCache& cache, long seconds, std::tm& out);
constexpr std::array<MissFunction, 2> kMisses = {MissLocal, MissUtc};

// Whether `t` lies inside a second before the epoch, where truncation
// toward zero gives the second above the one that holds it.
bool LiesInsideNegativeSecond(TimePoint t, long truncated) {
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

// The calendar time of `seconds` in `zone` (Local or UTC) through `cache`.
bool OfSecond(ThreadCache& cache, long seconds, TimeZone zone, std::tm& out) {
  const std::size_t index = IndexOf(zone);
  return TryRead(cache.Hours[index], seconds, out) || kMisses[index](cache, seconds, out);
}

// For a time point inside a negative second: the second below the truncated
// one, unless the truncated second starts an hour, which is looked up only
// where it may. Out of line, so that other time points take no frame for it.
[[gnu::noinline]] bool InsideNegativeSecond(long truncated, TimeZone zone, std::tm& out) {
  if (!IsKnownZone(zone)) return false;
  ThreadCache& cache = ThisThread();
  if (!OfSecond(cache, truncated - 1, zone, out)) return false;
  if (MayPrecedeHourStart(out)) {
    // Aside from the misses that decide what to cache: two seconds of one
    // call are no stream.
    std::tm at_truncated;
    if (!TryRead(cache.Hours[IndexOf(zone)], truncated, at_truncated) &&
        !Convert(truncated, at_truncated, zone, cache.Zone)) {
      return false;
    }
    if (StartsHour(at_truncated)) out = at_truncated;
  }
  return true;
}

}  // namespace

bool TryCalendarTimeOfSecond(long seconds, TimeZone zone, std::tm& out) noexcept {
  return IsKnownZone(zone) && OfSecond(ThisThread(), seconds, zone, out);
}

bool TryCalendarTime(TimePoint t, TimeZone zone, std::tm& out) noexcept {
  const long truncated = TruncatedSeconds(t);
  if (LiesInsideNegativeSecond(t, truncated)) return InsideNegativeSecond(truncated, zone, out);
  return TryCalendarTimeOfSecond(truncated, zone, out);
}

}  // namespace internal

// TryCalendarTime's answer, each zone on a path of its own, where its hour's
// place is a constant, with the UTC miss in line: a UTC instant costs no call
// but the thread's cache's.
std::tm ToCalendarTime(TimePoint t, TimeZone zone) {
  using namespace internal;
  std::tm result;
  // From the epoch on, by an unsigned division, which costs fewer
  // instructions.
  const std::int64_t count = t.time_since_epoch().count();
  const long truncated =
      count >= 0 ? static_cast<long>(static_cast<std::uint64_t>(count) / kNanosecondsPerSecond) : TruncatedSeconds(t);
  const bool inside_negative_second = LiesInsideNegativeSecond(t, truncated);
  bool found = false;
  if (zone == TimeZone::UTC && !inside_negative_second) [[likely]] {
    ThreadCache& cache = ThisThread();
    if (TryRead(cache.Hours[IndexOf(TimeZone::UTC)], truncated, result)) return result;
    const char* const abbreviation = FoundUtcAbbreviation();
    if (abbreviation != nullptr) [[likely]] {
      MissUtcWith(cache, truncated, abbreviation, result);
      return result;
    }
    found = MissUtc(cache, truncated, result);
  } else if (zone == TimeZone::Local && !inside_negative_second) [[likely]] {
    ThreadCache& cache = ThisThread();
    if (TryRead(cache.Hours[IndexOf(TimeZone::Local)], truncated, result)) return result;
    found = MissLocal(cache, truncated, result);
  } else if (!IsKnownZone(zone)) {
    ThrowNoCalendarTime(zone);
  } else {
    found = InsideNegativeSecond(truncated, zone, result);
  }
  // Only a local conversion fails, so that the zone need not be kept across
  // the calls.
  if (!found) ThrowNoCalendarTime(TimeZone::Local);
  return result;
}

}  // namespace orvik::chrono
