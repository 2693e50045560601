// Internal: the scan formats of the HTTP date layouts, in the order they are
// tried. Each reads a weekday, a month and five numbers; the zone after them
// is never looked at.
#ifndef ORVIK_CHRONO_SRC_HTTP_SCAN_FORMATS_H_
#define ORVIK_CHRONO_SRC_HTTP_SCAN_FORMATS_H_

#include "text/scan.h"

namespace orvik::chrono::internal {

// The letters of the day abbreviations, of the full day names and of the
// month abbreviations.
inline constexpr ScanFormat kWeekday = "%3[FMSTWadehinortu]";
inline constexpr ScanFormat kFullWeekday = "%9[FMSTWadehinorstuy]";
inline constexpr ScanFormat kMonth = "%3[ADFJMNOSabceglnoprtuvy]";

// Weekday, day, month, year, hour, minute, second.
inline constexpr auto kImfFixdate = kWeekday + ", %2u " + kMonth + " %4u %2u:%2u:%2u";
inline constexpr auto kRfc850 = kFullWeekday + ", %2u-" + kMonth + "-%2u %2u:%2u:%2u";
// Weekday, month, day, hour, minute, second, year.
inline constexpr auto kAsctimeOneDigitDay = kWeekday + " " + kMonth + "  %1u %2u:%2u:%2u %4u";
inline constexpr auto kAsctimeTwoDigitDay = kWeekday + " " + kMonth + " %2u %2u:%2u:%2u %4u";

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_HTTP_SCAN_FORMATS_H_
