#include <cstdint>

#include "civil/time_units.h"

namespace orvik::chrono {

TimePoint FileTimePointToSystemTimePoint(long seconds) {
  // Exact from kMinTimePointSeconds to kMaxTimePointSeconds. Beyond that the
  // product keeps its low 64 bits: unsigned arithmetic wraps without undefined
  // behaviour, and the conversion back to a signed count is modular.
  const std::uint64_t product =
      static_cast<std::uint64_t>(seconds) * static_cast<std::uint64_t>(internal::kNanosecondsPerSecond);
  return TimePoint(std::chrono::nanoseconds(static_cast<std::int64_t>(product)));
}

}  // namespace orvik::chrono
