#include "zone/tzif.h"

#include <cstddef>

namespace orvik::chrono::internal::zone {
namespace {

constexpr std::size_t kHeaderSize = 44;

// The counts of a header, in the file's order.
struct Counts {
  std::uint64_t UtIndicators;
  std::uint64_t StdIndicators;
  std::uint64_t Leaps;
  std::uint64_t Transitions;
  std::uint64_t Types;
  std::uint64_t Characters;
};

// What is left to read of a file, moved past each part as it is taken.
struct Cursor {
  std::string_view Rest;

  [[nodiscard]] bool Has(std::uint64_t size) const { return size <= Rest.size(); }

  // A big-endian two's-complement number of `width` bytes, 1, 4 or 8.
  std::int64_t Number(std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value = value << 8U | static_cast<unsigned char>(Rest[i]);
    Rest.remove_prefix(width);
    if (width == 4) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return static_cast<std::int64_t>(value);
  }
};

bool ReadHeader(Cursor& file, Counts& counts) {
  if (!file.Has(kHeaderSize) || !file.Rest.starts_with("TZif")) return false;
  file.Rest.remove_prefix(20);
  for (std::uint64_t* count : {&counts.UtIndicators, &counts.StdIndicators, &counts.Leaps, &counts.Transitions,
                               &counts.Types, &counts.Characters}) {
    *count = static_cast<std::uint32_t>(file.Number(4));
  }
  return true;
}

std::uint64_t DataSize(const Counts& counts, std::size_t width) {
  return counts.Transitions * (width + 1) + counts.Types * 6 + counts.Characters + counts.Leaps * (width + 4) +
         counts.StdIndicators + counts.UtIndicators;
}

// The data block of `width`-byte times, whose size the cursor has.
bool ReadData(Cursor& file, const Counts& counts, std::size_t width, Tzif& tzif) {
  if (counts.Types == 0) return false;
  for (std::uint64_t i = 0; i < counts.Transitions; ++i) {
    tzif.Transitions.push_back(file.Number(width));
    if (i > 0 && tzif.Transitions[i] <= tzif.Transitions[i - 1]) return false;
  }
  for (std::uint64_t i = 0; i < counts.Transitions; ++i) {
    tzif.TypeOf.push_back(static_cast<std::uint8_t>(file.Number(1)));
    if (tzif.TypeOf.back() >= counts.Types) return false;
  }
  for (std::uint64_t i = 0; i < counts.Types; ++i) {
    const auto offset = static_cast<std::int32_t>(file.Number(4));
    const std::int64_t is_dst = file.Number(1);
    const auto abbreviation = static_cast<std::uint8_t>(file.Number(1));
    if (is_dst > 1 || abbreviation >= counts.Characters) return false;
    tzif.Types.push_back({offset, is_dst == 1, abbreviation});
  }
  tzif.Abbreviations = file.Rest.substr(0, counts.Characters);
  file.Rest.remove_prefix(counts.Characters);
  for (const TzifType& type : tzif.Types) {
    if (tzif.Abbreviations.find('\0', type.Abbreviation) == std::string::npos) return false;
  }
  for (std::uint64_t i = 0; i < counts.Leaps; ++i) {
    const std::int64_t at = file.Number(width);
    tzif.Leaps.push_back({at, static_cast<std::int32_t>(file.Number(4))});
    if (i > 0 && at <= tzif.Leaps[i - 1].At) return false;
  }
  file.Rest.remove_prefix(counts.StdIndicators + counts.UtIndicators);
  return true;
}

}  // namespace

TzifReading ReadTzif(std::string_view bytes, Tzif& tzif) {
  Cursor file{bytes};
  Counts counts{};
  if (!ReadHeader(file, counts)) return TzifReading::NotTzif;
  std::size_t width = 4;
  // Any version after the first has a second header, 64-bit data and a footer.
  if (bytes[4] != '\0') {
    if (!file.Has(DataSize(counts, 4))) return TzifReading::Malformed;
    file.Rest.remove_prefix(DataSize(counts, 4));
    if (!ReadHeader(file, counts)) return TzifReading::Malformed;
    width = 8;
  }
  if (!file.Has(DataSize(counts, width)) || !ReadData(file, counts, width, tzif)) return TzifReading::Malformed;
  if (width == 8) {
    const std::size_t end = file.Rest.find('\n', 1);
    if (!file.Rest.starts_with('\n') || end != file.Rest.size() - 1) return TzifReading::Malformed;
    tzif.Footer = file.Rest.substr(1, end - 1);
    if (tzif.Footer.find('\0') != std::string::npos) return TzifReading::Malformed;
  }
  return TzifReading::Read;
}

}  // namespace orvik::chrono::internal::zone
