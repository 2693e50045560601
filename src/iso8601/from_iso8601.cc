// SplitIso8601 and FromIso8601: ISO 8601 timestamp text to an instant and the
// UTC offset that the text carried.
//
// The text is scanned, and the number of values read both decides acceptance
// and names the first field that failed. The text's length decides how the
// fraction is scaled to nanoseconds. Every field is scanned into an unsigned
// object and converted explicitly afterwards, and the instant is formed in
// 128 bits, so no text leads to undefined behaviour.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "calendar/civil.h"
#include "calendar/time_units.h"
#include "iso8601/read_iso8601.h"
#include "messages.h"

namespace orvik::chrono {
namespace internal {
namespace {

bool Accepted(int values_read, char designator) {
  if (values_read == 8) return designator == 'Z';
  return (values_read == 9 || values_read == 10) && (designator == '+' || designator == '-');
}

// A three- or six-digit fraction is told by the length of the whole text.
unsigned FractionNanoseconds(unsigned fraction, std::size_t text_length) {
  switch (text_length) {
    case sizeof("20200101T000000.123456Z") - 1:
    case sizeof("2020-01-01T00:00:00.123456Z") - 1:  // as long as 20200101T000000.123456+0530
    case sizeof("2020-01-01T00:00:00.123456+05:30") - 1:
      return fraction * 1000U;
    case sizeof("20200101T000000.123Z") - 1:
    case sizeof("2020-01-01T00:00:00.123Z") - 1:  // as long as 20200101T000000.123+0530
    case sizeof("2020-01-01T00:00:00.123+05:30") - 1:
      return fraction * 1000000U;
    default:
      return fraction;
  }
}

// Fields out of range carry into the next unit, such as month 13.
std::int64_t WallClockSeconds(const IsoFields& fields) {
  return civil::SecondsFromCivil(static_cast<int>(fields.Year), static_cast<int>(fields.Month),
                                 static_cast<int>(fields.Day), static_cast<int>(fields.Hour),
                                 static_cast<int>(fields.Minute), static_cast<int>(fields.Second));
}

std::int64_t OffsetMinutes(const IsoFields& fields) {
  const std::int64_t offset =
      std::int64_t{static_cast<std::int32_t>(fields.OffsetHours)} * kMinutesPerHour + fields.OffsetMinutes;
  return fields.Designator == '-' ? -offset : offset;
}

}  // namespace
}  // namespace internal

std::pair<TimePoint, std::chrono::minutes> SplitIso8601(const std::string& text) {
  using namespace internal;
  const IsoFields fields = ReadIso8601(text);
  if (!Accepted(fields.ValuesRead, fields.Designator)) {
    const auto detail = static_cast<std::size_t>(fields.ValuesRead) + 1;  // EOF, -1, has the first detail
    ThrowMessage<std::invalid_argument>({kIso8601Unreadable, kIso8601DetailByValuesRead.at(detail), text});
  }
  if (static_cast<int>(fields.Year) <= 1899) ThrowMessage<std::invalid_argument>({kIso8601YearBefore1900, text});

  const std::int64_t offset = OffsetMinutes(fields);
  const Int128 instant = Int128{WallClockSeconds(fields)} * kNanosecondsPerSecond -
                         Int128{offset} * kSecondsPerMinute * kNanosecondsPerSecond +
                         FractionNanoseconds(fields.Fraction, text.size());
  if (instant < std::numeric_limits<std::int64_t>::min() || instant > std::numeric_limits<std::int64_t>::max()) {
    ThrowMessage<std::out_of_range>({kIso8601OutsideRange, text});
  }
  return {TimePoint(std::chrono::nanoseconds(static_cast<std::int64_t>(instant))), std::chrono::minutes(offset)};
}

TimePoint FromIso8601(const std::string& text) { return SplitIso8601(text).first; }

}  // namespace orvik::chrono
