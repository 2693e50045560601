// Internal: the two ways FromHttpDate reads a text, apart for the tests that
// compare them.
#ifndef ORVIK_CHRONO_SRC_HTTP_FROM_HTTP_DATE_H_
#define ORVIK_CHRONO_SRC_HTTP_FROM_HTTP_DATE_H_

#include <orvik/chrono/chrono.h>

#include <optional>
#include <string>
#include <string_view>

namespace orvik::chrono {

// Reads every layout with sscanf and gives every refusal: the behaviour of
// FromHttpDate for any text.
TimePoint FromHttpDateGeneral(const std::string& text);

// Reads the layouts as they are usually written (IMF-fixdate, RFC 850 with
// the full weekday name, asctime with a blank, a zero or a second digit
// before the day's last digit) without libc or allocation. Gives the result
// that FromHttpDateGeneral gives, or nothing for any text it is not sure of,
// refusals included.
std::optional<TimePoint> FromHttpDateFast(std::string_view text);

}  // namespace orvik::chrono

#endif  // ORVIK_CHRONO_SRC_HTTP_FROM_HTTP_DATE_H_
