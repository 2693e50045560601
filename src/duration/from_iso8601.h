// Internal: the two ways duration::FromIso8601 reads a text, apart for the
// tests that compare them.
#ifndef ORVIK_CHRONO_SRC_DURATION_FROM_ISO8601_H_
#define ORVIK_CHRONO_SRC_DURATION_FROM_ISO8601_H_

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace orvik::chrono::duration {

// Reads any text and gives every refusal: the behaviour of
// duration::FromIso8601 for any text.
std::chrono::nanoseconds FromIso8601General(const std::string& text);

// Reads texts whose digit runs have at most nine digits and whose designators
// are all accepted, without conversions from text or allocation. Gives the
// result that FromIso8601General gives, or nothing for any other text
// (longer runs, refusals, totals beyond the nanosecond range).
std::optional<std::chrono::nanoseconds> FromIso8601Fast(std::string_view text);

}  // namespace orvik::chrono::duration

#endif  // ORVIK_CHRONO_SRC_DURATION_FROM_ISO8601_H_
