// Internal: the zone designator that ToIso8601 writes for local time.
#ifndef ORVIK_CHRONO_SRC_ISO8601_TO_ISO8601_H_
#define ORVIK_CHRONO_SRC_ISO8601_TO_ISO8601_H_

#include <ctime>

namespace orvik::chrono::internal {

// Writes the UTC offset of `tm` as +hh:mm (strftime's "%z" with ':' before the
// minutes, so seconds of the offset are dropped), or "Z" where "%z" gives
// +0000, -0000 or no text that fits "+hhmm". Returns the end; writes at most
// sizeof("+05:30") - 1 characters.
char* WriteLocalZoneDesignator(const std::tm& tm, char* out);

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_ISO8601_TO_ISO8601_H_
