#include "calendar/convert.h"

#include <stdexcept>

#include "messages.h"

namespace orvik::chrono::internal {

void ThrowUnknownZone() { ThrowMessage<std::invalid_argument>({kUnknownTimeZone}); }

void ThrowConversionFailed() { ThrowMessage<std::runtime_error>({kLocalTimeFailed}); }

void LocalFromLibc(long seconds, std::tm& out) {
  if (localtime_r(&seconds, &out) == nullptr) ThrowConversionFailed();
}

}  // namespace orvik::chrono::internal
