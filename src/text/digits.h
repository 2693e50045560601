// Internal: ASCII digits, recognised and written in fixed widths without
// locale or libc.
#ifndef ORVIK_CHRONO_SRC_TEXT_DIGITS_H_
#define ORVIK_CHRONO_SRC_TEXT_DIGITS_H_

#include <cstddef>

namespace orvik::chrono::internal::digits {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Writes `value` (0 to 99) as two digits and returns the end.
constexpr char* WriteTwo(char* out, unsigned value) {
  out[0] = static_cast<char>('0' + value / 10);
  out[1] = static_cast<char>('0' + value % 10);
  return out + 2;
}

// Writes `value` (0 to 9999) as four digits and returns the end.
constexpr char* WriteFour(char* out, unsigned value) { return WriteTwo(WriteTwo(out, value / 100), value % 100); }

// Writes `value` (0 to 999999999) as nine digits and returns the end.
constexpr char* WriteNine(char* out, unsigned value) {
  for (std::size_t i = 9; i-- > 0;) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return out + 9;
}

}  // namespace orvik::chrono::internal::digits

#endif  // ORVIK_CHRONO_SRC_TEXT_DIGITS_H_
