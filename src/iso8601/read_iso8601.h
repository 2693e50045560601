// Internal: the one reading of an ISO 8601 timestamp by SplitIso8601 and
// FromIso8601, their Try faces included.
#ifndef ORVIK_CHRONO_SRC_ISO8601_READ_ISO8601_H_
#define ORVIK_CHRONO_SRC_ISO8601_READ_ISO8601_H_

#include <orvik/chrono/chrono.h>

#include <array>
#include <cstddef>
#include <cstdio>
#include <string_view>

#include "civil/instant.h"
#include "iso8601/scan_formats.h"
#include "text/scan.h"

namespace orvik::chrono::internal {

// The values that a scan of a timestamp reads, in order: the six fields of
// date and time, the fraction, the designator and the offset's hours and
// minutes. A text without a fraction counts its fraction as read once its
// designator is read again.
inline constexpr int kDateTimeValues = 6;
inline constexpr int kFractionValues = kDateTimeValues + 1;
inline constexpr int kDesignatorValues = kFractionValues + 1;
inline constexpr int kOffsetHourValues = kDesignatorValues + 1;
inline constexpr int kOffsetValues = kOffsetHourValues + 1;

// What refuses a text that a scan stopped in, by the values read (index 0 for
// EOF, -1): the first value that could not be read. A scan that read the
// designator and an offset is refused only when its designator does not fit.
inline constexpr std::array<ParseError, kOffsetValues + 2> kIsoErrorByValuesRead = {
    ParseError::Iso8601Unreadable,  // EOF: nothing to read
    ParseError::Iso8601Year,       ParseError::Iso8601Month,   ParseError::Iso8601Day,
    ParseError::Iso8601Hour,       ParseError::Iso8601Minutes, ParseError::Iso8601Seconds,
    ParseError::Iso8601Offset,      // no designator
    ParseError::Iso8601Offset,      // a fraction, no designator
    ParseError::Iso8601Designator,  // not 'Z', and no offset
    ParseError::Iso8601Offset,      // offset hours, not after '+' or '-'
    ParseError::Iso8601Designator,  // an offset, not after '+' or '-'
};

// What the scan formats read: the date and time of day as ints, which take
// the bits of what %u reads (a leading '-' wraps it, and the int is the
// negative number); the fraction and the offset as %u reads them.
struct IsoFields {
  CivilFields Civil;  // its Nanoseconds unused: the fraction's scale comes later
  unsigned Fraction = 0;
  char Designator = '\0';
  unsigned OffsetHours = 0;
  unsigned OffsetMinutes = 0;
  int ValuesRead = 0;            // EOF when the text holds nothing to read
  bool Extended = false;         // the layout: extended, or basic
  std::size_t ValuesLength = 0;  // the characters up to the end of the last value read
};

// Whether the values read make a timestamp: "Z" alone, or a sign and an offset.
inline bool IsAccepted(const IsoFields& fields) {
  if (fields.ValuesRead == kDesignatorValues) return fields.Designator == 'Z';
  return (fields.ValuesRead == kOffsetHourValues || fields.ValuesRead == kOffsetValues) &&
         (fields.Designator == '+' || fields.Designator == '-');
}

// The refusal of fields that IsAccepted refuses.
inline ParseError IsoError(const IsoFields& fields) {
  return kIsoErrorByValuesRead[static_cast<std::size_t>(fields.ValuesRead) + 1];  // EOF, -1, is index 0
}

// The text's last characters choose the offset's form. A text without a
// fraction reads its designator and offset again, from where they follow
// full-width fields, in the layout's own offset form; one that ends before
// that reads as one that ends there. `text` has five characters or more.
template <typename Formats>
[[gnu::always_inline]] inline void ScanFields(std::string_view text, IsoFields& f) {
  ScanResult read{};
  CivilFields& c = f.Civil;
  if (text.back() == 'Z') {
    read = Scan<Formats::kDateTime>(text, c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second, f.Fraction, f.Designator);
  } else if (text[text.size() - 3] == ':') {
    read = Scan<Formats::kDateTime + kColonOffset>(text, c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second, f.Fraction,
                                                   f.Designator, f.OffsetHours, f.OffsetMinutes);
  } else {
    read = Scan<Formats::kDateTime + kPlainOffset>(text, c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second, f.Fraction,
                                                   f.Designator, f.OffsetHours, f.OffsetMinutes);
  }
  f.ValuesRead = read.Count;
  f.ValuesLength = read.ValuesLength;
  if (read.Count != kDateTimeValues || text.size() <= Formats::kDesignatorIndex) return;
  const ScanResult offset =
      Scan<Formats::kDesignator>(text.substr(Formats::kDesignatorIndex), f.Designator, f.OffsetHours, f.OffsetMinutes);
  f.ValuesLength = Formats::kDesignatorIndex + offset.ValuesLength;
  f.ValuesRead = offset.Count == EOF ? kDateTimeValues : kFractionValues + offset.Count;
}

// The fifth character tells the layouts apart: a text of four characters or
// fewer is refused (Iso8601TooShort) before anything is scanned.
inline constexpr std::size_t kLayoutIndex = sizeof("2020") - 1;

// Reads `text`, which has more than kLayoutIndex characters.
[[gnu::always_inline]] inline IsoFields ReadIso8601(std::string_view text) {
  IsoFields fields;
  fields.Extended = text[kLayoutIndex] == '-';
  if (fields.Extended) {
    ScanFields<ExtendedScan>(text, fields);
  } else {
    ScanFields<BasicScan>(text, fields);
  }
  return fields;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_ISO8601_READ_ISO8601_H_
