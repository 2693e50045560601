// Internal: the message of FromHttpDate's refusal of a month or a weekday
// name, which quotes the name as the reading read it.
#ifndef ORVIK_CHRONO_SRC_HTTP_NAME_MESSAGE_H_
#define ORVIK_CHRONO_SRC_HTTP_NAME_MESSAGE_H_

#include <orvik/chrono/chrono.h>

#include <string>
#include <string_view>

namespace orvik::chrono::internal {

// The message for ParseError::HttpMonth or HttpWeekday (`error`) of `text`.
std::string HttpNameMessage(ParseError error, std::string_view text);

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_HTTP_NAME_MESSAGE_H_
