// TryFromHttpDate and FromHttpDate: an IMF-fixdate, RFC 850 or asctime date to its UTC instant.
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
#include <string>
#include <string_view>

#include "civil/civil.h"
#include "civil/names.h"
#include "civil/time_units.h"
#include "http/name_message.h"
#include "http/read_http_date.h"
#include "messages.h"

namespace orvik::chrono {
namespace internal {
namespace {

[[gnu::always_inline]] inline ParseResult<TimePoint> ReadInstant(std::string_view text) {
  const HttpDate scanned = ReadHttpDate(text);
  if (scanned.Layout == HttpLayout::None) return {{}, ParseError::HttpUnreadable};
  const std::optional<int> month = FindMonth(scanned.Month);
  if (!month) return {{}, ParseError::HttpMonth};
  // The weekday is only checked: one that does not fit the date changes nothing.
  if (!FindWeekday(scanned.Weekday)) return {{}, ParseError::HttpWeekday};

  // Numbers of at most four characters fit into an int.
  const std::int64_t seconds = civil::SecondsFromCivil(
      scanned.FirstYear + static_cast<int>(scanned.Year), *month + 1, static_cast<int>(scanned.Day),
      static_cast<int>(scanned.Hour), static_cast<int>(scanned.Minute), static_cast<int>(scanned.Second));
  if (seconds < kMinTimePointSeconds || seconds > kMaxTimePointSeconds) return {{}, ParseError::HttpOutsideRange};
  return {TimePoint(std::chrono::seconds(seconds))};
}

}  // namespace

// The name is what the reading put in its buffer, so it is read again.
std::string HttpNameMessage(ParseError error, std::string_view text) {
  const HttpDate date = ReadHttpDate(text);
  return error == ParseError::HttpMonth ? JoinMessage({kHttpMonthHead, date.Month, kHttpNameTail, text})
                                        : JoinMessage({kHttpWeekdayHead, date.Weekday, kHttpNameTail, text});
}

}  // namespace internal

ParseResult<TimePoint> TryFromHttpDate(std::string_view text) noexcept { return internal::ReadInstant(text); }

TimePoint FromHttpDate(const std::string& text) {
  const ParseResult<TimePoint> read = internal::ReadInstant(text);
  if (!read) ThrowParseError(read.error, text);
  return read.value;
}

}  // namespace orvik::chrono
