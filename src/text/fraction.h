// Internal: a decimal fraction of a second, one to nine digits, read as
// nanoseconds.
#ifndef ORVIK_CHRONO_SRC_TEXT_FRACTION_H_
#define ORVIK_CHRONO_SRC_TEXT_FRACTION_H_

#include <cstddef>
#include <string_view>

#include "text/digits.h"
#include "text/strict_reading.h"

namespace orvik::chrono::internal {

inline constexpr std::size_t kFractionDigits = 9;
inline constexpr unsigned kFractionScale[kFractionDigits + 1] = {
    1'000'000'000, 100'000'000, 10'000'000, 1'000'000, 100'000, 10'000, 1'000, 100, 10, 1};

// Reads the digits of a fraction after its decimal sign, one to nine, as
// nanoseconds into `nanoseconds` and moves past them; false, with the fault,
// where there is no digit, or where a tenth one stands, at which the text
// should hold what `after_nine` says.
inline bool ReadFraction(std::string_view text, std::size_t& at, std::string_view after_nine, int& nanoseconds,
                         StrictReading& r) {
  unsigned value = 0;
  std::size_t digits = digits::ReadLeadingDigits(text.data() + at, text.size() - at, value);
  if (digits == kFractionDigits - 1 && at + digits < text.size() && digits::IsDigit(text[at + digits])) {
    value = value * 10 + static_cast<unsigned>(text[at + digits] - '0');
    ++digits;
  }
  at += digits;
  if (digits == 0) return r.Refuse("one to nine digits of a fraction after the decimal sign", at);
  if (at < text.size() && digits::IsDigit(text[at])) return r.Refuse(after_nine, at);
  nanoseconds = static_cast<int>(value * kFractionScale[digits]);
  return true;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_TEXT_FRACTION_H_
