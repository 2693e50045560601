// Internal: the English day and month names of HTTP dates, in tm_wday and
// tm_mon order.
#ifndef ORVIK_CHRONO_SRC_HTTP_NAMES_H_
#define ORVIK_CHRONO_SRC_HTTP_NAMES_H_

#include <string_view>

namespace orvik::chrono::http {

using Name = char[4];  // three letters and a NUL

inline constexpr Name kDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
inline constexpr std::string_view kFullDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};
inline constexpr Name kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace orvik::chrono::http

#endif  // ORVIK_CHRONO_SRC_HTTP_NAMES_H_
