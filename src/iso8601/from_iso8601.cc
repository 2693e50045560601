// TrySplitIso8601, TryFromIso8601, SplitIso8601 and FromIso8601: ISO 8601
// timestamp text to an instant and the UTC offset that the text carried.
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
#include <string>
#include <string_view>
#include <utility>

#include "civil/civil.h"
#include "civil/time_units.h"
#include "iso8601/read_iso8601.h"

namespace orvik::chrono {
namespace internal {
namespace {

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
std::int64_t WallClockSeconds(const CivilFields& f) {
  return civil::SecondsFromCivil(f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second);
}

std::int64_t OffsetMinutes(const IsoFields& fields) {
  const std::int64_t offset =
      std::int64_t{static_cast<std::int32_t>(fields.OffsetHours)} * kMinutesPerHour + fields.OffsetMinutes;
  return fields.Designator == '-' ? -offset : offset;
}

using Split = std::pair<TimePoint, std::chrono::minutes>;

[[gnu::always_inline]] inline ParseResult<Split> ReadSplit(std::string_view text) {
  if (text.size() <= kLayoutIndex) return {{}, ParseError::Iso8601TooShort};
  const IsoFields fields = ReadIso8601(text);
  if (!IsAccepted(fields)) return {{}, IsoError(fields)};
  if (fields.Civil.Year <= 1899) return {{}, ParseError::Iso8601YearBefore1900};

  const std::int64_t offset = OffsetMinutes(fields);
  const Int128 instant = Int128{WallClockSeconds(fields.Civil)} * kNanosecondsPerSecond -
                         Int128{offset} * kSecondsPerMinute * kNanosecondsPerSecond +
                         FractionNanoseconds(fields.Fraction, text.size());
  if (instant < std::numeric_limits<std::int64_t>::min() || instant > std::numeric_limits<std::int64_t>::max()) {
    return {{}, ParseError::Iso8601OutsideRange};
  }
  return {{TimePoint(std::chrono::nanoseconds(static_cast<std::int64_t>(instant))), std::chrono::minutes(offset)}};
}

}  // namespace
}  // namespace internal

ParseResult<std::pair<TimePoint, std::chrono::minutes>> TrySplitIso8601(std::string_view text) noexcept {
  return internal::ReadSplit(text);
}

ParseResult<TimePoint> TryFromIso8601(std::string_view text) noexcept {
  const auto read = internal::ReadSplit(text);
  return {read.value.first, read.error};
}

std::pair<TimePoint, std::chrono::minutes> SplitIso8601(const std::string& text) {
  const auto read = internal::ReadSplit(text);
  if (!read) ThrowParseError(read.error, text);
  return read.value;
}

TimePoint FromIso8601(const std::string& text) { return SplitIso8601(text).first; }

}  // namespace orvik::chrono
