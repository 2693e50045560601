#include "calendar/convert.h"

#include <stdexcept>

namespace orvik::chrono::internal {

void ThrowUnknownZone() { throw std::invalid_argument("Unknown timezone type"); }

// One message for both zones: callers only need to know that libc gave up.
void ThrowConversionFailed() { throw std::runtime_error("Failed to convert the timestamp to local time"); }

}  // namespace orvik::chrono::internal
