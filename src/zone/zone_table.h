// Internal: a zone's local time as an immutable table of stretches of time,
// each read at one offset with one abbreviation, that answers any second of
// the time point's range with an index lookup and a step or two; and the
// rules by which glibc's localtime_r picks the offset, written once, that
// make the stretches of a TZif file or of a POSIX rule.
#ifndef ORVIK_CHRONO_SRC_ZONE_ZONE_TABLE_H_
#define ORVIK_CHRONO_SRC_ZONE_ZONE_TABLE_H_

#include <orvik/chrono/chrono.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "civil/time_units.h"
#include "zone/posix_rule.h"
#include "zone/tzif.h"

namespace orvik::chrono::internal::zone {

// The seconds that a table answers: the time point's range and two days more
// on either side, for the hours that the calendar cache looks at around a
// second (from kMinTimePointSeconds - 1 on).
inline constexpr std::int64_t kFirstSecond = kMinTimePointSeconds - 1 - 2 * kSecondsPerDay;
inline constexpr std::int64_t kLastSecond = kMaxTimePointSeconds + 2 * kSecondsPerDay;

// The table answers a second from the bucket of 2^kBucketBits seconds (97
// days) that holds it: zones change their offset a few times a year at most,
// so a bucket holds one change at most, but in rare places (a leap second,
// wartime's double summer time, Morocco's months without summer time), where
// the lookup follows the stretches one by one.
inline constexpr unsigned kBucketBits = 23;
inline constexpr std::size_t kBuckets = static_cast<std::size_t>((kLastSecond - kFirstSecond) >> kBucketBits) + 1;
inline constexpr std::uint64_t kInBucket = (std::uint64_t{1} << kBucketBits) - 1;

// The offsets of a bucket: Shifts[Before] up to Change seconds after the
// bucket's start, Shifts[After] from there on; with Before kSeveralChanges,
// those of the stretches from stretch After on.
struct Bucket {
  std::uint32_t Change;  // all ones (past the bucket) for none
  std::uint16_t Before;
  std::uint16_t After;
};
inline constexpr std::uint16_t kSeveralChanges = 0xFFFF;

// How the seconds of a stretch read as local time: the calendar fields of
// the second + Add, tm_sec + LeapSecond.
struct Shift {
  std::int64_t Add;  // the UTC offset, less the leap seconds inserted so far
  long Offset;
  int IsDst;
  int LeapSecond;  // 1 at an inserted leap second, 2 at the second of two in a row
  const char* Abbreviation;
};

// A file's identity, as stat gives it; all zero for none.
struct FileId {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::int64_t Seconds = 0;  // of the last modification
  std::int64_t Nanoseconds = 0;
  std::int64_t Size = 0;

  bool operator==(const FileId&) const = default;
};

// What local time is under one setting of TZ, all in one block that is
// never freed: a std::tm may point at its abbreviations for the process's
// life, after this library is unloaded too.
struct Zone {
  const Shift* Shifts;           // nullptr for a zone left to localtime_r
  const std::int64_t* Starts;    // of each stretch; the largest int64_t after the last
  const std::uint16_t* ShiftOf;  // of each stretch
  std::size_t Stretches;
  bool OneShift;     // every second reads as First, with no lookup
  Shift First;       // Shifts[0], in place
  bool WatchesFile;  // TZ is unset: /etc/localtime is checked for a replacement
  // What the zone is read from, compared when TZ changes.
  LocalZoneSource Source;
  const char* Tz;  // TZ's value, nullptr when TZ is unset
  const char* Path;
  FileId File;
  std::string_view Name;  // what CurrentLocalZone shows
  const Zone* Next;       // the zone read before it, set before the zone is shared
  // Last and in place: a second's bucket is found from the zone's address.
  std::array<Bucket, kBuckets> Buckets;
  std::array<std::uint16_t, kBuckets> StretchOf;  // of each bucket: the stretch in force at its first second
};

// How `seconds` reads in `zone`, or nullptr where the zone leaves it to
// localtime_r: a zone of no stretches, or a second outside kFirstSecond to
// kLastSecond.
inline const Shift* ShiftAt(const Zone& zone, std::int64_t seconds) {
  if (seconds < kFirstSecond || seconds > kLastSecond) [[unlikely]] {
    return nullptr;
  }
  if (zone.OneShift) return &zone.First;
  if (zone.Shifts == nullptr) [[unlikely]] {
    return nullptr;
  }
  const auto since = static_cast<std::uint64_t>(seconds - kFirstSecond);
  const Bucket bucket = zone.Buckets[since >> kBucketBits];
  if (bucket.Before == kSeveralChanges) [[unlikely]] {
    std::size_t i = bucket.After;
    while (zone.Starts[i + 1] <= seconds) ++i;
    return &zone.Shifts[zone.ShiftOf[i]];
  }
  // The shift after the bucket's change where the second lies at or past it.
  const std::uint32_t after = 0U - static_cast<std::uint32_t>((since & kInBucket) >= bucket.Change);
  return &zone.Shifts[bucket.Before ^ ((bucket.Before ^ bucket.After) & after)];
}

// Where a zone shows the local seconds `local` (the seconds count of a
// wall-clock time read as UTC): in Count stretches, 0 in a gap. Before and
// After are the shifts of the first and the last of them, or in a gap those
// of the stretches before and after it; Change is where After's stretch
// starts. Stretches that would show it outside kFirstSecond to kLastSecond
// are not counted, so a time near those ends may have none and no gap (After
// nullptr). Offsets of two days or more, which no zone has, are not seen.
// The zone has stretches, as every zone by name has.
struct WallClock {
  unsigned Count = 0;
  const Shift* Before = nullptr;
  const Shift* After = nullptr;
  std::int64_t Change = 0;
};
WallClock FindWallClock(const Zone& zone, std::int64_t local);

// What a zone is read from and what it answers for: Zone's fields but the
// stretches.
struct ZoneKey {
  LocalZoneSource Source;
  const char* Tz;
  std::string_view Path;
  FileId File;
  std::string_view Name;
  bool WatchesFile;
};

// The zone of a TZif file, with its footer read as `footer` (nullptr for an
// empty one); of a POSIX rule alone, which holds at every second; or one left
// to localtime_r. Each allocates one block and returns nullptr when that
// fails; may throw std::bad_alloc while it builds.
Zone* MakeZone(const ZoneKey& key, const Tzif& tzif, const PosixRule* footer);
Zone* MakeZone(const ZoneKey& key, const PosixRule& rule);
Zone* MakeZone(const ZoneKey& key);

}  // namespace orvik::chrono::internal::zone

#endif  // ORVIK_CHRONO_SRC_ZONE_ZONE_TABLE_H_
