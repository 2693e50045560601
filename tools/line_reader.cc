#include "line_reader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvik::chrono::cli {

bool LineReader::Fill() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  while (end_ < buffer_.size()) {
    const ssize_t n = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      eof_ = true;
      if (n < 0) {
        error_ = errno;
        begin_ = end_;
      }
      return false;
    }
    end_ += static_cast<std::size_t>(n);
    return true;
  }
  return true;
}

bool LineReader::Next(std::string& line, bool& too_long) {
  too_long = false;
  carriage_return_ = false;
  std::size_t scanned = begin_;
  for (;;) {
    const void* newline = std::memchr(buffer_.data() + scanned, '\n', end_ - scanned);
    if (newline != nullptr) {
      const auto at = static_cast<std::size_t>(static_cast<const char*>(newline) - buffer_.data());
      std::size_t length = at - begin_;
      if (length > kLongestLine) {
        too_long = true;
        length = kLongestLine;
      }
      line.assign(buffer_.data() + begin_, length);
      begin_ = at + 1;
      carriage_return_ = !too_long && !line.empty() && line.back() == '\r';
      if (carriage_return_) line.pop_back();
      return true;
    }
    if (end_ - begin_ > kLongestLine) {
      // Keep the start of an overlong line and drop the rest up to its end.
      too_long = true;
      line.assign(buffer_.data() + begin_, kLongestLine);
      begin_ = end_;
      while (Fill()) {
        const void* end_of_line = std::memchr(buffer_.data(), '\n', end_);
        if (end_of_line != nullptr) {
          begin_ = static_cast<std::size_t>(static_cast<const char*>(end_of_line) - buffer_.data()) + 1;
          return true;
        }
        begin_ = end_;
      }
      return true;
    }
    scanned = end_ - begin_;
    if (eof_ || !Fill()) {
      if (end_ == begin_) return false;
      line.assign(buffer_.data() + begin_, end_ - begin_);
      begin_ = end_;
      carriage_return_ = !line.empty() && line.back() == '\r';
      if (carriage_return_) line.pop_back();
      return true;
    }
  }
}

}  // namespace orvik::chrono::cli
