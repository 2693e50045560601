// The tool's reading and writing of instants: which library call reads an
// input, and which one writes each output format.
#ifndef ORVIK_CHRONO_TOOLS_INSTANT_TEXT_H_
#define ORVIK_CHRONO_TOOLS_INSTANT_TEXT_H_

#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace orvik::chrono::cli {

enum class InputKind { Auto, Iso, Http, Epoch };
enum class OutputFormat { Http, Iso, IsoNs, IsoBasic, Epoch, EpochNs };

// The kind that `auto` picks, by the rule of kAutoRule.
InputKind DetectKind(std::string_view text);

// Reads `text` as `kind` (Auto detects it first). Throws what the library
// throws, or std::invalid_argument / std::out_of_range with the tool's own
// message for bad epoch text and for ISO 8601 text too short to read.
TimePoint ReadInstant(const std::string& text, InputKind kind);

// The library's SplitIso8601, with the tool's refusal of a text too short.
std::pair<TimePoint, std::chrono::minutes> SplitIso(const std::string& text);

// Appends the text of `t` in `format` to `out`; ISO layouts in `zone`.
void AppendInstant(std::string& out, TimePoint t, OutputFormat format, TimeZone zone);

// `seconds`.`nanoseconds` with nine fraction digits, floored: -1 ns is -1.999999999.
std::string SecondsWithFraction(std::int64_t nanoseconds);

}  // namespace orvik::chrono::cli

// text_layout.h, the parse report's bridge to the library's own scans, lives
// beside them and names the kinds from here.
namespace orvik::chrono::internal {
using cli::InputKind;
}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_TOOLS_INSTANT_TEXT_H_
