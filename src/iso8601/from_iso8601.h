// Internal: the two readings behind SplitIso8601, so that tests can compare them.
#ifndef ORVIK_CHRONO_SRC_ISO8601_FROM_ISO8601_H_
#define ORVIK_CHRONO_SRC_ISO8601_FROM_ISO8601_H_

#include <orvik/chrono/chrono.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace orvik::chrono {

using Iso8601Instant = std::pair<TimePoint, std::chrono::minutes>;

// Reads any text through sscanf conversions and timegm, and throws for every
// text that it refuses.
Iso8601Instant SplitIso8601General(const std::string& text);

// Reads only the canonical layouts (full-width fields within their calendar
// ranges from 1900 on, a fraction of 3, 6 or 9 digits or none, then "Z" or an
// offset that the general reading takes as hours and minutes, and nothing
// after it) that denote an instant of the time point's range, with the
// general reading's result. Every other text gives nullopt.
std::optional<Iso8601Instant> SplitIso8601Fast(std::string_view text);

}  // namespace orvik::chrono

#endif  // ORVIK_CHRONO_SRC_ISO8601_FROM_ISO8601_H_
