// Placeholder until the mail date reader lands.
#include <orvik/chrono/chrono.h>

#include <string>
#include <string_view>

#include "messages.h"
#include "text/strict_reading.h"

namespace orvik::chrono {
namespace internal {
std::string MailDateMessage(std::string_view text) { return JoinMessage({kMailDateHead, ": ", text}); }
}  // namespace internal

ParseResult<Timestamp> TryFromMailDate(std::string_view /*text*/) noexcept { return {{}, ParseError::MailDateLayout}; }

}  // namespace orvik::chrono
