// Internal: the scan formats of ISO 8601 timestamps, by layout.
#ifndef ORVIK_CHRONO_SRC_ISO8601_SCAN_FORMATS_H_
#define ORVIK_CHRONO_SRC_ISO8601_SCAN_FORMATS_H_

#include <cstddef>

#include "text/scan.h"

namespace orvik::chrono::internal {

// The offset's two forms, after the designator.
inline constexpr ScanFormat kColonOffset = "%2u:%2u";
inline constexpr ScanFormat kPlainOffset = "%2u%2u";

// Date, time, fraction and designator (followed by one of the offset forms
// unless the text ends in 'Z'); then, for a text without a fraction, the
// designator and offset read again from where they follow full-width fields,
// in the layout's own offset form.
struct ExtendedScan {
  static constexpr ScanFormat kDateTime = "%4u-%2u-%2uT%2u:%2u:%2u.%9u%c";
  static constexpr ScanFormat kDesignator = ScanFormat("%c") + kColonOffset;
  static constexpr std::size_t kDesignatorIndex = sizeof("2020-01-01T00:00:00") - 1;
};

struct BasicScan {
  static constexpr ScanFormat kDateTime = "%4u%2u%2uT%2u%2u%2u.%9u%c";
  static constexpr ScanFormat kDesignator = ScanFormat("%c") + kPlainOffset;
  static constexpr std::size_t kDesignatorIndex = sizeof("20200101T000000") - 1;
};

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_ISO8601_SCAN_FORMATS_H_
