#include "csv.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace orvik::chrono::cli {
namespace {

constexpr char kQuote = '"';
constexpr char kLineEnd = '\n';
constexpr char kCarriageReturn = '\r';

// Where the split of one record stands, so that it goes on from there once
// more of the record has been read. Positions count from the record's start.
struct Split {
  // A quoted field is closed from AfterQuote on.
  enum class At : std::uint8_t { FieldStart, Unquoted, Quoted, AfterQuote, CarriageReturnAfterQuote };

  std::size_t Position = 0;  // the next byte to look at
  std::size_t Number = 1;    // of the field at hand
  std::size_t Begin = 0;     // where it began
  At Where = At::FieldStart;
  Malformed Problem = Malformed::No;
  bool Ended = false;  // the line end at Position ends the record
  bool Found = false;  // the field wanted, closed
  Field Wanted;
  std::vector<Field>* Every = nullptr;  // where each field closed goes, if anywhere
};

std::size_t OffsetIn(std::string_view text, const void* at) {
  return static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
}

// The split goes on at `at`, `where`.
std::size_t Enter(Split& s, Split::At where, std::size_t at) {
  s.Where = where;
  return at;
}

// The field at hand ends at `at`, where a delimiter or a line end is, or
// the end of the input, which ends it as a line end does.
std::size_t EndField(Split& s, std::size_t at, bool quoted, ByteKinds::Kind kind, std::size_t wanted) {
  if (s.Number == wanted) {
    s.Wanted = {s.Begin, at, quoted};
    s.Found = true;
  }
  if (s.Every != nullptr) s.Every->push_back({s.Begin, at, quoted});
  s.Ended = kind == ByteKinds::Kind::LineEnd;
  if (s.Ended) return at;
  ++s.Number;
  s.Begin = at + 1;
  return Enter(s, Split::At::FieldStart, at + 1);
}

std::size_t Fault(Split& s, std::size_t at, Malformed problem) {
  s.Problem = problem;
  return at;
}

// One step of the split at `at`, before the end of `text`: the next position.
std::size_t Step(std::string_view text, const ByteKinds& kinds, std::size_t wanted, Split& s, std::size_t at) {
  using At = Split::At;
  switch (s.Where) {
    case At::FieldStart:
      return kinds[text[at]] == ByteKinds::Kind::Quote ? Enter(s, At::Quoted, at + 1) : Enter(s, At::Unquoted, at);
    case At::Unquoted: {
      while (at < text.size() && kinds[text[at]] == ByteKinds::Kind::Data) ++at;
      if (at == text.size()) return at;
      const ByteKinds::Kind kind = kinds[text[at]];
      return kind == ByteKinds::Kind::Quote ? Fault(s, at, Malformed::QuoteInField)
                                            : EndField(s, at, false, kind, wanted);
    }
    case At::Quoted: {
      // Up to the next quote, which closes the field or is the first of two.
      const void* quote = std::memchr(text.data() + at, kQuote, text.size() - at);
      return quote == nullptr ? text.size() : Enter(s, At::AfterQuote, OffsetIn(text, quote) + 1);
    }
    case At::AfterQuote: {
      const ByteKinds::Kind kind = kinds[text[at]];
      if (kind == ByteKinds::Kind::Quote) return Enter(s, At::Quoted, at + 1);  // a doubled quote
      if (kind != ByteKinds::Kind::Data) return EndField(s, at, true, kind, wanted);
      if (text[at] != kCarriageReturn || !kinds.LineEnds) return Fault(s, at, Malformed::TextAfterQuote);
      return Enter(s, At::CarriageReturnAfterQuote, at + 1);
    }
    case At::CarriageReturnAfterQuote:
      // The field's end, here the carriage return's, is taken off with the record's line end.
      if (kinds[text[at]] != ByteKinds::Kind::LineEnd) return Fault(s, at - 1, Malformed::TextAfterQuote);
      return EndField(s, at, true, ByteKinds::Kind::LineEnd, wanted);
  }
  return at;
}

// Splits `text` from where `s` stands up to the line end that ends the
// record, the first fault or the end of `text`, after which more of the
// record may follow.
void Continue(std::string_view text, const ByteKinds& kinds, std::size_t wanted, Split& s) {
  std::size_t at = s.Position;
  while (at < text.size() && !s.Ended && s.Problem == Malformed::No) at = Step(text, kinds, wanted, s, at);
  s.Position = at;
}

// Ends the record at `end`, the end of the input: a quote still open there
// is a fault. A carriage return after a closing quote, the line end there,
// is left to be taken off with the record's line end.
void Finish(std::size_t end, std::size_t wanted, Split& s) {
  if (s.Where == Split::At::Quoted) s.Problem = Malformed::Unterminated;
  if (s.Problem == Malformed::No) EndField(s, end, s.Where >= Split::At::AfterQuote, ByteKinds::Kind::LineEnd, wanted);
}

// Field `wanted` of a text split at every delimiter.
bool PlainField(std::string_view text, char delimiter, std::size_t wanted, Field& field) {
  std::size_t begin = 0;
  for (std::size_t n = 1; n < wanted; ++n) {
    const void* at = std::memchr(text.data() + begin, delimiter, text.size() - begin);
    if (at == nullptr) return false;
    begin = OffsetIn(text, at) + 1;
  }
  const void* end = std::memchr(text.data() + begin, delimiter, text.size() - begin);
  field = {begin, end == nullptr ? text.size() : OffsetIn(text, end), false};
  return true;
}

bool SkipByteOrderMark(InputBuffer& input) {
  while (input.Data().size() < kByteOrderMark.size() && kByteOrderMark.starts_with(input.Data()) && input.Fill()) {
  }
  if (!input.Data().starts_with(kByteOrderMark)) return false;
  input.Consume(kByteOrderMark.size());
  return true;
}

// `end` is where the record's '\n' is, or the end of the input; a '\r'
// before it belongs to the line end.
void EndRecord(InputBuffer& input, Record& record, std::size_t end) {
  const std::string_view data = input.Data();
  const std::size_t text_end = end > 0 && data[end - 1] == kCarriageReturn ? end - 1 : end;
  const std::size_t next = end < data.size() ? end + 1 : end;
  record.Text = {data.data(), text_end};
  record.LineEnd = {data.data() + text_end, next - text_end};
  record.Wanted.End = std::min(record.Wanted.End, text_end);
  input.Consume(next);
}

std::size_t LineEndFrom(InputBuffer& input, std::size_t at) {
  for (;;) {
    const std::string_view data = input.Data();
    const void* line_end = std::memchr(data.data() + at, kLineEnd, data.size() - at);
    if (line_end != nullptr) return OffsetIn(data, line_end);
    if (!input.Fill()) return input.Data().size();
    at = data.size();
  }
}

}  // namespace

