// Internal: the English weekday and month names of HTTP dates, in tm_wday and
// tm_mon order, shared by the writer and the reader.
#ifndef ORVIK_CHRONO_SRC_HTTP_NAMES_H_
#define ORVIK_CHRONO_SRC_HTTP_NAMES_H_

#include <cstddef>
#include <optional>
#include <string_view>

namespace orvik::chrono::internal {

// Each weekday's abbreviation is the first three letters of its full name.
inline constexpr std::size_t kAbbreviationLength = sizeof("Sun") - 1;
inline constexpr std::string_view kWeekdayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};
inline constexpr std::string_view kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The index of `name` in kMonthNames, exactly as written.
constexpr std::optional<int> FindMonth(std::string_view name) {
  for (int i = 0; i < 12; ++i) {
    if (kMonthNames[i] == name) return i;
  }
  return std::nullopt;
}

// The index of the weekday whose abbreviation or full name is `name`.
constexpr std::optional<int> FindWeekday(std::string_view name) {
  for (int i = 0; i < 7; ++i) {
    const std::string_view full = kWeekdayNames[i];
    if (name == full || name == full.substr(0, kAbbreviationLength)) return i;
  }
  return std::nullopt;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_HTTP_NAMES_H_
