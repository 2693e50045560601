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

// The index of the name whose abbreviation is the NUL-terminated `name`. Its
// first four bytes are compared at once: a key has three letters and a NUL,
// so a shorter name (a NUL among the first three) or a longer one (no NUL
// fourth) matches none, whatever stands after its NUL.
template <std::size_t kCount, std::size_t kSize>
std::optional<int> FindAbbreviation(const std::array<std::uint32_t, kCount>& keys, const char (&name)[kSize]) {
  static_assert(kSize > kAbbreviationLength, "room for three letters and a NUL");
  std::uint32_t key = 0;
  std::memcpy(&key, name, sizeof(key));  // little endian, as AbbreviationKey
  for (std::size_t i = 0; i < kCount; ++i) {
    if (keys[i] == key) return static_cast<int>(i);
  }
  return std::nullopt;
}

// The index of the NUL-terminated `name` in kMonthNames, exactly as written.
inline std::optional<int> FindMonth(const char (&name)[sizeof("Nov")]) { return FindAbbreviation(kMonthKeys, name); }

// The index of the weekday whose abbreviation or full name is the
// NUL-terminated `name`.
inline std::optional<int> FindWeekday(const char (&name)[sizeof("Wednesday")]) {
  if (const std::optional<int> abbreviation = FindAbbreviation(kWeekdayKeys, name)) return abbreviation;
  for (int i = 0; i < 7; ++i) {
    const std::string_view full = kWeekdayNames[i];
    std::size_t same = 0;  // stops at the name's NUL at the latest
    while (same < full.size() && name[same] == full[same]) ++same;
    if (same == full.size() && name[same] == '\0') return i;
  }
  return std::nullopt;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_HTTP_NAMES_H_
