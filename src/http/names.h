// Internal: the English weekday and month names of HTTP dates, in tm_wday and
// tm_mon order, shared by the writer and the reader.
#ifndef ORVIK_CHRONO_SRC_HTTP_NAMES_H_
#define ORVIK_CHRONO_SRC_HTTP_NAMES_H_

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

// A perfect hash of a table's keys: the top five bits of key * Multiplier
// differ for every key, and Slots maps them to the one index a key can have
// (kCount where none). A lookup is a multiplication, a load and one
// comparison: a search that stops at the match would mispredict on random
// names.
template <std::size_t kCount>
struct KeyHash {
  static constexpr unsigned kShift = 32 - 5;
  std::uint32_t Multiplier = 0;
  std::array<std::uint8_t, std::size_t{1} << (32 - kShift)> Slots{};

  [[nodiscard]] constexpr std::size_t Slot(AbbreviationKey key) const { return (key * Multiplier) >> kShift; }

  // The index of `key` in `keys`, or kCount.
  [[nodiscard]] constexpr std::size_t Find(const std::array<AbbreviationKey, kCount>& keys, AbbreviationKey key) const {
    const std::size_t index = Slots[Slot(key)];
    return index < kCount && keys[index] == key ? index : kCount;
  }
};

// The first odd multiplier that spreads `keys` over distinct slots.
template <std::size_t kCount>
consteval KeyHash<kCount> MakeKeyHash(const std::array<AbbreviationKey, kCount>& keys) {
  for (KeyHash<kCount> hash{.Multiplier = 0x9E3779B1};; hash.Multiplier += 2) {
    hash.Slots.fill(kCount);
    bool distinct = true;
    for (std::size_t i = 0; i < kCount && distinct; ++i) {
      std::uint8_t& slot = hash.Slots.at(hash.Slot(keys.at(i)));
      distinct = slot == kCount;
      slot = static_cast<std::uint8_t>(i);
    }
    if (distinct) return hash;
  }
}

inline constexpr auto kWeekdayHash = MakeKeyHash(kWeekdayKeys);
inline constexpr auto kMonthHash = MakeKeyHash(kMonthKeys);

template <std::size_t kCount>
std::optional<int> AsIndex(std::size_t index) {
  if (index == kCount) return std::nullopt;
  return static_cast<int>(index);
}

// The index of the NUL-terminated `name` in kMonthNames, exactly as written.
// Its first four bytes are compared at once: a shorter name has its NUL among
// the first three, a longer one no NUL fourth, and neither matches.
inline std::optional<int> FindMonth(const char (&name)[sizeof("Nov")]) {
  return AsIndex<kMonthKeys.size()>(kMonthHash.Find(kMonthKeys, LoadKey<AbbreviationKey>(name)));
}

// The three bytes of `text` from `at` on, which it holds, as a key; with
// kAnyCase in the case of the names, a capital and two small letters.
template <bool kAnyCase>
AbbreviationKey AbbreviationAt(std::string_view text, std::size_t at) {
  // Built in a register: three bytes copied over a zeroed key in memory would
  // be read back before the copy has reached it.
  AbbreviationKey key = std::bit_cast<AbbreviationKey>(
      std::array<char, sizeof(AbbreviationKey)>{text[at], text[at + 1], text[at + 2], '\0'});
  if constexpr (kAnyCase) {
    constexpr auto kSmall = KeyOf<AbbreviationKey>(std::string_view("\0\x20\x20", 3));
    constexpr auto kCapital = KeyOf<AbbreviationKey>("\x20");
    key = (key | kSmall) & ~kCapital;
  }
  return key;
}

inline std::optional<int> WeekdayOfKey(AbbreviationKey key) {
  return AsIndex<kWeekdayKeys.size()>(kWeekdayHash.Find(kWeekdayKeys, key));
}
inline std::optional<int> MonthOfKey(AbbreviationKey key) {
  return AsIndex<kMonthKeys.size()>(kMonthHash.Find(kMonthKeys, key));
}

// Each full weekday name with its NUL, in the ten bytes that the longest
// takes, as an eight-byte head and a two-byte tail, with masks of the bytes
// that belong to the name and its NUL: a name is compared in two loads and
// no branch, whatever its length.
using FullNameHead = std::uint64_t;
using FullNameTail = std::uint16_t;
inline constexpr std::size_t kFullNameSize = sizeof("Wednesday");

struct FullNameKeys {
  std::array<FullNameHead, 7> Heads;
  std::array<FullNameTail, 7> Tails;
  std::array<FullNameHead, 7> HeadMasks;
  std::array<FullNameTail, 7> TailMasks;
};

inline constexpr FullNameKeys kFullWeekdayKeys = [] {
  FullNameKeys keys{};
  constexpr std::string_view kAllSet = "\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff";
  for (std::size_t i = 0; i < 7; ++i) {
    const std::string_view name = kWeekdayNames[i];
    const std::size_t size = name.size() + 1;  // with its NUL, which KeyOf leaves zero
    keys.Heads.at(i) = KeyOf<FullNameHead>(name);
    keys.Tails.at(i) = KeyOf<FullNameTail>(name.substr(std::min(name.size(), sizeof(FullNameHead))));
    keys.HeadMasks.at(i) = KeyOf<FullNameHead>(kAllSet.substr(0, size));
    keys.TailMasks.at(i) = KeyOf<FullNameTail>(kAllSet.substr(0, size - std::min(size, sizeof(FullNameHead))));
  }
  return keys;
}();

// The index of the weekday whose abbreviation or full name is the
// NUL-terminated `name`. The first three letters pick the weekday; then the
// NUL must follow them, or the whole full name and its NUL must be there.
inline std::optional<int> FindWeekday(const char (&name)[kFullNameSize]) {
  constexpr auto kLetters = KeyOf<AbbreviationKey>("\xff\xff\xff");
  const std::optional<int> index =
      AsIndex<kWeekdayKeys.size()>(kWeekdayHash.Find(kWeekdayKeys, LoadKey<AbbreviationKey>(name) & kLetters));
  if (!index || name[kAbbreviationLength] == '\0') return index;
  const auto i = static_cast<std::size_t>(*index);
  const FullNameHead head = LoadKey<FullNameHead>(name) ^ kFullWeekdayKeys.Heads[i];
  const FullNameTail tail = LoadKey<FullNameTail, sizeof(FullNameHead)>(name) ^ kFullWeekdayKeys.Tails[i];
  if ((head & kFullWeekdayKeys.HeadMasks[i]) != 0 || (tail & kFullWeekdayKeys.TailMasks[i]) != 0) return std::nullopt;
  return index;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_HTTP_NAMES_H_
