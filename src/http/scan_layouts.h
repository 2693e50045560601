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

enum class HttpLayout : std::uint8_t { ImfFixdate, Rfc850, AsctimeOneDigitDay, AsctimeTwoDigitDay, None };

template <HttpLayout kLayout>
inline constexpr auto kLayoutFormat = kImfFixdate;
template <>
inline constexpr auto kLayoutFormat<HttpLayout::Rfc850> = kRfc850;
template <>
inline constexpr auto kLayoutFormat<HttpLayout::AsctimeOneDigitDay> = kAsctimeOneDigitDay;
template <>
inline constexpr auto kLayoutFormat<HttpLayout::AsctimeTwoDigitDay> = kAsctimeTwoDigitDay;

// The destinations of a layout's fields, in the order of its format.
template <HttpLayout kLayout>
[[gnu::always_inline]] inline auto FieldsOf(ScannedDate& d) {
  if constexpr (kLayout == HttpLayout::ImfFixdate || kLayout == HttpLayout::Rfc850) {
    return std::tie(d.Weekday, d.Day, d.Month, d.Year, d.Hour, d.Minute, d.Second);
  } else {
    return std::tie(d.Weekday, d.Month, d.Day, d.Hour, d.Minute, d.Second, d.Year);
  }
}

constexpr bool kAtFullSpan = true;

// Whether the scan of kFormat into `fields` assigns every one of them.
template <ScanFormat kFormat, bool kFullSpan, typename Fields, std::size_t... kField>
[[gnu::always_inline]] inline bool AllFieldsConvert(std::string_view text, std::size_t& values_end,
                                                    const Fields& fields, std::index_sequence<kField...> /*fields*/) {
  if constexpr (kFullSpan) {
    return ScanAtFullSpan<kFormat>(text, values_end, std::get<kField>(fields)...);
  } else {
    return ScanToValuesEnd<kFormat>(text, values_end, std::get<kField>(fields)...) ==
           static_cast<int>(sizeof...(kField));
  }
}

// Whether all seven fields of kLayout convert, when kFullSpan is set only
// where each takes its full span.
template <HttpLayout kLayout, bool kFullSpan = false>
[[gnu::always_inline]] inline bool Matches(std::string_view text, ScannedDate& d, std::size_t& values_end) {
  const auto fields = FieldsOf<kLayout>(d);
  const bool matched = AllFieldsConvert<kLayoutFormat<kLayout>, kFullSpan>(
      text, values_end, fields, std::make_index_sequence<std::tuple_size_v<decltype(fields)>>{});
  if (kLayout == HttpLayout::Rfc850 && matched) d.FirstYear = 1900;
  return matched;
}

// The first of kLayouts that matches, None when none does.
template <bool kFullSpan, HttpLayout... kLayouts>
[[gnu::always_inline]] inline HttpLayout FirstMatch(std::string_view text, ScannedDate& d, std::size_t& values_end) {
  HttpLayout found = HttpLayout::None;
  (void)(... || (Matches<kLayouts, kFullSpan>(text, d, values_end) && (found = kLayouts, true)));
  return found;
}

// Tries IMF-fixdate, RFC 850 and the two asctime layouts in that order and
// returns the first whose seven fields all convert, None when none does;
// `values_end` tells where the last scan's last value ends. `d` must start
// zeroed.
[[gnu::noinline]] inline HttpLayout ScanLayoutsInOrder(std::string_view text, ScannedDate& d, std::size_t& values_end) {
  return FirstMatch<!kAtFullSpan, HttpLayout::ImfFixdate, HttpLayout::Rfc850, HttpLayout::AsctimeOneDigitDay,
                    HttpLayout::AsctimeTwoDigitDay>(text, d, values_end);
}

// ScanLayoutsInOrder, with the dates as they are written read first, in an
// order that takes what the tries in order would take:
//  - Each asctime layout at full span. Three weekday letters and a blank,
//    with which both start, match neither IMF-fixdate, which needs a ','
//    after the letters, nor RFC 850, whose weekday the blank ends short of
//    its ','. And on a two-digit day the one-digit layout reads the first
//    digit as the day and the second as the hour, and then meets a blank
//    where it needs a ':'.
//  - IMF-fixdate at full span, the first try.
//  - RFC 850. Where it matches, IMF-fixdate does not: a weekday that
//    IMF-fixdate reads up to its ',' is the one RFC 850 reads, both then read
//    the same day, and after it RFC 850 needs a '-', which is neither white
//    space nor a month letter.
[[gnu::always_inline]] inline HttpLayout ScanLayouts(std::string_view text, ScannedDate& d, std::size_t& values_end) {
  if (const HttpLayout found = FirstMatch<kAtFullSpan, HttpLayout::AsctimeTwoDigitDay, HttpLayout::AsctimeOneDigitDay,
                                          HttpLayout::ImfFixdate>(text, d, values_end);
      found != HttpLayout::None) {
    return found;
  }
  if (Matches<HttpLayout::Rfc850>(text, d, values_end)) return HttpLayout::Rfc850;
  return ScanLayoutsInOrder(text, d, values_end);
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_HTTP_SCAN_LAYOUTS_H_
