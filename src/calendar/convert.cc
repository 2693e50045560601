#include "calendar/convert.h"

#include <stdexcept>

#include "messages.h"

namespace orvik::chrono::internal {

void ThrowNoCalendarTime(TimeZone zone) {
  if (!IsKnownZone(zone)) ThrowMessage<std::invalid_argument>({kUnknownTimeZone});
  ThrowMessage<std::runtime_error>({kLocalTimeFailed});
}

bool LocalFromLibc(long seconds, std::tm& out) noexcept { return localtime_r(&seconds, &out) != nullptr; }

}  // namespace orvik::chrono::internal
