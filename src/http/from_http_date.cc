// FromHttpDate: an IMF-fixdate, RFC 850 or asctime date to its UTC instant.
//
// Each layout is a scan format (asctime has one per width of day), tried in
// order; the first whose seven fields all convert is taken, and nothing after
// its seventh field is looked at. The names are then looked up, the month
// first, and the fields are read as UTC whatever the process's zone,
// out-of-range fields carrying into the next unit.
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
#include "http/read_http_date.h"
#include "messages.h"

namespace orvik::chrono {

TimePoint FromHttpDate(const std::string& text) {
  using namespace internal;
  const HttpDate scanned = ReadHttpDate(text);
  if (scanned.Layout == HttpLayout::None) {
    ThrowMessage<std::invalid_argument>({kHttpUnreadable, text});
  }
  const std::optional<int> month = FindMonth(scanned.Month);
  if (!month) ThrowMessage<std::invalid_argument>({kHttpMonthHead, scanned.Month, kHttpNameTail, text});
  // The weekday is only checked: one that does not fit the date changes nothing.
  if (!FindWeekday(scanned.Weekday)) {
    ThrowMessage<std::invalid_argument>({kHttpWeekdayHead, scanned.Weekday, kHttpNameTail, text});
  }

  // Numbers of at most four characters fit into an int.
  const std::int64_t seconds = civil::SecondsFromCivil(
      scanned.FirstYear + static_cast<int>(scanned.Year), *month + 1, static_cast<int>(scanned.Day),
      static_cast<int>(scanned.Hour), static_cast<int>(scanned.Minute), static_cast<int>(scanned.Second));
  if (seconds < kMinTimePointSeconds || seconds > kMaxTimePointSeconds) {
    ThrowMessage<std::out_of_range>({kHttpOutsideRange, text});
  }
  return TimePoint(std::chrono::seconds(seconds));
}

}  // namespace orvik::chrono
