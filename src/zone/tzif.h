// Internal: the contents of a TZif file (RFC 8536) that local time needs, as
// glibc reads them: the 32-bit data of a version 1 file, the 64-bit data and
// the footer of every later version.
#ifndef ORVIK_CHRONO_SRC_ZONE_TZIF_H_
#define ORVIK_CHRONO_SRC_ZONE_TZIF_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvik::chrono::internal::zone {

struct TzifType {
  std::int32_t Offset;  // seconds east of UTC
  bool IsDst;
  std::uint8_t Abbreviation;  // where its text starts in Tzif::Abbreviations, NUL-terminated there
};

struct LeapRecord {
  std::int64_t At;          // the second from which Correction holds
  std::int32_t Correction;  // leap seconds inserted so far, less those removed
};

struct Tzif {
  std::vector<std::int64_t> Transitions;  // ascending
  std::vector<std::uint8_t> TypeOf;       // of each transition, an index of Types
  std::vector<TzifType> Types;            // at least one
  std::string Abbreviations;
  std::vector<LeapRecord> Leaps;  // ascending
  std::string Footer;             // a POSIX rule for the time after the last transition; empty for none
};

enum class TzifReading : std::uint8_t {
  Read,
  NotTzif,    // no "TZif" at the start: glibc reads TZ as a POSIX rule instead
  Malformed,  // counts that overrun the file, indexes out of range, times out of order or a footer
              // not between two line ends: glibc's answers for these are left to localtime_r
};

// Reads `bytes`, a file's whole contents, into `tzif`.
TzifReading ReadTzif(std::string_view bytes, Tzif& tzif);

}  // namespace orvik::chrono::internal::zone

#endif  // ORVIK_CHRONO_SRC_ZONE_TZIF_H_
