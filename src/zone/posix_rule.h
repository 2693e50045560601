// Internal: a POSIX TZ rule such as "CET-1CEST,M3.5.0,M10.5.0/3", read the
// way glibc reads it, and the instants of its changes as glibc computes them,
// quirks included: localtime_r's answers are the reference, not POSIX.
#ifndef ORVIK_CHRONO_SRC_ZONE_POSIX_RULE_H_
#define ORVIK_CHRONO_SRC_ZONE_POSIX_RULE_H_

#include <cstdint>
#include <string_view>

namespace orvik::chrono::internal::zone {

// How a change names its day: "n" (from 0, February 29th counted), "Jn" (from
// 1, February 29th never counted) or "Mm.w.d" (weekday d of week w of month m,
// week 5 the last).
enum class DayRule : std::uint8_t { DayOfYear, Julian, MonthWeekDay };

// Standard time or summer time: its abbreviation, its offset, and the change
// that ends it, in its own local time (the standard side holds the start of
// summer time). A text that stops being read leaves the fields not yet read
// as they are, zero but for what was already stored: glibc computes with them.
struct Side {
  std::string_view Name;
  std::int32_t Offset = 0;  // seconds east of UTC
  DayRule Rule = DayRule::DayOfYear;
  std::uint16_t Month = 0;
  std::uint16_t Week = 0;
  std::uint16_t Day = 0;
  std::int32_t Time = 0;  // of the change, seconds after local midnight
};

struct PosixRule {
  Side Standard;
  Side Summer;
  // Every character was read: the text is a rule, not a name read in part.
  bool Whole = false;
  // Summer time without a rule: glibc takes the rules of the "posixrules"
  // file instead, which this library leaves to localtime_r.
  bool WantsPosixRules = false;
};

// Reads `text` (up to its NUL) as glibc does; names point into `text`.
PosixRule ReadPosixRule(const char* text);

// Whether ChangeOf can compute every change of `rule`: a month rule whose
// month is outside 1 to 12 (kept from a text read in part) makes glibc read
// outside its table of months, and is left to localtime_r.
bool IsComputable(const PosixRule& rule);

// The instant at which `side` ends in the UTC year `year`.
std::int64_t ChangeOf(const Side& side, std::int64_t year);

// Whether summer time is in force at second `t` of the UTC year `year`.
bool IsSummer(const PosixRule& rule, std::int64_t t, std::int64_t year);

}  // namespace orvik::chrono::internal::zone

#endif  // ORVIK_CHRONO_SRC_ZONE_POSIX_RULE_H_
