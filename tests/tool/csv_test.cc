// The split of the tool's records read from a stream whole or a byte at a
// time, with the line each began on, its line end, the field wanted and the
// first fault; tests/tool/cli_test.sh splits whole texts.
#include "csv.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <thread>

namespace orvik::chrono::cli {
namespace {

constexpr const char* kFaults[] = {"", "quote in field", "text after quote", "unterminated"};

// "begin-end", with "q" for a quoted field; "none"; or the fault.
std::string Describe(bool found, const Field& field, Malformed problem) {
  if (problem != Malformed::No) return kFaults[static_cast<int>(problem)];
  if (!found) return "none";
  return std::to_string(field.Begin) + "-" + std::to_string(field.End) + (field.Quoted ? "q" : "");
}

// Each record of `input`, field 2 wanted, as "line:text:field:line end"; a
// fault's record runs to the end of the line where it breaks RFC 4180, and the
// next record starts after that line. Written a byte a write from another
// thread, the reader meets a record's end in most of its reads.
std::string ReadAll(std::string_view input, bool byte_by_byte) {
  int ends[2];
  if (::pipe(ends) != 0) return "no pipe";
  std::thread writer([&] {
    const std::size_t step = byte_by_byte ? 1 : input.size();
    for (std::size_t at = 0; at < input.size(); at += step) {
      if (::write(ends[1], input.data() + at, std::min(step, input.size() - at)) < 0) break;
    }
    ::close(ends[1]);
  });
  RecordReader reader(ends[0], ',', true, 2);
  std::string records;
  for (Record r; reader.Next(r);) {
    records += std::to_string(r.Line) + ":" + std::string(r.Text) + ":" + Describe(r.Found, r.Wanted, r.Problem) + ":" +
               std::string(r.LineEnd) + (r.ByteOrderMark ? ":bom" : "") + "|";
  }
  writer.join();
  ::close(ends[0]);
  return records;
}

TEST(RecordReader, ReadsRecordsInPlace) {
  const std::pair<std::string_view, std::string_view> rows[] = {
      {"a,b\r\n\"c\nd\",e\n\nf,\"g\"\"\"\r\n",
       "1:a,b:2-3:\r\n|2:\"c\nd\",e:6-7:\n|4::none:\n|5:f,\"g\"\"\":2-7q:\r\n|"},
      {"\xEF\xBB\xBF\"a\",b", "1:\"a\",b:4-5::bom|"},
      {"a,\"b\"\r", "1:a,\"b\":2-5q:\r|"},
      {"a,b\r", "1:a,b:2-3:\r|"},
      {"a,\"b\nc\"x,d\ne\n", "1:a,\"b\nc\"x,d:text after quote:\n|3:e:none:\n|"},
      {"a,b\"c\n1,2", "1:a,b\"c:quote in field:\n|2:1,2:2-3:|"},
      {"a,\"b\nc\r\n", "1:a,\"b\nc:unterminated:\r\n|"},
  };
  for (const auto& [input, want] : rows) {
    EXPECT_EQ(ReadAll(input, false), want) << input;
    EXPECT_EQ(ReadAll(input, true), want) << input << ", a byte at a time";
  }
}

}  // namespace
}  // namespace orvik::chrono::cli
