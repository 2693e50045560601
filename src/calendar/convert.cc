#include "calendar/convert.h"

#include <stdexcept>

#include "calendar/civil.h"

namespace orvik::chrono::internal {

void Convert(long seconds, std::tm& out, TimeZone zone) {
  switch (zone) {
    case TimeZone::UTC:
      out = civil::UtcFromSeconds(seconds);
      return;
    case TimeZone::Local:
      if (localtime_r(&seconds, &out) == nullptr) {
        throw std::runtime_error("Failed to convert the timestamp to local time");
      }
      return;
    default:
      throw std::invalid_argument("Unknown timezone type");
  }
}

}  // namespace orvik::chrono::internal
