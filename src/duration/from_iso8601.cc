// duration::TryFromIso8601 and duration::FromIso8601: an ISO 8601 duration of hours, minutes and seconds,
// such as PT1H30M15S, to nanoseconds.
//
// One walk over the text: a run of digits, then the designator that ends it,
// until the last character. The first character stands for the leading 'P'
// and is not looked at.
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
#include "text/digits.h"

namespace orvik::chrono {
namespace internal {
namespace {

// Reads the run of digits at text[at] and advances `at` past it; an empty run
// is 0. A run beyond int is refused as std::stoi refuses it, and a text that
// ends in digits as malformed. Unless kEndsInDigit, the text's last character
// ends every run, so no run needs the text's length.
template <bool kEndsInDigit>
ParseResult<int> ConsumeRun(std::string_view text, std::size_t& at) {
  constexpr std::uint64_t kLargest = std::numeric_limits<int>::max();
  std::uint64_t value = 0;
  for (; (!kEndsInDigit || at < text.size()) && digits::IsDigit(text[at]); ++at) {
    value = std::min(value * 10 + static_cast<std::uint64_t>(text[at] - '0'), kLargest + 1);  // beyond int stays
  }
  if (at == text.size()) return {{}, ParseError::DurationInvalid};
  if (value > kLargest) return {{}, ParseError::DurationNumberTooLarge};
  return {static_cast<int>(value)};
}

// What each byte means as a designator: the nanoseconds of one unit (0 for
// 'P' and 'T', which count nothing), or a refusal.
constexpr std::int64_t kInvalid = -1;
constexpr std::int64_t kNotSupported = -2;
constexpr std::array<std::int64_t, 256> kUnits = [] {
  std::array<std::int64_t, 256> units{};
  units.fill(kInvalid);
  units['P'] = 0;
  units['T'] = 0;
  units['H'] = kSecondsPerHour * kNanosecondsPerSecond;
  units['M'] = kSecondsPerMinute * kNanosecondsPerSecond;  // when in the time part; a month before it
  units['S'] = kNanosecondsPerSecond;
  units['D'] = kNotSupported;
  units['Y'] = kNotSupported;
  return units;
}();

// The nanoseconds of one unit of the designator; a 'T' sets `in_time`.
ParseResult<std::int64_t> ConsumeDesignator(char designator, bool& in_time) {
  const std::int64_t unit = kUnits[static_cast<unsigned char>(designator)];
  if (unit < 0) return {{}, unit == kNotSupported ? ParseError::DurationNotSupported : ParseError::DurationInvalid};
  in_time = in_time || designator == 'T';
  if (designator == 'M' && !in_time) return {{}, ParseError::DurationNotSupported};  // a month
  return {unit};
}

template <bool kEndsInDigit>
[[gnu::always_inline]] inline ParseResult<std::chrono::nanoseconds> ReadRuns(std::string_view text) {
  std::int64_t total = 0;
  bool in_time = false;
  // An overflow of the total is reported only once the whole text has been
  // read, so that a malformed text keeps its own error.
  bool fits = true;
  for (std::size_t at = 1;; ++at) {
    const ParseResult<int> value = ConsumeRun<kEndsInDigit>(text, at);
    if (!value) return {{}, value.error};
    const ParseResult<std::int64_t> unit = ConsumeDesignator(text[at], in_time);
    if (!unit) return {{}, unit.error};
    std::int64_t product = 0;
    fits = fits && !__builtin_mul_overflow(std::int64_t{value.value}, unit.value, &product) &&
           !__builtin_add_overflow(total, product, &total);
    if (at == text.size() - 1) break;
  }
  if (!fits) return {{}, ParseError::DurationOutOfRange};
  return {std::chrono::nanoseconds(total)};
}

// A text that ends in digits is refused, but only where its runs come to an
// end: an earlier refusal wins.
[[gnu::always_inline]] inline ParseResult<std::chrono::nanoseconds> ReadDuration(std::string_view text) {
  if (text.size() <= 2) return {{}, ParseError::DurationInvalid};
  return digits::IsDigit(text.back()) ? ReadRuns<true>(text) : ReadRuns<false>(text);
}

}  // namespace
}  // namespace internal

ParseResult<std::chrono::nanoseconds> duration::TryFromIso8601(std::string_view text) noexcept {
  return internal::ReadDuration(text);
}

std::chrono::nanoseconds duration::FromIso8601(const std::string& text) {
  const ParseResult<std::chrono::nanoseconds> read = internal::ReadDuration(text);
  if (!read) ThrowParseError(read.error, text);
  return read.value;
}

}  // namespace orvik::chrono
