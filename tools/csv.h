// Records and fields of standard input: lines split at a tab as they are
// (tab-separated text has no quoting), or RFC 4180 records split at any other
// delimiter, where a field may be quoted and a quoted field holds delimiters,
// doubled quotes and line breaks as data.
#ifndef ORVIK_CHRONO_TOOLS_CSV_H_
#define ORVIK_CHRONO_TOOLS_CSV_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "line_reader.h"

namespace orvik::chrono::cli {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

enum class Malformed { No, QuoteInField, TextAfterQuote, Unterminated, TooLong };

struct Record {
  std::string Text;                   // without its line end; inner line ends as they came
  std::size_t Line = 0;               // where the record began, from 1
  bool CarriageReturn = false;        // the record ended with "\r\n"
  Malformed Problem = Malformed::No;  // TooLong or Unterminated, found while reading
  bool Quotes = false;                // the record holds a quote; always false when read unquoted
};

// Reads records in constant memory: one per line, or with `quoted` lines
// joined while a quote is open. A record longer than LineReader::kLongestLine
// is cut there and marked TooLong.
class RecordReader {
 public:
  RecordReader(int fd, bool quoted) : lines_(fd), quoted_(quoted) {}

  bool Next(Record& record);
  [[nodiscard]] int Error() const { return lines_.Error(); }

 private:
  LineReader lines_;
  bool quoted_;
  std::size_t line_ = 0;
  std::string part_;
};

struct Field {
  std::size_t Begin = 0;  // in the record, quotes included
  std::size_t End = 0;
  bool Quoted = false;
};

// Field `number` (from 1) of `record`; false when the record has fewer. With
// `quoted` (the record holds a quote and fields are quoted by RFC 4180), every
// field is checked and `problem` tells what breaks RFC 4180 first.
bool FindField(std::string_view record, std::size_t number, char delimiter, bool quoted, Field& field,
               Malformed& problem);

// The text of a quoted field: without its quotes, a doubled quote as one.
std::string_view QuotedValue(std::string_view field, std::string& scratch);

// The text of `field` in `record`.
inline std::string_view FieldValue(std::string_view record, const Field& field, std::string& scratch) {
  const std::string_view text = record.substr(field.Begin, field.End - field.Begin);
  return field.Quoted ? QuotedValue(text, scratch) : text;
}

// Quotes the text that `out` holds from `begin` on, a value written by the
// tool, when it has the delimiter, doubling each quote.
void QuoteFrom(std::string& out, std::size_t begin, char delimiter);

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_CSV_H_