ByteKinds::ByteKinds(char delimiter, bool quoted, bool line_ends) : LineEnds(line_ends) {
  const auto at = [this](char c) -> Kind& { return Kinds.at(static_cast<unsigned char>(c)); };
  if (quoted) at(kQuote) = Kind::Quote;
  at(delimiter) = Kind::Delimiter;  // a quote as the delimiter splits, as in a field without quotes
  if (line_ends) at(kLineEnd) = Kind::LineEnd;
}

bool RecordReader::ReadQuoted(Record& record, std::size_t first_line_end) {
  Split s;
  for (;;) {
    Continue(input_.Data(), kinds_, wanted_, s);
    if (s.Ended || s.Problem != Malformed::No) break;
    if (!input_.Fill()) {
      if (input_.Error() != 0) return false;  // the record's part read is dropped
      const std::string_view data = input_.Data();
      Finish(data.size(), wanted_, s);
      // A quote open at the end of the input: the record up to its last line end.
      s.Position = data.size() - (s.Problem == Malformed::Unterminated && data.ends_with(kLineEnd) ? 1 : 0);
      break;
    }
  }
  record.Problem = s.Problem;
  record.Found = s.Found && s.Problem == Malformed::No;
  record.Wanted = s.Wanted;
  const bool fault = s.Problem == Malformed::QuoteInField || s.Problem == Malformed::TextAfterQuote;
  const std::size_t end = fault ? LineEndFrom(input_, s.Position) : s.Position;
  // Line ends inside quotes, where the record goes on past its first line.
  const char* data = input_.Data().data();
  line_ += static_cast<std::size_t>(std::count(data + first_line_end, data + end, kLineEnd));
  EndRecord(input_, record, end);
  return true;
}

