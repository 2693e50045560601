// Internal: local time from the table of the zone that the process's TZ
// names, as localtime_r gives it, without its lock.
#ifndef ORVIK_CHRONO_SRC_ZONE_LOCAL_ZONE_H_
#define ORVIK_CHRONO_SRC_ZONE_LOCAL_ZONE_H_

#include <cstddef>
#include <ctime>

namespace orvik::chrono::internal::zone {

struct Zone;

// What a thread last saw of the environment, and the zone it named then;
// all zero for a thread that has not looked yet. Any change of TZ's value
// changes what `environ` holds at Index - 1 or Index, or `environ` itself:
// setenv and putenv replace TZ's entry, unsetenv moves the entries after it,
// and TZ set where it was not lands after the last entry (also in the place
// of the last one, after an unsetenv of another variable).
struct ZoneSeen {
  char** Environment;
  std::size_t Index;   // of TZ's entry, or of the NULL that ends the entries
  const char* Entry;   // Environment[Index]
  const char* Before;  // Environment[Index - 1], or nullptr when Index is 0
  const Zone* InForce;
  std::time_t Checked;  // TZ unset: the second in which /etc/localtime's identity was last looked at
};

// Fills every member of `out` with the local time of `seconds`, exactly as
// localtime_r would, from the zone's table. Reads the zone first when TZ's
// value has changed since `seen`, and with TZ unset when /etc/localtime has
// been replaced (looked at once a second). Calls localtime_r for the zones
// that it leaves to it, and when the zone cannot be read for want of memory.
// False only when localtime_r fails.
bool LocalTime(long seconds, std::tm& out, ZoneSeen& seen);

}  // namespace orvik::chrono::internal::zone

#endif  // ORVIK_CHRONO_SRC_ZONE_LOCAL_ZONE_H_
