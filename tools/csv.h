// Records and fields of standard input: lines split at a tab as they are
// (tab-separated text has no quoting), or RFC 4180 records split at any other
// delimiter, where a field may be quoted and a quoted field holds delimiters,
// doubled quotes and line breaks as data.
#ifndef ORVIK_CHRONO_TOOLS_CSV_H_
#define ORVIK_CHRONO_TOOLS_CSV_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "input_buffer.h"

namespace orvik::chrono::cli {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

enum class Malformed { No, QuoteInField, TextAfterQuote, Unterminated };

struct Field {
  std::size_t Begin = 0;  // in the record, quotes included
  std::size_t End = 0;
  bool Quoted = false;
};

// One record of the input and the field wanted of it. Text and LineEnd lie
// in the reader's buffer, one after the other, until the next record is read.
struct Record {
  // Without its line end, inner line ends as they came. For a malformed
  // record, the record up to the end of the line where it breaks RFC 4180;
  // for a quote open at the end of the input, the rest of the input.
  std::string_view Text;
  // "\n" or "\r\n"; at the end of the input "\r" or nothing, as it came.
  std::string_view LineEnd;
  std::size_t Line = 0;               // where the record began, from 1
  bool ByteOrderMark = false;         // one came before the record; Text leaves it out
  Malformed Problem = Malformed::No;  // what breaks RFC 4180 first
  bool Found = false;                 // the record has the field wanted
  Field Wanted;                       // where; the whole record when the field wanted is 0
};

// What each byte is to the split of a record outside quotes.
struct ByteKinds {
  enum class Kind : std::uint8_t { Data, Delimiter, Quote, LineEnd };

  // `line_ends`: a line end ends the record, rather than being data.
  ByteKinds(char delimiter, bool quoted, bool line_ends);
  Kind operator[](char c) const { return Kinds[static_cast<unsigned char>(c)]; }

  std::array<Kind, 256> Kinds{};
  bool LineEnds;
};

// Reads records, one per line, or with `quoted` by RFC 4180, where a line
// end inside quotes is data, in memory that grows only to hold the longest
// record. Splitting a record, which finds where it ends, also finds field
// `wanted` (from 1; 0 for the whole record) and checks every field.
class RecordReader {
 public:
  // `before_read` as InputBuffer's.
  RecordReader(int fd, char delimiter, bool quoted, std::size_t wanted, std::function<void()> before_read = {})
      : input_(fd, std::move(before_read)),
        kinds_(delimiter, quoted, true),
        delimiter_(delimiter),
        quoted_(quoted),
        wanted_(wanted) {}

  // False at the end of the input or at a failed read.
  bool Next(Record& record);
  // The field wanted of the records after this one.
  void Want(std::size_t wanted) { wanted_ = wanted; }
  [[nodiscard]] int Error() const { return input_.Error(); }

 private:
  bool ReadQuoted(Record& record, std::size_t first_line_end);

  InputBuffer input_;
  ByteKinds kinds_;
  char delimiter_;
  bool quoted_;
  std::size_t wanted_;
  std::size_t line_ = 0;  // the last line of the records read; 0 before the first
};

// Field `number` (from 1) of `record`, a whole text; false when the record
// has fewer. With `quoted` (fields by RFC 4180, a line end as data), every
// field is checked and `problem` tells what breaks RFC 4180 first.
bool FindField(std::string_view record, std::size_t number, char delimiter, bool quoted, Field& field,
               Malformed& problem);

// Every field of `record`, a whole text, as FindField finds each; with
// `quoted`, up to what breaks RFC 4180 first, which `problem` tells.
std::vector<Field> SplitFields(std::string_view record, char delimiter, bool quoted, Malformed& problem);

// The text of a quoted field, without its quotes, a doubled quote as one: its
// first `most` bytes, so that a long field is not copied whole.
std::string_view QuotedValue(std::string_view field, std::string& scratch, std::size_t most = std::string_view::npos);

// The text of `field` in `record`, its first `most` bytes.
inline std::string_view FieldValue(std::string_view record, const Field& field, std::string& scratch,
                                   std::size_t most = std::string_view::npos) {
  const std::string_view text = record.substr(field.Begin, field.End - field.Begin);
  return field.Quoted ? QuotedValue(text, scratch, most) : text.substr(0, most);
}

// The size of the text of `field` in `record`, counted without a copy.
std::size_t FieldValueSize(std::string_view record, const Field& field);

// Quotes the text that `out` holds from `begin` on, a value written by the
// tool (which holds no quote), when it has the delimiter.
void QuoteFrom(std::string& out, std::size_t begin, char delimiter);

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_CSV_H_