bool RecordReader::Next(Record& record) {
  record.ByteOrderMark = line_ == 0 && SkipByteOrderMark(input_);
  record.Line = ++line_;
  record.Problem = Malformed::No;
  // The first line end, or at the end of the input the data's end.
  const std::size_t end = LineEndFrom(input_, 0);
  if (input_.Data().empty() && !record.ByteOrderMark) return false;
  if (quoted_ && input_.Data().substr(0, end).find(kQuote) != std::string_view::npos) return ReadQuoted(record, end);
  record.Wanted = {0, end, false};
  EndRecord(input_, record, end);
  record.Found = wanted_ == 0 || PlainField(record.Text, delimiter_, wanted_, record.Wanted);
  return true;
}

bool FindField(std::string_view record, std::size_t number, char delimiter, bool quoted, Field& field,
               Malformed& problem) {
  problem = Malformed::No;
  if (!quoted) return PlainField(record, delimiter, number, field);
  const ByteKinds kinds(delimiter, true, false);
  Split s;
  Continue(record, kinds, number, s);
  if (s.Problem == Malformed::No) Finish(record.size(), number, s);
  problem = s.Problem;
  field = s.Wanted;
  return problem == Malformed::No && s.Found;
}

std::vector<Field> SplitFields(std::string_view record, char delimiter, bool quoted, Malformed& problem) {
  std::vector<Field> fields;
  problem = Malformed::No;
  if (!quoted) {
    for (std::size_t begin = 0;;) {
      const std::size_t end = std::min(record.find(delimiter, begin), record.size());
      fields.push_back({begin, end, false});
      if (end == record.size()) return fields;
      begin = end + 1;
    }
  }
  const ByteKinds kinds(delimiter, true, false);
  Split s;
  s.Every = &fields;
  Continue(record, kinds, 0, s);
  if (s.Problem == Malformed::No) Finish(record.size(), 0, s);
  problem = s.Problem;
  return fields;
}

std::string_view QuotedValue(std::string_view field, std::string& scratch, std::size_t most) {
  const std::string_view text = field.substr(1, field.size() - 2);
  if (text.find(kQuote) == std::string_view::npos) return text.substr(0, most);
  // Each quote is the first of two: the second is skipped. One pass, so that
  // a long field of many quotes costs its length.
  scratch.clear();
  for (std::size_t i = 0; i < text.size() && scratch.size() < most; ++i) {
    scratch += text[i];
    if (text[i] == kQuote) ++i;
  }
  return scratch;
}

std::size_t FieldValueSize(std::string_view record, const Field& field) {
  const std::size_t size = field.End - field.Begin;
  if (!field.Quoted) return size;
  const std::string_view text = record.substr(field.Begin + 1, size - 2);
  return text.size() - static_cast<std::size_t>(std::ranges::count(text, kQuote)) / 2;
}

void QuoteFrom(std::string& out, std::size_t begin, char delimiter) {
  // The tool writes no quote nor line break of its own: a delimiter is all
  // that calls for quotes, and no quote inside needs doubling.
  if (out.find(delimiter, begin) == std::string::npos) return;
  out.insert(begin, 1, kQuote);
  out += kQuote;
}

}  // namespace orvik::chrono::cli
