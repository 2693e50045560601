#include "csv.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace orvik::chrono::cli {
namespace {

constexpr char kQuote = '"';

// Whether `text` has an odd number of quotes; `any` tells whether it has one.
// Most lines have none; the others are counted in one pass rather than a call
// per quote.
bool OddQuotes(std::string_view text, bool& any) {
  const std::size_t first = text.find(kQuote);
  if (first == std::string_view::npos) return false;
  any = true;
  return std::count(text.begin() + static_cast<std::ptrdiff_t>(first), text.end(), kQuote) % 2 != 0;
}

// The end of the quoted field that starts at `begin`, after its closing quote;
// npos when no quote closes it. Fields are short: a byte loop, not a call per
// quote.
std::size_t QuotedFieldEnd(std::string_view record, std::size_t begin) {
  for (std::size_t at = begin + 1; at < record.size(); ++at) {
    if (record[at] != kQuote) continue;
    if (at + 1 == record.size() || record[at + 1] != kQuote) return at + 1;
    ++at;  // a doubled quote
  }
  return std::string_view::npos;
}

}  // namespace

bool RecordReader::Next(Record& record) {
  bool too_long = false;
  if (!lines_.Next(record.Text, too_long)) return false;
  record.Line = ++line_;
  record.CarriageReturn = lines_.CarriageReturn();
  record.Problem = too_long ? Malformed::TooLong : Malformed::No;
  record.Quotes = false;
  if (!quoted_ || too_long) return true;
  for (bool open = OddQuotes(record.Text, record.Quotes); open; open = open != OddQuotes(part_, record.Quotes)) {
    if (!lines_.Next(part_, too_long)) {
      record.Problem = Malformed::Unterminated;
      return true;
    }
    ++line_;
    record.Text.append(record.CarriageReturn ? "\r\n" : "\n");
    if (too_long || record.Text.size() + part_.size() > LineReader::kLongestLine) {
      record.Problem = Malformed::TooLong;
      return true;
    }
    record.Text += part_;
    record.CarriageReturn = lines_.CarriageReturn();
  }
  return true;
}

bool FindField(std::string_view record, std::size_t number, char delimiter, bool quoted, Field& field,
               Malformed& problem) {
  problem = Malformed::No;
  bool found = false;
  std::size_t begin = 0;
  for (std::size_t n = 1;; ++n) {
    const bool quoted_field = quoted && begin < record.size() && record[begin] == kQuote;
    std::size_t end = 0;
    if (quoted_field) {
      end = QuotedFieldEnd(record, begin);
      if (end == std::string_view::npos) {
        problem = Malformed::Unterminated;
      } else if (end < record.size() && record[end] != delimiter) {
        problem = Malformed::TextAfterQuote;
      }
    } else {
      end = std::min(record.find(delimiter, begin), record.size());
      if (quoted && record.substr(begin, end - begin).find(kQuote) != std::string_view::npos) {
        problem = Malformed::QuoteInField;
      }
    }
    if (problem != Malformed::No) return false;
    if (n == number) {
      field = {begin, end, quoted_field};
      found = true;
      if (!quoted) return true;  // nothing after it can break the record
    }
    if (end == record.size()) return found;
    begin = end + 1;
  }
}

std::string_view QuotedValue(std::string_view field, std::string& scratch) {
  const std::string_view text = field.substr(1, field.size() - 2);
  if (text.find(kQuote) == std::string_view::npos) return text;
  scratch.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    scratch += text[i];
    if (text[i] == kQuote) ++i;  // the second of a doubled quote
  }
  return scratch;
}

void QuoteFrom(std::string& out, std::size_t begin, char delimiter) {
  // The tool writes no quote nor line break of its own; a delimiter is all
  // that can call for quotes.
  if (out.find(delimiter, begin) == std::string::npos) return;
  std::string quoted(1, kQuote);
  for (std::size_t i = begin; i < out.size(); ++i) {
    quoted += out[i];
    if (out[i] == kQuote) quoted += kQuote;
  }
  quoted += kQuote;
  out.resize(begin);
  out += quoted;
}

}  // namespace orvik::chrono::cli
