// Internal: the English weekday and month names, in tm_wday and tm_mon order,
// and their abbreviations as keys that a text's bytes are looked up by.
#ifndef ORVIK_CHRONO_SRC_CIVIL_NAMES_H_
#define ORVIK_CHRONO_SRC_CIVIL_NAMES_H_

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace orvik::chrono::internal {

// Each name's abbreviation is the first three letters of its full name.
inline constexpr std::size_t kAbbreviationLength = sizeof("Sun") - 1;
inline constexpr std::string_view kWeekdayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};
inline constexpr std::string_view kMonthNames[12] = {"January",   "February", "March",    "April",
                                                     "May",       "June",     "July",     "August",
                                                     "September", "October",  "November", "December"};

// Texts as numbers, compared at once: a key holds a name's first bytes in
// memory order, whatever the machine's byte order, so that it equals what a
// memcpy of the same bytes gives.
template <typename Key>
constexpr Key KeyOf(std::string_view text) {
  std::array<char, sizeof(Key)> bytes{};
  for (std::size_t i = 0; i < bytes.size() && i < text.size(); ++i) bytes.at(i) = text[i];
  return std::bit_cast<Key>(bytes);
}

// The key of the bytes of `text` from kAt on.
template <typename Key, std::size_t kAt = 0, std::size_t kSize>
Key LoadKey(const char (&text)[kSize]) {
  static_assert(kAt + sizeof(Key) <= kSize, "the key lies inside the text");
  Key key{};
  std::memcpy(&key, text + kAt, sizeof key);
  return key;
}

// A name's abbreviation and its NUL: three letters and a zero byte.
using AbbreviationKey = std::uint32_t;

template <std::size_t kCount>
constexpr std::array<AbbreviationKey, kCount> AbbreviationKeys(const std::string_view (&names)[kCount]) {
  std::array<AbbreviationKey, kCount> keys{};
  for (std::size_t i = 0; i < kCount; ++i) keys.at(i) = KeyOf<AbbreviationKey>(names[i].substr(0, kAbbreviationLength));
  return keys;
}

inline constexpr auto kWeekdayKeys = AbbreviationKeys(kWeekdayNames);
inline constexpr auto kMonthKeys = AbbreviationKeys(kMonthNames);

// The three bytes of `text` from `at` on, which it holds, as a key; with
// kAnyCase in the case of the names, a capital and two small letters.
template <bool kAnyCase>
AbbreviationKey AbbreviationAt(std::string_view text, std::size_t at) {
  auto key = std::bit_cast<AbbreviationKey>(
      std::array<char, sizeof(AbbreviationKey)>{text[at], text[at + 1], text[at + 2], '\0'});
  if constexpr (kAnyCase) {
    constexpr auto kSmall = KeyOf<AbbreviationKey>(std::string_view("\0\x20\x20", 3));
    constexpr auto kCapital = KeyOf<AbbreviationKey>(" ");
    key = (key | kSmall) & ~kCapital;
  }
  return key;
}

// A perfect hash of a list's keys: the top kBits of a key times kMultiplier
// are a slot that no other key of the list has, and the slot holds its index.
template <std::uint32_t kMultiplier, unsigned kBits>
constexpr std::size_t SlotOf(AbbreviationKey key) {
  return static_cast<std::uint32_t>(key * kMultiplier) >> (32U - kBits);
}

// The slots of `keys`: each key's index at its slot, kNoKey elsewhere.
inline constexpr std::uint8_t kNoKey = 0xFF;

template <std::uint32_t kMultiplier, unsigned kBits, std::size_t kCount>
constexpr std::array<std::uint8_t, std::size_t{1} << kBits> SlotsOf(const std::array<AbbreviationKey, kCount>& keys) {
  std::array<std::uint8_t, std::size_t{1} << kBits> slots{};
  slots.fill(kNoKey);
  for (std::size_t i = 0; i < kCount; ++i) {
    // A slot taken twice is no perfect hash: the constant evaluation fails.
    if (slots.at(SlotOf<kMultiplier, kBits>(keys[i])) != kNoKey) throw "two keys share a slot";
    slots.at(SlotOf<kMultiplier, kBits>(keys[i])) = static_cast<std::uint8_t>(i);
  }
  return slots;
}

