// convert: one output line per input; with --field, one field of each line
// converted and the rest copied.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "cli_messages.h"
#include "commands.h"
#include "line_reader.h"
#include "output.h"
#include "refusals.h"

namespace orvik::chrono::cli {
namespace {

struct Conversion {
  InputKind Kind;
  OutputFormat Format;
  TimeZone Zone;
  std::size_t Field;  // 0: the whole input
  char Delimiter;
};

// Where field `number` (from 1) of `line` starts and ends; false when the line
// has fewer fields.
bool FindField(std::string_view line, std::size_t number, char delimiter, std::size_t& begin, std::size_t& end) {
  begin = 0;
  for (std::size_t i = 1; i < number; ++i) {
    const std::size_t next = line.find(delimiter, begin);
    if (next == std::string_view::npos) return false;
    begin = next + 1;
  }
  end = std::min(line.find(delimiter, begin), line.size());
  return true;
}

// Appends the converted `input` and a newline to `out`, or reports why not.
// `message` is scratch space for a refusal.
void ConvertInput(const Conversion& c, std::string_view input, const char* where, std::size_t position,
                  std::string& message, Output& out, Refusals& refusals) {
  std::size_t begin = 0;
  std::size_t end = input.size();
  message.clear();
  if (c.Field != 0 && !FindField(input, c.Field, c.Delimiter, begin, end)) {
    message.append(kNoField).append(std::to_string(c.Field)).append(kNoFieldIn).append(input);
    Report(refusals, where, position, message);
    return;
  }
  const std::string_view text = input.substr(begin, end - begin);
  const Reading<TimePoint> instant = ReadInstant(text, c.Kind);
  if (!instant) {
    Report(refusals, where, position, RefusalMessage(instant, text));
    return;
  }
  out.Buffer.append(input.substr(0, begin));
  AppendInstant(out.Buffer, instant.Value, c.Format, c.Zone);
  out.Buffer.append(input.substr(end));
  out.Buffer += '\n';
}

// The number of the one column of `header` named `name`; 0 after reporting a
// usage error when no column or several have that name.
std::size_t FindColumn(std::string_view header, std::string_view name, char delimiter) {
  std::size_t found = 0;
  std::size_t matches = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
  for (std::size_t number = 1; FindField(header, number, delimiter, begin, end); ++number) {
    if (header.substr(begin, end - begin) == name) {
      found = number;
      ++matches;
    }
    if (end == header.size()) break;
  }
  if (matches == 1) return found;
  const std::string_view problem = matches == 0 ? kNoColumn : kManyColumns;
  Say("--field " + std::string(name) + ": " + std::string(problem) + EscapeControlBytes(header));
  return 0;
}

// Converts each line of standard input, the header line copied unchanged; a
// usage error when --field names no single column of the header line.
int ConvertLines(Conversion c, const Options& options, Output& out, Refusals& refusals) {
  LineReader reader(STDIN_FILENO);
  std::string line;
  std::string text;
  bool too_long = false;
  for (std::size_t number = 1; reader.Next(line, too_long); ++number) {
    if (too_long) {
      Report(refusals, "line", number, kLineTooLong);
    } else if (number == 1 && options.Header) {
      if (!options.FieldName.empty()) c.Field = FindColumn(line, options.FieldName, c.Delimiter);
      out.Buffer.append(line) += '\n';
    } else if (line.empty()) {
      out.Buffer += '\n';
    } else {
      ConvertInput(c, line, "line", number, text, out, refusals);
    }
    if (c.Field == 0 && !options.FieldName.empty()) return kUsageError;  // no column of that name, or no header
    FlushWhenFull(out);
  }
  if (reader.Error() != 0) {
    Flush(out);
    ReportReadError(refusals, kStandardInput, reader.Error());
  }
  return ExitStatus(refusals);
}

}  // namespace

int Convert(const Options& options) {
  const Conversion c{options.From, options.To, options.Zone, options.Field, options.Delimiter};
  Output out{STDOUT_FILENO, {}};
  out.Buffer.reserve(Output::kBlock + Output::kBlock / 4);
  Refusals refusals = RefusalsFor(out);
  std::string text;
  for (std::size_t i = 0; i < options.Texts.size(); ++i) {
    ConvertInput(c, options.Texts[i], "argument", i + 1, text, out, refusals);
  }
  const int status = options.Texts.empty() ? ConvertLines(c, options, out, refusals) : ExitStatus(refusals);
  if (status != kUsageError) Flush(out);  // nothing, not even the header, after a usage error
  return status;
}

}  // namespace orvik::chrono::cli
