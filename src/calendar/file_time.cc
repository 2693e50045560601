#include <cstdint>

#include "calendar/convert.h"

namespace orvik::chrono {

TimePoint FileTimePointToSystemTimePoint(long seconds) {
  // Exact for |seconds| <= 9223372036. Beyond that the product keeps its low
  // 64 bits: unsigned arithmetic wraps without undefined behaviour, and the
  // conversion back to a signed count is modular.
  const std::uint64_t product = static_cast<std::uint64_t>(seconds) * static_cast<std::uint64_t>(kNanosecondsPerSecond);
  return TimePoint(std::chrono::nanoseconds(static_cast<std::int64_t>(product)));
}

}  // namespace orvik::chrono
