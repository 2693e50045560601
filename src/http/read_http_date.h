// Internal: the one reading of an HTTP date by FromHttpDate and
// TryFromHttpDate, and again by ErrorMessage for the name it read.
#ifndef ORVIK_CHRONO_SRC_HTTP_READ_HTTP_DATE_H_
#define ORVIK_CHRONO_SRC_HTTP_READ_HTTP_DATE_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "http/scan_formats.h"
#include "text/scan.h"

namespace orvik::chrono::internal {

enum class HttpLayout : std::uint8_t { ImfFixdate, Rfc850, Asctime, None };

// A leading '-' makes a number wrap, and the conversion to int undoes it.
struct HttpDate {
  char Weekday[sizeof("Wednesday")];
  char Month[sizeof("Nov")];
  unsigned Day;
  unsigned Year;
  unsigned Hour;
  unsigned Minute;
  unsigned Second;
  int FirstYear;  // the year that a written year of 0 stands for
  HttpLayout Layout;
  std::size_t ValuesLength;  // the characters up to the end of the seventh field
};

// The first layout whose seven fields all convert. IMF-fixdate, RFC 850 and
// asctime exclude each other, so their order changes no result: IMF-fixdate
// and RFC 850 read the same weekday up to its ',' and the same day, after
// which RFC 850 needs a '-' that neither a blank nor a month letter takes; and
// asctime meets a weekday's letter or its ',' where it needs a month or a day.
// Asctime's two tries can both match, with other fields ("Nov 123:45:06" is
// day 1 at 23:45:06 or day 12 at 3:45:06): the one-digit day is tried first.
[[gnu::always_inline]] inline HttpDate ReadHttpDate(std::string_view text) {
  HttpDate d{};
  const auto all_seven = [&d](ScanResult result) {
    d.ValuesLength = result.ValuesLength;
    return result.Count == 7;
  };
  if (all_seven(Scan<kImfFixdate>(text, d.Weekday, d.Day, d.Month, d.Year, d.Hour, d.Minute, d.Second))) {
    d.Layout = HttpLayout::ImfFixdate;
  } else if (all_seven(Scan<kRfc850>(text, d.Weekday, d.Day, d.Month, d.Year, d.Hour, d.Minute, d.Second))) {
    d.Layout = HttpLayout::Rfc850;
    d.FirstYear = 1900;
  } else if (all_seven(
                 Scan<kAsctimeOneDigitDay>(text, d.Weekday, d.Month, d.Day, d.Hour, d.Minute, d.Second, d.Year)) ||
             all_seven(
                 Scan<kAsctimeTwoDigitDay>(text, d.Weekday, d.Month, d.Day, d.Hour, d.Minute, d.Second, d.Year))) {
    d.Layout = HttpLayout::Asctime;
  } else {
    d.Layout = HttpLayout::None;
  }
  return d;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_HTTP_READ_HTTP_DATE_H_
