#include "calendar/convert.h"

#include <stdexcept>

namespace orvik::chrono {

void Convert(const long& seconds, std::tm* out, TimeZone zone) {
  std::tm* converted = nullptr;
  switch (zone) {
    case TimeZone::UTC:
      converted = gmtime_r(&seconds, out);
      break;
    case TimeZone::Local:
      converted = localtime_r(&seconds, out);
      break;
    default:
      throw std::invalid_argument("Unknown timezone type");
  }
  // One message for both zones: callers only need to know that libc gave up.
  if (converted == nullptr) throw std::runtime_error("Failed to convert the timestamp to local time");
}

}  // namespace orvik::chrono
