// Internal: local time from the table of the zone that the process's TZ
// names, as localtime_r gives it, without its lock.
#ifndef ORVIK_CHRONO_SRC_ZONE_LOCAL_ZONE_H_
#define ORVIK_CHRONO_SRC_ZONE_LOCAL_ZONE_H_

#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <ctime>

#include "zone/environment.h"
#include "zone/zone_table.h"

namespace orvik::chrono::internal::zone {

// What a thread last saw of TZ, and the zone it named then; all zero for a
// thread that has not looked yet.
struct ZoneSeen {
  VariableSeen Tz;
  const Zone* InForce;
  std::time_t Checked;    // TZ unset: the second in which /etc/localtime's identity was last looked at
  std::size_t ValueSize;  // of TZ's value in Tz.Entry, when it was seen
};

// Looks at the environment again, and reads the zone that TZ names when its
// value has changed since `seen` (or the thread has not looked yet, or with
// `replaced`); returns the zone in force. Leaves `seen` as it was and returns
// nullptr when memory runs out.
const Zone* LookAgain(ZoneSeen& seen, bool replaced);

// With TZ unset, at second `now`: the zone in force, read again if
// /etc/localtime is no longer the file of seen.InForce.
const Zone* LookAtFile(ZoneSeen& seen, std::time_t now);

// Whether TZ's entry, unmoved since `seen`, no longer holds the value of the
// zone in force: a putenv string written in place, whose bytes up to the
// value's end then are still its own.
inline bool WrittenInPlace(const ZoneSeen& seen, const Zone& zone) {
  const char* const entry = seen.Tz.Entry;
  return entry != nullptr && (entry[0] != 'T' || entry[1] != 'Z' || entry[2] != '=' || zone.Tz == nullptr ||
                              std::memcmp(entry + 3, zone.Tz, seen.ValueSize + 1) != 0);
}

// The zone that TZ names for the thread of `seen`, checked for a change of
// TZ's value, and with TZ unset for a replaced /etc/localtime once a second.
// nullptr when it could not be read for want of memory.
inline const Zone* ZoneInForce(ZoneSeen& seen) {
  const Zone* const zone = seen.InForce;
  if (zone == nullptr || Moved(seen.Tz) || WrittenInPlace(seen, *zone)) [[unlikely]] {
    return LookAgain(seen, false);
  }
  if (zone->WatchesFile) {
    const std::time_t now = std::time(nullptr);
    if (now != seen.Checked) [[unlikely]] {
      return LookAtFile(seen, now);
    }
  }
  return zone;
}

}  // namespace orvik::chrono::internal::zone

#endif  // ORVIK_CHRONO_SRC_ZONE_LOCAL_ZONE_H_
