// Internal: zones loaded by name, by fixed offset and by POSIX rule, each an
// entry that points at its immutable table; every entry is kept in one list
// shared by all threads and never freed.
#ifndef ORVIK_CHRONO_SRC_ZONE_NAMED_ZONE_H_
#define ORVIK_CHRONO_SRC_ZONE_NAMED_ZONE_H_

#include <cstdint>
#include <string_view>

#include "zone/zone_table.h"

namespace orvik::chrono::internal::zone {

enum class NamedKind : std::uint8_t { File, FixedOffset, Rule };

struct NamedZone {
  const Zone* Table;  // answers every second from kFirstSecond to kLastSecond
  NamedKind Kind;
  std::string_view Name;
  std::string_view Directory;  // of a File zone, where it was loaded from
  const NamedZone* Next;       // the entry added before it
};

// How `seconds`, from kFirstSecond to kLastSecond, reads in `zone`.
inline const Shift& ShiftIn(const NamedZone& zone, std::int64_t seconds) { return *ShiftAt(*zone.Table, seconds); }

}  // namespace orvik::chrono::internal::zone

#endif  // ORVIK_CHRONO_SRC_ZONE_NAMED_ZONE_H_
