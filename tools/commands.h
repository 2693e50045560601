// The tool's commands, one file each; main.cc reads the command line into
// Options and runs one of them. Each returns the exit status: 0 when every
// input converted, 1 when any was refused or an input could not be read, 2 for
// a usage error found only in the input.
#ifndef ORVIK_CHRONO_TOOLS_COMMANDS_H_
#define ORVIK_CHRONO_TOOLS_COMMANDS_H_

#include <orvik/chrono/chrono.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "instant_text.h"

namespace orvik::chrono::cli {

inline constexpr int kUsageError = 2;

// What convert writes for a record whose field it refuses: the record as it
// came, the record with that field empty, nothing, or nothing from there on.
enum class Invalid { Keep, Empty, Drop, Stop };

struct Options {
  InputKind From = InputKind::Auto;
  OutputFormat To = OutputFormat::IsoNs;
  TimeZone Zone = TimeZone::UTC;
  std::optional<orvik::chrono::Zone> Named;  // --zone: ISO output and calendars in it
  WallClock Assume;                          // --assume-zone and --disambiguate
  Readers Read;                              // --from-format and --reference
  std::optional<Layout> ToFormat;            // --to-format, which writes instead of To
  std::size_t Field = 0;                     // 0: the whole input, or the column named FieldName
  std::optional<std::string> FieldName;      // the field's column in the header line
  char Delimiter = '\t';
  bool Header = false;
  bool Lenient = false;  // the library's reading of each text, unchecked
  Invalid OnInvalid = Invalid::Keep;
  std::vector<std::string> Nulls;  // texts that stand for a missing value, as an empty field does
  std::vector<std::string> Texts;
};

// One output line per TEXT, or with none per line of standard input.
int Convert(const Options& options);
// The current time.
int Now(const Options& options);
// What the library reads from each TEXT, field by field.
int Parse(const Options& options);
// Nanoseconds and seconds of each ISO 8601 duration TEXT.
int Duration(const Options& options);

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_COMMANDS_H_
