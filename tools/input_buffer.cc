#include "input_buffer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvik::chrono::cli {

bool InputBuffer::Fill() {
  if (ended_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  // Full with one record: the buffer grows to hold it.
  if (end_ == buffer_.size()) buffer_.resize(2 * buffer_.size());
  if (before_read_) before_read_();
  ssize_t n = 0;
  do {
    n = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
  } while (n < 0 && errno == EINTR);
  ended_ = n <= 0;
  if (n < 0) {
    error_ = errno;
    begin_ = end_;
  }
  if (n > 0) end_ += static_cast<std::size_t>(n);
  return n > 0;
}

}  // namespace orvik::chrono::cli