inline constexpr std::uint32_t kWeekdayMultiplier = 2522;
inline constexpr std::uint32_t kMonthMultiplier = 26596;
inline constexpr auto kWeekdaySlots = SlotsOf<kWeekdayMultiplier, 3>(kWeekdayKeys);
inline constexpr auto kMonthSlots = SlotsOf<kMonthMultiplier, 4>(kMonthKeys);

// The index of the name whose key is `key` among `keys`, through `slots`;
// kCount for none.
template <std::uint32_t kMultiplier, unsigned kBits, std::size_t kCount>
[[gnu::always_inline]] inline std::size_t SlotIndex(const std::array<AbbreviationKey, kCount>& keys,
                                                    const std::array<std::uint8_t, std::size_t{1} << kBits>& slots,
                                                    AbbreviationKey key) {
  const std::size_t index = slots[SlotOf<kMultiplier, kBits>(key)];
  return index < kCount && keys[index] == key ? index : kCount;
}

template <std::uint32_t kMultiplier, unsigned kBits, std::size_t kCount>
std::optional<int> IndexBySlot(const std::array<AbbreviationKey, kCount>& keys,
                               const std::array<std::uint8_t, std::size_t{1} << kBits>& slots, AbbreviationKey key) {
  const std::size_t index = SlotIndex<kMultiplier, kBits>(keys, slots, key);
  if (index == kCount) return std::nullopt;
  return static_cast<int>(index);
}

inline std::optional<int> WeekdayOfKey(AbbreviationKey key) {
  return IndexBySlot<kWeekdayMultiplier, 3>(kWeekdayKeys, kWeekdaySlots, key);
}
inline std::optional<int> MonthOfKey(AbbreviationKey key) {
  return IndexBySlot<kMonthMultiplier, 4>(kMonthKeys, kMonthSlots, key);
}

// MonthOfKey as an index, 12 for none.
[[gnu::always_inline]] inline std::size_t MonthIndexOfKey(AbbreviationKey key) {
  return SlotIndex<kMonthMultiplier, 4>(kMonthKeys, kMonthSlots, key);
}

// The index of the NUL-terminated `name` in kMonthNames, exactly as written.
// Its first four bytes are compared at once: a shorter name has its NUL among
// the first three, a longer one no NUL fourth, and neither matches.
inline std::optional<int> FindMonth(const char (&name)[sizeof("Nov")]) {
  return MonthOfKey(LoadKey<AbbreviationKey>(name));
}

// The index of the weekday whose abbreviation or full name is the
// NUL-terminated `name`. The first three letters pick the weekday; then the
// NUL must follow them, or the whole full name and its NUL must be there.
inline std::optional<int> FindWeekday(const char (&name)[sizeof("Wednesday")]) {
  constexpr auto kLetters = KeyOf<AbbreviationKey>("\xff\xff\xff");
  const std::optional<int> index = WeekdayOfKey(LoadKey<AbbreviationKey>(name) & kLetters);
  if (!index || name[kAbbreviationLength] == '\0' || name == kWeekdayNames[*index]) return index;
  return std::nullopt;
}

// The zone names whose offsets are known, UTC's and the US ones of RFC 5322,
// in hours east of UTC.
struct KnownZone {
  std::string_view Name;
  int Hours;
};
inline constexpr KnownZone kKnownZones[] = {{"UT", 0},   {"GMT", 0},  {"UTC", 0},  {"EST", -5},
                                            {"EDT", -4}, {"CST", -6}, {"CDT", -5}, {"MST", -7},
                                            {"MDT", -6}, {"PST", -8}, {"PDT", -7}};

// The offset in hours of the known zone that `name` names in any case.
inline std::optional<int> KnownZoneHours(std::string_view name) {
  for (const KnownZone& zone : kKnownZones) {
    if (zone.Name.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size(); ++i) same = same && (name[i] & ~0x20) == zone.Name[i];
    if (same) return zone.Hours;
  }
  return std::nullopt;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_CIVIL_NAMES_H_
