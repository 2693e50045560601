// duration::FromIso8601: an ISO 8601 duration of hours, minutes and seconds,
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
#include <stdexcept>
#include <string>
#include <string_view>

#include "calendar/time_units.h"
#include "messages.h"
#include "text/digits.h"

namespace orvik::chrono {
namespace internal {
namespace {

enum class Refusal : std::uint8_t { InvalidFormat, NotSupported, RunOutOfRange, TotalOutOfRange };

[[noreturn]] void Refuse(Refusal refusal) {
  switch (refusal) {
    case Refusal::InvalidFormat:
      ThrowMessage<std::invalid_argument>({kDurationInvalid});
    case Refusal::NotSupported:
      ThrowMessage<std::invalid_argument>({kDurationNotSupported});
    case Refusal::RunOutOfRange:
      ThrowMessage<std::out_of_range>({kDurationRunOutOfRange});
    case Refusal::TotalOutOfRange:
      break;
  }
  ThrowMessage<std::out_of_range>({kDurationOutOfRange});
}

// Reads the run of digits at text[at] and advances `at` past it; an empty run
// is 0. A run beyond int is refused as std::stoi refuses it, and a text that
// ends in digits as malformed.
int ConsumeRun(const std::string& text, std::size_t& at) {
  constexpr std::uint64_t kLargest = std::numeric_limits<int>::max();
  std::uint64_t value = 0;
  // The NUL after the text ends the run at the latest.
  for (char c = text[at]; digits::IsDigit(c); c = text[++at]) {
    value = std::min(value * 10 + static_cast<std::uint64_t>(c - '0'), kLargest + 1);  // beyond int stays beyond
  }
  if (at == text.size()) Refuse(Refusal::InvalidFormat);
  if (value > kLargest) Refuse(Refusal::RunOutOfRange);
  return static_cast<int>(value);
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
std::int64_t ConsumeDesignator(char designator, bool& in_time) {
  const std::int64_t unit = kUnits[static_cast<unsigned char>(designator)];
  if (unit < 0) Refuse(unit == kNotSupported ? Refusal::NotSupported : Refusal::InvalidFormat);
  in_time = in_time || designator == 'T';
  if (designator == 'M' && !in_time) Refuse(Refusal::NotSupported);  // a month
  return unit;
}

}  // namespace
}  // namespace internal

std::chrono::nanoseconds duration::FromIso8601(const std::string& text) {
  using namespace internal;
  if (text.size() <= 2) Refuse(Refusal::InvalidFormat);
  std::int64_t total = 0;
  bool in_time = false;
  // An overflow of the total is reported only once the whole text has been
  // read, so that a malformed text keeps its own error.
  bool fits = true;
  for (std::size_t at = 1;; ++at) {
    const int value = ConsumeRun(text, at);
    const std::int64_t unit = ConsumeDesignator(text[at], in_time);
    std::int64_t product = 0;
    fits = fits && !__builtin_mul_overflow(std::int64_t{value}, unit, &product) &&
           !__builtin_add_overflow(total, product, &total);
    if (at == text.size() - 1) break;
  }
  if (!fits) Refuse(Refusal::TotalOutOfRange);
  return std::chrono::nanoseconds(total);
}

}  // namespace orvik::chrono
