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
#include "output.h"

namespace orvik::chrono::cli {
namespace {

constexpr std::string_view kNewline = "\n";

// The longest text that is read as an instant: far more than any instant's
// text, so that a longer one is refused without being read or shown.
constexpr std::size_t kLongestText = 1024;

struct Conversion {
  const Options& O;
  std::size_t Field;       // 0: the whole input; with a column name, its number once the header is read
  bool Quoted;             // fields by RFC 4180
  std::string_view Where;  // what refusals name the inputs: "line" or "argument"
};

// The memory that each record reuses: a quoted field's value unquoted, the
// converted value, and why a record is refused.
struct Scratch {
  std::string Field;
  std::string Value;
  std::string Refusal;
};

// `opening`, then `record`, the start of a text of `size` bytes, as a message
// shows it.
std::string WithExcerpt(std::string_view opening, std::string_view record, std::size_t size = std::string_view::npos) {
  std::string message(opening);
  AppendExcerpt(message, record, size == std::string_view::npos ? record.size() : size);
  return message;
}

// Reports why `r` is refused and writes what --invalid asks for: `r` as it
// came, without the field wanted (as it came when it has none), or nothing.
// False when the input ends here.
bool Refuse(const Conversion& c, const Record& r, std::string_view message, Output& out, Refusals& refusals) {
  Report(refusals, c.Where, r.Line, message);
  switch (c.O.OnInvalid) {
    case Invalid::Keep:
      Append(out, refusals, r.Text);
      out.Buffer.append(r.LineEnd);
      return true;
    case Invalid::Empty: {
      const Field kept = r.Found ? r.Wanted : Field{r.Text.size(), r.Text.size()};
      Append(out, refusals, r.Text.substr(0, kept.Begin));
      Append(out, refusals, r.Text.substr(kept.End));
      out.Buffer.append(r.LineEnd);
      return true;
    }
    case Invalid::Drop:
      return true;
    default:
      return false;
  }
}

// Appends `r` with the field wanted converted, or reports why it is not
// converted. False when the input ends here. A missing value, an empty field
// or a text that --null names, is written as it came.
// Neither the record nor a long field is copied: a field too long to be an
// instant's text is refused with its first bytes, which alone are unquoted,
// unless a --null text of its size may name it; the record around the value
// is written as Append writes it.
bool ConvertField(const Conversion& c, const Record& r, Scratch& scratch, Output& out, Refusals& refusals) {
  const std::size_t size = FieldValueSize(r.Text, r.Wanted);
  const auto null_of_size = [size](const std::string& null) { return null.size() == size; };
  if (size > kLongestText && std::ranges::none_of(c.O.Nulls, null_of_size)) {
    const std::string_view first_bytes = FieldValue(r.Text, r.Wanted, scratch.Field, kLongestText + 1);
    return Refuse(c, r, WithExcerpt(kTooLong, first_bytes, size), out, refusals);
  }
  const std::string_view text = FieldValue(r.Text, r.Wanted, scratch.Field);
  if (text.empty() || std::ranges::find(c.O.Nulls, text) != c.O.Nulls.end()) {
    Append(out, refusals, r.Text);
    out.Buffer.append(r.LineEnd);
    return true;
  }
  if (text.size() > kLongestText) return Refuse(c, r, WithExcerpt(kTooLong, text), out, refusals);
  scratch.Refusal.clear();
  const Reading<Timestamp> read = ReadInstant(text, c.O.From, c.O.Lenient, scratch.Refusal, c.O.Assume, c.O.Read);
  if (!read) return Refuse(c, r, scratch.Refusal, out, refusals);
  const TimePoint instant = read.Value.instant;
  scratch.Value.clear();
  const Layout* const layout = c.O.ToFormat ? &*c.O.ToFormat : nullptr;
  if (layout != nullptr ? !AppendLayout(scratch.Value, instant, *layout, c.O.Zone, c.O.Named)
                        : !AppendInstant(scratch.Value, instant, c.O.To, c.O.Zone, c.O.Named)) {
    return Refuse(c, r, UnwritableMessage(instant, text, c.O.Named, layout), out, refusals);
  }
  if (c.Quoted) QuoteFrom(scratch.Value, 0, c.O.Delimiter);
  Append(out, refusals, r.Text.substr(0, r.Wanted.Begin));
  out.Buffer.append(scratch.Value);
  Append(out, refusals, r.Text.substr(r.Wanted.End));
  out.Buffer.append(r.LineEnd);
  return true;
}

// Converts `r`, or refuses it when it breaks RFC 4180 or has no field c.Field.
bool ConvertRecord(const Conversion& c, const Record& r, Scratch& scratch, Output& out, Refusals& refusals) {
  if (r.Problem != Malformed::No) {
    return Refuse(c, r, WithExcerpt(kMalformed[static_cast<std::size_t>(r.Problem) - 1], r.Text), out, refusals);
  }
  if (r.Found) return ConvertField(c, r, scratch, out, refusals);
  const std::string head = std::string(kNoField).append(std::to_string(c.Field)).append(kNoFieldIn);
  return Refuse(c, r, WithExcerpt(head, r.Text), out, refusals);
}

// The number of the one column of `header` named `name`; 0 after reporting a
// usage error when no column or several have that name, or the header breaks
// RFC 4180.
std::size_t FindColumn(std::string_view header, std::string_view name, const Conversion& c) {
  std::size_t found = 0;
  std::size_t matches = 0;
  Malformed problem = Malformed::No;
  const std::vector<Field> fields = SplitFields(header, c.O.Delimiter, c.Quoted, problem);
  std::string scratch;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (FieldValue(header, fields[i], scratch) == name) {
      found = i + 1;
      ++matches;
    }
  }
  if (matches == 1 && problem == Malformed::No) return found;
  const std::string_view problem_text = problem != Malformed::No ? kMalformed[static_cast<std::size_t>(problem) - 1]
                                        : matches == 0           ? kNoColumn
                                                                 : kManyColumns;
  Say("--field " + std::string(name) + ": " + EscapeControlBytes(WithExcerpt(problem_text, header)));
  return 0;
}

// Converts each record of standard input, the header line copied unchanged,
// even where it breaks RFC 4180, unless a quote it opens runs to the end of the
// input; a usage error when --field names no single column of the header.
// A byte-order mark before the first record is copied and is not part of its
// first field.
// A malformed record has text: an empty one is no record and is copied.
int ConvertLines(Conversion c, Output& out, Refusals& refusals) {
  // What is converted is written before each read that may wait for more
  // input, so that a line typed, or a line of a live pipe, comes out at once.
  RecordReader records(STDIN_FILENO, c.O.Delimiter, c.Quoted, c.Field, [&] { Flush(out, refusals); });
  Record r;
  Scratch scratch;
  bool more = true;
  for (bool first = true; more && records.Next(r); first = false) {
    if (r.ByteOrderMark) out.Buffer.append(kByteOrderMark);
    if (first && c.O.Header && r.Problem != Malformed::Unterminated) {
      // Held, not written, until the column is found: a usage error writes nothing.
      out.Buffer.append(r.Text).append(r.LineEnd);
      if (r.Text.empty() && r.LineEnd.empty()) break;  // a byte-order mark alone: no header line
      if (c.O.FieldName) records.Want(c.Field = FindColumn(r.Text, *c.O.FieldName, c));
    } else if (r.Text.empty()) {
      out.Buffer.append(r.LineEnd);
    } else {
      more = ConvertRecord(c, r, scratch, out, refusals);
    }
    if (c.Field == 0 && c.O.FieldName) return kUsageError;  // no column of that name, or no header
    FlushWhenFull(out, refusals);
  }
  if (records.Error() != 0) {
    Flush(out, refusals);
    ReportReadError(refusals, kStandardInput, records.Error());
  }
  return ExitStatus(refusals);
}

}  // namespace

int Convert(const Options& options) {
  const bool columns = options.Field != 0 || options.FieldName;
  const Conversion c{options, options.Field, columns && options.Delimiter != '\t',
                     options.Texts.empty() ? "line" : "argument"};
  Output out{STDOUT_FILENO, {}};
  out.Buffer.reserve(Output::kBlock + Output::kBlock / 4);
  Refusals refusals(out);
  Scratch scratch;
  for (std::size_t i = 0; i < options.Texts.size(); ++i) {
    const std::string_view text = options.Texts[i];
    Record r{.Text = text, .LineEnd = kNewline, .Line = i + 1, .Found = true, .Wanted = {0, text.size(), false}};
    // An empty argument is a missing value, as an empty line is, whatever the field.
    if (c.Field != 0 && !text.empty()) {
      r.Found = FindField(text, c.Field, options.Delimiter, c.Quoted, r.Wanted, r.Problem);
    }
    if (!ConvertRecord(c, r, scratch, out, refusals)) break;
  }
  const int status = options.Texts.empty() ? ConvertLines(c, out, refusals) : ExitStatus(refusals);
  if (status != kUsageError) Flush(out, refusals);  // nothing, not even the header, after a usage error
  return status;
}

}  // namespace orvik::chrono::cli
