// Internal: the shortcut of the ISO 8601 readers for the layouts that writers
// use most, RFC 3339's: the extended date and time of day, a fraction of 0,
// 3, 6 or 9 digits, and 'Z' or an offset +hh:mm. Such a text has every field
// at a fixed place, so its layout and its fields' bounds are checked sixteen
// bytes at a time and its digits paired at once. The readers' step-by-step reading stays
// the reading of record: the shortcut reads only texts that it reads alike,
// into the same instant and offset, and leaves every other text to it.
#ifndef ORVIK_CHRONO_SRC_ISO8601_CANONICAL_H_
#define ORVIK_CHRONO_SRC_ISO8601_CANONICAL_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "civil/instant.h"
#include "civil/time_units.h"
#include "text/digits.h"
#include "text/fraction.h"
#include "text/pattern.h"
#include "text/vector.h"

namespace orvik::chrono::internal {

// The extended date and time of day.
inline constexpr BytePattern kExtendedDateTime{"yyyy-oo-dd?hh:ii:ss", ""};

// The shortcut's texts: the date and time of day, then a fraction of 0, 3, 6
// or 9 digits after '.', then 'Z' or an offset +hh:mm.
inline constexpr std::size_t kShortcutDateTime = kExtendedDateTime.Text.size();
inline constexpr std::size_t kUtcSize = sizeof("Z") - 1;
inline constexpr std::size_t kOffsetSize = sizeof("+05:30") - 1;

// Which fraction of `size` bytes with its sign the shortcut reads: 0 for
// none, 1 to 3 for 3, 6 or 9 digits; 4 for none that it reads.
constexpr std::size_t ShortcutFraction(std::size_t size) {
  constexpr std::uint64_t kFractions = 0x0444'1442'4434'4444;  // a nibble for each size 0 to 15
  return size < 16 ? (kFractions >> (4 * (15 - size))) & 0xFU : 4;
}
static_assert(ShortcutFraction(0) == 0 && ShortcutFraction(4) == 1 && ShortcutFraction(7) == 2 &&
              ShortcutFraction(10) == 3 && ShortcutFraction(1) == 4 && ShortcutFraction(11) == 4);

#if defined(__SSE2__)
// The sixteen bytes after the year's first three digits; the sixteen that end
// the text, by the zone ('Z', offset) and the fraction.
inline constexpr vector::Layout kDateLayout =
    vector::MakeLayout<5>("9-99-99?99:99:99", {2, 5, 8, 11, 14}, {12, 31, 23, 59, 59}, {1, 1, 0, 0, 0});
inline constexpr vector::Layout kEndLayouts[2][4] = {
    {vector::MakeLayout<0>("????????????????", {}, {}, {}), vector::MakeLayout<0>("???????????.999?", {}, {}, {}),
     vector::MakeLayout<0>("????????.999999?", {}, {}, {}), vector::MakeLayout<0>("?????.999999999?", {}, {}, {})},
    {vector::MakeLayout<2>("??????????"
                           "?99:99",
                           {11, 14}, {23, 59}, {0, 0}),
     vector::MakeLayout<2>("??????.999?99:99", {11, 14}, {23, 59}, {0, 0}),
     vector::MakeLayout<2>("???.999999?99:99", {11, 14}, {23, 59}, {0, 0}),
     vector::MakeLayout<2>(".999999999?99:99", {11, 14}, {23, 59}, {0, 0})}};
#endif

// The nanoseconds of the fraction of 3, 6 or 9 digits (`fraction` 1 to 3)
// that ends before `end`, whose digits are checked.
[[gnu::always_inline]] inline unsigned ShortcutNanoseconds(const char* end, std::size_t fraction) {
  constexpr std::uint64_t kLowHalves = 0x0F0F0F0F0F0F0F0F;
  // The last eight digits or fewer, in the high bytes of the word that ends
  // with them, and the ninth from the end.
  const std::uint64_t word = LoadWord(end - 8);
  const std::uint64_t mask = fraction == 1   ? ~std::uint64_t{0} << 40U
                             : fraction == 2 ? ~std::uint64_t{0} << 16U
                                             : ~0ULL;
  const unsigned first = fraction == 3 ? static_cast<unsigned>(end[-9] - '0') * 100'000'000 : 0;
  return (first + digits::DigitsValue(word & mask & kLowHalves)) * kFractionScale[3 * fraction];
}

// Reads `text` into `f` (Shortcut::Read) where it has a shortcut's layout (kAnyCase: 'T', 't'
// or ' ' between date and time and 'Z' or 'z', otherwise 'T' and 'Z' alone),
// with fields in their bounds (InnerFields) and an offset under 24 hours with
// minutes under 60. Misfit: a text whose first bytes do not fit
// kExtendedDateTime, extended at its fifth byte (kAnyCase only). Reads no
// byte outside `text`.
template <bool kAnyCase>
[[gnu::always_inline]] inline Shortcut ReadIso8601Shortcut(std::string_view text, InnerFields& f) {
#if defined(__SSE2__)
  constexpr std::size_t kMostBytes = kShortcutDateTime + 10 + kOffsetSize;
  const std::size_t size = text.size();
  const char* const p = text.data();
  if (size <= kShortcutDateTime || size > kMostBytes || p[4] != '-') return Shortcut::Other;
  std::uint32_t year = 0;
  std::memcpy(&year, p, sizeof year);
  const vector::Checked date = vector::Check(p + 3, kDateLayout);
  const char separator = p[kExtendedDateTime.Text.find('?')];
  const bool separated = kAnyCase ? (separator | 0x20) == 't' || separator == ' ' : separator == 'T';
  if (!vector::IsZero(vector::Or(date.Departures, date.OutOfBounds)) || digits::NonDigits(year) != 0 || !separated) {
    const bool misfit = !vector::IsZero(date.Departures) || digits::NonDigits(year) != 0 || !separated;
    return kAnyCase && misfit ? Shortcut::Misfit : Shortcut::Other;
  }
  const char last = p[size - 1];
  const bool utc = kAnyCase ? (last | 0x20) == 'z' : last == 'Z';
  const std::size_t fraction = ShortcutFraction(size - kShortcutDateTime - (utc ? kUtcSize : kOffsetSize));
  if (fraction > 3) return Shortcut::Other;
  f.Nanoseconds = 0;
  f.Offset = 0;
  if (!utc || fraction != 0) {
    const vector::Checked end = vector::Check(p + size - 16, kEndLayouts[utc ? 0 : 1][fraction]);
    const char sign = p[size - kOffsetSize];
    if (!vector::IsZero(vector::Or(end.Departures, end.OutOfBounds)) || (!utc && sign != '+' && sign != '-')) {
      return Shortcut::Other;
    }
    if (fraction != 0) f.Nanoseconds = ShortcutNanoseconds(p + size - (utc ? kUtcSize : kOffsetSize), fraction);
    const auto east = static_cast<std::int32_t>(vector::ByteAt<11>(end.Pairs) * kSecondsPerHour +
                                                vector::ByteAt<14>(end.Pairs) * kSecondsPerMinute);
    f.Offset = utc ? 0 : sign == '-' ? -east : east;
  }
  const std::uint32_t year_digits = year & 0x0F0F0F0FU;
  const std::uint32_t year_pairs = digits::PairValues(year_digits);
  f.Year = (year_pairs & 0xFFU) * 100 + ((year_pairs >> 16U) & 0xFFU);
  f.Month = vector::ByteAt<2>(date.Pairs);
  f.Day = vector::ByteAt<5>(date.Pairs);
  f.Hour = vector::ByteAt<8>(date.Pairs);
  f.Minute = vector::ByteAt<11>(date.Pairs);
  f.Second = vector::ByteAt<14>(date.Pairs);
  return Shortcut::Read;
#else
  static_cast<void>(text);
  static_cast<void>(f);
  return Shortcut::Other;
#endif
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_ISO8601_CANONICAL_H_
