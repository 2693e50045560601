// Internal: an ISO 8601 timestamp's fields as its layout's scans read them,
// shared by the reader and the tool that names a text's layout.
#ifndef ORVIK_CHRONO_SRC_ISO8601_SCAN_FIELDS_H_
#define ORVIK_CHRONO_SRC_ISO8601_SCAN_FIELDS_H_

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "iso8601/scan_formats.h"
#include "text/scan.h"

namespace orvik::chrono::internal {

// The scan's destinations: %u conversions store unsigned ints, converted
// explicitly where a signed value is meant.
struct Fields {
  unsigned Year = 0;
  unsigned Month = 0;
  unsigned Day = 0;
  unsigned Hour = 0;
  unsigned Minute = 0;
  unsigned Second = 0;
  unsigned Fraction = 0;
  char Designator = '\0';
  unsigned OffsetHours = 0;
  unsigned OffsetMinutes = 0;
};

// Scans `text` (longer than four characters) into `f` and returns the number
// of values read, -1 when the text holds nothing to read; `values_end` tells
// where the last value read ends.
template <typename Layout>
[[gnu::always_inline]] inline int ScanFields(const std::string& text, Fields& f, std::size_t& values_end) {
  const std::string_view c = text;
  int values_read = 0;
  if (text.back() == 'Z') {
    values_read = ScanToValuesEnd<Layout::kDateTime>(c, values_end, f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second,
                                                     f.Fraction, f.Designator);
  } else if (text[text.size() - 3] == ':') {
    values_read = ScanToValuesEnd<Layout::kDateTime + kColonOffset>(c, values_end, f.Year, f.Month, f.Day, f.Hour,
                                                                    f.Minute, f.Second, f.Fraction, f.Designator,
                                                                    f.OffsetHours, f.OffsetMinutes);
  } else {
    values_read = ScanToValuesEnd<Layout::kDateTime + kPlainOffset>(c, values_end, f.Year, f.Month, f.Day, f.Hour,
                                                                    f.Minute, f.Second, f.Fraction, f.Designator,
                                                                    f.OffsetHours, f.OffsetMinutes);
  }
  if (values_read != 6) return values_read;

  // No fraction: the designator stands where it follows full-width fields. A
  // text that ends before that reads as one that ends there.
  if (text.size() <= Layout::kDesignatorIndex) return 6;
  std::size_t offset_end = 0;
  const int offset_values_read = ScanToValuesEnd<Layout::kDesignator>(c.substr(Layout::kDesignatorIndex), offset_end,
                                                                      f.Designator, f.OffsetHours, f.OffsetMinutes);
  values_end = Layout::kDesignatorIndex + offset_end;
  return offset_values_read == EOF ? 6 : 7 + offset_values_read;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_ISO8601_SCAN_FIELDS_H_
