// Internal: the first HTTP date layout whose seven fields all scan, shared by
// the reader and the tool that names a text's layout.
#ifndef ORVIK_CHRONO_SRC_HTTP_SCAN_LAYOUTS_H_
#define ORVIK_CHRONO_SRC_HTTP_SCAN_LAYOUTS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <tuple>

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

enum class HttpLayout : std::uint8_t { ImfFixdate, Rfc850, Asctime, None };

// The scans that are tried, one per format; asctime has one for a day of one
// digit and one for two.
enum class HttpTry : std::uint8_t { ImfFixdate, Rfc850, AsctimeOneDigitDay, AsctimeTwoDigitDay };

template <HttpTry kTry>
inline constexpr auto kTryFormat = kImfFixdate;
template <>
inline constexpr auto kTryFormat<HttpTry::Rfc850> = kRfc850;
template <>
inline constexpr auto kTryFormat<HttpTry::AsctimeOneDigitDay> = kAsctimeOneDigitDay;
template <>
inline constexpr auto kTryFormat<HttpTry::AsctimeTwoDigitDay> = kAsctimeTwoDigitDay;

constexpr HttpLayout LayoutOf(HttpTry scan) {
  switch (scan) {
    case HttpTry::ImfFixdate:
      return HttpLayout::ImfFixdate;
    case HttpTry::Rfc850:
      return HttpLayout::Rfc850;
    default:
      return HttpLayout::Asctime;
  }
}

// The destinations of a try's fields, in the order of its format.
template <HttpTry kTry>
[[gnu::always_inline]] inline auto FieldsOf(ScannedDate& d) {
  if constexpr (LayoutOf(kTry) == HttpLayout::Asctime) {
    return std::tie(d.Weekday, d.Month, d.Day, d.Hour, d.Minute, d.Second, d.Year);
  } else {
    return std::tie(d.Weekday, d.Day, d.Month, d.Year, d.Hour, d.Minute, d.Second);
  }
}

// How a try reads its format: one directive after another as sscanf does, or
// only where every directive takes its full span.
enum class Reading : std::uint8_t { OneByOne, AtFullSpan };

// Whether the scan of kFormat into `fields` assigns every one of them.
template <ScanFormat kFormat, Reading kReading, typename Fields, std::size_t... kField>
[[gnu::always_inline]] inline bool AllFieldsConvert(std::string_view text, std::size_t& values_end,
                                                    const Fields& fields, std::index_sequence<kField...> /*fields*/) {
  if constexpr (kReading == Reading::AtFullSpan) {
    return ScanAtFullSpan<kFormat>(text, values_end, std::get<kField>(fields)...);
  } else {
    return ScanToValuesEnd<kFormat>(text, values_end, std::get<kField>(fields)...) ==
           static_cast<int>(sizeof...(kField));
  }
}

// Whether all seven fields of kTry convert, read as kReading says.
template <HttpTry kTry, Reading kReading = Reading::OneByOne>
[[gnu::always_inline]] inline bool Matches(std::string_view text, ScannedDate& d, std::size_t& values_end) {
  const auto fields = FieldsOf<kTry>(d);
  const bool matched = AllFieldsConvert<kTryFormat<kTry>, kReading>(
      text, values_end, fields, std::make_index_sequence<std::tuple_size_v<decltype(fields)>>{});
  if (kTry == HttpTry::Rfc850 && matched) d.FirstYear = 1900;
  return matched;
}

// The layout of the first of kTries that matches, None when none does.
template <Reading kReading, HttpTry... kTries>
[[gnu::always_inline]] inline HttpLayout FirstMatch(std::string_view text, ScannedDate& d, std::size_t& values_end) {
  HttpLayout found = HttpLayout::None;
  (void)(... || (Matches<kTries, kReading>(text, d, values_end) && (found = LayoutOf(kTries), true)));
  return found;
}

// Tries IMF-fixdate, RFC 850 and asctime with a day of one digit and of two,
// in that order, and returns the layout of the first whose seven fields all
// convert, None when none does; `values_end` tells where the last scan's
// last value ends. `d.FirstYear` must start at 0; a match writes every other
// field, a try that fails may leave some written.
[[gnu::noinline]] inline HttpLayout ScanLayoutsInOrder(std::string_view text, ScannedDate& d, std::size_t& values_end) {
  return FirstMatch<Reading::OneByOne, HttpTry::ImfFixdate, HttpTry::Rfc850, HttpTry::AsctimeOneDigitDay,
                    HttpTry::AsctimeTwoDigitDay>(text, d, values_end);
}

// ScanLayoutsInOrder, with the dates as they are written read first, in an
// order that reads what the tries in order would read:
//  - asctime at full span, with a day of one digit and then of two. Three
//    weekday letters and a blank, with which both start, match neither
//    IMF-fixdate, which needs a ',' after the letters, nor RFC 850, whose
//    weekday the blank ends short of its ','. On a two-digit day the
//    one-digit scan takes the first digit as the day and the second as the
//    hour, and then meets a blank where it needs a ':'.
//  - IMF-fixdate at full span, the first try.
//  - RFC 850. Where it matches, IMF-fixdate does not: a weekday that
//    IMF-fixdate reads up to its ',' is the one RFC 850 reads, both then read
//    the same day, and after it RFC 850 needs a '-', which is neither white
//    space nor a month letter.
[[gnu::always_inline]] inline HttpLayout ScanLayouts(std::string_view text, ScannedDate& d, std::size_t& values_end) {
  if (const HttpLayout found = FirstMatch<Reading::AtFullSpan, HttpTry::AsctimeOneDigitDay, HttpTry::AsctimeTwoDigitDay,
                                          HttpTry::ImfFixdate>(text, d, values_end);
      found != HttpLayout::None) {
    return found;
  }
  if (Matches<HttpTry::Rfc850>(text, d, values_end)) return HttpLayout::Rfc850;
  return ScanLayoutsInOrder(text, d, values_end);
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_HTTP_SCAN_LAYOUTS_H_
