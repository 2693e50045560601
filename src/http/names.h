// Internal: the English weekday and month names of HTTP dates, in tm_wday and
// tm_mon order, shared by the writer and the reader.
#ifndef ORVIK_CHRONO_SRC_HTTP_NAMES_H_
#define ORVIK_CHRONO_SRC_HTTP_NAMES_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace orvik::chrono::internal {

// Each weekday's abbreviation is the first three letters of its full name.
inline constexpr std::size_t kAbbreviationLength = sizeof("Sun") - 1;
inline constexpr std::string_view kWeekdayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};
inline constexpr std::string_view kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A name's first three letters and a NUL as one number, the key that the
// lookups compare.
constexpr std::uint32_t AbbreviationKey(const char* name) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(name[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(name[2])) << 16;
}

template <std::size_t kCount>
constexpr std::array<std::uint32_t, kCount> AbbreviationKeys(const std::string_view (&names)[kCount]) {
  std::array<std::uint32_t, kCount> keys{};
  for (std::size_t i = 0; i < kCount; ++i) keys.at(i) = AbbreviationKey(names[i].data());
  return keys;
}

inline constexpr auto kWeekdayKeys = AbbreviationKeys(kWeekdayNames);
inline constexpr auto kMonthKeys = AbbreviationKeys(kMonthNames);

// The one month whose key a key can be: multiplied by this factor, the
// months' keys differ in their top four bits.
inline constexpr std::uint32_t kMonthHashFactor = 0x67e4;
inline constexpr int kMonthHashShift = 28;

constexpr std::size_t MonthSlot(std::uint32_t key) { return (key * kMonthHashFactor) >> kMonthHashShift; }

inline constexpr auto kMonthOfSlot = [] {
  std::array<int, std::size_t{1} << (32 - kMonthHashShift)> months{};
  months.fill(-1);
  for (std::size_t i = 0; i < kMonthKeys.size(); ++i) months.at(MonthSlot(kMonthKeys.at(i))) = static_cast<int>(i);
  return months;
}();

consteval bool EveryMonthHasItsOwnSlot() {
  for (std::size_t i = 0; i < kMonthKeys.size(); ++i) {
    if (kMonthOfSlot.at(MonthSlot(kMonthKeys.at(i))) != static_cast<int>(i)) return false;
  }
  return true;
}
static_assert(EveryMonthHasItsOwnSlot());

// The index of the NUL-terminated `name` in kMonthNames, exactly as written.
// Its first four bytes are compared at once: a key has three letters and a
// NUL, so a shorter name (a NUL among the first three) or a longer one (no
// NUL fourth) matches none, whatever stands after its NUL.
inline std::optional<int> FindMonth(const char (&name)[sizeof("Nov")]) {
  std::uint32_t key = 0;
  std::memcpy(&key, name, sizeof(key));  // little endian, as AbbreviationKey
  const int month = kMonthOfSlot[MonthSlot(key)];
  if (month < 0 || kMonthKeys[static_cast<std::size_t>(month)] != key) return std::nullopt;
  return month;
}

// The index of the weekday whose abbreviation or full name is the
// NUL-terminated `name`. The first three letters of the weekdays differ, so
// they alone pick the one weekday that the name can be.
inline std::optional<int> FindWeekday(const char (&name)[sizeof("Wednesday")]) {
  const std::uint32_t key = AbbreviationKey(name);  // no key holds a NUL among its letters
  for (std::size_t i = 0; i < kWeekdayKeys.size(); ++i) {
    if (kWeekdayKeys[i] != key) continue;
    if (name[kAbbreviationLength] == '\0' || std::string_view(name) == kWeekdayNames[i]) return static_cast<int>(i);
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_HTTP_NAMES_H_
