// FromHttpDate: an IMF-fixdate, RFC 850 or asctime date to its UTC instant.
//
// Each layout is one scan format, tried in order; the first whose seven
// fields all convert is taken, and nothing after its seventh field is looked
// at. The names are then looked up, the month first, and the fields are read
// as UTC whatever the process's zone, out-of-range fields carrying into the
// next unit.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "calendar/civil.h"
#include "calendar/time_units.h"
#include "http/names.h"
#include "http/scan_formats.h"
#include "messages.h"
#include "text/scan.h"

namespace orvik::chrono {
namespace internal {
namespace {

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

constexpr int kScannedFields = 7;

// Tries IMF-fixdate, RFC 850 and the two asctime layouts in that order and
// stops at the first whose seven fields all convert.
bool ScanLayouts(std::string_view text, ScannedDate& d) {
  if (Scan<kImfFixdate>(text, d.Weekday, d.Day, d.Month, d.Year, d.Hour, d.Minute, d.Second) == kScannedFields) {
    return true;
  }
  if (Scan<kRfc850>(text, d.Weekday, d.Day, d.Month, d.Year, d.Hour, d.Minute, d.Second) == kScannedFields) {
    d.FirstYear = 1900;
    return true;
  }
  if (Scan<kAsctimeOneDigitDay>(text, d.Weekday, d.Month, d.Day, d.Hour, d.Minute, d.Second, d.Year) ==
      kScannedFields) {
    return true;
  }
  return Scan<kAsctimeTwoDigitDay>(text, d.Weekday, d.Month, d.Day, d.Hour, d.Minute, d.Second, d.Year) ==
         kScannedFields;
}

}  // namespace
}  // namespace internal

TimePoint FromHttpDate(const std::string& text) {
  using namespace internal;
  ScannedDate scanned{};
  if (!ScanLayouts(text, scanned)) ThrowMessage<std::invalid_argument>({kHttpUnreadable, text});
  const std::optional<int> month = FindMonth(scanned.Month);
  if (!month) ThrowMessage<std::invalid_argument>({kHttpMonthHead, scanned.Month, kHttpNameTail, text});
  // The weekday is only checked: one that does not fit the date changes nothing.
  if (!FindWeekday(scanned.Weekday))
    ThrowMessage<std::invalid_argument>({kHttpWeekdayHead, scanned.Weekday, kHttpNameTail, text});

  // Numbers of at most four characters fit into an int.
  const std::int64_t seconds =
      civil::SecondsFromCivil(scanned.FirstYear + static_cast<int>(scanned.Year), static_cast<unsigned>(*month) + 1,
                              static_cast<int>(scanned.Day), static_cast<int>(scanned.Hour),
                              static_cast<int>(scanned.Minute), static_cast<int>(scanned.Second));
  if (seconds < kMinTimePointSeconds || seconds > kMaxTimePointSeconds) {
    ThrowMessage<std::out_of_range>({kHttpOutsideRange, text});
  }
  return TimePoint(std::chrono::seconds(seconds));
}

}  // namespace orvik::chrono
