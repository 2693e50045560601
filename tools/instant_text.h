// The tool's reading and writing of instants: which library call reads an
// input, and which one writes each output format.
#ifndef ORVIK_CHRONO_TOOLS_INSTANT_TEXT_H_
#define ORVIK_CHRONO_TOOLS_INSTANT_TEXT_H_

#include <orvik/chrono/chrono.h>

#include <string>
#include <string_view>

namespace orvik::chrono::internal {

enum class InputKind { Auto, Iso, Http, Epoch };
enum class OutputFormat { Http, Iso, IsoNs, IsoBasic, Epoch, EpochNs };

// The kind that `auto` picks: epoch seconds when the text is an optional '@',
// an optional '-' and digits with an optional fraction of up to nine digits;
// an HTTP date when it starts with an ASCII letter; ISO 8601 otherwise.
InputKind DetectKind(std::string_view text);

// Reads `text` as `kind` (Auto detects it first). Throws what the library
// throws, or std::invalid_argument / std::out_of_range for bad epoch text.
TimePoint ReadInstant(const std::string& text, InputKind kind);

// Appends the text of `t` in `format` to `out`; ISO layouts in `zone`.
void AppendInstant(std::string& out, TimePoint t, OutputFormat format, TimeZone zone);

// `seconds`.`nanoseconds` with nine fraction digits, floored: -1 ns is -1.999999999.
std::string SecondsWithFraction(std::int64_t nanoseconds);

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_TOOLS_INSTANT_TEXT_H_
