// Internal: the one reading of an ISO 8601 timestamp, shared by SplitIso8601
// and the tool that names a text's layout.
#ifndef ORVIK_CHRONO_SRC_ISO8601_READ_ISO8601_H_
#define ORVIK_CHRONO_SRC_ISO8601_READ_ISO8601_H_

#include <cstddef>
#include <string>

#include "iso8601/scan_formats.h"
#include "text/scan.h"

namespace orvik::chrono::internal {

// %u conversions store unsigned ints, converted explicitly where a signed
// value is meant.
struct IsoFields {
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
  int ValuesRead = 0;     // EOF when the text holds nothing to read
  bool Extended = false;  // the layout: extended, or basic
  std::size_t ValuesEnd = 0;
};

// The text's last characters choose the offset's form. A text without a
// fraction reads its designator and offset again, from where they follow
// full-width fields, in the layout's own offset form; one that ends before
// that reads as one that ends there.
template <typename Layout>
[[gnu::always_inline]] inline void ReadLayout(const std::string& text, IsoFields& f) {
  ScanResult read{};
  if (text.back() == 'Z') {
    read = Scan<Layout::kDateTime>(text, f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second, f.Fraction, f.Designator);
  } else if (text[text.size() - 3] == ':') {
    read = Scan<Layout::kDateTime + kColonOffset>(text, f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second, f.Fraction,
                                                  f.Designator, f.OffsetHours, f.OffsetMinutes);
  } else {
    read = Scan<Layout::kDateTime + kPlainOffset>(text, f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second, f.Fraction,
                                                  f.Designator, f.OffsetHours, f.OffsetMinutes);
  }
  f.ValuesRead = read.Count;
  f.ValuesEnd = read.ValuesEnd;
  if (read.Count != 6 || text.size() <= Layout::kDesignatorIndex) return;
  const ScanResult offset =
      Scan<Layout::kDesignator>(ScanText(text, Layout::kDesignatorIndex), f.Designator, f.OffsetHours, f.OffsetMinutes);
  f.ValuesEnd = Layout::kDesignatorIndex + offset.ValuesEnd;
  f.ValuesRead = offset.Count == EOF ? 6 : 7 + offset.Count;
}

// A text of four characters or fewer has no fifth character to tell the
// layouts apart: the bounds-checked access refuses it with the standard
// library's own std::out_of_range, before anything is scanned.
[[gnu::always_inline]] inline IsoFields ReadIso8601(const std::string& text) {
  IsoFields fields;
  fields.Extended = text.at(sizeof("2020") - 1) == '-';
  if (fields.Extended) {
    ReadLayout<ExtendedLayout>(text, fields);
  } else {
    ReadLayout<BasicLayout>(text, fields);
  }
  return fields;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_ISO8601_READ_ISO8601_H_
