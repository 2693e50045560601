// Reads a stream line by line in constant memory, without iostreams.
#ifndef ORVIK_CHRONO_TOOLS_LINE_READER_H_
#define ORVIK_CHRONO_TOOLS_LINE_READER_H_

#include <cstddef>
#include <string>
#include <vector>

namespace orvik::chrono::cli {

class LineReader {
 public:
  // Lines longer than this are cut there and reported as too long.
  static constexpr std::size_t kLongestLine = 1 << 16;

  explicit LineReader(int fd) : fd_(fd), buffer_(1 << 20) {}

  // The next line without its '\n' and a trailing '\r'; false at the end of
  // the input or at a failed read. `too_long` tells that the line was cut.
  bool Next(std::string& line, bool& too_long);

  // Whether the last line that Next gave ended with "\r\n" (or "\r" at the
  // end of the input), whose '\r' it dropped.
  [[nodiscard]] bool CarriageReturn() const { return carriage_return_; }

  // The errno value of the read that failed, 0 while every read succeeded. A
  // failed read ends the input; the part of a line read before it is dropped.
  [[nodiscard]] int Error() const { return error_; }

 private:
  bool Fill();

  int fd_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  int error_ = 0;
  bool carriage_return_ = false;
};

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_LINE_READER_H_
