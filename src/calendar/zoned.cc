// Calendar time in a zone by name, and the instants of a wall-clock time in
// one: from the zone's table, without a cache, a lock or an allocation.
#include <orvik/chrono/chrono.h>

#include "calendar/convert.h"
#include "calendar/disambiguation.h"
#include "civil/civil.h"
#include "civil/instant.h"
#include "civil/time_units.h"
#include "zone/named_zone.h"

namespace orvik::chrono {
namespace {

constexpr int kFirstYear = 1677;
constexpr int kLastYear = 2262;

// The time read at `shift`'s offset; false outside the time point range.
bool ReadAt(std::int64_t local, std::int64_t nanoseconds, const internal::zone::Shift& shift, Timestamp& out) {
  out.offset = std::chrono::seconds(shift.Offset);
  return internal::FormInstant(local - shift.Add, nanoseconds, out.instant);
}

}  // namespace

std::tm ToCalendarTime(TimePoint t, Zone zone) noexcept {
  std::tm out;
  internal::NamedFromSeconds(internal::FloorToSecond(t).Seconds, zone, out);
  return out;
}

ParseResult<CivilTimeLookup> LookUpCivilTime(const CivilTime& time, Zone zone) noexcept {
  using namespace internal;
  const CivilFields f{time.year, time.month, time.day, time.hour, time.minute, time.second, time.nanosecond};
  if (CheckFields(f) != Problem::None || f.Second == 60) return {{}, ParseError::CivilNonexistent};
  if (f.Year < kFirstYear || f.Year > kLastYear) return {{}, ParseError::CivilOutsideRange};
  const std::int64_t local = civil::SecondsFromCivil(f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second);
  CivilTimeLookup found;
  const zone::NamedZone* const entry = zone.Entry();
  if (entry == nullptr) {
    if (!FormInstant(local, f.Nanoseconds, found.before.instant)) return {{}, ParseError::CivilOutsideRange};
    found.after = found.before;
    return {found, ParseError::None};
  }
  const zone::WallClock wall = zone::FindWallClock(*entry->Table, local);
  found.kind = wall.Count == 0   ? CivilTimeKind::Skipped
               : wall.Count == 1 ? CivilTimeKind::Unique
                                 : CivilTimeKind::Repeated;
  if (wall.After == nullptr || !ReadAt(local, f.Nanoseconds, *wall.Before, found.before) ||
      !ReadAt(local, f.Nanoseconds, *wall.After, found.after) ||
      (found.kind != CivilTimeKind::Unique && !FormInstant(wall.Change, 0, found.change))) {
    return {{}, ParseError::CivilOutsideRange};
  }
  return {found, ParseError::None};
}

ParseResult<Timestamp> TryFromCivil(const CivilTime& time, Zone zone, Disambiguation disambiguation) noexcept {
  const ParseResult<CivilTimeLookup> found = LookUpCivilTime(time, zone);
  if (!found) return {{}, found.error};
  return internal::PickInstant(found.value, disambiguation);
}

}  // namespace orvik::chrono
