// Internal: ASCII digits, recognised and written in fixed widths without
// locale or libc.
#ifndef ORVIK_CHRONO_SRC_TEXT_DIGITS_H_
#define ORVIK_CHRONO_SRC_TEXT_DIGITS_H_

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace orvik::chrono::internal::digits {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits a word at a time: a word holds bytes in memory order, the first in
// its lowest byte, as a little-endian load gives them.
inline constexpr std::uint64_t kOnes = 0x0101010101010101;

// The high half of each byte of `bytes` that is no ASCII digit, 0 in the
// others: a digit's high half is 3, and stays 3 with 6 added, which a carry
// out of a byte changes only after one that is no digit.
template <typename Word>
[[gnu::always_inline]] constexpr Word NonDigits(Word bytes) {
  constexpr auto kHigh = static_cast<Word>(0xf0 * kOnes);
  constexpr auto kThrees = static_cast<Word>(0x30 * kOnes);
  return ((bytes & kHigh) ^ kThrees) | (((bytes + static_cast<Word>(6 * kOnes)) & kHigh) ^ kThrees);
}

// Each byte of `digits`, a digit's value in each, times ten plus the byte
// after it: the value of each pair of digits in the first byte of the pair.
template <typename Word>
[[gnu::always_inline]] constexpr Word PairValues(Word digits) {
  return static_cast<Word>(digits * 10 + (digits >> 8U));
}

// The value of the digit values in the bytes of `digits`, the first byte the
// most significant digit: pairs, then fours, then the eight.
template <typename Word>
[[gnu::always_inline]] constexpr unsigned DigitsValue(Word digits) {
  digits = PairValues(digits) & static_cast<Word>(0x00ff00ff00ff00ff);
  digits = static_cast<Word>((digits * 100 + (digits >> 16U)) & static_cast<Word>(0x0000ffff0000ffff));
  if constexpr (sizeof(Word) == 8) digits = (digits * 10000 + (digits >> 32U)) & 0xffffffff;
  return static_cast<unsigned>(digits);
}

// The number of digits, at most eight, that the `size` bytes at `at` start
// with, and their value. Eight bytes or more are read as one word.
inline unsigned ReadLeadingDigits(const char* at, std::size_t size, unsigned& value) {
  if (size < sizeof(std::uint64_t) || std::endian::native != std::endian::little) {
    unsigned count = 0;
    for (value = 0; count < 8 && count < size && IsDigit(at[count]); ++count) {
      value = value * 10 + static_cast<unsigned>(at[count] - '0');
    }
    return count;
  }
  std::uint64_t bytes = 0;
  std::memcpy(&bytes, at, sizeof bytes);
  const auto count = static_cast<unsigned>(std::countr_zero(NonDigits(bytes)) / 8);
  if (count == 0) return 0;
  // The digits moved to the high bytes, zeros below them as leading digits.
  value = DigitsValue((bytes - 0x30 * kOnes) << (8 * (8 - count)));
  return count;
}

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

// Text composed in a register and stored at once: a TextWord holds up to
// eight bytes of text in text order, the first in its lowest byte, and Store
// writes them in that order whatever the machine's byte order.
using TextWord = std::uint64_t;

// A word or key loaded from memory in text order.
template <typename Word>
constexpr Word TextOrder(Word memory_order) {
  if constexpr (std::endian::native == std::endian::big) {
    if constexpr (sizeof(Word) == 8) return __builtin_bswap64(memory_order);
    if constexpr (sizeof(Word) == 4) return __builtin_bswap32(memory_order);
    if constexpr (sizeof(Word) == 2) return __builtin_bswap16(memory_order);
  }
  return memory_order;
}

// The bytes of `pattern` at their places, with 0 where it has '_': the
// constant part of a text, whose fields are or-ed into the '_' bytes.
constexpr TextWord Template(std::string_view pattern) {
  TextWord word = 0;
  for (std::size_t i = 0; i < pattern.size() && i < sizeof(TextWord); ++i) {
    if (pattern[i] != '_') word |= TextWord{static_cast<unsigned char>(pattern[i])} << (8 * i);
  }
  return word;
}

// Writes the eight bytes of `word` at `out`.
inline void Store(char* out, TextWord word) {
  word = TextOrder(word);
  std::memcpy(out, &word, sizeof word);
}

// The two digits of `value` (0 to 99) in the two lowest bytes.
inline TextWord TwoDigits(unsigned value) {
  std::uint16_t pair = 0;
  std::memcpy(&pair, &kPairs[2 * static_cast<std::size_t>(value)], sizeof pair);
  return TextOrder(pair);
}

// The eight digits of `value` (0 to 99999999), a word at a time: its halves
// of four digits in the two halves of the word, each half's two pairs in its
// halves, each pair's digits in its bytes. Each step takes the quotient in
// every lane at once by a multiply-shift that is exact over the lane's range
// (x * 5243 >> 19 is x / 100 below 43699, x * 103 >> 10 is x / 10 below
// 179) and moves the remainder, x - q * d, into the lane's upper half:
// q + (x - q * d) << s is (x << s) - q * ((d << s) - 1).
inline TextWord EightDigits(unsigned value) {
  const std::uint64_t high = std::uint64_t{value} * 109951163 >> 40U;  // value / 10000 below 4.9 * 10^8
  std::uint64_t word = (std::uint64_t{value} << 32U) - high * ((std::uint64_t{10000} << 32U) - 1);
  const std::uint64_t hundreds = (word * 5243 >> 19U) & 0x0000007F0000007FU;
  word = (word << 16U) - hundreds * ((100U << 16U) - 1);
  const std::uint64_t tens = (word * 103 >> 10U) & 0x000F000F000F000FU;
  word = (word << 8U) - tens * ((10U << 8U) - 1);
  return word | 0x3030303030303030U;
}

}  // namespace orvik::chrono::internal::digits

#endif  // ORVIK_CHRONO_SRC_TEXT_DIGITS_H_
