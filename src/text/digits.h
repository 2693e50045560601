// Internal: ASCII digits, recognised and written in fixed widths without
// locale or libc.
#ifndef ORVIK_CHRONO_SRC_TEXT_DIGITS_H_
#define ORVIK_CHRONO_SRC_TEXT_DIGITS_H_

#include <array>
#include <cstddef>
#include <cstring>

namespace orvik::chrono::internal::digits {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "00010203...9899": the two digits of each number 0 to 99 at twice its index,
// so that two digits cost one load and one store.
inline constexpr std::array<char, 200> kPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// Writes `value` (0 to 99) as two digits and returns the end.
inline char* WriteTwo(char* out, unsigned value) {
  std::memcpy(out, &kPairs[2 * static_cast<std::size_t>(value)], 2);
  return out + 2;
}

// Writes `value` (0 to 9999) as four digits and returns the end.
inline char* WriteFour(char* out, unsigned value) { return WriteTwo(WriteTwo(out, value / 100), value % 100); }

// Writes `value` (0 to 99999999) as eight digits and returns the end.
inline char* WriteEight(char* out, unsigned value) { return WriteFour(WriteFour(out, value / 10000), value % 10000); }

// Writes `value` (0 to 999999999) as nine digits and returns the end.
inline char* WriteNine(char* out, unsigned value) {
  *out = static_cast<char>('0' + value / 100000000);
  return WriteEight(out + 1, value % 100000000);
}

}  // namespace orvik::chrono::internal::digits

#endif  // ORVIK_CHRONO_SRC_TEXT_DIGITS_H_
