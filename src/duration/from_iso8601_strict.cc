// duration::TryFromIso8601Strict: an ISO 8601 duration of hours, minutes and
// seconds, read only as written: "PT", then each of H, M and S at most once,
// in that order, a number before each, and the seconds' number may have a
// fraction.
#include <orvik/chrono/chrono.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "civil/time_units.h"
#include "messages.h"
#include "text/digits.h"
#include "text/fraction.h"
#include "text/strict_reading.h"

namespace orvik::chrono {
namespace internal {
namespace {

constexpr std::string_view kUnits = "HMS";
constexpr std::array<std::int64_t, 3> kUnitNanoseconds = {
    kSecondsPerHour * kNanosecondsPerSecond, kSecondsPerMinute* kNanosecondsPerSecond, kNanosecondsPerSecond};

// A number above this is held as this: it overflows in any unit, as it would,
// and no step of reading it overflows.
constexpr std::int64_t kNumberCap = std::int64_t{1} << 40;
static_assert(kNumberCap > std::numeric_limits<std::int64_t>::max() / kNanosecondsPerSecond);

// The index of unit `c` in kUnits, or its size for none.
constexpr std::size_t UnitAt(char c) {
  std::size_t unit = 0;
  while (unit < kUnits.size() && kUnits[unit] != c) ++unit;
  return unit;
}

// Years, months, weeks and days, which have no fixed length.
bool IsDateUnit(char c) { return c == 'Y' || c == 'M' || c == 'W' || c == 'D'; }

std::size_t SkipDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && digits::IsDigit(text[at])) ++at;
  return at;
}

[[gnu::always_inline]] inline ParseResult<std::chrono::nanoseconds> ReadStrict(std::string_view text,
                                                                               StrictReading& r) {
  std::size_t at = 0;
  const auto refuse = [&](const char* expected) -> ParseResult<std::chrono::nanoseconds> {
    r.Refuse(expected, at);
    return {{}, ParseError::DurationStrictLayout};
  };
  if (!Take(text, at, 'P')) return refuse("'P' at the start");
  if (!Take(text, at, 'T')) {
    const std::size_t unit = SkipDigits(text, at);
    if (unit > at && unit < text.size() && IsDateUnit(text[unit])) return {{}, ParseError::DurationNotSupported};
    return refuse("'T' after 'P'");
  }
  // An overflow is reported only once the whole text has been read, so that
  // a malformed text keeps its own refusal.
  bool fits = true;
  std::int64_t total = 0;
  std::size_t next_unit = 0;
  do {
    const std::size_t number = at;
    std::int64_t value = 0;
    for (; at < text.size() && digits::IsDigit(text[at]); ++at) {
      value = std::min(value * 10 + (text[at] - '0'), kNumberCap);
    }
    if (at == number) {
      if (std::size_t sign = at; TakeDecimalSign(text, sign)) return refuse("a digit before the decimal sign");
      return refuse(next_unit == 0 ? "a number after 'T'" : "another number and unit, or the end of the text");
    }
    std::size_t unit = at < text.size() ? UnitAt(text[at]) : kUnits.size();
    if (unit == kUnits.size() && TakeDecimalSign(text, at)) {
      int fraction = 0;
      if (!ReadFraction(text, at, "S after at most nine digits of a fraction", fraction, r)) {
        return {{}, ParseError::DurationStrictLayout};
      }
      if (!IsAt(text, at, 'S')) return refuse("S after the fraction, which is read only on the seconds");
      unit = UnitAt('S');
      // No part of the total is negative: it overflows whatever their order.
      fits = fits && !__builtin_add_overflow(total, fraction, &total);
    }
    if (unit < next_unit || unit == kUnits.size()) {
      return refuse("H, M or S after the number, in that order and each at most once");
    }
    std::int64_t product = 0;
    fits = fits && !__builtin_mul_overflow(value, kUnitNanoseconds[unit], &product) &&
           !__builtin_add_overflow(total, product, &total);
    next_unit = unit + 1;
    ++at;
  } while (at < text.size());
  if (!fits) return {{}, ParseError::DurationOutOfRange};
  return {std::chrono::nanoseconds(total)};
}

}  // namespace
}  // namespace internal

ParseResult<std::chrono::nanoseconds> duration::TryFromIso8601Strict(std::string_view text) noexcept {
  return internal::ReadAlone<internal::ReadStrict>(text);
}

// Every refusal's message is the reader's head, a detail, ": " and the text;
// for DurationNotSupported and DurationOutOfRange, which the lenient reader
// gives too, ErrorMessage gives the lenient reader's words instead.
ParseResult<std::chrono::nanoseconds> duration::TryFromIso8601Strict(std::string_view text, std::string& message) {
  internal::StrictReading reading;
  const ParseResult<std::chrono::nanoseconds> read = internal::ReadStrict(text, reading);
  if (read.error == ParseError::DurationStrictLayout) {
    internal::AppendStrictMessage(message, internal::kDurationStrictHead, reading, text);
  } else if (!read) {
    const std::string_view detail =
        read.error == ParseError::DurationNotSupported ? internal::kDateUnitsNotRead : internal::kTotalOutsideRange;
    internal::AppendParts(message, {internal::kDurationStrictHead, detail, ": ", text});
  }
  return read;
}

}  // namespace orvik::chrono
