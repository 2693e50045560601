// Internal: a zone's local time as an immutable table of stretches of time,
// each read at one offset with one abbreviation, that answers any second of
// the time point's range with an index lookup and a step or two; and the
// rules by which glibc's localtime_r picks the offset, written once, that
// make the stretches of a TZif file or of a POSIX rule.
#ifndef ORVIK_CHRONO_SRC_ZONE_ZONE_TABLE_H_
#define ORVIK_CHRONO_SRC_ZONE_ZONE_TABLE_H_

#include <orvik/chrono/chrono.h>

#include <cstdint>
#include <string_view>

#include "calendar/time_units.h"
#include "zone/posix_rule.h"
#include "zone/tzif.h"

namespace orvik::chrono::internal::zone {

// The seconds that a table answers: the time point's range and two days more
// on either side, for the hours that the calendar cache looks at around a
// second (from kMinTimePointSeconds - 1 on).
inline constexpr std::int64_t kFirstSecond = kMinTimePointSeconds - 1 - 2 * kSecondsPerDay;
inline constexpr std::int64_t kLastSecond = kMaxTimePointSeconds + 2 * kSecondsPerDay;

// The index keeps the stretch at the start of every 2^kBucketBits seconds
// (48.5 days): zones change their offset at most a few times a year, so a
// lookup steps past a change once in a while, and at most past the few inside
// one bucket.
inline constexpr unsigned kBucketBits = 22;

// How the seconds of a stretch read as local time: the calendar fields of
// the second + Add, tm_sec + LeapSecond.
struct Shift {
  std::int64_t Add;  // the UTC offset, less the leap seconds inserted so far
  long Offset;
  int IsDst;
  int LeapSecond;  // 1 at an inserted leap second, 2 at the second of two in a row
  const char* Abbreviation;
};

// A file's identity, as stat gives it; Size -1 for a file that cannot be read.
struct FileId {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::int64_t Seconds = 0;  // of the last modification
  std::int64_t Nanoseconds = 0;
  std::int64_t Size = -1;

  bool operator==(const FileId&) const = default;
};

// What local time is under one setting of TZ, all in one block that is
// never freed: a std::tm may point at its abbreviations for the process's
// life, after this library is unloaded too.
struct Zone {
  // The stretches, or nullptr for a zone left to localtime_r. Starts[0] is
  // kFirstSecond, and the entry after the last is the largest int64_t.
  const std::int64_t* Starts;
  const std::uint16_t* ShiftOf;  // of each stretch
  const std::uint16_t* First;    // the stretch that holds each bucket's first second
  const Shift* Shifts;
  bool WatchesFile;  // TZ is unset: /etc/localtime is checked for a replacement
  // What the zone is read from, compared when TZ changes.
  LocalZoneSource Source;
  const char* Tz;  // TZ's value, nullptr when TZ is unset
  const char* Path;
  FileId File;
  std::string_view Name;  // what CurrentLocalZone shows
  const Zone* Next;       // the zone read before it, set before the zone is shared
};

// The stretch that holds `seconds` (kFirstSecond to kLastSecond).
inline const Shift& ShiftAt(const Zone& zone, std::int64_t seconds) {
  std::size_t i = zone.First[static_cast<std::uint64_t>(seconds - kFirstSecond) >> kBucketBits];
  while (zone.Starts[i + 1] <= seconds) ++i;
  return zone.Shifts[zone.ShiftOf[i]];
}

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
