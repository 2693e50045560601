// Internal: the strict ISO 8601 reader's shortcut for the layouts that
// writers use most, RFC 3339's: the extended date and time of day, a fraction
// of 0, 3, 6 or 9 digits, and 'Z' or an offset +hh:mm. Such a text has every
// field at a fixed place, so its layout and its fields' bounds are checked
// sixteen bytes at a time and its digits paired at once. The step-by-step
// reading stays the reading of record: the shortcut reads only texts that it
// reads alike, into the same instant and offset, and leaves the others to it.
#ifndef ORVIK_CHRONO_SRC_ISO8601_CANONICAL_H_
#define ORVIK_CHRONO_SRC_ISO8601_CANONICAL_H_

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "civil/instant.h"
#include "civil/time_units.h"
#include "text/digits.h"
#include "text/pattern.h"
#include "text/vector.h"

namespace orvik::chrono::internal {

// The extended date and time of day.
inline constexpr BytePattern kExtendedDateTime{"yyyy-oo-dd?hh:ii:ss", ""};

// The shortcut's texts: the date and time of day, then a fraction of 0, 3, 6
// or 9 digits after '.', then 'Z' or an offset +hh:mm.
inline constexpr std::size_t kShortcutDateTime = kExtendedDateTime.Text.size();
inline constexpr std::size_t kOffsetSize = sizeof("+05:30") - 1;

// The end of a shortcut's text of kShortcutDateTime + 1 + `index` bytes
// (`index` below 16): bit 2 for 'Z' (else an offset), bits 0 and 1 for a
// fraction of 0, 3, 6 or 9 digits; above 7 for none that the shortcut reads.
constexpr unsigned ShortcutEnd(std::size_t index) {
  constexpr std::uint64_t kEnds = 0x3FF2'F71F'6F05'FFF4;  // a nibble for each index
  return static_cast<unsigned>(kEnds >> (4 * index)) & 0xFU;
}
static_assert(ShortcutEnd(0) == 4 && ShortcutEnd(4) == 5 && ShortcutEnd(7) == 6 && ShortcutEnd(10) == 7);
static_assert(ShortcutEnd(5) == 0 && ShortcutEnd(9) == 1 && ShortcutEnd(12) == 2 && ShortcutEnd(15) == 3);
static_assert(ShortcutEnd(1) > 7 && ShortcutEnd(14) > 7);

// Whether a byte separates date and time: 'T', 't' or ' '.
inline constexpr auto kIsSeparator = [] {
  std::array<bool, 256> separators{};
  separators['T'] = separators['t'] = separators[' '] = true;
  return separators;
}();

#if defined(__SSE2__)
// The sixteen bytes after the year's first three digits; the sixteen that end
// the text, by ShortcutEnd: an offset, then 'Z', each after a fraction of 0,
// 3, 6 or 9 digits ('Z' and the offset's sign are checked on their own).
inline constexpr vector::Layout kDateLayout =
    vector::MakeLayout<5>("9-99-99?99:99:99", {2, 5, 8, 11, 14}, {12, 31, 23, 59, 59}, {1, 1, 0, 0, 0});
inline constexpr vector::Layout kEndLayouts[8] = {vector::MakeLayout<0>("??????????"
                                                                        "?99:99",
                                                                        {}, {}, {}),
                                                  vector::MakeLayout<0>("??????.999?99:99", {}, {}, {}),
                                                  vector::MakeLayout<0>("???.999999?99:99", {}, {}, {}),
                                                  vector::MakeLayout<0>(".999999999?99:99", {}, {}, {}),
                                                  vector::MakeLayout<0>("????????????????", {}, {}, {}),
                                                  vector::MakeLayout<0>("???????????.999?", {}, {}, {}),
                                                  vector::MakeLayout<0>("????????.999999?", {}, {}, {}),
                                                  vector::MakeLayout<0>("?????.999999999?", {}, {}, {})};
#endif

// The value of the three digits at `at`.
[[gnu::always_inline]] inline unsigned ThreeDigits(const char* at) {
  return static_cast<unsigned>(at[0] * 100 + at[1] * 10 + at[2]) - unsigned{'0' * 111};
}

// The nanoseconds of a fraction of 0, 3, 6 or 9 digits (`fraction` 0 to 3)
// from `at` on, whose digits are checked.
[[gnu::always_inline]] inline unsigned ShortcutNanoseconds(const char* at, unsigned fraction) {
  if (fraction == 0) return 0;
  if (fraction == 3) {
    return static_cast<unsigned>(*at - '0') * 100'000'000 + digits::DigitsValue(LoadWord(at + 1) & 0x0F0F0F0F0F0F0F0FU);
  }
  const unsigned first = ThreeDigits(at);
  return fraction == 1 ? first * 1'000'000 : (first * 1'000 + ThreeDigits(at + 3)) * 1'000;
}

// Reads `text` into `f` (Shortcut::Read) where it has a shortcut's layout,
// with fields in their bounds (InnerFields) and an offset under 24 hours with
// minutes under 60. Misfit: a text whose first bytes do not fit
// kExtendedDateTime, extended at its fifth byte. Reads no byte outside
// `text`.
[[gnu::always_inline]] inline Shortcut ReadIso8601Shortcut(std::string_view text, InnerFields& f) {
#if defined(__SSE2__)
  const std::size_t size = text.size();
  const char* const p = text.data();
  const std::size_t index = size - (kShortcutDateTime + 1);
  if (index > 15 || p[4] != '-') return Shortcut::Other;
  // The zone first, so that a text without one (wall-clock time read in a
  // zone) is left at once.
  const unsigned end = ShortcutEnd(index);
  const bool utc = (end & 4U) != 0;
  const char* const offset = p + size - kOffsetSize;
  if (end > 7 || (utc ? (p[size - 1] | 0x20) != 'z' : (*offset != '+' && *offset != '-') || offset[3] != ':')) {
    return Shortcut::Other;
  }
  std::uint32_t year = 0;
  std::memcpy(&year, p, sizeof year);
  const vector::Checked date = vector::Check(p + 3, kDateLayout);
  const bool separated = kIsSeparator[static_cast<unsigned char>(p[kExtendedDateTime.Text.find('?')])];
  if (!vector::IsZero(vector::Or(date.Departures, date.OutOfBounds)) || digits::NonDigits(year) != 0 || !separated) {
    const bool misfit = !vector::IsZero(date.Departures) || digits::NonDigits(year) != 0 || !separated;
    return misfit ? Shortcut::Misfit : Shortcut::Other;
  }
  if (end != 4 && !vector::IsZero(vector::Departures(p + size - 16, kEndLayouts[end]))) return Shortcut::Other;
  f.Offset = 0;
  if (!utc) {
    const unsigned hours = static_cast<unsigned>(offset[1] * 10 + offset[2]) - unsigned{'0' * 11};
    const unsigned minutes = static_cast<unsigned>(offset[4] * 10 + offset[5]) - unsigned{'0' * 11};
    if (hours >= kHoursPerDay || minutes >= kMinutesPerHour) return Shortcut::Other;
    const auto east = static_cast<std::int32_t>(hours * kSecondsPerHour + minutes * kSecondsPerMinute);
    f.Offset = *offset == '-' ? -east : east;
  }
  f.Nanoseconds = ShortcutNanoseconds(p + kShortcutDateTime + 1, end & 3U);
  const std::uint32_t year_pairs = digits::PairValues(year & 0x0F0F0F0FU);
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
