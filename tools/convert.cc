// convert: one output line per input; with --field, one field of each record
// converted and the rest copied.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "cli_messages.h"
#include "commands.h"
#include "csv.h"
#include "output.h"
#include "refusals.h"

namespace orvik::chrono::cli {
namespace {

constexpr std::string_view kNewline = "\n";
constexpr std::string_view kCrLf = "\r\n";

struct Conversion {
  InputKind Kind;
  OutputFormat Format;
  TimeZone Zone;
  std::size_t Field;  // 0: the whole input
  char Delimiter;
  bool Quoted;  // fields by RFC 4180
  bool Lenient;
};

// Memory reused from one input to the next.
struct Scratch {
  std::string Value;  // a quoted field's text
};

void ReportMalformed(Refusals& refusals, const char* where, std::size_t position, Malformed problem,
                     std::string_view record, bool quoted) {
  switch (problem) {
    case Malformed::QuoteInField:
      return Report(refusals, where, position, std::string(kQuoteInField).append(record));
    case Malformed::TextAfterQuote:
      return Report(refusals, where, position, std::string(kTextAfterQuote).append(record));
    case Malformed::Unterminated:
      return Report(refusals, where, position, std::string(kUnterminatedQuote).append(record));
    default:
      return Report(refusals, where, position, quoted ? kRecordTooLong : kLineTooLong);
  }
}

void ReportNoField(Refusals& refusals, const char* where, std::size_t position, std::size_t field,
                   std::string_view input) {
  std::string message(kNoField);
  message.append(std::to_string(field)).append(kNoFieldIn).append(input);
  Report(refusals, where, position, message);
}

// Appends `input` with `field` converted, and `line_end`, to `out`, or
// reports why the field is not converted.
void ConvertField(const Conversion& c, std::string_view input, const Field& field, std::string_view line_end,
                  const char* where, std::size_t position, Scratch& s, Output& out, Refusals& refusals) {
  const std::string_view text = FieldValue(input, field, s.Value);
  const Reading<Timestamp> read = ReadInstant(text, c.Kind, c.Lenient);
  if (!read) {
    Report(refusals, where, position, RefusalMessage(read, text));
    return;
  }
  out.Buffer.append(input.substr(0, field.Begin));
  const std::size_t value = out.Buffer.size();
  AppendInstant(out.Buffer, read.Value.instant, c.Format, c.Zone);
  if (c.Quoted) QuoteFrom(out.Buffer, value, c.Delimiter);
  out.Buffer.append(input.substr(field.End)).append(line_end);
}

// Converts the text of an argument: the whole text, or its field c.Field.
void ConvertArgument(const Conversion& c, std::string_view text, std::size_t position, Scratch& s, Output& out,
                     Refusals& refusals) {
  constexpr const char* kWhere = "argument";
  Field field{0, text.size(), false};
  Malformed problem = Malformed::No;
  if (c.Field != 0 && !FindField(text, c.Field, c.Delimiter, c.Quoted, field, problem)) {
    if (problem != Malformed::No) return ReportMalformed(refusals, kWhere, position, problem, text, true);
    return ReportNoField(refusals, kWhere, position, c.Field, text);
  }
  ConvertField(c, text, field, kNewline, kWhere, position, s, out, refusals);
}

// The number of the one column of `header` named `name`; 0 after reporting a
// usage error when no column or several have that name.
std::size_t FindColumn(std::string_view header, std::string_view name, const Conversion& c) {
  std::size_t found = 0;
  std::size_t matches = 0;
  Field field;
  Malformed problem = Malformed::No;
  std::string scratch;
  for (std::size_t number = 1; FindField(header, number, c.Delimiter, c.Quoted, field, problem); ++number) {
    if (FieldValue(header, field, scratch) == name) {
      found = number;
      ++matches;
    }
    if (field.End == header.size()) break;
  }
  if (matches == 1) return found;
  const std::string_view problem_text = matches == 0 ? kNoColumn : kManyColumns;
  Say("--field " + std::string(name) + ": " + std::string(problem_text) + EscapeControlBytes(header));
  return 0;
}

// Converts each record of standard input, the header record copied
// unchanged; a usage error when --field names no single column of the header.
// A byte-order mark before the first record is copied and is not part of its
// first field. A malformed record ends the input.
int ConvertLines(Conversion c, const Options& options, Output& out, Refusals& refusals) {
  constexpr const char* kWhere = "line";
  RecordReader records(STDIN_FILENO, c.Delimiter, c.Quoted, c.Field);
  Record r;
  Scratch s;
  for (bool first = true; records.Next(r); first = false) {
    if (r.ByteOrderMark) out.Buffer.append(kByteOrderMark);
    const std::string_view line_end = r.CarriageReturn ? kCrLf : kNewline;
    if (r.Problem != Malformed::No) {
      ReportMalformed(refusals, kWhere, r.Line, r.Problem, r.Text, c.Quoted);
      if (c.Quoted) break;
    } else if (first && options.Header) {
      if (!options.FieldName.empty()) records.Want(c.Field = FindColumn(r.Text, options.FieldName, c));
      out.Buffer.append(r.Text).append(line_end);
    } else if (r.Text.empty()) {
      out.Buffer.append(line_end);
    } else if (!r.Found) {
      ReportNoField(refusals, kWhere, r.Line, c.Field, r.Text);
    } else {
      ConvertField(c, r.Text, r.Wanted, line_end, kWhere, r.Line, s, out, refusals);
    }
    if (c.Field == 0 && !options.FieldName.empty()) return kUsageError;  // no column of that name, or no header
    FlushWhenFull(out);
  }
  if (records.Error() != 0) {
    Flush(out);
    ReportReadError(refusals, kStandardInput, records.Error());
  }
  return ExitStatus(refusals);
}

}  // namespace

int Convert(const Options& options) {
  const bool columns = options.Field != 0 || !options.FieldName.empty();
  const Conversion c{options.From,   options.To,        options.Zone,
                     options.Field,  options.Delimiter, columns && options.Delimiter != '\t',
                     options.Lenient};
  Output out{STDOUT_FILENO, {}};
  out.Buffer.reserve(Output::kBlock + Output::kBlock / 4);
  Refusals refusals = RefusalsFor(out);
  Scratch s;
  for (std::size_t i = 0; i < options.Texts.size(); ++i) ConvertArgument(c, options.Texts[i], i + 1, s, out, refusals);
  const int status = options.Texts.empty() ? ConvertLines(c, options, out, refusals) : ExitStatus(refusals);
  if (status != kUsageError) Flush(out);  // nothing, not even the header, after a usage error
  return status;
}

}  // namespace orvik::chrono::cli
