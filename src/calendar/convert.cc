#include "calendar/convert.h"

#include <stdexcept>

#include "messages.h"

namespace orvik::chrono::internal {

void ThrowUnknownZone() { ThrowMessage<std::invalid_argument>({kUnknownTimeZone}); }

void ThrowConversionFailed() { ThrowMessage<std::runtime_error>({kLocalTimeFailed}); }

}  // namespace orvik::chrono::internal
