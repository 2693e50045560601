// Reads a stream line by line in constant memory, without iostreams.
#ifndef ORVIK_CHRONO_TOOLS_LINE_READER_H_
#define ORVIK_CHRONO_TOOLS_LINE_READER_H_

#include <cstddef>
#include <string>
#include <vector>

namespace orvik::chrono::tool {

class LineReader {
 public:
  // Lines longer than this are cut there and reported as too long.
  static constexpr std::size_t kLongestLine = 1 << 16;

  explicit LineReader(int fd) : fd_(fd), buffer_(1 << 20) {}

  // The next line without its '\n' and a trailing '\r'; false at the end of
  // the input. `too_long` tells that the line was cut.
  bool Next(std::string& line, bool& too_long);

 private:
  bool Fill();

  int fd_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
};

// Collects output and writes it to a file descriptor in large blocks.
class BlockWriter {
 public:
  explicit BlockWriter(int fd) : fd_(fd) { out_.reserve(kBlock + kBlock / 4); }
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;
  ~BlockWriter() { Flush(); }

  std::string& buffer() { return out_; }
  void MaybeFlush() {
    if (out_.size() >= kBlock) Flush();
  }
  void Flush();

 private:
  static constexpr std::size_t kBlock = 1 << 16;
  int fd_;
  std::string out_;
};

}  // namespace orvik::chrono::tool

#endif  // ORVIK_CHRONO_TOOLS_LINE_READER_H_
