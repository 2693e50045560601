// Internal: the first HTTP date layout whose seven fields all scan, shared by
// the reader and the tool that names a text's layout.
#ifndef ORVIK_CHRONO_SRC_HTTP_SCAN_LAYOUTS_H_
#define ORVIK_CHRONO_SRC_HTTP_SCAN_LAYOUTS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "http/scan_formats.h"
#include "text/scan.h"

namespace orvik::chrono::internal {

// What the scan of one layout reads. A leading '-' makes a number wrap, and
// the conversion to int undoes it.
struct ScannedDate {
  char Weekday[sizeof("Wednesday")];
  char Month[sizeof("Nov")];
  unsigned Day;
  unsigned Year;
  unsigned Hour;
  unsigned Minute;
  unsigned Second;
  int FirstYear;  // the year that a written year of 0 stands for
};

enum class HttpLayout : std::uint8_t { ImfFixdate, Rfc850, AsctimeOneDigitDay, AsctimeTwoDigitDay, None };

// Tries IMF-fixdate, RFC 850 and the two asctime layouts in that order and
// returns the first whose seven fields all convert, None when none does;
// `values_end` tells where the last scan's last value ends. `d` must start
// zeroed.
inline HttpLayout ScanLayouts(std::string_view text, ScannedDate& d, std::size_t& values_end) {
  constexpr int kFields = 7;
  if (ScanToValuesEnd<kImfFixdate>(text, values_end, d.Weekday, d.Day, d.Month, d.Year, d.Hour, d.Minute, d.Second) ==
      kFields) {
    return HttpLayout::ImfFixdate;
  }
  if (ScanToValuesEnd<kRfc850>(text, values_end, d.Weekday, d.Day, d.Month, d.Year, d.Hour, d.Minute, d.Second) ==
      kFields) {
    d.FirstYear = 1900;
    return HttpLayout::Rfc850;
  }
  if (ScanToValuesEnd<kAsctimeOneDigitDay>(text, values_end, d.Weekday, d.Month, d.Day, d.Hour, d.Minute, d.Second,
                                           d.Year) == kFields) {
    return HttpLayout::AsctimeOneDigitDay;
  }
  if (ScanToValuesEnd<kAsctimeTwoDigitDay>(text, values_end, d.Weekday, d.Month, d.Day, d.Hour, d.Minute, d.Second,
                                           d.Year) == kFields) {
    return HttpLayout::AsctimeTwoDigitDay;
  }
  return HttpLayout::None;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_HTTP_SCAN_LAYOUTS_H_
