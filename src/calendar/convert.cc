#include "calendar/convert.h"

#include <stdexcept>
#include <string>

#include "messages.h"

namespace orvik::chrono::internal {

void ThrowUnknownZone() { throw std::invalid_argument(std::string(kUnknownTimeZone)); }

void ThrowConversionFailed() { throw std::runtime_error(std::string(kLocalTimeFailed)); }

}  // namespace orvik::chrono::internal
