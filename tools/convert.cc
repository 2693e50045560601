// convert: one output line per input; with --field, one field of each record
// converted and the rest copied. A record that is not converted is written as
// --invalid says, by default as it came, so that no record is lost.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli_messages.h"
#include "commands.h"
#include "csv.h"
#include "exact_reading.h"
#include "output.h"
#include "refusals.h"

namespace orvik::chrono::cli {
namespace {

constexpr std::string_view kNewline = "\n";

// The longest text that is read as an instant: far more than any instant's
// text, so that a longer one is refused without being read or shown.
constexpr std::size_t kLongestText = 1024;

struct Conversion {
  InputKind Kind;
  OutputFormat Format;
  TimeZone Zone;
  std::size_t Field;  // 0: the whole input
  char Delimiter;
  bool Quoted;  // fields by RFC 4180
  bool Lenient;
  Invalid OnInvalid;
  const std::vector<std::string>* Nulls;
};

// Memory reused from one input to the next.
struct Scratch {
  std::string Value;  // a quoted field's text
  ExactScratch Exact;
};

// An input, and where refusals place it.
struct Input {
  std::string_view Text;     // the record, without its line end
  std::string_view LineEnd;  // written after it
  const char* Where;         // "line" or "argument"
  std::size_t Position;
};

std::string MalformedMessage(Malformed problem, std::string_view record) {
  const std::string_view head = problem == Malformed::QuoteInField     ? kQuoteInField
                                : problem == Malformed::TextAfterQuote ? kTextAfterQuote
                                                                       : kUnterminatedQuote;
  return std::string(head).append(record);
}

std::string NoFieldMessage(std::size_t field, std::string_view record) {
  return std::string(kNoField).append(std::to_string(field)).append(kNoFieldIn).append(record);
}

// Reports why `in` is refused and writes what --invalid asks for: `in` as it
// came, without `field` (with no field, as it came), or nothing. False when
// the input ends here.
bool Refuse(const Conversion& c, const Input& in, std::string_view message, Output& out, Refusals& refusals,
            const Field& field = {}) {
  Report(refusals, in.Where, in.Position, message);
  switch (c.OnInvalid) {
    case Invalid::Keep:
      out.Buffer.append(in.Text).append(in.LineEnd);
      return true;
    case Invalid::Empty:
      out.Buffer.append(in.Text.substr(0, field.Begin)).append(in.Text.substr(field.End)).append(in.LineEnd);
      return true;
    case Invalid::Drop:
      return true;
    default:
      return false;
  }
}

// A field with nothing to convert: empty, or a text that --null names.
bool Missing(const Conversion& c, std::string_view text) {
  return text.empty() || std::find(c.Nulls->begin(), c.Nulls->end(), text) != c.Nulls->end();
}

// Appends `in` with `field` converted, or reports why it is not converted.
// False when the input ends here.
bool ConvertField(const Conversion& c, const Input& in, const Field& field, Scratch& s, Output& out,
                  Refusals& refusals) {
  const std::string_view text = FieldValue(in.Text, field, s.Value);
  if (Missing(c, text)) {
    out.Buffer.append(in.Text).append(in.LineEnd);
    return true;
  }
  if (text.size() > kLongestText) return Refuse(c, in, kTooLong, out, refusals, field);
  const Reading<TimePoint> instant = c.Lenient ? ReadInstant(text, c.Kind) : ReadExactly(text, c.Kind, s.Exact);
  if (!instant) return Refuse(c, in, ExactRefusalMessage(instant, text, s.Exact), out, refusals, field);
  const std::size_t begin = out.Buffer.size();
  out.Buffer.append(in.Text.substr(0, field.Begin));
  const std::size_t value = out.Buffer.size();
  if (!AppendInstant(out.Buffer, instant.Value, c.Format, c.Zone)) {
    out.Buffer.resize(begin);
    return Refuse(c, in, UnwritableMessage(instant.Value, text), out, refusals, field);
  }
  if (c.Quoted) QuoteFrom(out.Buffer, value, c.Delimiter);
  out.Buffer.append(in.Text.substr(field.End)).append(in.LineEnd);
  return true;
}

// Converts the text of an argument: the whole text, or its field c.Field.
bool ConvertArgument(const Conversion& c, std::string_view text, std::size_t position, Scratch& s, Output& out,
                     Refusals& refusals) {
  const Input in{text, kNewline, "argument", position};
  Field field{0, text.size(), false};
  Malformed problem = Malformed::No;
  if (c.Field != 0 && !FindField(text, c.Field, c.Delimiter, c.Quoted, field, problem)) {
    const std::string message =
        problem != Malformed::No ? MalformedMessage(problem, text) : NoFieldMessage(c.Field, text);
    return Refuse(c, in, message, out, refusals);
  }
  return ConvertField(c, in, field, s, out, refusals);
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
// first field.
int ConvertLines(Conversion c, const Options& options, Output& out, Refusals& refusals) {
  RecordReader records(STDIN_FILENO, c.Delimiter, c.Quoted, c.Field);
  Record r;
  Scratch s;
  bool more = true;
  for (bool first = true; more && records.Next(r); first = false) {
    if (r.ByteOrderMark) out.Buffer.append(kByteOrderMark);
    const Input in{r.Text, r.LineEnd, "line", r.Line};
    if (r.Problem != Malformed::No) {
      more = Refuse(c, in, MalformedMessage(r.Problem, r.Text), out, refusals);
    } else if (first && options.Header) {
      if (options.FieldName) records.Want(c.Field = FindColumn(r.Text, *options.FieldName, c));
      out.Buffer.append(r.Text).append(r.LineEnd);
    } else if (r.Text.empty()) {
      out.Buffer.append(r.LineEnd);
    } else if (!r.Found) {
      more = Refuse(c, in, NoFieldMessage(c.Field, r.Text), out, refusals);
    } else {
      more = ConvertField(c, in, r.Wanted, s, out, refusals);
    }
    if (c.Field == 0 && options.FieldName) return kUsageError;  // no column of that name, or no header
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
  const bool columns = options.Field != 0 || options.FieldName;
  const Conversion c{options.From,
                     options.To,
                     options.Zone,
                     options.Field,
                     options.Delimiter,
                     columns && options.Delimiter != '\t',
                     options.Lenient,
                     options.OnInvalid,
                     &options.Nulls};
  Output out{STDOUT_FILENO, {}};
  out.Buffer.reserve(Output::kBlock + Output::kBlock / 4);
  Refusals refusals = RefusalsFor(out);
  Scratch s;
  for (std::size_t i = 0; i < options.Texts.size(); ++i) {
    if (!ConvertArgument(c, options.Texts[i], i + 1, s, out, refusals)) break;
  }
  const int status = options.Texts.empty() ? ConvertLines(c, options, out, refusals) : ExitStatus(refusals);
  if (status != kUsageError) Flush(out);  // nothing, not even the header, after a usage error
  return status;
}

}  // namespace orvik::chrono::cli
